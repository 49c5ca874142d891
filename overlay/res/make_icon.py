#!/usr/bin/env python3
"""Draws the overlay's icon: a white "T" on a teal square, 32x32 and 16x16.

Writes talvori.ico next to this script. Run it again after changing the
drawing; the .ico is committed so the build needs no Python.
"""
import os
import struct

BACKGROUND = (0x1F, 0x7A, 0x8C)  # teal, as R, G, B
GLYPH = (0xFF, 0xFF, 0xFF)


def pixels(size):
    """Rows top to bottom of (r, g, b, a); a 'T' with a one-pixel margin."""
    bar_top, bar_bottom = size * 3 // 16, size * 6 // 16
    bar_left, bar_right = size * 3 // 16, size - size * 3 // 16
    stem_left, stem_right = size * 6 // 16, size - size * 6 // 16
    stem_bottom = size - size * 3 // 16
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            edge = x in (0, size - 1) or y in (0, size - 1)
            in_bar = bar_top <= y < bar_bottom and bar_left <= x < bar_right
            in_stem = bar_bottom <= y < stem_bottom and stem_left <= x < stem_right
            if edge:
                row.append((0, 0, 0, 0))
            elif in_bar or in_stem:
                row.append(GLYPH + (255,))
            else:
                row.append(BACKGROUND + (255,))
        rows.append(row)
    return rows


def dib(size):
    """A 32-bit BITMAPINFOHEADER image as an .ico entry wants it: height
    doubled for the AND mask, rows bottom-up, then the 1-bit mask."""
    rows = pixels(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + colour + mask


def main():
    images = [dib(32), dib(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "talvori.ico")
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
