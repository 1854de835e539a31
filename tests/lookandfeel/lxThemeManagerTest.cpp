#include <gtest/gtest.h>

#include "lookandfeel/lxThemeManager.h"
#include "lookandfeel/lxUxTheme.h"
#include "tests/lookandfeel/ThemeStandIn.h"

namespace {

struct ThemeUnits {
  ThemeUnits() {
    lxUxThemeInitialize();
    lxThemeManagerInitialize();
  }
  ~ThemeUnits() {
    lxThemeManagerFinalize();
    lxUxThemeFinalize();
  }
};

} // namespace

TEST(lxUxTheme, BindsEveryFunctionTheLibraryHas) {
  ThemeUnits units;
  if (!ThemeLibraryLoaded()) GTEST_SKIP() << "no theme library on this system";
  HMODULE lib = GetModuleHandleW(L"UxTheme.dll");
  ASSERT_NE(lib, nullptr);
  for (int i = 0; i < tfCount; ++i)
    EXPECT_EQ(lxThemeFunction(static_cast<TlxThemeFunction>(i)),
              GetProcAddress(lib, lxThemeFunctionNames[i]))
        << lxThemeFunctionNames[i];
  EXPECT_NE(ThemeChangedReceiver(), nullptr);
  EXPECT_EQ(ThemeChangedSubscriberCount(), 0);
}

TEST(lxUxTheme, WindowsBeforeXPLoadNothing) {
  lxSetSystemVersion({5, 0, VER_PLATFORM_WIN32_NT});
  {
    ThemeUnits units;
    EXPECT_FALSE(ThemeLibraryLoaded());
    EXPECT_EQ(ThemeChangedReceiver(), nullptr);
    EXPECT_EQ(ThemeChangedSubscriberCount(), -1);
    EXPECT_FALSE(CanUseVisualStyles(ThemeClassBit(tcButton)));
    EXPECT_EQ(GetThemeHandle(tcButton), nullptr);
    EXPECT_EQ(CloseThemeHandle(tcButton), 1);
    EXPECT_FALSE(lx::IsThemeActive());
  }
  lxResetSystemVersion();
}

TEST(lxThemeManager, ClassNamesInOrder) {
  EXPECT_EQ(ThemeClassName(tcButton), L"Button");
  EXPECT_EQ(ThemeClassName(tcScrollBar), L"ScrollBar");
  EXPECT_EQ(ThemeClassName(tcWindow), L"Window");
  EXPECT_EQ(static_cast<int>(tcThemeClassCount), 25);
}

TEST(lxThemeManager, HandlesAreCachedAndReopenedAfterThemeChange) {
  ThemeUnits units;
  if (!CanUseVisualStyles(0)) {
    EXPECT_EQ(GetThemeHandle(tcButton), nullptr);
    EXPECT_EQ(CloseThemeHandle(tcEdit), 1);
    GTEST_SKIP() << "visual styles are off on this system";
  }
  HTHEME h = GetThemeHandle(tcButton);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetThemeHandle(tcButton, L"BUTTON"), h); // case-insensitive: cached
  EXPECT_EQ(CloseThemeHandle(tcClock), 0);           // never opened
  HTHEME e = GetThemeHandle(tcButton, L"Edit");
  EXPECT_NE(e, nullptr);
  EXPECT_EQ(ThemeCacheEntry(tcButton).ClassList, L"Edit");
  SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(ThemeCacheEntry(tcButton).Handle, nullptr);
  EXPECT_EQ(ThemeCacheEntry(tcButton).ClassList, L"Edit"); // kept for the reopen
  EXPECT_NE(GetThemeHandle(tcButton), nullptr);
  EXPECT_EQ(ThemeCacheEntry(tcButton).ClassList, L"Edit");
}

TEST(lxThemeManager, ThemeChangeCallsSubscribers) {
  ThemeUnits units;
  if (!ThemeChangedReceiver()) GTEST_SKIP() << "no theme library on this system";
  TlxThemeChangedSubscriber s;
  int calls = 0;
  s.OnThemeChanged = [&] { ++calls; };
  ASSERT_TRUE(SubscribeThemeChanged(&s));
  SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(VisualStylesActive(), lx::IsThemeActive() != 0);
  UnsubscribeThemeChanged(&s);
  SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(calls, 1);
}

TEST(lxThemeManagerCache, OpensCachesAndReopens) {
  themestandin::Library lib;
  if (!lib.loaded) GTEST_SKIP() << "no theme library on this system";
  using themestandin::gCloses;
  using themestandin::gOpened;
  ASSERT_TRUE(CanUseVisualStyles(0));
  // Header cannot be opened: the set fails, Button stays cached.
  EXPECT_FALSE(CanUseVisualStyles(ThemeClassBit(tcButton) | ThemeClassBit(tcHeader)));
  HTHEME button = ThemeCacheEntry(tcButton).Handle;
  EXPECT_NE(button, nullptr);
  EXPECT_EQ(ThemeCacheEntry(tcHeader).Handle, nullptr);
  EXPECT_EQ(gOpened, (std::vector<std::wstring>{L"Button"}));
  // A list differing only in case keeps the handle; another list reopens.
  EXPECT_EQ(GetThemeHandle(tcButton, L"BUTTON"), button);
  EXPECT_EQ(gOpened.size(), 1u);
  HTHEME edit = GetThemeHandle(tcButton, L"Edit");
  EXPECT_NE(edit, button);
  EXPECT_EQ(gCloses, 1);
  EXPECT_EQ(ThemeCacheEntry(tcButton).ClassList, L"Edit");
  EXPECT_EQ(CloseThemeHandle(tcClock), 0); // never opened
  // A theme change closes everything; the next request reopens with the kept list.
  SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(gCloses, 2);
  EXPECT_EQ(ThemeCacheEntry(tcButton).Handle, nullptr);
  EXPECT_NE(GetThemeHandle(tcButton), nullptr);
  EXPECT_EQ(gOpened.back(), L"Edit");
  // Visual styles switched off: nothing can be used until a change finds them on.
  themestandin::gActive = FALSE;
  SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_FALSE(CanUseVisualStyles(0));
  EXPECT_EQ(GetThemeHandle(tcEdit), nullptr);
  EXPECT_EQ(CloseThemeHandle(tcButton), 1);
  themestandin::gActive = TRUE;
  SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_TRUE(CanUseVisualStyles(ThemeClassBit(tcEdit)));
}
