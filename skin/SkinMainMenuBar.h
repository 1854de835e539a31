// Skinned main menu bar: the top-level items of a main menu as a bar of
// skin-drawn items inside a skinned form, their sub-menus as skinned popups,
// the main menu of the active MDI child merged in, and the maximized child's
// system-menu, minimize, restore and close buttons at the ends of the bar.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/ExtCtrls.h"
#include "framework/Menus.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinData.h"

class TskSkinnedForm;
class TskSkinMainMenuBar;

using TMainMenuItemClick = std::function<void(TObject* Sender, const std::wstring& IDName)>;
using TskItemEnterEvent = std::function<void(TMenuItem* MenuItem)>;
using TskItemLeaveEvent = std::function<void(TMenuItem* MenuItem)>;

// ---------------------------------------------------------------------------
// Objects on the bar

class TskMenuBarObject {
public:
  // AData may be nullptr: the object then draws its default look.
  TskMenuBarObject(TskSkinMainMenuBar* AParent, TskDataSkinObject* AData);
  virtual ~TskMenuBarObject() = default;
  TskMenuBarObject(const TskMenuBarObject&) = delete;
  TskMenuBarObject& operator=(const TskMenuBarObject&) = delete;

  virtual void ReDraw();
  // Draws the object at its rectangle onto a DC in bar coordinates.
  virtual void Draw(HDC /*DC*/) {}
  virtual void DblClick() {}
  virtual void MouseDown(int /*X*/, int /*Y*/, TMouseButton /*Button*/) {}
  virtual void MouseUp(int /*X*/, int /*Y*/, TMouseButton /*Button*/) {}
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool MorphPending() const;

  // The morph runs: the object morphs and the bar's skin effects are on.
  bool MorphingApplies() const;
  double MorphKf() const { return FMorphKf; }
  void SetMorphKf(double Value);

  TskSkinMainMenuBar* Parent;
  bool MouseIn = false;
  const TskPicture* Picture = nullptr;
  bool Down = false;
  std::wstring IDName;
  RECT SkinRect{}, ActiveSkinRect{}, DownRect{};
  bool Morphing = false;
  int MorphKind = 0;
  RECT ObjectRect{};
  bool Active = false;
  bool Enabled = true;
  bool Visible = true;

protected:
  // The morph of two images of the object's size onto DC at the object.
  void DrawMorph(HDC DC, const TskPicture& Normal, const TskPicture& Hot);

private:
  double FMorphKf = 0;
};

// A button of the maximized MDI child.
class TskSkinMainMenuBarButton : public TskMenuBarObject {
public:
  // Command: 0 close, 1 restore, 2 minimize, 3 system menu.
  TskSkinMainMenuBarButton(TskSkinMainMenuBar* AParent, TskDataSkinStdButton* AData, int ACommand);
  void Draw(HDC DC) override;
  void DblClick() override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // Runs the command on the maximized child.
  void DoCommand();

  bool SkinSupport;
  int Command;
};

// One top-level menu item.
class TskSkinMainMenuBarItem : public TskMenuBarObject {
public:
  TskSkinMainMenuBarItem(TskSkinMainMenuBar* AParent, TskDataSkinMainMenuItem* AData,
                         TMenuItem* AMenuItem);
  void ReDraw() override;
  void Draw(HDC DC) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // Pressing opens the sub-menu; releasing only changes the look.
  void SetDown(bool Value);
  bool FrameAnimationApplies() const;
  // The caption's width in the item's font.
  int CaptionWidth(HDC DC) const;
  // One step of the frame animation; false when nothing changed.
  bool AnimationStep();
  RECT FrameRect(int N) const;

  bool SkinSupport;
  TMenuItem* MenuItem;
  bool Shown = true;
  bool SavedEnabled = true;
  std::wstring FontName;
  int FontHeight = 14;
  TskFontStyles FontStyle;
  TskColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, UnEnabledFontColor = 0;
  RECT TextRect{};
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  bool StretchEffect = false;
  RECT AnimateSkinRect{};
  int FrameCount = 0, AnimateInterval = 25;
  bool InActiveAnimation = false;
  int CurrentFrame = 0;

private:
  void DrawDefault(HDC DC);
  void DrawSkin(HDC DC);
  void BuildImage(TskPicture& Dest, const RECT& Src, bool Stretch) const;
  void ApplyItemFont(TFont* F) const;
};

// ---------------------------------------------------------------------------
// The bar

class TskSkinMainMenuBar : public TskSkinControl {
public:
  explicit TskSkinMainMenuBar(TComponent* AOwner);
  ~TskSkinMainMenuBar() override;

  TMainMenu* MainMenu() const { return FMainMenu; }
  void SetMainMenu(TMainMenu* Value);
  TskSkinnedForm* SkinnedForm() const { return FSkinnedForm; }
  void SetSkinnedForm(TskSkinnedForm* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value);
  bool ScrollMenu() const { return FScrollMenu; }
  void SetScrollMenu(bool Value);
  TFont* DefItemFont() const { return FDefItemFont.get(); }
  void SetDefItemFont(TFont* Value);
  int DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int Value);
  int DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);
  bool PopupToUp = false;
  TMainMenuItemClick OnMainMenuItemClick;
  TskItemEnterEvent OnItemMouseEnter;
  TskItemLeaveEvent OnItemMouseLeave;

  // The first main menu among the components of the main form's active MDI child.
  TMainMenu* GetChildMainMenu() const;
  void UpdateItems();
  void MDIChildMaximized();
  void MDIChildRestored();
  bool HandleAccelKey(WORD Key);
  void SelectNextItem();
  void SelectPriorItem();
  bool ClickActiveItem();
  void MainMenuEnter();
  void ReleaseDownItem();
  void MainMenuExit();
  // Opens the items that do not fit on the bar.
  void PopupHiddenItems();

  void ReadSkinEntry() override;
  void ApplyControlSkin() override;
  void DropSkinEntry() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  // State offered to the objects and to tests.
  int ObjectCount() const { return static_cast<int>(FObjects.size()); }
  TskMenuBarObject* Object(int I) const { return FObjects[I].get(); }
  std::vector<TskSkinMainMenuBarItem*> Items() const;
  int ButtonsCount() const { return FButtonsCount; }
  bool ButtonsShown() const { return FButtonsShown; }
  bool Merged() const { return FMerged; }
  bool MenuActive() const { return FMenuActive; }
  void SetMenuActive(bool Value) { FMenuActive = Value; }
  bool ItemsHidden() const { return FItemsHidden; }
  bool MarkerActive() const { return FMarkerActive; }
  bool SkinSupport() const { return FSkinSupport; }
  bool ItemTransparent() const { return FItemTransparent; }
  int ActiveObject() const { return FActiveObject; }
  int DownObject() const { return FDownObject; }
  RECT ItemsArea() const { return FItemsArea; }
  RECT MarkerRect() const;
  TTimer* MouseTimer() const { return FMouseTimer.get(); }
  TTimer* MorphTimer() const { return FMorphTimer.get(); }
  TTimer* AnimateTimer() const { return FAnimateTimer.get(); }
  // Lays out the items area, the buttons and the items (fitting them).
  void LayoutObjects();
  // Tracks the mouse at a point in bar coordinates; (-1, -1) when it left.
  void TrackMouse(int X, int Y);
  void MouseTimerTick();
  void MorphTimerTick();
  void AnimateTimerTick();
  // Draws one object on the bar now.
  void DrawObject(TskMenuBarObject* O);
  // Draws the whole bar onto DC.
  void PaintBar(HDC DC);
  // What the bar painted behind its objects the last time.
  const TskPicture& Background() const { return FBackground; }
  void StartMorph() { FMorphTimer->SetEnabled(true); }
  void StartAnimation(int Interval);

protected:
  void Paint() override {}
  void WndProc(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

private:
  void CreateControlObjects();
  void CreateChildButtons();
  void FreeChildButtons();
  void EnableButtons(TskSkinnedForm* Child);
  void DrawMarker(HDC DC);
  void RedrawMarker();

  TMainMenu* FMainMenu = nullptr;
  TskSkinnedForm* FSkinnedForm = nullptr;
  bool FUseSkinFont = true, FScrollMenu = true;
  std::unique_ptr<TFont> FDefItemFont;
  int FDefaultWidth = 0, FDefaultHeight = 22;

  std::vector<std::unique_ptr<TskMenuBarObject>> FObjects;
  int FButtonsCount = 0;
  bool FButtonsShown = false;
  int FActiveObject = -1, FOldActiveObject = -1, FDownObject = -1;
  bool FMenuActive = false, FItemsHidden = false, FMarkerActive = false;
  bool FSkinSupport = false, FMerged = false;
  RECT FItemsArea{};
  // The merged child menu, watched so that the bar never keeps its freed items.
  TMainMenu* FChildMenu = nullptr;
  TMainMenu* FRemovedMenu = nullptr;

  RECT FSkinRect{}, FItemsRect{};
  std::wstring FMenuBarItem, FCloseButton, FMinButton, FMaxButton, FSysMenuButton;
  TskColor FTrackMarkColor = 0, FTrackMarkActiveColor = 0;
  bool FStretchEffect = false, FItemTransparent = false;
  const TskPicture* FPicture = nullptr;
  TskPicture FBackground;

  std::unique_ptr<TTimer> FMouseTimer, FMorphTimer, FAnimateTimer;
};
