#include "framework/Forms.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdlib>

#include "framework/ActnList.h"
#include "framework/AppUtils.h"
#include "framework/Menus.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

struct UnitHooks {
  std::vector<std::function<void()>> inits, dones;
  size_t ran = 0;
};

UnitHooks& Hooks() {
  static UnitHooks hooks;
  return hooks;
}

const UINT_PTR kHintShowTimer = 1, kHintHideTimer = 2;
// Command number of the first MDI child in the window menu, above the menus' own.
const UINT kFirstMDIChild = 0xFF00;

// Made before any other static object of the program and freed after them.
struct FrameworkGlobals {
  FrameworkGlobals() {
    // The hook list is made first so it is freed after this object, even when
    // a unit adds its hooks from a later static initializer.
    Hooks();
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
    HandleCallbackException = [](TObject* Sender) {
      if (Application) Application->HandleException(Sender);
    };
  }
  ~FrameworkGlobals() {
    TApplication* app = Application;
    delete app;
    Application = nullptr;
    RunUnitDones();
    HandleCallbackException = nullptr;
    delete Screen;
    Screen = nullptr;
  }
  static void RunUnitDones() {
    auto& h = Hooks();
    while (!h.dones.empty()) {
      auto done = std::move(h.dones.back());
      h.dones.pop_back();
      if (done) done();
    }
  }
};

__attribute__((init_priority(200))) FrameworkGlobals Globals;

// The end of the program: the application's forms and components go first,
// while every static object they use still lives, then the units' exit
// procedures. Registered with atexit when the message loop ends, so it runs
// before the destructors of all static objects made until then.
void DoneApplication() {
  if (Application) Application->DestroyForms();
  FrameworkGlobals::RunUnitDones();
}

} // namespace

void AddUnitHooks(std::function<void()> Init, std::function<void()> Done) {
  auto& h = Hooks();
  h.inits.push_back(std::move(Init));
  h.dones.push_back(std::move(Done));
}

void CentreOn(TCustomForm* Form, TCustomForm* Opener) {
  if (!Form || !Opener) return;
  int top = Opener->Top() + (Opener->Height() - Form->Height()) / 2;
  int left = Opener->Left() + (Opener->Width() - Form->Width()) / 2;
  Form->SetBounds(left, top, Form->Width(), Form->Height());
}

bool IsMenuKey(TWinControl* Control, TMessage& Message) {
  for (TControl* c = Control; c; c = c->Parent()) {
    TPopupMenu* pm = c->PopupMenu();
    if (pm && pm->IsShortCut(Message)) return true;
  }
  TCustomForm* form = GetParentForm(Control);
  if (form && form->IsShortCut(Message)) return true;
  return Application &&
         Application->SendAppMessage(CM_APPKEYDOWN, Message.WParam, Message.LParam) != 0;
}

// ---------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FIcon(new TIcon), FCanvas(new TControlCanvas) {
  BeginLoading();
  FCanvas->SetControl(this);
  FControlStyle =
      csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  SetVisible(false);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  FLeft = 100;
  FTop = 100;
  FWidth = 320;
  FHeight = 240;
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  DestroyComponents();
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  FCanvas->SetControl(nullptr);
  if (FHandle && FMenu) ::SetMenu(FHandle, nullptr);
  // An MDI child leaves through its client, which then activates the next one.
  if (FHandle && IsMDIChildWindow())
    SendMessageW(GetParent(FHandle), WM_MDIDESTROY, reinterpret_cast<WPARAM>(FHandle), 0);
}

void TCustomForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  TWinControl::AfterConstruction();
  DoCreate();
}

void TCustomForm::DoCreate() {
  if (!OnCreate) return;
  try {
    OnCreate(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == FBorderIcons) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (Value == FFormStyle) return;
  FFormStyle = Value;
  if (FHandle)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
  if (FHandle) {
    if (IsIconic(FHandle)) return wsMinimized;
    if (IsZoomed(FHandle)) return wsMaximized;
    return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
  FWindowState = Value;
  if (FHandle && Visible() && IsMDIChildWindow() && Value != wsMinimized) {
    SendMessageW(GetParent(FHandle), Value == wsMaximized ? WM_MDIMAXIMIZE : WM_MDIRESTORE,
                 reinterpret_cast<WPARAM>(FHandle), 0);
    return;
  }
  if (FHandle && Visible())
    ShowWindow(FHandle, Value == wsMaximized   ? SW_SHOWMAXIMIZED
                        : Value == wsMinimized ? SW_MINIMIZE
                                               : SW_RESTORE);
}

void TCustomForm::SetActiveControl(TWinControl* Value) {
  if (Value == FActiveControl) return;
  if (Value && (Value == this || GetParentForm(Value) != this))
    throw EInvalidOperation(L"Invalid active control");
  FActiveControl = Value;
  if (Value && FActive && Value->CanFocus()) ::SetFocus(Value->Handle());
}

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (Value == FMenu) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = Value;
  if (Value) Value->FreeNotification(this);
  if (FHandle) {
    ::SetMenu(FHandle, Value ? Value->Handle() : nullptr);
    DrawMenuBar(FHandle);
  }
  UpdateWindowMenu();
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  p.ExStyle = 0;
  p.WndParent = nullptr;
  if (Application && Application->MainForm() && Application->MainForm() != this &&
      Application->MainForm()->HandleAllocated())
    p.WndParent = Application->MainForm()->Handle();
  switch (FBorderStyle) {
  case bsNone:
    p.Style |= WS_POPUP;
    break;
  case bsSingle:
    p.Style |= WS_CAPTION | WS_BORDER;
    break;
  case bsSizeable:
    p.Style |= WS_CAPTION | WS_THICKFRAME;
    break;
  case bsDialog:
    p.Style |= WS_POPUP | WS_CAPTION;
    p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    break;
  case bsToolWindow:
    p.Style |= WS_CAPTION;
    p.ExStyle |= WS_EX_TOOLWINDOW;
    break;
  case bsSizeToolWin:
    p.Style |= WS_CAPTION | WS_THICKFRAME;
    p.ExStyle |= WS_EX_TOOLWINDOW;
    break;
  }
  if (FBorderStyle != bsNone && (FBorderIcons & biSystemMenu)) {
    p.Style |= WS_SYSMENU;
    if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
      if (FBorderIcons & biMinimize) p.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons & biMaximize) p.Style |= WS_MAXIMIZEBOX;
    } else if (FBorderIcons & biHelp) {
      p.ExStyle |= WS_EX_CONTEXTHELP;
    }
  }
  if (FFormStyle == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (FFormStyle == fsMDIChild) {
    p.Style = (p.Style & ~WS_POPUP) | WS_CHILD;
    p.ExStyle |= WS_EX_MDICHILD;
    p.WndParent = MDIParentClient();
    if (!p.WndParent)
      throw EInvalidOperation(L"Cannot create form. No MDI forms are currently active");
  }
  if (!Enabled()) p.Style |= WS_DISABLED;
  p.WindowClass.style = CS_DBLCLKS;
  p.WindowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  if (!p.WindowClass.hIcon) p.WindowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  p.X = FLeft;
  p.Y = FTop;
  p.Width = FWidth;
  p.Height = FHeight;
}

void TCustomForm::PlaceOnScreen() {
  if (FPlaced) return;
  FPlaced = true;
  TRect area = Screen ? Screen->WorkAreaRect() : TRect(0, 0, 800, 600);
  TCustomForm* center = nullptr;
  switch (FPosition) {
  case poScreenCenter:
  case poDesktopCenter:
    FLeft = area.Left + (area.Width() - FWidth) / 2;
    FTop = area.Top + (area.Height() - FHeight) / 2;
    break;
  case poMainFormCenter:
    center = Application ? Application->MainForm() : nullptr;
    break;
  case poOwnerFormCenter:
    center = dynamic_cast<TCustomForm*>(Owner());
    break;
  default:
    break;
  }
  if (center && center != this) {
    FLeft = center->Left() + (center->Width() - FWidth) / 2;
    FTop = center->Top() + (center->Height() - FHeight) / 2;
  } else if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
    FLeft = area.Left + (area.Width() - FWidth) / 2;
    FTop = area.Top + (area.Height() - FHeight) / 2;
  }
}

void TCustomForm::CreateWnd() {
  PlaceOnScreen();
  TWinControl::CreateWnd();
  if (FIcon && FIcon->Handle()) {
    SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
    SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FIcon->Handle()));
  }
  if (FMenu) ::SetMenu(FHandle, FMenu->Handle());
  if (FFormStyle == fsMDIForm) {
    CLIENTCREATESTRUCT ccs{};
    ccs.idFirstChild = kFirstMDIChild;
    RECT r;
    GetClientRect(FHandle, &r);
    FClientHandle =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL |
                            WS_VSCROLL | MDIS_ALLCHILDSTYLES,
                        0, 0, r.right, r.bottom, FHandle, nullptr, GetModuleHandleW(nullptr), &ccs);
    if (!FClientHandle) RaiseLastOSError();
    UpdateWindowMenu();
  }
}

void TCustomForm::CreateWindowHandle(const TCreateParams& p) {
  if (FFormStyle != fsMDIChild) {
    TWinControl::CreateWindowHandle(p);
    return;
  }
  MDICREATESTRUCTW mcs{};
  mcs.szClass = p.WinClassName.c_str();
  mcs.szTitle = p.Caption.c_str();
  mcs.hOwner = GetModuleHandleW(nullptr);
  mcs.x = p.X;
  mcs.y = p.Y;
  mcs.cx = p.Width;
  mcs.cy = p.Height;
  mcs.style = p.Style;
  mcs.lParam = reinterpret_cast<LPARAM>(p.Param);
  HWND h = reinterpret_cast<HWND>(
      SendMessageW(p.WndParent, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (h) FHandle = h;
}

void TCustomForm::DestroyWnd() {
  if (FHandle && IsMDIChildWindow()) {
    int n = GetWindowTextLengthW(FHandle);
    std::wstring s(n + 1, L'\0');
    GetWindowTextW(FHandle, s.data(), n + 1);
    s.resize(n);
    // WM_NCDESTROY forgets the handle.
    SendMessageW(GetParent(FHandle), WM_MDIDESTROY, reinterpret_cast<WPARAM>(FHandle), 0);
    FText = s;
  }
  TWinControl::DestroyWnd();
  // The MDI client went with the frame's window.
  FClientHandle = nullptr;
}

void TCustomForm::DefaultHandler(TMessage& m) {
  bool own = m.Msg >= CM_BASE && m.Msg <= 0xBFFF;
  if (FHandle && !own) {
    // The frame sizes its MDI client itself, in AlignControls.
    if (FClientHandle && m.Msg != WM_SIZE) {
      m.Result = DefFrameProcW(FHandle, FClientHandle, m.Msg, m.WParam, m.LParam);
      return;
    }
    if (FFormStyle == fsMDIChild && IsMDIChildWindow()) {
      m.Result = DefMDIChildProcW(FHandle, m.Msg, m.WParam, m.LParam);
      return;
    }
  }
  TWinControl::DefaultHandler(m);
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  TWinControl::AlignControls(AControl, Rect);
  if (FClientHandle)
    SetWindowPos(FClientHandle, nullptr, Rect.Left, Rect.Top, std::max(0, Rect.Width()),
                 std::max(0, Rect.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FWindowMenu) {
    FWindowMenu = nullptr;
    UpdateWindowMenu();
  }
}

bool TCustomForm::IsMDIChildWindow() const {
  return FHandle && (GetWindowLongW(FHandle, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

HWND TCustomForm::MDIParentClient() const {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (!main || main == this || main->FormStyle() != fsMDIForm) return nullptr;
  main->HandleNeeded();
  return main->ClientHandle();
}

int TCustomForm::MDIChildCount() const {
  int n = 0;
  if (!FClientHandle) return 0;
  for (HWND h = GetWindow(FClientHandle, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (auto* f = dynamic_cast<TCustomForm*>(FindControl(h)); f && f->FormStyle() == fsMDIChild)
      ++n;
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int Index) const {
  int n = 0;
  if (FClientHandle)
    for (HWND h = GetWindow(FClientHandle, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
      if (auto* f = dynamic_cast<TCustomForm*>(FindControl(h)); f && f->FormStyle() == fsMDIChild)
        if (n++ == Index) return f;
  throw EListError(Format(L"List index out of bounds (%d)", {Index}));
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!FClientHandle) return nullptr;
  auto h = reinterpret_cast<HWND>(SendMessageW(FClientHandle, WM_MDIGETACTIVE, 0, 0));
  return h ? dynamic_cast<TCustomForm*>(FindControl(h)) : nullptr;
}

void TCustomForm::SetWindowMenu(TMenuItem* Value) {
  if (Value == FWindowMenu) return;
  if (FWindowMenu) FWindowMenu->RemoveFreeNotification(this);
  FWindowMenu = Value;
  if (Value) Value->FreeNotification(this);
  UpdateWindowMenu();
}

void TCustomForm::UpdateWindowMenu() {
  if (!FClientHandle) return;
  // The submenu of the window menu item, found by its command number.
  HMENU frameMenu = FMenu ? FMenu->Handle() : nullptr, sub = nullptr;
  if (frameMenu && FWindowMenu) {
    int n = GetMenuItemCount(frameMenu);
    for (int i = 0; i < n && !sub; ++i)
      if (GetSubMenu(frameMenu, i)) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_ID;
        if (GetMenuItemInfoW(frameMenu, i, TRUE, &mi) && mi.wID == FWindowMenu->Command())
          sub = GetSubMenu(frameMenu, i);
      }
  }
  // The frame's menu bar is set by SetMenu; the client only gets the window menu.
  SendMessageW(FClientHandle, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(sub));
  if (frameMenu) DrawMenuBar(FHandle);
}

TRect TCustomForm::ClientRect() {
  if (FHandle) return TWinControl::ClientRect();
  TCreateParams p;
  CreateParams(p);
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, p.Style, FMenu != nullptr, p.ExStyle);
  int w = FWidth - (r.right - r.left), h = FHeight - (r.bottom - r.top);
  return TRect(0, 0, std::max(0, w), std::max(0, h));
}

TPoint TCustomForm::ClientOrigin() {
  if (FHandle) return TWinControl::ClientOrigin();
  return TPoint(FLeft, FTop);
}

bool TCustomForm::Showing() const {
  return FHandle && IsWindowVisible(FHandle);
}

void TCustomForm::CMVisibleChanged(TMessage&) {
  if (ComponentState() & csDestroying) return;
  if (Visible()) {
    AfterConstruction();
    HandleNeeded();
    DoShow();
    if (!Visible()) return;
    int cmd = SW_SHOWNORMAL;
    if (FWindowState == wsMaximized) cmd = SW_SHOWMAXIMIZED;
    if (FWindowState == wsMinimized) cmd = SW_SHOWMINIMIZED;
    ShowWindow(FHandle, cmd);
    if (FFormStyle == fsStayOnTop)
      SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The window menu lists the visible children only.
    if (IsMDIChildWindow()) {
      SendMessageW(GetParent(FHandle), WM_MDIREFRESHMENU, 0, 0);
      BringToFront();
    }
    SetWindowFocus();
  } else {
    if (!FHandle) return;
    DoHide();
    ShowWindow(FHandle, SW_HIDE);
    if (IsMDIChildWindow()) SendMessageW(GetParent(FHandle), WM_MDIREFRESHMENU, 0, 0);
  }
}

void TCustomForm::SetWindowFocus() {
  if (!FHandle || !IsWindowVisible(FHandle)) return;
  if (!FActiveControl) FActiveControl = FindNextControl(nullptr, true, true, false);
  if (FActiveControl && FActiveControl->CanFocus())
    ::SetFocus(FActiveControl->Handle());
  else if (GetActiveWindow() == FHandle)
    ::SetFocus(FHandle);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::BringToFront() {
  if (FHandle && IsWindowVisible(FHandle) && IsMDIChildWindow()) {
    SendMessageW(GetParent(FHandle), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
    return;
  }
  if (FHandle && IsWindowVisible(FHandle)) {
    SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(FHandle);
  }
}

void TCustomForm::SetFocus() {
  if (!Visible() || !Enabled())
    throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  SetActiveWindow(Handle());
  SetWindowFocus();
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

void TCustomForm::Release() {
  if (FHandle)
    PostMessageW(FHandle, CM_RELEASE, 0, 0);
  else
    delete this;
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) FModalResult = mrNone;
}

namespace {
struct DisabledWindows {
  HWND keep;
  std::vector<HWND> list;
};
BOOL CALLBACK DisableOne(HWND h, LPARAM l) {
  auto* d = reinterpret_cast<DisabledWindows*>(l);
  if (h != d->keep && IsWindowVisible(h) && IsWindowEnabled(h)) {
    d->list.push_back(h);
    EnableWindow(h, FALSE);
  }
  return TRUE;
}
} // namespace

int TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || FModal)
    throw EInvalidOperation(L"Cannot make a visible window modal");
  if (GetCapture()) SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  AfterConstruction();
  HandleNeeded();
  HWND activeBefore = GetActiveWindow();
  DisabledWindows disabled{FHandle, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
  FModal = true;
  FModalResult = mrNone;
  TModalResult result = mrCancel;
  try {
    Show();
    do {
      Application->HandleMessage();
      if (Application->Terminated())
        FModalResult = mrCancel;
      else if (FModalResult != mrNone)
        CloseModal();
    } while (FModalResult == mrNone);
    result = FModalResult;
  } catch (...) {
    FModal = false;
    for (HWND h : disabled.list)
      EnableWindow(h, TRUE);
    Hide();
    throw;
  }
  FModal = false;
  for (HWND h : disabled.list)
    EnableWindow(h, TRUE);
  if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
  Hide();
  return result;
}

void TCustomForm::FocusControl(TWinControl* Control) {
  if (Control && (Control == this || GetParentForm(Control) != this))
    throw EInvalidOperation(L"Invalid active control");
  FActiveControl = Control;
  if (Control && FHandle && IsWindowVisible(FHandle)) ::SetFocus(Control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (Control == FFocusedControl) return;
  TWinControl* old = FFocusedControl;
  FFocusedControl = Control;
  if (Control != this) FActiveControl = Control;
  if (old && old != this) old->Perform(CM_EXIT, 0, 0);
  if (Control && Control == FFocusedControl && Control != this) Control->Perform(CM_ENTER, 0, 0);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
}

void TCustomForm::ControlRemoved(TControl* Control) {
  if (FActiveControl == Control || (FActiveControl && !ContainsControl(FActiveControl)))
    FActiveControl = nullptr;
  if (FFocusedControl == Control || (FFocusedControl && !ContainsControl(FFocusedControl)))
    FFocusedControl = nullptr;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  if (FMenu && FMenu->IsShortCut(Message)) return true;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TCustomActionList*>(Components(i)))
      if (list->IsShortCut(Message)) return true;
  return false;
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
  case WM_CLOSE:
    WMClose(m);
    break;
  case WM_ACTIVATE:
    WMActivate(m);
    break;
  case WM_MDIACTIVATE:
    // An MDI child is told when it becomes or stops being the active child.
    if (IsMDIChildWindow()) {
      bool active = reinterpret_cast<HWND>(m.LParam) == FHandle;
      if (active != FActive) {
        FActive = active;
        if (active) {
          Activate();
          Perform(CM_ACTIVATE, 0, 0);
        } else {
          Deactivate();
          Perform(CM_DEACTIVATE, 0, 0);
        }
      }
    }
    DefaultHandler(m);
    break;
  case WM_COMMAND:
    if (m.LParam == 0)
      WMCommandMenu(m);
    else
      TWinControl::Dispatch(m);
    break;
  case WM_INITMENUPOPUP:
    TMenuItem::UpdateMenuHandle(reinterpret_cast<HMENU>(m.WParam));
    DefaultHandler(m);
    break;
  case CM_RELEASE:
    delete this;
    break;
  case CM_APPSYSCOMMAND:
    m.Result = Application ? Application->SendAppMessage(m.Msg, m.WParam, m.LParam) : 0;
    break;
  case WM_QUERYENDSESSION:
    m.Result = CloseQuery() ? 1 : 0;
    break;
  default:
    TWinControl::Dispatch(m);
    break;
  }
}

void TCustomForm::WMClose(TMessage&) {
  Close();
}

void TCustomForm::WMActivate(TMessage& m) {
  bool active = LOWORD(m.WParam) != WA_INACTIVE;
  if (active != FActive) {
    FActive = active;
    if (active) {
      Activate();
      Perform(CM_ACTIVATE, 0, 0);
    } else {
      Deactivate();
      Perform(CM_DEACTIVATE, 0, 0);
    }
  }
  if (active && !HIWORD(m.WParam)) {
    if (!FActiveControl) FActiveControl = FindNextControl(nullptr, true, true, false);
    if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated()) {
      ::SetFocus(FActiveControl->Handle());
      m.Result = 0;
      return;
    }
  }
  DefaultHandler(m);
}

void TCustomForm::WMCommandMenu(TMessage& m) {
  if (HIWORD(m.WParam) <= 1 && TMenuItem::DispatchCommand(LOWORD(m.WParam))) return;
  DefaultHandler(m);
}

void TCustomForm::CMDialogKey(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  if (key == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
    SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
    m.Result = 1;
    return;
  }
  TWinControl::CMDialogKey(m);
}

void TCustomForm::CMTextChanged(TMessage& m) {
  TWinControl::CMTextChanged(m);
}

void TCustomForm::PaintWindow(HDC DC) {
  FCanvas->Lock();
  FCanvas->SetHandle(DC);
  try {
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetColor(Color());
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

// ---------------------------------------------------------------------------
// THintWindow

namespace {
// Space between the hint window's border and its text.
const int kHintMarginX = 4, kHintMarginY = 2;
const DWORD kHintStyle = WS_POPUP | WS_BORDER, kHintExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
} // namespace

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetVisible(false);
  SetParentColor(false);
  SetColor(Application ? Application->HintColor() : clInfoBk);
  SetParentFont(false);
  if (Screen) Font()->Assign(Screen->HintFont());
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = kHintStyle;
  p.ExStyle = kHintExStyle;
  p.WndParent = nullptr;
  p.WindowClass.style = CS_SAVEBITS | CS_DROPSHADOW;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::wstring& AHint, void*) {
  if (MaxWidth <= 0) MaxWidth = Screen ? Screen->Width() : 800;
  // The window is the text (measured with the font Paint draws with), its
  // margins and the border around them.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, kHintStyle, FALSE, kHintExStyle);
  int frameX = frame.right - frame.left, frameY = frame.bottom - frame.top;
  RECT r{0, 0, std::max(1, MaxWidth - frameX - 2 * kHintMarginX), 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  DrawTextW(dc, AHint.c_str(), static_cast<int>(AHint.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return TRect(0, 0, r.right + 2 * kHintMarginX + frameX, r.bottom + 2 * kHintMarginY + frameY);
}

void THintWindow::ActivateHint(const TRect& Rect, const std::wstring& AHint) {
  SetCaption(AHint);
  TRect r = Rect;
  if (Screen) {
    TRect area = Screen->WorkAreaRect();
    if (r.Right > area.Right) r.Offset(area.Right - r.Right, 0);
    if (r.Left < area.Left) r.Offset(area.Left - r.Left, 0);
    if (r.Bottom > area.Bottom) r.Offset(0, area.Bottom - r.Bottom);
  }
  HandleNeeded();
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  SetWindowPos(FHandle, HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated()) ShowWindow(FHandle, SW_HIDE);
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  r.Inflate(-kHintMarginX, -kHintMarginY);
  // The hint font is selected here: a bare DrawText on the canvas would use
  // whatever font the DC holds, not the one CalcHintRect measured with.
  std::wstring text = Caption();
  HDC dc = Canvas()->Handle();
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  COLORREF oldColor = SetTextColor(dc, ColorToRGB(clInfoText));
  int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), r.R(),
            DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldFont);
}

void THintWindow::Dispatch(TMessage& m) {
  if (m.Msg == WM_NCHITTEST) {
    m.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::Dispatch(m);
}

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(new TIcon) {
  std::wstring exe = ExeName();
  std::wstring name = ExtractFileName(exe);
  FTitle = ChangeFileExt(name, L"");
  HintWindowClass = [](TComponent* Owner) { return new THintWindow(Owner); };
}

TApplication::~TApplication() {
  DestroyForms();
  if (FHandle) DeallocateHWnd(FHandle);
  FHandle = nullptr;
}

void TApplication::DestroyForms() {
  FDestroying = true;
  CancelHint();
  Destroying();
  DestroyComponents();
  FHintWindow = nullptr;
}

void TApplication::Initialize() {
  auto& h = Hooks();
  while (h.ran < h.inits.size()) {
    auto f = h.inits[h.ran++];
    if (f) f();
  }
  FInitialized = true;
}

void TApplication::SetTitle(const std::wstring& Value) {
  FTitle = Value;
  if (FHandle) SetWindowTextW(FHandle, Value.c_str());
}

HWND TApplication::Handle() {
  if (!FHandle) {
    FHandle = AllocateHWnd([this](TMessage& m) { AppMessage(m); });
    SetWindowTextW(FHandle, FTitle.c_str());
  }
  return FHandle;
}

std::wstring TApplication::ExeName() const {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
  return std::wstring(buf, n);
}

int TApplication::HookMainWindow(TWindowHook Hook) {
  if (!Hook) return 0;
  FWindowHooks.emplace_back(++FLastHookId, std::move(Hook));
  return FLastHookId;
}

void TApplication::UnhookMainWindow(int Id) {
  std::erase_if(FWindowHooks, [Id](const auto& h) { return h.first == Id; });
}

LRESULT TApplication::SendAppMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  AppMessage(m);
  return m.Result;
}

void TApplication::AppMessage(TMessage& m) {
  try {
    // A hook may remove itself or others while it runs.
    std::vector<int> ids;
    for (auto it = FWindowHooks.rbegin(); it != FWindowHooks.rend(); ++it)
      ids.push_back(it->first);
    for (int id : ids) {
      auto it = std::find_if(FWindowHooks.begin(), FWindowHooks.end(),
                             [id](const auto& h) { return h.first == id; });
      if (it == FWindowHooks.end()) continue;
      TWindowHook hook = it->second;
      if (hook(m)) return;
    }
    AppWndProc(m);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::AppWndProc(TMessage& m) {
  switch (m.Msg) {
  case CM_APPKEYDOWN: {
    TMessage key;
    key.Msg = WM_KEYDOWN;
    key.WParam = m.WParam;
    key.LParam = m.LParam;
    m.Result = !FDestroying && IsShortCut(key) ? 1 : 0;
    break;
  }
  case CM_APPSYSCOMMAND: {
    // The main form's menu answers SC_KEYMENU of another form.
    m.Result = 0;
    auto* sys = reinterpret_cast<TMessage*>(m.LParam);
    if (FDestroying || !sys || !FMainForm || !FMainForm->HandleAllocated()) break;
    HWND h = FMainForm->Handle();
    if (!IsWindowEnabled(h) || !IsWindowVisible(h)) break;
    FMainForm->Perform(WM_SYSCOMMAND, sys->WParam, sys->LParam);
    m.Result = 1;
    break;
  }
  case WM_TIMER:
    if (m.WParam == kHintShowTimer) {
      KillTimer(FHandle, kHintShowTimer);
      ShowHintNow();
    } else if (m.WParam == kHintHideTimer) {
      CancelHint();
    }
    break;
  default:
    m.Result = DefWindowProcW(FHandle, m.Msg, m.WParam, m.LParam);
    break;
  }
}

void TApplication::CreateFormWith(const std::function<TCustomForm*()>& Make) {
  try {
    TCustomForm* f = Make();
    if (!FMainForm) FMainForm = f;
    f->AfterConstruction();
  } catch (...) {
    HandleException(this);
    // A form the program cannot build ends it.
    FTerminated = true;
  }
}

void TApplication::Run() {
  struct AtEnd {
    ~AtEnd() {
      static bool registered = false;
      if (!registered) registered = std::atexit(DoneApplication) == 0;
    }
  } atEnd;
  if (!FInitialized) Initialize();
  if (FTerminated || !FMainForm) return;
  try {
    if (ShowMainForm) FMainForm->Show();
  } catch (...) {
    HandleException(this);
  }
  while (!FTerminated)
    HandleMessage();
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool handled = false;
  try {
    if (OnMessage) OnMessage(Msg, handled);
  } catch (...) {
    HandleException(this);
    handled = true;
  }
  if (!handled && (Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN) && FMainForm &&
      FMainForm->ClientHandle() && TranslateMDISysAccel(FMainForm->ClientHandle(), &Msg))
    handled = true;
  if (!handled) {
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Idle() {
  try {
    UpdateMouseControl();
    HintCursorMoved();
    UpdateAllActionLists();
    bool done = true;
    if (OnIdle) OnIdle(this, done);
    if (!done) return;
  } catch (...) {
    HandleException(this);
  }
  if (!FTerminated) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr ep = std::current_exception();
  if (!ep) return;
  try {
    std::rethrow_exception(ep);
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    if (OnException) {
      try {
        OnException(Sender, e);
      } catch (...) {
      }
    } else {
      ShowException(e);
    }
  } catch (const std::exception& e) {
    Exception wrapped(Utf8ToWide(e.what()));
    if (OnException)
      OnException(Sender, wrapped);
    else
      ShowException(wrapped);
  } catch (...) {
    ShowException(Exception(L"Unknown error"));
  }
}

void TApplication::ShowException(const Exception& E) {
  MessageBox(E.Message(), FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::wstring& Text, const std::wstring& Caption, UINT Flags) {
  HWND owner = GetActiveWindow();
  if (!owner && FMainForm && FMainForm->HandleAllocated()) owner = FMainForm->Handle();
  CancelHint();
  return ::MessageBoxW(owner, Text.c_str(), Caption.c_str(), Flags);
}

bool TApplication::HelpCommand(UINT Command, ULONG_PTR Data) {
  bool callHelp = true, served = false;
  if (OnHelp) served = OnHelp(Command, Data, callHelp);
  if (!callHelp || HelpFile.empty()) return served;
  // HTML Help shows a context's topic for both (HH_HELP_CONTEXT).
  if (Command != HELP_CONTEXT && Command != HELP_CONTEXTPOPUP) return served;
  HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : FHandle;
  return ShowHtmlHelp(owner, HelpFile, 0x000F, Data) != 0 || served;
}

bool TApplication::IsShortCut(TMessage& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  return FMainForm && FMainForm->HandleAllocated() && IsWindowEnabled(FMainForm->Handle()) &&
         FMainForm->IsShortCut(Message);
}

void TApplication::Minimize() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_RESTORE);
}

void TApplication::BringToFront() {
  if (FMainForm) FMainForm->BringToFront();
}

void TApplication::SetShowHint(bool Value) {
  if (Value == FShowHint) return;
  FShowHint = Value;
  if (!Value) {
    CancelHint();
    delete FHintWindow;
    FHintWindow = nullptr;
  }
}

void TApplication::SetHint(const std::wstring& Value) {
  if (Value == FHint) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}

namespace {
std::wstring HintOf(TControl* c) {
  for (; c; c = c->Parent())
    if (!c->Hint().empty()) return c->Hint();
  return L"";
}
} // namespace

void TApplication::MouseControlChanged(TControl* Control) {
  if (FDestroying) return;
  SetHint(GetLongHint(HintOf(Control)));
  if (Control == FHintControl) return;
  bool wasShowing = FHintActive;
  CancelHint();
  // A control may give each of its parts a hint of its own (CM_HINTSHOW)
  // while it has none itself.
  if (!FShowHint || !Control || !Control->ShowHint()) return;
  FHintControl = Control;
  FHintCursorRect = TRect();
  bool recent = wasShowing || (GetTickCount() - FHintHiddenAt) < 500;
  SetTimer(Handle(), kHintShowTimer, recent ? FHintShortPause : FHintPause, nullptr);
}

void TApplication::ActivateHint(const TPoint&) {
  TControl* c = MouseControl();
  if (!c) return;
  FHintControl = c;
  ShowHintNow();
}

void TApplication::ShowHintNow() {
  TControl* c = FHintControl;
  if (!c || !FShowHint) return;
  THintInfo info;
  info.HintControl = c;
  POINT cursor;
  GetCursorPos(&cursor);
  info.CursorPos = c->ScreenToClient(cursor);
  info.CursorRect = c->ClientRect();
  info.HintPos = TPoint(cursor.x, cursor.y + 20);
  info.HintMaxWidth = Screen ? Screen->Width() : 800;
  info.HintColor = FHintColor;
  info.HideTimeout = FHintHidePause;
  info.HintStr = GetShortHint(HintOf(c));
  bool canShow = c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
  // Until a hint shows, every move of the pointer starts the pause again.
  FHintCursorRect = TRect();
  if (!canShow || info.HintStr.empty()) return;
  if (!FHintWindow) {
    FHintWindow = HintWindowClass ? HintWindowClass(this) : new THintWindow(this);
  }
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  r.Offset(info.HintPos.X, info.HintPos.Y);
  FHintWindow->ActivateHint(r, info.HintStr);
  FHintCursorRect = info.CursorRect;
  FHintActive = true;
  if (info.HideTimeout > 0) SetTimer(Handle(), kHintHideTimer, info.HideTimeout, nullptr);
}

void TApplication::HintCursorMoved() {
  POINT p;
  if (!GetCursorPos(&p) || (p.x == FHintLastCursor.x && p.y == FHintLastCursor.y)) return;
  FHintLastCursor = p;
  if (!FHintControl || FHintCursorRect.Contains(FHintControl->ScreenToClient(TPoint(p.x, p.y))))
    return;
  // Left the part the hint belongs to: the hint of the part now under the
  // pointer comes after the pause.
  TControl* c = FHintControl;
  bool wasShowing = FHintActive;
  CancelHint();
  FHintControl = c;
  SetTimer(Handle(), kHintShowTimer, wasShowing ? FHintShortPause : FHintPause, nullptr);
}

void TApplication::CancelHint() {
  if (FHandle) {
    KillTimer(FHandle, kHintShowTimer);
    KillTimer(FHandle, kHintHideTimer);
  }
  if (FHintActive) FHintHiddenAt = GetTickCount();
  FHintActive = false;
  FHintControl = nullptr;
  if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (Control == FHintControl) CancelHint();
  if (Control == FHintWindow) FHintWindow = nullptr;
}

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner), FHintFont(new TFont) {
  HDC dc = GetDC(nullptr);
  FPixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
    HFONT f = CreateFontIndirectW(&ncm.lfStatusFont);
    FHintFont->SetHandle(f);
    DeleteObject(f);
  }
}

TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
}

namespace {
std::vector<TCustomForm*> SortedForms(const std::vector<TCustomForm*>& forms) {
  std::vector<TCustomForm*> out;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
    for (TCustomForm* f : forms)
      if (f->HandleAllocated() && f->Handle() == h) out.push_back(f);
  }
  for (TCustomForm* f : forms)
    if (std::find(out.begin(), out.end(), f) == out.end()) out.push_back(f);
  return out;
}
} // namespace

int TScreen::FormCount() const {
  return static_cast<int>(FForms.size());
}

TCustomForm* TScreen::Forms(int Index) const {
  auto sorted = SortedForms(FForms);
  if (Index < 0 || Index >= static_cast<int>(sorted.size()))
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return sorted[Index];
}

TCustomForm* TScreen::ActiveForm() const {
  HWND active = GetActiveWindow();
  for (TCustomForm* f : FForms)
    if (f->HandleAllocated() && f->Handle() == active) return f;
  return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
  TCustomForm* f = ActiveForm();
  return f ? f->ActiveControl() : nullptr;
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  if (Value == crDefault) {
    POINT p;
    GetCursorPos(&p);
    SetCursorPos(p.x, p.y); // makes the window under the mouse set its own again
  } else {
    ::SetCursor(Cursors(Value));
  }
}

HCURSOR TScreen::Cursors(int Index) const {
  for (auto& e : FCursors)
    if (e.first == Index) return e.second;
  const wchar_t* id = IDC_ARROW;
  switch (Index) {
  case crNone:
    return nullptr;
  case crCross:
    id = IDC_CROSS;
    break;
  case crIBeam:
    id = IDC_IBEAM;
    break;
  case crSizeNESW:
    id = IDC_SIZENESW;
    break;
  case crSizeNS:
  case crVSplit:
    id = IDC_SIZENS;
    break;
  case crSizeNWSE:
    id = IDC_SIZENWSE;
    break;
  case crSizeWE:
  case crHSplit:
    id = IDC_SIZEWE;
    break;
  case crUpArrow:
    id = IDC_UPARROW;
    break;
  case crHourGlass:
  case crSQLWait:
    id = IDC_WAIT;
    break;
  case crNo:
  case crNoDrop:
    id = IDC_NO;
    break;
  case crAppStart:
    id = IDC_APPSTARTING;
    break;
  case crHelp:
    id = IDC_HELP;
    break;
  case crHandPoint:
    id = IDC_HAND;
    break;
  case crSizeAll:
    id = IDC_SIZEALL;
    break;
  default:
    break;
  }
  return LoadCursorW(nullptr, id);
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
  auto it =
      std::find_if(FCursors.begin(), FCursors.end(), [&](auto& e) { return e.first == Index; });
  if (!Handle) {
    if (it != FCursors.end()) FCursors.erase(it);
    return;
  }
  if (it != FCursors.end())
    it->second = Handle;
  else
    FCursors.emplace_back(Index, Handle);
}

TRect TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

namespace {
int CALLBACK AddFontFamily(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM l) {
  auto* list = reinterpret_cast<TStringList*>(l);
  std::wstring name = lf->lfFaceName;
  if (!name.empty() && name[0] != L'@' && list->IndexOf(name) < 0) list->Add(name);
  return 1;
}
} // namespace

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    FFonts = std::make_unique<TStringList>();
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &lf, AddFontFamily, reinterpret_cast<LPARAM>(FFonts.get()), 0);
    ReleaseDC(nullptr, dc);
    FFonts->Sort();
  }
  return FFonts.get();
}
