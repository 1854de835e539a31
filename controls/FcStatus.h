// Status panes: framed captions inside a status bar, and the progress pane.
#pragma once

#include <cstdint>
#include <string>

#include "controls/FcCommon.h"
#include "framework/Controls.h"

class TFcCustomStatusPane : public TGraphicControl,
                            public IFrameControllerClient,
                            public IFcTransparency {
public:
  explicit TFcCustomStatusPane(TComponent* AOwner);
  ~TFcCustomStatusPane() override;

  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle Value) { SetAndPaint(FFrameStyle, Value); }
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value) { SetAndPaint(FBorderWidth, Value); }
  TColor FillColor() const { return FFillColor; }
  void SetFillColor(TColor Value);
  bool ParentFillColor() const { return FParentFillColor; }
  void SetParentFillColor(bool Value);
  TColor FlatColor() const { return FFlatColor; }
  void SetFlatColor(TColor Value) { SetAndPaint(FFlatColor, Value); }
  int FlatColorAdjustment() const { return FFlatColorAdjustment; }
  void SetFlatColorAdjustment(int Value) { SetAndPaint(FFlatColorAdjustment, Value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool GetTransparent() const override { return FTransparent; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { SetAndPaint(FAlignment, Value); }
  TFcFrameController* FrameController() const { return FFrameController.Controller(); }
  void SetFrameController(TFcFrameController* Value);
  void ApplyFrameController() override;
  TFcFrameControllerNotifications FrameControllerNotifications() const {
    return FFrameController.Notifications();
  }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) {
    FFrameController.SetNotifications(Value);
  }

  virtual TRect InnerRect();
  // The caption's colour now (the font colour, or the blink colour).
  TColor CaptionColor() const { return FCaptionColor; }

protected:
  template <class T> void SetAndPaint(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  virtual int PreferredWidth() { return Width(); }
  virtual void DrawCaptionText(const std::wstring& Text);
  virtual void DrawFrame();
  virtual void ShowBlinkState(int State);
  virtual bool IsBlinking() const { return false; }
  // Whether Rect reaches the parent status bar's size grip.
  bool ReachesGrip();
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

  TColor FCaptionColor = clWindowText;
  TColor FNormalFontColor = clWindowText;

private:
  TFrameStyle FFrameStyle = fsFlat;
  int FBorderWidth = 1;
  TColor FFillColor = clBtnFace;
  bool FParentFillColor = true;
  TColor FFlatColor = clBtnShadow;
  int FFlatColorAdjustment = 30;
  bool FTransparent = true;
  TAlignment FAlignment = taLeftJustify;
  TFcFrameControllerLink FFrameController{this};
};

class TFcStatusPane : public TFcCustomStatusPane {
public:
  explicit TFcStatusPane(TComponent* AOwner) : TFcCustomStatusPane(AOwner) {}

  void SetAutoSize(bool Value) override;
  bool AutoHint() const { return FAutoHint; }
  void SetAutoHint(bool Value) { FAutoHint = Value; }
  int CaptionOffset() const { return FCaptionOffset; }
  void SetCaptionOffset(int Value);
  int DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int Value);
  bool Blinking() const { return FBlinking; }
  void SetBlinking(bool Value);
  TColor BlinkColor() const { return FBlinkColor; }
  void SetBlinkColor(TColor Value) { SetAndPaint(FBlinkColor, Value); }
  // Shared by every pane.
  uint16_t BlinkIntervalOn() const;
  void SetBlinkIntervalOn(uint16_t Value);
  uint16_t BlinkIntervalOff() const;
  void SetBlinkIntervalOff(uint16_t Value);

protected:
  int PreferredWidth() override;
  bool IsBlinking() const override { return FBlinking; }
  void AdjustSize() override;
  void Paint() override;

private:
  bool FAutoHint = false;
  int FCaptionOffset = 2;
  int FDefaultWidth = 40;
  bool FBlinking = false;
  TColor FBlinkColor = clHighlight;
};

using TSegmentRange = int;

class TFcProgressStatus : public TFcCustomStatusPane {
public:
  explicit TFcProgressStatus(TComponent* AOwner);

  TBarStyle BarStyle() const { return FBarStyle; }
  void SetBarStyle(TBarStyle Value);
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value) { SetAndPaint(FBackColor, Value); }
  TColor BackColorStop() const { return FBackColorStop; }
  void SetBackColorStop(TColor Value) { SetAndPaint(FBackColorStop, Value); }
  TColor BarColor() const { return FBarColor; }
  void SetBarColor(TColor Value) { SetAndPaint(FBarColor, Value); }
  TColor BarColorStop() const { return FBarColorStop; }
  void SetBarColorStop(TColor Value) { SetAndPaint(FBarColorStop, Value); }
  TGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TGradientDirection Value) { SetAndPaint(FGradientDirection, Value); }
  TSegmentRange NumSegments() const { return FNumSegments; }
  void SetNumSegments(TSegmentRange Value) { SetAndPaint(FNumSegments, Value); }
  uint16_t Percent() const { return FPercent; }
  void SetPercent(uint16_t Value);
  bool ShowPercent() const { return FShowPercent; }
  void SetShowPercent(bool Value) { SetAndPaint(FShowPercent, Value); }
  uint32_t PartsComplete() const { return FPartsComplete; }
  void SetPartsComplete(uint32_t Value);
  uint32_t TotalParts() const { return FTotalParts; }
  void SetTotalParts(uint32_t Value);

protected:
  void Paint() override;

private:
  TBarStyle FBarStyle = bsTraditional;
  TColor FBackColor = clBtnFace, FBackColorStop = clBtnFace;
  TColor FBarColor = clHighlight, FBarColorStop = clHotLight;
  TGradientDirection FGradientDirection = gdHorizontalCenter;
  TSegmentRange FNumSegments = 15;
  uint16_t FPercent = 0;
  bool FShowPercent = false;
  uint32_t FPartsComplete = 0, FTotalParts = 0;
};
