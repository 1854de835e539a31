#!/usr/bin/env python3
"""Draws the built-in pictures of the look-and-feel library (16 cursors, six
row-marker bitmaps, the sub-menu arrow and the two expand-button images) and
writes them with their resource script into resources/lookandfeel/.

Run from anywhere: python3 scripts/gen_lookandfeel_art.py
Only the standard library is used; the output is deterministic.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from gen_controls_art import HAND, write_bmp4, write_cur  # noqa: E402

OUT = os.path.join(os.path.dirname(HERE), "resources", "lookandfeel")
K, GRAY, SILVER, WHITE = 0, 7, 8, 15
SIZE = 32


class Pic:
    """A 32 x 32 cursor picture: X black, o white, . transparent."""

    def __init__(self):
        self.g = [["."] * SIZE for _ in range(SIZE)]

    def put(self, x, y, c="X"):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.g[y][x] = c

    def rows(self, rows, x0=0, y0=0):
        for y, r in enumerate(rows):
            for x, c in enumerate(r):
                if c != ".":
                    self.put(x0 + x, y0 + y, c)
        return self

    def hline(self, x0, x1, y, c="X"):
        for x in range(x0, x1 + 1):
            self.put(x, y, c)

    def vline(self, x, y0, y1, c="X"):
        for y in range(y0, y1 + 1):
            self.put(x, y, c)

    def box(self, x0, y0, x1, y1, fill="o"):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                self.put(x, y, "X" if edge else fill)

    def text(self):
        return ["".join(r) for r in self.g]


ARROW = [
    "X...........",
    "XX..........",
    "XoX.........",
    "XooX........",
    "XoooX.......",
    "XooooX......",
    "XoooooX.....",
    "XooooooX....",
    "XoooooooX...",
    "XooooooooX..",
    "XoooooXXXXX.",
    "XooXooX.....",
    "XoX.XooX....",
    "XX..XooX....",
    "X....XooX...",
    ".....XooX...",
    "......XX....",
]

# Arrow heads pointing up, 9 wide, 5 high (tip at the top middle).
HEAD_UP = [
    "....X....",
    "...XoX...",
    "..XoooX..",
    ".XoooooX.",
    "XXXXXXXXX",
]


def head(p, cx, cy, direction):
    """An arrow head whose tip is at (cx, cy)."""
    for dy, row in enumerate(HEAD_UP):
        for dx, c in enumerate(row):
            if c == ".":
                continue
            ox, oy = dx - 4, dy
            if direction == "up":
                p.put(cx + ox, cy + oy, c)
            elif direction == "down":
                p.put(cx + ox, cy - oy, c)
            elif direction == "left":
                p.put(cx + oy, cy + ox, c)
            else:
                p.put(cx - oy, cy + ox, c)


def centre_dot(p, cx, cy):
    p.box(cx - 2, cy - 2, cx + 2, cy + 2)
    p.put(cx, cy, "X")


def scroll(directions):
    p = Pic()
    cx = cy = 15
    centre_dot(p, cx, cy)
    tips = {"up": (cx, cy - 12), "down": (cx, cy + 12), "left": (cx - 12, cy), "right": (cx + 12, cy)}
    for d in directions:
        head(p, *tips[d], d)
    return p, (cx, cy)


def pointer_with(badge):
    p = Pic().rows(ARROW)
    badge(p)
    return p, (0, 0)


def document(p, x0, y0):
    p.box(x0, y0, x0 + 8, y0 + 6)


def plus_badge(p):
    document(p, 9, 17)
    p.box(16, 20, 24, 28)
    p.hline(18, 22, 24)
    p.vline(20, 22, 26)


def cross_badge(p):
    p.box(12, 18, 22, 28)
    for i in range(7):
        p.put(14 + i, 20 + i)
        p.put(20 - i, 20 + i)


def multi_badge(p):
    document(p, 12, 17)
    document(p, 10, 19)
    document(p, 8, 21)


def no_drop():
    p = Pic()
    cx = cy = 12
    r_out, r_in = 11, 8
    for y in range(SIZE):
        for x in range(SIZE):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if r_in ** 2 < d <= r_out ** 2:
                p.put(x, y, "X")
            elif d <= r_in ** 2:
                p.put(x, y, "o")
    for i in range(-6, 7):
        for w in (-1, 0, 1):
            p.put(cx + i + w, cy + i, "X")
    return p, (cx, cy)


def splitter(vertical):
    """Two bars with arrows away from them; vertical: the bars run
    horizontally and the arrows point up and down."""
    p = Pic()
    c = 15
    for t in (c - 1, c + 1):
        if vertical:
            p.hline(c - 8, c + 8, t)
        else:
            p.vline(t, c - 8, c + 8)
    if vertical:
        p.vline(c, c - 9, c - 3)
        p.vline(c, c + 3, c + 9)
        head(p, c, c - 12, "up")
        head(p, c, c + 12, "down")
    else:
        p.hline(c - 9, c - 3, c)
        p.hline(c + 3, c + 9, c)
        head(p, c - 12, c, "left")
        head(p, c + 12, c, "right")
    return p, (c, c)


def color_picker():
    p = Pic()
    # A pipette lying from the lower left (tip) to the upper right (bulb).
    for i in range(14):
        x, y = 2 + i, 29 - i
        p.put(x, y - 1, "X")
        p.put(x, y, "o")
        p.put(x + 1, y, "X")
    p.put(1, 30, "X")
    p.box(15, 8, 22, 15, "X")
    p.box(19, 3, 27, 11)
    return p, (1, 30)


def hand_point():
    p = Pic().rows(HAND, 4, 0)
    return p, (10, 0)


CURSORS = [
    ("LF_DRAGCOPYCURSOR", "lf_dragcopy.cur", lambda: pointer_with(plus_badge)),
    ("LF_FULLSCROLLCURSOR", "lf_fullscroll.cur", lambda: scroll(["up", "down", "left", "right"])),
    ("LF_HORSCROLLCURSOR", "lf_horscroll.cur", lambda: scroll(["left", "right"])),
    ("LF_VERSCROLLCURSOR", "lf_verscroll.cur", lambda: scroll(["up", "down"])),
    ("LF_UPSCROLLCURSOR", "lf_upscroll.cur", lambda: scroll(["up"])),
    ("LF_RIGHTSCROLLCURSOR", "lf_rightscroll.cur", lambda: scroll(["right"])),
    ("LF_DOWNSCROLLCURSOR", "lf_downscroll.cur", lambda: scroll(["down"])),
    ("LF_LEFTSCROLLCURSOR", "lf_leftscroll.cur", lambda: scroll(["left"])),
    ("LF_REMOVECURSOR", "lf_remove.cur", lambda: pointer_with(cross_badge)),
    ("LF_VERTSIZECURSOR", "lf_vertsize.cur", lambda: splitter(True)),
    ("LF_HORZSIZECURSOR", "lf_horzsize.cur", lambda: splitter(False)),
    ("LF_MULTIDRAGCURSOR", "lf_multidrag.cur", lambda: pointer_with(multi_badge)),
    ("LF_NODROPCURSOR", "lf_nodrop.cur", no_drop),
    ("LF_DRAGCURSOR", "lf_drag.cur", lambda: pointer_with(lambda p: document(p, 10, 18))),
    ("LF_COLORPICKERCURSOR", "lf_colorpicker.cur", color_picker),
    ("LF_HANDPOINTCURSOR", "lf_handpoint.cur", hand_point),
]

# Row markers: 8 x 9, black on white.
ROW_MARKERS = {
    "LF_ARROWBITMAP": ["..#.....", "..##....", "..###...", "..####..", "..#####.",
                       "..####..", "..###...", "..##....", "..#....."],
    "LF_EDITBITMAP": [".##.##..", "...#....", "...#....", "...#....", "...#....",
                      "...#....", "...#....", "...#....", ".##.##.."],
    "LF_INSERTBITMAP": ["........", "...#....", ".#.#.#..", "..###...", "...#....",
                        "..###...", ".#.#.#..", "...#....", "........"],
    "LF_MULTIDOTBITMAP": ["........", "........", "...#....", "..###...", "..###...",
                          "..###...", "...#....", "........", "........"],
    "LF_MULTIARROWBITMAP": ["..#.....", "..##....", "....#...", "..#..#..", "..##.##.",
                            "..#..#..", "....#...", "..##....", "..#....."],
    "LF_FILTERBITMAP": ["........", "########", "#......#", "#......#", ".#....#.",
                        "..####..", "..#..#..", "..#..#..", "..####.."],
}

SUBMENU_EXPAND = [  # grey levels on white: silver rim, grey core
    "........",
    ".s......",
    ".ss.....",
    ".sgs....",
    ".sggs...",
    ".sgs....",
    ".ss.....",
    ".s......",
]


def marker(rows):
    return [[K if c == "#" else WHITE for c in r] for r in rows]


def expand_button(plus):
    pic = [[WHITE] * 9 for _ in range(9)]
    for i in range(9):
        pic[0][i] = pic[8][i] = pic[i][0] = pic[i][8] = GRAY
    for x in range(2, 7):
        pic[4][x] = K
    if plus:
        for y in range(2, 7):
            pic[y][4] = K
    return pic


def main():
    os.makedirs(OUT, exist_ok=True)
    rc = ["// Built-in pictures of the look-and-feel library (made by scripts/gen_lookandfeel_art.py)."]
    for name, file, make in CURSORS:
        pic, hot = make()
        write_cur(os.path.join(OUT, file), pic.text(), hot)
        rc.append(f'{name:<22} CURSOR "{file}"')
    for name, rows in ROW_MARKERS.items():
        file = name.lower().replace("lf_", "lf_").replace("bitmap", "") + ".bmp"
        write_bmp4(os.path.join(OUT, file), marker(rows))
        rc.append(f'{name:<22} BITMAP "{file}"')
    sub = [[{"s": SILVER, "g": GRAY}.get(c, WHITE) for c in r] for r in SUBMENU_EXPAND]
    write_bmp4(os.path.join(OUT, "lx_submenuexpand.bmp"), sub)
    rc.append('LXSUBMENUEXPAND        BITMAP "lx_submenuexpand.bmp"')
    write_bmp4(os.path.join(OUT, "lx_expand_minus.bmp"), expand_button(False))
    rc.append('LXEXPANDBUTTON_MINUS   BITMAP "lx_expand_minus.bmp"')
    write_bmp4(os.path.join(OUT, "lx_expand_plus.bmp"), expand_button(True))
    rc.append('LXEXPANDBUTTON_PLUS    BITMAP "lx_expand_plus.bmp"')
    with open(os.path.join(OUT, "lookandfeel.rc"), "w") as f:
        f.write("\n".join(rc) + "\n")


if __name__ == "__main__":
    main()
