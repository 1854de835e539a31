#include "editor/stretchtime.h"

namespace editor {

TfrmStretchTime::TfrmStretchTime(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Stretch Time", 344, 126, L"Stretch Time.htm") {
  BuildComponents(
      this,
      {
          {gbRate, {L"gbRate", this, {8, 64, 233, 53}, L"Resample rate, in percent"}},
          {slRate, {L"slRate", gbRate, {8, 18, 170, 28}}, SliderRange(50, 500, 90)},
          {labRate, {L"labRate", gbRate, {180, 24, 45, 13}, L"", false}, ValueOf(slRate, L"%d%%")},
      });
  SetPresets(
      {
          {L"[Sys] Slow Tempo 60%", {60}},
          {L"[Sys] Slow Tempo 70%", {70}},
          {L"[Sys] Slow Tempo 80%", {80}},
          {L"[Sys] Slow Tempo 90%", {90}},
          {L"[Sys] Speed Up Tempo 120%", {120}},
          {L"[Sys] Speed Up Tempo 150%", {150}},
          {L"[Sys] Speed Up Tempo 200%", {200}},
          {L"[Sys] Speed Up Tempo 500%", {500}},
      },
      {SliderTarget(slRate)});
}

} // namespace editor
