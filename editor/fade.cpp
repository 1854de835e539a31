#include "editor/fade.h"

namespace editor {

TfrmFade::TfrmFade(TComponent* AOwner) : TEffectDialog(AOwner, L"Fade", 344, 186, L"Fade.htm") {
  BuildComponents(
      this,
      {
          {gbStart, {L"gbStart", this, {8, 64, 233, 53}, L"Start, in percent"}},
          {slStart, {L"slStart", gbStart, {8, 18, 170, 28}}, SliderRange(0, 100, 50)},
          {labStart,
           {L"labStart", gbStart, {180, 24, 45, 13}, L"", false},
           ValueOf(slStart, L"%d%%")},
          {gbEnd, {L"gbEnd", this, {8, 124, 233, 53}, L"End, in percent"}},
          {slEnd, {L"slEnd", gbEnd, {8, 18, 170, 28}}, SliderRange(0, 100, 50)},
          {labEnd, {L"labEnd", gbEnd, {180, 24, 45, 13}, L"", false}, ValueOf(slEnd, L"%d%%")},
      });
  SetPresets(
      {
          {L"[Sys] Fade In", {0, 100}},
          {L"[Sys] Fade Out", {100, 0}},
          {L"[Sys] Soft Fade In 80%", {20, 100}},
          {L"[Sys] Soft Fade Out 80%", {100, 20}},
      },
      {SliderTarget(slStart), SliderTarget(slEnd)});
}

} // namespace editor
