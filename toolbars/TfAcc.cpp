#include "toolbars/TfAcc.h"

#include <vector>

#include "toolbars/TfCommon.h"
#include "toolbars/TfItem.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

// Reaches the object links that views and viewers keep.
struct TfAccAccess {
  static TTfBaseAccObject*& Of(TTfView* V) { return V->FAcc; }
  static TTfBaseAccObject*& Of(TTfItemViewer* R) { return R->FAcc; }
};

namespace {

using TLresultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using TAccessibleObjectFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

CRITICAL_SECTION gLock;
bool gLockReady = false;
TTfCustomAccObject* gHead = nullptr;
volatile LONG gViewObjects = 0;
volatile LONG gViewerObjects = 0;

volatile LONG gAccLooked = 0;
bool gAccAvailable = false;
TLresultFromObject gLresultFromObject = nullptr;
TAccessibleObjectFromWindow gAccessibleObjectFromWindow = nullptr;

bool gComInitialized = false;

class TLock {
public:
  TLock() : FHeld(gLockReady) {
    if (FHeld) EnterCriticalSection(&gLock);
  }
  ~TLock() {
    if (FHeld) LeaveCriticalSection(&gLock);
  }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;

private:
  bool FHeld;
};

template <class F> HRESULT Guarded(F Body) {
  try {
    return Body();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

bool IsSelf(const VARIANT& Child) {
  return Child.vt == VT_I4 && Child.lVal == CHILDID_SELF;
}

HRESULT StringResult(BSTR* Out, const std::wstring& Text) {
  *Out = SysAllocStringLen(Text.data(), static_cast<UINT>(Text.size()));
  return *Out ? S_OK : E_OUTOFMEMORY;
}

void SetDispatch(VARIANT* Out, IDispatch* Disp) {
  Out->vt = VT_DISPATCH;
  Out->pdispVal = Disp;
}

HWND ViewWnd(TTfView* V) {
  TWinControl* w = V->Window();
  return w && w->HandleAllocated() ? w->Handle() : nullptr;
}

std::vector<TTfItemViewer*> AccessibleViewers(TTfView* V) {
  std::vector<TTfItemViewer*> list;
  for (int i = 0; i < V->ViewerCount(); ++i)
    if (V->Viewers(i)->IsListedForAccessibility()) list.push_back(V->Viewers(i));
  return list;
}

bool ShownOrClipped(TTfItemViewer* R) {
  return R->Shown || R->ScrolledOut;
}

bool ViewFocusable(TTfView* V) {
  HWND w = ViewWnd(V);
  if (!w || (V->Window()->ComponentState() & csDesigning) || !IsWindowVisible(w)) return false;
  for (HWND h = w; h; h = GetParent(h))
    if (!IsWindowEnabled(h)) return false;
  if (V->State() & vwTracking) return true;
  HWND active = GetActiveWindow();
  return active && (active == w || IsChild(active, w));
}

bool CanExecute(TTfItemViewer* R) {
  TTfCustomItem* it = R->Item();
  return R->IsListedForAccessibility() && it->Enabled() && (it->Traits() & itSelectable) &&
         ViewFocusable(R->View());
}

std::wstring CaptionOf(TTfItemViewer* R) {
  std::wstring c;
  R->CaptionText(c);
  return c;
}

// The object a client sees for a viewer: a hosted window's own object or
// the viewer's object.
HRESULT ChildObjectOf(TTfItemViewer* R, IDispatch** Out) {
  if (auto* ci = dynamic_cast<TTfControlItem*>(R->Item()))
    if (auto* wc = dynamic_cast<TWinControl*>(ci->Control()))
      if (wc->HandleAllocated()) return WindowAccObject(wc->Handle(), Out);
  *Out = TfAccViewerObject(R);
  return *Out ? S_OK : E_FAIL;
}

HRESULT ViewerVariant(TTfItemViewer* R, VARIANT* Out) {
  IAccessible* a = TfAccViewerObject(R);
  if (!a) return E_FAIL;
  SetDispatch(Out, a);
  return S_OK;
}

class TAccUnit {
public:
  TAccUnit() {
    InitializeCriticalSection(&gLock);
    gLockReady = true;
    // Only a program sets up COM for its main thread; a library leaves that to its host.
    if (reinterpret_cast<HMODULE>(&__ImageBase) == GetModuleHandleW(nullptr)) {
      HRESULT hr = CoInitialize(nullptr);
      gComInitialized = hr == S_OK || hr == S_FALSE;
    }
  }
  ~TAccUnit() {
    std::vector<TTfCustomAccObject*> live;
    {
      TLock lock;
      for (TTfCustomAccObject* o = gHead; o; o = TfAccRegistryPrev(o)) {
        o->AddRef();
        live.push_back(o);
      }
    }
    for (TTfCustomAccObject* o : live) {
      CoDisconnectObject(o, 0);
      o->Release();
    }
    if (gComInitialized) CoUninitialize();
    gLockReady = false;
    DeleteCriticalSection(&gLock);
  }
  static TTfCustomAccObject* TfAccRegistryPrev(TTfCustomAccObject* O);
};

} // namespace

struct TfAccRegistry {
  static void Link(TTfCustomAccObject* O) {
    TLock lock;
    O->FPrev = gHead;
    O->FNext = nullptr;
    if (gHead) gHead->FNext = O;
    gHead = O;
  }
  static void Unlink(TTfCustomAccObject* O) {
    TLock lock;
    if (O->FPrev) O->FPrev->FNext = O->FNext;
    if (O->FNext) O->FNext->FPrev = O->FPrev;
    if (gHead == O) gHead = O->FPrev;
    O->FPrev = O->FNext = nullptr;
  }
  static TTfCustomAccObject* Prev(TTfCustomAccObject* O) { return O->FPrev; }
};

TTfCustomAccObject* TAccUnit::TfAccRegistryPrev(TTfCustomAccObject* O) {
  return TfAccRegistry::Prev(O);
}

namespace {
TAccUnit gUnit;
} // namespace

// ---------------------------------------------------------------------------
// Run-time bindings

void NotifyWinEventBinding(DWORD Event, HWND Wnd, LONG ObjectId, LONG ChildId) {
  TfNotifyWinEvent(Event, Wnd, ObjectId, ChildId);
}

static void* ProcOf(HMODULE Lib, const char* Name) {
  return reinterpret_cast<void*>(GetProcAddress(Lib, Name));
}

bool AccessibilityAvailable() {
  if (InterlockedCompareExchange(&gAccLooked, 0, 0)) return gAccAvailable;
  UINT old = SetErrorMode(0x8000 | SEM_FAILCRITICALERRORS);
  HMODULE lib = LoadLibraryW(L"oleacc.dll");
  SetErrorMode(old);
  if (lib) {
    gLresultFromObject = reinterpret_cast<TLresultFromObject>(ProcOf(lib, "LresultFromObject"));
    gAccessibleObjectFromWindow =
        reinterpret_cast<TAccessibleObjectFromWindow>(ProcOf(lib, "AccessibleObjectFromWindow"));
  }
  gAccAvailable = gLresultFromObject && gAccessibleObjectFromWindow;
  InterlockedExchange(&gAccLooked, 1);
  return gAccAvailable;
}

HRESULT WindowAccObject(HWND Wnd, IDispatch** Dispatch) {
  *Dispatch = nullptr;
  if (!AccessibilityAvailable()) return E_FAIL;
  HRESULT hr = gAccessibleObjectFromWindow(Wnd, OBJID_WINDOW, IID_IDispatch,
                                           reinterpret_cast<void**>(Dispatch));
  if (FAILED(hr)) *Dispatch = nullptr;
  return hr;
}

std::wstring AltKeyName() {
  UINT scan = MapVirtualKeyW(VK_MENU, 0);
  wchar_t buf[256] = {};
  if (scan == 0 || GetKeyNameTextW(static_cast<LONG>(scan << 16), buf, 256) <= 0 || !buf[0])
    return L"Alt";
  return buf;
}

// ---------------------------------------------------------------------------
// Base objects

HRESULT STDMETHODCALLTYPE TTfBaseAccObject::QueryInterface(REFIID Riid, void** Obj) {
  if (!Obj) return E_POINTER;
  if (IsEqualIID(Riid, IID_IUnknown) || IsEqualIID(Riid, IID_IDispatch) ||
      IsEqualIID(Riid, __uuidof(IAccessible))) {
    *Obj = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *Obj = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TTfBaseAccObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&FRefCount));
}

ULONG STDMETHODCALLTYPE TTfBaseAccObject::Release() {
  LONG n = InterlockedDecrement(&FRefCount);
  if (n == 0) delete this;
  return static_cast<ULONG>(n);
}

HRESULT STDMETHODCALLTYPE TTfBaseAccObject::GetTypeInfoCount(UINT* Count) {
  if (Count) *Count = 0;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TTfBaseAccObject::GetTypeInfo(UINT, LCID, ITypeInfo** Info) {
  if (Info) *Info = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TTfBaseAccObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TTfBaseAccObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*,
                                                   VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

TTfCustomAccObject::TTfCustomAccObject() {
  TfAccRegistry::Link(this);
}

TTfCustomAccObject::~TTfCustomAccObject() {
  TfAccRegistry::Unlink(this);
}

// ---------------------------------------------------------------------------
// View objects

TTfViewAccObject::TTfViewAccObject(TTfView* View) : FView(View) {
  InterlockedIncrement(&gViewObjects);
}

TTfViewAccObject::~TTfViewAccObject() {
  InterlockedDecrement(&gViewObjects);
  if (TTfView* v = FView)
    if (TfAccAccess::Of(v) == this) TfAccAccess::Of(v) = nullptr;
}

void TTfViewAccObject::Detach() {
  FView = nullptr;
}

#define ACC_OUT(P)                                                                                 \
  if (!(P)) return E_POINTER
#define ACC_VIEW()                                                                                 \
  TTfView* V = FView;                                                                              \
  if (!V) return E_FAIL
#define ACC_SELF(C)                                                                                \
  if (!IsSelf(C)) return E_INVALIDARG

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accParent(IDispatch** Parent) {
  ACC_OUT(Parent);
  *Parent = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    if (TTfView* pv = V->ParentView())
      if (TTfItemViewer* ov = pv->OpenViewer()) {
        *Parent = TfAccViewerObject(ov);
        return *Parent ? S_OK : E_FAIL;
      }
    return WindowAccObject(ViewWnd(V), Parent);
  });
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accChildCount(LONG* Count) {
  ACC_OUT(Count);
  *Count = 0;
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    *Count = static_cast<LONG>(AccessibleViewers(V).size());
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accChild(VARIANT Child, IDispatch** Disp) {
  ACC_OUT(Disp);
  *Disp = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    if (Child.vt != VT_I4) return E_INVALIDARG;
    if (Child.lVal == CHILDID_SELF) {
      AddRef();
      *Disp = this;
      return S_OK;
    }
    auto list = AccessibleViewers(V);
    if (Child.lVal < 1 || static_cast<size_t>(Child.lVal) > list.size()) return E_INVALIDARG;
    return ChildObjectOf(list[static_cast<size_t>(Child.lVal) - 1], Disp);
  });
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accName(VARIANT Child, BSTR* Name) {
  ACC_OUT(Name);
  *Name = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    ACC_SELF(Child);
    std::wstring s;
    if (TTfView* pv = V->ParentView())
      if (TTfItemViewer* ov = pv->OpenViewer()) s = StripAccelMarks(CaptionOf(ov));
    if (s.empty()) {
      if (HWND w = ViewWnd(V)) {
        int n = GetWindowTextLengthW(w);
        std::wstring t(static_cast<size_t>(n) + 1, L'\0');
        t.resize(static_cast<size_t>(GetWindowTextW(w, t.data(), n + 1)));
        s = t;
      }
    }
    return StringResult(Name, s);
  });
}

#define ACC_VIEW_EMPTY_BSTR(NAME)                                                                  \
  HRESULT STDMETHODCALLTYPE TTfViewAccObject::NAME(VARIANT Child, BSTR* Text) {                    \
    ACC_OUT(Text);                                                                                 \
    *Text = nullptr;                                                                               \
    ACC_VIEW();                                                                                    \
    ACC_SELF(Child);                                                                               \
    return S_FALSE;                                                                                \
  }
ACC_VIEW_EMPTY_BSTR(get_accValue)
ACC_VIEW_EMPTY_BSTR(get_accDescription)
ACC_VIEW_EMPTY_BSTR(get_accHelp)
ACC_VIEW_EMPTY_BSTR(get_accDefaultAction)

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accHelpTopic(BSTR* File, VARIANT Child,
                                                             LONG* Topic) {
  ACC_OUT(File);
  ACC_OUT(Topic);
  *File = nullptr;
  *Topic = 0;
  ACC_VIEW();
  ACC_SELF(Child);
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accRole(VARIANT Child, VARIANT* Role) {
  ACC_OUT(Role);
  VariantInit(Role);
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    ACC_SELF(Child);
    Role->vt = VT_I4;
    Role->lVal = V->IsPopup()                ? ROLE_SYSTEM_MENUPOPUP
                 : (V->Style() & styMenuBar) ? ROLE_SYSTEM_MENUBAR
                                             : ROLE_SYSTEM_TOOLBAR;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accState(VARIANT Child, VARIANT* State) {
  ACC_OUT(State);
  VariantInit(State);
  ACC_VIEW();
  ACC_SELF(Child);
  State->vt = VT_I4;
  State->lVal = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accKeyboardShortcut(VARIANT Child, BSTR* Text) {
  ACC_OUT(Text);
  *Text = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    ACC_SELF(Child);
    if (V->Style() & styMenuBar) return StringResult(Text, AltKeyName());
    return S_FALSE;
  });
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accFocus(VARIANT* Child) {
  ACC_OUT(Child);
  VariantInit(Child);
  ACC_VIEW();
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::get_accSelection(VARIANT* Children) {
  ACC_OUT(Children);
  VariantInit(Children);
  ACC_VIEW();
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::accSelect(LONG, VARIANT Child) {
  ACC_VIEW();
  ACC_SELF(Child);
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::accLocation(LONG* Left, LONG* Top, LONG* Width,
                                                        LONG* Height, VARIANT Child) {
  ACC_OUT(Left);
  ACC_OUT(Top);
  ACC_OUT(Width);
  ACC_OUT(Height);
  *Left = *Top = *Width = *Height = 0;
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    ACC_SELF(Child);
    RECT r{};
    HWND w = ViewWnd(V);
    if (!w || !GetWindowRect(w, &r)) return E_FAIL;
    *Left = r.left, *Top = r.top, *Width = r.right - r.left, *Height = r.bottom - r.top;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::accNavigate(LONG Dir, VARIANT Start, VARIANT* End) {
  ACC_OUT(End);
  VariantInit(End);
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    ACC_SELF(Start);
    if (Dir != NAVDIR_FIRSTCHILD && Dir != NAVDIR_LASTCHILD) return S_FALSE;
    auto list = AccessibleViewers(V);
    if (list.empty()) return S_FALSE;
    return ViewerVariant(Dir == NAVDIR_FIRSTCHILD ? list.front() : list.back(), End);
  });
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::accHitTest(LONG X, LONG Y, VARIANT* Child) {
  ACC_OUT(Child);
  VariantInit(Child);
  return Guarded([&]() -> HRESULT {
    ACC_VIEW();
    HWND w = ViewWnd(V);
    RECT r{};
    POINT p{X, Y};
    if (!w || !GetWindowRect(w, &r) || !PtInRect(&r, p)) return S_FALSE;
    ScreenToClient(w, &p);
    HWND c = ChildWindowFromPointEx(w, p, CWP_SKIPINVISIBLE);
    if (c && c != w) {
      IDispatch* d = nullptr;
      HRESULT hr = WindowAccObject(c, &d);
      if (FAILED(hr)) return hr;
      SetDispatch(Child, d);
      return S_OK;
    }
    if (TTfItemViewer* R = V->ViewerAt(TPoint(p.x, p.y))) return ViewerVariant(R, Child);
    Child->vt = VT_I4;
    Child->lVal = CHILDID_SELF;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::accDoDefaultAction(VARIANT Child) {
  ACC_VIEW();
  ACC_SELF(Child);
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::put_accName(VARIANT Child, BSTR) {
  ACC_VIEW();
  ACC_SELF(Child);
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TTfViewAccObject::put_accValue(VARIANT Child, BSTR) {
  ACC_VIEW();
  ACC_SELF(Child);
  return S_FALSE;
}

// ---------------------------------------------------------------------------
// Viewer objects

TTfItemViewerAccObject::TTfItemViewerAccObject(TTfItemViewer* Viewer) : FViewer(Viewer) {
  InterlockedIncrement(&gViewerObjects);
}

TTfItemViewerAccObject::~TTfItemViewerAccObject() {
  InterlockedDecrement(&gViewerObjects);
  if (TTfItemViewer* r = FViewer)
    if (TfAccAccess::Of(r) == this) TfAccAccess::Of(r) = nullptr;
}

void TTfItemViewerAccObject::Detach() {
  FViewer = nullptr;
}

#define ACC_VIEWER()                                                                               \
  TTfItemViewer* R = FViewer;                                                                      \
  if (!R) return E_FAIL;                                                                           \
  TTfView* V = R->View();                                                                          \
  (void)V

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accParent(IDispatch** Parent) {
  ACC_OUT(Parent);
  *Parent = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    *Parent = TfAccViewObject(V);
    return *Parent ? S_OK : E_FAIL;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accChildCount(LONG* Count) {
  ACC_OUT(Count);
  *Count = 0;
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    *Count = V->OpenViewer() == R ? 1 : 0;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accChild(VARIANT Child, IDispatch** Disp) {
  ACC_OUT(Disp);
  *Disp = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    if (Child.vt != VT_I4) return E_INVALIDARG;
    if (Child.lVal == CHILDID_SELF) {
      AddRef();
      *Disp = this;
      return S_OK;
    }
    if (Child.lVal == 1 && V->OpenViewer() == R && V->OpenView()) {
      *Disp = TfAccViewObject(V->OpenView());
      return *Disp ? S_OK : E_FAIL;
    }
    return E_INVALIDARG;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accName(VARIANT Child, BSTR* Name) {
  ACC_OUT(Name);
  *Name = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Child);
    std::wstring s = StripAccelMarks(CaptionOf(R));
    if (!V->IsToolbar() && !(R->Item()->ResolvedOptions() & tfoToolbarStyle)) {
      std::wstring sc = R->Item()->ShortCutText();
      if (!sc.empty()) s += L'\t' + sc;
    }
    return StringResult(Name, s);
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accValue(VARIANT Child, BSTR* Value) {
  ACC_OUT(Value);
  *Value = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Child);
    std::wstring s;
    if (!R->AccValue(s)) return S_FALSE;
    return StringResult(Value, s);
  });
}

#define ACC_VIEWER_EMPTY_BSTR(NAME)                                                                \
  HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::NAME(VARIANT Child, BSTR* Text) {              \
    ACC_OUT(Text);                                                                                 \
    *Text = nullptr;                                                                               \
    if (!FViewer) return E_FAIL;                                                                   \
    ACC_SELF(Child);                                                                               \
    return S_FALSE;                                                                                \
  }
ACC_VIEWER_EMPTY_BSTR(get_accDescription)
ACC_VIEWER_EMPTY_BSTR(get_accHelp)

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accHelpTopic(BSTR* File, VARIANT Child,
                                                                   LONG* Topic) {
  ACC_OUT(File);
  ACC_OUT(Topic);
  *File = nullptr;
  *Topic = 0;
  if (!FViewer) return E_FAIL;
  ACC_SELF(Child);
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accRole(VARIANT Child, VARIANT* Role) {
  ACC_OUT(Role);
  VariantInit(Role);
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Child);
    Role->vt = VT_I4;
    Role->lVal = R->AccRole();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accState(VARIANT Child, VARIANT* State) {
  ACC_OUT(State);
  VariantInit(State);
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Child);
    TTfCustomItem* it = R->Item();
    LONG s = 0;
    if (V->Selected() == R) {
      s |= STATE_SYSTEM_HOTTRACKED;
      if (V->State() & vwTracking) s |= STATE_SYSTEM_FOCUSED;
      if (V->MouseCaptured() && V->MouseInside()) s |= STATE_SYSTEM_PRESSED;
    }
    if (it->Traits() & itHasSubmenu) s |= STATE_SYSTEM_HASPOPUP;
    if (ShownOrClipped(R)) {
      if (ViewFocusable(V)) s |= STATE_SYSTEM_FOCUSABLE;
    } else {
      s |= STATE_SYSTEM_INVISIBLE;
    }
    if (!it->Enabled() || !(it->Traits() & itSelectable)) s |= STATE_SYSTEM_UNAVAILABLE;
    if (it->Checked()) s |= STATE_SYSTEM_CHECKED;
    State->vt = VT_I4;
    State->lVal = s;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accKeyboardShortcut(VARIANT Child,
                                                                          BSTR* Text) {
  ACC_OUT(Text);
  *Text = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Child);
    if (!R->CaptionShown()) return S_FALSE;
    wchar_t ch = AccelCharOf(CaptionOf(R));
    if (!ch) return S_FALSE;
    std::wstring key(1, LowerChar(ch));
    return StringResult(Text, V->IsPopup() ? key : AltKeyName() + L"+" + key);
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accDefaultAction(VARIANT Child, BSTR* Text) {
  ACC_OUT(Text);
  *Text = nullptr;
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Child);
    if (!CanExecute(R)) return S_FALSE;
    const wchar_t* s = V->OpenViewer() == R                          ? L"Close"
                       : (R->Item()->Traits() & itHasSubmenu)        ? L"Open"
                       : (V->IsPopup() || (V->Style() & styMenuBar)) ? L"Execute"
                                                                     : L"Press";
    return StringResult(Text, s);
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accFocus(VARIANT* Child) {
  ACC_OUT(Child);
  VariantInit(Child);
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    if ((V->State() & vwTracking) && V->Selected() == R) {
      Child->vt = VT_I4;
      Child->lVal = CHILDID_SELF;
      return S_OK;
    }
    return S_FALSE;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::get_accSelection(VARIANT* Children) {
  ACC_OUT(Children);
  VariantInit(Children);
  if (!FViewer) return E_FAIL;
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::accSelect(LONG Flags, VARIANT Child) {
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    if (Flags != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
    ACC_SELF(Child);
    if (!ViewFocusable(V) || !ShownOrClipped(R)) return E_FAIL;
    V->Select(R);
    V->ScrollSelectedIntoView();
    if (!(V->State() & vwTracking) && !V->ParentView()) R->PostAccAction(0);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::accLocation(LONG* Left, LONG* Top, LONG* Width,
                                                              LONG* Height, VARIANT Child) {
  ACC_OUT(Left);
  ACC_OUT(Top);
  ACC_OUT(Width);
  ACC_OUT(Height);
  *Left = *Top = *Width = *Height = 0;
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Child);
    HWND w = ViewWnd(V);
    if (!w) return E_FAIL;
    POINT p{R->BoundsRect.Left, R->BoundsRect.Top};
    ClientToScreen(w, &p);
    *Left = p.x, *Top = p.y;
    *Width = R->BoundsRect.Width(), *Height = R->BoundsRect.Height();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::accNavigate(LONG Dir, VARIANT Start,
                                                              VARIANT* End) {
  ACC_OUT(End);
  VariantInit(End);
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Start);
    switch (Dir) {
    case NAVDIR_FIRSTCHILD:
    case NAVDIR_LASTCHILD:
      if (V->OpenViewer() == R && V->OpenView()) {
        IAccessible* a = TfAccViewObject(V->OpenView());
        if (!a) return E_FAIL;
        SetDispatch(End, a);
        return S_OK;
      }
      return S_FALSE;
    case NAVDIR_UP:
    case NAVDIR_LEFT:
    case NAVDIR_PREVIOUS:
      for (int i = V->IndexOfViewer(R) - 1; i >= 0; --i)
        if (V->Viewers(i)->IsListedForAccessibility()) return ViewerVariant(V->Viewers(i), End);
      return S_FALSE;
    case NAVDIR_DOWN:
    case NAVDIR_RIGHT:
    case NAVDIR_NEXT: {
      int i = V->IndexOfViewer(R);
      if (i < 0) return S_FALSE;
      for (++i; i < V->ViewerCount(); ++i)
        if (V->Viewers(i)->IsListedForAccessibility()) return ViewerVariant(V->Viewers(i), End);
      return S_FALSE;
    }
    default:
      return S_FALSE;
    }
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::accHitTest(LONG X, LONG Y, VARIANT* Child) {
  ACC_OUT(Child);
  VariantInit(Child);
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    HWND w = ViewWnd(V);
    if (!w) return S_FALSE;
    POINT p{X, Y};
    ScreenToClient(w, &p);
    const TRect& b = R->BoundsRect;
    if (p.x < b.Left || p.x >= b.Right || p.y < b.Top || p.y >= b.Bottom) return S_FALSE;
    Child->vt = VT_I4;
    Child->lVal = CHILDID_SELF;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::accDoDefaultAction(VARIANT Child) {
  return Guarded([&]() -> HRESULT {
    ACC_VIEWER();
    ACC_SELF(Child);
    if (!CanExecute(R)) return E_FAIL;
    if (V->OpenViewer() == R) {
      V->CloseChildAndStop();
      if ((V->State() & vwTracking) && !V->IsPopup()) V->SetCancelResult();
      return S_OK;
    }
    V->Select(R);
    V->ScrollSelectedIntoView();
    R->PostAccAction(1);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::put_accName(VARIANT Child, BSTR) {
  if (!FViewer) return E_FAIL;
  ACC_SELF(Child);
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TTfItemViewerAccObject::put_accValue(VARIANT Child, BSTR) {
  if (!FViewer) return E_FAIL;
  ACC_SELF(Child);
  return S_FALSE;
}

// ---------------------------------------------------------------------------
// Views and viewers

IAccessible* TfAccViewObject(TTfView* View) {
  if (!View || !AccessibilityAvailable()) return nullptr;
  TTfBaseAccObject*& slot = TfAccAccess::Of(View);
  if (!slot) slot = new TTfViewAccObject(View); // the view's own reference
  slot->AddRef();
  return slot;
}

IAccessible* TfAccViewerObject(TTfItemViewer* Viewer) {
  if (!Viewer || !AccessibilityAvailable()) return nullptr;
  TTfBaseAccObject*& slot = TfAccAccess::Of(Viewer);
  if (!slot) slot = new TTfItemViewerAccObject(Viewer); // the viewer's own reference
  slot->AddRef();
  return slot;
}

LRESULT TfAccHandleGetObject(TTfView* View, WPARAM WParam, LPARAM LParam, bool& Handled) {
  Handled = false;
  if (!View || static_cast<LONG>(LParam) != OBJID_CLIENT || !AccessibilityAvailable()) return 0;
  IAccessible* a = TfAccViewObject(View);
  if (!a) return 0;
  LRESULT r = gLresultFromObject(__uuidof(IAccessible), WParam, a);
  a->Release();
  Handled = true;
  return r;
}

static void DetachSlot(TTfBaseAccObject*& Slot) {
  TTfBaseAccObject* o = Slot;
  if (!o) return;
  Slot = nullptr;
  o->Detach();
  o->Release();
}

void TfAccDetachView(TTfView* View) {
  if (View) DetachSlot(TfAccAccess::Of(View));
}

void TfAccDetachViewer(TTfItemViewer* Viewer) {
  if (Viewer) DetachSlot(TfAccAccess::Of(Viewer));
}

void TfAccDoDefaultActionDeferred(TTfItemViewer* Viewer, WPARAM Flag) {
  if (!Viewer || !TfAccAccess::Of(Viewer)) return;
  bool execute = Flag == 1;
  TTfView* V = Viewer->View();
  if (execute ? !CanExecute(Viewer) : !ViewFocusable(V)) return;
  V->Select(Viewer);
  V->ScrollSelectedIntoView();
  if (V->State() & vwTracking) {
    if (execute) V->ExecuteSelected(false);
  } else if (!V->ParentView() && !GetCapture()) {
    V->EnterToolbarLoop(execute ? toExecuteSelected | toNoMarkUsed : toNoMarkUsed);
  }
}

int TfAccObjectCount() {
  TLock lock;
  int n = 0;
  for (TTfCustomAccObject* o = gHead; o; o = TfAccRegistry::Prev(o))
    ++n;
  return n;
}
