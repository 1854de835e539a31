// Skinned popup menus: a chain of non-activating popup windows, one per open
// level, that track the mouse with a timer and take their keys from the
// skinned form; the items inside a window with their sizes and drawing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "skin/SkinData.h"

class TskSkinMenu;
class TskSkinPopupWindow;

// Glyphs of the menu items.
void DrawMenuCheckMark(HDC DC, int X, int Y, TColor Color);
void DrawSubMenuArrow(HDC DC, int X, int Y, TColor Color);
void DrawRadioDot(HDC DC, int X, int Y, TColor Color);

// The messages on which a form closes its open skinned menu.
bool IsMenuCloseMessage(UINT Msg);

// What a skinned form offers the skinned menus: its menu controller, the skin
// to draw them with and the open and close notices.
class TskSkinMenuHost {
public:
  virtual ~TskSkinMenuHost() = default;
  virtual TskSkinMenu* SkinMenu() = 0;
  // The skin for menus: the menu skin data, else the form's skin data.
  virtual TskSkinData* MenusSkinData() = 0;
  // Closes an open skinned menu of the form.
  virtual void SkinMenuClose() = 0;
  // Called before a skinned menu opens on the form.
  virtual void SkinMenuOpen() = 0;
};

// The first skinned-menu host among the form's components, or nullptr.
TskSkinMenuHost* FindSkinFormOf(TComponent* Form);

// ---------------------------------------------------------------------------
// One item of a popup window

class TskSkinMenuItem : public TObject {
public:
  TskSkinMenuItem(TskSkinPopupWindow* AParent, TMenuItem* AMenuItem, TskDataSkinMenuItem* AData);
  ~TskSkinMenuItem() override = default;

  // True while the morph has still to move.
  virtual bool MorphPending();

  TskSkinPopupWindow* Window() const { return FParent; }
  TMenuItem* MenuItem() const { return FMenuItem; }
  TskDataSkinMenuItem* Data() const { return FData; }
  const TskPicture* Picture() const { return FPicture; }
  TRect ObjectRect;
  bool Active = false;
  bool Down = false; // its sub-menu is shown
  bool Visible = true;
  bool KeyboardSelected = false;
  double MorphKf = 0;
  int FrameIndex = 0;

  bool IsDivider() const { return FMenuItem->Caption() == L"-"; }
  bool IsHeader() const;
  bool Selectable() const { return FMenuItem->Enabled() && !IsDivider(); }
  bool HasSubItems() const { return FMenuItem->Count() > 0; }
  int ItemHeight() const;
  int TextWidth(HDC DC) const;

  void Select(bool ByKeyboard);
  void Deselect();
  void Click();
  void UpdateLook();
  void MorphStep();
  bool MorphingApplies() const;
  bool FrameAnimationApplies() const;
  RECT ItemFrameRect(int N) const;
  // Draws the item onto DC at its rectangle.
  void Draw(HDC DC);
  // The item image (size of the item).
  void DrawInto(TBitmap* B);

private:
  void DrawSkinMenuItem(TBitmap* B, bool AActive, const RECT* Frame);
  void DrawDefaultMenuItem(TBitmap* B);
  void DrawMenuHeader(TBitmap* B);
  void DrawImageOrGlyph(TCanvas* C, const RECT& TextArea, TColor FontColor, bool AActive);
  void DrawCaption(TCanvas* C, const RECT& Area, int Right, TColor FontColor);
  TskSkinPopupWindow* FParent;
  TMenuItem* FMenuItem;
  TskDataSkinMenuItem* FData;
  const TskPicture* FPicture = nullptr;
  RECT FSkinRect{}, FActiveSkinRect{};
};

// ---------------------------------------------------------------------------
// The window of one level

class TskSkinPopupWindow : public TCustomControl {
public:
  TskSkinPopupWindow(TskSkinMenu* AMenu, TskSkinData* ASkinData);
  ~TskSkinPopupWindow() override;

  void ShowAt(const TRect& R, TMenuItem* Item, int StartIndex, bool SubLevel, bool PreferAbove);
  // One level listing Item's sub-items from StartIndex on, then Item2's from
  // StartIndex - Item's count on. It fades in on a timer.
  void ShowMergedAt(const TRect& R, TMenuItem* Item, TMenuItem* Item2, int StartIndex,
                    bool SubLevel, bool PreferAbove);
  // Keys passed by the skinned form while the window is shown.
  void HandleMenuKey(WORD Key);
  void BuildMenuItems(TMenuItem* Item, int StartIndex, TMenuItem* Item2 = nullptr);
  void SelectNextItem();
  void SelectPrevItem();
  void ScrollUp(bool Wrap);
  void ScrollDown(bool Wrap);
  void StartScroll();
  void StopScroll();
  bool CanScroll() const;
  int FirstIndexForLastPage() const;
  void ArrangeItems();
  // One tick of the timers (for the timer messages and the tests).
  void TrackMenuMouse();
  void ScrollTick();
  void ItemAnimationTick();
  // One step of the timed fade-in: the alpha rises by 10 up to the value.
  void FadeTick();
  bool Fading() const;
  BYTE CurrentAlpha() const { return static_cast<BYTE>(FFadeAlpha); }
  void MouseMoveAt(int X, int Y);
  // Closes the levels above the next one and resets the next level's open items.
  void CloseLevelsAfter();

  TskSkinMenu* Menu() const { return FMenu; }
  TskSkinData* SkinData() const { return FSkinData; }
  TskDataSkinPopupWindow* WindowData() const { return FWindowData; }
  TskDataSkinMenuItem* ItemData() const { return FItemData; }
  int ItemCount() const { return static_cast<int>(FItems.size()); }
  TskSkinMenuItem* Item(int I) const { return FItems[I].get(); }
  int ActiveIndex() const { return FActiveIndex; }
  int FirstShown() const { return FFirstShown; }
  int ShownCount() const { return FShownCount; }
  bool Scrolled() const { return FScrolled; }
  bool Limited() const { return FLimited; }
  int ScrollDirection() const { return FScrollDirection; }
  bool Turned() const { return FTurned; }
  TRect ItemsRect() const { return FItemsRect; }
  TCustomImageList* Images() const { return FImages; }
  int ImageColumn() const;
  TFont* ItemFont();
  bool Skinned() const { return FWindowData != nullptr && FWindowPicture != nullptr; }
  UINT ScrollTimerInterval() const { return FScrollTimerOn ? 100 : 0; }
  TTimer* AnimationTimer() const { return FAnimTimer.get(); }
  TTimer* TrackTimer() const { return FTrackTimer.get(); }
  void Select(TskSkinMenuItem* Item, bool ByKeyboard);
  void Deselect(TskSkinMenuItem* Item);
  // Draws the whole window into DC.
  void PaintMenuWindow(HDC DC);
  // The window background; with the screen copy blended when needed.
  void BuildWindowImage(TskPicture& Dest, bool DrawCentre);
  const TskPicture& TransparentBackground() const { return FTransparentBG; }
  void DrawItemNow(TskSkinMenuItem* Item);
  int MenuItemsWidth(HDC DC) const;
  int MenuItemsHeight() const;
  RECT UpMarkerRect() const;
  RECT DownMarkerRect() const;
  bool AlphaBlend() const { return FAlphaBlend; }
  // Stops the timers and hides the window; it is freed once no message of
  // its own is being handled.
  void Retire();
  bool Busy() const { return FBusy > 0; }
  // Keeps the window from being freed while one of its handlers runs: a
  // command may close the menu under it.
  class TBusyScope {
  public:
    explicit TBusyScope(TskSkinPopupWindow* W) : FWindow(W) { ++FWindow->FBusy; }
    ~TBusyScope() { --FWindow->FBusy; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

  private:
    TskSkinPopupWindow* FWindow;
  };

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void SizeMenuWindow();
  // Covering: only a window that covers R goes beside it (else every turned one).
  void PlaceMenuWindow(const TRect& R, bool SubLevel, bool PreferAbove, int& X, int& Y,
                       bool BesideWhenCovering = false);
  void SetSkinRegion();
  void ShowDelayed();
  void FinishShow();
  void DrawMarkers(HDC DC);
  void PaintMarkerBackground(TskPicture& Dest, const RECT& R);

  TskSkinMenu* FMenu;
  TskSkinData* FSkinData;
  TskDataSkinPopupWindow* FWindowData = nullptr;
  const TskPicture* FWindowPicture = nullptr;
  const TskPicture* FMaskPicture = nullptr;
  std::vector<std::unique_ptr<TskSkinMenuItem>> FItems;
  int FActiveIndex = -1, FOldActiveIndex = -1;
  int FFirstShown = 0, FShownCount = 0;
  TRect FItemsRect;
  POINT FNewLT{}, FNewRT{}, FNewLB{}, FNewRB{};
  bool FScrolled = false, FLimited = false, FTurned = false;
  int FScrollDirection = 0;
  TskDataSkinMenuItem* FItemData = nullptr;
  TCustomImageList* FImages = nullptr;
  bool FAlphaBlend = false, FAlphaBlendAnimation = false;
  BYTE FAlphaBlendValue = 200;
  TskPicture FScreenCopy, FTransparentBG;
  HRGN FRegion = nullptr;
  std::unique_ptr<TTimer> FTrackTimer, FAnimTimer, FShowTimer, FFadeTimer;
  bool FTimedFade = false;
  int FFadeAlpha = 255;
  bool FScrollTimerOn = false;
  POINT FLastPos{-1, -1};
  int FShowX = 0, FShowY = 0;
  std::unique_ptr<TFont> FCanvasFont;
  int FBusy = 0;
};

// ---------------------------------------------------------------------------
// The controller of one open menu

class TskSkinMenu : public TComponent {
public:
  // ASkinnedForm owns the controller; AForm is the form it belongs to.
  TskSkinMenu(TComponent* ASkinnedForm, TWinControl* AForm);
  ~TskSkinMenu() override;

  void Popup(TControl* Opener, TskSkinData* ASkinData, int StartIndex, const TRect& R,
             TMenuItem* Item, bool PreferAbove);
  void ShowMenuLevel(const TRect& R, TMenuItem* Item, int StartIndex, bool SubLevel,
                     bool PreferAbove);
  // As Popup for the sub-items of Item followed by those of Item2 in one level.
  void PopupMerged(TControl* Opener, TskSkinData* ASkinData, int StartIndex, const TRect& R,
                   TMenuItem* Item, TMenuItem* Item2, bool PreferAbove);
  void ShowMenuLevelMerged(const TRect& R, TMenuItem* Item, TMenuItem* Item2, int StartIndex,
                           bool SubLevel, bool PreferAbove);
  void ItemActivated(TskSkinPopupWindow* Window, TskSkinMenuItem* Item, bool Click,
                     bool ByKeyboard);
  void CloseMenuLevels(int N);
  void CloseAll();
  int MenuLevelOf(TskSkinPopupWindow* Window) const;
  // Passes a key to the topmost window; false when no menu is shown.
  bool HandleMenuKey(WORD Key);

  int LevelCount() const { return static_cast<int>(FPopupList.size()); }
  TskSkinPopupWindow* Level(int I) const { return FPopupList[I]; }
  bool Visible() const { return FVisible; }
  bool FirstOpening() const { return FFirstOpening; }
  TWinControl* Form() const { return FForm; }
  TControl* PopupCtrl() const { return FPopupCtrl; }
  TskSkinData* SkinData() const { return FSkinData; }
  RECT WorkArea() const { return FWorkArea; }
  void SetWorkArea(const RECT& R) { FWorkArea = R; }
  TskSkinMenuItem* WaitItem() const { return FWaitItem; }
  TTimer* WaitTimer() const { return FWaitTimer.get(); }
  // One tick of the sub-menu wait.
  void WaitTick();
  void StopWait();
  TNotifyEvent OnMenuClose;

  bool AlphaBlend = false;
  BYTE AlphaBlendValue = 200;
  bool AlphaBlendAnimation = false;
  bool UseSkinFont = true;
  int MaxMenuItemsInWindow = 0;
  int DefaultMenuItemHeight = 20;
  TFont* DefaultMenuItemFont() const { return FDefaultFont.get(); }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void Notify(TControl* C, UINT Msg);
  void ReapWindows();
  std::vector<TskSkinPopupWindow*> FPopupList, FGraveyard;
  std::unique_ptr<TTimer> FReapTimer;
  bool FReapPosted = false;
  std::unique_ptr<TTimer> FWaitTimer;
  TskSkinMenuItem* FWaitItem = nullptr;
  bool FVisible = false, FFirstOpening = true;
  TWinControl* FForm;
  TControl* FPopupCtrl = nullptr;
  TControl* FCommandCtrl = nullptr;
  RECT FWorkArea{};
  TskSkinData* FSkinData = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
};

// ---------------------------------------------------------------------------
// A popup menu shown through the skinned form

class TskSkinPopupMenu : public TPopupMenu {
public:
  explicit TskSkinPopupMenu(TComponent* AOwner);
  ~TskSkinPopupMenu() override;

  TskSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  TNotifyEvent OnMenuClose;
  TComponent* ComponentForm = nullptr;
  TPoint PopupPoint{-1, -1};

  void Popup(int X, int Y) override;
  // With the edit as opener; nothing without a skin.
  void PopupForEdit(TControl* Edit, int X, int Y);
  // With a button as opener, at its rectangle, from item StartIndex on.
  void PopupFromButton(TControl* Button, const TRect& R, int StartIndex = 0);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TskSkinMenuHost* FindHost() const;
  void PopupWith(TControl* Opener, const TRect& R, bool PreferAbove, bool NeedSkin,
                 int StartIndex = 0);
  TskSkinData* FSkinData = nullptr;
};

// Shows a menu through a form's skinned menu at a rectangle.
void PopupSkinnedMenu(TskSkinMenuHost* Host, TMenu* Menu, const TRect& R, bool PreferAbove);

// ---------------------------------------------------------------------------
// Image-grid menu

class TskSkinHint;
class TskSkinImagesMenu;
class TskSkinImagesMenuPopupWindow;

// One entry: a grid cell, a full-width button row or a header row.
class TskImagesMenuItem : public TCollectionItem {
public:
  explicit TskImagesMenuItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
  // Copies ImageIndex, Caption, Button and Hint of another entry.
  void Assign(TPersistent* Source) override;

  int ImageIndex = -1;
  std::wstring Caption;
  bool Button = false;
  bool Header = false;
  std::wstring Hint;
  TNotifyEvent OnClick;
  // Window coordinates, set by the layout.
  TRect ItemRect;
};

class TskImagesMenuItems : public TCollection {
public:
  explicit TskImagesMenuItems(TskSkinImagesMenu* AMenu);
  TskImagesMenuItem* Items(int Index) const { return ItemAs<TskImagesMenuItem>(Index); }
  TskImagesMenuItem* Add() { return static_cast<TskImagesMenuItem*>(TCollection::Add()); }
};

class TskSkinImagesMenu : public TComponent {
public:
  explicit TskSkinImagesMenu(TComponent* AOwner);
  ~TskSkinImagesMenu() override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TskImagesMenuItems* ImagesItems() { return &FItems; }
  void SetImagesItems(TskImagesMenuItems* Value) { FItems.Assign(Value); }
  int ItemIndex = -1;
  int ColumnsCount() const { return FColumnsCount; }
  // Accepts 1 to 50 only.
  void SetColumnsCount(int Value);
  TskSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  bool UseSkinFont = true;
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  bool ShowSelectedItem = true;
  bool ShowHints = true;
  TskSkinHint* SkinHint() const { return FSkinHint; }
  void SetSkinHint(TskSkinHint* Value);
  bool AlphaBlend = false;
  BYTE AlphaBlendValue = 200;
  bool AlphaBlendAnimation = false;
  TNotifyEvent OnItemClick, OnChange, OnMenuPopup, OnMenuClose;
  // Hooks of the skin library's own buttons: the shown image changed, and the
  // window closed (fired first).
  TNotifyEvent OnInternalChange, OnInternalMenuClose;

  // The entry at ItemIndex, or nullptr.
  TskImagesMenuItem* GetSelectedItem() const;
  // Opens below (or above) R, a rectangle on the screen.
  void Popup(const TRect& R);
  // Called by the window when it has closed.
  void CloseMenu(bool Chosen);
  // The open window, or nullptr.
  TskSkinImagesMenuPopupWindow* PopupWindow() const { return FWindow; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TskSkinImagesMenuPopupWindow;
  void ReapWindows();
  TCustomImageList* FImages = nullptr;
  TskImagesMenuItems FItems;
  int FColumnsCount = 1;
  TskSkinData* FSkinData = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
  TskSkinHint* FSkinHint = nullptr;
  TskSkinImagesMenuPopupWindow* FWindow = nullptr;
  // Closed windows wait here until none of their handlers runs any more.
  std::vector<std::unique_ptr<TskSkinImagesMenuPopupWindow>> FRetired;
  std::unique_ptr<TTimer> FReapTimer;
  int FOldItemIndex = -1;
};

class TskSkinImagesMenuPopupWindow : public TCustomControl {
public:
  explicit TskSkinImagesMenuPopupWindow(TskSkinImagesMenu* AMenu);
  ~TskSkinImagesMenuPopupWindow() override;

  void ArrangeItems();
  void ShowAt(const TRect& R);
  void CloseUp(bool Chosen);
  // A key of the open menu (as the application's message hook passes it).
  void HandleKey(WORD Key);
  // One step of the fade-in.
  void FadeTick();

  TskSkinImagesMenu* Menu() const { return FMenu; }
  bool Skinned() const { return FWindowData != nullptr; }
  int HotIndex() const { return FHotIndex; }
  void SetHotIndex(int Value);
  bool Pressing() const { return FPressing; }
  BYTE Alpha() const { return FAlpha; }
  TTimer* FadeTimer() const { return FFadeTimer.get(); }
  TRect ItemsArea() const { return FItemsArea; }
  bool Busy() const { return FBusy > 0; }
  bool Shown() const { return FShown; }
  // Draws the whole window into DC.
  void PaintWindow(HDC DC);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;

private:
  static void AppMessageHook(MSG& Msg, bool& Handled);
  void HookMessage(MSG& Msg);
  int ItemAt(int X, int Y) const;
  int CellWidth() const;
  int CellHeight() const;
  int RowWidth() const { return FMenu->ColumnsCount() * CellWidth(); }
  void SizeWindow();
  void DrawCellBackground(TCanvas* C, const RECT& R, bool Pressed);
  void DrawButtonCaption(TCanvas* C, TskImagesMenuItem* Item, int Offset, bool Pressed, bool Hot);
  void DrawHeader(TCanvas* C, TskImagesMenuItem* Item);
  void MouseMoveAt(int X, int Y);
  void MouseDownAt(int X, int Y);
  void MouseUpAt(int X, int Y);
  void HideHint();
  int FirstSelectable() const;

  TskSkinImagesMenu* FMenu;
  TskDataSkinPopupWindow* FWindowData = nullptr;
  const TskPicture* FPicture = nullptr;
  const TskPicture* FMaskPicture = nullptr;
  POINT FNewLT{}, FNewRT{}, FNewLB{}, FNewRB{};
  TRect FNewItemsRect, FItemsArea;
  HRGN FRegion = nullptr;
  int FHotIndex = -1, FOldHotIndex = -1;
  bool FPressedInside = false, FPressing = false;
  bool FHooked = false, FShown = false;
  TMessageEvent FSavedOnMessage;
  std::unique_ptr<TTimer> FFadeTimer;
  BYTE FAlpha = 0;
  int FBusy = 0;
};
