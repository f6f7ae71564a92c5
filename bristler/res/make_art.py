#!/usr/bin/env python3
"""Renders Bristler's pictures into the resource files beside this script.

    python3 bristler/res/make_art.py

writes
    Eyedropper.bmp  bitmap 106: the settings dialog's eyedropper hint,
                    20 x 20, 24 bits: a tilted glass dropper with a red
                    drop, on the dialog face colour

Plain Python 3: shapes are sampled 4 x 4 times per pixel for smooth edges.
The output is deterministic, so re-running it changes no file.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 20
FACE = (240, 240, 240)


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = ((x - ax) * dx + (y - ay) * dy) / length2
        t = min(max(t, 0.0), 1.0)
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


# Layers from back to front, in a 0..1 square: (shape, colour).
LAYERS = [
    (capsule(0.30, 0.70, 0.70, 0.30, 0.12), (60, 60, 70)),       # glass outline
    (capsule(0.30, 0.70, 0.70, 0.30, 0.075), (200, 225, 245)),   # glass
    (capsule(0.42, 0.58, 0.66, 0.34, 0.05), (90, 150, 220)),     # ink inside
    (capsule(0.72, 0.28, 0.86, 0.14, 0.13), (40, 40, 48)),       # rubber bulb
    (capsule(0.30, 0.70, 0.14, 0.86, 0.035), (60, 60, 70)),      # nozzle
    (circle(0.12, 0.92, 0.065), (220, 30, 30)),                  # the drop
]


def render():
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0]
            for sy in range(4):
                for sx in range(4):
                    x = (px + (sx + 0.5) / 4) / SIZE
                    y = (py + (sy + 0.5) / 4) / SIZE
                    colour = FACE
                    for shape, fill in LAYERS:
                        if shape(x, y):
                            colour = fill
                    for c in range(3):
                        acc[c] += colour[c]
            row.append(tuple(int(round(v / 16)) for v in acc))
        rows.append(row)
    return rows


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(file_header + header + data)


if __name__ == "__main__":
    write_bmp(os.path.join(HERE, "Eyedropper.bmp"), render())
