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

TskSkinPageControl::TskSkinPageControl(TComponent* AOwner)
    : TPageControl(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName(L"Arial");
  FDefaultFont->SetHeight(14);
}

TskSkinPageControl::~TskSkinPageControl() {
  Destroying();
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FreeUpDown();
}

void TskSkinPageControl::SetSkinData(TskSkinData* Value) {
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (Value) Value->FreeNotification(this);
  if (Value && !Value->Empty() && !(ComponentState() & csDesigning)) ApplyPageControlSkin();
}

void TskSkinPageControl::Notification(TComponent* AComponent, TOperation Operation) {
  TPageControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSkinData) FSkinData = nullptr;
  if (AComponent == FUpDown) FUpDown = nullptr;
}

void TskSkinPageControl::ReadSkinEntry() {
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

int TskSkinPageControl::CloseButtonSize() const {
  if (FEntryIndex < 0 || IsNullRect(FEntry.CloseButtonRect)) return kDefaultCloseSize;
  return RectWidth(FEntry.CloseButtonRect);
}

RECT TskSkinPageControl::TabRect(int n) {
  RECT r{};
  if (!HandleAllocated()) return r;
  SendMessageW(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&r));
  if (n == 0 && !MultiLine()) r.left += 1;
  return r;
}

int TskSkinPageControl::VisibleTabCount() const {
  int n = 0;
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabVisible()) ++n;
  return n;
}

int TskSkinPageControl::GetFirstShownTab() {
  int n = 0, count = VisibleTabCount();
  for (int i = 0; i < count; ++i)
    if (TabRect(i).right <= 0) ++n;
  return n;
}

int TskSkinPageControl::GetHiddenTabCount() {
  int limit = Width() - 3;
  if (FUpDown) limit -= FUpDown->Width() + 3;
  int n = 0, count = VisibleTabCount();
  for (int i = 0; i < count; ++i) {
    RECT r = TabRect(i);
    if (r.right <= 0 || r.right > limit) ++n;
  }
  return n;
}

void TskSkinPageControl::FreeUpDown() {
  TskSkinUpDown* u = FUpDown;
  FUpDown = nullptr;
  delete u;
}

void TskSkinPageControl::CreateUpDown() {
  int h = FDefaultTabHeight;
  FUpDown = new TskSkinUpDown(this);
  FUpDown->SetParent(this);
  FUpDown->SetBounds(0, 0, 2 * h, h);
  FUpDown->SetMin(0);
  FUpDown->SetMax(GetHiddenTabCount());
  FUpDown->SetPosition(GetFirstShownTab());
  FUpDown->SetIncrement(1);
  FUpDown->OnChange = [this](TObject* Sender) { ScrollTabs(Sender); };
  if (FEntryIndex >= 0) FUpDown->SetSkinDataName(FEntry.UpDown);
  FUpDown->SetSkinData(FSkinData);
  FUpDown->SetVisible(true);
}

void TskSkinPageControl::UpdateTabScroller() {
  if (!HandleAllocated()) return;
  if (HWND native = FindWindowExA(FHandle, nullptr, "msctls_updown32", nullptr))
    DestroyWindow(native);
  int n = GetHiddenTabCount();
  if (n == 0 || MultiLine()) {
    FreeUpDown();
    return;
  }
  if (!FUpDown && !FNoUpDown) CreateUpDown();
  if (!FUpDown) return;
  FUpDown->SetMax(n);
  int top = TabPosition() == tpTop ? 0 : Height() - FUpDown->Height();
  FUpDown->SetBounds(Width() - FUpDown->Width(), top, FUpDown->Width(), FUpDown->Height());
}

void TskSkinPageControl::ScrollTabs(TObject*) {
  if (!FUpDown) return;
  FUpDown->SetMax(GetHiddenTabCount());
  SendMessageW(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FUpDown->Position()), 0);
}

void TskSkinPageControl::TabChanged() {
  // The row may have scrolled past the range the scroller last knew.
  if (FUpDown) {
    FUpDown->SetMax(GetHiddenTabCount());
    FUpDown->SetPosition(GetFirstShownTab());
  }
  Invalidate();
}

void TskSkinPageControl::ApplyPageControlSkin() {
  ReadSkinEntry();
  bool side = TabPosition() == tpLeft || TabPosition() == tpRight;
  if (FCloseButtons && Images()) {
    int size = CloseButtonSize();
    if (side)
      Images()->SetHeight(Images()->Height() - FCloseSize + size);
    else
      Images()->SetWidth(Images()->Width() - FCloseSize + size);
    FCloseSize = size;
  }
  TFont* f = Font();
  int height;
  if (FEntryIndex < 0) {
    f->Assign(FDefaultFont.get());
    if (FSkinData && FSkinData->ResourceStrData())
      f->SetCharset(static_cast<BYTE>(FSkinData->ResourceStrData()->CharSet));
    height = TabHeight() > 0 ? TabHeight() : FDefaultTabHeight;
  } else {
    if (FUseSkinFont) {
      f->SetName(FEntry.FontName);
      f->SetHeight(FEntry.FontHeight);
      f->SetStyle(FEntry.FontStyle.Bits);
    } else {
      f->SetName(FDefaultFont->Name());
      f->SetHeight(FDefaultFont->Height());
      f->SetStyle(FDefaultFont->Style());
    }
    f->SetCharset(FSkinData->ResourceStrData()
                      ? static_cast<BYTE>(FSkinData->ResourceStrData()->CharSet)
                      : FDefaultFont->Charset());
    f->SetColor(FEntry.FontColor);
    height = TabHeight() > 0 ? TabHeight() : RectHeight(FEntry.TabRect);
  }
  if (HandleAllocated()) SendMessageW(FHandle, TCM_SETITEMSIZE, 0, MAKELPARAM(TabWidth(), height));
  TabChanged();
  Realign();
  FreeUpDown();
  UpdateTabScroller();
  if (ActivePage()) ActivePage()->Invalidate();
}

void TskSkinPageControl::Dispatch(TMessage& Message) {
  bool selChange =
      Message.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(Message.LParam)->code == TCN_SELCHANGE;
  TPageControl::Dispatch(Message);
  if (selChange) TabChanged();
  if (Message.Msg == WM_SIZE) UpdateTabScroller();
}
