#include "controls/FcButton.h"

#include <algorithm>

#include <uxtheme.h>
#include <vssym32.h>

#include "controls/FcSpnEdt.h"

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
