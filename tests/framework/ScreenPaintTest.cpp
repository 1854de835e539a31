// Windows that pop up (message boxes, modal forms, popup menus, hints) show
// their contents on the screen at once: the screen's own pixels are read, not
// a picture the window is asked to paint.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "tests/support/Gui.h"

namespace {

using Clock = std::chrono::steady_clock;

// The window's pixels as the screen shows them now (top-down BGRA).
std::vector<DWORD> ScreenPixels(const RECT& r) {
  int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<DWORD> px(static_cast<size_t>(w) * h);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bmp = testsupport::CreateTopDownDib(screen, w, h, &bits);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  memcpy(px.data(), bits, px.size() * sizeof(DWORD));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return px;
}

// Share of the pixels (0..1) in colour c, give or take what a screen of
// fewer colours makes of it.
double Share(const std::vector<DWORD>& px, COLORREF c) {
  auto within = [](int a, int b) { return a - b <= 8 && b - a <= 8; };
  size_t n = 0;
  for (DWORD p : px)
    if (within((p >> 16) & 0xFF, GetRValue(c)) && within((p >> 8) & 0xFF, GetGValue(c)) &&
        within(p & 0xFF, GetBValue(c)))
      ++n;
  return px.empty() ? 0 : static_cast<double>(n) / px.size();
}

struct Finding {
  bool found = false;
  bool shown = false; // the contents were on the screen within the time
  double background = 0, black = 0;
  long long foundAfterMs = 0, shownAfterMs = 0;
};

// From a thread of its own: waits for the window Find answers, then reads
// the screen over it until at least Share of it shows Background (at most
// 500 ms after it appeared), then closes it with Close.
class ScreenWatch {
public:
  ScreenWatch(std::function<HWND()> Find, COLORREF Background, double Share,
              std::function<void(HWND)> Close, std::wstring Picture)
      : find_(std::move(Find)), close_(std::move(Close)), picture_(std::move(Picture)),
        background_(Background), share_(Share) {
    thread_ = std::thread([this] { Run(); });
  }
  ~ScreenWatch() {
    if (thread_.joinable()) thread_.join();
  }
  bool Done() const { return done_; }
  Finding Result() {
    if (thread_.joinable()) thread_.join();
    return finding_;
  }

private:
  void Run() {
    HWND h = nullptr;
    auto start = Clock::now();
    while (!(h = find_()) && Clock::now() - start < std::chrono::seconds(5))
      Sleep(5);
    if (h) {
      finding_.found = true;
      auto shownAt = Clock::now();
      finding_.foundAfterMs =
          std::chrono::duration_cast<std::chrono::milliseconds>(shownAt - start).count();
      std::vector<DWORD> px;
      RECT r{};
      do {
        GetWindowRect(h, &r);
        px = ScreenPixels(r);
        finding_.background = Share(px, background_);
        finding_.black = Share(px, RGB(0, 0, 0));
        if (finding_.background >= share_) {
          finding_.shown = true;
          finding_.shownAfterMs =
              std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - shownAt).count();
          break;
        }
        Sleep(10);
      } while (Clock::now() - shownAt < std::chrono::milliseconds(500));
      testsupport::SavePixelsPng(testsupport::OutputPath(picture_), r.right - r.left,
                                 r.bottom - r.top, px.data(), (r.right - r.left) * 4);
      close_(h);
    }
    done_ = true;
  }
  std::function<HWND()> find_;
  std::function<void(HWND)> close_;
  std::wstring picture_;
  COLORREF background_;
  double share_;
  Finding finding_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

struct ThreadWindowFind {
  const wchar_t* className;
  HWND found = nullptr;
};

BOOL CALLBACK FindThreadWindow(HWND h, LPARAM l) {
  auto* d = reinterpret_cast<ThreadWindowFind*>(l);
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (IsWindowVisible(h) && lstrcmpiW(cls, d->className) == 0) {
    d->found = h;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of the given class on thread Thread.
std::function<HWND()> WindowOfClass(DWORD thread, const wchar_t* className) {
  return [thread, className]() -> HWND {
    ThreadWindowFind d{className};
    EnumThreadWindows(thread, FindThreadWindow, reinterpret_cast<LPARAM>(&d));
    return d.found;
  };
}

void ExpectShown(const Finding& f, const char* what) {
  printf("%s: appeared after %lld ms, its contents %lld ms later\n", what, f.foundAfterMs,
         f.shownAfterMs);
  EXPECT_TRUE(f.found) << what << " did not appear";
  EXPECT_TRUE(f.shown) << what << " was not painted on the screen within 500 ms: "
                       << static_cast<int>(f.background * 100) << "% in its colour, "
                       << static_cast<int>(f.black * 100) << "% black";
}

class Owner : public TForm {
public:
  explicit Owner(TComponent* AOwner) : TForm(AOwner) {
    SetBounds(120, 120, 420, 300);
    SetCaption(L"Screen paint owner");
  }
};

class ScreenPaint : public ::testing::Test {
protected:
  void SetUp() override {
    owner = new Owner(nullptr);
    owner->Show();
    testsupport::PumpFor(100);
  }
  void TearDown() override { delete owner; }
  Owner* owner = nullptr;
  DWORD thread = GetCurrentThreadId();
};

TEST_F(ScreenPaint, MessageBoxOfTheApplication) {
  ScreenWatch watch(
      WindowOfClass(thread, L"#32770"), GetSysColor(COLOR_BTNFACE), 0.3,
      [](HWND h) { PostMessageW(h, WM_COMMAND, IDOK, 0); }, L"framework_screen_messagebox.png");
  Application->MessageBox(L"Contents on the screen", L"Screen paint", MB_OK);
  ExpectShown(watch.Result(), "the message box");
}

TEST_F(ScreenPaint, ModalForm) {
  const COLORREF face = RGB(40, 160, 90);
  auto* dialog = new TForm(owner);
  dialog->SetBorderStyle(bsDialog);
  dialog->SetCaption(L"Screen paint dialog");
  dialog->SetBounds(200, 200, 300, 200);
  dialog->SetColor(static_cast<TColor>(face));
  ScreenWatch watch(
      [&]() -> HWND {
        return dialog->HandleAllocated() && IsWindowVisible(dialog->Handle()) ? dialog->Handle()
                                                                              : nullptr;
      },
      face, 0.5, [](HWND h) { PostMessageW(h, WM_CLOSE, 0, 0); },
      L"framework_screen_modalform.png");
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  ExpectShown(watch.Result(), "the modal form");
}

TEST_F(ScreenPaint, PopupMenu) {
  auto* menu = new TPopupMenu(owner);
  for (const wchar_t* caption : {L"&First", L"&Second", L"&Third", L"F&ourth"}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  ScreenWatch watch(
      WindowOfClass(thread, L"#32768"), GetSysColor(COLOR_MENU), 0.5,
      [](HWND h) { PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0); }, L"framework_screen_popupmenu.png");
  menu->Popup(250, 250);
  ExpectShown(watch.Result(), "the popup menu");
}

TEST_F(ScreenPaint, Hint) {
  auto* hint = new THintWindow(owner);
  hint->SetColor(clInfoBk);
  std::wstring text = L"A hint on the screen";
  TRect r = hint->CalcHintRect(400, text, nullptr);
  r.Offset(260, 260);
  ScreenWatch watch(
      [&]() -> HWND {
        return hint->HandleAllocated() && IsWindowVisible(hint->Handle()) ? hint->Handle()
                                                                          : nullptr;
      },
      GetSysColor(COLOR_INFOBK), 0.5,
      // Wakes the loop below.
      [](HWND h) { PostMessageW(h, WM_NULL, 0, 0); }, L"framework_screen_hint.png");
  hint->ActivateHint(r, text);
  // The application's own loop runs while the hint shows.
  while (!watch.Done())
    Application->HandleMessage();
  ExpectShown(watch.Result(), "the hint");
}

} // namespace
