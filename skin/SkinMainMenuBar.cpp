#include "skin/SkinMainMenuBar.h"

#include <algorithm>

#include "framework/Forms.h"
#include "skin/SkUtils.h"
#include "skin/SkinMenus.h"
#include "skin/SkinnedForm.h"
#include "skin/skEffBmp.h"

namespace {

constexpr int kMarkerWidth = 5;

COLORREF Rgb(TColor C) {
  return ColorToRGB(C);
}

COLORREF SkinRgb(TskColor C) {
  return ColorToRGB(static_cast<TColor>(C));
}

void FillSolid(HDC DC, const RECT& R, COLORREF C) {
  HBRUSH b = CreateSolidBrush(C);
  FillRect(DC, &R, b);
  DeleteObject(b);
}

// The default look of a hot or pressed element: a one-pixel frame and a fill.
void DrawDefaultState(HDC DC, const RECT& R, bool Hot, bool Pressed) {
  if (!Hot && !Pressed) {
    FillSolid(DC, R, Rgb(clBtnFace));
    return;
  }
  FillSolid(DC, R, skDefaultFrameColor);
  RECT in = R;
  InflateRect(&in, -1, -1);
  FillSolid(DC, in, Pressed ? skDefaultDownColor : skDefaultHotColor);
}

bool SameRect(const RECT& A, const RECT& B) {
  return EqualRect(&A, &B) != 0;
}

// Copies rectangle Src of a picture to Dst on DC (nothing for an empty one).
void CopyPictureRect(HDC DC, const RECT& Dst, const TskPicture& P, const RECT& Src) {
  if (IsNullRect(Src) || P.Empty()) return;
  DrawPictureRect(DC, Dst, P, Src);
}

} // namespace

// ---------------------------------------------------------------------------
// TskMenuBarObject

TskMenuBarObject::TskMenuBarObject(TskSkinMainMenuBar* AParent, TskDataSkinObject* AData)
    : Parent(AParent) {
  if (!AData) return;
  IDName = AData->IDName;
  SkinRect = AData->SkinRect;
  ActiveSkinRect = AData->ActiveSkinRect;
  DownRect = ActiveSkinRect;
  Morphing = AData->Morphing;
  MorphKind = AData->MorphKind;
  if (TskSkinData* sd = AParent->SkinData()) Picture = sd->ActivePicture(AData->ActivePictureIndex);
  ObjectRect = SkinRect;
}

bool TskMenuBarObject::MorphingApplies() const {
  TskSkinData* sd = Parent->SkinData();
  return Morphing && sd && sd->EnableSkinEffects;
}

void TskMenuBarObject::SetMorphKf(double Value) {
  FMorphKf = std::clamp(Value, 0.0, 1.0);
}

bool TskMenuBarObject::MorphPending() const {
  return (!Down || IsNullRect(DownRect)) && ((Active && FMorphKf < 1) || (!Active && FMorphKf > 0));
}

void TskMenuBarObject::ReDraw() {
  if (MorphingApplies())
    Parent->StartMorph();
  else
    Parent->DrawObject(this);
}

void TskMenuBarObject::MouseEnter() {
  MouseIn = true;
  Active = true;
  ReDraw();
}

void TskMenuBarObject::MouseLeave() {
  MouseIn = false;
  Active = false;
  ReDraw();
}

void TskMenuBarObject::DrawMorph(HDC DC, const TskPicture& Normal, const TskPicture& Hot) {
  TskEffectBmp a(Normal), b(Hot);
  a.MorphByKind(MorphKind, b, FMorphKf);
  a.Draw(DC, ObjectRect.left, ObjectRect.top);
}

// ---------------------------------------------------------------------------
// TskSkinMainMenuBarButton

TskSkinMainMenuBarButton::TskSkinMainMenuBarButton(TskSkinMainMenuBar* AParent,
                                                   TskDataSkinStdButton* AData, int ACommand)
    : TskMenuBarObject(AParent, AData), SkinSupport(AData != nullptr), Command(ACommand) {
  if (!AData) return;
  switch (AData->Command) {
  case cmClose:
    Command = 0;
    break;
  case cmMaximize:
    Command = 1;
    break;
  case cmMinimize:
    Command = 2;
    break;
  case cmSysMenu:
    Command = 3;
    break;
  default:
    break;
  }
  DownRect = AData->DownRect;
}

void TskSkinMainMenuBarButton::Draw(HDC DC) {
  RECT r = ObjectRect;
  int w = RectWidth(r), h = RectHeight(r);
  if (w <= 0 || h <= 0) return;
  if (!SkinSupport || !Picture) {
    bool pressedIn = Down && MouseIn;
    TskPicture b(w, h);
    HDC mdc = CreateCompatibleDC(DC);
    HGDIOBJ old = SelectObject(mdc, b.Handle());
    DrawDefaultState(mdc, RECT{0, 0, w, h}, Active || MouseIn, pressedIn);
    int x = w / 2 - 5 + (pressedIn ? 1 : 0), y = h / 2 - 4 + (pressedIn ? 1 : 0);
    COLORREF c = Rgb(Enabled ? clBtnText : clBtnShadow);
    switch (Command) {
    case 0:
      DrawCloseGlyph(mdc, x, y, c);
      break;
    case 1:
      DrawRestoreGlyph(mdc, x, y, c);
      break;
    case 2:
      DrawMinimizeGlyph(mdc, x, y, c);
      break;
    default:
      DrawSysMenuGlyph(mdc, x, y, c);
      break;
    }
    BitBlt(DC, r.left, r.top, w, h, mdc, 0, 0, SRCCOPY);
    SelectObject(mdc, old);
    DeleteDC(mdc);
    return;
  }
  if (Down && !IsNullRect(DownRect) && MouseIn) {
    CopyPictureRect(DC, r, *Picture, DownRect);
    return;
  }
  if (MorphingApplies() && !IsNullRect(ActiveSkinRect) &&
      ((Active && MorphKf() != 1) || (!Active && MorphKf() != 0))) {
    TskPicture a(w, h), b(w, h);
    HDC mdc = CreateCompatibleDC(DC);
    HGDIOBJ old = SelectObject(mdc, a.Handle());
    CopyPictureRect(mdc, RECT{0, 0, w, h}, *Picture, SkinRect);
    SelectObject(mdc, b.Handle());
    CopyPictureRect(mdc, RECT{0, 0, w, h}, *Picture, ActiveSkinRect);
    SelectObject(mdc, old);
    DeleteDC(mdc);
    DrawMorph(DC, a, b);
    return;
  }
  CopyPictureRect(DC, r, *Picture,
                  Active && !IsNullRect(ActiveSkinRect) ? ActiveSkinRect : SkinRect);
}

void TskSkinMainMenuBarButton::DoCommand() {
  TskSkinnedForm* child = GetMaximizedChildSkinForm();
  if (!child) return;
  switch (Command) {
  case 0:
    child->Form()->Close();
    break;
  case 1:
    child->SetWindowState(0);
    break;
  case 2:
    child->SetWindowState(1);
    break;
  case 3: {
    TskSkinnedForm* sf = Parent->SkinnedForm();
    if (!sf || !sf->SkinMenu()) return;
    Parent->Repaint();
    TPoint lt = Parent->ClientToScreen(TPoint(ObjectRect.left, ObjectRect.top));
    TRect r(lt.X, lt.Y, lt.X + RectWidth(ObjectRect), lt.Y + RectHeight(ObjectRect));
    sf->SkinMenuOpen();
    sf->SkinMenu()->Popup(Parent, sf->MenuSkin(), 0, r, child->GetSystemMenuItems(),
                          Parent->PopupToUp);
    break;
  }
  default:
    break;
  }
}

void TskSkinMainMenuBarButton::MouseDown(int, int, TMouseButton Button) {
  if (!Enabled || Button != mbLeft) return;
  if (!Down) {
    Down = true;
    if (MorphingApplies() && !IsNullRect(DownRect)) SetMorphKf(1);
    Parent->DrawObject(this);
    if (Command == 3) DoCommand();
  }
}

void TskSkinMainMenuBarButton::MouseUp(int, int, TMouseButton Button) {
  if (!Enabled || Button != mbLeft) return;
  if (Command == 3) return;
  Down = false;
  Parent->DrawObject(this);
  if (MorphingApplies()) ReDraw();
  if (Active) DoCommand();
}

void TskSkinMainMenuBarButton::DblClick() {
  if (Command != 3) return;
  TskSkinnedForm* sf = Parent->SkinnedForm();
  if (sf) {
    if (sf->SkinMenu()) sf->SkinMenu()->CloseAll();
    sf->SkinMenuClose();
  }
  if (TskSkinnedForm* child = GetMaximizedChildSkinForm()) child->Form()->Close();
}

void TskSkinMainMenuBarButton::MouseEnter() {
  if (Down && Command == 3) {
    MouseIn = Active = true;
    return;
  }
  if (Down && MorphingApplies()) {
    MouseIn = Active = true;
    Parent->DrawObject(this);
    return;
  }
  TskMenuBarObject::MouseEnter();
}

void TskSkinMainMenuBarButton::MouseLeave() {
  if (Down && Command == 3) {
    MouseIn = Active = false;
    if (MorphingApplies()) SetMorphKf(1);
    return;
  }
  if (Down && MorphingApplies()) {
    MouseIn = Active = false;
    Parent->DrawObject(this);
    return;
  }
  TskMenuBarObject::MouseLeave();
}

// ---------------------------------------------------------------------------
// TskSkinMainMenuBarItem

TskSkinMainMenuBarItem::TskSkinMainMenuBarItem(TskSkinMainMenuBar* AParent,
                                               TskDataSkinMainMenuItem* AData, TMenuItem* AMenuItem)
    : TskMenuBarObject(AParent, AData), SkinSupport(AData != nullptr), MenuItem(AMenuItem) {
  if (AData) {
    FontName = AData->FontName;
    FontHeight = AData->FontHeight;
    FontStyle = AData->FontStyle;
    FontColor = AData->FontColor;
    ActiveFontColor = AData->ActiveFontColor;
    DownFontColor = AData->DownFontColor;
    UnEnabledFontColor = AData->UnEnabledFontColor;
    TextRect = AData->TextRect;
    DownRect = AData->DownRect;
    ItemLeftOffset = AData->ItemLeftOffset;
    ItemRightOffset = AData->ItemRightOffset;
    StretchEffect = AData->StretchEffect;
    AnimateSkinRect = AData->AnimateSkinRect;
    FrameCount = AData->FrameCount;
    AnimateInterval = AData->AnimateInterval;
    InActiveAnimation = AData->InActiveAnimation;
    if (IsNullRect(DownRect)) DownRect = IsNullRect(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
    if (IsNullRect(ActiveSkinRect)) Morphing = false;
  }
  IDName = MenuItem->Name();
  Enabled = SavedEnabled = MenuItem->Enabled();
}

bool TskSkinMainMenuBarItem::FrameAnimationApplies() const {
  TskSkinData* sd = Parent->SkinData();
  return !IsNullRect(AnimateSkinRect) && FrameCount > 0 && sd && !sd->Empty() &&
         sd->EnableSkinEffects;
}

void TskSkinMainMenuBarItem::ApplyItemFont(TFont* F) const {
  if (SkinSupport && Parent->UseSkinFont()) {
    F->SetName(FontName);
    F->SetHeight(FontHeight);
    F->SetStyle(FontStyle.Bits);
    TskSkinData* sd = Parent->SkinData();
    if (sd && sd->ResourceStrData())
      F->SetCharset(static_cast<BYTE>(sd->ResourceStrData()->CharSet));
    else
      F->SetCharset(Parent->DefItemFont()->Charset());
  } else {
    F->Assign(Parent->DefItemFont());
    TskSkinData* sd = Parent->SkinData();
    if (sd && sd->ResourceStrData())
      F->SetCharset(static_cast<BYTE>(sd->ResourceStrData()->CharSet));
  }
}

int TskSkinMainMenuBarItem::CaptionWidth(HDC DC) const {
  TFont f;
  ApplyItemFont(&f);
  HGDIOBJ old = SelectObject(DC, f.Handle());
  RECT r{0, 0, 0, 0};
  WideDrawText(DC, MenuItem->Caption(), r, DT_CALCRECT | DT_CENTER);
  SelectObject(DC, old);
  return RectWidth(r);
}

RECT TskSkinMainMenuBarItem::FrameRect(int N) const {
  RECT a = AnimateSkinRect;
  if (FrameCount <= 0) return a;
  if (RectHeight(a) > RectHeight(SkinRect)) {
    int fh = RectHeight(a) / FrameCount;
    return RECT{a.left, a.top + (N - 1) * fh, a.right, a.top + N * fh};
  }
  int fw = RectWidth(a) / FrameCount;
  return RECT{a.left + (N - 1) * fw, a.top, a.left + N * fw, a.bottom};
}

void TskSkinMainMenuBarItem::ReDraw() {
  if (FrameAnimationApplies()) {
    Parent->StartAnimation(AnimateInterval);
    return;
  }
  TskMenuBarObject::ReDraw();
}

bool TskSkinMainMenuBarItem::AnimationStep() {
  if (Active && CurrentFrame <= FrameCount) {
    ++CurrentFrame;
    Parent->DrawObject(this);
    return true;
  }
  if (!Active && CurrentFrame > 0) {
    --CurrentFrame;
    Parent->DrawObject(this);
    return true;
  }
  return false;
}

void TskSkinMainMenuBarItem::BuildImage(TskPicture& Dest, const RECT& Src, bool Stretch) const {
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  if (Parent->ItemTransparent() && SameRect(Src, SkinRect)) {
    Dest.SetSize(w, h);
    HDC mdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mdc, Dest.Handle());
    DrawPicture(mdc, -ObjectRect.left, -ObjectRect.top, Parent->Background());
    SelectObject(mdc, old);
    DeleteDC(mdc);
    return;
  }
  CreateHSkinImage(ItemLeftOffset, ItemRightOffset, Dest, Stretch, w, Src, *Picture);
}

void TskSkinMainMenuBarItem::DrawDefault(HDC DC) {
  RECT r = ObjectRect;
  int w = RectWidth(r), h = RectHeight(r);
  TskPicture b(w, h);
  HDC mdc = CreateCompatibleDC(DC);
  HGDIOBJ oldBmp = SelectObject(mdc, b.Handle());
  DrawDefaultState(mdc, RECT{0, 0, w, h}, Active, Down);
  TFont f;
  ApplyItemFont(&f);
  HGDIOBJ oldFont = SelectObject(mdc, f.Handle());
  RECT m{0, 0, 0, 0};
  WideDrawText(mdc, MenuItem->Caption(), m, DT_CALCRECT | DT_CENTER);
  int th = RectHeight(m);
  int t = h / 2 - th / 2;
  RECT tr{0, t, w, t + th};
  if (Down) {
    tr.left += 1;
    tr.top += 1;
  }
  SetBkMode(mdc, TRANSPARENT);
  SetTextColor(mdc, Rgb(f.Color()));
  WideDrawText(mdc, MenuItem->Caption(), tr,
               Parent->DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  SelectObject(mdc, oldFont);
  BitBlt(DC, r.left, r.top, w, h, mdc, 0, 0, SRCCOPY);
  SelectObject(mdc, oldBmp);
  DeleteDC(mdc);
}

void TskSkinMainMenuBarItem::DrawSkin(HDC DC) {
  RECT r = ObjectRect;
  int w = RectWidth(r), h = RectHeight(r);
  if (IsNullRect(SkinRect) || IsNullRect(TextRect) || w <= 0 || h <= 0) return;
  RECT hot = IsNullRect(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
  TskPicture img;
  bool morphing = MorphingApplies() && ((Active && MorphKf() != 1) || (!Active && MorphKf() != 0));
  if (Down) {
    BuildImage(img, DownRect, StretchEffect && SameRect(DownRect, ActiveSkinRect));
  } else if (FrameAnimationApplies() && CurrentFrame >= 1 && CurrentFrame <= FrameCount) {
    BuildImage(img, FrameRect(CurrentFrame), false);
  } else if (morphing) {
    TskPicture normal, active;
    BuildImage(normal, SkinRect, false);
    BuildImage(active, hot, StretchEffect);
    TskEffectBmp a(normal), b(active);
    a.MorphByKind(MorphKind, b, MorphKf());
    a.CopyTo(img);
  } else if (Active) {
    BuildImage(img, hot, StretchEffect && SameRect(hot, ActiveSkinRect));
  } else {
    BuildImage(img, SkinRect, false);
  }
  if (img.Empty()) return;
  HDC mdc = CreateCompatibleDC(DC);
  HGDIOBJ oldBmp = SelectObject(mdc, img.Handle());
  TFont f;
  ApplyItemFont(&f);
  HGDIOBJ oldFont = SelectObject(mdc, f.Handle());
  RECT m{0, 0, 0, 0};
  WideDrawText(mdc, MenuItem->Caption(), m, DT_CALCRECT | DT_CENTER);
  RECT tr{TextRect.left, TextRect.top, TextRect.left + RectWidth(m) + 2,
          TextRect.top + RectHeight(m)};
  TskColor c = Down                  ? DownFontColor
               : Active              ? ActiveFontColor
               : MenuItem->Enabled() ? FontColor
                                     : UnEnabledFontColor;
  SetBkMode(mdc, TRANSPARENT);
  SetTextColor(mdc, SkinRgb(c));
  WideDrawText(mdc, MenuItem->Caption(), tr, Parent->DrawTextBiDiModeFlags(DT_CENTER));
  SelectObject(mdc, oldFont);
  BitBlt(DC, r.left, r.top, w, h, mdc, 0, 0, SRCCOPY);
  SelectObject(mdc, oldBmp);
  DeleteDC(mdc);
}

void TskSkinMainMenuBarItem::Draw(HDC DC) {
  if (!Shown || RectWidth(ObjectRect) <= 0 || RectHeight(ObjectRect) <= 0) return;
  if (SkinSupport && Picture)
    DrawSkin(DC);
  else
    DrawDefault(DC);
}

void TskSkinMainMenuBarItem::MouseEnter() {
  TskSkinMainMenuBarItem* pressed = nullptr;
  for (TskSkinMainMenuBarItem* i : Parent->Items())
    if (i->Down) {
      pressed = i;
      break;
    }
  if (pressed && pressed->IDName != IDName) {
    // Moving along the bar moves the open menu.
    pressed->SetDown(false);
    Active = MouseIn = true;
    if (MorphingApplies()) SetMorphKf(1);
    SetDown(true);
    return;
  }
  for (TskSkinMainMenuBarItem* i : Parent->Items())
    if (i != this && i->Active) {
      i->MouseLeave();
      break;
    }
  MouseIn = Active = true;
  ReDraw();
  if (Parent->OnItemMouseEnter) Parent->OnItemMouseEnter(MenuItem);
  if (Parent->Hint() != MenuItem->Hint()) Parent->SetHint(MenuItem->Hint());
}

void TskSkinMainMenuBarItem::MouseLeave() {
  Active = MouseIn = false;
  if (FrameAnimationApplies() && !InActiveAnimation) {
    CurrentFrame = 0;
    Parent->DrawObject(this);
  }
  if (MorphingApplies() && Down) SetMorphKf(0);
  ReDraw();
  if (Parent->OnItemMouseLeave) Parent->OnItemMouseLeave(MenuItem);
}

void TskSkinMainMenuBarItem::MouseDown(int, int, TMouseButton Button) {
  TskSkinnedForm* sf = Parent->SkinnedForm();
  if (!Enabled || !sf || Button != mbLeft) return;
  if (Parent->OnMainMenuItemClick) Parent->OnMainMenuItemClick(Parent, IDName);
  if (MenuItem->Count() > 0) {
    Parent->SetMenuActive(true);
    SetDown(true);
    return;
  }
  if (sf->MainMenuMode()) sf->MainMenuExit();
  sf->ClearSkinMenuOpen();
  if (MorphingApplies())
    ReDraw();
  else
    Parent->DrawObject(this);
  TMenu* pm = MenuItem->GetParentMenu();
  if (!(pm && pm->DispatchCommand(MenuItem->Command()))) MenuItem->Click();
}

void TskSkinMainMenuBarItem::SetDown(bool Value) {
  if (Down == Value) return;
  Down = Value;
  if (!Value) {
    Active = false;
    if (FrameAnimationApplies()) {
      CurrentFrame = InActiveAnimation ? FrameCount + 1 : 0;
      if (InActiveAnimation) ReDraw();
    }
    if (MorphingApplies()) {
      SetMorphKf(1);
      ReDraw();
    } else {
      Parent->DrawObject(this);
    }
    return;
  }
  Parent->DrawObject(this);
  TskSkinnedForm* sf = Parent->SkinnedForm();
  if (!sf) return;
  if (!sf->MainMenuMode() && sf->OnMainMenuEnter) sf->OnMainMenuEnter(Parent);
  TPoint lt = Parent->ClientToScreen(TPoint(ObjectRect.left, ObjectRect.top));
  TRect r(lt.X, lt.Y, lt.X + RectWidth(ObjectRect), lt.Y + RectHeight(ObjectRect));
  sf->SkinMenuOpen();
  sf->SetMainMenuMode(true);
  if (sf->SkinMenu())
    sf->SkinMenu()->Popup(nullptr, Parent->SkinData(), 0, r, MenuItem, Parent->PopupToUp);
}

// ---------------------------------------------------------------------------
// TskSkinMainMenuBar

TskSkinMainMenuBar::TskSkinMainMenuBar(TComponent* AOwner)
    : TskSkinControl(AOwner), FDefItemFont(std::make_unique<TFont>()) {
  FDefItemFont->SetName(L"Arial");
  FDefItemFont->SetHeight(14);
  FDefItemFont->SetStyle(0);
  FDefItemFont->SetColor(clBtnText);
  // The bar paints itself when its background is erased.
  FControlStyle &= ~csOpaque;
  FSkinDataName = L"mainmenubar";
  SetAlign(alTop);
  SetHeight(22);
  auto timer = [this](UINT Interval, void (TskSkinMainMenuBar::*Tick)()) {
    auto t = std::make_unique<TTimer>(nullptr);
    t->SetEnabled(false);
    t->SetInterval(Interval);
    t->OnTimer = [this, Tick](TObject*) { (this->*Tick)(); };
    return t;
  };
  FMouseTimer = timer(50, &TskSkinMainMenuBar::MouseTimerTick);
  FMorphTimer = timer(25, &TskSkinMainMenuBar::MorphTimerTick);
  FAnimateTimer = timer(25, &TskSkinMainMenuBar::AnimateTimerTick);
}

TskSkinMainMenuBar::~TskSkinMainMenuBar() {
  FMouseTimer->SetEnabled(false);
  FMorphTimer->SetEnabled(false);
  FAnimateTimer->SetEnabled(false);
  FObjects.clear();
  if (FMainMenu) FMainMenu->RemoveFreeNotification(this);
  if (FChildMenu) FChildMenu->RemoveFreeNotification(this);
  if (FSkinnedForm) FSkinnedForm->RemoveFreeNotification(this);
}

void TskSkinMainMenuBar::SetMainMenu(TMainMenu* Value) {
  if (FMainMenu == Value) return;
  if (FMainMenu) FMainMenu->RemoveFreeNotification(this);
  FMainMenu = Value;
  if (Value) Value->FreeNotification(this);
  CreateControlObjects();
  Invalidate();
}

void TskSkinMainMenuBar::SetSkinnedForm(TskSkinnedForm* Value) {
  if (FSkinnedForm == Value) return;
  if (FSkinnedForm) FSkinnedForm->RemoveFreeNotification(this);
  FSkinnedForm = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinMainMenuBar::SetUseSkinFont(bool Value) {
  if (FUseSkinFont == Value) return;
  FUseSkinFont = Value;
  Invalidate();
}

void TskSkinMainMenuBar::SetScrollMenu(bool Value) {
  if (FScrollMenu == Value) return;
  FScrollMenu = Value;
  Invalidate();
}

void TskSkinMainMenuBar::SetDefItemFont(TFont* Value) {
  FDefItemFont->Assign(Value);
  if (FEntryIndex < 0) Invalidate();
}

void TskSkinMainMenuBar::SetDefaultWidth(int Value) {
  if (FDefaultWidth == Value) return;
  FDefaultWidth = Value;
  if (Value > 0 && FEntryIndex < 0) SetWidth(Value);
}

void TskSkinMainMenuBar::SetDefaultHeight(int Value) {
  if (FDefaultHeight == Value) return;
  FDefaultHeight = Value;
  if (Value > 0 && FEntryIndex < 0) SetHeight(Value);
}

void TskSkinMainMenuBar::Notification(TComponent* AComponent, TOperation Operation) {
  TskSkinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSkinnedForm) FSkinnedForm = nullptr;
  if (AComponent == FMainMenu) {
    FMainMenu = nullptr;
    CreateControlObjects();
    Invalidate();
  }
  if (AComponent == FChildMenu) {
    // The items of a freed child menu go at once.
    FChildMenu = nullptr;
    FRemovedMenu = static_cast<TMainMenu*>(AComponent);
    CreateControlObjects();
    FRemovedMenu = nullptr;
    Invalidate();
  }
}

TMainMenu* TskSkinMainMenuBar::GetChildMainMenu() const {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  TCustomForm* child = main ? main->ActiveMDIChild() : nullptr;
  if (!child) return nullptr;
  for (int i = 0; i < child->ComponentCount(); ++i)
    if (auto* m = dynamic_cast<TMainMenu*>(child->Components(i)); m && m != FRemovedMenu) return m;
  return nullptr;
}

std::vector<TskSkinMainMenuBarItem*> TskSkinMainMenuBar::Items() const {
  std::vector<TskSkinMainMenuBarItem*> v;
  for (auto& o : FObjects)
    if (auto* i = dynamic_cast<TskSkinMainMenuBarItem*>(o.get())) v.push_back(i);
  return v;
}

void TskSkinMainMenuBar::CreateControlObjects() {
  FObjects.clear();
  FButtonsCount = 0;
  FActiveObject = FOldActiveObject = FDownObject = -1;
  TMainMenu* child = nullptr;
  if (FSkinnedForm && FSkinnedForm->Form()->FormStyle() == fsMDIForm) child = GetChildMainMenu();
  if (FChildMenu != child) {
    if (FChildMenu) FChildMenu->RemoveFreeNotification(this);
    FChildMenu = child;
    if (child) child->FreeNotification(this);
  }
  if (!FMainMenu) return;
  TskDataSkinMainMenuItem* d = nullptr;
  if (FSkinData && !FSkinData->Empty() && !FMenuBarItem.empty())
    d = FSkinData->FindObject<TskDataSkinMainMenuItem>(FMenuBarItem);
  FMerged = child != nullptr;
  if (FMerged) FScrollMenu = false;
  std::vector<TMenuItem*> list;
  TMenuItem* root = FMainMenu->Items();
  if (!child) {
    for (int i = 0; i < root->Count(); ++i)
      list.push_back(root->Items(i));
  } else {
    TMenuItem* croot = child->Items();
    for (int i = 0; i < root->Count(); ++i) {
      bool taken = false;
      for (int j = 0; j < croot->Count() && !taken; ++j)
        taken = croot->Items(j)->GroupIndex() == root->Items(i)->GroupIndex();
      if (!taken) list.push_back(root->Items(i));
    }
    for (int j = 0; j < croot->Count(); ++j)
      list.push_back(croot->Items(j));
    // Items of one group keep their menu order.
    std::stable_sort(list.begin(), list.end(),
                     [](TMenuItem* a, TMenuItem* b) { return a->GroupIndex() < b->GroupIndex(); });
  }
  for (TMenuItem* m : list)
    if (m->Visible()) FObjects.push_back(std::make_unique<TskSkinMainMenuBarItem>(this, d, m));
  if (FButtonsShown) {
    CreateChildButtons();
    EnableButtons(GetMaximizedChildSkinForm());
  }
}

void TskSkinMainMenuBar::CreateChildButtons() {
  bool entry = FEntryIndex >= 0;
  struct TSpec {
    std::wstring SkinName, DefName;
    int Command;
  };
  // Each goes to the front: the list begins system menu, close, restore, minimize.
  const TSpec specs[] = {{FMinButton, L"MinButton", 2},
                         {FMaxButton, L"MaxButton", 1},
                         {FCloseButton, L"CloseButton", 0},
                         {FSysMenuButton, L"SysMenuButton", 3}};
  for (const TSpec& s : specs) {
    std::wstring name = entry ? s.SkinName : s.DefName;
    TskDataSkinStdButton* d = nullptr;
    if (FSkinData && !FSkinData->Empty()) d = FSkinData->FindObject<TskDataSkinStdButton>(name);
    auto b = std::make_unique<TskSkinMainMenuBarButton>(this, d, s.Command);
    if (b->IDName.empty()) b->IDName = name;
    FObjects.insert(FObjects.begin(), std::move(b));
    ++FButtonsCount;
  }
}

void TskSkinMainMenuBar::FreeChildButtons() {
  int n = std::min<int>(FButtonsCount, ObjectCount());
  FObjects.erase(FObjects.begin(), FObjects.begin() + n);
  FButtonsCount = 0;
  FActiveObject = FDownObject = -1;
}

void TskSkinMainMenuBar::EnableButtons(TskSkinnedForm* Child) {
  if (!Child) return;
  for (int i = 0; i < FButtonsCount && i < ObjectCount(); ++i) {
    auto* b = dynamic_cast<TskSkinMainMenuBarButton*>(FObjects[i].get());
    if (!b) continue;
    b->Enabled = true;
    if (b->Command == 2 && !(Child->BorderIcons() & biSkMinimize)) b->Enabled = false;
    if (b->Command == 3 && !(Child->BorderIcons() & biSkSystemMenu)) b->Enabled = false;
  }
}

void TskSkinMainMenuBar::UpdateItems() {
  CreateControlObjects();
  Invalidate();
  FActiveObject = FOldActiveObject = -1;
  FMouseTimer->SetEnabled(true);
}

void TskSkinMainMenuBar::MDIChildMaximized() {
  if (FButtonsShown) return;
  FButtonsShown = true;
  FActiveObject = FOldActiveObject = FDownObject = -1;
  CreateChildButtons();
  EnableButtons(GetMaximizedChildSkinForm());
  Invalidate();
}

void TskSkinMainMenuBar::MDIChildRestored() {
  TskSkinnedForm* child = GetMaximizedChildSkinForm();
  if (!child) {
    if (!FButtonsShown) return;
    FButtonsShown = false;
    FreeChildButtons();
    Invalidate();
    return;
  }
  EnableButtons(child);
  Invalidate();
}

// ---------------------------------------------------------------------------
// Skin

void TskSkinMainMenuBar::ReadSkinEntry() {
  TskSkinControl::ReadSkinEntry();
  FPicture = nullptr;
  if (FEntryIndex < 0) return;
  auto* e = dynamic_cast<TskDataSkinMainMenuBar*>(FSkinData->ControlAt(FEntryIndex));
  const TskPicture* pic = e ? FSkinData->ActivePicture(e->PictureIndex) : nullptr;
  if (!e || !SkinRectInPicture(e->SkinRect, pic)) {
    FEntryIndex = -1;
    return;
  }
  FPicture = pic;
  FSkinRect = e->SkinRect;
  FItemsRect = e->ItemsRect;
  FMenuBarItem = e->MenuBarItem;
  FCloseButton = e->CloseButton;
  FMinButton = e->MinButton;
  FMaxButton = e->MaxButton;
  FSysMenuButton = e->SysMenuButton;
  FTrackMarkColor = e->TrackMarkColor;
  FTrackMarkActiveColor = e->TrackMarkActiveColor;
  FStretchEffect = e->StretchEffect;
  FItemTransparent = e->ItemTransparent;
}

void TskSkinMainMenuBar::ApplyControlSkin() {
  ReadSkinEntry();
  FSkinSupport = FEntryIndex >= 0;
  CreateControlObjects();
  if (FSkinSupport)
    SetHeight(RectHeight(FSkinRect));
  else if (FDefaultHeight > 0)
    SetHeight(FDefaultHeight);
  Invalidate();
}

void TskSkinMainMenuBar::DropSkinEntry() {
  TskSkinControl::DropSkinEntry();
  FSkinSupport = false;
  FPicture = nullptr;
  FMenuBarItem.clear();
  FObjects.clear();
  FButtonsCount = 0;
  FActiveObject = FOldActiveObject = FDownObject = -1;
}

void TskSkinMainMenuBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (FEntryIndex >= 0 && RectHeight(FSkinRect) > 0) AHeight = RectHeight(FSkinRect);
  TskSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  Invalidate();
}

// ---------------------------------------------------------------------------
// Layout and painting

RECT TskSkinMainMenuBar::MarkerRect() const {
  return RECT{FItemsArea.right - kMarkerWidth, FItemsArea.top, FItemsArea.right, FItemsArea.bottom};
}

void TskSkinMainMenuBar::LayoutObjects() {
  int w = Width(), h = Height();
  if (FSkinSupport && FEntryIndex >= 0)
    FItemsArea = RECT{FItemsRect.left, FItemsRect.top,
                      w - (RectWidth(FSkinRect) - FItemsRect.right), FItemsRect.bottom};
  else
    FItemsArea = RECT{2, 2, w - 2, h - 2};
  RECT& a = FItemsArea;
  int ah = RectHeight(a);
  auto place = [&](TskMenuBarObject* o, int x) {
    int bw = ah, bh = ah, y = a.top;
    auto* b = static_cast<TskSkinMainMenuBarButton*>(o);
    if (b->SkinSupport && !IsNullRect(o->SkinRect)) {
      bw = RectWidth(o->SkinRect);
      bh = RectHeight(o->SkinRect);
      y = a.top + ah / 2 - bh / 2;
    }
    o->ObjectRect = RECT{x, y, x + bw, y + bh};
    return bw;
  };
  if (FButtonsShown && FButtonsCount == 4 && ObjectCount() >= 4) {
    a.left += place(FObjects[0].get(), a.left) + 2;
    for (int i = 1; i < 4; ++i) {
      TskMenuBarObject* o = FObjects[i].get();
      int bw = place(o, 0);
      OffsetRect(&o->ObjectRect, a.right - bw, 0);
      a.right -= bw + 2;
    }
  }
  HDC dc = CreateCompatibleDC(nullptr);
  int limit = a.right - (FScrollMenu ? kMarkerWidth : 0);
  int prevRight = 0;
  for (TskSkinMainMenuBarItem* it : Items()) {
    int left = prevRight != 0 ? prevRight : a.left;
    int cw = it->CaptionWidth(dc);
    if (it->SkinSupport && it->Picture) {
      it->ObjectRect =
          RECT{left, a.top, left + RectWidth(it->SkinRect) - RectWidth(it->TextRect) + cw + 2,
               a.top + RectHeight(it->SkinRect)};
    } else {
      it->ObjectRect = RECT{left, a.top, left + cw + 12, a.bottom};
    }
    prevRight = it->ObjectRect.right;
    if (it->ObjectRect.right > limit) {
      FItemsHidden = true;
      if (it->Shown) {
        it->SavedEnabled = it->Enabled;
        it->Enabled = false;
        it->Shown = false;
      }
    } else if (!it->Shown) {
      it->Shown = true;
      it->Enabled = it->SavedEnabled;
    }
  }
  DeleteDC(dc);
}

void TskSkinMainMenuBar::DrawMarker(HDC DC) {
  if (!FItemsHidden || !FScrollMenu) return;
  COLORREF c;
  if (FEntryIndex >= 0)
    c = SkinRgb(FMarkerActive ? FTrackMarkActiveColor : FTrackMarkColor);
  else
    c = Rgb(FMarkerActive ? clBtnText : clBtnShadow);
  DrawArrow(DC, MarkerRect(), c, 2);
}

void TskSkinMainMenuBar::PaintBar(HDC DC) {
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  ReadSkinEntry();
  TBitmap b;
  b.SetSize(w, h);
  HDC bdc = b.Canvas()->Handle();
  if (FEntryIndex < 0) {
    FillSolid(bdc, RECT{0, 0, w, h}, Rgb(clBtnFace));
  } else if (FSkinData->MainMenuBarTransparent) {
    PaintParentBackground(this, b.Canvas());
  } else {
    TskPicture bg;
    CreateHSkinImage(FItemsRect.left, RectWidth(FSkinRect) - FItemsRect.right, bg, FStretchEffect,
                     w, FSkinRect, *FPicture);
    DrawPicture(bdc, 0, 0, bg);
  }
  FBackground.SetSize(w, h);
  {
    HDC mdc = CreateCompatibleDC(bdc);
    HGDIOBJ old = SelectObject(mdc, FBackground.Handle());
    BitBlt(mdc, 0, 0, w, h, bdc, 0, 0, SRCCOPY);
    SelectObject(mdc, old);
    DeleteDC(mdc);
  }
  FItemsHidden = false;
  LayoutObjects();
  for (auto& o : FObjects)
    if (o->Visible) o->Draw(bdc);
  DrawMarker(bdc);
  BitBlt(DC, 0, 0, w, h, bdc, 0, 0, SRCCOPY);
}

void TskSkinMainMenuBar::DrawObject(TskMenuBarObject* O) {
  if (!HandleAllocated() || !O->Visible) return;
  if (FEntryIndex >= 0 && FItemTransparent && dynamic_cast<TskSkinMainMenuBarItem*>(O)) {
    Repaint();
    return;
  }
  HDC dc = GetDC(Handle());
  O->Draw(dc);
  ReleaseDC(Handle(), dc);
}

void TskSkinMainMenuBar::RedrawMarker() {
  if (!HandleAllocated()) return;
  HDC dc = GetDC(Handle());
  if (FEntryIndex >= 0 && !FBackground.Empty()) {
    RECT m = MarkerRect();
    DrawPictureRect(dc, m, FBackground, m);
  } else {
    FillSolid(dc, MarkerRect(), Rgb(clBtnFace));
  }
  DrawMarker(dc);
  ReleaseDC(Handle(), dc);
}

void TskSkinMainMenuBar::WMEraseBkgnd(TMessage& Message) {
  if (Message.WParam) PaintBar(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

void TskSkinMainMenuBar::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_SKINALPHAREPAINT:
    if (FEntryIndex >= 0 && FSkinData && FSkinData->MainMenuBarTransparent) Repaint();
    return;
  case WM_MOVE:
    TCustomControl::WndProc(Message);
    if (FEntryIndex >= 0 && FSkinData && FSkinData->MainMenuBarTransparent && Align() == alNone)
      Repaint();
    return;
  case WM_SIZE:
    TCustomControl::WndProc(Message);
    LayoutObjects();
    return;
  case WM_SKINMENUCLOSED:
    // The child's system menu closed.
    for (int i = 0; i < ObjectCount(); ++i) {
      auto* b = dynamic_cast<TskSkinMainMenuBarButton*>(FObjects[i].get());
      if (!b || b->Command != 3 || !b->Down) continue;
      b->Down = false;
      if (i != FActiveObject) b->Active = b->MouseIn = false;
      b->ReDraw();
    }
    return;
  case CM_MOUSEENTER:
    TskSkinControl::WndProc(Message);
    FMouseTimer->SetEnabled(true);
    return;
  case CM_MOUSELEAVE:
    TskSkinControl::WndProc(Message);
    FMouseTimer->SetEnabled(false);
    TrackMouse(-1, -1);
    return;
  default:
    break;
  }
  TskSkinControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Mouse

void TskSkinMainMenuBar::TrackMouse(int X, int Y) {
  if (FObjects.empty()) return;
  FOldActiveObject = FActiveObject;
  POINT p{X, Y};
  int hit = -1;
  for (int i = 0; i < ObjectCount(); ++i)
    if (FObjects[i]->Enabled && PtInRect(&FObjects[i]->ObjectRect, p)) {
      hit = i;
      break;
    }
  bool prevIsItem = FOldActiveObject >= 0 && FOldActiveObject < ObjectCount() &&
                    dynamic_cast<TskSkinMainMenuBarItem*>(FObjects[FOldActiveObject].get());
  if (hit < 0 && prevIsItem && FMenuActive)
    FActiveObject = FOldActiveObject;
  else
    FActiveObject = hit;
  if (FDownObject >= 0 && FActiveObject != FDownObject) FActiveObject = -1;
  if (FActiveObject >= ObjectCount()) FActiveObject = -1;
  if (FOldActiveObject >= ObjectCount()) FOldActiveObject = -1;
  if (FActiveObject != FOldActiveObject) {
    if (FOldActiveObject >= 0 && FObjects[FOldActiveObject]->Enabled)
      FObjects[FOldActiveObject]->MouseLeave();
    if (FActiveObject >= 0 && FActiveObject < ObjectCount() && FObjects[FActiveObject]->Enabled)
      FObjects[FActiveObject]->MouseEnter();
  }
  if (FItemsHidden && FScrollMenu) {
    RECT m = MarkerRect();
    bool in = PtInRect(&m, p) != 0;
    if (in != FMarkerActive) {
      FMarkerActive = in;
      RedrawMarker();
    }
  }
}

void TskSkinMainMenuBar::MouseTimerTick() {
  if (!HandleAllocated()) return;
  POINT p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  if (p.x < 0 || p.y < 0 || p.x > Width() || p.y > Height()) {
    FMouseTimer->SetEnabled(false);
    TrackMouse(-1, -1);
    return;
  }
  TrackMouse(p.x, p.y);
}

void TskSkinMainMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinControl::MouseDown(Button, Shift, X, Y);
  TrackMouse(X, Y);
  if (FActiveObject >= 0 && FActiveObject < ObjectCount()) {
    FDownObject = FActiveObject;
    TskMenuBarObject* o = FObjects[FDownObject].get();
    o->MouseDown(X, Y, Button);
    if (Shift & ssDouble) o->DblClick();
    return;
  }
  RECT m = MarkerRect();
  POINT p{X, Y};
  if (FItemsHidden && FScrollMenu && PtInRect(&m, p)) PopupHiddenItems();
}

void TskSkinMainMenuBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinControl::MouseUp(Button, Shift, X, Y);
  if (FDownObject >= 0 && FDownObject < ObjectCount()) FObjects[FDownObject]->MouseUp(X, Y, Button);
  FDownObject = -1;
}

void TskSkinMainMenuBar::MouseMove(TShiftState Shift, int X, int Y) {
  TskSkinControl::MouseMove(Shift, X, Y);
  FMouseTimer->SetEnabled(true);
}

void TskSkinMainMenuBar::MorphTimerTick() {
  bool stepped = false;
  if (HandleAllocated()) {
    HDC dc = GetDC(Handle());
    for (auto& o : FObjects) {
      if (!o->MorphingApplies() || !o->MorphPending()) continue;
      o->SetMorphKf(o->MorphKf() + (o->Active ? 0.2 : -0.2));
      o->Draw(dc);
      stepped = true;
    }
    ReleaseDC(Handle(), dc);
  }
  if (!stepped) FMorphTimer->SetEnabled(false);
}

void TskSkinMainMenuBar::StartAnimation(int Interval) {
  if (Interval > 0 && static_cast<UINT>(Interval) != FAnimateTimer->Interval())
    FAnimateTimer->SetInterval(static_cast<UINT>(Interval));
  FAnimateTimer->SetEnabled(true);
}

void TskSkinMainMenuBar::AnimateTimerTick() {
  bool changed = false;
  for (TskSkinMainMenuBarItem* i : Items())
    if (i->FrameAnimationApplies() && i->AnimationStep()) changed = true;
  if (!changed) FAnimateTimer->SetEnabled(false);
}

// ---------------------------------------------------------------------------
// Keyboard main-menu mode

bool TskSkinMainMenuBar::HandleAccelKey(WORD Key) {
  if (!FSkinnedForm || FObjects.empty() || !FSkinnedForm->Form()->Visible()) return false;
  TskSkinMenu* sm = FSkinnedForm->SkinMenu();
  bool open = sm && sm->Visible();
  for (TskSkinMainMenuBarItem* i : Items()) {
    if (!i->Enabled || !i->Shown || !IsAccel(Key, i->MenuItem->Caption())) continue;
    i->MouseEnter();
    if (!(open && i->MenuItem->Count() > 0)) i->MouseDown(0, 0, mbLeft);
    return true;
  }
  return false;
}

void TskSkinMainMenuBar::SelectNextItem() {
  std::vector<TskSkinMainMenuBarItem*> v;
  for (TskSkinMainMenuBarItem* i : Items())
    if (i->Enabled && i->Shown) v.push_back(i);
  if (v.empty()) return;
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i]->Active || v[i]->Down) {
      v[i]->MouseLeave();
      v[i + 1 < v.size() ? i + 1 : 0]->MouseEnter();
      return;
    }
  v.front()->MouseEnter();
}

void TskSkinMainMenuBar::SelectPriorItem() {
  std::vector<TskSkinMainMenuBarItem*> v;
  for (TskSkinMainMenuBarItem* i : Items())
    if (i->Enabled && i->Shown) v.push_back(i);
  if (v.empty()) return;
  for (size_t i = v.size(); i-- > 0;)
    if (v[i]->Active || v[i]->Down) {
      v[i]->MouseLeave();
      v[i > 0 ? i - 1 : v.size() - 1]->MouseEnter();
      return;
    }
  v.back()->MouseEnter();
}

bool TskSkinMainMenuBar::ClickActiveItem() {
  if (!FSkinnedForm) return false;
  TskSkinMenu* sm = FSkinnedForm->SkinMenu();
  bool open = sm && sm->Visible();
  for (TskSkinMainMenuBarItem* i : Items())
    if ((i->Down && i->MenuItem->Count() == 0) || (i->Active && !open)) {
      i->Active = false;
      i->MouseDown(0, 0, mbLeft);
      return true;
    }
  return false;
}

void TskSkinMainMenuBar::MainMenuEnter() {
  FMenuActive = true;
  auto items = Items();
  if (items.empty()) return;
  TskSkinMainMenuBarItem* hot = items.front();
  for (TskSkinMainMenuBarItem* i : items)
    if (i->Active) {
      hot = i;
      break;
    }
  hot->MouseEnter();
  if (!FSkinnedForm) return;
  FSkinnedForm->HookAppMessages();
  FSkinnedForm->SetMainMenuMode(true);
  if (FSkinnedForm->OnMainMenuEnter) FSkinnedForm->OnMainMenuEnter(this);
}

void TskSkinMainMenuBar::ReleaseDownItem() {
  for (TskSkinMainMenuBarItem* i : Items())
    if (i->Down) {
      i->Down = false;
      i->Active = true;
      if (i->MorphingApplies()) i->SetMorphKf(1);
      DrawObject(i);
      return;
    }
}

void TskSkinMainMenuBar::MainMenuExit() {
  FMenuActive = false;
  for (TskSkinMainMenuBarItem* i : Items())
    if (i->Down || i->Active) {
      i->Active = i->MouseIn = i->Down = false;
      if (i->MorphingApplies()) i->SetMorphKf(1);
      if (i->FrameAnimationApplies() && !i->InActiveAnimation) {
        i->CurrentFrame = 0;
        DrawObject(i);
      } else {
        i->ReDraw();
      }
      break;
    }
  FActiveObject = FOldActiveObject = -1;
}

void TskSkinMainMenuBar::PopupHiddenItems() {
  if (!FSkinnedForm || !FMainMenu || !FSkinnedForm->SkinMenu()) return;
  int n = 0;
  for (TskSkinMainMenuBarItem* i : Items())
    if (i->Shown) ++n;
  RECT m = MarkerRect();
  TPoint lt = ClientToScreen(TPoint(m.left, m.top));
  TRect r(lt.X, lt.Y, lt.X + RectWidth(m), lt.Y + RectHeight(m));
  FSkinnedForm->SkinMenuOpen();
  TMainMenu* child = FSkinnedForm->Form()->FormStyle() == fsMDIForm ? GetChildMainMenu() : nullptr;
  TskSkinMenu* sm = FSkinnedForm->SkinMenu();
  if (child)
    sm->PopupMerged(nullptr, FSkinData, n, r, FMainMenu->Items(), child->Items(), false);
  else
    sm->Popup(nullptr, FSkinData, n, r, FMainMenu->Items(), false);
}
