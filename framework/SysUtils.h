// Run-time library: exceptions, string formatting and conversion, dates and
// times, file and path helpers.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <windows.h>

// ---------------------------------------------------------------------------
// Exceptions

class Exception : public std::exception {
public:
  explicit Exception(std::wstring message);
  ~Exception() override = default;

  const std::wstring& Message() const { return FMessage; }
  void SetMessage(const std::wstring& value);
  // The message in UTF-8.
  const char* what() const noexcept override { return FWhat.c_str(); }

private:
  std::wstring FMessage;
  std::string FWhat;
};

#define FW_DECLARE_EXCEPTION(Name, Base)                                                           \
  class Name : public Base {                                                                       \
  public:                                                                                          \
    using Base::Base;                                                                              \
  }

FW_DECLARE_EXCEPTION(EAbort, Exception);
FW_DECLARE_EXCEPTION(EConvertError, Exception);
FW_DECLARE_EXCEPTION(EOutOfMemory, Exception);
FW_DECLARE_EXCEPTION(EInOutError, Exception);
FW_DECLARE_EXCEPTION(EInvalidOperation, Exception);
FW_DECLARE_EXCEPTION(EInvalidCast, Exception);
FW_DECLARE_EXCEPTION(EListError, Exception);
FW_DECLARE_EXCEPTION(EOSError, Exception);
FW_DECLARE_EXCEPTION(EStreamError, Exception);
FW_DECLARE_EXCEPTION(EFCreateError, EStreamError);
FW_DECLARE_EXCEPTION(EFOpenError, EStreamError);
FW_DECLARE_EXCEPTION(EReadError, EStreamError);
FW_DECLARE_EXCEPTION(EWriteError, EStreamError);
FW_DECLARE_EXCEPTION(EResNotFound, Exception);
FW_DECLARE_EXCEPTION(EIniFileException, Exception);
FW_DECLARE_EXCEPTION(ERegistryException, Exception);

// Raises the silent EAbort.
[[noreturn]] void Abort();
// Raises EOSError with the system's text for GetLastError().
[[noreturn]] void RaiseLastOSError();
// The system's text for an error code, without the trailing line break.
std::wstring SysErrorMessage(DWORD code);

// ---------------------------------------------------------------------------
// Locale settings used by formatting and parsing

struct TFormatSettings {
  wchar_t DecimalSeparator = L'.';
  wchar_t ThousandSeparator = L',';
  wchar_t DateSeparator = L'/';
  wchar_t TimeSeparator = L':';
  std::wstring ShortDateFormat = L"M/d/yyyy";
  std::wstring LongDateFormat = L"dddd, MMMM d, yyyy";
  std::wstring ShortTimeFormat = L"h:nn AMPM";
  std::wstring LongTimeFormat = L"h:nn:ss AMPM";
  std::wstring TimeAMString = L"AM";
  std::wstring TimePMString = L"PM";
  std::wstring ShortMonthNames[12];
  std::wstring LongMonthNames[12];
  std::wstring ShortDayNames[7]; // Sunday first
  std::wstring LongDayNames[7];
};

// Filled from the user's locale at start-up; tests may change it.
extern TFormatSettings FormatSettings;
// Re-reads FormatSettings from the user's locale.
void GetFormatSettings();

// ---------------------------------------------------------------------------
// Formatting

// One argument of Format.
struct TVarRec {
  enum Kind { vtInteger, vtFloat, vtString, vtPointer };
  Kind VType;
  long long VInteger = 0;
  double VFloat = 0;
  std::wstring VString;
  const void* VPointer = nullptr;

  TVarRec(int v) : VType(vtInteger), VInteger(v) {}
  TVarRec(long v) : VType(vtInteger), VInteger(v) {}
  TVarRec(long long v) : VType(vtInteger), VInteger(v) {}
  TVarRec(unsigned v) : VType(vtInteger), VInteger(v) {}
  TVarRec(unsigned long v) : VType(vtInteger), VInteger(static_cast<long long>(v)) {}
  TVarRec(unsigned long long v) : VType(vtInteger), VInteger(static_cast<long long>(v)) {}
  TVarRec(double v) : VType(vtFloat), VFloat(v) {}
  TVarRec(const wchar_t* v) : VType(vtString), VString(v ? v : L"") {}
  TVarRec(const std::wstring& v) : VType(vtString), VString(v) {}
  TVarRec(std::wstring_view v) : VType(vtString), VString(v) {}
  TVarRec(wchar_t v) : VType(vtString), VString(1, v) {}
  TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
};

// Formats in the style "%[index:][-][width][.prec]type" with the types
// d u x s f e g n p and "%%". Raises EConvertError on a mismatch.
std::wstring Format(const std::wstring& fmt, std::initializer_list<TVarRec> args);
std::wstring FormatV(const std::wstring& fmt, const std::vector<TVarRec>& args);
template <class... A> std::wstring Format(const std::wstring& fmt, const A&... args) {
  return FormatV(fmt, std::vector<TVarRec>{TVarRec(args)...});
}

// Formats a number with a pattern of '0', '#', '.', ',', quoted literals and up
// to three sections "positive;negative;zero". Rounds halves away from zero.
std::wstring FormatFloat(const std::wstring& pattern, double value);
std::wstring FloatToStr(double value);
double StrToFloat(const std::wstring& s);
double StrToFloatDef(const std::wstring& s, double def);
bool TryStrToFloat(const std::wstring& s, double& value);

std::wstring IntToStr(long long value);
std::wstring IntToHex(long long value, int digits);
// Decimal with optional sign, or hexadecimal after "$" or "0x".
int StrToInt(const std::wstring& s);
int StrToIntDef(const std::wstring& s, int def);
bool TryStrToInt(const std::wstring& s, int& value);
long long StrToInt64(const std::wstring& s);
long long StrToInt64Def(const std::wstring& s, long long def);
bool TryStrToInt64(const std::wstring& s, long long& value);

std::wstring Trim(const std::wstring& s);
std::wstring TrimLeft(const std::wstring& s);
std::wstring TrimRight(const std::wstring& s);
std::wstring LowerCase(const std::wstring& s);
std::wstring UpperCase(const std::wstring& s);
int CompareText(const std::wstring& a, const std::wstring& b);
bool SameText(const std::wstring& a, const std::wstring& b);
// 1-based position of sub in s, 0 when absent.
int Pos(const std::wstring& sub, const std::wstring& s);
// 1-based copy of at most count characters from index.
std::wstring Copy(const std::wstring& s, int index, int count);
// 1-based removal of count characters at index.
void Delete(std::wstring& s, int index, int count);
std::wstring StringReplaceAll(const std::wstring& s, const std::wstring& from,
                              const std::wstring& to);

// "short|long" hints.
std::wstring GetShortHint(const std::wstring& hint);
std::wstring GetLongHint(const std::wstring& hint);

// Wide <-> ANSI (active code page) and UTF-8.
std::string WideToAnsi(const std::wstring& s);
std::wstring AnsiToWide(const std::string& s);
std::string WideToUtf8(const std::wstring& s);
std::wstring Utf8ToWide(const std::string& s);

// ---------------------------------------------------------------------------
// Numbers

// Rounds halves to the even neighbour.
long long Round(double value);
long long Trunc(double value);
double Frac(double value);

// ---------------------------------------------------------------------------
// Dates and times: days since 1899-12-30, time of day as the fraction.

using TDateTime = double;

constexpr double MSecsPerDay = 86400000.0;
constexpr int DateDelta = 693594; // days from 0001-01-01 to 1899-12-30

TDateTime Now();
TDateTime Date();
TDateTime Time();
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime dt);

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
SYSTEMTIME DateTimeToSystemTime(TDateTime dt);
// A UTC file time as local date-time.
TDateTime FileTimeToDateTime(const FILETIME& ft);
// A packed DOS date and time (date in the high word).
TDateTime FileDateToDateTime(int fileDate);
int DateTimeToFileDate(TDateTime dt);
// Last write time of a file, or -1 when it cannot be read.
TDateTime FileAge(const std::wstring& fileName);

// Tokens: d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss
// z zzz t tt c am/pm a/p ampm / : and quoted literals. "m" right after an hour
// token means minutes.
std::wstring FormatDateTime(const std::wstring& fmt, TDateTime dt);
// Locale short date and long time, through the system's formatter.
std::wstring DateToStr(TDateTime dt);
std::wstring TimeToStr(TDateTime dt);
std::wstring DateTimeToStr(TDateTime dt);
// Tolerant parsers in the locale's order; raise EConvertError.
TDateTime StrToDate(const std::wstring& s);
TDateTime StrToTime(const std::wstring& s);
TDateTime StrToDateTime(const std::wstring& s);
bool TryStrToDate(const std::wstring& s, TDateTime& value);
bool TryStrToTime(const std::wstring& s, TDateTime& value);

// ---------------------------------------------------------------------------
// Files and paths

bool FileExists(const std::wstring& fileName);
// True for a file on a disk: false for devices (CON, COM1, AUX, NUL, ...),
// pipes, \\.\ names and folders. Device names are refused by name, without
// opening them, since opening a device can block.
bool IsOrdinaryFile(const std::wstring& fileName);
bool DirectoryExists(const std::wstring& dir);
// Creates every missing folder of the path; false when one cannot be made.
bool ForceDirectories(const std::wstring& dir);
long long FileSizeOf(const std::wstring& fileName); // -1 when missing
// The folder part with its trailing backslash.
std::wstring ExtractFilePath(const std::wstring& fileName);
std::wstring ExtractFileDir(const std::wstring& fileName);
std::wstring ExtractFileName(const std::wstring& fileName);
// The extension with its dot, or empty.
std::wstring ExtractFileExt(const std::wstring& fileName);
std::wstring ChangeFileExt(const std::wstring& fileName, const std::wstring& ext);
std::wstring ExpandFileName(const std::wstring& fileName);
std::wstring IncludeTrailingBackslash(const std::wstring& s);
std::wstring ExcludeTrailingBackslash(const std::wstring& s);
std::wstring GetCurrentDir();

// Command line: ParamStr(0) is the program; ParamCount the number of arguments.
int ParamCount();
std::wstring ParamStr(int index);

// Runs a cleanup when its scope ends, on return and on exception alike:
//   TScopeGuard restore([&] { Editor->EndUpdate(); });
// Dismiss() cancels it (a commit that succeeded). The cleanup must not throw.
template <class F> class TScopeGuard {
public:
  explicit TScopeGuard(F cleanup) : FCleanup(std::move(cleanup)) {}
  TScopeGuard(const TScopeGuard&) = delete;
  TScopeGuard& operator=(const TScopeGuard&) = delete;
  ~TScopeGuard() {
    if (FActive) FCleanup();
  }
  void Dismiss() noexcept { FActive = false; }

private:
  F FCleanup;
  bool FActive = true;
};
