// Toolbars and menus on real windows: layout with wrapping and the chevron,
// menu-bar keys, popup menus driven by posted input, docking and floating,
// the recent-file list, the visibility toggle, shared hooks and pictures.
#include <gtest/gtest.h>

#include <map>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/IniFiles.h"
#include "tests/support/Gui.h"
#include "tests/toolbars/TfTestForm.h"
#include "toolbars/TfAcc.h"
#include "toolbars/TfExtItems.h"
#include "toolbars/TfHook.h"
#include "toolbars/TfMRU.h"
#include "toolbars/TfToolbar.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

struct TestForm : TfItemMaker {
  TTfDock* Dock;
  TTfToolbar* MenuBar;
  TTfToolbar* Edit;
  TTfSubmenuItem* File;
  TTfSubmenuItem* EditMenu;
  TTfItem* Open;
  TTfItem* Save;
  TTfItem* Cut;

  TestForm() {
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 420, 240);
    Form->SetCaption(L"Toolbar test");
    Dock = new TTfDock(Form);
    Dock->SetParent(Form);
    MenuBar = new TTfToolbar(Form);
    MenuBar->SetCaption(L"Main Menu");
    MenuBar->SetMenuBar(true);
    // What the form resource stores for a menu bar.
    MenuBar->SetFullSize(true);
    MenuBar->SetShrinkMode(tfsmWrap);
    MenuBar->SetProcessShortCuts(true);
    MenuBar->SetCloseButton(false);
    MenuBar->SetParent(Dock);
    File = AddSub(MenuBar->Items(), L"&File");
    Open = AddItem(File, L"&Open...\tCtrl+O");
    AddSep(File);
    Save = AddItem(File, L"&Save");
    EditMenu = AddSub(MenuBar->Items(), L"&Edit");
    Cut = AddItem(EditMenu, L"Cu&t");
    AddItem(EditMenu, L"&Copy");
    AddSub(MenuBar->Items(), L"&Help");
    Edit = new TTfToolbar(Form);
    Edit->SetCaption(L"Edit");
    // Other programs on the display take the activation at any time.
    Edit->HideWhenInactive = false;
    Edit->SetDockRow(1);
    Edit->SetParent(Dock);
    for (const wchar_t* c : {L"New", L"Open", L"Save"})
      AddItem(Edit->Items(), c);
    AddSep(Edit->Items());
    for (const wchar_t* c : {L"Cut", L"Copy", L"Paste"})
      AddItem(Edit->Items(), c);
    Form->Show();
    PumpFor(100);
  }
  ~TestForm() { delete Form; }
};

TEST(TfToolbarLayout, WrapAndChevronAtSeveralWidths) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 200);
  std::unique_ptr<TTfToolbar> tb(new TTfToolbar(&form));
  tb->SetParent(&form);
  for (int i = 0; i < 6; ++i) {
    auto* it = new TTfItem(&form);
    it->SetCaption(L"Button" + std::to_wstring(i));
    tb->Items()->Add(it);
    if (i == 2) tb->Items()->Add(new TTfSeparatorItem(&form));
  }
  TTfView* v = tb->View();
  TPoint base, total;
  int lines = 1;
  v->Layout(false, voHorizontal, 0, 0, 12, base, total, lines);
  const int full = base.X;
  ASSERT_GT(full, 100);
  struct Case {
    int wrap, fit;
    int lines;
    bool chevronShown;
  } cases[] = {
      {0, 0, 1, false},             // unlimited: one line
      {full + 10, 0, 1, false},     // room to spare
      {full / 2 + 20, 0, 2, false}, // wraps at the separator
      {0, full + 5, 1, false},      // chevron limit not reached
      {0, full / 2, 1, true},       // chevron hides items
  };
  for (auto& k : cases) {
    v->Layout(true, voHorizontal, k.wrap, k.fit, 12, base, total, lines);
    EXPECT_EQ(lines, k.lines) << k.wrap << "/" << k.fit;
    TTfItemViewer* chev = v->ViewerOf(tb->ChevronItem());
    ASSERT_NE(chev, nullptr);
    EXPECT_EQ(chev->Shown, k.chevronShown) << k.wrap << "/" << k.fit;
    int hidden = 0;
    for (int i = 0; i < v->ViewerCount(); ++i)
      if (v->Viewers(i)->HiddenForSpace) ++hidden;
    EXPECT_EQ(hidden > 0, k.chevronShown);
    if (k.lines > 1) {
      EXPECT_GE(total.X, k.wrap);
    }
    if (k.chevronShown) {
      EXPECT_TRUE(tb->ChevronItem()->Enabled());
      EXPECT_LE(chev->BoundsRect.Left, k.fit);
    }
  }
}

TEST(TfToolbarLayout, SeparatorsCollapseInPopupAndEmptyViewSize) {
  TForm form(nullptr);
  TTfSubmenuItem root(nullptr);
  TTfItem* a = nullptr;
  auto sep = [&] { root.Add(new TTfSeparatorItem(nullptr)); };
  sep();
  a = new TTfItem(nullptr);
  a->SetCaption(L"A");
  root.Add(a);
  sep();
  sep();
  auto* b = new TTfItem(nullptr);
  b->SetCaption(L"B");
  root.Add(b);
  sep();
  TTfPopupWindow* win = root.CreatePopupWindow(nullptr, false);
  TTfView* v = win->View();
  v->ValidatePositions();
  int shown = 0;
  for (int i = 0; i < v->ViewerCount(); ++i)
    shown += v->Viewers(i)->Shown;
  EXPECT_EQ(shown, 3);
  EXPECT_EQ(v->Viewers(1)->BoundsRect.Width(), v->Viewers(4)->BoundsRect.Width());
  delete win;

  std::unique_ptr<TTfToolbar> tb(new TTfToolbar(&form));
  TPoint base, total;
  int lines;
  tb->View()->Layout(false, voHorizontal, 0, 0, 12, base, total, lines);
  EXPECT_EQ(base, TPoint(23, 22));
  for (int i = 0; i < 6; ++i)
    root.Delete(0);
}

// Ends whatever modal loop runs on this thread when the time is up, so that
// a key that is not answered cannot leave a test waiting for input.
class LoopGuard {
public:
  LoopGuard(HWND Wnd, UINT Ms) {
    gGuardWnd = Wnd;
    gGuardFired = false;
    FTimer = SetTimer(nullptr, 0, Ms, &Fire);
  }
  ~LoopGuard() {
    KillTimer(nullptr, FTimer);
    gGuardWnd = nullptr;
  }
  static bool Fired() { return gGuardFired; }

private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    gGuardFired = true;
    EndMenu();
    if (gGuardWnd) PostMessageW(gGuardWnd, WM_CANCELMODE, 0, 0);
  }
  static inline HWND gGuardWnd = nullptr;
  static inline bool gGuardFired = false;
  UINT_PTR FTimer;
};

TEST(TfMenuBar, KeyboardNavigationAndAccelerators) {
  TestForm f;
  HWND bar = f.MenuBar->Handle();
  {
    // Alt+F opens File with Open selected; Down skips the separator; Enter chooses Save.
    LoopGuard guard(bar, 20000);
    PostMessageW(bar, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(bar, WM_KEYDOWN, VK_RETURN, 0);
    LRESULT r = f.MenuBar->Perform(WM_SYSCOMMAND, SC_KEYMENU, L'f');
    EXPECT_EQ(r, 1);
    PumpUntil([&] { return !f.Clicked.empty(); }, 5000);
    EXPECT_FALSE(LoopGuard::Fired());
  }
  ASSERT_EQ(f.Clicked.size(), 1u);
  EXPECT_EQ(f.Clicked[0], L"&Save");
  EXPECT_FALSE(f.MenuBar->View()->State() & vwTracking);
  EXPECT_EQ(GetCapture(), nullptr);
  {
    // Right moves to the Edit menu, typing its accelerator chooses Cut.
    LoopGuard guard(bar, 20000);
    f.Clicked.clear();
    PostMessageW(bar, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(bar, WM_CHAR, L't', 0);
    f.MenuBar->Perform(WM_SYSCOMMAND, SC_KEYMENU, L'f');
    PumpUntil([&] { return !f.Clicked.empty(); }, 5000);
    EXPECT_FALSE(LoopGuard::Fired());
  }
  ASSERT_EQ(f.Clicked.size(), 1u);
  EXPECT_EQ(f.Clicked[0], L"Cu&t");
  {
    // Escape closes the menu, a second Escape ends the loop without a command.
    LoopGuard guard(bar, 20000);
    f.Clicked.clear();
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 0);
    f.MenuBar->Perform(WM_SYSCOMMAND, SC_KEYMENU, L'e');
    PumpFor(50);
    EXPECT_FALSE(LoopGuard::Fired());
  }
  EXPECT_TRUE(f.Clicked.empty());
  EXPECT_FALSE(f.MenuBar->View()->State() & vwTracking);
  EXPECT_EQ(GetCapture(), nullptr);
  {
    // Alt with space is never taken: it goes on to the window's own menu,
    // whose loop the guard ends. Alt with "-" is left unanswered.
    LoopGuard guard(bar, 1500);
    EXPECT_EQ(f.MenuBar->Perform(WM_SYSCOMMAND, SC_KEYMENU, L' '), 0);
    EXPECT_FALSE(f.MenuBar->View()->State() & vwTracking);
  }
  {
    LoopGuard guard(bar, 20000);
    EXPECT_EQ(f.MenuBar->Perform(WM_SYSCOMMAND, SC_KEYMENU, L'-'), 0);
    EXPECT_FALSE(LoopGuard::Fired());
  }
  EXPECT_TRUE(f.Clicked.empty());
}

TEST(TfMenuBar, ShortcutsReachItemsThroughTheApplication) {
  TestForm f;
  f.Save->SetShortCut(ShortCut(VK_F5, 0));
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(f.Form);
  // The program's own shortcut handler does not take the toolbars' place.
  int ownCalls = 0;
  Application->OnShortCut = [&](TMessage&, bool&) { ++ownCalls; };
  EXPECT_EQ(Application->SendAppMessage(CM_APPKEYDOWN, VK_F5, 0), 1);
  EXPECT_EQ(f.Clicked.size(), 1u);
  // A key none of them knows goes on to the application.
  EXPECT_EQ(Application->SendAppMessage(CM_APPKEYDOWN, VK_F6, 0), 0);
  EXPECT_EQ(ownCalls, 1);
  Application->OnShortCut = nullptr;
  Application->SetMainForm(oldMain);
  PumpFor(50);
  EXPECT_EQ(f.Clicked.size(), 1u);
  f.MenuBar->SetMenuBar(false);
  EXPECT_FALSE(f.MenuBar->FullSize());
  EXPECT_EQ(f.MenuBar->ShrinkMode(), tfsmChevron);
  EXPECT_FALSE(f.MenuBar->ProcessShortCuts());
  f.MenuBar->SetMenuBar(true);
  EXPECT_TRUE(f.MenuBar->FullSize());
  EXPECT_EQ(f.MenuBar->ShrinkMode(), tfsmWrap);
  EXPECT_TRUE(f.MenuBar->ProcessShortCuts());
}

TEST(TfPopupMenu, KeysChooseACommandAndTheLoopEnds) {
  TestForm f;
  TTfPopupMenu pm(f.Form);
  std::vector<TTfItem*> items;
  for (const wchar_t* c : {L"&Zoom in", L"Zoom &out", L"&Reset"}) {
    auto* it = new TTfItem(f.Form);
    it->SetCaption(c);
    pm.Items()->Add(it);
    items.push_back(it);
  }
  items[1]->SetEnabled(false);
  HWND target = f.Form->Handle();
  PostMessageW(target, WM_KEYDOWN, VK_DOWN, 0); // first item
  PostMessageW(target, WM_KEYDOWN, VK_DOWN, 0); // skips nothing: disabled is selectable
  PostMessageW(target, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
  TTfCustomItem* chosen = pm.PopupEx(200, 200, true);
  EXPECT_EQ(chosen, items[2]);
  // Accelerator of one item chooses it at once.
  PostMessageW(target, WM_CHAR, L'z', 0);
  EXPECT_EQ(pm.PopupEx(200, 200, true), items[0]);
  // Escape ends without a choice.
  PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(pm.PopupEx(200, 200, true), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(TfPopupMenu, ScreenshotOfAnOpenMenu) {
  TestForm f;
  TTfPopupMenu pm(f.Form);
  for (const wchar_t* c : {L"&Undo\tCtrl+Z", L"-", L"Cu&t\tCtrl+X", L"&Copy\tCtrl+C"}) {
    if (std::wstring(c) == L"-") {
      pm.Items()->Add(new TTfSeparatorItem(f.Form));
      continue;
    }
    auto* it = new TTfItem(f.Form);
    it->SetCaption(c);
    pm.Items()->Add(it);
  }
  auto* sub = new TTfSubmenuItem(f.Form);
  sub->SetCaption(L"&More");
  pm.Items()->Add(sub);
  auto* checked = new TTfItem(f.Form);
  checked->SetCaption(L"&Checked");
  checked->SetChecked(true);
  pm.Items()->Add(checked);
  bool saved = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 300, nullptr);
  // The loop dispatches the thread timer; the picture is taken from inside it.
  auto* probe = new TTfItem(f.Form);
  probe->SetCaption(L"Probe");
  pm.Items()->Add(probe);
  PostMessageW(f.Form->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  std::thread t([&] {
    Sleep(400);
    HWND w = testsupport::FindWindowOf(L"TTfPopupWindow", L"");
    if (w) saved = testsupport::SaveWindowPng(w, L"toolbars_popup_menu.png");
    PostMessageW(f.Form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  pm.PopupEx(150, 150, true);
  t.join();
  KillTimer(nullptr, timer);
  EXPECT_TRUE(saved);
}

TEST(TfDocking, DockFloatAndDockBackKeepsPosition) {
  TestForm f;
  ASSERT_TRUE(f.Edit->Docked());
  EXPECT_EQ(f.MenuBar->AssignedRow, 0);
  EXPECT_EQ(f.Edit->AssignedRow, 1);
  EXPECT_EQ(f.MenuBar->Width(), f.Dock->Width()); // full size
  EXPECT_GT(f.Dock->Height(), f.MenuBar->Height());
  EXPECT_TRUE(testsupport::SaveWindowPng(f.Form->Handle(), L"toolbars_docked_menubar.png"));
  int row = f.Edit->DockRow(), pos = f.Edit->DockPos();
  int dockHeight = f.Dock->Height();
  f.Edit->DoubleClickHandle();
  PumpFor(50);
  EXPECT_TRUE(f.Edit->Floating());
  EXPECT_FALSE(f.Edit->Docked());
  EXPECT_LT(f.Dock->Height(), dockHeight);
  EXPECT_EQ(f.Edit->LastDock(), f.Dock);
  f.Edit->DoubleClickHandle();
  PumpFor(50);
  EXPECT_TRUE(f.Edit->Docked());
  EXPECT_EQ(f.Edit->DockRow(), row);
  EXPECT_EQ(f.Edit->DockPos(), pos);
  EXPECT_EQ(f.Dock->Height(), dockHeight);
  f.Edit->SetVisible(false);
  PumpFor(20);
  EXPECT_LT(f.Dock->Height(), dockHeight);
  EXPECT_THROW(f.Dock->SetPosition(dpLeft), EInvalidOperation);
}

TEST(TfMRU, IniRoundTripAndMenuItems) {
  std::wstring dir = testsupport::MakeTempDir(L"tfmru");
  std::wstring ini = dir + L"\\sys~.dat";
  TTfMRUList mru(nullptr);
  mru.SetMaxItems(6);
  mru.SetHidePathExtension(false);
  for (int i = 1; i <= 7; ++i)
    mru.AddFile(L"C:\\audio\\take" + std::to_wstring(i) + L".wav");
  ASSERT_EQ(mru.Items()->Count(), 6);
  EXPECT_EQ(mru.Items()->Get(0), L"C:\\audio\\take7.wav");
  EXPECT_EQ(mru.Container()->ChildAt(0)->Caption(), L"&1 C:\\audio\\take7.wav");
  mru.AddFile(L"c:\\AUDIO\\TAKE3.wav");
  EXPECT_EQ(mru.Items()->Count(), 6);
  EXPECT_EQ(mru.Items()->Get(0), L"c:\\AUDIO\\TAKE3.wav");
  {
    TIniFile f(ini);
    mru.SaveToIniFile(&f, L"MRU");
  }
  TTfMRUList back(nullptr);
  back.SetMaxItems(6);
  back.SetHidePathExtension(false);
  {
    TIniFile f(ini);
    EXPECT_EQ(f.ReadString(L"MRU", L"MRU6", L""), L"C:\\audio\\take2.wav");
    f.DeleteKey(L"MRU", L"MRU2");
    back.LoadFromIniFile(&f, L"MRU");
  }
  EXPECT_EQ(back.Items()->Count(), 5);
  EXPECT_EQ(back.Items()->Get(1), L"C:\\audio\\take6.wav");
  // Clicking an entry moves it to the top before OnClick gets it.
  std::wstring picked;
  back.OnClick = [&](TObject*, const std::wstring& n) { picked = n; };
  back.Container()->ChildAt(2)->Click();
  EXPECT_EQ(picked, back.Items()->Get(0));
  // A list item shows the entries in place of itself.
  TTfSubmenuItem recent(nullptr);
  auto* li = new TTfMRUListItem(nullptr);
  li->SetMRUList(&back);
  recent.Add(li);
  TTfPopupWindow* win = recent.CreatePopupWindow(nullptr, false);
  win->View()->ValidatePositions();
  EXPECT_EQ(win->View()->ViewerCount(), 6); // the list item and its five entries
  back.AddFile(L"C:\\new.wav");
  EXPECT_EQ(win->View()->ViewerCount(), 7);
  delete win;
  // Ampersands are doubled; a negative maximum empties the list without an error.
  back.AddFile(L"C:\\a&b.wav");
  EXPECT_EQ(back.Container()->ChildAt(0)->Caption(), L"&1 C:\\a&&b.wav");
  EXPECT_NO_THROW(back.SetMaxItems(-1));
  EXPECT_EQ(back.Items()->Count(), 0);
  TIniFile f(ini);
  EXPECT_NO_THROW(back.SaveToIniFile(&f, L"MRU"));
  EXPECT_NO_THROW(back.LoadFromIniFile(&f, L"MRU"));
  recent.Remove(li);
  delete li;
}

TEST(TfVisibilityToggle, FollowsTheToolbar) {
  TestForm f;
  TTfVisibilityToggleItem toggle(nullptr);
  toggle.SetControl(f.Edit);
  EXPECT_EQ(toggle.Caption(), L"Edit");
  EXPECT_TRUE(toggle.Checked());
  toggle.Click();
  EXPECT_FALSE(f.Edit->Visible());
  toggle.UpdateFromAction();
  EXPECT_FALSE(toggle.Checked());
  toggle.Click();
  EXPECT_TRUE(f.Edit->Visible());
  toggle.UpdateFromAction();
  EXPECT_TRUE(toggle.Checked());
}

TEST(TfVisibilityToggle, FreedControlAndGivenCaption) {
  TestForm f;
  TTfVisibilityToggleItem toggle(nullptr);
  toggle.SetCaption(L"Standard");
  toggle.SetControl(f.Edit);
  // A caption of its own is kept.
  EXPECT_EQ(toggle.Caption(), L"Standard");
  EXPECT_TRUE(toggle.Checked());
  // Hidden by other means: the mark follows at the next update.
  f.Edit->SetVisible(false);
  toggle.UpdateFromAction();
  EXPECT_FALSE(toggle.Checked());
  f.Edit->SetVisible(true);
  toggle.UpdateFromAction();
  EXPECT_TRUE(toggle.Checked());
  delete f.Edit;
  f.Edit = nullptr;
  EXPECT_EQ(toggle.Control(), nullptr);
  EXPECT_FALSE(toggle.Checked());
  // Without a control a click changes nothing but still runs the item's click.
  int clicks = 0;
  toggle.OnClick = [&](TObject*) { ++clicks; };
  toggle.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(toggle.Checked());
}

TEST(TfToolbarControls, HostedControlsGetItemsAndLeaveWithoutBeingFreed) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 200);
  auto* tb = new TTfToolbar(&form);
  tb->SetParent(&form);
  auto* it = new TTfItem(&form);
  it->SetCaption(L"Item");
  tb->Items()->Add(it);
  // A control placed while loading gets its item when loading ends.
  auto* pre = new TPanel(&form);
  pre->SetBounds(0, 0, 30, 18);
  pre->SetParent(tb);
  EXPECT_EQ(tb->Items()->ChildCount(), 1);
  form.AfterConstruction();
  ASSERT_EQ(tb->Items()->ChildCount(), 2);
  EXPECT_EQ(tb->ControlItemOf(pre)->Control(), pre);
  delete pre;
  ASSERT_EQ(tb->Items()->ChildCount(), 1);
  auto* a = new TPanel(&form);
  a->SetBounds(0, 0, 40, 18);
  a->SetParent(tb);
  auto* b = new TPanel(&form);
  b->SetBounds(0, 0, 50, 18);
  b->SetParent(tb);
  // Each inserted control gets an item at the end, once.
  ASSERT_EQ(tb->Items()->ChildCount(), 3);
  EXPECT_EQ(tb->Items()->ChildAt(1), tb->ControlItemOf(a));
  EXPECT_EQ(tb->Items()->ChildAt(2), tb->ControlItemOf(b));
  EXPECT_EQ(tb->ControlItemOf(a)->Control(), a);
  a->SetParent(tb);
  EXPECT_EQ(tb->Items()->ChildCount(), 3);
  // A control moved elsewhere loses its item and lives on.
  a->SetParent(&form);
  EXPECT_EQ(tb->ControlItemOf(a), nullptr);
  ASSERT_EQ(tb->Items()->ChildCount(), 2);
  EXPECT_EQ(a->Parent(), &form);
  // A freed control takes its item with it.
  delete b;
  EXPECT_EQ(tb->Items()->ChildCount(), 1);
  EXPECT_EQ(tb->Items()->ChildAt(0), it);
  // Freeing the toolbar leaves a control that is no longer on it alone.
  delete tb;
  EXPECT_EQ(a->Parent(), &form);
}

TEST(TfToolbarControls, DesignTimeItemsTakeTheFirstFreeName) {
  struct Case {
    std::vector<std::wstring> taken;
    std::wstring expected;
  } cases[] = {
      {{}, L"TfControlItem1"},
      {{L"TfControlItem1"}, L"TfControlItem2"},
      {{L"TfControlItem1", L"TfControlItem3"}, L"TfControlItem2"},
      {{L"TfControlItem2"}, L"TfControlItem1"},
  };
  for (const Case& c : cases) {
    TForm form(nullptr);
    for (const auto& n : c.taken) {
      auto* other = new TPanel(&form);
      other->SetName(n);
    }
    auto* tb = new TTfToolbar(&form);
    tb->SetParent(&form);
    form.SetDesigning(true);
    auto* ctl = new TPanel(&form);
    TTfControlItem* ci = tb->AddControlItem(0, ctl);
    EXPECT_EQ(ci->Name(), c.expected) << c.taken.size();
    EXPECT_EQ(ci->Owner(), &form);
    EXPECT_EQ(tb->ControlItemOf(ctl), ci);
    // Outside design time the item has no name.
    form.SetDesigning(false);
    auto* ctl2 = new TPanel(&form);
    EXPECT_EQ(tb->AddControlItem(1, ctl2)->Name(), L"");
  }
}

TEST(TfToolbarProps, ColourFontAndChevronSettingsReachTheView) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 600, 200);
  auto* tb = new TTfToolbar(&form);
  tb->SetParent(&form);
  for (const wchar_t* c : {L"New", L"Open", L"Save"}) {
    auto* it = new TTfItem(&form);
    it->SetCaption(c);
    tb->Items()->Add(it);
  }
  form.AfterConstruction();
  EXPECT_EQ(tb->View()->BackgroundColor, clBtnFace);
  tb->SetColor(clRed);
  EXPECT_EQ(tb->View()->BackgroundColor, clRed);
  // With the toolbar's own font, a larger font makes the toolbar larger.
  tb->SetSystemFont(false);
  tb->Font()->SetSize(8);
  int w = tb->Width(), h = tb->Height();
  tb->Font()->SetSize(24);
  EXPECT_GT(tb->Width(), w);
  EXPECT_GT(tb->Height(), h);
  // With the menu font, the toolbar's font does not count.
  tb->SetSystemFont(true);
  w = tb->Width();
  tb->Font()->SetSize(8);
  EXPECT_EQ(tb->Width(), w);
  EXPECT_EQ(tb->ChevronPriorityForNewItems(), tfcpHighest);
  EXPECT_TRUE(tb->View()->NewItemsFirst);
  tb->SetChevronPriorityForNewItems(tfcpLowest);
  EXPECT_EQ(tb->ChevronPriorityForNewItems(), tfcpLowest);
  EXPECT_FALSE(tb->View()->NewItemsFirst);
  tb->SetChevronHint(L"More && more|Shows the rest");
  EXPECT_EQ(tb->ChevronHint(), L"More && more|Shows the rest");
  EXPECT_EQ(tb->ChevronItem()->Caption(), L"More &&&& more");
}

TEST(TfToolbarProps, FloatingWidthIsStoredAsFloatRightX) {
  TForm form(nullptr);
  auto* tb = new TTfToolbar(&form);
  tb->SetName(L"EditBar");
  std::map<std::wstring, int> store;
  void* extra = &store;
  TTfPositionData data;
  data.Extra = extra;
  data.WriteInt = [&](const std::wstring& Bar, const std::wstring& Value, int V, void* X) {
    EXPECT_EQ(X, extra);
    store[Bar + L"." + Value] = V;
  };
  data.ReadInt = [&](const std::wstring& Bar, const std::wstring& Value, int Default, void* X) {
    EXPECT_EQ(X, extra);
    auto it = store.find(Bar + L"." + Value);
    return it == store.end() ? Default : it->second;
  };
  tb->SetFloatingWidth(120);
  tb->WritePosition(data);
  EXPECT_EQ(store[L"EditBar.FloatRightX"], 120);
  tb->SetFloatingWidth(0);
  tb->ReadPosition(data);
  EXPECT_EQ(tb->FloatingWidth(), 120);
  store.clear();
  tb->ReadPosition(data);
  EXPECT_EQ(tb->FloatingWidth(), 0);
}

int gCalls[2][5];
void ProcA(THookProcCode c, HWND, WPARAM, LPARAM) {
  ++gCalls[0][c];
}

TEST(TfHooks, SharedProcedureCountsUsersAndSecondUserGetsItsCodes) {
  int a = 0, b = 0;
  InstallHookProc(&a, ProcA, HookCode(hpSendActivate));
  InstallHookProc(&b, ProcA, HookCode(hpSendActivate));
  EXPECT_TRUE(HookInstalled(WH_CALLWNDPROC));
  UninstallHookProc(&a, ProcA);
  EXPECT_TRUE(HookInstalled(WH_CALLWNDPROC));
  // The second user asks for window destruction too and hears it.
  InstallHookProc(&b, ProcA, HookCode(hpPreDestroy));
  EXPECT_TRUE(HookInstalled(WH_CBT));
  gCalls[0][hpPreDestroy] = 0;
  HWND w = CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(w);
  EXPECT_GE(gCalls[0][hpPreDestroy], 1);
  UninstallHookProc(&b, ProcA);
  EXPECT_FALSE(HookInstalled(WH_CALLWNDPROC));
  EXPECT_FALSE(HookInstalled(WH_CBT));
}

// ---------------------------------------------------------------------------
// Accessibility objects

VARIANT ChildId(LONG Id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = Id;
  return v;
}

// Releases a COM pointer when it goes out of scope.
template <class T> struct Ref {
  T* P = nullptr;
  Ref() = default;
  explicit Ref(T* Ptr) : P(Ptr) {}
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (P) P->Release();
  }
  T* operator->() const { return P; }
  T** Out() { return &P; }
};

// The object a window hands out for OBJID_CLIENT, through WM_GETOBJECT.
IAccessible* ClientObject(HWND Wnd) {
  LRESULT r = SendMessageW(Wnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  if (r <= 0) return nullptr;
  IAccessible* a = nullptr;
  if (FAILED(ObjectFromLresult(r, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&a))))
    return nullptr;
  return a;
}

IAccessible* ChildObject(IAccessible* Parent, LONG Index) {
  IDispatch* d = nullptr;
  if (Parent->get_accChild(ChildId(Index), &d) != S_OK || !d) return nullptr;
  IAccessible* a = nullptr;
  d->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&a));
  d->Release();
  return a;
}

std::wstring NameOf(IAccessible* A) {
  BSTR b = nullptr;
  if (FAILED(A->get_accName(ChildId(CHILDID_SELF), &b)) || !b) return L"";
  std::wstring s(b, SysStringLen(b));
  SysFreeString(b);
  return s;
}

LONG RoleOf(IAccessible* A) {
  VARIANT v;
  VariantInit(&v);
  if (A->get_accRole(ChildId(CHILDID_SELF), &v) != S_OK || v.vt != VT_I4) return -1;
  return v.lVal;
}

std::wstring ShortcutOf(IAccessible* A) {
  BSTR b = nullptr;
  if (A->get_accKeyboardShortcut(ChildId(CHILDID_SELF), &b) != S_OK || !b) return L"";
  std::wstring s(b, SysStringLen(b));
  SysFreeString(b);
  return s;
}

TEST(TfAccessibility, ToolbarObjectListsItsItems) {
  ASSERT_TRUE(AccessibilityAvailable());
  int before = TfAccObjectCount();
  {
    TestForm f;
    auto* paste = f.Edit->Items()->ChildAt(6);
    paste->SetCaption(L"&Paste");
    paste->SetShortCut(ShortCut(L'V', ssCtrl));
    paste->SetEnabled(false);
    PumpFor(50);
    Ref<IAccessible> bar(ClientObject(f.Edit->Handle()));
    ASSERT_TRUE(bar.P);
    EXPECT_EQ(RoleOf(bar.P), ROLE_SYSTEM_TOOLBAR);
    EXPECT_EQ(NameOf(bar.P), L"Edit");
    LONG count = 0;
    ASSERT_EQ(bar->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 7);
    const wchar_t* names[] = {L"New", L"Open", L"Save", L"", L"Cut", L"Copy", L"Paste"};
    for (LONG i = 1; i <= count; ++i) {
      Ref<IAccessible> c(ChildObject(bar.P, i));
      ASSERT_TRUE(c.P) << i;
      // On a toolbar the name is the caption alone, without the shortcut.
      EXPECT_EQ(NameOf(c.P), names[i - 1]) << i;
      EXPECT_EQ(RoleOf(c.P), i == 4 ? ROLE_SYSTEM_SEPARATOR : ROLE_SYSTEM_PUSHBUTTON) << i;
    }
    // Child 0 is the object itself; beyond the items or not a number: invalid.
    Ref<IAccessible> self(ChildObject(bar.P, 0));
    ASSERT_TRUE(self.P);
    EXPECT_EQ(RoleOf(self.P), ROLE_SYSTEM_TOOLBAR);
    IDispatch* d = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(bar->get_accChild(ChildId(count + 1), &d), E_INVALIDARG);
    EXPECT_EQ(d, nullptr);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"1");
    EXPECT_EQ(bar->get_accChild(text, &d), E_INVALIDARG);
    VariantClear(&text);
    // A disabled item has no default action and cannot be executed.
    Ref<IAccessible> pasteAcc(ChildObject(bar.P, 7));
    ASSERT_TRUE(pasteAcc.P);
    BSTR action = nullptr;
    EXPECT_EQ(pasteAcc->get_accDefaultAction(ChildId(CHILDID_SELF), &action), S_FALSE);
    EXPECT_EQ(action, nullptr);
    EXPECT_EQ(pasteAcc->accDoDefaultAction(ChildId(CHILDID_SELF)), E_FAIL);
    VARIANT state;
    VariantInit(&state);
    ASSERT_EQ(pasteAcc->get_accState(ChildId(CHILDID_SELF), &state), S_OK);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_UNAVAILABLE);
    // Location of an item lies inside the toolbar's window.
    LONG l = 0, t = 0, w = 0, h = 0;
    ASSERT_EQ(pasteAcc->accLocation(&l, &t, &w, &h, ChildId(CHILDID_SELF)), S_OK);
    RECT wr;
    GetWindowRect(f.Edit->Handle(), &wr);
    EXPECT_GE(l, wr.left);
    EXPECT_LE(l + w, wr.right);
    EXPECT_GT(w, 0);
    // Next from the separator is Cut.
    Ref<IAccessible> sep(ChildObject(bar.P, 4));
    VARIANT next;
    VariantInit(&next);
    ASSERT_EQ(sep->accNavigate(NAVDIR_NEXT, ChildId(CHILDID_SELF), &next), S_OK);
    ASSERT_EQ(next.vt, VT_DISPATCH);
    Ref<IAccessible> cut;
    next.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(cut.Out()));
    VariantClear(&next);
    ASSERT_TRUE(cut.P);
    EXPECT_EQ(NameOf(cut.P), L"Cut");
    // The default action of an enabled button presses it later, from the message loop.
    BSTR press = nullptr;
    ASSERT_EQ(cut->get_accDefaultAction(ChildId(CHILDID_SELF), &press), S_OK);
    EXPECT_EQ(std::wstring(press), L"Press");
    SysFreeString(press);
    {
      LoopGuard guard(f.Edit->Handle(), 20000);
      EXPECT_EQ(cut->accDoDefaultAction(ChildId(CHILDID_SELF)), S_OK);
      EXPECT_TRUE(f.Clicked.empty());
      PumpUntil([&] { return !f.Clicked.empty(); }, 5000);
      EXPECT_FALSE(LoopGuard::Fired());
    }
    ASSERT_EQ(f.Clicked.size(), 1u);
    EXPECT_EQ(f.Clicked[0], L"Cut");
    EXPECT_FALSE(f.Edit->View()->State() & vwTracking);
    // The toolbar goes while a client still holds its objects.
    delete f.Edit;
    f.Edit = nullptr;
    LONG n = 5;
    EXPECT_EQ(bar->get_accChildCount(&n), E_FAIL);
    EXPECT_EQ(n, 0);
    BSTR name = nullptr;
    EXPECT_EQ(bar->get_accName(ChildId(CHILDID_SELF), &name), E_FAIL);
    EXPECT_EQ(cut->get_accName(ChildId(CHILDID_SELF), &name), E_FAIL);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(cut->accDoDefaultAction(ChildId(CHILDID_SELF)), E_FAIL);
  }
  EXPECT_EQ(TfAccObjectCount(), before);
}

TEST(TfAccessibility, MenuBarAndOpenMenu) {
  ASSERT_TRUE(AccessibilityAvailable());
  TestForm f;
  Ref<IAccessible> bar(ClientObject(f.MenuBar->Handle()));
  ASSERT_TRUE(bar.P);
  EXPECT_EQ(RoleOf(bar.P), ROLE_SYSTEM_MENUBAR);
  std::wstring alt = AltKeyName();
  EXPECT_FALSE(alt.empty());
  EXPECT_EQ(ShortcutOf(bar.P), alt);
  LONG count = 0;
  ASSERT_EQ(bar->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  Ref<IAccessible> file(ChildObject(bar.P, 1));
  ASSERT_TRUE(file.P);
  EXPECT_EQ(NameOf(file.P), L"File");
  EXPECT_EQ(RoleOf(file.P), ROLE_SYSTEM_MENUITEM);
  EXPECT_EQ(ShortcutOf(file.P), alt + L"+f");
  VARIANT state;
  VariantInit(&state);
  ASSERT_EQ(file->get_accState(ChildId(CHILDID_SELF), &state), S_OK);
  EXPECT_TRUE(state.lVal & STATE_SYSTEM_HASPOPUP);
  // Inside the menu loop with File open: the item has the open menu as its child.
  struct Seen {
    LONG FileChildren = -1;
    LONG PopupRole = -1;
    std::wstring PopupName, OpenName, OpenShortcut, SaveName;
    bool Done = false;
  };
  static Seen seen;
  static IAccessible* fileAcc;
  static HWND barWnd;
  seen = Seen{};
  fileAcc = file.P;
  barWnd = f.MenuBar->Handle();
  UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR Id, DWORD) {
    if (seen.Done) return;
    LONG n = 0;
    fileAcc->get_accChildCount(&n);
    if (n != 1) return; // the menu is not open yet
    KillTimer(nullptr, Id);
    seen.Done = true;
    seen.FileChildren = n;
    if (IAccessible* popup = ChildObject(fileAcc, 1)) {
      seen.PopupRole = RoleOf(popup);
      seen.PopupName = NameOf(popup);
      if (IAccessible* open = ChildObject(popup, 1)) {
        seen.OpenName = NameOf(open);
        seen.OpenShortcut = ShortcutOf(open);
        open->Release();
      }
      if (IAccessible* save = ChildObject(popup, 3)) {
        seen.SaveName = NameOf(save);
        save->Release();
      }
      popup->Release();
    }
    PostMessageW(barWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(barWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  {
    LoopGuard guard(f.MenuBar->Handle(), 20000);
    f.MenuBar->Perform(WM_SYSCOMMAND, SC_KEYMENU, L'f');
    EXPECT_FALSE(LoopGuard::Fired());
  }
  KillTimer(nullptr, timer);
  EXPECT_TRUE(seen.Done);
  EXPECT_EQ(seen.FileChildren, 1);
  EXPECT_EQ(seen.PopupRole, ROLE_SYSTEM_MENUPOPUP);
  EXPECT_EQ(seen.PopupName, L"File");
  // In a menu: the caption without the ampersand, a tab and the shortcut.
  EXPECT_EQ(seen.OpenName, L"Open...\tCtrl+O");
  EXPECT_EQ(seen.OpenShortcut, L"o");
  EXPECT_EQ(seen.SaveName, L"Save");
  EXPECT_FALSE(f.MenuBar->View()->State() & vwTracking);
  LONG n = 5;
  EXPECT_EQ(file->get_accChildCount(&n), S_OK);
  EXPECT_EQ(n, 0);
}

} // namespace
