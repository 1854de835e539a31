#include "framework/FormBuilder.h"

#include "framework/ComCtrls.h"
#include "framework/SysUtils.h"

TWinControl* TParentRef::Resolve(TWinControl* Owner) const {
  switch (FKind) {
  case OwnerDefault:
    return Owner;
  case Fixed:
    return FControl;
  case Deferred:
    if (TWinControl* c = FMember()) return c;
    throw EInvalidOperation(L"The parent is created after its child");
  }
  return Owner;
}

void TComponentEntry::Apply(TComponent& Component, TComponent* Owner) const {
  if (!FSpec.Name.empty()) Component.SetName(FSpec.Name);
  auto* control = dynamic_cast<TControl*>(&Component);
  if (!control) {
    if (FSpec.Bounds.Given || FSpec.Caption || FSpec.AutoSize || FSpec.Visible || FSpec.OnClick)
      throw EInvalidOperation(L"Only controls have bounds, captions and clicks");
    return;
  }
  if (FSpec.Visible) control->SetVisible(*FSpec.Visible);
  if (TWinControl* parent = FSpec.Parent.Resolve(dynamic_cast<TWinControl*>(Owner))) {
    auto* sheet = dynamic_cast<TTabSheet*>(control);
    auto* pages = dynamic_cast<TPageControl*>(parent);
    if (sheet && pages)
      sheet->SetPageControl(pages);
    else
      control->SetParent(parent);
  }
  if (FSpec.Caption) control->SetCaption(*FSpec.Caption);
  if (FSpec.AutoSize == false) control->SetAutoSize(false);
  const TBounds& b = FSpec.Bounds;
  if (b.Given) control->SetBounds(b.Left, b.Top, b.Width, b.Height);
  if (FSpec.AutoSize == true) control->SetAutoSize(true);
}

void TComponentEntry::Connect(TComponent& Component) const {
  if (FSpec.OnClick) static_cast<TControl&>(Component).OnClick = FSpec.OnClick;
}

void BuildComponents(TComponent* Owner, std::initializer_list<TComponentEntry> Entries) {
  for (const TComponentEntry& e : Entries)
    e.Create(Owner);
}
