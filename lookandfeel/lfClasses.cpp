#include "lookandfeel/lfClasses.h"

#include <memory>

namespace {

// Unit state is plain data: exit hooks run during static destruction.
TlfComponentRegistry* gRegistry = nullptr;
int gState = 0;
int gUseCount = 0;

} // namespace

TlfComponentRegistry* lfComponentRegistry() {
  if (!gRegistry) gRegistry = new TlfComponentRegistry;
  return gRegistry;
}

bool lfComponentRegistryExists() {
  return gRegistry != nullptr;
}

// ---------------------------------------------------------------------------
// TlfComponent

TlfComponent::~TlfComponent() {
  BeforeDestruction();
  if (gRegistry) {
    auto& e = gRegistry->Entries;
    for (int i = static_cast<int>(e.size()) - 1; i >= 0; --i)
      if (e[i] == this) e.erase(e.begin() + i);
  }
}

void TlfComponent::BeforeDestruction() {
  if (!(ComponentState() & csDestroying)) Destroying();
}

void TlfComponent::Loaded() {
  TComponent::Loaded();
  UpdateFakeLinks();
}

void TlfComponent::CollectFakeLinks(TList*) {}

void TlfComponent::UpdateFakeLinks() {
  TComponentState st = ComponentState();
  if (!(st & csDesigning) || (st & csDestroying) || !Owner()) return;
  TList list;
  CollectFakeLinks(&list);
  for (int i = 0; i < FakeLinkCount; ++i)
    FFakeLinks[i] = i < list.Count() ? static_cast<TComponent*>(list.Items(i)) : nullptr;
}

// ---------------------------------------------------------------------------
// TlfObjectList

void TlfObjectList::Clear() {
  // Items are taken out one at a time so that a raising destructor leaves
  // the rest in the list.
  while (Count() > 0) {
    auto* item = static_cast<TObject*>(Items(0));
    Delete(0);
    delete item;
  }
}

// ---------------------------------------------------------------------------
// Routines

void InstallThreadHook(HHOOK& Handle, int HookType, HOOKPROC Proc) {
  Handle = SetWindowsHookExW(HookType, Proc, nullptr, GetCurrentThreadId());
}

void RemoveThreadHook(HHOOK& Handle) {
  if (!Handle) return;
  UnhookWindowsHookEx(Handle);
  Handle = nullptr;
}

SIZE MakeSize(int cx, int cy) {
  return SIZE{cx, cy};
}

int RangeCenter(int a, int b) {
  int s = a + b;
  return s >= 0 ? s / 2 : -((-s + 1) / 2);
}

void lfClassesInitialize() {
  if (gUseCount++ > 0) return;
  GroupDescendentsWith(L"TlfComponent", L"TControl");
  gState = 1;
}

void lfClassesFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  delete gRegistry;
  gRegistry = nullptr;
  gState = 2;
}

int lfClassesState() {
  return gState;
}
