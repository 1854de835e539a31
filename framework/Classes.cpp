#include "framework/Classes.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <cxxabi.h>
#include <cstdlib>
#include <typeinfo>

// ---------------------------------------------------------------------------
// Shift state

TShiftState KeyboardStateToShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (keyData & 0x20000000) s |= ssAlt;
  return s;
}

// ---------------------------------------------------------------------------
// TObject / TPersistent

std::wstring TObject::ClassName() const {
  const char* raw = typeid(*this).name();
  int status = 0;
  char* dem = abi::__cxa_demangle(raw, nullptr, nullptr, &status);
  std::string name = (status == 0 && dem) ? dem : raw;
  std::free(dem);
  auto colon = name.rfind("::");
  if (colon != std::string::npos) name = name.substr(colon + 2);
  return std::wstring(name.begin(), name.end());
}

void TPersistent::Assign(TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
  std::wstring sourceName = Source ? Source->ClassName() : L"nil";
  throw EConvertError(Format(L"Cannot assign a %s to a %s", {sourceName, ClassName()}));
}

// ---------------------------------------------------------------------------
// TList

void TList::Check(int i) const {
  if (i < 0 || i >= Count()) throw EListError(Format(L"List index out of bounds (%d)", {i}));
}
void* TList::Items(int i) const {
  Check(i);
  return FItems[i];
}
void TList::SetItems(int i, void* p) {
  Check(i);
  FItems[i] = p;
}
int TList::Add(void* p) {
  FItems.push_back(p);
  return Count() - 1;
}
void TList::Insert(int i, void* p) {
  if (i < 0 || i > Count()) throw EListError(Format(L"List index out of bounds (%d)", {i}));
  FItems.insert(FItems.begin() + i, p);
}
void TList::Delete(int i) {
  Check(i);
  FItems.erase(FItems.begin() + i);
}
int TList::Remove(void* p) {
  int i = IndexOf(p);
  if (i >= 0) Delete(i);
  return i;
}
int TList::IndexOf(void* p) const {
  auto it = std::find(FItems.begin(), FItems.end(), p);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}
void* TList::Extract(void* p) {
  return Remove(p) >= 0 ? p : nullptr;
}
void TList::Move(int from, int to) {
  if (from == to) return;
  void* p = Items(from);
  Delete(from);
  Insert(to, p);
}
void TList::Exchange(int a, int b) {
  Check(a);
  Check(b);
  std::swap(FItems[a], FItems[b]);
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) {
    if (AOwner->FComponentState & csLoading) FComponentState |= csLoading;
    if (AOwner->FComponentState & csDesigning) FComponentState |= csDesigning;
    AOwner->InsertComponent(this);
  }
}

void TComponent::SetParentComponent(TComponent*) {
  throw EInvalidOperation(L"The component " + FName + L" cannot have a parent");
}

TComponent::~TComponent() {
  Destroying();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (FDestroyingDone) return;
  FDestroyingDone = true;
  FComponentState |= csDestroying;
  for (TComponent* c : FComponents)
    c->FComponentState |= csDestroying;
  // Everyone who asked is told once; they may ask to be removed meanwhile.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& back = other->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    other->Notification(this, opRemove);
  }
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    RemoveComponent(c);
    delete c;
  }
}

void TComponent::SetName(const std::wstring& Value) {
  FName = Value;
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FComponents[Index];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& v = FOwner->FComponents;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

TComponent* TComponent::FindComponent(const std::wstring& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it == FComponents.end()) return;
  Notification(AComponent, opRemove);
  it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
  AComponent->FOwner = nullptr;
}

void TComponent::SetDesigning(bool Value) {
  SetComponentState(csDesigning, Value);
  for (TComponent* c : FComponents)
    c->SetDesigning(Value);
}

void TComponent::SetComponentState(TComponentState Flags, bool On) {
  if (On)
    FComponentState |= Flags;
  else
    FComponentState &= ~Flags;
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  // Both sides keep the link so that whichever goes first tells the other.
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
    FFreeNotifies.push_back(AComponent);
  auto& back = AComponent->FFreeNotifies;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                      FFreeNotifies.end());
  auto& back = AComponent->FFreeNotifies;
  back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
    // Copy: a notified component may free or insert others.
    std::vector<TComponent*> owned = FComponents;
    for (TComponent* c : owned)
      if (c != AComponent &&
          std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
        c->Notification(AComponent, Operation);
  }
}

void TComponent::Loaded() {
  FComponentState &= ~csLoading;
}

void TComponent::LoadedTree() {
  std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned)
    c->LoadedTree();
  if (FComponentState & csLoading) Loaded();
}

void TComponent::AfterConstruction() {
  LoadedTree();
}

// ---------------------------------------------------------------------------
// Collections

TCollectionItem::TCollectionItem(TCollection* Collection) {
  SetCollection(Collection);
}

TCollectionItem::~TCollectionItem() {
  SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& v = FCollection->FItems;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || Value < 0 || Value == cur) return;
  auto& v = FCollection->FItems;
  if (Value >= static_cast<int>(v.size())) Value = static_cast<int>(v.size()) - 1;
  v.erase(v.begin() + cur);
  v.insert(v.begin() + Value, this);
  Changed(true);
}

std::wstring TCollectionItem::DisplayName() const {
  return ClassName();
}

void TCollectionItem::SetDisplayName(const std::wstring&) {
  Changed(false);
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TPersistent* AOwner, TItemFactory Factory)
    : FOwner(AOwner), FFactory(std::move(Factory)) {}

TCollection::~TCollection() {
  FUpdateCount = 1;
  OnChange = nullptr;
  while (!FItems.empty())
    delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FItems[Index];
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* item = FFactory ? FFactory(this) : new TCollectionItem(this);
  if (item->FCollection != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  BeginUpdate();
  TCollectionItem* item = nullptr;
  TScopeGuard endUpdate([&] { EndUpdate(); });
  item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) {
  delete Items(Index);
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty())
    delete FItems.back();
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* i : FItems)
    if (i->FID == ID) return i;
  return nullptr;
}

void TCollection::BeginUpdate() {
  ++FUpdateCount;
}

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it != FItems.end()) FItems.erase(it);
  Item->FCollection = nullptr;
  Changed();
}

void TCollection::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TCollection*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  TScopeGuard endUpdate([&] { EndUpdate(); });
  while (!FItems.empty())
    delete FItems.back();
  for (TCollectionItem* i : src->FItems)
    Add()->Assign(i);
}

// ---------------------------------------------------------------------------
// Utility windows

const wchar_t* const UtilWindowClassName = L"KorvaneUtilWindow";
void (*HandleCallbackException)(TObject* Sender) = nullptr;

namespace {

LRESULT CALLBACK UtilWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!method || !*method) return DefWindowProcW(h, msg, w, l);
  TMessage m{msg, w, l, 0};
  try {
    (*method)(m);
  } catch (...) {
    if (HandleCallbackException) HandleCallbackException(nullptr);
  }
  return m.Result;
}

void RegisterUtilClass() {
  static bool done = false;
  if (done) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = UtilWndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = UtilWindowClassName;
  RegisterClassW(&wc);
  done = true;
}

} // namespace

HWND AllocateHWnd(TWndMethod Method) {
  RegisterUtilClass();
  HWND h = CreateWindowExW(WS_EX_TOOLWINDOW, UtilWindowClassName, L"", WS_POPUP, 0, 0, 0, 0,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!h) RaiseLastOSError();
  if (Method)
    SetWindowLongPtrW(h, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new TWndMethod(std::move(Method))));
  return h;
}

HWND AllocateMessageHWnd(TWndMethod Method) {
  RegisterUtilClass();
  HWND h = CreateWindowExW(0, UtilWindowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (!h) RaiseLastOSError();
  if (Method)
    SetWindowLongPtrW(h, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new TWndMethod(std::move(Method))));
  return h;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd || !IsWindow(Wnd)) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  SetWindowLongPtrW(Wnd, GWLP_USERDATA, 0);
  DestroyWindow(Wnd);
  delete method;
}

// ---------------------------------------------------------------------------
// Class registry

namespace {

// Kept for the whole run: unit exit hooks still use it during static destruction.
std::vector<TPersistentClassInfo>& ClassList() {
  static auto* list = new std::vector<TPersistentClassInfo>;
  return *list;
}

TPersistentClassInfo* FindClassEntry(const std::wstring& Name) {
  for (auto& c : ClassList())
    if (SameText(c.Name, Name)) return &c;
  return nullptr;
}

} // namespace

void RegisterClass(const std::wstring& Name, std::function<TPersistent*()> Create) {
  if (FindClassEntry(Name)) return;
  ClassList().push_back({Name, std::move(Create), {}});
}

void UnRegisterClass(const std::wstring& Name) {
  auto& list = ClassList();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const TPersistentClassInfo& c) { return SameText(c.Name, Name); }),
             list.end());
}

const TPersistentClassInfo* FindClass(const std::wstring& Name) {
  return FindClassEntry(Name);
}

void GroupDescendentsWith(const std::wstring& Name, const std::wstring& GroupClass) {
  if (!FindClassEntry(Name)) RegisterClass(Name);
  FindClassEntry(Name)->Group = GroupClass;
}

std::wstring ClassGroupOf(const std::wstring& Name) {
  auto* c = FindClassEntry(Name);
  return c ? c->Group : std::wstring();
}

// ---------------------------------------------------------------------------
// Synchronisation with the main thread

DWORD MainThreadID = GetCurrentThreadId();
std::function<void()>& WakeMainThread = *new std::function<void()>;

namespace {

struct TSyncCall {
  std::function<void()> Method;
  HANDLE Done = nullptr; // set when a waiting thread is to be released
  std::exception_ptr Error;
};

std::mutex& SyncLock() {
  static auto* m = new std::mutex;
  return *m;
}

std::deque<std::shared_ptr<TSyncCall>>& SyncQueue() {
  static auto* q = new std::deque<std::shared_ptr<TSyncCall>>;
  return *q;
}

void PushCall(const std::shared_ptr<TSyncCall>& call) {
  {
    std::lock_guard<std::mutex> g(SyncLock());
    SyncQueue().push_back(call);
  }
  if (WakeMainThread) WakeMainThread();
}

} // namespace

void Synchronize(std::function<void()> Method) {
  if (GetCurrentThreadId() == MainThreadID) {
    Method();
    return;
  }
  auto call = std::make_shared<TSyncCall>();
  call->Method = std::move(Method);
  call->Done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  PushCall(call);
  WaitForSingleObject(call->Done, INFINITE);
  CloseHandle(call->Done);
  if (call->Error) std::rethrow_exception(call->Error);
}

void Queue(std::function<void()> Method) {
  auto call = std::make_shared<TSyncCall>();
  call->Method = std::move(Method);
  PushCall(call);
}

bool CheckSynchronize() {
  if (GetCurrentThreadId() != MainThreadID) return false;
  std::deque<std::shared_ptr<TSyncCall>> pending;
  {
    std::lock_guard<std::mutex> g(SyncLock());
    pending.swap(SyncQueue());
  }
  for (auto& call : pending) {
    if (call->Done) {
      try {
        call->Method();
      } catch (...) {
        call->Error = std::current_exception();
      }
      SetEvent(call->Done);
    } else {
      call->Method();
    }
  }
  return !pending.empty();
}
