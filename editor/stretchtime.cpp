#include "editor/stretchtime.h"

namespace editor {

TfrmStretchTime::TfrmStretchTime(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Stretch Time", 344, 126, L"Stretch Time.htm") {
  LabelRow(gbRate, slRate, labRate,
           {L"gbRate", L"slRate", L"labRate", L"Resample rate, in percent", 8, 64, 50, 500, 90},
           L"%d%%");
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
