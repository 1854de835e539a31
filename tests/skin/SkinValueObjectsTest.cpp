// Track-bar, gauge, frame-gauge, regulator and animation objects of the
// skinned form: values for positions, frames for values, knob angles, the
// steps of a drag, animation frames and morph steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;

// A client-mode skinned form with the built-in skin, to which a test adds
// object descriptions.
struct ObjectRig {
  std::unique_ptr<TForm> form;
  TskSkinData* skin = nullptr;
  TskSkinnedForm* sf = nullptr;
  std::vector<std::pair<std::wstring, int>> reports;

  ObjectRig() {
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(120, 120, 413, 398);
    skin = new TskSkinData(form.get());
    EXPECT_TRUE(skin->LoadBuiltinSkin()) << skin->LastError();
    sf = new TskSkinnedForm(form.get());
    sf->SetSupportNCArea(false);
    sf->SetSkinData(skin);
    auto report = [this](const std::wstring& id, int v) { reports.emplace_back(id, v); };
    sf->OnTrackBarChangeValueEvent = report;
    sf->OnFrameRegulatorChangeValueEvent = report;
  }
  template <class D> D* Add(const std::wstring& id) {
    auto d = std::make_unique<D>(id);
    D* raw = d.get();
    skin->ObjectList.push_back(std::move(d));
    return raw;
  }
  template <class O> O* Get(const std::wstring& id) {
    sf->ApplySkin();
    auto* o = dynamic_cast<O*>(sf->FindObject(id));
    EXPECT_NE(o, nullptr) << "object " << std::string(id.begin(), id.end());
    return o;
  }
};

TskDataSkinTrackBar* AddTrack(ObjectRig& r, POINT b, POINT e, int mn, int mx) {
  auto* d = r.Add<TskDataSkinTrackBar>(L"track");
  d->ActivePictureIndex = 1;
  d->SkinRect = RECT{20, 40, 140, 160};
  d->ActiveSkinRect = RECT{0, 8, 100, 16};
  d->ButtonRect = RECT{100, 16, 110, 26};
  d->ActiveButtonRect = RECT{110, 16, 120, 26};
  d->BeginPoint = b;
  d->EndPoint = e;
  d->MinValue = mn;
  d->MaxValue = mx;
  d->MouseDownChangeValue = true;
  return d;
}

} // namespace

// ---------------------------------------------------------------------------
// Track bar

struct TrackCase {
  const char* name;
  POINT begin, end;
  int min, max;
  POINT click;  // object coordinates
  int expected; // value after the click
  POINT button; // button position after it
};

class SkinTrackBarValues : public ::testing::TestWithParam<TrackCase> {};

TEST_P(SkinTrackBarValues, ClickMovesTheButtonAndReportsTheValue) {
  const TrackCase& c = GetParam();
  ObjectRig r;
  AddTrack(r, c.begin, c.end, c.min, c.max);
  auto* t = r.Get<TskSkinTrackBarObject>(L"track");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Value, c.min);
  POINT start = t->PointForValue(c.min);
  EXPECT_EQ(t->ButtonPos.x, start.x);
  EXPECT_EQ(t->ButtonPos.y, start.y);
  t->MouseDown(t->ObjectRect.left + c.click.x, t->ObjectRect.top + c.click.y, mbLeft);
  t->MouseUp(t->ObjectRect.left + c.click.x, t->ObjectRect.top + c.click.y, mbLeft);
  EXPECT_EQ(t->Value, c.expected);
  EXPECT_EQ(t->ButtonPos.x, c.button.x);
  EXPECT_EQ(t->ButtonPos.y, c.button.y);
  if (c.button.x != start.x || c.button.y != start.y) {
    ASSERT_EQ(r.reports.size(), 1u);
    EXPECT_EQ(r.reports[0].second, c.expected);
  } else {
    EXPECT_TRUE(r.reports.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SkinTrackBarValues,
    ::testing::Values(
        TrackCase{"HorizontalMiddle", {10, 5}, {110, 5}, 0, 100, {60, 30}, 50, {60, 5}},
        TrackCase{"HorizontalClampedToTheEnd", {10, 5}, {110, 5}, 0, 100, {150, 5}, 100, {110, 5}},
        TrackCase{"HorizontalHalfRoundsToEven", {10, 5}, {110, 5}, 0, 25, {20, 5}, 2, {20, 5}},
        TrackCase{"VerticalBottomIsTheMinimum", {5, 110}, {5, 10}, 0, 100, {0, 110}, 0, {5, 110}},
        TrackCase{"VerticalTopIsTheMaximum", {5, 110}, {5, 10}, 0, 100, {0, 10}, 100, {5, 10}},
        TrackCase{"VerticalQuarter", {5, 110}, {5, 10}, -50, 50, {0, 85}, -25, {5, 85}},
        TrackCase{"EqualMinimumAndMaximum", {10, 5}, {110, 5}, 7, 7, {60, 5}, 7, {60, 5}},
        TrackCase{"EndPointsCoincide", {30, 30}, {30, 30}, 0, 10, {80, 80}, 0, {30, 30}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SkinTrackBar, DragFollowsTheMouseAndStopsBeyondTheEnd) {
  ObjectRig r;
  AddTrack(r, {10, 5}, {110, 5}, 0, 100)->MouseDownChangeValue = false;
  auto* t = r.Get<TskSkinTrackBarObject>(L"track");
  ASSERT_NE(t, nullptr);
  int l = t->ObjectRect.left, tp = t->ObjectRect.top;
  t->MouseDown(l + 10, tp + 5, mbLeft);
  EXPECT_TRUE(t->Dragging);
  t->MouseMove(l + 60, tp + 9);
  EXPECT_EQ(t->Value, 50);
  t->MouseMove(l + 125, tp + 5); // beyond the end: the button stays
  EXPECT_EQ(t->Value, 50);
  EXPECT_EQ(t->ButtonPos.x, 60);
  t->MouseUp(l + 125, tp + 5, mbLeft);
  EXPECT_FALSE(t->Dragging);
  ASSERT_EQ(r.reports.size(), 1u);
  EXPECT_EQ(r.reports[0], std::make_pair(std::wstring(L"track"), 50));
  // A press beside the button without mouse-down-changes-value does nothing.
  t->MouseDown(l + 100, tp + 5, mbLeft);
  EXPECT_FALSE(t->Dragging);
  EXPECT_EQ(t->Value, 50);
}

// ---------------------------------------------------------------------------
// Gauge, frames and regulators

TEST(SkinGauge, FillPositionsAndAnEmptyRange) {
  ObjectRig r;
  auto* d = r.Add<TskDataSkinGauge>(L"g");
  d->ActivePictureIndex = 1;
  d->SkinRect = RECT{20, 40, 120, 48};
  d->ActiveSkinRect = RECT{0, 8, 100, 16};
  d->MinValue = 0;
  d->MaxValue = 100;
  auto* v = r.Add<TskDataSkinGauge>(L"v");
  v->ActivePictureIndex = 1;
  v->SkinRect = RECT{20, 60, 28, 160};
  v->ActiveSkinRect = RECT{0, 0, 8, 100};
  v->MinValue = 10;
  v->MaxValue = 10;
  v->Kind = gkVertical;
  auto* g = r.Get<TskSkinGaugeObject>(L"g");
  auto* gv = dynamic_cast<TskSkinGaugeObject*>(r.sf->FindObject(L"v"));
  ASSERT_TRUE(g && gv);
  EXPECT_EQ(g->Value, 0);
  EXPECT_EQ(g->FillPosFor(0).x, 0);
  EXPECT_EQ(g->FillPosFor(50).x, 50);
  EXPECT_EQ(g->FillPosFor(100).x, 100);
  // An empty range maps to the minimum: nothing filled.
  EXPECT_EQ(gv->FillPosFor(10).y, 100);
  EXPECT_EQ(gv->FillPosFor(99).y, 100);
}

struct FrameCase {
  int value, min, max, count, frame;
};

class SkinFrameForValue : public ::testing::TestWithParam<FrameCase> {};

TEST_P(SkinFrameForValue, PicksTheFrameInsideOneToCount) {
  const FrameCase& c = GetParam();
  EXPECT_EQ(FrameForValue(c.value, c.min, c.max, c.count), c.frame)
      << c.value << " in " << c.min << ".." << c.max << " with " << c.count;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SkinFrameForValue,
    ::testing::Values(FrameCase{0, 0, 90, 10, 1}, FrameCase{45, 0, 90, 10, 5},
                      FrameCase{89, 0, 90, 10, 9}, FrameCase{90, 0, 90, 10, 10},
                      FrameCase{0, 100, 110, 3, 3}, // a gauge starting at 0 below its range
                      FrameCase{7, 7, 7, 5, 1},     // minimum = maximum
                      FrameCase{5, 0, 10, 1, 1},    // one frame
                      FrameCase{5, 0, 10, 0, 1},    // no frames
                      FrameCase{3, 0, 2, 5, 1}));   // step below 1

TEST(SkinFrameGauge, ShowsTheFrameOfItsValueFromTheFilmStrip) {
  ObjectRig r;
  auto* d = r.Add<TskDataSkinFrameGaugeObject>(L"fg");
  d->ActivePictureIndex = 0;
  d->SkinRect = RECT{40, 200, 72, 232};
  d->ActiveSkinRect = RECT{0, 0, 128, 32};
  d->CountFrames = 4;
  d->MinValue = 0;
  d->MaxValue = 90;
  auto* s = r.Add<TskDataSkinFrameGaugeObject>(L"stacked");
  s->ActivePictureIndex = 0;
  s->ActiveSkinRect = RECT{0, 49, 32, 209};
  s->CountFrames = 5;
  s->FramesPlacement = fpVertical;
  auto* fg = r.Get<TskSkinFrameGaugeObject>(L"fg");
  auto* st = dynamic_cast<TskSkinFrameGaugeObject*>(r.sf->FindObject(L"stacked"));
  ASSERT_TRUE(fg && st);
  EXPECT_EQ(fg->FrameWidth, 32);
  EXPECT_EQ(fg->FrameHeight, 32);
  RECT f3 = fg->FrameRect(3);
  EXPECT_EQ(f3.left, 64);
  EXPECT_EQ(f3.right, 96);
  EXPECT_EQ(st->FrameWidth, 32);
  EXPECT_EQ(st->FrameHeight, 32);
  EXPECT_EQ(st->FrameRect(2).top, 81);
  // The value 0 (its lifelong value) shows frame 1, copied to the object.
  TskPicture target(100, 260);
  target.Fill(RGB(1, 2, 3));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, target.Handle());
  TCanvas c;
  c.SetHandle(dc);
  fg->Draw(&c, true);
  c.SetHandle(nullptr);
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(fg->CurrentFrame, 1);
  const TskPicture* pic = r.skin->ActivePicture(0);
  ASSERT_NE(pic, nullptr);
  for (POINT p : {POINT{1, 1}, POINT{16, 16}, POINT{30, 20}})
    EXPECT_EQ(target.Pixel(40 + p.x, 200 + p.y), pic->Pixel(p.x, p.y));
}

struct AngleCase {
  int x, y, angle;
};

class SkinKnobAngle : public ::testing::TestWithParam<AngleCase> {};

TEST_P(SkinKnobAngle, GrowsClockwiseFromBelowTheCentre) {
  const AngleCase& c = GetParam();
  ObjectRig r;
  auto* d = r.Add<TskDataSkinFrameRegulatorObject>(L"knob");
  d->SkinRect = RECT{50, 50, 90, 90};
  d->CountFrames = 10;
  d->MaxValue = 90;
  auto* k = r.Get<TskSkinFrameRegulatorObject>(L"knob");
  ASSERT_NE(k, nullptr);
  k->Last = 123;
  EXPECT_EQ(k->AngleAt(c.x, c.y), c.angle) << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(Table, SkinKnobAngle,
                         ::testing::Values(AngleCase{20, 35, 0}, AngleCase{5, 20, 90},
                                           AngleCase{20, 5, 180}, AngleCase{35, 20, 270},
                                           AngleCase{5, 30, 57}, AngleCase{10, 5, 147},
                                           AngleCase{35, 10, 237}, AngleCase{30, 35, 327},
                                           AngleCase{-5, 20, 90},    // clamped into the object
                                           AngleCase{20, 60, 0},     // clamped below
                                           AngleCase{20, 20, 123})); // centre: the last angle

TEST(SkinFrameRegulator, KnobDraggedClockwiseStepsUpToItsMaximumOnce) {
  ObjectRig r;
  auto* d = r.Add<TskDataSkinFrameRegulatorObject>(L"knob");
  d->ActivePictureIndex = 0;
  d->SkinRect = RECT{50, 50, 90, 90};
  d->ActiveSkinRect = RECT{0, 0, 320, 32};
  d->CountFrames = 10;
  d->MinValue = 0;
  d->MaxValue = 90;
  d->Kind = rkRound;
  auto* k = r.Get<TskSkinFrameRegulatorObject>(L"knob");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->Value, 0);
  int cx = k->ObjectRect.left + 20, cy = k->ObjectRect.top + 20;
  auto at = [&](double deg) {
    // Angle 0 below the centre, growing clockwise on the screen (towards the left).
    double a = deg * 3.14159265358979323846 / 180;
    return POINT{cx - static_cast<int>(std::lround(18 * std::sin(a))),
                 cy + static_cast<int>(std::lround(18 * std::cos(a)))};
  };
  POINT p = at(0);
  k->MouseDown(p.x, p.y, mbLeft);
  for (int deg = 10; deg <= 540; deg += 10) {
    p = at(deg);
    k->MouseMove(p.x, p.y);
  }
  k->MouseUp(p.x, p.y, mbLeft);
  std::vector<int> values;
  for (auto& rep : r.reports)
    values.push_back(rep.second);
  EXPECT_EQ(values, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
  EXPECT_EQ(k->Value, 90);
  EXPECT_FALSE(k->Dragging);
}

TEST(SkinFrameRegulator, LinearOneValueStepPerFramePitchOfDrag) {
  ObjectRig r;
  auto* d = r.Add<TskDataSkinFrameRegulatorObject>(L"h");
  d->ActivePictureIndex = 0;
  d->SkinRect = RECT{50, 50, 90, 90};
  d->ActiveSkinRect = RECT{0, 0, 200, 32}; // five frames 40 wide
  d->CountFrames = 5;
  d->MinValue = 0;
  d->MaxValue = 100;
  d->Kind = rkHorizontal;
  auto* one = r.Add<TskDataSkinFrameRegulatorObject>(L"one");
  one->SkinRect = RECT{100, 50, 140, 90};
  one->CountFrames = 1;
  one->MinValue = 5;
  one->MaxValue = 5;
  one->Kind = rkVertical;
  auto* h = r.Get<TskSkinFrameRegulatorObject>(L"h");
  auto* o = dynamic_cast<TskSkinFrameRegulatorObject*>(r.sf->FindObject(L"one"));
  ASSERT_TRUE(h && o);
  EXPECT_EQ(h->FrameWidth, 40);
  int x = h->ObjectRect.left, y = h->ObjectRect.top + 5;
  h->MouseDown(x, y, mbLeft);
  h->MouseMove(x + 9, y); // below the 10-pixel step
  EXPECT_TRUE(r.reports.empty());
  h->MouseMove(x + 10, y);
  h->MouseMove(x + 20, y);
  h->MouseMove(x + 60, y); // a fast move is still one step
  h->MouseMove(x + 50, y); // back: one step down
  h->MouseUp(x + 50, y, mbLeft);
  std::vector<int> values;
  for (auto& rep : r.reports)
    values.push_back(rep.second);
  EXPECT_EQ(values, (std::vector<int>{25, 50, 75, 50}));
  EXPECT_EQ(h->CurrentFrame, 1); // drawn frames follow the value at the next paint
  // One frame and an empty range: no step divides by zero, the value stays.
  r.reports.clear();
  o->MouseDown(o->ObjectRect.left + 5, o->ObjectRect.top + 30, mbLeft);
  o->MouseMove(o->ObjectRect.left + 5, o->ObjectRect.top + 2);
  o->MouseUp(o->ObjectRect.left + 5, o->ObjectRect.top + 2, mbLeft);
  EXPECT_EQ(o->Value, 5);
  EXPECT_TRUE(r.reports.empty());
}

// ---------------------------------------------------------------------------
// Animation and morphing

TskDataSkinAnimate* AddAnimate(ObjectRig& r, int frames, bool cycle, int interval) {
  auto* d = r.Add<TskDataSkinAnimate>(L"anim");
  d->ActivePictureIndex = 0;
  d->SkinRect = RECT{60, 200, 92, 232};
  d->ActiveSkinRect = RECT{0, 49, 32, 81};
  d->CountFrames = frames;
  d->Cycle = cycle;
  d->ButtonStyle = true;
  d->TimerInterval = interval;
  return d;
}

TEST(SkinAnimate, PlaysForwardOnEnterAndBackOnLeaveOneFramePerInterval) {
  ObjectRig r;
  AddAnimate(r, 5, false, 50);
  auto* a = r.Get<TskSkinAnimateObject>(L"anim");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->CurrentFrame, 1);
  EXPECT_EQ(a->SourceFrame(3).left, 64);
  a->MouseEnter();
  EXPECT_TRUE(r.sf->AnimateTimerRunning());
  std::vector<int> frames;
  for (int tick = 0; tick < 12; ++tick) {
    r.sf->AnimateTimerTick();
    frames.push_back(a->CurrentFrame);
  }
  // 50 ms: a frame every second tick of 25 ms; no cycling: it stops at 5.
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 2, 3, 3, 4, 4, 5, 5, 5, 5, 5}));
  EXPECT_FALSE(a->Active);
  EXPECT_FALSE(r.sf->AnimateTimerRunning());
  a->MouseLeave();
  for (int tick = 0; tick < 10; ++tick)
    r.sf->AnimateTimerTick();
  EXPECT_EQ(a->CurrentFrame, 1);
  EXPECT_FALSE(r.sf->AnimateTimerRunning());
}

TEST(SkinAnimate, CyclingKeepsLoopingWhileTheMouseStays) {
  ObjectRig r;
  AddAnimate(r, 3, true, 25);
  auto* a = r.Get<TskSkinAnimateObject>(L"anim");
  ASSERT_NE(a, nullptr);
  a->MouseEnter();
  std::vector<int> frames;
  for (int tick = 0; tick < 7; ++tick) {
    r.sf->AnimateTimerTick();
    frames.push_back(a->CurrentFrame);
  }
  EXPECT_EQ(frames, (std::vector<int>{2, 3, 1, 2, 3, 1, 2}));
  EXPECT_TRUE(a->Active);
}

TEST(SkinAnimate, ShortIntervalRunsAtTheTimersTwentyFiveMilliseconds) {
  ObjectRig r;
  AddAnimate(r, 5, false, 10);
  auto* a = r.Get<TskSkinAnimateObject>(L"anim");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->TimerInterval, 25);
  r.form->Show();
  PumpFor(30);
  DWORD start = GetTickCount();
  a->MouseEnter();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return a->CurrentFrame == 5; }, 3000));
  DWORD took = GetTickCount() - start;
  // Four frames at one per 25 ms tick.
  EXPECT_GE(took, 75u);
  EXPECT_LT(took, 1000u);
}

TEST(SkinMorph, HoverMorphTakesFiveStepsOfOneFifth) {
  ObjectRig r;
  r.skin->EnableSkinEffects = true;
  r.sf->ApplySkin();
  TskActiveSkinObject* b = nullptr;
  for (auto& o : r.sf->Objects())
    if (o->CanMorphing() && !IsNullRect(o->ActiveSkinRect)) b = o.get();
  ASSERT_NE(b, nullptr) << "the built-in skin has morphing caption buttons";
  b->MouseEnter();
  std::vector<double> kf;
  for (int i = 0; i < 6; ++i) {
    r.sf->MorphTimerTick();
    kf.push_back(b->MorphKf);
  }
  std::vector<double> want{0.2, 0.4, 0.6, 0.8, 1.0, 1.0};
  for (size_t i = 0; i < want.size(); ++i)
    EXPECT_NEAR(kf[i], want[i], 1e-9) << i;
  EXPECT_FALSE(r.sf->MorphTimerRunning());
  b->MouseLeave();
  r.sf->MorphTimerTick();
  EXPECT_NEAR(b->MorphKf, 0.8, 1e-9);
}

// ---------------------------------------------------------------------------
// The frame-mode test skin of scripts/gen_skin.py

TEST(FrameTestSkin, CarriesEveryObjectKindAndTheExtraCaptionButtons) {
  TskSkinData sd(nullptr);
  ASSERT_TRUE(sd.LoadSkinFromIni(SourceDir() + L"resources\\skin\\frame\\skin.ini"))
      << sd.LastError();
  EXPECT_FALSE(IsNullRect(sd.ClientRect));
  EXPECT_EQ(sd.ActivePictures.size(), 5u);
  EXPECT_EQ(sd.BGPictureIndex, 2);
  EXPECT_EQ(sd.MDIBGPictureIndex, 3);
  int kinds[9] = {};
  std::vector<TskStdCommand> commands;
  for (auto& o : sd.ObjectList) {
    TskDataSkinObject* d = o.get();
    if (auto* b = dynamic_cast<TskDataSkinStdButton*>(d)) {
      commands.push_back(b->Command);
      EXPECT_TRUE(b->SkinRectInAPicture);
    } else if (dynamic_cast<TskDataSkinButton*>(d))
      ++kinds[0];
    else if (dynamic_cast<TskDataSkinCaption*>(d))
      ++kinds[1];
    else if (dynamic_cast<TskDataSkinTrackBar*>(d))
      ++kinds[2];
    else if (dynamic_cast<TskDataSkinGauge*>(d))
      ++kinds[3];
    else if (auto* fr = dynamic_cast<TskDataSkinFrameRegulatorObject*>(d))
      kinds[4] += fr->Kind == rkRound ? 1 : 10;
    else if (dynamic_cast<TskDataSkinFrameGaugeObject*>(d))
      ++kinds[5];
    else if (dynamic_cast<TskDataSkinAnimate*>(d))
      ++kinds[6];
    else if (dynamic_cast<TskDataSkinLabel*>(d) || dynamic_cast<TskDataSkinBitLabel*>(d))
      ++kinds[7];
    else if (dynamic_cast<TskDataSkinSwitch*>(d) || dynamic_cast<TskDataUserObject*>(d))
      ++kinds[8];
  }
  EXPECT_EQ(kinds[4], 11) << "a knob and a linear regulator";
  for (int k : {0, 1, 2, 3, 5, 6})
    EXPECT_EQ(kinds[k], 1) << k;
  EXPECT_EQ(kinds[7], 2);
  EXPECT_EQ(kinds[8], 2);
  for (TskStdCommand c : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray, cmSysMenu})
    EXPECT_NE(std::find(commands.begin(), commands.end(), c), commands.end()) << int(c);
}
