#include "recorder/Schedule.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace recorder {

namespace {

constexpr int64_t kDay = 86400;

int64_t Seconds(TDateTime t) {
  return static_cast<int64_t>(std::llround(t * kDay));
}

int64_t FloorDiv(int64_t a, int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

bool RepairScheduleTexts(TGlobalVars& g, TDateTime now) {
  bool changed = false;
  TDateTime v;
  if (!TryStrToDate(g.OP_SchDateOnce, v)) {
    g.OP_SchDateOnce = DateToStr(now);
    changed = true;
  }
  if (!TryStrToTime(g.OP_SchTimeStartAt, v)) {
    g.OP_SchTimeStartAt = TimeToStr(now);
    changed = true;
  }
  if (!TryStrToTime(g.OP_SchTimeStopAt, v)) {
    g.OP_SchTimeStopAt = TimeToStr(now);
    changed = true;
  }
  return changed;
}

TScheduleActions TScheduleCheck::Tick(TGlobalVars& g, bool& Started, bool Busy) {
  TScheduleActions a;
  const TDateTime now = Clock();
  const int64_t nowSec = Seconds(now);
  // The first tick looks at its own second only.
  const int64_t last = FHasLast ? FLastSecond : nowSec - 1;
  FHasLast = true;
  FLastSecond = std::max(nowSec, last);
  if (!g.OP_EnableSchRecording || nowSec <= last) return a;
  if (RepairScheduleTexts(g, now)) {
    a.Rewritten = true;
    return a;
  }
  TDateTime startAt = 0, stopAt = 0, once = 0;
  TryStrToTime(g.OP_SchTimeStartAt, startAt);
  TryStrToTime(g.OP_SchTimeStopAt, stopAt);
  TryStrToDate(g.OP_SchDateOnce, once);
  const int64_t startSec = Seconds(startAt - std::floor(startAt));
  const int64_t stopSec = Seconds(stopAt - std::floor(stopAt));
  if (stopSec <= startSec) return a;

  auto dayMatches = [&](int64_t day) {
    switch (g.OP_SchDate) {
    case 0:
      return day == static_cast<int64_t>(std::floor(once));
    case 1:
      return true;
    case 2:
      return DayOfWeek(static_cast<TDateTime>(day)) == g.OP_SchDateWeekly + 1;
    default:
      return false;
    }
  };
  // Start (0) and stop (1) times reached in (last, now], in order; at most the
  // last two days are looked at after a long pause.
  std::vector<std::pair<int64_t, int>> events;
  const int64_t lastDay = std::max(FloorDiv(last + 1, kDay), FloorDiv(nowSec, kDay) - 1);
  for (int64_t day = lastDay; day <= FloorDiv(nowSec, kDay); ++day) {
    if (!dayMatches(day)) continue;
    for (int kind = 0; kind < 2; ++kind) {
      const int64_t at = day * kDay + (kind == 0 ? startSec : stopSec);
      if (at > last && at <= nowSec) events.push_back({at, kind});
    }
  }
  std::sort(events.begin(), events.end());
  for (const auto& e : events) {
    if (e.second == 0) {
      if (Started || Busy) continue;
      Started = true;
      a.Start = true;
      a.StopPlayback = true;
    } else if (Started) {
      Started = false;
      if (a.Start) {
        // Started and stopped within one tick: nothing to record.
        a.Start = a.StopPlayback = false;
      } else {
        a.Stop = true;
      }
    }
  }
  return a;
}

} // namespace recorder
