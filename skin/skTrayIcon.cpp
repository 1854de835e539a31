#include "skin/skTrayIcon.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/SkinMenus.h"

UINT TskTrayIcon::FTaskbarCreated = 0;

TskTrayIcon::TskTrayIcon(TComponent* AOwner) : TComponent(AOwner) {
  FIcon = std::make_unique<TIcon>();
  FNotifyWnd = AllocateHWnd([this](TMessage& m) { NotifyWindowProc(m); });
  FAnimateTimer = std::make_unique<TTimer>(nullptr);
  FAnimateTimer->SetEnabled(false);
  FAnimateTimer->SetInterval(0);
  FAnimateTimer->OnTimer = [this](TObject*) { AnimateTimerTick(); };
  FClickTimer = std::make_unique<TTimer>(nullptr);
  FClickTimer->SetEnabled(false);
  FClickTimer->SetInterval(GetDoubleClickTime());
  FClickTimer->OnTimer = [this](TObject*) { ClickTimerTick(); };
  FTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  if (!FIcon->Handle() && UsesApplicationIcon() && Application && Application->Icon() &&
      Application->Icon()->Handle())
    FIcon->SetHandle(CopyIcon(Application->Icon()->Handle()));
  if (!Designing()) HookWindows();
}

TskTrayIcon::~TskTrayIcon() {
  Destroying();
  SetIconVisible(false);
  SetDesignPreview(false);
  FAppHook.Release();
  FOwnerHook.Release();
  FClickTimer.reset();
  FAnimateTimer.reset();
  DeallocateHWnd(FNotifyWnd);
  FNotifyWnd = nullptr;
  FIcon.reset();
}

TWinControl* TskTrayIcon::OwnerControl() const {
  return dynamic_cast<TWinControl*>(Owner());
}

void TskTrayIcon::HookWindows() {
  if (Designing() || (ComponentState() & csDestroying)) return;
  if (Application && !FAppHook.Active())
    FAppHook.Hook(Application->Handle(), [this](TMessage& m) { return AppWindowProc(m); });
  TWinControl* o = OwnerControl();
  if (o && o->HandleAllocated() && FOwnerHook.Window() != o->Handle())
    FOwnerHook.Hook(o->Handle(), [this](TMessage& m) { return OwnerWindowProc(m); });
}

void TskTrayIcon::Loaded() {
  TComponent::Loaded();
  if (OwnerControl() && MinimizedOnStart && !Designing()) {
    FIconVisible = true;
    SetMinimizeToTray(true);
    if (Application) Application->ShowMainForm = false;
  }
  HookWindows();
  ModifyIcon();
  SetIconVisible(FIconVisible);
}

void TskTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (AComponent == FIconList) FIconList = nullptr;
}

// ---------------------------------------------------------------------------
// Properties

void TskTrayIcon::SetIcon(TIcon* Value) {
  FIcon->Assign(Value);
  ModifyIcon();
}

void TskTrayIcon::SetIconVisible(bool Value) {
  if (Value)
    ShowIcon();
  else
    HideIcon();
}

void TskTrayIcon::SetHint(const std::wstring& Value) {
  FHint = Value;
  ModifyIcon();
}

void TskTrayIcon::SetShowHint(bool Value) {
  FShowHint = Value;
  ModifyIcon();
}

void TskTrayIcon::SetPopupMenu(TskSkinPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TskTrayIcon::SetIconList(TImageList* Value) {
  if (FIconList && FIconList != Value) FIconList->RemoveFreeNotification(this);
  FIconList = Value;
  if (Value) Value->FreeNotification(this);
  SetIconIndex(0);
}

void TskTrayIcon::SetIconIndex(int Value) {
  if (FIconList) {
    int count = FIconList->Count();
    FIconIndex = Value >= count ? count - 1 : Value;
    if (FIconIndex >= 0) FIconList->GetIcon(FIconIndex, FIcon.get());
  } else {
    FIconIndex = 0;
  }
  ModifyIcon();
}

void TskTrayIcon::SetCycleIcons(bool Value) {
  FCycleIcons = Value;
  if (Value) SetIconIndex(0);
  FAnimateTimer->SetEnabled(Value);
}

void TskTrayIcon::SetAnimateTimerInterval(UINT Value) {
  FAnimateTimer->SetInterval(Value);
}

void TskTrayIcon::SetMinimizeToTray(bool Value) {
  FMinimizeToTray = Value;
  // The owner's window may have been made anew since the last hook.
  if (Value) HookWindows();
}

void TskTrayIcon::SetDesignPreview(bool Value) {
  FDesignPreview = Value;
  FPreviewing = true;
  SetIconVisible(Value);
  FPreviewing = false;
}

// ---------------------------------------------------------------------------
// The shell

bool TskTrayIcon::FillData(NOTIFYICONDATAW& Data) const {
  if (Designing() && !FDesignPreview && !FPreviewing) return false;
  Data = NOTIFYICONDATAW{};
  Data.cbSize = sizeof(NOTIFYICONDATAW);
  Data.hWnd = FNotifyWnd;
  Data.uID = 1;
  Data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Data.uCallbackMessage = WM_TRAYNOTIFY;
  Data.hIcon = FIcon ? FIcon->Handle() : nullptr;
  if (!FHint.empty() && FShowHint) {
    // The shell takes at most 127 characters.
    size_t n = std::min<size_t>(FHint.size(), 127);
    std::copy_n(FHint.begin(), n, Data.szTip);
    Data.szTip[n] = 0;
  }
  return true;
}

void TskTrayIcon::Shell(DWORD Command) {
  NOTIFYICONDATAW d;
  if (FillData(d)) FShellAccepted = Shell_NotifyIconW(Command, &d) != FALSE;
}

void TskTrayIcon::ShowIcon() {
  if (!FPreviewing) FIconVisible = true;
  if (!Designing() || FPreviewing) Shell(NIM_ADD);
}

void TskTrayIcon::HideIcon() {
  if (!FPreviewing) FIconVisible = false;
  if (!Designing() || FPreviewing) Shell(NIM_DELETE);
}

void TskTrayIcon::ModifyIcon() {
  Shell(NIM_MODIFY);
}

// ---------------------------------------------------------------------------
// Events

void TskTrayIcon::Click() {
  if (OnClick) OnClick(this);
}

void TskTrayIcon::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TskTrayIcon::DoCycle() {
  int next = 0;
  if (FIconList && FIconIndex < FIconList->Count() - 1) next = FIconIndex + 1;
  if (OnCycle) OnCycle(this, next);
}

void TskTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TskTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TskTrayIcon::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TskTrayIcon::DoMinimizeToTray() {
  HideMainForm();
  SetIconVisible(true);
}

// ---------------------------------------------------------------------------
// Timers

void TskTrayIcon::ClickTimerTick() {
  FClickTimer->SetEnabled(false);
  if (!FDblClicked && FClickPending) {
    FClickPending = false;
    Click();
  }
  FDblClicked = false;
}

void TskTrayIcon::AnimateTimerTick() {
  if (!FIconList) return;
  if (FIconIndex >= 0 && FIconIndex < FIconList->Count())
    FIconList->GetIcon(FIconIndex, FIcon.get());
  DoCycle();
  ModifyIcon();
  SetIconIndex(FIconIndex < FIconList->Count() - 1 ? FIconIndex + 1 : 0);
}

// ---------------------------------------------------------------------------
// Windows

void TskTrayIcon::NotifyWindowProc(TMessage& M) {
  switch (M.Msg) {
  case WM_TRAYNOTIFY:
    if (Enabled) TrayMessage(LOWORD(M.LParam));
    M.Result = 0;
    return;
  case WM_DESTROY:
  case WM_CLOSE:
  case WM_QUERYENDSESSION:
  case WM_QUIT:
  case WM_USERCHANGED:
  case WM_NCDESTROY:
    M.Result = 1;
    return;
  default:
    M.Result = DefWindowProcW(FNotifyWnd, M.Msg, M.WParam, M.LParam);
    return;
  }
}

void TskTrayIcon::TrayMessage(UINT MouseMsg) {
  HookWindows();
  TShiftState shift = 0;
  if (GetAsyncKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetAsyncKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (GetAsyncKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  POINT p{};
  GetCursorPos(&p);
  switch (MouseMsg) {
  case WM_MOUSEMOVE:
    MouseMove(shift, p.x, p.y);
    break;
  case WM_LBUTTONDOWN:
    FClickTimer->SetEnabled(true);
    MouseDown(mbLeft, shift | ssLeft, p.x, p.y);
    FLeftDown = true;
    if (PopupByLeftButton) PopupAtCursor();
    break;
  case WM_LBUTTONUP:
    if (FLeftDown) {
      FClickPending = true;
      // Held past the double-click time: the click is due now.
      if (!FClickTimer->Enabled()) {
        FClickPending = false;
        FDblClicked = false;
        Click();
      }
    }
    FLeftDown = false;
    MouseUp(mbLeft, shift | ssLeft, p.x, p.y);
    break;
  case WM_LBUTTONDBLCLK:
    FClickPending = false;
    FDblClicked = true;
    DblClick();
    if (FPopupMenu && FPopupMenu->AutoPopup() && !PopupByLeftButton) {
      TMenuItem* root = FPopupMenu->Items();
      for (int i = 0; i < root->Count(); ++i)
        if (root->Items(i)->Default()) {
          root->Items(i)->Click();
          break;
        }
    }
    break;
  case WM_RBUTTONDOWN:
    MouseDown(mbRight, shift | ssRight, p.x, p.y);
    PopupAtCursor();
    break;
  case WM_RBUTTONUP:
    MouseUp(mbRight, shift | ssRight, p.x, p.y);
    break;
  case WM_MBUTTONDOWN:
    MouseDown(mbMiddle, shift | ssMiddle, p.x, p.y);
    break;
  case WM_MBUTTONUP:
    MouseUp(mbMiddle, shift | ssMiddle, p.x, p.y);
    break;
  case NIN_BALLOONCLICK:
    if (OnBalloonHintClick) OnBalloonHintClick(this);
    break;
  default:
    break;
  }
}

void TskTrayIcon::PopupAtCursor() {
  if (!FPopupMenu || !FPopupMenu->AutoPopup()) return;
  POINT p;
  if (!GetCursorPos(&p)) return;
  if (Application) Application->ProcessMessages();
  SetForegroundWindow(FNotifyWnd);
  TWinControl* o = OwnerControl();
  if (o && o->HandleAllocated()) SetForegroundWindow(o->Handle());
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(p.x, p.y);
  if (o && o->HandleAllocated()) PostMessageW(o->Handle(), WM_NULL, 0, 0);
}

void TskTrayIcon::ShowMainForm() {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (!OwnerControl() || !main) return;
  main->SetVisible(true);
  if (main->WindowState() == wsMinimized) main->SetWindowState(wsNormal);
}

void TskTrayIcon::HideMainForm() {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (!OwnerControl() || !main) return;
  main->SetVisible(false);
}

bool TskTrayIcon::AppWindowProc(TMessage& M) {
  if (M.Msg == WM_SIZE && M.WParam == SIZE_MINIMIZED && FMinimizeToTray) {
    DoMinimizeToTray();
  } else if (M.Msg == WM_WINDOWPOSCHANGED && FStarting && Application && Application->MainForm()) {
    FStarting = false;
  } else if (M.Msg == FTaskbarCreated && FTaskbarCreated && FIconVisible) {
    // The shell started again: the icon goes back.
    ShowIcon();
  }
  return false;
}

bool TskTrayIcon::OwnerWindowProc(TMessage& M) {
  switch (M.Msg) {
  case WM_ACTIVATE: {
    WORD state = LOWORD(M.WParam);
    TWinControl* active = Screen ? Screen->ActiveControl() : nullptr;
    if ((state == WA_ACTIVE || state == WA_CLICKACTIVE) && active && active->HandleAllocated()) {
      TWinControl* ref = active->Parent() ? active->Parent() : active;
      if (!ref->HandleAllocated() || reinterpret_cast<HWND>(M.LParam) != ref->Handle())
        SetFocus(active->Handle());
    }
    return false;
  }
  case WM_SIZE:
    // The main form is the window the application minimizes.
    if (M.WParam == SIZE_MINIMIZED && FMinimizeToTray && Application &&
        Application->MainForm() == Owner()) {
      FOwnerHook.CallPrevious(M);
      DoMinimizeToTray();
      return true;
    }
    return false;
  case WM_SHOWWINDOW:
    if (M.WParam == 1 && M.LParam == 0) {
      FOwnerHook.CallPrevious(M);
      if (HWND h = FOwnerHook.Window()) SetForegroundWindow(h);
      return true;
    }
    return false;
  default:
    return false;
  }
}
