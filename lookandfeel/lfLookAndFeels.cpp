#include "lookandfeel/lfLookAndFeels.h"

#include <algorithm>

#include "lookandfeel/lxOffice11.h"

namespace {

TlfLookAndFeel* gRoot = nullptr;
TlfLookAndFeelPainterClass gPainters[4] = {};
TlfLookAndFeelPainterClass gWinXPPainter = nullptr;
TlfSystemPaletteChangedListener* gPaletteListener = nullptr;
int gNotifierCount = 0;
int gUseCount = 0;

template <class T> bool Contains(const std::vector<T*>& v, T* p) {
  return std::find(v.begin(), v.end(), p) != v.end();
}

template <class T> void Erase(std::vector<T*>& v, T* p) {
  v.erase(std::remove(v.begin(), v.end(), p), v.end());
}

} // namespace

TlfExtendedStyleRegistryLink& lfExtendedStyleRegistry() {
  static auto* link = new TlfExtendedStyleRegistryLink; // outlives static destruction
  return *link;
}
bool lfSkinPaintersAllowed = true;
bool (*lfIsSkinSupported)(TObject*) = nullptr;

void lfRegisterPainterClasses(TlfLookAndFeelPainterClass Flat, TlfLookAndFeelPainterClass Standard,
                              TlfLookAndFeelPainterClass UltraFlat,
                              TlfLookAndFeelPainterClass Office11,
                              TlfLookAndFeelPainterClass WinXP) {
  gPainters[lfFlat] = Flat;
  gPainters[lfStandard] = Standard;
  gPainters[lfUltraFlat] = UltraFlat;
  gPainters[lfOffice11] = Office11;
  gWinXPPainter = WinXP;
}

TlfLookAndFeelPainterClass lfPainterClass(TlfLookAndFeelKind Kind) {
  return gPainters[Kind];
}

TlfLookAndFeelPainterClass lfWinXPPainterClass() {
  return gWinXPPainter;
}

// ---------------------------------------------------------------------------
// Palette changes

TlfSystemPaletteChangedNotifier::TlfSystemPaletteChangedNotifier(bool Primary) : FPrimary(Primary) {
  if (!gPaletteListener) gPaletteListener = new TlfSystemPaletteChangedListener;
  ++gNotifierCount;
  gPaletteListener->AddNotifier(this);
}

TlfSystemPaletteChangedNotifier::~TlfSystemPaletteChangedNotifier() {
  if (!gPaletteListener) return;
  gPaletteListener->RemoveNotifier(this);
  if (--gNotifierCount == 0) {
    delete gPaletteListener;
    gPaletteListener = nullptr;
  }
}

void TlfSystemPaletteChangedNotifier::FireChanged() {
  if (OnSystemPaletteChanged) OnSystemPaletteChanged();
}

TlfSystemPaletteChangedListener::TlfSystemPaletteChangedListener() {
  AddOffice11ColorsUser();
  FHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TlfSystemPaletteChangedListener::~TlfSystemPaletteChangedListener() {
  FPrimary.clear();
  FOrdinary.clear();
  DeallocateHWnd(FHandle);
  RemoveOffice11ColorsUser();
}

void TlfSystemPaletteChangedListener::AddNotifier(TlfSystemPaletteChangedNotifier* N) {
  (N->IsPrimary() ? FPrimary : FOrdinary).push_back(N);
}

void TlfSystemPaletteChangedListener::RemoveNotifier(TlfSystemPaletteChangedNotifier* N) {
  Erase(FPrimary, N);
  Erase(FOrdinary, N);
}

void TlfSystemPaletteChangedListener::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SYSCOLORCHANGE) {
    UpdateOffice11Colors();
    // One pass over a copy of each list; a notifier freed meanwhile is skipped.
    for (auto* list : {&FPrimary, &FOrdinary}) {
      auto snapshot = *list;
      for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
        if (gPaletteListener == this && Contains(*list, *it)) (*it)->FireChanged();
    }
  }
  Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

TlfSystemPaletteChangedListener* lfSystemPaletteChangedListener() {
  return gPaletteListener;
}

int lfSystemPaletteChangedNotifierCount() {
  return gNotifierCount;
}

// ---------------------------------------------------------------------------
// TlfLookAndFeel

TlfLookAndFeel* GetRootLookAndFeel() {
  return gRoot;
}

TlfLookAndFeel::TlfLookAndFeel(TPersistent* AOwner) : TlfInterfacedPersistent(AOwner) {
  FCurrent = FData;
  FNotifier = new TlfSystemPaletteChangedNotifier(false);
  FNotifier->OnSystemPaletteChanged = [this] { SystemColorsChanged(); };
  if (gRoot) {
    gRoot->AttachListener(this);
    RecomputeState();
    if (!FCurrent.NativeStyle) FSkinPainter = EffectiveSkinPainter();
  }
  FPainter = ChoosePainter(0);
}

TlfLookAndFeel::~TlfLookAndFeel() {
  if (lfExtendedStyleRegistry().Exists() && FPainterListenerRegistered &&
      lfExtendedStyleRegistry().RemovePainterListener)
    lfExtendedStyleRegistry().RemovePainterListener(this);
  delete FNotifier;
  FNotifier = nullptr;
  FDestroying = true;
  auto snapshot = FListeners;
  for (auto* l : snapshot)
    if (Contains(FListeners, l)) l->MasterDestroying(this);
  FDestroying = false;
  FListeners.clear();
  if (TlfLookAndFeel* holder = ListHolder()) holder->DetachListener(this);
  if (FIsRoot) gRoot = nullptr;
}

void TlfLookAndFeel::MakeRoot() {
  FIsRoot = true;
  gRoot = this;
}

TlfLookAndFeel* TlfLookAndFeel::Master() const {
  if (FIsRoot) return nullptr;
  return FMaster ? FMaster : gRoot;
}

TlfLookAndFeel* TlfLookAndFeel::ListHolder() const {
  TlfLookAndFeel* m = Master();
  return m == this ? nullptr : m;
}

TlfLookAndFeelKind TlfLookAndFeel::EffectiveKind() const {
  if (FAssignedValues & lfvKindBit) return FData.Kind;
  TlfLookAndFeel* m = Master();
  return m ? m->FCurrent.Kind : lfUltraFlat;
}

bool TlfLookAndFeel::EffectiveNativeStyle() const {
  if (FAssignedValues & lfvNativeStyleBit) return FData.NativeStyle;
  TlfLookAndFeel* m = Master();
  return m ? m->FCurrent.NativeStyle : false;
}

TlxSkinName TlfLookAndFeel::EffectiveSkinName() const {
  if (FAssignedValues & lfvSkinNameBit) return FData.SkinName;
  TlfLookAndFeel* m = Master();
  return m ? m->FCurrent.SkinName : TlxSkinName();
}

TlfLookAndFeelPainterClass TlfLookAndFeel::EffectiveSkinPainter() {
  TlfLookAndFeelPainterClass p = nullptr;
  if (FAssignedValues & lfvSkinNameBit)
    FindSkinPainter(FData.SkinName, p);
  else if (!FIsRoot && Master())
    FindSkinPainter(Master()->FCurrent.SkinName, p);
  return p;
}

bool TlfLookAndFeel::FindSkinPainter(const TlxSkinName& Name, TlfLookAndFeelPainterClass& Painter) {
  Painter = nullptr;
  if (Name.empty() || !lfExtendedStyleRegistry().Exists()) return false;
  TlfLookAndFeelPainterClass found = nullptr;
  bool result = lfExtendedStyleRegistry().FindPainter(Name, found);
  if (result && lfSkinPaintersAllowed) Painter = found;
  return result;
}

TlfLookAndFeelPainterClass TlfLookAndFeel::ChoosePainter(TlxThemeClasses Classes) {
  if (FCurrent.NativeStyle && CanUseVisualStyles(Classes)) return gWinXPPainter;
  if (FSkinPainter) return FSkinPainter;
  return gPainters[FCurrent.Kind];
}

void TlfLookAndFeel::RecomputeState() {
  FCurrent.Kind = EffectiveKind();
  FCurrent.NativeStyle = EffectiveNativeStyle();
  FCurrent.SkinName = EffectiveSkinName();
}

TlfLookAndFeelValues TlfLookAndFeel::Differences() const {
  TlfLookAndFeelValues v = 0;
  if (EffectiveKind() != FPrevious.Kind) v |= lfvKindBit;
  if (EffectiveNativeStyle() != FPrevious.NativeStyle) v |= lfvNativeStyleBit;
  if (EffectiveSkinName() != FPrevious.SkinName) v |= lfvSkinNameBit;
  return v;
}

void TlfLookAndFeel::UpdatePainterListener() {
  if (!lfExtendedStyleRegistry().Exists()) return;
  if (FSkinPainter) {
    if (lfExtendedStyleRegistry().AddPainterListener)
      lfExtendedStyleRegistry().AddPainterListener(this);
    FPainterListenerRegistered = true;
  } else {
    if (lfExtendedStyleRegistry().RemovePainterListener)
      lfExtendedStyleRegistry().RemovePainterListener(this);
    FPainterListenerRegistered = false;
  }
}

void TlfLookAndFeel::NotifyChange(TlfLookAndFeelValues Values) {
  if (!Values || FDestroying) return;
  RecomputeState();
  FSkinPainter = nullptr;
  if (!FCurrent.NativeStyle) FSkinPainter = EffectiveSkinPainter();
  FPainter = ChoosePainter(0);
  UpdatePainterListener();
  // One pass over a copy; a listener removed meanwhile is not called.
  auto snapshot = FListeners;
  for (auto* l : snapshot)
    if (Contains(FListeners, l)) l->MasterChanged(this, Values);
  if (OnSettingsChanged) OnSettingsChanged(this, Values);
}

void TlfLookAndFeel::SetKind(TlfLookAndFeelKind Value) {
  FAssignedValues |= lfvKindBit;
  FData.Kind = Value;
  if (EffectiveKind() != FCurrent.Kind) NotifyChange(lfvKindBit);
}

void TlfLookAndFeel::SetNativeStyle(bool Value) {
  FAssignedValues |= lfvNativeStyleBit;
  FData.NativeStyle = Value;
  if (EffectiveNativeStyle() != FCurrent.NativeStyle) NotifyChange(lfvNativeStyleBit);
}

void TlfLookAndFeel::SetSkinName(const TlxSkinName& Value) {
  FAssignedValues |= lfvSkinNameBit;
  FData.SkinName = Value;
  if (EffectiveSkinName() != FCurrent.SkinName) NotifyChange(lfvSkinNameBit);
}

void TlfLookAndFeel::ReportDifferences() {
  NotifyChange(Differences());
}

void TlfLookAndFeel::SetAssignedValues(TlfLookAndFeelValues Value) {
  Value &= lfvAllBits;
  if (Value == FAssignedValues) return;
  FPrevious = FCurrent;
  FAssignedValues = Value;
  ReportDifferences();
}

void TlfLookAndFeel::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TlfLookAndFeel*>(Source);
  if (!src) {
    TlfInterfacedPersistent::Assign(Source);
    return;
  }
  FPrevious = FCurrent;
  FData = src->FData;
  FAssignedValues = src->FAssignedValues;
  TlfLookAndFeel* m = src->Master();
  if (!FIsRoot && m != this && m != Master()) {
    if (TlfLookAndFeel* holder = ListHolder()) holder->DetachListener(this);
    FMaster = m == gRoot ? nullptr : m;
    if (TlfLookAndFeel* holder = ListHolder()) holder->AttachListener(this);
  }
  ReportDifferences();
}

void TlfLookAndFeel::SetMaster(TlfLookAndFeel* Value) {
  if (FIsRoot || Value == this || Value == Master()) return;
  FPrevious = FCurrent;
  if (TlfLookAndFeel* holder = ListHolder()) holder->DetachListener(this);
  FMaster = Value;
  if (TlfLookAndFeel* holder = ListHolder())
    if (!holder->FDestroying) holder->AttachListener(this);
  ReportDifferences();
}

void TlfLookAndFeel::AttachListener(ILookAndFeelChangeListener* Listener) {
  if (!Listener || Contains(FListeners, Listener)) return;
  bool controller = dynamic_cast<TlfLookAndFeelController*>(Listener->ListenerObject()) != nullptr;
  if (controller) {
    if (!FIsRoot) return;
    ++FControllerCount;
  }
  FListeners.push_back(Listener);
}

void TlfLookAndFeel::DetachListener(ILookAndFeelChangeListener* Listener) {
  if (FDestroying || !Contains(FListeners, Listener)) return;
  Erase(FListeners, Listener);
  bool controller = dynamic_cast<TlfLookAndFeelController*>(Listener->ListenerObject()) != nullptr;
  if (controller && FIsRoot && FControllerCount > 0 && --FControllerCount == 0)
    ClearAssignedValues();
}

void TlfLookAndFeel::MasterChanged(TlfLookAndFeel*, TlfLookAndFeelValues Values) {
  NotifyChange(Values & ~FAssignedValues);
}

void TlfLookAndFeel::MasterDestroying(TlfLookAndFeel* Sender) {
  if (Sender == FMaster) SetMaster(nullptr);
}

void TlfLookAndFeel::SystemColorsChanged() {
  NotifyChange(lfvNativeStyleBit);
}

void TlfLookAndFeel::PainterChanged() {
  NotifyChange(lfvAllBits);
}

// ---------------------------------------------------------------------------
// Controller

TlfLookAndFeelController::TlfLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (gRoot) gRoot->AttachListener(this);
}

TlfLookAndFeelController::~TlfLookAndFeelController() {
  if (gRoot) gRoot->DetachListener(this);
}

TlfLookAndFeelKind TlfLookAndFeelController::Kind() const {
  return gRoot ? gRoot->Kind() : lfUltraFlat;
}
void TlfLookAndFeelController::SetKind(TlfLookAndFeelKind Value) {
  if (gRoot) gRoot->SetKind(Value);
}
bool TlfLookAndFeelController::NativeStyle() const {
  return gRoot ? gRoot->NativeStyle() : false;
}
void TlfLookAndFeelController::SetNativeStyle(bool Value) {
  if (gRoot) gRoot->SetNativeStyle(Value);
}
TlxSkinName TlfLookAndFeelController::SkinName() const {
  return gRoot ? gRoot->SkinName() : TlxSkinName();
}
void TlfLookAndFeelController::SetSkinName(const TlxSkinName& Value) {
  if (gRoot) gRoot->SetSkinName(Value);
}
void TlfLookAndFeelController::MasterChanged(TlfLookAndFeel*, TlfLookAndFeelValues) {}
void TlfLookAndFeelController::MasterDestroying(TlfLookAndFeel*) {}

// ---------------------------------------------------------------------------
// Unit

void lfLookAndFeelsInitialize() {
  if (gUseCount++ > 0) return;
  GroupDescendentsWith(L"TlfLookAndFeelController", L"TForm");
  auto* root = new TlfLookAndFeel(nullptr);
  root->MakeRoot();
  lfIsSkinSupported = [](TObject* o) { return dynamic_cast<IlfSkinSupport*>(o) != nullptr; };
}

void lfLookAndFeelsFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  delete gRoot;
  gRoot = nullptr;
  lfIsSkinSupported = nullptr;
}
