#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/Gui.h"

namespace {

// Fixed separators so results do not depend on the machine's locale.
class SysUtilsTest : public ::testing::Test {
protected:
  void SetUp() override {
    saved = FormatSettings;
    FormatSettings.DecimalSeparator = L'.';
    FormatSettings.ThousandSeparator = L',';
    FormatSettings.DateSeparator = L'/';
    FormatSettings.TimeSeparator = L':';
    FormatSettings.ShortDateFormat = L"d/m/yyyy";
    FormatSettings.LongTimeFormat = L"hh:nn:ss";
  }
  void TearDown() override { FormatSettings = saved; }
  TFormatSettings saved;
};

struct FormatCase {
  const wchar_t* fmt;
  std::vector<TVarRec> args;
  const wchar_t* expected;
};

TEST_F(SysUtilsTest, FormatPatterns) {
  const FormatCase cases[] = {
      {L"%d", {42}, L"42"},
      {L"%d%%", {75}, L"75%"},
      {L"%.1d", {7}, L"7"},
      {L"%.2d", {7}, L"07"},
      {L"%.3d", {7}, L"007"},
      {L"%.2d", {-7}, L"-07"},
      {L"%.2d:%.2d", {5, 9}, L"05:09"},
      {L"%s version: %s", {std::wstring(L"Korvane"), L"1.2"}, L"Korvane version: 1.2"},
      {L"rec%s%s", {L"0102-030405", L".mp3"}, L"rec0102-030405.mp3"},
      {L"%x", {255}, L"FF"},
      {L"%.4x", {255}, L"00FF"},
      {L"%u%%", {50}, L"50%"},
      {L"%5d|%-5d|", {12, 12}, L"   12|12   |"},
      {L"%.3s", {L"abcdef"}, L"abc"},
      {L"%f", {2.5}, L"2.50"},
      {L"%.1f", {0.25}, L"0.3"},
      {L"%n", {1234567.891}, L"1,234,567.89"},
      {L"%1:s %0:s", {L"a", L"b"}, L"b a"},
      {L"&%s %s", {L"1", L"x"}, L"&1 x"},
      {L"%s (%s)", {L"a", L"b"}, L"a (b)"},
      {L"%*d", {4, 7}, L"   7"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatV(c.fmt, c.args), c.expected) << c.fmt;
}

TEST_F(SysUtilsTest, FormatVariadicAndErrors) {
  EXPECT_EQ(Format(L"%d-%s", 3, std::wstring(L"x")), L"3-x");
  EXPECT_THROW(Format(L"%d", {L"text"}), EConvertError);
  EXPECT_THROW(Format(L"%d %d", {1}), EConvertError);
  EXPECT_THROW(Format(L"%s", {1}), EConvertError);
  try {
    Format(L"%d", {L"x"});
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), L"Format '%d' invalid or incompatible with argument");
  }
}

TEST_F(SysUtilsTest, FormatFloatPatterns) {
  struct Case {
    const wchar_t* pattern;
    double value;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"0.##", 3.14159, L"3.14"},
      {L"0.##", 2, L"2"},
      {L"0.##", 0.5, L"0.5"},
      {L"0.##", 1.005, L"1.01"},
      {L"#,##0.00 MB", 1234.5, L"1,234.50 MB"},
      {L"#,##0.00 MB", 0, L"0.00 MB"},
      {L"#,##0.00 MB", 1234567.125, L"1,234,567.13 MB"},
      {L",0;(,0)", 2.5, L"3"},
      {L",0;(,0)", -7, L"(7)"},
      {L",0;(,0)", 1234567, L"1,234,567"},
      {L",0;(,0)", -1234.4, L"(1,234)"},
      {L"0", -0.4, L"0"},
      {L"0", -2.5, L"-3"},
      {L"000", 5, L"005"},
      {L"#.##", 0.25, L".25"},
      {L"0.00;-0.00;\"zero\"", 0, L"zero"},
      {L"0.00;-0.00;\"zero\"", 0.001, L"zero"},
      {L"0 'kB'", 12, L"12 kB"},
      {L"0.0", 99.96, L"100.0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatFloat(c.pattern, c.value), c.expected) << c.pattern << " " << c.value;
}

TEST_F(SysUtilsTest, FormatFloatUsesLocaleSeparators) {
  FormatSettings.DecimalSeparator = L',';
  FormatSettings.ThousandSeparator = L'.';
  EXPECT_EQ(FormatFloat(L"#,##0.00 MB", 1234.5), L"1.234,50 MB");
}

TEST_F(SysUtilsTest, RoundHalfToEven) {
  const std::pair<double, long long> cases[] = {{0.5, 0},
                                                {1.5, 2},
                                                {2.5, 2},
                                                {3.5, 4},
                                                {-0.5, 0},
                                                {-1.5, -2},
                                                {-2.5, -2},
                                                {2.4, 2},
                                                {2.6, 3},
                                                {-2.6, -3},
                                                {1e10 + 0.5, 10000000000LL}};
  for (auto [v, r] : cases)
    EXPECT_EQ(Round(v), r) << v;
  EXPECT_EQ(Trunc(2.9), 2);
  EXPECT_EQ(Trunc(-2.9), -2);
}

TEST_F(SysUtilsTest, IntegerConversions) {
  const std::pair<const wchar_t*, int> good[] = {{L"0", 0},
                                                 {L"-12", -12},
                                                 {L"+7", 7},
                                                 {L"$1F", 31},
                                                 {L"0x10", 16},
                                                 {L"  5", 5},
                                                 {L"2147483647", 2147483647},
                                                 {L"0xFFFFFFFF", -1}};
  for (auto [s, v] : good)
    EXPECT_EQ(StrToInt(s), v) << s;
  const wchar_t* bad[] = {L"", L"abc", L"12a", L"5 ", L"2147483648", L"$", L"0x", L"1.5"};
  for (auto s : bad) {
    EXPECT_EQ(StrToIntDef(s, -99), -99) << s;
    EXPECT_THROW(StrToInt(s), EConvertError) << s;
  }
  try {
    StrToInt(L"abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), L"'abc' is not a valid integer value");
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(IntToStr(-123), L"-123");
  EXPECT_EQ(IntToHex(255, 4), L"00FF");
}

TEST_F(SysUtilsTest, StringHelpers) {
  EXPECT_EQ(Trim(L"  a b \t\r\n"), L"a b");
  EXPECT_EQ(LowerCase(L"AbC.MP3"), L"abc.mp3");
  EXPECT_EQ(UpperCase(L"abc"), L"ABC");
  EXPECT_TRUE(SameText(L"Hello", L"hELLO"));
  EXPECT_EQ(CompareText(L"a", L"B") < 0, true);
  EXPECT_EQ(Pos(L"lo", L"hello"), 4);
  EXPECT_EQ(Pos(L"x", L"hello"), 0);
  EXPECT_EQ(Copy(L"hello", 2, 3), L"ell");
  EXPECT_EQ(Copy(L"hello", 4, 10), L"lo");
  std::wstring s = L"hello";
  Delete(s, 1, 2);
  EXPECT_EQ(s, L"llo");
  EXPECT_EQ(GetShortHint(L"Play|Plays the file"), L"Play");
  EXPECT_EQ(GetLongHint(L"Play|Plays the file"), L"Plays the file");
  EXPECT_EQ(AnsiToWide(WideToAnsi(L"abc")), L"abc");
  EXPECT_EQ(Utf8ToWide(WideToUtf8(L"\u00e9\u4e2d")), L"\u00e9\u4e2d");
}

TEST_F(SysUtilsTest, DateArithmetic) {
  struct Case {
    int y, m, d;
    double serial;
    int dow;
  };
  const Case cases[] = {
      {1899, 12, 30, 0, 7},   {1899, 12, 31, 1, 1},     {1900, 1, 1, 2, 2},
      {2000, 1, 1, 36526, 7}, {2024, 2, 29, 45351, 5},  {1970, 1, 1, 25569, 5},
      {1899, 12, 29, -1, 6},  {2023, 12, 25, 45285, 2}, {1, 1, 1, -693593, 2},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
    int y, m, d;
    DecodeDate(c.serial, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    // A negative date keeps its day; the fraction is the time of that day.
    EXPECT_EQ(DayOfWeek(c.serial < 0 ? c.serial - 0.75 : c.serial + 0.75), c.dow) << c.serial;
  }
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2023, 13, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST_F(SysUtilsTest, TimeEncodingRoundTrips) {
  TDateTime t = EncodeTime(13, 45, 10, 250);
  EXPECT_NEAR(t, (13 * 3600 + 45 * 60 + 10.25) / 86400.0, 1e-12);
  int h, n, s, ms;
  DecodeTime(EncodeDate(2024, 5, 6) + t, h, n, s, ms);
  EXPECT_EQ(h, 13);
  EXPECT_EQ(n, 45);
  EXPECT_EQ(s, 10);
  EXPECT_EQ(ms, 250);
  // Just below midnight rounds into the next day, not to hour 24.
  DecodeTime(1.0 - 1e-10, h, n, s, ms);
  EXPECT_EQ(h, 0);
  int y, m, d;
  DecodeDate(1.0 - 1e-10, y, m, d);
  EXPECT_EQ(d, 31);
}

TEST_F(SysUtilsTest, FormatDateTimePatterns) {
  TDateTime dt = EncodeDate(2024, 3, 7) + EncodeTime(9, 5, 3, 45);
  struct Case {
    const wchar_t* fmt;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"mmdd-hhnnss", L"0307-090503"},
      {L"dd-mm-yyyy,hh:mm:ss", L"07-03-2024,09:05:03"},
      {L"d/m/yy", L"7/3/24"},
      {L"yyyy-mm-dd hh:nn:ss.zzz", L"2024-03-07 09:05:03.045"},
      {L"h:n:s", L"9:5:3"},
      {L"hh:nn am/pm", L"09:05 am"},
      {L"'at' hh\"h\"", L"at 09h"},
      {L"ddddd", L"7/3/2024"},
      {L"tt", L"09:05:03"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatDateTime(c.fmt, dt), c.expected) << c.fmt;
  TDateTime pm = EncodeDate(2024, 3, 7) + EncodeTime(21, 0, 0, 0);
  EXPECT_EQ(FormatDateTime(L"h AM/PM", pm), L"9 PM");
  EXPECT_EQ(FormatDateTime(L"h AM/PM", EncodeDate(2024, 3, 7)), L"12 AM");
}

TEST_F(SysUtilsTest, DateTextRoundTripsThroughLocale) {
  GetFormatSettings(); // parse in the machine's own order
  TDateTime d = EncodeDate(2024, 11, 23);
  EXPECT_DOUBLE_EQ(StrToDate(DateToStr(d)), d);
  TDateTime t = EncodeTime(17, 4, 59, 0);
  EXPECT_NEAR(StrToTime(TimeToStr(t)), t, 1e-9);
  EXPECT_NEAR(StrToTime(L"5:04:59 PM"), t, 1e-9);
  EXPECT_NEAR(StrToTime(L"12:00 AM"), 0.0, 1e-9);
  EXPECT_THROW(StrToDate(L"not a date"), EConvertError);
  EXPECT_THROW(StrToTime(L"25:00"), EConvertError);
}

TEST_F(SysUtilsTest, StrToDateFollowsShortDateOrder) {
  FormatSettings.ShortDateFormat = L"dd/MM/yyyy";
  EXPECT_DOUBLE_EQ(StrToDate(L"23/11/2024"), EncodeDate(2024, 11, 23));
  EXPECT_DOUBLE_EQ(StrToDate(L" 23-11-2024 "), EncodeDate(2024, 11, 23));
  FormatSettings.ShortDateFormat = L"M/d/yyyy";
  EXPECT_DOUBLE_EQ(StrToDate(L"11/23/2024"), EncodeDate(2024, 11, 23));
  EXPECT_THROW(StrToDate(L"23/11/2024"), EConvertError);
  FormatSettings.ShortDateFormat = L"yyyy-MM-dd";
  EXPECT_DOUBLE_EQ(StrToDate(L"2024-11-23"), EncodeDate(2024, 11, 23));
}

TEST_F(SysUtilsTest, FileDates) {
  int dos = (44 << 25) | (3 << 21) | (7 << 16) | (9 << 11) | (5 << 5) | 1; // 2024-03-07 09:05:02
  TDateTime dt = FileDateToDateTime(dos);
  EXPECT_EQ(FormatDateTime(L"yyyy-mm-dd hh:nn:ss", dt), L"2024-03-07 09:05:02");
  EXPECT_EQ(DateTimeToFileDate(dt), dos);

  std::wstring dir = testsupport::MakeTempDir(L"sysutils");
  std::wstring file = IncludeTrailingBackslash(dir) + L"a.txt";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_LT(std::fabs(FileAge(file) - Now()), 1.0 / 24);
  EXPECT_EQ(FileAge(file + L".missing"), -1);
}

TEST_F(SysUtilsTest, PathHelpers) {
  struct Case {
    const wchar_t* path;
    const wchar_t* dir;
    const wchar_t* name;
    const wchar_t* ext;
  };
  const Case cases[] = {
      {L"C:\\rec\\take1.mp3", L"C:\\rec\\", L"take1.mp3", L".mp3"},
      {L"C:\\rec.d\\take", L"C:\\rec.d\\", L"take", L""},
      {L"take.tar.gz", L"", L"take.tar.gz", L".gz"},
      {L"C:file.wav", L"C:", L"file.wav", L".wav"},
      {L"\\\\srv\\share\\x.ogg", L"\\\\srv\\share\\", L"x.ogg", L".ogg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.path), c.dir) << c.path;
    EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
    EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
  }
  EXPECT_EQ(ChangeFileExt(L"C:\\a\\b.wav", L".mp3"), L"C:\\a\\b.mp3");
  EXPECT_EQ(ChangeFileExt(L"C:\\a.d\\b", L".mp3"), L"C:\\a.d\\b.mp3");
  EXPECT_EQ(IncludeTrailingBackslash(L"C:\\a"), L"C:\\a\\");
  EXPECT_EQ(IncludeTrailingBackslash(L"C:\\a\\"), L"C:\\a\\");
  EXPECT_EQ(ExcludeTrailingBackslash(L"C:\\a\\"), L"C:\\a");
  EXPECT_EQ(ExtractFileDir(L"C:\\a\\b.txt"), L"C:\\a");
  EXPECT_EQ(ExtractFileDir(L"C:\\b.txt"), L"C:\\");
}

TEST_F(SysUtilsTest, ForceDirectoriesCreatesEveryLevel) {
  std::wstring base = testsupport::MakeTempDir(L"force");
  std::wstring deep = IncludeTrailingBackslash(base) + L"one\\two\\three";
  EXPECT_FALSE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep + L"\\"));
  EXPECT_FALSE(FileExists(deep));
  EXPECT_FALSE(ForceDirectories(L""));
}

TEST_F(SysUtilsTest, CommandLine) {
  EXPECT_GE(ParamCount(), 0);
  EXPECT_TRUE(FileExists(ParamStr(0)));
  EXPECT_EQ(ParamStr(ParamCount() + 1), L"");
}

TEST(ScopeGuard, RunsOnReturnAndOnExceptionButNotWhenDismissed) {
  int runs = 0;
  {
    TScopeGuard guard([&] { ++runs; });
  }
  EXPECT_EQ(runs, 1);
  try {
    TScopeGuard guard([&] { ++runs; });
    throw Exception(L"fails");
  } catch (const Exception&) {
  }
  EXPECT_EQ(runs, 2);
  {
    TScopeGuard guard([&] { ++runs; });
    guard.Dismiss();
  }
  EXPECT_EQ(runs, 2);
}

} // namespace
