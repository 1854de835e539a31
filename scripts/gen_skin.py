#!/usr/bin/env python3
"""Draws the recorder's skins and packs the built-in one.

Writes:
  resources/skin/builtin.skn   the built-in skin, compressed container (embedded by skin.rc)
  resources/skin/alt/          a second, differently coloured and shaped skin as
                               skin.ini with its BMP pictures (for a "skin" folder)
  resources/skin/frame/        a test skin for frame mode (the skin draws the window's
                               frame around the form's own client area) with one object
                               of every kind and the maximize, roll-up and tray buttons

Python 3 standard library only. Run from anywhere: python3 scripts/gen_skin.py
"""
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "skin")

W, H = 408, 398  # main picture: window width and its tall height


# ---------------------------------------------------------------------------
# Pictures


class Canvas:
    def __init__(self, w, h, color=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[color] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, l, t, r, b, c):
        for y in range(max(t, 0), min(b, self.h)):
            row = self.px[y]
            for x in range(max(l, 0), min(r, self.w)):
                row[x] = c

    def vgrad(self, l, t, r, b, c1, c2):
        n = max(b - t - 1, 1)
        for y in range(t, b):
            k = (y - t) / n
            c = tuple(round(c1[i] + (c2[i] - c1[i]) * k) for i in range(3))
            self.fill(l, y, r, y + 1, c)

    def frame(self, l, t, r, b, light, dark):
        self.fill(l, t, r, t + 1, light)
        self.fill(l, t, l + 1, b, light)
        self.fill(l, b - 1, r, b, dark)
        self.fill(r - 1, t, r, b, dark)

    def disc(self, cx, cy, rad, c):
        for y in range(int(cy - rad) - 1, int(cy + rad) + 2):
            for x in range(int(cx - rad) - 1, int(cx + rad) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= rad * rad:
                    self.put(x, y, c)

    def triangle_right(self, l, t, size, c):
        for i in range(size):
            half = size // 2 - abs(i - size // 2)
            self.fill(l, t + i, l + half + 1, t + i + 1, c)

    def blit(self, src, x, y):
        for j in range(src.h):
            for i in range(src.w):
                self.put(x + i, y + j, src.px[j][i])

    def bmp(self):
        """A 24-bit bottom-up BMP file image."""
        stride = (self.w * 3 + 3) & ~3
        rows = []
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for (r, g, b) in self.px[y]:
                row += bytes((b, g, r))
            row += b"\0" * (stride - self.w * 3)
            rows.append(bytes(row))
        pixels = b"".join(rows)
        header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
        return header + info + pixels


def mix(a, b, k):
    return tuple(round(a[i] + (b[i] - a[i]) * k) for i in range(3))


class Palette:
    def __init__(self, **kw):
        self.__dict__.update(kw)


BLUE = Palette(
    name="Korvane Slate",
    title1=(52, 86, 120), title2=(24, 44, 68),
    body1=(60, 66, 76), body2=(38, 42, 50),
    border_light=(120, 140, 160), border_dark=(14, 16, 20),
    lcd=(12, 28, 30), lcd_edge=(70, 110, 112), lcd_text=(120, 230, 210),
    btn1=(92, 100, 114), btn2=(52, 58, 68), btn_hot1=(110, 140, 170), btn_hot2=(60, 80, 104),
    btn_down1=(40, 46, 56), btn_down2=(70, 78, 90),
    accent=(214, 52, 52), glyph=(226, 232, 240), accent_hot=(255, 92, 92), glyph_hot=(255, 255, 255),
    gauge_off=(20, 40, 40), gauge_on1=(60, 200, 120), gauge_on2=(240, 210, 60),
    panel=(46, 50, 58), list_bg=(24, 28, 34), text=(220, 226, 232),
)

AMBER = Palette(
    name="Korvane Amber",
    title1=(170, 96, 30), title2=(110, 50, 14),
    body1=(120, 90, 60), body2=(80, 58, 40),
    border_light=(240, 200, 140), border_dark=(40, 24, 10),
    lcd=(44, 30, 8), lcd_edge=(200, 150, 60), lcd_text=(255, 200, 90),
    btn1=(200, 150, 90), btn2=(140, 96, 50), btn_hot1=(240, 190, 110), btn_hot2=(170, 120, 60),
    btn_down1=(110, 76, 40), btn_down2=(150, 110, 70),
    accent=(180, 20, 20), glyph=(60, 30, 10), accent_hot=(225, 30, 20), glyph_hot=(20, 8, 0),
    gauge_off=(60, 40, 12), gauge_on1=(250, 170, 40), gauge_on2=(255, 90, 30),
    panel=(96, 70, 46), list_bg=(250, 236, 210), text=(40, 24, 10),
)

# Geometry shared by both skins (picture coordinates = form coordinates).
CLIENT = (3, 22, W - 3, H - 3)
CORNERS = dict(lt=(100, 40), rt=(300, 40), lb=(100, 380), rb=(300, 380))
CLOSE_BTN = (384, 4, 400, 18)
MIN_BTN = (362, 4, 378, 18)
SYS_BTN = (6, 4, 20, 18)
CAPTION = (26, 3, 350, 19)
DISPLAY = (10, 30, 398, 118)

AREAS = [
    ("LeftGauge", (107, 80, 377, 88)),
    ("RightGauge", (107, 89, 377, 97)),
    ("trackbar2", (16, 104, 392, 114)),
    ("StartRecordButton", (16, 128, 48, 160)),
    ("PauseRecordButton", (56, 128, 88, 160)),
    ("StopRecordButton", (96, 128, 128, 160)),
    ("EditRecordButton", (144, 128, 176, 160)),
    ("ListButton", (184, 128, 216, 160)),
    ("OptionButton", (268, 128, 325, 145)),
    ("ScheduleButton", (329, 128, 386, 145)),
    ("HelpButton", (268, 148, 325, 165)),
    ("CloseButton", (329, 148, 386, 165)),
    ("PlayButton", (16, 364, 57, 381)),
    ("PauseButton", (61, 364, 102, 381)),
    ("StopButton", (106, 364, 147, 381)),
    ("EditButton", (151, 364, 192, 381)),
    ("DelButton", (196, 364, 237, 381)),
    ("CopyButton", (241, 364, 282, 381)),
]


def draw_button_face(c, l, t, r, b, p, state):
    top, bottom = {
        "normal": (p.btn1, p.btn2),
        "active": (p.btn_hot1, p.btn_hot2),
        "down": (p.btn_down1, p.btn_down2),
        "disabled": (mix(p.btn1, p.body2, 0.6), mix(p.btn2, p.body2, 0.6)),
    }[state]
    c.vgrad(l, t, r, b, top, bottom)
    light, dark = (p.border_dark, p.border_light) if state == "down" else (p.border_light, p.border_dark)
    c.frame(l, t, r, b, light, dark)


def main_picture(p):
    c = Canvas(W, H)
    c.vgrad(0, 0, W, H, p.body1, p.body2)
    # Title bar and outer frame.
    c.vgrad(0, 0, W, CLIENT[1], p.title1, p.title2)
    c.frame(0, 0, W, H, p.border_light, p.border_dark)
    c.frame(1, 1, W - 1, H - 1, mix(p.border_light, p.body1, 0.5), mix(p.border_dark, p.body2, 0.5))
    c.fill(CLIENT[0], CLIENT[1] - 1, CLIENT[2], CLIENT[1], p.border_dark)
    # Caption buttons.
    for rect in (CLOSE_BTN, MIN_BTN, SYS_BTN):
        draw_button_face(c, *rect, p, "normal")
    l, t, r, b = CLOSE_BTN
    for i in range(3, 11):
        c.put(l + i, t + i - 1, p.glyph)
        c.put(l + 13 - i, t + i - 1, p.glyph)
    l, t, r, b = MIN_BTN
    c.fill(l + 4, b - 5, r - 4, b - 3, p.glyph)
    l, t, r, b = SYS_BTN
    c.disc((l + r) / 2, (t + b) / 2, 3.5, p.accent)
    # Display panel with its gauge wells.
    l, t, r, b = DISPLAY
    c.fill(l, t, r, b, p.lcd)
    c.frame(l, t, r, b, p.border_dark, p.lcd_edge)
    for name, (gl, gt, gr, gb) in AREAS:
        if name in ("LeftGauge", "RightGauge", "trackbar2"):
            c.fill(gl - 1, gt - 1, gr + 1, gb + 1, p.border_dark)
            c.fill(gl, gt, gr, gb, p.gauge_off)
    # Dotted scale above the gauges.
    for x in range(107, 378, 27):
        c.fill(x, 76, x + 1, 79, p.lcd_text)
    # Wells under the transport buttons.
    for name, (bl, bt, br, bb) in AREAS:
        if name.endswith("RecordButton") or name == "ListButton":
            c.fill(bl - 2, bt - 2, br + 2, bb + 2, p.border_dark)
            draw_button_face(c, bl, bt, br, bb, p, "normal")
    # A separator line above the bottom panel.
    c.fill(CLIENT[0] + 6, 174, CLIENT[2] - 6, 175, p.border_dark)
    c.fill(CLIENT[0] + 6, 175, CLIENT[2] - 6, 176, p.border_light)
    # Bottom panel: list frame and small buttons.
    c.fill(12, 182, W - 12, H - 10, p.panel)
    c.frame(12, 182, W - 12, H - 10, p.border_dark, p.border_light)
    c.fill(15, 207, 394, 359, p.border_dark)
    c.fill(16, 208, 393, 358, p.list_bg)
    # The small play and list buttons are controls of their own; the picture
    # leaves their places to the panel, which the mixer panel also uses.
    return c


# The commands whose buttons carry a picture of what they do, in the order of
# their rows in the buttons picture.
COMMAND_GLYPHS = ["record", "pause", "stop", "mixer", "list"]
GLYPH_ROW = 49
# The skin entries of those buttons: the recorder's buttons take an entry
# named as the button when the skin has one.
COMMAND_ENTRIES = ["SkinButtonRecord", "SkinButtonPause", "SkinButtonStop", "SkinButtonEdit",
                   "SkinButtonFilezList"]


def draw_glyph(c, kind, l, t, colour, accent):
    """An 18 x 18 picture of a command with its top-left corner at (l, t)."""
    if kind == "record":
        c.disc(l + 9, t + 9, 7, accent)
    elif kind == "pause":
        c.fill(l + 4, t + 3, l + 8, t + 15, colour)
        c.fill(l + 10, t + 3, l + 14, t + 15, colour)
    elif kind == "stop":
        c.fill(l + 4, t + 4, l + 14, t + 14, colour)
    elif kind == "mixer":
        # Three faders with their knobs.
        for i, knob in enumerate((10, 4, 7)):
            c.fill(l + 3 + i * 5, t + 2, l + 4 + i * 5, t + 16, colour)
            c.fill(l + 1 + i * 5, t + knob, l + 6 + i * 5, t + knob + 3, colour)
    elif kind == "list":
        # Lines of a list with bullets.
        for i in range(4):
            c.fill(l + 2, t + 3 + i * 4, l + 4, t + 5 + i * 4, colour)
            c.fill(l + 6, t + 3 + i * 4, l + 16, t + 5 + i * 4, colour)


def glyph_colours(p, state):
    """Ink and accent colour of a command picture in a button state."""
    return {
        "normal": (p.glyph, p.accent),
        "active": (p.glyph_hot, p.accent_hot),
        "down": (p.glyph, p.accent_hot),
        "disabled": (mix(p.glyph, p.btn2, 0.65), mix(p.accent, p.btn2, 0.65)),
    }[state]


def buttons_picture(p):
    """Active picture 0: the 32 x 32 transport button and the 57 x 17 option
    button, each in normal, active, down and disabled states side by side;
    below them one row of 32 x 32 buttons per command of COMMAND_GLYPHS."""
    c = Canvas(228, GLYPH_ROW + 32 * len(COMMAND_GLYPHS), (255, 0, 255))
    for i, state in enumerate(("normal", "active", "down", "disabled")):
        draw_button_face(c, i * 32, 0, i * 32 + 32, 32, p, state)
        draw_button_face(c, i * 57, 32, i * 57 + 57, 49, p, state)
        for row, kind in enumerate(COMMAND_GLYPHS):
            l, t = i * 32, GLYPH_ROW + row * 32
            draw_button_face(c, l, t, l + 32, t + 32, p, state)
            shift = 1 if state == "down" else 0
            ink, accent = glyph_colours(p, state)
            draw_glyph(c, kind, l + 7 + shift, t + 7 + shift, ink, accent)
    return c


def gauge_picture(p):
    """Active picture 1: gauge track and bar, track bar and its thumbs."""
    c = Canvas(120, 26)
    c.fill(0, 0, 100, 8, p.gauge_off)
    c.frame(0, 0, 100, 8, p.border_dark, p.lcd_edge)
    for x in range(100):
        c.fill(x, 8, x + 1, 16, mix(p.gauge_on1, p.gauge_on2, x / 99))
    c.fill(0, 16, 100, 26, p.gauge_off)
    c.fill(4, 20, 96, 22, p.border_dark)
    draw_button_face(c, 100, 16, 110, 26, p, "normal")
    draw_button_face(c, 110, 16, 120, 26, p, "active")
    return c


def scroll_picture(p):
    """Active picture 2: vertical bar (14 wide) and horizontal bar (14 high)."""
    c = Canvas(140, 74, p.panel)
    # Vertical: track 0..14 x 0..60; buttons and thumbs to its right.
    c.fill(0, 0, 14, 60, p.list_bg)
    c.frame(0, 0, 14, 60, p.border_dark, p.border_light)
    # The bar's own buttons in their normal state: the one that lowers the
    # position at the top, the one that raises it at the bottom.
    draw_button_face(c, 0, 0, 14, 14, p, "normal")
    c.fill(6, 5, 8, 6, p.glyph)
    c.fill(5, 6, 9, 7, p.glyph)
    c.fill(4, 7, 10, 8, p.glyph)
    draw_button_face(c, 0, 46, 14, 60, p, "normal")
    c.fill(4, 51, 10, 52, p.glyph)
    c.fill(5, 52, 9, 53, p.glyph)
    c.fill(6, 53, 8, 54, p.glyph)
    for i, state in enumerate(("normal", "active", "down")):
        x = 14 + i * 14
        draw_button_face(c, x, 0, x + 14, 14, p, state)  # up
        c.fill(x + 6, 5, x + 8, 6, p.glyph)
        c.fill(x + 5, 6, x + 9, 7, p.glyph)
        c.fill(x + 4, 7, x + 10, 8, p.glyph)
        draw_button_face(c, x, 14, x + 14, 28, p, state)  # down
        c.fill(x + 4, 19, x + 10, 20, p.glyph)
        c.fill(x + 5, 20, x + 9, 21, p.glyph)
        c.fill(x + 6, 21, x + 8, 22, p.glyph)
        draw_button_face(c, x, 28, x + 14, 60, p, state)  # thumb
    # Horizontal: track 0..60 x 60..74; buttons and thumbs to its right.
    c.fill(0, 60, 60, 74, p.list_bg)
    c.frame(0, 60, 60, 74, p.border_dark, p.border_light)
    draw_button_face(c, 0, 60, 14, 74, p, "normal")
    draw_button_face(c, 46, 60, 60, 74, p, "normal")
    for i, state in enumerate(("normal", "active", "down")):
        x = 60 + i * 14
        draw_button_face(c, x, 60, x + 14, 74, p, state)  # arrow buttons
    for i, state in enumerate(("normal", "active")):
        x = 102 + i * 14
        draw_button_face(c, x, 60, x + 14, 74, p, state)  # thumbs
    return c


def list_picture(p):
    """Active picture 3: list header button, combo box and list box frames,
    menu item states."""
    c = Canvas(180, 80, p.panel)
    for i, state in enumerate(("normal", "active", "down")):
        draw_button_face(c, i * 60, 0, i * 60 + 60, 18, p, state)
    # Combo box 100 x 20 with its drop button (states side by side).
    c.fill(0, 20, 100, 40, p.list_bg)
    c.frame(0, 20, 100, 40, p.border_dark, p.border_light)
    draw_button_face(c, 81, 21, 99, 39, p, "normal")
    for i, state in enumerate(("active", "down", "disabled")):
        draw_button_face(c, 118 + i * 18, 21, 136 + i * 18, 39, p, state)
    # List box frame 60 x 20.
    c.fill(0, 40, 60, 60, p.list_bg)
    c.frame(0, 40, 60, 60, p.border_dark, p.border_light)
    c.fill(60, 40, 120, 56, p.title1)  # selected item
    c.fill(120, 40, 180, 56, mix(p.title1, p.list_bg, 0.5))  # focused item
    # Menu item states: item, active item, divider.
    c.fill(0, 60, 40, 80, p.body1)
    c.vgrad(40, 60, 80, 80, p.title1, p.title2)
    c.fill(80, 60, 120, 62, p.border_dark)
    c.fill(80, 62, 120, 64, p.border_light)
    return c


def popup_picture(p):
    """Active picture 4: the popup menu window, a raised panel with a soft
    inner edge. The window takes the whole picture: the menu items' states
    lie in the list picture."""
    c = Canvas(60, 60, p.body1)
    c.vgrad(2, 2, 58, 58, mix(p.body1, p.border_light, 0.25), p.body1)
    c.frame(0, 0, 60, 60, p.border_light, p.border_dark)
    c.frame(1, 1, 59, 59, mix(p.border_light, p.body1, 0.5), mix(p.border_dark, p.body1, 0.5))
    return c


def hint_picture(p):
    """Active picture 5: hint window."""
    c = Canvas(40, 30, p.lcd)
    c.frame(0, 0, 40, 30, p.lcd_edge, p.border_dark)
    return c


def caption_buttons_picture(p):
    """Active picture 6: caption buttons, 16 x 14 cells: close, minimize,
    system menu rows; normal, active, down columns."""
    c = Canvas(48, 42, p.title2)
    for row in range(3):
        for col, state in enumerate(("normal", "active", "down")):
            l, t = col * 16, row * 14
            draw_button_face(c, l, t, l + 16, t + 14, p, state)
            if row == 0:
                for i in range(3, 11):
                    c.put(l + i, t + i - 1, p.glyph)
                    c.put(l + 13 - i, t + i - 1, p.glyph)
            elif row == 1:
                c.fill(l + 4, t + 9, l + 12, t + 11, p.glyph)
            else:
                c.disc(l + 8, t + 7, 3.5, p.accent)
    return c


def mask_picture():
    """Rounded window corners: black inside, white cut away."""
    c = Canvas(W, H, (0, 0, 0))
    rad = 10
    for y in range(rad):
        for x in range(rad):
            if (x + 0.5 - rad) ** 2 + (y + 0.5 - rad) ** 2 > rad * rad:
                for (px, py) in ((x, y), (W - 1 - x, y), (x, H - 1 - y), (W - 1 - x, H - 1 - y)):
                    c.put(px, py, (255, 255, 255))
    return c


# ---------------------------------------------------------------------------
# INI text


def r(rect):
    return ",".join(str(v) for v in rect)


def pt(p):
    return "%d,%d" % p


def colour(rgb):
    return str(rgb[0] | rgb[1] << 8 | rgb[2] << 16)


def ini_text(p, picture, active, mask=None):
    lines = []

    def section(name, items):
        lines.append("[%s]" % name)
        for k, v in items:
            lines.append("%s=%s" % (k, v))
        lines.append("")

    section("VERSION", [("ver", "2"), ("skinname", p.name), ("skinauthor", "Korvane"),
                        ("authoremail", ""), ("authorurl", ""),
                        ("skincomments", "Drawn by scripts/gen_skin.py")])
    pics = [("picture", picture), ("inactivepicture", ""), ("mask", mask or ""),
            ("rolluppicture", ""), ("rollupmask", ""), ("activepicturescount", str(len(active)))]
    pics += [(str(i), n) for i, n in enumerate(active)]
    section("PICTURES", pics)
    section("CURSORS", [("startcursorindex", "1"), ("cursorscount", "0")])
    form = [
        ("lefttoppoint", pt(CORNERS["lt"])), ("righttoppoint", pt(CORNERS["rt"])),
        ("leftbottompoint", pt(CORNERS["lb"])), ("rightbottompoint", pt(CORNERS["rb"])),
        ("clientrect", r(CLIENT)), ("bgpictureindex", "-1"), ("mdibgpictureindex", "-1"),
        ("leftstretch", "0"), ("rightstretch", "0"), ("topstretch", "0"), ("bottomstretch", "0"),
        ("stretcheffect", "0"), ("stretchtype", "stfull"),
        ("buttonsrect", r((356, 3, 402, 19))), ("captionrect", r(CAPTION)),
        ("buttonsoffset", "0"), ("buttonsinleft", "0"),
        ("maskrectarea", r((12, 12, W - 12, H - 12)) if mask else "0,0,0,0"),
        ("mainmenurect", "0,0,0,0"), ("iconrect", "0,0,0,0"), ("borderwidth", "3"),
        ("formminwidth", str(W)), ("cursorindex", "-1"),
        ("autorenderinginactiveimage", "0"), ("inactiveeffect", "iebrightness"),
        ("sizegriparea", "0,0,0,0"), ("statusbarname", ""),
    ]
    section("FORMINFO", form)
    section("POPUPWINDOW", [
        ("windowpictureindex", "4"), ("maskpictureindex", "-1"),
        ("lefttoppoint", "4,4"), ("righttoppoint", "56,4"), ("leftbottompoint", "4,56"),
        ("rightbottompoint", "56,56"), ("cursorindex", "-1"), ("itemsrect", "4,4,56,56"),
        ("scrollmarkercolor", colour(p.text)), ("scrollmarkeractivecolor", colour(p.lcd_text)),
        ("stretcheffect", "1"), ("stretchtype", "stfull")])
    section("HINTWINDOW", [
        ("windowpictureindex", "5"), ("maskpictureindex", "-1"),
        ("lefttoppoint", "3,3"), ("righttoppoint", "37,3"), ("leftbottompoint", "3,27"),
        ("rightbottompoint", "37,27"), ("clientrect", "3,3,37,27"), ("fontname", "Tahoma"),
        ("fontheight", "13"), ("fontstyle", ""), ("fontcolor", colour(p.lcd_text)),
        ("stretcheffect", "1"), ("stretchtype", "stfull")])
    section("SKINCOLORS", [
        ("cbtnface", colour(p.panel)), ("cbtntext", colour(p.text)),
        ("cwindow", colour(p.list_bg)), ("cwindowtext", colour(p.text)),
        ("chighlight", colour(p.title1)), ("chighlighttext", colour((255, 255, 255))),
        ("cbtnhighlight", colour(p.border_light)), ("cbtnshadow", colour(p.border_dark)),
        ("c3dlight", colour(p.btn1)), ("c3ddkshadow", colour(p.border_dark))])
    section("SKINAREAS", [("count", str(len(AREAS)))] +
            [(str(i), "%s:%s" % (n, r(a))) for i, (n, a) in enumerate(AREAS)])

    objects = [
        ("caption", "caption", [
            ("skinrect", r(CAPTION)), ("textrect", r((0, 0, CAPTION[2] - CAPTION[0], 16))),
            ("fontname", "Tahoma"), ("fontheight", "13"), ("fontstyle", "fsbold"),
            ("fontcolor", colour(mix(p.text, p.title2, 0.3))), ("activefontcolor", colour(p.text)),
            ("alignment", "taleftjustify"), ("shadow", "1"), ("shadowcolor", colour(p.border_dark)),
            ("activeshadowcolor", colour(p.border_dark))]),
    ]
    for idn, rect, cmd, row in (("closebutton", CLOSE_BTN, "cmclose", 0),
                                ("minimizebutton", MIN_BTN, "cmminimize", 1),
                                ("sysmenubutton", SYS_BTN, "cmsysmenu", 2)):
        w, h = rect[2] - rect[0], rect[3] - rect[1]
        objects.append((idn, "stdbutton", [
            ("hint", ""), ("activepictureindex", "6"), ("skinrect", r(rect)),
            ("activeskinrect", r((16, row * 14, 16 + w, row * 14 + h))),
            ("downrect", r((32, row * 14, 32 + w, row * 14 + h))),
            ("morphing", "1"), ("morphkind", "mkdefault"), ("command", cmd)]))
    objects.append(("menuitem", "menuitem", [
        ("activepictureindex", "3"), ("skinrectinapicture", "1"),
        ("skinrect", "0,60,40,80"), ("activeskinrect", "40,60,80,80"),
        ("itemleftoffset", "4"), ("itemrightoffset", "4"),
        ("dividerrect", "80,60,120,64"), ("dividerleftoffset", "2"), ("dividerrightoffset", "2"),
        ("textrect", "20,0,36,20"), ("imagerect", "2,2,18,18"), ("fontname", "Tahoma"),
        ("fontheight", "13"), ("fontcolor", colour(p.text)), ("activefontcolor", colour((255, 255, 255))),
        ("unenabledfontcolor", colour(mix(p.text, p.body1, 0.6))), ("stretcheffect", "1"),
        ("dividerstretcheffect", "1")]))
    section("SKINOBJECTS", [("count", str(len(objects)))] +
            [(str(i), "%s:%s" % (o[0], o[1])) for i, o in enumerate(objects)])
    for idn, kind, keys in objects:
        section(idn, keys)

    font = [("fontname", "Tahoma"), ("fontheight", "13"), ("fontstyle", ""),
            ("fontcolor", colour(p.text))]

    def frame_keys(rect, lt, rt, lb, rb, client, stretch=True):
        return [("lefttoppoint", pt(lt)), ("righttoppoint", pt(rt)), ("leftbottompoint", pt(lb)),
                ("rightbottompoint", pt(rb)), ("clientrect", r(client)),
                ("leftstretch", "1" if stretch else "0"), ("topstretch", "1" if stretch else "0"),
                ("rightstretch", "1" if stretch else "0"), ("bottomstretch", "1" if stretch else "0"),
                ("stretcheffect", "1" if stretch else "0"), ("stretchtype", "stfull")]

    def button(y, w, h, frames):
        cells = [r((i * w, y, i * w + w, y + h)) for i in range(4)]
        return ([("pictureindex", "0"), ("skinrect", cells[0])] +
                frame_keys(None, (4, 4), (w - 4, 4), (4, h - 4), (w - 4, h - 4), (4, 4, w - 4, h - 4)) +
                font + [("activefontcolor", colour((255, 255, 255))),
                        ("disabledfontcolor", colour(mix(p.text, p.body2, 0.6))),
                        ("downfontcolor", colour(p.text)), ("morphing", "1"), ("morphkind", "mkdefault"),
                        ("activeskinrect", cells[1]), ("downskinrect", cells[2]),
                        ("focusedskinrect", cells[1]), ("disabledskinrect", cells[3]),
                        ("showfocus", "0")])

    vbar = [("pictureindex", "2"), ("skinrect", "0,0,14,60")] + \
        frame_keys(None, (0, 14), (14, 14), (0, 46), (14, 46), (0, 14, 14, 46)) + [
        ("trackarea", "0,14,14,46"), ("upbuttonrect", "0,46,14,60"), ("activeupbuttonrect", "28,14,42,28"),
        ("downupbuttonrect", "42,14,56,28"), ("downbuttonrect", "0,0,14,14"),
        ("activedownbuttonrect", "28,0,42,14"), ("downdownbuttonrect", "42,0,56,14"),
        ("thumbrect", "14,28,28,60"), ("activethumbrect", "28,28,42,60"), ("downthumbrect", "42,28,56,60"),
        ("thumboffset1", "4"), ("thumboffset2", "4"), ("thumbstretcheffect", "1"), ("thumbminsize", "10"),
        ("thumbminpagesize", "10")]
    hbar = [("pictureindex", "2"), ("skinrect", "0,60,60,74")] + \
        frame_keys(None, (14, 0), (46, 0), (14, 14), (46, 14), (14, 0, 46, 14)) + [
        ("trackarea", "14,0,46,14"), ("upbuttonrect", "46,0,60,14"), ("activeupbuttonrect", "74,60,88,74"),
        ("downupbuttonrect", "88,60,102,74"), ("downbuttonrect", "0,0,14,14"),
        ("activedownbuttonrect", "74,60,88,74"), ("downdownbuttonrect", "88,60,102,74"),
        ("thumbrect", "102,60,116,74"), ("activethumbrect", "116,60,130,74"),
        ("downthumbrect", "116,60,130,74"), ("thumboffset1", "4"), ("thumboffset2", "4"),
        ("thumbstretcheffect", "1"), ("thumbminsize", "10"), ("thumbminpagesize", "10")]
    gauge = [("pictureindex", "1"), ("skinrect", "0,0,100,8")] + \
        frame_keys(None, (1, 1), (99, 1), (1, 7), (99, 7), (1, 1, 99, 7)) + [
        ("progressarea", "1,1,99,7"), ("progressrect", "1,9,99,15"), ("beginoffset", "0"),
        ("endoffset", "0"), ("vertical", "0")] + font + [("progressstretch", "1")]
    vgauge = [("pictureindex", "1"), ("skinrect", "0,0,100,8"), ("progressarea", "1,1,99,7"),
              ("progressrect", "1,9,99,15"), ("vertical", "1"), ("progressstretch", "1")]
    track = [("pictureindex", "1"), ("skinrect", "0,16,100,26")] + \
        frame_keys(None, (4, 0), (96, 0), (4, 10), (96, 10), (4, 0, 96, 10)) + [
        ("activeskinrect", "0,16,100,26"), ("trackarea", "4,0,96,10"), ("buttonrect", "100,16,110,26"),
        ("activebuttonrect", "110,16,120,26"), ("vertical", "0"), ("buttontransparent", "0")]
    header = [("pictureindex", "3"), ("skinrect", "0,0,60,18")] + \
        frame_keys(None, (4, 3), (56, 3), (4, 15), (56, 15), (4, 3, 56, 15)) + font + [
        ("activefontcolor", colour((255, 255, 255))), ("downfontcolor", colour(p.text)),
        ("activeskinrect", "60,0,120,18"), ("downskinrect", "120,0,180,18"),
        ("focusedskinrect", "60,0,120,18"), ("disabledskinrect", "0,0,60,18")]
    listbox = [("pictureindex", "3"), ("skinrect", "0,40,60,60")] + \
        frame_keys(None, (2, 2), (58, 2), (2, 18), (58, 18), (2, 2, 58, 18)) + [
        ("itemrect", "0,40,0,56"), ("activeitemrect", "60,40,120,56"), ("focusitemrect", "120,40,180,56"),
        ("itemleftoffset", "0"), ("itemrightoffset", "0"), ("itemtextrect", "2,0,58,16")] + font + [
        ("activefontcolor", colour((255, 255, 255))), ("focusfontcolor", colour(p.text)),
        ("vscrollbarname", "vscrollbar"), ("hscrollbarname", "hscrollbar"),
        ("bothhscrollbarname", "bothhscrollbar"), ("showfocus", "0")]
    combo = [("pictureindex", "3"), ("skinrect", "0,20,100,40")] + \
        frame_keys(None, (3, 3), (97, 3), (3, 17), (97, 17), (3, 3, 80, 17)) + [
        ("activeskinrect", "0,20,100,40"), ("itemrect", "60,40,120,56"), ("activeitemrect", "60,40,120,56"),
        ("focusitemrect", "60,40,120,56"), ("itemleftoffset", "0"), ("itemrightoffset", "0"),
        ("itemtextrect", "2,0,58,16")] + font + [
        ("focusfontcolor", colour((255, 255, 255))), ("activefontcolor", colour(p.text)),
        ("listboxname", "listbox"), ("buttonrect", "81,21,99,39"), ("activebuttonrect", "118,21,136,39"),
        ("downbuttonrect", "136,21,154,39"), ("unenabledbuttonrect", "154,21,172,39"),
        ("itemstretcheffect", "1"), ("focusitemstretcheffect", "1"), ("showfocus", "0")]
    edit = [("pictureindex", "3"), ("skinrect", "0,20,80,40")] + \
        frame_keys(None, (3, 3), (77, 3), (3, 17), (77, 17), (3, 3, 77, 17)) + [
        ("activeskinrect", "0,20,80,40")] + font + [("activefontcolor", colour(p.text))]
    view = font + [("bgcolor", colour(p.list_bg))]
    controls = [
        ("PlayButton", "button", button(0, 32, 32, 4)),
    ] + [(name, "button", button(GLYPH_ROW + row * 32, 32, 32, 4))
         for row, name in enumerate(COMMAND_ENTRIES)] + [
        ("OptionButton", "button", button(32, 57, 17, 4)),
        ("button", "button", button(32, 57, 17, 4)),
        ("gauge", "gauge", gauge),
        ("vgauge", "gauge", vgauge),
        ("htrackbar", "trackbar", track),
        ("trackbar", "trackbar", track[:-2] + [("vertical", "1")]),
        ("VScrollBar", "scrollbar", vbar),
        ("HScrollBar", "scrollbar", hbar),
        ("vscrollbar", "scrollbar", vbar),
        ("hscrollbar", "scrollbar", hbar),
        ("bothhscrollbar", "scrollbar", hbar),
        ("resizebutton", "button", header),
        ("listview", "listview", view),
        ("listbox", "listbox", listbox),
        ("combobox", "combobox", combo),
        ("edit", "edit", edit),
    ]
    section("SKINCONTROLS", [("count", str(len(controls)))] +
            [(str(i), "%s:%s" % (c[0], c[1])) for i, c in enumerate(controls)])
    for idn, kind, keys in controls:
        section(idn, keys)
    return "\r\n".join(lines) + "\r\n"


# ---------------------------------------------------------------------------
# Compressed container


def bmp_flag(picture):
    return b"\1" if picture is None else b"\0" + picture.bmp()


def skin_stream(main, actives, ini):
    """Inner stream, version 2: picture, inactive, mask, roll-up, roll-up mask,
    active picture count and images, INI text."""
    out = struct.pack("<i", 2)
    out += bmp_flag(main) + bmp_flag(None) + bmp_flag(None) + bmp_flag(None) + bmp_flag(None)
    out += struct.pack("<i", len(actives))
    out += b"".join(a.bmp() for a in actives)
    out += ini.encode("utf-8")
    return out


def container(inner):
    data = zlib.compress(inner, 9)
    return struct.pack("<ii", 2, len(data)) + data


def actives_for(p):
    return [buttons_picture(p), gauge_picture(p), scroll_picture(p), list_picture(p),
            popup_picture(p), hint_picture(p), caption_buttons_picture(p)]


ACTIVE_NAMES = ["buttons.bmp", "gauge.bmp", "scroll.bmp", "list.bmp", "popup.bmp", "hint.bmp",
                "capbtns.bmp"]


# ---------------------------------------------------------------------------
# Frame-mode test skin

FW, FH = 360, 250
F_CLIENT = (6, 26, FW - 6, 196)
F_CORNERS = dict(lt=(30, 26), rt=(240, 26), lb=(300, 196), rb=(330, 196))
F_CAPTION = (26, 4, 244, 22)
F_BUTTONS = (250, 5, FW - 6, 21)
# Caption button cells in active picture 0: 16 x 16, columns normal, active,
# down, inactive; one row per picture.
F_CELL_ROWS = ["close", "maximize", "restore", "minimize", "rollup", "rolldown", "tray", "sysmenu"]
# Objects of the bottom band (picture coordinates), left of the bottom-left
# corner point so that they follow the bottom edge.
F_BUTTON = (8, 204, 40, 224)
F_SWITCH = (44, 204, 60, 224)
F_LABEL = (64, 204, 120, 222)
F_BITLABEL = (124, 206, 152, 217)
F_TRACK = (156, 204, 236, 220)
F_GAUGE = (156, 228, 216, 236)
F_LINEAR = (220, 228, 260, 240)
F_FRAMEGAUGE = (240, 204, 256, 220)
F_KNOB = (260, 202, 284, 226)
F_ANIMATE = (264, 228, 284, 248)
F_USER = (288, 204, 298, 224)


def frame_glyph(c, kind, l, t, ink):
    if kind == "close":
        for i in range(4, 12):
            c.put(l + i, t + i, ink)
            c.put(l + 15 - i, t + i, ink)
    elif kind == "maximize":
        c.frame(l + 4, t + 4, l + 12, t + 12, ink, ink)
        c.fill(l + 4, t + 5, l + 12, t + 6, ink)
    elif kind == "restore":
        c.frame(l + 6, t + 3, l + 13, t + 9, ink, ink)
        c.frame(l + 3, t + 7, l + 10, t + 13, ink, ink)
    elif kind == "minimize":
        c.fill(l + 4, t + 10, l + 12, t + 12, ink)
    elif kind == "rollup":
        for i in range(4):
            c.fill(l + 8 - i, t + 6 + i, l + 8 + i, t + 7 + i, ink)
    elif kind == "rolldown":
        for i in range(4):
            c.fill(l + 5 + i, t + 6 + i, l + 11 - i, t + 7 + i, ink)
    elif kind == "tray":
        c.fill(l + 4, t + 11, l + 12, t + 13, ink)
        c.fill(l + 7, t + 4, l + 9, t + 10, ink)
    elif kind == "sysmenu":
        c.disc(l + 8, t + 8, 4, ink)


def frame_buttons_picture(p):
    c = Canvas(64, 16 * len(F_CELL_ROWS), p.title2)
    for row, kind in enumerate(F_CELL_ROWS):
        for col, state in enumerate(("normal", "active", "down", "disabled")):
            l, t = col * 16, row * 16
            draw_button_face(c, l, t, l + 16, t + 16, p, state)
            ink = p.accent if (kind == "close" and state != "disabled") else glyph_colours(p, state)[0]
            frame_glyph(c, kind, l + (1 if state == "down" else 0), t + (1 if state == "down" else 0), ink)
    return c


def frame_values_picture(p):
    """Active picture 1: gauge fill, track-bar fill and thumbs, and the film
    strips of the knob (8 frames), the linear regulator (5), the frame gauge
    (6) and the animation (5 frames and a down image)."""
    c = Canvas(240, 100, p.body2)
    for x in range(60):
        c.fill(x, 0, x + 1, 8, mix(p.gauge_on1, p.gauge_on2, x / 59))
    c.fill(0, 8, 80, 24, p.gauge_off)
    c.fill(6, 14, 74, 18, p.gauge_on1)
    draw_button_face(c, 80, 8, 92, 24, p, "normal")
    draw_button_face(c, 92, 8, 104, 24, p, "active")
    for k in range(8):  # knob: a dial with its mark turning clockwise from below
        l = k * 24
        c.disc(l + 12, 36, 11, p.btn2)
        c.disc(l + 12, 36, 9, p.btn1)
        a = math.radians(k * 45)
        c.disc(l + 12 - 6 * math.sin(a), 36 + 6 * math.cos(a), 2, p.accent)
    for k in range(5):  # linear regulator: a slider knob moving right
        l = k * 40
        c.fill(l + 2, 53, l + 38, 55, p.border_dark)
        draw_button_face(c, l + 2 + k * 7, 48, l + 10 + k * 7, 60, p, "normal")
    for k in range(6):  # frame gauge: a bar growing up
        l = k * 16
        c.fill(l, 60, l + 16, 76, p.gauge_off)
        c.fill(l + 3, 76 - 2 - k * 2, l + 13, 74, mix(p.gauge_on1, p.gauge_on2, k / 5))
    for k in range(5):  # animation: a lamp getting brighter
        l = k * 20
        c.fill(l, 76, l + 20, 96, p.lcd)
        c.disc(l + 10, 86, 3 + k, mix(p.lcd_edge, p.lcd_text, k / 4))
    c.fill(100, 76, 120, 96, p.lcd)
    c.disc(110, 86, 7, p.accent_hot)
    return c


def frame_tile(c1, c2, size, step):
    c = Canvas(size, size, c1)
    for y in range(size):
        for x in range(size):
            if ((x // step) + (y // step)) % 2:
                c.put(x, y, c2)
    return c


def frame_objects_picture(p):
    """Active picture 4: button states, switch on, bit-label digits."""
    c = Canvas(160, 40, p.body2)
    for i, state in enumerate(("normal", "active", "down")):
        draw_button_face(c, 32 + i * 32, 0, 64 + i * 32, 20, p, state)
    c.fill(128, 0, 144, 20, p.accent_hot)
    c.frame(128, 0, 144, 20, p.border_light, p.border_dark)
    for d in range(10):  # 7 x 11 digits drawn as bars of a seven-segment display
        l, t = d * 7, 20
        segs = ["abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"][d]
        ink = p.lcd_text
        c.fill(l, t, l + 7, t + 11, (255, 0, 255))
        if "a" in segs: c.fill(l + 1, t, l + 6, t + 1, ink)
        if "b" in segs: c.fill(l + 5, t + 1, l + 6, t + 5, ink)
        if "c" in segs: c.fill(l + 5, t + 6, l + 6, t + 10, ink)
        if "d" in segs: c.fill(l + 1, t + 10, l + 6, t + 11, ink)
        if "e" in segs: c.fill(l + 1, t + 6, l + 2, t + 10, ink)
        if "f" in segs: c.fill(l + 1, t + 1, l + 2, t + 5, ink)
        if "g" in segs: c.fill(l + 1, t + 5, l + 6, t + 6, ink)
    return c


def frame_main_picture(p):
    c = Canvas(FW, FH)
    c.vgrad(0, 0, FW, FH, p.body1, p.body2)
    c.vgrad(0, 0, FW, F_CLIENT[1], p.title1, p.title2)
    c.frame(0, 0, FW, FH, p.border_light, p.border_dark)
    c.frame(F_CLIENT[0] - 1, F_CLIENT[1] - 1, F_CLIENT[2] + 1, F_CLIENT[3] + 1, p.border_dark, p.border_light)
    c.fill(*F_CLIENT, p.panel)
    # Wells of the bottom band's objects in their normal look.
    draw_button_face(c, *F_BUTTON, p, "normal")
    draw_button_face(c, *F_SWITCH, p, "normal")
    c.fill(*F_LABEL, p.lcd)
    c.fill(*F_BITLABEL, p.lcd)
    l, t, r_, b = F_TRACK
    c.fill(l, t, r_, b, p.gauge_off)
    c.fill(l + 6, t + 6, r_ - 6, t + 10, p.border_dark)
    c.fill(*F_GAUGE, p.gauge_off)
    c.frame(*F_GAUGE, p.border_dark, p.lcd_edge)
    c.fill(*F_USER, p.accent)
    return c


def frame_ini_text(p):
    lines = []

    def section(name, items):
        lines.append("[%s]" % name)
        for k, v in items:
            lines.append("%s=%s" % (k, v))
        lines.append("")

    section("VERSION", [("ver", "2"), ("skinname", "Korvane Frame Test"), ("skinauthor", "Korvane"),
                        ("authoremail", ""), ("authorurl", ""),
                        ("skincomments", "Drawn by scripts/gen_skin.py for frame mode")])
    actives = ["fbuttons.bmp", "fvalues.bmp", "fbg.bmp", "fmdibg.bmp", "fobjects.bmp"]
    section("PICTURES", [("picture", "fmain.bmp"), ("inactivepicture", ""), ("mask", ""),
                         ("rolluppicture", ""), ("rollupmask", ""),
                         ("activepicturescount", str(len(actives)))] +
            [(str(i), n) for i, n in enumerate(actives)])
    section("CURSORS", [("startcursorindex", "1"), ("cursorscount", "0")])
    section("FORMINFO", [
        ("lefttoppoint", pt(F_CORNERS["lt"])), ("righttoppoint", pt(F_CORNERS["rt"])),
        ("leftbottompoint", pt(F_CORNERS["lb"])), ("rightbottompoint", pt(F_CORNERS["rb"])),
        ("hittestlefttoppoint", "12,12"), ("hittestrighttoppoint", pt((FW - 12, 12))),
        ("hittestleftbottompoint", pt((12, FH - 12))), ("hittestrightbottompoint", pt((FW - 12, FH - 12))),
        ("clientrect", r(F_CLIENT)), ("bgpictureindex", "2"), ("mdibgpictureindex", "3"),
        ("leftstretch", "0"), ("rightstretch", "0"), ("topstretch", "1"), ("bottomstretch", "0"),
        ("stretcheffect", "0"), ("stretchtype", "stfull"),
        ("mdibgstretcheffect", "0"), ("mdibgstretchtype", "stfull"),
        ("buttonsrect", r(F_BUTTONS)), ("captionrect", r(F_CAPTION)),
        ("buttonsoffset", "2"), ("buttonsinleft", "0"), ("maskrectarea", "0,0,0,0"),
        ("mainmenurect", "0,0,0,0"), ("iconrect", "0,0,0,0"), ("borderwidth", "4"),
        ("formminwidth", "200"), ("cursorindex", "-1"),
        ("autorenderinginactiveimage", "1"), ("inactiveeffect", "iegrayscale"),
        ("sizegriparea", "0,0,0,0"), ("statusbarname", "")])

    def cell(row, col):
        t = F_CELL_ROWS.index(row) * 16
        return r((col * 16, t, col * 16 + 16, t + 16))

    objects = [("caption", "caption", [
        ("skinrect", r(F_CAPTION)), ("textrect", r((0, 0, F_CAPTION[2] - F_CAPTION[0], 18))),
        ("fontname", "Tahoma"), ("fontheight", "13"), ("fontstyle", "fsbold"),
        ("fontcolor", colour(mix(p.text, p.title2, 0.4))), ("activefontcolor", colour(p.text)),
        ("alignment", "taleftjustify"), ("shadow", "1"), ("shadowcolor", colour(p.border_dark)),
        ("activeshadowcolor", colour(p.border_dark))])]
    for idn, cmd, row, restore in (("closebutton", "cmclose", "close", None),
                                   ("maximizebutton", "cmmaximize", "maximize", "restore"),
                                   ("minimizebutton", "cmminimize", "minimize", None),
                                   ("rollupbutton", "cmrollup", "rollup", "rolldown"),
                                   ("traybutton", "cmminimizetotray", "tray", None),
                                   ("sysmenubutton", "cmsysmenu", "sysmenu", None)):
        keys = [("hint", ""), ("activepictureindex", "0"), ("skinrectinapicture", "1"),
                ("skinrect", cell(row, 0)), ("activeskinrect", cell(row, 1)),
                ("downrect", cell(row, 2)), ("inactiveskinrect", cell(row, 3)),
                ("morphing", "0"), ("command", cmd)]
        if restore:
            keys += [("restorerect", cell(restore, 0)), ("restoreactiverect", cell(restore, 1)),
                     ("restoredownrect", cell(restore, 2)), ("restoreinactiverect", cell(restore, 3))]
        objects.append((idn, "stdbutton", keys))
    objects += [
        ("fbutton", "button", [("activepictureindex", "4"), ("skinrect", r(F_BUTTON)),
                               ("activeskinrect", "64,0,96,20"), ("downrect", "96,0,128,20"),
                               ("morphing", "0")]),
        ("fswitch", "switch", [("activepictureindex", "4"), ("skinrect", r(F_SWITCH)),
                               ("activeskinrect", "128,0,144,20")]),
        ("flabel", "label", [("skinrect", r(F_LABEL)), ("fontname", "Tahoma"), ("fontheight", "12"),
                             ("fontcolor", colour(p.lcd_text)), ("activefontcolor", colour((255, 255, 255))),
                             ("alignment", "tacenter"), ("textvalue", "Level")]),
        ("fbitlabel", "bitlabel", [("activepictureindex", "4"), ("skinrect", r(F_BITLABEL)),
                                   ("activeskinrect", "0,20,70,31"), ("symbolwidth", "7"),
                                   ("symbolheight", "11"), ("symbols", "0123456789"),
                                   ("textvalue", "2026"), ("transparent", "1"),
                                   ("transparentcolor", colour((255, 0, 255)))]),
        ("ftrack", "trackbar", [("activepictureindex", "1"), ("skinrect", r(F_TRACK)),
                                ("activeskinrect", "0,8,80,24"), ("buttonrect", "80,8,92,24"),
                                ("activebuttonrect", "92,8,104,24"), ("beginpoint", "6,8"),
                                ("endpoint", "74,8"), ("minvalue", "0"), ("maxvalue", "100"),
                                ("mousedownchangevalue", "1")]),
        ("fgauge", "gauge", [("activepictureindex", "1"), ("skinrect", r(F_GAUGE)),
                             ("activeskinrect", "0,0,60,8"), ("minvalue", "0"), ("maxvalue", "100"),
                             ("kind", "gkhorizontal")]),
        ("fframegauge", "framegauge", [("activepictureindex", "1"), ("skinrect", r(F_FRAMEGAUGE)),
                                       ("activeskinrect", "0,60,96,76"), ("countframes", "6"),
                                       ("minvalue", "0"), ("maxvalue", "50"),
                                       ("framesplacement", "fphorizontal")]),
        ("fknob", "frameregulator", [("activepictureindex", "1"), ("skinrect", r(F_KNOB)),
                                     ("activeskinrect", "0,24,192,48"), ("countframes", "8"),
                                     ("minvalue", "0"), ("maxvalue", "70"), ("kind", "rkround")]),
        ("flinear", "frameregulator", [("activepictureindex", "1"), ("skinrect", r(F_LINEAR)),
                                       ("activeskinrect", "0,48,200,60"), ("countframes", "5"),
                                       ("minvalue", "0"), ("maxvalue", "100"), ("kind", "rkhorizontal")]),
        ("fanimate", "animate", [("activepictureindex", "1"), ("skinrect", r(F_ANIMATE)),
                                 ("activeskinrect", "0,76,20,96"), ("downskinrect", "100,76,120,96"),
                                 ("countframes", "5"), ("cycle", "0"), ("buttonstyle", "1"),
                                 ("timerinterval", "50"), ("command", "cmdefault")]),
        ("fuser", "userobject", [("skinrect", r(F_USER))]),
    ]
    section("SKINOBJECTS", [("count", str(len(objects)))] +
            [(str(i), "%s:%s" % (o[0], o[1])) for i, o in enumerate(objects)])
    for idn, kind, keys in objects:
        section(idn, keys)
    # The skinned controls keep their default looks with this skin.
    section("SKINCONTROLS", [("count", "0")])
    return "\r\n".join(lines) + "\r\n"


def write_frame_skin(p):
    out = os.path.join(OUT, "frame")
    os.makedirs(out, exist_ok=True)
    pictures = {
        "fmain.bmp": frame_main_picture(p),
        "fbuttons.bmp": frame_buttons_picture(p),
        "fvalues.bmp": frame_values_picture(p),
        "fbg.bmp": frame_tile(p.panel, mix(p.panel, p.body1, 0.5), 32, 8),
        "fmdibg.bmp": frame_tile(p.body2, mix(p.body2, p.title2, 0.6), 48, 12),
        "fobjects.bmp": frame_objects_picture(p),
    }
    for name, pic in pictures.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(pic.bmp())
    with open(os.path.join(out, "skin.ini"), "w", newline="") as f:
        f.write(frame_ini_text(p))


def main():
    os.makedirs(OUT, exist_ok=True)
    # Built-in skin.
    actives = actives_for(BLUE)
    ini = ini_text(BLUE, "main.bmp", ACTIVE_NAMES)
    with open(os.path.join(OUT, "builtin.skn"), "wb") as f:
        f.write(container(skin_stream(main_picture(BLUE), actives, ini)))
    # Second skin as a folder.
    alt = os.path.join(OUT, "alt")
    os.makedirs(alt, exist_ok=True)
    with open(os.path.join(alt, "main.bmp"), "wb") as f:
        f.write(main_picture(AMBER).bmp())
    with open(os.path.join(alt, "mask.bmp"), "wb") as f:
        f.write(mask_picture().bmp())
    for name, pic in zip(ACTIVE_NAMES, actives_for(AMBER)):
        with open(os.path.join(alt, name), "wb") as f:
            f.write(pic.bmp())
    with open(os.path.join(alt, "skin.ini"), "w", newline="") as f:
        f.write(ini_text(AMBER, "main.bmp", ACTIVE_NAMES, mask="mask.bmp"))
    # Frame-mode test skin as a folder.
    write_frame_skin(BLUE)


if __name__ == "__main__":
    main()
