#include "framework/Controls.h"

#include <algorithm>
#include <cstdlib>
#include <commctrl.h>

#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "framework/Menus.h"

namespace {

const wchar_t* const kControlProp = L"KorvaneControl";
thread_local TWinControl* CreationControl = nullptr;
TControl* CaptureControlPtr = nullptr;
TControl* MouseControlPtr = nullptr;
// A dialog key that was used: its character message is dropped.
thread_local WPARAM SwallowChar = 0;
int NextControlID = 1000;
void CancelDockDragOf(TControl* Control);

bool IsMouseMsg(UINT m) {
  return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST && m != WM_MOUSEWHEEL;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

void SetMouseControlTo(TControl* Target) {
  if (Target == MouseControlPtr) return;
  TControl* old = MouseControlPtr;
  MouseControlPtr = Target;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (Target && Target == MouseControlPtr)
    Target->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Target));
  if (Application) Application->MouseControlChanged(MouseControlPtr);
}

} // namespace

TWinControl* FindControl(HWND Handle) {
  if (!Handle) return nullptr;
  // Another program built on this library marks its windows the same way;
  // its pointers mean nothing here.
  DWORD process = 0;
  GetWindowThreadProcessId(Handle, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  return static_cast<TWinControl*>(GetPropW(Handle, kControlProp));
}

TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->Parent())
    Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}

TControl* GetCaptureControl() {
  return CaptureControlPtr;
}

void SetCaptureControl(TControl* Control) {
  CaptureControlPtr = nullptr;
  if (!Control) {
    ReleaseCapture();
    return;
  }
  auto* win = dynamic_cast<TWinControl*>(Control);
  if (win) {
    SetCapture(win->Handle());
    return;
  }
  if (Control->Parent()) {
    SetCapture(Control->Parent()->Handle());
    CaptureControlPtr = Control;
  }
}

TControl* MouseControl() {
  return MouseControlPtr;
}

void UpdateMouseControl() {
  if (GetCapture()) return;
  POINT p;
  if (!GetCursorPos(&p)) return;
  TWinControl* c = FindControl(WindowFromPoint(p));
  TControl* target = c;
  if (c) {
    TControl* child = c->ControlAtPos(c->ScreenToClient(p), false);
    if (child) target = child;
  }
  SetMouseControlTo(target);
}

// ---------------------------------------------------------------------------
// TControlCanvas

TControlCanvas::~TControlCanvas() {
  FreeHandle();
}

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle() {
  if (!FDC) return;
  SetHandle(nullptr);
  ReleaseDC(FWnd, FDC);
  FDC = nullptr;
  FWnd = nullptr;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  if (auto* w = dynamic_cast<TWinControl*>(FControl)) {
    FWnd = w->Handle();
    FDC = GetDCEx(FWnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  } else if (FControl->Parent()) {
    FWnd = FControl->Parent()->Handle();
    FDC = GetDCEx(FWnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    SetViewportOrgEx(FDC, FControl->Left(), FControl->Top(), nullptr);
    IntersectClipRect(FDC, 0, 0, FControl->Width(), FControl->Height());
  }
  if (FDC) SetHandle(FDC);
}

// ---------------------------------------------------------------------------
// TControl

void TSizeConstraints::Change(int& Field, int Value) {
  if (Value < 0) Value = 0;
  if (Field == Value) return;
  Field = Value;
  if (OnChange) OnChange(this);
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
  if (FMaxWidth > 0 && Width > FMaxWidth) Width = FMaxWidth;
  if (Width < FMinWidth) Width = FMinWidth;
  if (FMaxHeight > 0 && Height > FMaxHeight) Height = FMaxHeight;
  if (Height < FMinHeight) Height = FMinHeight;
}

void TSizeConstraints::Assign(TPersistent* Source) {
  auto* c = dynamic_cast<TSizeConstraints*>(Source);
  if (!c) {
    TPersistent::Assign(Source);
    return;
  }
  FMinWidth = c->FMinWidth;
  FMaxWidth = c->FMaxWidth;
  FMinHeight = c->FMinHeight;
  FMaxHeight = c->FMaxHeight;
  if (OnChange) OnChange(this);
}

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(new TFont), FConstraints(new TSizeConstraints) {
  FFont->OnChange = [this](TObject* s) { FontChanged(s); };
  FConstraints->OnChange = [this](TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); };
  WindowProc = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl() {
  Destroying();
  DestroyComponents();
  if (Application) Application->ControlDestroyed(this);
  if (CaptureControlPtr == this) CaptureControlPtr = nullptr;
  if (MouseControlPtr == this) MouseControlPtr = nullptr;
  FActionLink.reset();
  if (FParent) FParent->RemoveControl(this);
  CancelDockDragOf(this);
  if (FFloatForm) {
    TWinControl* f = FFloatForm;
    FFloatForm = nullptr;
    delete f;
  }
}

TComponent* TControl::GetParentComponent() const {
  return FParent;
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) throw EInvalidOperation(L"A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::RememberAnchors() {
  if (!FParent) return;
  FAnchorBase = BoundsRect();
  TRect pr = FParent->ClientRect();
  FAnchorParentSize = {pr.Width(), pr.Height()};
  FAnchorsKnown = true;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FConstraints->Apply(AWidth, AHeight);
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  InvalidateControl(Visible(), false);
  bool resized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  InvalidateControl(Visible(), false);
  if (FParent && !FParent->FAligning) RememberAnchors();
  RequestAlign();
  if (resized) Resize();
}

TRect TControl::ClientRect() {
  return TRect(0, 0, FWidth, FHeight);
}

void TControl::SetClientSize(int W, int H) {
  TRect r = ClientRect();
  SetBounds(FLeft, FTop, FWidth - r.Width() + W, FHeight - r.Height() + H);
}
void TControl::SetClientWidth(int Value) {
  SetClientSize(Value, ClientHeight());
}
void TControl::SetClientHeight(int Value) {
  SetClientSize(ClientWidth(), Value);
}

TPoint TControl::ClientOrigin() {
  if (!FParent) return TPoint(FLeft, FTop);
  TPoint p = FParent->ClientOrigin();
  return TPoint(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(const TPoint& P) {
  TPoint o = ClientOrigin();
  return TPoint(P.X + o.X, P.Y + o.Y);
}

TPoint TControl::ScreenToClient(const TPoint& P) {
  TPoint o = ClientOrigin();
  return TPoint(P.X - o.X, P.Y - o.Y);
}

void TControl::SetAlign(TAlign Value) {
  if (Value == FAlign) return;
  FAlign = Value;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (Value == FAnchors) return;
  FAnchors = Value;
  RememberAnchors();
}

void TControl::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) {
  return false;
}

void TControl::AdjustSize() {
  if (!FAutoSize || (ComponentState() & csLoading)) return;
  int w = FWidth, h = FHeight;
  if (CanAutoSize(w, h)) SetBounds(FLeft, FTop, w, h);
}

void TControl::RequestAlign() {
  if (FParent && (FAlign != alNone || FParent->ControlCount() > 0)) FParent->Realign();
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

bool TControl::Showing() const {
  return FVisible && FParent && FParent->Showing();
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetText(const std::wstring& Value) {
  if (Value == FText) return;
  FText = Value;
  Perform(CM_TEXTCHANGED, 0, 0);
  // The grabber of a docked control shows its text.
  if (FHostDockSite) FHostDockSite->Invalidate();
}

void TControl::SetColor(TColor Value) {
  if (Value == FColor) {
    FParentColor = false;
    return;
  }
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  if (Value && FParent) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (Value && FParent) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
  FParentShowHint = false;
  if (Value == FShowHint) return;
  FShowHint = Value;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == FParentShowHint) return;
  FParentShowHint = Value;
  if (Value && FParent) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

TBasicAction* TControl::Action() const {
  return FActionLink ? FActionLink->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    if (FActionLink && FActionLink->Action()) FActionLink->Action()->RemoveFreeNotification(this);
    FActionLink.reset();
    FControlStyle &= ~csActionClient;
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TControlActionLink>(this);
  FActionLink->SetAction(Value);
  FControlStyle |= csActionClient;
  ActionChange(Value, (ComponentState() & csLoading) != 0);
  Value->FreeNotification(this);
}

void TControl::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || Caption().empty()) SetCaption(a->Caption());
  if (!CheckDefaults || Enabled()) SetEnabled(a->Enabled());
  if (!CheckDefaults || Hint().empty()) SetHint(a->Hint());
  if (!CheckDefaults || Visible()) SetVisible(a->Visible());
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (FActionLink && AComponent == FActionLink->Action()) {
    FActionLink.reset();
    FControlStyle &= ~csActionClient;
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  RememberAnchors();
  if (FAutoSize) AdjustSize();
}

bool TControl::MouseCapture() const {
  if (auto* w = dynamic_cast<const TWinControl*>(this))
    return w->HandleAllocated() && GetCapture() == const_cast<TWinControl*>(w)->Handle();
  return CaptureControlPtr == this;
}

void TControl::SetMouseCapture(bool Value) {
  if (Value == MouseCapture()) return;
  SetCaptureControl(Value ? this : nullptr);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN ||
      Message.Msg == WM_MBUTTONDOWN || Message.Msg == WM_KEYDOWN) {
    if (Application) Application->CancelHint();
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
  case WM_LBUTTONDOWN:
    WMLButtonDown(m);
    break;
  case WM_LBUTTONUP:
    WMLButtonUp(m);
    break;
  case WM_LBUTTONDBLCLK:
    WMLButtonDblClk(m);
    break;
  case WM_RBUTTONDOWN:
    WMRButtonDown(m);
    break;
  case WM_RBUTTONUP:
    WMRButtonUp(m);
    break;
  case WM_RBUTTONDBLCLK:
    WMRButtonDblClk(m);
    break;
  case WM_MBUTTONDOWN:
    WMMButtonDown(m);
    break;
  case WM_MBUTTONUP:
    WMMButtonUp(m);
    break;
  case WM_MBUTTONDBLCLK:
    WMMButtonDblClk(m);
    break;
  case WM_MOUSEMOVE:
    WMMouseMove(m);
    break;
  case WM_CONTEXTMENU:
    WMContextMenu(m);
    break;
  case WM_CANCELMODE:
    WMCancelMode(m);
    break;
  case CM_MOUSEENTER:
    CMMouseEnter(m);
    break;
  case CM_MOUSELEAVE:
    CMMouseLeave(m);
    break;
  case CM_ENABLEDCHANGED:
    CMEnabledChanged(m);
    break;
  case CM_PARENTENABLEDCHANGED:
    Invalidate();
    break;
  case CM_VISIBLECHANGED:
    CMVisibleChanged(m);
    break;
  case CM_COLORCHANGED:
    CMColorChanged(m);
    break;
  case CM_PARENTCOLORCHANGED:
    CMParentColorChanged(m);
    break;
  case CM_FONTCHANGED:
    CMFontChanged(m);
    break;
  case CM_PARENTFONTCHANGED:
    CMParentFontChanged(m);
    break;
  case CM_TEXTCHANGED:
    CMTextChanged(m);
    break;
  case CM_SHOWHINTCHANGED:
    CMShowHintChanged(m);
    break;
  case CM_PARENTSHOWHINTCHANGED:
    CMParentShowHintChanged(m);
    break;
  case CM_HINTSHOW:
    CMHintShow(m);
    break;
  case CM_HITTEST:
    CMHitTest(m);
    break;
  case CM_MOUSEWHEEL:
    CMMouseWheel(m);
    break;
  case CM_SYSCOLORCHANGE:
    CMSysColorChange(m);
    break;
  case CM_BIDIMODECHANGED:
    CMBiDiModeChanged(m);
    break;
  case CM_PARENTBIDIMODECHANGED:
    CMParentBiDiModeChanged(m);
    break;
  default:
    DefaultHandler(m);
    break;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
  case WM_GETTEXTLENGTH:
    Message.Result = static_cast<LRESULT>(FText.size());
    break;
  default:
    break;
  }
}

void TControl::SendCancelMode(TControl* Sender) {
  if (TCustomForm* f = GetParentForm(this)) f->SendCancelMode(Sender);
}

void TControl::DoMouseDown(TMessage& m, TMouseButton Button, TShiftState Shift) {
  MouseDown(Button, KeysToShiftState(m.WParam) | Shift, m.XPos(), m.YPos());
}

void TControl::DoMouseUp(TMessage& m, TMouseButton Button) {
  MouseUp(Button, KeysToShiftState(m.WParam), m.XPos(), m.YPos());
}

void TControl::WMLButtonDown(TMessage& m) {
  if (FDragMode == dmAutomatic && FDragKind == dkDock && !(ComponentState() & csDesigning)) {
    BeginDrag(false);
    return;
  }
  SendCancelMode(this);
  DefaultHandler(m);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
  if (FControlStyle & csClickEvents) FControlState |= csClicked;
  DoMouseDown(m, mbLeft, 0);
}

void TControl::WMLButtonUp(TMessage& m) {
  DefaultHandler(m);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
  if (FControlState & csClicked) {
    FControlState &= ~csClicked;
    if (ClientRect().Contains(TPoint(m.XPos(), m.YPos()))) Click();
  }
  DoMouseUp(m, mbLeft);
}

void TControl::WMLButtonDblClk(TMessage& m) {
  SendCancelMode(this);
  DefaultHandler(m);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
  if (FControlStyle & csClickEvents) DblClick();
  DoMouseDown(m, mbLeft, ssDouble);
}

void TControl::WMRButtonDown(TMessage& m) {
  DefaultHandler(m);
  DoMouseDown(m, mbRight, 0);
}
void TControl::WMRButtonUp(TMessage& m) {
  DefaultHandler(m);
  DoMouseUp(m, mbRight);
}
void TControl::WMRButtonDblClk(TMessage& m) {
  DefaultHandler(m);
  DoMouseDown(m, mbRight, ssDouble);
}
void TControl::WMMButtonDown(TMessage& m) {
  DefaultHandler(m);
  DoMouseDown(m, mbMiddle, 0);
}
void TControl::WMMButtonUp(TMessage& m) {
  DefaultHandler(m);
  DoMouseUp(m, mbMiddle);
}
void TControl::WMMButtonDblClk(TMessage& m) {
  DefaultHandler(m);
  DoMouseDown(m, mbMiddle, ssDouble);
}

void TControl::WMMouseMove(TMessage& m) {
  DefaultHandler(m);
  MouseMove(KeysToShiftState(m.WParam), m.XPos(), m.YPos());
}

void TControl::WMContextMenu(TMessage& m) {
  TPoint pos(m.XPos(), m.YPos());
  bool handled = false;
  TPoint client = (pos.X == -1 && pos.Y == -1) ? TPoint(-1, -1) : ScreenToClient(pos);
  DoContextPopup(client, handled);
  if (handled) {
    m.Result = 1;
    return;
  }
  if (FPopupMenu && FPopupMenu->AutoPopup()) {
    if (pos.X == -1 && pos.Y == -1) pos = ClientToScreen(TPoint(0, 0));
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(pos.X, pos.Y);
    m.Result = 1;
    return;
  }
  DefaultHandler(m);
}

void TControl::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMCancelMode(TMessage& m) {
  DefaultHandler(m);
  if (MouseCapture()) {
    SetMouseCapture(false);
    FControlState &= ~csClicked;
  }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Click() {
  if (OnClick && FActionLink) {
    OnClick(this);
  } else if (FActionLink && !(ComponentState() & csDesigning)) {
    FActionLink->Execute(this);
  } else if (OnClick) {
    OnClick(this);
  }
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}

void TControl::CMMouseWheel(TMessage& m) {
  TShiftState shift = KeysToShiftState(LOWORD(m.WParam));
  int delta = static_cast<short>(HIWORD(m.WParam));
  if (DoMouseWheel(shift, delta, TPoint(m.XPos(), m.YPos())))
    m.Result = 1;
  else if (FParent)
    m.Result = FParent->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
}

void TControl::CMMouseEnter(TMessage& m) {
  if ((m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(this)) && OnMouseEnter)
    OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& m) {
  if ((m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(this)) && OnMouseLeave)
    OnMouseLeave(this);
}

void TControl::CMEnabledChanged(TMessage&) {
  Invalidate();
}
void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(true, false);
}
void TControl::CMColorChanged(TMessage&) {
  Invalidate();
}
void TControl::CMFontChanged(TMessage&) {
  Invalidate();
}
void TControl::CMTextChanged(TMessage&) {
  Invalidate();
}
void TControl::CMShowHintChanged(TMessage&) {}
void TControl::CMHintShow(TMessage&) {}
void TControl::CMSysColorChange(TMessage&) {
  Invalidate();
}

void TControl::CMHitTest(TMessage& m) {
  m.Result = HTCLIENT;
}

void TControl::CMParentColorChanged(TMessage& m) {
  if (!FParentColor) return;
  TColor c = m.WParam ? static_cast<TColor>(m.LParam) : (FParent ? FParent->Color() : FColor);
  if (c != FColor) {
    FColor = c;
    Perform(CM_COLORCHANGED, 0, 0);
  }
}

void TControl::CMParentFontChanged(TMessage&) {
  if (!FParentFont || !FParent) return;
  FFont->Assign(FParent->Font());
  FParentFont = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent) return;
  if (FShowHint != FParent->ShowHint()) {
    FShowHint = FParent->ShowHint();
    Perform(CM_SHOWHINTCHANGED, 0, 0);
  }
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  if (dynamic_cast<TWinControl*>(this)) return;
  RECT r = BoundsRect();
  InvalidateRect(FParent->Handle(), &r, !IsOpaque);
}

void TControl::Invalidate() {
  InvalidateControl(FVisible, (FControlStyle & csOpaque) != 0);
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  Invalidate();
  UpdateWindow(FParent->Handle());
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& v = FParent->FControls;
  auto it = std::find(v.begin(), v.end(), this);
  if (it == v.end()) return;
  v.erase(it);
  if (TopMost)
    v.push_back(this);
  else
    v.insert(v.begin(), this);
  Invalidate();
}

void TControl::BringToFront() {
  SetZOrder(true);
}
void TControl::SendToBack() {
  SetZOrder(false);
}

void TControl::UpdateBoundsRect(const TRect& R) {
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
}

// ---------------------------------------------------------------------------
// Window procedure

LRESULT CALLBACK ControlWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWinControl* c = FindControl(Wnd);
  if (!c) {
    c = CreationControl;
    if (!c) return DefWindowProcW(Wnd, Msg, WParam, LParam);
    CreationControl = nullptr;
    c->FHandle = Wnd;
    SetPropW(Wnd, kControlProp, c);
  }
  if (c->ComponentState() & csDestroying) {
    // The object is being taken down: only the window's own procedure runs.
    LRESULT r = CallWindowProcW(c->FDefWndProc, Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY) {
      RemovePropW(Wnd, kControlProp);
      c->FHandle = nullptr;
    }
    return r;
  }
  TMessage m{Msg, WParam, LParam, 0};
  c->MainWndProc(m);
  return m.Result;
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    WindowProc(Message);
  } catch (...) {
    if (HandleCallbackException) HandleCallbackException(this);
  }
}

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(new TBrush) {
  FBrush->SetColor(Color());
}

TWinControl::~TWinControl() {
  Destroying();
  FDockManager.reset();
  DestroyComponents();
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    RemoveControl(c);
    delete c;
  }
  if (Application) Application->ControlDestroyed(this);
  if (FParent) FParent->RemoveControl(this);
  DestroyHandle();
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = FText;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle & csAcceptsControls) p.Style |= WS_CLIPCHILDREN;
  if (Visible()) p.Style |= WS_VISIBLE;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (FTabStop) p.Style |= WS_TABSTOP;
  if (UseRightToLeftReading()) p.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftScrollBar()) p.ExStyle |= WS_EX_LEFTSCROLLBAR;
  if (UseRightToLeftAlignment() && GetControlsAlignment() == taLeftJustify)
    p.ExStyle |= WS_EX_RIGHT;
  p.X = FLeft;
  p.Y = FTop;
  p.Width = FWidth;
  p.Height = FHeight;
  p.WndParent = FParent ? FParent->FHandle : FParentWindow;
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = DefWindowProcW;
  p.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  p.WindowClass.hbrBackground = nullptr;
  p.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const wchar_t* ControlClassName) {
  static bool commonInit = false;
  if (!commonInit) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFFFF};
    InitCommonControlsEx(&icc);
    commonInit = true;
  }
  WNDCLASSW wc{};
  if (!GetClassInfoW(nullptr, ControlClassName, &wc) &&
      !GetClassInfoW(GetModuleHandleW(nullptr), ControlClassName, &wc))
    throw EOSError(Format(L"Window class %s is not registered", {std::wstring(ControlClassName)}));
  Params.WindowClass = wc;
  Params.WindowClass.style &= ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS);
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && !p.WndParent)
    throw EInvalidOperation(Format(L"Control '%s' has no parent window", {Name()}));
  FDefWndProc = p.WindowClass.lpfnWndProc ? p.WindowClass.lpfnWndProc : DefWindowProcW;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW existing{};
  if (!GetClassInfoW(inst, p.WinClassName.c_str(), &existing)) {
    WNDCLASSW wc = p.WindowClass;
    wc.lpfnWndProc = ControlWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = p.WinClassName.c_str();
    if (!RegisterClassW(&wc)) RaiseLastOSError();
  }
  CreationControl = this;
  {
    TScopeGuard restore([&] { CreationControl = nullptr; });
    CreateWindowHandle(p);
  }
  if (!FHandle) RaiseLastOSError();
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlID++))
                                  : nullptr;
  HWND h = CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y,
                           p.Width, p.Height, p.WndParent, id, GetModuleHandleW(nullptr), p.Param);
  if (h) FHandle = h;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  FControlState |= csCreating;
  {
    TScopeGuard restore([&] { FControlState &= ~csCreating; });
    CreateWnd();
  }
  // Stack order follows the control list: below the next windowed sibling.
  if (FParent) {
    HWND above = HWND_TOP;
    auto& v = FParent->FControls;
    auto it = std::find(v.begin(), v.end(), this);
    for (++it; it != v.end() && it >= v.begin(); ++it) {
      auto* w = dynamic_cast<TWinControl*>(*it);
      if (w && w->FHandle) {
        above = w->FHandle;
        break;
      }
    }
    SetWindowPos(FHandle, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (FDefWndProc != DefWindowProcW)
    SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  UpdateBounds();
  std::vector<TControl*> children = FControls;
  for (TControl* c : children)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
  AlignNow();
}

void TWinControl::DestroyWnd() {
  if (FHandle && (FControlStyle & csSetCaption)) {
    int n = GetWindowTextLengthW(FHandle);
    std::wstring s(n + 1, L'\0');
    GetWindowTextW(FHandle, s.data(), n + 1);
    s.resize(n);
    FText = s;
  }
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  if (FHandle) {
    FControlState |= csDestroyingHandle;
    DestroyWindow(FHandle);
    FControlState &= ~csDestroyingHandle;
  }
  if (FHandle) RemovePropW(FHandle, kControlProp);
  FHandle = nullptr;
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  UpdateShowing();
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || Value == FParentWindow) return;
  FParentWindow = Value;
  if (FHandle) {
    if (Value)
      ::SetParent(FHandle, Value);
    else
      DestroyHandle();
  }
  UpdateShowing();
}

void TWinControl::UpdateShowing() {
  if (ComponentState() & csDestroying) return;
  bool parentReady = FParent ? FParent->FHandle != nullptr : FParentWindow != nullptr;
  bool show = Visible() && parentReady && ShowingAllowed();
  if (show) {
    if (!FHandle) {
      CreateHandle();
    } else if (!IsWindowVisible(FHandle)) {
      ShowWindow(FHandle, SW_SHOWNOACTIVATE);
      Perform(CM_SHOWINGCHANGED, 0, 0);
    }
  } else if (FHandle && (GetWindowLongW(FHandle, GWL_STYLE) & WS_VISIBLE)) {
    ShowWindow(FHandle, SW_HIDE);
    Perform(CM_SHOWINGCHANGED, 0, 0);
  }
}

bool TWinControl::Showing() const {
  return FHandle && IsWindowVisible(FHandle);
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  HWND keep = FHandle;
  TControl::SetParent(AParent);
  if (keep && FHandle) {
    if (AParent) {
      // Moves the window as it is: no new handle.
      ::SetParent(FHandle, AParent->Handle());
      SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (!FParentWindow) {
      DestroyHandle();
    }
  }
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FControls[Index];
}

void TWinControl::InsertControl(TControl* AControl) {
  AControl->FParent = this;
  FControls.push_back(AControl);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) FTabList.push_back(w);
  AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
  AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
  AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
  AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (FHandle) w->UpdateShowing();
  } else {
    AControl->Invalidate();
  }
  AControl->RememberAnchors();
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  if (AControl->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
  auto it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it == FControls.end()) return;
  if (!(ComponentState() & csDestroying))
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  AControl->InvalidateControl(AControl->Visible(), false);
  it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it != FControls.end()) FControls.erase(it);
  auto t = std::find(FTabList.begin(), FTabList.end(), AControl);
  if (t != FTabList.end()) FTabList.erase(t);
  if (CaptureControlPtr == AControl) CaptureControlPtr = nullptr;
  if (AControl->FHostDockSite == this) DockClientRemove(AControl);
  AControl->FParent = nullptr;
  if (TCustomForm* f = GetParentForm(this)) f->ControlRemoved(AControl);
  if (AControl->Align() != alNone && !(ComponentState() & csDestroying)) Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this)
    Control = Control->Parent();
  return Control == this;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    bool win = dynamic_cast<TWinControl*>(c) != nullptr;
    if (win && !AllowWinControls) continue;
    if (!c->Visible() || (!c->Enabled() && !AllowDisabled)) continue;
    if (!c->BoundsRect().Contains(Pos)) continue;
    TPoint local(Pos.X - c->Left(), Pos.Y - c->Top());
    if (c->Perform(CM_HITTEST, 0, MAKELPARAM(local.X, local.Y)) == 0) continue;
    return c;
  }
  return nullptr;
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  AlignNow();
}

void TWinControl::AlignNow() {
  if (FAlignLevel > 0 || FAligning) {
    FControlState |= csAlignmentNeeded;
    return;
  }
  FControlState &= ~csAlignmentNeeded;
  TRect r = ClientRect();
  FAligning = true;
  TScopeGuard restore([&] { FAligning = false; });
  AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  AdjustClientRect(Rect);
  auto place = [&](TAlign a) {
    std::vector<TControl*> list;
    for (TControl* c : FControls)
      if (c->Align() == a && c->Visible()) list.push_back(c);
    std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
      switch (a) {
      case alTop:
        return x->Top() < y->Top();
      case alBottom:
        return x->Top() + x->Height() > y->Top() + y->Height();
      case alLeft:
        return x->Left() < y->Left();
      case alRight:
        return x->Left() + x->Width() > y->Left() + y->Width();
      default:
        return false;
      }
    });
    for (TControl* c : list) {
      switch (a) {
      case alTop:
        c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->Height());
        Rect.Top += c->Height();
        break;
      case alBottom:
        c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), Rect.Width(), c->Height());
        Rect.Bottom -= c->Height();
        break;
      case alLeft:
        c->SetBounds(Rect.Left, Rect.Top, c->Width(), Rect.Height());
        Rect.Left += c->Width();
        break;
      case alRight:
        c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), Rect.Height());
        Rect.Right -= c->Width();
        break;
      case alClient:
        c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
        break;
      default:
        break;
      }
    }
  };
  place(alTop);
  place(alBottom);
  place(alLeft);
  place(alRight);
  place(alClient);
  if (FDockSite && FUseDockManager && FDockManager) FDockManager->ResetBounds(false);
  // Anchored controls keep their distances to the anchored sides.
  if (ComponentState() & csLoading) return;
  TRect client = ClientRect();
  for (TControl* c : FControls) {
    if (c->Align() != alNone || !c->FAnchorsKnown || c->Anchors() == (akLeft | akTop)) continue;
    TRect b = c->FAnchorBase;
    int dw = client.Width() - c->FAnchorParentSize.cx;
    int dh = client.Height() - c->FAnchorParentSize.cy;
    int l = b.Left, t = b.Top, w = b.Width(), h = b.Height();
    TAnchors a = c->Anchors();
    if (a & akRight) {
      if (a & akLeft)
        w += dw;
      else
        l += dw;
    } else if (!(a & akLeft)) {
      l += dw / 2;
    }
    if (a & akBottom) {
      if (a & akTop)
        h += dh;
      else
        t += dh;
    } else if (!(a & akTop)) {
      t += dh / 2;
    }
    c->SetBounds(l, t, w, h);
  }
}

void TWinControl::SetTabStop(bool Value) {
  if (Value == FTabStop) return;
  FTabStop = Value;
  if (FHandle) {
    LONG_PTR s = GetWindowLongPtrW(FHandle, GWL_STYLE);
    SetWindowLongPtrW(FHandle, GWL_STYLE, Value ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& v = FParent->FTabList;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!FParent) return;
  auto& v = FParent->FTabList;
  auto it = std::find(v.begin(), v.end(), this);
  if (it == v.end()) return;
  v.erase(it);
  if (Value < 0 || Value > static_cast<int>(v.size())) Value = static_cast<int>(v.size());
  v.insert(v.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

bool TWinControl::CanFocus() const {
  const TControl* c = this;
  while (c) {
    if (!c->Visible() || !c->Enabled()) return false;
    if (!c->Parent()) break;
    c = c->Parent();
  }
  return dynamic_cast<const TCustomForm*>(c) != nullptr || FParentWindow != nullptr;
}

bool TWinControl::Focused() const {
  return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  if (form && form != this) {
    form->FocusControl(this);
  } else if (form) {
    form->SetActiveControl(nullptr);
    ::SetFocus(Handle());
  } else {
    ::SetFocus(Handle());
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward,
                                          bool CheckTabStop, bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == CurControl) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[i];
    if (c == CurControl) break;
    if ((!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this) && c->CanFocus())
      return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, false);
  if (c) c->SetFocus();
}

void TWinControl::SetCtl3D(bool Value) {
  if (Value == FCtl3D) return;
  FCtl3D = Value;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  Constraints()->Apply(AWidth, AHeight);
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  bool resized = AWidth != FWidth || AHeight != FHeight;
  if (FHandle && !IsIconic(FHandle)) {
    FInSetBounds = true;
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    FInSetBounds = false;
  }
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FParent && !FParent->FAligning) RememberAnchors();
  if (resized) AlignNow();
  RequestAlign();
  if (resized) Resize();
}

void TWinControl::UpdateBounds() {
  if (!FHandle || IsIconic(FHandle)) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  HWND parent = GetParent(FHandle);
  if ((GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD) && parent)
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  int w = r.right - r.left, h = r.bottom - r.top;
  bool resized = w != FWidth || h != FHeight;
  bool moved = r.left != FLeft || r.top != FTop;
  if (!resized && !moved) return;
  FLeft = r.left;
  FTop = r.top;
  FWidth = w;
  FHeight = h;
  if (FInSetBounds) return;
  if (FParent && !FParent->FAligning) RememberAnchors();
  if (resized) {
    AlignNow();
    Resize();
  }
}

TRect TWinControl::ClientRect() {
  if (FHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    return r;
  }
  return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() {
  if (FHandle) {
    POINT p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !(FControlStyle & csOpaque));
}

void TWinControl::Repaint() {
  if (!FHandle) return;
  Invalidate();
  UpdateWindow(FHandle);
}

void TWinControl::SetZOrder(bool TopMost) {
  TControl::SetZOrder(TopMost);
  if (FHandle)
    SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!FHandle) {
    TControl::DefaultHandler(m);
    return;
  }
  if (m.Msg >= CM_BASE && m.Msg <= 0xBFFF) {
    // The framework's own messages mean nothing to the window class.
    if (m.Msg >= CN_BASE && m.Msg < CN_BASE + WM_USER) {
      TMessage plain{m.Msg - CN_BASE, m.WParam, m.LParam, 0};
      if (plain.Msg >= WM_CTLCOLORMSGBOX && plain.Msg <= WM_CTLCOLORSTATIC) {
        CNCtlColor(m);
        return;
      }
    }
    return;
  }
  m.Result = CallWindowProcW(FDefWndProc, FHandle, m.Msg, m.WParam, m.LParam);
}

void TWinControl::WndProc(TMessage& m) {
  if (IsMouseMsg(m.Msg)) {
    if (m.Msg == WM_MOUSEMOVE) {
      TControl* child = nullptr;
      if (!CaptureControlPtr) child = ControlAtPos(TPoint(m.XPos(), m.YPos()), false);
      SetMouseControlTo(child ? child : this);
      if (Application) Application->HintCursorMoved();
      TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, FHandle, 0};
      if (FHandle) TrackMouseEvent(&tme);
    }
    if (IsControlMouseMsg(m)) return;
  } else if (m.Msg == WM_MOUSELEAVE) {
    if (MouseControlPtr == this || (MouseControlPtr && MouseControlPtr->Parent() == this &&
                                    !dynamic_cast<TWinControl*>(MouseControlPtr))) {
      POINT p;
      GetCursorPos(&p);
      HWND under = WindowFromPoint(p);
      if (under != FHandle) SetMouseControlTo(FindControl(under));
    }
  }
  TControl::WndProc(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* target = nullptr;
  if (FHandle && GetCapture() == FHandle) {
    if (CaptureControlPtr && CaptureControlPtr->Parent() == this) target = CaptureControlPtr;
  } else {
    target = ControlAtPos(TPoint(m.XPos(), m.YPos()), false);
  }
  if (!target) return false;
  int x = m.XPos() - target->Left(), y = m.YPos() - target->Top();
  m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(x, y));
  return true;
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
  case WM_SYSCOMMAND:
    if (SysCommandToApp(m)) return;
    TControl::Dispatch(m);
    break;
  case WM_PAINT:
    WMPaint(m);
    break;
  case WM_ERASEBKGND:
    WMEraseBkgnd(m);
    break;
  case WM_SIZE:
    WMSize(m);
    break;
  case WM_MOVE:
    WMMove(m);
    break;
  case WM_WINDOWPOSCHANGED:
    WMWindowPosChanged(m);
    break;
  case WM_SETFOCUS:
    WMSetFocus(m);
    break;
  case WM_KILLFOCUS:
    WMKillFocus(m);
    break;
  case WM_KEYDOWN:
    WMKeyDown(m);
    break;
  case WM_KEYUP:
    WMKeyUp(m);
    break;
  case WM_CHAR:
    WMChar(m);
    break;
  case WM_SYSKEYDOWN:
    WMSysKeyDown(m);
    break;
  case WM_SYSCHAR:
    WMSysChar(m);
    break;
  case WM_SETCURSOR:
    WMSetCursor(m);
    break;
  case WM_COMMAND:
    WMCommand(m);
    break;
  case WM_NOTIFY:
    WMNotify(m);
    break;
  case WM_DRAWITEM:
    WMDrawItem(m);
    break;
  case WM_MEASUREITEM:
    WMMeasureItem(m);
    break;
  case WM_CTLCOLORMSGBOX:
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORLISTBOX:
  case WM_CTLCOLORBTN:
  case WM_CTLCOLORDLG:
  case WM_CTLCOLORSCROLLBAR:
  case WM_CTLCOLORSTATIC:
    WMCtlColor(m);
    break;
  case WM_HSCROLL:
  case WM_VSCROLL:
    WMScroll(m);
    break;
  case WM_MOUSEWHEEL:
    WMMouseWheel(m);
    break;
  case WM_DESTROY:
    WMDestroy(m);
    break;
  case WM_NCDESTROY:
    WMNCDestroy(m);
    break;
  case CM_ENTER:
    CMEnter(m);
    break;
  case CM_EXIT:
    CMExit(m);
    break;
  case CM_DIALOGKEY:
    CMDialogKey(m);
    break;
  case CM_DIALOGCHAR:
    CMDialogChar(m);
    break;
  case CM_FOCUSCHANGED:
    CMFocusChanged(m);
    break;
  case CM_SHOWINGCHANGED:
    CMShowingChanged(m);
    break;
  default:
    TControl::Dispatch(m);
    break;
  }
}

void TWinControl::PaintWindow(HDC DC) {
  if (FDefWndProc == DefWindowProcW) return;
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t start = 0;
  if (First) {
    auto it = std::find(FControls.begin(), FControls.end(), First);
    if (it != FControls.end()) start = it - FControls.begin();
  }
  std::vector<TControl*> list(FControls.begin() + start, FControls.end());
  for (TControl* c : list) {
    if (dynamic_cast<TWinControl*>(c)) continue;
    if (!c->Visible() && !(c->ComponentState() & csDesigning)) continue;
    RECT r = c->BoundsRect();
    if (!RectVisible(DC, &r)) continue;
    int saved = SaveDC(DC);
    POINT org;
    GetViewportOrgEx(DC, &org);
    SetViewportOrgEx(DC, org.x + c->Left(), org.y + c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
  }
}

void TWinControl::PaintClientTo(HDC DC) {
  int saved = SaveDC(DC);
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  PaintHandler(m);
  RestoreDC(DC, saved);
}

void TWinControl::PaintHandler(TMessage& m) {
  PAINTSTRUCT ps;
  HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(FHandle, &ps);
  TScopeGuard restore([&] {
    if (!m.WParam) EndPaint(FHandle, &ps);
  });
  if (FDoubleBuffered && !m.WParam) {
    RECT cr;
    GetClientRect(FHandle, &cr);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, cr.right, cr.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    ::FillRect(mem, &cr, FBrush->Handle());
    PaintWindow(mem);
    PaintControls(mem, nullptr);
    if (FDockSite && FUseDockManager && FDockManager) FDockManager->PaintSite(mem);
    BitBlt(dc, 0, 0, cr.right, cr.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
  } else {
    PaintWindow(dc);
    PaintControls(dc, nullptr);
    if (FDockSite && FUseDockManager && FDockManager) FDockManager->PaintSite(dc);
  }
}

void TWinControl::WMPaint(TMessage& m) {
  bool graphicChildren = false;
  for (TControl* c : FControls)
    if (!dynamic_cast<TWinControl*>(c)) graphicChildren = true;
  if (FDefWndProc != DefWindowProcW && !graphicChildren && !FDoubleBuffered) {
    DefaultHandler(m);
    return;
  }
  PaintHandler(m);
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  if (FDefWndProc != DefWindowProcW) {
    DefaultHandler(m);
    return;
  }
  if (!(FControlStyle & csOpaque) && !FDoubleBuffered) {
    RECT r;
    GetClientRect(FHandle, &r);
    ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, FBrush->Handle());
  }
  m.Result = 1;
}

void TWinControl::WMSize(TMessage& m) {
  DefaultHandler(m);
  UpdateBounds();
}

void TWinControl::WMMove(TMessage& m) {
  DefaultHandler(m);
  UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);
  UpdateBounds();
}

void TWinControl::WMSetFocus(TMessage& m) {
  if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(this);
  DefaultHandler(m);
}

void TWinControl::WMKillFocus(TMessage& m) {
  DefaultHandler(m);
}

bool TWinControl::WantsKey(WORD Key, LPARAM KeyData) {
  LRESULT mask = 0;
  switch (Key) {
  case VK_TAB:
    mask = DLGC_WANTTAB;
    break;
  case VK_LEFT:
  case VK_RIGHT:
  case VK_UP:
  case VK_DOWN:
    mask = DLGC_WANTARROWS;
    break;
  case VK_RETURN:
  case VK_EXECUTE:
  case VK_ESCAPE:
  case VK_CANCEL:
    mask = DLGC_WANTALLKEYS;
    break;
  default:
    return true;
  }
  if (Perform(CM_WANTSPECIALKEY, Key, KeyData) != 0) return true;
  return (Perform(WM_GETDLGCODE, 0, 0) & mask) != 0;
}

bool TWinControl::SysCommandToApp(TMessage& m) {
  // SC_KEYMENU of a form other than the main form goes to the application
  // (LParam: the key; space and '-' open the window's own system menu).
  if ((m.WParam & 0xFFF0) != SC_KEYMENU || m.LParam == VK_SPACE || m.LParam == L'-') return false;
  if (!FHandle || IsIconic(FHandle) || GetCapture()) return false;
  if (Application && static_cast<TControl*>(Application->MainForm()) == this) return false;
  TCustomForm* form = GetParentForm(this);
  if (!form || static_cast<TControl*>(form) != this) return false;
  if (form->Perform(CM_APPSYSCOMMAND, 0, reinterpret_cast<LPARAM>(&m)) == 0) return false;
  m.Result = 0;
  return true;
}

void TWinControl::WMKeyDown(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  TShiftState shift = KeyDataToShiftState(m.LParam);
  TCustomForm* form = GetParentForm(this);
  SwallowChar = 0;
  if (IsMenuKey(this, m)) {
    SwallowChar = MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (!SwallowChar) SwallowChar = static_cast<WPARAM>(-1);
    m.Result = 0;
    return;
  }
  if (!(shift & (ssAlt | ssCtrl)) && !WantsKey(key, m.LParam) && form &&
      form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) {
    SwallowChar = key == VK_RETURN ? L'\r' : key == VK_ESCAPE ? 27 : key == VK_TAB ? L'\t' : 0;
    m.Result = 0;
    return;
  }
  if (form && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyDown(key, shift);
    if (key == 0) return;
  }
  KeyDown(key, shift);
  if (key == 0) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  TShiftState shift = KeyDataToShiftState(m.LParam);
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyUp(key, shift);
    if (key == 0) return;
  }
  KeyUp(key, shift);
  if (key == 0) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  if (SwallowChar &&
      (SwallowChar == static_cast<WPARAM>(-1) || SwallowChar == m.WParam || (m.WParam < 32))) {
    SwallowChar = 0;
    return;
  }
  SwallowChar = 0;
  wchar_t ch = static_cast<wchar_t>(m.WParam);
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyPress(ch);
    if (ch == 0) return;
  }
  KeyPress(ch);
  if (ch == 0) return;
  m.WParam = ch;
  DefaultHandler(m);
}

void TWinControl::WMSysKeyDown(TMessage& m) {
  TCustomForm* form = GetParentForm(this);
  if (IsMenuKey(this, m)) {
    SwallowChar = static_cast<WPARAM>(-1);
    m.Result = 0;
    return;
  }
  WORD key = static_cast<WORD>(m.WParam);
  TShiftState shift = KeyDataToShiftState(m.LParam);
  if (form && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyDown(key, shift);
    if (key == 0) return;
  }
  KeyDown(key, shift);
  if (key == 0) return;
  DefaultHandler(m);
}

void TWinControl::WMSysChar(TMessage& m) {
  if (SwallowChar) {
    SwallowChar = 0;
    return;
  }
  TCustomForm* form = GetParentForm(this);
  if (form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) return;
  DefaultHandler(m);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(wchar_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (reinterpret_cast<HWND>(m.WParam) == FHandle && LOWORD(m.LParam) == HTCLIENT && Screen) {
    TCursor cur = Screen->Cursor();
    if (cur == crDefault) {
      POINT p;
      GetCursorPos(&p);
      TControl* c = ControlAtPos(ScreenToClient(p), false);
      cur = c ? c->Cursor() : Cursor();
      if (cur == crDefault && c) cur = Cursor();
    }
    if (cur != crDefault) {
      ::SetCursor(Screen->Cursors(cur));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMCommand(TMessage& m) {
  if (m.LParam) {
    if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam))) {
      m.Result = c->Perform(CN_COMMAND, m.WParam, m.LParam);
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMNotify(TMessage& m) {
  auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
  if (hdr) {
    if (TWinControl* c = FindControl(hdr->hwndFrom)) {
      m.Result = c->Perform(CN_NOTIFY, m.WParam, m.LParam);
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMDrawItem(TMessage& m) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  if (dis && dis->CtlType != ODT_MENU) {
    if (TWinControl* c = FindControl(dis->hwndItem)) {
      m.Result = c->Perform(CN_DRAWITEM, m.WParam, m.LParam);
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMMeasureItem(TMessage& m) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  if (mis && mis->CtlType != ODT_MENU && FHandle) {
    if (TWinControl* c = FindControl(GetDlgItem(FHandle, static_cast<int>(mis->CtlID)))) {
      m.Result = c->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMCtlColor(TMessage& m) {
  if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam))) {
    m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  m.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
}

void TWinControl::WMScroll(TMessage& m) {
  if (m.LParam) {
    if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam))) {
      m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMMouseWheel(TMessage& m) {
  if (Perform(CM_MOUSEWHEEL, m.WParam, m.LParam) == 0) DefaultHandler(m);
}

void TWinControl::WMDestroy(TMessage& m) {
  if (FControlStyle & csSetCaption) {
    int n = GetWindowTextLengthW(FHandle);
    std::wstring s(n + 1, L'\0');
    GetWindowTextW(FHandle, s.data(), n + 1);
    s.resize(n);
    FText = s;
  }
  DefaultHandler(m);
}

void TWinControl::WMNCDestroy(TMessage& m) {
  DefaultHandler(m);
  RemovePropW(FHandle, kControlProp);
  FHandle = nullptr;
  if (MouseControlPtr == this) MouseControlPtr = nullptr;
}

void TWinControl::CMEnter(TMessage&) {
  DoEnter();
}
void TWinControl::CMExit(TMessage&) {
  DoExit();
}

void TWinControl::CMDialogKey(TMessage& m) {
  Broadcast(m);
}
void TWinControl::CMDialogChar(TMessage& m) {
  Broadcast(m);
}

void TWinControl::CMFocusChanged(TMessage& m) {
  Broadcast(m);
  m.Result = 0;
}

void TWinControl::CMShowingChanged(TMessage& m) {
  DefaultHandler(m);
}

void TWinControl::CMVisibleChanged(TMessage&) {
  UpdateShowing();
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (FHandle) EnableWindow(FHandle, Enabled());
  NotifyControls(CM_PARENTENABLEDCHANGED);
  Invalidate();
}

void TWinControl::CMColorChanged(TMessage&) {
  FBrush->SetColor(Color());
  NotifyControls(CM_PARENTCOLORCHANGED);
  Invalidate();
}

void TWinControl::CMFontChanged(TMessage&) {
  if (FHandle && FDefWndProc != DefWindowProcW)
    SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  NotifyControls(CM_PARENTFONTCHANGED);
  Invalidate();
}

void TWinControl::CMTextChanged(TMessage&) {
  if (FHandle) SetWindowTextW(FHandle, FText.c_str());
  Invalidate();
}

void TWinControl::CMShowHintChanged(TMessage&) {
  NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TWinControl::Broadcast(TMessage& m) {
  std::vector<TControl*> list = FControls;
  for (TControl* c : list) {
    if (std::find(FControls.begin(), FControls.end(), c) == FControls.end()) continue;
    c->WindowProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  std::vector<TControl*> list = FControls;
  for (TControl* c : list) {
    if (std::find(FControls.begin(), FControls.end(), c) == FControls.end()) continue;
    c->Perform(Msg, 0, 0);
  }
}

// ---------------------------------------------------------------------------
// Painted controls

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() {
  FCanvas->SetControl(nullptr);
}

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->Lock();
  FCanvas->SetHandle(DC);
  TScopeGuard restore([&] {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  });
  FCanvas->Font()->Assign(Font());
  FCanvas->Brush()->SetColor(Color());
  Paint();
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
  FCanvas->SetControl(nullptr);
}

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam) {
    FCanvas->Lock();
    FCanvas->FreeHandle();
    FCanvas->SetHandle(reinterpret_cast<HDC>(m.WParam));
    TScopeGuard restore([&] {
      FCanvas->SetHandle(nullptr);
      FCanvas->Unlock();
    });
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetColor(Color());
    Paint();
    return;
  }
  TControl::Dispatch(m);
}

// ---------------------------------------------------------------------------
// TWindowSubclass

bool TWindowSubclass::Hook(HWND Wnd, THandler Handler) {
  Release();
  if (!Wnd || !IsWindow(Wnd)) return false;
  FHandler = std::move(Handler);
  if (!SetWindowSubclass(Wnd, Proc, reinterpret_cast<UINT_PTR>(this),
                         reinterpret_cast<DWORD_PTR>(this)))
    return false;
  FWnd = Wnd;
  return true;
}

void TWindowSubclass::Release() {
  if (FWnd) {
    if (IsWindow(FWnd)) RemoveWindowSubclass(FWnd, Proc, reinterpret_cast<UINT_PTR>(this));
    FWnd = nullptr;
  }
}

void TWindowSubclass::CallPrevious(TMessage& m) {
  m.Result = FWnd ? DefSubclassProc(FWnd, m.Msg, m.WParam, m.LParam) : 0;
}

LRESULT CALLBACK TWindowSubclass::Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                       DWORD_PTR Data) {
  auto* self = reinterpret_cast<TWindowSubclass*>(Data);
  if (Msg == WM_NCDESTROY) {
    RemoveWindowSubclass(Wnd, Proc, reinterpret_cast<UINT_PTR>(self));
    self->FWnd = nullptr;
    return DefSubclassProc(Wnd, Msg, WParam, LParam);
  }
  TMessage m{Msg, WParam, LParam, 0};
  bool handled = false;
  try {
    handled = self->FHandler && self->FHandler(m);
  } catch (...) {
    if (HandleCallbackException) HandleCallbackException(nullptr);
    handled = false;
  }
  if (!handled) return DefSubclassProc(Wnd, Msg, WParam, LParam);
  return m.Result;
}

// ---------------------------------------------------------------------------
// Right-to-left modes

void TControl::SetBiDiMode(TBiDiMode Value) {
  FParentBiDiMode = false;
  if (Value == FBiDiMode) return;
  FBiDiMode = Value;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value) {
  if (Value == FParentBiDiMode) return;
  FParentBiDiMode = Value;
  if (Value && FParent) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

TAlignment TControl::MirroredAlignment(TAlignment Value) const {
  if (!UseRightToLeftAlignment() || Value == taCenter) return Value;
  return Value == taLeftJustify ? taRightJustify : taLeftJustify;
}

UINT TControl::DrawTextBiDiModeFlags(UINT Flags) const {
  if (UseRightToLeftAlignment()) {
    if (Flags & DT_RIGHT)
      Flags &= ~DT_RIGHT;
    else if (!(Flags & DT_CENTER))
      Flags |= DT_RIGHT;
  }
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  return Flags;
}

void TControl::CMBiDiModeChanged(TMessage&) {
  Invalidate();
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!FParentBiDiMode || !FParent || FParent->BiDiMode() == FBiDiMode) return;
  FBiDiMode = FParent->BiDiMode();
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TWinControl::CMBiDiModeChanged(TMessage& m) {
  TControl::CMBiDiModeChanged(m);
  NotifyControls(CM_PARENTBIDIMODECHANGED);
  // The window styles follow the mode.
  if (FHandle && !(ComponentState() & (csLoading | csDestroying))) RecreateWnd();
}

// ---------------------------------------------------------------------------
// Drag and dock

namespace {

// The one drag of the thread: a hidden window holds the mouse capture and
// follows the pointer until the button goes up.
struct TDockDragState {
  TControl* Control = nullptr;
  HWND Wnd = nullptr;
  POINT Start{};
  POINT Grab{}; // pointer position relative to the control's top-left corner
  int Threshold = 0;
  bool Moving = false;
  bool FrameShown = false;
  RECT Frame{};
  bool Ending = false;
};
thread_local TDockDragState DockDrag;

void XorFrame(const RECT& R) {
  HDC dc = GetDC(nullptr);
  RECT r = R;
  for (int i = 0; i < 2; ++i) {
    DrawFocusRect(dc, &r);
    InflateRect(&r, -1, -1);
  }
  ReleaseDC(nullptr, dc);
}

void HideDragFrame() {
  if (!DockDrag.FrameShown) return;
  XorFrame(DockDrag.Frame);
  DockDrag.FrameShown = false;
}

// The dock site under a screen point that the dragged control may enter.
TWinControl* DockSiteAt(POINT P, TControl* Dragged) {
  HWND h = WindowFromPoint(P);
  TWinControl* c = nullptr;
  while (h && !(c = FindControl(h)))
    h = GetParent(h);
  auto* draggedWin = dynamic_cast<TWinControl*>(Dragged);
  while (c) {
    if (draggedWin && (c == draggedWin || draggedWin->ContainsControl(c))) {
      c = Dragged->Parent();
      continue;
    }
    if (c->DockSite()) return c;
    c = c->Parent();
  }
  return nullptr;
}

// Where the control would go: the site's client area, or a floating window.
RECT DropFrame(POINT P) {
  TControl* c = DockDrag.Control;
  RECT r;
  if (TWinControl* site = DockSiteAt(P, c)) {
    GetClientRect(site->Handle(), &r);
    MapWindowPoints(site->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  } else {
    r = RECT{P.x - DockDrag.Grab.x, P.y - DockDrag.Grab.y, P.x - DockDrag.Grab.x + c->UndockWidth(),
             P.y - DockDrag.Grab.y + c->UndockHeight()};
  }
  return r;
}

void EndDockDrag(bool Drop, POINT P) {
  TControl* c = DockDrag.Control;
  bool moving = DockDrag.Moving;
  HideDragFrame();
  DockDrag.Control = nullptr;
  DockDrag.Moving = false;
  DockDrag.Ending = true;
  if (GetCapture() == DockDrag.Wnd) ReleaseCapture();
  DockDrag.Ending = false;
  if (!c || !Drop || !moving) return;
  if (TWinControl* site = DockSiteAt(P, c)) {
    if (site != c->HostDockSite()) c->ManualDock(site);
  } else {
    c->ManualFloat(
        Bounds(P.x - DockDrag.Grab.x, P.y - DockDrag.Grab.y, c->UndockWidth(), c->UndockHeight()));
  }
}

void DockDragMessage(TMessage& m) {
  DWORD pos = GetMessagePos();
  POINT p{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  switch (m.Msg) {
  case WM_MOUSEMOVE:
    if (!DockDrag.Control) break;
    if (!DockDrag.Moving && (std::abs(p.x - DockDrag.Start.x) >= DockDrag.Threshold ||
                             std::abs(p.y - DockDrag.Start.y) >= DockDrag.Threshold))
      DockDrag.Moving = true;
    if (DockDrag.Moving) {
      HideDragFrame();
      DockDrag.Frame = DropFrame(p);
      XorFrame(DockDrag.Frame);
      DockDrag.FrameShown = true;
    }
    return;
  case WM_LBUTTONUP:
    EndDockDrag(true, p);
    return;
  case WM_RBUTTONDOWN:
    EndDockDrag(false, p);
    return;
  case WM_CAPTURECHANGED:
    if (!DockDrag.Ending && DockDrag.Control) EndDockDrag(false, p);
    return;
  default:
    break;
  }
  m.Result = DefWindowProcW(DockDrag.Wnd, m.Msg, m.WParam, m.LParam);
}

void CancelDockDragOf(TControl* Control) {
  if (DockDrag.Control == Control) EndDockDrag(false, POINT{});
}

// The tool window a control floats in; it lets go of its client when it
// goes, so that the client outlives it.
class TFloatDockForm : public TCustomForm {
public:
  TFloatDockForm() : TCustomForm(nullptr) { SetBorderStyle(bsSizeToolWin); }
  ~TFloatDockForm() override {
    while (ControlCount() > 0)
      Controls(0)->SetParent(nullptr);
  }
};

} // namespace

bool TControl::DockDragging() {
  return DockDrag.Control != nullptr;
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
  if (FDragKind != dkDock || DockDrag.Control) return;
  if (!DockDrag.Wnd) DockDrag.Wnd = AllocateHWnd(DockDragMessage);
  POINT p;
  GetCursorPos(&p);
  TPoint origin = FParent ? FParent->ClientToScreen(TPoint(FLeft, FTop)) : TPoint(FLeft, FTop);
  DockDrag.Control = this;
  DockDrag.Start = p;
  DockDrag.Grab = POINT{p.x - origin.X, p.y - origin.Y};
  DockDrag.Threshold = Threshold >= 0 ? Threshold : GetSystemMetrics(SM_CXDRAG);
  DockDrag.Moving = Immediate;
  DockDrag.FrameShown = false;
  SetCapture(DockDrag.Wnd);
}

void TControl::ManualDock(TWinControl* NewDockSite, TControl* DropControl, TAlign ControlSide) {
  if (!NewDockSite) {
    TPoint o = FParent ? FParent->ClientToScreen(TPoint(FLeft, FTop)) : TPoint(FLeft, FTop);
    ManualFloat(Bounds(o.X, o.Y, UndockWidth(), UndockHeight()));
    return;
  }
  if (NewDockSite == FHostDockSite) return;
  if (FHostDockSite)
    FHostDockSite->DockClientRemove(this);
  else {
    FUndockWidth = FWidth;
    FUndockHeight = FHeight;
  }
  TWinControl* oldFloat = FFloatForm && FParent == FFloatForm ? FFloatForm : nullptr;
  FAlign = alNone;
  SetParent(NewDockSite);
  NewDockSite->DockClientAdd(this, DropControl, ControlSide);
  if (oldFloat) {
    FFloatForm = nullptr;
    delete oldFloat;
  }
}

void TControl::ManualFloat(const TRect& ScreenPos) {
  if (FHostDockSite) FHostDockSite->DockClientRemove(this);
  if (!FFloatForm) FFloatForm = new TFloatDockForm();
  TWinControl* form = FFloatForm;
  form->SetCaption(Text());
  form->SetBounds(ScreenPos.Left, ScreenPos.Top, ScreenPos.Width(), ScreenPos.Height());
  FAlign = alNone;
  SetParent(form);
  SetAlign(alClient);
  SetVisible(true);
  static_cast<TCustomForm*>(form)->Show();
  // The window's frame is known now: the client area takes the size asked for.
  form->SetClientSize(ScreenPos.Width(), ScreenPos.Height());
}

void TWinControl::DockClientAdd(TControl* Control, TControl* DropControl, TAlign ControlSide) {
  if (std::find(FDockClients.begin(), FDockClients.end(), Control) == FDockClients.end())
    FDockClients.push_back(Control);
  Control->FHostDockSite = this;
  if (FUseDockManager && FDockManager)
    FDockManager->InsertControl(Control, ControlSide, DropControl);
  Realign();
  Invalidate();
}

void TWinControl::DockClientRemove(TControl* Control) {
  auto it = std::find(FDockClients.begin(), FDockClients.end(), Control);
  if (it != FDockClients.end()) FDockClients.erase(it);
  Control->FHostDockSite = nullptr;
  if (FDockManager) FDockManager->RemoveControl(Control);
  if (!(ComponentState() & csDestroying)) Invalidate();
}

void TWinControl::SetDockSite(bool Value) {
  if (Value == FDockSite) return;
  FDockSite = Value;
  if (FDockSite && FUseDockManager && !FDockManager) FDockManager.reset(CreateDockManager());
  if (FDockManager) SetDoubleBuffered(true);
}

void TWinControl::SetUseDockManager(bool Value) {
  if (Value == FUseDockManager) return;
  FUseDockManager = Value;
  if (FDockSite && FUseDockManager && !FDockManager) FDockManager.reset(CreateDockManager());
  if (FDockManager) SetDoubleBuffered(true);
}

TDockTree* TWinControl::CreateDockManager() {
  return new TDockTree(this);
}

// ---------------------------------------------------------------------------
// TDockTree

TDockTree::TDockTree(TWinControl* DockSite) : FDockSite(DockSite) {
  FOldWndProc = FDockSite->WindowProc;
  FDockSite->WindowProc = [this](TMessage& m) { WindowProc(m); };
}

TDockTree::~TDockTree() {
  FDockSite->WindowProc = FOldWndProc;
}

void TDockTree::SetGrabberSize(int Value) {
  if (Value == FGrabberSize) return;
  FGrabberSize = Value;
  ResetBounds(true);
}

void TDockTree::InsertControl(TControl* Control, TAlign InsertAt, TControl* DropControl) {
  auto old = std::find(FZones.begin(), FZones.end(), Control);
  if (old != FZones.end()) FZones.erase(old);
  auto at = std::find(FZones.begin(), FZones.end(), DropControl);
  if (at == FZones.end())
    FZones.push_back(Control);
  else if (InsertAt == alLeft || InsertAt == alTop)
    FZones.insert(at, Control);
  else
    FZones.insert(at + 1, Control);
  ResetBounds(true);
}

void TDockTree::RemoveControl(TControl* Control) {
  auto it = std::find(FZones.begin(), FZones.end(), Control);
  if (it == FZones.end()) return;
  FZones.erase(it);
  if (FClosePressed == Control) FClosePressed = nullptr;
  ResetBounds(true);
}

bool TDockTree::GrabbersOnLeft() const {
  return FDockSite->Align() == alTop || FDockSite->Align() == alBottom;
}

void TDockTree::ResetBounds(bool /*Force*/) {
  if (FResetting || (FDockSite->ComponentState() & csDestroying)) return;
  TRect r = FDockSite->ClientRect();
  FDockSite->AdjustClientRect(r);
  std::vector<TControl*> shown;
  for (TControl* c : FZones)
    if (c->Visible()) shown.push_back(c);
  if (shown.empty()) return;
  bool left = GrabbersOnLeft();
  int n = static_cast<int>(shown.size());
  int start = left ? r.Left : r.Top, total = left ? r.Width() : r.Height();
  FResetting = true;
  {
    TScopeGuard restore([&] { FResetting = false; });
    for (int i = 0; i < n; ++i) {
      int a = start + total * i / n, b = start + total * (i + 1) / n;
      TRect zone = left ? TRect(a, r.Top, b, r.Bottom) : TRect(r.Left, a, r.Right, b);
      AdjustDockRect(shown[i], zone);
      shown[i]->SetBounds(zone.Left, zone.Top, std::max<int>(zone.Width(), 0),
                          std::max<int>(zone.Height(), 0));
    }
  }
  FDockSite->Invalidate();
}

void TDockTree::AdjustDockRect(TControl*, TRect& ARect) {
  if (GrabbersOnLeft())
    ARect.Left += FGrabberSize;
  else
    ARect.Top += FGrabberSize;
}

TRect TDockTree::FrameRect(TControl* Control) const {
  TRect r = Control->BoundsRect();
  if (GrabbersOnLeft())
    r.Left -= FGrabberSize;
  else
    r.Top -= FGrabberSize;
  return r;
}

TRect TDockTree::CloseRect(const TRect& F) const {
  if (GrabbersOnLeft()) return TRect(F.Left + 1, F.Top + 1, F.Left + 12, F.Top + 12);
  return TRect(F.Right - 15, F.Top + 1, F.Right - 2, F.Top + 12);
}

void TDockTree::PaintSite(HDC DC) {
  TCanvas canvas;
  canvas.SetHandle(DC);
  TScopeGuard restore([&] { canvas.SetHandle(nullptr); });
  for (TControl* c : FZones)
    if (c->Visible()) PaintDockFrame(&canvas, c, FrameRect(c));
}

void TDockTree::PaintDockFrame(TCanvas* Canvas, TControl*, const TRect& ARect) {
  HDC dc = Canvas->Handle();
  bool left = GrabbersOnLeft();
  RECT bar = left ? RECT{ARect.Left, ARect.Top, ARect.Left + FGrabberSize, ARect.Bottom}
                  : RECT{ARect.Left, ARect.Top, ARect.Right, ARect.Top + FGrabberSize};
  FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
  TRect close = CloseRect(ARect);
  // Two ridges along the bar beside the close glyph.
  for (int i = 0; i < 2; ++i) {
    RECT ridge =
        left ? RECT{bar.left + 3 + 4 * i, close.Bottom + 2, bar.left + 6 + 4 * i, bar.bottom - 2}
             : RECT{bar.left + 2, bar.top + 3 + 4 * i, close.Left - 2, bar.top + 6 + 4 * i};
    if (ridge.right > ridge.left && ridge.bottom > ridge.top)
      DrawEdge(dc, &ridge, BDR_RAISEDINNER, BF_RECT);
  }
  // The close button: a raised square with a cross.
  RECT cr = close;
  DrawFrameControl(dc, &cr, DFC_BUTTON, DFCS_BUTTONPUSH);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
  HGDIOBJ old = SelectObject(dc, pen);
  int cx = (cr.left + cr.right) / 2 - 1, cy = (cr.top + cr.bottom) / 2 - 1;
  for (int d = 0; d < 2; ++d) {
    MoveToEx(dc, cx - 2 + d, cy - 2, nullptr);
    LineTo(dc, cx + 3 + d, cy + 3);
    MoveToEx(dc, cx + 2 + d, cy - 2, nullptr);
    LineTo(dc, cx - 3 + d, cy + 3);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

int TDockTree::HitTest(const TPoint& P, TControl*& Control) {
  Control = nullptr;
  bool left = GrabbersOnLeft();
  for (TControl* c : FZones) {
    if (!c->Visible()) continue;
    TRect f = FrameRect(c);
    TRect bar = left ? TRect(f.Left, f.Top, f.Left + FGrabberSize, f.Bottom)
                     : TRect(f.Left, f.Top, f.Right, f.Top + FGrabberSize);
    if (!bar.Contains(P)) continue;
    Control = c;
    return CloseRect(f).Contains(P) ? HTCLOSE : HTCAPTION;
  }
  return HTNOWHERE;
}

void TDockTree::WindowProc(TMessage& m) {
  switch (m.Msg) {
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK: {
    TControl* c = nullptr;
    int hit = HitTest(TPoint(m.XPos(), m.YPos()), c);
    if (hit == HTCAPTION && c) {
      c->BeginDrag(false);
      m.Result = 0;
      return;
    }
    if (hit == HTCLOSE && c) {
      FClosePressed = c;
      m.Result = 0;
      return;
    }
    break;
  }
  case WM_LBUTTONUP:
    if (FClosePressed) {
      TControl* c = nullptr;
      int hit = HitTest(TPoint(m.XPos(), m.YPos()), c);
      TControl* pressed = FClosePressed;
      FClosePressed = nullptr;
      if (hit == HTCLOSE && c == pressed) {
        pressed->SetVisible(false);
        ResetBounds(true);
      }
      m.Result = 0;
      return;
    }
    break;
  default:
    break;
  }
  FOldWndProc(m);
}
