#include "skin/SkinMDITabs.h"

#include <algorithm>

#include "framework/Menus.h"
#include "skin/SkUtils.h"
#include "skin/SkinMenus.h"
#include "skin/SkinSpeedButtons.h"
#include "skin/SkinnedForm.h"

namespace {

constexpr int kButton = 15;
const wchar_t kItemMark[] = L"_DSFCHILDITEMBAR";
const wchar_t kHiddenItemMark[] = L"_DSFCHILDITEMBARHIDE";

void Fill(HDC DC, const RECT& R, TColor C) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(C));
  FillRect(DC, &R, b);
  DeleteObject(b);
}

void Frame(HDC DC, const RECT& R, TColor C) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(C));
  FrameRect(DC, &R, b);
  DeleteObject(b);
}

// Copies part Src of a picture to (X, Y), leaving out a colour when asked.
void CopyPart(HDC DC, int X, int Y, const TskPicture& Pic, const RECT& Src, bool Transparent,
              TColor TransColor) {
  if (!SkinRectInPicture(Src, &Pic)) return;
  HDC mem = CreateCompatibleDC(DC);
  HGDIOBJ old = SelectObject(mem, Pic.Handle());
  int w = RectWidth(Src), h = RectHeight(Src);
  if (Transparent)
    GdiTransparentBlt(DC, X, Y, w, h, mem, Src.left, Src.top, w, h, ColorToRGB(TransColor));
  else
    BitBlt(DC, X, Y, w, h, mem, Src.left, Src.top, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

} // namespace

// ---------------------------------------------------------------------------
// TskMDITab

void TskMDITab::DrawCaption(TCanvas* C, RECT R) {
  std::wstring text = Child ? Child->Caption() : std::wstring();
  HDC dc = C->Handle();
  HGDIOBJ old = SelectObject(dc, C->Font()->Handle());
  TrimTextToWidth(dc, text, RectWidth(R));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(C->Font()->Color()));
  UINT fl = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
  if (Bar->UseRightToLeftReading()) fl |= DT_RTLREADING;
  WideDrawText(dc, text, R, fl);
  SelectObject(dc, old);
}

void TskMDITab::DrawCloseButton(TCanvas* C, const RECT& Area) {
  TskSkinMDITabsBar* b = Bar;
  HDC dc = C->Handle();
  int size = b->FCloseSize;
  int top = Area.top + RectHeight(Area) / 2 - size / 2;
  RECT r{Area.left, top, Area.left + size, top + size};
  CloseRect = TRect(r.left, r.top, r.right, r.bottom);
  if (b->EntryIndex() < 0) {
    CloseRect = TRect(Area.left, Area.top + RectHeight(Area) / 2 - 7, Area.left + 14,
                      Area.top + RectHeight(Area) / 2 + 7);
    DrawCloseGlyph(dc, CloseRect.Left + 2, CloseRect.Top + 2,
                   CloseMouseIn ? RGB(255, 255, 255) : RGB(0, 0, 0));
    return;
  }
  if (IsRectEmpty(&b->FCloseButtonRect)) {
    auto* d = b->SkinData()->FindControl<TskDataSkinButtonControl>(L"resizetoolbutton");
    const TskPicture* pic = d ? b->SkinData()->ActivePicture(d->PictureIndex) : nullptr;
    if (!d || !pic || pic->Empty()) return;
    RECT src = d->SkinRect;
    TskColor color = d->FontColor;
    if (ClosePressed && CloseMouseIn && !IsRectEmpty(&d->DownSkinRect)) {
      src = d->DownSkinRect;
      color = d->DownFontColor;
    } else if (CloseMouseIn && !IsRectEmpty(&d->ActiveSkinRect)) {
      src = d->ActiveSkinRect;
      color = d->ActiveFontColor;
    }
    TskSkinImageParams p;
    p.Old = TskSkinGeometry{d->LTPoint, d->RTPoint, d->LBPoint, d->RBPoint, d->ClientRect};
    p.New = ScaleSkinGeometry(p.Old, d->SkinRect, size, size);
    TakeStretch(p, *d);
    p.W = p.H = size;
    p.R = src;
    TskPicture img;
    CreateSkinImage(p, *pic, img);
    DrawPicture(dc, r.left, r.top, img);
    DrawCloseGlyph(dc, r.left + size / 2 - 5, r.top + size / 2 - 5,
                   ColorToRGB(static_cast<TColor>(color)));
    return;
  }
  RECT src = b->FCloseButtonRect;
  if (ClosePressed && CloseMouseIn)
    src = b->FCloseButtonDownRect;
  else if (CloseMouseIn)
    src = b->FCloseButtonActiveRect;
  int h = RectHeight(src);
  top = Area.top + RectHeight(Area) / 2 - h / 2;
  CloseRect = TRect(Area.left, top, Area.left + RectWidth(src), top + h);
  if (b->FPicture)
    CopyPart(dc, CloseRect.Left, CloseRect.Top, *b->FPicture, src, b->FButtonTransparent,
             b->FButtonTransparentColor);
}

void TskMDITab::Draw(TCanvas* C) {
  TskSkinMDITabsBar* b = Bar;
  int w = TabRect.Width(), h = TabRect.Height();
  if (w <= 0 || h <= 0) return;
  bool entry = b->EntryIndex() >= 0 && b->FPicture;
  TBitmap bmp;
  TCanvas* bc = bmp.Canvas();
  TFont* F = bc->Font();
  RECT text;
  if (entry && b->FTabKind == sktkButton) {
    // Button look from the skin's "resizebutton".
    auto* d = b->SkinData()->FindControl<TskDataSkinButtonControl>(L"resizebutton");
    const TskPicture* pic = d ? b->SkinData()->ActivePicture(d->PictureIndex) : nullptr;
    if (!d || !pic || pic->Empty()) return;
    RECT src = d->SkinRect;
    TskColor color = d->FontColor;
    if (Active) {
      src = !IsRectEmpty(&d->DownSkinRect)     ? d->DownSkinRect
            : !IsRectEmpty(&d->ActiveSkinRect) ? d->ActiveSkinRect
                                               : d->SkinRect;
      color = d->DownFontColor;
    } else if (MouseIn) {
      src = !IsRectEmpty(&d->ActiveSkinRect) ? d->ActiveSkinRect : d->SkinRect;
      color = d->ActiveFontColor;
    }
    TskSkinImageParams p;
    p.Old = TskSkinGeometry{d->LTPoint, d->RTPoint, d->LBPoint, d->RBPoint, d->ClientRect};
    p.New = ScaleSkinGeometry(p.Old, d->SkinRect, w, h);
    TakeStretch(p, *d);
    p.W = w;
    p.H = h;
    p.R = src;
    TskPicture img;
    CreateSkinImage(p, *pic, img);
    bmp.SetSize(w, h);
    DrawPicture(bc->Handle(), 0, 0, img);
    text = d->ClientRect;
    text.right += w - RectWidth(d->SkinRect);
    text.bottom += h - RectHeight(d->SkinRect);
    b->ChooseTabFont(F, static_cast<TColor>(color));
    if (b->ShowCloseButtons) {
      text.right -= b->FCloseSize + 3;
      DrawCloseButton(bc, RECT{text.right, 0, w, h});
    }
    HDC dc = bc->Handle();
    HGDIOBJ old = SelectObject(dc, F->Handle());
    int th = WideTextHeight(dc, L"Wg");
    SelectObject(dc, old);
    if (RectHeight(text) < th) {
      text.bottom += th - RectHeight(text);
      OffsetRect(&text, 0, (h - RectHeight(text)) / 2 - text.top);
    }
  } else if (entry && !b->UseSkinSize) {
    // Stretched to the tab's size.
    RECT src = b->FTabRect;
    TColor color = b->FFontColor;
    if (MouseIn && !Active && !IsRectEmpty(&b->FMouseInTabRect)) {
      src = b->FMouseInTabRect;
      color = b->FMouseInFontColor;
    } else if (Active) {
      src = b->FActiveTabRect;
      color = b->FFocusFontColor;
    }
    int bh = h + (Active ? b->FActiveExtra : 0);
    TskPicture img;
    img.SetSize(w, bh);
    int q = RectHeight(b->FTabRect) / 4;
    RECT inner{b->FTabLeftOffset, q, RectWidth(src) - b->FTabRightOffset, RectHeight(src) - q};
    CreateStretchImage(img, *b->FPicture, src, inner, true);
    bmp.SetSize(w, bh);
    DrawPicture(bc->Handle(), 0, 0, img);
    b->ChooseTabFont(F, color);
    text = RECT{2, 0, w - 2, bh};
    if (b->ShowCloseButtons) {
      text.right = w - b->FCloseSize - 5;
      DrawCloseButton(bc, RECT{text.right, 0, w, bh});
    }
    h = bh;
  } else {
    if (!entry) {
      bmp.SetSize(w, h);
      HDC dc = bc->Handle();
      RECT all{0, 0, w, h};
      if (Active) {
        Fill(dc, all, skDefaultDownColor);
        Frame(dc, all, skDefaultFrameColor);
      } else if (MouseIn) {
        Fill(dc, all, skDefaultHotColor);
        Frame(dc, all, skDefaultFrameColor);
      } else {
        Fill(dc, all, clBtnFace);
        // A thin separator keeps idle tabs apart.
        Fill(dc, RECT{w - 1, 3, w, h - 3}, clBtnShadow);
      }
      F->Assign(b->FDefaultFont.get());
      if (b->SkinData() && b->SkinData()->ResourceStrData())
        F->SetCharset(static_cast<BYTE>(b->SkinData()->ResourceStrData()->CharSet));
      text = RECT{2, 0, w - 2, h};
    } else {
      RECT src = b->FTabRect;
      TColor color = b->FFontColor;
      if (MouseIn && !Active) {
        src = b->FMouseInTabRect;
        color = b->FMouseInFontColor;
      } else if (Active) {
        src = b->FActiveTabRect;
        color = b->FFocusFontColor;
      }
      TskPicture img;
      CreateHSkinImage(b->FTabLeftOffset, b->FTabRightOffset, img, b->FTabStretchEffect, w, src,
                       *b->FPicture);
      h = img.Height();
      bmp.SetSize(w, h);
      DrawPicture(bc->Handle(), 0, 0, img);
      b->ChooseTabFont(F, color);
      text = RECT{b->FTabLeftOffset, 0, w - b->FTabRightOffset, h};
    }
    if (b->ShowCloseButtons) {
      text = RECT{2, 0, w - b->FCloseSize - 5, h};
      DrawCloseButton(bc, RECT{text.right, 0, w, h});
    }
  }
  DrawCaption(bc, text);
  BitBlt(C->Handle(), TabRect.Left, TabRect.Top, bmp.Width(), bmp.Height(), bc->Handle(), 0, 0,
         SRCCOPY);
}

// ---------------------------------------------------------------------------
// TskSkinMDITabsBar

TskSkinMDITabsBar::TskSkinMDITabsBar(TComponent* AOwner)
    : TskSkinControl(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  FDefaultFont->SetName(L"Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
  FSkinDataName = L"tab";
  SetBounds(0, 0, 150, 21);
  FAllMenu = new TskSkinPopupMenu(this);
  FHiddenMenu = new TskSkinPopupMenu(this);
}

TskSkinMDITabsBar::~TskSkinMDITabsBar() {
  FTabs.clear();
  SetSkinnedForm(nullptr);
}

void TskSkinMDITabsBar::SetTabKind(TskSkinMDITabKind Value) {
  FTabKind = Value;
  if (FEntryIndex >= 0) Invalidate();
}

void TskSkinMDITabsBar::SetDefaultHeight(int Value) {
  FDefaultHeight = Value;
  if (FEntryIndex < 0 && Value > 0) SetHeight(Value);
}

void TskSkinMDITabsBar::SetSkinnedForm(TskSkinnedForm* Value) {
  if (FSkinnedForm) FSkinnedForm->RemoveFreeNotification(this);
  FSkinnedForm = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinMDITabsBar::Notification(TComponent* AComponent, TOperation Operation) {
  TskSkinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSkinnedForm) FSkinnedForm = nullptr;
  for (bool found = true; found;) {
    found = false;
    for (auto& t : FTabs)
      if (t->Child == AComponent) found = true;
    if (found) DeleteTab(static_cast<TCustomForm*>(AComponent));
  }
  if (AComponent == FMenuButton) FMenuButton = nullptr;
  if (AComponent == FHiddenButton) FHiddenButton = nullptr;
  if (AComponent == FAllMenu) FAllMenu = nullptr;
  if (AComponent == FHiddenMenu) FHiddenMenu = nullptr;
}

void TskSkinMDITabsBar::ReadSkinEntry() {
  TskSkinControl::ReadSkinEntry();
  FPicture = nullptr;
  if (FEntryIndex < 0) return;
  auto* e = dynamic_cast<TskDataSkinTabControl*>(FSkinData->ControlAt(FEntryIndex));
  const TskPicture* pic = e ? FSkinData->ActivePicture(e->PictureIndex) : nullptr;
  if (!e || !pic || pic->Empty()) {
    FEntryIndex = -1;
    return;
  }
  FPicture = pic;
  FTabRect = e->TabRect;
  FActiveTabRect = IsRectEmpty(&e->ActiveTabRect) ? e->TabRect : e->ActiveTabRect;
  FMouseInTabRect = IsRectEmpty(&e->MouseInTabRect) ? e->TabRect : e->MouseInTabRect;
  FTabsBGRect = e->TabsBGRect;
  FTabLeftOffset = e->TabLeftOffset;
  FTabRightOffset = e->TabRightOffset;
  FFontName = e->FontName;
  FFontStyle = e->FontStyle;
  FFontHeight = e->FontHeight;
  FFontColor = static_cast<TColor>(e->FontColor);
  FFocusFontColor = static_cast<TColor>(e->FocusFontColor);
  FMouseInFontColor = static_cast<TColor>(e->MouseInFontColor);
  FTabStretchEffect = e->TabStretchEffect;
  // The fallbacks stay with the bar: the description is the skin's.
  FCloseButtonRect = e->CloseButtonRect;
  FCloseButtonActiveRect =
      IsRectEmpty(&e->CloseButtonActiveRect) ? e->CloseButtonRect : e->CloseButtonActiveRect;
  FCloseButtonDownRect =
      IsRectEmpty(&e->CloseButtonDownRect) ? FCloseButtonActiveRect : e->CloseButtonDownRect;
  FButtonTransparent = e->ButtonTransparent;
  FButtonTransparentColor = static_cast<TColor>(e->ButtonTransparentColor);
  FLTPoint = e->LTPoint;
  FRTPoint = e->RTPoint;
  FLBPoint = e->LBPoint;
  FRBPoint = e->RBPoint;
  FClientRectSkin = e->ClientRect;
  FSkinRect = e->SkinRect;
  FTopStretch = e->TopStretch;
  FStripHeight = e->ClientRect.top;
  FActiveExtra = RectHeight(FActiveTabRect) - RectHeight(FTabRect);
}

void TskSkinMDITabsBar::ApplyControlSkin() {
  ReadSkinEntry();
  FCloseSize = FEntryIndex < 0 || IsRectEmpty(&FCloseButtonRect) ? 14 : RectWidth(FCloseButtonRect);
  if (FEntryIndex >= 0 && UseSkinSize)
    SetHeight(RectHeight(FTabRect) + (FTabKind == sktkTab ? FStripHeight : 0));
  else if (FDefaultHeight > 0)
    SetHeight(FDefaultHeight);
  for (auto* b : {FMenuButton, FHiddenButton})
    if (b) b->SetSkinData(FSkinData);
  Invalidate();
  Realign();
}

void TskSkinMDITabsBar::AdjustClientRect(TRect& Rect) {
  if (FTabKind == sktkTab && FEntryIndex >= 0) Rect.Bottom -= FStripHeight;
}

void TskSkinMDITabsBar::LayoutTabs() {
  FHiddenCount = 0;
  int n = TabCount();
  if (n == 0) return;
  int th = FTabKind == sktkButton ? Height() : Height() - FStripHeight;
  int tw = std::min((Width() - kButton) / n, DefaultTabWidth);
  if (MinTabWidth != 0 && tw < MinTabWidth) {
    int fit = std::max(0, (Width() - 2 * kButton) / MinTabWidth);
    for (int i = 0; i < n; ++i) {
      TskMDITab* t = FTabs[i].get();
      if (i < fit) {
        t->TabRect = TRect(kButton + i * MinTabWidth, 0, kButton + (i + 1) * MinTabWidth, th);
        t->Visible = true;
      } else {
        t->TabRect = TRect();
        t->Visible = false;
        ++FHiddenCount;
      }
    }
    FDragLimit = Width() - kButton;
  } else {
    for (int i = 0; i < n; ++i) {
      TskMDITab* t = FTabs[i].get();
      t->TabRect = TRect(kButton + i * tw, 0, kButton + (i + 1) * tw, th);
      t->Visible = true;
    }
    if (tw < DefaultTabWidth) FTabs[n - 1]->TabRect.Right = Width();
    FDragLimit = Width();
  }
  if (FDragIndex >= 0 && FDragIndex < n && FDragMoving) {
    TRect& r = FTabs[FDragIndex]->TabRect;
    int w = r.Width();
    r.Left += FDragOffset;
    r.Right += FDragOffset;
    if (r.Right > FDragLimit) {
      r.Right = FDragLimit;
      r.Left = r.Right - w;
    }
    if (r.Left < 0) {
      r.Left = 0;
      r.Right = w;
    }
  }
}

int TskSkinMDITabsBar::GetDropIndex() const {
  if (FTabs.empty() || FDragIndex < 0 || FDragIndex >= TabCount()) return -1;
  const TRect& d = FTabs[FDragIndex]->TabRect;
  int found = -1;
  if (FDragOffset > 0) {
    for (int i = FDragIndex + 1; i < TabCount(); ++i) {
      const TskMDITab* t = FTabs[i].get();
      if (t->Visible && t->TabRect.Left + t->TabRect.Width() / 2 < d.Right) found = i;
    }
  } else if (FDragOffset < 0) {
    for (int i = FDragIndex - 1; i >= 0; --i) {
      const TskMDITab* t = FTabs[i].get();
      if (t->Visible && t->TabRect.Left + t->TabRect.Width() / 2 > d.Left) found = i;
    }
  }
  return found;
}

int TskSkinMDITabsBar::TabAt(int X, int Y) const {
  for (int i = 0; i < TabCount(); ++i) {
    const TskMDITab* t = FTabs[i].get();
    const TRect& r = t->TabRect;
    if (t->Visible && X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom) return i;
  }
  return -1;
}

void TskSkinMDITabsBar::DrawDropMark(TCanvas* C, int X) {
  int h = Height();
  C->Pen()->SetMode(pmNot);
  C->Brush()->SetStyle(bsClear);
  for (int x = X - 1; x <= X + 1; ++x) {
    C->MoveTo(x, 0);
    C->LineTo(x, h);
  }
  int m = h / 2;
  C->Polyline({TPoint(X + 2, m), TPoint(X + 5, m - 3), TPoint(X + 5, m + 3), TPoint(X + 2, m)});
  C->Polyline({TPoint(X - 2, m), TPoint(X - 5, m - 3), TPoint(X - 5, m + 3), TPoint(X - 2, m)});
  C->Pen()->SetMode(pmCopy);
}

// The tabs' font: the skin's or the default one, with the skin's charset.
void TskSkinMDITabsBar::ChooseTabFont(TFont* F, TColor Color) const {
  if (UseSkinFont) {
    F->SetName(FFontName);
    F->SetHeight(FFontHeight);
    F->SetStyle(FFontStyle.Bits);
  } else {
    F->Assign(FDefaultFont.get());
  }
  ApplyCharset(F, FDefaultFont.get());
  F->SetColor(Color);
}

void TskSkinMDITabsBar::DrawTabs(TCanvas* C) {
  LayoutTabs();
  for (int i = 0; i < TabCount(); ++i)
    if (FTabs[i]->Visible && !(FDragArmed && i == FDragIndex)) FTabs[i]->Draw(C);
  if (FDragArmed && FDragIndex >= 0 && FDragIndex < TabCount()) FTabs[FDragIndex]->Draw(C);
  if (FDragMoving) {
    int drop = GetDropIndex();
    if (drop != -1) {
      const TRect& r = FTabs[drop]->TabRect;
      DrawDropMark(C, FDragOffset < 1 ? r.Left : r.Right);
    }
  }
}

void TskSkinMDITabsBar::PaintDefaultImage(TBitmap* Bitmap) {
  TCanvas* C = Bitmap->Canvas();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clBtnFace);
  C->FillRect(TRect(0, 0, Bitmap->Width(), Bitmap->Height()));
  // A line under the tabs sets the bar off from the area below.
  Fill(C->Handle(), RECT{0, Bitmap->Height() - 1, Bitmap->Width(), Bitmap->Height()}, clBtnShadow);
  DrawTabs(C);
}

void TskSkinMDITabsBar::PaintSkinImage(TBitmap* Bitmap) {
  TCanvas* C = Bitmap->Canvas();
  HDC dc = C->Handle();
  int W = Bitmap->Width(), H = Bitmap->Height();
  if (FSkinData->MDITabsTransparent) {
    PaintParentBackground(this, C);
  } else if (!IsRectEmpty(&FTabsBGRect)) {
    int tw = RectWidth(FTabsBGRect);
    int th = FTabKind == sktkButton ? H : H - FStripHeight;
    for (int n = 0; n <= W / tw; ++n) {
      int x0 = n * tw, x1 = std::min((n + 1) * tw, W);
      if (x1 <= x0) break;
      RECT src = FTabsBGRect;
      src.right -= (n + 1) * tw - x1;
      src.bottom -= std::max(0, RectHeight(FTabsBGRect) - H);
      DrawPictureRect(dc, RECT{x0, 0, x1, th}, *FPicture, src);
    }
  }
  if (FTabKind == sktkTab && !IsRectEmpty(&FSkinRect) && FStripHeight > 0) {
    int sw = RectWidth(FSkinRect);
    RECT src{FSkinRect.left + FLTPoint.x, FSkinRect.top, FSkinRect.right - (sw - FRTPoint.x),
             FSkinRect.top + FStripHeight};
    TskPicture strip;
    CreateHSkinImage(FLTPoint.x, sw - FRTPoint.x, strip, FTopStretch, W, src, *FPicture);
    DrawPicture(dc, 0, H - FStripHeight, strip);
  }
  DrawTabs(C);
}

void TskSkinMDITabsBar::Paint() {
  TskSkinControl::Paint();
  UpdateHiddenButton();
}

void TskSkinMDITabsBar::UpdateHiddenButton() {
  if (FHiddenCount > 0 && !FHiddenButton) {
    FHiddenButton = MakeMenuButton(true);
    FHiddenButton->Invalidate();
  } else if (FHiddenCount == 0 && FHiddenButton) {
    TskSkinMenuSpeedButton* b = FHiddenButton;
    FHiddenButton = nullptr;
    delete b;
  }
}

TskSkinMenuSpeedButton* TskSkinMDITabsBar::MakeMenuButton(bool Hidden) {
  auto* b = new TskSkinMenuSpeedButton(this);
  b->SetParent(this);
  b->SetAlign(Hidden ? alRight : alLeft);
  b->SetSkinDataName(L"resizetoolbutton");
  b->SetWidth(kButton);
  b->ArrowMarker = true;
  b->ArrowMarkerDirection = Hidden ? 2 : 4;
  TskSkinPopupMenu* menu = Hidden ? FHiddenMenu : FAllMenu;
  b->SetSkinPopupMenu(menu);
  b->OnShowTrackMenu = [this, menu, Hidden](TObject*) { RebuildMenu(menu, Hidden); };
  b->SetSkinData(FSkinData);
  return b;
}

bool TskSkinMDITabsBar::IsOwnTab(TskMDITab* T) const {
  for (auto& t : FTabs)
    if (t.get() == T) return true;
  return false;
}

void TskSkinMDITabsBar::RebuildMenu(TskSkinPopupMenu* Menu, bool HiddenOnly) {
  if (!Menu) return;
  Menu->Items()->Clear();
  for (auto& t : FTabs) {
    if (HiddenOnly && t->Visible) continue;
    TCustomForm* child = t->Child;
    auto* m = new TMenuItem(Menu);
    m->SetName(child->Name() + (HiddenOnly ? kHiddenItemMark : kItemMark));
    m->SetCaption(child->Caption());
    m->SetRadioItem(true);
    m->SetGroupIndex(0);
    m->SetChecked(t->Active);
    // The item keeps its child: names may be empty or alike.
    m->OnClick = [this, child](TObject*) { ChooseChild(child); };
    Menu->Items()->Add(m);
  }
}

void TskSkinMDITabsBar::ShowChild(TCustomForm* Child) {
  Child->Show();
  if (TskSkinnedForm* sf = GetSkinFormOf(Child); sf && sf->WindowState() == 1)
    sf->SetWindowState(0);
}

void TskSkinMDITabsBar::ChooseChild(TCustomForm* Child) {
  // The child must still have its tab (it may have gone while the menu was open).
  for (auto& t : FTabs)
    if (t->Child == Child) {
      if (TskSkinnedForm* sf = GetSkinFormOf(Child); sf && sf->WindowState() == 1)
        sf->SetWindowState(0);
      Child->Show();
      return;
    }
}

void TskSkinMDITabsBar::AddTab(TCustomForm* Child) {
  if (!Child) return;
  // A child freed without being hidden first takes its tab with it.
  Child->FreeNotification(this);
  FTabs.push_back(std::make_unique<TskMDITab>(this, Child));
  if (!FMenuButton) FMenuButton = MakeMenuButton(false);
  Invalidate();
}

void TskSkinMDITabsBar::DeleteTab(TCustomForm* Child) {
  if (FHoverIndex >= 0 && FHoverIndex < TabCount() && FTabs[FHoverIndex]->Child == Child) {
    if (OnTabMouseLeave) OnTabMouseLeave(this, FTabs[FHoverIndex].get());
    FHoverIndex = FOldHoverIndex = -1;
  }
  for (size_t i = 0; i < FTabs.size(); ++i)
    if (FTabs[i]->Child == Child) {
      FTabs.erase(FTabs.begin() + static_cast<std::ptrdiff_t>(i));
      if (FDragIndex == static_cast<int>(i)) {
        FDragIndex = -1;
        FDragArmed = FDragMoving = false;
      } else if (FDragIndex > static_cast<int>(i)) {
        --FDragIndex;
      }
      if (FHoverIndex > static_cast<int>(i)) FOldHoverIndex = --FHoverIndex;
      break;
    }
  if (FTabs.empty()) {
    delete FMenuButton;
    FMenuButton = nullptr;
    delete FHiddenButton;
    FHiddenButton = nullptr;
  }
  Invalidate();
}

void TskSkinMDITabsBar::UpdateActiveTab() {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  TCustomForm* active = main ? main->ActiveMDIChild() : nullptr;
  if (!active) return;
  for (auto& t : FTabs)
    t->Active = t->Child == active;
  Invalidate();
}

void TskSkinMDITabsBar::RedrawTab(TCustomForm* Child) {
  for (auto& t : FTabs)
    if (t->Child == Child) Invalidate();
}

void TskSkinMDITabsBar::TrackMouse(int X, int Y) {
  int cur = TabAt(X, Y);
  bool changed = cur != FOldHoverIndex;
  if (changed) {
    if (FOldHoverIndex >= 0 && FOldHoverIndex < TabCount()) {
      TskMDITab* o = FTabs[FOldHoverIndex].get();
      o->MouseIn = false;
      if (o->Visible) {
        Invalidate();
        if (OnTabMouseLeave) OnTabMouseLeave(this, o);
      }
    }
    if (cur >= 0) {
      TskMDITab* c = FTabs[cur].get();
      c->MouseIn = true;
      Invalidate();
      if (OnTabMouseEnter) OnTabMouseEnter(this, c);
    }
    FHoverIndex = FOldHoverIndex = cur;
  }
  if (ShowCloseButtons && cur >= 0) {
    TskMDITab* c = FTabs[cur].get();
    TRect cr = c->CloseRect;
    cr.Left += c->TabRect.Left;
    cr.Right += c->TabRect.Left;
    cr.Top += c->TabRect.Top;
    cr.Bottom += c->TabRect.Top;
    bool in = cr.Contains(TPoint(X, Y));
    if (in && !c->CloseMouseIn) {
      c->CloseMouseIn = true;
      Invalidate();
    } else if (!in && c->CloseMouseIn) {
      c->CloseMouseIn = c->ClosePressed = false;
      Invalidate();
    }
  }
  if (changed) {
    bool any = false;
    for (int i = 0; i < TabCount(); ++i) {
      TskMDITab* t = FTabs[i].get();
      if (i == cur) continue;
      if (t->CloseMouseIn || t->ClosePressed) any = true;
      t->CloseMouseIn = t->ClosePressed = false;
    }
    if (any) Invalidate();
  }
}

void TskSkinMDITabsBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinControl::MouseDown(Button, Shift, X, Y);
  int i = TabAt(X, Y);
  if (i < 0) return;
  TskMDITab* t = FTabs[i].get();
  if (Button == mbLeft) {
    ShowChild(t->Child);
    if (!IsOwnTab(t)) return;
    FDragArmed = true;
    if (MoveTabs) FDragIndex = i;
    FStartX = X;
    FDragOffset = 0;
    if (OnTabMouseDown) OnTabMouseDown(this, Button, Shift, t);
    if (!IsOwnTab(t) || !ShowCloseButtons) return;
    TRect cr = t->CloseRect;
    bool in = X >= t->TabRect.Left + cr.Left && X < t->TabRect.Left + cr.Right &&
              Y >= t->TabRect.Top + cr.Top && Y < t->TabRect.Top + cr.Bottom;
    if (in) {
      FDragArmed = false;
      FDragIndex = -1;
      t->CloseMouseIn = t->ClosePressed = true;
    } else {
      t->CloseMouseIn = t->ClosePressed = false;
    }
    Invalidate();
  } else if (Button == mbRight) {
    TskSkinnedForm* childForm = GetSkinFormOf(t->Child);
    if (SupportChildMenus && childForm && FSkinnedForm && FSkinnedForm->SkinMenu()) {
      FSkinnedForm->SkinMenuOpen();
      POINT p{X, Y};
      ::ClientToScreen(Handle(), &p);
      FSkinnedForm->SkinMenu()->Popup(Parent(), FSkinnedForm->MenuSkin(), 0,
                                      TRect(p.x, p.y, p.x, p.y), childForm->GetSystemMenuItems(),
                                      false);
    }
    if (OnTabMouseDown) OnTabMouseDown(this, Button, Shift, t);
  }
}

void TskSkinMDITabsBar::MouseMove(TShiftState Shift, int X, int Y) {
  TskSkinControl::MouseMove(Shift, X, Y);
  if (FDragArmed && FDragIndex != -1 && !FDragMoving && X != FStartX) FDragMoving = true;
  if (FDragMoving) {
    FDragOffset = X - FStartX;
    Invalidate();
  } else {
    TrackMouse(X, Y);
  }
}

void TskSkinMDITabsBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinControl::MouseUp(Button, Shift, X, Y);
  FDragArmed = false;
  if (FDragMoving) {
    LayoutTabs();
    int drop = GetDropIndex();
    FDragMoving = false;
    if (drop != -1 && drop != FDragIndex && FDragIndex >= 0 && FDragIndex < TabCount()) {
      auto moved = std::move(FTabs[FDragIndex]);
      FTabs.erase(FTabs.begin() + FDragIndex);
      FTabs.insert(FTabs.begin() + drop, std::move(moved));
    }
    FDragIndex = -1;
    FStartX = FDragOffset = 0;
    FHoverIndex = FOldHoverIndex = -1;
    Invalidate();
    return;
  }
  FDragIndex = -1;
  int i = TabAt(X, Y);
  if (i >= 0 && OnTabMouseUp) OnTabMouseUp(this, Button, Shift, FTabs[i].get());
  if (!ShowCloseButtons || Button != mbLeft) return;
  i = TabAt(X, Y);
  if (i < 0) return;
  TskMDITab* t = FTabs[i].get();
  TRect cr = t->CloseRect;
  bool in = X >= t->TabRect.Left + cr.Left && X < t->TabRect.Left + cr.Right &&
            Y >= t->TabRect.Top + cr.Top && Y < t->TabRect.Top + cr.Bottom;
  if (in && t->ClosePressed) {
    t->CloseMouseIn = true;
    t->ClosePressed = false;
    Invalidate();
    t->Child->Close();
  } else {
    t->CloseMouseIn = t->ClosePressed = false;
    Invalidate();
  }
}

void TskSkinMDITabsBar::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case CM_MOUSELEAVE:
    TskSkinControl::WndProc(Message);
    if (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this)) TrackMouse(-1, -1);
    return;
  case WM_SKINALPHAREPAINT:
    if (FEntryIndex >= 0 && FSkinData && FSkinData->MDITabsTransparent) Invalidate();
    return;
  case WM_MOVE:
    TskSkinControl::WndProc(Message);
    if (Align() == alNone && FEntryIndex >= 0 && FSkinData && FSkinData->MDITabsTransparent)
      Invalidate();
    return;
  default:
    break;
  }
  TskSkinControl::WndProc(Message);
}
