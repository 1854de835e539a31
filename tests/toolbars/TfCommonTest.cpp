// Shared routines of the toolbar framework: caption text, the menu delay
// setting, monitor areas, drag frames and rotated fonts; per-thread hooks;
// popup animation on a real window; an accelerator outside ASCII as an
// accessibility client sees it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Forms.h"
#include "tests/support/Gui.h"
#include "toolbars/TfAcc.h"
#include "toolbars/TfAnim.h"
#include "toolbars/TfCommon.h"
#include "toolbars/TfHook.h"
#include "toolbars/TfToolbar.h"

namespace {

using testsupport::PumpFor;

// ---------------------------------------------------------------------------
// Caption text

TEST(TfCaptionText, AcceleratorMarks) {
  struct Case {
    const wchar_t* Text;
    const wchar_t* Stripped;
    wchar_t Accel;
  } cases[] = {
      {L"&File", L"File", L'F'},
      {L"Save && &Exit", L"Save & Exit", L'E'},
      {L"A&&B", L"A&B", 0},             // only doubled marks: no accelerator
      {L"&&&x", L"&x", L'x'},           // a doubled mark, then a single one
      {L"&a and &b", L"a and b", L'b'}, // the last single mark counts
      {L"Tail&", L"Tail", 0},
      {L"", L"", 0},
  };
  for (auto& c : cases) {
    EXPECT_EQ(StripAccelMarks(c.Text), c.Stripped) << c.Text;
    EXPECT_EQ(AccelCharOf(c.Text), c.Accel) << c.Text;
  }
  EXPECT_EQ(DoubleAmpersands(L"Save & Exit"), L"Save && Exit");
  EXPECT_EQ(StripAccelMarks(DoubleAmpersands(L"&&a&")), L"&&a&");
}

TEST(TfCaptionText, TrimEllipsisOrColon) {
  struct Case {
    const wchar_t* Text;
    const wchar_t* Trimmed;
  } cases[] = {
      {L"...", L"..."},     {L"Open...", L"Open"},
      {L"a...", L"a"},      {L"Name:", L"Name"},
      {L":", L":"},         {L"Name::", L"Name:"},
      {L"x:...", L"x:"},    {L"Save as..:", L"Save as.."},
      {L"Plain", L"Plain"}, {L"", L""},
  };
  for (auto& c : cases)
    EXPECT_EQ(TrimEllipsisOrColon(c.Text), c.Trimmed) << c.Text;
}

// ---------------------------------------------------------------------------
// The menu delay stored in the user's desktop settings

class SavedDesktopValue {
public:
  SavedDesktopValue() {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &FKey, nullptr);
    DWORD size = sizeof(FData);
    FHad = RegQueryValueExW(FKey, L"MenuShowDelay", nullptr, &FType, FData, &size) == ERROR_SUCCESS;
    FSize = size;
  }
  ~SavedDesktopValue() {
    if (FHad)
      RegSetValueExW(FKey, L"MenuShowDelay", 0, FType, FData, FSize);
    else
      RegDeleteValueW(FKey, L"MenuShowDelay");
    RegCloseKey(FKey);
  }
  HKEY Key() const { return FKey; }

private:
  HKEY FKey = nullptr;
  bool FHad = false;
  DWORD FType = 0, FSize = 0;
  BYTE FData[256] = {};
};

TEST(TfMenuDelay, RegistryValue) {
  SavedDesktopValue saved;
  ASSERT_NE(saved.Key(), nullptr);
  auto setText = [&](const std::wstring& s) {
    RegSetValueExW(saved.Key(), L"MenuShowDelay", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(s.c_str()),
                   static_cast<DWORD>((s.size() + 1) * sizeof(wchar_t)));
  };
  struct Case {
    const wchar_t* Text;
    int Delay;
  } cases[] = {
      {L"250", 250},
      {L"0", 0},
      {L"-20", -20},
      {L"abc", 0},
      {L"12ms", 0},
      {L"", 0},
      {L"-", 0},
      // Beyond the integer range is not a number either.
      {L"99999999999", 0},
      {L"2147483648", 0},
      {L"2147483647", 2147483647},
      // Longer than the value buffer holds.
      {L"00000000000000000000000000000000000000100", 0},
  };
  for (auto& c : cases) {
    setText(c.Text);
    EXPECT_EQ(RegistryMenuDelay(), c.Delay) << c.Text;
  }
  // Missing: the system's default; stored as a number rather than text: 0.
  RegDeleteValueW(saved.Key(), L"MenuShowDelay");
  EXPECT_EQ(RegistryMenuDelay(), 400);
  DWORD number = 300;
  RegSetValueExW(saved.Key(), L"MenuShowDelay", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number),
                 sizeof(number));
  EXPECT_EQ(RegistryMenuDelay(), 0);
  EXPECT_GE(MenuShowDelay(), 0);
}

// ---------------------------------------------------------------------------
// Monitors

TEST(TfMonitors, SingleMonitorAreaIsTheScreen) {
  if (HasSeveralMonitors()) GTEST_SKIP() << "several monitors";
  const TRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  RECT wa;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0));
  const TRect work(wa);
  for (bool workArea : {false, true}) {
    const TRect& want = workArea ? work : screen;
    TRect r;
    EXPECT_TRUE(MonitorAreaOfPoint(TPoint(10, 10), workArea, r));
    EXPECT_EQ(r, want) << workArea;
    r = TRect();
    EXPECT_TRUE(MonitorAreaOfRect(TRect(-50, -50, 5000, 5000), workArea, r));
    EXPECT_EQ(r, want) << workArea;
    r = TRect();
    HMONITOR m = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTOPRIMARY);
    if (m && MonitorArea(m, workArea, r)) EXPECT_EQ(r, want) << workArea;
  }
}

// ---------------------------------------------------------------------------
// Drag frames

struct Canvas {
  HDC DC;
  HBITMAP Bitmap;
  HGDIOBJ Old;
  DWORD* Bits = nullptr;
  static constexpr int Size = 40;
  Canvas() {
    DC = CreateCompatibleDC(nullptr);
    Bitmap = testsupport::CreateTopDownDib(DC, Size, Size, reinterpret_cast<void**>(&Bits));
    Old = SelectObject(DC, Bitmap);
    PatBlt(DC, 0, 0, Size, Size, WHITENESS);
    GdiFlush();
  }
  ~Canvas() {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
  bool White(int x, int y) {
    GdiFlush();
    return (Bits[y * Size + x] & 0xFFFFFF) == 0xFFFFFF;
  }
};

TEST(TfDragFrame, OneCallMovesTheFrame) {
  Canvas c;
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  const TRect a(5, 5, 25, 25), b(10, 10, 30, 30), none;
  InvertFrameRegion(c.DC, a, none, white, 2, 0);
  struct Probe {
    int X, Y;
    bool White;
  } first[] = {{5, 5, false},  {6, 24, false}, {24, 15, false}, {7, 7, true},
               {15, 15, true}, {4, 4, true},   {25, 25, true}};
  for (auto& p : first)
    EXPECT_EQ(c.White(p.X, p.Y), p.White) << p.X << "," << p.Y;
  // Moving: the old frame disappears and the new one appears.
  InvertFrameRegion(c.DC, b, a, white, 2, 2);
  Probe second[] = {{5, 5, true},    {6, 24, true},  {10, 10, false}, {11, 20, false},
                    {29, 29, false}, {24, 15, true}, {15, 15, true},  {12, 12, true}};
  for (auto& p : second)
    EXPECT_EQ(c.White(p.X, p.Y), p.White) << p.X << "," << p.Y;
  // Erasing: the canvas is white again.
  InvertFrameRegion(c.DC, none, b, white, 0, 2);
  for (int y = 0; y < Canvas::Size; ++y)
    for (int x = 0; x < Canvas::Size; ++x)
      ASSERT_TRUE(c.White(x, y)) << x << "," << y;
  // A frame thicker than half the rectangle covers all of it.
  InvertFrameRegion(c.DC, TRect(0, 0, 6, 6), none, white, 4, 0);
  EXPECT_FALSE(c.White(3, 3));
}

TEST(TfDragFrame, HalftoneFrameAlternatesAndErases) {
  Canvas c;
  const TRect r(4, 4, 36, 36), none;
  InvertHalftoneFrame(c.DC, r, none, 3, 0);
  for (int x = 4; x < 35; ++x)
    EXPECT_NE(c.White(x, 5), c.White(x + 1, 5)) << x;
  EXPECT_NE(c.White(5, 5), c.White(5, 6));
  EXPECT_TRUE(c.White(20, 20));
  InvertHalftoneFrame(c.DC, none, r, 0, 3);
  for (int x = 0; x < Canvas::Size; ++x)
    EXPECT_TRUE(c.White(x, 5)) << x;
}

// ---------------------------------------------------------------------------
// Rotated text

std::vector<std::wstring> FontFaces(HDC DC) {
  std::vector<std::wstring> faces;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(
      DC, &lf,
      [](const LOGFONTW* f, const TEXTMETRICW*, DWORD, LPARAM l) -> int {
        reinterpret_cast<std::vector<std::wstring>*>(l)->push_back(f->lfFaceName);
        return 1;
      },
      reinterpret_cast<LPARAM>(&faces), 0);
  return faces;
}

LOGFONTW VerticalOf(HDC DC, const wchar_t* Face, LONG Height) {
  LOGFONTW lf{};
  lf.lfHeight = Height;
  wcscpy_s(lf.lfFaceName, Face);
  HFONT f = CreateFontIndirectW(&lf);
  HGDIOBJ old = SelectObject(DC, f);
  HFONT v = CreateVerticalFont(DC);
  LOGFONTW out{};
  GetObjectW(v, sizeof(out), &out);
  SelectObject(DC, old);
  DeleteObject(v);
  DeleteObject(f);
  return out;
}

TEST(TfVerticalText, FontIsRotatedAndOldSansSerifReplaced) {
  HDC dc = CreateCompatibleDC(nullptr);
  auto faces = FontFaces(dc);
  ASSERT_FALSE(faces.empty());
  EXPECT_TRUE(FontInstalled(dc, faces.front()));
  EXPECT_FALSE(FontInstalled(dc, L"No Such Face 7f3a"));
  struct Case {
    const wchar_t* Face;
    LONG Height;
    const wchar_t* Want;
  } cases[] = {
      {L"MS Sans Serif", -11, WindowsVersion() >= 500 ? L"Tahoma" : L"Arial"},
      {L"microsoft sans serif", 13, WindowsVersion() >= 500 ? L"Tahoma" : L"Arial"},
      {L"Courier New", -12, L"Courier New"},
  };
  for (auto& c : cases) {
    LOGFONTW lf = VerticalOf(dc, c.Face, c.Height);
    EXPECT_EQ(lf.lfEscapement, 2700) << c.Face;
    EXPECT_EQ(lf.lfOrientation, 2700) << c.Face;
    EXPECT_EQ(lf.lfOutPrecision, OUT_TT_ONLY_PRECIS) << c.Face;
    // The size keeps its kind: cell height stays cell height.
    EXPECT_EQ(lf.lfHeight > 0, c.Height > 0) << c.Face;
    std::wstring want = c.Want;
    if (FontInstalled(dc, L"@" + want)) want = L"@" + want;
    EXPECT_EQ(std::wstring(lf.lfFaceName), want) << c.Face;
  }
  // A face that has a vertical-writing companion uses it.
  for (auto& f : faces)
    if (f.size() > 1 && f[0] == L'@') {
      LOGFONTW lf = VerticalOf(dc, f.c_str() + 1, -12);
      EXPECT_EQ(std::wstring(lf.lfFaceName), f);
      break;
    }
  DeleteDC(dc);
}

// ---------------------------------------------------------------------------
// Per-thread hooks

int gHeard[3][5];
void HearA(THookProcCode c, HWND, WPARAM, LPARAM) {
  ++gHeard[0][c];
}
void HearB(THookProcCode c, HWND, WPARAM, LPARAM) {
  ++gHeard[1][c];
}
void Throws(THookProcCode c, HWND, WPARAM, LPARAM) {
  ++gHeard[2][c];
  throw std::runtime_error("callback fails");
}

void DestroyAWindow() {
  HWND w = CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(w);
  EXPECT_FALSE(IsWindow(w));
}

TEST(TfHooks, SameUserTwiceCountsOnce) {
  ASSERT_FALSE(HookInstalled(WH_CALLWNDPROC));
  int a = 0;
  InstallHookProc(&a, HearA, HookCode(hpSendActivate));
  InstallHookProc(&a, HearA, HookCode(hpSendActivate));
  EXPECT_TRUE(HookInstalled(WH_CALLWNDPROC));
  UninstallHookProc(&a, HearA);
  EXPECT_FALSE(HookInstalled(WH_CALLWNDPROC));
  // An unknown user or procedure changes nothing.
  int b = 0;
  InstallHookProc(&a, HearA, HookCode(hpSendActivate) | HookCode(hpGetMessage));
  UninstallHookProc(&b, HearA);
  UninstallHookProc(&a, HearB);
  EXPECT_TRUE(HookInstalled(WH_CALLWNDPROC));
  EXPECT_TRUE(HookInstalled(WH_GETMESSAGE));
  EXPECT_FALSE(HookInstalled(WH_CBT));
  UninstallHookProc(&a, HearA);
  EXPECT_FALSE(HookInstalled(WH_CALLWNDPROC));
  EXPECT_FALSE(HookInstalled(WH_GETMESSAGE));
}

TEST(TfHooks, FailingCallbackDoesNotStopTheOthers) {
  int a = 0, b = 0;
  InstallHookProc(&a, Throws, HookCode(hpPreDestroy));
  InstallHookProc(&b, HearB, HookCode(hpPreDestroy) | HookCode(hpGetMessage));
  memset(gHeard, 0, sizeof(gHeard));
  DestroyAWindow();
  EXPECT_GE(gHeard[2][hpPreDestroy], 1);
  EXPECT_GE(gHeard[1][hpPreDestroy], 1);
  // Each procedure hears only what it asked for.
  PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  PumpFor(20);
  EXPECT_GE(gHeard[1][hpGetMessage], 1);
  EXPECT_EQ(gHeard[2][hpGetMessage], 0);
  UninstallHookProc(&a, Throws);
  UninstallHookProc(&b, HearB);
  EXPECT_FALSE(HookInstalled(WH_CBT));
  EXPECT_FALSE(HookInstalled(WH_GETMESSAGE));
  memset(gHeard, 0, sizeof(gHeard));
  DestroyAWindow();
  EXPECT_EQ(gHeard[1][hpPreDestroy], 0);
}

// ---------------------------------------------------------------------------
// Popup animation

int gAnimationEnded = 0;

LRESULT CALLBACK PopupProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_TF_ANIMATIONENDED) ++gAnimationEnded;
  return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

struct Popup {
  HWND Wnd;
  static constexpr int W = 120, H = 80;
  explicit Popup(int X = 200, int Y = 200) {
    static ATOM cls = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = PopupProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = GetSysColorBrush(COLOR_MENU);
      wc.lpszClassName = L"TfAnimationTestPopup";
      return RegisterClassW(&wc);
    }();
    (void)cls;
    Wnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"TfAnimationTestPopup", L"",
                          WS_POPUP | WS_BORDER, X, Y, W, H, nullptr, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  }
  ~Popup() {
    StopAnimationOf(Wnd);
    DestroyWindow(Wnd);
  }
  // The window region's box; false when the window has no region.
  bool RegionBox(RECT& Box) const {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(Wnd, r);
    GetRgnBox(r, &Box);
    DeleteObject(r);
    return kind != ERROR;
  }
};

TEST(TfAnimation, SlideRevealsFromTheOpeningSide) {
  struct Case {
    unsigned Direction;
    int SignX, SignY; // where the hidden part lies while sliding
  } cases[] = {
      {tfadDown, 0, -1},
      {tfadUp, 0, 1},
      {tfadRight, -1, 0},
      {tfadLeft, 1, 0},
      {tfadDown | tfadRight, -1, -1},
  };
  for (auto& c : cases) {
    Popup p;
    gAnimationEnded = 0;
    StartAnimation(p.Wnd, false, c.Direction);
    ASSERT_TRUE(IsAnimating());
    EXPECT_TRUE(IsWindowVisible(p.Wnd));
    RECT box;
    ASSERT_TRUE(p.RegionBox(box)) << c.Direction;
    EXPECT_TRUE(IsRectEmpty(&box));
    int steps = 0, lastShown = 0;
    DWORD start = GetTickCount();
    while (IsAnimating() && GetTickCount() - start < 2000) {
      Sleep(12);
      AnimationStep();
      if (!IsAnimating()) break;
      ASSERT_TRUE(p.RegionBox(box));
      if (IsRectEmpty(&box)) continue;
      ++steps;
      auto sign = [](LONG v) { return v < 0 ? -1 : v > 0 ? 1 : 0; };
      EXPECT_EQ(sign(box.left), c.SignX) << c.Direction;
      EXPECT_EQ(sign(box.top), c.SignY) << c.Direction;
      EXPECT_EQ(box.right - box.left, Popup::W);
      EXPECT_EQ(box.bottom - box.top, Popup::H);
      // The visible part only grows.
      RECT shown{0, 0, Popup::W, Popup::H};
      IntersectRect(&shown, &shown, &box);
      int area = (shown.right - shown.left) * (shown.bottom - shown.top);
      EXPECT_GE(area, lastShown);
      lastShown = area;
    }
    EXPECT_FALSE(IsAnimating());
    EXPECT_GT(steps, 0) << c.Direction;
    // Finished: the whole window, no region, and one notice to the window.
    EXPECT_FALSE(p.RegionBox(box));
    EXPECT_EQ(gAnimationEnded, 1);
  }
}

TEST(TfAnimation, FadeUsesALayeredWindowUntilItEnds) {
  if (!LayeredWindowsAvailable()) GTEST_SKIP() << "no layered windows";
  Popup p;
  gAnimationEnded = 0;
  StartAnimation(p.Wnd, true, tfadDown);
  ASSERT_TRUE(IsAnimating());
  EXPECT_TRUE(GetWindowLongPtrW(p.Wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  RECT box;
  EXPECT_FALSE(p.RegionBox(box)); // fading does not slide
  DWORD start = GetTickCount();
  while (IsAnimating() && GetTickCount() - start < 2000) {
    Sleep(12);
    AnimationStep();
  }
  EXPECT_FALSE(IsAnimating());
  EXPECT_FALSE(GetWindowLongPtrW(p.Wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(IsWindowVisible(p.Wnd));
  EXPECT_EQ(gAnimationEnded, 1);
}

TEST(TfAnimation, StoppedByItsWindowOrANewAnimation) {
  Popup a, b(400, 200);
  gAnimationEnded = 0;
  StartAnimation(a.Wnd, false, tfadDown);
  StopAnimationOf(b.Wnd); // another window: goes on
  EXPECT_TRUE(IsAnimating());
  EXPECT_EQ(gAnimationEnded, 0);
  // A new animation finishes the running one first.
  StartAnimation(b.Wnd, true, tfadUp);
  EXPECT_TRUE(IsAnimating());
  EXPECT_EQ(gAnimationEnded, 1);
  RECT box;
  EXPECT_FALSE(a.RegionBox(box));
  StopAnimationOf(b.Wnd);
  EXPECT_FALSE(IsAnimating());
  EXPECT_EQ(gAnimationEnded, 2);
  EXPECT_FALSE(GetWindowLongPtrW(b.Wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(b.RegionBox(box));
  StartAnimation(a.Wnd, false, tfadLeft);
  StopAnimationOf(nullptr); // any window
  EXPECT_FALSE(IsAnimating());
  EXPECT_EQ(gAnimationEnded, 3);
  AnimationStep(); // nothing runs: nothing happens
  EXPECT_EQ(gAnimationEnded, 3);
}

// Moves the shared mouse: runs alone, with the menu tests.
TEST(TfPopupMenu, AnimationEndsWhenTheMouseEntersThePopup) {
  Popup p;
  for (bool fade : {false, true}) {
    ASSERT_TRUE(SetCursorPos(20, 20));
    StartAnimation(p.Wnd, fade, tfadDown);
    ASSERT_TRUE(IsAnimating());
    // Moving outside the popup does not end it.
    SetCursorPos(30, 30);
    Sleep(12);
    AnimationStep();
    EXPECT_TRUE(IsAnimating()) << fade;
    RECT cr;
    GetClientRect(p.Wnd, &cr);
    MapWindowPoints(p.Wnd, nullptr, reinterpret_cast<POINT*>(&cr), 2);
    SetCursorPos((cr.left + cr.right) / 2, (cr.top + cr.bottom) / 2);
    POINT now;
    GetCursorPos(&now);
    if (!PtInRect(&cr, now)) {
      StopAnimation();
      GTEST_SKIP() << "the cursor cannot be moved here";
    }
    Sleep(12);
    AnimationStep();
    EXPECT_FALSE(IsAnimating()) << fade;
    RECT box;
    EXPECT_FALSE(p.RegionBox(box));
  }
}

// ---------------------------------------------------------------------------
// An accelerator outside ASCII, as an accessibility client sees it

TEST(TfAccessibility, AcceleratorOutsideAsciiIsLowerCased) {
  ASSERT_TRUE(AccessibilityAvailable());
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 120);
  auto* bar = new TTfToolbar(&form);
  bar->SetMenuBar(true);
  bar->SetParent(&form);
  auto* item = new TTfSubmenuItem(&form);
  item->SetCaption(L"&\u00DCbersicht");
  bar->Items()->Add(item);
  form.Show();
  PumpFor(100);
  LRESULT r = SendMessageW(bar->Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  ASSERT_GT(r, 0);
  IAccessible* acc = nullptr;
  ASSERT_EQ(ObjectFromLresult(r, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&acc)), S_OK);
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = 1;
  IDispatch* d = nullptr;
  ASSERT_EQ(acc->get_accChild(child, &d), S_OK);
  IAccessible* itemAcc = nullptr;
  d->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&itemAcc));
  d->Release();
  ASSERT_TRUE(itemAcc);
  child.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  ASSERT_EQ(itemAcc->get_accKeyboardShortcut(child, &text), S_OK);
  EXPECT_EQ(std::wstring(text, SysStringLen(text)), AltKeyName() + L"+\u00FC");
  SysFreeString(text);
  text = nullptr;
  ASSERT_EQ(itemAcc->get_accName(child, &text), S_OK);
  EXPECT_EQ(std::wstring(text, SysStringLen(text)), L"\u00DCbersicht");
  SysFreeString(text);
  itemAcc->Release();
  acc->Release();
}

} // namespace
