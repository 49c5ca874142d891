#!/usr/bin/env python3
"""Rewrites the screenshots hostsim saves (stored deflate blocks, RGB) as
small PNGs: a palette when the picture has at most 256 colours, deflated at
the highest level; --crop keeps only the rectangle of W x H pixels whose top
left corner is X, Y (clipped to the picture).
Usage: png_shrink.py [--crop WxH+X+Y] FILE..."""
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


def shrink(path, crop=None):
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
    if crop:
        w, h, left, top = crop
        pixels = [row[left:left + w] for row in pixels[top:top + h]]
        height, width = len(pixels), len(pixels[0]) if pixels else 0
        if not width:
            raise SystemExit(f"{path}: the crop leaves nothing of the picture")
        raw = b"".join(b"\0" + b"".join(row) for row in pixels)
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


args = sys.argv[1:]
crop = None
if args[:1] == ["--crop"]:
    try:
        size, left, top = args[1].split("+")
        crop = tuple(int(v) for v in size.split("x")) + (int(left), int(top))
    except (IndexError, ValueError):
        raise SystemExit("png_shrink.py: --crop wants WxH+X+Y")
    args = args[2:]
for name in args:
    shrink(name, crop)
