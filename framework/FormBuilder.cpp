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
  if (!FProps.Name.empty()) Component.SetName(FProps.Name);
  auto* control = dynamic_cast<TControl*>(&Component);
  if (!control) {
    if (FProps.Bounds.Given || FProps.Caption || FProps.AutoSize || FProps.Visible ||
        FProps.OnClick)
      throw EInvalidOperation(L"Only controls have bounds, captions and clicks");
    return;
  }
  if (FProps.Visible) control->SetVisible(*FProps.Visible);
  if (TWinControl* parent = FProps.Parent.Resolve(dynamic_cast<TWinControl*>(Owner))) {
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

void TComponentEntry::Connect(TComponent& Component) const {
  if (FProps.OnClick) static_cast<TControl&>(Component).OnClick = FProps.OnClick;
}

void BuildComponents(TComponent* Owner, std::initializer_list<TComponentEntry> Entries) {
  for (const TComponentEntry& e : Entries)
    e.Create(Owner);
}
