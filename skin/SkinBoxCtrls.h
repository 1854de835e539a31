// Skinned box controls: the borderless, optionally transparent edit with a
// skinned context menu, the number edit, the list box in a skinned frame and
// the combo box with its drop-down list; the skin hooks of the edit and the
// memos.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/StdCtrls.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinMenus.h"

using TskEditNotify = std::function<void(TObject* Sender)>;

class TskCustomEdit : public TEdit {
public:
  explicit TskCustomEdit(TComponent* AOwner);
  ~TskCustomEdit() override;

  bool TransparentBack() const { return FTransparentBack; }
  void SetTransparentBack(bool Value);
  bool MouseHeld() const { return FMouseHeld; }
  TskSkinPopupMenu* ContextMenu() const { return FContextMenu; }
  TskEditNotify CancelModeNotify;

  // Builds the context menu (Undo, Cut, Copy, Paste, Delete, Select All) for
  // the edit's current state.
  TskSkinPopupMenu* BuildContextMenu();
  void Invalidate() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Change() override;

private:
  void FreeContextMenu();
  void ShowContextMenu(int X, int Y);
  bool FTransparentBack = false;
  bool FMouseHeld = false;
  TskSkinPopupMenu* FContextMenu = nullptr;
};

class TskSkinNumEdit : public TskCustomEdit {
public:
  explicit TskSkinNumEdit(TComponent* AOwner);

  bool TypingAllowed = true;
  bool AllowDecimal = false;
  TskEditNotify UpNotify, DownNotify, MouseEnterNotify, MouseLeaveNotify;

  // Whether the number filter lets character C through for the current text.
  bool CharAccepted(wchar_t C);

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(wchar_t& Key) override;
  void WndProc(TMessage& Message) override;
};

// ---------------------------------------------------------------------------
// Skin hooks of the edit and the memos: each copies its control's
// description from the skin after a skin change.

class TskSkinEdit : public TEdit, public TskSkinHookFields {
public:
  explicit TskSkinEdit(TComponent* AOwner) : TEdit(AOwner) {}
  const TskPicture* Picture = nullptr;
  RECT SkinRect{}, ActiveSkinRect{}, ClientRect{};
  int LeftPart = 0, RightPart = 0;
  TskSkinFontCopy Skin;
  TskColor DisabledFontColor = 0, ActiveFontColor = 0;
  RECT ButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnEnabledButtonRect{};
  bool StretchEffect = false;
  int DefaultWidth = 0, DefaultHeight = 0;
};
void ApplyEditSkin(TskSkinEdit* Control);

// A multi-line edit with skinned scroll bars beside it.
class TskSkinMemo : public TEdit, public TskSkinHookFields {
public:
  explicit TskSkinMemo(TComponent* AOwner) : TEdit(AOwner) {}
  TskSkinFrameCopy Frame;
  RECT ActiveSkinRect{};
  TskSkinFontCopy Skin;
  TskColor ActiveFontColor = 0, BGColor = 0, ActiveBGColor = 0;
  // The font colour comes from the skin.
  bool UseSkinFontColor = true;
  // The memo draws a border of its own (the text keeps less distance).
  bool Border = true;
  // The text rectangle follows the skin's client rectangle.
  bool AdjustTextRect = true;
  TRect TextRect;
  TskSkinScrollBar* HScrollBar = nullptr;
  TskSkinScrollBar* VScrollBar = nullptr;
  // Gives the skinned bars the window's scroll ranges.
  void SyncScrollBars();

protected:
  void CreateParams(TCreateParams& Params) override;
  // The window's scroll information of Bar (SB_HORZ or SB_VERT).
  virtual bool ReadScrollInfo(int Bar, SCROLLINFO& Info);
};
void ApplyMemoSkin(TskSkinMemo* Control);

// A memo that shows both skinned scroll bars.
class TskSkinScrollMemo : public TskSkinMemo {
public:
  using TskSkinMemo::TskSkinMemo;
};
void ApplyScrollMemoSkin(TskSkinScrollMemo* Control);

// ---------------------------------------------------------------------------
// List box

// Draws an item of a skinned list or combo box in place of the built-in drawing.
using TskDrawSkinItemEvent = std::function<void(
    TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TxtRect, TOwnerDrawState State)>;

class TskSkinCustomListBox;

// Tab stops of an item text: the first ten strings of Widths, digits only
// giving a number and anything else 0.
std::vector<int> SkinListTabStops(TStrings* Widths);

// The owner-drawn platform list box inside the skinned frame; it paints all
// its rows and its background itself.
class TskListBox : public TListBox {
public:
  explicit TskListBox(TComponent* AOwner);

  TskSkinCustomListBox* OwnerListBox = nullptr;
  int HorizontalOffset = 0;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // The state an item is painted with when the list paints itself.
  TOwnerDrawState PaintState(int Index);
  // The row that a client position lies in (-1 when no item is there).
  int ItemAt(int X, int Y) const;
  // Runs the list's own handling of a message (below a replaced WindowProc).
  void CallWndProc(TMessage& Message) { WndProc(Message); }
  void Click() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void PaintWindow(HDC DC) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(wchar_t& Key) override;
  void DblClick() override;

private:
  int FLastTop = -1;
  bool FInWndProc = false;
};

class TskSkinCustomListBox : public TskSkinCustomControl {
public:
  explicit TskSkinCustomListBox(TComponent* AOwner);
  ~TskSkinCustomListBox() override;

  TskListBox* ListBox() const { return FListBox; }
  TStrings* Items() const { return FListBox->Items(); }
  void SetItems(TStrings* Value);
  int ItemIndex() const { return FListBox->ItemIndex(); }
  void SetItemIndex(int Value) { FListBox->SetItemIndex(Value); }
  int Columns() const { return FListBox->Columns(); }
  void SetColumns(int Value);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int Value);
  bool UseSkinItemHeight() const { return FUseSkinItemHeight; }
  void SetUseSkinItemHeight(bool Value) { FUseSkinItemHeight = Value; }
  int DefaultItemHeight() const { return FDefaultItemHeight; }
  void SetDefaultItemHeight(int Value);
  bool HorizontalExtent() const { return FHorizontalExtent; }
  void SetHorizontalExtent(bool Value);
  TStrings* TabWidths() const { return FTabWidths.get(); }
  void SetTabWidths(TStrings* Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool CaptionMode() const { return FCaptionMode; }
  void SetCaptionMode(bool Value);
  int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
  void SetDefaultCaptionHeight(int Value);
  TFont* DefaultCaptionFont() const { return FDefaultCaptionFont.get(); }
  void SetDefaultCaptionFont(TFont* Value) { FDefaultCaptionFont->Assign(Value); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  bool MultiSelect() const { return FListBox->MultiSelect(); }
  void SetMultiSelect(bool Value) { FListBox->SetMultiSelect(Value); }
  bool ExtandedSelect() const { return FListBox->ExtendedSelect(); }
  void SetExtandedSelect(bool Value) { FListBox->SetExtendedSelect(Value); }
  bool Sorted() const { return FListBox->Sorted(); }
  void SetSorted(bool Value);
  TFont* ListBoxFont() const { return FListBox->Font(); }

  TNotifyEvent OnUpButtonClick, OnDownButtonClick, OnCheckButtonClick;
  TskDrawSkinItemEvent OnDrawItem;
  TNotifyEvent OnListBoxClick, OnListBoxDblClick;
  TMouseEvent OnListBoxMouseDown, OnListBoxMouseUp;
  TMouseMoveEvent OnListBoxMouseMove;
  TKeyEvent OnListBoxKeyDown, OnListBoxKeyUp;
  TKeyPressEvent OnListBoxKeyPress;

  // Height that shows Rows rows.
  int CalcHeight(int Rows);
  int TopIndex() const { return FListBox->TopIndex(); }
  void SetTopIndex(int Value);
  // The item at a point of the inner list box, -1 when none.
  int ItemAtPos(const TPoint& P) const { return FListBox->ItemAt(P.X, P.Y); }
  void UpdateScrollBars();
  void LayoutList();
  TskSkinScrollBar* VScrollBar() const { return FVScrollBar; }
  TskSkinScrollBar* HScrollBar() const { return FHScrollBar; }
  TRect ListRect() const { return TRect(FListRect); }

  // Caption buttons: 0 up, 1 down, 2 check.
  TRect ButtonRect(int Index) const { return TRect(FButtons[Index].Rect); }
  bool ButtonDown(int Index) const { return FButtons[Index].Down; }
  bool ButtonMouseIn(int Index) const { return FButtons[Index].MouseIn; }
  int ActiveButton() const { return FActiveButton; }
  int PressedButton() const { return FPressedButton; }
  int RepeatDirection() const { return FRepeatDirection; }
  // One tick of the caption buttons' repeat timer; the interval it runs at.
  void RepeatTick();
  UINT RepeatInterval() const { return FRepeatInterval; }

  void ApplyControlSkin() override;
  void ReadSkinEntry() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  // Item drawing and the list's background, used by the inner list box.
  void DrawListItem(TCanvas* C, int Index, const TRect& R, TOwnerDrawState State);
  void PaintListBackground(HDC DC, const RECT& R);
  bool HasEntry() const { return FEntryIndex >= 0; }

protected:
  friend class TskListBox;
  virtual int ItemTextWidth(int Index, TCanvas* C);
  virtual void ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void ListBoxMouseMove(TShiftState Shift, int X, int Y);
  virtual void ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void ListBoxClick();
  virtual void ListBoxDblClick();
  virtual void ListBoxKeyDown(WORD& Key, TShiftState Shift);
  virtual void ListBoxKeyUp(WORD& Key, TShiftState Shift);
  virtual void ListBoxKeyPress(wchar_t& Key);
  virtual void ListBoxEnter() {}
  virtual void ListBoxExit() {}
  virtual void ListBoxWndProcHook(TMessage& Message, bool& Continue);
  virtual void ListBoxCreated() {}

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  void DefaultFontChanged() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

  TskListBox* FListBox = nullptr;

private:
  struct TCaptionButton {
    RECT Rect{};
    bool MouseIn = false, Down = false;
  };
  void MakeVScrollBar();
  void MakeHScrollBar();
  void RemoveVScrollBar();
  void RemoveHScrollBar();
  void SkinBarNames();
  void VBarChange();
  void PaintCaption(TCanvas* C, bool Skin);
  void DrawCaptionButton(TCanvas* C, int Index, bool Skin);
  void TrackButtons(int X, int Y);
  void StartRepeat(int Direction);
  void StopRepeat();
  void SetRepeatTimer(UINT Interval);
  void ButtonDefault(int Index);
  TNotifyEvent& ButtonHandler(int Index);
  void DrawTabbedText(TCanvas* C, const std::wstring& S, int Indent, const RECT& R);

  int FRowCount = 0;
  bool FUseSkinItemHeight = true;
  int FDefaultItemHeight = 20;
  bool FHorizontalExtent = false;
  std::unique_ptr<TStringList> FTabWidths;
  TCustomImageList* FImages = nullptr;
  int FImageIndex = -1;
  bool FCaptionMode = false;
  int FDefaultCaptionHeight = 20;
  std::unique_ptr<TFont> FDefaultCaptionFont;
  TAlignment FAlignment = taLeftJustify;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  int FSpacing = 2;

  TskSkinScrollBar* FVScrollBar = nullptr;
  TskSkinScrollBar* FHScrollBar = nullptr;
  TCaptionButton FButtons[3];
  int FActiveButton = -1, FPressedButton = -1;
  int FRepeatDirection = 0;
  bool FRepeatFirstTick = false;
  UINT FRepeatInterval = 0;
  RECT FListRect{}, FSkinListRect{}, FCaptionRect{};
  bool FApplyingSkin = false;
  bool FUpdatingBars = false;
  bool FCreatingWnd = false;

  // Copied from the entry.
  RECT FItemRect{}, FActiveItemRect{}, FFocusItemRect{}, FItemTextRect{};
  int FItemLeftOffset = 0, FItemRightOffset = 0;
  std::wstring FFontName = L"Arial";
  int FFontHeight = 14;
  TskFontStyles FFontStyle;
  TColor FFontColor = 0, FActiveFontColor = 0, FFocusFontColor = 0;
  RECT FSkinCaptionRect{};
  std::wstring FCaptionFontName = L"Arial";
  int FCaptionFontHeight = 14;
  TskFontStyles FCaptionFontStyle;
  TColor FCaptionFontColor = 0;
  RECT FUpButtonRect{}, FActiveUpButtonRect{}, FDownUpButtonRect{};
  RECT FDownButtonRect{}, FActiveDownButtonRect{}, FDownDownButtonRect{};
  RECT FCheckButtonRect{}, FActiveCheckButtonRect{}, FDownCheckButtonRect{};
  std::wstring FVScrollBarName = L"vscrollbar", FHScrollBarName = L"hscrollbar",
               FBothHScrollBarName = L"bothhscrollbar";
  bool FShowFocus = false;
};

class TskSkinListBox : public TskSkinCustomListBox {
public:
  using TskSkinCustomListBox::TskSkinCustomListBox;
};

// ---------------------------------------------------------------------------
// Combo box

class TskSkinCustomComboBox;

// The drop-down list: a skinned list box in a borderless popup window that
// never takes the activation.
class TskPopupListBox : public TskSkinListBox {
public:
  explicit TskPopupListBox(TComponent* AOwner);
  TskSkinCustomComboBox* ComboBox = nullptr;
  void ShowAt(const TPoint& P);
  void HideList();
  bool ListVisible() const { return FListVisible; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  bool FLayered = false;
  BYTE FAppliedAlpha = 0;
  bool FListVisible = false;
};

enum TskSkinCustomComboBoxStyle { skcbEditStyle, skcbFixedStyle };

class TskSkinCustomComboBox : public TskSkinCustomControl {
public:
  explicit TskSkinCustomComboBox(TComponent* AOwner);
  ~TskSkinCustomComboBox() override;

  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value);
  bool ToolButtonStyle() const { return FToolButtonStyle; }
  void SetToolButtonStyle(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { FHideSelection = Value; }
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  TskSkinCustomComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TskSkinCustomComboBoxStyle Value);
  TStrings* Items() const { return FListBox->Items(); }
  void SetItems(TStrings* Value) { FListBox->SetItems(Value); }
  int ItemIndex() const { return FListBox->ItemIndex(); }
  void SetItemIndex(int Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value);
  int ListBoxWidth() const { return FListBoxWidth; }
  void SetListBoxWidth(int Value) { FListBoxWidth = Value; }
  TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  void SetSorted(bool Value) { FListBox->SetSorted(Value); }
  void SetHorizontalExtent(bool Value) { FListBox->SetHorizontalExtent(Value); }
  TCustomImageList* Images() const { return FListBox->Images(); }
  void SetImages(TCustomImageList* Value);
  int ImageIndex() const { return FListBox->ImageIndex(); }
  void SetImageIndex(int Value);
  TStrings* TabWidths() const { return FListBox->TabWidths(); }
  void SetTabWidths(TStrings* Value) { FListBox->SetTabWidths(Value); }
  void SetListBoxUseSkinItemHeight(bool Value) { FListBox->SetUseSkinItemHeight(Value); }
  void SetListBoxUseSkinFont(bool Value) { FListBox->SetUseSkinFont(Value); }
  void SetListBoxDefaultFont(TFont* Value) { FListBox->SetDefaultFont(Value); }
  void SetListBoxDefaultCaptionFont(TFont* Value) { FListBox->SetDefaultCaptionFont(Value); }
  void SetListBoxDefaultItemHeight(int Value) { FListBox->SetDefaultItemHeight(Value); }
  void SetListBoxCaption(const std::wstring& Value) { FListBox->SetText(Value); }
  void SetListBoxCaptionMode(bool Value) { FListBox->SetCaptionMode(Value); }
  void SetListBoxCaptionAlignment(TAlignment Value) { FListBox->SetAlignment(Value); }
  bool ListBoxAlphaBlend = false;
  bool ListBoxAlphaBlendAnimation = false;
  BYTE ListBoxAlphaBlendValue = 200;
  void SetOnListBoxDrawItem(TskDrawSkinItemEvent Value);

  TNotifyEvent OnChange, OnDropDown, OnCloseUp;
  TskDrawSkinItemEvent OnComboBoxDrawItem;
  // The clock of the typing search (milliseconds); replaceable for tests.
  std::function<DWORD()> TickCount = [] { return GetTickCount(); };

  void DropDown();
  void CloseUp(bool Accept);
  void SelectPrevious(bool Commit);
  void SelectNext(bool Commit);
  void PageUp(bool Commit);
  void PageDown(bool Commit);

  TskPopupListBox* DropDownList() const { return FListBox; }
  TskCustomEdit* InnerEdit() const { return FEdit; }
  bool ListDropped() const { return FListDropped; }
  bool Tracking() const { return FTracking; }
  bool TrackEnteredList() const { return FTrackEnteredList; }
  int ScrollDirection() const { return FScrollDirection; }
  bool MouseInButton() const { return FMouseInButton; }
  bool ButtonPressed() const { return FButtonPressed; }
  int SavedItemIndex() const { return FSavedItemIndex; }
  const std::wstring& SearchText() const { return FSearchText; }
  TRect ItemAreaRect() const { return TRect(FItemAreaRect); }
  TRect DropButtonRect() const { return TRect(FDropButtonRect); }
  // One tick of the auto-scroll timer.
  void ScrollTick();

  void Invalidate() override;
  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void FitSizeToSkin(int& AWidth, int& AHeight) override;
  void UpdateControlRegion() override;

protected:
  friend class TskPopupListBox;
  virtual void AfterItemChange() {}
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  void DefaultFontChanged() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(wchar_t& Key) override;

private:
  void Layout();
  void ListWndProc(TMessage& Message);
  void EditWndProc(TMessage& Message);
  void EditChange();
  void EditAutoComplete();
  void EditMove(int Delta);
  void CancelModeFrom(TObject* Sender);
  void StopScroll();
  void StartScroll(int Direction);
  void FollowList(int X, int Y);
  void MoveListIndex(int Index, bool Commit);
  int ShownIndex() const;
  TColor DisabledColor() const;
  void SetEditFontColor(TColor C);
  void HookRootWindow();
  void DrawItemContent(TCanvas* C, int Index, const RECT& TextRect, int W, int H);
  void PaintToolButton(TBitmap* B, bool Skin);
  TskDataSkinButtonControl* FindButtonEntry(const wchar_t* const* Names) const;

  TskPopupListBox* FListBox = nullptr;
  TskCustomEdit* FEdit = nullptr;
  TWndMethod FSavedListProc, FSavedEditProc;
  bool FUseSkinSize = true;
  bool FToolButtonStyle = false;
  bool FHideSelection = true;
  bool FAutoComplete = true;
  TskSkinCustomComboBoxStyle FStyle = skcbFixedStyle;
  int FDropDownCount = 8;
  int FListBoxWidth = 0;
  TColor FDefaultColor = clWindow;
  TEditCharCase FCharCase = ecNormal;

  int FSavedItemIndex = -1;
  bool FListDropped = false;
  bool FMouseInControl = false, FMouseInButton = false, FButtonPressed = false;
  bool FTracking = false, FTrackEnteredList = false;
  int FScrollDirection = 0;
  std::wstring FSearchText;
  DWORD FLastKeyTick = 0;
  bool FEditChanging = false;
  TOwnerDrawState FDrawState = 0;
  RECT FItemAreaRect{}, FDropButtonRect{};
  TWindowSubclass FRootHook;
  RECT FRootRect{};

  // Copied from the entry.
  RECT FActiveSkinRect{}, FItemRect{}, FActiveItemRect{}, FFocusItemRect{}, FItemTextRect{};
  int FItemLeftOffset = 0, FItemRightOffset = 0;
  std::wstring FFontName = L"Arial";
  int FFontHeight = 14;
  TskFontStyles FFontStyle;
  TColor FFontColor = 0, FActiveFontColor = 0, FFocusFontColor = 0;
  std::wstring FListBoxName;
  RECT FButtonRect{}, FActiveButtonRect{}, FDownButtonRect{}, FUnEnabledButtonRect{};
  bool FItemStretchEffect = false, FFocusItemStretchEffect = false, FShowFocus = false;
};

class TskSkinComboBox : public TskSkinCustomComboBox {
public:
  using TskSkinCustomComboBox::TskSkinCustomComboBox;
};
