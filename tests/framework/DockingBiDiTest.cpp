// Right-to-left modes passed from parents to children with their text
// flags, and dock sites: the dock tree's layout, hiding, floating and
// docking back, and docked or floating controls that go away.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "tests/support/Gui.h"

namespace {

TEST(BiDiMode, TextFlagsFollowTheMode) {
  struct Case {
    TBiDiMode mode;
    UINT in, out;
  } cases[] = {
      {bdLeftToRight, DT_LEFT, DT_LEFT},
      {bdLeftToRight, DT_RIGHT, DT_RIGHT},
      {bdRightToLeft, DT_LEFT, DT_RIGHT | DT_RTLREADING},
      {bdRightToLeft, DT_RIGHT, DT_LEFT | DT_RTLREADING},
      {bdRightToLeft, DT_CENTER, DT_CENTER | DT_RTLREADING},
      {bdRightToLeftNoAlign, DT_LEFT, DT_LEFT | DT_RTLREADING},
      {bdRightToLeftReadingOnly, DT_RIGHT, DT_RIGHT | DT_RTLREADING},
  };
  for (const auto& c : cases) {
    TControl control(nullptr);
    control.SetBiDiMode(c.mode);
    EXPECT_EQ(control.DrawTextBiDiModeFlags(c.in), c.out) << c.mode << " " << c.in;
  }
}

TEST(BiDiMode, ChildrenFollowTheirParentUntilTheyChooseTheirOwn) {
  TComponent owner(nullptr);
  auto* outer = new TCustomControl(&owner);
  auto* inner = new TCustomControl(&owner);
  auto* leaf = new TGraphicControl(&owner);
  inner->SetParent(outer);
  leaf->SetParent(inner);
  outer->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(inner->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(leaf->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(leaf->MirroredAlignment(taLeftJustify), taRightJustify);
  inner->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_FALSE(inner->ParentBiDiMode());
  EXPECT_EQ(leaf->BiDiMode(), bdRightToLeftReadingOnly);
  outer->SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(inner->BiDiMode(), bdRightToLeftReadingOnly); // its own now
  inner->SetParentBiDiMode(true);
  EXPECT_EQ(inner->BiDiMode(), bdLeftToRight);
  EXPECT_EQ(leaf->BiDiMode(), bdLeftToRight);
  // A control put into a right-to-left parent takes its mode.
  auto* late = new TGraphicControl(&owner);
  outer->SetBiDiMode(bdRightToLeftNoAlign);
  late->SetParent(outer);
  EXPECT_EQ(late->BiDiMode(), bdRightToLeftNoAlign);
}

class DockSites : public ::testing::Test {
protected:
  void SetUp() override {
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(50, 50, 400, 300);
    site = new TCustomControl(owner.get());
    site->SetParent(form);
    site->SetBounds(10, 10, 200, 212);
    site->SetUseDockManager(true);
    site->SetDockSite(true);
    for (auto*& c : clients) {
      c = new TCustomControl(owner.get());
      c->SetParent(form);
      c->SetBounds(200, 10, 160, 40);
      c->SetDragKind(dkDock);
    }
    form->Show();
    testsupport::PumpFor(30);
  }
  void TearDown() override { owner.reset(); }
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
  TCustomControl* site = nullptr;
  TCustomControl* clients[3] = {};
};

TEST_F(DockSites, TreeStacksTheVisibleControlsUnderGrabbers) {
  ASSERT_NE(site->DockManager(), nullptr);
  EXPECT_TRUE(site->DoubleBuffered());
  TDockTree* tree = site->DockManager();
  int g = tree->GrabberSize();
  clients[0]->ManualDock(site);
  EXPECT_EQ(clients[0]->BoundsRect(), TRect(0, g, 200, 212));
  clients[1]->ManualDock(site);
  // Docked above the first one.
  clients[2]->ManualDock(site, clients[0], alTop);
  ASSERT_EQ(tree->ZoneCount(), 3);
  EXPECT_EQ(tree->ZoneControl(0), clients[2]);
  EXPECT_EQ(site->DockClientCount(), 3);
  EXPECT_EQ(clients[2]->BoundsRect(), TRect(0, g, 200, 70));
  EXPECT_EQ(clients[0]->BoundsRect(), TRect(0, 70 + g, 200, 141));
  EXPECT_EQ(clients[1]->BoundsRect(), TRect(0, 141 + g, 200, 212));
  // A hidden control gives its room to the others.
  clients[0]->Hide();
  EXPECT_EQ(clients[2]->BoundsRect(), TRect(0, g, 200, 106));
  EXPECT_EQ(clients[1]->BoundsRect(), TRect(0, 106 + g, 200, 212));
  TControl* hit = nullptr;
  EXPECT_EQ(tree->HitTest(TPoint(50, 106 + 3), hit), HTCAPTION);
  EXPECT_EQ(hit, clients[1]);
  EXPECT_EQ(tree->HitTest(TPoint(200 - 8, 5), hit), HTCLOSE);
  EXPECT_EQ(hit, clients[2]);
  // A docked control that goes leaves the tree.
  delete clients[2];
  clients[2] = nullptr;
  EXPECT_EQ(tree->ZoneCount(), 2);
  EXPECT_EQ(site->DockClientCount(), 2);
  EXPECT_EQ(clients[1]->BoundsRect(), TRect(0, g, 200, 212));
}

TEST_F(DockSites, PressWithoutMovingOrCancelledDragChangesNothing) {
  clients[0]->ManualDock(site);
  int g = site->DockManager()->GrabberSize();
  // A press on the grabber starts a drag that waits for the mouse to move.
  site->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, g / 2));
  ASSERT_TRUE(TControl::DockDragging());
  HWND tracker = GetCapture();
  ASSERT_NE(tracker, nullptr);
  SendMessageW(tracker, WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(TControl::DockDragging());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(clients[0]->HostDockSite(), site);
  // A control that drags itself; losing the capture cancels the drag.
  clients[1]->SetDragMode(dmAutomatic);
  clients[1]->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_TRUE(TControl::DockDragging());
  ReleaseCapture();
  EXPECT_FALSE(TControl::DockDragging());
  EXPECT_EQ(clients[1]->HostDockSite(), nullptr);
  EXPECT_EQ(clients[1]->Parent(), form);
  // A press elsewhere in the site is the site's own.
  site->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, g + 20));
  EXPECT_FALSE(TControl::DockDragging());
  site->Perform(WM_LBUTTONUP, 0, MAKELPARAM(30, g + 20));
}

TEST_F(DockSites, FloatingAndDockingBack) {
  clients[0]->ManualDock(site);
  clients[1]->ManualDock(site);
  clients[0]->ManualDock(nullptr); // floats at its place, at its size before docking
  TWinControl* floating = clients[0]->FloatingDockForm();
  ASSERT_NE(floating, nullptr);
  EXPECT_EQ(clients[0]->Parent(), floating);
  EXPECT_EQ(clients[0]->HostDockSite(), nullptr);
  EXPECT_EQ(floating->ClientWidth(), 160);
  EXPECT_EQ(floating->ClientHeight(), 40);
  EXPECT_EQ(site->DockClientCount(), 1);
  EXPECT_EQ(clients[1]->BoundsRect(), TRect(0, site->DockManager()->GrabberSize(), 200, 212));
  HWND floatingWnd = floating->Handle();
  clients[0]->ManualDock(site);
  EXPECT_FALSE(IsWindow(floatingWnd)); // the empty floating window is gone
  EXPECT_EQ(site->DockClientCount(), 2);
  // A floating control that goes takes its window with it.
  clients[1]->ManualFloat(Bounds(300, 300, 90, 50));
  floatingWnd = clients[1]->FloatingDockForm()->Handle();
  delete clients[1];
  clients[1] = nullptr;
  EXPECT_FALSE(IsWindow(floatingWnd));
}

} // namespace
