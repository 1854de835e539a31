// Framed edit and numeric edit.
#pragma once

#include <functional>
#include <string>

namespace fcnumeric {

// Reads a number from what a numeric edit shows: thousands separators,
// parentheses for negatives and an exponent. Unreadable text gives 0.
double TextToValue(const std::wstring& Text);

// The key filter of the numeric edit for one character typed into Text with
// the given selection.
bool IsValidChar(wchar_t Ch, const std::wstring& Text, int SelStart, int SelLength,
                 bool IntegersOnly);

// Text typed or pasted into an edit, one character at a time through a filter.
struct TTypedText {
  std::wstring Text;
  int Caret = 0;
  bool Rejected = false; // some character was refused
};
using TCharFilter =
    std::function<bool(wchar_t Ch, const std::wstring& Text, int SelStart, int SelLength)>;
TTypedText TypeThrough(const std::wstring& Text, int SelStart, int SelLength,
                       const std::wstring& Insert, const TCharFilter& Filter);

// The range check on leaving the edit. OnRangeError may clear AutoCorrect;
// then KeepFocus is set and the entered value is returned.
using TRangeCheck = std::function<void(double Entered, double Adjusted, bool& AutoCorrect)>;
double CheckValue(double V, double Min, double Max, bool CheckRange,
                  const TRangeCheck& OnRangeError, bool& KeepFocus);

} // namespace fcnumeric
