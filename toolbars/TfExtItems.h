// Extra items: the visibility toggle item.
#pragma once

#include "toolbars/TfItem.h"

// Shows and hides one control; checked while the control is visible.
class TTfVisibilityToggleItem : public TTfCustomItem {
public:
  explicit TTfVisibilityToggleItem(TComponent* AOwner);
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  void Click() override;
  void UpdateFromAction() override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void SyncCheck();
  TControl* FControl = nullptr;
};
