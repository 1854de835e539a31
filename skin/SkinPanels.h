// Skinned panel (caption strip with check box and roll-up, transparent and
// group-box looks) and the skinned status bar with its size grip.
#pragma once

#include <memory>
#include <vector>

#include <windows.h>

#include "framework/ImgList.h"
#include "skin/SkinCtrls.h"

enum TskImagePosition { skipDefault, skipLeft };
enum class TskSkinBorderStyle { bvFrame, bvRaised, bvLowered, bvNone };

class TskSkinPanel : public TskSkinCustomControl {
public:
  explicit TskSkinPanel(TComponent* AOwner);
  ~TskSkinPanel() override;

  TskImagePosition ImagePosition() const { return FImagePosition; }
  void SetImagePosition(TskImagePosition Value);
  bool TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(bool Value);
  TCustomImageList* CaptionImageList() const { return FCaptionImageList; }
  void SetCaptionImageList(TCustomImageList* Value);
  int CaptionImageIndex() const { return FCaptionImageIndex; }
  void SetCaptionImageIndex(int Value);
  int RealHeight() const { return FRealHeight; }
  void SetRealHeight(int Value) { FRealHeight = Value; }
  bool AutoEnabledControls() const { return FAutoEnabledControls; }
  void SetAutoEnabledControls(bool Value) { FAutoEnabledControls = Value; }
  bool CheckedMode() const { return FCheckedMode; }
  void SetCheckedMode(bool Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TAlignment DefaultAlignment() const { return FDefaultAlignment; }
  void SetDefaultAlignment(TAlignment Value);
  int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
  virtual void SetDefaultCaptionHeight(int Value);
  TskSkinBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TskSkinBorderStyle Value);
  bool CaptionMode() const { return FCaptionMode; }
  virtual void SetCaptionMode(bool Value);
  bool RollUpMode() const { return FRollUpMode; }
  void SetRollUpMode(bool Value);
  bool RollUpState() const { return FRollUpState; }
  void SetRollUpState(bool Value);
  TNotifyEvent OnChecked, OnChangeRollUpState;

  void SetAlphaBlend(bool Value) override;
  void SetAlphaBlendValue(BYTE Value) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void RepaintForAlpha() override;
  // The whole control's rectangle as the children are aligned in it.
  void GetAdjustedClientRect(TRect& Rect);
  // Where a click toggles the check box and the roll-up state.
  TRect CaptionHitRect() const { return FCaptionHitRect; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  // Given the off-screen canvas of the two transparent looks before it is shown.
  virtual void PaintTransparentExtras(TCanvas* /*Canvas*/) {}
  void WndProc(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  bool HasEntry() const { return FEntryIndex >= 0; }
  // Font of the caption: the entry's when UseSkinFont, else DefaultFont.
  void SetCaptionFont(TFont* F) const;
  int CaptionTextHeight();

  // Copied from the entry.
  int FBGPictureIndex = -1;
  RECT FCaptionRect{};
  TAlignment FAlignment = taCenter;
  std::wstring FFontName = L"Arial";
  int FFontHeight = 14;
  TskFontStyles FFontStyle;
  TColor FFontColor = 0;
  RECT FCheckImageRect{}, FUnCheckImageRect{}, FMarkFrameRect{}, FFrameRect{}, FFrameTextRect{};
  int FFrameLeftOffset = 0, FFrameRightOffset = 0;

private:
  void PaintTransparentLook(bool GroupBox);
  void PaintClientTile(HDC DC);
  void PaintBackgroundPicture(HDC DC);
  // The caption of the skin look on a canvas; also sets the caption hit rectangle.
  void PaintSkinCaption(TCanvas* C);
  void DrawCheckImage(TCanvas* C, int X, const TRect& R, int& Width);
  bool HasCaptionImage() const;
  int CaptionImageWidth() const;
  int CaptionImageHeight() const;
  void DrawCaptionImage(TCanvas* C, int X, int Y);
  TColor LineColor() const;
  int RolledHeight();
  void RollSizing();

  TskImagePosition FImagePosition = skipDefault;
  bool FTransparentMode = false;
  TCustomImageList* FCaptionImageList = nullptr;
  int FCaptionImageIndex = -1;
  int FRealHeight = -1;
  bool FAutoEnabledControls = true;
  bool FCheckedMode = false, FChecked = false;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  int FSpacing = 2;
  TAlignment FDefaultAlignment = taLeftJustify;
  int FDefaultCaptionHeight = 22;
  TskSkinBorderStyle FBorderStyle = TskSkinBorderStyle::bvFrame;
  bool FCaptionMode = false, FRollUpMode = false, FRollUpState = false;
  bool FInRollSizing = false;
  int FSavedMaxWidth = 0, FSavedMinWidth = 0, FSavedMaxHeight = 0, FSavedMinHeight = 0;
  TRect FCaptionHitRect;
  // The children the roll-up hid; rolling down shows only these.
  std::vector<TControl*> FRolledHidden;
};

class TskSkinStatusBar : public TskSkinPanel {
public:
  explicit TskSkinStatusBar(TComponent* AOwner);

  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  bool GripVisible() const { return FGripVisible; }
  // The skinned form hides the grip while maximized.
  void SetGripVisible(bool Visible);
  // The grip's rectangle, built on the adjusted client rectangle.
  TRect GripRect();

  void SetSkinData(TskSkinData* Value) override;
  void ReadSkinEntry() override;

protected:
  void AdjustClientRect(TRect& Rect) override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  void WndProc(TMessage& Message) override;

private:
  bool GripShown() const { return FSizeGrip && FGripVisible; }
  void DrawGripLines(TCanvas* C, const TRect& R, TColor Shadow, TColor Highlight);
  bool FSizeGrip = false, FGripVisible = true;
  RECT FGripperRect{};
  bool FGripperTransparent = false;
  TColor FGripperTransparentColor = 0;
};
