// Item viewers, views and their navigation, popup menus and the
// menu-tracking loop, driven on real windows: posted keys, real mouse input
// (the loop holds the capture, so the system decides where a press goes,
// as for a person's mouse) and probes that look at the menus from inside
// the loop.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "tests/support/Gui.h"
#include "tests/toolbars/TfTestForm.h"
#include "toolbars/TfAnim.h"
#include "toolbars/TfCommon.h"
#include "toolbars/TfDock.h"
#include "toolbars/TfItem.h"
#include "toolbars/TfToolbar.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

// ---------------------------------------------------------------------------
// Helpers

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

void MouseClickAt(int x, int y) {
  MouseMoveTo(x, y);
  Sleep(60);
  MouseButton(true);
  Sleep(40);
  MouseButton(false);
}

// Parks the cursor where no menu opens, so that keys alone steer.
void ParkCursor() {
  SetCursorPos(1, 1);
}

std::vector<HWND> VisiblePopups() {
  std::vector<HWND> found;
  HWND h = nullptr;
  while ((h = FindWindowExW(nullptr, h, L"TTfPopupWindow", nullptr)) != nullptr)
    if (IsWindowVisible(h)) found.push_back(h);
  return found;
}

HWND WaitForPopups(size_t count, int timeoutMs = 5000) {
  DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  while (GetTickCount() < end) {
    auto v = VisiblePopups();
    if (v.size() >= count) return v.back();
    Sleep(10);
  }
  return nullptr;
}

// The root view of the free-standing popup menu that is open, if any.
TTfView* OpenPopupRoot() {
  HWND h = nullptr;
  while ((h = FindWindowExW(nullptr, h, L"TTfPopupWindow", nullptr)) != nullptr) {
    auto* w = dynamic_cast<TTfPopupWindow*>(FindControl(h));
    if (w && !w->View()->ParentView()) return w->View();
  }
  return nullptr;
}

std::wstring CaptionOf(TTfItemViewer* v) {
  return v ? v->Item()->Caption() : L"-";
}

// The chain of open menus: the selected caption of each view, ">" where a
// submenu is open.
std::wstring Path(TTfView* root) {
  if (!root) return L"(none)";
  std::wstring s;
  for (TTfView* v = root; v; v = v->OpenView()) {
    if (!s.empty()) s += L">";
    s += CaptionOf(v->Selected());
  }
  return s;
}

// Runs functions inside whatever loop pumps this thread's messages, in
// order with the keys posted before and after them.
class Probe {
public:
  Probe() {
    static ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = &Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"TfViewTestProbe";
      return RegisterClassW(&wc);
    }();
    (void)atom;
    FWnd = CreateWindowExW(0, L"TfViewTestProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Probe() { DestroyWindow(FWnd); }
  HWND Wnd() const { return FWnd; }
  void Post(std::function<void()> Fn) {
    FQueue.push_back(std::move(Fn));
    PostMessageW(FWnd, WM_APP, 0, 0);
  }
  void Key(UINT Vk) { PostMessageW(FWnd, WM_KEYDOWN, Vk, 1); }
  void Char(wchar_t C) { PostMessageW(FWnd, WM_CHAR, C, 1); }

private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Probe*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (m == WM_APP && self && !self->FQueue.empty()) {
      auto fn = std::move(self->FQueue.front());
      self->FQueue.pop_front();
      fn();
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }
  HWND FWnd;
  std::deque<std::function<void()>> FQueue;
};

// Ends whatever menu loop runs on this thread when the time is up, so that
// a test that goes wrong cannot wait for input for ever.
class LoopGuard {
public:
  explicit LoopGuard(UINT Ms) {
    gFired = false;
    FTimer = SetTimer(nullptr, 0, Ms, &Fire);
  }
  ~LoopGuard() { KillTimer(nullptr, FTimer); }
  static bool Fired() { return gFired; }

private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    gFired = true;
    EndMenu();
    if (HWND c = GetCapture()) {
      PostMessageW(c, WM_CANCELMODE, 0, 0);
      ReleaseCapture();
    }
  }
  static inline bool gFired = false;
  UINT_PTR FTimer;
};

// A form with a menu bar in a dock.
struct MenuForm : TfItemMaker {
  TTfDock* Dock;
  TTfToolbar* Bar;
  TTfSubmenuItem *File, *Recent, *EditMenu, *Help;
  TTfItem *Open, *Save, *One, *Cut, *Copy, *About;

  MenuForm(int left = 100, int top = 100) {
    Form = new TForm(nullptr);
    Form->SetBounds(left, top, 420, 240);
    Form->SetCaption(L"Menu test");
    Dock = new TTfDock(Form);
    Dock->SetParent(Form);
    Bar = new TTfToolbar(Form);
    Bar->SetCaption(L"Main Menu");
    Bar->SetMenuBar(true);
    Bar->SetFullSize(true);
    Bar->SetShrinkMode(tfsmWrap);
    Bar->SetCloseButton(false);
    Bar->SetParent(Dock);
    File = AddSub(Bar->Items(), L"&File");
    Open = AddItem(File, L"&Open...\tCtrl+O");
    Recent = AddSub(File, L"&Recent");
    One = AddItem(Recent, L"&One");
    AddItem(Recent, L"&Two");
    File->Add(new TTfSeparatorItem(Form));
    Save = AddItem(File, L"&Save");
    EditMenu = AddSub(Bar->Items(), L"&Edit");
    Cut = AddItem(EditMenu, L"Cu&t");
    Copy = AddItem(EditMenu, L"&Copy");
    Help = AddSub(Bar->Items(), L"&Help");
    About = AddItem(Help, L"&About");
    Form->Show();
    PumpFor(100);
  }
  ~MenuForm() { delete Form; }
  // Opens the menu bar with Alt and a letter; the loop runs until it ends.
  void AltKey(wchar_t c) { Bar->Perform(WM_SYSCOMMAND, SC_KEYMENU, c); }
  TRect ScreenRectOf(TTfCustomItem* item) {
    TTfView* v = Bar->View();
    v->ValidatePositions();
    TRect r = v->ViewerOf(item)->BoundsRect;
    POINT a{r.Left, r.Top}, b{r.Right, r.Bottom};
    ClientToScreen(Bar->Handle(), &a);
    ClientToScreen(Bar->Handle(), &b);
    return TRect(a.x, a.y, b.x, b.y);
  }
};

// A form with a popup menu of plain items.
struct PopupForm {
  TForm* Form;
  TTfPopupMenu* Menu;
  std::vector<TTfCustomItem*> Items;
  std::vector<std::wstring> Clicked;
  int FormPresses = 0;

  explicit PopupForm(std::initializer_list<const wchar_t*> captions) {
    Form = new TForm(nullptr);
    Form->SetBounds(50, 50, 500, 400);
    Form->SetCaption(L"Popup test");
    Form->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++FormPresses; };
    Menu = new TTfPopupMenu(Form);
    for (const wchar_t* c : captions)
      Items.push_back(Add(Menu->Items(), c));
    Form->Show();
    PumpFor(100);
  }
  ~PopupForm() { delete Form; }
  TTfCustomItem* Add(TTfCustomItem* parent, const wchar_t* c) {
    std::wstring s = c;
    TTfCustomItem* it;
    if (s == L"-") {
      it = new TTfSeparatorItem(Form);
    } else if (!s.empty() && s.back() == L'>') {
      s.pop_back();
      it = new TTfSubmenuItem(Form);
      it->SetCaption(s);
    } else {
      it = new TTfItem(Form);
      it->SetCaption(s);
      it->OnClick = [this, s](TObject*) { Clicked.push_back(s); };
    }
    parent->Add(it);
    return it;
  }
};

// A view on a plain window, for layout and viewer tests.
struct ViewHost {
  TForm Form{nullptr};
  TTfRootItem Root{nullptr};
  std::unique_ptr<TTfView> View;
  explicit ViewHost(bool toolbar, bool priority = false) {
    Form.SetBounds(0, 0, 600, 300);
    View = std::make_unique<TTfView>(nullptr, nullptr, &Root, &Form, toolbar, false, priority);
  }
  ~ViewHost() {
    View.reset();
    while (Root.ChildCount())
      delete Root.ChildAt(Root.ChildCount() - 1);
  }
  TTfItem* Add(const wchar_t* caption) {
    auto* it = new TTfItem(nullptr);
    it->SetCaption(caption);
    Root.Add(it);
    return it;
  }
  TTfSeparatorItem* AddSep() {
    auto* s = new TTfSeparatorItem(nullptr);
    Root.Add(s);
    return s;
  }
  TTfItemViewer* V(TTfCustomItem* it) { return View->ViewerOf(it); }
};

struct TextMetrics {
  int Height, ExtLeading;
  static TextMetrics Of(TFont* f) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, f->Handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {tm.tmHeight, tm.tmExternalLeading};
  }
};

int TextWidth(TFont* f, const std::wstring& s) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f->Handle());
  SIZE sz{};
  GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return sz.cx;
}

// Measures a viewer on a screen DC with the view's font.
TPoint Measure(TTfView* view, TTfItemViewer* v) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, view->ViewFont()->Handle());
  TCanvas c;
  c.SetHandle(dc);
  int w = 0, h = 0;
  v->MeasureSize(&c, w, h);
  c.SetHandle(nullptr);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return TPoint(w, h);
}

// ---------------------------------------------------------------------------
// Item viewers

TEST(TfViewer, ToolbarButtonSizesWithAndWithoutCaption) {
  ViewHost h(true);
  TImageList images(nullptr);
  images.SetWidth(16);
  images.SetHeight(15);
  h.Root.SetSubMenuImages(&images);
  TTfItem* it = h.Add(L"&Save");
  it->SetImageIndex(0);
  TFont* f = h.View->ViewFont();
  TextMetrics tm = TextMetrics::Of(f);
  int capW = TextWidth(f, L"Save");
  struct Case {
    TTfItemDisplayMode mode;
    int image;
    TPoint size;
  } cases[] = {
      // An image hides the caption on a toolbar.
      {nbdmDefault, 0, TPoint(16 + 7, 15 + 6)},
      {nbdmImageAndText, 0, TPoint(6 + capW + 6 + 16 + 1, std::max(6 + tm.Height, 15 + 6))},
      {nbdmTextOnly, 0, TPoint(6 + capW + 6, 6 + tm.Height)},
      // Without an image the caption is shown.
      {nbdmDefault, -1, TPoint(6 + capW + 6, 6 + tm.Height)},
  };
  for (auto& k : cases) {
    it->SetDisplayMode(k.mode);
    it->SetImageIndex(k.image);
    EXPECT_EQ(Measure(h.View.get(), h.V(it)), k.size) << k.mode << "/" << k.image;
  }
  // A drop-down arrow adds 8 pixels, a split button's arrow part 11.
  auto* sub = new TTfSubmenuItem(nullptr);
  sub->SetCaption(L"Save");
  h.Root.Add(sub);
  TPoint plain = Measure(h.View.get(), h.V(sub));
  sub->SetOptions(tfoDropdownArrow);
  EXPECT_EQ(Measure(h.View.get(), h.V(sub)), TPoint(plain.X + 8, plain.Y));
  sub->SetDropdownCombo(true);
  EXPECT_EQ(Measure(h.View.get(), h.V(sub)), TPoint(plain.X + 11, plain.Y));
  h.Root.SetSubMenuImages(nullptr);
}

TEST(TfViewer, MenuRowsReserveAnImageColumnAndShortcutRoom) {
  ViewHost h(false);
  TTfItem* it = h.Add(L"&Open");
  TFont* f = h.View->ViewFont();
  TextMetrics tm = TextMetrics::Of(f);
  int rowH = tm.Height + tm.ExtLeading + 4;
  int capW = TextWidth(f, L"Open");
  // Image column as wide as the row is high, 6 pixels, caption, arrow column.
  EXPECT_EQ(Measure(h.View.get(), h.V(it)), TPoint(rowH + 6 + capW + rowH, rowH));
  it->SetCaption(L"&Open\tCtrl+O");
  int scW = TextWidth(f, L"Ctrl+O");
  EXPECT_EQ(Measure(h.View.get(), h.V(it)), TPoint(rowH + 6 + capW + scW + rowH - 6 + rowH, rowH));
  // With an image list the column follows the images' shape.
  TImageList images(nullptr);
  images.SetWidth(16);
  images.SetHeight(16);
  h.Root.SetSubMenuImages(&images);
  it->SetCaption(L"&Open");
  int rowH2 = std::max(rowH, 16 + 3);
  int m = MulDiv(16 + 3, rowH2, 16 + 3);
  EXPECT_EQ(Measure(h.View.get(), h.V(it)), TPoint(m + 6 + capW + rowH2, rowH2));
  h.Root.SetSubMenuImages(nullptr);
  // Separators: 10 pixels high in menus.
  TTfSeparatorItem* s = h.AddSep();
  EXPECT_EQ(Measure(h.View.get(), h.V(s)), TPoint(0, 10));
}

TEST(TfViewer, SplitButtonHitsItsButtonPart) {
  ViewHost h(true);
  auto* sub = new TTfSubmenuItem(nullptr);
  sub->SetCaption(L"Undo");
  sub->SetDropdownCombo(true);
  h.Root.Add(sub);
  h.View->ValidatePositions();
  TTfItemViewer* v = h.V(sub);
  int w = v->BoundsRect.Width();
  EXPECT_TRUE(v->HitsButtonPart(w - 12, 5));
  EXPECT_FALSE(v->HitsButtonPart(w - 10, 5));
  // A plain submenu item has no button part, a command item is all button.
  sub->SetDropdownCombo(false);
  EXPECT_FALSE(v->HitsButtonPart(1, 1));
  TTfItem* cmd = h.Add(L"Cut");
  h.View->ValidatePositions();
  EXPECT_TRUE(h.V(cmd)->HitsButtonPart(1, 1));
}

TEST(TfViewer, HintTextTable) {
  ViewHost h(false);
  TTfItem* it = h.Add(L"x");
  struct Case {
    const wchar_t* caption;
    const wchar_t* hint;
    TShortCut shortcut;
    TTfItemOptions options;
    std::wstring expect;
  } cases[] = {
      {L"Save &As...", L"", 0, 0, L"Save As"},
      {L"&Save", L"", ShortCut('S', ssCtrl), 0,
       L"Save (" + ShortCutToText(ShortCut('S', ssCtrl)) + L")"},
      {L"Fish && &Chips:", L"", 0, 0, L"Fish & Chips"},
      {L"&Save", L"Store it|Writes the file", 0, 0, L"Store it"},
      {L"&Save", L"", 0, tfoNoAutoHint, L""},
      {L"&Open\tCtrl+O", L"", 0, 0, L"Open"},
  };
  for (auto& k : cases) {
    it->SetCaption(k.caption);
    it->SetHint(k.hint);
    it->SetShortCut(k.shortcut);
    it->SetOptions(k.options);
    EXPECT_EQ(h.V(it)->HintText(), k.expect) << k.caption;
  }
  // A submenu whose caption is shown gets no automatic hint.
  auto* sub = new TTfSubmenuItem(nullptr);
  sub->SetCaption(L"&Recent");
  h.Root.Add(sub);
  EXPECT_EQ(h.V(sub)->HintText(), L"");
}

// Paints a viewer on a white bitmap and counts the pixels that changed.
int PaintedPixels(TTfItemViewer* v, int w, int h) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r{0, 0, w, h};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  TCanvas c;
  c.SetHandle(dc);
  v->Paint(&c, TRect(0, 0, w, h), false, false, false);
  c.SetHandle(nullptr);
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((GetPixel(dc, x, y) & 0xFFFFFF) != 0xFFFFFF) ++n;
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return n;
}

TEST(TfViewer, BlankSeparatorKeepsItsSlotButDrawsNothing) {
  ViewHost tb(true), menu(false);
  TTfSeparatorItem* a = tb.AddSep();
  TTfSeparatorItem* b = menu.AddSep();
  EXPECT_EQ(Measure(tb.View.get(), tb.V(a)), TPoint(6, 6));
  EXPECT_GT(PaintedPixels(tb.V(a), 6, 22), 0);
  EXPECT_GT(PaintedPixels(menu.V(b), 80, 10), 0);
  a->SetBlank(true);
  b->SetBlank(true);
  EXPECT_EQ(Measure(tb.View.get(), tb.V(a)), TPoint(6, 6));
  EXPECT_EQ(Measure(menu.View.get(), menu.V(b)), TPoint(0, 10));
  EXPECT_EQ(PaintedPixels(tb.V(a), 6, 22), 0);
  EXPECT_EQ(PaintedPixels(menu.V(b), 80, 10), 0);
}

TEST(TfViewer, CheckedMenuItemDrawsAMarkAndRadioADot) {
  ViewHost h(false);
  TTfItem* it = h.Add(L"");
  h.View->ValidatePositions();
  TTfItemViewer* v = h.V(it);
  int rowH = v->BoundsRect.Height();
  int plain = PaintedPixels(v, rowH, rowH);
  it->SetChecked(true);
  int check = PaintedPixels(v, rowH, rowH);
  it->SetRadioItem(true);
  int radio = PaintedPixels(v, rowH, rowH);
  EXPECT_EQ(plain, 0);
  EXPECT_GT(check, 0);
  EXPECT_GT(radio, 0);
  EXPECT_NE(check, radio);
}

// ---------------------------------------------------------------------------
// Views: layout

TEST(TfViewLayout, PopupRowsShareTheWidestWidth) {
  ViewHost h(false);
  TTfItem* a = h.Add(L"A");
  TTfItem* b = h.Add(L"A much longer caption");
  auto* tbItem = new TTfItem(nullptr);
  tbItem->SetCaption(L"Tb");
  tbItem->SetOptions(tfoToolbarStyle | tfoToolbarSize);
  h.Root.Add(tbItem);
  TTfItem* c = h.Add(L"C");
  h.View->ValidatePositions();
  EXPECT_EQ(h.V(a)->BoundsRect.Width(), h.V(b)->BoundsRect.Width());
  EXPECT_EQ(h.V(c)->BoundsRect.Width(), h.V(b)->BoundsRect.Width());
  // The toolbar-size item keeps its own width; the menu row after it
  // starts a new row below it.
  TPoint tbSize = Measure(h.View.get(), h.V(tbItem));
  EXPECT_EQ(h.V(tbItem)->BoundsRect.Width(), tbSize.X);
  EXPECT_LT(h.V(tbItem)->BoundsRect.Width(), h.V(b)->BoundsRect.Width());
  EXPECT_EQ(h.V(c)->BoundsRect.Top, h.V(tbItem)->BoundsRect.Bottom);
  EXPECT_EQ(h.V(c)->BoundsRect.Left, 0);
  EXPECT_EQ(h.V(b)->BoundsRect.Top, h.V(a)->BoundsRect.Bottom);
}

TEST(TfViewLayout, SeparatorsCollapseAndHiddenItemsTakeNoRoom) {
  ViewHost h(false);
  TTfSeparatorItem* s0 = h.AddSep();
  TTfItem* a = h.Add(L"A");
  TTfSeparatorItem* s1 = h.AddSep();
  TTfSeparatorItem* s2 = h.AddSep();
  TTfItem* hidden = h.Add(L"Hidden");
  hidden->SetVisible(false);
  TTfSeparatorItem* s3 = h.AddSep();
  TTfItem* b = h.Add(L"B");
  TTfSeparatorItem* s4 = h.AddSep();
  h.View->ValidatePositions();
  struct Case {
    TTfCustomItem* item;
    bool shown;
  } cases[] = {{s0, false},     {a, true},   {s1, true}, {s2, false},
               {hidden, false}, {s3, false}, {b, true},  {s4, false}};
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(h.V(cases[i].item)->Shown, cases[i].shown) << i;
  EXPECT_EQ(h.V(s1)->BoundsRect.Top, h.V(a)->BoundsRect.Bottom);
  EXPECT_EQ(h.V(b)->BoundsRect.Top, h.V(s1)->BoundsRect.Bottom);
  // Showing the hidden item brings it back between the separators.
  hidden->SetVisible(true);
  h.View->ValidatePositions();
  EXPECT_TRUE(h.V(hidden)->Shown);
  EXPECT_TRUE(h.V(s3)->Shown);
}

TEST(TfViewLayout, TallPopupScrollsWithBands) {
  TTfSubmenuItem root(nullptr);
  std::vector<TTfItem*> items;
  for (int i = 0; i < 40; ++i) {
    auto* it = new TTfItem(nullptr);
    it->SetCaption(L"Item " + std::to_wstring(i));
    root.Add(it);
    items.push_back(it);
  }
  std::unique_ptr<TTfPopupWindow> win(root.CreatePopupWindow(nullptr, false));
  TTfView* v = win->View();
  v->MaxHeight = 200;
  win->HandleNeeded();
  TPoint size;
  v->Reflow(size);
  EXPECT_EQ(size.Y, 200);
  EXPECT_FALSE(v->CanScrollUp);
  EXPECT_TRUE(v->CanScrollDown);
  int shown = 0, scrolled = 0;
  for (TTfItem* it : items) {
    TTfItemViewer* iv = v->ViewerOf(it);
    if (iv->Shown) {
      ++shown;
      EXPECT_GE(iv->BoundsRect.Top, 0);
      EXPECT_LE(iv->BoundsRect.Bottom, 200 - 19);
    }
    if (iv->ScrolledOut) ++scrolled;
  }
  EXPECT_GT(shown, 3);
  EXPECT_EQ(shown + scrolled, 40);
  // End selects the last item and scrolls it into view above the band.
  WORD key = VK_END;
  v->KeyDown(key, 0);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(v->Selected()->Item(), items.back());
  EXPECT_TRUE(v->Selected()->Shown);
  EXPECT_GT(v->ScrollOffset, 0);
  EXPECT_TRUE(v->CanScrollUp);
  EXPECT_FALSE(v->CanScrollDown);
  EXPECT_LE(v->Selected()->BoundsRect.Bottom, 200);
  for (TTfItem* it : items) {
    TTfItemViewer* iv = v->ViewerOf(it);
    if (iv->Shown) EXPECT_GE(iv->BoundsRect.Top, 19);
  }
  // One step up shows the item above the first shown one.
  int before = v->ScrollOffset;
  v->ScrollStep(false);
  EXPECT_LT(v->ScrollOffset, before);
  // Home scrolls back to the top.
  key = VK_HOME;
  v->KeyDown(key, 0);
  EXPECT_EQ(v->ScrollOffset, 0);
  EXPECT_FALSE(v->CanScrollUp);
  win.reset();
}

TEST(TfViewLayout, HorizontalWrapTable) {
  ViewHost h(true);
  std::vector<TTfItem*> items;
  for (int i = 0; i < 3; ++i)
    items.push_back(h.Add(L"Button"));
  TTfSeparatorItem* sep = h.AddSep();
  for (int i = 0; i < 3; ++i)
    items.push_back(h.Add(L"Button"));
  TPoint base, total;
  int lines = 1;
  h.View->Layout(false, voHorizontal, 0, 0, 0, base, total, lines);
  const int w = Measure(h.View.get(), h.V(items[0])).X;
  const int rowH = base.Y;
  ASSERT_EQ(base.X, 6 * w + 6);
  struct Case {
    int wrap;
    int lines;
    bool sepWraps;
    int firstOfRow2; // index of the first item on the second row (-1: none)
    int row2Top;
  } cases[] = {
      {0, 1, false, -1, 0},                  // no wrapping
      {6 * w + 6, 1, false, -1, 0},          // exactly fits
      {5 * w, 2, true, 3, rowH + 6},         // breaks at the separator, a 6-pixel band
      {3 * w + 6 + w, 2, true, 3, rowH + 6}, // the group after it would not fit
      // Breaks inside the first group (before the third button), so the
      // separator breaks too; the second group breaks once more.
      {2 * w + 3, 4, true, 2, rowH},
  };
  for (auto& k : cases) {
    h.View->Layout(true, voHorizontal, k.wrap, 0, 0, base, total, lines);
    EXPECT_EQ(lines, k.lines) << k.wrap;
    EXPECT_EQ((h.V(sep)->ViewerState & vsWrapLine) != 0, k.sepWraps) << k.wrap;
    if (k.firstOfRow2 >= 0) {
      EXPECT_EQ(h.V(items[k.firstOfRow2])->BoundsRect.Left, 0) << k.wrap;
      EXPECT_EQ(h.V(items[k.firstOfRow2])->BoundsRect.Top, k.row2Top) << k.wrap;
      EXPECT_GE(total.X, k.wrap) << k.wrap;
    } else {
      EXPECT_EQ(h.V(items[5])->BoundsRect.Top, 0) << k.wrap;
    }
    if (k.sepWraps) {
      // The wrap line spans the toolbar's whole width.
      EXPECT_EQ(h.V(sep)->BoundsRect.Left, 0);
      EXPECT_EQ(h.V(sep)->BoundsRect.Right, total.X);
      EXPECT_EQ(h.V(sep)->BoundsRect.Height(), 6);
    }
  }
}

TEST(TfViewLayout, VerticalWrapPutsTheFirstColumnOnTheRight) {
  ViewHost h(true);
  std::vector<TTfItem*> items;
  for (int i = 0; i < 4; ++i)
    items.push_back(h.Add(L"B"));
  TPoint base, total;
  int lines = 1;
  h.View->Layout(false, voVertical, 0, 0, 0, base, total, lines);
  int itemH = base.Y / 4;
  h.View->Layout(true, voVertical, itemH * 2 + 1, 0, 0, base, total, lines);
  EXPECT_EQ(lines, 2);
  TRect r0 = h.V(items[0])->BoundsRect, r2 = h.V(items[2])->BoundsRect;
  EXPECT_GT(r0.Left, r2.Left);
  EXPECT_EQ(r0.Right, total.X);
  EXPECT_EQ(r2.Left, 0);
  EXPECT_EQ(r2.Top, 0);
}

TEST(TfViewLayout, EmptyToolbarViewMeasures23By22) {
  ViewHost h(true);
  TPoint base, total;
  int lines = 1;
  h.View->Layout(false, voHorizontal, 0, 0, 0, base, total, lines);
  EXPECT_EQ(base, TPoint(23, 22));
  EXPECT_EQ(total, TPoint(23, 22));
}

// A toolbar view whose chevron is a plain item.
struct ChevronView : TTfView {
  TTfItem Chevron{nullptr};
  ChevronView(TTfCustomItem* root, TWinControl* wnd)
      : TTfView(nullptr, nullptr, root, wnd, true, false, true) {
    NewItemsFirst = false;
    RecreateAllViewers();
  }
  ~ChevronView() override {
    Destroying();
    CloseChildPopups();
  }
  TTfCustomItem* GetChevron() override { return &Chevron; }
};

TEST(TfViewLayout, ChevronHidesLeastRecentlyUsedFirst) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 600, 200);
  TTfRootItem root(nullptr);
  std::vector<TTfItem*> items;
  for (int i = 0; i < 6; ++i) {
    auto* it = new TTfItem(nullptr);
    it->SetCaption(L"Item" + std::to_wstring(i));
    root.Add(it);
    items.push_back(it);
  }
  auto view = std::make_unique<ChevronView>(&root, &form);
  TPoint base, total;
  int lines = 1;
  view->Layout(false, voHorizontal, 0, 0, 0, base, total, lines);
  const int w = base.X / 6;
  const int chev = 12;
  auto shown = [&] {
    std::string s;
    for (TTfItem* it : items)
      s += view->ViewerOf(it)->Shown ? '1' : view->ViewerOf(it)->HiddenForSpace ? 'h' : '0';
    return s;
  };
  struct Case {
    int fit;
    const char* expect;
    bool chevron;
  } cases[] = {
      {0, "111111", false},           {6 * w, "111111", false}, {5 * w + chev, "11111h", true},
      {3 * w + chev, "111hhh", true}, {1, "1hhhhh", true}, // the last item is never hidden
  };
  for (auto& k : cases) {
    view->Layout(true, voHorizontal, 0, k.fit, chev, base, total, lines);
    EXPECT_EQ(shown(), k.expect) << k.fit;
    TTfItemViewer* cv = view->ViewerOf(&view->Chevron);
    EXPECT_EQ(cv->Shown, k.chevron) << k.fit;
    if (k.chevron) {
      EXPECT_TRUE(view->Chevron.Enabled());
      EXPECT_EQ(cv->BoundsRect.Width(), chev);
      EXPECT_GE(cv->BoundsRect.Left, k.fit - chev);
    }
  }
  // Using a hidden item moves it to the front of the priority list and
  // brings it back: the least recently used shown item makes room.
  view->FitLength = 3 * w + chev;
  view->ChevronLength = chev;
  view->InvalidatePositions();
  view->ValidatePositions();
  EXPECT_EQ(shown(), "111hhh");
  view->MarkUsed(view->ViewerOf(items[5]));
  EXPECT_EQ(shown(), "11hhh1");
  EXPECT_EQ(view->FirstShownInPriority()->Item(), items[5]);
  view->MarkUsed(view->ViewerOf(items[4]));
  EXPECT_EQ(shown(), "1hhh11");
  view.reset();
}

TEST(TfViewLayout, ChevronStaysDisabledWhenOnlyControlsAreHidden) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 600, 200);
  TTfRootItem root(nullptr);
  auto* it = new TTfItem(nullptr);
  it->SetCaption(L"Item");
  root.Add(it);
  auto* panel = new TPanel(&form);
  panel->SetBounds(0, 0, 80, 20);
  panel->SetParent(&form);
  auto* ci = new TTfControlItem(nullptr);
  ci->SetControl(panel);
  root.Add(ci);
  auto view = std::make_unique<ChevronView>(&root, &form);
  // The control item is the least recently used: it is the one hidden.
  TPoint base, total;
  int lines = 1;
  view->Layout(false, voHorizontal, 0, 0, 0, base, total, lines);
  view->Layout(true, voHorizontal, 0, base.X - 10, 12, base, total, lines);
  EXPECT_TRUE(view->ViewerOf(ci)->HiddenForSpace);
  EXPECT_TRUE(view->ViewerOf(it)->Shown);
  EXPECT_TRUE(view->ViewerOf(&view->Chevron)->Shown);
  EXPECT_FALSE(view->Chevron.Enabled());
  // The hidden control is moved out of sight.
  EXPECT_GE(panel->Left(), form.ClientWidth());
  view.reset();
  ci->DontFreeControl();
}

// ---------------------------------------------------------------------------
// Views: navigation without a loop

TEST(TfViewNavigation, NextSelectableSkipsAndWraps) {
  ViewHost h(false);
  h.AddSep();
  TTfItem* a = h.Add(L"A");
  TTfItem* hidden = h.Add(L"Hidden");
  hidden->SetVisible(false);
  h.AddSep();
  TTfItem* dis = h.Add(L"Disabled");
  dis->SetEnabled(false);
  TTfItem* d = h.Add(L"D");
  h.AddSep();
  TTfView* v = h.View.get();
  EXPECT_EQ(v->FirstSelectable()->Item(), a);
  EXPECT_EQ(v->NextSelectable(nullptr, false)->Item(), d);
  // A disabled item is selectable (it is shown grey and ends the menu when chosen).
  EXPECT_EQ(v->NextSelectable(h.V(a), true)->Item(), dis);
  EXPECT_EQ(v->NextSelectable(h.V(d), true)->Item(), a);
  EXPECT_EQ(v->NextSelectable(h.V(a), false)->Item(), d);
  struct Case {
    WORD key;
    TTfCustomItem* from;
    TTfCustomItem* expect;
  } cases[] = {{VK_HOME, d, a},   {VK_END, a, d},   {VK_DOWN, d, a}, {VK_UP, a, d},
               {VK_DOWN, a, dis}, {VK_TAB, dis, d}, {VK_UP, dis, a}};
  for (auto& k : cases) {
    v->Select(h.V(k.from));
    WORD key = k.key;
    v->KeyDown(key, 0);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(v->Selected()->Item(), k.expect) << k.key;
  }
  // A view with nothing selectable answers none.
  ViewHost empty(false);
  empty.AddSep();
  EXPECT_EQ(empty.View->FirstSelectable(), nullptr);
}

TEST(TfViewNavigation, FindAcceleratorTable) {
  ViewHost h(false);
  TTfItem* copy = h.Add(L"&Copy");
  TTfItem* paste = h.Add(L"Paste");
  TTfItem* cut = h.Add(L"&Cut");
  TTfItem* del = h.Add(L"&Delete");
  del->SetEnabled(false);
  TTfItem* plain = h.Add(L"Properties");
  TTfItem* amp = h.Add(L"Fish && Chips");
  TTfView* v = h.View.get();
  struct Case {
    TTfCustomItem* from;
    wchar_t ch;
    bool primary;
    TTfCustomItem* expect;
    bool only;
  } cases[] = {
      {nullptr, L'c', false, copy, false},  // two items share "c"
      {copy, L'C', false, cut, false},      // the next after the selection
      {cut, L'c', false, copy, false},      // wraps around
      {nullptr, L'd', false, del, true},    // a disabled match is always the only one
      {nullptr, L'p', false, paste, false}, // first letters: Paste and Properties
      {paste, L'p', false, plain, false},
      {nullptr, L'p', true, nullptr, false}, // accelerators only
      {nullptr, L'f', false, amp, true},     // "&&" is no accelerator
      {nullptr, L'x', false, nullptr, false},
      {nullptr, L' ', false, nullptr, false},
  };
  for (auto& k : cases) {
    bool only = false;
    TTfItemViewer* r = v->FindAccelerator(k.from ? h.V(k.from) : nullptr, k.ch, k.primary, only);
    EXPECT_EQ(r ? r->Item() : nullptr, k.expect) << static_cast<char>(k.ch);
    if (r) EXPECT_EQ(only, k.only) << static_cast<char>(k.ch);
  }
  // One enabled item with the accelerator is the only match.
  cut->SetCaption(L"Cu&t");
  bool only = false;
  EXPECT_EQ(v->FindAccelerator(nullptr, L'c', false, only)->Item(), copy);
  EXPECT_TRUE(only);
}

// ---------------------------------------------------------------------------
// Popup placement

TEST(TfPopupPlacement, PointNearTheRightEdge) {
  TTfSubmenuItem root(nullptr);
  for (int i = 0; i < 3; ++i) {
    auto* it = new TTfItem(nullptr);
    it->SetCaption(L"A menu item " + std::to_wstring(i));
    root.Add(it);
  }
  TRect mr;
  MonitorAreaOfPoint(TPoint(10, 10), false, mr);
  struct Case {
    int x;
    TTfPopupAlignment align;
    const char* expect; // where the popup's left edge goes
  } cases[] = {
      {static_cast<int>(mr.Right) - 10, paLeft, "left of point"},
      {300, paLeft, "at point"},
      {300, paRight, "right edge at point"},
      {static_cast<int>(mr.Left) + 5, paRight, "moved right"},
      {300, paCenter, "centred"},
  };
  for (auto& k : cases) {
    TTfPopupWindow* w =
        root.OpenPopupWindow(nullptr, nullptr, false, true, false, TPoint(k.x, 100), k.align);
    RECT r;
    GetWindowRect(w->Handle(), &r);
    int W = r.right - r.left;
    std::string e = k.expect;
    if (e == "left of point") EXPECT_EQ(r.right, k.x);
    if (e == "at point") EXPECT_EQ(r.left, k.x);
    if (e == "right edge at point") EXPECT_EQ(r.right, k.x);
    if (e == "moved right") EXPECT_EQ(r.left, k.x);
    if (e == "centred") EXPECT_EQ(r.left, k.x - W / 2);
    EXPECT_EQ(r.top, 100) << e;
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
    delete w;
  }
  // Near the bottom the popup goes above the point.
  TTfPopupWindow* w = root.OpenPopupWindow(nullptr, nullptr, false, true, false,
                                           TPoint(300, mr.Bottom - 5), paLeft);
  RECT r;
  GetWindowRect(w->Handle(), &r);
  EXPECT_EQ(r.bottom, mr.Bottom - 5);
  delete w;
}

TEST(TfPopupPlacement, SubmenusOpenLeftwardsWhenTheRightIsFull) {
  TTfSubmenuItem root(nullptr);
  auto* sub = new TTfSubmenuItem(nullptr);
  sub->SetCaption(L"Submenu item");
  root.Add(sub);
  auto* wide = new TTfSubmenuItem(nullptr);
  wide->SetCaption(L"A very wide submenu caption that takes room");
  sub->Add(wide);
  auto* inner = new TTfItem(nullptr);
  inner->SetCaption(L"In");
  wide->Add(inner);
  TRect mr;
  MonitorAreaOfPoint(TPoint(10, 10), false, mr);
  TTfPopupWindow* w0 =
      root.OpenPopupWindow(nullptr, nullptr, false, true, false, TPoint(mr.Right - 1, 100), paLeft);
  TTfView* v0 = w0->View();
  RECT r0;
  GetWindowRect(w0->Handle(), &r0);
  ASSERT_EQ(r0.right, mr.Right - 1);
  ASSERT_GE(r0.right - r0.left, 80);
  v0->Select(v0->ViewerOf(sub));
  ASSERT_TRUE(v0->OpenSelectedSubmenu(true));
  TTfView* v1 = v0->OpenView();
  RECT r1;
  GetWindowRect(v1->Window()->Handle(), &r1);
  // The item's rectangle starts 3 pixels inside the frame; a submenu
  // overlaps it by 3 pixels.
  EXPECT_EQ(r1.right, r0.left + 6);
  EXPECT_TRUE(v1->State() & vwOpenedLeftwards);
  EXPECT_EQ(r1.top, r0.top);
  // The next submenu would fit on the right, but keeps going left.
  v1->Select(v1->ViewerOf(wide));
  ASSERT_TRUE(v1->OpenSelectedSubmenu(true));
  TTfView* v2 = v1->OpenView();
  RECT r2;
  GetWindowRect(v2->Window()->Handle(), &r2);
  EXPECT_LE(r1.right - 6 + (r2.right - r2.left), mr.Right); // room on the right
  EXPECT_EQ(r2.right, r1.left + 6);
  EXPECT_TRUE(v2->State() & vwOpenedLeftwards);
  // Closing the first submenu closes the second with it.
  v0->CloseChildPopups();
  EXPECT_EQ(v0->OpenView(), nullptr);
  EXPECT_TRUE(VisiblePopups().size() == 1u);
  delete w0;
}

TEST(TfPopupPlacement, DropdownNearTheBottomOpensAbove) {
  TRect mr;
  MonitorAreaOfPoint(TPoint(10, 10), false, mr);
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(200, mr.Bottom - 40, 300, 40);
  form.Show();
  TTfRootItem root(nullptr);
  auto* sub = new TTfSubmenuItem(nullptr);
  sub->SetCaption(L"&Menu");
  root.Add(sub);
  for (int i = 0; i < 5; ++i) {
    auto* it = new TTfItem(nullptr);
    it->SetCaption(L"Entry " + std::to_wstring(i));
    sub->Add(it);
  }
  auto view = std::make_unique<TTfView>(nullptr, nullptr, &root, &form, true, false, false);
  view->ValidatePositions();
  view->Select(view->ViewerOf(sub));
  ASSERT_TRUE(view->OpenSelectedSubmenu(false));
  RECT pr, br;
  GetWindowRect(view->OpenView()->Window()->Handle(), &pr);
  br = view->ViewerOf(sub)->BoundsRect;
  MapWindowPoints(form.Handle(), nullptr, reinterpret_cast<POINT*>(&br), 2);
  EXPECT_EQ(pr.bottom, br.top);
  EXPECT_EQ(pr.left, br.left);
  // Submenus of a toolbar open at once when it has opened one.
  EXPECT_TRUE(view->State() & vwShowSubmenusOnSelect);
  view->CloseChildAndStop();
  EXPECT_FALSE(view->State() & vwShowSubmenusOnSelect);
  view.reset();
}

TEST(TfPopupShow, KeyboardMenusAppearWithoutAnimation) {
  BOOL oldAnim = FALSE, oldFade = FALSE;
  SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &oldAnim, 0);
  SystemParametersInfoW(SPI_GETMENUFADE, 0, &oldFade, 0);
  SystemParametersInfoW(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(TRUE), 0);
  SystemParametersInfoW(SPI_SETMENUFADE, 0, reinterpret_cast<void*>(FALSE), 0);
  BOOL anim = FALSE;
  SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &anim, 0);
  TTfSubmenuItem root(nullptr);
  auto* it = new TTfItem(nullptr);
  it->SetCaption(L"Item");
  root.Add(it);
  // Opened from the keyboard (first item selected): shown at once.
  TTfPopupWindow* w =
      root.OpenPopupWindow(nullptr, nullptr, false, true, false, TPoint(300, 100), paLeft);
  EXPECT_TRUE(IsWindowVisible(w->Handle()));
  EXPECT_FALSE(IsAnimating());
  delete w;
  // Opened by the mouse: slides in when the system animates menus.
  w = root.OpenPopupWindow(nullptr, nullptr, false, false, false, TPoint(300, 100), paLeft);
  if (anim) EXPECT_EQ(w->AnimateDirection, tfadDown | tfadRight);
  PumpUntil([] { return !IsAnimating(); }, 3000);
  EXPECT_TRUE(IsWindowVisible(w->Handle()));
  delete w;
  // Without the animation setting every popup appears at once.
  SystemParametersInfoW(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(FALSE), 0);
  w = root.OpenPopupWindow(nullptr, nullptr, false, false, false, TPoint(300, 100), paLeft);
  EXPECT_TRUE(IsWindowVisible(w->Handle()));
  EXPECT_FALSE(IsAnimating());
  delete w;
  SystemParametersInfoW(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(oldAnim), 0);
  SystemParametersInfoW(SPI_SETMENUFADE, 0, reinterpret_cast<void*>(oldFade), 0);
}

// ---------------------------------------------------------------------------
// The menu loop: a menu bar driven by keys

TEST(TfMenuLoop, EscapeClosesOneLevelAtATime) {
  MenuForm f;
  ParkCursor();
  Probe p;
  std::vector<std::wstring> seen;
  auto look = [&] { p.Post([&] { seen.push_back(Path(f.Bar->View())); }); };
  LoopGuard guard(20000);
  look();
  p.Key(VK_DOWN);
  p.Key(VK_RIGHT); // opens Recent with its first item selected
  look();
  p.Key(VK_ESCAPE); // closes Recent only
  look();
  p.Key(VK_ESCAPE); // closes File; the bar stays with File selected
  look();
  p.Key(VK_RIGHT); // Edit is selected without opening it
  look();
  p.Key(VK_DOWN); // opens it with its first item
  look();
  p.Key(VK_RETURN);
  f.AltKey(L'f');
  EXPECT_FALSE(LoopGuard::Fired());
  std::vector<std::wstring> expect = {
      L"&File>&Open...\tCtrl+O",
      L"&File>&Recent>&One",
      L"&File>&Recent",
      L"&File",
      L"&Edit",
      L"&Edit>Cu&t",
  };
  EXPECT_EQ(seen, expect);
  PumpUntil([&] { return !f.Clicked.empty(); }, 3000);
  EXPECT_EQ(f.Clicked, std::vector<std::wstring>{L"Cu&t"});
  EXPECT_FALSE(f.Bar->View()->State() & vwTracking);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(VisiblePopups().empty());
}

TEST(TfMenuLoop, LeftAndRightMoveAlongTheMenuBar) {
  MenuForm f;
  ParkCursor();
  Probe p;
  std::vector<std::wstring> seen;
  auto look = [&] { p.Post([&] { seen.push_back(Path(f.Bar->View())); }); };
  LoopGuard guard(20000);
  p.Key(VK_LEFT); // from the first menu to the last (wraps)
  look();
  p.Key(VK_RIGHT); // About has no submenu: on to the next menu (wraps to File)
  look();
  p.Key(VK_DOWN);
  look();
  p.Key(VK_RIGHT); // opens Recent
  look();
  p.Key(VK_LEFT); // a second-level submenu closes, File stays open
  look();
  p.Key(VK_RIGHT);
  look();
  p.Key(VK_RIGHT); // One has no submenu: the bar moves to its next menu
  look();
  p.Key(VK_LEFT); // from the first popup to the previous menu
  look();
  p.Key(VK_ESCAPE);
  p.Key(VK_ESCAPE);
  f.AltKey(L'f');
  EXPECT_FALSE(LoopGuard::Fired());
  std::vector<std::wstring> expect = {
      L"&Help>&About",  L"&File>&Open...\tCtrl+O", L"&File>&Recent", L"&File>&Recent>&One",
      L"&File>&Recent", L"&File>&Recent>&One",     L"&Edit>Cu&t",    L"&File>&Open...\tCtrl+O",
  };
  EXPECT_EQ(seen, expect);
  EXPECT_TRUE(f.Clicked.empty());
  EXPECT_FALSE(f.Bar->View()->State() & vwTracking);
  EXPECT_TRUE(VisiblePopups().empty());
}

TEST(TfMenuLoop, AcceleratorsHelpKeyAndHomeEnd) {
  MenuForm f;
  auto* dup = f.AddItem(f.File, L"&Save as");
  auto* dis = f.AddItem(f.File, L"&Disabled");
  dis->SetEnabled(false);
  (void)dup;
  ParkCursor();
  Probe p;
  std::vector<std::wstring> seen;
  auto look = [&] { p.Post([&] { seen.push_back(Path(f.Bar->View())); }); };
  {
    LoopGuard guard(20000);
    p.Char(L's'); // two items: the first is selected, nothing chosen
    look();
    p.Char(L's');
    look();
    p.Key(VK_END);
    look();
    p.Key(VK_HOME);
    look();
    p.Key(VK_F1); // no help context anywhere: the menu stays
    look();
    p.Char(L'q'); // no such letter: a beep, the menu stays
    look();
    p.Char(L'r'); // the only one: Recent opens
    look();
    p.Char(L't'); // Two is chosen
    f.AltKey(L'f');
    EXPECT_FALSE(LoopGuard::Fired());
  }
  std::vector<std::wstring> expect = {
      L"&File>&Save",
      L"&File>&Save as",
      L"&File>&Disabled",
      L"&File>&Open...\tCtrl+O",
      L"&File>&Open...\tCtrl+O",
      L"&File>&Open...\tCtrl+O",
      L"&File>&Recent>&One",
  };
  EXPECT_EQ(seen, expect);
  PumpUntil([&] { return !f.Clicked.empty(); }, 3000);
  EXPECT_EQ(f.Clicked, std::vector<std::wstring>{L"&Two"});
  // A disabled item's accelerator selects it and ends the menu.
  f.Clicked.clear();
  {
    LoopGuard guard(20000);
    p.Char(L'd');
    f.AltKey(L'f');
    EXPECT_FALSE(LoopGuard::Fired());
  }
  PumpFor(50);
  EXPECT_TRUE(f.Clicked.empty());
  EXPECT_FALSE(f.Bar->View()->State() & vwTracking);
  // F1 on an item with a help context ends the menu without a command and
  // asks the application for that context's help.
  f.Save->SetHelpContext(77);
  std::vector<std::pair<UINT, ULONG_PTR>> helps;
  Application->OnHelp = [&](UINT command, ULONG_PTR data, bool& callHelp) {
    helps.emplace_back(command, data);
    callHelp = false;
    return true;
  };
  {
    LoopGuard guard(20000);
    p.Key(VK_END);
    p.Key(VK_UP);
    p.Key(VK_UP); // Save
    p.Key(VK_F1);
    f.AltKey(L'f');
    EXPECT_FALSE(LoopGuard::Fired());
  }
  PumpFor(50);
  Application->OnHelp = nullptr;
  EXPECT_TRUE(f.Clicked.empty());
  EXPECT_FALSE(f.Bar->View()->State() & vwTracking);
  EXPECT_EQ(helps, (std::vector<std::pair<UINT, ULONG_PTR>>{{HELP_CONTEXT, 77}}));
}

// Alt+Space while the bar is tracked and no menu is open: the active
// window gets the system menu key with the blank.
HWND gSysKeyTarget = nullptr;
std::vector<LPARAM> gSysKeys;
LRESULT CALLBACK SysKeyHook(int code, WPARAM w, LPARAM l) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(l);
  if (code == HC_ACTION && cwp->hwnd == gSysKeyTarget && cwp->message == WM_SYSCOMMAND &&
      (cwp->wParam & 0xFFF0) == SC_KEYMENU)
    gSysKeys.push_back(cwp->lParam);
  return CallNextHookEx(nullptr, code, w, l);
}

TEST(TfMenuLoop, SpaceOnTheBarGoesToTheWindowsSystemMenu) {
  MenuForm f;
  SetActiveWindow(f.Form->Handle());
  PumpFor(50);
  ParkCursor();
  gSysKeyTarget = GetActiveWindow();
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_NE(gSysKeyTarget, nullptr);
  gSysKeys.clear();
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, SysKeyHook, nullptr, GetCurrentThreadId());
  Probe p;
  std::wstring seen;
  {
    LoopGuard guard(3000); // also ends the system menu's own loop
    p.Key(VK_ESCAPE);      // closes File, the bar stays tracked
    p.Post([&] { seen = Path(f.Bar->View()); });
    p.Char(L' ');
    f.AltKey(L'f');
  }
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(seen, L"&File");
  ASSERT_FALSE(gSysKeys.empty());
  EXPECT_EQ(gSysKeys[0], static_cast<LPARAM>(L' '));
  EXPECT_FALSE(f.Bar->View()->State() & vwTracking);
  EXPECT_TRUE(f.Clicked.empty());
}

// ---------------------------------------------------------------------------
// The menu loop: popup menus

TEST(TfMenuLoop, PopupKeysAcceleratorsAndDisabledItems) {
  PopupForm f({L"&Copy", L"Paste", L"&Cut", L"&Delete", L"-", L"&Recent>"});
  f.Items[3]->SetEnabled(false);
  f.Add(f.Items[5], L"&First");
  f.Add(f.Items[5], L"&Second");
  ParkCursor();
  Probe p;
  std::vector<std::wstring> seen;
  auto look = [&] { p.Post([&] { seen.push_back(Path(OpenPopupRoot())); }); };
  {
    LoopGuard guard(20000);
    look(); // opened by the mouse: nothing selected
    p.Char(L'c');
    look();
    p.Char(L'c');
    look();
    p.Key(VK_DOWN); // the disabled item is selectable
    look();
    p.Key(VK_DOWN); // the separator is skipped
    look();
    p.Key(VK_RETURN); // opens the submenu with its first item
    look();
    p.Key(VK_DOWN);
    look();
    p.Key(VK_RETURN);
    EXPECT_EQ(f.Menu->PopupEx(200, 150, false), f.Items[5]->ChildAt(1));
    EXPECT_FALSE(LoopGuard::Fired());
  }
  std::vector<std::wstring> expect = {L"-",       L"&Copy",          L"&Cut",           L"&Delete",
                                      L"&Recent", L"&Recent>&First", L"&Recent>&Second"};
  EXPECT_EQ(seen, expect);
  PumpUntil([&] { return !f.Clicked.empty(); }, 3000);
  EXPECT_EQ(f.Clicked, std::vector<std::wstring>{L"&Second"});
  // The first letter of an item without an accelerator chooses it.
  f.Clicked.clear();
  p.Char(L'p');
  EXPECT_EQ(f.Menu->PopupEx(200, 150, true), f.Items[1]);
  // Returning the item only: no click follows.
  PumpFor(50);
  EXPECT_TRUE(f.Clicked.empty());
  // A disabled item's accelerator ends the menu without a choice.
  p.Char(L'd');
  EXPECT_EQ(f.Menu->PopupEx(200, 150, false), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(VisiblePopups().empty());
}

TEST(TfMenuLoop, LosingTheCaptureOrTheActiveWindowEndsTheLoop) {
  PopupForm f({L"&One", L"&Two"});
  TForm other(nullptr);
  other.SetBounds(600, 50, 200, 100);
  other.Show();
  testsupport::ForceForeground(f.Form->Handle());
  ParkCursor();
  Probe p;
  struct Case {
    const char* name;
    std::function<void()> act;
  } cases[] = {
      {"capture", [] { ReleaseCapture(); }},
      {"active window", [&] { SetActiveWindow(other.Handle()); }},
  };
  for (auto& k : cases) {
    testsupport::ForceForeground(f.Form->Handle());
    ParkCursor();
    LoopGuard guard(20000);
    p.Key(VK_DOWN);
    p.Post(k.act);
    p.Key(VK_RETURN); // would choose One if the loop were still running
    EXPECT_EQ(f.Menu->PopupEx(200, 150, false), nullptr) << k.name;
    EXPECT_FALSE(LoopGuard::Fired()) << k.name;
    EXPECT_TRUE(VisiblePopups().empty()) << k.name;
    PumpFor(50);
    EXPECT_TRUE(f.Clicked.empty()) << k.name;
  }
}

TEST(TfMenuLoop, CancelModeEndsAFreePopup) {
  PopupForm f({L"&One", L"&Two"});
  ParkCursor();
  Probe p;
  LoopGuard guard(20000);
  p.Key(VK_DOWN);
  p.Post([] { SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0); });
  p.Key(VK_RETURN);
  EXPECT_EQ(f.Menu->PopupEx(200, 150, false), nullptr);
  EXPECT_FALSE(LoopGuard::Fired());
}

// ---------------------------------------------------------------------------
// The menu loop: real mouse input

TEST(TfMenuMouse, ClickOnAPopupItemChoosesIt) {
  PopupForm f({L"&Alpha", L"&Beta", L"&Gamma"});
  ParkCursor();
  std::thread t([&] {
    HWND w = WaitForPopups(1);
    if (!w) return;
    RECT r;
    GetWindowRect(w, &r);
    int rowH = (r.bottom - r.top - 6) / 3;
    Sleep(100);
    MouseClickAt(r.left + 30, r.top + 3 + rowH + rowH / 2); // Beta
  });
  LoopGuard guard(20000);
  TTfCustomItem* chosen = f.Menu->PopupEx(300, 300, false);
  t.join();
  EXPECT_EQ(chosen, f.Items[1]);
  PumpUntil([&] { return !f.Clicked.empty(); }, 2000);
  EXPECT_EQ(f.Clicked, std::vector<std::wstring>{L"&Beta"});
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(LoopGuard::Fired());
}

TEST(TfMenuMouse, FirstReleaseOutsideIsIgnoredTheSecondCloses) {
  PopupForm f({L"&Alpha", L"&Beta"});
  ParkCursor();
  std::atomic<int> afterFirst{-1};
  std::thread t([&] {
    if (!WaitForPopups(1)) return;
    Sleep(100);
    MouseMoveTo(60, 60); // over the form, outside the menu
    Sleep(60);
    MouseButton(false); // the release of the click that opened the menu
    Sleep(300);
    afterFirst = static_cast<int>(VisiblePopups().size());
    MouseButton(false);
  });
  LoopGuard guard(20000);
  EXPECT_EQ(f.Menu->PopupEx(300, 300, false), nullptr);
  t.join();
  EXPECT_EQ(afterFirst.load(), 1);
  EXPECT_FALSE(LoopGuard::Fired());
  EXPECT_TRUE(f.Clicked.empty());
}

TEST(TfMenuMouse, ClickOutsideEndsTheMenuAndReachesTheWindow) {
  PopupForm f({L"&Alpha", L"&Beta"});
  ParkCursor();
  RECT fr;
  GetWindowRect(f.Form->Handle(), &fr);
  std::thread t([&] {
    if (!WaitForPopups(1)) return;
    Sleep(100);
    MouseClickAt(fr.left + 60, fr.top + 80);
  });
  LoopGuard guard(20000);
  EXPECT_EQ(f.Menu->PopupEx(300, 300, false), nullptr);
  t.join();
  PumpUntil([&] { return f.FormPresses > 0; }, 2000);
  EXPECT_EQ(f.FormPresses, 1);
  EXPECT_FALSE(LoopGuard::Fired());
  EXPECT_TRUE(f.Clicked.empty());
}

TEST(TfMenuMouse, HoverOpensAndClosesSubmenusAfterTheDelay) {
  PopupForm f({L"&One", L"&More>", L"&Two", L"&Last>"});
  f.Add(f.Items[1], L"&Inner");
  f.Add(f.Items[3], L"&Deep");
  ParkCursor();
  const int delay = MenuShowDelay();
  struct Sample {
    const char* when;
    size_t popups;
  };
  std::vector<Sample> samples;
  std::thread t([&] {
    HWND w = WaitForPopups(1);
    if (!w) return;
    RECT r;
    GetWindowRect(w, &r);
    int rowH = (r.bottom - r.top - 6) / 4;
    auto row = [&](int i) { return static_cast<int>(r.top + 3 + rowH * i + rowH / 2); };
    int x = r.left + 20;
    auto sample = [&](const char* when) { samples.push_back({when, VisiblePopups().size()}); };
    Sleep(100);
    MouseMoveTo(x, row(1)); // More
    Sleep(delay / 4);
    sample("hover, before the delay");
    Sleep(delay + 400);
    sample("hover, after the delay");
    MouseMoveTo(x, row(2)); // Two: the submenu is still open
    Sleep(delay / 4);
    sample("moved away, before the delay");
    MouseMoveTo(x, row(1)); // back on More
    Sleep(delay + 400);
    sample("back on the open item");
    MouseMoveTo(x, row(2));
    Sleep(delay + 400);
    sample("moved away, after the delay");
    MouseMoveTo(x, row(3)); // Last: opened at once by a press
    Sleep(30);
    MouseButton(true);
    Sleep(100);
    sample("pressed");
    MouseButton(false);
    Sleep(100);
    // Into the open submenu and click its item.
    HWND sub = nullptr;
    for (HWND h : VisiblePopups())
      if (h != w) sub = h;
    if (sub) {
      RECT sr;
      GetWindowRect(sub, &sr);
      MouseClickAt(sr.left + 20, sr.top + 3 + (sr.bottom - sr.top - 6) / 2);
    }
  });
  LoopGuard guard(30000);
  TTfCustomItem* chosen = f.Menu->PopupEx(200, 150, false);
  t.join();
  ASSERT_EQ(samples.size(), 6u);
  size_t expect[] = {1, 2, 2, 2, 1, 2};
  for (size_t i = 0; i < samples.size(); ++i)
    EXPECT_EQ(samples[i].popups, expect[i]) << samples[i].when;
  EXPECT_EQ(chosen, f.Items[3]->ChildAt(0));
  PumpUntil([&] { return !f.Clicked.empty(); }, 2000);
  EXPECT_EQ(f.Clicked, std::vector<std::wstring>{L"&Deep"});
  EXPECT_FALSE(LoopGuard::Fired());
}

TEST(TfMenuMouse, MenuBarOpensMenusAtOnceAndChoosesByClick) {
  MenuForm f;
  testsupport::ForceForeground(f.Form->Handle());
  ParkCursor();
  TRect file = f.ScreenRectOf(f.File), edit = f.ScreenRectOf(f.EditMenu);
  struct Sample {
    const char* when;
    size_t popups;
    int left;
  };
  std::vector<Sample> samples;
  std::atomic<bool> done{false};
  std::thread t([&] {
    auto sample = [&](const char* when) {
      auto v = VisiblePopups();
      RECT r{};
      if (!v.empty()) GetWindowRect(v[0], &r);
      samples.push_back({when, v.size(), static_cast<int>(r.left)});
    };
    MouseMoveTo((file.Left + file.Right) / 2, (file.Top + file.Bottom) / 2);
    Sleep(100);
    MouseButton(true);
    Sleep(150);
    sample("pressed on File");
    MouseButton(false);
    Sleep(150);
    sample("released on File");
    MouseMoveTo((edit.Left + edit.Right) / 2, (edit.Top + edit.Bottom) / 2);
    Sleep(150); // far shorter than the menu delay
    sample("moved to Edit");
    HWND popup = WaitForPopups(1);
    if (popup) {
      RECT r;
      GetWindowRect(popup, &r);
      int rowH = (r.bottom - r.top - 6) / 2;
      MouseClickAt(r.left + 20, r.top + 3 + rowH + rowH / 2); // Copy
    }
    done = true;
  });
  LoopGuard guard(20000);
  PumpUntil([&] { return done.load() && !f.Clicked.empty(); }, 15000);
  t.join();
  ASSERT_EQ(samples.size(), 3u);
  // File's menu under File, then at once Edit's under Edit.
  int lefts[] = {file.Left, file.Left, edit.Left};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(samples[i].popups, 1u) << samples[i].when;
    EXPECT_EQ(samples[i].left, lefts[i]) << samples[i].when;
  }
  EXPECT_EQ(f.Clicked, std::vector<std::wstring>{L"&Copy"});
  EXPECT_FALSE(f.Bar->View()->State() & vwTracking);
  EXPECT_FALSE(LoopGuard::Fired());
  // A second press on the open menu's button closes it.
  f.Clicked.clear();
  std::atomic<size_t> openAfterFirst{0}, openAfterSecond{9};
  std::atomic<bool> done2{false};
  std::thread t2([&] {
    MouseClickAt((file.Left + file.Right) / 2, (file.Top + file.Bottom) / 2);
    Sleep(200);
    openAfterFirst = VisiblePopups().size();
    MouseClickAt((file.Left + file.Right) / 2, (file.Top + file.Bottom) / 2);
    Sleep(200);
    openAfterSecond = VisiblePopups().size();
    done2 = true;
  });
  LoopGuard guard2(20000);
  PumpUntil([&] { return done2.load(); }, 10000);
  t2.join();
  PumpFor(100);
  EXPECT_EQ(openAfterFirst.load(), 1u);
  EXPECT_EQ(openAfterSecond.load(), 0u);
  EXPECT_FALSE(f.Bar->View()->State() & vwTracking);
  EXPECT_TRUE(f.Clicked.empty());
}

void RightButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
  SendInput(1, &in, sizeof(INPUT));
}

// A context menu shown by a right click follows the right button: its
// release outside the menu does not close it, a right click on an item
// chooses it.
TEST(TfMenuMouse, RightButtonTracksAContextMenu) {
  PopupForm f({L"&Alpha", L"&Beta", L"&Gamma"});
  f.Menu->TrackRightButton = true;
  ParkCursor();
  std::atomic<int> afterRelease{-1};
  std::thread t([&] {
    HWND w = WaitForPopups(1);
    if (!w) return;
    RECT r;
    GetWindowRect(w, &r);
    int rowH = (r.bottom - r.top - 6) / 3;
    Sleep(100);
    MouseMoveTo(r.left - 40, r.top - 20); // outside, where the right click was
    Sleep(60);
    RightButton(false);
    Sleep(300);
    afterRelease = static_cast<int>(VisiblePopups().size());
    MouseMoveTo(r.left + 30, r.top + 3 + 2 * rowH + rowH / 2); // Gamma
    Sleep(60);
    RightButton(true);
    Sleep(40);
    RightButton(false);
  });
  LoopGuard guard(20000);
  EXPECT_EQ(f.Menu->PopupEx(300, 300, true), f.Items[2]);
  t.join();
  EXPECT_EQ(afterRelease.load(), 1);
  EXPECT_FALSE(LoopGuard::Fired());
}

// Hovering the bottom scroll band of a menu taller than the screen scrolls
// it: the item under the same spot afterwards is a later one.
TEST(TfMenuMouse, HoveringTheScrollBandScrolls) {
  std::vector<std::wstring> captions;
  for (int i = 0; i < 120; ++i)
    captions.push_back(L"Entry " + std::to_wstring(i));
  PopupForm f({});
  for (auto& c : captions)
    f.Items.push_back(f.Add(f.Menu->Items(), c.c_str()));
  ParkCursor();
  std::thread t([&] {
    HWND w = WaitForPopups(1);
    if (!w) return;
    RECT r;
    GetWindowRect(w, &r);
    Sleep(100);
    // The bottom band: the last 19 pixels of the client area.
    MouseMoveTo(r.left + 40, r.bottom - 3 - 8);
    Sleep(1500);
    // Partly visible items beside a band are hidden: click well below it.
    MouseClickAt(r.left + 40, r.top + 3 + 60);
  });
  LoopGuard guard(20000);
  TTfCustomItem* chosen = f.Menu->PopupEx(100, 0, true);
  t.join();
  ASSERT_NE(chosen, nullptr);
  int index = -1;
  for (size_t i = 0; i < f.Items.size(); ++i)
    if (f.Items[i] == chosen) index = static_cast<int>(i);
  // Without scrolling the spot 60 pixels from the top is about the fourth entry.
  EXPECT_GT(index, 8);
  EXPECT_FALSE(LoopGuard::Fired());
}

// Double-clicking a menu bar button whose menu has a default item chooses it.
TEST(TfMenuMouse, DoubleClickOnAMenuButtonRunsTheDefaultItem) {
  MenuForm f;
  f.Save->SetOptions(tfoDefault);
  testsupport::ForceForeground(f.Form->Handle());
  ParkCursor();
  TRect file = f.ScreenRectOf(f.File);
  std::thread t([&] {
    int x = (file.Left + file.Right) / 2, y = (file.Top + file.Bottom) / 2;
    MouseMoveTo(x, y);
    Sleep(100);
    MouseButton(true);
    Sleep(30);
    MouseButton(false);
    Sleep(60);
    MouseButton(true);
    Sleep(30);
    MouseButton(false);
  });
  LoopGuard guard(20000);
  PumpUntil([&] { return !f.Clicked.empty(); }, 8000);
  t.join();
  EXPECT_EQ(f.Clicked, std::vector<std::wstring>{L"&Save"});
  PumpFor(100);
  EXPECT_FALSE(f.Bar->View()->State() & vwTracking);
  EXPECT_TRUE(VisiblePopups().empty());
}

// A plain toolbar button: a click runs it; a press dragged off the button
// and released elsewhere does not.
TEST(TfMenuMouse, ToolbarButtonClickAndDragOff) {
  MenuForm f;
  TTfToolbar* tb = new TTfToolbar(f.Form);
  tb->SetCaption(L"Tools");
  tb->SetDockRow(1);
  tb->SetParent(f.Dock);
  TTfItem* go = f.AddItem(tb->Items(), L"Go");
  f.AddItem(tb->Items(), L"Stop");
  PumpFor(100);
  testsupport::ForceForeground(f.Form->Handle());
  ParkCursor();
  tb->View()->ValidatePositions();
  TRect r = tb->View()->ViewerOf(go)->BoundsRect;
  POINT c{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  ClientToScreen(tb->Handle(), &c);
  std::atomic<bool> done{false};
  std::thread t([&] {
    MouseClickAt(c.x, c.y);
    Sleep(300);
    MouseMoveTo(c.x, c.y);
    Sleep(60);
    MouseButton(true);
    Sleep(60);
    MouseMoveTo(c.x, c.y + 120); // off the toolbar
    Sleep(60);
    MouseButton(false);
    Sleep(200);
    done = true;
  });
  LoopGuard guard(20000);
  PumpUntil([&] { return done.load(); }, 10000);
  t.join();
  PumpFor(100);
  EXPECT_EQ(f.Clicked, std::vector<std::wstring>{L"Go"});
  EXPECT_FALSE(tb->View()->State() & vwTracking);
  EXPECT_EQ(GetCapture(), nullptr);
}

} // namespace
