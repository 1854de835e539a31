#include "skin/SkinnedForm.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "skin/SkinBoxCtrls.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinHint.h"
#include "skin/SkinMenus.h"
#include "skin/skEffBmp.h"

namespace {

COLORREF SkColor(TskColor c) {
  if (static_cast<unsigned>(c) & 0xFF000000u) return GetSysColor(c & 0xFF);
  return static_cast<COLORREF>(c) & 0xFFFFFF;
}

RECT OffsetR(const RECT& r, int dx, int dy) {
  return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

bool PtIn(const RECT& r, const POINT& p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// A rectangle that lies wholly in the picture and has a size.
bool RectInPic(const RECT& r, const TskPicture* pic) {
  return pic && !pic->Empty() && !IsNullRect(r) && r.left >= 0 && r.top >= 0 &&
         r.right <= pic->Width() && r.bottom <= pic->Height();
}

// A picture of a rectangle of another picture stretched to W x H.
TskPicture Cut(const TskPicture& src, const RECT& s, int w, int h) {
  TskPicture p(std::max(w, 1), std::max(h, 1));
  StretchCopy(p, RECT{0, 0, w, h}, src, s);
  return p;
}

HFONT MakeFont(const std::wstring& name, int height, TskFontStyles style) {
  return CreateFontW(height, 0, 0, 0, style.Has(fsBold) ? FW_BOLD : FW_NORMAL, style.Has(fsItalic),
                     style.Has(fsUnderline), style.Has(fsStrikeOut), DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                     name.c_str());
}

UINT AlignFlags(TskAlignment a) {
  return a == taLeftJustify ? DT_LEFT : a == taCenter ? DT_CENTER : DT_RIGHT;
}

// Draws one line of text in r with an optional shadow and light.
void DrawSkinText(HDC dc, const std::wstring& text, RECT r, HFONT font, COLORREF color, UINT align,
                  bool shadow, COLORREF shadowColor, bool light, COLORREF lightColor) {
  if (text.empty() || IsNullRect(r)) return;
  HGDIOBJ old = SelectObject(dc, font);
  int mode = SetBkMode(dc, TRANSPARENT);
  UINT f = align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (light) {
    SetTextColor(dc, lightColor);
    RECT l = OffsetR(r, -1, -1);
    DrawTextW(dc, text.c_str(), -1, &l, f);
  }
  if (shadow) {
    SetTextColor(dc, shadowColor);
    RECT s = OffsetR(r, 1, 1);
    DrawTextW(dc, text.c_str(), -1, &s, f);
  }
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), -1, &r, f);
  SetBkMode(dc, mode);
  SelectObject(dc, old);
}

// A canvas over a memory DC that holds a picture.
class TPictureCanvas {
public:
  explicit TPictureCanvas(TskPicture& p) {
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, p.Handle());
    canvas_.SetHandle(dc_);
  }
  ~TPictureCanvas() {
    canvas_.SetHandle(nullptr);
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  TCanvas* Canvas() { return &canvas_; }
  HDC DC() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_;
  TCanvas canvas_;
};

} // namespace

// ---------------------------------------------------------------------------
// TskGraphicSkinControl

TskGraphicSkinControl::TskGraphicSkinControl(TComponent* AOwner) : TGraphicControl(AOwner) {}

void TskGraphicSkinControl::SetSkinData(TskSkinData* Value) {
  if (FSkinData == Value) return;
  if (FSkinData) RemoveFreeNotification(FSkinData);
  FSkinData = Value;
  if (Value) Value->FreeNotification(this);
  ApplyControlSkin();
}

void TskGraphicSkinControl::ApplyControlSkin() {
  FEntryIndex = -1;
  if (FSkinData && !FSkinData->Empty() && !FSkinDataName.empty())
    FEntryIndex = FSkinData->FindControlDescription(FSkinDataName);
  if (FUseSkinCursor) {
    int ci = -1;
    if (auto* d = FSkinData ? FSkinData->ControlAt(FEntryIndex) : nullptr) ci = d->CursorIndex;
    SetCursor(ci == -1 ? crDefault : FSkinData->StartCursorIndex + ci);
  }
  Invalidate();
}

void TskGraphicSkinControl::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData) FSkinData = nullptr;
  if (Operation == opRemove && AComponent == FHintImageList) FHintImageList = nullptr;
}

// ---------------------------------------------------------------------------
// TskActiveSkinObject

TskActiveSkinObject::TskActiveSkinObject(TskSkinnedForm* AForm, TskDataSkinObject* Data)
    : Parent(AForm) {
  SkinData = AForm->SkinData();
  if (!Data) return;
  IDName = Data->IDName;
  Hint = Data->Hint;
  RollUp = Data->RollUp;
  if (SkinData) {
    Picture = RollUp ? &SkinData->RollUpPicture : &SkinData->Picture;
    ActivePicture = SkinData->ActivePicture(Data->ActivePictureIndex);
  }
  SkinRect = Data->SkinRect;
  ActiveSkinRect = Data->ActiveSkinRect;
  InActiveSkinRect = Data->InActiveSkinRect;
  if (!ActivePicture) {
    Data->ActiveSkinRect = RECT{};
    ActiveSkinRect = RECT{};
  }
  Morphing = Data->Morphing;
  MorphKind = Data->MorphKind;
  ObjectRect = SkinRect;
  CursorIndex = Data->CursorIndex;
  SkinRectInAPicture = Data->SkinRectInAPicture;
}

bool TskActiveSkinObject::SkinReady() const {
  return SkinData && !SkinData->Empty();
}

const TskPicture* TskActiveSkinObject::NormalPicture() const {
  return SkinRectInAPicture ? ActivePicture : Picture;
}

bool TskActiveSkinObject::CanMorphing() const {
  return Morphing && SkinData && SkinData->EnableSkinEffects;
}

void TskActiveSkinObject::StartMorphOrRedraw() {
  if (CanMorphing())
    Parent->StartMorphTimer();
  else
    Redraw();
}

void TskActiveSkinObject::SetMorphKf(double Value) {
  MorphKf = std::clamp(Value, 0.0, 1.0);
}

void TskActiveSkinObject::MorphStep() {
  SetMorphKf(Active ? MorphKf + 0.2 : MorphKf - 0.2);
  Redraw();
}

void TskActiveSkinObject::Redraw() {
  Parent->RedrawObject(this);
}

bool TskActiveSkinObject::MorphPending() const {
  return (Active && MorphKf < 1) || (!Active && MorphKf > 0);
}

void TskActiveSkinObject::CopyToObject(TCanvas* Cnvs, const TskPicture* Pic,
                                       const RECT& Src) const {
  // An image the skin does not hold (missing picture, rectangle outside it)
  // draws nothing.
  if (!RectInPic(Src, Pic)) return;
  DrawPictureRect(Cnvs->Handle(), ObjectRect, *Pic, Src);
}

void TskActiveSkinObject::DrawMorph(TCanvas* Cnvs, const TskPicture* FromPic, const RECT& From,
                                    const RECT& To) const {
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  if (w <= 0 || h <= 0 || !RectInPic(From, FromPic) || !RectInPic(To, ActivePicture)) return;
  TskEffectBmp a(Cut(*FromPic, From, w, h));
  TskEffectBmp b(Cut(*ActivePicture, To, w, h));
  a.MorphByKind(MorphKind, b, MorphKf);
  a.Draw(Cnvs->Handle(), ObjectRect.left, ObjectRect.top);
}

void TskActiveSkinObject::Draw(TCanvas* Cnvs, bool Alone) {
  if (!SkinReady()) return;
  if (Enabled && !Parent->GetFormActive() && !IsNullRect(InActiveSkinRect)) {
    CopyToObject(Cnvs, ActivePicture, InActiveSkinRect);
    return;
  }
  if (CanMorphing() && ((Active && MorphKf != 1) || (!Active && MorphKf != 0))) {
    DrawMorph(Cnvs, NormalPicture(), SkinRect, ActiveSkinRect);
    return;
  }
  if (Active && !IsNullRect(ActiveSkinRect)) {
    CopyToObject(Cnvs, ActivePicture, ActiveSkinRect);
    return;
  }
  if (!Alone && !SkinRectInAPicture) return;
  CopyToObject(Cnvs, NormalPicture(), SkinRect);
}

void TskActiveSkinObject::MouseDown(int X, int Y, TMouseButton Button) {
  if (Parent->OnMouseDownEvent) Parent->OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
}

void TskActiveSkinObject::MouseUp(int X, int Y, TMouseButton Button) {
  if (MouseIn && Parent->OnMouseUpEvent) Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TskActiveSkinObject::MouseMove(int X, int Y) {
  if (Parent->OnMouseMoveEvent) Parent->OnMouseMoveEvent(IDName, X, Y, ObjectRect);
}

void TskActiveSkinObject::MouseEnter() {
  MouseIn = true;
  Active = true;
  if (!IsNullRect(ActiveSkinRect)) StartMorphOrRedraw();
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TskActiveSkinObject::MouseLeave() {
  MouseIn = false;
  Active = false;
  if (!IsNullRect(ActiveSkinRect)) StartMorphOrRedraw();
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

// ---------------------------------------------------------------------------
// User object and switch

void TskUserObject::Draw(TCanvas* Cnvs, bool) {
  if (Parent->OnPaintEvent) Parent->OnPaintEvent(IDName, Cnvs, ObjectRect);
}

void TskSkinSwitchObject::SetState(TSwitchState Value) {
  State = Value;
  Active = Value == swsOn;
  StartMorphOrRedraw();
  if (Parent->OnSwitchChangeStateEvent) Parent->OnSwitchChangeStateEvent(IDName, State);
}

void TskSkinSwitchObject::MouseDown(int X, int Y, TMouseButton Button) {
  if (Button == mbLeft) SetState(State == swsOff ? swsOn : swsOff);
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinSwitchObject::MouseEnter() {
  MouseIn = true;
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TskSkinSwitchObject::MouseLeave() {
  MouseIn = false;
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

// ---------------------------------------------------------------------------
// Buttons

TskSkinButtonObject::TskSkinButtonObject(TskSkinnedForm* AForm, TskDataSkinButton* Data)
    : TskActiveSkinObject(AForm, Data) {
  if (Data) {
    DownRect = Data->DownRect;
    DisableSkinRect = Data->DisableSkinRect;
    GroupIndex = Data->GroupIndex;
  }
  Active = false;
  MouseIn = false;
  MorphKf = 0;
}

void TskSkinButtonObject::Draw(TCanvas* Cnvs, bool Alone) {
  if (!SkinReady()) return;
  if (!Enabled && !IsNullRect(DisableSkinRect)) {
    CopyToObject(Cnvs, ActivePicture, DisableSkinRect);
    return;
  }
  if (Pressed && !IsNullRect(DownRect) && (GroupIndex != -1 || MouseIn)) {
    CopyToObject(Cnvs, ActivePicture, DownRect);
    return;
  }
  TskActiveSkinObject::Draw(Cnvs, Alone);
}

void TskSkinButtonObject::ReleaseGroup() {
  if (GroupIndex == -1) return;
  for (auto& o : Parent->Objects()) {
    auto* b = dynamic_cast<TskSkinButtonObject*>(o.get());
    if (b && b != this && b->IDName != IDName && b->GroupIndex == GroupIndex && b->Pressed) {
      b->SetPressed(false);
      break;
    }
  }
}

void TskSkinButtonObject::SetPressed(bool Value) {
  Pressed = Value;
  if (IsNullRect(DownRect)) {
    if (Pressed) ReleaseGroup();
    return;
  }
  if (Pressed) {
    if (CanMorphing()) MorphKf = 1;
    Redraw();
    ReleaseGroup();
    return;
  }
  if (GroupIndex != -1) Active = false;
  if (CanMorphing()) Redraw();
  StartMorphOrRedraw();
}

void TskSkinButtonObject::MouseDown(int X, int Y, TMouseButton Button) {
  if (!Enabled) return;
  if (Button == mbLeft && !Pressed) {
    SetPressed(true);
    ShowAttachedMenu();
  }
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinButtonObject::MouseUp(int X, int Y, TMouseButton Button) {
  if (!Enabled) return;
  if (Button == mbLeft && !MenuItem && Pressed && GroupIndex == -1) SetPressed(false);
  TskActiveSkinObject::MouseUp(X, Y, Button);
}

void TskSkinButtonObject::ShowAttachedMenu() {
  if (!MenuItem || MenuItem->Count() == 0) return;
  RECT r = Parent->ObjectScreenRect(ObjectRect);
  TskSkinMenu* sm = Parent->SkinMenu();
  if (!sm) return;
  Parent->SkinMenuOpen();
  sm->Popup(nullptr, Parent->MenuSkin(), 0, TRect(r), MenuItem, false);
}

void TskSkinButtonObject::MouseEnter() {
  MouseIn = true;
  Active = true;
  if (IsNullRect(DownRect) || !Pressed) {
    if (!IsNullRect(ActiveSkinRect)) StartMorphOrRedraw();
  } else if (GroupIndex == -1) {
    Redraw();
  }
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TskSkinButtonObject::MouseLeave() {
  MouseIn = false;
  if (MenuItem && Pressed && IsNullRect(DownRect)) {
    Active = false;
    if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
    return;
  }
  if (!(Pressed && !IsNullRect(DownRect) && GroupIndex != -1)) {
    Active = false;
    if (CanMorphing() && Pressed) MorphKf = 1;
    if (!IsNullRect(ActiveSkinRect) || (!IsNullRect(DownRect) && GroupIndex == -1))
      StartMorphOrRedraw();
  }
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

bool TskSkinButtonObject::MorphPending() const {
  if (MenuItem && Pressed) return false;
  return TskActiveSkinObject::MorphPending();
}

TskSkinStdButtonObject::TskSkinStdButtonObject(TskSkinnedForm* AForm, TskDataSkinStdButton* Data)
    : TskSkinButtonObject(AForm, Data) {
  Command = Data->Command;
  RestoreRect = Data->RestoreRect;
  RestoreActiveRect = Data->RestoreActiveRect;
  RestoreDownRect = Data->RestoreDownRect;
  RestoreInActiveRect = Data->RestoreInActiveRect;
}

TskSkinStdButtonObject::TskSkinStdButtonObject(TskSkinnedForm* AForm, const std::wstring& Name,
                                               TskStdCommand Cmd)
    : TskSkinButtonObject(AForm, nullptr) {
  SkinSupport = false;
  IDName = Name;
  Command = Cmd;
  SkinRectInAPicture = true;
  SkinRect = ActiveSkinRect = DownRect = ObjectRect = RECT{0, 0, 1, 1};
}

bool TskSkinStdButtonObject::InRestoreState() const {
  switch (Command) {
  case cmMaximize:
    return Parent->WindowState() == 2;
  case cmMinimize:
    return Parent->WindowState() == 1;
  case cmRollUp:
    return Parent->RollUpState();
  default:
    return false;
  }
}

void TskSkinStdButtonObject::DrawDefault(TCanvas* Cnvs) {
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  if (w <= 0 || h <= 0) return;
  TskPicture p(w, h);
  bool down = Pressed && MouseIn;
  if (down || MouseIn) {
    p.Fill(down ? 0xB59385 : 0xD2BDB6);
    for (int x = 0; x < w; ++x) {
      p.SetPixel(x, 0, 0x800000);
      p.SetPixel(x, h - 1, 0x800000);
    }
    for (int y = 0; y < h; ++y) {
      p.SetPixel(0, y, 0x800000);
      p.SetPixel(w - 1, y, 0x800000);
    }
  } else {
    p.Fill(GetSysColor(COLOR_BTNFACE));
  }
  {
    TPictureCanvas pc(p);
    int gx = w / 2 - 5 + (down ? 1 : 0), gy = h / 2 - 4 + (down ? 1 : 0);
    COLORREF c = GetSysColor(Enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
    switch (Command) {
    case cmClose:
      DrawCloseGlyph(pc.DC(), gx, gy, c);
      break;
    case cmMaximize:
      (InRestoreState() ? DrawRestoreGlyph : DrawMaximizeGlyph)(pc.DC(), gx, gy, c);
      break;
    case cmMinimize:
      (InRestoreState() ? DrawRestoreGlyph : DrawMinimizeGlyph)(pc.DC(), gx, gy, c);
      break;
    case cmSysMenu:
      DrawSysMenuGlyph(pc.DC(), gx, gy, c);
      break;
    case cmRollUp:
      (InRestoreState() ? DrawRollDownGlyph : DrawRollUpGlyph)(pc.DC(), gx, gy, c);
      break;
    case cmMinimizeToTray:
      DrawMinToTrayGlyph(pc.DC(), gx, gy, c);
      break;
    default:
      break;
    }
  }
  DrawPicture(Cnvs->Handle(), ObjectRect.left, ObjectRect.top, p);
}

void TskSkinStdButtonObject::Draw(TCanvas* Cnvs, bool Alone) {
  if (Command == cmSysMenu && Parent->ShowIcon && SkinRectInAPicture) {
    Parent->DrawFormIcon(Cnvs, ObjectRect.left, ObjectRect.top);
    MorphKf = 0;
    return;
  }
  if (!SkinSupport) {
    DrawDefault(Cnvs);
    return;
  }
  if (!SkinReady()) return;
  bool restore = InRestoreState();
  if (!restore || IsNullRect(RestoreRect)) {
    TskSkinButtonObject::Draw(Cnvs, Alone);
    return;
  }
  if (!Parent->GetFormActive() && !IsNullRect(RestoreInActiveRect)) {
    CopyToObject(Cnvs, ActivePicture, RestoreInActiveRect);
  } else if (Pressed && !IsNullRect(RestoreDownRect) && MouseIn) {
    CopyToObject(Cnvs, ActivePicture, RestoreDownRect);
  } else if (CanMorphing() && ((Active && MorphKf != 1) || (!Active && MorphKf != 0))) {
    DrawMorph(Cnvs, ActivePicture, RestoreRect, RestoreActiveRect);
  } else if (Active && !IsNullRect(RestoreActiveRect)) {
    CopyToObject(Cnvs, ActivePicture, RestoreActiveRect);
  } else {
    CopyToObject(Cnvs, ActivePicture, RestoreRect);
  }
}

bool TskSkinStdButtonObject::MorphPending() const {
  if (Command == cmSysMenu && Parent->ShowIcon && SkinRectInAPicture) return false;
  return TskSkinButtonObject::MorphPending();
}

void TskSkinStdButtonObject::DblClick() {
  if (Command == cmSysMenu) Parent->Form()->Close();
}

void TskSkinStdButtonObject::MouseDown(int, int, TMouseButton Button) {
  if (!Enabled || Button != mbLeft || Pressed) return;
  if (Command == cmSysMenu) MenuItem = Parent->GetSystemMenuItems();
  SetPressed(true);
  if (Command == cmSysMenu) ShowAttachedMenu();
}

void TskSkinStdButtonObject::DoCommand() {
  switch (Command) {
  case cmClose:
    Parent->Form()->Close();
    break;
  case cmMaximize:
    Parent->SetWindowState(Parent->WindowState() == 2 ? 0 : 2);
    break;
  case cmMinimize:
    if (Parent->SupportNCArea())
      Parent->SetWindowState(Parent->WindowState() == 1 ? 0 : 1);
    else
      Parent->SetWindowState(1);
    break;
  case cmRollUp:
    Parent->SetRollUpState(!Parent->RollUpState());
    break;
  default:
    break;
  }
}

void TskSkinStdButtonObject::MouseUp(int X, int Y, TMouseButton Button) {
  if (Command == cmClose) {
    TskSkinButtonObject::MouseUp(X, Y, Button);
    if (Enabled && Active && Button == mbLeft) DoCommand();
    return;
  }
  if (Enabled && Active && Button == mbLeft) DoCommand();
  TskSkinButtonObject::MouseUp(X, Y, Button);
}

// ---------------------------------------------------------------------------
// Caption, label, bit-map label

TskSkinCaptionObject::TskSkinCaptionObject(TskSkinnedForm* AForm, TskDataSkinCaption* Data)
    : TskActiveSkinObject(AForm, Data), Data(Data) {
  DefaultCaption = !Data->DefaultCaption.empty() && Data->DefaultCaption != L"0";
}

bool TskSkinCaptionObject::AnimationPossible() const {
  return SkinData && SkinData->EnableSkinEffects && !SkinData->Empty() &&
         !IsNullRect(Data->AnimateSkinRect) && Data->FrameCount > 0;
}

void TskSkinCaptionObject::SetText(const std::wstring& Value) {
  Text = Value;
  Redraw();
}

void TskSkinCaptionObject::DrawText(HDC DC, const RECT& R, bool ActiveColours) const {
  std::wstring text = Parent->Form()->Caption();
  HFONT font = MakeFont(Data->FontName, Data->FontHeight, Data->FontStyle);
  DrawSkinText(DC, text, R, font, SkColor(ActiveColours ? Data->ActiveFontColor : Data->FontColor),
               AlignFlags(Data->Alignment), Data->Shadow,
               SkColor(ActiveColours ? Data->ActiveShadowColor : Data->ShadowColor), Data->Light,
               SkColor(ActiveColours ? Data->ActiveLightColor : Data->LightColor));
  DeleteObject(font);
}

void TskSkinCaptionObject::Draw(TCanvas* Cnvs, bool) {
  if (!SkinReady()) return;
  Active = Parent->GetFormActive();
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  if (w <= 0 || h <= 0) return;
  RECT N = SkinRect;
  RECT T = Data->TextRect;
  if (!IsNullRect(T)) T.right += w - RectWidth(N);
  if (!IsNullRect(Data->FrameRect)) {
    T.top += Data->FrameTextRect.top;
    T.left += Data->FrameTextRect.left;
    T.right += Data->FrameTextRect.right - RectWidth(Data->FrameRect);
  }
  // The image: the active picture's rectangle while active (when there is
  // one), else the normal one; the middle follows the stretched width.
  const TskPicture* pic = Picture;
  RECT src = N;
  if (Active && RectInPic(ActiveSkinRect, ActivePicture)) {
    pic = ActivePicture;
    src = ActiveSkinRect;
  } else if (SkinRectInAPicture) {
    pic = ActivePicture;
  }
  TskPicture img;
  if (!RectInPic(src, pic)) return;
  const TskSkinContent& s = *SkinData;
  bool stretchable = s.RBPoint.x != s.LTPoint.x && s.RBPoint.y != s.LTPoint.y;
  if (w == RectWidth(src) && h == RectHeight(src)) {
    img = Cut(*pic, src, w, h);
  } else if (stretchable && h == RectHeight(src)) {
    int lw = std::max(0, int(s.LTPoint.x - N.left)), rw = std::max(0, int(N.right - s.RTPoint.x));
    if (lw + rw > 0 && lw + rw < RectWidth(src))
      CreateHSkinImage(lw, rw, img, Data->StretchEffect, w, src, *pic);
    else
      img = Cut(*pic, src, w, h);
  } else {
    img = Cut(*pic, src, w, h);
  }
  if (img.Width() != w || img.Height() != h)
    img = Cut(img, RECT{0, 0, img.Width(), img.Height()}, w, h);
  {
    TPictureCanvas pc(img);
    if (!IsNullRect(T)) DrawText(pc.DC(), T, Active);
  }
  DrawPicture(Cnvs->Handle(), ObjectRect.left, ObjectRect.top, img);
}

void TskSkinCaptionObject::MouseDown(int X, int Y, TMouseButton Button) {
  if (!Parent->SupportNCArea() && Parent->WindowState() != 2 && Button == mbLeft &&
      Parent->DraggAble)
    Parent->BeginDrag(X, Y);
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinCaptionObject::MouseUp(int X, int Y, TMouseButton Button) {
  if (!Parent->SupportNCArea()) Parent->EndDrag();
  if (Parent->OnMouseUpEvent) Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TskSkinCaptionObject::MouseEnter() {
  MouseIn = true;
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TskSkinCaptionObject::MouseLeave() {
  MouseIn = false;
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

TskSkinLabelObject::TskSkinLabelObject(TskSkinnedForm* AForm, TskDataSkinLabel* Data)
    : TskActiveSkinObject(AForm, Data), Data(Data), TextValue(Data->TextValue) {}

void TskSkinLabelObject::Draw(TCanvas* Cnvs, bool Alone) {
  if (!SkinReady()) return;
  bool act = Active;
  if (act && Data->ActiveFontColor == Data->FontColor && IsNullRect(ActiveSkinRect)) return;
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  if (w <= 0 || h <= 0) return;
  const TskPicture* pic = NormalPicture();
  RECT src = SkinRect;
  if (act && RectInPic(ActiveSkinRect, ActivePicture)) {
    pic = ActivePicture;
    src = ActiveSkinRect;
  }
  if (!RectInPic(src, pic)) return;
  TskPicture img = Cut(*pic, src, w, h);
  {
    TPictureCanvas pc(img);
    HFONT font = MakeFont(Data->FontName, Data->FontHeight, Data->FontStyle);
    DrawSkinText(pc.DC(), TextValue, RECT{0, 0, w, h}, font,
                 SkColor(act ? Data->ActiveFontColor : Data->FontColor),
                 AlignFlags(Data->Alignment), false, 0, false, 0);
    DeleteObject(font);
  }
  (void)Alone;
  DrawPicture(Cnvs->Handle(), ObjectRect.left, ObjectRect.top, img);
}

void TskSkinLabelObject::MouseEnter() {
  MouseIn = true;
  Active = true;
  StartMorphOrRedraw();
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TskSkinLabelObject::MouseLeave() {
  MouseIn = false;
  Active = false;
  StartMorphOrRedraw();
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

TskSkinBitLabelObject::TskSkinBitLabelObject(TskSkinnedForm* AForm, TskDataSkinBitLabel* Data)
    : TskActiveSkinObject(AForm, Data), Data(Data), TextValue(Data->TextValue) {
  Morphing = false;
}

void TskSkinBitLabelObject::Draw(TCanvas* Cnvs, bool) {
  if (!SkinReady() || !ActivePicture) return;
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  int sw = Data->SymbolWidth, sh = Data->SymbolHeight;
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  const TskPicture* bg = NormalPicture() ? NormalPicture() : ActivePicture;
  if (!RectInPic(SkinRect, bg)) return;
  TskPicture img = Cut(*bg, SkinRect, w, h);
  for (size_t i = 0; i < TextValue.size(); ++i) {
    wchar_t ch = TextValue[i];
    for (size_t r = 0; r < Data->Symbols.size(); ++r) {
      size_t c = Data->Symbols[r].find(ch);
      if (c == std::wstring::npos) continue;
      RECT s{ActiveSkinRect.left + int(c) * sw, ActiveSkinRect.top + int(r) * sh, 0, 0};
      s.right = s.left + sw;
      s.bottom = s.top + sh;
      if (!RectInPic(s, ActivePicture)) break;
      COLORREF tc = SkColor(Data->TransparentColor);
      for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
          COLORREF px = ActivePicture->Pixel(s.left + x, s.top + y);
          if (Data->Transparent && px == tc) continue;
          img.SetPixel(int(i) * sw + x, y, px);
        }
      break;
    }
  }
  DrawPicture(Cnvs->Handle(), ObjectRect.left, ObjectRect.top, img);
}

// ---------------------------------------------------------------------------
// TskSkinnedForm: life

TskSkinnedForm* GetSkinFormOf(TComponent* Component) {
  if (!Component) return nullptr;
  for (int i = 0; i < Component->ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TskSkinnedForm*>(Component->Components(i))) return f;
  return nullptr;
}

TskSkinnedForm::TskSkinnedForm(TComponent* AOwner) : TComponent(AOwner) {
  FForm = dynamic_cast<TCustomForm*>(AOwner);
  if (!FForm) throw EInvalidCast(L"Invalid class typecast");
  FVista = IsWinVistaOrLater();
  FDefCaptionFont = std::make_unique<TFont>();
  FDefCaptionFont->SetName(L"Arial");
  FDefCaptionFont->SetStyle(fsBold);
  FDefCaptionFont->SetHeight(14);
  FDefCaptionFont->SetColor(clBtnText);
  FDefInActiveCaptionFont = std::make_unique<TFont>();
  FDefInActiveCaptionFont->Assign(FDefCaptionFont.get());
  FDefInActiveCaptionFont->SetColor(clBtnShadow);
  auto timer = [this](UINT interval, void (TskSkinnedForm::*tick)()) {
    auto t = std::make_unique<TTimer>(nullptr);
    t->SetEnabled(false);
    t->SetInterval(interval);
    t->OnTimer = [this, tick](TObject*) { (this->*tick)(); };
    return t;
  };
  FMorphTimer = timer(25, &TskSkinnedForm::MorphTimerTick);
  FMouseTimer = timer(50, &TskSkinnedForm::MouseTimerTick);
  FAnimateTimer = timer(25, &TskSkinnedForm::AnimateTimerTick);
  FForm->SetBorderIcons(0);
  FOldWindowProc = FForm->WindowProc;
  if (!(ComponentState() & csDesigning))
    FForm->WindowProc = [this](TMessage& m) { FormWindowProc(m); };
  InitMenus();
}

TskSkinnedForm::~TskSkinnedForm() {
  Destroying();
  DoneMenus();
  StopTimers();
  FObjects.clear();
  FForm->WindowProc = FOldWindowProc;
  if (FSmallIcon) DestroyIcon(FSmallIcon);
}

void TskSkinnedForm::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  // Every link to the freed component goes (a skin data may be both).
  if (AComponent == FSkinData) {
    FSkinData = nullptr;
    FSkinActive = false;
    StopTimers();
    FObjects.clear();
    FAreaControls.clear();
    FActiveObject = FOldActiveObject = FCapturedObject = -1;
  }
  if (AComponent == FMenusSkinData) FMenusSkinData = nullptr;
  if (AComponent == FSystemMenu) FSystemMenu = nullptr;
  if (AComponent == FSkinHint) FSkinHint = nullptr;
  if (AComponent == FMainMenu) {
    FMainMenu = nullptr;
    FreeMainMenuItems();
  }
  if (AComponent == FSkinMenu) FSkinMenu = nullptr;
  if (AComponent == FMenuHost) FMenuHost = nullptr;
  for (auto it = FAreaControls.begin(); it != FAreaControls.end();)
    it = it->Control == AComponent ? FAreaControls.erase(it) : it + 1;
}

void TskSkinnedForm::SetSkinData(TskSkinData* Value) {
  if (FSkinData && FSkinData != Value && FSkinData != FMenusSkinData)
    RemoveFreeNotification(FSkinData);
  FSkinData = Value;
  if (Value) {
    Value->FreeNotification(this);
    if (FForm->FormStyle() != fsMDIChild) FSkinnable = Value->SkinnableForm();
  }
  if (!(ComponentState() & csDesigning)) ApplySkin();
}

void TskSkinnedForm::SetMenusSkinData(TskSkinData* Value) {
  FMenusSkinData = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinnedForm::SetSupportNCArea(bool Value) {
  FSupportNCArea = Value;
  if (!Value) FForm->SetBorderStyle(bsNone);
}

void TskSkinnedForm::SetBorderIcons(TskBorderIcons Value) {
  FBorderIcons = Value;
  if (FSkinActive || (HideCaptionButtons && !FSupportNCArea)) UpdateCaptionButtons();
  if (FSkinActive && FForm->HandleAllocated()) FForm->Invalidate();
}

void TskSkinnedForm::StopTimers() {
  FMouseTimer->SetEnabled(false);
  FMorphTimer->SetEnabled(false);
  FAnimateTimer->SetEnabled(false);
}

bool TskSkinnedForm::MouseTimerRunning() const {
  return FMouseTimer->Enabled();
}
bool TskSkinnedForm::MorphTimerRunning() const {
  return FMorphTimer->Enabled();
}
bool TskSkinnedForm::AnimateTimerRunning() const {
  return FAnimateTimer->Enabled();
}
void TskSkinnedForm::StartMorphTimer() {
  FMorphTimer->SetEnabled(true);
}
void TskSkinnedForm::StartAnimateTimer() {
  FAnimateTimer->SetEnabled(true);
}

TskActiveSkinObject* TskSkinnedForm::FindObject(const std::wstring& IDName) const {
  for (auto& o : FObjects)
    if (o->IDName == IDName) return o.get();
  return nullptr;
}

// ---------------------------------------------------------------------------
// Window procedure

void TskSkinnedForm::FormWindowProc(TMessage& M) {
  CheckMenuClose(M.Msg);
  if (MenuMessage(M)) return;
  if (!FirstStage(M)) FOldWindowProc(M);
  SecondStage(M);
}

bool TskSkinnedForm::FirstStage(TMessage& M) {
  switch (M.Msg) {
  case WM_DESTROY:
    StopTimers();
    return false;
  case WM_SIZE:
    FOldWindowProc(M);
    FSnapLeft = FSnapTop = FSnapRight = FSnapBottom = false;
    OnSizeChanged();
    return true;
  case WM_ACTIVATE:
    if (!FSkinnable) return false;
    EndDrag();
    FOldWindowProc(M);
    UpdateActivation(true);
    return true;
  case WM_SETTEXT:
    FPaintCacheValid = false;
    if (!FSkinnable) return false;
    FOldWindowProc(M);
    if (FSkinActive) FForm->Invalidate();
    return true;
  case WM_ERASEBKGND:
    if (FSupportNCArea) return false;
    PaintClientSkin(reinterpret_cast<HDC>(M.WParam));
    M.Result = 1;
    return true;
  case WM_SHOWWINDOW:
    if (M.WParam) {
      FirstPlacement();
      if (IsWin2KOrLater() && (FAlphaBlend || AlphaBlendAnimation)) {
        HWND h = FForm->Handle();
        SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredAlpha(h, 0);
        SetTimer(h, 1, 1, nullptr);
      }
      if (!FSupportNCArea) LayoutAreaControls();
    } else if (FAlphaBlend && IsWin2KOrLater()) {
      HWND h = FForm->Handle();
      SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    }
    return false;
  case WM_GETMINMAXINFO:
    if (FSkinnable) {
      FOldWindowProc(M);
      auto* mmi = reinterpret_cast<MINMAXINFO*>(M.LParam);
      mmi->ptMinTrackSize = POINT{GetMinWidth(), GetMinHeight()};
      mmi->ptMaxTrackSize = POINT{GetMaxWidth(), GetMaxHeight()};
      return true;
    }
    return false;
  case WM_NCCALCSIZE:
    if (!FSkinnable) return false;
    if (FSupportNCArea) return false;
    M.Result = 0;
    return true;
  case WM_NCHITTEST:
    if (FSupportNCArea) return false;
    if (!FSkinActive) {
      M.Result = HTCLIENT;
      return false;
    } else {
      POINT p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
      ScreenToClient(FForm->Handle(), &p);
      if (!FMouseIn) {
        FMouseIn = true;
        TestActiveObject(p.x, p.y, true);
        FMouseTimer->SetEnabled(true);
      }
      M.Result = ClientHitTest(p);
      return true;
    }
  case WM_NCPAINT:
    return FSkinnable && !FSupportNCArea;
  case WM_NCACTIVATE:
    if (!FSkinnable) return false;
    FNCActive = M.WParam != 0;
    M.Result = 1;
    UpdateActivation(true);
    return true;
  case WM_SYSCOMMAND:
    if ((M.WParam & 0xFFF0) == SC_RESTORE && OnRestore) OnRestore(this);
    return false;
  case WM_TIMER:
    if (M.WParam == 1 && IsWin2KOrLater() && (FAlphaBlend || AlphaBlendAnimation)) AlphaFadeIn();
    return false;
  case WM_MOVING:
    if (FSkinnable) {
      auto* r = reinterpret_cast<RECT*>(M.LParam);
      if (FWindowState == 2 && FForm->FormStyle() != fsMDIChild) {
        *r = RECT{FForm->Left(), FForm->Top(), FForm->Left() + FForm->Width(),
                  FForm->Top() + FForm->Height()};
      } else if (Magnetic) {
        int x = r->left, y = r->top;
        MagneticSnap(x, y, FForm->Width(), FForm->Height());
        *r = RECT{x, y, x + FForm->Width(), y + FForm->Height()};
      }
    }
    return false;
  case WM_ENTERSIZEMOVE: {
    POINT c;
    GetCursorPos(&c);
    FSnapX = c.x;
    FSnapY = c.y;
    return false;
  }
  default:
    break;
  }
  if (M.Msg == WM_SKINCHANGING) {
    if (reinterpret_cast<TskSkinData*>(M.WParam) == FSkinData && FSkinData) {
      FSkinChanging = true;
      FSkinActive = false;
      StopTimers();
      FreeSkinObjects();
      DropControlEntries(FSkinData, FForm);
    }
  } else if (M.Msg == WM_SKINCHANGED) {
    FSkinChanging = false;
    auto* sender = reinterpret_cast<TskSkinData*>(M.WParam);
    if (sender && sender == FSkinData) ApplySkin();
    if (sender) ApplySkinToControls(sender, FForm);
  } else if (M.Msg == WM_SKINRESSTRCHANGED) {
    UpdateObjectHints();
  } else if (M.Msg == WM_SKINNABLEFORMCHANGED) {
    if (reinterpret_cast<TskSkinData*>(M.WParam) == FSkinData && FSkinData &&
        FForm->FormStyle() != fsMDIChild) {
      FSkinnable = FSkinData->SkinnableForm();
      if (!FSkinnable) {
        SetRegion(nullptr);
        FreeSkinObjects();
        FSkinActive = false;
      }
      ApplySkin();
      ApplySkinToControls(nullptr, FForm);
      FForm->Invalidate();
    }
  } else if (M.Msg == CM_SKINSTATEQUERY) {
    M.Result = (FSkinnable || !FVista) ? 12853 : 12852;
    return true;
  } else if (M.Msg == CM_SKINQUERY && FSkinnable) {
    M.Result = 12851;
    return true;
  } else if (M.Msg == CM_SKINFRAMEQUERY && FSkinnable && M.LParam == 16802) {
    M.Result = 16802;
    return true;
  }
  return false;
}

void TskSkinnedForm::SecondStage(TMessage& M) {
  if (FSupportNCArea || !FSkinnable) return;
  int x = GET_X_LPARAM(M.LParam), y = GET_Y_LPARAM(M.LParam);
  switch (M.Msg) {
  case WM_MOUSEMOVE: {
    ObjectMouseMove(x, y);
    if (!FDragging) break;
    POINT c;
    GetCursorPos(&c);
    if (c.x == FLastDragPos.x && c.y == FLastDragPos.y) break;
    int nl = FForm->Left() + c.x - FLastDragPos.x, nt = FForm->Top() + c.y - FLastDragPos.y;
    if (Magnetic) MagneticSnap(nl, nt, FForm->Width(), FForm->Height());
    FForm->SetBounds(nl, nt, FForm->Width(), FForm->Height());
    FLastDragPos = c;
    break;
  }
  case WM_LBUTTONDOWN: {
    POINT c;
    GetCursorPos(&c);
    FSnapX = c.x;
    FSnapY = c.y;
    ObjectMouseDown(mbLeft, x, y);
    break;
  }
  case WM_LBUTTONUP:
    ObjectMouseUp(mbLeft, x, y);
    break;
  case WM_LBUTTONDBLCLK:
    ObjectMouseDown(mbLeft, x, y);
    ObjectDblClick();
    CaptionDblClick();
    break;
  case WM_RBUTTONDOWN:
  case WM_RBUTTONDBLCLK:
    ObjectMouseDown(mbRight, x, y);
    break;
  case WM_RBUTTONUP:
    ObjectMouseUp(mbRight, x, y);
    break;
  default:
    break;
  }
}

void TskSkinnedForm::FirstPlacement() {
  if (!FFirstPlacement) return;
  if (PositionInMonitor == skpDefault) {
    FFirstPlacement = false;
    return;
  }
  // A window first shown maximized is placed by its first restore.
  if (FWindowState != 0) return;
  FFirstPlacement = false;
  CentreInMonitor(FForm->Width(), FForm->Height());
}

void TskSkinnedForm::CentreInMonitor(int Width, int Height) {
  RECT a;
  GetMonitorRect(FForm->Handle(), PositionInMonitor == skpDesktopCenter, a);
  FForm->SetBounds(a.left + RectWidth(a) / 2 - Width / 2, a.top + RectHeight(a) / 2 - Height / 2,
                   Width, Height);
}

void TskSkinnedForm::SetAlphaBlend(bool Value) {
  if (Value == FAlphaBlend) return;
  FAlphaBlend = Value;
  if ((ComponentState() & (csDesigning | csLoading)) || !FForm->HandleAllocated()) return;
  HWND h = FForm->Handle();
  LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  if (Value) {
    SetWindowLongW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredAlpha(h, FAlphaBlendValue);
  } else {
    SetWindowLongW(h, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
  }
}

void TskSkinnedForm::SetAlphaBlendValue(BYTE Value) {
  if (Value == FAlphaBlendValue) return;
  FAlphaBlendValue = Value;
  if (FAlphaBlend && !(ComponentState() & (csDesigning | csLoading)) && FForm->HandleAllocated())
    SetLayeredAlpha(FForm->Handle(), Value);
}

void TskSkinnedForm::AlphaFadeIn() {
  HWND h = FForm->Handle();
  KillTimer(h, 1);
  int target = (!AlphaBlendAnimation || FAlphaBlend) ? FAlphaBlendValue : 255;
  if (AlphaBlendAnimation) {
    Application->ProcessMessages();
    int a = 0;
    DWORD last = 0;
    while (a < target) {
      DWORD now = GetTickCount();
      if (now - last > 5) {
        last = now;
        a = std::min(a + 10, target);
        SetLayeredAlpha(h, BYTE(a));
      } else {
        Sleep(1);
      }
    }
  } else if (target != 255) {
    SetLayeredAlpha(h, FAlphaBlendValue);
  }
  if (target == 255)
    SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

void TskSkinnedForm::OnSizeChanged() {
  FPaintCacheValid = false;
  FWidth = FForm->Width();
  FHeight = FForm->Height();
  if (FSupportNCArea || !FSkinActive || FRollUpState) return;
  if (IsSizeableSkin())
    UpdateLayout(true);
  else if (FSkinData->Picture.Width() == FForm->ClientWidth() &&
           FSkinData->Picture.Height() == FForm->ClientHeight())
    UpdateLayout(false);
}

// ---------------------------------------------------------------------------
// Skin application

bool TskSkinnedForm::IsSizeableSkin() const {
  if (!FSkinData) return false;
  return FSkinData->RBPoint.x != FSkinData->LTPoint.x &&
         FSkinData->RBPoint.y != FSkinData->LTPoint.y;
}

void TskSkinnedForm::ApplySkin() {
  FPaintCacheValid = false;
  FActiveObject = FOldActiveObject = FCapturedObject = -1;
  FSkinActive = FSkinData && !FSkinData->Empty() && FSkinnable;
  if (FSupportNCArea || !FSkinActive) return;
  bool sizeable = IsSizeableSkin();
  if (FRollUpState && FSkinData->RollUpPicture.Empty()) FRollUpState = false;
  if (!FRollUpState) FitClientToSkin();
  CreateSkinObjects();
  UpdateCaptionButtons();
  FApplying = true;
  if (OnChangeSkinData) OnChangeSkinData(this);
  FWidth = FForm->Width();
  FHeight = FForm->Height();
  if (!FRollUpState && (sizeable || (FSkinData->Picture.Width() == FForm->ClientWidth() &&
                                     FSkinData->Picture.Height() == FForm->ClientHeight())))
    UpdateLayout(sizeable);
  LayoutObjects();
  AddAreaControls();
  LayoutAreaControls();
  UpdateActivation(true);
  FApplying = false;
  FMouseTimer->SetEnabled(true);
}

void TskSkinnedForm::CreateSkinObjects() {
  FreeSkinObjects();
  if (!FSkinData) return;
  for (auto& d : FSkinData->ObjectList) {
    TskDataSkinObject* o = d.get();
    std::unique_ptr<TskActiveSkinObject> obj;
    if (dynamic_cast<TskDataSkinMainMenuItem*>(o) || dynamic_cast<TskDataSkinMenuItem*>(o))
      continue;
    if (auto* s = dynamic_cast<TskDataSkinStdButton*>(o))
      obj = std::make_unique<TskSkinStdButtonObject>(this, s);
    else if (auto* b = dynamic_cast<TskDataSkinButton*>(o))
      obj = std::make_unique<TskSkinButtonObject>(this, b);
    else if (auto* c = dynamic_cast<TskDataSkinCaption*>(o))
      obj = std::make_unique<TskSkinCaptionObject>(this, c);
    else if (auto* l = dynamic_cast<TskDataSkinLabel*>(o))
      obj = std::make_unique<TskSkinLabelObject>(this, l);
    else if (auto* bl = dynamic_cast<TskDataSkinBitLabel*>(o))
      obj = std::make_unique<TskSkinBitLabelObject>(this, bl);
    else if (dynamic_cast<TskDataSkinSwitch*>(o))
      obj = std::make_unique<TskSkinSwitchObject>(this, o);
    else if (dynamic_cast<TskDataUserObject*>(o))
      obj = std::make_unique<TskUserObject>(this, o);
    if (obj) FObjects.push_back(std::move(obj));
  }
  CreateMainMenuItems();
}

void TskSkinnedForm::FreeSkinObjects() {
  FPaintCacheValid = false;
  if (FCapturedObject != -1 &&
      GetCapture() == (FForm->HandleAllocated() ? FForm->Handle() : nullptr))
    ReleaseCapture();
  FObjects.clear();
  FAreaControls.clear();
  FActiveObject = FOldActiveObject = FCapturedObject = -1;
}

void TskSkinnedForm::UpdateCaptionButtons() {
  FPaintCacheValid = false;
  for (auto& o : FObjects) {
    auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get());
    if (!b) continue;
    if (HideCaptionButtons) {
      b->Enabled = false;
      if (b->SkinRectInAPicture) b->Visible = false;
      continue;
    }
    bool on = true;
    switch (b->Command) {
    case cmMaximize:
      on = FBorderIcons & biSkMaximize;
      break;
    case cmMinimize:
      on = FBorderIcons & biSkMinimize;
      break;
    case cmRollUp:
      on = FBorderIcons & biSkRollUp;
      break;
    case cmMinimizeToTray:
      on = FBorderIcons & biSkMinimizeToTray;
      break;
    case cmSysMenu:
      on = (FBorderIcons & biSkSystemMenu) && !DisableSystemMenu;
      break;
    case cmDefault: {
      bool vis = false;
      if (OnActivateCustomObject) OnActivateCustomObject(b->IDName, vis);
      b->Visible = vis;
      continue;
    }
    default:
      continue;
    }
    b->Enabled = on;
    b->Visible = b->SkinRectInAPicture ? on : true;
  }
  TskSkinCaptionObject* first = nullptr;
  bool any = false;
  for (auto& o : FObjects)
    if (auto* c = dynamic_cast<TskSkinCaptionObject*>(o.get())) {
      if (!first) first = c;
      if (c->DefaultCaption) {
        any = true;
        c->Text = FForm->Caption();
      }
    }
  if (!any && first) {
    first->DefaultCaption = true;
    first->Text = FForm->Caption();
  }
  UpdateObjectHints();
}

void TskSkinnedForm::UpdateObjectHints() {
  if (!UseDefaultObjectHint || !FSkinData) return;
  for (auto& o : FObjects) {
    auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get());
    if (!b) continue;
    const wchar_t *key = nullptr, *def = nullptr;
    switch (b->Command) {
    case cmClose:
      key = L"CLOSEBUTTON_HINT", def = L"Close";
      break;
    case cmMaximize:
      key = L"MAXBUTTON_HINT", def = L"Maximize";
      break;
    case cmMinimize:
      key = L"MINBUTTON_HINT", def = L"Minimize";
      break;
    case cmSysMenu:
      key = L"MENUBUTTON_HINT", def = L"System menu";
      break;
    case cmRollUp:
      key = L"ROLLUPBUTTON_HINT", def = L"Roll Up";
      break;
    case cmMinimizeToTray:
      key = L"TRAYBUTTON_HINT", def = L"Minimize to Tray";
      break;
    default:
      continue;
    }
    b->Hint = FSkinData->ResourceStrData() ? FSkinData->ResourceStrData()->GetResString(key) : def;
  }
}

void TskSkinnedForm::UpdateCaptionText() {
  for (auto& o : FObjects)
    if (auto* c = dynamic_cast<TskSkinCaptionObject*>(o.get()))
      if (c->DefaultCaption) c->SetText(FForm->Caption());
}

void TskSkinnedForm::DropControlEntries(TskSkinData* S, TWinControl* C) {
  for (int i = 0; i < C->ControlCount(); ++i) {
    TControl* c = C->Controls(i);
    if (auto* sc = dynamic_cast<TskSkinControl*>(c)) {
      if (!S || sc->SkinData() == S) sc->DropSkinEntry();
    } else if (auto* gc = dynamic_cast<TskGraphicSkinControl*>(c)) {
      if (!S || gc->SkinData() == S) gc->DropSkinEntry();
    }
    if (auto* w = dynamic_cast<TWinControl*>(c)) DropControlEntries(S, w);
  }
}

void TskSkinnedForm::ApplySkinToControls(TskSkinData* S, TWinControl* C) {
  for (int i = 0; i < C->ControlCount(); ++i) {
    TControl* c = C->Controls(i);
    if (auto* gc = dynamic_cast<TskGraphicSkinControl*>(c)) {
      if (!S || gc->SkinData() == S) gc->ApplyControlSkin();
    } else if (auto* sc = dynamic_cast<TskSkinControl*>(c)) {
      if (!S || sc->SkinData() == S) sc->ApplyControlSkin();
    } else if (auto* lv = dynamic_cast<TskSkinCustomListView*>(c)) {
      if (!S || lv->SkinData() == S) lv->ApplyControlSkin();
    }
    if (auto* w = dynamic_cast<TWinControl*>(c)) ApplySkinToControls(S, w);
  }
}

// ---------------------------------------------------------------------------
// Geometry, layout, region, limits

void TskSkinnedForm::CalcFrameGeometry() {
  if (!FSkinData) return;
  const TskSkinContent& s = *FSkinData;
  int pw = s.Picture.Width();
  int dx = FWidth - pw, dy = FHeight - s.Picture.Height();
  FNewLTPoint = s.LTPoint;
  FNewRTPoint = POINT{s.RTPoint.x + dx, s.RTPoint.y};
  FNewLBPoint = POINT{s.LBPoint.x, s.LBPoint.y + dy};
  FNewRBPoint = POINT{s.RBPoint.x + dx, s.RBPoint.y + dy};
  FNewClientRect =
      RECT{s.ClientRect.left, s.ClientRect.top, s.ClientRect.right + dx, s.ClientRect.bottom + dy};
  FNewCaptionRect = s.CaptionRect;
  if (!IsNullRect(FNewCaptionRect)) FNewCaptionRect.right += dx;
  FNewButtonsRect = s.ButtonsRect;
  if (!IsNullRect(FNewButtonsRect) && FNewButtonsRect.left > pw / 2)
    FNewButtonsRect = OffsetR(FNewButtonsRect, dx, 0);
  FHitLT = s.HitTestLTPoint;
  FHitRT = POINT{s.HitTestRTPoint.x + dx, s.HitTestRTPoint.y};
  FHitLB = POINT{s.HitTestLBPoint.x, s.LBPoint.y + dy};
  FHitRB = POINT{s.HitTestRBPoint.x + dx, s.HitTestRBPoint.y + dy};
  FNewMaskRect = RECT{s.MaskRectArea.left, s.MaskRectArea.top, s.MaskRectArea.right + dx,
                      s.MaskRectArea.bottom + dy};
  FSizeGripRect =
      (FSkinActive && !IsNullRect(s.SizeGripArea)) ? MapSkinRectToForm(s.SizeGripArea) : RECT{};
}

RECT TskSkinnedForm::MapSkinRectToForm(const RECT& R) const {
  if (!FSkinData) return R;
  const TskSkinContent& s = *FSkinData;
  int pw = s.Picture.Width(), ph = s.Picture.Height();
  RECT TL{0, 0, s.LTPoint.x, s.LTPoint.y}, TR{s.RTPoint.x, 0, pw, s.RTPoint.y},
      BL{0, s.LBPoint.y, s.LBPoint.x, ph}, BR{s.RBPoint.x, s.RBPoint.y, pw, ph};
  if (IsNullRect(TL) && IsNullRect(TR) && IsNullRect(BL) && IsNullRect(BR)) return R;
  int dx = FWidth - pw, dy = FHeight - ph;
  POINT p1{R.left, R.top}, p2{R.right, R.bottom};
  auto inside = [&](const RECT& a) { return PtIn(a, p1) && PtIn(a, p2); };
  if (inside(TL)) return R;
  if (inside(TR)) return OffsetR(R, dx, 0);
  if (inside(BL)) return OffsetR(R, 0, dy);
  if (inside(BR)) return OffsetR(R, dx, dy);
  RECT r = R;
  if (PtIn(TL, p1) && PtIn(BR, p2)) {
    r.right += dx;
    r.bottom += dy;
  } else if (PtIn(TL, p1) && PtIn(TR, p2)) {
    r.right += dx;
  } else if (PtIn(BL, p1) && PtIn(BR, p2)) {
    r.right += dx;
    r = OffsetR(r, 0, dy);
  } else if (PtIn(TL, p1) && PtIn(BL, p2)) {
    r.bottom += dy;
  } else if (PtIn(TR, p1) && PtIn(BR, p2)) {
    r = OffsetR(r, dx, 0);
    r.bottom += dy;
  }
  return r;
}

void TskSkinnedForm::LayoutObjects() {
  FPaintCacheValid = false;
  for (auto& o : FObjects)
    o->ObjectRect = MapSkinRectToForm(o->SkinRect);
  if (!MainMenuItems().empty()) {
    HDC dc = GetDC(nullptr);
    for (TskSkinMainMenuItem* m : MainMenuItems())
      m->Layout(dc);
    ReleaseDC(nullptr, dc);
  }
  if (FSkinData)
    FSizeGripRect = (FSkinActive && !IsNullRect(FSkinData->SizeGripArea))
                        ? MapSkinRectToForm(FSkinData->SizeGripArea)
                        : RECT{};
}

void TskSkinnedForm::UpdateLayout(bool Full) {
  FPaintCacheValid = false;
  if ((ComponentState() & csDesigning) || !FSkinActive) return;
  if (FSkinnable) {
    CalcFrameGeometry();
    if (Full) LayoutObjects();
  }
  UpdateWindowRegion(Full);
  if (OnChangeClientRect) OnChangeClientRect(FNewClientRect);
  if (!FSupportNCArea) {
    if (FForm->HandleAllocated()) InvalidateRect(FForm->Handle(), nullptr, TRUE);
    LayoutAreaControls();
  }
}

void TskSkinnedForm::SetRegion(HRGN Rgn) {
  if (!FForm->HandleAllocated()) {
    if (Rgn) DeleteObject(Rgn);
    return;
  }
  if (!Rgn && !FRegionSet) return;
  // The window owns the region from here on.
  SetWindowRgn(FForm->Handle(), Rgn, TRUE);
  FRegionSet = Rgn != nullptr;
}

void TskSkinnedForm::UpdateWindowRegion(bool Full) {
  if (!FSkinnable) {
    SetRegion(nullptr);
    return;
  }
  if (!FSkinActive || FSkinData->MaskPicture.Empty()) {
    SetRegion(CreateRectRgn(0, 0, FWidth, FHeight));
    return;
  }
  const TskSkinContent& s = *FSkinData;
  HRGN rgn = nullptr;
  if (Full) {
    TskSkinGeometry oldG = s.FormGeometry();
    oldG.ClientRect = s.MaskRectArea;
    TskSkinGeometry newG =
        ScaleSkinGeometry(oldG, RECT{0, 0, s.Picture.Width(), s.Picture.Height()}, FWidth, FHeight);
    rgn = CreateSkinRegion(oldG, newG, FWidth, FHeight, s.MaskPicture);
  } else {
    rgn = MaskBitmapToRegion(s.MaskPicture);
  }
  if (rgn) SetRegion(rgn);
}

bool TskSkinnedForm::PtInMask(const POINT& P) const {
  if (PtIn(FNewMaskRect, P)) return true;
  if (!FForm->HandleAllocated()) return false;
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  bool in = GetWindowRgn(FForm->Handle(), r) != ERROR && PtInRegion(r, P.x, P.y);
  DeleteObject(r);
  return in;
}

int TskSkinnedForm::GetMinWidth() const {
  if (!FSkinActive) return FSupportNCArea ? (MinWidth > 0 ? MinWidth : 130) : 0;
  int pw = FSkinData->Picture.Width();
  return MinWidth == 0 ? pw : std::min(MinWidth, pw);
}

int TskSkinnedForm::GetMinHeight() const {
  if (!FSkinActive) return 0;
  int ph = FSkinData->Picture.Height();
  return MinHeight == 0 ? ph : std::min(MinHeight, ph);
}

int TskSkinnedForm::GetMaxWidth() const {
  RECT a;
  GetMonitorRect(FForm->HandleAllocated() ? FForm->Handle() : nullptr, !MaximizeOnFullScreen, a);
  int w = RectWidth(a);
  return (MaxWidth > 0 && MaxWidth < w) ? MaxWidth : w;
}

int TskSkinnedForm::GetMaxHeight() const {
  RECT a;
  GetMonitorRect(FForm->HandleAllocated() ? FForm->Handle() : nullptr, !MaximizeOnFullScreen, a);
  int h = RectHeight(a);
  return (MaxHeight > 0 && MaxHeight < h) ? MaxHeight : h;
}

void TskSkinnedForm::NudgeWidth() {
  int w = FForm->Width();
  int d = (w - 1 < GetMinWidth()) ? 1 : -1;
  FForm->SetWidth(w + d);
  FForm->SetWidth(w);
}

// ---------------------------------------------------------------------------
// Client mode

void TskSkinnedForm::ComposeSkinPicture(TskPicture& B) const {
  const TskSkinContent& s = *FSkinData;
  const TskPicture& pic = s.Picture;
  if (s.LTPoint.x || s.LTPoint.y || s.RBPoint.x || s.RBPoint.y) {
    TskSkinImageParams p;
    p.Old = s.FormGeometry();
    RECT R{0, 0, pic.Width(), pic.Height()};
    p.New = ScaleSkinGeometry(p.Old, R, FWidth, FHeight);
    p.LeftStretch = s.LeftStretch;
    p.TopStretch = s.TopStretch;
    p.RightStretch = s.RightStretch;
    p.BottomStretch = s.BottomStretch;
    p.DrawCentre = true;
    p.StretchEffect = s.StretchEffect;
    p.StretchType = s.StretchType;
    p.W = FWidth;
    p.H = FHeight;
    p.R = R;
    CreateSkinImage(p, pic, B);
  } else {
    B = pic;
  }
}

void TskSkinnedForm::PaintClientSkin(HDC DC) {
  if (!DC) return;
  if (FWidth == 0 && FHeight == 0) {
    FWidth = FForm->Width();
    FHeight = FForm->Height();
  }
  if (!FSkinActive) {
    RECT r;
    GetClientRect(FForm->Handle(), &r);
    HBRUSH br = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HGDIOBJ ob = SelectObject(DC, br);
    HGDIOBJ op = SelectObject(DC, GetStockObject(BLACK_PEN));
    Rectangle(DC, r.left, r.top, r.right, r.bottom);
    SelectObject(DC, op);
    SelectObject(DC, ob);
    DeleteObject(br);
    return;
  }
  if (FPaintCacheValid && FPaintCache.Width() == FWidth && FPaintCache.Height() == FHeight) {
    DrawPicture(DC, 0, 0, FPaintCache);
    return;
  }
  TskPicture& B = FPaintCache;
  B.Clear();
  if (!FRollUpState || FSkinData->RollUpPicture.Empty()) {
    ComposeSkinPicture(B);
  } else {
    const TskSkinContent& s = *FSkinData;
    if (s.RollUpLeftPoint.x < s.RollUpRightPoint.x)
      CreateHSkinImage(s.RollUpLeftPoint.x, s.RollUpPicture.Width() - s.RollUpRightPoint.x, B,
                       false, FForm->Width(),
                       RECT{0, 0, s.RollUpPicture.Width(), s.RollUpPicture.Height()},
                       s.RollUpPicture);
    else
      B = s.RollUpPicture;
  }
  if (B.Empty()) return;
  {
    TPictureCanvas pc(B);
    for (auto& o : FObjects)
      if (o->Visible && o->RollUp == FRollUpState) o->Draw(pc.Canvas(), false);
    if (FWindowState == 0) PaintSizeGrip(pc.DC());
  }
  GdiFlush();
  // Kept only at the window's size (a rolled-up picture is not).
  FPaintCacheValid = B.Width() == FWidth && B.Height() == FHeight;
  DrawPicture(DC, 0, 0, B);
}

void TskSkinnedForm::PaintSizeGrip(HDC DC) {
  const TskSkinContent& s = *FSkinData;
  if (s.StatusBarName.empty() || IsNullRect(FSizeGripRect)) return;
  auto* d = FSkinData->FindControl<TskDataSkinPanelControl>(s.StatusBarName);
  if (!d || IsNullRect(d->GripperRect)) return;
  const TskPicture* ap = FSkinData->ActivePicture(d->PictureIndex);
  if (!RectInPic(d->GripperRect, ap)) return;
  TskPicture g = Cut(*ap, d->GripperRect, RectWidth(d->GripperRect), RectHeight(d->GripperRect));
  if (d->GripperTransparent) {
    COLORREF tc = SkColor(d->GripperTransparentColor);
    for (int y = 0; y < g.Height(); ++y)
      for (int x = 0; x < g.Width(); ++x)
        if (g.Pixel(x, y) != tc)
          SetPixelV(DC, FSizeGripRect.left + x, FSizeGripRect.top + y, g.Pixel(x, y));
  } else {
    DrawPicture(DC, FSizeGripRect.left, FSizeGripRect.top, g);
  }
}

int TskSkinnedForm::ClientHitTest(const POINT& P) const {
  if (!Sizeable || FWindowState == 2 || FRollUpState || FActiveObject != -1 || !FSkinActive)
    return HTCLIENT;
  if (!IsNullRect(FSizeGripRect) && PtIn(FSizeGripRect, P)) return HTBOTTOMRIGHT;
  int bw = FSkinData->BorderW;
  POINT probes[4] = {{P.x - bw, P.y}, {P.x, P.y - bw}, {P.x + bw, P.y}, {P.x, P.y + bw}};
  bool isNear = false;
  RECT whole{0, 0, FWidth, FHeight};
  if (FSkinData->MaskPicture.Empty()) {
    for (auto& q : probes)
      if (!PtIn(whole, q)) isNear = true;
  } else if (!PtIn(FNewMaskRect, P)) {
    for (auto& q : probes)
      if (!PtInMask(q)) isNear = true;
  }
  if (!isNear) return HTCLIENT;
  const RECT& C = FNewClientRect;
  if (P.x <= FHitLT.x && P.y <= FHitLT.y) return HTTOPLEFT;
  if (P.x >= FHitRT.x && P.y <= FHitRT.y) return HTTOPRIGHT;
  if (P.x <= FHitLB.x && P.y >= FHitLB.y) return HTBOTTOMLEFT;
  if (P.x >= FHitRB.x && P.y >= FHitRB.y) return HTBOTTOMRIGHT;
  if (PtIn(RECT{FHitLT.x, 0, FHitRT.x, C.top}, P)) return HTTOP;
  if (PtIn(RECT{FHitLB.x, C.bottom, FHitRB.x, FHeight}, P)) return HTBOTTOM;
  if (PtIn(RECT{0, FHitLT.y, C.left, FHitLB.y}, P)) return HTLEFT;
  if (PtIn(RECT{C.right, FHitRT.y, FWidth, FHitRB.y}, P)) return HTRIGHT;
  return HTCLIENT;
}

void TskSkinnedForm::BeginDrag(int X, int Y) {
  FDragging = true;
  POINT p{X, Y};
  ClientToScreen(FForm->Handle(), &p);
  FLastDragPos = p;
  SetCapture(FForm->Handle());
}

void TskSkinnedForm::EndDrag() {
  if (!FDragging) return;
  FDragging = false;
  if (FForm->HandleAllocated() && GetCapture() == FForm->Handle()) ReleaseCapture();
}

void TskSkinnedForm::MagneticSnap(int& X, int& Y, int W, int H) {
  int M = MagneticSize;
  RECT A;
  GetMonitorRect(FForm->HandleAllocated() ? FForm->Handle() : nullptr, true, A);
  auto cur = [] {
    POINT c;
    GetCursorPos(&c);
    return c;
  };
  // One edge: isNear when the edge value lies strictly within M of the target.
  auto edge = [&](int& v, int offset, int target, bool& flag, int& anchor, bool horz) {
    bool isNear = target - M < v + offset && v + offset < target + M;
    int c = horz ? cur().x : cur().y;
    if (isNear && !flag) {
      v = target - offset;
      anchor = c;
    } else if (flag) {
      if (std::abs(c - anchor) > M)
        v = c + target - offset - anchor;
      else
        v = target - offset;
    }
    flag = isNear;
  };
  edge(X, 0, A.left, FSnapLeft, FSnapX, true);
  edge(Y, 0, A.top, FSnapTop, FSnapY, false);
  edge(X, W, A.right, FSnapRight, FSnapX, true);
  edge(Y, H, A.bottom, FSnapBottom, FSnapY, false);
}

void TskSkinnedForm::FitClientToSkin() {
  if (!FSkinData) return;
  int pw = FSkinData->Picture.Width(), ph = FSkinData->Picture.Height();
  if (IsSizeableSkin()) {
    if (MinWidth && MinHeight) return;
    int cw = std::max(FForm->ClientWidth(), pw), ch = std::max(FForm->ClientHeight(), ph);
    if (cw != FForm->ClientWidth() || ch != FForm->ClientHeight()) FForm->SetClientSize(cw, ch);
  } else {
    if (FForm->ClientWidth() != pw || FForm->ClientHeight() != ph) FForm->SetClientSize(pw, ph);
    Sizeable = false;
  }
}

void TskSkinnedForm::AddAreaControls() {
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (auto* sc = dynamic_cast<TskSkinControl*>(c)) {
      if (!sc->AreaName().empty()) AddControlToArea(sc->AreaName(), c);
    } else if (auto* gc = dynamic_cast<TskGraphicSkinControl*>(c)) {
      if (!gc->AreaName().empty()) AddControlToArea(gc->AreaName(), c);
    }
  }
}

void TskSkinnedForm::AddControlToArea(const std::wstring& AreaName, TControl* Control) {
  if (!FSkinData) return;
  TskDataSkinArea* a = FSkinData->AreaAt(FSkinData->FindSkinArea(AreaName));
  if (!a || IsNullRect(a->AreaRect)) return;
  Control->SetAlign(alNone);
  FAreaControls.push_back({Control, a->AreaRect});
  Control->FreeNotification(this);
}

void TskSkinnedForm::LayoutAreaControls() {
  bool sizeable = IsSizeableSkin();
  for (auto& ac : FAreaControls) {
    RECT r = sizeable ? MapSkinRectToForm(ac.Rect) : ac.Rect;
    ac.Control->SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
    if (auto* w = dynamic_cast<TWinControl*>(ac.Control)) w->Realign();
  }
}

// ---------------------------------------------------------------------------
// Object routing and timers

bool TskSkinnedForm::ObjectInRollState(const TskActiveSkinObject* O) const {
  return FSupportNCArea ? !O->RollUp : O->RollUp == FRollUpState;
}

void TskSkinnedForm::TestActiveObject(int X, int Y, bool Track) {
  if (FObjects.empty()) return;
  if (FSupportNCArea && !GetFormActive()) return;
  FOldActiveObject = FActiveObject;
  int found = -1;
  for (size_t i = 0; i < FObjects.size(); ++i) {
    auto& o = FObjects[i];
    if (ObjectInRollState(o.get()) && o->Enabled && o->Visible &&
        PtIn(o->ObjectRect, POINT{X, Y})) {
      found = int(i);
      break;
    }
  }
  int hot = Track ? found : -1;
  if (FCapturedObject != -1 && hot != FCapturedObject) hot = -1;
  if (hot >= int(FObjects.size())) hot = -1;
  FActiveObject = hot;
  if (hot == FOldActiveObject) return;
  if (FOldActiveObject >= 0 && FOldActiveObject < int(FObjects.size())) {
    auto& o = FObjects[FOldActiveObject];
    if (o->Enabled && o->Visible) o->MouseLeave();
  }
  if (FActiveObject >= 0) {
    auto& o = FObjects[FActiveObject];
    if (o->Enabled && o->Visible) o->MouseEnter();
  }
  ObjectHintChange(FOldActiveObject, FActiveObject);
}

void TskSkinnedForm::ObjectMouseDown(TMouseButton Button, int X, int Y) {
  EndDrag();
  TestActiveObject(X, Y, true);
  if (FActiveObject != -1) {
    FCapturedObject = FActiveObject;
    FObjects[FActiveObject]->MouseDown(X, Y, Button);
  } else if (Button == mbLeft && FWindowState != 2 && DraggAble) {
    BeginDrag(X, Y);
  }
}

void TskSkinnedForm::ObjectMouseUp(TMouseButton Button, int X, int Y) {
  EndDrag();
  if (FCapturedObject == -1 || FCapturedObject >= int(FObjects.size())) {
    FCapturedObject = -1;
    return;
  }
  int i = FCapturedObject;
  FCapturedObject = -1;
  // The object may close the form or change the skin: nothing of it is used after.
  FObjects[i]->MouseUp(X, Y, Button);
}

void TskSkinnedForm::ObjectMouseMove(int X, int Y) {
  if (FDragging) return;
  int i = FCapturedObject != -1 ? FCapturedObject : FActiveObject;
  if (i >= 0 && i < int(FObjects.size())) FObjects[i]->MouseMove(X, Y);
}

void TskSkinnedForm::ObjectDblClick() {
  if (FActiveObject >= 0 && FActiveObject < int(FObjects.size()))
    FObjects[FActiveObject]->DblClick();
}

void TskSkinnedForm::RedrawObject(TskActiveSkinObject* O) {
  FPaintCacheValid = false;
  if (!ObjectInRollState(O) || FSupportNCArea || !FForm->HandleAllocated()) return;
  HDC dc = GetDC(FForm->Handle());
  TCanvas c;
  c.SetHandle(dc);
  O->Draw(&c, true);
  c.SetHandle(nullptr);
  ReleaseDC(FForm->Handle(), dc);
}

void TskSkinnedForm::MouseTimerTick() {
  if (!FSkinActive && !FSupportNCArea) return;
  if (!FDragging) {
    POINT c;
    GetCursorPos(&c);
    if (FForm->HandleAllocated() && WindowFromPoint(c) == FForm->Handle()) {
      ScreenToClient(FForm->Handle(), &c);
      TestActiveObject(c.x, c.y, true);
    } else {
      TestActiveObject(-1, -1, false);
      FMouseIn = false;
      FMouseTimer->SetEnabled(false);
    }
  }
  if (UseSkinCursors) UpdateSkinCursor();
}

void TskSkinnedForm::UpdateSkinCursor() {
  if (!FSkinData) return;
  int n;
  if (FActiveObject >= 0 && FObjects[FActiveObject]->CursorIndex != -1)
    n = FObjects[FActiveObject]->CursorIndex + FSkinData->StartCursorIndex;
  else if (FSkinData->FormCursorIndex != -1)
    n = FSkinData->FormCursorIndex + FSkinData->StartCursorIndex;
  else
    n = crDefault;
  if (FForm->Cursor() != n) FForm->SetCursor(n);
}

void TskSkinnedForm::MorphTimerTick() {
  bool any = false;
  for (size_t i = 0; i < FObjects.size(); ++i) {
    auto* o = FObjects[i].get();
    if (o->CanMorphing() && o->MorphPending()) {
      o->MorphStep();
      any = true;
    }
  }
  if (!any) FMorphTimer->SetEnabled(false);
}

void TskSkinnedForm::AnimateTimerTick() {
  bool work = false;
  for (auto& o : FObjects) {
    auto* c = dynamic_cast<TskSkinCaptionObject*>(o.get());
    if (!c || !c->AnimationPossible()) continue;
    if (c->TimeCount < c->Data->AnimateInterval) {
      c->TimeCount += 25;
      work = true;
    } else if (c->Active && c->CurrentFrame <= c->Data->FrameCount) {
      ++c->CurrentFrame;
      RedrawObject(c);
      c->TimeCount = 25;
      work = true;
    } else if (!c->Active && c->CurrentFrame > 0) {
      --c->CurrentFrame;
      RedrawObject(c);
      c->TimeCount = 25;
      work = true;
    }
  }
  if (!work) FAnimateTimer->SetEnabled(false);
}

bool TskSkinnedForm::GetFormActive() const {
  TFormStyle st = FForm->FormStyle();
  if (st == fsMDIChild || st == fsMDIForm) return FNCActive;
  return FForm->Active() && Screen && Screen->ActiveCustomForm() == FForm;
}

void TskSkinnedForm::UpdateActivation(bool Redraw) {
  FPaintCacheValid = false;
  bool a = GetFormActive();
  for (auto& o : FObjects) {
    auto* c = dynamic_cast<TskSkinCaptionObject*>(o.get());
    if (!c) continue;
    if (Redraw && ObjectInRollState(c)) {
      if (!FSupportNCArea) c->Active = a;
      if (c->AnimationPossible()) {
        c->TimeCount = 25;
        c->CurrentFrame = a ? 1 : (c->Data->InActiveAnimation ? c->Data->FrameCount : 0);
        StartAnimateTimer();
      }
      c->StartMorphOrRedraw();
    } else if (c->CanMorphing()) {
      c->SetMorphKf(a ? 1 : 0);
    }
  }
  if (a) {
    if (OnActivate) OnActivate(this);
  } else if (OnDeActivate) {
    OnDeActivate(this);
  }
}

void TskSkinnedForm::CaptionDblClick() {
  if (FActiveObject < 0 || FActiveObject >= int(FObjects.size())) return;
  if (!dynamic_cast<TskSkinCaptionObject*>(FObjects[FActiveObject].get())) return;
  if (FRollUpState)
    SetRollUpState(false);
  else if (Sizeable)
    SetWindowState(FWindowState == 0 ? 2 : 0);
  else
    SetRollUpState(true);
}

// ---------------------------------------------------------------------------
// Window states

void TskSkinnedForm::SetWindowState(int S) {
  FPaintCacheValid = false;
  if (S == FWindowState) return;
  if (!(S == 1 && Application && Application->MainForm() == FForm)) FWindowState = S;
  if (S == 1) {
    MinimizeForm();
  } else if (S == 2) {
    MaximizeForm();
  } else {
    RestoreForm();
  }
}

void TskSkinnedForm::MinimizeForm() {
  if (!FSupportNCArea || (Application && Application->MainForm() == FForm)) {
    if (Application) Application->Minimize();
  }
  if (OnMinimize) OnMinimize(this);
}

void TskSkinnedForm::MaximizeForm() {
  if (IsNullRect(FRestoreBounds))
    FRestoreBounds = RECT{FForm->Left(), FForm->Top(), FForm->Left() + FForm->Width(),
                          FForm->Top() + FForm->Height()};
  RECT a;
  GetMonitorRect(FForm->Handle(), !MaximizeOnFullScreen, a);
  if (!MaximizeOnFullScreen) {
    RECT whole;
    GetMonitorRect(FForm->Handle(), false, whole);
    if (RectWidth(a) == RectWidth(whole) && RectHeight(a) == RectHeight(whole) && whole.left == 0 &&
        whole.top == 0 && whole.right == GetSystemMetrics(SM_CXSCREEN) &&
        whole.bottom == GetSystemMetrics(SM_CYSCREEN))
      InflateRect(&a, -1, -1);
  }
  FForm->SetBounds(a.left, a.top, RectWidth(a), RectHeight(a));
  if (OnMaximize) OnMaximize(this);
}

void TskSkinnedForm::RestoreForm() {
  // Without saved bounds the window keeps its present ones. A window never
  // placed yet (first shown maximized) is centred at its restore size.
  if (!IsNullRect(FRestoreBounds)) {
    if (FFirstPlacement && PositionInMonitor != skpDefault)
      CentreInMonitor(RectWidth(FRestoreBounds), RectHeight(FRestoreBounds));
    else
      FForm->SetBounds(FRestoreBounds.left, FRestoreBounds.top, RectWidth(FRestoreBounds),
                       RectHeight(FRestoreBounds));
  }
  FFirstPlacement = false;
  FRestoreBounds = RECT{};
  FMouseTimer->SetEnabled(true);
  if (OnRestore) OnRestore(this);
}

void TskSkinnedForm::SetRollUpState(bool V) {
  FPaintCacheValid = false;
  if ((!FSupportNCArea && !FSkinActive) || !(FBorderIcons & biSkRollUp) || FWindowState == 1)
    return;
  // Client mode rolls up only with a roll-up picture; the skins of this
  // program have none.
  FRollUpState = V && FSkinData && !FSkinData->RollUpPicture.Empty();
  if (OnChangeRollUpState) OnChangeRollUpState(this);
}

void TskSkinnedForm::DrawFormIcon(TCanvas* Cnvs, int X, int Y) {
  if (!FSmallIcon) {
    int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
    if (!w) w = GetSystemMetrics(SM_CXSIZE);
    if (!h) h = GetSystemMetrics(SM_CYSIZE);
    HICON src = nullptr;
    if (FForm->Icon() && FForm->Icon()->Handle()) src = FForm->Icon()->Handle();
    HICON sys = nullptr;
    if (!src) src = sys = LoadIconW(nullptr, IDI_APPLICATION);
    FSmallIcon = static_cast<HICON>(CopyImage(src, IMAGE_ICON, w, h, LR_COPYFROMRESOURCE));
  }
  if (FSmallIcon) DrawIconEx(Cnvs->Handle(), X, Y, FSmallIcon, 0, 0, 0, nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------
// Main-menu items

TskSkinMainMenuItem::TskSkinMainMenuItem(TskSkinnedForm* AForm, TskDataSkinMainMenuItem* Data,
                                         TMenuItem* Item)
    : TskActiveSkinObject(AForm, Data), Data(Data), MenuItem(Item) {
  IDName = Item->Name();
  Enabled = SavedEnabled = Item->Enabled();
  // All images come from the active picture.
  Picture = ActivePicture;
  if (IsNullRect(ActiveSkinRect)) Morphing = false;
}

int TskSkinMainMenuItem::TextWidth(HDC DC) const {
  HFONT font = MakeFont(Data->FontName, Data->FontHeight, Data->FontStyle);
  HGDIOBJ old = SelectObject(DC, font);
  RECT r{0, 0, 0, 0};
  std::wstring t = MenuItem->Caption();
  DrawTextW(DC, t.c_str(), int(t.size()), &r, DT_CALCRECT | DT_CENTER | DT_SINGLELINE);
  SelectObject(DC, old);
  DeleteObject(font);
  return RectWidth(r);
}

void TskSkinMainMenuItem::Layout(HDC DC) {
  RECT mr = Parent->MainMenuRect();
  int left = mr.left;
  for (auto& o : Parent->Objects()) {
    if (o.get() == this) break;
    if (dynamic_cast<TskSkinMainMenuItem*>(o.get())) left = o->ObjectRect.right;
  }
  int w = RectWidth(SkinRect) - RectWidth(Data->TextRect) + TextWidth(DC) + 2;
  ObjectRect = RECT{left, mr.top, left + w, mr.top + RectHeight(SkinRect)};
  bool fits = ObjectRect.right <= mr.right;
  if (!fits && Shown) {
    SavedEnabled = Enabled;
    Enabled = false;
    Shown = false;
  } else if (fits && !Shown) {
    Shown = true;
    Enabled = SavedEnabled;
  }
}

void TskSkinMainMenuItem::DrawImage(TCanvas* Cnvs, const RECT& Src, TColor TextColor) {
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  if (w <= 0 || h <= 0 || !RectInPic(Src, ActivePicture)) return;
  TskPicture img;
  img.SetSize(w, h);
  CreateHSkinImage(Data->ItemLeftOffset, Data->ItemRightOffset, img, false, w, Src, *ActivePicture);
  {
    TPictureCanvas pc(img);
    HFONT font = MakeFont(Data->FontName, Data->FontHeight, Data->FontStyle);
    HGDIOBJ old = SelectObject(pc.DC(), font);
    SetBkMode(pc.DC(), TRANSPARENT);
    SetTextColor(pc.DC(), ColorToRGB(TextColor));
    RECT tr = Data->TextRect;
    tr.right += w - RectWidth(SkinRect);
    std::wstring t = MenuItem->Caption();
    DrawTextW(pc.DC(), t.c_str(), int(t.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(pc.DC(), old);
    DeleteObject(font);
  }
  DrawPicture(Cnvs->Handle(), ObjectRect.left, ObjectRect.top, img);
}

void TskSkinMainMenuItem::Draw(TCanvas* Cnvs, bool) {
  if (!SkinReady() || !Shown || IsNullRect(SkinRect) || IsNullRect(Data->TextRect)) return;
  HDC dc = GetDC(nullptr);
  Layout(dc);
  ReleaseDC(nullptr, dc);
  if (!Shown) return;
  TColor normal = MenuItem->Enabled() ? TColor(SkColor(Data->FontColor))
                                      : TColor(SkColor(Data->UnEnabledFontColor));
  RECT down = !IsNullRect(Data->DownRect)   ? Data->DownRect
              : !IsNullRect(ActiveSkinRect) ? ActiveSkinRect
                                            : SkinRect;
  RECT act = IsNullRect(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
  if (Down) {
    DrawImage(Cnvs, down, SkColor(Data->DownFontColor));
  } else if (Active) {
    DrawImage(Cnvs, act, SkColor(Data->ActiveFontColor));
  } else {
    DrawImage(Cnvs, SkinRect, normal);
  }
}

void TskSkinMainMenuItem::SetDown(bool Value) {
  Down = Value;
  if (!Down) {
    Active = false;
    if (CanMorphing()) MorphKf = 1;
    StartMorphOrRedraw();
    return;
  }
  Redraw();
  TskSkinMenu* sm = Parent->SkinMenu();
  if (!sm) return;
  RECT r = Parent->ObjectScreenRect(ObjectRect);
  bool above = SkinData && SkinData->MainMenuPopupUp;
  Parent->SkinMenuOpen();
  if (!Parent->FMainMenuMode) {
    Parent->FMainMenuMode = true;
    Parent->HookAppMessages();
    if (Parent->OnMainMenuEnter) Parent->OnMainMenuEnter(Parent);
  }
  sm->Popup(nullptr, Parent->MenuSkin(), 0, TRect(r), MenuItem, above);
}

void TskSkinMainMenuItem::MouseDown(int X, int Y, TMouseButton Button) {
  if (!Enabled) return;
  if (Button == mbLeft) {
    if (MenuItem->Count() > 0) {
      if (!Down) SetDown(true);
    } else {
      SetDown(false);
      // The keyboard goes back to the form: main-menu mode ends with the command.
      Parent->FMainMenuMode = false;
      if (!Parent->SkinMenuIsOpen()) Parent->UnhookAppMessages();
      TMenu* m = MenuItem->GetParentMenu();
      if (!(m && m->DispatchCommand(MenuItem->Command()))) MenuItem->Click();
    }
  }
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinMainMenuItem::MouseEnter() {
  TskSkinMainMenuItem* pressed = nullptr;
  TskSkinMainMenuItem* active = nullptr;
  for (TskSkinMainMenuItem* m : Parent->MainMenuItems()) {
    if (m == this) continue;
    if (m->Down && !pressed) pressed = m;
    if (m->Active && !active) active = m;
  }
  if (pressed) {
    // Moving along the bar with a menu open switches menus.
    pressed->SetDown(false);
    Active = true;
    MouseIn = true;
    if (CanMorphing()) MorphKf = 1;
    SetDown(true);
    return;
  }
  if (active) active->MouseLeave();
  MouseIn = true;
  Active = true;
  StartMorphOrRedraw();
}

void TskSkinMainMenuItem::MouseLeave() {
  Active = false;
  MouseIn = false;
  if (CanMorphing() && Down) MorphKf = 0;
  StartMorphOrRedraw();
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

// ---------------------------------------------------------------------------
// TskSkinnedForm: system menu, main menu and keyboard

namespace {

struct TStdMenuItem {
  const wchar_t* Name;
  const wchar_t* ResName;
};
// The standard items and their resource strings.
const TStdMenuItem kStdMenuItems[] = {
    {L"DSF_MINITEM", L"MI_MINCAPTION"},          {L"DSF_MAXITEM", L"MI_MAXCAPTION"},
    {L"DSF_RESTORE", L"MI_RESTORECAPTION"},      {L"DSF_ROLLUP", L"MI_ROLLUPCAPTION"},
    {L"DSF_MINTOTRAY", L"MI_MINTOTRAYCAPTION"},  {L"DSF_CLOSE", L"MI_CLOSECAPTION"},
    {L"TRAY_DSF_RESTORE", L"MI_RESTORECAPTION"}, {L"TRAY_DSF_CLOSE", L"MI_CLOSECAPTION"},
};

bool IsWindowCommandItem(const std::wstring& Name) {
  for (int i = 0; i < 6; ++i)
    if (Name == kStdMenuItems[i].Name) return true;
  return false;
}

// The skinned form as the menu host that the popup menus find among the
// form's components.
class TskSkinFormMenuHost : public TComponent, public TskSkinMenuHost {
public:
  TskSkinFormMenuHost(TComponent* AOwner, TskSkinnedForm* AForm)
      : TComponent(AOwner), FSkinForm(AForm) {}
  TskSkinMenu* SkinMenu() override { return FSkinForm->SkinMenu(); }
  TskSkinData* MenusSkinData() override { return FSkinForm->MenuSkin(); }
  void SkinMenuClose() override { FSkinForm->SkinMenuClose(); }
  void SkinMenuOpen() override { FSkinForm->SkinMenuOpen(); }

private:
  TskSkinnedForm* FSkinForm;
};

} // namespace

void TskSkinnedForm::InitMenus() {
  FSkinMenu = new TskSkinMenu(this, FForm);
  FMenuHost = new TskSkinFormMenuHost(FForm, this);
  FMenuHost->FreeNotification(this);
  FBuiltinSysMenu = new TPopupMenu(this);
  BuildTrayMenu();
  FSavedFormShortCut = FForm->OnShortCut;
  FForm->OnShortCut = [this](TMessage& Msg, bool& Handled) { FormShortCut(Msg, Handled); };
}

void TskSkinnedForm::DoneMenus() {
  UnhookAppMessages();
  FForm->OnShortCut = FSavedFormShortCut;
  delete FMenuHost;
  FMenuHost = nullptr;
  delete FSkinMenu;
  FSkinMenu = nullptr;
}

void TskSkinnedForm::SetSystemMenu(TPopupMenu* Value) {
  FSystemMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinnedForm::SetSkinHint(TskSkinHint* Value) {
  FSkinHint = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinnedForm::SetMainMenu(TMainMenu* Value) {
  FMainMenu = Value;
  if (Value) Value->FreeNotification(this);
  if (!FSkinActive) return;
  FreeMainMenuItems();
  CreateMainMenuItems();
  LayoutObjects();
  if (!FForm->HandleAllocated()) return;
  if (FSupportNCArea) {
    SendMessageW(FForm->Handle(), WM_NCPAINT, 0, 0);
  } else {
    RECT r = MainMenuRect();
    InvalidateRect(FForm->Handle(), &r, FALSE);
  }
}

std::vector<TskSkinMainMenuItem*> TskSkinnedForm::MainMenuItems() const {
  std::vector<TskSkinMainMenuItem*> v;
  for (auto& o : FObjects)
    if (auto* m = dynamic_cast<TskSkinMainMenuItem*>(o.get())) v.push_back(m);
  return v;
}

RECT TskSkinnedForm::MainMenuRect() const {
  return FSkinData ? MapSkinRectToForm(FSkinData->MainMenuRect) : RECT{};
}

RECT TskSkinnedForm::ObjectScreenRect(const RECT& R) const {
  RECT r = R;
  if (FSupportNCArea) {
    OffsetRect(&r, FForm->Left(), FForm->Top());
  } else if (FForm->HandleAllocated()) {
    MapWindowPoints(FForm->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

void TskSkinnedForm::FreeMainMenuItems() {
  while (!FObjects.empty() && dynamic_cast<TskSkinMainMenuItem*>(FObjects.back().get()))
    FObjects.pop_back();
  for (auto it = FObjects.begin(); it != FObjects.end();)
    it = dynamic_cast<TskSkinMainMenuItem*>(it->get()) ? FObjects.erase(it) : it + 1;
  int n = int(FObjects.size());
  if (FActiveObject >= n) FActiveObject = -1;
  if (FOldActiveObject >= n) FOldActiveObject = -1;
  if (FCapturedObject >= n) FCapturedObject = -1;
  FPaintCacheValid = false;
}

void TskSkinnedForm::CreateMainMenuItems() {
  if (!FMainMenu || !FSkinData) return;
  auto* d = FSkinData->FindObject<TskDataSkinMainMenuItem>(L"MAINMENUITEM");
  if (!d) return;
  TMenuItem* root = FMainMenu->Items();
  for (int i = 0; i < root->Count(); ++i)
    if (root->Items(i)->Visible())
      FObjects.push_back(std::make_unique<TskSkinMainMenuItem>(this, d, root->Items(i)));
}

std::wstring TskSkinnedForm::MenuResString(const std::wstring& Name) const {
  std::wstring res;
  for (auto& s : kStdMenuItems)
    if (Name == s.Name) res = s.ResName;
  std::wstring text;
  if (FSkinData && FSkinData->ResourceStrData())
    text = FSkinData->ResourceStrData()->GetResString(res);
  return text.empty() ? DefaultResString(res) : text;
}

bool TskSkinnedForm::StdMenuItemShown(const std::wstring& Name) const {
  bool mdiChild = FForm->FormStyle() == fsMDIChild;
  if (Name == L"DSF_MINITEM") return FWindowState != 1 && (FBorderIcons & biSkMinimize);
  if (Name == L"DSF_MAXITEM") return FWindowState != 2 && (FBorderIcons & biSkMaximize);
  if (Name == L"DSF_RESTORE") return FWindowState != 0 || FRollUpState;
  if (Name == L"DSF_ROLLUP")
    return (FBorderIcons & biSkRollUp) && !FRollUpState && FWindowState != 1 &&
           !(mdiChild && FWindowState == 2);
  if (Name == L"DSF_MINTOTRAY") return FBorderIcons & biSkMinimizeToTray;
  return true;
}

void TskSkinnedForm::StdMenuItemClick(const std::wstring& Name) {
  if (Name == L"DSF_MINITEM" || Name == L"DSF_MINTOTRAY") {
    // Without a notification-area icon the form minimizes in place.
    SetWindowState(1);
  } else if (Name == L"DSF_MAXITEM") {
    SetWindowState(2);
  } else if (Name == L"DSF_RESTORE" || Name == L"TRAY_DSF_RESTORE") {
    if (FRollUpState && FWindowState != 1)
      SetRollUpState(false);
    else
      SetWindowState(0);
  } else if (Name == L"DSF_ROLLUP") {
    SetRollUpState(true);
  } else if (Name == L"DSF_CLOSE" || Name == L"TRAY_DSF_CLOSE") {
    FForm->Close();
  }
}

void TskSkinnedForm::AddStdMenuItem(TMenuItem* Parent, int Index, const std::wstring& Name) {
  TComponent* owner = Parent->GetParentMenu();
  auto* m = new TMenuItem(owner ? owner : this);
  m->SetName(Name);
  m->SetCaption(MenuResString(Name));
  if (Name == L"DSF_CLOSE" || Name == L"TRAY_DSF_CLOSE")
    m->SetShortCut(TextToShortCut(FForm->FormStyle() == fsMDIChild ? L"Ctrl+F4" : L"Alt+F4"));
  m->OnClick = [this, Name](TObject*) { StdMenuItemClick(Name); };
  Parent->Insert(Index, m);
}

void TskSkinnedForm::BuildSystemMenu() {
  TMenuItem* root = FBuiltinSysMenu->Items();
  root->Clear();
  for (const wchar_t* n :
       {L"DSF_MINITEM", L"DSF_MAXITEM", L"DSF_RESTORE", L"DSF_ROLLUP", L"DSF_MINTOTRAY"})
    if (StdMenuItemShown(n)) AddStdMenuItem(root, root->Count(), n);
  if (root->Count() > 0) {
    auto* sep = new TMenuItem(FBuiltinSysMenu);
    sep->SetCaption(L"-");
    root->Add(sep);
  }
  AddStdMenuItem(root, root->Count(), L"DSF_CLOSE");
}

void TskSkinnedForm::UpdateUserSystemMenu() {
  if (!UseDefaultSysMenu || !FSystemMenu) return;
  TMenuItem* root = FSystemMenu->Items();
  for (;;) {
    int found = -1;
    for (int i = 0; i < root->Count() && found < 0; ++i)
      if (IsWindowCommandItem(root->Items(i)->Name())) found = i;
    if (found < 0) break;
    root->Delete(found);
  }
  for (const wchar_t* n :
       {L"DSF_MINTOTRAY", L"DSF_ROLLUP", L"DSF_MAXITEM", L"DSF_RESTORE", L"DSF_MINITEM"})
    if (StdMenuItemShown(n)) AddStdMenuItem(root, 0, n);
  AddStdMenuItem(root, root->Count(), L"DSF_CLOSE");
}

void TskSkinnedForm::BuildTrayMenu() {
  FTrayMenu = new TskSkinPopupMenu(this);
  TMenuItem* root = FTrayMenu->Items();
  AddStdMenuItem(root, 0, L"TRAY_DSF_RESTORE");
  auto* sep = new TMenuItem(FTrayMenu);
  sep->SetCaption(L"-");
  root->Add(sep);
  AddStdMenuItem(root, root->Count(), L"TRAY_DSF_CLOSE");
}

TMenuItem* TskSkinnedForm::GetSystemMenuItems() {
  // The items are rebuilt: an open menu that shows them goes first.
  if (FSkinMenu && FSkinMenu->Visible()) FSkinMenu->CloseAll();
  if (FSystemMenu) {
    UpdateUserSystemMenu();
    return FSystemMenu->Items();
  }
  BuildSystemMenu();
  return FBuiltinSysMenu->Items();
}

void TskSkinnedForm::PopupSystemMenuAt(int X, int Y) {
  PopupSystemMenuRect(RECT{X, Y, X, Y});
}

void TskSkinnedForm::PopupSystemMenuRect(const RECT& R) {
  if (!FSkinMenu) return;
  TMenuItem* root = GetSystemMenuItems();
  SkinMenuOpen();
  FSkinMenu->Popup(nullptr, MenuSkin(), 0, TRect(R), root, false);
}

void TskSkinnedForm::ShowSystemMenuAtButton() {
  if (DisableSystemMenu) return;
  for (auto& o : FObjects) {
    auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get());
    if (b && b->Command == cmSysMenu && b->Enabled) {
      PopupSystemMenuRect(ObjectScreenRect(b->ObjectRect));
      return;
    }
  }
}

void TskSkinnedForm::SkinMenuOpen() {
  if (!FMainMenuMode) HookAppMessages();
  if (FSkinMenuOpen) return;
  FSkinMenuOpen = true;
  if (OnSkinMenuOpen) OnSkinMenuOpen(this);
}

void TskSkinnedForm::SkinMenuClose() {
  FSkinMenuOpen = false;
  for (auto& o : FObjects) {
    if (auto* m = dynamic_cast<TskSkinMainMenuItem*>(o.get()); m && m->Down) {
      m->Active = false;
      m->Down = false;
      m->Redraw();
      break;
    }
    if (auto* b = dynamic_cast<TskSkinButtonObject*>(o.get()); b && b->MenuItem && b->Pressed) {
      b->SetPressed(false);
      break;
    }
  }
  UnhookAppMessages();
  if (OnSkinMenuClose) OnSkinMenuClose(this);
  if (FMainMenuMode) {
    FMainMenuMode = false;
    if (OnMainMenuExit) OnMainMenuExit(this);
  }
}

void TskSkinnedForm::EnterMainMenu() {
  auto items = MainMenuItems();
  if (!items.empty()) {
    TskSkinMainMenuItem* hot = items.front();
    for (TskSkinMainMenuItem* m : items)
      if (m->Active) {
        hot = m;
        break;
      }
    hot->MouseEnter();
    FMainMenuMode = true;
    HookAppMessages();
  }
  if (OnMainMenuEnter) OnMainMenuEnter(this);
}

void TskSkinnedForm::MainMenuExit() {
  FMainMenuMode = false;
  if (FSkinMenu && FSkinMenu->Visible()) FSkinMenu->CloseAll();
  for (TskSkinMainMenuItem* m : MainMenuItems())
    if (m->Active) {
      m->MouseLeave();
      break;
    }
  UnhookAppMessages();
  if (OnMainMenuExit) OnMainMenuExit(this);
}

void TskSkinnedForm::HookAppMessages() {
  if (FAppHooked || !Application) return;
  FSavedOnMessage = Application->OnMessage;
  Application->OnMessage = [this](MSG& Msg, bool& Handled) { AppMessageHook(Msg, Handled); };
  FAppHooked = true;
}

void TskSkinnedForm::UnhookAppMessages() {
  if (!FAppHooked) return;
  FAppHooked = false;
  if (Application) Application->OnMessage = FSavedOnMessage;
  FSavedOnMessage = nullptr;
}

void TskSkinnedForm::AppMessageHook(MSG& Msg, bool& Handled) {
  if (Msg.message == WM_KEYDOWN) MenuKeyDown(static_cast<WORD>(Msg.wParam));
  if (Msg.message == WM_KEYDOWN || Msg.message == WM_MOUSEWHEEL) {
    Msg.message = 0;
    Handled = true;
    return;
  }
  if (FAppHooked && FSavedOnMessage) FSavedOnMessage(Msg, Handled);
}

void TskSkinnedForm::NextMainMenuItem() {
  std::vector<TskSkinMainMenuItem*> items;
  for (TskSkinMainMenuItem* m : MainMenuItems())
    if (m->Enabled && m->Visible && m->Shown) items.push_back(m);
  if (items.empty()) return;
  size_t next = 0;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i]->Active || items[i]->Down) {
      items[i]->MouseLeave();
      next = i + 1 < items.size() ? i + 1 : 0;
      break;
    }
  items[next]->MouseEnter();
}

void TskSkinnedForm::PrevMainMenuItem() {
  std::vector<TskSkinMainMenuItem*> items;
  for (TskSkinMainMenuItem* m : MainMenuItems())
    if (m->Enabled && m->Visible && m->Shown) items.push_back(m);
  if (items.empty()) return;
  size_t prev = items.size() - 1;
  for (size_t i = items.size(); i-- > 0;)
    if (items[i]->Active || items[i]->Down) {
      items[i]->MouseLeave();
      prev = i > 0 ? i - 1 : items.size() - 1;
      break;
    }
  items[prev]->MouseEnter();
}

bool TskSkinnedForm::MainMenuAccel(WORD Key) {
  for (TskSkinMainMenuItem* m : MainMenuItems()) {
    if (!m->Enabled || !m->Visible || !m->Shown || !IsAccel(Key, m->MenuItem->Caption())) continue;
    m->MouseEnter();
    if (!(FSkinMenu && FSkinMenu->Visible()) || m->MenuItem->Count() == 0)
      m->MouseDown(0, 0, mbLeft);
    return true;
  }
  return false;
}

void TskSkinnedForm::MenuKeyDown(WORD Key) {
  TskSkinMenu* sm = FSkinMenu;
  auto open = [&] { return sm && sm->Visible() && sm->LevelCount() > 0; };
  if (FMainMenuMode && MainMenuAccel(Key)) return;
  if (Key == VK_ESCAPE && FMainMenuMode && !open()) {
    MainMenuExit();
    return;
  }
  if (Key == VK_LEFT && FMainMenuMode && (!sm || sm->LevelCount() <= 1)) {
    PrevMainMenuItem();
    return;
  }
  if (Key == VK_RIGHT && FMainMenuMode) {
    bool leaf = true;
    if (open()) {
      TskSkinPopupWindow* w = sm->Level(sm->LevelCount() - 1);
      int a = w->ActiveIndex();
      leaf = a < 0 || !w->Item(a)->HasSubItems();
    }
    if (leaf) {
      NextMainMenuItem();
      return;
    }
  }
  if (Key == VK_RETURN || Key == VK_DOWN) {
    for (TskSkinMainMenuItem* m : MainMenuItems())
      if ((m->Down && m->MenuItem->Count() == 0) || (m->Active && !open())) {
        m->Active = false;
        m->MouseDown(0, 0, mbLeft);
        return;
      }
  }
  if (!open()) return;
  sm->HandleMenuKey(Key);
  if (Key != VK_ESCAPE || (sm->Visible() && sm->LevelCount() > 0)) return;
  if (FMainMenuMode) {
    for (TskSkinMainMenuItem* m : MainMenuItems())
      if (m->Down) {
        m->Down = false;
        m->MouseEnter();
        break;
      }
    FSkinMenuOpen = false;
    if (OnSkinMenuClose) OnSkinMenuClose(this);
  } else {
    SkinMenuClose();
  }
}

void TskSkinnedForm::FormShortCut(TMessage& Msg, bool& Handled) {
  if (OnShortCut) {
    OnShortCut(Msg, Handled);
    if (Handled) return;
  }
  if (FSavedFormShortCut) {
    FSavedFormShortCut(Msg, Handled);
    if (Handled) return;
  }
  bool alt = GetKeyState(VK_MENU) < 0, ctrl = GetKeyState(VK_CONTROL) < 0,
       shift = GetKeyState(VK_SHIFT) < 0;
  bool altAlone = alt && !ctrl && !shift;
  WORD key = static_cast<WORD>(Msg.WParam);
  if (altAlone && key == VK_SPACE) {
    ShowSystemMenuAtButton();
    FLastShortCut = false;
    Handled = true;
    return;
  }
  if (FLastShortCut) {
    FLastShortCut = false;
    Handled = false;
  }
  if (!FMainMenu) return;
  if (altAlone && key != VK_F4 && MainMenuAccel(key)) {
    Handled = true;
    return;
  }
  FLastShortCut = FMainMenu->IsShortCut(Msg);
  Handled = FLastShortCut;
}

void TskSkinnedForm::CheckMenuClose(UINT Msg) {
  if (!IsMenuCloseMessage(Msg)) return;
  if (ShowObjectHint && FSkinHint) FSkinHint->HideHint();
  if (!FMainMenuMode || FSkinMenuOpen) {
    if (FSkinMenu && FSkinMenu->Visible())
      FSkinMenu->CloseAll();
    else if (FSkinMenuOpen)
      SkinMenuClose();
  } else {
    MainMenuExit();
  }
  CloseComboDropDowns();
}

void TskSkinnedForm::CloseComboDropDowns() {
  if (FForm->FormStyle() != fsMDIForm || !FForm->Visible() ||
      (ComponentState() & (csLoading | csDesigning)))
    return;
  for (int i = 0; i < FForm->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TskSkinCustomComboBox*>(FForm->Components(i));
    if (c && c->Visible() && c->Enabled() && c->HandleAllocated())
      SendMessageW(c->Handle(), CM_CANCELMODE, 0, 0);
  }
}

bool TskSkinnedForm::MenuMessage(TMessage& M) {
  switch (M.Msg) {
  case WM_SKINMENUCLOSED:
    SkinMenuClose();
    FOldWindowProc(M);
    return true;
  case WM_NCACTIVATE:
    if (FSkinMenu && FSkinMenu->Visible()) FSkinMenu->CloseAll();
    return false;
  case WM_SYSCOMMAND:
    if ((M.WParam & 0xFFF0) != SC_KEYMENU || !FSkinActive) return false;
    // Alt with a letter went through the shortcut check already.
    if (M.LParam != 0 && FMainMenuMode) {
      M.Result = 0;
      return true;
    }
    if (!FMainMenuMode) {
      if (FSkinMenu && FSkinMenu->Visible())
        FSkinMenu->CloseAll();
      else if (FSkinMenuOpen)
        SkinMenuClose();
      EnterMainMenu();
    } else {
      MainMenuExit();
    }
    M.Result = 0;
    return true;
  default:
    return false;
  }
}

void TskSkinnedForm::ObjectHintChange(int Old, int New) {
  if (!ShowObjectHint || !FSkinHint) return;
  int n = int(FObjects.size());
  if (Old >= 0 && Old < n && !FObjects[Old]->Hint.empty()) FSkinHint->HideHint();
  if (New >= 0 && New < n && GetFormActive() && !FObjects[New]->Hint.empty())
    FSkinHint->ShowHintDelayed(FObjects[New]->Hint);
}
