// Controls and forms on real windows: dispatch, notifications, keys, actions,
// exceptions, modal forms, timers and window hooks.
#include <gtest/gtest.h>

#include <memory>

#include "framework/ActnList.h"
#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "tests/support/Gui.h"

namespace {

constexpr UINT WM_TESTSTARTUP = WM_USER + 4;

// A focusable painted control that records what reaches it.
class TProbe : public TCustomControl {
public:
  explicit TProbe(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 80, 30);
  }
  int Startups = 0, Sizes = 0, Enters = 0, Leaves = 0, ParentColorChanges = 0,
      ParentEnabledChanges = 0, FontChanges = 0, Paints = 0;
  bool WantDialogKeys = false;
  TColor Fill = clYellow;

protected:
  void Dispatch(TMessage& m) override {
    switch (m.Msg) {
    case WM_TESTSTARTUP:
      ++Startups;
      m.Result = 44;
      return;
    case CM_PARENTCOLORCHANGED:
      ++ParentColorChanges;
      break;
    case CM_PARENTENABLEDCHANGED:
      ++ParentEnabledChanges;
      break;
    case CM_DIALOGKEY:
      if (WantDialogKeys && m.WParam == VK_RETURN) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
    }
    TCustomControl::Dispatch(m);
  }
  void WMSize(TMessage& m) override {
    ++Sizes;
    TCustomControl::WMSize(m);
  }
  void CMMouseEnter(TMessage& m) override {
    ++Enters;
    TCustomControl::CMMouseEnter(m);
  }
  void CMMouseLeave(TMessage& m) override {
    ++Leaves;
    TCustomControl::CMMouseLeave(m);
  }
  void CMFontChanged(TMessage& m) override {
    ++FontChanges;
    TCustomControl::CMFontChanged(m);
  }
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->TextOut(4, 4, Caption());
  }
};

// A windowless label painted by its parent.
class TTag : public TGraphicControl {
public:
  explicit TTag(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 60, 20); }
  int Paints = 0, Clicks = 0;

protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(clGreen);
    Canvas()->FillRect(ClientRect());
  }
};

// A system edit control under the framework's procedure.
class TTextBox : public TWinControl {
public:
  explicit TTextBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 120, 22);
    SetParentColor(false);
    SetColor(clWindow);
  }
  std::wstring WindowText() { return testsupport::WindowText(Handle()); }

protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    CreateSubClass(p, L"EDIT");
    p.Style |= ES_AUTOHSCROLL;
    p.ExStyle |= WS_EX_CLIENTEDGE;
  }
};

class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(L"Framework test");
    SetBounds(200, 150, 360, 220);
    Probe = new TProbe(this);
    Probe->SetParent(this);
    Probe->SetBounds(10, 10, 100, 40);
    Probe->SetCaption(L"Probe");
    Other = new TProbe(this);
    Other->SetParent(this);
    Other->SetBounds(120, 10, 100, 40);
    Other->Fill = clAqua;
    Tag = new TTag(this);
    Tag->SetParent(this);
    Tag->SetBounds(10, 60, 60, 20);
    Edit = new TTextBox(this);
    Edit->SetParent(this);
    Edit->SetBounds(10, 90, 200, 22);
  }
  TProbe* Probe;
  TProbe* Other;
  TTag* Tag;
  TTextBox* Edit;
};

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

void HoldControl(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  keys[VK_LCONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

} // namespace

TEST(Controls, MessagesReachHandlersThenDefault) {
  auto* form = new TTestForm(nullptr);
  form->Show();
  HWND h = form->Probe->Handle();
  EXPECT_EQ(SendMessageW(h, WM_TESTSTARTUP, 0, 0), 44);
  EXPECT_EQ(form->Probe->Startups, 1);
  // Unknown messages reach the window class's procedure.
  EXPECT_EQ(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0), 5);
  EXPECT_EQ(form->Probe->Perform(WM_TESTSTARTUP), 44);
  int sizes = form->Probe->Sizes;
  form->Probe->SetWidth(150);
  EXPECT_GT(form->Probe->Sizes, sizes);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, 150);
  delete form;
  EXPECT_FALSE(IsWindow(h));
}

TEST(Controls, ReplacedWindowProcSeesMessagesFirst) {
  auto* form = new TTestForm(nullptr);
  form->Show();
  int seen = 0;
  TWndMethod old = form->Probe->WindowProc;
  form->Probe->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_TESTSTARTUP) ++seen;
    old(m);
  };
  SendMessageW(form->Probe->Handle(), WM_TESTSTARTUP, 0, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(form->Probe->Startups, 1);
  form->Probe->WindowProc = old;
  SendMessageW(form->Probe->Handle(), WM_TESTSTARTUP, 0, 0);
  EXPECT_EQ(seen, 1);
  delete form;
}

TEST(Controls, ParentChangesReachChildren) {
  auto* form = new TTestForm(nullptr);
  form->Show();
  TProbe* p = form->Probe;
  int colors = p->ParentColorChanges;
  form->SetColor(clTeal);
  EXPECT_GT(p->ParentColorChanges, colors);
  EXPECT_EQ(p->Color(), clTeal);
  // A child with its own colour keeps it.
  form->Other->SetColor(clRed);
  form->SetColor(clNavy);
  EXPECT_EQ(form->Other->Color(), clRed);
  EXPECT_EQ(p->Color(), clNavy);
  int fonts = p->FontChanges;
  form->Font()->SetStyle(fsBold);
  EXPECT_GT(p->FontChanges, fonts);
  EXPECT_EQ(p->Font()->Style(), fsBold);
  EXPECT_TRUE(p->ParentFont());
  int enabled = p->ParentEnabledChanges;
  form->SetEnabled(false);
  EXPECT_GT(p->ParentEnabledChanges, enabled);
  EXPECT_FALSE(IsWindowEnabled(form->Handle()));
  form->SetEnabled(true);
  delete form;
}

TEST(Controls, MouseEnterAndLeaveFollowTheMouse) {
  auto* form = new TTestForm(nullptr);
  form->Show();
  TProbe* a = form->Probe;
  TProbe* b = form->Other;
  int enterTag = 0, leaveTag = 0;
  form->Tag->OnMouseEnter = [&](TObject*) { ++enterTag; };
  form->Tag->OnMouseLeave = [&](TObject*) { ++leaveTag; };
  SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, At(5, 5));
  EXPECT_EQ(a->Enters, 1);
  SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, At(6, 6));
  EXPECT_EQ(a->Enters, 1);
  SendMessageW(b->Handle(), WM_MOUSEMOVE, 0, At(5, 5));
  EXPECT_EQ(a->Leaves, 1);
  EXPECT_EQ(b->Enters, 1);
  // The windowless child is found by its parent.
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, At(15, 65));
  EXPECT_EQ(b->Leaves, 1);
  EXPECT_EQ(enterTag, 1);
  EXPECT_EQ(MouseControl(), form->Tag);
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, At(300, 150));
  EXPECT_EQ(leaveTag, 1);
  EXPECT_EQ(MouseControl(), form);
  delete form;
}

TEST(Controls, WindowHooksComeOffInEitherOrder) {
  for (int order = 0; order < 2; ++order) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    HWND h = form->Probe->Handle();
    std::vector<int> trail;
    TWindowSubclass first, second;
    ASSERT_TRUE(first.Hook(h, [&](TMessage& m) {
      if (m.Msg != WM_TESTSTARTUP) return false;
      trail.push_back(1);
      first.CallPrevious(m);
      return true;
    }));
    ASSERT_TRUE(second.Hook(h, [&](TMessage& m) {
      if (m.Msg != WM_TESTSTARTUP) return false;
      trail.push_back(2);
      return false;
    }));
    EXPECT_EQ(SendMessageW(h, WM_TESTSTARTUP, 0, 0), 44);
    EXPECT_EQ(trail, (std::vector<int>{2, 1}));
    trail.clear();
    if (order == 0) {
      first.Release();
      EXPECT_EQ(SendMessageW(h, WM_TESTSTARTUP, 0, 0), 44);
      EXPECT_EQ(trail, (std::vector<int>{2}));
      second.Release();
    } else {
      second.Release();
      EXPECT_EQ(SendMessageW(h, WM_TESTSTARTUP, 0, 0), 44);
      EXPECT_EQ(trail, (std::vector<int>{1}));
      first.Release();
    }
    trail.clear();
    EXPECT_EQ(SendMessageW(h, WM_TESTSTARTUP, 0, 0), 44);
    EXPECT_TRUE(trail.empty());
    EXPECT_EQ(form->Probe->Startups, 3);
    delete form;
  }
}

TEST(Actions, ShortcutRunsFirstActionInListOrder) {
  auto* form = new TTestForm(nullptr);
  auto* list = new TActionList(form);
  auto* a1 = new TAction(list);
  auto* a2 = new TAction(list);
  int run1 = 0, run2 = 0;
  a1->SetShortCut(ShortCut(VK_F2, ssCtrl));
  a2->SetShortCut(TextToShortCut(L"Ctrl+F2"));
  a1->OnExecute = [&](TObject*) { ++run1; };
  a2->OnExecute = [&](TObject*) { ++run2; };
  form->Show();
  HoldControl(true);
  testsupport::KeyPress(form->Probe->Handle(), VK_F2);
  HoldControl(false);
  EXPECT_EQ(run1, 1);
  EXPECT_EQ(run2, 0);
  // Moved to the front, the second wins.
  a2->SetIndex(0);
  HoldControl(true);
  testsupport::KeyPress(form->Probe->Handle(), VK_F2);
  HoldControl(false);
  EXPECT_EQ(run1, 1);
  EXPECT_EQ(run2, 1);
  // Without Ctrl nothing runs and the control gets the key.
  WORD seen = 0;
  form->Probe->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { seen = k; };
  testsupport::KeyPress(form->Probe->Handle(), VK_F2);
  EXPECT_EQ(seen, VK_F2);
  EXPECT_EQ(run1 + run2, 2);
  delete form;
}

TEST(Actions, UpdateOnIdleAndLinkedControlsFollow) {
  auto* form = new TTestForm(nullptr);
  auto* list = new TActionList(form);
  auto* act = new TAction(list);
  form->AfterConstruction();
  act->SetCaption(L"Play");
  form->Probe->SetAction(act);
  EXPECT_EQ(form->Probe->Caption(), L"Play");
  std::vector<TBasicAction*> updated;
  list->OnUpdate = [&](TBasicAction* a, bool& handled) {
    updated.push_back(a);
    static_cast<TAction*>(a)->SetEnabled(false);
    handled = true;
  };
  UpdateAllActionLists();
  ASSERT_EQ(updated.size(), 1u);
  EXPECT_EQ(updated[0], act);
  EXPECT_FALSE(form->Probe->Enabled());
  act->SetCaption(L"Stop");
  EXPECT_EQ(form->Probe->Caption(), L"Stop");
  // A menu item follows too, and its shortcut text reads back.
  auto* menu = new TPopupMenu(form);
  auto* item = new TMenuItem(menu);
  menu->Items()->Add(item);
  act->SetShortCut(TextToShortCut(L"Ctrl+F2"));
  item->SetAction(act);
  EXPECT_EQ(item->Caption(), L"Stop");
  EXPECT_FALSE(item->Enabled());
  EXPECT_EQ(ShortCutToText(item->ShortCut()), L"Ctrl+F2");
  delete act;
  EXPECT_EQ(form->Probe->Action(), nullptr);
  EXPECT_EQ(item->Action(), nullptr);
  delete form;
}

TEST(ShortCuts, TextRoundTrip) {
  struct Case {
    TShortCut sc;
    const wchar_t* text;
  } cases[] = {{VK_F2, L"F2"},
               {scCtrl | VK_F2, L"Ctrl+F2"},
               {scCtrl | 'N', L"Ctrl+N"},
               {scShift | scCtrl | 'Z', L"Shift+Ctrl+Z"},
               {scAlt | VK_F4, L"Alt+F4"},
               {VK_DELETE, L"Del"},
               {scCtrl | VK_HOME, L"Ctrl+Home"},
               {VK_SPACE, L"Space"},
               {VK_RETURN, L"Enter"}};
  for (auto& c : cases) {
    EXPECT_EQ(ShortCutToText(c.sc), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.sc) << std::string(c.text, c.text + wcslen(c.text));
  }
  EXPECT_EQ(TextToShortCut(L"ctrl+f2"), scCtrl | VK_F2);
  EXPECT_EQ(TextToShortCut(L"Nonsense"), 0);
  EXPECT_TRUE(IsAccel('F', L"&File"));
  EXPECT_FALSE(IsAccel('I', L"&File"));
}

TEST(Application, ExceptionInClickIsShownAndLoopGoesOn) {
  Application->SetTitle(L"Framework Bench");
  auto* form = new TTestForm(nullptr);
  form->Probe->OnClick = [](TObject*) {
    throw EConvertError(L"'abc' is not a valid integer value");
  };
  form->Show();
  testsupport::ModalAnswerer answer(L"Framework Bench", IDOK);
  testsupport::ClickCenter(form->Probe->Handle());
  EXPECT_TRUE(answer.Wait());
  EXPECT_EQ(answer.SeenCaption(), L"Framework Bench");
  EXPECT_NE(answer.SeenText().find(L"'abc' is not a valid integer value"), std::wstring::npos);
  // The window still works.
  EXPECT_EQ(SendMessageW(form->Probe->Handle(), WM_TESTSTARTUP, 0, 0), 44);
  int ticks = 0;
  TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.OnTimer = [&](TObject*) { ++ticks; };
  while (ticks < 2)
    Application->HandleMessage();
  EXPECT_GE(ticks, 2);
  delete form;
}

TEST(Application, TimerFiresAndStops) {
  int ticks = 0;
  auto* timer = new TTimer(nullptr);
  timer->SetInterval(15);
  timer->OnTimer = [&](TObject* s) {
    ++ticks;
    if (ticks == 3) static_cast<TTimer*>(s)->SetEnabled(false);
  };
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ticks >= 3; }, 3000));
  testsupport::PumpFor(100);
  EXPECT_EQ(ticks, 3);
  delete timer;
}

TEST(Forms, ShowModalReturnsModalResult) {
  auto* owner = new TTestForm(nullptr);
  owner->Show();
  auto* dialog = new TTestForm(owner);
  dialog->SetBorderStyle(bsDialog);
  dialog->SetCaption(L"Modal test");
  int shows = 0, closes = 0;
  dialog->OnShow = [&](TObject*) { ++shows; };
  dialog->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  dialog->Probe->OnClick = [&](TObject*) { dialog->SetModalResult(mrOk); };
  TTimer timer(nullptr);
  timer.SetInterval(30);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(owner->Handle()));
    testsupport::ClickCenter(dialog->Probe->Handle());
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  // Closing a modal form answers mrCancel.
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
  };
  timer.SetEnabled(true);
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  delete owner; // frees the dialog it owns
}

TEST(Forms, BuiltFormWorksWithClicksAndKeys) {
  auto* form = new TTestForm(nullptr);
  form->SetKeyPreview(true);
  std::vector<WORD> previewed;
  form->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { previewed.push_back(k); };
  int clicks = 0, tagClicks = 0;
  form->Probe->OnClick = [&](TObject*) { ++clicks; };
  form->Tag->OnClick = [&](TObject*) { ++tagClicks; };
  form->Other->WantDialogKeys = true;
  int otherClicks = 0;
  form->Other->OnClick = [&](TObject*) { ++otherClicks; };
  form->AfterConstruction();
  form->Show();
  testsupport::ForceForeground(form->Handle());
  testsupport::PumpUntil([&] { return form->Probe->Paints > 0 && form->Tag->Paints > 0; });
  EXPECT_GT(form->Tag->Paints, 0);

  // Clicks: the painted control and the windowless one (through its parent).
  testsupport::ClickCenter(form->Probe->Handle());
  EXPECT_EQ(clicks, 1);
  testsupport::Click(form->Handle(), 20, 70);
  EXPECT_EQ(tagClicks, 1);

  // Focus and tab order: Probe, Other, Edit.
  form->Probe->SetFocus();
  EXPECT_TRUE(form->Probe->Focused());
  EXPECT_EQ(form->ActiveControl(), form->Probe);
  testsupport::KeyPress(form->Probe->Handle(), VK_TAB);
  EXPECT_TRUE(form->Other->Focused());
  EXPECT_EQ(form->ActiveControl(), form->Other);
  // Enter goes round the controls as a dialog key; Other takes it.
  testsupport::KeyPress(form->Other->Handle(), VK_RETURN);
  EXPECT_EQ(otherClicks, 1);
  testsupport::KeyPress(form->Other->Handle(), VK_TAB);
  EXPECT_TRUE(form->Edit->Focused());
  testsupport::TypeText(form->Edit->Handle(), L"hello");
  EXPECT_EQ(form->Edit->WindowText(), L"hello");
  testsupport::KeyPress(form->Edit->Handle(), VK_END);
  EXPECT_NE(std::find(previewed.begin(), previewed.end(), VK_END), previewed.end());
  testsupport::PumpFor(100);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"framework-form"));

  // Aligned and anchored children follow the form.
  form->Other->SetAnchors(akTop | akRight);
  int right = form->ClientWidth() - form->Other->Left();
  auto* bar = new TProbe(form);
  bar->SetParent(form);
  bar->SetHeight(25);
  bar->SetAlign(alBottom);
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  EXPECT_EQ(bar->Width(), form->ClientWidth());
  form->SetWidth(form->Width() + 40);
  EXPECT_EQ(bar->Width(), form->ClientWidth());
  EXPECT_EQ(form->ClientWidth() - form->Other->Left(), right);
  delete form;
}

TEST(Screen, CursorTableAndForms) {
  HCURSOR mine = LoadCursorW(nullptr, IDC_CROSS);
  Screen->SetCursors(14000, mine);
  EXPECT_EQ(Screen->Cursors(14000), mine);
  Screen->SetCursors(14000, nullptr);
  EXPECT_EQ(Screen->Cursors(14000), LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(Screen->Cursors(crHandPoint), LoadCursorW(nullptr, IDC_HAND));
  int before = Screen->FormCount();
  auto* a = new TTestForm(nullptr);
  auto* b = new TTestForm(nullptr);
  a->Show();
  b->Show();
  EXPECT_EQ(Screen->FormCount(), before + 2);
  EXPECT_EQ(Screen->Forms(0), b);
  delete a;
  delete b;
  EXPECT_EQ(Screen->FormCount(), before);
  EXPECT_GT(Screen->Width(), 0);
}

namespace {
const wchar_t* const kForeignCaption = L"KORVANE_FOREIGN_FORM";
} // namespace

// Run on its own by the test below: shows a form until it is closed.
TEST(ForeignWindow, ChildShowsAForm) {
  wchar_t caption[128] = {};
  if (!GetEnvironmentVariableW(kForeignCaption, caption, 128))
    GTEST_SKIP() << "runs as a child process";
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetCaption(caption);
  form->Show();
  testsupport::PumpUntil([&] { return !form->Visible(); }, 60000);
}

// A window of another program on the same library carries the same mark;
// its pointer is never taken for a control of this one.
TEST(ForeignWindow, IsNotTakenForAControl) {
  std::wstring caption = L"Foreign " + std::to_wstring(GetCurrentProcessId());
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      testsupport::StartSelf(L"ForeignWindow.ChildShowsAForm", kForeignCaption, caption, pi));
  HWND wnd = nullptr;
  bool found = testsupport::PumpUntil(
      [&] { return (wnd = FindWindowW(nullptr, caption.c_str())) != nullptr; }, 60000);
  if (found) {
    EXPECT_NE(GetPropW(wnd, L"KorvaneControl"), nullptr);
    EXPECT_EQ(FindControl(wnd), nullptr);
    // The pointer under a foreign window is not followed either.
    RECT r;
    GetWindowRect(wnd, &r);
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    UpdateMouseControl();
    EXPECT_EQ(MouseControl(), nullptr);
    PostMessageW(wnd, WM_CLOSE, 0, 0);
  }
  DWORD wait = WaitForSingleObject(pi.hProcess, 60000);
  if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_TRUE(found);
  EXPECT_EQ(wait, WAIT_OBJECT_0);
}
