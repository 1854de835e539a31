// Right-to-left framed controls beside left-to-right ones: the mode passed
// down from the parent, the window styles, the drop button and spin buttons
// on the left with mirrored margins, mirrored captions, and a picture.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>

#include "controls/FcEdit.h"
#include "controls/FcPanel.h"
#include "controls/FcSpnEdt.h"
#include "controls/FcStatus.h"
#include "controls/TlImagePanel.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

namespace {

struct TSideControls {
  TFcPanel* Panel = nullptr;
  TFcNumericEdit* Numeric = nullptr;
  TFcSpinEdit* Spin = nullptr;
  TFcEdit* Edit = nullptr;
  TtlImagePanel* Image = nullptr;
  TFcStatusBar* Bar = nullptr;
  TFcStatusPane* Pane = nullptr;
};

class BiDi : public ::testing::Test {
protected:
  void SetUp() override {
    dec = FormatSettings.DecimalSeparator;
    thousands = FormatSettings.ThousandSeparator;
    FormatSettings.DecimalSeparator = L'.';
    FormatSettings.ThousandSeparator = L',';
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(40, 40, 520, 300);
    form->SetCaption(L"Left to right and right to left");
    ltr = MakeSide(8, bdLeftToRight);
    rtl = MakeSide(262, bdRightToLeft);
    form->Show();
    testsupport::PumpFor(50);
  }
  void TearDown() override {
    owner.reset();
    FormatSettings.DecimalSeparator = dec;
    FormatSettings.ThousandSeparator = thousands;
  }
  TSideControls MakeSide(int left, TBiDiMode Mode) {
    TSideControls s;
    s.Panel = new TFcPanel(owner.get());
    s.Panel->SetParent(form);
    s.Panel->SetBounds(left, 8, 242, 250);
    s.Panel->SetBiDiMode(Mode);
    s.Panel->SetBorderOuter(fsLowered);
    s.Panel->SetCaption(L"Caption");
    s.Panel->SetAlignment(taLeftJustify);
    s.Panel->SetAlignmentVertical(avTop);
    s.Numeric = new TFcNumericEdit(owner.get());
    s.Numeric->SetParent(s.Panel);
    s.Numeric->SetBounds(10, 24, 120, 23);
    s.Numeric->SetValue(1234);
    s.Numeric->SetCalculatorVisible(true);
    s.Spin = new TFcSpinEdit(owner.get());
    s.Spin->SetParent(s.Panel);
    s.Spin->SetBounds(10, 54, 120, 23);
    s.Spin->SetValue(42);
    s.Edit = new TFcEdit(owner.get());
    s.Edit->SetParent(s.Panel);
    s.Edit->SetBounds(10, 84, 120, 23);
    s.Edit->SetText(L"abc");
    s.Image = new TtlImagePanel(owner.get());
    s.Image->SetParent(s.Panel);
    s.Image->SetBounds(10, 114, 220, 40);
    s.Image->SetColor(clWhite);
    s.Image->SetAlignment(taLeftJustify);
    s.Image->SetCaption(L"Image");
    s.Bar = new TFcStatusBar(owner.get());
    s.Bar->SetParent(s.Panel);
    s.Bar->SetVisualStyle(vsClassic);
    s.Pane = new TFcStatusPane(owner.get());
    s.Pane->SetParent(s.Bar);
    s.Pane->SetBounds(0, 0, 200, 19);
    s.Pane->SetFrameStyle(fsStatus);
    s.Pane->SetCaption(L"Pane");
    return s;
  }
  // The leftmost and rightmost columns of Rect in a painting of Control
  // that hold pixels of Color; (-1, -1) when there are none.
  static std::pair<int, int> ColumnsOf(TWinControl* Control, const TRect& Rect, TColor Color) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, Control->Width(), Control->Height());
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    Control->PaintClientTo(dc);
    COLORREF want = ColorToRGB(Color) & 0xFFFFFF;
    int lo = -1, hi = -1;
    for (int x = Rect.Left; x < Rect.Right; ++x)
      for (int y = Rect.Top; y < Rect.Bottom; ++y)
        if ((GetPixel(dc, x, y) & 0xFFFFFF) == want) {
          if (lo < 0) lo = x;
          hi = x;
          break;
        }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return {lo, hi};
  }
  wchar_t dec, thousands;
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
  TSideControls ltr, rtl;
};

TEST_F(BiDi, ModeComesFromTheParentWithItsWindowStyles) {
  EXPECT_EQ(rtl.Numeric->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(rtl.Numeric->ParentBiDiMode());
  EXPECT_EQ(rtl.Pane->BiDiMode(), bdRightToLeft); // through the status bar
  EXPECT_EQ(rtl.Image->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(ltr.Numeric->BiDiMode(), bdLeftToRight);
  LONG ex = GetWindowLongW(rtl.Numeric->Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_RTLREADING);
  EXPECT_TRUE(ex & WS_EX_LEFTSCROLLBAR);
  ex = GetWindowLongW(ltr.Numeric->Handle(), GWL_EXSTYLE);
  EXPECT_FALSE(ex & (WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR | WS_EX_RIGHT));
  // A left-aligned edit shows its text on the right, a right-aligned one
  // (the numeric edit) on the left.
  EXPECT_TRUE(GetWindowLongW(rtl.Edit->Handle(), GWL_STYLE) & ES_RIGHT);
  EXPECT_TRUE(GetWindowLongW(rtl.Edit->Handle(), GWL_EXSTYLE) & WS_EX_RIGHT);
  EXPECT_FALSE(GetWindowLongW(rtl.Numeric->Handle(), GWL_STYLE) & ES_RIGHT);
  EXPECT_TRUE(GetWindowLongW(ltr.Numeric->Handle(), GWL_STYLE) & ES_RIGHT);
  // The modes one by one.
  struct Case {
    TBiDiMode mode;
    bool alignment, reading, scrollBar;
  } cases[] = {
      {bdLeftToRight, false, false, false},
      {bdRightToLeft, true, true, true},
      {bdRightToLeftNoAlign, false, true, true},
      {bdRightToLeftReadingOnly, false, true, false},
  };
  for (const auto& c : cases) {
    ltr.Edit->SetBiDiMode(c.mode);
    EXPECT_FALSE(ltr.Edit->ParentBiDiMode());
    EXPECT_EQ(ltr.Edit->UseRightToLeftAlignment(), c.alignment) << c.mode;
    EXPECT_EQ(ltr.Edit->UseRightToLeftReading(), c.reading) << c.mode;
    LONG e = GetWindowLongW(ltr.Edit->Handle(), GWL_EXSTYLE);
    EXPECT_EQ((e & WS_EX_RTLREADING) != 0, c.reading) << c.mode;
    EXPECT_EQ((e & WS_EX_LEFTSCROLLBAR) != 0, c.scrollBar) << c.mode;
    EXPECT_EQ(ltr.Edit->Text(), L"abc"); // the new window keeps the text
  }
  // Back to the parent's mode.
  ltr.Edit->SetParentBiDiMode(true);
  EXPECT_EQ(ltr.Edit->BiDiMode(), bdLeftToRight);
}

TEST_F(BiDi, DropButtonAndItsStripOnTheLeft) {
  int cx = GetSystemMetrics(SM_CXVSCROLL);
  for (TFcNumericEdit* e : {ltr.Numeric, rtl.Numeric}) {
    bool mirrored = e == rtl.Numeric;
    TRect b = e->ButtonRect();
    RECT w;
    GetWindowRect(e->Handle(), &w);
    int width = w.right - w.left;
    EXPECT_EQ(b.Width(), cx);
    POINT o{0, 0};
    ClientToScreen(e->Handle(), &o);
    RECT c;
    GetClientRect(e->Handle(), &c);
    int clientLeft = o.x - w.left, clientRight = clientLeft + c.right;
    if (mirrored) {
      EXPECT_LE(b.Left, 2);
      EXPECT_GE(clientLeft, b.Right - 1); // the client area starts after the button
    } else {
      EXPECT_GE(b.Right, width - 2);
      EXPECT_LE(clientRight, b.Left + 1);
    }
    // The button answers the hit test where it is drawn.
    POINT p{w.left + (b.Left + b.Right) / 2, w.top + (b.Top + b.Bottom) / 2};
    EXPECT_EQ(SendMessageW(e->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLIENT);
    EXPECT_TRUE(e->MouseOverButton()) << mirrored;
  }
  // Switching the mode at run time moves the button.
  ltr.Numeric->SetBiDiMode(bdRightToLeft);
  EXPECT_LE(ltr.Numeric->ButtonRect().Left, 2);
  EXPECT_EQ(ltr.Numeric->Text(), L"1,234");
}

TEST_F(BiDi, SpinButtonsAndMarginsMirrored) {
  for (TFcSpinEdit* s : {ltr.Spin, rtl.Spin}) {
    bool mirrored = s == rtl.Spin;
    TFcSpinButtons* b = s->Buttons();
    int w = b->Width();
    LRESULT m = SendMessageW(s->Handle(), EM_GETMARGINS, 0, 0);
    if (mirrored) {
      EXPECT_EQ(b->Left(), 0);
      EXPECT_EQ(b->Height(), s->Height() - 4);
      EXPECT_EQ(LOWORD(m), w + 2);
      EXPECT_EQ(HIWORD(m), 0);
    } else {
      EXPECT_GT(b->Left(), s->Width() / 2);
      EXPECT_EQ(LOWORD(m), 0);
      EXPECT_EQ(HIWORD(m), w + 2);
    }
  }
}

TEST_F(BiDi, CaptionsAndPanesMirrored) {
  TColor text = clWindowText;
  for (TSideControls* s : {&ltr, &rtl}) {
    bool mirrored = s == &rtl;
    // The pane's caption.
    TRect pane = s->Pane->BoundsRect();
    auto cols = ColumnsOf(s->Bar, pane, text);
    ASSERT_GE(cols.first, 0) << mirrored;
    int middle = (pane.Left + pane.Right) / 2;
    if (mirrored)
      EXPECT_GT(cols.first, middle);
    else
      EXPECT_LT(cols.second, middle);
    // The panel's caption along its top.
    TRect top(0, 0, s->Panel->Width(), 20);
    cols = ColumnsOf(s->Panel, top, text);
    ASSERT_GE(cols.first, 0) << mirrored;
    if (mirrored)
      EXPECT_GT(cols.first, s->Panel->Width() / 2);
    else
      EXPECT_LT(cols.second, s->Panel->Width() / 2);
    // The image panel's caption.
    TRect all(0, 0, s->Image->Width(), s->Image->Height());
    cols = ColumnsOf(s->Image, all, text);
    ASSERT_GE(cols.first, 0) << mirrored;
    if (mirrored)
      EXPECT_GT(cols.first, s->Image->Width() / 2);
    else
      EXPECT_LT(cols.second, s->Image->Width() / 2);
  }
  RedrawWindow(form->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  testsupport::PumpFor(100);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"FramedControlsBothDirections.png"));
}

} // namespace
