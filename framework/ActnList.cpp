#include "framework/ActnList.h"

#include <algorithm>

#include "framework/ImgList.h"

namespace {
// Never freed: action lists may outlive the static objects of the program.
std::vector<TCustomActionList*>& AllLists() {
  static auto* lists = new std::vector<TCustomActionList*>;
  return *lists;
}
} // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key & 0xFF00) return 0;
  TShortCut s = Key;
  if (Shift & ssShift) s |= scShift;
  if (Shift & ssCtrl) s |= scCtrl;
  if (Shift & ssAlt) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = 0;
  if (ShortCut & scShift) Shift |= ssShift;
  if (ShortCut & scCtrl) Shift |= ssCtrl;
  if (ShortCut & scAlt) Shift |= ssAlt;
}

// ---------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  Destroying();
  while (!FClients.empty())
    FClients.back()->SetAction(nullptr);
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
  if (std::find(FClients.begin(), FClients.end(), Link) == FClients.end()) FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), Link), FClients.end());
}

void TBasicAction::Change() {
  std::vector<TBasicActionLink*> list = FClients;
  for (TBasicActionLink* l : list)
    l->Change();
}

TBasicActionLink::~TBasicActionLink() {
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = Value;
  if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->SetActionComponent(AComponent);
  bool r = false;
  TScopeGuard restore([&] {
    if (FAction) FAction->SetActionComponent(nullptr);
  });
  r = FAction->Execute();
  return r;
}

bool TBasicActionLink::Update() {
  return FAction && FAction->Update();
}

void TBasicActionLink::Change() {
  if (OnChange) OnChange(FClient);
}

// ---------------------------------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {
  if (auto* list = dynamic_cast<TCustomActionList*>(AOwner)) SetActionList(list);
}

TContainedAction::~TContainedAction() {
  Destroying();
  if (FActionList) FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (Value == FActionList) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (Value) Value->AddAction(this);
}

int TContainedAction::Index() const {
  if (!FActionList) return -1;
  auto& v = FActionList->FActions;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TContainedAction::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || Value == cur) return;
  auto& v = FActionList->FActions;
  v.erase(v.begin() + cur);
  Value = std::clamp(Value, 0, static_cast<int>(v.size()));
  v.insert(v.begin() + Value, this);
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  return TBasicAction::Execute();
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->UpdateAction(this)) return true;
  return TBasicAction::Update();
}

// ---------------------------------------------------------------------------

#define FW_FOR_LINKS(call)                                                                         \
  do {                                                                                             \
    std::vector<TBasicActionLink*> links = FClients;                                               \
    for (TBasicActionLink * l : links)                                                             \
      if (auto* al = dynamic_cast<TActionLink*>(l)) al->call;                                      \
  } while (0)

void TCustomAction::SetCaption(const std::wstring& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  FW_FOR_LINKS(SetCaption(Value));
  Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  FW_FOR_LINKS(SetChecked(Value));
  // Checking one action of a group unchecks the others.
  if (Value && FGroupIndex > 0 && ActionList()) {
    for (int i = 0; i < ActionList()->ActionCount(); ++i) {
      auto* a = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
      if (a && a != this && a->FGroupIndex == FGroupIndex) a->SetChecked(false);
    }
  }
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  FW_FOR_LINKS(SetEnabled(Value));
  Change();
}

void TCustomAction::SetHint(const std::wstring& Value) {
  if (Value == FHint) return;
  FHint = Value;
  FW_FOR_LINKS(SetHint(Value));
  Change();
}

void TCustomAction::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  FW_FOR_LINKS(SetImageIndex(Value));
  Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  FW_FOR_LINKS(SetShortCut(Value));
  Change();
}

void TCustomAction::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  FW_FOR_LINKS(SetVisible(Value));
  Change();
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

bool TCustomAction::DoHint(std::wstring&) {
  return true;
}

// ---------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {
  AllLists().push_back(this);
}

TCustomActionList::~TCustomActionList() {
  Destroying();
  auto& all = AllLists();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  while (!FActions.empty()) {
    TContainedAction* a = FActions.back();
    FActions.pop_back();
    a->FActionList = nullptr;
  }
}

TContainedAction* TCustomActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FActions[Index];
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  if (!Action || Action->FActionList == this) return;
  if (Action->FActionList) Action->FActionList->RemoveAction(Action);
  FActions.push_back(Action);
  Action->FActionList = this;
  Action->FreeNotification(this);
  if (OnChange) OnChange(this);
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto it = std::find(FActions.begin(), FActions.end(), Action);
  if (it == FActions.end()) return;
  FActions.erase(it);
  Action->FActionList = nullptr;
  Action->RemoveFreeNotification(this);
  if (OnChange && !(ComponentState() & csDestroying)) OnChange(this);
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  auto it = std::find(FActions.begin(), FActions.end(), AComponent);
  if (it != FActions.end()) {
    (*it)->FActionList = nullptr;
    FActions.erase(it);
  }
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  if (OnUpdate) OnUpdate(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TMessage& Message) {
  WORD key = static_cast<WORD>(Message.WParam);
  TShortCut sc = ShortCut(key, KeyDataToShiftState(Message.LParam));
  if (sc == 0) return false;
  std::vector<TContainedAction*> list = FActions;
  for (TContainedAction* a : list) {
    auto* ca = dynamic_cast<TCustomAction*>(a);
    if (ca && ca->ShortCut() == sc) return ca->Execute();
  }
  return false;
}

void TCustomActionList::UpdateActions() {
  std::vector<TContainedAction*> list = FActions;
  for (TContainedAction* a : list)
    if (std::find(FActions.begin(), FActions.end(), a) != FActions.end()) a->Update();
}

void UpdateAllActionLists() {
  std::vector<TCustomActionList*> lists = AllLists();
  for (TCustomActionList* l : lists) {
    auto& all = AllLists();
    if (std::find(all.begin(), all.end(), l) == all.end()) continue;
    if (l->ComponentState() & (csDesigning | csLoading | csDestroying)) continue;
    l->UpdateActions();
  }
}
