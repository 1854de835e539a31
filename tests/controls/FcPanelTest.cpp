// Panels, the status bar and its panes: borders, pane scaling, blinking, the
// progress pane at 0, 50 and 100 %, and a picture of a form with every control.
#include <gtest/gtest.h>

#include <memory>

#include "controls/FcEdit.h"
#include "controls/FcPanel.h"
#include "controls/FcSpnEdt.h"
#include "controls/FcStatus.h"
#include "controls/PicSlider.h"
#include "framework/Forms.h"
#include "tests/support/Gui.h"

namespace {

TEST(StatusBarScaling, PanesFollowTheBar) {
  struct Case {
    std::vector<int> widths;
    int previous, now;
    std::vector<int> result;
  } cases[] = {
      {{100, 200}, 400, 500, {125, 250}},
      {{100, 200}, 400, 300, {75, 150}},
      {{100, 200}, 400, 400, {100, 200}},
      {{100, 200}, 0, 500, {100, 200}}, // no previous width: nothing to scale by
      {{50}, 400, 404, {50}},           // 0.5 rounds to even
      {{150}, 400, 404, {152}},         // 1.5 rounds to even
  };
  for (const auto& c : cases)
    EXPECT_EQ(fcstatus::ScalePanes(c.widths, c.previous, c.now), c.result)
        << c.previous << " -> " << c.now;
}

class PanelForm : public ::testing::Test {
protected:
  void SetUp() override {
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(60, 60, 480, 300);
    form->SetCaption(L"Framed controls");
  }
  void TearDown() override { owner.reset(); }

  // The picture of a windowed control painted into a bitmap (children too).
  struct Shot {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    ~Shot() {
      SelectObject(dc, old);
      DeleteObject(bmp);
      DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y) & 0xFFFFFF; }
  };
  std::unique_ptr<Shot> Paint(TWinControl* c) {
    auto s = std::make_unique<Shot>();
    HDC screen = GetDC(nullptr);
    s->dc = CreateCompatibleDC(screen);
    s->bmp = CreateCompatibleBitmap(screen, c->Width(), c->Height());
    ReleaseDC(nullptr, screen);
    s->old = SelectObject(s->dc, s->bmp);
    SendMessageW(c->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(s->dc), 0);
    return s;
  }
  // Saves what the form shows now, children included.
  bool SaveForm(const std::wstring& name) {
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    testsupport::PumpFor(100);
    RECT r;
    GetWindowRect(form->Handle(), &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC wdc = GetWindowDC(form->Handle());
    HDC mem = CreateCompatibleDC(wdc);
    void* bits = nullptr;
    HBITMAP bmp = testsupport::CreateTopDownDib(wdc, w, h, &bits);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, wdc, 0, 0, SRCCOPY);
    GdiFlush();
    bool ok = testsupport::SavePixelsPng(testsupport::OutputPath(name), w, h, bits, w * 4);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(form->Handle(), wdc);
    return ok;
  }
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
};

TEST_F(PanelForm, ProgressPaneAtZeroHalfAndFull) {
  auto* bar = new TFcStatusBar(owner.get());
  bar->SetParent(form);
  bar->SetVisualStyle(vsClassic);
  auto* hint = new TFcStatusPane(owner.get());
  hint->SetParent(bar);
  hint->SetBounds(200, 0, 120, 19);
  hint->SetCaption(L"Ready");
  auto* progress = new TFcProgressStatus(owner.get());
  progress->SetParent(bar);
  progress->SetBounds(0, 0, 193, 19);
  progress->SetBarColor(clRed);
  progress->SetBackColor(clBlue);
  form->Show();
  EXPECT_EQ(bar->Height(), 19);
  EXPECT_EQ(bar->Align(), alBottom);
  // The bar spans the inner rectangle less a pixel at top and bottom.
  TRect inner = progress->InnerRect();
  ASSERT_EQ(inner.Width(), 189);
  int y = progress->Top() + progress->Height() / 2;
  struct Case {
    uint16_t percent;
    int red;
  } cases[] = {{0, 0}, {50, 94}, {100, 189}};
  for (const auto& c : cases) {
    progress->SetPercent(c.percent);
    auto shot = Paint(bar);
    int red = 0, blue = 0;
    for (int x = inner.Left; x < inner.Right; ++x) {
      COLORREF p = shot->At(progress->Left() + x, y);
      red += p == RGB(255, 0, 0);
      blue += p == RGB(0, 0, 255);
    }
    EXPECT_EQ(red, c.red) << c.percent;
    EXPECT_EQ(blue, 189 - c.red) << c.percent;
  }
  // Parts: 3 of 8 is 37.5 %, shown as 38; more parts than the total are cut.
  progress->SetTotalParts(8);
  EXPECT_EQ(progress->Percent(), 0);
  progress->SetPartsComplete(3);
  EXPECT_EQ(progress->Percent(), 38);
  progress->SetPartsComplete(10);
  EXPECT_EQ(progress->PartsComplete(), 8u);
  EXPECT_EQ(progress->Percent(), 100);
  progress->SetShowPercent(true);
  progress->SetBarStyle(bsLED);
  EXPECT_FALSE(progress->ShowPercent());
  progress->SetNumSegments(0); // draws its background, no segments
  Paint(bar);
  SaveForm(L"status_bar.png");
}

TEST_F(PanelForm, PanesSizeBlinkAndShareTheBlinkTimer) {
  auto* bar = new TFcStatusBar(owner.get());
  bar->SetParent(form);
  auto* a = new TFcStatusPane(owner.get());
  a->SetParent(bar);
  ASSERT_TRUE(BlinkingControls != nullptr);
  EXPECT_EQ(BlinkingControls->Count(), 1);
  a->SetAutoSize(true);
  EXPECT_EQ(a->Width(), 40);
  a->SetCaption(L"Some text");
  EXPECT_GT(a->Width(), 40);
  auto* b = new TFcStatusPane(owner.get());
  b->SetParent(bar);
  EXPECT_EQ(BlinkingControls->Count(), 2);
  a->SetBlinkIntervalOn(300);
  EXPECT_EQ(b->BlinkIntervalOn(), 300);
  // A blinking pane answers the query and shows the blink colour.
  b->SetBlinkColor(clRed);
  b->SetBlinking(true);
  EXPECT_EQ(b->Perform(CM_BLINKQUERY, 0, 0), 1);
  EXPECT_EQ(a->Perform(CM_BLINKQUERY, 0, 0), 0);
  b->Perform(CM_BLINK, 1, 0);
  EXPECT_EQ(b->CaptionColor(), clRed);
  b->SetBlinking(false);
  EXPECT_EQ(b->CaptionColor(), b->Font()->Color());
  delete a;
  EXPECT_EQ(BlinkingControls->Count(), 1);
  delete b;
  EXPECT_EQ(BlinkingControls, nullptr);
  auto* c = new TFcStatusPane(owner.get());
  ASSERT_TRUE(BlinkingControls != nullptr);
  EXPECT_EQ(BlinkingControls->BlinkState(), 1);
  delete c;
}

TEST_F(PanelForm, BordersChildrenAndScaling) {
  auto* panel = new TFcPanel(owner.get());
  panel->SetParent(form);
  panel->SetBounds(10, 10, 200, 100);
  panel->SetBorderOuter(fsFlat);
  panel->SetBorderSides(sdsTop);
  EXPECT_EQ(panel->AdjustRectByBorders(TRect(0, 0, 200, 100), true), TRect(0, 1, 200, 100));
  panel->SetBorderOuter(fsLowered);
  panel->SetBorderInner(fsStatus);
  panel->SetBorderSides(sdsAll);
  panel->SetBorderWidth(2);
  EXPECT_EQ(panel->AdjustRectByBorders(TRect(0, 0, 200, 100), true), TRect(5, 5, 195, 95));
  auto* on = new TFcEdit(owner.get());
  on->SetParent(panel);
  auto* off = new TFcEdit(owner.get());
  off->SetParent(panel);
  off->SetEnabled(false);
  panel->SetEnabled(false);
  EXPECT_FALSE(on->Enabled());
  panel->SetEnabled(true);
  EXPECT_TRUE(on->Enabled());
  EXPECT_FALSE(off->Enabled());
  panel->SetShowGrid(true);
  panel->SetGridXSize(0);
  form->Show();
  Paint(panel);

  auto* bar = new TFcStatusBar(owner.get());
  bar->SetParent(form);
  bar->SetAutoScalePanes(true);
  auto* p1 = new TFcStatusPane(owner.get());
  p1->SetParent(bar);
  auto* p2 = new TFcStatusPane(owner.get());
  p2->SetParent(bar);
  bar->SetAlign(alNone);
  bar->SetBounds(0, 200, 400, 19);
  p1->SetBounds(0, 0, 100, 19);
  p2->SetBounds(100, 0, 200, 19);
  bar->SetBounds(0, 200, 500, 19);
  EXPECT_EQ(p1->Width(), 125);
  EXPECT_EQ(p2->Width(), 250);
  // Setting the sides by hand turns the automatic style off.
  EXPECT_TRUE(bar->AutoStyle());
  bar->SetBorderSides(sdsTop);
  EXPECT_FALSE(bar->AutoStyle());
  bar->SetSimpleStatus(true);
  EXPECT_FALSE(p1->Visible());
  bar->SetSimpleStatus(false);
  EXPECT_TRUE(p1->Visible());
  EXPECT_EQ(p1->Width(), 125);
}

TEST_F(PanelForm, FrameControllerPushesItsSettings) {
  auto* controller = new TFcFrameController(owner.get());
  auto* edit = new TFcEdit(owner.get());
  edit->SetParent(form);
  auto* panel = new TFcPanel(owner.get());
  panel->SetParent(form);
  controller->SetFrameVisible(true);
  controller->SetFrameStyle(fsStatus);
  controller->SetFrameColor(clRed);
  edit->SetFrameController(controller);
  panel->SetFrameController(controller);
  EXPECT_EQ(controller->ControlCount(), 2);
  EXPECT_TRUE(edit->FrameVisible());
  EXPECT_EQ(edit->FrameStyle(), fsStatus);
  EXPECT_EQ(panel->BorderOuter(), fsStatus);
  EXPECT_EQ(panel->FlatColor(), clRed);
  EXPECT_EQ(panel->FlatColorAdjustment(), 0);
  // Only the allowed properties reach the edit.
  edit->SetFrameControllerNotifications(
      static_cast<TFcFrameControllerNotifications>(fcnAll & ~(1u << fcpFrameColor)));
  controller->SetFrameColor(clBlue);
  EXPECT_EQ(edit->FrameColor(), clRed);
  // Colour drags an equal focus colour along.
  controller->SetColor(clWindow);
  EXPECT_EQ(controller->FocusColor(), clWindow);
  controller->SetColor(clYellow);
  EXPECT_EQ(controller->FocusColor(), clYellow);
  controller->BeginUpdate();
  controller->EndUpdate();
  controller->EndUpdate(); // more ends than begins: still pushes, never below zero
  controller->BeginUpdate();
  controller->SetFrameStyle(fsPopup);
  EXPECT_EQ(edit->FrameStyle(), fsStatus);
  controller->EndUpdate();
  EXPECT_EQ(edit->FrameStyle(), fsPopup);
  delete controller;
  EXPECT_EQ(edit->FrameController(), nullptr);
  EXPECT_EQ(panel->FrameController(), nullptr);
  TFrameStyle style;
  EXPECT_TRUE(FrameStyleFromName(L"fsLowered", style));
  EXPECT_EQ(style, fsLowered);
  EXPECT_FALSE(FrameStyleFromName(L"fsFlatRounded", style));
  EXPECT_FALSE(FrameStyleFromName(L"nonsense", style));
}

TEST_F(PanelForm, EveryControlOnOneForm) {
  auto* panel = new TFcPanel(owner.get());
  panel->SetParent(form);
  panel->SetBounds(8, 8, 448, 150);
  panel->SetBorderOuter(fsLowered);
  panel->SetVisualStyle(vsGradient);
  panel->SetCaption(L"Panel");
  panel->SetAlignmentVertical(avTop);
  auto* slider = new TPicSlider(owner.get());
  slider->SetParent(panel);
  slider->SetBounds(10, 20, 150, 40);
  slider->SetValue(30);
  auto* vslider = new TPicSlider(owner.get());
  vslider->SetParent(panel);
  vslider->SetBounds(170, 4, 150, 40);
  vslider->SetOrientation(soVertical);
  vslider->SetValue(70);
  auto* edit = new TFcEdit(owner.get());
  edit->SetParent(panel);
  edit->SetBounds(230, 20, 100, 21);
  edit->SetText(L"00:00:01.000");
  auto* numeric = new TFcNumericEdit(owner.get());
  numeric->SetParent(panel);
  numeric->SetBounds(230, 50, 100, 21);
  numeric->SetValue(-1234);
  auto* spin = new TFcSpinEdit(owner.get());
  spin->SetParent(panel);
  spin->SetBounds(230, 80, 100, 21);
  spin->SetValue(42);
  auto* framed = new TFcEdit(owner.get());
  framed->SetParent(panel);
  framed->SetBounds(340, 20, 100, 21);
  framed->SetFramingPreference(fpCustomFraming);
  framed->SetFrameVisible(true);
  framed->SetFrameStyle(fsFlatBold);
  framed->SetText(L"framed");
  auto* grid = new TFcPanel(owner.get());
  grid->SetParent(form);
  grid->SetBounds(8, 166, 448, 60);
  grid->SetShowGrid(true);
  grid->SetBorderOuter(fsFlatRounded);
  grid->SetCaption(L"Grid");
  auto* bar = new TFcStatusBar(owner.get());
  bar->SetParent(form);
  bar->SetVisualStyle(vsGradient);
  auto* progress = new TFcProgressStatus(owner.get());
  progress->SetParent(bar);
  progress->SetBounds(0, 0, 193, 19);
  progress->SetPercent(50);
  progress->SetShowPercent(true);
  auto* pane = new TFcStatusPane(owner.get());
  pane->SetParent(bar);
  pane->SetBounds(200, 0, 150, 19);
  pane->SetFrameStyle(fsStatus);
  pane->SetCaption(L"44,100 Hz");
  form->Show();
  testsupport::PumpFor(200);
  EXPECT_EQ(spin->Text(), L"42");
  EXPECT_EQ(numeric->Text(), L"(1,234)");
  // The text stays clear of the spin buttons.
  RECT er;
  SendMessageW(spin->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&er));
  EXPECT_LE(er.right, spin->Buttons()->Left());
  EXPECT_TRUE(SaveForm(L"framed_controls.png"));
}

} // namespace
