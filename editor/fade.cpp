#include "editor/fade.h"

namespace editor {

TfrmFade::TfrmFade(TComponent* AOwner) : TEffectDialog(AOwner, L"Fade", 344, 186, L"Fade.htm") {
  LabelRow(gbStart, slStart, labStart,
           {L"gbStart", L"slStart", L"labStart", L"Start, in percent", 8, 64, 0, 100, 50}, L"%d%%");
  LabelRow(gbEnd, slEnd, labEnd,
           {L"gbEnd", L"slEnd", L"labEnd", L"End, in percent", 8, 124, 0, 100, 50}, L"%d%%");
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
