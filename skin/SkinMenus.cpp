#include "skin/SkinMenus.h"

#include <algorithm>

#include <windowsx.h>

#include "skin/SkUtils.h"
#include "skin/SkinHint.h"
#include "skin/skEffBmp.h"

namespace {

constexpr int kMarker = 10;
constexpr UINT_PTR kScrollTimer = 1;

COLORREF Rgb(TColor C) {
  return ColorToRGB(C);
}

void Fill(HDC DC, const RECT& R, TColor C) {
  HBRUSH b = CreateSolidBrush(Rgb(C));
  FillRect(DC, &R, b);
  DeleteObject(b);
}

void Frame(HDC DC, const RECT& R, TColor C) {
  HBRUSH b = CreateSolidBrush(Rgb(C));
  FrameRect(DC, &R, b);
  DeleteObject(b);
}

// A memory DC with a picture selected.
class TPictureDC {
public:
  explicit TPictureDC(const TskPicture& P) {
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, P.Handle());
  }
  ~TPictureDC() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  operator HDC() const { return FDC; }

private:
  HDC FDC;
  HGDIOBJ FOld;
};

void BlitPicture(HDC DC, int X, int Y, const TskPicture& P) {
  if (!P.Empty()) DrawPicture(DC, X, Y, P);
}

// Copies rectangle Src of a picture centred into Dest, leaving out the colour
// of the source's bottom-left pixel; never left of or above Dest.
void DrawTransparentPart(HDC DC, const RECT& Dest, const TskPicture& Pic, const RECT& Src) {
  int w = RectWidth(Src), h = RectHeight(Src);
  if (w <= 0 || h <= 0 || Pic.Empty()) return;
  int x = std::max<int>(Dest.left, Dest.left + (RectWidth(Dest) - w) / 2);
  int y = std::max<int>(Dest.top, Dest.top + (RectHeight(Dest) - h) / 2);
  TPictureDC src(Pic);
  GdiTransparentBlt(DC, x, y, w, h, src, Src.left, Src.top, w, h,
                    Pic.Pixel(Src.left, Src.bottom - 1));
}

std::wstring ItemText(TMenuItem* M) {
  std::wstring s = M->Caption();
  if (M->ShortCut()) s += L"  " + ShortCutToText(M->ShortCut());
  return s;
}

} // namespace

void DrawMenuCheckMark(HDC DC, int X, int Y, TColor Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Rgb(Color));
  HGDIOBJ old = SelectObject(DC, pen);
  for (int i = 0; i < 3; ++i) {
    POINT p[3] = {{X, Y + 5 - i}, {X + 2, Y + 7 - i}, {X + 7, Y + 2 - i}};
    Polyline(DC, p, 3);
  }
  SelectObject(DC, old);
  DeleteObject(pen);
}

void DrawSubMenuArrow(HDC DC, int X, int Y, TColor Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Rgb(Color));
  HGDIOBJ old = SelectObject(DC, pen);
  for (int i = 0; i < 4; ++i) {
    MoveToEx(DC, X + i, Y + i, nullptr);
    LineTo(DC, X + i, Y + 7 - i);
  }
  SelectObject(DC, old);
  DeleteObject(pen);
}

void DrawRadioDot(HDC DC, int X, int Y, TColor Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Rgb(Color));
  HBRUSH brush = CreateSolidBrush(Rgb(Color));
  HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
  Ellipse(DC, X, Y, X + 6, Y + 6);
  SelectObject(DC, op);
  SelectObject(DC, ob);
  DeleteObject(pen);
  DeleteObject(brush);
}

bool IsMenuCloseMessage(UINT Msg) {
  switch (Msg) {
  case WM_MOVE:
  case WM_SIZE:
  case WM_ACTIVATE:
  case WM_KILLFOCUS:
  case WM_CANCELMODE:
  case WM_MOUSEACTIVATE:
  case WM_NCLBUTTONDOWN:
  case WM_NCRBUTTONDOWN:
  case WM_NCMBUTTONDOWN:
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_PARENTNOTIFY:
    return true;
  default:
    return false;
  }
}

TskSkinMenuHost* FindSkinFormOf(TComponent* Form) {
  if (!Form) return nullptr;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* h = dynamic_cast<TskSkinMenuHost*>(Form->Components(i))) return h;
  return nullptr;
}

// ---------------------------------------------------------------------------
// TskSkinMenuItem

TskSkinMenuItem::TskSkinMenuItem(TskSkinPopupWindow* AParent, TMenuItem* AMenuItem,
                                 TskDataSkinMenuItem* AData)
    : FParent(AParent), FMenuItem(AMenuItem), FData(AData) {
  if (FData) {
    FPicture = AParent->SkinData() ? AParent->SkinData()->ActivePicture(FData->ActivePictureIndex)
                                   : nullptr;
    if (FPicture) {
      FSkinRect = FData->SkinRect;
      FActiveSkinRect = FData->ActiveSkinRect;
    }
  }
}

bool TskSkinMenuItem::MorphPending() {
  if (!Visible) {
    if (MorphKf != 0) {
      Active = false;
      Down = false;
      MorphKf = 0;
    }
    return false;
  }
  return (Active || Down) ? MorphKf < 1 : MorphKf > 0;
}

bool TskSkinMenuItem::IsHeader() const {
  const std::wstring& c = FMenuItem->Caption();
  return !FMenuItem->Enabled() && c.size() >= 2 && c.front() == L'-' && c.back() == L'-';
}

int TskSkinMenuItem::ItemHeight() const {
  if (FData) {
    int h = IsDivider() ? RectHeight(FData->DividerRect) : RectHeight(FData->SkinRect);
    if (h > 0) return h;
  }
  return IsDivider() ? 4 : FParent->Menu()->DefaultMenuItemHeight;
}

int TskSkinMenuItem::TextWidth(HDC DC) const {
  std::wstring s = ItemText(FMenuItem);
  RECT r{0, 0, 0, 0};
  DrawTextW(DC, s.c_str(), static_cast<int>(s.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  return RectWidth(r) + 2;
}

bool TskSkinMenuItem::MorphingApplies() const {
  return FData && FData->Morphing && FParent->SkinData() && FParent->SkinData()->EnableSkinEffects;
}

bool TskSkinMenuItem::FrameAnimationApplies() const {
  TskSkinData* sd = FParent->SkinData();
  return FData && FPicture && !IsRectEmpty(&FData->AnimateSkinRect) && FData->FrameCount > 0 &&
         sd && !sd->Empty() && sd->EnableSkinEffects;
}

RECT TskSkinMenuItem::ItemFrameRect(int N) const {
  const RECT& s = FData->AnimateSkinRect;
  int n = std::max(1, FData->FrameCount);
  if (RectHeight(FData->SkinRect) < RectHeight(s)) {
    int fh = RectHeight(s) / n;
    return RECT{s.left, s.top + (N - 1) * fh, s.right, s.top + N * fh};
  }
  int fw = RectWidth(s) / n;
  return RECT{s.left + (N - 1) * fw, s.top, s.left + N * fw, s.bottom};
}

void TskSkinMenuItem::Select(bool ByKeyboard) {
  FParent->Select(this, ByKeyboard);
}

void TskSkinMenuItem::Deselect() {
  FParent->Deselect(this);
}

void TskSkinMenuItem::Click() {
  KeyboardSelected = false;
  if (!Down && FMenuItem->Enabled()) FParent->Menu()->ItemActivated(FParent, this, true, false);
}

void TskSkinMenuItem::UpdateLook() {
  if (FrameAnimationApplies()) {
    TTimer* t = FParent->AnimationTimer();
    t->SetInterval(std::max(1, FData->AnimateInterval));
    if (Active || FData->InActiveAnimation) {
      t->SetEnabled(true);
      return;
    }
    FrameIndex = 0;
    FParent->DrawItemNow(this);
    return;
  }
  if (MorphingApplies()) {
    FParent->AnimationTimer()->SetInterval(20);
    FParent->AnimationTimer()->SetEnabled(true);
    return;
  }
  FParent->DrawItemNow(this);
}

void TskSkinMenuItem::MorphStep() {
  MorphKf += (Active || Down) ? 0.2 : -0.2;
  MorphKf = std::clamp(MorphKf, 0.0, 1.0);
  if (MorphKf > 0.999) MorphKf = 1;
  if (MorphKf < 0.001) MorphKf = 0;
  FParent->DrawItemNow(this);
}

void TskSkinMenuItem::Draw(HDC DC) {
  if (!Visible || ObjectRect.Width() <= 0 || ObjectRect.Height() <= 0) return;
  TBitmap b;
  b.SetSize(ObjectRect.Width(), ObjectRect.Height());
  DrawInto(&b);
  BitBlt(DC, ObjectRect.Left, ObjectRect.Top, b.Width(), b.Height(), b.Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

void TskSkinMenuItem::DrawInto(TBitmap* B) {
  if (!FData || !FPicture) {
    DrawDefaultMenuItem(B);
    return;
  }
  if (IsDivider()) {
    TskPicture p;
    CreateHSkinImage(FData->DividerLeftOffset, FData->DividerRightOffset, p,
                     FData->DividerStretchEffect, B->Width(), FData->DividerRect, *FPicture);
    BlitPicture(B->Canvas()->Handle(), 0, 0, p);
    return;
  }
  if (FrameAnimationApplies() && FrameIndex > 0 && FrameIndex <= FData->FrameCount) {
    RECT fr = ItemFrameRect(FrameIndex);
    DrawSkinMenuItem(B, Active || Down, &fr);
    return;
  }
  if (!MorphingApplies() || MorphKf >= 1 || MorphKf <= 0) {
    DrawSkinMenuItem(B, Active || Down, nullptr);
    return;
  }
  TBitmap a;
  a.SetSize(B->Width(), B->Height());
  DrawSkinMenuItem(B, false, nullptr);
  DrawSkinMenuItem(&a, true, nullptr);
  TskEffectBmp e1(B->Handle()), e2(a.Handle());
  e1.MorphByKind(FData->MorphKind, e2, MorphKf);
  e1.Draw(B->Canvas()->Handle(), 0, 0);
}

void TskSkinMenuItem::DrawSkinMenuItem(TBitmap* B, bool AActive, const RECT* FrameR) {
  TskSkinMenu* menu = FParent->Menu();
  TCanvas* C = B->Canvas();
  HDC dc = C->Handle();
  int w = B->Width(), h = B->Height();
  // 1. Picture.
  RECT src = FrameR ? *FrameR : (AActive ? FActiveSkinRect : FSkinRect);
  bool stretch = AActive ? FData->StretchEffect
                         : (FData->InActiveStretchEffect || (FrameR && FData->StretchEffect));
  if (!AActive && !FrameR && FData->InActiveTransparent &&
      !FParent->TransparentBackground().Empty()) {
    TPictureDC bg(FParent->TransparentBackground());
    BitBlt(dc, 0, 0, w, h, bg, ObjectRect.Left, ObjectRect.Top, SRCCOPY);
  } else {
    TskPicture p;
    CreateHSkinImage(FData->ItemLeftOffset, FData->ItemRightOffset, p, stretch, w, src, *FPicture);
    BlitPicture(dc, 0, 0, p);
  }
  // 2. Text area.
  RECT ta = FData->TextRect;
  ta.right += w - RectWidth(FData->SkinRect);
  // 3. Font and colour.
  TFont* f = C->Font();
  TFont* def = menu->DefaultMenuItemFont();
  if (menu->UseSkinFont) {
    f->SetName(FData->FontName);
    f->SetHeight(FData->FontHeight);
    f->SetStyle(FData->FontStyle.Bits);
  } else {
    f->Assign(def);
  }
  TskSkinData* sd = FParent->SkinData();
  f->SetCharset(sd && sd->ResourceStrData() ? static_cast<BYTE>(sd->ResourceStrData()->CharSet)
                                            : def->Charset());
  TColor fc = AActive ? FData->ActiveFontColor
                      : (FMenuItem->Enabled() ? FData->FontColor : FData->UnEnabledFontColor);
  f->SetColor(fc);
  C->Brush()->SetStyle(bsClear);
  // 4. Own drawing.
  if (FMenuItem->OnDrawItem) {
    FMenuItem->OnDrawItem(this, C, TRect(ta.left, ta.top, ta.right, ta.bottom), AActive);
    return;
  }
  // 5. Header.
  if (IsHeader()) {
    DrawMenuHeader(B);
    return;
  }
  // 6. Caption and shortcut.
  int imgCol = FParent->Images() ? FParent->Images()->Width() + 5 : 16;
  if (!IsRectEmpty(&FData->ImageRect)) imgCol = 0;
  DrawCaption(C, RECT{ta.left + imgCol, ta.top, ta.right, ta.bottom}, ta.right - 16, fc);
  // 7. Sub-menu arrow.
  if (HasSubItems()) {
    bool hasPic = !IsRectEmpty(&FData->ArrowImageRect);
    if (!hasPic) {
      DrawSubMenuArrow(dc, ta.right - 7, ta.top + RectHeight(ta) / 2 - 4, fc);
    } else {
      RECT ar = AActive && !IsRectEmpty(&FData->ActiveArrowImageRect) ? FData->ActiveArrowImageRect
                                                                      : FData->ArrowImageRect;
      DrawTransparentPart(dc, RECT{ta.right - RectWidth(ar) - 5, ta.top, ta.right, ta.bottom},
                          *FPicture, ar);
    }
  }
  // 8. Image colour.
  if (FData->UseImageColor) fc = AActive ? FData->ActiveImageColor : FData->ImageColor;
  // 9, 10. Image or glyph.
  DrawImageOrGlyph(C, ta, fc, AActive);
}

void TskSkinMenuItem::DrawCaption(TCanvas* C, const RECT& Area, int Right, TColor FontColor) {
  HDC dc = C->Handle();
  C->Font()->SetColor(FontColor);
  SelectObject(dc, C->Font()->Handle());
  SetTextColor(dc, Rgb(FontColor));
  SetBkMode(dc, TRANSPARENT);
  std::wstring cap = FMenuItem->Caption();
  RECT r{Area.left, 0, Right, 0};
  DrawTextW(dc, cap.c_str(), static_cast<int>(cap.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  int th = RectHeight(r);
  r.top = Area.top + (RectHeight(Area) - th) / 2;
  r.bottom = r.top + th;
  r.right += 2;
  DrawTextW(dc, cap.c_str(), static_cast<int>(cap.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (FMenuItem->ShortCut()) {
    std::wstring sc = ShortCutToText(FMenuItem->ShortCut());
    RECT s{Area.left, r.top, Right, r.bottom};
    DrawTextW(dc, sc.c_str(), static_cast<int>(sc.size()), &s,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  }
}

void TskSkinMenuItem::DrawImageOrGlyph(TCanvas* C, const RECT& ta, TColor fc, bool AActive) {
  HDC dc = C->Handle();
  const bool skin = FData && FPicture;
  const RECT ir = skin ? FData->ImageRect : RECT{};
  const bool hasIR = !IsRectEmpty(&ir);
  const int cy = ta.top + RectHeight(ta) / 2;
  TBitmap* bmp = nullptr;
  if (!FMenuItem->Bitmap()->Empty()) bmp = FMenuItem->Bitmap();
  TCustomImageList* il = FParent->Images();
  bool hasImage =
      bmp || (il && FMenuItem->ImageIndex() >= 0 && FMenuItem->ImageIndex() < il->Count());
  int baseX = skin ? ta.left + 2 : 4;
  if (hasImage) {
    int iw = bmp ? bmp->Width() : il->Width(), ih = bmp ? bmp->Height() : il->Height();
    int x = baseX, y = cy - ih / 2;
    if (hasIR) {
      x = ir.left + (RectWidth(ir) - iw) / 2;
      y = ir.top + (RectHeight(ir) - ih) / 2;
    }
    if (bmp)
      C->Draw(x, y, bmp);
    else
      il->Draw(C, x, y, FMenuItem->ImageIndex(), FMenuItem->Enabled());
    if (FMenuItem->Checked()) Frame(dc, RECT{x - 1, y - 1, x + iw + 1, y + ih + 1}, fc);
    return;
  }
  int gx = hasIR ? ir.left + RectWidth(ir) / 2 - 4 : baseX;
  int gy = hasIR ? ir.top + RectHeight(ir) / 2 - 4 : cy - 4;
  const std::wstring& n = FMenuItem->Name();
  COLORREF c = Rgb(fc);
  if (n == L"DSF_CLOSE" || n == L"TRAY_DSF_CLOSE") return DrawCloseGlyph(dc, gx, gy, c);
  if (n == L"DSF_MINITEM") return DrawMinimizeGlyph(dc, gx, gy, c);
  if (n == L"DSF_MAXITEM") return DrawMaximizeGlyph(dc, gx, gy, c);
  if (n == L"DSF_RESTORE" || n == L"TRAY_DSF_RESTORE") return DrawRestoreGlyph(dc, gx, gy, c);
  if (n == L"DSF_ROLLUP") return DrawRollUpGlyph(dc, gx, gy, c);
  if (n == L"DSF_MINTOTRAY") return DrawMinToTrayGlyph(dc, gx, gy, c);
  if (!FMenuItem->Checked()) return;
  RECT box = hasIR ? ir : RECT{ta.left + 2, ta.top, ta.left + 16, ta.bottom};
  if (!skin) {
    if (FMenuItem->RadioItem())
      DrawRadioDot(dc, 5, cy - 3, fc);
    else
      DrawMenuCheckMark(dc, 5, cy - 4, fc);
    return;
  }
  if (FMenuItem->RadioItem()) {
    RECT pr = AActive && !IsRectEmpty(&FData->ActiveRadioImageRect) ? FData->ActiveRadioImageRect
                                                                    : FData->RadioImageRect;
    if (!IsRectEmpty(&FData->RadioImageRect))
      DrawTransparentPart(dc, box, *FPicture, pr);
    else
      DrawRadioDot(dc, gx, gy + 1, fc);
  } else {
    RECT pr = AActive && !IsRectEmpty(&FData->ActiveCheckImageRect) ? FData->ActiveCheckImageRect
                                                                    : FData->CheckImageRect;
    if (!IsRectEmpty(&FData->CheckImageRect))
      DrawTransparentPart(dc, box, *FPicture, pr);
    else
      DrawMenuCheckMark(dc, gx, gy, fc);
  }
}

void TskSkinMenuItem::DrawMenuHeader(TBitmap* B) {
  TskSkinData* sd = FParent->SkinData();
  if (!FParent->Skinned() || !sd) return;
  auto* e = sd->FindControl<TskDataSkinLabelControl>(L"menuheader");
  if (!e) e = sd->FindControl<TskDataSkinLabelControl>(L"label");
  const TskPicture* pic = e ? sd->ActivePicture(e->PictureIndex) : nullptr;
  if (!e || !pic) return;
  int w = B->Width();
  TskPicture p;
  CreateHSkinImage(e->LTPoint.x, RectWidth(e->SkinRect) - e->RTPoint.x, p, e->StretchEffect, w,
                   e->SkinRect, *pic);
  HDC bdc = B->Canvas()->Handle();
  TFont f;
  f.SetName(e->FontName);
  f.SetHeight(e->FontHeight);
  f.SetStyle(e->FontStyle.Bits);
  {
    TPictureDC pdc(p);
    HGDIOBJ old = SelectObject(pdc, f.Handle());
    SetBkMode(pdc, TRANSPARENT);
    SetTextColor(pdc, Rgb(e->FontColor));
    const std::wstring& c = FMenuItem->Caption();
    std::wstring title = c.substr(1, c.size() - 2);
    RECT r{0, e->ClientRect.top, w, p.Height()};
    WideDrawText(pdc, title, r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(pdc, old);
  }
  BlitPicture(bdc, 0, (B->Height() - p.Height()) / 2, p);
}

void TskSkinMenuItem::DrawDefaultMenuItem(TBitmap* B) {
  TskSkinMenu* menu = FParent->Menu();
  TCanvas* C = B->Canvas();
  HDC dc = C->Handle();
  int w = B->Width(), h = B->Height();
  int imgCol = FParent->Images() ? FParent->Images()->Width() + 5 : 19;
  C->Font()->Assign(menu->DefaultMenuItemFont());
  TskSkinData* sd = FParent->SkinData();
  if (sd && sd->ResourceStrData())
    C->Font()->SetCharset(static_cast<BYTE>(sd->ResourceStrData()->CharSet));
  bool hi = (Active || Down) && !IsDivider();
  TColor fc;
  if (hi) {
    Fill(dc, RECT{0, 0, w, h}, 0xD2BDB6);
    Frame(dc, RECT{0, 0, w, h}, 0x800000);
    fc = clMenuText;
  } else {
    Fill(dc, RECT{0, 0, imgCol, h}, clBtnFace);
    Fill(dc, RECT{imgCol, 0, w, h}, clWindow);
    fc = FMenuItem->Enabled() ? clMenuText : clGrayText;
  }
  if (IsDivider()) {
    Fill(dc, RECT{imgCol, h / 2, w, h / 2 + 1}, clGrayText);
    return;
  }
  C->Brush()->SetStyle(bsClear);
  if (FMenuItem->OnDrawItem) {
    C->Font()->SetColor(fc);
    FMenuItem->OnDrawItem(this, C, TRect(0, 0, w, h), Active || Down);
    return;
  }
  RECT area{2 + imgCol, 0, w, h};
  DrawCaption(C, area, w - 2 - 19, fc);
  if (HasSubItems()) DrawSubMenuArrow(dc, w - 2 - 7, h / 2 - 4, fc);
  DrawImageOrGlyph(C, RECT{0, 0, w, h}, fc, Active || Down);
}

// ---------------------------------------------------------------------------
// TskSkinPopupWindow

TskSkinPopupWindow::TskSkinPopupWindow(TskSkinMenu* AMenu, TskSkinData* ASkinData)
    : TCustomControl(nullptr), FMenu(AMenu), FSkinData(ASkinData) {
  SetVisible(false);
  SetControlStyle(ControlStyle() | csAcceptsControls | csNoDesignVisible | csReplicatable);
  if (FSkinData && !FSkinData->Empty() && FSkinData->PopupWindow.WindowPictureIndex != -1) {
    FWindowData = &FSkinData->PopupWindow;
    FWindowPicture = FSkinData->ActivePicture(FWindowData->WindowPictureIndex);
    FMaskPicture = FSkinData->ActivePicture(FWindowData->MaskPictureIndex);
  }
  FAlphaBlend = AMenu->AlphaBlend;
  FAlphaBlendValue = AMenu->AlphaBlendValue;
  FAlphaBlendAnimation = AMenu->AlphaBlendAnimation;
  // Stopped timers whose ticks run with the window marked busy.
  auto timer = [this](UINT Interval, void (TskSkinPopupWindow::*Tick)()) {
    auto t = std::make_unique<TTimer>(nullptr);
    t->SetEnabled(false);
    t->SetInterval(Interval);
    t->OnTimer = [this, Tick](TObject*) {
      TBusyScope busy(this);
      (this->*Tick)();
    };
    return t;
  };
  FTrackTimer = timer(50, &TskSkinPopupWindow::TrackMenuMouse);
  FAnimTimer = timer(20, &TskSkinPopupWindow::ItemAnimationTick);
  FShowTimer = timer(100, &TskSkinPopupWindow::ShowDelayed);
  FFadeTimer = timer(10, &TskSkinPopupWindow::FadeTick);
  FCanvasFont = std::make_unique<TFont>();
}

TskSkinPopupWindow::~TskSkinPopupWindow() {
  FTrackTimer->SetEnabled(false);
  FAnimTimer->SetEnabled(false);
  FShowTimer->SetEnabled(false);
  FFadeTimer->SetEnabled(false);
  if (HandleAllocated() && FScrollTimerOn) KillTimer(Handle(), kScrollTimer);
  FItems.clear();
  if (HandleAllocated()) SetWindowRgn(Handle(), nullptr, FALSE);
  if (FRegion) DeleteObject(FRegion);
}

// A menu window: a shadowed top-level tool window that saves what it covers.
static void SetMenuWindowParams(TCreateParams& Params) {
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
  Params.WindowClass.style = CS_SAVEBITS;
  if (IsWinXPOrLater()) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TskSkinPopupWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  SetMenuWindowParams(Params);
}

TFont* TskSkinPopupWindow::ItemFont() {
  return FCanvasFont.get();
}

int TskSkinPopupWindow::ImageColumn() const {
  return FImages ? FImages->Width() + 5 : 16;
}

void TskSkinPopupWindow::BuildMenuItems(TMenuItem* Item, int StartIndex, TMenuItem* Item2) {
  FItems.clear();
  FActiveIndex = FOldActiveIndex = -1;
  FItemData = nullptr;
  if (Skinned()) {
    FItemData = FSkinData->FindObject<TskDataSkinMenuItem>(L"MENUITEM");
    if (!FItemData) FItemData = FSkinData->FindObject<TskDataSkinMenuItem>(L"menuitem");
  }
  TFont* def = FMenu->DefaultMenuItemFont();
  if (Skinned() && FItemData && FMenu->UseSkinFont) {
    FCanvasFont->SetName(FItemData->FontName);
    FCanvasFont->SetHeight(FItemData->FontHeight);
    FCanvasFont->SetStyle(FItemData->FontStyle.Bits);
    FCanvasFont->SetCharset(def->Charset());
  } else {
    FCanvasFont->Assign(def);
  }
  TMenu* pm = Item->GetParentMenu();
  if (pm && pm->AutoLineReduction()) Item->RethinkLines();
  FImages = pm ? pm->Images() : nullptr;
  for (int i = StartIndex; i < Item->Count(); ++i) {
    TMenuItem* m = Item->Items(i);
    if (!m->Visible()) continue;
    if (m->Action()) m->InitiateAction();
    FItems.push_back(std::make_unique<TskSkinMenuItem>(this, m, FItemData));
  }
  for (int i = std::max(0, StartIndex - Item->Count()); Item2 && i < Item2->Count(); ++i) {
    TMenuItem* m = Item2->Items(i);
    if (!m->Visible()) continue;
    if (m->Action()) m->InitiateAction();
    FItems.push_back(std::make_unique<TskSkinMenuItem>(this, m, FItemData));
  }
  SizeMenuWindow();
  ArrangeItems();
  SetSkinRegion();
}

int TskSkinPopupWindow::MenuItemsWidth(HDC DC) const {
  int tw = 0;
  for (auto& it : FItems)
    tw = std::max(tw, it->TextWidth(DC));
  int a = tw + (FImages ? FImages->Width() + 5 : 16) + 16;
  if (!Skinned()) return a + 10;
  int w = FWindowPicture->Width() + a + FWindowData->ItemsRect.left - FWindowData->ItemsRect.right;
  if (FItemData)
    w += FItemData->TextRect.left + (RectWidth(FItemData->SkinRect) - FItemData->TextRect.right);
  return w;
}

int TskSkinPopupWindow::MenuItemsHeight() const {
  int extra = Skinned() ? FWindowPicture->Height() + FWindowData->ItemsRect.top -
                              FWindowData->ItemsRect.bottom
                        : 6;
  int n = static_cast<int>(FItems.size());
  if (FMenu->MaxMenuItemsInWindow > 0 && FMenu->MaxMenuItemsInWindow < n) {
    int ih = FMenu->DefaultMenuItemHeight;
    if (FItemData && RectHeight(FItemData->SkinRect) > 0) ih = RectHeight(FItemData->SkinRect);
    return ih * FMenu->MaxMenuItemsInWindow + extra + 2 * kMarker;
  }
  int h = extra;
  for (auto& it : FItems)
    h += it->ItemHeight();
  return h;
}

void TskSkinPopupWindow::SizeMenuWindow() {
  FFirstShown = 0;
  FShownCount = ItemCount();
  FScrolled = FLimited = false;
  int w;
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FCanvasFont->Handle());
    w = MenuItemsWidth(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  int h = MenuItemsHeight();
  if (FMenu->MaxMenuItemsInWindow > 0 && FMenu->MaxMenuItemsInWindow < ItemCount())
    FScrolled = FLimited = true;
  RECT wa = FMenu->WorkArea();
  if (h > RectHeight(wa) && RectHeight(wa) > 0) {
    h = RectHeight(wa);
    FScrolled = true;
    FLimited = false;
  }
  SetBounds(Left(), Top(), w, h);
  if (Skinned()) {
    const TskDataSkinPopupWindow& d = *FWindowData;
    int pw = FWindowPicture->Width(), ph = FWindowPicture->Height();
    FNewLT = d.LTPoint;
    FNewRT = POINT{w + d.RTPoint.x - pw, d.RTPoint.y};
    FNewLB = POINT{d.LBPoint.x, h + d.LBPoint.y - ph};
    FNewRB = POINT{w + d.RBPoint.x - pw, h + d.RBPoint.y - ph};
    FItemsRect = TRect(d.ItemsRect.left, d.ItemsRect.top, w + d.ItemsRect.right - pw,
                       h + d.ItemsRect.bottom - ph);
  } else {
    FItemsRect = TRect(3, 3, w - 3, h - 3);
  }
}

void TskSkinPopupWindow::ArrangeItems() {
  int y = FItemsRect.Top + (FScrolled ? kMarker : 0);
  int bottom = FItemsRect.Bottom - (FScrolled ? kMarker : 0);
  FShownCount = 0;
  for (int i = 0; i < ItemCount(); ++i)
    FItems[i]->Visible = false;
  for (int i = FFirstShown; i < ItemCount(); ++i) {
    TskSkinMenuItem* it = FItems[i].get();
    int h = it->ItemHeight();
    if (y + h > bottom) break;
    it->ObjectRect = TRect(FItemsRect.Left, y, FItemsRect.Right, y + h);
    it->Visible = true;
    ++FShownCount;
    y += h;
  }
}

int TskSkinPopupWindow::FirstIndexForLastPage() const {
  int rest = FItemsRect.Bottom - kMarker - (FItemsRect.Top + kMarker);
  int fit = 0;
  for (int i = ItemCount() - 1; i >= 0; --i) {
    int h = FItems[i]->ItemHeight();
    if (rest - h < 0) break;
    rest -= h;
    ++fit;
  }
  return std::max(0, ItemCount() - fit);
}

void TskSkinPopupWindow::SetSkinRegion() {
  if (!Skinned() || !FMaskPicture) return;
  const TskDataSkinPopupWindow& d = *FWindowData;
  TskSkinGeometry o{d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ItemsRect};
  TskSkinGeometry n{FNewLT, FNewRT, FNewLB, FNewRB, *FItemsRect.R()};
  HRGN rgn = CreateSkinRegion(o, n, Width(), Height(), *FMaskPicture);
  HRGN old = FRegion;
  FRegion = rgn;
  if (HandleAllocated() || rgn) {
    HRGN copy = nullptr;
    if (rgn) {
      copy = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(copy, rgn, nullptr, RGN_COPY);
    }
    SetWindowRgn(Handle(), copy, TRUE);
  }
  if (old) DeleteObject(old);
}

void TskSkinPopupWindow::PlaceMenuWindow(const TRect& R, bool SubLevel, bool PreferAbove, int& X,
                                         int& Y, bool BesideWhenCovering) {
  RECT wa = FMenu->WorkArea();
  int W = Width(), H = Height(), T = FItemsRect.Top;
  bool upperHalf = R.Top < wa.top + RectHeight(wa) / 2;
  FTurned = false;
  // The window lies over R (pushed against an edge of the work area).
  bool covering = false;
  if (FScrolled && !FLimited) {
    Y = wa.top;
  } else if (SubLevel) {
    if (R.Top - T + H <= wa.bottom) {
      Y = R.Top - T;
    } else if (upperHalf) {
      Y = wa.bottom - H;
      FTurned = true;
    } else {
      Y = std::max<int>(R.Bottom + T - H, wa.top);
      FTurned = true;
    }
  } else if (PreferAbove) {
    if (R.Top - H >= wa.top) {
      Y = R.Top - H;
    } else {
      FTurned = true;
      if (upperHalf)
        Y = R.Bottom + H <= wa.bottom ? R.Bottom : wa.bottom - H;
      else
        Y = wa.top;
      covering = Y != R.Bottom;
    }
  } else {
    if (R.Bottom + H <= wa.bottom) {
      Y = R.Bottom;
    } else {
      FTurned = true;
      if (upperHalf)
        Y = wa.bottom - H;
      else
        Y = R.Top - H >= wa.top ? R.Top - H : wa.top;
      covering = Y != R.Top - H;
    }
  }
  bool beside = BesideWhenCovering ? covering : FTurned;
  if (!SubLevel && !beside && (!FScrolled || FLimited)) {
    X = R.Left;
    if (X + W > wa.right) X = wa.right - W;
    if (X < wa.left) X = wa.left;
  } else {
    X = wa.right >= R.Right + W + 1 ? R.Right + 1 : R.Left - W - 1;
  }
}

void TskSkinPopupWindow::ShowAt(const TRect& R, TMenuItem* Item, int StartIndex, bool SubLevel,
                                bool PreferAbove) {
  if (IsWin2KOrLater() && FAlphaBlend && FAlphaBlendAnimation && FMenu->FirstOpening())
    Application->ProcessMessages();
  BuildMenuItems(Item, StartIndex);
  PlaceMenuWindow(R, SubLevel, PreferAbove, FShowX, FShowY);
  SetBounds(FShowX, FShowY, Width(), Height());
  HandleNeeded();
  SetSkinRegion();
  if (FAlphaBlend && !IsWin2KOrLater()) {
    FShowTimer->SetEnabled(true);
    return;
  }
  FinishShow();
}

void TskSkinPopupWindow::ShowMergedAt(const TRect& R, TMenuItem* Item, TMenuItem* Item2,
                                      int StartIndex, bool SubLevel, bool PreferAbove) {
  if (IsWin2KOrLater() && FAlphaBlend && FAlphaBlendAnimation && FMenu->FirstOpening())
    Application->ProcessMessages();
  BuildMenuItems(Item, StartIndex, Item2);
  PlaceMenuWindow(R, SubLevel, PreferAbove, FShowX, FShowY, true);
  SetBounds(FShowX, FShowY, Width(), Height());
  HandleNeeded();
  SetSkinRegion();
  if (FAlphaBlend && !IsWin2KOrLater()) {
    FShowTimer->SetEnabled(true);
    return;
  }
  // The fade must not hold the message loop.
  FTimedFade = true;
  FinishShow();
}

bool TskSkinPopupWindow::Fading() const {
  return FFadeTimer->Enabled();
}

void TskSkinPopupWindow::FadeTick() {
  int target = std::min<int>(FAlphaBlendValue, 255);
  FFadeAlpha = std::min(FFadeAlpha + 10, target);
  if (HandleAllocated()) SetLayeredAlpha(Handle(), static_cast<BYTE>(FFadeAlpha));
  if (FFadeAlpha >= target) FFadeTimer->SetEnabled(false);
}

void TskSkinPopupWindow::ShowDelayed() {
  FShowTimer->SetEnabled(false);
  FScreenCopy.SetSize(Width() + 2, Height() + 2);
  CopyScreenToBitmap(FShowX - 1, FShowY - 1, FScreenCopy);
  FinishShow();
}

void TskSkinPopupWindow::FinishShow() {
  if (FWindowData && FWindowData->CursorIndex != -1 && FSkinData) {
    if (HCURSOR c = FSkinData->SkinCursor(FSkinData->StartCursorIndex + FWindowData->CursorIndex))
      SetClassLongPtrW(Handle(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(c));
  }
  bool layered = IsWin2KOrLater() && FAlphaBlend;
  bool fade = layered && FAlphaBlendAnimation && FMenu->FirstOpening();
  if (layered) {
    SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    FFadeAlpha = fade ? 0 : FAlphaBlendValue;
    SetLayeredAlpha(Handle(), static_cast<BYTE>(FFadeAlpha));
  }
  SetWindowPos(Handle(), HWND_TOPMOST, FShowX, FShowY, 0, 0,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  if (fade && FTimedFade) {
    FFadeTimer->SetEnabled(true);
  } else if (fade) {
    int a = 0;
    DWORD last = GetTickCount();
    while (a < FAlphaBlendValue) {
      if (GetTickCount() - last > 5) {
        a = std::min<int>(a + 10, FAlphaBlendValue);
        SetLayeredAlpha(Handle(), static_cast<BYTE>(a));
        last = GetTickCount();
      }
      Sleep(1);
    }
  }
  FLastPos = POINT{-1, -1};
  FTrackTimer->SetEnabled(true);
  FActiveIndex = -1;
  for (int i = 0; i < ItemCount(); ++i)
    if (FItems[i]->Selectable()) {
      FActiveIndex = i;
      Select(FItems[i].get(), true);
      break;
    }
}

void TskSkinPopupWindow::Retire() {
  FTrackTimer->SetEnabled(false);
  FAnimTimer->SetEnabled(false);
  FShowTimer->SetEnabled(false);
  FFadeTimer->SetEnabled(false);
  if (HandleAllocated()) {
    if (FScrollTimerOn) KillTimer(Handle(), kScrollTimer);
    ShowWindow(Handle(), SW_HIDE);
  }
  FScrollTimerOn = false;
}

void TskSkinPopupWindow::WndProc(TMessage& Message) {
  TBusyScope busy(this);
  switch (Message.Msg) {
  case WM_ERASEBKGND:
    PaintMenuWindow(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    return;
  case WM_MOUSEACTIVATE:
    Message.Result = MA_NOACTIVATE;
    return;
  case WM_TIMER:
    if (Message.WParam == kScrollTimer) {
      ScrollTick();
      return;
    }
    break;
  default:
    break;
  }
  TCustomControl::WndProc(Message);
}

void TskSkinPopupWindow::Paint() {
  PaintMenuWindow(Canvas()->Handle());
}

void TskSkinPopupWindow::BuildWindowImage(TskPicture& Dest, bool DrawCentre) {
  int W = Width(), H = Height();
  Dest.SetSize(W, H);
  if (Dest.Empty()) return;
  if (Skinned()) {
    const TskDataSkinPopupWindow& d = *FWindowData;
    TskSkinImageParams p;
    p.Old = TskSkinGeometry{d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ItemsRect};
    p.New = TskSkinGeometry{FNewLT, FNewRT, FNewLB, FNewRB, *FItemsRect.R()};
    TakeStretch(p, d);
    p.DrawCentre = DrawCentre;
    p.W = W;
    p.H = H;
    p.R = RECT{0, 0, FWindowPicture->Width(), FWindowPicture->Height()};
    CreateSkinImage2(p, *FWindowPicture, Dest);
  } else {
    TPictureDC dc(Dest);
    int col = FImages ? FImages->Width() + 5 + 3 : 22;
    Fill(dc, RECT{0, 0, col, H}, clBtnFace);
    Fill(dc, RECT{col, 0, W, H}, clWindow);
    Frame(dc, RECT{0, 0, W, H}, clGrayText);
    Frame(dc, RECT{1, 1, W - 1, H - 1}, clWindow);
  }
  if (FAlphaBlend && !IsWin2KOrLater() && !FScreenCopy.Empty()) {
    TskEffectBmp a(Dest), b(FScreenCopy);
    a.MorphRect(b, 1 - FAlphaBlendValue / 255.0, RECT{0, 0, W, H}, 1, 1);
    a.CopyTo(Dest);
  }
}

RECT TskSkinPopupWindow::UpMarkerRect() const {
  if (Skinned())
    return RECT{FItemsRect.Left, FItemsRect.Top, FItemsRect.Right, FItemsRect.Top + kMarker};
  return RECT{3, 3, Width() - 3, 13};
}

RECT TskSkinPopupWindow::DownMarkerRect() const {
  if (Skinned())
    return RECT{FItemsRect.Left, FItemsRect.Bottom - kMarker, FItemsRect.Right, FItemsRect.Bottom};
  return RECT{3, Height() - 10, Width() - 3, Height() - 3};
}

void TskSkinPopupWindow::PaintMarkerBackground(TskPicture& Dest, const RECT& R) {
  auto* d = FSkinData->FindObject<TskDataSkinMenuItem>(L"menuitem");
  if (!d) d = FSkinData->FindObject<TskDataSkinMenuItem>(L"MENUITEM");
  const TskPicture* pic = d ? FSkinData->ActivePicture(d->ActivePictureIndex) : nullptr;
  if (!d || !pic) return;
  TPictureDC dc(Dest);
  if (d->InActiveTransparent && !FTransparentBG.Empty()) {
    TPictureDC bg(FTransparentBG);
    BitBlt(dc, R.left, R.top, RectWidth(R), RectHeight(R), bg, R.left, R.top, SRCCOPY);
    return;
  }
  TskPicture p;
  CreateHSkinImage(d->ItemLeftOffset, d->ItemRightOffset, p, d->InActiveStretchEffect, RectWidth(R),
                   d->SkinRect, *pic);
  TPictureDC pdc(p);
  BitBlt(dc, R.left, R.top, RectWidth(R), std::min(RectHeight(R), p.Height()), pdc, 0, 0, SRCCOPY);
}

void TskSkinPopupWindow::DrawMarkers(HDC DC) {
  RECT up = UpMarkerRect(), down = DownMarkerRect();
  TColor normal = Skinned() ? FWindowData->ScrollMarkerColor : clGrayText;
  TColor active = Skinned() ? FWindowData->ScrollMarkerActiveColor : clBtnText;
  DrawArrow(DC, up, Rgb(FScrollDirection == 1 ? active : normal), 3);
  DrawArrow(DC, down, Rgb(FScrollDirection == 2 ? active : normal), 4);
}

void TskSkinPopupWindow::PaintMenuWindow(HDC DC) {
  int W = Width(), H = Height();
  if (W <= 0 || H <= 0) return;
  TskPicture img;
  BuildWindowImage(img, FScrolled);
  FTransparentBG.Clear();
  if (Skinned() && FItemData && FItemData->InActiveTransparent)
    BuildWindowImage(FTransparentBG, true);
  {
    TPictureDC dc(img);
    for (auto& it : FItems)
      if (it->Visible) it->Draw(dc);
  }
  if (FScrolled) {
    RECT up = UpMarkerRect(), down = DownMarkerRect();
    if (Skinned()) {
      PaintMarkerBackground(img, up);
      PaintMarkerBackground(img, down);
      int last = FItemsRect.Top + kMarker;
      for (auto& it : FItems)
        if (it->Visible) last = std::max<int>(last, it->ObjectRect.Bottom);
      if (last < down.top) PaintMarkerBackground(img, RECT{up.left, last, up.right, down.top});
    }
    TPictureDC dc(img);
    DrawMarkers(dc);
  }
  DrawPicture(DC, 0, 0, img);
}

void TskSkinPopupWindow::DrawItemNow(TskSkinMenuItem* Item) {
  if (!HandleAllocated() || !Item->Visible) return;
  if (Skinned() && FItemData && FItemData->InActiveTransparent && FTransparentBG.Empty())
    BuildWindowImage(FTransparentBG, true);
  HDC dc = GetDC(Handle());
  Item->Draw(dc);
  ReleaseDC(Handle(), dc);
}

void TskSkinPopupWindow::Select(TskSkinMenuItem* Item, bool ByKeyboard) {
  bool wasKeyboard = Item->KeyboardSelected;
  Item->Active = true;
  if (Item->FrameAnimationApplies()) Item->FrameIndex = 0;
  for (auto& it : FItems)
    if (it.get() != Item && it->Down) {
      it->Down = false;
      it->UpdateLook();
    }
  Item->KeyboardSelected = ByKeyboard;
  if (wasKeyboard && !ByKeyboard) {
    Item->UpdateLook();
  } else if (Item->Down) {
    CloseLevelsAfter();
  } else {
    Item->UpdateLook();
    FMenu->ItemActivated(this, Item, false, ByKeyboard);
  }
  SetHint(Item->MenuItem()->Hint());
}

void TskSkinPopupWindow::Deselect(TskSkinMenuItem* Item) {
  Item->KeyboardSelected = false;
  Item->Active = false;
  if (Item->FrameAnimationApplies()) Item->FrameIndex = Item->Data()->FrameCount + 1;
  if (!Item->Down) Item->UpdateLook();
  if (FMenu->WaitItem() == Item) FMenu->StopWait();
}

void TskSkinPopupWindow::CloseLevelsAfter() {
  int level = FMenu->MenuLevelOf(this);
  if (level + 2 < FMenu->LevelCount() + 1 && level + 2 <= FMenu->LevelCount())
    FMenu->CloseMenuLevels(level + 2);
  if (level + 1 < FMenu->LevelCount()) {
    TskSkinPopupWindow* next = FMenu->Level(level + 1);
    for (int i = 0; i < next->ItemCount(); ++i)
      if (next->Item(i)->Down) {
        next->Item(i)->Down = false;
        next->Item(i)->UpdateLook();
      }
  }
}

void TskSkinPopupWindow::TrackMenuMouse() {
  if (!HandleAllocated()) return;
  POINT sp;
  if (!GetCursorPos(&sp)) return;
  POINT p = sp;
  ::ScreenToClient(Handle(), &p);
  if (p.x == FLastPos.x && p.y == FLastPos.y) return;
  FLastPos = p;
  if (WindowFromPoint(sp) == Handle()) {
    MouseMoveAt(p.x, p.y);
  } else if (FScrolled && FScrollDirection != 0) {
    StopScroll();
  }
}

void TskSkinPopupWindow::MouseMoveAt(int X, int Y) {
  POINT pt{X, Y};
  if (FScrolled) {
    RECT up{FItemsRect.Left, FItemsRect.Top, FItemsRect.Right, FItemsRect.Top + kMarker};
    RECT down{FItemsRect.Left, FItemsRect.Bottom - kMarker, FItemsRect.Right, FItemsRect.Bottom};
    if (PtInRect(&up, pt)) {
      if (FScrollDirection == 0 && FFirstShown > 0) {
        FScrollDirection = 1;
        Invalidate();
        StartScroll();
      }
    } else if (PtInRect(&down, pt)) {
      if (FScrollDirection == 0 && FFirstShown + FShownCount < ItemCount()) {
        FScrollDirection = 2;
        Invalidate();
        StartScroll();
      }
    } else if (FScrollDirection != 0) {
      StopScroll();
    }
  }
  FOldActiveIndex = FActiveIndex;
  for (int i = FFirstShown; i < FFirstShown + FShownCount && i < ItemCount(); ++i)
    if (FItems[i]->ObjectRect.Contains(TPoint(X, Y))) {
      FActiveIndex = i;
      break;
    }
  if (FActiveIndex < 0) return;
  TskSkinMenuItem* cur = FItems[FActiveIndex].get();
  if (FActiveIndex == FOldActiveIndex) {
    if (cur->KeyboardSelected) {
      cur->KeyboardSelected = false;
      if (cur->HasSubItems() && cur->Selectable()) Select(cur, false);
    }
    return;
  }
  if (FOldActiveIndex >= 0 && FOldActiveIndex < ItemCount() &&
      FItems[FOldActiveIndex]->Selectable())
    Deselect(FItems[FOldActiveIndex].get());
  if (cur->Selectable()) Select(cur, false);
}

void TskSkinPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  MouseMoveAt(X, Y);
  if (FActiveIndex < 0) return;
  bool onItem = false;
  for (int i = FFirstShown; i < FFirstShown + FShownCount && i < ItemCount(); ++i)
    if (FItems[i]->ObjectRect.Contains(TPoint(X, Y))) onItem = true;
  TskSkinMenuItem* it = FItems[FActiveIndex].get();
  if (onItem && !it->IsDivider()) it->Click();
}

bool TskSkinPopupWindow::CanScroll() const {
  if (FScrollDirection == 1) return FFirstShown > 0;
  if (FScrollDirection == 2) return FFirstShown + FShownCount - 1 < ItemCount() - 1;
  return false;
}

void TskSkinPopupWindow::StartScroll() {
  FMenu->StopWait();
  int level = FMenu->MenuLevelOf(this);
  if (level + 1 < FMenu->LevelCount()) FMenu->CloseMenuLevels(level + 1);
  if (HandleAllocated()) {
    SetTimer(Handle(), kScrollTimer, 100, nullptr);
    FScrollTimerOn = true;
  }
}

void TskSkinPopupWindow::StopScroll() {
  FScrollDirection = 0;
  if (HandleAllocated()) {
    KillTimer(Handle(), kScrollTimer);
    Invalidate();
  }
  FScrollTimerOn = false;
}

void TskSkinPopupWindow::ScrollTick() {
  if (!CanScroll()) {
    StopScroll();
    return;
  }
  if (FScrollDirection == 1)
    ScrollUp(false);
  else
    ScrollDown(false);
}

void TskSkinPopupWindow::ScrollUp(bool Wrap) {
  if (FFirstShown > 0)
    --FFirstShown;
  else if (Wrap)
    FFirstShown = FirstIndexForLastPage();
  else
    return;
  ArrangeItems();
  Invalidate();
}

void TskSkinPopupWindow::ScrollDown(bool Wrap) {
  if (FFirstShown + FShownCount < ItemCount())
    ++FFirstShown;
  else if (Wrap)
    FFirstShown = 0;
  else
    return;
  ArrangeItems();
  Invalidate();
}

void TskSkinPopupWindow::SelectNextItem() {
  int n = ItemCount();
  if (n == 0) return;
  if (FScrolled && FActiveIndex >= 0 && FActiveIndex == FFirstShown + FShownCount - 1)
    ScrollDown(true);
  int old = FActiveIndex;
  int start = FActiveIndex + 1;
  if (start >= n) start = 0;
  int found = -1;
  for (int pass = 0; pass < 2 && found < 0; ++pass) {
    for (int i = pass == 0 ? start : 0; i < n; ++i) {
      if (FScrolled && i >= FFirstShown + FShownCount) ScrollDown(true);
      if (FItems[i]->Selectable()) {
        found = i;
        break;
      }
    }
  }
  if (found < 0) return;
  if (FScrolled) {
    if (found < FFirstShown || found >= FFirstShown + FShownCount) {
      FFirstShown = std::min(found, FirstIndexForLastPage());
      ArrangeItems();
      Invalidate();
    }
  }
  if (found == old) return;
  FActiveIndex = found;
  if (old >= 0) Deselect(FItems[old].get());
  Select(FItems[found].get(), true);
}

void TskSkinPopupWindow::SelectPrevItem() {
  int n = ItemCount();
  if (n == 0) return;
  if (FScrolled && FActiveIndex >= 0 && FActiveIndex == FFirstShown) ScrollUp(true);
  int old = FActiveIndex;
  int start = FActiveIndex - 1;
  if (start < 0) start = n - 1;
  int found = -1;
  for (int pass = 0; pass < 2 && found < 0; ++pass) {
    for (int i = pass == 0 ? start : n - 1; i >= 0; --i) {
      if (FItems[i]->Selectable()) {
        found = i;
        break;
      }
    }
  }
  if (found < 0) return;
  if (FScrolled && (found < FFirstShown || found >= FFirstShown + FShownCount)) {
    FFirstShown = std::min(found, FirstIndexForLastPage());
    ArrangeItems();
    Invalidate();
  }
  if (found == old) return;
  FActiveIndex = found;
  if (old >= 0) Deselect(FItems[old].get());
  Select(FItems[found].get(), true);
}

void TskSkinPopupWindow::HandleMenuKey(WORD Key) {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  TBusyScope busy(this);
  for (int i = 0; i < ItemCount(); ++i) {
    TskSkinMenuItem* it = FItems[i].get();
    if (it->MenuItem()->Enabled() && IsAccel(Key, it->MenuItem()->Caption())) {
      int old = FActiveIndex;
      FActiveIndex = i;
      if (old >= 0 && old != i) Deselect(FItems[old].get());
      if (old != i) Select(it, true);
      it->Click();
      return;
    }
  }
  int level = FMenu->MenuLevelOf(this);
  switch (Key) {
  case VK_RETURN:
    if (FActiveIndex >= 0) FItems[FActiveIndex]->Click();
    break;
  case VK_LEFT:
    if (FMenu->LevelCount() < 2) break;
    [[fallthrough]];
  case VK_ESCAPE: {
    int top = FMenu->LevelCount() - 1;
    FMenu->CloseMenuLevels(top);
    if (top >= 1) {
      TskSkinPopupWindow* below = FMenu->Level(top - 1);
      for (int i = 0; i < below->ItemCount(); ++i)
        if (below->Item(i)->Down) {
          below->Item(i)->Down = false;
          below->Item(i)->UpdateLook();
        }
    }
    break;
  }
  case VK_RIGHT:
    if (FActiveIndex >= 0 && FItems[FActiveIndex]->HasSubItems()) FItems[FActiveIndex]->Click();
    break;
  case VK_UP:
    SelectPrevItem();
    break;
  case VK_DOWN:
    SelectNextItem();
    break;
  default:
    break;
  }
  (void)level;
}

void TskSkinPopupWindow::ItemAnimationTick() {
  bool changed = false;
  for (auto& it : FItems) {
    if (it->MorphingApplies() && it->MorphPending()) {
      it->MorphStep();
      changed = true;
    } else if (it->FrameAnimationApplies()) {
      int fc = it->Data()->FrameCount;
      if ((it->Active || it->Down) && it->FrameIndex <= fc) {
        if (it->FrameIndex < fc) {
          ++it->FrameIndex;
          DrawItemNow(it.get());
          changed = true;
        }
      } else if (!(it->Active || it->Down) && it->FrameIndex > 0) {
        --it->FrameIndex;
        if (it->FrameIndex > fc) it->FrameIndex = fc;
        DrawItemNow(it.get());
        changed = true;
      }
    }
  }
  if (!changed) FAnimTimer->SetEnabled(false);
}

// ---------------------------------------------------------------------------
// TskSkinMenu

TskSkinMenu::TskSkinMenu(TComponent* ASkinnedForm, TWinControl* AForm)
    : TComponent(ASkinnedForm), FForm(AForm) {
  FWaitTimer = std::make_unique<TTimer>(nullptr);
  FWaitTimer->SetEnabled(false);
  FWaitTimer->SetInterval(500);
  FWaitTimer->OnTimer = [this](TObject*) { WaitTick(); };
  FReapTimer = std::make_unique<TTimer>(nullptr);
  FReapTimer->SetEnabled(false);
  FReapTimer->SetInterval(10);
  FReapTimer->OnTimer = [this](TObject*) {
    FReapTimer->SetEnabled(false);
    FReapPosted = false;
    ReapWindows();
  };
  FDefaultFont = std::make_unique<TFont>();
  FDefaultFont->SetName(L"Arial");
  FDefaultFont->SetHeight(14);
}

TskSkinMenu::~TskSkinMenu() {
  FWaitTimer->SetEnabled(false);
  OnMenuClose = nullptr;
  for (int i = LevelCount() - 1; i >= 0; --i)
    delete FPopupList[i];
  FPopupList.clear();
  for (TskSkinPopupWindow* w : FGraveyard)
    delete w;
}

void TskSkinMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupCtrl) FPopupCtrl = nullptr;
  if (AComponent == FCommandCtrl) FCommandCtrl = nullptr;
  if (AComponent == FSkinData) FSkinData = nullptr;
}

void TskSkinMenu::Notify(TControl* C, UINT Msg) {
  if (!C) return;
  if (auto* w = dynamic_cast<TWinControl*>(C); w && w->HandleAllocated())
    SendMessageW(w->Handle(), Msg, 0, 0);
  else
    C->Perform(Msg, 0, 0);
}

void TskSkinMenu::Popup(TControl* Opener, TskSkinData* ASkinData, int StartIndex, const TRect& R,
                        TMenuItem* Item, bool PreferAbove) {
  FFirstOpening = !FVisible;
  CloseMenuLevels(0);
  FPopupCtrl = Opener;
  if (Opener) Opener->FreeNotification(this);
  HWND fw = FForm && FForm->HandleAllocated() ? FForm->Handle() : GetDesktopWindow();
  GetMonitorRect(fw, true, FWorkArea);
  if (FSkinData && FSkinData != ASkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = ASkinData;
  if (FSkinData) FSkinData->FreeNotification(this);
  if (Item && Item->Count() > 0 && StartIndex < Item->Count()) {
    FVisible = true;
    ShowMenuLevel(R, Item, StartIndex, false, PreferAbove);
    FFirstOpening = false;
  }
}

void TskSkinMenu::ShowMenuLevel(const TRect& R, TMenuItem* Item, int StartIndex, bool SubLevel,
                                bool PreferAbove) {
  ReapWindows();
  TskSkinData* sd = FSkinData && !FSkinData->Empty() ? FSkinData : nullptr;
  auto* w = new TskSkinPopupWindow(this, sd);
  FPopupList.push_back(w);
  w->ShowAt(R, Item, StartIndex, SubLevel, PreferAbove);
}

void TskSkinMenu::PopupMerged(TControl* Opener, TskSkinData* ASkinData, int StartIndex,
                              const TRect& R, TMenuItem* Item, TMenuItem* Item2, bool PreferAbove) {
  FFirstOpening = !FVisible;
  CloseMenuLevels(0);
  FPopupCtrl = Opener;
  if (Opener) Opener->FreeNotification(this);
  HWND fw = FForm && FForm->HandleAllocated() ? FForm->Handle() : GetDesktopWindow();
  GetMonitorRect(fw, true, FWorkArea);
  if (FSkinData && FSkinData != ASkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = ASkinData;
  if (FSkinData) FSkinData->FreeNotification(this);
  int total = (Item ? Item->Count() : 0) + (Item2 ? Item2->Count() : 0);
  if (Item && Item->Count() > 0 && StartIndex < total) {
    FVisible = true;
    ShowMenuLevelMerged(R, Item, Item2, StartIndex, false, PreferAbove);
    FFirstOpening = false;
  }
}

void TskSkinMenu::ShowMenuLevelMerged(const TRect& R, TMenuItem* Item, TMenuItem* Item2,
                                      int StartIndex, bool SubLevel, bool PreferAbove) {
  ReapWindows();
  TskSkinData* sd = FSkinData && !FSkinData->Empty() ? FSkinData : nullptr;
  auto* w = new TskSkinPopupWindow(this, sd);
  FPopupList.push_back(w);
  w->ShowMergedAt(R, Item, Item2, StartIndex, SubLevel, PreferAbove);
}

int TskSkinMenu::MenuLevelOf(TskSkinPopupWindow* Window) const {
  for (int i = 0; i < LevelCount(); ++i)
    if (FPopupList[i] == Window) return i;
  return LevelCount();
}

void TskSkinMenu::StopWait() {
  FWaitTimer->SetEnabled(false);
  FWaitItem = nullptr;
}

void TskSkinMenu::WaitTick() {
  FWaitTimer->SetEnabled(false);
  TskSkinMenuItem* it = FWaitItem;
  FWaitItem = nullptr;
  if (it) ItemActivated(it->Window(), it, true, false);
}

void TskSkinMenu::ItemActivated(TskSkinPopupWindow* Window, TskSkinMenuItem* Item, bool Click,
                                bool ByKeyboard) {
  int level = MenuLevelOf(Window);
  if (level >= LevelCount()) return;
  // The item belongs to the window: both stay while the command runs.
  TskSkinPopupWindow::TBusyScope busy(Window);
  TMenuItem* mi = Item->MenuItem();
  if (!Item->HasSubItems()) {
    if (!Click) {
      StopWait();
      if (level + 1 < LevelCount()) CloseMenuLevels(level + 1);
      return;
    }
    StopWait();
    CloseAll();
    TMenu* pm = mi->GetParentMenu();
    if (!(pm && pm->DispatchCommand(mi->Command()))) mi->Click();
    TControl* c = FCommandCtrl;
    FCommandCtrl = nullptr;
    Notify(c, WM_SKINMENUCOMMAND);
    return;
  }
  if (!Click) {
    if (ByKeyboard) return;
    if (level + 1 < LevelCount()) CloseMenuLevels(level + 1);
    FWaitItem = Item;
    FWaitTimer->SetEnabled(false);
    FWaitTimer->SetEnabled(true);
    return;
  }
  mi->Click();
  // The branch's command may have closed the menu or this level.
  level = MenuLevelOf(Window);
  if (!FVisible || level >= LevelCount()) return;
  StopWait();
  if (level + 1 < LevelCount()) CloseMenuLevels(level + 1);
  Item->Down = true;
  Item->UpdateLook();
  TRect r = Item->ObjectRect;
  r.Offset(Window->Left(), Window->Top());
  ShowMenuLevel(r, mi, 0, true, false);
}

void TskSkinMenu::CloseMenuLevels(int N) {
  if (N < 0) N = 0;
  for (int i = LevelCount() - 1; i >= N; --i) {
    TskSkinPopupWindow* w = FPopupList[i];
    FPopupList.erase(FPopupList.begin() + i);
    if (FWaitItem && FWaitItem->Window() == w) StopWait();
    w->Retire();
    FGraveyard.push_back(w);
  }
  ReapWindows();
  if (N != 0) return;
  FWaitTimer->SetEnabled(false);
  bool wasVisible = FVisible;
  FVisible = false;
  if (FPopupCtrl) {
    FCommandCtrl = FPopupCtrl;
    TControl* c = FPopupCtrl;
    FPopupCtrl = nullptr;
    Notify(c, WM_SKINMENUCLOSED);
  }
  (void)wasVisible;
  if (OnMenuClose) {
    TNotifyEvent e = std::move(OnMenuClose);
    OnMenuClose = nullptr;
    e(this);
  }
}

void TskSkinMenu::CloseAll() {
  CloseMenuLevels(0);
  StopWait();
  if (FForm && FForm->HandleAllocated()) SendMessageW(FForm->Handle(), WM_SKINMENUCLOSED, 0, 0);
  if (FPopupCtrl) {
    TControl* c = FPopupCtrl;
    FPopupCtrl = nullptr;
    Notify(c, WM_SKINMENUCLOSED);
  }
}

bool TskSkinMenu::HandleMenuKey(WORD Key) {
  if (!FVisible || FPopupList.empty()) return false;
  FPopupList.back()->HandleMenuKey(Key);
  return true;
}

void TskSkinMenu::ReapWindows() {
  for (size_t i = 0; i < FGraveyard.size();) {
    TskSkinPopupWindow* w = FGraveyard[i];
    if (w->Busy()) {
      ++i;
      continue;
    }
    FGraveyard.erase(FGraveyard.begin() + i);
    delete w;
  }
  if (!FGraveyard.empty() && !FReapPosted) {
    // A window that is still handling a message goes once the message returns.
    FReapPosted = true;
    FReapTimer->SetEnabled(true);
  }
}

// ---------------------------------------------------------------------------
// TskSkinPopupMenu

TskSkinPopupMenu::TskSkinPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}

TskSkinPopupMenu::~TskSkinPopupMenu() {
  SetSkinData(nullptr);
}

void TskSkinPopupMenu::SetSkinData(TskSkinData* Value) {
  if (FSkinData == Value) return;
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (FSkinData) FSkinData->FreeNotification(this);
}

void TskSkinPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TPopupMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData) FSkinData = nullptr;
}

TskSkinMenuHost* TskSkinPopupMenu::FindHost() const {
  TComponent* form = nullptr;
  if (ComponentForm) {
    form = ComponentForm;
  } else if (dynamic_cast<TCustomForm*>(Owner())) {
    form = Owner();
  } else if (Owner() && dynamic_cast<TCustomForm*>(Owner()->Owner())) {
    form = Owner()->Owner();
  }
  if (auto* f = dynamic_cast<TCustomForm*>(form); f && f->FormStyle() == fsMDIChild && Application)
    form = Application->MainForm();
  return FindSkinFormOf(form);
}

void TskSkinPopupMenu::PopupWith(TControl* Opener, const TRect& R, bool PreferAbove, bool NeedSkin,
                                 int StartIndex) {
  if (OnPopup) OnPopup(this);
  TskSkinMenuHost* host = FindHost();
  if (!FSkinData && host) SetSkinData(host->MenusSkinData());
  if (!host || !host->SkinMenu()) return;
  if (NeedSkin && !FSkinData) return;
  if (host->SkinMenu()->Visible()) host->SkinMenuClose();
  host->SkinMenuOpen();
  PopupPoint = TPoint(R.Left, R.Top);
  host->SkinMenu()->Popup(Opener, FSkinData, StartIndex, R, Items(), PreferAbove);
  if (OnMenuClose) host->SkinMenu()->OnMenuClose = OnMenuClose;
}

void TskSkinPopupMenu::Popup(int X, int Y) {
  PopupWith(nullptr, TRect(X, Y, X, Y), false, false);
}

void TskSkinPopupMenu::PopupForEdit(TControl* Edit, int X, int Y) {
  PopupWith(Edit, TRect(X, Y, X, Y), false, true);
}

void TskSkinPopupMenu::PopupFromButton(TControl* Button, const TRect& R, int StartIndex) {
  PopupWith(Button, R, false, false, StartIndex);
}

void PopupSkinnedMenu(TskSkinMenuHost* Host, TMenu* Menu, const TRect& R, bool PreferAbove) {
  if (!Host || !Host->SkinMenu() || !Menu) return;
  if (Host->SkinMenu()->Visible()) Host->SkinMenuClose();
  Host->SkinMenuOpen();
  Host->SkinMenu()->Popup(nullptr, Host->MenusSkinData(), 0, R, Menu->Items(), PreferAbove);
}

// ---------------------------------------------------------------------------
// Image-grid menu

namespace {

// The window whose menu holds the application's message hook.
TskSkinImagesMenuPopupWindow* GHookedImagesWindow = nullptr;

// Counts a handler of a window that runs.
class TBusyGuard {
public:
  explicit TBusyGuard(int& Count) : FCount(Count) { ++FCount; }
  ~TBusyGuard() { --FCount; }
  TBusyGuard(const TBusyGuard&) = delete;
  TBusyGuard& operator=(const TBusyGuard&) = delete;

private:
  int& FCount;
};

TskDataSkinButtonControl* CellButtonData(TskSkinData* S) {
  if (!S || S->Empty()) return nullptr;
  if (auto* d = S->FindControl<TskDataSkinButtonControl>(L"menuitembutton")) return d;
  return S->FindControl<TskDataSkinButtonControl>(L"resizebutton");
}

TskDataSkinMenuItem* MenuItemData(TskSkinData* S) {
  if (!S || S->Empty()) return nullptr;
  if (auto* d = S->FindObject<TskDataSkinMenuItem>(L"menuitem")) return d;
  return S->FindObject<TskDataSkinMenuItem>(L"MENUITEM");
}

TskDataSkinLabelControl* HeaderData(TskSkinData* S) {
  if (!S || S->Empty()) return nullptr;
  return S->FindControl<TskDataSkinLabelControl>(L"label");
}

} // namespace

void TskImagesMenuItem::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TskImagesMenuItem*>(Source)) {
    ImageIndex = s->ImageIndex;
    Caption = s->Caption;
    Button = s->Button;
    Hint = s->Hint;
    return;
  }
  TCollectionItem::Assign(Source);
}

TskImagesMenuItems::TskImagesMenuItems(TskSkinImagesMenu* AMenu)
    : TCollection(AMenu, [](TCollection* C) { return new TskImagesMenuItem(C); }) {}

TskSkinImagesMenu::TskSkinImagesMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(this), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName(L"Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
}

TskSkinImagesMenu::~TskSkinImagesMenu() {
  OnInternalChange = OnInternalMenuClose = nullptr;
  if (FWindow) {
    TskSkinImagesMenuPopupWindow* w = FWindow;
    FWindow = nullptr;
    w->CloseUp(false);
    delete w;
  }
  FReapTimer.reset();
  FRetired.clear();
}

void TskSkinImagesMenu::SetImages(TCustomImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinImagesMenu::SetColumnsCount(int Value) {
  if (Value >= 1 && Value <= 50) FColumnsCount = Value;
}

void TskSkinImagesMenu::SetSkinData(TskSkinData* Value) {
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinImagesMenu::SetSkinHint(TskSkinHint* Value) {
  if (FSkinHint) FSkinHint->RemoveFreeNotification(this);
  FSkinHint = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinImagesMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FSkinData) FSkinData = nullptr;
  if (AComponent == FSkinHint) FSkinHint = nullptr;
}

TskImagesMenuItem* TskSkinImagesMenu::GetSelectedItem() const {
  if (ItemIndex < 0 || ItemIndex >= FItems.Count()) return nullptr;
  return FItems.Items(ItemIndex);
}

void TskSkinImagesMenu::Popup(const TRect& R) {
  if (FWindow) FWindow->CloseUp(false);
  if (OnMenuPopup) OnMenuPopup(this);
  if (!FImages || FImages->Count() == 0) return;
  FOldItemIndex = ItemIndex;
  FWindow = new TskSkinImagesMenuPopupWindow(this);
  FWindow->ShowAt(R);
}

void TskSkinImagesMenu::CloseMenu(bool Chosen) {
  // Asked while the window is still open: it closes first and calls back.
  if (FWindow && FWindow->Shown()) {
    FWindow->CloseUp(Chosen);
    return;
  }
  if (FWindow) {
    // The window may be in one of its own handlers: it is freed later.
    FRetired.emplace_back(FWindow);
    FWindow = nullptr;
    if (!FReapTimer) {
      FReapTimer = std::make_unique<TTimer>(nullptr);
      FReapTimer->SetInterval(10);
      FReapTimer->OnTimer = [this](TObject*) { ReapWindows(); };
    }
    FReapTimer->SetEnabled(true);
  }
  if (OnInternalMenuClose) OnInternalMenuClose(this);
  if (OnMenuClose) OnMenuClose(this);
  if (Chosen && ItemIndex != -1) {
    if (TskImagesMenuItem* it = GetSelectedItem())
      if (it->OnClick) it->OnClick(this);
    if (OnItemClick) OnItemClick(this);
  }
  if (ItemIndex != FOldItemIndex) {
    if (OnInternalChange) OnInternalChange(this);
    if (OnChange) OnChange(this);
  }
}

void TskSkinImagesMenu::ReapWindows() {
  for (size_t i = 0; i < FRetired.size();)
    if (FRetired[i]->Busy())
      ++i;
    else
      FRetired.erase(FRetired.begin() + static_cast<std::ptrdiff_t>(i));
  if (FRetired.empty()) FReapTimer->SetEnabled(false);
}

// The window

TskSkinImagesMenuPopupWindow::TskSkinImagesMenuPopupWindow(TskSkinImagesMenu* AMenu)
    : TCustomControl(nullptr), FMenu(AMenu) {
  SetVisible(false);
  TskSkinData* S = AMenu->SkinData();
  if (S && !S->Empty() && S->PopupWindow.WindowPictureIndex != -1) {
    FPicture = S->ActivePicture(S->PopupWindow.WindowPictureIndex);
    if (FPicture && !FPicture->Empty()) {
      FWindowData = &S->PopupWindow;
      FMaskPicture = S->ActivePicture(FWindowData->MaskPictureIndex);
      if (FMaskPicture && FMaskPicture->Empty()) FMaskPicture = nullptr;
    } else {
      FPicture = nullptr;
    }
  }
}

TskSkinImagesMenuPopupWindow::~TskSkinImagesMenuPopupWindow() {
  FFadeTimer.reset();
  if (FHooked) {
    if (Application) Application->OnMessage = FSavedOnMessage;
    if (GHookedImagesWindow == this) GHookedImagesWindow = nullptr;
  }
  if (HandleAllocated()) {
    if (GetCapture() == Handle()) ReleaseCapture();
    SetWindowRgn(Handle(), nullptr, FALSE);
  }
  if (FRegion) DeleteObject(FRegion);
}

void TskSkinImagesMenuPopupWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  SetMenuWindowParams(Params);
}

int TskSkinImagesMenuPopupWindow::CellWidth() const {
  return FMenu->Images() ? FMenu->Images()->Width() + 10 : 10;
}

int TskSkinImagesMenuPopupWindow::CellHeight() const {
  return FMenu->Images() ? FMenu->Images()->Height() + 10 : 10;
}

void TskSkinImagesMenuPopupWindow::ArrangeItems() {
  int w = CellWidth(), h = CellHeight(), R = RowWidth();
  int x0 = 5, y0 = 5;
  if (Skinned()) {
    x0 = FWindowData->ItemsRect.left;
    y0 = FWindowData->ItemsRect.top;
  }
  int hh = h;
  if (TskDataSkinLabelControl* l = HeaderData(FMenu->SkinData()))
    if (RectHeight(l->SkinRect) > 0) hh = RectHeight(l->SkinRect);
  int x = x0, y = y0;
  TskImagesMenuItems* items = FMenu->ImagesItems();
  for (int i = 0; i < items->Count(); ++i) {
    TskImagesMenuItem* it = items->Items(i);
    if (it->Header || it->Button) {
      if (x != x0) y += h + 1;
      int rh = it->Header ? hh : h;
      it->ItemRect = TRect(x0, y, x0 + R, y + rh);
      y += rh + 1;
      x = x0;
      continue;
    }
    it->ItemRect = TRect(x, y, x + w, y + h);
    x += w;
    if (x + w > x0 + R) {
      x = x0;
      y += h + 1;
    }
  }
}

void TskSkinImagesMenuPopupWindow::SizeWindow() {
  ArrangeItems();
  TskImagesMenuItems* items = FMenu->ImagesItems();
  int R = RowWidth();
  if (items->Count() > 0) {
    TRect first = items->Items(0)->ItemRect, last = items->Items(items->Count() - 1)->ItemRect;
    FItemsArea = TRect(first.Left, first.Top, first.Left + R, last.Bottom);
  } else {
    FItemsArea = TRect(5, 5, 5 + R, 5);
  }
  int areaH = FItemsArea.Height();
  if (!Skinned()) {
    SetBounds(Left(), Top(), R + 10, areaH + 10);
    return;
  }
  const TskDataSkinPopupWindow& d = *FWindowData;
  int pw = FPicture->Width(), ph = FPicture->Height();
  int W = pw + R - RectWidth(d.ItemsRect), H = ph + areaH - RectHeight(d.ItemsRect);
  SetBounds(Left(), Top(), W, H);
  FNewLT = d.LTPoint;
  FNewRT = POINT{W + d.RTPoint.x - pw, d.RTPoint.y};
  FNewLB = POINT{d.LBPoint.x, H + d.LBPoint.y - ph};
  FNewRB = POINT{W + d.RBPoint.x - pw, H + d.RBPoint.y - ph};
  FNewItemsRect = TRect(d.ItemsRect.left, d.ItemsRect.top, W + d.ItemsRect.right - pw,
                        H + d.ItemsRect.bottom - ph);
  if (FMaskPicture) {
    TskSkinGeometry o{d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ItemsRect};
    TskSkinGeometry n{FNewLT, FNewRT, FNewLB, FNewRB, *FNewItemsRect.R()};
    HRGN rgn = CreateSkinRegion(o, n, W, H, *FMaskPicture);
    HRGN old = FRegion;
    FRegion = rgn;
    HRGN copy = nullptr;
    if (rgn) {
      copy = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(copy, rgn, nullptr, RGN_COPY);
    }
    SetWindowRgn(Handle(), copy, TRUE);
    if (old) DeleteObject(old);
  }
}

void TskSkinImagesMenuPopupWindow::ShowAt(const TRect& R) {
  HandleNeeded();
  SizeWindow();
  int x = R.Left, y = R.Bottom;
  HWND ref = nullptr;
  if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated())
    ref = Screen->ActiveForm()->Handle();
  else if (Application && Application->MainForm() && Application->MainForm()->Visible())
    ref = Application->MainForm()->Handle();
  else if (auto* c = dynamic_cast<TWinControl*>(FMenu->Owner()); c && c->HandleAllocated())
    ref = c->Handle();
  RECT wa{};
  GetMonitorRect(ref, true, wa);
  if (y + Height() > wa.bottom) y -= Height() + R.Height();
  if (x + Width() > wa.right) x -= x + Width() - wa.right;
  x = std::max<int>(x, wa.left);
  y = std::max<int>(y, wa.top);
  bool layered = IsWin2KOrLater() && FMenu->AlphaBlend;
  bool fade = layered && FMenu->AlphaBlendAnimation;
  if (layered) {
    SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    FAlpha = fade ? 0 : FMenu->AlphaBlendValue;
    SetLayeredAlpha(Handle(), FAlpha);
  }
  SetWindowPos(Handle(), HWND_TOPMOST, x, y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  SetBounds(x, y, Width(), Height());
  // A window without parent is shown by hand: the framework hides it.
  FShown = true;
  if (fade) {
    // The alpha rises on a timer, never past the wanted value.
    FFadeTimer = std::make_unique<TTimer>(nullptr);
    FFadeTimer->SetInterval(5);
    FFadeTimer->OnTimer = [this](TObject*) { FadeTick(); };
  }
  // One image-grid menu is open at a time: another one closes first.
  if (GHookedImagesWindow && GHookedImagesWindow != this) GHookedImagesWindow->CloseUp(false);
  FSavedOnMessage = Application->OnMessage;
  FHooked = true;
  GHookedImagesWindow = this;
  Application->OnMessage = &TskSkinImagesMenuPopupWindow::AppMessageHook;
  SetCapture(Handle());
}

void TskSkinImagesMenuPopupWindow::FadeTick() {
  int target = FMenu->AlphaBlendValue;
  int a = std::min(static_cast<int>(FAlpha) + 10, std::min(target, 255));
  FAlpha = static_cast<BYTE>(a);
  if (HandleAllocated()) SetLayeredAlpha(Handle(), FAlpha);
  if (a >= target && FFadeTimer) FFadeTimer->SetEnabled(false);
}

void TskSkinImagesMenuPopupWindow::AppMessageHook(MSG& Msg, bool& Handled) {
  TskSkinImagesMenuPopupWindow* w = GHookedImagesWindow;
  if (!w) return;
  // The menu's handling may close it and restore the previous hook: keep it.
  TMessageEvent saved = w->FSavedOnMessage;
  TBusyGuard busy(w->FBusy);
  w->HookMessage(Msg);
  if (saved) saved(Msg, Handled);
}

void TskSkinImagesMenuPopupWindow::HookMessage(MSG& Msg) {
  switch (Msg.message) {
  case WM_MOVE:
  case WM_SIZE:
  case WM_ACTIVATE:
  case WM_KILLFOCUS:
  case WM_CANCELMODE:
  case WM_MOUSEACTIVATE:
  case WM_NCLBUTTONDOWN:
  case WM_NCRBUTTONDOWN:
  case WM_NCMBUTTONDOWN:
  case WM_SYSKEYDOWN:
  case WM_SYSCHAR:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_PARENTNOTIFY:
    CloseUp(false);
    break;
  case WM_KEYDOWN:
    HandleKey(static_cast<WORD>(Msg.wParam));
    Msg.message = WM_NULL;
    break;
  default:
    break;
  }
}

int TskSkinImagesMenuPopupWindow::FirstSelectable() const {
  TskImagesMenuItems* items = FMenu->ImagesItems();
  if (items->Count() == 0) return -1;
  return items->Items(0)->Header && items->Count() > 1 ? 1 : 0;
}

void TskSkinImagesMenuPopupWindow::SetHotIndex(int Value) {
  if (FHotIndex == Value) return;
  FHotIndex = Value;
  FOldHotIndex = Value;
  Invalidate();
}

void TskSkinImagesMenuPopupWindow::HandleKey(WORD Key) {
  TskImagesMenuItems* items = FMenu->ImagesItems();
  int n = items->Count();
  auto header = [&](int i) { return items->Items(i)->Header; };
  int hot = FHotIndex;
  switch (Key) {
  case VK_RETURN:
  case VK_SPACE:
    if (hot != -1) FMenu->ItemIndex = hot;
    CloseUp(true);
    return;
  case VK_ESCAPE:
    CloseUp(false);
    return;
  case VK_RIGHT:
    if (hot == -1 || hot == n - 1) {
      SetHotIndex(FirstSelectable());
    } else {
      for (int i = hot + 1; i < n; ++i)
        if (!header(i)) {
          SetHotIndex(i);
          break;
        }
    }
    return;
  case VK_LEFT:
    if (hot == -1 || hot == 0 || (hot == 1 && n >= 2 && header(0))) {
      SetHotIndex(n - 1);
    } else {
      for (int i = hot - 1; i >= 0; --i)
        if (!header(i)) {
          SetHotIndex(i);
          break;
        }
    }
    return;
  case VK_DOWN:
    if (hot == -1) {
      SetHotIndex(FirstSelectable());
    } else {
      TRect h = items->Items(hot)->ItemRect;
      for (int i = hot + 1; i < n; ++i) {
        TskImagesMenuItem* it = items->Items(i);
        if (!it->Header && it->ItemRect.Top > h.Top &&
            (it->Button || it->ItemRect.Left == h.Left)) {
          SetHotIndex(i);
          break;
        }
      }
    }
    return;
  case VK_UP:
    if (hot == -1) {
      SetHotIndex(n - 1);
    } else {
      TRect h = items->Items(hot)->ItemRect;
      for (int i = hot - 1; i >= 0; --i) {
        TskImagesMenuItem* it = items->Items(i);
        if (!it->Header && it->ItemRect.Top < h.Top &&
            (it->Button || it->ItemRect.Left == h.Left)) {
          SetHotIndex(i);
          break;
        }
      }
    }
    return;
  default:
    return;
  }
}

void TskSkinImagesMenuPopupWindow::HideHint() {
  if (FMenu->ShowHints && FMenu->SkinHint()) FMenu->SkinHint()->HideHint();
}

void TskSkinImagesMenuPopupWindow::CloseUp(bool Chosen) {
  if (!FShown) return;
  FShown = false;
  HideHint();
  FFadeTimer.reset();
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  SetVisible(false);
  if (FHooked) {
    FHooked = false;
    Application->OnMessage = FSavedOnMessage;
    FSavedOnMessage = nullptr;
    if (GHookedImagesWindow == this) GHookedImagesWindow = nullptr;
  }
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  if (FMenu->PopupWindow() == this) FMenu->CloseMenu(Chosen);
}

int TskSkinImagesMenuPopupWindow::ItemAt(int X, int Y) const {
  TskImagesMenuItems* items = FMenu->ImagesItems();
  for (int i = 0; i < items->Count(); ++i) {
    TskImagesMenuItem* it = items->Items(i);
    if (!it->Header && it->ItemRect.Contains(TPoint(X, Y))) return i;
  }
  return -1;
}

void TskSkinImagesMenuPopupWindow::MouseMoveAt(int X, int Y) {
  int i = ItemAt(X, Y);
  if (FMenu->SkinHint() && i == -1) FMenu->SkinHint()->HideHint();
  if (i == FOldHotIndex) return;
  FOldHotIndex = FHotIndex = i;
  Invalidate();
  if (FMenu->ShowHints && i != -1 && FMenu->SkinHint()) {
    FMenu->SkinHint()->HideHint();
    const std::wstring& h = FMenu->ImagesItems()->Items(i)->Hint;
    if (!h.empty()) FMenu->SkinHint()->ShowHintDelayed(h);
  }
}

void TskSkinImagesMenuPopupWindow::MouseDownAt(int X, int Y) {
  HideHint();
  FPressedInside = true;
  FPressing = ItemAt(X, Y) != -1;
  Invalidate();
}

void TskSkinImagesMenuPopupWindow::MouseUpAt(int X, int Y) {
  int i = ItemAt(X, Y);
  if (FPressedInside && i != -1) {
    FMenu->ItemIndex = i;
    CloseUp(true);
    return;
  }
  FPressing = false;
  ReleaseCapture();
  SetCapture(Handle());
  Invalidate();
}

void TskSkinImagesMenuPopupWindow::WndProc(TMessage& Message) {
  TBusyGuard busy(FBusy);
  switch (Message.Msg) {
  case WM_ERASEBKGND:
    Message.Result = 1;
    return;
  case WM_MOUSEACTIVATE:
    Message.Result = MA_NOACTIVATE;
    return;
  case WM_MOUSEMOVE:
    MouseMoveAt(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    return;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK: {
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ::ClientToScreen(Handle(), &p);
    if (WindowFromPoint(p) != Handle()) {
      CloseUp(false);
      return;
    }
    MouseDownAt(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    return;
  }
  case WM_LBUTTONUP:
    MouseUpAt(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    return;
  case CM_MOUSELEAVE:
    HideHint();
    FHotIndex = FOldHotIndex = -1;
    Invalidate();
    break;
  default:
    break;
  }
  TCustomControl::WndProc(Message);
}

void TskSkinImagesMenuPopupWindow::Paint() {
  PaintWindow(Canvas()->Handle());
}

void TskSkinImagesMenuPopupWindow::DrawCellBackground(TCanvas* C, const RECT& R, bool Pressed) {
  TskSkinData* S = FMenu->SkinData();
  TskDataSkinButtonControl* d = Skinned() ? CellButtonData(S) : nullptr;
  const TskPicture* pic = d ? S->ActivePicture(d->PictureIndex) : nullptr;
  if (d && pic && !pic->Empty()) {
    RECT src = d->SkinRect;
    if (Pressed && !IsRectEmpty(&d->DownSkinRect))
      src = d->DownSkinRect;
    else if (!IsRectEmpty(&d->ActiveSkinRect))
      src = d->ActiveSkinRect;
    TskSkinImageParams p;
    p.Old = TskSkinGeometry{d->LTPoint, d->RTPoint, d->LBPoint, d->RBPoint, d->ClientRect};
    p.New = ScaleSkinGeometry(p.Old, d->SkinRect, RectWidth(R), RectHeight(R));
    TakeStretch(p, *d);
    p.W = RectWidth(R);
    p.H = RectHeight(R);
    p.R = src;
    TskPicture img;
    CreateSkinImage(p, *pic, img);
    DrawPicture(C->Handle(), R.left, R.top, img);
    return;
  }
  HDC dc = C->Handle();
  Fill(dc, R, Pressed ? TColor(0xB59385) : TColor(0xD2BDB6));
  Frame(dc, R, TColor(0x800000));
}

void TskSkinImagesMenuPopupWindow::DrawButtonCaption(TCanvas* C, TskImagesMenuItem* Item,
                                                     int Offset, bool Pressed, bool Hot) {
  TskSkinData* S = FMenu->SkinData();
  TskDataSkinMenuItem* mi = Skinned() ? MenuItemData(S) : nullptr;
  TskDataSkinButtonControl* bd = Skinned() ? CellButtonData(S) : nullptr;
  TFont* F = C->Font();
  TFont* Def = FMenu->DefaultFont();
  if (mi && bd) {
    if (FMenu->UseSkinFont) {
      F->SetName(bd->FontName);
      F->SetHeight(bd->FontHeight);
      F->SetStyle(bd->FontStyle.Bits);
    } else {
      F->SetName(Def->Name());
      F->SetHeight(Def->Height());
      F->SetStyle(Def->Style());
    }
    if (S->ResourceStrData())
      F->SetCharset(static_cast<BYTE>(S->ResourceStrData()->CharSet));
    else
      F->SetCharset(Def->Charset());
    TskColor c = mi->FontColor;
    if (Pressed)
      c = bd->DownFontColor;
    else if (Hot)
      c = bd->ActiveFontColor;
    F->SetColor(static_cast<TColor>(c));
  } else {
    F->Assign(Def);
    F->SetColor(clWindowText);
  }
  RECT r = *Item->ItemRect.R();
  r.left += Offset;
  HDC dc = C->Handle();
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, F->Handle());
  SetTextColor(dc, ColorToRGB(F->Color()));
  UINT fl = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (WideTextWidth(dc, Item->Caption) <= RectWidth(r)) fl |= DT_CENTER;
  DrawTextW(dc, Item->Caption.c_str(), static_cast<int>(Item->Caption.size()), &r, fl);
  SelectObject(dc, old);
}

void TskSkinImagesMenuPopupWindow::DrawHeader(TCanvas* C, TskImagesMenuItem* Item) {
  TskSkinData* S = FMenu->SkinData();
  TskDataSkinLabelControl* l = HeaderData(S);
  const TskPicture* pic = l ? S->ActivePicture(l->PictureIndex) : nullptr;
  HDC dc = C->Handle();
  RECT hr = *Item->ItemRect.R();
  if (l && pic && !pic->Empty() && !IsRectEmpty(&l->SkinRect)) {
    int w = RectWidth(hr);
    TskPicture img;
    CreateHSkinImage(l->LTPoint.x, RectWidth(l->SkinRect) - l->RTPoint.x, img, l->StretchEffect, w,
                     l->SkinRect, *pic);
    TFont f;
    f.SetName(l->FontName);
    f.SetHeight(l->FontHeight);
    f.SetStyle(l->FontStyle.Bits);
    f.SetCharset(C->Font()->Charset());
    f.SetColor(static_cast<TColor>(l->FontColor));
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ oldBmp = SelectObject(mem, img.Handle());
    HGDIOBJ oldFont = SelectObject(mem, f.Handle());
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, ColorToRGB(f.Color()));
    RECT cr = l->ClientRect;
    cr.right += w - RectWidth(l->SkinRect);
    DrawTextW(mem, Item->Caption.c_str(), static_cast<int>(Item->Caption.size()), &cr,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    SelectObject(mem, oldFont);
    SelectObject(mem, oldBmp);
    DeleteDC(mem);
    DrawPicture(dc, hr.left, hr.top, img);
    return;
  }
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, C->Font()->Handle());
  SetTextColor(dc, ColorToRGB(C->Font()->Color()));
  DrawTextW(dc, Item->Caption.c_str(), static_cast<int>(Item->Caption.size()), &hr,
            DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
  SelectObject(dc, old);
}

void TskSkinImagesMenuPopupWindow::PaintWindow(HDC DC) {
  int W = Width(), H = Height();
  if (W <= 0 || H <= 0) return;
  TBitmap b;
  b.SetSize(W, H);
  TCanvas* C = b.Canvas();
  if (Skinned()) {
    const TskDataSkinPopupWindow& d = *FWindowData;
    TskSkinImageParams p;
    p.Old = TskSkinGeometry{d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ItemsRect};
    p.New = TskSkinGeometry{FNewLT, FNewRT, FNewLB, FNewRB, *FNewItemsRect.R()};
    TakeStretch(p, d);
    p.W = W;
    p.H = H;
    p.R = RECT{0, 0, FPicture->Width(), FPicture->Height()};
    TskPicture img;
    CreateSkinImage2(p, *FPicture, img);
    DrawPicture(C->Handle(), 0, 0, img);
  } else {
    C->Pen()->SetColor(clBtnShadow);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clWindow);
    C->Rectangle(0, 0, W, H);
  }
  C->Font()->Assign(FMenu->DefaultFont());
  TCustomImageList* images = FMenu->Images();
  TskImagesMenuItems* items = FMenu->ImagesItems();
  int selected = FMenu->ShowSelectedItem ? FMenu->ItemIndex : -1;
  for (int i = 0; i < items->Count(); ++i) {
    TskImagesMenuItem* it = items->Items(i);
    if (it->Header) {
      DrawHeader(C, it);
      continue;
    }
    bool isSel = i == selected && !FPressing;
    bool isHot = i == FHotIndex;
    if (isSel)
      DrawCellBackground(C, *it->ItemRect.R(), true);
    else if (isHot)
      DrawCellBackground(C, *it->ItemRect.R(), FPressing);
    int offset = 0;
    if (images && it->ImageIndex >= 0 && it->ImageIndex < images->Count()) {
      images->Draw(C, it->ItemRect.Left + 5, it->ItemRect.Top + 5, it->ImageIndex, true);
      offset = images->Width() + 5;
    }
    if (it->Button && !it->Caption.empty())
      DrawButtonCaption(C, it, offset, isSel || (isHot && FPressing), isHot && !FPressing);
  }
  BitBlt(DC, 0, 0, W, H, C->Handle(), 0, 0, SRCCOPY);
}
