// A 24-bit top-down memory copy of a bitmap on which morphs between two
// images and colour effects are computed before the result is drawn.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

class TskPicture;
class TBitmap;
class TControl;

class TskEffectBmp {
public:
  // A black image of the given size.
  TskEffectBmp(int width, int height);
  // A copy of a bitmap (any format, converted to 24 bits).
  explicit TskEffectBmp(HBITMAP bitmap);
  explicit TskEffectBmp(const TskPicture& picture);
  ~TskEffectBmp();
  TskEffectBmp(const TskEffectBmp&) = delete;
  TskEffectBmp& operator=(const TskEffectBmp&) = delete;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // 3 x width rounded up to whole 4-byte units.
  int Stride() const { return FStride; }
  size_t Size() const { return size_t(FStride) * FHeight; }
  HBITMAP Handle() const { return FHandle; }
  const BITMAPINFO& Info() const { return FInfo; }

  // Pointer to row y (blue, green, red per pixel); nullptr outside the image.
  uint8_t* Row(int y);
  const uint8_t* Row(int y) const;
  // Copies row y into a buffer of 3 x width bytes and back.
  void GetRow(int y, uint8_t* buffer) const;
  void SetRow(int y, const uint8_t* buffer);
  COLORREF Pixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF color);

  // Copies the whole image to a device context at (x, y).
  void Draw(HDC dc, int x, int y) const;
  // The image as a picture.
  void CopyTo(TskPicture& picture) const;

  // Morphs towards Other by kf (0 = this image, 1 = Other). All but MorphRect
  // do nothing unless both images have the same size.
  void Morph(const TskEffectBmp& other, double kf);
  // Blends the pixels of rect with Other's pixels from (otherX, otherY) on.
  void MorphRect(const TskEffectBmp& other, double kf, const RECT& rect, int otherX, int otherY);
  void MorphHGrad(const TskEffectBmp& other, double kf);
  void MorphVGrad(const TskEffectBmp& other, double kf);
  void MorphGrad(const TskEffectBmp& other, double kf);
  void MorphLeftGrad(const TskEffectBmp& other, double kf);
  void MorphRightGrad(const TskEffectBmp& other, double kf);
  void MorphLeftSlide(const TskEffectBmp& other, double kf);
  void MorphRightSlide(const TskEffectBmp& other, double kf);
  void MorphPush(const TskEffectBmp& other, double kf);
  // The morph of a skin's morph kind (0 .. 6).
  void MorphByKind(int kind, const TskEffectBmp& other, double kf);

  void ChangeBrightness(double kf);
  void ChangeDarkness(double kf);
  void Invert();
  void GrayScale();
  void SplitBlur(int amount);
  void AddNoise(int amount);
  // The effect of a skin's inactive effect (0 brightness .. 5 invert).
  void ApplyInactiveEffect(int effect);

private:
  void Create(int width, int height);
  bool SameSize(const TskEffectBmp& other) const {
    return FWidth == other.FWidth && FHeight == other.FHeight && FBits && other.FBits;
  }
  // Blends column x of every row with weight w on this image.
  void BlendColumn(const TskEffectBmp& other, int x, double w);
  void BlendRow(const TskEffectBmp& other, int y, double w);
  // The other image's kf share slid in from the left or the right edge.
  void Slide(const TskEffectBmp& other, double kf, bool FromLeft);

  int FWidth = 0, FHeight = 0, FStride = 0;
  BITMAPINFO FInfo{};
  HBITMAP FHandle = nullptr;
  uint8_t* FBits = nullptr;
};

// Draws Image at (0, 0) of DC: as it is, or with AlphaBlend morphed over what
// lies behind Control (AlphaBlendValue 255 shows the image alone).
void DrawControlImage(TControl* Control, HDC DC, TBitmap* Image, bool AlphaBlend,
                      BYTE AlphaBlendValue);
