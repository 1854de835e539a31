// What the library's controls share: child components of a control, a
// hidden message window and the process-wide system controller, platform
// flags, the library's cursors and its two registered window messages.
#pragma once

#include <windows.h>

#include "framework/Classes.h"
#include "lookandfeel/lfClasses.h"

class TlfControlChildComponent;

// A control that keeps child components implements this.
class IlfChildComponentHost {
public:
  virtual ~IlfChildComponentHost() = default;
  virtual void AddChildComponent(TlfControlChildComponent* Child) = 0;
  virtual void RemoveChildComponent(TlfControlChildComponent* Child) = 0;
};

class TlfControlChildComponent : public TlfComponent {
public:
  explicit TlfControlChildComponent(TComponent* AOwner);
  // Owned by the control's owner when TakeOwner, otherwise by nobody.
  TlfControlChildComponent(TComponent* AControl, bool TakeOwner);
  ~TlfControlChildComponent() override;

  TComponent* Control() const { return FControl; }
  virtual bool IsBeingDestroyed() const { return ComponentState() & csDestroying; }
  bool HasParent() const override { return FControl != nullptr; }
  TComponent* GetParentComponent() const override { return FControl; }
  void SetParentComponent(TComponent* Value) override;

protected:
  virtual void InitializeChild() {}
  virtual void AttachControl(TComponent* AControl) { FControl = AControl; }

private:
  TComponent* FControl = nullptr;
};

// A hidden utility window whose messages go to MessageProc.
class TlfMessageWindow : public TObject {
public:
  TlfMessageWindow();
  ~TlfMessageWindow() override;
  HWND Handle() const { return FHandle; }

protected:
  // The base hands every message to the default window procedure.
  virtual void MessageProc(TMessage& Message);

private:
  HWND FHandle = nullptr;
};

// The private message that makes the main thread run queued calls.
constexpr UINT WM_LF_SYNCHRONIZE = WM_APP + 102;

class TlfSystemController : public TlfMessageWindow {
public:
  TlfSystemController();
  ~TlfSystemController() override;

protected:
  void MessageProc(TMessage& Message) override;

private:
  std::function<void()> FPrevWakeMainThread;
  bool FChained = false;
};

// True when this code runs inside a library module (never in the programs).
extern bool lfIsLibraryModule;

struct TlfPlatformFlags {
  bool IsWin9x = false, IsWin2K = false, IsWin2KOrLater = false, IsNT5WithMinor = false,
       IsNT4OrLater = false, IsVistaOrLater = false;
};
const TlfPlatformFlags& lfPlatformFlags();

// Cursor ids in the screen's cursor table.
constexpr int crlfDragCopy = 2100, crlfFullScroll = 2101, crlfHorScroll = 2102,
              crlfVerScroll = 2103, crlfUpScroll = 2104, crlfRightScroll = 2105,
              crlfDownScroll = 2106, crlfLeftScroll = 2107, crlfRemove = 2108, crlfVertSize = 2109,
              crlfHorzSize = 2110, crlfMultiDrag = 2111, crlfNoDrop = 2112, crlfDrag = 2113,
              crlfHand = -2099, crlfColorPicker = 2114;

TlfSystemController* lfSystemController();
// The two registered messages (0 before start-up).
WORD lfMessage1();
WORD lfMessage2();
HMODULE lfUser32Handle();
bool lfShuttingDown();

void lfControlsInitialize();
void lfControlsFinalize();
