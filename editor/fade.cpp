#include "editor/fade.h"

namespace editor {

TfrmFade::TfrmFade(TComponent* AOwner) : TEffectDialog(AOwner, L"Fade", 344, 186, L"Fade.htm") {
  gbStart = AddGroup(L"gbStart", L"Start, in percent", 8, 64);
  slStart = AddSlider(gbStart, L"slStart", 0, 100, 50);
  labStart = AddValueLabel(gbStart, slStart, L"labStart", L"%d%%");
  gbEnd = AddGroup(L"gbEnd", L"End, in percent", 8, 124);
  slEnd = AddSlider(gbEnd, L"slEnd", 0, 100, 50);
  labEnd = AddValueLabel(gbEnd, slEnd, L"labEnd", L"%d%%");
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
