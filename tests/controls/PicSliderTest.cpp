// Image slider: value and position arithmetic in both orientations, steps,
// ruler points and ruler composition, including the degenerate geometries.
#include <gtest/gtest.h>

#include "controls/PicSlider.h"

using namespace picslider;

namespace {

// A horizontal slider 150 wide: ruler 138 long, thumb 9 wide -> slide 129.
TTrack Horizontal(int slide = 129) {
  TTrack t;
  t.Vertical = false;
  t.Base = 6;
  t.Slide = slide;
  t.RectLeft = 0;
  t.ThumbLength = 9;
  return t;
}

// A vertical slider 150 high: thumb 9 high, ruler 138 long.
TTrack Vertical(int slide = 129) {
  TTrack t;
  t.Vertical = true;
  t.Base = 6;
  t.Slide = slide;
  t.RectLeft = 0;
  t.RectBottom = 150;
  t.ClientHeight = 150;
  t.ThumbLength = 9;
  t.ThumbHeight = 9;
  return t;
}

struct ValueCase {
  bool vertical;
  int min, max, value;
  int offset;
};

class SliderValueToOffset : public ::testing::TestWithParam<ValueCase> {};

TEST_P(SliderValueToOffset, PlacesTheThumb) {
  const ValueCase& c = GetParam();
  TTrack t = c.vertical ? Vertical() : Horizontal();
  TRange r{c.min, c.max, 1, true};
  EXPECT_EQ(ValueToOffset(t, r, c.value), c.offset);
  // And back again.
  EXPECT_EQ(OffsetToValue(t, r, c.offset), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SliderValueToOffset,
    ::testing::Values(ValueCase{false, 0, 100, 0, 6}, ValueCase{false, 0, 100, 100, 135},
                      ValueCase{false, 0, 100, 50, 70}, // 64.5 rounds to even
                      ValueCase{false, -50, 50, 0, 70}, ValueCase{false, 0, 2, 1, 70},
                      // vertical: the minimum sits at the bottom
                      ValueCase{true, 0, 100, 0, 135}, ValueCase{true, 0, 100, 100, 6},
                      ValueCase{true, 0, 2, 1, 71}));

TEST(SliderMath, DegenerateGeometryNeverDivides) {
  TRange equal{5, 5, 1, true};
  EXPECT_EQ(ValueToOffset(Horizontal(), equal, 5), 6);
  EXPECT_EQ(OffsetToValue(Horizontal(), equal, 100), 5);
  EXPECT_EQ(SnapOffset(Horizontal(), equal, 100), 6);
  // Shorter than its thumb: no travel at all.
  TRange r{0, 100, 10, true};
  for (int slide : {0, -7}) {
    EXPECT_EQ(ValueToOffset(Horizontal(slide), r, 60), 6);
    EXPECT_EQ(OffsetToValue(Horizontal(slide), r, 40), 0);
    EXPECT_EQ(SnapOffset(Horizontal(slide), r, 40), 6);
    EXPECT_EQ(OffsetToValue(Vertical(slide), r, 40), 0);
  }
  // An increment of 0 (as read from a form) is taken as 1.
  TRange zero{0, 10, 0, false};
  EXPECT_EQ(StepTarget(zero, 3, skUp), 4);
  EXPECT_FALSE(RulerPoints(zero, 100).Values.empty());
}

TEST(SliderMath, SnapsToIncrementsUnlessSmooth) {
  TTrack t = Horizontal(100);
  TRange stepped{0, 100, 10, false}, smooth{0, 100, 10, true};
  struct Case {
    int offset, stepped, smooth;
  } cases[] = {{6, 0, 0},    {10, 0, 4},      {11, 0, 5},      {12, 10, 6}, {20, 10, 14},
               {61, 60, 55}, {106, 100, 100}, {200, 100, 100}, {0, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(OffsetToValue(t, stepped, c.offset), c.stepped) << c.offset;
    EXPECT_EQ(OffsetToValue(t, smooth, c.offset), c.smooth) << c.offset;
  }
  // Stepped counts from 0, offset by the minimum.
  TRange shifted{3, 103, 10, false};
  EXPECT_EQ(OffsetToValue(t, shifted, 20), 13);
  // Snapping lands on the value's own offset and stays on the track.
  EXPECT_EQ(SnapOffset(t, stepped, 10), 6);
  EXPECT_EQ(SnapOffset(t, stepped, 13), 16);
  EXPECT_EQ(SnapOffset(t, stepped, 500), 106);
  EXPECT_EQ(SnapOffset(t, stepped, -5), 6);
}

TEST(SliderMath, KeyboardSteps) {
  struct Case {
    int min, max, inc, value, kind, target;
  } cases[] = {
      {0, 100, 10, 37, skMin, 0},   {0, 100, 10, 37, skMax, 100}, {0, 100, 10, 37, skUp, 50},
      {0, 100, 10, 37, skDown, 30}, {0, 100, 10, 40, skUp, 50},   {0, 100, 10, 40, skDown, 30},
      {0, 100, 10, 95, skUp, 100},  {0, 100, 10, 5, skDown, 0},   {0, 100, 10, 100, skUp, 100},
      {0, 2, 1, 1, skUp, 2},        {0, 2, 1, 1, skDown, 0},      {-10, 10, 5, -10, skDown, -10},
      {0, 100, 10, 25, skUp, 30}, // 2.5 rounds to even
      {0, 100, 10, 35, skUp, 50},
  };
  for (const auto& c : cases) {
    TRange r{c.min, c.max, c.inc, true};
    EXPECT_EQ(StepTarget(r, c.value, c.kind), c.target)
        << c.value << " kind " << c.kind << " inc " << c.inc;
  }
}

TEST(SliderMath, RulerPointsThinOut) {
  TPoints p = RulerPoints(TRange{0, 100, 10, true}, 30);
  EXPECT_EQ(p.K, 2);
  EXPECT_EQ(p.Values, (std::vector<int>{0, 20, 40, 60, 80, 100}));
  p = RulerPoints(TRange{0, 100, 10, true}, 129);
  EXPECT_EQ(p.K, 1);
  EXPECT_EQ(p.Values.size(), 11u);
  p = RulerPoints(TRange{0, 9, 1, true}, 100);
  EXPECT_EQ(p.Values.front(), 0);
  EXPECT_EQ(p.Values.back(), 9);
  // No room at all: one tick at the minimum... and the loop ends.
  p = RulerPoints(TRange{5, 5, 1, true}, 0);
  EXPECT_EQ(p.Values, (std::vector<int>{5}));
  p = RulerPoints(TRange{0, 100, 1, true}, 0);
  EXPECT_EQ(p.K, 1);
}

TEST(SliderMath, RulerIsTiledBetweenItsEdges) {
  // A 10-pixel image with 2-pixel edges stretched to 25: tile 6, middle 21,
  // pieces 4, rest 3.
  auto pieces = ComposeRuler(10, 2, 25);
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].Src, 0);
  EXPECT_EQ(pieces[0].Dest, 0);
  EXPECT_EQ(pieces[0].Len, 8);
  EXPECT_EQ(pieces[1].Src, 2);
  EXPECT_EQ(pieces[1].Dest, 8);
  EXPECT_EQ(pieces[1].Len, 6);
  EXPECT_EQ(pieces[2].Dest, 14);
  EXPECT_EQ(pieces[3].Src, 5);
  EXPECT_EQ(pieces[3].Dest, 20);
  EXPECT_EQ(pieces[3].Len, 5);
  EXPECT_EQ(pieces[3].Src + pieces[3].Len, 10); // ends with the image's last pixel
  EXPECT_EQ(pieces[3].Dest + pieces[3].Len, 25);
}

TEST(SliderMath, RulerNarrowerThanItsEdges) {
  // Edges of 5 on a 10-pixel image leave no middle; edges of 8 are cut to 5.
  for (int edge : {5, 8}) {
    auto pieces = ComposeRuler(10, edge, 40);
    ASSERT_FALSE(pieces.empty());
    for (const auto& p : pieces) {
      EXPECT_GE(p.Src, 0);
      EXPECT_LE(p.Src + p.Len, 10);
      EXPECT_LE(p.Dest + p.Len, 40);
    }
  }
  EXPECT_TRUE(ComposeRuler(10, 2, 0).empty());
  EXPECT_TRUE(ComposeRuler(0, 2, 30).empty());
  auto shortOne = ComposeRuler(10, 2, 3);
  ASSERT_EQ(shortOne.size(), 1u);
  EXPECT_EQ(shortOne[0].Len, 3);
}

} // namespace

// ---------------------------------------------------------------------------
// The control in a window

#include <memory>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "tests/support/Gui.h"

namespace {

class SliderControl : public ::testing::Test {
protected:
  void SetUp() override {
    host = CreateWindowExW(0, L"STATIC", L"Sliders", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                           420, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(host);
    owner = std::make_unique<TComponent>(nullptr);
  }
  void TearDown() override {
    owner.reset();
    DestroyWindow(host);
  }
  TPicSlider* Make(int left, int top) {
    auto* s = new TPicSlider(owner.get());
    s->SetParentWindow(host);
    s->SetBounds(left, top, 150, 40);
    s->HandleNeeded();
    return s;
  }
  HWND host = nullptr;
  std::unique_ptr<TComponent> owner;
};

TEST_F(SliderControl, DefaultsAndBuiltInPictures) {
  TPicSlider* s = Make(10, 10);
  EXPECT_EQ(s->Width(), 150);
  EXPECT_EQ(s->Height(), 40);
  EXPECT_EQ(s->MinValue(), 0);
  EXPECT_EQ(s->MaxValue(), 100);
  EXPECT_EQ(s->Increment(), 10);
  EXPECT_EQ(s->Options(), 7);
  EXPECT_EQ(s->EdgeSize(), 2);
  EXPECT_EQ(s->ImageHThumb()->Width(), 18);
  EXPECT_EQ(s->ImageHThumb()->Height(), 17);
  EXPECT_EQ(s->ImageHRuler()->Width(), 10);
  EXPECT_EQ(s->ImageVThumb()->Width(), 38);
  EXPECT_EQ(s->ImageVRuler()->Height(), 10);
  // Thumb of one state, ruler composed to the width less 12.
  EXPECT_EQ(s->ThumbRect().Width(), 9);
  EXPECT_EQ(s->Ruler()->Width(), 138);
  EXPECT_EQ(s->ThumbRect().Left, 6);
}

TEST_F(SliderControl, ValueSetterClampsAndReportsChangesOnce) {
  TPicSlider* s = Make(10, 10);
  int changes = 0;
  s->OnChange = [&](TObject*) { ++changes; };
  s->SetValue(250);
  EXPECT_EQ(s->Value(), 100);
  s->SetValue(100);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(s->ThumbRect().Left, 6 + 129);
  s->SetValue(-5);
  EXPECT_EQ(s->Value(), 0);
  EXPECT_EQ(changes, 2);
  // Min = Max is refused outside form reading; a narrower range lowers the increment.
  s->SetMinMax(20, 20);
  EXPECT_EQ(s->MinValue(), 0);
  s->SetMaxValue(3);
  EXPECT_EQ(s->Increment(), 3);
  EXPECT_THROW(s->SetIncrement(4), Exception);
  try {
    s->SetIncrement(0);
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), L"Value must be between 1 and 3");
  }
}

TEST_F(SliderControl, KeyboardBothOrientations) {
  TPicSlider* h = Make(10, 10);
  TPicSlider* v = Make(200, 10);
  v->SetOrientation(soVertical);
  EXPECT_EQ(v->Width(), 40);
  EXPECT_EQ(v->Height(), 150);
  int changed = 0;
  h->OnChanged = [&](TObject*) { ++changed; };
  struct Case {
    TPicSlider* s;
    UINT key;
    int value;
  } cases[] = {{h, VK_RIGHT, 10}, {h, VK_RIGHT, 20}, {h, VK_LEFT, 10}, {h, VK_END, 100},
               {h, VK_HOME, 0},   {h, VK_UP, 0},     {v, VK_UP, 10},   {v, VK_UP, 20},
               {v, VK_DOWN, 10},  {v, VK_RIGHT, 10}, {v, VK_END, 100}};
  for (const auto& c : cases) {
    testsupport::KeyPress(c.s->Handle(), c.key);
    EXPECT_EQ(c.s->Value(), c.value) << c.key;
  }
  EXPECT_EQ(changed, 5);
  // Vertical: the maximum is at the top.
  EXPECT_EQ(v->ThumbRect().Top, 6);
  v->SetValue(0);
  EXPECT_EQ(v->ThumbRect().Top, 150 - 6 - v->ThumbRect().Height());
}

TEST_F(SliderControl, MouseDragAndRulerTracking) {
  TPicSlider* s = Make(10, 10);
  s->SetOptions(soSmooth);
  s->SetIncrement(1);
  int changes = 0, ended = 0;
  s->OnChange = [&](TObject*) { ++changes; };
  s->OnChanged = [&](TObject*) { ++ended; };
  HWND w = s->Handle();
  TRect t = s->ThumbRect();
  int y = (t.Top + t.Bottom) / 2;
  // Drag the thumb by 64 pixels: half of the 129-pixel slide.
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(t.Left + 3, y));
  EXPECT_TRUE(s->Dragging());
  SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(t.Left + 3 + 64, y));
  EXPECT_EQ(s->Value(), 50);
  SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(t.Left + 3 + 500, y));
  EXPECT_EQ(s->Value(), 100);
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(t.Left + 3 + 500, y));
  EXPECT_FALSE(s->Dragging());
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(ended, 1);

  // Holding the button on the ruler left of the thumb walks toward the pointer.
  s->SetIncrement(10);
  s->SetValue(100);
  int x = s->RulerOrigin().X + 20;
  int ry = s->RulerOrigin().Y + s->Ruler()->Height() / 2;
  // The walk follows the real pointer: put it where the press is.
  POINT screen{x, ry};
  ClientToScreen(w, &screen);
  SetCursorPos(screen.x, screen.y);
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, ry));
  EXPECT_TRUE(s->Tracking());
  EXPECT_EQ(s->Value(), 90);
  // The pointer lies over the thumb's place for 10: the walk ends there.
  testsupport::PumpUntil([&] { return s->Value() <= 10; }, 8000);
  EXPECT_EQ(s->Value(), 10);
  testsupport::PumpFor(900);
  EXPECT_EQ(s->Value(), 10);
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, ry));
  EXPECT_FALSE(s->Tracking());
}

TEST_F(SliderControl, DegenerateSizesAndPictures) {
  TPicSlider* s = Make(10, 10);
  // Shorter than its thumb.
  s->SetBounds(10, 10, 14, 40);
  s->SetValue(60);
  EXPECT_EQ(s->Value(), 60);
  EXPECT_EQ(s->ThumbRect().Left, 6);
  testsupport::KeyPress(s->Handle(), VK_RIGHT);
  EXPECT_EQ(s->Value(), 70);
  SendMessageW(s->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 12));
  SendMessageW(s->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 12));
  SendMessageW(s->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(12, 12));
  UpdateWindow(s->Handle());
  // A ruler picture narrower than its two fixed edges.
  s->SetBounds(10, 10, 150, 40);
  TBitmap narrow;
  narrow.SetSize(3, 8);
  s->SetImageHRuler(&narrow);
  EXPECT_EQ(s->UserImages(), 2u);
  EXPECT_EQ(s->Ruler()->Width(), 138);
  s->Invalidate();
  UpdateWindow(s->Handle());
  s->SetImageHRuler(nullptr);
  EXPECT_EQ(s->UserImages(), 0u);
  EXPECT_EQ(s->ImageHRuler()->Width(), 10);
}

TEST_F(SliderControl, CursorsComeFromTheResources) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  EXPECT_TRUE(LoadCursorW(inst, L"PIC_HANDCUR") != nullptr);
  EXPECT_TRUE(LoadCursorW(inst, L"PIC_DRAGCUR") != nullptr);
  EXPECT_TRUE(PicSliderCursor(crPicHand) != nullptr);
  EXPECT_TRUE(PicSliderCursor(crPicDrag) != nullptr);
  // A slider puts them into the screen's cursor table.
  Make(10, 10);
  ASSERT_TRUE(Screen != nullptr);
  EXPECT_EQ(Screen->Cursors(crPicHand), PicSliderCursor(crPicHand));
  EXPECT_EQ(Screen->Cursors(crPicDrag), PicSliderCursor(crPicDrag));
}

} // namespace
