// Routines both programs share: folders, the Windows version, the counted
// busy cursor and HTML Help.
#pragma once
#include <windows.h>

#include <string>

// Path with a trailing backslash.
std::wstring AddBackslash(const std::wstring& path);
// A value of the user's "Shell Folders" key; "C:\" when missing or empty.
std::wstring GetShellFolder(const std::wstring& valueName);
std::wstring GetSystemDir();
bool IsVistaOrLater();

// Counted busy cursor: nested pairs restore the cursor at the outermost end;
// an extra EndBusy does nothing.
void BeginBusy();
void EndBusy();
int BusyCount();

// True when the help file of an HTML Help address ("file.chm::/topic.htm")
// exists; otherwise says which file was not found in which folder, and false.
bool HelpFileFound(const std::wstring& url);

// A window's bounds from stored settings brought onto the work area of the
// nearest monitor: sizes below minWidth x minHeight (negative ones from
// damaged settings) grow to it, sizes beyond the work area shrink to it, and
// the position moves so the whole window is on that area. Wide arithmetic:
// no value overflows.
void FitOntoWorkArea(int& x, int& y, int& width, int& height, int minWidth, int minHeight);
// The same on a given work area.
void FitOntoArea(const RECT& work, int& x, int& y, int& width, int& height, int minWidth,
                 int minHeight);

// HTML Help, loaded from the system folder at the first call; raises when
// the library or its entry point is missing. A missing help file is
// reported (HelpFileFound) and shows nothing.
int ShowHtmlHelp(HWND window, const std::wstring& url, UINT command, DWORD_PTR data);
