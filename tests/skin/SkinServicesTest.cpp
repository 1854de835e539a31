// Look-ups of the skinned form that the skin library's own components use.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkinMenus.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;

TEST(SkinMDI, MaximizedChildSkinFormIsFoundAmongTheChildren) {
  TCustomForm* oldMain = Application->MainForm();
  EXPECT_EQ(GetMaximizedChildSkinForm(), nullptr);
  auto frame = std::make_unique<TForm>(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(60, 60, 560, 400);
  new TskSkinnedForm(frame.get());
  Application->SetMainForm(frame.get());
  frame->Show();
  TskSkinnedForm* skinned[3] = {};
  for (int i = 0; i < 3; ++i) {
    auto* c = new TForm(frame.get());
    c->SetFormStyle(fsMDIChild);
    c->SetBounds(20 + 20 * i, 20 + 20 * i, 200, 150);
    // The middle child has no skinned form.
    if (i != 1) skinned[i] = new TskSkinnedForm(c);
    c->Show();
  }
  PumpFor(30);
  EXPECT_EQ(GetMaximizedChildSkinForm(), nullptr);
  skinned[2]->SetWindowState(2);
  PumpFor(30);
  EXPECT_EQ(GetMaximizedChildSkinForm(), skinned[2]);
  skinned[2]->SetWindowState(0);
  PumpFor(30);
  EXPECT_EQ(GetMaximizedChildSkinForm(), nullptr);
  frame.reset();
  Application->SetMainForm(oldMain);
}

TMenuItem* AddItem(TMenuItem* Parent, const std::wstring& Caption, bool Visible = true) {
  auto* m = new TMenuItem(Parent);
  m->SetCaption(Caption);
  m->SetVisible(Visible);
  Parent->Add(m);
  return m;
}

std::vector<std::wstring> Captions(TskSkinPopupWindow* w) {
  std::vector<std::wstring> v;
  for (int i = 0; i < w->ItemCount(); ++i)
    v.push_back(w->Item(i)->MenuItem()->Caption());
  return v;
}

// One level for the items of two menus: the first from the start index, the
// second whole, hidden items left out; the first selectable item is selected.
TEST(SkinMenu, MergedLevelListsTheItemsOfTwoMenus) {
  for (skintest::SkinKind k : {skintest::kNone, skintest::kAlt}) {
    SCOPED_TRACE(skintest::SkinName(k));
    auto skin = skintest::MakeSkin(k);
    skintest::THostForm form(skin.get());
    TPopupMenu first(nullptr), second(nullptr);
    AddItem(first.Items(), L"&File");
    AddItem(first.Items(), L"-");
    AddItem(first.Items(), L"&Edit");
    AddItem(second.Items(), L"&Window");
    AddItem(second.Items(), L"Hidden", false);
    AddItem(second.Items(), L"&Help");
    form.Show();
    TskSkinMenu* sm = form.SkinMenu();
    TRect at(120, 120, 120, 120);
    sm->PopupMerged(nullptr, skin.get(), 1, at, first.Items(), second.Items(), false);
    ASSERT_EQ(sm->LevelCount(), 1);
    TskSkinPopupWindow* w = sm->Level(0);
    EXPECT_EQ(Captions(w), (std::vector<std::wstring>{L"-", L"&Edit", L"&Window", L"&Help"}));
    EXPECT_EQ(w->ActiveIndex(), 1);
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
    sm->CloseAll();
    // A start index past both lists shows nothing.
    sm->PopupMerged(nullptr, skin.get(), 6, at, first.Items(), second.Items(), false);
    EXPECT_EQ(sm->LevelCount(), 0);
    // So does a first menu without items.
    TPopupMenu empty(nullptr);
    sm->PopupMerged(nullptr, skin.get(), 0, at, empty.Items(), second.Items(), false);
    EXPECT_EQ(sm->LevelCount(), 0);
  }
}

TEST(SkinMenu, PopupFromButtonStartsAtTheGivenItem) {
  auto skin = skintest::MakeSkin(skintest::kNone);
  skintest::THostForm form(skin.get());
  auto* pm = new TskSkinPopupMenu(&form);
  AddItem(pm->Items(), L"One");
  AddItem(pm->Items(), L"Two");
  AddItem(pm->Items(), L"Three");
  form.Show();
  pm->PopupFromButton(&form, TRect(100, 100, 160, 120), 1);
  ASSERT_EQ(form.SkinMenu()->LevelCount(), 1);
  EXPECT_EQ(Captions(form.SkinMenu()->Level(0)),
            (std::vector<std::wstring>{L"Two", L"Three"}));
  form.SkinMenu()->CloseAll();
}

} // namespace
