// Skinned panel and status bar on real windows: client rectangles in every
// look, the caption's check box and roll-up, the status bar's size grip and
// the skinned form hiding it while maximized; pictures of both.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/SkinPanels.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;

std::unique_ptr<TskSkinData> PanelSkin() {
  auto sd = std::make_unique<TskSkinData>(nullptr);
  EXPECT_TRUE(sd->LoadSkinFromIni(SourceDir() + L"resources\\skin\\panel\\skin.ini"))
      << sd->LastError();
  sd->EnableSkinEffects = false;
  return sd;
}

std::unique_ptr<TForm> MakeForm(int w = 460, int h = 340) {
  auto f = std::make_unique<TForm>(nullptr);
  f->SetBounds(60, 60, w, h);
  f->AfterConstruction();
  return f;
}

template <class T> T* Make(TWinControl* parent, int l, int t, int w, int h) {
  T* c = new T(parent);
  c->SetParent(parent);
  c->SetBounds(l, t, w, h);
  return c;
}

void Click(TWinControl* c, int x, int y) {
  c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

LRESULT HitTest(TWinControl* c, int x, int y) {
  POINT p{x, y};
  ClientToScreen(c->Handle(), &p);
  return SendMessageW(c->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
}

TEST(SkinPanel, ClientRectangleOfEveryLook) {
  auto form = MakeForm();
  auto skin = PanelSkin();
  struct Case {
    const char* what;
    bool skinned, caption, transparent;
    TskSkinBorderStyle border;
    TRect expected; // for a 200 x 150 panel; top -1: the caption text's height
  } cases[] = {
      {"frame", false, false, false, TskSkinBorderStyle::bvFrame, TRect(1, 1, 199, 149)},
      {"no border", false, false, false, TskSkinBorderStyle::bvNone, TRect(0, 0, 200, 150)},
      {"caption", false, true, false, TskSkinBorderStyle::bvRaised, TRect(1, 23, 199, 149)},
      {"caption, no border", false, true, false, TskSkinBorderStyle::bvNone,
       TRect(0, 22, 200, 150)},
      // The skin's client rectangle (4, 24, 116, 86 of 120 x 90) moved to the size.
      {"skin", true, false, false, TskSkinBorderStyle::bvFrame, TRect(4, 24, 196, 146)},
      {"skin, caption", true, true, false, TskSkinBorderStyle::bvFrame, TRect(4, 24, 196, 146)},
      {"skin, transparent", true, false, true, TskSkinBorderStyle::bvFrame, TRect(2, 2, 198, 148)},
      {"skin, group box", true, true, true, TskSkinBorderStyle::bvFrame, TRect(2, -1, 198, 148)},
  };
  for (const Case& k : cases) {
    auto* p = Make<TskSkinPanel>(form.get(), 10, 10, 200, 150);
    p->SetBorderStyle(k.border);
    p->SetCaptionMode(k.caption);
    p->SetTransparentMode(k.transparent);
    if (k.skinned) p->SetSkinData(skin.get());
    auto* child = Make<TPanel>(p, 0, 0, 10, 10);
    child->SetAlign(alClient);
    p->Realign();
    TRect expected = k.expected;
    if (expected.Top < 0) {
      TBitmap b;
      b.SetSize(1, 1);
      b.Canvas()->Font()->SetName(L"Tahoma");
      b.Canvas()->Font()->SetHeight(13);
      b.Canvas()->Font()->SetStyle(fsBold);
      expected.Top = b.Canvas()->TextHeight(L"Wq");
    }
    TRect r;
    p->GetAdjustedClientRect(r);
    EXPECT_EQ(r, expected) << k.what;
    EXPECT_EQ(child->BoundsRect(), expected) << k.what;
    delete p;
  }
}

// A default-look panel with a caption strip, a check box and the roll-up
// arrow, holding a visible and a hidden child.
struct RollPanel {
  std::unique_ptr<TForm> form = MakeForm();
  TskSkinPanel* p = Make<TskSkinPanel>(form.get(), 10, 10, 220, 160);
  TPanel* shown = Make<TPanel>(p, 10, 40, 80, 30);
  TButton* hidden = Make<TButton>(p, 100, 40, 80, 30);
  int rollEvents = 0;
  RollPanel() {
    hidden->SetVisible(false);
    p->SetCaption(L"Options");
    p->SetCaptionMode(true);
    p->SetRollUpMode(true);
    p->OnChangeRollUpState = [this](TObject*) { ++rollEvents; };
    form->Show();
  }
};

TEST(SkinPanel, RollUpKeepsTheCaptionAndRollDownShowsOnlyWhatItHid) {
  RollPanel t;
  TskSkinPanel* p = t.p;
  p->Constraints()->SetMinHeight(120);
  p->Constraints()->SetMaxWidth(300);
  p->SetRollUpState(true);
  EXPECT_EQ(p->Height(), 22 + 1);
  EXPECT_EQ(p->RealHeight(), 160);
  EXPECT_FALSE(t.shown->Visible());
  EXPECT_FALSE(t.hidden->Visible());
  // The limits are lifted while rolled up.
  EXPECT_EQ(p->Constraints()->MinHeight(), 0);
  EXPECT_EQ(p->Constraints()->MaxWidth(), 0);
  EXPECT_EQ(t.rollEvents, 1);
  // Rolling up again changes nothing.
  p->SetRollUpState(true);
  EXPECT_EQ(t.rollEvents, 1);

  p->SetRollUpState(false);
  EXPECT_EQ(p->Height(), 160);
  EXPECT_EQ(p->RealHeight(), -1);
  EXPECT_TRUE(t.shown->Visible());
  // A child hidden before the roll-up stays hidden.
  EXPECT_FALSE(t.hidden->Visible());
  EXPECT_EQ(p->Constraints()->MinHeight(), 120);
  EXPECT_EQ(p->Constraints()->MaxWidth(), 300);
  EXPECT_EQ(t.rollEvents, 2);
  // Alignment works again after the roll-down.
  t.shown->SetAlign(alBottom);
  EXPECT_EQ(t.shown->Top() + t.shown->Height(), 159);
}

TEST(SkinPanel, RollUpModeOffPutsTheLimitsBackAndStaysDown) {
  RollPanel t;
  TskSkinPanel* p = t.p;
  p->Constraints()->SetMinHeight(100);
  p->SetRollUpState(true);
  p->SetRollUpMode(false);
  // The height stays where the roll-up left it until the state changes.
  EXPECT_EQ(p->Height(), 23);
  p->SetRollUpState(false);
  EXPECT_FALSE(p->RollUpState());
  EXPECT_EQ(p->Constraints()->MinHeight(), 100);
  EXPECT_EQ(p->Height(), 100);
  EXPECT_EQ(t.rollEvents, 1);
}

TEST(SkinPanel, StreamedRolledUpPanelKeepsItsHeightAndChildren) {
  RollPanel t;
  TskSkinPanel* p = t.p;
  // Rolling down while no full height was kept leaves everything alone.
  p->SetRollUpState(true);
  p->SetRealHeight(-1);
  p->SetBounds(10, 10, 220, 40);
  p->SetRollUpState(false);
  EXPECT_EQ(p->Height(), 40);
  EXPECT_FALSE(t.shown->Visible());
  // Rolling up with a full height kept (a panel saved rolled up) keeps the
  // height and the children.
  t.shown->SetVisible(true);
  p->SetRealHeight(160);
  p->SetRollUpState(true);
  EXPECT_EQ(p->Height(), 40);
  EXPECT_TRUE(t.shown->Visible());
}

TEST(SkinPanel, CaptionClicksToggleTheCheckBoxAndTheRollUp) {
  RollPanel t;
  TskSkinPanel* p = t.p;
  p->SetRollUpMode(false);
  p->SetCheckedMode(true);
  p->SetChecked(true);
  int checks = 0;
  p->OnChecked = [&](TObject*) { ++checks; };
  // A click below the caption strip does nothing.
  Click(p, 50, 60);
  EXPECT_TRUE(p->Checked());
  Click(p, 50, 10);
  EXPECT_FALSE(p->Checked());
  EXPECT_EQ(checks, 1);
  EXPECT_FALSE(t.shown->Enabled());
  EXPECT_FALSE(t.hidden->Enabled());
  // With both modes one click toggles both.
  p->SetRollUpMode(true);
  Click(p, 50, 10);
  EXPECT_TRUE(p->Checked());
  EXPECT_TRUE(p->RollUpState());
  EXPECT_TRUE(t.shown->Enabled());
  Click(p, 50, 10);
  EXPECT_FALSE(p->RollUpState());
  EXPECT_EQ(p->Height(), 160);
}

TEST(SkinPanel, CheckedEnablesChildrenAlsoWhenUnchanged) {
  RollPanel t;
  TskSkinPanel* p = t.p;
  auto* label = Make<TLabel>(p, 10, 80, 60, 16);
  int checks = 0;
  p->OnChecked = [&](TObject*) { ++checks; };
  // Outside checked mode the children keep their state.
  p->SetChecked(false);
  EXPECT_TRUE(t.shown->Enabled());
  EXPECT_EQ(checks, 1);
  p->SetCheckedMode(true);
  struct Step {
    bool value;
    bool autoEnable;
    bool expected;
  } steps[] = {{false, true, false}, {true, true, true}, {false, false, true}};
  for (const Step& s : steps) {
    p->SetAutoEnabledControls(s.autoEnable);
    p->SetChecked(s.value);
    EXPECT_EQ(t.shown->Enabled(), s.expected);
    EXPECT_EQ(t.hidden->Enabled(), s.expected);
    EXPECT_EQ(label->Enabled(), s.expected);
  }
  // The same value again still sets every child.
  p->SetAutoEnabledControls(true);
  t.shown->SetEnabled(true);
  p->SetChecked(false);
  p->SetChecked(false);
  EXPECT_FALSE(t.shown->Enabled());
  EXPECT_EQ(checks, 6);
}

TEST(SkinPanel, SkinnedRollUpKeepsTheSkinCaption) {
  auto form = MakeForm();
  auto skin = PanelSkin();
  auto* p = Make<TskSkinPanel>(form.get(), 10, 10, 220, 160);
  p->SetSkinData(skin.get());
  p->SetCaptionMode(true);
  p->SetRollUpMode(true);
  auto* child = Make<TPanel>(p, 10, 40, 80, 30);
  form->Show();
  p->SetRollUpState(true);
  // The height less the skin's moved client rectangle (24 .. 156).
  EXPECT_EQ(p->Height(), 160 - 132);
  EXPECT_FALSE(child->Visible());
  // A new skin recomputes the rolled height and keeps the full one.
  p->ApplyControlSkin();
  EXPECT_EQ(p->Height(), 28);
  EXPECT_EQ(p->RealHeight(), 160);
  p->SetRollUpState(false);
  EXPECT_EQ(p->Height(), 160);
  EXPECT_TRUE(child->Visible());
}

TEST(SkinStatusBar, SizeGripAnswersBottomRight) {
  auto form = MakeForm();
  auto skin = PanelSkin();
  auto* sb = new TskSkinStatusBar(form.get());
  sb->SetParent(form.get());
  EXPECT_EQ(sb->Align(), alBottom);
  EXPECT_EQ(sb->Height(), 21);
  form->Show();
  int w = sb->Width();
  // Without a grip the framework answers.
  EXPECT_EQ(HitTest(sb, w - 3, 18), HTCLIENT);
  sb->SetSizeGrip(true);
  TRect r;
  sb->GetAdjustedClientRect(r);
  // Default look: a square as wide as the client height at the right.
  EXPECT_EQ(r, TRect(0, 0, w - 21, 21));
  EXPECT_EQ(sb->GripRect(), TRect(w - 19, 0, w, 19));
  EXPECT_EQ(HitTest(sb, w - 3, 17), HTBOTTOMRIGHT);
  EXPECT_EQ(HitTest(sb, w - 30, 10), HTCLIENT);
  sb->SetGripVisible(false);
  sb->GetAdjustedClientRect(r);
  EXPECT_EQ(r.Right, w);
  EXPECT_EQ(HitTest(sb, w - 3, 17), HTCLIENT);
  sb->SetGripVisible(true);
  // Skin look: without a border the whole bar is client; the gripper
  // picture (16 x 16) stands at its bottom right.
  sb->SetSkinData(skin.get());
  sb->GetAdjustedClientRect(r);
  EXPECT_EQ(r, TRect(0, 0, w - 16, 21));
  EXPECT_EQ(sb->GripRect(), TRect(w - 16, 5, w, 21));
  EXPECT_EQ(HitTest(sb, w - 2, 19), HTBOTTOMRIGHT);
  EXPECT_EQ(HitTest(sb, w - 8, 3), HTCLIENT);
  EXPECT_EQ(HitTest(sb, w - 30, 10), HTCLIENT);
  // With a border the skin's client rectangle (2, 3 .. 2 and 1 in from the
  // right and bottom edges) holds the grip.
  sb->SetBorderStyle(TskSkinBorderStyle::bvFrame);
  sb->GetAdjustedClientRect(r);
  EXPECT_EQ(r, TRect(2, 3, w - 2 - 16, 20));
  EXPECT_EQ(sb->GripRect(), TRect(w - 18, 4, w - 2, 20));
}

TEST(SkinStatusBar, SkinDataReachesTheSkinnedChildren) {
  auto form = MakeForm();
  auto skin = PanelSkin();
  auto* sb = new TskSkinStatusBar(form.get());
  sb->SetParent(form.get());
  auto* inner = Make<TskSkinPanel>(sb, 0, 0, 50, 18);
  auto* plain = Make<TPanel>(sb, 60, 0, 50, 18);
  sb->SetSkinData(skin.get());
  EXPECT_EQ(inner->SkinData(), skin.get());
  EXPECT_GE(inner->EntryIndex(), 0);
  EXPECT_EQ(plain->Parent(), sb);
}

TEST(SkinStatusBar, SkinnedFormHidesTheGripWhileMaximized) {
  auto form = MakeForm();
  auto* sf = new TskSkinnedForm(form.get());
  auto* sb = new TskSkinStatusBar(form.get());
  sb->SetParent(form.get());
  sf->SetStatusBar(sb);
  form->Show();
  // Without SizeGrip the form leaves the flag alone.
  sf->SetWindowState(2);
  sb->SetGripVisible(true);
  sf->SetWindowState(0);
  sb->SetSizeGrip(true);
  sf->SetWindowState(2);
  EXPECT_FALSE(sb->GripVisible());
  EXPECT_EQ(HitTest(sb, sb->Width() - 3, 17), HTCLIENT);
  sf->SetWindowState(0);
  EXPECT_TRUE(sb->GripVisible());
  EXPECT_EQ(HitTest(sb, sb->Width() - 3, 17), HTBOTTOMRIGHT);
  // A freed status bar leaves the form.
  delete sb;
  EXPECT_EQ(sf->StatusBar(), nullptr);
  sf->SetWindowState(2);
  sf->SetWindowState(0);
}

// Pictures of the panel and the status bar in both looks.
TEST(SkinPanelPicture, PanelsAndStatusBars) {
  auto skin = PanelSkin();
  auto form = MakeForm(560, 420);
  form->SetCaption(L"Skinned panels");
  form->SetColor(clBtnFace);
  auto* plain = Make<TskSkinPanel>(form.get(), 10, 10, 260, 150);
  plain->SetCaption(L"Recording options");
  plain->SetCaptionMode(true);
  plain->SetCheckedMode(true);
  plain->SetChecked(true);
  plain->SetRollUpMode(true);
  Make<TCheckBox>(plain, 12, 34, 200, 20)->SetCaption(L"Start with the program");
  Make<TCheckBox>(plain, 12, 58, 200, 20)->SetCaption(L"Keep the level meter on");
  auto* skinned = Make<TskSkinPanel>(form.get(), 285, 10, 260, 150);
  skinned->SetCaption(L"Input");
  skinned->SetCaptionMode(true);
  skinned->SetCheckedMode(true);
  skinned->SetChecked(true);
  skinned->SetSkinData(skin.get());
  auto* line = Make<TLabel>(skinned, 14, 40, 200, 16);
  line->SetCaption(L"Line in, 44100 Hz stereo");
  line->SetTransparent(true);
  auto* group = Make<TskSkinPanel>(form.get(), 10, 170, 260, 110);
  group->SetCaption(L"Schedule");
  group->SetCaptionMode(true);
  group->SetTransparentMode(true);
  group->SetRollUpMode(true);
  group->SetSkinData(skin.get());
  Make<TLabel>(group, 14, 30, 200, 16)->SetCaption(L"Starts at 08:00, stops at 09:30");
  auto* lowered = Make<TskSkinPanel>(form.get(), 285, 170, 260, 110);
  lowered->SetBorderStyle(TskSkinBorderStyle::bvLowered);
  lowered->SetCaption(L"Lowered");
  lowered->SetCaptionMode(true);
  lowered->SetDefaultAlignment(taCenter);
  auto* sbSkin = new TskSkinStatusBar(form.get());
  sbSkin->SetParent(form.get());
  sbSkin->SetSizeGrip(true);
  sbSkin->SetSkinData(skin.get());
  auto* time = Make<TLabel>(sbSkin, 6, 4, 200, 14);
  time->SetCaption(L"Recording: 00:01:25");
  time->SetTransparent(true);
  auto* sbPlain = new TskSkinStatusBar(form.get());
  sbPlain->SetParent(form.get());
  sbPlain->SetSizeGrip(true);
  Make<TLabel>(sbPlain, 6, 4, 200, 14)->SetCaption(L"Ready");
  form->Show();
  PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"skin_panels.png"));
  plain->SetRollUpState(true);
  group->SetRollUpState(true);
  PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"skin_panels_rolled_up.png"));
}

} // namespace
