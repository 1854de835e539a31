// The image-grid menu on real windows: the grid layout and window size, the
// keys that walk the grid and choose, the order of the close events, the
// application message hook that it chains and gives back, the timed fade-in
// and pictures in the default look and the skin.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "skin/SkinMenus.h"
#include "tests/skin/SkinShotTest.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"

namespace {

using namespace skintest;
using testsupport::PumpUntil;

struct TGridFixture {
  explicit TGridFixture(int Entries = 12, int Columns = 5) {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(60, 60, 300, 200);
    form->Show();
    images = ColourImages();
    menu = new TskSkinImagesMenu(form.get());
    menu->SetImages(images.get());
    menu->SetColumnsCount(Columns);
    for (int i = 0; i < Entries; ++i)
      menu->ImagesItems()->Add()->ImageIndex = i % 12;
  }
  TskImagesMenuItem* Item(int i) { return menu->ImagesItems()->Items(i); }
  TskSkinImagesMenuPopupWindow* Window() { return menu->PopupWindow(); }
  // Opens below a 20-pixel opener at the form's client top-left.
  void Open() {
    // The grid follows the real pointer: keep it off the window.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    TPoint p = form->ClientToScreen(TPoint(10, 10));
    menu->Popup(TRect(p.X, p.Y, p.X + 20, p.Y + 20));
    ASSERT_NE(Window(), nullptr);
    ASSERT_TRUE(IsWindowVisible(Window()->Handle()));
  }
  // A key as the application's message loop sees it.
  void Key(WORD vk) {
    PostMessageW(form->Handle(), WM_KEYDOWN, vk, 0);
    Application->ProcessMessages();
  }
  std::unique_ptr<TForm> form;
  std::unique_ptr<TImageList> images;
  TskSkinImagesMenu* menu;
};

TEST(SkinImagesMenu, TwelveEntriesInFiveColumnsMakeA140By90Window) {
  TGridFixture f;
  f.Open();
  EXPECT_EQ(f.Window()->Width(), 140);
  EXPECT_EQ(f.Window()->Height(), 90);
  // Rows of 5, 5 and 2 cells of 26 x 26, one pixel apart.
  for (int i = 0; i < 12; ++i) {
    TRect r = f.Item(i)->ItemRect;
    EXPECT_EQ(r.Left, 5 + (i % 5) * 26) << i;
    EXPECT_EQ(r.Top, 5 + (i / 5) * 27) << i;
    EXPECT_EQ(r.Width(), 26) << i;
    EXPECT_EQ(r.Height(), 26) << i;
  }
  f.menu->CloseMenu(false);
}

TEST(SkinImagesMenu, ButtonAndHeaderRowsSpanTheGrid) {
  struct Case {
    const char* name;
    std::vector<char> kinds; // c cell, b button row, h header row
    std::vector<TRect> rects;
    int height;
  };
  const Case cases[] = {
      {"button after two cells",
       {'c', 'c', 'b', 'c'},
       {TRect(5, 5, 31, 31), TRect(31, 5, 57, 31), TRect(5, 32, 83, 58), TRect(5, 59, 31, 85)},
       90},
      {"header first",
       {'h', 'c', 'c', 'c', 'c'},
       {TRect(5, 5, 83, 31), TRect(5, 32, 31, 58), TRect(31, 32, 57, 58), TRect(57, 32, 83, 58),
        TRect(5, 59, 31, 85)},
       90},
      {"full row then button",
       {'c', 'c', 'c', 'b'},
       {TRect(5, 5, 31, 31), TRect(31, 5, 57, 31), TRect(57, 5, 83, 31), TRect(5, 32, 83, 58)},
       63},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TGridFixture f(0, 3);
    for (char k : c.kinds) {
      TskImagesMenuItem* it = f.menu->ImagesItems()->Add();
      it->ImageIndex = 1;
      it->Button = k == 'b';
      it->Header = k == 'h';
      it->Caption = L"Row";
    }
    f.Open();
    for (size_t i = 0; i < c.rects.size(); ++i) {
      TRect r = f.Item(static_cast<int>(i))->ItemRect;
      EXPECT_EQ(r.Left, c.rects[i].Left) << i;
      EXPECT_EQ(r.Top, c.rects[i].Top) << i;
      EXPECT_EQ(r.Right, c.rects[i].Right) << i;
      EXPECT_EQ(r.Bottom, c.rects[i].Bottom) << i;
    }
    EXPECT_EQ(f.Window()->Width(), 88);
    EXPECT_EQ(f.Window()->Height(), c.height);
    f.menu->CloseMenu(false);
  }
}

TEST(SkinImagesMenu, ColumnsCountTakesOnlyOneToFifty) {
  TskSkinImagesMenu m(nullptr);
  EXPECT_EQ(m.ColumnsCount(), 1);
  for (int v : {0, 51, -3}) {
    m.SetColumnsCount(v);
    EXPECT_EQ(m.ColumnsCount(), 1) << v;
  }
  m.SetColumnsCount(50);
  EXPECT_EQ(m.ColumnsCount(), 50);
}

TEST(SkinImagesMenu, WithoutImagesPopupOnlyReports) {
  TGridFixture f;
  int popups = 0;
  f.menu->OnMenuPopup = [&](TObject*) { ++popups; };
  TImageList empty(nullptr);
  f.menu->SetImages(&empty);
  f.menu->Popup(TRect(10, 10, 20, 20));
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(f.menu->PopupWindow(), nullptr);
  f.menu->SetImages(nullptr);
  f.menu->Popup(TRect(10, 10, 20, 20));
  EXPECT_EQ(popups, 2);
  EXPECT_EQ(f.menu->PopupWindow(), nullptr);
}

TEST(SkinImagesMenu, KeysWalkTheGridAndWrap) {
  TGridFixture f;
  f.Item(0)->Header = true;
  f.Item(0)->Caption = L"Colours";
  f.Open();
  struct Step {
    WORD key;
    int hot;
  };
  // Header row, then cells 1-5, 6-10 and 11; Down from 7 finds no cell
  // below it, Up from 2 none above it.
  const Step steps[] = {{VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_DOWN, 7}, {VK_DOWN, 7},
                        {VK_UP, 2},    {VK_UP, 2},    {VK_LEFT, 1}, {VK_LEFT, 11},
                        {VK_RIGHT, 1}, {VK_LEFT, 11}, {VK_DOWN, 11}};
  int n = 0;
  for (const Step& s : steps) {
    f.Key(s.key);
    ASSERT_NE(f.Window(), nullptr);
    EXPECT_EQ(f.Window()->HotIndex(), s.hot) << "step " << n;
    ++n;
  }
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.Window(), nullptr);
  EXPECT_EQ(f.menu->ItemIndex, -1);
}

TEST(SkinImagesMenu, EnterChoosesAndEventsFollowInOrder) {
  TGridFixture f;
  std::vector<std::string> seen;
  f.menu->OnInternalMenuClose = [&](TObject* s) {
    EXPECT_EQ(s, f.menu);
    seen.push_back("internal close");
  };
  f.menu->OnMenuClose = [&](TObject*) { seen.push_back("close"); };
  f.menu->OnItemClick = [&](TObject*) { seen.push_back("item click"); };
  f.menu->OnInternalChange = [&](TObject*) { seen.push_back("internal change"); };
  f.menu->OnChange = [&](TObject*) { seen.push_back("change"); };
  f.Item(3)->OnClick = [&](TObject* s) {
    EXPECT_EQ(s, f.menu);
    seen.push_back("entry click");
  };
  f.Open();
  for (int i = 0; i < 4; ++i)
    f.Key(VK_RIGHT);
  f.Key(VK_RETURN);
  EXPECT_EQ(f.Window(), nullptr);
  EXPECT_EQ(f.menu->ItemIndex, 3);
  EXPECT_EQ(seen, (std::vector<std::string>{"internal close", "close", "entry click", "item click",
                                            "internal change", "change"}));
  // The same entry again: clicks, no change.
  seen.clear();
  f.Open();
  f.Window()->SetHotIndex(3);
  f.Key(VK_SPACE);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"internal close", "close", "entry click", "item click"}));
  // Esc: closes only.
  seen.clear();
  f.Open();
  f.Key(VK_LEFT);
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.menu->ItemIndex, 3);
  EXPECT_EQ(seen, (std::vector<std::string>{"internal close", "close"}));
}

TEST(SkinImagesMenu, MessageHookChainsAndIsGivenBack) {
  TGridFixture f;
  int earlier = 0;
  Application->OnMessage = [&](MSG& m, bool&) {
    if (m.message == WM_APP + 7) ++earlier;
  };
  f.Open();
  PostMessageW(f.form->Handle(), WM_APP + 7, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(earlier, 1) << "the hook passes messages on to the handler it replaced";
  // A closing message ends the menu and gives the handler back.
  PostMessageW(f.form->Handle(), WM_CANCELMODE, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(f.Window(), nullptr);
  PostMessageW(f.form->Handle(), WM_APP + 7, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(earlier, 2);
  Application->OnMessage = nullptr;
}

TEST(SkinImagesMenu, SecondMenuClosesTheFirst) {
  TGridFixture f;
  auto* other = new TskSkinImagesMenu(f.form.get());
  other->SetImages(f.images.get());
  for (int i = 0; i < 3; ++i)
    other->ImagesItems()->Add()->ImageIndex = i;
  int firstCloses = 0;
  f.menu->OnMenuClose = [&](TObject*) { ++firstCloses; };
  f.Open();
  other->Popup(TRect(200, 100, 220, 120));
  EXPECT_EQ(f.Window(), nullptr);
  EXPECT_EQ(firstCloses, 1);
  ASSERT_NE(other->PopupWindow(), nullptr);
  f.Key(VK_RIGHT);
  EXPECT_EQ(other->PopupWindow()->HotIndex(), 0);
  f.Key(VK_ESCAPE);
  EXPECT_EQ(other->PopupWindow(), nullptr);
}

TEST(SkinImagesMenu, ClosedWindowIsFreedAfterItsHandlerReturns) {
  TGridFixture f;
  f.Open();
  HWND h = f.Window()->Handle();
  // The window closes from its own key handling and lives until that returns.
  bool aliveInEvent = false;
  f.menu->OnMenuClose = [&](TObject*) { aliveInEvent = IsWindow(h) != 0; };
  f.Key(VK_ESCAPE);
  EXPECT_TRUE(aliveInEvent);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(h); }, 2000));
  // Reopening from the close event works.
  f.menu->OnMenuClose = [&](TObject*) {
    if (f.menu->ItemIndex == 0) f.menu->Popup(TRect(100, 100, 120, 120));
  };
  f.Open();
  f.Key(VK_RIGHT);
  f.Key(VK_RETURN);
  ASSERT_NE(f.Window(), nullptr);
  EXPECT_TRUE(IsWindowVisible(f.Window()->Handle()));
  f.menu->OnMenuClose = nullptr;
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.Window(), nullptr);
}

TEST(SkinImagesMenu, FadeInStopsAtTheAlphaValue) {
  for (int value : {200, 250, 255}) {
    SCOPED_TRACE(value);
    TGridFixture f;
    f.menu->AlphaBlend = true;
    f.menu->AlphaBlendAnimation = true;
    f.menu->AlphaBlendValue = static_cast<BYTE>(value);
    f.Open();
    TskSkinImagesMenuPopupWindow* w = f.Window();
    ASSERT_NE(w->FadeTimer(), nullptr);
    EXPECT_EQ(w->Alpha(), 0);
    int ticks = 0;
    while (w->FadeTimer()->Enabled() && ticks < 100) {
      w->FadeTick();
      ++ticks;
      ASSERT_LE(w->Alpha(), value);
    }
    EXPECT_EQ(w->Alpha(), value);
    EXPECT_EQ(ticks, (value + 9) / 10);
    f.menu->CloseMenu(false);
  }
}

TEST(SkinImagesMenu, PicturesInBothLooks) {
  for (SkinKind k : {kNone, kAlt}) {
    SCOPED_TRACE(SkinName(k));
    auto skin = MakeSkin(k);
    TGridFixture f(0, 5);
    TskImagesMenuItem* h = f.menu->ImagesItems()->Add();
    h->Header = true;
    h->Caption = L"Marker colours";
    for (int i = 0; i < 10; ++i)
      f.menu->ImagesItems()->Add()->ImageIndex = i;
    TskImagesMenuItem* b = f.menu->ImagesItems()->Add();
    b->Button = true;
    b->ImageIndex = 11;
    b->Caption = L"More colours...";
    if (k != kNone) f.menu->SetSkinData(skin.get());
    f.menu->ItemIndex = 3;
    f.Open();
    TskSkinImagesMenuPopupWindow* w = f.Window();
    EXPECT_EQ(w->Skinned(), k != kNone);
    w->SetHotIndex(7);
    TDibShot shot(w->Width(), w->Height());
    w->PaintWindow(shot.DC());
    EXPECT_TRUE(shot.Save(std::wstring(L"skin_images_menu_") + (k == kNone ? L"default" : L"alt") +
                          L".png"));
    if (k == kNone) {
      // Frame and window colour; the selected cell pressed, the hot one hover.
      EXPECT_EQ(shot.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
      EXPECT_EQ(shot.At(2, 2), GetSysColor(COLOR_WINDOW));
      TRect sel = f.Item(3)->ItemRect, hot = f.Item(7)->ItemRect;
      EXPECT_EQ(shot.At(sel.Left, sel.Top), 0x800000u);
      EXPECT_EQ(shot.At(sel.Left + 2, sel.Top + 2), 0xB59385u);
      EXPECT_EQ(shot.At(hot.Left + 2, hot.Top + 2), 0xD2BDB6u);
      // Image 4 (a square) of entry 5 at left + 5, top + 5.
      TRect c = f.Item(5)->ItemRect;
      EXPECT_EQ(shot.At(c.Left + 5 + 8, c.Top + 5 + 8), RGB(42, 161, 152));
    }
    f.menu->CloseMenu(false);
  }
}

TEST(SkinImagesMenuInput, ClickChoosesAndAClickElsewhereCloses) {
  TGridFixture f;
  testsupport::ForceForeground(f.form->Handle());
  int clicks = 0;
  f.menu->OnItemClick = [&](TObject*) { ++clicks; };
  f.Open();
  HWND h = f.Window()->Handle();
  TRect r = f.Item(6)->ItemRect;
  MouseToClient(h, r.Left + 13, r.Top + 13);
  EXPECT_TRUE(PumpUntil([&] { return f.Window() && f.Window()->HotIndex() == 6; }, 2000));
  MouseButton(true);
  ASSERT_NE(f.Window(), nullptr);
  EXPECT_TRUE(f.Window()->Pressing());
  MouseButton(false);
  EXPECT_TRUE(PumpUntil([&] { return f.Window() == nullptr; }, 2000));
  EXPECT_EQ(f.menu->ItemIndex, 6);
  EXPECT_EQ(clicks, 1);
  // A press on the form closes the menu without a choice.
  f.Open();
  MouseToClient(f.form->Handle(), 260, 150);
  MouseButton(true);
  MouseButton(false);
  EXPECT_TRUE(PumpUntil([&] { return f.Window() == nullptr; }, 2000));
  EXPECT_EQ(f.menu->ItemIndex, 6);
  EXPECT_EQ(clicks, 1);
}

} // namespace
