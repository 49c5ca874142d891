#!/usr/bin/env python3
"""Draws the plugin's icon (group 101): a slate tile with an amber "talking"
dot followed by three text lines of falling length. Writes talvor_plugin.ico
with a 32x32 and a 16x16 image, 32-bit BGRA with an AND mask.

Run from anywhere: python3 make_icon.py [output.ico]
"""
import os
import struct
import sys

SUPERSAMPLE = 4

TILE_TOP = (0x2B, 0x3A, 0x67)     # RGB, gradient from top...
TILE_BOTTOM = (0x16, 0x1E, 0x3B)  # ...to bottom
DOT = (0xFF, 0xB0, 0x20)
LINE = (0xF2, 0xF4, 0xFA)


def inside_rounded_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def shape_at(u, v):
    """Colour (RGB) at unit coordinates u, v in [0, 1), or None outside."""
    if not inside_rounded_rect(u, v, 0.03, 0.03, 0.97, 0.97, 0.2):
        return None
    if (u - 0.24) ** 2 + (v - 0.31) ** 2 <= 0.11 ** 2:
        return DOT
    bars = ((0.44, 0.84, 0.26), (0.15, 0.76, 0.50), (0.15, 0.58, 0.70))
    for left, right, top in bars:
        if inside_rounded_rect(u, v, left, top, right, top + 0.10, 0.05):
            return LINE
    t = v
    return tuple(round(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))


def render(size):
    """Rows top to bottom of (r, g, b, a)."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = shape_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c is not None:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            covered = acc[3]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((acc[0] // covered, acc[1] // covered, acc[2] // covered,
                            round(255 * covered / (n * n))))
        rows.append(row)
    return rows


def dib(size):
    rows = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, 'talvor_plugin.ico')
    images = [dib(32), dib(16)]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        data += image
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
