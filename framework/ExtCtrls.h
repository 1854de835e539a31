// Timers (and further standard controls below).
#pragma once

#include "framework/Controls.h"

// ---------------------------------------------------------------------------
// TTimer

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Milliseconds; 0 stops the timer.
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT Value);
  TNotifyEvent OnTimer;

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  HWND FWindowHandle = nullptr;
  UINT FInterval = 1000;
  bool FEnabled = true;
};

// ---------------------------------------------------------------------------
// Standard panels, images, bevels and radio groups go below this line.
