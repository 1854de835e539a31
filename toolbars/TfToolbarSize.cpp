// Interactive resize of a floating toolbar: only the sizes at which its items
// wrap into a different number of lines are offered.
#include <algorithm>

#include "toolbars/TfToolbar.h"

void TTfCustomToolbar::CollectWrapSizes(std::vector<TPoint>& List) {
  TRect m;
  View()->EdgeMargins(voFloating, m);
  int least = m.Left + m.Right;
  int savedWidth = FFloatingWidth, savedLines = FLineCount;
  FFloatingWidth = 0;
  TPoint size;
  MeasureForPlacement(false, nullptr, true, size);
  List.push_back(size);
  int lastLines = FLineCount;
  // A wrapped view is at least as wide as its wrap width and then gains its
  // right margin: the width it takes for a trial is the measured width less
  // that margin.
  int trial = size.X - 1;
  while (trial >= least && trial > 0) {
    FFloatingWidth = trial;
    MeasureForPlacement(false, nullptr, true, size);
    int taken = size.X - m.Right;
    if (taken > trial) break;
    if (taken < trial) {
      trial = taken;
      continue;
    }
    // Each line count keeps its narrowest width.
    if (FLineCount == lastLines && List.size() > 1)
      List.back() = size;
    else if (FLineCount != lastLines)
      List.push_back(size);
    lastLines = FLineCount;
    trial = trial - 1;
  }
  FFloatingWidth = savedWidth;
  FLineCount = savedLines;
}

void TTfCustomToolbar::ResizeStarting(int Edge) {
  TTfFloatingWindowParent* f = FloatingWindow();
  if (!f) return;
  FSizeData = std::make_unique<TToolbarSizeData>();
  TToolbarSizeData& d = *FSizeData;
  d.Edge = Edge;
  d.StartWidth = f->Width();
  d.StartHeight = f->Height();
  POINT o{0, 0};
  ::ClientToScreen(Handle(), &o);
  d.LeftFrame = o.x - f->Left();
  d.WrapWidth = FFloatingWidth;
  CollectWrapSizes(d.Sizes);
  for (auto& s : d.Sizes)
    s = FloatingWindowSizeFor(s.X, s.Y);
  bool byHeight = Edge == 2 || Edge == 5;
  std::stable_sort(d.Sizes.begin(), d.Sizes.end(), [byHeight](const TPoint& a, const TPoint& b) {
    return byHeight ? a.Y > b.Y : a.X > b.X;
  });
  auto ext = [byHeight](const TPoint& p) { return byHeight ? p.Y : p.X; };
  for (size_t i = 0; i < d.Sizes.size(); ++i)
    if (d.Sizes[i].X == d.StartWidth && d.Sizes[i].Y == d.StartHeight) {
      if (i > 0) d.DistLarger = std::min<int>(12, ext(d.Sizes[i - 1]) - ext(d.Sizes[i]));
      if (i + 1 < d.Sizes.size())
        d.DistSmaller = std::min<int>(12, ext(d.Sizes[i]) - ext(d.Sizes[i + 1]));
      break;
    }
}

void TTfCustomToolbar::ResizeTracking(TRect& NewRect, const TRect& OrigRect) {
  if (!FSizeData || FSizeData->Sizes.empty()) return;
  TToolbarSizeData& d = *FSizeData;
  bool byHeight = d.Edge == 2 || d.Edge == 5;
  auto ext = [byHeight](const TPoint& p) { return byHeight ? p.Y : p.X; };
  int start = byHeight ? d.StartHeight : d.StartWidth;
  int proposed = byHeight ? NewRect.Height() : NewRect.Width();
  bool smaller = proposed < start;
  if (!(d.SkipDeadZone && smaller == d.Smaller)) {
    d.Smaller = smaller;
    d.SkipDeadZone = false;
    if (proposed > start - d.DistSmaller && proposed < start + d.DistLarger) proposed = start;
  }
  NewRect = OrigRect;
  int n = static_cast<int>(d.Sizes.size()), pick = 0;
  if (!smaller) {
    for (int i = n - 1; i >= 0; --i)
      if (i == 0 || ext(d.Sizes[i]) >= proposed) {
        pick = i;
        break;
      }
  } else {
    for (int i = 0; i < n; ++i)
      if (i == n - 1 || ext(d.Sizes[i]) <= proposed) {
        pick = i;
        break;
      }
  }
  const TPoint& s = d.Sizes[pick];
  if (d.Edge == 1 || d.Edge == 5 || d.Edge == 7) {
    NewRect.Right = NewRect.Left + s.X;
    NewRect.Bottom = NewRect.Top + s.Y;
  } else {
    NewRect.Left = NewRect.Right - s.X;
    NewRect.Top = NewRect.Bottom - s.Y;
  }
  // The widest entry is the one-line size.
  bool oneLine = byHeight ? pick == n - 1 : pick == 0;
  TRect m;
  View()->EdgeMargins(voFloating, m);
  d.WrapWidth = oneLine ? 0 : s.X - 2 * d.LeftFrame - m.Right;
  if (!(NewRect == OrigRect)) d.SkipDeadZone = true;
}

void TTfCustomToolbar::ResizeApplying() {
  if (FSizeData) SetFloatingWidth(FSizeData->WrapWidth);
}

void TTfCustomToolbar::ResizeEnded() {
  FSizeData.reset();
}
