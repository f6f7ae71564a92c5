#!/usr/bin/env python3
"""Writes probe.cur, the cursor of the test plug-ins: a 32 x 32
monochrome cross with its hot spot in the middle.  Run it from this
folder to regenerate the committed file."""
import struct

SIZE = 32

def rows(pixel):
    data = b""
    for y in reversed(range(SIZE)):  # bottom-up
        bits = 0
        for x in range(SIZE):
            if pixel(x, y):
                bits |= 1 << (31 - x)
        data += struct.pack(">I", bits)
    return data

def on_cross(x, y):
    return (14 <= x <= 17 and 4 <= y <= 27) or (14 <= y <= 17 and 4 <= x <= 27)

header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
palette = struct.pack("<II", 0x000000, 0xFFFFFF)
xor_mask = rows(lambda x, y: False)          # black where drawn
and_mask = rows(lambda x, y: not on_cross(x, y))  # transparent elsewhere
image = header + palette + xor_mask + and_mask
directory = struct.pack("<HHH", 0, 2, 1)
entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 16, 16, len(image), 6 + 16)
with open("probe.cur", "wb") as f:
    f.write(directory + entry + image)
