// Shared routines of the toolbar framework: system settings that menus
// follow, functions bound at run time, caption and rotated-text helpers,
// drag-frame drawing, message-queue and list helpers, and message texts.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Classes.h"
#include "framework/SysUtils.h"

// Raised for misuse of item trees.
FW_DECLARE_EXCEPTION(ETfItemError, Exception);

namespace tfstr {
inline const wchar_t* const ItemIndexOutOfRange = L"Toolbar item index out of range";
inline const wchar_t* const ItemAlreadyInserted = L"Toolbar item already inserted";
inline const wchar_t* const ItemBadContainer =
    L"Toolbar item cannot be inserted into container of type %s";
inline const wchar_t* const MoreButtons = L"More Buttons|";
inline const wchar_t* const MRUListCaption = L"(MRU List)";
inline const wchar_t* const DockInsideDock =
    L"A TTfDock control cannot be placed inside a tool window or another TTfDock";
inline const wchar_t* const DockPositionLocked =
    L"Cannot change Position of a TTfDock if it already contains controls";
} // namespace tfstr

// Message that a finished popup animation sends to its window.
constexpr UINT WM_TF_ANIMATIONENDED = 2390;

// WM_PRINT for windows that draw their own frame: Frame paints the
// non-client area (window coordinates); the client area is asked for with
// WM_PRINTCLIENT, then children and owned windows print themselves.
LRESULT PrintWindowNonClient(HWND Wnd, HDC DC, LPARAM Flags, const std::function<void(HDC)>& Frame);
// WM_PRINTCLIENT: Paint draws the client area on the DC.
void PrintWindowClient(HDC DC, const std::function<void(HDC)>& Paint);

// System settings.
int MenuShowDelay();
// The "MenuShowDelay" value of the user's desktop settings (400 when missing).
int RegistryMenuDelay();
bool FlatMenusEnabled();
bool KeyboardCuesEnabled();
bool IsXPOrLater();
// Windows version as major * 100 + minor.
int WindowsVersion();
UINT SystemParamUInt(UINT Action, UINT Default);
bool ReadNonClientMetrics(NONCLIENTMETRICSW& Metrics);
UINT KeyboardCodePage();
bool HasActiveWindow();
TPoint CurrentMessagePos();

// Menu sounds.
bool SoundEventSet(const std::wstring& Name);
void PlayMenuSound(const std::wstring& Name);

// Monitors and screen.
void ScreenArea(bool WorkArea, TRect& R);
bool HasSeveralMonitors();
// The monitor's work area or whole rectangle; false when it cannot be read.
bool MonitorArea(HMONITOR Monitor, bool WorkArea, TRect& R);
bool MonitorAreaOfRect(const TRect& Rect, bool WorkArea, TRect& R);
bool MonitorAreaOfPoint(const TPoint& P, bool WorkArea, TRect& R);

// Functions bound at run time; each does nothing (or answers false) when absent.
bool GradientFillAvailable();
void GradientFillRect(HDC DC, const TRect& R, COLORREF StartColor, COLORREF EndColor,
                      bool Horizontal);
bool TrackMouse(HWND Wnd, DWORD Flags);
void LockForeground(bool Lock);
void TfNotifyWinEvent(DWORD Event, HWND Wnd, LONG ObjectId, LONG ChildId);

// Caption text.
std::wstring StripAccelMarks(const std::wstring& Text);
std::wstring DoubleAmpersands(const std::wstring& Text);
std::wstring TrimEllipsisOrColon(const std::wstring& Text);
wchar_t AccelCharOf(const std::wstring& Text);
int CaptionTextWidth(HDC DC, const std::wstring& Text, bool StripMarks);
wchar_t LowerChar(wchar_t C);
// Whether the DC's device has a font of that face name.
bool FontInstalled(HDC DC, const std::wstring& Name);
HFONT CreateVerticalFont(HDC DC);
void DrawVerticalText(HDC DC, const std::wstring& Text, const TRect& R, UINT Format);

// Drawing.
HBRUSH HalftoneBrush();
HRGN FrameRegion(const TRect& R, int Thickness);
// Inverts the exclusive-or of the new and the old frame with Brush: one call
// erases the old drag frame and draws the new one.
void InvertFrameRegion(HDC DC, const TRect& NewRect, const TRect& OldRect, HBRUSH Brush,
                       int NewThickness, int OldThickness);
void InvertHalftoneFrame(HDC DC, const TRect& NewRect, const TRect& OldRect, int NewThickness,
                         int OldThickness);
void FillCaptionBackground(HDC DC, const TRect& R, bool Active);
void DrawSmallCaption(HWND Wnd, HDC DC, const TRect& R, bool Active, const std::wstring& Caption);
void RepaintBuffered(HWND Wnd);

// Message queue.
void FlushPaintMessages();
void PurgeMessages(UINT First, UINT Last);

// Lists of pointers.
template <class T> bool ListAddOnce(std::vector<T*>& List, T* Item) {
  for (T* p : List)
    if (p == Item) return false;
  List.push_back(Item);
  return true;
}
template <class T> bool ListInsertFirstOnce(std::vector<T*>& List, T* Item) {
  for (T* p : List)
    if (p == Item) return false;
  List.insert(List.begin(), Item);
  return true;
}
template <class T> bool ListRemove(std::vector<T*>& List, T* Item) {
  for (size_t i = 0; i < List.size(); ++i)
    if (List[i] == Item) {
      List.erase(List.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  return false;
}
