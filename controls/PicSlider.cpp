#include "controls/PicSlider.h"

#include "framework/Forms.h"

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

// ---------------------------------------------------------------------------
// Transparent bitmap drawing

void MaskedStretchBlt(HDC DestDC, int X, int Y, int W, int H, HDC SrcDC, int SrcX, int SrcY,
                      int SrcW, int SrcH, COLORREF TransparentColor, HPALETTE Palette) {
  if (W <= 0 || H <= 0 || SrcW <= 0 || SrcH <= 0) return;
  HDC copyDC = CreateCompatibleDC(DestDC), maskDC = CreateCompatibleDC(DestDC),
      invDC = CreateCompatibleDC(DestDC), workDC = CreateCompatibleDC(DestDC);
  HBITMAP copyBmp = CreateCompatibleBitmap(DestDC, SrcW, SrcH);
  HBITMAP maskBmp = CreateBitmap(SrcW, SrcH, 1, 1, nullptr);
  HBITMAP invBmp = CreateBitmap(SrcW, SrcH, 1, 1, nullptr);
  HBITMAP workBmp = CreateCompatibleBitmap(DestDC, W, H);
  HGDIOBJ o1 = SelectObject(copyDC, copyBmp), o2 = SelectObject(maskDC, maskBmp),
          o3 = SelectObject(invDC, invBmp), o4 = SelectObject(workDC, workBmp);
  HPALETTE oldPal = nullptr, oldWorkPal = nullptr;
  if (Palette) {
    oldPal = SelectPalette(DestDC, Palette, TRUE);
    RealizePalette(DestDC);
    oldWorkPal = SelectPalette(workDC, Palette, FALSE);
    RealizePalette(workDC);
  }
  BitBlt(copyDC, 0, 0, SrcW, SrcH, SrcDC, SrcX, SrcY, SRCCOPY);
  SetBkColor(copyDC, TransparentColor);
  BitBlt(maskDC, 0, 0, SrcW, SrcH, copyDC, 0, 0, SRCCOPY);
  BitBlt(invDC, 0, 0, SrcW, SrcH, maskDC, 0, 0, NOTSRCCOPY);
  BitBlt(workDC, 0, 0, W, H, DestDC, X, Y, SRCCOPY);
  SetStretchBltMode(workDC, COLORONCOLOR);
  SetBkColor(workDC, RGB(255, 255, 255));
  SetTextColor(workDC, RGB(0, 0, 0));
  StretchBlt(workDC, 0, 0, W, H, maskDC, 0, 0, SrcW, SrcH, SRCAND);
  SetBkColor(copyDC, RGB(255, 255, 255));
  SetTextColor(copyDC, RGB(0, 0, 0));
  BitBlt(copyDC, 0, 0, SrcW, SrcH, invDC, 0, 0, SRCAND);
  StretchBlt(workDC, 0, 0, W, H, copyDC, 0, 0, SrcW, SrcH, SRCPAINT);
  BitBlt(DestDC, X, Y, W, H, workDC, 0, 0, SRCCOPY);
  if (Palette) {
    SelectPalette(workDC, oldWorkPal, FALSE);
    SelectPalette(DestDC, oldPal, TRUE);
  }
  SelectObject(copyDC, o1);
  SelectObject(maskDC, o2);
  SelectObject(invDC, o3);
  SelectObject(workDC, o4);
  DeleteObject(copyBmp);
  DeleteObject(maskBmp);
  DeleteObject(invBmp);
  DeleteObject(workBmp);
  DeleteDC(copyDC);
  DeleteDC(maskDC);
  DeleteDC(invDC);
  DeleteDC(workDC);
}

void StretchBitmapMasked(TCanvas* Canvas, TBitmap* Bitmap, TColor TransparentColor, int X, int Y,
                         int W, int H, int SrcX, int SrcY, int SrcW, int SrcH) {
  if (!Bitmap || Bitmap->Empty()) return;
  if (W < 1 || H < 1) W = Bitmap->Width(), H = Bitmap->Height();
  if (SrcW < 1 || SrcH < 1) SrcX = 0, SrcY = 0, SrcW = Bitmap->Width(), SrcH = Bitmap->Height();
  HDC dest = Canvas->Handle();
  if (!Bitmap->Monochrome()) SetStretchBltMode(dest, COLORONCOLOR);
  TCanvas* src = Bitmap->Canvas();
  src->Lock();
  TNotifyEvent saved = Bitmap->OnChange;
  Bitmap->OnChange = nullptr;
  if (TransparentColor == clNone) {
    StretchBlt(dest, X, Y, W, H, src->Handle(), SrcX, SrcY, SrcW, SrcH, Canvas->CopyMode());
  } else {
    COLORREF key;
    if (TransparentColor == clDefault) {
      key = GetPixel(src->Handle(), 0, Bitmap->Height() - 1);
    } else if (Bitmap->Monochrome()) {
      key = RGB(255, 255, 255);
    } else {
      key = ColorToRGB(TransparentColor) & 0xFFFFFF;
    }
    MaskedStretchBlt(dest, X, Y, W, H, src->Handle(), SrcX, SrcY, SrcW, SrcH, key, nullptr);
  }
  Bitmap->OnChange = saved;
  src->Unlock();
}

void StretchBitmapRectMasked(TCanvas* Canvas, int X, int Y, const TRect& Rect, TBitmap* Bitmap,
                             TColor TransparentColor) {
  StretchBitmapMasked(Canvas, Bitmap, TransparentColor, X, Y, Rect.Width(), Rect.Height(),
                      Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
}

void DrawBitmapMasked(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor TransparentColor) {
  StretchBitmapMasked(Canvas, Bitmap, TransparentColor, X, Y, 0, 0, 0, 0, 0, 0);
}

// ---------------------------------------------------------------------------
// The slider

namespace {

const wchar_t* const BuiltInImages[4] = {L"W95_HTB", L"W95_HRL", L"W95_VTB", L"W95_VRL"};
constexpr UINT_PTR TrackTimer = 1;

} // namespace

HCURSOR PicSliderCursor(int Number) {
  static HCURSOR hand = nullptr, drag = nullptr;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (Number == crPicHand) {
    if (!hand) hand = LoadCursorW(inst, L"PIC_HANDCUR");
    return hand ? hand : LoadCursorW(nullptr, IDC_HAND);
  }
  if (Number == crPicDrag) {
    if (!drag) drag = LoadCursorW(inst, L"PIC_DRAGCUR");
    return drag ? drag : LoadCursorW(nullptr, IDC_HAND);
  }
  return LoadCursorW(nullptr, IDC_ARROW);
}

namespace {

// Puts the two cursors into the screen's cursor table.
void RegisterCursors() {
  if (Screen) {
    Screen->SetCursors(crPicHand, PicSliderCursor(crPicHand));
    Screen->SetCursors(crPicDrag, PicSliderCursor(crPicDrag));
  }
}

} // namespace

TPicCustomSlider::TPicCustomSlider(TComponent* AOwner) : TCustomControl(AOwner) {
  if (Screen && Screen->Cursors(crPicHand) != PicSliderCursor(crPicHand)) RegisterCursors();
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks;
  FWidth = 150;
  FHeight = 40;
  SetTabStop(true);
  FRuler = std::make_unique<TBitmap>();
  for (int i = 0; i < 4; ++i) {
    FImages[i] = std::make_unique<TBitmap>();
    LoadBuiltIn(i);
    FImages[i]->OnChange = [this, i](TObject*) { ImageChanged(i); };
  }
  FCreating = false;
  LayoutElements();
}

TPicCustomSlider::~TPicCustomSlider() {
  OnChange = nullptr;
  OnChanged = nullptr;
  OnDrawPoints = nullptr;
  if (FTimerRunning && HandleAllocated()) KillTimer(FHandle, TrackTimer);
  for (auto& img : FImages)
    if (img) img->OnChange = nullptr;
}

void TPicCustomSlider::LoadBuiltIn(int Index) {
  TNotifyEvent saved = FImages[Index]->OnChange;
  FImages[Index]->OnChange = nullptr;
  try {
    FImages[Index]->LoadFromResourceName(GetModuleHandleW(nullptr), BuiltInImages[Index]);
  } catch (const Exception&) {
    // A program without the pictures gets an empty slider instead of failing.
    FImages[Index]->SetSize(0, 0);
  }
  FImages[Index]->OnChange = saved;
}

void TPicCustomSlider::ImageChanged(int /*Index*/) {
  if (!FCreating) LayoutElements();
}

void TPicCustomSlider::SetImage(int Index, TBitmap* Bitmap) {
  if (Index < 0 || Index > 3) return;
  if (Bitmap) {
    FImages[Index]->Assign(Bitmap);
    FUserImages |= 1u << Index;
  } else {
    LoadBuiltIn(Index);
    FUserImages &= ~(1u << Index);
    if (!Reading()) {
      FOptions &= (Index == iiHRuler || Index == iiVRuler) ? ~soRulerOpaque : ~soThumbOpaque;
      Invalidate();
    }
  }
  ImageChanged(Index);
}

void TPicCustomSlider::Loaded() {
  TCustomControl::Loaded();
  for (int i = 0; i < 4; ++i)
    if (FUserImages & (1u << i)) ImageChanged(i);
}

TRect TPicCustomSlider::GetSliderRect() {
  TRect r(0, 0, Width(), Height());
  if (FBevelStyle != bvNone) r.Inflate(-FBevelWidth, -FBevelWidth);
  return r;
}

picslider::TTrack TPicCustomSlider::Track() {
  picslider::TTrack t;
  TRect r = GetSliderRect();
  bool vertical = FOrientation == soVertical;
  int rulerLen = vertical ? FRuler->Height() : FRuler->Width();
  int thumbLen = vertical ? FThumbRect.Height() : FThumbRect.Width();
  t.Vertical = vertical;
  t.Base = (vertical ? r.Top : r.Left) + 6;
  t.Slide = std::max(rulerLen - thumbLen, 0);
  t.RectLeft = r.Left;
  t.RectBottom = r.Bottom;
  t.ClientHeight = Height();
  t.ThumbLength = thumbLen;
  t.ThumbHeight = FThumbRect.Height();
  return t;
}

picslider::TRange TPicCustomSlider::Range() const {
  return picslider::TRange{FMinValue, FMaxValue, FIncrement, (FOptions & soSmooth) != 0};
}

void TPicCustomSlider::ComposeRulerImage() {
  TRect r = GetSliderRect();
  bool vertical = FOrientation == soVertical;
  TBitmap* img = FImages[vertical ? iiVRuler : iiHRuler].get();
  int length = std::max((vertical ? r.Height() : r.Width()) - 12, 0);
  int across = vertical ? img->Width() : img->Height();
  int w = vertical ? img->Height() : img->Width();
  if (vertical)
    FRuler->SetSize(across, length);
  else
    FRuler->SetSize(length, across);
  if (length == 0 || across == 0 || w == 0) return;
  for (const auto& p : picslider::ComposeRuler(w, FEdgeSize, length)) {
    if (vertical)
      FRuler->Canvas()->CopyRect(TRect(0, p.Dest, across, p.Dest + p.Len), img->Canvas(),
                                 TRect(0, p.Src, across, p.Src + p.Len));
    else
      FRuler->Canvas()->CopyRect(TRect(p.Dest, 0, p.Dest + p.Len, across), img->Canvas(),
                                 TRect(p.Src, 0, p.Src + p.Len, across));
  }
}

void TPicCustomSlider::LayoutElements() {
  ComposeRulerImage();
  TRect r = GetSliderRect();
  int L = r.Left, T = r.Top;
  bool vertical = FOrientation == soVertical;
  TBitmap* thumb = FImages[vertical ? iiVThumb : iiHThumb].get();
  int states = std::max<int>(FNumThumbStates, 1);
  int tw = thumb->Width() / states, th = thumb->Height();
  int rw = FRuler->Width(), rh = FRuler->Height();
  if (!vertical) {
    if (rh < th) {
      FThumbRect = Bounds(L + 6, T + 6, tw, th);
      FRulerOrigin = TPoint(L + 6, T + 6 + (th - rh) / 2);
    } else {
      FRulerOrigin = TPoint(L + 6, T + 6);
      FThumbRect = Bounds(L + 6, T + 6 + (rh - th) / 2, tw, th);
    }
    FPointsRect =
        TRect(FRulerOrigin.X, T + std::max(th, rh) + 7, FRulerOrigin.X + rw, r.Bottom - T - 1);
  } else {
    if (rw < tw) {
      FThumbRect = Bounds(L + 6, T + 6, tw, th);
      FRulerOrigin = TPoint(L + 6 + (tw - rw) / 2, T + 6);
    } else {
      FRulerOrigin = TPoint(L + 6, T + 6);
      FThumbRect = Bounds(L + 6 + (rw - tw) / 2, T + 6, tw, th);
    }
    FPointsRect =
        TRect(L + std::max(tw, rw) + 7, FRulerOrigin.Y, r.Right - L - 1, FRulerOrigin.Y + rh);
  }
  // Place the thumb for the current value.
  int v = std::clamp(FValue, FMinValue, FMaxValue);
  FValue = v;
  MoveThumbTo(picslider::ValueToOffset(Track(), Range(), v));
  Invalidate();
}

void TPicCustomSlider::InvalidateThumb() {
  if (!HandleAllocated()) return;
  RECT r = FThumbRect;
  InvalidateRect(FHandle, &r, !(FControlStyle & csOpaque));
}

void TPicCustomSlider::MoveThumbTo(int Offset) {
  picslider::TTrack t = Track();
  int o = picslider::SnapOffset(t, Range(), Offset);
  InvalidateThumb();
  if (FOrientation == soVertical)
    FThumbRect = Bounds(FThumbRect.Left, o, FThumbRect.Width(), FThumbRect.Height());
  else
    FThumbRect = Bounds(o, FThumbRect.Top, FThumbRect.Width(), FThumbRect.Height());
  InvalidateThumb();
  if (FDragging) {
    int v = picslider::OffsetToValue(t, Range(), o);
    if (v != FValue) {
      FValue = v;
      Change();
    }
  }
}

void TPicCustomSlider::SetValue(int V) {
  V = std::clamp(V, FMinValue, std::max(FMinValue, FMaxValue));
  bool changed = V != FValue;
  FValue = V;
  MoveThumbTo(picslider::ValueToOffset(Track(), Range(), V));
  if (changed) Change();
}

void TPicCustomSlider::SetMinValue(int V) {
  if (V != FMinValue) SetMinMax(V, FMaxValue);
}

void TPicCustomSlider::SetMaxValue(int V) {
  if (V != FMaxValue) SetMinMax(FMinValue, V);
}

void TPicCustomSlider::SetMinMax(int AMin, int AMax) {
  bool reading = Reading();
  if (AMin >= AMax && !reading) return;
  FMinValue = AMin;
  FMaxValue = AMax;
  if (!reading && static_cast<long long>(AMax) < static_cast<long long>(AMin) + FIncrement)
    FIncrement = AMax - AMin;
  if (FOptions & soShowPoints) Invalidate();
  SetValue(FValue);
  RangeChanged();
}

void TPicCustomSlider::SetIncrement(int V) {
  if (Reading() || (V > 0 && V <= FMaxValue - FMinValue)) {
    if (V > 0 && V != FIncrement) {
      FIncrement = V;
      SetValue(FValue);
      Invalidate();
    }
    return;
  }
  throw Exception(Format(L"Value must be between %d and %d", 1, FMaxValue - FMinValue));
}

void TPicCustomSlider::SetOrientation(TSliderOrientation V) {
  if (V == FOrientation) return;
  FOrientation = V;
  LayoutElements();
  if (!(ComponentState() & (csLoading | csUpdating))) SetBounds(Left(), Top(), Height(), Width());
}

void TPicCustomSlider::SetOptions(TSliderOptions V) {
  if (V == FOptions) return;
  FOptions = V;
  Invalidate();
}

void TPicCustomSlider::SetBevelStyle(TBevelCut V) {
  if (V == FBevelStyle) return;
  FBevelStyle = V;
  LayoutElements();
  Update();
}

void TPicCustomSlider::SetEdgeSize(int V) {
  TBitmap* img = FImages[FOrientation == soVertical ? iiVRuler : iiHRuler].get();
  int len = FOrientation == soVertical ? img->Height() : img->Width();
  if (V >= 0 && 2 * V < len && V != FEdgeSize) {
    FEdgeSize = V;
    LayoutElements();
  }
}

void TPicCustomSlider::SetNumThumbStates(TNumThumbStates V) {
  V = std::clamp<TNumThumbStates>(V, 1, 2);
  if (V == FNumThumbStates) return;
  FNumThumbStates = V;
  LayoutElements();
}

void TPicCustomSlider::Change() {
  if (OnChange) OnChange(this);
}

void TPicCustomSlider::Changed() {
  if (OnChanged) OnChanged(this);
}

HCURSOR TPicCustomSlider::ThumbCursor() {
  return PicSliderCursor(crPicHand);
}

void TPicCustomSlider::Step(int Kind) {
  int target = picslider::StepTarget(Range(), FValue, Kind);
  if (target != FValue) SetValue(target);
}

void TPicCustomSlider::KeyDown(WORD& Key, TShiftState Shift) {
  if (!(Shift & (ssShift | ssAlt | ssCtrl))) {
    int kind = 0;
    if (Key == VK_HOME)
      kind = picslider::skMin;
    else if (Key == VK_END)
      kind = picslider::skMax;
    else if (FOrientation == soHorizontal && Key == VK_LEFT)
      kind = picslider::skDown;
    else if (FOrientation == soHorizontal && Key == VK_RIGHT)
      kind = picslider::skUp;
    else if (FOrientation == soVertical && Key == VK_UP)
      kind = picslider::skUp;
    else if (FOrientation == soVertical && Key == VK_DOWN)
      kind = picslider::skDown;
    if (kind) {
      Key = 0;
      Step(kind);
      Changed();
    }
  }
  TCustomControl::KeyDown(Key, Shift);
}

int TPicCustomSlider::DirectionOf(const TPoint& P) const {
  if (FOrientation == soHorizontal) {
    if (P.X < FThumbRect.Left) return picslider::skDown;
    if (P.X > FThumbRect.Right) return picslider::skUp;
  } else {
    if (P.Y < FThumbRect.Top) return picslider::skUp;
    if (P.Y > FThumbRect.Bottom) return picslider::skDown;
  }
  return 0;
}

void TPicCustomSlider::TrackStep() {
  if (!FTracking || FTrackDirection == 0) return;
  if (DirectionOf(FTrackPoint) == FTrackDirection) {
    Step(FTrackDirection);
    if (!FTimerRunning && HandleAllocated()) {
      SetTimer(FHandle, TrackTimer, 400, nullptr);
      FTimerRunning = true;
    }
  }
}

void TPicCustomSlider::StopTracking() {
  if (!FTracking) return;
  FTracking = false;
  if (FTimerRunning && HandleAllocated()) KillTimer(FHandle, TrackTimer);
  FTimerRunning = false;
  SetMouseCapture(false);
  Changed();
}

void TPicCustomSlider::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || (Shift & ssDouble)) return;
  if (CanFocus() && !Focused()) SetFocus();
  TPoint p(X, Y);
  TRect thumb = FThumbRect;
  if (X >= thumb.Left && X <= thumb.Right && Y >= thumb.Top && Y <= thumb.Bottom) {
    ThumbMouseDown(Button, X, Y);
    return;
  }
  TRect ruler = Bounds(FRulerOrigin.X, FRulerOrigin.Y, FRuler->Width(), FRuler->Height());
  if (FOrientation == soHorizontal)
    ruler.Top -= 3, ruler.Bottom += 3;
  else
    ruler.Left -= 3, ruler.Right += 3;
  if (X >= ruler.Left && X <= ruler.Right && Y >= ruler.Top && Y <= ruler.Bottom) {
    SetMouseCapture(true);
    FTracking = true;
    FTrackPoint = p;
    FTrackDirection = static_cast<uint8_t>(DirectionOf(p));
    TrackStep();
  }
}

void TPicCustomSlider::ThumbMouseDown(TMouseButton /*Button*/, int X, int Y) {
  FDragging = true;
  FThumbPressed = true;
  FGrabOffset = FOrientation == soHorizontal ? X - FThumbRect.Left : Y - FThumbRect.Top;
  InvalidateThumb();
  Update();
}

void TPicCustomSlider::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FTracking)
    FTrackPoint = TPoint(X, Y);
  else if ((Shift & ssLeft) && FDragging)
    ThumbMouseMove(X, Y);
}

void TPicCustomSlider::ThumbMouseMove(int X, int Y) {
  MoveThumbTo((FOrientation == soHorizontal ? X : Y) - FGrabOffset);
}

void TPicCustomSlider::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  StopTracking();
  if (FDragging) ThumbMouseUp(Button);
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TPicCustomSlider::ThumbMouseUp(TMouseButton Button) {
  if (Button != mbLeft) return;
  FDragging = false;
  FThumbPressed = false;
  InvalidateThumb();
  Update();
  Changed();
}

void TPicCustomSlider::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_GETDLGCODE:
    Message.Result = DLGC_WANTARROWS;
    return;
  case WM_TIMER:
    if (Message.WParam == TrackTimer) {
      TrackStep();
      return;
    }
    break;
  case WM_CAPTURECHANGED:
    if (FTracking && reinterpret_cast<HWND>(Message.LParam) != FHandle) StopTracking();
    break;
  }
  TCustomControl::WndProc(Message);
}

void TPicCustomSlider::WMSize(TMessage& Message) {
  TCustomControl::WMSize(Message);
  if (!Reading()) LayoutElements();
}

void TPicCustomSlider::WMSetCursor(TMessage& Message) {
  if (!(ComponentState() & csDesigning) && HandleAllocated()) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(FHandle, &p);
    if (FThumbRect.Contains(TPoint(p.x, p.y))) {
      ::SetCursor(ThumbCursor());
      Message.Result = 1;
      return;
    }
  }
  TCustomControl::WMSetCursor(Message);
}

void TPicCustomSlider::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  InvalidateThumb();
}

void TPicCustomSlider::CMFocusChanged(TMessage& Message) {
  TCustomControl::CMFocusChanged(Message);
  bool focused = reinterpret_cast<TControl*>(Message.LParam) == this;
  if (focused != FFocused) {
    FFocused = focused;
    if (FOptions & soShowFocus) Invalidate();
  }
}

void TPicCustomSlider::AlignControls(TControl* AControl, TRect& Rect) {
  if (FBevelStyle != bvNone) Rect.Inflate(-FBevelWidth, -FBevelWidth);
  TCustomControl::AlignControls(AControl, Rect);
}

void TPicCustomSlider::WMPaint(TMessage& Message) {
  if (FPaintBuffered) {
    TCustomControl::WMPaint(Message);
    return;
  }
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  bool own = dc == nullptr;
  if (own) dc = BeginPaint(FHandle, &ps);
  RECT cr;
  GetClientRect(FHandle, &cr);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp =
      CreateCompatibleBitmap(dc, std::max<LONG>(cr.right, 1), std::max<LONG>(cr.bottom, 1));
  HGDIOBJ old = SelectObject(mem, bmp);
  TScopeGuard release([&] {
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    if (own) EndPaint(FHandle, &ps);
  });
  FPaintBuffered = true;
  {
    TScopeGuard unbuffered([&] { FPaintBuffered = false; });
    SendMessageW(FHandle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
    PaintWindow(mem);
  }
  BitBlt(dc, 0, 0, cr.right, cr.bottom, mem, 0, 0, SRCCOPY);
  Message.Result = 0;
}

void TPicCustomSlider::DrawRulerPoints(int AIncrement, int SmallLength, int BigLength) {
  TCanvas* c = Canvas();
  c->Pen()->SetColor(clWindowText);
  c->Pen()->SetWidth(1);
  picslider::TRange r = Range();
  r.Increment = AIncrement;
  picslider::TTrack t = Track();
  picslider::TPoints pts = picslider::RulerPoints(r, t.Slide);
  int half = t.ThumbLength / 2;
  for (int v : pts.Values) {
    int len = (v == FMinValue || v == FMaxValue) ? BigLength : SmallLength;
    int o = picslider::ValueToOffset(t, r, v) + half;
    if (FOrientation == soHorizontal) {
      c->MoveTo(o, FPointsRect.Top);
      c->LineTo(o, FPointsRect.Top + len);
    } else {
      c->MoveTo(FPointsRect.Left, o);
      c->LineTo(FPointsRect.Left + len, o);
    }
  }
}

void TPicCustomSlider::Paint() {
  TCanvas* c = Canvas();
  TRect client(0, 0, Width(), Height());
  bool vertical = FOrientation == soVertical;
  TPoint thumbPos = FThumbRect.TopLeft();
  if (FControlState & csPaintCopy) {
    int o = picslider::ValueToOffset(Track(), Range(), GetPaintValue());
    thumbPos = vertical ? TPoint(FThumbRect.Left, o) : TPoint(o, FThumbRect.Top);
  }
  TRect inner = client;
  if (FBevelStyle != bvNone) {
    if (FBevelStyle == bvLowered)
      Frame3D(c, inner, clBtnShadow, clBtnHighlight, 1);
    else
      Frame3D(c, inner, clBtnHighlight, clBtnShadow, 1);
  }
  if (FControlStyle & csOpaque) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(inner);
  }
  if (FRuler->Width() > 0 && FRuler->Height() > 0) {
    if (FOptions & soRulerOpaque)
      c->Draw(FRulerOrigin.X, FRulerOrigin.Y, FRuler.get());
    else
      DrawBitmapMasked(c, FRulerOrigin.X, FRulerOrigin.Y, FRuler.get(), FRuler->TransparentColor());
  }
  if ((FOptions & soShowFocus) && Focused() && !(ComponentState() & csDesigning)) {
    TRect f = GetSliderRect();
    f.Inflate(-2, -2);
    c->DrawFocusRect(f);
  }
  if (FOptions & soShowPoints) {
    if (OnDrawPoints)
      OnDrawPoints(this);
    else
      DrawRulerPoints(FIncrement, 3, 5);
  }
  TBitmap* thumb = FImages[vertical ? iiVThumb : iiHThumb].get();
  int tw = FThumbRect.Width(), th = FThumbRect.Height();
  if (tw > 0 && th > 0) {
    bool second = FNumThumbStates == 2 &&
                  ((FControlState & csPaintCopy) ? !Enabled() : (FThumbPressed || !Enabled()));
    TRect src = Bounds(second ? tw : 0, 0, tw, th);
    TColor key = (FOptions & soThumbOpaque) ? clNone : thumb->TransparentColor();
    StretchBitmapRectMasked(c, thumbPos.X, thumbPos.Y, src, thumb, key);
  }
}
