// The drop-down button in a framed edit's border, shown by the numeric edit's
// calculator: hit-testing, cursor, mouse and keys, and its picture.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/FcEdit.h"
#include "controls/FcPopups.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

namespace {

// What a timer does while the popup's loop runs.
std::function<void()> TimerAction;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto action = TimerAction;
  if (action) action();
}

// The visible popup window of this thread, if any.
HWND FindPopup() {
  HWND popup = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM lp) {
        if (IsWindowVisible(h) && (GetWindowLongW(h, GWL_STYLE) & WS_POPUP) &&
            (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
          *reinterpret_cast<HWND*>(lp) = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&popup));
  return popup;
}

// The calculator shown in the popup, found through its window.
TFcCalculator* FindCalculator(HWND popup) {
  if (!popup) return nullptr;
  HWND child = nullptr;
  while ((child = FindWindowExW(popup, child, nullptr, nullptr)) != nullptr)
    if (auto* calc = dynamic_cast<TFcCalculator*>(FindControl(child))) return calc;
  return nullptr;
}

class DropButton : public ::testing::Test {
protected:
  void SetUp() override {
    FDecimal = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = L'.';
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(120, 120, 320, 200);
    edit = new TFcNumericEdit(owner.get());
    edit->SetParent(form);
    edit->SetBounds(20, 20, 120, 23);
    edit->SetValue(7);
    edit->SetCalculatorVisible(true);
    other = new TEdit(owner.get());
    other->SetParent(form);
    other->SetBounds(20, 70, 120, 23);
    form->Show();
    testsupport::PumpFor(50);
  }
  void TearDown() override {
    TimerAction = nullptr;
    owner.reset();
    FormatSettings.DecimalSeparator = FDecimal;
  }
  // The button's centre on the screen.
  POINT ButtonCentre() const {
    TRect b = edit->ButtonRect();
    RECT w;
    GetWindowRect(edit->Handle(), &w);
    return POINT{w.left + (b.Left + b.Right) / 2, w.top + (b.Top + b.Bottom) / 2};
  }
  // Runs Open (which drops the calculator down) while the timer runs Inside.
  void WhileOpen(const std::function<void()>& Open, const std::function<void()>& Inside) {
    seenPopup = nullptr;
    seenCalc = nullptr;
    TimerAction = [&] {
      // The popup may still be on its way: try again shortly.
      HWND p = FindPopup();
      TFcCalculator* c = FindCalculator(p);
      if (!c) {
        if (++tries < 50) SetTimer(nullptr, 0, 100, OnTimer);
        return;
      }
      seenPopup = p;
      seenCalc = c;
      Inside();
    };
    tries = 0;
    SetTimer(nullptr, 0, 150, OnTimer);
    Open();
    testsupport::PumpFor(20);
  }

  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
  TFcNumericEdit* edit = nullptr;
  TEdit* other = nullptr;
  HWND seenPopup = nullptr;
  TFcCalculator* seenCalc = nullptr;
  int tries = 0;
  wchar_t FDecimal = L'.';
};

TEST_F(DropButton, ShownAndHiddenWithTheCalculator) {
  ASSERT_TRUE(edit->ButtonShown());
  int cx = GetSystemMetrics(SM_CXVSCROLL);
  TRect b = edit->ButtonRect();
  EXPECT_EQ(b.Width(), cx);
  RECT w, c;
  GetWindowRect(edit->Handle(), &w);
  GetClientRect(edit->Handle(), &c);
  // The client area gives way to the button.
  POINT o{c.right, 0};
  ClientToScreen(edit->Handle(), &o);
  EXPECT_LE(o.x - w.left, b.Left);
  int withButton = c.right;
  edit->SetCalculatorVisible(false);
  EXPECT_FALSE(edit->ButtonShown());
  EXPECT_TRUE(edit->ButtonRect().IsEmpty());
  GetClientRect(edit->Handle(), &c);
  EXPECT_GE(c.right, withButton + cx - 1);
  EXPECT_EQ(edit->Text(), L"7");
  // Read-only hides the button it wants and brings it back afterwards.
  edit->SetCalculatorVisible(true);
  EXPECT_TRUE(edit->ButtonShown());
  edit->SetReadOnly(true);
  EXPECT_FALSE(edit->ButtonShown());
  EXPECT_TRUE(edit->CalculatorVisible());
  edit->SetReadOnly(false);
  EXPECT_TRUE(edit->ButtonShown());
}

TEST_F(DropButton, HitTestAndArrowCursor) {
  POINT p = ButtonCentre();
  LRESULT hit = SendMessageW(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(hit, HTCLIENT);
  EXPECT_TRUE(edit->MouseOverButton());
  SendMessageW(edit->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(edit->Handle()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  // Over the text: the edit's own cursor, and the button is not hot.
  RECT w;
  GetWindowRect(edit->Handle(), &w);
  hit = SendMessageW(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(w.left + 10, p.y));
  EXPECT_EQ(hit, HTCLIENT);
  EXPECT_FALSE(edit->MouseOverButton());
  SendMessageW(edit->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(edit->Handle()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_IBEAM));
  // A right click on the button does nothing.
  SendMessageW(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  SendMessageW(edit->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 5));
  EXPECT_EQ(edit->ButtonState(), 0);
}

TEST_F(DropButton, ClickOpensTheCalculatorAndTakesItsResult) {
  other->SetFocus();
  testsupport::PumpFor(20);
  int dropped = 0, closed = 0, stateInside = -1;
  bool focusedInside = false;
  edit->OnButtonDropDown = [&](TObject*) { ++dropped; };
  edit->OnButtonCloseUp = [&](TObject*) { ++closed; };
  POINT p = ButtonCentre();
  POINT cp = p;
  ScreenToClient(edit->Handle(), &cp);
  WhileOpen(
      [&] {
        SendMessageW(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        SendMessageW(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cp.x, cp.y));
      },
      [&] {
        stateInside = edit->ButtonState();
        focusedInside = edit->DroppedDown();
        // 7 * 6, then the set button.
        for (int b : {13, 6, 17})
          seenCalc->PressButton(b);
      });
  ASSERT_NE(seenPopup, nullptr);
  EXPECT_NE(seenCalc, nullptr);
  EXPECT_EQ(stateInside, 2);
  EXPECT_TRUE(focusedInside);
  EXPECT_EQ(edit->Text(), L"42");
  EXPECT_DOUBLE_EQ(edit->Value(), 42);
  EXPECT_EQ(dropped, 1);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(edit->ButtonState(), 0);
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(FindPopup(), nullptr);
  EXPECT_NE(GetCapture(), edit->Handle());
  // The focus comes back to the edit while its form is the active window
  // (another program on the display may have taken the activation).
  if (GetActiveWindow() == form->Handle()) EXPECT_EQ(GetFocus(), edit->Handle());
  // A double click on the button presses it as well.
  WhileOpen(
      [&] {
        SendMessageW(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        SendMessageW(edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(cp.x, cp.y));
      },
      [&] { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
  EXPECT_NE(seenCalc, nullptr);
  EXPECT_EQ(dropped, 2);
  // A click on the text drops nothing down.
  SendMessageW(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x - 60, p.y));
  SendMessageW(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, cp.y));
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, cp.y));
  testsupport::PumpFor(20);
  EXPECT_EQ(dropped, 2);
  EXPECT_EQ(edit->Text(), L"42");
}

TEST_F(DropButton, AltDownAndF4OpenEscapeKeepsTheValue) {
  edit->SetFocus();
  testsupport::PumpFor(20);
  int dropped = 0;
  edit->OnButtonDropDown = [&](TObject*) { ++dropped; };
  // Alt+Down, then Escape: nothing changes.
  WhileOpen(
      [&] {
        UINT scan = MapVirtualKeyW(VK_DOWN, MAPVK_VK_TO_VSC);
        SendMessageW(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, 1 | (scan << 16) | (1u << 29));
      },
      [&] {
        seenCalc->PressButton(5);
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
      });
  EXPECT_NE(seenCalc, nullptr);
  EXPECT_EQ(dropped, 1);
  EXPECT_EQ(edit->Text(), L"7");
  // F4, then a result with the keyboard: 7 + 8, Enter.
  WhileOpen([&] { testsupport::KeyPress(edit->Handle(), VK_F4); },
            [&] {
              HWND f = GetFocus();
              for (UINT vk : {VK_ADD, VK_NUMPAD8, VK_RETURN})
                PostMessageW(f, WM_KEYDOWN, vk, 1);
            });
  EXPECT_NE(seenCalc, nullptr);
  EXPECT_EQ(dropped, 2);
  EXPECT_EQ(edit->Text(), L"15");
  // Down without Alt moves nothing down.
  testsupport::KeyPress(edit->Handle(), VK_DOWN);
  EXPECT_EQ(dropped, 2);
  // Without the button the keys do nothing.
  edit->SetCalculatorVisible(false);
  testsupport::KeyPress(edit->Handle(), VK_F4);
  EXPECT_EQ(dropped, 2);
}

// Exposes the key filter of a framed edit.
class TKeyEdit : public TFcEdit {
public:
  using TFcEdit::TFcEdit;
  wchar_t Press(wchar_t Key) {
    KeyPress(Key);
    return Key;
  }
};

TEST_F(DropButton, RightAlignedEditSwallowsEnter) {
  auto* e = new TKeyEdit(owner.get());
  e->SetParent(form);
  e->SetBounds(160, 20, 100, 23);
  EXPECT_EQ(e->Press(L'\r'), L'\r');
  e->SetAlignment(taRightJustify);
  EXPECT_EQ(e->Press(L'\r'), 0);
  EXPECT_EQ(e->Press(L'5'), L'5');
  EXPECT_EQ(GetWindowLongW(e->Handle(), GWL_STYLE) & ES_RIGHT, static_cast<LONG>(ES_RIGHT));
}

TEST_F(DropButton, Picture) {
  edit->SetValue(12345);
  auto* flat = new TFcNumericEdit(owner.get());
  flat->SetParent(form);
  flat->SetBounds(160, 20, 120, 23);
  flat->SetValue(-7);
  flat->SetCalculatorVisible(true);
  flat->SetFlatButtons(true);
  auto* off = new TFcNumericEdit(owner.get());
  off->SetParent(form);
  off->SetBounds(160, 70, 120, 23);
  off->SetCalculatorVisible(true);
  off->SetEnabled(false);
  form->Invalidate();
  testsupport::ForceForeground(form->Handle());
  testsupport::PumpFor(200);
  // The button's arrow is drawn in the border strip: dark pixels where a
  // plain edit shows only its background.
  for (TFcNumericEdit* e : {edit, flat}) {
    HDC dc = GetWindowDC(e->Handle());
    TRect b = e->ButtonRect();
    int dark = 0;
    for (int y = b.Top; y < b.Bottom; ++y)
      for (int x = b.Left; x < b.Right; ++x) {
        COLORREF c = GetPixel(dc, x, y);
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128) ++dark;
      }
    ReleaseDC(e->Handle(), dc);
    EXPECT_GE(dark, 4) << (e == edit ? "plain" : "flat");
  }
  EXPECT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"numeric_edit_button.png"));
}

} // namespace
