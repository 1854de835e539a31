// Base classes of the look-and-feel library: persistent objects with an
// owner, the library's component base, an owning list, thread hooks and a
// few value routines.
#pragma once

#include <windows.h>

#include "framework/Classes.h"

// A persistent object that knows its owner (for name paths).
class TlfInterfacedPersistent : public TPersistent {
public:
  explicit TlfInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const { return FOwner; }

private:
  TPersistent* FOwner;
};

// The base of the library's non-visual components. While designed, Loaded
// fills the three fake links from CollectFakeLinks.
class TlfComponent : public TComponent {
public:
  static constexpr int FakeLinkCount = 3;
  explicit TlfComponent(TComponent* AOwner) : TComponent(AOwner) {}
  ~TlfComponent() override;
  void Loaded() override;
  void BeforeDestruction();
  virtual void CollectFakeLinks(TList* List);

  TComponent* FakeComponentLink1() const { return FFakeLinks[0]; }
  TComponent* FakeComponentLink2() const { return FFakeLinks[1]; }
  TComponent* FakeComponentLink3() const { return FFakeLinks[2]; }
  void SetFakeComponentLink1(TComponent* Value) { FFakeLinks[0] = Value; }
  void SetFakeComponentLink2(TComponent* Value) { FFakeLinks[1] = Value; }
  void SetFakeComponentLink3(TComponent* Value) { FFakeLinks[2] = Value; }

private:
  void UpdateFakeLinks();
  TComponent* FFakeLinks[FakeLinkCount] = {};
};

// A list that owns its items (TObject pointers).
class TlfObjectList : public TList {
public:
  ~TlfObjectList() override { Clear(); }
  // Frees every item in index order, then empties the list. When a
  // destructor raises, the items not yet freed stay in the list.
  void Clear();
  TObject* Objects(int Index) const { return static_cast<TObject*>(Items(Index)); }
};

// The registry of components that destroying a TlfComponent cleans (made on demand).
class TlfComponentRegistry {
public:
  std::vector<TComponent*> Entries;
};
TlfComponentRegistry* lfComponentRegistry();
bool lfComponentRegistryExists();

// Thread hooks of the current thread.
void InstallThreadHook(HHOOK& Handle, int HookType, HOOKPROC Proc);
void RemoveThreadHook(HHOOK& Handle);

SIZE MakeSize(int cx, int cy);
// floor((a + b) / 2).
int RangeCenter(int a, int b);

// Unit start-up and shut-down: TlfComponent joins the class group of TControl.
void lfClassesInitialize();
void lfClassesFinalize();
// 0 before start-up, 1 running, 2 after shut-down.
int lfClassesState();
