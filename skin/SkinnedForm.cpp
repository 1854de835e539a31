#include "skin/SkinnedForm.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "framework/Menus.h"
#include "skin/SkinBoxCtrls.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinHint.h"
#include "skin/SkinMainMenuBar.h"
#include "skin/SkinMDITabs.h"
#include "skin/SkinMenus.h"
#include "skin/SkinPanels.h"
#include "skin/SkinTabs.h"
#include "skin/skEffBmp.h"
#include "skin/skTrayIcon.h"

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
  if (FSkinData != Value) {
    if (FSkinData) FSkinData->RemoveFreeNotification(this);
    FSkinData = Value;
    if (Value) Value->FreeNotification(this);
  }
  if (Value && !Value->Empty() && !Designing()) ApplyControlSkin();
}

void TskGraphicSkinControl::SetDrawDefault(bool Value) {
  FDrawDefault = Value;
  Invalidate();
}

void TskGraphicSkinControl::SetAlphaBlend(bool Value) {
  FAlphaBlend = Value;
  Invalidate();
}

void TskGraphicSkinControl::SetAlphaBlendValue(BYTE Value) {
  FAlphaBlendValue = Value;
  Invalidate();
}

void TskGraphicSkinControl::SetHintImageList(TCustomImageList* Value) {
  if (FHintImageList) FHintImageList->RemoveFreeNotification(this);
  FHintImageList = Value;
  if (Value) Value->FreeNotification(this);
}

void TskGraphicSkinControl::ReadSkinEntry() {
  FEntryIndex = -1;
  FCursorIndex = -1;
  if (!FSkinData || FSkinData->Empty()) return;
  FEntryIndex = FSkinData->FindControlDescription(FSkinDataName);
  if (auto* d = FSkinData->ControlAt(FEntryIndex)) FCursorIndex = d->CursorIndex;
}

void TskGraphicSkinControl::ApplyControlSkin() {
  ReadSkinEntry();
  if (FUseSkinCursor)
    SetCursor(FCursorIndex == -1 || !FSkinData ? crDefault
                                               : FSkinData->StartCursorIndex + FCursorIndex);
  Invalidate();
}

bool TskGraphicSkinControl::SkinEffectsOn() const {
  return ::SkinEffectsOn(FSkinData);
}

void TskGraphicSkinControl::ApplyCharset(TFont* F, TFont* Def) const {
  ApplySkinCharset(FSkinData, F, Def);
}

void TskGraphicSkinControl::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  ReadSkinEntry();
  TBitmap b;
  b.SetSize(Width(), Height());
  if (FEntryIndex >= 0)
    PaintSkinImage(&b);
  else if (FDrawDefault)
    PaintDefaultImage(&b);
  DrawControlImage(&b);
}

void TskGraphicSkinControl::DrawControlImage(TBitmap* Image) {
  ::DrawControlImage(this, Canvas()->Handle(), Image, FAlphaBlend, FAlphaBlendValue);
}

void TskGraphicSkinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_ERASEBKGND:
    Message.Result = 1;
    return;
  case WM_MOVE:
  case WM_SKINALPHAREPAINT:
    if (FAlphaBlend) Invalidate();
    if (Message.Msg == WM_SKINALPHAREPAINT) return;
    break;
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    // The events fire only outside the designer.
    if (Designing()) return;
    break;
  default:
    break;
  }
  TGraphicControl::WndProc(Message);
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

namespace {

// Records the mouse entering or leaving an object and tells the form's handler.
void MouseInChanged(TskActiveSkinObject& Object, bool In) {
  Object.MouseIn = In;
  const TskObjectNameEvent& e =
      In ? Object.Parent->OnMouseEnterEvent : Object.Parent->OnMouseLeaveEvent;
  if (e) e(Object.IDName);
}

} // namespace

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
  MouseInChanged(*this, true);
}

void TskSkinSwitchObject::MouseLeave() {
  MouseInChanged(*this, false);
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
  Parent->RunWindowCommand(Command);
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
  std::wstring text = Parent->FrameCaptionText();
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
  MouseInChanged(*this, true);
}

void TskSkinCaptionObject::MouseLeave() {
  MouseInChanged(*this, false);
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
// Value and animation objects

namespace {

// Copies the part S of a picture to (X, Y) of Dst; pixels outside either
// picture are left out, and with Transparent the pixels of Key too.
void BlitPart(TskPicture& Dst, int X, int Y, const TskPicture* Src, const RECT& S,
              bool Transparent = false, COLORREF Key = 0) {
  if (!Src || Src->Empty()) return;
  for (int y = S.top; y < S.bottom; ++y) {
    int ty = Y + y - S.top;
    if (y < 0 || y >= Src->Height() || ty < 0 || ty >= Dst.Height()) continue;
    for (int x = S.left; x < S.right; ++x) {
      int tx = X + x - S.left;
      if (x < 0 || x >= Src->Width() || tx < 0 || tx >= Dst.Width()) continue;
      COLORREF c = Src->Pixel(x, y);
      if (Transparent && c == Key) continue;
      Dst.SetPixel(tx, ty, c);
    }
  }
}

int RoundEven(double V) {
  return static_cast<int>(std::nearbyint(V));
}

} // namespace

TskSkinTrackBarObject::TskSkinTrackBarObject(TskSkinnedForm* AForm, TskDataSkinTrackBar* Data)
    : TskActiveSkinObject(AForm, Data) {
  Morphing = false;
  ButtonRect = Data->ButtonRect;
  ActiveButtonRect = Data->ActiveButtonRect;
  BeginPoint = Data->BeginPoint;
  EndPoint = Data->EndPoint;
  MinValue = Data->MinValue;
  MaxValue = Data->MaxValue;
  MouseDownChangeValue = Data->MouseDownChangeValue;
  ButtonTransparent = Data->ButtonTransparent;
  ButtonTransparentColor = Data->ButtonTransparentColor;
  Vertical = std::abs(BeginPoint.y - EndPoint.y) >= std::abs(EndPoint.x - BeginPoint.x);
  Value = MinValue;
  ButtonPos = OldButtonPos = PointForValue(Value);
}

POINT TskSkinTrackBarObject::PointForValue(int AValue) const {
  double x = MaxValue == MinValue ? 0.0 : double(AValue - MinValue) / (MaxValue - MinValue);
  if (Vertical)
    return POINT{BeginPoint.x, EndPoint.y + RoundEven((1 - x) * (BeginPoint.y - EndPoint.y))};
  return POINT{BeginPoint.x + RoundEven(x * (EndPoint.x - BeginPoint.x)), BeginPoint.y};
}

int TskSkinTrackBarObject::ValueForPoint(const POINT& P) const {
  // A track without length keeps its minimum.
  double x = 0;
  if (Vertical) {
    if (BeginPoint.y != EndPoint.y) x = 1 - double(P.y - EndPoint.y) / (BeginPoint.y - EndPoint.y);
  } else if (EndPoint.x != BeginPoint.x) {
    x = double(P.x - BeginPoint.x) / (EndPoint.x - BeginPoint.x);
  }
  return MinValue + RoundEven((MaxValue - MinValue) * x);
}

RECT TskSkinTrackBarObject::ButtonRectAt(const POINT& P) const {
  int w = RectWidth(ButtonRect), h = RectHeight(ButtonRect);
  return RECT{P.x - w / 2, P.y - h / 2, P.x - w / 2 + w, P.y - h / 2 + h};
}

void TskSkinTrackBarObject::MoveButtonTo(const POINT& P) {
  if (P.x == ButtonPos.x && P.y == ButtonPos.y) return;
  OldButtonPos = ButtonPos;
  ButtonPos = P;
  Value = ValueForPoint(P);
  Redraw();
  if (Parent->OnTrackBarChangeValueEvent) Parent->OnTrackBarChangeValueEvent(IDName, Value);
}

void TskSkinTrackBarObject::MouseDown(int X, int Y, TMouseButton Button) {
  POINT p{X - ObjectRect.left, Y - ObjectRect.top};
  if (Button == mbLeft && PtIn(ButtonRectAt(ButtonPos), p)) {
    Dragging = true;
    LastMouse = p;
    if (!IsNullRect(ActiveButtonRect)) Redraw();
  } else if (Button == mbLeft && MouseDownChangeValue) {
    if (Vertical)
      MoveButtonTo(POINT{BeginPoint.x, std::clamp<int>(p.y, std::min(EndPoint.y, BeginPoint.y),
                                                       std::max(EndPoint.y, BeginPoint.y))});
    else
      MoveButtonTo(POINT{std::clamp<int>(p.x, std::min(BeginPoint.x, EndPoint.x),
                                         std::max(BeginPoint.x, EndPoint.x)),
                         BeginPoint.y});
  }
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinTrackBarObject::MouseMove(int X, int Y) {
  POINT p{X - ObjectRect.left, Y - ObjectRect.top};
  if (Dragging) {
    if (Vertical) {
      int ny = p.y + ButtonPos.y - LastMouse.y;
      if (ny >= std::min(EndPoint.y, BeginPoint.y) && ny <= std::max(EndPoint.y, BeginPoint.y))
        MoveButtonTo(POINT{BeginPoint.x, ny});
    } else {
      int nx = p.x + ButtonPos.x - LastMouse.x;
      if (nx >= std::min(BeginPoint.x, EndPoint.x) && nx <= std::max(BeginPoint.x, EndPoint.x))
        MoveButtonTo(POINT{nx, BeginPoint.y});
    }
    LastMouse = p;
  }
  TskActiveSkinObject::MouseMove(X, Y);
}

void TskSkinTrackBarObject::MouseUp(int X, int Y, TMouseButton Button) {
  if (Button == mbLeft && Dragging) {
    Dragging = false;
    if (!IsNullRect(ActiveButtonRect)) Redraw();
  }
  TskActiveSkinObject::MouseUp(X, Y, Button);
}

void TskSkinTrackBarObject::Draw(TCanvas* Cnvs, bool) {
  if (!SkinReady()) return;
  int w = RectWidth(SkinRect), h = RectHeight(SkinRect);
  if (w <= 0 || h <= 0) return;
  const TskPicture* pic = NormalPicture();
  TskPicture b(w, h);
  const RECT& n = SkinRect;
  const RECT& a = ActiveSkinRect;
  if (IsNullRect(a)) {
    BlitPart(b, 0, 0, pic, n);
  } else if (!Vertical) {
    int px = std::clamp<int>(ButtonPos.x, 0, w);
    BlitPart(b, 0, 0, ActivePicture, RECT{a.left, a.top, a.left + px, a.top + h});
    BlitPart(b, px, 0, pic, RECT{n.left + px, n.top, n.right, n.bottom});
  } else {
    int py = std::clamp<int>(ButtonPos.y, 0, h);
    BlitPart(b, 0, 0, pic, RECT{n.left, n.top, n.right, n.top + py});
    BlitPart(b, 0, py, ActivePicture, RECT{a.left, a.top + py, a.left + w, a.bottom});
  }
  const RECT& btn = Dragging && !IsNullRect(ActiveButtonRect) ? ActiveButtonRect : ButtonRect;
  RECT at = ButtonRectAt(ButtonPos);
  BlitPart(b, at.left, at.top, ActivePicture, btn, ButtonTransparent,
           SkColor(ButtonTransparentColor));
  DrawPicture(Cnvs->Handle(), ObjectRect.left, ObjectRect.top, b);
}

TskSkinGaugeObject::TskSkinGaugeObject(TskSkinnedForm* AForm, TskDataSkinGauge* Data)
    : TskActiveSkinObject(AForm, Data) {
  MinValue = Data->MinValue;
  MaxValue = Data->MaxValue;
  Vertical = Data->Kind != gkHorizontal;
  Value = MinValue;
  FillPos = OldFillPos = FillPosFor(Value);
}

POINT TskSkinGaugeObject::FillPosFor(int AValue) const {
  double x = MaxValue == MinValue ? 0.0 : double(AValue - MinValue) / (MaxValue - MinValue);
  if (Vertical) return POINT{0, RoundEven(RectHeight(SkinRect) * (1 - x))};
  return POINT{RoundEven(x * RectWidth(SkinRect)), 0};
}

void TskSkinGaugeObject::Draw(TCanvas* Cnvs, bool Alone) {
  if (!SkinReady() || (Value == MinValue && !Alone)) return;
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  if (w <= 0 || h <= 0) return;
  FillPos = FillPosFor(Value);
  const TskPicture* pic = NormalPicture();
  const RECT& n = SkinRect;
  const RECT& a = ActiveSkinRect;
  TskPicture b(w, h);
  if (!Vertical) {
    int fx = std::clamp<int>(FillPos.x, 0, w);
    BlitPart(b, fx, 0, pic, RECT{n.left + fx, n.top, n.left + w, n.top + h});
    BlitPart(b, 0, 0, ActivePicture, RECT{a.left, a.top, a.left + fx, a.top + h});
  } else {
    int fy = std::clamp<int>(FillPos.y, 0, h);
    BlitPart(b, 0, 0, pic, RECT{n.left, n.top, n.left + w, n.top + fy});
    BlitPart(b, 0, fy, ActivePicture, RECT{a.left, a.top + fy, a.left + w, a.top + h});
  }
  DrawPicture(Cnvs->Handle(), ObjectRect.left, ObjectRect.top, b);
}

void TskSkinGaugeObject::MouseEnter() {
  Active = true;
  MouseInChanged(*this, true);
}

void TskSkinGaugeObject::MouseLeave() {
  Active = false;
  MouseInChanged(*this, false);
}

TskSkinFrameObject::TskSkinFrameObject(TskSkinnedForm* AForm, TskDataSkinFrameGaugeObject* Data)
    : TskActiveSkinObject(AForm, Data) {
  CountFrames = Data->CountFrames;
  Stacked = Data->FramesPlacement != fpHorizontal;
  if (CountFrames > 0) {
    FrameWidth = Stacked ? RectWidth(ActiveSkinRect) : RectWidth(ActiveSkinRect) / CountFrames;
    FrameHeight = Stacked ? RectHeight(ActiveSkinRect) / CountFrames : RectHeight(ActiveSkinRect);
  }
}

RECT TskSkinFrameObject::FrameRect(int K) const {
  const RECT& a = ActiveSkinRect;
  if (Stacked)
    return RECT{a.left, a.top + (K - 1) * FrameHeight, a.left + FrameWidth,
                a.top + K * FrameHeight};
  return RECT{a.left + (K - 1) * FrameWidth, a.top, a.left + K * FrameWidth, a.top + FrameHeight};
}

void TskSkinFrameObject::Draw(TCanvas* Cnvs, bool) {
  if (!SkinReady()) return;
  CopyToObject(Cnvs, ActivePicture, FrameRect(CurrentFrame));
}

int FrameForValue(int Value, int MinValue, int MaxValue, int Count) {
  if (Count < 2) return 1;
  int step = (MaxValue - MinValue) / (Count - 1);
  if (step == 0) return 1;
  // Values outside the range (a frame gauge starts at 0 whatever its
  // minimum) show the nearest end frame.
  return std::clamp(std::abs(Value - MinValue) / step + 1, 1, Count);
}

TskSkinFrameGaugeObject::TskSkinFrameGaugeObject(TskSkinnedForm* AForm,
                                                 TskDataSkinFrameGaugeObject* Data)
    : TskSkinFrameObject(AForm, Data) {
  MinValue = Data->MinValue;
  MaxValue = Data->MaxValue;
}

void TskSkinFrameGaugeObject::Draw(TCanvas* Cnvs, bool Alone) {
  CurrentFrame = FrameForValue(Value, MinValue, MaxValue, CountFrames);
  TskSkinFrameObject::Draw(Cnvs, Alone);
}

void TskSkinFrameGaugeObject::MouseEnter() {
  MouseIn = Active = true;
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TskSkinFrameGaugeObject::MouseLeave() {
  MouseIn = Active = false;
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

TskSkinFrameRegulatorObject::TskSkinFrameRegulatorObject(TskSkinnedForm* AForm,
                                                         TskDataSkinFrameRegulatorObject* Data)
    : TskSkinFrameGaugeObject(AForm, Data) {
  Kind = Data->Kind;
  Value = MinValue <= MaxValue ? std::clamp(0, MinValue, MaxValue) : MinValue;
  WorkValue = Value;
  // One turn of the knob runs through every frame.
  int steps = std::max(CountFrames - 1, 1);
  AngleStep = std::max(360 / steps, 1);
  ValueStep = std::max((MaxValue - MinValue) / steps, 1);
}

void TskSkinFrameRegulatorObject::SetValue(int AValue) {
  if (AValue == Value || AValue < MinValue || AValue > MaxValue) return;
  Value = AValue;
  Redraw();
  if (Parent->OnFrameRegulatorChangeValueEvent)
    Parent->OnFrameRegulatorChangeValueEvent(IDName, Value);
}

int TskSkinFrameRegulatorObject::AngleAt(int X, int Y) const {
  int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  X = std::clamp(X, 0, std::max(w, 0));
  Y = std::clamp(Y, 0, std::max(h, 0));
  int cx = w / 2, cy = h / 2;
  if (X == cx && Y == cy) return Last;
  double dx = cx - X, dy = cy - Y, r = std::sqrt(dx * dx + dy * dy);
  int base = 0;
  if (X <= cx && Y < cy) base = 90;
  if (X < cx && Y >= cy) base = 180;
  if (X >= cx && Y > cy) base = 270;
  if (X > cx && Y <= cy) base = 0;
  double fine = std::asin((base == 0 || base == 180 ? std::fabs(dy) : std::fabs(dx)) / r);
  int t = static_cast<int>(base + fine * 180 / 3.14159265358979323846);
  int angle = 270 - t;
  return angle < 0 ? angle + 360 : angle;
}

void TskSkinFrameRegulatorObject::MouseDown(int X, int Y, TMouseButton Button) {
  Dragging = true;
  WorkValue = Value;
  if (Kind == rkRound)
    Anchor = Last = AngleAt(X - ObjectRect.left, Y - ObjectRect.top);
  else if (Kind == rkHorizontal)
    Anchor = X - ObjectRect.left;
  else
    Anchor = -(Y - ObjectRect.top);
  TskSkinFrameGaugeObject::MouseDown(X, Y, Button);
}

void TskSkinFrameRegulatorObject::MouseMove(int X, int Y) {
  if (Dragging) {
    if (Kind == rkRound) {
      Current = AngleAt(X - ObjectRect.left, Y - ObjectRect.top);
      KnobStep();
    } else {
      Current = Kind == rkHorizontal ? X - ObjectRect.left : -(Y - ObjectRect.top);
      LinearStep();
    }
    Last = Current;
  }
  TskSkinFrameGaugeObject::MouseMove(X, Y);
}

void TskSkinFrameRegulatorObject::MouseUp(int X, int Y, TMouseButton Button) {
  Dragging = false;
  TskSkinFrameGaugeObject::MouseUp(X, Y, Button);
}

void TskSkinFrameRegulatorObject::LinearStep() {
  int steps = std::max(CountFrames - 1, 1);
  int travel = Kind == rkHorizontal ? FrameWidth : FrameHeight;
  int pixelStep = std::max(travel / steps, 1);
  int valueStep = std::max((MaxValue - MinValue) / steps, 1);
  if (std::abs(Current - Anchor) < pixelStep) return;
  bool down = Current < Anchor;
  Anchor = Current;
  WorkValue = std::clamp(WorkValue + (down ? -valueStep : valueStep), MinValue,
                         std::max(MinValue, MaxValue));
  SetValue(WorkValue);
}

void TskSkinFrameRegulatorObject::KnobStep() {
  bool up;
  int distance;
  if (std::abs(Current - Last) <= 300) {
    up = Current >= Anchor;
    distance = std::abs(Current - Anchor);
  } else {
    // The pointer passed the 0/360 seam since the last message.
    Anchor = Current;
    up = Current < Last;
    distance = AngleStep;
  }
  if (distance < AngleStep) return;
  Anchor = Current;
  WorkValue =
      std::clamp(WorkValue + (up ? ValueStep : -ValueStep), MinValue, std::max(MinValue, MaxValue));
  SetValue(WorkValue);
}

TskSkinAnimateObject::TskSkinAnimateObject(TskSkinnedForm* AForm, TskDataSkinAnimate* Data)
    : TskActiveSkinObject(AForm, Data) {
  Morphing = false;
  CountFrames = std::max(Data->CountFrames, 1);
  Cycle = Data->Cycle;
  ButtonStyle = Data->ButtonStyle;
  TimerInterval = std::max(Data->TimerInterval, 25);
  Command = Data->Command;
  DownSkinRect = Data->DownSkinRect;
  RestoreRect = Data->RestoreRect;
  RestoreActiveRect = Data->RestoreActiveRect;
  RestoreDownRect = Data->RestoreDownRect;
  RestoreInActiveRect = Data->RestoreInActiveRect;
}

bool TskSkinAnimateObject::InRestoreState() const {
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

RECT TskSkinAnimateObject::Src(const RECT& Normal, const RECT& Restore) const {
  return InRestoreState() && !IsNullRect(RestoreRect) ? Restore : Normal;
}

RECT TskSkinAnimateObject::SourceNormal() const {
  return Src(SkinRect, RestoreRect);
}

RECT TskSkinAnimateObject::SourceFrame(int K) const {
  RECT n = SourceNormal(), a = Src(ActiveSkinRect, RestoreActiveRect);
  int w = RectWidth(n), h = RectHeight(n);
  return RECT{a.left + (K - 1) * w, a.top, a.left + K * w, a.top + h};
}

void TskSkinAnimateObject::Draw(TCanvas* Cnvs, bool) {
  if (!SkinReady()) return;
  RECT d = Src(DownSkinRect, RestoreDownRect), i = Src(InActiveSkinRect, RestoreInActiveRect);
  RECT s;
  if (MenuShown) {
    if (IsNullRect(d)) CurrentFrame = CountFrames;
    s = IsNullRect(d) ? SourceFrame(CurrentFrame) : d;
  } else if (!Parent->GetFormActive() && !IsNullRect(i)) {
    s = i;
  } else if (Pressed && MouseIn && !IsNullRect(d)) {
    s = d;
  } else {
    s = SourceFrame(CurrentFrame);
  }
  CopyToObject(Cnvs, ActivePicture, s);
}

void TskSkinAnimateObject::AnimationStep() {
  if (TimeCount < TimerInterval) {
    TimeCount += 25;
    return;
  }
  if (Forward) {
    if (++CurrentFrame > CountFrames) CurrentFrame = 1;
    if (!Cycle && CurrentFrame == CountFrames) Active = false;
  } else {
    if (--CurrentFrame < 1) CurrentFrame = CountFrames;
    if (CurrentFrame == 1) Active = false;
  }
  Redraw();
  TimeCount = 25;
}

void TskSkinAnimateObject::MouseEnter() {
  MouseIn = true;
  if (ButtonStyle) {
    Active = true;
    Forward = true;
    if (Pressed && !IsNullRect(Src(DownSkinRect, RestoreDownRect)))
      Redraw();
    else
      Parent->StartAnimateTimer();
  }
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TskSkinAnimateObject::MouseLeave() {
  if (!MouseIn) return;
  MouseIn = false;
  if (ButtonStyle) {
    Active = true;
    Forward = false;
    if (Pressed && !IsNullRect(Src(DownSkinRect, RestoreDownRect)))
      Redraw();
    else
      Parent->StartAnimateTimer();
  }
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

void TskSkinAnimateObject::MouseDown(int X, int Y, TMouseButton Button) {
  TskActiveSkinObject::MouseDown(X, Y, Button);
  if (Button == mbLeft && !IsNullRect(Src(DownSkinRect, RestoreDownRect))) {
    CurrentFrame = CountFrames;
    Pressed = true;
    Redraw();
  }
  if (Command == cmSysMenu && MouseIn && ButtonStyle && Button == mbLeft) DoCommand();
}

void TskSkinAnimateObject::MouseUp(int X, int Y, TMouseButton Button) {
  TskActiveSkinObject::MouseUp(X, Y, Button);
  if (MenuShown) return;
  if (Button == mbLeft && !IsNullRect(Src(DownSkinRect, RestoreDownRect))) {
    Pressed = false;
    Redraw();
    Parent->StartAnimateTimer();
  }
  if (Command != cmSysMenu && MouseIn && ButtonStyle && Button == mbLeft) DoCommand();
}

void TskSkinAnimateObject::DblClick() {
  if (Command == cmSysMenu) Parent->Form()->Close();
}

void TskSkinAnimateObject::DoCommand() {
  switch (Command) {
  case cmSysMenu:
    MenuItem = Parent->GetSystemMenuItems();
    ShowMenu();
    break;
  case cmDefault:
    ShowMenu();
    break;
  default:
    Parent->RunWindowCommand(Command);
    break;
  }
}

void TskSkinAnimateObject::ShowMenu() {
  if (!MenuItem || MenuItem->Count() == 0) return;
  MenuShown = true;
  RECT r = Parent->ObjectScreenRect(ObjectRect);
  if (auto* pm = dynamic_cast<TskSkinPopupMenu*>(MenuItem->GetParentMenu());
      pm && MenuItem == pm->Items()) {
    pm->PopupFromButton(nullptr, TRect(r));
    return;
  }
  TskSkinMenu* sm = Parent->SkinMenu();
  if (!sm) return;
  Parent->SkinMenuOpen();
  sm->Popup(nullptr, Parent->MenuSkin(), 0, TRect(r), MenuItem, PopupAbove);
}

// ---------------------------------------------------------------------------
// TskSkinnedForm: life

TskSkinnedForm* GetSkinFormOf(TComponent* Component) {
  if (!Component) return nullptr;
  for (int i = 0; i < Component->ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TskSkinnedForm*>(Component->Components(i))) return f;
  return nullptr;
}

TskSkinnedForm* GetMaximizedChildSkinForm() {
  TCustomForm* frame = Application ? Application->MainForm() : nullptr;
  if (!frame) return nullptr;
  for (int i = 0; i < frame->MDIChildCount(); ++i)
    if (TskSkinnedForm* sf = GetSkinFormOf(frame->MDIChildren(i)); sf && sf->WindowState() == 2)
      return sf;
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
  FLogoBitMap = std::make_unique<TBitmap>();
  FOldWindowProc = FForm->WindowProc;
  if (!(ComponentState() & csDesigning))
    FForm->WindowProc = [this](TMessage& m) { FormWindowProc(m); };
  InitMenus();
}

TskSkinnedForm::~TskSkinnedForm() {
  Destroying();
  SetTrayIcon(nullptr);
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
  if (AComponent == FStatusBar) FStatusBar = nullptr;
  if (AComponent == FMDITabsBar) FMDITabsBar = nullptr;
  if (AComponent == FSystemMenu) FSystemMenu = nullptr;
  if (AComponent == FSkinHint) FSkinHint = nullptr;
  if (AComponent == FMainMenu) {
    FMainMenu = nullptr;
    FreeMainMenuItems();
  }
  if (AComponent == FSkinMenu) FSkinMenu = nullptr;
  if (AComponent == FTrayIcon) {
    FTrayIcon = nullptr;
    FTrayRestoreSet = false;
  }
  if (AComponent == FMenuHost) FMenuHost = nullptr;
  if (AComponent == FMainMenuBar) FMainMenuBar = nullptr;
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
  if (FTrayMenu) FTrayMenu->SetSkinData(Value);
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
  if (FSkinnable && FForm->FormStyle() != fsNormal && MDIStage(M)) return;
  if (FSupportNCArea && FSkinnable && FrameStage(M)) return;
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
  case WM_DISPLAYCHANGE:
    // A window larger than the new screen takes its new limits.
    if (FSupportNCArea && HasBorder() &&
        (FForm->Width() > GetMaxWidth() || FForm->Height() > GetMaxHeight())) {
      if (FForm->Height() > GetMaxHeight()) FForm->SetHeight(GetMaxHeight());
      NudgeWidth();
    }
    return false;
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
        FForm->FormStyle() != fsMDIChild)
      ChangeSkinnableForm(FSkinData->SkinnableForm());
  } else if (M.Msg == CM_SKINSTATEQUERY) {
    M.Result = (FSkinnable || !FVista) ? 12853 : 12852;
    return true;
  } else if (M.Msg == CM_SKINQUERY && FSkinnable) {
    PaintFrameForQuery(reinterpret_cast<HDC>(M.WParam));
    M.Result = 12851;
    return true;
  } else if (M.Msg == CM_SKINFRAMEQUERY && FSkinnable && M.LParam == 16802) {
    PaintFrameForQuery(reinterpret_cast<HDC>(M.WParam));
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
  if (FSupportNCArea) {
    ApplyFrameSkin();
    return;
  }
  if (!FSkinActive) return;
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
    else if (auto* tb = dynamic_cast<TskDataSkinTrackBar*>(o))
      obj = std::make_unique<TskSkinTrackBarObject>(this, tb);
    else if (auto* g = dynamic_cast<TskDataSkinGauge*>(o))
      obj = std::make_unique<TskSkinGaugeObject>(this, g);
    else if (auto* fr = dynamic_cast<TskDataSkinFrameRegulatorObject*>(o))
      obj = std::make_unique<TskSkinFrameRegulatorObject>(this, fr);
    else if (auto* fg = dynamic_cast<TskDataSkinFrameGaugeObject*>(o))
      obj = std::make_unique<TskSkinFrameGaugeObject>(this, fg);
    else if (auto* an = dynamic_cast<TskDataSkinAnimate*>(o))
      obj = std::make_unique<TskSkinAnimateObject>(this, an);
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
    } else if (auto* pc = dynamic_cast<TskSkinPageControl*>(c)) {
      if (!S || pc->SkinData() == S) pc->ApplyPageControlSkin();
    } else if (auto* tc = dynamic_cast<TskSkinTabControl*>(c)) {
      if (!S || tc->SkinData() == S) tc->ApplyTabControlSkin();
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
  if (FSupportNCArea && !FSkinActive) {
    LayoutDefaultButtons();
    return;
  }
  for (auto& o : FObjects)
    o->ObjectRect = MapSkinRectToForm(o->SkinRect);
  if (FSupportNCArea) LayoutFrameButtons();
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
  FRegionJustSet = false;
  UpdateWindowRegion(Full);
  if (OnChangeClientRect) OnChangeClientRect(FNewClientRect);
  if (!FSupportNCArea) {
    if (FForm->HandleAllocated()) InvalidateRect(FForm->Handle(), nullptr, TRUE);
    LayoutAreaControls();
  } else if (FForm->HandleAllocated()) {
    if (!FRegionJustSet && FSkinnable) SendNCPaint();
    if (FSkinData->StretchEffect) {
      FForm->Invalidate();
      BroadcastAlphaRepaint();
    }
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
  FRegionJustSet = FRegionSet;
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
  if (FSupportNCArea) {
    int pw = FSkinData->Picture.Width();
    if (pw < MinWidth && FWindowState != 1) return MinWidth;
    return FSkinData->FormMinWidth > 0 ? FSkinData->FormMinWidth : pw;
  }
  int pw = FSkinData->Picture.Width();
  return MinWidth == 0 ? pw : std::min(MinWidth, pw);
}

int TskSkinnedForm::GetMinHeight() const {
  if (FSupportNCArea) {
    int frame = FSkinActive ? FSkinData->Picture.Height() - RectHeight(FSkinData->ClientRect)
                            : GetDefaultCaptionHeight() + 6;
    return (frame >= MinHeight || FRollUpState || FWindowState == 1) ? frame : MinHeight;
  }
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

void TskSkinnedForm::ApplyFormBorderIcons() {
  TBorderIcons icons = 0;
  if (!HideCaptionButtons) icons |= biSystemMenu;
  if (FBorderIcons & biSkMinimize) icons |= biMinimize;
  if (FBorderIcons & biSkMaximize) icons |= biMaximize;
  if (FForm->BorderIcons() != icons) FForm->SetBorderIcons(icons);
}

void TskSkinnedForm::ChangeSkinnableForm(bool Value) {
  TFormStyle st = FForm->FormStyle();
  if ((ComponentState() & csDesigning) || (st == fsMDIForm && FForm->MDIChildCount() > 0)) return;
  bool wasActive = GetFormActive();
  bool remax = false;
  if (FWindowState == 2 && FSkinnable) {
    if (st != fsMDIForm) FForm->Hide();
    SetWindowState(0);
    remax = true;
  } else if (FForm->WindowState() == wsMaximized && !FSkinnable) {
    FForm->SetWindowState(wsNormal);
    FForm->Hide();
    remax = true;
  }
  FSkinnable = Value;
  if (!Value) {
    SetRegion(nullptr);
    FreeSkinObjects();
    FSkinActive = false;
  }
  ApplySkin();
  ApplySkinToControls(nullptr, FForm);
  if (st == fsMDIForm) {
    // A new frame window brings a new MDI client, subclassed again below.
    if (MDIClientHooked()) FForm->RecreateWnd();
    HookMDIClient();
    if (wasActive && FForm->HandleAllocated() && IsWindowVisible(FForm->Handle()))
      SetActiveWindow(FForm->Handle());
  } else if (FForm->HandleAllocated()) {
    SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    FForm->Invalidate();
  }
  if (remax) {
    if (!Value)
      FForm->SetWindowState(wsMaximized);
    else
      SetWindowState(2);
    FForm->Show();
  }
}

void TskSkinnedForm::NudgeWidth() {
  // The form's own sizes keep within the maximum.
  int w = FForm->Width(), mw = GetMaxWidth();
  int d = (w - 1 < GetMinWidth()) ? 1 : -1;
  FForm->SetWidth(std::min(w + d, mw));
  FForm->SetWidth(std::min(w, mw));
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
    TakeStretch(p, s);
    p.DrawCentre = true;
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
  if (FSupportNCArea) {
    TestActiveObject(X, Y, true);
    if (FActiveObject == -1) return;
    // A caption press is left to the system, which moves the window.
    if (!dynamic_cast<TskSkinCaptionObject*>(FObjects[FActiveObject].get()))
      SetCapture(FForm->Handle());
    FCapturedObject = FActiveObject;
    FObjects[FActiveObject]->MouseDown(X, Y, Button);
    return;
  }
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
  if (FSupportNCArea && !dynamic_cast<TskSkinCaptionObject*>(FObjects[i].get()) &&
      FForm->HandleAllocated() && GetCapture() == FForm->Handle())
    ReleaseCapture();
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
  if (FSupportNCArea) {
    if (!ObjectInRollState(O) || !HasBorder() || !FForm->HandleAllocated() ||
        (FForm->FormStyle() == fsMDIChild && FWindowState == 2))
      return;
    HDC dc = GetWindowDC(FForm->Handle());
    TCanvas c;
    c.SetHandle(dc);
    O->Draw(&c, true);
    c.SetHandle(nullptr);
    ReleaseDC(FForm->Handle(), dc);
    return;
  }
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
  if (FSupportNCArea) {
    if (FInSizeMove) {
      FMouseTimer->SetEnabled(false);
      return;
    }
    POINT c;
    GetCursorPos(&c);
    POINT p = ScreenToFramePoint(c);
    RECT client = FSkinActive ? FNewClientRect
                              : RECT{3, GetDefaultCaptionHeight() + 3, FWidth - 3, FHeight - 3};
    if (!PtIn(client, p))
      TestActiveObject(p.x, p.y, true);
    else if (FActiveObject != -1)
      TestActiveObject(-1, -1, true);
    return;
  }
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
  for (size_t i = 0; i < FObjects.size(); ++i) {
    auto* a = dynamic_cast<TskSkinAnimateObject*>(FObjects[i].get());
    if (!a || !a->Active || (a->Pressed && !IsNullRect(a->DownSkinRect))) continue;
    a->AnimationStep();
    work = true;
  }
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
  } else {
    if (IsNullRect(FRestoreBounds))
      FRestoreBounds = RECT{FForm->Left(), FForm->Top(), FForm->Left() + FForm->Width(),
                            FForm->Top() + FForm->Height()};
    POINT p = GetMinimizedPosition();
    FForm->SetBounds(p.x, p.y, GetMinWidth(), GetMinHeight());
    if (FForm->FormStyle() == fsMDIChild && Application && Application->MainForm() &&
        Application->MainForm()->HandleAllocated())
      SendMessageW(Application->MainForm()->Handle(), WM_SKINMDICHILDRESTORED, 0, 0);
  }
  if (OnMinimize) OnMinimize(this);
}

void TskSkinnedForm::MaximizeForm() {
  if (IsNullRect(FRestoreBounds))
    FRestoreBounds = RECT{FForm->Left(), FForm->Top(), FForm->Left() + FForm->Width(),
                          FForm->Top() + FForm->Height()};
  if (FForm->FormStyle() == fsMDIChild && FSupportNCArea) {
    FMouseTimer->SetEnabled(false);
    TestActiveObject(-1, -1, false);
    RECT area = GetMDIAreaRect();
    int w = FForm->Width(), h = FForm->Height();
    FForm->SetBounds(0, 0, RectWidth(area), RectHeight(area));
    // The frame is gone from a maximized child: its client size changes.
    SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (w == FForm->Width() && h == FForm->Height()) NudgeWidth();
    if (TCustomForm* frame = Application ? Application->MainForm() : nullptr)
      SendMessageW(frame->Handle(), WM_SKINMDICHILDMAXIMIZED, 0, 0);
    if (FStatusBar && FStatusBar->SizeGrip()) FStatusBar->SetGripVisible(false);
    if (OnMaximize) OnMaximize(this);
    return;
  }
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
  if (FStatusBar && FStatusBar->SizeGrip()) FStatusBar->SetGripVisible(false);
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
  if (FSupportNCArea && FForm->HandleAllocated()) {
    if (FForm->FormStyle() == fsMDIChild) {
      SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      if (TCustomForm* frame = Application ? Application->MainForm() : nullptr)
        SendMessageW(frame->Handle(), WM_SKINMDICHILDRESTORED, 0, 0);
    }
    FForm->Invalidate();
    SendNCPaint();
  }
  if (FStatusBar && FStatusBar->SizeGrip()) FStatusBar->SetGripVisible(true);
  if (OnRestore) OnRestore(this);
}

void TskSkinnedForm::RunWindowCommand(int Command) {
  switch (Command) {
  case cmClose:
    Form()->Close();
    break;
  case cmMaximize:
    SetWindowState(WindowState() == 2 ? 0 : 2);
    break;
  case cmMinimize:
    if (AlwaysMinimizeToTray)
      MinimizeToTray();
    else
      SetWindowState(SupportNCArea() && WindowState() == 1 ? 0 : 1);
    break;
  case cmRollUp:
    SetRollUpState(!RollUpState());
    break;
  case cmMinimizeToTray:
    MinimizeToTray();
    break;
  default:
    break;
  }
}

// ---------------------------------------------------------------------------
// Notification area

void TskSkinnedForm::SetTrayIcon(TskTrayIcon* Value) {
  if (Value == FTrayIcon) return;
  if (FTrayIcon) {
    // The old icon keeps nothing that points back here.
    if (FTrayRestoreSet) FTrayIcon->OnDblClick = nullptr;
    if (FTrayIcon->PopupMenu() == FTrayMenu) FTrayIcon->SetPopupMenu(nullptr);
    FTrayIcon->RemoveFreeNotification(this);
  }
  FTrayRestoreSet = false;
  FTrayIcon = Value;
  bool designing = ComponentState() & csDesigning;
  if (!Value) {
    if (designing) SetBorderIcons(FBorderIcons & ~biSkMinimizeToTray);
    return;
  }
  Value->FreeNotification(this);
  if (!AlwaysShowInTray) Value->SetIconVisible(false);
  if (designing) {
    if (!(Value->ComponentState() & csLoading)) SetBorderIcons(FBorderIcons | biSkMinimizeToTray);
    return;
  }
  if (!Value->PopupMenu()) Value->SetPopupMenu(FTrayMenu);
  if (!Value->OnDblClick) {
    Value->OnDblClick = [this](TObject*) { RestoreFromTray(); };
    FTrayRestoreSet = true;
  }
}

void TskSkinnedForm::MinimizeToTray() {
  if (!FTrayIcon) return;
  FTrayIcon->SetMinimizeToTray(true);
  if (Application) Application->Minimize();
  if (OnMinimizeToTray) OnMinimizeToTray(this);
}

void TskSkinnedForm::RestoreFromTray() {
  if (!FTrayIcon) return;
  FTrayIcon->SetMinimizeToTray(false);
  FTrayIcon->ShowMainForm();
  if (Application) Application->Restore();
  if (!AlwaysShowInTray) FTrayIcon->SetIconVisible(false);
  if (OnRestoreFromTray) OnRestoreFromTray(this);
}

void TskSkinnedForm::SetRollUpState(bool V) {
  FPaintCacheValid = false;
  if ((!FSupportNCArea && !FSkinActive) || !(FBorderIcons & biSkRollUp) || FWindowState == 1)
    return;
  if (FSupportNCArea) {
    if (FRollUpState && FWindowState == 2 && !V) FRollUpState = false;
    if (V == FRollUpState) return;
    FRollUpState = V;
    if (V) {
      FRollUpHeight = FForm->Height();
      FForm->SetHeight(GetMinHeight());
    } else if (ClientHeight > 0) {
      FForm->SetClientHeight(ClientHeight);
    } else {
      FForm->SetHeight(FRollUpHeight);
    }
    SendNCPaint();
    if (OnChangeRollUpState) OnChangeRollUpState(this);
    return;
  }
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
// Frame mode

bool TskSkinnedForm::HasBorder() const {
  return FForm->BorderStyle() != bsNone;
}

bool TskSkinnedForm::PaintableSkin() const {
  return FSupportNCArea && FSkinData && !FSkinData->Empty() && !IsNullRect(FSkinData->ClientRect);
}

int TskSkinnedForm::GetDefaultCaptionHeight() const {
  TFormBorderStyle b = FForm->BorderStyle();
  return (b == bsToolWindow || b == bsSizeToolWin) ? 15 : 19;
}

int TskSkinnedForm::GetDefaultButtonSize() const {
  TFormBorderStyle b = FForm->BorderStyle();
  return (b == bsToolWindow || b == bsSizeToolWin) ? 13 : 17;
}

void TskSkinnedForm::SendNCPaint() {
  if (FForm->HandleAllocated()) SendMessageW(FForm->Handle(), WM_NCPAINT, 1, 0);
}

void TskSkinnedForm::CreateDefaultButtons() {
  FreeSkinObjects();
  static const struct {
    const wchar_t* name;
    TskStdCommand cmd;
  } kButtons[] = {{L"closebutton", cmClose},     {L"maxbutton", cmMaximize},
                  {L"minbutton", cmMinimize},    {L"rollupbutton", cmRollUp},
                  {L"sysmenubutton", cmSysMenu}, {L"traybutton", cmMinimizeToTray}};
  for (auto& b : kButtons)
    FObjects.push_back(std::make_unique<TskSkinStdButtonObject>(this, b.name, b.cmd));
  UpdateCaptionButtons();
}

void TskSkinnedForm::LayoutDefaultButtons() {
  int w = FWidth, size = GetDefaultButtonSize();
  FDefCaptionArea = RECT{3, 3, w - 3, GetDefaultCaptionHeight()};
  if (FObjects.empty()) return;
  auto find = [this](TskStdCommand c) -> TskSkinStdButtonObject* {
    for (auto& o : FObjects)
      if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get()))
        if (b->Command == c && b->Visible && b->SkinRectInAPicture) return b;
    return nullptr;
  };
  int x = w - 3;
  for (TskStdCommand c : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
    if (auto* b = find(c)) {
      b->ObjectRect = RECT{x - size, 4, x, 4 + size};
      x -= size;
    }
  FDefCaptionArea.right = x;
  x = 3;
  if (auto* b = find(cmSysMenu)) {
    int bw = size, bh = size;
    if (ShowIcon) {
      bw = GetSystemMetrics(SM_CXSMICON);
      bh = GetSystemMetrics(SM_CYSMICON);
    }
    b->ObjectRect = RECT{x, 4, x + bw, 4 + bh};
    x += bw;
  }
  FDefCaptionArea.left = x;
}

void TskSkinnedForm::LayoutFrameButtons() {
  if (!FSkinData) return;
  const TskSkinContent& s = *FSkinData;
  RECT row = !IsNullRect(FNewButtonsRect) ? FNewButtonsRect : FNewCaptionRect;
  if (IsNullRect(row)) return;
  bool inCaption = IsNullRect(FNewButtonsRect);
  int off = s.ButtonsOffset;
  auto size = [this](TskActiveSkinObject* o, TskStdCommand c) {
    if (c == cmSysMenu && ShowIcon)
      return SIZE{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    return SIZE{RectWidth(o->SkinRect), RectHeight(o->SkinRect)};
  };
  auto commandOf = [](TskActiveSkinObject* o, TskStdCommand& c) {
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o)) {
      c = b->Command;
      return true;
    }
    if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o)) {
      c = a->Command;
      return true;
    }
    return false;
  };
  auto first = [&](TskStdCommand c) -> TskActiveSkinObject* {
    for (auto& o : FObjects) {
      TskStdCommand oc;
      if (o->Visible && o->SkinRectInAPicture && commandOf(o.get(), oc) && oc == c) return o.get();
    }
    return nullptr;
  };
  std::vector<std::pair<TskActiveSkinObject*, TskStdCommand>> order;
  for (TskStdCommand c : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
    if (auto* o = first(c)) order.emplace_back(o, c);
  for (auto& o : FObjects) {
    TskStdCommand oc;
    if (o->Visible && o->SkinRectInAPicture && commandOf(o.get(), oc) && oc == cmDefault)
      order.emplace_back(o.get(), cmDefault);
  }
  TskSkinCaptionObject* caption = nullptr;
  for (auto& o : FObjects)
    if ((caption = dynamic_cast<TskSkinCaptionObject*>(o.get()))) break;
  TskActiveSkinObject* sys = first(cmSysMenu);
  int top = row.top;
  if (!s.ButtonsInLeft) {
    int x = row.right;
    for (auto& [o, c] : order) {
      SIZE z = size(o, c);
      o->ObjectRect = RECT{x - z.cx, top, x, top + z.cy};
      x -= z.cx + off;
    }
    if (inCaption && caption) caption->ObjectRect.right = x + off;
    if (sys && !IsNullRect(FNewCaptionRect)) {
      SIZE z = size(sys, cmSysMenu);
      int cx = FNewCaptionRect.left;
      int ct = FNewCaptionRect.top + RectHeight(FNewCaptionRect) / 2 - z.cy / 2;
      sys->ObjectRect = RECT{cx, ct, cx + z.cx, ct + z.cy};
      cx += z.cx + off;
      if (caption) caption->ObjectRect.left = cx - off;
    }
  } else {
    int x = row.left;
    if (inCaption && sys) order.emplace_back(sys, cmSysMenu);
    for (auto& [o, c] : order) {
      SIZE z = size(o, c);
      o->ObjectRect = RECT{x, top, x + z.cx, top + z.cy};
      x += z.cx + off;
    }
    if (inCaption && caption) caption->ObjectRect.left = x + off;
  }
}

POINT TskSkinnedForm::ScreenToFramePoint(const POINT& P) const {
  if (FForm->FormStyle() == fsMDIChild && FForm->HandleAllocated()) {
    POINT p = P;
    ScreenToClient(FForm->Handle(), &p);
    if (FSkinActive && FSkinData)
      return POINT{p.x + FSkinData->ClientRect.left, p.y + FSkinData->ClientRect.top};
    return POINT{p.x + 3, p.y + GetDefaultCaptionHeight() + 3};
  }
  return POINT{P.x - FForm->Left(), P.y - FForm->Top()};
}

void TskSkinnedForm::ResetObjectStates() {
  for (auto& o : FObjects) {
    if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get())) {
      a->MouseIn = a->Active = false;
      a->CurrentFrame = 1;
    } else if (!dynamic_cast<TskSkinCaptionObject*>(o.get())) {
      o->Active = o->MouseIn = false;
      o->MorphKf = 0;
    }
  }
}

void TskSkinnedForm::PaintSkinFrame(HDC DC) {
  if (!PaintableSkin() || !FForm->HandleAllocated()) return;
  if (FWidth == 0 && FHeight == 0) {
    FWidth = FForm->Width();
    FHeight = FForm->Height();
  }
  if (FWidth < GetMinWidth() || FHeight < GetMinHeight()) return;
  CalcFrameGeometry();
  LayoutObjects();
  const TskSkinContent& s = *FSkinData;
  bool active = GetFormActive();
  const TskPicture& src = (active || s.InactivePicture.Empty()) ? s.Picture : s.InactivePicture;
  TskSkinImageParams p;
  p.Old = s.FormGeometry();
  p.New = TskSkinGeometry{FNewLTPoint, FNewRTPoint, FNewLBPoint, FNewRBPoint, FNewClientRect};
  TakeStretch(p, s);
  p.W = FWidth;
  p.H = FHeight;
  p.R = RECT{0, 0, src.Width(), src.Height()};
  TskPicture top, bottom, left, right;
  CreateSkinBorderImages(p, src, top, bottom, left, right);
  const RECT& cr = FNewClientRect;
  for (auto& o : FObjects) {
    if (!ObjectInRollState(o.get()) || !o->Visible) continue;
    if (cr.top >= o->ObjectRect.bottom) {
      if (top.Empty()) continue;
      TPictureCanvas pc(top);
      o->Draw(pc.Canvas(), false);
    } else if (!bottom.Empty()) {
      RECT saved = o->ObjectRect;
      o->ObjectRect = OffsetR(saved, 0, -cr.bottom);
      {
        TPictureCanvas pc(bottom);
        o->Draw(pc.Canvas(), false);
      }
      o->ObjectRect = saved;
    }
  }
  HDC dc = DC ? DC : GetWindowDC(FForm->Handle());
  int saved = SaveDC(dc);
  if (!IsNullRect(cr)) ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  auto put = [&](TskPicture& b, int x, int y) {
    if (b.Empty()) return;
    if (active || !s.AutoRenderingInActiveImage) {
      DrawPicture(dc, x, y, b);
    } else {
      TskEffectBmp e(b);
      e.ApplyInactiveEffect(s.InActiveEffect);
      e.Draw(dc, x, y);
    }
  };
  put(top, 0, 0);
  put(left, 0, top.Height());
  put(right, FWidth - right.Width(), top.Height());
  put(bottom, 0, FHeight - bottom.Height());
  RestoreDC(dc, saved);
  if (!DC) ReleaseDC(FForm->Handle(), dc);
}

void TskSkinnedForm::PaintDefaultFrame(HDC DC) {
  if (!FForm->HandleAllocated() || (FSkinData && FSkinData->SkinChanging())) return;
  if (FWidth == 0 && FHeight == 0) {
    FWidth = FForm->Width();
    FHeight = FForm->Height();
  }
  if (FObjects.empty() && !FSkinActive) CreateDefaultButtons();
  LayoutDefaultButtons();
  int w = FWidth, h = FHeight, ch = GetDefaultCaptionHeight();
  if (w <= 6 || ch <= 0) return;
  bool active = GetFormActive();
  TskPicture b(w - 6, ch);
  b.Fill(GetSysColor(COLOR_BTNFACE));
  int L = FDefCaptionArea.left - 3, R = FDefCaptionArea.right - 3;
  {
    TPictureCanvas pc(b);
    HDC bdc = pc.DC();
    if (ch - 4 > 1)
      for (int y = 2; y <= ch - 4; ++y) {
        HPEN pen = CreatePen(PS_SOLID, 1,
                             GetSysColor(((y - 2) % 2) ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
        HGDIOBJ old = SelectObject(bdc, pen);
        MoveToEx(bdc, L + 2, y, nullptr);
        LineTo(bdc, R - 3, y);
        SelectObject(bdc, old);
        DeleteObject(pen);
      }
    TFont* font = active ? FDefCaptionFont.get() : FDefInActiveCaptionFont.get();
    std::wstring text = FrameCaptionText();
    if (OnCaptionPaint) {
      OnCaptionPaint(pc.Canvas(), RECT{L, 0, R, ch}, active);
    } else if (!text.empty()) {
      HGDIOBJ oldFont = SelectObject(bdc, font->Handle());
      TrimTextToWidth(bdc, text, R - L + 3);
      int tw = WideTextWidth(bdc, text), th = WideTextHeight(bdc, text);
      int x = L + (R - L + 3) / 2 - (tw + 5) / 2, y = ch / 2 - th / 2;
      RECT tr{x, y, x, y};
      WideDrawText(bdc, text, tr, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      RECT fill{tr.left - 2, tr.top - 2, tr.right + 2, tr.bottom + 2};
      HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
      FillRect(bdc, &fill, face);
      DeleteObject(face);
      SetBkMode(bdc, TRANSPARENT);
      SetTextColor(bdc, ColorToRGB(font->Color()));
      WideDrawText(bdc, text, tr, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(bdc, oldFont);
    }
    for (auto& o : FObjects) {
      if (!o->Visible) continue;
      RECT saved = o->ObjectRect;
      o->ObjectRect = OffsetR(saved, -3, -3);
      o->Draw(pc.Canvas(), true);
      o->ObjectRect = saved;
    }
  }
  HDC dc = DC ? DC : GetWindowDC(FForm->Handle());
  int saved = SaveDC(dc);
  ExcludeClipRect(dc, 3, ch + 3, w - 3, h - 3);
  DrawPicture(dc, 3, 3, b);
  RECT r{0, 0, w, h};
  auto edge = [&](int tl, int br) {
    HPEN p1 = CreatePen(PS_SOLID, 1, GetSysColor(tl)), p2 = CreatePen(PS_SOLID, 1, GetSysColor(br));
    HGDIOBJ old = SelectObject(dc, p1);
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    SelectObject(dc, p2);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.left - 1, r.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(p1);
    DeleteObject(p2);
    InflateRect(&r, -1, -1);
  };
  edge(COLOR_3DLIGHT, COLOR_3DDKSHADOW);
  edge(COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  edge(COLOR_BTNFACE, COLOR_BTNFACE);
  RestoreDC(dc, saved);
  if (!DC) ReleaseDC(FForm->Handle(), dc);
}

int TskSkinnedForm::SkinFrameHitTest(const POINT& P) {
  auto captionOrObject = [&]() {
    for (auto& o : FObjects)
      if (dynamic_cast<TskSkinCaptionObject*>(o.get()) && ObjectInRollState(o.get()) &&
          PtIn(o->ObjectRect, P))
        return HTCAPTION;
    return 19;
  };
  if (FRollUpState || FWindowState == 1) return captionOrObject();
  const RECT& cr = FNewClientRect;
  if (FActiveObject >= 0 && FActiveObject < int(FObjects.size()) &&
      !dynamic_cast<TskSkinCaptionObject*>(FObjects[FActiveObject].get()) && !PtIn(cr, P) &&
      !FInSizeMove)
    return 19;
  if (FWindowState != 2 && Sizeable) {
    int bw = FSkinData->BorderW;
    POINT probes[4] = {{P.x - bw, P.y}, {P.x, P.y - bw}, {P.x + bw, P.y}, {P.x, P.y + bw}};
    bool nearEdge = false;
    bool mask = !FSkinData->MaskPicture.Empty();
    if (!mask || !PtIn(FNewMaskRect, P))
      for (auto& q : probes)
        if (mask ? !PtInMask(q) : !PtIn(RECT{0, 0, FWidth, FHeight}, q)) nearEdge = true;
    if (!nearEdge) {
      if (PtIn(cr, P)) return HTCLIENT;
      return captionOrObject();
    }
    if (P.x <= FHitLT.x && P.y <= FHitLT.y) return HTTOPLEFT;
    if (P.x >= FHitRT.x && P.y <= FHitRT.y) return HTTOPRIGHT;
    if (P.x <= FHitLB.x && P.y >= FHitLB.y) return HTBOTTOMLEFT;
    if (P.x >= FHitRB.x && P.y >= FHitRB.y) return HTBOTTOMRIGHT;
    if (PtIn(RECT{FHitLT.x, 0, FHitRT.x, cr.top}, P)) return HTTOP;
    if (PtIn(RECT{FHitLB.x, cr.bottom, FHitRB.x, FHeight}, P)) return HTBOTTOM;
    if (PtIn(RECT{0, FHitLT.y, cr.left, FHitLB.y}, P)) return HTLEFT;
    if (PtIn(RECT{cr.right, FHitRT.y, FWidth, FHitRB.y}, P)) return HTRIGHT;
  }
  if (PtIn(cr, P)) return HTCLIENT;
  return captionOrObject();
}

int TskSkinnedForm::DefaultHitTest(const POINT& P) {
  int W = FWidth, H = FHeight, ch = GetDefaultCaptionHeight();
  if (FWindowState == 0 && !FRollUpState && Sizeable) {
    if (FActiveObject != -1) return 19;
    int x = P.x, y = P.y;
    if (x <= 2 && y <= 2) return HTTOPLEFT;
    if (x >= W - 2 && y <= 2) return HTTOPRIGHT;
    if (x <= 2 && y >= H - 2) return HTBOTTOMLEFT;
    if (x >= W - 2 && y >= H - 2) return HTBOTTOMRIGHT;
    if (x <= 2) return HTLEFT;
    if (y <= 2) return HTTOP;
    if (x >= W - 2) return HTRIGHT;
    if (y >= H - 2) return HTBOTTOM;
  }
  if (PtIn(FDefCaptionArea, P)) return HTCAPTION;
  if (PtIn(RECT{3, ch + 3, W - 3, H - 3}, P)) return HTCLIENT;
  return 19;
}

void TskSkinnedForm::PaintLogo(HDC DC) {
  if (!FLogoBitMap || FLogoBitMap->Empty()) return;
  RECT c;
  GetClientRect(FForm->Handle(), &c);
  int x = std::max(0, int(c.right) / 2 - FLogoBitMap->Width() / 2);
  int y = std::max(0, int(c.bottom) / 2 - FLogoBitMap->Height() / 2);
  FLogoBitMap->SetTransparent(LogoBitMapTransparent);
  TCanvas cv;
  cv.SetHandle(DC);
  FLogoBitMap->Draw(&cv, TRect(x, y, x + FLogoBitMap->Width(), y + FLogoBitMap->Height()));
  cv.SetHandle(nullptr);
}

void TskSkinnedForm::PaintFrameBackground(HDC DC) {
  RECT c;
  GetClientRect(FForm->Handle(), &c);
  if (c.right <= 0 || c.bottom <= 0) return;
  auto face = [&]() {
    HBRUSH b = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    FillRect(DC, &c, b);
    DeleteObject(b);
  };
  if (!FSkinActive) {
    face();
    PaintLogo(DC);
    return;
  }
  const TskSkinContent& s = *FSkinData;
  TskPicture tile;
  if (s.BGPictureIndex == -1) {
    if (IsNullRect(s.ClientRect)) {
      face();
      PaintLogo(DC);
      return;
    }
    tile = Cut(s.Picture, s.ClientRect, RectWidth(s.ClientRect), RectHeight(s.ClientRect));
  } else if (const TskPicture* bg = FSkinData->ActivePicture(s.BGPictureIndex)) {
    tile = *bg;
  } else {
    // A picture number beyond the skin's pictures paints no picture.
    face();
    PaintLogo(DC);
    return;
  }
  if (tile.Empty()) return;
  int tw = tile.Width(), th = tile.Height();
  if (s.StretchEffect) {
    if (s.StretchType == stFull) {
      TskPicture b = Cut(tile, RECT{0, 0, tw, th}, FWidth, FHeight);
      DrawPicture(DC, 0, 0, b);
    } else if (s.StretchType == stHorz) {
      TskPicture b = Cut(tile, RECT{0, 0, tw, th}, tw, FHeight);
      for (int x = 0; x < c.right; x += tw)
        DrawPicture(DC, x, 0, b);
    } else {
      TskPicture b = Cut(tile, RECT{0, 0, tw, th}, FWidth, th);
      for (int y = 0; y < c.bottom; y += th)
        DrawPicture(DC, 0, y, b);
    }
  } else {
    for (int row = 0; row <= c.bottom / th; ++row)
      for (int col = 0; col <= c.right / tw; ++col)
        DrawPicture(DC, col * tw, row * th, tile);
  }
  PaintLogo(DC);
}

void TskSkinnedForm::ApplyFrameSkin() {
  if (FSkinActive) {
    CreateSkinObjects();
    UpdateCaptionButtons();
  } else {
    FreeSkinObjects();
    FWidth = FForm->Width();
    FHeight = FForm->Height();
    UpdateWindowRegion(true);
  }
  if (!FSkinnable)
    ApplyFormBorderIcons();
  else if (FForm->BorderIcons() != 0)
    FForm->SetBorderIcons(0);
  FApplying = true;
  int w = FForm->Width(), h = FForm->Height(), mw = GetMinWidth(), mh = GetMinHeight();
  if (w < mw && h < mh)
    FForm->SetBounds(FForm->Left(), FForm->Top(), mw, mh);
  else if (h < mh)
    FForm->SetHeight(mh);
  else if (w < mw)
    FForm->SetWidth(mw);
  else if (FForm->HandleAllocated())
    NudgeWidth();
  if ((FRollUpState || FWindowState == 1) && FForm->Height() != GetMinHeight())
    FForm->SetHeight(GetMinHeight());
  if (FWindowState == 1 && FForm->Width() != GetMinWidth()) FForm->SetWidth(GetMinWidth());
  FWidth = FForm->Width();
  FHeight = FForm->Height();
  if (FSkinActive) UpdateLayout(true);
  if (FForm->HandleAllocated()) {
    if (FForm->FormStyle() == fsMDIForm && FForm->ClientHandle()) {
      RedrawWindow(FForm->ClientHandle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
      ResizeMDIChildren();
    } else {
      FForm->Invalidate();
    }
    SendNCPaint();
  }
  UpdateActivation(!(FForm->FormStyle() == fsMDIChild && FWindowState == 2));
  FMouseTimer->SetEnabled(true);
  if (OnChangeSkinData) OnChangeSkinData(this);
  FApplying = false;
  if (!FRollUpState) {
    if (ClientWidth > 0) FForm->SetClientWidth(ClientWidth);
    if (ClientHeight > 0) FForm->SetClientHeight(ClientHeight);
  }
}

void TskSkinnedForm::PaintFrameForQuery(HDC DC) {
  if (!DC || !FSupportNCArea || !HasBorder()) return;
  if (FForm->FormStyle() == fsMDIChild && FWindowState == 2) return;
  if (FSkinActive && PaintableSkin())
    PaintSkinFrame(DC);
  else if (!FSkinChanging)
    PaintDefaultFrame(DC);
}

void TskSkinnedForm::BroadcastAlphaRepaint() {
  for (int i = 0; i < FForm->ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(FForm->Controls(i)))
      SendMessageW(w->Handle(), WM_SKINALPHAREPAINT, 0, 0);
}

void TskSkinnedForm::FrameSizeChanged() {
  FWidth = FForm->Width();
  FHeight = FForm->Height();
  if (FSkinActive) {
    if (FWidth >= GetMinWidth() && FHeight >= GetMinHeight()) UpdateLayout(true);
  } else {
    SendNCPaint();
    UpdateWindowRegion(true);
  }
  if (FAlphaBlend && FAlphaBlendValue < 255 && IsWin2KOrLater()) {
    SendNCPaint();
    FForm->Invalidate();
  }
  if (FLogoBitMap && !FLogoBitMap->Empty() && FForm->FormStyle() != fsMDIForm) FForm->Invalidate();
}

bool TskSkinnedForm::FrameStage(TMessage& M) {
  // A maximized MDI child has no frame of its own.
  bool maxChild = FForm->FormStyle() == fsMDIChild && FWindowState == 2;
  bool border = HasBorder() && !maxChild;
  switch (M.Msg) {
  case WM_NCCALCSIZE: {
    if (maxChild) {
      M.Result = 0;
      return true;
    }
    if (!border) return false;
    auto* r = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0]
                       : reinterpret_cast<RECT*>(M.LParam);
    if (PaintableSkin()) {
      const TskSkinContent& s = *FSkinData;
      CalcFrameGeometry();
      r->left += s.ClientRect.left;
      r->top += s.ClientRect.top;
      r->right += s.ClientRect.right - s.Picture.Width();
      r->bottom += s.ClientRect.bottom - s.Picture.Height();
    } else {
      r->left += 3;
      r->top += GetDefaultCaptionHeight() + 3;
      r->right -= 3;
      r->bottom -= 3;
    }
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
    M.Result = 0;
    return true;
  }
  case WM_NCPAINT:
    if (maxChild) return true;
    if (!border) return false;
    if (PaintableSkin() && FSkinActive)
      PaintSkinFrame(nullptr);
    else
      PaintDefaultFrame(nullptr);
    M.Result = 0;
    return true;
  case WM_NCHITTEST: {
    if (!border) return false;
    POINT p = ScreenToFramePoint(POINT{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)});
    if (FWidth == 0 && FHeight == 0) {
      FWidth = FForm->Width();
      FHeight = FForm->Height();
    }
    int r = (FSkinActive && PaintableSkin()) ? SkinFrameHitTest(p) : DefaultHitTest(p);
    if (!FMouseTimer->Enabled() && r == 19) {
      TestActiveObject(p.x, p.y, true);
      FMouseTimer->SetEnabled(true);
    }
    M.Result = r;
    return true;
  }
  case WM_NCACTIVATE:
    FNCActive = M.WParam != 0;
    if (FForm->FormStyle() == fsMDIChild)
      FOldWindowProc(M);
    else
      M.Result = 1;
    if (border) SendNCPaint();
    UpdateActivation(true);
    return true;
  case WM_ACTIVATE:
    EndDrag();
    FOldWindowProc(M);
    if (border) SendNCPaint();
    TestActiveObject(-1, -1, false);
    ResetObjectStates();
    UpdateActivation(true);
    return true;
  case WM_SETTEXT:
    FOldWindowProc(M);
    UpdateCaptionText();
    if (border) SendNCPaint();
    return true;
  case WM_SETCURSOR:
    if (UseFormCursorInNCArea) {
      int code = LOWORD(M.LParam);
      if (code != HTCLIENT && !(code >= HTLEFT && code <= HTBOTTOMRIGHT))
        M.LParam = MAKELPARAM(HTCLIENT, HIWORD(M.LParam));
    }
    return false;
  case WM_SIZE:
    FOldWindowProc(M);
    if (FInSizeMove && FFullDrag) {
      if (FLogoBitMap && !FLogoBitMap->Empty()) FForm->Invalidate();
      return true;
    }
    FSnapLeft = FSnapTop = FSnapRight = FSnapBottom = false;
    FrameSizeChanged();
    return true;
  case WM_SIZING: {
    if (!(FInSizeMove && FFullDrag)) return false;
    FSnapLeft = FSnapTop = FSnapRight = FSnapBottom = false;
    FOldWindowProc(M);
    auto* r = reinterpret_cast<RECT*>(M.LParam);
    int w = RectWidth(*r), h = RectHeight(*r);
    if (!FSkinActive) {
      FWidth = w;
      FHeight = h;
      UpdateWindowRegion(true);
    } else if (FForm->Width() >= GetMinWidth() && FForm->Height() >= GetMinHeight() &&
               (w != FForm->Width() || h != FForm->Height())) {
      FWidth = w;
      FHeight = h;
      UpdateLayout(true);
    }
    return true;
  }
  case WM_ENTERSIZEMOVE: {
    POINT c;
    GetCursorPos(&c);
    FSnapX = c.x;
    FSnapY = c.y;
    ResetObjectStates();
    FMouseTimer->SetEnabled(false);
    FActiveObject = FCapturedObject = -1;
    FInSizeMove = true;
    BOOL full = FALSE;
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    FFullDrag = full != FALSE;
    FOldWindowProc(M);
    return true;
  }
  case WM_EXITSIZEMOVE:
    FOldWindowProc(M);
    FMouseTimer->SetEnabled(false);
    FActiveObject = FOldActiveObject = FCapturedObject = -1;
    // The loop is over; a press that started it is not routed to the objects.
    FInSizeMove = false;
    if (FInNCPress) FPressMoved = true;
    if (FSkinActive) SendNCPaint();
    return true;
  case WM_ERASEBKGND:
    if (FForm->FormStyle() == fsMDIForm) return false;
    PaintFrameBackground(reinterpret_cast<HDC>(M.WParam));
    M.Result = 1;
    return true;
  case WM_SYNCPAINT:
    if (!FRollUpState) return false;
    SendNCPaint();
    M.Result = 0;
    return true;
  case WM_NCMOUSEMOVE:
  case WM_NCLBUTTONDOWN:
  case WM_NCLBUTTONUP:
  case WM_NCLBUTTONDBLCLK:
  case WM_NCRBUTTONDOWN:
  case WM_NCRBUTTONUP:
  case WM_NCRBUTTONDBLCLK:
    if (!border) return false;
    FrameNCMouse(M);
    return true;
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
    FOldWindowProc(M);
    if (FCapturedObject != -1) ObjectMouseUp(M.Msg == WM_LBUTTONUP ? mbLeft : mbRight, -1, -1);
    return true;
  default:
    return false;
  }
}

void TskSkinnedForm::FrameNCMouse(TMessage& M) {
  if (M.Msg == WM_NCLBUTTONDOWN) {
    FInNCPress = true;
    FPressMoved = false;
    {
      TScopeGuard restore([&] { FInNCPress = false; });
      FOldWindowProc(M);
    }
    if (FPressMoved) {
      FPressMoved = false;
      return;
    }
  } else {
    FOldWindowProc(M);
  }
  POINT p = ScreenToFramePoint(POINT{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)});
  bool caption = M.WParam == HTCAPTION;
  auto noPressed = [this]() {
    if (FCapturedObject != -1 && FForm->HandleAllocated() && GetCapture() == FForm->Handle())
      ReleaseCapture();
    FCapturedObject = -1;
  };
  switch (M.Msg) {
  case WM_NCMOUSEMOVE:
    ObjectMouseMove(p.x, p.y);
    break;
  case WM_NCLBUTTONDOWN:
    TestActiveObject(p.x, p.y, true);
    ObjectMouseDown(mbLeft, p.x, p.y);
    if (caption) noPressed();
    break;
  case WM_NCLBUTTONUP:
    // An exception of the object goes on to the application like any other.
    ObjectMouseUp(mbLeft, p.x, p.y);
    break;
  case WM_NCLBUTTONDBLCLK:
    TestActiveObject(p.x, p.y, true);
    ObjectMouseDown(mbLeft, p.x, p.y);
    ObjectDblClick();
    if (caption) {
      if (Sizeable && FWindowState == 1)
        SetWindowState(0);
      else if (Sizeable && FWindowState != 2 && !FRollUpState && (FBorderIcons & biSkMaximize))
        SetWindowState(2);
      else if (Sizeable && FWindowState == 2 && !FRollUpState)
        SetWindowState(0);
      else
        SetRollUpState(!FRollUpState);
      noPressed();
    }
    break;
  case WM_NCRBUTTONDOWN:
  case WM_NCRBUTTONDBLCLK:
    TestActiveObject(p.x, p.y, true);
    ObjectMouseDown(mbRight, p.x, p.y);
    if (caption) {
      noPressed();
      if (M.Msg == WM_NCRBUTTONDOWN && !DisableSystemMenu) {
        POINT c;
        GetCursorPos(&c);
        PopupSystemMenuAt(c.x, c.y);
      }
    }
    break;
  case WM_NCRBUTTONUP:
    ObjectMouseUp(mbRight, p.x, p.y);
    break;
  default:
    break;
  }
}

POINT TskSkinnedForm::GetMinimizedPosition() const {
  int w = std::max(GetMinWidth(), 1), h = std::max(GetMinHeight(), 1);
  bool child = FForm->FormStyle() == fsMDIChild && FForm->HandleAllocated();
  RECT a;
  if (child)
    GetClientRect(GetParent(FForm->Handle()), &a);
  else
    GetMonitorRect(FForm->HandleAllocated() ? FForm->Handle() : nullptr, true, a);
  POINT p{a.left, a.bottom - h};
  auto taken = [&](const POINT& q) {
    std::vector<TCustomForm*> others;
    if (child) {
      if (TCustomForm* main = Application ? Application->MainForm() : nullptr)
        for (int i = 0; i < main->MDIChildCount(); ++i)
          others.push_back(main->MDIChildren(i));
    } else if (Screen) {
      for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) != (Application ? Application->MainForm() : nullptr))
          others.push_back(Screen->Forms(i));
    }
    for (TCustomForm* f : others) {
      if (f == FForm || !f->Visible()) continue;
      TskSkinnedForm* sf = GetSkinFormOf(f);
      if (sf && sf->WindowState() == 1 && f->Left() == q.x && f->Top() == q.y) return true;
    }
    return false;
  };
  while (taken(p)) {
    p.x += w;
    if (p.x + w > a.right) {
      p.x = a.left;
      p.y -= h;
      if (p.y < a.top) {
        p.y = a.bottom - h;
        break;
      }
    }
  }
  return p;
}

// ---------------------------------------------------------------------------
// MDI frames and children

namespace {

const wchar_t kChildItemMark[] = L"_DSFCHILDITEM";

TCustomForm* MDIFrame() {
  TCustomForm* m = Application ? Application->MainForm() : nullptr;
  return m && m->FormStyle() == fsMDIForm ? m : nullptr;
}

std::wstring BaseItemName(const std::wstring& name) {
  std::wstring s = name;
  size_t at = s.find(kChildItemMark);
  if (at != std::wstring::npos) s.erase(at, std::wcslen(kChildItemMark));
  return s;
}

bool IsChildItem(TMenuItem* item) {
  return item->Name().find(kChildItemMark) != std::wstring::npos;
}

// The child an item belongs to: the form of the skinned form that owns it,
// or (for an item of another owner) the child named by the item.
TCustomForm* ItemChild(TMenuItem* item, TCustomForm* frame) {
  if (auto* sf = dynamic_cast<TskSkinnedForm*>(item->Owner())) return sf->Form();
  std::wstring base = BaseItemName(item->Name());
  if (base.empty() || !frame) return nullptr;
  for (int i = 0; i < frame->MDIChildCount(); ++i)
    if (frame->MDIChildren(i)->Name() == base) return frame->MDIChildren(i);
  return nullptr;
}

int VisibleMDIChildCount(TCustomForm* frame) {
  int n = 0;
  for (int i = 0; i < frame->MDIChildCount(); ++i)
    if (frame->MDIChildren(i)->Visible()) ++n;
  return n;
}

} // namespace

RECT TskSkinnedForm::GetMDIAreaRect() const {
  TCustomForm* f = FForm;
  if (FForm->FormStyle() == fsMDIChild && MDIFrame()) f = MDIFrame();
  RECT c;
  GetClientRect(f->Handle(), &c);
  RECT a{0, 0, c.right, c.bottom};
  for (int i = 0; i < f->ControlCount(); ++i) {
    TControl* k = f->Controls(i);
    if (!k->Visible()) continue;
    switch (k->Align()) {
    case alLeft:
      a.left = std::max<LONG>(a.left, k->Left() + k->Width());
      break;
    case alTop:
      a.top = std::max<LONG>(a.top, k->Top() + k->Height());
      break;
    case alRight:
      a.right = std::min<LONG>(a.right, k->Left());
      break;
    case alBottom:
      a.bottom = std::min<LONG>(a.bottom, k->Top());
      break;
    default:
      break;
    }
  }
  return a;
}

TCustomForm* TskSkinnedForm::GetMaximizedChild() const {
  TCustomForm* frame = FForm->FormStyle() == fsMDIForm ? FForm : MDIFrame();
  if (!frame) return nullptr;
  auto maximized = [](TCustomForm* f) {
    TskSkinnedForm* sf = f ? GetSkinFormOf(f) : nullptr;
    return sf && sf->WindowState() == 2;
  };
  if (TCustomForm* a = frame->ActiveMDIChild(); maximized(a)) return a;
  for (int i = 0; i < frame->MDIChildCount(); ++i)
    if (maximized(frame->MDIChildren(i))) return frame->MDIChildren(i);
  return nullptr;
}

std::wstring TskSkinnedForm::FrameCaptionText() const {
  std::wstring text = FForm->Caption();
  if (FForm->FormStyle() == fsMDIForm && FMDIChildMaximized)
    if (TCustomForm* child = GetMaximizedChild()) text += L" - [" + child->Caption() + L"]";
  return text;
}

void TskSkinnedForm::ResizeMDIChildren() {
  if (FForm->FormStyle() != fsMDIForm) return;
  for (int i = 0; i < FForm->MDIChildCount(); ++i)
    SendMessageW(FForm->MDIChildren(i)->Handle(), WM_SKINMDICHILDRESIZE, 0, 0);
  ArrangeMinimizedChildren();
}

void TskSkinnedForm::ArrangeMinimizedChildren() {
  for (int i = 0; i < FForm->MDIChildCount(); ++i) {
    TCustomForm* c = FForm->MDIChildren(i);
    TskSkinnedForm* sf = GetSkinFormOf(c);
    if (!sf || sf->WindowState() != 1) continue;
    POINT p = sf->GetMinimizedPosition();
    c->SetBounds(p.x, p.y, c->Width(), c->Height());
  }
}

bool TskSkinnedForm::MDIClientHooked() const {
  return FMDIClientHook && FMDIClientHook->Active();
}

void TskSkinnedForm::HookMDIClient() {
  if (FForm->FormStyle() != fsMDIForm || !FForm->ClientHandle() || MDIClientHooked()) return;
  // The hook goes with this component, whichever of it and the frame goes first.
  if (!FMDIClientHook) FMDIClientHook = std::make_unique<TWindowSubclass>();
  FMDIClientHook->Hook(FForm->ClientHandle(), [this](TMessage& m) { return MDIClientProc(m); });
  NudgeWidth();
}

void TskSkinnedForm::PaintMDIBackground(HDC DC) {
  HWND client = FForm->ClientHandle();
  RECT c;
  GetClientRect(client, &c);
  if (c.right <= 0 || c.bottom <= 0) return;
  auto fill = [&](int sys) {
    HBRUSH b = CreateSolidBrush(GetSysColor(sys));
    FillRect(DC, &c, b);
    DeleteObject(b);
  };
  const TskPicture* tile = nullptr;
  TskPicture cut;
  bool stretch = false;
  TskStretchType type = stFull;
  if (FSkinActive) {
    const TskSkinContent& s = *FSkinData;
    if (s.MDIBGPictureIndex != -1) {
      // A picture number beyond the skin's pictures paints no picture.
      tile = FSkinData->ActivePicture(s.MDIBGPictureIndex);
      stretch = s.MDIBGStretchEffect;
      type = s.MDIBGStretchType;
    } else if (s.BGPictureIndex == -1 && !IsNullRect(s.ClientRect)) {
      cut = Cut(s.Picture, s.ClientRect, RectWidth(s.ClientRect), RectHeight(s.ClientRect));
      tile = &cut;
      stretch = s.StretchEffect;
      type = s.StretchType;
    } else {
      tile = FSkinData->ActivePicture(s.BGPictureIndex);
      stretch = s.StretchEffect;
      type = s.StretchType;
    }
  }
  if (!tile || tile->Empty()) {
    fill(COLOR_APPWORKSPACE);
  } else {
    int tw = tile->Width(), th = tile->Height();
    if (stretch && type == stFull) {
      DrawPicture(DC, 0, 0, Cut(*tile, RECT{0, 0, tw, th}, c.right, c.bottom));
    } else if (stretch && type == stHorz) {
      TskPicture b = Cut(*tile, RECT{0, 0, tw, th}, tw, c.bottom);
      for (int x = 0; x < c.right; x += tw)
        DrawPicture(DC, x, 0, b);
    } else if (stretch) {
      TskPicture b = Cut(*tile, RECT{0, 0, tw, th}, c.right, th);
      for (int y = 0; y < c.bottom; y += th)
        DrawPicture(DC, 0, y, b);
    } else {
      for (int row = 0; row <= c.bottom / th; ++row)
        for (int col = 0; col <= c.right / tw; ++col)
          DrawPicture(DC, col * tw, row * th, *tile);
    }
  }
  if (FLogoBitMap && !FLogoBitMap->Empty()) {
    int x = std::max(0, int(c.right) / 2 - FLogoBitMap->Width() / 2);
    int y = std::max(0, int(c.bottom) / 2 - FLogoBitMap->Height() / 2);
    FLogoBitMap->SetTransparent(LogoBitMapTransparent);
    TCanvas cv;
    cv.SetHandle(DC);
    FLogoBitMap->Draw(&cv, TRect(x, y, x + FLogoBitMap->Width(), y + FLogoBitMap->Height()));
    cv.SetHandle(nullptr);
  }
}

bool TskSkinnedForm::MDIClientProc(TMessage& M) {
  switch (M.Msg) {
  case WM_SIZE: {
    FMDIClientHook->CallPrevious(M);
    ResizeMDIChildren();
    bool logo = FLogoBitMap && !FLogoBitMap->Empty();
    bool redraw = logo;
    if (FSkinActive) {
      const TskSkinContent& s = *FSkinData;
      redraw = redraw || (!logo && s.StretchEffect && s.MDIBGPictureIndex == -1) ||
               (s.MDIBGStretchEffect && s.MDIBGPictureIndex != -1);
    }
    if (redraw) InvalidateRect(FForm->ClientHandle(), nullptr, TRUE);
    return true;
  }
  case WM_NCCALCSIZE:
  case WM_NCPAINT:
    M.Result = 0;
    return true;
  case WM_ERASEBKGND:
    PaintMDIBackground(reinterpret_cast<HDC>(M.WParam));
    M.Result = 1;
    return true;
  case WM_NCACTIVATE:
    M.Result = 1;
    return true;
  default:
    return false;
  }
}

void TskSkinnedForm::AddChildMenuItem() {
  TCustomForm* frame = MDIFrame();
  TMenuItem* menu = frame ? frame->WindowMenu() : nullptr;
  if (!menu || !GetSkinFormOf(frame)) return;
  for (int i = 0; i < menu->Count(); ++i)
    if (menu->Items(i)->Owner() == this) return;
  auto* item = new TMenuItem(this);
  item->SetName(FForm->Name() + kChildItemMark);
  item->SetCaption(FForm->Caption());
  item->OnClick = [this](TObject* Sender) { ChildMenuItemClick(Sender); };
  menu->Add(item);
}

void TskSkinnedForm::DeleteChildMenuItem() {
  TCustomForm* frame = MDIFrame();
  TMenuItem* menu = frame ? frame->WindowMenu() : nullptr;
  if (!menu) return;
  TMenuItem* mine = nullptr;
  for (int i = 0; i < menu->Count() && !mine; ++i)
    if (IsChildItem(menu->Items(i)) && ItemChild(menu->Items(i), frame) == FForm)
      mine = menu->Items(i);
  if (mine) {
    menu->Remove(mine);
    delete mine;
  }
  if (VisibleMDIChildCount(frame) == 0)
    for (int i = 0; i < menu->Count(); ++i)
      if (IsChildItem(menu->Items(i))) {
        TMenuItem* stray = menu->Items(i);
        menu->Remove(stray);
        delete stray;
        break;
      }
}

void TskSkinnedForm::UpdateChildMenuItemCaption() {
  TCustomForm* frame = MDIFrame();
  TMenuItem* menu = frame ? frame->WindowMenu() : nullptr;
  if (!menu) return;
  for (int i = 0; i < menu->Count(); ++i)
    if (IsChildItem(menu->Items(i)) && ItemChild(menu->Items(i), frame) == FForm)
      menu->Items(i)->SetCaption(FForm->Caption());
}

void TskSkinnedForm::CheckActiveChildMenuItem() {
  TCustomForm* frame = MDIFrame();
  TMenuItem* menu = frame ? frame->WindowMenu() : nullptr;
  if (!menu) return;
  TCustomForm* active = frame->ActiveMDIChild();
  for (int i = 0; i < menu->Count(); ++i)
    if (IsChildItem(menu->Items(i)))
      menu->Items(i)->SetChecked(active && ItemChild(menu->Items(i), frame) == active);
}

void TskSkinnedForm::ChildMenuItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TCustomForm* child = item ? ItemChild(item, MDIFrame()) : nullptr;
  if (!child) return;
  if (TskSkinnedForm* sf = GetSkinFormOf(child); sf && sf->WindowState() == 1)
    sf->SetWindowState(0);
  child->Show();
}

bool TskSkinnedForm::MDIStage(TMessage& M) {
  TFormStyle st = FForm->FormStyle();
  if (st == fsMDIForm) {
    switch (M.Msg) {
    case WM_ERASEBKGND:
      // The MDI client covers the frame's client.
      M.Result = 1;
      return true;
    case WM_SHOWWINDOW:
      if (M.WParam) HookMDIClient();
      return false;
    default:
      break;
    }
    if (M.Msg == WM_SKINMDICHILDMAXIMIZED || M.Msg == WM_SKINMDICHILDRESTORED) {
      FMDIChildMaximized = GetMaximizedChild() != nullptr;
      // The skin's caption shows the maximized child too.
      for (auto& o : FObjects)
        if (auto* c = dynamic_cast<TskSkinCaptionObject*>(o.get()); c && c->DefaultCaption)
          c->Text = FrameCaptionText();
      SendNCPaint();
      if (FMainMenuBar && M.Msg == WM_SKINMDICHILDMAXIMIZED) FMainMenuBar->MDIChildMaximized();
      if (FMainMenuBar && M.Msg == WM_SKINMDICHILDRESTORED) FMainMenuBar->MDIChildRestored();
      return true;
    }
    if (M.Msg == WM_ACTIVATE) RefreshMainMenuBar();
    if (M.Msg == WM_SKINAFTERCHANGE) {
      ResizeMDIChildren();
      return false;
    }
    return false;
  }
  if (st != fsMDIChild) return false;
  // The tab bar of the main form's skinned form.
  TskSkinnedForm* mainSkin = Application ? GetSkinFormOf(Application->MainForm()) : nullptr;
  TskSkinMDITabsBar* tabs = mainSkin ? mainSkin->MDITabsBar() : nullptr;
  switch (M.Msg) {
  case WM_SHOWWINDOW:
    FOldWindowProc(M);
    if (M.WParam)
      AddChildMenuItem();
    else
      DeleteChildMenuItem();
    if (tabs && M.WParam)
      tabs->AddTab(FForm);
    else if (tabs)
      tabs->DeleteTab(FForm);
    return true;
  case WM_SETTEXT:
    FOldWindowProc(M);
    UpdateCaptionText();
    UpdateChildMenuItemCaption();
    if (tabs) tabs->RedrawTab(FForm);
    if (HasBorder()) SendNCPaint();
    return true;
  case WM_NCACTIVATE:
    FNCActive = M.WParam != 0;
    FOldWindowProc(M);
    if (FWindowState == 2) {
      UpdateActivation(false);
      if (TCustomForm* frame = MDIFrame()) SendMessageW(frame->Handle(), WM_NCPAINT, 1, 0);
    } else {
      if (HasBorder()) SendNCPaint();
      UpdateActivation(true);
    }
    CheckActiveChildMenuItem();
    if (TskSkinnedForm* fsf = GetSkinFormOf(MDIFrame())) fsf->RefreshMainMenuBar();
    if (tabs) tabs->UpdateActiveTab();
    return true;
  case WM_MOUSEACTIVATE:
    // The active child of an inactive frame is clicked.
    if (TCustomForm* frame = MDIFrame(); frame && frame->ActiveMDIChild() == FForm && !FNCActive) {
      FNCActive = true;
      UpdateActivation(FWindowState != 2);
    }
    return false;
  case WM_DESTROY:
    StopTimers();
    DeleteChildMenuItem();
    // A child destroyed without being hidden first leaves no tab behind.
    if (tabs) {
      tabs->DeleteTab(FForm);
      tabs->UpdateActiveTab();
    }
    FWindowState = 0;
    if (TCustomForm* frame = MDIFrame(); frame && frame->HandleAllocated())
      PostMessageW(frame->Handle(), WM_SKINMDICHILDRESTORED, 0, 0);
    if (TskSkinnedForm* fsf = GetSkinFormOf(MDIFrame())) fsf->RefreshMainMenuBar();
    return false;
  default:
    break;
  }
  if (M.Msg == WM_SKINMDICHILDRESIZE) {
    if (FWindowState == 2) {
      RECT a = GetMDIAreaRect();
      FForm->SetBounds(0, 0, RectWidth(a), RectHeight(a));
    }
    return true;
  }
  return false;
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

void TskSkinnedForm::SetMDITabsBar(TskSkinMDITabsBar* Value) {
  if (FMDITabsBar) FMDITabsBar->RemoveFreeNotification(this);
  FMDITabsBar = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinnedForm::SetSkinHint(TskSkinHint* Value) {
  FSkinHint = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinnedForm::SetStatusBar(TskSkinStatusBar* Value) {
  if (FStatusBar) FStatusBar->RemoveFreeNotification(this);
  FStatusBar = Value;
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

void TskSkinnedForm::SetMainMenuBar(TskSkinMainMenuBar* Value) {
  if (FMainMenuBar && FMainMenuBar != Value) FMainMenuBar->RemoveFreeNotification(this);
  FMainMenuBar = Value;
  if (Value) Value->FreeNotification(this);
}

void TskSkinnedForm::RefreshMainMenuBar() {
  if (FMainMenuBar &&
      (FMainMenuBar->Merged() || FMainMenuBar->ButtonsShown() || FMainMenuBar->GetChildMainMenu()))
    FMainMenuBar->UpdateItems();
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
  if (Name == L"DSF_MINITEM") {
    if (AlwaysMinimizeToTray)
      MinimizeToTray();
    else
      SetWindowState(1);
  } else if (Name == L"DSF_MINTOTRAY") {
    MinimizeToTray();
  } else if (Name == L"TRAY_DSF_RESTORE") {
    RestoreFromTray();
  } else if (Name == L"DSF_MAXITEM") {
    SetWindowState(2);
  } else if (Name == L"DSF_RESTORE") {
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
  FTrayMenu->ComponentForm = FForm;
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
  // An MDI child's menu is shown by the frame's skinned form (none without one).
  TskSkinnedForm* host = this;
  if (FForm->FormStyle() == fsMDIChild) {
    host = MDIFrame() ? GetSkinFormOf(MDIFrame()) : nullptr;
    if (!host) return;
  }
  if (!host->FSkinMenu) return;
  TMenuItem* root = GetSystemMenuItems();
  host->SkinMenuOpen();
  host->FSkinMenu->Popup(nullptr, host->MenuSkin(), 0, TRect(R), root, false);
}

void TskSkinnedForm::ShowSystemMenuAtButton() {
  if (DisableSystemMenu) return;
  for (auto& o : FObjects) {
    auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get());
    auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get());
    if ((b && b->Command == cmSysMenu && b->Enabled) ||
        (a && a->Command == cmSysMenu && a->Enabled)) {
      PopupSystemMenuRect(ObjectScreenRect(o->ObjectRect));
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
    if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get()); a && a->MenuShown) {
      // The button plays back from its last frame.
      a->Active = true;
      a->CurrentFrame = a->CountFrames;
      a->Pressed = false;
      a->MenuShown = false;
      a->Forward = false;
      StartAnimateTimer();
      break;
    }
  }
  UnhookAppMessages();
  if (OnSkinMenuClose) OnSkinMenuClose(this);
  if (FMainMenuMode) {
    FMainMenuMode = false;
    if (FMainMenuBar) FMainMenuBar->MainMenuExit();
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
  if (FMainMenuBar) {
    FMainMenuBar->MainMenuExit();
  } else {
    for (TskSkinMainMenuItem* m : MainMenuItems())
      if (m->Active) {
        m->MouseLeave();
        break;
      }
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
  if (FMainMenuBar) return FMainMenuBar->HandleAccelKey(Key);
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
    if (FMainMenuBar)
      FMainMenuBar->SelectPriorItem();
    else
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
      if (FMainMenuBar)
        FMainMenuBar->SelectNextItem();
      else
        NextMainMenuItem();
      return;
    }
  }
  if ((Key == VK_RETURN || Key == VK_DOWN) && FMainMenuBar) {
    if (FMainMenuBar->ClickActiveItem()) return;
  } else if (Key == VK_RETURN || Key == VK_DOWN) {
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
    if (FMainMenuBar) FMainMenuBar->ReleaseDownItem();
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
  TMainMenu* menu = FMainMenuBar && FMainMenuBar->MainMenu() ? FMainMenuBar->MainMenu() : FMainMenu;
  if (menu) {
    if (altAlone && key != VK_F4 && MainMenuAccel(key)) {
      Handled = true;
      return;
    }
    FLastShortCut = menu->IsShortCut(Msg);
    Handled = FLastShortCut;
  }
  // The merged child menu's shortcuts.
  if (!Handled && FMainMenuBar)
    if (TMainMenu* child = FMainMenuBar->GetChildMainMenu()) {
      FLastShortCut = child->IsShortCut(Msg);
      Handled = FLastShortCut;
    }
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
    if ((M.WParam & 0xFFF0) != SC_KEYMENU || (!FSkinActive && !FMainMenuBar)) return false;
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
      if (FMainMenuBar)
        FMainMenuBar->MainMenuEnter();
      else
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
