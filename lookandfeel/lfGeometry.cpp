#include "lookandfeel/lfGeometry.h"

void TlfRect::Assign(TPersistent* Source) {
  if (auto* r = dynamic_cast<TlfRect*>(Source)) {
    SetRect(r->FRect);
    return;
  }
  TPersistent::Assign(Source);
}

void TlfRect::SetRect(const TRect& R) {
  if (R == FRect) return;
  FRect = R;
  if (OnChange) OnChange(this);
}

int TlfRect::GetValue(int Index) const {
  switch (Index) {
  case 0:
    return FRect.Left;
  case 1:
    return FRect.Top;
  case 2:
    return FRect.Right;
  default:
    return FRect.Bottom;
  }
}

void TlfRect::SetValue(int Index, int Value) {
  TRect r = FRect;
  switch (Index) {
  case 0:
    r.Left = Value;
    break;
  case 1:
    r.Top = Value;
    break;
  case 2:
    r.Right = Value;
    break;
  default:
    r.Bottom = Value;
    break;
  }
  SetRect(r);
}

int GeometryRectWidth(const TRect& R) {
  return R.Right - R.Left;
}
int GeometryRectHeight(const TRect& R) {
  return R.Bottom - R.Top;
}
TRect RectInflate(const TRect& R, int dx, int dy) {
  return TRect(R.Left - dx, R.Top - dy, R.Right + dx, R.Bottom + dy);
}
TRect RectInflate(const TRect& R, int dl, int dt, int dr, int db) {
  return TRect(R.Left - dl, R.Top - dt, R.Right + dr, R.Bottom + db);
}
bool RectIsEqual(const TRect& R1, const TRect& R2) {
  return R1 == R2;
}
TRect RectOffset(const TRect& R, int dx, int dy) {
  return TRect(R.Left + dx, R.Top + dy, R.Right + dx, R.Bottom + dy);
}
TRect RectSetHeight(const TRect& R, int h) {
  return TRect(R.Left, R.Top, R.Right, R.Top + h);
}
TRect RectSetWidth(const TRect& R, int w) {
  return TRect(R.Left, R.Top, R.Left + w, R.Bottom);
}
TRect RectSetLeft(const TRect& R, int x) {
  return TRect(x, R.Top, x + (R.Right - R.Left), R.Bottom);
}
TRect RectSetLeft(const TRect& R, int x, int w) {
  return TRect(x, R.Top, x + w, R.Bottom);
}
TRect RectSetRight(const TRect& R, int x, int w) {
  return TRect(x - w, R.Top, x, R.Bottom);
}
TRect RectCenter(const TRect& R, const SIZE& Size) {
  return RectCenter(R, Size.cx, Size.cy);
}
TRect RectCenter(const TRect& R, int w, int h) {
  int l = (R.Left + R.Right - w) / 2, t = (R.Top + R.Bottom - h) / 2;
  return TRect(l, t, l + w, t + h);
}
TRect RectContent(const TRect& R, const TRect& Borders) {
  return TRect(R.Left + Borders.Left, R.Top + Borders.Top, R.Right - Borders.Right,
               R.Bottom - Borders.Bottom);
}

namespace {
int gUseCount = 0;
}

void lfGeometryInitialize() {
  if (gUseCount++ > 0) return;
  RegisterClass(L"TlfRect", [] { return static_cast<TPersistent*>(new TlfRect(nullptr)); });
}

void lfGeometryFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  UnRegisterClass(L"TlfRect");
}
