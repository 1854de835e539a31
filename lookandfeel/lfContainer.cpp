#include "lookandfeel/lfContainer.h"

#include <algorithm>
#include <set>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

namespace {

const wchar_t* const kValueNames[10] = {
    L"BorderColor", L"BorderStyle", L"Color",     L"Edges",     L"Font",
    L"HotTrack",    L"Shadow",      L"TextColor", L"TextStyle", L"TransparentBorder"};
const TlfContainerStyleValues kNotPublishedInStates =
    StyleValueBit(svEdges) | StyleValueBit(svFont) | StyleValueBit(svHotTrack) |
    StyleValueBit(svShadow) | StyleValueBit(svTransparentBorder);

// Heap state for the whole run: exit hooks run during static destruction.
std::vector<IlfPopupWindow*>& gPopups = *new std::vector<IlfPopupWindow*>;
HHOOK gCallWndHook = nullptr, gGetMessageHook = nullptr, gMouseHook = nullptr;
std::map<HWND, WNDPROC>& gLockedProcs = *new std::map<HWND, WNDPROC>;
bool gProcessingClick = false;
FARPROC gGetScrollBarInfo = nullptr;
int gUseCount = 0;

bool InList(IlfPopupWindow* p) {
  return std::find(gPopups.begin(), gPopups.end(), p) != gPopups.end();
}

} // namespace

TlfStyleController* lfDefaultStyleController = nullptr;
bool lfNoHooks = false;
bool lfNoActivationMessages = false;
HWND (*lfWindowOwnerMapper)(HWND) = nullptr;

// ---------------------------------------------------------------------------
// TlfContainerStyle

TlfContainerStyle::TlfContainerStyle(TPersistent* AOwner, int State, TlfContainerStyle* ParentStyle,
                                     bool DirectAccess)
    : TlfInterfacedPersistent(AOwner), FParentStyle(ParentStyle), FState(State),
      FDirectAccess(DirectAccess) {
  FContainer = dynamic_cast<IlfStyleContainer*>(AOwner);
  if (IsBaseStyle()) {
    if (!FDirectAccess) {
      FFont = new TFont;
      FOwnsFont = true;
      FFont->OnChange = [this](TObject* s) { OwnFontChanged(s); };
    }
    FLookAndFeel = std::make_unique<TlfLookAndFeel>(this);
    FLookAndFeel->OnSettingsChanged = [this](TlfLookAndFeel*, TlfLookAndFeelValues) {
      NotifyStyleChange();
    };
    FStyleController = DefaultController();
    if (FStyleController && GetOwner() != FStyleController) FStyleController->AttachStyle(this);
  }
}

TlfContainerStyle::~TlfContainerStyle() {
  FDestroying = true;
  if (IsBaseStyle() && FStyleController) FStyleController->DetachStyle(this);
  FLookAndFeel.reset();
  if (FOwnsFont) delete FFont;
}

TlfStyleController* TlfContainerStyle::DefaultController() const {
  return lfDefaultStyleController;
}

TlfStyleController* TlfContainerStyle::ActiveController() const {
  if (FParentStyle) return FParentStyle->ActiveController();
  if (!FStyleController || GetOwner() == FStyleController) return nullptr;
  return FStyleController;
}

TlfContainerStyle* TlfContainerStyle::ControllerStyle() const {
  TlfStyleController* c = ActiveController();
  return c ? c->StateStyle(FState) : nullptr;
}

TColor TlfContainerStyle::BorderColor() const {
  if (FDirectAccess) return Assigned(svBorderColor) ? FBorderColor : clDefault;
  if (Assigned(svBorderColor)) return FBorderColor;
  if (auto* s = ControllerStyle()) return s->BorderColor();
  return BorderColorDefault();
}

TColor TlfContainerStyle::BorderColorDefault() const {
  if (FState == csDisabledState) return clBtnShadow;
  if (IsBaseStyle()) return clWindowFrame;
  return FParentStyle->BorderColor();
}

TlfContainerBorderStyle TlfContainerStyle::BorderStyle() const {
  if (Assigned(svBorderStyle)) return FBorderStyle;
  if (!FDirectAccess)
    if (auto* s = ControllerStyle()) return s->BorderStyle();
  return BorderStyleDefault();
}

TlfContainerBorderStyle TlfContainerStyle::BorderStyleDefault() const {
  if (IsBaseStyle()) {
    static const TlfContainerBorderStyle byKind[4] = {cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};
    return byKind[LookAndFeel()->Kind()];
  }
  TlfContainerBorderStyle parent = FParentStyle->BorderStyle();
  if ((FState == csHotState || FState == csFocusedState) && HotTrack()) {
    static const TlfContainerBorderStyle hot[7] = {cbsFlat, cbsThick,     cbsThick,   cbs3D,
                                                   cbs3D,   cbsUltraFlat, cbsOffice11};
    return hot[parent];
  }
  return parent;
}

TColor TlfContainerStyle::Color() const {
  if (FDirectAccess) return FColor;
  if (Assigned(svColor)) return FColor;
  if (IsBaseStyle() && FContainer && FContainer->ParentColor())
    return FContainer->ParentControlColor();
  if (auto* s = ControllerStyle()) return s->Color();
  return ColorDefault();
}

TColor TlfContainerStyle::ColorDefault() const {
  bool windowBackground = FContainer && !FContainer->BackgroundQuery();
  if (IsBaseStyle()) return windowBackground ? clWindow : clBtnFace;
  if (FState == csDisabledState && windowBackground) return clBtnFace;
  return FParentStyle->Color();
}

TlfBorders TlfContainerStyle::Edges() const {
  if (FParentStyle) return FParentStyle->Edges();
  if (FDirectAccess) return 0;
  if (Assigned(svEdges)) return FEdges;
  if (auto* s = ControllerStyle()) return s->Edges();
  return EdgesDefault();
}

bool TlfContainerStyle::HotTrack() const {
  if (FParentStyle) return FParentStyle->HotTrack();
  if (Assigned(svHotTrack)) return FHotTrack;
  if (!FDirectAccess)
    if (auto* s = ControllerStyle()) return s->HotTrack();
  return HotTrackDefault();
}

bool TlfContainerStyle::Shadow() const {
  if (FParentStyle) return FParentStyle->Shadow();
  if (FDirectAccess) return false;
  if (Assigned(svShadow)) return FShadow;
  if (auto* s = ControllerStyle()) return s->Shadow();
  return ShadowDefault();
}

bool TlfContainerStyle::TransparentBorder() const {
  if (FParentStyle) return FParentStyle->TransparentBorder();
  if (FDirectAccess) return true;
  if (Assigned(svTransparentBorder)) return FTransparentBorder;
  if (auto* s = ControllerStyle()) return s->TransparentBorder();
  return TransparentBorderDefault();
}

TFont* TlfContainerStyle::Font() const {
  return FParentStyle ? FParentStyle->Font() : FFont;
}

TColor TlfContainerStyle::TextColor() const {
  if (FDirectAccess) return FFontColor;
  if (Assigned(svTextColor)) return FFontColor;
  if (auto* s = ControllerStyle()) return s->TextColor();
  return TextColorDefault();
}

TColor TlfContainerStyle::TextColorDefault() const {
  if (FState == csDisabledState) return clBtnShadow;
  if (IsBaseStyle()) return FFont ? FFont->Color() : clWindowText;
  return FParentStyle->TextColor();
}

TFontStyles TlfContainerStyle::TextStyle() const {
  if (FDirectAccess) return Font() ? Font()->Style() : 0;
  if (Assigned(svTextStyle)) return FTextStyle;
  if (auto* s = ControllerStyle()) return s->TextStyle();
  return TextStyleDefault();
}

TFontStyles TlfContainerStyle::TextStyleDefault() const {
  if (IsBaseStyle()) return FFont ? FFont->Style() : 0;
  return FParentStyle->TextStyle();
}

TlfLookAndFeel* TlfContainerStyle::LookAndFeel() const {
  return FParentStyle ? FParentStyle->LookAndFeel() : FLookAndFeel.get();
}

void TlfContainerStyle::SetLookAndFeel(TlfLookAndFeel* Value) {
  LookAndFeel()->Assign(Value);
}

void TlfContainerStyle::SetBorderColor(TColor Value) {
  if (Assigned(svBorderColor) && FBorderColor == Value) return;
  FBorderColor = Value;
  MarkAssigned(svBorderColor);
  NotifyStyleChange();
}

void TlfContainerStyle::SetBorderStyle(TlfContainerBorderStyle Value) {
  if (Assigned(svBorderStyle) && FBorderStyle == Value) return;
  FBorderStyle = Value;
  MarkAssigned(svBorderStyle);
  NotifyStyleChange();
}

void TlfContainerStyle::SetColor(TColor Value) {
  if (Assigned(svColor) && FColor == Value) return;
  FColor = Value;
  MarkAssigned(svColor);
  NotifyStyleChange();
}

void TlfContainerStyle::SetTextColor(TColor Value) {
  if (Assigned(svTextColor) && TextColor() == Value) return;
  FFontColor = Value;
  MarkAssigned(svTextColor);
  NotifyStyleChange();
}

void TlfContainerStyle::SetTextStyle(TFontStyles Value) {
  if (Assigned(svTextStyle) && TextStyle() == Value) return;
  FTextStyle = Value;
  MarkAssigned(svTextStyle);
  NotifyStyleChange();
}

void TlfContainerStyle::SetEdges(TlfBorders Value) {
  if (FParentStyle) return FParentStyle->SetEdges(Value);
  if (Assigned(svEdges) && FEdges == Value) return;
  FEdges = Value;
  MarkAssigned(svEdges);
  NotifyStyleChange();
}

void TlfContainerStyle::SetHotTrack(bool Value) {
  if (FParentStyle) return FParentStyle->SetHotTrack(Value);
  if (Assigned(svHotTrack) && FHotTrack == Value) return;
  FHotTrack = Value;
  MarkAssigned(svHotTrack);
  NotifyStyleChange();
}

void TlfContainerStyle::SetShadow(bool Value) {
  if (FParentStyle) return FParentStyle->SetShadow(Value);
  if (Assigned(svShadow) && FShadow == Value) return;
  FShadow = Value;
  MarkAssigned(svShadow);
  NotifyStyleChange();
}

void TlfContainerStyle::SetTransparentBorder(bool Value) {
  if (FParentStyle) return FParentStyle->SetTransparentBorder(Value);
  if (Assigned(svTransparentBorder) && FTransparentBorder == Value) return;
  FTransparentBorder = Value;
  MarkAssigned(svTransparentBorder);
  NotifyStyleChange();
}

void TlfContainerStyle::SetFont(TFont* Value) {
  if (FParentStyle) return FParentStyle->SetFont(Value);
  if (FDirectAccess) {
    FFont = Value;
    return;
  }
  FFont->Assign(Value); // the font's change marks it assigned
}

void TlfContainerStyle::OwnFontChanged(TObject*) {
  if (FFontAssignedLock == 0) MarkAssigned(svFont);
  NotifyStyleChange();
}

void TlfContainerStyle::SetAssignedValues(TlfContainerStyleValues Value) {
  if (Value == FAssignedValues) return;
  FAssignedValues = Value;
  if (IsBaseStyle()) UpdateFont();
  NotifyStyleChange();
}

void TlfContainerStyle::ResetOwnFont() {
  TFont fresh;
  FFont->Assign(&fresh);
}

void TlfContainerStyle::UpdateFont() {
  if (!IsBaseStyle() || FDirectAccess || Assigned(svFont)) return;
  ++FFontAssignedLock;
  if (auto* s = ControllerStyle(); s && s->Font())
    FFont->Assign(s->Font());
  else if (!(FContainer && FContainer->ParentFont()))
    ResetOwnFont();
  --FFontAssignedLock;
}

TlfStyleController* TlfContainerStyle::StyleController() const {
  if (FParentStyle) return FParentStyle->StyleController();
  return FStyleController == DefaultController() ? nullptr : FStyleController;
}

void TlfContainerStyle::SetStyleController(TlfStyleController* Value) {
  if (FParentStyle) return FParentStyle->SetStyleController(Value);
  if (!Value) Value = DefaultController();
  if (DefaultController() && GetOwner() == DefaultController()) return;
  if (Value == FStyleController) return;
  // Refuse a controller whose chain of normal-style controllers comes back here.
  for (TlfStyleController* c = Value; c; c = c->Style()->FStyleController) {
    if (c->Style() == this) return;
    if (c->Style()->FStyleController == c) break;
  }
  if (FStyleController) FStyleController->DetachStyle(this);
  FStyleController = Value;
  if (FStyleController) FStyleController->AttachStyle(this);
  UpdateFont();
  NotifyStyleChange();
}

void TlfContainerStyle::ControllerChanged(TlfStyleController*) {
  UpdateFont();
  NotifyStyleChange();
}

void TlfContainerStyle::ControllerFreed(TlfStyleController* Controller) {
  if (Controller == FStyleController) {
    FStyleController = DefaultController() == Controller ? nullptr : DefaultController();
    if (FStyleController) FStyleController->AttachStyle(this);
    UpdateFont();
    NotifyStyleChange();
  }
}

void TlfContainerStyle::NotifyStyleChange() {
  FModified = true;
  CheckChanges();
}

void TlfContainerStyle::CheckChanges() {
  if (!FModified || FUpdateCount > 0) return;
  FModified = false;
  if (!FDestroying && !FDirectAccess && OnValuesChanged) OnValuesChanged(this);
}

void TlfContainerStyle::BeginStyleUpdate() {
  ++FUpdateCount;
}

void TlfContainerStyle::EndStyleUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) CheckChanges();
}

void TlfContainerStyle::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TlfContainerStyle*>(Source);
  if (!s) {
    TlfInterfacedPersistent::Assign(Source);
    return;
  }
  BeginStyleUpdate();
  if (IsBaseStyle()) {
    SetStyleController(s->StyleController());
    FLookAndFeel->Assign(s->LookAndFeel());
  }
  FBorderColor = s->FBorderColor;
  FBorderStyle = s->FBorderStyle;
  FEdges = s->FEdges;
  FHotTrack = s->FHotTrack;
  FShadow = s->FShadow;
  FTransparentBorder = s->FTransparentBorder;
  FColor = s->FColor;
  if (FDirectAccess) {
    FFont = s->Font();
    FFontColor = s->TextColor();
  } else {
    if (IsBaseStyle() && s->Font()) {
      ++FFontAssignedLock;
      FFont->Assign(s->Font());
      --FFontAssignedLock;
      if (s->FDirectAccess) FFont->SetColor(s->TextColor());
    }
    FFontColor = s->TextColor();
    FTextStyle = s->TextStyle();
  }
  FAssignedValues = s->FAssignedValues;
  NotifyStyleChange();
  EndStyleUpdate();
}

void TlfContainerStyle::ResetToDefaults() {
  BeginStyleUpdate();
  FAssignedValues = 0;
  if (IsBaseStyle()) {
    FLookAndFeel->ClearAssignedValues();
    if (FContainer) {
      FContainer->SetParentColor(false);
      FContainer->SetParentFont(true);
    } else if (!FDirectAccess) {
      ++FFontAssignedLock;
      ResetOwnFont();
      --FFontAssignedLock;
    }
    if (FContainer) {
      TlfStyleController* c = ActiveController();
      bool colourAssigned = c && (c->Style()->FAssignedValues & StyleValueBit(svColor));
      if (!colourAssigned) FContainer->SetParentColor(true);
    }
  }
  NotifyStyleChange();
  EndStyleUpdate();
}

bool TlfContainerStyle::FindStyleValue(const std::wstring& Name, int& Index) {
  for (int i = 0; i < 10; ++i)
    if (SameText(Name, kValueNames[i])) {
      Index = i;
      return true;
    }
  Index = -1;
  return false;
}

bool TlfContainerStyle::ValueName(int Index, std::wstring& Name) const {
  if (Index < 0 || Index >= 10) {
    Name.clear();
    return false;
  }
  Name = kValueNames[Index];
  return true;
}

bool TlfContainerStyle::ValueAssigned(int Index) const {
  if (Index < 0 || Index >= 10) return false;
  if (FAssignedValues & (1u << Index)) return true;
  if (auto* s = ControllerStyle()) return s->ValueAssigned(Index);
  return false;
}

bool TlfContainerStyle::IsStatePropertyPublished(const std::wstring& Name) const {
  if (SameText(Name, L"LookAndFeel") || SameText(Name, L"StyleController")) return IsBaseStyle();
  int index;
  if (!FindStyleValue(Name, index)) return true;
  if (IsBaseStyle()) return true;
  return !(kNotPublishedInStates & (1u << index));
}

// ---------------------------------------------------------------------------
// TlfContainerStyles and TlfStyleController

TlfContainerStyles::TlfContainerStyles(TPersistent* AOwner,
                                       const TlfContainerStyleFactory& Factory) {
  FStyles[0] = Factory(AOwner, 0, nullptr, false);
  for (int s = 1; s < 4; ++s)
    FStyles[s] = Factory(AOwner, s, FStyles[0], false);
}

TlfContainerStyles::~TlfContainerStyles() {
  for (int s = 3; s >= 0; --s)
    delete FStyles[s];
}

TlfStyleController::TlfStyleController(TComponent* AOwner) : TComponent(AOwner) {
  FStyles = std::make_unique<TlfContainerStyles>(this, ContainerStyleClass());
  for (int s = 0; s < 4; ++s)
    FStyles->Style(s)->OnValuesChanged = [this](TObject*) { Changed(); };
}

TlfStyleController::~TlfStyleController() {
  FDestroying = true;
  auto snapshot = FListeners;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
    (*it)->ControllerFreed(this);
  FStyles.reset();
  FListeners.clear();
}

TlfContainerStyleFactory TlfStyleController::ContainerStyleClass() const {
  return [](TPersistent* o, int s, TlfContainerStyle* p, bool d) {
    return new TlfContainerStyle(o, s, p, d);
  };
}

void TlfStyleController::Loaded() {
  TComponent::Loaded();
  Changed();
}

void TlfStyleController::Changed() {
  if (OnChanged) OnChanged(this);
  if (FDestroying) return;
  auto snapshot = FListeners;
  for (auto* s : snapshot)
    if (std::find(FListeners.begin(), FListeners.end(), s) != FListeners.end())
      s->ControllerChanged(this);
}

void TlfStyleController::AttachStyle(TlfContainerStyle* Style) {
  if (std::find(FListeners.begin(), FListeners.end(), Style) != FListeners.end()) return;
  FListeners.push_back(Style);
  if (Style->LookAndFeel() && this->Style()->LookAndFeel())
    Style->LookAndFeel()->SetMaster(this->Style()->LookAndFeel());
}

void TlfStyleController::DetachStyle(TlfContainerStyle* Style) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), Style), FListeners.end());
  if (Style->LookAndFeel()) Style->LookAndFeel()->SetMaster(nullptr);
}

// ---------------------------------------------------------------------------
// Window tests

void lfAddOpenPopup(IlfPopupWindow* Popup) {
  if (!InList(Popup)) gPopups.push_back(Popup);
}

void lfRemoveOpenPopup(IlfPopupWindow* Popup) {
  gPopups.erase(std::remove(gPopups.begin(), gPopups.end(), Popup), gPopups.end());
}

int lfOpenPopupCount() {
  return static_cast<int>(gPopups.size());
}

bool IsWindowOfControl(TWinControl* Control, HWND Wnd, bool Deep) {
  if (!Control || !Wnd) return false;
  if (Control->HandleAllocated() && Control->Handle() == Wnd) return true;
  return Deep && IsWindowInsideControl(Control, Wnd);
}

bool IsWindowInsideControl(TWinControl* Control, HWND Wnd) {
  if (!Wnd || !Control || !Control->HandleAllocated() || Control->Handle() == Wnd) return false;
  if (IsChild(Control->Handle(), Wnd)) return true;
  for (int i = 0; i < Control->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(Control->Controls(i));
    if (!child || !child->HandleAllocated()) continue;
    if (child->Handle() == Wnd || IsWindowInsideControl(child, Wnd)) return true;
  }
  auto* form = dynamic_cast<TCustomForm*>(Control);
  for (auto* p : gPopups) {
    TWinControl* owner = p->OwnerControl();
    if (!owner || !p->PopupHandle()) continue;
    bool ownedHere =
        owner == Control || (form && (GetWindowLongW(Control->Handle(), GWL_STYLE) & WS_POPUP) &&
                             GetParentForm(owner) == form);
    if (!ownedHere) continue;
    if (p->PopupHandle() == Wnd || IsChild(p->PopupHandle(), Wnd)) return true;
  }
  return false;
}

HWND FirstNonChildAncestor(HWND Wnd) {
  while (Wnd && (GetWindowLongW(Wnd, GWL_STYLE) & WS_CHILD))
    Wnd = GetParent(Wnd);
  return Wnd;
}

bool IsWindowOfParentForm(TWinControl* Control, HWND Wnd) {
  TCustomForm* form = GetParentForm(Control);
  if (!form) return false;
  if (IsWindowOfControl(form, Wnd, true)) return true;
  if (form->Parent() || !form->HandleAllocated()) return false;
  HWND top = form->Handle();
  while (top && (GetWindowLongW(top, GWL_STYLE) & WS_CHILD) && GetParent(top))
    top = GetParent(top);
  if (top == form->Handle()) return false;
  return Wnd == top || IsChild(top, Wnd);
}

TShiftState CurrentShiftState() {
  TShiftState s = KeyboardStateToShiftState();
  if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
  return s;
}

bool IsShownWindow(TWinControl* Control) {
  return Control && Control->HandleAllocated() && IsWindowVisible(Control->Handle());
}

int CompareNames(const std::wstring& A, const std::wstring& B, bool CaseSensitive) {
  return CaseSensitive ? A.compare(B) : _wcsicmp(A.c_str(), B.c_str());
}

// ---------------------------------------------------------------------------
// Message lock

namespace {

LRESULT CALLBACK LockedWindowProc(HWND Wnd, UINT, WPARAM, LPARAM) {
  auto it = gLockedProcs.find(Wnd);
  if (it != gLockedProcs.end()) {
    SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second));
    gLockedProcs.erase(it);
  }
  return 1;
}

} // namespace

void LockWindowMessage(HWND Wnd) {
  if (!Wnd || gLockedProcs.count(Wnd)) return;
  auto prev = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LockedWindowProc)));
  if (prev) gLockedProcs[Wnd] = prev;
}

bool IsWindowMessageLocked(HWND Wnd) {
  return gLockedProcs.count(Wnd) != 0;
}

// ---------------------------------------------------------------------------
// Hooks

namespace {

bool OwnerDestroying(IlfPopupWindow* p) {
  TWinControl* o = p->OwnerControl();
  return !o || (o->ComponentState() & csDestroying);
}

// Closes popups chosen by Pick, one at a time; each popup is considered once,
// so a popup that stays open after closing cannot make the scan run forever.
template <class F> void CloseWhile(F Pick) {
  std::set<IlfPopupWindow*> tried;
  for (;;) {
    IlfPopupWindow* chosen = nullptr;
    for (auto* p : std::vector<IlfPopupWindow*>(gPopups))
      if (!tried.count(p) && Pick(p)) {
        chosen = p;
        break;
      }
    if (!chosen) return;
    tried.insert(chosen);
    chosen->ClosePopup();
  }
}

void CallWndProcMessage(const CWPSTRUCT& m) {
  switch (m.message) {
  case WM_DESTROY:
    for (auto* p : std::vector<IlfPopupWindow*>(gPopups)) {
      if (!InList(p) || p->IsPopupDestroying() || p->PopupHandle() != m.hwnd) continue;
      p->ClosePopup();
      if (!InList(p) && !p->IsPopupDestroying() && p->PopupFlag(4) && Application)
        Application->Terminate();
      break;
    }
    break;
  case WM_CLOSE:
    for (auto* p : std::vector<IlfPopupWindow*>(gPopups)) {
      if (!InList(p) || p->IsPopupDestroying()) continue;
      if (p->PopupHandle() == m.hwnd) {
        if (p->CloseQuery()) p->ClosePopup();
        if (!InList(p) && p->PopupFlag(1) && !OwnerDestroying(p)) {
          HWND ownerTop = p->OwnerControl()->HandleAllocated()
                              ? FirstNonChildAncestor(p->OwnerControl()->Handle())
                              : nullptr;
          if (ownerTop) SendMessageW(ownerTop, WM_CLOSE, 0, 0);
        }
        break;
      }
      if (p->PopupFlag(1) || OwnerDestroying(p)) continue;
      TCustomForm* form = GetParentForm(p->OwnerControl());
      if (!form || !form->HandleAllocated() || form->Handle() == m.hwnd) {
        p->ClosePopup();
        break;
      }
    }
    break;
  case WM_SHOWWINDOW:
    if (m.wParam != 0) break;
    for (int i = static_cast<int>(gPopups.size()) - 1; i >= 0; --i) {
      IlfPopupWindow* p = gPopups[i];
      if (p->IsPopupDestroying() || OwnerDestroying(p) || !p->OwnerControl()->HandleAllocated())
        continue;
      HWND owner = p->OwnerControl()->Handle();
      if (owner == m.hwnd || IsChild(m.hwnd, owner)) {
        auto doomed = std::vector<IlfPopupWindow*>(gPopups.begin() + i, gPopups.end());
        for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
          if (InList(*it)) (*it)->ClosePopup();
        break;
      }
    }
    break;
  case WM_ACTIVATEAPP:
    if (m.wParam != 0) break;
    for (auto* p : std::vector<IlfPopupWindow*>(gPopups)) {
      TCustomForm* form = p->OwnerControl() ? GetParentForm(p->OwnerControl()) : nullptr;
      if (form && form->HandleAllocated()) PostMessageW(form->Handle(), WM_NCACTIVATE, 0, 0);
    }
    CloseWhile([](IlfPopupWindow* p) {
      return !(p->PopupFlag(1) && p->PopupFlag(3)) && p->PopupHandle() &&
             IsWindowEnabled(p->PopupHandle());
    });
    break;
  case WM_WINDOWPOSCHANGED:
    CloseWhile([&](IlfPopupWindow* p) {
      if (p->IsPopupDestroying() || !p->PopupHandle() || OwnerDestroying(p)) return false;
      TWinControl* o = p->OwnerControl();
      if (!o->HandleAllocated()) return false;
      HWND owner = o->Handle();
      return (owner == m.hwnd || IsChild(m.hwnd, owner)) && !IsWindowVisible(owner);
    });
    break;
  case WM_NCACTIVATE:
    if (m.wParam != 0) break;
    if (gProcessingClick) {
      LockWindowMessage(m.hwnd);
      break;
    }
    for (auto* p : gPopups) {
      if (p->IsPopupDestroying() || !p->OwnerControl()) continue;
      TCustomForm* form = GetParentForm(p->OwnerControl());
      if (form && form->HandleAllocated() && form->Handle() == m.hwnd) {
        LockWindowMessage(m.hwnd);
        break;
      }
    }
    break;
  }
}

LRESULT CALLBACK CallWndProcHook(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION) {
    try {
      const auto& m = *reinterpret_cast<const CWPSTRUCT*>(LParam);
      if ((m.message == CM_ACTIVATE || m.message == CM_DEACTIVATE) && lfNoActivationMessages)
        LockWindowMessage(m.hwnd);
      if (!gPopups.empty()) CallWndProcMessage(m);
    } catch (...) {
    }
  }
  return CallNextHookEx(gCallWndHook, Code, WParam, LParam);
}

LRESULT CALLBACK GetMessageHook(int Code, WPARAM WParam, LPARAM LParam) {
  if (!gPopups.empty() && Code == HC_ACTION && WParam == PM_REMOVE) {
    try {
      auto& m = *reinterpret_cast<MSG*>(LParam);
      if (m.message == WM_SYSKEYDOWN) {
        IlfPopupWindow* last = gPopups.back();
        if (!(last->PopupFlag(1) && last->PopupFlag(2)) &&
            !last->AcceptsSysKey(static_cast<WORD>(m.wParam)))
          m.message = WM_NULL;
      }
    } catch (...) {
    }
  }
  return CallNextHookEx(gGetMessageHook, Code, WParam, LParam);
}

bool IsMdiNeighbour(TCustomForm* ownerForm, HWND W) {
  if (!ownerForm || ownerForm->FormStyle() != fsMDIChild || !ownerForm->HandleAllocated())
    return false;
  HWND client = GetParent(ownerForm->Handle());
  if (!client) return false;
  return W == client || IsChild(client, W);
}

// True when the click passes.
bool CheckClick(HWND W, UINT Msg, POINT Pt) {
  bool result = true;
  std::set<IlfPopupWindow*> handled;
  for (;;) {
    IlfPopupWindow* target = nullptr;
    for (auto* p : std::vector<IlfPopupWindow*>(gPopups)) {
      if (handled.count(p)) continue;
      if (p->PopupFlag(1) && !p->PopupFlag(3)) continue;
      auto* popupControl = dynamic_cast<TWinControl*>(p->OwnerControl());
      if (p->PopupHandle() == W || (p->PopupHandle() && IsChild(p->PopupHandle(), W))) continue;
      (void)popupControl;
      TWinControl* owner = p->OwnerControl();
      if (!owner) continue;
      if (IsWindowOfParentForm(owner, W) || IsMdiNeighbour(GetParentForm(owner), W)) {
        target = p;
        break;
      }
    }
    if (!target) return result;
    handled.insert(target);
    TWinControl* owner = target->OwnerControl();
    bool onDropDown = false;
    if (IsWindowOfParentForm(owner, W)) {
      bool outside = true;
      if (IsWindowOfControl(owner, W, true) && (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK)) {
        TRect area = target->OwnerDropDownArea();
        POINT local = Pt;
        if (owner->HandleAllocated()) ScreenToClient(owner->Handle(), &local);
        if (area.Contains(TPoint(local))) {
          onDropDown = true;
          outside = false;
          if (target->HandlesClick(W, Msg, Pt, CurrentShiftState())) target->SetClosedByOwner(true);
        }
      }
      bool wasProcessing = gProcessingClick;
      gProcessingClick = true;
      ++target->ClosingCounter();
      try {
        if (outside && target->HandlesClick(W, Msg, Pt, CurrentShiftState())) result = false;
        target->ClosePopup();
        if (onDropDown && ((owner->ComponentState() & csDestroying) || !owner->Visible()))
          result = false;
      } catch (...) {
      }
      --target->ClosingCounter();
      gProcessingClick = wasProcessing;
    } else {
      if (target->HandlesClick(W, Msg, Pt, CurrentShiftState())) result = false;
      target->ClosePopup();
    }
  }
}

LRESULT CALLBACK MouseHook(int Code, WPARAM WParam, LPARAM LParam) {
  if (!gPopups.empty() && Code == HC_ACTION) {
    switch (WParam) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      try {
        const auto& m = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam);
        if (!CheckClick(m.hwnd, static_cast<UINT>(WParam), m.pt)) return 1;
      } catch (...) {
      }
      break;
    }
    default:
      break;
    }
  }
  return CallNextHookEx(gMouseHook, Code, WParam, LParam);
}

HWND MapOwner(HWND Wnd) {
  for (HWND h = Wnd; h; h = GetParent(h))
    for (auto* p : gPopups)
      if (p->PopupHandle() == h) {
        TWinControl* o = p->OwnerControl();
        return o && o->HandleAllocated() ? o->Handle() : Wnd;
      }
  return Wnd;
}

} // namespace

HHOOK lfContainerHook(int HookType) {
  switch (HookType) {
  case WH_CALLWNDPROC:
    return gCallWndHook;
  case WH_GETMESSAGE:
    return gGetMessageHook;
  case WH_MOUSE:
    return gMouseHook;
  default:
    return nullptr;
  }
}

bool lfScrollBarInfoAvailable() {
  return gGetScrollBarInfo != nullptr;
}

HWND lfMapWindowOwner(HWND Wnd) {
  return lfWindowOwnerMapper ? lfWindowOwnerMapper(Wnd) : Wnd;
}

void lfContainerInitialize() {
  if (gUseCount++ > 0) return;
  HMODULE user = GetModuleHandleW(L"User32");
  gGetScrollBarInfo = user ? GetProcAddress(user, "GetScrollBarInfo") : nullptr;
  GroupDescendentsWith(L"TlfStyleController", L"TControl");
  gPopups.clear();
  if (!lfNoHooks) {
    InstallThreadHook(gCallWndHook, WH_CALLWNDPROC, CallWndProcHook);
    InstallThreadHook(gGetMessageHook, WH_GETMESSAGE, GetMessageHook);
    InstallThreadHook(gMouseHook, WH_MOUSE, MouseHook);
  }
  lfWindowOwnerMapper = MapOwner;
}

void lfContainerFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  lfWindowOwnerMapper = nullptr;
  RemoveThreadHook(gMouseHook);
  RemoveThreadHook(gGetMessageHook);
  RemoveThreadHook(gCallWndHook);
  gPopups.clear();
}
