#include <gtest/gtest.h>

#include <vector>

#include "lookandfeel/lfLookAndFeels.h"
#include "lookandfeel/lxOffice11.h"
#include "lookandfeel/lxThemeManager.h"
#include "lookandfeel/lxUxTheme.h"
#include "tests/lookandfeel/ThemeStandIn.h"

namespace {

char gPainterTags[6];
TlfLookAndFeelPainterClass Tag(int i) {
  return reinterpret_cast<TlfLookAndFeelPainterClass>(&gPainterTags[i]);
}

// The units the settings need, with stand-in painter classes.
class LookAndFeels : public testing::Test {
protected:
  void SetUp() override {
    lfRegisterPainterClasses(Tag(0), Tag(1), Tag(2), Tag(3), Tag(4));
    lxUxThemeInitialize();
    lxThemeManagerInitialize();
    lfLookAndFeelsInitialize();
    ASSERT_NE(GetRootLookAndFeel(), nullptr);
  }
  void TearDown() override {
    lfLookAndFeelsFinalize();
    lxThemeManagerFinalize();
    lxUxThemeFinalize();
    lfExtendedStyleRegistry() = {};
    EXPECT_EQ(lfSystemPaletteChangedListener(), nullptr);
  }
};

struct Recorder : ILookAndFeelChangeListener {
  TObject* ListenerObject() override { return nullptr; }
  void MasterChanged(TlfLookAndFeel*, TlfLookAndFeelValues v) override {
    calls.push_back(v);
    if (onChange) onChange();
  }
  void MasterDestroying(TlfLookAndFeel*) override { ++destroying; }
  std::vector<TlfLookAndFeelValues> calls;
  std::function<void()> onChange;
  int destroying = 0;
};

} // namespace

TEST_F(LookAndFeels, RootDefaultsAndUltraFlatPainter) {
  TlfLookAndFeel* root = GetRootLookAndFeel();
  EXPECT_TRUE(root->IsRoot());
  EXPECT_EQ(root->Kind(), lfUltraFlat);
  EXPECT_FALSE(root->NativeStyle());
  EXPECT_EQ(root->SkinName(), L"");
  EXPECT_EQ(root->Painter(), Tag(lfUltraFlat));
  EXPECT_EQ(root->Master(), nullptr);
  EXPECT_EQ(ClassGroupOf(L"TlfLookAndFeelController"), L"TForm");
  EXPECT_EQ(lfSystemPaletteChangedNotifierCount(), 1);
  EXPECT_GT(Office11ColorsUserCount(), 0);
}

TEST_F(LookAndFeels, ChildFollowsTheRoot) {
  TlfLookAndFeel child(nullptr);
  Recorder r;
  child.AttachListener(&r);
  EXPECT_EQ(child.Master(), GetRootLookAndFeel());
  GetRootLookAndFeel()->SetKind(lfOffice11);
  EXPECT_EQ(child.Kind(), lfOffice11);
  EXPECT_EQ(child.Painter(), Tag(lfOffice11));
  ASSERT_EQ(r.calls.size(), 1u);
  EXPECT_EQ(r.calls[0], lfvKindBit);
  child.DetachListener(&r);
}

TEST_F(LookAndFeels, AssignedKindIgnoresTheRootsKind) {
  TlfLookAndFeel child(nullptr);
  Recorder r;
  child.AttachListener(&r);
  child.SetKind(lfUltraFlat); // same value: assigned, nothing reported
  EXPECT_EQ(child.AssignedValues(), lfvKindBit);
  EXPECT_TRUE(r.calls.empty());
  GetRootLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(child.Kind(), lfUltraFlat);
  EXPECT_TRUE(r.calls.empty());
  GetRootLookAndFeel()->SetNativeStyle(true);
  EXPECT_TRUE(child.NativeStyle());
  ASSERT_EQ(r.calls.size(), 1u);
  EXPECT_EQ(r.calls[0], lfvNativeStyleBit);
  // Without visual styles the kind's painter stays.
  if (!CanUseVisualStyles(0)) EXPECT_EQ(child.Painter(), Tag(lfUltraFlat));
  child.ClearAssignedValues();
  EXPECT_EQ(child.Kind(), lfFlat);
  child.DetachListener(&r);
}

TEST_F(LookAndFeels, MasterChainsAndFallsBackWhenTheMasterGoes) {
  TlfLookAndFeel child(nullptr);
  {
    TlfLookAndFeel master(nullptr);
    master.SetKind(lfStandard);
    child.SetMaster(&master);
    EXPECT_EQ(child.Master(), &master);
    EXPECT_EQ(child.Kind(), lfStandard);
    EXPECT_EQ(master.ListenerCount(), 1);
  }
  EXPECT_EQ(child.Master(), GetRootLookAndFeel());
  EXPECT_EQ(child.Kind(), lfUltraFlat);
  GetRootLookAndFeel()->SetMaster(&child); // the root has no master
  EXPECT_EQ(GetRootLookAndFeel()->Master(), nullptr);
}

TEST_F(LookAndFeels, ListenerRemovingItselfDoesNotSkipTheNext) {
  TlfLookAndFeel* root = GetRootLookAndFeel();
  Recorder a, b, c;
  root->AttachListener(&a);
  root->AttachListener(&b);
  root->AttachListener(&c);
  root->AttachListener(&b); // once only
  a.onChange = [&] { root->DetachListener(&a); };
  b.onChange = [&] {
    // Detaching and attaching again while the walk runs ends in one pass.
    root->DetachListener(&c);
    root->AttachListener(&c);
  };
  root->SetKind(lfFlat);
  EXPECT_EQ(a.calls.size(), 1u);
  EXPECT_EQ(b.calls.size(), 1u);
  EXPECT_EQ(c.calls.size(), 1u);
  root->DetachListener(&b);
  root->DetachListener(&c);
}

TEST_F(LookAndFeels, LastControllerResetsTheRoot) {
  TlfLookAndFeel child(nullptr);
  auto* c1 = new TlfLookAndFeelController(nullptr);
  auto* c2 = new TlfLookAndFeelController(nullptr);
  c1->SetKind(lfOffice11);
  c1->SetNativeStyle(true);
  EXPECT_EQ(c2->Kind(), lfOffice11);
  child.AttachListener(c1); // controllers only join the root
  EXPECT_EQ(child.ListenerCount(), 0);
  delete c1;
  EXPECT_EQ(GetRootLookAndFeel()->Kind(), lfOffice11);
  delete c2;
  EXPECT_EQ(GetRootLookAndFeel()->Kind(), lfUltraFlat);
  EXPECT_FALSE(GetRootLookAndFeel()->NativeStyle());
  EXPECT_EQ(GetRootLookAndFeel()->AssignedValues(), 0u);
}

TEST_F(LookAndFeels, SkinPainterFromTheRegistry) {
  std::vector<IPainterChangeListener*> listeners;
  lfExtendedStyleRegistry().FindPainter = [](const std::wstring& n, TlfLookAndFeelPainterClass& p) {
    if (n != L"Blue") return false;
    p = Tag(5);
    return true;
  };
  lfExtendedStyleRegistry().AddPainterListener = [&](IPainterChangeListener* l) {
    if (std::find(listeners.begin(), listeners.end(), l) == listeners.end()) listeners.push_back(l);
  };
  lfExtendedStyleRegistry().RemovePainterListener = [&](IPainterChangeListener* l) {
    listeners.erase(std::remove(listeners.begin(), listeners.end(), l), listeners.end());
  };
  {
    TlfLookAndFeel child(nullptr);
    child.SetSkinName(L"Blue");
    EXPECT_EQ(child.SkinPainter(), Tag(5));
    EXPECT_EQ(child.Painter(), Tag(5));
    EXPECT_EQ(listeners.size(), 1u);
    child.SetSkinName(L"blue"); // names compare case-sensitively: no painter
    EXPECT_EQ(child.Painter(), Tag(lfUltraFlat));
    EXPECT_TRUE(listeners.empty());
    child.SetSkinName(L"Blue");
    lfSkinPaintersAllowed = false;
    child.PainterChanged();
    EXPECT_EQ(child.Painter(), Tag(lfUltraFlat));
    lfSkinPaintersAllowed = true;
  }
  EXPECT_TRUE(listeners.empty());
}

TEST_F(LookAndFeels, SystemColourChangeReachesEveryLookAndFeel) {
  TlfLookAndFeel child(nullptr);
  std::vector<TlfLookAndFeelValues> seen;
  child.OnSettingsChanged = [&](TlfLookAndFeel*, TlfLookAndFeelValues v) { seen.push_back(v); };
  EXPECT_EQ(lfSystemPaletteChangedNotifierCount(), 2);
  int fired = 0;
  {
    TlfSystemPaletteChangedNotifier primary(true);
    primary.OnSystemPaletteChanged = [&] { ++fired; };
    EXPECT_EQ(lfSystemPaletteChangedNotifierCount(), 3);
    SendMessageW(lfSystemPaletteChangedListener()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  }
  EXPECT_EQ(fired, 1);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), lfvNativeStyleBit);
  EXPECT_EQ(lfSystemPaletteChangedNotifierCount(), 2);
}

TEST_F(LookAndFeels, NotifierFreedDuringTheWalkIsNotCalled) {
  auto* second = new TlfSystemPaletteChangedNotifier(true);
  int secondCalls = 0;
  second->OnSystemPaletteChanged = [&] { ++secondCalls; };
  TlfSystemPaletteChangedNotifier first(true); // called first (last added)
  first.OnSystemPaletteChanged = [&] {
    delete second;
    second = nullptr;
  };
  SendMessageW(lfSystemPaletteChangedListener()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(secondCalls, 0);
}

TEST(LookAndFeelsNativeStyle, XPPainterOnceVisualStylesCanBeUsed) {
  themestandin::Library lib;
  if (!lib.loaded) GTEST_SKIP() << "no theme library on this system";
  lfRegisterPainterClasses(Tag(0), Tag(1), Tag(2), Tag(3), Tag(4));
  themestandin::gActive = FALSE;
  SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
  lfLookAndFeelsInitialize();
  {
    TlfLookAndFeel child(nullptr);
    child.SetNativeStyle(true);
    EXPECT_EQ(child.Painter(), Tag(lfUltraFlat)); // visual styles unavailable
    themestandin::gActive = TRUE;
    SendMessageW(ThemeChangedReceiver()->Handle(), WM_THEMECHANGED, 0, 0);
    // The next change (here a system colour change) picks the XP painter.
    SendMessageW(lfSystemPaletteChangedListener()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(child.Painter(), Tag(4));
    EXPECT_EQ(child.ChoosePainter(ThemeClassBit(tcHeader)), Tag(lfUltraFlat)); // cannot open
  }
  lfLookAndFeelsFinalize();
}
