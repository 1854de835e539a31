// Docks and the docking state of their windows: bound lines, backgrounds,
// the visible list and its events, hiding while a window changes parent,
// keys that reach floating toolbars, the floating window's place in the
// z-order, context menus on the frame, and stored positions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/IniFiles.h"
#include "framework/Menus.h"
#include "tests/support/Gui.h"
#include "toolbars/TfToolbar.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::WindowRect;

struct DockForm {
  TForm* Form;
  TTfDock* Dock;
  std::vector<TTfToolbar*> Bars;
  explicit DockForm(int bars = 1, int x = 60) {
    Form = new TForm(nullptr);
    Form->SetName(L"DockForm");
    Form->SetBounds(x, 60, 520, 280);
    Form->SetCaption(L"Dock test");
    Dock = new TTfDock(Form);
    Dock->SetName(L"TopDock");
    Dock->SetParent(Form);
    for (int b = 0; b < bars; ++b) {
      auto* bar = new TTfToolbar(Form);
      bar->SetName(L"Bar" + std::to_wstring(b));
      bar->SetCaption(L"Bar " + std::to_wstring(b));
      bar->HideWhenInactive = false;
      bar->SetDockRow(b);
      bar->SetParent(Dock);
      for (int i = 0; i < 3; ++i) {
        auto* it = new TTfItem(Form);
        it->SetCaption(L"Item" + std::to_wstring(i));
        bar->Items()->Add(it);
      }
      Bars.push_back(bar);
    }
    Form->Show();
    PumpFor(50);
  }
  ~DockForm() { delete Form; }
};

COLORREF PixelOf(HWND h, int x, int y, bool window) {
  HDC dc = window ? GetWindowDC(h) : GetDC(h);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

// Each bound line adds a pixel to the dock's thickness; top and left lines
// are shadow, bottom and right highlight.
TEST(TfDockBoundLines, ThicknessAndColours) {
  struct Case {
    TTfDockBoundLines lines;
    int extra;
  } cases[] = {
      {0, 0},
      {1u << blTop, 1},
      {(1u << blTop) | (1u << blBottom), 2},
      {(1u << blTop) | (1u << blBottom) | (1u << blLeft) | (1u << blRight), 2},
  };
  DockForm f;
  f.Dock->SetBoundLines(0);
  PumpFor(20);
  int base = f.Dock->Height();
  ASSERT_GT(base, 0);
  for (const Case& c : cases) {
    f.Dock->SetBoundLines(c.lines);
    PumpFor(20);
    EXPECT_EQ(f.Dock->Height(), base + c.extra) << c.lines;
    EXPECT_EQ(f.Dock->ClientHeight(), base) << c.lines;
  }
  RedrawWindow(f.Dock->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  PumpFor(20);
  HWND d = f.Dock->Handle();
  RECT wr = WindowRect(d);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  EXPECT_EQ(PixelOf(d, w / 2, 0, true), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelOf(d, 0, h / 2, true), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelOf(d, w / 2, h - 1, true), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(PixelOf(d, w - 1, h / 2, true), GetSysColor(COLOR_BTNHIGHLIGHT));
  // A dock without a visible toolbar stays flat: no lines, no thickness.
  f.Bars[0]->SetVisible(false);
  PumpFor(20);
  EXPECT_EQ(f.Dock->Height(), 0);
}

// Stripes eight pixels wide from the background's origin, alternately red
// and blue.
class StripeBackground : public TTfBasicBackground {
public:
  using TTfBasicBackground::TTfBasicBackground;
  static COLORREF At(int x) { return ((x / 8) % 2) ? RGB(200, 0, 0) : RGB(0, 0, 200); }
  void PaintDockBackground(HDC DC, const TRect& R) override {
    ++Paints;
    for (int x = R.Left; x < R.Right; x += 8) {
      RECT s{x, R.Top, x + 8, R.Bottom};
      HBRUSH b = CreateSolidBrush(At(x - R.Left));
      FillRect(DC, &s, b);
      DeleteObject(b);
    }
  }
  HPALETTE BackgroundPalette() override { return nullptr; }
  void RegisterBackgroundChange(TObject* Client, const TNotifyEvent& Proc) override {
    Clients.push_back({Client, Proc});
  }
  void BackgroundSysColorChanged() override {}
  void UnregisterBackgroundChange(TObject* Client) override {
    std::erase_if(Clients, [Client](auto& c) { return c.first == Client; });
  }
  bool BackgroundInUse() override { return InUse; }
  void Changed() {
    for (auto& c : Clients)
      c.second(this);
  }
  bool InUse = true;
  int Paints = 0;
  std::vector<std::pair<TObject*, TNotifyEvent>> Clients;
};

// The background runs behind the dock and the toolbar's frame as one
// picture aligned to the form; without BackgroundOnToolbars the frame keeps
// its face colour; removing the background component leaves the dock plain.
TEST(TfDockBackground, AlignedBehindDockAndToolbars) {
  DockForm f;
  f.Bars[0]->SetDockPos(40);
  auto* bg = new StripeBackground(nullptr);
  f.Dock->SetBackground(bg);
  EXPECT_EQ(bg->Clients.size(), 1u);
  PumpFor(50);
  RedrawWindow(f.Form->Handle(), nullptr, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpFor(30);
  EXPECT_GT(bg->Paints, 0);
  HWND dock = f.Dock->Handle(), bar = f.Bars[0]->Handle();
  // Form client x of a dock client pixel and of a bar window pixel.
  auto formX = [&](HWND h, int x, bool window) {
    POINT p{x, 0};
    if (window) {
      RECT r = WindowRect(h);
      p.x += r.left;
    } else {
      ClientToScreen(h, &p);
    }
    POINT o{0, 0};
    ClientToScreen(f.Form->Handle(), &o);
    return p.x - o.x;
  };
  for (int x : {3, 12, 21}) {
    EXPECT_EQ(PixelOf(dock, x, 1, false), StripeBackground::At(formX(dock, x, false))) << x;
  }
  // The bar's frame ring (second pixel inside the edge) shows the background.
  RECT br = WindowRect(bar);
  int bw = br.right - br.left;
  for (int x : {bw / 2, bw / 2 + 8})
    EXPECT_EQ(PixelOf(bar, x, 1, true), StripeBackground::At(formX(bar, x, true))) << x;

  f.Dock->SetBackgroundOnToolbars(false);
  PumpFor(30);
  RedrawWindow(bar, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(PixelOf(bar, bw / 2, 1, true), ColorToRGB(f.Bars[0]->Color()));

  delete bg;
  EXPECT_EQ(f.Dock->Background(), nullptr);
  RedrawWindow(dock, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpFor(20);
  EXPECT_EQ(PixelOf(dock, 3, 1, false), ColorToRGB(f.Dock->Color()));
}

// The visible list follows docking and visibility, and every change is
// reported once; RowAt finds the row of an offset across the rows.
TEST(TfDockVisibleList, InsertRemoveEventsAndRowAt) {
  DockForm f(2);
  auto* other = new TTfDock(f.Form);
  other->SetPosition(dpBottom);
  other->SetParent(f.Form);
  std::vector<std::wstring> log;
  auto logger = [&log](const wchar_t* dock) {
    return [&log, dock](TObject*, bool Inserting, TTfCustomDockableWindow* Bar) {
      log.push_back(std::wstring(dock) + (Inserting ? L"+" : L"-") + Bar->Name());
    };
  };
  f.Dock->OnInsertRemoveBar = logger(L"top");
  other->OnInsertRemoveBar = logger(L"bottom");
  EXPECT_EQ(f.Dock->VisibleList().size(), 2u);

  int t0 = f.Bars[0]->Height();
  EXPECT_EQ(f.Dock->RowAt(0), 0);
  EXPECT_EQ(f.Dock->RowAt(t0 - 1), 0);
  EXPECT_EQ(f.Dock->RowAt(t0 + 1), 1);
  EXPECT_EQ(f.Dock->RowAt(f.Dock->Height() + 5), 2);

  f.Bars[1]->SetVisible(false);
  f.Bars[1]->SetVisible(true);
  f.Bars[0]->SetParent(other);
  PumpFor(20);
  std::vector<std::wstring> want{L"top-Bar1", L"top+Bar1", L"top-Bar0", L"bottom+Bar0"};
  EXPECT_EQ(log, want);
  EXPECT_EQ(f.Dock->VisibleList().size(), 1u);
  EXPECT_EQ(other->VisibleList().size(), 1u);
}

// While a toolbar moves to a new parent it is hidden and its move event
// waits; afterwards it shows again and reports the move once.
TEST(TfDockableWindow, HiddenWhileChangingParent) {
  DockForm f;
  TTfToolbar* bar = f.Bars[0];
  HWND h = bar->Handle();
  bool hiddenDuring = false, countedDuring = false;
  int movesWhileHidden = 0, moves = 0;
  bar->OnMove = [&](TObject*) {
    ++moves;
    if (bar->HiddenWhileReparenting() > 0) ++movesWhileHidden;
  };
  bar->OnDockChangingHidden = [&](TObject*, bool, TTfDock*) {
    hiddenDuring = !IsWindowVisible(h);
    countedDuring = bar->HiddenWhileReparenting() > 0;
  };
  bar->PlaceFloating(TPoint(200, 220));
  bar->MakeFloating(true);
  PumpFor(30);
  EXPECT_TRUE(hiddenDuring);
  EXPECT_TRUE(countedDuring);
  EXPECT_EQ(movesWhileHidden, 0);
  EXPECT_EQ(bar->Handle(), h) << "the window keeps its handle";
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(bar->HiddenWhileReparenting(), 0);
  EXPECT_GE(moves, 1);

  // Docked back: the old floating window goes away once its messages are done.
  HWND frame = bar->FloatingWindow()->Handle();
  hiddenDuring = false;
  bar->SetParent(f.Dock);
  EXPECT_TRUE(hiddenDuring);
  EXPECT_EQ(bar->FloatingWindow(), nullptr);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(frame); }));
  EXPECT_TRUE(IsWindowVisible(h));
}

// Keys for a floating toolbar reach it through the dock it belongs to: an
// accelerator clicks its item.
TEST(TfDockKeys, AcceleratorReachesFloatingToolbar) {
  DockForm f;
  TTfToolbar* bar = f.Bars[0];
  int clicks = 0;
  auto* it = new TTfItem(f.Form);
  it->SetCaption(L"&Zoom");
  it->OnClick = [&](TObject*) { ++clicks; };
  bar->Items()->Add(it);
  bar->PlaceFloating(TPoint(200, 240));
  bar->MakeFloating(true);
  PumpFor(30);
  ASSERT_TRUE(bar->Floating());
  ASSERT_FALSE(f.Form->ContainsControl(bar));
  EXPECT_NE(f.Form->Perform(CM_DIALOGCHAR, L'z', 0), 0);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  EXPECT_EQ(f.Form->Perform(CM_DIALOGCHAR, L'q', 0), 0);
}

// A floating toolbar first shown beside its form is placed directly above
// the form, below a window of another form that was above it.
TEST(TfFloatingOwner, PlacedDirectlyAboveItsForm) {
  DockForm f;
  TForm other(nullptr);
  other.SetBounds(400, 300, 200, 120);
  other.SetCaption(L"Unrelated");
  other.Show();
  PumpFor(30);
  SetWindowPos(other.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(f.Form->Handle(), other.Handle(), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TTfToolbar* bar = f.Bars[0];
  bar->PlaceFloating(TPoint(240, 260));
  bar->MakeFloating(true);
  // The order as the toolbar leaves it, read before the window system acts on
  // the activation that showing the window caused (an unmanaged window's
  // activation raises the form later, without the windows it owns).
  HWND fw = bar->FloatingWindow()->Handle();
  EXPECT_EQ(GetWindow(fw, GW_OWNER), f.Form->Handle());
  // Walking up from the form: the floating window comes before the other form.
  int floatingAt = -1, otherAt = -1, i = 0;
  for (HWND h = GetWindow(f.Form->Handle(), GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV), ++i) {
    if (h == fw && floatingAt < 0) floatingAt = i;
    if (h == other.Handle() && otherAt < 0) otherAt = i;
  }
  EXPECT_GE(floatingAt, 0);
  EXPECT_GT(otherAt, floatingAt);
  PumpFor(30);

  // On top of all forms: owned by the application window and topmost.
  bar->SetFloatingMode(fmOnTopOfAllForms);
  PumpFor(20);
  EXPECT_EQ(GetWindow(fw, GW_OWNER), Application->Handle());
  EXPECT_NE(GetWindowLongW(fw, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  bar->SetFloatingMode(fmOnTopOfParentForm);
  PumpFor(20);
  EXPECT_EQ(GetWindow(fw, GW_OWNER), f.Form->Handle());
  EXPECT_EQ(GetWindowLongW(fw, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

// The thread's first window for the activation prefers ordinary windows to
// tool windows and never names the excluded one.
TEST(TfDockRoutines, FirstThreadWindowPrefersOrdinaryWindows) {
  HWND tool = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"tool", WS_POPUP | WS_VISIBLE, 10, 10,
                              40, 40, nullptr, nullptr, nullptr, nullptr);
  HWND plain = CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP | WS_VISIBLE, 60, 10, 40, 40,
                               nullptr, nullptr, nullptr, nullptr);
  SetWindowPos(tool, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(FirstThreadWindow(nullptr), plain);
  EXPECT_EQ(FirstThreadWindow(plain), tool);
  DestroyWindow(plain);
  DestroyWindow(tool);
  EXPECT_TRUE(IsSelfOrAncestor(GetDesktopWindow(), GetDesktopWindow()));
}

// A right click on the drag handle opens the toolbar's popup menu for it.
TEST(TfDockableWindow, HandleRightClickOpensPopupMenu) {
  DockForm f;
  TTfToolbar* bar = f.Bars[0];
  auto* menu = new TPopupMenu(f.Form);
  auto* mi = new TMenuItem(f.Form);
  mi->SetCaption(L"Customize");
  menu->Items()->Add(mi);
  bar->SetPopupMenu(menu);
  int popups = 0;
  menu->OnPopup = [&](TObject*) {
    ++popups;
    // The menu's own loop runs the timer; it closes the menu again.
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      EndMenu();
    });
  };
  RECT wr = WindowRect(bar->Handle());
  SendMessageW(bar->Handle(), WM_NCRBUTTONUP, HT_TB_DOCKEDHANDLE,
               MAKELPARAM(wr.left + 3, wr.top + 5));
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(menu->PopupComponent(), bar);
}

// A toolbar that stores extra values through the position hooks.
class HookedToolbar : public TTfToolbar {
public:
  using TTfToolbar::TTfToolbar;
  int Extra = 0, Finished = 0;
  void WritePosition(const TTfPositionData& D) override {
    D.WriteInt(Name(), L"Extra", Extra, D.Extra);
  }
  void ReadPosition(const TTfPositionData& D) override {
    Extra = D.ReadInt(Name(), L"Extra", -1, D.Extra);
  }
  void FinishPositionRead() override { ++Finished; }
};

// Positions saved to an INI file come back: rows and places in the dock, the
// floating place, visibility and the hook values.
TEST(TfDockPositions, SaveAndLoadRoundTrip) {
  DockForm f(2);
  auto* hooked = new HookedToolbar(f.Form);
  hooked->SetName(L"Hooked");
  hooked->SetCaption(L"Hooked");
  hooked->HideWhenInactive = false;
  hooked->SetDockRow(2);
  hooked->SetParent(f.Dock);
  auto* it = new TTfItem(f.Form);
  it->SetCaption(L"Hook");
  hooked->Items()->Add(it);
  PumpFor(30);

  f.Bars[1]->SetDockRow(0);
  f.Bars[1]->SetDockPos(180);
  f.Bars[0]->PlaceFloating(TPoint(260, 330));
  f.Bars[0]->MakeFloating(true);
  hooked->Extra = 77;
  hooked->SetVisible(false);
  PumpFor(30);
  int pos1 = f.Bars[1]->DockPos();

  TMemIniFile ini;
  TfSavePositions(f.Form, &ini, L"Toolbar.");
  EXPECT_EQ(ini.ReadString(L"Toolbar.Bar0", L"Dock", L"?"), L"");
  EXPECT_EQ(ini.ReadString(L"Toolbar.Bar1", L"Dock", L"?"), L"TopDock");

  // Everything back in the dock, then loaded again.
  f.Bars[0]->SetParent(f.Dock);
  f.Bars[1]->SetDockPos(0);
  hooked->SetVisible(true);
  hooked->Extra = 0;
  PumpFor(30);
  TfLoadPositions(f.Form, &ini, L"Toolbar.");
  PumpFor(30);
  ASSERT_TRUE(f.Bars[0]->Floating());
  RECT fr = WindowRect(f.Bars[0]->FloatingWindow()->Handle());
  EXPECT_EQ(fr.left, 260);
  EXPECT_EQ(fr.top, 330);
  EXPECT_TRUE(f.Bars[1]->Docked());
  EXPECT_EQ(f.Bars[1]->DockPos(), pos1);
  EXPECT_FALSE(hooked->Visible());
  EXPECT_EQ(hooked->Extra, 77);
  EXPECT_EQ(hooked->Finished, 1);
}

} // namespace
