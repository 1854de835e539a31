// Floating toolbars and their form: caption activation, Esc back to the form,
// style changes at run time; and the chevron glyph's pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "tests/support/Gui.h"
#include "toolbars/TfToolbar.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::WindowRect;

struct FloatForm {
  TForm* Form;
  TTfDock* Dock;
  TTfToolbar* Bar;
  explicit FloatForm(int x = 80, bool hideWhenInactive = false) {
    Form = new TForm(nullptr);
    Form->SetBounds(x, 60, 500, 260);
    Form->SetCaption(L"Floating test");
    Dock = new TTfDock(Form);
    Dock->SetParent(Form);
    Bar = new TTfToolbar(Form);
    Bar->SetCaption(L"Tools");
    Bar->HideWhenInactive = hideWhenInactive;
    Bar->SetParent(Dock);
    for (int i = 0; i < 4; ++i) {
      auto* it = new TTfItem(Form);
      it->SetCaption(L"Tool" + std::to_wstring(i));
      Bar->Items()->Add(it);
    }
    Form->Show();
    PumpFor(50);
    Bar->PlaceFloating(TPoint(x + 140, 200));
    Bar->MakeFloating(true);
    PumpFor(50);
  }
  ~FloatForm() { delete Form; }
  HWND Frame() const { return Bar->FloatingWindow()->Handle(); }
  // Colour of the caption just right of its left end, as painted.
  COLORREF CaptionPixel() const {
    TRect c = Bar->FloatingWindow()->CaptionRect(true);
    HDC dc = GetWindowDC(Frame());
    COLORREF p = GetPixel(dc, c.Left + 1, c.Top + c.Height() / 2);
    ReleaseDC(Frame(), dc);
    return p;
  }
};

// With HideWhenInactive the floating window hides while the application is
// inactive and shows again when it is activated; without it, it stays.
TEST(TfFloating, HideWhenInactive) {
  FloatForm f(80, true);
  EXPECT_TRUE(f.Bar->HideWhenInactive);
  HWND frame = f.Frame();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(frame) != FALSE; }));
  SendMessageW(f.Form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(frame); }));
  SendMessageW(f.Form->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(frame) != FALSE; }));
  f.Bar->HideWhenInactive = false;
  SendMessageW(f.Form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  PumpFor(30);
  EXPECT_TRUE(IsWindowVisible(frame));
  SendMessageW(f.Form->Handle(), WM_ACTIVATEAPP, TRUE, 0);
}

// Moving between the dock and the floating window reports the re-creation
// around it and the hidden dock change in between.
TEST(TfFloating, RecreationEvents) {
  FloatForm f;
  std::vector<std::string> log;
  bool hiddenFloating = true;
  TTfDock* hiddenDock = nullptr;
  f.Bar->OnDockChanging = [&](TObject*, bool, TTfDock*) { log.push_back("changing"); };
  f.Bar->OnRecreating = [&](TObject*) { log.push_back("recreating"); };
  f.Bar->OnDockChangingHidden = [&](TObject*, bool Floating, TTfDock* To) {
    log.push_back("hidden");
    hiddenFloating = Floating;
    hiddenDock = To;
  };
  f.Bar->OnRecreated = [&](TObject*) { log.push_back("recreated"); };
  f.Bar->OnDockChanged = [&](TObject*) { log.push_back("changed"); };
  const std::vector<std::string> expected = {"changing", "recreating", "hidden", "recreated",
                                             "changed"};
  f.Bar->SetParent(f.Dock);
  PumpFor(30);
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(hiddenFloating);
  EXPECT_EQ(hiddenDock, f.Dock);
  log.clear();
  f.Bar->MakeFloating(true);
  PumpFor(30);
  ASSERT_TRUE(f.Bar->Floating());
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(hiddenFloating);
  EXPECT_EQ(hiddenDock, nullptr);
}

// A dockable window that keeps whatever size it is given.
struct PlainDockable : TTfCustomDockableWindow {
  using TTfCustomDockableWindow::TTfCustomDockableWindow;
  void MeasureForPlacement(bool, TTfDock*, bool, TPoint& Size) override {
    Size = TPoint(Width(), Height());
  }
  void GetContentSize(TPoint& Size) override { Size = TPoint(Width(), Height()); }
};

// Setting a floating window's bounds resizes the floating window around it
// and keeps it at the floating window's client origin.
TEST(TfFloating, BoundsResizeFloatingWindow) {
  TForm form(nullptr);
  form.SetBounds(80, 60, 400, 200);
  auto* bar = new PlainDockable(&form);
  bar->SetParent(&form);
  bar->SetBounds(10, 10, 120, 40);
  form.Show();
  PumpFor(30);
  bar->PlaceFloating(TPoint(260, 220));
  bar->MakeFloating(true);
  PumpFor(30);
  ASSERT_TRUE(bar->Floating());
  TTfFloatingWindowParent* w = bar->FloatingWindow();
  const int frameW = w->Width() - w->ClientWidth(), frameH = w->Height() - w->ClientHeight();
  const int left = w->Left(), top = w->Top();
  const int sizes[][2] = {{bar->Width() + 40, bar->Height() + 20},
                          {bar->Width() + 10, bar->Height() + 5}};
  for (const auto& sz : sizes) {
    bar->SetBounds(25, 30, sz[0], sz[1]);
    PumpFor(20);
    EXPECT_EQ(w->ClientWidth(), sz[0]);
    EXPECT_EQ(w->ClientHeight(), sz[1]);
    EXPECT_EQ(w->Width(), sz[0] + frameW);
    EXPECT_EQ(w->Height(), sz[1] + frameH);
    EXPECT_EQ(w->Left(), left);
    EXPECT_EQ(w->Top(), top);
    EXPECT_EQ(bar->Left(), 0);
    EXPECT_EQ(bar->Top(), 0);
    EXPECT_EQ(bar->Width(), sz[0]);
    EXPECT_EQ(bar->Height(), sz[1]);
  }
}

// Prints a window with WM_PRINT into a bitmap first filled with a marker
// colour and returns the pixels asked for.
// Pixels of a window printed with WM_PRINT on a magenta bitmap of its size.
std::vector<COLORREF> PrintedAll(HWND h, LPARAM flags, int& w, int& ht) {
  RECT wr = WindowRect(h);
  w = wr.right - wr.left;
  ht = wr.bottom - wr.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, ht);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, w, ht};
  HBRUSH marker = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &all, marker);
  DeleteObject(marker);
  SendMessageW(h, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
  std::vector<COLORREF> out;
  for (int y = 0; y < ht; ++y)
    for (int x = 0; x < w; ++x)
      out.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return out;
}

std::vector<COLORREF> Printed(HWND h, LPARAM flags, const std::vector<POINT>& at) {
  int w, ht;
  std::vector<COLORREF> all = PrintedAll(h, flags, w, ht);
  std::vector<COLORREF> out;
  for (POINT p : at)
    out.push_back(all[static_cast<size_t>(p.y) * w + p.x]);
  return out;
}

// WM_PRINT draws the frames and the client areas of the floating window and
// of the docked toolbar.
TEST(TfFloating, PrintDrawsFrameAndClient) {
  FloatForm f;
  ASSERT_TRUE(f.Bar->Floating());
  HWND frame = f.Frame();
  TRect c = f.Bar->FloatingWindow()->CaptionRect(true);
  POINT cap{c.Left + 1, c.Top + c.Height() / 2};
  POINT mid{(WindowRect(frame).right - WindowRect(frame).left) / 2,
            WindowRect(frame).bottom - WindowRect(frame).top - 6};
  const COLORREF magenta = RGB(255, 0, 255);
  auto px = Printed(frame, PRF_NONCLIENT | PRF_CLIENT, {cap, mid});
  EXPECT_NE(px[0], magenta);
  EXPECT_NE(px[1], magenta);
  // The client area alone is printed at the DC's origin.
  RECT fr = WindowRect(frame);
  POINT farCorner{fr.right - fr.left - 2, fr.bottom - fr.top - 2};
  px = Printed(frame, PRF_CLIENT, {POINT{1, 1}, farCorner});
  EXPECT_NE(px[0], magenta);
  EXPECT_EQ(px[1], magenta);

  f.Bar->SetParent(f.Dock);
  PumpFor(30);
  ASSERT_FALSE(f.Bar->Floating());
  HWND bar = f.Bar->Handle();
  RECT br = WindowRect(bar);
  POINT corner{0, 0}, inner{(br.right - br.left) / 2, (br.bottom - br.top) / 2};
  px = Printed(bar, PRF_NONCLIENT, {corner, inner});
  EXPECT_NE(px[0], magenta);
  EXPECT_EQ(px[1], magenta);
  px = Printed(bar, PRF_NONCLIENT | PRF_CLIENT, {corner, inner});
  EXPECT_NE(px[0], magenta);
  EXPECT_NE(px[1], magenta);
}

// With PRF_CHILDREN the floating window prints the toolbar inside it, with
// its item captions; without it only its own face.
TEST(TfFloating, PrintWithChildrenShowsTheToolbar) {
  FloatForm f;
  ASSERT_TRUE(f.Bar->Floating());
  auto dark = [](HWND h, LPARAM flags) {
    int w, ht;
    int n = 0;
    for (COLORREF c : PrintedAll(h, flags, w, ht))
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 150) ++n;
    return n;
  };
  int without = dark(f.Frame(), PRF_NONCLIENT | PRF_CLIENT);
  int with = dark(f.Frame(), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
  int barAlone = dark(f.Bar->Handle(), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
  EXPECT_GT(barAlone, 20) << "the item captions are dark text";
  EXPECT_GE(with, without + barAlone - 5);
  // A hidden window with PRF_CHECKVISIBLE prints nothing.
  SetWindowPos(f.Frame(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_FALSE(IsWindowVisible(f.Frame()));
  EXPECT_EQ(SendMessageW(f.Frame(), WM_PRINT, 0, PRF_CHECKVISIBLE | PRF_CLIENT), 0);
}

// A right click on the docked toolbar's frame runs its context popup at that
// point.
TEST(TfFloating, DockedFrameRightClickContextPopup) {
  FloatForm f;
  f.Bar->SetParent(f.Dock);
  PumpFor(30);
  ASSERT_FALSE(f.Bar->Floating());
  int calls = 0;
  TPoint at(0, 0);
  f.Bar->OnContextPopup = [&](TObject*, TPoint P, bool& Handled) {
    ++calls;
    at = P;
    Handled = true;
  };
  RECT wr = WindowRect(f.Bar->Handle());
  SendMessageW(f.Bar->Handle(), WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 1, wr.top + 1));
  EXPECT_EQ(calls, 1);
  POINT c{wr.left + 1, wr.top + 1};
  ScreenToClient(f.Bar->Handle(), &c);
  EXPECT_EQ(at.X, c.x);
  EXPECT_EQ(at.Y, c.y);
}

// The caption follows the activation of the form that owns the toolbar.
TEST(TfFloating, CaptionMirrorsFormActivation) {
  FloatForm f;
  ASSERT_TRUE(f.Bar->Floating());
  TForm other(nullptr);
  other.SetBounds(620, 60, 200, 150);
  other.SetCaption(L"Other form");
  other.Show();
  BOOL gradient = FALSE;
  SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
  struct Case {
    bool activateForm;
    bool inactive;
    const char* name;
  };
  const Case cases[] = {{true, false, "form active"},
                        {false, true, "other form active"},
                        {true, false, "form active again"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND target = c.activateForm ? f.Form->Handle() : other.Handle();
    SetActiveWindow(target);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == target; }));
    EXPECT_TRUE(PumpUntil([&] { return f.Bar->CaptionInactive() == c.inactive; }));
    EXPECT_TRUE(IsWindowVisible(f.Frame()));
    if (!gradient) {
      COLORREF want = GetSysColor(c.inactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION);
      EXPECT_TRUE(PumpUntil([&] { return f.CaptionPixel() == want; }))
          << std::hex << f.CaptionPixel() << " want " << want;
    }
  }
  // Activating the floating window hands the activation on to the form.
  SetActiveWindow(other.Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == other.Handle(); }));
  SetActiveWindow(f.Frame());
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == f.Form->Handle(); }));
  EXPECT_FALSE(f.Bar->CaptionInactive());
  // A window on top of all forms belongs to the application, not the form.
  f.Bar->SetFloatingMode(fmOnTopOfAllForms);
  EXPECT_NE(GetWindow(f.Frame(), GW_OWNER), f.Form->Handle());
  EXPECT_TRUE(GetWindowLongW(f.Frame(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  f.Bar->SetFloatingMode(fmOnTopOfParentForm);
  EXPECT_EQ(GetWindow(f.Frame(), GW_OWNER), f.Form->Handle());
  EXPECT_FALSE(GetWindowLongW(f.Frame(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// A click on the floating window activates its form only with ActivateParent
// in the mode on top of the form; the window itself never takes the activation.
TEST(TfFloating, MouseActivationAndMoveEvents) {
  FloatForm f;
  ASSERT_TRUE(f.Bar->Floating());
  TForm other(nullptr);
  other.SetBounds(620, 60, 200, 150);
  other.SetCaption(L"Other form");
  other.Show();
  struct Case {
    bool activateParent;
    TTfFloatingMode mode;
    bool formActivated;
  };
  const Case cases[] = {{true, fmOnTopOfParentForm, true},
                        {false, fmOnTopOfParentForm, false},
                        {true, fmOnTopOfAllForms, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.activateParent << " mode " << c.mode);
    f.Bar->ActivateParent = c.activateParent;
    f.Bar->SetFloatingMode(c.mode);
    SetActiveWindow(other.Handle());
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == other.Handle(); }));
    EXPECT_EQ(SendMessageW(f.Frame(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(other.Handle()),
                           MAKELPARAM(HT_TB_CAPTION, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    PumpFor(20);
    EXPECT_EQ(GetActiveWindow(), c.formActivated ? f.Form->Handle() : other.Handle());
  }
  f.Bar->SetFloatingMode(fmOnTopOfParentForm);
  // Moving the floating window reports a move of the toolbar.
  int moves = 0;
  f.Bar->OnMove = [&](TObject*) { ++moves; };
  f.Bar->PlaceFloating(TPoint(230, 210));
  EXPECT_TRUE(PumpUntil([&] { return moves > 0; }));
  EXPECT_EQ(WindowRect(f.Frame()).left, 230);
}

// The floating window is shown only while its form is shown and not minimised,
// and while the toolbar itself is visible.
TEST(TfFloating, ShownWithItsForm) {
  enum Step { HideForm, ShowForm, Minimise, Restore, HideBar, ShowBar, AllFormsMinimised };
  struct Case {
    Step step;
    bool visible;
    const char* name;
  };
  const Case cases[] = {{HideForm, false, "form hidden"},
                        {ShowForm, true, "form shown"},
                        {Minimise, false, "minimised"},
                        {Restore, true, "restored"},
                        {HideBar, false, "toolbar hidden"},
                        {ShowBar, true, "toolbar shown"},
                        {AllFormsMinimised, true, "on top of all forms"}};
  FloatForm f;
  ASSERT_TRUE(f.Bar->Floating());
  HWND form = f.Form->Handle();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    switch (c.step) {
    case HideForm:
      f.Form->Hide();
      break;
    case ShowForm:
      f.Form->Show();
      break;
    case Minimise:
      ShowWindow(form, SW_MINIMIZE);
      break;
    case Restore:
      ShowWindow(form, SW_RESTORE);
      break;
    case HideBar:
      f.Bar->Hide();
      break;
    case ShowBar:
      f.Bar->Show();
      break;
    case AllFormsMinimised:
      f.Bar->SetFloatingMode(fmOnTopOfAllForms);
      ShowWindow(form, SW_MINIMIZE);
      break;
    }
    EXPECT_TRUE(PumpUntil([&] { return (IsWindowVisible(f.Frame()) != FALSE) == c.visible; }));
    EXPECT_TRUE(f.Bar->Floating());
  }
  ShowWindow(form, SW_RESTORE);
}

// Esc in a floating toolbar gives the focus back to its form; with Shift it does not.
TEST(TfFloating, EscapeReturnsFocusToForm) {
  for (bool shift : {false, true}) {
    SCOPED_TRACE(shift ? "shift+esc" : "esc");
    FloatForm f;
    ASSERT_TRUE(f.Bar->Floating());
    HWND bar = f.Bar->Handle();
    SetFocus(bar);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == bar; }));
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved = keys[VK_SHIFT];
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    keys[VK_SHIFT] = saved;
    SetKeyboardState(keys);
    HWND form = f.Form->Handle();
    auto onForm = [&] {
      HWND g = GetFocus();
      return g && (g == form || IsChild(form, g));
    };
    if (shift) {
      PumpFor(30);
      EXPECT_EQ(GetFocus(), bar);
    } else {
      EXPECT_TRUE(PumpUntil(onForm));
      EXPECT_EQ(GetActiveWindow(), form);
    }
  }
}

// Changing the window style while floating re-creates the floating window in
// place; the toolbar keeps its size and the frame follows the style.
TEST(TfFloating, StyleChangesWhileFloating) {
  enum Change { NotResizable, ResizableAgain, NoCaption };
  FloatForm f;
  ASSERT_TRUE(f.Bar->Floating());
  for (Change c : {NotResizable, ResizableAgain, NoCaption}) {
    SCOPED_TRACE(static_cast<int>(c));
    RECT before = WindowRect(f.Frame());
    int w = f.Bar->Width(), h = f.Bar->Height();
    if (c == NotResizable) f.Bar->SetResizable(false);
    if (c == ResizableAgain) f.Bar->SetResizable(true);
    if (c == NoCaption) f.Bar->SetShowCaption(false);
    PumpFor(30);
    ASSERT_TRUE(f.Bar->Floating());
    HWND frame = f.Frame();
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_EQ(GetParent(f.Bar->Handle()), frame);
    LONG style = GetWindowLongW(frame, GWL_STYLE);
    EXPECT_EQ((style & WS_THICKFRAME) != 0, f.Bar->Resizable);
    RECT after = WindowRect(frame);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(f.Bar->Width(), w);
    EXPECT_EQ(f.Bar->Height(), h);
    TPoint fs;
    f.Bar->GetFloatingFrameSize(fs);
    int cap = f.Bar->ShowCaption ? GetSystemMetrics(SM_CYSMCAPTION) : 0;
    EXPECT_EQ(after.right - after.left, w + 2 * fs.X);
    EXPECT_EQ(after.bottom - after.top, h + 2 * fs.Y + cap);
    RECT cr;
    GetClientRect(frame, &cr);
    EXPECT_EQ(cr.right, w);
    EXPECT_EQ(cr.bottom, h);
    // The border answers sizing codes only when resizable.
    LRESULT edge = SendMessageW(frame, WM_NCHITTEST, 0,
                                MAKELPARAM(after.left, (after.top + after.bottom) / 2));
    EXPECT_EQ(edge, f.Bar->Resizable ? HTLEFT : HTNOWHERE);
  }
  // The floating window's caption follows the toolbar's.
  f.Bar->SetShowCaption(true);
  f.Bar->SetCaption(L"Renamed");
  EXPECT_EQ(testsupport::WindowText(f.Frame()), L"Renamed");
}

// The chevron glyph: set bits of the pattern take the system colour, the rest
// of the button face stays.
TEST(TfChevron, GlyphPixels) {
  TForm form(nullptr);
  std::unique_ptr<TTfToolbar> tb(new TTfToolbar(&form));
  tb->SetParent(&form);
  for (int i = 0; i < 4; ++i) {
    auto* it = new TTfItem(&form);
    it->SetCaption(L"Button" + std::to_wstring(i));
    tb->Items()->Add(it);
  }
  TTfView* v = tb->View();
  TPoint base, total;
  int lines = 1;
  v->Layout(true, voHorizontal, 0, 30, 12, base, total, lines);
  TTfItemViewer* chev = v->ViewerOf(tb->ChevronItem());
  ASSERT_NE(chev, nullptr);

  static const BYTE horz[8] = {0xCC, 0x66, 0x33, 0x66, 0xCC, 0, 0, 0};
  static const BYTE vert[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
  struct Case {
    bool vertical, pushed, enabled;
  };
  const Case cases[] = {
      {false, false, true}, {false, true, true}, {true, false, true}, {false, false, false}};
  const int W = 24, H = 24;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "vertical " << c.vertical << " pushed " << c.pushed
                                    << " enabled " << c.enabled);
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = testsupport::CreateTopDownDib(dc, W, H, &bits);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, W, H};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    v->SetOrientation(c.vertical ? voVertical : voHorizontal);
    tb->ChevronItem()->SetEnabled(c.enabled);
    TCanvas canvas;
    canvas.SetHandle(dc);
    TRect r(0, 0, 20, 20);
    // A disabled chevron draws no edge; an enabled pushed one draws a sunken edge
    // round the rectangle, which lies outside the glyph box checked below.
    chev->Paint(&canvas, r, false, c.pushed, false);
    canvas.SetHandle(nullptr);
    GdiFlush();
    int gx = c.vertical ? r.Right - 9 : r.Left + 2, gy = c.vertical ? r.Top + 2 : 4;
    int gw = c.vertical ? 5 : 8, gh = c.vertical ? 8 : 5;
    if (c.pushed) gx += 1, gy += 1;
    const BYTE* rows = c.vertical ? vert : horz;
    auto set = [&](int x, int y) {
      return x >= 0 && x < gw && y >= 0 && y < gh && (rows[y] & (0x80 >> x)) != 0;
    };
    int glyphPixels = 0;
    for (int y = 0; y < gh + 1; ++y)
      for (int x = 0; x < gw; ++x) {
        COLORREF want = GetSysColor(COLOR_BTNFACE);
        if (c.enabled) {
          if (set(x, y)) want = GetSysColor(COLOR_BTNTEXT);
        } else {
          if (set(x, y - 1)) want = GetSysColor(COLOR_BTNHIGHLIGHT);
          if (set(x, y)) want = GetSysColor(COLOR_BTNSHADOW);
        }
        if (set(x, y)) ++glyphPixels;
        COLORREF got = GetPixel(dc, gx + x, gy + y);
        EXPECT_EQ(got, want) << "at " << x << "," << y;
      }
    EXPECT_GT(glyphPixels, 10);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  tb->ChevronItem()->SetEnabled(true);
}

} // namespace
