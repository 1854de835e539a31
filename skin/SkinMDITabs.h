// The tab bar of an MDI frame: one tab per shown MDI child, the active
// child's tab marked, a click activates, a close button per tab, tabs
// reordered by dragging, all children and the children whose tabs do not fit
// listed in two skinned menus, and a child's system menu on a right click.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Forms.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinData.h"

class TskSkinnedForm;
class TskSkinMenuSpeedButton;
class TskSkinPopupMenu;
class TskSkinMDITabsBar;

enum TskSkinMDITabKind { sktkTab, sktkButton };

class TskMDITab {
public:
  TskMDITab(TskSkinMDITabsBar* ABar, TCustomForm* AChild) : Bar(ABar), Child(AChild) {}
  // Paints the tab at its rectangle.
  void Draw(TCanvas* C);

  TskSkinMDITabsBar* Bar;
  TCustomForm* Child; // not owned
  bool Active = false;
  bool MouseIn = false;
  TRect TabRect; // empty while hidden
  bool Visible = true;
  TRect CloseRect; // relative to the tab's top-left
  bool CloseMouseIn = false, ClosePressed = false;

private:
  void DrawCaption(TCanvas* C, RECT R);
  void DrawCloseButton(TCanvas* C, const RECT& Area);
};

using TskMDITabMouseEvent = std::function<void(TObject* Sender, TskMDITab* MDITab)>;
using TskMDITabMouseButtonEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, TskMDITab* MDITab)>;

class TskSkinMDITabsBar : public TskSkinControl {
public:
  explicit TskSkinMDITabsBar(TComponent* AOwner);
  ~TskSkinMDITabsBar() override;

  TskSkinMDITabKind TabKind() const { return FTabKind; }
  void SetTabKind(TskSkinMDITabKind Value);
  bool ShowCloseButtons = false;
  bool MoveTabs = true;
  bool SupportChildMenus = true;
  bool UseSkinSize = true;
  bool UseSkinFont = true;
  int DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  int DefaultTabWidth = 100;
  int MinTabWidth = 0;
  TskSkinnedForm* SkinnedForm() const { return FSkinnedForm; }
  void SetSkinnedForm(TskSkinnedForm* Value);
  TskMDITabMouseEvent OnTabMouseEnter, OnTabMouseLeave;
  TskMDITabMouseButtonEvent OnTabMouseDown, OnTabMouseUp;

  void AddTab(TCustomForm* Child);
  void DeleteTab(TCustomForm* Child);
  void UpdateActiveTab();
  // Repaints the tab of a child (its caption changed).
  void RedrawTab(TCustomForm* Child);

  int TabCount() const { return static_cast<int>(FTabs.size()); }
  TskMDITab* Tab(int I) const { return FTabs[I].get(); }
  int HiddenCount() const { return FHiddenCount; }
  int CloseSize() const { return FCloseSize; }
  int StripHeight() const { return FStripHeight; }
  TskSkinMenuSpeedButton* MenuButton() const { return FMenuButton; }
  TskSkinMenuSpeedButton* HiddenButton() const { return FHiddenButton; }
  TskSkinPopupMenu* AllChildrenMenu() const { return FAllMenu; }
  TskSkinPopupMenu* HiddenChildrenMenu() const { return FHiddenMenu; }
  int DragIndex() const { return FDragIndex; }
  bool DragMoving() const { return FDragMoving; }
  int DragOffset() const { return FDragOffset; }
  // Places the tabs for the current size.
  void LayoutTabs();
  int GetDropIndex() const;
  // The visible tab at a point (edges included), or -1.
  int TabAt(int X, int Y) const;
  // Hover tracking; (-1, -1) forgets the hovered tab.
  void TrackMouse(int X, int Y);
  // The menus' items for the tabs (all, or only the hidden ones).
  void RebuildMenu(TskSkinPopupMenu* Menu, bool HiddenOnly);

  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void AdjustClientRect(TRect& Rect) override;

protected:
  friend class TskMDITab;
  void Paint() override;
  void PaintDefaultImage(TBitmap* Bitmap) override;
  void PaintSkinImage(TBitmap* Bitmap) override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void ChooseTabFont(TFont* F, TColor Color) const;
  void DrawTabs(TCanvas* C);
  void DrawDropMark(TCanvas* C, int X);
  TskSkinMenuSpeedButton* MakeMenuButton(bool Hidden);
  void UpdateHiddenButton();
  bool IsOwnTab(TskMDITab* T) const;
  void ChooseChild(TCustomForm* Child);
  void ShowChild(TCustomForm* Child);

  std::vector<std::unique_ptr<TskMDITab>> FTabs;
  TskSkinMDITabKind FTabKind = sktkTab;
  int FDefaultHeight = 21;
  std::unique_ptr<TFont> FDefaultFont;
  TskSkinnedForm* FSkinnedForm = nullptr;
  int FHiddenCount = 0;
  int FHoverIndex = -1, FOldHoverIndex = -1;
  int FDragIndex = -1;
  bool FDragArmed = false, FDragMoving = false;
  int FStartX = 0, FDragOffset = 0, FDragLimit = 0;
  int FCloseSize = 14;
  TskSkinPopupMenu* FAllMenu = nullptr;
  TskSkinPopupMenu* FHiddenMenu = nullptr;
  TskSkinMenuSpeedButton* FMenuButton = nullptr;
  TskSkinMenuSpeedButton* FHiddenButton = nullptr;

  // Copied from the entry at every read; the close-button fallbacks are the
  // bar's own copies.
  const TskPicture* FPicture = nullptr;
  RECT FTabRect{}, FActiveTabRect{}, FMouseInTabRect{}, FTabsBGRect{};
  int FTabLeftOffset = 0, FTabRightOffset = 0;
  std::wstring FFontName = L"Arial";
  TskFontStyles FFontStyle;
  int FFontHeight = 14;
  TColor FFontColor = 0, FFocusFontColor = 0, FMouseInFontColor = 0;
  bool FTabStretchEffect = false;
  RECT FCloseButtonRect{}, FCloseButtonActiveRect{}, FCloseButtonDownRect{};
  bool FButtonTransparent = false;
  TColor FButtonTransparentColor = 0;
  POINT FLTPoint{}, FRTPoint{}, FLBPoint{}, FRBPoint{};
  RECT FClientRectSkin{}, FSkinRect{};
  bool FTopStretch = false;
  int FStripHeight = 0;
  int FActiveExtra = 0;
};
