#include "framework/Graphics.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "framework/Streams.h"

COLORREF ColorToRGB(TColor Color) {
  if ((Color & 0xFF000000) == clSystemColor) return GetSysColor(static_cast<int>(Color & 0xFF));
  return Color & 0x00FFFFFF;
}

// ---------------------------------------------------------------------------
// Tools

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

TFont::TFont() {
  HDC dc = GetDC(nullptr);
  FPixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  if (FPixelsPerInch <= 0) FPixelsPerInch = 96;
  FHeight = -MulDiv(8, FPixelsPerInch, 72);
}

TFont::~TFont() {
  FreeHandle();
}

void TFont::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TFont::Changed() {
  // Listeners release the old object from their contexts before it goes.
  TGraphicsObject::Changed();
  FreeHandle();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    if (FName == f->FName && FHeight == f->FHeight && FStyle == f->FStyle && FColor == f->FColor &&
        FCharset == f->FCharset && FPitch == f->FPitch && FOrientation == f->FOrientation)
      return;
    FName = f->FName;
    FHeight = f->FHeight;
    FStyle = f->FStyle;
    FColor = f->FColor;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FOrientation = f->FOrientation;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TFont::SetName(const std::wstring& Value) {
  if (Value.empty() || Value == FName) return;
  FName = Value;
  Changed();
}
void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}
int TFont::Size() const {
  return -MulDiv(FHeight, 72, FPixelsPerInch);
}
void TFont::SetSize(int Value) {
  SetHeight(-MulDiv(Value, FPixelsPerInch, 72));
}
void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}
void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  TGraphicsObject::Changed(); // the font object itself stays
}
void TFont::SetCharset(BYTE Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  Changed();
}
void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Changed();
}
void TFont::SetOrientation(int Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  Changed();
}

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfEscapement = FOrientation;
    lf.lfOrientation = FOrientation;
    lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
    lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = FCharset;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                          : FPitch == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    wcsncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
    FHandle = CreateFontIndirectW(&lf);
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  LOGFONTW lf{};
  if (!Value || !GetObjectW(Value, sizeof(lf), &lf)) return;
  FName = lf.lfFaceName;
  FHeight = lf.lfHeight;
  FOrientation = lf.lfEscapement;
  FStyle = (lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
           (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0);
  FCharset = lf.lfCharSet;
  Changed();
}

TPen::~TPen() {
  if (FHandle) DeleteObject(FHandle);
}
void TPen::Changed() {
  TGraphicsObject::Changed();
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}
void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}
void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}
void TPen::SetWidth(int Value) {
  if (Value < 0 || Value == FWidth) return;
  FWidth = Value;
  Changed();
}
void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}
void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  TGraphicsObject::Changed();
}
HPEN TPen::Handle() {
  if (!FHandle) {
    static const int styles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                 PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor));
  }
  return FHandle;
}

TBrush::~TBrush() {
  if (FHandle) DeleteObject(FHandle);
}
void TBrush::Changed() {
  TGraphicsObject::Changed();
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}
void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}
void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}
void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}
void TBrush::SetBitmap(TBitmap* Value) {
  if (Value == FBitmap) return;
  FBitmap = Value;
  Changed();
}
HBRUSH TBrush::Handle() {
  if (!FHandle) {
    if (FBitmap && !FBitmap->Empty()) {
      FHandle = CreatePatternBrush(FBitmap->Handle());
    } else if (FStyle == bsClear) {
      LOGBRUSH lb{BS_NULL, 0, 0};
      FHandle = CreateBrushIndirect(&lb);
    } else if (FStyle == bsSolid) {
      FHandle = CreateSolidBrush(ColorToRGB(FColor));
    } else {
      static const int hatches[] = {
          0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
      FHandle = CreateHatchBrush(hatches[FStyle], ColorToRGB(FColor));
    }
  }
  return FHandle;
}

// ---------------------------------------------------------------------------
// Canvas

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {
  InitializeCriticalSection(&FLock);
  FFont->OnChange = [this](TObject*) {
    if (FHandle && FOldFont) SelectObject(FHandle, FOldFont), FOldFont = nullptr;
    FFontOk = false;
  };
  FPen->OnChange = [this](TObject*) {
    if (FHandle && FOldPen) SelectObject(FHandle, FOldPen), FOldPen = nullptr;
    FPenOk = false;
  };
  FBrush->OnChange = [this](TObject*) {
    if (FHandle && FOldBrush) SelectObject(FHandle, FOldBrush), FOldBrush = nullptr;
    FBrushOk = false;
  };
}

TCanvas::~TCanvas() {
  DeselectHandles();
  DeleteCriticalSection(&FLock);
}

void TCanvas::DeselectHandles() {
  if (FHandle) {
    if (FOldPen) SelectObject(FHandle, FOldPen);
    if (FOldBrush) SelectObject(FHandle, FOldBrush);
    if (FOldFont) SelectObject(FHandle, FOldFont);
  }
  FOldPen = FOldBrush = FOldFont = nullptr;
  FPenOk = FBrushOk = FFontOk = false;
}

HDC TCanvas::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  DeselectHandles();
  FHandle = Value;
}

void TCanvas::RequireState(bool pen, bool brush, bool font) {
  if (!FHandle) CreateHandle();
  if (!FHandle) throw EInvalidOperation(L"Canvas does not allow drawing");
  if (pen && !FPenOk) {
    HGDIOBJ old = SelectObject(FHandle, FPen->Handle());
    if (!FOldPen) FOldPen = old;
    static const int kRop2[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                                R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                                R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
    SetROP2(FHandle, kRop2[static_cast<int>(FPen->Mode())]);
    FPenOk = true;
  }
  if (brush && !FBrushOk) {
    HGDIOBJ old = SelectObject(FHandle, FBrush->Handle());
    if (!FOldBrush) FOldBrush = old;
    SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
    SetBkMode(FHandle, FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT);
    FBrushOk = true;
  }
  if (font && !FFontOk) {
    HGDIOBJ old = SelectObject(FHandle, FFont->Handle());
    if (!FOldFont) FOldFont = old;
    SetTextColor(FHandle, ColorToRGB(FFont->Color()));
    FFontOk = true;
  }
  if (font) SetTextColor(FHandle, ColorToRGB(FFont->Color()));
  if (brush) {
    SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
    SetBkMode(FHandle, FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT);
  }
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
  RequireState(false, false, false);
  POINT p{};
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TRect TCanvas::ClipRect() {
  RequireState(false, false, false);
  RECT r{};
  GetClipBox(FHandle, &r);
  return r;
}

void TCanvas::MoveTo(int X, int Y) {
  RequireState(false, false, false);
  MoveToEx(FHandle, X, Y, nullptr);
}
void TCanvas::LineTo(int X, int Y) {
  RequireState(true, true, false);
  ::LineTo(FHandle, X, Y);
  Changed();
}
void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  RequireState(true, true, false);
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}
void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  RequireState(true, true, false);
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}
void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  RequireState(true, true, false);
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}
void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  RequireState(true, true, false);
  std::vector<POINT> p(Points.begin(), Points.end());
  ::Polygon(FHandle, p.data(), static_cast<int>(p.size()));
  Changed();
}
void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  RequireState(true, true, false);
  std::vector<POINT> p(Points.begin(), Points.end());
  ::Polyline(FHandle, p.data(), static_cast<int>(p.size()));
  Changed();
}
void TCanvas::FillRect(const TRect& R) {
  RequireState(false, true, false);
  ::FillRect(FHandle, R.R(), FBrush->Handle());
  Changed();
}
void TCanvas::FrameRect(const TRect& R) {
  RequireState(false, true, false);
  ::FrameRect(FHandle, R.R(), FBrush->Handle());
  Changed();
}
void TCanvas::DrawFocusRect(const TRect& R) {
  RequireState(false, true, false);
  ::DrawFocusRect(FHandle, R.R());
  Changed();
}
void TCanvas::TextOut(int X, int Y, const std::wstring& Text) {
  RequireState(false, true, true);
  ExtTextOutW(FHandle, X, Y, 0, nullptr, Text.c_str(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}
void TCanvas::TextRect(const TRect& R, int X, int Y, const std::wstring& Text) {
  RequireState(false, true, true);
  UINT opts = ETO_CLIPPED | (FBrush->Style() != bsClear ? ETO_OPAQUE : 0);
  ExtTextOutW(FHandle, X, Y, opts, R.R(), Text.c_str(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}
TSize TCanvas::TextExtent(const std::wstring& Text) {
  RequireState(false, false, true);
  SIZE s{};
  GetTextExtentPoint32W(FHandle, Text.c_str(), static_cast<int>(Text.size()), &s);
  return s;
}
void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}
void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  RequireState(false, false, false);
  Graphic->Draw(this, R);
  Changed();
}
void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  RequireState(false, true, false);
  HDC src = Canvas->Handle();
  if (Dest.Width() == Source.Width() && Dest.Height() == Source.Height()) {
    BitBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), src, Source.Left, Source.Top,
           FCopyMode);
  } else {
    SetStretchBltMode(FHandle, COLORONCOLOR);
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), src, Source.Left,
               Source.Top, Source.Width(), Source.Height(), FCopyMode);
  }
  Changed();
}
TColor TCanvas::Pixels(int X, int Y) {
  RequireState(false, false, false);
  COLORREF c = GetPixel(FHandle, X, Y);
  return c == CLR_INVALID ? clNone : c;
}
void TCanvas::SetPixels(int X, int Y, TColor Value) {
  RequireState(false, false, false);
  SetPixel(FHandle, X, Y, ColorToRGB(Value));
  Changed();
}
void TCanvas::Lock() {
  EnterCriticalSection(&FLock);
}
void TCanvas::Unlock() {
  LeaveCriticalSection(&FLock);
}
void TCanvas::Refresh() {
  DeselectHandles();
}

// ---------------------------------------------------------------------------
// TGraphic

namespace {
std::vector<std::uint8_t> ReadWholeFile(const std::wstring& FileName) {
  // Devices and pipes can block the reader for ever.
  if (!IsOrdinaryFile(FileName))
    throw EFOpenError(Format(L"Cannot open file \"%s\". It is not a file on a disk.", {FileName}));
  HANDLE f = CreateFileW(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE)
    throw EFOpenError(
        Format(L"Cannot open file \"%s\". %s", {FileName, SysErrorMessage(GetLastError())}));
  LARGE_INTEGER size{};
  GetFileSizeEx(f, &size);
  if (size.QuadPart > 0x40000000) {
    CloseHandle(f);
    throw EReadError(L"Stream read error");
  }
  std::vector<std::uint8_t> data(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  BOOL ok =
      data.empty() || ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
  CloseHandle(f);
  if (!ok || got != data.size()) throw EReadError(L"Stream read error");
  return data;
}

void WriteWholeFile(const std::wstring& FileName, const std::vector<std::uint8_t>& data) {
  HANDLE f = CreateFileW(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE)
    throw EFCreateError(
        Format(L"Cannot create file \"%s\". %s", {FileName, SysErrorMessage(GetLastError())}));
  DWORD put = 0;
  BOOL ok =
      data.empty() || WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
  CloseHandle(f);
  if (!ok || put != data.size()) throw EWriteError(L"Stream write error");
}
} // namespace

void TGraphic::LoadFromFile(const std::wstring& FileName) {
  LoadFromBytes(ReadWholeFile(FileName));
}

void TGraphic::SaveToFile(const std::wstring& FileName) {
  WriteWholeFile(FileName, SaveToBytes());
}

void TGraphic::LoadFromStream(TStream* Stream) {
  long long avail = Stream->Size() - Stream->Position();
  if (avail < 0) avail = 0;
  std::vector<std::uint8_t> data(static_cast<size_t>(avail));
  if (!data.empty()) Stream->ReadBuffer(data.data(), static_cast<int>(data.size()));
  LoadFromBytes(data);
}
void TGraphic::SaveToStream(TStream* Stream) {
  std::vector<std::uint8_t> data = SaveToBytes();
  if (!data.empty()) Stream->WriteBuffer(data.data(), static_cast<int>(data.size()));
}

void TGraphic::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
  throw EInvalidGraphic(L"Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) {
  throw EInvalidGraphic(L"This picture has no clipboard format");
}

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed();
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TBitmap

TBitmapCanvas::~TBitmapCanvas() {
  FreeContext();
}

void TBitmapCanvas::CreateHandle() {
  if (FDC) return;
  FDC = CreateCompatibleDC(nullptr);
  if (FBitmap->FHandle) FOldBitmap = SelectObject(FDC, FBitmap->FHandle);
  SetHandle(FDC);
}

void TBitmapCanvas::FreeContext() {
  if (!FDC) return;
  SetHandle(nullptr);
  if (FOldBitmap) SelectObject(FDC, FOldBitmap);
  FOldBitmap = nullptr;
  DeleteDC(FDC);
  FDC = nullptr;
}

void TBitmapCanvas::Changed() {
  TCanvas::Changed();
  FBitmap->Changed();
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  FCanvas.reset();
  if (FHandle) DeleteObject(FHandle);
}

namespace {
int BitsOf(TPixelFormat f) {
  return f == pf32bit ? 32 : f == pf1bit ? 1 : 24;
}
int StrideOf(int w, int bpp) {
  return ((w * bpp + 31) / 32) * 4;
}

struct MonoInfo {
  BITMAPINFOHEADER h;
  RGBQUAD colors[2];
};

HBITMAP MakeDib(int w, int h, TPixelFormat f, void** bits) {
  MonoInfo bi{};
  bi.h.biSize = sizeof(BITMAPINFOHEADER);
  bi.h.biWidth = w;
  bi.h.biHeight = -h;
  bi.h.biPlanes = 1;
  bi.h.biBitCount = static_cast<WORD>(BitsOf(f));
  bi.h.biCompression = BI_RGB;
  if (f == pf1bit) {
    bi.h.biClrUsed = 2;
    bi.colors[1] = RGBQUAD{255, 255, 255, 0};
  }
  HBITMAP b = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, bits,
                               nullptr, 0);
  if (!b) throw EOutOfMemory(L"Out of system resources");
  std::memset(*bits, 0, static_cast<size_t>(StrideOf(w, BitsOf(f))) * h);
  return b;
}
} // namespace

int TBitmap::RowBytes() const {
  return StrideOf(FWidth, BitsOf(FPixelFormat));
}

void TBitmap::Recreate(int W, int H, TPixelFormat Fmt, bool Keep) {
  if (W < 0) W = 0;
  if (H < 0) H = 0;
  if (FCanvas) FCanvas->FreeContext();
  HBITMAP nb = nullptr;
  void* nbits = nullptr;
  if (W > 0 && H > 0) {
    nb = MakeDib(W, H, Fmt, &nbits);
    if (Keep && FHandle) {
      HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
      HGDIOBJ os = SelectObject(src, FHandle), od = SelectObject(dst, nb);
      BitBlt(dst, 0, 0, std::min(W, FWidth), std::min(H, FHeight), src, 0, 0, SRCCOPY);
      SelectObject(src, os);
      SelectObject(dst, od);
      DeleteDC(src);
      DeleteDC(dst);
      if (Fmt == pf32bit && FPixelFormat == pf32bit) {
        // Keep alpha, which a blit does not promise to carry.
        int rows = std::min(H, FHeight), bytes = std::min(W, FWidth) * 4;
        for (int y = 0; y < rows; ++y)
          std::memcpy(static_cast<std::uint8_t*>(nbits) + y * W * 4,
                      static_cast<std::uint8_t*>(FBits) + y * FWidth * 4, bytes);
      }
    }
  }
  if (FHandle) DeleteObject(FHandle);
  FHandle = nb;
  FBits = nbits;
  FWidth = nb ? W : 0;
  FHeight = nb ? H : 0;
  if (!nb) FWidth = W, FHeight = H;
  FPixelFormat = Fmt;
}

void TBitmap::Clear() {
  if (FCanvas) FCanvas->FreeContext();
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
}

void TBitmap::SetSize(int W, int H) {
  if (W == FWidth && H == FHeight) return;
  Recreate(W, H, FPixelFormat, true);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value != pf32bit && Value != pf1bit) Value = pf24bit;
  if (Value == FPixelFormat) return;
  Recreate(FWidth, FHeight, Value, true);
  Changed();
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value)
    SetPixelFormat(pf1bit);
  else if (FPixelFormat == pf1bit)
    SetPixelFormat(pf24bit);
}

void* TBitmap::ScanLine(int Row) {
  if (!FBits || Row < 0 || Row >= FHeight)
    throw EInvalidGraphicOperation(L"Scan line index out of range");
  GdiFlush();
  return static_cast<std::uint8_t*>(FBits) + static_cast<size_t>(Row) * RowBytes();
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
  return FCanvas.get();
}

HBITMAP TBitmap::Handle() {
  // A bitmap can be selected into one context at a time: the canvas lets go
  // and takes it again on its next use.
  if (FCanvas) FCanvas->FreeContext();
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (!Value) {
    Clear();
    Changed();
    return;
  }
  BITMAP bm{};
  if (!GetObjectW(Value, sizeof(bm), &bm)) throw EInvalidGraphic(L"Bitmap image is not valid");
  TPixelFormat fmt = bm.bmBitsPixel == 32 ? pf32bit : pf24bit;
  Recreate(bm.bmWidth, bm.bmHeight, fmt, false);
  if (FHandle) {
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof(bi);
    bi.biWidth = FWidth;
    bi.biHeight = -FHeight;
    bi.biPlanes = 1;
    bi.biBitCount = static_cast<WORD>(BitsOf(fmt));
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, Value, 0, FHeight, FBits, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
  }
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  if (FCanvas) FCanvas->FreeContext();
  HBITMAP h = FHandle;
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
  return h;
}

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (Empty() || !FBits) return clDefault;
  auto* p = static_cast<std::uint8_t*>(ScanLine(FHeight - 1));
  if (FPixelFormat == pf1bit) return (p[0] & 0x80) ? clWhite : clBlack;
  return RGB(p[2], p[1], p[0]);
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  FTransparentMode = Value;
  if (Value == tmAuto) FTransparentColor = clDefault;
  Changed();
}

void TBitmap::Changed() {
  TGraphic::Changed();
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty() || !FHandle) return;
  HDC dst = ACanvas->Handle();
  if (FCanvas) FCanvas->FreeContext();
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, FHandle);
  if (Transparent()) {
    COLORREF key = ColorToRGB(TransparentColor());
    TransparentBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth,
                   FHeight, key);
  } else {
    SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight,
               ACanvas->CopyMode());
  }
  SelectObject(src, old);
  DeleteDC(src);
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    Changed();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    Recreate(b->FWidth, b->FHeight, b->FPixelFormat, false);
    if (FBits && b->FBits) {
      GdiFlush();
      std::memcpy(FBits, b->FBits, static_cast<size_t>(RowBytes()) * FHeight);
    }
    SetTransparent(b->Transparent());
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    Changed();
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    Recreate(g->Width(), g->Height(), FPixelFormat, false);
    if (!Empty()) {
      Canvas()->Brush()->SetColor(clWhite);
      Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
      Canvas()->Draw(0, 0, g);
    }
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

namespace {
[[noreturn]] void InvalidBitmap() {
  throw EInvalidGraphic(L"Bitmap image is not valid");
}
} // namespace

void TBitmap::LoadFromBytes(const std::vector<std::uint8_t>& Data) {
  if (Data.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPCOREHEADER)) InvalidBitmap();
  BITMAPFILEHEADER fh;
  std::memcpy(&fh, Data.data(), sizeof(fh));
  if (fh.bfType != 0x4D42) InvalidBitmap();
  const std::uint8_t* info = Data.data() + sizeof(fh);
  size_t rest = Data.size() - sizeof(fh);
  // Uncompressed pixels must fill the declared picture exactly: more data
  // than the header accounts for (a wrong width, height or bit count) would
  // load as another picture. Writers may pad the file to four bytes; a V5
  // header may place its colour profile after the pixels.
  DWORD hsize;
  std::memcpy(&hsize, info, 4);
  if (hsize >= sizeof(BITMAPINFOHEADER) && rest >= sizeof(BITMAPINFOHEADER) &&
      fh.bfOffBits >= sizeof(fh) && fh.bfOffBits < Data.size()) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof(h));
    const long long w = h.biWidth, hh = h.biHeight < 0 ? -static_cast<long long>(h.biHeight)
                                                       : static_cast<long long>(h.biHeight);
    if ((h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS) && w > 0 && hh > 0 &&
        w <= 32768 && hh <= 32768) {
      const size_t need = static_cast<size_t>((w * h.biBitCount + 31) / 32 * 4 * hh);
      size_t slack = 4;
      if (hsize >= sizeof(BITMAPV5HEADER) && rest >= sizeof(BITMAPV5HEADER)) {
        BITMAPV5HEADER v5;
        std::memcpy(&v5, info, sizeof(v5));
        size_t end = fh.bfOffBits + need, at = sizeof(fh) + v5.bV5ProfileData;
        if (v5.bV5ProfileSize && at >= end)
          slack = std::max(slack, at + v5.bV5ProfileSize - end + 4);
      }
      if (Data.size() - fh.bfOffBits > need + slack) InvalidBitmap();
    }
  }
  LoadFromDIB(reinterpret_cast<const BITMAPINFO*>(info), rest,
              fh.bfOffBits >= sizeof(fh) && fh.bfOffBits < Data.size() ? Data.data() + fh.bfOffBits
                                                                       : nullptr,
              fh.bfOffBits >= sizeof(fh) && fh.bfOffBits < Data.size() ? Data.size() - fh.bfOffBits
                                                                       : 0);
}

// Info points at the header (InfoSize bytes readable from there); Bits at the
// pixels, or null when they follow the colour table.
void TBitmap::LoadFromDIB(const BITMAPINFO* Info, size_t InfoSize, const void* Bits,
                          size_t BitsSize) {
  auto* raw = reinterpret_cast<const std::uint8_t*>(Info);
  if (InfoSize < 4) InvalidBitmap();
  DWORD hsize;
  std::memcpy(&hsize, raw, 4);
  BITMAPINFOHEADER h{};
  size_t tableEntry = 4;
  if (hsize == sizeof(BITMAPCOREHEADER)) {
    BITMAPCOREHEADER c;
    std::memcpy(&c, raw, sizeof(c));
    h.biSize = sizeof(h);
    h.biWidth = c.bcWidth;
    h.biHeight = c.bcHeight;
    h.biPlanes = c.bcPlanes;
    h.biBitCount = c.bcBitCount;
    h.biCompression = BI_RGB;
    tableEntry = 3;
  } else if (hsize >= sizeof(BITMAPINFOHEADER) && hsize <= 1024 && hsize <= InfoSize) {
    std::memcpy(&h, raw, sizeof(h));
  } else {
    InvalidBitmap();
  }
  const int bpp = h.biBitCount;
  const long long w = h.biWidth,
                  hh = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  if (w <= 0 || hh <= 0 || w > 32768 || hh > 32768 || w * hh > (1LL << 28)) InvalidBitmap();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) InvalidBitmap();
  DWORD comp = h.biCompression;
  if (comp != BI_RGB && comp != BI_RLE8 && comp != BI_RLE4 && comp != BI_BITFIELDS) InvalidBitmap();
  if ((comp == BI_RLE8 && bpp != 8) || (comp == BI_RLE4 && bpp != 4)) InvalidBitmap();
  if ((comp == BI_RLE8 || comp == BI_RLE4) && h.biHeight < 0) InvalidBitmap();

  size_t colors = 0;
  if (bpp <= 8) colors = h.biClrUsed ? std::min<DWORD>(h.biClrUsed, 1u << bpp) : (1u << bpp);
  size_t masks = (comp == BI_BITFIELDS && hsize == sizeof(BITMAPINFOHEADER)) ? 12 : 0;
  size_t tableBytes = masks + colors * tableEntry;
  if (hsize + tableBytes > InfoSize) InvalidBitmap();
  if (!Bits) {
    Bits = raw + hsize + tableBytes;
    BitsSize = InfoSize - hsize - tableBytes;
  }
  const size_t stride = static_cast<size_t>(StrideOf(static_cast<int>(w), bpp));
  const bool rle = comp == BI_RLE8 || comp == BI_RLE4;
  if (!rle && BitsSize < stride * hh) InvalidBitmap();
  if (rle && BitsSize == 0) InvalidBitmap();

  // A normalised header with a 4-byte colour table for GDI.
  std::vector<std::uint8_t> gi(sizeof(BITMAPINFOHEADER) + 12 + 256 * 4, 0);
  BITMAPINFOHEADER nh = h;
  nh.biSize = sizeof(BITMAPINFOHEADER);
  nh.biClrUsed = static_cast<DWORD>(colors);
  nh.biSizeImage = rle ? static_cast<DWORD>(BitsSize) : 0;
  std::memcpy(gi.data(), &nh, sizeof(nh));
  size_t at = sizeof(nh);
  if (comp == BI_BITFIELDS) {
    if (masks) {
      std::memcpy(gi.data() + at, raw + hsize, 12);
    } else {
      std::memcpy(gi.data() + at, raw + 40, 12); // masks inside a V4/V5 header
    }
    at += 12;
  }
  for (size_t i = 0; i < colors; ++i) {
    const std::uint8_t* e = raw + hsize + masks + i * tableEntry;
    gi[at + i * 4] = e[0];
    gi[at + i * 4 + 1] = e[1];
    gi[at + i * 4 + 2] = e[2];
  }

  TPixelFormat fmt = bpp == 32 ? pf32bit : pf24bit;
  Recreate(static_cast<int>(w), static_cast<int>(hh), fmt, false);
  const bool bottomUp = h.biHeight > 0;
  auto* src = static_cast<const std::uint8_t*>(Bits);
  if (comp == BI_RGB && (bpp == 24 || bpp == 32)) {
    GdiFlush();
    for (long long y = 0; y < hh; ++y) {
      const std::uint8_t* row = src + stride * (bottomUp ? hh - 1 - y : y);
      std::memcpy(static_cast<std::uint8_t*>(FBits) + y * RowBytes(), row, w * (bpp / 8));
    }
  } else {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FHandle);
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(hh), 0, 0, 0,
                      static_cast<UINT>(hh), Bits, reinterpret_cast<BITMAPINFO*>(gi.data()),
                      DIB_RGB_COLORS);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  Changed();
}

void TBitmap::LoadFromClipboardFormat(UINT AFormat, HANDLE AData, HPALETTE) {
  if (!AData) throw EInvalidGraphic(L"The clipboard holds no picture");
  if (AFormat == CF_BITMAP) {
    SetHandle(static_cast<HBITMAP>(AData));
    return;
  }
  if (AFormat != CF_DIB) throw EInvalidGraphic(L"Unsupported clipboard format");
  const size_t size = GlobalSize(AData);
  const void* p = GlobalLock(AData);
  if (!p) throw EInvalidGraphic(L"The clipboard holds no picture");
  TScopeGuard restore([&] { GlobalUnlock(AData); });
  LoadFromDIB(static_cast<const BITMAPINFO*>(p), size, nullptr, 0);
}

void TBitmap::SaveToClipboardFormat(UINT& AFormat, HANDLE& AData, HPALETTE& APalette) {
  std::vector<std::uint8_t> file = SaveToBytes(); // a DIB after the file header
  const size_t skip = sizeof(BITMAPFILEHEADER);
  if (Empty() || file.size() <= skip) throw EInvalidGraphic(L"An empty picture cannot be copied");
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, file.size() - skip);
  void* p = h ? GlobalLock(h) : nullptr;
  if (!p) {
    if (h) GlobalFree(h);
    throw EOutOfMemory(L"Out of memory");
  }
  std::memcpy(p, file.data() + skip, file.size() - skip);
  GlobalUnlock(h);
  AFormat = CF_DIB;
  AData = h;
  APalette = nullptr;
}

std::vector<std::uint8_t> TBitmap::SaveToBytes() {
  std::vector<std::uint8_t> out;
  int bpp = BitsOf(FPixelFormat);
  int stride = RowBytes();
  DWORD table = FPixelFormat == pf1bit ? 8 : 0;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof(bi);
  bi.biWidth = FWidth;
  bi.biHeight = FHeight;
  bi.biPlanes = 1;
  bi.biBitCount = static_cast<WORD>(bpp);
  bi.biCompression = BI_RGB;
  bi.biSizeImage = static_cast<DWORD>(stride) * FHeight;
  bi.biClrUsed = table ? 2 : 0;
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(bi) + table;
  fh.bfSize = fh.bfOffBits + bi.biSizeImage;
  out.resize(fh.bfSize);
  std::memcpy(out.data(), &fh, sizeof(fh));
  std::memcpy(out.data() + sizeof(fh), &bi, sizeof(bi));
  if (table) {
    const std::uint8_t pal[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    std::memcpy(out.data() + sizeof(fh) + sizeof(bi), pal, 8);
  }
  if (FBits) {
    GdiFlush();
    for (int y = 0; y < FHeight; ++y)
      std::memcpy(out.data() + fh.bfOffBits + static_cast<size_t>(FHeight - 1 - y) * stride,
                  static_cast<std::uint8_t*>(FBits) + static_cast<size_t>(y) * stride, stride);
  }
  return out;
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::wstring& ResName) {
  if (!Instance) Instance = GetModuleHandleW(nullptr);
  HRSRC r = FindResourceW(Instance, ResName.c_str(), MAKEINTRESOURCEW(2));
  if (!r) throw EResNotFound(Format(L"Resource %s not found", {ResName}));
  HGLOBAL g = LoadResource(Instance, r);
  auto* data = static_cast<const std::uint8_t*>(LockResource(g));
  DWORD size = SizeofResource(Instance, r);
  if (!data || !size) throw EResNotFound(Format(L"Resource %s not found", {ResName}));
  LoadFromDIB(reinterpret_cast<const BITMAPINFO*>(data), size, nullptr, 0);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID) {
  if (!Instance) Instance = GetModuleHandleW(nullptr);
  HRSRC r = FindResourceW(Instance, MAKEINTRESOURCEW(ResID), MAKEINTRESOURCEW(2));
  if (!r) throw EResNotFound(Format(L"Resource %d not found", {ResID}));
  HGLOBAL g = LoadResource(Instance, r);
  auto* data = static_cast<const std::uint8_t*>(LockResource(g));
  DWORD size = SizeofResource(Instance, r);
  if (!data || !size) throw EResNotFound(Format(L"Resource %d not found", {ResID}));
  LoadFromDIB(reinterpret_cast<const BITMAPINFO*>(data), size, nullptr, 0);
}

// ---------------------------------------------------------------------------
// TIcon

TIcon::~TIcon() {
  if (FHandle) DestroyIcon(FHandle);
}

void TIcon::Assign(TPersistent* Source) {
  if (auto* i = dynamic_cast<TIcon*>(Source)) {
    if (i == this) return;
    SetHandle(i->FHandle ? CopyIcon(i->FHandle) : nullptr);
    FData = i->FData;
    return;
  }
  TPersistent::Assign(Source);
}

void TIcon::SetHandle(HICON Value) {
  if (FHandle && FHandle != Value) DestroyIcon(FHandle);
  FHandle = Value;
  FData.clear();
  FWidth = FHeight = 0;
  ICONINFO ii{};
  if (Value && GetIconInfo(Value, &ii)) {
    BITMAP bm{};
    if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof(bm), &bm)) {
      FWidth = bm.bmWidth;
      FHeight = bm.bmHeight;
    } else if (ii.hbmMask && GetObjectW(ii.hbmMask, sizeof(bm), &bm)) {
      FWidth = bm.bmWidth;
      FHeight = bm.bmHeight / 2;
    }
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON h = FHandle;
  FHandle = nullptr;
  FData.clear();
  return h;
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!FHandle) return;
  DrawIconEx(ACanvas->Handle(), Rect.Left, Rect.Top, FHandle, Rect.Width(), Rect.Height(), 0,
             nullptr, DI_NORMAL);
}

void TIcon::LoadFromBytes(const std::vector<std::uint8_t>& Data) {
  auto bad = [] { throw EInvalidGraphic(L"Icon image is not valid"); };
  if (Data.size() < 6 + 16) bad();
  WORD reserved, type, count;
  std::memcpy(&reserved, Data.data(), 2);
  std::memcpy(&type, Data.data() + 2, 2);
  std::memcpy(&count, Data.data() + 4, 2);
  if (reserved != 0 || type != 1 || count == 0 || 6 + 16ull * count > Data.size()) bad();
  // The largest picture of the file.
  int best = -1, bestSize = -1;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* e = Data.data() + 6 + 16 * i;
    int w = e[0] ? e[0] : 256;
    DWORD size, offset;
    std::memcpy(&size, e + 8, 4);
    std::memcpy(&offset, e + 12, 4);
    if (offset >= Data.size() || size > Data.size() - offset || size < 40) continue;
    if (w > bestSize) best = i, bestSize = w;
  }
  if (best < 0) bad();
  const std::uint8_t* e = Data.data() + 6 + 16 * best;
  DWORD size, offset;
  std::memcpy(&size, e + 8, 4);
  std::memcpy(&offset, e + 12, 4);
  int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
  HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(Data.data() + offset), size, TRUE,
                                        0x00030000, w, h, LR_DEFAULTCOLOR);
  if (!icon) bad();
  SetHandle(icon);
  FData = Data;
}

std::vector<std::uint8_t> TIcon::SaveToBytes() {
  return FData;
}

// ---------------------------------------------------------------------------
// TPicture

namespace {
struct FileFormat {
  std::wstring Ext, Description, ClassName;
  TGraphicFactory Factory;
};

// Kept for the whole run: unit exit hooks still unregister during static destruction.
std::vector<FileFormat>& Formats() {
  static auto* formats = new std::vector<FileFormat>{
      {L"bmp", L"Bitmaps", L"TBitmap", [] { return static_cast<TGraphic*>(new TBitmap); }},
      {L"ico", L"Icons", L"TIcon", [] { return static_cast<TGraphic*>(new TIcon); }},
  };
  return *formats;
}

std::wstring NormalExt(std::wstring e) {
  if (!e.empty() && e[0] == L'.') e.erase(0, 1);
  return LowerCase(e);
}
} // namespace

void TPicture::RegisterFileFormat(const std::wstring& Extension, const std::wstring& Description,
                                  const std::wstring& ClassName, TGraphicFactory Factory) {
  Formats().push_back({NormalExt(Extension), Description, ClassName, std::move(Factory)});
}

void TPicture::UnregisterGraphicClass(const std::wstring& ClassName) {
  auto& f = Formats();
  f.erase(std::remove_if(f.begin(), f.end(),
                         [&](const FileFormat& x) { return SameText(x.ClassName, ClassName); }),
          f.end());
}

TGraphic* TPicture::CreateGraphicForExtension(const std::wstring& Extension) {
  std::wstring e = NormalExt(Extension);
  auto& f = Formats();
  for (auto it = f.rbegin(); it != f.rend(); ++it)
    if (it->Ext == e) return it->Factory();
  return nullptr;
}

TGraphic* TPicture::CreateGraphicByClassName(const std::wstring& ClassName) {
  auto& f = Formats();
  for (auto it = f.rbegin(); it != f.rend(); ++it)
    if (SameText(it->ClassName, ClassName)) return it->Factory();
  return nullptr;
}

std::wstring TPicture::GraphicFilter() {
  std::wstring s;
  for (auto& x : Formats()) {
    if (!s.empty()) s += L"|";
    s += x.Description + L" (*." + x.Ext + L")|*." + x.Ext;
  }
  return s;
}

TPicture::~TPicture() = default;

void TPicture::Take(TGraphic* G) {
  FGraphic.reset(G);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (!Value) {
    Take(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy(CreateGraphicByClassName(Value->ClassName()));
  if (!copy) throw EInvalidGraphic(Format(L"Unknown picture class %s", {Value->ClassName()}));
  copy->Assign(Value);
  Take(copy.release());
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    Take(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TPersistent::Assign(Source);
  }
}

TBitmap* TPicture::Bitmap() {
  auto* b = dynamic_cast<TBitmap*>(FGraphic.get());
  if (!b) {
    b = new TBitmap;
    Take(b);
  }
  return b;
}

TIcon* TPicture::Icon() {
  auto* i = dynamic_cast<TIcon*>(FGraphic.get());
  if (!i) {
    i = new TIcon;
    Take(i);
  }
  return i;
}

void TPicture::LoadFromFile(const std::wstring& FileName) {
  std::wstring ext = ExtractFileExt(FileName);
  std::unique_ptr<TGraphic> g(CreateGraphicForExtension(ext));
  if (!g) throw EInvalidGraphic(Format(L"Unknown picture file extension (%s)", {ext}));
  g->LoadFromFile(FileName);
  Take(g.release());
}

void TPicture::SaveToFile(const std::wstring& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

// ---------------------------------------------------------------------------
// Helpers

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Rect.Bottom--;
  Rect.Right--;
  while (Width-- > 0) {
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline({{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}});
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline(
        {{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}});
    Rect.Inflate(-1, -1);
  }
  Rect.Bottom++;
  Rect.Right++;
}

TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor) {
  static std::map<std::pair<COLORREF, COLORREF>, std::unique_ptr<TBitmap>> cache;
  auto key = std::make_pair(ColorToRGB(BkColor), ColorToRGB(FgColor));
  auto& slot = cache[key];
  if (!slot) {
    slot = std::make_unique<TBitmap>();
    slot->SetSize(8, 8);
    for (int y = 0; y < 8; ++y) {
      auto* row = static_cast<std::uint8_t*>(slot->ScanLine(y));
      for (int x = 0; x < 8; ++x) {
        COLORREF c = (y % 2) == (x % 2) ? key.second : key.first;
        row[x * 3] = GetBValue(c);
        row[x * 3 + 1] = GetGValue(c);
        row[x * 3 + 2] = GetRValue(c);
      }
    }
  }
  return slot.get();
}
