#!/usr/bin/env python3
"""Draws Stampwell's picture strips, their masks and its cursor.

    /usr/bin/python3 plugins/stampwell/art/make_stamps.py

needs Pillow (Debian: python3-pil) and writes beside this script (the
cursor into ../cursors/):

    strip101.bmp  fruit: apple, cherries, strawberry, orange, grapes
    strip103.bmp  leaves: green leaf, maple leaf, ginkgo leaf, clover
    strip105.bmp  shells: pink scallop, spiral shell, cone shell, clam,
                  yellow scallop
    strip107.bmp  butterflies in five colourings
    strip109.bmp  stars in five colours, three of them smiling
    strip102.bmp .. strip110.bmp   the mask of the strip before each
    stamp.cur     the plug-in's one cursor (ID 1001): a little rubber stamp,
                  drawn with the cursor helpers of Penlith's make_cursors.py
    contact_sheet.png   every picture at 100 % over its mask, to look at

Each strip is 200 pixels wide and 200 pixels high per picture, the
pictures stacked top to bottom, 8 bits a pixel, RLE8.  A picture strip has
its own 256-colour table and white around the pictures; a mask strip has
the identity grey table: 0 outside the picture, 255 inside, a soft ramp of
a few pixels along the outline.

The plug-in scales the colour strip as a whole and each mask on its own,
so at a small stamp size a mask pixel may sample the colour strip a few
source pixels away.  So the colours of each picture's outline are carried
BAND pixels out into the white, and the script checks that every pixel of
a mask above 0 has no white within CHECK_REACH pixels (no white halo) and
that every mask is 0 in a margin along its frame (no cut edge).

Shapes are drawn four times larger and reduced; the output is the same on
every run, so re-running it changes no file.
"""

import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "plugins", "penlith", "textures"))
sys.path.insert(0, os.path.join(ROOT, "plugins", "penlith", "cursors"))
from make_textures import decode_rle8, rle8_row  # noqa: E402
import make_cursors  # noqa: E402

FRAME = 200      # side of one picture
SS = 4           # supersampling factor of the shapes
BAND = 14        # how far each outline colour is carried into the white
CHECK_REACH = 8  # no white this close to any painted mask pixel
MARGIN = 10      # masks stay 0 this close to their frame
WHITE = (255, 255, 255)
# White drawn inside a picture (glints, spots): just off the white around
# the pictures, so that the halo check can tell them apart.
GLINT = (250, 250, 242)


def darker(c, f=0.62):
    return tuple(int(v * f) for v in c)


def lighter(c, f=0.5):
    return tuple(int(v + (255 - v) * f) for v in c)


# ------------------------------------------------------------ drawing --


class Pic:
    """One picture, drawn SS times larger on a transparent ground."""

    def __init__(self):
        self.img = Image.new("RGBA", (FRAME * SS, FRAME * SS), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.img)

    def _p(self, pts):
        return [(x * SS, y * SS) for x, y in pts]

    def poly(self, pts, fill):
        self.d.polygon(self._p(pts), fill=fill)

    def ellipse(self, cx, cy, rx, ry, fill):
        self.d.ellipse([(cx - rx) * SS, (cy - ry) * SS, (cx + rx) * SS, (cy + ry) * SS], fill=fill)

    def line(self, pts, fill, width):
        self.d.line(self._p(pts), fill=fill, width=int(round(width * SS)), joint="curve")
        r = width / 2
        for x, y in (pts[0], pts[-1]):  # round caps
            self.ellipse(x, y, r, r, fill)

    def shape(self, kind, args, fill, outline=None, width=3.0):
        """A filled shape; with an outline, the outline is drawn first as the
        shape grown by `width`, so shapes drawn together share one rim."""
        if outline:
            self._grown(kind, args, outline, width)
        self._plain(kind, args, fill)

    def _plain(self, kind, args, fill):
        if kind == "poly":
            self.poly(args, fill)
        elif kind == "ellipse":
            self.ellipse(*args, fill)
        elif kind == "line":
            pts, w = args
            self.line(pts, fill, w)

    def _grown(self, kind, args, colour, width):
        if kind == "poly":
            self.poly(args, colour)
            self.line(list(args) + [args[0]], colour, 2 * width)
            for x, y in args:
                self.ellipse(x, y, width, width, colour)
        elif kind == "ellipse":
            cx, cy, rx, ry = args
            self.ellipse(cx, cy, rx + width, ry + width, colour)
        elif kind == "line":
            pts, w = args
            self.line(pts, colour, w + 2 * width)

    def group(self, parts, fill, outline, width=3.0):
        """Several shapes of one colour under one common outline."""
        for kind, args in parts:
            self._grown(kind, args, outline, width)
        for kind, args in parts:
            self._plain(kind, args, fill)

    def done(self):
        """The picture at FRAME x FRAME: colour (RGB, not mixed with any
        background) and coverage (L)."""
        small = self.img.resize((FRAME, FRAME), Image.BOX)
        return small.convert("RGB"), small.getchannel("A")


def rotated_ellipse(cx, cy, rx, ry, angle_deg, n=72):
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    pts = []
    for k in range(n):
        t = 2 * math.pi * k / n
        x, y = rx * math.cos(t), ry * math.sin(t)
        pts.append((cx + x * ca - y * sa, cy + x * sa + y * ca))
    return pts


def leaf_shape(cx, cy, length, width, angle_deg, n=60):
    """A leaf blade: pointed at both ends, widest a little below the middle;
    (cx, cy) is the base, `angle_deg` the direction of the tip."""
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    pts = []
    for k in range(n + 1):
        u = k / n
        half = width / 2 * math.sin(math.pi * u) ** 0.9 * (1.0 - 0.25 * u)
        pts.append((u * length, half))
    pts += [(u, -h) for u, h in reversed(pts[1:-1])]
    return [(cx + x * ca - y * sa, cy + x * sa + y * ca) for x, y in pts]


def heart(cx, cy, scale, angle_deg, n=80):
    """A heart with its point at (cx, cy) and its lobes toward angle_deg."""
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    pts = []
    for k in range(n):
        t = 2 * math.pi * k / n
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        # the point of the heart is at y = -17 in these units: move it to
        # the origin, the lobes along +u
        u, v = y + 17, x
        u, v = u * scale, v * scale
        pts.append((cx + u * ca - v * sa, cy + u * sa + v * ca))
    return pts


def star_points(cx, cy, outer, inner, n=5, turn=-90):
    pts = []
    for k in range(2 * n):
        r = outer if k % 2 == 0 else inner
        a = math.radians(turn + 180 * k / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def face(p, cx, cy, s, wink=False):
    """Two eyes with glints, a smile and rosy cheeks."""
    ink = (60, 40, 40)
    if wink:
        p.line([(cx - 15 * s, cy - 2 * s), (cx - 10 * s, cy - 6 * s), (cx - 5 * s, cy - 2 * s)], ink, 3 * s)
    else:
        p.ellipse(cx - 10 * s, cy - 4 * s, 4.5 * s, 6 * s, ink)
        p.ellipse(cx - 11.5 * s, cy - 6.5 * s, 1.8 * s, 1.8 * s, GLINT)
    p.ellipse(cx + 10 * s, cy - 4 * s, 4.5 * s, 6 * s, ink)
    p.ellipse(cx + 8.5 * s, cy - 6.5 * s, 1.8 * s, 1.8 * s, GLINT)
    smile = [(cx + 9 * s * math.cos(math.radians(a)), cy + 6 * s + 6 * s * math.sin(math.radians(a)))
             for a in range(20, 161, 10)]
    p.line(smile, ink, 3 * s)
    p.ellipse(cx - 19 * s, cy + 5 * s, 5 * s, 3.5 * s, (255, 140, 160))
    p.ellipse(cx + 19 * s, cy + 5 * s, 5 * s, 3.5 * s, (255, 140, 160))


def highlight(p, cx, cy, rx, ry, colour=GLINT, angle=-35):
    p.poly(rotated_ellipse(cx, cy, rx, ry, angle), colour)


# -------------------------------------------------------------- fruit --


def apple():
    p = Pic()
    red, green, brown = (235, 40, 45), (80, 180, 60), (130, 80, 40)
    p.shape("line", ([(100, 66), (104, 48), (110, 32)], 7), brown, darker(brown), 2.5)
    p.shape("poly", leaf_shape(108, 44, 52, 26, -25), green, darker(green), 3)
    p.group([("ellipse", (76, 112, 52, 56)), ("ellipse", (124, 112, 52, 56)),
             ("ellipse", (100, 130, 62, 50))], red, darker(red, 0.55), 3.5)
    highlight(p, 68, 98, 10, 18, (255, 190, 190))
    highlight(p, 64, 90, 4, 7)
    p.line(leaf_vein(108, 44, 52, -25), lighter(green, 0.35), 2)
    return p.done()


def leaf_vein(cx, cy, length, angle_deg):
    a = math.radians(angle_deg)
    return [(cx + 6 * math.cos(a), cy + 6 * math.sin(a)),
            (cx + 0.8 * length * math.cos(a), cy + 0.8 * length * math.sin(a))]


def cherries():
    p = Pic()
    red, green = (220, 20, 60), (70, 160, 50)
    p.shape("line", ([(64, 128), (80, 80), (104, 40)], 5), green, darker(green), 2.5)
    p.shape("line", ([(136, 128), (124, 80), (104, 40)], 5), green, darker(green), 2.5)
    p.shape("poly", leaf_shape(104, 40, 56, 26, -10), (100, 195, 70), darker(green), 3)
    for cx in (62, 138):
        p.shape("ellipse", (cx, 142, 36, 34), red, darker(red, 0.55), 3.5)
        highlight(p, cx - 14, 130, 6, 11, (255, 180, 190))
        highlight(p, cx - 16, 126, 2.5, 4)
    return p.done()


def strawberry():
    p = Pic()
    red, green = (240, 45, 55), (60, 170, 60)

    def half(u):  # half the width at u, 0 at the shoulders, 1 at the tip
        return 70 * (1 - u ** 1.8) ** 0.75 * min(1.0, 0.62 + u * 2.0) ** 0.5

    n = 60
    right = [(100 + half(k / n), 66 + k / n * 118) for k in range(n + 1)]
    left = [(200 - x, y) for x, y in reversed(right[:-1])]
    top = [(100 - half(0) * math.cos(math.radians(a)), 66 - 12 * math.sin(math.radians(a)))
           for a in range(10, 171, 10)]  # the rounded top, behind the leaves
    pts = right + left + top
    p.shape("poly", pts, red, darker(red, 0.55), 3.5)
    # seeds in staggered rows inside the body
    for row in range(6):
        y = 86 + row * 16
        u = (y - 66) / 118
        width = half(u) * 0.72
        count = max(1, int(width * 2 / 22))
        for i in range(count + 1):
            x = 100 - width + (2 * width) * i / max(1, count) + (6 if row % 2 else 0)
            if abs(x - 100) < width:
                p.ellipse(x, y, 2.6, 4, (255, 225, 90))
    highlight(p, 72, 92, 6, 14, (255, 175, 175))
    calyx = star_points(100, 62, 34, 12, n=6, turn=-90)
    calyx = [(x, 62 + (y - 62) * 0.55) for x, y in calyx]
    p.shape("poly", calyx, green, darker(green), 3)
    p.shape("line", ([(100, 56), (102, 30)], 7), (90, 150, 60), darker(green), 2.5)
    return p.done()


def orange():
    p = Pic()
    body, green = (255, 150, 20), (70, 170, 60)
    p.shape("ellipse", (100, 114, 68, 66), body, (215, 95, 0), 3.5)
    for k in range(26):
        a = k * 2.4
        r = 14 + (k * 37 % 44)
        p.ellipse(100 + r * math.cos(a), 114 + r * math.sin(a), 2, 2, (245, 130, 10))
    highlight(p, 72, 90, 10, 20, (255, 205, 130))
    highlight(p, 68, 84, 4, 7)
    p.shape("line", ([(100, 52), (100, 38)], 7), (120, 90, 40), (80, 55, 25), 2.5)
    p.shape("poly", leaf_shape(102, 44, 54, 28, -20), green, darker(green), 3)
    p.line(leaf_vein(102, 44, 54, -20), lighter(green, 0.35), 2)
    return p.done()


def grapes():
    p = Pic()
    purple, green, brown = (150, 70, 200), (90, 175, 60), (120, 80, 40)
    p.shape("line", ([(100, 62), (98, 40), (108, 24)], 6), brown, darker(brown), 2.5)
    p.shape("poly", leaf_shape(100, 44, 54, 30, -160), green, darker(green), 3)
    berries = []
    rows = [(68, 4), (93, 4), (118, 3), (142, 2), (164, 1)]
    for y, count in rows:
        for i in range(count):
            berries.append((100 + (i - (count - 1) / 2) * 30, y))
    outline = darker(purple, 0.5)
    p.poly([(44, 60), (156, 60), (104, 176), (96, 176)], outline)
    for x, y in berries:
        p.shape("ellipse", (x, y, 16, 16), purple, outline, 3)
        highlight(p, x - 5, y - 6, 3.5, 5.5, (215, 175, 240))
    return p.done()


# ------------------------------------------------------------- leaves --


def green_leaf():
    p = Pic()
    green = (80, 185, 60)
    base = (48, 162)
    p.shape("line", ([(30, 180), base], 6), (110, 140, 50), (60, 90, 30), 2.5)
    blade = leaf_shape(base[0], base[1], 158, 92, -45)
    p.shape("poly", blade, green, darker(green), 3.5)
    a = math.radians(-45)
    ca, sa = math.cos(a), math.sin(a)
    vein = lighter(green, 0.45)
    p.line([(base[0] + 4 * ca, base[1] + 4 * sa), (base[0] + 140 * ca, base[1] + 140 * sa)], vein, 3)
    for u in (30, 55, 80, 105):
        sx, sy = base[0] + u * ca, base[1] + u * sa
        for side in (-1, 1):
            ang = a + side * math.radians(42)
            length = 34 - abs(u - 60) * 0.25
            p.line([(sx, sy), (sx + length * math.cos(ang), sy + length * math.sin(ang))], vein, 2.2)
    return p.done()


def maple_leaf():
    p = Pic()
    colour = (240, 80, 30)
    cx, cy = 100, 108
    lobes = [(-90, 78), (-25, 70), (-155, 70), (40, 46), (140, 46)]
    pts = []
    for k in range(360):
        t = math.radians(k)
        r = 30.0
        for ang, length in lobes:
            d = math.cos(t - math.radians(ang))
            if d > 0:
                r += (length - 30) * d ** 10
        r += 3.5 * abs(math.sin(t * 11))  # little teeth
        if 70 < k < 110:
            r = min(r, 30)  # the notch where the stem starts
        pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    p.shape("line", ([(cx, cy + 20), (cx + 4, 176)], 6), (150, 60, 30), darker((150, 60, 30)), 2.5)
    p.shape("poly", pts, colour, darker(colour, 0.55), 3.5)
    vein = (255, 170, 90)
    for ang, length in lobes:
        t = math.radians(ang)
        p.line([(cx, cy + 10), (cx + (length - 14) * math.cos(t), cy + (length - 14) * math.sin(t))], vein, 2.4)
    return p.done()


def ginkgo_leaf():
    p = Pic()
    colour = (255, 205, 40)
    cx, cy = 100, 150
    pts = [(cx - 4, cy + 4), (cx + 4, cy + 4)]
    for k in range(0, 121):
        a = math.radians(-30 - k)  # from the right edge round to the left
        r = 92 + 5 * math.sin(k * 0.9)
        if 54 < k < 66:
            r -= 22 * (1 - abs(k - 60) / 6)  # the notch in the middle
        pts.append((cx + r * math.cos(a), cy + 6 + r * math.sin(a) * 0.92))
    p.shape("line", ([(cx, cy), (cx - 6, 176)], 6), (170, 140, 40), (120, 95, 25), 2.5)
    p.shape("poly", pts, colour, (200, 140, 0), 3.5)
    vein = (245, 175, 20)
    for k in range(8, 120, 10):
        a = math.radians(-30 - k)
        p.line([(cx, cy), (cx + 76 * math.cos(a), cy + 6 + 76 * math.sin(a) * 0.92)], vein, 2)
    return p.done()


def clover():
    p = Pic()
    green = (60, 175, 75)
    cx, cy = 100, 92
    p.shape("line", ([(cx, cy), (cx + 8, 140), (cx + 22, 174)], 7), (70, 140, 50), darker(green), 2.5)
    parts = [("poly", heart(cx, cy, 2.3, a)) for a in (-45, 45, 135, -135)]
    p.group(parts, green, darker(green, 0.55), 3.5)
    for a in (-45, 45, 135, -135):
        t = math.radians(a)
        p.line([(cx + 10 * math.cos(t), cy + 10 * math.sin(t)), (cx + 40 * math.cos(t), cy + 40 * math.sin(t))],
               lighter(green, 0.4), 2.2)
        # a pale chevron on each leaflet, as clover has
        mx, my = cx + 34 * math.cos(t), cy + 34 * math.sin(t)
        p.ellipse(mx, my, 5, 5, lighter(green, 0.3))
    return p.done()


# ------------------------------------------------------------- shells --


def scallop(colour, rib_colour):
    p = Pic()
    cx, cy = 100, 134
    pts = []
    ribs = 9
    for k in range(0, 141):
        a = math.radians(-160 + k)
        phase = (k / 140) * ribs
        r = 80 + 6 * abs(math.cos(math.pi * phase))
        pts.append((cx + r * math.cos(a), cy + 10 + r * math.sin(a) * 0.95))
    ears = [(cx - 30, cy + 26), (cx - 26, cy + 4), (cx + 26, cy + 4), (cx + 30, cy + 26)]
    p.group([("poly", pts + [(cx + 18, cy + 14), (cx - 18, cy + 14)]), ("poly", ears)], colour,
            darker(rib_colour, 0.7), 3.5)
    for i in range(ribs + 1):
        a = math.radians(-160 + 140 * i / ribs)
        p.line([(cx, cy + 8), (cx + 74 * math.cos(a), cy + 10 + 74 * math.sin(a) * 0.95)], rib_colour, 3)
    highlight(p, 70, 84, 6, 13, lighter(colour, 0.6), angle=-50)
    return p.done()


def spiral_shell():
    """A nautilus-like shell: a round body with tiger stripes sweeping out
    from the middle, the whorl's line, and the opening on the right."""
    p = Pic()
    cream, stripe, line = (255, 225, 180), (240, 130, 60), (170, 85, 40)
    cx, cy = 94, 104
    p.shape("ellipse", (cx, cy, 70, 66), cream, line, 3.5)
    # curved stripes from the middle toward the rim
    for k in range(9):
        a0 = 2 * math.pi * k / 9 + 0.3
        arc = []
        for u in range(0, 21):
            r = 20 + 46 * u / 20
            a = a0 + 0.55 * u / 20
            arc.append((cx + r * math.cos(a), cy + r * math.sin(a) * 0.95))
        p.line(arc, stripe, 7 - 0.4 * (k % 3))
    # the opening, pink inside, on the right
    p.shape("poly", rotated_ellipse(150, 128, 22, 36, -20), (255, 190, 185), line, 3)
    p.poly(rotated_ellipse(152, 128, 12, 24, -20), (235, 150, 150))
    # the whorl: a spiral line winding in to the middle
    pts = []
    turns = 1.8
    for k in range(0, 300):
        t = k / 300 * turns * 2 * math.pi
        r = 4 + 40 * (t / (turns * 2 * math.pi)) ** 1.2
        pts.append((cx + r * math.cos(t + 2.2), cy + r * math.sin(t + 2.2) * 0.95))
    p.line(pts, line, 4)
    highlight(p, 64, 72, 7, 14, GLINT, angle=-45)
    return p.done()


def cone_shell():
    p = Pic()
    colour, band = (255, 190, 140), (200, 100, 60)
    outline = (160, 80, 45)
    whorls = [(100, 146, 62, 36), (100, 108, 46, 26), (100, 78, 32, 19), (100, 56, 20, 13), (100, 40, 11, 8)]
    parts = [("ellipse", w) for w in whorls] + [("poly", [(94, 34), (100, 16), (106, 34)])]
    p.group(parts, colour, outline, 3.5)
    for cx, cy, rx, ry in whorls:
        # each whorl's lower rim, a darker band
        arc = [(cx + rx * 0.92 * math.cos(math.radians(a)), cy + ry * 0.7 * math.sin(math.radians(a)))
               for a in range(15, 166, 10)]
        p.line(arc, band, max(2.0, rx / 14))
    p.poly(rotated_ellipse(100, 160, 26, 12, 0), (255, 220, 210))
    highlight(p, 74, 134, 6, 12, (255, 235, 215), angle=-60)
    return p.done()


def clam():
    p = Pic()
    cx, cy = 100, 100
    bands = [(80, (150, 140, 230)), (64, (185, 170, 245)), (48, (150, 140, 230)), (32, (185, 170, 245)),
             (16, (150, 140, 230))]

    def fan(r):
        pts = []
        for k in range(0, 181, 3):
            a = math.radians(180 + k)
            pts.append((cx + r * math.cos(a), cy + 40 + r * 0.9 * math.sin(a) * (1.0 if k > 0 else 1)))
        for k in range(0, 181, 6):  # a gentle lower edge
            a = math.radians(k)
            pts.append((cx - r * math.cos(a), cy + 40 + r * 0.35 * math.sin(a)))
        return pts

    p.shape("poly", fan(80), bands[0][1], (90, 80, 170), 3.5)
    for r, colour in bands[1:]:
        p.poly([(cx + (x - cx), cy + 40 + (y - cy - 40)) for x, y in fan(r)], colour)
    for k in range(1, 12):  # ribs fanning out from the hinge
        a = math.radians(180 + 15 * k)
        p.line([(cx + 12 * math.cos(a), cy + 40 + 11 * math.sin(a)),
                (cx + 74 * math.cos(a), cy + 40 + 66 * math.sin(a))], (120, 110, 210), 2)
    p.shape("ellipse", (cx, cy + 50, 14, 8), (120, 110, 200), (90, 80, 170), 2.5)
    highlight(p, 66, 84, 6, 13, (235, 230, 255), angle=-50)
    return p.done()


# -------------------------------------------------------- butterflies --


def butterfly(upper, lower, spot, body=(70, 50, 60)):
    p = Pic()
    outline = darker(upper, 0.5)
    wings = []
    for side in (-1, 1):
        wings.append(("poly", rotated_ellipse(100 + side * 42, 80, 40, 32, side * 30 - (180 if side < 0 else 0))))
        wings.append(("poly", rotated_ellipse(100 + side * 34, 132, 30, 26, side * -35)))
    # the wings' roots, so that no gap opens between the wings at the body
    roots = ("poly", rotated_ellipse(100, 108, 30, 34, 0))
    p.group(wings + [roots], upper, outline, 3.5)
    for side in (-1, 1):
        p.poly(rotated_ellipse(100 + side * 34, 132, 30, 26, side * -35), lower)
        p.poly(rotated_ellipse(100 + side * 42, 80, 40, 32, side * 30 - (180 if side < 0 else 0)), upper)
    # the outline of the lower wings, over the upper ones
    for side in (-1, 1):
        ring = rotated_ellipse(100 + side * 34, 132, 30, 26, side * -35)
        p.line(ring + [ring[0]], outline, 3.5)
    for side in (-1, 1):
        p.ellipse(100 + side * 48, 76, 12, 12, spot)
        p.ellipse(100 + side * 48, 76, 5, 5, lighter(spot, 0.7))
        p.ellipse(100 + side * 36, 134, 8, 8, spot)
        p.ellipse(100 + side * 70, 64, 4, 4, GLINT)
    p.shape("line", ([(100, 66), (100, 156)], 12), body, darker(body), 2)
    p.shape("ellipse", (100, 56, 11, 11), body, darker(body), 2)
    for side in (-1, 1):
        feeler = [(100 + side * 4, 48), (100 + side * 12, 32), (100 + side * 24, 20)]
        p.line(feeler, body, 3.2)
        p.ellipse(100 + side * 25, 19, 5, 5, body)
    p.ellipse(96, 53, 2, 2, GLINT)
    p.ellipse(104, 53, 2, 2, GLINT)
    return p.done()


# -------------------------------------------------------------- stars --


def star(colour, smile=False, wink=False):
    p = Pic()
    pts = star_points(100, 106, 76, 36)
    outline = darker(colour, 0.6)
    # rounded points: the star's outline drawn with round joins, wide
    p.poly(pts, outline)
    p.line(pts + [pts[0]], outline, 14)
    p.poly(pts, colour)
    p.line(pts + [pts[0]], colour, 7)
    inner = star_points(97, 102, 40, 19)
    p.poly(inner, lighter(colour, 0.35))
    highlight(p, 72, 84, 5, 10, lighter(colour, 0.8), angle=-40)
    if smile:
        face(p, 100, 114, 1.3, wink)
    else:
        for x, y, r in ((122, 96, 8), (84, 132, 6)):
            p.poly(star_points(x, y, r, r * 0.35, n=4, turn=0), GLINT)
    return p.done()


STRIPS = [
    (101, "fruit", [apple, cherries, strawberry, orange, grapes]),
    (103, "leaves", [green_leaf, maple_leaf, ginkgo_leaf, clover]),
    (105, "shells", [lambda: scallop((255, 160, 170), (225, 95, 120)), spiral_shell, cone_shell, clam,
                     lambda: scallop((255, 215, 90), (235, 150, 40))]),
    (107, "butterflies", [lambda: butterfly((255, 150, 30), (255, 200, 60), (90, 40, 20)),
                          lambda: butterfly((70, 160, 255), (150, 210, 255), (255, 240, 120)),
                          lambda: butterfly((255, 120, 190), (200, 120, 240), (255, 255, 160)),
                          lambda: butterfly((250, 230, 60), (140, 220, 90), (255, 130, 40)),
                          lambda: butterfly((80, 210, 150), (60, 170, 230), GLINT)]),
    (109, "stars", [lambda: star((255, 215, 40), smile=True), lambda: star((255, 130, 180)),
                    lambda: star((90, 190, 255), smile=True, wink=True), lambda: star((120, 220, 110)),
                    lambda: star((255, 150, 50), smile=True)]),
]


# ------------------------------------------------------------- strips --


def carry_outline(colour, coverage):
    """The picture's colours where it is drawn, carried BAND pixels out
    into the white (each step takes the brightest of the neighbours'
    channels, so the outline colour spreads), white beyond."""
    known = coverage.point(lambda v: 255 if v > 0 else 0)
    black = Image.new("RGB", colour.size, (0, 0, 0))
    grown = Image.composite(colour, black, known)
    for _ in range(BAND):
        spread = grown.filter(ImageFilter.MaxFilter(3))
        reach = known.filter(ImageFilter.MaxFilter(3))
        grown = Image.composite(grown, spread, known)
        known = reach
    white = Image.new("RGB", colour.size, WHITE)
    return Image.composite(grown, white, known)


def mask_of(coverage):
    """255 inside, 0 outside, a soft ramp of a few levels along the edge."""
    soft = coverage.filter(ImageFilter.GaussianBlur(1.4))
    return soft.point(lambda v: 255 if v >= 247 else (0 if v <= 8 else v))


def quantise(strip):
    """The strip in 256 colours of its own; the white around the pictures
    stays exactly white."""
    q = strip.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = q.getpalette()[:768]
    palette += [0] * (768 - len(palette))
    white_index = q.getpixel((0, 0))
    palette[3 * white_index:3 * white_index + 3] = [255, 255, 255]
    q.putpalette(palette)
    return q, [tuple(palette[3 * i:3 * i + 3]) for i in range(256)]


def write_rle8(path, rows, palette):
    """An 8-bit RLE8 bitmap of `rows` (top row first) with `palette`."""
    h, w = len(rows), len(rows[0])
    bottom_up = rows[::-1]
    body = bytearray()
    for row in bottom_up:
        body += rle8_row(row)
    body[-2:] = b"\x00\x01"  # the last end-of-line becomes end-of-bitmap
    assert decode_rle8(bytes(body), w, h) == [list(r) for r in bottom_up], path
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(body), 2835, 2835, 256, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + table + bytes(body))


def read_back(path):
    """Rows (top first) and palette of a bitmap this script wrote."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    w, h = struct.unpack_from("<ii", data, 18)
    bits, compression = struct.unpack_from("<HI", data, 28)
    assert bits == 8 and compression == 1, path
    palette = [(data[54 + 4 * i + 2], data[54 + 4 * i + 1], data[54 + 4 * i]) for i in range(256)]
    rows = decode_rle8(data[offset:], w, h)[::-1]
    return rows, palette


def check_strip(name, colour_rows, colour_palette, mask_rows, count):
    """What the plug-in needs of a pair of strips: sizes, the grey mask
    table's values, 0 along every frame, and no white near painted mask
    pixels."""
    assert len(colour_rows) == len(mask_rows) == FRAME * count, name
    assert all(len(r) == FRAME for r in colour_rows + mask_rows), name
    problems = []
    for v in range(count):
        painted = 0
        levels = set()
        for y in range(FRAME):
            row = mask_rows[v * FRAME + y]
            for x in range(FRAME):
                m = row[x]
                if m == 0:
                    continue
                painted += 1
                levels.add(m)
                if not (MARGIN <= x < FRAME - MARGIN and MARGIN <= y < FRAME - MARGIN):
                    problems.append("%s %d: mask reaches its frame at %d, %d (a cut edge)" % (name, v, x, y))
                for yy in range(max(0, y - CHECK_REACH), min(FRAME, y + CHECK_REACH + 1)):
                    crow = colour_rows[v * FRAME + yy]
                    for xx in range(max(0, x - CHECK_REACH), min(FRAME, x + CHECK_REACH + 1), 4):
                        if colour_palette[crow[xx]] == WHITE:
                            problems.append("%s %d: white near the mask at %d, %d (a halo)" % (name, v, xx, yy))
        if painted < FRAME * FRAME // 6:
            problems.append("%s %d: too small" % (name, v))
        if 255 not in levels or len(levels) < 4:
            problems.append("%s %d: no soft edge" % (name, v))
    if problems:
        sys.exit("\n".join(sorted(set(p.split(" at ")[0] for p in problems))) + "\nfirst: " + problems[0])


def make_strip(sid, name, painters):
    colour = Image.new("RGB", (FRAME, FRAME * len(painters)), WHITE)
    mask = Image.new("L", (FRAME, FRAME * len(painters)), 0)
    for v, painter in enumerate(painters):
        rgb, coverage = painter()
        colour.paste(carry_outline(rgb, coverage), (0, v * FRAME))
        mask.paste(mask_of(coverage), (0, v * FRAME))
    q, palette = quantise(colour)
    colour_rows = [list(q.getdata())[y * FRAME:(y + 1) * FRAME] for y in range(q.height)]
    mask_rows = [list(mask.getdata())[y * FRAME:(y + 1) * FRAME] for y in range(mask.height)]
    colour_path = os.path.join(HERE, "strip%d.bmp" % sid)
    mask_path = os.path.join(HERE, "strip%d.bmp" % (sid + 1))
    write_rle8(colour_path, colour_rows, palette)
    write_rle8(mask_path, mask_rows, [(g, g, g) for g in range(256)])
    # Check what was written, as the plug-in will read it.
    colour_rows, colour_palette = read_back(colour_path)
    mask_rows, mask_palette = read_back(mask_path)
    assert mask_palette == [(g, g, g) for g in range(256)], name
    check_strip(name, colour_rows, colour_palette, mask_rows, len(painters))
    return colour_rows, colour_palette, mask_rows


def contact_sheet(strips):
    """Every picture at 100 %: the strip's colours on the left, the same
    laid on a checked ground through its mask in the middle, the mask on the
    right; one row of pictures per strip."""
    columns = max(len(s[2]) for s in strips)
    sheet = Image.new("RGB", (columns * (3 * FRAME + 20) + 10, len(strips) * (FRAME + 10) + 10), (90, 90, 90))
    for row, (colour_rows, palette, mask_rows) in enumerate(s[3] for s in strips):
        for v in range(len(colour_rows) // FRAME):
            x0, y0 = 10 + v * (3 * FRAME + 20), 10 + row * (FRAME + 10)
            pic = Image.new("RGB", (FRAME, FRAME))
            laid = Image.new("RGB", (FRAME, FRAME))
            msk = Image.new("L", (FRAME, FRAME))
            for y in range(FRAME):
                for x in range(FRAME):
                    c = palette[colour_rows[v * FRAME + y][x]]
                    m = mask_rows[v * FRAME + y][x]
                    ground = (70, 110, 190) if (x // 10 + y // 10) % 2 else (240, 200, 90)
                    pic.putpixel((x, y), c)
                    laid.putpixel((x, y), tuple((g * (255 - m) + cc * m) // 255 for g, cc in zip(ground, c)))
                    msk.putpixel((x, y), m)
            sheet.paste(pic, (x0, y0))
            sheet.paste(laid, (x0 + FRAME, y0))
            sheet.paste(msk.convert("RGB"), (x0 + 2 * FRAME, y0))
    sheet.save(os.path.join(HERE, "contact_sheet.png"), optimize=False)


def stamp_cursor():
    """A little rubber stamp, its print at the hot spot (bottom middle)."""
    pic = make_cursors.Picture()
    draw = make_cursors.draw
    draw(pic, make_cursors.ellipse(16, 28, 10, 2.5), (240, 60, 80))          # the print
    draw(pic, make_cursors.poly([(6, 24), (26, 24), (26, 20), (6, 20)]), (90, 60, 40))  # rubber base
    draw(pic, make_cursors.poly([(9, 20), (23, 20), (20, 14), (12, 14)]), (240, 200, 80))  # block
    draw(pic, make_cursors.capsule(16, 13, 16, 6, 5), (200, 80, 60))         # handle
    draw(pic, make_cursors.circle(16, 5, 4), (230, 90, 70))                  # knob
    pic.halo()
    rows = make_cursors.rgba_rows(pic)
    with open(os.path.join(HERE, "..", "cursors", "stamp.cur"), "wb") as f:
        f.write(make_cursors.cur_bytes(rows, (16, 28)))


def main():
    strips = []
    for sid, name, painters in STRIPS:
        strips.append((sid, name, painters, make_strip(sid, name, painters)))
    contact_sheet(strips)
    stamp_cursor()


if __name__ == "__main__":
    main()
