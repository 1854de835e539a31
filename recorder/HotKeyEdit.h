// A hot-key control with the framed controls' colours and frame.
#pragma once
#include "controls/FcCommon.h"
#include "framework/ComCtrls.h"

namespace recorder {

class TFcHotKeyEdit : public THotKey, public IFcFrameControlled {
public:
  explicit TFcHotKeyEdit(TComponent* AOwner);
  ~TFcHotKeyEdit() override;

  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor Value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor Value);
  TColor NormalColor() const { return FNormalColor; }
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor Value);
  TFcFrameController* FrameController() const { return FFrameController.Controller(); }
  virtual void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const override {
    return FFrameController.Notifications();
  }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) {
    FFrameController.SetNotifications(Value);
  }
  void SetControllerProperty(TFcFrameControllerProperty Property,
                             const TFcFrameController& Controller) override;
  TColor FrameHotColor() const { return FFrameHotColor; }
  virtual void SetFrameHotColor(TColor Value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  virtual void SetFrameHotTrack(bool Value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle Value);
  TSides FrameSides() const { return FFrameSides; }
  virtual void SetFrameSides(TSides Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle Value);
  bool FrameVisible() const { return FFrameVisible; }
  virtual void SetFrameVisible(bool Value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  virtual void SetFramingPreference(TFramingPreference Value);
  virtual bool UseThemes() const;

  virtual void UpdateColors();
  virtual void UpdateFrame(bool ViaMouse, bool Over);
  virtual void RepaintFrame();
  bool MouseOver() const { return FOverControl; }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void WMSize(TMessage& Message) override;

private:
  void PaintNCFrame();
  bool Loading() const { return ComponentState() & (csLoading | csReading); }
  TColor FDisabledColor = clBtnFace;
  TColor FFocusColor = clWindow;
  TColor FNormalColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  TFcFrameControllerLink FFrameController{this};
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdsAll;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  bool FOverControl = false;
  bool FUpdatingColor = false;
};

} // namespace recorder
