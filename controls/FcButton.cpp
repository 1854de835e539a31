#include "controls/FcButton.h"

#include <uxtheme.h>
#include <vssym32.h>

TFcControlButton::TFcControlButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = csCaptureMouse;
  FWidth = 17;
  FHeight = 21;
  SetColor(clBtnFace);
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TFcControlButton::~TFcControlButton() {
  if (FGlyph) FGlyph->OnChange = nullptr;
}

void TFcControlButton::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  Invalidate();
}

void TFcControlButton::SetGlyph(TBitmap* Value) {
  if (Value)
    FGlyph->Assign(Value);
  else
    FGlyph->SetSize(0, 0);
  Invalidate();
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

void TFcControlButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  FDown = true;
  FDragging = true;
  Invalidate();
  if (FRepeatClicks) {
    if (!FRepeatTimer) {
      FRepeatTimer = std::make_unique<TFcTimer>();
      FRepeatTimer->OnTimer = [this] { TimerExpired(); };
    }
    FRepeatTimer->SetInterval(FInitialDelay);
    FRepeatTimer->SetEnabled(true);
  }
}

void TFcControlButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  bool inside = X >= 0 && X < Width() && Y >= 0 && Y < Height();
  if (inside != FDown) {
    FDown = inside;
    Invalidate();
  }
}

void TFcControlButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool wasDown = FDown;
  FDragging = false;
  FDown = false;
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  Invalidate();
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  (void)wasDown;
}

void TFcControlButton::TimerExpired() {
  if (FRepeatTimer) FRepeatTimer->SetInterval(FDelay);
  if (FDown && MouseCapture()) {
    try {
      Click();
    } catch (...) {
      FRepeatTimer->SetEnabled(false);
      throw;
    }
  }
}

void TFcControlButton::CMMouseEnter(TMessage& Message) {
  TGraphicControl::CMMouseEnter(Message);
  FMouseOver = true;
  if (FFlat || ThemesEnabled()) Invalidate();
}

void TFcControlButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::CMMouseLeave(Message);
  FMouseOver = false;
  if (FFlat || ThemesEnabled()) Invalidate();
}

void TFcControlButton::CMEnabledChanged(TMessage& Message) {
  TGraphicControl::CMEnabledChanged(Message);
  Invalidate();
}

void TFcControlButton::Paint() {
  TCanvas* c = Canvas();
  TRect r(0, 0, Width(), Height());
  bool themed = false;
  if (ThemesEnabled()) {
    HTHEME th = OpenThemeData(nullptr, L"BUTTON");
    if (th) {
      int state = !Enabled()   ? PBS_DISABLED
                  : FDown      ? PBS_PRESSED
                  : FMouseOver ? PBS_HOT
                               : PBS_NORMAL;
      if (!FFlat || FDown || FMouseOver) {
        RECT rr = r;
        DrawThemeBackground(th, c->Handle(), BP_PUSHBUTTON, state, &rr, nullptr);
        themed = true;
      }
      CloseThemeData(th);
    }
  }
  if (!themed) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
    if (!FFlat || FDown || FMouseOver) {
      if (FFlat)
        DrawStyledBorder(c, r, FDown ? fsStatus : fsPopup);
      else
        DrawPushButtonBorder(c, r, FDown);
    }
  }
  TRect in = r;
  if (FDown) in.Offset(1, 1);
  if (!FGlyph->Empty() && FStyle == cbsNone) {
    int n = std::max<int>(FNumGlyphs, 1);
    int gw = FGlyph->Width() / n, gh = FGlyph->Height();
    int index = 0;
    if (!Enabled() && n > 1)
      index = 1;
    else if (FDown && n > 2)
      index = 2;
    TRect dst = CenterRectangle(in, gw, gh);
    TRect src = Bounds(index * gw, 0, gw, gh);
    c->CopyRect(dst, FGlyph->Canvas(), src);
    return;
  }
  switch (FStyle) {
  case cbsUp:
    DrawSpinArrow(c, in, themed, Enabled(), 0);
    break;
  case cbsDown:
    DrawSpinArrow(c, in, themed, Enabled(), 1);
    break;
  case cbsLeft:
    DrawSpinArrow(c, in, themed, Enabled(), 2);
    break;
  case cbsRight:
    DrawSpinArrow(c, in, themed, Enabled(), 3);
    break;
  case cbsDropDown:
    DrawDropDownArrow(c, in, themed, Enabled());
    break;
  default:
    break;
  }
}
