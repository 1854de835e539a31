// Framed panels and the status bar.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/FcCommon.h"
#include "framework/Controls.h"
#include "framework/ExtCtrls.h"

enum TFcGridStyle : uint8_t { gsDots, gsDottedLines, gsSolidLines };

class TFcCustomPanel;

// The dock manager of a framed panel: 14-pixel grabbers that show the docked
// control's text and a close glyph in caption colours.
class TFcPanelDockManager : public TDockTree {
public:
  explicit TFcPanelDockManager(TFcCustomPanel* Panel);
  ~TFcPanelDockManager() override;
  TFont* CaptionFont() const { return FCaptionFont.get(); }
  TFont* GlyphFont() const { return FGlyphFont.get(); }
  void PaintDockFrame(TCanvas* Canvas, TControl* Control, const TRect& ARect) override;

private:
  TFcCustomPanel* FPanel;
  std::unique_ptr<TFont> FCaptionFont, FGlyphFont;
  TWndMethod FPanelOldWndProc;
  bool FHooked = false;
};

class TFcCustomPanel : public TCustomControl,
                       public IFrameControllerClient,
                       public IFcTransparency {
public:
  explicit TFcCustomPanel(TComponent* AOwner);
  ~TFcCustomPanel() override;

  TFrameStyleEx BorderOuter() const { return FBorderOuter; }
  virtual void SetBorderOuter(TFrameStyleEx Value);
  TFrameStyleEx BorderInner() const { return FBorderInner; }
  virtual void SetBorderInner(TFrameStyleEx Value);
  TSides BorderSides() const { return FBorderSides; }
  virtual void SetBorderSides(TSides Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { SetAndPaint(FBorderColor, Value); }
  TColor BorderHighlight() const { return FBorderHighlight; }
  void SetBorderHighlight(TColor Value) { SetAndPaint(FBorderHighlight, Value); }
  TColor BorderShadow() const { return FBorderShadow; }
  void SetBorderShadow(TColor Value) { SetAndPaint(FBorderShadow, Value); }
  TColor FlatColor() const { return FFlatColor; }
  void SetFlatColor(TColor Value) { SetAndPaint(FFlatColor, Value); }
  int FlatColorAdjustment() const { return FFlatColorAdjustment; }
  void SetFlatColorAdjustment(int Value) { SetAndPaint(FFlatColorAdjustment, Value); }
  TFcVisualStyle VisualStyle() const { return FVisualStyle; }
  void SetVisualStyle(TFcVisualStyle Value) { SetAndPaint(FVisualStyle, Value); }
  TFcGradientColorStyle GradientColorStyle() const { return FGradientColorStyle; }
  void SetGradientColorStyle(TFcGradientColorStyle Value) {
    SetAndPaint(FGradientColorStyle, Value);
  }
  TColor GradientColorStart() const { return FGradientColorStart; }
  void SetGradientColorStart(TColor Value);
  TColor GradientColorStop() const { return FGradientColorStop; }
  void SetGradientColorStop(TColor Value);
  TGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TGradientDirection Value);
  bool ShowGrid() const { return FShowGrid; }
  void SetShowGrid(bool Value) { SetAndPaint(FShowGrid, Value); }
  TFcGridStyle GridStyle() const { return FGridStyle; }
  void SetGridStyle(TFcGridStyle Value) { SetAndPaint(FGridStyle, Value); }
  TColor GridColor() const { return FGridColor; }
  void SetGridColor(TColor Value) { SetAndPaint(FGridColor, Value); }
  uint16_t GridXSize() const { return FGridXSize; }
  void SetGridXSize(uint16_t Value) { SetAndPaint(FGridXSize, Value); }
  uint16_t GridYSize() const { return FGridYSize; }
  void SetGridYSize(uint16_t Value) { SetAndPaint(FGridYSize, Value); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { SetAndPaint(FAlignment, Value); }
  TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
  void SetAlignmentVertical(TAlignmentVertical Value) { SetAndPaint(FAlignmentVertical, Value); }
  int TextMargin() const { return FTextMargin; }
  void SetTextMargin(int Value) { SetAndPaint(FTextMargin, Value); }
  int TextMarginVertical() const { return FTextMarginVertical; }
  void SetTextMarginVertical(int Value) { SetAndPaint(FTextMarginVertical, Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { SetAndPaint(FWordWrap, Value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool GetTransparent() const override { return FTransparent; }
  bool PaintClientArea() const { return FPaintClientArea; }
  void SetPaintClientArea(bool Value) { SetAndPaint(FPaintClientArea, Value); }
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
  bool ShowDockClientCaptions() const { return FShowDockClientCaptions; }
  void SetShowDockClientCaptions(bool Value) { SetAndPaint(FShowDockClientCaptions, Value); }
  bool Locked() const { return FLocked; }
  void SetLocked(bool Value) { FLocked = Value; }
  TFcFrameController* FrameController() const { return FFrameController.Controller(); }
  void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const {
    return FFrameController.Notifications();
  }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) {
    FFrameController.SetNotifications(Value);
  }
  void ApplyFrameController() override;

  // The rectangle inside the borders (with or without BorderWidth).
  virtual TRect AdjustRectByBorders(const TRect& Rect, bool IncludeBorderWidth);
  virtual void GetGradientColors(TColor& Start, TColor& Stop);
  virtual void DrawCaption(const TRect& Rect);
  virtual void DrawGrid(const TRect& Rect);

  TNotifyEvent OnPaint;

protected:
  template <class T> void SetAndPaint(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  void Paint() override;
  void AdjustClientRect(TRect& Rect) override;
  TDockTree* CreateDockManager() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void WMWindowPosChanged(TMessage& Message) override;
  TRect InnerRect();

private:
  TFrameStyleEx FBorderOuter = fsRaised, FBorderInner = fsNone;
  TSides FBorderSides = sdsAll;
  int FBorderWidth = 0, FBevelWidth = 1;
  TColor FBorderColor = clBtnFace, FBorderHighlight = clBtnHighlight, FBorderShadow = clBtnShadow;
  TColor FFlatColor = clBtnShadow;
  int FFlatColorAdjustment = 30;
  TFcVisualStyle FVisualStyle = vsWinXP;
  TFcGradientColorStyle FGradientColorStyle = gcsSystem;
  TColor FGradientColorStart = clWhite, FGradientColorStop = clBtnFace;
  TGradientDirection FGradientDirection = gdHorizontalEnd;
  bool FShowGrid = false;
  TFcGridStyle FGridStyle = gsDots;
  TColor FGridColor = clBtnShadow;
  uint16_t FGridXSize = 8, FGridYSize = 8;
  TAlignment FAlignment = taCenter;
  TAlignmentVertical FAlignmentVertical = avCenter;
  int FTextMargin = 0, FTextMarginVertical = 0;
  bool FWordWrap = true, FTransparent = false, FPaintClientArea = true, FFullRepaint = true,
       FLocked = false, FShowDockClientCaptions = true;
  TFcFrameControllerLink FFrameController{this};
  // Children's enabled states while the panel is disabled.
  std::vector<std::pair<TControl*, bool>> FEnabledStates;
  TRect FLastBounds;
};

class TFcPanel : public TFcCustomPanel {
public:
  explicit TFcPanel(TComponent* AOwner) : TFcCustomPanel(AOwner) {}
};

namespace fcstatus {
// The new width of each pane when the bar goes from PreviousWidth to
// NewWidth; nothing changes without a previous width.
std::vector<int> ScalePanes(const std::vector<int>& Widths, int PreviousWidth, int NewWidth);
} // namespace fcstatus

class TFcStatusBar : public TFcCustomPanel {
public:
  explicit TFcStatusBar(TComponent* AOwner);

  bool AutoStyle() const { return FAutoStyle; }
  void SetAutoStyle(bool Value) { FAutoStyle = Value; }
  bool ShowSizeGrip() const { return FShowSizeGrip; }
  void SetShowSizeGrip(bool Value);
  bool SimpleStatus() const { return FSimpleStatus; }
  void SetSimpleStatus(bool Value);
  const std::wstring& SimpleCaption() const { return FSimpleCaption; }
  void SetSimpleCaption(const std::wstring& Value);
  TFrameStyle SimpleFrameStyle() const { return FSimpleFrameStyle; }
  void SetSimpleFrameStyle(TFrameStyle Value);
  bool AutoScalePanes() const { return FAutoScalePanes; }
  void SetAutoScalePanes(bool Value) { FAutoScalePanes = Value; }
  void SetBorderOuter(TFrameStyleEx Value) override;
  void SetBorderInner(TFrameStyleEx Value) override;
  void SetBorderSides(TSides Value) override;
  void GetGradientColors(TColor& Start, TColor& Stop) override;
  // Whether the grip can size the form now.
  bool GripUsable();
  bool GripShown() { return FShowSizeGrip && GripUsable(); }

protected:
  virtual void DrawSimpleFrame(const TRect& Rect);
  virtual void ApplyAutoStyle();
  void Paint() override;
  void Loaded() override;
  void WMSize(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void DrawGrip();
  bool FAutoStyle = true;
  bool FShowSizeGrip = true;
  bool FSimpleStatus = false;
  std::wstring FSimpleCaption;
  TFrameStyle FSimpleFrameStyle = fsFlat;
  bool FAutoScalePanes = false;
  int FPreviousWidth = 0;
  bool FFirstResize = true;
  bool FScaling = false;
};
