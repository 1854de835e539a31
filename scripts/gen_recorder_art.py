#!/usr/bin/env python3
"""Draws the recorder's own pictures: the delete confirmation's 48x48 RGBA icon
(a sheet of paper with a folded corner and a red round cross over it) and the
history list's 13x19 row image (a small sound file: a sheet with a blue wave),
drawn pixel by pixel on a magenta key colour that the image list leaves out.
Writes resources/recorder/delete_icon.png and history_row.bmp.
Python 3 standard library only."""
import math
import os
import struct
import zlib

SIZE = 48
SS = 4  # supersampling per axis


def inside_sheet(x, y):
    # Sheet from (8,4) to (34,42) with the top right corner folded at 26.
    if x < 8 or x > 34 or y < 4 or y > 42:
        return None
    if x > 26 and y < 4 + (x - 26):
        return None
    if x > 26 and y < 12 and y >= 4 + (x - 26) - 0.0 and x - 26 <= 8:
        return 'fold'
    return 'sheet'


def sample(x, y):
    """Colour (r, g, b, a) of one point, painted back to front."""
    col = (0, 0, 0, 0)
    kind = inside_sheet(x, y)
    if kind == 'sheet':
        edge = min(x - 8, 34 - x, y - 4, 42 - y)
        if edge < 1.2:
            col = (96, 104, 120, 255)
        else:
            shade = int(250 - (y - 4) * 0.9)
            col = (shade, shade, 255 if shade > 240 else shade + 8, 255)
            # Text lines on the sheet.
            if 13 <= x <= 29 and int(y) % 5 == 0 and 14 <= y <= 36:
                col = (150, 160, 185, 255)
    elif kind == 'fold':
        col = (200, 206, 222, 255)
    # Red round cross at the lower right.
    cx, cy, r = 33.0, 33.0, 12.0
    d = math.hypot(x - cx, y - cy)
    if d <= r:
        if d > r - 1.5:
            col = (140, 16, 16, 255)
        else:
            t = (y - (cy - r)) / (2 * r)
            col = (int(235 - 60 * t), int(60 - 30 * t), int(50 - 25 * t), 255)
            u, v = x - cx, y - cy
            a = abs(u - v) / math.sqrt(2)
            b = abs(u + v) / math.sqrt(2)
            if (a < 1.8 or b < 1.8) and d < r - 4:
                col = (255, 255, 255, 255)
    return col


def render():
    rows = []
    for py in range(SIZE):
        row = bytearray()
        for px in range(SIZE):
            acc = [0, 0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    r, g, b, a = sample(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SS * SS
            alpha = acc[3] / n
            if acc[3]:
                row += bytes((round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                              round(acc[2] / acc[3]), round(alpha)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(rows, width, height):
    def chunk(kind, data):
        c = struct.pack('>I', len(data)) + kind + data
        return c + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b''.join(b'\x00' + r for r in rows)
    ihdr = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw, 9)) +
            chunk(b'IEND', b''))


ROW_W, ROW_H = 13, 19
KEY = (255, 0, 255)


def history_row():
    """Rows of (r, g, b), top first: a sheet of 11 x 15 with a folded corner
    and one period of a blue wave across it."""
    px = [[KEY] * ROW_W for _ in range(ROW_H)]
    left, top, right, bottom, fold = 1, 2, 11, 16, 3
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x > right - fold and y < top + fold - (right - x):
                continue  # cut corner
            edge = x in (left, right) or y in (top, bottom)
            px[y][x] = (88, 96, 112) if edge else (250, 250, 255)
    for i in range(fold + 1):  # the fold's diagonal and the folded part
        px[top + i][right - fold + i] = (88, 96, 112)
        for j in range(i):
            px[top + i][right - fold + j] = (206, 212, 226)
    mid = (top + bottom) // 2 + 1
    prev = None
    for x in range(left + 1, right):
        y = mid - round(3 * math.sin((x - left - 1) / (right - left - 2) * 2 * math.pi))
        lo, hi = (y, y) if prev is None else (min(prev, y), max(prev, y))
        for yy in range(lo, hi + 1):
            px[yy][x] = (24, 72, 200)
        prev = y
    return px


def bmp24(px):
    """A bottom-up 24-bit BMP file."""
    h, w = len(px), len(px[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(px):
        line = b''.join(bytes((b, g, r)) for r, g, b in row)
        data += line + bytes(stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)) + \
        header + bytes(data)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, 'resources', 'recorder')
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, 'delete_icon.png'), 'wb') as f:
        f.write(png(render(), SIZE, SIZE))
    with open(os.path.join(out, 'history_row.bmp'), 'wb') as f:
        f.write(bmp24(history_row()))


if __name__ == '__main__':
    main()
