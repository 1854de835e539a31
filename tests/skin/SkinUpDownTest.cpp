// Skinned up-down: button layout, press, repeat and release steps, the range;
// the page control's skinned tab scroller when its tabs overflow.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/ComCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "skin/SkinTabs.h"
#include "skin/SkinUpDown.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

std::unique_ptr<TskSkinData> PanelSkin() {
  return skintest::MakeSkin(skintest::kPanel);
}

std::unique_ptr<TForm> MakeForm(int w = 420, int h = 300) {
  auto f = std::make_unique<TForm>(nullptr);
  f->SetBounds(60, 60, w, h);
  f->AfterConstruction();
  return f;
}

void Down(TWinControl* c, int x, int y) {
  c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void Move(TWinControl* c, int x, int y) {
  c->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
}
void Up(TWinControl* c, int x, int y) {
  c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// A 40 x 20 up-down without skin on a shown form, counting its events.
struct UpDown {
  std::unique_ptr<TForm> form = MakeForm();
  TskSkinUpDown* u = new TskSkinUpDown(form.get());
  int changes = 0, ups = 0, downs = 0;
  explicit UpDown(TUDOrientation o = udHorizontal) {
    u->SetParent(form.get());
    u->SetOrientation(o);
    u->SetBounds(20, 20, 40, 20);
    u->OnChange = [this](TObject*) { ++changes; };
    u->OnUpButtonClick = [this](TObject*) { ++ups; };
    u->OnDownButtonClick = [this](TObject*) { ++downs; };
    form->Show();
  }
};

TEST(SkinUpDown, ButtonHalvesByOrientation) {
  auto form = MakeForm();
  auto* u = new TskSkinUpDown(form.get());
  EXPECT_EQ(u->SkinDataName(), L"hupdown");
  EXPECT_EQ(u->Width(), 25);
  EXPECT_EQ(u->Height(), 50);
  u->SetParent(form.get());
  u->SetBounds(0, 0, 40, 20);
  u->LayoutButtons();
  // Horizontal: the right half steps up.
  EXPECT_EQ(u->ButtonRect(0), TRect(20, 0, 40, 20));
  EXPECT_EQ(u->ButtonRect(1), TRect(0, 0, 20, 20));
  u->SetOrientation(udVertical);
  u->SetBounds(0, 0, 20, 40);
  form->Show();
  EXPECT_EQ(u->ButtonRect(0), TRect(0, 0, 20, 20));
  EXPECT_EQ(u->ButtonRect(1), TRect(0, 20, 20, 40));
}

TEST(SkinUpDown, HeldButtonRepeatsAfter500Every100And50AfterReentry) {
  UpDown t;
  TskSkinUpDown* u = t.u;
  // The pointer comes over the button before it is pressed.
  u->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
  EXPECT_TRUE(u->ButtonMouseIn(0));
  Down(u, 30, 10);
  EXPECT_TRUE(u->ButtonDown(0));
  EXPECT_EQ(u->Position(), 0);
  EXPECT_EQ(u->TimerInterval(), 500u);
  u->TimerTick(); // the first tick only shortens the interval
  EXPECT_EQ(u->Position(), 0);
  EXPECT_EQ(u->TimerInterval(), 100u);
  u->TimerTick();
  u->TimerTick();
  EXPECT_EQ(u->Position(), 2);
  // The other button does not become current while one is held; the repeat
  // pauses off the button and goes on at 50 ms back on it.
  Move(u, 5, 10);
  EXPECT_EQ(u->TimerInterval(), 0u);
  EXPECT_FALSE(u->ButtonMouseIn(1));
  EXPECT_FALSE(u->ButtonMouseIn(0));
  Move(u, 30, 10);
  EXPECT_EQ(u->TimerInterval(), 50u);
  u->TimerTick();
  EXPECT_EQ(u->Position(), 3);
  // The release steps once more and reports the click.
  Up(u, 30, 10);
  EXPECT_EQ(u->TimerInterval(), 0u);
  EXPECT_EQ(u->Position(), 4);
  EXPECT_EQ(t.changes, 4);
  EXPECT_EQ(t.ups, 1);
  EXPECT_FALSE(u->ButtonDown(0));
  EXPECT_TRUE(u->ButtonMouseIn(0));
  // A click on the down button steps once, at the release.
  Down(u, 5, 10);
  EXPECT_EQ(u->Position(), 4);
  Up(u, 5, 10);
  EXPECT_EQ(u->Position(), 3);
  EXPECT_EQ(t.downs, 1);
  // Released off the button, it steps as well and loses the highlight.
  Down(u, 5, 10);
  Move(u, 30, 10);
  Up(u, 30, 10);
  EXPECT_EQ(u->Position(), 2);
  EXPECT_FALSE(u->ButtonMouseIn(1));
}

TEST(SkinUpDown, RangeAndIncrement) {
  UpDown t;
  TskSkinUpDown* u = t.u;
  // Values outside the range are ignored; the range drags the position along
  // without an event.
  u->SetPosition(50);
  EXPECT_EQ(t.changes, 1);
  u->SetPosition(101);
  u->SetPosition(-1);
  EXPECT_EQ(u->Position(), 50);
  u->SetMax(10);
  EXPECT_EQ(u->Position(), 10);
  u->SetMin(20);
  EXPECT_EQ(u->Position(), 20);
  EXPECT_EQ(t.changes, 1);
  // At the top the held up button steps nothing; the release still clicks.
  u->SetMin(0);
  u->SetMax(100);
  u->SetPosition(100);
  t.changes = 0;
  Down(u, 30, 10);
  u->TimerTick();
  u->TimerTick();
  Up(u, 30, 10);
  EXPECT_EQ(u->Position(), 100);
  EXPECT_EQ(t.changes, 0);
  EXPECT_EQ(t.ups, 1);
  // Increment 0: no timer, no step, the click events still come.
  u->SetIncrement(0);
  Down(u, 5, 10);
  EXPECT_EQ(u->TimerInterval(), 0u);
  Up(u, 5, 10);
  EXPECT_EQ(u->Position(), 100);
  EXPECT_EQ(t.downs, 1);
  // Increment 5 steps by 5.
  u->SetIncrement(5);
  Down(u, 5, 10);
  Up(u, 5, 10);
  EXPECT_EQ(u->Position(), 95);
}

// The repeat in real time: nothing before 500 ms, then steps 100 ms apart.
TEST(SkinUpDownInput, HeldButtonRepeatsInRealTime) {
  UpDown t;
  TskSkinUpDown* u = t.u;
  // The held button follows the real pointer: put it on the button first.
  POINT onButton{30, 10};
  ClientToScreen(u->Handle(), &onButton);
  SetCursorPos(onButton.x, onButton.y);
  PumpFor(100);
  Down(u, 30, 10);
  DWORD pressed = GetTickCount();
  PumpFor(450);
  EXPECT_EQ(u->Position(), 0);
  ASSERT_TRUE(PumpUntil([&] { return u->Position() >= 1; }, 3000));
  DWORD first = GetTickCount();
  EXPECT_GE(first - pressed, 590u);
  ASSERT_TRUE(PumpUntil([&] { return u->Position() >= 5; }, 5000));
  // Four more steps take at least four intervals (timers are never early).
  EXPECT_GE(GetTickCount() - first, 380u);
  Up(u, 30, 10);
  int p = u->Position();
  PumpFor(250);
  EXPECT_EQ(u->Position(), p);
}

TEST(SkinUpDown, SkinSizeAndHotButtonPictures) {
  auto skin = PanelSkin();
  UpDown t;
  TskSkinUpDown* u = t.u;
  u->SetSkinData(skin.get());
  // The skin's own size and button rectangles.
  EXPECT_EQ(u->Width(), 36);
  EXPECT_EQ(u->Height(), 18);
  EXPECT_EQ(u->ButtonRect(0), TRect(18, 0, 36, 18));
  EXPECT_EQ(u->ButtonRect(1), TRect(0, 0, 18, 18));
  Down(u, 27, 9);
  Up(u, 27, 9);
  EXPECT_EQ(u->Position(), 1);
  // Without the skin size it keeps its own size and halves.
  u->SetUseSkinSize(false);
  u->SetBounds(20, 20, 60, 24);
  EXPECT_EQ(u->Width(), 60);
  EXPECT_EQ(u->ButtonRect(0), TRect(30, 0, 60, 24));
  // The vertical description.
  u->SetUseSkinSize(true);
  u->SetSkinDataName(L"vupdown");
  u->SetOrientation(udVertical);
  u->ApplyControlSkin();
  EXPECT_EQ(u->Width(), 18);
  EXPECT_EQ(u->Height(), 36);
  EXPECT_EQ(u->ButtonRect(1), TRect(0, 18, 18, 36));
}

// Keeps its hot button while the real pointer is elsewhere on the display.
class TStillUpDown : public TskSkinUpDown {
public:
  using TskSkinUpDown::TskSkinUpDown;

protected:
  void CMMouseLeave(TMessage&) override {}
};

TEST(SkinUpDownPicture, DefaultAndSkinLooks) {
  auto skin = PanelSkin();
  auto form = MakeForm(300, 180);
  form->SetCaption(L"Up-down");
  struct Case {
    TUDOrientation o;
    bool skinned, useSkinSize;
    int x, w, h;
    int hot; // button under the mouse, -1 none
    bool pressed;
  } cases[] = {{udHorizontal, false, true, 10, 40, 20, -1, false},
               {udHorizontal, false, true, 60, 40, 20, 0, false},
               {udHorizontal, false, true, 110, 40, 20, 1, true},
               {udVertical, false, true, 160, 20, 40, 0, true},
               {udHorizontal, true, true, 10, 40, 20, 0, false},
               {udVertical, true, true, 60, 20, 40, 1, true},
               {udHorizontal, true, false, 110, 60, 24, 0, true},
               {udVertical, true, false, 180, 24, 60, -1, false}};
  std::vector<TskSkinUpDown*> all;
  for (const Case& s : cases) {
    auto* u = new TStillUpDown(form.get());
    u->SetParent(form.get());
    u->SetOrientation(s.o);
    u->SetSkinDataName(s.o == udVertical ? L"vupdown" : L"hupdown");
    u->SetUseSkinSize(s.useSkinSize);
    u->SetBounds(s.x, s.skinned ? 70 : 10, s.w, s.h);
    if (s.skinned) u->SetSkinData(skin.get());
    all.push_back(u);
  }
  form->Show();
  // The pressed ones first: a move over another control takes the hover
  // from the last one.
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 0; i < all.size(); ++i) {
      const Case& s = cases[i];
      if (s.hot < 0 || s.pressed != (pass == 0)) continue;
      TRect r = all[i]->ButtonRect(s.hot);
      int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
      all[i]->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
      if (s.pressed) Down(all[i], x, y);
    }
  PumpFor(150);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"skin_updown.png"));
  for (TskSkinUpDown* u : all)
    Up(u, 0, 0);
}

// A page control with more tabs than fit.
struct Tabs {
  std::unique_ptr<TForm> form = MakeForm(420, 240);
  TskSkinPageControl* pc = new TskSkinPageControl(form.get());
  explicit Tabs(int count = 10) {
    pc->SetParent(form.get());
    pc->SetBounds(10, 10, 300, 180);
    for (int i = 0; i < count; ++i) {
      auto* s = new TTabSheet(form.get());
      s->SetCaption(L"Recording " + std::to_wstring(i + 1));
      s->SetPageControl(pc);
    }
    form->Show();
  }
};

TEST(SkinTabs, OverflowingTabsGetTheSkinnedScroller) {
  Tabs t;
  TskSkinPageControl* pc = t.pc;
  pc->ApplyPageControlSkin();
  // The native scroller is gone and the skinned one stands at the top right,
  // two tab heights wide.
  EXPECT_EQ(FindWindowExA(pc->Handle(), nullptr, "msctls_updown32", nullptr), nullptr);
  TskSkinUpDown* u = pc->UpDown();
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->BoundsRect(), TRect(300 - 40, 0, 300, 20));
  int hidden = pc->GetHiddenTabCount();
  EXPECT_GT(hidden, 0);
  EXPECT_EQ(u->Max(), hidden);
  EXPECT_EQ(u->Position(), 0);
  EXPECT_EQ(pc->GetFirstShownTab(), 0);
  // Tabs without a skin are as high as the default tab height.
  RECT r = pc->TabRect(1);
  EXPECT_EQ(r.bottom - r.top, 20);
  // The up button scrolls the row by one tab.
  Down(u, 30, 10);
  Up(u, 30, 10);
  EXPECT_EQ(u->Position(), 1);
  EXPECT_EQ(pc->GetFirstShownTab(), 1);
  EXPECT_LE(pc->TabRect(0).right, 0);
  Down(u, 30, 10);
  Up(u, 30, 10);
  EXPECT_EQ(pc->GetFirstShownTab(), 2);
  Down(u, 5, 10);
  Up(u, 5, 10);
  EXPECT_EQ(pc->GetFirstShownTab(), 1);
  // Choosing a tab brings the scroller's position to the first shown tab.
  pc->SetActivePageIndex(9);
  NMHDR n{pc->Handle(), 0, TCN_SELCHANGE};
  pc->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  EXPECT_GT(pc->GetFirstShownTab(), 1);
  EXPECT_EQ(u->Position(), pc->GetFirstShownTab());
  EXPECT_EQ(u->Max(), pc->GetHiddenTabCount());
  // Wide enough for every tab, the scroller goes.
  pc->SetBounds(10, 10, 1400, 180);
  EXPECT_EQ(pc->GetHiddenTabCount(), 0);
  EXPECT_EQ(pc->UpDown(), nullptr);
}

TEST(SkinTabs, SkinSetsTabHeightFontAndScrollerLook) {
  auto skin = PanelSkin();
  Tabs t;
  TskSkinPageControl* pc = t.pc;
  pc->SetTabPosition(tpBottom);
  pc->SetSkinData(skin.get());
  EXPECT_GE(pc->EntryIndex(), 0);
  EXPECT_EQ(pc->Font()->Name(), L"Tahoma");
  EXPECT_EQ(pc->Font()->Height(), 15);
  RECT r = pc->TabRect(1);
  EXPECT_EQ(r.bottom - r.top, 22);
  TskSkinUpDown* u = pc->UpDown();
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->SkinDataName(), L"hupdown");
  EXPECT_EQ(u->SkinData(), skin.get());
  // The skin's size, at the bottom right for tabs at the bottom.
  EXPECT_EQ(u->BoundsRect(), TRect(300 - 36, 180 - 18, 300, 180));
  // The control's own tab height wins over the skin's.
  pc->SetTabHeight(26);
  pc->ApplyPageControlSkin();
  r = pc->TabRect(1);
  EXPECT_EQ(r.bottom - r.top, 26);
  // Without the skin font the default font.
  pc->SetUseSkinFont(false);
  pc->ApplyPageControlSkin();
  EXPECT_EQ(pc->Font()->Name(), L"Arial");
  EXPECT_EQ(pc->Font()->Height(), 14);
}

TEST(SkinTabs, CloseButtonsWidenTheImagesOnce) {
  auto skin = PanelSkin();
  Tabs t(3);
  TskSkinPageControl* pc = t.pc;
  auto* il = new TImageList(t.form.get());
  il->SetWidth(16);
  il->SetHeight(16);
  pc->SetImages(il);
  pc->SetCloseButtons(true);
  pc->ApplyPageControlSkin();
  EXPECT_EQ(il->Width(), 16 + 14);
  // The skin's close button is 12 wide: the list is as wide as the images
  // plus that, however often the skin is applied.
  pc->SetSkinData(skin.get());
  pc->ApplyPageControlSkin();
  EXPECT_EQ(il->Width(), 16 + 12);
  EXPECT_EQ(pc->CloseSize(), 12);
  // A few tabs fit: no scroller.
  EXPECT_EQ(pc->UpDown(), nullptr);
}

TEST(SkinTabs, SkinnedFormAppliesTheSkinToPageControls) {
  auto skin = PanelSkin();
  Tabs t;
  auto* sf = new TskSkinnedForm(t.form.get());
  (void)sf;
  t.pc->SetSkinData(skin.get());
  t.pc->Font()->SetName(L"Courier New");
  SendMessageW(t.form->Handle(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(skin.get()),
               SKIN_MESSAGE_LPARAM);
  EXPECT_EQ(t.pc->Font()->Name(), L"Tahoma");
}

} // namespace
