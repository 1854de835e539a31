#include "framework/FormBuilder.h"

#include "framework/ComCtrls.h"
#include "framework/SysUtils.h"

TComponent* TParentRef::Resolve(TComponent* Owner) const {
  switch (FKind) {
  case OwnerDefault:
    return Owner;
  case Fixed:
    return FComponent;
  case Deferred:
    if (TComponent* c = FMember()) return c;
    throw EInvalidOperation(L"The parent is created after its child");
  }
  return Owner;
}

void TComponentEntry::Apply(TComponent& Component, TComponent* Owner) const {
  if (!FProps.Name.empty()) Component.SetName(FProps.Name);
  auto* control = dynamic_cast<TControl*>(&Component);
  if (!control) {
    if (FProps.Bounds.Given || FProps.Caption || FProps.AutoSize || FProps.Visible ||
        FProps.OnClick)
      throw EInvalidOperation(L"Only controls have bounds, captions and clicks");
    return;
  }
  if (FProps.Visible) control->SetVisible(*FProps.Visible);
  TComponent* given = FProps.Parent.Resolve(dynamic_cast<TWinControl*>(Owner));
  auto* parent = dynamic_cast<TWinControl*>(given);
  if (given && !parent) throw EInvalidOperation(L"A control's parent is a control");
  if (parent) {
    auto* sheet = dynamic_cast<TTabSheet*>(control);
    auto* pages = dynamic_cast<TPageControl*>(parent);
    if (sheet && pages)
      sheet->SetPageControl(pages);
    else
      control->SetParent(parent);
  }
  if (FProps.Caption) control->SetCaption(*FProps.Caption);
  if (FProps.AutoSize == false) control->SetAutoSize(false);
  const TBounds& b = FProps.Bounds;
  if (b.Given) control->SetBounds(b.Left, b.Top, b.Width, b.Height);
  if (FProps.AutoSize == true) control->SetAutoSize(true);
}

void TComponentEntry::Join(TComponent& Component, TComponent* Owner) const {
  if (dynamic_cast<TControl*>(&Component) || FProps.Parent.IsDefault()) return;
  if (TComponent* parent = FProps.Parent.Resolve(Owner)) Component.SetParentComponent(parent);
}

void TComponentEntry::Connect(TComponent& Component) const {
  if (FProps.OnClick) static_cast<TControl&>(Component).OnClick = FProps.OnClick;
}

void BuildComponents(TComponent* Owner, std::initializer_list<TComponentEntry> Entries) {
  for (const TComponentEntry& e : Entries)
    e.Create(Owner);
}

void BuildComponents(TComponent* Owner, const std::vector<TComponentEntry>& Entries) {
  for (const TComponentEntry& e : Entries)
    e.Create(Owner);
}
