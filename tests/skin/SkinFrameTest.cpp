// The skinned form in frame mode: the non-client size, the skinned and the
// plain frame, hit testing, caption buttons with real input, live resizing,
// the inactive look and the client background.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkinMenus.h"
#include "skin/SkinnedForm.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

std::wstring FrameSkin() {
  return SourceDir() + L"resources\\skin\\frame\\skin.ini";
}

// A sizeable form in frame mode, with the frame test skin or without a skin.
struct FrameRig {
  std::unique_ptr<TForm> form;
  TskSkinData* skin = nullptr;
  TskSkinnedForm* sf = nullptr;
  explicit FrameRig(bool skinned, TFormBorderStyle border = bsSizeable, int w = 420, int h = 320) {
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(border);
    form->SetCaption(L"Frame test");
    form->SetBounds(160, 140, w, h);
    sf = new TskSkinnedForm(form.get());
    if (skinned) {
      skin = new TskSkinData(form.get());
      skin->EnableSkinEffects = false;
      EXPECT_TRUE(skin->LoadSkinFromIni(FrameSkin())) << skin->LastError();
      sf->SetSkinData(skin);
    }
    form->Show();
    PumpFor(60);
  }
  HWND H() { return form->Handle(); }
  RECT Client() {
    RECT c;
    GetClientRect(H(), &c);
    MapWindowPoints(H(), nullptr, reinterpret_cast<POINT*>(&c), 2);
    RECT w;
    GetWindowRect(H(), &w);
    return RECT{c.left - w.left, c.top - w.top, c.right - w.left, c.bottom - w.top};
  }
  // The hit-test answer at a window point, with no object under the mouse.
  int HitAt(int x, int y) {
    sf->TestActiveObject(-1, -1, false);
    return int(SendMessageW(H(), WM_NCHITTEST, 0, MAKELPARAM(form->Left() + x, form->Top() + y)));
  }
  RECT ObjectRect(const std::wstring& id) {
    auto* o = sf->FindObject(id);
    EXPECT_NE(o, nullptr);
    return o ? o->ObjectRect : RECT{};
  }
};

void MouseToScreen(int x, int y) {
  SetCursorPos(x, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
  PumpFor(60);
}

void Button(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
  PumpFor(80);
}

// A real click at the centre of an object of the frame.
void ClickObject(FrameRig& r, const std::wstring& id) {
  RECT o = r.ObjectRect(id);
  MouseToScreen(r.form->Left() + (o.left + o.right) / 2, r.form->Top() + (o.top + o.bottom) / 2);
  Button(true);
  Button(false);
  PumpFor(60);
}

RECT Bounds(TForm* f) {
  return RECT{f->Left(), f->Top(), f->Left() + f->Width(), f->Top() + f->Height()};
}

bool Same(const RECT& a, const RECT& b) {
  return EqualRect(&a, &b) != FALSE;
}

bool Gray(COLORREF c) {
  return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
}

// The frame as PaintSkinFrame draws it into a bitmap of the window's size.
std::unique_ptr<TskPicture> PaintFrame(FrameRig& r) {
  auto p = std::make_unique<TskPicture>(r.form->Width(), r.form->Height());
  p->Fill(RGB(1, 2, 3));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, p->Handle());
  r.sf->PaintSkinFrame(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  return p;
}

} // namespace

TEST(SkinFrame, NonClientSizeComesFromTheSkinOrThePlainFrame) {
  {
    FrameRig r(true);
    RECT c = r.Client();
    // The skin's "clientrect" 6,26,354,196 in a 360 x 250 picture.
    EXPECT_EQ(c.left, 6);
    EXPECT_EQ(c.top, 26);
    EXPECT_EQ(r.form->Width() - c.right, 6);
    EXPECT_EQ(r.form->Height() - c.bottom, 54);
  }
  {
    FrameRig r(false);
    RECT c = r.Client();
    EXPECT_EQ(c.left, 3);
    EXPECT_EQ(c.top, 19 + 3);
    EXPECT_EQ(r.form->Width() - c.right, 3);
    EXPECT_EQ(r.form->Height() - c.bottom, 3);
  }
  {
    FrameRig r(false, bsSizeToolWin);
    RECT c = r.Client();
    EXPECT_EQ(c.top, 15 + 3);
    RECT close = r.ObjectRect(L"closebutton");
    EXPECT_EQ(close.right - close.left, 13);
    EXPECT_EQ(close.bottom - close.top, 13);
    EXPECT_EQ(close.right, r.form->Width() - 3);
  }
  {
    // A form without a border keeps its whole window as client.
    FrameRig r(true, bsNone);
    RECT c = r.Client();
    EXPECT_EQ(c.left, 0);
    EXPECT_EQ(c.top, 0);
    EXPECT_EQ(c.right, r.form->Width());
  }
}

struct HitCase {
  const char* name;
  bool skinned;
  int x, y; // negative: from the right or bottom edge
  int code;
};

class SkinFrameHitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(SkinFrameHitTest, AnswersTheZoneUnderThePoint) {
  const HitCase& c = GetParam();
  FrameRig r(c.skinned);
  int x = c.x < 0 ? r.form->Width() + c.x : c.x;
  int y = c.y < 0 ? r.form->Height() + c.y : c.y;
  EXPECT_EQ(r.HitAt(x, y), c.code) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Zones, SkinFrameHitTest,
    ::testing::Values(
        HitCase{"SkinTopLeft", true, 2, 2, HTTOPLEFT},
        HitCase{"SkinTopRight", true, -3, 2, HTTOPRIGHT},
        HitCase{"SkinBottomLeft", true, 2, -3, HTBOTTOMLEFT},
        HitCase{"SkinBottomRight", true, -3, -3, HTBOTTOMRIGHT},
        HitCase{"SkinTopCornerZoneIsTheCorner", true, 10, 1, HTTOPLEFT},
        HitCase{"SkinTop", true, 200, 1, HTTOP}, HitCase{"SkinBottom", true, 200, -2, HTBOTTOM},
        HitCase{"SkinLeft", true, 1, 150, HTLEFT}, HitCase{"SkinRight", true, -2, 150, HTRIGHT},
        HitCase{"SkinCaption", true, 100, 12, HTCAPTION},
        HitCase{"SkinClient", true, 200, 150, HTCLIENT},
        HitCase{"SkinBottomBandObjectZone", true, 24, -40, 19},
        HitCase{"PlainTopLeft", false, 1, 1, HTTOPLEFT},
        HitCase{"PlainTopRight", false, -2, 1, HTTOPRIGHT},
        HitCase{"PlainBottomLeft", false, 1, -2, HTBOTTOMLEFT},
        HitCase{"PlainBottomRight", false, -2, -2, HTBOTTOMRIGHT},
        HitCase{"PlainLeft", false, 2, 100, HTLEFT}, HitCase{"PlainTop", false, 100, 2, HTTOP},
        HitCase{"PlainRight", false, -2, 100, HTRIGHT},
        HitCase{"PlainBottom", false, 100, -2, HTBOTTOM},
        HitCase{"PlainCaption", false, 100, 10, HTCAPTION},
        HitCase{"PlainClient", false, 100, 100, HTCLIENT},
        HitCase{"PlainCloseButton", false, -10, 12, 19}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SkinFrame, CaptionButtonsSitInTheButtonsRectangleFromTheRight) {
  FrameRig r(true);
  int dx = r.form->Width() - 360;
  // "buttonsrect" 250,5,354,21 moves with the right edge; offset 2.
  RECT close = r.ObjectRect(L"closebutton"), max = r.ObjectRect(L"maximizebutton");
  EXPECT_EQ(close.right, 354 + dx);
  EXPECT_EQ(close.top, 5);
  EXPECT_EQ(max.right, close.left - 2);
  RECT sys = r.ObjectRect(L"sysmenubutton"), caption = r.ObjectRect(L"caption");
  EXPECT_EQ(sys.left, 26);
  EXPECT_EQ(caption.left, sys.right);
  // The bottom band's objects follow the bottom edge.
  RECT track = r.ObjectRect(L"ftrack");
  EXPECT_EQ(track.top, 204 + r.form->Height() - 250);
}

TEST(SkinFrame, BackgroundPictureBeyondTheSkinsPicturesPaintsNoPicture) {
  FrameRig r(true);
  r.skin->BGPictureIndex = 99;
  RECT c;
  GetClientRect(r.H(), &c);
  TskPicture p(c.right, c.bottom);
  p.Fill(RGB(1, 2, 3));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, p.Handle());
  r.sf->PaintFrameBackground(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(p.Pixel(c.right / 2, c.bottom / 2), GetSysColor(COLOR_BTNFACE));
  // The skin's own background picture tiles the client.
  r.skin->BGPictureIndex = 2;
  const TskPicture* tile = r.skin->ActivePicture(2);
  ASSERT_NE(tile, nullptr);
  dc = CreateCompatibleDC(nullptr);
  old = SelectObject(dc, p.Handle());
  r.sf->PaintFrameBackground(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(p.Pixel(tile->Width() + 3, 5), tile->Pixel(3, 5));
}

TEST(SkinFrame, SizeMoveLoopEndsAtExitSizeMove) {
  FrameRig r(true);
  SendMessageW(r.H(), WM_ENTERSIZEMOVE, 0, 0);
  EXPECT_TRUE(r.sf->InSizeMoveLoop());
  SendMessageW(r.H(), WM_EXITSIZEMOVE, 0, 0);
  // A keyboard move or size ends here: the next caption press is not taken
  // for the end of a loop it started.
  EXPECT_FALSE(r.sf->InSizeMoveLoop());
}

namespace {

// The frame that a skin query paints into a bitmap of the window's size.
std::unique_ptr<TskPicture> QueryFrame(FrameRig& r, UINT msg, LPARAM lp, LRESULT* answer) {
  auto p = std::make_unique<TskPicture>(r.form->Width(), r.form->Height());
  p->Fill(RGB(1, 2, 3));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, p->Handle());
  *answer = SendMessageW(r.H(), msg, reinterpret_cast<WPARAM>(dc), lp);
  SelectObject(dc, old);
  DeleteDC(dc);
  return p;
}

bool SamePictures(const TskPicture& a, const TskPicture& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

bool Untouched(const TskPicture& p) {
  for (int y = 0; y < p.Height(); y += 3)
    for (int x = 0; x < p.Width(); x += 3)
      if (p.Pixel(x, y) != RGB(1, 2, 3)) return false;
  return true;
}

// Counts one message on a window.
struct MessageCounter {
  TWindowSubclass hook;
  int count = 0;
  MessageCounter(HWND h, UINT msg) {
    hook.Hook(h, [this, msg](TMessage& m) {
      if (m.Msg == msg) ++count;
      return false;
    });
  }
};

} // namespace

TEST(SkinFrame, SkinQueriesPaintTheFrameIntoTheirDeviceContext) {
  // The skinned frame, as WM_NCPAINT paints it, with both queries.
  {
    FrameRig r(true);
    auto want = PaintFrame(r);
    LRESULT answer = 0;
    auto got = QueryFrame(r, CM_SKINQUERY, 0, &answer);
    EXPECT_EQ(answer, 12851);
    EXPECT_TRUE(SamePictures(*got, *want));
    got = QueryFrame(r, CM_SKINFRAMEQUERY, 16802, &answer);
    EXPECT_EQ(answer, 16802);
    EXPECT_TRUE(SamePictures(*got, *want));
    EXPECT_EQ(got->Pixel(100, 100), RGB(1, 2, 3)) << "the client is left out";
    // During a skin change the form has no skin to paint, and no plain frame
    // is painted either.
    SendMessageW(r.H(), WM_SKINCHANGING, reinterpret_cast<WPARAM>(r.skin), SKIN_MESSAGE_LPARAM);
    got = QueryFrame(r, CM_SKINQUERY, 0, &answer);
    EXPECT_EQ(answer, 12851);
    EXPECT_TRUE(Untouched(*got));
    SendMessageW(r.H(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(r.skin), SKIN_MESSAGE_LPARAM);
    got = QueryFrame(r, CM_SKINQUERY, 0, &answer);
    EXPECT_TRUE(SamePictures(*got, *PaintFrame(r)));
    // Without a device context nothing is painted, and the answer stays.
    EXPECT_EQ(SendMessageW(r.H(), CM_SKINQUERY, 0, 0), 12851);
  }
  // The plain frame without a skin: its outer line is the 3-D light colour.
  {
    FrameRig r(false);
    LRESULT answer = 0;
    auto got = QueryFrame(r, CM_SKINQUERY, 0, &answer);
    EXPECT_EQ(got->Pixel(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(got->Pixel(r.form->Width() - 1, r.form->Height() - 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(got->Pixel(100, 100), RGB(1, 2, 3));
  }
  // A form without a border has no frame to paint.
  {
    FrameRig r(true, bsNone);
    LRESULT answer = 0;
    auto got = QueryFrame(r, CM_SKINQUERY, 0, &answer);
    EXPECT_EQ(answer, 12851);
    EXPECT_TRUE(Untouched(*got));
  }
}

TEST(SkinFrame, FormThatIsNotSkinnableShowsTheSystemsBorderIcons) {
  struct Case {
    const char* what;
    TskBorderIcons icons;
    bool hideButtons;
    TBorderIcons want;
  } cases[] = {
      {"defaults", biSkSystemMenu | biSkMinimize | biSkMaximize | biSkRollUp, false,
       biSystemMenu | biMinimize | biMaximize},
      {"minimize only", biSkSystemMenu | biSkMinimize, false, biSystemMenu | biMinimize},
      {"no system menu of its own", biSkMaximize | biSkMinimizeToTray, false,
       biSystemMenu | biMaximize},
      {"buttons hidden", biSkSystemMenu | biSkMinimize, true, biMinimize},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FrameRig r(true);
    r.sf->SetBorderIcons(c.icons);
    r.sf->HideCaptionButtons = c.hideButtons;
    r.skin->SetSkinnableForm(false);
    PumpFor(20);
    EXPECT_FALSE(r.sf->Skinnable());
    EXPECT_EQ(r.form->BorderIcons(), c.want);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(r.H(), rgn), ERROR) << "no region";
    DeleteObject(rgn);
    // The system draws the frame: the window's client is its own again.
    RECT wr, cr;
    GetWindowRect(r.H(), &wr);
    GetClientRect(r.H(), &cr);
    RECT adj{0, 0, cr.right, cr.bottom};
    AdjustWindowRectEx(&adj, GetWindowLongW(r.H(), GWL_STYLE), FALSE,
                       GetWindowLongW(r.H(), GWL_EXSTYLE));
    EXPECT_EQ(adj.right - adj.left, wr.right - wr.left);
    r.skin->SetSkinnableForm(true);
    PumpFor(20);
    EXPECT_TRUE(r.sf->Skinnable());
    EXPECT_EQ(r.form->BorderIcons(), 0u);
    EXPECT_EQ(r.Client().left, 6) << "the skin's frame again";
  }
}

TEST(SkinFrame, DisplayChangeFitsAWindowLargerThanTheNewMaximum) {
  FrameRig r(true);
  int sizes = 0;
  r.sf->OnChangeClientRect = [&](const RECT&) { ++sizes; };
  LPARAM screen = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  // A window within the limits is left alone.
  SendMessageW(r.H(), WM_DISPLAYCHANGE, 32, screen);
  EXPECT_EQ(sizes, 0);
  EXPECT_EQ(r.form->Width(), 420);
  // Wider than the new maximum: it takes the maximum.
  r.sf->MaxWidth = 360;
  SendMessageW(r.H(), WM_DISPLAYCHANGE, 32, screen);
  EXPECT_EQ(r.form->Width(), 360);
  EXPECT_EQ(testsupport::WindowRect(r.H()).right - testsupport::WindowRect(r.H()).left, 360);
  EXPECT_GT(sizes, 0);
  // Taller than the new maximum: it takes the maximum height too.
  r.sf->MaxHeight = 280;
  SendMessageW(r.H(), WM_DISPLAYCHANGE, 32, screen);
  EXPECT_EQ(r.form->Height(), 280);
  EXPECT_EQ(r.form->Width(), 360);
  EXPECT_EQ(r.ObjectRect(L"closebutton").right, 354);
}

TEST(SkinFrame, StretchedSkinRepaintsTheWindowedChildrenAfterALayout) {
  FrameRig r(true);
  auto* panel = new TPanel(r.form.get());
  panel->SetParent(r.form.get());
  panel->SetBounds(10, 10, 80, 40);
  auto* inner = new TPanel(r.form.get());
  inner->SetParent(panel);
  PumpFor(20);
  MessageCounter outer(panel->Handle(), WM_SKINALPHAREPAINT);
  MessageCounter nested(inner->Handle(), WM_SKINALPHAREPAINT);
  r.form->SetBounds(160, 140, 440, 330);
  PumpFor(20);
  EXPECT_EQ(outer.count, 0) << "no stretch effect";
  r.skin->StretchEffect = true;
  r.form->SetBounds(160, 140, 460, 340);
  PumpFor(20);
  EXPECT_GE(outer.count, 1);
  // Only the form's own children get it; a skinned control passes it on.
  EXPECT_EQ(nested.count, 0);
}

// ---------------------------------------------------------------------------
// Real input and the screen (run alone)

TEST(SkinFrameInput, CaptionButtonsMaximizeRestoreRollAndMinimize) {
  FrameRig r(true);
  ASSERT_TRUE(testsupport::ForceForeground(r.H()));
  PumpFor(100);
  RECT before = Bounds(r.form.get());
  testsupport::SaveWindowPng(r.H(), L"skin_frame_active.png");

  ClickObject(r, L"maximizebutton");
  ASSERT_TRUE(PumpUntil([&] { return r.sf->WindowState() == 2; }, 2000));
  RECT a;
  GetMonitorRect(r.H(), true, a);
  EXPECT_GE(r.form->Width(), a.right - a.left - 2);
  ClickObject(r, L"maximizebutton"); // now the restore button
  ASSERT_TRUE(PumpUntil([&] { return r.sf->WindowState() == 0; }, 2000));
  EXPECT_TRUE(Same(before, Bounds(r.form.get())));

  ClickObject(r, L"rollupbutton");
  ASSERT_TRUE(PumpUntil([&] { return r.sf->RollUpState(); }, 2000));
  EXPECT_EQ(r.form->Height(), 250 - 170); // the frame without its client
  ClickObject(r, L"rollupbutton");
  ASSERT_TRUE(PumpUntil([&] { return !r.sf->RollUpState(); }, 2000));
  EXPECT_EQ(r.form->Height(), before.bottom - before.top);

  ClickObject(r, L"minimizebutton");
  ASSERT_TRUE(PumpUntil([&] { return r.sf->WindowState() == 1; }, 2000));
  EXPECT_EQ(r.form->Height(), 80);
  RECT wa;
  GetMonitorRect(r.H(), true, wa);
  EXPECT_EQ(r.form->Left(), wa.left);
  EXPECT_EQ(r.form->Top() + r.form->Height(), wa.bottom);
  ClickObject(r, L"minimizebutton"); // restores
  ASSERT_TRUE(PumpUntil([&] { return r.sf->WindowState() == 0; }, 2000));
  EXPECT_TRUE(Same(before, Bounds(r.form.get())));
}

TEST(SkinFrameInput, LiveResizeKeepsRegionAndLayout) {
  FrameRig r(true);
  ASSERT_TRUE(testsupport::ForceForeground(r.H()));
  PumpFor(100);
  int w0 = r.form->Width(), h0 = r.form->Height();
  int x0 = r.form->Left() + w0 - 2, y0 = r.form->Top() + h0 - 2;
  // The system's sizing loop runs on this thread: the input comes from another.
  std::atomic<bool> done{false};
  std::thread input([&] {
    auto move = [](int x, int y) {
      SetCursorPos(x, y);
      INPUT in{};
      in.type = INPUT_MOUSE;
      in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
      in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
      in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
      SendInput(1, &in, sizeof in);
      Sleep(60);
    };
    auto button = [](bool down) {
      INPUT in{};
      in.type = INPUT_MOUSE;
      in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
      SendInput(1, &in, sizeof in);
      Sleep(80);
    };
    move(x0, y0);
    button(true);
    for (int i = 1; i <= 6; ++i)
      move(x0 + i * 10, y0 + i * 5);
    button(false);
    done = true;
  });
  PumpUntil([&] { return done.load(); }, 10000);
  input.join();
  PumpFor(150);
  int w = r.form->Width(), h = r.form->Height();
  EXPECT_EQ(w, w0 + 60);
  EXPECT_EQ(h, h0 + 30);
  EXPECT_FALSE(r.sf->InSizeMoveLoop());
  // The region is the whole new window, the layout follows the new size.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(r.H(), rgn), ERROR);
  RECT box;
  GetRgnBox(rgn, &box);
  DeleteObject(rgn);
  EXPECT_EQ(box.right, w);
  EXPECT_EQ(box.bottom, h);
  EXPECT_EQ(r.ObjectRect(L"closebutton").right, w - 6);
  EXPECT_EQ(r.ObjectRect(L"ftrack").top, 204 + h - 250);
  RECT c = r.Client();
  EXPECT_EQ(c.right, w - 6);
  EXPECT_EQ(c.bottom, h - 54);
}

TEST(SkinFrameInput, InactiveFrameIsDrawnThroughTheInactiveEffect) {
  FrameRig r(true);
  ASSERT_TRUE(testsupport::ForceForeground(r.H()));
  PumpFor(100);
  ASSERT_TRUE(r.sf->GetFormActive());
  auto active = PaintFrame(r);
  TForm other(nullptr);
  other.SetBorderStyle(bsNone);
  other.SetBounds(700, 500, 200, 120);
  other.Show();
  ASSERT_TRUE(testsupport::ForceForeground(other.Handle()));
  ASSERT_TRUE(PumpUntil([&] { return !r.sf->GetFormActive(); }, 2000));
  testsupport::SaveWindowPng(r.H(), L"skin_frame_inactive.png");
  auto inactive = PaintFrame(r);
  // The title bar: coloured while active, grey ("iegrayscale") while not.
  COLORREF a = active->Pixel(150, 2), i = inactive->Pixel(150, 2);
  EXPECT_FALSE(Gray(a));
  EXPECT_TRUE(Gray(i));
  // The client area is clipped out of the frame painting.
  EXPECT_EQ(inactive->Pixel(100, 100), RGB(1, 2, 3));
}

TEST(SkinFrameInput, PlainFrameWithoutASkin) {
  FrameRig r(false);
  ASSERT_TRUE(testsupport::ForceForeground(r.H()));
  PumpFor(100);
  testsupport::SaveWindowPng(r.H(), L"skin_frame_plain.png");
  RECT before = Bounds(r.form.get());
  ClickObject(r, L"maxbutton");
  ASSERT_TRUE(PumpUntil([&] { return r.sf->WindowState() == 2; }, 2000));
  ClickObject(r, L"maxbutton");
  ASSERT_TRUE(PumpUntil([&] { return r.sf->WindowState() == 0; }, 2000));
  EXPECT_TRUE(Same(before, Bounds(r.form.get())));
}

TEST(SkinFrameInput, MouseUpExceptionOfAnObjectReachesTheApplication) {
  FrameRig r(true);
  ASSERT_TRUE(testsupport::ForceForeground(r.H()));
  PumpFor(100);
  std::wstring seen;
  auto oldHandler = Application->OnException;
  Application->OnException = [&](TObject*, const Exception& e) { seen = e.Message(); };
  r.sf->OnMouseUpEvent = [](const std::wstring& id, int, int, const RECT&, TMouseButton) {
    if (id == L"fbutton") throw Exception(L"mouse-up failed");
  };
  RECT o = r.ObjectRect(L"fbutton");
  POINT p{r.form->Left() + (o.left + o.right) / 2, r.form->Top() + (o.top + o.bottom) / 2};
  MouseToScreen(p.x, p.y);
  r.sf->TestActiveObject(p.x - r.form->Left(), p.y - r.form->Top(), true);
  SendMessageW(r.H(), WM_NCLBUTTONDOWN, 19, MAKELPARAM(p.x, p.y));
  ReleaseCapture();
  SendMessageW(r.H(), WM_NCLBUTTONUP, 19, MAKELPARAM(p.x, p.y));
  Application->OnException = oldHandler;
  EXPECT_EQ(seen, L"mouse-up failed");
}

TEST(SkinFrameInput, AnimationButtonWithTheSystemMenuCommandOpensTheSystemMenu) {
  FrameRig r(true);
  ASSERT_TRUE(testsupport::ForceForeground(r.H()));
  PumpFor(100);
  auto* a = dynamic_cast<TskSkinAnimateObject*>(r.sf->FindObject(L"fanimate"));
  ASSERT_NE(a, nullptr);
  a->Command = cmSysMenu;
  TskSkinMenu* m = r.sf->SkinMenu();
  // The press opens the menu at once; the release leaves it open.
  a->MouseEnter();
  a->MouseDown(0, 0, mbLeft);
  PumpFor(30);
  ASSERT_TRUE(m->Visible());
  EXPECT_TRUE(a->MenuShown);
  EXPECT_TRUE(r.sf->SkinMenuIsOpen());
  TskSkinPopupWindow* w = m->Level(0);
  ASSERT_GT(w->ItemCount(), 0);
  EXPECT_EQ(w->Item(w->ItemCount() - 1)->MenuItem()->Name(), L"DSF_CLOSE");
  RECT o = r.sf->ObjectScreenRect(a->ObjectRect);
  RECT wr = testsupport::WindowRect(w->Handle());
  EXPECT_EQ(wr.left, o.left);
  a->MouseUp(0, 0, mbLeft);
  EXPECT_TRUE(m->Visible());
  // Closing the menu plays the button back from its last frame.
  m->CloseAll();
  PumpFor(30);
  EXPECT_FALSE(a->MenuShown);
  EXPECT_FALSE(r.sf->SkinMenuIsOpen());
  EXPECT_FALSE(a->Forward);
  EXPECT_TRUE(a->Active);
  EXPECT_FALSE(a->Pressed);
  EXPECT_TRUE(
      PumpUntil([&] { return a->CurrentFrame == 1 && !r.sf->AnimateTimerRunning(); }, 2000));
  // The custom command opens the object's own menu on release.
  TPopupMenu own(nullptr);
  for (const wchar_t* c : {L"One", L"Two"}) {
    auto* it = new TMenuItem(&own);
    it->SetCaption(c);
    own.Items()->Add(it);
  }
  a->Command = cmDefault;
  a->MenuItem = own.Items();
  a->MouseEnter();
  a->MouseDown(0, 0, mbLeft);
  EXPECT_FALSE(m->Visible());
  a->MouseUp(0, 0, mbLeft);
  PumpFor(30);
  ASSERT_TRUE(m->Visible());
  EXPECT_EQ(m->Level(0)->ItemCount(), 2);
  m->CloseAll();
  PumpFor(30);
  a->MenuItem = nullptr;
}

TEST(SkinFrameInput, MaximizedFormStaysMaximizedAcrossTheSkinnableSwitch) {
  FrameRig r(true);
  RECT before = Bounds(r.form.get());
  r.sf->SetWindowState(2);
  PumpFor(30);
  // Off: the system maximizes the window with its own frame.
  r.skin->SetSkinnableForm(false);
  PumpFor(60);
  EXPECT_TRUE(IsWindowVisible(r.H()));
  EXPECT_TRUE(IsZoomed(r.H()));
  EXPECT_EQ(r.sf->WindowState(), 0);
  // On: the skin maximizes it again, from the same restore bounds.
  r.skin->SetSkinnableForm(true);
  PumpFor(60);
  EXPECT_TRUE(IsWindowVisible(r.H()));
  EXPECT_FALSE(IsZoomed(r.H()));
  EXPECT_EQ(r.sf->WindowState(), 2);
  r.sf->SetWindowState(0);
  PumpFor(30);
  EXPECT_TRUE(Same(before, Bounds(r.form.get())));
}
