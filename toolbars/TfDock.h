// Docks that hold dockable windows in rows, the dockable window base with
// its docked frame, floating window and drag loop.
#pragma once

#include <functional>
#include <vector>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "toolbars/TfCommon.h"

class TTfCustomDockableWindow;
class TTfFloatingWindowParent;
struct TDockedSize;

enum TTfDockPosition { dpTop, dpBottom, dpLeft, dpRight };
// Bound lines of a dock, one bit each.
enum TTfDockBoundLine { blTop, blBottom, blLeft, blRight };
using TTfDockBoundLines = unsigned;
enum TTfShrinkMode { tfsmNone, tfsmWrap, tfsmChevron };
enum TTfDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TTfDragHandleStyle { dhDouble, dhNone, dhSingle };
enum TTfFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };

// Non-client hit-test codes of docked and floating windows.
constexpr LRESULT HT_TB_DOCKEDHANDLE = 2000, HT_TB_CLOSE = 2001, HT_TB_CAPTION = 2002;

using TTfInsertRemoveEvent =
    std::function<void(TObject* Sender, bool Inserting, TTfCustomDockableWindow* Bar)>;
using TTfRequestDockEvent =
    std::function<void(TObject* Sender, TTfCustomDockableWindow* Bar, bool& Accept)>;
using TTfDockChangingEvent =
    std::function<void(TObject* Sender, bool Floating, class TTfDock* DockingTo)>;

// A picture that docks paint behind themselves and their toolbars.
class TTfBasicBackground : public TComponent {
public:
  using TComponent::TComponent;
  // Paints the background with its origin at R's top-left, covering R.
  virtual void PaintDockBackground(HDC DC, const TRect& R) = 0;
  virtual HPALETTE BackgroundPalette() = 0;
  // Change handlers, one per client.
  virtual void RegisterBackgroundChange(TObject* Client, const TNotifyEvent& Proc) = 0;
  virtual void BackgroundSysColorChanged() = 0;
  virtual void UnregisterBackgroundChange(TObject* Client) = 0;
  virtual bool BackgroundInUse() = 0;
};

// Docking types of a window.
enum { dtNotDocked = 0, dtFloating = 1, dtTopBottom = 2, dtLeftRight = 3 };

// Reader and writer of stored toolbar positions.
struct TTfPositionData {
  std::function<int(const std::wstring& ToolbarName, const std::wstring& ValueName, int Default,
                    void* Extra)>
      ReadInt;
  std::function<void(const std::wstring& ToolbarName, const std::wstring& ValueName, int Value,
                     void* Extra)>
      WriteInt;
  void* Extra = nullptr;
};

class TTfDock : public TCustomControl {
public:
  explicit TTfDock(TComponent* AOwner);
  ~TTfDock() override;

  TTfDockPosition Position() const { return FPosition; }
  void SetPosition(TTfDockPosition Value);
  bool AllowDrag() const { return FAllowDrag; }
  void SetAllowDrag(bool Value);
  bool FixAlign() const { return FFixAlign; }
  void SetFixAlign(bool Value);
  bool LimitToOneRow = false;
  TTfDockBoundLines BoundLines() const { return FBoundLines; }
  void SetBoundLines(TTfDockBoundLines Value);
  TTfBasicBackground* Background() const { return FBackground; }
  void SetBackground(TTfBasicBackground* Value);
  bool BackgroundOnToolbars() const { return FBackgroundOnToolbars; }
  void SetBackgroundOnToolbars(bool Value);
  // Paints the background into DC over R (origin at R's top-left).
  virtual void DrawDockBackground(HDC DC, const TRect& R);
  virtual bool UsesBackground();
  // Repaints the dock and its docked windows after a background change.
  void RepaintBackgrounds();
  HPALETTE GetPalette();
  // Paints the background behind a window of the dock's parent, aligned to
  // that parent; Clip is in the window's client or window coordinates.
  void PaintBackgroundFor(HWND Wnd, HDC DC, const TRect& Clip, bool ClientCoordinates);
  bool IsVertical() const { return FPosition == dpLeft || FPosition == dpRight; }
  void SetParent(TWinControl* AParent) override;

  void ArrangeRows();
  void LockArrangement() { ++FArrangeLock; }
  void UnlockArrangement();
  void SetMembership(TTfCustomDockableWindow* Window, bool Member);
  // Adds or removes the window in the visible list; a change arranges and
  // fires OnInsertRemoveBar.
  void UpdateVisibleMembership(TTfCustomDockableWindow* Window, bool ForceRemove);
  const std::vector<TTfCustomDockableWindow*>& VisibleList() const { return FVisibleList; }
  int HighestRow() const;
  // The row whose band contains Offset across the rows.
  int RowAt(int Offset) const;
  int RowThicknessExcept(int Row, TTfCustomDockableWindow* Window) const;
  // Thickness of a row in the last arrangement; HasFullSize tells whether a
  // full-size window is in it.
  int RowThickness(int Row, bool& HasFullSize) const;
  // Copies the arranged rows and positions into the windows.
  void CommitPositions();
  // Windows that belong to the dock (docked here or floating with it as last dock).
  const std::vector<TTfCustomDockableWindow*>& DockList() const { return FDockList; }
  int ClientLength();
  bool CommitPending = false;

  TTfInsertRemoveEvent OnInsertRemoveBar;
  TTfRequestDockEvent OnRequestDock;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;
  void Paint() override;

private:
  friend class TTfCustomDockableWindow;
  void PaintNonClient(HDC DC);
  void BackgroundChanged(TObject*) { RepaintBackgrounds(); }
  TTfDockPosition FPosition = dpTop;
  TTfDockBoundLines FBoundLines = 0;
  int FNCWidth = 0, FNCHeight = 0;
  TTfBasicBackground* FBackground = nullptr;
  bool FBackgroundOnToolbars = true;
  std::vector<TTfCustomDockableWindow*> FVisibleList;
  bool FAllowDrag = true;
  bool FFixAlign = false;
  int FArrangeLock = 0;
  bool FArrangePending = false;
  bool FArranging = false;
  std::vector<TTfCustomDockableWindow*> FDockList;
};

class TTfCustomDockableWindow : public TCustomControl {
  friend class TTfDock;
  friend class TTfFloatingWindowParent;

public:
  explicit TTfCustomDockableWindow(TComponent* AOwner);
  ~TTfCustomDockableWindow() override;

  // Docking state.
  TTfDock* CurrentDock() const { return FCurrentDock; }
  void SetCurrentDock(TTfDock* Value);
  TTfDock* LastDock() const { return FLastDock; }
  void SetLastDock(TTfDock* Value);
  TTfDock* DefaultDock() const { return FDefaultDock; }
  void SetDefaultDock(TTfDock* Value);
  bool Docked() const { return FCurrentDock != nullptr; }
  bool Floating() const;
  int DockPos() const { return FDockPos; }
  void SetDockPos(int Value);
  int DockRow() const { return FDockRow; }
  void SetDockRow(int Value);
  bool FullSize() const { return FFullSize; }
  void SetFullSize(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool CloseButton() const { return FCloseButton; }
  void SetCloseButton(bool Value);
  bool CloseButtonWhenDocked() const { return FCloseButtonWhenDocked; }
  void SetCloseButtonWhenDocked(bool Value);
  // Docked close button state.
  bool CloseButtonHot() const { return FCloseHot; }
  bool CloseButtonPressed() const { return FClosePressed; }
  // Resize options: corner sizing on the floating window, cursor confined while resizing.
  bool ResizeCornerHandles = true;
  bool ResizeClipCursor = true;
  bool AutoResize() const { return FAutoResize; }
  void SetAutoResize(bool Value);
  bool UseLastDock() const { return FUseLastDock; }
  void SetUseLastDock(bool Value);
  TTfDockMode DockMode = dmCanFloat;
  // Dock positions the window may be dragged to, one bit per TTfDockPosition.
  unsigned DockableTo = (1u << dpTop) | (1u << dpBottom) | (1u << dpLeft) | (1u << dpRight);
  TTfDragHandleStyle DragHandleStyle() const { return FDragHandleStyle; }
  void SetDragHandleStyle(TTfDragHandleStyle Value);
  // bsSingle draws a raised edge round the docked window; bsNone a flat one.
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  bool Resizable = true;
  // Re-creates the floating window, whose style depends on it.
  void SetResizable(bool Value);
  bool ShowCaption = true;
  void SetShowCaption(bool Value);
  bool SmoothDrag = true;
  bool ActivateParent = true;
  bool HideWhenInactive = true;
  TTfFloatingMode FloatingMode() const { return FFloatingMode; }
  void SetFloatingMode(TTfFloatingMode Value, bool Force = false);
  // Draws the floating caption active or inactive after the thread's activation.
  void SyncCaptionState();
  // Shows or hides the floating window as its form is shown, hidden or minimised.
  void SyncVisibility();
  TTfFloatingWindowParent* FloatingWindow() const { return FFloatingParent; }
  // Whether the window is to be shown now (also false while it changes parent).
  bool ShouldBeVisible();
  int HiddenWhileReparenting() const { return FHiddenWhileReparenting; }
  // Further forms whose docks take the window while it is dragged.
  void AddDockForm(TCustomForm* Form);
  void RemoveDockForm(TCustomForm* Form);
  // Set when the window's state came from a run-time save.
  bool SavedAtRunTime = false;
  HPALETTE GetPalette();

  void SetParent(TWinControl* AParent) override;
  void MakeFloating(bool Value);
  void PlaceFloating(const TPoint& P);
  // Where the floating window's top-left goes on the screen.
  TPoint FloatingPosition() const { return FFloatingPos; }
  void KeepOnScreen(bool OnlyIfFullyOffscreen);
  void Remeasure();
  void ApplyMeasuredSize(int W, int H);
  void CloseByButton();
  void DoubleClickHandle();
  bool DragAllowed() const;
  // Drags the window from a client point until the button is released.
  void RunDragLoop(int X, int Y);
  // Resizes the floating window by an edge (0 left, 1 right, 2 top, 3 top-left,
  // 4 top-right, 5 bottom, 6 bottom-left, 7 bottom-right), starting at the
  // screen point of the press.
  void RunSizeLoop(int Edge);
  void RunSizeLoop(int Edge, const TPoint& StartCursor);
  bool Dragging() const { return FDragging; }
  bool Splitting() const { return FSplitting; }
  bool CanSplit() const { return FCanSplit; }
  bool NewRowRequested() const { return FNewRowRequest; }
  // Assigned by the last arrangement.
  int AssignedRow = -1, AssignedPos = 0, ShrunkLength = 0, RowThickness = 0;

  // Sizes.
  virtual void GetDockedFrameSize(TPoint& Size);
  virtual void MeasureForPlacement(bool UseCurrent, TTfDock* Dock, bool Floating, TPoint& Size) = 0;
  virtual void GetContentSize(TPoint& Size) = 0;
  virtual void AdjustMinimumLength(int&) {}
  virtual TTfShrinkMode QueryShrinkMode() { return tfsmNone; }
  virtual bool IsPointOnContent(const TPoint& P);
  int HandleSize() const;
  virtual void GetDockedCloseRect(bool Vertical, TRect& R);
  virtual void GetResizeLimits(int&, int&, int&, int&) {}
  virtual void GetFloatingFrameSize(TPoint& Size);
  // Floating window size for a client size.
  TPoint FloatingWindowSizeFor(int ClientWidth, int ClientHeight);
  bool CaptionInactive() const { return FInactiveCaption; }

  // Called while the window is hidden on its way to a new parent.
  virtual void NotifyDockChangingHidden(bool Floating, TTfDock* DockingTo);
  virtual bool ChildSkipsContentTest(TControl*) { return false; }
  // The window that holds the dockable window while it floats.
  virtual TTfFloatingWindowParent* CreateFloatingParent();
  virtual void AfterLoading() {}

  // Position storage hooks.
  virtual void FinishPositionRead() {}
  virtual void ReadPosition(const TTfPositionData&) {}
  virtual void WritePosition(const TTfPositionData&) {}

  // Resize hooks.
  virtual void ResizeStarting(int) {}
  virtual void ResizeEnded() {}
  virtual void ResizeTracking(TRect&, const TRect&) {}
  virtual void ResizeApplying() {}

  TNotifyEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDockChanged;
  TNotifyEvent OnVisibleChanged;
  TTfDockChangingEvent OnDockChanging;
  TTfDockChangingEvent OnDockChangingHidden;
  TNotifyEvent OnRecreating;
  TNotifyEvent OnRecreated;
  TNotifyEvent OnMove;
  void NotifyMoved();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

public:
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool ShowingAllowed() const override { return FHiddenWhileReparenting == 0; }
  void PaintDockedFrame(HDC DC);
  bool DockBackgroundOnMe() const;
  void ApplyFloatingOwner();
  void ReleaseFloatingParent();
  // The handle strip or frame changed: the frame and the rows follow.
  void DockedFrameChanged();
  void RepaintWithBackground();
  void RedrawDockedCloseButton();
  void ApplyDragRect(TTfDock* Dock, const TRect& R, const TDockedSize* Record);
  int FInternalBounds = 0;
  bool FRemeasurePending = false;
  int FRemeasureLock = 0;

private:
  TTfDock* FCurrentDock = nullptr;
  TTfDock* FLastDock = nullptr;
  TTfDock* FDefaultDock = nullptr;
  TTfFloatingWindowParent* FFloatingParent = nullptr;
  int FDockPos = -1, FDockRow = 0;
  bool FFullSize = false, FStretch = false, FCloseButton = true, FAutoResize = true,
       FUseLastDock = true, FCloseButtonWhenDocked = false;
  bool FCloseHot = false, FClosePressed = false, FInactiveCaption = false;
  TTfFloatingMode FFloatingMode = fmOnTopOfParentForm;
  bool FDragging = false, FSplitting = false, FCanSplit = false, FSmoothDragging = false,
       FNewRowRequest = false;
  // Drag loop state used while applying rectangles.
  TTfDock* FDragStartDock = nullptr;
  int FDragStartRow = 0, FDragStartPos = 0;
  TPoint FFloatingPos;
  int FHiddenWhileReparenting = 0, FMoveSuppress = 0;
  TTfDragHandleStyle FDragHandleStyle = dhSingle;
  TFormBorderStyle FBorderStyle = bsSingle;
  std::vector<TCustomForm*> FDockForms;
};

// The small tool window that holds a floating dockable window.
class TTfFloatingWindowParent : public TCustomForm {
public:
  explicit TTfFloatingWindowParent(TComponent* AOwner);
  ~TTfFloatingWindowParent() override;
  TTfCustomDockableWindow* DockableWindow = nullptr;
  TCustomForm* ParentForm = nullptr;
  bool ClosePressed() const { return FClosePressed; }
  // Window-coordinate rectangles of the small caption and its close button.
  TRect CaptionRect(bool ExcludeClose);
  TRect CloseRect();
  // Parts: 1 frame, 2 caption, 4 close button.
  void PaintFloatingFrame(HDC DC, int Parts);
  void RedrawFrame(int Parts);
  LRESULT HitTest(const TPoint& ScreenPoint);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WMClose(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void AlignControls(TControl*, TRect&) override {}

private:
  bool FClosePressed = false;
};

// Runs the press of a button drawn in a non-client area: Pressed is told
// whether the cursor is inside; true when the button is released inside.
bool TrackButtonPress(HWND Wnd, const TRect& ButtonRect, const std::function<void(bool)>& Pressed);
// Screen point of a mouse message (client or non-client).
TPoint MessageScreenPoint(const MSG& Msg);

// The outermost form above a control (a floating window's parent form).
TCustomForm* OwningFormOf(TControl* Control);
// OwningFormOf; raises when there is none.
TCustomForm* RequireOwningForm(TControl* Window);
int SmallCaptionHeight();
// The MDI parent of an MDI child form; other forms are their own.
TCustomForm* MDIParentOf(TCustomForm* Form);
int DockTypeOf(TTfDock* Dock, bool Floating);
void SetWindowOwner(HWND Wnd, HWND Owner);
// The first visible, enabled window of the thread other than Except and the
// application window, preferring windows that are not tool windows.
HWND FirstThreadWindow(HWND Except);
bool IsSelfOrAncestor(HWND Ancestor, HWND Wnd);
void RecalcFrame(TWinControl* Control);
void RedrawWhole(TWinControl* Control);

// Stores and restores the positions of a form's dockable windows in the
// sections Prefix + window name of an INI file.
void TfSavePositions(TCustomForm* Form, class TCustomIniFile* Ini, const std::wstring& Prefix);
void TfLoadPositions(TCustomForm* Form, class TCustomIniFile* Ini, const std::wstring& Prefix);
