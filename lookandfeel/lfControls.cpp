#include "lookandfeel/lfControls.h"

#include "framework/Forms.h"
#include "lookandfeel/lxUxTheme.h"

namespace {

TlfPlatformFlags gFlags;
TlfSystemController* gController = nullptr;
WORD gMessage1 = 0, gMessage2 = 0;
HMODULE gUser32 = nullptr;
bool gShuttingDown = false;
int gUseCount = 0;

struct TCursorEntry {
  int Id;
  const wchar_t* Name; // null: the system hand
};
const TCursorEntry kCursors[] = {{crlfDragCopy, L"LF_DRAGCOPYCURSOR"},
                                 {crlfFullScroll, L"LF_FULLSCROLLCURSOR"},
                                 {crlfHorScroll, L"LF_HORSCROLLCURSOR"},
                                 {crlfVerScroll, L"LF_VERSCROLLCURSOR"},
                                 {crlfUpScroll, L"LF_UPSCROLLCURSOR"},
                                 {crlfRightScroll, L"LF_RIGHTSCROLLCURSOR"},
                                 {crlfDownScroll, L"LF_DOWNSCROLLCURSOR"},
                                 {crlfLeftScroll, L"LF_LEFTSCROLLCURSOR"},
                                 {crlfRemove, L"LF_REMOVECURSOR"},
                                 {crlfVertSize, L"LF_VERTSIZECURSOR"},
                                 {crlfHorzSize, L"LF_HORZSIZECURSOR"},
                                 {crlfMultiDrag, L"LF_MULTIDRAGCURSOR"},
                                 {crlfNoDrop, L"LF_NODROPCURSOR"},
                                 {crlfDrag, L"LF_DRAGCURSOR"},
                                 {crlfHand, nullptr},
                                 {crlfColorPicker, L"LF_COLORPICKERCURSOR"}};

} // namespace

bool lfIsLibraryModule = false;

// ---------------------------------------------------------------------------
// TlfControlChildComponent

TlfControlChildComponent::TlfControlChildComponent(TComponent* AOwner) : TlfComponent(AOwner) {
  InitializeChild();
}

TlfControlChildComponent::TlfControlChildComponent(TComponent* AControl, bool TakeOwner)
    : TlfComponent(TakeOwner && AControl ? AControl->Owner() : nullptr) {
  InitializeChild();
  AttachControl(AControl);
}

TlfControlChildComponent::~TlfControlChildComponent() {
  BeforeDestruction();
  if (auto* host = dynamic_cast<IlfChildComponentHost*>(FControl)) host->RemoveChildComponent(this);
}

void TlfControlChildComponent::SetParentComponent(TComponent* Value) {
  if (auto* host = dynamic_cast<IlfChildComponentHost*>(Value)) host->AddChildComponent(this);
  AttachControl(Value);
}

// ---------------------------------------------------------------------------
// Message windows

TlfMessageWindow::TlfMessageWindow() {
  FHandle = AllocateHWnd([this](TMessage& m) { MessageProc(m); });
}

TlfMessageWindow::~TlfMessageWindow() {
  DeallocateHWnd(FHandle);
}

void TlfMessageWindow::MessageProc(TMessage& Message) {
  Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

TlfSystemController::TlfSystemController() {
  if (lfIsLibraryModule) {
    FPrevWakeMainThread = WakeMainThread;
    HWND h = Handle();
    WakeMainThread = [h] { PostMessageW(h, WM_LF_SYNCHRONIZE, 0, 0); };
    FChained = true;
  }
}

TlfSystemController::~TlfSystemController() {
  if (FChained) WakeMainThread = FPrevWakeMainThread;
}

void TlfSystemController::MessageProc(TMessage& Message) {
  if (Message.Msg == WM_LF_SYNCHRONIZE) {
    CheckSynchronize();
    return;
  }
  TlfMessageWindow::MessageProc(Message);
}

// ---------------------------------------------------------------------------
// Unit

const TlfPlatformFlags& lfPlatformFlags() {
  return gFlags;
}
TlfSystemController* lfSystemController() {
  return gController;
}
WORD lfMessage1() {
  return gMessage1;
}
WORD lfMessage2() {
  return gMessage2;
}
HMODULE lfUser32Handle() {
  return gUser32;
}
bool lfShuttingDown() {
  return gShuttingDown;
}

void lfControlsInitialize() {
  if (gUseCount++ > 0) return;
  gShuttingDown = false;
  const auto& v = lxSystemVersion();
  bool nt = v.Platform == VER_PLATFORM_WIN32_NT;
  gFlags.IsWin9x = v.Platform == VER_PLATFORM_WIN32_WINDOWS || v.Platform == VER_PLATFORM_WIN32s;
  gFlags.IsWin2K = nt && v.Major == 5 && v.Minor == 0;
  gFlags.IsWin2KOrLater = nt && v.Major >= 5;
  gFlags.IsNT5WithMinor = nt && v.Major >= 5 && v.Minor > 0;
  gFlags.IsNT4OrLater = nt && v.Major >= 4;
  gFlags.IsVistaOrLater = v.Major >= 6;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  for (const auto& c : kCursors) {
    HCURSOR h = c.Name ? LoadCursorW(inst, c.Name) : LoadCursorW(nullptr, IDC_HAND);
    if (h && Screen) Screen->SetCursors(c.Id, h);
  }
  gUser32 = LoadLibraryW(L"USER32");
  gMessage1 = static_cast<WORD>(RegisterWindowMessageW(L"{154D4F6F-7487-44F3-931A-9AD1980DF30F}"));
  gMessage2 = static_cast<WORD>(RegisterWindowMessageW(L"{7806E93A-FAEE-4FAB-9E89-ECBEF9504026}"));
  GroupDescendentsWith(L"TlfControlChildComponent", L"TControl");
  gController = new TlfSystemController;
}

void lfControlsFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  gShuttingDown = true;
  delete gController;
  gController = nullptr;
  if (reinterpret_cast<uintptr_t>(gUser32) > 32) FreeLibrary(gUser32);
  gUser32 = nullptr;
}
