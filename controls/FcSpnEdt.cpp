#include "controls/FcSpnEdt.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include <commctrl.h>

#include "framework/SysUtils.h"

namespace fcspin {

double ClampValue(double V, double Min, double Max, bool CheckRange) {
  if (Max != Min || CheckRange) {
    if (V < Min) return Min;
    if (V > Max) return Max;
  }
  return V;
}

std::wstring FormatFixed(double V, int Decimals) {
  if (std::fabs(V) >= 1e18) {
    wchar_t buf[64];
    swprintf(buf, 64, L"%.17E", V);
    std::wstring s = buf;
    for (auto& c : s)
      if (c == L'.') c = FormatSettings.DecimalSeparator;
    return s;
  }
  // Halves round away from zero.
  std::wstring pattern = L"0";
  if (Decimals > 0) pattern += L"." + std::wstring(static_cast<size_t>(Decimals), L'0');
  std::wstring s = FormatFloat(pattern, V);
  if (!s.empty() && s[0] == L'-' && s.find_first_of(L"123456789") == std::wstring::npos)
    s.erase(0, 1);
  return s;
}

bool IsValidChar(wchar_t Ch, const std::wstring& Text, int SelStart, int SelLength,
                 bool IntegersOnly, bool AllowKeyEdit) {
  if (!AllowKeyEdit && (Ch == L'\b' || Ch >= L' ')) return false;
  if (Ch < L' ') return Ch != L'\r';
  wchar_t dec = FormatSettings.DecimalSeparator;
  if (Ch >= L'0' && Ch <= L'9') return true;
  if (Ch == L'+' || Ch == L'-') {
    bool hasSign = Text.find_first_of(L"+-") != std::wstring::npos;
    if (SelStart == 0 && SelLength == 0 && !hasSign) return true;
    return SelStart == 0 && SelLength >= static_cast<int>(Text.size()) && !Text.empty();
  }
  if (!IntegersOnly && Ch == dec) {
    bool textHas = Text.find(dec) != std::wstring::npos;
    if (SelLength > 0) {
      std::wstring sel = Text.substr(std::min<size_t>(SelStart, Text.size()), SelLength);
      return !textHas || sel.find(dec) != std::wstring::npos;
    }
    return !textHas;
  }
  return false;
}

} // namespace fcspin

// ---------------------------------------------------------------------------
// Spin buttons

TFcSpinButtons::TFcSpinButtons(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle &= ~(csAcceptsControls | csSetCaption);
  FUpButton = CreateButton();
  FDownButton = CreateButton();
  ResetGlyphStyles();
  SetBounds(0, 0, 16, 25);
}

TFcControlButton* TFcSpinButtons::CreateButton() {
  auto* b = new TFcControlButton(this);
  b->SetParent(this);
  b->OnClick = [this](TObject* s) { ButtonClick(s); };
  b->OnMouseDown = [this](TObject* s, TMouseButton mb, TShiftState, int, int) {
    ButtonMouseDown(s, mb);
  };
  b->SetVisible(true);
  b->SetEnabled(true);
  b->SetRepeatClicks(true);
  b->SetNumGlyphs(2);
  b->Glyph()->OnChange = [this, b](TObject*) {
    b->Invalidate();
    GlyphChanged();
  };
  return b;
}

void TFcSpinButtons::ResetGlyphStyles() {
  bool lr = FDirection == sdLeftRight;
  if (!FCustomUp) FUpButton->SetStyle(lr ? cbsRight : cbsUp);
  if (!FCustomDown) FDownButton->SetStyle(lr ? cbsLeft : cbsDown);
}

void TFcSpinButtons::GlyphChanged() {
  FCustomUp = !FUpButton->Glyph()->Empty();
  FCustomDown = !FDownButton->Glyph()->Empty();
  if (FCustomUp) FUpButton->SetStyle(cbsNone);
  if (FCustomDown) FDownButton->SetStyle(cbsNone);
  ResetGlyphStyles();
}

void TFcSpinButtons::SetGlyphUpRight(TBitmap* Value) {
  FUpButton->SetGlyph(Value);
  GlyphChanged();
}

void TFcSpinButtons::SetGlyphDownLeft(TBitmap* Value) {
  FDownButton->SetGlyph(Value);
  GlyphChanged();
}

void TFcSpinButtons::SetDirection(TSpinDirection Value) {
  if (Value == FDirection) return;
  FDirection = Value;
  FUpButton->SetGlyph(nullptr);
  FDownButton->SetGlyph(nullptr);
  FCustomUp = FCustomDown = false;
  ResetGlyphStyles();
  Invalidate();
}

void TFcSpinButtons::SetOrientation(TOrientation Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  if (!(ComponentState() & csLoading)) {
    if (Value == orVertical)
      SetBounds(Left(), Top(), Width() / 2, Height());
    else
      SetBounds(Left(), Top(), Width() * 2, Height());
  }
}

void TFcSpinButtons::SetFlat(bool Value) {
  FFlat = Value;
  FUpButton->SetFlat(Value);
  FDownButton->SetFlat(Value);
}

void TFcSpinButtons::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TFcSpinButtons::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TFcSpinButtons::SetDelay(uint16_t Value) {
  FUpButton->SetDelay(Value);
  FDownButton->SetDelay(Value);
}

void TFcSpinButtons::SetInitialDelay(uint16_t Value) {
  FUpButton->SetInitialDelay(Value);
  FDownButton->SetInitialDelay(Value);
}

void TFcSpinButtons::SetButtonsEnabled(bool Value) {
  SetEnabled(Value);
  FUpButton->SetEnabled(Value);
  FDownButton->SetEnabled(Value);
}

void TFcSpinButtons::SetButtonsColor(TColor Value) {
  SetColor(Value);
  FUpButton->SetColor(Value);
  FDownButton->SetColor(Value);
}

void TFcSpinButtons::ArrangeButtons(int& W, int& H) {
  if (!FUpButton || !FDownButton || (ComponentState() & csLoading)) return;
  if (FOrientation == orVertical) {
    FUpButton->SetBounds(0, 0, W, H / 2);
    FDownButton->SetBounds(0, H / 2, W, H - H / 2);
  } else {
    FDownButton->SetBounds(0, 0, W / 2, H);
    FUpButton->SetBounds(W / 2, 0, W - W / 2, H);
  }
}

void TFcSpinButtons::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  ArrangeButtons(AWidth, AHeight);
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TFcSpinButtons::ButtonClick(TObject* Button) {
  if (Button == FUpButton) {
    if (OnUpRightClick) OnUpRightClick(this);
  } else if (OnDownLeftClick) {
    OnDownLeftClick(this);
  }
}

void TFcSpinButtons::ButtonMouseDown(TObject* /*Button*/, TMouseButton MouseButton) {
  if (MouseButton != mbLeft) return;
  if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() &&
      !FFocusControl->Focused()) {
    FFocusControl->SetFocus();
    if (!FFocusControl->Focused()) Abort();
  }
  if (TabStop() && CanFocus() && !Focused()) {
    SetFocus();
    if (!Focused()) Abort();
  }
}

void TFcSpinButtons::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_UP)
    FUpButton->Click();
  else if (Key == VK_DOWN)
    FDownButton->Click();
  TWinControl::KeyDown(Key, Shift);
}

void TFcSpinButtons::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS;
    return;
  }
  TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Spin edit

TFcSpinEdit::TFcSpinEdit(TComponent* AOwner) : TFcCustomEdit(AOwner) {
  FButtons = new TFcSpinButtons(this);
  FButtons->SetBounds(0, 0, 17, 17);
  FButtons->SetVisible(true);
  FButtons->SetParent(this);
  FButtons->SetFocusControl(this);
  FButtons->OnUpRightClick = [this](TObject*) { UpClick(); };
  FButtons->OnDownLeftClick = [this](TObject*) { DownClick(); };
  FControlStyle &= ~csSetCaption;
  SetBounds(Left(), Top(), 47, Height() > 0 ? Height() : 21);
  SetAlignment(taRightJustify);
  SetValue(0);
}

TFcControlButton* TFcSpinEdit::GetButton(TSpinButtonType Kind) const {
  return Kind == sbDown ? FButtons->DownLeftButton() : FButtons->UpRightButton();
}

double TFcSpinEdit::Value() {
  std::wstring t = Text();
  try {
    if (t.empty()) {
      if (FAllowBlank) return FBlankValue;
      TFcCustomEdit::SetText(FloatToStr(FMin));
      t = Text();
    }
    return StrToFloat(t);
  } catch (const std::exception&) {
    return FMin;
  }
}

double TFcSpinEdit::ClampValue(double V) {
  return fcspin::ClampValue(V, FMin, FMax, FCheckRange);
}

void TFcSpinEdit::SetValue(double V) {
  bool track = Parent() != nullptr || ParentWindow() != nullptr;
  int caret = 0, len = 0;
  bool selection = false;
  if (track && HandleAllocated()) {
    caret = SelStart();
    len = static_cast<int>(Text().size());
    selection = SelLength() > 0;
  }
  TFcCustomEdit::SetText(fcspin::FormatFixed(ClampValue(V), FDecimals));
  if (track && HandleAllocated() && !selection) {
    int now = static_cast<int>(Text().size());
    if (now > len)
      ++caret;
    else if (now < len)
      --caret;
    SetSelStart(std::clamp(caret, 0, now));
  }
}

int TFcSpinEdit::IntegerValue() {
  return static_cast<int>(Round(Value()));
}

void TFcSpinEdit::SetIntegerValue(int V) {
  SetValue(V);
}

bool TFcSpinEdit::Changing(double NewValue) {
  bool allow = true;
  if (OnChanging) OnChanging(this, NewValue, allow);
  return allow;
}

void TFcSpinEdit::NotifyButtonClick(TSpinButtonType Button) {
  if (OnButtonClick) OnButtonClick(this, Button);
}

void TFcSpinEdit::Step(double NewValue, TSpinButtonType Button) {
  if (IsReadOnly()) {
    InvalidKey();
    return;
  }
  if (Changing(NewValue)) {
    SetValue(NewValue);
    NotifyButtonClick(Button);
  }
}

void TFcSpinEdit::IncValue(double Amount) {
  Step(Value() + Amount, sbUp);
}
void TFcSpinEdit::DecValue(double Amount) {
  Step(Value() - Amount, sbDown);
}
void TFcSpinEdit::UpClick() {
  IncValue(FIncrement);
}
void TFcSpinEdit::DownClick() {
  DecValue(FIncrement);
}

void TFcSpinEdit::SetDecimals(uint8_t V) {
  if (V == FDecimals) return;
  FDecimals = V;
  SetValue(Value());
}

void TFcSpinEdit::SetCheckRange(bool V) {
  if (V == FCheckRange) return;
  FCheckRange = V;
  SetValue(Value());
}

void TFcSpinEdit::SetIntegersOnly(bool V) {
  if (V == FIntegersOnly) return;
  FIntegersOnly = V;
  if (V) {
    FDecimals = 0;
    SetValue(static_cast<double>(Round(Value())));
  }
}

void TFcSpinEdit::SetMin(double V) {
  if (V == FMin) return;
  FMin = V;
  if (FMax < FMin) FMax = FMin;
  SetValue(Value());
  Invalidate();
}

void TFcSpinEdit::SetMax(double V) {
  if (V == FMax) return;
  FMax = V;
  if (FMin > FMax) FMin = FMax;
  SetValue(Value());
  Invalidate();
}

void TFcSpinEdit::SetButtonWidth(int V) {
  if (V < 0) V = 0;
  FButtonWidth = V;
  int w = FButtons->Orientation() == orVertical ? V : 2 * V;
  FButtons->SetBounds(FButtons->Left(), FButtons->Top(), w, FButtons->Height());
  ArrangeButtons();
  Invalidate();
}

void TFcSpinEdit::SetOrientation(TOrientation Value) {
  if (Value == FButtons->Orientation()) return;
  FButtons->SetOrientation(Value);
  ArrangeButtons();
}

void TFcSpinEdit::SetFlatButtons(bool Value) {
  TFcCustomEdit::SetFlatButtons(Value);
  FButtons->SetFlat(Value);
  ArrangeButtons();
}

void TFcSpinEdit::ArrangeButtons() {
  if (Loading()) return;
  int textHeight = GetEditTextHeight(Font());
  if (Height() < textHeight) {
    SetHeight(textHeight);
    return;
  }
  int w = FButtons->Width();
  if (UseRightToLeftAlignment())
    FButtons->SetBounds(0, 0, w, Height() - 4);
  else if (FrameVisible() || Ctl3D()) {
    if (ThemesEnabled())
      FButtons->SetBounds(Width() - w - 3, -1, w, Height() - 2);
    else
      FButtons->SetBounds(Width() - w - 4, 0, w, Height() - 4);
  } else {
    FButtons->SetBounds(Width() - w - 1, 1, w, Height() - 2);
  }
  UpdateMargins();
}

void TFcSpinEdit::UpdateMargins() {
  if (!HandleAllocated()) return;
  if (IsReadOnly()) {
    SendMessageW(FHandle, EM_SETMARGINS, EC_LEFTMARGIN, 0);
    SendMessageW(FHandle, EM_SETMARGINS, EC_RIGHTMARGIN, 0);
    return;
  }
  if (Loading()) return;
  int w = FButtons->Width();
  if (UseRightToLeftAlignment()) {
    SendMessageW(FHandle, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(w + 2, 0));
    SendMessageW(FHandle, EM_SETMARGINS, EC_RIGHTMARGIN, 0);
  } else {
    SendMessageW(FHandle, EM_SETMARGINS, EC_LEFTMARGIN, 0);
    SendMessageW(FHandle, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, w + 2));
  }
}

void TFcSpinEdit::ReadOnlyChanged() {
  TFcCustomEdit::ReadOnlyChanged();
  FButtons->SetVisible(!IsReadOnly());
  ArrangeButtons();
}

void TFcSpinEdit::UpdateHotState(bool ViaMouse, bool Active) {
  TFcCustomEdit::UpdateHotState(ViaMouse, Active);
  if (!FlatButtons()) return;
  bool active = FOverControl || FInControl;
  if (ThemesEnabled()) {
    FButtons->SetFlat(!active);
    FButtons->SetButtonsColor(Color());
  } else {
    FButtons->SetButtonsColor(active ? FlatButtonColor() : Color());
  }
}

void TFcSpinEdit::CreateParams(TCreateParams& Params) {
  TFcCustomEdit::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TFcSpinEdit::CreateWnd() {
  TFcCustomEdit::CreateWnd();
  ArrangeButtons();
  UpdateMargins();
}

void TFcSpinEdit::Loaded() {
  TFcCustomEdit::Loaded();
  ArrangeButtons();
}

void TFcSpinEdit::WMSize(TMessage& Message) {
  TFcCustomEdit::WMSize(Message);
  ArrangeButtons();
}

bool TFcSpinEdit::IsValidChar(wchar_t Ch) {
  return fcspin::IsValidChar(Ch, Text(), SelStart(), SelLength(), FIntegersOnly, FAllowKeyEdit);
}

void TFcSpinEdit::KeyPress(wchar_t& Key) {
  TFcCustomEdit::KeyPress(Key);
  if (Key != 0 && !IsValidChar(Key)) {
    Key = 0;
    InvalidKey();
  }
}

void TFcSpinEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TFcCustomEdit::KeyDown(Key, Shift);
  switch (Key) {
  case VK_DELETE:
    if (!FAllowKeyEdit) {
      Key = 0;
      InvalidKey();
    }
    break;
  case VK_PRIOR:
    IncValue(FPageSize), Key = 0;
    break;
  case VK_NEXT:
    DecValue(FPageSize), Key = 0;
    break;
  case VK_UP:
    IncValue(FIncrement), Key = 0;
    break;
  case VK_DOWN:
    DecValue(FIncrement), Key = 0;
    break;
  default:
    break;
  }
}

bool TFcSpinEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& /*MousePos*/) {
  double amount = (Shift & ssCtrl) ? FPageSize : FIncrement;
  if (WheelDelta > 0)
    IncValue(amount);
  else if (WheelDelta < 0)
    DecValue(amount);
  return true;
}

void TFcSpinEdit::WndProc(TMessage& Message) {
  if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FAllowKeyEdit || IsReadOnly()))
    return;
  TFcCustomEdit::WndProc(Message);
  // A new font resets the edit's margins.
  if (Message.Msg == WM_SETFONT) UpdateMargins();
}

void TFcSpinEdit::CMEnter(TMessage& Message) {
  TFcCustomEdit::CMEnter(Message);
  UpdateMargins();
  if (AutoSelect() && !(GetKeyState(VK_LBUTTON) & 0x8000)) SelectAll();
}

void TFcSpinEdit::CMExit(TMessage& Message) {
  TFcCustomEdit::CMExit(Message);
  UpdateMargins();
  if (FAllowBlank && Text().empty()) return;
  double v;
  if (!TryStrToFloat(Text(), v)) v = FMin;
  SetValue(v);
}

void TFcSpinEdit::CMColorChanged(TMessage& Message) {
  TFcCustomEdit::CMColorChanged(Message);
  if (FButtons) FButtons->SetButtonsColor(Color());
}

void TFcSpinEdit::CMEnabledChanged(TMessage& Message) {
  TFcCustomEdit::CMEnabledChanged(Message);
  UpdateMargins();
  FButtons->SetButtonsEnabled(Enabled());
  if (FlatButtons()) FButtons->SetButtonsColor(Color());
}

void TFcSpinEdit::CMFontChanged(TMessage& Message) {
  TFcCustomEdit::CMFontChanged(Message);
  if (HandleAllocated()) UpdateMargins();
  FButtons->SetButtonsEnabled(Enabled());
}
