#include "recorder/HotKeyEdit.h"

#include "framework/Graphics.h"

namespace recorder {

TFcHotKeyEdit::TFcHotKeyEdit(TComponent* AOwner) : THotKey(AOwner) {
  SetBounds(Left(), Top(), Width(), 21);
}

TFcHotKeyEdit::~TFcHotKeyEdit() {}

bool TFcHotKeyEdit::UseThemes() const {
  return FFramingPreference == fpXPThemes && ThemesEnabled();
}

void TFcHotKeyEdit::UpdateColors() {
  if (Loading()) return;
  FUpdatingColor = true;
  if (!Enabled())
    SetColor(FDisabledColor);
  else if (Focused())
    SetColor(FFocusColor);
  else
    SetColor(FNormalColor);
  FUpdatingColor = false;
}

void TFcHotKeyEdit::UpdateFrame(bool ViaMouse, bool Over) {
  if (ViaMouse) FOverControl = Over;
  if (FFrameHotTrack) RepaintFrame();
  UpdateColors();
}

void TFcHotKeyEdit::RepaintFrame() {
  if (HandleAllocated()) RedrawWindowFrame(FHandle, ClientRect());
}

void TFcHotKeyEdit::SetDisabledColor(TColor Value) {
  if (Value == FDisabledColor) return;
  FDisabledColor = Value;
  if (!Enabled()) UpdateColors();
}

void TFcHotKeyEdit::SetFocusColor(TColor Value) {
  if (Value == FFocusColor) return;
  FFocusColor = Value;
  if (Focused()) UpdateColors();
}

void TFcHotKeyEdit::SetFrameColor(TColor Value) {
  if (Value == FFrameColor) return;
  FFrameColor = Value;
  RepaintFrame();
}

void TFcHotKeyEdit::SetFrameHotColor(TColor Value) {
  if (Value == FFrameHotColor) return;
  FFrameHotColor = Value;
  RepaintFrame();
}

void TFcHotKeyEdit::SetFrameHotTrack(bool Value) {
  if (Value == FFrameHotTrack) return;
  FFrameHotTrack = Value;
  if (Value) {
    SetFrameVisible(true);
    if (!Loading()) FFrameSides = sdsAll;
  }
  RepaintFrame();
}

void TFcHotKeyEdit::SetFrameHotStyle(TFrameStyle Value) {
  if (Value == FFrameHotStyle) return;
  FFrameHotStyle = Value;
  RepaintFrame();
}

void TFcHotKeyEdit::SetFrameSides(TSides Value) {
  if (Value == FFrameSides) return;
  FFrameSides = Value;
  RepaintFrame();
}

void TFcHotKeyEdit::SetFrameStyle(TFrameStyle Value) {
  if (Value == FFrameStyle) return;
  FFrameStyle = Value;
  RepaintFrame();
}

void TFcHotKeyEdit::SetFrameVisible(bool Value) {
  if (Value == FFrameVisible) return;
  FFrameVisible = Value;
  if (Value) SetCtl3D(true);
  if (HandleAllocated()) RecreateWnd();
}

void TFcHotKeyEdit::SetFramingPreference(TFramingPreference Value) {
  if (Value == FFramingPreference) return;
  FFramingPreference = Value;
  if (Value == fpCustomFraming) RepaintFrame();
}

void TFcHotKeyEdit::SetFrameController(TFcFrameController* Value) {
  FFrameController.SetController(Value);
}

void TFcHotKeyEdit::SetControllerProperty(TFcFrameControllerProperty P,
                                          const TFcFrameController& C) {
  ApplyControllerProperty(*this, P, C);
}

void TFcHotKeyEdit::Loaded() {
  THotKey::Loaded();
  UpdateColors();
  UpdateFrame(false, false);
}

void TFcHotKeyEdit::Notification(TComponent* AComponent, TOperation Operation) {
  THotKey::Notification(AComponent, Operation);
  FFrameController.Notification(AComponent, Operation);
}

void TFcHotKeyEdit::CMEnter(TMessage& Message) {
  THotKey::CMEnter(Message);
  UpdateFrame(false, true);
}

void TFcHotKeyEdit::CMExit(TMessage& Message) {
  THotKey::CMExit(Message);
  UpdateFrame(false, false);
}

void TFcHotKeyEdit::CMColorChanged(TMessage& Message) {
  THotKey::CMColorChanged(Message);
  if (!FUpdatingColor) {
    if (FFocusColor == FNormalColor) FFocusColor = Color();
    FNormalColor = Color();
  }
  if (FFrameVisible && !UseThemes()) RepaintFrame();
}

void TFcHotKeyEdit::CMParentColorChanged(TMessage& Message) {
  THotKey::CMParentColorChanged(Message);
  if (ParentColor() && !FUpdatingColor) {
    if (FFocusColor == FNormalColor) FFocusColor = Color();
    FNormalColor = Color();
  }
  if (FFrameVisible && !UseThemes()) RepaintFrame();
}

void TFcHotKeyEdit::CMEnabledChanged(TMessage& Message) {
  THotKey::CMEnabledChanged(Message);
  UpdateColors();
}

void TFcHotKeyEdit::CMMouseEnter(TMessage& Message) {
  THotKey::CMMouseEnter(Message);
  if (ComponentState() & csDesigning) return;
  if (OnMouseEnter) OnMouseEnter(this);
  UpdateFrame(true, true);
}

void TFcHotKeyEdit::CMMouseLeave(TMessage& Message) {
  THotKey::CMMouseLeave(Message);
  if (ComponentState() & csDesigning) return;
  if (OnMouseLeave) OnMouseLeave(this);
  UpdateFrame(true, false);
}

void TFcHotKeyEdit::WMSize(TMessage& Message) {
  THotKey::WMSize(Message);
  if (FFrameVisible && !UseThemes()) RepaintFrame();
}

void TFcHotKeyEdit::PaintNCFrame() {
  HDC dc = GetWindowDC(FHandle);
  if (!dc) return;
  TCanvas canvas;
  canvas.SetHandle(dc);
  const bool hot = FFrameHotTrack && (Focused() || FOverControl);
  PaintControlFrame(&canvas, Width(), Height(), false, FFrameSides,
                    hot ? FFrameHotColor : FFrameColor, Color(),
                    hot ? FFrameHotStyle : FFrameStyle);
  canvas.SetHandle(nullptr);
  ReleaseDC(FHandle, dc);
}

void TFcHotKeyEdit::WndProc(TMessage& Message) {
  THotKey::WndProc(Message);
  if (Message.Msg == WM_NCPAINT && FFrameVisible && !UseThemes()) {
    PaintNCFrame();
    Message.Result = 0;
  }
}

} // namespace recorder
