#include <gtest/gtest.h>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "lookandfeel/lfContainer.h"
#include "lookandfeel/lxThemeManager.h"
#include "lookandfeel/lxUxTheme.h"
#include "tests/support/Gui.h"

namespace {

class ContainerStyles : public testing::Test {
protected:
  void SetUp() override {
    lxUxThemeInitialize();
    lxThemeManagerInitialize();
    lfLookAndFeelsInitialize();
  }
  void TearDown() override {
    lfLookAndFeelsFinalize();
    lxThemeManagerFinalize();
    lxUxThemeFinalize();
  }
};

} // namespace

TEST_F(ContainerStyles, StateBorderStyleTable) {
  const TlfContainerBorderStyle hot[7] = {cbsFlat, cbsThick,     cbsThick,   cbs3D,
                                          cbs3D,   cbsUltraFlat, cbsOffice11};
  TComponent owner(nullptr);
  TlfContainerStyles styles(nullptr, [](TPersistent* o, int s, TlfContainerStyle* p, bool d) {
    return new TlfContainerStyle(o, s, p, d);
  });
  TlfContainerStyle* normal = styles.Style(csNormalState);
  for (int b = cbsNone; b <= cbsOffice11; ++b) {
    normal->SetBorderStyle(static_cast<TlfContainerBorderStyle>(b));
    normal->SetHotTrack(true);
    EXPECT_EQ(styles.Style(csHotState)->BorderStyle(), hot[b]) << b;
    EXPECT_EQ(styles.Style(csFocusedState)->BorderStyle(), hot[b]) << b;
    EXPECT_EQ(styles.Style(csDisabledState)->BorderStyle(), b);
    normal->SetHotTrack(false);
    EXPECT_EQ(styles.Style(csHotState)->BorderStyle(), b) << b;
  }
}

TEST_F(ContainerStyles, DefaultsFallBackAlongTheChain) {
  TlfContainerStyles styles(nullptr, [](TPersistent* o, int s, TlfContainerStyle* p, bool d) {
    return new TlfContainerStyle(o, s, p, d);
  });
  TlfContainerStyle* normal = styles.Style(0);
  TlfContainerStyle* hot = styles.Style(1);
  TlfContainerStyle* disabled = styles.Style(2);
  EXPECT_EQ(normal->BorderStyle(), cbsUltraFlat); // from the root's kind
  normal->LookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(normal->BorderStyle(), cbs3D);
  EXPECT_EQ(normal->BorderColor(), clWindowFrame);
  EXPECT_EQ(disabled->BorderColor(), clBtnShadow);
  EXPECT_EQ(disabled->TextColor(), clBtnShadow);
  normal->SetBorderColor(clRed);
  EXPECT_EQ(hot->BorderColor(), clRed);
  EXPECT_EQ(normal->Color(), clBtnFace); // not a container
  EXPECT_EQ(normal->Edges(), lfAllBorders);
  hot->SetEdges(bLeft); // goes to the normal style
  EXPECT_EQ(normal->Edges(), bLeft);
  EXPECT_EQ(normal->AssignedValues(), StyleValueBit(svBorderColor) | StyleValueBit(svEdges));
  EXPECT_EQ(hot->AssignedValues(), 0u);
  EXPECT_TRUE(hot->HotTrack());
  EXPECT_FALSE(hot->Shadow());
  EXPECT_TRUE(hot->TransparentBorder());
  EXPECT_EQ(hot->Font(), normal->Font());
}

TEST_F(ContainerStyles, ValuesChangedOncePerUpdate) {
  TlfContainerStyle style(nullptr, 0, nullptr, false);
  int changes = 0;
  style.OnValuesChanged = [&](TObject*) { ++changes; };
  style.SetColor(clRed);
  EXPECT_EQ(changes, 1);
  style.SetColor(clRed); // assigned and equal: nothing
  EXPECT_EQ(changes, 1);
  style.BeginStyleUpdate();
  style.SetColor(clBlue);
  style.SetTextColor(clGreen);
  style.Font()->SetSize(12); // marks Font assigned
  EXPECT_EQ(changes, 1);
  style.EndStyleUpdate();
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(style.AssignedValues() & StyleValueBit(svFont));
  style.LookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(changes, 3);
}

TEST_F(ContainerStyles, ControllerSharesValuesAndRefusesCycles) {
  auto* c1 = new TlfStyleController(nullptr);
  auto* c2 = new TlfStyleController(nullptr);
  TlfContainerStyles styles(nullptr, [](TPersistent* o, int s, TlfContainerStyle* p, bool d) {
    return new TlfContainerStyle(o, s, p, d);
  });
  TlfContainerStyle* normal = styles.Style(0);
  normal->SetStyleController(c1);
  EXPECT_EQ(normal->StyleController(), c1);
  EXPECT_EQ(c1->ListenerCount(), 1);
  c1->Style()->SetBorderColor(clNavy);
  c1->StateStyle(2)->SetColor(clYellow);
  EXPECT_EQ(normal->BorderColor(), clNavy);
  EXPECT_EQ(styles.Style(2)->Color(), clYellow);
  EXPECT_TRUE(normal->ValueAssigned(svBorderColor));
  EXPECT_FALSE(normal->ValueAssigned(svShadow));
  // c2 follows c1; c1 following c2 would be a cycle.
  c2->Style()->SetStyleController(c1);
  c1->Style()->SetStyleController(c2);
  EXPECT_EQ(c1->Style()->StyleController(), nullptr);
  EXPECT_EQ(c2->FakeStyleController(), c1);
  delete c1; // styles fall back to the default (none)
  EXPECT_EQ(normal->StyleController(), nullptr);
  EXPECT_EQ(c2->Style()->StyleController(), nullptr);
  EXPECT_EQ(normal->BorderColor(), clWindowFrame);
  delete c2;
}

TEST_F(ContainerStyles, NamesAndPublishing) {
  TlfContainerStyle normal(nullptr, 0, nullptr, false);
  TlfContainerStyle hot(nullptr, 1, &normal, false);
  int index = -1;
  EXPECT_TRUE(TlfContainerStyle::FindStyleValue(L"textcolor", index));
  EXPECT_EQ(index, 7);
  EXPECT_FALSE(TlfContainerStyle::FindStyleValue(L"Caption", index));
  std::wstring name;
  EXPECT_TRUE(normal.ValueName(9, name));
  EXPECT_EQ(name, L"TransparentBorder");
  EXPECT_FALSE(normal.ValueName(10, name));
  EXPECT_EQ(name, L"");
  EXPECT_EQ(normal.ValueCount(), 10);
  EXPECT_FALSE(hot.IsStatePropertyPublished(L"LookAndFeel"));
  EXPECT_FALSE(hot.IsStatePropertyPublished(L"StyleController"));
  EXPECT_FALSE(hot.IsStatePropertyPublished(L"Edges"));
  EXPECT_FALSE(hot.IsStatePropertyPublished(L"Font"));
  EXPECT_TRUE(hot.IsStatePropertyPublished(L"BorderColor"));
  EXPECT_TRUE(hot.IsStatePropertyPublished(L"Caption"));
  EXPECT_TRUE(lfIsSkinSupported(&normal));
  EXPECT_FALSE(lfIsSkinSupported(GetRootLookAndFeel()));
}

namespace {

struct TestPopup : IlfPopupWindow {
  HWND wnd = nullptr;
  TWinControl* owner = nullptr;
  bool stayOpen = false; // a popup whose close leaves it in the list
  int closes = 0, counter = 0;
  HWND PopupHandle() const override { return wnd; }
  bool IsPopupDestroying() const override { return false; }
  TWinControl* OwnerControl() const override { return owner; }
  bool PopupFlag(int) const override { return false; }
  int& ClosingCounter() override { return counter; }
  void SetClosedByOwner(bool) override {}
  bool CloseQuery() override { return true; }
  void ClosePopup() override {
    ++closes;
    if (!stayOpen) lfRemoveOpenPopup(this);
  }
  bool AcceptsSysKey(WORD) override { return true; }
  bool handles = true;
  bool HandlesClick(HWND, UINT, POINT, TShiftState) override { return handles; }
  TRect OwnerDropDownArea() const override { return TRect(); }
};

} // namespace

TEST(lfContainerHooks, InstalledAndRemovedInReverse) {
  lfContainerInitialize();
  EXPECT_NE(lfContainerHook(WH_CALLWNDPROC), nullptr);
  EXPECT_NE(lfContainerHook(WH_GETMESSAGE), nullptr);
  EXPECT_NE(lfContainerHook(WH_MOUSE), nullptr);
  EXPECT_EQ(lfMapWindowOwner(GetDesktopWindow()), GetDesktopWindow());
  EXPECT_EQ(ClassGroupOf(L"TlfStyleController"), L"TControl");
  lfContainerFinalize();
  EXPECT_EQ(lfContainerHook(WH_CALLWNDPROC), nullptr);
  EXPECT_EQ(lfContainerHook(WH_MOUSE), nullptr);
  EXPECT_EQ(lfMapWindowOwner(GetDesktopWindow()), GetDesktopWindow());
}

TEST(lfContainerHooks, PopupThatStaysOpenEndsTheScan) {
  lfContainerInitialize();
  TForm* form = new TForm(nullptr);
  form->SetBounds(10, 10, 200, 100);
  form->Show();
  TestPopup a, b;
  a.owner = b.owner = form;
  a.stayOpen = b.stayOpen = true;
  a.wnd = AllocateHWnd(nullptr);
  b.wnd = AllocateHWnd(nullptr);
  lfAddOpenPopup(&a);
  lfAddOpenPopup(&b);
  // The application losing activation closes each popup once.
  SendMessageW(form->Handle(), WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(a.closes, 1);
  EXPECT_EQ(b.closes, 1);
  lfRemoveOpenPopup(&a);
  lfRemoveOpenPopup(&b);
  DeallocateHWnd(a.wnd);
  DeallocateHWnd(b.wnd);
  delete form;
  lfContainerFinalize();
}

TEST(lfContainerHooks, MessageLockPerWindow) {
  TForm* f1 = new TForm(nullptr);
  TForm* f2 = new TForm(nullptr);
  HWND h1 = f1->Handle(), h2 = f2->Handle();
  auto p1 = GetWindowLongPtrW(h1, GWLP_WNDPROC), p2 = GetWindowLongPtrW(h2, GWLP_WNDPROC);
  LockWindowMessage(h1);
  LockWindowMessage(h2);
  EXPECT_TRUE(IsWindowMessageLocked(h1));
  EXPECT_TRUE(IsWindowMessageLocked(h2));
  EXPECT_EQ(SendMessageW(h2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")), 1);
  EXPECT_EQ(GetWindowLongPtrW(h2, GWLP_WNDPROC), p2);
  EXPECT_EQ(testsupport::WindowText(h2), L""); // the locked message was not handled
  EXPECT_EQ(SendMessageW(h1, WM_NULL, 0, 0), 1);
  EXPECT_EQ(GetWindowLongPtrW(h1, GWLP_WNDPROC), p1);
  EXPECT_FALSE(IsWindowMessageLocked(h1));
  delete f1;
  delete f2;
}

namespace {

// A real click (through the input queue, so that mouse hooks see it).
void RealClick(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  testsupport::PumpFor(50);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

} // namespace

TEST(lfContainerClicks, PassWithNoPopupOpen) {
  lfContainerInitialize();
  TForm* form = new TForm(nullptr);
  form->SetBounds(50, 50, 200, 120);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 80, 25);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  testsupport::ForceForeground(form->Handle());
  RealClick(button->Handle());
  testsupport::PumpUntil([&] { return clicks == 1; }, 3000);
  EXPECT_EQ(clicks, 1);
  delete form;
  lfContainerFinalize();
}

TEST(lfContainerClicks, OutsideClosesThePopup) {
  lfContainerInitialize();
  TForm* form = new TForm(nullptr);
  form->SetBounds(50, 50, 240, 120);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 80, 25);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(100, 10, 80, 25);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  testsupport::ForceForeground(form->Handle());
  for (bool handles : {true, false}) {
    TestPopup popup;
    popup.owner = edit;
    popup.wnd = AllocateHWnd(nullptr);
    popup.handles = handles;
    lfAddOpenPopup(&popup);
    RealClick(button->Handle());
    testsupport::PumpUntil([&] { return popup.closes > 0 && (handles || clicks > 0); }, 3000);
    testsupport::PumpFor(100);
    EXPECT_EQ(popup.closes, 1) << handles;
    EXPECT_EQ(lfOpenPopupCount(), 0);
    // A popup that takes the click swallows it; otherwise it reaches the button.
    EXPECT_EQ(clicks, handles ? 0 : 1) << handles;
    DeallocateHWnd(popup.wnd);
  }
  delete form;
  lfContainerFinalize();
}
