#include <gtest/gtest.h>

#include <thread>

#include "lookandfeel/lfControls.h"
#include "lookandfeel/lfDWMApi.h"
#include "lookandfeel/lfPatternBrushes.h"
#include "lookandfeel/lxUxTheme.h"

TEST(lfControls, ControllerRunsQueuedCallsOnItsMessage) {
  TlfSystemController controller;
  EXPECT_FALSE(WakeMainThread); // a program module leaves the wake handler alone
  int ran = 0;
  Queue([&] { ++ran; });
  std::thread other([&] { Queue([&] { ran += 10; }); });
  other.join();
  EXPECT_EQ(ran, 0);
  SendMessageW(controller.Handle(), WM_LF_SYNCHRONIZE, 0, 0);
  EXPECT_EQ(ran, 11);
  EXPECT_EQ(SendMessageW(controller.Handle(), WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST(lfControls, LibraryModuleControllerChainsTheWakeHandler) {
  lfIsLibraryModule = true;
  int ran = 0;
  {
    TlfSystemController controller;
    ASSERT_TRUE(WakeMainThread);
    std::thread other([&] { Synchronize([&] { ran = 1; }); });
    MSG msg;
    DWORD start = GetTickCount();
    while (!ran && GetTickCount() - start < 5000) {
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
      else
        Sleep(1);
    }
    other.join();
  }
  lfIsLibraryModule = false;
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(WakeMainThread);
}

TEST(lfControls, ChildComponentWithoutControlTouchesNothing) {
  struct Host : TComponent, IlfChildComponentHost {
    using TComponent::TComponent;
    void AddChildComponent(TlfControlChildComponent* c) override { children.push_back(c); }
    void RemoveChildComponent(TlfControlChildComponent* c) override {
      children.erase(std::remove(children.begin(), children.end(), c), children.end());
    }
    std::vector<TlfControlChildComponent*> children;
  };
  TComponent form(nullptr);
  auto* host = new Host(&form);
  auto* owned = new TlfControlChildComponent(host, true);
  EXPECT_EQ(owned->Owner(), &form);
  EXPECT_EQ(owned->Control(), host);
  EXPECT_TRUE(owned->HasParent());
  owned->SetParentComponent(host);
  EXPECT_EQ(host->children.size(), 1u);
  delete owned;
  EXPECT_TRUE(host->children.empty());
  auto* loose = new TlfControlChildComponent(nullptr);
  EXPECT_FALSE(loose->HasParent());
  delete loose;
}

TEST(lfControls, PlatformFlagsFromTheVersion) {
  struct Case {
    TlxSystemVersion v;
    TlfPlatformFlags f;
  } cases[] = {
      {{5, 0, VER_PLATFORM_WIN32_NT}, {false, true, true, false, true, false}},
      {{5, 1, VER_PLATFORM_WIN32_NT}, {false, false, true, true, true, false}},
      {{6, 1, VER_PLATFORM_WIN32_NT}, {false, false, true, true, true, true}},
      {{4, 10, VER_PLATFORM_WIN32_WINDOWS}, {true, false, false, false, false, false}},
  };
  for (auto& c : cases) {
    lxSetSystemVersion(c.v);
    lfControlsInitialize();
    const auto& f = lfPlatformFlags();
    EXPECT_EQ(f.IsWin9x, c.f.IsWin9x);
    EXPECT_EQ(f.IsWin2K, c.f.IsWin2K);
    EXPECT_EQ(f.IsWin2KOrLater, c.f.IsWin2KOrLater);
    EXPECT_EQ(f.IsNT5WithMinor, c.f.IsNT5WithMinor);
    EXPECT_EQ(f.IsNT4OrLater, c.f.IsNT4OrLater);
    EXPECT_EQ(f.IsVistaOrLater, c.f.IsVistaOrLater);
    EXPECT_NE(lfSystemController(), nullptr);
    EXPECT_NE(lfMessage1(), 0);
    EXPECT_NE(lfMessage1(), lfMessage2());
    lfControlsFinalize();
    EXPECT_EQ(lfSystemController(), nullptr);
    EXPECT_TRUE(lfShuttingDown());
  }
  lxResetSystemVersion();
  EXPECT_EQ(ClassGroupOf(L"TlfControlChildComponent"), L"TControl");
}

TEST(lfDWMApi, BindsOnlyFromVersionSix) {
  lxSetSystemVersion({5, 1, VER_PLATFORM_WIN32_NT});
  lfDWMApiInitialize();
  EXPECT_FALSE(lfDwmAvailable());
  EXPECT_EQ(lfDwmLibrary(), nullptr);
  EXPECT_EQ(lfDwmFunction(dwmIsCompositionEnabled), nullptr);
  lfDWMApiFinalize();
  lxSetSystemVersion({6, 1, VER_PLATFORM_WIN32_NT});
  lfDWMApiInitialize();
  HMODULE lib = LoadLibraryW(L"dwmapi.dll");
  EXPECT_EQ(lfDwmAvailable(), lib != nullptr);
  if (lib) {
    for (int i = 0; i < dwmFunctionCount; ++i)
      EXPECT_EQ(lfDwmFunction(static_cast<TlfDwmFunction>(i)),
                GetProcAddress(lib, lfDwmFunctionNames[i]));
    FreeLibrary(lib);
  }
  lfDWMApiFinalize();
  EXPECT_FALSE(lfDwmAvailable());
  lxResetSystemVersion();
}

TEST(lfPatternBrushes, CheckerAndSolid) {
  lfPatternBrushesInitialize();
  ASSERT_NE(lfCheckerPatternBrush(), nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t* bits = nullptr;
  HBITMAP bm =
      CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bm);
  SetTextColor(dc, 0x000000);
  SetBkColor(dc, 0xFFFFFF);
  RECT r{0, 0, 8, 8};
  FillRect(dc, &r, lfCheckerPatternBrush());
  GdiFlush();
  EXPECT_NE(bits[0] & 0xFFFFFF, bits[1] & 0xFFFFFF);
  EXPECT_EQ(bits[0] & 0xFFFFFF, bits[9] & 0xFFFFFF);
  FillRect(dc, &r, lfSolidPatternBrush());
  GdiFlush();
  EXPECT_EQ(bits[0] & 0xFFFFFF, bits[1] & 0xFFFFFF);
  EXPECT_EQ(bits[0] & 0xFFFFFF, bits[63] & 0xFFFFFF);
  SelectObject(dc, old);
  DeleteObject(bm);
  DeleteDC(dc);
  lfPatternBrushesFinalize();
  EXPECT_EQ(lfCheckerPatternBrush(), nullptr);
}
