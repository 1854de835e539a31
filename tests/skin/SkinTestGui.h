// Shared pieces of the skinned menu, hint and box control tests: skins,
// real mouse input and a stand-in for the skinned form's menu part.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Forms.h"
#include "skin/SkinData.h"
#include "skin/SkinMenus.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace skintest {

// kPanel: the panel, status bar, up-down and tab row test skin.
enum SkinKind { kNone, kBuiltin, kAlt, kPanel };
inline const char* SkinName(SkinKind k) {
  return k == kNone ? "none" : k == kBuiltin ? "builtin" : k == kAlt ? "alt" : "panel";
}

inline std::unique_ptr<TskSkinData> MakeSkin(SkinKind k) {
  auto sd = std::make_unique<TskSkinData>(nullptr);
  if (k == kBuiltin) {
    EXPECT_TRUE(sd->LoadBuiltinSkin()) << sd->LastError();
  } else if (k != kNone) {
    std::wstring folder = k == kAlt ? L"alt" : L"panel";
    EXPECT_TRUE(sd->LoadSkinFromIni(SourceDir() + L"resources\\skin\\" + folder + L"\\skin.ini"))
        << sd->LastError();
  }
  sd->EnableSkinEffects = false;
  return sd;
}

// Real mouse input at a screen point.
inline void MouseToScreen(int x, int y, int settleMs = 30) {
  SetCursorPos(x, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
  testsupport::PumpFor(settleMs);
}

inline void MouseToClient(HWND h, int x, int y, int settleMs = 30) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  MouseToScreen(p.x, p.y, settleMs);
}

inline void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
  testsupport::PumpFor(30);
}

inline void ClickClient(HWND h, int x, int y) {
  MouseToClient(h, x, y);
  MouseButton(true);
  MouseButton(false);
}

// A form with a menu host standing in for the skinned form: it owns the menu
// controller and counts the notices it gets.
class THostForm : public TForm, public TskSkinMenuHost {
public:
  explicit THostForm(TskSkinData* Skin) : TForm(nullptr), FSkin(Skin) {
    SetBounds(80, 80, 360, 260);
    FHostComponent = new THostComponent(this);
    FMenu = new TskSkinMenu(FHostComponent, this);
  }
  TskSkinMenu* SkinMenu() override { return FMenu; }
  TskSkinData* MenusSkinData() override { return FSkin; }
  void SkinMenuClose() override {
    ++Closes;
    FMenu->CloseAll();
  }
  void SkinMenuOpen() override { ++Opens; }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SKINMENUCLOSED) ++ClosedNotices;
    if (FMenu && FMenu->Visible() && IsMenuCloseMessage(m.Msg)) {
      LastCloseMessage = m.Msg;
      FMenu->CloseAll();
    }
    TForm::WndProc(m);
  }
  int Opens = 0, Closes = 0, ClosedNotices = 0;
  // The last message on which the form closed its menu (for failure texts).
  UINT LastCloseMessage = 0;

private:
  // The host found among the form's components.
  class THostComponent : public TComponent, public TskSkinMenuHost {
  public:
    explicit THostComponent(THostForm* F) : TComponent(F), FForm(F) {}
    TskSkinMenu* SkinMenu() override { return FForm->SkinMenu(); }
    TskSkinData* MenusSkinData() override { return FForm->MenusSkinData(); }
    void SkinMenuClose() override { FForm->SkinMenuClose(); }
    void SkinMenuOpen() override { FForm->SkinMenuOpen(); }

  private:
    THostForm* FForm;
  };
  TskSkinData* FSkin;
  THostComponent* FHostComponent;
  TskSkinMenu* FMenu;
};

} // namespace skintest
