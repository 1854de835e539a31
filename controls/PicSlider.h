// Image slider drawn from a thumb and a ruler picture, and the arithmetic of
// its value and position.
#pragma once

#include <vector>

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
