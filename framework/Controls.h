// Controls: the visual component base (TControl), windowed controls with one
// window procedure each (TWinControl), self-painted controls
// (TCustomControl), windowless controls painted by their parent
// (TGraphicControl), and hooks on any window's procedure (TWindowSubclass).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;
class TDockTree;

// ---------------------------------------------------------------------------
// Enumerations and sets

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

using TAnchors = unsigned;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Right-to-left modes: bdRightToLeft mirrors alignment and reads right to
// left; bdRightToLeftNoAlign only reads right to left and puts the scroll bar
// on the left; bdRightToLeftReadingOnly only reads right to left.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// dkDock: dragging the control docks it into a dock site (or floats it).
enum TDragKind { dkDrag, dkDock };
enum TDragMode { dmManual, dmAutomatic };

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT,
                       mrRetry = IDRETRY, mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO,
                       mrAll = mrNo + 1, mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;

using TControlStyle = unsigned;
constexpr TControlStyle csAcceptsControls = 1u << 0, csCaptureMouse = 1u << 1,
                        csDesignInteractive = 1u << 2, csClickEvents = 1u << 3, csFramed = 1u << 4,
                        csSetCaption = 1u << 5, csOpaque = 1u << 6, csDoubleClicks = 1u << 7,
                        csFixedWidth = 1u << 8, csFixedHeight = 1u << 9,
                        csNoDesignVisible = 1u << 10, csReplicatable = 1u << 11,
                        csNoStdEvents = 1u << 12, csDisplayDragImage = 1u << 13,
                        csReflector = 1u << 14, csActionClient = 1u << 15, csMenuEvents = 1u << 16,
                        csNeedsBorderPaint = 1u << 17, csParentBackground = 1u << 18;

using TControlState = unsigned;
constexpr TControlState csLButtonDown = 1u << 0, csClicked = 1u << 1, csPalette = 1u << 2,
                        csReadingState = 1u << 3, csAlignmentNeeded = 1u << 4, csFocusing = 1u << 5,
                        csCreating = 1u << 6, csPaintCopy = 1u << 7, csCustomPaint = 1u << 8,
                        csDestroyingHandle = 1u << 9, csDocking = 1u << 10;

// ---------------------------------------------------------------------------
// Events

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, wchar_t& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;

// What a hint is about to show (CM_HINTSHOW's LParam, the show-hint event).
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint HintPos; // screen position of the hint window
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect; // client rectangle the hint belongs to
  TPoint CursorPos; // client position of the mouse
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  std::wstring HintStr;
  void* HintData = nullptr;
};

// ---------------------------------------------------------------------------
// Canvas of a control: its window's DC (a windowless control draws on its
// parent's, moved to its own origin).

class TControlCanvas : public TCanvas {
public:
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  // Releases a DC the canvas took for itself.
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  TControl* FControl = nullptr;
  HDC FDC = nullptr;
  HWND FWnd = nullptr;
};

// ---------------------------------------------------------------------------
// Size constraints: limits a control's width and height (0 = no limit).

class TSizeConstraints : public TPersistent {
public:
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value) { Change(FMinWidth, Value); }
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value) { Change(FMaxWidth, Value); }
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int Value) { Change(FMinHeight, Value); }
  int MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int Value) { Change(FMaxHeight, Value); }
  // Brings a size within the limits.
  void Apply(int& Width, int& Height) const;
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

private:
  void Change(int& Field, int Value);
  int FMinWidth = 0, FMaxWidth = 0, FMinHeight = 0, FMaxHeight = 0;
};

// ---------------------------------------------------------------------------
// TControl

class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Placement, relative to the parent's client area (screen for top-level forms).
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  virtual void SetClientSize(int W, int H);
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(const TPoint& P);
  TPoint ScreenToClient(const TPoint& P);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);
  // Limits of the size; a change brings the present size within them.
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }

  // State and look.
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible here and in every parent up to a shown window.
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  const std::wstring& Caption() const { return FText; }
  void SetCaption(const std::wstring& Value) { SetText(Value); }
  virtual std::wstring Text() const { return FText; }
  virtual void SetText(const std::wstring& Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // Right-to-left: the mode, taken from the parent while ParentBiDiMode.
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value);
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftScrollBar() const {
    return FBiDiMode == bdRightToLeft || FBiDiMode == bdRightToLeftNoAlign;
  }
  // The alignment the control draws its text with, before mirroring.
  virtual TAlignment GetControlsAlignment() const { return taLeftJustify; }
  // An alignment as shown: left and right swapped with right-to-left alignment.
  TAlignment MirroredAlignment(TAlignment Value) const;
  // DrawText flags for this mode: DT_LEFT/DT_RIGHT swapped with right-to-left
  // alignment, DT_RTLREADING added with right-to-left reading.
  UINT DrawTextBiDiModeFlags(UINT Flags) const;

  // Docking. A control with DragKind dkDock is dragged into dock sites.
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  // The site the control is docked in (null when not docked).
  TWinControl* HostDockSite() const { return FHostDockSite; }
  // The window the control floats in after an undock (null when none).
  TWinControl* FloatingDockForm() const { return FFloatForm; }
  // Size the control takes when it floats.
  int UndockWidth() const { return FUndockWidth > 0 ? FUndockWidth : FWidth; }
  int UndockHeight() const { return FUndockHeight > 0 ? FUndockHeight : FHeight; }
  // Starts a drag at the cursor; without Immediate only after the mouse
  // moved Threshold pixels (-1: the system's drag distance).
  void BeginDrag(bool Immediate, int Threshold = -1);
  static bool DockDragging();
  // Docks the control into NewDockSite next to DropControl (on its
  // ControlSide); a null site makes it float.
  void ManualDock(TWinControl* NewDockSite, TControl* DropControl = nullptr,
                  TAlign ControlSide = alNone);
  // Undocks the control into a floating tool window at ScreenPos.
  void ManualFloat(const TRect& ScreenPos);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  // Sets or clears csOpaque.
  void SetOpaque(bool Value) {
    if (Value)
      FControlStyle |= csOpaque;
    else
      FControlStyle &= ~csOpaque;
  }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  bool IsControl() const { return FIsControl; }

  // The action this control follows (caption, hint, enabled, visible, click).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }
  // Called by the action link when the action changed (CheckDefaults: only
  // properties still at their defaults are taken).
  virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);

  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // Messages.
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  // The replaceable entry of every message (initially WndProc).
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  // Sends the message to its handler; unknown messages go to DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  virtual void Invalidate();
  void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();
  virtual bool Focused() const { return false; }

  virtual void Click();
  virtual void DblClick();

  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TMouseWheelEvent OnMouseWheel;

protected:
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void Resize();
  virtual void DoContextPopup(const TPoint& MousePos, bool& Handled);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos);
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual void AdjustSize();
  virtual void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Asks the parent to align its controls again.
  void RequestAlign();
  // Repaints the part of the parent this control covers.
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  virtual void SetZOrder(bool TopMost);
  virtual void UpdateBoundsRect(const TRect& R);
  void SendCancelMode(TControl* Sender);

  // Message handlers (base behaviour; overrides call the base to keep it).
  virtual void WMLButtonDown(TMessage& Message);
  virtual void WMLButtonUp(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void WMRButtonDown(TMessage& Message);
  virtual void WMRButtonUp(TMessage& Message);
  virtual void WMRButtonDblClk(TMessage& Message);
  virtual void WMMButtonDown(TMessage& Message);
  virtual void WMMButtonUp(TMessage& Message);
  virtual void WMMButtonDblClk(TMessage& Message);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
  virtual void CMShowHintChanged(TMessage& Message);
  virtual void CMParentShowHintChanged(TMessage& Message);
  virtual void CMHintShow(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);
  virtual void CMMouseWheel(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message);
  virtual void CMBiDiModeChanged(TMessage& Message);
  virtual void CMParentBiDiModeChanged(TMessage& Message);

  // Fields derived classes use directly.
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  std::wstring FText;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState FControlState = 0;
  bool FIsControl = false;

private:
  friend class TWinControl;
  friend class TControlActionLink;
  void FontChanged(TObject* Sender);
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);
  void RememberAnchors();
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TSizeConstraints> FConstraints;
  TColor FColor = clWindow;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentColor = true;
  bool FParentFont = true;
  bool FShowHint = false;
  bool FParentShowHint = true;
  bool FAutoSize = false;
  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  TRect FAnchorBase;         // bounds when the anchors were last taken
  TSize FAnchorParentSize{}; // parent client size at that moment
  bool FAnchorsKnown = false;
  std::wstring FHint;
  TPopupMenu* FPopupMenu = nullptr;
  TCursor FCursor = crDefault;
  std::unique_ptr<TControlActionLink> FActionLink;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TDragKind FDragKind = dkDrag;
  TDragMode FDragMode = dmManual;
  TWinControl* FHostDockSite = nullptr;
  TWinControl* FFloatForm = nullptr;
  int FUndockWidth = 0, FUndockHeight = 0;
};

// ---------------------------------------------------------------------------
// TWinControl

struct TCreateParams {
  std::wstring Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSW WindowClass{};
  std::wstring WinClassName;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // Paints the client area into DC at its origin, as WM_PAINT would.
  void PaintClientTo(HDC DC);
  // The window, created with its parents on first use.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // Destroys the window and makes it again with the current parameters.
  void RecreateWnd();
  // The window procedure the window class came with (the system control's).
  WNDPROC DefWndProc() const { return FDefWndProc; }
  // Hosts the control in a window that is not a framework control.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  // Children in z-order, bottom first.
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The child at a client position (windowless ones only unless AllowWinControls).
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);

  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel > 0; }

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  int TabOrder() const;
  void SetTabOrder(int Value);
  // Windowed children in tab order, recursively.
  void GetTabOrderList(std::vector<TWinControl*>& List);
  virtual bool CanFocus() const;
  bool Focused() const override;
  virtual void SetFocus();
  // Focuses the next (or previous) control after CurControl.
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                               bool CheckParent);

  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }
  // Docking: a dock site takes dragged controls; with UseDockManager its
  // dock manager lays them out and draws their grabbers.
  bool DockSite() const { return FDockSite; }
  void SetDockSite(bool Value);
  bool UseDockManager() const { return FUseDockManager; }
  void SetUseDockManager(bool Value);
  TDockTree* DockManager() const { return FDockManager.get(); }
  int DockClientCount() const { return static_cast<int>(FDockClients.size()); }
  TControl* DockClients(int Index) const { return FDockClients.at(Index); }

  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  // The background brush (Color).
  TBrush* Brush() const { return FBrush.get(); }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  bool Showing() const override;
  void Invalidate() override;
  void Repaint() override;
  void SetParent(TWinControl* AParent) override;
  void DefaultHandler(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  // Draws the windowless children onto DC (from First onwards, or all).
  void PaintControls(HDC DC, TControl* First);
  // Broadcasts a message to every child; stops at the first non-zero result.
  void Broadcast(TMessage& Message);
  // Sends a message to every child (no result).
  void NotifyControls(UINT Msg);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  virtual void CreateParams(TCreateParams& Params);
  // Makes the window from CreateParams (registers the class first).
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void CreateHandle();
  void DestroyHandle();
  // Makes the control a subclass of a system window class ("BUTTON", "EDIT", ...).
  void CreateSubClass(TCreateParams& Params, const wchar_t* ControlClassName);
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& /*Rect*/) {}
  // The manager a dock site with UseDockManager gets (a TDockTree).
  virtual TDockTree* CreateDockManager();
  void CMBiDiModeChanged(TMessage& Message) override;
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(wchar_t& Key);
  virtual void DoEnter();
  virtual void DoExit();
  // Whether the window's procedure wants the key itself (not as a dialog key).
  virtual bool WantsKey(WORD Key, LPARAM KeyData);
  void UpdateBounds();
  void SetZOrder(bool TopMost) override;
  void UpdateShowing();
  // False keeps the window hidden even when it is visible.
  virtual bool ShowingAllowed() const { return true; }

  virtual void WMPaint(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  virtual void WMWindowPosChanged(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMKeyDown(TMessage& Message);
  // Passes a form's SC_KEYMENU on as CM_APPSYSCOMMAND; true when it was used.
  bool SysCommandToApp(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMSysKeyDown(TMessage& Message);
  virtual void WMSysChar(TMessage& Message);
  virtual void WMSetCursor(TMessage& Message);
  virtual void WMCommand(TMessage& Message);
  virtual void WMNotify(TMessage& Message);
  virtual void WMDrawItem(TMessage& Message);
  virtual void WMMeasureItem(TMessage& Message);
  virtual void WMCtlColor(TMessage& Message);
  virtual void WMScroll(TMessage& Message);
  virtual void WMMouseWheel(TMessage& Message);
  virtual void WMDestroy(TMessage& Message);
  virtual void WMNCDestroy(TMessage& Message);
  virtual void CNCtlColor(TMessage& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CMDialogKey(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMFocusChanged(TMessage& Message);
  virtual void CMShowingChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMShowHintChanged(TMessage& Message) override;

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = DefWindowProcW;

private:
  friend LRESULT CALLBACK ControlWndProc(HWND, UINT, WPARAM, LPARAM);
  friend class TControl;
  friend class TDockTree;
  void DockClientAdd(TControl* Control, TControl* DropControl, TAlign ControlSide);
  void DockClientRemove(TControl* Control);
  bool FDockSite = false;
  bool FUseDockManager = false;
  std::unique_ptr<TDockTree> FDockManager;
  std::vector<TControl*> FDockClients;
  void MainWndProc(TMessage& Message);
  bool IsControlMouseMsg(TMessage& Message);
  void AlignNow();
  void ShowControl(TControl* AControl);
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  std::unique_ptr<TBrush> FBrush;
  HWND FParentWindow = nullptr;
  int FAlignLevel = 0;
  bool FAligning = false;
  bool FTabStop = false;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FDoubleBuffered = false;
  bool FInSetBounds = false;
};

// Looks up the control that owns a window.
TWinControl* FindControl(HWND Handle);
// The form a control sits on (null when none).
TCustomForm* GetParentForm(TControl* Control);
// The control that has the mouse captured (windowless children included).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control the mouse is over, as last seen; enter/leave messages follow it.
TControl* MouseControl();
// Re-checks which control is under the mouse (called on mouse moves and idle).
void UpdateMouseControl();
// The window procedure of every framework control.
LRESULT CALLBACK ControlWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// ---------------------------------------------------------------------------
// Painted controls

class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void Dispatch(TMessage& Message) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------------------
// Dock tree: lays the controls docked into a site out side by side (site
// aligned to the top or bottom) or one below the other, each behind a
// grabber bar; a press on a grabber drags the control out, its close glyph
// hides it. Hooks the site's WindowProc while it lives.

class TDockTree {
public:
  explicit TDockTree(TWinControl* DockSite);
  virtual ~TDockTree();
  TDockTree(const TDockTree&) = delete;
  TDockTree& operator=(const TDockTree&) = delete;

  TWinControl* DockSite() const { return FDockSite; }
  int GrabberSize() const { return FGrabberSize; }
  void SetGrabberSize(int Value);
  // Docked controls in layout order.
  int ZoneCount() const { return static_cast<int>(FZones.size()); }
  TControl* ZoneControl(int Index) const { return FZones.at(Index); }

  virtual void InsertControl(TControl* Control, TAlign InsertAt, TControl* DropControl);
  virtual void RemoveControl(TControl* Control);
  // Places the visible docked controls over the site's client area.
  virtual void ResetBounds(bool Force);
  // Draws the frames (grabbers) of the visible docked controls.
  virtual void PaintSite(HDC DC);
  // The control's rectangle within its zone: the grabber taken off.
  virtual void AdjustDockRect(TControl* Control, TRect& ARect);
  // Draws one grabber; ARect is the control's bounds with its grabber.
  virtual void PaintDockFrame(TCanvas* Canvas, TControl* Control, const TRect& ARect);
  // HTCAPTION over a grabber, HTCLOSE over its close glyph, else HTNOWHERE;
  // Control receives the docked control the point belongs to.
  virtual int HitTest(const TPoint& MousePos, TControl*& Control);
  // The control's bounds with its grabber.
  TRect FrameRect(TControl* Control) const;
  // The close glyph's rectangle in a frame rectangle.
  TRect CloseRect(const TRect& Frame) const;
  // Grabbers run down the left of a site aligned to the top or bottom.
  bool GrabbersOnLeft() const;

protected:
  virtual void WindowProc(TMessage& Message);
  TWinControl* FDockSite;
  TWndMethod FOldWndProc;

private:
  std::vector<TControl*> FZones;
  int FGrabberSize = 12;
  TControl* FClosePressed = nullptr;
  bool FResetting = false;
};

// ---------------------------------------------------------------------------
// Hooks on a window's procedure. Hooks on one window can be removed in any
// order; a hook ends by itself when its window is destroyed.

class TWindowSubclass {
public:
  // Returns true when the message was handled (Message.Result is the answer).
  using THandler = std::function<bool(TMessage& Message)>;
  TWindowSubclass() = default;
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;
  ~TWindowSubclass() { Release(); }

  bool Hook(HWND Wnd, THandler Handler);
  void Release();
  bool Active() const { return FWnd != nullptr; }
  HWND Window() const { return FWnd; }
  // Passes a message to the procedure below this hook.
  void CallPrevious(TMessage& Message);

private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  HWND FWnd = nullptr;
  THandler FHandler;
};
