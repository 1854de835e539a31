// A streamable rectangle and routines that derive one rectangle from another.
#pragma once

#include "framework/Classes.h"

class TlfRect : public TPersistent {
public:
  explicit TlfRect(TPersistent* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  // Stores R and calls OnChange unless R equals the current rectangle.
  void SetRect(const TRect& R);
  bool SameRect(const TRect& R) const { return FRect == R; }
  const TRect& Rect() const { return FRect; }
  TPersistent* GetOwner() const { return FOwner; }

  // Index 0 Left, 1 Top, 2 Right, 3 Bottom (any higher index reads Bottom).
  int GetValue(int Index) const;
  void SetValue(int Index, int Value);
  int Left() const { return GetValue(0); }
  int Top() const { return GetValue(1); }
  int Right() const { return GetValue(2); }
  int Bottom() const { return GetValue(3); }
  void SetLeft(int V) { SetValue(0, V); }
  void SetTop(int V) { SetValue(1, V); }
  void SetRight(int V) { SetValue(2, V); }
  void SetBottom(int V) { SetValue(3, V); }

  TNotifyEvent OnChange;

private:
  TPersistent* FOwner;
  TRect FRect;
};

int GeometryRectWidth(const TRect& R);
int GeometryRectHeight(const TRect& R);
TRect RectInflate(const TRect& R, int dx, int dy);
TRect RectInflate(const TRect& R, int dl, int dt, int dr, int db);
bool RectIsEqual(const TRect& R1, const TRect& R2);
TRect RectOffset(const TRect& R, int dx, int dy);
TRect RectSetHeight(const TRect& R, int h);
TRect RectSetWidth(const TRect& R, int w);
TRect RectSetLeft(const TRect& R, int x);
TRect RectSetLeft(const TRect& R, int x, int w);
TRect RectSetRight(const TRect& R, int x, int w);
// A w x h rectangle centred in R (halves truncated towards zero).
TRect RectCenter(const TRect& R, const SIZE& Size);
TRect RectCenter(const TRect& R, int w, int h);
// R shrunk by the four border widths (Left, Top, Right, Bottom of Borders).
TRect RectContent(const TRect& R, const TRect& Borders);

// Unit start-up and shut-down: TlfRect in the class registry.
void lfGeometryInitialize();
void lfGeometryFinalize();
