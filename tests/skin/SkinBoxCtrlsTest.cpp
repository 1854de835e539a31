// Skinned edits: the context menu's items for each edit state, its commands
// through the skinned menu, Enter and Escape, and the number edit's filter.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Forms.h"
#include "skin/SkinBoxCtrls.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using namespace skintest;
using testsupport::PumpMessages;

void SetClipboardText(const wchar_t* Text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  if (Text) {
    size_t n = (wcslen(Text) + 1) * sizeof(wchar_t);
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, n);
    memcpy(GlobalLock(g), Text, n);
    GlobalUnlock(g);
    SetClipboardData(CF_UNICODETEXT, g);
  }
  CloseClipboard();
}

TEST(SkinEdit, ClipboardHoldsText) {
  SetClipboardText(nullptr);
  EXPECT_FALSE(ClipboardHasText());
  SetClipboardText(L"");
  EXPECT_FALSE(ClipboardHasText());
  SetClipboardText(L"12");
  EXPECT_TRUE(ClipboardHasText());
}

TEST(SkinEdit, ContextMenuEnablingTable) {
  TForm form(nullptr);
  form.SetBounds(50, 50, 300, 120);
  auto* e = new TskCustomEdit(&form);
  e->SetParent(&form);
  e->SetBounds(10, 10, 200, 22);
  form.Show();
  struct Case {
    const wchar_t* text;
    int selStart, selLen;
    const wchar_t* clip;
    // Undo, -, Cut, Copy, Paste, Delete, -, Select All
    const char* enabled;
  } cases[] = {
      {L"hello", 0, 5, nullptr, "01110110"},
      {L"hello", 1, 2, L"x", "01111111"},
      {L"", 0, 0, nullptr, "01000010"},
      {L"hello", 5, 0, L"", "01000011"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enabled);
    SetClipboardText(c.clip);
    e->SetText(c.text);
    SendMessageW(e->Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
    e->SetSelStart(c.selStart);
    e->SetSelLength(c.selLen);
    TskSkinPopupMenu* m = e->BuildContextMenu();
    ASSERT_EQ(m->Items()->Count(), 8);
    std::string got;
    for (int i = 0; i < 8; ++i)
      got += m->Items()->Items(i)->Enabled() ? '1' : '0';
    EXPECT_EQ(got, c.enabled);
    EXPECT_EQ(m->Items()->Items(7)->Caption(), L"Select All");
    EXPECT_TRUE(m->Items()->Items(1)->IsLine());
  }
  // After typing, Undo is enabled.
  e->SetText(L"ab");
  e->SetSelStart(2);
  SendMessageW(e->Handle(), WM_CHAR, L'c', 0);
  EXPECT_EQ(e->Text(), L"abc");
  EXPECT_TRUE(e->BuildContextMenu()->Items()->Items(0)->Enabled());
}

TEST(SkinEdit, MenuKeyOpensAtTheCentreAndTheCommandRuns) {
  auto skin = MakeSkin(kBuiltin);
  THostForm form(skin.get());
  auto* e = new TskCustomEdit(&form);
  e->SetParent(&form);
  e->SetBounds(20, 30, 160, 22);
  form.Show();
  e->SetText(L"take");
  e->SetSelStart(1);
  e->SetSelLength(0);
  SendMessageW(e->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(e->Handle()),
               MAKELPARAM(-1, -1));
  ASSERT_NE(e->ContextMenu(), nullptr);
  TPoint c = e->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(e->ContextMenu()->PopupPoint, TPoint(c.X + 80, c.Y + 11));
  TskSkinMenu* sm = form.SkinMenu();
  ASSERT_TRUE(sm->Visible());
  // Up from the first enabled item wraps to Select All; Enter runs it.
  sm->HandleMenuKey(VK_UP);
  sm->HandleMenuKey(VK_RETURN);
  EXPECT_FALSE(sm->Visible());
  EXPECT_EQ(e->SelLength(), 4);
  // The menu goes once the command has returned, not while its dispatch
  // still runs through it.
  EXPECT_NE(e->ContextMenu(), nullptr);
  PumpMessages();
  EXPECT_EQ(e->ContextMenu(), nullptr);
  // Closing without a command keeps it until the next request.
  SendMessageW(e->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
  sm->HandleMenuKey(VK_ESCAPE);
  PumpMessages();
  EXPECT_NE(e->ContextMenu(), nullptr);
}

TEST(SkinEdit, EnterAndEscapeGoToTheFormNotTheText) {
  class TDialogForm : public TForm {
  public:
    using TForm::TForm;
    int DialogKeys = 0;
    void WndProc(TMessage& m) override {
      if (m.Msg == CM_DIALOGKEY) ++DialogKeys;
      TForm::WndProc(m);
    }
  } form(nullptr);
  auto* e = new TskCustomEdit(&form);
  e->SetParent(&form);
  e->SetBounds(10, 10, 100, 22);
  std::wstring keys;
  e->OnKeyPress = [&](TObject*, wchar_t& k) {
    keys += k;
    k = L'x';
  };
  form.Show();
  e->SetText(L"ab");
  SendMessageW(e->Handle(), WM_CHAR, 13, 0);
  SendMessageW(e->Handle(), WM_CHAR, 27, 0);
  EXPECT_EQ(e->Text(), L"ab");
  EXPECT_EQ(keys, std::wstring(L"\r\x1b"));
  EXPECT_EQ(form.DialogKeys, 2);
  EXPECT_EQ(GetWindowLongW(e->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST(SkinNumEdit, KeyFilterTable) {
  TForm form(nullptr);
  auto* e = new TskSkinNumEdit(&form);
  e->SetParent(&form);
  e->SetBounds(10, 10, 100, 22);
  form.Show();
  struct Case {
    const wchar_t* text;
    wchar_t c;
    bool typing, decimal, accepted;
  } cases[] = {
      {L"", L'5', true, false, true},    {L"", L'a', true, false, false},
      {L"", L'-', true, false, true},    {L"-1", L'-', true, false, false},
      {L"1", 13, true, false, false},    {L"1", 8, true, false, true},
      {L"1", 8, false, false, false},    {L"1", L'3', false, false, false},
      {L"1", 3, false, false, true},     {L"1", L'.', true, true, true},
      {L"1.5", L'.', true, true, false}, {L"1", L'.', true, false, false},
  };
  for (auto& c : cases) {
    e->TypingAllowed = c.typing;
    e->AllowDecimal = c.decimal;
    e->SetText(c.text);
    EXPECT_EQ(e->CharAccepted(c.c), c.accepted) << c.text << " " << int(c.c);
  }
  // Typed: a second "-" and a letter are dropped.
  e->TypingAllowed = true;
  e->AllowDecimal = false;
  e->SetText(L"");
  for (wchar_t ch : std::wstring(L"-1-a2"))
    SendMessageW(e->Handle(), WM_CHAR, ch, 0);
  EXPECT_EQ(e->Text(), L"-12");
  // Up, Down and the wheel are reported, not typed.
  int up = 0, down = 0;
  e->UpNotify = [&](TObject*) { ++up; };
  e->DownNotify = [&](TObject*) { ++down; };
  e->Perform(WM_KEYDOWN, VK_UP, 0);
  e->Perform(WM_KEYDOWN, VK_DOWN, 0);
  e->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  e->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(up, 2);
  EXPECT_EQ(down, 2);
}

} // namespace
