#include "recorder/funcs.h"

#include "framework/AppUtils.h"
#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/IniFiles.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "recorder/globals.h"

#include <shlobj.h>

#include <algorithm>
#include <cwctype>

namespace recorder {

namespace {
int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM lp, LPARAM data) {
  if (msg == BFFM_INITIALIZED) {
    SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, data);
  } else if (msg == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lp), path);
    SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
    SendMessageW(wnd, BFFM_ENABLEOK, 0, ok ? 1 : 0);
  }
  return 0;
}
} // namespace

bool BrowseForFolder(HWND owner, std::wstring& folder, const std::wstring& title, UINT flags,
                     LPCITEMIDLIST root) {
  wchar_t name[MAX_PATH] = {};
  BROWSEINFOW bi{};
  bi.hwndOwner = owner;
  bi.pidlRoot = root;
  bi.pszDisplayName = name;
  bi.lpszTitle = title.c_str();
  bi.ulFlags = flags;
  bi.lpfn = BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(folder.c_str());
  LPITEMIDLIST list = SHBrowseForFolderW(&bi);
  if (!list) return false;
  wchar_t path[MAX_PATH] = {};
  bool ok = SHGetPathFromIDListW(list, path) != FALSE;
  CoTaskMemFree(list);
  if (ok) folder = path;
  return ok;
}

double GetFileDate(const std::wstring& path) {
  return FileAge(path);
}

int64_t GetFileSize64(const std::wstring& path) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(path.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return -1;
  FindClose(h);
  return (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
}

bool HasAny(const std::wstring& text, const std::wstring& chars) {
  return text.find_first_of(chars) != std::wstring::npos;
}

bool IsValidFileName(const std::wstring& name) {
  if (name.empty() || HasAny(name, L"+\\/:*?\"<>|")) return false;
  if (std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < 32; })) return false;
  if (name.back() == L'.' || name.back() == L' ') return false;
  // Device names are reserved with any extension.
  std::wstring stem = UpperCase(name.substr(0, name.find(L'.')));
  while (!stem.empty() && stem.back() == L' ')
    stem.pop_back();
  static const wchar_t* const reserved[] = {L"CON", L"PRN", L"AUX", L"NUL"};
  for (const wchar_t* r : reserved)
    if (stem == r) return false;
  if (stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) &&
      stem[3] >= L'1' && stem[3] <= L'9')
    return false;
  return true;
}

std::wstring FormatMegabytes(int decimals, double epsilon, double value) {
  return FormatFloat(L"0." + std::wstring(std::max(decimals, 0), L'#'), value + epsilon);
}

void SplitMilliseconds(int64_t ms, int64_t& hours, int& minutes, int& seconds, int& milliseconds) {
  hours = ms / 3600000;
  minutes = static_cast<int>((ms / 1000) % 3600 / 60);
  seconds = static_cast<int>((ms / 1000) % 60);
  milliseconds = static_cast<int>(ms % 1000);
}

std::wstring FormatDuration(int64_t ms) {
  int64_t h;
  int m, s, msec;
  SplitMilliseconds(ms, h, m, s, msec);
  return Format(L"%.1d", h) + L":" + Format(L"%.2d", m) + L":" + Format(L"%.2d", s);
}

namespace {
std::wstring PosFile(const std::wstring& fileName) {
  std::wstring f = Trim(fileName);
  return f.empty() ? GetSettingsFileName() : f;
}
} // namespace

void LoadFormPos(const std::wstring& section, TForm* form, const std::wstring& fileName) {
  TIniFile ini(PosFile(fileName));
  int x = ini.ReadInteger(section, L"x", form->Left());
  int y = ini.ReadInteger(section, L"y", form->Top());
  // Keep the whole window on the work area of the nearest monitor.
  int w = form->Width(), h = form->Height();
  FitOntoWorkArea(x, y, w, h, w, h);
  form->SetLeft(x);
  form->SetTop(y);
}

void SaveFormPos(const std::wstring& section, TForm* form, const std::wstring& fileName) {
  TIniFile ini(PosFile(fileName));
  ini.WriteInteger(section, L"x", form->Left());
  ini.WriteInteger(section, L"y", form->Top());
  ini.UpdateFile();
}

void SetTopMost(TForm* form, bool onTop) {
  SetWindowPos(form->Handle(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ReplaceFontName(TControl* control, const std::wstring& oldName, const std::wstring& newName) {
  if (newName == oldName || Screen->Fonts()->IndexOf(newName) < 0) return;
  auto* parent = dynamic_cast<TWinControl*>(control);
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (child->Font()->Name() == oldName) child->Font()->SetName(newName);
    ReplaceFontName(child, oldName, newName);
  }
}

} // namespace recorder
