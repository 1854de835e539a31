// Pictures of windowless drawing for the image-grid menu and speed button
// tests: a top-down 32-bit bitmap that a paint routine draws into, read back
// pixel by pixel and saved as PNG; and a strip of coloured 16 x 16 images.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "tests/support/Gui.h"

namespace skintest {

class TDibShot {
public:
  TDibShot(int W, int H, COLORREF Back = RGB(255, 255, 255)) : w_(W), h_(H) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bmp_ = testsupport::CreateTopDownDib(screen, W, H, reinterpret_cast<void**>(&bits_));
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    RECT r{0, 0, W, H};
    HBRUSH b = CreateSolidBrush(Back);
    FillRect(dc_, &r, b);
    DeleteObject(b);
  }
  ~TDibShot() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  TDibShot(const TDibShot&) = delete;
  TDibShot& operator=(const TDibShot&) = delete;
  HDC DC() const { return dc_; }
  int Width() const { return w_; }
  int Height() const { return h_; }
  // 0x00BBGGRR.
  COLORREF At(int x, int y) const {
    GdiFlush();
    uint32_t v = bits_[y * w_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  bool Save(const std::wstring& Name) const {
    GdiFlush();
    return testsupport::SavePixelsPng(testsupport::OutputPath(Name), w_, h_, bits_, w_ * 4);
  }

private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

// Twelve 16 x 16 images: discs, squares and diamonds in twelve colours.
inline std::unique_ptr<TImageList> ColourImages(int Count = 12) {
  static const COLORREF colours[] = {RGB(220, 50, 47),   RGB(203, 75, 22),  RGB(181, 137, 0),
                                     RGB(133, 153, 0),   RGB(42, 161, 152), RGB(38, 139, 210),
                                     RGB(108, 113, 196), RGB(211, 54, 130), RGB(88, 110, 117),
                                     RGB(0, 128, 64),    RGB(128, 64, 0),   RGB(70, 70, 160)};
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetSize(16, 16);
  for (int i = 0; i < Count; ++i) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(static_cast<TColor>(RGB(255, 0, 255)));
    c->FillRect(TRect(0, 0, 16, 16));
    COLORREF fill = colours[i % 12];
    COLORREF dark = RGB(GetRValue(fill) / 2, GetGValue(fill) / 2, GetBValue(fill) / 2);
    c->Brush()->SetColor(static_cast<TColor>(fill));
    c->Pen()->SetColor(static_cast<TColor>(dark));
    switch (i % 3) {
    case 0:
      c->Ellipse(1, 1, 15, 15);
      break;
    case 1:
      c->Rectangle(2, 2, 14, 14);
      break;
    default:
      c->Polygon({TPoint(8, 1), TPoint(15, 8), TPoint(8, 15), TPoint(1, 8)});
      break;
    }
    list->AddMasked(&b, static_cast<TColor>(RGB(255, 0, 255)));
  }
  return list;
}

} // namespace skintest
