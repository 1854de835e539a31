#include "skin/SkinCtrls.h"

#include <algorithm>
#include <cmath>

#include <commctrl.h>

#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "skin/skEffBmp.h"

namespace {

// Halves go to the even neighbour.
int RoundEven(double v) {
  return static_cast<int>(std::nearbyint(v));
}

TskEffectBmp* NewEffect(TBitmap* b) {
  if (auto* c = dynamic_cast<TBitmapCanvas*>(b->Canvas())) c->FreeContext();
  return new TskEffectBmp(b->Handle());
}

void FrameFill(TCanvas* C, const TRect& R, TColor Frame, TColor Fill) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Fill);
  C->FillRect(R);
  C->Brush()->SetColor(Frame);
  C->FrameRect(R);
}

void FillColor(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

RECT GrowRect(RECT r, int dx, int dy) {
  r.right += dx;
  r.bottom += dy;
  return r;
}

POINT AddPoint(POINT p, int dx, int dy) {
  return POINT{p.x + dx, p.y + dy};
}

// Copies a part of a picture into a bitmap, transparent in a colour when asked.
void CopyPicturePart(TBitmap* B, int X, int Y, const TskPicture& Pic, const RECT& Src,
                     bool Transparent = false, TColor TransColor = 0) {
  if (!SkinRectInPicture(Src, &Pic)) return;
  HDC dc = B->Canvas()->Handle();
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, Pic.Handle());
  if (Transparent)
    TransparentBlt(dc, X, Y, RectWidth(Src), RectHeight(Src), mem, Src.left, Src.top,
                   RectWidth(Src), RectHeight(Src), ColorToRGB(TransColor));
  else
    BitBlt(dc, X, Y, RectWidth(Src), RectHeight(Src), mem, Src.left, Src.top, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

// A copy of a picture's rectangle (empty when it does not lie in the picture).
TskPicture CutPicture(const TskPicture& Pic, const RECT& R) {
  TskPicture p;
  if (!SkinRectInPicture(R, &Pic)) return p;
  p.SetSize(RectWidth(R), RectHeight(R));
  StretchCopy(p, MakeRect(0, 0, p.Width(), p.Height()), Pic, R);
  return p;
}

bool IsDesigning(TComponent* C) {
  return (C->ComponentState() & csDesigning) != 0;
}

} // namespace

bool SkinRectInPicture(const RECT& r, const TskPicture* picture) {
  return picture && !picture->Empty() && r.right > r.left && r.bottom > r.top && r.left >= 0 &&
         r.top >= 0 && r.right <= picture->Width() && r.bottom <= picture->Height();
}

void FillWithTile(HDC DC, const TRect& R, const TskPicture& Tile, bool Stretch,
                  TskStretchType Type) {
  int tw = Tile.Width(), th = Tile.Height();
  if (tw <= 0 || th <= 0 || R.IsEmpty()) return;
  RECT all = MakeRect(0, 0, tw, th);
  int saved = SaveDC(DC);
  IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  if (Stretch && Type == stFull) {
    DrawPictureRect(DC, R, Tile, all);
  } else if (Stretch && Type == stHorz) {
    for (int x = R.Left; x < R.Right; x += tw)
      DrawPictureRect(DC, MakeRect(x, R.Top, x + tw, R.Bottom), Tile, all);
  } else if (Stretch && Type == stVert) {
    for (int y = R.Top; y < R.Bottom; y += th)
      DrawPictureRect(DC, MakeRect(R.Left, y, R.Right, y + th), Tile, all);
  } else {
    for (int y = R.Top; y < R.Bottom; y += th)
      for (int x = R.Left; x < R.Right; x += tw)
        DrawPicture(DC, x, y, Tile);
  }
  RestoreDC(DC, saved);
}

TskPicture CutPart(const TskPicture& Pic, const RECT& R) {
  TskPicture p;
  if (!SkinRectInPicture(R, &Pic)) return p;
  p.SetSize(RectWidth(R), RectHeight(R));
  StretchCopy(p, MakeRect(0, 0, p.Width(), p.Height()), Pic, R);
  return p;
}

// ---------------------------------------------------------------------------
// TskSkinControl

TskSkinControl::TskSkinControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle |= csOpaque;
}

TskSkinControl::~TskSkinControl() {
  if (FRegionHandle) DeleteObject(FRegionHandle);
  SetHintImageList(nullptr);
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
}

void TskSkinControl::SetSkinData(TskSkinData* Value) {
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (Value) Value->FreeNotification(this);
  if (Value && !Value->Empty() && !IsDesigning(this)) ApplyControlSkin();
}

void TskSkinControl::SetSkinDataName(const std::wstring& Value) {
  FSkinDataName = Value;
}

void TskSkinControl::SetDrawDefault(bool Value) {
  FDrawDefault = Value;
  Invalidate();
}

void TskSkinControl::SetAlphaBlend(bool Value) {
  FAlphaBlend = Value;
  Invalidate();
}

void TskSkinControl::SetAlphaBlendValue(BYTE Value) {
  FAlphaBlendValue = Value;
  Invalidate();
}

void TskSkinControl::SetHintImageList(TCustomImageList* Value) {
  if (FHintImageList) FHintImageList->RemoveFreeNotification(this);
  FHintImageList = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinControl::ReadSkinEntry() {
  FEntryIndex =
      FSkinData && !FSkinData->Empty() ? FSkinData->FindControlDescription(FSkinDataName) : -1;
}

void TskSkinControl::ApplyControlSkin() {
  ReadSkinEntry();
  if (FUseSkinCursor)
    SetCursor(FCursorIndex < 0 || !FSkinData ? crDefault
                                             : FSkinData->StartCursorIndex + FCursorIndex);
  Invalidate();
}

void TskSkinControl::DropSkinEntry() {
  FEntryIndex = -1;
}

void TskSkinControl::RepaintForAlpha() {
  if (!FAlphaBlend) return;
  Repaint();
  BroadcastAlphaRepaint();
}

void TskSkinControl::BroadcastAlphaRepaint() {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (auto* w = dynamic_cast<TWinControl*>(c))
      SendMessageW(w->Handle(), WM_SKINALPHAREPAINT, 0, 0);
    else
      c->Perform(WM_SKINALPHAREPAINT, 0, 0);
  }
}

bool TskSkinControl::SkinEffectsOn() const {
  return ::SkinEffectsOn(FSkinData);
}

void TskSkinControl::ApplyCharset(TFont* F, TFont* Def) const {
  ApplySkinCharset(FSkinData, F, Def);
}

void TskSkinControl::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  ReadSkinEntry();
  TBitmap b;
  b.SetSize(Width(), Height());
  FillColor(b.Canvas(), TRect(0, 0, Width(), Height()), Color());
  if (FEntryIndex >= 0)
    PaintSkinImage(&b);
  else if (FDrawDefault)
    PaintDefaultImage(&b);
  DrawControlImage(&b);
}

void TskSkinControl::DrawControlImage(TBitmap* Image) {
  ::DrawControlImage(this, Canvas()->Handle(), Image, FAlphaBlend, FAlphaBlendValue);
}

void TskSkinControl::EraseWithImage(TMessage& m) {
  m.Result = 1;
  if (FInPaint || !m.WParam) return;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  Canvas()->Lock();
  Canvas()->SetHandle(dc);
  TScopeGuard restore([&] {
    Canvas()->SetHandle(nullptr);
    Canvas()->Unlock();
  });
  Paint();
}

void TskSkinControl::WMEraseBkgnd(TMessage& m) {
  if (FEraseWithImage) {
    EraseWithImage(m);
    return;
  }
  m.Result = 1;
}

void TskSkinControl::WMPaint(TMessage& m) {
  bool was = FInPaint;
  FInPaint = true;
  TScopeGuard restore([&] { FInPaint = was; });
  TCustomControl::WMPaint(m);
}

void TskSkinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_SKINALPHAREPAINT:
    RepaintForAlpha();
    return;
  case WM_MOVE:
    TCustomControl::WndProc(m);
    if (FAlphaBlend) Invalidate();
    return;
  }
  TCustomControl::WndProc(m);
}

void TskSkinControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSkinData) FSkinData = nullptr;
  if (AComponent == FHintImageList) FHintImageList = nullptr;
}

// ---------------------------------------------------------------------------
// TskSkinCustomControl

TskSkinCustomControl::TskSkinCustomControl(TComponent* AOwner)
    : TskSkinControl(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName(L"Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
  FDefaultFont->OnChange = [this](TObject*) {
    DefaultFontChanged();
    if (FEntryIndex < 0) Invalidate();
  };
}

TskSkinCustomControl::~TskSkinCustomControl() {
  FDefaultFont->OnChange = nullptr;
}

void TskSkinCustomControl::SetDefaultFont(TFont* Value) {
  FDefaultFont->Assign(Value);
  DefaultFontChanged();
}

void TskSkinCustomControl::SetUseSkinFont(bool Value) {
  FUseSkinFont = Value;
  Invalidate();
}

void TskSkinCustomControl::SetDefaultWidth(int Value) {
  FDefaultWidth = Value;
  if (FEntryIndex < 0 && Value > 0) SetWidth(Value);
}

void TskSkinCustomControl::SetDefaultHeight(int Value) {
  FDefaultHeight = Value;
  if (FEntryIndex < 0 && Value > 0) SetHeight(Value);
}

int TskSkinCustomControl::SkinResizeMode() const {
  if (RectWidth(FSkinRect) <= 0 || RectHeight(FSkinRect) <= 0) return -1;
  if (FRBPoint.x != 0 && FRBPoint.y != 0) return 1;
  if (FRTPoint.x != 0 || FRTPoint.y != 0) return 2;
  if (FLBPoint.x != 0 || FLBPoint.y != 0) return 3;
  return 0;
}

void TskSkinCustomControl::ReadSkinEntry() {
  TskSkinControl::ReadSkinEntry();
  FPicture = FMaskPicture = nullptr;
  if (FEntryIndex < 0) {
    FResizeMode = -1;
    return;
  }
  auto* e = dynamic_cast<TskDataSkinCustomControl*>(FSkinData->ControlAt(FEntryIndex));
  const TskPicture* pic = e ? FSkinData->ActivePicture(e->PictureIndex) : nullptr;
  // An entry of another kind, without its picture or with a skin rectangle
  // outside it is drawn in the default look.
  if (!e || !SkinRectInPicture(e->SkinRect, pic)) {
    FEntryIndex = -1;
    FResizeMode = 0;
    return;
  }
  FLTPoint = e->LTPoint;
  FRTPoint = e->RTPoint;
  FLBPoint = e->LBPoint;
  FRBPoint = e->RBPoint;
  FSkinRect = e->SkinRect;
  FSkinClientRect = e->ClientRect;
  FCursorIndex = e->CursorIndex;
  FStretchEffect = e->StretchEffect;
  FLeftStretch = e->LeftStretch;
  FTopStretch = e->TopStretch;
  FRightStretch = e->RightStretch;
  FBottomStretch = e->BottomStretch;
  FStretchType = e->StretchType;
  FPicture = pic;
  FMaskPicture = FSkinData->ActivePicture(e->MaskPictureIndex);
  if (FMaskPicture && FMaskPicture->Empty()) FMaskPicture = nullptr;
  FResizeMode = SkinResizeMode();
}

void TskSkinCustomControl::FitSizeToSkin(int& AWidth, int& AHeight) {
  int dx = AWidth - RectWidth(FSkinRect), dy = AHeight - RectHeight(FSkinRect);
  switch (FResizeMode) {
  case 0:
    if (FEntryIndex < 0) return;
    AWidth = RectWidth(FSkinRect);
    AHeight = RectHeight(FSkinRect);
    FNewClientRect = FSkinClientRect;
    break;
  case 1:
    FNewLTPoint = FLTPoint;
    FNewRTPoint = AddPoint(FRTPoint, dx, 0);
    FNewLBPoint = AddPoint(FLBPoint, 0, dy);
    FNewRBPoint = AddPoint(FRBPoint, dx, dy);
    FNewClientRect = GrowRect(FSkinClientRect, dx, dy);
    break;
  case 2:
    AHeight = RectHeight(FSkinRect);
    FNewLTPoint = FLTPoint;
    FNewRTPoint = AddPoint(FRTPoint, dx, 0);
    FNewClientRect = GrowRect(FSkinClientRect, dx, 0);
    break;
  case 3:
    AWidth = RectWidth(FSkinRect);
    FNewLTPoint = FLTPoint;
    FNewLBPoint = AddPoint(FLBPoint, 0, dy);
    FNewClientRect = GrowRect(FSkinClientRect, 0, dy);
    break;
  default:
    break;
  }
}

void TskSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  ReadSkinEntry();
  bool changing = FEntryIndex >= 0 && (AWidth != Width() || AHeight != Height());
  if (changing) FitSizeToSkin(AWidth, AHeight);
  TskSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (changing) {
    UpdateControlRegion();
    Invalidate();
  }
  if (FEntryIndex >= 0 && FStretchEffect) BroadcastAlphaRepaint();
}

void TskSkinCustomControl::ApplyControlSkin() {
  ReadSkinEntry();
  if (FUseSkinCursor)
    SetCursor(FCursorIndex < 0 || !FSkinData ? crDefault
                                             : FSkinData->StartCursorIndex + FCursorIndex);
  if (FEntryIndex < 0) {
    if (FDefaultWidth > 0) SetWidth(FDefaultWidth);
    if (FDefaultHeight > 0) SetHeight(FDefaultHeight);
    UpdateControlRegion();
    Invalidate();
    return;
  }
  int w = Width(), h = Height();
  FitSizeToSkin(w, h);
  bool changed = false;
  if (w != Width()) {
    SetWidth(w);
    changed = true;
  }
  if (h != Height()) {
    SetHeight(h);
    changed = true;
  }
  if (!changed) {
    UpdateControlRegion();
    Invalidate();
  }
}

void TskSkinCustomControl::UpdateControlRegion() {
  if (!FMaskPicture || FEntryIndex < 0) {
    if (FRegionHandle) {
      if (HandleAllocated()) SetWindowRgn(FHandle, nullptr, TRUE);
      DeleteObject(FRegionHandle);
      FRegionHandle = nullptr;
    }
    return;
  }
  int w = Width(), h = Height();
  FitSizeToSkin(w, h);
  HRGN rgn = nullptr;
  TskSkinGeometry oldG{FLTPoint, FRTPoint, FLBPoint, FRBPoint, FSkinClientRect};
  TskSkinGeometry newG{FNewLTPoint, FNewRTPoint, FNewLBPoint, FNewRBPoint, FNewClientRect};
  switch (FResizeMode) {
  case 0:
    rgn = MaskBitmapToRegion(*FMaskPicture);
    break;
  case 1:
    rgn = CreateSkinRegion(oldG, newG, Width(), Height(), *FMaskPicture);
    break;
  case 2: {
    oldG.LBPoint = FLTPoint;
    oldG.RBPoint = FRTPoint;
    newG.LBPoint = FLTPoint;
    POINT p{FRTPoint.x + Width() - RectWidth(FSkinRect), FRTPoint.y};
    newG.RTPoint = newG.RBPoint = p;
    rgn = CreateSkinRegion(oldG, newG, Width(), Height(), *FMaskPicture);
    break;
  }
  case 3: {
    oldG.RTPoint = FLTPoint;
    oldG.RBPoint = FLBPoint;
    newG.RTPoint = FLTPoint;
    POINT p{FLBPoint.x, FLBPoint.y + Height() - RectHeight(FSkinRect)};
    newG.LBPoint = newG.RBPoint = p;
    rgn = CreateSkinRegion(oldG, newG, Width(), Height(), *FMaskPicture);
    break;
  }
  default:
    return;
  }
  // The window owns the region it is given; we keep a copy of our own.
  HRGN old = FRegionHandle;
  FRegionHandle = nullptr;
  if (rgn) {
    FRegionHandle = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(FRegionHandle, rgn, nullptr, RGN_COPY);
    if (HandleAllocated())
      SetWindowRgn(FHandle, rgn, TRUE);
    else
      DeleteObject(rgn);
  } else if (HandleAllocated()) {
    SetWindowRgn(FHandle, nullptr, TRUE);
  }
  if (old) DeleteObject(old);
}

TskSkinImageParams TskSkinCustomControl::ImageParams(const RECT& R, int W, int H) const {
  TskSkinImageParams p;
  p.Old = TskSkinGeometry{FLTPoint, FRTPoint, FLBPoint, FRBPoint, FSkinClientRect};
  p.New = TskSkinGeometry{FNewLTPoint, FNewRTPoint, FNewLBPoint, FNewRBPoint, FNewClientRect};
  p.LeftStretch = FLeftStretch;
  p.TopStretch = FTopStretch;
  p.RightStretch = FRightStretch;
  p.BottomStretch = FBottomStretch;
  p.DrawCentre = !FPaintFrameOnly;
  p.StretchEffect = FStretchEffect;
  p.StretchType = FStretchType;
  p.W = W;
  p.H = H;
  p.R = R;
  return p;
}

void TskSkinCustomControl::BuildSkinImage(TskPicture& Dest, const TskPicture& Pic, const RECT& R) {
  switch (FResizeMode) {
  case 0:
    Dest = CutPicture(Pic, R);
    break;
  case 1:
    if (!FPaintFrameOnly) CreateSkinImage(ImageParams(R, Width(), Height()), Pic, Dest);
    break;
  case 2:
    CreateHSkinImage(FLTPoint.x, RectWidth(FSkinRect) - FRTPoint.x, Dest, FStretchEffect, Width(),
                     R, Pic);
    break;
  case 3:
    CreateVSkinImage(FLTPoint.y, RectHeight(FSkinRect) - FLBPoint.y, Dest, FStretchEffect, Height(),
                     R, Pic);
    break;
  default:
    break;
  }
}

void TskSkinCustomControl::PaintDefaultImage(TBitmap* Bitmap) {
  FillColor(Bitmap->Canvas(), TRect(0, 0, Bitmap->Width(), Bitmap->Height()), clBtnFace);
}

void TskSkinCustomControl::PaintSkinImage(TBitmap* Bitmap) {
  if (!FPicture) return;
  TskPicture p;
  BuildSkinImage(p, *FPicture, FSkinRect);
  DrawPicture(Bitmap->Canvas()->Handle(), 0, 0, p);
}

void TskSkinCustomControl::Paint() {
  if (Width() < 1 || Height() < 1) return;
  ReadSkinEntry();
  int w = Width(), h = Height();
  FitSizeToSkin(w, h);
  if (!(FEntryIndex >= 0 && FPaintFrameOnly && FResizeMode == 1 && !FAlphaBlend)) {
    TskSkinControl::Paint();
    return;
  }
  TskPicture top, bottom, left, right;
  CreateSkinBorderImages(ImageParams(FSkinRect, Width(), Height()), *FPicture, top, bottom, left,
                         right);
  HDC dc = Canvas()->Handle();
  if (FFillClientArea) {
    RECT cr = FSkinClientRect;
    OffsetRect(&cr, FSkinRect.left, FSkinRect.top);
    TskPicture part = CutPicture(*FPicture, cr);
    int cw = part.Width(), ch = part.Height();
    TRect ncr(FNewClientRect);
    if (cw > 0 && ch > 0 && !ncr.IsEmpty()) {
      int saved = SaveDC(dc);
      IntersectClipRect(dc, ncr.Left, ncr.Top, ncr.Right, ncr.Bottom);
      if (!FStretchEffect) {
        for (int i = 0; i <= ncr.Width() / cw; ++i)
          for (int j = 0; j <= ncr.Height() / ch; ++j)
            DrawPicture(dc, ncr.Left + i * cw, ncr.Top + j * ch, part);
      } else if (FStretchType == stFull) {
        DrawPictureRect(dc, ncr, part, MakeRect(0, 0, cw, ch));
      } else if (FStretchType == stHorz) {
        for (int i = 0; i <= ncr.Width() / cw; ++i)
          DrawPictureRect(dc,
                          MakeRect(ncr.Left + i * cw, ncr.Top, ncr.Left + (i + 1) * cw, ncr.Bottom),
                          part, MakeRect(0, 0, cw, ch));
      } else {
        for (int j = 0; j <= ncr.Height() / ch; ++j)
          DrawPictureRect(dc,
                          MakeRect(ncr.Left, ncr.Top + j * ch, ncr.Right, ncr.Top + (j + 1) * ch),
                          part, MakeRect(0, 0, cw, ch));
      }
      RestoreDC(dc, saved);
    }
  }
  DrawPicture(dc, 0, 0, top);
  DrawPicture(dc, 0, top.Height(), left);
  DrawPicture(dc, Width() - right.Width(), top.Height(), right);
  DrawPicture(dc, 0, Height() - bottom.Height(), bottom);
}

RECT TskSkinCustomControl::MapSkinRect(const RECT& R) const {
  RECT r = R;
  int sw = RectWidth(FSkinRect), sh = RectHeight(FSkinRect);
  int dx = Width() - sw, dy = Height() - sh;
  switch (FResizeMode) {
  case 1: {
    RECT lt{0, 0, FLTPoint.x, FLTPoint.y};
    RECT rt{FRTPoint.x, 0, sw, FRTPoint.y};
    RECT lb{0, FLBPoint.y, FLBPoint.x, sh};
    RECT rb{FRBPoint.x, FRBPoint.y, sw, sh};
    auto zone = [&](POINT p) {
      if (p.x >= lt.left && p.x <= lt.right && p.y >= lt.top && p.y <= lt.bottom) return 0;
      if (p.x >= rt.left && p.x <= rt.right && p.y >= rt.top && p.y <= rt.bottom) return 1;
      if (p.x >= lb.left && p.x <= lb.right && p.y >= lb.top && p.y <= lb.bottom) return 2;
      if (p.x >= rb.left && p.x <= rb.right && p.y >= rb.top && p.y <= rb.bottom) return 3;
      return -1;
    };
    int a = zone(POINT{R.left, R.top}), b = zone(POINT{R.right, R.bottom});
    if (a == b && a >= 0) {
      if (a == 1) OffsetRect(&r, dx, 0);
      if (a == 2) OffsetRect(&r, 0, dy);
      if (a == 3) OffsetRect(&r, dx, dy);
    } else if (a == 0 && b == 3) {
      r.right += dx;
      r.bottom += dy;
    } else if (a == 0 && b == 1) {
      r.right += dx;
    } else if (a == 2 && b == 3) {
      r.right += dx;
      OffsetRect(&r, 0, dy);
    } else if (a == 0 && b == 2) {
      r.bottom += dy;
    } else if (a == 1 && b == 3) {
      OffsetRect(&r, dx, 0);
      r.bottom += dy;
    }
    break;
  }
  case 2:
    if (FLTPoint.x >= R.left && R.right >= FRTPoint.x)
      r.right += dx;
    else if (R.left >= FRTPoint.x && R.right > FRTPoint.x)
      OffsetRect(&r, dx, 0);
    break;
  case 3:
    if (FLTPoint.y >= R.top && R.bottom >= FLBPoint.y)
      r.bottom += dy;
    else if (R.top >= FLBPoint.y && R.bottom > FLBPoint.y)
      OffsetRect(&r, 0, dy);
    break;
  default:
    break;
  }
  return r;
}

void TskSkinCustomControl::SetSkinFont(TFont* F, const std::wstring& Name, int Height,
                                       TskFontStyles Style) const {
  if (FUseSkinFont && FEntryIndex >= 0) {
    F->SetName(Name);
    F->SetHeight(Height);
    F->SetStyle(Style.Bits);
  } else {
    F->SetName(FDefaultFont->Name());
    F->SetHeight(FDefaultFont->Height());
    F->SetStyle(FDefaultFont->Style());
  }
  ApplyCharset(F, FDefaultFont.get());
}

void TskSkinCustomControl::CreateWnd() {
  TskSkinControl::CreateWnd();
  ReadSkinEntry();
  UpdateControlRegion();
}

// ---------------------------------------------------------------------------
// Skin hooks of the labels, graphic button, splitter, control bar and bevel

TskSkinHookFields::TskSkinHookFields() : DefaultFont(std::make_unique<TFont>()) {}

TskSkinHookFields::~TskSkinHookFields() = default;

TskDataSkinControl* TskSkinHookFields::ReadDescription() {
  SkinIndex = SkinData && !SkinData->Empty() ? SkinData->FindControlDescription(SkinDataName) : -1;
  return SkinIndex >= 0 ? SkinData->ControlAt(SkinIndex) : nullptr;
}

BYTE TskSkinHookFields::SkinCharset() const {
  if (SkinData && SkinData->ResourceStrData())
    return static_cast<BYTE>(SkinData->ResourceStrData()->CharSet);
  return DefaultFont->Charset();
}

namespace {

template <class D> void CopyFont(TskSkinFontCopy& To, const D& From) {
  To.FontName = From.FontName;
  To.FontHeight = From.FontHeight;
  To.FontStyle = From.FontStyle;
  To.FontColor = From.FontColor;
}

void CopyFrame(TskSkinFrameCopy& To, const TskDataSkinCustomControl& From, TskSkinData* Skin) {
  To.LTPoint = From.LTPoint;
  To.RTPoint = From.RTPoint;
  To.LBPoint = From.LBPoint;
  To.RBPoint = From.RBPoint;
  To.SkinRect = From.SkinRect;
  To.ClientRect = From.ClientRect;
  To.LeftStretch = From.LeftStretch;
  To.TopStretch = From.TopStretch;
  To.RightStretch = From.RightStretch;
  To.BottomStretch = From.BottomStretch;
  To.StretchEffect = From.StretchEffect;
  To.StretchType = From.StretchType;
  To.Picture = Skin->ActivePicture(From.PictureIndex);
}

} // namespace

void ApplyStdLabelSkin1(TskSkinStdLabel* Control) {
  if (auto* d = dynamic_cast<TskDataSkinStdLabelControl*>(Control->ReadDescription())) {
    CopyFont(Control->Skin, *d);
    Control->ActiveFontColor = d->ActiveFontColor;
  }
  Control->Invalidate();
}

void TskSkinFitLabel::FitToCaption() {
  TBitmap measure;
  measure.SetSize(1, 1);
  TFont* f = measure.Canvas()->Font();
  if (SkinIndex >= 0 && UseSkinFont) {
    f->SetName(Skin.FontName);
    f->SetHeight(Skin.FontHeight);
    f->SetStyle(Skin.FontStyle.Bits);
  } else {
    f->Assign(DefaultFont.get());
  }
  TSize s = measure.Canvas()->TextExtent(Text());
  SetBounds(Left(), Top(), s.cx, s.cy);
}

void ApplyStdLabelSkin2(TskSkinFitLabel* Control) {
  if (auto* d = dynamic_cast<TskDataSkinStdLabelControl*>(Control->ReadDescription()))
    CopyFont(Control->Skin, *d);
  if (Control->AutoSize()) Control->FitToCaption();
  Control->Invalidate();
}

void ApplyStdLabelSkin3(TskSkinTextLabel* Control) {
  ApplyStdLabelSkin2(Control);
}

void ApplyStdLabelSkin4(TskSkinLinkLabel* Control) {
  if (auto* d = dynamic_cast<TskDataSkinStdLabelControl*>(Control->ReadDescription())) {
    CopyFont(Control->Skin, *d);
    Control->ActiveFontColor = d->ActiveFontColor;
  }
  Control->Invalidate();
}

void ApplyGraphicButtonSkin(TskSkinGraphicButton* Control) {
  TskDataSkinControl* entry = Control->ReadDescription();
  auto* d = dynamic_cast<TskDataSkinButtonControl*>(entry);
  if (d) {
    CopyFrame(Control->Frame, *d, Control->SkinData);
    CopyFont(Control->Skin, *d);
    Control->ActiveFontColor = d->ActiveFontColor;
    Control->DownFontColor = d->DownFontColor;
    Control->ActiveSkinRect = IsNullRect(d->ActiveSkinRect) ? d->SkinRect : d->ActiveSkinRect;
    Control->DownSkinRect = IsNullRect(d->DownSkinRect) ? Control->ActiveSkinRect : d->DownSkinRect;
  } else if (entry) {
    Control->Frame.Picture = nullptr;
  }
  if (d && d->LBPoint.x == 0 && d->LBPoint.y == 0)
    Control->SetHeight(RectHeight(Control->Frame.SkinRect));
  else if (!entry && Control->DefaultHeight != 0)
    Control->SetHeight(Control->DefaultHeight);
  Control->Invalidate();
}

void ApplySplitterSkin(TskSkinSplitter* Control) {
  auto* d = dynamic_cast<TskDataSkinSplitterControl*>(Control->ReadDescription());
  if (d) {
    TskSkinFrameCopy& f = Control->Frame;
    f.LTPoint = d->LTPoint;
    f.RTPoint = d->RTPoint;
    f.LBPoint = d->LBPoint;
    f.SkinRect = d->SkinRect;
    f.StretchEffect = d->StretchEffect;
    f.Picture = Control->SkinData->ActivePicture(d->PictureIndex);
    Control->GripperRect = d->GripperRect;
    Control->GripperTransparent = d->GripperTransparent;
    Control->GripperTransparentColor = d->GripperTransparentColor;
  }
  const bool own = Control->SkinIndex < 0 || Control->DefaultSizeAlways;
  if (Control->Align() == alTop || Control->Align() == alBottom)
    Control->SetHeight(own ? Control->DefaultSize : RectHeight(Control->Frame.SkinRect));
  else
    Control->SetWidth(own ? Control->DefaultSize : RectWidth(Control->Frame.SkinRect));
  Control->Invalidate();
}

void TskSkinControlBar::CreateWnd() {
  TCustomControl::CreateWnd();
  ++Recreations;
}

void ApplyControlBarSkin(TskSkinControlBar* Control) {
  if (auto* d = dynamic_cast<TskDataSkinControlBar*>(Control->ReadDescription())) {
    CopyFrame(Control->Frame, *d, Control->SkinData);
    Control->ItemRect = d->ItemRect;
    Control->BGPictureIndex = d->BGPictureIndex;
    Control->ItemStretchEffect = d->ItemStretchEffect;
    Control->ItemOffset1 = d->ItemOffset1;
    Control->ItemOffset2 = d->ItemOffset2;
    Control->ItemTransparent = d->ItemTransparent;
    Control->ItemTransparentColor = d->ItemTransparentColor;
  } else if (Control->SkinIndex < 0) {
    Control->BGPictureIndex = -1;
  }
  if (Control->RecreateOnSkin && Control->HandleAllocated()) Control->RecreateWnd();
  Control->Invalidate();
}

void ApplyBevelSkin(TskSkinBevel* Control) {
  auto* d = dynamic_cast<TskDataSkinBevel*>(Control->ReadDescription());
  if (d) {
    Control->LightColor = static_cast<TColor>(d->LightColor);
    Control->DarkColor = static_cast<TColor>(d->DarkColor);
  } else if (Control->SkinIndex < 0) {
    Control->LightColor = clBtnHighlight;
    Control->DarkColor = clBtnShadow;
  }
  Control->Invalidate();
}

// ---------------------------------------------------------------------------
// Button timers

void TskButtonTimers::StartMorph(std::function<void()> Tick) {
  if (!FMorphTimer) {
    FMorphTimer = std::make_unique<TTimer>(nullptr);
    FMorphTimer->SetEnabled(false);
    FMorphTimer->SetInterval(20);
    FMorphTimer->OnTimer = [Tick = std::move(Tick)](TObject*) { Tick(); };
  }
  FMorphTimer->SetEnabled(true);
}

void TskButtonTimers::StopMorph() {
  if (FMorphTimer) FMorphTimer->SetEnabled(false);
}

bool TskButtonTimers::MorphStep(double& Factor, bool Hot, bool CanMorph) {
  if (!CanMorph) {
    Factor = Hot ? 1 : 0;
    StopMorph();
    return false;
  }
  if (Hot && Factor < 1) {
    Factor = std::min(1.0, Factor + 0.2);
    if (Factor > 1 - 1e-9) Factor = 1;
  } else if (!Hot && Factor > 0) {
    Factor = std::max(0.0, Factor - 0.2);
    if (Factor < 1e-9) Factor = 0;
  } else {
    Factor = Hot ? 1 : 0;
    StopMorph();
  }
  return true;
}

void TskButtonTimers::StartAnimation(bool Forward, int FrameCount, int Interval,
                                     std::function<void()> Tick) {
  StopAnimation();
  FAnimForward = Forward;
  FAnimFrame = Forward ? 1 : FrameCount;
  FAnimTimer = std::make_unique<TTimer>(nullptr);
  FAnimTimer->SetInterval(static_cast<UINT>(std::max(1, Interval)));
  FAnimTimer->OnTimer = [Tick = std::move(Tick)](TObject*) { Tick(); };
}

void TskButtonTimers::StopAnimation() {
  FAnimTimer.reset();
  FAnimFrame = 0;
}

bool TskButtonTimers::AnimationStep(int FrameCount) {
  bool stepped = false;
  if (FAnimForward) {
    if (FAnimFrame <= FrameCount) {
      ++FAnimFrame;
      stepped = true;
    }
  } else if (FAnimFrame > 0 || (FBackFromZero && FAnimFrame == 0)) {
    --FAnimFrame;
    stepped = true;
  }
  if (FAnimForward ? FAnimFrame > FrameCount : FAnimFrame <= 0) {
    if (FAnimTimer) FAnimTimer->SetEnabled(false);
    FAnimFrame = 0;
  }
  return stepped;
}

RECT TskButtonTimers::AnimationFrameRect(const RECT& AnimateRect, const RECT& SkinRect,
                                         int FrameCount) const {
  if (FrameCount <= 0) return RECT{};
  RECT r = AnimateRect;
  if (RectWidth(AnimateRect) > RectWidth(SkinRect)) {
    int s = RectWidth(AnimateRect) / FrameCount;
    r.left = AnimateRect.left + (FAnimFrame - 1) * s;
    r.right = r.left + s;
  } else {
    int s = RectHeight(AnimateRect) / FrameCount;
    r.top = AnimateRect.top + (FAnimFrame - 1) * s;
    r.bottom = r.top + s;
  }
  return r;
}

void TskButtonTimers::StartRepeat(std::function<void()> Tick) {
  FRepeatTimer = std::make_unique<TTimer>(nullptr);
  FRepeatTimer->SetInterval(500);
  FRepeatFirst = true;
  FRepeatTimer->OnTimer = [Tick = std::move(Tick)](TObject*) { Tick(); };
}

bool TskButtonTimers::RepeatStep(int Interval) {
  if (!FRepeatTimer) return false;
  if (FRepeatFirst) {
    FRepeatFirst = false;
    FRepeatTimer->SetInterval(static_cast<UINT>(std::max(1, Interval)));
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// TskSkinButton

TskSkinButton::TskSkinButton(TComponent* AOwner)
    : TskSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  // Clicks come from the button's own mouse handling.
  FControlStyle &= ~csClickEvents;
  FSkinDataName = L"button";
  FEraseWithImage = true;
  SetBounds(0, 0, 75, 25);
  SetCanFocused(true);
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TskSkinButton::~TskSkinButton() {
  FGlyph->OnChange = nullptr;
  FTimers.Reset();
  SetImageList(nullptr);
}

void TskSkinButton::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Invalidate();
}

void TskSkinButton::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  Invalidate();
}

void TskSkinButton::SetImageList(TCustomImageList* Value) {
  if (FImageList) FImageList->RemoveFreeNotification(this);
  FImageList = Value;
  if (Value) Value->FreeNotification(this);
  Invalidate();
}

void TskSkinButton::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Invalidate();
}

void TskSkinButton::SetLayout(TskButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TskSkinButton::SetMargin(int Value) {
  if (Value < -1 || FMargin == Value) return;
  FMargin = Value;
  Invalidate();
}

void TskSkinButton::SetSpacing(int Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TskSkinButton::SetUseSkinSize(bool Value) {
  FUseSkinSize = Value;
  if (FSkinData && !FSkinData->Empty()) ApplyControlSkin();
}

void TskSkinButton::SetUseSkinFontColor(bool Value) {
  FUseSkinFontColor = Value;
  Invalidate();
}

void TskSkinButton::SetCanFocused(bool Value) {
  FCanFocused = Value;
  SetTabStop(Value);
}

void TskSkinButton::SetGroupIndex(int Value) {
  FGroupIndex = Value;
  if (Value != 0) SetCanFocused(false);
}

void TskSkinButton::SetDefault(bool Value) {
  FDefault = Value;
  if (HandleAllocated() && FCanFocused && !IsDesigning(this))
    if (TCustomForm* f = GetParentForm(this))
      f->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(f->ActiveControl()));
}

bool TskSkinButton::CanMorph() const {
  return FMorphing && FEntryIndex >= 0 && SkinEffectsOn();
}

void TskSkinButton::SetDown(bool Value) {
  FDown = Value;
  if (CanMorph()) {
    if (Value) {
      FMorphFactor = 1;
      StopMorph();
    } else {
      StartMorph();
    }
  }
  Invalidate();
  if (FGroupIndex != 0 && Value && !FAllowAllUp) ReleaseGroup();
}

void TskSkinButton::ReleaseGroup() {
  if (!Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* b = dynamic_cast<TskSkinButton*>(Parent()->Controls(i));
    if (b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) b->SetDown(false);
  }
}

void TskSkinButton::ReadSkinEntry() {
  TskSkinCustomControl::ReadSkinEntry();
  TskDataSkinButtonControl* e =
      FEntryIndex >= 0 ? dynamic_cast<TskDataSkinButtonControl*>(FSkinData->ControlAt(FEntryIndex))
                       : nullptr;
  if (!e) {
    if (FEntryIndex >= 0) FResizeMode = 0;
    FEntryIndex = -1;
    FPicture = FMaskPicture = nullptr;
    FMorphing = false;
    FAnimateSkinRect = RECT{};
    return;
  }
  FFontName = e->FontName;
  FFontHeight = e->FontHeight;
  FFontStyle = e->FontStyle;
  FFontColor = static_cast<TColor>(e->FontColor);
  FActiveFontColor = static_cast<TColor>(e->ActiveFontColor);
  FDownFontColor = static_cast<TColor>(e->DownFontColor);
  FDisabledFontColor = static_cast<TColor>(e->DisabledFontColor);
  if (FDisabledFontColor == FFontColor) FDisabledFontColor = 0x808080;
  // State pictures outside the picture fall back to the normal one.
  FNormalRect = FSkinRect;
  FActiveSkinRect = StateRect(e->ActiveSkinRect) ? e->ActiveSkinRect : FSkinRect;
  FDownSkinRect = StateRect(e->DownSkinRect) ? e->DownSkinRect : FActiveSkinRect;
  FDisabledSkinRect = StateRect(e->DisabledSkinRect) ? e->DisabledSkinRect : RECT{};
  FFocusedSkinRect = StateRect(e->FocusedSkinRect) ? e->FocusedSkinRect : RECT{};
  FMorphing = e->Morphing;
  FMorphKind = e->MorphKind;
  FAnimateSkinRect = StateRect(e->AnimateSkinRect) ? e->AnimateSkinRect : RECT{};
  FFrameCount = e->FrameCount;
  FAnimateInterval = e->AnimateInterval;
  FShowFocus = e->ShowFocus;
  if (!FUseSkinSize) FMaskPicture = nullptr;
  if (FTimers.AnimationFrame() > 0 && FTimers.AnimationFrame() <= FFrameCount) {
    RECT fr = AnimationFrameRect();
    if (StateRect(fr)) {
      if (FTimers.AnimationForward())
        FActiveSkinRect = fr;
      else
        FNormalRect = fr;
    }
  }
}

RECT TskSkinButton::AnimationFrameRect() const {
  return FTimers.AnimationFrameRect(FAnimateSkinRect, FSkinRect, FFrameCount);
}

void TskSkinButton::FitSizeToSkin(int& AWidth, int& AHeight) {
  if (FUseSkinSize || FResizeMode == 1) {
    TskSkinCustomControl::FitSizeToSkin(AWidth, AHeight);
    return;
  }
  FNewClientRect =
      GrowRect(FSkinClientRect, AWidth - RectWidth(FSkinRect), AHeight - RectHeight(FSkinRect));
}

void TskSkinButton::ApplyControlSkin() {
  StopAnimation();
  StopMorph();
  TskSkinCustomControl::ApplyControlSkin();
  if (FEntryIndex >= 0 && CanMorph()) FMorphFactor = (Focused() || FMouseIn) ? 1 : FMorphFactor;
}

bool TskSkinButton::DownRule() const {
  return FDown && (FGroupIndex != 0 || FMouseIn || (Focused() && FCanFocused && !FPressed));
}

int TskSkinButton::GlyphNumber(bool ADown, bool AMouseIn) const {
  if (ADown && AMouseIn && FNumGlyphs > 2) return 3;
  if (AMouseIn && FNumGlyphs > 3) return 4;
  if (Enabled() || FNumGlyphs < 2) return 1;
  return 2;
}

TColor TskSkinButton::StateFontColor(bool ADown, bool AMouseIn) const {
  if (Enabled() && !FUseSkinFontColor) return FDefaultFont->Color();
  if (!Enabled()) return FDisabledFontColor;
  if (ADown && AMouseIn) return FDownFontColor;
  if (AMouseIn) return FActiveFontColor;
  return FFontColor;
}

void TskSkinButton::DrawContent(TBitmap* Bitmap, const RECT& TextArea, bool ADown, bool AMouseIn) {
  TCanvas* C = Bitmap->Canvas();
  C->Brush()->SetStyle(bsClear);
  if (FImageList && FImageIndex >= 0 && FImageIndex < FImageList->Count())
    DrawImageAndText(C, TextArea, FMargin, 0, false, Enabled(), ADown && AMouseIn, FImageList,
                     FImageIndex, Caption(), FLayout, FSpacing);
  else
    DrawGlyphAndText(C, TextArea, FMargin, 0, false, Enabled(), ADown && AMouseIn, FGlyph.get(),
                     FNumGlyphs, GlyphNumber(ADown, AMouseIn), Caption(), FLayout, FSpacing);
}

void TskSkinButton::PaintStateImage(TBitmap* Bitmap, const RECT& R, bool ADown, bool AMouseIn) {
  int W = Width(), H = Height();
  Bitmap->SetSize(W, H);
  TskPicture pic;
  RECT text;
  if (!FUseSkinSize && FResizeMode != 1) {
    pic.SetSize(W, H);
    if (FResizeMode == 2 || FResizeMode == 3)
      CreateStretchImage(pic, *FPicture, R, FSkinClientRect, true);
    else
      StretchCopy(pic, MakeRect(0, 0, W, H), *FPicture, R);
    text = GrowRect(FSkinClientRect, W - RectWidth(R), H - RectHeight(R));
  } else {
    BuildSkinImage(pic, *FPicture, R);
    text = FNewClientRect;
  }
  TCanvas* C = Bitmap->Canvas();
  DrawPicture(C->Handle(), 0, 0, pic);
  SetSkinFont(C->Font(), FFontName, FFontHeight, FFontStyle);
  C->Font()->SetColor(StateFontColor(ADown, AMouseIn));
  if (FShowFocus && Focused()) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(static_cast<TColor>(FSkinData->SkinColors.cBtnFace));
    C->DrawFocusRect(TRect(text));
    C->Brush()->SetStyle(bsClear);
  }
  bool drawDefault = true;
  if (OnPaint) OnPaint(C, TRect(text), ADown, AMouseIn, drawDefault);
  if (drawDefault) DrawContent(Bitmap, text, ADown, AMouseIn);
}

void TskSkinButton::Paint() {
  if (Width() < 1 || Height() < 1) return;
  ReadSkinEntry();
  if (FEntryIndex < 0) {
    TskSkinCustomControl::Paint();
    return;
  }
  int w = Width(), h = Height();
  FitSizeToSkin(w, h);
  TBitmap b;
  bool focused = Focused() && FCanFocused;
  if (CanMorph() && FMorphFactor != 0 && FMorphFactor != 1 && Enabled()) {
    TBitmap n, a;
    PaintStateImage(&n, FNormalRect, false, false);
    PaintStateImage(&a, FActiveSkinRect, false, true);
    std::unique_ptr<TskEffectBmp> en(NewEffect(&n)), ea(NewEffect(&a));
    en->MorphByKind(FMorphKind, *ea, FMorphFactor);
    b.SetSize(Width(), Height());
    en->Draw(b.Canvas()->Handle(), 0, 0);
  } else if (!Enabled() && !IsRectEmpty(&FDisabledSkinRect)) {
    PaintStateImage(&b, FDisabledSkinRect, false, false);
  } else if (DownRule()) {
    PaintStateImage(&b, FDownSkinRect, true, true);
  } else if (focused && !IsRectEmpty(&FFocusedSkinRect) && FTimers.AnimationFrame() == 0) {
    PaintStateImage(&b, FFocusedSkinRect, false, true);
  } else if (focused || FMouseIn) {
    PaintStateImage(&b, FActiveSkinRect, false, true);
  } else if (CanMorph() && FMorphFactor == 1) {
    PaintStateImage(&b, FActiveSkinRect, false, true);
  } else {
    PaintStateImage(&b, FNormalRect, false, false);
  }
  DrawControlImage(&b);
}

void TskSkinButton::PaintDefaultImage(TBitmap* Bitmap) {
  TCanvas* C = Bitmap->Canvas();
  TRect r(0, 0, Bitmap->Width(), Bitmap->Height());
  FillColor(C, r, clBtnFace);
  C->Font()->Assign(FDefaultFont.get());
  ApplyCharset(C->Font(), FDefaultFont.get());
  if (!Enabled()) C->Font()->SetColor(clGrayText);
  bool down = DownRule();
  if (down)
    FrameFill(C, r, skDefaultFrameColor, skDefaultDownColor);
  else if (FMouseIn || (Focused() && FCanFocused))
    FrameFill(C, r, skDefaultFrameColor, skDefaultHotColor);
  else
    FrameFill(C, r, clGrayText, clBtnFace);
  bool drawDefault = true;
  if (OnPaint) OnPaint(C, r, FDown, FMouseIn, drawDefault);
  if (!drawDefault) return;
  C->Brush()->SetStyle(bsClear);
  if (FImageList && FImageIndex >= 0 && FImageIndex < FImageList->Count())
    DrawImageAndText(C, r, FMargin, 0, false, Enabled(), FDown && FMouseIn, FImageList, FImageIndex,
                     Caption(), FLayout, FSpacing);
  else
    DrawGlyphAndText(C, r, FMargin, 0, false, Enabled(), down, FGlyph.get(), FNumGlyphs,
                     GlyphNumber(FDown, FMouseIn), Caption(), FLayout, FSpacing);
}

void TskSkinButton::ButtonClick() {
  if (FCanFocused)
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
  if (OnClick && ActionLink())
    OnClick(this);
  else if (ActionLink() && !IsDesigning(this))
    ActionLink()->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TskSkinButton::Click() {
  if (!ActionLink()) TskSkinCustomControl::Click();
}

void TskSkinButton::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
  TskSkinCustomControl::ActionChange(Sender, CheckDefaults);
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (a && FGlyph->Empty() && a->ActionList() && a->ActionList()->Images()) {
    TCustomImageList* list = a->ActionList()->Images();
    if (a->ImageIndex() >= 0 && a->ImageIndex() < list->Count()) {
      FGlyph->SetSize(list->Width(), list->Height());
      FillColor(FGlyph->Canvas(), TRect(0, 0, list->Width(), list->Height()), 0xFF00FF);
      list->Draw(FGlyph->Canvas(), 0, 0, a->ImageIndex(), true);
    }
  }
  Invalidate();
}

void TskSkinButton::Notification(TComponent* AComponent, TOperation Operation) {
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImageList) FImageList = nullptr;
}

void TskSkinButton::CreateWnd() {
  TskSkinCustomControl::CreateWnd();
  FActiveDefault = FDefault;
}

// Morph.

void TskSkinButton::StartMorph() {
  FTimers.StartMorph([this] { MorphTick(); });
}

void TskSkinButton::StopMorph() {
  FTimers.StopMorph();
}

void TskSkinButton::MorphTick() {
  if (FTimers.MorphStep(FMorphFactor, FMouseIn || Focused(), FEntryIndex >= 0 && CanMorph()))
    Invalidate();
}

void TskSkinButton::UpdateHighlight() {
  if (CanMorph() && FEntryIndex >= 0)
    StartMorph();
  else
    Invalidate();
}

// Frame animation.

bool TskSkinButton::CanAnimate() const {
  return FEntryIndex >= 0 && SkinEffectsOn() && !IsRectEmpty(&FAnimateSkinRect);
}

void TskSkinButton::StartAnimation(bool Forward) {
  FTimers.StartAnimation(Forward, FFrameCount, FAnimateInterval, [this] { AnimationTick(); });
}

void TskSkinButton::StopAnimation() {
  FTimers.StopAnimation();
}

void TskSkinButton::AnimationTick() {
  if (FTimers.AnimationStep(FFrameCount)) Invalidate();
}

// Auto-repeat.

void TskSkinButton::StartRepeat() {
  FTimers.StartRepeat([this] { RepeatTick(); });
}

void TskSkinButton::StopRepeat() {
  FTimers.StopRepeat();
}

void TskSkinButton::RepeatTick() {
  if (FTimers.RepeatStep(FRepeatInterval)) ButtonClick();
}

// Mouse.

void TskSkinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FTimers.AnimationTimer()) StopAnimation();
  FPressed = true;
  if (!FDown) {
    FMouseIn = true;
    SetDown(true);
    if (FRepeatMode && FGroupIndex == 0)
      StartRepeat();
    else if (FGroupIndex != 0)
      ButtonClick();
    FPressOnDown = false;
  } else if (FGroupIndex != 0) {
    FPressOnDown = true;
  }
}

void TskSkinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    FPressed = false;
    bool wasDown = FDown;
    // A release outside the button is no click, whatever enter/leave said.
    bool inside = TRect(0, 0, Width(), Height()).Contains(TPoint(X, Y));
    if (!inside) FMouseIn = false;
    if (FGroupIndex == 0) {
      if (FMouseIn) {
        SetDown(false);
        StopRepeat();
        if (wasDown) ButtonClick();
      } else {
        FDown = false;
        StopRepeat();
        Invalidate();
      }
    } else if (wasDown && FAllowAllUp && FPressOnDown && FMouseIn) {
      SetDown(false);
      ButtonClick();
    }
  }
  if (HandleAllocated() && Visible()) TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TskSkinButton::CMMouseEnter(TMessage& m) {
  TskSkinCustomControl::CMMouseEnter(m);
  if (IsDesigning(this) || (m.LParam != 0 && m.LParam != reinterpret_cast<LPARAM>(this))) return;
  FMouseIn = true;
  bool applies = (FGroupIndex != 0 && !FDown) || (FGroupIndex == 0 && (!Focused() || FDown));
  if (applies) {
    if (FDown) {
      if (CanMorph()) FMorphFactor = 1;
      Invalidate();
    } else {
      if (CanAnimate()) StartAnimation(true);
      UpdateHighlight();
    }
  }
  if (FDown && FRepeatMode && FGroupIndex == 0) StartRepeat();
}

void TskSkinButton::CMMouseLeave(TMessage& m) {
  TskSkinCustomControl::CMMouseLeave(m);
  if (IsDesigning(this) || (m.LParam != 0 && m.LParam != reinterpret_cast<LPARAM>(this))) return;
  if (!(FCanFocused && FDefault && FActiveDefault && !Focused())) FMouseIn = false;
  bool applies = (FGroupIndex != 0 && !FDown) || (FGroupIndex == 0 && (!Focused() || FDown));
  if (applies) {
    if (CanAnimate()) StartAnimation(false);
    UpdateHighlight();
  }
  if (FDown && FRepeatMode && FTimers.RepeatTimer() && FGroupIndex == 0) StopRepeat();
}

void TskSkinButton::CMEnabledChanged(TMessage& m) {
  TskSkinCustomControl::CMEnabledChanged(m);
  if (CanMorph()) {
    StopMorph();
    FMorphFactor = 0;
  }
  FMouseIn = false;
  Invalidate();
}

void TskSkinButton::CMTextChanged(TMessage& m) {
  TskSkinCustomControl::CMTextChanged(m);
  if (FEntryIndex >= 0 || IsDesigning(this) || FDrawDefault) Invalidate();
}

void TskSkinButton::CMFocusChanged(TMessage& m) {
  auto* c = reinterpret_cast<TControl*>(m.LParam);
  auto* sb = dynamic_cast<TskSkinButton*>(c);
  FActiveDefault = sb ? sb == this : FDefault;
  if (FCanFocused && FDefault) {
    if (sb && sb != this) {
      FMouseIn = false;
      UpdateHighlight();
    } else if (!sb) {
      FMouseIn = true;
      if (CanMorph()) FMorphFactor = 1;
      Invalidate();
    }
  }
}

void TskSkinButton::CMDialogKey(TMessage& m) {
  if (FCanFocused && ((m.WParam == VK_RETURN && FActiveDefault && Enabled()) ||
                      (m.WParam == VK_ESCAPE && FCancel && GetKeyState(VK_SHIFT) >= 0 &&
                       GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 && CanFocus()))) {
    ButtonClick();
    m.Result = 1;
    return;
  }
  TskSkinCustomControl::CMDialogKey(m);
}

void TskSkinButton::CMDialogChar(TMessage& m) {
  const std::wstring& t = Caption();
  size_t p = t.find(L'&');
  while (p != std::wstring::npos && p + 1 < t.size() && t[p + 1] == L'&')
    p = t.find(L'&', p + 2);
  if (p != std::wstring::npos && p + 1 < t.size() && FCanFocused && CanFocus() &&
      towupper(t[p + 1]) == towupper(static_cast<wchar_t>(m.WParam))) {
    SetFocus();
    ButtonClick();
    m.Result = 1;
    return;
  }
  TskSkinCustomControl::CMDialogChar(m);
}

void TskSkinButton::WMSetFocus(TMessage& m) {
  TskSkinCustomControl::WMSetFocus(m);
  if (!FCanFocused) return;
  if (CanAnimate()) StartAnimation(true);
  UpdateHighlight();
}

void TskSkinButton::WMKillFocus(TMessage& m) {
  if (FRepeatMode && FTimers.RepeatTimer()) StopRepeat();
  if (FGroupIndex == 0 && FDown) FDown = false;
  TskSkinCustomControl::WMKillFocus(m);
  if (!FCanFocused) return;
  if (CanAnimate()) StartAnimation(false);
  UpdateHighlight();
}

void TskSkinButton::WndProc(TMessage& m) {
  if (FCanFocused) {
    switch (m.Msg) {
    case WM_KEYDOWN:
      if (m.WParam == VK_SPACE) {
        SetDown(true);
        if (FRepeatMode) ButtonClick();
      } else if (m.WParam == VK_RETURN) {
        ButtonClick();
      }
      break;
    case WM_KEYUP:
      if (m.WParam == VK_SPACE) {
        SetDown(false);
        ButtonClick();
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsDesigning(this) && !Focused()) {
        FClicksDisabled = true;
        SetFocus();
        FClicksDisabled = false;
        if (!Focused()) return;
      }
      break;
    case CN_COMMAND:
      if (FClicksDisabled) return;
      break;
    }
  }
  TskSkinCustomControl::WndProc(m);
}

// ---------------------------------------------------------------------------
// Range base of the gauge and the track bar

namespace {

// The share of a value between two bounds, kept within 0..1 (bounds given
// the wrong way round or equal give 0).
double ValueFraction(int Value, int Min, int Max) {
  if (Max <= Min) return 0;
  return std::clamp(static_cast<double>(Value - Min) / (Max - Min), 0.0, 1.0);
}

} // namespace

TskSkinRangeControl::TskSkinRangeControl(TComponent* AOwner, const wchar_t* HorizontalName,
                                         const wchar_t* VerticalName)
    : TskSkinCustomControl(AOwner), FHorizontalName(HorizontalName), FVerticalName(VerticalName) {
  FSkinDataName = HorizontalName;
}

double TskSkinRangeControl::Fraction() const {
  return ValueFraction(FValue, FMinValue, FMaxValue);
}

void TskSkinRangeControl::SetValue(int V) {
  if (V > FMaxValue) V = FMaxValue;
  if (V < FMinValue) V = FMinValue;
  if (V == FValue) return;
  FValue = V;
  Invalidate();
  ValueChanged();
}

void TskSkinRangeControl::SetMinValue(int V) {
  FMinValue = V;
  if (FValue < V) FValue = V;
  Invalidate();
}

void TskSkinRangeControl::SetMaxValue(int V) {
  FMaxValue = V;
  if (FValue > V) FValue = V;
  Invalidate();
}

void TskSkinRangeControl::SetVertical(bool V) {
  FVertical = V;
  FEntryVertical = V;
  if (IsDesigning(this) && !(ComponentState() & csLoading))
    FSkinDataName = V ? FVerticalName : FHorizontalName;
  Invalidate();
}

// ---------------------------------------------------------------------------
// Gauge

namespace {

// An area lengthened along a direction by the control's growth over the skin.
RECT GrowArea(const RECT& Area, bool Vertical, int Mode, int DW, int DH) {
  RECT r = Area;
  if (Mode == 0 || Mode == -1) return r;
  if (Vertical)
    r.bottom += DH;
  else
    r.right += DW;
  return r;
}

} // namespace

TskSkinGauge::TskSkinGauge(TComponent* AOwner) : TskSkinRangeControl(AOwner, L"gauge", L"vgauge") {
  FEraseWithImage = true;
  SetBounds(0, 0, 100, 20);
}

TskSkinGauge::~TskSkinGauge() {
  StopProgressAnimation();
}

void TskSkinGauge::SetUseSkinSize(bool V) {
  FUseSkinSize = V;
  if (FSkinData && !FSkinData->Empty()) ApplyControlSkin();
}

void TskSkinGauge::SetShowProgressText(bool V) {
  FShowProgressText = V;
  Invalidate();
}

void TskSkinGauge::SetProgressText(const std::wstring& V) {
  FProgressText = V;
  Invalidate();
}

void TskSkinGauge::SetShowPercent(bool V) {
  FShowPercent = V;
  Invalidate();
}

void TskSkinGauge::SetTextAlphaBlend(bool V) {
  FTextAlphaBlend = V;
  if (FEntryIndex >= 0 && (FShowProgressText || FShowPercent)) Invalidate();
}

void TskSkinGauge::SetTextAlphaBlendValue(BYTE V) {
  FTextAlphaBlendValue = V;
  if (FEntryIndex >= 0 && FTextAlphaBlend && (FShowProgressText || FShowPercent)) Invalidate();
}

void TskSkinGauge::SetProgressAnimationPause(int V) {
  if (V >= 0) FProgressAnimationPause = V;
}

TRect TskSkinGauge::ProgressRect(const TRect& Area) const {
  double k = Fraction();
  TRect r = Area;
  if (FEntryVertical)
    r.Top = r.Bottom - static_cast<int>(k * Area.Height());
  else
    r.Right = r.Left + static_cast<int>(k * Area.Width());
  return r;
}

void TskSkinGauge::ReadSkinEntry() {
  TskSkinCustomControl::ReadSkinEntry();
  auto* e = FEntryIndex >= 0
                ? dynamic_cast<TskDataSkinGaugeControl*>(FSkinData->ControlAt(FEntryIndex))
                : nullptr;
  if (!e) {
    FEntryIndex = -1;
    FPicture = FMaskPicture = nullptr;
    FEntryVertical = FVertical;
    return;
  }
  FProgressArea = e->ProgressArea;
  FProgressRectSkin = SkinRectInPicture(e->ProgressRect, FPicture) ? e->ProgressRect : RECT{};
  FProgressTransparent = e->ProgressTransparent;
  FProgressTransparentColor = static_cast<TColor>(e->ProgressTransparentColor);
  FProgressStretch = e->ProgressStretch;
  FEntryVertical = e->Vertical;
  FBeginOffset = std::max(0, e->BeginOffset);
  FEndOffset = std::max(0, e->EndOffset);
  FFontName = e->FontName;
  FFontHeight = e->FontHeight;
  FFontStyle = e->FontStyle;
  FFontColor = static_cast<TColor>(e->FontColor);
  FAnimRect = SkinRectInPicture(e->ProgressAnimationSkinRect, FPicture)
                  ? e->ProgressAnimationSkinRect
                  : RECT{};
  FAnimCount = e->ProgressAnimationCountFrames;
  FAnimInterval = e->ProgressAnimationTimerInterval;
  if (!FUseSkinSize) FMaskPicture = nullptr;
  FNewProgressArea = GrowArea(FProgressArea, FEntryVertical, FResizeMode,
                              Width() - RectWidth(FSkinRect), Height() - RectHeight(FSkinRect));
}

void TskSkinGauge::FitSizeToSkin(int& AWidth, int& AHeight) {
  if (!FUseSkinSize && FResizeMode != 1) return;
  TskSkinCustomControl::FitSizeToSkin(AWidth, AHeight);
  FNewProgressArea = GrowArea(FProgressArea, FEntryVertical, FResizeMode,
                              AWidth - RectWidth(FSkinRect), AHeight - RectHeight(FSkinRect));
}

void TskSkinGauge::ApplyControlSkin() {
  bool running = FFrameTimer != nullptr;
  StopProgressAnimation();
  TskSkinCustomControl::ApplyControlSkin();
  if (running) StartProgressAnimation();
}

std::wstring TskSkinGauge::ProgressTextValue() const {
  std::wstring t;
  if (FShowProgressText) t = FProgressText;
  if (FShowPercent) t += std::to_wstring(static_cast<int>(Fraction() * 100)) + L"%";
  return t;
}

void TskSkinGauge::DrawProgressText(TCanvas* C, int W, int H) {
  std::wstring t = ProgressTextValue();
  if (t.empty()) return;
  if (FEntryIndex >= 0) {
    SetSkinFont(C->Font(), FFontName, FFontHeight, FFontStyle);
    C->Font()->SetColor(FFontColor);
  } else {
    C->Font()->Assign(FDefaultFont.get());
    ApplyCharset(C->Font(), FDefaultFont.get());
  }
  C->Brush()->SetStyle(bsClear);
  if (FEntryVertical) {
    C->Font()->SetOrientation(900);
    TSize s = C->TextExtent(t);
    C->TextOut(W / 2 - s.cy / 2, s.cx / 2 + H / 2, t);
    C->Font()->SetOrientation(0);
  } else {
    TSize s = C->TextExtent(t);
    C->TextOut(W / 2 - s.cx / 2, H / 2 - s.cy / 2, t);
  }
}

void TskSkinGauge::PaintDefaultImage(TBitmap* B) {
  TCanvas* C = B->Canvas();
  TRect all(0, 0, B->Width(), B->Height());
  FrameFill(C, all, clGrayText, clWindow);
  TRect area(1, 1, B->Width() - 1, B->Height() - 1);
  FEntryVertical = FVertical;
  TRect p = ProgressRect(area);
  if (OnGaugePaint) {
    OnGaugePaint(C, area, p);
    return;
  }
  if (!p.IsEmpty()) FillColor(C, p, skDefaultHotColor);
  DrawProgressText(C, B->Width(), B->Height());
}

void TskSkinGauge::PaintSkinImage(TBitmap* B) {
  TskSkinCustomControl::PaintSkinImage(B);
  TCanvas* C = B->Canvas();
  TRect area(FNewProgressArea);
  TRect p = ProgressRect(area);
  if (OnGaugePaint) {
    OnGaugePaint(C, area, p);
    return;
  }
  RECT src = FProgressRectSkin;
  bool animFrame = false;
  if (FFrameTimer && FFrame > 0 && FAnimCount > 0 && !IsRectEmpty(&FAnimRect)) {
    RECT fr = FAnimRect;
    if (RectWidth(FAnimRect) > RectWidth(FProgressRectSkin)) {
      int s = RectWidth(FAnimRect) / FAnimCount;
      fr.left += (FFrame - 1) * s;
      fr.right = fr.left + s;
    } else {
      int s = RectHeight(FAnimRect) / FAnimCount;
      fr.top += (FFrame - 1) * s;
      fr.bottom = fr.top + s;
    }
    if (SkinRectInPicture(fr, FPicture)) {
      src = fr;
      animFrame = true;
    }
  }
  if (!p.IsEmpty() && !IsRectEmpty(&FProgressRectSkin)) {
    TskPicture bar(p.Width(), p.Height());
    bool ok = true;
    if (!FEntryVertical) {
      int inner = p.Width() - FBeginOffset - FEndOffset;
      RECT s = src;
      s.left += FBeginOffset;
      s.right -= FEndOffset;
      int sl = RectWidth(s);
      if (inner > 0 && sl > 0) {
        if (FProgressStretch || animFrame) {
          StretchCopy(bar, MakeRect(FBeginOffset, 0, FBeginOffset + inner, p.Height()), *FPicture,
                      s);
        } else {
          for (int k = 0; k <= inner / sl; ++k) {
            int x = FBeginOffset + k * sl;
            int w = std::min(sl, FBeginOffset + inner - x);
            if (w <= 0) break;
            StretchCopy(bar, MakeRect(x, 0, x + w, p.Height()), *FPicture,
                        MakeRect(s.left, s.top, s.left + w, s.bottom));
          }
        }
      } else if (sl <= 0) {
        ok = false;
      }
      if (ok && FBeginOffset > 0)
        StretchCopy(bar, MakeRect(0, 0, FBeginOffset, p.Height()), *FPicture,
                    MakeRect(FProgressRectSkin.left, FProgressRectSkin.top,
                             FProgressRectSkin.left + FBeginOffset, FProgressRectSkin.bottom));
      if (ok && FEndOffset > 0)
        StretchCopy(bar, MakeRect(p.Width() - FEndOffset, 0, p.Width(), p.Height()), *FPicture,
                    MakeRect(FProgressRectSkin.right - FEndOffset, FProgressRectSkin.top,
                             FProgressRectSkin.right, FProgressRectSkin.bottom));
    } else {
      int inner = p.Height() - FBeginOffset - FEndOffset;
      RECT s = src;
      s.top += FBeginOffset;
      s.bottom -= FEndOffset;
      int sl = RectHeight(s);
      if (inner > 0 && sl > 0) {
        if (FProgressStretch || animFrame) {
          StretchCopy(bar, MakeRect(0, FBeginOffset, p.Width(), FBeginOffset + inner), *FPicture,
                      s);
        } else {
          // Tiles from the bottom upwards.
          int bottom = FBeginOffset + inner;
          for (int k = 0; k <= inner / sl; ++k) {
            int y2 = bottom - k * sl;
            int h = std::min(sl, y2 - FBeginOffset);
            if (h <= 0) break;
            StretchCopy(bar, MakeRect(0, y2 - h, p.Width(), y2), *FPicture,
                        MakeRect(s.left, s.bottom - h, s.right, s.bottom));
          }
        }
      } else if (sl <= 0) {
        ok = false;
      }
      if (ok && FBeginOffset > 0)
        StretchCopy(bar, MakeRect(0, 0, p.Width(), FBeginOffset), *FPicture,
                    MakeRect(FProgressRectSkin.left, FProgressRectSkin.top, FProgressRectSkin.right,
                             FProgressRectSkin.top + FBeginOffset));
      if (ok && FEndOffset > 0)
        StretchCopy(bar, MakeRect(0, p.Height() - FEndOffset, p.Width(), p.Height()), *FPicture,
                    MakeRect(FProgressRectSkin.left, FProgressRectSkin.bottom - FEndOffset,
                             FProgressRectSkin.right, FProgressRectSkin.bottom));
    }
    if (!ok) return;
    if (FProgressTransparent) {
      TBitmap tmp;
      tmp.SetSize(bar.Width(), bar.Height());
      DrawPicture(tmp.Canvas()->Handle(), 0, 0, bar);
      TransparentBlt(C->Handle(), p.Left, p.Top, bar.Width(), bar.Height(), tmp.Canvas()->Handle(),
                     0, 0, bar.Width(), bar.Height(), ColorToRGB(FProgressTransparentColor));
    } else {
      DrawPicture(C->Handle(), p.Left, p.Top, bar);
    }
  }
  if (!FUseSkinSize) return;
  if (FTextAlphaBlend && !ProgressTextValue().empty()) {
    std::unique_ptr<TskEffectBmp> before(NewEffect(B));
    DrawProgressText(B->Canvas(), B->Width(), B->Height());
    std::unique_ptr<TskEffectBmp> after(NewEffect(B));
    after->Morph(*before, 1.0 - FTextAlphaBlendValue / 255.0);
    after->Draw(B->Canvas()->Handle(), 0, 0);
  } else {
    DrawProgressText(C, B->Width(), B->Height());
  }
}

void TskSkinGauge::Paint() {
  if (FUseSkinSize || Width() < 1 || Height() < 1) {
    TskSkinCustomControl::Paint();
    return;
  }
  ReadSkinEntry();
  if (FEntryIndex < 0) {
    TskSkinCustomControl::Paint();
    return;
  }
  // Composed at the skin's size (or the control's in resize mode 1) and
  // stretched to the control.
  int w = FResizeMode == 1 ? Width() : RectWidth(FSkinRect);
  int h = FResizeMode == 1 ? Height() : RectHeight(FSkinRect);
  if (FResizeMode == 2) h = RectHeight(FSkinRect), w = Width();
  if (FResizeMode == 3) w = RectWidth(FSkinRect), h = Height();
  int fw = w, fh = h;
  TskSkinCustomControl::FitSizeToSkin(fw, fh);
  FNewProgressArea = GrowArea(FProgressArea, FEntryVertical, FResizeMode, w - RectWidth(FSkinRect),
                              h - RectHeight(FSkinRect));
  TBitmap skin;
  skin.SetSize(w, h);
  PaintSkinImage(&skin);
  TBitmap b;
  b.SetSize(Width(), Height());
  SetStretchBltMode(b.Canvas()->Handle(), COLORONCOLOR);
  StretchBlt(b.Canvas()->Handle(), 0, 0, Width(), Height(), skin.Canvas()->Handle(), 0, 0, w, h,
             SRCCOPY);
  DrawProgressText(b.Canvas(), Width(), Height());
  DrawControlImage(&b);
}

void TskSkinGauge::StartProgressAnimation() {
  ReadSkinEntry();
  if (FEntryIndex < 0 || IsRectEmpty(&FAnimRect)) return;
  StopProgressAnimation();
  FPauseTimer = std::make_unique<TTimer>(nullptr);
  FPauseTimer->SetEnabled(false);
  FPauseTimer->SetInterval(static_cast<UINT>(std::max(1, FProgressAnimationPause)));
  FFrameTimer = std::make_unique<TTimer>(nullptr);
  FFrameTimer->SetEnabled(false);
  FFrameTimer->SetInterval(static_cast<UINT>(std::max(1, FAnimInterval)));
  auto run = [this] {
    FPauseTimer->SetEnabled(false);
    FFrame = 0;
    FFrameTimer->SetEnabled(true);
    Invalidate();
  };
  FPauseTimer->OnTimer = [run](TObject*) { run(); };
  FFrameTimer->OnTimer = [this](TObject*) {
    ++FFrame;
    if (FFrame > FAnimCount) {
      FPauseTimer->SetEnabled(true);
      FFrameTimer->SetEnabled(false);
      FFrame = 0;
    }
    Invalidate();
  };
  run();
}

void TskSkinGauge::StopProgressAnimation() {
  FFrame = 0;
  FPauseTimer.reset();
  FFrameTimer.reset();
}

// ---------------------------------------------------------------------------
// Track bar

TskSkinTrackBar::TskSkinTrackBar(TComponent* AOwner)
    : TskSkinRangeControl(AOwner, L"htrackbar", L"trackbar") {
  FEraseWithImage = true;
  SetBounds(0, 0, 100, 20);
}

void TskSkinTrackBar::ValueChanged() {
  if (OnChange) OnChange(this);
}

void TskSkinTrackBar::SetCanFocused(bool V) {
  FCanFocused = V;
  SetTabStop(V);
}

void TskSkinTrackBar::ReadSkinEntry() {
  TskSkinCustomControl::ReadSkinEntry();
  auto* e = FEntryIndex >= 0
                ? dynamic_cast<TskDataSkinTrackBarControl*>(FSkinData->ControlAt(FEntryIndex))
                : nullptr;
  if (!e || !SkinRectInPicture(e->ButtonRect, FPicture)) {
    FEntryIndex = -1;
    FPicture = FMaskPicture = nullptr;
    FEntryVertical = FVertical;
    return;
  }
  FActiveSkinRect = SkinRectInPicture(e->ActiveSkinRect, FPicture) ? e->ActiveSkinRect : RECT{};
  FTrackArea = e->TrackArea;
  FButtonRect = e->ButtonRect;
  FActiveButtonRect =
      SkinRectInPicture(e->ActiveButtonRect, FPicture) ? e->ActiveButtonRect : e->ButtonRect;
  FEntryVertical = e->Vertical;
  FButtonTransparent = e->ButtonTransparent;
  FButtonTransparentColor = static_cast<TColor>(e->ButtonTransparentColor);
}

void TskSkinTrackBar::FitSizeToSkin(int& AWidth, int& AHeight) {
  TskSkinCustomControl::FitSizeToSkin(AWidth, AHeight);
}

TRect TskSkinTrackBar::TrackArea() {
  if (FEntryIndex < 0) return TRect(2, 2, Width() - 2, Height() - 2);
  return TRect(GrowArea(FTrackArea, FEntryVertical, FResizeMode, Width() - RectWidth(FSkinRect),
                        Height() - RectHeight(FSkinRect)));
}

TRect TskSkinTrackBar::ThumbRect(const TRect& Area) {
  double k = Fraction();
  int tw, th;
  if (FEntryIndex >= 0) {
    tw = RectWidth(FButtonRect);
    th = RectHeight(FButtonRect);
  } else if (!FEntryVertical) {
    th = Height() - 4;
    tw = (Height() - 4) / 2;
  } else {
    tw = Width() - 4;
    th = (Width() - 4) / 2;
  }
  int hw = tw / 2, hh = th / 2;
  TRect r;
  if (!FEntryVertical) {
    FTrackStart = Area.Left + hw;
    FTrackEnd = Area.Right - hw;
    FOffset = RoundEven(k * (FTrackEnd - FTrackStart));
    r.Left = FTrackStart + FOffset - hw;
    r.Top = Area.Top + Area.Height() / 2 - hh;
  } else {
    FTrackStart = Area.Top + hh;
    FTrackEnd = Area.Bottom - hh;
    FOffset = RoundEven(k * (FTrackEnd - FTrackStart));
    r.Top = FTrackEnd - FOffset - hh;
    r.Left = Area.Left + Area.Width() / 2 - hw;
  }
  r.Right = r.Left + tw;
  r.Bottom = r.Top + th;
  return r;
}

int TskSkinTrackBar::ValueFromOffset(int Offset) const {
  if (FMaxValue <= FMinValue) return FMinValue;
  int len = FTrackEnd - FTrackStart;
  double k = len > 0 ? std::clamp(static_cast<double>(Offset) / len, 0.0, 1.0) : 0.0;
  return FMinValue + RoundEven((FMaxValue - FMinValue) * k);
}

void TskSkinTrackBar::PaintDefaultImage(TBitmap* B) {
  TCanvas* C = B->Canvas();
  int W = B->Width(), H = B->Height();
  FrameFill(C, TRect(0, 0, W, H), clGrayText, clBtnFace);
  TRect area(2, 2, W - 2, H - 2);
  if (!FEntryVertical) {
    int m = H / 2;
    FillColor(C, TRect(4, m - 1, W - 4, m), clGrayText);
    FillColor(C, TRect(4, m, W - 4, m + 1), clBtnHighlight);
  } else {
    int m = W / 2;
    FillColor(C, TRect(m - 1, 4, m, H - 4), clGrayText);
    FillColor(C, TRect(m, 4, m + 1, H - 4), clBtnHighlight);
  }
  FThumb = ThumbRect(area);
  FillColor(C, FThumb, clBtnFace);
  if (FDragging)
    FrameFill(C, FThumb, skDefaultFrameColor, skDefaultDownColor);
  else if (Focused() && FCanFocused)
    FrameFill(C, FThumb, skDefaultFrameColor, skDefaultHotColor);
  else
    FrameFill(C, FThumb, clGrayText, clBtnFace);
}

void TskSkinTrackBar::PaintSkinImage(TBitmap* B) {
  TskSkinCustomControl::PaintSkinImage(B);
  TCanvas* C = B->Canvas();
  FThumb = ThumbRect(TrackArea());
  if (!IsRectEmpty(&FActiveSkinRect)) {
    TskPicture act;
    BuildSkinImage(act, *FPicture, FActiveSkinRect);
    if (!FEntryVertical) {
      int x = FThumb.Left + FThumb.Width() / 2;
      if (x > 0)
        DrawPictureRect(C->Handle(), MakeRect(0, 0, x, act.Height()), act,
                        MakeRect(0, 0, x, act.Height()));
    } else {
      int y = FThumb.Top + FThumb.Height() / 2;
      DrawPictureRect(C->Handle(), MakeRect(0, y, act.Width(), act.Height()), act,
                      MakeRect(0, y, act.Width(), act.Height()));
    }
  }
  RECT br = (FDragging || (Focused() && FCanFocused)) ? FActiveButtonRect : FButtonRect;
  if (FButtonTransparent) {
    CopyPicturePart(B, FThumb.Left, FThumb.Top, *FPicture, br, true, FButtonTransparentColor);
  } else if (FAlphaBlend) {
    TBitmap thumb, under;
    thumb.SetSize(FThumb.Width(), FThumb.Height());
    under.SetSize(FThumb.Width(), FThumb.Height());
    CopyPicturePart(&thumb, 0, 0, *FPicture, br);
    BitBlt(under.Canvas()->Handle(), 0, 0, FThumb.Width(), FThumb.Height(), C->Handle(),
           FThumb.Left, FThumb.Top, SRCCOPY);
    std::unique_ptr<TskEffectBmp> t(NewEffect(&thumb)), u(NewEffect(&under));
    t->Morph(*u, 1.0 - FAlphaBlendValue / 255.0);
    t->Draw(C->Handle(), FThumb.Left, FThumb.Top);
  } else {
    CopyPicturePart(B, FThumb.Left, FThumb.Top, *FPicture, br);
  }
}

void TskSkinTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (!FMouseSupport) return;
  ReadSkinEntry();
  FThumb = ThumbRect(TrackArea());
  if (X >= FThumb.Left && X <= FThumb.Right && Y >= FThumb.Top && Y <= FThumb.Bottom) {
    FDragStart = FEntryVertical ? Y : X;
    FDragStartOffset = FOffset;
    FDragging = true;
    Invalidate();
    if (OnStartDragButton) OnStartDragButton(this);
  }
}

void TskSkinTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
  if (FMouseSupport && FDragging) {
    int off =
        FEntryVertical ? FDragStartOffset + (FDragStart - Y) : FDragStartOffset + (X - FDragStart);
    SetValue(ValueFromOffset(off));
  }
  TskSkinCustomControl::MouseMove(Shift, X, Y);
}

void TskSkinTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FMouseSupport) return;
  if (FDragging) {
    FDragging = false;
    Invalidate();
    if (OnLastChange) OnLastChange(this);
  } else if (FJumpWhenClick) {
    int a = FEntryIndex < 0 ? 2 : (FEntryVertical ? TrackArea().Top : TrackArea().Left);
    int off = FEntryVertical ? Height() - Y - FThumb.Height() / 2 - a : X - FThumb.Width() / 2 - a;
    SetValue(ValueFromOffset(off));
  }
}

void TskSkinTrackBar::KeyDown(WORD& Key, TShiftState Shift) {
  TskSkinCustomControl::KeyDown(Key, Shift);
  if (!FCanFocused) return;
  int d = 0;
  if (Key == VK_LEFT || Key == VK_DOWN) d = -1;
  if (Key == VK_RIGHT || Key == VK_UP) d = 1;
  if (!d) return;
  SetValue(FValue + d);
  if (OnLastChange) OnLastChange(this);
}

void TskSkinTrackBar::WndProc(TMessage& m) {
  switch (m.Msg) {
  case CM_WANTSPECIALKEY:
    if (FCanFocused &&
        (m.WParam == VK_LEFT || m.WParam == VK_RIGHT || m.WParam == VK_UP || m.WParam == VK_DOWN)) {
      m.Result = 1;
      return;
    }
    break;
  case WM_MOUSEWHEEL:
    if (FCanFocused && Focused()) {
      bool up = static_cast<short>(HIWORD(m.WParam)) > 0;
      int d = FEntryVertical ? (up ? 1 : -1) : (up ? -1 : 1);
      SetValue(FValue + d);
      if (OnLastChange) OnLastChange(this);
      m.Result = 0;
      return;
    }
    break;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    TskSkinCustomControl::WndProc(m);
    if (FCanFocused) Invalidate();
    return;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    if (FCanFocused && !IsDesigning(this) && !Focused()) {
      SetFocus();
      if (!Focused()) return;
    }
    break;
  }
  TskSkinCustomControl::WndProc(m);
}

// ---------------------------------------------------------------------------
// Scroll bar

namespace {
constexpr UINT_PTR kScrollTimer = 1;
}

TskSkinScrollBar::TskSkinScrollBar(TComponent* AOwner) : TskSkinCustomControl(AOwner) {
  FSkinDataName = L"hscrollbar";
  FEraseWithImage = true;
  SetBounds(0, 0, 200, 19);
  FDefaultHeight = 19;
}

TskSkinScrollBar::~TskSkinScrollBar() {
  StopTimer();
}

int TskSkinScrollBar::ClampPosition(int V) const {
  if (FPageSize != 0) {
    if (V < FMin)
      V = FMin;
    else if (V > FMax - FPageSize + 1)
      V = FMax - FPageSize + 1;
  } else {
    if (V < FMin) V = FMin;
    if (V > FMax) V = FMax;
  }
  return V;
}

void TskSkinScrollBar::SetPosition(int V) {
  V = ClampPosition(V);
  if (V == FPosition) return;
  FPosition = V;
  Invalidate();
  if (OnChange) OnChange(this);
}

void TskSkinScrollBar::SetRange(int AMin, int AMax, int APosition, int APageSize) {
  FMin = AMin;
  FMax = AMax;
  FPageSize = APageSize;
  FPosition = ClampPosition(APosition);
  Invalidate();
}

void TskSkinScrollBar::SetMax(int V) {
  FMax = V;
  if (FPageSize != 0) {
    if (V - FMin < FPageSize + FPosition) FPosition = V - FMin - FPageSize + 1;
    if (FPosition < FMin) FPosition = FMin;
  } else if (FPosition > V) {
    FPosition = V;
  }
  Invalidate();
}

void TskSkinScrollBar::SetMin(int V) {
  FMin = V;
  if (FPosition < V) FPosition = V;
  Invalidate();
}

void TskSkinScrollBar::SetPageSize(int V) {
  if (FMax - FMin + 1 >= V + FPosition) FPageSize = V;
  Invalidate();
}

void TskSkinScrollBar::SetSmallChange(int V) {
  FSmallChange = V;
  Invalidate();
}

void TskSkinScrollBar::SetLargeChange(int V) {
  FLargeChange = V;
  Invalidate();
}

void TskSkinScrollBar::SetCanFocused(bool V) {
  FCanFocused = V;
  SetTabStop(V);
}

void TskSkinScrollBar::SetKind(TScrollBarKind V) {
  if (FKind == V) return;
  FKind = V;
  if (IsDesigning(this) && !(ComponentState() & csLoading)) {
    FSkinDataName = V == sbVertical ? L"vscrollbar" : L"hscrollbar";
    if ((V == sbVertical) != (Height() > Width())) SetBounds(Left(), Top(), Height(), Width());
    std::swap(FDefaultWidth, FDefaultHeight);
  }
  Invalidate();
}

void TskSkinScrollBar::SetBoth(bool V) {
  if (FBoth == V) return;
  FBoth = V;
  if (!IsDesigning(this)) {
    if (V) {
      FSavedSkinDataName = FSkinDataName;
      FSkinDataName = FBothSkinDataName;
    } else {
      FSkinDataName = FSavedSkinDataName;
    }
  }
  ReadSkinEntry();
  if (FEntryIndex < 0)
    Invalidate();
  else
    ApplyControlSkin();
}

void TskSkinScrollBar::SetBothMarkerWidth(int V) {
  if (V < 0) return;
  FBothMarkerWidth = V;
  if (FEntryIndex < 0) Invalidate();
}

void TskSkinScrollBar::ReadSkinEntry() {
  TskSkinCustomControl::ReadSkinEntry();
  auto* e = FEntryIndex >= 0
                ? dynamic_cast<TskDataSkinScrollBarControl*>(FSkinData->ControlAt(FEntryIndex))
                : nullptr;
  if (!e || !SkinRectInPicture(e->ThumbRect, FPicture)) {
    FEntryIndex = -1;
    FPicture = FMaskPicture = nullptr;
    return;
  }
  FSkin = *e;
  auto in = [&](const RECT& r) { return SkinRectInPicture(r, FPicture); };
  if (!in(FSkin.ActiveUpButtonRect)) FSkin.ActiveUpButtonRect = RECT{};
  if (!in(FSkin.DownUpButtonRect)) FSkin.DownUpButtonRect = FSkin.ActiveUpButtonRect;
  if (!in(FSkin.ActiveDownButtonRect)) FSkin.ActiveDownButtonRect = RECT{};
  if (!in(FSkin.DownDownButtonRect)) FSkin.DownDownButtonRect = FSkin.ActiveDownButtonRect;
  if (!in(FSkin.ActiveThumbRect)) FSkin.ActiveThumbRect = FSkin.ThumbRect;
  if (!in(FSkin.DownThumbRect)) FSkin.DownThumbRect = FSkin.ActiveThumbRect;
  if (!in(FSkin.GlyphRect)) FSkin.GlyphRect = RECT{};
  if (!in(FSkin.ActiveGlyphRect)) FSkin.ActiveGlyphRect = FSkin.GlyphRect;
  if (!in(FSkin.DownGlyphRect)) FSkin.DownGlyphRect = FSkin.ActiveGlyphRect;
}

void TskSkinScrollBar::FitSizeToSkin(int& AWidth, int& AHeight) {
  TskSkinCustomControl::FitSizeToSkin(AWidth, AHeight);
}

void TskSkinScrollBar::CalcParts() {
  bool h = Horizontal();
  int begin, end;
  int L; // thumb length
  double f;
  bool paged = FPageSize != 0;
  if (FEntryIndex < 0) {
    int W = FBoth && h ? Width() - FBothMarkerWidth : Width();
    int H = Height();
    if (h) {
      FParts[2].R = TRect(1, 1, 17, H - 1);
      FParts[1].R = TRect(W - 17, 1, W - 1, H - 1);
      FTrack = TRect(17, 1, W - 17, H - 1);
    } else {
      FParts[2].R = TRect(1, 1, Width() - 1, 17);
      FParts[1].R = TRect(1, H - 17, Width() - 1, H - 1);
      FTrack = TRect(1, 17, Width() - 1, H - 17);
    }
    L = 16;
  } else {
    int grow = h ? Width() - RectWidth(FSkinRect) : Height() - RectHeight(FSkinRect);
    RECT t = FSkin.TrackArea;
    if (h)
      t.right += grow;
    else
      t.bottom += grow;
    FTrack = TRect(t);
    // The buttons lie in the bar's skin rectangle.
    RECT up = FSkin.UpButtonRect, down = FSkin.DownButtonRect;
    auto place = [&](RECT r) {
      // A button that starts at the resizing point moves with the right or
      // bottom end.
      if (h && FRTPoint.x <= r.left) OffsetRect(&r, grow, 0);
      if (!h && FLBPoint.y <= r.top) OffsetRect(&r, 0, grow);
      return TRect(r);
    };
    FParts[1].R = place(up);
    FParts[2].R = place(down);
    int tl = h ? RectWidth(FSkin.ThumbRect) : RectHeight(FSkin.ThumbRect);
    L = FSkin.ThumbMinSize > 0 ? FSkin.ThumbMinSize : tl;
    if (!paged && FSkin.ThumbMinPageSize > 0) L = FSkin.ThumbMinPageSize;
  }
  begin = h ? FTrack.Left : FTrack.Top;
  end = h ? FTrack.Right : FTrack.Bottom;
  int trackLen = end - begin;
  if (paged) {
    int span = FMax - FMin + 1;
    int prop = span != 0 ? RoundEven(static_cast<double>(trackLen) * FPageSize / span) : 0;
    L = std::max(prop, L);
    int div = FMax - FPageSize - FMin + 1;
    f = div > 0 ? static_cast<double>(FPosition - FMin) / div : (h ? 1.0 : 0.0);
  } else {
    f = FMax != FMin ? static_cast<double>(FPosition - FMin) / (FMax - FMin) : 0.0;
  }
  f = std::clamp(f, 0.0, 1.0);
  int half = L / 2;
  FTrackStart = begin + half;
  FTrackEnd = end - half;
  FOffset = RoundEven(f * (FTrackEnd - FTrackStart));
  int tlen = paged ? 2 * half : L;
  int across0, across1;
  if (FEntryIndex < 0) {
    across0 = h ? FTrack.Top : FTrack.Left;
    across1 = h ? FTrack.Bottom : FTrack.Right;
  } else {
    int thick = h ? RectHeight(FSkin.ThumbRect) : RectWidth(FSkin.ThumbRect);
    int a = h ? FTrack.Top : FTrack.Left, b = h ? FTrack.Bottom : FTrack.Right;
    across0 = a + ((b - a) - thick) / 2;
    across1 = across0 + thick;
  }
  if (h)
    FParts[0].R = TRect(begin + FOffset, across0, begin + FOffset + tlen, across1);
  else
    FParts[0].R = TRect(across0, begin + FOffset, across1, begin + FOffset + tlen);
}

int TskSkinScrollBar::PositionFromOffset(int Offset) {
  bool h = Horizontal();
  int begin = h ? FTrack.Left : FTrack.Top, end = h ? FTrack.Right : FTrack.Bottom;
  if (FPageSize != 0) {
    int L = h ? FParts[0].R.Width() : FParts[0].R.Height();
    int s = begin + L / 2, e = end - L / 2;
    double f = e - s > 0
                   ? std::clamp(static_cast<double>(Offset + FDragStartOffset) / (e - s), 0.0, 1.0)
                   : 0.0;
    return FMin + RoundEven((FMax - FMin - FPageSize + 1) * f);
  }
  int len = FTrackEnd - FTrackStart;
  double f = len > 0 ? std::clamp(static_cast<double>(Offset) / len, 0.0, 1.0) : 0.0;
  return FMin + RoundEven((FMax - FMin) * f);
}

void TskSkinScrollBar::DrawDefaultPart(TCanvas* C, int Part) {
  const TPart& p = FParts[Part];
  bool pressed = (p.Down && p.MouseIn) || (Part == 0 && (p.Down || (Focused() && FCanFocused)));
  if (pressed)
    FrameFill(C, p.R, skDefaultFrameColor, skDefaultDownColor);
  else if (p.MouseIn)
    FrameFill(C, p.R, skDefaultFrameColor, skDefaultHotColor);
  else
    FrameFill(C, p.R, clGrayText, clBtnFace);
  if (Part == 1) DrawArrow(C->Handle(), p.R, 0, Horizontal() ? 2 : 0);
  if (Part == 2) DrawArrow(C->Handle(), p.R, 0, Horizontal() ? 1 : 3);
}

void TskSkinScrollBar::PaintDefaultImage(TBitmap* B) {
  TCanvas* C = B->Canvas();
  FillColor(C, TRect(0, 0, B->Width(), B->Height()), clBtnFace);
  CalcParts();
  if (Enabled()) DrawDefaultPart(C, 0);
  DrawDefaultPart(C, 1);
  DrawDefaultPart(C, 2);
}

void TskSkinScrollBar::DrawSkinPart(TBitmap* B, int Part) {
  const TPart& p = FParts[Part];
  TCanvas* C = B->Canvas();
  if (Part != 0) {
    RECT src{};
    if (p.Down && p.MouseIn)
      src = Part == 1 ? FSkin.DownUpButtonRect : FSkin.DownDownButtonRect;
    else if (p.MouseIn)
      src = Part == 1 ? FSkin.ActiveUpButtonRect : FSkin.ActiveDownButtonRect;
    if (!IsRectEmpty(&src)) CopyPicturePart(B, p.R.Left, p.R.Top, *FPicture, src);
    return;
  }
  bool h = Horizontal();
  bool pressed = p.Down || (Focused() && FCanFocused);
  RECT src = pressed ? FSkin.DownThumbRect : p.MouseIn ? FSkin.ActiveThumbRect : FSkin.ThumbRect;
  RECT glyph = pressed ? FSkin.DownGlyphRect : p.MouseIn ? FSkin.ActiveGlyphRect : FSkin.GlyphRect;
  TskPicture thumb;
  if (FPageSize != 0 || FSkin.ThumbMinPageSize > 0) {
    if (h)
      CreateHSkinImage(FSkin.ThumbOffset1, FSkin.ThumbOffset2, thumb, FSkin.ThumbStretchEffect,
                       p.R.Width(), src, *FPicture);
    else
      CreateVSkinImage(FSkin.ThumbOffset1, FSkin.ThumbOffset2, thumb, FSkin.ThumbStretchEffect,
                       p.R.Height(), src, *FPicture);
  } else {
    thumb = CutPicture(*FPicture, src);
  }
  if (thumb.Empty()) return;
  TBitmap tb;
  tb.SetSize(thumb.Width(), thumb.Height());
  DrawPicture(tb.Canvas()->Handle(), 0, 0, thumb);
  if (!IsRectEmpty(&glyph))
    CopyPicturePart(&tb, (thumb.Width() - RectWidth(glyph)) / 2,
                    (thumb.Height() - RectHeight(glyph)) / 2, *FPicture, glyph,
                    FSkin.GlyphTransparent, static_cast<TColor>(FSkin.GlyphTransparentColor));
  if (FSkin.ThumbTransparent) {
    TransparentBlt(C->Handle(), p.R.Left, p.R.Top, tb.Width(), tb.Height(), tb.Canvas()->Handle(),
                   0, 0, tb.Width(), tb.Height(),
                   ColorToRGB(static_cast<TColor>(FSkin.ThumbTransparentColor)));
  } else if (FAlphaBlend) {
    TBitmap under;
    under.SetSize(tb.Width(), tb.Height());
    BitBlt(under.Canvas()->Handle(), 0, 0, tb.Width(), tb.Height(), C->Handle(), p.R.Left, p.R.Top,
           SRCCOPY);
    std::unique_ptr<TskEffectBmp> t(NewEffect(&tb)), u(NewEffect(&under));
    t->Morph(*u, 1.0 - FAlphaBlendValue / 255.0);
    t->Draw(C->Handle(), p.R.Left, p.R.Top);
  } else {
    BitBlt(C->Handle(), p.R.Left, p.R.Top, tb.Width(), tb.Height(), tb.Canvas()->Handle(), 0, 0,
           SRCCOPY);
  }
}

void TskSkinScrollBar::PaintSkinImage(TBitmap* B) {
  TskSkinCustomControl::PaintSkinImage(B);
  CalcParts();
  DrawSkinPart(B, 1);
  DrawSkinPart(B, 2);
  if (Enabled()) DrawSkinPart(B, 0);
}

void TskSkinScrollBar::StartTimer(UINT Interval) {
  FTimerInterval = Interval;
  FTimerOn = true;
  if (HandleAllocated()) SetTimer(FHandle, kScrollTimer, Interval, nullptr);
}

void TskSkinScrollBar::StopTimer() {
  if (FTimerOn && HandleAllocated()) KillTimer(FHandle, kScrollTimer);
  FTimerOn = false;
}

void TskSkinScrollBar::PartPress(int Part) {
  FParts[Part].Down = true;
  Invalidate();
  if (Part == 1) {
    if (OnUpButtonClick)
      OnUpButtonClick(this);
    else
      SetPosition(FPosition + FSmallChange);
    FTimerMode = 2;
    StartTimer(500);
  } else if (Part == 2) {
    if (OnDownButtonClick)
      OnDownButtonClick(this);
    else
      SetPosition(FPosition - FSmallChange);
    FTimerMode = 1;
    StartTimer(500);
  } else {
    FDragStart = Horizontal() ? FMousePos.x : FMousePos.y;
    FDragStartOffset = FOffset;
    FDragging = true;
    Invalidate();
  }
}

void TskSkinScrollBar::PartRelease(int Part) {
  FParts[Part].Down = false;
  if (Part != FHoverPart) FParts[Part].MouseIn = false;
  Invalidate();
  if (Part == 0) {
    FDragging = false;
  } else {
    StopTimer();
    FTimerMode = 0;
  }
}

void TskSkinScrollBar::UpdateHover(int X, int Y) {
  TPoint p(X, Y);
  int n = -1;
  for (int i = 0; i < 3; ++i)
    if (FParts[i].R.Contains(p)) {
      n = i;
      break;
    }
  if (FPressedPart >= 0 && n != FPressedPart) n = -1;
  if (n == FHoverPart) return;
  if (FHoverPart >= 0) {
    FParts[FHoverPart].MouseIn = false;
    Invalidate();
    if (FHoverPart == FPressedPart && FHoverPart != 0) StopTimer();
  }
  FHoverPart = n;
  if (n >= 0) {
    FParts[n].MouseIn = true;
    Invalidate();
    if (n == FPressedPart && n != 0 && FMouseHeld) StartTimer(50);
  }
}

void TskSkinScrollBar::TimerTick() {
  if (FFirstTick) {
    FFirstTick = false;
    StartTimer(50);
    return;
  }
  switch (FTimerMode) {
  case 1:
    if (OnDownButtonClick)
      OnDownButtonClick(this);
    else
      SetPosition(FPosition - FSmallChange);
    break;
  case 2:
    if (OnUpButtonClick)
      OnUpButtonClick(this);
    else
      SetPosition(FPosition + FSmallChange);
    break;
  case 3:
  case 4: {
    UpdateHover(FMousePos.x, FMousePos.y);
    CalcParts();
    const TRect& t = FParts[0].R;
    bool before = Horizontal() ? FMousePos.x < t.Left : FMousePos.y < t.Top;
    bool beyond = Horizontal() ? FMousePos.x >= t.Right : FMousePos.y >= t.Bottom;
    if (FTimerMode == 3 && before) {
      SetPosition(FPosition - FLargeChange);
      if (OnPageUp) OnPageUp(this);
    } else if (FTimerMode == 4 && beyond) {
      SetPosition(FPosition + FLargeChange);
      if (OnPageDown) OnPageDown(this);
    } else {
      StopTimer();
      FTimerMode = 0;
    }
    break;
  }
  default:
    StopTimer();
  }
}

void TskSkinScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FMouseHeld = true;
  FMousePos = POINT{X, Y};
  ReadSkinEntry();
  CalcParts();
  FTimerMode = 0;
  FFirstTick = true;
  TPoint p(X, Y);
  for (int i = 0; i < 3; ++i)
    if (FParts[i].R.Contains(p)) {
      FPressedPart = i;
      FParts[i].MouseIn = true;
      FHoverPart = i;
      PartPress(i);
      return;
    }
  if (!FTrack.Contains(p)) return;
  const TRect& t = FParts[0].R;
  if (Horizontal() ? X < t.Left : Y < t.Top) {
    SetPosition(FPosition - FLargeChange);
    FTimerMode = 3;
    StartTimer(500);
    if (OnPageUp) OnPageUp(this);
  } else {
    SetPosition(FPosition + FLargeChange);
    FTimerMode = 4;
    StartTimer(500);
    if (OnPageDown) OnPageDown(this);
  }
}

void TskSkinScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  FMousePos = POINT{X, Y};
  UpdateHover(X, Y);
  if (FDragging) {
    int c = Horizontal() ? X : Y;
    int off = FPageSize != 0 ? c - FDragStart : FDragStartOffset + (c - FDragStart);
    SetPosition(PositionFromOffset(off));
  }
  TskSkinCustomControl::MouseMove(Shift, X, Y);
}

void TskSkinScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FMouseHeld = false;
  if (FTimerMode > 2) {
    StopTimer();
    FTimerMode = 0;
  }
  bool endDrag = false;
  if (FPressedPart >= 0) {
    endDrag = FPressedPart == 0 && FDragging;
    PartRelease(FPressedPart);
  }
  if (endDrag && OnLastChange) OnLastChange(this);
  FPressedPart = -1;
}

void TskSkinScrollBar::KeyDown(WORD& Key, TShiftState Shift) {
  TskSkinCustomControl::KeyDown(Key, Shift);
  if (!FCanFocused) return;
  if (Key == VK_LEFT || Key == VK_UP) SetPosition(FPosition - FSmallChange);
  if (Key == VK_RIGHT || Key == VK_DOWN) SetPosition(FPosition + FSmallChange);
}

void TskSkinScrollBar::CMMouseEnter(TMessage& m) {
  TskSkinCustomControl::CMMouseEnter(m);
}

void TskSkinScrollBar::CMMouseLeave(TMessage& m) {
  TskSkinCustomControl::CMMouseLeave(m);
  if (FHoverPart >= 0 && FPressedPart < 0 && !FDragging) {
    FParts[FHoverPart].MouseIn = false;
    FHoverPart = -1;
    Invalidate();
  }
  // Paging stops when the mouse leaves the bar, in either direction.
  if (FMouseHeld && (FTimerMode == 3 || FTimerMode == 4)) {
    StopTimer();
    FTimerMode = 0;
  }
}

void TskSkinScrollBar::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_TIMER:
    if (m.WParam == kScrollTimer) {
      TimerTick();
      return;
    }
    break;
  case CM_WANTSPECIALKEY:
    if (FCanFocused &&
        (m.WParam == VK_LEFT || m.WParam == VK_RIGHT || m.WParam == VK_UP || m.WParam == VK_DOWN)) {
      m.Result = 1;
      return;
    }
    break;
  case WM_MOUSEWHEEL:
    if (FCanFocused && Focused()) {
      if (static_cast<short>(HIWORD(m.WParam)) <= 0)
        SetPosition(FPosition + FSmallChange);
      else
        SetPosition(FPosition - FSmallChange);
      return;
    }
    break;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    TskSkinCustomControl::WndProc(m);
    if (FCanFocused) Invalidate();
    return;
  case CM_ENABLEDCHANGED:
    TskSkinCustomControl::WndProc(m);
    Invalidate();
    return;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    if (FCanFocused && !IsDesigning(this) && !Focused()) {
      SetFocus();
      if (!Focused()) return;
    }
    break;
  }
  TskSkinCustomControl::WndProc(m);
}

// ---------------------------------------------------------------------------
// List view

TskSkinCustomListView::TskSkinCustomListView(TComponent* AOwner)
    : TListView(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName(L"Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
  Font()->Assign(FDefaultFont.get());
}

TskSkinCustomListView::~TskSkinCustomListView() {
  FHeaderSubclass.Release();
  if (FVScrollBar) FVScrollBar->OnChange = nullptr;
  if (FHScrollBar) FHScrollBar->OnChange = nullptr;
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  if (FVScrollBar) FVScrollBar->RemoveFreeNotification(this);
  if (FHScrollBar) FHScrollBar->RemoveFreeNotification(this);
}

void TskSkinCustomListView::SetSkinData(TskSkinData* Value) {
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (Value) Value->FreeNotification(this);
  if (Value && !Value->Empty() && !IsDesigning(this)) ApplyControlSkin();
}

void TskSkinCustomListView::SetDefaultFont(TFont* Value) {
  FDefaultFont->Assign(Value);
  if (FEntryIndex < 0) Font()->Assign(FDefaultFont.get());
}

void TskSkinCustomListView::SetDefaultColor(TColor Value) {
  FDefaultColor = Value;
  if (FEntryIndex < 0) SetColor(Value);
}

void TskSkinCustomListView::SetVScrollBar(TskSkinScrollBar* Value) {
  if (FVScrollBar) FVScrollBar->RemoveFreeNotification(this);
  FVScrollBar = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetEnabled(true);
    Value->SetVisible(false);
    Value->OnChange = [this](TObject* S) { VScrollBarChange(S); };
  }
  UpdateScrollBars();
}

void TskSkinCustomListView::SetHScrollBar(TskSkinScrollBar* Value) {
  if (FHScrollBar) FHScrollBar->RemoveFreeNotification(this);
  FHScrollBar = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetEnabled(true);
    Value->SetVisible(false);
    Value->OnChange = [this](TObject* S) { HScrollBarChange(S); };
  }
  UpdateScrollBars();
}

void TskSkinCustomListView::Loaded() {
  TListView::Loaded();
  ApplyControlSkin();
}

void TskSkinCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
  TListView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSkinData) FSkinData = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
}

void TskSkinCustomListView::ApplyControlSkin() {
  FEntryIndex =
      FSkinData && !FSkinData->Empty() ? FSkinData->FindControlDescription(FSkinDataName) : -1;
  auto* e = FEntryIndex >= 0 ? dynamic_cast<TskDataSkinListView*>(FSkinData->ControlAt(FEntryIndex))
                             : nullptr;
  if (!e) {
    FEntryIndex = -1;
    SetColor(FDefaultColor);
    Font()->Assign(FDefaultFont.get());
  } else {
    if (FUseSkinFont) {
      Font()->SetName(e->FontName);
      Font()->SetStyle(e->FontStyle.Bits);
      Font()->SetHeight(e->FontHeight);
    } else {
      Font()->Assign(FDefaultFont.get());
    }
    Font()->SetColor(static_cast<TColor>(e->FontColor));
    SetColor(static_cast<TColor>(e->BGColor));
  }
  if (FSkinData && FSkinData->ResourceStrData())
    Font()->SetCharset(static_cast<BYTE>(FSkinData->ResourceStrData()->CharSet));
  else
    Font()->SetCharset(FDefaultFont->Charset());
  UpdateScrollBars();
  if (Parent() && ((FVScrollBar && FVScrollBar->Align() != alNone) ||
                   (FHScrollBar && FHScrollBar->Align() != alNone)))
    Parent()->Realign();
  if (ViewStyle() == vsReport && FHeaderSubclass.Active())
    InvalidateRect(FHeaderSubclass.Window(), nullptr, TRUE);
}

void TskSkinCustomListView::CreateParams(TCreateParams& Params) {
  TListView::CreateParams(Params);
  Params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
}

void TskSkinCustomListView::DestroyWnd() {
  FHeaderSubclass.Release();
  TListView::DestroyWnd();
}

void TskSkinCustomListView::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_PARENTNOTIFY:
    if (LOWORD(m.WParam) == WM_CREATE && ShowColumnHeaders()) {
      HWND child = reinterpret_cast<HWND>(m.LParam);
      wchar_t name[80] = {};
      GetClassNameW(child, name, 80);
      if (std::wstring(name) == L"SysHeader32") {
        FHeaderSubclass.Release();
        FHeaderSubclass.Hook(child, [this](TMessage& hm) { return HeaderProc(hm); });
      }
    }
    break;
  case WM_NCCALCSIZE:
  case WM_NCPAINT:
    // No frame and no native bars.
    m.Result = 0;
    return;
  case CM_SKINQUERY:
    m.Result = 12851;
    return;
  case CM_SKINHEADERPAINT:
    if (FHeaderSubclass.Active()) PaintHeader(reinterpret_cast<HDC>(m.WParam));
    return;
  case CM_VISIBLECHANGED:
    TListView::WndProc(m);
    if (FVScrollBar) FVScrollBar->SetVisible(Visible() && FVScrollBar->Visible());
    if (FHScrollBar) FHScrollBar->SetVisible(Visible() && FHScrollBar->Visible());
    UpdateScrollBars();
    return;
  }
  TListView::WndProc(m);
  switch (m.Msg) {
  case WM_CREATE:
    if (!FHeaderSubclass.Active() && ShowColumnHeaders())
      if (HWND h = reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETHEADER, 0, 0)))
        FHeaderSubclass.Hook(h, [this](TMessage& hm) { return HeaderProc(hm); });
    break;
  case WM_SIZE:
  case WM_PAINT:
    if (!FUpdatingBars) UpdateScrollBars();
    break;
  case WM_KEYDOWN:
  case WM_LBUTTONUP:
  case WM_MOUSEWHEEL:
    UpdateScrollBars();
    break;
  }
}

bool TskSkinCustomListView::HeaderProc(TMessage& m) {
  HWND hdr = FHeaderSubclass.Window();
  switch (m.Msg) {
  case WM_WINDOWPOSCHANGING: {
    auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
    if (!(wp->flags & SWP_NOSIZE)) wp->cx += 4;
    m.Result = 0;
    return true;
  }
  case WM_PAINT:
    PaintHeader(reinterpret_cast<HDC>(m.WParam));
    m.Result = 0;
    return true;
  case WM_ERASEBKGND:
    m.Result = 1;
    return true;
  case WM_LBUTTONDOWN: {
    FHeaderSubclass.CallPrevious(m);
    if (!IsWindow(hdr)) return true;
    TPoint p(m.XPos(), m.YPos());
    FActiveSection = -1;
    int n = static_cast<int>(SendMessageW(hdr, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(std::max(n, 0));
    if (n > 0) SendMessageW(hdr, HDM_GETORDERARRAY, n, reinterpret_cast<LPARAM>(order.data()));
    for (int pos = 0; pos < n; ++pos) {
      RECT r{};
      SendMessageW(hdr, HDM_GETITEMRECT, order[pos], reinterpret_cast<LPARAM>(&r));
      if (TRect(r).Contains(p)) {
        FActiveSection = order[pos];
        break;
      }
    }
    HDHITTESTINFO hit{};
    hit.pt = POINT{p.X, p.Y};
    SendMessageW(hdr, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    FHeaderPressed = FActiveSection >= 0 && !(hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN));
    RedrawWindow(hdr, nullptr, nullptr, RDW_INVALIDATE);
    return true;
  }
  case WM_LBUTTONUP:
    FHeaderSubclass.CallPrevious(m);
    FHeaderPressed = false;
    FActiveSection = -1;
    if (IsWindow(hdr)) RedrawWindow(hdr, nullptr, nullptr, RDW_INVALIDATE);
    return true;
  }
  return false;
}

void TskSkinCustomListView::ReadHeaderEntry() {
  FHeaderEntry = nullptr;
  FHeaderPicture = nullptr;
  if (!FSkinData || FSkinData->Empty()) return;
  auto* e = FSkinData->FindControl<TskDataSkinButtonControl>(FHeaderSkinDataName);
  const TskPicture* pic = e ? FSkinData->ActivePicture(e->PictureIndex) : nullptr;
  if (!e || !SkinRectInPicture(e->SkinRect, pic)) return;
  FHeaderEntry = e;
  FHeaderPicture = pic;
}

TRect TskSkinCustomListView::SectionRect(int Pos) const {
  HWND hdr = FHeaderSubclass.Window();
  if (!hdr) return TRect();
  int item = Pos;
  if (FullDrag()) {
    int n = static_cast<int>(SendMessageW(hdr, HDM_GETITEMCOUNT, 0, 0));
    if (Pos < 0 || Pos >= n) return TRect();
    std::vector<int> order(n);
    SendMessageW(hdr, HDM_GETORDERARRAY, n, reinterpret_cast<LPARAM>(order.data()));
    item = order[Pos];
  }
  RECT r{};
  if (!SendMessageW(hdr, HDM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r))) return TRect();
  return TRect(r);
}

void TskSkinCustomListView::PaintHeader(HDC DC) {
  HWND hdr = FHeaderSubclass.Window();
  if (!hdr) return;
  PAINTSTRUCT ps;
  HDC dc = DC ? DC : BeginPaint(hdr, &ps);
  ReadHeaderEntry();
  RECT cr;
  GetClientRect(hdr, &cr);
  TCanvas canvas;
  canvas.SetHandle(dc);
  int n = static_cast<int>(SendMessageW(hdr, HDM_GETITEMCOUNT, 0, 0));
  std::vector<int> order(std::max(n, 0));
  for (int i = 0; i < n; ++i)
    order[i] = i;
  // Reordered columns keep their own captions: each section is drawn with
  // the column it belongs to.
  if (FullDrag() && n > 0)
    SendMessageW(hdr, HDM_GETORDERARRAY, n, reinterpret_cast<LPARAM>(order.data()));
  int right = 0;
  for (int pos = 0; pos < n; ++pos) {
    int item = order[pos];
    RECT r{};
    SendMessageW(hdr, HDM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
    right = std::max<int>(right, r.right);
    if (item < Columns()->Count())
      PaintHeaderSection(&canvas, item, TRect(r), item == FActiveSection && FHeaderPressed);
  }
  int w = cr.right + 1 - right, h = cr.bottom;
  if (w > 0 && h > 0) {
    if (!FHeaderEntry) {
      FrameFill(&canvas, TRect(right, 0, right + w, h), clGrayText, clBtnFace);
    } else {
      const auto* e = FHeaderEntry;
      RECT src = e->SkinRect;
      TskPicture pic;
      if (e->LBPoint.x != 0 || e->LBPoint.y != 0) {
        TskSkinImageParams p;
        p.Old = e->Geometry();
        p.New = ScaleSkinGeometry(p.Old, src, w, h);
        TakeStretch(p, *e);
        p.W = w;
        p.H = h;
        p.R = src;
        CreateSkinImageNoRight(p, *FHeaderPicture, pic);
        DrawPicture(dc, right, 0, pic);
      } else {
        CreateHSkinImage(e->LTPoint.x, RectWidth(src) - e->RTPoint.x, pic, e->StretchEffect, w, src,
                         *FHeaderPicture, true);
        DrawPictureRect(dc, MakeRect(right, 0, right + w, h), pic,
                        MakeRect(0, 0, pic.Width(), pic.Height()));
      }
    }
  }
  canvas.SetHandle(nullptr);
  if (!DC) EndPaint(hdr, &ps);
}

void TskSkinCustomListView::PaintHeaderSection(TCanvas* Target, int ColumnIndex, const TRect& R,
                                               bool Pressed) {
  if (R.IsEmpty()) return;
  int w = R.Width(), h = R.Height();
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* C = b.Canvas();
  C->Font()->Assign(Font());
  if (!FHeaderEntry) {
    if (Pressed)
      FrameFill(C, TRect(0, 0, w, h), skDefaultFrameColor, skDefaultDownColor);
    else
      FrameFill(C, TRect(0, 0, w, h), clGrayText, clBtnFace);
    C->Font()->SetColor(clBtnText);
  } else {
    const auto* e = FHeaderEntry;
    RECT active =
        SkinRectInPicture(e->ActiveSkinRect, FHeaderPicture) ? e->ActiveSkinRect : e->SkinRect;
    RECT down = SkinRectInPicture(e->DownSkinRect, FHeaderPicture) ? e->DownSkinRect : active;
    RECT src = Pressed ? down : e->SkinRect;
    C->Font()->SetColor(static_cast<TColor>(Pressed ? e->DownFontColor : e->FontColor));
    TskPicture pic;
    if (e->LBPoint.x != 0 || e->LBPoint.y != 0) {
      TskSkinImageParams p;
      p.Old = e->Geometry();
      p.New = ScaleSkinGeometry(p.Old, src, w, h);
      TakeStretch(p, *e);
      p.W = w;
      p.H = h;
      p.R = src;
      CreateSkinImage(p, *FHeaderPicture, pic);
      DrawPicture(C->Handle(), 0, 0, pic);
    } else {
      CreateHSkinImage(e->LTPoint.x, RectWidth(src) - e->RTPoint.x, pic, e->StretchEffect, w, src,
                       *FHeaderPicture);
      DrawPictureRect(C->Handle(), MakeRect(0, 0, w, h), pic,
                      MakeRect(0, 0, pic.Width(), pic.Height()));
    }
  }
  TListColumn* col = Columns()->Items(ColumnIndex);
  if (OnDrawHeaderSection) {
    OnDrawHeaderSection(C, col, Pressed, TRect(0, 0, w, h));
  } else {
    C->Brush()->SetStyle(bsClear);
    TRect text(5, 0, w - 5, h);
    std::wstring caption = col->Caption();
    TAlignment align = col->Alignment();
    TSize ts;
    TCustomImageList* images = SmallImages();
    int x = text.Left;
    if (images && col->ImageIndex() >= 0 && col->ImageIndex() < images->Count()) {
      int iw = images->Width(), ih = images->Height();
      std::wstring full = caption;
      TrimTextToWidth(C->Handle(), caption, w - iw - 10);
      ts = C->TextExtent(caption);
      if (caption == full) {
        if (align == taRightJustify)
          x = text.Right - ts.cx - iw - 10;
        else if (align == taCenter)
          x = w / 2 + text.Left - (ts.cx + iw + 10) / 2;
      }
      images->Draw(C, x, h / 2 - ih / 2, col->ImageIndex(), true);
      C->Brush()->SetStyle(bsClear);
      C->TextRect(text, x + iw + 10, h / 2 - ts.cy / 2, caption);
    } else {
      TrimTextToWidth(C->Handle(), caption, w);
      ts = C->TextExtent(caption);
      if (align == taRightJustify)
        x = text.Right - ts.cx;
      else if (align == taCenter)
        x = w / 2 + text.Left - ts.cx / 2;
      C->TextRect(text, x, h / 2 - ts.cy / 2, caption);
    }
  }
  BitBlt(Target->Handle(), R.Left, R.Top, w, h, C->Handle(), 0, 0, SRCCOPY);
}

int TskSkinCustomListView::FirstItemHeight() const {
  return ItemRect(0).Height();
}

int TskSkinCustomListView::FirstItemWidth() const {
  return ItemRect(0).Width();
}

void TskSkinCustomListView::SetBarVisible(TskSkinScrollBar* Bar, bool Value, bool& Changed) {
  if (Bar->Visible() == Value) return;
  bool was = FUpdatingBars;
  FUpdatingBars = true;
  Bar->SetVisible(Value);
  FUpdatingBars = was;
  Changed = true;
}

void TskSkinCustomListView::UpdateReportScrollBars() {
  int mn, mx, pos;
  bool changed = false;
  int rpp = VisibleRowCount();
  if (FVScrollBar) {
    GetScrollState(SB_VERT, mn, mx, pos);
    bool vis = rpp < mx + 1 && Visible();
    SetBarVisible(FVScrollBar, vis, changed);
    if (vis) {
      FVScrollBar->SetRange(mn, mx, pos, rpp);
      FVScrollBar->SetSmallChange(1);
      FVScrollBar->SetLargeChange(std::max(1, rpp));
      FVPos = FVScrollBar->Position();
    }
  }
  if (FHScrollBar) {
    GetScrollState(SB_HORZ, mn, mx, pos);
    bool vis = Width() < mx && Visible();
    SetBarVisible(FHScrollBar, vis, changed);
    if (vis) {
      FHScrollBar->SetRange(mn, mx, pos, Width());
      FHPos = FHScrollBar->Position();
    }
  }
  if (changed && Align() != alNone && Parent()) Parent()->Realign();
}

void TskSkinCustomListView::UpdateListScrollBars() {
  bool changed = false;
  if (FVScrollBar) SetBarVisible(FVScrollBar, false, changed);
  if (FHScrollBar) {
    int mn, mx, pos;
    GetScrollState(SB_HORZ, mn, mx, pos);
    int iw = FirstItemWidth();
    int page = Width() / (iw > 0 ? iw : 1);
    bool vis = VisibleRowCount() < Items()->Count() && Visible();
    SetBarVisible(FHScrollBar, vis, changed);
    if (vis) {
      FHScrollBar->SetRange(mn, mx, pos, page);
      FHScrollBar->SetSmallChange(1);
      FHScrollBar->SetLargeChange(1);
      FHPos = FHScrollBar->Position();
    }
  }
  if (changed && Align() != alNone && Parent()) Parent()->Realign();
}

void TskSkinCustomListView::UpdateIconScrollBars() {
  bool changed = false;
  int step = std::max(1, FirstItemHeight() / 2);
  int mn, mx, pos;
  if (FVScrollBar) {
    GetScrollState(SB_VERT, mn, mx, pos);
    bool vis = Height() < mx && Visible();
    SetBarVisible(FVScrollBar, vis, changed);
    if (vis) {
      FVScrollBar->SetSmallChange(step);
      FVScrollBar->SetLargeChange(step);
      FVScrollBar->SetRange(mn, mx, pos, Height());
      FVPos = FVScrollBar->Position();
    }
  }
  if (FHScrollBar) {
    GetScrollState(SB_HORZ, mn, mx, pos);
    bool vis = Width() < mx && Visible();
    SetBarVisible(FHScrollBar, vis, changed);
    if (vis) {
      FHScrollBar->SetSmallChange(step);
      FHScrollBar->SetLargeChange(step);
      FHScrollBar->SetRange(mn, mx, pos, Width());
      FHPos = FHScrollBar->Position();
    }
  }
  if (changed && Align() != alNone && Parent()) Parent()->Realign();
}

void TskSkinCustomListView::UpdateScrollBars() {
  if (!HandleAllocated() || FBarScrolling || FUpdatingBars || Width() <= 5 || Height() <= 5) return;
  switch (ViewStyle()) {
  case vsReport:
    UpdateReportScrollBars();
    break;
  case vsList:
    UpdateListScrollBars();
    break;
  default:
    UpdateIconScrollBars();
    break;
  }
  if (FVScrollBar && FHScrollBar) FHScrollBar->SetBoth(FVScrollBar->Visible());
}

void TskSkinCustomListView::VScrollBarChange(TObject*) {
  if (!FVScrollBar) return;
  FBarScrolling = true;
  int d = FVScrollBar->Position() - FVPos;
  if (ViewStyle() == vsIcon || ViewStyle() == vsSmallIcon)
    ScrollBy(0, d);
  else
    ScrollBy(0, d * FirstItemHeight());
  FVPos = FVScrollBar->Position();
  FBarScrolling = false;
}

void TskSkinCustomListView::HScrollBarChange(TObject*) {
  if (!FHScrollBar) return;
  FBarScrolling = true;
  int d = FHScrollBar->Position() - FHPos;
  if (ViewStyle() == vsList && HandleAllocated()) {
    for (int i = 0; i < std::abs(d); ++i)
      SendMessageW(FHandle, WM_HSCROLL, d < 0 ? SB_LINELEFT : SB_LINERIGHT, 0);
  } else {
    ScrollBy(d, 0);
  }
  FHPos = FHScrollBar->Position();
  FBarScrolling = false;
}
