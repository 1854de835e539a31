#include "framework/ComCtrls.h"

#include <algorithm>
#include <cmath>

namespace {

void InitClasses(DWORD classes) {
  INITCOMMONCONTROLSEX icc{sizeof icc, classes};
  InitCommonControlsEx(&icc);
}

int ColumnFormat(TAlignment a) {
  return a == taRightJustify ? LVCFMT_RIGHT : a == taCenter ? LVCFMT_CENTER : LVCFMT_LEFT;
}

} // namespace

// ---------------------------------------------------------------------------
// Columns

void TListColumn::Update() {
  if (!FOwner->Live()) return;
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  col.pszText = const_cast<wchar_t*>(FCaption.c_str());
  col.cx = FWidth;
  // The first column is always left-aligned by the control.
  col.fmt = FIndex == 0 ? LVCFMT_LEFT : ColumnFormat(FAlignment);
  SendMessageW(FOwner->Wnd(), LVM_SETCOLUMNW, static_cast<WPARAM>(FIndex),
               reinterpret_cast<LPARAM>(&col));
}

void TListColumn::SetCaption(const std::wstring& Value) {
  FCaption = Value;
  Update();
}

int TListColumn::Width() const {
  if (FOwner->Live())
    return static_cast<int>(
        SendMessageW(FOwner->Wnd(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(FIndex), 0));
  return FWidth;
}

void TListColumn::SetWidth(int Value) {
  FWidth = Value;
  Update();
}

void TListColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Update();
}

TListColumn* TListColumns::Add() {
  FItems.push_back(std::make_unique<TListColumn>(FOwner, Count()));
  TListColumn* c = FItems.back().get();
  if (FOwner->Live()) FOwner->InsertColumnWindow(c);
  return c;
}

TListColumn* TListColumns::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FItems[Index].get();
}

void TListColumns::Clear() {
  if (FOwner->Live())
    for (int i = Count() - 1; i >= 0; --i)
      SendMessageW(FOwner->Wnd(), LVM_DELETECOLUMN, static_cast<WPARAM>(i), 0);
  FItems.clear();
}

// ---------------------------------------------------------------------------
// Items

void TListSubItems::Changed() {
  TStringList::Changed();
  if (UpdateCount() == 0) FOwner->UpdateTexts();
}

TListItem::TListItem(TListView* Owner)
    : FOwner(Owner), FSubItems(std::make_unique<TListSubItems>(this)) {}

int TListItem::Index() const {
  return FOwner->Items()->IndexOf(this);
}

void TListItem::UpdateTexts() {
  if (!FOwner->Live()) return;
  int index = Index();
  if (index < 0) return;
  int columns = std::max(FOwner->Columns()->Count(), FSubItems->Count() + 1);
  for (int c = 1; c < columns; ++c) {
    std::wstring text = c - 1 < FSubItems->Count() ? FSubItems->Strings(c - 1) : L"";
    LVITEMW it{};
    it.iSubItem = c;
    it.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(FOwner->Wnd(), LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&it));
  }
}

void TListItem::SetCaption(const std::wstring& Value) {
  FCaption = Value;
  if (!FOwner->Live()) return;
  LVITEMW it{};
  it.iSubItem = 0;
  it.pszText = const_cast<wchar_t*>(FCaption.c_str());
  SendMessageW(FOwner->Wnd(), LVM_SETITEMTEXTW, static_cast<WPARAM>(Index()),
               reinterpret_cast<LPARAM>(&it));
}

void TListItem::SetImageIndex(int Value) {
  FImageIndex = Value;
  if (!FOwner->Live()) return;
  LVITEMW it{};
  it.mask = LVIF_IMAGE;
  it.iItem = Index();
  it.iImage = Value;
  SendMessageW(FOwner->Wnd(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

bool TListItem::Selected() const {
  if (!FOwner->Live()) return FSelected;
  return SendMessageW(FOwner->Wnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(Index()),
                      LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool Value) {
  FSelected = Value;
  if (!FOwner->Live()) return;
  LVITEMW it{};
  it.stateMask = LVIS_SELECTED;
  it.state = Value ? LVIS_SELECTED : 0;
  SendMessageW(FOwner->Wnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index()),
               reinterpret_cast<LPARAM>(&it));
}

bool TListItem::Focused() const {
  return FOwner->Live() && SendMessageW(FOwner->Wnd(), LVM_GETITEMSTATE,
                                        static_cast<WPARAM>(Index()), LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool Value) {
  if (!FOwner->Live()) return;
  LVITEMW it{};
  it.stateMask = LVIS_FOCUSED;
  it.state = Value ? LVIS_FOCUSED : 0;
  SendMessageW(FOwner->Wnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index()),
               reinterpret_cast<LPARAM>(&it));
}

void TListItem::MakeVisible(bool PartialOK) {
  if (FOwner->Live())
    SendMessageW(FOwner->Wnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), PartialOK);
}

TRect TListItem::DisplayRect() const {
  RECT r{};
  r.left = LVIR_BOUNDS;
  if (FOwner->Live())
    SendMessageW(FOwner->Wnd(), LVM_GETITEMRECT, static_cast<WPARAM>(Index()),
                 reinterpret_cast<LPARAM>(&r));
  return TRect(r);
}

void TListItem::Delete() {
  FOwner->Items()->Delete(Index());
}

TListItem* TListItems::Add() {
  return Insert(Count());
}

TListItem* TListItems::Insert(int Index) {
  if (Index < 0 || Index > Count())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  auto item = std::make_unique<TListItem>(FOwner);
  TListItem* p = item.get();
  FItems.insert(FItems.begin() + Index, std::move(item));
  if (FOwner->Live()) FOwner->InsertItemWindow(Index, p);
  return p;
}

void TListItems::Delete(int Index) {
  Item(Index);
  if (FOwner->Live()) SendMessageW(FOwner->Wnd(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
  FItems.erase(FItems.begin() + Index);
}

void TListItems::Clear() {
  if (FOwner->Live()) SendMessageW(FOwner->Wnd(), LVM_DELETEALLITEMS, 0, 0);
  FItems.clear();
}

TListItem* TListItems::Item(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FItems[Index].get();
}

int TListItems::IndexOf(const TListItem* Item) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i].get() == Item) return i;
  return -1;
}

void TListItems::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->Live()) SendMessageW(FOwner->Wnd(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FOwner->Live()) {
    SendMessageW(FOwner->Wnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FOwner->Wnd(), nullptr, TRUE);
  }
}

// ---------------------------------------------------------------------------
// TListView

TListView::TListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(std::make_unique<TListColumns>(this)),
      FItems(std::make_unique<TListItems>(this)) {
  InitClasses(ICC_LISTVIEW_CLASSES);
  FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
  SetBounds(0, 0, 250, 150);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TListView::~TListView() {
  Destroying();
  SetSmallImages(nullptr);
}

void TListView::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_LISTVIEWW);
  static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  Params.Style |= WS_TABSTOP | LVS_SHAREIMAGELISTS | views[FViewStyle];
  if (!FMultiSelect) Params.Style |= LVS_SINGLESEL;
  if (!FReadOnly) Params.Style |= LVS_EDITLABELS;
  if (!FShowColumnHeaders) Params.Style |= LVS_NOCOLUMNHEADER;
  if (!FHideSelection) Params.Style |= LVS_SHOWSELALWAYS;
  if (Ctl3D())
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

void TListView::InsertColumnWindow(TListColumn* Column) {
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  col.pszText = const_cast<wchar_t*>(Column->FCaption.c_str());
  col.cx = Column->FWidth;
  col.fmt = Column->FIndex == 0 ? LVCFMT_LEFT : ColumnFormat(Column->FAlignment);
  SendMessageW(Wnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(Column->FIndex),
               reinterpret_cast<LPARAM>(&col));
}

void TListView::InsertItemWindow(int Index, TListItem* Item) {
  LVITEMW it{};
  it.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
  it.iItem = Index;
  it.pszText = const_cast<wchar_t*>(Item->FCaption.c_str());
  it.lParam = reinterpret_cast<LPARAM>(Item);
  it.iImage = Item->FImageIndex;
  it.stateMask = LVIS_SELECTED;
  it.state = Item->FSelected ? LVIS_SELECTED : 0;
  SendMessageW(Wnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
  Item->UpdateTexts();
}

void TListView::UpdateExStyle() {
  if (!Live()) return;
  SendMessageW(Wnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP,
               (FRowSelect ? LVS_EX_FULLROWSELECT : 0) | (FFullDrag ? LVS_EX_HEADERDRAGDROP : 0));
}

void TListView::SetFullDrag(bool Value) {
  FFullDrag = Value;
  UpdateExStyle();
}

void TListView::GetScrollState(int Bar, int& Min, int& Max, int& Pos) const {
  Min = Max = Pos = 0;
  if (!Live()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_POS;
  if (!GetScrollInfo(Wnd(), Bar, &si)) return;
  Min = si.nMin;
  Max = si.nMax;
  Pos = si.nPos;
}

TRect TListView::ItemRect(int Index) const {
  RECT r{LVIR_BOUNDS, 0, 0, 0};
  if (!Live() || Index < 0 || Index >= FItems->Count() ||
      !SendMessageW(Wnd(), LVM_GETITEMRECT, static_cast<WPARAM>(Index),
                    reinterpret_cast<LPARAM>(&r)))
    return TRect();
  return TRect(r);
}

void TListView::ScrollBy(int DX, int DY) {
  if (Live()) SendMessageW(Wnd(), LVM_SCROLL, static_cast<WPARAM>(DX), static_cast<LPARAM>(DY));
}

void TListView::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateExStyle();
  if (FSmallImages) SendSmallImages();
  for (auto& c : FColumns->FItems)
    InsertColumnWindow(c.get());
  for (int i = 0; i < FItems->Count(); ++i)
    InsertItemWindow(i, FItems->FItems[i].get());
}

void TListView::DestroyWnd() {
  if (Live())
    for (auto& item : FItems->FItems) {
      item->FSelected = item->Selected();
      item->FCaption = item->FCaption;
    }
  TWinControl::DestroyWnd();
}

void TListView::SetViewStyle(TViewStyle Value) {
  if (FViewStyle == Value) return;
  FViewStyle = Value;
  if (Live()) RecreateWnd();
}

void TListView::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  if (Live()) RecreateWnd();
}

void TListView::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  if (Live()) RecreateWnd();
}

void TListView::SetRowSelect(bool Value) {
  FRowSelect = Value;
  UpdateExStyle();
}

void TListView::SetShowColumnHeaders(bool Value) {
  if (FShowColumnHeaders == Value) return;
  FShowColumnHeaders = Value;
  if (Live()) RecreateWnd();
}

void TListView::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  if (Live()) RecreateWnd();
}

void TListView::SetSmallImages(TCustomImageList* Value) {
  if (FSmallImages == Value) return;
  if (FSmallImages) {
    FSmallImages->UnRegisterChanges(FSmallChangeLink.get());
    FSmallImages->RemoveFreeNotification(this);
  }
  FSmallImages = Value;
  if (Value) {
    if (!FSmallChangeLink) {
      FSmallChangeLink = std::make_unique<TChangeLink>();
      FSmallChangeLink->OnChange = [this](TObject*) { SendSmallImages(); };
    }
    Value->RegisterChanges(FSmallChangeLink.get());
    Value->FreeNotification(this);
  }
  SendSmallImages();
}

void TListView::SendSmallImages() {
  if (!Live()) return;
  // The list's handle may be new after a change (a new size makes a new list).
  HIMAGELIST list = FSmallImages ? FSmallImages->Handle() : nullptr;
  SendMessageW(Wnd(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(list));
  Invalidate();
}

void TListView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSmallImages) {
    FSmallImages = nullptr;
    SendSmallImages();
  }
}

TListItem* TListView::Selected() const {
  if (!Live()) {
    for (auto& item : FItems->FItems)
      if (item->FSelected) return item.get();
    return nullptr;
  }
  int i = static_cast<int>(
      SendMessageW(Wnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return i >= 0 && i < FItems->Count() ? FItems->Item(i) : nullptr;
}

void TListView::SetSelected(TListItem* Value) {
  ClearSelection();
  if (Value) Value->SetSelected(true);
}

int TListView::SelCount() const {
  if (Live()) return static_cast<int>(SendMessageW(Wnd(), LVM_GETSELECTEDCOUNT, 0, 0));
  return static_cast<int>(std::count_if(FItems->FItems.begin(), FItems->FItems.end(),
                                        [](const auto& item) { return item->FSelected; }));
}

TListItem* TListView::ItemFocused() const {
  if (!Live()) return nullptr;
  int i =
      static_cast<int>(SendMessageW(Wnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return i >= 0 && i < FItems->Count() ? FItems->Item(i) : nullptr;
}

TListItem* TListView::TopItem() const {
  if (!Live()) return FItems->Count() ? FItems->Item(0) : nullptr;
  int i = static_cast<int>(SendMessageW(Wnd(), LVM_GETTOPINDEX, 0, 0));
  return i >= 0 && i < FItems->Count() ? FItems->Item(i) : nullptr;
}

int TListView::VisibleRowCount() const {
  return Live() ? static_cast<int>(SendMessageW(Wnd(), LVM_GETCOUNTPERPAGE, 0, 0)) : 0;
}

TListItem* TListView::GetItemAt(int X, int Y) const {
  if (!Live()) return nullptr;
  LVHITTESTINFO hit{};
  hit.pt = POINT{X, Y};
  int i = static_cast<int>(SendMessageW(Wnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return i >= 0 && i < FItems->Count() ? FItems->Item(i) : nullptr;
}

void TListView::ClearSelection() {
  for (auto& item : FItems->FItems)
    item->FSelected = false;
  if (!Live()) return;
  LVITEMW it{};
  it.stateMask = LVIS_SELECTED;
  SendMessageW(Wnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
}

void TListView::SelectAll() {
  if (!FMultiSelect) return;
  for (auto& item : FItems->FItems)
    item->SetSelected(true);
}

void TListView::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (hdr->code) {
    case LVN_ITEMCHANGED: {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(Message.LParam);
      if ((nm->uChanged & LVIF_STATE) && ((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED) &&
          nm->iItem >= 0 && nm->iItem < FItems->Count()) {
        TListItem* item = FItems->Item(nm->iItem);
        item->FSelected = (nm->uNewState & LVIS_SELECTED) != 0;
        if (OnSelectItem) OnSelectItem(this, item, item->FSelected);
      }
      break;
    }
    case LVN_ENDLABELEDITW: {
      auto* nm = reinterpret_cast<NMLVDISPINFOW*>(Message.LParam);
      if (nm->item.pszText && nm->item.iItem >= 0 && nm->item.iItem < FItems->Count()) {
        FItems->Item(nm->item.iItem)->FCaption = nm->item.pszText;
        Message.Result = TRUE;
      }
      break;
    }
    }
    return;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Page control

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle =
      csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  Destroying();
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (FPageControl == Value) return;
  if (FPageControl) FPageControl->RemovePage(this);
  FPageControl = Value;
  SetParent(Value);
  if (Value) Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  auto& pages = FPageControl->FPages;
  auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (FPageControl) {
    if (!Value && FPageControl->FActivePage == this) FPageControl->FActivePage = nullptr;
    FPageControl->UpdateTabs();
  }
}

void TTabSheet::Dispatch(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED && FPageControl) FPageControl->UpdateTabs();
}

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
  InitClasses(ICC_TAB_CLASSES);
  FControlStyle = csDoubleClicks | csOpaque;
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
}

TCustomTabControl::~TCustomTabControl() {
  Destroying();
  SetImages(nullptr);
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROLW);
  Params.Style |= WS_TABSTOP | WS_CLIPCHILDREN;
  if (FMultiLine) Params.Style |= TCS_MULTILINE;
  if (FTabWidth > 0) Params.Style |= TCS_FIXEDWIDTH;
  switch (FTabPosition) {
  case tpBottom:
    Params.Style |= TCS_BOTTOM;
    break;
  case tpLeft:
    Params.Style |= TCS_VERTICAL | TCS_MULTILINE;
    break;
  case tpRight:
    Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE;
    break;
  default:
    break;
  }
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  SendImages();
  SendTabSize();
  UpdateTabs();
}

void TCustomTabControl::SendTabSize() {
  if (!HandleAllocated() || (FTabWidth <= 0 && FTabHeight <= 0)) return;
  SendMessageW(FHandle, TCM_SETITEMSIZE, 0, MAKELPARAM(FTabWidth, FTabHeight));
}

void TCustomTabControl::SendImages() {
  if (HandleAllocated())
    SendMessageW(FHandle, TCM_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
}

void TCustomTabControl::SetTabHeight(int Value) {
  if (Value < 0) Value = 0;
  if (FTabHeight == Value) return;
  FTabHeight = Value;
  if (!HandleAllocated()) return;
  SendTabSize();
  LayoutChanged();
}

void TCustomTabControl::SetTabWidth(int Value) {
  if (Value < 0) Value = 0;
  if (FTabWidth == Value) return;
  bool styleChange = (FTabWidth > 0) != (Value > 0);
  FTabWidth = Value;
  if (!HandleAllocated()) return;
  if (styleChange) {
    RecreateWnd();
    return;
  }
  SendTabSize();
  LayoutChanged();
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  SendImages();
  if (HandleAllocated()) LayoutChanged();
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
  if (FTabPosition == Value) return;
  FTabPosition = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool Value) {
  if (FMultiLine == Value) return;
  FMultiLine = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    SendImages();
  }
}

TRect TCustomTabControl::DisplayRect() {
  RECT r{0, 0, Width(), Height()};
  if (HandleAllocated()) {
    GetClientRect(FHandle, &r);
    SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  } else {
    r.left += 4;
    r.top += 24;
    r.right -= 4;
    r.bottom -= 4;
  }
  return TRect(r);
}

void TCustomTabControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (hdr->code == TCN_SELCHANGING) {
      bool allow = true;
      if (OnChanging) OnChanging(this, allow);
      Message.Result = allow ? FALSE : TRUE;
    } else if (hdr->code == TCN_SELCHANGE) {
      TabSelected(static_cast<int>(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0)));
      if (OnChange) OnChange(this);
    }
    return;
  }
  TWinControl::Dispatch(Message);
  if (Message.Msg == WM_SIZE) LayoutChanged();
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  Destroying();
  for (TTabSheet* page : FPages)
    page->FPageControl = nullptr;
  FPages.clear();
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FPages[Index];
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  if (!FActivePage && Page->TabVisible()) FActivePage = Page;
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
  if (FActivePage == Page) {
    FActivePage = nullptr;
    for (TTabSheet* p : FPages)
      if (p->TabVisible()) {
        FActivePage = p;
        break;
      }
  }
  if (!(ComponentState() & csDestroying)) UpdateTabs();
}

int TPageControl::TabIndexOf(TTabSheet* Page) const {
  int tab = 0;
  for (TTabSheet* p : FPages) {
    if (!p->TabVisible()) continue;
    if (p == Page) return tab;
    ++tab;
  }
  return -1;
}

TTabSheet* TPageControl::PageOfTab(int TabIndex) const {
  int tab = 0;
  for (TTabSheet* p : FPages) {
    if (!p->TabVisible()) continue;
    if (tab++ == TabIndex) return p;
  }
  return nullptr;
}

void TPageControl::UpdateTabs() {
  if (HandleAllocated()) {
    SendMessageW(FHandle, TCM_DELETEALLITEMS, 0, 0);
    int tab = 0;
    for (TTabSheet* p : FPages) {
      if (!p->TabVisible()) continue;
      std::wstring caption = p->Caption();
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      SendMessageW(FHandle, TCM_INSERTITEMW, static_cast<WPARAM>(tab++),
                   reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOf(FActivePage)), 0);
  }
  UpdatePages();
}

void TPageControl::UpdatePages() {
  TRect r = DisplayRect();
  for (TTabSheet* p : FPages) {
    p->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    p->SetVisible(p == FActivePage);
  }
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  if (Value && Value->PageControl() != this) return;
  if (FActivePage == Value) return;
  FActivePage = Value;
  if (HandleAllocated())
    SendMessageW(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOf(Value)), 0);
  UpdatePages();
}

int TPageControl::ActivePageIndex() const {
  return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? FPages[Value] : nullptr);
}

void TPageControl::TabSelected(int Tab) {
  FActivePage = PageOfTab(Tab);
  UpdatePages();
}

// ---------------------------------------------------------------------------
// Tab control

TTabControl::TTabControl(TComponent* AOwner)
    : TCustomTabControl(AOwner), FTabs(std::make_unique<TStringList>()) {
  FControlStyle |= csAcceptsControls;
  FTabs->OnChange = [this](TStringList*) { UpdateTabs(); };
}

TTabControl::~TTabControl() {
  Destroying();
  FTabs->OnChange = nullptr;
}

void TTabControl::SetTabIndex(int Value) {
  if (Value < -1 || Value >= FTabs->Count()) return;
  FTabIndex = Value;
  if (HandleAllocated()) SendMessageW(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TTabControl::UpdateTabs() {
  // The selection stays within the tabs; the first tab added is selected, as
  // the window itself does.
  int count = FTabs->Count();
  if (FTabIndex >= count) FTabIndex = count - 1;
  if (FTabIndex < 0 && count > 0) FTabIndex = 0;
  if (!HandleAllocated()) return;
  SendMessageW(FHandle, TCM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < count; ++i) {
    std::wstring caption = FTabs->Get(i);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(FHandle, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
}

// ---------------------------------------------------------------------------
// Track bar

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  InitClasses(ICC_BAR_CLASSES);
  FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  SetBounds(0, 0, 150, 45);
  SetTabStop(true);
}

void TTrackBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TRACKBAR_CLASSW);
  Params.Style |= WS_TABSTOP | TBS_AUTOTICKS | (FOrientation == trVertical ? TBS_VERT : TBS_HORZ);
}

void TTrackBar::SendRange() {
  if (!HandleAllocated()) return;
  SendMessageW(FHandle, TBM_SETRANGEMIN, FALSE, FMin);
  SendMessageW(FHandle, TBM_SETRANGEMAX, FALSE, FMax);
  SendMessageW(FHandle, TBM_SETTICFREQ, static_cast<WPARAM>(FFrequency), 0);
  SendMessageW(FHandle, TBM_SETLINESIZE, 0, FLineSize);
  SendMessageW(FHandle, TBM_SETPAGESIZE, 0, FPageSize);
  SendMessageW(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendRange();
}

void TTrackBar::DestroyWnd() {
  if (HandleAllocated()) FPosition = Position();
  TWinControl::DestroyWnd();
}

int TTrackBar::Position() const {
  if (HandleAllocated()) return static_cast<int>(SendMessageW(FHandle, TBM_GETPOS, 0, 0));
  return FPosition;
}

void TTrackBar::SetPosition(int Value) {
  Value = std::clamp(Value, FMin, std::max(FMin, FMax));
  if (Value == Position()) return;
  FPosition = Value;
  if (HandleAllocated()) SendMessageW(FHandle, TBM_SETPOS, TRUE, Value);
  if (OnChange) OnChange(this);
}

void TTrackBar::SetMin(int Value) {
  FMin = Value;
  if (FMax < FMin) FMax = FMin;
  FPosition = std::clamp(FPosition, FMin, FMax);
  SendRange();
}

void TTrackBar::SetMax(int Value) {
  FMax = Value;
  if (FMin > FMax) FMin = FMax;
  FPosition = std::clamp(FPosition, FMin, FMax);
  SendRange();
}

void TTrackBar::SetFrequency(int Value) {
  FFrequency = Value;
  SendRange();
}

void TTrackBar::SetLineSize(int Value) {
  FLineSize = Value;
  SendRange();
}

void TTrackBar::SetPageSize(int Value) {
  FPageSize = Value;
  SendRange();
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TTrackBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
    int pos = static_cast<int>(SendMessageW(FHandle, TBM_GETPOS, 0, 0));
    if (pos != FPosition) {
      FPosition = pos;
      if (OnChange) OnChange(this);
    }
    Message.Result = 0;
    return;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Progress bar

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  InitClasses(ICC_PROGRESS_CLASS);
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, PROGRESS_CLASSW);
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
  SendMessageW(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetMin(int Value) {
  FMin = Value;
  if (HandleAllocated()) SendMessageW(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
}

void TProgressBar::SetMax(int Value) {
  FMax = Value;
  if (HandleAllocated()) SendMessageW(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
}

void TProgressBar::SetPosition(int Value) {
  FPosition = std::clamp(Value, FMin, std::max(FMin, FMax));
  if (HandleAllocated()) SendMessageW(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

// ---------------------------------------------------------------------------
// Up-down

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  InitClasses(ICC_UPDOWN_CLASS);
  SetBounds(0, 0, 17, 25);
}

void TUpDown::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, UPDOWN_CLASSW);
  if (FOrientation == udHorizontal) Params.Style |= UDS_HORZ;
  if (FWrap) Params.Style |= UDS_WRAP;
}

void TUpDown::SendRange() {
  if (!HandleAllocated()) return;
  SendMessageW(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
  UDACCEL accel{0, static_cast<UINT>(FIncrement)};
  SendMessageW(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  SendMessageW(FHandle, UDM_SETPOS32, 0, FPosition);
}

void TUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  SendRange();
}

void TUpDown::DestroyWnd() {
  if (HandleAllocated()) FPosition = Position();
  TWinControl::DestroyWnd();
}

int TUpDown::Position() const {
  if (HandleAllocated()) return static_cast<int>(SendMessageW(FHandle, UDM_GETPOS32, 0, 0));
  return FPosition;
}

void TUpDown::SetPosition(int Value) {
  FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
  if (HandleAllocated()) SendMessageW(FHandle, UDM_SETPOS32, 0, FPosition);
}

void TUpDown::SetMin(int Value) {
  FMin = Value;
  SendRange();
}

void TUpDown::SetMax(int Value) {
  FMax = Value;
  SendRange();
}

void TUpDown::SetIncrement(int Value) {
  FIncrement = Value;
  SendRange();
}

void TUpDown::SetWrap(bool Value) {
  if (FWrap == Value) return;
  FWrap = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TUpDown::SetOrientation(TUDOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TUpDown::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (hdr->code == UDN_DELTAPOS) {
      auto* nm = reinterpret_cast<NMUPDOWN*>(Message.LParam);
      bool allow = true;
      if (OnChanging) OnChanging(this, allow);
      Message.Result = allow ? FALSE : TRUE;
      if (allow && OnClick) OnClick(this, nm->iDelta > 0 ? btNext : btPrev);
    }
    return;
  }
  if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
    FPosition = Position();
    return;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Date-time picker

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner), FDateTime(Now()) {
  InitClasses(ICC_DATE_CLASSES);
  SetBounds(0, 0, 186, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TDateTimePicker::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, DATETIMEPICK_CLASSW);
  Params.Style |= WS_TABSTOP;
  if (FKind == dtkTime)
    Params.Style |= DTS_TIMEFORMAT | DTS_UPDOWN;
  else
    Params.Style |= FDateFormat == dfLong ? DTS_LONGDATEFORMAT : DTS_SHORTDATEFORMAT;
}

void TDateTimePicker::CreateWnd() {
  TWinControl::CreateWnd();
  SYSTEMTIME st = DateTimeToSystemTime(FDateTime);
  SendMessageW(FHandle, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void TDateTimePicker::DestroyWnd() {
  if (HandleAllocated()) FDateTime = DateTime();
  TWinControl::DestroyWnd();
}

TDateTime TDateTimePicker::DateTime() const {
  if (!HandleAllocated()) return FDateTime;
  SYSTEMTIME st{};
  if (SendMessageW(FHandle, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
    return FDateTime;
  return SystemTimeToDateTime(st);
}

void TDateTimePicker::SetDateTime(TDateTime Value) {
  FDateTime = Value;
  if (!HandleAllocated()) return;
  SYSTEMTIME st = DateTimeToSystemTime(Value);
  SendMessageW(FHandle, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

TDateTime TDateTimePicker::Date() const {
  return std::trunc(DateTime());
}

void TDateTimePicker::SetDate(TDateTime Value) {
  SetDateTime(std::trunc(Value) + Time());
}

TDateTime TDateTimePicker::Time() const {
  return Frac(DateTime());
}

void TDateTimePicker::SetTime(TDateTime Value) {
  SetDateTime(Date() + std::fabs(Frac(Value)));
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value) {
  if (FDateFormat == Value) return;
  FDateFormat = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TDateTimePicker::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (hdr->code == DTN_DATETIMECHANGE) {
      FDateTime = DateTime();
      if (OnChange) OnChange(this);
    }
    return;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Hot-key control

THotKey::THotKey(TComponent* AOwner) : TWinControl(AOwner) {
  InitClasses(ICC_HOTKEY_CLASS);
  SetBounds(0, 0, 121, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void THotKey::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, HOTKEY_CLASSW);
  Params.Style |= WS_TABSTOP;
  if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void THotKey::SendRules() {
  if (HandleAllocated())
    SendMessageW(FHandle, HKM_SETRULES, FInvalidKeys, MAKELPARAM(FModifiers, 0));
}

void THotKey::CreateWnd() {
  TWinControl::CreateWnd();
  SendRules();
  SetHotKey(FHotKey);
}

void THotKey::DestroyWnd() {
  if (HandleAllocated()) FHotKey = HotKey();
  TWinControl::DestroyWnd();
}

TShortCut THotKey::HotKey() const {
  if (!HandleAllocated()) return FHotKey;
  WORD v = static_cast<WORD>(SendMessageW(FHandle, HKM_GETHOTKEY, 0, 0));
  BYTE mods = HIBYTE(v);
  TShortCut sc = LOBYTE(v);
  if (mods & HOTKEYF_SHIFT) sc |= scShift;
  if (mods & HOTKEYF_CONTROL) sc |= scCtrl;
  if (mods & HOTKEYF_ALT) sc |= scAlt;
  return sc;
}

void THotKey::SetHotKey(TShortCut Value) {
  FHotKey = Value;
  if (!HandleAllocated()) return;
  BYTE mods = 0;
  if (Value & scShift) mods |= HOTKEYF_SHIFT;
  if (Value & scCtrl) mods |= HOTKEYF_CONTROL;
  if (Value & scAlt) mods |= HOTKEYF_ALT;
  SendMessageW(FHandle, HKM_SETHOTKEY, MAKEWORD(LOBYTE(Value), mods), 0);
}

void THotKey::SetModifiers(THKModifiers Value) {
  FModifiers = Value;
  SendRules();
}

void THotKey::SetInvalidKeys(THKInvalidKeys Value) {
  FInvalidKeys = Value;
  SendRules();
}

void THotKey::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == EN_CHANGE) {
      FHotKey = HotKey();
      if (OnChange) OnChange(this);
    }
    return;
  }
  TWinControl::Dispatch(Message);
}
