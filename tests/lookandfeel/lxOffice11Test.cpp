#include <gtest/gtest.h>

#include <vector>

#include "lookandfeel/lxOffice11.h"
#include "lookandfeel/lxThemeManager.h"
#include "lookandfeel/lxUxTheme.h"
#include "tests/lookandfeel/ThemeStandIn.h"

namespace {

// Draws into a 32-bit top-down DIB and reads pixels back.
struct Surface {
  Surface(int w, int h) : W(w), H(h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    DC = CreateCompatibleDC(nullptr);
    Bmp = CreateDIBSection(DC, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
    Old = SelectObject(DC, Bmp);
    Fill(0x00FF00FF);
  }
  ~Surface() {
    SelectObject(DC, Old);
    DeleteObject(Bmp);
    DeleteDC(DC);
  }
  void Fill(uint32_t bgra) {
    GdiFlush();
    std::fill(Bits, Bits + W * H, bgra);
  }
  // As a colour 0x00BBGGRR.
  TColor At(int x, int y) {
    GdiFlush();
    uint32_t p = Bits[y * W + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int W, H;
  HDC DC;
  HBITMAP Bmp;
  HGDIOBJ Old;
  uint32_t* Bits = nullptr;
};

} // namespace

TEST(lxOffice11, SchemeColoursPerScheme) {
  struct Case {
    BYTE scheme;
    TColor c0, c2, c18, c41, c76;
  } cases[] = {{1, 0xF5BE9E, 0xFEECDD, 0x764127, 0x800000, 0xFFFFFF},
               {2, 0xA7D9D9, 0xDEF7F4, 0x335E51, 0x385D3F, 0xFFFFFF},
               {3, 0xE5D7D7, 0xFAF4F3, 0x755454, 0x6F4B4B, 0xFFFFFF}};
  for (auto c : cases) {
    BuildOffice11Colors(c.scheme, true);
    EXPECT_EQ(Office11Color(0), c.c0) << int(c.scheme);
    EXPECT_EQ(Office11Color(2), c.c2) << int(c.scheme);
    EXPECT_EQ(Office11Color(18), c.c18) << int(c.scheme);
    EXPECT_EQ(Office11Color(41), c.c41) << int(c.scheme);
    EXPECT_EQ(Office11Color(76), c.c76) << int(c.scheme);
    EXPECT_EQ(Office11Color(22), 0x000000u);
    EXPECT_EQ(Office11Color(62), 0xC9EEFDu);
    EXPECT_EQ(Office11Color(26), Office11Color(2));
    EXPECT_EQ(Office11Color(77), Office11Color(74));
    EXPECT_EQ(Office11Color(55), Office11Color(15));
    EXPECT_EQ(Office11Color(15), MixColors(Office11Color(7), Office11Color(11), 50));
    EXPECT_EQ(Office11Color(12), MixColors(Office11Color(4), Office11Color(2), 90));
  }
  // Blue: colour 65 is scheme entry 37, colour 74 entry 46.
  BuildOffice11Colors(1, true);
  EXPECT_EQ(Office11Color(65), 0x962D00u);
  EXPECT_EQ(Office11Color(74), 0xD68759u);
  EXPECT_EQ(Office11Color(64), Office11Color(11));
}

TEST(lxOffice11, FallbackUsesSystemColours) {
  BuildOffice11Colors(0, false);
  EXPECT_EQ(Office11Color(0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Office11Color(7), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(Office11Color(19), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(Office11Color(41), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Office11Color(21), 0xFFFFFFu);
  EXPECT_EQ(Office11Color(2), MixColors(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW), 22));
  EXPECT_EQ(Office11Color(47), SystemTintColor(41, 11, 48));
  EXPECT_EQ(Office11Color(44), Office11Color(48));
  EXPECT_EQ(Office11Color(71), Office11Color(47));
  EXPECT_EQ(Office11Color(78), Office11Color(65));
  EXPECT_EQ(Office11Color(62), GetSysColor(COLOR_BTNFACE));
}

TEST(lxOffice11, SchemeFromThemeNames) {
  struct Case {
    const wchar_t *file, *colour;
    DWORD major;
    BYTE scheme;
  } cases[] = {{L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", 5, 1},
               {L"C:\\x\\luna.msstyles", L"HomeStead", 5, 2},
               {L"luna.msstyles", L"Metallic", 5, 3},
               {L"C:\\x\\Royale.msstyles", L"NormalColor", 5, 0},
               {L"C:\\x\\Aero.msstyles", L"NormalColor", 6, 1},
               {L"C:\\x\\Luna.msstyles", L"Other", 5, 0}};
  for (auto c : cases)
    EXPECT_EQ(SchemeFromThemeName(c.file, c.colour, c.major), c.scheme) << c.file;
}

TEST(lxOffice11, MixColorsGivesShareOfFirst) {
  EXPECT_EQ(MixColors(0xFFFFFF, 0x000000, 100), 0xFFFFFFu);
  EXPECT_EQ(MixColors(0xFFFFFF, 0x000000, 0), 0x000000u);
  EXPECT_EQ(MixColors(0x0000C8, 0x000064, 50), 0x000096u); // 100 + 50 per channel... red only
  EXPECT_EQ(MixColors(clWhite, clBtnFace, 100), 0xFFFFFFu);
  EXPECT_EQ(MixColors(0xFFFFFF, 0xFFFFFF, 120), 0xFFFFFFu); // clamped at 255
}

TEST(lxOffice11, UsersShareBrushes) {
  lxUxThemeInitialize();
  lxThemeManagerInitialize();
  AddOffice11ColorsUser();
  AddOffice11ColorsUser();
  EXPECT_EQ(Office11ColorsUserCount(), 2);
  ASSERT_NE(Office11Brush(0), nullptr);
  EXPECT_EQ(Office11Brush(11), Office11Brush(4));
  EXPECT_EQ(Office11Brush(13), Office11Brush(6));
  EXPECT_EQ(Office11Brush(14), Office11Brush(10));
  EXPECT_EQ(Office11Color(79), static_cast<TColor>(RGB(158, 174, 191)));
  EXPECT_EQ(Office11Color(80), static_cast<TColor>(RGB(46, 70, 95)));
  LOGBRUSH lb{};
  GetObjectW(Office11Brush(0), sizeof(lb), &lb);
  EXPECT_EQ(lb.lbColor, Office11Color(18));
  RemoveOffice11ColorsUser();
  EXPECT_NE(Office11Brush(0), nullptr);
  RemoveOffice11ColorsUser();
  EXPECT_EQ(Office11Brush(0), nullptr);
  EXPECT_EQ(Office11Bitmap(obSubMenuExpand), nullptr);
  lxThemeManagerFinalize();
  lxUxThemeFinalize();
}

TEST(lxOffice11, TintGreyBitmapWithOneGreyLevel) {
  TBitmap bm;
  bm.SetPixelFormat(pf24bit);
  bm.SetSize(4, 4);
  TCanvas* c = bm.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, 4, 4));
  c->SetPixels(1, 1, 0x808080);
  c->SetPixels(2, 2, 0x808080);
  c->SetPixels(3, 3, 0x000000);
  TintGreyBitmap(&bm, 0x0000FF, 0xFF0000);
  EXPECT_EQ(c->Pixels(1, 1), MixColors(0x0000FF, 0xFF0000, 0));
  EXPECT_EQ(c->Pixels(2, 2), MixColors(0x0000FF, 0xFF0000, 0));
  EXPECT_EQ(c->Pixels(3, 3), 0x000000u);
  EXPECT_EQ(c->Pixels(0, 0), 0xFFFFFFu);
}

TEST(lxOffice11, TintGreyBitmapSpreadsGreyLevels) {
  TBitmap bm;
  bm.SetSize(3, 1);
  TCanvas* c = bm.Canvas();
  c->SetPixels(0, 0, 0xFFFFFF);
  c->SetPixels(1, 0, 0x404040);
  c->SetPixels(2, 0, 0xC0C0C0);
  TintGreyBitmap(&bm, 0x0000FF, 0xFF0000);
  EXPECT_EQ(c->Pixels(1, 0), MixColors(0x0000FF, 0xFF0000, 0));
  EXPECT_EQ(c->Pixels(2, 0), MixColors(0x0000FF, 0xFF0000, 100));
}

TEST(lxOffice11, GradientWithAndWithoutGradientFill) {
  lxOffice11Initialize();
  for (bool disabled : {false, true}) {
    lxGradientFillDisabled = disabled;
    Surface s(300, 4);
    FillGradient(s.DC, TRect(0, 0, 300, 4), 0x000000, 0xFF0000, true);
    EXPECT_EQ(s.At(0, 0), 0x000000u) << disabled;
    EXPECT_GE((s.At(299, 3) >> 16) & 0xFF, 0xFAu) << disabled;
    EXPECT_NEAR(static_cast<int>((s.At(150, 1) >> 16) & 0xFF), 128, 3) << disabled;
    Surface v(4, 10);
    FillGradient(v.DC, TRect(0, 0, 4, 10), 0x0000FF, 0x00FF00, false);
    EXPECT_EQ(v.At(2, 0), 0x0000FFu) << disabled;
    EXPECT_EQ(v.At(2, 0), v.At(0, 0)); // bands run across
  }
  lxGradientFillDisabled = true;
  // 300 pixels in 256 bands: the software fill ends in the last colour.
  Surface s(300, 1);
  FillGradient(s.DC, TRect(0, 0, 300, 1), 0x000000, 0x0000FF, true);
  EXPECT_EQ(s.At(299, 0), 0x0000FFu);
  int changes = 0;
  for (int x = 1; x < 300; ++x)
    changes += s.At(x, 0) != s.At(x - 1, 0);
  EXPECT_EQ(changes, 255);
  // Equal colours: a solid fill.
  Surface e(5, 5);
  FillGradient(e.DC, TRect(1, 1, 4, 4), 0x123456, 0x123456, true);
  EXPECT_EQ(e.At(2, 2), 0x123456u);
  EXPECT_EQ(e.At(0, 0), 0xFF00FFu);
  lxGradientFillDisabled = false;
  lxOffice11Finalize();
}

TEST(lxOffice11, GripDots) {
  HBRUSH light = CreateSolidBrush(0xFFFFFF), dark = CreateSolidBrush(0x000000);
  auto dots = [&](int length) {
    Surface s(length + 2, 4);
    DrawGripDots(s.DC, TRect(0, 0, length, 4), false, light, dark);
    int n = 0;
    for (int x = 0; x < s.W; ++x)
      n += s.At(x, 0) == 0x000000;
    return std::pair<int, TColor>(n / 2, s.At(1, 1)); // two dark pixels of each dot on row 0
  };
  EXPECT_EQ(dots(4).first, 1);
  EXPECT_EQ(dots(10).first, 2);
  EXPECT_EQ(dots(16).first, 4);
  {
    Surface s(12, 4);
    DrawGripDots(s.DC, TRect(0, 0, 4, 4), false, light, dark);
    EXPECT_EQ(s.At(0, 0), 0x000000u);
    EXPECT_EQ(s.At(1, 1), 0x000000u);
    EXPECT_EQ(s.At(2, 2), 0xFFFFFFu);
  }
  {
    // 10 pixels: the first cell moves by 1.
    Surface s(12, 4);
    DrawGripDots(s.DC, TRect(0, 0, 10, 4), false, light, dark);
    EXPECT_EQ(s.At(0, 0), 0xFF00FFu);
    EXPECT_EQ(s.At(1, 0), 0x000000u);
    EXPECT_EQ(s.At(5, 0), 0x000000u);
  }
  {
    Surface s(12, 12);
    DrawSizeGripDots(s.DC, TRect(0, 0, 12, 12), 0x000000, 0xFFFFFF);
    EXPECT_EQ(s.At(0, 9), 0x000000u); // first row, first dot
    EXPECT_EQ(s.At(8, 9), 0x000000u); // first row, third dot
    EXPECT_EQ(s.At(0, 5), 0xFF00FFu); // second row starts 4 further right
    EXPECT_EQ(s.At(4, 5), 0x000000u);
    EXPECT_EQ(s.At(8, 1), 0x000000u); // third row, one dot
  }
  DeleteObject(light);
  DeleteObject(dark);
}

TEST(lxOffice11, ThemedSchemeFromTheCurrentTheme) {
  struct Case {
    const wchar_t *file, *colour;
    DWORD major;
    BYTE scheme;
  } cases[] = {{L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", 5, 1},
               {L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"NormalColor", 5, 0},
               {L"C:\\Windows\\Resources\\Themes\\Aero\\Aero.msstyles", L"Metallic", 6, 3}};
  for (auto c : cases) {
    lxSetSystemVersion({c.major, 1, VER_PLATFORM_WIN32_NT});
    themestandin::gFile = c.file;
    themestandin::gColour = c.colour;
    {
      themestandin::Library lib;
      if (!lib.loaded) GTEST_SKIP() << "no theme library on this system";
      AddOffice11ColorsUser();
      EXPECT_EQ(Office11Scheme(), c.scheme) << c.file;
      EXPECT_EQ(Office11SchemeThemed(), c.scheme != 0);
      if (c.scheme == 1) {
        EXPECT_EQ(Office11Color(2), 0xFEECDDu);
        EXPECT_EQ(Office11SchemeValue(), 41);
        LOGBRUSH lb{};
        GetObjectW(Office11Brush(0), sizeof(lb), &lb);
        EXPECT_EQ(lb.lbColor, 0x764127u);
      } else if (c.scheme == 0) {
        EXPECT_EQ(Office11Color(0), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(Office11SchemeValue(), 75);
      }
      RemoveOffice11ColorsUser();
    }
  }
  themestandin::gFile = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
  themestandin::gColour = L"NormalColor";
  lxResetSystemVersion();
}
