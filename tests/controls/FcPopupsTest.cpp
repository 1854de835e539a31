// Calculator: its arithmetic as key sequences, and the panel's buttons.
#include <gtest/gtest.h>

#include <memory>

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

} // namespace
