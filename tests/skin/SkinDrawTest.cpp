// Drawing routines of the skin toolbox: glyph and caption layout, border
// pictures of a frame, and a parent's background painted behind a control.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "skin/SkUtils.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255),
               kGreen = RGB(0, 255, 0), kYellow = RGB(255, 255, 0);

std::unique_ptr<TBitmap> Canvas(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(kWhite);
  b->Canvas()->FillRect(TRect(0, 0, w, h));
  b->Canvas()->Font()->SetColor(0);
  return b;
}

COLORREF At(TBitmap& b, int x, int y) {
  GdiFlush();
  return b.Canvas()->Pixels(x, y) & 0xFFFFFF;
}

// An image list of one 8 x 8 red image.
std::unique_ptr<TImageList> RedImages() {
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetSize(8, 8);
  TBitmap red;
  red.SetPixelFormat(pf24bit);
  red.SetSize(8, 8);
  red.Canvas()->Brush()->SetColor(kRed);
  red.Canvas()->FillRect(TRect(0, 0, 8, 8));
  list->AddMasked(&red, RGB(255, 0, 255));
  return list;
}

struct LayoutCase {
  int layout, margin;
  bool pressed;
  int x, y; // expected glyph origin in a 60 x 40 rectangle
};

class SkinImageLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SkinImageLayoutTest, ImageLandsWhereTheLayoutSays) {
  const LayoutCase& c = GetParam();
  auto images = RedImages();
  auto b = Canvas(60, 40);
  DrawImageAndText(b->Canvas(), RECT{0, 0, 60, 40}, c.margin, kBlue, false, true, c.pressed,
                   images.get(), 0, L"", c.layout, 4);
  EXPECT_EQ(At(*b, c.x, c.y), kRed);
  EXPECT_EQ(At(*b, c.x + 7, c.y + 7), kRed);
  EXPECT_EQ(At(*b, c.x - 1, c.y), kWhite);
  EXPECT_EQ(At(*b, c.x + 8, c.y + 7), kWhite);
  EXPECT_EQ(At(*b, c.x, c.y - 1), kWhite);
  EXPECT_EQ(At(*b, c.x, c.y + 8), kWhite);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, SkinImageLayoutTest,
    ::testing::Values(LayoutCase{0, 2, false, 2, 16}, LayoutCase{1, 2, false, 50, 16},
                      LayoutCase{2, 3, false, 26, 3}, LayoutCase{3, 3, false, 26, 29},
                      LayoutCase{0, -1, false, 24, 16}, LayoutCase{3, -1, false, 26, 18},
                      LayoutCase{0, 2, true, 3, 17}, LayoutCase{2, -1, true, 27, 15}));

TEST(SkinDraw, CentredPairOfImageAndCaption) {
  // A 16-pixel image, spacing 4 and a 40-pixel caption: the 60-pixel pair is centred.
  POINT g{}, t{};
  CalcButtonLayout(RECT{0, 0, 100, 30}, 0, -1, 4, 16, 16, 40, 12, g, t);
  EXPECT_EQ(g.x, 20);
  EXPECT_EQ(t.x, 40);

  auto images = RedImages();
  auto b = Canvas(100, 40);
  HDC dc = b->Canvas()->Handle();
  HGDIOBJ old = SelectObject(dc, b->Canvas()->Font()->Handle());
  RECT tr{0, 0, 100 - 8, 40};
  DrawTextW(dc, L"Play", 4, &tr, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  SelectObject(dc, old);
  int tw = tr.right, half = (8 + 4 + tw) / 2;
  DrawImageAndText(b->Canvas(), RECT{0, 0, 100, 40}, -1, kBlue, false, true, false, images.get(), 0,
                   L"Play", 0, 4);
  int gx = 50 - half;
  EXPECT_EQ(At(*b, gx, 20), kRed);
  EXPECT_EQ(At(*b, gx - 1, 20), kWhite);
  // The caption is drawn right of the image and nowhere left of it.
  int dark = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      COLORREF p = At(*b, x, y);
      if (p == kWhite || p == kRed) continue;
      ++dark;
      EXPECT_GE(x, gx + 8 + 4 - 1) << x << "," << y;
      EXPECT_LE(x, 50 + half + 2) << x << "," << y;
    }
  EXPECT_GT(dark, 0);
}

TEST(SkinDraw, DisabledImageIsGreyed) {
  auto images = RedImages();
  auto b = Canvas(60, 40);
  DrawImageAndText(b->Canvas(), RECT{0, 0, 60, 40}, 2, kBlue, false, false, false, images.get(), 0,
                   L"", 0, 4);
  COLORREF p = At(*b, 5, 20);
  EXPECT_NE(p, kRed);
  EXPECT_EQ(GetRValue(p), GetGValue(p));
  EXPECT_EQ(GetGValue(p), GetBValue(p));
  EXPECT_NE(p, kWhite);
}

TEST(SkinDraw, MarksUnderImageCaptionOrAsBar) {
  auto images = RedImages();
  // Under the image: three lines, the last one below it.
  auto b = Canvas(60, 40);
  DrawImageAndText(b->Canvas(), RECT{0, 0, 60, 40}, 2, kBlue, true, true, false, images.get(), 0,
                   L"", 0, 4);
  for (int y : {22, 23, 24})
    for (int x : {2, 9})
      EXPECT_EQ(At(*b, x, y), kBlue) << x << "," << y;
  EXPECT_EQ(At(*b, 2, 21), kRed);
  EXPECT_EQ(At(*b, 10, 24), kWhite);
  EXPECT_EQ(At(*b, 2, 25), kWhite);

  // Neither image nor caption: a bar, one pixel lower when pressed.
  struct Bar {
    bool pressed;
    RECT r;
  };
  for (const Bar& bar : {Bar{false, {4, 4, 58, 36}}, Bar{true, {4, 5, 58, 37}}}) {
    auto c = Canvas(60, 40);
    DrawImageAndText(c->Canvas(), RECT{0, 0, 60, 40}, 2, kBlue, true, true, bar.pressed, nullptr, 0,
                     L"", 0, 4);
    EXPECT_EQ(At(*c, bar.r.left, bar.r.top), kBlue);
    EXPECT_EQ(At(*c, bar.r.right - 1, bar.r.bottom - 1), kBlue);
    EXPECT_EQ(At(*c, bar.r.left - 1, bar.r.top), kWhite);
    EXPECT_EQ(At(*c, bar.r.left, bar.r.top - 1), kWhite);
    EXPECT_EQ(At(*c, bar.r.right, bar.r.bottom - 1), kWhite);
    EXPECT_EQ(At(*c, bar.r.left, bar.r.bottom), kWhite);
  }

  // Under the caption when there is no image: from its left to its right,
  // at its bottom - 1, bottom and bottom + 1.
  {
    auto t = Canvas(100, 40);
    HDC dc = t->Canvas()->Handle();
    HGDIOBJ old = SelectObject(dc, t->Canvas()->Font()->Handle());
    RECT tr{0, 0, 100, 40};
    DrawTextW(dc, L"Play", 4, &tr, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    SelectObject(dc, old);
    int tw = tr.right, th = tr.bottom;
    int tx = 50 + tw / 2 - tw, bottom = 20 - th / 2 + th;
    DrawImageAndText(t->Canvas(), RECT{0, 0, 100, 40}, -1, kBlue, true, true, false, nullptr, 0,
                     L"Play", 0, 4);
    for (int y : {bottom - 1, bottom, bottom + 1}) {
      EXPECT_EQ(At(*t, tx, y), kBlue) << y;
      EXPECT_EQ(At(*t, tx + tw + 1, y), kBlue) << y;
      EXPECT_EQ(At(*t, tx - 1, y), kWhite) << y;
      EXPECT_EQ(At(*t, tx + tw + 2, y), kWhite) << y;
    }
    EXPECT_EQ(At(*t, tx, bottom + 2), kWhite);
  }

  // An image index outside the list counts as no image.
  auto d = Canvas(60, 40);
  DrawImageAndText(d->Canvas(), RECT{0, 0, 60, 40}, 2, kBlue, true, true, false, images.get(), 5,
                   L"", 0, 4);
  EXPECT_EQ(At(*d, 4, 4), kBlue);
}

// A strip of three 6 x 6 cells: green, red with yellow key pixels, blue.
std::unique_ptr<TBitmap> Strip() {
  auto s = std::make_unique<TBitmap>();
  s->SetPixelFormat(pf24bit);
  s->SetSize(18, 6);
  COLORREF cells[] = {kGreen, kRed, kBlue};
  for (int i = 0; i < 3; ++i) {
    s->Canvas()->Brush()->SetColor(cells[i]);
    s->Canvas()->FillRect(TRect(i * 6, 0, i * 6 + 6, 6));
  }
  s->Canvas()->SetPixels(6, 5, kYellow); // bottom-left of cell 2: its key colour
  s->Canvas()->SetPixels(8, 2, kYellow);
  return s;
}

TEST(SkinDraw, GlyphCellsOfAStrip) {
  auto strip = Strip();
  auto b = Canvas(40, 20);
  DrawGlyphAndText(b->Canvas(), RECT{0, 0, 40, 20}, 1, kBlue, false, true, false, strip.get(), 3, 2,
                   L"", 0, 0);
  // Cell 2 at (1, 7): red, its key colour left out.
  EXPECT_EQ(At(*b, 1 + 1, 7 + 1), kRed);
  EXPECT_EQ(At(*b, 1 + 2, 7 + 2), kWhite);
  EXPECT_EQ(At(*b, 1, 7 + 5), kWhite);
  EXPECT_EQ(At(*b, 1 + 5, 7 + 5), kRed);
  EXPECT_EQ(At(*b, 1 + 6, 7 + 1), kWhite);

  // Numbers outside the strip draw nothing; the mark still spans one cell.
  for (int n : {0, 4}) {
    auto c = Canvas(40, 20);
    DrawGlyphAndText(c->Canvas(), RECT{0, 0, 40, 20}, 1, kBlue, true, true, false, strip.get(), 3,
                     n, L"", 0, 0);
    EXPECT_EQ(At(*c, 2, 8), kWhite) << n;
    EXPECT_EQ(At(*c, 1, 7 + 6), kBlue) << n;
    EXPECT_EQ(At(*c, 6, 7 + 6), kBlue) << n;
    EXPECT_EQ(At(*c, 7, 7 + 6), kWhite) << n;
  }
  // An empty strip or no cells: nothing, and no division by zero.
  auto e = Canvas(10, 10);
  TBitmap empty;
  DrawGlyph(e->Canvas(), 0, 0, 1, 0, strip.get());
  DrawGlyph(e->Canvas(), 0, 0, 1, 1, &empty);
  DrawGlyph(e->Canvas(), 0, 0, 1, 30, strip.get());
  EXPECT_EQ(At(*e, 0, 0), kWhite);
}

// --- border pictures

// A 30 x 30 picture whose pixel tells its own position.
TskPicture Source() {
  TskPicture p(30, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      p.SetPixel(x, y, RGB(x * 8, y * 8, 77));
  return p;
}

TskSkinImageParams Params(bool stretch) {
  TskSkinImageParams p;
  p.Old = TskSkinGeometry{{10, 10}, {20, 10}, {10, 20}, {20, 20}, {5, 5, 25, 25}};
  p.R = RECT{0, 0, 30, 30};
  p.W = 50, p.H = 40;
  p.New = ScaleSkinGeometry(p.Old, p.R, p.W, p.H);
  p.TopStretch = p.BottomStretch = p.LeftStretch = p.RightStretch = stretch;
  return p;
}

struct BorderCase {
  bool stretch;
  int border; // 0 top, 1 bottom, 2 left, 3 right
  int x, y;   // in the border picture
  int sx, sy; // source pixel expected there
};

class SkinBorderTest : public ::testing::TestWithParam<BorderCase> {};

TEST_P(SkinBorderTest, PixelComesFromTheRightSourcePixel) {
  const BorderCase& c = GetParam();
  TskPicture src = Source(), top, bottom, left, right;
  CreateSkinBorderImages(Params(c.stretch), src, top, bottom, left, right);
  ASSERT_EQ(top.Width(), 50);
  ASSERT_EQ(top.Height(), 5);
  ASSERT_EQ(bottom.Width(), 50);
  ASSERT_EQ(bottom.Height(), 5);
  ASSERT_EQ(left.Width(), 5);
  ASSERT_EQ(left.Height(), 30);
  ASSERT_EQ(right.Width(), 5);
  ASSERT_EQ(right.Height(), 30);
  TskPicture* pics[] = {&top, &bottom, &left, &right};
  EXPECT_EQ(pics[c.border]->Pixel(c.x, c.y), src.Pixel(c.sx, c.sy));
}

INSTANTIATE_TEST_SUITE_P(
    Borders, SkinBorderTest,
    ::testing::Values(
        // Top: caps unchanged, the middle tiled from x = 0 in steps of 10.
        BorderCase{false, 0, 0, 0, 0, 0}, BorderCase{false, 0, 9, 4, 9, 4},
        BorderCase{false, 0, 10, 2, 10, 2}, BorderCase{false, 0, 25, 3, 15, 3},
        BorderCase{false, 0, 39, 1, 19, 1}, BorderCase{false, 0, 40, 0, 20, 0},
        BorderCase{false, 0, 49, 4, 29, 4},
        // Top stretched: 10 source columns over 30.
        BorderCase{true, 0, 10, 0, 10, 0}, BorderCase{true, 0, 25, 0, 15, 0},
        BorderCase{true, 0, 39, 0, 19, 0}, BorderCase{true, 0, 45, 0, 25, 0},
        // Bottom: the last five rows of the source.
        BorderCase{false, 1, 0, 0, 0, 25}, BorderCase{false, 1, 33, 4, 13, 29},
        BorderCase{false, 1, 49, 0, 29, 25}, BorderCase{true, 1, 25, 0, 15, 25},
        // Left: top cap rows 5..10, bottom cap rows 20..25, middle tiled from row 0.
        BorderCase{false, 2, 0, 0, 0, 5}, BorderCase{false, 2, 4, 4, 4, 9},
        BorderCase{false, 2, 0, 5, 0, 15}, BorderCase{false, 2, 0, 12, 0, 12},
        BorderCase{false, 2, 0, 25, 0, 20}, BorderCase{false, 2, 3, 29, 3, 24},
        BorderCase{true, 2, 0, 5, 0, 10}, BorderCase{true, 2, 0, 24, 0, 19},
        // Right: columns 25..30 of the source.
        BorderCase{false, 3, 0, 0, 25, 5}, BorderCase{false, 3, 4, 12, 29, 12},
        BorderCase{true, 3, 2, 20, 27, 17}, BorderCase{true, 3, 4, 29, 29, 24}));

TEST(SkinDraw, BordersThatTheGeometryDoesNotGiveStayEmpty) {
  TskPicture src = Source(), top, bottom, left, right;
  TskSkinImageParams p = Params(false);
  p.Old.RTPoint.x = p.Old.LTPoint.x; // no top middle
  p.Old.RBPoint.y = p.Old.RTPoint.y; // no right middle
  CreateSkinBorderImages(p, src, top, bottom, left, right);
  EXPECT_TRUE(top.Empty());
  EXPECT_TRUE(right.Empty());
  EXPECT_FALSE(bottom.Empty());
  EXPECT_FALSE(left.Empty());
  p = Params(false);
  p.W = 0;
  CreateSkinBorderImages(p, src, top, bottom, left, right);
  EXPECT_TRUE(top.Empty());
  EXPECT_TRUE(bottom.Empty());
  TskPicture none;
  CreateSkinBorderImages(Params(true), none, top, bottom, left, right);
  EXPECT_TRUE(top.Empty() && bottom.Empty() && left.Empty() && right.Empty());
}

// --- parent background

class TFill : public TGraphicControl {
public:
  TFill(TComponent* owner, COLORREF color) : TGraphicControl(owner), FFill(color) {}
  int Paints = 0;
  bool SawPaintCopy = false;

protected:
  void Paint() override {
    ++Paints;
    SawPaintCopy = (ControlState() & csPaintCopy) != 0;
    Canvas()->Brush()->SetColor(FFill);
    Canvas()->FillRect(TRect(0, 0, Width(), Height()));
  }

private:
  COLORREF FFill;
};

// A container that paints a green square over its background.
class TPaintedParent : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  bool SawPaintCopy = false;

protected:
  void Paint() override {
    SawPaintCopy = (ControlState() & csPaintCopy) != 0;
    Canvas()->Brush()->SetColor(kGreen);
    Canvas()->FillRect(TRect(40, 40, 60, 60));
  }
};

TEST(SkinDraw, ParentBackgroundBehindAControl) {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetBounds(0, 0, 300, 300);
  auto* parent = new TPaintedParent(form.get());
  parent->SetParent(form.get());
  parent->SetBounds(10, 10, 100, 100);
  parent->SetColor(kRed);
  auto* below = new TFill(form.get(), kBlue);
  below->SetParent(parent);
  below->SetBounds(10, 10, 20, 20);
  auto* apart = new TFill(form.get(), kYellow);
  apart->SetParent(parent);
  apart->SetBounds(80, 80, 10, 10);
  auto* control = new TPanel(form.get());
  control->SetParent(parent);
  control->SetBounds(15, 15, 40, 40);
  auto* above = new TFill(form.get(), kYellow);
  above->SetParent(parent);
  above->SetBounds(20, 20, 10, 10);
  form->HandleNeeded();
  parent->HandleNeeded();
  below->Paints = apart->Paints = above->Paints = 0;

  auto b = Canvas(40, 40);
  PaintParentBackground(control, b->Canvas());
  EXPECT_EQ(At(*b, 0, 0), kBlue);    // parent (15, 15): the control below
  EXPECT_EQ(At(*b, 10, 10), kBlue);  // the control above it is not drawn
  EXPECT_EQ(At(*b, 20, 20), kRed);   // the parent's background
  EXPECT_EQ(At(*b, 30, 30), kGreen); // the parent's own painting
  EXPECT_EQ(At(*b, 39, 39), kGreen);
  EXPECT_EQ(below->Paints, 1);
  EXPECT_TRUE(below->SawPaintCopy);
  EXPECT_TRUE(parent->SawPaintCopy);
  EXPECT_EQ(apart->Paints, 0);
  EXPECT_EQ(above->Paints, 0);
  EXPECT_FALSE(parent->ControlState() & csPaintCopy);
  EXPECT_FALSE(below->ControlState() & csPaintCopy);

  // On a form only the background is painted.
  int formPaints = 0;
  form->OnPaint = [&](TObject*) { ++formPaints; };
  form->SetColor(kYellow);
  auto* onForm = new TPanel(form.get());
  onForm->SetParent(form.get());
  onForm->SetBounds(150, 150, 20, 20);
  auto c = Canvas(20, 20);
  PaintParentBackground(onForm, c->Canvas());
  EXPECT_EQ(At(*c, 5, 5), kYellow);
  EXPECT_EQ(formPaints, 0);

  // Without a control or a parent nothing happens.
  auto d = Canvas(5, 5);
  TPanel orphan(nullptr);
  PaintParentBackground(&orphan, d->Canvas());
  PaintParentBackground(nullptr, d->Canvas());
  EXPECT_EQ(At(*d, 0, 0), kWhite);
}

} // namespace
