#include "skin/SkinSpeedButtons.h"

#include <algorithm>

#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "skin/SkUtils.h"
#include "skin/SkinMenus.h"
#include "skin/skEffBmp.h"

namespace {

constexpr int kStrip = 15;

void FillColor(TCanvas* C, const RECT& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(TRect(R));
}

// A one-pixel frame around R with its inside filled.
void FrameFill(TCanvas* C, const RECT& R, TColor Frame, TColor Fill) {
  FillColor(C, R, Fill);
  C->Brush()->SetColor(Frame);
  C->FrameRect(TRect(R));
}

RECT GrowRect(RECT r, int dx, int dy) {
  r.right += dx;
  r.bottom += dy;
  return r;
}

POINT AddPoint(POINT p, int dx, int dy) {
  return POINT{p.x + dx, p.y + dy};
}

std::unique_ptr<TskEffectBmp> EffectOf(TBitmap* B) {
  if (auto* c = dynamic_cast<TBitmapCanvas*>(B->Canvas())) c->FreeContext();
  return std::make_unique<TskEffectBmp>(B->Handle());
}

// Copies rectangle Src of a picture centred into Dest, leaving out a colour.
void DrawMarkerImage(HDC DC, const RECT& Dest, const TskPicture& Pic, const RECT& Src,
                     TColor Transparent) {
  int w = RectWidth(Src), h = RectHeight(Src);
  if (!SkinRectInPicture(Src, &Pic)) return;
  int x = Dest.left + (RectWidth(Dest) - w) / 2, y = Dest.top + (RectHeight(Dest) - h) / 2;
  HDC mem = CreateCompatibleDC(DC);
  HGDIOBJ old = SelectObject(mem, Pic.Handle());
  GdiTransparentBlt(DC, x, y, w, h, mem, Src.left, Src.top, w, h, ColorToRGB(Transparent));
  SelectObject(mem, old);
  DeleteDC(mem);
}

// The accelerator character of a caption ("&x"), or 0.
wchar_t AccelChar(const std::wstring& t) {
  for (size_t i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != L'&') continue;
    if (t[i + 1] == L'&') {
      ++i;
      continue;
    }
    return t[i + 1];
  }
  return 0;
}

// The repaint that a speed button registers with its image-grid menu.
struct TskSpeedButtonRepaintHook {
  TskSkinSpeedButton* Button;
  void operator()(TObject*) const { Button->Invalidate(); }
};

} // namespace

// The close routine that a menu speed button gives the image-grid menu it opens.
struct TskMenuButtonCloseHook {
  TskSkinMenuSpeedButton* Button;
  void operator()(TObject*) const { Button->ImagesMenuClosed(); }
};

namespace {

// Takes a button's hooks back from a menu (another button's stay).
void ReleaseMenuHooks(TskSkinImagesMenu* M, TskSkinSpeedButton* B) {
  if (!M) return;
  if (auto* h = M->OnInternalChange.target<TskSpeedButtonRepaintHook>(); h && h->Button == B)
    M->OnInternalChange = nullptr;
  if (auto* h = M->OnInternalMenuClose.target<TskMenuButtonCloseHook>();
      h && static_cast<TskSkinSpeedButton*>(h->Button) == B)
    M->OnInternalMenuClose = nullptr;
}

} // namespace

// ---------------------------------------------------------------------------
// TskGraphicSkinCustomControl

TskGraphicSkinCustomControl::TskGraphicSkinCustomControl(TComponent* AOwner)
    : TskGraphicSkinControl(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName(L"Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
  FDefaultFont->OnChange = [this](TObject*) {
    DefaultFontChanged();
    if (FEntryIndex < 0) Invalidate();
  };
}

TskGraphicSkinCustomControl::~TskGraphicSkinCustomControl() {
  FDefaultFont->OnChange = nullptr;
}

void TskGraphicSkinCustomControl::SetDefaultFont(TFont* Value) {
  FDefaultFont->Assign(Value);
  DefaultFontChanged();
}

void TskGraphicSkinCustomControl::SetUseSkinFont(bool Value) {
  FUseSkinFont = Value;
  Invalidate();
}

void TskGraphicSkinCustomControl::SetDefaultWidth(int Value) {
  FDefaultWidth = Value;
  if (FEntryIndex < 0 && Value > 0) SetWidth(Value);
}

void TskGraphicSkinCustomControl::SetDefaultHeight(int Value) {
  FDefaultHeight = Value;
  if (FEntryIndex < 0 && Value > 0) SetHeight(Value);
}

void TskGraphicSkinCustomControl::ReadSkinEntry() {
  TskGraphicSkinControl::ReadSkinEntry();
  FPicture = nullptr;
  if (FEntryIndex < 0) {
    FResizeMode = -1;
    return;
  }
  auto* e = dynamic_cast<TskDataSkinCustomControl*>(FSkinData->ControlAt(FEntryIndex));
  const TskPicture* pic = e ? FSkinData->ActivePicture(e->PictureIndex) : nullptr;
  // Without its picture, or with a skin rectangle outside it, the control
  // keeps the default look.
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
  FStretchEffect = e->StretchEffect;
  FLeftStretch = e->LeftStretch;
  FTopStretch = e->TopStretch;
  FRightStretch = e->RightStretch;
  FBottomStretch = e->BottomStretch;
  FStretchType = e->StretchType;
  FPicture = pic;
  if (RectWidth(FSkinRect) <= 0 || RectHeight(FSkinRect) <= 0)
    FResizeMode = -1;
  else if (FRBPoint.x != 0 && FRBPoint.y != 0)
    FResizeMode = 1;
  else if (FRTPoint.x != 0 || FRTPoint.y != 0)
    FResizeMode = 2;
  else if (FLBPoint.x != 0 || FLBPoint.y != 0)
    FResizeMode = 3;
  else
    FResizeMode = 0;
}

void TskGraphicSkinCustomControl::FitSizeToSkin(int& AWidth, int& AHeight) {
  int dx = AWidth - RectWidth(FSkinRect), dy = AHeight - RectHeight(FSkinRect);
  switch (FResizeMode) {
  case 0:
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

void TskGraphicSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  ReadSkinEntry();
  bool changing = FEntryIndex >= 0 && (AWidth != Width() || AHeight != Height());
  if (changing) FitSizeToSkin(AWidth, AHeight);
  TskGraphicSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (changing) Invalidate();
}

void TskGraphicSkinCustomControl::ApplyControlSkin() {
  ReadSkinEntry();
  if (FUseSkinCursor)
    SetCursor(FCursorIndex == -1 || !FSkinData ? crDefault
                                               : FSkinData->StartCursorIndex + FCursorIndex);
  if (FEntryIndex < 0) {
    if (FDefaultWidth > 0) SetWidth(FDefaultWidth);
    if (FDefaultHeight > 0) SetHeight(FDefaultHeight);
    Invalidate();
    return;
  }
  int w = Width(), h = Height();
  FitSizeToSkin(w, h);
  if (w != Width() || h != Height())
    SetBounds(Left(), Top(), w, h);
  else
    Invalidate();
}

TskSkinImageParams TskGraphicSkinCustomControl::ImageParams(const RECT& R, int W, int H) const {
  TskSkinImageParams p;
  p.Old = TskSkinGeometry{FLTPoint, FRTPoint, FLBPoint, FRBPoint, FSkinClientRect};
  p.New = ScaleSkinGeometry(p.Old, FSkinRect, W, H);
  p.LeftStretch = FLeftStretch;
  p.TopStretch = FTopStretch;
  p.RightStretch = FRightStretch;
  p.BottomStretch = FBottomStretch;
  p.StretchEffect = FStretchEffect;
  p.StretchType = FStretchType;
  p.W = W;
  p.H = H;
  p.R = R;
  return p;
}

void TskGraphicSkinCustomControl::BuildSkinImage(TskPicture& Dest, const TskPicture& Pic,
                                                 const RECT& R) {
  switch (FResizeMode) {
  case 0:
    Dest.SetSize(RectWidth(R), RectHeight(R));
    StretchCopy(Dest, MakeRect(0, 0, Dest.Width(), Dest.Height()), Pic, R);
    break;
  case 1:
    CreateSkinImage(ImageParams(R, Width(), Height()), Pic, Dest);
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

void TskGraphicSkinCustomControl::PaintDefaultImage(TBitmap* Bitmap) {
  FillColor(Bitmap->Canvas(), RECT{0, 0, Bitmap->Width(), Bitmap->Height()}, clBtnFace);
}

void TskGraphicSkinCustomControl::PaintSkinImage(TBitmap* Bitmap) {
  if (!FPicture) return;
  TskPicture p;
  BuildSkinImage(p, *FPicture, FSkinRect);
  DrawPicture(Bitmap->Canvas()->Handle(), 0, 0, p);
}

void TskGraphicSkinCustomControl::SetSkinFont(TFont* F, const std::wstring& Name, int Height,
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

// ---------------------------------------------------------------------------
// TskSkinSpeedButton

TskSkinSpeedButton::TskSkinSpeedButton(TComponent* AOwner)
    : TskGraphicSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  // Clicks come from the button's own mouse handling.
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks);
  FSkinDataName = L"toolbutton";
  SetBounds(0, 0, 25, 25);
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TskSkinSpeedButton::~TskSkinSpeedButton() {
  StopRepeat();
  StopAnimation();
  FGlyph->OnChange = nullptr;
  FTimers.Reset();
  // A menu that outlives the button must not call it any more.
  if (FSkinImagesMenu) {
    ReleaseMenuHooks(FSkinImagesMenu, this);
    FSkinImagesMenu->RemoveFreeNotification(this);
    FSkinImagesMenu = nullptr;
  }
  SetImageList(nullptr);
}

void TskSkinSpeedButton::SetImageList(TCustomImageList* Value) {
  if (FImageList) FImageList->RemoveFreeNotification(this);
  FImageList = Value;
  if (Value) Value->FreeNotification(this);
  Invalidate();
}

void TskSkinSpeedButton::SetImageIndex(int Value) {
  FImageIndex = Value;
  if (FImageList) Invalidate();
}

void TskSkinSpeedButton::SetUseSkinSize(bool Value) {
  FUseSkinSize = Value;
  if (FSkinData && !FSkinData->Empty()) ApplyControlSkin();
}

void TskSkinSpeedButton::SetUseSkinFontColor(bool Value) {
  FUseSkinFontColor = Value;
  Invalidate();
}

void TskSkinSpeedButton::SetShowCaption(bool Value) {
  if (FShowCaption == Value) return;
  FShowCaption = Value;
  if (WidthWithCaption > 0 && WidthWithoutCaption > 0)
    SetWidth(Value ? WidthWithCaption : WidthWithoutCaption);
  else
    Invalidate();
}

void TskSkinSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  SetOpaque(!Value);
  Invalidate();
}

void TskSkinSpeedButton::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Invalidate();
}

void TskSkinSpeedButton::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  Invalidate();
}

void TskSkinSpeedButton::SetMargin(int Value) {
  if (Value < -1 || Value == FMargin) return;
  FMargin = Value;
  Invalidate();
}

void TskSkinSpeedButton::SetSpacing(int Value) {
  if (Value == FSpacing) return;
  FSpacing = Value;
  Invalidate();
}

void TskSkinSpeedButton::SetLayout(TskButtonLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Invalidate();
}

void TskSkinSpeedButton::SetSkinImagesMenu(TskSkinImagesMenu* Value) {
  if (FSkinImagesMenu && FSkinImagesMenu != Value) {
    ReleaseMenuHooks(FSkinImagesMenu, this);
    FSkinImagesMenu->RemoveFreeNotification(this);
  }
  FSkinImagesMenu = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->OnInternalChange = TskSpeedButtonRepaintHook{this};
  }
  Invalidate();
}

bool TskSkinSpeedButton::CanMorph() const {
  return FMorphing && SkinEffectsOn();
}

void TskSkinSpeedButton::SetDown(bool Value) {
  FDown = Value;
  if (CanMorph()) {
    if (Value) {
      FMorphKf = 1;
      StopMorph();
    } else {
      StartMorph();
    }
  }
  Invalidate();
  if (GroupIndex == 0 || !FDown || AllowAllUp || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* b = dynamic_cast<TskSkinSpeedButton*>(Parent()->Controls(i));
    if (b && b != this && b->GroupIndex == GroupIndex && b->FDown) b->SetDown(false);
  }
}

void TskSkinSpeedButton::ReadSkinEntry() {
  TskGraphicSkinCustomControl::ReadSkinEntry();
  auto* e = FEntryIndex >= 0
                ? dynamic_cast<TskDataSkinButtonControl*>(FSkinData->ControlAt(FEntryIndex))
                : nullptr;
  if (!e) {
    if (FEntryIndex >= 0) FResizeMode = 0;
    FEntryIndex = -1;
    FPicture = nullptr;
    FMorphing = false;
    FAnimateSkinRect = RECT{};
    return;
  }
  auto inPicture = [this](const RECT& r) { return SkinRectInPicture(r, FPicture); };
  FFontName = e->FontName;
  FFontHeight = e->FontHeight;
  FFontStyle = e->FontStyle;
  FFontColor = static_cast<TColor>(e->FontColor);
  FActiveFontColor = static_cast<TColor>(e->ActiveFontColor);
  FDownFontColor = static_cast<TColor>(e->DownFontColor);
  FDisabledFontColor = static_cast<TColor>(e->DisabledFontColor);
  if (FDisabledFontColor == FFontColor) FDisabledFontColor = 0x808080;
  FNormalRect = FSkinRect;
  FActiveSkinRect = inPicture(e->ActiveSkinRect) ? e->ActiveSkinRect : FSkinRect;
  FDownSkinRect = inPicture(e->DownSkinRect) ? e->DownSkinRect : FActiveSkinRect;
  FDisabledSkinRect = inPicture(e->DisabledSkinRect) ? e->DisabledSkinRect : RECT{};
  FMorphing = e->Morphing && !FFlat;
  FMorphKind = e->MorphKind;
  FAnimateSkinRect = inPicture(e->AnimateSkinRect) ? e->AnimateSkinRect : RECT{};
  FFrameCount = e->FrameCount;
  FAnimateInterval = e->AnimateInterval;
  FMenuMarkerRect = e->MenuMarkerRect;
  FMenuMarkerActiveRect =
      IsRectEmpty(&e->MenuMarkerActiveRect) ? FMenuMarkerRect : e->MenuMarkerActiveRect;
  FMenuMarkerDownRect =
      IsRectEmpty(&e->MenuMarkerDownRect) ? FMenuMarkerActiveRect : e->MenuMarkerDownRect;
  FMenuMarkerFlatRect =
      IsRectEmpty(&e->MenuMarkerFlatRect) ? FMenuMarkerRect : e->MenuMarkerFlatRect;
  FMenuMarkerTransparentColor = static_cast<TColor>(e->MenuMarkerTransparentColor);
  if (FTimers.AnimationFrame() > 0 && FTimers.AnimationFrame() <= FFrameCount) {
    RECT fr = AnimationFrameRect();
    if (inPicture(fr)) {
      if (FTimers.AnimationForward())
        FActiveSkinRect = fr;
      else
        FNormalRect = fr;
    }
  }
}

RECT TskSkinSpeedButton::AnimationFrameRect() const {
  return FTimers.AnimationFrameRect(FAnimateSkinRect, FSkinRect, FFrameCount);
}

void TskSkinSpeedButton::FitSizeToSkin(int& AWidth, int& AHeight) {
  if (FUseSkinSize || FResizeMode == 1) {
    TskGraphicSkinCustomControl::FitSizeToSkin(AWidth, AHeight);
    return;
  }
  FNewClientRect =
      GrowRect(FSkinClientRect, AWidth - RectWidth(FSkinRect), AHeight - RectHeight(FSkinRect));
}

void TskSkinSpeedButton::ApplyControlSkin() {
  StopAnimation();
  StopMorph();
  TskGraphicSkinCustomControl::ApplyControlSkin();
  if (CanMorph() && FEntryIndex >= 0 && FMouseIn) FMorphKf = 1;
}

int TskSkinSpeedButton::GlyphCell(bool Pressed, bool Hot) const {
  if (Pressed && Hot && FNumGlyphs >= 3) return 3;
  if (Hot && FNumGlyphs == 4) return 4;
  if (!Enabled() && FNumGlyphs >= 2) return 2;
  return 1;
}

TColor TskSkinSpeedButton::FaceFontColor(bool ADown, bool AHot) const {
  if (Enabled() && !FUseSkinFontColor) return FDefaultFont->Color();
  if (!Enabled()) return FDisabledFontColor;
  if (ADown && AHot) return FDownFontColor;
  if (AHot) return FActiveFontColor;
  return FFontColor;
}

void TskSkinSpeedButton::DrawContent(TCanvas* C, const RECT& R, bool Pressed, bool CellDown,
                                     bool CellHot) {
  C->Brush()->SetStyle(bsClear);
  std::wstring caption = FShowCaption ? Caption() : std::wstring();
  TskImagesMenuItem* item = FSkinImagesMenu ? FSkinImagesMenu->GetSelectedItem() : nullptr;
  if (item && UseImagesMenuImage) {
    DrawImageAndText(C, R, FMargin, 0, false, Enabled(), Pressed, FSkinImagesMenu->Images(),
                     item->ImageIndex, UseImagesMenuCaption ? item->Caption : caption, FLayout,
                     FSpacing);
  } else if (FGlyph->Empty() && FImageList) {
    DrawImageAndText(C, R, FMargin, 0, false, Enabled(), Pressed, FImageList, FImageIndex, caption,
                     FLayout, FSpacing);
  } else {
    DrawGlyphAndText(C, R, FMargin, 0, false, Enabled(), Pressed, FGlyph.get(), FNumGlyphs,
                     GlyphCell(CellDown, CellHot), caption, FLayout, FSpacing);
  }
}

void TskSkinSpeedButton::DrawFace(TBitmap* Bitmap, const RECT& R, bool ADown, bool AHot) {
  int W = Width(), H = Height();
  Bitmap->SetSize(W, H);
  TskPicture pic;
  RECT content;
  if (FUseSkinSize || FResizeMode == 1) {
    BuildSkinImage(pic, *FPicture, R);
    content = FNewClientRect;
  } else {
    pic.SetSize(W, H);
    if (FResizeMode == 2 || FResizeMode == 3)
      CreateStretchImage(pic, *FPicture, R, FSkinClientRect, true);
    else
      StretchCopy(pic, MakeRect(0, 0, W, H), *FPicture, R);
    content = GrowRect(FSkinClientRect, W - RectWidth(FSkinRect), H - RectHeight(FSkinRect));
  }
  TCanvas* C = Bitmap->Canvas();
  DrawPicture(C->Handle(), 0, 0, pic);
  SetSkinFont(C->Font(), FFontName, FFontHeight, FFontStyle);
  C->Font()->SetColor(FaceFontColor(ADown, AHot));
  DrawContent(C, content, ADown && AHot, ADown, AHot);
}

void TskSkinSpeedButton::FlatContent(const RECT& R) {
  TCanvas* C = Canvas();
  if (FEntryIndex >= 0) {
    SetSkinFont(C->Font(), FFontName, FFontHeight, FFontStyle);
    if (!Enabled())
      C->Font()->SetColor(static_cast<TColor>(FSkinData->SkinColors.cBtnShadow));
    else if (FUseSkinFontColor)
      C->Font()->SetColor(static_cast<TColor>(FSkinData->SkinColors.cBtnText));
    else
      C->Font()->SetColor(FDefaultFont->Color());
  } else {
    C->Font()->Assign(FDefaultFont.get());
    ApplyCharset(C->Font(), FDefaultFont.get());
    if (!Enabled()) C->Font()->SetColor(clBtnShadow);
  }
  DrawContent(C, R, false, FDown, FMouseIn);
}

void TskSkinSpeedButton::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  ReadSkinEntry();
  if (FEntryIndex < 0) {
    if (ShownDown() || FMouseIn || !FFlat)
      TskGraphicSkinControl::Paint();
    else
      FlatContent(RECT{0, 0, Width(), Height()});
    return;
  }
  int w = Width(), h = Height();
  FitSizeToSkin(w, h);
  if (FFlat && !FMouseIn && !(FDown && GroupIndex != 0)) {
    FlatContent(FNewClientRect);
    return;
  }
  TBitmap b;
  if (CanMorph() && FMorphKf > 0 && FMorphKf < 1 && Enabled()) {
    TBitmap n, a;
    DrawFace(&n, FNormalRect, false, false);
    DrawFace(&a, FActiveSkinRect, false, true);
    auto en = EffectOf(&n), ea = EffectOf(&a);
    en->MorphByKind(FMorphKind, *ea, FMorphKf);
    b.SetSize(Width(), Height());
    en->Draw(b.Canvas()->Handle(), 0, 0);
  } else if (!Enabled() && !IsRectEmpty(&FDisabledSkinRect)) {
    DrawFace(&b, FDisabledSkinRect, false, false);
  } else if (ShownDown()) {
    DrawFace(&b, FDownSkinRect, true, true);
  } else if (FMouseIn || (CanMorph() && FMorphKf == 1)) {
    DrawFace(&b, FActiveSkinRect, false, true);
  } else {
    DrawFace(&b, FNormalRect, false, false);
  }
  DrawControlImage(&b);
}

void TskSkinSpeedButton::PaintDefaultImage(TBitmap* Bitmap) {
  TCanvas* C = Bitmap->Canvas();
  RECT r{0, 0, Bitmap->Width(), Bitmap->Height()};
  FillColor(C, r, clBtnFace);
  bool shownDown = ShownDown();
  if (shownDown)
    FrameFill(C, r, skDefaultFrameColor, skDefaultDownColor);
  else if (FMouseIn)
    FrameFill(C, r, skDefaultFrameColor, skDefaultHotColor);
  else
    FrameFill(C, r, clBtnShadow, clBtnFace);
  C->Font()->Assign(FDefaultFont.get());
  ApplyCharset(C->Font(), FDefaultFont.get());
  TskImagesMenuItem* item = FSkinImagesMenu ? FSkinImagesMenu->GetSelectedItem() : nullptr;
  if (item && UseImagesMenuImage) {
    DrawContent(C, r, FDown && FMouseIn, FDown, FMouseIn);
    return;
  }
  if (!Enabled()) C->Font()->SetColor(clBtnShadow);
  bool imageList = FGlyph->Empty() && FImageList;
  DrawContent(C, r, imageList ? FDown && FMouseIn : shownDown, FDown, FMouseIn);
}

void TskSkinSpeedButton::ButtonClick() {
  if (OnClick && ActionLink())
    OnClick(this);
  else if (ActionLink() && !Designing())
    ActionLink()->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TskSkinSpeedButton::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
  TskGraphicSkinCustomControl::ActionChange(Sender, CheckDefaults);
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (a && FGlyph->Empty() && a->ActionList() && a->ActionList()->Images()) {
    TCustomImageList* list = a->ActionList()->Images();
    if (a->ImageIndex() >= 0 && a->ImageIndex() < list->Count()) {
      FGlyph->SetSize(list->Width(), list->Height());
      FillColor(FGlyph->Canvas(), RECT{0, 0, list->Width(), list->Height()},
                static_cast<TColor>(0xFF00FF));
      list->Draw(FGlyph->Canvas(), 0, 0, a->ImageIndex(), true);
    }
  }
  Invalidate();
}

void TskSkinSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
  TskGraphicSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImageList) FImageList = nullptr;
  if (AComponent == FSkinImagesMenu) FSkinImagesMenu = nullptr;
}

// Morph.

void TskSkinSpeedButton::StartMorph() {
  FTimers.StartMorph([this] { MorphTick(); });
}

void TskSkinSpeedButton::StopMorph() {
  FTimers.StopMorph();
}

void TskSkinSpeedButton::MorphTick() {
  if (FTimers.MorphStep(FMorphKf, FMouseIn, FEntryIndex >= 0 && CanMorph())) Invalidate();
}

void TskSkinSpeedButton::RedrawState() {
  if (CanMorph() && FEntryIndex >= 0)
    StartMorph();
  else
    Invalidate();
}

// Frame animation.

bool TskSkinSpeedButton::CanAnimate() const {
  return !FFlat && FEntryIndex >= 0 && SkinEffectsOn() && !IsRectEmpty(&FAnimateSkinRect) &&
         FFrameCount > 0;
}

void TskSkinSpeedButton::StartAnimation(bool Forward) {
  FTimers.StartAnimation(Forward, FFrameCount, FAnimateInterval, [this] { AnimationTick(); });
}

void TskSkinSpeedButton::StopAnimation() {
  FTimers.StopAnimation();
}

void TskSkinSpeedButton::AnimationTick() {
  TTimer* t = FTimers.AnimationTimer();
  if (t && t->Enabled() && FTimers.AnimationStep(FFrameCount)) Invalidate();
}

// Auto-repeat.

void TskSkinSpeedButton::StartRepeat() {
  FTimers.StartRepeat([this] { RepeatTick(); });
}

void TskSkinSpeedButton::StopRepeat() {
  FTimers.StopRepeat();
}

void TskSkinSpeedButton::RepeatTick() {
  if (FTimers.RepeatStep(RepeatInterval)) ButtonClick();
}

// Mouse.

void TskSkinSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskGraphicSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FTimers.AnimationTimer()) StopAnimation();
  FMousePressed = true;
  if (!FDown) {
    FMouseIn = true;
    SetDown(true);
    if (RepeatMode && GroupIndex == 0)
      StartRepeat();
    else if (GroupIndex != 0)
      ButtonClick();
    FPressOnDown = false;
  } else if (GroupIndex != 0) {
    FPressOnDown = true;
  }
}

void TskSkinSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    FMousePressed = false;
    bool wasDown = FDown;
    bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
    if (!inside) FMouseIn = false;
    if (GroupIndex == 0) {
      if (inside) {
        SetDown(false);
        StopRepeat();
        if (wasDown) ButtonClick();
      } else {
        FDown = false;
        StopRepeat();
      }
    } else if (wasDown && AllowAllUp && FPressOnDown && inside) {
      SetDown(false);
      ButtonClick();
    }
  }
  TskGraphicSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TskSkinSpeedButton::MouseEnterButton() {
  FMouseIn = true;
  if ((GroupIndex == 0 || !FDown) && Enabled()) {
    if (FDown) {
      if (CanMorph()) FMorphKf = 1;
      Invalidate();
    } else {
      if (CanAnimate()) StartAnimation(true);
      RedrawState();
    }
  }
  if (FDown && RepeatMode && GroupIndex == 0) StartRepeat();
}

void TskSkinSpeedButton::MouseLeaveButton() {
  FMouseIn = false;
  if ((GroupIndex == 0 || !FDown) && Enabled()) {
    if (CanAnimate()) StartAnimation(false);
    RedrawState();
  }
  if (FDown && RepeatMode && FTimers.RepeatTimer() && GroupIndex == 0) StopRepeat();
}

void TskSkinSpeedButton::WndProc(TMessage& Message) {
  bool mine = Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this);
  switch (Message.Msg) {
  case CM_MOUSEENTER:
    TskGraphicSkinCustomControl::WndProc(Message);
    if (!Designing() && mine) MouseEnterButton();
    return;
  case CM_MOUSELEAVE:
    TskGraphicSkinCustomControl::WndProc(Message);
    if (!Designing() && mine) MouseLeaveButton();
    return;
  case CM_ENABLEDCHANGED:
    TskGraphicSkinCustomControl::WndProc(Message);
    if (CanMorph()) {
      StopMorph();
      FMorphKf = 0;
    }
    FMouseIn = false;
    Invalidate();
    return;
  case CM_TEXTCHANGED:
    TskGraphicSkinCustomControl::WndProc(Message);
    if (FEntryIndex >= 0 || Designing() || FDrawDefault) Invalidate();
    return;
  case CM_DIALOGCHAR: {
    wchar_t a = AccelChar(Caption());
    if (a && towupper(a) == towupper(static_cast<wchar_t>(Message.WParam)) && Enabled() &&
        Visible() && Parent() && Parent()->Showing()) {
      ButtonClick();
      Message.Result = 1;
      return;
    }
    break;
  }
  default:
    break;
  }
  TskGraphicSkinCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TskSkinMenuSpeedButton

TskSkinMenuSpeedButton::TskSkinMenuSpeedButton(TComponent* AOwner) : TskSkinSpeedButton(AOwner) {
  FSkinDataName = L"toolmenubutton";
}

TskSkinMenuSpeedButton::~TskSkinMenuSpeedButton() {
  SetSkinPopupMenu(nullptr);
}

void TskSkinMenuSpeedButton::SetSkinPopupMenu(TskSkinPopupMenu* Value) {
  if (FSkinPopupMenu) FSkinPopupMenu->RemoveFreeNotification(this);
  FSkinPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinMenuSpeedButton::SetTrackButtonMode(bool Value) {
  FTrackButtonMode = Value;
  if (FEntryIndex < 0) Invalidate();
}

void TskSkinMenuSpeedButton::SetTrackPosition(TskTrackPosition Value) {
  FTrackPosition = Value;
  Invalidate();
}

void TskSkinMenuSpeedButton::SetNewStyle(bool Value) {
  FNewStyle = Value;
  if (Value) SetSkinDataName(L"resizetoolbutton");
  Invalidate();
}

void TskSkinMenuSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
  TskSkinSpeedButton::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinPopupMenu) FSkinPopupMenu = nullptr;
}

bool TskSkinMenuSpeedButton::StandardFace() const {
  return FSkinDataName == L"resizebutton" || FSkinDataName == L"resizetoolbutton" ||
         FSkinDataName == L"toolbutton" || FSkinDataName == L"bigtoolbutton";
}

void TskSkinMenuSpeedButton::ReadSkinEntry() {
  TskSkinSpeedButton::ReadSkinEntry();
  FTrackButtonRect = RECT{};
  FEntryDownRect = RECT{};
  if (FEntryIndex < 0) return;
  TskDataSkinControl* d = FSkinData->ControlAt(FEntryIndex);
  if (auto* b = dynamic_cast<TskDataSkinButtonControl*>(d)) FEntryDownRect = b->DownSkinRect;
  if (auto* m = dynamic_cast<TskDataSkinMenuButtonControl*>(d))
    FTrackButtonRect = m->TrackButtonRect;
}

RECT TskSkinMenuSpeedButton::TrackStrip() const {
  if (StripAtBottom()) return RECT{0, Height() - kStrip, Width(), Height()};
  return RECT{Width() - kStrip, 0, Width(), Height()};
}

RECT TskSkinMenuSpeedButton::MenuArea() const {
  if (!FSkinPopupMenu && !SkinImagesMenu()) return RECT{};
  if (!FTrackButtonMode) return RECT{0, 0, Width(), Height()};
  if (FEntryIndex >= 0 && !StandardFace()) {
    RECT r = FTrackButtonRect;
    if (FResizeMode == 2) OffsetRect(&r, Width() - RectWidth(FSkinRect), 0);
    if (FResizeMode == 3) OffsetRect(&r, 0, Height() - RectHeight(FSkinRect));
    return r;
  }
  return TrackStrip();
}

void TskSkinMenuSpeedButton::OpenMenus() {
  TPoint p = ClientToScreen(TPoint(0, 0));
  TRect r(p.X, p.Y, p.X + Width(), p.Y + Height());
  if (FSkinPopupMenu) {
    if (OnShowTrackMenu) OnShowTrackMenu(this);
    FSkinPopupMenu->PopupFromButton(this, r);
  }
  if (TskSkinImagesMenu* m = SkinImagesMenu()) {
    if (OnShowTrackMenu) OnShowTrackMenu(this);
    m->OnInternalMenuClose = TskMenuButtonCloseHook{this};
    m->Popup(r);
  }
}

void TskSkinMenuSpeedButton::ImagesMenuClosed() {
  FTrackPressed = false;
  SetDown(false);
  if (OnHideTrackMenu) OnHideTrackMenu(this);
  FMouseIn = false;
  Invalidate();
}

void TskSkinMenuSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    RECT a = MenuArea();
    FTrackPressed = PtInRect(&a, POINT{X, Y}) != 0;
    FMouseIn = true;
    if (FTrackPressed) {
      if (!FDown) SetDown(true);
      OpenMenus();
      return;
    }
  }
  TskSkinSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TskSkinMenuSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FTrackPressed) return;
  TskSkinSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TskSkinMenuSpeedButton::WndProc(TMessage& Message) {
  bool mine = Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this);
  switch (Message.Msg) {
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    if (Designing()) return;
    // While the menu is open the look stays as it is.
    if (FTrackPressed && mine) {
      FMouseIn = Message.Msg == CM_MOUSEENTER;
      return;
    }
    break;
  case WM_SKINMENUCLOSED:
    FTrackPressed = false;
    SetDown(false);
    FMouseIn = false;
    if (OnHideTrackMenu) OnHideTrackMenu(this);
    Invalidate();
    return;
  default:
    break;
  }
  TskSkinSpeedButton::WndProc(Message);
}

void TskSkinMenuSpeedButton::DrawMarker(TCanvas* C, const RECT& R, bool DownMarker, bool HotMarker,
                                        TColor Color, TColor ArrowColor) {
  HDC dc = C->Handle();
  if (ArrowMarker) {
    DrawArrow(dc, R, ColorToRGB(Color), ArrowMarkerDirection);
  } else if (FPicture && !IsRectEmpty(&FMenuMarkerRect)) {
    RECT src = DownMarker  ? FMenuMarkerDownRect
               : HotMarker ? FMenuMarkerActiveRect
                           : FMenuMarkerRect;
    DrawMarkerImage(dc, R, *FPicture, src, FMenuMarkerTransparentColor);
  } else {
    DrawSmallDownArrow(dc, R, ColorToRGB(ArrowColor));
  }
}

void TskSkinMenuSpeedButton::ComposeOwnFace(TskPicture& Dest, const RECT& Src, int W, int H,
                                            bool Resize) const {
  if (!Resize) {
    Dest.SetSize(W, H);
    CreateStretchImage(Dest, *FPicture, Src, FSkinClientRect, true);
  } else {
    CreateSkinImage(ImageParams(Src, W, H), *FPicture, Dest);
  }
}

TColor TskSkinMenuSpeedButton::CaptionColor(bool Pressed, bool AHot) const {
  if (Enabled() && !UseSkinFontColor()) return FDefaultFont->Color();
  if (!Enabled()) return FDisabledFontColor;
  if (Pressed) return FDownFontColor;
  return AHot ? FActiveFontColor : FFontColor;
}

void TskSkinMenuSpeedButton::DrawToolFace(TBitmap* Bitmap, bool Resize, bool ADown, bool AHot) {
  int W = Width(), H = Height();
  Bitmap->SetSize(W, H);
  TCanvas* C = Bitmap->Canvas();
  HDC dc = C->Handle();
  if (FFlat)
    PaintParentBackground(this, C);
  else
    FillColor(C, RECT{0, 0, W, H}, clBtnFace);
  bool pressed = ADown && AHot, downFace = false;
  auto part = [&](const RECT& Dst, const RECT& Src) {
    TskPicture p;
    ComposeOwnFace(p, Src, RectWidth(Dst), RectHeight(Dst), Resize);
    DrawPicture(dc, Dst.left, Dst.top, p);
  };
  if (FTrackButtonMode) {
    RECT body{0, 0, W - kStrip, H}, strip{W - kStrip, 0, W, H};
    if (FTrackPressed) {
      part(body, FActiveSkinRect);
      part(strip, FDownSkinRect);
    } else if (pressed) {
      part(body, FDownSkinRect);
      part(strip, FDownSkinRect);
      downFace = true;
    } else if (AHot) {
      part(body, FActiveSkinRect);
      part(strip, FActiveSkinRect);
    } else if (!FFlat) {
      part(body, FNormalRect);
      part(strip, FNormalRect);
    }
  } else {
    RECT whole{0, 0, W, H};
    if (pressed) {
      part(whole, FDownSkinRect);
      downFace = true;
    } else if (AHot) {
      part(whole, FActiveSkinRect);
    } else if (!FFlat) {
      part(whole, FNormalRect);
    }
  }
  SetSkinFont(C->Font(), FFontName, FFontHeight, FFontStyle);
  const TColor color = CaptionColor(downFace, AHot);
  C->Font()->SetColor(color);
  DrawContent(C, RECT{0, 0, W - kStrip, H}, downFace, ADown, AHot);
  RECT m{W - kStrip, 0, W, H};
  if (pressed || FTrackPressed) OffsetRect(&m, 2, 2);
  DrawMarker(C, m, pressed || FTrackPressed, AHot, color, FTrackPressed ? FDownFontColor : color);
}

void TskSkinMenuSpeedButton::DrawNewStyleFace(TBitmap* Bitmap, bool ADown, bool AHot) {
  int W = Width(), H = Height();
  Bitmap->SetSize(W, H);
  TCanvas* C = Bitmap->Canvas();
  HDC dc = C->Handle();
  if (FFlat)
    PaintParentBackground(this, C);
  else
    FillColor(C, RECT{0, 0, W, H}, clBtnFace);
  auto* body = FSkinData->FindControl<TskDataSkinButtonControl>(L"resizetoolbutton");
  if (!body) body = FSkinData->FindControl<TskDataSkinButtonControl>(L"resizebutton");
  if (!body) return;
  bool pressed = ADown && AHot;
  RECT whole{0, 0, W, H}, strip = TrackStrip(), bodyR = whole;
  bool split = FTrackButtonMode && AHot;
  TskDataSkinButtonControl* stripD = nullptr;
  if (split) {
    stripD = FSkinData->FindControl<TskDataSkinButtonControl>(
        StripAtBottom() ? L"htracktoolbutton" : L"vtracktoolbutton");
    if (!stripD) {
      stripD = body;
      if (StripAtBottom())
        bodyR.bottom = H - kStrip;
      else
        bodyR.right = W - kStrip;
    }
  }
  auto draw = [&](TskDataSkinButtonControl* d, const RECT& r, bool pressedFlag) {
    const TskPicture* pic = FSkinData->ActivePicture(d->PictureIndex);
    if (!pic || pic->Empty() || IsRectEmpty(&r)) return;
    RECT src = d->SkinRect;
    if (pressedFlag && AHot)
      src = !IsRectEmpty(&d->DownSkinRect)     ? d->DownSkinRect
            : !IsRectEmpty(&d->ActiveSkinRect) ? d->ActiveSkinRect
                                               : d->SkinRect;
    else if (AHot && !IsRectEmpty(&d->ActiveSkinRect))
      src = d->ActiveSkinRect;
    if (!SkinRectInPicture(src, pic)) return;
    TskSkinImageParams p;
    p.Old = TskSkinGeometry{d->LTPoint, d->RTPoint, d->LBPoint, d->RBPoint, d->ClientRect};
    p.New = ScaleSkinGeometry(p.Old, d->SkinRect, RectWidth(r), RectHeight(r));
    TakeStretch(p, *d);
    p.W = RectWidth(r);
    p.H = RectHeight(r);
    p.R = src;
    TskPicture img;
    CreateSkinImage(p, *pic, img);
    DrawPicture(dc, r.left, r.top, img);
  };
  bool bodyPressed = pressed && !(FTrackButtonMode && FTrackPressed);
  draw(body, bodyR, bodyPressed);
  if (split) draw(stripD, strip, FTrackPressed);
  RECT content = whole;
  if (StripAtBottom())
    content.bottom = H - kStrip;
  else
    content.right = W - kStrip;
  SetSkinFont(C->Font(), FFontName, FFontHeight, FFontStyle);
  const TColor color = CaptionColor(bodyPressed, AHot);
  C->Font()->SetColor(color);
  DrawContent(C, content, bodyPressed, ADown, AHot);
  RECT m = strip;
  if (FTrackButtonMode ? FTrackPressed : pressed) OffsetRect(&m, 1, 1);
  bool keep = ArrowMarker;
  ArrowMarker = false;
  DrawMarker(C, m, pressed || FTrackPressed, AHot, color, FTrackPressed ? FDownFontColor : color);
  ArrowMarker = keep;
}

void TskSkinMenuSpeedButton::DrawFace(TBitmap* Bitmap, const RECT& R, bool ADown, bool AHot) {
  const std::wstring& n = FSkinDataName;
  if (FNewStyle && n == L"resizetoolbutton") {
    DrawNewStyleFace(Bitmap, ADown, AHot);
    return;
  }
  if (n == L"toolbutton" || n == L"bigtoolbutton") {
    DrawToolFace(Bitmap, false, ADown, AHot);
    return;
  }
  if (n == L"resizebutton" || n == L"resizetoolbutton") {
    DrawToolFace(Bitmap, true, ADown, AHot);
    return;
  }
  if (FTrackPressed && FTrackButtonMode && !IsRectEmpty(&FTrackButtonRect) &&
      !IsRectEmpty(&FEntryDownRect)) {
    TskSkinSpeedButton::DrawFace(Bitmap, FActiveSkinRect, false, true);
    RECT src = FTrackButtonRect;
    OffsetRect(&src, FEntryDownRect.left, FEntryDownRect.top);
    RECT dst = MenuArea();
    if (SkinRectInPicture(src, FPicture)) {
      TskPicture part;
      part.SetSize(RectWidth(dst), RectHeight(dst));
      StretchCopy(part, MakeRect(0, 0, part.Width(), part.Height()), *FPicture, src);
      DrawPicture(Bitmap->Canvas()->Handle(), dst.left, dst.top, part);
    }
    return;
  }
  TskSkinSpeedButton::DrawFace(Bitmap, R, ADown, AHot);
}

void TskSkinMenuSpeedButton::Paint() {
  if (FMouseIn || FDown || FTrackPressed || !FFlat) {
    TskSkinSpeedButton::Paint();
    return;
  }
  if (Width() <= 0 || Height() <= 0) return;
  ReadSkinEntry();
  int w = Width(), h = Height();
  if (FEntryIndex >= 0) FitSizeToSkin(w, h);
  bool custom = FEntryIndex >= 0 && !StandardFace();
  RECT strip =
      custom ? RECT{} : (FNewStyle ? TrackStrip() : RECT{Width() - kStrip, 0, Width(), Height()});
  RECT content{0, 0, Width(), Height()};
  if (custom)
    content = FNewClientRect;
  else if (strip.top > 0)
    content.bottom = strip.top;
  else
    content.right = strip.left;
  TCanvas* C = Canvas();
  TFont* F = C->Font();
  SetSkinFont(F, FFontName, FFontHeight, FFontStyle);
  if (FEntryIndex >= 0) {
    if (!Enabled())
      F->SetColor(static_cast<TColor>(FSkinData->SkinColors.cBtnShadow));
    else if (UseSkinFontColor())
      F->SetColor(static_cast<TColor>(FSkinData->SkinColors.cBtnText));
    else
      F->SetColor(FDefaultFont->Color());
  } else {
    F->SetColor(FDefaultFont->Color());
  }
  if (!Enabled()) F->SetColor(clBtnShadow);
  DrawContent(C, content, false, FDown, FMouseIn);
  RECT m = custom ? RECT{content.right, 0, Width(), Height()} : strip;
  if ((FDown && FMouseIn) || FTrackPressed) OffsetRect(&m, 2, 2);
  if (FEntryIndex >= 0 && FPicture && !IsRectEmpty(&FMenuMarkerFlatRect))
    DrawMarkerImage(C->Handle(), m, *FPicture, FMenuMarkerFlatRect, FMenuMarkerTransparentColor);
  else
    DrawSmallDownArrow(C->Handle(), m,
                       FEntryIndex >= 0
                           ? ColorToRGB(static_cast<TColor>(FSkinData->SkinColors.cBtnText))
                           : ColorToRGB(clBtnText));
}

void TskSkinMenuSpeedButton::PaintDefaultImage(TBitmap* Bitmap) {
  int W = Bitmap->Width(), H = Bitmap->Height();
  TCanvas* C = Bitmap->Canvas();
  RECT whole{0, 0, W, H};
  FillColor(C, whole, clBtnFace);
  bool hot = FMouseIn, down = FDown, tp = FTrackPressed;
  RECT strip = FNewStyle ? TrackStrip() : RECT{W - kStrip, 0, W, H};
  bool split = FNewStyle ? FTrackButtonMode && hot : FTrackButtonMode;
  RECT body = whole;
  if (split) {
    if (strip.top > 0)
      body.bottom = strip.top;
    else
      body.right = strip.left;
  }
  bool contentPressed = false;
  if (split) {
    if (tp) {
      FrameFill(C, body, skDefaultFrameColor, skDefaultHotColor);
      FrameFill(C, strip, skDefaultFrameColor, skDefaultDownColor);
    } else if (down && hot) {
      FrameFill(C, body, skDefaultFrameColor, skDefaultDownColor);
      FrameFill(C, strip, skDefaultFrameColor, FNewStyle ? skDefaultHotColor : skDefaultDownColor);
      contentPressed = true;
    } else if (hot) {
      FrameFill(C, body, skDefaultFrameColor, skDefaultHotColor);
      FrameFill(C, strip, skDefaultFrameColor, skDefaultHotColor);
    } else {
      FrameFill(C, body, clBtnShadow, clBtnFace);
      FrameFill(C, strip, clBtnShadow, clBtnFace);
    }
  } else if (down && hot) {
    FrameFill(C, whole, skDefaultFrameColor, skDefaultDownColor);
    contentPressed = true;
  } else if (hot) {
    FrameFill(C, whole, skDefaultFrameColor, skDefaultHotColor);
  } else if (!(FNewStyle && FFlat)) {
    FrameFill(C, whole, clBtnShadow, clBtnFace);
  }
  C->Font()->Assign(FDefaultFont.get());
  ApplyCharset(C->Font(), FDefaultFont.get());
  if (!Enabled()) C->Font()->SetColor(clBtnShadow);
  RECT content = whole;
  if (strip.top > 0)
    content.bottom = strip.top;
  else
    content.right = strip.left;
  DrawContent(C, content, contentPressed, FDown, FMouseIn);
  bool moved = down && hot;
  if (!FNewStyle)
    moved = moved || tp;
  else if (FTrackButtonMode)
    moved = moved && tp;
  RECT m = strip;
  if (moved) OffsetRect(&m, 2, 2);
  DrawSmallDownArrow(C->Handle(), m, ColorToRGB(clBtnText));
}
