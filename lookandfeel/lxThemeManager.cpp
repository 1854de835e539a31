#include "lookandfeel/lxThemeManager.h"

#include <algorithm>
#include <memory>

#include "framework/Classes.h"
#include "framework/SysUtils.h"
#include "lookandfeel/lxUxTheme.h"

namespace {

// Unit state lives on the heap for the whole run: exit hooks run during
// static destruction.
std::vector<std::wstring>& gNames = *new std::vector<std::wstring>;
TlxThemeData* const gCache = new TlxThemeData[tcThemeClassCount];
bool gActive = false;
TlxThemeChangedEventReceiver* gReceiver = nullptr;
std::vector<TlxThemeChangedSubscriber*>* gSubscribers = nullptr;
int gUseCount = 0;

const wchar_t* const kNames[tcThemeClassCount] = {
    L"Button",   L"Clock",    L"ComboBox",   L"Edit",     L"ExplorerBar",
    L"Header",   L"ListBox",  L"ListView",   L"Menu",     L"Page",
    L"Progress", L"Rebar",    L"ScrollBar",  L"Spin",     L"StartPanel",
    L"Status",   L"Tab",      L"TaskBand",   L"TaskBar",  L"ToolBar",
    L"ToolTip",  L"TrackBar", L"TrayNotify", L"TreeView", L"Window"};

} // namespace

const std::wstring& ThemeClassName(TlxThemeClass c) {
  static const std::wstring empty;
  if (c < 0 || c >= tcThemeClassCount) return empty;
  static const auto* defaults = new std::vector<std::wstring>(std::begin(kNames), std::end(kNames));
  return gNames.empty() ? (*defaults)[c] : gNames[c];
}

const TlxThemeData& ThemeCacheEntry(TlxThemeClass c) {
  return gCache[c];
}

bool VisualStylesActive() {
  return gActive;
}

bool CanUseVisualStyles(TlxThemeClasses Classes) {
  bool result = gActive && ThemeLibraryLoaded();
  if (!result || !Classes) return result;
  for (int c = 0; c < tcThemeClassCount; ++c)
    if ((Classes & (1u << c)) && !GetThemeHandle(static_cast<TlxThemeClass>(c))) return false;
  return true;
}

HTHEME GetThemeHandle(TlxThemeClass c, const wchar_t* List) {
  if (!CanUseVisualStyles(0)) return nullptr;
  TlxThemeData& d = gCache[c];
  if (d.Handle) {
    if (!List) return d.Handle;
    if (UpperCase(List) == UpperCase(d.ClassList)) return d.Handle;
    CloseThemeHandle(c);
  }
  std::wstring list =
      List ? std::wstring(List) : (!d.ClassList.empty() ? d.ClassList : std::wstring(kNames[c]));
  HTHEME h = lx::OpenThemeData(nullptr, list.c_str());
  if (h) {
    d.Handle = h;
    d.ClassList = list;
  } else {
    d.ClassList.clear();
  }
  return h;
}

HRESULT CloseThemeHandle(TlxThemeClass c) {
  if (!CanUseVisualStyles(0)) return 1;
  TlxThemeData& d = gCache[c];
  if (!d.Handle) return 0;
  HRESULT r = lx::CloseThemeData(d.Handle);
  d.Handle = nullptr;
  d.ClassList.clear();
  return r;
}

void CloseAllThemeHandles() {
  for (int c = 0; c < tcThemeClassCount; ++c)
    if (auto& d = gCache[c]; d.Handle) {
      lx::CloseThemeData(d.Handle);
      d.Handle = nullptr;
    }
}

// ---------------------------------------------------------------------------
// Receiver

TlxThemeChangedEventReceiver::TlxThemeChangedEventReceiver() {
  FHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TlxThemeChangedEventReceiver::~TlxThemeChangedEventReceiver() {
  gActive = false;
  DeallocateHWnd(FHandle);
}

void TlxThemeChangedEventReceiver::WndProc(TMessage& Message) {
  if (Message.Msg != WM_THEMECHANGED) {
    Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  try {
    ThemeChanged(Message);
  } catch (...) {
    if (HandleCallbackException) HandleCallbackException(this);
  }
}

void TlxThemeChangedEventReceiver::ThemeChanged(TMessage& Message) {
  CloseAllThemeHandles();
  DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
  gActive = lx::IsThemeActive() != 0;
  Message.Result = 0;
  if (!gSubscribers) return;
  // A copy, so that a callback may subscribe or unsubscribe.
  auto list = *gSubscribers;
  for (auto* s : list)
    if (s->OnThemeChanged) s->OnThemeChanged();
}

TlxThemeChangedEventReceiver* ThemeChangedReceiver() {
  return gReceiver;
}

bool SubscribeThemeChanged(TlxThemeChangedSubscriber* S) {
  if (!gSubscribers || !S) return false;
  gSubscribers->push_back(S);
  return true;
}

void UnsubscribeThemeChanged(TlxThemeChangedSubscriber* S) {
  if (!gSubscribers) return;
  auto& v = *gSubscribers;
  v.erase(std::remove(v.begin(), v.end(), S), v.end());
}

int ThemeChangedSubscriberCount() {
  return gSubscribers ? static_cast<int>(gSubscribers->size()) : -1;
}

void lxThemeManagerInitialize() {
  if (gUseCount++ > 0) return;
  gNames.assign(std::begin(kNames), std::end(kNames));
  if (!ThemeLibraryLoaded()) return;
  gActive = lx::IsThemeActive() != 0;
  gReceiver = new TlxThemeChangedEventReceiver;
  gSubscribers = new std::vector<TlxThemeChangedSubscriber*>;
}

void lxThemeManagerFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  if (ThemeLibraryLoaded()) {
    delete gReceiver;
    gReceiver = nullptr;
    CloseAllThemeHandles();
    delete gSubscribers;
    gSubscribers = nullptr;
  }
  gNames.clear();
}
