#include "framework/SysUtils.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>

// ---------------------------------------------------------------------------
// Exceptions

Exception::Exception(std::wstring message) : FMessage(std::move(message)) {
  FWhat = WideToUtf8(FMessage);
}

void Exception::SetMessage(const std::wstring& value) {
  FMessage = value;
  FWhat = WideToUtf8(FMessage);
}

void Abort() {
  throw EAbort(L"Operation aborted");
}

std::wstring SysErrorMessage(DWORD code) {
  wchar_t* buf = nullptr;
  DWORD len = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::wstring result;
  if (len && buf) result.assign(buf, len);
  if (buf) LocalFree(buf);
  while (!result.empty() && (result.back() == L'\r' || result.back() == L'\n' ||
                             result.back() == L' ' || result.back() == L'.'))
    result.pop_back();
  if (!result.empty()) result += L'.';
  return result;
}

void RaiseLastOSError() {
  DWORD code = GetLastError();
  if (code != 0)
    throw EOSError(Format(L"System Error.  Code: %d.\r\n%s",
                          {static_cast<long long>(code), SysErrorMessage(code)}));
  throw EOSError(L"A call to an OS function failed");
}

// ---------------------------------------------------------------------------
// Locale settings

namespace {

std::wstring LocaleString(LCTYPE type, const wchar_t* def) {
  wchar_t buf[256];
  int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 256);
  if (n <= 1) return def;
  return std::wstring(buf, n - 1);
}

wchar_t LocaleChar(LCTYPE type, wchar_t def) {
  std::wstring s = LocaleString(type, L"");
  return s.empty() ? def : s[0];
}

// Converts a system time format ("h:mm:ss tt") to the date-time tokens here.
std::wstring ConvertTimeFormat(const std::wstring& f) {
  std::wstring r;
  for (size_t i = 0; i < f.size(); ++i) {
    wchar_t c = f[i];
    if (c == L'\'') {
      size_t j = f.find(L'\'', i + 1);
      if (j == std::wstring::npos) j = f.size();
      r += L'"' + f.substr(i + 1, j - i - 1) + L'"';
      i = j;
    } else if (c == L'm') {
      r += L'n';
    } else if (c == L't') {
      while (i + 1 < f.size() && f[i + 1] == L't')
        ++i;
      r += L"AMPM";
    } else {
      r += c;
    }
  }
  return r;
}

TFormatSettings LoadFormatSettings() {
  TFormatSettings fs;
  fs.DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, L'.');
  fs.ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, L',');
  fs.DateSeparator = LocaleChar(LOCALE_SDATE, L'/');
  fs.TimeSeparator = LocaleChar(LOCALE_STIME, L':');
  fs.ShortDateFormat = LocaleString(LOCALE_SSHORTDATE, L"M/d/yyyy");
  fs.LongDateFormat = LocaleString(LOCALE_SLONGDATE, L"dddd, MMMM d, yyyy");
  fs.LongTimeFormat = ConvertTimeFormat(LocaleString(LOCALE_STIMEFORMAT, L"h:mm:ss tt"));
  std::wstring shortTime = fs.LongTimeFormat;
  size_t sec = shortTime.find(L"ss");
  if (sec != std::wstring::npos && sec > 0) shortTime.erase(sec - 1, 3);
  fs.ShortTimeFormat = shortTime;
  fs.TimeAMString = LocaleString(LOCALE_S1159, L"AM");
  fs.TimePMString = LocaleString(LOCALE_S2359, L"PM");
  static const wchar_t* shortMonths[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                           L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  static const wchar_t* longMonths[12] = {L"January",   L"February", L"March",    L"April",
                                          L"May",       L"June",     L"July",     L"August",
                                          L"September", L"October",  L"November", L"December"};
  static const wchar_t* shortDays[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
  static const wchar_t* longDays[7] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                       L"Thursday", L"Friday", L"Saturday"};
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = LocaleString(LOCALE_SABBREVMONTHNAME1 + i, shortMonths[i]);
    fs.LongMonthNames[i] = LocaleString(LOCALE_SMONTHNAME1 + i, longMonths[i]);
  }
  for (int i = 0; i < 7; ++i) {
    // The system's day names start on Monday.
    int sys = (i + 6) % 7;
    fs.ShortDayNames[i] = LocaleString(LOCALE_SABBREVDAYNAME1 + sys, shortDays[i]);
    fs.LongDayNames[i] = LocaleString(LOCALE_SDAYNAME1 + sys, longDays[i]);
  }
  return fs;
}

} // namespace

TFormatSettings FormatSettings = LoadFormatSettings();

void GetFormatSettings() {
  FormatSettings = LoadFormatSettings();
}

// ---------------------------------------------------------------------------
// Number helpers

namespace {

// Decimal digits of |value| with 15 significant digits: value = 0.digits *
// 10^point. Digits carry no trailing zeros; zero has no digits.
struct TDecimal {
  std::string digits;
  int point = 0;
};

TDecimal ToDecimal(double value) {
  TDecimal d;
  value = std::fabs(value);
  if (value == 0 || !std::isfinite(value)) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  std::string s(buf);
  size_t e = s.find('e');
  int exp = std::atoi(s.c_str() + e + 1);
  for (size_t i = 0; i < e; ++i)
    if (s[i] >= '0' && s[i] <= '9') d.digits += s[i];
  d.point = exp + 1;
  while (!d.digits.empty() && d.digits.back() == '0')
    d.digits.pop_back();
  return d;
}

// Rounds to the given number of fraction digits, halves away from zero.
void RoundDecimal(TDecimal& d, int decimals) {
  int keep = d.point + decimals;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  if (keep >= static_cast<int>(d.digits.size())) return;
  bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') {
      d.digits[i] = '0';
      --i;
    }
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      d.point++;
    } else {
      d.digits[i]++;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0')
    d.digits.pop_back();
}

std::wstring IntegerPart(const TDecimal& d) {
  std::wstring r;
  for (int i = 0; i < d.point; ++i)
    r += i < static_cast<int>(d.digits.size()) ? static_cast<wchar_t>(d.digits[i]) : L'0';
  return r;
}

std::wstring FractionPart(const TDecimal& d, int decimals) {
  std::wstring r;
  for (int i = 0; i < decimals; ++i) {
    int idx = d.point + i;
    r += (idx >= 0 && idx < static_cast<int>(d.digits.size())) ? static_cast<wchar_t>(d.digits[idx])
                                                               : L'0';
  }
  return r;
}

std::wstring GroupThousands(const std::wstring& digits) {
  std::wstring r;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    r += digits[i];
    int rest = n - 1 - i;
    if (rest > 0 && rest % 3 == 0) r += FormatSettings.ThousandSeparator;
  }
  return r;
}

// Fixed notation with the locale's separators.
std::wstring FixedText(double value, int decimals, bool thousands) {
  TDecimal d = ToDecimal(value);
  RoundDecimal(d, decimals);
  std::wstring ip = IntegerPart(d);
  if (ip.empty()) ip = L"0";
  if (thousands) ip = GroupThousands(ip);
  std::wstring r = (value < 0 && !d.digits.empty()) ? L"-" : L"";
  r += ip;
  if (decimals > 0) r += FormatSettings.DecimalSeparator + FractionPart(d, decimals);
  return r;
}

void ReplaceDecimalPoint(std::wstring& s) {
  for (auto& c : s)
    if (c == L'.') c = FormatSettings.DecimalSeparator;
}

[[noreturn]] void FormatError(const std::wstring& fmt) {
  throw EConvertError(L"Format '" + fmt + L"' invalid or incompatible with argument");
}

} // namespace

// ---------------------------------------------------------------------------
// Format

std::wstring Format(const std::wstring& fmt, std::initializer_list<TVarRec> args) {
  return FormatV(fmt, std::vector<TVarRec>(args));
}

std::wstring FormatV(const std::wstring& fmt, const std::vector<TVarRec>& args) {
  std::wstring out;
  size_t argIndex = 0;
  const size_t n = fmt.size();
  auto nextArg = [&]() -> const TVarRec& {
    if (argIndex >= args.size()) FormatError(fmt);
    return args[argIndex++];
  };
  auto readNumber = [&](size_t& i, int& value) -> bool {
    if (i < n && fmt[i] == L'*') {
      const TVarRec& a = nextArg();
      if (a.VType != TVarRec::vtInteger) FormatError(fmt);
      value = static_cast<int>(a.VInteger);
      ++i;
      return true;
    }
    if (i >= n || !iswdigit(fmt[i])) return false;
    value = 0;
    while (i < n && iswdigit(fmt[i]))
      value = value * 10 + (fmt[i++] - L'0');
    return true;
  };

  for (size_t i = 0; i < n; ++i) {
    wchar_t c = fmt[i];
    if (c != L'%') {
      out += c;
      continue;
    }
    if (++i >= n) FormatError(fmt);
    if (fmt[i] == L'%') {
      out += L'%';
      continue;
    }
    int number = 0;
    bool left = false;
    int width = -1, prec = -1;
    size_t save = i;
    if (i < n && iswdigit(fmt[i]) && readNumber(i, number)) {
      if (i < n && fmt[i] == L':') {
        argIndex = static_cast<size_t>(number);
        ++i;
      } else {
        i = save;
      }
    }
    if (i < n && fmt[i] == L'-') {
      left = true;
      ++i;
    }
    readNumber(i, width);
    if (i < n && fmt[i] == L'.') {
      ++i;
      if (!readNumber(i, prec)) prec = 0;
    }
    if (i >= n) FormatError(fmt);
    wchar_t type = static_cast<wchar_t>(towlower(fmt[i]));
    const TVarRec& a = nextArg();
    std::wstring text;
    switch (type) {
    case L'd':
    case L'u':
    case L'x': {
      if (a.VType != TVarRec::vtInteger) FormatError(fmt);
      long long v = a.VInteger;
      bool negative = false;
      unsigned long long mag;
      if (type == L'd') {
        negative = v < 0;
        mag = negative ? 0ull - static_cast<unsigned long long>(v)
                       : static_cast<unsigned long long>(v);
      } else if (v < 0 && v >= INT32_MIN) {
        mag = static_cast<uint32_t>(v);
      } else {
        mag = static_cast<unsigned long long>(v);
      }
      wchar_t buf[32];
      std::swprintf(buf, 32, type == L'x' ? L"%llX" : L"%llu", mag);
      text = buf;
      if (prec > static_cast<int>(text.size())) text.insert(0, prec - text.size(), L'0');
      if (negative) text.insert(0, 1, L'-');
      break;
    }
    case L'f':
    case L'n':
    case L'e':
    case L'g': {
      double v;
      if (a.VType == TVarRec::vtFloat)
        v = a.VFloat;
      else if (a.VType == TVarRec::vtInteger)
        v = static_cast<double>(a.VInteger);
      else
        FormatError(fmt);
      if (type == L'f' || type == L'n') {
        text = FixedText(v, prec < 0 ? 2 : prec, type == L'n');
      } else {
        wchar_t buf[64];
        if (type == L'e') {
          std::swprintf(buf, 64, L"%.*E", (prec < 0 ? 15 : std::max(prec, 1)) - 1, v);
        } else {
          std::swprintf(buf, 64, L"%.*G", prec < 0 ? 15 : std::max(prec, 1), v);
        }
        text = buf;
        ReplaceDecimalPoint(text);
      }
      break;
    }
    case L's': {
      if (a.VType != TVarRec::vtString) FormatError(fmt);
      text = a.VString;
      if (prec >= 0 && prec < static_cast<int>(text.size())) text.resize(prec);
      break;
    }
    case L'p': {
      if (a.VType != TVarRec::vtPointer && a.VType != TVarRec::vtInteger) FormatError(fmt);
      wchar_t buf[32];
      unsigned long long p =
          a.VType == TVarRec::vtPointer
              ? static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(a.VPointer))
              : static_cast<unsigned long long>(a.VInteger);
      std::swprintf(buf, 32, L"%0*llX", static_cast<int>(sizeof(void*) * 2), p);
      text = buf;
      break;
    }
    default:
      FormatError(fmt);
    }
    if (width > static_cast<int>(text.size())) {
      if (left)
        text.append(width - text.size(), L' ');
      else
        text.insert(0, width - text.size(), L' ');
    }
    out += text;
  }
  return out;
}

// ---------------------------------------------------------------------------
// FormatFloat

namespace {

std::vector<std::wstring> SplitSections(const std::wstring& pattern) {
  std::vector<std::wstring> sections(1);
  wchar_t quote = 0;
  for (wchar_t c : pattern) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == L'"' || c == L'\'') {
      quote = c;
    } else if (c == L';') {
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

struct TFloatPattern {
  int intPlaceholders = 0; // '0' and '#' before the point
  int intZeros = 0;        // digits forced from the first '0' on
  int decimals = 0;        // '0' and '#' after the point
  int minDecimals = 0;     // up to the last '0' after the point
  bool thousands = false;
};

TFloatPattern ScanPattern(const std::wstring& s) {
  TFloatPattern p;
  bool afterPoint = false, seenZero = false;
  wchar_t quote = 0;
  for (wchar_t c : s) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    switch (c) {
    case L'"':
    case L'\'':
      quote = c;
      break;
    case L'.':
      afterPoint = true;
      break;
    case L',':
      if (!afterPoint) p.thousands = true;
      break;
    case L'0':
    case L'#':
      if (afterPoint) {
        p.decimals++;
        if (c == L'0') p.minDecimals = p.decimals;
      } else {
        p.intPlaceholders++;
        if (c == L'0') seenZero = true;
        if (seenZero) p.intZeros++;
      }
      break;
    default:
      break;
    }
  }
  return p;
}

std::wstring ApplyPattern(const std::wstring& s, const TFloatPattern& p, const TDecimal& d,
                          bool negative) {
  std::wstring intDigits = IntegerPart(d);
  if (static_cast<int>(intDigits.size()) < p.intZeros)
    intDigits.insert(0, p.intZeros - intDigits.size(), L'0');
  std::wstring frac = FractionPart(d, p.decimals);
  while (static_cast<int>(frac.size()) > p.minDecimals && frac.back() == L'0')
    frac.pop_back();

  std::wstring out = negative ? L"-" : L"";
  const int digitCount = static_cast<int>(intDigits.size());
  int intSeen = 0, fracSeen = 0;
  bool afterPoint = false;
  wchar_t quote = 0;
  auto emitDigit = [&](int pos) { // pos counts from the right, 0 = units
    out += intDigits[digitCount - 1 - pos];
    if (p.thousands && pos > 0 && pos % 3 == 0) out += FormatSettings.ThousandSeparator;
  };
  for (wchar_t c : s) {
    if (quote) {
      if (c == quote)
        quote = 0;
      else
        out += c;
      continue;
    }
    switch (c) {
    case L'"':
    case L'\'':
      quote = c;
      break;
    case L',':
      break;
    case L'.':
      if (!afterPoint) {
        afterPoint = true;
        if (!frac.empty()) out += FormatSettings.DecimalSeparator;
      }
      break;
    case L'0':
    case L'#':
      if (afterPoint) {
        if (fracSeen < static_cast<int>(frac.size())) out += frac[fracSeen];
        fracSeen++;
      } else {
        int pos = p.intPlaceholders - 1 - intSeen;
        if (intSeen == 0) {
          for (int q = digitCount - 1; q > pos; --q)
            emitDigit(q);
        }
        if (pos < digitCount) emitDigit(pos);
        intSeen++;
      }
      break;
    default:
      out += c;
      break;
    }
  }
  return out;
}

} // namespace

std::wstring FormatFloat(const std::wstring& pattern, double value) {
  if (!std::isfinite(value)) return std::isnan(value) ? L"NAN" : (value > 0 ? L"INF" : L"-INF");
  std::vector<std::wstring> sections = SplitSections(pattern);
  if (pattern.empty()) return FloatToStr(value);

  size_t index = 0;
  bool minus = false;
  if (value < 0) {
    if (sections.size() >= 2 && !sections[1].empty())
      index = 1;
    else
      minus = true;
  }
  TFloatPattern p = ScanPattern(sections[index]);
  TDecimal d = ToDecimal(value);
  RoundDecimal(d, p.decimals);
  if (d.digits.empty()) {
    minus = false;
    if (sections.size() >= 3 && !sections[2].empty()) {
      index = 2;
      p = ScanPattern(sections[2]);
    } else if (index == 1) {
      index = 0;
      p = ScanPattern(sections[0]);
    }
  }
  return ApplyPattern(sections[index], p, d, minus);
}

std::wstring FloatToStr(double value) {
  if (!std::isfinite(value)) return std::isnan(value) ? L"NAN" : (value > 0 ? L"INF" : L"-INF");
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%.15G", value);
  std::wstring s = buf;
  ReplaceDecimalPoint(s);
  return s;
}

bool TryStrToFloat(const std::wstring& text, double& value) {
  std::wstring s = Trim(text);
  if (s.empty()) return false;
  std::wstring c;
  for (wchar_t ch : s) {
    if (ch == FormatSettings.DecimalSeparator)
      c += L'.';
    else if (iswdigit(ch) || ch == L'+' || ch == L'-' || ch == L'e' || ch == L'E')
      c += ch;
    else
      return false;
  }
  wchar_t* end = nullptr;
  double v = std::wcstod(c.c_str(), &end);
  if (end == c.c_str() || *end != 0) return false;
  value = v;
  return true;
}

double StrToFloat(const std::wstring& s) {
  double v;
  if (!TryStrToFloat(s, v))
    throw EConvertError(L"'" + s + L"' is not a valid floating point value");
  return v;
}

double StrToFloatDef(const std::wstring& s, double def) {
  double v;
  return TryStrToFloat(s, v) ? v : def;
}

// ---------------------------------------------------------------------------
// Integers and strings

std::wstring IntToStr(long long value) {
  return std::to_wstring(value);
}

std::wstring IntToHex(long long value, int digits) {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"%0*llX", digits, static_cast<unsigned long long>(value));
  return buf;
}

bool TryStrToInt64(const std::wstring& s, long long& value) {
  size_t i = 0, n = s.size();
  while (i < n && (s[i] == L' ' || s[i] == L'\t'))
    ++i;
  bool negative = false;
  if (i < n && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
  unsigned base = 10;
  if (i < n && s[i] == L'$') {
    base = 16;
    ++i;
  } else if (i + 1 < n && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  if (i >= n) return false;
  unsigned long long v = 0;
  for (; i < n; ++i) {
    wchar_t c = s[i];
    unsigned digit;
    if (c >= L'0' && c <= L'9')
      digit = c - L'0';
    else if (base == 16 && c >= L'a' && c <= L'f')
      digit = c - L'a' + 10;
    else if (base == 16 && c >= L'A' && c <= L'F')
      digit = c - L'A' + 10;
    else
      return false;
    if (v > (ULLONG_MAX - digit) / base) return false;
    v = v * base + digit;
  }
  if (base == 10) {
    if (negative ? v > 9223372036854775808ull : v > 9223372036854775807ull) return false;
    value = negative ? static_cast<long long>(0ull - v) : static_cast<long long>(v);
  } else {
    value = static_cast<long long>(v);
    if (negative) value = -value;
  }
  return true;
}

bool TryStrToInt(const std::wstring& s, int& value) {
  long long v;
  if (!TryStrToInt64(s, v)) return false;
  bool hex = s.find_first_of(L"$xX") != std::wstring::npos;
  if (hex && v >= 0 && v <= 0xFFFFFFFFll) {
    value = static_cast<int>(static_cast<uint32_t>(v));
    return true;
  }
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(const std::wstring& s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError(L"'" + s + L"' is not a valid integer value");
  return v;
}

int StrToIntDef(const std::wstring& s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

long long StrToInt64(const std::wstring& s) {
  long long v;
  if (!TryStrToInt64(s, v)) throw EConvertError(L"'" + s + L"' is not a valid integer value");
  return v;
}

long long StrToInt64Def(const std::wstring& s, long long def) {
  long long v;
  return TryStrToInt64(s, v) ? v : def;
}

std::wstring TrimLeft(const std::wstring& s) {
  size_t i = 0;
  while (i < s.size() && s[i] <= L' ')
    ++i;
  return s.substr(i);
}

std::wstring TrimRight(const std::wstring& s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] <= L' ')
    --n;
  return s.substr(0, n);
}

std::wstring Trim(const std::wstring& s) {
  return TrimLeft(TrimRight(s));
}

std::wstring LowerCase(const std::wstring& s) {
  std::wstring r = s;
  if (!r.empty()) CharLowerBuffW(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

std::wstring UpperCase(const std::wstring& s) {
  std::wstring r = s;
  if (!r.empty()) CharUpperBuffW(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

int CompareText(const std::wstring& a, const std::wstring& b) {
  int r = CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                         b.c_str(), static_cast<int>(b.size()));
  return r - CSTR_EQUAL;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return LowerCase(a) == LowerCase(b);
}

int Pos(const std::wstring& sub, const std::wstring& s) {
  if (sub.empty()) return 0;
  size_t p = s.find(sub);
  return p == std::wstring::npos ? 0 : static_cast<int>(p) + 1;
}

std::wstring Copy(const std::wstring& s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || index > static_cast<int>(s.size())) return L"";
  return s.substr(index - 1, count);
}

void Delete(std::wstring& s, int index, int count) {
  if (index < 1 || count <= 0 || index > static_cast<int>(s.size())) return;
  s.erase(index - 1, count);
}

std::wstring StringReplaceAll(const std::wstring& s, const std::wstring& from,
                              const std::wstring& to) {
  if (from.empty()) return s;
  std::wstring r;
  size_t pos = 0;
  for (;;) {
    size_t p = s.find(from, pos);
    if (p == std::wstring::npos) break;
    r.append(s, pos, p - pos);
    r += to;
    pos = p + from.size();
  }
  r.append(s, pos, std::wstring::npos);
  return r;
}

std::wstring GetShortHint(const std::wstring& hint) {
  size_t p = hint.find(L'|');
  return p == std::wstring::npos ? hint : hint.substr(0, p);
}

std::wstring GetLongHint(const std::wstring& hint) {
  size_t p = hint.find(L'|');
  return p == std::wstring::npos ? hint : hint.substr(p + 1);
}

namespace {

std::string WideToCodePage(const std::wstring& s, UINT cp) {
  if (s.empty()) return {};
  int n = WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string r(n, '\0');
  WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), r.data(), n, nullptr, nullptr);
  return r;
}

std::wstring CodePageToWide(const std::string& s, UINT cp) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring r(n, L'\0');
  MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), r.data(), n);
  return r;
}

} // namespace

std::string WideToAnsi(const std::wstring& s) {
  return WideToCodePage(s, CP_ACP);
}
std::wstring AnsiToWide(const std::string& s) {
  return CodePageToWide(s, CP_ACP);
}
std::string WideToUtf8(const std::wstring& s) {
  return WideToCodePage(s, CP_UTF8);
}
std::wstring Utf8ToWide(const std::string& s) {
  return CodePageToWide(s, CP_UTF8);
}

// ---------------------------------------------------------------------------
// Numbers

long long Round(double value) {
  double f = std::floor(value);
  double diff = value - f;
  long long i = static_cast<long long>(f);
  if (diff > 0.5) return i + 1;
  if (diff < 0.5) return i;
  return (i % 2 == 0) ? i : i + 1;
}

long long Trunc(double value) {
  return static_cast<long long>(value);
}

double Frac(double value) {
  return value - std::trunc(value);
}

// ---------------------------------------------------------------------------
// Dates and times

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

constexpr long long UnixDelta = 25569; // 1899-12-30 to 1970-01-01

// Splits into whole days and milliseconds of the day.
void SplitDateTime(TDateTime dt, long long& days, int& msec) {
  days = static_cast<long long>(std::trunc(dt));
  long long ms =
      static_cast<long long>(std::llround(std::fabs(dt - static_cast<double>(days)) * MSecsPerDay));
  if (ms >= static_cast<long long>(MSecsPerDay)) {
    ms -= static_cast<long long>(MSecsPerDay);
    days += dt < 0 ? -1 : 1;
  }
  msec = static_cast<int>(ms);
}

} // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  value = static_cast<double>(DaysFromCivil(year, month, day) + UnixDelta);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    return false;
  value = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime v;
  if (!TryEncodeDate(year, month, day, v)) throw EConvertError(L"Invalid argument to date encode");
  return v;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime v;
  if (!TryEncodeTime(hour, min, sec, msec, v))
    throw EConvertError(L"Invalid argument to time encode");
  return v;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  long long days;
  int ms;
  SplitDateTime(dt, days, ms);
  CivilFromDays(days - UnixDelta, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  long long days;
  int ms;
  SplitDateTime(dt, days, ms);
  hour = ms / 3600000;
  min = ms / 60000 % 60;
  sec = ms / 1000 % 60;
  msec = ms % 1000;
}

int DayOfWeek(TDateTime dt) {
  long long days;
  int ms;
  SplitDateTime(dt, days, ms);
  long long r = (days + DateDelta) % 7;
  if (r < 0) r += 7;
  return static_cast<int>(r) + 1;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
  TDateTime d = EncodeDate(st.wYear, st.wMonth, st.wDay);
  TDateTime t = EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
  return d >= 0 ? d + t : d - t;
}

SYSTEMTIME DateTimeToSystemTime(TDateTime dt) {
  SYSTEMTIME st{};
  int y, m, d, h, n, s, ms;
  DecodeDate(dt, y, m, d);
  DecodeTime(dt, h, n, s, ms);
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(dt) - 1);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(n);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
  return st;
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return SystemTimeToDateTime(st);
}

TDateTime Date() {
  return std::trunc(Now());
}

TDateTime Time() {
  return Frac(Now());
}

TDateTime FileTimeToDateTime(const FILETIME& ft) {
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&ft, &utc)) return -1;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
  return SystemTimeToDateTime(local);
}

TDateTime FileDateToDateTime(int fileDate) {
  unsigned date = static_cast<unsigned>(fileDate) >> 16;
  unsigned time = static_cast<unsigned>(fileDate) & 0xFFFF;
  TDateTime d, t;
  if (!TryEncodeDate(static_cast<int>((date >> 9) + 1980), (date >> 5) & 15, date & 31, d) ||
      !TryEncodeTime(time >> 11, (time >> 5) & 63, (time & 31) * 2, 0, t))
    throw EConvertError(L"Invalid argument to date encode");
  return d + t;
}

int DateTimeToFileDate(TDateTime dt) {
  int y, m, d, h, n, s, ms;
  DecodeDate(dt, y, m, d);
  if (y < 1980 || y > 2107) return 0;
  DecodeTime(dt, h, n, s, ms);
  unsigned date = ((y - 1980) << 9) | (m << 5) | d;
  unsigned time = (h << 11) | (n << 5) | (s / 2);
  return static_cast<int>((date << 16) | time);
}

TDateTime FileAge(const std::wstring& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return FileTimeToDateTime(data.ftLastWriteTime);
}

namespace {

std::wstring Pad2(int v) {
  wchar_t buf[16];
  std::swprintf(buf, 16, L"%02d", v);
  return buf;
}

bool StartsWithNoCase(const std::wstring& s, size_t i, const wchar_t* what) {
  for (size_t k = 0; what[k]; ++k)
    if (i + k >= s.size() || towlower(s[i + k]) != towlower(what[k])) return false;
  return true;
}

bool UsesAmPm(const std::wstring& fmt) {
  wchar_t quote = 0;
  for (size_t i = 0; i < fmt.size(); ++i) {
    wchar_t c = fmt[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == L'"' || c == L'\'') {
      quote = c;
    } else if (StartsWithNoCase(fmt, i, L"am/pm") || StartsWithNoCase(fmt, i, L"a/p") ||
               StartsWithNoCase(fmt, i, L"ampm")) {
      return true;
    }
  }
  return false;
}

void AppendDateTime(std::wstring& out, const std::wstring& fmt, TDateTime dt, int depth) {
  if (depth > 2) return;
  int year, month, day, hour, min, sec, msec;
  DecodeDate(dt, year, month, day);
  DecodeTime(dt, hour, min, sec, msec);
  const int dow = DayOfWeek(dt) - 1;
  const bool ampm = UsesAmPm(fmt);
  const TFormatSettings& fs = FormatSettings;
  wchar_t last = 0;
  size_t i = 0;
  const size_t n = fmt.size();
  while (i < n) {
    wchar_t c = fmt[i];
    if (c == L'"' || c == L'\'') {
      size_t j = fmt.find(c, i + 1);
      if (j == std::wstring::npos) j = n;
      out.append(fmt, i + 1, j - i - 1);
      i = j + 1;
      continue;
    }
    wchar_t u = static_cast<wchar_t>(towupper(c));
    size_t count = 1;
    while (i + count < n && towupper(fmt[i + count]) == u)
      ++count;
    switch (u) {
    case L'Y':
      if (count <= 2) {
        out += Pad2(year % 100);
      } else {
        wchar_t buf[16];
        std::swprintf(buf, 16, L"%04d", year);
        out += buf;
      }
      last = u;
      break;
    case L'M':
      if (last == L'H') {
        out += count == 1 ? std::to_wstring(min) : Pad2(min);
        if (count > 2) count = 2;
        last = L'N';
      } else {
        if (count == 1)
          out += std::to_wstring(month);
        else if (count == 2)
          out += Pad2(month);
        else if (count == 3)
          out += fs.ShortMonthNames[month - 1];
        else
          out += fs.LongMonthNames[month - 1];
        last = u;
      }
      break;
    case L'D':
      if (count == 1)
        out += std::to_wstring(day);
      else if (count == 2)
        out += Pad2(day);
      else if (count == 3)
        out += fs.ShortDayNames[dow];
      else if (count == 4)
        out += fs.LongDayNames[dow];
      else if (count == 5)
        AppendDateTime(out, fs.ShortDateFormat, dt, depth + 1);
      else
        AppendDateTime(out, fs.LongDateFormat, dt, depth + 1);
      last = u;
      break;
    case L'H': {
      int h = hour;
      if (ampm) h = h % 12 == 0 ? 12 : h % 12;
      out += count == 1 ? std::to_wstring(h) : Pad2(h);
      if (count > 2) count = 2;
      last = u;
      break;
    }
    case L'N':
      out += count == 1 ? std::to_wstring(min) : Pad2(min);
      if (count > 2) count = 2;
      last = u;
      break;
    case L'S':
      out += count == 1 ? std::to_wstring(sec) : Pad2(sec);
      if (count > 2) count = 2;
      last = u;
      break;
    case L'Z': {
      if (count >= 3) {
        wchar_t buf[8];
        std::swprintf(buf, 8, L"%03d", msec);
        out += buf;
        count = 3;
      } else {
        out += std::to_wstring(msec);
        count = 1;
      }
      last = u;
      break;
    }
    case L'T':
      AppendDateTime(out, count == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, depth + 1);
      count = std::min<size_t>(count, 2);
      last = u;
      break;
    case L'C':
      AppendDateTime(out, fs.ShortDateFormat, dt, depth + 1);
      if (Frac(dt) != 0) {
        out += L' ';
        AppendDateTime(out, fs.LongTimeFormat, dt, depth + 1);
      }
      count = 1;
      last = u;
      break;
    case L'A':
      if (StartsWithNoCase(fmt, i, L"am/pm")) {
        bool upper = fmt[i] == L'A';
        out += hour < 12 ? (upper ? L"AM" : L"am") : (upper ? L"PM" : L"pm");
        count = 5;
      } else if (StartsWithNoCase(fmt, i, L"a/p")) {
        bool upper = fmt[i] == L'A';
        out += hour < 12 ? (upper ? L"A" : L"a") : (upper ? L"P" : L"p");
        count = 3;
      } else if (StartsWithNoCase(fmt, i, L"ampm")) {
        out += hour < 12 ? fs.TimeAMString : fs.TimePMString;
        count = 4;
      } else {
        out += c;
        count = 1;
      }
      break;
    case L'/':
      out += fs.DateSeparator;
      count = 1;
      break;
    case L':':
      out += fs.TimeSeparator;
      count = 1;
      break;
    default:
      out += c;
      count = 1;
      break;
    }
    i += count;
  }
}

struct TDateTokens {
  std::vector<int> numbers;
  int monthByName = 0;
  bool am = false, pm = false;
};

TDateTokens Tokenize(const std::wstring& s) {
  TDateTokens t;
  const TFormatSettings& fs = FormatSettings;
  size_t i = 0, n = s.size();
  while (i < n) {
    if (iswdigit(s[i])) {
      long long v = 0;
      size_t start = i;
      while (i < n && iswdigit(s[i])) {
        if (i - start < 9) v = v * 10 + (s[i] - L'0');
        ++i;
      }
      t.numbers.push_back(static_cast<int>(v));
    } else if (iswalpha(s[i])) {
      size_t start = i;
      while (i < n && (iswalpha(s[i]) || s[i] == L'.'))
        ++i;
      std::wstring word = LowerCase(s.substr(start, i - start));
      while (!word.empty() && word.back() == L'.')
        word.pop_back();
      for (int m = 0; m < 12 && !t.monthByName; ++m)
        if (word == LowerCase(fs.LongMonthNames[m]) || word == LowerCase(fs.ShortMonthNames[m]))
          t.monthByName = m + 1;
      if (word == L"am" || word == L"a" || word == LowerCase(fs.TimeAMString)) t.am = true;
      if (word == L"pm" || word == L"p" || word == LowerCase(fs.TimePMString)) t.pm = true;
    } else {
      ++i;
    }
  }
  return t;
}

int ExpandYear(int y) {
  if (y >= 100) return y;
  SYSTEMTIME st;
  GetLocalTime(&st);
  int century = st.wYear / 100 * 100;
  int full = century + y;
  if (full > st.wYear + 50)
    full -= 100;
  else if (full <= st.wYear - 50)
    full += 100;
  return full;
}

// Order of day, month and year in the locale's short date: a string like "mdy".
std::wstring DateOrder() {
  std::wstring order;
  for (wchar_t c : FormatSettings.ShortDateFormat) {
    wchar_t l = static_cast<wchar_t>(towlower(c));
    if ((l == L'd' || l == L'm' || l == L'y') && order.find(l) == std::wstring::npos) order += l;
  }
  if (order.size() != 3) order = L"mdy";
  return order;
}

bool DateFromTokens(const TDateTokens& t, TDateTime& value) {
  int y = 0, m = 0, d = 0;
  std::wstring order = DateOrder();
  std::vector<int> nums = t.numbers;
  if (t.monthByName) {
    m = t.monthByName;
    order.erase(order.find(L'm'), 1);
  }
  SYSTEMTIME now;
  GetLocalTime(&now);
  if (nums.size() == order.size()) {
    for (size_t k = 0; k < order.size(); ++k) {
      if (order[k] == L'd') d = nums[k];
      if (order[k] == L'm') m = nums[k];
      if (order[k] == L'y') y = ExpandYear(nums[k]);
    }
  } else if (nums.size() + 1 == order.size()) {
    // No year: the current one.
    order.erase(order.find(L'y'), 1);
    for (size_t k = 0; k < order.size(); ++k) {
      if (order[k] == L'd') d = nums[k];
      if (order[k] == L'm') m = nums[k];
    }
    y = now.wYear;
  } else {
    return false;
  }
  return TryEncodeDate(y, m, d, value);
}

bool TimeFromTokens(const TDateTokens& t, TDateTime& value) {
  if (t.numbers.empty() || t.numbers.size() > 4) return false;
  int h = t.numbers[0];
  int n = t.numbers.size() > 1 ? t.numbers[1] : 0;
  int s = t.numbers.size() > 2 ? t.numbers[2] : 0;
  int ms = t.numbers.size() > 3 ? t.numbers[3] : 0;
  if (t.am || t.pm) {
    if (h < 1 || h > 12) return false;
    if (t.pm && h < 12) h += 12;
    if (t.am && h == 12) h = 0;
  }
  return TryEncodeTime(h, n, s, ms, value);
}

} // namespace

std::wstring FormatDateTime(const std::wstring& fmt, TDateTime dt) {
  std::wstring out;
  AppendDateTime(out, fmt.empty() ? L"C" : fmt, dt, 0);
  return out;
}

std::wstring DateToStr(TDateTime dt) {
  SYSTEMTIME st = DateTimeToSystemTime(dt);
  wchar_t buf[128];
  if (st.wYear >= 1601 &&
      GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 128))
    return buf;
  return FormatDateTime(L"ddddd", dt);
}

std::wstring TimeToStr(TDateTime dt) {
  SYSTEMTIME st = DateTimeToSystemTime(dt);
  st.wYear = 2000;
  st.wMonth = 1;
  st.wDay = 1;
  wchar_t buf[128];
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 128)) return buf;
  return FormatDateTime(L"tt", dt);
}

std::wstring DateTimeToStr(TDateTime dt) {
  std::wstring s = DateToStr(dt);
  if (Frac(dt) != 0) s += L' ' + TimeToStr(dt);
  return s;
}

bool TryStrToDate(const std::wstring& s, TDateTime& value) {
  return DateFromTokens(Tokenize(s), value);
}

bool TryStrToTime(const std::wstring& s, TDateTime& value) {
  return TimeFromTokens(Tokenize(s), value);
}

TDateTime StrToDate(const std::wstring& s) {
  TDateTime v;
  if (!TryStrToDate(s, v)) throw EConvertError(L"'" + s + L"' is not a valid date");
  return v;
}

TDateTime StrToTime(const std::wstring& s) {
  TDateTime v;
  if (!TryStrToTime(s, v)) throw EConvertError(L"'" + s + L"' is not a valid time");
  return v;
}

TDateTime StrToDateTime(const std::wstring& s) {
  // The time starts at the word holding the first time separator.
  size_t sep = s.find_first_of(std::wstring(1, FormatSettings.TimeSeparator) + L":");
  TDateTime d, t = 0;
  bool ok;
  if (sep == std::wstring::npos) {
    ok = TryStrToDate(s, d);
  } else {
    size_t split = s.find_last_of(L" \t", sep);
    if (split == std::wstring::npos) {
      ok = false;
    } else {
      ok = TryStrToDate(s.substr(0, split), d) && TryStrToTime(s.substr(split + 1), t);
    }
  }
  if (!ok) throw EConvertError(L"'" + s + L"' is not a valid date and time");
  return d >= 0 ? d + t : d - t;
}

// ---------------------------------------------------------------------------
// Files and paths

bool FileExists(const std::wstring& fileName) {
  if (fileName.empty()) return false;
  DWORD a = GetFileAttributesW(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsOrdinaryFile(const std::wstring& fileName) {
  if (fileName.empty() || fileName.find(L'\0') != std::wstring::npos) return false;
  std::wstring name = fileName;
  for (auto& c : name)
    if (c == L'/') c = L'\\';
  // Device namespaces; only \\?\ before a drive letter or UNC share is a disk path.
  if (name.rfind(L"\\\\.\\", 0) == 0 || name.rfind(L"\\??\\", 0) == 0) return false;
  if (name.rfind(L"\\\\?\\", 0) == 0) {
    std::wstring rest = name.substr(4);
    bool drive = rest.size() >= 3 && iswalpha(rest[0]) && rest[1] == L':' && rest[2] == L'\\';
    if (!drive && _wcsnicmp(rest.c_str(), L"UNC\\", 4) != 0) return false;
  }
  // Reserved device names in any folder, with any extension or trailing spaces.
  size_t slash = name.find_last_of(L"\\:");
  std::wstring base = name.substr(slash == std::wstring::npos ? 0 : slash + 1);
  base = base.substr(0, base.find(L'.'));
  while (!base.empty() && base.back() == L' ')
    base.pop_back();
  static const wchar_t* const kDevices[] = {L"CON",    L"PRN",     L"AUX",   L"NUL",
                                            L"CONIN$", L"CONOUT$", L"CLOCK$"};
  for (const wchar_t* d : kDevices)
    if (_wcsicmp(base.c_str(), d) == 0) return false;
  if (base.size() == 4 &&
      (_wcsnicmp(base.c_str(), L"COM", 3) == 0 || _wcsnicmp(base.c_str(), L"LPT", 3) == 0) &&
      (iswdigit(base[3]) || base[3] == 0xB9 || base[3] == 0xB2 || base[3] == 0xB3))
    return false;
  DWORD a = GetFileAttributesW(name.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) return false;
  HANDLE h = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return true; // a disk file held exclusively elsewhere
  bool disk = GetFileType(h) == FILE_TYPE_DISK;
  CloseHandle(h);
  return disk;
}

bool DirectoryExists(const std::wstring& dir) {
  if (dir.empty()) return false;
  DWORD a = GetFileAttributesW(dir.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::wstring& path) {
  std::wstring dir = ExcludeTrailingBackslash(path);
  if (dir.empty()) return false;
  if (dir.size() < 3 || DirectoryExists(dir) || ExtractFilePath(dir) == dir) return true;
  std::wstring parent = ExtractFileDir(dir);
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return CreateDirectoryW(dir.c_str(), nullptr) || DirectoryExists(dir);
}

long long FileSizeOf(const std::wstring& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

namespace {
size_t LastDelimiter(const std::wstring& s, const wchar_t* delims) {
  return s.find_last_of(delims);
}
} // namespace

std::wstring ExtractFilePath(const std::wstring& fileName) {
  size_t p = LastDelimiter(fileName, L"\\/:");
  return p == std::wstring::npos ? L"" : fileName.substr(0, p + 1);
}

std::wstring ExtractFileDir(const std::wstring& fileName) {
  size_t p = LastDelimiter(fileName, L"\\/:");
  if (p == std::wstring::npos) return L"";
  // Keep the backslash of a drive root ("C:\").
  if (p > 0 && (fileName[p] == L'\\' || fileName[p] == L'/') && fileName[p - 1] != L':')
    return fileName.substr(0, p);
  return fileName.substr(0, p + 1);
}

std::wstring ExtractFileName(const std::wstring& fileName) {
  size_t p = LastDelimiter(fileName, L"\\/:");
  return p == std::wstring::npos ? fileName : fileName.substr(p + 1);
}

std::wstring ExtractFileExt(const std::wstring& fileName) {
  size_t p = LastDelimiter(fileName, L".\\/:");
  if (p == std::wstring::npos || fileName[p] != L'.') return L"";
  return fileName.substr(p);
}

std::wstring ChangeFileExt(const std::wstring& fileName, const std::wstring& ext) {
  size_t p = LastDelimiter(fileName, L".\\/:");
  if (p == std::wstring::npos || fileName[p] != L'.') return fileName + ext;
  return fileName.substr(0, p) + ext;
}

std::wstring ExpandFileName(const std::wstring& fileName) {
  if (fileName.empty()) return fileName;
  DWORD n = GetFullPathNameW(fileName.c_str(), 0, nullptr, nullptr);
  if (!n) return fileName;
  std::wstring r(n, L'\0');
  n = GetFullPathNameW(fileName.c_str(), n, r.data(), nullptr);
  r.resize(n);
  return r;
}

std::wstring IncludeTrailingBackslash(const std::wstring& s) {
  if (!s.empty() && (s.back() == L'\\' || s.back() == L'/')) return s;
  return s + L'\\';
}

std::wstring ExcludeTrailingBackslash(const std::wstring& s) {
  if (!s.empty() && (s.back() == L'\\' || s.back() == L'/')) return s.substr(0, s.size() - 1);
  return s;
}

std::wstring GetCurrentDir() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring r(n, L'\0');
  n = GetCurrentDirectoryW(n, r.data());
  r.resize(n);
  return r;
}

namespace {
std::vector<std::wstring> CommandLineArgs() {
  std::vector<std::wstring> args;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv) {
    for (int i = 0; i < argc; ++i)
      args.emplace_back(argv[i]);
    LocalFree(argv);
  }
  return args;
}
} // namespace

int ParamCount() {
  auto args = CommandLineArgs();
  return args.empty() ? 0 : static_cast<int>(args.size()) - 1;
}

std::wstring ParamStr(int index) {
  if (index == 0) {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
    return std::wstring(buf, n);
  }
  auto args = CommandLineArgs();
  if (index < 0 || index >= static_cast<int>(args.size())) return L"";
  return args[index];
}
