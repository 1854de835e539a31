// One cached theme handle per theme class, whether visual styles can be used
// now, and the hidden window that reopens the handles after a theme change.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <uxtheme.h>

#include "framework/Classes.h"
#include "framework/Messages.h"

enum TlxThemeClass {
  tcButton,
  tcClock,
  tcComboBox,
  tcEdit,
  tcExplorerBar,
  tcHeader,
  tcListBox,
  tcListView,
  tcMenu,
  tcPage,
  tcProgress,
  tcRebar,
  tcScrollBar,
  tcSpin,
  tcStartPanel,
  tcStatus,
  tcTab,
  tcTaskBand,
  tcTaskBar,
  tcToolBar,
  tcToolTip,
  tcTrackBar,
  tcTrayNotify,
  tcTreeView,
  tcWindow,
  tcThemeClassCount
};
// A set of theme classes: bit n stands for class n.
using TlxThemeClasses = unsigned;
constexpr TlxThemeClasses ThemeClassBit(TlxThemeClass c) {
  return 1u << c;
}

struct TlxThemeData {
  HTHEME Handle = nullptr;
  std::wstring ClassList;
};

// The default class-name list of a theme class.
const std::wstring& ThemeClassName(TlxThemeClass c);
// The cache record of a theme class (for tests and painters).
const TlxThemeData& ThemeCacheEntry(TlxThemeClass c);

bool CanUseVisualStyles(TlxThemeClasses Classes = 0);
// The cached or newly opened handle; List null = the cached or default list.
HTHEME GetThemeHandle(TlxThemeClass c, const wchar_t* List = nullptr);
HRESULT CloseThemeHandle(TlxThemeClass c);
void CloseAllThemeHandles();
bool VisualStylesActive();

// The hidden window that hears WM_THEMECHANGED.
class TlxThemeChangedEventReceiver : public TObject {
public:
  TlxThemeChangedEventReceiver();
  ~TlxThemeChangedEventReceiver() override;
  HWND Handle() const { return FHandle; }

private:
  void WndProc(TMessage& Message);
  void ThemeChanged(TMessage& Message);
  HWND FHandle = nullptr;
};

// A subscriber with an optional theme-changed callback.
class TlxThemeChangedSubscriber : public TObject {
public:
  std::function<void()> OnThemeChanged;
};
// Null when the theme library is not loaded.
TlxThemeChangedEventReceiver* ThemeChangedReceiver();
bool SubscribeThemeChanged(TlxThemeChangedSubscriber* S);
void UnsubscribeThemeChanged(TlxThemeChangedSubscriber* S);
// Number of subscribers, -1 when there is no list.
int ThemeChangedSubscriberCount();

void lxThemeManagerInitialize();
void lxThemeManagerFinalize();
