#!/usr/bin/env python3
"""Draws the test skin of the skinned panel, status bar, up-down and tab row.

Writes resources/skin/panel/: skin.ini and panel.bmp, one picture holding
  - "panel": a framed panel with a caption strip, its check box images and a
    caption frame
  - "statusbar": a bar with a size grip (magenta is its transparent colour)
  - "hupdown" / "vupdown": up-down pairs with their hot and pressed looks
  - "resizebutton": a button face that the up-down uses at other sizes
  - "tab": a tab row description whose scroller is "hupdown"
and tabbg.bmp, the background picture of "tabbg", a tab row that draws its
client background from that picture instead of its client part.

Python 3 standard library only. Run from anywhere: python3 scripts/gen_panel_skin.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_skin import Canvas, mix  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "skin", "panel")

PW, PH = 220, 200

TITLE1, TITLE2 = (64, 104, 150), (30, 56, 88)
BODY = (226, 230, 236)
BORDER_LIGHT, BORDER_DARK = (150, 176, 204), (22, 38, 60)
INK = (255, 255, 255)
TEXT = (24, 32, 44)
MAGENTA = (255, 0, 255)

PANEL = (0, 0, 120, 90)
STATUS = (0, 90, 120, 112)
HUD = (0, 112, 36, 130)
VUD = (0, 130, 18, 166)
RESIZE = (108, 112, 144, 130)
TAB = (0, 170, 60, 192)
CHECK = (120, 0, 133, 13)
UNCHECK = (133, 0, 146, 13)
GRIP = (146, 0, 162, 16)
FRAME = (120, 20, 180, 38)
FRAMETEXT = (128, 20, 172, 38)
TABBG_W, TABBG_H = 24, 24


def colour(rgb):
    r, g, b = rgb
    return str(r | (g << 8) | (b << 16))


def r(rect):
    return ",".join(str(v) for v in rect)


def bevel_face(c, l, t, rr, b, top, bottom, light, dark):
    c.vgrad(l, t, rr, b, top, bottom)
    c.frame(l, t, rr, b, light, dark)


def arrow(c, cx, cy, direction, ink):
    # A 7-pixel triangle with its tip towards direction.
    for i in range(4):
        half = i if direction in ("up", "left") else 3 - i
        if direction in ("up", "down"):
            c.fill(cx - half, cy - 2 + i, cx + half + 1, cy - 1 + i, ink)
        else:
            c.fill(cx - 2 + i, cy - half, cx - 1 + i, cy + half + 1, ink)


def draw_panel(c):
    l, t, rr, b = PANEL
    c.fill(l, t, rr, b, BODY)
    c.vgrad(l, t, rr, t + 23, TITLE1, TITLE2)
    c.fill(l, t + 23, rr, t + 24, BORDER_DARK)
    c.frame(l, t, rr, b, BORDER_LIGHT, BORDER_DARK)
    c.frame(l + 1, t + 1, rr - 1, b - 1, mix(TITLE1, INK, 0.4), TITLE2)
    # Client edge.
    c.fill(l + 2, t + 24, l + 4, b - 2, mix(TITLE2, BODY, 0.5))
    c.fill(rr - 4, t + 24, rr - 2, b - 2, mix(TITLE2, BODY, 0.5))
    c.fill(l + 2, b - 4, rr - 2, b - 2, mix(TITLE2, BODY, 0.5))
    # Check box images on their transparent backdrop.
    for rect, checked in ((CHECK, True), (UNCHECK, False)):
        x0, y0, x1, y1 = rect
        c.fill(x0, y0, x1, y1, MAGENTA)
        c.fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, INK)
        c.frame(x0 + 1, y0 + 1, x1 - 1, y1 - 1, TITLE2, TITLE2)
        if checked:
            for k, (px, py) in enumerate([(3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4)]):
                c.fill(x0 + px, y0 + py - 1, x0 + px + 1, y0 + py + 1, TITLE2)
    # Caption frame: rounded tab behind the caption text.
    x0, y0, x1, y1 = FRAME
    c.vgrad(x0, y0, x1, y1, mix(TITLE1, INK, 0.25), TITLE1)
    c.frame(x0, y0, x1, y1, mix(TITLE1, INK, 0.5), TITLE2)


def draw_status(c):
    l, t, rr, b = STATUS
    c.vgrad(l, t, rr, b, (214, 220, 230), (188, 196, 210))
    c.fill(l, t, rr, t + 1, BORDER_DARK)
    c.fill(l, t + 1, rr, t + 2, INK)
    x0, y0, x1, y1 = GRIP
    c.fill(x0, y0, x1, y1, MAGENTA)
    for row in range(3):
        for col in range(row + 1):
            px = x1 - 4 - col * 4
            py = y1 - 4 - (row - col) * 4
            c.fill(px + 1, py + 1, px + 3, py + 3, INK)
            c.fill(px, py, px + 2, py + 2, TITLE2)


def updown_states(c, rect, first, second, w, h):
    # Normal pair at rect, hot pair to its right, pressed pair after it.
    l, t, _, _ = rect
    looks = [
        ((236, 240, 246), (200, 208, 220), TITLE2),
        ((196, 222, 250), (150, 190, 236), TITLE2),
        ((120, 150, 190), (150, 176, 210), INK),
    ]
    horizontal = w > h
    for k, (c1, c2, ink) in enumerate(looks):
        ox = l + k * w
        if horizontal:
            cells = [(ox, t, ox + w // 2, t + h, first), (ox + w // 2, t, ox + w, t + h, second)]
        else:
            cells = [(ox, t, ox + w, t + h // 2, first), (ox, t + h // 2, ox + w, t + h, second)]
        for (x0, y0, x1, y1, d) in cells:
            bevel_face(c, x0, y0, x1, y1, c1, c2, BORDER_LIGHT, BORDER_DARK)
            arrow(c, (x0 + x1) // 2, (y0 + y1) // 2, d, ink)


def draw_resize_button(c):
    looks = [((236, 240, 246), (200, 208, 220)), ((196, 222, 250), (150, 190, 236)),
             ((120, 150, 190), (150, 176, 210))]
    l, t, rr, b = RESIZE
    w = rr - l
    for k, (c1, c2) in enumerate(looks):
        bevel_face(c, l + k * w, t, rr + k * w, b, c1, c2, BORDER_LIGHT, BORDER_DARK)


def draw_tab(c):
    # Lit from the top left: lighter towards the top and the left edge.
    l, t, rr, b = TAB
    for x in range(l, rr):
        k = (x - l) / (rr - l - 1)
        c.vgrad(x, t, x + 1, b, mix(mix(TITLE1, INK, 0.5), TITLE1, 0.6 * k),
                mix(TITLE1, TITLE2, 0.5 * k))
    c.frame(l, t, rr, b, BORDER_LIGHT, BORDER_DARK)


def tab_background():
    # A woven tile: light cloth with darker diagonal threads both ways.
    c = Canvas(TABBG_W, TABBG_H, BODY)
    for y in range(TABBG_H):
        for x in range(TABBG_W):
            k = 0.0
            if (x + y) % 8 == 0:
                k += 0.35
            if (x - y) % 12 == 0:
                k += 0.2
            if k:
                c.put(x, y, mix(BODY, TITLE1, k))
    return c


def picture():
    c = Canvas(PW, PH, (128, 128, 128))
    draw_panel(c)
    draw_status(c)
    updown_states(c, HUD, "left", "right", 36, 18)
    updown_states(c, VUD, "up", "down", 18, 36)
    draw_resize_button(c)
    draw_tab(c)
    return c


def ini_text():
    out = []

    def section(name, items):
        out.append("[%s]" % name)
        out.extend("%s=%s" % kv for kv in items)
        out.append("")

    section("VERSION", [("ver", "2"), ("skinname", "Korvane Panels"), ("skinauthor", "Korvane"),
                        ("skincomments", "Drawn by scripts/gen_panel_skin.py")])
    section("PICTURES", [("picture", ""), ("activepicturescount", "2"), ("0", "panel.bmp"),
                         ("1", "tabbg.bmp")])
    section("CURSORS", [("startcursorindex", "1"), ("cursorscount", "0")])
    section("FORMINFO", [("clientrect", "0,0,0,0")])
    section("SKINCOLORS", [("cbtnface", colour(BODY)), ("cbtntext", colour(TEXT)),
                           ("cbtnhighlight", colour(INK)), ("cbtnshadow", colour(TITLE2))])
    section("SKINOBJECTS", [("count", "0")])
    controls = [("panel", "panel"), ("statusbar", "panel"), ("hupdown", "updown"),
                ("vupdown", "updown"), ("resizebutton", "button"), ("tab", "tab"),
                ("tabbg", "tab"), ("stdlabel", "stdlabel")]
    section("SKINCONTROLS", [("count", str(len(controls)))] +
            [(str(i), "%s:%s" % c) for i, c in enumerate(controls)])
    section("panel", [
        ("pictureindex", "0"), ("skinrect", r(PANEL)),
        ("lefttoppoint", "8,24"), ("righttoppoint", "112,24"),
        ("leftbottompoint", "8,82"), ("rightbottompoint", "112,82"),
        ("clientrect", "4,24,116,86"),
        ("captionrect", "6,3,114,21"), ("alignment", "taleftjustify"),
        ("fontname", "Tahoma"), ("fontheight", "13"), ("fontstyle", "fsbold"),
        ("fontcolor", colour(INK)),
        ("checkimagerect", r(CHECK)), ("uncheckimagerect", r(UNCHECK)),
        ("bgpictureindex", "-1"),
    ])
    section("statusbar", [
        ("pictureindex", "0"), ("skinrect", r(STATUS)),
        ("lefttoppoint", "4,4"), ("righttoppoint", "116,4"),
        ("leftbottompoint", "4,18"), ("rightbottompoint", "116,18"),
        ("clientrect", "2,3,118,21"), ("stretcheffect", "1"), ("stretchtype", "stfull"),
        ("fontname", "Tahoma"), ("fontheight", "13"), ("fontcolor", colour(TEXT)),
        ("gripperrect", r(GRIP)), ("grippertransparent", "1"),
        ("grippertransparentcolor", colour(MAGENTA)), ("bgpictureindex", "-1"),
    ])
    section("hupdown", [
        ("pictureindex", "0"), ("skinrect", r(HUD)),
        ("upbuttonrect", "18,0,36,18"), ("downbuttonrect", "0,0,18,18"),
        ("activeupbuttonrect", "54,112,72,130"), ("activedownbuttonrect", "36,112,54,130"),
        ("downupbuttonrect", "90,112,108,130"), ("downdownbuttonrect", "72,112,90,130"),
    ])
    section("vupdown", [
        ("pictureindex", "0"), ("skinrect", r(VUD)),
        ("upbuttonrect", "0,0,18,18"), ("downbuttonrect", "0,18,18,36"),
        ("activeupbuttonrect", "18,130,36,148"), ("activedownbuttonrect", "18,148,36,166"),
        ("downupbuttonrect", "36,130,54,148"), ("downdownbuttonrect", "36,148,54,166"),
    ])
    w = RESIZE[2] - RESIZE[0]
    section("resizebutton", [
        ("pictureindex", "0"), ("skinrect", r(RESIZE)),
        ("lefttoppoint", "3,3"), ("righttoppoint", "33,3"),
        ("leftbottompoint", "3,15"), ("rightbottompoint", "33,15"),
        ("clientrect", "3,3,33,15"), ("leftstretch", "1"), ("topstretch", "1"),
        ("rightstretch", "1"), ("bottomstretch", "1"), ("stretcheffect", "1"),
        ("fontcolor", colour(TITLE2)), ("activefontcolor", colour(TITLE2)),
        ("downfontcolor", colour(INK)),
        ("activeskinrect", r((RESIZE[0] + w, RESIZE[1], RESIZE[2] + w, RESIZE[3]))),
        ("downskinrect", r((RESIZE[0] + 2 * w, RESIZE[1], RESIZE[2] + 2 * w, RESIZE[3]))),
    ])
    tab = [
        ("pictureindex", "0"), ("skinrect", r(TAB)), ("tabrect", r(TAB)),
        ("clientrect", "2,2,58,20"), ("fontname", "Tahoma"), ("fontheight", "15"),
        ("fontcolor", colour(TEXT)), ("updown", "hupdown"),
        ("closebuttonrect", "0,0,12,12"),
    ]
    section("tab", tab + [("stretcheffect", "0"), ("bgpictureindex", "-1")])
    section("tabbg", tab + [("stretcheffect", "0"), ("bgpictureindex", "1")])
    section("stdlabel", [("fontcolor", colour(TITLE2))])
    return "\r\n".join(out)


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "panel.bmp"), "wb") as f:
        f.write(picture().bmp())
    with open(os.path.join(OUT, "tabbg.bmp"), "wb") as f:
        f.write(tab_background().bmp())
    with open(os.path.join(OUT, "skin.ini"), "w", newline="") as f:
        f.write(ini_text())


if __name__ == "__main__":
    main()
