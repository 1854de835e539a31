#include "controls/PicSlider.h"

#include <algorithm>
#include <cmath>

namespace picslider {

namespace {

long long RoundEven(double v) {
  return std::llrint(v);
} // default mode: ties to even

} // namespace

int ValueToOffset(const TTrack& T, const TRange& R, int Value) {
  long long span = static_cast<long long>(R.Max) - R.Min;
  int x = 0;
  if (span > 0 && T.Slide > 0)
    x = static_cast<int>(RoundEven(double(T.Slide) * (double(Value) - R.Min) / double(span)));
  int o = T.Vertical ? T.RectBottom - 6 - x - T.ThumbHeight : T.Base + x;
  return std::max(o, T.Base);
}

int OffsetToValue(const TTrack& T, const TRange& R, int Offset) {
  int o = Offset;
  if (T.Vertical) o = T.ClientHeight - o - T.ThumbHeight;
  int c = o - T.RectLeft - 6;
  long long span = static_cast<long long>(R.Max) - R.Min;
  if (T.Slide <= 0 || span <= 0) return R.Min;
  double x = double(c) * double(span) / double(T.Slide);
  long long v;
  if (R.Smooth || R.Increment <= 0)
    v = RoundEven(x);
  else
    v = static_cast<long long>(R.Increment) * RoundEven(double(RoundEven(x)) / double(R.Increment));
  v = std::max<long long>(v, 0);
  return static_cast<int>(std::min<long long>(v + R.Min, R.Max));
}

int SnapOffset(const TTrack& T, const TRange& R, int Offset) {
  int slide = std::max(T.Slide, 0);
  int o = std::clamp(Offset, T.Base, T.Base + slide);
  o = ValueToOffset(T, R, OffsetToValue(T, R, o));
  return std::min(o, T.Base + slide);
}

int StepTarget(const TRange& R, int Value, int Kind) {
  long long target = Value;
  int inc = R.Increment > 0 ? R.Increment : 1;
  switch (Kind) {
  case skMin:
    target = R.Min;
    break;
  case skMax:
    target = R.Max;
    break;
  case skUp:
    target = inc + static_cast<long long>(inc) * RoundEven(double(Value) / inc);
    break;
  case skDown:
    target = static_cast<long long>(inc) * RoundEven(double(Value) / inc) - inc;
    break;
  default:
    return Value;
  }
  if (target >= R.Max) return R.Max;
  return static_cast<int>(std::max<long long>(target, R.Min));
}

TPoints RulerPoints(const TRange& R, int Slide) {
  TPoints p;
  long long span = static_cast<long long>(R.Max) - R.Min;
  int inc = R.Increment > 0 ? R.Increment : 1;
  int k = 0;
  long long steps = 0, count = 1;
  for (;;) {
    ++k;
    steps = RoundEven(double(span) / (double(inc) * k));
    count = steps + 1;
    long long spacing = count > 1 ? Slide / steps : Slide;
    if (spacing >= 4 || spacing >= Slide) break;
  }
  p.K = k;
  long long v = R.Min;
  for (long long i = 1; i <= count; ++i) {
    p.Values.push_back(i == count ? R.Max : static_cast<int>(v));
    v += static_cast<long long>(inc) * k;
  }
  return p;
}

std::vector<TPiece> ComposeRuler(int W, int Edge, int Length) {
  std::vector<TPiece> out;
  if (Length <= 0 || W <= 0) return out;
  Edge = std::clamp(Edge, 0, W / 2);
  int tile = W - 2 * Edge;
  if (tile <= 0) {
    // No middle to repeat: the two edges meet, the left one first.
    out.push_back({0, 0, std::min(Edge, Length)});
    if (Length > Edge)
      out.push_back(
          {W - Edge, Length - std::min(Edge, Length - Edge), std::min(Edge, Length - Edge)});
    return out;
  }
  int middle = Length - 2 * Edge;
  int pieces = middle < 0 ? 1 : middle / tile + 1, rest = middle < 0 ? 0 : middle % tile;
  out.push_back({0, 0, std::min(W - Edge, Length)});
  for (int i = 1; i < pieces - 1; ++i)
    out.push_back({Edge, Edge + i * tile, tile});
  if (pieces - 1 >= 1) {
    int i = pieces - 1;
    out.push_back({Edge + tile - rest, Edge + i * tile, Edge + rest});
  }
  return out;
}

} // namespace picslider
