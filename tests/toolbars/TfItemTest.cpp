// Item trees, action links, change notices, shortcuts and deferred clicks.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/ActnList.h"
#include "framework/ComCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
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

// Each item with LinkSubitems counts one hop: S0 shows L0's children, among
// them S1, which shows L1's children, and so on; the last list holds the item.
TEST(TfItemAction, LinkHopsLimit) {
  struct Case {
    int hops;
    bool found;
  } cases[] = {{1, true}, {25, true}, {26, false}};
  for (auto& k : cases) {
    std::vector<std::unique_ptr<TTfSubmenuItem>> lists;
    auto first = std::make_unique<TTfSubmenuItem>(nullptr);
    TTfCustomItem* cur = first.get();
    TTfCustomItem* firstChild = nullptr;
    for (int i = 0; i < k.hops; ++i) {
      lists.push_back(std::make_unique<TTfSubmenuItem>(nullptr));
      cur->SetLinkSubitems(lists.back().get());
      if (i + 1 < k.hops) {
        auto* next = new TTfSubmenuItem(nullptr);
        lists.back()->Add(next);
        if (!firstChild) firstChild = next;
        cur = next;
      }
    }
    auto* target = new TTfItem(nullptr);
    target->SetShortCut(ShortCut(VK_F3, 0));
    lists.back()->Add(target);
    TTfCustomItem* top = nullptr;
    TTfCustomItem* found = first->FindByShortCut(ShortCut(VK_F3, 0), top);
    EXPECT_EQ(found != nullptr, k.found) << k.hops;
    if (found) {
      EXPECT_EQ(found, target);
      // The outermost child through which it was found, none for a direct child.
      EXPECT_EQ(top, firstChild) << k.hops;
    }
    first->SetLinkSubitems(nullptr);
    // Free the lists from the deepest up, so that no link outlives its target.
    while (!lists.empty())
      lists.pop_back();
  }
}

// A link is followed once per item: the linked item's own LinkSubitems is
// not followed, just as the menus show the linked item's own children.
TEST(TfItemAction, LinkOfALinkIsNotFollowed) {
  TTfSubmenuItem a(nullptr), b(nullptr), c(nullptr);
  auto* inB = new TTfItem(nullptr);
  inB->SetShortCut(ShortCut(VK_F4, 0));
  b.Add(inB);
  auto* inC = new TTfItem(nullptr);
  inC->SetShortCut(ShortCut(VK_F6, 0));
  c.Add(inC);
  a.SetLinkSubitems(&b);
  b.SetLinkSubitems(&c);
  TTfCustomItem* top = nullptr;
  EXPECT_EQ(a.FindByShortCut(ShortCut(VK_F4, 0), top), inB);
  EXPECT_EQ(top, nullptr);
  EXPECT_EQ(a.FindByShortCut(ShortCut(VK_F6, 0), top), nullptr);
  EXPECT_EQ(TTfCustomItem::ChildSource(&a), &b);
  a.SetLinkSubitems(nullptr);
  b.SetLinkSubitems(nullptr);
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

// Records the notices of one item with the item they name.
struct KindRecorder : TTfItemListener {
  std::vector<std::pair<TItemChangeKind, TTfCustomItem*>> Got;
  void ItemNotification(TTfCustomItem*, bool, TItemChangeKind Kind, int,
                        TTfCustomItem* Item) override {
    Got.emplace_back(Kind, Item);
  }
};

// Every setter notifies the parent once with the kind its change needs, and
// a value that does not change sends nothing.
TEST(TfItemNotices, SettersAskForRepaintOrLayout) {
  TTfRootItem root(nullptr);
  auto* it = new TTfItem(nullptr);
  auto* sep = new TTfSeparatorItem(nullptr);
  root.Add(it);
  root.Add(sep);
  KindRecorder rec;
  root.RegisterListener(&rec);
  struct Case {
    const char* name;
    std::function<void()> set;
    TItemChangeKind kind;
    TTfCustomItem* item;
  } cases[] = {
      {"caption", [&] { it->SetCaption(L"New"); }, icRelayout, it},
      {"checked", [&] { it->SetChecked(true); }, icRepaint, it},
      {"enabled", [&] { it->SetEnabled(false); }, icRepaint, it},
      {"visible", [&] { it->SetVisible(false); }, icRelayout, it},
      {"display mode", [&] { it->SetDisplayMode(nbdmTextOnly); }, icRelayout, it},
      {"radio", [&] { it->SetRadioItem(true); }, icRepaint, it},
      {"blank", [&] { sep->SetBlank(true); }, icRepaint, sep},
      {"layout option", [&] { it->SetOptions(tfoDropdownArrow); }, icRelayout, it},
  };
  for (auto& k : cases) {
    rec.Got.clear();
    k.set();
    ASSERT_EQ(rec.Got.size(), 1u) << k.name;
    EXPECT_EQ(rec.Got[0].first, k.kind) << k.name;
    EXPECT_EQ(rec.Got[0].second, k.item) << k.name;
    rec.Got.clear();
    k.set(); // the same value again
    EXPECT_TRUE(rec.Got.empty()) << k.name;
  }
  // An option that does not change the layout sends nothing.
  rec.Got.clear();
  it->SetOptions(tfoDropdownArrow | tfoShowHint);
  EXPECT_TRUE(rec.Got.empty());
  // Renaming tells the parent; the item's own list of notices gets the
  // submenu-image and link changes.
  auto* named = new TTfItem(nullptr);
  root.Add(named);
  rec.Got.clear();
  static_cast<TComponent*>(named)->SetName(L"Renamed");
  ASSERT_EQ(rec.Got.size(), 1u);
  EXPECT_EQ(rec.Got[0].first, icRenamed);
  root.UnregisterListener(&rec);
  TTfSubmenuItem sub(nullptr), other(nullptr);
  KindRecorder own;
  sub.RegisterListener(&own);
  TImageList images(nullptr);
  sub.SetSubMenuImages(&images);
  sub.SetLinkSubitems(&other);
  ASSERT_EQ(own.Got.size(), 2u);
  EXPECT_EQ(own.Got[0].first, icSubmenuImagesChanged);
  EXPECT_EQ(own.Got[1].first, icLinkChanged);
  sub.SetLinkSubitems(nullptr);
  sub.SetSubMenuImages(nullptr);
  sub.UnregisterListener(&own);
}

// Insert always closes its update bracket, even when a listener raises.
TEST(TfItemNotices, InsertEndsTheUpdateWhenAListenerRaises) {
  TTfRootItem root(nullptr);
  struct Thrower : TTfItemListener {
    std::vector<TItemChangeKind> Kinds;
    void ItemNotification(TTfCustomItem*, bool, TItemChangeKind Kind, int,
                          TTfCustomItem*) override {
      Kinds.push_back(Kind);
      if (Kind == icInserted) throw Exception(L"refused");
    }
  } t;
  root.RegisterListener(&t);
  TTfItem* it = new TTfItem(nullptr);
  EXPECT_THROW(root.Add(it), Exception);
  ASSERT_EQ(t.Kinds.size(), 3u);
  EXPECT_EQ(t.Kinds[0], icBeginUpdate);
  EXPECT_EQ(t.Kinds[1], icInserted);
  EXPECT_EQ(t.Kinds[2], icEndUpdate);
  root.UnregisterListener(&t);
  EXPECT_EQ(it->Parent(), &root); // it was inserted before the notice
}

// Effective options: the parent's options (without tfoDefault) flow down
// unless masked or not inherited; tfoToolbarSize needs tfoToolbarStyle.
TEST(TfItemOptions, InheritMaskAndToolbarSize) {
  TTfRootItem root(nullptr);
  auto* sub = new TTfSubmenuItem(nullptr);
  auto* leaf = new TTfItem(nullptr);
  root.Add(sub);
  sub->Add(leaf);
  root.SetOptions(tfoDefault | tfoShowHint | tfoNoAutoHint);
  EXPECT_EQ(sub->ResolvedOptions(), tfoShowHint | tfoNoAutoHint);
  EXPECT_EQ(leaf->ResolvedOptions(), tfoShowHint | tfoNoAutoHint);
  sub->SetMaskOptions(tfoShowHint);
  EXPECT_EQ(sub->ResolvedOptions(), tfoNoAutoHint);
  EXPECT_EQ(leaf->ResolvedOptions(), tfoNoAutoHint);
  leaf->SetInheritOptions(false);
  EXPECT_EQ(leaf->ResolvedOptions(), 0u);
  leaf->SetOptions(tfoToolbarSize);
  EXPECT_EQ(leaf->Options(), 0u);
  leaf->SetOptions(tfoToolbarSize | tfoToolbarStyle);
  EXPECT_EQ(leaf->ResolvedOptions(), tfoToolbarSize | tfoToolbarStyle);
  leaf->SetInheritOptions(true);
  EXPECT_EQ(leaf->ResolvedOptions(), tfoToolbarSize | tfoToolbarStyle | tfoNoAutoHint);
  // A root's tfoToolbarStyle reaches its grandchild.
  sub->SetMaskOptions(0);
  leaf->SetOptions(0);
  root.SetOptions(tfoToolbarStyle);
  EXPECT_EQ(leaf->ResolvedOptions(), tfoToolbarStyle);
}

// An action drives caption, enabled, checked, shortcut, hint, image and
// visibility of every item bound to it; an item keeps values of its own
// only while they differ from the defaults when it is loaded.
TEST(TfItemAction, PropertiesFollowTheActionTable) {
  TActionList list(nullptr);
  auto* act = new TAction(&list);
  TTfItem a(nullptr), b(nullptr);
  a.SetAction(act);
  b.SetAction(act);
  struct Case {
    const char* name;
    std::function<void()> change;
    std::function<bool(TTfItem&)> check;
  } cases[] = {
      {"caption", [&] { act->SetCaption(L"&Paste\tCtrl+V"); },
       [](TTfItem& i) { return i.Caption() == L"&Paste\tCtrl+V"; }},
      {"enabled", [&] { act->SetEnabled(false); }, [](TTfItem& i) { return !i.Enabled(); }},
      {"enabled back", [&] { act->SetEnabled(true); }, [](TTfItem& i) { return i.Enabled(); }},
      {"checked", [&] { act->SetChecked(true); }, [](TTfItem& i) { return i.Checked(); }},
      {"shortcut", [&] { act->SetShortCut(ShortCut('V', ssCtrl)); },
       [](TTfItem& i) { return i.ShortCut() == ShortCut('V', ssCtrl); }},
      {"hint", [&] { act->SetHint(L"Paste|Pastes the clipboard"); },
       [](TTfItem& i) { return i.Hint() == L"Paste|Pastes the clipboard"; }},
      {"image", [&] { act->SetImageIndex(7); }, [](TTfItem& i) { return i.ImageIndex() == 7; }},
      {"visible", [&] { act->SetVisible(false); }, [](TTfItem& i) { return !i.Visible(); }},
      {"help",
       [&] {
         act->SetHelpContext(42);
         act->SetCaption(L"x");
       },
       [](TTfItem& i) { return i.HelpContext() == 42; }},
  };
  for (auto& k : cases) {
    k.change();
    EXPECT_TRUE(k.check(a)) << k.name;
    EXPECT_TRUE(k.check(b)) << k.name;
  }
  // The shortcut text shown in menus comes from the caption's tab part,
  // else from the shortcut.
  act->SetCaption(L"&Paste");
  EXPECT_EQ(a.ShortCutText(), ShortCutToText(ShortCut('V', ssCtrl)));
  act->SetCaption(L"&Paste\tShift+Ins");
  EXPECT_EQ(a.ShortCutText(), L"Shift+Ins");
  delete act;
  EXPECT_EQ(a.Action(), nullptr);
  EXPECT_EQ(b.Action(), nullptr);
}

// An action that is assigned while the item loads leaves the values that
// the item already had of its own.
TEST(TfItemAction, LoadingKeepsOwnValues) {
  TActionList list(nullptr);
  auto* act = new TAction(&list);
  act->SetCaption(L"From action");
  act->SetHint(L"Action hint");
  act->SetImageIndex(3);
  TTfItem it(nullptr);
  it.SetCaption(L"Own caption");
  it.BeginLoading();
  it.SetAction(act);
  it.AfterConstruction();
  EXPECT_EQ(it.Caption(), L"Own caption");
  EXPECT_EQ(it.Hint(), L"Action hint");
  EXPECT_EQ(it.ImageIndex(), 3);
  // A later change of the action is taken over.
  act->SetCaption(L"Changed");
  EXPECT_EQ(it.Caption(), L"Changed");
}

// Clicking: the action runs once through the link; an OnClick of the
// item's own replaces it; AutoCheck toggles unless the action manages the
// check mark; a disabled item does nothing.
TEST(TfItemAction, ClickRunsTheActionOnce) {
  TActionList list(nullptr);
  auto* act = new TAction(&list);
  int runs = 0;
  act->OnExecute = [&](TObject*) { ++runs; };
  TTfItem it(nullptr);
  it.SetAction(act);
  it.Click();
  EXPECT_EQ(runs, 1);
  int own = 0;
  it.OnClick = [&](TObject*) { ++own; };
  it.Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(own, 1);
  it.OnClick = nullptr;
  // The action's AutoCheck manages the check mark: it is toggled once (by
  // the action, whose state flows into the item), not twice.
  act->SetAutoCheck(true);
  it.SetAutoCheck(true);
  bool before = it.Checked();
  it.Click();
  EXPECT_EQ(runs, 2);
  EXPECT_NE(it.Checked(), before);
  EXPECT_EQ(it.Checked(), act->Checked());
  // Without an action the item toggles itself.
  it.SetAction(nullptr);
  it.SetAutoCheck(true);
  bool c0 = it.Checked();
  it.Click();
  EXPECT_NE(it.Checked(), c0);
  act->SetEnabled(false);
  it.SetAction(act);
  it.Click();
  EXPECT_EQ(runs, 2);
}

// Radio groups: checking one item of a group unchecks its siblings of the
// same group only; an item of another parent is not touched.
TEST(TfItemTree, RadioGroupsAreSiblingsOfOneGroup) {
  TTfRootItem root(nullptr), other(nullptr);
  auto mk = [](TTfCustomItem& parent, int group) {
    auto* it = new TTfItem(nullptr);
    it->SetGroupIndex(group);
    it->SetRadioItem(true);
    it->SetAutoCheck(true);
    parent.Add(it);
    return it;
  };
  TTfItem* a = mk(root, 1);
  TTfItem* b = mk(root, 1);
  TTfItem* c = mk(root, 2);
  TTfItem* d = mk(other, 1);
  a->SetChecked(true);
  c->SetChecked(true);
  d->SetChecked(true);
  b->Click(); // AutoCheck checks b, which unchecks a
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(c->Checked());
  EXPECT_TRUE(d->Checked());
  // Moving an unchecked item into the group changes nothing; moving a
  // checked one unchecks the group's checked item.
  a->SetGroupIndex(2);
  EXPECT_TRUE(c->Checked());
  b->SetGroupIndex(2);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(c->Checked());
}

// Streaming parents: an item goes into an item or into a component that
// offers its root item; any other container raises with its class name.
TEST(TfItemTree, ParentComponentAndChildOrder) {
  TTfPopupMenu pm(nullptr);
  TTfSubmenuItem sub(nullptr);
  auto* it = new TTfItem(nullptr);
  it->SetParentComponent(&pm);
  EXPECT_EQ(it->Parent(), pm.Items());
  EXPECT_EQ(it->GetParentComponent(), &pm);
  it->SetParentComponent(&sub);
  EXPECT_EQ(it->Parent(), &sub);
  EXPECT_EQ(pm.Items()->ChildCount(), 0);
  EXPECT_EQ(it->GetParentComponent(), &sub);
  TComponent plain(nullptr);
  try {
    it->SetParentComponent(&plain);
    FAIL();
  } catch (const ETfItemError& e) {
    EXPECT_EQ(e.Message(), L"Toolbar item cannot be inserted into container of type TComponent");
  }
  EXPECT_EQ(it->Parent(), &sub); // unchanged
  auto* second = new TTfItem(nullptr);
  sub.Add(second);
  sub.SetChildOrder(second, 0);
  EXPECT_EQ(sub.ChildAt(0), second);
  EXPECT_EQ(sub.ChildAt(1), it);
}

// Shortcuts: the popup events of every menu on the way run first (so that
// they can update the items); an OnPopup that disables the item stops the
// click; an exception in an OnPopup goes to the application and the walk
// goes on.
TEST(TfItemAction, ShortCutRunsPopupEventsOnTheWay) {
  TTfPopupMenu pm(nullptr);
  std::vector<std::string> order;
  pm.OnPopup = [&](TObject* s) { order.push_back(s == &pm ? "menu" : "other"); };
  auto* sub = new TTfSubmenuItem(nullptr);
  pm.Items()->Add(sub);
  auto* target = new TTfItem(nullptr);
  target->SetShortCut(ShortCut(VK_F7, 0));
  int clicks = 0;
  target->OnClick = [&](TObject*) { ++clicks; };
  sub->Add(target);
  bool raise = false, disable = false;
  sub->OnPopup = [&](TTfCustomItem*, bool) {
    order.push_back("sub");
    if (disable) target->SetEnabled(false);
    if (raise) throw Exception(L"popup failed");
  };
  std::vector<std::wstring> errors;
  TExceptionEvent oldHandler = Application->OnException;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  TMessage m{WM_KEYDOWN, VK_F7, 0, 0};
  EXPECT_TRUE(pm.IsShortCut(m));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(order, (std::vector<std::string>{"menu", "sub"}));
  raise = true;
  EXPECT_TRUE(pm.IsShortCut(m));
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], L"popup failed");
  raise = false;
  disable = true;
  EXPECT_FALSE(pm.IsShortCut(m));
  EXPECT_EQ(clicks, 2);
  // A key that no item has is not handled.
  TMessage other{WM_KEYDOWN, VK_F8, 0, 0};
  EXPECT_FALSE(pm.IsShortCut(other));
  Application->OnException = oldHandler;
}

struct SysKeyCatcher {
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_SYSCOMMAND) {
      Got = true;
      Cmd = w;
      Ch = l;
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }
  static inline bool Got = false;
  static inline WPARAM Cmd = 0;
  static inline LPARAM Ch = 0;
};

// The result of a finished menu: a chosen item is clicked later (or only
// returned), the system menu key goes to the window saved in the result.
TEST(TfItemClick, MenuResultExecution) {
  TTfItem it(nullptr);
  int clicks = 0;
  it.OnClick = [&](TObject*) { ++clicks; };
  TTfMenuResult r;
  r.Kind = mrkChosen;
  r.Item = &it;
  EXPECT_EQ(TTfCustomItem::ExecuteMenuResult(r, true), &it);
  testsupport::PumpFor(30);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(TTfCustomItem::ExecuteMenuResult(r, false), &it);
  EXPECT_EQ(clicks, 0); // not inside the call
  testsupport::PumpUntil([&] { return clicks == 1; }, 2000);
  EXPECT_EQ(clicks, 1);
  r.Kind = mrkCancel;
  EXPECT_EQ(TTfCustomItem::ExecuteMenuResult(r, false), nullptr);
  // System menu key.
  WNDCLASSW wc{};
  wc.lpfnWndProc = SysKeyCatcher::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TfItemTestSysKeyCatcher";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
  r = TTfMenuResult{};
  r.Kind = mrkSysKey;
  r.Wnd = w;
  r.Char = L' ';
  EXPECT_EQ(TTfCustomItem::ExecuteMenuResult(r, false), nullptr);
  EXPECT_TRUE(SysKeyCatcher::Got);
  EXPECT_EQ(SysKeyCatcher::Cmd, static_cast<WPARAM>(SC_KEYMENU));
  EXPECT_EQ(SysKeyCatcher::Ch, static_cast<LPARAM>(L' '));
  DestroyWindow(w);
}

// Items and viewers are counted per thread; the hidden window of the
// deferred clicks lives while any of them does.
TEST(TfItemClick, LiveCountAndHiddenWindow) {
  int base = TfLiveObjectCount();
  {
    TTfItem a(nullptr);
    EXPECT_EQ(TfLiveObjectCount(), base + 1);
    a.PostClick();
    EXPECT_NE(TfDeferredWindow(), nullptr);
    testsupport::PumpFor(20);
  }
  EXPECT_EQ(TfLiveObjectCount(), base);
  if (base == 0) EXPECT_EQ(TfDeferredWindow(), nullptr);
}

} // namespace
