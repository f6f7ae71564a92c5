#!/usr/bin/env python3
"""Renders the button faces of PintoraKids' tool bars into bars/ beside
this script.

    python3 app/res/make_bar_art.py

needs Pillow (Debian: python3-pil) and the IPA Gothic font (Debian:
fonts-ipafont-gothic) for the Japanese labels, and writes

    Face110.bmp .. Face116.bmp  action and end bar faces, 90 x 30, 24 bits
                                (113 is also the about box's picture)
    Face123.bmp                 the kids-mode button, 90 x 30, 8 bits with
                                a 256-entry colour table
    Color1020.bmp .. 1033       colour buttons, 30 x 30: a round crayon blob
                                of the colour
    Size1015.bmp .. 1017        size buttons, 30 x 30: a big, middle and
                                small dot
    Pen1041.bmp .. 1046         pen buttons, 90 x 30: a picture of the pen
                                and its name

Shapes are drawn four times larger and reduced for smooth edges; labels
are drawn at their final size with the font's own smoothing.  The output
is deterministic, so re-running it changes no file.
"""

import math
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "bars")
FONT_PATHS = [
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
]
SS = 4  # supersampling factor of the shapes

# The colour bar's colours, as the program's table gives them.
COLORS = {
    1020: (0x00, 0x00, 0x00), 1021: (0xE0, 0x08, 0x08), 1022: (0xF0, 0x90, 0xC0),
    1023: (0xF0, 0xD0, 0xAD), 1024: (0x80, 0x40, 0x10), 1025: (0xF0, 0x80, 0x08),
    1026: (0xF0, 0xF0, 0x08), 1027: (0xAB, 0xFF, 0x7F), 1028: (0x08, 0x90, 0x20),
    1029: (0x08, 0xF0, 0xF0), 1030: (0x08, 0x08, 0xE0), 1031: (0xC0, 0x08, 0xC0),
    1032: (0xC0, 0xC0, 0xC0), 1033: (0xFF, 0xFF, 0xFF),
}


def font(size):
    for path in FONT_PATHS:
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    raise SystemExit("the IPA Gothic font is needed (fonts-ipafont-gothic)")


def darker(c, f=0.6):
    return tuple(int(v * f) for v in c)


def lighter(c, f=0.5):
    return tuple(int(v + (255 - v) * f) for v in c)


class Canvas:
    """A picture drawn SS times larger; `done` reduces it."""

    def __init__(self, w, h, background):
        self.w, self.h = w, h
        self.img = Image.new("RGB", (w * SS, h * SS), background)
        self.d = ImageDraw.Draw(self.img)

    def s(self, *v):
        return [x * SS for x in v]

    def rrect(self, x0, y0, x1, y1, r, fill, outline=None, width=1):
        self.d.rounded_rectangle(self.s(x0, y0, x1, y1), radius=r * SS, fill=fill, outline=outline,
                                 width=width * SS)

    def ellipse(self, x0, y0, x1, y1, fill, outline=None, width=1):
        self.d.ellipse(self.s(x0, y0, x1, y1), fill=fill, outline=outline, width=width * SS)

    def poly(self, points, fill, outline=None):
        self.d.polygon([(x * SS, y * SS) for x, y in points], fill=fill, outline=outline)

    def line(self, points, fill, width):
        self.d.line([(x * SS, y * SS) for x, y in points], fill=fill, width=int(width * SS), joint="curve")

    def arc(self, x0, y0, x1, y1, a0, a1, fill, width):
        self.d.arc(self.s(x0, y0, x1, y1), a0, a1, fill=fill, width=int(width * SS))

    def done(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)


def key_background(c, top, bottom):
    """A rounded key with a soft vertical gradient, filling the face."""
    for y in range(c.h * SS):
        t = y / (c.h * SS - 1)
        col = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
        c.d.line([(0, y), (c.w * SS, y)], fill=col)


def label(img, text, x0, x1, colour, max_size=15):
    """Draws `text` (lines split at \\n) centred in x0..x1, as large as fits."""
    d = ImageDraw.Draw(img)
    lines = text.split("\n")
    size = max_size
    while size > 8:
        f = font(size)
        widths = [d.textlength(t, font=f) for t in lines]
        if max(widths) <= x1 - x0 and size * len(lines) + 2 * (len(lines) - 1) <= img.height - 2:
            break
        size -= 1
    f = font(size)
    total = size * len(lines) + 2 * (len(lines) - 1)
    y = (img.height - total) / 2
    for t in lines:
        w = d.textlength(t, font=f)
        x = x0 + (x1 - x0 - w) / 2
        d.text((round(x), round(y)), t, font=f, fill=colour)
        y += size + 2


# ------------------------------------------------------------- icons --
# Each draws into a Canvas in face pixels, inside the square (x, y, 24).


def icon_door(c, x, y, colour):
    c.rrect(x + 4, y + 1, x + 18, y + 23, 2, colour, darker(colour), 1)
    c.ellipse(x + 14, y + 11, x + 16.5, y + 13.5, (250, 220, 60))
    c.line([(x + 13, y + 18), (x + 23, y + 18)], (40, 150, 40), 2.5)
    c.poly([(x + 23.5, y + 18), (x + 19, y + 14), (x + 19, y + 22)], (40, 150, 40))


def icon_eraser(c, x, y):
    body = [(x + 2, y + 16), (x + 12, y + 4), (x + 23, y + 12), (x + 13, y + 24)]
    c.poly(body, (110, 160, 235), (50, 80, 150))
    c.poly([(x + 2, y + 16), (x + 7, y + 10), (x + 18, y + 18), (x + 13, y + 24)], (245, 150, 180), (160, 70, 100))
    c.line([(x + 1, y + 25), (x + 23, y + 25)], (150, 150, 150), 1)


def icon_paper(c, x, y):
    c.poly([(x + 4, y + 1), (x + 16, y + 1), (x + 21, y + 6), (x + 21, y + 23), (x + 4, y + 23)],
           (255, 255, 255), (120, 120, 130))
    c.poly([(x + 16, y + 1), (x + 16, y + 6), (x + 21, y + 6)], (215, 215, 225), (120, 120, 130))


def icon_palette(c, x, y):
    c.ellipse(x + 1, y + 2, x + 24, y + 22, (230, 190, 130), (150, 100, 50), 1)
    c.ellipse(x + 14, y + 13, x + 19, y + 18, (250, 245, 235))
    for (dx, dy), col in zip([(5, 6), (10, 4), (15, 6), (6, 12)],
                             [(230, 40, 40), (250, 210, 30), (40, 120, 230), (40, 170, 60)]):
        c.ellipse(x + dx, y + dy, x + dx + 4, y + dy + 4, col)


def icon_folder(c, x, y):
    c.poly([(x + 1, y + 5), (x + 9, y + 5), (x + 11, y + 8), (x + 23, y + 8), (x + 23, y + 22), (x + 1, y + 22)],
           (240, 190, 60), (170, 120, 20))
    c.rrect(x + 5, y + 2, x + 17, y + 15, 1, (255, 255, 255), (130, 130, 130), 1)
    c.line([(x + 8, y + 11), (x + 11, y + 7), (x + 14, y + 10)], (230, 60, 60), 1.5)
    c.poly([(x + 1, y + 11), (x + 23, y + 11), (x + 23, y + 22), (x + 1, y + 22)], (250, 205, 80), (170, 120, 20))


def icon_again(c, x, y):
    c.arc(x + 3, y + 3, x + 21, y + 21, 40, 330, (40, 150, 60), 3.5)
    c.poly([(x + 22, y + 4), (x + 22.5, y + 13), (x + 14, y + 10)], (40, 150, 60))


def icon_child(c, x, y):
    c.ellipse(x + 2, y + 1, x + 22, y + 21, (255, 214, 170), (190, 120, 80), 1)
    c.d.pieslice(c.s(x + 2, y + 1, x + 22, y + 21), 180, 360, fill=(120, 70, 30))
    c.ellipse(x + 2, y + 7, x + 22, y + 21, (255, 214, 170))
    c.ellipse(x + 7, y + 11, x + 9.5, y + 13.5, (40, 30, 30))
    c.ellipse(x + 14.5, y + 11, x + 17, y + 13.5, (40, 30, 30))
    c.arc(x + 8, y + 12, x + 16, y + 18, 20, 160, (200, 60, 60), 1.3)
    c.ellipse(x + 4.5, y + 14, x + 7.5, y + 16.5, (255, 170, 170))
    c.ellipse(x + 16.5, y + 14, x + 19.5, y + 16.5, (255, 170, 170))


def icon_crayon(c, x, y):
    body = (230, 50, 50)
    c.poly([(x + 3, y + 18), (x + 17, y + 4), (x + 22, y + 9), (x + 8, y + 23)], body, darker(body))
    c.poly([(x + 3, y + 18), (x + 8, y + 23), (x + 1, y + 25)], lighter(body, 0.2), darker(body))
    c.line([(x + 14, y + 9), (x + 17, y + 12)], (255, 255, 255), 1.5)
    c.line([(x + 9, y + 14), (x + 12, y + 17)], (255, 255, 255), 1.5)


def icon_marker(c, x, y):
    c.poly([(x + 5, y + 16), (x + 16, y + 5), (x + 21, y + 10), (x + 10, y + 21)], (235, 235, 240), (90, 90, 100))
    c.poly([(x + 16, y + 5), (x + 19, y + 2), (x + 24, y + 7), (x + 21, y + 10)], (30, 110, 220), (20, 60, 140))
    c.poly([(x + 5, y + 16), (x + 10, y + 21), (x + 3, y + 23), (x + 2, y + 22)], (30, 110, 220), (20, 60, 140))


def icon_chalk(c, x, y):
    c.rrect(x + 0, y + 1, x + 24, y + 23, 2, (40, 95, 60), (110, 70, 30), 2)
    c.line([(x + 4, y + 17), (x + 9, y + 12), (x + 13, y + 15), (x + 19, y + 9)], (240, 240, 240), 1.4)
    c.rrect(x + 13, y + 16, x + 22, y + 20, 1, (250, 250, 245), (150, 150, 150), 1)


def icon_watercolour(c, x, y):
    c.ellipse(x + 1, y + 12, x + 15, y + 24, (90, 160, 240))
    c.line([(x + 10, y + 15), (x + 22, y + 2)], (170, 110, 50), 2.5)
    c.poly([(x + 7, y + 19), (x + 9, y + 13), (x + 13, y + 16)], (60, 60, 70))


def icon_rainbow(c, x, y):
    for i, col in enumerate([(230, 40, 40), (245, 150, 30), (240, 220, 30), (50, 170, 60), (50, 110, 230),
                             (140, 60, 190)]):
        r = 12 - i * 1.6
        c.arc(x + 12 - r, y + 20 - r, x + 12 + r, y + 20 + r, 180, 360, col, 1.8)


def icon_pipe(c, x, y):
    for i in range(6):
        t = i / 5
        col = tuple(int(a + (b - a) * (1 - abs(2 * t - 1))) for a, b in zip((70, 110, 170), (200, 225, 255)))
        c.line([(x + 2, y + 9 + i), (x + 12, y + 9 + i), (x + 22, y + 15 + i)], col, 1.4)


# ------------------------------------------------------------ faces --

FACES = {
    # id: (label, icon, key colour top, key colour bottom)
    110: ("おわり", lambda c, x, y: icon_door(c, x, y, (200, 120, 60)), (255, 236, 220), (250, 200, 170)),
    111: ("ぜんぶ\n消去", lambda c, x, y: icon_eraser(c, x, y), (236, 244, 255), (200, 220, 250)),
    112: ("まっしろ", lambda c, x, y: icon_paper(c, x, y), (250, 250, 252), (215, 218, 228)),
    113: ("Pintora", lambda c, x, y: icon_palette(c, x, y), (255, 250, 225), (250, 225, 160)),
    114: ("ほぞん", lambda c, x, y: icon_folder(c, x, y), (232, 250, 232), (190, 235, 190)),
    115: ("ほんとに\nおわり", lambda c, x, y: icon_door(c, x, y, (210, 60, 60)), (255, 228, 228), (250, 180, 180)),
    116: ("再開", lambda c, x, y: icon_again(c, x, y), (232, 250, 236), (185, 235, 195)),
    123: ("お子様", lambda c, x, y: icon_child(c, x, y), (255, 240, 250), (250, 200, 230)),
}

PENS = {
    1041: ("くれよん", icon_crayon),
    1042: ("まーかー", icon_marker),
    1043: ("ちょーく", icon_chalk),
    1044: ("すいさい", icon_watercolour),
    1045: ("にじ", icon_rainbow),
    1046: ("ぱいぷ", icon_pipe),
}


def face(text, icon, top, bottom):
    c = Canvas(90, 30, top)
    key_background(c, top, bottom)
    icon(c, 3, 3)
    img = c.done()
    label(img, text, 30, 88, (40, 40, 60))
    return img


def colour_button(rgb):
    c = Canvas(30, 30, (240, 240, 240))
    outline = darker(rgb, 0.7) if sum(rgb) > 120 else (90, 90, 90)
    if sum(rgb) > 700:
        outline = (150, 150, 150)
    # A blob with a slightly wavy edge, like a patch of crayon.
    pts = []
    for i in range(48):
        a = 2 * math.pi * i / 48
        r = 12.2 + 0.6 * math.sin(5 * a) + 0.4 * math.cos(3 * a)
        pts.append((15 + r * math.cos(a), 15 + r * math.sin(a)))
    c.poly(pts, rgb, None)
    c.line(pts + pts[:1], outline, 1.2)
    c.ellipse(8, 7, 13, 11, lighter(rgb, 0.55))
    return c.done()


def size_button(radius):
    c = Canvas(30, 30, (240, 240, 240))
    c.ellipse(15 - radius, 15 - radius, 15 + radius, 15 + radius, (60, 60, 80))
    return c.done()


def main():
    os.makedirs(OUT, exist_ok=True)
    for id_, (text, icon, top, bottom) in FACES.items():
        img = face(text, icon, top, bottom)
        if id_ == 123:
            img = img.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
            palette = img.getpalette()[:768]
            img.putpalette(palette + [0] * (768 - len(palette)))
        img.save(os.path.join(OUT, "Face%d.bmp" % id_))
    for id_, rgb in COLORS.items():
        colour_button(rgb).save(os.path.join(OUT, "Color%d.bmp" % id_))
    for id_, radius in ((1015, 12.5), (1016, 8), (1017, 4)):
        size_button(radius).save(os.path.join(OUT, "Size%d.bmp" % id_))
    for id_, (text, icon) in PENS.items():
        face(text, icon, (255, 252, 236), (240, 228, 190)).save(os.path.join(OUT, "Pen%d.bmp" % id_))


if __name__ == "__main__":
    main()
