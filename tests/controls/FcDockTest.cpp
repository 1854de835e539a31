// Framed panels as dock sites: two panels docked one below the other behind
// 14-pixel grabbers with their captions and close glyphs, the close glyph
// hiding one, and a docked panel dragged by its grabber into another site
// and out into a floating window with the real mouse.
#include <gtest/gtest.h>

#include <memory>

#include "controls/FcPanel.h"
#include "framework/Forms.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

void MouseMoveTo(int x, int y) {
  SetCursorPos(x, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &in, sizeof(INPUT));
}

void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof(INPUT));
}

class Docking : public ::testing::Test {
protected:
  void SetUp() override {
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(60, 60, 560, 340);
    form->SetCaption(L"Docking");
    site = MakeSite(10);
    other = MakeSite(290);
    alpha = MakeClient(L"Alpha", clWhite);
    beta = MakeClient(L"Beta", clYellow);
    form->Show();
    testsupport::ForceForeground(form->Handle());
    alpha->ManualDock(site);
    beta->ManualDock(site);
    PumpFor(50);
  }
  void TearDown() override {
    MouseButton(false);
    owner.reset();
  }
  TFcPanel* MakeSite(int left) {
    auto* p = new TFcPanel(owner.get());
    p->SetParent(form);
    p->SetBounds(left, 10, 250, 260);
    p->SetBorderOuter(fsLowered);
    p->SetDockSite(true);
    return p;
  }
  TFcPanel* MakeClient(const std::wstring& Caption, TColor Color) {
    auto* p = new TFcPanel(owner.get());
    p->SetParent(form);
    p->SetBounds(0, 280, 120, 30);
    p->SetCaption(Caption);
    p->SetColor(Color);
    p->SetDragKind(dkDock);
    return p;
  }
  // The site's client area inside its borders.
  static TRect Inner(TFcPanel* Site) {
    return Site->AdjustRectByBorders(TRect(0, 0, Site->Width(), Site->Height()), true);
  }
  // A point of the site's client area on the screen.
  static POINT Screen(TWinControl* Site, int x, int y) {
    POINT p{x, y};
    ClientToScreen(Site->Handle(), &p);
    return p;
  }
  struct Shot {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    ~Shot() {
      SelectObject(dc, old);
      DeleteObject(bmp);
      DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y) & 0xFFFFFF; }
    // Whether any pixel of R has Color.
    bool Has(const TRect& R, TColor Color) const {
      COLORREF c = ColorToRGB(Color) & 0xFFFFFF;
      for (int x = R.Left; x < R.Right; ++x)
        for (int y = R.Top; y < R.Bottom; ++y)
          if (At(x, y) == c) return true;
      return false;
    }
  };
  std::unique_ptr<Shot> Paint(TWinControl* c) {
    auto s = std::make_unique<Shot>();
    HDC screen = GetDC(nullptr);
    s->dc = CreateCompatibleDC(screen);
    s->bmp = CreateCompatibleBitmap(screen, c->Width(), c->Height());
    ReleaseDC(nullptr, screen);
    s->old = SelectObject(s->dc, s->bmp);
    c->PaintClientTo(s->dc);
    return s;
  }
  // Presses at From, moves in steps to To and lets go, all on the screen.
  void Drag(POINT From, POINT To) {
    MouseMoveTo(From.x, From.y);
    PumpFor(60);
    MouseButton(true);
    EXPECT_TRUE(PumpUntil([] { return TControl::DockDragging(); }, 2000))
        << "the drag did not start";
    for (int i = 1; i <= 6; ++i) {
      MouseMoveTo(From.x + (To.x - From.x) * i / 6, From.y + (To.y - From.y) * i / 6);
      PumpFor(40);
    }
    MouseButton(false);
    PumpUntil([] { return !TControl::DockDragging(); }, 2000);
    PumpFor(50);
  }
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
  TFcPanel *site = nullptr, *other = nullptr, *alpha = nullptr, *beta = nullptr;
};

TEST_F(Docking, TwoPanelsShareTheSiteBehindCaptionedGrabbers) {
  auto* manager = dynamic_cast<TFcPanelDockManager*>(site->DockManager());
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->GrabberSize(), 14);
  EXPECT_EQ(manager->CaptionFont()->Name(), L"Verdana");
  EXPECT_EQ(manager->GlyphFont()->Name(), L"Marlett");
  EXPECT_TRUE(site->DoubleBuffered());
  ASSERT_EQ(site->DockClientCount(), 2);
  EXPECT_EQ(alpha->HostDockSite(), site);
  EXPECT_EQ(beta->Parent(), site);
  // One below the other, each under a 14-pixel grabber across the top.
  TRect in = Inner(site);
  int half = in.Height() / 2;
  EXPECT_EQ(alpha->BoundsRect(), TRect(in.Left, in.Top + 14, in.Right, in.Top + half));
  EXPECT_EQ(beta->BoundsRect(), TRect(in.Left, in.Top + half + 14, in.Right, in.Bottom));
  // The grabbers: inactive caption colours (neither panel has the focus),
  // the caption near the left and the close glyph at the right.
  auto s = Paint(site);
  TRect bar(in.Left, in.Top, in.Right, in.Top + 14);
  EXPECT_EQ(s->At(in.Left + 120, in.Top + 7), ColorToRGB(clInactiveCaption) & 0xFFFFFF);
  EXPECT_TRUE(
      s->Has(TRect(bar.Left + 2, bar.Top, bar.Left + 60, bar.Bottom), clInactiveCaptionText));
  TRect glyph(bar.Right - 15, bar.Top + 1, bar.Right - 2, bar.Top + 12);
  EXPECT_TRUE(s->Has(glyph, clInactiveCaptionText));
  EXPECT_FALSE(
      s->Has(TRect(bar.Left + 100, bar.Top, bar.Left + 140, bar.Bottom), clInactiveCaptionText));
  // Hit tests on a grabber.
  TControl* hit = nullptr;
  EXPECT_EQ(manager->HitTest(TPoint(glyph.Left + 6, glyph.Top + 5), hit), HTCLOSE);
  EXPECT_EQ(hit, alpha);
  EXPECT_EQ(manager->HitTest(TPoint(in.Left + 50, in.Top + half + 5), hit), HTCAPTION);
  EXPECT_EQ(hit, beta);
  EXPECT_EQ(manager->HitTest(TPoint(in.Left + 50, in.Top + 40), hit), HTNOWHERE);
  RedrawWindow(form->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  PumpFor(100);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"DockedPanels.png"));
  // Without captions the framework's plain grabber shows.
  site->SetShowDockClientCaptions(false);
  s = Paint(site);
  EXPECT_EQ(s->At(in.Left + 120, in.Top + 1), ColorToRGB(clBtnFace) & 0xFFFFFF);
  RedrawWindow(form->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  PumpFor(100);
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"DockedPanelsPlainGrabbers.png"));
}

TEST_F(Docking, SiteAlignedToTheBottomPutsGrabbersOnTheLeft) {
  site->SetAlign(alBottom);
  site->SetHeight(80);
  TRect in = Inner(site);
  int half = in.Width() / 2;
  EXPECT_EQ(alpha->BoundsRect(), TRect(in.Left + 14, in.Top, in.Left + half, in.Bottom));
  EXPECT_EQ(beta->BoundsRect(), TRect(in.Left + half + 14, in.Top, in.Right, in.Bottom));
  auto* manager = site->DockManager();
  TControl* hit = nullptr;
  EXPECT_EQ(manager->HitTest(TPoint(in.Left + 6, in.Top + 6), hit), HTCLOSE);
  EXPECT_EQ(hit, alpha);
  EXPECT_EQ(manager->HitTest(TPoint(in.Left + half + 6, in.Bottom - 10), hit), HTCAPTION);
  EXPECT_EQ(hit, beta);
  // The rotated caption runs up the bar.
  auto s = Paint(site);
  EXPECT_TRUE(
      s->Has(TRect(in.Left, in.Bottom - 40, in.Left + 14, in.Bottom - 3), clInactiveCaptionText));
}

TEST_F(Docking, CloseGlyphHidesOnePanelAndDragMovesAndFloatsTheOther) {
  TRect in = Inner(site);
  // The close glyph of the upper grabber, clicked with the mouse.
  POINT close = Screen(site, in.Right - 9, in.Top + 6);
  MouseMoveTo(close.x, close.y);
  PumpFor(60);
  MouseButton(true);
  PumpFor(60);
  MouseButton(false);
  ASSERT_TRUE(PumpUntil([&] { return !alpha->Visible(); }, 2000));
  EXPECT_EQ(alpha->HostDockSite(), site);
  // The other panel takes the whole site.
  EXPECT_EQ(beta->BoundsRect(), TRect(in.Left, in.Top + 14, in.Right, in.Bottom));
  // Its grabber dragged into the other site docks it there.
  POINT grab = Screen(site, in.Left + 40, in.Top + 7);
  TRect otherIn = Inner(other);
  Drag(grab, Screen(other, otherIn.Left + 100, otherIn.Top + 100));
  ASSERT_EQ(beta->HostDockSite(), other);
  EXPECT_EQ(beta->Parent(), other);
  EXPECT_EQ(site->DockClientCount(), 1);
  EXPECT_EQ(other->DockClientCount(), 1);
  EXPECT_EQ(beta->BoundsRect(),
            TRect(otherIn.Left, otherIn.Top + 14, otherIn.Right, otherIn.Bottom));
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"PanelDraggedIntoTheOtherSite.png"));
  // Dragged out of every site it floats in a window of its own size.
  grab = Screen(other, otherIn.Left + 40, otherIn.Top + 7);
  RECT fr = testsupport::WindowRect(form->Handle());
  Drag(grab, POINT{fr.left + 200, fr.bottom + 60});
  EXPECT_EQ(beta->HostDockSite(), nullptr);
  EXPECT_EQ(other->DockClientCount(), 0);
  TWinControl* floating = beta->FloatingDockForm();
  ASSERT_NE(floating, nullptr);
  EXPECT_EQ(beta->Parent(), floating);
  EXPECT_TRUE(IsWindowVisible(floating->Handle()));
  EXPECT_EQ(floating->ClientWidth(), 120);
  EXPECT_EQ(floating->ClientHeight(), 30);
  EXPECT_EQ(testsupport::WindowText(floating->Handle()), L"Beta");
  EXPECT_TRUE(testsupport::SaveWindowPng(floating->Handle(), L"FloatingPanel.png"));
  // Docked again, it leaves the floating window, which goes.
  beta->ManualDock(site);
  EXPECT_EQ(beta->FloatingDockForm(), nullptr);
  EXPECT_EQ(beta->HostDockSite(), site);
}

} // namespace
