// Windowed skinned controls: the control base with its skin geometry, the
// push button, the gauge and track bar, the scroll bar and the list view with
// external bars and a skinned column header; the skin hooks of the labels,
// graphic button, splitter, control bar and bevel.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <windows.h>

#include "framework/ComCtrls.h"
#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/StdCtrls.h"
#include "skin/SkinData.h"

// The default looks' palette.
constexpr TColor skDefaultFrameColor = 0x800000;
constexpr TColor skDefaultHotColor = 0xD2BDB6;
constexpr TColor skDefaultDownColor = 0xB59385;

// A rectangle that lies wholly inside a picture and is not empty.
bool SkinRectInPicture(const RECT& r, const TskPicture* picture);
// Fills R with a tile: with Stretch, type stFull stretches it over R, stHorz
// stretches it to R's height and repeats it across, stVert to R's width and
// repeats it down; without Stretch the tile repeats from R's top-left.
void FillWithTile(HDC DC, const TRect& R, const TskPicture& Tile, bool Stretch,
                  TskStretchType Type);
// A copy of the part R of a picture (empty when R does not lie inside it).
TskPicture CutPart(const TskPicture& Pic, const RECT& R);

// ---------------------------------------------------------------------------
// Control base

class TskSkinControl : public TCustomControl {
public:
  explicit TskSkinControl(TComponent* AOwner);
  ~TskSkinControl() override;

  TskSkinData* SkinData() const { return FSkinData; }
  virtual void SetSkinData(TskSkinData* Value);
  const std::wstring& SkinDataName() const { return FSkinDataName; }
  virtual void SetSkinDataName(const std::wstring& Value);
  const std::wstring& AreaName() const { return FAreaName; }
  void SetAreaName(const std::wstring& Value) { FAreaName = Value; }
  bool DrawDefault() const { return FDrawDefault; }
  void SetDrawDefault(bool Value);
  bool AlphaBlend() const { return FAlphaBlend; }
  virtual void SetAlphaBlend(bool Value);
  BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
  virtual void SetAlphaBlendValue(BYTE Value);
  bool UseSkinCursor() const { return FUseSkinCursor; }
  void SetUseSkinCursor(bool Value) { FUseSkinCursor = Value; }
  const std::wstring& HintTitle() const { return FHintTitle; }
  void SetHintTitle(const std::wstring& Value) { FHintTitle = Value; }
  int HintImageIndex() const { return FHintImageIndex; }
  void SetHintImageIndex(int Value) { FHintImageIndex = Value; }
  TCustomImageList* HintImageList() const { return FHintImageList; }
  void SetHintImageList(TCustomImageList* Value);

  int EntryIndex() const { return FEntryIndex; }
  int CursorIndex() const { return FCursorIndex; }
  HRGN RegionHandle() const { return FRegionHandle; }

  // Skin changes: the skinned form drops the entry before a load and applies
  // the skin after it.
  virtual void ApplyControlSkin();
  virtual void DropSkinEntry();
  virtual void RepaintForAlpha();
  void BroadcastAlphaRepaint();
  // Looks the entry up again.
  virtual void ReadSkinEntry();

protected:
  virtual void PaintDefaultImage(TBitmap* /*Bitmap*/) {}
  virtual void PaintSkinImage(TBitmap* /*Bitmap*/) {}
  void Paint() override;
  // Draws an off-screen image at (0, 0), blended over the background when
  // AlphaBlend is on.
  void DrawControlImage(TBitmap* Image);
  void WndProc(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Paints the whole control into the erase DC (for controls that want it).
  void EraseWithImage(TMessage& Message);
  // The skin data, set, loaded and with effects enabled.
  bool SkinEffectsOn() const;
  // Selects the character set of the skin's resource strings, else Def's.
  void ApplyCharset(TFont* F, TFont* Def) const;

  TskSkinData* FSkinData = nullptr;
  std::wstring FSkinDataName, FAreaName;
  bool FDrawDefault = true;
  bool FAlphaBlend = false;
  BYTE FAlphaBlendValue = 200;
  bool FUseSkinCursor = false;
  std::wstring FHintTitle;
  int FHintImageIndex = 0;
  TCustomImageList* FHintImageList = nullptr;
  int FEntryIndex = -1;
  int FCursorIndex = -1;
  HRGN FRegionHandle = nullptr;
  bool FInPaint = false;
  bool FEraseWithImage = false;
};

class TskSkinCustomControl : public TskSkinControl {
public:
  explicit TskSkinCustomControl(TComponent* AOwner);
  ~TskSkinCustomControl() override;

  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value);
  int DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int Value);
  int DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);

  int ResizeMode() const { return FResizeMode; }
  const TskPicture* Picture() const { return FPicture; }
  const TskPicture* MaskPicture() const { return FMaskPicture; }
  RECT SkinRect() const { return FSkinRect; }
  RECT SkinClientRect() const { return FSkinClientRect; }
  RECT NewClientRect() const { return FNewClientRect; }
  POINT NewRightBottomPoint() const { return FNewRBPoint; }

  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  virtual void FitSizeToSkin(int& AWidth, int& AHeight);
  virtual void UpdateControlRegion();
  // A rectangle in skin coordinates moved to the current size.
  RECT MapSkinRect(const RECT& R) const;
  int SkinResizeMode() const;

protected:
  virtual void DefaultFontChanged() {}
  void CreateWnd() override;
  void Paint() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  // The skin look of rectangle R of a picture for the current size.
  void BuildSkinImage(TskPicture& Dest, const TskPicture& Pic, const RECT& R);
  TskSkinImageParams ImageParams(const RECT& R, int W, int H) const;
  // Font of the skin entry (name, height, style) or the default font.
  void SetSkinFont(TFont* F, const std::wstring& Name, int Height, TskFontStyles Style) const;

  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  int FDefaultWidth = 0, FDefaultHeight = 0;
  POINT FLTPoint{}, FRTPoint{}, FLBPoint{}, FRBPoint{};
  POINT FNewLTPoint{}, FNewRTPoint{}, FNewLBPoint{}, FNewRBPoint{};
  RECT FSkinRect{}, FSkinClientRect{}, FNewClientRect{};
  bool FStretchEffect = false;
  bool FLeftStretch = false, FTopStretch = false, FRightStretch = false, FBottomStretch = false;
  TskStretchType FStretchType = stFull;
  const TskPicture* FPicture = nullptr;
  const TskPicture* FMaskPicture = nullptr;
  int FResizeMode = -1;
  bool FPaintFrameOnly = false;
  bool FFillClientArea = true;
};

// ---------------------------------------------------------------------------
// Skin hooks of the labels, graphic button, splitter, control bar and bevel:
// each copies its control's description from the skin after a skin change.

// What every control of the family keeps of its skin.
class TskSkinHookFields {
public:
  TskSkinHookFields();
  virtual ~TskSkinHookFields();
  TskSkinData* SkinData = nullptr;
  std::wstring SkinDataName;
  // The description's position in the skin (-1 = none).
  int SkinIndex = -1;
  std::unique_ptr<TFont> DefaultFont;
  bool UseSkinFont = true;
  // Looks the description up again (-1 without skin data or when it is empty).
  TskDataSkinControl* ReadDescription();
  // The character set of the skin's resource strings, else the default font's.
  BYTE SkinCharset() const;
};

// The font values of a label description.
struct TskSkinFontCopy {
  std::wstring FontName = L"Arial";
  int FontHeight = 14;
  TskFontStyles FontStyle;
  TskColor FontColor = 0;
};

// A label of its own unit: font and both colours.
class TskSkinStdLabel : public TGraphicControl, public TskSkinHookFields {
public:
  explicit TskSkinStdLabel(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TskSkinFontCopy Skin;
  TskColor ActiveFontColor = 0xFF0000;
};
void ApplyStdLabelSkin1(TskSkinStdLabel* Control);

// Labels that fit their size to the caption in the skin's font.
class TskSkinFitLabel : public TGraphicControl, public TskSkinHookFields {
public:
  explicit TskSkinFitLabel(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TskSkinFontCopy Skin;
  // Sizes the label to its caption in the skin font (the default font
  // without a description).
  void FitToCaption();
};
class TskSkinTextLabel : public TskSkinFitLabel {
public:
  using TskSkinFitLabel::TskSkinFitLabel;
};
void ApplyStdLabelSkin2(TskSkinFitLabel* Control);
void ApplyStdLabelSkin3(TskSkinTextLabel* Control);

// A label with a colour for the hot state.
class TskSkinLinkLabel : public TGraphicControl, public TskSkinHookFields {
public:
  explicit TskSkinLinkLabel(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TskSkinFontCopy Skin;
  TskColor ActiveFontColor = 0xFF0000;
};
void ApplyStdLabelSkin4(TskSkinLinkLabel* Control);

// The stretchable picture of a description.
struct TskSkinFrameCopy {
  POINT LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  RECT SkinRect{}, ClientRect{};
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TskStretchType StretchType = stFull;
  const TskPicture* Picture = nullptr;
};

class TskSkinGraphicButton : public TGraphicControl, public TskSkinHookFields {
public:
  explicit TskSkinGraphicButton(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TskSkinFrameCopy Frame;
  TskSkinFontCopy Skin;
  TskColor ActiveFontColor = 0, DownFontColor = 0;
  RECT ActiveSkinRect{}, DownSkinRect{};
  int DefaultHeight = 0;
};
void ApplyGraphicButtonSkin(TskSkinGraphicButton* Control);

class TskSkinSplitter : public TGraphicControl, public TskSkinHookFields {
public:
  explicit TskSkinSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TskSkinFrameCopy Frame;
  RECT GripperRect{};
  bool GripperTransparent = false;
  TskColor GripperTransparentColor = 0;
  // Thickness without a description, or always with DefaultSizeAlways.
  int DefaultSize = 5;
  bool DefaultSizeAlways = false;
};
void ApplySplitterSkin(TskSkinSplitter* Control);

class TskSkinControlBar : public TCustomControl, public TskSkinHookFields {
public:
  explicit TskSkinControlBar(TComponent* AOwner) : TCustomControl(AOwner) {}
  TskSkinFrameCopy Frame;
  RECT ItemRect{};
  int BGPictureIndex = -1;
  bool ItemStretchEffect = false;
  int ItemOffset1 = 3, ItemOffset2 = 3;
  bool ItemTransparent = false;
  TskColor ItemTransparentColor = 0;
  // Makes the window again after a skin change.
  bool RecreateOnSkin = false;
  int Recreations = 0;

protected:
  void CreateWnd() override;
};
void ApplyControlBarSkin(TskSkinControlBar* Control);

class TskSkinBevel : public TGraphicControl, public TskSkinHookFields {
public:
  explicit TskSkinBevel(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TColor LightColor = clBtnHighlight, DarkColor = clBtnShadow;
};
void ApplyBevelSkin(TskSkinBevel* Control);

// ---------------------------------------------------------------------------
// Button

using TskButtonLayout = TButtonLayout;
using TskButtonPaintEvent = std::function<void(TCanvas* Cnvs, const TRect& R, bool ADown,
                                               bool AMouseIn, bool& DrawDefault)>;

// The timers of a skinned button. The morph moves a factor between the
// normal (0) and the hot face (1) in steps of 0.2 every 20 ms. The frame
// animation runs forward from frame 1 up past the last frame, or backward
// from the last frame down to 0, the resting face. The auto-repeat's first
// tick comes after half a second and sets the repeat interval; each later
// tick is a click. The button's tick functions call the steps.
class TskButtonTimers {
public:
  // With BackFromZero the backward animation also steps at frame 0.
  explicit TskButtonTimers(bool BackFromZero) : FBackFromZero(BackFromZero) {}

  TTimer* MorphTimer() const { return FMorphTimer.get(); }
  void StartMorph(std::function<void()> Tick);
  void StopMorph();
  // Moves Factor toward Hot's end, or straight there without CanMorph,
  // stopping the morph at the end; false when nothing is to be repainted.
  bool MorphStep(double& Factor, bool Hot, bool CanMorph);

  TTimer* AnimationTimer() const { return FAnimTimer.get(); }
  int AnimationFrame() const { return FAnimFrame; }
  bool AnimationForward() const { return FAnimForward; }
  void StartAnimation(bool Forward, int FrameCount, int Interval, std::function<void()> Tick);
  void StopAnimation();
  // One frame on; false when the frame stays.
  bool AnimationStep(int FrameCount);
  // The current frame's part of the strip AnimateRect of FrameCount frames
  // (side by side when wider than the button's SkinRect, else stacked).
  RECT AnimationFrameRect(const RECT& AnimateRect, const RECT& SkinRect, int FrameCount) const;

  TTimer* RepeatTimer() const { return FRepeatTimer.get(); }
  void StartRepeat(std::function<void()> Tick);
  void StopRepeat() { FRepeatTimer.reset(); }
  // Whether this tick is a click.
  bool RepeatStep(int Interval);

  // Frees the timers.
  void Reset() {
    FMorphTimer.reset();
    FRepeatTimer.reset();
    FAnimTimer.reset();
  }

private:
  bool FBackFromZero;
  std::unique_ptr<TTimer> FMorphTimer, FRepeatTimer, FAnimTimer;
  bool FRepeatFirst = false;
  int FAnimFrame = 0;
  bool FAnimForward = true;
};

class TskSkinButton : public TskSkinCustomControl {
public:
  explicit TskSkinButton(TComponent* AOwner);
  ~TskSkinButton() override;

  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TskButtonLayout Layout() const { return FLayout; }
  void SetLayout(TskButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value);
  bool UseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value);
  bool RepeatMode() const { return FRepeatMode; }
  void SetRepeatMode(bool Value) { FRepeatMode = Value; }
  int RepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(int Value) { FRepeatInterval = Value; }
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TskButtonPaintEvent OnPaint;

  bool MouseIn() const { return FMouseIn; }
  bool Pressed() const { return FPressed; }
  bool ActiveDefault() const { return FActiveDefault; }
  double MorphFactor() const { return FMorphFactor; }
  bool CanMorph() const;
  // The timers (for inspection): morph 20 ms, repeat, animation.
  TTimer* MorphTimer() const { return FTimers.MorphTimer(); }
  TTimer* RepeatTimer() const { return FTimers.RepeatTimer(); }
  // One tick of the morph timer.
  void MorphTick();
  // One tick of the repeat timer.
  void RepeatTick();
  // One tick of the frame animation; the frame shown (0: none).
  void AnimationTick();
  int AnimationFrame() const { return FTimers.AnimationFrame(); }
  TTimer* AnimationTimer() const { return FTimers.AnimationTimer(); }
  // The text colour used for a state.
  TColor StateFontColor(bool ADown, bool AMouseIn) const;

  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void FitSizeToSkin(int& AWidth, int& AHeight) override;
  virtual void ButtonClick();
  void Click() override;
  void ActionChange(TBasicAction* Sender, bool CheckDefaults) override;

protected:
  virtual void PaintStateImage(TBitmap* Bitmap, const RECT& R, bool ADown, bool AMouseIn);
  void Paint() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap*) override {}
  void WndProc(TMessage& Message) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;

private:
  bool DownRule() const;
  int GlyphNumber(bool ADown, bool AMouseIn) const;
  void ReleaseGroup();
  void StartMorph();
  void StopMorph();
  void UpdateHighlight();
  bool CanAnimate() const;
  void StartAnimation(bool Forward);
  void StopAnimation();
  RECT AnimationFrameRect() const;
  void StartRepeat();
  void StopRepeat();
  void DrawContent(TBitmap* Bitmap, const RECT& TextArea, bool ADown, bool AMouseIn);
  bool StateRect(const RECT& R) const { return SkinRectInPicture(R, FPicture); }

  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  TCustomImageList* FImageList = nullptr;
  int FImageIndex = -1;
  TskButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 1;
  bool FUseSkinSize = true;
  bool FUseSkinFontColor = true;
  bool FRepeatMode = false;
  int FRepeatInterval = 100;
  bool FCanFocused = true;
  bool FDown = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FDefault = false, FCancel = false;
  TModalResult FModalResult = mrNone;

  bool FMouseIn = false, FPressed = false, FActiveDefault = false;
  bool FPressOnDown = false, FClicksDisabled = false;
  RECT FNormalRect{};
  double FMorphFactor = 0;
  TskButtonTimers FTimers{true};

  // Copied from the entry.
  std::wstring FFontName = L"Arial";
  int FFontHeight = 14;
  TskFontStyles FFontStyle;
  TColor FFontColor = 0, FActiveFontColor = 0, FDownFontColor = 0, FDisabledFontColor = 0;
  RECT FActiveSkinRect{}, FDownSkinRect{}, FDisabledSkinRect{}, FFocusedSkinRect{};
  RECT FAnimateSkinRect{};
  bool FMorphing = false;
  TskMorphKind FMorphKind = mkDefault;
  int FFrameCount = 0, FAnimateInterval = 25;
  bool FShowFocus = false;
};

// The base of the gauge and the track bar: a value kept within MinValue..
// MaxValue, and the orientation, whose skin entry (HorizontalName or
// VerticalName) it chooses in the designer.
class TskSkinRangeControl : public TskSkinCustomControl {
public:
  int MinValue() const { return FMinValue; }
  void SetMinValue(int Value);
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int Value);
  int Value() const { return FValue; }
  void SetValue(int Value);
  bool Vertical() const { return FVertical; }
  void SetVertical(bool Value);
  bool EffectiveVertical() const { return FEntryVertical; }

protected:
  TskSkinRangeControl(TComponent* AOwner, const wchar_t* HorizontalName,
                      const wchar_t* VerticalName);
  // After SetValue has changed the value.
  virtual void ValueChanged() {}
  // Where the value lies between the bounds (0..1).
  double Fraction() const;

  int FMinValue = 0, FMaxValue = 100, FValue = 50;
  bool FVertical = false, FEntryVertical = false;

private:
  const wchar_t* FHorizontalName;
  const wchar_t* FVerticalName;
};

// ---------------------------------------------------------------------------
// Gauge and track bar

using TskGaugePaintEvent =
    std::function<void(TCanvas* Cnvs, const TRect& AProgressArea, const TRect& AProgressRect)>;

class TskSkinGauge : public TskSkinRangeControl {
public:
  explicit TskSkinGauge(TComponent* AOwner);
  ~TskSkinGauge() override;

  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value);
  bool ShowProgressText() const { return FShowProgressText; }
  void SetShowProgressText(bool Value);
  const std::wstring& ProgressText() const { return FProgressText; }
  void SetProgressText(const std::wstring& Value);
  bool ShowPercent() const { return FShowPercent; }
  void SetShowPercent(bool Value);
  bool TextAlphaBlend() const { return FTextAlphaBlend; }
  void SetTextAlphaBlend(bool Value);
  BYTE TextAlphaBlendValue() const { return FTextAlphaBlendValue; }
  void SetTextAlphaBlendValue(BYTE Value);
  int ProgressAnimationPause() const { return FProgressAnimationPause; }
  void SetProgressAnimationPause(int Value);
  TskGaugePaintEvent OnGaugePaint;

  // The filled part of an area for the current value.
  TRect ProgressRect(const TRect& Area) const;
  TRect NewProgressArea() const { return FNewProgressArea; }
  void StartProgressAnimation();
  void StopProgressAnimation();

  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void FitSizeToSkin(int& AWidth, int& AHeight) override;

protected:
  void Paint() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;

private:
  void DrawProgressText(TCanvas* C, int W, int H);
  std::wstring ProgressTextValue() const;
  bool FUseSkinSize = true;
  bool FShowProgressText = false, FShowPercent = false;
  std::wstring FProgressText;
  bool FTextAlphaBlend = false;
  BYTE FTextAlphaBlendValue = 200;
  int FProgressAnimationPause = 1000;
  std::unique_ptr<TTimer> FPauseTimer, FFrameTimer;
  int FFrame = 0;
  // Copied from the entry.
  RECT FProgressArea{}, FProgressRectSkin{}, FNewProgressArea{};
  bool FProgressTransparent = false, FProgressStretch = false;
  TColor FProgressTransparentColor = 0;
  int FBeginOffset = 0, FEndOffset = 0;
  std::wstring FFontName = L"Arial";
  int FFontHeight = 14;
  TskFontStyles FFontStyle;
  TColor FFontColor = 0;
  RECT FAnimRect{};
  int FAnimCount = 0, FAnimInterval = 0;
};

class TskSkinTrackBar : public TskSkinRangeControl {
public:
  explicit TskSkinTrackBar(TComponent* AOwner);

  bool MouseSupport() const { return FMouseSupport; }
  void SetMouseSupport(bool Value) { FMouseSupport = Value; }
  bool JumpWhenClick() const { return FJumpWhenClick; }
  void SetJumpWhenClick(bool Value) { FJumpWhenClick = Value; }
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value);
  TNotifyEvent OnChange, OnLastChange, OnStartDragButton;

  bool Dragging() const { return FDragging; }
  // The thumb for an area (also sets the track's start, end and offset).
  TRect ThumbRect(const TRect& Area);
  int ValueFromOffset(int Offset) const;
  TRect LastThumb() const { return FThumb; }
  TRect TrackArea();

  void ReadSkinEntry() override;
  void FitSizeToSkin(int& AWidth, int& AHeight) override;

protected:
  void ValueChanged() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;

private:
  bool FMouseSupport = true, FJumpWhenClick = false, FCanFocused = false;
  bool FDragging = false;
  int FDragStart = 0, FDragStartOffset = 0;
  int FTrackStart = 0, FTrackEnd = 0, FOffset = 0;
  TRect FThumb;
  RECT FActiveSkinRect{}, FTrackArea{}, FButtonRect{}, FActiveButtonRect{};
  bool FButtonTransparent = false;
  TColor FButtonTransparentColor = 0;
};

// ---------------------------------------------------------------------------
// Scroll bar

class TskSkinScrollBar : public TskSkinCustomControl {
public:
  explicit TskSkinScrollBar(TComponent* AOwner);
  ~TskSkinScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  void SetRange(int AMin, int AMax, int APosition, int APageSize);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value);
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value);
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value);
  bool Both() const { return FBoth; }
  void SetBoth(bool Value);
  const std::wstring& BothSkinDataName() const { return FBothSkinDataName; }
  void SetBothSkinDataName(const std::wstring& Value) { FBothSkinDataName = Value; }
  int BothMarkerWidth() const { return FBothMarkerWidth; }
  void SetBothMarkerWidth(int Value);
  TNotifyEvent OnChange, OnLastChange, OnUpButtonClick, OnDownButtonClick, OnPageUp, OnPageDown;

  // Parts: 0 thumb, 1 up button, 2 down button.
  TRect PartRect(int Part) const { return FParts[Part].R; }
  bool PartDown(int Part) const { return FParts[Part].Down; }
  bool PartMouseIn(int Part) const { return FParts[Part].MouseIn; }
  int HoverPart() const { return FHoverPart; }
  int TimerMode() const { return FTimerMode; }
  // The repeat timer's interval while it runs, else 0.
  UINT TimerInterval() const { return FTimerOn ? FTimerInterval : 0; }
  void CalcParts();
  // One tick of the repeat timer.
  void TimerTick();

  void ReadSkinEntry() override;
  void FitSizeToSkin(int& AWidth, int& AHeight) override;

protected:
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  struct TPart {
    TRect R;
    bool MouseIn = false, Down = false;
  };
  int ClampPosition(int V) const;
  int PositionFromOffset(int Offset);
  void UpdateHover(int X, int Y);
  void PartPress(int Part);
  void PartRelease(int Part);
  void StartTimer(UINT Interval);
  void StopTimer();
  void DrawDefaultPart(TCanvas* C, int Part);
  void DrawSkinPart(TBitmap* B, int Part);
  bool Horizontal() const { return FKind == sbHorizontal; }

  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
  int FSmallChange = 1, FLargeChange = 1;
  bool FCanFocused = false, FBoth = false;
  std::wstring FBothSkinDataName = L"bothhscrollbar", FSavedSkinDataName;
  int FBothMarkerWidth = 0;
  TPart FParts[3];
  TRect FTrack;
  int FTrackStart = 0, FTrackEnd = 0, FOffset = 0;
  int FHoverPart = -1, FPressedPart = -1, FTimerMode = 0;
  bool FFirstTick = false, FMouseHeld = false, FDragging = false, FTimerOn = false;
  int FDragStart = 0, FDragStartOffset = 0;
  UINT FTimerInterval = 0;
  POINT FMousePos{};
  TskDataSkinScrollBarControl FSkin{L""};
};

// ---------------------------------------------------------------------------
// List view

using TskDrawHeaderSectionEvent =
    std::function<void(TCanvas* Cnvs, TListColumn* Column, bool Pressed, const TRect& R)>;

class TskSkinCustomListView : public TListView {
public:
  explicit TskSkinCustomListView(TComponent* AOwner);
  ~TskSkinCustomListView() override;

  TskSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  const std::wstring& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::wstring& Value) { FSkinDataName = Value; }
  const std::wstring& HeaderSkinDataName() const { return FHeaderSkinDataName; }
  void SetHeaderSkinDataName(const std::wstring& Value) { FHeaderSkinDataName = Value; }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TskSkinScrollBar* VScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(TskSkinScrollBar* Value);
  TskSkinScrollBar* HScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(TskSkinScrollBar* Value);
  TskDrawHeaderSectionEvent OnDrawHeaderSection;

  void ApplyControlSkin();
  void UpdateScrollBars();
  HWND HeaderHandle() const { return FHeaderSubclass.Window(); }
  int ActiveSection() const { return FActiveSection; }
  bool HeaderPressed() const { return FHeaderPressed; }
  int EntryIndex() const { return FEntryIndex; }
  // Paints the header into a DC.
  void PaintHeader(HDC DC);
  // The rectangle of the section at display position Pos.
  TRect SectionRect(int Pos) const;

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void DestroyWnd() override;

private:
  bool HeaderProc(TMessage& Message);
  void ReadHeaderEntry();
  void PaintHeaderSection(TCanvas* C, int ColumnIndex, const TRect& R, bool Pressed);
  void VScrollBarChange(TObject* Sender);
  void HScrollBarChange(TObject* Sender);
  void UpdateReportScrollBars();
  void UpdateListScrollBars();
  void UpdateIconScrollBars();
  void SetBarVisible(TskSkinScrollBar* Bar, bool Value, bool& Changed);
  int FirstItemHeight() const;
  int FirstItemWidth() const;

  TskSkinData* FSkinData = nullptr;
  std::wstring FSkinDataName = L"listview", FHeaderSkinDataName = L"resizebutton";
  std::unique_ptr<TFont> FDefaultFont;
  TColor FDefaultColor = clWindow;
  bool FUseSkinFont = true;
  TskSkinScrollBar* FVScrollBar = nullptr;
  TskSkinScrollBar* FHScrollBar = nullptr;
  int FEntryIndex = -1;
  TskDataSkinButtonControl* FHeaderEntry = nullptr;
  const TskPicture* FHeaderPicture = nullptr;
  TWindowSubclass FHeaderSubclass;
  int FActiveSection = -1;
  bool FHeaderPressed = false;
  int FVPos = 0, FHPos = 0;
  bool FBarScrolling = false, FUpdatingBars = false;
};

class TskSkinListView : public TskSkinCustomListView {
public:
  using TskSkinCustomListView::TskSkinCustomListView;
};
