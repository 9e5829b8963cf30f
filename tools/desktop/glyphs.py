"""Reads which bulb the tray icon shows from a screenshot of it.

The four symbols differ in ways that survive scaling and anti-aliasing: the filled bulb is dark
inside on both sides, the mixed one on its left side only, the hollow one on neither, and the
alert symbol has an exclamation mark standing apart at the right edge. The symbol is drawn in
one colour on the tray's background, so the pixels are split into foreground and background by
their distance from the colour of the corner pixel.
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


def foreground_mask(image):
    """Rows of booleans: True where the pixel belongs to the symbol."""
    background = image.pixel(0, 0)
    distances = [
        [sum(abs(a - b) for a, b in zip(image.pixel(x, y), background)) for x in range(image.width)]
        for y in range(image.height)
    ]
    strongest = max(max(row) for row in distances)
    if strongest < 60:  # a blank icon
        return [[False] * image.width for _ in range(image.height)]
    return [[distance > strongest / 2 for distance in row] for row in distances]


def _fill(mask, columns, rows):
    cells = [mask[y][x] for y in rows for x in columns]
    return sum(cells) / len(cells) if cells else 0.0


def _has_exclamation_mark(mask, width, height):
    # A vertical stroke in the right fifth, at least a third of the icon tall.
    tallest = 0
    for x in range(int(width * 0.75), width):
        run = 0
        for y in range(height):
            run = run + 1 if mask[y][x] else 0
            tallest = max(tallest, run)
    return tallest >= height / 3


def classify(image):
    """One of ALL_ON, ALL_OFF, MIXED, ALERT or UNKNOWN."""
    mask = foreground_mask(image)
    width, height = image.width, image.height
    if not any(any(row) for row in mask):
        return UNKNOWN
    if _has_exclamation_mark(mask, width, height):
        return ALERT
    # The glass of the bulb: the widest rows in the upper half.
    rows = range(int(height * 0.3), int(height * 0.5) + 1)
    xs = [x for y in rows for x in range(width) if mask[y][x]]
    if not xs:
        return UNKNOWN
    left_edge, right_edge = min(xs), max(xs)
    span = right_edge - left_edge + 1
    left = _fill(mask, range(left_edge + round(span * 0.25), left_edge + round(span * 0.45)), rows)
    right = _fill(mask, range(left_edge + round(span * 0.55), left_edge + round(span * 0.75)), rows)
    if left > 0.7 and right > 0.7:
        return ALL_ON
    if left > 0.7 and right < 0.3:
        return MIXED
    if left < 0.3 and right < 0.3:
        return ALL_OFF
    return UNKNOWN
