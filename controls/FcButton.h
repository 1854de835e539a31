// Control button: a small windowless button with a built-in arrow or a
// glyph, flat or raised, that can repeat its click while held.
#pragma once

#include <cstdint>
#include <memory>

#include "controls/FcCommon.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"

enum TFcControlButtonStyle : uint8_t { cbsNone, cbsLeft, cbsUp, cbsRight, cbsDown, cbsDropDown };
using TNumGlyphs = uint8_t; // 1..4

class TFcControlButton : public TGraphicControl {
public:
  explicit TFcControlButton(TComponent* AOwner);
  ~TFcControlButton() override;

  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs Value);
  bool RepeatClicks() const { return FRepeatClicks; }
  void SetRepeatClicks(bool Value) { FRepeatClicks = Value; }
  uint16_t InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(uint16_t Value) { FInitialDelay = Value; }
  uint16_t Delay() const { return FDelay; }
  void SetDelay(uint16_t Value) { FDelay = Value; }
  TFcControlButtonStyle Style() const { return FStyle; }
  void SetStyle(TFcControlButtonStyle Value);
  bool Down() const { return FDown; }
  bool MouseOver() const { return FMouseOver; }

  void Click() override;
  // Glyph width per image and height; (0, 0) without a glyph.
  virtual TPoint GetGlyphSize();

protected:
  // Each draws into R and leaves R as the area inside what it drew.
  virtual void DrawButtonFace(TRect& R);
  virtual void DrawArrowButton(TRect& R);
  virtual void DrawDropDownButton(TRect& R);
  virtual void DrawGlyph(const TRect& R);
  // Pressed, or under the mouse while enabled.
  bool Hot() const { return FDown || (FMouseOver && Enabled()); }
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;

private:
  void TimerExpired();
  void GlyphChanged();
  // A non-flat button of a spin edit fills its arrow face with clBtnFace.
  bool InSpinEdit() const;
  bool FMouseOver = false;
  bool FDown = false;
  bool FDragging = false;
  bool FFlat = false;
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
  bool FRepeatClicks = false;
  std::unique_ptr<TFcTimer> FRepeatTimer;
  uint16_t FInitialDelay = 400;
  uint16_t FDelay = 100;
  TFcControlButtonStyle FStyle = cbsNone;
};
