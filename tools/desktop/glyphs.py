"""Reads which bulb the tray icon shows from a screenshot of it.

The four symbols differ in ways that survive scaling and anti-aliasing:
in the rows of its glass, the filled bulb encloses none of the panel, the hollow one encloses it
on both sides of the symbol's middle, the mixed one right of it only, and the alert symbol, whose
small bulb stands left of an exclamation mark, left of it only. Whatever differs from the colour
of the corner pixel is the symbol.
"""

ALL_ON = "all on"
ALL_OFF = "all off"
MIXED = "mixed"
ALERT = "alert"  # no lights found, or an error: one symbol for both
UNKNOWN = "unknown"


class Image:
    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb  # bytes, three per pixel, row by row

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.rgb[offset : offset + 3])


def decode_ppm(data):
    """Decodes a binary PPM (P6) with 8-bit channels, as ImageMagick writes it."""
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position : position + 1].isspace():
            position += 1
        if data[position : position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        end = position
        while not data[end : end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    magic, width, height, maximum = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if magic != b"P6" or maximum != 255:
        raise ValueError("not an 8-bit binary PPM: %r, maximum %d" % (magic, maximum))
    pixels = data[position + 1 : position + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError("PPM data is %d bytes short" % (width * height * 3 - len(pixels)))
    return Image(width, height, pixels)


# Channel differences, summed, up to which a pixel is taken for the panel.
NEAR = 12


def foreground_mask(image):
    """Rows of booleans: True where the pixel belongs to the symbol."""
    background = image.pixel(0, 0)
    return [[sum(abs(a - b) for a, b in zip(image.pixel(x, y), background)) > NEAR
             for x in range(image.width)] for y in range(image.height)]


def enclosed(mask):
    """Rows of booleans: True where the panel shows through inside the symbol, out of reach of
    the border."""
    height, width = len(mask), len(mask[0])
    outside = [[False] * width for _ in range(height)]
    stack = [(x, y) for x in range(width) for y in (0, height - 1)]
    stack += [(x, y) for y in range(height) for x in (0, width - 1)]
    while stack:
        x, y = stack.pop()
        if 0 <= x < width and 0 <= y < height and not mask[y][x] and not outside[y][x]:
            outside[y][x] = True
            stack += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    return [[not mask[y][x] and not outside[y][x] for x in range(width)] for y in range(height)]


def classify(image):
    """One of ALL_ON, ALL_OFF, MIXED, ALERT or UNKNOWN."""
    mask = foreground_mask(image)
    width, height = image.width, image.height
    rows = range(int(height * 0.3), int(height * 0.5) + 1)
    xs = [x for y in rows for x in range(width) if mask[y][x]]
    if not xs:
        return UNKNOWN
    middle = (min(xs) + max(xs)) / 2
    holes = enclosed(mask)
    left = sum(1 for y in rows for x in range(width) if holes[y][x] and x < middle)
    right = sum(1 for y in rows for x in range(width) if holes[y][x] and x > middle)
    if left + right == 0:
        return ALL_ON
    if left * 4 <= right:
        return MIXED
    if right * 4 <= left:
        return ALERT
    if min(left, right) * 2 >= max(left, right):
        return ALL_OFF
    return UNKNOWN
