// A 32-bit top-down bitmap with a framework canvas and a library canvas on
// it, for painter tests that read back pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Graphics.h"
#include "lookandfeel/lfGraphics.h"
#include "tests/support/Gui.h"

class PainterSurface {
public:
  PainterSurface(int W, int H, COLORREF Back = RGB(255, 255, 255)) : W_(W), H_(H) {
    HDC Screen = GetDC(nullptr);
    DC_ = CreateCompatibleDC(Screen);
    ReleaseDC(nullptr, Screen);
    void* Bits = nullptr;
    Bitmap_ = testsupport::CreateTopDownDib(DC_, W, H, &Bits);
    Bits_ = static_cast<std::uint32_t*>(Bits);
    Old_ = SelectObject(DC_, Bitmap_);
    Clear(Back);
    Canvas_ = std::make_unique<TCanvas>();
    Canvas_->SetHandle(DC_);
    lf_ = std::make_unique<TlfCanvas>(Canvas_.get());
  }
  ~PainterSurface() {
    lf_.reset();
    Canvas_->SetHandle(nullptr);
    Canvas_.reset();
    SelectObject(DC_, Old_);
    DeleteObject(Bitmap_);
    DeleteDC(DC_);
  }
  TlfCanvas* C() const { return lf_.get(); }
  TCanvas* Canvas() const { return Canvas_.get(); }
  HDC DC() const { return DC_; }
  int Width() const { return W_; }
  int Height() const { return H_; }

  // The pixel as a COLORREF (0x00BBGGRR).
  COLORREF At(int X, int Y) const {
    std::uint32_t P = Bits_[Y * W_ + X];
    return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
  }
  void Clear(COLORREF Back) {
    GdiFlush();
    std::uint32_t P = (GetRValue(Back) << 16) | (GetGValue(Back) << 8) | GetBValue(Back);
    for (int i = 0; i < W_ * H_; ++i)
      Bits_[i] = P;
  }
  // The bounding box of the pixels that differ from Back (empty when none).
  RECT BoundsOfNot(COLORREF Back, const RECT* Area = nullptr) const {
    GdiFlush();
    RECT A = Area ? *Area : RECT{0, 0, W_, H_};
    RECT B{A.right, A.bottom, A.left, A.top};
    for (int y = A.top; y < A.bottom; ++y)
      for (int x = A.left; x < A.right; ++x)
        if (At(x, y) != Back) {
          B.left = std::min<LONG>(B.left, x);
          B.top = std::min<LONG>(B.top, y);
          B.right = std::max<LONG>(B.right, x + 1);
          B.bottom = std::max<LONG>(B.bottom, y + 1);
        }
    if (B.right <= B.left) B = RECT{0, 0, 0, 0};
    return B;
  }
  int Count(COLORREF Color) const {
    GdiFlush();
    int n = 0;
    for (int y = 0; y < H_; ++y)
      for (int x = 0; x < W_; ++x)
        if (At(x, y) == Color) ++n;
    return n;
  }
  bool SavePng(const std::wstring& Name) const {
    GdiFlush();
    return testsupport::SavePixelsPng(testsupport::OutputPath(Name), W_, H_, Bits_, W_ * 4);
  }

private:
  int W_, H_;
  HDC DC_ = nullptr;
  HBITMAP Bitmap_ = nullptr;
  HGDIOBJ Old_ = nullptr;
  std::uint32_t* Bits_ = nullptr;
  std::unique_ptr<TCanvas> Canvas_;
  std::unique_ptr<TlfCanvas> lf_;
};

inline COLORREF RGBOf(TColor c) {
  return ColorToRGB(c) & 0xFFFFFF;
}

// Blended colours snap to the screen's nearest colour: the tests expect the
// bench's 24-bit display, where every colour is its own nearest.
inline int ScreenBitsPerPixel() {
  HDC Screen = GetDC(nullptr);
  int Bits = GetDeviceCaps(Screen, BITSPIXEL) * GetDeviceCaps(Screen, PLANES);
  ReleaseDC(nullptr, Screen);
  return Bits;
}
