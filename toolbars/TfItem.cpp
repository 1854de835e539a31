#include "toolbars/TfItem.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include <oleacc.h>

#include "framework/Forms.h"
#include "toolbars/TfAcc.h"
#include "toolbars/TfAnim.h"

// ---------------------------------------------------------------------------
// Per-thread bookkeeping: live count, hidden window and deferred-call list

namespace {

constexpr UINT WM_TF_DEFERRED = WM_USER + 256;

struct TThreadState {
  int Live = 0;
  HWND Wnd = nullptr;
  std::vector<TObject*> Deferred;
};
thread_local TThreadState tState;

TObject* CancelMark() {
  static TObject mark;
  return &mark;
}

LRESULT CALLBACK DeferredWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_TF_DEFERRED) return DefWindowProcW(wnd, msg, wp, lp);
  auto& list = tState.Deferred;
  if (lp < 0 || static_cast<size_t>(lp) >= list.size()) return 0;
  TObject* obj = list[static_cast<size_t>(lp)];
  list[static_cast<size_t>(lp)] = nullptr;
  if (obj == CancelMark()) obj = nullptr;
  while (!list.empty() && list.back() == nullptr)
    list.pop_back();
  if (!obj) return 0;
  try {
    if (auto* item = dynamic_cast<TTfCustomItem*>(obj))
      item->Click();
    else if (auto* viewer = dynamic_cast<TTfItemViewer*>(obj))
      TfAccDoDefaultActionDeferred(viewer, wp);
  } catch (...) {
    if (Application) Application->HandleException(nullptr);
  }
  return 0;
}

HWND DeferredWindow() {
  if (!tState.Wnd) {
    static ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = DeferredWndProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"TfDeferredCallWindow";
      return RegisterClassW(&wc);
    }();
    (void)atom;
    tState.Wnd = CreateWindowExW(0, L"TfDeferredCallWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  return tState.Wnd;
}

void AddLive() {
  ++tState.Live;
}

void ReleaseLive() {
  if (--tState.Live > 0) return;
  tState.Live = 0;
  if (tState.Wnd) DestroyWindow(tState.Wnd);
  tState.Wnd = nullptr;
  tState.Deferred.clear();
}

void PostDeferred(TObject* obj, WPARAM flag) {
  HWND wnd = DeferredWindow();
  auto& list = tState.Deferred;
  size_t slot = list.size();
  for (size_t i = 0; i < list.size(); ++i)
    if (!list[i]) {
      slot = i;
      break;
    }
  if (slot == list.size())
    list.push_back(obj);
  else
    list[slot] = obj;
  PostMessageW(wnd, WM_TF_DEFERRED, flag, static_cast<LPARAM>(slot));
}

void CancelDeferred(TObject* obj) {
  for (auto& p : tState.Deferred)
    if (p == obj) p = CancelMark();
}

[[noreturn]] void IndexError() {
  throw ETfItemError(tfstr::ItemIndexOutOfRange);
}

constexpr TTfItemOptions kLayoutOptions = 0x367;

} // namespace

int TfLiveObjectCount() {
  return tState.Live;
}

HWND TfDeferredWindow() {
  return tState.Wnd;
}

// ---------------------------------------------------------------------------
// Action link

TTfCustomItemActionLink::TTfCustomItemActionLink(TTfCustomItem* AClient)
    : TActionLink(AClient), FItem(AClient) {}

void TTfCustomItemActionLink::SetCaption(const std::wstring& Value) {
  FItem->SetCaption(Value);
}
void TTfCustomItemActionLink::SetChecked(bool Value) {
  FItem->SetChecked(Value);
}
void TTfCustomItemActionLink::SetEnabled(bool Value) {
  FItem->SetEnabled(Value);
}
void TTfCustomItemActionLink::SetHint(const std::wstring& Value) {
  FItem->FHint = Value;
}
void TTfCustomItemActionLink::SetImageIndex(int Value) {
  FItem->SetImageIndex(Value);
}
void TTfCustomItemActionLink::SetShortCut(TShortCut Value) {
  FItem->FShortCut = Value;
}
void TTfCustomItemActionLink::SetVisible(bool Value) {
  FItem->SetVisible(Value);
}

// ---------------------------------------------------------------------------
// Items

TTfCustomItem::TTfCustomItem(TComponent* AOwner) : TComponent(AOwner) {
  AddLive();
}

TTfCustomItem::~TTfCustomItem() {
  Destroying();
  CancelDeferred(this);
  while (!FChildren.empty()) {
    TTfCustomItem* c = FChildren.back();
    delete c; // removes itself from this list
  }
  if (FParent) FParent->Remove(this);
  SetLinkSubitems(nullptr);
  for (TTfCustomItem* l : std::vector<TTfCustomItem*>(FLinkParents))
    l->SetLinkSubitems(nullptr);
  FActionLink.reset();
  if (FImages && FImagesLink) FImages->UnRegisterChanges(FImagesLink.get());
  if (FSubMenuImages && FSubMenuImagesLink)
    FSubMenuImages->UnRegisterChanges(FSubMenuImagesLink.get());
  FImagesLink.reset();
  FSubMenuImagesLink.reset();
  FListeners.clear();
  ReleaseLive();
}

TTfCustomItem* TTfCustomItem::ChildAt(int Index) const {
  if (Index < 0 || Index >= ChildCount()) IndexError();
  return FChildren[static_cast<size_t>(Index)];
}

void TTfCustomItem::Insert(int Index, TTfCustomItem* Item) {
  if (Item->FParent) throw ETfItemError(tfstr::ItemAlreadyInserted);
  if (Index < 0 || Index > ChildCount()) IndexError();
  FChildren.insert(FChildren.begin() + Index, Item);
  Item->FParent = this;
  NotifyItemChange(icBeginUpdate, -1, nullptr);
  TScopeGuard endUpdate([&] { NotifyItemChange(icEndUpdate, -1, nullptr); });
  NotifyItemChange(icInserted, Index, Item);
  Item->RecalcOptions();
}

void TTfCustomItem::Delete(int Index) {
  TTfCustomItem* item = ChildAt(Index);
  NotifyItemChange(icDeleting, Index, item);
  item->FParent = nullptr;
  auto it = std::find(FChildren.begin(), FChildren.end(), item);
  if (it != FChildren.end()) FChildren.erase(it);
}

int TTfCustomItem::IndexOf(TTfCustomItem* Item) const {
  for (size_t i = 0; i < FChildren.size(); ++i)
    if (FChildren[i] == Item) return static_cast<int>(i);
  return -1;
}

void TTfCustomItem::Remove(TTfCustomItem* Item) {
  int i = IndexOf(Item);
  if (i >= 0) Delete(i);
}

void TTfCustomItem::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (NewIndex < 0 || NewIndex >= ChildCount()) IndexError();
  TTfCustomItem* item = ChildAt(CurIndex);
  NotifyItemChange(icBeginUpdate, -1, nullptr);
  TScopeGuard endUpdate([&] { NotifyItemChange(icEndUpdate, -1, nullptr); });
  Delete(CurIndex);
  Insert(NewIndex, item);
}

TTfCustomItem* TTfCustomItem::ChildSource(TTfCustomItem* Item) {
  if (!Item) return nullptr;
  return Item->FLinkSubitems ? Item->FLinkSubitems : Item;
}

void TTfCustomItem::RegisterListener(TTfItemListener* Handler) {
  for (auto& e : FListeners)
    if (e.Handler == Handler) {
      ++e.Registrations;
      return;
    }
  FListeners.push_back({Handler, 1});
}

void TTfCustomItem::UnregisterListener(TTfItemListener* Handler) {
  for (size_t i = 0; i < FListeners.size(); ++i)
    if (FListeners[i].Handler == Handler) {
      if (--FListeners[i].Registrations <= 0)
        FListeners.erase(FListeners.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
}

void TTfCustomItem::NotifyItemChange(TItemChangeKind Kind, int Index, TTfCustomItem* Item) {
  NotifyRelay(0, this, Kind, Index, Item);
}

void TTfCustomItem::NotifyRelay(int Depth, TTfCustomItem* Ancestor, TItemChangeKind Kind, int Index,
                                TTfCustomItem* Item) {
  if ((FTraits & itInlineGroup) && FParent && Depth <= 10)
    FParent->NotifyRelay(Depth + 1, Ancestor, Kind, Index, Item);
  for (TTfCustomItem* l : std::vector<TTfCustomItem*>(FLinkParents)) {
    if (l == FParent) continue;
    if ((l->FTraits & itInlineGroup) && l->FParent && Depth <= 10)
      l->FParent->NotifyRelay(Depth + 1, Ancestor == this ? l : Ancestor, Kind, Index, Item);
  }
  size_t i = 0;
  while (i < FListeners.size()) {
    TTfItemListener* h = FListeners[i].Handler;
    h->ItemNotification(Ancestor, Ancestor != this, Kind, Index, Item);
    if (i >= FListeners.size()) break;
    if (FListeners[i].Handler == h) ++i;
  }
}

void TTfCustomItem::Change(bool NeedResize) {
  if (FParent) FParent->NotifyItemChange(NeedResize ? icRelayout : icRepaint, -1, this);
}

void TTfCustomItem::FirePopupEvent(TTfCustomItem* Sender, bool FromLink) {
  if (OnPopup) OnPopup(Sender, FromLink);
  if (!(FTraits & itCombo)) Click();
}

TTfItemViewer* TTfCustomItem::CreateViewer(TTfView* View, int Level) {
  return new TTfItemViewer(View, this, Level);
}

TTfPopupWindow* TTfCustomItem::CreatePopupWindow(TTfView* ParentView, bool Customizing) {
  return new TTfPopupWindow(nullptr, ParentView, this, Customizing);
}

void TTfCustomItem::Click() {
  if (!FEnabled) return;
  auto* ca = FActionLink ? dynamic_cast<TCustomAction*>(FActionLink->Action()) : nullptr;
  if (FAutoCheck && !(ca && ca->AutoCheck())) SetChecked(!FChecked);
  if (OnClick && FActionLink && FActionLink->Action()) {
    OnClick(this);
    return;
  }
  if (!(ComponentState() & csDesigning) && FActionLink && FActionLink->Action())
    FActionLink->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TTfCustomItem::UpdateFromAction() {
  if (FActionLink) FActionLink->Update();
}

TBasicAction* TTfCustomItem::Action() const {
  return FActionLink ? FActionLink->Action() : nullptr;
}

void TTfCustomItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    if (FActionLink && FActionLink->Action()) FActionLink->Action()->RemoveFreeNotification(this);
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TTfCustomItemActionLink>(this);
  if (FActionLink->Action() == Value) return;
  FActionLink->SetAction(Value);
  FActionLink->OnChange = [this](TObject*) {
    if (FActionLink) ActionChanged(FActionLink->Action(), false);
  };
  ActionChanged(Value, (Value->ComponentState() & csLoading) || (ComponentState() & csLoading));
  Value->FreeNotification(this);
}

void TTfCustomItem::ActionChanged(TBasicAction* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a || Sender != Action()) return;
  if (!CheckDefaults || !FAutoCheck) FAutoCheck = a->AutoCheck();
  if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
  if (!CheckDefaults || !FChecked) SetChecked(a->Checked());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHelpContext == 0) FHelpContext = a->HelpContext();
  if (!CheckDefaults || FHint.empty()) FHint = a->Hint();
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
  if (!CheckDefaults || FShortCut == 0) FShortCut = a->ShortCut();
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
}

void TTfCustomItem::SetCaption(const std::wstring& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Change(true);
}

void TTfCustomItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  Change(false);
  if (Value) UncheckGroup();
}

void TTfCustomItem::UncheckGroup() {
  if (!FChecked || FGroupIndex == 0 || !FParent) return;
  for (TTfCustomItem* s : FParent->FChildren)
    if (s != this && s->FGroupIndex == FGroupIndex) s->SetChecked(false);
}

void TTfCustomItem::SetDisplayMode(TTfItemDisplayMode Value) {
  if (Value == FDisplayMode) return;
  FDisplayMode = Value;
  Change(true);
}

void TTfCustomItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  EnabledChanged();
}

void TTfCustomItem::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FChecked) UncheckGroup();
}

void TTfCustomItem::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  bool layout = (FImageIndex < 0) != (Value < 0);
  FImageIndex = Value;
  Change(layout);
}

void TTfCustomItem::ImageListChanged(bool SubMenu) {
  if (SubMenu) {
    if (FSubMenuImages && FSubMenuImagesLink) {
      FSubMenuImagesLink->LastWidth = FSubMenuImages->Width();
      FSubMenuImagesLink->LastHeight = FSubMenuImages->Height();
    }
    NotifyItemChange(icSubmenuImagesChanged, -1, nullptr);
    return;
  }
  if (!FImages || !FImagesLink) return;
  if (FImagesLink->LastWidth != FImages->Width() || FImagesLink->LastHeight != FImages->Height()) {
    FImagesLink->LastWidth = FImages->Width();
    FImagesLink->LastHeight = FImages->Height();
    Change(true);
  } else {
    Change(false);
  }
}

void TTfCustomItem::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  int oldW = FImages ? FImages->Width() : -1, oldH = FImages ? FImages->Height() : -1;
  if (FImages && FImagesLink) FImages->UnRegisterChanges(FImagesLink.get());
  FImages = Value;
  if (!Value) {
    FImagesLink.reset();
    Change(true);
    return;
  }
  if (!FImagesLink) {
    FImagesLink = std::make_unique<TTfImageChangeLink>();
    FImagesLink->OnChange = [this](TObject*) { ImageListChanged(false); };
  }
  FImagesLink->LastWidth = Value->Width();
  FImagesLink->LastHeight = Value->Height();
  Value->RegisterChanges(FImagesLink.get());
  Value->FreeNotification(this);
  Change(oldW != Value->Width() || oldH != Value->Height());
}

void TTfCustomItem::SetSubMenuImages(TCustomImageList* Value) {
  if (Value == FSubMenuImages) return;
  if (FSubMenuImages && FSubMenuImagesLink)
    FSubMenuImages->UnRegisterChanges(FSubMenuImagesLink.get());
  FSubMenuImages = Value;
  if (!Value) {
    FSubMenuImagesLink.reset();
  } else {
    if (!FSubMenuImagesLink) {
      FSubMenuImagesLink = std::make_unique<TTfImageChangeLink>();
      FSubMenuImagesLink->OnChange = [this](TObject*) { ImageListChanged(true); };
    }
    FSubMenuImagesLink->LastWidth = Value->Width();
    FSubMenuImagesLink->LastHeight = Value->Height();
    Value->RegisterChanges(FSubMenuImagesLink.get());
    Value->FreeNotification(this);
  }
  NotifyItemChange(icSubmenuImagesChanged, -1, nullptr);
}

void TTfCustomItem::RecalcOptions() {
  TTfItemOptions inherited = 0;
  if (FInheritOptions && FParent) inherited = FParent->FEffectiveOptions & ~tfoDefault;
  TTfItemOptions r = (inherited & ~FMaskOptions) | FOptions;
  if (!(r & tfoToolbarStyle)) r &= ~tfoToolbarSize;
  if (r == FEffectiveOptions) return;
  TTfItemOptions diff = r ^ FEffectiveOptions;
  FEffectiveOptions = r;
  if (diff & kLayoutOptions) Change(true);
  for (TTfCustomItem* c : FChildren)
    if (c->FInheritOptions) c->RecalcOptions();
}

void TTfCustomItem::SetOptions(TTfItemOptions Value) {
  if (!(Value & tfoToolbarStyle)) Value &= ~tfoToolbarSize;
  FOptions = Value;
  RecalcOptions();
}

void TTfCustomItem::SetMaskOptions(TTfItemOptions Value) {
  FMaskOptions = Value;
  RecalcOptions();
}

void TTfCustomItem::SetInheritOptions(bool Value) {
  FInheritOptions = Value;
  RecalcOptions();
}

void TTfCustomItem::SetRadioItem(bool Value) {
  if (Value == FRadioItem) return;
  FRadioItem = Value;
  Change(false);
}

void TTfCustomItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Change(true);
}

void TTfCustomItem::SetDropdownCombo(bool Value) {
  if (Value == DropdownCombo()) return;
  if (Value)
    FTraits |= itCombo;
  else
    FTraits &= ~itCombo;
  Change(true);
}

void TTfCustomItem::SetLinkSubitems(TTfCustomItem* Value) {
  if (Value == this) Value = nullptr;
  if (Value == FLinkSubitems) return;
  if (FLinkSubitems) {
    ListRemove(FLinkSubitems->FLinkParents, this);
    FLinkSubitems->RemoveFreeNotification(this);
  }
  FLinkSubitems = Value;
  if (Value) {
    ListAddOnce(Value->FLinkParents, this);
    Value->FreeNotification(this);
  }
  NotifyItemChange(icLinkChanged, -1, nullptr);
}

void TTfCustomItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (auto* it = dynamic_cast<TTfCustomItem*>(AComponent)) ListRemove(FLinkParents, it);
  if (FActionLink && AComponent == FActionLink->Action()) SetAction(nullptr);
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FSubMenuImages) SetSubMenuImages(nullptr);
  if (AComponent == FLinkSubitems) SetLinkSubitems(nullptr);
}

void TTfCustomItem::Loaded() {
  TComponent::Loaded();
  if (Action()) ActionChanged(Action(), true);
}

void TTfCustomItem::SetName(const std::wstring& Value) {
  std::wstring old = Name();
  TComponent::SetName(Value);
  if (old != Name() && FParent) FParent->NotifyItemChange(icRenamed, -1, this);
}

void TTfCustomItem::SetParentComponent(TComponent* Value) {
  TTfCustomItem* target = dynamic_cast<TTfCustomItem*>(Value);
  if (Value && !target) {
    if (auto* rp = dynamic_cast<IItemRootProvider*>(Value))
      target = rp->GetRootItem();
    else
      throw ETfItemError(Format(tfstr::ItemBadContainer, Value->ClassName()));
  }
  if (FParent) FParent->Remove(this);
  if (target) target->Add(this);
}

TComponent* TTfCustomItem::GetParentComponent() const {
  if (!FParent) return nullptr;
  return FParent->FParentComponent ? FParent->FParentComponent : FParent;
}

void TTfCustomItem::SetChildOrder(TTfCustomItem* Child, int Order) {
  int i = IndexOf(Child);
  if (i >= 0) Move(i, Order);
}

std::wstring TTfCustomItem::ShortCutText() const {
  size_t tab = FCaption.find(L'\t');
  if (tab != std::wstring::npos) return FCaption.substr(tab + 1);
  if (FShortCut) return ::ShortCutToText(FShortCut);
  return L"";
}

void TTfCustomItem::PostClick() {
  PostDeferred(this, 0);
}

TTfCustomItem* TTfCustomItem::FindByShortCutHops(TShortCut Key, TTfCustomItem*& TopChild,
                                                 int Hops) {
  TopChild = nullptr;
  // One hop per item, as the views show it: the linked item's own children.
  TTfCustomItem* src = this;
  if (src->FLinkSubitems) {
    if (++Hops > 25) return nullptr;
    src = src->FLinkSubitems;
  }
  for (TTfCustomItem* c : src->FChildren) {
    if (c->FShortCut == Key && Key != 0) return c;
    TTfCustomItem* dummy = nullptr;
    if (TTfCustomItem* r = c->FindByShortCutHops(Key, dummy, Hops)) {
      TopChild = c;
      return r;
    }
  }
  return nullptr;
}

TTfCustomItem* TTfCustomItem::FindByShortCut(TShortCut Key, TTfCustomItem*& TopChild) {
  return FindByShortCutHops(Key, TopChild, 0);
}

bool TTfCustomItem::HandleShortCut(TMessage& Message) {
  TShortCut key =
      ::ShortCut(static_cast<WORD>(Message.WParam), KeyDataToShiftState(Message.LParam));
  for (int restart = 0; restart < 100; ++restart) {
    TTfCustomItem* top = nullptr;
    if (!FindByShortCut(key, top)) return false;
    TTfCustomItem* current = this;
    bool again = false;
    for (int guard = 0; guard < 1000; ++guard) {
      if (!current->FEnabled) return false;
      TTfCustomItem* container = ChildSource(current);
      if (!(ComponentState() & csDesigning))
        for (TTfCustomItem* c : std::vector<TTfCustomItem*>(container->FChildren))
          c->UpdateFromAction();
      if (!(current->FTraits & itInlineGroup)) {
        try {
          if (container != current) container->FirePopupEvent(current, true);
          current->FirePopupEvent(current, false);
        } catch (...) {
          if (Application) Application->HandleException(this);
        }
      }
      TTfCustomItem* found = current->FindByShortCut(key, top);
      if (!found) {
        again = true;
        break;
      }
      if (top) {
        current = top;
        continue;
      }
      if (!found->FEnabled) return false;
      try {
        found->Click();
      } catch (...) {
        if (Application) Application->HandleException(this);
      }
      return true;
    }
    if (!again) return false;
  }
  return false;
}

TTfCustomItem* TTfCustomItem::ExecuteMenuResult(const TTfMenuResult& R, bool ReturnItemOnly) {
  switch (R.Kind) {
  case mrkChosen:
    if (R.ChosenInPopup && SoundEventSet(L"MenuCommand")) PlayMenuSound(L"MenuCommand");
    if (!ReturnItemOnly && R.Item) R.Item->PostClick();
    return R.Item;
  case mrkSysKey:
    SendMessageW(R.Wnd, WM_SYSCOMMAND, SC_KEYMENU, R.Char);
    return nullptr;
  case mrkHelp:
    if (!Application) return nullptr;
    if (Screen && Screen->ActiveForm() && (Screen->ActiveForm()->BorderIcons() & biHelp))
      Application->HelpCommand(HELP_CONTEXTPOPUP, static_cast<ULONG_PTR>(R.HelpContext));
    else
      Application->HelpContext(R.HelpContext);
    return nullptr;
  default:
    return nullptr;
  }
}

TTfItem::TTfItem(TComponent* AOwner) : TTfCustomItem(AOwner) {
  FTraits = itSelectable | itRepaintOnSelect | itRepaintOnHover;
}

TTfSubmenuItem::TTfSubmenuItem(TComponent* AOwner) : TTfCustomItem(AOwner) {
  FTraits = itSelectable | itRepaintOnSelect | itRepaintOnHover | itHasSubmenu;
}

TTfSeparatorItem::TTfSeparatorItem(TComponent* AOwner) : TTfCustomItem(AOwner) {
  FTraits = itSeparator | itPassClicks;
}

void TTfSeparatorItem::SetBlank(bool Value) {
  if (Value == FBlank) return;
  FBlank = Value;
  Change(false);
}

TTfItemViewer* TTfSeparatorItem::CreateViewer(TTfView* View, int Level) {
  return new TTfSeparatorItemViewer(View, this, Level);
}

TTfControlItem::TTfControlItem(TComponent* AOwner) : TTfCustomItem(AOwner) {
  FTraits = itRepaintOnSelect | itRepaintOnHover | itPassClicks;
}

TTfControlItem::~TTfControlItem() {
  Destroying();
  TControl* c = FControl;
  FControl = nullptr;
  if (c && !(c->ComponentState() & (csAncestor | csDestroying))) {
    c->RemoveFreeNotification(this);
    delete c;
  }
}

void TTfControlItem::SetControl(TControl* Value) {
  if (Value == FControl) return;
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = Value;
  if (Value) Value->FreeNotification(this);
  Change(true);
}

void TTfControlItem::Notification(TComponent* AComponent, TOperation Operation) {
  TTfCustomItem::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FControl) {
    FControl = nullptr;
    Change(true);
  }
}

// ---------------------------------------------------------------------------
// Item viewers

TTfItemViewer::TTfItemViewer(TTfView* View, TTfCustomItem* Item, int ALevel)
    : Level(ALevel), FItem(Item), FView(View) {
  AddLive();
}

TTfItemViewer::~TTfItemViewer() {
  CancelDeferred(this);
  TfAccDetachViewer(this);
  ReleaseLive();
}

bool TTfItemViewer::IsToolbarStyle() const {
  return FView->IsToolbar() || (FItem->ResolvedOptions() & tfoToolbarStyle);
}

bool TTfItemViewer::IsToolbarSize() const {
  return FView->IsToolbar() || (FItem->ResolvedOptions() & tfoToolbarSize);
}

bool TTfItemViewer::IsRotated() const {
  return FView->Orientation() == voVertical &&
         !(FItem->ResolvedOptions() & (tfoNoRotation | tfoImageAboveCaption));
}

bool TTfItemViewer::IsImageShown() const {
  TTfItemDisplayMode m = FItem->DisplayMode();
  return (FItem->ImageIndex() >= 0 && (m == nbdmDefault || m == nbdmImageAndText)) ||
         (m == nbdmTextOnlyInMenus && IsToolbarStyle());
}

TCustomImageList* TTfItemViewer::GetImageList() const {
  if (FItem->Images()) return FItem->Images();
  for (TTfView* v = FView; v; v = v->ParentView()) {
    if (v->RootItem() && v->RootItem()->SubMenuImages()) return v->RootItem()->SubMenuImages();
    if (v->ParentItem() && v->ParentItem()->SubMenuImages())
      return v->ParentItem()->SubMenuImages();
  }
  return nullptr;
}

void TTfItemViewer::CaptionText(std::wstring& Text) const {
  const std::wstring& c = FItem->Caption();
  size_t tab = c.find(L'\t');
  Text = tab == std::wstring::npos ? c : c.substr(0, tab);
}

bool TTfItemViewer::CaptionShown() const {
  std::wstring t;
  CaptionText(t);
  if (!t.empty())
    return !(IsToolbarSize() && FItem->ImageIndex() >= 0 && FItem->DisplayMode() != nbdmTextOnly &&
             FItem->DisplayMode() != nbdmImageAndText);
  return (FItem->ResolvedOptions() & tfoImageAboveCaption) != 0;
}

void TTfItemViewer::MeasureSize(TCanvas* Canvas, int& Width, int& Height) {
  bool tbStyle = IsToolbarStyle();
  Width = Height = tbStyle ? 6 : 0;
  HDC dc = Canvas->Handle();
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  std::wstring text;
  CaptionText(text);
  if (!tbStyle || CaptionShown()) {
    if (!IsRotated() || !tbStyle) {
      Height += tm.tmHeight;
      Width += CaptionTextWidth(dc, text, true);
      if (tbStyle) Width += 6;
    } else {
      HFONT vf = CreateVerticalFont(dc);
      HGDIOBJ old = SelectObject(dc, vf);
      Width += tm.tmHeight;
      Height += CaptionTextWidth(dc, text, true);
      SelectObject(dc, old);
      DeleteObject(vf);
      Height += 6;
    }
  }
  TCustomImageList* il = GetImageList();
  if (tbStyle && IsImageShown() && il) {
    if (!IsRotated() && !(FItem->ResolvedOptions() & tfoImageAboveCaption)) {
      Width += il->Width() + 1;
      Height = std::max<int>(Height, il->Height() + 6);
    } else {
      Height += il->Height();
      Width = std::max<int>(Width, il->Width() + 7);
    }
  }
  if (tbStyle && (FItem->Traits() & itHasSubmenu)) {
    if (FItem->Traits() & itCombo)
      Width += 11;
    else if (FItem->ResolvedOptions() & tfoDropdownArrow) {
      if (FView->Orientation() == voVertical)
        Height += 8;
      else
        Width += 8;
    }
  }
  if (!tbStyle) {
    Height += tm.tmExternalLeading + 4;
    int m;
    if (il) {
      Height = std::max<int>(Height, il->Height() + 3);
      m = MulDiv(il->Width() + 3, Height, il->Height() + 3);
    } else {
      m = Height;
    }
    Width += m + 6;
    std::wstring sc = FItem->ShortCutText();
    if (!sc.empty()) Width += CaptionTextWidth(dc, sc, false) + Height - 6;
    Width += Height;
  }
}

bool TTfItemViewer::Choose() {
  FView->SetChosenResult(this);
  return true;
}

void TTfItemViewer::DrawCaption(TCanvas* Canvas, const TRect& R, const std::wstring& Caption,
                                bool Embossed, UINT Format) {
  HDC dc = Canvas->Handle();
  auto draw = [&](const TRect& rr) {
    if (IsRotated() && IsToolbarStyle()) {
      DrawVerticalText(dc, Caption, rr, Format);
    } else {
      RECT r = rr;
      DrawTextW(dc, Caption.c_str(), static_cast<int>(Caption.size()), &r, Format);
    }
  };
  if (Embossed) {
    COLORREF old = GetTextColor(dc);
    TRect r1 = R;
    r1.Offset(1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    draw(r1);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    draw(R);
    SetTextColor(dc, old);
  } else {
    draw(R);
  }
}

void TTfItemViewer::SelectionGained() {
  if (FItem->OnSelect) FItem->OnSelect(FItem, this, true);
}

void TTfItemViewer::SelectionLost() {
  if (FItem->OnSelect) FItem->OnSelect(FItem, this, false);
}

int TTfItemViewer::AccRole() {
  if (dynamic_cast<TTfControlItem*>(FItem)) return ROLE_SYSTEM_CLIENT;
  if (FItem->Traits() & itSeparator) return ROLE_SYSTEM_SEPARATOR;
  if (FView->IsPopup() || (FView->Style() & styMenuBar)) return ROLE_SYSTEM_MENUITEM;
  return (FItem->Traits() & itHasSubmenu) ? ROLE_SYSTEM_BUTTONMENU : ROLE_SYSTEM_PUSHBUTTON;
}

bool TTfItemViewer::HitsButtonPart(int X, int) {
  if (FItem->Traits() & itCombo)
    return X < BoundsRect.Width() - (IsToolbarStyle() ? 11 : GetSystemMetrics(SM_CXMENUCHECK));
  return !(FItem->Traits() & itHasSubmenu);
}

void TTfItemViewer::KeyDown(WORD&, TShiftState) {}

void TTfItemViewer::CaptureLost() {
  FView->InvalidateViewer(this);
}

static bool IsTopLevelView(TTfView* v) {
  return !v->ParentView() && !v->IsPopup();
}

void TTfItemViewer::MouseDown(TShiftState Shift, int X, int Y, bool& MouseDownOnMenu) {
  if (!FItem->Enabled() && !FView->Customizing()) {
    if (IsTopLevelView(FView)) FView->SetCancelResult();
    return;
  }
  if (HitsButtonPart(X, Y)) {
    if (IsToolbarStyle()) {
      FView->CloseChildAndStop();
      FView->SetCaptureFlag();
      FView->InvalidateViewer(this);
    }
    return;
  }
  bool wasOpen = FView->OpenViewer() == this;
  FView->OpenSelectedSubmenu(false);
  if (FView->OpenView()) {
    if (wasOpen && IsTopLevelView(FView)) MouseDownOnMenu = true;
    if ((Shift & ssDouble) && !(FItem->Traits() & itCombo)) ChooseDefaultItem(FView->OpenView());
  }
}

void TTfItemViewer::MouseMove(int, int) {}

void TTfItemViewer::MouseUp(int X, int Y, bool MouseWasDownOnMenu) {
  bool captured = FView->MouseCaptured();
  FView->ReleaseCaptureFlag();
  bool top = IsTopLevelView(FView);
  if (!(FView->Selected() == this && FView->MouseInside() && FItem->Enabled() &&
        !(FItem->Traits() & itPassClicks))) {
    if (top) FView->SetCancelResult();
    return;
  }
  if ((FItem->Traits() & itHasSubmenu) && !HitsButtonPart(X, Y)) {
    if (MouseWasDownOnMenu && top) FView->SetCancelResult();
    return;
  }
  if (!IsToolbarStyle() || captured) ChooseAndMarkUsed(true);
}

void TTfItemViewer::MouseWheel(int, int, int) {}

bool TTfItemViewer::SharesMaxWidth() {
  return (FItem->ResolvedOptions() & tfoImageAboveCaption) &&
         (FItem->ResolvedOptions() & tfoSameWidth) && IsToolbarSize();
}

void TTfItemViewer::ChooseAndMarkUsed(bool MarkUsed) {
  if (Choose() && MarkUsed) FView->MarkUsed(this);
}

TPoint TTfItemViewer::ScreenToViewer(const TPoint& P) {
  POINT p = P;
  if (FView->Window() && FView->Window()->HandleAllocated())
    ScreenToClient(FView->Window()->Handle(), &p);
  return TPoint(p.x - BoundsRect.Left, p.y - BoundsRect.Top);
}

std::wstring TTfItemViewer::HintText() {
  std::wstring h = FItem->Hint();
  size_t bar = h.find(L'|');
  if (bar != std::wstring::npos) h = h.substr(0, bar);
  if (h.empty() && !(FItem->ResolvedOptions() & tfoNoAutoHint) &&
      (!(FItem->Traits() & itHasSubmenu) || (FItem->Traits() & itCombo) || !CaptionShown())) {
    std::wstring c;
    CaptionText(c);
    h = StripAccelMarks(TrimEllipsisOrColon(c));
  }
  if (auto* a = dynamic_cast<TCustomAction*>(FItem->Action()))
    if (!a->DoHint(h)) h.clear();
  if (!h.empty() && FItem->ShortCut()) h = h + L" (" + ::ShortCutToText(FItem->ShortCut()) + L")";
  return h;
}

void TTfItemViewer::ChooseDefaultItem(TTfView* View) {
  for (int i = 0; i < View->ViewerCount(); ++i) {
    TTfItemViewer* v = View->Viewers(i);
    TTfCustomItem* it = v->Item();
    if ((v->Shown || v->ScrolledOut) && (it->ResolvedOptions() & tfoDefault) &&
        (it->Traits() & itSelectable) && it->Enabled() && it->Visible()) {
      v->ChooseAndMarkUsed(true);
      return;
    }
  }
}

void TTfItemViewer::PostAccAction(WPARAM Flag) {
  PostDeferred(this, Flag);
}

TTfBaseAccObject* TTfItemViewer::AccObject() {
  return FAcc;
}

static void DrawCheckMark(HDC dc, int cx, int cy, bool radio) {
  if (radio) {
    HBRUSH b = CreateSolidBrush(GetSysColor(COLOR_BTNTEXT));
    HPEN p = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
    RoundRect(dc, cx - 3, cy - 3, cx + 2, cy + 2, 2, 2);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    HPEN p2 = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    SelectObject(dc, p2);
    RoundRect(dc, cx - 4, cy - 4, cx + 3, cy + 3, 6, 6);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(b);
    DeleteObject(p);
    DeleteObject(p2);
    return;
  }
  int x = cx - 2, y = cy + 1;
  POINT a[7] = {{x - 2, y - 2}, {x, y},         {x + 4, y - 4}, {x + 4, y - 3},
                {x, y + 1},     {x - 2, y - 1}, {x - 2, y - 2}};
  POINT b[5] = {{x - 3, y - 2}, {x - 3, y - 1}, {x, y + 2}, {x + 5, y - 3}, {x + 5, y - 5}};
  HPEN p1 = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
  HPEN p2 = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HGDIOBJ op = SelectObject(dc, p1);
  Polyline(dc, a, 7);
  SelectObject(dc, p2);
  Polyline(dc, b, 5);
  SelectObject(dc, op);
  DeleteObject(p1);
  DeleteObject(p2);
}

static void DitherFill(HDC dc, const TRect& r) {
  WORD bits[8];
  for (int i = 0; i < 8; ++i)
    bits[i] = (i & 1) ? 0xAA : 0x55;
  HBITMAP bmp = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH br = CreatePatternBrush(bmp);
  COLORREF oldT = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
  COLORREF oldB = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  RECT rr = r;
  FillRect(dc, &rr, br);
  SetTextColor(dc, oldT);
  SetBkColor(dc, oldB);
  DeleteObject(br);
  DeleteObject(bmp);
}

static void DrawMenuArrow(HDC dc, int x, int y, COLORREF color) {
  int w = GetSystemMetrics(SM_CXMENUCHECK), h = GetSystemMetrics(SM_CYMENUCHECK);
  HDC mdc = CreateCompatibleDC(dc);
  HBITMAP mono = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(mdc, mono);
  RECT r{0, 0, w, h};
  DrawFrameControl(mdc, &r, DFC_MENU, DFCS_MENUARROW);
  HBRUSH br = CreateSolidBrush(color);
  HGDIOBJ ob = SelectObject(dc, br);
  COLORREF ot = SetTextColor(dc, RGB(0, 0, 0)), obk = SetBkColor(dc, RGB(255, 255, 255));
  BitBlt(dc, x, y, w, h, mdc, 0, 0, 0xE20746);
  SetTextColor(dc, ot);
  SetBkColor(dc, obk);
  SelectObject(dc, ob);
  DeleteObject(br);
  SelectObject(mdc, old);
  DeleteObject(mono);
  DeleteDC(mdc);
}

void TTfItemViewer::Paint(TCanvas* Canvas, const TRect& ClientRect, bool IsSelected, bool IsPushed,
                          bool UseDisabledShadow) {
  HDC dc = Canvas->Handle();
  bool tbStyle = IsToolbarStyle();
  bool active = FItem->Enabled() || FView->Customizing();
  bool combo = (FItem->Traits() & itCombo) != 0;
  bool hasArrow =
      (FItem->Traits() & itHasSubmenu) && (combo || (FItem->ResolvedOptions() & tfoDropdownArrow));
  bool vertical = FView->Orientation() == voVertical;
  int cxCheck = GetSystemMetrics(SM_CXMENUCHECK), cyCheck = GetSystemMetrics(SM_CYMENUCHECK);
  TCustomImageList* il = GetImageList();
  int m = il ? MulDiv(il->Width() + 3, ClientRect.Bottom, il->Height() + 3) : ClientRect.Bottom;
  TRect r = ClientRect;
  bool checked = FItem->Checked();
  bool captured = FView->MouseCaptured();
  if (tbStyle) {
    TRect arrow;
    if (combo) {
      r.Right -= 2;
      arrow = TRect(r.Right - 9, r.Top, r.Right, r.Bottom);
      r.Right -= 9;
    } else if (FItem->ResolvedOptions() & tfoDropdownArrow) {
      arrow = vertical ? TRect(0, r.Bottom - 11, r.Right, r.Bottom - 3)
                       : TRect(r.Right - 11, 0, r.Right - 3, r.Bottom);
    }
    if ((IsSelected && active) || checked) {
      RECT rr = r;
      if (!combo) {
        DrawEdge(dc, &rr, (IsPushed || checked) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      } else {
        DrawEdge(dc, &rr, ((IsPushed && captured) || checked) ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                 BF_RECT);
        if (IsSelected && active) {
          RECT ar = arrow;
          DrawEdge(dc, &ar, (IsPushed && !captured) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
      }
    }
    if (hasArrow) {
      int cx = (arrow.Left + arrow.Right) / 2, cy = (arrow.Top + arrow.Bottom) / 2;
      if (IsPushed && !combo) cx += 1, cy += 1;
      auto tri = [&](int ox, int oy, COLORREF col) {
        POINT p[3];
        if (!combo && vertical) {
          p[0] = {cx - 1 + ox, cy + 2 + oy};
          p[1] = {cx - 1 + ox, cy - 2 + oy};
          p[2] = {cx - 3 + ox, cy + oy};
        } else {
          p[0] = {cx - 2 + ox, cy - 1 + oy};
          p[1] = {cx + 2 + ox, cy - 1 + oy};
          p[2] = {cx + ox, cy + 1 + oy};
        }
        HBRUSH b = CreateSolidBrush(col);
        HPEN pn = CreatePen(PS_SOLID, 1, col);
        HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pn);
        ::Polygon(dc, p, 3);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(b);
        DeleteObject(pn);
      };
      if (UseDisabledShadow) {
        tri(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        tri(0, 0, GetSysColor(COLOR_BTNSHADOW));
      } else {
        tri(0, 0, GetTextColor(dc));
      }
    }
    r.Inflate(-1, -1);
    if (checked && !(IsSelected && active)) DitherFill(dc, r);
    r.Inflate(-1, -1);
    if (checked || (IsSelected && IsPushed && (!combo || captured))) r.Offset(1, 1);
    if (!combo && hasArrow) {
      if (vertical)
        r.Bottom -= 8;
      else
        r.Right -= 8;
    }
  } else if (IsSelected) {
    TRect t = ClientRect;
    if ((IsImageShown() && il) || checked) t.Left += m + 1;
    if (combo && active) t.Right -= cxCheck;
    Canvas->FillRect(t);
  }
  Canvas->Brush()->SetStyle(bsClear);
  SetBkMode(dc, TRANSPARENT);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  bool imageShown = IsImageShown() && il && FItem->ImageIndex() >= 0;
  bool imageAbove = IsRotated() || (FItem->ResolvedOptions() & tfoImageAboveCaption);
  if (CaptionShown()) {
    UINT a = 0;
    if (!KeyboardCuesEnabled() && (FView->Style() & styHideAccelsUntilKeyboard) &&
        !(FView->State() & vwAccelsShown))
      a = DT_HIDEPREFIX;
    std::wstring text;
    CaptionText(text);
    if (tbStyle) {
      TRect t = r;
      if (imageShown) {
        if (imageAbove)
          t.Top += il->Height() + 1;
        else
          t.Left += il->Width() + 1;
      }
      DrawCaption(Canvas, t, text, UseDisabledShadow, a | DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
      TRect t = ClientRect;
      t.Left += m + 3;
      t.Top += tm.tmExternalLeading;
      if (t.Height() - (tm.tmHeight + tm.tmExternalLeading) == 4) t.Bottom -= 1;
      DrawCaption(Canvas, t, text, UseDisabledShadow, a | DT_VCENTER | DT_SINGLELINE);
    }
  }
  if (!tbStyle) {
    std::wstring sc = FItem->ShortCutText();
    if (!sc.empty()) {
      int w = CaptionTextWidth(dc, sc, false);
      TRect t(ClientRect.Right - ClientRect.Bottom - w, ClientRect.Top + tm.tmExternalLeading,
              ClientRect.Right, ClientRect.Bottom);
      if (t.Height() - (tm.tmHeight + tm.tmExternalLeading) == 4) t.Bottom -= 1;
      DrawCaption(Canvas, t, sc, UseDisabledShadow, DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE);
    }
    if (FItem->Traits() & itHasSubmenu) {
      if (combo) {
        RECT ar{ClientRect.Right - cxCheck, ClientRect.Top, ClientRect.Right, ClientRect.Bottom};
        if (IsSelected && active) {
          DrawEdge(dc, &ar, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
        } else {
          ar.left -= 1;
          DrawEdge(dc, &ar, IsSelected ? BDR_SUNKENOUTER : EDGE_ETCHED, BF_LEFT);
        }
      }
      int ax = ClientRect.Right - cxCheck, ay = (ClientRect.Top + ClientRect.Bottom - cyCheck) / 2;
      if (UseDisabledShadow) {
        DrawMenuArrow(dc, ax + 1, ay + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawMenuArrow(dc, ax, ay, GetSysColor(COLOR_BTNSHADOW));
      } else if (combo && IsSelected && active) {
        DrawMenuArrow(dc, ax + 1, ay + 1, GetSysColor(COLOR_BTNTEXT));
      } else {
        DrawMenuArrow(dc, ax, ay, GetTextColor(dc));
      }
    }
  }
  if (imageShown || (!tbStyle && checked)) {
    TRect box = tbStyle ? r : TRect(0, 0, m, ClientRect.Bottom);
    if (tbStyle && il) {
      if (imageAbove)
        box.Bottom = box.Top + il->Height() + 2;
      else
        box.Right = box.Left + il->Width() + 2;
    }
    if (!tbStyle) {
      if ((IsSelected && active) || checked) {
        RECT br = box;
        DrawEdge(dc, &br, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
      }
      if (checked && !IsSelected) {
        TRect in = box;
        in.Inflate(-1, -1);
        DitherFill(dc, in);
      }
      if (checked) box.Offset(1, 1);
    }
    if (imageShown) {
      il->Draw(Canvas, (box.Left + box.Right - il->Width()) / 2,
               (box.Top + box.Bottom - il->Height()) / 2, FItem->ImageIndex(), active);
    } else if (checked) {
      DrawCheckMark(dc, (box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2, FItem->RadioItem());
    }
  }
}

void TTfSeparatorItemViewer::MeasureSize(TCanvas*, int& Width, int& Height) {
  if (IsToolbarStyle()) {
    Width = Height = 6;
  } else {
    Width = 0;
    Height = 10;
  }
}

void TTfSeparatorItemViewer::Paint(TCanvas* Canvas, const TRect& ClientRect, bool, bool, bool) {
  if (static_cast<TTfSeparatorItem*>(FItem)->Blank()) return;
  HDC dc = Canvas->Handle();
  bool tbStyle = IsToolbarStyle();
  bool wrap = (ViewerState & vsWrapLine) != 0;
  bool horizontalLine = ((!tbStyle) || FView->Orientation() == voVertical) != wrap;
  if (horizontalLine) {
    RECT r{ClientRect.Left, ClientRect.Bottom / 2 - 1, ClientRect.Right, ClientRect.Bottom};
    if (!tbStyle) {
      r.left += 12;
      r.right -= 12;
    } else if (wrap) {
      int inset = FView->Orientation() == voFloating ? 1 : 4;
      r.left += inset;
      r.right -= inset;
    }
    DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
  } else {
    RECT r{ClientRect.Right / 2 - 1, ClientRect.Top, ClientRect.Right, ClientRect.Bottom};
    if (wrap) {
      r.top += 4;
      r.bottom -= 4;
    }
    DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
  }
}

// ---------------------------------------------------------------------------
// Views

namespace {

bool gFirstPopupShown = false;

struct TLayoutRec {
  TRect R;
  bool Shown = false, Hidden = false, Scrolled = false, Wrap = false;
};

// A screen device context with a font selected, for measuring.
class TMeasureCanvas {
public:
  explicit TMeasureCanvas(TFont* Font) {
    FDC = GetDC(nullptr);
    FOld = SelectObject(FDC, Font->Handle());
    FCanvas.SetHandle(FDC);
  }
  ~TMeasureCanvas() {
    FCanvas.SetHandle(nullptr);
    SelectObject(FDC, FOld);
    ReleaseDC(nullptr, FDC);
  }
  TCanvas* Canvas() { return &FCanvas; }

private:
  HDC FDC;
  HGDIOBJ FOld;
  TCanvas FCanvas;
};

} // namespace

TTfView::TTfView(TComponent* AOwner, TTfView* AParentView, TTfCustomItem* AParentItem,
                 TWinControl* AWindow, bool AIsToolbar, bool ACustomizing, bool AUsePriorityList)
    : TComponent(AOwner), FIsToolbar(AIsToolbar), FParentItem(AParentItem),
      FCustomizing(ACustomizing), FIsPopup(!AIsToolbar), FParentView(AParentView),
      FUsePriorityList(AUsePriorityList), FWindow(AWindow) {
  if (FParentItem) {
    FParentItem->RegisterListener(this);
    FParentItem->FreeNotification(this);
  }
  ResolveRootItem();
}

TTfView::~TTfView() {
  Destroying();
  CloseChildPopups();
  TfAccDetachView(this);
  if (FParentView && FParentView->IsToolbar()) {
    FParentView->Include(vwPopupClosed);
    if (FParentView->OpenViewer()) FParentView->InvalidateViewer(FParentView->OpenViewer());
  }
  if (FParentItem) {
    FParentItem->UnregisterListener(this);
    FParentItem->RemoveFreeNotification(this);
  }
  if (FRootItem && FRootItem != FParentItem) {
    FRootItem->UnregisterListener(this);
    FRootItem->RemoveFreeNotification(this);
  }
  FPriorityList.clear();
  FSelected = nullptr;
  for (auto* v : FViewers)
    delete v;
  FViewers.clear();
  if (FParentView && FParentView->OpenView() == this) FParentView->ForgetOpenPopup();
  if (FParentView && !(FParentView->ComponentState() & csDestroying)) FParentView->NotifyFocus();
}

bool TTfView::IsLoadingRoot() const {
  return FParentItem &&
         ((FParentItem->ComponentState() & csLoading) ||
          (FParentItem->Owner() && (FParentItem->Owner()->ComponentState() & csLoading)));
}

void TTfView::ResolveRootItem() {
  TTfCustomItem* src = TTfCustomItem::ChildSource(FParentItem);
  if (src == FRootItem) return;
  CloseChildPopups();
  if (FRootItem && FRootItem != FParentItem) {
    FRootItem->UnregisterListener(this);
    FRootItem->RemoveFreeNotification(this);
  }
  FRootItem = src;
  if (FRootItem && FRootItem != FParentItem) {
    FRootItem->RegisterListener(this);
    FRootItem->FreeNotification(this);
  }
  RebuildViewers();
  if (!(ComponentState() & csDesigning))
    for (auto* v : std::vector<TTfItemViewer*>(FViewers))
      v->Item()->UpdateFromAction();
}

void TTfView::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FParentItem) {
    FParentItem = nullptr;
    if (FRootItem == AComponent) FRootItem = nullptr;
    ResolveRootItem();
    if (FParentView) FParentView->CloseChildPopups();
  } else if (AComponent == FRootItem) {
    FRootItem = nullptr;
    RebuildViewers();
  }
  if (AComponent == FOpenPopup) ForgetOpenPopup();
  if (AComponent == ChevronSource) ChevronSource = nullptr;
}

void TTfView::ForgetOpenPopup() {
  FOpenViewer = nullptr;
  FOpenView = nullptr;
  FOpenPopup = nullptr;
}

void TTfView::SetOpenPopup(TTfItemViewer* Viewer, TTfView* View, TTfPopupWindow* Popup) {
  FOpenViewer = Viewer;
  FOpenView = View;
  FOpenPopup = Popup;
  if (Popup) Popup->FreeNotification(this);
}

void TTfView::SetStyle(TTfViewStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  InvalidatePositions();
}

void TTfView::RebuildViewers() {
  CloseChildPopups();
  FSelected = nullptr;
  InvalidatePositions();
  FPriorityList.clear();
  for (auto* v : FViewers)
    delete v;
  FViewers.clear();
  LeadingCount = TrailingCount = 0;
  if (FRootItem)
    for (int i = 0; i < FRootItem->ChildCount(); ++i)
      InsertViewer(ViewerCount(), FRootItem->ChildAt(i), false, true, 0);
  if (TTfCustomItem* ch = GetChevron()) {
    FViewers.push_back(ch->CreateViewer(this, 0));
    ++TrailingCount;
  }
}

void TTfView::RecreateAllViewers() {
  RebuildViewers();
  TryValidatePositions();
}

int TTfView::InsertViewer(int Index, TTfCustomItem* Item, bool AtFront, bool AddToPriority,
                          int Level) {
  if (Level > 10) return 0;
  TTfItemViewer* v = Item->CreateViewer(this, Level);
  FViewers.insert(FViewers.begin() + Index, v);
  if (AddToPriority && FUsePriorityList) {
    if (AtFront)
      FPriorityList.insert(FPriorityList.begin(), v);
    else
      FPriorityList.push_back(v);
  }
  int count = 1;
  if (!FCustomizing && (Item->Traits() & itInlineGroup)) {
    TTfCustomItem* src = TTfCustomItem::ChildSource(Item);
    for (int i = 0; i < src->ChildCount(); ++i)
      count += InsertViewer(Index + count, src->ChildAt(i), AtFront, AddToPriority, Level + 1);
  }
  return count;
}

void TTfView::ItemInserted(TTfCustomItem* Ancestor, int, TTfCustomItem* Item) {
  InvalidatePositions();
  int blockStart = LeadingCount, blockEnd = ViewerCount() - TrailingCount, level = 0;
  if (Ancestor != FRootItem) {
    int a = -1;
    for (int i = 0; i < ViewerCount(); ++i) {
      if (FViewers[i]->Item() != Ancestor) continue;
      int lvl = FViewers[i]->Level;
      int e = i + 1;
      while (e < ViewerCount() && FViewers[e]->Level > lvl)
        ++e;
      bool dup = false;
      for (int k = i + 1; k < e; ++k)
        if (FViewers[k]->Item() == Item && FViewers[k]->Level == lvl + 1) dup = true;
      if (dup) continue;
      a = i;
      blockStart = i + 1;
      blockEnd = std::min<int>(e, ViewerCount() - TrailingCount);
      level = lvl + 1;
      break;
    }
    if (a < 0) return;
  }
  int at = blockEnd;
  TTfCustomItem* parent = Item->Parent();
  if (parent) {
    int idx = parent->IndexOf(Item);
    if (idx >= 0 && idx < parent->ChildCount() - 1) {
      TTfCustomItem* next = parent->ChildAt(idx + 1);
      for (int k = blockStart; k < blockEnd; ++k)
        if (FViewers[k]->Item() == next && FViewers[k]->Level == level) {
          at = k;
          break;
        }
    }
  }
  InsertViewer(at, Item, NewItemsFirst && !(Item->ComponentState() & csLoading), true, level);
}

void TTfView::RemoveViewer(int Index) {
  TTfItemViewer* v = FViewers[static_cast<size_t>(Index)];
  if (FSelected == v) FSelected = nullptr;
  if (FOpenViewer == v) CloseChildPopups();
  ListRemove(FPriorityList, v);
  FViewers.erase(FViewers.begin() + Index);
  delete v;
}

void TTfView::ItemDeleting(TTfCustomItem* Item) {
  InvalidatePositions();
  for (int i = ViewerCount() - 1; i >= 0; --i) {
    if (i >= ViewerCount() || FViewers[i]->Item() != Item) continue;
    int lvl = FViewers[i]->Level;
    while (i + 1 < ViewerCount() && FViewers[i + 1]->Level > lvl)
      RemoveViewer(i + 1);
    RemoveViewer(i);
  }
}

void TTfView::ItemNotification(TTfCustomItem* Ancestor, bool Relayed, TItemChangeKind Kind,
                               int Index, TTfCustomItem* Item) {
  if (Ancestor == FParentItem && FParentItem != FRootItem) {
    if (Kind == icLinkChanged)
      ResolveRootItem();
    else if (Kind == icSubmenuImagesChanged) {
      InvalidatePositions();
      for (TTfView* v = this; v; v = v->OpenView())
        v->InvalidatePositions(), v->TryValidatePositions();
    }
    TryValidatePositions();
    return;
  }
  if (Ancestor == FParentItem && Kind == icLinkChanged && !Relayed) {
    ResolveRootItem();
    TryValidatePositions();
    return;
  }
  switch (Kind) {
  case icInserted:
    ItemInserted(Ancestor, Index, Item);
    break;
  case icDeleting:
    ItemDeleting(Item);
    break;
  case icLinkChanged:
    if (Relayed) RebuildViewers();
    break;
  case icBeginUpdate:
    BeginUpdate();
    break;
  case icEndUpdate:
    EndUpdate();
    break;
  case icRepaint:
    for (auto* v : FViewers)
      if (v->Item() == Item) InvalidateViewer(v);
    break;
  case icRelayout:
    InvalidatePositions();
    break;
  case icSubmenuImagesChanged:
    for (TTfView* v = this; v; v = v->OpenView())
      v->InvalidatePositions(), v->TryValidatePositions();
    break;
  default:
    return;
  }
  TryValidatePositions();
}

void TTfView::ResizeToContent(int, int) {}

void TTfView::Reflow(TPoint& Size) {
  TPoint base;
  int lines = 1;
  Layout(true, FOrientation, WrapLength, FitLength, ChevronLength, base, Size, lines);
  FBaseSize = base;
  FPositionsValid = true;
  if (FWindow && FWindow->HandleAllocated()) ValidateRect(FWindow->Handle(), nullptr);
  ResizeToContent(Size.X, Size.Y);
  if (FWindow && FWindow->HandleAllocated()) RepaintBuffered(FWindow->Handle());
}

void TTfView::EdgeMargins(TViewOrientation Orientation, TRect& Margins) {
  Margins = Orientation == voFloating ? TRect(4, 2, 4, 1) : TRect(0, 0, 0, 0);
}

TFont* TTfView::ViewFont() {
  if (TFont* f = ToolbarFont()) return f;
  return FWindow->Font();
}

void TTfView::InvalidatePositions() {
  if (!FPositionsValid) return;
  FPositionsValid = false;
  if (FWindow && FWindow->HandleAllocated()) InvalidateRect(FWindow->Handle(), nullptr, TRUE);
}

void TTfView::ValidatePositions() {
  if (!FPositionsValid) {
    TPoint s;
    Reflow(s);
  }
}

void TTfView::TryValidatePositions() {
  if (FUpdateCount == 0 && !IsLoadingRoot()) ValidatePositions();
}

void TTfView::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) TryValidatePositions();
}

TTfItemViewer* TTfView::Viewers(int Index) const {
  if (Index < 0 || Index >= ViewerCount()) IndexError();
  return FViewers[static_cast<size_t>(Index)];
}

int TTfView::IndexOfViewer(TTfItemViewer* V) const {
  for (size_t i = 0; i < FViewers.size(); ++i)
    if (FViewers[i] == V) return static_cast<int>(i);
  return -1;
}

TTfItemViewer* TTfView::ViewerOf(TTfCustomItem* Item) const {
  for (auto* v : FViewers)
    if (v->Item() == Item) return v;
  return nullptr;
}

TTfItemViewer* TTfView::ViewerAt(const TPoint& P) {
  ValidatePositions();
  for (auto* v : FViewers)
    if (v->Shown && v->BoundsRect.Contains(P)) return v;
  return nullptr;
}

TTfView* TTfView::RootView() {
  TTfView* v = this;
  while (v->FParentView)
    v = v->FParentView;
  return v;
}

TTfView* TTfView::NearestToolbarView() {
  for (TTfView* v = this; v; v = v->FParentView)
    if (v->FIsToolbar) return v;
  return nullptr;
}

void TTfView::SetUsePriorityList(bool Value) {
  if (Value == FUsePriorityList) return;
  FUsePriorityList = Value;
  RebuildViewers();
  TryValidatePositions();
}

void TTfView::MarkUsed(TTfItemViewer* V) {
  if (ChevronSource) {
    int i = IndexOfViewer(V) + ChevronSource->LeadingCount;
    if (i >= 0 && i < ChevronSource->ViewerCount())
      ChevronSource->MarkUsed(ChevronSource->Viewers(i));
  } else {
    auto it = std::find(FPriorityList.begin(), FPriorityList.end(), V);
    if (it != FPriorityList.end()) {
      FPriorityList.erase(it);
      FPriorityList.insert(FPriorityList.begin(), V);
      if (!FPositionsValid || V->HiddenForSpace) {
        FPositionsValid = false;
        TPoint s;
        Reflow(s);
      }
    }
  }
  if (FParentView && FParentView->OpenViewer()) FParentView->MarkUsed(FParentView->OpenViewer());
}

TTfItemViewer* TTfView::FirstShownInPriority() {
  ValidatePositions();
  const auto& list = FUsePriorityList ? FPriorityList : FViewers;
  for (auto* v : list)
    if (v->Shown && !(v->Item()->Traits() & itSeparator)) return v;
  return nullptr;
}

void TTfView::CollectHiddenControls(std::vector<TControl*>& List) {
  for (auto* v : FViewers)
    if (v->HiddenForSpace)
      if (auto* ci = dynamic_cast<TTfControlItem*>(v->Item()))
        if (ci->Control()) List.push_back(ci->Control());
}

void TTfView::UpdateActions() {
  for (auto* v : std::vector<TTfItemViewer*>(FViewers))
    v->Item()->UpdateFromAction();
}

// One run of TTfView::Layout: the places of the view's viewers, worked out step
// by step in the order below. Along is the direction in which the items run,
// across the other one.
class TTfLayoutPass {
public:
  TTfLayoutPass(TTfView* View, TViewOrientation Orientation, int WrapLength, int FitLength,
                int ChevronLength)
      : V(View), FOrientation(Orientation), FVertical(Orientation == voVertical),
        FWrapLength(WrapLength), FFitLength(FitLength), FChevronLength(ChevronLength),
        FN(View->ViewerCount()), FRec(static_cast<size_t>(FN)), FChevron(View->GetChevron()) {}

  void DecideVisibility();
  void Measure();
  void FitChevron();
  TPoint BaseSize();
  int Position();
  TPoint FinishLines();
  void Scroll(TPoint& TotalSize);
  void MoveControls();
  void SpanWrapLines(const TPoint& TotalSize);
  void PlaceChevron(bool CanMoveControls, TPoint& TotalSize);
  bool Store();
  static void EnsureMinimumSize(TPoint& BaseSize, TPoint& TotalSize);

private:
  int Along(const TRect& r) const { return FVertical ? r.Height() : r.Width(); }
  int Across(const TRect& r) const { return FVertical ? r.Width() : r.Height(); }
  bool IsSep(int i) const { return (V->FViewers[i]->Item()->Traits() & itSeparator) != 0; }
  void HideTrailingSeps();
  int ShownLength() const;
  int ShownNonSepCount() const;

  TTfView* V;
  TViewOrientation FOrientation;
  bool FVertical;
  int FWrapLength, FFitLength, FChevronLength;
  int FN;
  std::vector<TLayoutRec> FRec;
  TTfCustomItem* FChevron;
  int FSum = 0, FMaxCross = 0;
  bool FChevronRan = false, FChevronEnabled = false;
  TRect FMargins;
  int FTotalA = 0, FTotalC = 0;
  bool FWrapped = false;
  std::vector<std::vector<int>> FLines;
};

void TTfLayoutPass::HideTrailingSeps() {
  for (int i = FN - 1; i >= 0; --i) {
    if (!FRec[i].Shown) continue;
    if (!IsSep(i)) break;
    FRec[i].Shown = false;
  }
}

int TTfLayoutPass::ShownLength() const {
  int sum = 0;
  for (int i = 0; i < FN; ++i)
    if (FRec[i].Shown) sum += Along(FRec[i].R);
  return sum;
}

int TTfLayoutPass::ShownNonSepCount() const {
  int c = 0;
  for (int i = 0; i < FN; ++i)
    if (FRec[i].Shown && !IsSep(i)) ++c;
  return c;
}

// Which viewers take part: visible items, no leading or doubled separators;
// a chevron's popup shows what its toolbar hid.
void TTfLayoutPass::DecideVisibility() {
  bool prevSep = true;
  for (int i = 0; i < FN; ++i) {
    TTfItemViewer* v = V->FViewers[i];
    TTfCustomItem* it = v->Item();
    if (it == FChevron) continue;
    auto* ci = dynamic_cast<TTfControlItem*>(it);
    if (TTfView* src = V->ChevronSource) {
      if (ci) continue;
      int si = i + src->LeadingCount;
      bool srcHidden = si < src->ViewerCount() && src->Viewers(si)->HiddenForSpace;
      if (!srcHidden && !IsSep(i)) continue;
    }
    if (ci) {
      TControl* c = ci->Control();
      FRec[i].Shown =
          c && c->Parent() == V->FWindow && (c->Visible() || (c->ComponentState() & csDesigning));
      prevSep = false;
      continue;
    }
    if ((it->Traits() & itInlineGroup) && !V->FCustomizing) continue;
    if (!it->Visible()) continue;
    if (IsSep(i) && prevSep) continue;
    FRec[i].Shown = true;
    prevSep = IsSep(i);
  }
  HideTrailingSeps();
}

// Each shown viewer's own size; those that share the widest width get it.
void TTfLayoutPass::Measure() {
  TMeasureCanvas mc(V->ViewFont());
  int shareW = 0;
  for (int i = 0; i < FN; ++i) {
    if (!FRec[i].Shown) continue;
    TTfItemViewer* v = V->FViewers[i];
    int w = 0, h = 0;
    if (auto* ci = dynamic_cast<TTfControlItem*>(v->Item())) {
      w = ci->Control()->Width();
      h = ci->Control()->Height();
    } else {
      v->MeasureSize(mc.Canvas(), w, h);
      if (v->SharesMaxWidth()) shareW = std::max<int>(shareW, w);
    }
    FRec[i].R = TRect(0, 0, w, h);
  }
  for (int i = 0; i < FN; ++i)
    if (FRec[i].Shown && V->FViewers[i]->SharesMaxWidth()) FRec[i].R.Right = shareW;
  FSum = ShownLength();
}

// Items that do not fit beside the chevron are hidden, least used first.
void TTfLayoutPass::FitChevron() {
  if (!(FChevron && FFitLength > 0 && FSum > FFitLength)) return;
  FChevronRan = true;
  int limit = FFitLength - FChevronLength;
  while (FSum > limit && ShownNonSepCount() > 1) {
    int last = -1;
    for (int i = FN - 1; i >= 0; --i)
      if (FRec[i].Shown) {
        last = i;
        break;
      }
    if (last >= 0 && IsSep(last)) {
      FRec[last].Shown = false;
    } else {
      int victim = -1;
      if (V->FUsePriorityList) {
        for (auto it = V->FPriorityList.rbegin(); it != V->FPriorityList.rend(); ++it) {
          int i = V->IndexOfViewer(*it);
          if (i >= 0 && FRec[i].Shown && !IsSep(i)) {
            victim = i;
            break;
          }
        }
      } else {
        for (int i = FN - 1; i >= 0; --i)
          if (FRec[i].Shown && !IsSep(i)) {
            victim = i;
            break;
          }
      }
      if (victim < 0) break;
      FRec[victim].Shown = false;
      FRec[victim].Hidden = true;
      if (!dynamic_cast<TTfControlItem*>(V->FViewers[victim]->Item())) FChevronEnabled = true;
    }
    bool ps = true;
    for (int i = 0; i < FN; ++i) {
      if (!FRec[i].Shown) continue;
      if (IsSep(i) && ps)
        FRec[i].Shown = false;
      else
        ps = IsSep(i);
    }
    FSum = ShownLength();
  }
}

// The size of one unwrapped line of what is shown.
TPoint TTfLayoutPass::BaseSize() {
  HideTrailingSeps();
  FMaxCross = 0;
  FSum = 0;
  for (int i = 0; i < FN; ++i)
    if (FRec[i].Shown) {
      FMaxCross = std::max<int>(FMaxCross, Across(FRec[i].R));
      FSum += Along(FRec[i].R);
    }
  return FVertical ? TPoint(FMaxCross, FSum) : TPoint(FSum, FMaxCross);
}

// Places the shown viewers in lines, wrapping at the wrap length; returns the
// number of lines.
int TTfLayoutPass::Position() {
  V->EdgeMargins(FOrientation, FMargins);
  const TRect& mg = FMargins;
  int wrap = FWrapLength;
  if (wrap > 0) wrap = std::max<int>(1, wrap - (FVertical ? mg.Bottom : mg.Right));
  int curA = FVertical ? mg.Top : mg.Left, curC = FVertical ? mg.Left : mg.Top;
  int startA = curA;
  int lineCross = 0;
  int lineCount = 1;
  bool inGroup = false;
  std::vector<int> line;
  auto place = [&](int i, int a, int c) {
    TRect& r = FRec[i].R;
    int w = r.Width(), h = r.Height();
    if (a < 0) a = 0;
    if (c < 0) c = 0;
    r = FVertical ? TRect(c, a, c + w, a + h) : TRect(a, c, a + w, c + h);
  };
  auto finishLine = [&] {
    if (!line.empty()) FLines.push_back(line);
    line.clear();
  };
  int prevShown = -1;
  for (int i = 0; i < FN; ++i) {
    if (!FRec[i].Shown) continue;
    TTfItemViewer* v = V->FViewers[i];
    int len = Along(FRec[i].R), th = Across(FRec[i].R);
    bool tbSize = v->IsToolbarSize();
    if (V->FIsPopup && prevShown >= 0 && V->FViewers[prevShown]->IsToolbarSize() && !tbSize) {
      // A new row, in the same line: menu rows all get the widest width.
      curA = startA;
      curC = FTotalC;
      lineCross = 0;
    }
    if (wrap > 0 && curA > startA) {
      if (IsSep(i)) {
        int end = curA + len, follow = 0;
        for (int k = i + 1; k < FN; ++k) {
          if (!FRec[k].Shown) continue;
          if (IsSep(k)) break;
          follow += Along(FRec[k].R);
        }
        if (inGroup || end + follow > wrap) {
          finishLine();
          int rowC = curC + lineCross;
          FRec[i].Wrap = true;
          FRec[i].R = FVertical ? TRect(rowC, 0, rowC + 6, 0) : TRect(0, rowC, 0, rowC + 6);
          curC = rowC + 6;
          curA = startA;
          lineCross = 0;
          inGroup = false;
          FWrapped = true;
          ++lineCount;
          FTotalC = std::max<int>(FTotalC, curC);
          prevShown = i;
          continue;
        }
      } else if (curA + len > wrap) {
        finishLine();
        curC += lineCross;
        curA = startA;
        lineCross = 0;
        inGroup = true;
        FWrapped = true;
        ++lineCount;
      }
    }
    place(i, curA, curC);
    line.push_back(i);
    lineCross = std::max<int>(lineCross, th);
    bool advanceAlong = FVertical || tbSize || !V->FIsPopup;
    if (!FVertical && !tbSize) advanceAlong = false;
    if (advanceAlong)
      curA += len;
    else
      curC += th;
    const TRect& r = FRec[i].R;
    FTotalA = std::max<int>(FTotalA, FVertical ? r.Bottom : r.Right);
    FTotalC = std::max<int>(FTotalC, FVertical ? r.Right : r.Bottom);
    prevShown = i;
  }
  finishLine();
  return lineCount;
}

// Centres a toolbar's items across their line (separators span it) and gives
// a menu's rows one width; returns the total size, mirrored for a vertical
// view so that its lines run from the right.
TPoint TTfLayoutPass::FinishLines() {
  if (!V->ChevronSource && FWrapped && FTotalA < FWrapLength) FTotalA = FWrapLength;
  for (size_t li = 0; li < FLines.size(); ++li) {
    auto& ln = FLines[li];
    if (V->FIsToolbar) {
      int lc = 0, l0 = INT_MAX;
      for (int i : ln) {
        lc = std::max<int>(lc, Across(FRec[i].R));
        l0 = std::min<int>(l0, FVertical ? FRec[i].R.Left : FRec[i].R.Top);
      }
      if (li + 1 == FLines.size() && !FWrapped && FOrientation != voFloating)
        lc = std::max<int>(lc, FMaxCross);
      for (int i : ln) {
        TRect& r = FRec[i].R;
        int c = Across(r);
        if (IsSep(i)) {
          if (FVertical)
            r.Left = l0, r.Right = l0 + lc;
          else
            r.Top = l0, r.Bottom = l0 + lc;
        } else {
          int d = (lc - c) / 2;
          if (FVertical)
            r.Offset(l0 + d - r.Left, 0);
          else
            r.Offset(0, l0 + d - r.Top);
        }
      }
    } else if (V->FIsPopup) {
      int right = 0;
      for (int i : ln)
        right = std::max<int>(right, FRec[i].R.Right);
      for (int i : ln)
        if (!V->FViewers[i]->IsToolbarSize()) FRec[i].R.Right = right;
    }
  }
  FTotalA = std::max<int>(FTotalA, 0);
  const TRect& mg = FMargins;
  TPoint total = FVertical ? TPoint(FTotalC + mg.Right, FTotalA + mg.Bottom)
                           : TPoint(FTotalA + mg.Right, FTotalC + mg.Bottom);
  if (FVertical) {
    for (int i = 0; i < FN; ++i)
      if (FRec[i].Shown || FRec[i].Wrap) {
        TRect& r = FRec[i].R;
        int l = total.X - r.Right, rr = total.X - r.Left;
        r.Left = l;
        r.Right = rr;
      }
  }
  return total;
}

// A popup taller than its maximum height scrolls; rows outside the scroll
// arrows are hidden.
void TTfLayoutPass::Scroll(TPoint& TotalSize) {
  TTfView& v = *V;
  if (v.FIsPopup && v.MaxHeight > 0 && TotalSize.Y > v.MaxHeight) {
    v.ScrollOffset = std::max<int>(0, std::min<int>(v.ScrollOffset, TotalSize.Y - v.MaxHeight));
    v.CanScrollUp = v.ScrollOffset > 0;
    v.CanScrollDown = v.ScrollOffset < TotalSize.Y - v.MaxHeight;
    int top = v.CanScrollUp ? 19 : 0, bottom = v.CanScrollDown ? v.MaxHeight - 19 : v.MaxHeight;
    for (int i = 0; i < FN; ++i) {
      if (!FRec[i].Shown) continue;
      FRec[i].R.Offset(0, -v.ScrollOffset);
      if (FRec[i].R.Top < top || FRec[i].R.Bottom > bottom) {
        FRec[i].Shown = false;
        FRec[i].Scrolled = true;
      }
    }
    TotalSize.Y = v.MaxHeight;
  } else {
    v.ScrollOffset = 0;
    v.CanScrollUp = v.CanScrollDown = false;
  }
}

// Controls move to their places; hidden ones go out of sight.
void TTfLayoutPass::MoveControls() {
  for (int i = 0; i < FN; ++i) {
    auto* ci = dynamic_cast<TTfControlItem*>(V->FViewers[i]->Item());
    if (!ci || !ci->Control()) continue;
    TControl* c = ci->Control();
    if (FRec[i].Shown) {
      const TRect& r = FRec[i].R;
      if (c->Left() != r.Left || c->Top() != r.Top || c->Width() != r.Width() ||
          c->Height() != r.Height())
        c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    } else if ((FRec[i].Hidden || FRec[i].Scrolled) && V->FWindow) {
      TRect cr = V->FWindow->ClientRect();
      c->SetBounds(cr.Width(), cr.Height(), c->Width(), c->Height());
    }
  }
}

// A toolbar's wrap lines span its whole width.
void TTfLayoutPass::SpanWrapLines(const TPoint& TotalSize) {
  if (!V->FIsToolbar) return;
  for (int i = 0; i < FN; ++i)
    if (FRec[i].Wrap) {
      if (FVertical) {
        FRec[i].R.Top = 0;
        FRec[i].R.Bottom = TotalSize.Y;
      } else {
        FRec[i].R.Left = 0;
        FRec[i].R.Right = TotalSize.X;
      }
      FRec[i].Shown = true;
    }
}

// The chevron shows at the end when items were hidden for it.
void TTfLayoutPass::PlaceChevron(bool CanMoveControls, TPoint& TotalSize) {
  if (!FChevron) return;
  int ci = V->IndexOfViewer(V->ViewerOf(FChevron));
  if (ci < 0) return;
  FRec[ci].Shown = false;
  if (!FChevronRan) return;
  if (CanMoveControls) FChevron->SetEnabled(FChevronEnabled);
  int start = std::max<int>(FFitLength - FChevronLength, FVertical ? TotalSize.Y : TotalSize.X);
  FRec[ci].Shown = true;
  FRec[ci].R = FVertical ? TRect(0, start, TotalSize.X, start + FChevronLength)
                         : TRect(start, 0, start + FChevronLength, TotalSize.Y);
  if (FVertical)
    TotalSize.Y = std::max<LONG>(TotalSize.Y, start + FChevronLength);
  else
    TotalSize.X = std::max<LONG>(TotalSize.X, start + FChevronLength);
}

// Stores the places in the viewers; true when any of them changed.
bool TTfLayoutPass::Store() {
  bool changed = false;
  for (int i = 0; i < FN; ++i) {
    TTfItemViewer* v = V->FViewers[i];
    bool wrapState = (v->ViewerState & vsWrapLine) != 0;
    if (!(v->BoundsRect == FRec[i].R) || v->Shown != FRec[i].Shown || wrapState != FRec[i].Wrap)
      changed = true;
    v->BoundsRect = FRec[i].R;
    v->Shown = FRec[i].Shown;
    v->HiddenForSpace = FRec[i].Hidden;
    v->ScrolledOut = FRec[i].Scrolled;
    if (FRec[i].Wrap)
      v->ViewerState |= vsWrapLine;
    else
      v->ViewerState &= ~vsWrapLine;
  }
  return changed;
}

// An empty view keeps the size of one button.
void TTfLayoutPass::EnsureMinimumSize(TPoint& BaseSize, TPoint& TotalSize) {
  if (BaseSize.X == 0 || BaseSize.Y == 0) {
    BaseSize = TPoint(23, 22);
    TotalSize.X = std::max<LONG>(TotalSize.X, 23);
    TotalSize.Y = std::max<LONG>(TotalSize.Y, 22);
  }
}

bool TTfView::Layout(bool CanMoveControls, TViewOrientation AOrientation, int AWrapLength,
                     int AFitLength, int AChevronLength, TPoint& ABaseSize, TPoint& TotalSize,
                     int& LineCount) {
  TViewOrientation saved = FOrientation;
  FOrientation = AOrientation;
  TScopeGuard restore([&] { FOrientation = saved; });
  TTfLayoutPass pass(this, AOrientation, AWrapLength, AFitLength, AChevronLength);
  pass.DecideVisibility();
  pass.Measure();
  pass.FitChevron();
  ABaseSize = pass.BaseSize();
  LineCount = pass.Position();
  TotalSize = pass.FinishLines();
  pass.Scroll(TotalSize);
  if (CanMoveControls) pass.MoveControls();
  pass.SpanWrapLines(TotalSize);
  pass.PlaceChevron(CanMoveControls, TotalSize);
  bool changed = CanMoveControls && pass.Store();
  TTfLayoutPass::EnsureMinimumSize(ABaseSize, TotalSize);
  return changed;
}

void TTfView::InvalidateViewer(TTfItemViewer* V) {
  if (!FPositionsValid || !FWindow || !FWindow->HandleAllocated() || !V || !V->Shown ||
      V->BoundsRect.IsEmpty() || dynamic_cast<TTfControlItem*>(V->Item()))
    return;
  V->ViewerState |= vsNeedsRepaint;
  InvalidateRect(FWindow->Handle(), V->BoundsRect.R(), FALSE);
}

void TTfView::DrawAll(TCanvas* Canvas) {
  ValidatePositions();
  HDC dc = Canvas->Handle();
  RECT clip;
  GetClipBox(dc, &clip);
  for (auto* v : FViewers) {
    if (!v->Shown) continue;
    RECT r = v->BoundsRect, x;
    if (!IntersectRect(&x, &r, &clip)) {
      v->ViewerState &= ~vsNeedsRepaint;
      continue;
    }
    if (v == FSelected && !(FState & vwFirstPaint)) continue;
    DrawItem(v, Canvas, false);
  }
  if (FSelected && FSelected->Shown && !(FState & vwFirstPaint)) DrawItem(FSelected, Canvas, false);
  FState &= ~vwFirstPaint;
}

void TTfView::DrawItem(TTfItemViewer* V, TCanvas* Canvas, bool ForceBuffered) {
  ValidatePositions();
  bool buffered = ForceBuffered;
  if (V->ViewerState & vsNeedsRepaint) {
    V->ViewerState &= ~vsNeedsRepaint;
    buffered = true;
  }
  if (!V->Shown || V->BoundsRect.IsEmpty() || dynamic_cast<TTfControlItem*>(V->Item())) return;
  bool isSel = V == FSelected;
  bool isPushed = isSel && (V == FOpenViewer || (FMouseInside && FMouseCaptured));
  HDC dc = Canvas->Handle();
  int saved = SaveDC(dc);
  const TRect& b = V->BoundsRect;
  IntersectClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
  RECT box;
  if (GetClipBox(dc, &box) == NULLREGION || IsRectEmpty(&box)) {
    RestoreDC(dc, saved);
    return;
  }
  HDC target = dc;
  HDC mem = nullptr;
  HBITMAP bmp = nullptr;
  HGDIOBJ oldBmp = nullptr;
  if (buffered) {
    mem = CreateCompatibleDC(dc);
    bmp = CreateCompatibleBitmap(dc, b.Width(), b.Height());
    oldBmp = SelectObject(mem, bmp);
    SetWindowOrgEx(mem, b.Left, b.Top, nullptr);
    if (FWindow && FWindow->HandleAllocated())
      SendMessageW(FWindow->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
    SetWindowOrgEx(mem, 0, 0, nullptr);
    target = mem;
  } else {
    POINT org;
    GetWindowOrgEx(dc, &org);
    SetWindowOrgEx(dc, org.x - b.Left, org.y - b.Top, nullptr);
    SetBrushOrgEx(dc, b.Left, b.Top, nullptr);
  }
  TCanvas canvas;
  canvas.SetHandle(target);
  bool tbStyle = V->IsToolbarStyle();
  bool enabled = V->Item()->Enabled() || FCustomizing;
  if (isSel && !tbStyle) {
    canvas.Brush()->SetColor(static_cast<TColor>(
        0xFF000000u | (FlatMenusEnabled() ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT)));
  } else {
    canvas.Brush()->SetStyle(bsClear);
  }
  HGDIOBJ oldFont = SelectObject(target, ViewFont()->Handle());
  int color;
  if (enabled)
    color = (isSel && !tbStyle) ? COLOR_HIGHLIGHTTEXT : tbStyle ? COLOR_BTNTEXT : COLOR_MENUTEXT;
  else
    color = COLOR_GRAYTEXT;
  SetTextColor(target, GetSysColor(color));
  SetBkMode(target, TRANSPARENT);
  bool shadow = false;
  if (!enabled) {
    COLORREF wc = FWindow ? ColorToRGB(FWindow->Color()) : GetSysColor(COLOR_MENU);
    if (tbStyle)
      shadow = true;
    else if (isSel)
      shadow = wc == GetSysColor(COLOR_GRAYTEXT);
    else
      shadow = wc == GetSysColor(COLOR_BTNFACE) || wc == GetSysColor(COLOR_GRAYTEXT);
  }
  bool painted = false;
  TScopeGuard release([&] {
    canvas.SetHandle(nullptr);
    SelectObject(target, oldFont);
    if (mem) {
      if (painted) BitBlt(dc, b.Left, b.Top, b.Width(), b.Height(), mem, 0, 0, SRCCOPY);
      SelectObject(mem, oldBmp);
      DeleteObject(bmp);
      DeleteDC(mem);
    }
    RestoreDC(dc, saved);
  });
  V->Paint(&canvas, TRect(0, 0, b.Width(), b.Height()), isSel, isPushed, shadow);
  painted = true;
}

bool TTfView::HintAt(THintInfo& Info) {
  TTfItemViewer* v = ViewerAt(Info.CursorPos);
  if (!v) {
    Info.HintStr.clear();
    return false;
  }
  Info.CursorRect = v->BoundsRect;
  Info.HintStr = v->HintText();
  Info.HintData = v;
  return true;
}

// ---------------------------------------------------------------------------
// View navigation

static bool ViewWindowIsPopup(TTfView* v) {
  return v->Window() && dynamic_cast<TTfPopupWindow*>(v->Window()) &&
         v->Window()->HandleAllocated();
}

void TTfView::StartTimer(int Number, int Interval) {
  StopTimer(Number);
  if (!ViewWindowIsPopup(this)) return;
  SetTimer(FWindow->Handle(), 9000 + Number, static_cast<UINT>(Interval), nullptr);
  FActiveTimers |= 1u << Number;
}

void TTfView::StopTimer(int Number) {
  if (!(FActiveTimers & (1u << Number))) return;
  FActiveTimers &= ~(1u << Number);
  if (FWindow && FWindow->HandleAllocated()) KillTimer(FWindow->Handle(), 9000 + Number);
}

void TTfView::StopAllTimers() {
  for (int i = 0; i < 4; ++i)
    StopTimer(i);
}

void TTfView::TimerTick(int Number) {
  switch (Number) {
  case 0:
    StopTimer(0);
    CloseChildPopups();
    OpenSelectedSubmenu(false);
    break;
  case 1:
    StopTimer(1);
    CloseChildPopups();
    break;
  case 2:
    if (CanScrollUp)
      ScrollStep(false);
    else
      StopTimer(2);
    break;
  case 3:
    if (CanScrollDown)
      ScrollStep(true);
    else
      StopTimer(3);
    break;
  default:
    break;
  }
}

void TTfView::SelectViewer(TTfItemViewer* New, bool ByMouse) {
  if (New != FSelected) {
    if (New && FParentView && FParentView->OpenViewer() &&
        FParentView->Selected() != FParentView->OpenViewer()) {
      FParentView->SelectViewer(FParentView->OpenViewer(), false);
      FParentView->StopTimer(1);
      FParentView->StopTimer(0);
    }
    if (FState & vwTracking) {
      if (FIsToolbar || !ByMouse) {
        StopTimer(1);
        if (New != FOpenViewer) CloseChildPopups();
      } else if (FOpenViewer && New == FOpenViewer) {
        // Back on the item whose submenu is open: the submenu stays.
        StopTimer(1);
      } else if (FOpenViewer && !(FActiveTimers & 2)) {
        StartTimer(1, MenuShowDelay());
      }
    }
    ReleaseCaptureFlag();
    TTfItemViewer* old = FSelected;
    if (old) old->SelectionLost();
    FSelected = New;
    FSelectedByMouse = ByMouse;
    bool inside = false;
    if (New && FWindow && FWindow->HandleAllocated()) {
      POINT p;
      GetCursorPos(&p);
      HWND under = WindowFromPoint(p);
      if (under == FWindow->Handle()) {
        ScreenToClient(under, &p);
        inside = ViewerAt(TPoint(p)) == New;
      }
    }
    FMouseInside = inside;
    if (old && (old->Item()->Traits() & itRepaintOnSelect)) InvalidateViewer(old);
    if (New && (New->Item()->Traits() & itRepaintOnSelect)) InvalidateViewer(New);
    if (New) New->SelectionGained();
    NotifyFocus();
    if (FState & vwTracking) {
      if (FIsPopup && !FIsToolbar) {
        StopTimer(0);
        if (ByMouse && New && New != FOpenViewer && (New->Item()->Traits() & itHasSubmenu))
          StartTimer(0, MenuShowDelay());
      } else if (New) {
        if (ByMouse && FParentView) FState |= vwShowSubmenusOnSelect;
        if ((FState & vwShowSubmenusOnSelect) &&
            !(!ByMouse && (New->Item()->Traits() & itNoKeyboardOpen)))
          OpenSelectedSubmenu(!ByMouse);
      }
    }
    return;
  }
  bool inside = false;
  if (New && FWindow && FWindow->HandleAllocated()) {
    POINT p;
    GetCursorPos(&p);
    if (WindowFromPoint(p) == FWindow->Handle()) {
      ScreenToClient(FWindow->Handle(), &p);
      inside = ViewerAt(TPoint(p)) == New;
      if (inside && FMouseCaptured) {
        TPoint vp(p.x - New->BoundsRect.Left, p.y - New->BoundsRect.Top);
        inside = New->HitsButtonPart(vp.X, vp.Y);
      }
    }
  }
  if (inside != FMouseInside) {
    FMouseInside = inside;
    if (FMouseCaptured && New && (New->Item()->Traits() & itRepaintOnHover)) InvalidateViewer(New);
  }
}

void TTfView::MouseTrack(const TPoint& P, bool AllowSelect) {
  ValidatePositions();
  TTfItemViewer* cand;
  bool known = P.X != kUnknownPos;
  if (FMouseCaptured) {
    cand = FSelected;
    FState |= vwMouseInView;
  } else {
    cand = (FState & vwTracking) ? FSelected : nullptr;
    HWND under = known ? WindowFromPoint(P) : nullptr;
    if (known && FWindow && FWindow->HandleAllocated() && under == FWindow->Handle()) {
      FState |= vwMouseInView;
      if (FIsPopup) cand = nullptr;
      if (AllowSelect || FSelected) {
        POINT cp = P;
        ScreenToClient(FWindow->Handle(), &cp);
        if (TTfItemViewer* v = ViewerAt(TPoint(cp))) cand = v;
      }
    } else {
      bool was = (FState & vwMouseInView) != 0;
      FState &= ~vwMouseInView;
      if (FIsPopup && was && !(cand && cand == FOpenViewer)) cand = nullptr;
    }
  }
  SelectViewer(cand, true);
  if ((FState & vwTracking) && (FState & vwMouseInView) && !FMouseCaptured && known && FWindow &&
      FWindow->HandleAllocated()) {
    POINT cp = P;
    ScreenToClient(FWindow->Handle(), &cp);
    RECT cr;
    GetClientRect(FWindow->Handle(), &cr);
    if (cp.y < 19 && CanScrollUp) {
      StopTimer(3);
      if (!(FActiveTimers & 4)) StartTimer(2, 100);
    } else if (cp.y >= cr.bottom - 19 && CanScrollDown) {
      StopTimer(2);
      if (!(FActiveTimers & 8)) StartTimer(3, 100);
    } else {
      StopTimer(2);
      StopTimer(3);
    }
  }
}

TTfItemViewer* TTfView::NextSelectable(TTfItemViewer* From, bool Forward) {
  ValidatePositions();
  int n = ViewerCount();
  if (n == 0) return nullptr;
  int start = From ? IndexOfViewer(From) : -1;
  int i = start;
  for (int k = 0; k < n + 1; ++k) {
    if (Forward)
      i = (i + 1) % n;
    else
      i = (i <= 0) ? n - 1 : i - 1;
    TTfItemViewer* v = FViewers[i];
    if ((v->Shown || v->ScrolledOut) && v->Item()->Visible() &&
        (v->Item()->Traits() & itSelectable))
      return v;
    if (i == start) break;
  }
  return nullptr;
}

void TTfView::SelectNextPrev(bool Forward) {
  Select(NextSelectable(FSelected, Forward));
  ScrollSelectedIntoView();
}

bool TTfView::OpenSelectedSubmenu(bool SelectFirst) {
  StopTimer(1);
  StopTimer(0);
  if (FSelected != FOpenViewer) {
    CloseChildPopups();
    if (FSelected && FSelected->Item()->Enabled() && (FSelected->Item()->Traits() & itHasSubmenu))
      FSelected->Item()->OpenPopupWindow(this, FSelected, FIsPopup && !FIsToolbar, SelectFirst,
                                         false, TPoint(0, 0), paLeft);
  }
  return FOpenView != nullptr;
}

void TTfView::CloseChildPopups() {
  if (FOpenView) FOpenView->CloseChildPopups();
  StopTimer(1);
  TTfPopupWindow* p = FOpenPopup;
  TTfItemViewer* ov = FOpenViewer;
  ForgetOpenPopup();
  if (p) delete p;
  if (ov) InvalidateViewer(ov);
}

void TTfView::CloseChildAndStop() {
  if (FIsToolbar) FState &= ~vwShowSubmenusOnSelect;
  CloseChildPopups();
}

void TTfView::ExecuteSelected(bool MarkUsed) {
  if (FSelected && FSelected->Item()->Enabled()) {
    if (!(FSelected->Item()->Traits() & itCombo) && OpenSelectedSubmenu(true)) return;
    if (FSelected->Item()->Traits() & itSelectable) {
      FSelected->ChooseAndMarkUsed(MarkUsed);
      return;
    }
  }
  SetCancelResult();
}

void TTfView::SetCancelResult() {
  TTfMenuResult& r = RootView()->FResult;
  r = TTfMenuResult{};
  r.Kind = mrkCancel;
}

void TTfView::SetChosenResult(TTfItemViewer* V) {
  TTfMenuResult& r = RootView()->FResult;
  r = TTfMenuResult{};
  r.Kind = mrkChosen;
  r.Item = V->Item();
  r.ChosenInPopup = V->View()->IsPopup() && !V->View()->IsToolbar();
}

void TTfView::SetHelpResult(int Context) {
  TTfMenuResult& r = RootView()->FResult;
  r = TTfMenuResult{};
  r.Kind = mrkHelp;
  r.HelpContext = Context;
}

void TTfView::SetSysKeyResult(HWND Wnd, wchar_t Char) {
  TTfMenuResult& r = RootView()->FResult;
  r = TTfMenuResult{};
  r.Kind = mrkSysKey;
  r.Wnd = Wnd;
  r.Char = Char;
}

bool TTfView::HasResult() {
  return RootView()->FResult.Kind != mrkNone;
}

void TTfView::KeyDown(WORD& Key, TShiftState Shift) {
  TTfView* t = NearestToolbarView();
  bool tHorizontal = t && t->Orientation() != voVertical;
  switch (Key) {
  case VK_TAB:
    SelectNextPrev(!(Shift & ssShift));
    break;
  case VK_RETURN:
    ExecuteSelected(true);
    break;
  case VK_ESCAPE:
    if (FParentView)
      FParentView->CloseChildAndStop();
    else
      SetCancelResult();
    break;
  case VK_MENU:
  case VK_F10:
    SetCancelResult();
    break;
  case VK_HOME:
  case VK_END:
    Select(NextSelectable(nullptr, Key == VK_HOME));
    ScrollSelectedIntoView();
    break;
  case VK_LEFT:
  case VK_RIGHT:
    if (this == t && FOrientation == voVertical) {
      OpenSelectedSubmenu(true);
    } else if (Key == VK_LEFT) {
      if (t && tHorizontal) {
        if (this == t || FParentView == t)
          t->SelectNextPrev(false);
        else if (FParentView)
          FParentView->CloseChildPopups();
      } else if (FParentView) {
        FParentView->CloseChildAndStop();
      }
    } else {
      bool opened = false;
      if (this != t) opened = OpenSelectedSubmenu(true);
      if (!opened && t && tHorizontal) t->SelectNextPrev(true);
    }
    break;
  case VK_UP:
  case VK_DOWN:
    if (this == t && FOrientation != voVertical)
      OpenSelectedSubmenu(true);
    else
      SelectNextPrev(Key == VK_DOWN);
    break;
  case VK_F1: {
    for (TTfView* v = this; v; v = v->FParentView)
      if (v->FSelected && v->FSelected->Item()->HelpContext()) {
        SetHelpResult(v->FSelected->Item()->HelpContext());
        break;
      }
    break;
  }
  default:
    return;
  }
  Key = 0;
}

TTfItemViewer* TTfView::FindAccelerator(TTfItemViewer* From, wchar_t Char, bool RequirePrimaryAccel,
                                        bool& OnlyOne) {
  ValidatePositions();
  OnlyOne = false;
  int n = ViewerCount();
  if (n == 0) return nullptr;
  wchar_t lc = LowerChar(Char);
  auto matches = [&](TTfItemViewer* v, bool accelPass, bool enabled) {
    TTfCustomItem* it = v->Item();
    if (!(v->Shown || v->ScrolledOut) || !(it->Traits() & itSelectable) || !it->Visible() ||
        it->Enabled() != enabled || !v->CaptionShown())
      return false;
    std::wstring c;
    v->CaptionText(c);
    wchar_t a = AccelCharOf(c);
    if (accelPass) return a != 0 && LowerChar(a) == lc;
    return a == 0 && Char != L' ' && !c.empty() && LowerChar(c[0]) == lc;
  };
  int start = From ? IndexOfViewer(From) : -1;
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1 && RequirePrimaryAccel) break;
    for (int en = 1; en >= 0; --en) {
      for (int k = 1; k <= n; ++k) {
        int i = ((start + k) % n + n) % n;
        TTfItemViewer* v = FViewers[i];
        if (!matches(v, pass == 0, en != 0)) continue;
        if (!en) {
          OnlyOne = true;
          return v;
        }
        OnlyOne = true;
        for (int j = 1; j < n; ++j) {
          TTfItemViewer* w = FViewers[(i + j) % n];
          if (matches(w, pass == 0, true)) {
            OnlyOne = false;
            break;
          }
        }
        return v;
      }
    }
  }
  return nullptr;
}

void TTfView::ScrollStep(bool Down) {
  bool found = false;
  int best = 0;
  for (auto* v : FViewers) {
    if (!v->ScrolledOut || (v->Item()->Traits() & itSeparator)) continue;
    if (Down && v->BoundsRect.Bottom > MaxHeight - 19) {
      if (!found || v->BoundsRect.Bottom < best) best = v->BoundsRect.Bottom;
      found = true;
    } else if (!Down && v->BoundsRect.Top < 19) {
      if (!found || v->BoundsRect.Top > best) best = v->BoundsRect.Top;
      found = true;
    }
  }
  if (!found) return;
  ScrollOffset += Down ? best - (MaxHeight - 19) : best - 19;
  FPositionsValid = false;
  TPoint s;
  Reflow(s);
}

void TTfView::ScrollSelectedIntoView() {
  if (!FSelected || !FSelected->ScrolledOut) return;
  const TRect& r = FSelected->BoundsRect;
  if (r.Top > 18) {
    if (r.Bottom > MaxHeight - 19) ScrollOffset += r.Bottom - (MaxHeight - 19);
  } else {
    ScrollOffset -= 19 - r.Top;
  }
  FPositionsValid = false;
  TPoint s;
  Reflow(s);
}

void TTfView::UpdateKeyboardCues(bool Force) {
  bool show = Force || !(FStyle & styHideAccelsUntilKeyboard) || KeyboardCuesEnabled();
  bool was = (FState & vwAccelsShown) != 0;
  if (show)
    FState |= vwAccelsShown;
  else
    FState &= ~vwAccelsShown;
  if (show != was && FWindow && FWindow->HandleAllocated() && IsWindowVisible(FWindow->Handle()))
    for (auto* v : FViewers) {
      std::wstring c;
      v->CaptionText(c);
      if (v->CaptionShown() && AccelCharOf(c)) InvalidateViewer(v);
    }
}

void TTfView::NotifyFocus() {
  TTfView* root = RootView();
  if (!(FState & vwTracking) || !(root->FState & vwTracking) || root->FResult.Kind != mrkNone ||
      !FWindow || !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->Handle()))
    return;
  if (FSelected && FSelected->IsListedForAccessibility()) {
    int child = 1;
    for (auto* v : FViewers) {
      if (v == FSelected) break;
      if (v->IsListedForAccessibility()) ++child;
    }
    TfNotifyWinEvent(EVENT_OBJECT_FOCUS, FWindow->Handle(), OBJID_CLIENT, child);
  } else if (FParentView) {
    FParentView->NotifyFocus();
  } else {
    TfNotifyWinEvent(EVENT_OBJECT_FOCUS, FWindow->Handle(), OBJID_CLIENT, 0);
  }
}

TTfCustomItem* TTfView::EnterToolbarLoop(TTrackingOptions Options) {
  if (FState & vwTracking) return nullptr;
  auto handler = std::make_unique<TTfModalHandler>(FWindow->Handle());
  ModalHandler = handler.get();
  FState = (FState & vwAccelsShown) | vwTracking;
  FResult = TTfMenuResult{};
  if (FSelected) NotifyFocus();
  {
    TScopeGuard ending([&] {
      FState &= ~vwTracking;
      StopAllTimers();
      CloseChildPopups();
      MouseTrack(TPoint(kUnknownPos, kUnknownPos), true);
      ModalHandler = nullptr;
    });
    handler->Loop(this, Options & toMouseDown, Options & toExecuteSelected, Options & toNoMarkUsed,
                  false);
  }
  handler.reset();
  UpdateKeyboardCues(false);
  TTfMenuResult r = FResult;
  return TTfCustomItem::ExecuteMenuResult(r, false);
}

void TTfView::CancelAndHideAll() {
  SetCancelResult();
  std::vector<TTfView*> chain;
  for (TTfView* v = this; v; v = v->OpenView())
    chain.push_back(v);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    (*it)->StopAllTimers();
    if (auto* pw = dynamic_cast<TTfPopupWindow*>((*it)->Window()))
      if (pw->HandleAllocated()) ShowWindow(pw->Handle(), SW_HIDE);
  }
}

void TTfView::SetCaptureFlag() {
  FMouseCaptured = true;
}

void TTfView::ReleaseCaptureFlag() {
  if (!FMouseCaptured) return;
  FMouseCaptured = false;
  TTfModalHandler::LastPos() = TPoint(kUnknownPos, kUnknownPos);
  if (FSelected) FSelected->CaptureLost();
}

// ---------------------------------------------------------------------------
// Popup windows

namespace {
std::unique_ptr<TFont> gToolbarFont;
TTfItemViewer* gViewerUnderMouse = nullptr;
} // namespace

TFont* ToolbarFont() {
  if (!gToolbarFont) {
    gToolbarFont = std::make_unique<TFont>();
    RefreshToolbarFont();
  }
  return gToolbarFont.get();
}

void RefreshToolbarFont() {
  if (!gToolbarFont) return;
  NONCLIENTMETRICSW m;
  if (ReadNonClientMetrics(m)) gToolbarFont->SetHandle(CreateFontIndirectW(&m.lfMenuFont));
}

TTfItemViewer* MenuViewerUnderMouse() {
  return gViewerUnderMouse;
}

void TTfPopupView::ResizeToContent(int Width, int Height) {
  if (FWindow) FWindow->SetBounds(FWindow->Left(), FWindow->Top(), Width + 6, Height + 6);
}

TFont* TTfPopupView::ViewFont() {
  return FWindow->Font();
}

TTfPopupWindow::TTfPopupWindow(TComponent* AOwner, TTfView* ParentView, TTfCustomItem* Item,
                               bool Customizing)
    : TCustomControl(AOwner) {
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
  FControlStyle &= ~csCaptureMouse;
  SetShowHint(true);
  SetColor(clMenu);
  FView = new TTfPopupView(this, ParentView, Item, this, false, Customizing, false);
  FView->Include(vwTracking);
  Font()->Assign(ParentView ? ParentView->ViewFont() : ToolbarFont());
  if (ParentView) {
    FView->SetStyle(FView->Style() | (ParentView->Style() & styHideAccelsUntilKeyboard));
    if (ParentView->State() & vwAccelsShown) FView->Include(vwAccelsShown);
  } else {
    FView->SetStyle(FView->Style() | styHideAccelsUntilKeyboard);
  }
  SetParentWindow(Application && Application->Handle() ? Application->Handle()
                                                       : GetDesktopWindow());
}

TTfPopupWindow::~TTfPopupWindow() {
  Destroying();
  if (FView) FView->CloseChildPopups();
  if (HandleAllocated()) DestroyHandle();
  delete FView;
  FView = nullptr;
}

void TTfPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && FView && AComponent == FView->ChevronSource)
    FView->ChevronSource = nullptr;
}

void TTfPopupWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP | WS_VISIBLE);
  Params.Style |= WS_POPUP;
  Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
  if (IsXPOrLater()) Params.WindowClass.style |= CS_DROPSHADOW;
  Params.WinClassName = L"TTfPopupWindow";
}

void TTfPopupWindow::CreateWnd() {
  TCustomControl::CreateWnd();
  if (FView && !FView->ParentView() && !FCuesInitialized) {
    FCuesInitialized = true;
    SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    LRESULT st = SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0);
    FView->UpdateKeyboardCues(!(st & UISF_HIDEACCEL));
  }
}

void TTfPopupWindow::DestroyWnd() {
  if (HandleAllocated()) {
    StopAnimationOf(Handle());
    if (FView) FView->StopAllTimers();
    TfNotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, Handle(), OBJID_CLIENT, 0);
  }
  TCustomControl::DestroyWnd();
}

void TTfPopupWindow::ShowPopup(bool Show) {
  HWND h = Handle();
  if (Show) {
    bool anim = false;
    BOOL menuAnim = FALSE, fade = FALSE;
    SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &menuAnim, 0);
    SystemParametersInfoW(SPI_GETMENUFADE, 0, &fade, 0);
    TTfView* pv = FView->ParentView();
    if (!FView->Selected() && !IsWindowVisible(h) && !(pv && (pv->State() & vwPopupClosed)) &&
        menuAnim && (fade || AnimateDirection)) {
      StartAnimation(h, fade != FALSE, AnimateDirection);
      anim = true;
    }
    if (!anim)
      SetWindowPos(h, nullptr, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  } else {
    StopAnimationOf(h);
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  }
}

void TTfPopupWindow::DrawFrame(HDC dc) {
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  if (FlatMenusEnabled()) {
    HBRUSH sh = GetSysColorBrush(COLOR_BTNSHADOW);
    FrameRect(dc, &r, sh);
    InflateRect(&r, -1, -1);
    HBRUSH bg = CreateSolidBrush(ColorToRGB(Color()));
    FrameRect(dc, &r, bg);
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, bg);
    DeleteObject(bg);
  } else {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void TTfPopupWindow::Paint() {
  if (!FView) return;
  FView->DrawAll(Canvas());
  HDC dc = Canvas()->Handle();
  RECT cr;
  GetClientRect(Handle(), &cr);
  auto tri = [&](int cx, int cy, bool up) {
    POINT p[3];
    if (up)
      p[0] = {cx - 3, cy + 3}, p[1] = {cx + 3, cy + 3}, p[2] = {cx, cy};
    else
      p[0] = {cx - 3, cy}, p[1] = {cx + 3, cy}, p[2] = {cx, cy + 3};
    HBRUSH b = CreateSolidBrush(GetSysColor(COLOR_MENUTEXT));
    HPEN pn = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_MENUTEXT));
    HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pn);
    ::Polygon(dc, p, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(b);
    DeleteObject(pn);
  };
  if (FView->CanScrollUp) tri(cr.right / 2, 19 / 2 - 1, true);
  if (FView->CanScrollDown) tri(cr.right / 2, cr.bottom - 19 + 19 / 2 - 1, false);
}

void TTfPopupWindow::Dispatch(TMessage& m) {
  switch (m.Msg) {
  case WM_GETOBJECT: {
    bool handled = false;
    LRESULT r = TfAccHandleGetObject(FView, m.WParam, m.LParam, handled);
    if (handled) {
      m.Result = r;
      return;
    }
    break;
  }
  case WM_ERASEBKGND:
  case WM_PAINT:
    if (HandleAllocated()) StopAnimationOf(Handle());
    break;
  case WM_CLOSE:
    return;
  case WM_NCCALCSIZE: {
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    InflateRect(r, -3, -3);
    m.Result = 0;
    return;
  }
  case WM_NCPAINT: {
    HDC dc = GetWindowDC(Handle());
    DrawFrame(dc);
    ReleaseDC(Handle(), dc);
    m.Result = 0;
    return;
  }
  case WM_PRINT:
    m.Result = PrintWindowNonClient(Handle(), reinterpret_cast<HDC>(m.WParam), m.LParam,
                                    [this](HDC d) { DrawFrame(d); });
    return;
  case WM_PRINTCLIENT:
    PrintWindowClient(reinterpret_cast<HDC>(m.WParam), [this](HDC d) {
      TMessage pm{WM_PAINT, reinterpret_cast<WPARAM>(d), 0, 0};
      PaintHandler(pm);
    });
    m.Result = 0;
    return;
  case WM_MOUSEACTIVATE:
    m.Result = MA_NOACTIVATE;
    return;
  case CM_HINTSHOW:
    if (FView) FView->HintAt(*reinterpret_cast<THintInfo*>(m.LParam));
    m.Result = 0;
    return;
  default:
    break;
  }
  TCustomControl::Dispatch(m);
}

static bool RectsOverlap(const TRect& a, const TRect& b) {
  RECT x, ra = a, rb = b;
  return IntersectRect(&x, &ra, &rb) != FALSE;
}

static int CoveredCount(TTfView* v, const TRect& cand) {
  int n = 0;
  HWND w = v->Window() && v->Window()->HandleAllocated() ? v->Window()->Handle() : nullptr;
  for (int i = 0; i < v->ViewerCount(); ++i) {
    TTfItemViewer* iv = v->Viewers(i);
    if (!iv->Shown || !w) continue;
    RECT r = iv->BoundsRect;
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
    if (r.left >= cand.Left && r.top >= cand.Top && r.right <= cand.Right &&
        r.bottom <= cand.Bottom)
      ++n;
  }
  return n;
}

TTfPopupWindow* TTfCustomItem::OpenPopupWindow(TTfView* ParentView, TTfItemViewer* ParentViewer,
                                               bool PositionAsSubmenu, bool SelectFirstItem,
                                               bool Customizing, TPoint PopupPoint,
                                               TTfPopupAlignment Alignment) {
  if (FLinkSubitems) FLinkSubitems->FirePopupEvent(this, true);
  FirePopupEvent(this, false);
  TTfView* chevSrc = ChevronSourceView();
  TTfCustomItem* shown = chevSrc ? chevSrc->ParentItem() : this;
  TTfPopupWindow* win = shown->CreatePopupWindow(ParentView, Customizing);
  TScopeGuard discard([&] {
    if (ParentView && ParentView->OpenPopup() == win) ParentView->ForgetOpenPopup();
    delete win;
  });
  TTfPopupView* pv = win->View();
  if (chevSrc) {
    win->FreeNotification(chevSrc);
    chevSrc->FreeNotification(win);
    pv->ChevronSource = chevSrc;
    pv->FIsToolbar = true;
    pv->SetStyle(pv->Style() | (chevSrc->Style() & styHintsForAll));
    win->SetColor(clBtnFace);
  }
  TRect ir;
  if (ParentView) {
    ParentView->ValidatePositions();
    RECT r = ParentViewer->BoundsRect;
    MapWindowPoints(ParentView->Window()->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    ir = r;
  } else {
    ir = TRect(PopupPoint.X, PopupPoint.Y, PopupPoint.X, PopupPoint.Y);
  }
  TRect mr;
  if (ParentView && !ParentView->MonitorRect.IsEmpty())
    mr = ParentView->MonitorRect;
  else
    MonitorAreaOfRect(ir, false, mr);
  pv->MonitorRect = mr;
  if (chevSrc)
    pv->WrapLength = mr.Width() - 6;
  else
    pv->MaxHeight = mr.Height() - 6;
  if (SelectFirstItem) pv->Select(pv->FirstSelectable());
  win->HandleNeeded();
  TPoint size;
  pv->Reflow(size);
  int W = win->Width(), H = win->Height();
  int X, Y;
  bool pvVertical = ParentView && ParentView->Orientation() == voVertical;
  if (!ParentView) {
    X = PopupPoint.X;
    Y = PopupPoint.Y;
    if (Alignment == paRight) X -= W;
    if (Alignment == paCenter) X -= W / 2;
  } else if (PositionAsSubmenu) {
    X = ir.Right - 3;
    Y = ir.Top - 3;
  } else if (chevSrc) {
    if (chevSrc->Orientation() == voVertical)
      X = ir.Left - W, Y = ir.Top;
    else
      X = ir.Right - W, Y = ir.Bottom;
  } else if (pvVertical) {
    X = ir.Left - W;
    Y = ir.Top;
  } else {
    X = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? ir.Right - W : ir.Left;
    Y = ir.Bottom;
  }
  if (!pvVertical) {
    if (Y + H > mr.Bottom) {
      int alt = (PositionAsSubmenu ? ir.Bottom + 3 : ir.Top) - H;
      if (alt >= mr.Top) Y = alt;
    }
    if (Y + H > mr.Bottom) Y = mr.Bottom - H;
    if (Y < mr.Top) Y = mr.Top;
  }
  if (PositionAsSubmenu) {
    int right = ir.Right - 3, left = ir.Left + 3 - W;
    bool leftwards = ParentView->State() & vwOpenedLeftwards;
    if (leftwards && left >= mr.Left) {
      X = left;
      pv->Include(vwOpenedLeftwards);
    } else if (right + W <= mr.Right) {
      X = right;
    } else {
      X = left;
      pv->Include(vwOpenedLeftwards);
    }
    if (X < mr.Left) X = mr.Left;
  } else {
    if (!ParentView && Alignment == paRight && X < mr.Left) X += W;
    if (X + W > mr.Right) {
      if (ParentView || Alignment != paLeft)
        X = mr.Right - W;
      else
        X -= W;
    }
    if (X < mr.Left) X = mr.Left;
    if (ParentView && !pvVertical) {
      TRect above(X, ir.Top - H, X + W, ir.Top);
      TRect at(X, Y, X + W, Y + H);
      if (ir.Top - H >= mr.Top &&
          (CoveredCount(ParentView, above) < CoveredCount(ParentView, at) || RectsOverlap(at, ir)))
        Y = ir.Top - H;
      if (RectsOverlap(TRect(X, Y, X + W, Y + H), ir)) {
        X = ir.Right + W <= mr.Right ? ir.Right : ir.Left - W;
        if (X < mr.Left) X = mr.Left;
      }
    } else if (ParentView && pvVertical) {
      TRect side(ir.Right, Y, ir.Right + W, Y + H);
      TRect at(X, Y, X + W, Y + H);
      if (ir.Right + W <= mr.Right &&
          (CoveredCount(ParentView, side) < CoveredCount(ParentView, at) || RectsOverlap(at, ir)))
        X = ir.Right;
      if (RectsOverlap(TRect(X, Y, X + W, Y + H), ir)) {
        Y = ir.Bottom + H <= mr.Bottom ? ir.Bottom : ir.Top - H;
        if (Y < mr.Top) Y = mr.Top;
      }
    }
  }
  unsigned dir = 0;
  if (PositionAsSubmenu) {
    dir = X + W / 2 >= (ir.Left + ir.Right) / 2 ? 2 : 1;
  } else {
    if (Y >= ir.Bottom)
      dir |= 4;
    else if (Y + H <= ir.Top)
      dir |= 8;
    if (X >= ir.Right)
      dir |= 2;
    else if (X + W <= ir.Left)
      dir |= 1;
  }
  win->AnimateDirection = dir;
  win->SetBounds(X, Y, W, H);
  if (ParentView) {
    ParentView->SetOpenPopup(ParentViewer, pv, win);
    if (ParentView->IsToolbar() && !ParentView->IsPopup()) {
      ParentView->Include(vwShowSubmenusOnSelect);
      ParentView->InvalidateViewer(ParentViewer);
      if (ParentView->Window()->HandleAllocated()) UpdateWindow(ParentView->Window()->Handle());
    }
  }
  pv->Include(vwFirstPaint);
  if (SoundEventSet(L"MenuPopup")) {
    if (!gFirstPopupShown) {
      win->ShowPopup(true);
      UpdateWindow(win->Handle());
      PlayMenuSound(L"MenuPopup");
    } else {
      PlayMenuSound(L"MenuPopup");
      win->ShowPopup(true);
    }
  } else {
    win->ShowPopup(true);
  }
  gFirstPopupShown = true;
  TfNotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, win->Handle(), OBJID_CLIENT, 0);
  if (pv->Selected()) pv->NotifyFocus();
  discard.Dismiss();
  return win;
}

// ---------------------------------------------------------------------------
// Modal handler and the menu loop

TPoint& TTfModalHandler::LastPos() {
  static TPoint p(kUnknownPos, kUnknownPos);
  return p;
}

TTfModalHandler::TTfModalHandler(HWND ExistingWindow) {
  LastPos() = CurrentMessagePos();
  if (ExistingWindow) {
    FCaptureWindow = ExistingWindow;
  } else {
    FCaptureWindow = AllocateHWnd([this](TMessage& m) {
      if (m.Msg == WM_CANCELMODE && TopPopup) {
        try {
          TopPopup->View()->CancelAndHideAll();
        } catch (...) {
          if (Application) Application->HandleException(nullptr);
        }
      }
      m.Result = DefWindowProcW(FCaptureWindow, m.Msg, m.WParam, m.LParam);
    });
    FOwnsWindow = true;
  }
  HWND focus = GetFocus();
  if (focus && GetWindowThreadProcessId(focus, nullptr) != GetCurrentThreadId()) {
    FSavedFocus = focus;
    SetFocus(nullptr);
  }
  LockForeground(true);
  SetCapture(FCaptureWindow);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  TfNotifyWinEvent(EVENT_SYSTEM_MENUSTART, FCaptureWindow, OBJID_CLIENT, 0);
  FStarted = true;
}

TTfModalHandler::~TTfModalHandler() {
  LockForeground(false);
  if (GetCapture() == FCaptureWindow) ReleaseCapture();
  if (FStarted) TfNotifyWinEvent(EVENT_SYSTEM_MENUEND, FCaptureWindow, OBJID_CLIENT, 0);
  if (FOwnsWindow) DeallocateHWnd(FCaptureWindow);
  if (FSavedFocus && !GetFocus()) SetFocus(FSavedFocus);
}

// The screen position of a mouse message: its client coordinates mapped
// from the window it is addressed to (the capture window for real input).
static POINT MessageScreenPos(const MSG& msg) {
  POINT p{static_cast<short>(LOWORD(GetMessagePos())), static_cast<short>(HIWORD(GetMessagePos()))};
  bool client = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST &&
                msg.message != WM_MOUSEWHEEL && msg.message != WM_MOUSEHWHEEL;
  if (client && msg.hwnd && IsWindow(msg.hwnd)) {
    p = POINT{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    ClientToScreen(msg.hwnd, &p);
  } else if (!client) {
    p = msg.pt;
  }
  return p;
}

static TTfView* DeepestView(TTfView* root) {
  TTfView* v = root;
  while (v->OpenView())
    v = v->OpenView();
  return v;
}

static bool IsPopupOfChain(TTfView* root, HWND wnd) {
  for (TTfView* v = root->OpenView(); v; v = v->OpenView())
    if (v->Window() && v->Window()->HandleAllocated() && v->Window()->Handle() == wnd) return true;
  if (root->IsPopup() && root->Window() && root->Window()->HandleAllocated() &&
      root->Window()->Handle() == wnd)
    return true;
  return false;
}

void TTfModalHandler::TrackMouse(TTfView* Root, bool AllowSelect, bool IsMove) {
  TPoint p = LastPos();
  std::vector<TTfView*> chain;
  for (TTfView* v = Root; v; v = v->OpenView())
    chain.push_back(v);
  TTfView* captured = nullptr;
  for (TTfView* v : chain)
    if (v->MouseCaptured()) captured = v;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    if (!captured || *it == captured) (*it)->MouseTrack(p, AllowSelect);
  TTfItemViewer* under = nullptr;
  if (captured) {
    under = captured->Selected();
  } else {
    for (TTfView* v = Root; v; v = v->OpenView()) {
      if (v->MouseInside()) {
        under = v->Selected();
        break;
      }
      if (v->State() & vwMouseInView) break;
    }
  }
  gViewerUnderMouse = under;
  if (IsMove && under) {
    // Hints stay only for views that show them for every item (or items
    // that ask for them) while nothing is captured.
    TTfView* uv = under->View();
    bool hints = !captured && ((uv->Style() & styHintsForAll) ||
                               (under->Item()->ResolvedOptions() & tfoShowHint));
    if (hints) {
      if (uv->Window() && uv->Window()->HandleAllocated()) UpdateWindow(uv->Window()->Handle());
    } else if (Application) {
      Application->CancelHint();
    }
    TPoint vp = under->ScreenToViewer(p);
    HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW);
    under->CursorAt(vp, cursor);
    SetCursor(cursor);
    under->MouseMove(vp.X, vp.Y);
  }
  if (IsMove && !under && Application) Application->CancelHint();
}

void TTfModalHandler::Loop(TTfView* View, bool StartMouseDown, bool ExecuteAtStart,
                           bool DontMarkUsed, bool TrackRightButton) {
  View->Result() = TTfMenuResult{};
  View->ValidatePositions();
  View->CaptureWnd = FCaptureWindow;
  TScopeGuard cleanup([&] {
    View->ReleaseCaptureFlag();
    View->CaptureWnd = nullptr;
    gViewerUnderMouse = nullptr;
    if (Application) Application->SetHint(L"");
    PurgeMessages(WM_CHAR, WM_CHAR);
    PurgeMessages(WM_DEADCHAR, WM_DEADCHAR);
    PurgeMessages(WM_SYSCHAR, WM_SYSCHAR);
    PurgeMessages(WM_SYSDEADCHAR, WM_SYSDEADCHAR);
    PurgeMessages(0x4D, 0x4D);
  });
  bool mouseDownOnMenu = false;
  if (StartMouseDown && View->Selected()) {
    TTfItemViewer* sel = View->Selected();
    TPoint vp = sel->ScreenToViewer(CurrentMessagePos());
    bool dummy = false;
    sel->MouseDown(0, vp.X, vp.Y, dummy);
  }
  if (!View->HasResult() && ExecuteAtStart) View->ExecuteSelected(!DontMarkUsed);
  HWND active = GetActiveWindow();
  auto tracking = [&] {
    return GetCapture() == FCaptureWindow && GetActiveWindow() == active && !View->HasResult();
  };
  bool toolbarRoot = View->IsToolbar() && !View->IsPopup();
  HWND rootWnd =
      View->Window() && View->Window()->HandleAllocated() ? View->Window()->Handle() : nullptr;
  auto buttonDown = [&] {
    return (GetKeyState(VK_LBUTTON) < 0) || (TrackRightButton && GetKeyState(VK_RBUTTON) < 0);
  };
  while (tracking()) {
    AnimationStep();
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (IsAnimating())
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      else
        WaitMessage();
      continue;
    }
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN) {
      // While the capture is held every press arrives at the capture
      // window; the window the press is over is found by its position.
      POINT pt = MessageScreenPos(msg);
      HWND over = msg.hwnd == FCaptureWindow ? WindowFromPoint(pt) : msg.hwnd;
      if (!IsPopupOfChain(View, over)) {
        if (!toolbarRoot || over != rootWnd) break;
        POINT cp = pt;
        ScreenToClient(rootWnd, &cp);
        RECT cr;
        GetClientRect(rootWnd, &cr);
        if (!PtInRect(&cr, cp)) break;
        if (msg.message == WM_LBUTTONDOWN) {
          LastPos() = TPoint(pt);
          TrackMouse(View, true, false);
          TTfItemViewer* s = View->Selected();
          if (!s || !View->MouseInside() || (s->Item()->Traits() & itPassClicks)) break;
        }
      }
    }
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TPoint msgPos = MessageScreenPos(msg);
    switch (msg.message) {
    case 0x4D: // WM_KEYF1
    case WM_CONTEXTMENU:
    case 0x118: // WM_SYSTIMER
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (Application) Application->CancelHint();
      WORD key = static_cast<WORD>(msg.wParam);
      if (key == VK_PROCESSKEY)
        key = static_cast<WORD>(MapVirtualKeyW(HIWORD(msg.lParam) & 0xFF, MAPVK_VSC_TO_VK));
      if (buttonDown() && key != VK_F1) break;
      TTfView* deep = DeepestView(View);
      TShiftState shift = KeyboardStateToShiftState();
      if (deep->Selected()) deep->Selected()->KeyDown(key, shift);
      if (key) deep->KeyDown(key, shift);
      if (View->HasResult()) break;
      if (key) TranslateMessage(&msg);
      break;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
      if (buttonDown()) break;
      TTfView* deep = DeepestView(View);
      wchar_t ch = static_cast<wchar_t>(msg.wParam);
      bool only = false;
      TTfItemViewer* v = deep->FindAccelerator(deep->Selected(), ch, false, only);
      if (v) {
        deep->Select(v);
        deep->ScrollSelectedIntoView();
        if (only) deep->ExecuteSelected(true);
      } else if ((ch == L' ' || ch == L'-') && toolbarRoot && !View->OpenView() &&
                 HasActiveWindow()) {
        View->SetSysKeyResult(GetActiveWindow(), ch);
      } else {
        MessageBeep(0);
      }
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
      break;
    case WM_TIMER: {
      auto* pw = dynamic_cast<TTfPopupWindow*>(FindControl(msg.hwnd));
      if (pw && msg.wParam >= 9000 && msg.wParam <= 9003) {
        pw->View()->TimerTick(static_cast<int>(msg.wParam - 9000));
      } else {
        DispatchMessageW(&msg);
      }
      break;
    }
    case WM_MOUSEMOVE:
      if (!(msgPos == LastPos())) {
        LastPos() = msgPos;
        TrackMouse(View, true, true);
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
      if (msg.message == WM_RBUTTONDOWN && !TrackRightButton) break;
      if (Application) Application->CancelHint();
      mouseDownOnMenu = false;
      View->Exclude(vwIgnoreFirstRelease);
      LastPos() = msgPos;
      TrackMouse(View, true, false);
      if (TTfItemViewer* v = gViewerUnderMouse) {
        TPoint vp = v->ScreenToViewer(msgPos);
        v->MouseDown(msg.message == WM_LBUTTONDBLCLK ? ssDouble : 0, vp.X, vp.Y, mouseDownOnMenu);
      }
      LastPos() = msgPos;
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      if (msg.message == WM_RBUTTONUP && !TrackRightButton) break;
      LastPos() = msgPos;
      TrackMouse(View, false, false);
      if (TTfItemViewer* v = gViewerUnderMouse) {
        TPoint vp = v->ScreenToViewer(msgPos);
        v->MouseUp(vp.X, vp.Y, mouseDownOnMenu);
      } else {
        bool inAny = false;
        HWND under = WindowFromPoint(msgPos);
        for (TTfView* w = View; w; w = w->OpenView())
          if (w->Window() && w->Window()->HandleAllocated() && w->Window()->Handle() == under &&
              !(w == View && toolbarRoot))
            inAny = true;
        if (!inAny) {
          if (View->State() & vwIgnoreFirstRelease)
            View->Exclude(vwIgnoreFirstRelease);
          else
            View->SetCancelResult();
        }
      }
      break;
    }
    case WM_MOUSEWHEEL:
      if (TTfItemViewer* v = gViewerUnderMouse) {
        TPoint vp = v->ScreenToViewer(msgPos);
        v->MouseWheel(static_cast<short>(HIWORD(msg.wParam)), vp.X, vp.Y);
      }
      break;
    default:
      if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      break;
    }
    if (!tracking()) break;
    if (LastPos().X == kUnknownPos) {
      LastPos() = CurrentMessagePos();
      TrackMouse(View, true, false);
    }
    if (Application) {
      TTfView* deep = DeepestView(View);
      TTfItemViewer* s = deep->Selected();
      std::wstring h;
      if (s) {
        h = s->Item()->Hint();
        size_t bar = h.find(L'|');
        h = bar == std::wstring::npos ? h : h.substr(bar + 1);
      }
      Application->SetHint(h);
    }
  }
}

TTfCustomItem* TTfCustomItem::PopupAt(int X, int Y, bool TrackRightButton,
                                      TTfPopupAlignment Alignment, bool ReturnClickedItemOnly) {
  auto handler = std::make_unique<TTfModalHandler>(nullptr);
  TTfPopupWindow* win =
      OpenPopupWindow(nullptr, nullptr, false, false, false, TPoint(X, Y), Alignment);
  TTfView* view = win->View();
  view->Include(vwIgnoreFirstRelease);
  handler->TopPopup = win;
  TTfMenuResult result;
  {
    TScopeGuard close([&] {
      handler->TopPopup = nullptr;
      view->Exclude(vwTracking);
      delete win;
    });
    handler->Loop(view, false, false, false, TrackRightButton);
    result = view->Result();
  }
  handler.reset();
  return ExecuteMenuResult(result, ReturnClickedItemOnly);
}

// ---------------------------------------------------------------------------
// Popup menus

TTfPopupMenu::TTfPopupMenu(TComponent* AOwner)
    : TPopupMenu(AOwner), FItems(std::make_unique<TTfRootItem>(nullptr)) {
  FItems->SetParentComponentRef(this);
  FItems->OnClick = [this](TObject* Sender) {
    if (OnPopup) OnPopup(Sender == FItems.get() ? static_cast<TObject*>(this) : Sender);
  };
}

TTfPopupMenu::~TTfPopupMenu() {
  Destroying();
  FItems.reset();
}

void TTfPopupMenu::Popup(int X, int Y) {
  PopupEx(X, Y, false);
}

TTfCustomItem* TTfPopupMenu::PopupEx(int X, int Y, bool ReturnClickedItemOnly) {
  PopupPoint = TPoint(X, Y);
  return FItems->PopupAt(X, Y, TrackRightButton, Alignment, ReturnClickedItemOnly);
}

bool TTfPopupMenu::IsShortCut(TMessage& Message) {
  return FItems->HandleShortCut(Message);
}
