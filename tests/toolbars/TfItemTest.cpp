// Item trees, action links, change notices, shortcuts and deferred clicks.
#include <gtest/gtest.h>

#include "framework/ActnList.h"
#include "framework/ComCtrls.h"
#include "framework/Forms.h"
#include "tests/support/Gui.h"
#include "toolbars/TfItem.h"

namespace {

struct Recorder : TTfItemListener {
  std::vector<TItemChangeKind> Kinds;
  std::vector<bool> Relayed;
  void ItemNotification(TTfCustomItem*, bool R, TItemChangeKind Kind, int,
                        TTfCustomItem*) override {
    Kinds.push_back(Kind);
    Relayed.push_back(R);
  }
};

TEST(TfItemTree, InsertMoveAndErrors) {
  TTfRootItem root(nullptr);
  auto* a = new TTfItem(nullptr);
  auto* b = new TTfItem(nullptr);
  auto* c = new TTfItem(nullptr);
  root.Add(a);
  root.Add(b);
  root.Insert(root.ChildCount(), c);
  EXPECT_EQ(root.ChildCount(), 3);
  EXPECT_THROW(root.Insert(0, a), ETfItemError);
  auto* d = new TTfItem(nullptr);
  try {
    root.Insert(5, d);
    FAIL();
  } catch (const ETfItemError& e) {
    EXPECT_EQ(e.Message(), L"Toolbar item index out of range");
  }
  EXPECT_EQ(d->Parent(), nullptr);
  root.Move(2, 2);
  EXPECT_EQ(root.ChildAt(2), c);
  EXPECT_THROW(root.Move(0, 3), ETfItemError);
  root.Move(0, 2);
  EXPECT_EQ(root.ChildAt(0), b);
  EXPECT_EQ(root.ChildAt(2), a);
  delete b;
  EXPECT_EQ(root.ChildCount(), 2);
  delete d;
}

// The item header and the framework's list view go into one unit: the view
// style of the toolbars carries the library's prefix.
TEST(TfItemTree, ViewStyleBesideTheListViewStyle) {
  TViewStyle list = vsReport;
  TTfViewStyle view = styMenuBar | styHintsForAll;
  EXPECT_EQ(list, vsReport);
  EXPECT_EQ(view, 5u);
}

TEST(TfItemTree, LinkToSelfIsNone) {
  TTfSubmenuItem s(nullptr);
  s.SetLinkSubitems(&s);
  EXPECT_EQ(s.LinkSubitems(), nullptr);
}

TEST(TfItemTree, RadioGroupAndImageIndexChanges) {
  TTfRootItem root(nullptr);
  TTfItem* items[3];
  for (auto*& it : items) {
    it = new TTfItem(nullptr);
    it->SetGroupIndex(1);
    root.Add(it);
  }
  items[0]->SetChecked(true);
  items[1]->SetChecked(true);
  EXPECT_FALSE(items[0]->Checked());
  items[2]->SetChecked(true);
  EXPECT_FALSE(items[1]->Checked());
  EXPECT_TRUE(items[2]->Checked());

  Recorder rec;
  root.RegisterListener(&rec);
  struct Case {
    int from, to;
    TItemChangeKind expect;
  } cases[] = {{3, 4, icRepaint}, {-1, 4, icRelayout}, {4, -1, icRelayout}};
  for (auto& k : cases) {
    items[0]->SetImageIndex(k.from);
    rec.Kinds.clear();
    items[0]->SetImageIndex(k.to);
    ASSERT_EQ(rec.Kinds.size(), 1u);
    EXPECT_EQ(rec.Kinds[0], k.expect) << k.from << "->" << k.to;
  }
  root.UnregisterListener(&rec);
}

TEST(TfItemTree, ListenerUnregisteringItselfDoesNotSkipNext) {
  TTfRootItem root(nullptr);
  struct SelfRemover : TTfItemListener {
    TTfCustomItem* Item;
    int Calls = 0;
    void ItemNotification(TTfCustomItem*, bool, TItemChangeKind, int, TTfCustomItem*) override {
      ++Calls;
      Item->UnregisterListener(this);
    }
  } first;
  first.Item = &root;
  Recorder second;
  root.RegisterListener(&first);
  root.RegisterListener(&second);
  root.NotifyItemChange(icRepaint, -1, nullptr);
  EXPECT_EQ(first.Calls, 1);
  EXPECT_EQ(second.Kinds.size(), 1u);
}

TEST(TfItemTree, InlineGroupRelayStopsAfterTenLevels) {
  TTfRootItem root(nullptr);
  Recorder rec;
  root.RegisterListener(&rec);
  TTfCustomItem* parent = &root;
  std::vector<TTfCustomItem*> chain;
  for (int i = 0; i < 12; ++i) {
    auto* g = new TTfCustomItem(nullptr);
    g->SetTraits(itInlineGroup);
    parent->Add(g);
    chain.push_back(g);
    parent = g;
  }
  rec.Kinds.clear();
  chain[9]->NotifyItemChange(icRepaint, -1, nullptr); // 10 relays to the root
  EXPECT_EQ(rec.Kinds.size(), 1u);
  rec.Kinds.clear();
  chain[11]->NotifyItemChange(icRepaint, -1, nullptr); // 12 relays: stops on the way
  EXPECT_EQ(rec.Kinds.size(), 0u);
  root.UnregisterListener(&rec);
}

TEST(TfItemAction, ItemFollowsAction) {
  TActionList list(nullptr);
  auto* act = new TAction(&list);
  act->SetCaption(L"&Open...");
  act->SetShortCut(ShortCut('O', ssCtrl));
  act->SetHint(L"Open|Opens a file");
  int runs = 0;
  act->OnExecute = [&](TObject*) { ++runs; };
  TTfItem item(nullptr);
  item.SetAction(act);
  EXPECT_EQ(item.Caption(), L"&Open...");
  EXPECT_EQ(item.ShortCut(), ShortCut('O', ssCtrl));
  act->SetEnabled(false);
  EXPECT_FALSE(item.Enabled());
  act->SetEnabled(true);
  act->SetChecked(true);
  EXPECT_TRUE(item.Checked());
  act->SetCaption(L"Open &file");
  EXPECT_EQ(item.Caption(), L"Open &file");
  item.Click();
  EXPECT_EQ(runs, 1);
  item.SetEnabled(false);
  item.Click();
  EXPECT_EQ(runs, 1);
  delete act;
  EXPECT_EQ(item.Action(), nullptr);
}

TEST(TfItemAction, ShortCutFindsNestedItemAndClicks) {
  TTfRootItem root(nullptr);
  auto* file = new TTfSubmenuItem(nullptr);
  root.Add(file);
  auto* save = new TTfItem(nullptr);
  save->SetShortCut(ShortCut('S', ssCtrl));
  int clicks = 0, popups = 0;
  save->OnClick = [&](TObject*) { ++clicks; };
  file->OnPopup = [&](TTfCustomItem*, bool) { ++popups; };
  file->Add(save);
  TMessage m{WM_KEYDOWN, 'S', 0, 0};
  // Ctrl is read from the keyboard state; use a plain-key item instead.
  save->SetShortCut(ShortCut(VK_F2, 0));
  m.WParam = VK_F2;
  EXPECT_TRUE(root.HandleShortCut(m));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(popups, 1);
  save->SetEnabled(false);
  EXPECT_FALSE(root.HandleShortCut(m));
  EXPECT_EQ(clicks, 1);
}

TEST(TfItemAction, LinkHopsLimit) {
  struct Case {
    int hops;
    bool found;
  } cases[] = {{25, true}, {26, false}};
  for (auto& k : cases) {
    std::vector<std::unique_ptr<TTfSubmenuItem>> chain;
    for (int i = 0; i <= k.hops; ++i)
      chain.push_back(std::make_unique<TTfSubmenuItem>(nullptr));
    for (int i = 0; i < k.hops; ++i)
      chain[i]->SetLinkSubitems(chain[i + 1].get());
    auto* target = new TTfItem(nullptr);
    target->SetShortCut(ShortCut(VK_F3, 0));
    chain.back()->Add(target);
    TTfCustomItem* top = nullptr;
    EXPECT_EQ(chain[0]->FindByShortCut(ShortCut(VK_F3, 0), top) != nullptr, k.found) << k.hops;
    for (int i = 0; i < k.hops; ++i)
      chain[i]->SetLinkSubitems(nullptr);
  }
}

TEST(TfItemClick, DeferredClickRunsLaterAndCancelledOnDestroy) {
  auto* a = new TTfItem(nullptr);
  TTfItem b(nullptr);
  int ca = 0, cb = 0;
  a->OnClick = [&](TObject*) { ++ca; };
  b.OnClick = [&](TObject*) { ++cb; };
  a->PostClick();
  delete a;
  b.PostClick();
  testsupport::PumpFor(50);
  EXPECT_EQ(ca, 0);
  EXPECT_EQ(cb, 1);
}

TEST(TfItemClick, AutoCheckAndDisabled) {
  TTfItem it(nullptr);
  it.SetAutoCheck(true);
  it.Click();
  EXPECT_TRUE(it.Checked());
  it.SetEnabled(false);
  it.Click();
  EXPECT_TRUE(it.Checked());
}

} // namespace
