#!/usr/bin/env python3
"""Draws the 27 brush cursors of Penlith.brs (resource IDs 1001..1027).

Each cursor is a 32 x 32 picture with an alpha channel, drawn with 4 x 4
supersampling from a few simple shapes, with a dark halo so that it shows
on light and dark pictures alike.  The hot spot is where the brush paints:
the tip of the tool (bottom left), or the middle of a roller, a bucket's
pouring paint, and so on.

    python3 plugins/penlith/cursors/make_cursors.py            # writes *.cur here
    python3 plugins/penlith/cursors/make_cursors.py --sheet x.png
                                     # also an enlarged contact sheet to look at

Only the standard library is used.
"""
import math
import os
import struct
import sys
import zlib

SIZE = 32
SUB = 4  # supersampling per axis

HERE = os.path.dirname(os.path.abspath(__file__))

# --------------------------------------------------------------- drawing --


class Picture:
    def __init__(self):
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(SIZE)] for _ in range(SIZE)]

    def paint(self, inside, color, bbox=None, alpha=1.0):
        """Composites `color` (r, g, b) over every pixel by the share of its
        subsamples for which inside(x, y) holds."""
        x0, y0, x1, y1 = bbox or (0, 0, SIZE, SIZE)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(SIZE, int(x1) + 2), min(SIZE, int(y1) + 2)
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for sy in range(SUB):
                    for sx in range(SUB):
                        if inside(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB):
                            hits += 1
                if hits:
                    self.over(px, py, color, alpha * hits / (SUB * SUB))

    def over(self, x, y, color, a):
        r, g, b, da = self.px[y][x]
        out = a + da * (1 - a)
        if out <= 0:
            return
        mix = lambda s, d: (s * a + d * da * (1 - a)) / out
        self.px[y][x] = (mix(color[0], r), mix(color[1], g), mix(color[2], b), out)

    def halo(self, color=(20, 20, 20), strength=0.85):
        """A one-pixel dark rim around everything drawn."""
        alpha = [[self.px[y][x][3] for x in range(SIZE)] for y in range(SIZE)]
        for y in range(SIZE):
            for x in range(SIZE):
                near = 0.0
                for dy in (-1, 0, 1):
                    for dx in (-1, 0, 1):
                        xx, yy = x + dx, y + dy
                        if 0 <= xx < SIZE and 0 <= yy < SIZE:
                            near = max(near, alpha[yy][xx])
                a = near * strength * (1 - alpha[y][x])
                if a > 0.02:
                    r, g, b, da = self.px[y][x]
                    # the rim goes under what is there
                    out = da + a * (1 - da)
                    mix = lambda s, d: (d * da + s * a * (1 - da)) / out
                    self.px[y][x] = (mix(color[0], r), mix(color[1], g), mix(color[2], b), out)


def poly(points):
    def inside(x, y):
        c = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                c = not c
        return c
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def circle(cx, cy, r):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r), (cx - r, cy - r, cx + r, cy + r)


def ellipse(cx, cy, rx, ry):
    return (lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1), (cx - rx, cy - ry, cx + rx, cy + ry)


def capsule(ax, ay, bx, by, w):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy or 1)
        t = max(0.0, min(1.0, t))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= (w / 2) ** 2
    r = w / 2
    return inside, (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r)


def ring(cx, cy, r0, r1, upper_only=True):
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return r0 * r0 <= d <= r1 * r1 and (not upper_only or y <= cy)
    return inside, (cx - r1, cy - r1, cx + r1, cy + r1)


def draw(pic, shape, color, alpha=1.0):
    inside, bbox = shape
    pic.paint(inside, color, bbox, alpha)


# A tool lying from its tip at the bottom left toward the top right: (s, t)
# are the distances along the tool and across it.
class Tool:
    def __init__(self, tip=(3.0, 29.0), angle=45.0):
        self.tx, self.ty = tip
        a = math.radians(angle)
        self.u = (math.cos(a), -math.sin(a))
        self.v = (math.sin(a), math.cos(a))

    def at(self, s, t=0.0):
        return (self.tx + s * self.u[0] + t * self.v[0], self.ty + s * self.u[1] + t * self.v[1])

    def band(self, s0, s1, w0, w1=None):
        """A band of the tool from s0 to s1, w0 wide at s0 and w1 at s1."""
        w1 = w0 if w1 is None else w1
        return poly([self.at(s0, -w0 / 2), self.at(s1, -w1 / 2), self.at(s1, w1 / 2), self.at(s0, w0 / 2)])


WOOD = (222, 170, 105)
METAL = (185, 190, 200)
DARK = (40, 40, 45)
WHITE = (250, 250, 250)

# --------------------------------------------------------------- cursors --


def paint_brush(pic, bristles, paint, flat=False, handle=(200, 60, 50), length=30, tip_kind="round"):
    """A paint brush: handle, ferrule, bristles with paint on the tip."""
    t = Tool()
    draw(pic, t.band(11, length, 3.6, 2.6), handle)
    draw(pic, t.band(7.5, 12, 5.4 if flat else 4.2, 3.8), METAL)
    if tip_kind == "round":
        draw(pic, t.band(0, 8, 0.6, 4.4), bristles)
        draw(pic, t.band(0, 4.5, 0.6, 3.2), paint)
    elif tip_kind == "flat":
        draw(pic, t.band(0, 8, 6.4, 5.4), bristles)
        draw(pic, t.band(0, 3.5, 6.4, 6.2), paint)
    return t


def pen_stick(pic, body, tip_color, cone=(250, 230, 200), band=None, length=30, width=5.0, cone_len=6.0,
              tip_len=2.5, end=None):
    """A stick-like tool: cone tip, body, an optional coloured band and end."""
    t = Tool()
    draw(pic, t.band(cone_len, length, width), body)
    draw(pic, t.band(0, cone_len, 0.6, width), cone)
    draw(pic, t.band(0, tip_len, 0.6, width * tip_len / cone_len), tip_color)
    if band:
        draw(pic, t.band(cone_len + 3, cone_len + 5, width + 0.4), band)
    if end:
        draw(pic, t.band(length - 4, length, width), end)
    return t


def airbrush(pic):
    t = Tool(tip=(4.0, 28.0))
    for k, (r, a) in enumerate([(6.5, 0.18), (4.5, 0.3), (2.5, 0.55)]):
        draw(pic, circle(4, 28, r), (230, 60, 60), a)
    draw(pic, t.band(1.5, 9, 1.2, 3), METAL)
    draw(pic, t.band(9, 27, 5.5), (90, 110, 180))
    draw(pic, t.band(24, 28, 5.5), DARK)
    x, y = t.at(15, -5.5)
    draw(pic, ellipse(x, y, 3.2, 2.4), (240, 200, 80))
    draw(pic, capsule(*t.at(14, 2.5), *t.at(13, 8), 2.2), DARK)
    return 3, 28


def spray(pic):
    draw(pic, poly([(17, 11), (27, 11), (27, 30), (17, 30)]), (60, 150, 90))
    draw(pic, poly([(17, 15), (27, 15), (27, 19), (17, 19)]), WHITE)
    draw(pic, ellipse(22, 11, 5, 2), (60, 150, 90))
    draw(pic, poly([(20, 5), (24, 5), (24, 10), (20, 10)]), METAL)
    draw(pic, poly([(16, 5.5), (20, 5.5), (20, 8), (16, 8)]), DARK)
    for x, y, r in [(3, 4, 1.3), (7, 3, 1.0), (10, 6, 1.2), (5, 8, 1.0), (9, 10, 0.9), (12, 3, 0.9), (2, 9, 0.9),
                    (13, 8, 0.8)]:
        draw(pic, circle(x, y, r), (60, 150, 90))
    return 3, 4


def marker(pic):
    t = Tool()
    draw(pic, t.band(7, 30, 6.5), (240, 240, 240))
    draw(pic, t.band(7, 12, 6.5), (230, 70, 150))
    draw(pic, t.band(24, 30, 6.5), (230, 70, 150))
    draw(pic, t.band(3, 7, 3.5, 5.5), (230, 230, 230))
    draw(pic, poly([t.at(0, -1.8), t.at(3.2, -1.8), t.at(3.2, 1.8), t.at(1.5, 1.8)]), (230, 70, 150))
    return 3, 29


def roller(pic):
    draw(pic, capsule(8, 22, 18, 12, 2.0), DARK)
    draw(pic, capsule(18, 12, 22, 8, 2.0), DARK)
    draw(pic, capsule(22, 8, 28, 2, 4.5), (200, 60, 50))
    draw(pic, poly([(1, 18), (13, 18), (13, 27), (1, 27)]), (250, 200, 60))
    draw(pic, ellipse(13, 22.5, 1.6, 4.5), (230, 170, 40))
    draw(pic, poly([(1, 20), (13, 20), (13, 21.2), (1, 21.2)]), (255, 235, 150))
    return 6, 23


def crayon(pic):
    t = pen_stick(pic, (60, 120, 230), (40, 90, 200), cone=(60, 120, 230), width=6.0, cone_len=5.5, tip_len=2.5)
    draw(pic, t.band(10, 25, 6.4), (245, 240, 225))
    draw(pic, t.band(12, 13.2, 6.4), (60, 120, 230))
    draw(pic, t.band(22, 23.2, 6.4), (60, 120, 230))
    return 3, 29


def pencil(pic):
    t = pen_stick(pic, (250, 200, 40), (60, 60, 60), cone=WOOD, width=5.0, cone_len=6.5, tip_len=2.5,
                  end=(240, 150, 160))
    draw(pic, t.band(23.5, 26, 5.2), METAL)
    draw(pic, t.band(6.5, 23.5, 1.2), (230, 170, 20))
    return 3, 29


def watercolor(pic):
    paint_brush(pic, (120, 90, 60), (60, 140, 235), handle=(60, 160, 120))
    draw(pic, ellipse(22, 24, 3.5, 3), (120, 190, 250), 0.9)
    draw(pic, circle(27, 27, 2.2), (120, 190, 250), 0.9)
    return 3, 29


def oil(pic):
    paint_brush(pic, (150, 110, 70), (200, 40, 40), flat=True, handle=(150, 90, 50), tip_kind="flat")
    draw(pic, circle(22, 25, 3.6), (250, 200, 30))
    draw(pic, circle(27.5, 22, 2.6), (40, 150, 70))
    return 3, 29


def pipe(pic):
    # a shaded tube bending from the tip up to the right
    shades = [(40, 90, 170), (70, 130, 215), (120, 175, 245), (190, 220, 255)]
    for k, col in enumerate(shades):
        w = 8.0 - 2.0 * k
        draw(pic, capsule(4, 27 - k * 0.4, 14, 17 - k * 0.4, w), col)
        draw(pic, capsule(14, 17 - k * 0.4, 28, 13 - k * 0.4, w), col)
    return 4, 27


def pointillism(pic):
    paint_brush(pic, (150, 110, 70), (40, 40, 40), handle=(90, 90, 200))
    for x, y, col in [(19, 25, (230, 60, 60)), (24, 28, (60, 160, 230)), (28, 24, (250, 200, 40)),
                      (23, 21, (60, 180, 90)), (14, 28, (200, 90, 210))]:
        draw(pic, circle(x, y, 1.9), col)
    return 3, 29


def artbrush(pic):
    paint_brush(pic, (150, 110, 70), (130, 60, 170), handle=(40, 40, 45))
    for k, col in enumerate([(130, 60, 170), (200, 100, 210)]):
        draw(pic, capsule(16, 28 - 3 * k, 29, 23 - 3 * k, 2.2), col)
    return 3, 29


def rainbow(pic):
    colors = [(230, 40, 40), (245, 150, 30), (245, 225, 40), (60, 180, 70), (50, 120, 230), (130, 60, 190)]
    for k, col in enumerate(colors):
        r1 = 15.5 - 2.2 * k
        draw(pic, ring(16.5, 26, r1 - 2.2, r1), col)
    return 1, 26


def finger(pic):
    # a hand pointing down to the left, paint on the fingertip
    skin, shade, nail = (250, 205, 170), (225, 170, 135), (255, 235, 230)
    draw(pic, ellipse(22, 12, 8.5, 7.5), skin)                 # the fist
    for k in range(3):                                          # curled fingers
        draw(pic, capsule(18 + 3.2 * k, 17.5 - 1.2 * k, 21 + 3.2 * k, 19 - 1.2 * k, 3.0), shade)
    draw(pic, capsule(24, 4, 30, 9, 5.0), skin)                 # the thumb side
    draw(pic, capsule(4.5, 27.5, 17, 14, 5.6), skin)            # the pointing finger
    draw(pic, capsule(8.5, 22.5, 10.5, 20.5, 1.0), shade)       # its knuckle
    draw(pic, capsule(5, 26.5, 7.3, 24, 2.6), nail)
    draw(pic, ellipse(3.5, 29.5, 3.2, 1.6), (230, 60, 60))     # paint under the tip
    return 3, 29


def indiaink(pic):
    t = Tool()
    draw(pic, t.band(10, 31, 3.6), (200, 180, 110))
    for s in (15, 21, 27):
        draw(pic, t.band(s, s + 0.9, 3.8), (140, 120, 60))
    draw(pic, t.band(0, 10, 0.6, 4.8), DARK)
    draw(pic, ellipse(22, 26, 5, 3), (30, 30, 30))
    return 3, 29


def hatch_tool(pic, lines):
    t = pen_stick(pic, (120, 120, 130), (40, 40, 40), cone=WOOD, width=4.2, cone_len=5.5, tip_len=2.2,
                  length=22)
    for (ax, ay, bx, by) in lines:
        draw(pic, capsule(ax, ay, bx, by, 1.3), (40, 60, 160))
    return 3, 29


def crosshatch_vertical(pic):
    lines = [(x, 3, x, 13) for x in (19, 22, 25, 28)] + [(18, 5, 29, 9), (18, 9, 29, 13)]
    return hatch_tool(pic, lines)


def crosshatch_horizontal(pic):
    lines = [(17, y, 29, y) for y in (3, 6, 9, 12)] + [(19, 2, 23, 13), (24, 2, 28, 13)]
    return hatch_tool(pic, lines)


def crosshatch_direction(pic):
    lines = [(16 + k * 3, 13, 22 + k * 3, 3) for k in range(3)] + [(16 + k * 3, 3, 22 + k * 3, 13) for k in range(3)]
    return hatch_tool(pic, lines)


def impressionist(pic):
    paint_brush(pic, (150, 110, 70), (240, 130, 40), handle=(60, 90, 150))
    for (ax, ay, bx, by, col) in [(15, 29, 20, 27, (240, 130, 40)), (21, 24, 26, 23, (60, 150, 230)),
                                  (24, 29, 29, 27, (250, 210, 50)), (27, 20, 30, 17, (70, 180, 90))]:
        draw(pic, capsule(ax, ay, bx, by, 2.4), col)
    return 3, 29


def cloud(pic):
    parts = [circle(9, 18, 6), circle(16, 13, 7.5), circle(23, 17, 6), ellipse(16, 21, 12, 4.5)]
    for shape in parts:
        draw(pic, shape, (150, 170, 200))
    for (cx, cy, r) in [(9, 18, 5), (16, 13, 6.5), (23, 17, 5)]:
        draw(pic, circle(cx, cy, r), WHITE)
    draw(pic, ellipse(16, 20.5, 11, 3.5), WHITE)
    return 16, 17


def watercolor_flat(pic):
    paint_brush(pic, (120, 90, 60), (60, 140, 235), flat=True, handle=(230, 200, 120), tip_kind="flat")
    draw(pic, capsule(17, 28, 29, 28, 3.0), (120, 190, 250), 0.8)
    return 3, 29


def chalk(pic):
    t = Tool()
    draw(pic, t.band(0.8, 22, 5.0), WHITE)
    draw(pic, t.band(0.8, 3, 4.2, 5.0), (230, 230, 230))
    for x, y in [(8, 30), (11, 28.5), (6, 27), (13, 30.5)]:
        draw(pic, circle(x, y, 0.8), (235, 235, 235))
    return 3, 29


def drybrush(pic):
    paint_brush(pic, (150, 110, 70), (110, 70, 40), flat=True, handle=(110, 70, 40), tip_kind="flat")
    for y in (25, 27.5, 30):
        draw(pic, capsule(15, y, 29, y - 1, 1.0), (110, 70, 40))
    return 3, 29


def pastel(pic):
    t = Tool()
    draw(pic, t.band(2, 20, 5.5), (245, 160, 190))
    draw(pic, poly([t.at(0, -1.5), t.at(2.2, -2.75), t.at(2.2, 2.75), t.at(0, 1.5)]), (235, 130, 170))
    draw(pic, t.band(8, 15, 5.9), (250, 245, 235))
    draw(pic, capsule(14, 29, 28, 27, 3.2), (245, 160, 190), 0.7)
    return 3, 29


def oilypen(pic):
    t = Tool()
    draw(pic, t.band(6, 30, 5.6), (50, 50, 55))
    draw(pic, t.band(6, 9, 5.8), (200, 200, 205))
    draw(pic, t.band(22, 24, 5.8), (220, 40, 40))
    draw(pic, t.band(1.5, 6, 2.6, 4.2), (200, 200, 205))
    draw(pic, circle(*t.at(1.6), 1.4), DARK)
    return 3, 29


def fountainpen(pic):
    t = Tool()
    draw(pic, t.band(11, 30, 5.2), (30, 60, 120))
    draw(pic, t.band(11, 13, 5.4), (220, 190, 90))
    draw(pic, t.band(26, 27.5, 5.4), (220, 190, 90))
    draw(pic, poly([t.at(0), t.at(6, -2.6), t.at(11, -2.6), t.at(11, 2.6), t.at(6, 2.6)]), (225, 195, 95))
    draw(pic, capsule(*t.at(0.8), *t.at(6.5), 0.7), DARK)
    draw(pic, circle(*t.at(6.8), 0.9), DARK)
    return 3, 29


def sumie(pic):
    t = Tool()
    draw(pic, capsule(12, 30, 30, 26, 3.4), (60, 60, 60), 0.85)
    draw(pic, capsule(20, 28, 30, 26.5, 1.4), (150, 150, 150), 0.8)
    draw(pic, t.band(10, 31, 3.2), (120, 80, 50))
    draw(pic, t.band(0, 10, 0.6, 4.6), (235, 225, 200))
    draw(pic, t.band(0, 6, 0.6, 3.4), (20, 20, 20))
    return 3, 29


def bucket(pic):
    # a tipped pail pouring paint down to the hot spot
    t = Tool(tip=(13.0, 16.0))
    red = (230, 50, 60)
    draw(pic, capsule(*t.at(1, -6.5), *t.at(5, -10.5), 1.6), DARK)   # the handle
    draw(pic, capsule(*t.at(5, -10.5), *t.at(11, -5.5), 1.6), DARK)
    draw(pic, t.band(0, 13, 13, 9), (150, 160, 175))                 # the pail
    draw(pic, t.band(1.5, 12, 10, 7.5), (195, 205, 220))
    draw(pic, t.band(0, 1.6, 13.6), (110, 120, 135))                 # its rim
    draw(pic, capsule(*t.at(0.3, 3), 6, 24, 3.4), red)               # the paint
    draw(pic, ellipse(5.5, 27.5, 4.5, 2.8), red)
    return 5, 28


CURSORS = [
    ("airbrush", airbrush), ("spray", spray), ("marker", marker), ("roller", roller), ("crayon", crayon),
    ("pencil", pencil), ("watercolor", watercolor), ("oil", oil), ("pipe", pipe), ("pointillism", pointillism),
    ("artbrush", artbrush), ("rainbow", rainbow), ("finger", finger), ("indiaink", indiaink),
    ("crosshatch_vertical", crosshatch_vertical), ("crosshatch_horizontal", crosshatch_horizontal),
    ("crosshatch_direction", crosshatch_direction), ("impressionist", impressionist), ("cloud", cloud),
    ("watercolor_flat", watercolor_flat), ("chalk", chalk), ("drybrush", drybrush), ("pastel", pastel),
    ("oilypen", oilypen), ("fountainpen", fountainpen), ("sumie", sumie), ("bucket", bucket),
]

# ---------------------------------------------------------------- output --


def rgba_rows(pic):
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            r, g, b, a = pic.px[y][x]
            a8 = int(round(a * 255))
            row.append((int(round(r)), int(round(g)), int(round(b)), a8 if a8 >= 8 else 0))
        rows.append(row)
    return rows


def cur_bytes(rows, hotspot):
    """A .cur file: one 32 x 32 image, 32 bits with alpha, and the AND mask
    (set where the cursor is transparent) for systems without alpha."""
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            if a == 0:
                xor += bytes((0, 0, 0, 0))
                bits |= 1 << (31 - x)
            else:
                xor += bytes((b, g, r, a))
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return icondir + entry + image


def png_bytes(width, height, rgb_rows):
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in rgb_rows)
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def contact_sheet(pictures, scale=4, columns=7):
    """Cursors enlarged on light and dark backgrounds, hot spots marked."""
    cell = SIZE * scale + 8
    rows_n = (len(pictures) + columns - 1) // columns
    width, height = columns * cell * 2, rows_n * cell
    out = [[(128, 128, 128)] * width for _ in range(height)]
    for k, (rows, hot) in enumerate(pictures):
        for half, bg in enumerate(((245, 245, 240), (50, 60, 70))):
            ox = (k % columns) * cell * 2 + half * cell + 4
            oy = (k // columns) * cell + 4
            for y in range(SIZE * scale):
                for x in range(SIZE * scale):
                    r, g, b, a = rows[y // scale][x // scale]
                    f = a / 255
                    px = tuple(int(c * f + d * (1 - f)) for c, d in zip((r, g, b), bg))
                    if (x // scale, y // scale) == tuple(hot):
                        px = (0, 255, 0)
                    out[oy + y][ox + x] = px
    return png_bytes(width, height, out)


def main(argv):
    pictures = []
    for name, painter in CURSORS:
        pic = Picture()
        hotspot = painter(pic)
        pic.halo()
        rows = rgba_rows(pic)
        with open(os.path.join(HERE, name + ".cur"), "wb") as f:
            f.write(cur_bytes(rows, hotspot))
        pictures.append((rows, hotspot))
    if len(argv) == 3 and argv[1] == "--sheet":
        with open(argv[2], "wb") as f:
            f.write(contact_sheet(pictures))


if __name__ == "__main__":
    main(sys.argv)
