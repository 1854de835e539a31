#!/usr/bin/env python3
"""Writes the PNG test fixtures of the controls tests.

Each fixture NAME.png comes with NAME.rgba: the expected picture as 8-bit
RGBA, decoded here independently (stdlib zlib only). Layout of .rgba: width
and height as little-endian 32-bit values, then width * height * 4 bytes,
top row first. 16-bit samples reduce to their high byte; gray samples below
8 bits scale to 0..255 as PNG defines (v * 255 / (2^d - 1)); tRNS makes the
key colour (gray, RGB) or the palette entries transparent.

Usage: gen_png_fixtures.py [output folder] (default tests/controls/data/png).
"""
import os
import random
import struct
import sys
import zlib

ADAM7 = [(0, 0, 8, 8), (0, 4, 8, 8), (4, 0, 8, 4), (0, 2, 4, 4), (2, 0, 4, 2), (0, 1, 2, 2),
         (1, 0, 2, 1)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    if pb <= pc:
        return b
    return c


def filter_row(ftype, raw, prev, bpp):
    out = bytearray(len(raw))
    for i, x in enumerate(raw):
        a = raw[i - bpp] if i >= bpp else 0
        b = prev[i]
        c = prev[i - bpp] if i >= bpp else 0
        if ftype == 0:
            p = 0
        elif ftype == 1:
            p = a
        elif ftype == 2:
            p = b
        elif ftype == 3:
            p = (a + b) // 2
        else:
            p = paeth(a, b, c)
        out[i] = (x - p) & 0xFF
    return bytes([ftype]) + bytes(out)


def pack_row(samples, depth):
    """Packs a row of sample values (already flattened over channels)."""
    if depth == 8:
        return bytes(samples)
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    out = bytearray()
    per = 8 // depth
    for i in range(0, len(samples), per):
        byte = 0
        group = samples[i:i + per]
        for k, s in enumerate(group):
            byte |= s << (8 - depth * (k + 1))
        out.append(byte)
    return bytes(out)


def encode_image(pixels, width, height, ctype, depth, interlace, rnd):
    """pixels[y][x] is a tuple of channel samples. Returns the zlib stream."""
    bpp = max(1, CHANNELS[ctype] * depth // 8)
    raw = bytearray()

    def emit_rows(rows):
        prev = None
        for row in rows:
            flat = [s for px in row for s in px]
            data = pack_row(flat, depth)
            if prev is None:
                prev = bytes(len(data))
            ftype = rnd.randrange(5)
            raw.extend(filter_row(ftype, data, prev, bpp))
            prev = data

    if interlace == 0:
        emit_rows(pixels)
    else:
        for (y0, x0, dy, dx) in ADAM7:
            rows = []
            for y in range(y0, height, dy):
                row = [pixels[y][x] for x in range(x0, width, dx)]
                if row:
                    rows.append(row)
            emit_rows(rows)
    return zlib.compress(bytes(raw), 9)


def make_png(width, height, ctype, depth, interlace=0, palette=None, trns=None, extra=b"",
             idat_split=0, seed=1):
    rnd = random.Random(seed)
    maxv = (1 << depth) - 1
    pixels = []
    for y in range(height):
        row = []
        for x in range(width):
            if ctype == 3:
                row.append((rnd.randrange(len(palette)),))
            else:
                row.append(tuple(rnd.randrange(maxv + 1) for _ in range(CHANNELS[ctype])))
        pixels.append(row)
    # Make sure the key colour occurs when there is one.
    if trns is not None and ctype in (0, 2) and width * height > 2:
        pixels[height // 2][width // 2] = trns
        pixels[0][0] = trns
    data = encode_image(pixels, width, height, ctype, depth, interlace, rnd)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, ctype, 0, 0, interlace))
    png += extra
    if palette is not None:
        png += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns is not None:
        if ctype == 0:
            png += chunk(b"tRNS", struct.pack(">H", trns[0]))
        elif ctype == 2:
            png += chunk(b"tRNS", struct.pack(">HHH", *trns))
        else:
            png += chunk(b"tRNS", bytes(trns))
    if idat_split:
        for i in range(0, len(data), idat_split):
            png += chunk(b"IDAT", data[i:i + idat_split])
    else:
        png += chunk(b"IDAT", data)
    png += chunk(b"IEND", b"")

    # Reference decode to 8-bit RGBA.
    ref = bytearray(struct.pack("<II", width, height))
    for y in range(height):
        for x in range(width):
            px = pixels[y][x]
            if ctype == 3:
                r, g, b = palette[px[0]]
                a = trns[px[0]] if trns is not None and px[0] < len(trns) else 255
            else:
                def to8(s):
                    return s >> 8 if depth == 16 else s * 255 // maxv
                if ctype in (0, 4):
                    r = g = b = to8(px[0])
                else:
                    r, g, b = to8(px[0]), to8(px[1]), to8(px[2])
                if ctype == 4:
                    a = to8(px[1])
                elif ctype == 6:
                    a = to8(px[3])
                elif trns is not None and tuple(px) == tuple(trns):
                    a = 0
                else:
                    a = 255
            ref.extend((r, g, b, a))
    return png, bytes(ref)


def palette_of(n, seed):
    rnd = random.Random(seed)
    return [(rnd.randrange(256), rnd.randrange(256), rnd.randrange(256)) for _ in range(n)]


def fixtures():
    out = []
    sizes = [(13, 11), (1, 1), (5, 3)]
    for interlace in (0, 1):
        tag = "i" if interlace else "n"
        for w, h in sizes:
            sz = "%dx%d" % (w, h)
            for depth in (1, 2, 4, 8, 16):
                out.append(("gray%d_%s_%s" % (depth, tag, sz), dict(width=w, height=h, ctype=0,
                                                                      depth=depth, interlace=interlace)))
            for depth in (8, 16):
                out.append(("rgb%d_%s_%s" % (depth, tag, sz), dict(width=w, height=h, ctype=2,
                                                                     depth=depth, interlace=interlace)))
                out.append(("graya%d_%s_%s" % (depth, tag, sz), dict(width=w, height=h, ctype=4,
                                                                       depth=depth, interlace=interlace)))
                out.append(("rgba%d_%s_%s" % (depth, tag, sz), dict(width=w, height=h, ctype=6,
                                                                      depth=depth, interlace=interlace)))
            for depth in (1, 2, 4, 8):
                n = min(1 << depth, 200)
                out.append(("pal%d_%s_%s" % (depth, tag, sz), dict(width=w, height=h, ctype=3,
                                                                     depth=depth, interlace=interlace,
                                                                     palette=palette_of(n, depth))))
        out.append(("pal8trns_%s" % tag, dict(width=9, height=7, ctype=3, depth=8, interlace=interlace,
                                               palette=palette_of(20, 7),
                                               trns=[0, 128, 255, 64, 10] + [255] * 3)))
        out.append(("pal4key_%s" % tag, dict(width=9, height=7, ctype=3, depth=4, interlace=interlace,
                                              palette=palette_of(16, 4), trns=[255, 255, 0])))
        out.append(("gray8trns_%s" % tag, dict(width=9, height=7, ctype=0, depth=8,
                                                interlace=interlace, trns=(77,))))
        out.append(("rgb8trns_%s" % tag, dict(width=9, height=7, ctype=2, depth=8,
                                               interlace=interlace, trns=(10, 20, 30))))
    # Image data split over many IDAT chunks.
    out.append(("rgba8_split", dict(width=17, height=9, ctype=6, depth=8, idat_split=7)))
    out.append(("gray8_split1", dict(width=6, height=6, ctype=0, depth=8, idat_split=1)))
    # Ancillary chunks, known and unknown.
    extra = (chunk(b"tEXt", b"Title\x00Hello") + chunk(b"zTXt", b"Comment\x00\x00" +
                                                          zlib.compress(b"Compressed text")) +
             chunk(b"tIME", struct.pack(">HBBBBB", 2004, 5, 6, 7, 8, 9)) +
             chunk(b"prVt", b"\x01\x02\x03"))
    out.append(("rgb8_ancillary", dict(width=4, height=4, ctype=2, depth=8, extra=extra)))
    # Larger pictures so that the corpus mutates real data.
    out.append(("rgba8_big_n", dict(width=40, height=33, ctype=6, depth=8)))
    out.append(("rgb16_big_i", dict(width=37, height=29, ctype=2, depth=16, interlace=1)))
    return out


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "controls", "data", "png")
    os.makedirs(folder, exist_ok=True)
    names = []
    for seed, (name, args) in enumerate(fixtures(), start=1):
        png, ref = make_png(seed=seed, **args)
        with open(os.path.join(folder, name + ".png"), "wb") as f:
            f.write(png)
        with open(os.path.join(folder, name + ".rgba"), "wb") as f:
            f.write(ref)
        names.append(name)
    with open(os.path.join(folder, "png_fixtures.txt"), "w") as f:
        f.write("\n".join(names) + "\n")


if __name__ == "__main__":
    main()
