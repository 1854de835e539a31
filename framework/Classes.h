// Component model: objects, persistent objects with Assign, components with
// ownership and free notification, collections, lists, geometry records and
// hidden utility windows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Messages.h"
#include "framework/Persistent.h"
#include "framework/SysUtils.h"

// The class registry below takes the name; window classes use RegisterClassW.
#ifdef RegisterClass
#undef RegisterClass
#endif

using NativeInt = std::intptr_t;

// ---------------------------------------------------------------------------
// Geometry

struct TPoint {
  LONG X = 0, Y = 0;
  TPoint() = default;
  TPoint(LONG x, LONG y) : X(x), Y(y) {}
  TPoint(const POINT& p) : X(p.x), Y(p.y) {}
  operator POINT() const { return POINT{X, Y}; }
  bool operator==(const TPoint&) const = default;
};

// Left, top, right, bottom in pixels; laid out as a RECT.
struct TRect {
  LONG Left = 0, Top = 0, Right = 0, Bottom = 0;
  TRect() = default;
  TRect(LONG l, LONG t, LONG r, LONG b) : Left(l), Top(t), Right(r), Bottom(b) {}
  TRect(const RECT& r) : Left(r.left), Top(r.top), Right(r.right), Bottom(r.bottom) {}
  operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
  RECT* R() { return reinterpret_cast<RECT*>(this); }
  const RECT* R() const { return reinterpret_cast<const RECT*>(this); }
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(const TPoint& p) const {
    return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
  }
  void Offset(int dx, int dy) { Left += dx, Right += dx, Top += dy, Bottom += dy; }
  void Inflate(int dx, int dy) { Left -= dx, Right += dx, Top -= dy, Bottom += dy; }
  bool operator==(const TRect&) const = default;
};

using TSize = SIZE;

inline TPoint Point(int x, int y) {
  return TPoint(x, y);
}
inline TRect Rect(int l, int t, int r, int b) {
  return TRect(l, t, r, b);
}
inline TRect Bounds(int l, int t, int w, int h) {
  return TRect(l, t, l + w, t + h);
}
inline bool PtInRect(const TRect& r, const TPoint& p) {
  return r.Contains(p);
}

// ---------------------------------------------------------------------------
// Shift state and shortcuts

using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32,
                      ssDouble = 64;

// A key with its modifiers: virtual key in the low byte.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

// Modifier keys held now.
TShiftState KeyboardStateToShiftState();
// Modifiers from a WM_KEYDOWN / WM_SYSKEYDOWN message's key data.
TShiftState KeyDataToShiftState(LPARAM keyData);

// ---------------------------------------------------------------------------
// Objects

// TObject and TPersistent: framework/Persistent.h.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// A list of untyped pointers.
class TList : public TObject {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  void* Items(int i) const;
  void SetItems(int i, void* p);
  void* operator[](int i) const { return Items(i); }
  int Add(void* p);
  void Insert(int i, void* p);
  void Delete(int i);
  int Remove(void* p);
  int IndexOf(void* p) const;
  void* Extract(void* p);
  void Move(int from, int to);
  void Exchange(int a, int b);
  void Clear() { FItems.clear(); }
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }

private:
  void Check(int i) const;
  std::vector<void*> FItems;
};

// ---------------------------------------------------------------------------
// Components

enum TOperation { opInsert, opRemove };

using TComponentState = unsigned;
constexpr TComponentState csLoading = 1, csReading = 2, csWriting = 4, csDestroying = 8,
                          csDesigning = 16, csAncestor = 32, csUpdating = 64, csFixups = 128;

class TComponent : public TPersistent {
public:
  // The owner frees this component with itself; a null owner leaves freeing to the caller.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  const std::wstring& Name() const { return FName; }
  virtual void SetName(const std::wstring& Value);
  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  int ComponentIndex() const;
  TComponent* FindComponent(const std::wstring& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  TComponentState ComponentState() const { return FComponentState; }
  // Marks this component and those it owns as being designed.
  void SetDesigning(bool Value);

  // Asks AComponent to tell this component (through Notification) when it is freed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Called once the component's properties are all set: components created
  // while their owner is loading (a form being built) get it after the form's
  // constructor, from AfterConstruction. The base clears csLoading.
  virtual void Loaded();
  // Ends the building of this component: owned components still loading get
  // Loaded (in creation order), then this one.
  virtual void AfterConstruction();
  // Marks the component (and those it owns) as being destroyed and tells
  // every component that asked for free notification. Runs once; destructors
  // of derived classes call it before they take their own parts down.
  void Destroying();

  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  // Puts the component into a parent that is not a control (an item into its
  // menu); the base has none and raises EInvalidOperation.
  virtual void SetParentComponent(TComponent* Value);

  // Sets csLoading on this component; components it creates afterwards inherit it.
  void BeginLoading() { FComponentState |= csLoading; }

protected:
  // Another component was inserted into or removed from the owner, or a
  // component this one asked about is being freed. The base passes removals
  // of owned components on to every other owned component.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Frees every owned component, the last created first.
  void DestroyComponents();
  void SetComponentState(TComponentState Flags, bool On);

private:
  void LoadedTree();
  TComponent* FOwner = nullptr;
  std::wstring FName;
  NativeInt FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState = 0;
  bool FDestroyingDone = false;
};

// ---------------------------------------------------------------------------
// Collections

class TCollection;

class TCollectionItem : public TPersistent {
public:
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  TCollection* Collection() const { return FCollection; }
  void SetCollection(TCollection* Value);
  int ID() const { return FID; }
  int Index() const;
  void SetIndex(int Value);
  virtual std::wstring DisplayName() const;
  virtual void SetDisplayName(const std::wstring& Value);

protected:
  // Tells the collection that this item (or, with AllItems, every item) changed.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
public:
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  TCollection(TPersistent* AOwner, TItemFactory Factory);
  ~TCollection() override;

  TPersistent* Owner() const { return FOwner; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int Index) const;
  template <class T> T* ItemAs(int Index) const { return static_cast<T*>(Items(Index)); }
  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  TCollectionItem* FindItemID(int ID) const;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  // Clears this collection and adds a copy of each item of Source (a collection).
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

protected:
  // Called after changes (Item null = the whole collection), unless updating.
  virtual void Update(TCollectionItem* Item);
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  TPersistent* FOwner;
  TItemFactory FFactory;
  std::vector<TCollectionItem*> FItems;
  int FNextID = 0;
  int FUpdateCount = 0;
};

// ---------------------------------------------------------------------------
// Hidden utility windows: a top-level window that is never shown, whose
// messages go to Method (broadcasts such as WM_SYSCOLORCHANGE reach it).
// Unhandled messages: leave Result at 0 or call DefWindowProc yourself.

using TWndMethod = std::function<void(TMessage&)>;
HWND AllocateHWnd(TWndMethod Method);
// A message-only utility window: no broadcasts, but far cheaper to make (the
// window server never hears of it). For timers and callbacks.
HWND AllocateMessageHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);
// The window class of utility windows.
extern const wchar_t* const UtilWindowClassName;

// Where exceptions caught at a window-procedure boundary go (set by the
// application object); without one they are dropped.
extern void (*HandleCallbackException)(TObject* Sender);

// ---------------------------------------------------------------------------
// Class registry: streaming finds classes by name. A class may be put into
// the group of "TControl" or "TForm".

struct TPersistentClassInfo {
  std::wstring Name;
  std::function<TPersistent*()> Create; // may be empty
  std::wstring Group;                   // empty when in no group
};

// Registers a class under its name (a second registration of a name is ignored).
void RegisterClass(const std::wstring& Name, std::function<TPersistent*()> Create = nullptr);
void UnRegisterClass(const std::wstring& Name);
// The registered class of that name (case-insensitive), or null.
const TPersistentClassInfo* FindClass(const std::wstring& Name);
// Puts a class into the group of GroupClass ("TControl" or "TForm"),
// registering it when it is not yet known.
void GroupDescendentsWith(const std::wstring& Name, const std::wstring& GroupClass);
// The group of a registered class; empty when none.
std::wstring ClassGroupOf(const std::wstring& Name);

// ---------------------------------------------------------------------------
// Calls handed to the main thread. Synchronize waits for the call (and runs
// it at once on the main thread); Queue does not wait. The main thread runs
// pending calls in CheckSynchronize. WakeMainThread, when set, is called
// after a call was queued.

extern DWORD MainThreadID;
void Synchronize(std::function<void()> Method);
void Queue(std::function<void()> Method);
// Runs the pending calls on the main thread; true when any ran.
bool CheckSynchronize();
extern std::function<void()>& WakeMainThread;
