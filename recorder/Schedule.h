// The recording schedule: decides at each timer tick whether a scheduled
// start or stop time has been reached since the previous tick.
#pragma once
#include "framework/SysUtils.h"
#include "recorder/globals.h"

#include <cstdint>
#include <functional>

namespace recorder {

struct TScheduleActions {
  bool StopPlayback = false;
  bool Start = false;
  bool Stop = false;
  // A stored date or time could not be read and was replaced.
  bool Rewritten = false;
};

// Replaces a schedule date or time text that cannot be read with today's date
// or the current time; true when something was replaced.
bool RepairScheduleTexts(TGlobalVars& g, TDateTime now);

class TScheduleCheck {
public:
  // The clock; tests replace it.
  std::function<TDateTime()> Clock = [] { return Now(); };

  // One tick: Started is the "started by the schedule" flag, Busy whether a
  // recording runs or is paused (a start is then ignored).
  TScheduleActions Tick(TGlobalVars& g, bool& Started, bool Busy);
  // Forgets the previous tick.
  void Reset() { FHasLast = false; }

private:
  bool FHasLast = false;
  int64_t FLastSecond = 0;
};

} // namespace recorder
