// Accessibility objects of views and item viewers (IAccessible), created
// only when a client asks and the accessibility library is present.
#pragma once

#include <string>

#include <windows.h>

#include <oleacc.h>

class TTfView;
class TTfItemViewer;

// Reference-counted base; the IDispatch part answers E_NOTIMPL.
class TTfBaseAccObject : public IAccessible {
public:
  TTfBaseAccObject() = default;
  TTfBaseAccObject(const TTfBaseAccObject&) = delete;
  TTfBaseAccObject& operator=(const TTfBaseAccObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** Info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;
  // Forgets the view or viewer; afterwards every call answers E_FAIL.
  virtual void Detach() = 0;

protected:
  virtual ~TTfBaseAccObject() = default;

private:
  volatile LONG FRefCount = 1;
};

// Linked into the global registry for the whole of its life.
class TTfCustomAccObject : public TTfBaseAccObject {
public:
  TTfCustomAccObject();

protected:
  ~TTfCustomAccObject() override;

private:
  friend struct TfAccRegistry;
  TTfCustomAccObject* FPrev = nullptr;
  TTfCustomAccObject* FNext = nullptr;
};

class TTfViewAccObject : public TTfCustomAccObject {
public:
  explicit TTfViewAccObject(TTfView* View);
  void Detach() override;
  TTfView* View() const { return FView; }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** Parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* Count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT Child, IDispatch** Disp) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT Child, BSTR* Name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT Child, BSTR* Value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT Child, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT Child, VARIANT* Role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT Child, VARIANT* State) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT Child, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* File, VARIANT Child, LONG* Topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT Child, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* Child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* Children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT Child, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG Flags, VARIANT Child) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* Left, LONG* Top, LONG* Width, LONG* Height,
                                        VARIANT Child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG Dir, VARIANT Start, VARIANT* End) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG X, LONG Y, VARIANT* Child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT Child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT Child, BSTR Name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT Child, BSTR Value) override;

protected:
  ~TTfViewAccObject() override;

private:
  TTfView* volatile FView;
};

class TTfItemViewerAccObject : public TTfCustomAccObject {
public:
  explicit TTfItemViewerAccObject(TTfItemViewer* Viewer);
  void Detach() override;
  TTfItemViewer* Viewer() const { return FViewer; }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** Parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* Count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT Child, IDispatch** Disp) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT Child, BSTR* Name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT Child, BSTR* Value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT Child, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT Child, VARIANT* Role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT Child, VARIANT* State) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT Child, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* File, VARIANT Child, LONG* Topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT Child, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* Child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* Children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT Child, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG Flags, VARIANT Child) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* Left, LONG* Top, LONG* Width, LONG* Height,
                                        VARIANT Child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG Dir, VARIANT Start, VARIANT* End) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG X, LONG Y, VARIANT* Child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT Child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT Child, BSTR Name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT Child, BSTR Value) override;

protected:
  ~TTfItemViewerAccObject() override;

private:
  TTfItemViewer* volatile FViewer;
};

// Looks up NotifyWinEvent on first use; does nothing when it is absent.
void NotifyWinEventBinding(DWORD Event, HWND Wnd, LONG ObjectId, LONG ChildId);
// Loads the accessibility library on first use; true when both entry points exist.
bool AccessibilityAvailable();
// The standard object of a window (OBJID_WINDOW); Dispatch is cleared on failure.
HRESULT WindowAccObject(HWND Wnd, IDispatch** Dispatch);
// The keyboard's name of the Alt key ("Alt" when it has none).
std::wstring AltKeyName();

// Answers WM_GETOBJECT for a view's window; Handled is false when not answered.
LRESULT TfAccHandleGetObject(TTfView* View, WPARAM WParam, LPARAM LParam, bool& Handled);
// The view's or viewer's object, created on demand (null when the library is
// absent); the caller gets its own reference.
IAccessible* TfAccViewObject(TTfView* View);
IAccessible* TfAccViewerObject(TTfItemViewer* Viewer);
// The view or viewer is going away: its object answers every call with a failure.
void TfAccDetachView(TTfView* View);
void TfAccDetachViewer(TTfItemViewer* Viewer);
// Runs a viewer's deferred select (0) or execute (1), posted through the hidden window.
void TfAccDoDefaultActionDeferred(TTfItemViewer* Viewer, WPARAM Flag);
// Number of accessibility objects in the registry.
int TfAccObjectCount();
