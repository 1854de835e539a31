// Drag and resize loops of docked and floating toolbars, driven by posted
// mouse messages: drop zones within and between rows, splitting an
// overflowing row, outline drags, the floating window's frame, its resize to
// wrap sizes, and the close buttons.
#include <gtest/gtest.h>

#include <functional>

#include "framework/Forms.h"
#include "tests/support/Gui.h"
#include "toolbars/TfToolbar.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::WindowRect;

// A message-only window that runs a callback when a probe message arrives
// inside a modal loop (the loops dispatch every other message).
class Probe {
public:
  Probe() {
    static bool registered = false;
    if (!registered) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = &Probe::Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"TfDockTestProbe";
      RegisterClassW(&wc);
      registered = true;
    }
    Wnd = CreateWindowExW(0, L"TfDockTestProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Probe() { DestroyWindow(Wnd); }
  void Post(std::function<void()> F) {
    Calls.push_back(std::move(F));
    PostMessageW(Wnd, WM_APP, Calls.size() - 1, 0);
  }
  HWND Wnd;
  std::vector<std::function<void()>> Calls;

private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP) {
      auto* p = reinterpret_cast<Probe*>(GetWindowLongPtrW(h, GWLP_USERDATA));
      if (p && w < p->Calls.size()) p->Calls[w]();
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }
};

LPARAM ClientPoint(HWND h, POINT screen) {
  ::ScreenToClient(h, &screen);
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(screen.x)),
                    static_cast<WORD>(static_cast<short>(screen.y)));
}

// Mouse messages for a loop are posted to the form, which does not move.
void PostMove(HWND form, POINT screen) {
  PostMessageW(form, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(form, screen));
}
void PostUp(HWND form, POINT screen) {
  PostMessageW(form, WM_LBUTTONUP, 0, ClientPoint(form, screen));
}

struct DockForm {
  TForm* Form;
  TTfDock* Dock;
  TTfToolbar* MenuBar;
  std::vector<TTfToolbar*> Bars;

  explicit DockForm(int width = 640) {
    Form = new TForm(nullptr);
    Form->SetBounds(60, 60, width, 300);
    Form->SetCaption(L"Dock drag test");
    Dock = new TTfDock(Form);
    Dock->SetParent(Form);
    MenuBar = new TTfToolbar(Form);
    MenuBar->SetCaption(L"Main Menu");
    // Other programs on the display take the activation at any time.
    MenuBar->HideWhenInactive = false;
    MenuBar->SetMenuBar(true);
    MenuBar->SetFullSize(true); // as the form stores it
    MenuBar->SetParent(Dock);
    for (const wchar_t* c : {L"&File", L"&Edit", L"&Help"}) {
      auto* s = new TTfSubmenuItem(Form);
      s->SetCaption(c);
      MenuBar->Items()->Add(s);
    }
  }
  ~DockForm() { delete Form; }
  TTfToolbar* AddBar(const wchar_t* caption, int row, int pos, int items) {
    auto* t = new TTfToolbar(Form);
    t->SetCaption(caption);
    t->HideWhenInactive = false;
    t->SetDockRow(row);
    t->SetDockPos(pos);
    t->SetParent(Dock);
    for (int i = 0; i < items; ++i) {
      auto* it = new TTfItem(Form);
      it->SetCaption(std::wstring(caption) + std::to_wstring(i));
      t->Items()->Add(it);
    }
    Bars.push_back(t);
    return t;
  }
  void Show() {
    Form->Show();
    PumpFor(80);
  }
  // The screen point where the cursor must be so that the bar's top-left lands
  // on the given dock client point, for a grab at client (1, 1).
  POINT CursorFor(TTfToolbar* bar, int dockX, int dockY) {
    RECT wr = WindowRect(bar->Handle());
    POINT g{1, 1};
    ::ClientToScreen(bar->Handle(), &g);
    POINT d{dockX, dockY};
    ::ClientToScreen(Dock->Handle(), &d);
    return POINT{d.x + (g.x - wr.left), d.y + (g.y - wr.top)};
  }
};

// Where a dragged toolbar is dropped and which rows result.
TEST(TfDockDrag, DropZonesOpenRowsAndPlaceWithinRows) {
  enum Where { AboveFirstRow, FirstQuarterOfRow1, BelowLastRow, InsideRow1BetweenBars };
  struct Case {
    Where where;
    const char* name;
  };
  for (const Case& c : {Case{AboveFirstRow, "above"}, Case{FirstQuarterOfRow1, "quarter"},
                        Case{BelowLastRow, "below"}, Case{InsideRow1BetweenBars, "between"}}) {
    SCOPED_TRACE(c.name);
    DockForm f;
    TTfToolbar* a = f.AddBar(L"A", 1, 0, 3);
    TTfToolbar* b = f.AddBar(L"B", 1, 0, 3); // directly after A
    TTfToolbar* moved = f.AddBar(L"C", 1, 400, 3);
    f.Show();
    ASSERT_EQ(f.MenuBar->AssignedRow, 0);
    ASSERT_EQ(moved->AssignedRow, 1);
    ASSERT_EQ(b->AssignedRow, 1);
    int t0 = f.MenuBar->Height(), t1 = a->Height(), h = moved->Height();
    int dockHeight = f.Dock->Height();
    POINT cursor{};
    switch (c.where) {
    case AboveFirstRow: // the menu bar is full-size: its first half opens a row
      cursor = f.CursorFor(moved, 20, t0 / 4 - h / 2);
      break;
    case FirstQuarterOfRow1:
      cursor = f.CursorFor(moved, 20, t0 + t1 / 8 - h / 2);
      break;
    case BelowLastRow:
      cursor = f.CursorFor(moved, 20, t0 + t1 + 4 - h / 2);
      break;
    case InsideRow1BetweenBars:
      cursor = f.CursorFor(moved, a->Left() + a->Width() - 5, t0 + t1 / 2 - h / 2);
      break;
    }
    PostMove(f.Form->Handle(), cursor);
    PostUp(f.Form->Handle(), cursor);
    moved->RunDragLoop(1, 1);
    PumpFor(30);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(moved->Dragging());
    ASSERT_TRUE(moved->Docked());
    switch (c.where) {
    case AboveFirstRow:
      EXPECT_EQ(moved->AssignedRow, 0);
      EXPECT_EQ(f.MenuBar->AssignedRow, 1);
      EXPECT_EQ(a->AssignedRow, 2);
      EXPECT_EQ(b->AssignedRow, 2);
      EXPECT_GT(f.Dock->Height(), dockHeight);
      break;
    case FirstQuarterOfRow1:
      EXPECT_EQ(f.MenuBar->AssignedRow, 0);
      EXPECT_EQ(moved->AssignedRow, 1);
      EXPECT_EQ(a->AssignedRow, 2);
      EXPECT_EQ(b->AssignedRow, 2);
      EXPECT_GT(f.Dock->Height(), dockHeight);
      break;
    case BelowLastRow:
      EXPECT_EQ(a->AssignedRow, 1);
      EXPECT_EQ(b->AssignedRow, 1);
      EXPECT_EQ(moved->AssignedRow, 2);
      EXPECT_GT(f.Dock->Height(), dockHeight);
      break;
    case InsideRow1BetweenBars:
      // Dropped onto the end of A: it follows A and pushes B aside.
      EXPECT_EQ(moved->AssignedRow, 1);
      EXPECT_EQ(a->AssignedRow, 1);
      EXPECT_EQ(b->AssignedRow, 1);
      EXPECT_EQ(moved->Left(), a->Left() + a->Width());
      EXPECT_EQ(b->Left(), moved->Left() + moved->Width());
      EXPECT_EQ(f.Dock->Height(), dockHeight);
      EXPECT_EQ(moved->DockRow(), 1);
      EXPECT_EQ(moved->DockPos(), moved->AssignedPos);
      break;
    }
  }
}

// A press on the empty part of a toolbar drags it like its handle does.
TEST(TfDockDrag, PressOutsideTheItemsDragsTheMenuBar) {
  DockForm f;
  TTfToolbar* a = f.AddBar(L"A", 1, 0, 3);
  f.Show();
  ASSERT_EQ(f.MenuBar->AssignedRow, 0);
  ASSERT_EQ(a->AssignedRow, 1);
  HWND bar = f.MenuBar->Handle(), form = f.Form->Handle();
  RECT cr;
  GetClientRect(bar, &cr);
  POINT press{cr.right - 20, cr.bottom / 2};
  ASSERT_FALSE(f.MenuBar->IsPointOnContent(TPoint(press.x, press.y)));
  POINT screen = press;
  ::ClientToScreen(bar, &screen);
  // Below the last row: the bar's centre passes both rows.
  POINT to{screen.x, screen.y + f.MenuBar->Height() + a->Height()};
  PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
  PostMove(form, to);
  PostUp(form, to);
  EXPECT_TRUE(PumpUntil([&] { return f.MenuBar->AssignedRow == 1; }, 3000));
  PumpFor(30);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(a->AssignedRow, 0);
  EXPECT_EQ(f.MenuBar->AssignedRow, 1);
  EXPECT_FALSE(f.MenuBar->View()->State() & vwTracking) << "no menu opened";
}

TEST(TfDockDrag, SidewaysDragInAnOverflowingRowSplitsItsSpace) {
  DockForm f(420);
  TTfToolbar* a = f.AddBar(L"Alpha", 1, 0, 6);
  TTfToolbar* b = f.AddBar(L"Beta", 1, 1000, 6);
  f.Show();
  ASSERT_EQ(a->AssignedRow, 1);
  ASSERT_EQ(b->AssignedRow, 1) << "both bars share the overflowing row";
  ASSERT_GT(b->ShrunkLength, 0) << "the last bar gives up length first";
  int aWidth = a->Width(), bLeft = b->Left(), bWidth = b->Width(), dockHeight = f.Dock->Height();
  POINT start = f.CursorFor(b, b->Left(), b->Top());
  Probe probe;
  bool canSplit = false, splitAfterSmallMove = true, splitAfterLargeMove = false;
  probe.Post([&] { canSplit = b->CanSplit(); });
  // 6 pixels: still within the dead zone of 9.
  PostMove(f.Form->Handle(), POINT{start.x - 6, start.y});
  probe.Post([&] { splitAfterSmallMove = b->Splitting(); });
  PostMove(f.Form->Handle(), POINT{start.x - 40, start.y});
  probe.Post([&] { splitAfterLargeMove = b->Splitting(); });
  PostUp(f.Form->Handle(), POINT{start.x - 40, start.y});
  b->RunDragLoop(1, 1);
  PumpFor(30);
  EXPECT_TRUE(canSplit);
  EXPECT_FALSE(splitAfterSmallMove);
  EXPECT_TRUE(splitAfterLargeMove);
  EXPECT_FALSE(b->Splitting());
  EXPECT_EQ(a->AssignedRow, 1);
  EXPECT_EQ(b->AssignedRow, 1);
  EXPECT_EQ(f.Dock->Height(), dockHeight);
  EXPECT_EQ(a->Width(), aWidth - 40) << "the bar before gives the space";
  EXPECT_EQ(b->Left(), bLeft - 40);
  EXPECT_EQ(b->Width(), bWidth + 40);
}

// Ctrl keeps a drag from docking; a window that cannot float stays put; a
// dock may refuse a window.
TEST(TfDockDrag, CtrlCannotFloatAndRefusingDock) {
  enum Kind { CtrlHeld, CtrlPressedAndReleased, CannotFloat, DockRefuses, NotDockableToTop };
  struct Case {
    Kind kind;
    const char* name;
    bool endsDocked;
  };
  for (const Case& c :
       {Case{CtrlHeld, "ctrl held", false}, Case{CtrlPressedAndReleased, "ctrl released", true},
        Case{CannotFloat, "cannot float", true}, Case{DockRefuses, "dock refuses", false},
        Case{NotDockableToTop, "not dockable to the top", false}}) {
    SCOPED_TRACE(c.name);
    DockForm f;
    TTfToolbar* bar = f.AddBar(L"Keys", 1, 0, 3);
    f.Show();
    int row = bar->DockRow(), pos = bar->DockPos();
    HWND form = f.Form->Handle();
    POINT start = f.CursorFor(bar, bar->Left(), bar->Top());
    POINT nearby{start.x + 30, start.y + 1}, away{start.x + 40, start.y + 160};
    int refused = 0;
    switch (c.kind) {
    case CtrlHeld:
      PostMessageW(form, WM_KEYDOWN, VK_CONTROL, 0);
      PostMove(form, nearby);
      PostUp(form, nearby);
      break;
    case CtrlPressedAndReleased:
      PostMessageW(form, WM_KEYDOWN, VK_CONTROL, 0);
      PostMove(form, nearby);
      PostMessageW(form, WM_KEYUP, VK_CONTROL, 0);
      PostUp(form, nearby);
      break;
    case CannotFloat:
      bar->DockMode = dmCannotFloat;
      PostMove(form, away);
      PostUp(form, away);
      break;
    case NotDockableToTop:
      bar->DockableTo = (1u << dpBottom) | (1u << dpLeft) | (1u << dpRight);
      PostMove(form, nearby);
      PostUp(form, nearby);
      break;
    case DockRefuses:
      f.Dock->OnRequestDock = [&](TObject*, TTfCustomDockableWindow* w, bool& accept) {
        if (w == bar) ++refused;
        accept = false;
      };
      PostMove(form, nearby);
      PostUp(form, nearby);
      break;
    }
    bar->RunDragLoop(1, 1);
    PumpFor(30);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(bar->Docked(), c.endsDocked);
    EXPECT_EQ(bar->Floating(), !c.endsDocked);
    if (c.kind == CannotFloat) {
      EXPECT_EQ(bar->DockRow(), row);
      EXPECT_EQ(bar->DockPos(), pos);
    }
    if (c.kind == CtrlPressedAndReleased) EXPECT_EQ(bar->AssignedRow, 1);
    if (c.kind == DockRefuses) EXPECT_GT(refused, 0);
    if (!c.endsDocked) {
      RECT fr = WindowRect(bar->FloatingWindow()->Handle());
      EXPECT_TRUE(PtInRect(&fr, nearby)) << "the window floats under the cursor";
      EXPECT_EQ(bar->DockRow(), row) << "the start row is kept for docking back";
    }
  }
}

// Outline drags move only a frame on the desktop; the window follows on release.
TEST(TfDockDrag, OutlineDragAppliesOnlyOnRelease) {
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "escape" : "release");
    DockForm f;
    TTfToolbar* bar = f.AddBar(L"Outline", 1, 0, 3);
    bar->SmoothDrag = false;
    f.Show();
    int row = bar->DockRow(), pos = bar->DockPos();
    POINT start = f.CursorFor(bar, bar->Left(), bar->Top());
    POINT away{start.x + 60, start.y + 150}; // over the form's client area, far from the dock
    Probe probe;
    bool dockedDuring = false;
    RECT during{};
    PostMove(f.Form->Handle(), away);
    probe.Post([&] {
      dockedDuring = bar->Docked();
      during = WindowRect(bar->Handle());
    });
    if (escape)
      PostMessageW(f.Form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    else
      PostUp(f.Form->Handle(), away);
    RECT before = WindowRect(bar->Handle());
    bar->RunDragLoop(1, 1);
    PumpFor(30);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(dockedDuring);
    EXPECT_EQ(during.left, before.left);
    EXPECT_EQ(during.top, before.top);
    if (escape) {
      EXPECT_TRUE(bar->Docked());
      EXPECT_EQ(bar->DockRow(), row);
      EXPECT_EQ(bar->DockPos(), pos);
    } else {
      ASSERT_TRUE(bar->Floating());
      RECT fr = WindowRect(bar->FloatingWindow()->Handle());
      EXPECT_TRUE(PtInRect(&fr, away)) << "the window is dropped under the cursor";
      EXPECT_EQ(bar->LastDock(), f.Dock);
    }
  }
}

struct FloatingBar {
  DockForm F;
  TTfToolbar* Bar;
  FloatingBar() {
    Bar = F.AddBar(L"Tools", 1, 0, 8);
    F.Show();
    Bar->PlaceFloating(TPoint(200, 250));
    Bar->MakeFloating(true);
    PumpFor(50);
  }
  HWND Frame() const { return Bar->FloatingWindow()->Handle(); }
};

TEST(TfFloatingWindow, OwnFrameAndHitTest) {
  FloatingBar fb;
  ASSERT_TRUE(fb.Bar->Floating());
  TTfFloatingWindowParent* fw = fb.Bar->FloatingWindow();
  RECT wr = WindowRect(fb.Frame());
  TPoint fs;
  fb.Bar->GetFloatingFrameSize(fs);
  int cap = GetSystemMetrics(SM_CYSMCAPTION);
  RECT cr;
  GetClientRect(fb.Frame(), &cr);
  EXPECT_EQ(cr.right, wr.right - wr.left - 2 * fs.X);
  EXPECT_EQ(cr.bottom, wr.bottom - wr.top - 2 * fs.Y - cap);
  EXPECT_EQ(cr.right, fb.Bar->Width());
  EXPECT_EQ(cr.bottom, fb.Bar->Height());
  EXPECT_TRUE(GetWindowLongW(fb.Frame(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongW(fb.Frame(), GWL_STYLE) & WS_DLGFRAME) << "no system caption";
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  TRect close = fw->CloseRect();
  struct Case {
    int x, y;
    bool corners;
    bool resizable;
    LRESULT expected;
  };
  const Case cases[] = {
      {fs.X + 3, fs.Y + 3, false, true, HT_TB_CAPTION},
      {close.Left + 2, close.Top + 2, false, true, HT_TB_CLOSE},
      {w / 2, 0, false, true, HTTOP},
      {w / 2, h - 1, false, true, HTBOTTOM},
      {0, h / 2, false, true, HTLEFT},
      {w - 1, h / 2, false, true, HTRIGHT},
      {0, 0, false, true, HTTOP}, // no corners on a toolbar
      {0, 0, true, true, HTTOPLEFT},
      {w - 1, h - 1, true, true, HTBOTTOMRIGHT},
      {w / 2, h - 1, true, true, HTBOTTOM},
      {fs.X + 2, fs.Y + cap + 2, false, true, HTCLIENT},
      {0, h / 2, false, false, HTNOWHERE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " corners " << c.corners);
    fb.Bar->ResizeCornerHandles = c.corners;
    fb.Bar->Resizable = c.resizable;
    LRESULT r = SendMessageW(fb.Frame(), WM_NCHITTEST, 0, MAKELPARAM(wr.left + c.x, wr.top + c.y));
    EXPECT_EQ(r, c.expected);
  }
  fb.Bar->Resizable = true;
  fb.Bar->ResizeCornerHandles = false;
  EXPECT_EQ(SendMessageW(fb.Frame(), WM_MOUSEACTIVATE,
                         reinterpret_cast<WPARAM>(fb.F.Form->Handle()),
                         MAKELPARAM(HT_TB_CAPTION, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  // Closing the floating window closes the form that owns the toolbar, not the toolbar.
  bool formClosed = false;
  fb.F.Form->OnCloseQuery = [&](TObject*, bool& can) {
    formClosed = true;
    can = false;
  };
  SendMessageW(fb.Frame(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(formClosed);
  EXPECT_TRUE(fb.Bar->Visible());
}

// Resizing by an edge offers only the sizes at which the items wrap.
TEST(TfFloatingWindow, ResizeSnapsToWrapSizes) {
  enum Move { SmallLeftOfRight, ToNextNarrower, DownALot, LeftEdgeFarRight };
  struct Case {
    Move move;
    bool smooth, escape;
    const char* name;
  };
  const Case cases[] = {
      {SmallLeftOfRight, true, false, "dead zone"}, {ToNextNarrower, true, false, "next narrower"},
      {DownALot, true, false, "bottom edge"},       {LeftEdgeFarRight, true, false, "left edge"},
      {ToNextNarrower, false, false, "outline"},    {ToNextNarrower, false, true, "outline escape"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FloatingBar fb;
    fb.Bar->SmoothDrag = c.smooth;
    ASSERT_EQ(fb.Bar->FloatingWidth(), 0);
    std::vector<TPoint> sizes;
    fb.Bar->CollectWrapSizes(sizes);
    ASSERT_GE(sizes.size(), 3u);
    for (size_t i = 1; i < sizes.size(); ++i) {
      EXPECT_LT(sizes[i].X, sizes[i - 1].X);
      EXPECT_GT(sizes[i].Y, sizes[i - 1].Y);
    }
    RECT start = WindowRect(fb.Frame());
    int startW = start.right - start.left, startH = start.bottom - start.top;
    TPoint one = fb.Bar->FloatingWindowSizeFor(sizes[0].X, sizes[0].Y);
    ASSERT_EQ(startW, one.X);
    ASSERT_EQ(startH, one.Y);
    TPoint two = fb.Bar->FloatingWindowSizeFor(sizes[1].X, sizes[1].Y);
    TPoint last = fb.Bar->FloatingWindowSizeFor(sizes.back().X, sizes.back().Y);
    int edge = 1;
    POINT from{start.right - 2, (start.top + start.bottom) / 2}, to = from;
    switch (c.move) {
    case SmallLeftOfRight:
      to.x -= std::min<int>(3, (startW - two.X) - 1);
      break;
    case ToNextNarrower:
      to.x -= startW - two.X;
      break;
    case DownALot:
      edge = 5;
      from = POINT{(start.left + start.right) / 2, start.bottom - 2};
      to = POINT{from.x, from.y + 400};
      break;
    case LeftEdgeFarRight:
      edge = 0;
      from = POINT{start.left + 1, (start.top + start.bottom) / 2};
      to = POINT{from.x + startW - 10, from.y};
      break;
    }
    PostMove(fb.F.Form->Handle(), to);
    if (c.escape)
      PostMessageW(fb.F.Form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    else
      PostUp(fb.F.Form->Handle(), to);
    fb.Bar->RunSizeLoop(edge, TPoint(from.x, from.y));
    PumpFor(30);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(fb.Bar->SizeData(), nullptr);
    RECT now = WindowRect(fb.Frame());
    int w = now.right - now.left, h = now.bottom - now.top;
    RECT cr;
    GetClientRect(fb.Frame(), &cr);
    EXPECT_EQ(cr.right, fb.Bar->Width());
    EXPECT_EQ(cr.bottom, fb.Bar->Height());
    switch (c.move) {
    case SmallLeftOfRight:
      EXPECT_EQ(w, startW);
      EXPECT_EQ(fb.Bar->FloatingWidth(), 0);
      break;
    case ToNextNarrower:
      if (c.escape) {
        EXPECT_EQ(w, startW);
        EXPECT_EQ(fb.Bar->FloatingWidth(), 0);
      } else {
        EXPECT_EQ(w, two.X);
        EXPECT_EQ(h, two.Y);
        EXPECT_EQ(now.left, start.left);
        EXPECT_GT(fb.Bar->FloatingWidth(), 0);
      }
      break;
    case DownALot:
      EXPECT_EQ(w, last.X);
      EXPECT_EQ(h, last.Y);
      EXPECT_EQ(now.top, start.top);
      break;
    case LeftEdgeFarRight:
      EXPECT_EQ(w, last.X);
      EXPECT_EQ(now.right, start.right) << "the right side stays";
      break;
    }
    if (c.move == ToNextNarrower && c.smooth)
      EXPECT_TRUE(testsupport::SaveWindowPng(fb.Frame(), L"toolbars_floating_resized.png"));
  }
}

// Presses on the floating window's frame start its loops.
TEST(TfFloatingWindow, EdgePressResizesAndCaptionPressDocks) {
  FloatingBar fb;
  HWND frame = fb.Frame(), form = fb.F.Form->Handle();
  std::vector<TPoint> sizes;
  fb.Bar->CollectWrapSizes(sizes);
  ASSERT_GE(sizes.size(), 2u);
  TPoint two = fb.Bar->FloatingWindowSizeFor(sizes[1].X, sizes[1].Y);
  RECT wr = WindowRect(frame);
  POINT edge{wr.right - 1, (wr.top + wr.bottom) / 2};
  ASSERT_EQ(SendMessageW(frame, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTRIGHT);
  POINT to{edge.x - ((wr.right - wr.left) - two.X), edge.y};
  PostMove(form, to);
  PostUp(form, to);
  SendMessageW(frame, WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(edge.x, edge.y));
  PumpFor(30);
  wr = WindowRect(frame);
  EXPECT_EQ(wr.right - wr.left, two.X);
  EXPECT_EQ(wr.bottom - wr.top, two.Y);

  TTfToolbar* other = fb.F.AddBar(L"Other", 1, 0, 2);
  PumpFor(30);
  ASSERT_EQ(other->AssignedRow, 1);
  POINT caption{wr.left + 8, wr.top + 5};
  ASSERT_EQ(SendMessageW(frame, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HT_TB_CAPTION);
  POINT over{0, 0};
  ::ClientToScreen(fb.F.Dock->Handle(), &over);
  over.x += other->Left() + other->Width() + 40;
  // Near the row's top: the grab point is near the caption's top, so the
  // docked rectangle's centre falls in the middle part of the row.
  over.y += other->Top() + 2;
  PostMove(form, over);
  PostUp(form, over);
  SendMessageW(frame, WM_NCLBUTTONDOWN, HT_TB_CAPTION, MAKELPARAM(caption.x, caption.y));
  PumpFor(30);
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_TRUE(fb.Bar->Docked());
  EXPECT_EQ(fb.Bar->AssignedRow, 1);
  EXPECT_EQ(other->AssignedRow, 1);
  EXPECT_GT(fb.Bar->Left(), other->Left());
  EXPECT_EQ(fb.Bar->FloatingWindow(), nullptr) << "the floating window is freed on docking";
}

// The close button of a floating window and of a docked one.
TEST(TfCloseButton, ClickInsideHidesAndNotifies) {
  enum Where { Floating, Docked };
  struct Case {
    Where where;
    bool releaseInside, allow;
    bool expectClosed;
  };
  const Case cases[] = {
      {Floating, true, true, true}, {Floating, false, true, false}, {Floating, true, false, false},
      {Docked, true, true, true},   {Docked, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.where == Floating ? "floating" : "docked") << " inside "
                                    << c.releaseInside << " allow " << c.allow);
    FloatingBar fb;
    TTfToolbar* bar = fb.Bar;
    HWND target;
    TRect close;
    RECT wr;
    if (c.where == Floating) {
      target = fb.Frame();
      wr = WindowRect(target);
      close = bar->FloatingWindow()->CloseRect();
    } else {
      bar->SetCloseButtonWhenDocked(true);
      bar->DoubleClickHandle();
      PumpFor(30);
      ASSERT_TRUE(bar->Docked());
      EXPECT_EQ(bar->HandleSize(), 14);
      target = bar->Handle();
      wr = WindowRect(target);
      bar->GetDockedCloseRect(false, close);
      POINT o{0, 0};
      ::ClientToScreen(target, &o);
      EXPECT_EQ(o.x - wr.left, 2 + 14) << "the handle strip holds the close button";
    }
    POINT inside{wr.left + (close.Left + close.Right) / 2, wr.top + (close.Top + close.Bottom) / 2};
    LRESULT hit = SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y));
    ASSERT_EQ(hit, HT_TB_CLOSE);
    if (c.where == Docked) {
      SendMessageW(target, WM_NCMOUSEMOVE, HT_TB_CLOSE, MAKELPARAM(inside.x, inside.y));
      EXPECT_TRUE(bar->CloseButtonHot());
      SendMessageW(target, WM_NCMOUSEMOVE, HT_TB_DOCKEDHANDLE,
                   MAKELPARAM(wr.left + 3, wr.bottom - 3));
      EXPECT_FALSE(bar->CloseButtonHot());
    }
    int closed = 0, queried = 0;
    bar->OnCloseQuery = [&](TObject*, bool& can) {
      ++queried;
      can = c.allow;
    };
    bar->OnClose = [&](TObject*) { ++closed; };
    Probe probe;
    bool pressedInside = false, pressedOutside = true;
    auto pressed = [&] {
      return c.where == Floating ? bar->FloatingWindow()->ClosePressed()
                                 : bar->CloseButtonPressed();
    };
    POINT outside{inside.x - 60, inside.y + 60};
    PostMessageW(target, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(target, inside));
    probe.Post([&] { pressedInside = pressed(); });
    PostMessageW(target, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(target, outside));
    probe.Post([&] { pressedOutside = pressed(); });
    POINT release = c.releaseInside ? inside : outside;
    PostMessageW(target, WM_LBUTTONUP, 0, ClientPoint(target, release));
    SendMessageW(target, WM_NCLBUTTONDOWN, HT_TB_CLOSE, MAKELPARAM(inside.x, inside.y));
    PumpFor(30);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(pressedInside);
    EXPECT_FALSE(pressedOutside);
    EXPECT_FALSE(pressed());
    EXPECT_EQ(queried, c.releaseInside ? 1 : 0);
    EXPECT_EQ(closed, c.expectClosed ? 1 : 0);
    EXPECT_EQ(bar->Visible(), !c.expectClosed);
    if (c.where == Floating) EXPECT_EQ(IsWindowVisible(fb.Frame()) != FALSE, !c.expectClosed);
    if (c.where == Docked && !c.expectClosed && c.allow)
      EXPECT_TRUE(
          testsupport::SaveWindowPng(fb.F.Form->Handle(), L"toolbars_docked_close_button.png"));
  }
}

} // namespace
