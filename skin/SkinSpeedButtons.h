// Windowless skinned controls drawn on their parent: the custom base with its
// skin geometry, the tool button with hot and down faces, morphing, frame
// animation, radio groups and auto-repeat, and the tool button that opens a
// skinned popup menu or an image-grid menu from its track strip.
#pragma once

#include <memory>
#include <string>

#include <windows.h>

#include "framework/ExtCtrls.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinData.h"
#include "skin/SkinnedForm.h"

class TskSkinImagesMenu;
class TskSkinPopupMenu;

// ---------------------------------------------------------------------------
// Custom base

class TskGraphicSkinCustomControl : public TskGraphicSkinControl {
public:
  explicit TskGraphicSkinCustomControl(TComponent* AOwner);
  ~TskGraphicSkinCustomControl() override;

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
  RECT SkinRect() const { return FSkinRect; }
  RECT SkinClientRect() const { return FSkinClientRect; }
  RECT NewClientRect() const { return FNewClientRect; }

  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  virtual void FitSizeToSkin(int& AWidth, int& AHeight);

protected:
  virtual void DefaultFontChanged() {}
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  // The skin look of rectangle R of a picture for the current size.
  void BuildSkinImage(TskPicture& Dest, const TskPicture& Pic, const RECT& R);
  TskSkinImageParams ImageParams(const RECT& R, int W, int H) const;
  // The entry's font (name, height, style) with UseSkinFont, else the default font's.
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
  int FResizeMode = -1;
};

// ---------------------------------------------------------------------------
// Speed button

class TskSkinSpeedButton : public TskGraphicSkinCustomControl {
public:
  explicit TskSkinSpeedButton(TComponent* AOwner);
  ~TskSkinSpeedButton() override;

  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value);
  bool UseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value);
  int WidthWithCaption = 0, WidthWithoutCaption = 0;
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  bool RepeatMode = false;
  int RepeatInterval = 100;
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool AllowAllUp = false;
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int GroupIndex = 0;
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int Margin() const { return FMargin; }
  // Values below -1 are refused.
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TskButtonLayout Layout() const { return FLayout; }
  void SetLayout(TskButtonLayout Value);
  TskSkinImagesMenu* SkinImagesMenu() const { return FSkinImagesMenu; }
  // Registers the button's repaint with the menu (and takes it back from
  // the menu before).
  void SetSkinImagesMenu(TskSkinImagesMenu* Value);
  bool UseImagesMenuImage = false;
  bool UseImagesMenuCaption = false;

  bool MouseIn() const { return FMouseIn; }
  bool MousePressed() const { return FMousePressed; }
  // Down with a group, or down under the mouse.
  bool ShownDown() const { return FDown && (GroupIndex != 0 || FMouseIn); }
  bool CanMorph() const;
  double MorphFactor() const { return FMorphKf; }
  TTimer* MorphTimer() const { return FTimers.MorphTimer(); }
  TTimer* RepeatTimer() const { return FTimers.RepeatTimer(); }
  TTimer* AnimationTimer() const { return FTimers.AnimationTimer(); }
  int AnimationFrame() const { return FTimers.AnimationFrame(); }
  // One tick of each timer (for the timer messages and the tests).
  void MorphTick();
  void RepeatTick();
  void AnimationTick();
  // Cell of the glyph strip (from 1) for a pressed and a hot flag.
  int GlyphCell(bool Pressed, bool Hot) const;

  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void FitSizeToSkin(int& AWidth, int& AHeight) override;
  virtual void DrawFace(TBitmap* Bitmap, const RECT& R, bool ADown, bool AHot);
  virtual void ButtonClick();
  void ActionChange(TBasicAction* Sender, bool CheckDefaults) override;

protected:
  void Paint() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  virtual void MouseEnterButton();
  virtual void MouseLeaveButton();
  // Caption and image (or glyph cell) laid out in R.
  void DrawContent(TCanvas* C, const RECT& R, bool Pressed, bool CellDown, bool CellHot);
  // The face font's colour for the flags of a face.
  TColor FaceFontColor(bool ADown, bool AHot) const;
  // Text colour of a flat idle button drawn straight on the canvas.
  void FlatContent(const RECT& R);
  void StartMorph();
  void StopMorph();
  // Redraws a state change: through the morph when it runs, else at once.
  void RedrawState();
  bool CanAnimate() const;
  void StartAnimation(bool Forward);
  void StopAnimation();
  void StartRepeat();
  void StopRepeat();
  void SkinImagesMenuChanged();

  // Copied from the entry.
  std::wstring FFontName = L"Arial";
  int FFontHeight = 14;
  TskFontStyles FFontStyle;
  TColor FFontColor = 0, FActiveFontColor = 0, FDownFontColor = 0, FDisabledFontColor = 0;
  bool FMorphing = false;
  TskMorphKind FMorphKind = mkDefault;
  RECT FNormalRect{}, FActiveSkinRect{}, FDownSkinRect{}, FDisabledSkinRect{}, FAnimateSkinRect{};
  int FFrameCount = 0, FAnimateInterval = 25;
  RECT FMenuMarkerRect{}, FMenuMarkerActiveRect{}, FMenuMarkerDownRect{}, FMenuMarkerFlatRect{};
  TColor FMenuMarkerTransparentColor = 0;

  bool FMouseIn = false, FMousePressed = false, FPressOnDown = false;
  bool FDown = false;
  bool FFlat = false;

private:
  RECT AnimationFrameRect() const;

  TCustomImageList* FImageList = nullptr;
  int FImageIndex = 0;
  bool FUseSkinSize = true, FUseSkinFontColor = true, FShowCaption = true;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1, FMargin = -1, FSpacing = 1;
  TskButtonLayout FLayout = blGlyphLeft;
  TskSkinImagesMenu* FSkinImagesMenu = nullptr;
  double FMorphKf = 0;
  TskButtonTimers FTimers{false};
};

// ---------------------------------------------------------------------------
// Menu speed button

enum TskTrackPosition { sktpRight, sktpBottom };

class TskSkinMenuSpeedButton : public TskSkinSpeedButton {
public:
  explicit TskSkinMenuSpeedButton(TComponent* AOwner);
  ~TskSkinMenuSpeedButton() override;

  TskSkinPopupMenu* SkinPopupMenu() const { return FSkinPopupMenu; }
  void SetSkinPopupMenu(TskSkinPopupMenu* Value);
  bool TrackButtonMode() const { return FTrackButtonMode; }
  void SetTrackButtonMode(bool Value);
  TskTrackPosition TrackPosition() const { return FTrackPosition; }
  void SetTrackPosition(TskTrackPosition Value);
  bool NewStyle() const { return FNewStyle; }
  void SetNewStyle(bool Value);
  TNotifyEvent OnShowTrackMenu, OnHideTrackMenu;
  // The tool-button and resize faces draw an arrow instead of the menu
  // marker (1 left, 2 right, 3 up, 4 down).
  bool ArrowMarker = false;
  int ArrowMarkerDirection = 0;

  bool TrackPressed() const { return FTrackPressed; }
  // The part of the button whose press opens the menu (empty for none).
  RECT MenuArea() const;
  // The 15-pixel strip at the right or bottom edge.
  RECT TrackStrip() const;

  void ReadSkinEntry() override;
  void DrawFace(TBitmap* Bitmap, const RECT& R, bool ADown, bool AHot) override;

protected:
  void Paint() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  friend struct TskMenuButtonCloseHook;
  bool StripAtBottom() const { return FNewStyle && FTrackPosition == sktpBottom; }
  bool StandardFace() const;
  void OpenMenus();
  void ImagesMenuClosed();
  void DrawToolFace(TBitmap* Bitmap, bool Resize, bool ADown, bool AHot);
  void DrawNewStyleFace(TBitmap* Bitmap, bool ADown, bool AHot);
  // The caption colour of a face drawn down (Pressed) or hot.
  TColor CaptionColor(bool Pressed, bool AHot) const;
  // Composes state rectangle Src of the entry to W x H: stretched (tool
  // button) or by the corner points (resize face).
  void ComposeOwnFace(TskPicture& Dest, const RECT& Src, int W, int H, bool Resize) const;
  // The marker in R: an arrow, the marker images or the small down arrow.
  void DrawMarker(TCanvas* C, const RECT& R, bool DownMarker, bool HotMarker, TColor Color,
                  TColor ArrowColor);

  TskSkinPopupMenu* FSkinPopupMenu = nullptr;
  bool FTrackButtonMode = false;
  TskTrackPosition FTrackPosition = sktpRight;
  bool FNewStyle = false;
  bool FTrackPressed = false;
  RECT FTrackButtonRect{};
  // The entry's own down rectangle (empty when it has none).
  RECT FEntryDownRect{};
};
