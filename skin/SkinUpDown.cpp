#include "skin/SkinUpDown.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 1;

void FrameFill(TCanvas* C, const TRect& R, TColor Frame, TColor Fill) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Fill);
  C->FillRect(R);
  C->Brush()->SetColor(Frame);
  C->FrameRect(R);
}

// An empty rectangle falls back to another.
RECT Or(const RECT& R, const RECT& Fallback) {
  return IsNullRect(R) ? Fallback : R;
}

} // namespace

TskSkinUpDown::TskSkinUpDown(TComponent* AOwner) : TskSkinCustomControl(AOwner) {
  FSkinDataName = L"hupdown";
  SetBounds(Left(), Top(), 25, 50);
}

TskSkinUpDown::~TskSkinUpDown() {
  StopTimer();
}

void TskSkinUpDown::SetOrientation(TUDOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  if ((ComponentState() & csDesigning) && !(ComponentState() & csLoading))
    FSkinDataName = Value == udVertical ? L"vupdown" : L"hupdown";
  LayoutButtons();
  Invalidate();
}

void TskSkinUpDown::SetUseSkinSize(bool Value) {
  if (FUseSkinSize == Value) return;
  FUseSkinSize = Value;
  ApplyControlSkin();
}

void TskSkinUpDown::SetMin(int Value) {
  FMin = Value;
  if (FMin > FPosition) FPosition = FMin;
}

void TskSkinUpDown::SetMax(int Value) {
  FMax = Value;
  if (FMax < FPosition) FPosition = FMax;
}

void TskSkinUpDown::SetPosition(int Value) {
  if (Value < FMin || Value > FMax || Value == FPosition) return;
  FPosition = Value;
  if (!(ComponentState() & csDesigning) && OnChange) OnChange(this);
}

void TskSkinUpDown::ReadSkinEntry() {
  TskSkinCustomControl::ReadSkinEntry();
  auto* e = FEntryIndex >= 0
                ? dynamic_cast<TskDataSkinUpDownControl*>(FSkinData->ControlAt(FEntryIndex))
                : nullptr;
  if (e) {
    FUpRect = e->UpButtonRect;
    FActiveUpRect = e->ActiveUpButtonRect;
    FDownUpRect = Or(e->DownUpButtonRect, FActiveUpRect);
    FDownRect = e->DownButtonRect;
    FActiveDownRect = e->ActiveDownButtonRect;
    FDownDownRect = Or(e->DownDownButtonRect, FActiveDownRect);
    // The picture is copied at its own size.
    FLTPoint = FRTPoint = FLBPoint = FRBPoint = POINT{0, 0};
    FSkinClientRect = RECT{0, 0, 0, 0};
    FResizeMode = SkinResizeMode();
  }
  LayoutButtons();
}

void TskSkinUpDown::FitSizeToSkin(int& AWidth, int& AHeight) {
  if (FUseSkinSize) TskSkinCustomControl::FitSizeToSkin(AWidth, AHeight);
}

void TskSkinUpDown::UpdateControlRegion() {
  if (FUseSkinSize) {
    TskSkinCustomControl::UpdateControlRegion();
  } else if (FRegionHandle) {
    // Its own size: the skin's region no longer fits.
    if (HandleAllocated()) SetWindowRgn(FHandle, nullptr, TRUE);
    DeleteObject(FRegionHandle);
    FRegionHandle = nullptr;
  }
}

void TskSkinUpDown::LayoutButtons() {
  int w = Width(), h = Height();
  if (FEntryIndex >= 0 && FUseSkinSize) {
    FButtons[0].R = FUpRect;
    FButtons[1].R = FDownRect;
  } else if (FOrientation == udVertical) {
    FButtons[0].R = TRect(0, 0, w, h / 2);
    FButtons[1].R = TRect(0, h / 2, w, h);
  } else {
    FButtons[1].R = TRect(0, 0, w / 2, h);
    FButtons[0].R = TRect(w / 2, 0, w, h);
  }
}

int TskSkinUpDown::ArrowDirection(int Index) const {
  if (FOrientation == udVertical) return Index == 0 ? 3 : 4;
  return Index == 0 ? 2 : 1;
}

void TskSkinUpDown::PaintDefaultImage(TBitmap* Bitmap) {
  LayoutButtons();
  TCanvas* C = Bitmap->Canvas();
  for (int i = 0; i < 2; ++i) {
    const TButton& b = FButtons[i];
    if (b.Down && b.MouseIn)
      FrameFill(C, b.R, skDefaultFrameColor, skDefaultDownColor);
    else if (b.MouseIn)
      FrameFill(C, b.R, skDefaultFrameColor, skDefaultHotColor);
    else
      FrameFill(C, b.R, clBtnShadow, clBtnFace);
    DrawArrow(C->Handle(), b.R, 0, ArrowDirection(i));
  }
}

void TskSkinUpDown::DrawResizeButton(TBitmap* Bitmap, int Index) {
  const TButton& b = FButtons[Index];
  int w = b.R.Width(), h = b.R.Height();
  if (w <= 0 || h <= 0) return;
  auto* e = FSkinData->FindControl<TskDataSkinButtonControl>(L"resizebutton");
  const TskPicture* pic = e ? FSkinData->ActivePicture(e->PictureIndex) : nullptr;
  TskPicture img;
  TColor color = 0;
  if (e && pic) {
    bool down = b.Down && b.MouseIn;
    RECT src = e->SkinRect;
    color = e->FontColor;
    if (down) {
      src = Or(e->DownSkinRect, Or(e->ActiveSkinRect, e->SkinRect));
      color = e->DownFontColor;
    } else if (b.MouseIn) {
      src = Or(e->ActiveSkinRect, e->SkinRect);
      color = e->ActiveFontColor;
    }
    TskSkinImageParams p;
    p.Old = e->Geometry();
    p.New = ScaleSkinGeometry(e->Geometry(), e->SkinRect, w, h);
    TakeStretch(p, *e);
    p.W = w;
    p.H = h;
    p.R = src;
    CreateSkinImage(p, *pic, img);
  } else {
    img.SetSize(w, h);
  }
  HDC dc = Bitmap->Canvas()->Handle();
  DrawPicture(dc, b.R.Left, b.R.Top, img);
  RECT ar = b.R;
  if (b.Down && b.MouseIn) {
    ar.left += 2;
    ar.top += 2;
  }
  DrawArrow(dc, ar, ColorToRGB(color), ArrowDirection(Index));
}

void TskSkinUpDown::PaintSkinImage(TBitmap* Bitmap) {
  LayoutButtons();
  if (!FUseSkinSize) {
    for (int i = 0; i < 2; ++i)
      DrawResizeButton(Bitmap, i);
    return;
  }
  TskSkinCustomControl::PaintSkinImage(Bitmap);
  if (!FPicture) return;
  HDC dc = Bitmap->Canvas()->Handle();
  for (int i = 0; i < 2; ++i) {
    const TButton& b = FButtons[i];
    if (!b.MouseIn) continue;
    RECT src = i == 0 ? (b.Down ? FDownUpRect : FActiveUpRect)
                      : (b.Down ? FDownDownRect : FActiveDownRect);
    if (SkinRectInPicture(src, FPicture)) DrawPictureRect(dc, b.R, *FPicture, src);
  }
}

void TskSkinUpDown::StartTimer(UINT Interval) {
  FTimerInterval = Interval;
  FTimerOn = true;
  if (HandleAllocated()) SetTimer(FHandle, kRepeatTimer, Interval, nullptr);
}

void TskSkinUpDown::StopTimer() {
  if (FTimerOn && HandleAllocated()) KillTimer(FHandle, kRepeatTimer);
  FTimerOn = false;
}

void TskSkinUpDown::TimerTick() {
  if (FFirstTick) {
    FFirstTick = false;
    StartTimer(100);
    return;
  }
  if (FDirection == 1)
    SetPosition(FPosition - FIncrement);
  else if (FDirection == 2)
    SetPosition(FPosition + FIncrement);
}

void TskSkinUpDown::TrackMouse(int X, int Y) {
  FOldActive = FActive;
  FActive = -1;
  for (int i = 0; i < 2; ++i)
    if (FButtons[i].R.Contains(TPoint(X, Y))) FActive = i;
  // A held button keeps the other one from becoming current.
  if (FPressed >= 0 && FActive != FPressed) FActive = -1;
  if (FActive == FOldActive) return;
  if (FOldActive >= 0) {
    TButton& b = FButtons[FOldActive];
    b.MouseIn = false;
    Invalidate();
    if (FIncrement != 0 && b.Down) StopTimer();
  }
  if (FActive >= 0) {
    TButton& b = FButtons[FActive];
    b.MouseIn = true;
    FButtons[1 - FActive].MouseIn = false;
    Invalidate();
    if (FIncrement != 0 && b.Down) StartTimer(50);
  }
}

void TskSkinUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  TrackMouse(X, Y);
  if (FActive < 0) return;
  FButtons[1 - FActive].MouseIn = false;
  FPressed = FActive;
  TButton& b = FButtons[FActive];
  b.MouseIn = b.Down = true;
  Invalidate();
  if (FIncrement != 0) {
    FDirection = FActive == 0 ? 2 : 1;
    FFirstTick = true;
    StartTimer(500);
  }
}

void TskSkinUpDown::MouseMove(TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseMove(Shift, X, Y);
  TrackMouse(X, Y);
}

void TskSkinUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FPressed >= 0) {
    int i = FPressed;
    if (FIncrement != 0) {
      StopTimer();
      FDirection = 0;
    }
    FPressed = -1;
    TButton& b = FButtons[i];
    b.Down = false;
    if (i != FActive) b.MouseIn = false;
    Invalidate();
    if (FIncrement != 0) SetPosition(i == 0 ? FPosition + FIncrement : FPosition - FIncrement);
    if (i == 0 && OnUpButtonClick) OnUpButtonClick(this);
    if (i == 1 && OnDownButtonClick) OnDownButtonClick(this);
  }
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TskSkinUpDown::CMMouseEnter(TMessage& Message) {
  TskSkinCustomControl::CMMouseEnter(Message);
  FActive = FOldActive = -1;
}

void TskSkinUpDown::CMMouseLeave(TMessage& Message) {
  TskSkinCustomControl::CMMouseLeave(Message);
  for (TButton& b : FButtons)
    if (b.MouseIn) {
      b.MouseIn = false;
      Invalidate();
    }
}

void TskSkinUpDown::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_TIMER:
    if (m.WParam == kRepeatTimer) {
      TimerTick();
      return;
    }
    break;
  case WM_SIZE:
    TskSkinCustomControl::WndProc(m);
    LayoutButtons();
    return;
  }
  TskSkinCustomControl::WndProc(m);
}
