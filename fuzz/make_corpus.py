#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/:
small valid inputs of every form each reader takes, and the malformed
cases its tests know (truncated data, lying sizes, impossible fields).
Deterministic; inputs found by fuzzing (regression-*) are kept beside
these and left alone.  Run again after changing it."""
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def le16(v):
    return struct.pack("<H", v & 0xFFFF)


def le32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def info_dib(width, height, bits, colours=None, compression=0, image=None, table_entries=None,
             header_size=40, important=0):
    """A packed DIB with a 40-byte (or longer) info header."""
    if colours is None:
        colours = (1 << bits) if bits <= 8 else 0
    entries = table_entries if table_entries is not None else (colours or ((1 << bits) if bits <= 8 else 0))
    if compression == 3:
        entries = 3
    rows = image if image is not None else bytes(
        (x * 37 + y * 11) & 0xFF for y in range(abs(height)) for x in range(stride(width, bits)))
    h = (le32(header_size) + le32(width) + le32(height) + le16(1) + le16(bits) + le32(compression) +
         le32(len(rows)) + le32(2835) + le32(2835) + le32(colours) + le32(important))
    h += bytes(header_size - 40)
    if compression == 3:
        table = le32(0xF800) + le32(0x07E0) + le32(0x001F) if bits == 16 else le32(0xFF0000) + le32(0xFF00) + le32(0xFF)
    else:
        table = b"".join(bytes((i * 3 & 0xFF, i * 5 & 0xFF, i * 7 & 0xFF, 0)) for i in range(entries))
    return h + table + rows


def core_dib(width, height, bits):
    colours = (1 << bits) if bits <= 8 else 0
    h = le32(12) + le16(width) + le16(height) + le16(1) + le16(bits)
    table = b"".join(bytes((i, 255 - i, i // 2)) for i in range(colours))
    rows = bytes((x + y) & 0xFF for y in range(height) for x in range(stride(width, bits)))
    return h + table + rows


def rle8_stream(width, height):
    """Runs, a literal, a delta and the end marks of a width x height picture."""
    out = bytearray()
    for y in range(height):
        if y == 1 and width >= 4:
            out += bytes((0, 2, 2, 0))  # delta: two right
            out += bytes((width - 2, y))
        elif width >= 6:
            out += bytes((0, 3, 1, 2, 3, 0))  # literal of three, padded
            out += bytes((width - 3, 9))
        else:
            out += bytes((width, y))
        out += bytes((0, 0))
    out += bytes((0, 1))
    return bytes(out)


def rle_dib(width, height, bits=8):
    stream = rle8_stream(width, height) if bits == 8 else bytes((width, 0x12, 0, 0)) * height + bytes((0, 1))
    return info_dib(width, height, bits, compression=1 if bits == 8 else 2, image=stream)


def bmp_file(dib, off_bits=None, size=None):
    header_size = struct.unpack_from("<I", dib)[0]
    if off_bits is None:
        if header_size == 12:
            bits = struct.unpack_from("<H", dib, 10)[0]
            table = 3 * (1 << bits) if bits <= 8 else 0
        else:
            bits = struct.unpack_from("<H", dib, 14)[0]
            compression = struct.unpack_from("<I", dib, 16)[0]
            used = struct.unpack_from("<I", dib, 32)[0]
            table = 12 if compression == 3 else 4 * (used or ((1 << bits) if bits <= 8 else 0))
        off_bits = 14 + header_size + table
    total = 14 + len(dib) if size is None else size
    return b"BM" + le32(total) + le16(0) + le16(0) + le32(off_bits) + dib


def dibs():
    """Packed DIBs of every form; (name, bytes)."""
    d = {
        "rgb24_7x3": info_dib(7, 3, 24),
        "rgb24_topdown": info_dib(5, -4, 24),
        "rgb24_with_colours": info_dib(3, 3, 24, colours=2, table_entries=2, important=2),
        "pal8_9x4": info_dib(9, 4, 8),
        "pal8_16_colours": info_dib(6, 6, 8, colours=16),
        "pal4_5x5": info_dib(5, 5, 4),
        "mono_17x2": info_dib(17, 2, 1),
        "rgb16_3x2": info_dib(3, 2, 16),
        "rgb32_2x2": info_dib(2, 2, 32),
        "fields16_4x2": info_dib(4, 2, 16, compression=3),
        "fields32_2x3": info_dib(2, 3, 32, compression=3),
        "rle8_8x8": rle_dib(8, 8),
        "rle4_6x3": rle_dib(6, 3, bits=4),
        "v4_header": info_dib(4, 4, 24, header_size=108),
        "v5_header": info_dib(2, 2, 32, header_size=124),
        "core8_4x3": core_dib(4, 3, 8),
        "core24_3x3": core_dib(3, 3, 24),
        "core1_9x2": core_dib(9, 2, 1),
    }
    bad = {
        "bad_truncated_rows": info_dib(7, 3, 24)[:-1],
        "bad_header_only": info_dib(7, 3, 24)[:40],
        "bad_short_header": info_dib(7, 3, 24)[:39],
        "bad_257_colours": info_dib(2, 2, 8, colours=257, table_entries=257),
        "bad_implied_table_missing": info_dib(5, 5, 8, colours=0, table_entries=0),
        "bad_bitcount_7": info_dib(2, 2, 24)[:14] + le16(7) + info_dib(2, 2, 24)[16:],
        "bad_two_planes": info_dib(2, 2, 24)[:12] + le16(2) + info_dib(2, 2, 24)[14:],
        "bad_huge_width": info_dib(2, 2, 24)[:4] + le32(0x7FFFFFFF) + info_dib(2, 2, 24)[8:],
        "bad_jpeg_inside": info_dib(2, 2, 24, compression=4),
        "bad_rle_runs_off_row": info_dib(4, 2, 8, compression=1, image=bytes((9, 1, 0, 1))),
        "bad_rle_delta_up_out": info_dib(4, 2, 8, compression=1, image=bytes((0, 2, 0, 9, 0, 1))),
        "bad_rle_literal_past_data": info_dib(8, 2, 8, compression=1, image=bytes((0, 6, 1, 2))),
        "bad_rle_no_size": rle_dib(8, 8)[:20] + le32(0) + rle_dib(8, 8)[24:],
        "bad_zero_width": info_dib(2, 2, 24)[:4] + le32(0) + info_dib(2, 2, 24)[8:],
        "bad_header_size_41": le32(41) + info_dib(2, 2, 24)[4:],
    }
    return d, bad


def pcx(width, height, bits, planes, palette16=None, vga=None, rows=None):
    line = (width * bits + 7) // 8
    line += line & 1
    h = bytearray(128)
    h[0], h[1], h[2], h[3] = 0x0A, 5, 1, bits
    h[4:12] = le16(0) + le16(0) + le16(width - 1) + le16(height - 1)
    h[12:16] = le16(72) + le16(72)
    if palette16:
        h[16:64] = palette16
    h[65] = planes
    h[66:68] = le16(line)
    h[68:70] = le16(1)
    out = bytearray(h)
    for y in range(height):
        for p in range(planes):
            raw = rows(y, p, line) if rows else bytes(((x + y + p) * 29) & 0xFF for x in range(line))
            i = 0
            while i < len(raw):
                v = raw[i]
                n = 1
                while i + n < len(raw) and raw[i + n] == v and n < 63:
                    n += 1
                if n > 1 or v >= 0xC0:
                    out += bytes((0xC0 | n, v))
                else:
                    out.append(v)
                i += n
    if vga:
        out += b"\x0C" + vga
    return bytes(out)


def pcxs():
    pal16 = bytes((i * 16) & 0xFF for i in range(48))
    vga = bytes((i * 7) & 0xFF for i in range(768))
    good = {
        "vga_5x4": pcx(5, 4, 8, 1, vga=vga),
        "rgb_4x3": pcx(4, 3, 8, 3),
        "rgba_3x2": pcx(3, 2, 8, 4),
        "mono_11x3": pcx(11, 3, 1, 1),
        "ega_planes_9x3": pcx(9, 3, 1, 4, palette16=pal16),
        "ega_nibbles_5x2": pcx(5, 2, 4, 1, palette16=pal16),
        "runs_across_lines": pcx(6, 4, 8, 1, vga=vga, rows=lambda y, p, n: bytes(n)),
    }
    v = good["vga_5x4"]
    bad = {
        "bad_truncated": good["rgb_4x3"][:-3],
        "bad_no_palette_mark": v[:-769] + b"\x0B" + v[-768:],
        "bad_header_only": good["rgb_4x3"][:128],
        "bad_line_too_short": good["rgb_4x3"][:66] + le16(1) + good["rgb_4x3"][68:],
        "bad_planes_2": good["rgb_4x3"][:65] + b"\x02" + good["rgb_4x3"][66:],
        "bad_huge_size": good["mono_11x3"][:8] + le16(0xFFFF) + le16(0xFFFF) + good["mono_11x3"][12:],
        # 4000 x 4000 true colour announced by a header with 3 bytes of data:
        # refused before the 48 MB picture is allocated.
        "regression_big_header_no_rows": good["rgb_4x3"][:8] + le16(3999) + le16(3999) +
        good["rgb_4x3"][12:66] + le16(4000) + good["rgb_4x3"][68:131],
    }
    return good, bad


def pnms():
    good = {
        "p1": b"P1\n# a comment\n3 2\n1 0 1\n0 1 0\n",
        "p2": b"P2 2 2 15\n0 5\n10 15\n",
        "p3": b"P3\n2 1\n255\n255 0 0  0 0 255\n",
        "p4": b"P4\n9 2\n" + bytes((0xAA, 0x80, 0x55, 0x00)),
        "p5": b"P5\n3 2\n255\n" + bytes(range(0, 60, 10)),
        "p5_16bit": b"P5\n2 1\n65535\n" + bytes((0xFF, 0xFF, 0x80, 0x00)),
        "p6": b"P6\n2 2\n255\n" + bytes(range(12)),
        "p6_maxval_7": b"P6 1 1 7\n" + bytes((7, 3, 0)),
    }
    bad = {
        "bad_truncated_p6": good["p6"][:-1],
        "bad_maxval_0": b"P5\n1 1\n0\n\x00",
        "bad_maxval_65536": b"P2 1 1 65536\n1\n",
        "bad_zero_width": b"P5\n0 1\n255\n",
        "bad_sample_over_max": b"P2 1 1 3\n9\n",
        "bad_p7": b"P7\nWIDTH 1\n",
        "bad_huge": b"P5\n99999999 99999999\n255\n\x00",
        "regression_big_header_no_samples": b"P3 4000 4000 255\n1 2 3\n",
    }
    return good, bad


def gifs():
    def small(control, comment=True, table=True):
        b = bytearray(b"GIF89a" + bytes((2, 0, 1, 0, 0x80 if table else 0, 0, 0)))
        if table:
            b += bytes((0, 0, 0, 255, 255, 255))
        if comment:
            b += bytes((0x21, 0xFE, 3)) + b"hi!" + b"\x00"
        if control:
            b += bytes((0x21, 0xF9, 4, 0x04, 10, 0, 0, 0))
        b += bytes((0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B))
        return bytes(b)
    good = {
        "plain": small(False),
        "with_control": small(True),
        "no_table": small(False, comment=False, table=False),
        "gif87a": b"GIF87a" + small(False, comment=False)[6:],
        "app_extension": small(False)[:19] + bytes((0x21, 0xFF, 11)) + b"NETSCAPE2.0" + bytes((3, 1, 0, 0, 0)) + small(False)[19:],
    }
    bad = {
        "bad_truncated_table": small(False)[:16],
        "bad_extension_runs_off": small(False)[:22] + bytes((40,)) + b"xx",
        "bad_no_image": small(False)[:19] + b"\x3B",
        "bad_signature": b"GIF90a" + small(False)[6:],
        "bad_short_control": small(False)[:19] + bytes((0x21, 0xF9, 2, 0, 0, 0)) + small(False)[19:],
    }
    return good, bad


def rle_inputs():
    """Three bytes of picture (width-1, height-1, bits: odd = 4) and a stream."""
    good = {
        "rle8_8x8": bytes((7, 7, 0)) + rle8_stream(8, 8),
        "rle8_3x2": bytes((2, 1, 0)) + rle8_stream(3, 2),
        "rle4_6x3": bytes((5, 2, 1)) + bytes((6, 0x12, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 6, 0x77, 0, 1)),
        "no_end_mark": bytes((3, 0, 0)) + bytes((4, 1)),
        "delta_to_top": bytes((3, 3, 0)) + bytes((0, 2, 3, 3, 1, 5, 0, 1)),
    }
    bad = {
        "bad_run_past_row": bytes((3, 0, 0)) + bytes((5, 1)),
        "bad_past_last_row": bytes((0, 0, 0)) + bytes((1, 1, 0, 0, 0, 0, 1, 1)),
        "bad_literal_past_data": bytes((9, 0, 0)) + bytes((0, 8, 1, 2, 3)),
        "bad_delta_cut": bytes((3, 3, 0)) + bytes((0, 2, 1)),
        "bad_delta_out": bytes((3, 3, 0)) + bytes((0, 2, 9, 0)),
    }
    return good, bad


def descriptors():
    good = {
        "version": b"1",
        "count_blanks": b"  \t 12",
        "negative": b"-42abc",
        "name_utf8": "ふでペン".encode("utf-8"),
        "name_sjis": bytes((0x82, 0xD3, 0x82, 0xC5, 0x83, 0x79, 0x83, 0x93)),
        "long_name": ("毛筆" * 30).encode("utf-8"),
    }
    bad = {
        "bad_overflow": b"99999999999999999999",
        "bad_min": b"-2147483649",
        "bad_cut_utf8": "あい".encode("utf-8")[:4],
        "bad_lone_lead": bytes((0x82,)),
        "bad_sign_only": b"+",
        "bad_embedded_nul": b"12\x0034",
    }
    return good, bad


def ini_values():
    good = {
        "defaults": b"1\n1\n0\n0\n0\n0\n0\n13421772\n0",
        "darker_paper": b"0\n2\n5\n-30\n15\n23\n23\n33554432\n1",
        "blanks": b"  7\n\t-1\n+3\n",
    }
    bad = {
        "bad_overflow": b"4294967296\n-99999999999\n2147483648\n",
        "bad_text": b"yes\n\n--1\n0x10\n",
        "bad_out_of_range": b"5\n9\n-7\n100\n16\n24\n-1\n-1\n2",
    }
    return good, bad


def write(target, named):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    for name, data in named.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main():
    good, bad = dibs()
    blocks = {**good, **bad}
    files = {k: bmp_file(v) for k, v in good.items()}
    files.update({
        "bad_size_too_small": bmp_file(good["rgb24_7x3"], size=20),
        "bad_size_absurd": bmp_file(good["rgb24_7x3"], size=0x7FFFFFFF),
        "bad_offbits_past_end": bmp_file(good["pal8_9x4"], off_bits=100000),
        "bad_offbits_inside_table": bmp_file(good["pal8_9x4"], off_bits=60),
        "bad_rows_cut": bmp_file(good["rgb24_7x3"])[:-2],
        "bad_signature_only": b"BM",
    })
    files.update({"block_" + k: bmp_file(v) for k, v in bad.items()})
    write("fuzz_bmp_file", files)
    write("fuzz_bmp_head", files)
    write("fuzz_dib_intake", {k: v for k, v in blocks.items() if not k.startswith("core")})
    write("fuzz_dib_header", blocks)
    write("fuzz_conv_normal_dib", blocks)
    write("fuzz_clipboard_dib", {k: v for k, v in blocks.items() if not k.startswith("core")})
    for target, make in (("fuzz_pcx", pcxs), ("fuzz_pnm", pnms), ("fuzz_gif_blocks", gifs),
                         ("fuzz_rle8", rle_inputs), ("fuzz_descriptor", descriptors),
                         ("fuzz_ini_value", ini_values)):
        g, b = make()
        write(target, {**g, **b})
    return 0


if __name__ == "__main__":
    sys.exit(main())
