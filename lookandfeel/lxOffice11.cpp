#include "lookandfeel/lxOffice11.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>

#include "framework/SysUtils.h"
#include "lookandfeel/lxThemeManager.h"
#include "lookandfeel/lxUxTheme.h"

namespace {

using TGradientFill = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

BYTE gScheme = 0;
bool gThemed = false;
int gSchemeValue = 75;
TColor gColors[Office11ColorCount] = {};
HBRUSH gBrushes[Office11BrushCount] = {};
TBitmap* gBitmaps[3] = {}; // plain pointers: exit hooks run during static destruction
int gUsers = 0;
HMODULE gMsimg = nullptr;
TGradientFill gGradientFill = nullptr;
int gUseCount = 0;

const TColor kSchemeColors[3][49] = {
    {0xFEECDD, 0xE2A981, 0xF5BE9E, 0xF9DAC3, 0x913500, 0xF1A675, 0x76C1FF, 0xD3F8FF, 0x98DDFF,
     0x5295FE, 0x9C613B, 0xE0A47B, 0x764127, 0xFFFFFF, 0xCB8C6A, 0xFFF9F1, 0xC9662A, 0xF9DBC4,
     0x962D00, 0xF6F6F6, 0xC2EEFF, 0x800000, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xFCE1CB,
     0x6FC0FF, 0x3E80FE, 0xF0C7A9, 0x000000, 0x8D8D8D, 0xFBDABE, 0x94E6FB, 0xFADAC4, 0x962D00,
     0xB96837, 0x962D00, 0xFBE5D3, 0xE4AE88, 0xDCFFFF, 0x5BC0F7, 0x94E6FB, 0x1595EE, 0x087FE8,
     0x7CDAF7, 0xD68759, 0x933803, 0xFFFFFF},
    {0xDEF7F4, 0x91C6B7, 0xA7D9D9, 0xE4F0F2, 0x6B7760, 0x8CC2B0, 0x76C1FF, 0xD3F8FF, 0x98DDFF,
     0x5295FE, 0x588060, 0x8FC4B5, 0x335E51, 0xFFFFFF, 0x588060, 0xDEF7F4, 0x5E8674, 0xADDEE1,
     0x5E8D75, 0xEEF4F4, 0xC2EEFF, 0x385D3F, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xB6E3D8,
     0x6FC0FF, 0x3E80FE, 0x9FD4C5, 0x000000, 0x8D8D8D, 0x91BAAF, 0x94E6FB, 0xE4F1F2, 0x588060,
     0x548973, 0x5E8D75, 0xDBF5F2, 0x97C9BC, 0xDCFFFF, 0x5BC0F7, 0x94E6FB, 0x1595EE, 0x087FE8,
     0x7CDAF7, 0x82C0AF, 0x447A63, 0xFFFFFF},
    {0xFAF4F3, 0xB59799, 0xE5D7D7, 0xF7F3F3, 0x927476, 0xC8B2B3, 0x76C1FF, 0xD3F8FF, 0x98DDFF,
     0x5295FE, 0x947C7C, 0xB09193, 0x755454, 0xFFFFFF, 0x8F6D6E, 0xFFFFFF, 0x99797A, 0xE4DADB,
     0x947C7C, 0xFFFAFD, 0xC2EEFF, 0x6F4B4B, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xE7D3D6,
     0x6FC0FF, 0x3E80FE, 0xD3C0C0, 0x000000, 0x8D8D8D, 0xEBE5E5, 0x94E6FB, 0xF7F3F3, 0x947C7C,
     0x916F70, 0x947C7C, 0xF8F1F0, 0xBA9EA0, 0xDCFFFF, 0x5BC0F7, 0x94E6FB, 0x1595EE, 0x087FE8,
     0x7CDAF7, 0xBFA7A8, 0x916F70, 0xFFFFFF}};

// Colour k of the own values: scheme entry per colour index (-1 = none).
const int kThemedEntry[79] = {2,  3,  0,  1,  5,  7,  9,  4,  6,  8,  10, 11, -1, -1, -1, -1,
                              -1, -1, 12, 13, 14, 15, -1, -1, 16, 17, -1, -1, -1, -1, -1, 19,
                              -1, -1, -1, -1, -1, -1, 18, -1, 20, 21, 22, 23, 24, 25, 26, 27,
                              28, 29, -1, 30, 31, -1, -1, -1, -1, -1, 32, 33, 35, 34, -1, 36,
                              -1, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, -1, -1};

BYTE R(TColor c) {
  return c & 0xFF;
}
BYTE G(TColor c) {
  return (c >> 8) & 0xFF;
}
BYTE B(TColor c) {
  return (c >> 16) & 0xFF;
}

TColor Sys(int index) {
  return GetSysColor(index);
}

void DeleteBrushesAndBitmaps() {
  HBRUSH seen[Office11BrushCount] = {};
  int n = 0;
  for (auto& b : gBrushes) {
    if (b && std::find(seen, seen + n, b) == seen + n) {
      DeleteObject(b);
      seen[n++] = b;
    }
    b = nullptr;
  }
  for (auto& bm : gBitmaps) {
    delete bm;
    bm = nullptr;
  }
}

// A missing or unreadable resource leaves an empty bitmap.
TBitmap* LoadResourceBitmap(const wchar_t* Name) {
  auto* bm = new TBitmap;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (FindResourceW(inst, Name, MAKEINTRESOURCEW(2))) {
    try {
      bm->LoadFromResourceName(inst, Name);
    } catch (...) {
      delete bm;
      bm = new TBitmap;
    }
  }
  return bm;
}

void CreateBrushesAndBitmaps() {
  auto solid = [](int colour) { return CreateSolidBrush(ColorToRGB(gColors[colour])); };
  gBrushes[0] = solid(18);
  gBrushes[1] = solid(19);
  gBrushes[2] = solid(20);
  gBrushes[3] = solid(21);
  gBrushes[10] = solid(38);
  gBrushes[4] = solid(31);
  gBrushes[11] = gBrushes[4];
  gBrushes[5] = solid(41);
  gBrushes[7] = solid(46);
  gBrushes[8] = solid(47);
  gBrushes[9] = solid(48);
  gBrushes[12] = solid(49);
  gBrushes[6] = solid(40);
  gBrushes[13] = gBrushes[6];
  gBrushes[14] = gBrushes[10];
  gBrushes[15] = solid(55);
  gBitmaps[obSubMenuExpand] = LoadResourceBitmap(L"LXSUBMENUEXPAND");
  TintGreyBitmap(gBitmaps[obSubMenuExpand], gColors[2], gColors[3]);
  gBitmaps[obExpandButtonMinus] = LoadResourceBitmap(L"LXEXPANDBUTTON_MINUS");
  gBitmaps[obExpandButtonPlus] = LoadResourceBitmap(L"LXEXPANDBUTTON_PLUS");
  gColors[79] = RGB(158, 174, 191);
  gColors[80] = RGB(46, 70, 95);
}

} // namespace

bool lxGradientFillDisabled = false;

BYTE Office11Scheme() {
  return gScheme;
}
bool Office11SchemeThemed() {
  return gThemed;
}
int Office11SchemeValue() {
  return gSchemeValue;
}
TColor Office11Color(int Index) {
  return Index >= 0 && Index < Office11ColorCount ? gColors[Index] : 0;
}
HBRUSH Office11Brush(int Index) {
  return Index >= 0 && Index < Office11BrushCount ? gBrushes[Index] : nullptr;
}
TBitmap* Office11Bitmap(TlxOffice11Bitmap Which) {
  return gBitmaps[Which];
}
int Office11ColorsUserCount() {
  return gUsers;
}

// ---------------------------------------------------------------------------
// Colour routines

TColor NearestScreenColor(TColor c) {
  HDC dc = GetDC(nullptr);
  TColor r = GetNearestColor(dc, ColorToRGB(c));
  ReleaseDC(nullptr, dc);
  return r;
}

TColor MixColors(TColor c1, TColor c2, int p) {
  TColor a = ColorToRGB(c1), b = ColorToRGB(c2);
  auto ch = [&](BYTE x1, BYTE x2) {
    return std::min(255, MulDiv(x2, 100 - p, 100) + MulDiv(x1, p, 100));
  };
  return NearestScreenColor(RGB(ch(R(a), R(b)), ch(G(a), G(b)), ch(B(a), B(b))));
}

TColor SystemTintColor(int a, int b, int c) {
  TColor face = Sys(COLOR_BTNFACE), hi = Sys(COLOR_HIGHLIGHT), win = Sys(COLOR_WINDOW);
  if (face == 0 || face == 0xFFFFFF) return hi;
  auto ch = [&](BYTE f, BYTE h, BYTE w) {
    return std::clamp(MulDiv(f, a, 100) + MulDiv(h, b, 100) + MulDiv(w, c, 100), 0, 255);
  };
  return RGB(ch(R(face), R(hi), R(win)), ch(G(face), G(hi), G(win)), ch(B(face), B(hi), B(win)));
}

TColor CaptionTintColor(bool Start) {
  TColor face = Sys(COLOR_BTNFACE);
  auto ch = [&](int v) {
    return Start ? v * 127 / 255 + 128 : static_cast<BYTE>(v + 4 - v * 4 / 255);
  };
  return NearestScreenColor(RGB(ch(R(face)), ch(G(face)), ch(B(face))));
}

BYTE SchemeFromThemeName(const wchar_t* FileName, const wchar_t* ColorName, DWORD Major) {
  std::wstring file = FileName ? FileName : L"";
  auto slash = file.find_last_of(L"\\/");
  if (slash != std::wstring::npos) file = file.substr(slash + 1);
  if (UpperCase(file) != L"LUNA.MSSTYLES" && Major <= 5) return 0;
  std::wstring colour = UpperCase(ColorName ? ColorName : L"");
  if (colour == L"NORMALCOLOR") return 1;
  if (colour == L"HOMESTEAD") return 2;
  if (colour == L"METALLIC") return 3;
  return 0;
}

BYTE ReadThemeColorScheme() {
  if (!CanUseVisualStyles(0)) return 0;
  std::wstring file(1024, L'\0'), colour(1024, L'\0'), size(1024, L'\0');
  if (FAILED(lx::GetCurrentThemeName(file.data(), 1024, colour.data(), 1024, size.data(), 1024)))
    return 0;
  return SchemeFromThemeName(file.c_str(), colour.c_str(), lxSystemVersion().Major);
}

void BuildOffice11Colors(BYTE Scheme, bool Themed) {
  TColor* c = gColors;
  const TColor face = Sys(COLOR_BTNFACE), hi = Sys(COLOR_HIGHLIGHT),
               hiText = Sys(COLOR_HIGHLIGHTTEXT), win = Sys(COLOR_WINDOW),
               shadow = Sys(COLOR_BTNSHADOW), btnText = Sys(COLOR_BTNTEXT),
               btnHi = Sys(COLOR_BTNHIGHLIGHT), grey = Sys(COLOR_GRAYTEXT);
  if (Themed && Scheme >= 1 && Scheme <= 3) {
    const TColor* t = kSchemeColors[Scheme - 1];
    for (int i = 0; i < 79; ++i)
      if (kThemedEntry[i] >= 0) c[i] = t[kThemedEntry[i]];
    c[22] = 0x000000;
    c[23] = 0xFFFFFF;
    c[28] = 0xFFFFFF;
    c[29] = 0x000000;
    c[30] = 0x000000;
    c[62] = 0xC9EEFD;
    c[12] = MixColors(c[4], c[2], 90);
    c[13] = MixColors(c[5], c[2], 90);
    c[14] = MixColors(c[6], c[2], 90);
    c[64] = c[11];
    c[77] = c[74];
    c[78] = c[75];
  } else {
    c[0] = face;
    c[1] = MixColors(face, win, 20);
    c[2] = MixColors(face, win, 22);
    c[3] = MixColors(face, win, 96);
    c[4] = MixColors(shadow, win, 74);
    c[5] = NearestScreenColor(SystemTintColor(-15, 29, 86));
    c[6] = NearestScreenColor(SystemTintColor(42, 11, 47));
    c[7] = shadow;
    c[8] = NearestScreenColor(SystemTintColor(-15, 29, 86));
    c[9] = NearestScreenColor(SystemTintColor(42, 11, 47));
    c[10] = MixColors(face, win, 85);
    c[11] = face;
    c[18] = MixColors(shadow, win, 76);
    c[19] = win;
    c[20] = MixColors(shadow, win, 70);
    c[21] = 0xFFFFFF;
    c[22] = btnText;
    c[23] = win;
    c[24] = shadow;
    c[28] = btnHi;
    c[29] = btnText;
    c[30] = btnText;
    c[31] = win;
    c[38] = shadow;
    c[40] = NearestScreenColor(SystemTintColor(-2, 30, 72));
    c[41] = hi;
    c[47] = SystemTintColor(41, 11, 48);
    c[48] = NearestScreenColor(SystemTintColor(14, 44, 40));
    c[51] = btnText;
    c[52] = grey;
    c[58] = face;
    c[62] = face;
    c[63] = shadow;
    c[64] = shadow;
    c[65] = NearestScreenColor(shadow);
    c[66] = CaptionTintColor(true);
    c[67] = CaptionTintColor(false);
    c[76] = hiText;
    c[77] = NearestScreenColor(face);
    // Rows that name other colours, in table order.
    c[12] = MixColors(c[7], win, 50);
    c[13] = MixColors(c[8], win, 50);
    c[14] = MixColors(c[9], win, 50);
    c[25] = c[3];
    c[42] = c[40];
    c[43] = c[40];
    c[44] = c[48];
    c[45] = c[48];
    c[46] = c[3];
    c[49] = c[46];
    c[59] = c[47];
    c[60] = c[38];
    c[61] = c[0];
    c[68] = c[42];
    c[69] = c[43];
    c[70] = c[47];
    c[71] = c[70];
    c[72] = c[48];
    c[73] = c[72];
    c[74] = c[65];
    c[75] = c[65];
    c[78] = c[65];
  }
  // Either way.
  c[15] = MixColors(c[7], c[11], 50);
  c[16] = MixColors(c[8], c[11], 50);
  c[17] = MixColors(c[9], c[11], 50);
  c[26] = c[2];
  c[27] = c[24];
  c[32] = c[2];
  c[33] = c[3];
  c[34] = c[2];
  c[35] = c[3];
  c[36] = MixColors(c[34], 0x000000, 92);
  c[37] = MixColors(c[35], 0x000000, 92);
  c[39] = c[31];
  c[50] = c[40];
  c[53] = c[38];
  c[54] = c[0];
  c[55] = c[15];
  c[56] = c[28];
  c[57] = c[38];
}

namespace {

void BuildColors() {
  gScheme = ReadThemeColorScheme();
  gThemed = CanUseVisualStyles(0) && gScheme != 0;
  static const int kValues[4] = {75, 41, 125, 40};
  gSchemeValue = gThemed ? kValues[gScheme] : 75;
  BuildOffice11Colors(gScheme, gThemed);
}

} // namespace

void AddOffice11ColorsUser() {
  if (gUsers == 0) {
    BuildColors();
    CreateBrushesAndBitmaps();
  }
  ++gUsers;
}

void UpdateOffice11Colors() {
  BuildColors();
  if (gUsers > 0) {
    DeleteBrushesAndBitmaps();
    CreateBrushesAndBitmaps();
  }
}

void RemoveOffice11ColorsUser() {
  if (gUsers == 0) return;
  if (--gUsers == 0) DeleteBrushesAndBitmaps();
}

void TintGreyBitmap(TBitmap* Bitmap, TColor Light, TColor Dark) {
  if (!Bitmap || Bitmap->Empty()) return;
  if (Light == Dark) Dark = Light == 0 ? 0xFFFFFF : 0x000000;
  TCanvas* cv = Bitmap->Canvas();
  int w = Bitmap->Width(), h = Bitmap->Height();
  TColor back = cv->Pixels(0, 0);
  int lo = 255, hi = 1;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      TColor p = cv->Pixels(x, y);
      if (p == back || p == 0) continue;
      lo = std::min<int>(lo, R(p));
      hi = std::max<int>(hi, R(p));
    }
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      TColor p = cv->Pixels(x, y);
      if (p == back || p == 0) continue;
      // A single grey level takes the light colour.
      int percent = hi > lo ? MulDiv(R(p) - lo, 100, hi - lo) : 0;
      cv->SetPixels(x, y, MixColors(Light, Dark, percent));
    }
}

// ---------------------------------------------------------------------------
// Fills

void FillSolid(HDC DC, const TRect& R, TColor c) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(c));
  RECT r = R;
  FillRect(DC, &r, b);
  DeleteObject(b);
}

bool GradientFillAvailable() {
  return gGradientFill && !lxGradientFillDisabled;
}

void FillGradient(HDC DC, const TRect& Rc, TColor c1, TColor c2, bool Horizontal) {
  c1 = ColorToRGB(c1);
  c2 = ColorToRGB(c2);
  if (c1 == c2) {
    FillSolid(DC, Rc, c1);
    return;
  }
  if (GradientFillAvailable()) {
    TRIVERTEX v[2] = {};
    v[0] = {Rc.Left,
            Rc.Top,
            static_cast<COLOR16>(R(c1) << 8),
            static_cast<COLOR16>(G(c1) << 8),
            static_cast<COLOR16>(B(c1) << 8),
            0};
    v[1] = {Rc.Right,
            Rc.Bottom,
            static_cast<COLOR16>(R(c2) << 8),
            static_cast<COLOR16>(G(c2) << 8),
            static_cast<COLOR16>(B(c2) << 8),
            0};
    GRADIENT_RECT gr{0, 1};
    gGradientFill(DC, v, 2, &gr, 1, Horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
    return;
  }
  int extent = Horizontal ? Rc.Width() : Rc.Height();
  int n = std::min(extent, 256);
  if (n < 1) return;
  int start = Horizontal ? Rc.Left : Rc.Top;
  int farEdge = Horizontal ? Rc.Right : Rc.Bottom;
  int from = start;
  for (int i = 0; i < n; ++i) {
    int to = start + MulDiv(i + 1, extent, n);
    auto ch = [&](BYTE a, BYTE b) { return n > 1 ? a + MulDiv(i, b - a, n - 1) : a; };
    TColor c = RGB(ch(R(c1), R(c2)), ch(G(c1), G(c2)), ch(B(c1), B(c2)));
    if (to > from) {
      TRect band =
          Horizontal ? TRect(from, Rc.Top, to, Rc.Bottom) : TRect(Rc.Left, from, Rc.Right, to);
      FillSolid(DC, band, c);
    }
    if (to >= farEdge) break;
    from = to;
  }
}

void DrawGripDots(HDC DC, const TRect& R, bool Vertical, HBRUSH Light, HBRUSH Dark) {
  if (!Dark) Dark = gBrushes[0];
  if (!Light) Light = gBrushes[1];
  int length = Vertical ? R.Height() : R.Width();
  int r = length % 4;
  int shift = r < 2 ? r : r / 2;
  TRect cell(R.Left, R.Top, R.Left + 4, R.Top + 4);
  if (Vertical)
    cell.Offset(0, shift);
  else
    cell.Offset(shift, 0);
  bool first = true;
  while (first || (Vertical ? cell.Bottom <= R.Bottom : cell.Right <= R.Right)) {
    first = false;
    RECT dot{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1};
    if (Light) FillRect(DC, &dot, Light);
    OffsetRect(&dot, -1, -1);
    if (Dark) FillRect(DC, &dot, Dark);
    if (Vertical)
      cell.Offset(0, 4);
    else
      cell.Offset(4, 0);
  }
}

void DrawSizeGripDots(HDC DC, const TRect& R, TColor Dark, TColor Light) {
  HBRUSH dark = Dark == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(Dark));
  HBRUSH light = Light == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(Light));
  TRect row(R.Right - 12, R.Bottom - 3, R.Right, R.Bottom);
  for (int i = 0; i < 3; ++i) {
    DrawGripDots(DC, row, false, light, dark);
    row.Left += 4;
    row.Top -= 4;
    row.Bottom -= 4;
  }
  if (dark) DeleteObject(dark);
  if (light) DeleteObject(light);
}

void lxOffice11Initialize() {
  if (gUseCount++ > 0) return;
  gMsimg = LoadLibraryW(L"msimg32.dll");
  if (gMsimg)
    gGradientFill = reinterpret_cast<TGradientFill>(
        reinterpret_cast<void*>(GetProcAddress(gMsimg, "GradientFill")));
}

void lxOffice11Finalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  gGradientFill = nullptr;
  if (gMsimg) FreeLibrary(gMsimg);
  gMsimg = nullptr;
}
