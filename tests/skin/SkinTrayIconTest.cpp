// The notification-area icon: clicks against the double-click time, the
// shell's restart, icon cycling, the popup menu at the cursor, and the
// skinned form minimizing to the icon and coming back. The shell's
// notifications are sent to the icon's window as the shell would send them;
// whether a tray host takes the icon is not asserted.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "skin/SkinMenus.h"
#include "skin/SkinnedForm.h"
#include "skin/skTrayIcon.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

// Counts the shell calls and the events.
class TCountingTray : public TskTrayIcon {
public:
  using TskTrayIcon::TskTrayIcon;
  void ShowIcon() override {
    ++Shows;
    TskTrayIcon::ShowIcon();
  }
  void HideIcon() override {
    ++Hides;
    TskTrayIcon::HideIcon();
  }
  int Shows = 0, Hides = 0;
};

struct TrayRig {
  std::unique_ptr<TForm> form;
  TCountingTray* tray = nullptr;
  int clicks = 0, dblClicks = 0;
  TrayRig() {
    form = std::make_unique<TForm>(nullptr);
    form->SetCaption(L"Tray test");
    form->SetBounds(200, 160, 300, 200);
    form->Show();
    tray = new TCountingTray(form.get());
    tray->SetHint(L"Tray test");
    tray->OnClick = [this](TObject*) { ++clicks; };
    tray->OnDblClick = [this](TObject*) { ++dblClicks; };
    PumpFor(30);
  }
  void Send(UINT mouseMsg) {
    SendMessageW(tray->NotifyWindow(), TskTrayIcon::WM_TRAYNOTIFY, 1, mouseMsg);
  }
};

const int kDblTime = int(GetDoubleClickTime());

} // namespace

// Timing is the point here: a click waits for the double-click time.
TEST(SkinTrayIcon, SingleClickWaitsForTheDoubleClickTime) {
  TrayRig r;
  DWORD start = GetTickCount();
  r.Send(WM_LBUTTONDOWN);
  r.Send(WM_LBUTTONUP);
  EXPECT_EQ(r.clicks, 0);
  ASSERT_TRUE(PumpUntil([&] { return r.clicks == 1; }, kDblTime + 2000));
  EXPECT_GE(int(GetTickCount() - start), kDblTime - 60);
  PumpFor(100);
  EXPECT_EQ(r.clicks, 1);
  EXPECT_EQ(r.dblClicks, 0);
}

TEST(SkinTrayIcon, DoubleClickFiresOnlyTheDoubleClick) {
  TrayRig r;
  r.Send(WM_LBUTTONDOWN);
  r.Send(WM_LBUTTONUP);
  r.Send(WM_LBUTTONDBLCLK);
  r.Send(WM_LBUTTONUP);
  EXPECT_EQ(r.dblClicks, 1);
  PumpFor(kDblTime + 300);
  EXPECT_FALSE(r.tray->ClickTimerRunning());
  EXPECT_EQ(r.clicks, 0);
  EXPECT_EQ(r.dblClicks, 1);
  // The next single click counts again.
  r.Send(WM_LBUTTONDOWN);
  r.Send(WM_LBUTTONUP);
  EXPECT_TRUE(PumpUntil([&] { return r.clicks == 1; }, kDblTime + 2000));
}

TEST(SkinTrayIcon, PressHeldPastTheDoubleClickTimeClicksAtTheRelease) {
  TrayRig r;
  r.Send(WM_LBUTTONDOWN);
  ASSERT_TRUE(PumpUntil([&] { return !r.tray->ClickTimerRunning(); }, kDblTime + 2000));
  EXPECT_EQ(r.clicks, 0);
  r.Send(WM_LBUTTONUP);
  EXPECT_EQ(r.clicks, 1);
  PumpFor(100);
  EXPECT_EQ(r.clicks, 1);
}

TEST(SkinTrayIcon, MouseMessagesAreEventsOnlyWhileEnabled) {
  TrayRig r;
  std::wstring seen;
  r.tray->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int, int) {
    seen += b == mbRight ? L"R" : b == mbMiddle ? L"M" : L"L";
    seen += (s & ssRight) ? L"r" : (s & ssMiddle) ? L"m" : (s & ssLeft) ? L"l" : L"?";
  };
  r.tray->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { seen += L"^"; };
  r.tray->OnMouseMove = [&](TObject*, TShiftState, int, int) { seen += L"~"; };
  r.Send(WM_MOUSEMOVE);
  r.Send(WM_RBUTTONDOWN);
  r.Send(WM_RBUTTONUP);
  r.Send(WM_MBUTTONDOWN);
  r.Send(WM_MBUTTONUP);
  EXPECT_EQ(seen, L"~Rr^Mm^");
  r.tray->Enabled = false;
  r.Send(WM_MBUTTONDOWN);
  r.Send(WM_LBUTTONDOWN);
  EXPECT_EQ(seen, L"~Rr^Mm^");
  EXPECT_FALSE(r.tray->ClickTimerRunning());
}

TEST(SkinTrayIcon, TaskbarCreatedAddsAVisibleIconAgain) {
  TrayRig r;
  ASSERT_NE(TskTrayIcon::TaskbarCreatedMessage(), 0u);
  r.tray->SetIconVisible(true);
  EXPECT_EQ(r.tray->Shows, 1);
  // The shell broadcasts the message to the top-level windows.
  SendMessageW(Application->Handle(), TskTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_EQ(r.tray->Shows, 2);
  EXPECT_TRUE(r.tray->IconVisible());
  // A hidden icon stays away.
  r.tray->SetIconVisible(false);
  SendMessageW(Application->Handle(), TskTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_EQ(r.tray->Shows, 2);
  EXPECT_FALSE(r.tray->IconVisible());
}

TEST(SkinTrayIcon, IconIndexAndCyclingFollowTheIconList) {
  TrayRig r;
  auto* list = new TImageList(r.form.get());
  list->SetWidth(16);
  list->SetHeight(16);
  for (LPCWSTR id : {IDI_APPLICATION, IDI_WARNING, IDI_INFORMATION}) {
    TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconW(nullptr, id)));
    list->AddIcon(&icon);
  }
  ASSERT_EQ(list->Count(), 3);
  r.tray->SetIconList(list);
  EXPECT_EQ(r.tray->IconIndex(), 0);
  EXPECT_NE(r.tray->Icon()->Handle(), nullptr);
  // An index past the list takes the last icon.
  r.tray->SetIconIndex(7);
  EXPECT_EQ(r.tray->IconIndex(), 2);
  std::vector<int> next;
  r.tray->OnCycle = [&](TObject*, int n) { next.push_back(n); };
  r.tray->SetAnimateTimerInterval(30);
  r.tray->SetCycleIcons(true);
  EXPECT_EQ(r.tray->IconIndex(), 0);
  ASSERT_TRUE(PumpUntil([&] { return next.size() >= 4; }, 3000));
  r.tray->SetCycleIcons(false);
  EXPECT_EQ(next[0], 1);
  EXPECT_EQ(next[1], 2);
  EXPECT_EQ(next[2], 0) << "the last icon reports 0";
  EXPECT_EQ(next[3], 1);
  // The list goes: the icon keeps no link to it.
  delete list;
  EXPECT_EQ(r.tray->IconList(), nullptr);
}

TEST(SkinTrayIcon, FreeingTheIconClearsTheFormsLink) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* sf = new TskSkinnedForm(form.get());
  auto* tray = new TskTrayIcon(form.get());
  tray->SetIconVisible(true);
  sf->SetTrayIcon(tray);
  EXPECT_EQ(sf->TrayIcon(), tray);
  // The form hides a new icon, gives it its tray menu and its restore.
  EXPECT_FALSE(tray->IconVisible());
  EXPECT_EQ(tray->PopupMenu(), sf->TrayMenu());
  EXPECT_TRUE(bool(tray->OnDblClick));
  delete tray;
  EXPECT_EQ(sf->TrayIcon(), nullptr);
  // Without an icon the commands do nothing.
  sf->MinimizeToTray();
  sf->RestoreFromTray();
  EXPECT_FALSE(IsIconic(form->Handle()));
}

// ---------------------------------------------------------------------------
// Menus and the main form (run alone: a menu closes when another program's
// window takes the activation, and the main form is minimized and hidden)

namespace {

// A frame-mode skinned main form with a tray icon linked to it.
struct MainRig {
  TCustomForm* oldMain = Application->MainForm();
  std::unique_ptr<TForm> form;
  TskSkinnedForm* sf = nullptr;
  TskTrayIcon* tray = nullptr;
  int toTray = 0, fromTray = 0;
  MainRig() {
    form = std::make_unique<TForm>(nullptr);
    form->SetCaption(L"Tray main");
    form->SetBounds(180, 140, 360, 240);
    sf = new TskSkinnedForm(form.get());
    sf->SetBorderIcons(biSkSystemMenu | biSkMinimize | biSkMinimizeToTray);
    sf->OnMinimizeToTray = [this](TObject*) { ++toTray; };
    sf->OnRestoreFromTray = [this](TObject*) { ++fromTray; };
    Application->SetMainForm(form.get());
    form->Show();
    tray = new TskTrayIcon(form.get());
    sf->SetTrayIcon(tray);
    PumpFor(50);
  }
  ~MainRig() {
    form.reset();
    Application->SetMainForm(oldMain);
  }
  HWND H() { return form->Handle(); }
  bool InTray() { return !IsWindowVisible(H()) && tray->IconVisible() && tray->MinimizeToTray(); }
  bool Back() {
    return IsWindowVisible(H()) && !IsIconic(H()) && !tray->IconVisible() &&
           !tray->MinimizeToTray();
  }
};

} // namespace

TEST(SkinTrayIconInput, RightButtonOpensTheTrayMenuAtTheCursor) {
  MainRig r;
  ASSERT_TRUE(testsupport::ForceForeground(r.H()));
  SetCursorPos(320, 260);
  PumpFor(30);
  POINT c;
  GetCursorPos(&c);
  SendMessageW(r.tray->NotifyWindow(), TskTrayIcon::WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
  PumpFor(60);
  TskSkinMenu* m = r.sf->SkinMenu();
  ASSERT_TRUE(m->Visible());
  ASSERT_GT(m->LevelCount(), 0);
  TskSkinPopupWindow* w = m->Level(0);
  ASSERT_EQ(w->ItemCount(), 3);
  EXPECT_EQ(w->Item(0)->MenuItem()->Caption(), L"&Restore");
  EXPECT_EQ(w->Item(2)->MenuItem()->Caption(), L"&Close");
  RECT wr = testsupport::WindowRect(w->Handle());
  EXPECT_EQ(wr.left, c.x);
  EXPECT_EQ(wr.top, c.y);
  EXPECT_EQ(r.tray->PopupMenu()->PopupComponent(), r.tray);
  testsupport::SaveWindowPng(w->Handle(), L"skin_tray_menu.png");
  m->CloseAll();
  PumpFor(30);
  // With PopupByLeftButton the left button opens it too.
  r.tray->PopupByLeftButton = true;
  SendMessageW(r.tray->NotifyWindow(), TskTrayIcon::WM_TRAYNOTIFY, 1, WM_LBUTTONDOWN);
  PumpFor(60);
  EXPECT_TRUE(m->Visible());
  m->CloseAll();
  PumpFor(30);
}

TEST(SkinTrayIconInput, MinimizeToTrayAndBackThroughTheFormsCommands) {
  MainRig r;
  ASSERT_FALSE(r.tray->IconVisible());
  // The caption button's command goes to the tray, the tray menu's Restore
  // brings the form back.
  r.sf->RunWindowCommand(cmMinimizeToTray);
  EXPECT_TRUE(PumpUntil([&] { return r.InTray(); }, 2000));
  EXPECT_EQ(r.toTray, 1);
  TMenuItem* restore = r.sf->TrayMenu()->Items()->Items(0);
  ASSERT_EQ(restore->Name(), L"TRAY_DSF_RESTORE");
  restore->Click();
  EXPECT_TRUE(PumpUntil([&] { return r.Back(); }, 2000));
  EXPECT_EQ(r.fromTray, 1);
  // The minimize button with AlwaysMinimizeToTray, and a double click on
  // the icon.
  r.sf->AlwaysMinimizeToTray = true;
  r.sf->RunWindowCommand(cmMinimize);
  EXPECT_TRUE(PumpUntil([&] { return r.InTray(); }, 2000));
  SendMessageW(r.tray->NotifyWindow(), TskTrayIcon::WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(PumpUntil([&] { return r.Back(); }, 2000));
  // The system menu's item, and an icon that always shows.
  r.sf->AlwaysShowInTray = true;
  TMenuItem* items = r.sf->GetSystemMenuItems();
  TMenuItem* toTray = nullptr;
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i)->Name() == L"DSF_MINTOTRAY") toTray = items->Items(i);
  ASSERT_NE(toTray, nullptr);
  toTray->Click();
  EXPECT_TRUE(PumpUntil([&] { return r.InTray(); }, 2000));
  r.sf->RestoreFromTray();
  PumpFor(50);
  EXPECT_TRUE(IsWindowVisible(r.H()));
  EXPECT_FALSE(IsIconic(r.H()));
  EXPECT_TRUE(r.tray->IconVisible());
  EXPECT_EQ(r.toTray, 3);
  EXPECT_EQ(r.fromTray, 3);
}
