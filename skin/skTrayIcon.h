// The notification-area icon: an icon with a tooltip in the taskbar's
// notification area, its mouse messages turned into events, a skinned popup
// menu at the cursor, icon cycling through an image list, and hiding the
// main form to the notification area when it is minimized.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <windows.h>

#include <shellapi.h>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"

class TskSkinPopupMenu;

using TCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;

class TskTrayIcon : public TComponent {
public:
  // The shell's callback message for the icon.
  static constexpr UINT WM_TRAYNOTIFY = WM_USER + 1024;
  // The shell's balloon-click notification.
  static constexpr UINT NIN_BALLOONCLICK = WM_USER + 5;

  explicit TskTrayIcon(TComponent* AOwner);
  ~TskTrayIcon() override;
  void Loaded() override;

  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(TIcon* Value);
  bool IconVisible() const { return FIconVisible; }
  // True adds the icon to the notification area, False deletes it.
  void SetIconVisible(bool Value);
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  // The shell's mouse notifications are handled.
  bool Enabled = true;
  TskSkinPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TskSkinPopupMenu* Value);
  bool PopupByLeftButton = false;
  TImageList* IconList() const { return FIconList; }
  void SetIconList(TImageList* Value);
  int IconIndex() const { return FIconIndex; }
  void SetIconIndex(int Value);
  bool CycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool Value);
  UINT AnimateTimerInterval() const { return FAnimateTimer->Interval(); }
  void SetAnimateTimerInterval(UINT Value);
  // Minimizing the main form hides it and shows the icon.
  bool MinimizeToTray() const { return FMinimizeToTray; }
  void SetMinimizeToTray(bool Value);
  bool MinimizedOnStart = false;
  bool DesignPreview() const { return FDesignPreview; }
  void SetDesignPreview(bool Value);

  TNotifyEvent OnClick, OnDblClick, OnBalloonHintClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TCycleEvent OnCycle;

  // Only with a windowed owner and a main form: the main form comes back
  // (restored when minimized), or goes out of sight.
  void ShowMainForm();
  void HideMainForm();
  // Opens the popup menu at the cursor.
  void PopupAtCursor();

  // An empty Icon takes the application's icon at creation.
  virtual bool UsesApplicationIcon() const { return true; }
  virtual void ShowIcon();
  virtual void HideIcon();
  virtual void ModifyIcon();

  // The hidden window the shell sends WM_TRAYNOTIFY to.
  HWND NotifyWindow() const { return FNotifyWnd; }
  // The "TaskbarCreated" message that the shell broadcasts when it starts.
  static UINT TaskbarCreatedMessage() { return FTaskbarCreated; }
  // Whether the last add, modify or delete was taken by the shell.
  bool ShellAccepted() const { return FShellAccepted; }
  bool ClickTimerRunning() const { return FClickTimer->Enabled(); }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void Click();
  virtual void DblClick();
  virtual void DoCycle();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void DoMinimizeToTray();

private:
  void NotifyWindowProc(TMessage& Message);
  void TrayMessage(UINT MouseMsg);
  bool AppWindowProc(TMessage& Message);
  bool OwnerWindowProc(TMessage& Message);
  // Hooks the application window and the owner's window (again after the
  // owner's window was made anew).
  void HookWindows();
  bool FillData(NOTIFYICONDATAW& Data) const;
  void Shell(DWORD Command);
  void ClickTimerTick();
  void AnimateTimerTick();
  bool Designing() const { return ComponentState() & csDesigning; }
  TWinControl* OwnerControl() const;

  static UINT FTaskbarCreated;
  std::unique_ptr<TIcon> FIcon;
  bool FIconVisible = true;
  std::wstring FHint;
  bool FShowHint = true;
  TskSkinPopupMenu* FPopupMenu = nullptr;
  TImageList* FIconList = nullptr;
  int FIconIndex = 0;
  bool FCycleIcons = false;
  bool FMinimizeToTray = false;
  bool FDesignPreview = false, FPreviewing = false;
  HWND FNotifyWnd = nullptr;
  TWindowSubclass FAppHook, FOwnerHook;
  std::unique_ptr<TTimer> FAnimateTimer, FClickTimer;
  bool FLeftDown = false, FClickPending = false, FDblClicked = false;
  bool FStarting = true;
  bool FShellAccepted = false;
};
