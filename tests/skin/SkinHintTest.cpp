// Skinned hints: line breaks, the application's show-hint handler, and the
// hint of a skinned button with real mouse input in both looks.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Forms.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinHint.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using namespace skintest;
using testsupport::PumpFor;
using testsupport::PumpUntil;

TEST(SkinHint, SeparatorsBecomeLineBreaks) {
  struct Case {
    std::wstring text, sep, want;
  } cases[] = {
      {L"Record@Start", L"@", L"Record\r\nStart"},
      {L"a@@b", L"@", L"a\r\n\r\nb"},
      {L"one||two", L"||", L"one\r\ntwo"},
      {L"plain", L"@", L"plain"},
      {L"a@b", L"", L"a@b"},
  };
  for (auto& c : cases)
    EXPECT_EQ(TskSkinHintWindow::SplitLines(c.text, c.sep), c.want) << c.text.c_str();
}

TEST(SkinHint, GivesTheShowHintHandlerBack) {
  int calls = 0;
  Application->OnShowHint = [&](std::wstring&, bool&, THintInfo&) { ++calls; };
  auto run = [] {
    std::wstring s = L"x";
    bool can = true;
    THintInfo info;
    if (Application->OnShowHint) Application->OnShowHint(s, can, info);
  };
  {
    TskSkinHint hint(nullptr);
    EXPECT_EQ(Application->HintShortPause(), 100);
    int own = 0;
    hint.OnShowHint = [&](std::wstring&, bool&, THintInfo&) { ++own; };
    run();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(calls, 0);
    hint.SetActive(false);
    run();
    EXPECT_EQ(calls, 1);
    hint.SetActive(true);
    run();
    EXPECT_EQ(own, 2);
    EXPECT_EQ(calls, 1);
  }
  run();
  EXPECT_EQ(calls, 2);
  Application->OnShowHint = nullptr;
}

TEST(SkinHint, PictureIndexOutOfRangeGivesTheDefaultLook) {
  auto skin = MakeSkin(kBuiltin);
  TskSkinHint hint(nullptr);
  hint.SetSkinData(skin.get());
  EXPECT_EQ(hint.UsableSkin(), skin.get());
  skin->HintWindow.WindowPictureIndex = 999;
  EXPECT_EQ(hint.UsableSkin(), nullptr);
  skin->HintWindow.WindowPictureIndex = -1;
  EXPECT_EQ(hint.UsableSkin(), nullptr);
  hint.SetSkinData(nullptr);
  Application->OnShowHint = nullptr;
}

TEST(SkinHintInput, HintOverASkinnedButtonInBothLooks) {
  for (SkinKind k : {kNone, kBuiltin}) {
    SCOPED_TRACE(SkinName(k));
    auto skin = MakeSkin(k);
    TCustomForm* oldMain = Application->MainForm();
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    Application->SetMainForm(form.get());
    auto* hint = new TskSkinHint(form.get());
    hint->SetSkinData(skin.get());
    auto* b = new TskSkinButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(20, 20, 80, 30);
    b->SetSkinData(skin.get());
    b->SetHint(L"Starts@recording");
    b->SetHintTitle(L"Record");
    b->SetShowHint(true);
    form->Show();
    testsupport::ForceForeground(form->Handle(), 2000);
    MouseToClient(form->Handle(), 250, 150);
    MouseToClient(b->Handle(), 40, 15);
    ASSERT_TRUE(PumpUntil(
        [&] {
          THintWindow* w = Application->HintWindow();
          return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
        },
        3000));
    auto* w = dynamic_cast<TskSkinHintWindow*>(Application->HintWindow());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->ActiveHint(), hint);
    EXPECT_TRUE(w->TitleMode());
    EXPECT_EQ(hint->HintCaption, L"Record");
    EXPECT_EQ(w->Caption(), L"Starts\r\nrecording");
    if (k == kNone) {
      EXPECT_EQ(w->HintSkin(), nullptr);
    } else {
      ASSERT_EQ(w->HintSkin(), skin.get());
      // The client rectangle keeps the skin's left and top and grows with the text.
      const RECT& cr = skin->HintWindow.ClientRect;
      EXPECT_EQ(w->NewClientRect().Left, cr.left);
      EXPECT_EQ(w->NewClientRect().Top, cr.top);
      const TskPicture* pic = skin->ActivePicture(skin->HintWindow.WindowPictureIndex);
      EXPECT_EQ(w->Width() - w->NewClientRect().Right, pic->Width() - cr.right);
    }
    // Two lines and a title: taller than two text lines.
    HDC dc = GetDC(nullptr);
    TEXTMETRICW tm{};
    HGDIOBJ old = SelectObject(dc, w->Canvas()->Font()->Handle());
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_GT(w->Height(), 3 * tm.tmHeight);
    std::string n = SkinName(k);
    testsupport::SaveWindowPng(w->Handle(),
                               L"skin-hint-" + std::wstring(n.begin(), n.end()) + L".png");
    // Inactive: no hints at all.
    hint->SetActive(false);
    Application->CancelHint();
    MouseToClient(form->Handle(), 250, 150);
    MouseToClient(b->Handle(), 50, 15);
    PumpFor(700);
    EXPECT_FALSE(IsWindowVisible(w->Handle()));
    Application->CancelHint();
    Application->SetMainForm(oldMain);
    form.reset();
    Application->OnShowHint = nullptr;
  }
}

} // namespace
