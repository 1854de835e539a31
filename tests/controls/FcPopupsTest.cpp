// Calculator: its arithmetic as key sequences, and the panel's buttons.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/FcEdit.h"
#include "controls/FcPopups.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

namespace {

// Runs keys on an engine: digits, '.', + - * /, '=', 'C', 'S' (set).
std::wstring RunKeys(const std::wstring& keys) {
  fccalc::TCalcEngine e;
  for (wchar_t k : keys) {
    if (k >= L'0' && k <= L'9')
      e.Digit(k - L'0');
    else if (k == L'.')
      e.Point();
    else if (k == L'+')
      e.Operator(fccalc::coAdd);
    else if (k == L'-')
      e.Operator(fccalc::coSubtract);
    else if (k == L'*')
      e.Operator(fccalc::coMultiply);
    else if (k == L'/')
      e.Operator(fccalc::coDivide);
    else if (k == L'=')
      e.Equals();
    else if (k == L'C')
      e.Clear();
    else if (k == L'S')
      e.Set();
  }
  return e.DisplayText();
}

TEST(Calculator, KeySequences) {
  wchar_t dec = FormatSettings.DecimalSeparator;
  FormatSettings.DecimalSeparator = L'.';
  struct Case {
    const wchar_t* keys;
    const wchar_t* shown;
  } cases[] = {
      {L"", L"0."},        {L"12", L"12."},   {L"7+3=", L"10."},  {L"7+3==", L"13."},
      {L"0.5", L"0.5"},    {L"0.5.", L"0.5"}, {L"0..5", L"0.5"},  {L"1/0=", L"E"},
      {L"1/0=5+", L"E"},   {L"1/0=C", L"0."}, {L"1+2+3=", L"6."}, {L"9-4*2=", L"10."},
      {L"1.25*4=", L"5."}, {L"2*3S", L"6."},  {L"8/4=", L"2."},   {L"3.", L"3."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RunKeys(c.keys), c.shown) << WideToUtf8(c.keys);
  fccalc::TCalcEngine e;
  e.SetResult(42);
  EXPECT_EQ(e.DisplayText(), L"42.");
  e.Digit(5);
  EXPECT_EQ(e.DisplayText(), L"5.");
  FormatSettings.DecimalSeparator = dec;
}

TEST(Calculator, PanelButtonsAndPicture) {
  wchar_t dec = FormatSettings.DecimalSeparator;
  FormatSettings.DecimalSeparator = L'.';
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* form = new TForm(owner.get());
  form->SetBounds(100, 100, 260, 260);
  auto* calc = new TFcCalculator(owner.get());
  calc->SetParent(form);
  calc->SetLeft(10);
  calc->SetTop(10);
  EXPECT_EQ(calc->Width(), calc->Height());
  int changes = 0;
  calc->OnChange = [&](TObject*) { ++changes; };
  form->Show();
  // 7 + 3 = by clicking the buttons' centres.
  for (int index : {7, 11, 3, 16}) {
    TRect r = calc->ButtonRect(index);
    ASSERT_FALSE(r.IsEmpty()) << index;
    testsupport::Click(calc->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  EXPECT_EQ(calc->DisplayText(), L"10.");
  EXPECT_DOUBLE_EQ(calc->Result(), 10);
  EXPECT_EQ(changes, 1);
  // The set button exists only in a popup.
  EXPECT_TRUE(calc->ButtonRect(17).IsEmpty());
  calc->SetPopup(true);
  EXPECT_FALSE(calc->ButtonRect(17).IsEmpty());
  int sets = 0;
  calc->OnSetBtnClick = [&](TObject*) { ++sets; };
  calc->PressButton(17);
  EXPECT_EQ(sets, 1);
  calc->Invalidate();
  testsupport::PumpFor(100);
  testsupport::SaveWindowPng(form->Handle(), L"calculator.png");
  FormatSettings.DecimalSeparator = dec;
}

// What a timer does while the popup's loop runs.
std::function<void()> TimerAction;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (TimerAction) TimerAction();
}

TEST(Calculator, DropsDownUnderTheNumericEdit) {
  wchar_t dec = FormatSettings.DecimalSeparator;
  FormatSettings.DecimalSeparator = L'.';
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* form = new TForm(owner.get());
  form->SetBounds(100, 100, 300, 200);
  auto* edit = new TFcNumericEdit(owner.get());
  edit->SetParent(form);
  edit->SetBounds(10, 10, 100, 21);
  edit->SetValue(7);
  edit->SetCalculatorVisible(true);
  form->Show();
  int dropped = 0, closed = 0;
  edit->OnButtonDropDown = [&](TObject*) { ++dropped; };
  edit->OnButtonCloseUp = [&](TObject*) { ++closed; };
  // Accepted: 7 * 6, then the set button.
  RECT er;
  GetWindowRect(edit->Handle(), &er);
  bool below = false;
  TimerAction = [&] {
    HWND popup = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) {
          if (IsWindowVisible(h) && (GetWindowLongW(h, GWL_STYLE) & WS_POPUP) &&
              (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
            *reinterpret_cast<HWND*>(lp) = h;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&popup));
    RECT pr{};
    if (popup) GetWindowRect(popup, &pr);
    below = popup && (pr.top == er.bottom || pr.bottom == er.top);
    auto* calc = dynamic_cast<TFcCalculator*>(FindControl(GetFocus()));
    if (!calc) return;
    for (int b : {13, 6, 17})
      calc->PressButton(b);
  };
  SetTimer(nullptr, 0, 200, OnTimer);
  edit->DropDown();
  EXPECT_TRUE(below);
  EXPECT_EQ(edit->Text(), L"42");
  // Dismissed with Escape: the value stays.
  TimerAction = [&] { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); };
  SetTimer(nullptr, 0, 200, OnTimer);
  edit->DropDown();
  EXPECT_EQ(edit->Text(), L"42");
  EXPECT_EQ(dropped, 2);
  EXPECT_EQ(closed, 2);
  // Read-only: nothing drops down.
  edit->SetReadOnly(true);
  edit->DropDown();
  EXPECT_EQ(dropped, 2);
  TimerAction = nullptr;
  FormatSettings.DecimalSeparator = dec;
}

} // namespace
