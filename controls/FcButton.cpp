#include "controls/FcButton.h"

#include <algorithm>
#include <cmath>

#include <uxtheme.h>
#include <vssym32.h>

#include "controls/FcSpnEdt.h"
#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"

namespace {

// Draws one part of a visual-style class; false when the class is missing.
bool DrawThemePart(TCanvas* Canvas, const wchar_t* ClassName, int Part, int State,
                   const TRect& Rect, const TRect* Clip = nullptr) {
  HTHEME th = OpenThemeData(nullptr, ClassName);
  if (!th) return false;
  RECT r = Rect;
  RECT clip = Clip ? static_cast<RECT>(*Clip) : r;
  DrawThemeBackground(th, Canvas->Handle(), Part, State, &r, &clip);
  CloseThemeData(th);
  return true;
}

void Fill(TCanvas* Canvas, const TRect& R, TColor Color) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(R);
}

} // namespace

TFcControlButton::TFcControlButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = csCaptureMouse;
  FWidth = 17;
  FHeight = 21;
  SetColor(clBtnFace);
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TFcControlButton::~TFcControlButton() {
  if (FGlyph) FGlyph->OnChange = nullptr;
}

void TFcControlButton::GlyphChanged() {
  int w = FGlyph->Width(), h = FGlyph->Height();
  if (h != 0 && w % h == 0) {
    int n = w / h;
    FNumGlyphs = static_cast<TNumGlyphs>(n < 5 && n > 0 ? n : 1);
  }
  Invalidate();
}

void TFcControlButton::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  Repaint();
}

void TFcControlButton::SetGlyph(TBitmap* Value) {
  // Both report the change through the glyph's OnChange.
  if (Value)
    FGlyph->Assign(Value);
  else
    FGlyph->Assign(nullptr);
}

void TFcControlButton::SetNumGlyphs(TNumGlyphs Value) {
  Value = std::clamp<TNumGlyphs>(Value, 1, 4);
  if (Value == FNumGlyphs) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TFcControlButton::SetStyle(TFcControlButtonStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Invalidate();
}

void TFcControlButton::Click() {
  TGraphicControl::Click();
}

TPoint TFcControlButton::GetGlyphSize() {
  if (FGlyph->Empty()) return TPoint(0, 0);
  return TPoint(FGlyph->Width() / std::max<int>(FNumGlyphs, 1), FGlyph->Height());
}

void TFcControlButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Enabled()) {
    FDown = true;
    FDragging = true;
    Invalidate();
  }
  if (FRepeatClicks) {
    if (!FRepeatTimer) {
      FRepeatTimer = std::make_unique<TFcTimer>();
      FRepeatTimer->OnTimer = [this] { TimerExpired(); };
    }
    FRepeatTimer->SetInterval(FInitialDelay);
    FRepeatTimer->SetEnabled(true);
  }
}

void TFcControlButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (FDragging) {
    FDragging = false;
    FDown = false;
    FMouseOver = false;
    Repaint();
    TScopeGuard stop([this] {
      if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
    });
    if (X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight()) Click();
    if ((FFlat || ThemesEnabled()) && Enabled()) {
      POINT p;
      GetCursorPos(&p);
      bool over = false;
      if (Parent() && Parent()->HandleAllocated()) {
        TPoint local = Parent()->ScreenToClient(TPoint(p.x, p.y));
        over = Parent()->ControlAtPos(local, false) == this &&
               WindowFromPoint(p) == Parent()->Handle();
      }
      Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
    }
    return;
  }
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TFcControlButton::TimerExpired() {
  if (FRepeatTimer) FRepeatTimer->SetInterval(FDelay);
  if (FDown && MouseCapture()) {
    TScopeGuard stop([&] { FRepeatTimer->SetEnabled(false); });
    Click();
    stop.Dismiss();
  }
}

void TFcControlButton::CMMouseEnter(TMessage& Message) {
  TGraphicControl::CMMouseEnter(Message);
  if (ComponentState() & csDesigning) return;
  FMouseOver = true;
  if (FFlat || ThemesEnabled()) Repaint();
}

void TFcControlButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::CMMouseLeave(Message);
  FMouseOver = false;
  if (FFlat || ThemesEnabled()) Repaint();
}

void TFcControlButton::CMEnabledChanged(TMessage& Message) {
  TGraphicControl::CMEnabledChanged(Message);
  Invalidate();
}

bool TFcControlButton::InSpinEdit() const {
  TComponent* o = Owner();
  return o && dynamic_cast<TFcSpinEdit*>(o->Owner()) != nullptr;
}

void TFcControlButton::DrawButtonFace(TRect& R) {
  TCanvas* c = Canvas();
  bool hot = Hot() || (ComponentState() & csDesigning);
  if (ThemesEnabled()) {
    bool drawn = false;
    if (hot) {
      TRect big(R.Left - 1, R.Top - 2, R.Right + 2, R.Bottom + 2);
      drawn = DrawThemePart(c, L"SCROLLBAR", SBP_THUMBBTNHORZ, FDown ? SCRBS_PRESSED : SCRBS_HOT,
                            big, &R);
    } else if (FFlat) {
      Fill(c, R, Color());
      drawn = true;
    } else {
      drawn = DrawThemePart(c, L"SCROLLBAR", SBP_THUMBBTNHORZ,
                            Enabled() ? SCRBS_NORMAL : SCRBS_DISABLED, R);
    }
    if (drawn) {
      R.Inflate(-2, -2);
      return;
    }
  }
  if (FFlat) {
    if (hot) R = DrawStyledBorder(c, R, FDown ? fsStatus : fsPopup);
    Fill(c, R, Color());
  } else {
    R = FDown ? DrawRectOutline(c, R, clBtnShadow) : DrawStyledBorder(c, R, fsRaised);
    Fill(c, R, clBtnFace);
  }
}

void TFcControlButton::DrawArrowButton(TRect& R) {
  TCanvas* c = Canvas();
  bool hot = Hot() || (ComponentState() & csDesigning);
  int direction = FStyle == cbsUp ? 0 : FStyle == cbsDown ? 1 : FStyle == cbsLeft ? 2 : 3;
  if (ThemesEnabled()) {
    int part = FStyle == cbsUp      ? SPNP_UP
               : FStyle == cbsDown  ? SPNP_DOWN
               : FStyle == cbsRight ? SPNP_UPHORZ
                                    : SPNP_DOWNHORZ;
    // The spin parts share their state numbers: normal, hot, pressed, disabled.
    bool drawn = false;
    if (hot) {
      drawn = DrawThemePart(c, L"SPIN", part, FDown ? UPS_PRESSED : UPS_HOT, R);
    } else if (FFlat) {
      Fill(c, R, Color());
      DrawSpinArrow(c, R, true, Enabled(), direction);
      drawn = true;
    } else {
      drawn = DrawThemePart(c, L"SPIN", part, Enabled() ? UPS_NORMAL : UPS_DISABLED, R);
    }
    if (drawn) {
      R.Inflate(-2, -2);
      return;
    }
  }
  TColor fill = Color();
  if (FFlat) {
    if (hot) R = DrawStyledBorder(c, R, FDown ? fsStatus : fsPopup);
  } else {
    R = FDown ? DrawRectOutline(c, R, clBtnShadow) : DrawStyledBorder(c, R, fsButtonUp);
    if (InSpinEdit()) fill = clBtnFace;
  }
  Fill(c, R, fill);
  DrawSpinArrow(c, R, false, Enabled(), direction);
}

void TFcControlButton::DrawDropDownButton(TRect& R) {
  TCanvas* c = Canvas();
  bool hot = Hot() || (ComponentState() & csDesigning);
  if (ThemesEnabled()) {
    TRect saved = R;
    R.Inflate(1, 1);
    bool drawn = false;
    TRect clip(0, 0, Width(), Height());
    if (hot) {
      drawn = DrawThemePart(c, L"COMBOBOX", CP_DROPDOWNBUTTON, FDown ? CBXS_PRESSED : CBXS_HOT, R,
                            &clip);
    } else if (FFlat) {
      Fill(c, R, Color());
      DrawDropDownArrow(c, R, true, Enabled());
      drawn = true;
    } else {
      drawn = DrawThemePart(c, L"COMBOBOX", CP_DROPDOWNBUTTON,
                            Enabled() ? CBXS_NORMAL : CBXS_DISABLED, R, &clip);
    }
    if (drawn) {
      R.Inflate(-2, -2);
      return;
    }
    R = saved;
  }
  if (FFlat) {
    if (hot) R = DrawStyledBorder(c, R, FDown ? fsStatus : fsPopup);
    Fill(c, R, Color());
  } else {
    R = FDown ? DrawRectOutline(c, R, clBtnShadow) : DrawStyledBorder(c, R, fsButtonUp);
    Fill(c, R, clBtnFace);
  }
  DrawDropDownArrow(c, R, false, Enabled());
}

void TFcControlButton::DrawGlyph(const TRect& R) {
  if (FGlyph->Empty() || R.IsEmpty()) return;
  TPoint size = GetGlyphSize();
  int n = std::max<int>(FNumGlyphs, 1);
  int index = 0;
  if (FDown && n > 2)
    index = 2;
  else if (!Enabled() && n >= 2)
    index = 1;
  TCanvas* c = Canvas();
  TBitmap cell;
  cell.SetSize(R.Width(), R.Height());
  TRect local(0, 0, R.Width(), R.Height());
  cell.Canvas()->CopyRect(local, c, R);
  DrawTransparentBitmapRect(cell.Canvas(), FGlyph.get(), local, FGlyph->TransparentColor(),
                            Bounds(index * size.X, 0, size.X, size.Y));
  c->Draw(R.Left, R.Top, &cell);
}

void TFcControlButton::Paint() {
  TRect r(0, 0, Width(), Height());
  switch (FStyle) {
  case cbsNone: {
    DrawButtonFace(r);
    if (FGlyph->Empty()) return;
    r.Inflate(-1, -1);
    TPoint size = GetGlyphSize();
    TRect g = CenterRectangle(r, size.X, size.Y);
    if (FDown) g.Offset(1, ThemesEnabled() ? 0 : 1);
    DrawGlyph(g);
    break;
  }
  case cbsDropDown:
    DrawDropDownButton(r);
    break;
  default:
    DrawArrowButton(r);
    break;
  }
}

// ---------------------------------------------------------------------------
// Framed push buttons: shared routines

uint8_t HueOfColor(TColor Color) {
  uint8_t h, s, l;
  ColorToHslBytes(Color, h, s, l);
  return h;
}

TColor WeightedColorMix(TColor Color1, TColor Color2, uint8_t Weight) {
  COLORREF c1 = ColorToRGB(Color1), c2 = ColorToRGB(Color2);
  const float w = Weight / 255.0f;
  auto mix = [w](BYTE a, BYTE b) {
    float v = w * a + (1.0f - w) * b;
    return static_cast<BYTE>(std::lrint(v));
  };
  return static_cast<TColor>(RGB(mix(GetRValue(c1), GetRValue(c2)),
                                 mix(GetGValue(c1), GetGValue(c2)),
                                 mix(GetBValue(c1), GetBValue(c2))));
}

TColor OppositeHueColor(TColor Color, uint8_t Luminance) {
  uint8_t h = HueOfColor(Color);
  h = h < 120 ? h + 120 : h - 120;
  return HslBytesToColor(h, 240, Luminance);
}

void DrawGradientBorder(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction,
                        TColor StartColor, TColor StopColor) {
  if (!HighColorDisplay) return;
  HDC dc = Canvas->Handle();
  int saved = SaveDC(dc);
  ExcludeClipRect(dc, Rect.Left + 2, Rect.Top + 2, Rect.Right - 2, Rect.Bottom - 2);
  FillGradientRect(Canvas, Rect, Direction, StartColor, StopColor, 1);
  RestoreDC(dc, saved);
}

TRect DrawDottedFocusBorder(TCanvas* Canvas, const TRect& Rect) {
  HDC dc = Canvas->Handle();
  for (int y = Rect.Top + 1; y < Rect.Bottom; y += 2) {
    SetPixel(dc, Rect.Left, y, 0);
    SetPixel(dc, Rect.Right - 1, y, 0);
  }
  for (int x = Rect.Left + 1; x < Rect.Right; x += 2) {
    SetPixel(dc, x, Rect.Top, 0);
    SetPixel(dc, x, Rect.Bottom - 1, 0);
  }
  return {Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
}

namespace {

struct TKindInfo {
  const wchar_t* Caption;
  TModalResult Result;
  bool Default, Cancel;
  const wchar_t* Resource;
};

const TKindInfo KindInfo[] = {
    {L"", mrNone, false, false, nullptr},
    {L"OK", mrOk, true, false, L"FCCOMMON_OK"},
    {L"Cancel", mrCancel, false, true, L"FCCOMMON_CANCEL"},
    {L"&Help", mrNone, false, false, L"FCCOMMON_HELP"},
    {L"&Yes", mrYes, true, false, L"FCCOMMON_YES"},
    {L"&No", mrNo, false, true, L"FCCOMMON_NO"},
    {L"&Close", mrNone, false, false, L"FCCOMMON_CLOSE"},
    {L"Abort", mrAbort, false, false, L"FCCOMMON_ABORT"},
    {L"&Retry", mrRetry, false, false, L"FCCOMMON_RETRY"},
    {L"&Ignore", mrIgnore, false, false, L"FCCOMMON_IGNORE"},
    {L"&All", mrAll, false, false, L"FCCOMMON_ALL"},
};

std::unique_ptr<TBitmap> KindGlyphs[bkAll + 1];

void DrawLine(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

TRect Inflated(const TRect& R, int DX, int DY) {
  return {R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY};
}

} // namespace

TBitmap* LoadKindGlyph(TBitBtnKind Kind) {
  if (Kind == bkCustom || Kind > bkAll) return nullptr;
  auto& g = KindGlyphs[Kind];
  if (!g) {
    g = std::make_unique<TBitmap>();
    g->LoadFromResourceName(GetModuleHandleW(nullptr), KindInfo[Kind].Resource);
  }
  return g.get();
}

// ---------------------------------------------------------------------------
// TFcCustomButton

TFcCustomButton::TFcCustomButton(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csReplicatable | csReflector;
  SetBounds(0, 0, 115, 17);
  SetTabStop(true);
}

TFcCustomButton::~TFcCustomButton() = default;

template <class T> static bool Store(T& Field, T Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}

void TFcCustomButton::SetAlignmentVertical(TAlignmentVertical Value) {
  if (Store(FAlignmentVertical, Value)) Invalidate();
}
void TFcCustomButton::SetHotTrack(bool Value) {
  if (Store(FHotTrack, Value)) Invalidate();
}
void TFcCustomButton::SetHighlightColor(TColor Value) {
  if (Store(FHighlightColor, Value)) Invalidate();
}
void TFcCustomButton::SetHotTrackColor(TColor Value) {
  if (Store(FHotTrackColor, Value)) Invalidate();
}
void TFcCustomButton::SetHotTrackColorType(TFcHotTrackColorType Value) {
  if (Store(FHotTrackColorType, Value)) Invalidate();
}
void TFcCustomButton::SetLightTextStyle(bool Value) {
  if (Store(FLightTextStyle, Value)) Invalidate();
}
void TFcCustomButton::SetTextStyle(TTextStyle Value) {
  if (Store(FTextStyle, Value)) Invalidate();
}
void TFcCustomButton::SetTextHighlightColor(TColor Value) {
  if (Store(FTextHighlightColor, Value)) Invalidate();
}
void TFcCustomButton::SetTextShadowColor(TColor Value) {
  if (Store(FTextShadowColor, Value)) Invalidate();
}
void TFcCustomButton::SetTextShadowDepth(int Value) {
  if (Store(FTextShadowDepth, Value)) Invalidate();
}
void TFcCustomButton::SetThemeAware(bool Value) {
  if (Store(FThemeAware, Value)) Invalidate();
}
void TFcCustomButton::SetTransparent(bool Value) {
  if (Store(FTransparent, Value)) Invalidate();
}

bool TFcCustomButton::UseThemes() {
  return FThemeAware && ThemeServices()->ThemesEnabled();
}

void TFcCustomButton::FocusChanged() {
  Invalidate();
}

void TFcCustomButton::GetHotTrackRect(TRect& Rect) {
  Rect = ClientRect();
}

void TFcCustomButton::InvalidateHotTrackRect() {
  if (!(FHotTrack || UseThemes()) || !HandleAllocated()) return;
  TRect r;
  GetHotTrackRect(r);
  RECT rr = r;
  InvalidateRect(Handle(), &rr, FALSE);
}

void TFcCustomButton::DrawCaption(TCanvas* Canvas, TRect Rect, UINT Flags) {
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetName(L"System");
  Canvas->Font()->Assign(Font());
  const std::wstring text = Text();
  // The canvas selects its font and colour into the DC when it measures.
  auto draw = [&](TRect R, TColor Color, UINT Format) {
    Canvas->Font()->SetColor(Color);
    Canvas->TextExtent(L"");
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    return DrawCanvasText(Canvas, text, R, Format);
  };
  int h = draw(Rect, Font()->Color(),
               DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
  switch (FAlignmentVertical) {
  case avTop:
    Rect.Bottom = Rect.Top + h;
    break;
  case avCenter:
    Rect.Top = (Rect.Top + Rect.Bottom - h) / 2;
    Rect.Bottom = Rect.Top + h;
    break;
  case avBottom:
    Rect.Top = Rect.Bottom - h - 1;
    break;
  }
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  auto copy = [&](int DX, int DY, TColor Color) {
    TRect r = Rect;
    r.Offset(DX, DY);
    draw(r, Color, Flags);
  };
  TColor color;
  if (Enabled()) {
    switch (FTextStyle) {
    case tsRaised:
      if (!FLightTextStyle) copy(1, 1, FTextShadowColor);
      copy(-1, -1, FTextHighlightColor);
      break;
    case tsRecessed:
      copy(1, 1, FTextHighlightColor);
      if (!FLightTextStyle) copy(-1, -1, FTextShadowColor);
      break;
    case tsShadow:
      copy((Flags & DT_RIGHT) ? 0 : FTextShadowDepth, FTextShadowDepth, FTextShadowColor);
      break;
    case tsNormal:
      break;
    }
    color = Font()->Color();
    if (Flags & DT_RIGHT) Rect.Offset(-FTextShadowDepth, 0);
  } else {
    color = ColorsAreSimilar(Color(), clGrayText) ? cl3DDkShadow : clGrayText;
  }
  draw(Rect, color, Flags);
  Canvas->Brush()->SetStyle(bsSolid);
}

void TFcCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (CanFocus()) SetFocus();
  if (Focused()) {
    FPressed = true;
    RedrawButton();
    FDragging = true;
  }
}

void TFcCustomButton::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
  if (inside != FPressed) {
    FPressed = inside;
    RedrawButton();
  }
}

void TFcCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  FPressed = false;
  if (X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight()) ButtonPressed();
  RedrawButton();
}

void TFcCustomButton::WMEraseBkgnd(TMessage& Message) {
  if (FTransparent) {
    PaintTransparentBackground(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    return;
  }
  TCustomControl::WMEraseBkgnd(Message);
}

void TFcCustomButton::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  FocusChanged();
}

void TFcCustomButton::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  FocusChanged();
}

void TFcCustomButton::CMMouseEnter(TMessage& Message) {
  if (ComponentState() & csDesigning) return;
  bool own = Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this);
  if (own) FMouseOver = true;
  TCustomControl::CMMouseEnter(Message);
  if (own) InvalidateHotTrackRect();
}

void TFcCustomButton::CMMouseLeave(TMessage& Message) {
  bool own = Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this);
  if (own) FMouseOver = false;
  TCustomControl::CMMouseLeave(Message);
  if (own) InvalidateHotTrackRect();
}

void TFcCustomButton::CMEnabledChanged(TMessage& /*Message*/) {
  if (!Enabled() && Parent() && Focused()) {
    // The focus goes to the form rather than stay on a disabled button.
    if (TCustomForm* form = GetParentForm(this)) {
      if (form->HandleAllocated()) ::SetFocus(form->Handle());
    }
  }
  if (HandleAllocated() && !(ComponentState() & csDesigning)) EnableWindow(Handle(), Enabled());
  Invalidate();
}

void TFcCustomButton::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

// ---------------------------------------------------------------------------
// TFcButton

TFcButton::TFcButton(TComponent* AOwner) : TFcCustomButton(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TFcButton::SetAlignment(TAlignment Value) {
  if (Store(FAlignment, Value)) Invalidate();
}
void TFcButton::SetFrameColor(TColor Value) {
  if (Store(FFrameColor, Value)) Invalidate();
}
void TFcButton::SetShowDownPattern(bool Value) {
  if (Store(FShowDownPattern, Value)) Invalidate();
}
void TFcButton::SetShowFocusRect(bool Value) {
  if (Store(FShowFocusRect, Value)) Invalidate();
}

void TFcButton::SetDefault(bool Value) {
  FDefault = Value;
  if (!HandleAllocated()) return;
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TFcButton::SetAllowAllUp(bool Value) {
  if (Store(FAllowAllUp, Value)) NotifyGroup();
}

void TFcButton::SetGroupIndex(int Value) {
  if (Store(FGroupIndex, Value)) NotifyGroup();
}

void TFcButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && FGroupIndex != 0 && !FAllowAllUp) return;
  FDown = Value;
  Invalidate();
  if (Value) NotifyGroup();
}

void TFcButton::NotifyGroup() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage m{CM_FCBUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this),
             0};
  Parent()->Broadcast(m);
}

void TFcButton::ButtonPressedMessage(TMessage& Message) {
  auto* sender = reinterpret_cast<TFcButton*>(Message.LParam);
  if (static_cast<int>(Message.WParam) != FGroupIndex || sender == this || !sender) return;
  if (sender->Down() && FDown) {
    FDown = false;
    Invalidate();
  }
  FAllowAllUp = sender->AllowAllUp();
}

void TFcButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_FCBUTTONPRESSED) {
    ButtonPressedMessage(Message);
    return;
  }
  TFcCustomButton::Dispatch(Message);
}

void TFcButton::SetHotTrack(bool Value) {
  TFcCustomButton::SetHotTrack(Value);
  SetTransparent(HotTrack());
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TFcButton::CreateWnd() {
  TFcCustomButton::CreateWnd();
  FActive = FDefault;
}

void TFcButton::RedrawButton() {
  Invalidate();
}

void TFcButton::ButtonPressed() {
  if (FGroupIndex != 0)
    SetDown(!FDown);
  else
    RedrawButton();
  FClicking = true;
  TScopeGuard clicked([this] { FClicking = false; });
  Click();
}

void TFcButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TFcCustomButton::Click();
}

void TFcButton::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_SPACE && !(Shift & ssAlt)) {
    FKeyToggle = true;
    SetPressedDisplay(true);
    RedrawButton();
  }
  TFcCustomButton::KeyDown(Key, Shift);
}

void TFcButton::KeyUp(WORD& Key, TShiftState Shift) {
  if (Key == VK_SPACE) {
    SetPressedDisplay(false);
    if (FKeyToggle) {
      FKeyToggle = false;
      ButtonPressed();
    }
    RedrawButton();
  }
  TFcCustomButton::KeyUp(Key, Shift);
}

void TFcButton::WMKillFocus(TMessage& Message) {
  FKeyToggle = false;
  SetPressedDisplay(false);
  TFcCustomButton::WMKillFocus(Message);
  RedrawButton();
}

void TFcButton::CMDialogKey(TMessage& Message) {
  const WPARAM key = Message.WParam;
  if (((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) &&
      KeyDataToShiftState(Message.LParam) == 0 && CanFocus()) {
    FEnterClick = !FDropDownOnEnter;
    {
      TScopeGuard clicked([this] { FEnterClick = false; });
      Click();
    }
    Message.Result = 1;
    return;
  }
  TFcCustomButton::CMDialogKey(Message);
}

void TFcButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<WORD>(Message.WParam), Text()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TFcCustomButton::CMDialogChar(Message);
}

void TFcButton::CMFocusChanged(TMessage& Message) {
  auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
  bool active = (dynamic_cast<TFcButton*>(focused) || dynamic_cast<TButton*>(focused))
                    ? focused == this
                    : FDefault;
  if (active != FActive) {
    FActive = active;
    Invalidate();
  }
  TFcCustomButton::CMFocusChanged(Message);
}

bool TFcButton::PressedLook() const {
  return (FGroupIndex != 0 && FDown) || PressedDisplay();
}

void TFcButton::GetTextRect(TRect& Rect) {
  Rect = Inflated(ClientRect(), -5, -5);
  if (!HotTrack() && !UseThemes() && PressedLook()) Rect.Offset(1, 1);
}

void TFcButton::DrawContent() {
  static const UINT Align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = Align[MirroredAlignment(FAlignment)] | DT_WORDBREAK | DT_EXPANDTABS;
  TRect r;
  GetTextRect(r);
  DrawCaption(Canvas(), r, flags);
}

void TFcButton::BuildDownPattern(TBitmap* Bitmap) {
  Bitmap->SetSize(8, 8);
  TCanvas* c = Bitmap->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(TRect(0, 0, 8, 8));
  TColor dot = (ColorToRGB(Color()) & 0xFFFFFF) == 0xC0C0C0 ? static_cast<TColor>(0x808080)
                                                            : static_cast<TColor>(0xC0C0C0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if ((x & 1) == (y & 1)) c->SetPixels(x, y, dot);
}

void TFcButton::PaintTransparentBackground(HDC DC) {
  if (!Transparent()) return;
  TRect r = Inflated(ClientRect(), Enabled() ? -1 : -2, Enabled() ? -1 : -2);
  TRect r2 = Inflated(r, 1, -1);
  TRect r3 = Inflated(r2, -2, 2);
  int saved = SaveDC(DC);
  for (const TRect& x : {r, r2, r3})
    ExcludeClipRect(DC, x.Left, x.Top, x.Right, x.Bottom);
  RenderParentBackground(this, DC, false);
  RestoreDC(DC, saved);
  SelectClipRgn(DC, nullptr);
}

void TFcButton::PaintFace(TRect& R) {
  TCanvas* c = Canvas();
  const bool grouped = FGroupIndex != 0;
  if (UseThemes()) {
    TThemedButton detail;
    if (!Enabled())
      detail = tbPushButtonDisabled;
    else if (PressedLook())
      detail = tbPushButtonPressed;
    else if (MouseOver())
      detail = tbPushButtonHot;
    else if (grouped || (!FActive && !Focused()) || PressedDisplay())
      detail = tbPushButtonNormal;
    else
      detail = tbPushButtonDefaulted;
    TThemeServices* ts = ThemeServices();
    TThemedElementDetails d = ts->GetElementDetails(detail);
    if (ts->HasTransparentParts(d)) ts->DrawParentBackground(Handle(), c->Handle(), &R);
    ts->DrawElement(c->Handle(), d, R);
    return;
  }
  if (HotTrack() && Enabled()) {
    TColor pc = Parent() ? Parent()->Color() : clBtnFace;
    TColor d = DarkenColor(pc, 20), l = LightenColor(pc, 20);
    DrawLine(c, R.Left, R.Top + 2, R.Left, R.Bottom - 2, d);
    DrawLine(c, R.Left + 2, R.Top, R.Right - 2, R.Top, d);
    DrawLine(c, R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 2, l);
    DrawLine(c, R.Left + 2, R.Bottom - 1, R.Right - 2, R.Bottom - 1, l);
    c->SetPixels(R.Left + 1, R.Top + 1, d);
    c->SetPixels(R.Right - 2, R.Top + 1, d);
    c->SetPixels(R.Left + 1, R.Bottom - 2, d);
    c->SetPixels(R.Right - 2, R.Bottom - 2, l);
    R = Inflated(R, -1, -1);
    DrawLine(c, R.Left + 1, R.Top, R.Right - 1, R.Top, FFrameColor);
    DrawLine(c, R.Left + 1, R.Bottom - 1, R.Right - 1, R.Bottom - 1, FFrameColor);
    DrawLine(c, R.Left, R.Top + 1, R.Left, R.Bottom - 1, FFrameColor);
    DrawLine(c, R.Right - 1, R.Top + 1, R.Right - 1, R.Bottom - 1, FFrameColor);
    R = Inflated(R, -1, -1);
    c->Brush()->SetStyle(bsSolid);
    if (PressedLook()) {
      c->Brush()->SetColor(DarkenColor(Color(), 10));
      c->FillRect(R);
    } else {
      DrawLine(c, R.Left, R.Bottom - 2, R.Right, R.Bottom - 2, DarkenColor(Color(), 20));
      DrawLine(c, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1, DarkenColor(Color(), 30));
      TRect face(R.Left, R.Top, R.Right, R.Bottom - 2);
      if (HighColorDisplay) {
        FillGradientRect(c, face, gdHorizontalEnd, LightenColor(Color(), 30),
                         DarkenColor(Color(), 10), 1);
      } else {
        c->Brush()->SetColor(Color());
        c->FillRect(face);
      }
    }
    if (MouseOver()) {
      if (HotTrackColorType() == htctActual) {
        DrawGradientBorder(c, R, gdHorizontalEnd, WeightedColorMix(clWhite, HotTrackColor(), 190),
                           HotTrackColor());
      } else {
        TColor k = OppositeHueColor(HotTrackColor(), 180);
        DrawGradientBorder(c, R, gdHorizontalEnd, k, DarkenColor(k, 30));
      }
    } else if (!grouped && (FActive || Focused())) {
      TColor k = HighlightColor();
      if (ColorsAreSimilar(k, clBtnFace)) k = DarkenColor(k, 30);
      TColor b = LightenColor(Color(), 30);
      DrawGradientBorder(c, R, gdHorizontalEnd, WeightedColorMix(k, b, 60),
                         WeightedColorMix(k, b, 160));
    }
    return;
  }
  if (HotTrack()) {
    R = Inflated(R, -1, -1);
    TColor line = Color() == clBtnFace ? LightenColor(clBtnShadow, 30) : DarkenColor(Color(), 80);
    DrawLine(c, R.Left + 1, R.Top, R.Right - 1, R.Top, line);
    DrawLine(c, R.Left + 1, R.Bottom - 1, R.Right - 1, R.Bottom - 1, line);
    DrawLine(c, R.Left, R.Top + 1, R.Left, R.Bottom - 1, line);
    DrawLine(c, R.Right - 1, R.Top + 1, R.Right - 1, R.Bottom - 1, line);
    R = Inflated(R, -1, -1);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(R);
    return;
  }
  if ((!grouped && (FActive || Focused()) && !PressedDisplay()) || FClicking)
    R = DrawSideLines(c, R, clWindowFrame, clWindowFrame, sdsAll);
  if (Color() == clBtnFace) {
    if (!grouped)
      R = DrawPushButtonBorder(c, R, PressedDisplay());
    else
      R = DrawStyledBorder(c, R, PressedLook() ? fsLowered : fsButtonUp);
  } else {
    if (!grouped)
      R = DrawShadedButtonBorder(c, R, Color(), PressedDisplay());
    else if (PressedLook())
      R = DrawShadedStyledBorder(c, R, Color(), fsLowered);
    else
      R = DrawShadedButtonBorder(c, R, Color(), false);
  }
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(R);
}

void TFcButton::Paint() {
  TCanvas* c = Canvas();
  HDC target = c->Handle();
  const TRect client = ClientRect();
  const int w = client.Width(), h = client.Height();
  // Drawn off-screen over what the background left, then copied in one step.
  HDC mem = CreateCompatibleDC(target);
  HBITMAP bmp = CreateCompatibleBitmap(target, std::max(w, 1), std::max(h, 1));
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, target, 0, 0, SRCCOPY);
  c->SetHandle(mem);
  try {
    const bool offsetFocus = HotTrack() || UseThemes();
    TRect f = Inflated(client, offsetFocus ? -3 : -4, offsetFocus ? -3 : -4);
    if (FGroupIndex != 0 && PressedLook()) f.Offset(1, 1);
    TRect r = client;
    PaintFace(r);
    if (FGroupIndex != 0 && FDown && FShowDownPattern) {
      TBitmap pattern;
      BuildDownPattern(&pattern);
      HBRUSH brush = CreatePatternBrush(pattern.Handle());
      RECT rr = r;
      ::FillRect(mem, &rr, brush);
      DeleteObject(brush);
    }
    c->Font()->Assign(Font());
    c->Brush()->SetColor(Color());
    DrawContent();
    if (Focused() && FShowFocusRect) DrawDottedFocusBorder(c, f);
  } catch (...) {
    c->SetHandle(target);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    throw;
  }
  c->SetHandle(target);
  BitBlt(target, 0, 0, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

// ---------------------------------------------------------------------------
// TFcBitBtn

TFcBitBtn::TFcBitBtn(TComponent* AOwner) : TFcButton(AOwner) {
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = [this](TObject*) { Invalidate(); };
}

TFcBitBtn::~TFcBitBtn() {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  if (FGlyph) FGlyph->OnChange = nullptr;
}

void TFcBitBtn::GlyphChanged() {
  int w = FGlyph->Width(), h = FGlyph->Height();
  if (h != 0 && w % h == 0) {
    int n = w / h;
    FNumGlyphs = static_cast<TNumGlyphs>(n >= 1 && n <= 4 ? n : 1);
  }
  Invalidate();
}

void TFcBitBtn::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  GlyphChanged();
  FModifiedGlyph = true;
}

void TFcBitBtn::SetNumGlyphs(TNumGlyphs Value) {
  if (Store(FNumGlyphs, Value)) Invalidate();
}

TBitBtnKind TFcBitBtn::Kind() {
  if (FKind != bkCustom) {
    const TKindInfo& k = KindInfo[FKind];
    if (Default() != k.Default || Cancel() != k.Cancel || ModalResult() != k.Result ||
        FModifiedGlyph)
      FKind = bkCustom;
  }
  return FKind;
}

void TFcBitBtn::SetKind(TBitBtnKind Value) {
  if (Value == FKind) return;
  if (Value != bkCustom) {
    const TKindInfo& k = KindInfo[Value];
    SetDefault(k.Default);
    SetCancel(k.Cancel);
    if (!((ComponentState() & csLoading) && !Text().empty())) SetText(k.Caption);
    SetModalResult(k.Result);
    SetGlyph(LoadKindGlyph(Value));
    FNumGlyphs = 2;
    FModifiedGlyph = false;
  }
  FKind = Value;
  Invalidate();
}

bool TFcBitBtn::IsCancelStored() {
  return Kind() == bkCustom;
}

bool TFcBitBtn::IsCaptionStored() {
  TBitBtnKind k = Kind();
  return k == bkCustom || Text() != KindInfo[k].Caption;
}

void TFcBitBtn::SetLayout(TButtonLayout Value) {
  if (Store(FLayout, Value)) Invalidate();
}

void TFcBitBtn::SetMargin(int Value) {
  if (Value != FMargin && Value >= -1) {
    FMargin = Value;
    Invalidate();
  }
}

void TFcBitBtn::SetSpacing(int Value) {
  if (Store(FSpacing, Value)) Invalidate();
}

void TFcBitBtn::SetImageIndex(int Value) {
  if (Store(FImageIndex, Value)) Invalidate();
}

void TFcBitBtn::SetDisabledIndex(int Value) {
  if (Store(FDisabledIndex, Value)) Invalidate();
}

void TFcBitBtn::SetImages(TCustomImageList* Value) {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  Invalidate();
}

void TFcBitBtn::Notification(TComponent* AComponent, TOperation Operation) {
  TFcButton::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

void TFcBitBtn::ChangeScale(int M, int D) {
  if (M == D) return;
  FMargin = MulDiv(FMargin, M, D);
  FSpacing = MulDiv(FSpacing, M, D);
  Invalidate();
}

void TFcBitBtn::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
  TFcButton::ActionChange(Sender, CheckDefaults);
  if (auto* a = dynamic_cast<TCustomAction*>(Sender))
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
}

bool TFcBitBtn::HasImage() const {
  return FImages && FImageIndex != -1;
}

TButtonLayout TFcBitBtn::ShownLayout() const {
  return FLayout == blGlyphLeft && UseRightToLeftAlignment() ? blGlyphRight : FLayout;
}

int TFcBitBtn::CaptionHeight() {
  TBitmap measure;
  measure.SetSize(1, 1);
  TCanvas* c = measure.Canvas();
  c->Font()->Assign(Font());
  TRect r;
  TFcButton::GetTextRect(r);
  return DrawCanvasText(c, Text(), r,
                        DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
}

void TFcBitBtn::GetGlyphSize(TPoint& Size) {
  if (HasImage())
    Size = {FImages->Width(), FImages->Height()};
  else
    Size = {FGlyph->Width() / std::max<int>(FNumGlyphs, 1), FGlyph->Height()};
}

void TFcBitBtn::GetTextRect(TRect& Rect) {
  TFcButton::GetTextRect(Rect);
  if (!HasImage() && FGlyph->Empty()) return;
  TPoint g;
  GetGlyphSize(g);
  const int gw = g.X, gh = g.Y, s = FSpacing, t = CaptionHeight();
  const TButtonLayout layout = ShownLayout();
  if (FMargin < 0) {
    switch (layout) {
    case blGlyphLeft:
      Rect.Left += FMargin + gw + s;
      break;
    case blGlyphRight:
      Rect.Right -= FMargin + gw + s;
      break;
    case blGlyphTop:
      Rect.Top = (Height() - t - gh - s) / 2 + gh + Rect.Top;
      Rect.Bottom = Rect.Top + t;
      break;
    case blGlyphBottom:
      Rect.Top = (Height() - t - gh - s) / 2 + Rect.Top;
      Rect.Bottom = Rect.Top + t;
      break;
    }
  } else {
    switch (layout) {
    case blGlyphLeft:
      Rect.Left += FMargin + gw + s;
      break;
    case blGlyphRight:
      Rect.Right -= FMargin + gw + s;
      break;
    case blGlyphTop:
      Rect.Top += FMargin + gh + s;
      break;
    case blGlyphBottom:
      Rect.Bottom -= FMargin + gh + s;
      break;
    }
  }
}

void TFcBitBtn::GetGlyphRect(TRect& Rect) {
  TFcButton::GetTextRect(Rect);
  const bool themes = UseThemes();
  if (PressedDisplay()) Rect.Offset(-1, themes ? 0 : -1);
  TPoint g;
  GetGlyphSize(g);
  const int gw = g.X, gh = g.Y, s = FSpacing, t = CaptionHeight();
  const TButtonLayout layout = ShownLayout();
  if (FMargin < 0) {
    switch (layout) {
    case blGlyphLeft:
      break;
    case blGlyphRight:
      Rect.Left = Rect.Right - gw;
      break;
    case blGlyphTop:
      Rect.Top = (Height() - t - gh - s) / 2;
      break;
    case blGlyphBottom:
      Rect.Top += t + (Height() - t - gh - s) / 2;
      break;
    }
  } else {
    switch (layout) {
    case blGlyphLeft:
      Rect.Left += FMargin;
      break;
    case blGlyphRight:
      Rect.Left = Rect.Right - FMargin - gw;
      break;
    case blGlyphTop:
      Rect.Top += FMargin;
      break;
    case blGlyphBottom:
      Rect.Top = Rect.Bottom - FMargin - gh;
      break;
    }
  }
  if (layout == blGlyphTop || layout == blGlyphBottom)
    Rect.Left += (Rect.Width() - gw + 1) / 2;
  else
    Rect.Top += (Rect.Height() - gh + 1) / 2;
  Rect.Right = Rect.Left + gw;
  Rect.Bottom = Rect.Top + gh;
  if (PressedDisplay()) Rect.Offset(themes ? 2 : 1, themes ? 0 : 1);
}

void TFcBitBtn::DrawContent() {
  TFcButton::DrawContent();
  TRect g;
  GetGlyphRect(g);
  if (Kind() == bkCustom && HasImage())
    DrawImage(g);
  else if (!FGlyph->Empty())
    DrawGlyphCell(g);
}

void TFcBitBtn::DrawImage(const TRect& Rect) {
  if (FDisabledIndex == -1) {
    if (FImageIndex != -1) FImages->Draw(Canvas(), Rect.Left, Rect.Top, FImageIndex, Enabled());
  } else if (Enabled()) {
    if (FImageIndex != -1) FImages->Draw(Canvas(), Rect.Left, Rect.Top, FImageIndex, true);
  } else {
    FImages->Draw(Canvas(), Rect.Left, Rect.Top, FDisabledIndex, true);
  }
}

void TFcBitBtn::DrawGlyphCell(const TRect& Rect) {
  int cell = 0;
  if (FNumGlyphs == 4 && GroupIndex() != 0 && Down())
    cell = 3;
  else if (FNumGlyphs >= 3 && PressedDisplay())
    cell = 2;
  else if (FNumGlyphs >= 2 && !Enabled())
    cell = 1;
  const int w = Rect.Width(), h = Rect.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap work;
  work.SetSize(w, h);
  TCanvas* wc = work.Canvas();
  wc->Brush()->SetColor(Color());
  wc->CopyRect(TRect(0, 0, w, h), Canvas(), Rect);
  DrawTransparentBitmapRect(wc, FGlyph.get(), TRect(0, 0, w, h), FGlyph->TransparentColor(),
                            TRect(cell * w, 0, (cell + 1) * w, h));
  Canvas()->Draw(Rect.Left, Rect.Top, &work);
}
