// Image slider drawn from a thumb and a ruler picture, and the arithmetic of
// its value and position.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Graphics.h"

namespace picslider {

// The geometry that the conversions need. Base is the thumb's offset at the
// minimum (the slider rectangle's leading edge + 6); Slide is the distance the
// thumb can travel (ruler length - thumb length, never below 0).
struct TTrack {
  bool Vertical = false;
  int Base = 6;
  int Slide = 0;
  int RectLeft = 0;     // slider rectangle's left edge
  int RectBottom = 0;   // slider rectangle's bottom edge (vertical only)
  int ClientHeight = 0; // (vertical only)
  int ThumbLength = 0;  // thumb size along the slider
  int ThumbHeight = 0;  // thumb height (vertical only)
};

struct TRange {
  int Min = 0;
  int Max = 100;
  int Increment = 10;
  bool Smooth = true;
};

// The thumb's offset (left edge, or top edge when vertical) for a value.
int ValueToOffset(const TTrack& T, const TRange& R, int Value);
// The value for a thumb offset.
int OffsetToValue(const TTrack& T, const TRange& R, int Offset);
// The offset clamped to the track and snapped to the nearest value.
int SnapOffset(const TTrack& T, const TRange& R, int Offset);

enum TStepKind { skMin = 1, skMax = 2, skUp = 3, skDown = 4 };
// The value one step of the given kind leads to.
int StepTarget(const TRange& R, int Value, int Kind);

// Ruler points: the values that get a tick, with k the step multiplier chosen.
struct TPoints {
  int K = 1;
  std::vector<int> Values;
};
TPoints RulerPoints(const TRange& R, int Slide);

// The pieces that build a ruler of Length pixels from an image W pixels long
// with fixed edges of Edge pixels: each copies [Src, Src + Len) to Dest.
struct TPiece {
  int Src = 0, Dest = 0, Len = 0;
};
std::vector<TPiece> ComposeRuler(int W, int Edge, int Length);

} // namespace picslider

// ---------------------------------------------------------------------------
// Transparent bitmap drawing

// Stretches SrcDC's area onto DestDC leaving TransparentColor (an RGB value)
// out. Palette may be null.
void MaskedStretchBlt(HDC DestDC, int X, int Y, int W, int H, HDC SrcDC, int SrcX, int SrcY,
                      int SrcW, int SrcH, COLORREF TransparentColor, HPALETTE Palette);
// W/H below 1 take the bitmap's size, SrcW/SrcH below 1 the whole bitmap.
// clNone copies; clDefault takes the bitmap's bottom-left pixel.
void StretchBitmapMasked(TCanvas* Canvas, TBitmap* Bitmap, TColor TransparentColor, int X, int Y,
                         int W, int H, int SrcX, int SrcY, int SrcW, int SrcH);
void StretchBitmapRectMasked(TCanvas* Canvas, int X, int Y, const TRect& Rect, TBitmap* Bitmap,
                             TColor TransparentColor);
void DrawBitmapMasked(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor TransparentColor);

// ---------------------------------------------------------------------------
// The slider

enum TSliderOrientation : uint8_t { soHorizontal, soVertical };
// Options, one bit each.
using TSliderOptions = uint8_t;
constexpr TSliderOptions soShowFocus = 1, soShowPoints = 2, soSmooth = 4, soRulerOpaque = 8,
                         soThumbOpaque = 16;
using TNumThumbStates = uint8_t; // 1..2

// Cursor numbers of the slider's hand and drag-hand cursors.
constexpr int crPicHand = 14000, crPicDrag = 14001;
// The slider's cursors, loaded from the program's resources.
HCURSOR PicSliderCursor(int Number);

class TPicCustomSlider : public TCustomControl {
public:
  enum TImageIndex { iiHThumb, iiHRuler, iiVThumb, iiVRuler };

  explicit TPicCustomSlider(TComponent* AOwner);
  ~TPicCustomSlider() override;

  int Value() const { return FValue; }
  virtual void SetValue(int V);
  int MinValue() const { return FMinValue; }
  void SetMinValue(int V);
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int V);
  void SetMinMax(int AMin, int AMax);
  int Increment() const { return FIncrement; }
  void SetIncrement(int V);
  TSliderOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TSliderOrientation V);
  TSliderOptions Options() const { return FOptions; }
  void SetOptions(TSliderOptions V);
  TBevelCut BevelStyle() const { return FBevelStyle; }
  void SetBevelStyle(TBevelCut V);
  int EdgeSize() const { return FEdgeSize; }
  void SetEdgeSize(int V);
  TNumThumbStates NumThumbStates() const { return FNumThumbStates; }
  void SetNumThumbStates(TNumThumbStates V);

  TBitmap* Image(int Index) const { return FImages[Index].get(); }
  // A bitmap is copied in (user image); null reloads the built-in picture.
  void SetImage(int Index, TBitmap* Bitmap);
  TBitmap* ImageHThumb() const { return Image(iiHThumb); }
  TBitmap* ImageHRuler() const { return Image(iiHRuler); }
  TBitmap* ImageVThumb() const { return Image(iiVThumb); }
  TBitmap* ImageVRuler() const { return Image(iiVRuler); }
  void SetImageHThumb(TBitmap* B) { SetImage(iiHThumb, B); }
  void SetImageHRuler(TBitmap* B) { SetImage(iiHRuler, B); }
  void SetImageVThumb(TBitmap* B) { SetImage(iiVThumb, B); }
  void SetImageVRuler(TBitmap* B) { SetImage(iiVRuler, B); }
  // Bit n set when image n came from the user.
  uint32_t UserImages() const { return FUserImages; }

  // Geometry, for tests and for owners that draw their own points.
  TRect ThumbRect() const { return FThumbRect; }
  TRect PointsRect() const { return FPointsRect; }
  TPoint RulerOrigin() const { return FRulerOrigin; }
  TBitmap* Ruler() const { return FRuler.get(); }
  bool Dragging() const { return FDragging; }
  bool Tracking() const { return FTracking; }

  virtual bool AcceptsInput() { return true; }
  virtual TRect GetSliderRect();
  virtual int GetPaintValue() { return FValue; }
  virtual void LayoutElements();
  virtual void RangeChanged() {}
  // Draws the default points on the canvas (for OnDrawPoints handlers).
  virtual void DrawRulerPoints(int AIncrement, int SmallLength, int BigLength);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanged;
  TNotifyEvent OnDrawPoints;

protected:
  virtual void ThumbMouseDown(TMouseButton Button, int X, int Y);
  virtual void ThumbMouseMove(int X, int Y);
  virtual void ThumbMouseUp(TMouseButton Button);
  virtual void Change();
  virtual void Changed();
  // The cursor shown over the thumb.
  virtual HCURSOR ThumbCursor();

  void Paint() override;
  void Loaded() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;

private:
  picslider::TTrack Track();
  picslider::TRange Range() const;
  void ComposeRulerImage();
  void MoveThumbTo(int Offset);
  void InvalidateThumb();
  void Step(int Kind);
  void TrackStep();
  int DirectionOf(const TPoint& P) const;
  void StopTracking();
  void ImageChanged(int Index);
  void LoadBuiltIn(int Index);
  bool Reading() const { return ComponentState() & (csReading | csLoading); }

  uint32_t FUserImages = 0;
  std::unique_ptr<TBitmap> FImages[4];
  int FEdgeSize = 2;
  std::unique_ptr<TBitmap> FRuler;
  bool FPaintBuffered = false;
  TPoint FRulerOrigin;
  TRect FThumbRect;
  bool FThumbPressed = false;
  TNumThumbStates FNumThumbStates = 2;
  TRect FPointsRect;
  TSliderOrientation FOrientation = soHorizontal;
  TSliderOptions FOptions = soShowFocus | soShowPoints | soSmooth;
  TBevelCut FBevelStyle = bvNone;
  int FBevelWidth = 1;
  int FMinValue = 0, FMaxValue = 100, FIncrement = 10, FValue = 0;
  int FGrabOffset = 0;
  bool FFocused = false, FDragging = false, FTracking = false, FTimerRunning = false;
  TPoint FTrackPoint;
  uint8_t FTrackDirection = 0;
  bool FCreating = true;
};

class TPicSlider : public TPicCustomSlider {
public:
  explicit TPicSlider(TComponent* AOwner) : TPicCustomSlider(AOwner) {}
};
