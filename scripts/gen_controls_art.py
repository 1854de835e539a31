#!/usr/bin/env python3
"""Draws the built-in pictures of the controls library and writes them as
BMP and CUR files into resources/controls/.

Run from anywhere: python3 scripts/gen_controls_art.py
Only the standard library is used; the output is deterministic.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "resources", "controls")

# The 16-colour palette (RGB).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 maroon
    (0x00, 0x80, 0x00),  # 2 green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0x80, 0x80, 0x80),  # 7 gray
    (0xC0, 0xC0, 0xC0),  # 8 silver
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 fuchsia: transparent background
    (0x00, 0xFF, 0xFF),  # 14 aqua
    (0xFF, 0xFF, 0xFF),  # 15 white
]
K, GRAY, SILVER, BG, WHITE, NAVY, TEAL = 0, 7, 8, 13, 15, 4, 6


def write_bmp4(path, pixels):
    """pixels: list of rows (top first) of palette indexes."""
    h = len(pixels)
    w = len(pixels[0])
    stride = ((w * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if x % 2 == 0:
                line[x // 2] |= (p & 15) << 4
            else:
                line[x // 2] |= p & 15
        data += line
    pal = bytearray()
    for r, g, b in PALETTE:
        pal += bytes((b, g, r, 0))
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def grid(w, h, fill):
    return [[fill] * w for _ in range(h)]


def h_thumb_state(pressed):
    """A 9 x 17 thumb pointing down."""
    w, h = 9, 17
    face = GRAY if pressed else SILVER
    img = grid(w, h, BG)
    body = 12  # rows of the rectangular part
    for y in range(h):
        if y < body:
            x0, x1 = 0, w - 1
        else:
            d = y - body + 1
            x0, x1 = d, w - 1 - d
            if x0 > x1:
                continue
        for x in range(x0, x1 + 1):
            img[y][x] = face
        # outline: light on the upper-left, dark on the lower-right
        img[y][x0] = WHITE if y < body or x0 == 0 else WHITE
        img[y][x1] = K
        if y >= body:
            img[y][x0] = WHITE if not pressed else GRAY
            img[y][x1] = K
            if x1 - 1 > x0:
                img[y][x1 - 1] = GRAY
        elif x1 - 1 > x0:
            img[y][x1 - 1] = GRAY
    for x in range(w - 1):
        img[0][x] = WHITE
    # a grip of three short lines in the middle
    for gy in (4, 6, 8):
        for gx in range(3, 6):
            img[gy][gx] = NAVY if not pressed else K
    return img


def h_thumb():
    a, b = h_thumb_state(False), h_thumb_state(True)
    return [ra + rb for ra, rb in zip(a, b)]


def v_thumb():
    """Two 19 x 9 states pointing right: the horizontal pair turned."""
    out = []
    for state in (h_thumb_state(False), h_thumb_state(True)):
        # rotate a 9 wide x 17 high picture by a quarter turn counter-clockwise
        w, h = len(state[0]), len(state)
        rot = [[state[h - 1 - x][y] for x in range(h)] for y in range(w)]
        # after the turn the point is on the left: mirror so it points right
        rot = [list(reversed(r)) for r in rot]
        # fit into 19 x 9 (17 + two columns of background)
        rot = [r + [BG, BG] for r in rot]
        # round the two left corners so that the bottom-left pixel is background
        rot[0][0] = BG
        rot[-1][0] = BG
        out.append(rot)
    return [ra + rb for ra, rb in zip(out[0], out[1])]


def h_ruler():
    """10 x 8: a sunken groove across the middle rows."""
    img = grid(10, 8, BG)
    rows = {2: GRAY, 3: K, 4: SILVER, 5: WHITE}
    for y, c in rows.items():
        for x in range(10):
            img[y][x] = c
    # rounded ends inside the fixed edges
    for y in (2, 3, 4, 5):
        img[y][0] = GRAY if y < 5 else WHITE
        img[y][9] = WHITE
    img[2][0] = BG
    img[5][0] = BG
    img[2][9] = BG
    img[5][9] = BG
    return img


def v_ruler():
    """8 x 10: the groove turned upright."""
    hr = h_ruler()
    return [[hr[x][y] for x in range(8)] for y in range(10)]


def menu_checked():
    """16 x 16 check mark on white (white is the mask colour)."""
    img = grid(16, 16, WHITE)
    pts = [(4, 8), (5, 9), (6, 10), (7, 9), (8, 8), (9, 7), (10, 6), (11, 5)]
    for x, y in pts:
        for dy in (0, 1, 2):
            img[y + dy - 1][x] = K
    return img


# --- cursors -------------------------------------------------------------

HAND = [
    "......XX........",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..XXX.....",
    ".....X..X..XXX..",
    "..XX.X..X..X..X.",
    ".X..XX........X.",
    ".X...X........X.",
    "..X...........X.",
    "..X...........X.",
    "...X.........X..",
    "...X.........X..",
    "....X.......X...",
    ".....X......X...",
    ".....XXXXXXXX...",
]

DRAG = [
    "................",
    "................",
    "................",
    "................",
    ".....XX.XX.XX...",
    "....X..X..X..XX.",
    "....X........X.X",
    "..XXX..........X",
    ".X..X..........X",
    ".X.............X",
    "..X............X",
    "...X..........X.",
    "...X..........X.",
    "....X........X..",
    ".....X.......X..",
    ".....XXXXXXXXX..",
]


def fill_inside(rows):
    """Marks the pixels enclosed by the outline with 'o' (white), by flooding
    the outside from the borders."""
    h, w = len(rows), len(rows[0])
    grid_ = [list(r) for r in rows]
    outside = [[False] * w for _ in range(h)]
    stack = [(x, y) for x in range(w) for y in (0, h - 1)] + [(x, y) for y in range(h) for x in (0, w - 1)]
    while stack:
        x, y = stack.pop()
        if not (0 <= x < w and 0 <= y < h) or outside[y][x] or grid_[y][x] == "X":
            continue
        outside[y][x] = True
        stack += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    for y in range(h):
        for x in range(w):
            if grid_[y][x] == "." and not outside[y][x]:
                grid_[y][x] = "o"
    return grid_


def write_cur(path, rows, hot):
    """A 32 x 32 monochrome cursor; X black, o white, rest transparent."""
    pic = fill_inside(rows)
    size = 32
    xor_rows, and_rows = [], []
    for y in range(size):
        xr = bytearray(4)
        ar = bytearray(b"\xff\xff\xff\xff")
        for x in range(size):
            c = pic[y][x] if y < len(pic) and x < len(pic[0]) else "."
            if c in "Xo":
                ar[x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
                if c == "o":
                    xr[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(xr))
        and_rows.append(bytes(ar))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 2)
    pal = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    body = info + pal + b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows))
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot[0], hot[1], len(body), 6 + 16)
    with open(path, "wb") as f:
        f.write(head + entry + body)


# --- kind glyphs of the framed bit buttons ------------------------------
#
# Each glyph is two 18 x 18 cells (enabled, disabled) on a magenta key
# colour. Shapes are rasterised with 4 x 4 samples per pixel, filled with a
# top-to-bottom gradient and outlined in a darker shade.

CELL = 18
KEY = (255, 0, 255)


def write_bmp24(path, pixels):
    """pixels: rows (top first) of (r, g, b)."""
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy or 1)
    t = max(0.0, min(1.0, t))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


def stroke(points, width):
    """A polyline of the given width with round joins and ends."""
    r = width / 2.0

    def inside(x, y):
        return any(seg_dist(x, y, *points[i], *points[i + 1]) <= r for i in range(len(points) - 1))

    return inside


def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) <= r


def ring(cx, cy, r_out, r_in, start=None, end=None):
    """A band between two radii; with start and end (degrees, counter-clockwise
    from the right, y up) only that arc of it."""

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r_in <= d <= r_out):
            return False
        if start is None:
            return True
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        s, e = start % 360, end % 360
        return s <= a <= e if s <= e else a >= s or a <= e

    return inside


def polygon(points):
    def inside(x, y):
        c = False
        n = len(points)
        for i in range(n):
            (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
                c = not c
        return c

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def rasterise(shape):
    """The pixels (x, y) that the shape covers at least half of."""
    mask = [[False] * CELL for _ in range(CELL)]
    for y in range(CELL):
        for x in range(CELL):
            hits = sum(shape(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
            mask[y][x] = hits >= 8
    return mask


def shade(top, bottom, y):
    t = y / float(CELL - 1)
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))


def paint(img, shape, top, bottom, outline):
    """Fills the shape with a vertical gradient and draws its edge pixels
    (those with an uncovered 4-neighbour) in the outline colour."""
    mask = rasterise(shape)
    for y in range(CELL):
        for x in range(CELL):
            if not mask[y][x]:
                continue
            edge = any(
                not (0 <= x + dx < CELL and 0 <= y + dy < CELL and mask[y + dy][x + dx])
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
            )
            img[y][x] = outline if edge else shade(top, bottom, y)


def blank():
    return [[KEY] * CELL for _ in range(CELL)]


GREEN = ((120, 220, 110), (20, 140, 40), (0, 80, 20))
RED = ((250, 110, 100), (200, 20, 20), (120, 0, 0))
BLUE = ((110, 160, 250), (20, 70, 190), (0, 30, 110))
WHITE_ON = ((255, 255, 255), (235, 235, 245), (255, 255, 255))
TEAL = ((100, 210, 210), (0, 130, 140), (0, 70, 80))
BROWN = ((215, 160, 95), (150, 90, 35), (80, 45, 10))
GREY = ((200, 200, 205), (130, 130, 140), (70, 70, 80))

CHECK = [(3.5, 9.5), (7.5, 13.5), (15, 4.5)]


def glyph_ok():
    img = blank()
    paint(img, stroke(CHECK, 3.6), *GREEN)
    return img


def glyph_cancel():
    img = blank()
    paint(img, union(stroke([(4.5, 4.5), (13.5, 13.5)], 3.4), stroke([(13.5, 4.5), (4.5, 13.5)], 3.4)), *RED)
    return img


def glyph_help():
    img = blank()
    paint(img, disc(9, 9, 8), *BLUE)
    hook = [(6.4, 6.8)]
    for a in range(160, -100, -20):
        r = math.radians(a)
        hook.append((9 + 2.6 * math.cos(r), 6.6 - 2.6 * math.sin(r)))
    hook.append((9, 10.6))
    mark = union(stroke(hook, 2.2), disc(9, 13.6, 1.3))
    m = rasterise(mark)
    for y in range(CELL):
        for x in range(CELL):
            if m[y][x]:
                img[y][x] = (255, 255, 255)
    return img


def glyph_yes():
    return glyph_ok()


def glyph_no():
    img = blank()
    sign = union(ring(9, 9, 8, 5.4), polygon([(4.2, 5.8), (5.8, 4.2), (13.8, 12.2), (12.2, 13.8)]))
    paint(img, sign, *RED)
    return img


def glyph_close():
    img = blank()
    # the door frame, the open door swung towards the viewer and an arrow out
    paint(img, minus(polygon([(2, 1), (11, 1), (11, 17), (2, 17)]), polygon([(4, 3), (9, 3), (9, 17), (4, 17)])), *GREY)
    paint(img, polygon([(4, 3), (8, 1.5), (8, 17.5), (4, 16)]), *BROWN)
    img[9][7] = (250, 220, 90)
    paint(img, union(polygon([(9.5, 7.8), (13, 7.8), (13, 5.5), (17.5, 9), (13, 12.5), (13, 10.2), (9.5, 10.2)])), *GREEN)
    return img


def glyph_abort():
    img = blank()
    o = [(9 + 8.4 * math.cos(math.radians(22.5 + 45 * i)), 9 + 8.4 * math.sin(math.radians(22.5 + 45 * i))) for i in range(8)]
    paint(img, polygon(o), *RED)
    cross = union(stroke([(6, 6), (12, 12)], 2.2), stroke([(12, 6), (6, 12)], 2.2))
    m = rasterise(cross)
    for y in range(CELL):
        for x in range(CELL):
            if m[y][x]:
                img[y][x] = (255, 255, 255)
    return img


def glyph_retry():
    img = blank()
    # a circular arrow turning counter-clockwise, its head in the gap
    arc = ring(8.5, 10, 7.4, 4.4, 70, 360)
    head = polygon([(11, 10.4), (18, 10.4), (14.5, 5.2)])
    paint(img, union(arc, head), *TEAL)
    return img


def glyph_ignore():
    img = blank()
    # an arrow jumping over a block
    paint(img, polygon([(6.5, 12), (11.5, 12), (11.5, 17), (6.5, 17)]), *GREY)
    arc = ring(9, 13, 7.6, 5.4, 8, 172)
    head = polygon([(12, 11.6), (18, 11.6), (15, 16.6)])
    paint(img, union(arc, head), *BLUE)
    return img


def glyph_all():
    img = blank()
    paint(img, stroke([(1.6, 9.5), (4.4, 12.3), (9, 4.8)], 2.6), *GREEN)
    paint(img, stroke([(8.2, 11.2), (11, 14), (16.4, 5.2)], 2.6), *GREEN)
    return img


def disabled(cell):
    """The cell greyed: each dark pixel in grey with a white copy below
    right; light marks inside a shape stay open."""

    def dark(c):
        return c != KEY and 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2] < 200

    out = blank()
    for y in range(CELL - 1):
        for x in range(CELL - 1):
            if dark(cell[y][x]):
                out[y + 1][x + 1] = (255, 255, 255)
    for y in range(CELL):
        for x in range(CELL):
            if dark(cell[y][x]):
                out[y][x] = (128, 128, 128)
    return out


def kind_glyph(cell):
    """The enabled and the disabled cell side by side; the bottom-left pixel
    stays the key colour."""
    assert cell[CELL - 1][0] == KEY
    off = disabled(cell)
    return [a + b for a, b in zip(cell, off)]


KIND_GLYPHS = {
    "ok": glyph_ok,
    "cancel": glyph_cancel,
    "help": glyph_help,
    "yes": glyph_yes,
    "no": glyph_no,
    "close": glyph_close,
    "abort": glyph_abort,
    "retry": glyph_retry,
    "ignore": glyph_ignore,
    "all": glyph_all,
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, make in KIND_GLYPHS.items():
        write_bmp24(os.path.join(OUT, "fccommon_%s.bmp" % name), kind_glyph(make()))
    write_bmp4(os.path.join(OUT, "w95_htb.bmp"), h_thumb())
    write_bmp4(os.path.join(OUT, "w95_hrl.bmp"), h_ruler())
    write_bmp4(os.path.join(OUT, "w95_vtb.bmp"), v_thumb())
    write_bmp4(os.path.join(OUT, "w95_vrl.bmp"), v_ruler())
    write_bmp4(os.path.join(OUT, "menu_checked.bmp"), menu_checked())
    write_cur(os.path.join(OUT, "pic_handcur.cur"), HAND, (6, 0))
    write_cur(os.path.join(OUT, "pic_dragcur.cur"), DRAG, (8, 8))


if __name__ == "__main__":
    main()
