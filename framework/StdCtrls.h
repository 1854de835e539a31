// Standard controls: label, static text, button, edit, check box, radio
// button, group box, combo box, list box and scroll bar.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/Controls.h"
#include "framework/Strings.h"

// ---------------------------------------------------------------------------
// Label: windowless text painted by its parent.

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  void SetAutoSize(bool Value) override;

protected:
  void Paint() override;
  void AdjustBounds();
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

private:
  UINT DrawFlags() const;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
};

// ---------------------------------------------------------------------------
// Static text: text in a window of the system's static class, so that tools
// which read windows (accessibility, test robots) find it.

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

class TStaticText : public TWinControl {
public:
  explicit TStaticText(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TStaticBorderStyle Value);
  // Without it "&" is shown as it is.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  // Sized to the caption on one line.
  void SetAutoSize(bool Value) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

private:
  void AdjustBounds();
  TAlignment FAlignment = taLeftJustify;
  TStaticBorderStyle FBorderStyle = sbsNone;
  bool FShowAccelChar = true;
};

// ---------------------------------------------------------------------------
// Push button

// Where a button's glyph lies beside its caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TButton : public TWinControl {
public:
  explicit TButton(TComponent* AOwner);

  // Enter clicks the default button unless another button has the focus.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  // Escape clicks the cancel button.
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  // Given to the parent form when the button is clicked.
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  void Click() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;

private:
  void SetButtonStyle(bool ADefault);
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  TModalResult FModalResult = mrNone;
};

// ---------------------------------------------------------------------------
// Single-line edit

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TEdit : public TWinControl {
public:
  explicit TEdit(TComponent* AOwner);

  std::wstring Text() const override;
  void SetText(const std::wstring& Value) override;
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  wchar_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(wchar_t Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }

  int SelStart();
  void SetSelStart(int Value);
  int SelLength();
  void SetSelLength(int Value);
  std::wstring SelText();
  void SelectAll();
  void Clear() { SetText(L""); }
  bool CanUndo();
  void Undo();
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void ClearSelection();
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  virtual void Change();

private:
  int FMaxLength = 0;
  bool FReadOnly = false;
  wchar_t FPasswordChar = 0;
  TEditCharCase FCharCase = ecNormal;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  int FSelStart = 0, FSelLength = 0;
};

// Whether the clipboard holds non-empty text.
bool ClipboardHasText();

// ---------------------------------------------------------------------------
// Check box and radio button

class TButtonControl : public TWinControl {
public:
  explicit TButtonControl(TComponent* AOwner);

  bool Checked() const;
  // A real change repaints and fires OnClick, as a click by the user does.
  virtual void SetChecked(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  // BN_CLICKED from the window.
  virtual void Toggle() = 0;
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
  bool FWordWrap = false;
};

class TCheckBox : public TButtonControl {
public:
  explicit TCheckBox(TComponent* AOwner);

protected:
  void CreateParams(TCreateParams& Params) override;
  void Toggle() override { SetChecked(!FChecked); }
};

class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent* AOwner);
  // Checking one radio button unchecks its siblings.
  void SetChecked(bool Value) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Toggle() override { SetChecked(true); }
};

// ---------------------------------------------------------------------------
// Group box: a captioned frame around other controls.

class TGroupBox : public TCustomControl {
public:
  explicit TGroupBox(TComponent* AOwner);

protected:
  void Paint() override;
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;
};

// ---------------------------------------------------------------------------
// Item lists of combo and list boxes: kept here and mirrored into the window.

class TListControlItems : public TStrings {
public:
  // AddMsg, InsertMsg, DeleteMsg, ResetMsg, SetDataMsg: the control's messages.
  TListControlItems(TWinControl* Control, UINT InsertMsg, UINT DeleteMsg, UINT ResetMsg);

  int Count() const override { return FList.Count(); }
  std::wstring Get(int Index) const override { return FList.Get(Index); }
  void Put(int Index, const std::wstring& S) override;
  void* GetObjectAt(int Index) const override { return FList.Objects(Index); }
  void PutObjectAt(int Index, void* Object) override { FList.SetObjects(Index, Object); }
  void InsertObject(int Index, const std::wstring& S, void* Object) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const std::wstring& S) const override;
  // A sorted list adds each string at its place in alphabetical order.
  int AddObject(const std::wstring& S, void* Object) override;
  void SetSorted(bool Value);

  // Fills a newly made window.
  void FillWindow();

private:
  TWinControl* FControl;
  UINT FInsertMsg, FDeleteMsg, FResetMsg;
  TStringList FList;
  bool FSorted = false;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(*Value); }
  // -1 when nothing is selected. Setting it fires no event.
  int ItemIndex() const;
  void SetItemIndex(int Value);
  std::wstring Text() const override;
  void SetText(const std::wstring& Value) override;
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  void Clear();

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void Change();

private:
  void UpdateDropHeight();
  std::unique_ptr<TListControlItems> FItems;
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  int FItemIndex = -1;
  bool FSorted = false;
};

// Item states of owner-drawn lists.
using TOwnerDrawState = unsigned;
constexpr TOwnerDrawState odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8,
                          odFocused = 16;
// lbOwnerDrawFixed: every row ItemHeight high, drawn by DrawItem.
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

class TListBox : public TWinControl {
public:
  explicit TListBox(TComponent* AOwner);
  ~TListBox() override;

  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  // Rows side by side, each column Width / Columns wide (0: one column).
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  // With MultiSelect: Shift and Ctrl extend the selection (else each click toggles).
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  // Row height of the owner-drawn style.
  void SetItemHeight(int Value);
  // The drawing surface of DrawItem (also usable for measuring).
  TCanvas* Canvas() const { return FCanvas.get(); }
  TDrawItemEvent OnDrawItem;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(*Value); }
  int ItemIndex() const;
  void SetItemIndex(int Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;
  int TopIndex() const;
  void SetTopIndex(int Value);
  int ItemHeight() const;
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  // The item at a client position; -1 (or the count when not Existing) when none.
  int ItemAtPos(const TPoint& Pos, bool Existing) const;
  TRect ItemRect(int Index) const;
  void Clear() { FItems->Clear(); }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  // Draws one row of the owner-drawn style on Canvas: OnDrawItem, else the
  // item's text on the highlight or window colour.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  // CN_DRAWITEM: the platform asks for one row.
  virtual void CNDrawItem(TMessage& Message);

private:
  HWND Wnd() const;
  void UpdateColumnWidth();
  std::unique_ptr<TListControlItems> FItems;
  std::unique_ptr<TCanvas> FCanvas;
  TListBoxStyle FStyle = lbStandard;
  int FColumns = 0;
  bool FExtendedSelect = true;
  int FItemHeight = 16;
  bool FMultiSelect = false;
  bool FSorted = false;
  int FItemIndex = -1;
  int FTopIndex = 0;
};

// ---------------------------------------------------------------------------
// Scroll bar control

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode {
  scLineUp,
  scLineDown,
  scPageUp,
  scPageDown,
  scPosition,
  scTrack,
  scTop,
  scBottom,
  scEndScroll
};
// ScrollPos is where the bar is about to go; the handler may change it.
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
  explicit TScrollBar(TComponent* AOwner);

  // Changing the kind turns the bar: width and height are exchanged.
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
  int Max() const { return FMax; }
  void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
  int Position() const { return FPosition; }
  // Clamped to the range; fires OnChange on a real change.
  void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
  // Sets the range and the position at once (Max below Min is taken as Min).
  void SetParams(int APosition, int AMin, int AMax);
  // Steps of the arrows and of clicks beside the thumb (1..32767).
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value);
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value);
  // Size of the thumb in range units (0 = the system's square thumb); the
  // position then goes up to Max - PageSize + 1.
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);

private:
  void DoScroll(WORD Code, WPARAM WParam);
  int MaxPosition() const;
  void UpdateWindow();
  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPosition = 0;
  int FSmallChange = 1, FLargeChange = 1, FPageSize = 0;
};
