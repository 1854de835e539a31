#include "toolbars/TfExtItems.h"

TTfVisibilityToggleItem::TTfVisibilityToggleItem(TComponent* AOwner) : TTfCustomItem(AOwner) {
  FTraits = itSelectable | itRepaintOnSelect | itRepaintOnHover;
}

void TTfVisibilityToggleItem::SetControl(TControl* Value) {
  if (Value == FControl) return;
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = Value;
  if (Value) {
    Value->FreeNotification(this);
    if (Caption().empty() && !(ComponentState() & csLoading)) SetCaption(Value->Caption());
  }
  SyncCheck();
}

void TTfVisibilityToggleItem::SyncCheck() {
  if (ComponentState() & (csLoading | csDestroying | csDesigning)) return;
  SetChecked(FControl && FControl->Visible());
}

void TTfVisibilityToggleItem::Click() {
  if (FControl) FControl->SetVisible(!FControl->Visible());
  TTfCustomItem::Click();
}

void TTfVisibilityToggleItem::UpdateFromAction() {
  SyncCheck();
}

void TTfVisibilityToggleItem::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FControl) {
    FControl = nullptr;
    SyncCheck();
  }
  TTfCustomItem::Notification(AComponent, Operation);
}
