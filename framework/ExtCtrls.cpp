#include "framework/ExtCtrls.h"

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd([this](TMessage& m) {
    if (m.Msg == WM_TIMER) {
      Timer();
      return;
    }
    m.Result = DefWindowProcW(FWindowHandle, m.Msg, m.WParam, m.LParam);
  });
  UpdateTimer();
}

TTimer::~TTimer() {
  Destroying();
  FEnabled = false;
  if (FWindowHandle) KillTimer(FWindowHandle, 1);
  DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer() {
  KillTimer(FWindowHandle, 1);
  if (FEnabled && FInterval > 0) SetTimer(FWindowHandle, 1, FInterval, nullptr);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::Timer() {
  if (FEnabled && OnTimer) OnTimer(this);
}
