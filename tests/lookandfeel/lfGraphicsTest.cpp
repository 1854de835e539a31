#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/Streams.h"
#include "lookandfeel/lfGraphics.h"
#include "tests/support/Gui.h"

namespace {

std::vector<uint8_t> StreamBytes(TMemoryStream& s) {
  auto* p = static_cast<const uint8_t*>(s.Memory());
  return std::vector<uint8_t>(p, p + s.Size());
}

std::unique_ptr<TBitmap> MakeBitmap(int w, int h) {
  auto bm = std::make_unique<TBitmap>();
  bm->SetPixelFormat(pf24bit);
  bm->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bm->Canvas()->SetPixels(x, y, RGB(x * 40, y * 40, 7));
  return bm;
}

} // namespace

TEST(lfGraphicsStream, RunsOfEqualBytes) {
  std::vector<uint8_t> equal(300, 0x5A);
  EXPECT_EQ(lfCompressBytes(equal), (std::vector<uint8_t>{0x7D, 0x5A, 0x7D, 0x5A, 0x32, 0x5A}));
  EXPECT_EQ(lfCompressBytes({'A', 'B', 'B'}), (std::vector<uint8_t>{0x81, 'A', 0x02, 'B'}));
  EXPECT_EQ(lfCompressBytes({'A', 'B', 'C', 'C', 'D'}),
            (std::vector<uint8_t>{0x82, 'A', 'B', 0x02, 'C', 0x81, 'D'}));
  std::vector<uint8_t> distinct(130);
  for (int i = 0; i < 130; ++i)
    distinct[i] = static_cast<uint8_t>(i);
  auto packed = lfCompressBytes(distinct);
  EXPECT_EQ(packed[0], 0x80 | 125);
  EXPECT_EQ(packed[126], 0x80 | 5);
  EXPECT_EQ(lfDecompressBytes(packed.data(), packed.size()), distinct);
}

TEST(lfGraphicsStream, TruncatedRunsAreRefused) {
  const uint8_t literal[] = {0x85, 1, 2};
  EXPECT_THROW(lfDecompressBytes(literal, sizeof(literal)), EReadError);
  const uint8_t repeat[] = {0x81, 9, 0x05};
  EXPECT_THROW(lfDecompressBytes(repeat, sizeof(repeat)), EReadError);
}

TEST(lfGraphicsStream, CompressedBitmapRoundTrip) {
  TlfCustomBitmap bm(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      bm.Canvas()->SetPixels(x, y, RGB(x * 50, y * 80, 1));
  bm.CompressData = true;
  TMemoryStream s;
  bm.SaveToStream(&s);
  auto bytes = StreamBytes(s);
  ASSERT_GE(bytes.size(), 10u);
  uint32_t len;
  std::memcpy(&len, bytes.data(), 4);
  EXPECT_EQ(len, bytes.size() - 10);
  EXPECT_EQ(std::memcmp(bytes.data() + 4, "XDBM", 4), 0);
  EXPECT_EQ(bytes[8], 1);
  EXPECT_EQ(bytes[9], 0);
  s.SetPosition(0);
  TlfCustomBitmap back;
  back.LoadFromStream(&s);
  ASSERT_EQ(back.Width(), 5);
  ASSERT_EQ(back.Height(), 3);
  EXPECT_EQ(back.Canvas()->Pixels(4, 2), static_cast<TColor>(RGB(200, 160, 1)));
  // Without the signature the plain bitmap data is read.
  TMemoryStream plain;
  bm.CompressData = false;
  bm.SaveToStream(&plain);
  plain.SetPosition(0);
  TlfCustomBitmap back2;
  back2.LoadFromStream(&plain);
  EXPECT_EQ(back2.Canvas()->Pixels(1, 1), static_cast<TColor>(RGB(50, 80, 1)));
}

TEST(lfGraphicsStream, LengthsBeyondTheStreamAreRefused) {
  TlfCustomBitmap bm(4, 4);
  bm.CompressData = true;
  TMemoryStream s;
  bm.SaveToStream(&s);
  auto bytes = StreamBytes(s);
  // Stated length larger than what follows.
  {
    auto cut = bytes;
    cut.resize(cut.size() - 3);
    TMemoryStream t;
    t.WriteBuffer(cut.data(), static_cast<long>(cut.size()));
    t.SetPosition(0);
    TlfCustomBitmap b;
    EXPECT_THROW(b.LoadFromStream(&t), EReadError);
    EXPECT_EQ(b.Width(), 0);
  }
  {
    auto huge = bytes;
    uint32_t len = 0x7FFFFFF0;
    std::memcpy(huge.data(), &len, 4);
    TMemoryStream t;
    t.WriteBuffer(huge.data(), static_cast<long>(huge.size()));
    t.SetPosition(0);
    TlfCustomBitmap b;
    EXPECT_THROW(b.LoadFromStream(&t), EReadError);
  }
  {
    // Only the header.
    TMemoryStream t;
    t.WriteBuffer(bytes.data(), 10);
    t.SetPosition(0);
    TlfCustomBitmap b;
    EXPECT_ANY_THROW(b.LoadFromStream(&t));
  }
}

TEST(lfGraphicsBitmap, ChangeNotificationsAreBatched) {
  TlfCustomBitmap bm(2, 2);
  int changes = 0;
  bm.OnChange = [&](TObject*) { ++changes; };
  bm.BeginChange();
  bm.SetSize(3, 3);
  bm.SetSize(4, 4);
  EXPECT_EQ(changes, 0);
  bm.EndChange();
  EXPECT_EQ(changes, 1);
  bm.BeginChange();
  bm.EndChange();
  EXPECT_EQ(changes, 1);
  bm.BeginChange();
  bm.EndChange(true);
  EXPECT_EQ(changes, 2);
}

TEST(lfGraphicsBitmap, RotationsAndFlip) {
  // 3 x 2 source; pixel (x, y) keeps x * 40 in red and y * 40 in green.
  auto px = [](int x, int y) { return static_cast<TColor>(RGB(x * 40, y * 40, 7)); };
  struct Case {
    int mode;
    bool flip;
    int w, h;
    int sx, sy; // the source pixel that lands at the new top-left
  } cases[] = {{1, false, 2, 3, 2, 0}, {2, false, 2, 3, 0, 1}, {3, false, 3, 2, 2, 1},
               {0, true, 3, 2, 0, 1},  {1, true, 2, 3, 0, 0},  {3, true, 3, 2, 2, 0}};
  for (auto c : cases) {
    auto bm = MakeBitmap(3, 2);
    RotateBitmap(bm.get(), c.mode, c.flip);
    ASSERT_EQ(bm->Width(), c.w) << c.mode << c.flip;
    ASSERT_EQ(bm->Height(), c.h);
    EXPECT_EQ(bm->Canvas()->Pixels(0, 0), px(c.sx, c.sy)) << c.mode << c.flip;
  }
  auto same = MakeBitmap(3, 2);
  RotateBitmap(same.get(), 0, false);
  EXPECT_EQ(same->Canvas()->Pixels(0, 1), px(0, 1));
}

TEST(lfGraphicsBitmap, Filters) {
  auto pixel = [](TlfBitmap& b, int x, int y) {
    return *reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(b.ScanLine(y)) + x * 4);
  };
  auto set = [](TlfBitmap& b, int x, int y, uint32_t v) {
    GdiFlush();
    *reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(b.ScanLine(y)) + x * 4) = v;
  };
  struct Case {
    TlfBitmapFilter kind;
    uint32_t in, out;
  } cases[] = {
      {bfLighten, 0xFF000000, 0xFF4D4D4D},     // 0 + 255 * 3 / 10, rounded
      {bfLighten, 0x80FF0000, 0x64C80000},     // all four * 200 / 255
      {bfGreyAverage, 0xFF30C060, 0xFF707070}, // (0x30 + 0xC0 + 0x60) / 3
      {bfOpaque, 0x00123456, 0xFF123456},          {bfGrey, 0xFFFF0000, 0xFF4C4C4C}, // 0.299 * 255
      {bfGreyGreen, 0xFF00FF00, 0xFFB6B6B6},                                         // 0.7146 * 255
      {bfAlphaZeroOpaque, 0x00123456, 0xFF123456}, {bfAlphaZeroOpaque, 0x10123456, 0x10123456},
      {bfTransparent, 0xFF123456, 0x00123456},     {bfMask, 0xFF123456, 0x00000000},
  };
  for (auto c : cases) {
    TlfBitmap b(2, 1);
    set(b, 0, 0, c.in);
    b.ApplyFilter(c.kind);
    GdiFlush();
    EXPECT_EQ(pixel(b, 0, 0), c.out) << int(c.kind) << std::hex << " " << c.in;
  }
  // Transparent colours stay, and the mask marks them.
  TlfBitmap t(2, 1);
  set(t, 0, 0, 0xFF00FF00);
  set(t, 1, 0, 0xFF102030);
  t.TransparentColors()->Add(0xFF00FF00);
  t.ApplyFilter(bfGreyAverage);
  EXPECT_EQ(pixel(t, 0, 0), 0xFF00FF00u);
  t.ApplyFilter(bfMask);
  EXPECT_EQ(pixel(t, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(pixel(t, 1, 0), 0x00000000u);
  // Fill colour clears.
  TlfBitmap f(3, 3);
  f.FillColor = 0xFF102030;
  f.ClearBitmap();
  EXPECT_EQ(pixel(f, 2, 2), 0xFF102030u);
  // Hatch: squares of the step alternate.
  TlfBitmap h(4, 4);
  h.HatchColor1 = 0xFFFF0000;
  h.HatchColor2 = 0xFF0000FF;
  h.HatchAlpha1 = h.HatchAlpha2 = 255;
  h.HatchStep = 2;
  h.ApplyFilter(bfHatch);
  EXPECT_EQ(pixel(h, 0, 3), 0xFFFF0000u); // bottom-up row 0
  EXPECT_EQ(pixel(h, 2, 3), 0xFF0000FFu);
  EXPECT_EQ(pixel(h, 2, 1), 0xFFFF0000u);
}

TEST(lfGraphicsBitmap, BlendPixel) {
  EXPECT_EQ(BlendPixel(0xFF102030, 0xFFFFFFFF, 255), 0xFF102030u);
  EXPECT_EQ(BlendPixel(0xFF102030, 0xFF405060, 0), 0xFF405060u);
  EXPECT_EQ(BlendPixel(0x00FFFFFF, 0x80000000, 255), 0x80FFFFFFu);
  EXPECT_EQ(ColorToARGB(0x0000FF, 0x80), 0x80FF0000u);
}

TEST(lfGraphicsCanvas, FillPatternTilesFromTheOriginAlsoLeftOfIt) {
  TBitmap tile;
  tile.SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      tile.Canvas()->SetPixels(x, y, RGB(x * 30, y * 30, 0));
  TBitmap target;
  target.SetSize(40, 40);
  TlfCanvas c(target.Canvas());
  SetWindowOrgEx(target.Canvas()->Handle(), -20, -20, nullptr); // logical -20 at pixel 0
  c.FillPattern(TRect(-13, -13, 17, 9), &tile);
  SetWindowOrgEx(target.Canvas()->Handle(), 0, 0, nullptr);
  auto at = [&](int lx, int ly) { return target.Canvas()->Pixels(lx + 20, ly + 20); };
  // Logical (-13, -13) lies at (3, 3) of the tile that starts at -16.
  EXPECT_EQ(at(-13, -13), static_cast<TColor>(RGB(3 * 30, 3 * 30, 0)));
  EXPECT_EQ(at(-1, -1), static_cast<TColor>(RGB(7 * 30, 7 * 30, 0)));
  EXPECT_EQ(at(0, 0), static_cast<TColor>(RGB(0, 0, 0)));
  EXPECT_EQ(at(16, 8), static_cast<TColor>(RGB(0, 0, 0)));
  EXPECT_EQ(at(3, 5), static_cast<TColor>(RGB(90, 150, 0)));
}

TEST(lfGraphicsCanvas, FillColorAndFrames) {
  TBitmap bm;
  bm.SetSize(10, 10);
  TlfCanvas c(bm.Canvas());
  c.FillColor(TRect(0, 0, 10, 10), 0x0000FF);
  c.FillColor(TRect(0, 0, 10, 10), clNone);
  EXPECT_EQ(bm.Canvas()->Pixels(5, 5), 0x0000FFu);
  c.SetBrushColor(0x00FF00);
  c.FillColor(TRect(0, 0, 2, 2), clDefault);
  EXPECT_EQ(bm.Canvas()->Pixels(1, 1), 0x00FF00u);
  c.FrameBands(TRect(2, 2, 5, 5), 0xFF0000, false, lfAllBorders, 10);
  EXPECT_EQ(bm.Canvas()->Pixels(3, 3), 0xFF0000u); // a band wider than R fills it
  EXPECT_EQ(bm.Canvas()->Pixels(5, 5), 0x0000FFu);
  c.FrameSides(TRect(0, 0, 10, 10), 0x111111, 0x222222);
  EXPECT_EQ(bm.Canvas()->Pixels(0, 5), 0x111111u);
  EXPECT_EQ(bm.Canvas()->Pixels(5, 0), 0x111111u);
  EXPECT_EQ(bm.Canvas()->Pixels(9, 5), 0x222222u);
  EXPECT_EQ(bm.Canvas()->Pixels(5, 9), 0x222222u);
  // Exclusion keeps later fills out (the area itself takes the brush first).
  c.FillPattern(TRect(6, 6, 8, 8), nullptr, true);
  c.FillColor(TRect(0, 0, 10, 10), 0x333333);
  EXPECT_EQ(bm.Canvas()->Pixels(7, 7), 0x222222u);
  EXPECT_EQ(bm.Canvas()->Pixels(2, 2), 0x333333u);
}

TEST(lfGraphicsCanvas, StatesAndText) {
  TBitmap bm;
  bm.SetSize(100, 30);
  TlfCanvas c(bm.Canvas());
  c.PopState(); // nothing saved: ignored
  c.PushState();
  c.ClipOut(TRect(0, 0, 50, 30));
  c.FillColor(TRect(0, 0, 100, 30), 0x00FF00);
  c.PopState();
  EXPECT_NE(bm.Canvas()->Pixels(10, 10), 0x00FF00u);
  EXPECT_EQ(bm.Canvas()->Pixels(60, 10), 0x00FF00u);
  EXPECT_EQ(c.SavedStateCount(), 0);
  TRect r(0, 0, 100, 30);
  c.MeasureText(L"Hi", r, 0x40 | 0x4);
  EXPECT_GT(r.Width(), 0);
  EXPECT_EQ(r.Left, (100 - r.Width()) / 2); // centred
  EXPECT_EQ(TranslateTextFlags(0), static_cast<UINT>(DT_NOPREFIX));
  EXPECT_EQ(TranslateTextFlags(0x200 | 0x400), static_cast<UINT>(DT_WORDBREAK | DT_EDITCONTROL));
  EXPECT_EQ(TranslateTextFlags(0x400 | 0x4000), static_cast<UINT>(DT_NOPREFIX | DT_WORDBREAK));
  EXPECT_EQ(TranslateTextFlags(0x2 | 0x24 | 0x40),
            static_cast<UINT>(DT_NOPREFIX | DT_RIGHT | DT_CENTER | DT_VCENTER | DT_SINGLELINE));
}

TEST(lfGraphicsCanvas, DisabledTextIsDrawnTwice) {
  TBitmap bm;
  bm.SetSize(60, 20);
  TlfCanvas c(bm.Canvas());
  c.FillColor(TRect(0, 0, 60, 20), 0x400000);
  c.Brush()->SetStyle(bsClear);
  c.DrawTextInRect(L"III", TRect(0, 0, 60, 20), 0x40, false);
  // Text may be smoothed: compare with a tolerance.
  auto similar = [](TColor a, TColor b) {
    for (int sh = 0; sh < 24; sh += 8)
      if (std::abs(int((a >> sh) & 0xFF) - int((b >> sh) & 0xFF)) > 12) return false;
    return true;
  };
  int shadow = 0, light = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      TColor p = bm.Canvas()->Pixels(x, y);
      shadow += similar(p, ColorToRGB(clBtnShadow));
      light += similar(p, ColorToRGB(clBtnHighlight));
    }
  EXPECT_GT(shadow, 0);
  EXPECT_GT(light, 0);
}

TEST(lfGraphics, NamedColoursAndSharedBrushes) {
  const auto& t = lfColorTable();
  ASSERT_EQ(t.size(), 168u);
  EXPECT_STREQ(t[0].Name, L"aliceblue");
  EXPECT_EQ(t[0].Color, 0xFFF8F0u);
  EXPECT_STREQ(t[139].Name, L"yellowgreen");
  EXPECT_EQ(t[139].Color, 0x32CD9Au);
  TColor c = 0;
  EXPECT_TRUE(lfColorByName(L"ThreeDFace", c));
  EXPECT_EQ(c, clBtnFace);
  EXPECT_FALSE(lfColorByName(L"nocolour", c));
  lfGraphicsInitialize();
  ASSERT_NE(lfHalftoneBrush(), nullptr);
  EXPECT_NE(lfHalftoneBrush()->Handle(), nullptr);
  ASSERT_NE(lfSystemBrush(30), nullptr);
  EXPECT_EQ(lfSystemBrush(31), nullptr);
  EXPECT_EQ(lfSystemBrush(COLOR_WINDOW)->Color(), clWindow);
  EXPECT_NE(lfAlphaBlend(), nullptr);
  EXPECT_NE(GetScreenCanvas()->Handle(), nullptr);
  lfGraphicsFinalize();
  EXPECT_EQ(lfHalftoneBrush(), nullptr);
  EXPECT_EQ(lfAlphaBlend(), nullptr);
}

TEST(lfGraphicsCanvas, ParentPaintedBehindAControl) {
  TForm* form = new TForm(nullptr);
  form->SetBounds(30, 30, 200, 120);
  form->SetColor(clRed);
  auto* sibling = new TPanel(form);
  sibling->SetParent(form);
  sibling->SetBevelOuter(bvNone);
  sibling->SetColor(clBlue);
  sibling->SetBounds(10, 10, 30, 30);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(20, 20, 60, 20);
  form->Show();
  testsupport::PumpFor(50);
  for (bool siblings : {false, true}) {
    TBitmap bm;
    bm.SetSize(60, 20);
    bm.Canvas()->Brush()->SetColor(clWhite);
    bm.Canvas()->FillRect(TRect(0, 0, 60, 20));
    PaintParentIntoCanvas(edit, bm.Canvas(), TRect(0, 0, 60, 20), siblings);
    // (5, 5) of the edit is (25, 25) of the form: under the panel.
    EXPECT_EQ(bm.Canvas()->Pixels(5, 5), siblings ? 0xFF0000u : 0x0000FFu) << siblings;
    EXPECT_EQ(bm.Canvas()->Pixels(40, 10), 0x0000FFu) << siblings; // beside the panel
  }
  delete form;
}
