#include "lookandfeel/lfGraphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/Controls.h"
#include "framework/Streams.h"

namespace {

// Floor division, so that tiles left of or above the origin count right.
int FloorDiv(int a, int b) {
  int q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Plain pointers: exit hooks run during static destruction.
TlfScreenCanvas* gScreenCanvas = nullptr;
TBitmap* gHalftoneBitmap = nullptr;
TBrush* gHalftoneBrush = nullptr;
std::vector<TBrush*>* gSystemBrushes = nullptr;
HMODULE gMsimg = nullptr;
TAlphaBlendProc gAlphaBlend = nullptr;
int gUseCount = 0;

BYTE ChB(uint32_t c) {
  return c & 0xFF;
}
BYTE ChG(uint32_t c) {
  return (c >> 8) & 0xFF;
}
BYTE ChR(uint32_t c) {
  return (c >> 16) & 0xFF;
}
BYTE ChA(uint32_t c) {
  return (c >> 24) & 0xFF;
}
uint32_t Pack(int r, int g, int b, int a) {
  auto cl = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
  return cl(b) | (cl(g) << 8) | (cl(r) << 16) | (cl(a) << 24);
}

} // namespace

// ---------------------------------------------------------------------------
// TlfRegion

TlfRegion::TlfRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}
TlfRegion::TlfRegion(HRGN Handle) : FHandle(Handle) {}
TlfRegion::TlfRegion(const TRect& R) : FHandle(CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom)) {}
TlfRegion::TlfRegion(int Left, int Top, int Right, int Bottom)
    : FHandle(CreateRectRgn(Left, Top, Right, Bottom)) {}
TlfRegion::~TlfRegion() {
  if (FHandle) DeleteObject(FHandle);
}

bool TlfRegion::IsEmpty() const {
  RECT r;
  return GetRgnBox(FHandle, &r) == NULLREGION;
}

void TlfRegion::CombineWith(TlfRegion* Other, TlfRegionOperation Operation, bool FreeOther) {
  static const int kModes[4] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
  if (Operation == roSet)
    CombineRgn(FHandle, Other->FHandle, nullptr, RGN_COPY);
  else
    CombineRgn(FHandle, FHandle, Other->FHandle, kModes[Operation]);
  if (FreeOther) delete Other;
}

void TlfRegion::MoveBy(int dx, int dy) {
  OffsetRgn(FHandle, dx, dy);
}

// ---------------------------------------------------------------------------
// Text flags

UINT TranslateTextFlags(unsigned Flags) {
  UINT r = DT_NOPREFIX;
  if (Flags & 0x2) r |= DT_RIGHT;
  if (Flags & 0x4) r |= DT_CENTER;
  if (Flags & 0x10) r |= DT_BOTTOM;
  if (Flags & 0x20) r |= DT_VCENTER;
  if (Flags & 0x40) r |= DT_SINGLELINE;
  if (Flags & 0x80) r |= DT_NOCLIP;
  if (Flags & 0x100) r |= DT_EXPANDTABS;
  if (Flags & 0x200) r &= ~DT_NOPREFIX;
  if (Flags & 0x400) {
    r |= DT_WORDBREAK;
    if (!(Flags & 0x4000)) r |= DT_EDITCONTROL;
  }
  if (Flags & 0x800) r |= DT_END_ELLIPSIS;
  if (Flags & 0x1000) r |= DT_CALCRECT;
  if (Flags & 0x2000) r |= DT_PATH_ELLIPSIS;
  return r;
}

// ---------------------------------------------------------------------------
// TlfCanvas

TlfCanvas::TlfCanvas(TCanvas* Canvas) : FCanvas(Canvas) {}

TlfCanvas::~TlfCanvas() {
  for (auto* r : FSavedRegions)
    delete r;
}

POINT TlfCanvas::ViewportOrigin() const {
  POINT p{};
  GetViewportOrgEx(Handle(), &p);
  return p;
}
void TlfCanvas::SetViewportOrigin(const POINT& P) {
  SetViewportOrgEx(Handle(), P.x, P.y, nullptr);
}
POINT TlfCanvas::WindowOrigin() const {
  POINT p{};
  GetWindowOrgEx(Handle(), &p);
  return p;
}
void TlfCanvas::SetWindowOrigin(const POINT& P) {
  SetWindowOrgEx(Handle(), P.x, P.y, nullptr);
}
POINT TlfCanvas::DeviceOrigin() const {
  POINT v = ViewportOrigin(), w = WindowOrigin();
  return POINT{v.x - w.x, v.y - w.y};
}

void TlfCanvas::SetBrushColor(TColor Color) {
  if (Brush()->Color() != Color) Brush()->SetColor(Color);
}

void TlfCanvas::FillColor(const TRect& R, TColor Color) {
  if (Color == clNone) return;
  if (Color != clDefault) SetBrushColor(Color);
  FillPattern(R);
}

void TlfCanvas::FillPattern(const TRect& R, TBitmap* Bitmap, bool Exclude) {
  if (R.IsEmpty()) return;
  if (Bitmap && !Bitmap->Empty()) {
    int w = Bitmap->Width(), h = Bitmap->Height();
    HDC dc = Handle();
    HDC src = Bitmap->Canvas()->Handle();
    int c0 = FloorDiv(R.Left, w), c1 = FloorDiv(R.Right - 1, w);
    int r0 = FloorDiv(R.Top, h), r1 = FloorDiv(R.Bottom - 1, h);
    for (int j = r0; j <= r1; ++j)
      for (int i = c0; i <= c1; ++i) {
        int l = std::max<int>(R.Left, i * w), t = std::max<int>(R.Top, j * h);
        int r = std::min<int>(R.Right, i * w + w), b = std::min<int>(R.Bottom, j * h + h);
        if (r <= l || b <= t) continue;
        BitBlt(dc, l, t, r - l, b - t, src, l - i * w, t - j * h, SRCCOPY);
      }
  } else {
    FCanvas->FillRect(R);
  }
  if (Exclude) ApplyClipRegion(new TlfRegion(R), roSubtract, true, true);
}

void TlfCanvas::FrameSides(const TRect& R, TColor LeftTop, TColor RightBottom, TlfBorders Sides,
                           int Width) {
  if (Sides & bLeft) {
    SetBrushColor(LeftTop);
    FillPattern(TRect(R.Left, R.Top, R.Left + Width, R.Bottom));
  }
  if (Sides & bTop) {
    SetBrushColor(LeftTop);
    FillPattern(TRect(R.Left, R.Top, R.Right, R.Top + Width));
  }
  if (Sides & bRight) {
    SetBrushColor(RightBottom);
    FillPattern(TRect(R.Right - Width, R.Top, R.Right, R.Bottom));
  }
  if (Sides & bBottom) {
    SetBrushColor(RightBottom);
    FillPattern(TRect(R.Left, R.Bottom - Width, R.Right, R.Bottom));
  }
}

void TlfCanvas::DrawEdge3D(const TRect& R, bool Sunken, bool Outer, TlfBorders Sides) {
  if (Sunken) {
    if (Outer)
      FrameSides(R, clBtnShadow, clBtnHighlight, Sides);
    else
      FrameSides(R, cl3DDkShadow, cl3DLight, Sides);
  } else {
    if (Outer)
      FrameSides(R, cl3DLight, cl3DDkShadow, Sides);
    else
      FrameSides(R, clBtnHighlight, clBtnShadow, Sides);
  }
}

void TlfCanvas::FrameBands(const TRect& R, TColor Color, bool Exclude, TlfBorders Sides,
                           int Width) {
  if (R.IsEmpty()) return;
  if (Color != clDefault) SetBrushColor(Color);
  if (Sides & bLeft)
    FillPattern(TRect(R.Left, R.Top, std::min<int>(R.Left + Width, R.Right), R.Bottom), nullptr,
                Exclude);
  if (Sides & bRight)
    FillPattern(TRect(std::max<int>(R.Right - Width, R.Left), R.Top, R.Right, R.Bottom), nullptr,
                Exclude);
  if (Sides & bTop)
    FillPattern(TRect(R.Left, R.Top, R.Right, std::min<int>(R.Top + Width, R.Bottom)), nullptr,
                Exclude);
  if (Sides & bBottom)
    FillPattern(TRect(R.Left, std::max<int>(R.Bottom - Width, R.Top), R.Right, R.Bottom), nullptr,
                Exclude);
}

void TlfCanvas::FillWithBorders(const TRect& R, const TlfViewParams& Params, bool Exclude,
                                int BorderWidth, TColor BorderColor, TlfBorders Sides) {
  FrameBands(R, BorderColor, Exclude, Sides, BorderWidth);
  TRect inner = R;
  if (Sides & bLeft) inner.Left += BorderWidth;
  if (Sides & bTop) inner.Top += BorderWidth;
  if (Sides & bRight) inner.Right -= BorderWidth;
  if (Sides & bBottom) inner.Bottom -= BorderWidth;
  SetBrushColor(Params.Color);
  FillPattern(inner, Params.Bitmap, Exclude);
}

void TlfCanvas::InvertArea(const TRect& R) {
  DWORD old = FCanvas->CopyMode();
  FCanvas->SetCopyMode(DSTINVERT);
  FCanvas->CopyRect(R, FCanvas, R);
  FCanvas->SetCopyMode(SRCCOPY);
  (void)old;
}

void TlfCanvas::ValidateFont() {
  // Makes the handle and the font valid on the device context.
  FCanvas->TextExtent(L" ");
}

SIZE TlfCanvas::TextSize(const std::wstring& Text) {
  ValidateFont();
  SIZE s{};
  GetTextExtentPoint32W(Handle(), Text.c_str(), static_cast<int>(Text.size()), &s);
  return s;
}

void TlfCanvas::MeasureText(const std::wstring& Text, TRect& R, unsigned Flags) {
  if (R.Width() <= 0 && !Text.empty()) R.Right = R.Left + 1;
  int w0 = R.Width(), h0 = R.Height();
  ValidateFont();
  UINT f = (TranslateTextFlags(Flags) & ~DT_VCENTER) | DT_CALCRECT;
  RECT r = R;
  if (DrawTextW(Handle(), Text.c_str(), static_cast<int>(Text.size()), &r, f) == 0)
    r = RECT{R.Left, R.Top, R.Left, R.Top};
  R = r;
  UINT t = TranslateTextFlags(Flags);
  if (t & DT_CENTER)
    R.Offset((w0 - R.Width()) / 2, 0);
  else if (t & DT_RIGHT)
    R.Offset(w0 - R.Width(), 0);
  if (t & DT_VCENTER)
    R.Offset(0, (h0 - R.Height()) / 2);
  else if (t & DT_BOTTOM)
    R.Offset(0, h0 - R.Height());
}

void TlfCanvas::AlignTextVertically(TRect& R, const std::wstring& Text, bool NoCharBreak,
                                    bool Enabled, bool ShowPrefix, bool WordBreak, int Alignment) {
  if (Alignment == 0) return;
  unsigned flags = 0x9;
  if (WordBreak) flags |= 0x400;
  if (ShowPrefix) flags |= 0x200;
  if (NoCharBreak) flags |= 0x4000;
  TRect m(0, 0, R.Width() - (Enabled ? 0 : 1), 0);
  MeasureText(Text, m, flags);
  int th = m.Height();
  if (Alignment == 1)
    R.Top = R.Bottom - th - (Enabled ? 0 : 1);
  else
    R.Top = (R.Top + R.Bottom - th) / 2;
}

void TlfCanvas::DrawTextInRect(const std::wstring& Text, TRect R, unsigned Flags, bool Enabled) {
  if (Text.empty()) return;
  bool useDrawText = !(Flags & 0x40) || (Flags & (0x200 | 0x800 | 0x2000));
  SIZE ts = TextSize(Text);
  if (ts.cx <= R.Width() && ts.cy <= R.Height()) Flags |= 0x80;
  UINT dtFlags = 0, etoOptions = 0;
  if (useDrawText) {
    if (!(Flags & 0x40) && (Flags & 0x30))
      AlignTextVertically(R, Text, Flags & 0x4000, Enabled, Flags & 0x200, Flags & 0x400,
                          (Flags & 0x10) ? 1 : 2);
    dtFlags = TranslateTextFlags(Flags);
  } else {
    if (ts.cx < R.Width()) {
      if (Flags & 0x2)
        R.Left = R.Right - ts.cx - (Enabled ? 0 : 1);
      else if (Flags & 0x4)
        R.Left = (R.Left + R.Right - ts.cx) / 2;
    }
    if (ts.cy < R.Height()) {
      if (Flags & 0x10)
        R.Top = R.Bottom - ts.cy - (Enabled ? 0 : 1);
      else if (Flags & 0x20)
        R.Top = (R.Top + R.Bottom - ts.cy) / 2;
    }
    etoOptions = (Flags & 0x80) ? 0 : ETO_CLIPPED;
  }
  HDC dc = Handle();
  TBrushStyle oldStyle = Brush()->Style();
  TColor oldColor = Font()->Color();
  auto out = [&](const TRect& at, TColor colour) {
    Font()->SetColor(colour);
    ValidateFont();
    SetTextColor(dc, ColorToRGB(colour));
    SetBkMode(dc, Brush()->Style() == bsClear ? TRANSPARENT : OPAQUE);
    if (Brush()->Style() != bsClear) SetBkColor(dc, ColorToRGB(Brush()->Color()));
    RECT r = at;
    if (useDrawText)
      DrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), &r, dtFlags);
    else
      ExtTextOutW(dc, at.Left, at.Top, etoOptions, &r, Text.c_str(), static_cast<UINT>(Text.size()),
                  nullptr);
  };
  if (!Enabled) {
    Brush()->SetStyle(bsClear);
    TRect shifted = R;
    shifted.Offset(1, 1);
    out(shifted, clBtnHighlight);
    out(R, clBtnShadow);
  } else {
    out(R, oldColor);
  }
  if (Brush()->Style() != oldStyle) Brush()->SetStyle(oldStyle);
  Font()->SetColor(oldColor);
}

void TlfCanvas::PushState() {
  FSavedStates.push_back(SaveDC(Handle()));
}

void TlfCanvas::PopState() {
  if (FSavedStates.empty()) return;
  RestoreDC(Handle(), FSavedStates.back());
  FSavedStates.pop_back();
}

void TlfCanvas::ClipOut(const TRect& R) {
  ExcludeClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom);
}

TlfRegion* TlfCanvas::ClipRegion(bool Relative) {
  auto* r = new TlfRegion(0, 0, 0, 0);
  if (GetClipRgn(Handle(), r->Handle()) != 1) {
    delete r;
    r = new TlfRegion(0, 0, 30000, 30000);
  }
  if (Relative) {
    POINT o = DeviceOrigin();
    r->MoveBy(-o.x, -o.y);
  }
  return r;
}

void TlfCanvas::ApplyClipRegion(TlfRegion* Region, TlfRegionOperation Operation, bool Relative,
                                bool FreeRegion) {
  if (Operation != roSet) {
    TlfRegion* clip = ClipRegion(Relative);
    clip->CombineWith(Region, Operation, FreeRegion);
    ApplyClipRegion(clip, roSet, Relative, true);
    return;
  }
  POINT o = DeviceOrigin();
  if (Relative) Region->MoveBy(o.x, o.y);
  SelectClipRgn(Handle(), Region->Handle());
  if (FreeRegion)
    delete Region;
  else if (Relative)
    Region->MoveBy(-o.x, -o.y);
}

// ---------------------------------------------------------------------------
// Screen canvas

namespace {

class TDesktopCanvas : public TCanvas {
public:
  TDesktopCanvas() {
    FDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    SetHandle(FDC);
  }
  ~TDesktopCanvas() override {
    SetHandle(nullptr);
    if (FDC) ReleaseDC(GetDesktopWindow(), FDC);
  }

private:
  HDC FDC;
};

} // namespace

TlfScreenCanvas::TlfScreenCanvas() : TlfCanvas(nullptr) {
  FScreen = std::make_unique<TDesktopCanvas>();
  SetCanvas(FScreen.get());
}

TlfScreenCanvas::~TlfScreenCanvas() = default;

TlfScreenCanvas* GetScreenCanvas() {
  if (!gScreenCanvas) gScreenCanvas = new TlfScreenCanvas;
  return gScreenCanvas;
}

// ---------------------------------------------------------------------------
// Colour list

int TlfColorList::IndexOf(uint32_t c) const {
  auto it = std::find(FItems.begin(), FItems.end(), c);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// ---------------------------------------------------------------------------
// Compressed stream form

std::vector<uint8_t> lfCompressBytes(const std::vector<uint8_t>& d) {
  std::vector<uint8_t> out;
  size_t n = d.size(), i = 0;
  while (i < n) {
    if (n - i >= 2 && d[i + 1] == d[i]) {
      size_t count = 1;
      while (i + count < n && d[i + count] == d[i] && count < 125)
        ++count;
      out.push_back(static_cast<uint8_t>(count));
      out.push_back(d[i]);
      i += count;
    } else {
      size_t count = 1, j = i + 1;
      while (j < n && count < 125 && !(j + 1 < n && d[j] == d[j + 1]))
        ++count, ++j;
      out.push_back(static_cast<uint8_t>(0x80 | count));
      out.insert(out.end(), d.begin() + i, d.begin() + i + count);
      i += count;
    }
  }
  return out;
}

std::vector<uint8_t> lfDecompressBytes(const uint8_t* d, size_t n) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < n) {
    uint8_t c = d[i++];
    if (c & 0x80) {
      size_t k = c & 0x7F;
      if (k > n - i) throw EReadError(L"Compressed bitmap data is truncated");
      out.insert(out.end(), d + i, d + i + k);
      i += k;
    } else {
      if (i >= n) throw EReadError(L"Compressed bitmap data is truncated");
      out.insert(out.end(), c, d[i++]);
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// TlfCustomBitmap

TlfCustomBitmap::TlfCustomBitmap() {
  InitializeBitmap(0, 0, pf24bit);
}

TlfCustomBitmap::TlfCustomBitmap(int Width, int Height, TPixelFormat Format) {
  InitializeBitmap(Width, Height, Format);
}

TlfCustomBitmap::TlfCustomBitmap(const TRect& R, TPixelFormat Format) {
  InitializeBitmap(R.Width(), R.Height(), Format);
}

TlfCustomBitmap::~TlfCustomBitmap() = default;

void TlfCustomBitmap::InitializeBitmap(int Width, int Height, TPixelFormat Format) {
  FlfCanvas = std::make_unique<TlfCanvas>(Canvas());
  BeginChange();
  SetPixelFormat(Format);
  SetSize(Width, Height);
  EndChange(true);
}

TlfCanvas* TlfCustomBitmap::lfCanvas() {
  return FlfCanvas.get();
}

void TlfCustomBitmap::EndChange(bool Force) {
  if (FLockCount > 0) --FLockCount;
  if (FLockCount == 0 && (Force || FChangedWhileLocked)) {
    FChangedWhileLocked = false;
    TBitmap::Changed();
    SizeChanged();
  }
}

void TlfCustomBitmap::Changed() {
  if (FLockCount > 0) {
    FChangedWhileLocked = true;
    return;
  }
  TBitmap::Changed();
  SizeChanged();
  FChangedWhileLocked = false;
}

void TlfCustomBitmap::ClearBitmap() {
  if (Empty()) return;
  TCanvas* c = Canvas();
  c->Brush()->SetColor(clBlack);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(TRect(0, 0, Width(), Height()));
}

void TlfCustomBitmap::SetBitmapSize(int Width, int Height) {
  BeginChange();
  SetSize(Width, Height);
  EndChange(false);
}

void TlfCustomBitmap::SaveToStream(TStream* Stream) {
  if (!CompressData) {
    TBitmap::SaveToStream(Stream);
    return;
  }
  std::vector<uint8_t> packed = lfCompressBytes(SaveToBytes());
  uint8_t header[10];
  uint32_t len = static_cast<uint32_t>(packed.size());
  std::memcpy(header, &len, 4);
  std::memcpy(header + 4, "XDBM", 4);
  header[8] = 1;
  header[9] = 0;
  Stream->WriteBuffer(header, 10);
  if (!packed.empty()) Stream->WriteBuffer(packed.data(), static_cast<long>(packed.size()));
}

void TlfCustomBitmap::LoadFromStream(TStream* Stream) {
  int64_t start = Stream->Position();
  uint8_t header[10];
  long got = Stream->Read(header, 10);
  if (got < 10 || std::memcmp(header + 4, "XDBM", 4) != 0) {
    Stream->SetPosition(start);
    TBitmap::LoadFromStream(Stream);
    return;
  }
  uint32_t len;
  std::memcpy(&len, header, 4);
  // The stated length must lie inside the stream.
  if (static_cast<int64_t>(len) > Stream->Size() - Stream->Position())
    throw EReadError(L"Compressed bitmap data is truncated");
  std::vector<uint8_t> packed(len);
  if (len) Stream->ReadBuffer(packed.data(), static_cast<long>(len));
  std::vector<uint8_t> data = lfDecompressBytes(packed.data(), packed.size());
  LoadFromBytes(data);
}

// ---------------------------------------------------------------------------
// TlfBitmap

TlfBitmap::TlfBitmap() : TlfCustomBitmap(0, 0, pf32bit) {
  SizeChanged();
  ClearBitmap();
}

TlfBitmap::TlfBitmap(int Width, int Height) : TlfCustomBitmap(Width, Height, pf32bit) {
  SizeChanged();
  ClearBitmap();
}

TlfBitmap::~TlfBitmap() = default;

void TlfBitmap::SizeChanged() {
  FInfo.biSize = sizeof(FInfo);
  FInfo.biWidth = Width();
  FInfo.biHeight = Height();
  FInfo.biPlanes = 1;
  FInfo.biBitCount = 32;
  FInfo.biCompression = BI_RGB;
}

void TlfBitmap::ClearBitmap() {
  if (ChA(FillColor) != 0)
    ApplyFilter(bfFill);
  else
    TlfCustomBitmap::ClearBitmap();
}

void TlfBitmap::SetBitmapSize(int Width, int Height) {
  TlfCustomBitmap::SetBitmapSize(Width, Height);
  ClearBitmap();
}

void TlfBitmap::FilterPixel(TlfBitmapFilter Kind, uint32_t& P, int X, int Y) {
  bool transparent = IsTransparent(P);
  int b = ChB(P), g = ChG(P), r = ChR(P), a = ChA(P);
  switch (Kind) {
  case bfLighten:
    if (transparent) return;
    if (a == 255) {
      auto up = [](int c) { return c + MulDiv(255 - c, 3, 10); };
      P = Pack(up(r), up(g), up(b), a);
    } else {
      auto dn = [](int c) { return MulDiv(c, 200, 255); };
      P = Pack(dn(r), dn(g), dn(b), dn(a));
    }
    break;
  case bfDisabled: {
    if (transparent) return;
    int grey = static_cast<int>(std::lround(0.299 * r + 0.587 * g + 0.114 * b));
    P = BlendPixel(ColorToARGB(clBtnShadow, 0xC0), Pack(grey, grey, grey, a), 238);
    break;
  }
  case bfGreyAverage: {
    if (transparent) return;
    int grey = (r + g + b) / 3;
    P = Pack(grey, grey, grey, a);
    break;
  }
  case bfOpaque:
    P = (P & 0x00FFFFFF) | 0xFF000000;
    break;
  case bfMask:
    P = transparent ? 0xFFFFFFFF : 0x00000000;
    break;
  case bfGrey: {
    if (transparent) return;
    int grey = static_cast<int>(0.299 * r + 0.587 * g + 0.114 * b);
    P = Pack(grey, grey, grey, a);
    break;
  }
  case bfGreyGreen: {
    if (transparent) return;
    int grey = static_cast<int>(0.0729 * r + 0.7146 * g + 0.2125 * b);
    P = Pack(grey, grey, grey, a);
    break;
  }
  case bfAlphaZeroOpaque:
    if (transparent) return;
    if (a == 0) P |= 0xFF000000;
    break;
  case bfHatch: {
    int step = HatchStep > 0 ? HatchStep : 1;
    if ((X / step + Y / step) % 2)
      P = BlendPixel(HatchColor2, P, HatchAlpha2);
    else
      P = BlendPixel(HatchColor1, P, HatchAlpha1);
    break;
  }
  case bfFill:
    P = FillColor;
    break;
  case bfTransparent:
    P &= 0x00FFFFFF;
    break;
  }
}

void TlfBitmap::ApplyFilter(TlfBitmapFilter Kind) {
  if (Empty()) return;
  std::vector<uint32_t> px;
  if (!ReadBitmapBits(this, false, px)) return;
  int w = Width(), h = Height();
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      CurrentPixel = POINT{x, y};
      FilterPixel(Kind, px[static_cast<size_t>(y) * w + x], x, y);
    }
  WriteBitmapBits(this, px, false);
  Changed();
}

// ---------------------------------------------------------------------------
// Free routines

POINT lfPoint(int X, int Y) {
  return POINT{X, Y};
}

TColor ScreenColor(TColor c) {
  HDC dc = GetDC(nullptr);
  TColor r = GetNearestColor(dc, ColorToRGB(c));
  ReleaseDC(nullptr, dc);
  return r;
}

TColor LightTint(int a, int b, int c) {
  TColor face = ColorToRGB(clBtnFace), hi = ColorToRGB(clHighlight), win = ColorToRGB(clWindow);
  if (face == 0 || face == 0xFFFFFF) return hi;
  auto ch = [&](int shift) {
    int v = MulDiv((face >> shift) & 0xFF, a, 100) + MulDiv((hi >> shift) & 0xFF, b, 100) +
            MulDiv((win >> shift) & 0xFF, c, 100);
    return static_cast<TColor>(std::clamp(v, 0, 255)) << shift;
  };
  return ch(0) | ch(8) | ch(16);
}

TColor LightBorderColor() {
  return ScreenColor(LightTint(14, 44, 40));
}

TColor LightSelectionColor() {
  return ScreenColor(LightTint(-2, 30, 72));
}

uint32_t ColorToARGB(TColor Color, BYTE Alpha) {
  TColor c = ColorToRGB(Color);
  return (static_cast<uint32_t>(Alpha) << 24) | ((c & 0xFF) << 16) | (c & 0xFF00) |
         ((c >> 16) & 0xFF);
}

uint32_t BlendPixel(uint32_t ARGB, uint32_t Pixel, BYTE Alpha) {
  double a = Alpha / 255.0;
  double s = a * ChA(ARGB);
  double k = 1 - s / 255.0;
  auto ch = [&](int src, int dst) { return static_cast<int>(std::lround(a * src + k * dst)); };
  return Pack(ch(ChR(ARGB), ChR(Pixel)), ch(ChG(ARGB), ChG(Pixel)), ch(ChB(ARGB), ChB(Pixel)),
              static_cast<int>(std::lround(s + k * ChA(Pixel))));
}

int DrawTextFor(HDC DC, const std::wstring& Text, RECT& R, UINT Flags) {
  return DrawTextW(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
}

BOOL ExtTextOutFor(HDC DC, const std::wstring& Text, POINT P, int Count, UINT Options,
                   const RECT* R) {
  UINT n = Count < 0 ? static_cast<UINT>(Text.size()) : static_cast<UINT>(Count);
  return ExtTextOutW(DC, P.x, P.y, Options, R, Text.c_str(), n, nullptr);
}

void TextSizeFor(HDC DC, const std::wstring& Text, SIZE& Size, int Count) {
  int n = Count < 0 ? static_cast<int>(Text.size()) : Count;
  GetTextExtentPoint32W(DC, Text.c_str(), n, &Size);
}

bool BitmapInfoOf(HBITMAP Handle, BITMAP& Info) {
  return GetObjectW(Handle, sizeof(Info), &Info) != 0;
}

bool ReadBitmapBits(TBitmap* Bitmap, bool TopDown, std::vector<uint32_t>& Pixels) {
  int w = Bitmap->Width(), h = Bitmap->Height();
  Pixels.assign(static_cast<size_t>(w) * h, 0);
  if (w == 0 || h == 0) return true;
  GdiFlush();
  if (Bitmap->PixelFormat() == pf32bit) {
    for (int y = 0; y < h; ++y) {
      int row = TopDown ? y : h - 1 - y;
      std::memcpy(&Pixels[static_cast<size_t>(row) * w], Bitmap->ScanLine(y), w * 4);
    }
    return true;
  }
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, TopDown ? -h : h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = GetDC(nullptr);
  int n = GetDIBits(dc, Bitmap->Handle(), 0, h, Pixels.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return n == h;
}

void WriteBitmapBits(TBitmap* Bitmap, std::vector<uint32_t>& Pixels, bool TopDown) {
  int w = Bitmap->Width(), h = Bitmap->Height();
  if (w == 0 || h == 0 || Pixels.size() < static_cast<size_t>(w) * h) {
    Pixels.clear();
    return;
  }
  GdiFlush();
  if (Bitmap->PixelFormat() == pf32bit) {
    for (int y = 0; y < h; ++y) {
      int row = TopDown ? y : h - 1 - y;
      std::memcpy(Bitmap->ScanLine(y), &Pixels[static_cast<size_t>(row) * w], w * 4);
    }
  } else {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, TopDown ? -h : h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    SetDIBits(dc, Bitmap->Handle(), 0, h, Pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
  }
  Pixels.clear();
}

void RotateBitmap(TBitmap* Bitmap, int Mode, bool Flip) {
  if (Mode == 0 && !Flip) return;
  std::vector<uint32_t> src;
  if (!ReadBitmapBits(Bitmap, true, src)) return;
  int W = Bitmap->Width(), H = Bitmap->Height();
  int nw = (Mode == 1 || Mode == 2) ? H : W, nh = (Mode == 1 || Mode == 2) ? W : H;
  std::vector<uint32_t> dst(src.size());
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      int dx, dy;
      switch (Mode) {
      case 1:
        dx = y, dy = W - 1 - x;
        break;
      case 2:
        dx = H - 1 - y, dy = x;
        break;
      case 3:
        dx = W - 1 - x, dy = H - 1 - y;
        break;
      default:
        dx = x, dy = H - 1 - y;
        break;
      }
      if (Flip && Mode != 0) dy = nh - 1 - dy;
      dst[static_cast<size_t>(dy) * nw + dx] = src[static_cast<size_t>(y) * W + x];
    }
  if (nw != W || nh != H) Bitmap->SetSize(nw, nh);
  WriteBitmapBits(Bitmap, dst, true);
}

namespace {

void PaintWindowInto(HWND Wnd, HDC DC, bool DrawFrame) {
  TRect r;
  GetWindowRect(Wnd, r.R());
  r = TRect(0, 0, r.Width(), r.Height());
  if (DrawFrame) {
    LONG ex = GetWindowLongW(Wnd, GWL_EXSTYLE), st = GetWindowLongW(Wnd, GWL_STYLE);
    if (ex & WS_EX_CLIENTEDGE)
      DrawEdge(DC, r.R(), EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (st & WS_BORDER)
      DrawEdge(DC, r.R(), BDR_OUTER, BF_RECT | BF_ADJUST | BF_MONO);
    IntersectClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
    POINT o;
    GetWindowOrgEx(DC, &o);
    SetWindowOrgEx(DC, o.x - r.Left, o.y - r.Top, nullptr);
  }
  SendMessageW(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
  SendMessageW(Wnd, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
}

} // namespace

void PaintParentIntoCanvas(TControl* Control, TCanvas* Canvas, const TRect& Rc, bool WithSiblings) {
  TWinControl* parent = Control ? Control->Parent() : nullptr;
  if (!parent || !parent->HandleAllocated()) return;
  TRect R = Rc;
  R.Offset(Control->Left(), Control->Top());
  HDC dc = Canvas->Handle();
  int saved = SaveDC(dc);
  POINT o;
  GetWindowOrgEx(dc, &o);
  SetWindowOrgEx(dc, o.x + R.Left, o.y + R.Top, nullptr);
  if (RectVisible(dc, R.R())) {
    TControlState st = parent->ControlState();
    parent->SetControlState(st | csPaintCopy);
    Canvas->Lock();
    PaintWindowInto(parent->Handle(), dc, false);
    if (WithSiblings) {
      for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == Control) break;
        auto* wc = dynamic_cast<TWinControl*>(c);
        if (!wc || !wc->Visible() || !wc->HandleAllocated()) continue;
        int s2 = SaveDC(dc);
        POINT o2;
        GetWindowOrgEx(dc, &o2);
        SetWindowOrgEx(dc, o2.x - wc->Left(), o2.y - wc->Top(), nullptr);
        PaintWindowInto(wc->Handle(), dc, true);
        RestoreDC(dc, s2);
      }
    }
    Canvas->Unlock();
    parent->SetControlState(st);
  }
  RestoreDC(dc, saved);
}

// ---------------------------------------------------------------------------
// Shared brushes, named colours, AlphaBlend

TBrush* lfHalftoneBrush() {
  return gHalftoneBrush;
}

TBrush* lfSystemBrush(int Index) {
  return gSystemBrushes && Index >= 0 && Index < static_cast<int>(gSystemBrushes->size())
             ? (*gSystemBrushes)[Index]
             : nullptr;
}

const std::vector<TlfColorInfo>& lfColorTable() {
  static const std::vector<TlfColorInfo> table = {
      {L"aliceblue", 0xFFF8F0},
      {L"antiquewhite", 0xD7EBFA},
      {L"aqua", 0xFFFF00},
      {L"aquamarine", 0xD4FF7F},
      {L"azure", 0xFFFFF0},
      {L"beige", 0xDCF5F5},
      {L"bisque", 0xC4E4FF},
      {L"black", 0x000000},
      {L"blanchedalmond", 0xCDEBFF},
      {L"blue", 0xFF0000},
      {L"blueviolet", 0xE22B8A},
      {L"brown", 0x2A2AA5},
      {L"burlywood", 0x87B8DE},
      {L"cadetblue", 0xA09E5F},
      {L"chartreuse", 0x00FF7F},
      {L"chocolate", 0x1E69D2},
      {L"coral", 0x507FFF},
      {L"cornflowerblue", 0xED9564},
      {L"cornsilk", 0xDCF8FF},
      {L"crimson", 0x3C14DC},
      {L"cyan", 0xFFFF00},
      {L"darkblue", 0x8B0000},
      {L"darkcyan", 0x8B8B00},
      {L"darkgoldenrod", 0x0B86B8},
      {L"darkgray", 0xA9A9A9},
      {L"darkgreen", 0x006400},
      {L"darkkhaki", 0x6BB7BD},
      {L"darkmagenta", 0x8B008B},
      {L"darkolivegreen", 0x2F6B55},
      {L"darkorange", 0x008CFF},
      {L"darkorchid", 0xCC3299},
      {L"darkred", 0x00008B},
      {L"darksalmon", 0x7A96E9},
      {L"darkseagreen", 0x8FBC8F},
      {L"darkslateblue", 0x8B3D48},
      {L"darkslategray", 0x4F4F2F},
      {L"darkturquoise", 0xD1CE00},
      {L"darkviolet", 0xD30094},
      {L"deeppink", 0x9314FF},
      {L"deepskyblue", 0xFFBF00},
      {L"dimgray", 0x696969},
      {L"dodgerblue", 0xFF901E},
      {L"firebrick", 0x2222B2},
      {L"floralwhite", 0xF0FAFF},
      {L"forestgreen", 0x228B22},
      {L"fuchsia", 0xFF00FF},
      {L"gainsboro", 0xDCDCDC},
      {L"ghostwhite", 0xFFF8F8},
      {L"gold", 0x00D7FF},
      {L"goldenrod", 0x20A5DA},
      {L"gray", 0x808080},
      {L"green", 0x008000},
      {L"greenyellow", 0x2FFFAD},
      {L"honeydew", 0xF0FFF0},
      {L"hotpink", 0xB469FF},
      {L"indianred", 0x5C5CCD},
      {L"indigo", 0x82004B},
      {L"ivory", 0xF0FFFF},
      {L"khaki", 0x8CE6F0},
      {L"lavender", 0xFAE6E6},
      {L"lavenderblush", 0xF5F0FF},
      {L"lawngreen", 0x00FC7C},
      {L"lemonchiffon", 0xCDFAFF},
      {L"lightblue", 0xE6D8AD},
      {L"lightcoral", 0x8080F0},
      {L"lightcyan", 0xFFFFE0},
      {L"lightgoldenrodyellow", 0xD2FAFA},
      {L"lightgreen", 0x90EE90},
      {L"lightgrey", 0xD3D3D3},
      {L"lightpink", 0xC1B6FF},
      {L"lightsalmon", 0x7AA0FF},
      {L"lightseagreen", 0xAAB220},
      {L"lightskyblue", 0xFACE87},
      {L"lightslategray", 0x998877},
      {L"lightsteelblue", 0xDEC4B0},
      {L"lightyellow", 0xE0FFFF},
      {L"lime", 0x00FF00},
      {L"limegreen", 0x32CD32},
      {L"linen", 0xE6F0FA},
      {L"magenta", 0xFF00FF},
      {L"maroon", 0x000080},
      {L"mediumaquamarine", 0xAACD66},
      {L"mediumblue", 0xCD0000},
      {L"mediumorchid", 0xD355BA},
      {L"mediumpurple", 0xDB7093},
      {L"mediumseagreen", 0x71B33C},
      {L"mediumslateblue", 0xEE687B},
      {L"mediumspringgreen", 0x9AFA00},
      {L"mediumturquoise", 0xCCD148},
      {L"mediumvioletred", 0x8515C7},
      {L"midnightblue", 0x701919},
      {L"mintcream", 0xFAFFF5},
      {L"mistyrose", 0xE1E4FF},
      {L"moccasin", 0xB5E4FF},
      {L"navajowhite", 0xADDEFF},
      {L"navy", 0x800000},
      {L"oldlace", 0xE6F5FD},
      {L"olive", 0x008080},
      {L"olivedrab", 0x238E6B},
      {L"orange", 0x00A5FF},
      {L"orangered", 0x0045FF},
      {L"orchid", 0xD670DA},
      {L"palegoldenrod", 0xAAE8EE},
      {L"palegreen", 0x98FB98},
      {L"paleturquoise", 0xEEEEAF},
      {L"palevioletred", 0x9370DB},
      {L"papayawhip", 0xD5EFFF},
      {L"peachpuff", 0xB9DAFF},
      {L"peru", 0x3F85CD},
      {L"pink", 0xCBC0FF},
      {L"plum", 0xDDA0DD},
      {L"powderblue", 0xE6E0B0},
      {L"purple", 0x800080},
      {L"red", 0x0000FF},
      {L"rosybrown", 0x8F8FBC},
      {L"royalblue", 0xE16941},
      {L"saddlebrown", 0x13458B},
      {L"salmon", 0x7280FA},
      {L"sandybrown", 0x60A4F4},
      {L"seagreen", 0x578B2E},
      {L"seashell", 0xEEF5FF},
      {L"sienna", 0x2D52A0},
      {L"silver", 0xC0C0C0},
      {L"skyblue", 0xEBCE87},
      {L"slateblue", 0xCD5A6A},
      {L"slategray", 0x908070},
      {L"snow", 0xFAFAFF},
      {L"springgreen", 0x7FFF00},
      {L"steelblue", 0xB48246},
      {L"tan", 0x8CB4D2},
      {L"teal", 0x808000},
      {L"thistle", 0xD8BFD8},
      {L"tomato", 0x4763FF},
      {L"turquoise", 0xD0E040},
      {L"violet", 0xEE82EE},
      {L"wheat", 0xB3DEF5},
      {L"white", 0xFFFFFF},
      {L"whitesmoke", 0xF5F5F5},
      {L"yellow", 0x00FFFF},
      {L"yellowgreen", 0x32CD9A},
      {L"activeborder", clSystemColor | COLOR_ACTIVEBORDER},
      {L"activecaption", clSystemColor | COLOR_ACTIVECAPTION},
      {L"appworkspace", clSystemColor | COLOR_APPWORKSPACE},
      {L"background", clSystemColor | COLOR_BACKGROUND},
      {L"buttonface", clSystemColor | COLOR_BTNFACE},
      {L"buttonhighlight", clSystemColor | COLOR_BTNHIGHLIGHT},
      {L"buttonshadow", clSystemColor | COLOR_BTNSHADOW},
      {L"buttontext", clSystemColor | COLOR_BTNTEXT},
      {L"captiontext", clSystemColor | COLOR_CAPTIONTEXT},
      {L"graytext", clSystemColor | COLOR_GRAYTEXT},
      {L"highlight", clSystemColor | COLOR_HIGHLIGHT},
      {L"highlighttext", clSystemColor | COLOR_HIGHLIGHTTEXT},
      {L"inactiveborder", clSystemColor | COLOR_INACTIVEBORDER},
      {L"inactivecaption", clSystemColor | COLOR_INACTIVECAPTION},
      {L"inactivecaptiontext", clSystemColor | COLOR_INACTIVECAPTIONTEXT},
      {L"infobackground", clSystemColor | COLOR_INFOBK},
      {L"infotext", clSystemColor | COLOR_INFOTEXT},
      {L"menu", clSystemColor | COLOR_MENU},
      {L"menutext", clSystemColor | COLOR_MENUTEXT},
      {L"scrollbar", clSystemColor | COLOR_SCROLLBAR},
      {L"threeddarkshadow", clSystemColor | COLOR_3DDKSHADOW},
      {L"threedface", clSystemColor | COLOR_BTNFACE},
      {L"threedhighlight", clSystemColor | COLOR_BTNHIGHLIGHT},
      {L"threedlightshadow", clSystemColor | COLOR_3DLIGHT},
      {L"threedshadow", clSystemColor | COLOR_BTNSHADOW},
      {L"window", clSystemColor | COLOR_WINDOW},
      {L"windowframe", clSystemColor | COLOR_WINDOWFRAME},
      {L"windowtext", clSystemColor | COLOR_WINDOWTEXT},
  };
  return table;
}

bool lfColorByName(const std::wstring& Name, TColor& Color) {
  for (auto& c : lfColorTable())
    if (_wcsicmp(c.Name, Name.c_str()) == 0) {
      Color = c.Color;
      return true;
    }
  return false;
}

TAlphaBlendProc lfAlphaBlend() {
  return gAlphaBlend;
}

void lfGraphicsInitialize() {
  if (gUseCount++ > 0) return;
  gHalftoneBitmap = new TBitmap;
  gHalftoneBitmap->SetPixelFormat(pf1bit);
  gHalftoneBitmap->SetSize(8, 8);
  for (int y = 0; y < 8; ++y) {
    auto* row = static_cast<BYTE*>(gHalftoneBitmap->ScanLine(y));
    row[0] = (y % 2) ? 0x55 : 0xAA;
  }
  gHalftoneBrush = new TBrush;
  gHalftoneBrush->SetBitmap(gHalftoneBitmap);
  gSystemBrushes = new std::vector<TBrush*>;
  for (int i = 0; i <= 30; ++i) {
    auto* b = new TBrush;
    b->SetColor(clSystemColor | i);
    gSystemBrushes->push_back(b);
  }
  gMsimg = LoadLibraryW(L"msimg32.dll");
  if (gMsimg)
    gAlphaBlend = reinterpret_cast<TAlphaBlendProc>(
        reinterpret_cast<void*>(GetProcAddress(gMsimg, "AlphaBlend")));
}

void lfGraphicsFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  gAlphaBlend = nullptr;
  if (gMsimg) FreeLibrary(gMsimg);
  gMsimg = nullptr;
  for (auto* b : *gSystemBrushes)
    delete b;
  delete gSystemBrushes;
  gSystemBrushes = nullptr;
  delete gHalftoneBrush;
  gHalftoneBrush = nullptr;
  delete gHalftoneBitmap;
  gHalftoneBitmap = nullptr;
  delete gScreenCanvas;
  gScreenCanvas = nullptr;
}
