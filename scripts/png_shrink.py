#!/usr/bin/env python3
"""Rewrites the screenshots hostsim saves (stored deflate blocks, RGB) as
small PNGs: a palette when the picture has at most 256 colours, deflated at
the highest level. Usage: png_shrink.py FILE..."""
import struct
import sys
import zlib


def chunks(data):
    pos = 8
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))


def shrink(path):
    data = open(path, "rb").read()
    header, idat = None, b""
    for kind, body in chunks(data):
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat += body
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", header)
    if (depth, colour, interlace) != (8, 2, 0):
        raise SystemExit(f"{path}: not an 8-bit RGB picture without interlace")
    raw = zlib.decompress(idat)
    stride = 1 + 3 * width
    rows = [raw[y * stride:(y + 1) * stride] for y in range(height)]
    if any(row[0] != 0 for row in rows):
        raise SystemExit(f"{path}: filtered rows; only hostsim's own pictures are handled")
    pixels = [[row[1 + 3 * x:4 + 3 * x] for x in range(width)] for row in rows]
    palette = sorted({p for row in pixels for p in row})
    if len(palette) <= 256:
        index = {p: i for i, p in enumerate(palette)}
        body = b"".join(b"\0" + bytes(index[p] for p in row) for row in pixels)
        extra = chunk(b"PLTE", b"".join(palette))
        colour = 3
    else:
        body, extra = raw, b""
    out = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour, 0, 0, 0)) +
           extra + chunk(b"IDAT", zlib.compress(body, 9)) + chunk(b"IEND", b""))
    open(path, "wb").write(out)


for name in sys.argv[1:]:
    shrink(name)
