#include "controls/FcEdit.h"

#include "framework/SysUtils.h"

namespace fcnumeric {

double TextToValue(const std::wstring& Text) {
  if (Text.empty()) return 0;
  size_t e = Text.find(L'E');
  if (e == std::wstring::npos) e = Text.find(L'e');
  size_t m = Text.find(L'-');
  bool paren = Text.find(L'(') != std::wstring::npos;
  bool hasExp = e != std::wstring::npos, hasMinus = m != std::wstring::npos;
  bool negative = (!hasExp && hasMinus) || (hasExp && hasMinus && m < e) || paren;
  wchar_t dec = FormatSettings.DecimalSeparator;
  std::wstring digits;
  for (size_t i = 0; i < Text.size(); ++i) {
    wchar_t c = Text[i];
    if ((c >= L'0' && c <= L'9') || c == L'E' || c == L'e' || c == dec)
      digits += c;
    else if (c == L'-' && i > 0 && (Text[i - 1] == L'E' || Text[i - 1] == L'e'))
      digits += c;
  }
  if (digits.empty()) return 0;
  if (negative) digits.insert(digits.begin(), L'-');
  return StrToFloatDef(digits, 0);
}

bool IsValidChar(wchar_t Ch, const std::wstring& Text, int SelStart, int SelLength,
                 bool IntegersOnly) {
  wchar_t dec = FormatSettings.DecimalSeparator;
  if (Ch < L' ') return Ch != L'\r';
  bool isDigit = Ch >= L'0' && Ch <= L'9';
  bool isSign = Ch == L'+' || Ch == L'-';
  bool ok = isDigit || isSign || Ch == L'(' || Ch == L')';
  if (!IntegersOnly && (Ch == L'E' || Ch == L'e' || Ch == dec)) ok = true;
  if (!ok) return false;
  std::wstring selected =
      SelLength > 0 ? Text.substr(std::min<size_t>(SelStart, Text.size()), SelLength) : L"";
  if (!IntegersOnly && Ch == dec) {
    bool textHas = Text.find(dec) != std::wstring::npos;
    if (SelLength > 0) return !textHas || selected.find(dec) != std::wstring::npos;
    return !textHas;
  }
  if (IntegersOnly) {
    bool startsSigned = !Text.empty() && (Text[0] == L'+' || Text[0] == L'-');
    if (!isSign) return !(SelStart == 0 && SelLength == 0 && startsSigned);
    bool textHasSign = Text.find_first_of(L"+-") != std::wstring::npos;
    if (SelStart == 0 && SelLength == 0 && !textHasSign) return true;
    if (SelLength > 0 && SelLength >= static_cast<int>(Text.size()) && SelStart == 0) return true;
    return SelStart == 0 && SelLength > 0 && selected.find_first_of(L"+-") != std::wstring::npos;
  }
  return true;
}

TTypedText TypeThrough(const std::wstring& Text, int SelStart, int SelLength,
                       const std::wstring& Insert, const TCharFilter& Filter) {
  TTypedText r;
  r.Text = Text;
  int start = std::clamp(SelStart, 0, static_cast<int>(Text.size()));
  int len = std::clamp(SelLength, 0, static_cast<int>(Text.size()) - start);
  for (wchar_t c : Insert) {
    if (c == L'\r' || c == L'\n' || !Filter(c, r.Text, start, len)) {
      r.Rejected = true;
      continue;
    }
    r.Text.replace(start, len, 1, c);
    ++start;
    len = 0;
  }
  if (!Insert.empty() && len > 0 && r.Rejected && r.Text == Text) {
    // Nothing got in: the selection stays as it was.
  }
  r.Caret = start;
  return r;
}

double CheckValue(double V, double Min, double Max, bool CheckRange,
                  const TRangeCheck& OnRangeError, bool& KeepFocus) {
  KeepFocus = false;
  if (Max == Min && !CheckRange) return V;
  auto limit = [&](double bound) {
    bool autoCorrect = true;
    if (OnRangeError) OnRangeError(V, bound, autoCorrect);
    if (autoCorrect) return bound;
    KeepFocus = true;
    return V;
  };
  if (V < Min) return limit(Min);
  if (V > Max) return limit(Max);
  return V;
}

} // namespace fcnumeric

// ---------------------------------------------------------------------------
// Framed edit

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

TFcCustomEdit::TFcCustomEdit(TComponent* AOwner) : TEdit(AOwner) {
  FControlStyle = (FControlStyle & ~csSetCaption) | csCaptureMouse;
}

TFcCustomEdit::~TFcCustomEdit() {}

void TFcCustomEdit::CreateParams(TCreateParams& Params) {
  TEdit::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  Params.Style &= ~(ES_MULTILINE | ES_RIGHT | ES_CENTER);
  // Right-to-left alignment shows the alignment mirrored.
  TAlignment shown = MirroredAlignment(FAlignment);
  if (shown == taRightJustify)
    Params.Style |= ES_RIGHT;
  else if (shown == taCenter)
    Params.Style |= ES_CENTER;
}

void TFcCustomEdit::CreateWnd() {
  TEdit::CreateWnd();
  ApplyTextHint(FTextHint);
}

void TFcCustomEdit::ApplyTextHint(const std::wstring& Hint) {
  if (IsWindowsVersion(5) && ThemesEnabled() && HandleAllocated())
    SendMessageW(FHandle, EM_SETCUEBANNER, FTextHintVisibleOnFocus,
                 reinterpret_cast<LPARAM>(Hint.c_str()));
}

void TFcCustomEdit::SetTextHint(const std::wstring& Value) {
  if (Value == FTextHint) return;
  FTextHint = Value;
  if (!Loading()) ApplyTextHint(FTextHint);
}

void TFcCustomEdit::SetTextHintVisibleOnFocus(bool Value) {
  if (Value == FTextHintVisibleOnFocus) return;
  FTextHintVisibleOnFocus = Value;
  if (!Loading()) ApplyTextHint(FTextHint);
}

void TFcCustomEdit::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  if (HandleAllocated()) RecreateWnd();
}

bool TFcCustomEdit::UseThemes() const {
  return FFramingPreference == fpXPThemes && ThemesEnabled();
}

TColor TFcCustomEdit::StateColor() const {
  if (!Enabled()) return FDisabledColor;
  if (Focused()) return IsReadOnly() && FReadOnlyColorOnFocus ? FReadOnlyColor : FFocusColor;
  return IsReadOnly() ? FReadOnlyColor : FNormalColor;
}

void TFcCustomEdit::UpdateColors() {
  if (Loading()) return;
  FUpdatingColor = true;
  SetColor(StateColor());
  FUpdatingColor = false;
}

void TFcCustomEdit::CMColorChanged(TMessage& Message) {
  TEdit::CMColorChanged(Message);
  if (!FUpdatingColor) {
    if (FFocusColor == FNormalColor) FFocusColor = Color();
    FNormalColor = Color();
  }
  if (FFrameVisible && !UseThemes()) RepaintFrame();
}

void TFcCustomEdit::CMParentColorChanged(TMessage& Message) {
  TEdit::CMParentColorChanged(Message);
  if (ParentColor()) {
    if (FFocusColor == FNormalColor) FFocusColor = Color();
    FNormalColor = Color();
  }
  if (FFrameVisible && !UseThemes()) RepaintFrame();
}

void TFcCustomEdit::SetDisabledColor(TColor Value) {
  FDisabledColor = Value;
  if (!Enabled()) UpdateColors();
}

void TFcCustomEdit::SetFocusColor(TColor Value) {
  FFocusColor = Value;
  if (Focused()) UpdateColors();
}

void TFcCustomEdit::SetReadOnlyColor(TColor Value) {
  FReadOnlyColor = Value;
  if (IsReadOnly()) UpdateColors();
}

void TFcCustomEdit::SetReadOnlyColorOnFocus(bool Value) {
  FReadOnlyColorOnFocus = Value;
  UpdateColors();
}

void TFcCustomEdit::SetReadOnly(bool Value) {
  if (Value == TEdit::ReadOnly()) return;
  TEdit::SetReadOnly(Value);
  ReadOnlyChanged();
}

void TFcCustomEdit::ReadOnlyChanged() {
  if (IsReadOnly())
    HideButton();
  else if (FButtonVisible)
    ShowButton();
  UpdateColors();
  if (HandleAllocated()) SendMessageW(FHandle, WM_NCPAINT, 1, 0);
}

void TFcCustomEdit::CMEnabledChanged(TMessage& Message) {
  TEdit::CMEnabledChanged(Message);
  UpdateColors();
  if (HandleAllocated()) SendMessageW(FHandle, WM_NCPAINT, 1, 0);
}

void TFcCustomEdit::Loaded() {
  TEdit::Loaded();
  UpdateColors();
  UpdateHotState(false, false);
}

void TFcCustomEdit::RepaintFrame() {
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(FHandle, &r);
    RedrawWindowFrame(FHandle, TRect(r));
  }
}

void TFcCustomEdit::SetFrameColor(TColor Value) {
  if (Value == FFrameColor) return;
  FFrameColor = Value;
  RepaintFrame();
}

void TFcCustomEdit::SetFrameHotColor(TColor Value) {
  if (Value == FFrameHotColor) return;
  FFrameHotColor = Value;
  RepaintFrame();
}

void TFcCustomEdit::SetFrameHotStyle(TFrameStyle Value) {
  if (Value == FFrameHotStyle || Value > FrameStyleLast) return;
  FFrameHotStyle = Value;
  RepaintFrame();
}

void TFcCustomEdit::SetFrameSides(TSides Value) {
  if (Value == FFrameSides) return;
  FFrameSides = Value;
  RepaintFrame();
}

void TFcCustomEdit::SetFrameStyle(TFrameStyle Value) {
  if (Value == FFrameStyle || Value > FrameStyleLast) return;
  FFrameStyle = Value;
  RepaintFrame();
}

void TFcCustomEdit::SetFramingPreference(TFramingPreference Value) {
  if (Value == FFramingPreference) return;
  FFramingPreference = Value;
  if (Value == fpCustomFraming) RepaintFrame();
}

void TFcCustomEdit::SetFrameHotTrack(bool Value) {
  if (Value == FFrameHotTrack) return;
  FFrameHotTrack = Value;
  if (Value) {
    SetFrameVisible(true);
    if (!Loading()) FFrameSides = sdsAll;
  }
  RepaintFrame();
  Invalidate();
}

void TFcCustomEdit::SetFrameVisible(bool Value) {
  if (Value == FFrameVisible) return;
  FFrameVisible = Value;
  if (Value) SetCtl3D(true);
  if (HandleAllocated()) RecreateWnd();
}

void TFcCustomEdit::SetFlatButtons(bool Value) {
  if (Value == FFlatButtons) return;
  FFlatButtons = Value;
  if (HandleAllocated()) SendMessageW(FHandle, WM_NCPAINT, 1, 0);
}

void TFcCustomEdit::SetFrameController(TFcFrameController* Value) {
  FFrameController.SetController(Value);
}

void TFcCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TEdit::Notification(AComponent, Operation);
  FFrameController.Notification(AComponent, Operation);
}

void TFcCustomEdit::SetControllerProperty(TFcFrameControllerProperty P,
                                          const TFcFrameController& C) {
  ApplyControllerProperty(*this, P, C);
}

void TFcCustomEdit::UpdateHotState(bool ViaMouse, bool Active) {
  if (ViaMouse)
    FOverControl = Active;
  else
    FInControl = Active;
  if (FButtonShown) {
    if ((FFlatButtons || FFrameHotTrack || ThemesEnabled()) && FButtonState != 2 &&
        HandleAllocated()) {
      RECT r;
      GetClientRect(FHandle, &r);
      if (!FFrameHotTrack) {
        // The strip beside the client area that holds the button.
        int cx = GetSystemMetrics(SM_CXVSCROLL);
        if (UseRightToLeftAlignment()) {
          r.right = r.left + 2;
          r.left -= cx + 2;
        } else {
          r.left = r.right - 2;
          r.right += cx + 2;
        }
      }
      RedrawWindow(FHandle, &r, nullptr, RDW_FRAME | RDW_NOERASE | RDW_INVALIDATE);
    }
  } else if (FFrameHotTrack) {
    RepaintFrame();
  }
  UpdateColors();
}

void TFcCustomEdit::CMEnter(TMessage& Message) {
  UpdateHotState(false, true);
  TEdit::CMEnter(Message);
}

void TFcCustomEdit::CMExit(TMessage& Message) {
  TEdit::CMExit(Message);
  UpdateHotState(false, false);
}

void TFcCustomEdit::CMMouseEnter(TMessage& Message) {
  TEdit::CMMouseEnter(Message);
  if (!(ComponentState() & csDesigning)) UpdateHotState(true, true);
}

void TFcCustomEdit::CMMouseLeave(TMessage& Message) {
  TEdit::CMMouseLeave(Message);
  UpdateHotState(true, false);
}

void TFcCustomEdit::WMSize(TMessage& Message) {
  TEdit::WMSize(Message);
  if (FFrameVisible && !UseThemes()) RepaintFrame();
}

void TFcCustomEdit::InvalidKey() {
  if (FBeepOnInvalidKey) MessageBeep(0);
}

void TFcCustomEdit::KeyPress(wchar_t& Key) {
  if (FTabOnEnter && Key == L'\r') {
    Key = 0;
    if (HandleAllocated()) PostMessageW(FHandle, WM_KEYDOWN, VK_TAB, 0);
    return;
  }
  if (FAlignment == taRightJustify && Key == L'\r' && IsWindowsVersion(0)) {
    // A right-aligned edit would beep on Enter.
    Key = 0;
    return;
  }
  TEdit::KeyPress(Key);
}

void TFcCustomEdit::PaintNCFrame() {
  if (!FFrameVisible || UseThemes()) return;
  HDC dc = GetWindowDC(FHandle);
  if (!dc) return;
  TCanvas canvas;
  canvas.SetHandle(dc);
  bool hot = FFrameHotTrack && (Focused() || FOverControl);
  PaintControlFrame(&canvas, Width(), Height(), false, FFrameSides,
                    hot ? FFrameHotColor : FFrameColor, Color(),
                    hot ? FFrameHotStyle : FFrameStyle);
  canvas.SetHandle(nullptr);
  ReleaseDC(FHandle, dc);
}

TRect TFcCustomEdit::ButtonRect() const {
  if (!FButtonShown || !HandleAllocated()) return TRect();
  RECT w;
  GetWindowRect(FHandle, &w);
  TRect r(0, 0, w.right - w.left, w.bottom - w.top);
  LONG style = GetWindowLongW(FHandle, GWL_STYLE), ex = GetWindowLongW(FHandle, GWL_EXSTYLE);
  if ((style & WS_BORDER) || (ex & WS_EX_CLIENTEDGE)) {
    int d = ThemesEnabled() ? 1 : 2;
    r = TRect(r.Left + d, r.Top + d, r.Right - d, r.Bottom - d);
  }
  if (UseRightToLeftAlignment())
    r.Right = std::min(r.Right, r.Left + GetSystemMetrics(SM_CXVSCROLL));
  else
    r.Left = std::max(r.Left, r.Right - GetSystemMetrics(SM_CXVSCROLL));
  return r;
}

void TFcCustomEdit::SetButtonVisible(bool Value) {
  FButtonVisible = Value;
  SetButtonShown(Value && !IsReadOnly());
}

void TFcCustomEdit::SetButtonShown(bool Value) {
  if (Value == FButtonShown) return;
  FButtonShown = Value;
  FMouseOverButton = false;
  if (HandleAllocated()) RecreateWnd();
}

void TFcCustomEdit::HideButton() {
  if (FButtonVisible) SetButtonShown(false);
}

void TFcCustomEdit::ShowButton() {
  if (FButtonVisible) SetButtonShown(true);
}

void TFcCustomEdit::SetButtonState(int State) {
  if (State == FButtonState) return;
  FButtonState = State;
  if (HandleAllocated()) SendMessageW(FHandle, WM_NCPAINT, 1, 0);
}

void TFcCustomEdit::NotifyDropDown() {
  if (OnButtonDropDown) OnButtonDropDown(this);
}

void TFcCustomEdit::NotifyCloseUp() {
  if (OnButtonCloseUp) OnButtonCloseUp(this);
}

void TFcCustomEdit::DropDown() {
  if (!FButtonShown || FDroppedDown) return;
  FDroppedDown = true;
  TScopeGuard done([this] {
    FDroppedDown = false;
    ReleaseButton();
  });
  SetMouseCapture(true);
  SetButtonState(2);
  NotifyDropDown();
  NotifyCloseUp();
  SetButtonState(0);
}

void TFcCustomEdit::ReleaseButton() {
  if (!FDroppedDown) SetButtonState(0);
  if (HandleAllocated() && GetCapture() == FHandle) SetMouseCapture(false);
}

void TFcCustomEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TEdit::KeyDown(Key, Shift);
  if (!FButtonShown) return;
  TShiftState keys = Shift & (ssShift | ssAlt | ssCtrl);
  // Alt+F4 stays the window's close command.
  if ((Key == VK_DOWN && keys == ssAlt) || (Key == VK_F4 && !(keys & ssAlt))) {
    Key = 0;
    DropDown();
  }
}

void TFcCustomEdit::DrawDropButton(TCanvas* Canvas, const TRect& Rect) {
  HDC dc = Canvas->Handle();
  RECT r = Rect;
  bool hot = Focused() || FOverControl;
  if (ThemesEnabled()) {
    HTHEME th = (!FFlatButtons || hot) ? OpenThemeData(FHandle, L"COMBOBOX") : nullptr;
    if (th) {
      int state = !Enabled()          ? CBXS_DISABLED
                  : FButtonState == 2 ? CBXS_PRESSED
                  : hot               ? CBXS_HOT
                                      : CBXS_NORMAL;
      DrawThemeBackground(th, dc, CP_DROPDOWNBUTTON, state, &r, nullptr);
      CloseThemeData(th);
    } else {
      Canvas->Brush()->SetColor(Color());
      Canvas->FillRect(Rect);
      DrawDropDownArrow(Canvas, Rect, true, Enabled());
    }
    return;
  }
  bool down = FButtonState == 2;
  if (!FFlatButtons) {
    UINT flags = DFCS_SCROLLCOMBOBOX;
    if (down) flags |= DFCS_PUSHED | DFCS_FLAT;
    if (!Enabled()) flags |= DFCS_INACTIVE;
    DrawFrameControl(dc, &r, DFC_SCROLL, flags);
    return;
  }
  TRect inner = Rect;
  TColor face;
  if (hot) {
    face = FFlatButtonColor;
    if (FFlatButtonColor == clBtnFace)
      inner = DrawBevelLines(Canvas, Rect, down ? clBtnShadow : clBtnHighlight,
                             down ? clBtnHighlight : clBtnShadow, sdsAll, 1);
    else
      inner = DrawShadedStyledBorder(Canvas, Rect, FFlatButtonColor, down ? fsStatus : fsPopup);
  } else {
    face = StateColor();
  }
  Canvas->Brush()->SetColor(face);
  Canvas->FillRect(inner);
  DrawDropDownArrow(Canvas, inner, false, Enabled());
}

void TFcCustomEdit::PaintNCButton() {
  TRect b = ButtonRect();
  if (b.IsEmpty()) return;
  HDC dc = GetWindowDC(FHandle);
  if (!dc) return;
  int saved = SaveDC(dc);
  TCanvas canvas;
  canvas.SetHandle(dc);
  try {
    RECT w, c;
    GetWindowRect(FHandle, &w);
    TRect area(0, 0, w.right - w.left, w.bottom - w.top);
    LONG style = GetWindowLongW(FHandle, GWL_STYLE), ex = GetWindowLongW(FHandle, GWL_EXSTYLE);
    if ((style & WS_BORDER) || (ex & WS_EX_CLIENTEDGE)) {
      int d = ThemesEnabled() ? 1 : 2;
      area = TRect(area.Left + d, area.Top + d, area.Right - d, area.Bottom - d);
    }
    IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
    DrawDropButton(&canvas, b);
    ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
    // The client area stays the edit's; the strip left over takes its colour.
    GetClientRect(FHandle, &c);
    POINT o{0, 0};
    ::ClientToScreen(FHandle, &o);
    int cl = o.x - w.left, ct = o.y - w.top;
    ExcludeClipRect(dc, cl, ct, cl + c.right, ct + c.bottom);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(area);
  } catch (...) {
    // Painting failures are ignored.
  }
  canvas.SetHandle(nullptr);
  RestoreDC(dc, saved);
  ReleaseDC(FHandle, dc);
}

void TFcCustomEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_NCPAINT:
    TEdit::WndProc(Message);
    if (FFrameVisible && !UseThemes()) {
      PaintNCFrame();
      Message.Result = 0;
    }
    if (FButtonShown && HandleAllocated()) {
      PaintNCButton();
      Message.Result = 0;
    }
    return;
  case WM_NCCALCSIZE:
    if (FButtonShown) {
      auto* r = reinterpret_cast<RECT*>(Message.LParam);
      int cx = GetSystemMetrics(SM_CXVSCROLL) - (ThemesEnabled() ? 1 : 0);
      if (UseRightToLeftAlignment())
        r->left += cx;
      else
        r->right -= cx;
    }
    break;
  case WM_NCHITTEST: {
    TEdit::WndProc(Message);
    FMouseOverButton = false;
    if (FButtonShown && Message.Result != HTCLIENT) {
      RECT w;
      GetWindowRect(FHandle, &w);
      POINT p{static_cast<short>(LOWORD(Message.LParam)) - w.left,
              static_cast<short>(HIWORD(Message.LParam)) - w.top};
      TRect b = ButtonRect();
      if (Message.Result == HTNOWHERE ||
          (p.x >= b.Left && p.x < b.Right && p.y >= b.Top && p.y < b.Bottom)) {
        FMouseOverButton = true;
        Message.Result = HTCLIENT;
      }
    }
    return;
  }
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    if (FButtonShown && FMouseOverButton) {
      if (!Focused() && CanFocus()) SetFocus();
      DropDown();
      Message.Result = 0;
      return;
    }
    TEdit::WndProc(Message);
    if (!Focused()) ReleaseButton();
    return;
  case WM_RBUTTONDOWN:
    if (FButtonShown && FMouseOverButton) {
      Message.Result = 0;
      return;
    }
    break;
  case WM_SETCURSOR:
    if (FButtonShown && FMouseOverButton && reinterpret_cast<HWND>(Message.WParam) == FHandle) {
      // A hit-test code outside the client area brings the arrow.
      Message.LParam = MAKELPARAM(HTNOWHERE, HIWORD(Message.LParam));
    }
    break;
  case WM_LBUTTONUP:
  case WM_KILLFOCUS:
    TEdit::WndProc(Message);
    ReleaseButton();
    return;
  default:
    break;
  }
  TEdit::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Numeric edit

TFcNumericEdit::TFcNumericEdit(TComponent* AOwner) : TFcEdit(AOwner) {
  FControlStyle &= ~csSetCaption;
  SetBounds(Left(), Top(), 65, 21);
  SetAlignment(taRightJustify);
  TFcEdit::SetText(FormatValue(FStoredValue));
}

std::wstring TFcNumericEdit::FormatValue(double V) {
  return FormatFloat(FDisplayFormat, V);
}

double TFcNumericEdit::TextToValue() {
  return fcnumeric::TextToValue(Text());
}

bool TFcNumericEdit::IsValidChar(wchar_t Ch) {
  return fcnumeric::IsValidChar(Ch, Text(), SelStart(), SelLength(), FIntegersOnly);
}

double TFcNumericEdit::Value() {
  try {
    if (Text().empty()) {
      if (FAllowBlank) return FBlankValue;
      TFcEdit::SetText(FormatValue(FMin));
    }
    return TextToValue();
  } catch (const std::exception&) {
    return FMin;
  }
}

void TFcNumericEdit::SetValue(double V) {
  if (V != fcnumeric::TextToValue(Text())) TFcEdit::SetText(FormatValue(V));
}

int TFcNumericEdit::IntegerValue() {
  return static_cast<int>(Round(Value()));
}

void TFcNumericEdit::SetIntegerValue(int V) {
  SetValue(V);
}

void TFcNumericEdit::SetIntegersOnly(bool V) {
  if (V == FIntegersOnly) return;
  FIntegersOnly = V;
  if (V) SetValue(static_cast<double>(Round(Value())));
}

void TFcNumericEdit::SetMin(double V) {
  if (V == FMin) return;
  FMin = V;
  if (FMin > FMax) FMax = FMin;
  Invalidate();
}

void TFcNumericEdit::SetMax(double V) {
  if (V == FMax) return;
  FMax = V;
  if (FMax < FMin) FMin = FMax;
  Invalidate();
}

void TFcNumericEdit::SetDisplayFormat(const std::wstring& V) {
  if (V == FDisplayFormat) return;
  double value = Value();
  FDisplayFormat = V;
  SetValue(value);
  if (!Loading()) TFcEdit::SetText(FormatValue(value));
}

void TFcNumericEdit::NotifyRangeError(double Entered, double Adjusted, bool& AutoCorrect) {
  if (OnRangeError) OnRangeError(this, Entered, Adjusted, AutoCorrect);
}

double TFcNumericEdit::CheckValue(double V, bool& KeepFocus) {
  double r = fcnumeric::CheckValue(
      V, FMin, FMax, FCheckRange,
      [this](double e, double a, bool& ac) { NotifyRangeError(e, a, ac); }, KeepFocus);
  FStoredValue = r;
  return r;
}

void TFcNumericEdit::Change() {
  if (Loading() || FReformatting) return;
  TFcEdit::Change();
}

void TFcNumericEdit::KeyPress(wchar_t& Key) {
  TFcEdit::KeyPress(Key);
  if (Key != 0 && !IsValidChar(Key)) {
    Key = 0;
    InvalidKey();
  }
}

void TFcNumericEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_CUT && IsReadOnly()) return;
  if (Message.Msg == WM_PASTE) {
    if (IsReadOnly()) return;
    // Pasted text goes through the key filter like typed text.
    std::wstring clip;
    if (OpenClipboard(HandleAllocated() ? FHandle : nullptr)) {
      if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
          clip = p;
          GlobalUnlock(h);
        }
      }
      CloseClipboard();
    }
    auto typed =
        fcnumeric::TypeThrough(Text(), SelStart(), SelLength(), clip,
                               [this](wchar_t c, const std::wstring& t, int ss, int sl) {
                                 return fcnumeric::IsValidChar(c, t, ss, sl, FIntegersOnly);
                               });
    if (typed.Rejected) InvalidKey();
    if (typed.Text != Text()) {
      TFcEdit::SetText(typed.Text);
      SetSelStart(typed.Caret);
      SetSelLength(0);
    }
    Message.Result = 0;
    return;
  }
  TFcEdit::WndProc(Message);
}

void TFcNumericEdit::CMEnter(TMessage& Message) {
  FStoredValue = TextToValue();
  if (!FAllowBlank) TFcEdit::SetText(FormatValue(FStoredValue));
  TFcEdit::CMEnter(Message);
}

void TFcNumericEdit::CMExit(TMessage& Message) {
  if (FAllowBlank && Text().empty()) {
    TFcEdit::CMExit(Message);
    return;
  }
  double r;
  try {
    bool keep = false;
    r = CheckValue(TextToValue(), keep);
    if (keep) {
      SetFocus();
      return;
    }
  } catch (const std::exception&) {
    r = FMin;
    SetValue(FMin);
  }
  TFcEdit::SetText(FormatValue(r));
  TFcEdit::CMExit(Message);
}

void TFcNumericEdit::Loaded() {
  TFcEdit::Loaded();
  FReformatting = true;
  FStoredValue = TextToValue();
  TFcEdit::SetText(FormatValue(FStoredValue));
  FReformatting = false;
}

void TFcNumericEdit::NotifyDropDown() {
  if (IsReadOnly()) return;
  TFcEdit::NotifyDropDown();
  TNotifyEvent enter = OnEnter, exit = OnExit;
  OnEnter = nullptr;
  OnExit = nullptr;
  try {
    ShowCalculator();
  } catch (...) {
    // A failing calculator leaves the edit as it was.
  }
  OnEnter = enter;
  OnExit = exit;
}

void TFcNumericEdit::ShowCalculator() {
  TWinControl* parent = Parent();
  if (!parent) return;
  bool autoSelect = AutoSelect();
  SetAutoSelect(false);
  auto panel = std::make_unique<TFcPopupPanel>(this);
  TScopeGuard restore([&] { SetAutoSelect(autoSelect); });
  auto* calc = new TFcCalculator(panel.get());
  calc->SetParent(panel.get());
  panel->SetParent(parent);
  panel->Font()->SetName(Font()->Name());
  panel->Font()->SetColor(Font()->Color());
  panel->Font()->SetSize(Font()->Size());
  calc->SetPopup(true);
  calc->SetThemeAware(UseThemes());
  calc->SetColor(Color());
  calc->HandleNeeded();
  calc->SetResult(Value());
  if ((FrameVisible() && !UseThemes() && FrameStyle() == fsFlat) || FrameStyle() == fsFlatBold) {
    calc->SetBorderOuter(fsFlat);
    calc->SetFlatColor(FrameColor());
  }
  calc->SetVisible(true);
  calc->SetCalculatorColors(FCalculatorColors.get());
  calc->SetBoldButtons(FCalculatorBoldButtons);
  TFcPopupPanel* p = panel.get();
  calc->OnSetBtnClick = [p](TObject*) { p->ClosePopup(); };
  panel->SetBounds(0, 0, calc->Width() + 4, calc->Height() + 4);
  calc->SetBounds(2, 2, calc->Width(), calc->Height());
  if (panel->Popup(this)) SetValue(calc->Result());
}
