// Forms, the application object with its message loop, the screen, and hint windows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Strings.h"

class TMainMenu;
class TMenuItem;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = std::function<void(TMessage& Msg, bool& Handled)>;

// ---------------------------------------------------------------------------
// Forms. A form class's constructor creates its components; the form is
// finished by AfterConstruction (Loaded on every component, then OnCreate),
// which CreateForm, Show and ShowModal call when it has not run yet.

class TCustomForm : public TWinControl {
public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  void AfterConstruction() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Value);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  TIcon* Icon() const { return FIcon.get(); }
  TCanvas* Canvas() const { return FCanvas.get(); }
  // The form is the foreground window of the program.
  bool Active() const { return FActive; }
  bool Modal() const { return FModal; }

  void Show();
  // Shows the form modally; returns its ModalResult (mrCancel when closed).
  virtual int ShowModal();
  // Hides (or, for the main form, ends the program) after OnCloseQuery and OnClose.
  void Close();
  // Frees the form once the messages now queued have been handled.
  void Release();
  virtual bool CloseQuery();
  void SetFocus() override;
  void BringToFront();

  // Focuses Control (or remembers it while the form is hidden).
  void FocusControl(TWinControl* Control);
  // Tells the form that Control got the keyboard focus.
  void SetFocusedControl(TWinControl* Control);
  // Menus, action lists owned by the form and OnShortCut.
  virtual bool IsShortCut(TMessage& Message);
  void SendCancelMode(TControl* Sender);
  void ControlRemoved(TControl* Control);

  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  bool Showing() const override;

  // MDI. An fsMDIForm form holds an "MDICLIENT" window (ClientHandle) in the
  // part of its client area that its aligned controls leave; fsMDIChild
  // forms are children of the main form's MDI client.
  HWND ClientHandle() const { return FClientHandle; }
  // The children in stacking order, the topmost first.
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int Index) const;
  TCustomForm* ActiveMDIChild() const;
  // The item of Menu whose submenu lists the children.
  TMenuItem* WindowMenu() const { return FWindowMenu; }
  void SetWindowMenu(TMenuItem* Value);

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TShortCutEvent OnShortCut;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void DestroyWnd() override;
  void DefaultHandler(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;
  void PaintWindow(HDC DC) override;
  virtual void Paint();
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  void CMVisibleChanged(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  virtual void WMClose(TMessage& Message);
  virtual void WMActivate(TMessage& Message);
  virtual void WMCommandMenu(TMessage& Message);

private:
  void CloseModal();
  void PlaceOnScreen();
  void SetWindowFocus();
  bool IsMDIChildWindow() const;
  HWND MDIParentClient() const;
  void UpdateWindowMenu();
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  bool FKeyPreview = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TModalResult FModalResult = mrNone;
  TMainMenu* FMenu = nullptr;
  std::unique_ptr<TIcon> FIcon;
  std::unique_ptr<TControlCanvas> FCanvas;
  bool FActive = false;
  bool FModal = false;
  bool FCreated = false;
  bool FPlaced = false;
  HWND FClientHandle = nullptr;
  TMenuItem* FWindowMenu = nullptr;
};

class TForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
};

// ---------------------------------------------------------------------------
// Hint windows

class THintWindow : public TCustomControl {
public:
  explicit THintWindow(TComponent* AOwner);
  // Shows Hint in Rect (screen coordinates).
  virtual void ActivateHint(const TRect& Rect, const std::wstring& AHint);
  // The size the hint needs, at the origin.
  virtual TRect CalcHintRect(int MaxWidth, const std::wstring& AHint, void* AData);
  void ReleaseHandle();

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

using THintWindowClass = std::function<THintWindow*(TComponent* Owner)>;
using TShowHintEvent =
    std::function<void(std::wstring& HintStr, bool& CanShow, THintInfo& HintInfo)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
// A hook of the application window's messages; true when it used the message.
using TWindowHook = std::function<bool(TMessage& Message)>;
using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
// A help request (HELP_CONTEXT, HELP_CONTEXTPOPUP...); CallHelp false keeps
// the help file from being opened. Answers whether the request was served.
using THelpEvent = std::function<bool(UINT Command, ULONG_PTR Data, bool& CallHelp)>;

// ---------------------------------------------------------------------------
// Application

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // Runs the registered start-up procedures (once).
  void Initialize();
  const std::wstring& Title() const { return FTitle; }
  void SetTitle(const std::wstring& Value);
  // Creates a form owned by the application; the first becomes the main
  // form. An exception while creating it is shown and ends the program.
  template <class T> void CreateForm(T*& Reference) {
    CreateFormWith([&]() -> TCustomForm* {
      Reference = nullptr;
      Reference = new T(this);
      return Reference;
    });
  }
  void CreateFormWith(const std::function<TCustomForm*()>& Make);
  // Shows the main form and handles messages until it closes.
  void Run();
  void ProcessMessages();
  // Handles one message, or idles and waits when there is none.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Frees the forms and other components the application owns (at exit,
  // after the message loop; the application object itself stays).
  void DestroyForms();
  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* Value) { FMainForm = Value; }
  bool ShowMainForm = true;
  // The application's hidden window.
  HWND Handle();
  std::wstring ExeName() const;
  TIcon* Icon() const { return FIcon.get(); }
  void Minimize();
  void Restore();
  void BringToFront();

  // Shows the exception being handled (call from a catch block); EAbort is silent.
  void HandleException(TObject* Sender);
  void ShowException(const Exception& E);
  int MessageBox(const std::wstring& Text, const std::wstring& Caption, UINT Flags = MB_OK);
  // Application-wide shortcuts (OnShortCut, then the main form's).
  bool IsShortCut(TMessage& Message);

  // Hooks of the application window's messages: each hook sees a message
  // first, newest hook first; returning true ends its handling. Keys no
  // control used arrive as CM_APPKEYDOWN (WParam: key, LParam: key data),
  // SC_KEYMENU of a form other than the main form as CM_APPSYSCOMMAND
  // (LParam: the WM_SYSCOMMAND TMessage*). Returns an id for UnhookMainWindow.
  int HookMainWindow(TWindowHook Hook);
  void UnhookMainWindow(int Id);
  // Handles a message as the application window would (on this thread).
  LRESULT SendAppMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

  // Hints.
  int HintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int Value) { FHintShortPause = Value; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int Value) { FHintHidePause = Value; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  bool ShowHint() const { return FShowHint; }
  // Turning hints off frees the hint window; it is made again from
  // HintWindowClass when next needed.
  void SetShowHint(bool Value);
  // The long part of the hint of the control under the mouse.
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& Value);
  void CancelHint();
  // Shows the hint of the control under the mouse now.
  void ActivateHint(const TPoint& CursorPos);
  THintWindow* HintWindow() const { return FHintWindow; }
  THintWindowClass HintWindowClass;

  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;
  TShortCutEvent OnShortCut;

  // Help: OnHelp first, then the HTML Help file (HelpFile) when set.
  std::wstring HelpFile;
  THelpEvent OnHelp;
  bool HelpCommand(UINT Command, ULONG_PTR Data);
  bool HelpContext(int Context) {
    return HelpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(Context));
  }

  // Called by controls.
  void MouseControlChanged(TControl* Control);
  // The pointer moved: over a control with a hint per part (a toolbar's
  // items) the hint follows it from part to part.
  void HintCursorMoved();
  void ControlDestroyed(TControl* Control);

private:
  bool ProcessMessage(MSG& Msg);
  void Idle();
  void AppWndProc(TMessage& Message);
  void AppMessage(TMessage& Message);
  std::vector<std::pair<int, TWindowHook>> FWindowHooks;
  int FLastHookId = 0;
  void ShowHintNow();
  std::wstring FTitle;
  TCustomForm* FMainForm = nullptr;
  HWND FHandle = nullptr;
  bool FTerminated = false;
  bool FInitialized = false;
  bool FDestroying = false;
  std::unique_ptr<TIcon> FIcon;
  int FHintPause = 500, FHintShortPause = 50, FHintHidePause = 2500;
  TColor FHintColor = clInfoBk;
  bool FShowHint = true;
  std::wstring FHint;
  TControl* FHintControl = nullptr;
  TRect FHintCursorRect; // the part of FHintControl the shown hint belongs to
  POINT FHintLastCursor{-1, -1};
  THintWindow* FHintWindow = nullptr;
  DWORD FHintHiddenAt = 0;
  bool FHintActive = false;
};

// ---------------------------------------------------------------------------
// Screen

class TScreen : public TComponent {
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // Forms in stacking order, the topmost first.
  int FormCount() const;
  TCustomForm* Forms(int Index) const;
  TCustomForm* ActiveForm() const;
  TCustomForm* ActiveCustomForm() const { return ActiveForm(); }
  TWinControl* ActiveControl() const;

  // The cursor shown over every form (crDefault = each control's own).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor table; unknown numbers give the arrow. Setting a null
  // handle removes a custom entry.
  HCURSOR Cursors(int Index) const;
  void SetCursors(int Index, HCURSOR Handle);

  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  TRect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().Left; }
  int WorkAreaTop() const { return WorkAreaRect().Top; }
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  int PixelsPerInch() const { return FPixelsPerInch; }
  // Installed font families, sorted.
  TStrings* Fonts();
  TFont* HintFont() const { return FHintFont.get(); }

  // Kept by forms.
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);

private:
  std::vector<TCustomForm*> FForms;
  std::vector<std::pair<int, HCURSOR>> FCursors;
  TCursor FCursor = crDefault;
  int FPixelsPerInch = 96;
  std::unique_ptr<TStringList> FFonts;
  std::unique_ptr<TFont> FHintFont;
};

extern TApplication* Application;
extern TScreen* Screen;

// Start-up and exit procedures of a library unit: Init runs in
// Application->Initialize (in registration order), Done at exit (reverse).
void AddUnitHooks(std::function<void()> Init, std::function<void()> Done);

// Shortcut handling of a key message arriving at Control: popup menus of
// the control and its parents, its form, then the application.
bool IsMenuKey(TWinControl* Control, TMessage& Message);

// Places Form at the centre of Opener: top = opener top + (opener height -
// form height) / 2, likewise left, the halves truncating toward zero.
// Nothing happens without either.
void CentreOn(TCustomForm* Form, TCustomForm* Opener);
