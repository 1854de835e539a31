// The skinned form's menus on real windows: the system menu's items in each
// window state, the user system menu, the menu-close messages, the keys and
// the wheel while a menu is open, Alt+F4 and the keyboard main menu.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkinBoxCtrls.h"
#include "skin/SkinHint.h"
#include "skin/SkinMenus.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using namespace skintest;

// Pumps through the application, so that its message hook sees the keys.
bool AppPumpUntil(const std::function<bool()>& pred, int timeoutMs) {
  DWORD end = GetTickCount() + timeoutMs;
  for (;;) {
    Application->ProcessMessages();
    if (pred()) return true;
    if (int(GetTickCount() - end) >= 0) return pred();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}
void AppPump(int ms) {
  AppPumpUntil([] { return false; }, ms);
}

// Real key presses (with Alt held when asked), pumped through the application.
void Keys(std::initializer_list<UINT> vks, bool alt = false) {
  std::vector<INPUT> in;
  auto key = [&](UINT k, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = static_cast<WORD>(k);
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  if (alt) key(VK_MENU, false);
  for (UINT k : vks) {
    key(k, false);
    key(k, true);
  }
  if (alt) key(VK_MENU, true);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  AppPump(60);
}

// A client-mode skinned form as the recorder sets it up.
struct Rig {
  std::unique_ptr<TForm> form;
  TskSkinData* skin = nullptr;
  TskSkinnedForm* sf = nullptr;
  int closeQueries = 0;
  explicit Rig(SkinKind k = kAlt, TskBorderIcons icons = biSkSystemMenu | biSkMinimize) {
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetCaption(L"Skinned form menus");
    form->SetBounds(200, 150, 408, 400);
    form->OnCloseQuery = [this](TObject*, bool& CanClose) {
      ++closeQueries;
      CanClose = false;
    };
    skin = new TskSkinData(form.get());
    skin->EnableSkinEffects = false;
    if (k == kBuiltin) EXPECT_TRUE(skin->LoadBuiltinSkin()) << skin->LastError();
    if (k == kAlt)
      EXPECT_TRUE(skin->LoadSkinFromIni(SourceDir() + L"resources\\skin\\alt\\skin.ini"))
          << skin->LastError();
    sf = new TskSkinnedForm(form.get());
    sf->SetSupportNCArea(false);
    sf->Sizeable = false;
    sf->SetBorderIcons(icons);
    sf->SetSkinData(skin);
    form->Show();
    testsupport::PumpFor(30);
  }
  HWND H() const { return form->Handle(); }
  TskSkinMenu* Menu() const { return sf->SkinMenu(); }
  bool Open() const { return Menu()->Visible() && Menu()->LevelCount() > 0; }
  TskSkinStdButtonObject* SysButton() const {
    for (auto& o : sf->Objects())
      if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get()); b && b->Command == cmSysMenu)
        return b;
    return nullptr;
  }
  // The captions of the shown first level, "-" for a separator.
  std::vector<std::wstring> Shown() const {
    std::vector<std::wstring> v;
    if (!Open()) return v;
    TskSkinPopupWindow* w = Menu()->Level(0);
    for (int i = 0; i < w->ItemCount(); ++i)
      v.push_back(w->Item(i)->MenuItem()->Caption());
    return v;
  }
  int Active() const { return Open() ? Menu()->Level(0)->ActiveIndex() : -1; }
  void ClickSysButton() {
    TskSkinStdButtonObject* b = SysButton();
    ASSERT_NE(b, nullptr);
    RECT r = b->ObjectRect;
    ClickClient(H(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    AppPump(30);
  }
};

using Items = std::vector<std::wstring>;

// ---------------------------------------------------------------------------

TEST(SkinnedFormMenus, SystemMenuInEachWindowState) {
  struct Case {
    const char* what;
    TskBorderIcons icons;
    int state;
    Items want;
  } cases[] = {
      {"recorder", biSkSystemMenu | biSkMinimize, 0, {L"Mi&nimize", L"-", L"&Close"}},
      {"all icons",
       biSkSystemMenu | biSkMinimize | biSkMaximize | biSkRollUp,
       0,
       {L"Mi&nimize", L"Ma&ximize", L"Ro&llUp", L"-", L"&Close"}},
      {"maximized",
       biSkSystemMenu | biSkMinimize | biSkMaximize | biSkRollUp,
       2,
       {L"Mi&nimize", L"&Restore", L"Ro&llUp", L"-", L"&Close"}},
      {"maximized without roll-up",
       biSkSystemMenu | biSkMinimize | biSkMaximize,
       2,
       {L"Mi&nimize", L"&Restore", L"-", L"&Close"}},
      {"tray", biSkSystemMenu | biSkMinimizeToTray, 0, {L"Minimize to &Tray", L"-", L"&Close"}},
      {"close only", biSkSystemMenu, 0, {L"&Close"}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig(kAlt, c.icons);
    if (c.state) rig.sf->SetWindowState(c.state);
    TMenuItem* root = rig.sf->GetSystemMenuItems();
    Items got;
    for (int i = 0; i < root->Count(); ++i)
      got.push_back(root->Items(i)->Caption());
    EXPECT_EQ(got, c.want);
    TMenuItem* close = root->Items(root->Count() - 1);
    EXPECT_EQ(close->Name(), L"DSF_CLOSE");
    EXPECT_EQ(ShortCutToText(close->ShortCut()), L"Alt+F4");
  }
}

TEST(SkinnedFormMenus, UserSystemMenuKeepsItsItemsWithoutDuplicates) {
  Rig rig(kAlt, biSkSystemMenu | biSkMinimize | biSkMaximize);
  auto* user = new TPopupMenu(rig.form.get());
  for (const wchar_t* c : {L"&About", L"&Options"}) {
    auto* m = new TMenuItem(user);
    m->SetCaption(c);
    user->Items()->Add(m);
  }
  rig.sf->SetSystemMenu(user);
  const Items want{L"Mi&nimize", L"Ma&ximize", L"&About", L"&Options", L"&Close"};
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    rig.sf->PopupSystemMenuAt(300, 200);
    EXPECT_EQ(rig.Shown(), want);
    rig.Menu()->CloseAll();
  }
  // Maximized, Restore takes Maximize's place, still once.
  rig.sf->SetWindowState(2);
  rig.sf->PopupSystemMenuAt(300, 200);
  EXPECT_EQ(rig.Shown(), (Items{L"Mi&nimize", L"&Restore", L"&About", L"&Options", L"&Close"}));
  rig.Menu()->CloseAll();
  // Without the default entries the user's menu stays as it is.
  rig.sf->UseDefaultSysMenu = false;
  rig.sf->SetWindowState(0);
  rig.sf->PopupSystemMenuAt(300, 200);
  EXPECT_EQ(rig.Shown(), (Items{L"Mi&nimize", L"&Restore", L"&About", L"&Options", L"&Close"}));
  rig.Menu()->CloseAll();
}

TEST(SkinnedFormMenus, TrayMenuRestoreSeparatorClose) {
  Rig rig;
  TMenuItem* root = rig.sf->TrayMenu()->Items();
  ASSERT_EQ(root->Count(), 3);
  EXPECT_EQ(root->Items(0)->Name(), L"TRAY_DSF_RESTORE");
  EXPECT_EQ(root->Items(0)->Caption(), L"&Restore");
  EXPECT_TRUE(root->Items(1)->IsLine());
  EXPECT_EQ(root->Items(2)->Name(), L"TRAY_DSF_CLOSE");
  EXPECT_EQ(ShortCutToText(root->Items(2)->ShortCut()), L"Alt+F4");
}

// Every menu-closing message closes the open system menu, releases the
// button and ends the application hook; other messages leave it open.
TEST(SkinnedFormMenus, CloseMessagesCloseTheMenuAndReleaseTheButton) {
  Rig rig;
  TskSkinStdButtonObject* b = rig.SysButton();
  ASSERT_NE(b, nullptr);
  int closes = 0;
  rig.sf->OnSkinMenuClose = [&](TObject*) { ++closes; };
  struct Case {
    UINT msg;
    bool closes;
  } cases[] = {{WM_MOVE, true},          {WM_SIZE, true},          {WM_KILLFOCUS, true},
               {WM_CANCELMODE, true},    {WM_MOUSEACTIVATE, true}, {WM_NCLBUTTONDOWN, true},
               {WM_NCRBUTTONDOWN, true}, {WM_NCMBUTTONDOWN, true}, {WM_RBUTTONDOWN, true},
               {WM_MBUTTONDOWN, true},   {WM_PARENTNOTIFY, true},  {WM_MOUSEMOVE, false},
               {WM_KEYUP, false},        {WM_NULL, false}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.msg);
    closes = 0;
    b->MouseDown(0, 0, mbLeft);
    ASSERT_TRUE(rig.Open());
    EXPECT_TRUE(b->Pressed);
    EXPECT_TRUE(rig.sf->SkinMenuIsOpen());
    EXPECT_TRUE(rig.sf->AppMessagesHooked());
    // The window's own size and place; mouse positions away from the objects.
    RECT cr;
    GetClientRect(rig.H(), &cr);
    POINT o{0, 0};
    ClientToScreen(rig.H(), &o);
    LPARAM lp = c.msg == WM_SIZE   ? MAKELPARAM(cr.right, cr.bottom)
                : c.msg == WM_MOVE ? MAKELPARAM(o.x, o.y)
                                   : MAKELPARAM(60, 300);
    SendMessageW(rig.H(), c.msg, 0, lp);
    EXPECT_EQ(rig.Open(), !c.closes);
    if (c.closes) {
      EXPECT_FALSE(b->Pressed);
      EXPECT_FALSE(rig.sf->SkinMenuIsOpen());
      EXPECT_FALSE(rig.sf->AppMessagesHooked());
      EXPECT_EQ(closes, 1);
    }
    rig.Menu()->CloseAll();
    EXPECT_FALSE(rig.sf->AppMessagesHooked());
  }
}

// The system menu in the skin's look and in the default look.
TEST(SkinnedFormMenus, SystemMenuPicturesInBothLooks) {
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned);
    Rig rig(kAlt, biSkSystemMenu | biSkMinimize | biSkMaximize | biSkRollUp);
    TskSkinData plain(nullptr);
    if (!skinned) rig.sf->SetMenusSkinData(&plain);
    TskSkinStdButtonObject* b = rig.SysButton();
    ASSERT_NE(b, nullptr);
    b->MouseDown(0, 0, mbLeft);
    ASSERT_TRUE(rig.Open());
    TskSkinPopupWindow* w = rig.Menu()->Level(0);
    EXPECT_EQ(w->Skinned(), skinned);
    // Below the button, at its left edge.
    RECT br = rig.sf->ObjectScreenRect(b->ObjectRect);
    EXPECT_EQ(w->Left(), br.left);
    EXPECT_EQ(w->Top(), br.bottom);
    testsupport::PumpFor(50);
    testsupport::SaveWindowPng(w->Handle(), skinned ? L"skinned-form-system-menu-skin.png"
                                                    : L"skinned-form-system-menu-default.png");
    rig.Menu()->CloseAll();
    rig.sf->SetMenusSkinData(nullptr);
  }
}

// On an MDI frame a menu-closing message also closes the drop-down lists of
// the frame's skinned combo boxes; an ordinary form leaves them open.
TEST(SkinnedFormMenus, MdiFrameClosesComboDropDowns) {
  for (TFormStyle style : {fsMDIForm, fsNormal}) {
    SCOPED_TRACE(style == fsMDIForm ? "frame" : "normal");
    auto form = std::make_unique<TForm>(nullptr);
    form->SetFormStyle(style);
    form->SetBounds(200, 150, 408, 400);
    auto* skin = new TskSkinData(form.get());
    ASSERT_TRUE(skin->LoadSkinFromIni(SourceDir() + L"resources\\skin\\alt\\skin.ini"));
    auto* sf = new TskSkinnedForm(form.get());
    sf->SetSupportNCArea(false);
    sf->SetSkinData(skin);
    auto* cb = new TskSkinComboBox(form.get());
    cb->SetParent(form.get());
    cb->SetBounds(40, 60, 150, 20);
    for (const wchar_t* t : {L"One", L"Two", L"Three"})
      cb->Items()->Add(t);
    form->Show();
    testsupport::PumpFor(30);
    cb->DropDown();
    ASSERT_TRUE(cb->DropDownList()->ListVisible());
    SendMessageW(form->Handle(), WM_NCMBUTTONDOWN, HTNOWHERE, 0);
    EXPECT_EQ(cb->DropDownList()->ListVisible(), style != fsMDIForm);
    cb->CloseUp(false);
  }
}

// ---------------------------------------------------------------------------
// Real input

TEST(SkinnedFormMenuInput, SysButtonMenuKeysSkipTheSeparatorAndEnterMinimizes) {
  Rig rig;
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  rig.ClickSysButton();
  ASSERT_TRUE(rig.Open());
  EXPECT_EQ(rig.Shown(), (Items{L"Mi&nimize", L"-", L"&Close"}));
  EXPECT_TRUE(rig.SysButton()->Pressed);
  EXPECT_EQ(rig.Active(), 0);
  // Down skips the separator, Up comes back over it.
  Keys({VK_DOWN});
  EXPECT_EQ(rig.Active(), 2);
  Keys({VK_UP});
  EXPECT_EQ(rig.Active(), 0);
  // Escape closes the menu and releases the button.
  Keys({VK_ESCAPE});
  EXPECT_FALSE(rig.Open());
  EXPECT_FALSE(rig.SysButton()->Pressed);
  EXPECT_FALSE(rig.sf->AppMessagesHooked());
  // Alt+Space opens it at the button; Enter on Minimize minimizes.
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  Keys({VK_SPACE}, true);
  ASSERT_TRUE(rig.Open());
  RECT br = rig.sf->ObjectScreenRect(rig.SysButton()->ObjectRect);
  EXPECT_EQ(rig.Menu()->Level(0)->Top(), br.bottom);
  Keys({VK_RETURN});
  EXPECT_FALSE(rig.Open());
  EXPECT_EQ(rig.sf->WindowState(), 1);
  EXPECT_FALSE(rig.sf->AppMessagesHooked());
  rig.sf->SetWindowState(0);
}

TEST(SkinnedFormMenuInput, ClickOutsideClosesAndTheWheelDoesNothingWhileOpen) {
  Rig rig;
  // A focused control that counts the wheel.
  struct TWheelBox : TCustomControl {
    using TCustomControl::TCustomControl;
    int Wheels = 0;
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_MOUSEWHEEL) ++Wheels;
      TCustomControl::WndProc(m);
    }
  };
  auto* box = new TWheelBox(rig.form.get());
  box->SetParent(rig.form.get());
  box->SetBounds(60, 200, 120, 60);
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  SetFocus(box->Handle());
  auto wheel = [&] {
    MouseToClient(box->Handle(), 20, 20);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    SendInput(1, &in, sizeof in);
    AppPump(80);
  };
  wheel();
  ASSERT_GT(box->Wheels, 0);
  box->Wheels = 0;
  rig.sf->PopupSystemMenuAt(rig.form->Left() + 250, rig.form->Top() + 100);
  ASSERT_TRUE(rig.Open());
  wheel();
  EXPECT_EQ(box->Wheels, 0);
  EXPECT_TRUE(rig.Open());
  // A click on the form outside the menu closes it.
  ClickClient(rig.H(), 30, 300);
  AppPump(30);
  EXPECT_FALSE(rig.Open());
  EXPECT_FALSE(rig.sf->SkinMenuIsOpen());
  wheel();
  EXPECT_GT(box->Wheels, 0);
}

// A main menu whose items' accelerators include F4's key code ('s').
struct MainMenuRig : Rig {
  TMainMenu* main;
  std::vector<TMenuItem*> top;
  MainMenuRig() : Rig(kAlt) {
    // The alt skin has no main-menu item: one is added, with a menu strip.
    auto d = std::make_unique<TskDataSkinMainMenuItem>(L"MAINMENUITEM");
    d->ActivePictureIndex = 4;
    d->SkinRectInAPicture = true;
    d->SkinRect = RECT{60, 0, 100, 20};
    d->ActiveSkinRect = RECT{60, 20, 100, 40};
    d->TextRect = RECT{4, 0, 36, 20};
    d->ItemLeftOffset = d->ItemRightOffset = 4;
    skin->ObjectList.push_back(std::move(d));
    skin->MainMenuRect = RECT{30, 30, 380, 50};
    main = new TMainMenu(form.get());
    for (const wchar_t* c : {L"&File", L"&Edit", L"&Settings"}) {
      auto* m = new TMenuItem(main);
      m->SetCaption(c);
      main->Items()->Add(m);
      auto* sub = new TMenuItem(main);
      sub->SetCaption(std::wstring(L"Sub of ") + c);
      m->Add(sub);
      top.push_back(m);
    }
    sf->SetSkinData(skin);
    sf->SetMainMenu(main);
  }
  int Hot() const {
    auto items = sf->MainMenuItems();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i]->Active || items[i]->Down) return int(i);
    return -1;
  }
};

// Items that pass the menu rectangle's right edge hide and ignore the mouse;
// room again brings them back with their enabled state. A picture of the row.
TEST(SkinnedFormMenus, MainMenuItemsHideWhenTheyDoNotFit) {
  MainMenuRig rig;
  auto items = rig.sf->MainMenuItems();
  ASSERT_EQ(items.size(), 3u);
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items[i]->IDName, rig.top[i]->Name());
    EXPECT_TRUE(items[i]->Shown);
    EXPECT_EQ(items[i]->ObjectRect.top, 30);
    if (i > 0) EXPECT_EQ(items[i]->ObjectRect.left, items[i - 1]->ObjectRect.right);
  }
  EXPECT_EQ(items[0]->ObjectRect.left, 30);
  testsupport::PumpFor(50);
  testsupport::SaveWindowPng(rig.H(), L"skinned-form-main-menu.png");
  items[2]->Enabled = false;
  // Room for the first item only.
  rig.skin->MainMenuRect = RECT{30, 30, items[0]->ObjectRect.right + 5, 50};
  rig.sf->LayoutObjects();
  EXPECT_TRUE(items[0]->Shown);
  for (size_t i : {1u, 2u}) {
    EXPECT_FALSE(items[i]->Shown) << i;
    EXPECT_FALSE(items[i]->Enabled) << i;
  }
  // The mouse over a hidden item finds no object.
  POINT c{(items[1]->ObjectRect.left + items[1]->ObjectRect.right) / 2, 40};
  rig.sf->TestActiveObject(c.x, c.y, true);
  EXPECT_EQ(rig.sf->ActiveObject(), -1);
  rig.skin->MainMenuRect = RECT{30, 30, 380, 50};
  rig.sf->LayoutObjects();
  EXPECT_TRUE(items[1]->Shown);
  EXPECT_TRUE(items[1]->Enabled);
  EXPECT_TRUE(items[2]->Shown);
  EXPECT_FALSE(items[2]->Enabled);
  // A new main menu makes new items.
  rig.sf->SetMainMenu(nullptr);
  EXPECT_TRUE(rig.sf->MainMenuItems().empty());
}

// Alt or F10 (SC_KEYMENU) enters and leaves the main menu; without one it
// only announces the entry, and the system's own menu loop never runs.
TEST(SkinnedFormMenus, KeyMenuCommandEntersAndLeavesTheMainMenu) {
  {
    Rig rig;
    int enters = 0;
    rig.sf->OnMainMenuEnter = [&](TObject*) { ++enters; };
    SendMessageW(rig.H(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(enters, 1);
    EXPECT_FALSE(rig.sf->MainMenuMode());
    EXPECT_FALSE(rig.sf->AppMessagesHooked());
    // An open system menu closes first.
    rig.sf->PopupSystemMenuAt(300, 200);
    ASSERT_TRUE(rig.Open());
    SendMessageW(rig.H(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_FALSE(rig.Open());
    EXPECT_EQ(enters, 2);
    EXPECT_FALSE(rig.sf->AppMessagesHooked());
  }
  MainMenuRig rig;
  int enters = 0, exits = 0;
  rig.sf->OnMainMenuEnter = [&](TObject*) { ++enters; };
  rig.sf->OnMainMenuExit = [&](TObject*) { ++exits; };
  SendMessageW(rig.H(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  EXPECT_TRUE(rig.sf->MainMenuMode());
  EXPECT_EQ(rig.Hot(), 0);
  EXPECT_TRUE(rig.sf->AppMessagesHooked());
  SendMessageW(rig.H(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  EXPECT_FALSE(rig.sf->MainMenuMode());
  EXPECT_EQ(rig.Hot(), -1);
  EXPECT_FALSE(rig.sf->AppMessagesHooked());
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 1);
}

TEST(SkinnedFormMenuInput, AltThenRightOnTheLastMainMenuItemMovesToTheFirst) {
  MainMenuRig rig;
  ASSERT_EQ(rig.sf->MainMenuItems().size(), 3u);
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  int enters = 0, exits = 0;
  rig.sf->OnMainMenuEnter = [&](TObject*) { ++enters; };
  rig.sf->OnMainMenuExit = [&](TObject*) { ++exits; };
  // Alt alone enters the main menu at its first item.
  Keys({}, true);
  ASSERT_TRUE(AppPumpUntil([&] { return rig.sf->MainMenuMode(); }, 1000));
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(rig.Hot(), 0);
  EXPECT_TRUE(rig.sf->AppMessagesHooked());
  // Left wraps to the last item, Right from the last to the first.
  Keys({VK_LEFT});
  EXPECT_EQ(rig.Hot(), 2);
  Keys({VK_RIGHT});
  EXPECT_EQ(rig.Hot(), 0);
  // Down opens the item's menu; Right then moves to the next item's menu.
  Keys({VK_DOWN});
  ASSERT_TRUE(rig.Open());
  EXPECT_EQ(rig.Shown(), Items{L"Sub of &File"});
  Keys({VK_RIGHT});
  ASSERT_TRUE(rig.Open());
  EXPECT_EQ(rig.Shown(), Items{L"Sub of &Edit"});
  EXPECT_EQ(rig.Hot(), 1);
  // Escape closes the menu, a second Escape leaves the main menu.
  Keys({VK_ESCAPE});
  EXPECT_FALSE(rig.Open());
  EXPECT_TRUE(rig.sf->MainMenuMode());
  Keys({VK_ESCAPE});
  EXPECT_FALSE(rig.sf->MainMenuMode());
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(rig.sf->AppMessagesHooked());
}

TEST(SkinnedFormMenuInput, AltF4ReachesTheSystemAndAltLetterOpensItsItem) {
  MainMenuRig rig;
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  // F4's key code is 's', the accelerator of "&Settings": Alt+F4 still closes.
  Keys({VK_F4}, true);
  EXPECT_TRUE(AppPumpUntil([&] { return rig.closeQueries == 1; }, 1000));
  EXPECT_FALSE(rig.Open());
  EXPECT_EQ(rig.Hot(), -1);
  // Alt+S opens the Settings menu.
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  Keys({'S'}, true);
  ASSERT_TRUE(AppPumpUntil([&] { return rig.Open(); }, 1000));
  EXPECT_EQ(rig.Shown(), Items{L"Sub of &Settings"});
  EXPECT_EQ(rig.closeQueries, 1);
  Keys({VK_ESCAPE});
  Keys({VK_ESCAPE});
  EXPECT_FALSE(rig.sf->AppMessagesHooked());
}

// With ShowObjectHint the skinned hint follows the hot object: shown after
// the pause over a caption button, hidden when the mouse leaves it and on
// the menu-closing messages.
TEST(SkinnedFormMenuInput, ObjectHintFollowsTheHotObject) {
  Rig rig;
  // The hint window draws for the active hint of the main form.
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(rig.form.get());
  auto* hintp = new TskSkinHint(rig.form.get());
  TskSkinHint& hint = *hintp;
  hint.SetSkinData(rig.skin);
  rig.sf->ShowObjectHint = true;
  rig.sf->SetSkinHint(&hint);
  TskSkinStdButtonObject* close = nullptr;
  for (auto& o : rig.sf->Objects())
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get()); b && b->Command == cmClose)
      close = b;
  ASSERT_NE(close, nullptr);
  ASSERT_FALSE(close->Hint.empty());
  ASSERT_TRUE(testsupport::ForceForeground(rig.H(), 3000));
  auto shown = [&] {
    return hint.HintWindow()->HandleAllocated() && IsWindowVisible(hint.HintWindow()->Handle());
  };
  const RECT& r = close->ObjectRect;
  MouseToClient(rig.H(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return hint.DelayTimer() != nullptr; }, 1000));
  EXPECT_TRUE(testsupport::PumpUntil(shown, 2000));
  // Leaving the button for the background hides it.
  MouseToClient(rig.H(), 60, 300);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !shown() && !hint.DelayTimer(); }, 1000));
  // A pending hint goes on a menu-closing message.
  MouseToClient(rig.H(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return hint.DelayTimer() != nullptr; }, 1000));
  SendMessageW(rig.H(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(hint.DelayTimer(), nullptr);
  MouseToClient(rig.H(), 60, 300);
  Application->SetMainForm(oldMain);
}

} // namespace
