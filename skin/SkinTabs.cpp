#include "skin/SkinTabs.h"

#include <commctrl.h>

namespace {

constexpr int kDefaultCloseSize = 14;

// Empty active and pressed close-button pictures fall back to the normal
// and the active one.
void FillCloseRects(TskDataSkinTabControl& e) {
  if (IsNullRect(e.CloseButtonActiveRect)) e.CloseButtonActiveRect = e.CloseButtonRect;
  if (IsNullRect(e.CloseButtonDownRect)) e.CloseButtonDownRect = e.CloseButtonActiveRect;
}

} // namespace

// ---------------------------------------------------------------------------
// Shared part

template <class TTabs>
TskSkinTabsBase<TTabs>::TskSkinTabsBase(TComponent* AOwner)
    : TTabs(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName(L"Arial");
  FDefaultFont->SetHeight(14);
}

template <class TTabs> TskSkinTabsBase<TTabs>::~TskSkinTabsBase() {
  this->Destroying();
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FreeUpDown();
}

template <class TTabs> void TskSkinTabsBase<TTabs>::SetSkinData(TskSkinData* Value) {
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (Value) Value->FreeNotification(this);
  if (Value && !Value->Empty() && !(this->ComponentState() & csDesigning)) ApplySkin();
}

template <class TTabs>
void TskSkinTabsBase<TTabs>::Notification(TComponent* AComponent, TOperation Operation) {
  TTabs::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSkinData) FSkinData = nullptr;
  if (AComponent == FUpDown) FUpDown = nullptr;
}

template <class TTabs> void TskSkinTabsBase<TTabs>::ReadSkinEntry() {
  FEntryIndex =
      FSkinData && !FSkinData->Empty() ? FSkinData->FindControlDescription(FSkinDataName) : -1;
  auto* e = FEntryIndex >= 0
                ? dynamic_cast<TskDataSkinTabControl*>(FSkinData->ControlAt(FEntryIndex))
                : nullptr;
  if (!e) {
    FEntryIndex = -1;
    FEntry = TskDataSkinTabControl(L"");
    FPicture = nullptr;
    return;
  }
  FEntry = *e;
  if (IsNullRect(FEntry.ActiveTabRect)) FEntry.ActiveTabRect = FEntry.TabRect;
  if (IsNullRect(FEntry.FocusTabRect)) FEntry.FocusTabRect = FEntry.ActiveTabRect;
  FillCloseRects(FEntry);
  FillCloseRects(*e);
  FPicture = FSkinData->ActivePicture(e->PictureIndex);
}

template <class TTabs> int TskSkinTabsBase<TTabs>::CloseButtonSize() const {
  if (FEntryIndex < 0 || IsNullRect(FEntry.CloseButtonRect)) return kDefaultCloseSize;
  return RectWidth(FEntry.CloseButtonRect);
}

template <class TTabs> RECT TskSkinTabsBase<TTabs>::TabRect(int n) {
  RECT r{};
  if (!this->HandleAllocated()) return r;
  SendMessageW(this->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(n),
               reinterpret_cast<LPARAM>(&r));
  if (n == 0 && !this->MultiLine()) r.left += 1;
  return r;
}

template <class TTabs> int TskSkinTabsBase<TTabs>::GetFirstShownTab() {
  int n = 0, count = VisibleTabCount();
  for (int i = 0; i < count; ++i)
    if (TabRect(i).right <= 0) ++n;
  return n;
}

template <class TTabs> int TskSkinTabsBase<TTabs>::GetHiddenTabCount() {
  int limit = this->Width() - 3;
  if (FUpDown) limit -= FUpDown->Width() + 3;
  int n = 0, count = VisibleTabCount();
  for (int i = 0; i < count; ++i) {
    RECT r = TabRect(i);
    if (r.right <= 0 || r.right > limit) ++n;
  }
  return n;
}

template <class TTabs> void TskSkinTabsBase<TTabs>::FreeUpDown() {
  TskSkinUpDown* u = FUpDown;
  FUpDown = nullptr;
  delete u;
}

template <class TTabs> void TskSkinTabsBase<TTabs>::CreateUpDown() {
  SIZE size = UpDownSize();
  FUpDown = new TskSkinUpDown(this);
  FUpDown->SetParent(this);
  FUpDown->SetBounds(0, 0, size.cx, size.cy);
  FUpDown->SetMin(0);
  FUpDown->SetMax(GetHiddenTabCount());
  FUpDown->SetPosition(GetFirstShownTab());
  FUpDown->SetIncrement(1);
  FUpDown->OnChange = [this](TObject*) { ScrollTabs(); };
  if (FEntryIndex >= 0) FUpDown->SetSkinDataName(FEntry.UpDown);
  FUpDown->SetSkinData(FSkinData);
  FUpDown->SetVisible(true);
}

template <class TTabs> void TskSkinTabsBase<TTabs>::UpdateTabScroller() {
  if (!this->HandleAllocated()) return;
  if (HWND native = FindWindowExA(this->Handle(), nullptr, "msctls_updown32", nullptr))
    DestroyWindow(native);
  int n = GetHiddenTabCount();
  if (n == 0 || !ScrollsTabs()) {
    FreeUpDown();
    return;
  }
  if (!FUpDown && MayCreateUpDown()) CreateUpDown();
  if (!FUpDown) return;
  FUpDown->SetMax(n);
  int top = this->TabPosition() == tpTop ? 0 : this->Height() - FUpDown->Height();
  FUpDown->SetBounds(this->Width() - FUpDown->Width(), top, FUpDown->Width(), FUpDown->Height());
}

template <class TTabs> void TskSkinTabsBase<TTabs>::ScrollTabs() {
  if (!FUpDown) return;
  FUpDown->SetMax(GetHiddenTabCount());
  SendMessageW(this->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FUpDown->Position()), 0);
}

template <class TTabs> void TskSkinTabsBase<TTabs>::TabChanged() {
  // The row may have scrolled past the range the scroller last knew.
  if (FUpDown) {
    FUpDown->SetMax(GetHiddenTabCount());
    FUpDown->SetPosition(GetFirstShownTab());
  }
  this->Invalidate();
}

template <class TTabs> void TskSkinTabsBase<TTabs>::ApplyTabsSkin(bool ColorFirst) {
  ReadSkinEntry();
  TCustomImageList* images = this->Images();
  if (FCloseButtons && images) {
    int size = CloseButtonSize();
    if (this->TabPosition() == tpLeft || this->TabPosition() == tpRight)
      images->SetHeight(images->Height() - FCloseSize + size);
    else
      images->SetWidth(images->Width() - FCloseSize + size);
    FCloseSize = size;
  }
  TFont* f = this->Font();
  const TskResourceStrData* strings = FSkinData ? FSkinData->ResourceStrData() : nullptr;
  int height;
  if (FEntryIndex < 0) {
    f->Assign(FDefaultFont.get());
    if (strings) f->SetCharset(static_cast<BYTE>(strings->CharSet));
    height = FDefaultTabHeight;
  } else {
    if (ColorFirst) f->SetColor(FEntry.FontColor);
    if (FUseSkinFont) {
      f->SetName(FEntry.FontName);
      f->SetHeight(FEntry.FontHeight);
      f->SetStyle(FEntry.FontStyle.Bits);
    } else {
      f->Assign(FDefaultFont.get());
    }
    f->SetCharset(strings ? static_cast<BYTE>(strings->CharSet) : FDefaultFont->Charset());
    if (!ColorFirst) f->SetColor(FEntry.FontColor);
    height = RectHeight(FEntry.TabRect);
  }
  if (this->TabHeight() > 0) height = this->TabHeight();
  if (this->HandleAllocated())
    SendMessageW(this->Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(this->TabWidth(), height));
  TabChanged();
  this->Realign();
}

template <class TTabs> void TskSkinTabsBase<TTabs>::Dispatch(TMessage& Message) {
  bool selChange =
      Message.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(Message.LParam)->code == TCN_SELCHANGE;
  TTabs::Dispatch(Message);
  if (selChange) TabChanged();
  if (Message.Msg == WM_SIZE) UpdateTabScroller();
}

template class TskSkinTabsBase<TPageControl>;
template class TskSkinTabsBase<TTabControl>;

// ---------------------------------------------------------------------------
// Page control

TskSkinPageControl::TskSkinPageControl(TComponent* AOwner)
    : TskSkinTabsBase<TPageControl>(AOwner) {}

int TskSkinPageControl::VisibleTabCount() const {
  int n = 0;
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabVisible()) ++n;
  return n;
}

void TskSkinPageControl::ApplyPageControlSkin() {
  ApplyTabsSkin(false);
  FreeUpDown();
  UpdateTabScroller();
  if (ActivePage()) ActivePage()->Invalidate();
}

// ---------------------------------------------------------------------------
// Tab control

TskSkinTabControl::TskSkinTabControl(TComponent* AOwner) : TskSkinTabsBase<TTabControl>(AOwner) {}

void TskSkinTabControl::ApplyTabControlSkin() {
  ApplyTabsSkin(true);
  Repaint();
  FreeUpDown();
  UpdateTabScroller();
}

void TskSkinTabControl::PaintTabControlBackground(HDC DC) {
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  ReadSkinEntry();
  TRect all(0, 0, w, h);
  if (FEntryIndex < 0 || !FPicture || FPicture->Empty()) {
    FillRect(DC, all.R(), GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  // A background picture index that names no picture counts as none.
  const TskPicture* bg =
      FEntry.BGPictureIndex >= 0 ? FSkinData->ActivePicture(FEntry.BGPictureIndex) : nullptr;
  if (bg && !bg->Empty()) {
    FillWithTile(DC, all, *bg, FEntry.StretchEffect, FEntry.StretchType);
    return;
  }
  RECT cr = FEntry.ClientRect;
  OffsetRect(&cr, FEntry.SkinRect.left, FEntry.SkinRect.top);
  FillWithTile(DC, all, CutPart(*FPicture, cr), FEntry.StretchEffect, FEntry.StretchType);
}

void TskSkinTabControl::PaintDisplayArea(HDC DC) {
  TRect r = DisplayRect();
  int saved = SaveDC(DC);
  IntersectClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
  PaintTabControlBackground(DC);
  RestoreDC(DC, saved);
}

void TskSkinTabControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    PaintTabControlBackground(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    return;
  }
  TskSkinTabsBase<TTabControl>::Dispatch(Message);
  // The window paints the tabs and its frame; the area inside the frame shows
  // the skin's background.
  if (Message.Msg == WM_PAINT && HandleAllocated()) {
    if (Message.WParam) {
      PaintDisplayArea(reinterpret_cast<HDC>(Message.WParam));
    } else {
      HDC dc = GetDC(Handle());
      PaintDisplayArea(dc);
      ReleaseDC(Handle(), dc);
    }
  }
}
