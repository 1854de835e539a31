// Numeric edit: reading numbers back from text, the key filter, typing and
// pasting through it, and the range check on exit.
#include <gtest/gtest.h>

#include "controls/FcEdit.h"
#include "framework/SysUtils.h"

namespace {

struct Separators {
  wchar_t dec, thousands;
  Separators() : dec(FormatSettings.DecimalSeparator), thousands(FormatSettings.ThousandSeparator) {
    FormatSettings.DecimalSeparator = L'.';
    FormatSettings.ThousandSeparator = L',';
  }
  ~Separators() {
    FormatSettings.DecimalSeparator = dec;
    FormatSettings.ThousandSeparator = thousands;
  }
};

struct ParseCase {
  const wchar_t* text;
  double value;
};

class NumericParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(NumericParse, ReadsTheShownNumber) {
  Separators s;
  const ParseCase& c = GetParam();
  EXPECT_DOUBLE_EQ(fcnumeric::TextToValue(c.text), c.value) << "text: " << WideToUtf8(c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumericParse,
    ::testing::Values(ParseCase{L"", 0}, ParseCase{L"0", 0}, ParseCase{L"123", 123},
                      ParseCase{L"1,234", 1234}, ParseCase{L"(1,234)", -1234},
                      ParseCase{L"(7)", -7}, ParseCase{L"-5", -5}, ParseCase{L"1-2", -12},
                      ParseCase{L"-1E-5", -0.00001}, ParseCase{L"1E-5", 0.00001},
                      ParseCase{L"2e3", 2000}, ParseCase{L"1E", 0}, ParseCase{L"+42", 42},
                      ParseCase{L"3.25", 3.25}, ParseCase{L"abc", 0}, ParseCase{L"1.2.3", 0},
                      ParseCase{L"  12  ", 12}, ParseCase{L"1 000 000", 1000000}));

struct KeyCase {
  wchar_t ch;
  const wchar_t* text;
  int selStart, selLength;
  bool integersOnly;
  bool accepted;
};

class NumericKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(NumericKeys, FiltersLikeTheEdit) {
  Separators s;
  const KeyCase& c = GetParam();
  EXPECT_EQ(fcnumeric::IsValidChar(c.ch, c.text, c.selStart, c.selLength, c.integersOnly),
            c.accepted)
      << "char " << int(c.ch) << " into '" << WideToUtf8(c.text) << "' at " << c.selStart << "+"
      << c.selLength;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumericKeys,
    ::testing::Values(
        KeyCase{L'5', L"12", 2, 0, true, true}, KeyCase{L'a', L"12", 2, 0, true, false},
        KeyCase{L'\b', L"12", 2, 0, true, true}, KeyCase{L'\r', L"12", 2, 0, true, false},
        KeyCase{L'5', L"-3", 0, 0, true, false}, // digit before the sign
        KeyCase{L'5', L"-3", 1, 0, true, true},
        KeyCase{L'-', L"-3", 0, 2, true, true},  // whole text selected
        KeyCase{L'-', L"3", 0, 0, true, true},   // sign at the start
        KeyCase{L'-', L"3", 1, 0, true, false},  // sign after a digit
        KeyCase{L'-', L"-3", 0, 0, true, false}, // a second sign
        KeyCase{L'+', L"-3", 0, 1, true, true},  // replacing the sign
        KeyCase{L'(', L"3", 0, 0, true, true}, KeyCase{L')', L"(3", 2, 0, true, true},
        KeyCase{L'.', L"3", 1, 0, true, false}, // integers only: no separator
        KeyCase{L'.', L"3", 1, 0, false, true}, KeyCase{L'.', L"3.1", 3, 0, false, false},
        KeyCase{L'.', L"3.1", 1, 2, false, true}, // selection holds the separator
        KeyCase{L'.', L"3.1", 2, 1, false, false}, KeyCase{L'E', L"3", 1, 0, false, true},
        KeyCase{L'E', L"3", 1, 0, true, false}));

TEST(NumericPaste, PastedTextPassesTheKeyFilter) {
  Separators s;
  struct Case {
    const wchar_t *text, *paste;
    int selStart, selLength;
    const wchar_t* result;
    bool rejected;
  } cases[] = {
      {L"", L"123", 0, 0, L"123", false},  {L"", L"12ab3", 0, 0, L"123", true},
      {L"5", L"hello", 0, 1, L"5", true}, // nothing usable: the text stays
      {L"10", L"-5", 0, 2, L"-5", false},  {L"10", L"1,5", 2, 0, L"1015", true},
      {L"", L"12\r\n", 0, 0, L"12", true},
  };
  for (const auto& c : cases) {
    auto filter = [](wchar_t ch, const std::wstring& t, int ss, int sl) {
      return fcnumeric::IsValidChar(ch, t, ss, sl, true);
    };
    auto r = fcnumeric::TypeThrough(c.text, c.selStart, c.selLength, c.paste, filter);
    EXPECT_EQ(r.Text, c.result) << WideToUtf8(c.paste);
    EXPECT_EQ(r.Rejected, c.rejected) << WideToUtf8(c.paste);
  }
}

TEST(NumericRange, CorrectsOrKeepsFocus) {
  struct Case {
    double v, min, max;
    bool checkRange, accept;
    double result;
    bool keepFocus, eventFired;
  } cases[] = {
      {5, 0, 0, false, true, 5, false, false}, // no range at all
      {-5, 0, 0, false, true, -5, false, false},
      {-5, 0, 0, true, true, 0, false, true}, // CheckRange with Min = Max
      {-5, 0, 10, false, true, 0, false, true},
      {15, 0, 10, false, true, 10, false, true},
      {15, 0, 10, false, false, 15, true, true}, // the handler refuses
      {7, 0, 10, false, true, 7, false, false},
  };
  for (const auto& c : cases) {
    bool fired = false, keep = false;
    double entered = 0, adjusted = 0;
    double r = fcnumeric::CheckValue(
        c.v, c.min, c.max, c.checkRange,
        [&](double e, double a, bool& autoCorrect) {
          fired = true, entered = e, adjusted = a;
          autoCorrect = c.accept;
        },
        keep);
    EXPECT_DOUBLE_EQ(r, c.result);
    EXPECT_EQ(keep, c.keepFocus);
    EXPECT_EQ(fired, c.eventFired);
    if (fired) {
      EXPECT_DOUBLE_EQ(entered, c.v);
      EXPECT_DOUBLE_EQ(adjusted, c.v < c.min ? c.min : c.max);
    }
  }
}

TEST(NumericFormat, DisplayFormatGroupsAndBrackets) {
  Separators s;
  struct Case {
    double v;
    const wchar_t* text;
    double readBack;
  } cases[] = {{0, L"0", 0},
               {2.5, L"3", 3},
               {-7, L"(7)", -7},
               {1234567, L"1,234,567", 1234567},
               {-1234.4, L"(1,234)", -1234}};
  for (const auto& c : cases) {
    std::wstring shown = FormatFloat(L",0;(,0)", c.v);
    EXPECT_EQ(shown, c.text);
    EXPECT_DOUBLE_EQ(fcnumeric::TextToValue(shown), c.readBack);
  }
  EXPECT_EQ(Round(2.5), 2); // integer values round halves to even
  EXPECT_EQ(Round(3.5), 4);
}

} // namespace
