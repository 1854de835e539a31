// Skinned up-down control: two arrow buttons that step a position between a
// minimum and a maximum, repeating while a button is held.
#pragma once

#include <windows.h>

#include "framework/ComCtrls.h"
#include "skin/SkinCtrls.h"

class TskSkinUpDown : public TskSkinCustomControl {
public:
  explicit TskSkinUpDown(TComponent* AOwner);
  ~TskSkinUpDown() override;

  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  TNotifyEvent OnChange, OnUpButtonClick, OnDownButtonClick;

  // Buttons: 0 steps up, 1 steps down.
  TRect ButtonRect(int Index) const { return FButtons[Index].R; }
  bool ButtonMouseIn(int Index) const { return FButtons[Index].MouseIn; }
  bool ButtonDown(int Index) const { return FButtons[Index].Down; }
  // The repeat timer's interval while it runs, else 0.
  UINT TimerInterval() const { return FTimerOn ? FTimerInterval : 0; }
  // One tick of the repeat timer.
  void TimerTick();
  void LayoutButtons();

  void ReadSkinEntry() override;
  void FitSizeToSkin(int& AWidth, int& AHeight) override;
  void UpdateControlRegion() override;

protected:
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  struct TButton {
    TRect R;
    bool MouseIn = false, Down = false;
  };
  void TrackMouse(int X, int Y);
  void StartTimer(UINT Interval);
  void StopTimer();
  void DrawResizeButton(TBitmap* Bitmap, int Index);
  int ArrowDirection(int Index) const;

  TUDOrientation FOrientation = udHorizontal;
  bool FUseSkinSize = true;
  int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
  TButton FButtons[2];
  int FActive = -1, FOldActive = -1, FPressed = -1;
  int FDirection = 0; // 0 none, 1 down, 2 up
  bool FFirstTick = false, FTimerOn = false;
  UINT FTimerInterval = 0;
  // Copied from the entry.
  RECT FUpRect{}, FActiveUpRect{}, FDownUpRect{};
  RECT FDownRect{}, FActiveDownRect{}, FDownDownRect{};
};
