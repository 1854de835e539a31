#!/usr/bin/env python3
"""Draws the editor's 32 toolbar and menu images as 16x16 RGBA PNG files.

Usage: gen_editor_icons.py [output-folder]   (default: resources/editor)
The order of the images is the order of their image indexes.
"""
import os
import struct
import sys
import zlib

N = 16


class Canvas:
    def __init__(self):
        self.px = [[(0, 0, 0, 0)] * N for _ in range(N)]

    def put(self, x, y, c):
        if 0 <= x < N and 0 <= y < N:
            if len(c) == 3:
                c = c + (255,)
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def box(self, x0, y0, x1, y1, fill, edge):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c, w=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for dx in range(w):
                for dy in range(w):
                    self.put(x + dx, y + dy, c)

    def poly(self, pts, c):
        """Fills a polygon (pixel centres inside)."""
        for y in range(N):
            for x in range(N):
                px, py = x + 0.5, y + 0.5
                inside = False
                j = len(pts) - 1
                for i in range(len(pts)):
                    xi, yi = pts[i]
                    xj, yj = pts[j]
                    if (yi > py) != (yj > py):
                        if px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                            inside = not inside
                    j = i
                if inside:
                    self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(N):
            for x in range(N):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def ring(self, cx, cy, r, c, w=1.2):
        for y in range(N):
            for x in range(N):
                d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
                if r - w <= d <= r:
                    self.put(x, y, c)

    def arc(self, cx, cy, r, c, a0, a1, w=1.6):
        import math
        for y in range(N):
            for x in range(N):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                d = (dx * dx + dy * dy) ** 0.5
                a = math.degrees(math.atan2(-dy, dx)) % 360
                inside = (a0 <= a <= a1) if a0 <= a1 else (a >= a0 or a <= a1)
                if r - w <= d <= r and inside:
                    self.put(x, y, c)

    def png(self):
        raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in self.px)

        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        ihdr = struct.pack(">IIBBBBB", N, N, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# Palette.
INK = (40, 48, 64)
PAPER = (252, 252, 246)
BLUE = (40, 100, 200)
LBLUE = (150, 190, 240)
GREEN = (30, 150, 60)
RED = (210, 40, 40)
YELLOW = (240, 200, 60)
DYELLOW = (180, 140, 30)
GRAY = (120, 120, 130)
WAVE = (20, 120, 170)


def page(c, x0=3, x1=12):
    c.box(x0, 1, x1, 14, PAPER, INK)


def wave(c, x0, x1, y, amp, col=WAVE):
    pts = [0, -2, 1, -3, 2, 0, -1, 3, 1, -2, 0, 2, -1, 1, 0, -3, 2, 1]
    prev = None
    for i, x in enumerate(range(x0, x1 + 1)):
        h = pts[i % len(pts)] * amp // 3
        if prev is not None:
            c.line(x - 1, prev, x, y + h, col)
        prev = y + h


def floppy(c):
    c.box(1, 1, 14, 14, BLUE, INK)
    c.rect(4, 2, 11, 6, PAPER)
    c.rect(9, 3, 10, 5, INK)
    c.rect(4, 9, 11, 13, LBLUE)


def curved_arrow(c, back):
    if back:
        c.arc(8, 9, 5.5, BLUE, 300, 180)
        c.poly([(0, 9), (6, 9), (3, 13)], BLUE)
    else:
        c.arc(8, 9, 5.5, BLUE, 0, 240)
        c.poly([(10, 9), (16, 9), (13, 13)], BLUE)


def magnifier(c, sign):
    c.disc(6.5, 6.5, 5, PAPER)
    c.ring(6.5, 6.5, 5.5, INK, 1.5)
    c.line(10, 10, 14, 14, INK, 2)
    if sign in "+-":
        c.line(4, 6, 8, 6, INK, 1)
        c.line(4, 7, 8, 7, INK, 1)
    if sign == "+":
        c.line(6, 4, 6, 8, INK)
        c.line(5, 4, 5, 8, INK)
    if sign == "s":
        c.rect(4, 4, 9, 9, LBLUE)
        c.frame(4, 4, 9, 9, BLUE)
    if sign == "f":
        c.line(3, 6, 10, 6, WAVE)
        c.line(4, 5, 4, 8, WAVE)
        c.line(7, 3, 7, 9, WAVE)
        c.line(9, 5, 9, 7, WAVE)


def draw(name):
    c = Canvas()
    if name == "new":
        page(c)
        c.poly([(9, 1), (13, 1), (13, 5)], (0, 0, 0, 0))
        c.line(9, 1, 12, 4, INK)
        c.line(9, 1, 9, 4, INK)
        c.line(9, 4, 12, 4, INK)
        c.disc(12.5, 12.5, 3, YELLOW)
    elif name == "open":
        c.poly([(1, 4), (6, 4), (7, 5), (13, 5), (13, 13), (1, 13)], DYELLOW)
        c.poly([(3, 8), (16, 8), (13, 14), (0, 14)], YELLOW)
        c.line(0, 14, 13, 14, INK)
    elif name == "save":
        floppy(c)
    elif name == "saveas":
        floppy(c)
        c.line(8, 14, 14, 8, RED, 2)
        c.put(7, 15, INK)
    elif name == "undo":
        curved_arrow(c, True)
    elif name == "redo":
        curved_arrow(c, False)
    elif name == "cut":
        c.line(4, 1, 10, 10, GRAY, 1)
        c.line(11, 1, 5, 10, GRAY, 1)
        c.ring(4, 12.5, 3, INK, 1.3)
        c.ring(12, 12.5, 3, INK, 1.3)
    elif name == "copy":
        c.box(1, 1, 9, 11, PAPER, INK)
        c.box(6, 4, 14, 14, PAPER, INK)
        wave(c, 7, 13, 9, 2)
    elif name == "paste":
        c.box(2, 2, 13, 15, DYELLOW, INK)
        c.rect(5, 1, 10, 3, GRAY)
        c.box(6, 6, 14, 14, PAPER, INK)
        wave(c, 7, 13, 10, 2)
    elif name == "delete":
        c.line(2, 2, 13, 13, RED, 2)
        c.line(13, 2, 2, 13, RED, 2)
    elif name == "crop":
        c.rect(1, 7, 14, 8, GRAY)
        c.box(4, 3, 11, 12, LBLUE, BLUE)
        wave(c, 4, 11, 7, 3)
    elif name == "mix":
        wave(c, 1, 14, 5, 3, WAVE)
        wave(c, 1, 14, 11, 3, GREEN)
        c.line(7, 7, 7, 9, INK)
    elif name == "zoomin":
        magnifier(c, "+")
    elif name == "zoomout":
        magnifier(c, "-")
    elif name == "zoomsel":
        magnifier(c, "s")
    elif name == "fullzoom":
        magnifier(c, "f")
    elif name == "setsel":
        c.box(0, 2, 15, 13, PAPER, INK)
        c.rect(5, 3, 10, 12, LBLUE)
        wave(c, 1, 14, 7, 3)
        c.line(5, 2, 5, 13, RED)
        c.line(10, 2, 10, 13, RED)
    elif name == "play":
        c.poly([(4, 2), (13, 8), (4, 14)], GREEN)
    elif name == "pause":
        c.rect(4, 3, 6, 12, BLUE)
        c.rect(9, 3, 11, 12, BLUE)
    elif name == "stop":
        c.rect(3, 3, 12, 12, INK)
    elif name == "record":
        c.disc(8, 8, 6, RED)
        c.disc(6.5, 6.5, 1.5, (250, 150, 150))
    elif name == "playloop":
        c.arc(8, 8, 6.5, BLUE, 20, 340)
        c.poly([(12, 4), (16, 8), (11, 9)], BLUE)
        c.poly([(6, 5), (11, 8), (6, 11)], GREEN)
    elif name == "gotostart":
        c.rect(2, 3, 3, 12, INK)
        c.poly([(13, 3), (4, 8), (13, 13)], INK)
    elif name == "rewind":
        c.poly([(8, 3), (0, 8), (8, 13)], INK)
        c.poly([(15, 3), (7, 8), (15, 13)], INK)
    elif name == "forward":
        c.poly([(1, 3), (9, 8), (1, 13)], INK)
        c.poly([(8, 3), (16, 8), (8, 13)], INK)
    elif name == "gotoend":
        c.rect(12, 3, 13, 12, INK)
        c.poly([(2, 3), (11, 8), (2, 13)], INK)
    elif name == "marker":
        c.line(4, 1, 4, 15, INK)
        c.poly([(5, 1), (14, 4), (5, 8)], RED)
    elif name == "pastefile":
        page(c, 2, 11)
        wave(c, 3, 10, 7, 2)
        c.poly([(11, 9), (16, 12), (11, 15)], GREEN)
    elif name == "selectall":
        c.box(0, 2, 15, 13, LBLUE, BLUE)
        wave(c, 1, 14, 7, 3)
    elif name == "analysis":
        for i, h in enumerate([4, 8, 11, 7, 9, 5, 3]):
            c.rect(1 + i * 2, 15 - h, 2 + i * 2, 14, [GREEN, GREEN, YELLOW, GREEN, YELLOW, RED, GREEN][i])
        c.line(0, 15, 15, 15, INK)
    elif name == "properties":
        c.box(1, 1, 14, 14, PAPER, INK)
        for y in (4, 8, 12):
            c.line(3, y, 12, y, GRAY)
        c.rect(5, 3, 6, 5, BLUE)
        c.rect(9, 7, 10, 9, BLUE)
        c.rect(6, 11, 7, 13, BLUE)
    elif name == "help":
        c.disc(8, 8, 7, BLUE)
        c.line(6, 4, 9, 4, PAPER)
        c.line(10, 5, 10, 7, PAPER)
        c.line(8, 8, 9, 8, PAPER)
        c.line(8, 9, 8, 10, PAPER)
        c.rect(8, 12, 8, 12, PAPER)
        c.put(5, 5, PAPER)
    else:
        raise ValueError(name)
    return c


# Index order of the images list.
NAMES = [
    "new", "open", "save", "saveas", "undo", "redo", "cut", "copy",
    "paste", "delete", "crop", "mix", "zoomin", "zoomout", "zoomsel", "fullzoom",
    "setsel", "play", "pause", "stop", "record", "playloop", "gotostart", "rewind",
    "forward", "gotoend", "marker", "pastefile", "selectall", "analysis", "properties", "help",
]


def png_rgb(width, height, rows):
    """An opaque RGB PNG from rows of (r, g, b) tuples."""
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def cover_tile():
    """The tile of the cover shown while no file is open: a faint wave on grey
    that joins its neighbours on every side."""
    import math
    w, h = 64, 32
    base = (128, 128, 136)
    ink = (112, 114, 124)
    rows = [[base] * w for _ in range(h)]
    for x in range(w):
        t = 2 * math.pi * x / w
        y = h / 2 + 9 * math.sin(t) + 3 * math.sin(3 * t)
        for dy in (0, 1):
            rows[int(y + dy) % h][x] = ink
    for x in range(0, w, 8):
        rows[h // 2][x] = ink
    return png_rgb(w, h, rows)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "editor")
    os.makedirs(out, exist_ok=True)
    lines = ["// Toolbar and menu images of the editor (made by scripts/gen_editor_icons.py)."]
    for i, name in enumerate(NAMES):
        fname = "img%02d_%s.png" % (i, name)
        with open(os.path.join(out, fname), "wb") as f:
            f.write(draw(name).png())
        lines.append('EDITOR_IMG%02d RCDATA "%s"' % (i, fname))
    with open(os.path.join(out, "cover.png"), "wb") as f:
        f.write(cover_tile())
    lines.append('EDITOR_COVER RCDATA "cover.png"')
    with open(os.path.join(out, "editor.rc"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
