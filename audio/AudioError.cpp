#include "audio/AudioError.h"

extern "C" {
#include <libavutil/error.h>
}

EAudioError::EAudioError(std::wstring message)
    : FMessage(std::move(message)), FWhat(audio::WideToUtf8(FMessage)) {}

namespace audio {

namespace {
void (*gEventExceptionHandler)(std::exception_ptr) = nullptr;

std::wstring TrimTrailing(std::wstring s) {
  while (!s.empty() &&
         (s.back() == L'\r' || s.back() == L'\n' || s.back() == L' ' || s.back() == L'.'))
    s.pop_back();
  return s;
}
} // namespace

void RaiseAudioError(const std::wstring& message) {
  throw EAudioError(message);
}

std::wstring SystemErrorText(DWORD code) {
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) return L"Disk is full";
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::wstring text;
  if (n && buf) text = TrimTrailing(std::wstring(buf, n));
  if (buf) LocalFree(buf);
  if (text.empty()) text = L"System error " + std::to_wstring(code);
  return text;
}

std::wstring WaveErrorText(MMRESULT code, bool input) {
  wchar_t buf[MAXERRORLENGTH] = {};
  MMRESULT r = input ? waveInGetErrorTextW(code, buf, MAXERRORLENGTH)
                     : waveOutGetErrorTextW(code, buf, MAXERRORLENGTH);
  std::wstring text = r == MMSYSERR_NOERROR ? TrimTrailing(buf) : std::wstring();
  if (text.empty())
    text =
        std::wstring(input ? L"Sound input" : L"Sound output") + L" error " + std::to_wstring(code);
  return text;
}

std::wstring MediaErrorText(int averror) {
  char buf[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(averror, buf, sizeof buf);
  return Utf8ToWide(buf);
}

std::wstring Utf8ToWide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string WideToUtf8(const std::wstring& s) {
  if (s.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string a(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), a.data(), n, nullptr,
                      nullptr);
  return a;
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

void SetEventExceptionHandler(void (*handler)(std::exception_ptr)) {
  gEventExceptionHandler = handler;
}

void HandleEventException(std::exception_ptr e) {
  if (gEventExceptionHandler) {
    gEventExceptionHandler(e);
    return;
  }
  std::wstring text = L"Unknown error";
  try {
    std::rethrow_exception(e);
  } catch (const EAudioError& x) {
    text = x.Message();
  } catch (const std::exception& x) {
    text = Utf8ToWide(x.what());
  } catch (...) {
  }
  MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

} // namespace audio
