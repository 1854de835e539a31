#include "controls/FcPopups.h"

#include <cmath>

#include <uxtheme.h>
#include <vssym32.h>

#include "framework/SysUtils.h"

// ---------------------------------------------------------------------------
// Arithmetic

namespace fccalc {

void TCalcEngine::Digit(int D) {
  if (FError) return;
  if (FNewEntry) {
    FOperand = D;
    FNewEntry = false;
    FShowResult = false;
    return;
  }
  FShowResult = false;
  if (FDecimals == 0) {
    double v = D + std::fabs(FOperand) * 10;
    if (!std::isfinite(v)) {
      FError = true;
      return;
    }
    FOperand = v;
  } else {
    FOperand = std::fabs(FOperand) + D / std::pow(10.0, FDecimals);
    ++FDecimals;
  }
}

void TCalcEngine::Point() {
  if (FError || FDecimals > 1) return;
  if (FNewEntry) {
    FOperand = 0;
    FShowResult = false;
  }
  FDecimals = 1;
  FNewEntry = false;
}

void TCalcEngine::Evaluate() {
  switch (FPending) {
  case coNone:
    FResult = FOperand;
    FNewEntry = true;
    FCompleted = true;
    break;
  case coAdd:
    FResult += FOperand;
    break;
  case coSubtract:
    FResult -= FOperand;
    break;
  case coMultiply:
    FResult *= FOperand;
    break;
  case coDivide:
    if (std::fabs(FOperand) < 1e-12) {
      FError = true;
      return;
    }
    FResult /= FOperand;
    break;
  }
  if (!std::isfinite(FResult)) {
    FError = true;
    return;
  }
  if (FPending != coNone) FShowResult = true;
}

void TCalcEngine::Operator(TCalcOperator Op) {
  if (FError) return;
  if (!FCompleted) {
    Evaluate();
  } else {
    FCompleted = false;
    if (FPending == coNone) FResult = FOperand;
  }
  FPending = Op;
  FNewEntry = true;
  FDecimals = 0;
}

void TCalcEngine::Equals() {
  if (FError) return;
  Evaluate();
  FNewEntry = true;
  FDecimals = 0;
  FCompleted = true;
}

void TCalcEngine::Set() {
  if (FError) return;
  if (!FCompleted) Evaluate();
}

void TCalcEngine::Clear() {
  FResult = 0;
  FOperand = 0;
  FPending = coNone;
  FNewEntry = true;
  FCompleted = true;
  FDecimals = 0;
  FError = false;
  FShowResult = true;
}

void TCalcEngine::SetResult(double Value) {
  if (Value == FResult && !FError) return;
  FResult = FOperand = Value;
  FPending = coNone;
  FNewEntry = true;
  FCompleted = true;
  FDecimals = 0;
  FError = false;
  FShowResult = true;
}

std::wstring TCalcEngine::DisplayText() const {
  if (FError) return L"E";
  double v = FShowResult ? FResult : FOperand;
  std::wstring s;
  if (FDecimals < 2) {
    s = FloatToStr(v);
  } else {
    s = FormatFloat(L"0." + std::wstring(static_cast<size_t>(FDecimals - 1), L'0'), v);
  }
  if (s.find(FormatSettings.DecimalSeparator) == std::wstring::npos)
    s += FormatSettings.DecimalSeparator;
  return s;
}

} // namespace fccalc

// ---------------------------------------------------------------------------
// Colours

void TFcCalculatorColors::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TFcCalculatorColors*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  for (int i = 0; i < 8; ++i)
    SetColorByIndex(i, s->GetColorByIndex(i));
}

TColor TFcCalculatorColors::GetColorByIndex(int Index) const {
  return Index >= 0 && Index < 8 ? FColors[Index] : clNone;
}

void TFcCalculatorColors::SetColorByIndex(int Index, TColor Color) {
  if (Index < 0 || Index >= 8) return;
  FColors[Index] = Color;
  if (FOwner) FOwner->Invalidate();
}

// ---------------------------------------------------------------------------
// Calculator

namespace {

const wchar_t* const Captions[18] = {L"0", L"1", L"2", L"3", L"4", L"5",      L"6", L"7", L"8",
                                     L"9", L".", L"+", L"-", L"*", L"\u00F7", L"C", L"=", L""};

// Column, row and spans of each button (1-based cells).
struct Cell {
  int col, row, cols, rows;
};
const Cell Cells[18] = {{1, 5, 2, 1}, {1, 4, 1, 1}, {2, 4, 1, 1}, {3, 4, 1, 1}, {1, 3, 1, 1},
                        {2, 3, 1, 1}, {3, 3, 1, 1}, {1, 2, 1, 1}, {2, 2, 1, 1}, {3, 2, 1, 1},
                        {3, 5, 1, 1}, {4, 5, 1, 1}, {4, 4, 1, 1}, {4, 3, 1, 1}, {4, 2, 1, 1},
                        {5, 2, 1, 2}, {5, 4, 1, 2}, {5, 1, 1, 1}};

} // namespace

TFcCalculator::TFcCalculator(TComponent* AOwner) : TFcCustomPanel(AOwner) {
  FControlStyle =
      (FControlStyle & ~(csAcceptsControls | csSetCaption | csDoubleClicks)) | csReflector;
  FColors = std::make_unique<TFcCalculatorColors>(this);
  SetColor(clWindow);
  SetFlatColorAdjustment(0);
  SetBorderOuter(fsLowered);
  SetTabStop(true);
  SetDoubleBuffered(true);
  SetBounds(Left(), Top(), 147, 159);
  SetAutoSize(true);
  MeasureFont();
}

void TFcCalculator::MeasureFont() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  SIZE sz{7, 13};
  GetTextExtentPoint32W(dc, L"0", 1, &sz);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  FCharWidth = sz.cx;
  FCharHeight = sz.cy;
  if (AutoSize()) {
    int side = 5 * FCharHeight + 84;
    SetBounds(Left(), Top(), side, side);
  }
}

void TFcCalculator::CMFontChanged(TMessage& Message) {
  TFcCustomPanel::CMFontChanged(Message);
  MeasureFont();
  Invalidate();
}

TRect TFcCalculator::ButtonRect(int Index) {
  TRect r = AdjustRectByBorders(TRect(0, 0, Width(), Height()), true);
  int s = (r.Width() - 24) / 5 + 1;
  auto start = [&](int k) { return 4 + (k - 1) * (s + 4); };
  Cell c;
  if (Index == 18)
    c = FPopup ? Cell{1, 1, 4, 1} : Cell{1, 1, 5, 1};
  else if (Index == 17 && !FPopup)
    return TRect();
  else if (Index >= 0 && Index < 18)
    c = Cells[Index];
  else
    return TRect();
  int left = r.Left + start(c.col), top = r.Top + start(c.row);
  int right = r.Left + start(c.col + c.cols - 1) + s;
  int bottom = r.Top + start(c.row + c.rows - 1) + s;
  return TRect(left, top, right, bottom);
}

int TFcCalculator::ButtonAt(int X, int Y) {
  for (int i = 18; i >= 0; --i) {
    TRect r = ButtonRect(i);
    if (!r.IsEmpty() && r.Contains(TPoint(X, Y))) return i;
  }
  return 18;
}

void TFcCalculator::SetResult(double Value) {
  FEngine.SetResult(Value);
  Invalidate();
}

void TFcCalculator::SetBoldButtons(bool Value) {
  if (Value == FBoldButtons) return;
  FBoldButtons = Value;
  Invalidate();
}

void TFcCalculator::SetCalculatorColors(TFcCalculatorColors* Value) {
  if (Value) FColors->Assign(Value);
}

void TFcCalculator::SetThemeAware(bool Value) {
  if (Value == FThemeAware) return;
  FThemeAware = Value;
  Invalidate();
}

void TFcCalculator::Change() {
  if (OnChange) OnChange(this);
}

void TFcCalculator::SetBtnClick() {
  if (FPopup && OnSetBtnClick) OnSetBtnClick(this);
}

void TFcCalculator::PressButton(int Index) {
  if (Index >= 0 && Index <= 9)
    FEngine.Digit(Index);
  else if (Index == 10)
    FEngine.Point();
  else if (Index >= 11 && Index <= 14)
    FEngine.Operator(static_cast<fccalc::TCalcOperator>(Index - 10));
  else if (Index == 15)
    FEngine.Clear();
  else if (Index == 16) {
    FEngine.Equals();
    Change();
  } else if (Index == 17) {
    FEngine.Set();
    SetBtnClick();
  }
  Invalidate();
}

void TFcCalculator::SetHotButton(int Index) {
  if (Index == FHot) return;
  if (FHot == FPressed || Index == FPressed) {
    TRect r = ButtonRect(FPressed);
    if (HandleAllocated() && !r.IsEmpty()) InvalidateRect(FHandle, r.R(), FALSE);
  }
  FHot = Index;
}

void TFcCalculator::SetPressedButton(int Index) {
  if (Index == FPressed) return;
  TRect old = ButtonRect(FPressed);
  FPressed = Index;
  TRect now = ButtonRect(FPressed);
  if (HandleAllocated()) {
    if (!old.IsEmpty()) InvalidateRect(FHandle, old.R(), FALSE);
    if (!now.IsEmpty()) InvalidateRect(FHandle, now.R(), FALSE);
  }
}

void TFcCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TFcCustomPanel::MouseDown(Button, Shift, X, Y);
  if (!(ComponentState() & csDesigning) && !FPopup && Visible() && CanFocus()) SetFocus();
  if (Button == mbLeft) {
    SetHotButton(ButtonAt(X, Y));
    SetPressedButton(FHot);
  }
}

void TFcCalculator::MouseMove(TShiftState Shift, int X, int Y) {
  TFcCustomPanel::MouseMove(Shift, X, Y);
  SetHotButton(ButtonAt(X, Y));
}

void TFcCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    int pressed = FPressed;
    SetHotButton(ButtonAt(X, Y));
    SetPressedButton(18);
    if (pressed != 18 && pressed == FHot) PressButton(pressed);
  }
  TFcCustomPanel::MouseUp(Button, Shift, X, Y);
}

void TFcCalculator::KeyDown(WORD& Key, TShiftState Shift) {
  TFcCustomPanel::KeyDown(Key, Shift);
  if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) {
    PressButton(Key - VK_NUMPAD0);
    return;
  }
  if (Key == VK_RETURN) {
    PressButton(FPopup ? 17 : 16);
    return;
  }
  wchar_t ch = static_cast<wchar_t>(MapVirtualKeyW(Key, MAPVK_VK_TO_CHAR) & 0xFFFF);
  bool shift = Shift & ssShift;
  if (ch == L'-' || Key == VK_SUBTRACT)
    PressButton(12);
  else if (ch == L'/' || Key == VK_DIVIDE)
    PressButton(14);
  else if (ch == L'*' || Key == VK_MULTIPLY || (shift && ch == L'8'))
    PressButton(13);
  else if (ch == L'+' || Key == VK_ADD || (shift && ch == L'='))
    PressButton(11);
  else if (ch == L'=')
    PressButton(16);
  else if (ch >= L'0' && ch <= L'9')
    PressButton(ch - L'0');
  else if (ch == L'C' || ch == L'c')
    PressButton(15);
  else if (ch == FormatSettings.DecimalSeparator || Key == VK_DECIMAL)
    PressButton(10);
}

void TFcCalculator::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_GETDLGCODE:
    Message.Result = DLGC_WANTARROWS;
    return;
  case WM_ERASEBKGND:
    Message.Result = 1;
    return;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    TFcCustomPanel::WndProc(Message);
    Invalidate();
    return;
  }
  TFcCustomPanel::WndProc(Message);
}

void TFcCalculator::DrawButton(const TRect& Rect, int Index) {
  TCanvas* c = Canvas();
  TRect r = Rect;
  bool themed = FThemeAware && ThemesEnabled();
  if (themed) r.Inflate(1, 1);
  bool down = Index == FPressed && Index == FHot;
  bool flat =
      BorderOuter() == fsFlat || BorderOuter() == fsFlatBold || BorderOuter() == fsFlatRounded;
  TColor face = clBtnFace, font = clWindowText;
  if (Index <= 10)
    face = FColors->NumberBtns(), font = FColors->NumberFont();
  else if (Index <= 14)
    face = FColors->OperatorBtns(), font = FColors->OperatorFont();
  else if (Index <= 17)
    face = FColors->CommandBtns(), font = FColors->CommandFont();
  HTHEME th = themed ? OpenThemeData(nullptr, L"BUTTON") : nullptr;
  TRect text = r;
  if (th) {
    RECT rr = r;
    DrawThemeBackground(th, c->Handle(), BP_PUSHBUTTON, down ? PBS_PRESSED : PBS_NORMAL, &rr,
                        nullptr);
    CloseThemeData(th);
  } else {
    TRect in;
    if (face == clBtnFace)
      in = down   ? DrawPushButtonBorder(c, r, true)
           : flat ? DrawStyledBorder(c, r, fsFlat)
                  : Draw3DEdgeBorder(c, r, false);
    else
      in = down   ? DrawShadedButtonBorder(c, r, face, true)
           : flat ? DrawShadedStyledBorder(c, r, face, fsFlat)
                  : DrawShadedButtonBorder(c, r, face, false);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(face);
    c->FillRect(in);
    if (down) text.Offset(2, 2);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetColor(font);
  HDC dc = c->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(font) & 0xFFFFFF);
  if (Index == 17) {
    TFont marlett;
    marlett.SetName(L"Marlett");
    marlett.SetSize(Font()->Size() + 4);
    marlett.SetColor(font);
    HGDIOBJ old = SelectObject(dc, marlett.Handle());
    TRect t = text;
    DrawTextW(dc, L"5", 1, t.R(), DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectObject(dc, old);
  } else {
    DrawCanvasTextCentered(c, Captions[Index], text);
  }
  c->Brush()->SetStyle(bsSolid);
}

void TFcCalculator::DrawDisplay(const TRect& Rect, TColor FrameColor) {
  TCanvas* c = Canvas();
  TRect in = DrawRectOutline(c, Rect, FrameColor);
  c->Brush()->SetColor(FColors->Display());
  c->FillRect(in);
  HDC dc = c->Handle();
  SetTextAlign(dc, TA_RIGHT | TA_TOP);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FColors->DisplayFont()) & 0xFFFFFF);
  std::wstring text = DisplayText();
  int y = in.Top + (in.Height() - FCharHeight) / 2;
  ExtTextOutW(dc, in.Right - 2, y, ETO_CLIPPED, in.R(), text.c_str(),
              static_cast<UINT>(text.size()), nullptr);
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  if (Focused()) {
    TRect second = in;
    DrawRectOutline(c, second, LightenColor(FrameColor, 40));
  }
}

void TFcCalculator::Paint() {
  TCanvas* c = Canvas();
  TColor frame = FlatColor();
  TRect client(0, 0, Width(), Height());
  if (FThemeAware && ThemesEnabled()) {
    frame = GetThemedColor(0);
    TRect in = DrawRectOutline(c, client, frame);
    c->Brush()->SetColor(Color());
    c->FillRect(in);
  } else {
    TFcCustomPanel::Paint();
  }
  c->SetFont(Font());
  if (FBoldButtons) c->Font()->SetStyle(c->Font()->Style() | fsBold);
  SelectObject(c->Handle(), c->Font()->Handle());
  for (int i = 0; i <= (FPopup ? 17 : 16); ++i)
    DrawButton(ButtonRect(i), i);
  DrawDisplay(ButtonRect(18), frame);
}

// ---------------------------------------------------------------------------
// Popups

#include "framework/Forms.h"

TFcCustomPopup::TFcCustomPopup(TComponent* AOwner) : TFcCustomPanel(AOwner) {
  SetBorderWidth(2);
  SetBorderOuter(fsPopup);
  SetFlatColorAdjustment(0);
  SetVisible(false);
}

void TFcCustomPopup::Paint() {
  if (ThemesEnabled()) {
    if (HTHEME th = OpenThemeData(nullptr, L"EDIT")) {
      RECT r{0, 0, Width(), Height()};
      DrawThemeBackground(th, Canvas()->Handle(), EP_EDITTEXT, ETS_DISABLED, &r, nullptr);
      CloseThemeData(th);
      return;
    }
  }
  TFcCustomPanel::Paint();
}

TFcPopupPanel::TFcPopupPanel(TComponent* AOwner) : TFcCustomPopup(AOwner) {
  FControlStyle |= csAcceptsControls;
  SetAlignment(taRightJustify);
  SetAutoSize(true);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 100, 100);
}

TFcPopupPanel::~TFcPopupPanel() {
  ClosePopup();
}

void TFcPopupPanel::ClosePopup() {
  if (FPopup) FPopup->Accept();
}

bool TFcPopupPanel::PopupAt(TControl* Control, int X, int Y) {
  if (FPopup || !Control) return false;
  FControl = Control;
  TCustomForm* form = GetParentForm(Control);
  TWinControl* active = form ? form->ActiveControl() : nullptr;
  if (OnPopup) OnPopup(this);
  bool accepted = false;
  auto popup = std::make_unique<TFcPopup>(nullptr, this);
  FPopup = popup.get();
  {
    TScopeGuard close([&] {
      FPopup = nullptr;
      FControl = nullptr;
      popup.reset();
      if (OnClose) OnClose(this);
    });
    HandleNeeded();
    popup->SetColor(Color());
    popup->SetFont(Font());
    popup->SetHint(Hint());
    popup->SetShowHint(ShowHint());
    popup->SetCtl3D(false);
    popup->SetBorderOuter(BorderOuter());
    popup->SetFlatColor(FlatColor());
    accepted = popup->Show(Control, Alignment(), X, Y);
  }
  if (active && active->CanFocus() && GetForegroundWindow() &&
      GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId())
    active->SetFocus();
  return accepted;
}

TFcPopup::TFcPopup(TComponent* AOwner, TFcPopupPanel* Panel)
    : TFcCustomPopup(AOwner), FPanel(Panel) {}

void TFcPopup::CreateParams(TCreateParams& Params) {
  TFcCustomPopup::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
}

void TFcPopup::Accept() {
  FPending = false;
  if (HandleAllocated()) PostMessageW(FHandle, WM_CLOSEPOPUP, 0, 0);
}

void TFcPopup::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_MOUSEACTIVATE:
    Message.Result = MA_NOACTIVATE;
    return;
  case WM_NCACTIVATE:
    Message.Result = 0;
    return;
  case WM_SYSCOMMAND:
    PostMessageW(FHandle, WM_CLOSEPOPUP, 0, 0);
    return;
  case WM_CLOSEPOPUP:
    FClosed = true;
    return;
  }
  if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_ESCAPE)
      PostMessageW(FHandle, WM_CLOSEPOPUP, 0, 0);
    if (FTarget && FTarget->HandleAllocated()) {
      Message.Result = SendMessageW(FTarget->Handle(), Message.Msg, Message.WParam, Message.LParam);
      return;
    }
  }
  TFcCustomPopup::WndProc(Message);
}

bool TFcPopup::Show(TControl* Control, TAlignment Alignment, int X, int Y) {
  RECT cr;
  if (auto* wc = dynamic_cast<TWinControl*>(Control); wc && wc->HandleAllocated()) {
    GetWindowRect(wc->Handle(), &cr);
  } else {
    TPoint tl = Control->Parent()
                    ? Control->Parent()->ClientToScreen(Control->BoundsRect().TopLeft())
                    : Control->BoundsRect().TopLeft();
    cr = RECT{tl.X, tl.Y, tl.X + Control->Width(), tl.Y + Control->Height()};
  }
  // Take the panel's content.
  std::vector<TControl*> children;
  for (int i = FPanel->ControlCount() - 1; i >= 0; --i)
    children.push_back(FPanel->Controls(i));
  for (TControl* c : children)
    c->SetParent(this);
  for (int i = 0; i < ControlCount() && !FTarget; ++i)
    if (auto* wc = dynamic_cast<TWinControl*>(Controls(i)); wc && wc->Enabled() && wc->Visible())
      FTarget = wc;
  int w = FPanel->Width(), h = FPanel->Height();
  int x, y;
  if (X == -1 && Y == -1) {
    y = cr.bottom;
    x = Alignment == taLeftJustify    ? cr.left
        : Alignment == taRightJustify ? cr.right - w
                                      : (cr.left + cr.right - w) / 2;
  } else {
    x = cr.left + X;
    y = cr.top + Y;
  }
  RECT work;
  HMONITOR mon = MonitorFromRect(&cr, MONITOR_DEFAULTTONULL);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (mon && GetMonitorInfoW(mon, &mi))
    work = mi.rcWork;
  else
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (x + w > work.right) x = work.right - w;
  if (y + h > work.bottom) y = cr.top - h;
  x = std::max<LONG>(x, work.left);
  y = std::max<LONG>(y, work.top);
  SetBounds(x, y, w, h);
  HandleNeeded();
  if (FTarget && FTarget->HandleAllocated()) ::SetFocus(FTarget->Handle());
  SetWindowPos(FHandle, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FPending = true;
  {
    TScopeGuard hide([&] {
      SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
      for (TControl* c : children)
        c->SetParent(FPanel);
    });
    RunLoop();
  }
  // Drop a close request still queued for this window.
  MSG m;
  while (PeekMessageW(&m, FHandle, WM_CLOSEPOPUP, WM_CLOSEPOPUP, PM_REMOVE)) {
  }
  return !FPending;
}

void TFcPopup::RunLoop() {
  auto isMouseDown = [](UINT m) {
    switch (m) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
      return true;
    default:
      return false;
    }
  };
  while (!FClosed && !(Application && Application->Terminated())) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_CLOSEPOPUP && msg.hwnd == FHandle) {
      PeekMessageW(&msg, FHandle, WM_CLOSEPOPUP, WM_CLOSEPOPUP, PM_REMOVE);
      break;
    }
    if (msg.message == WM_ACTIVATEAPP || msg.message == CM_DEACTIVATE) {
      PostMessageW(FHandle, WM_CLOSEPOPUP, 0, 0);
      break;
    }
    if (msg.message == WM_QUIT) break;
    PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
    if (isMouseDown(msg.message) && msg.hwnd != FHandle && !IsChild(FHandle, msg.hwnd)) {
      PostMessageW(FHandle, WM_CLOSEPOPUP, 0, 0);
      break;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
      SendMessageW(FHandle, msg.message, msg.wParam, msg.lParam);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (Application && Application->Terminated()) PostMessageW(FHandle, WM_CLOSEPOPUP, 0, 0);
}
