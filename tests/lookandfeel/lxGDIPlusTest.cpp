#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "framework/Streams.h"
#include "lookandfeel/lxGDIPlusAPI.h"
#include "lookandfeel/lxGDIPlusClasses.h"

namespace {

class StandInPicture : public TBitmap {};

// GDI+ units started as the library's start-up starts them.
struct GdiPlusUnits {
  GdiPlusUnits() {
    lxGDIPlusAPIInitialize();
    lxGDIPlusClassesInitialize();
  }
  ~GdiPlusUnits() {
    lxGDIPlusClassesFinalize();
    lxGDIPlusAPIFinalize();
  }
};

std::unique_ptr<TBitmap> Sample(int w, int h) {
  auto bm = std::make_unique<TBitmap>();
  bm->SetPixelFormat(pf24bit);
  bm->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bm->Canvas()->SetPixels(x, y, RGB(x * 20, y * 20, 99));
  return bm;
}

std::wstring GraphicClassFor(const wchar_t* ext) {
  std::unique_ptr<TGraphic> g(TPicture::CreateGraphicForExtension(ext));
  return g ? g->ClassName() : L"";
}

} // namespace

TEST(lxGDIPlus, PngFormatHandedOverAndBack) {
  TPicture::RegisterFileFormat(L"PNG", L"Stand-in", L"StandInPicture",
                               [] { return static_cast<TGraphic*>(new StandInPicture); });
  {
    GdiPlusUnits units;
    ASSERT_TRUE(GdiPlusUsable());
    EXPECT_TRUE(lxImageClassIsGdiPlus());
    EXPECT_EQ(GraphicClassFor(L"png"), L"TlxPNGImage");
    EXPECT_NE(FindClass(L"TlxPNGImage"), nullptr);
    CLSID zero{};
    EXPECT_NE(std::memcmp(&PngEncoderClassId(), &zero, sizeof(CLSID)), 0);
  }
  EXPECT_EQ(GraphicClassFor(L"png"), L"StandInPicture");
  EXPECT_EQ(FindClass(L"TlxPNGImage"), nullptr);
  EXPECT_FALSE(GdiPlusLoaded());
  TPicture::UnregisterGraphicClass(L"StandInPicture");
}

TEST(lxGDIPlus, EveryFunctionBindsOrNone) {
  GdiPlusUnits units;
  ASSERT_TRUE(GdiPlusUsable());
  for (int i = 0; i < gpFunctionCount; ++i)
    EXPECT_NE(lxGdipFunction(static_cast<TlxGdipFunction>(i)), nullptr) << lxGdipFunctionNames[i];
  CLSID id{};
  EXPECT_EQ(FindEncoder(L"IMAGE/PNG", id), 0);
  EXPECT_NE(FindEncoder(L"image/none", id), 0);
}

TEST(lxGDIPlus, WithoutGdiPlusNothingIsRegistered) {
  lxGdiPlusDisabled = true;
  {
    GdiPlusUnits units;
    EXPECT_FALSE(GdiPlusUsable());
    EXPECT_FALSE(lxImageClassIsGdiPlus());
    EXPECT_EQ(GraphicClassFor(L"png"), L"");
    TlxPNGImage png;
    auto bm = Sample(4, 4);
    png.Assign(bm.get());
    EXPECT_TRUE(png.Empty());
    EXPECT_TRUE(png.SaveToBytes().empty());
  }
  lxGdiPlusDisabled = false;
  EXPECT_FALSE(GdiPlusLoaded());
}

TEST(lxGDIPlus, PngRoundTripAndSameImage) {
  GdiPlusUnits units;
  auto bm = Sample(6, 5);
  TlxPNGImage a;
  a.Assign(bm.get());
  EXPECT_EQ(a.Width(), 6);
  EXPECT_EQ(a.Height(), 5);
  EXPECT_TRUE(a.Transparent());
  auto png = a.SaveToBytes();
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::memcmp(png.data(), "\x89PNG", 4), 0);
  TlxPNGImage b;
  b.LoadFromBytes(png);
  EXPECT_EQ(b.Width(), 6);
  EXPECT_TRUE(a.IsSameImage(&b));
  std::unique_ptr<TBitmap> back(b.CreateBitmap());
  EXPECT_EQ(back->Canvas()->Pixels(5, 4), static_cast<TColor>(RGB(100, 80, 99)));
  TlxPNGImage c;
  c.Assign(&b); // a copy of another picture's image
  EXPECT_TRUE(c.IsSameImage(&a));
  auto other = Sample(6, 5);
  other->Canvas()->SetPixels(0, 0, 0x0000FF);
  TlxPNGImage d;
  d.Assign(other.get());
  EXPECT_FALSE(d.IsSameImage(&a));
  TBitmap target;
  target.Assign(&a); // the picture hands itself over as a bitmap
  EXPECT_EQ(target.Width(), 6);
}

TEST(lxGDIPlus, StreamsOfEveryKind) {
  GdiPlusUnits units;
  // A bitmap stream is read as a bitmap and converted.
  auto bm = Sample(3, 3);
  auto bmp = bm->SaveToBytes();
  TlxPNGImage a;
  a.LoadFromBytes(bmp);
  EXPECT_EQ(a.Width(), 3);
  std::unique_ptr<TBitmap> back(a.CreateBitmap());
  EXPECT_EQ(back->Canvas()->Pixels(2, 1), static_cast<TColor>(RGB(40, 20, 99)));
  // Empty and short streams give an empty picture.
  TMemoryStream empty;
  a.LoadFromStream(&empty);
  EXPECT_TRUE(a.Empty());
  EXPECT_EQ(a.Width(), 0);
  a.LoadFromBytes({'x', 'y', 'z'});
  EXPECT_TRUE(a.Empty());
  // Nothing to save: nothing written.
  TMemoryStream out;
  a.SetImage(nullptr);
  a.SaveToStream(&out);
  EXPECT_EQ(out.Size(), 0);
  // Many images read from streams, each keeping its own block.
  for (int i = 0; i < 50; ++i) {
    TlxPNGImage png;
    TlxPNGImage src;
    src.Assign(bm.get());
    png.LoadFromBytes(src.SaveToBytes());
    EXPECT_EQ(png.Width(), 3);
  }
}

TEST(lxGDIPlus, DrawSourceShrinksWhenStretched) {
  EXPECT_EQ(lxDrawSourceRect(TRect(0, 0, 20, 20), TRect(0, 0, 10, 10)), TRect(0, 0, 9, 9));
  EXPECT_EQ(lxDrawSourceRect(TRect(0, 0, 5, 5), TRect(0, 0, 10, 10)), TRect(0, 0, 10, 10));
  EXPECT_EQ(lxDrawSourceRect(TRect(0, 0, 20, 5), TRect(0, 0, 1, 10)), TRect(0, 0, 1, 10));
  GdiPlusUnits units;
  auto bm = Sample(10, 10);
  TlxPNGImage png;
  png.Assign(bm.get());
  TBitmap canvas;
  canvas.SetPixelFormat(pf32bit);
  canvas.SetSize(20, 20);
  png.Draw(canvas.Canvas(), TRect(0, 0, 20, 20));
  GdiFlush();
  // The far corner shows the image's last pixels (red 160 to 180), not an
  // edge faded towards the empty background.
  TColor corner = canvas.Canvas()->Pixels(19, 19);
  EXPECT_GE(static_cast<int>(corner & 0xFF), 150);
  EXPECT_NEAR(static_cast<int>((corner >> 16) & 0xFF), 99, 8);
}

TEST(lxGDIPlus, LoaderRunsShutDownsLastFirst) {
  static std::vector<int> order;
  order.clear();
  TlxUnitsLoader loader;
  loader.RegisterUnitRoutines([] { order.push_back(1); }, [] { order.push_back(-1); });
  loader.RegisterUnitRoutines(nullptr, [] { order.push_back(-2); });
  auto third = [] { order.push_back(-3); };
  loader.RegisterUnitRoutines([] { order.push_back(3); }, third);
  loader.WithdrawShutDown(third);
  loader.WithdrawShutDown(third); // only once
  loader.RunShutDowns();
  EXPECT_EQ(order, (std::vector<int>{1, 3, -3, -2, -1}));
}

TEST(lxGDIPlus, StreamMemoryGoesWithTheImage) {
  GdiPlusUnits units;
  // A large picture that compresses badly, so that a kept copy shows.
  TBitmap noise;
  noise.SetPixelFormat(pf32bit);
  noise.SetSize(512, 512);
  uint32_t seed = 12345;
  for (int y = 0; y < 512; ++y) {
    auto* row = static_cast<uint32_t*>(noise.ScanLine(y));
    for (int x = 0; x < 512; ++x)
      row[x] = (seed = seed * 1103515245 + 12345) | 0xFF000000;
  }
  TlxPNGImage source;
  source.Assign(&noise);
  std::vector<uint8_t> png = source.SaveToBytes();
  ASSERT_GT(png.size(), 500000u);
  // Committed private memory of the process, from its address space.
  auto privateBytes = [] {
    int64_t total = 0;
    MEMORY_BASIC_INFORMATION mbi{};
    for (char* p = nullptr; VirtualQuery(p, &mbi, sizeof(mbi)) == sizeof(mbi);
         p = static_cast<char*>(mbi.BaseAddress) + mbi.RegionSize)
      if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
    return total;
  };

  {
    TlxPNGImage warm;
    warm.LoadFromBytes(png);
  }
  int64_t before = privateBytes();
  for (int i = 0; i < 40; ++i) {
    TlxPNGImage image;
    image.LoadFromBytes(png);
    ASSERT_EQ(image.Width(), 512);
  }
  // Forty kept copies would be some 40 MB.
  EXPECT_LT(privateBytes() - before, 12 * 1024 * 1024);
}
