// Toolbars: a dockable window showing a view of its root item, with the
// chevron for hidden items, the menu bar's keys and item shortcuts.
#pragma once

#include <memory>

#include "toolbars/TfDock.h"
#include "toolbars/TfItem.h"

class TTfCustomToolbar;

enum TTfChevronPriorityForNewItems { tfcpHighest, tfcpLowest };

class TTfToolbarView : public TTfView {
public:
  TTfToolbarView(TTfCustomToolbar* Toolbar, TTfCustomItem* Root);
  void ResizeToContent(int Width, int Height) override;
  void Reflow(TPoint& Size) override;
  TTfCustomItem* GetChevron() override;
  TFont* ViewFont() override;
  void InvalidatePositions() override;
  TTfCustomToolbar* Toolbar() const { return FToolbar; }

private:
  TTfCustomToolbar* FToolbar;
};

class TTfChevronItem : public TTfCustomItem {
public:
  explicit TTfChevronItem(TTfCustomToolbar* Toolbar);
  TTfView* ChevronSourceView() override;
  TTfItemViewer* CreateViewer(TTfView* View, int Level) override;

private:
  TTfCustomToolbar* FToolbar;
};

class TTfChevronItemViewer : public TTfItemViewer {
public:
  using TTfItemViewer::TTfItemViewer;
  void Paint(TCanvas* Canvas, const TRect& ClientRect, bool IsSelected, bool IsPushed,
             bool UseDisabledShadow) override;
};

// State of one interactive resize of a floating toolbar.
struct TToolbarSizeData {
  int Edge = 0;
  int StartWidth = 0, StartHeight = 0;
  int LeftFrame = 0;
  int WrapWidth = 0;
  bool SkipDeadZone = false;
  bool Smaller = false;
  std::vector<TPoint> Sizes;
  int DistSmaller = 0, DistLarger = 0;
};

class TTfCustomToolbar : public TTfCustomDockableWindow, public IItemRootProvider {
public:
  explicit TTfCustomToolbar(TComponent* AOwner);
  ~TTfCustomToolbar() override;

  TTfRootItem* Items() const { return FItems.get(); }
  TTfCustomItem* GetRootItem() override { return FItems.get(); }
  TTfToolbarView* View() const { return FView.get(); }
  TTfChevronItem* ChevronItem() const { return FChevron.get(); }

  bool MenuBar() const { return FMenuBar; }
  void SetMenuBar(bool Value);
  bool ProcessShortCuts() const { return FProcessShortCuts; }
  void SetProcessShortCuts(bool Value);
  TTfShrinkMode ShrinkMode() const { return FShrinkMode; }
  void SetShrinkMode(TTfShrinkMode Value);
  int FloatingWidth() const { return FFloatingWidth; }
  void SetFloatingWidth(int Value);
  bool SystemFont() const { return FSystemFont; }
  void SetSystemFont(bool Value);
  bool ChevronMoveItems() const { return FChevronMoveItems; }
  void SetChevronMoveItems(bool Value);
  TTfChevronPriorityForNewItems ChevronPriorityForNewItems() const {
    return FChevronPriorityForNewItems;
  }
  void SetChevronPriorityForNewItems(TTfChevronPriorityForNewItems Value);
  std::wstring ChevronHint() const { return FChevron->Hint(); }
  void SetChevronHint(const std::wstring& Value);
  TCustomImageList* Images() const { return FItems->SubMenuImages(); }
  void SetImages(TCustomImageList* Value) { FItems->SetSubMenuImages(Value); }
  TTfItemOptions Options() const { return FItems->Options(); }
  void SetOptions(TTfItemOptions Value) { FItems->SetOptions(Value); }
  TTfCustomItem* LinkSubitems() const { return FItems->LinkSubitems(); }
  void SetLinkSubitems(TTfCustomItem* Value) { FItems->SetLinkSubitems(Value); }
  bool UpdateActions = true;
  TShortCutEvent OnShortCut;
  int LineCount() const { return FLineCount; }

  TTfControlItem* AddControlItem(int Index, TControl* Control);
  TTfControlItem* ControlItemOf(TControl* Control);
  // Keyboard entry into the menu loop (#0: first item without opening).
  bool OpenByKey(wchar_t Key, bool RequirePrimaryAccel);

  void MeasureForPlacement(bool UseCurrent, TTfDock* Dock, bool Floating, TPoint& Size) override;
  void GetContentSize(TPoint& Size) override;
  void AdjustMinimumLength(int& Length) override;
  TTfShrinkMode QueryShrinkMode() override { return FShrinkMode; }
  bool IsPointOnContent(const TPoint& P) override;
  // Floating content sizes at which the items wrap into a different number of lines.
  virtual void CollectWrapSizes(std::vector<TPoint>& List);
  void ResizeStarting(int Edge) override;
  void ResizeEnded() override;
  void ResizeTracking(TRect& NewRect, const TRect& OrigRect) override;
  void ResizeApplying() override;
  // FloatingWidth is kept under the value name "FloatRightX".
  void ReadPosition(const TTfPositionData& Data) override;
  void WritePosition(const TTfPositionData& Data) override;
  const TToolbarSizeData* SizeData() const { return FSizeData.get(); }

  // Used by the view.
  TPoint ContentSize;
  int LayoutNesting = 0;

protected:
  void Dispatch(TMessage& Message) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void DoContextPopup(const TPoint& MousePos, bool& Handled) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Loaded() override;
  void CreateWnd() override;

private:
  friend class TTfToolbarView;
  void ApplyViewLimits();
  void SyncShortcutHook();
  void ForgetHotItem();
  int WrapExtentFor(TTfDock* Dock);
  int ChevronExtentFor(TTfDock* Dock, TViewOrientation O);
  void HookForm();
  void ControlChanged(TControl* Control, bool Inserted);
  bool SetViewerCursor();
  std::unique_ptr<TTfRootItem> FItems;
  std::unique_ptr<TTfChevronItem> FChevron;
  std::unique_ptr<TTfToolbarView> FView;
  bool FMenuBar = false, FProcessShortCuts = false, FSystemFont = true, FChevronMoveItems = true;
  bool FRegistered = false, FMousePress = false;
  TTfShrinkMode FShrinkMode = tfsmChevron;
  TTfChevronPriorityForNewItems FChevronPriorityForNewItems = tfcpHighest;
  int FFloatingWidth = 0;
  int FLineCount = 1;
  TWindowSubclass FFormHook;
  TFont* FFreshFont = nullptr;
  std::unique_ptr<TToolbarSizeData> FSizeData;
};

class TTfToolbar : public TTfCustomToolbar {
public:
  using TTfCustomToolbar::TTfCustomToolbar;
};
