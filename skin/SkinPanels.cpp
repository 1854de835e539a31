#include "skin/SkinPanels.h"

#include <algorithm>

namespace {

bool IsDesigning(TComponent* C) {
  return (C->ComponentState() & csDesigning) != 0;
}

// A one-pixel bevel: Light on the top and left lines, Dark on the bottom and
// right lines; R shrinks by one pixel on every side.
void Frame3D(TCanvas* C, TRect& R, TColor Light, TColor Dark) {
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(Light);
  C->MoveTo(R.Left, R.Bottom - 1);
  C->LineTo(R.Left, R.Top);
  C->LineTo(R.Right - 1, R.Top);
  C->Pen()->SetColor(Dark);
  C->LineTo(R.Right - 1, R.Bottom - 1);
  C->LineTo(R.Left - 1, R.Bottom - 1);
  R.Inflate(-1, -1);
}

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2) {
  C->MoveTo(X1, Y1);
  C->LineTo(X2, Y2);
}

// A part of a picture drawn with the colour of its bottom-left pixel left out.
void DrawPicturePartTransparent(HDC DC, int X, int Y, const TskPicture& Pic, const RECT& Src) {
  if (!SkinRectInPicture(Src, &Pic)) return;
  HDC mem = CreateCompatibleDC(DC);
  HGDIOBJ old = SelectObject(mem, Pic.Handle());
  COLORREF key = Pic.Pixel(Src.left, Src.bottom - 1);
  TransparentBlt(DC, X, Y, RectWidth(Src), RectHeight(Src), mem, Src.left, Src.top, RectWidth(Src),
                 RectHeight(Src), key);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void DrawPicturePart(HDC DC, int X, int Y, const TskPicture& Pic, const RECT& Src,
                     bool Transparent = false, COLORREF Key = 0) {
  if (!SkinRectInPicture(Src, &Pic)) return;
  HDC mem = CreateCompatibleDC(DC);
  HGDIOBJ old = SelectObject(mem, Pic.Handle());
  if (Transparent)
    TransparentBlt(DC, X, Y, RectWidth(Src), RectHeight(Src), mem, Src.left, Src.top,
                   RectWidth(Src), RectHeight(Src), Key);
  else
    BitBlt(DC, X, Y, RectWidth(Src), RectHeight(Src), mem, Src.left, Src.top, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

} // namespace

// ---------------------------------------------------------------------------
// TskSkinPanel

TskSkinPanel::TskSkinPanel(TComponent* AOwner)
    : TskSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks |
                  csSetCaption | csOpaque | csReplicatable;
  FSkinDataName = L"panel";
  FPaintFrameOnly = true;
  FNewClientRect = RECT{0, 0, 0, 0};
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
  SetBounds(Left(), Top(), 150, 150);
}

TskSkinPanel::~TskSkinPanel() {
  FGlyph->OnChange = nullptr;
  SetCaptionImageList(nullptr);
}

void TskSkinPanel::SetImagePosition(TskImagePosition Value) {
  if (FImagePosition == Value) return;
  FImagePosition = Value;
  Invalidate();
}

void TskSkinPanel::SetTransparentMode(bool Value) {
  if (FTransparentMode == Value) return;
  FTransparentMode = Value;
  Invalidate();
  if (!(ComponentState() & (csDesigning | csLoading))) BroadcastAlphaRepaint();
}

void TskSkinPanel::SetCaptionImageList(TCustomImageList* Value) {
  if (FCaptionImageList == Value) return;
  if (FCaptionImageList) FCaptionImageList->RemoveFreeNotification(this);
  FCaptionImageList = Value;
  if (Value) Value->FreeNotification(this);
  Invalidate();
}

void TskSkinPanel::SetCaptionImageIndex(int Value) {
  if (FCaptionImageIndex == Value) return;
  FCaptionImageIndex = Value;
  Invalidate();
}

void TskSkinPanel::SetCheckedMode(bool Value) {
  FCheckedMode = Value;
  Invalidate();
}

void TskSkinPanel::SetChecked(bool Value) {
  FChecked = Value;
  if (FCheckedMode) Invalidate();
  if (FAutoEnabledControls && FCheckedMode)
    for (int i = 0; i < ControlCount(); ++i)
      Controls(i)->SetEnabled(Value);
  if (OnChecked) OnChecked(this);
}

void TskSkinPanel::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Invalidate();
}

void TskSkinPanel::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 2);
  Invalidate();
}

void TskSkinPanel::SetSpacing(int Value) {
  FSpacing = Value;
  Invalidate();
}

void TskSkinPanel::SetDefaultAlignment(TAlignment Value) {
  FDefaultAlignment = Value;
  if (!HasEntry() && FCaptionMode) Invalidate();
}

void TskSkinPanel::SetDefaultCaptionHeight(int Value) {
  FDefaultCaptionHeight = Value;
  if (!HasEntry() && FCaptionMode) {
    Invalidate();
    Realign();
  }
}

void TskSkinPanel::SetBorderStyle(TskSkinBorderStyle Value) {
  FBorderStyle = Value;
  if (!HasEntry()) {
    Invalidate();
    Realign();
  }
}

void TskSkinPanel::SetCaptionMode(bool Value) {
  FCaptionMode = Value;
  Invalidate();
  Realign();
}

void TskSkinPanel::SetRollUpMode(bool Value) {
  FRollUpMode = Value;
  if (!HasEntry() && FCaptionMode) Invalidate();
}

void TskSkinPanel::SetAlphaBlend(bool Value) {
  FAlphaBlend = Value;
  Invalidate();
}

void TskSkinPanel::SetAlphaBlendValue(BYTE Value) {
  FAlphaBlendValue = Value;
  Invalidate();
}

void TskSkinPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TskSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!HasEntry()) Invalidate();
}

void TskSkinPanel::Notification(TComponent* AComponent, TOperation Operation) {
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCaptionImageList) FCaptionImageList = nullptr;
}

bool TskSkinPanel::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (FInRollSizing && FRollUpMode && AutoSize()) return false;
  return TskSkinCustomControl::CanAutoSize(NewWidth, NewHeight);
}

void TskSkinPanel::CreateParams(TCreateParams& Params) {
  TskSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TskSkinPanel::ReadSkinEntry() {
  TskSkinCustomControl::ReadSkinEntry();
  if (!HasEntry()) return;
  auto* e = dynamic_cast<TskDataSkinPanelControl*>(FSkinData->ControlAt(FEntryIndex));
  if (!e) return;
  FBGPictureIndex = e->BGPictureIndex;
  FCaptionRect = e->CaptionRect;
  FAlignment = e->Alignment;
  FFontName = e->FontName;
  FFontHeight = e->FontHeight;
  FFontStyle = e->FontStyle;
  FFontColor = e->FontColor;
  FCheckImageRect = e->CheckImageRect;
  FUnCheckImageRect = e->UnCheckImageRect;
  FMarkFrameRect = e->MarkFrameRect;
  FFrameRect = e->FrameRect;
  FFrameTextRect = e->FrameTextRect;
  FFrameLeftOffset = e->FrameLeftOffset;
  FFrameRightOffset = e->FrameRightOffset;
  int w = Width(), h = Height();
  FitSizeToSkin(w, h);
}

void TskSkinPanel::SetCaptionFont(TFont* F) const {
  SetSkinFont(F, FFontName, FFontHeight, FFontStyle);
}

int TskSkinPanel::CaptionTextHeight() {
  TBitmap b;
  b.SetSize(1, 1);
  SetCaptionFont(b.Canvas()->Font());
  return b.Canvas()->TextHeight(L"Wq");
}

void TskSkinPanel::GetAdjustedClientRect(TRect& Rect) {
  Rect = TRect(0, 0, Width(), Height());
  AdjustClientRect(Rect);
}

void TskSkinPanel::AdjustClientRect(TRect& Rect) {
  TskSkinCustomControl::AdjustClientRect(Rect);
  ReadSkinEntry();
  if (HasEntry() && FTransparentMode) {
    int top = FCaptionMode ? CaptionTextHeight() : 2;
    Rect = TRect(2, top, Width() - 2, Height() - 2);
  } else if (!HasEntry() || IsDesigning(this)) {
    if (FBorderStyle != TskSkinBorderStyle::bvNone) Rect.Inflate(-1, -1);
    if (FCaptionMode) Rect.Top += FDefaultCaptionHeight;
  } else if (FBGPictureIndex == -1 &&
             !(FBorderStyle == TskSkinBorderStyle::bvNone && !FCaptionMode && FResizeMode == 1)) {
    Rect = FNewClientRect;
  }
}

bool TskSkinPanel::HasCaptionImage() const {
  if (!FGlyph->Empty()) return true;
  return FCaptionImageList && FCaptionImageIndex >= 0 &&
         FCaptionImageIndex < FCaptionImageList->Count();
}

int TskSkinPanel::CaptionImageWidth() const {
  if (!FGlyph->Empty()) return FGlyph->Width() / FNumGlyphs;
  return HasCaptionImage() ? FCaptionImageList->Width() : 0;
}

int TskSkinPanel::CaptionImageHeight() const {
  if (!FGlyph->Empty()) return FGlyph->Height();
  return HasCaptionImage() ? FCaptionImageList->Height() : 0;
}

void TskSkinPanel::DrawCaptionImage(TCanvas* C, int X, int Y) {
  if (!FGlyph->Empty())
    DrawGlyph(C, X, Y, !Enabled() && FNumGlyphs == 2 ? 2 : 1, FNumGlyphs, FGlyph.get());
  else if (HasCaptionImage())
    FCaptionImageList->Draw(C, X, Y, FCaptionImageIndex, Enabled());
}

void TskSkinPanel::DrawCheckImage(TCanvas* C, int X, const TRect& R, int& Width) {
  RECT src = FChecked ? FCheckImageRect : FUnCheckImageRect;
  Width = 0;
  if (!FPicture || !SkinRectInPicture(src, FPicture)) return;
  Width = RectWidth(src);
  int y = R.Top + (R.Height() - RectHeight(src)) / 2;
  DrawPicturePartTransparent(C->Handle(), X, y, *FPicture, src);
}

TColor TskSkinPanel::LineColor() const {
  if (!FPicture) return clBtnShadow;
  return FPicture->Pixel(FSkinRect.left + RectWidth(FSkinRect) / 2, FSkinRect.bottom - 1);
}

void TskSkinPanel::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  ReadSkinEntry();
  bool entry = HasEntry();
  if (entry && FTransparentMode) {
    PaintTransparentLook(FCaptionMode);
    return;
  }
  if (!entry || (!FPaintFrameOnly && FStretchEffect)) {
    TskSkinCustomControl::Paint();
    return;
  }
  if (FBorderStyle == TskSkinBorderStyle::bvNone && FResizeMode == 1 && !FCaptionMode &&
      FPaintFrameOnly && !FAlphaBlend) {
    PaintClientTile(Canvas()->Handle());
    return;
  }
  if (FBGPictureIndex == -1) {
    TskSkinCustomControl::Paint();
    // The frame-only painting draws the borders straight on the canvas: the
    // caption goes on top of them.
    if (FPaintFrameOnly && FResizeMode == 1 && !FAlphaBlend && FCaptionMode)
      PaintSkinCaption(Canvas());
    return;
  }
  PaintBackgroundPicture(Canvas()->Handle());
}

void TskSkinPanel::PaintClientTile(HDC DC) {
  RECT cr = FSkinClientRect;
  OffsetRect(&cr, FSkinRect.left, FSkinRect.top);
  TskPicture tile = CutPart(*FPicture, cr);
  FillWithTile(DC, TRect(0, 0, Width(), Height()), tile, FStretchEffect, FStretchType);
}

void TskSkinPanel::PaintBackgroundPicture(HDC DC) {
  const TskPicture* bg = FSkinData->ActivePicture(FBGPictureIndex);
  if (!bg || bg->Empty()) {
    TskSkinCustomControl::Paint();
    return;
  }
  TRect r(0, 0, Width(), Height());
  if (FStretchEffect && FStretchType == stFull) r = FNewClientRect;
  FillWithTile(DC, r, *bg, FStretchEffect, FStretchType);
}

void TskSkinPanel::PaintTransparentLook(bool GroupBox) {
  TBitmap b;
  b.SetSize(Width(), Height());
  TCanvas* C = b.Canvas();
  PaintParentBackground(this, C);
  TColor line = LineColor();
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(line);
  C->Brush()->SetStyle(bsClear);
  if (!GroupBox) {
    if (FBorderStyle != TskSkinBorderStyle::bvNone) C->Rectangle(0, 0, Width(), Height());
  } else {
    SetCaptionFont(C->Font());
    int th = C->TextHeight(L"Wq");
    TRect cr(5, 0, Width(), th + 5);
    FCaptionHitRect = cr;
    int x = cr.Left;
    if (FCheckedMode) {
      int w = 0;
      DrawCheckImage(C, x, cr, w);
      if (w > 0) x += w + 5;
    }
    int imgX = x, imgW = 0;
    if (HasCaptionImage()) {
      imgW = CaptionImageWidth();
      x += imgW + 2;
    }
    cr = TRect(x, 0, Width(), th + 5);
    TColor color = FSkinData->SkinColors.cBtnText;
    if (auto* l = FSkinData->FindControl<TskDataSkinStdLabelControl>(L"stdlabel"))
      color = l->FontColor;
    C->Font()->SetColor(color);
    C->Brush()->SetStyle(bsClear);
    DrawTextSingleLine(C->Handle(), Caption(), cr);
    int W = Caption().empty() ? 0 : C->TextWidth(Caption());
    if (imgW > 0) DrawCaptionImage(C, imgX, cr.Top + (cr.Height() - CaptionImageHeight()) / 2);
    int h = cr.Height() / 2;
    int lineFrom = x + W + 3;
    if (FRollUpMode) {
      DrawArrow(C->Handle(), MakeRect(x + W + 3, cr.Top, x + W + 10, cr.Bottom), ColorToRGB(color),
                FRollUpState ? 4 : 3);
      lineFrom = x + W + 12;
    }
    C->Pen()->SetColor(line);
    Line(C, lineFrom, h, Width(), h);
    Line(C, 0, h, 4, h);
    C->MoveTo(Width() - 1, h);
    C->LineTo(Width() - 1, Height() - 1);
    C->LineTo(0, Height() - 1);
    C->LineTo(0, h);
  }
  PaintTransparentExtras(C);
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), C->Handle(), 0, 0, SRCCOPY);
}

void TskSkinPanel::PaintDefaultImage(TBitmap* Bitmap) {
  TskSkinCustomControl::PaintDefaultImage(Bitmap);
  TCanvas* C = Bitmap->Canvas();
  TRect r(0, 0, Bitmap->Width(), Bitmap->Height());
  switch (FBorderStyle) {
  case TskSkinBorderStyle::bvFrame:
    Frame3D(C, r, clBtnShadow, clBtnShadow);
    break;
  case TskSkinBorderStyle::bvRaised:
    Frame3D(C, r, clBtnHighlight, clBtnShadow);
    break;
  case TskSkinBorderStyle::bvLowered:
    Frame3D(C, r, clBtnShadow, clBtnHighlight);
    break;
  default:
    break;
  }
  if (!FCaptionMode) return;
  TRect cr;
  if (FBorderStyle == TskSkinBorderStyle::bvFrame) {
    cr = TRect(0, 0, Width(), FDefaultCaptionHeight);
    Frame3D(C, cr, clBtnShadow, clBtnShadow);
    Frame3D(C, cr, clBtnHighlight, clBtnFace);
  } else {
    cr = TRect(1, 1, Width() - 1, FDefaultCaptionHeight);
    Frame3D(C, cr, clBtnShadow, clBtnHighlight);
    Frame3D(C, cr, clBtnHighlight, clBtnShadow);
  }
  if (FCheckedMode) cr.Left += 20;
  if (FRollUpMode) cr.Right -= 10;
  C->Font()->Assign(DefaultFont());
  ApplyCharset(C->Font(), DefaultFont());
  std::wstring text = Caption();
  int tw = text.empty() ? 0 : C->TextWidth(text);
  int th = C->TextHeight(L"Wq");
  int cw = tw;
  if (!FGlyph->Empty()) cw += FGlyph->Width() / FNumGlyphs + FSpacing;
  int x;
  switch (FDefaultAlignment) {
  case taRightJustify:
    x = cr.Right - cw;
    break;
  case taCenter:
    x = cr.Left + 2 + cr.Width() / 2 - cw / 2;
    break;
  default:
    x = cr.Left + 2;
    break;
  }
  int y = cr.Top + (cr.Height() - th) / 2;
  if (FCheckedMode) {
    int sy = cr.Top + (cr.Height() - 14) / 2;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(TRect(5, sy, 19, sy + 14));
    if (FChecked) DrawCheckMark(C->Handle(), 5 + 4, sy + 3, ColorToRGB(clBtnText));
  }
  int imgX = x;
  bool image = HasCaptionImage();
  if (image) x += CaptionImageWidth() + FSpacing;
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetColor(DefaultFont()->Color());
  if (!text.empty()) C->TextRect(cr, x, y, text);
  if (image) DrawCaptionImage(C, imgX, cr.Top + (cr.Height() - CaptionImageHeight()) / 2);
  if (FRollUpMode)
    DrawArrow(C->Handle(), MakeRect(cr.Right, cr.Top, cr.Right + 10, cr.Bottom),
              ColorToRGB(clBtnText), FRollUpState ? 4 : 3);
}

void TskSkinPanel::PaintSkinImage(TBitmap* Bitmap) {
  if (FBorderStyle == TskSkinBorderStyle::bvNone && FResizeMode == 1 && !FCaptionMode &&
      !FStretchEffect) {
    RECT cr = FSkinClientRect;
    OffsetRect(&cr, FSkinRect.left, FSkinRect.top);
    TskPicture tile = CutPart(*FPicture, cr);
    FillWithTile(Bitmap->Canvas()->Handle(), TRect(0, 0, Bitmap->Width(), Bitmap->Height()), tile,
                 false, stFull);
    return;
  }
  TskSkinCustomControl::PaintSkinImage(Bitmap);
  PaintSkinCaption(Bitmap->Canvas());
}

void TskSkinPanel::PaintSkinCaption(TCanvas* C) {
  RECT cap = FCaptionRect;
  if (FResizeMode >= 1 && FResizeMode <= 3) cap = MapSkinRect(cap);
  TRect r(cap);
  FCaptionHitRect = r;
  std::wstring text = Caption();
  if (text.empty() || r.IsEmpty()) return;
  if (FRollUpMode) r.Right -= 12;
  if (FCheckedMode) {
    int w = 0;
    DrawCheckImage(C, r.Left, r, w);
    if (w > 0) r.Left += w + 2;
  }
  SetCaptionFont(C->Font());
  C->Font()->SetColor(FFontColor);
  int tw = C->TextWidth(text), th = C->TextHeight(text);
  bool image = HasCaptionImage();
  int iw = image ? CaptionImageWidth() : 0;
  int cw = tw + (image ? iw + FSpacing : 0);
  int x;
  switch (FAlignment) {
  case taRightJustify:
    x = r.Right - cw;
    break;
  case taCenter:
    x = r.Left + r.Width() / 2 - cw / 2;
    break;
  default:
    x = r.Left;
    break;
  }
  int imgX = x;
  if (image) {
    if (FImagePosition == skipDefault) {
      imgX = x;
      x += iw + FSpacing;
    } else {
      imgX = r.Left + 2;
      switch (FAlignment) {
      case taRightJustify:
        x = r.Right - tw;
        break;
      case taCenter:
        x = r.Left + r.Width() / 2 - tw / 2;
        break;
      default:
        x = r.Left + 2 + iw + FSpacing;
        break;
      }
      x = std::max(x, imgX + iw + FSpacing);
    }
  }
  HDC dc = C->Handle();
  if (FRollUpMode) {
    TRect ar(r.Right, r.Top, r.Right + 10, r.Bottom);
    if (SkinRectInPicture(FMarkFrameRect, FPicture))
      DrawPictureRect(dc,
                      MakeRect(ar.Left, ar.Top, ar.Left + RectWidth(FMarkFrameRect),
                               FCaptionRect.top + RectHeight(FMarkFrameRect)),
                      *FPicture, FMarkFrameRect);
    DrawArrow(dc, ar, ColorToRGB(FFontColor), FRollUpState ? 4 : 3);
  }
  if (!IsNullRect(FFrameRect)) {
    int nonText = RectWidth(FFrameRect) - RectWidth(FFrameTextRect);
    TskPicture strip;
    CreateHSkinImage(FFrameLeftOffset, FFrameRightOffset, strip, false, tw + nonText, FFrameRect,
                     *FPicture);
    int fx;
    int textLeft = FFrameTextRect.left - FFrameRect.left;
    switch (FAlignment) {
    case taRightJustify:
      fx = x - nonText;
      x += textLeft - nonText;
      imgX -= nonText;
      break;
    case taCenter:
      fx = x - textLeft - 2;
      imgX -= textLeft;
      x += 2;
      break;
    default:
      fx = x;
      x += textLeft;
      break;
    }
    DrawPicture(dc, fx, cap.top, strip);
  }
  C->Brush()->SetStyle(bsClear);
  C->TextRect(r, x, r.Top + (r.Height() - th) / 2, text);
  if (image) DrawCaptionImage(C, imgX, r.Top + (r.Height() - CaptionImageHeight()) / 2);
}

void TskSkinPanel::ApplyControlSkin() {
  TskSkinCustomControl::ApplyControlSkin();
  if (!FRollUpState || FRealHeight == -1) {
    Realign();
    return;
  }
  // The rolled height of the new skin; RealHeight keeps the full height.
  FInRollSizing = true;
  SetHeight(RolledHeight());
  FInRollSizing = false;
}

void TskSkinPanel::RepaintForAlpha() {
  if (!FTransparentMode && !FAlphaBlend) return;
  Repaint();
  BroadcastAlphaRepaint();
}

int TskSkinPanel::RolledHeight() {
  ReadSkinEntry();
  if (!HasEntry()) return FDefaultCaptionHeight + 1;
  return Height() - RectHeight(FNewClientRect);
}

void TskSkinPanel::RollSizing() {
  FInRollSizing = true;
  if (FRollUpState) {
    if (FRealHeight == -1) {
      FRealHeight = Height();
      DisableAlign();
      FRolledHidden.clear();
      for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible()) {
          FRolledHidden.push_back(Controls(i));
          Controls(i)->SetVisible(false);
        }
      SetHeight(RolledHeight());
    }
  } else if (FRealHeight != -1) {
    SetHeight(FRealHeight);
    FRealHeight = -1;
    // Only the children the roll-up hid come back.
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (std::find(FRolledHidden.begin(), FRolledHidden.end(), c) != FRolledHidden.end())
        c->SetVisible(true);
    }
    FRolledHidden.clear();
    EnableAlign();
  }
  FInRollSizing = false;
}

void TskSkinPanel::SetRollUpState(bool Value) {
  if (FRollUpState == Value) return;
  TSizeConstraints* c = Constraints();
  auto restore = [&] {
    c->SetMaxWidth(FSavedMaxWidth);
    c->SetMinWidth(FSavedMinWidth);
    c->SetMaxHeight(FSavedMaxHeight);
    c->SetMinHeight(FSavedMinHeight);
  };
  if (!FRollUpMode) {
    restore();
    FRollUpState = false;
    return;
  }
  if (Value) {
    FSavedMaxWidth = c->MaxWidth();
    FSavedMinWidth = c->MinWidth();
    FSavedMaxHeight = c->MaxHeight();
    FSavedMinHeight = c->MinHeight();
    c->SetMaxWidth(0);
    c->SetMinWidth(0);
    c->SetMaxHeight(0);
    c->SetMinHeight(0);
  }
  FRollUpState = Value;
  RollSizing();
  // The limits the roll-up lifted hold again once the panel is down.
  if (!Value) restore();
  Invalidate();
  if (OnChangeRollUpState) OnChangeRollUpState(this);
}

void TskSkinPanel::CMTextChanged(TMessage& Message) {
  TskSkinCustomControl::CMTextChanged(Message);
  if (FCaptionMode) Invalidate();
}

void TskSkinPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FCaptionMode && (FCheckedMode || FRollUpMode)) {
    TRect hit = HasEntry() ? FCaptionHitRect : TRect(1, 1, Width() - 1, FDefaultCaptionHeight);
    if (hit.Contains(TPoint(X, Y))) {
      if (FCheckedMode) SetChecked(!FChecked);
      if (FRollUpMode) SetRollUpState(!FRollUpState);
    }
  }
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TskSkinPanel::WndProc(TMessage& m) {
  if (m.Msg == WM_MOVE) {
    TskSkinCustomControl::WndProc(m);
    if (FTransparentMode) {
      Invalidate();
      BroadcastAlphaRepaint();
    }
    return;
  }
  TskSkinCustomControl::WndProc(m);
}

// ---------------------------------------------------------------------------
// TskSkinStatusBar

TskSkinStatusBar::TskSkinStatusBar(TComponent* AOwner) : TskSkinPanel(AOwner) {
  FSkinDataName = L"statusbar";
  SetAlign(alBottom);
  SetHeight(21);
  SetBorderStyle(TskSkinBorderStyle::bvNone);
  FPaintFrameOnly = false;
}

void TskSkinStatusBar::SetSizeGrip(bool Value) {
  FSizeGrip = Value;
  Invalidate();
  Realign();
}

void TskSkinStatusBar::SetGripVisible(bool Visible) {
  FGripVisible = Visible;
  Repaint();
  Realign();
}

void TskSkinStatusBar::SetSkinData(TskSkinData* Value) {
  TskSkinPanel::SetSkinData(Value);
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* c = dynamic_cast<TskSkinControl*>(Controls(i))) c->SetSkinData(Value);
}

void TskSkinStatusBar::ReadSkinEntry() {
  TskSkinPanel::ReadSkinEntry();
  if (!HasEntry()) return;
  if (auto* e = dynamic_cast<TskDataSkinPanelControl*>(FSkinData->ControlAt(FEntryIndex))) {
    FGripperRect = e->GripperRect;
    FGripperTransparent = e->GripperTransparent;
    FGripperTransparentColor = e->GripperTransparentColor;
  }
}

void TskSkinStatusBar::AdjustClientRect(TRect& Rect) {
  TskSkinPanel::AdjustClientRect(Rect);
  if (!GripShown()) return;
  if (HasEntry() && !IsNullRect(FGripperRect))
    Rect.Right -= RectWidth(FGripperRect);
  else
    Rect.Right -= Rect.Height();
}

TRect TskSkinStatusBar::GripRect() {
  TRect r;
  GetAdjustedClientRect(r);
  if (HasEntry() && !IsNullRect(FGripperRect))
    return TRect(r.Right, r.Bottom - RectHeight(FGripperRect), r.Right + RectWidth(FGripperRect),
                 r.Bottom);
  return TRect(r.Right + 2, r.Top, r.Right + r.Height(), r.Bottom - 2);
}

void TskSkinStatusBar::DrawGripLines(TCanvas* C, const TRect& R, TColor Shadow, TColor Highlight) {
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  for (int d = 3; R.Left + d + 2 <= R.Right; d += 3) {
    C->Pen()->SetColor(Shadow);
    Line(C, R.Left + d, R.Bottom, R.Right, R.Top + d);
    C->Pen()->SetColor(Highlight);
    Line(C, R.Left + d + 1, R.Bottom, R.Right, R.Top + d + 1);
  }
}

void TskSkinStatusBar::PaintDefaultImage(TBitmap* Bitmap) {
  TskSkinPanel::PaintDefaultImage(Bitmap);
  if (GripShown()) DrawGripLines(Bitmap->Canvas(), GripRect(), clBtnShadow, clBtnHighlight);
}

void TskSkinStatusBar::PaintSkinImage(TBitmap* Bitmap) {
  TskSkinPanel::PaintSkinImage(Bitmap);
  if (!GripShown()) return;
  TRect g = GripRect();
  if (IsNullRect(FGripperRect) || !FPicture) {
    DrawGripLines(Bitmap->Canvas(), g, FSkinData->SkinColors.cBtnShadow,
                  FSkinData->SkinColors.cBtnHighLight);
    return;
  }
  DrawPicturePart(Bitmap->Canvas()->Handle(), g.Left, g.Top, *FPicture, FGripperRect,
                  FGripperTransparent, ColorToRGB(FGripperTransparentColor));
}

void TskSkinStatusBar::WndProc(TMessage& m) {
  if (m.Msg == WM_NCHITTEST && !IsDesigning(this) && GripShown()) {
    POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    ::ScreenToClient(FHandle, &p);
    m.Result = GripRect().Contains(TPoint(p.x, p.y)) ? HTBOTTOMRIGHT : HTCLIENT;
    return;
  }
  TskSkinPanel::WndProc(m);
}
