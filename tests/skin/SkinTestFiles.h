// Where the skin tests find the project's files.
#pragma once

#include <windows.h>

#include <string>

// The project's folder with a trailing backslash. The test program lies in
// <build>/bin under it; the source file's own path is the fallback (it may
// be relative when the compiler was given a relative path).
inline std::wstring SourceDir() {
  wchar_t buf[MAX_PATH];
  GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring w = buf;
  w = w.substr(0, w.find_last_of(L'\\') + 1) + L"..\\..\\";
  if (GetFileAttributesW((w + L"resources\\skin\\alt\\skin.ini").c_str()) !=
      INVALID_FILE_ATTRIBUTES)
    return w;
  std::string f = __FILE__;
  std::wstring s(f.begin(), f.end());
  for (auto& c : s)
    if (c == L'/') c = L'\\';
  if (!s.empty() && s[0] == L'\\') s = L"Z:" + s;
  return s.substr(0, s.find_last_of(L'\\') + 1) + L"..\\..\\";
}
