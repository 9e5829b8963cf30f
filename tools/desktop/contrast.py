"""How well the tray icon stands out from the panel behind it, read from a screenshot.

The panel colour is the commonest colour on the border of a crop around the icon. Pixels within
1.5:1 of it melt into the panel; the rest is the bulb as a person sees it. It may show in two
tones, lighter and darker than the panel (a light bulb with a dark rim); a tone that makes up a
quarter or more of the bulb is measured by its commonest colour, and the bulb's colour is that
of the tone that stands out more. The figure is the WCAG contrast ratio of that colour and the
panel: graphics need 3:1 to be made out. The ink is the count of pixels that stand out: a filled
bulb has more of it than a hollow one.
"""

from collections import Counter, namedtuple

STANDS_OUT = 1.5

Measurement = namedtuple("Measurement", "panel bulb ratio ink")


def relative_luminance(rgb):
    def linear(channel):
        c = channel / 255.0
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast_ratio(a, b):
    lighter, darker = sorted((relative_luminance(a), relative_luminance(b)), reverse=True)
    return (lighter + 0.05) / (darker + 0.05)


def panel_colour(image):
    border = [image.pixel(x, y) for x in range(image.width) for y in (0, image.height - 1)]
    border += [image.pixel(x, y) for y in range(image.height) for x in (0, image.width - 1)]
    return Counter(border).most_common(1)[0][0]


def measure(image):
    """The panel's colour, the bulb's colour (None for a blank icon) and their contrast ratio.
    Where nothing stands out, the commonest colour that differs at all is taken, so that the
    figure tells how close the bulb came."""
    panel = panel_colour(image)
    pixels = [image.pixel(x, y) for y in range(image.height) for x in range(image.width)]
    differing = [pixel for pixel in pixels if pixel != panel]
    if not differing:
        return Measurement(panel, None, 1.0, 0)
    standing_out = [pixel for pixel in differing if contrast_ratio(pixel, panel) >= STANDS_OUT]
    if not standing_out:
        bulb = Counter(differing).most_common(1)[0][0]
        return Measurement(panel, bulb, contrast_ratio(bulb, panel), 0)
    lighter = relative_luminance(panel)
    tones = [[pixel for pixel in standing_out if (relative_luminance(pixel) > lighter) == side]
             for side in (True, False)]
    colours = [Counter(tone).most_common(1)[0][0] for tone in tones
               if len(tone) >= len(standing_out) / 4]
    bulb = max(colours, key=lambda colour: contrast_ratio(colour, panel))
    return Measurement(panel, bulb, contrast_ratio(bulb, panel), len(standing_out))


def ink_of(measured):
    """Which ink the bulb is drawn in: "light", "dark" or "grey" (the one for any panel); None
    for no bulb."""
    if measured is None or measured.bulb is None:
        return None
    luminance = relative_luminance(measured.bulb)
    return "light" if luminance > 0.6 else "dark" if luminance < 0.05 else "grey"
