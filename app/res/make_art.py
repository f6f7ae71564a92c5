#!/usr/bin/env python3
"""Renders PintoraKids' pictures into the resource files beside this script.

    python3 app/res/make_art.py

writes
    PintoraKids.ico  icon 101: a sheet of drawing paper with a rainbow
                     stroke and a crayon (16, 24, 32 and 48 pixels)
    Eraser.cur       cursor 105: a pink-and-blue eraser, 32 x 32, with the
                     hot spot on the middle of its rubber end
    Paper.bmp        bitmap 124: 256 x 256 drawing-paper texture, 8 bits
                     with a 256-entry colour table, seamless when tiled

Plain Python 3 (no imaging library): shapes are sampled several times per
pixel for smooth edges and written with small BMP/ICO/CUR writers.  The
output is deterministic, so re-running it changes no file.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# ------------------------------------------------------------- shapes --
# A shape is a function (x, y) -> bool in a 0..1 square canvas; a layer is
# a (shape, (r, g, b, a)) pair.  Colours are 0..255, alpha 0..1.


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if (ay > y) != (by > y):
                t = (y - ay) / (by - ay)
                if x < ax + t * (bx - ax):
                    hit = not hit
        return hit
    return inside


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = ((x - ax) * dx + (y - ay) * dy) / length2
        t = min(max(t, 0.0), 1.0)
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= r * r
    return inside


def arc_band(cx, cy, r_in, r_out, a0, a1):
    """Ring segment between angles a0..a1 (radians, y downwards), round ends."""
    mid = (r_in + r_out) / 2
    half = (r_out - r_in) / 2
    ends = [(cx + mid * math.cos(a), cy + mid * math.sin(a)) for a in (a0, a1)]

    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if r_in * r_in <= d2 <= r_out * r_out:
            a = math.atan2(y - cy, x - cx)
            if a0 <= a <= a1 or a0 <= a + 2 * math.pi <= a1:
                return True
        return any((x - ex) ** 2 + (y - ey) ** 2 <= half * half for ex, ey in ends)
    return inside


def rotated(shape, cx, cy, angle):
    """The shape turned by `angle` radians about (cx, cy)."""
    c, s = math.cos(-angle), math.sin(-angle)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        return shape(cx + dx * c - dy * s, cy + dx * s + dy * c)
    return inside


def render(layers, size, samples=5):
    """Composites layers (back to front) into size x size RGBA rows."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    r = g = b = a = 0.0
                    for shape, (cr, cg, cb, ca) in layers:
                        if shape(x, y):
                            r = cr * ca + r * (1 - ca)
                            g = cg * ca + g * (1 - ca)
                            b = cb * ca + b * (1 - ca)
                            a = ca + a * (1 - ca)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = samples * samples
            a = acc[3] / n
            if a > 0:
                row.append((round(acc[0] / n / a), round(acc[1] / n / a), round(acc[2] / n / a), round(a * 255)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


# -------------------------------------------------------------- writers --

def bgra_dib(rows, hotspot=None):
    """BITMAPINFOHEADER (double height) + 32-bit BGRA + 1-bit AND mask."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def write_icon_file(path, images, kind=1, hotspot=(0, 0)):
    """ICO (kind 1) or CUR (kind 2) with one 32-bit image per entry."""
    blobs = [bgra_dib(rows) for rows in images]
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for rows, blob in zip(images, blobs):
        size = len(rows)
        dim = 0 if size >= 256 else size
        if kind == 1:
            planes, bits = 1, 32
        else:
            planes, bits = hotspot
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, planes, bits, len(blob), offset)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))


def write_bmp8(path, width, height, palette, index_rows):
    """8-bit BMP file, rows given top first, stored bottom-up."""
    stride = (width + 3) & ~3
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    image = bytearray()
    for row in reversed(index_rows):
        image += bytes(row) + bytes(stride - width)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(image), 2835, 2835, 256, 256)
    offset = 14 + len(info) + len(table)
    head = struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(head + info + table + bytes(image))


# ----------------------------------------------------------------- icon --

RAINBOW = [(232, 52, 52), (247, 146, 30), (250, 212, 40), (76, 178, 76), (52, 140, 226), (138, 82, 200)]


def icon_layers(small):
    layers = [
        # Soft shadow, then the sheet of paper.
        (rounded_rect(0.07, 0.09, 0.97, 0.99, 0.12), (60, 50, 40, 0.25)),
        (rounded_rect(0.03, 0.03, 0.93, 0.93, 0.12), (150, 128, 100, 1.0)),
        (rounded_rect(0.06, 0.06, 0.90, 0.90, 0.10), (255, 250, 236, 1.0)),
    ]
    # A rainbow: concentric bands over the paper.
    bands = RAINBOW[:4] if small else RAINBOW
    outer, width = 0.66, (0.09 if small else 0.062)
    for i, color in enumerate(bands):
        r_out = outer - i * width
        layers.append((arc_band(0.47, 0.80, r_out - width * 0.98, r_out, -math.pi * 0.97, -math.pi * 0.03),
                       color + (1.0,)))
    if not small:
        # A sun in the corner and a red crayon lying across the bottom.
        layers.append((circle(0.78, 0.22, 0.085), (250, 190, 40, 1.0)))
        crayon_angle = -0.62
        body = rotated(rounded_rect(0.30, 0.70, 0.80, 0.82, 0.02), 0.55, 0.76, crayon_angle)
        tip = rotated(polygon([(0.80, 0.70), (0.93, 0.76), (0.80, 0.82)]), 0.55, 0.76, crayon_angle)
        label = rotated(rounded_rect(0.42, 0.70, 0.66, 0.82, 0.0), 0.55, 0.76, crayon_angle)
        layers += [
            (rotated(rounded_rect(0.29, 0.69, 0.81, 0.83, 0.03), 0.55, 0.76, crayon_angle), (120, 20, 20, 1.0)),
            (body, (226, 40, 40, 1.0)),
            (label, (250, 236, 200, 1.0)),
            (tip, (196, 28, 28, 1.0)),
        ]
    return layers


# --------------------------------------------------------------- eraser --

def eraser_layers():
    # The eraser lies diagonally, rubber end at the lower left.  Coordinates
    # in a 0..1 square; the cursor is 32 pixels.
    angle = -math.pi / 4
    cx, cy = 0.5, 0.5

    def part(x0, x1, y0=0.36, y1=0.64, r=0.05):
        return rotated(rounded_rect(x0, y0, x1, y1, r), cx, cy, angle)
    return [
        (rotated(rounded_rect(0.06, 0.38, 0.98, 0.70, 0.07), cx + 0.03, cy + 0.03, angle), (0, 0, 0, 0.22)),
        (part(0.03, 0.97, 0.33, 0.67, 0.07), (40, 40, 60, 1.0)),          # outline
        (part(0.06, 0.50), (250, 150, 170, 1.0)),                         # pink rubber
        (part(0.06, 0.50, 0.36, 0.44, 0.03), (255, 205, 215, 1.0)),      # its shine
        (part(0.46, 0.94), (60, 120, 220, 1.0)),                          # blue sleeve
        (part(0.46, 0.94, 0.36, 0.44, 0.03), (140, 185, 250, 1.0)),      # its shine
        (part(0.62, 0.78, 0.36, 0.64, 0.0), (255, 255, 255, 1.0)),       # white band
    ]


ERASER_HOTSPOT = (6, 25)  # the middle of the rubber end at 32 x 32


# ---------------------------------------------------------------- paper --

class Lattice:
    """Periodic value noise: a random lattice that wraps around the tile."""

    def __init__(self, period, seed):
        self.period = period
        state = seed
        self.values = []
        for _ in range(period * period):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            self.values.append(state / 0x7FFFFFFF)

    def at(self, x, y):
        p = self.period
        x0, y0 = int(math.floor(x)), int(math.floor(y))
        fx, fy = x - x0, y - y0
        fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
        v = self.values

        def val(ix, iy):
            return v[(iy % p) * p + (ix % p)]
        top = val(x0, y0) * (1 - fx) + val(x0 + 1, y0) * fx
        bottom = val(x0, y0 + 1) * (1 - fx) + val(x0 + 1, y0 + 1) * fx
        return top * (1 - fy) + bottom * fy


def paper_texture(size=256):
    """Grain and fibres of drawing paper as 0..255 levels, seamless."""
    octaves = [(Lattice(8, 11), 0.18), (Lattice(32, 23), 0.27), (Lattice(64, 37), 0.30), (Lattice(128, 41), 0.25)]
    field = [[0.0] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            total = 0.0
            for lattice, weight in octaves:
                scale = lattice.period / size
                total += weight * lattice.at(x * scale, y * scale)
            field[y][x] = total
    # Fibres: short, gently curved strands, lighter or darker than the
    # paper, drawn with wrap-around so the tile stays seamless.
    state = 987654321
    def rnd():
        nonlocal state
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        return state / 0x7FFFFFFF
    for _ in range(420):
        x, y = rnd() * size, rnd() * size
        heading = rnd() * math.pi * 2
        bend = (rnd() - 0.5) * 0.12
        length = 6 + int(rnd() * 18)
        strength = (0.05 + rnd() * 0.07) * (1 if rnd() < 0.55 else -1)
        for _ in range(length):
            ix, iy = int(x) % size, int(y) % size
            field[iy][ix] += strength
            x += math.cos(heading)
            y += math.sin(heading)
            heading += bend
    # Normalise to 0..255 by the field's own range.
    flat = [v for row in field for v in row]
    lo, hi = min(flat), max(flat)
    return [[max(0, min(255, round((v - lo) / (hi - lo) * 255))) for v in row] for row in field]


def paper_palette():
    """256 warm paper tones from a shaded fold to the brightest fibre."""
    dark, light = (206, 199, 184), (250, 247, 238)
    palette = []
    for i in range(256):
        t = i / 255
        t = 0.5 + (t - 0.5) * 0.9
        palette.append(tuple(round(d + (l - d) * t) for d, l in zip(dark, light)))
    return palette


# ----------------------------------------------------------------- main --

def main():
    icons = [render(icon_layers(size <= 16), size, 6 if size <= 24 else 4) for size in (16, 24, 32, 48)]
    write_icon_file(os.path.join(HERE, 'PintoraKids.ico'), icons, kind=1)
    eraser = render(eraser_layers(), 32, 6)
    write_icon_file(os.path.join(HERE, 'Eraser.cur'), [eraser], kind=2, hotspot=ERASER_HOTSPOT)
    write_bmp8(os.path.join(HERE, 'Paper.bmp'), 256, 256, paper_palette(), paper_texture())


if __name__ == '__main__':
    main()
