#!/usr/bin/env python3
"""Draws the built-in pictures of the controls library and writes them as
BMP and CUR files into resources/controls/.

Run from anywhere: python3 scripts/gen_controls_art.py
Only the standard library is used; the output is deterministic.
"""
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


def main():
    os.makedirs(OUT, exist_ok=True)
    write_bmp4(os.path.join(OUT, "w95_htb.bmp"), h_thumb())
    write_bmp4(os.path.join(OUT, "w95_hrl.bmp"), h_ruler())
    write_bmp4(os.path.join(OUT, "w95_vtb.bmp"), v_thumb())
    write_bmp4(os.path.join(OUT, "w95_vrl.bmp"), v_ruler())
    write_bmp4(os.path.join(OUT, "menu_checked.bmp"), menu_checked())
    write_cur(os.path.join(OUT, "pic_handcur.cur"), HAND, (6, 0))
    write_cur(os.path.join(OUT, "pic_dragcur.cur"), DRAG, (8, 8))


if __name__ == "__main__":
    main()
