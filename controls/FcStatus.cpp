#include "controls/FcStatus.h"

#include <uxtheme.h>
#include <vssym32.h>

#include "controls/FcPanel.h"
#include "framework/SysUtils.h"

// ---------------------------------------------------------------------------
// Pane

TFcCustomStatusPane::TFcCustomStatusPane(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = (FControlStyle & ~csOpaque) | csNoDesignVisible;
  FWidth = 100;
  FHeight = 20;
  SetColor(clBtnFace);
  SetParentColor(true);
  FFillColor = Color();
  FNormalFontColor = FCaptionColor = Font()->Color();
  NeedBlinkingControls()->Add(this);
}

TFcCustomStatusPane::~TFcCustomStatusPane() {
  if (BlinkingControls) {
    BlinkingControls->Remove(this);
    FreeBlinkingListIfEmpty();
  }
}

void TFcCustomStatusPane::SetFillColor(TColor Value) {
  FFillColor = Value;
  FParentFillColor = false;
  Invalidate();
}

void TFcCustomStatusPane::SetParentFillColor(bool Value) {
  if (Value == FParentFillColor) return;
  FParentFillColor = Value;
  if (Parent() && !(ComponentState() & csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TFcCustomStatusPane::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  SetOpaque(!Value);
  Invalidate();
}

void TFcCustomStatusPane::SetFrameController(TFcFrameController* Value) {
  FFrameController.SetController(Value);
}

void TFcCustomStatusPane::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  FFrameController.Notification(AComponent, Operation);
}

void TFcCustomStatusPane::ApplyFrameController() {
  TFcFrameController* c = FFrameController.Controller();
  if (!c || !c->FrameVisible()) return;
  auto on = [&](TFcFrameControllerProperty p) { return FFrameController.Notifies(p); };
  if (on(fcpFrameStyle)) FFrameStyle = c->FrameStyle();
  if (on(fcpFrameColor)) {
    FFlatColor = c->FrameColor();
    FFlatColorAdjustment = 0;
  }
  if (on(fcpColor)) SetFillColor(c->Color());
  if (on(fcpParentColor)) SetParentColor(c->ParentColor());
  Invalidate();
}

void TFcCustomStatusPane::Loaded() {
  TGraphicControl::Loaded();
  if (!ParentColor()) SetTransparent(false);
  FNormalFontColor = FCaptionColor = Font()->Color();
  AdjustSize();
}

TRect TFcCustomStatusPane::InnerRect() {
  TRect r(0, 0, Width(), Height());
  int extra = 0;
  switch (FFrameStyle) {
  case fsGroove:
  case fsBump:
  case fsLowered:
  case fsButtonDown:
  case fsRaised:
  case fsButtonUp:
  case fsFlatBold:
    extra = 2;
    break;
  case fsFlat:
  case fsStatus:
  case fsPopup:
    extra = 1;
    break;
  default:
    break;
  }
  r.Inflate(-(FBorderWidth + extra), -(FBorderWidth + extra));
  return r;
}

void TFcCustomStatusPane::DrawFrame() {
  TCanvas* c = Canvas();
  TRect r(0, 0, Width(), Height());
  auto* bar = dynamic_cast<TFcStatusBar*>(Parent());
  if (bar && bar->VisualStyle() == vsWinXP && ThemesEnabled()) {
    if (HTHEME th = OpenThemeData(nullptr, L"STATUS")) {
      RECT rr = r;
      DrawThemeBackground(th, c->Handle(), SP_PANE, 0, &rr, nullptr);
      CloseThemeData(th);
      return;
    }
  }
  if (!FTransparent) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
  }
  c->Pen()->SetWidth(1);
  r.Inflate(-FBorderWidth, -FBorderWidth);
  if (bar && bar->VisualStyle() == vsGradient) {
    if (Left() > bar->BorderWidth()) {
      TColor stop, start, line;
      GetStatusGradientColors(bar->GradientColorStyle(), stop, start, line);
      c->Pen()->SetColor(line);
      c->MoveTo(r.Left, r.Top + 1);
      c->LineTo(r.Left, r.Bottom - 1);
    }
    return;
  }
  if (FFrameStyle == fsFlat) {
    c->Pen()->SetColor(AdjustLuminance(FFlatColor, FFlatColorAdjustment));
    c->MoveTo(r.Left, r.Top + 1);
    c->LineTo(r.Left, r.Bottom - 1);
    c->MoveTo(r.Left + 1, r.Top);
    c->LineTo(r.Right - 1, r.Top);
    c->MoveTo(r.Right - 1, r.Top + 1);
    c->LineTo(r.Right - 1, r.Bottom - 1);
    c->MoveTo(r.Left + 1, r.Bottom - 1);
    c->LineTo(r.Right - 1, r.Bottom - 1);
  } else {
    DrawStyledBorder(c, r, FFrameStyle);
  }
}

void TFcCustomStatusPane::DrawCaptionText(const std::wstring& Text) {
  TCanvas* c = Canvas();
  c->SetFont(Font());
  TRect r = InnerRect();
  HDC dc = c->Handle();
  int offset = 2;
  if (auto* pane = dynamic_cast<TFcStatusPane*>(this)) offset = pane->CaptionOffset();
  int x;
  UINT align;
  // Right-to-left reading shows the alignment mirrored.
  TAlignment alignment = FAlignment;
  if (UseRightToLeftReading() && alignment != taCenter)
    alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
  switch (alignment) {
  case taRightJustify:
    align = TA_RIGHT;
    x = r.Right - offset - 1;
    break;
  case taCenter:
    align = TA_CENTER;
    x = (r.Left + r.Right) / 2;
    break;
  default:
    align = TA_LEFT;
    x = r.Left + offset + 1;
    break;
  }
  if (UseRightToLeftReading()) align |= TA_RTLREADING;
  SetTextAlign(dc, align | TA_TOP);
  int y = r.Top + (r.Height() - c->TextHeight(L"Pp")) / 2;
  if (FTransparent) {
    c->Brush()->SetStyle(bsClear);
  } else {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(FFillColor);
  }
  c->Font()->SetColor(Enabled() ? FCaptionColor : clGrayText);
  c->TextRect(r, x, y, Text);
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  c->Brush()->SetStyle(bsSolid);
}

void TFcCustomStatusPane::Paint() {
  DrawFrame();
}

bool TFcCustomStatusPane::ReachesGrip() {
  auto* bar = dynamic_cast<TFcStatusBar*>(Parent());
  return bar && bar->GripShown() && Left() + Width() >= bar->ClientWidth();
}

void TFcCustomStatusPane::ShowBlinkState(int State) {
  FCaptionColor = State == 1 ? (dynamic_cast<TFcStatusPane*>(this)
                                    ? static_cast<TFcStatusPane*>(this)->BlinkColor()
                                    : FNormalFontColor)
                             : FNormalFontColor;
  Repaint();
}

void TFcCustomStatusPane::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case CM_BLINKQUERY:
    Message.Result = IsBlinking() ? 1 : 0;
    return;
  case CM_BLINK:
    if (IsBlinking()) ShowBlinkState(static_cast<int>(Message.WParam));
    return;
  case WM_NCHITTEST:
    TGraphicControl::WndProc(Message);
    if (ReachesGrip()) {
      auto* bar = static_cast<TFcStatusBar*>(Parent());
      int x = Left() + Message.XPos();
      if (x >= bar->ClientWidth() - 12) Message.Result = HTBOTTOMRIGHT;
    }
    return;
  }
  TGraphicControl::WndProc(Message);
}

void TFcCustomStatusPane::CMColorChanged(TMessage& Message) {
  TGraphicControl::CMColorChanged(Message);
  if (FParentFillColor) FFillColor = Color();
  Invalidate();
}

void TFcCustomStatusPane::CMParentColorChanged(TMessage& Message) {
  TGraphicControl::CMParentColorChanged(Message);
  if (FParentFillColor) FFillColor = Color();
  Invalidate();
}

void TFcCustomStatusPane::CMFontChanged(TMessage& Message) {
  TGraphicControl::CMFontChanged(Message);
  if (ComponentState() & csLoading) return;
  FNormalFontColor = Font()->Color();
  if (!IsBlinking()) FCaptionColor = FNormalFontColor;
  AdjustSize();
}

void TFcCustomStatusPane::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Invalidate();
  AdjustSize();
}

// ---------------------------------------------------------------------------
// Caption pane

void TFcStatusPane::SetAutoSize(bool Value) {
  TFcCustomStatusPane::SetAutoSize(Value);
  AdjustSize();
}

void TFcStatusPane::SetCaptionOffset(int Value) {
  if (Value == FCaptionOffset) return;
  FCaptionOffset = Value;
  Invalidate();
  AdjustSize();
}

void TFcStatusPane::SetDefaultWidth(int Value) {
  if (Value == FDefaultWidth) return;
  FDefaultWidth = Value;
  AdjustSize();
}

void TFcStatusPane::SetBlinking(bool Value) {
  if (Value == FBlinking) return;
  FBlinking = Value;
  if (!Value) {
    FCaptionColor = FNormalFontColor;
    Repaint();
  }
}

uint16_t TFcStatusPane::BlinkIntervalOn() const {
  return static_cast<uint16_t>(BlinkingControls ? BlinkingControls->IntervalOn() : 500);
}
void TFcStatusPane::SetBlinkIntervalOn(uint16_t Value) {
  NeedBlinkingControls()->SetIntervalOn(Value);
}
uint16_t TFcStatusPane::BlinkIntervalOff() const {
  return static_cast<uint16_t>(BlinkingControls ? BlinkingControls->IntervalOff() : 500);
}
void TFcStatusPane::SetBlinkIntervalOff(uint16_t Value) {
  NeedBlinkingControls()->SetIntervalOff(Value);
}

int TFcStatusPane::PreferredWidth() {
  if (Caption().empty()) return FDefaultWidth;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  RECT r{0, 0, Width(), Height()};
  DrawTextW(dc, Caption().c_str(), -1, &r, DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return 2 * BorderWidth() + (r.right - r.left) + FCaptionOffset + 6;
}

void TFcStatusPane::AdjustSize() {
  if ((ComponentState() & csReading) || !AutoSize()) return;
  int w = PreferredWidth();
  if (w != Width()) SetWidth(w);
}

void TFcStatusPane::Paint() {
  DrawFrame();
  DrawCaptionText(Caption());
}

// ---------------------------------------------------------------------------
// Progress pane

TFcProgressStatus::TFcProgressStatus(TComponent* AOwner) : TFcCustomStatusPane(AOwner) {
  SetShowHint(true);
}

void TFcProgressStatus::SetPercent(uint16_t Value) {
  if (Value == FPercent) return;
  FPercent = Value;
  Repaint();
}

void TFcProgressStatus::SetBarStyle(TBarStyle Value) {
  if (Value == FBarStyle) return;
  FBarStyle = Value;
  FShowPercent = false;
  Invalidate();
}

void TFcProgressStatus::SetPartsComplete(uint32_t Value) {
  if (Value == FPartsComplete) return;
  if (Value > FTotalParts) Value = FTotalParts;
  FPartsComplete = Value;
  if (!(ComponentState() & csLoading) && FTotalParts != 0)
    SetPercent(static_cast<uint16_t>(Round(double(FPartsComplete) / double(FTotalParts) * 100.0)));
}

void TFcProgressStatus::SetTotalParts(uint32_t Value) {
  if (Value == FTotalParts) return;
  FTotalParts = Value;
  if (!(ComponentState() & csLoading)) {
    FPartsComplete = 0;
    SetPercent(0);
  }
}

void TFcProgressStatus::Paint() {
  DrawFrame();
  TCanvas* c = Canvas();
  c->SetFont(Font());
  TRect r = InnerRect();
  r.Top += 1;
  r.Bottom -= 1;
  switch (FBarStyle) {
  case bsTraditional:
    DrawTraditionalProgressBar(c, r, orHorizontal, FBarColor, FBackColor, FPercent, FShowPercent,
                               false);
    break;
  case bsLED:
    DrawLedProgressBar(c, r, orHorizontal, FBarColor, FBackColor, FNumSegments, FPercent, false,
                       false);
    break;
  case bsGradient:
    DrawGradientProgressBar(c, r, orHorizontal, FBarColor, FBarColorStop, FBackColor,
                            FBackColorStop, FGradientDirection, FPercent, FShowPercent, false);
    break;
  }
}
