#!/usr/bin/env python3
"""Renders the page bar's arrow buttons into the resource files beside this
script.

    python3 app/res/make_page_bar_art.py

writes PagePrevious.bmp (117), PageNext.bmp (118), PagePreviousDown.bmp
(119) and PageNextDown.bmp (120): 32 x 33, 24 bits.  A rounded pale-blue
key with a clear orange arrow; the pressed faces are darker and shifted
one pixel down and right, as a pushed key looks.  Deterministic output.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 32, 33
SAMPLES = 4


def inside_key(x, y, shift):
    x0, y0, x1, y1, r = 1.5 + shift, 1.5 + shift, 30.5 + shift, 31.5 + shift, 6.0
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_arrow(x, y, pointing_right, shift):
    x -= shift
    y -= shift
    if not pointing_right:
        x = 32 - x
    # shaft and head of an arrow pointing right, centred on the key
    if 8 <= x <= 17 and 13.5 <= y <= 19.5:
        return True
    return 16 <= x <= 25 and abs(y - 16.5) <= (25 - x) * 0.95


def face(pointing_right, pressed):
    shift = 1 if pressed else 0
    key = (150, 200, 240) if pressed else (200, 230, 255)
    rim = (70, 120, 180)
    arrow = (235, 110, 20) if pressed else (255, 140, 30)
    back = (212, 208, 200)
    rows = []
    for py in range(H):
        row = []
        for px in range(W):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    if inside_arrow(x, y, pointing_right, shift):
                        c = arrow
                    elif inside_key(x, y, shift):
                        c = key if inside_key_inner(x, y, shift) else rim
                    else:
                        c = back
                    for i in range(3):
                        acc[i] += c[i]
            n = SAMPLES * SAMPLES
            row.append(tuple(int(round(a / n)) for a in acc))
        rows.append(row)
    return rows


def inside_key_inner(x, y, shift):
    x0, y0, x1, y1, r = 3.0 + shift, 3.0 + shift, 29.0 + shift, 30.0 + shift, 4.5
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def write_bmp24(path, rows):
    stride = (W * 3 + 3) & ~3
    bits = b''
    for row in reversed(rows):
        line = b''.join(bytes((b, g, r)) for (r, g, b) in row)
        bits += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(bits), 0, 0, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 54 + len(bits), 0, 0, 54) + header + bits)


def main():
    for name, right, pressed in (('PagePrevious.bmp', False, False), ('PageNext.bmp', True, False),
                                 ('PagePreviousDown.bmp', False, True), ('PageNextDown.bmp', True, True)):
        write_bmp24(os.path.join(HERE, name), face(right, pressed))


if __name__ == '__main__':
    main()
