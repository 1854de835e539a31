#include "skin/skEffBmp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "skin/SkUtils.h"

namespace {

uint8_t Clamp(double v) {
  long n = std::lrint(v);
  return static_cast<uint8_t>(n < 0 ? 0 : n > 255 ? 255 : n);
}

double Clamp01(double kf) {
  return kf < 0 ? 0 : kf > 1 ? 1 : kf;
}

// own x w + other x (1 - w)
uint8_t Mix(uint8_t own, uint8_t other, double w) {
  return Clamp(own * w + other * (1 - w));
}

} // namespace

TskEffectBmp::TskEffectBmp(int width, int height) {
  Create(width, height);
}

TskEffectBmp::TskEffectBmp(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) {
    Create(0, 0);
    return;
  }
  Create(bm.bmWidth, bm.bmHeight);
  if (!FBits) return;
  HDC dc = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  BITMAPINFO bi = FInfo;
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(FHeight), FBits, &bi, DIB_RGB_COLORS);
  DeleteDC(dc);
}

TskEffectBmp::TskEffectBmp(const TskPicture& picture) {
  Create(picture.Width(), picture.Height());
  if (!FBits) return;
  for (int y = 0; y < FHeight; ++y)
    std::memcpy(Row(y), picture.ScanLine(y), size_t(FWidth) * 3);
}

TskEffectBmp::~TskEffectBmp() {
  if (FHandle) DeleteObject(FHandle);
}

void TskEffectBmp::Create(int width, int height) {
  FWidth = std::max(width, 0);
  FHeight = std::max(height, 0);
  FStride = 3 * FWidth + FWidth % 4;
  FInfo = BITMAPINFO{};
  FInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  FInfo.bmiHeader.biWidth = FWidth;
  FInfo.bmiHeader.biHeight = -FHeight;
  FInfo.bmiHeader.biPlanes = 1;
  FInfo.bmiHeader.biBitCount = 24;
  FInfo.bmiHeader.biCompression = BI_RGB;
  if (FWidth == 0 || FHeight == 0) return;
  void* bits = nullptr;
  FHandle = CreateDIBSection(nullptr, &FInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!FHandle || !bits) {
    FHandle = nullptr;
    return;
  }
  FBits = static_cast<uint8_t*>(bits);
  GdiFlush();
  std::memset(FBits, 0, Size());
}

uint8_t* TskEffectBmp::Row(int y) {
  return FBits && y >= 0 && y < FHeight ? FBits + size_t(y) * FStride : nullptr;
}

const uint8_t* TskEffectBmp::Row(int y) const {
  return FBits && y >= 0 && y < FHeight ? FBits + size_t(y) * FStride : nullptr;
}

void TskEffectBmp::GetRow(int y, uint8_t* buffer) const {
  if (const uint8_t* r = Row(y)) std::memcpy(buffer, r, size_t(FWidth) * 3);
}

void TskEffectBmp::SetRow(int y, const uint8_t* buffer) {
  if (uint8_t* r = Row(y)) std::memcpy(r, buffer, size_t(FWidth) * 3);
}

COLORREF TskEffectBmp::Pixel(int x, int y) const {
  const uint8_t* r = Row(y);
  if (!r || x < 0 || x >= FWidth) return 0;
  return RGB(r[x * 3 + 2], r[x * 3 + 1], r[x * 3]);
}

void TskEffectBmp::SetPixel(int x, int y, COLORREF color) {
  uint8_t* r = Row(y);
  if (!r || x < 0 || x >= FWidth) return;
  r[x * 3] = GetBValue(color);
  r[x * 3 + 1] = GetGValue(color);
  r[x * 3 + 2] = GetRValue(color);
}

void TskEffectBmp::Draw(HDC dc, int x, int y) const {
  if (!FBits) return;
  GdiFlush();
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(FWidth), static_cast<DWORD>(FHeight), 0, 0, 0,
                    static_cast<UINT>(FHeight), FBits, &FInfo, DIB_RGB_COLORS);
}

void TskEffectBmp::CopyTo(TskPicture& picture) const {
  picture.SetSize(FWidth, FHeight);
  if (!FBits || picture.Empty()) return;
  for (int y = 0; y < FHeight; ++y)
    std::memcpy(picture.ScanLine(y), Row(y), size_t(FWidth) * 3);
}

void TskEffectBmp::BlendColumn(const TskEffectBmp& other, int x, double w) {
  if (x < 0 || x >= FWidth) return;
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* a = Row(y) + x * 3;
    const uint8_t* b = other.Row(y) + x * 3;
    for (int c = 0; c < 3; ++c)
      a[c] = Mix(a[c], b[c], w);
  }
}

void TskEffectBmp::BlendRow(const TskEffectBmp& other, int y, double w) {
  if (y < 0 || y >= FHeight) return;
  uint8_t* a = Row(y);
  const uint8_t* b = other.Row(y);
  for (int i = 0; i < FWidth * 3; ++i)
    a[i] = Mix(a[i], b[i], w);
}

void TskEffectBmp::Morph(const TskEffectBmp& other, double kf) {
  if (!SameSize(other)) return;
  kf = Clamp01(kf);
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* a = Row(y);
    const uint8_t* b = other.Row(y);
    for (int i = 0; i < FWidth * 3; ++i)
      a[i] = Clamp((1 - kf) * a[i] + kf * b[i]);
  }
}

void TskEffectBmp::MorphRect(const TskEffectBmp& other, double kf, const RECT& rect, int otherX,
                             int otherY) {
  if (!FBits || !other.FBits) return;
  kf = Clamp01(kf);
  for (int y = std::max<int>(rect.top, 0); y < std::min<int>(rect.bottom, FHeight); ++y) {
    int oy = otherY + (y - rect.top);
    if (oy < 0 || oy >= other.FHeight) continue;
    uint8_t* a = Row(y);
    const uint8_t* b = other.Row(oy);
    for (int x = std::max<int>(rect.left, 0); x < std::min<int>(rect.right, FWidth); ++x) {
      int ox = otherX + (x - rect.left);
      if (ox < 0 || ox >= other.FWidth) continue;
      for (int c = 0; c < 3; ++c)
        a[x * 3 + c] = Clamp((1 - kf) * a[x * 3 + c] + kf * b[ox * 3 + c]);
    }
  }
}

namespace {

// The centre-out gradient over the Size lines of an image: the middle
// kf x Size lines take the other image, and the weight of this one grows
// again towards both ends over (Size - Shrink - kf x Size) / 2 lines (in
// steps of Fallback when that is none). Blend(line, weight) mixes one line.
template <class TBlend>
void CentreGradient(int Size, double kf, int Shrink, double Fallback, TBlend Blend) {
  int a = static_cast<int>(std::lrint(Size * kf));
  int side = (Size - Shrink - a) / 2;
  double step = side > 0 ? 1.0 / side : Fallback;
  int first = std::max(Size / 2 - a / 2, 0), last = std::min(Size / 2 + a / 2, Size - 1);
  for (int i = first; i <= last; ++i)
    Blend(i, 0.0);
  double w = 0;
  for (int i = first; i >= 0; --i, w = std::min(1.0, w + step))
    Blend(i, w);
  w = 0;
  for (int i = last; i < Size; ++i, w = std::min(1.0, w + step))
    Blend(i, w);
}

} // namespace

void TskEffectBmp::MorphHGrad(const TskEffectBmp& other, double kf) {
  if (!SameSize(other)) return;
  CentreGradient(FWidth, kf, 0, 1.0, [&](int x, double w) { BlendColumn(other, x, w); });
}

void TskEffectBmp::MorphVGrad(const TskEffectBmp& other, double kf) {
  if (!SameSize(other)) return;
  CentreGradient(FHeight, kf, 1, 0.0, [&](int y, double w) { BlendRow(other, y, w); });
}

void TskEffectBmp::MorphGrad(const TskEffectBmp& other, double kf) {
  if (FWidth < FHeight)
    MorphVGrad(other, kf);
  else
    MorphHGrad(other, kf);
}

void TskEffectBmp::MorphLeftGrad(const TskEffectBmp& other, double kf) {
  if (!SameSize(other)) return;
  const int W = FWidth;
  int a = static_cast<int>(std::lrint(W * kf));
  if (a <= 0) a = 1;
  if (a > W - 1) a = W - 1;
  double step = a > 0 ? 1.0 / a : 1.0;
  double w = 0;
  for (int x = 0; x <= a; ++x, w = std::min(1.0, w + step))
    BlendColumn(other, x, w);
}

void TskEffectBmp::MorphRightGrad(const TskEffectBmp& other, double kf) {
  if (!SameSize(other)) return;
  const int W = FWidth;
  int a = W - static_cast<int>(std::lrint(W * kf));
  a = std::clamp(a, 0, W - 1);
  double step = W - a > 0 ? 1.0 / (W - a) : 1.0;
  double w = 0;
  for (int x = W - 1; x >= a; --x, w = std::min(1.0, w + step))
    BlendColumn(other, x, w);
}

void TskEffectBmp::MorphLeftSlide(const TskEffectBmp& other, double kf) {
  Slide(other, kf, true);
}

void TskEffectBmp::MorphRightSlide(const TskEffectBmp& other, double kf) {
  Slide(other, kf, false);
}

void TskEffectBmp::Slide(const TskEffectBmp& other, double kf, bool FromLeft) {
  if (!SameSize(other)) return;
  const int W = FWidth;
  int b = static_cast<int>(std::lrint(W * kf));
  if (b <= 0) b = 1;
  if (b > W - 1) b = W - 1;
  for (int y = 0; y < FHeight; ++y) {
    if (FromLeft)
      std::memmove(Row(y), other.Row(y) + (W - b) * 3, size_t(b) * 3);
    else
      std::memmove(Row(y) + (W - b) * 3, other.Row(y), size_t(b) * 3);
  }
}

void TskEffectBmp::MorphPush(const TskEffectBmp& other, double kf) {
  if (!SameSize(other)) return;
  const int W = FWidth;
  int a = std::clamp(static_cast<int>(std::lrint(W * kf)), 0, W - 1);
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* r = Row(y);
    for (int j = W - 1; j >= a; --j)
      std::memmove(r + j * 3, r + std::max(j - a - 1, 0) * 3, 3);
    std::memmove(r, other.Row(y) + (W - a - 1) * 3, size_t(a + 1) * 3);
  }
}

void TskEffectBmp::MorphByKind(int kind, const TskEffectBmp& other, double kf) {
  switch (kind) {
  case 1:
    MorphGrad(other, kf);
    break;
  case 2:
    MorphLeftGrad(other, kf);
    break;
  case 3:
    MorphRightGrad(other, kf);
    break;
  case 4:
    MorphLeftSlide(other, kf);
    break;
  case 5:
    MorphRightSlide(other, kf);
    break;
  case 6:
    MorphPush(other, kf);
    break;
  default:
    Morph(other, kf);
    break;
  }
}

void TskEffectBmp::ChangeBrightness(double kf) {
  kf = Clamp01(kf);
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* r = Row(y);
    for (int i = 0; r && i < FWidth * 3; ++i)
      r[i] = Clamp((1 - kf) * r[i] + 255 * kf);
  }
}

void TskEffectBmp::ChangeDarkness(double kf) {
  kf = Clamp01(kf);
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* r = Row(y);
    for (int i = 0; r && i < FWidth * 3; ++i)
      r[i] = Clamp((1 - kf) * r[i]);
  }
}

void TskEffectBmp::Invert() {
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* r = Row(y);
    for (int i = 0; r && i < FWidth * 3; ++i)
      r[i] = static_cast<uint8_t>(255 - r[i]);
  }
}

void TskEffectBmp::GrayScale() {
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* r = Row(y);
    for (int x = 0; r && x < FWidth; ++x) {
      uint8_t* p = r + x * 3;
      uint8_t g = Clamp(0.3 * p[2] + 0.59 * p[1] + 0.11 * p[0]);
      p[0] = p[1] = p[2] = g;
    }
  }
}

void TskEffectBmp::SplitBlur(int amount) {
  if (amount <= 0 || !FBits) return;
  for (int i = 0; i < FHeight; ++i) {
    int up = i - amount < 0 ? i : i - amount;
    int down = i + amount >= FHeight ? i : i + amount;
    uint8_t* r = Row(i);
    const uint8_t* ru = Row(up);
    const uint8_t* rd = Row(down);
    for (int j = 0; j < FWidth; ++j) {
      int left = j - amount < 0 ? j : j - amount;
      int right = j + amount >= FWidth ? j : j + amount;
      for (int c = 0; c < 3; ++c) {
        int sum = ru[left * 3 + c] + rd[left * 3 + c] + ru[right * 3 + c] + rd[right * 3 + c];
        r[j * 3 + c] = static_cast<uint8_t>(sum / 4);
      }
    }
  }
}

void TskEffectBmp::AddNoise(int amount) {
  if (amount <= 0) return;
  for (int y = 0; y < FHeight; ++y) {
    uint8_t* r = Row(y);
    for (int x = 0; r && x < FWidth; ++x) {
      int d = std::rand() % amount - amount / 2;
      for (int c = 0; c < 3; ++c)
        r[x * 3 + c] = static_cast<uint8_t>(std::clamp(r[x * 3 + c] + d, 0, 255));
    }
  }
}

void TskEffectBmp::ApplyInactiveEffect(int effect) {
  switch (effect) {
  case 0:
    ChangeBrightness(0.5);
    break;
  case 1:
    ChangeDarkness(0.3);
    break;
  case 2:
    GrayScale();
    break;
  case 3:
    AddNoise(50);
    break;
  case 4:
    SplitBlur(1);
    break;
  case 5:
    Invert();
    break;
  default:
    break;
  }
}

void DrawControlImage(TControl* Control, HDC DC, TBitmap* Image, bool AlphaBlend,
                      BYTE AlphaBlendValue) {
  if (!AlphaBlend) {
    BitBlt(DC, 0, 0, Image->Width(), Image->Height(), Image->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  TBitmap back;
  back.SetSize(Image->Width(), Image->Height());
  PaintParentBackground(Control, back.Canvas());
  if (auto* c = dynamic_cast<TBitmapCanvas*>(Image->Canvas())) c->FreeContext();
  if (auto* c = dynamic_cast<TBitmapCanvas*>(back.Canvas())) c->FreeContext();
  TskEffectBmp img(Image->Handle()), bg(back.Handle());
  img.Morph(bg, 1.0 - AlphaBlendValue / 255.0);
  img.Draw(DC, 0, 0);
}
