#include "skin/SkinHint.h"

#include <algorithm>

#include "skin/SkinCtrls.h"
#include "skin/skEffBmp.h"

namespace {

SIZE TextExtent(HDC DC, const std::wstring& Text) {
  RECT r{0, 0, 0, 0};
  DrawTextW(DC, Text.c_str(), static_cast<int>(Text.size()), &r, DT_CALCRECT);
  return SIZE{RectWidth(r), RectHeight(r)};
}

void DrawTextAt(HDC DC, const std::wstring& Text, int X, int Y) {
  SIZE s = TextExtent(DC, Text);
  RECT r{X, Y, X + s.cx, Y + s.cy};
  DrawTextW(DC, Text.c_str(), static_cast<int>(Text.size()), &r, 0);
}

bool ValidImage(TskSkinHint* H) {
  return H && H->HintImages && H->HintImage >= 0 && H->HintImage < H->HintImages->Count();
}

} // namespace

// ---------------------------------------------------------------------------
// TskSkinHint

TskSkinHint::TskSkinHint(TComponent* AOwner)
    : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  FHintWindow = std::make_unique<TskSkinHintWindow>(nullptr);
  if (!IsWin2KOrLater()) AlphaBlendSupport = false;
  if (Application) {
    Application->HintWindowClass = [](TComponent* Owner) { return new TskSkinHintWindow(Owner); };
    Application->SetShowHint(!Application->ShowHint());
    Application->SetShowHint(!Application->ShowHint());
    InstallHandler();
    Application->SetHintShortPause(100);
  }
}

TskSkinHint::~TskSkinHint() {
  FTimer.reset();
  RestoreHandler();
  SetSkinData(nullptr);
}

void TskSkinHint::InstallHandler() {
  if (!Application || FInstalled) return;
  // A handler installed by another hint component is not kept as the one to
  // give back.
  FPrevShowHint = Application->OnShowHint;
  Application->OnShowHint = [this](std::wstring& S, bool& C, THintInfo& I) {
    ShowHintHandler(S, C, I);
  };
  FInstalled = true;
}

void TskSkinHint::RestoreHandler() {
  if (!Application || !FInstalled) return;
  Application->OnShowHint = FPrevShowHint;
  FPrevShowHint = nullptr;
  FInstalled = false;
}

void TskSkinHint::SetSkinData(TskSkinData* Value) {
  if (FSkinData == Value) return;
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (FSkinData) FSkinData->FreeNotification(this);
}

void TskSkinHint::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData) FSkinData = nullptr;
}

void TskSkinHint::SetActive(bool Value) {
  FActive = Value;
  if (Value) {
    TComponent* mf = Application ? Application->MainForm() : nullptr;
    for (int i = 0; mf && i < mf->ComponentCount(); ++i)
      if (auto* h = dynamic_cast<TskSkinHint*>(mf->Components(i)); h && h != this && h->FActive)
        h->SetActive(false);
    InstallHandler();
  } else {
    RestoreHandler();
  }
}

TskSkinData* TskSkinHint::UsableSkin() const {
  if (!FSkinData || FSkinData->Empty() || FSkinData->HintWindow.WindowPictureIndex == -1)
    return nullptr;
  // An index outside the pictures gives the default look.
  if (!FSkinData->ActivePicture(FSkinData->HintWindow.WindowPictureIndex)) return nullptr;
  return FSkinData;
}

void TskSkinHint::ShowHintHandler(std::wstring& HintStr, bool& CanShow, THintInfo& HintInfo) {
  HintCaption.clear();
  HintImage = 0;
  HintImages = nullptr;
  if (auto* c = dynamic_cast<TskSkinControl*>(HintInfo.HintControl)) {
    HintCaption = c->HintTitle();
    HintImage = c->HintImageIndex();
    HintImages = c->HintImageList();
  }
  if (OnShowHint) OnShowHint(HintStr, CanShow, HintInfo);
}

int TskSkinHint::CursorMargin() {
  int result = GetSystemMetrics(SM_CYCURSOR);
  ICONINFO ii{};
  if (!GetIconInfo(GetCursor(), &ii)) return result;
  BITMAP bm{};
  if (!ii.hbmColor && ii.hbmMask && GetObjectW(ii.hbmMask, sizeof bm, &bm) && bm.bmBitsPixel == 1) {
    int stride = ((bm.bmWidth + 15) / 16) * 2;
    std::vector<BYTE> bits(static_cast<size_t>(stride) * bm.bmHeight);
    if (GetBitmapBits(ii.hbmMask, static_cast<LONG>(bits.size()), bits.data()) > 0) {
      int w = bm.bmWidth;
      // The AND half: rows down to the lowest visible one.
      size_t andBytes = std::min<size_t>(bits.size(), static_cast<size_t>(stride) * w);
      size_t i = 0;
      while (i < andBytes && bits[i] == 0xFF)
        ++i;
      int rows = static_cast<int>((andBytes - i) / stride);
      if (rows == 0 && bm.bmHeight >= 2 * w) {
        size_t j = static_cast<size_t>(stride) * w, last = bits.size();
        while (j < last && bits[j] == 0)
          ++j;
        rows = static_cast<int>((last - j) / stride);
      }
      result = rows - static_cast<int>(ii.yHotspot);
    }
  }
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  return result;
}

void TskSkinHint::ShowHintDelayed(const std::wstring& Text) {
  if (FTimer) FTimer->SetEnabled(false);
  FOldTimer = std::move(FTimer);
  FDelayedText = Text;
  HintCaption.clear();
  HintImage = 0;
  HintImages = nullptr;
  FTimer = std::make_unique<TTimer>(nullptr);
  FTimer->SetInterval(Application ? Application->HintPause() : 500);
  FTimerShowing = false;
  FTimer->OnTimer = [this](TObject*) { DelayTick(); };
  FTimer->SetEnabled(true);
}

void TskSkinHint::DelayTick() {
  if (FTimerShowing) {
    HideHint();
    return;
  }
  POINT p;
  GetCursorPos(&p);
  p.y += CursorMargin();
  FHintWindow->ActivateHint(TRect(p.x, p.y, p.x, p.y), FDelayedText);
  FTimerShowing = true;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(Application ? Application->HintHidePause() : 2500);
  FTimer->SetEnabled(true);
}

void TskSkinHint::HideHint() {
  // Called from the timer's own tick: free it once the tick has returned.
  if (FTimer) {
    FTimer->SetEnabled(false);
    FOldTimer = std::move(FTimer);
  }
  FTimerShowing = false;
  if (FHintWindow->HandleAllocated() && IsWindowVisible(FHintWindow->Handle())) {
    SetWindowPos(FHintWindow->Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    HintCaption.clear();
    HintImage = 0;
    HintImages = nullptr;
  }
}

TskSkinHint* FindActiveSkinHint() {
  TComponent* mf = Application ? Application->MainForm() : nullptr;
  for (int i = 0; mf && i < mf->ComponentCount(); ++i)
    if (auto* h = dynamic_cast<TskSkinHint*>(mf->Components(i)); h && h->Active()) return h;
  return nullptr;
}

// ---------------------------------------------------------------------------
// TskSkinHintWindow

TskSkinHintWindow::TskSkinHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

TskSkinHintWindow::~TskSkinHintWindow() {
  if (HandleAllocated()) SetWindowRgn(Handle(), nullptr, FALSE);
  if (FRegion) DeleteObject(FRegion);
}

void TskSkinHintWindow::CreateParams(TCreateParams& Params) {
  THintWindow::CreateParams(Params);
  Params.Style &= ~WS_BORDER;
  Params.WindowClass.style &= ~CS_DROPSHADOW;
  if (IsWinXPOrLater()) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TskSkinHintWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCPAINT) {
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return;
  }
  THintWindow::WndProc(Message);
}

std::wstring TskSkinHintWindow::SplitLines(const std::wstring& Text, const std::wstring& Sep) {
  if (Sep.empty()) return Text;
  std::wstring out;
  size_t i = 0;
  while (i < Text.size()) {
    if (Text.compare(i, Sep.size(), Sep) == 0) {
      out += L"\r\n";
      i += Sep.size();
    } else {
      out += Text[i++];
    }
  }
  return out;
}

void TskSkinHintWindow::SetupFont(TFont* F) {
  TskSkinHint* h = FActiveHint;
  if (FHintSkin && h->UseSkinFont) {
    F->SetHeight(FHintSkin->HintWindow.FontHeight);
    F->SetName(FHintSkin->HintWindow.FontName);
    F->SetStyle(FHintSkin->HintWindow.FontStyle.Bits);
  } else {
    F->Assign(h->DefaultFont());
  }
  TskSkinData* sd = h->SkinData();
  F->SetCharset(sd && sd->ResourceStrData() ? static_cast<BYTE>(sd->ResourceStrData()->CharSet)
                                            : h->DefaultFont()->Charset());
}

void TskSkinHintWindow::SkinGrow(int& W, int& H) {
  const TskDataSkinHintWindow& d = FHintSkin->HintWindow;
  const TskPicture* pic = FHintSkin->ActivePicture(d.WindowPictureIndex);
  int pw = pic->Width(), ph = pic->Height();
  int dx = W - pw, dy = H - ph;
  if (d.RTPoint.x + dx < d.LTPoint.x) {
    W += d.LTPoint.x - (d.RTPoint.x + dx);
    dx = W - pw;
  }
  if (d.RBPoint.x + dx < d.LBPoint.x) {
    W += d.LBPoint.x - (d.RBPoint.x + dx);
    dx = W - pw;
  }
  if (d.LBPoint.y + dy < d.LTPoint.y) {
    H += d.LTPoint.y - (d.LBPoint.y + dy);
    dy = H - ph;
  }
  if (d.RBPoint.y + dy < d.RTPoint.y) {
    H += d.RTPoint.y - (d.RBPoint.y + dy);
    dy = H - ph;
  }
  FNewClientRect =
      TRect(d.ClientRect.left, d.ClientRect.top, d.ClientRect.right + dx, d.ClientRect.bottom + dy);
  FNewLT = d.LTPoint;
  FNewRT = POINT{d.RTPoint.x + dx, d.RTPoint.y};
  FNewLB = POINT{d.LBPoint.x, d.LBPoint.y + dy};
  FNewRB = POINT{d.RBPoint.x + dx, d.RBPoint.y + dy};
}

TskSkinGeometry TskSkinHintWindow::NewGeometry() const {
  return TskSkinGeometry{FNewLT, FNewRT, FNewLB, FNewRB, *FNewClientRect.R()};
}

void TskSkinHintWindow::ActivateHint(const TRect& Rect, const std::wstring& AHint) {
  FTitleMode = false;
  FActiveHint = FindActiveSkinHint();
  if (!FActiveHint) return;
  TskSkinHint* h = FActiveHint;
  FTitleMode = !h->HintCaption.empty() || h->HintImages;
  FHintSkin = h->UsableSkin();
  SetupFont(Canvas()->Font());
  std::wstring text = SplitLines(AHint, h->LineSeparator());
  SetCaption(text);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Canvas()->Font()->Handle());
  SIZE t = TextExtent(dc, text);
  SIZE title{0, 0};
  if (!h->HintCaption.empty()) title = TextExtent(dc, h->HintCaption);
  SelectObject(dc, old);
  DeleteDC(dc);
  int W, H;
  const TskPicture* pic =
      FHintSkin ? FHintSkin->ActivePicture(FHintSkin->HintWindow.WindowPictureIndex) : nullptr;
  const RECT cr = FHintSkin ? FHintSkin->HintWindow.ClientRect : RECT{};
  if (!FTitleMode) {
    if (!FHintSkin) {
      W = t.cx + 4;
      H = t.cy + 4;
    } else {
      W = t.cx + cr.left + pic->Width() - cr.right + 5;
      H = t.cy + cr.top + pic->Height() - cr.bottom;
    }
  } else {
    W = t.cx;
    H = t.cy;
    if (!h->HintCaption.empty()) {
      H += title.cy + 10;
      W = std::max<int>(W, title.cx);
    }
    if (ValidImage(h)) {
      W += h->HintImages->Width() + 10;
      H = std::max<int>(H, h->HintImages->Height() + title.cy + 5);
    }
    if (!FHintSkin) {
      W += 4;
      H += 4;
    } else {
      W += 10;
      W += cr.left + pic->Width() - cr.right;
      H += cr.top + pic->Height() - cr.bottom;
    }
  }
  if (FHintSkin)
    SkinGrow(W, H);
  else
    FNewClientRect = TRect(2, 2, W - 2, H - 2);
  // Placement inside the work area.
  TRect r(Rect.Left, Rect.Top, Rect.Left + W, Rect.Top + H);
  RECT limit{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  TCustomForm* af = Screen ? Screen->ActiveForm() : nullptr;
  if (af && af->HandleAllocated())
    GetMonitorRect(af->Handle(), true, limit);
  else if (Application && Application->MainForm() && Application->MainForm()->Visible() &&
           Application->MainForm()->HandleAllocated())
    GetMonitorRect(Application->MainForm()->Handle(), true, limit);
  if (r.Right > limit.right) r.Offset(-(W + 2), 0);
  if (r.Bottom > limit.bottom) r.Offset(0, -(H + 2));
  HandleNeeded();
  // Layered state.
  if (h->AlphaBlendSupport) {
    LONG ex = GetWindowLongW(Handle(), GWL_EXSTYLE);
    if (h->AlphaBlend != FAppliedAlphaBlend) {
      if (FAppliedAlphaBlend) {
        SetWindowLongW(Handle(), GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
      } else {
        SetWindowLongW(Handle(), GWL_EXSTYLE, ex | WS_EX_LAYERED);
        if (!h->AlphaBlendAnimation) SetLayeredAlpha(Handle(), h->AlphaBlendValue);
      }
      FAppliedAlphaBlend = h->AlphaBlend;
    }
    if (h->AlphaBlend && h->AlphaBlendAnimation) SetLayeredAlpha(Handle(), 0);
    if (h->AlphaBlend && h->AlphaBlendValue != FAppliedAlphaValue) {
      if (!h->AlphaBlendAnimation) SetLayeredAlpha(Handle(), h->AlphaBlendValue);
      FAppliedAlphaValue = h->AlphaBlendValue;
    }
  } else if (h->AlphaBlend) {
    FScreenShot.SetSize(W, H);
    CopyScreenToBitmap(r.Left, r.Top, FScreenShot);
  }
  SetBounds(r.Left, r.Top, W, H);
  // Region from the mask.
  const TskPicture* mask =
      FHintSkin ? FHintSkin->ActivePicture(FHintSkin->HintWindow.MaskPictureIndex) : nullptr;
  if (mask) {
    const TskDataSkinHintWindow& d = FHintSkin->HintWindow;
    TskSkinGeometry o{d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ClientRect};
    HRGN rgn = CreateSkinRegion(o, NewGeometry(), W, H, *mask);
    SetWindowRgn(Handle(), rgn, FALSE); // the window owns it now
    if (FRegion) DeleteObject(FRegion);
    FRegion = nullptr;
  } else {
    SetWindowRgn(Handle(), nullptr, FALSE);
    if (FRegion) DeleteObject(FRegion);
    FRegion = nullptr;
  }
  SetWindowPos(Handle(), HWND_TOPMOST, r.Left, r.Top, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
  UpdateWindow(Handle());
  if (h->AlphaBlendSupport && h->AlphaBlend && h->AlphaBlendAnimation) {
    int a = 0;
    DWORD last = GetTickCount();
    while (a < h->AlphaBlendValue) {
      if (GetTickCount() - last > 3) {
        a = std::min<int>(a + 20, h->AlphaBlendValue);
        SetLayeredAlpha(Handle(), static_cast<BYTE>(a));
        last = GetTickCount();
      }
      Sleep(1);
    }
  }
}

void TskSkinHintWindow::Paint() {
  int W = Width(), H = Height();
  if (W <= 0 || H <= 0 || !FActiveHint) return;
  TskSkinHint* h = FActiveHint;
  TBitmap b;
  b.SetSize(W, H);
  TCanvas* C = b.Canvas();
  HDC dc = C->Handle();
  if (FHintSkin) {
    const TskDataSkinHintWindow& d = FHintSkin->HintWindow;
    const TskPicture* pic = FHintSkin->ActivePicture(d.WindowPictureIndex);
    TskSkinImageParams p;
    p.Old = TskSkinGeometry{d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ClientRect};
    p.New = NewGeometry();
    TakeStretch(p, d);
    p.DrawCentre = true;
    p.W = W;
    p.H = H;
    p.R = RECT{0, 0, pic->Width(), pic->Height()};
    TskPicture img;
    CreateSkinImage2(p, *pic, img);
    DrawPicture(dc, 0, 0, img);
  } else {
    C->Brush()->SetColor(clInfoBk);
    C->FillRect(TRect(0, 0, W, H));
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(TRect(0, 0, W, H));
  }
  SetupFont(C->Font());
  C->Font()->SetColor(FHintSkin ? TColor(FHintSkin->HintWindow.FontColor) : clInfoText);
  SelectObject(dc, C->Font()->Handle());
  SetTextColor(dc, ColorToRGB(C->Font()->Color()));
  SetBkMode(dc, TRANSPARENT);
  std::wstring text = Caption();
  TRect cr = FHintSkin ? FNewClientRect : TRect(2, 2, W - 2, H - 2);
  if (!FTitleMode) {
    if (FHintSkin) {
      SIZE s = TextExtent(dc, text);
      DrawTextAt(dc, text, cr.Left + (cr.Width() - s.cx) / 2, cr.Top + (cr.Height() - s.cy) / 2);
    } else {
      RECT r = *cr.R();
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, 0);
    }
  } else {
    int left = FHintSkin ? cr.Left + 5 : cr.Left;
    int a = 0;
    if (!h->HintCaption.empty()) {
      TFontStyles st = C->Font()->Style();
      C->Font()->SetStyle(st | fsBold);
      SelectObject(dc, C->Font()->Handle());
      SIZE ts = TextExtent(dc, h->HintCaption);
      DrawTextAt(dc, h->HintCaption, left, cr.Top);
      C->Font()->SetStyle(st);
      SelectObject(dc, C->Font()->Handle());
      a = ts.cy + 5;
    }
    int x = left;
    SIZE s = TextExtent(dc, text);
    if (ValidImage(h)) {
      int ih = h->HintImages->Height();
      int iy = a ? cr.Top + a : cr.Top + (cr.Height() - ih) / 2;
      h->HintImages->Draw(C, left, iy, h->HintImage);
      x = left + h->HintImages->Width() + 5;
    }
    int ty = a ? cr.Top + a : cr.Top + (cr.Height() - s.cy) / 2;
    DrawTextAt(dc, text, x, ty);
  }
  if (h->AlphaBlend && !h->AlphaBlendSupport && !FScreenShot.Empty()) {
    TskEffectBmp e1(b.Handle());
    TskPicture shot = FScreenShot;
    TskEffectBmp e2(shot);
    e1.Morph(e2, 1 - h->AlphaBlendValue / 255.0);
    e1.Draw(dc, 0, 0);
  }
  BitBlt(Canvas()->Handle(), 0, 0, W, H, dc, 0, 0, SRCCOPY);
}
