// Small routines shared by the recorder's units: paths and folders, file
// facts, texts, the busy cursor, window placement and HTML Help.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "framework/AppUtils.h"

class TForm;
class TControl;

namespace recorder {

using ::AddBackslash;
using ::GetShellFolder;
using ::GetSystemDir;
using ::IsVistaOrLater;

bool BrowseForFolder(HWND owner, std::wstring& folder, const std::wstring& title, UINT flags,
                     LPCITEMIDLIST root = nullptr);

double GetFileDate(const std::wstring& path);
// Size of the first file matching `path`, -1 when none does.
int64_t GetFileSize64(const std::wstring& path);

bool HasAny(const std::wstring& text, const std::wstring& chars);
// False for empty names, names with any of + \ / : * ? " < > |, control
// characters, reserved device names and names ending in a dot or a space.
bool IsValidFileName(const std::wstring& name);

std::wstring FormatMegabytes(int decimals, double epsilon, double value);
void SplitMilliseconds(int64_t ms, int64_t& hours, int& minutes, int& seconds, int& milliseconds);
std::wstring FormatDuration(int64_t ms);

using ::BeginBusy;
using ::BusyCount;
using ::EndBusy;

// Keeps the window on the work area of the monitor nearest to it.
void LoadFormPos(const std::wstring& section, TForm* form, const std::wstring& fileName);
void SaveFormPos(const std::wstring& section, TForm* form, const std::wstring& fileName);
void SetTopMost(TForm* form, bool onTop);
void ReplaceFontName(TControl* control, const std::wstring& oldName, const std::wstring& newName);

using ::ShowHtmlHelp;

} // namespace recorder
