// Composition of skin pictures, mask regions and bitmap effects.
#include <gtest/gtest.h>

#include <turbojpeg.h>

#include "skin/SkUtils.h"
#include "skin/skEffBmp.h"

namespace {

// A 30 x 30 picture whose every pixel tells its own position.
TskPicture PositionPicture() {
  TskPicture p(30, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      p.SetPixel(x, y, RGB(x * 8, y * 8, 100));
  return p;
}

COLORREF At(int x, int y) {
  return RGB(x * 8, y * 8, 100);
}

TskSkinImageParams Params(int w, int h, bool stretch) {
  TskSkinImageParams p;
  p.R = RECT{0, 0, 30, 30};
  p.Old.ClientRect = RECT{5, 5, 25, 25};
  p.Old.LTPoint = POINT{10, 10};
  p.Old.RTPoint = POINT{20, 10};
  p.Old.LBPoint = POINT{10, 20};
  p.Old.RBPoint = POINT{20, 20};
  p.New = ScaleSkinGeometry(p.Old, p.R, w, h);
  p.W = w;
  p.H = h;
  p.LeftStretch = p.TopStretch = p.RightStretch = p.BottomStretch = stretch;
  p.StretchEffect = stretch;
  return p;
}

struct PixelCase {
  int w, h;
  bool stretch;
  int x, y;   // destination pixel
  int sx, sy; // source pixel expected there
};

class SkinCompositionTest : public ::testing::TestWithParam<PixelCase> {};

TEST_P(SkinCompositionTest, PixelComesFromTheRightSourcePixel) {
  const PixelCase& c = GetParam();
  TskPicture src = PositionPicture(), dst;
  CreateSkinImage(Params(c.w, c.h, c.stretch), src, dst);
  ASSERT_EQ(dst.Width(), c.w);
  ASSERT_EQ(dst.Height(), c.h);
  EXPECT_EQ(dst.Pixel(c.x, c.y), At(c.sx, c.sy))
      << c.w << "x" << c.h << " at " << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SkinCompositionTest,
    ::testing::Values(
        // Corners stay in place.
        PixelCase{55, 30, false, 0, 0, 0, 0}, PixelCase{55, 30, false, 54, 29, 29, 29},
        PixelCase{55, 30, false, 47, 2, 22, 2}, PixelCase{30, 47, false, 2, 46, 2, 29},
        // Top edge tiles of width 10 from x = 10 to 45: two whole tiles and a 5-pixel part.
        PixelCase{55, 30, false, 10, 1, 10, 1}, PixelCase{55, 30, false, 21, 1, 11, 1},
        PixelCase{55, 30, false, 34, 3, 14, 3}, PixelCase{55, 30, false, 44, 3, 14, 3},
        // Left edge tiles downwards.
        PixelCase{30, 47, false, 1, 22, 1, 12}, PixelCase{30, 47, false, 1, 36, 1, 16},
        // Centre tiled from the client rectangle's corner.
        PixelCase{55, 47, false, 30, 30, 10, 10}, PixelCase{55, 47, false, 5, 5, 5, 5},
        // Stretched top edge: 10 source columns over 30 destination columns.
        PixelCase{50, 30, true, 13, 0, 11, 0}, PixelCase{50, 30, true, 39, 0, 19, 0},
        // Stretched centre 20 -> 40 columns.
        PixelCase{60, 30, true, 10, 10, 7, 10},
        // Same size reproduces the picture.
        PixelCase{30, 30, false, 17, 23, 17, 23}, PixelCase{30, 30, true, 6, 29, 6, 29},
        // Smaller than the picture: right part moves left.
        PixelCase{24, 24, false, 23, 23, 29, 29}));

TEST(SkinComposition, SameSizeReproducesEveryPixel) {
  TskPicture src = PositionPicture();
  for (bool stretch : {false, true}) {
    TskPicture dst;
    CreateSkinImage(Params(30, 30, stretch), src, dst);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x)
        ASSERT_EQ(dst.Pixel(x, y), At(x, y)) << x << "," << y << " stretch " << stretch;
  }
}

TEST(SkinComposition, DegenerateGeometryNeverDividesByZero) {
  TskPicture src = PositionPicture(), dst;
  TskSkinImageParams p = Params(60, 50, false);
  p.Old.RTPoint = p.Old.LTPoint; // zero-length top tile
  p.Old.ClientRect = RECT{5, 5, 5, 5};
  p.New = ScaleSkinGeometry(p.Old, p.R, 60, 50);
  CreateSkinImage(p, src, dst);
  EXPECT_EQ(dst.Width(), 60);
  TskPicture empty;
  CreateSkinImage(Params(40, 40, false), empty, dst);
  EXPECT_EQ(dst.Width(), 40);
  TskPicture h;
  CreateHSkinImage(10, 10, h, false, 15, RECT{0, 0, 20, 5}, src);
  EXPECT_EQ(h.Width(), 15);
}

TEST(SkinComposition, HorizontalStripTiles) {
  TskPicture src = PositionPicture(), dst;
  CreateHSkinImage(5, 5, dst, false, 40, RECT{0, 0, 30, 4}, src);
  ASSERT_EQ(dst.Width(), 40);
  ASSERT_EQ(dst.Height(), 4);
  EXPECT_EQ(dst.Pixel(0, 0), At(0, 0));
  EXPECT_EQ(dst.Pixel(39, 3), At(29, 3));
  EXPECT_EQ(dst.Pixel(5, 1), At(5, 1));
  EXPECT_EQ(dst.Pixel(25, 1), At(5, 1));
}

TEST(SkinRegion, MaskRowGivesOneRectanglePerRun) {
  TskPicture mask(4, 2);
  mask.Fill(RGB(255, 255, 255));
  mask.SetPixel(0, 0, 0);
  mask.SetPixel(1, 0, 0);
  mask.SetPixel(3, 0, 0);
  std::vector<uint8_t> data = CreateRegionFromMask(mask, 10, 20);
  ASSERT_EQ(data.size(), 32u + 2 * 16u);
  auto* hdr = reinterpret_cast<const RGNDATAHEADER*>(data.data());
  EXPECT_EQ(hdr->nCount, 2u);
  EXPECT_EQ(hdr->rcBound.left, 10);
  EXPECT_EQ(hdr->rcBound.bottom, 22);
  auto* rects = reinterpret_cast<const RECT*>(data.data() + 32);
  EXPECT_EQ(rects[0].right - rects[0].left, 2);
  EXPECT_EQ(rects[1].right - rects[1].left, 1);
  EXPECT_TRUE(CreateRegionFromMask(TskPicture(), 0, 0).empty());
}

struct PointCase {
  int x, y;
  bool inside;
};

class SkinMaskRegionTest : public ::testing::TestWithParam<PointCase> {};

// A 20 x 20 mask with one white corner pixel and a white 3-pixel band at the
// top, composed to 40 x 30.
TEST_P(SkinMaskRegionTest, PointInRegion) {
  TskPicture mask(20, 20);
  mask.Fill(0);
  mask.SetPixel(0, 3, RGB(255, 255, 255));
  for (int x = 0; x < 20; ++x)
    for (int y = 0; y < 2; ++y)
      mask.SetPixel(x, y, RGB(255, 255, 255));
  TskSkinGeometry g{{5, 5}, {15, 5}, {5, 15}, {15, 15}, {3, 3, 17, 17}};
  TskSkinGeometry n = ScaleSkinGeometry(g, RECT{0, 0, 20, 20}, 40, 30);
  HRGN rgn = CreateSkinRegion(g, n, 40, 30, mask);
  ASSERT_TRUE(rgn);
  const PointCase& c = GetParam();
  EXPECT_EQ(PtInRegion(rgn, c.x, c.y) != 0, c.inside) << c.x << "," << c.y;
  DeleteObject(rgn);
}

INSTANTIATE_TEST_SUITE_P(Points, SkinMaskRegionTest,
                         ::testing::Values(PointCase{0, 0, false}, PointCase{39, 1, false},
                                           PointCase{0, 2, true}, PointCase{39, 2, true},
                                           PointCase{0, 3, false}, PointCase{1, 3, true},
                                           PointCase{20, 15, true}, PointCase{39, 29, true},
                                           PointCase{40, 29, false}, PointCase{0, 29, true}));

TEST(SkinRegion, WhiteBorderGivesTheClientRectangle) {
  TskPicture mask(20, 20);
  mask.Fill(RGB(255, 255, 255));
  TskSkinGeometry g{{5, 5}, {15, 5}, {5, 15}, {15, 15}, {3, 3, 17, 17}};
  TskSkinGeometry n = ScaleSkinGeometry(g, RECT{0, 0, 20, 20}, 40, 30);
  HRGN rgn = CreateSkinRegion(g, n, 40, 30, mask);
  RECT box{};
  GetRgnBox(rgn, &box);
  EXPECT_TRUE(RectsEqual(box, RECT{3, 3, 37, 27}));
  DeleteObject(rgn);
  // An inverted corner layout gives no region.
  TskSkinGeometry bad = n;
  bad.RTPoint.x = bad.LTPoint.x - 1;
  EXPECT_EQ(CreateSkinRegion(g, bad, 40, 30, mask), nullptr);
}

TEST(SkinRegion, LargeMaskIsNotLimited) {
  // A checkerboard of 200 x 200 gives 20000 runs.
  TskPicture mask(200, 200);
  mask.Fill(RGB(255, 255, 255));
  for (int y = 0; y < 200; ++y)
    for (int x = y % 2; x < 200; x += 2)
      mask.SetPixel(x, y, 0);
  std::vector<uint8_t> data = CreateRegionFromMask(mask, 0, 0);
  EXPECT_EQ(reinterpret_cast<const RGNDATAHEADER*>(data.data())->nCount, 20000u);
  HRGN rgn = MaskBitmapToRegion(mask);
  EXPECT_TRUE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, 1, 0));
  EXPECT_TRUE(PtInRegion(rgn, 199, 199));
  DeleteObject(rgn);
}

// --- effects

struct MorphCase {
  int own, other;
  double kf;
  int expected;
};

class SkinMorphTest : public ::testing::TestWithParam<MorphCase> {};

TEST_P(SkinMorphTest, BlendsEveryChannel) {
  const MorphCase& c = GetParam();
  TskEffectBmp a(3, 2), b(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      a.SetPixel(x, y, RGB(c.own, c.own, c.own));
      b.SetPixel(x, y, RGB(c.other, c.other, c.other));
    }
  a.Morph(b, c.kf);
  EXPECT_EQ(a.Pixel(2, 1), RGB(c.expected, c.expected, c.expected));
}

INSTANTIATE_TEST_SUITE_P(Values, SkinMorphTest,
                         ::testing::Values(MorphCase{10, 20, 0, 10}, MorphCase{10, 20, 1, 20},
                                           MorphCase{10, 20, 0.5, 15}, MorphCase{10, 21, 0.5, 16},
                                           MorphCase{10, 20, 2, 20}, MorphCase{10, 20, -1, 10}));

TEST(SkinEffects, ColourEffects) {
  TskEffectBmp red(1, 1);
  red.SetPixel(0, 0, RGB(255, 0, 0));
  red.GrayScale();
  EXPECT_EQ(red.Pixel(0, 0), RGB(76, 76, 76));
  TskEffectBmp white(1, 1);
  white.SetPixel(0, 0, RGB(255, 255, 255));
  white.GrayScale();
  EXPECT_EQ(white.Pixel(0, 0), RGB(255, 255, 255));
  TskEffectBmp black(1, 1);
  black.ChangeBrightness(0.5);
  EXPECT_EQ(black.Pixel(0, 0), RGB(128, 128, 128));
  TskEffectBmp dark(1, 1);
  dark.SetPixel(0, 0, RGB(200, 200, 200));
  dark.ChangeDarkness(0.3);
  EXPECT_EQ(dark.Pixel(0, 0), RGB(140, 140, 140));
  dark.Invert();
  EXPECT_EQ(dark.Pixel(0, 0), RGB(115, 115, 115));
}

TEST(SkinEffects, SlidesAndPush) {
  const int w = 5;
  auto make = [&](int base) {
    auto b = std::make_unique<TskEffectBmp>(w, 1);
    for (int x = 0; x < w; ++x)
      b->SetPixel(x, 0, RGB(base + x, 0, 0));
    return b;
  };
  auto a = make(0), o = make(100);
  a->MorphLeftSlide(*o, 0);
  EXPECT_EQ(GetRValue(a->Pixel(0, 0)), 104);
  EXPECT_EQ(GetRValue(a->Pixel(1, 0)), 1);
  a = make(0);
  a->MorphRightSlide(*o, 0.4);
  EXPECT_EQ(GetRValue(a->Pixel(3, 0)), 100);
  EXPECT_EQ(GetRValue(a->Pixel(4, 0)), 101);
  EXPECT_EQ(GetRValue(a->Pixel(2, 0)), 2);
  a = make(0);
  a->MorphPush(*o, 0);
  EXPECT_EQ(GetRValue(a->Pixel(0, 0)), 104);
  EXPECT_EQ(GetRValue(a->Pixel(1, 0)), 0);
  EXPECT_EQ(GetRValue(a->Pixel(4, 0)), 3);
  // Different sizes: unchanged.
  a = make(0);
  TskEffectBmp other(4, 1);
  a->Morph(other, 1);
  a->MorphPush(other, 1);
  a->MorphHGrad(other, 1);
  EXPECT_EQ(GetRValue(a->Pixel(4, 0)), 4);
}

TEST(SkinEffects, GradientsEndOnTheOtherImage) {
  for (int kind = 0; kind <= 6; ++kind) {
    TskEffectBmp a(8, 6), b(8, 6);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x)
        b.SetPixel(x, y, RGB(200, 100, 50));
    a.MorphByKind(kind, b, 0.5);
    bool changed = false;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x)
        changed |= a.Pixel(x, y) != 0;
    EXPECT_TRUE(changed) << kind;
  }
  TskEffectBmp one(1, 1), other(1, 1);
  one.MorphLeftGrad(other, 0.5); // a single column never divides by zero
  one.MorphRightGrad(other, 0.5);
  one.MorphVGrad(other, 0.5);
  EXPECT_EQ(one.Pixel(0, 0), 0u);
}

TEST(SkinEffects, NoiseAndFillerBytes) {
  TskEffectBmp n(7, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x)
      n.SetPixel(x, y, RGB(100, 100, 100));
  EXPECT_EQ(n.Stride(), 3 * 7 + 7 % 4);
  n.Row(1)[21] = 0xAB;
  n.Row(1)[23] = 0xCD;
  n.AddNoise(50);
  n.Invert();
  n.SplitBlur(1);
  EXPECT_EQ(n.Row(1)[21], 0xAB);
  EXPECT_EQ(n.Row(1)[23], 0xCD);
  TskEffectBmp m(7, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x)
      m.SetPixel(x, y, RGB(100, 100, 100));
  m.AddNoise(50);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) {
      COLORREF c = m.Pixel(x, y);
      EXPECT_EQ(GetRValue(c), GetGValue(c));
      EXPECT_EQ(GetRValue(c), GetBValue(c));
      EXPECT_GE(GetRValue(c), 75);
      EXPECT_LE(GetRValue(c), 124);
    }
}

TEST(SkinUtils, RectanglesAndLayout) {
  EXPECT_TRUE(RectContainsPoint(RECT{0, 0, 10, 10}, POINT{10, 10}));
  EXPECT_FALSE(RectInRect(RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10}));
  EXPECT_TRUE(RectInRect(RECT{1, 1, 9, 9}, RECT{0, 0, 10, 10}));
  EXPECT_TRUE(IsNullRect(RECT{0, 0, 0, 5}));
  EXPECT_TRUE(IsNullPoint(POINT{0, 7}));
  POINT g, t;
  CalcButtonLayout(RECT{0, 0, 100, 20}, 0, -1, 4, 16, 16, 40, 13, g, t);
  EXPECT_EQ(g.x, 20);
  EXPECT_EQ(t.x, 40);
  CalcButtonLayout(RECT{0, 0, 100, 20}, 0, 3, 4, 16, 16, 40, 13, g, t);
  EXPECT_EQ(g.x, 3);
  EXPECT_EQ(t.x, 23);
  EXPECT_TRUE(IsJpegFileName(L"a.jpeg"));
  EXPECT_FALSE(IsJpegFileName(L"a.JPG"));
}

TEST(SkinPicture, BmpRoundTripAndBadData) {
  TskPicture p = PositionPicture();
  std::vector<uint8_t> bmp = p.SaveToBmpBytes();
  TskPicture q;
  q.LoadFromBmpBytes(bmp.data(), bmp.size());
  ASSERT_EQ(q.Width(), 30);
  EXPECT_EQ(q.Pixel(7, 21), At(7, 21));
  std::vector<uint8_t> cut(bmp.begin(), bmp.begin() + 200);
  EXPECT_THROW(q.LoadFromBmpBytes(cut.data(), cut.size()), ESkinError);
  std::vector<uint8_t> huge = bmp;
  huge[18] = 0xFF;
  huge[19] = 0xFF;
  huge[20] = 0xFF;
  EXPECT_THROW(q.LoadFromBmpBytes(huge.data(), huge.size()), ESkinError);
  EXPECT_EQ(q.Width(), 30); // unchanged after a failure
}

TEST(SkinPicture, DevicesAndPipesNamedAsPicturesAreNotRead) {
  for (const wchar_t* name :
       {L"COM1.bmp", L"C:\\skin\\AUX.jpg", L"\\\\.\\pipe\\skin.bmp", L"NUL", L"\\\\.\\COM1"}) {
    auto t0 = GetTickCount64();
    TskPicture q;
    EXPECT_THROW(q.LoadFromFile(name), ESkinError);
    EXPECT_LT(GetTickCount64() - t0, 1000u);
  }
}

TEST(SkinPicture, CmykJpegLoadsInItsColours) {
  // Left half red, right half blue, top row of the blue half at half ink.
  const int w = 32, h = 16;
  std::vector<uint8_t> cmyk(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &cmyk[(size_t(y) * w + x) * 4];
      // Stored inverted, as Adobe writes CMYK: 255 is no ink.
      bool red = x < w / 2;
      p[0] = red ? 255 : 0;
      p[1] = 0;
      p[2] = red ? 0 : 255;
      p[3] = 255;
    }
  tjhandle tj = tjInitCompress();
  ASSERT_NE(tj, nullptr);
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(tjCompress2(tj, cmyk.data(), w, w * 4, h, TJPF_CMYK, &jpeg, &size, TJSAMP_444, 95, 0),
            0)
      << tjGetErrorStr2(tj);
  TskPicture q;
  q.LoadFromJpegBytes(jpeg, size);
  tjFree(jpeg);
  tjDestroy(tj);
  ASSERT_EQ(q.Width(), w);
  ASSERT_EQ(q.Height(), h);
  COLORREF left = q.Pixel(4, 8), right = q.Pixel(w - 4, 8);
  EXPECT_GT(GetRValue(left), 230);
  EXPECT_LT(GetBValue(left), 25);
  EXPECT_LT(GetGValue(left), 25);
  EXPECT_GT(GetBValue(right), 230);
  EXPECT_LT(GetRValue(right), 25);
}

TEST(SkinPicture, DamagedBmpHeadersAreRefusedNotMisread) {
  TskPicture p = PositionPicture();
  const std::vector<uint8_t> bmp = p.SaveToBmpBytes();
  auto put32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
      b[at + i] = uint8_t(v >> (8 * i));
  };
  auto put16 = [](std::vector<uint8_t>& b, size_t at, unsigned v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"width 1", bmp},
      {"height 1", bmp},
      {"8-bit count", bmp},
      {"16-bit count", bmp},
      {"most negative height", bmp},
      {"half the height", bmp},
  };
  put32(cases[0].bytes, 18, 1);
  put32(cases[1].bytes, 22, 1);
  put16(cases[2].bytes, 28, 8);
  put16(cases[3].bytes, 28, 16);
  put32(cases[4].bytes, 22, 0x80000000u);
  put32(cases[5].bytes, 22, uint32_t(-(p.Height() / 2)));
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    TskPicture q;
    EXPECT_THROW(q.LoadFromBmpBytes(c.bytes.data(), c.bytes.size()), ESkinError);
    EXPECT_EQ(q.Width(), 0);
  }
  // Two bytes of padding at the end, as some writers leave, still load.
  std::vector<uint8_t> padded = bmp;
  padded.push_back(0);
  padded.push_back(0);
  TskPicture q;
  q.LoadFromBmpBytes(padded.data(), padded.size());
  EXPECT_EQ(q.Pixel(7, 21), At(7, 21));
}

} // namespace
