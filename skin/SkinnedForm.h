// The skinned form: a component that takes over its form's window, paints the
// skin picture with its active objects into the client area, routes the mouse
// to the objects, drags and snaps the window, shapes it with the skin's mask
// and places the skinned controls that name a skin area. Also the windowless
// skinned control base that the form re-skins with the windowed ones.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "skin/SkinData.h"

class TskSkinnedForm;
class TskSkinMenu;
class TskSkinHint;
class TskSkinPopupMenu;
class TskSkinMainMenuBar;
class TskTrayIcon;
class TskSkinStatusBar;
class TskSkinMDITabsBar;

// ---------------------------------------------------------------------------
// Windowless skinned control base

class TskGraphicSkinControl : public TGraphicControl {
public:
  explicit TskGraphicSkinControl(TComponent* AOwner);
  TskSkinData* SkinData() const { return FSkinData; }
  virtual void SetSkinData(TskSkinData* Value);
  const std::wstring& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::wstring& Value) { FSkinDataName = Value; }
  const std::wstring& AreaName() const { return FAreaName; }
  void SetAreaName(const std::wstring& Value) { FAreaName = Value; }
  bool DrawDefault() const { return FDrawDefault; }
  void SetDrawDefault(bool Value);
  bool AlphaBlend() const { return FAlphaBlend; }
  virtual void SetAlphaBlend(bool Value);
  BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
  virtual void SetAlphaBlendValue(BYTE Value);
  bool UseSkinCursor() const { return FUseSkinCursor; }
  void SetUseSkinCursor(bool Value) { FUseSkinCursor = Value; }
  const std::wstring& HintTitle() const { return FHintTitle; }
  void SetHintTitle(const std::wstring& Value) { FHintTitle = Value; }
  int HintImageIndex() const { return FHintImageIndex; }
  void SetHintImageIndex(int Value) { FHintImageIndex = Value; }
  TCustomImageList* HintImageList() const { return FHintImageList; }
  void SetHintImageList(TCustomImageList* Value);
  int EntryIndex() const { return FEntryIndex; }
  int CursorIndex() const { return FCursorIndex; }

  // Looks the entry up again (-1 without skin data or while it is empty).
  virtual void ReadSkinEntry();
  // Skin changes, called by the skinned form.
  virtual void ApplyControlSkin();
  virtual void DropSkinEntry() { FEntryIndex = -1; }

protected:
  virtual void PaintDefaultImage(TBitmap* /*Bitmap*/) {}
  virtual void PaintSkinImage(TBitmap* /*Bitmap*/) {}
  // An off-screen image of the entry or the default look, drawn in one step.
  void Paint() override;
  // Draws an image at (0, 0), blended over what lies behind with AlphaBlend.
  void DrawControlImage(TBitmap* Image);
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The skin data, set, loaded and with effects enabled.
  bool SkinEffectsOn() const;
  // Selects the character set of the skin's resource strings, else Def's.
  void ApplyCharset(TFont* F, TFont* Def) const;
  bool Designing() const { return (ComponentState() & csDesigning) != 0; }

  TskSkinData* FSkinData = nullptr;
  std::wstring FSkinDataName, FAreaName, FHintTitle;
  bool FDrawDefault = true;
  bool FAlphaBlend = false;
  BYTE FAlphaBlendValue = 200;
  bool FUseSkinCursor = false;
  int FHintImageIndex = 0;
  TCustomImageList* FHintImageList = nullptr;
  int FEntryIndex = -1;
  int FCursorIndex = -1;
};

// ---------------------------------------------------------------------------
// Active skin objects

enum TSwitchState { swsOn = 0, swsOff = 1 };

class TskActiveSkinObject {
public:
  TskActiveSkinObject(TskSkinnedForm* AForm, TskDataSkinObject* Data);
  virtual ~TskActiveSkinObject() = default;

  virtual void Draw(TCanvas* Cnvs, bool Alone);
  virtual void DblClick() {}
  virtual void MouseDown(int X, int Y, TMouseButton Button);
  virtual void MouseUp(int X, int Y, TMouseButton Button);
  virtual void MouseMove(int X, int Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool MorphPending() const;

  // Morphing is on in the description and the skin's effects are enabled.
  bool CanMorphing() const;
  void StartMorphOrRedraw();
  void MorphStep();
  void SetMorphKf(double Value);
  void Redraw();

  TskSkinnedForm* Parent;
  double MorphKf = 0;
  bool MouseIn = false;
  const TskPicture* Picture = nullptr;
  // Null when the description's active picture index is -1 or out of range.
  const TskPicture* ActivePicture = nullptr;
  TskSkinData* SkinData = nullptr;
  std::wstring IDName, Hint;
  RECT SkinRect{}, ActiveSkinRect{}, InActiveSkinRect{};
  bool Morphing = false;
  TskMorphKind MorphKind = mkDefault;
  RECT ObjectRect{};
  bool Active = false;
  bool Enabled = true;
  int CursorIndex = -1;
  bool RollUp = false;
  bool Visible = true;
  bool SkinRectInAPicture = false;

protected:
  // True when the skin data is there and loaded.
  bool SkinReady() const;
  // The picture that holds the normal image.
  const TskPicture* NormalPicture() const;
  // Copies a rectangle of a picture to ObjectRect (nothing without the picture).
  void CopyToObject(TCanvas* Cnvs, const TskPicture* Pic, const RECT& Src) const;
  // The base morph between two images of the pictures, drawn at ObjectRect.
  void DrawMorph(TCanvas* Cnvs, const TskPicture* FromPic, const RECT& From, const RECT& To) const;
};

class TskUserObject : public TskActiveSkinObject {
public:
  using TskActiveSkinObject::TskActiveSkinObject;
  void Draw(TCanvas* Cnvs, bool Alone) override;
};

class TskSkinSwitchObject : public TskActiveSkinObject {
public:
  using TskActiveSkinObject::TskActiveSkinObject;
  void SetState(TSwitchState Value);
  TSwitchState State = swsOff;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
};

class TskSkinButtonObject : public TskActiveSkinObject {
public:
  TskSkinButtonObject(TskSkinnedForm* AForm, TskDataSkinButton* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool MorphPending() const override;
  void SetPressed(bool Value);
  // Shows the attached menu's sub-items below the button.
  void ShowAttachedMenu();
  bool Pressed = false;
  RECT DownRect{}, DisableSkinRect{};
  int GroupIndex = -1;
  // The menu the button shows (the system menu's root for its button).
  TMenuItem* MenuItem = nullptr;

protected:
  void ReleaseGroup();
};

class TskSkinStdButtonObject : public TskSkinButtonObject {
public:
  TskSkinStdButtonObject(TskSkinnedForm* AForm, TskDataSkinStdButton* Data);
  // A default frame button without a description.
  TskSkinStdButtonObject(TskSkinnedForm* AForm, const std::wstring& Name, TskStdCommand Cmd);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void DblClick() override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  bool MorphPending() const override;
  bool SkinSupport = true;
  TskStdCommand Command = cmDefault;
  RECT RestoreRect{}, RestoreActiveRect{}, RestoreDownRect{}, RestoreInActiveRect{};

protected:
  // The command is in its restore state (maximized, minimized, rolled up).
  bool InRestoreState() const;
  void DoCommand();
  void DrawDefault(TCanvas* Cnvs);
};

class TskSkinCaptionObject : public TskActiveSkinObject {
public:
  TskSkinCaptionObject(TskSkinnedForm* AForm, TskDataSkinCaption* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void SetText(const std::wstring& Value);
  // Skin effects on, skin loaded and an animation rectangle.
  bool AnimationPossible() const;
  std::wstring Text;
  TskDataSkinCaption* Data;
  bool DefaultCaption = false;
  int TimeCount = 0;
  int CurrentFrame = 0;

private:
  void DrawText(HDC DC, const RECT& R, bool ActiveColours) const;
};

class TskSkinLabelObject : public TskActiveSkinObject {
public:
  TskSkinLabelObject(TskSkinnedForm* AForm, TskDataSkinLabel* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseEnter() override;
  void MouseLeave() override;
  TskDataSkinLabel* Data;
  std::wstring TextValue;
};

class TskSkinBitLabelObject : public TskActiveSkinObject {
public:
  TskSkinBitLabelObject(TskSkinnedForm* AForm, TskDataSkinBitLabel* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  TskDataSkinBitLabel* Data;
  std::wstring TextValue;
};

// One item of the form's main menu, laid out in the skin's main-menu
// rectangle; pressing it opens its sub-menu through the form's skinned menu.
class TskSkinMainMenuItem : public TskActiveSkinObject {
public:
  TskSkinMainMenuItem(TskSkinnedForm* AForm, TskDataSkinMainMenuItem* Data, TMenuItem* Item);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void SetDown(bool Value);
  // Places the item after the previous main-menu item; hides it when it
  // passes the menu rectangle.
  void Layout(HDC DC);
  TskDataSkinMainMenuItem* Data;
  TMenuItem* MenuItem;
  bool Down = false;
  bool Shown = true;
  bool SavedEnabled = true;

private:
  void DrawImage(TCanvas* Cnvs, const RECT& Src, TColor TextColor);
  int TextWidth(HDC DC) const;
};

// ---------------------------------------------------------------------------
// Value and animation objects

class TskSkinTrackBarObject : public TskActiveSkinObject {
public:
  TskSkinTrackBarObject(TskSkinnedForm* AForm, TskDataSkinTrackBar* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseMove(int X, int Y) override;
  // Object coordinates of the button's centre for a value, and the value of
  // a button position; a track without length or range maps to its minimum.
  POINT PointForValue(int AValue) const;
  int ValueForPoint(const POINT& P) const;
  RECT ButtonRectAt(const POINT& P) const;
  // Moves the button (object coordinates) and reports the new value.
  void MoveButtonTo(const POINT& P);
  RECT ButtonRect{}, ActiveButtonRect{};
  POINT BeginPoint{}, EndPoint{};
  int MinValue = 0, MaxValue = 0;
  bool MouseDownChangeValue = false, ButtonTransparent = false;
  TskColor ButtonTransparentColor = 0;
  bool Vertical = false;
  int Value = 0;
  POINT ButtonPos{}, OldButtonPos{};
  bool Dragging = false;
  POINT LastMouse{};
};

class TskSkinGaugeObject : public TskActiveSkinObject {
public:
  TskSkinGaugeObject(TskSkinnedForm* AForm, TskDataSkinGauge* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // The edge of the fill for a value, in object coordinates.
  POINT FillPosFor(int AValue) const;
  int MinValue = 0, MaxValue = 0;
  bool Vertical = false;
  int Value = 0;
  POINT FillPos{}, OldFillPos{};
};

// One of several equally sized pictures of the active rectangle.
class TskSkinFrameObject : public TskActiveSkinObject {
public:
  TskSkinFrameObject(TskSkinnedForm* AForm, TskDataSkinFrameGaugeObject* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  // Frame K (from 1) in the active picture.
  RECT FrameRect(int K) const;
  int CurrentFrame = 1;
  int FrameWidth = 0, FrameHeight = 0, CountFrames = 0;
  bool Stacked = false;
};

// The frame (1..Count) that shows a value.
int FrameForValue(int Value, int MinValue, int MaxValue, int Count);

class TskSkinFrameGaugeObject : public TskSkinFrameObject {
public:
  TskSkinFrameGaugeObject(TskSkinnedForm* AForm, TskDataSkinFrameGaugeObject* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseEnter() override;
  void MouseLeave() override;
  int MinValue = 0, MaxValue = 0;
  int Value = 0;
};

class TskSkinFrameRegulatorObject : public TskSkinFrameGaugeObject {
public:
  TskSkinFrameRegulatorObject(TskSkinnedForm* AForm, TskDataSkinFrameRegulatorObject* Data);
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseMove(int X, int Y) override;
  // Stores and reports a value inside the range.
  void SetValue(int AValue);
  // The knob angle (0 below the centre, growing clockwise) at an
  // object-relative point; the centre itself keeps the last angle.
  int AngleAt(int X, int Y) const;
  TskRegulatorKind Kind = rkRound;
  int WorkValue = 0;
  bool Dragging = false;
  int Anchor = 0, Current = 0, Last = 0;
  int AngleStep = 1, ValueStep = 1;

private:
  void LinearStep();
  void KnobStep();
};

class TskSkinAnimateObject : public TskActiveSkinObject {
public:
  TskSkinAnimateObject(TskSkinnedForm* AForm, TskDataSkinAnimate* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void DblClick() override;
  bool MorphPending() const override { return false; }
  // One tick of the form's 25 ms animation timer.
  void AnimationStep();
  // The source rectangles, switched to the restore ones in the restore state.
  RECT SourceNormal() const;
  RECT SourceFrame(int K) const;
  int CountFrames = 1, TimerInterval = 50;
  bool Cycle = false, ButtonStyle = false;
  TskStdCommand Command = cmDefault;
  RECT DownSkinRect{}, RestoreRect{}, RestoreActiveRect{}, RestoreDownRect{}, RestoreInActiveRect{};
  int CurrentFrame = 1, TimeCount = 25;
  bool Forward = true, Pressed = false, MenuShown = false, PopupAbove = false;
  TMenuItem* MenuItem = nullptr;

private:
  bool InRestoreState() const;
  RECT Src(const RECT& Normal, const RECT& Restore) const;
  void DoCommand();
  // Shows the menu item's sub-items at the object.
  void ShowMenu();
};

// ---------------------------------------------------------------------------
// Skinned form

using TskBorderIcons = unsigned;
constexpr TskBorderIcons biSkSystemMenu = 1, biSkMinimize = 2, biSkMaximize = 4, biSkRollUp = 8,
                         biSkMinimizeToTray = 16;
enum TskPositionInMonitor { skpDefault, skpScreenCenter, skpDesktopCenter };

using TskObjectNameEvent = std::function<void(const std::wstring& IDName)>;
using TskMouseObjectEvent = std::function<void(const std::wstring& IDName, int X, int Y,
                                               const RECT& ObjectRect, TMouseButton Button)>;
using TskMouseMoveObjectEvent =
    std::function<void(const std::wstring& IDName, int X, int Y, const RECT& ObjectRect)>;
using TskPaintObjectEvent =
    std::function<void(const std::wstring& IDName, TCanvas* Canvas, const RECT& ObjectRect)>;
using TskSwitchEvent = std::function<void(const std::wstring& IDName, TSwitchState State)>;
using TskActivateCustomObjectEvent =
    std::function<void(const std::wstring& IDName, bool& ObjectVisible)>;
using TskChangeClientRectEvent = std::function<void(const RECT& NewClientRect)>;
using TskValueObjectEvent = std::function<void(const std::wstring& IDName, int Value)>;
using TskCaptionPaintEvent = std::function<void(TCanvas* Cnvs, const RECT& R, bool AActive)>;

class TskSkinnedForm : public TComponent {
  friend class TskSkinMainMenuItem;

public:
  // The owner must be a form.
  explicit TskSkinnedForm(TComponent* AOwner);
  ~TskSkinnedForm() override;

  TskSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  TskSkinData* MenusSkinData() const { return FMenusSkinData; }
  void SetMenusSkinData(TskSkinData* Value);
  bool SupportNCArea() const { return FSupportNCArea; }
  void SetSupportNCArea(bool Value);
  bool Sizeable = true;
  bool DraggAble = false;
  bool Magnetic = false;
  BYTE MagneticSize = 10;
  TskBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TskBorderIcons Value);
  bool HideCaptionButtons = false;
  bool DisableSystemMenu = false;
  bool UseDefaultSysMenu = true;
  bool ShowObjectHint = false;
  bool UseDefaultObjectHint = true;
  bool UseSkinCursors = false;
  bool ShowIcon = false;
  // A layered window with AlphaBlendValue as its opacity.
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(BYTE Value);
  // The window fades in when shown.
  bool AlphaBlendAnimation = false;
  int ClientWidth = 0, ClientHeight = 0;
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  TskPositionInMonitor PositionInMonitor = skpDefault;
  bool MaximizeOnFullScreen = false;
  TFont* DefCaptionFont() const { return FDefCaptionFont.get(); }
  TFont* DefInActiveCaptionFont() const { return FDefInActiveCaptionFont.get(); }

  TNotifyEvent OnChangeSkinData;
  TskChangeClientRectEvent OnChangeClientRect;
  TNotifyEvent OnActivate, OnDeActivate, OnMinimize, OnMaximize, OnRestore, OnChangeRollUpState;
  TskActivateCustomObjectEvent OnActivateCustomObject;
  TskMouseObjectEvent OnMouseDownEvent, OnMouseUpEvent;
  TskMouseMoveObjectEvent OnMouseMoveEvent;
  TskObjectNameEvent OnMouseEnterEvent, OnMouseLeaveEvent;
  TskPaintObjectEvent OnPaintEvent;
  TskSwitchEvent OnSwitchChangeStateEvent;
  TskValueObjectEvent OnTrackBarChangeValueEvent, OnFrameRegulatorChangeValueEvent;

  // Menus and keyboard.
  TPopupMenu* SystemMenu() const { return FSystemMenu; }
  void SetSystemMenu(TPopupMenu* Value);
  TMainMenu* MainMenu() const { return FMainMenu; }
  void SetMainMenu(TMainMenu* Value);
  // A menu bar control that stands in for the skin's main-menu items.
  TskSkinMainMenuBar* MainMenuBar() const { return FMainMenuBar; }
  void SetMainMenuBar(TskSkinMainMenuBar* Value);
  TskSkinHint* SkinHint() const { return FSkinHint; }
  void SetSkinHint(TskSkinHint* Value);
  // Its size grip is hidden while the form is maximized.
  TskSkinStatusBar* StatusBar() const { return FStatusBar; }
  void SetStatusBar(TskSkinStatusBar* Value);
  // The tab bar that the frame's MDI children keep up to date.
  TskSkinMDITabsBar* MDITabsBar() const { return FMDITabsBar; }
  void SetMDITabsBar(TskSkinMDITabsBar* Value);
  bool AlwaysMinimizeToTray = false;
  // Notification area: minimize to the tray icon and restore from it.
  TskTrayIcon* TrayIcon() const { return FTrayIcon; }
  void SetTrayIcon(TskTrayIcon* Value);
  bool AlwaysShowInTray = false;
  TNotifyEvent OnMinimizeToTray, OnRestoreFromTray;
  void MinimizeToTray();
  void RestoreFromTray();
  TNotifyEvent OnSkinMenuOpen, OnSkinMenuClose, OnMainMenuEnter, OnMainMenuExit;
  // Asked first by the form's shortcut check.
  TShortCutEvent OnShortCut;
  TskSkinMenu* SkinMenu() const { return FSkinMenu; }
  // The skin of the menus: MenusSkinData, else SkinData.
  TskSkinData* MenuSkin() const { return FMenusSkinData ? FMenusSkinData : FSkinData; }
  TPopupMenu* BuiltinSystemMenu() const { return FBuiltinSysMenu; }
  TskSkinPopupMenu* TrayMenu() const { return FTrayMenu; }
  TMenuItem* GetSystemMenuItems();
  void BuildSystemMenu();
  void UpdateUserSystemMenu();
  void BuildTrayMenu();
  void PopupSystemMenuAt(int X, int Y);
  void PopupSystemMenuRect(const RECT& R);
  void ShowSystemMenuAtButton();
  void SkinMenuOpen();
  void SkinMenuClose();
  bool SkinMenuIsOpen() const { return FSkinMenuOpen; }
  bool MainMenuMode() const { return FMainMenuMode; }
  void SetMainMenuMode(bool Value) { FMainMenuMode = Value; }
  void ClearSkinMenuOpen() { FSkinMenuOpen = false; }
  // An MDI frame's menu bar rebuilds while it merges a child menu or shows
  // the maximized child's buttons.
  void RefreshMainMenuBar();
  void EnterMainMenu();
  void MainMenuExit();
  void HookAppMessages();
  void UnhookAppMessages();
  bool AppMessagesHooked() const { return FAppHooked; }
  void AppMessageHook(MSG& Msg, bool& Handled);
  void MenuKeyDown(WORD Key);
  bool MainMenuAccel(WORD Key);
  void FormShortCut(TMessage& Msg, bool& Handled);
  // Closes the menus on the messages that close them; the first step of the
  // window procedure.
  void CheckMenuClose(UINT Msg);
  // An MDI frame closes the drop-down lists of its skinned combo boxes.
  void CloseComboDropDowns();
  void NextMainMenuItem();
  void PrevMainMenuItem();
  void CreateMainMenuItems();
  void FreeMainMenuItems();
  std::vector<TskSkinMainMenuItem*> MainMenuItems() const;
  RECT MainMenuRect() const;
  // An object's rectangle on the screen.
  RECT ObjectScreenRect(const RECT& R) const;

  // The replacement window procedure of the form.
  void FormWindowProc(TMessage& Message);

  // State offered to the objects and to tests.
  TCustomForm* Form() const { return FForm; }
  bool SkinActive() const { return FSkinActive; }
  int WindowState() const { return FWindowState; }
  void SetWindowState(int Value);
  bool RollUpState() const { return FRollUpState; }
  void SetRollUpState(bool Value);
  // A caption button's window command: close, maximize, minimize or roll up.
  void RunWindowCommand(int Command);
  bool GetFormActive() const;
  bool Dragging() const { return FDragging; }
  void BeginDrag(int X, int Y);
  void EndDrag();
  void RedrawObject(TskActiveSkinObject* Object);
  // The look changed: the next paint composes the picture again.
  void InvalidatePaintCache() { FPaintCacheValid = false; }
  void StartMorphTimer();
  void StartAnimateTimer();
  bool IsSizeableSkin() const;
  const std::vector<std::unique_ptr<TskActiveSkinObject>>& Objects() const { return FObjects; }
  TskActiveSkinObject* FindObject(const std::wstring& IDName) const;
  int ActiveObject() const { return FActiveObject; }
  int CapturedObject() const { return FCapturedObject; }
  bool MouseTimerRunning() const;
  bool MorphTimerRunning() const;
  bool AnimateTimerRunning() const;
  RECT RestoreBounds() const { return FRestoreBounds; }
  void DrawFormIcon(TCanvas* Cnvs, int X, int Y);

  // Geometry and layout.
  RECT MapSkinRectToForm(const RECT& R) const;
  void CalcFrameGeometry();
  void LayoutObjects();
  void UpdateLayout(bool Full);
  void UpdateWindowRegion(bool Full);
  bool PtInMask(const POINT& P) const;
  int GetMinWidth() const;
  int GetMinHeight() const;
  int GetMaxWidth() const;
  int GetMaxHeight() const;
  void NudgeWidth();
  RECT ClientRectOfSkin() const { return FNewClientRect; }

  // Frame mode: the skin's frame (or a plain one without a skin) as the
  // window's non-client area around the form's own client area.
  bool HasBorder() const;
  // A skin whose frame can be painted (a client rectangle in the picture).
  bool PaintableSkin() const;
  int GetDefaultCaptionHeight() const;
  int GetDefaultButtonSize() const;
  void CreateDefaultButtons();
  void LayoutDefaultButtons();
  void LayoutFrameButtons();
  void PaintSkinFrame(HDC DC);
  void PaintDefaultFrame(HDC DC);
  int SkinFrameHitTest(const POINT& P);
  int DefaultHitTest(const POINT& P);
  POINT ScreenToFramePoint(const POINT& P) const;
  void PaintFrameBackground(HDC DC);
  void PaintLogo(HDC DC);
  // The frame painted into a device context for the skin queries.
  void PaintFrameForQuery(HDC DC);
  void ResetObjectStates();
  // MDI frames and children (the application's main form is the frame).
  // The frame's client area that its aligned controls leave, in its client
  // coordinates.
  RECT GetMDIAreaRect() const;
  void ResizeMDIChildren();
  void ArrangeMinimizedChildren();
  // The maximized child of the frame, or nullptr.
  TCustomForm* GetMaximizedChild() const;
  bool GetMDIChildMaximized() const { return FMDIChildMaximized; }
  // The frame's caption text, with the maximized child's in brackets.
  std::wstring FrameCaptionText() const;
  void PaintMDIBackground(HDC DC);
  bool MDIClientHooked() const;
  void AddChildMenuItem();
  void DeleteChildMenuItem();
  void UpdateChildMenuItemCaption();
  void CheckActiveChildMenuItem();
  void ChildMenuItemClick(TObject* Sender);
  // The plain frame's caption area in window coordinates.
  RECT DefaultCaptionArea() const { return FDefCaptionArea; }
  bool InSizeMoveLoop() const { return FInSizeMove; }
  TBitmap* LogoBitMap() const { return FLogoBitMap.get(); }
  bool LogoBitMapTransparent = false;
  bool UseFormCursorInNCArea = false;
  TskCaptionPaintEvent OnCaptionPaint;

  // Client mode.
  void PaintClientSkin(HDC DC);
  // The composed skin picture for the present window size, without objects.
  void ComposeSkinPicture(TskPicture& Dest) const;
  int ClientHitTest(const POINT& P) const;
  void MagneticSnap(int& X, int& Y, int W, int H);
  void FitClientToSkin();
  void AddAreaControls();
  void AddControlToArea(const std::wstring& AreaName, TControl* Control);
  void LayoutAreaControls();
  void PaintSizeGrip(HDC DC);

  // Skin application.
  void ApplySkin();
  void CreateSkinObjects();
  void FreeSkinObjects();
  void UpdateCaptionButtons();
  void UpdateObjectHints();
  void UpdateCaptionText();
  void DropControlEntries(TskSkinData* S, TWinControl* C);
  void ApplySkinToControls(TskSkinData* S, TWinControl* C);
  // Switches skinning of the form on or off.
  void ChangeSkinnableForm(bool Value);
  // A form that is not skinnable shows the system's frame with these icons.
  void ApplyFormBorderIcons();
  // Sends WM_SKINALPHAREPAINT to each windowed child control of the form.
  void BroadcastAlphaRepaint();
  bool Skinnable() const { return FSkinnable; }

  // Object routing and timers.
  void TestActiveObject(int X, int Y, bool Track);
  void ObjectMouseDown(TMouseButton Button, int X, int Y);
  void ObjectMouseUp(TMouseButton Button, int X, int Y);
  void ObjectMouseMove(int X, int Y);
  void ObjectDblClick();
  void UpdateActivation(bool Redraw);
  void UpdateSkinCursor();
  void MouseTimerTick();
  void MorphTimerTick();
  void AnimateTimerTick();
  void CaptionDblClick();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  // Frame-mode messages; true when the message was handled in full.
  bool FrameStage(TMessage& M);
  void FrameNCMouse(TMessage& M);
  void ApplyFrameSkin();
  void FrameSizeChanged();
  void SendNCPaint();
  bool FirstStage(TMessage& M);
  void SecondStage(TMessage& M);
  void FirstPlacement();
  void CentreInMonitor(int Width, int Height);
  void AlphaFadeIn();
  void OnSizeChanged();
  void MinimizeForm();
  // Where a skin-minimized frame goes: lined up from the bottom-left corner.
  POINT GetMinimizedPosition() const;
  void MaximizeForm();
  void RestoreForm();
  bool ObjectInRollState(const TskActiveSkinObject* O) const;
  void StopTimers();
  void SetRegion(HRGN Rgn);
  // Menus and keyboard.
  void InitMenus();
  void DoneMenus();
  bool MenuMessage(TMessage& M);
  void AddStdMenuItem(TMenuItem* Parent, int Index, const std::wstring& Name);
  bool StdMenuItemShown(const std::wstring& Name) const;
  void StdMenuItemClick(const std::wstring& Name);
  std::wstring MenuResString(const std::wstring& Name) const;
  void ObjectHintChange(int Old, int New);

  TCustomForm* FForm = nullptr;
  TWndMethod FOldWindowProc;
  TskSkinData* FSkinData = nullptr;
  TskSkinData* FMenusSkinData = nullptr;
  TskSkinStatusBar* FStatusBar = nullptr;
  TskSkinMDITabsBar* FMDITabsBar = nullptr;
  bool FSupportNCArea = true;
  TskBorderIcons FBorderIcons = biSkSystemMenu | biSkMinimize | biSkMaximize | biSkRollUp;
  std::unique_ptr<TFont> FDefCaptionFont, FDefInActiveCaptionFont;

  bool FSkinActive = false, FSkinnable = true, FSkinChanging = false, FApplying = false;
  std::vector<std::unique_ptr<TskActiveSkinObject>> FObjects;
  int FActiveObject = -1, FOldActiveObject = -1, FCapturedObject = -1;
  struct TAreaControl {
    TControl* Control;
    RECT Rect;
  };
  std::vector<TAreaControl> FAreaControls;

  bool FRollUpState = false;
  int FWindowState = 0;
  RECT FRestoreBounds{};

  int FWidth = 0, FHeight = 0;
  POINT FNewLTPoint{}, FNewRTPoint{}, FNewLBPoint{}, FNewRBPoint{};
  RECT FNewClientRect{}, FNewMaskRect{}, FNewCaptionRect{}, FNewButtonsRect{}, FSizeGripRect{};
  POINT FHitLT{}, FHitRT{}, FHitLB{}, FHitRB{};
  bool FRegionSet = false;
  // A layout update set a region (which repaints the frame by itself).
  bool FRegionJustSet = false;

  bool FDragging = false;
  POINT FLastDragPos{};
  bool FSnapLeft = false, FSnapTop = false, FSnapRight = false, FSnapBottom = false;
  int FSnapX = -1, FSnapY = -1;
  bool FMouseIn = false;
  bool FFirstPlacement = true;
  bool FAlphaBlend = false;
  BYTE FAlphaBlendValue = 200;
  bool FNCActive = false;
  bool FVista = false;

  std::unique_ptr<TTimer> FMorphTimer, FAnimateTimer, FMouseTimer;
  // The last painted client picture; rebuilt after any change of the look.
  TskPicture FPaintCache;
  bool FPaintCacheValid = false;
  HICON FSmallIcon = nullptr;
  std::unique_ptr<TBitmap> FLogoBitMap;
  RECT FDefCaptionArea{};
  bool FInSizeMove = false, FFullDrag = false;
  int FRollUpHeight = 0;
  bool FMDIChildMaximized = false;
  std::unique_ptr<TWindowSubclass> FMDIClientHook;
  bool MDIStage(TMessage& M);
  bool MDIClientProc(TMessage& M);
  void HookMDIClient();
  // A left press in the frame is being handled; the size/move loop it
  // started (if any) has ended.
  bool FInNCPress = false, FPressMoved = false;

  // Menus and keyboard.
  TskSkinMenu* FSkinMenu = nullptr;
  TComponent* FMenuHost = nullptr;
  TPopupMenu* FBuiltinSysMenu = nullptr;
  TskSkinPopupMenu* FTrayMenu = nullptr;
  TPopupMenu* FSystemMenu = nullptr;
  TMainMenu* FMainMenu = nullptr;
  TskSkinMainMenuBar* FMainMenuBar = nullptr;
  TskSkinHint* FSkinHint = nullptr;
  TskTrayIcon* FTrayIcon = nullptr;
  // The icon's double click was given RestoreFromTray by this form.
  bool FTrayRestoreSet = false;
  bool FSkinMenuOpen = false, FMainMenuMode = false, FAppHooked = false, FLastShortCut = false;
  TMessageEvent FSavedOnMessage;
  TShortCutEvent FSavedFormShortCut;
};

// The first skinned form among the component's owned components, or nullptr.
TskSkinnedForm* GetSkinFormOf(TComponent* Component);
// The skinned form of the first MDI child of the application's main form
// whose skinned form is maximized, or nullptr.
TskSkinnedForm* GetMaximizedChildSkinForm();
