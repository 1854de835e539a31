// Common controls: list view, page control and tab sheets, tab control, track bar,
// progress bar, up-down, date-time picker and hot-key control.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/ImgList.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"

// ---------------------------------------------------------------------------
// List view

class TListView;
class TListItem;

class TListColumn {
public:
  TListColumn(TListView* Owner, int Index) : FOwner(Owner), FIndex(Index) {}
  int Index() const { return FIndex; }
  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& Value);
  int Width() const;
  void SetWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // Image of the column's header in the list's small images (-1: none).
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }

private:
  friend class TListView;
  void Update();
  TListView* FOwner;
  int FIndex;
  std::wstring FCaption;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  int FImageIndex = -1;
};

class TListColumns {
public:
  explicit TListColumns(TListView* Owner) : FOwner(Owner) {}
  TListColumn* Add();
  int Count() const { return static_cast<int>(FItems.size()); }
  TListColumn* Items(int Index) const;
  TListColumn* operator[](int Index) const { return Items(Index); }
  void Clear();

private:
  friend class TListView;
  TListView* FOwner;
  std::vector<std::unique_ptr<TListColumn>> FItems;
};

// The texts of an item's further columns.
class TListSubItems : public TStringList {
public:
  explicit TListSubItems(TListItem* Owner) : FOwner(Owner) {}

protected:
  void Changed() override;

private:
  TListItem* FOwner;
};

class TListItem {
public:
  explicit TListItem(TListView* Owner);
  TListView* ListView() const { return FOwner; }
  int Index() const;
  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& Value);
  TStrings* SubItems() const { return FSubItems.get(); }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const;
  void SetFocused(bool Value);
  // Scrolls the list so that the item can be seen.
  void MakeVisible(bool PartialOK = false);
  TRect DisplayRect() const;
  void Delete();

private:
  friend class TListView;
  friend class TListSubItems;
  void UpdateTexts();
  TListView* FOwner;
  std::wstring FCaption;
  std::unique_ptr<TListSubItems> FSubItems;
  int FImageIndex = -1;
  void* FData = nullptr;
  bool FSelected = false;
};

class TListItems {
public:
  explicit TListItems(TListView* Owner) : FOwner(Owner) {}
  TListItem* Add();
  TListItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TListItem* Item(int Index) const;
  TListItem* operator[](int Index) const { return Item(Index); }
  int IndexOf(const TListItem* Item) const;
  // Stops repainting while many items change.
  void BeginUpdate();
  void EndUpdate();

private:
  friend class TListView;
  TListView* FOwner;
  std::vector<std::unique_ptr<TListItem>> FItems;
  int FUpdateCount = 0;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TListView : public TWinControl {
public:
  explicit TListView(TComponent* AOwner);
  ~TListView() override;

  TListColumns* Columns() const { return FColumns.get(); }
  TListItems* Items() const { return FItems.get(); }
  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  // No editing of captions in place.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool ShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // The image list of small images (not owned; forgotten when it is freed).
  // The list view follows the list's changes.
  TCustomImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* Value);
  // Columns can be reordered by dragging their headers.
  bool FullDrag() const { return FFullDrag; }
  void SetFullDrag(bool Value);

  // The native list's scroll state of SB_VERT or SB_HORZ (all 0 without a window).
  void GetScrollState(int Bar, int& Min, int& Max, int& Pos) const;
  // The bounds of an item (empty without a window or item).
  TRect ItemRect(int Index) const;
  // Scrolls the list by pixels (in report view DY is rounded to whole rows).
  void ScrollBy(int DX, int DY);

  // The first selected item, or null.
  TListItem* Selected() const;
  void SetSelected(TListItem* Value);
  int SelCount() const;
  TListItem* ItemFocused() const;
  TListItem* TopItem() const;
  int VisibleRowCount() const;
  TListItem* GetItemAt(int X, int Y) const;
  void ClearSelection();
  void SelectAll();

  // A selection change of an item.
  std::function<void(TObject* Sender, TListItem* Item, bool Selected)> OnSelectItem;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TListColumn;
  friend class TListColumns;
  friend class TListItem;
  friend class TListItems;
  bool Live() const { return HandleAllocated(); }
  HWND Wnd() const { return FHandle; }
  void InsertColumnWindow(TListColumn* Column);
  void InsertItemWindow(int Index, TListItem* Item);
  void UpdateExStyle();
  std::unique_ptr<TListColumns> FColumns;
  std::unique_ptr<TListItems> FItems;
  TViewStyle FViewStyle = vsIcon;
  bool FMultiSelect = false;
  bool FReadOnly = false;
  bool FRowSelect = false;
  bool FFullDrag = false;
  bool FShowColumnHeaders = true;
  bool FHideSelection = true;
  void SendSmallImages();
  TCustomImageList* FSmallImages = nullptr;
  std::unique_ptr<TChangeLink> FSmallChangeLink;
  bool FClearing = false;
};

// ---------------------------------------------------------------------------
// Page control and tab sheets

class TPageControl;

class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  int PageIndex() const;
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

// The tab control window shared by the page control and the tab control: the
// tab size, images, side and rows, and the change events.
class TCustomTabControl : public TWinControl {
public:
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;

  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  // Fixed tab size (0: the tab control's own); a width fixes every tab's width.
  int TabHeight() const { return FTabHeight; }
  void SetTabHeight(int Value);
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  // The tabs' image list (its handle is given to the tab control).
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // The side the tabs stand on; left and right put them in columns.
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition Value);
  // The client area below the tabs.
  TRect DisplayRect();

  TNotifyEvent OnChange;
  std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Puts the control's own tab items into the window.
  virtual void UpdateTabs() = 0;
  // The display area may have moved (tab size, images, control size).
  virtual void LayoutChanged() {}
  // The user chose tab Tab (an index among the window's items); before OnChange.
  virtual void TabSelected(int Tab) = 0;

private:
  void SendTabSize();
  void SendImages();
  bool FMultiLine = false;
  int FTabHeight = 0, FTabWidth = 0;
  TCustomImageList* FImages = nullptr;
  TTabPosition FTabPosition = tpTop;
};

class TPageControl : public TCustomTabControl {
public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int Index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* Value);
  // Index among the visible tabs, -1 when none.
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);

protected:
  void UpdateTabs() override;
  void LayoutChanged() override { UpdatePages(); }
  void TabSelected(int Tab) override;

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void UpdatePages();
  int TabIndexOf(TTabSheet* Page) const;
  TTabSheet* PageOfTab(int TabIndex) const;
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};

// A row of tabs named by a string list, one of them selected; the controls
// placed on it stay the same whichever tab is chosen.
class TTabControl : public TCustomTabControl {
public:
  explicit TTabControl(TComponent* AOwner);
  ~TTabControl() override;

  // The tab captions; changing them rebuilds the row.
  TStrings* Tabs() const { return FTabs.get(); }
  // The selected tab, -1 when none.
  int TabIndex() const { return FTabIndex; }
  void SetTabIndex(int Value);

protected:
  void UpdateTabs() override;
  void TabSelected(int Tab) override { FTabIndex = Tab; }

private:
  std::unique_ptr<TStringList> FTabs;
  int FTabIndex = -1;
};

// ---------------------------------------------------------------------------
// Track bar, progress bar, up-down

enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TWinControl {
public:
  explicit TTrackBar(TComponent* AOwner);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const;
  // Clamped to Min..Max; fires OnChange on a real change.
  void SetPosition(int Value);
  int Frequency() const { return FFrequency; }
  void SetFrequency(int Value);
  int LineSize() const { return FLineSize; }
  void SetLineSize(int Value);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  TTrackBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TTrackBarOrientation Value);
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;

private:
  void SendRange();
  int FMin = 0, FMax = 10, FPosition = 0, FFrequency = 1, FLineSize = 1, FPageSize = 2;
  TTrackBarOrientation FOrientation = trHorizontal;
};

class TProgressBar : public TWinControl {
public:
  explicit TProgressBar(TComponent* AOwner);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  int Step() const { return FStep; }
  void SetStep(int Value) { FStep = Value; }
  void StepIt() { SetPosition(FPosition + FStep); }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

private:
  int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
};

enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udHorizontal, udVertical };

class TUpDown : public TWinControl {
public:
  explicit TUpDown(TComponent* AOwner);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const;
  void SetPosition(int Value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  std::function<void(TObject* Sender, TUDBtnType Button)> OnClick;
  std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;

private:
  void SendRange();
  int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
  bool FWrap = false;
  TUDOrientation FOrientation = udVertical;
};

// ---------------------------------------------------------------------------
// Date-time picker

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };

class TDateTimePicker : public TWinControl {
public:
  explicit TDateTimePicker(TComponent* AOwner);
  TDateTimeKind Kind() const { return FKind; }
  void SetKind(TDateTimeKind Value);
  TDTDateFormat DateFormat() const { return FDateFormat; }
  void SetDateFormat(TDTDateFormat Value);
  TDateTime DateTime() const;
  void SetDateTime(TDateTime Value);
  // The date part (whole days) and the time part (fraction) of DateTime.
  TDateTime Date() const;
  void SetDate(TDateTime Value);
  TDateTime Time() const;
  void SetTime(TDateTime Value);
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;

private:
  TDateTime FDateTime;
  TDateTimeKind FKind = dtkDate;
  TDTDateFormat FDateFormat = dfShort;
};

// ---------------------------------------------------------------------------
// Hot-key control

using THKModifiers = unsigned;
constexpr THKModifiers hkShift = 1, hkCtrl = 2, hkAlt = 4, hkExt = 8;
using THKInvalidKeys = unsigned;
constexpr THKInvalidKeys hcNone = HKCOMB_NONE, hcShift = HKCOMB_S, hcCtrl = HKCOMB_C,
                         hcAlt = HKCOMB_A, hcShiftCtrl = HKCOMB_SC, hcShiftAlt = HKCOMB_SA,
                         hcCtrlAlt = HKCOMB_CA, hcShiftCtrlAlt = HKCOMB_SCA;

class THotKey : public TWinControl {
public:
  explicit THotKey(TComponent* AOwner);
  // Virtual key with scShift / scCtrl / scAlt.
  TShortCut HotKey() const;
  void SetHotKey(TShortCut Value);
  // Modifiers added to keys typed with an invalid combination.
  THKModifiers Modifiers() const { return FModifiers; }
  void SetModifiers(THKModifiers Value);
  THKInvalidKeys InvalidKeys() const { return FInvalidKeys; }
  void SetInvalidKeys(THKInvalidKeys Value);
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;

private:
  void SendRules();
  TShortCut FHotKey = 0;
  THKModifiers FModifiers = hkAlt;
  THKInvalidKeys FInvalidKeys = hcNone | hcShift;
};
