#!/usr/bin/env python3
"""Draws Penlith's grey-scale brush textures into the bitmaps beside this script.

    python3 plugins/penlith/textures/make_textures.py

writes, 8 bits per pixel, RLE8-compressed, with the identity grey colour
table (index = grey level):

    texture101.bmp  128 x 128  hatching: a dozen parallel vertical pen lines
                               of uneven length and weight, in a round patch
    texture102.bmp  128 x 128  one short, fat paint stroke with bristle
                               streaks and ragged ends (impressionist touch)
    texture103.bmp  128 x 128  oil relief: bristle furrows up the columns,
    texture104.bmp  128 x 128  around mid grey (two different loads of paint)
    texture105.bmp  128 x 128  cloud puffs: soft lumpy cumulus shapes with
    ...texture108.bmp          wispy inner texture, black around them
    texture111.bmp  128 x 128  bristle marks: scattered soft streaks on black,
                               about a fifth of the pixels lit
    texture112.bmp  128 x 128  pastel: a round, mottled blob, soft ragged edge
    texture113.bmp  128 x 128  pen nib: a round solid blob with a soft rim
    texture201.bmp   64 x  64  watercolour paper grain, seamless when tiled
    texture202.bmp   64 x  64  fine drawing-paper grain, seamless when tiled,
                               every value 12..254, mean about 111
    contact_sheet.png          all of them at 100 %, each over its id, for
                               looking at them

Plain Python 3: value noise from an integer hash, so the output is the same
on every run and every machine.  Rows are written bottom row first, as a
bitmap stores them.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ----------------------------------------------------------- noise --


def hash01(ix, iy, seed):
    """A deterministic value in [0, 1) for a lattice point."""
    h = (ix * 374761393 + iy * 668265263 + seed * 2246822519) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h ^= h >> 16
    return (h & 0xFFFFFF) / float(0x1000000)


def smooth(t):
    return t * t * (3 - 2 * t)


def value_noise(x, y, period_x, period_y, seed):
    """Smooth lattice noise in [0, 1), wrapping every period lattice cells."""
    ix, iy = math.floor(x), math.floor(y)
    fx, fy = smooth(x - ix), smooth(y - iy)
    x0, x1 = ix % period_x, (ix + 1) % period_x
    y0, y1 = iy % period_y, (iy + 1) % period_y
    a = hash01(x0, y0, seed)
    b = hash01(x1, y0, seed)
    c = hash01(x0, y1, seed)
    d = hash01(x1, y1, seed)
    top = a + (b - a) * fx
    bottom = c + (d - c) * fx
    return top + (bottom - top) * fy


def fbm(x, y, size, cell, octaves, seed, gain=0.5):
    """Octaves of noise over a square of `size` pixels, seamless at its
    edges; the first octave has cells of `cell` pixels.  About 0..1."""
    total, amp, norm = 0.0, 1.0, 0.0
    for o in range(octaves):
        c = cell / (2 ** o)
        period = max(1, int(round(size / c)))
        total += amp * value_noise(x / c, y / c, period, period, seed + 101 * o)
        norm += amp
        amp *= gain
    return total / norm


def clamp01(v):
    return 0.0 if v < 0 else (1.0 if v > 1 else v)


def smoothstep(e0, e1, v):
    return smooth(clamp01((v - e0) / (e1 - e0)))


def to_bytes(field):
    return [[int(round(255 * clamp01(v))) for v in row] for row in field]


def blank(n):
    return [[0.0] * n for _ in range(n)]


class Rand:
    """A small deterministic generator (so no library change moves a pixel)."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x / 4294967296.0

    def uniform(self, a, b):
        return a + (b - a) * self.next()


# --------------------------------------------------------- textures --
N = 128


def round_patch(x, y, radius, soft):
    """1 inside a disc centred in the square, falling to 0 over `soft`."""
    d = math.hypot(x - (N - 1) / 2, y - (N - 1) / 2)
    return 1 - smoothstep(radius - soft, radius, d)


def hatching():
    """101: pen hatching, vertical lines 9 pixels apart.  Unturned they
    run up the tip: the vertical cross turns them a little either way, the
    horizontal cross by about a right angle, and the direction cross with
    the stroke, so its lines follow the stroke."""
    img = blank(N)
    rnd = Rand(101)
    for k in range(13):
        y0 = 10 + 9 * k + rnd.uniform(-1.2, 1.2)
        half = math.sqrt(max(0.0, 56 ** 2 - (y0 - 63.5) ** 2))
        x_start = 63.5 - half * rnd.uniform(0.75, 1.0)
        x_end = 63.5 + half * rnd.uniform(0.75, 1.0)
        weight = rnd.uniform(0.8, 1.6)
        tilt = rnd.uniform(-0.03, 0.03)
        for x in range(N):
            if x < x_start - 2 or x > x_end + 2:
                continue
            along = (x - x_start) / max(1.0, x_end - x_start)
            taper = smoothstep(0, 0.12, along) * smoothstep(0, 0.08, 1 - along)
            ink = 0.75 + 0.25 * value_noise(x / 7.0, k, 64, 64, 11)
            centre = y0 + tilt * (x - 64) + 0.6 * math.sin(x / 11.0 + k)
            for y in range(int(centre - 4), int(centre + 5)):
                if 0 <= y < N:
                    d = abs(y - centre)
                    v = ink * taper * (1 - smoothstep(weight * 0.5, weight * 0.5 + 1.1, d))
                    img[x][y] = max(img[x][y], v)  # drawn along the rows, stored up the columns
    return to_bytes(img)


def impressionist():
    """102: one fat stroke, loaded at the left, with bristle streaks."""
    img = blank(N)
    for y in range(N):
        dy = (y - 63.5) / 30.0
        # Each bristle row ends at its own place: ragged head and tail.
        start = 14 + 10 * dy * dy + 8 * value_noise(y / 2.5, 0, 64, 1, 21)
        end = 114 - 14 * dy * dy - 12 * value_noise(y / 2.0, 0, 64, 1, 22)
        if abs(dy) >= 1:
            continue
        body = 1 - smoothstep(0.7, 1.0, abs(dy))
        for x in range(N):
            along = (x - start) / max(1.0, end - start)
            if along <= 0 or along >= 1.05:
                continue
            ends = smoothstep(0, 0.1, along) * (1 - smoothstep(0.8, 1.02, along))
            streak = value_noise(x / 24.0, y / 1.7, 8, 76, 23)
            load = 1.0 - 0.35 * along  # paint runs out toward the tail
            v = body * ends * load * (0.45 + 0.55 * streak)
            img[y][x] = v
    return to_bytes(img)


def relief(seed, furrow):
    """103, 104: bristle furrows up the columns around mid grey, the
    height of each furrow wandering slowly along it.  The oil lays the
    unturned relief on vertical strokes and turns it with the stroke, so
    the furrows run along the stroke as a loaded brush leaves them."""
    img = blank(N)
    for y in range(N):
        for x in range(N):
            wobble = 2.5 * (fbm(x, y, N, 64, 2, seed + 7) - 0.5)
            fine = value_noise(x / 20.0, (y + wobble) / furrow, N // 20 + 1, int(N / furrow), seed)
            coarse = fbm(x, y, N, 32, 3, seed + 3)
            v = 0.5 + 0.75 * (fine - 0.5) + 0.35 * (coarse - 0.5)
            img[x][y] = v  # drawn along the rows, stored turned up the columns
    return to_bytes(img)


def cloud(seed):
    """105..108: a cumulus puff of a few lumps, wispy inside, soft edge."""
    rnd = Rand(seed)
    lumps = []
    count = 4 + int(rnd.uniform(0, 3))
    for _ in range(count):
        lumps.append((rnd.uniform(38, 90), rnd.uniform(46, 84), rnd.uniform(18, 30)))
    img = blank(N)
    for y in range(N):
        for x in range(N):
            field = 0.0
            for cx, cy, r in lumps:
                d = math.hypot(x - cx, (y - cy) * 1.15) / r
                field = max(field, 1 - d)
            edge_noise = 0.35 * (fbm(x, y, N, 24, 3, seed + 1) - 0.5)
            shape = smoothstep(0.0, 0.45, field + edge_noise)
            wisp = fbm(x, y, N, 16, 4, seed + 2)
            img[y][x] = shape * (0.55 + 0.6 * wisp)
    # Keep the rim of the square black so a turned puff shows no corner.
    for y in range(N):
        for x in range(N):
            img[y][x] *= round_patch(x, y, 62, 6)
    return to_bytes(img)


def bristle_marks():
    """111: scattered marks of separate bristle clumps: each a short bundle
    of thin streaks with gaps between the hairs and ragged ends."""
    img = blank(N)
    rnd = Rand(111)
    for clump in range(22):
        while True:
            cx, cy = rnd.uniform(14, 114), rnd.uniform(16, 112)
            if math.hypot(cx - 63.5, cy - 63.5) < 50:
                break
        length = rnd.uniform(9, 24)
        width = rnd.uniform(2.0, 4.5)
        strength = rnd.uniform(0.65, 1.0)
        seed = 1110 + clump
        for y in range(int(cy - width - 2), int(cy + width + 3)):
            # Each hair line ends at its own place.
            reach = length * (0.7 + 0.45 * value_noise(y / 1.3, 0, 128, 1, seed))
            hair = value_noise(0, y / 1.2, 1, 128, seed + 1)
            for x in range(int(cx - length * 1.2 - 2), int(cx + length * 1.2 + 3)):
                if not (0 <= x < N and 0 <= y < N):
                    continue
                d = math.hypot((x - cx) / reach, (y - cy) / width)
                if d < 1:
                    v = strength * (1 - d * d) * (0.3 + 0.7 * hair)
                    img[y][x] = max(img[y][x], v)
    return to_bytes(img)


def pastel_blob():
    """112: a round pastel touch, mottled, with a soft ragged edge."""
    img = blank(N)
    for y in range(N):
        for x in range(N):
            d = math.hypot(x - 63.5, y - 63.5)
            ragged = 7 * (fbm(x, y, N, 16, 3, 1121) - 0.5)
            shape = 1 - smoothstep(46, 60, d + ragged)
            mottle = fbm(x, y, N, 12, 4, 1122)
            img[y][x] = shape * (0.62 + 0.5 * mottle)
    return to_bytes(img)


def nib_blob():
    """113: a round solid blob with a soft rim, black outside."""
    img = blank(N)
    for y in range(N):
        for x in range(N):
            img[y][x] = round_patch(x, y, 58, 9)
    return to_bytes(img)


def watercolour_paper():
    """201: cold-pressed watercolour paper, 64 x 64, seamless."""
    n = 64
    img = [[0.0] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            bumps = fbm(x, y, n, 8, 3, 2011, gain=0.55)
            pits = value_noise(x / 2.0, y / 2.0, 32, 32, 2012)
            img[y][x] = 0.38 + 1.3 * (bumps - 0.5) + 0.25 * (pits - 0.5)
    return to_bytes(img)


def fine_paper():
    """202: fine drawing-paper tooth, 64 x 64, seamless, 12..254, mean about
    111: small raised grains of two to three pixels over a fibrous ground,
    with a few pits.  The levels are stretched to 12..254 and bent by the
    power that brings the mean to 111."""
    n = 64
    raw = [[0.0] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            tooth = value_noise(x / 3.2, y / 2.67, 20, 24, 2021)
            fibre = fbm(x, y, n, 16, 2, 2022)
            pit = value_noise(x / 1.0, y / 1.0, 64, 64, 2023)
            raw[y][x] = 0.6 * tooth + 0.3 * fibre + 0.1 * pit
    flat = [v for row in raw for v in row]
    lo, hi = min(flat), max(flat)
    unit = [[(v - lo) / (hi - lo) for v in row] for row in raw]

    def levels(power):
        return [[12 + int(round(242 * t ** power)) for t in row] for row in unit]

    def mean(img):
        return sum(sum(row) for row in img) / float(n * n)

    low, high = 0.2, 5.0
    for _ in range(40):
        mid = (low + high) / 2
        if mean(levels(mid)) > 111:
            low = mid
        else:
            high = mid
    return levels((low + high) / 2)


# ---------------------------------------------------------- writers --


def rle8_row(row):
    """One row in RLE8: runs of a repeated byte as (count, value), other
    stretches of three or more bytes in absolute mode, padded to a word;
    ends with the end-of-line escape."""
    out = bytearray()
    i, n = 0, len(row)
    while i < n:
        j = i
        while j < n and j - i < 255 and row[j] == row[i]:
            j += 1
        if j - i >= 2:
            out += bytes((j - i, row[i]))
            i = j
            continue
        # A literal stretch up to the next pair of equal bytes.
        k = i
        while k < n and k - i < 255 and not (k + 1 < n and row[k] == row[k + 1]):
            k += 1
        if k - i >= 3:
            out += bytes((0, k - i)) + bytes(row[i:k])
            if (k - i) % 2:
                out.append(0)
        else:
            for b in row[i:k]:
                out += bytes((1, b))
        i = k
    out += b"\x00\x00"
    return out


def decode_rle8(data, width, height):
    """Rows bottom first, as the loader gives them (used to check the coder)."""
    rows = [[0] * width for _ in range(height)]
    x = y = i = 0
    while i < len(data):
        count, value = data[i], data[i + 1]
        i += 2
        if count:
            for _ in range(count):
                rows[y][x] = value
                x += 1
        elif value == 0:
            x, y = 0, y + 1
        elif value == 1:
            break
        elif value == 2:
            x += data[i]
            y += data[i + 1]
            i += 2
        else:
            rows[y][x:x + value] = list(data[i:i + value])
            x += value
            i += value + (value & 1)
    return rows


def write_bmp(path, img):
    h, w = len(img), len(img[0])
    bottom_up = img[::-1]
    body = bytearray()
    for row in bottom_up:
        body += rle8_row(row)
    body[-2:] = b"\x00\x01"  # the last end-of-line becomes end-of-bitmap
    assert decode_rle8(bytes(body), w, h) == bottom_up
    palette = b"".join(bytes((g, g, g, 0)) for g in range(256))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(body), 2835, 2835, 256, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    data = head + info + palette + bytes(body)
    with open(path, "wb") as f:
        f.write(data)


# A 3 x 5 digit font for the contact sheet's captions.
DIGITS = {
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111",
    "3": "111001111001111", "4": "101101111001001", "5": "111100111001111",
    "6": "111100111101111", "7": "111001001001001", "8": "111101111101111",
    "9": "111101111001111",
}


def write_png(path, pixels):
    h, w = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + bytes(row) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 0, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def contact_sheet(textures):
    """Five per row in 128-pixel cells, each under its id; a 64 x 64 paper
    fills its cell tiled 2 x 2, which shows that it is seamless."""
    cell, gap, caption = 128, 12, 12
    cols = 5
    rows = (len(textures) + cols - 1) // cols
    width = cols * cell + (cols + 1) * gap
    height = rows * (cell + caption) + (rows + 1) * gap
    sheet = [[200] * width for _ in range(height)]
    for k, (tid, img) in enumerate(textures):
        ox = gap + (k % cols) * (cell + gap)
        oy = gap + (k // cols) * (cell + caption + gap)
        for ci, ch in enumerate(str(tid)):
            for p, bit in enumerate(DIGITS[ch]):
                if bit == "1":
                    for sy in range(2):
                        for sx in range(2):
                            sheet[oy + 2 * (p // 3) + sy][ox + 8 * ci + 2 * (p % 3) + sx] = 0
        top = oy + caption
        h, w = len(img), len(img[0])
        for y in range(cell):
            for x in range(cell):
                sheet[top + y][ox + x] = img[y % h][x % w]
    write_png(os.path.join(HERE, "contact_sheet.png"), sheet)


def main():
    textures = [
        (101, hatching()),
        (102, impressionist()),
        (103, relief(1031, 3.2)),
        (104, relief(1041, 4.6)),
        (105, cloud(1051)),
        (106, cloud(1061)),
        (107, cloud(1071)),
        (108, cloud(1081)),
        (111, bristle_marks()),
        (112, pastel_blob()),
        (113, nib_blob()),
        (201, watercolour_paper()),
        (202, fine_paper()),
    ]
    for tid, img in textures:
        write_bmp(os.path.join(HERE, "texture%d.bmp" % tid), img)
    contact_sheet(textures)


if __name__ == "__main__":
    main()
