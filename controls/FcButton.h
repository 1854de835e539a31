// Control button: a small windowless button with a built-in arrow or a
// glyph, flat or raised, that can repeat its click while held. Framed push
// buttons: a caption button with text styles and hot tracking, a push button
// with default, cancel and radio-group behaviour in a themed, hot-track or
// classic look, and a bit button with a glyph and the standard kinds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/FcCommon.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/StdCtrls.h"

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

// ---------------------------------------------------------------------------
// Framed push buttons

enum TFcHotTrackColorType : uint8_t { htctComplement, htctActual };
enum TTextStyle : uint8_t { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TBitBtnKind : uint8_t {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};

// Sent to the controls of a grouped button's parent when its group changes:
// WParam the group index, LParam the sender.
constexpr UINT CM_FCBUTTONPRESSED = WM_USER + 0x2021;

// The H of a colour on 0..239.
uint8_t HueOfColor(TColor Color);
// Each channel Weight/255 of Color1's and the rest of Color2's.
TColor WeightedColorMix(TColor Color1, TColor Color2, uint8_t Weight);
// Full saturation, the hue a third of the circle away, the given luminance.
TColor OppositeHueColor(TColor Color, uint8_t Luminance);
// A 2-pixel gradient ring inside Rect (high-colour displays only).
void DrawGradientBorder(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction,
                        TColor StartColor, TColor StopColor);
// Every other pixel of the rectangle's edges in black; returns Rect less 1.
TRect DrawDottedFocusBorder(TCanvas* Canvas, const TRect& Rect);
// The kind's glyph (two cells), shared and kept until exit; null for bkCustom.
TBitmap* LoadKindGlyph(TBitBtnKind Kind);

// A caption button: text styles, hot tracking, mouse and space-key pressing.
class TFcCustomButton : public TCustomControl {
public:
  explicit TFcCustomButton(TComponent* AOwner);
  ~TFcCustomButton() override;

  TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
  virtual void SetAlignmentVertical(TAlignmentVertical Value);
  bool HotTrack() const { return FHotTrack; }
  virtual void SetHotTrack(bool Value);
  TColor HighlightColor() const { return FHighlightColor; }
  virtual void SetHighlightColor(TColor Value);
  TColor HotTrackColor() const { return FHotTrackColor; }
  void SetHotTrackColor(TColor Value);
  TFcHotTrackColorType HotTrackColorType() const { return FHotTrackColorType; }
  void SetHotTrackColorType(TFcHotTrackColorType Value);
  bool LightTextStyle() const { return FLightTextStyle; }
  virtual void SetLightTextStyle(bool Value);
  TTextStyle TextStyle() const { return FTextStyle; }
  virtual void SetTextStyle(TTextStyle Value);
  TColor TextHighlightColor() const { return FTextHighlightColor; }
  virtual void SetTextHighlightColor(TColor Value);
  TColor TextShadowColor() const { return FTextShadowColor; }
  virtual void SetTextShadowColor(TColor Value);
  int TextShadowDepth() const { return FTextShadowDepth; }
  virtual void SetTextShadowDepth(int Value);
  bool ThemeAware() const { return FThemeAware; }
  virtual void SetThemeAware(bool Value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);

  bool MouseOver() const { return FMouseOver; }
  // Drawn pressed: held by the mouse or the space key.
  bool PressedDisplay() const { return FPressed; }
  virtual bool UseThemes();

protected:
  virtual void PaintTransparentBackground(HDC /*DC*/) {}
  virtual void RedrawButton() {}
  virtual void FocusChanged();
  virtual void GetHotTrackRect(TRect& Rect);
  // Draws the caption in Rect with DrawText Flags in the text style.
  virtual void DrawCaption(TCanvas* Canvas, TRect Rect, UINT Flags);
  virtual void ButtonPressed() = 0;

  void SetPressedDisplay(bool Value) { FPressed = Value; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

private:
  void InvalidateHotTrackRect();
  bool FTransparent = false;
  TAlignmentVertical FAlignmentVertical = avCenter;
  bool FHotTrack = false;
  TColor FHighlightColor = clHighlight;
  TColor FHotTrackColor = static_cast<TColor>(0x149BF0);
  TFcHotTrackColorType FHotTrackColorType = htctActual;
  bool FLightTextStyle = false;
  TTextStyle FTextStyle = tsNormal;
  int FTextShadowDepth = 2;
  TColor FTextShadowColor = clBtnShadow;
  TColor FTextHighlightColor = clBtnHighlight;
  bool FThemeAware = true;
  bool FDragging = false;
  bool FMouseOver = false;
  bool FPressed = false;
};

// A push button with Default, Cancel, ModalResult and radio groups.
class TFcButton : public TFcCustomButton {
public:
  explicit TFcButton(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  virtual void SetAllowAllUp(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  bool Default() const { return FDefault; }
  virtual void SetDefault(bool Value);
  bool DropDownOnEnter() const { return FDropDownOnEnter; }
  void SetDropDownOnEnter(bool Value) { FDropDownOnEnter = Value; }
  int GroupIndex() const { return FGroupIndex; }
  virtual void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  virtual void SetDown(bool Value);
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor Value);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool ShowDownPattern() const { return FShowDownPattern; }
  virtual void SetShowDownPattern(bool Value);
  bool ShowFocusRect() const { return FShowFocusRect; }
  virtual void SetShowFocusRect(bool Value);
  void SetHotTrack(bool Value) override;
  // The stored "FrameFlat" of older forms.
  void SetFrameFlat(bool Value) { SetHotTrack(Value); }

  // Reacts to Enter: the focused button, or the default one while no
  // button has the focus.
  bool Active() const { return FActive; }
  bool EnterClicking() const { return FEnterClick; }
  void Click() override;

protected:
  virtual void GetTextRect(TRect& Rect);
  virtual void DrawContent();
  virtual void BuildDownPattern(TBitmap* Bitmap);
  // Grouped and down, or held.
  bool PressedLook() const;

  void Paint() override;
  void PaintTransparentBackground(HDC DC) override;
  void RedrawButton() override;
  void ButtonPressed() override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void WMKillFocus(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;

private:
  void PaintFace(TRect& R);
  void NotifyGroup();
  void ButtonPressedMessage(TMessage& Message);
  TAlignment FAlignment = taCenter;
  bool FAllowAllUp = false;
  bool FCancel = false;
  bool FDefault = false;
  bool FDropDownOnEnter = true;
  int FGroupIndex = 0;
  bool FDown = false;
  TColor FFrameColor = cl3DDkShadow;
  TModalResult FModalResult = mrNone;
  bool FShowDownPattern = true;
  bool FShowFocusRect = true;
  bool FActive = false;
  bool FKeyToggle = false;
  bool FClicking = false;
  bool FEnterClick = false;
};

// A push button with a glyph or an image-list image and the standard kinds.
class TFcBitBtn : public TFcButton {
public:
  explicit TFcBitBtn(TComponent* AOwner);
  ~TFcBitBtn() override;

  TBitmap* Glyph() const { return FGlyph.get(); }
  virtual void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  virtual void SetNumGlyphs(TNumGlyphs Value);
  // Reads bkCustom from the moment Default, Cancel, ModalResult or the
  // glyph no longer match the kind.
  virtual TBitBtnKind Kind();
  virtual void SetKind(TBitBtnKind Value);
  TButtonLayout Layout() const { return FLayout; }
  virtual void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  // -1 centres; smaller values are refused.
  virtual void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  virtual void SetSpacing(int Value);
  TCustomImageList* Images() const { return FImages; }
  virtual void SetImages(TCustomImageList* Value);
  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int Value);
  int DisabledIndex() const { return FDisabledIndex; }
  virtual void SetDisabledIndex(int Value);

  // Whether a form resource keeps Cancel and Caption.
  bool IsCancelStored();
  bool IsCaptionStored();
  // Margin and Spacing follow a change of scale.
  void ChangeScale(int M, int D);
  void ActionChange(TBasicAction* Sender, bool CheckDefaults) override;

  virtual void GetGlyphSize(TPoint& Size);
  virtual void GetGlyphRect(TRect& Rect);

protected:
  void GetTextRect(TRect& Rect) override;
  void DrawContent() override;
  virtual void DrawImage(const TRect& Rect);
  virtual void DrawGlyphCell(const TRect& Rect);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TButtonLayout ShownLayout() const;
  bool HasImage() const;
  int CaptionHeight();
  void GlyphChanged();
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
  TBitBtnKind FKind = bkCustom;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = 2;
  int FSpacing = 4;
  TCustomImageList* FImages = nullptr;
  int FImageIndex = -1;
  int FDisabledIndex = -1;
  bool FModifiedGlyph = false;
  std::unique_ptr<TChangeLink> FImageChangeLink;
};
