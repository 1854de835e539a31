// Framed, numeric and spin edits in a window: formatting, range correction
// on exit, the key filters, pasting, and spin stepping and clamping.
#include <gtest/gtest.h>

#include <memory>

#include "controls/FcEdit.h"
#include "controls/FcSpnEdt.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

namespace {

class EditControls : public ::testing::Test {
protected:
  void SetUp() override {
    dec = FormatSettings.DecimalSeparator;
    thousands = FormatSettings.ThousandSeparator;
    FormatSettings.DecimalSeparator = L'.';
    FormatSettings.ThousandSeparator = L',';
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(100, 100, 400, 200);
    form->SetCaption(L"Edits");
    other = new TEdit(owner.get());
    other->SetParent(form);
    other->SetBounds(200, 10, 80, 21);
    form->Show();
    testsupport::ForceForeground(form->Handle());
  }
  void TearDown() override {
    owner.reset();
    FormatSettings.DecimalSeparator = dec;
    FormatSettings.ThousandSeparator = thousands;
  }
  template <class T> T* Make(int top) {
    T* e = new T(owner.get());
    e->SetParent(form);
    e->SetBounds(10, top, 100, 21);
    e->HandleNeeded();
    return e;
  }
  // What the form tells a control when the focus comes and goes (the
  // real focus is shared with other test programs on the display).
  void EnterAndLeave(TWinControl* e) {
    e->Perform(CM_ENTER, 0, 0);
    e->Perform(CM_EXIT, 0, 0);
  }
  wchar_t dec, thousands;
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
  TEdit* other = nullptr;
};

TEST_F(EditControls, FramedEditTextAndColours) {
  auto* e = Make<TFcEdit>(10);
  int changes = 0;
  e->OnChange = [&](TObject*) { ++changes; };
  e->SetText(L"00:01:02.500");
  EXPECT_EQ(e->GetText(), L"00:01:02.500");
  EXPECT_GE(changes, 1);
  // Colour follows into the focus colour until that is set apart.
  e->SetColor(clYellow);
  EXPECT_EQ(e->FocusColor(), clYellow);
  e->SetFocusColor(clAqua);
  e->SetColor(clLime);
  EXPECT_EQ(e->FocusColor(), clAqua);
  e->SetEnabled(false);
  EXPECT_EQ(e->Color(), clBtnFace);
  e->SetEnabled(true);
  EXPECT_EQ(e->Color(), clLime);
  e->SetReadOnly(true);
  EXPECT_EQ(e->Color(), clInfoBk);
  e->SetReadOnly(false);
  // Hot tracking shows the frame on all four sides.
  e->SetFrameSides(sdsTop);
  e->SetFrameHotTrack(true);
  EXPECT_TRUE(e->FrameVisible());
  EXPECT_EQ(e->FrameSides(), sdsAll);
}

TEST_F(EditControls, NumericEditFormatsAndReadsBack) {
  auto* e = Make<TFcNumericEdit>(10);
  EXPECT_EQ(e->Text(), L"0");
  EXPECT_EQ(e->Alignment(), taRightJustify);
  struct Case {
    double set;
    const wchar_t* shown;
    double value;
    int integer;
  } cases[] = {{2.5, L"3", 3, 3},
               {-7, L"(7)", -7, -7},
               {1234567, L"1,234,567", 1234567, 1234567},
               {0.4, L"0", 0, 0},
               {-2.5, L"(3)", -3, -3}};
  for (const auto& c : cases) {
    e->SetValue(c.set);
    EXPECT_EQ(e->Text(), c.shown) << c.set;
    EXPECT_DOUBLE_EQ(e->Value(), c.value) << c.set;
    EXPECT_EQ(e->IntegerValue(), c.integer) << c.set;
  }
  // Setting the value the text already shows leaves the text alone.
  e->SetText(L"1234");
  e->SetValue(1234);
  EXPECT_EQ(e->Text(), L"1234");
  // Empty text reads as the formatted minimum.
  e->SetMin(5);
  e->SetText(L"");
  EXPECT_DOUBLE_EQ(e->Value(), 5);
  EXPECT_EQ(e->Text(), L"5");
  e->SetAllowBlank(true);
  e->SetBlankValue(-1);
  e->SetText(L"");
  EXPECT_DOUBLE_EQ(e->Value(), -1);
  // Min above Max drags Max up.
  EXPECT_DOUBLE_EQ(e->Max(), 5);
  e->SetMin(50);
  EXPECT_DOUBLE_EQ(e->Max(), 50);
}

TEST_F(EditControls, NumericEditCorrectsTheRangeOnExit) {
  auto* e = Make<TFcNumericEdit>(10);
  e->SetMin(0);
  e->SetMax(100);
  int exits = 0;
  e->OnExit = [&](TObject*) { ++exits; };
  struct Case {
    const wchar_t* typed;
    bool accept;
    const wchar_t* after;
    bool keepsFocus;
  } cases[] = {{L"150", true, L"100", false},
               {L"(20)", true, L"0", false},
               {L"42", true, L"42", false},
               {L"1234", true, L"100", false},
               {L"500", false, L"500", true}};
  for (const auto& c : cases) {
    bool fired = false;
    e->OnRangeError = [&](TObject*, double, double, bool& autoCorrect) {
      fired = true;
      autoCorrect = c.accept;
    };
    e->SetText(c.typed);
    EnterAndLeave(e);
    EXPECT_EQ(e->Text(), c.after) << WideToUtf8(c.typed);
    EXPECT_EQ(fired, c.typed != std::wstring(L"42")) << WideToUtf8(c.typed);
  }
  EXPECT_EQ(exits, 4);
  // Without a range nothing is corrected.
  e->OnRangeError = nullptr;
  e->SetMax(0);
  e->SetMin(0);
  e->SetText(L"-12");
  EnterAndLeave(e);
  EXPECT_EQ(e->Text(), L"(12)");
}

TEST_F(EditControls, NumericEditFiltersTypedAndPastedText) {
  auto* e = Make<TFcNumericEdit>(10);
  e->SetBeepOnInvalidKey(false);
  e->SetText(L"");
  e->SetFocus();
  testsupport::TypeText(e->Handle(), L"12ab3");
  EXPECT_EQ(e->Text(), L"123");
  // Pasted text goes through the same filter instead of becoming 0.
  if (OpenClipboard(e->Handle())) {
    EmptyClipboard();
    std::wstring text = L"4x5y";
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(h), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(h);
    SetClipboardData(CF_UNICODETEXT, h);
    CloseClipboard();
    e->SetSelStart(3);
    e->SetSelLength(0);
    SendMessageW(e->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(e->Text(), L"12345");
    EXPECT_DOUBLE_EQ(e->Value(), 12345);
    e->SetReadOnly(true);
    SendMessageW(e->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(e->Text(), L"12345");
  }
}

TEST_F(EditControls, SpinEditFormatsAndClamps) {
  auto* s = Make<TFcSpinEdit>(10);
  EXPECT_EQ(s->Text(), L"0");
  struct Case {
    double min, max;
    bool checkRange;
    int decimals;
    double set;
    const wchar_t* shown;
  } cases[] = {{0, 100, false, 0, 150, L"100"}, {0, 100, false, 0, -3, L"0"},
               {0, 0, false, 0, -3, L"-3"},     {0, 0, true, 0, -3, L"0"},
               {0, 100, false, 2, 1, L"1.00"},  {0, 100, false, 1, 2.25, L"2.3"},
               {-10, 10, false, 0, -4, L"-4"}};
  for (const auto& c : cases) {
    s->SetMax(c.max);
    s->SetMin(c.min);
    s->SetCheckRange(c.checkRange);
    s->SetIntegersOnly(c.decimals == 0);
    s->SetDecimals(static_cast<uint8_t>(c.decimals));
    s->SetValue(c.set);
    EXPECT_EQ(s->Text(), c.shown) << c.set;
  }
  // Text that is no number reads as Min; empty text is replaced by Min.
  s->SetDecimals(0);
  s->SetIntegersOnly(true);
  s->SetText(L"abc");
  EXPECT_DOUBLE_EQ(s->Value(), -10);
  s->SetText(L"");
  EXPECT_DOUBLE_EQ(s->Value(), -10);
  EXPECT_EQ(s->Text(), L"-10");
  s->SetText(L"2.6");
  EXPECT_EQ(s->IntegerValue(), 3);
}

TEST_F(EditControls, SpinEditSteps) {
  auto* s = Make<TFcSpinEdit>(10);
  s->SetBeepOnInvalidKey(false);
  std::vector<double> asked;
  std::vector<TSpinButtonType> clicks;
  s->OnChanging = [&](TObject*, double v, bool& allow) {
    asked.push_back(v);
    allow = v != 42;
  };
  s->OnButtonClick = [&](TObject*, TSpinButtonType b) { clicks.push_back(b); };
  s->SetValue(100);
  EXPECT_TRUE(asked.empty()); // setting Value does not ask
  s->UpClick();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_DOUBLE_EQ(asked[0], 101);
  EXPECT_EQ(s->Text(), L"100");
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], sbUp);
  struct Key {
    UINT vk;
    const wchar_t* shown;
  } keys[] = {{VK_DOWN, L"99"}, {VK_NEXT, L"89"}, {VK_PRIOR, L"99"}, {VK_UP, L"100"}};
  for (const auto& k : keys) {
    testsupport::KeyPress(s->Handle(), k.vk);
    EXPECT_EQ(s->Text(), k.shown) << k.vk;
  }
  // A refused step changes nothing and reports no click.
  s->SetValue(41);
  size_t before = clicks.size();
  s->UpClick();
  EXPECT_EQ(s->Text(), L"41");
  EXPECT_EQ(clicks.size(), before);
  // The wheel steps by Increment.
  SendMessageW(s->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  testsupport::PumpMessages();
  EXPECT_EQ(s->Text(), L"40");
  // Without AllowKeyEdit nothing can be typed; the buttons still work.
  s->SetFocus();
  testsupport::TypeText(s->Handle(), L"7");
  EXPECT_EQ(s->Text(), L"40");
  s->SetAllowKeyEdit(true);
  s->SelectAll();
  testsupport::TypeText(s->Handle(), L"7");
  EXPECT_EQ(s->Text(), L"7");
  // Read-only: steps only beep.
  s->SetReadOnly(true);
  s->UpClick();
  EXPECT_EQ(s->Text(), L"7");
  s->SetReadOnly(false);
  // Leaving the edit clamps and re-formats.
  s->SetText(L"250");
  EnterAndLeave(s);
  EXPECT_EQ(s->Text(), L"100");
}

TEST_F(EditControls, SpinButtonsClickTheEdit) {
  auto* s = Make<TFcSpinEdit>(10);
  s->SetValue(5);
  TFcControlButton* up = s->GetButton(sbUp);
  TFcControlButton* down = s->GetButton(sbDown);
  ASSERT_TRUE(up && down && up != down);
  EXPECT_EQ(up->Style(), cbsUp);
  EXPECT_EQ(down->Style(), cbsDown);
  up->Click();
  EXPECT_EQ(s->Text(), L"6");
  down->Click();
  down->Click();
  EXPECT_EQ(s->Text(), L"4");
  s->SetDirection(sdLeftRight);
  EXPECT_EQ(up->Style(), cbsRight);
  EXPECT_EQ(down->Style(), cbsLeft);
}

} // namespace
