// Items of menus and toolbars, their viewers, the views that lay them out
// and track them, popup windows with the modal menu loop, and popup menus.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/ActnList.h"
#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "toolbars/TfCommon.h"

class TTfCustomItem;
class TTfItemViewer;
class TTfView;
class TTfPopupWindow;
class TTfPopupView;
class TTfBaseAccObject;
class TTfModalHandler;

enum TTfItemDisplayMode { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

using TTfItemOptions = unsigned;
constexpr TTfItemOptions tfoDefault = 1u << 0, tfoDropdownArrow = 1u << 1,
                         tfoImageAboveCaption = 1u << 2, tfoLongHintInMenuOnly = 1u << 3,
                         tfoNoAutoHint = 1u << 4, tfoNoRotation = 1u << 5, tfoSameWidth = 1u << 6,
                         tfoShowHint = 1u << 7, tfoToolbarStyle = 1u << 8, tfoToolbarSize = 1u << 9;

using TTfItemTraits = unsigned;
constexpr TTfItemTraits itHasSubmenu = 1u << 0, itSelectable = 1u << 1, itSeparator = 1u << 2,
                        itInlineGroup = 1u << 3, itPassClicks = 1u << 4, itCombo = 1u << 5,
                        itNoKeyboardOpen = 1u << 6, itRepaintOnSelect = 1u << 11,
                        itRepaintOnHover = 1u << 12;

enum TItemChangeKind {
  icInserted = 0,
  icDeleting = 1,
  icLinkChanged = 2,
  icBeginUpdate = 3,
  icEndUpdate = 4,
  icRepaint = 5,
  icRelayout = 6,
  icRenamed = 8,
  icSubmenuImagesChanged = 9
};

enum TTfPopupAlignment { paLeft, paRight, paCenter };

using TTfPopupEvent = std::function<void(TTfCustomItem* Sender, bool FromLink)>;
using TTfSelectEvent =
    std::function<void(TTfCustomItem* Sender, TTfItemViewer* Viewer, bool Selecting)>;

// Receives the change notices of an item.
class TTfItemListener {
public:
  virtual ~TTfItemListener() = default;
  virtual void ItemNotification(TTfCustomItem* Ancestor, bool Relayed, TItemChangeKind Kind,
                                int Index, TTfCustomItem* Item) = 0;
};

// Offered by components that own a root item (toolbars, popup menus).
class IItemRootProvider {
public:
  virtual ~IItemRootProvider() = default;
  virtual TTfCustomItem* GetRootItem() = 0;
};

// Makes an item follow its action.
class TTfCustomItemActionLink : public TActionLink {
public:
  explicit TTfCustomItemActionLink(TTfCustomItem* AClient);
  void SetCaption(const std::wstring& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const std::wstring& Value) override;
  void SetImageIndex(int Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;
  // Pushes every linked property of the action into the item.
  void Sync(TCustomAction* Old);

private:
  TTfCustomItem* FItem;
};

// Image list change link that remembers the image size it last saw.
class TTfImageChangeLink : public TChangeLink {
public:
  int LastWidth = -1, LastHeight = -1;
};

enum TMenuResultKind { mrkNone, mrkCancel, mrkChosen, mrkSysKey, mrkHelp };

struct TTfMenuResult {
  TMenuResultKind Kind = mrkNone;
  TTfCustomItem* Item = nullptr;
  bool ChosenInPopup = false;
  HWND Wnd = nullptr;
  wchar_t Char = 0;
  int HelpContext = 0;
};

class TTfCustomItem : public TComponent {
public:
  explicit TTfCustomItem(TComponent* AOwner);
  ~TTfCustomItem() override;

  // Tree.
  int ChildCount() const { return static_cast<int>(FChildren.size()); }
  TTfCustomItem* ChildAt(int Index) const;
  void Insert(int Index, TTfCustomItem* Item);
  void Add(TTfCustomItem* Item) { Insert(ChildCount(), Item); }
  void Delete(int Index);
  int IndexOf(TTfCustomItem* Item) const;
  void Remove(TTfCustomItem* Item);
  void Move(int CurIndex, int NewIndex);
  TTfCustomItem* Parent() const { return FParent; }
  static TTfCustomItem* ChildSource(TTfCustomItem* Item);

  void RegisterListener(TTfItemListener* Handler);
  void UnregisterListener(TTfItemListener* Handler);
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }
  void NotifyItemChange(TItemChangeKind Kind, int Index, TTfCustomItem* Item);

  // Virtual operations.
  virtual void Change(bool NeedResize);
  virtual TTfPopupWindow* OpenPopupWindow(TTfView* ParentView, TTfItemViewer* ParentViewer,
                                          bool PositionAsSubmenu, bool SelectFirstItem,
                                          bool Customizing, TPoint PopupPoint,
                                          TTfPopupAlignment Alignment);
  virtual void FirePopupEvent(TTfCustomItem* Sender, bool FromLink);
  virtual void EnabledChanged() { Change(false); }
  virtual TTfView* ChevronSourceView() { return nullptr; }
  virtual TTfItemViewer* CreateViewer(TTfView* View, int Level);
  virtual TTfPopupWindow* CreatePopupWindow(TTfView* ParentView, bool Customizing);
  virtual bool ViewerNeedsRecreate(TTfItemViewer*) { return false; }
  virtual void Click();
  virtual void UpdateFromAction();

  // Menus.
  TTfCustomItem* PopupAt(int X, int Y, bool TrackRightButton, TTfPopupAlignment Alignment,
                         bool ReturnClickedItemOnly);
  bool HandleShortCut(TMessage& Message);
  TTfCustomItem* FindByShortCut(TShortCut Key, TTfCustomItem*& TopChild);
  std::wstring ShortCutText() const;
  void PostClick();
  // Performs a finished menu's result; answers the chosen item.
  static TTfCustomItem* ExecuteMenuResult(const TTfMenuResult& Result, bool ReturnItemOnly);

  // Properties.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  TTfItemDisplayMode DisplayMode() const { return FDisplayMode; }
  void SetDisplayMode(TTfItemDisplayMode Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& Value) { FHint = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TCustomImageList* Value);
  TTfItemOptions Options() const { return FOptions; }
  void SetOptions(TTfItemOptions Value);
  TTfItemOptions MaskOptions() const { return FMaskOptions; }
  void SetMaskOptions(TTfItemOptions Value);
  bool InheritOptions() const { return FInheritOptions; }
  void SetInheritOptions(bool Value);
  TTfItemOptions ResolvedOptions() const { return FEffectiveOptions; }
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TTfCustomItem* LinkSubitems() const { return FLinkSubitems; }
  void SetLinkSubitems(TTfCustomItem* Value);
  TTfItemTraits Traits() const { return FTraits; }
  void SetTraits(TTfItemTraits Value) { FTraits = Value; }
  // Split button (submenu items).
  bool DropdownCombo() const { return (FTraits & itCombo) != 0; }
  void SetDropdownCombo(bool Value);
  // Streaming: the component the item is streamed into (an item, or a
  // toolbar or popup menu through IItemRootProvider): the item leaves its
  // old parent and is added at the end of the new one; any other container
  // raises ETfItemError. GetParentComponent answers the streaming parent.
  void SetParentComponent(TComponent* Value) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  // Streaming: moves Child to the index Order.
  void SetChildOrder(TTfCustomItem* Child, int Order);
  // The component that owns this root item (toolbar, popup menu).
  TComponent* ParentComponentRef() const { return FParentComponent; }
  void SetParentComponentRef(TComponent* Value) { FParentComponent = Value; }

  TNotifyEvent OnClick;
  TTfPopupEvent OnPopup;
  TTfSelectEvent OnSelect;

  // Called by the action link.
  void ActionChanged(TBasicAction* Sender, bool CheckDefaults);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void SetName(const std::wstring& Value) override;
  void RecalcOptions();
  void UncheckGroup();

  TTfItemTraits FTraits = 0;

private:
  friend class TTfCustomItemActionLink;
  void NotifyRelay(int Depth, TTfCustomItem* Ancestor, TItemChangeKind Kind, int Index,
                   TTfCustomItem* Item);
  void ImageListChanged(bool SubMenu);
  TTfCustomItem* FindByShortCutHops(TShortCut Key, TTfCustomItem*& TopChild, int Hops);

  std::unique_ptr<TTfCustomItemActionLink> FActionLink;
  bool FAutoCheck = false;
  std::wstring FCaption;
  bool FChecked = false;
  TTfItemDisplayMode FDisplayMode = nbdmDefault;
  bool FEnabled = true;
  TTfItemOptions FEffectiveOptions = 0;
  int FGroupIndex = 0;
  int FHelpContext = 0;
  std::wstring FHint;
  int FImageIndex = -1;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TTfImageChangeLink> FImagesLink;
  std::vector<TTfCustomItem*> FChildren;
  std::vector<TTfCustomItem*> FLinkParents;
  TTfItemOptions FMaskOptions = 0, FOptions = 0;
  bool FInheritOptions = true;
  struct TListenerEntry {
    TTfItemListener* Handler;
    int Registrations;
  };
  std::vector<TListenerEntry> FListeners;
  TTfCustomItem* FParent = nullptr;
  TComponent* FParentComponent = nullptr;
  bool FRadioItem = false;
  TShortCut FShortCut = 0;
  TCustomImageList* FSubMenuImages = nullptr;
  std::unique_ptr<TTfImageChangeLink> FSubMenuImagesLink;
  TTfCustomItem* FLinkSubitems = nullptr;
  bool FVisible = true;
};

class TTfItem : public TTfCustomItem {
public:
  explicit TTfItem(TComponent* AOwner);
};

class TTfSubmenuItem : public TTfCustomItem {
public:
  explicit TTfSubmenuItem(TComponent* AOwner);
};

class TTfSeparatorItem : public TTfCustomItem {
public:
  explicit TTfSeparatorItem(TComponent* AOwner);
  bool Blank() const { return FBlank; }
  void SetBlank(bool Value);
  TTfItemViewer* CreateViewer(TTfView* View, int Level) override;

private:
  bool FBlank = false;
};

class TTfControlItem : public TTfCustomItem {
public:
  explicit TTfControlItem(TComponent* AOwner);
  ~TTfControlItem() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  // Frees the item without touching its control (the control is going away).
  void DontFreeControl() { FControl = nullptr; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TControl* FControl = nullptr;
};

class TTfRootItem : public TTfCustomItem {
public:
  explicit TTfRootItem(TComponent* AOwner) : TTfCustomItem(AOwner) {}
};

// ---------------------------------------------------------------------------
// Item viewers

using TTfViewerState = unsigned;
constexpr TTfViewerState vsNeedsRepaint = 1, vsWrapLine = 2;

class TTfItemViewer : public TObject {
public:
  TTfItemViewer(TTfView* View, TTfCustomItem* Item, int Level);
  ~TTfItemViewer() override;

  TRect BoundsRect;
  bool ScrolledOut = false;
  int Level = 0;
  bool HiddenForSpace = false;
  bool Shown = false;
  TTfViewerState ViewerState = 0;

  TTfCustomItem* Item() const { return FItem; }
  TTfView* View() const { return FView; }

  virtual void MeasureSize(TCanvas* Canvas, int& Width, int& Height);
  virtual bool Choose();
  virtual void DrawCaption(TCanvas* Canvas, const TRect& R, const std::wstring& Caption,
                           bool Embossed, UINT Format);
  virtual void SelectionGained();
  virtual int AccRole();
  // The value an accessibility client sees; false when the viewer has none.
  virtual bool AccValue(std::wstring& Value) {
    Value.clear();
    return false;
  }
  virtual void CaptionText(std::wstring& Text) const;
  // The mouse cursor over the point (viewer coordinates); the arrow unless changed.
  virtual void CursorAt(const TPoint& P, HCURSOR& Cursor) {
    (void)P;
    (void)Cursor;
  }
  virtual bool HitsButtonPart(int X, int Y);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void SelectionLost();
  virtual void CaptureLost();
  virtual void MouseDown(TShiftState Shift, int X, int Y, bool& MouseDownOnMenu);
  virtual void MouseMove(int X, int Y);
  virtual void MouseUp(int X, int Y, bool MouseWasDownOnMenu);
  virtual void MouseWheel(int WheelDelta, int X, int Y);
  virtual void Paint(TCanvas* Canvas, const TRect& ClientRect, bool IsSelected, bool IsPushed,
                     bool UseDisabledShadow);
  virtual bool SharesMaxWidth();
  virtual bool CaptionShown() const;

  void ChooseAndMarkUsed(bool MarkUsed);
  TPoint ScreenToViewer(const TPoint& P);
  std::wstring HintText();
  bool IsListedForAccessibility() const { return Shown || HiddenForSpace || ScrolledOut; }
  bool IsToolbarStyle() const;
  bool IsToolbarSize() const;
  bool IsRotated() const;
  bool IsImageShown() const;
  TCustomImageList* GetImageList() const;
  static void ChooseDefaultItem(TTfView* View);
  void PostAccAction(WPARAM Flag);
  TTfBaseAccObject* AccObject();

protected:
  friend struct TfAccAccess;
  TTfCustomItem* FItem;
  TTfView* FView;
  TTfBaseAccObject* FAcc = nullptr;
};

class TTfSeparatorItemViewer : public TTfItemViewer {
public:
  using TTfItemViewer::TTfItemViewer;
  void MeasureSize(TCanvas* Canvas, int& Width, int& Height) override;
  void Paint(TCanvas* Canvas, const TRect& ClientRect, bool IsSelected, bool IsPushed,
             bool UseDisabledShadow) override;
  bool SharesMaxWidth() override { return false; }
};

// ---------------------------------------------------------------------------
// Views

enum TViewOrientation { voHorizontal, voVertical, voFloating };

using TViewState = unsigned;
constexpr TViewState vwTracking = 1u << 0, vwMouseInView = 1u << 1, vwFirstPaint = 1u << 2,
                     vwOpenedLeftwards = 1u << 3, vwIgnoreFirstRelease = 1u << 4,
                     vwAccelsShown = 1u << 5, vwShowSubmenusOnSelect = 1u << 6,
                     vwPopupClosed = 1u << 7;

// (TTf prefix: the framework's list view has a TViewStyle of its own.)
using TTfViewStyle = unsigned;
constexpr TTfViewStyle styMenuBar = 1, styHideAccelsUntilKeyboard = 2, styHintsForAll = 4;

using TTrackingOptions = unsigned;
constexpr TTrackingOptions toMouseDown = 1, toExecuteSelected = 2, toNoMarkUsed = 4;

constexpr int kUnknownPos = static_cast<int>(0x80000000);

class TTfView : public TComponent, public TTfItemListener {
public:
  TTfView(TComponent* AOwner, TTfView* AParentView, TTfCustomItem* AParentItem,
          TWinControl* AWindow, bool AIsToolbar, bool ACustomizing, bool AUsePriorityList);
  ~TTfView() override;

  // Virtual operations.
  virtual void ResizeToContent(int Width, int Height);
  virtual void Reflow(TPoint& Size);
  virtual TTfCustomItem* GetChevron() { return nullptr; }
  virtual void EdgeMargins(TViewOrientation Orientation, TRect& Margins);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual TFont* ViewFont();
  virtual void InvalidatePositions();

  // Layout.
  void ValidatePositions();
  void TryValidatePositions();
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  bool Layout(bool CanMoveControls, TViewOrientation AOrientation, int AWrapLength, int AFitLength,
              int AChevronLength, TPoint& ABaseSize, TPoint& TotalSize, int& LineCount);
  int ViewerCount() const { return static_cast<int>(FViewers.size()); }
  TTfItemViewer* Viewers(int Index) const;
  int IndexOfViewer(TTfItemViewer* V) const;
  TTfItemViewer* ViewerAt(const TPoint& ClientPoint);
  TTfItemViewer* ViewerOf(TTfCustomItem* Item) const;
  TTfView* RootView();
  TTfView* NearestToolbarView();
  void SetUsePriorityList(bool Value);
  void MarkUsed(TTfItemViewer* V);
  TTfItemViewer* FirstShownInPriority();
  void CollectHiddenControls(std::vector<TControl*>& List);
  void InvalidateViewer(TTfItemViewer* V);
  void DrawAll(TCanvas* Canvas);
  void DrawItem(TTfItemViewer* V, TCanvas* Canvas, bool ForceBuffered);
  void RecreateAllViewers();
  void UpdateActions();
  bool HintAt(THintInfo& Info);

  // Navigation.
  void Select(TTfItemViewer* V) { SelectViewer(V, false); }
  void SelectViewer(TTfItemViewer* V, bool ByMouse);
  void MouseTrack(const TPoint& ScreenPoint, bool AllowSelect);
  TTfItemViewer* NextSelectable(TTfItemViewer* From, bool Forward);
  TTfItemViewer* FirstSelectable() { return NextSelectable(nullptr, true); }
  void SelectNextPrev(bool Forward);
  bool OpenSelectedSubmenu(bool SelectFirst);
  void CloseChildPopups();
  void CloseChildAndStop();
  void ExecuteSelected(bool MarkUsed);
  void SetCancelResult();
  void SetChosenResult(TTfItemViewer* V);
  void SetHelpResult(int Context);
  void SetSysKeyResult(HWND Wnd, wchar_t Char);
  bool HasResult();
  TTfItemViewer* FindAccelerator(TTfItemViewer* From, wchar_t Char, bool RequirePrimaryAccel,
                                 bool& OnlyOne);
  void ScrollStep(bool Down);
  void ScrollSelectedIntoView();
  void StartTimer(int Number, int Interval);
  void StopTimer(int Number);
  void StopAllTimers();
  void TimerTick(int Number);
  void UpdateKeyboardCues(bool Force);
  void NotifyFocus();
  TTfCustomItem* EnterToolbarLoop(TTrackingOptions Options);
  void CancelAndHideAll();
  void SetCaptureFlag();
  void ReleaseCaptureFlag();

  // State.
  TTfCustomItem* ParentItem() const { return FParentItem; }
  TTfCustomItem* RootItem() const { return FRootItem; }
  TTfView* ParentView() const { return FParentView; }
  TWinControl* Window() const { return FWindow; }
  TTfItemViewer* Selected() const { return FSelected; }
  TTfItemViewer* OpenViewer() const { return FOpenViewer; }
  TTfView* OpenView() const { return FOpenView; }
  TTfPopupWindow* OpenPopup() const { return FOpenPopup; }
  bool IsPopup() const { return FIsPopup; }
  bool IsToolbar() const { return FIsToolbar; }
  TViewOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TViewOrientation Value) { FOrientation = Value; }
  TViewState State() const { return FState; }
  void SetState(TViewState Value) { FState = Value; }
  void Include(TViewState S) { FState |= S; }
  void Exclude(TViewState S) { FState &= ~S; }
  TTfViewStyle Style() const { return FStyle; }
  void SetStyle(TTfViewStyle Value);
  bool Customizing() const { return FCustomizing; }
  bool PositionsValid() const { return FPositionsValid; }
  TTfMenuResult& Result() { return FResult; }
  TPoint BaseSize() const { return FBaseSize; }
  bool MouseCaptured() const { return FMouseCaptured; }
  bool MouseInside() const { return FMouseInside; }

  int FitLength = 0;
  int WrapLength = 0;
  int ChevronLength = 0;
  int MaxHeight = 0;
  int ScrollOffset = 0;
  bool CanScrollUp = false, CanScrollDown = false;
  bool NewItemsFirst = true;
  TRect MonitorRect;
  TTfView* ChevronSource = nullptr;
  HWND CaptureWnd = nullptr;
  TColor BackgroundColor = clBtnFace;
  int LeadingCount = 0, TrailingCount = 0;
  TTfModalHandler* ModalHandler = nullptr;

  void ItemNotification(TTfCustomItem* Ancestor, bool Relayed, TItemChangeKind Kind, int Index,
                        TTfCustomItem* Item) override;
  void SetOpenPopup(TTfItemViewer* Viewer, TTfView* View, TTfPopupWindow* Popup);
  void ForgetOpenPopup();
  void RemoveViewer(int Index);
  bool FIsToolbar;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ResolveRootItem();
  void RebuildViewers();
  int InsertViewer(int Index, TTfCustomItem* Item, bool AtFront, bool AddToPriority, int Level);
  void ItemInserted(TTfCustomItem* Ancestor, int Index, TTfCustomItem* Item);
  void ItemDeleting(TTfCustomItem* Item);
  bool IsLoadingRoot() const;

  std::vector<TTfItemViewer*> FViewers;
  std::vector<TTfItemViewer*> FPriorityList;
  unsigned FActiveTimers = 0;
  TPoint FBaseSize;
  bool FMouseCaptured = false;
  TTfCustomItem* FRootItem = nullptr;
  TTfCustomItem* FParentItem = nullptr;
  bool FCustomizing;
  TTfMenuResult FResult;
  bool FIsPopup;
  bool FMouseInside = false;
  TTfItemViewer* FOpenViewer = nullptr;
  TTfView* FOpenView = nullptr;
  TTfPopupWindow* FOpenPopup = nullptr;
  TTfView* FParentView;
  TViewOrientation FOrientation = voHorizontal;
  TTfItemViewer* FSelected = nullptr;
  bool FSelectedByMouse = false;
  TViewState FState = 0;
  TTfViewStyle FStyle = 0;
  int FUpdateCount = 0;
  bool FUsePriorityList;
  bool FPositionsValid = false;
  TWinControl* FWindow;
  friend struct TfAccAccess;
  friend class TTfLayoutPass;
  TTfBaseAccObject* FAcc = nullptr;
};

// ---------------------------------------------------------------------------
// Popup windows and the menu loop

class TTfPopupView : public TTfView {
public:
  using TTfView::TTfView;
  void ResizeToContent(int Width, int Height) override;
  TFont* ViewFont() override;
};

class TTfPopupWindow : public TCustomControl {
public:
  TTfPopupWindow(TComponent* AOwner, TTfView* ParentView, TTfCustomItem* Item, bool Customizing);
  ~TTfPopupWindow() override;
  TTfPopupView* View() const { return FView; }
  unsigned AnimateDirection = 0;
  // Shows or hides the window without activating it (animated when asked).
  void ShowPopup(bool Show);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void DrawFrame(HDC DC);
  TTfPopupView* FView = nullptr;
  bool FCuesInitialized = false;
};

class TTfModalHandler : public TObject {
public:
  explicit TTfModalHandler(HWND ExistingWindow);
  ~TTfModalHandler() override;
  void Loop(TTfView* RootView, bool StartMouseDown, bool ExecuteAtStart, bool DontMarkUsed,
            bool TrackRightButton);
  HWND CaptureWindow() const { return FCaptureWindow; }
  TTfPopupWindow* TopPopup = nullptr;
  // The last mouse position the loop saw (kUnknownPos when reset).
  static TPoint& LastPos();

private:
  void TrackMouse(TTfView* Root, bool AllowSelect, bool IsMove);
  bool FOwnsWindow = false;
  bool FStarted = false;
  HWND FCaptureWindow = nullptr;
  HWND FSavedFocus = nullptr;
};

// The global font of menus (the system's menu font).
TFont* ToolbarFont();
void RefreshToolbarFont();
// The viewer the modal loop last saw under the mouse (for tests and hints).
TTfItemViewer* MenuViewerUnderMouse();

class TTfPopupMenu : public TPopupMenu, public IItemRootProvider {
public:
  explicit TTfPopupMenu(TComponent* AOwner);
  ~TTfPopupMenu() override;
  TTfRootItem* Items() const { return FItems.get(); }
  TTfCustomItem* GetRootItem() override { return FItems.get(); }
  void Popup(int X, int Y) override;
  TTfCustomItem* PopupEx(int X, int Y, bool ReturnClickedItemOnly);
  bool IsShortCut(TMessage& Message);
  TCustomImageList* Images() const { return FItems->SubMenuImages(); }
  void SetImages(TCustomImageList* Value) { FItems->SetSubMenuImages(Value); }
  TTfItemOptions Options() const { return FItems->Options(); }
  void SetOptions(TTfItemOptions Value) { FItems->SetOptions(Value); }
  TTfCustomItem* LinkSubitems() const { return FItems->LinkSubitems(); }
  void SetLinkSubitems(TTfCustomItem* Value) { FItems->SetLinkSubitems(Value); }
  TPoint PopupPoint;
  bool TrackRightButton = false;
  TTfPopupAlignment Alignment = paLeft;

private:
  std::unique_ptr<TTfRootItem> FItems;
};

// Number of live items and viewers of the calling thread.
int TfLiveObjectCount();
// The calling thread's hidden window for deferred clicks (null when none).
HWND TfDeferredWindow();
