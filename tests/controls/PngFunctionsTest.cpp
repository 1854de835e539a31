// Fading, graying, disabled drawing and conversions of PNG pictures.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "controls/PngFunctions.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string DataDir() {
  std::string file = __FILE__;
  std::string dir = file.substr(0, file.find_last_of("/\\") + 1) + "data/png/";
  if (!dir.empty() && dir[0] == '/') {
    for (char& c : dir)
      if (c == '/') c = '\\';
    dir = "Z:" + dir;
  }
  return dir;
}

std::unique_ptr<TPngPicture> LoadFixture(const std::string& name) {
  std::ifstream f(DataDir() + name + ".png", std::ios::binary);
  Bytes data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  auto png = std::make_unique<TPngPicture>();
  png->LoadFromBytes(data);
  return png;
}

// A 24-bit bitmap whose pixel (x, y) is RGB(x * 16, y * 16, 100).
std::unique_ptr<TBitmap> Gradient(int w, int h) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bmp->Canvas()->SetPixels(x, y, RGB(x * 16, y * 16, 100));
  return bmp;
}

TEST(PngFunctions, GrayValuesRoundHalvesToEven) {
  struct {
    uint8_t R, G, B, Gray;
  } cases[] = {
      {200, 100, 50, 124},                                        // 60 + 59 + 5.5 = 124.5 exactly
      {0, 0, 0, 0},        {255, 255, 255, 255}, {255, 0, 0, 76}, // 76.5
      {0, 255, 0, 150},    {0, 0, 255, 28},      {1, 1, 1, 1},
      {50, 0, 0, 15},      {150, 0, 0, 45},      {0, 0, 50, 6}, // 5.5 -> 6
  };
  for (const auto& c : cases)
    EXPECT_EQ(GrayValue(c.R, c.G, c.B), c.Gray) << int(c.R) << "," << int(c.G) << "," << int(c.B);
}

TEST(PngFunctions, GrayColourByStrength) {
  struct {
    COLORREF In;
    uint8_t Strength;
    COLORREF Out;
  } cases[] = {
      {RGB(200, 100, 50), 255, RGB(124, 124, 124)},
      {RGB(200, 100, 50), 0, RGB(199 + 0, 100, 50)}, // c * 255 / 256 + round(124 / 256)
      {RGB(0, 0, 0), 127, RGB(0, 0, 0)},
      {RGB(255, 255, 255), 127, RGB(255, 255, 255)}, // 127.5 -> 128, 127.5 -> 128: 255
  };
  for (const auto& c : cases)
    EXPECT_EQ(GrayColor(c.In, c.Strength), c.Out) << std::hex << c.In << " " << int(c.Strength);
}

TEST(PngFunctions, FadesOpaqueRgbToHalf) {
  auto bmp = Gradient(6, 5);
  TPngPicture png;
  png.Assign(bmp.get());
  ASSERT_EQ(png.HeaderChunk()->ColorType, 2);
  FadePicture(&png, 127);
  ASSERT_EQ(png.HeaderChunk()->ColorType, 6);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(png.AlphaRowAddress(y)[x], 128);
  EXPECT_EQ(png.PixelColor(3, 2), RGB(48, 32, 100));
}

TEST(PngFunctions, FadeKeepsTransparentPixels) {
  auto png = LoadFixture("rgba8_n_13x11");
  std::vector<uint8_t> before;
  for (int y = 0; y < 11; ++y)
    before.insert(before.end(), png->AlphaRowAddress(y), png->AlphaRowAddress(y) + 13);
  FadePicture(png.get(), 127);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) {
      int a = before[size_t(y) * 13 + x];
      int want = (a * 128) / 256 + (((a * 128) % 256) * 2 > 256 ||
                                    (((a * 128) % 256) * 2 == 256 && ((a * 128) / 256) % 2));
      EXPECT_EQ(png->AlphaRowAddress(y)[x], want) << a;
      if (a == 0) {
        EXPECT_EQ(png->AlphaRowAddress(y)[x], 0);
      }
    }
}

TEST(PngFunctions, FadingAKeyedPaletteGivesRgbWithAlpha) {
  auto png = LoadFixture("pal4key_n");
  ASSERT_EQ(png->TransparencyKind(), ptmBit);
  COLORREF key = png->KeyColor();
  std::vector<COLORREF> colours;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x)
      colours.push_back(png->PixelColor(x, y));
  FadePicture(png.get(), 127);
  ASSERT_EQ(png->HeaderChunk()->ColorType, 6);
  int transparent = 0;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      COLORREF c = colours[size_t(y) * 9 + x];
      EXPECT_EQ(png->PixelColor(x, y), c);
      EXPECT_EQ(png->AlphaRowAddress(y)[x], c == key ? 0 : 127);
      transparent += c == key;
    }
  EXPECT_GT(transparent, 0);
}

TEST(PngFunctions, FadingAPartialPaletteScalesEachEntry) {
  auto png = LoadFixture("pal8trns_n");
  ASSERT_EQ(png->TransparencyKind(), ptmPartial);
  auto* trns = png->ChunkList.ItemFromClass<TChunktRNS>();
  std::vector<int> alphas;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x)
      alphas.push_back(trns->AlphaValues[png->RowAddress(y)[x]]);
  FadePicture(png.get(), 127);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      int a = alphas[size_t(y) * 9 + x];
      EXPECT_NEAR(png->AlphaRowAddress(y)[x], a / 2.0, 0.51) << a;
    }
}

TEST(PngFunctions, GrayPaletteKeepsIndexes) {
  auto png = LoadFixture("pal8_n_13x11");
  std::vector<uint8_t> indexes;
  for (int y = 0; y < 11; ++y)
    indexes.insert(indexes.end(), png->RowAddress(y), png->RowAddress(y) + 13);
  GrayPicture(png.get(), 255);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) {
      EXPECT_EQ(png->RowAddress(y)[x], indexes[size_t(y) * 13 + x]);
      COLORREF c = png->PixelColor(x, y);
      EXPECT_EQ(GetRValue(c), GetGValue(c));
      EXPECT_EQ(GetGValue(c), GetBValue(c));
    }
}

TEST(PngFunctions, GrayRgbAndLeavesGrayAlone) {
  auto png = LoadFixture("rgba8_n_5x3");
  auto before = LoadFixture("rgba8_n_5x3");
  GrayPicture(png.get(), 255);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      COLORREF c = before->PixelColor(x, y);
      uint8_t g = GrayValue(GetRValue(c), GetGValue(c), GetBValue(c));
      EXPECT_EQ(png->PixelColor(x, y), RGB(g, g, g));
    }
  auto gray = LoadFixture("graya8_n_5x3");
  auto grayBefore = LoadFixture("graya8_n_5x3");
  GrayPicture(gray.get(), 0);
  EXPECT_EQ(gray->SaveToBytes(), grayBefore->SaveToBytes());
}

TEST(PngFunctions, DrawingWithOptionsLeavesThePicture) {
  auto png = LoadFixture("rgba8_n_13x11");
  Bytes before = png->SaveToBytes();
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(16, 16);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 16, 16));
  DrawPictureWithOptions(png.get(), target.Canvas(), TRect(0, 0, 16, 16),
                         PngOptionBit(pngBlendOnDisabled) | PngOptionBit(pngGrayscaleOnDisabled));
  EXPECT_EQ(png->SaveToBytes(), before);
  // Drawn gray and faded: every pixel gray and at least half white.
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) {
      COLORREF c = target.Canvas()->Pixels(x, y);
      EXPECT_EQ(GetRValue(c), GetGValue(c)) << x << "," << y;
      EXPECT_EQ(GetGValue(c), GetBValue(c)) << x << "," << y;
      EXPECT_GE(GetRValue(c), 127) << x << "," << y;
    }
}

TEST(PngFunctions, PlainBitmapBecomesRgbWithoutAlpha) {
  auto bmp = Gradient(5, 4);
  auto png = PictureFromGraphic(bmp.get());
  ASSERT_TRUE(png);
  EXPECT_EQ(png->HeaderChunk()->ColorType, 2);
  EXPECT_EQ(png->PixelColor(4, 3), RGB(64, 48, 100));
}

TEST(PngFunctions, TransparentBitmapGetsAlpha) {
  auto bmp = Gradient(5, 4);
  bmp->Canvas()->SetPixels(2, 2, RGB(1, 2, 3));
  bmp->Canvas()->SetPixels(0, 0, RGB(1, 2, 3));
  bmp->SetTransparentMode(tmFixed);
  bmp->SetTransparentColor(RGB(1, 2, 3));
  bmp->SetTransparent(true);
  auto png = PictureFromGraphic(bmp.get());
  ASSERT_EQ(png->HeaderChunk()->ColorType, 6);
  EXPECT_EQ(png->AlphaRowAddress(2)[2], 0);
  EXPECT_EQ(png->AlphaRowAddress(0)[0], 0);
  EXPECT_EQ(png->AlphaRowAddress(1)[1], 255);
}

TEST(PngFunctions, MaskedAndKeyedBitmaps) {
  auto bmp = Gradient(4, 4);
  TBitmap mask;
  mask.SetPixelFormat(pf24bit);
  mask.SetSize(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      mask.Canvas()->SetPixels(x, y, x < 2 ? RGB(255, 255, 255) : RGB(0, 0, 0));
  auto masked = PictureFromMaskedBitmap(bmp.get(), &mask, false);
  EXPECT_EQ(masked->AlphaRowAddress(1)[0], 255);
  EXPECT_EQ(masked->AlphaRowAddress(1)[3], 0);
  auto inverted = PictureFromMaskedBitmap(bmp.get(), &mask, true);
  EXPECT_EQ(inverted->AlphaRowAddress(1)[0], 0);
  auto unmasked = PictureFromMaskedBitmap(bmp.get(), nullptr, false);
  EXPECT_EQ(unmasked->AlphaRowAddress(3)[3], 255);
  auto keyed = PictureFromKeyedBitmap(bmp.get(), RGB(16, 32, 100));
  EXPECT_EQ(keyed->AlphaRowAddress(2)[1], 0);
  EXPECT_EQ(keyed->AlphaRowAddress(2)[2], 255);
}

TEST(PngFunctions, AlphaIconKeepsItsAlpha) {
  ASSERT_TRUE(IsNT51OrLater());
  BITMAPV5HEADER bh{};
  bh.bV5Size = sizeof(bh);
  bh.bV5Width = 8;
  bh.bV5Height = -8;
  bh.bV5Planes = 1;
  bh.bV5BitCount = 32;
  bh.bV5Compression = BI_BITFIELDS;
  bh.bV5RedMask = 0x00FF0000;
  bh.bV5GreenMask = 0x0000FF00;
  bh.bV5BlueMask = 0x000000FF;
  bh.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&bh), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  auto* px = static_cast<uint32_t*>(bits);
  for (int i = 0; i < 64; ++i)
    px[i] = (uint32_t(i * 4) << 24) | 0x00204060u;
  HBITMAP maskBmp = CreateBitmap(8, 8, 1, 1, nullptr);
  ICONINFO ii{TRUE, 0, 0, maskBmp, color};
  TIcon icon;
  icon.SetHandle(CreateIconIndirect(&ii));
  icon.SetWidth(8);
  icon.SetHeight(8);
  DeleteObject(color);
  DeleteObject(maskBmp);
  auto png = PictureFromGraphic(&icon);
  ASSERT_EQ(png->HeaderChunk()->ColorType, 6);
  EXPECT_EQ(png->AlphaRowAddress(0)[1], 4);
  EXPECT_EQ(png->AlphaRowAddress(7)[7], 252);
}

TEST(PngFunctions, ImageListImages) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 1, 1);
  auto bmp = Gradient(4, 4);
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(4, 4);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(TRect(0, 0, 4, 4));
  mask.Canvas()->SetPixels(3, 3, clWhite);
  HBITMAP image = bmp->ReleaseHandle();
  HBITMAP maskHandle = mask.ReleaseHandle();
  ASSERT_EQ(ImageList_Add(list, image, maskHandle), 0);
  DeleteObject(image);
  DeleteObject(maskHandle);
  TPngPicture png;
  PictureFromImageList(&png, list, 0);
  ASSERT_EQ(png.Width(), 4);
  EXPECT_EQ(png.AlphaRowAddress(0)[0], 255);
  EXPECT_EQ(png.AlphaRowAddress(3)[3], 0);
  EXPECT_EQ(png.PixelColor(1, 2), RGB(16, 32, 100));
  TPngPicture untouched;
  PictureFromImageList(&untouched, list, 5);
  EXPECT_TRUE(untouched.Empty());
  ImageList_Destroy(list);
}

} // namespace
