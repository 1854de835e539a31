#include "controls/FcEdit.h"

#include "framework/SysUtils.h"

namespace fcnumeric {

double TextToValue(const std::wstring& Text) {
  if (Text.empty()) return 0;
  size_t e = Text.find(L'E');
  if (e == std::wstring::npos) e = Text.find(L'e');
  size_t m = Text.find(L'-');
  bool paren = Text.find(L'(') != std::wstring::npos;
  bool hasExp = e != std::wstring::npos, hasMinus = m != std::wstring::npos;
  bool negative = (!hasExp && hasMinus) || (hasExp && hasMinus && m < e) || paren;
  wchar_t dec = FormatSettings.DecimalSeparator;
  std::wstring digits;
  for (size_t i = 0; i < Text.size(); ++i) {
    wchar_t c = Text[i];
    if ((c >= L'0' && c <= L'9') || c == L'E' || c == L'e' || c == dec)
      digits += c;
    else if (c == L'-' && i > 0 && (Text[i - 1] == L'E' || Text[i - 1] == L'e'))
      digits += c;
  }
  if (digits.empty()) return 0;
  if (negative) digits.insert(digits.begin(), L'-');
  return StrToFloatDef(digits, 0);
}

bool IsValidChar(wchar_t Ch, const std::wstring& Text, int SelStart, int SelLength,
                 bool IntegersOnly) {
  wchar_t dec = FormatSettings.DecimalSeparator;
  if (Ch < L' ') return Ch != L'\r';
  bool isDigit = Ch >= L'0' && Ch <= L'9';
  bool isSign = Ch == L'+' || Ch == L'-';
  bool ok = isDigit || isSign || Ch == L'(' || Ch == L')';
  if (!IntegersOnly && (Ch == L'E' || Ch == L'e' || Ch == dec)) ok = true;
  if (!ok) return false;
  std::wstring selected =
      SelLength > 0 ? Text.substr(std::min<size_t>(SelStart, Text.size()), SelLength) : L"";
  if (!IntegersOnly && Ch == dec) {
    bool textHas = Text.find(dec) != std::wstring::npos;
    if (SelLength > 0) return !textHas || selected.find(dec) != std::wstring::npos;
    return !textHas;
  }
  if (IntegersOnly) {
    bool startsSigned = !Text.empty() && (Text[0] == L'+' || Text[0] == L'-');
    if (!isSign) return !(SelStart == 0 && SelLength == 0 && startsSigned);
    bool textHasSign = Text.find_first_of(L"+-") != std::wstring::npos;
    if (SelStart == 0 && SelLength == 0 && !textHasSign) return true;
    if (SelLength > 0 && SelLength >= static_cast<int>(Text.size()) && SelStart == 0) return true;
    return SelStart == 0 && SelLength > 0 && selected.find_first_of(L"+-") != std::wstring::npos;
  }
  return true;
}

TTypedText TypeThrough(const std::wstring& Text, int SelStart, int SelLength,
                       const std::wstring& Insert, const TCharFilter& Filter) {
  TTypedText r;
  r.Text = Text;
  int start = std::clamp(SelStart, 0, static_cast<int>(Text.size()));
  int len = std::clamp(SelLength, 0, static_cast<int>(Text.size()) - start);
  for (wchar_t c : Insert) {
    if (c == L'\r' || c == L'\n' || !Filter(c, r.Text, start, len)) {
      r.Rejected = true;
      continue;
    }
    r.Text.replace(start, len, 1, c);
    ++start;
    len = 0;
  }
  if (!Insert.empty() && len > 0 && r.Rejected && r.Text == Text) {
    // Nothing got in: the selection stays as it was.
  }
  r.Caret = start;
  return r;
}

double CheckValue(double V, double Min, double Max, bool CheckRange,
                  const TRangeCheck& OnRangeError, bool& KeepFocus) {
  KeepFocus = false;
  if (Max == Min && !CheckRange) return V;
  auto limit = [&](double bound) {
    bool autoCorrect = true;
    if (OnRangeError) OnRangeError(V, bound, autoCorrect);
    if (autoCorrect) return bound;
    KeepFocus = true;
    return V;
  };
  if (V < Min) return limit(Min);
  if (V > Max) return limit(Max);
  return V;
}

} // namespace fcnumeric
