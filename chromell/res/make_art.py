#!/usr/bin/env python3
"""Renders Chromell's pictures into the resource files beside this script.

    python3 chromell/res/make_art.py

writes
    Picker.cur      cursor 115: the selectors' cursor, a thin cross with an
                    open centre (32 x 32, black with a white outline, hot
                    spot in the middle)
    MarkerAnd.bmp   bitmap 120: the marker's AND mask, 7 x 7 (black where
                    the marker covers the picture, white elsewhere)
    MarkerOr.bmp    bitmap 121: the marker's colour part, 7 x 7 (a black
                    ring around a white ring, black outside the marker)
    PageQuick.bmp   bitmap 122: page icon of the quick selection, 16 x 16
    PageGrad.bmp    bitmap 123: page icon of the gradient palette
    PageRGB.bmp     bitmap 124: page icon of the RGB fields

The page icons use RGB(0, 128, 128) for the pixels the button face shows
through.  Plain Python 3 without an imaging library; the output is
deterministic, so re-running it changes no file.
"""

import colorsys
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (0, 128, 128)


def write_bmp24(name, pixels):
    """pixels: rows top to bottom of (r, g, b) tuples."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) // 4 * 4
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    file_header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(body), 0, 0, 14 + 40)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(file_header + header + body)


def write_cur(name, size, hot, black, white):
    """A monochrome cursor: black and white are sets of (x, y); every other
    pixel is transparent."""
    def mono_rows(bit_of):
        stride = (size + 31) // 32 * 4
        data = bytearray()
        for y in reversed(range(size)):
            row = bytearray(stride)
            for x in range(size):
                if bit_of(x, y):
                    row[x // 8] |= 0x80 >> (x % 8)
            data += row
        return data
    xor = mono_rows(lambda x, y: (x, y) in white)
    andm = mono_rows(lambda x, y: (x, y) not in black and (x, y) not in white)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 2)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + palette + xor + andm
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size, size, 2, 0, hot[0], hot[1], len(image), 6 + 16)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(directory + entry + image)


def picker_cursor():
    size, c = 32, 15
    black = set()
    for d in range(3, 12):           # four arms, leaving the centre open
        for x, y in ((c + d, c), (c - d, c), (c, c + d), (c, c - d)):
            black.add((x, y))
    black.add((c, c))                # the hot spot itself
    white = set()
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black and 0 <= p[0] < size and 0 <= p[1] < size:
                    white.add(p)
    write_cur('Picker.cur', size, (c, c), black, white)


def marker():
    inside, ring = [], []
    for y in range(7):
        row_and, row_or = [], []
        for x in range(7):
            d2 = (x - 3) ** 2 + (y - 3) ** 2
            if d2 > 10:                       # the four corners: picture
                row_and.append((255, 255, 255))
                row_or.append((0, 0, 0))
            elif d2 >= 5 or d2 == 0:          # outer ring and the centre
                row_and.append((0, 0, 0))
                row_or.append((0, 0, 0))
            else:                             # inner ring: white
                row_and.append((0, 0, 0))
                row_or.append((255, 255, 255))
        inside.append(row_and)
        ring.append(row_or)
    write_bmp24('MarkerAnd.bmp', inside)
    write_bmp24('MarkerOr.bmp', ring)


def icon(draw):
    pixels = [[KEY] * 16 for _ in range(16)]
    draw(pixels)
    return pixels


def frame(pixels, x0, y0, x1, y1):
    for x in range(x0, x1 + 1):
        pixels[y0][x] = pixels[y1][x] = (0, 0, 0)
    for y in range(y0, y1 + 1):
        pixels[y][x0] = pixels[y][x1] = (0, 0, 0)


def quick_page(p):
    # A hue strip over a saturation-intensity square, as on the page.
    frame(p, 1, 1, 14, 4)
    for x in range(2, 14):
        r, g, b = colorsys.hsv_to_rgb((x - 2) / 12.0, 1.0, 1.0)
        p[2][x] = p[3][x] = (round(r * 255), round(g * 255), round(b * 255))
    frame(p, 1, 6, 14, 14)
    for y in range(7, 14):
        for x in range(2, 14):
            v = 1.0 - (y - 7) / 6.0
            s = (x - 2) / 11.0
            r, g, b = colorsys.hsv_to_rgb(0.0, s, v)
            p[y][x] = (round(r * 255), round(g * 255), round(b * 255))


def gradient_page(p):
    corners = ((255, 0, 0), (0, 0, 255), (255, 255, 255), (0, 160, 0))
    frame(p, 1, 1, 14, 14)
    for y in range(2, 14):
        v = (y - 2) / 11.0
        for x in range(2, 14):
            u = (x - 2) / 11.0
            top = [a + (b - a) * u for a, b in zip(corners[0], corners[1])]
            bottom = [a + (b - a) * u for a, b in zip(corners[2], corners[3])]
            p[y][x] = tuple(round(a + (b - a) * v) for a, b in zip(top, bottom))


def rgb_page(p):
    # Three bars of different lengths in red, green and blue.
    for (y, length, colour) in ((2, 12, (255, 0, 0)), (7, 8, (0, 176, 0)), (12, 10, (0, 0, 255))):
        frame(p, 1, y - 1, 2 + length, y + 2)
        for yy in (y, y + 1):
            for x in range(2, 2 + length):
                p[yy][x] = colour


def main():
    picker_cursor()
    marker()
    write_bmp24('PageQuick.bmp', icon(quick_page))
    write_bmp24('PageGrad.bmp', icon(gradient_page))
    write_bmp24('PageRGB.bmp', icon(rgb_page))


if __name__ == '__main__':
    main()
