#include "editor/mix.h"

namespace editor {

TfrmMix::TfrmMix(TComponent* AOwner) : TEffectDialog(AOwner, L"Mix", 411, 187, L"Mix.htm") {
  LayoutWide();
  gbSource = AddGroup(L"gbSource", L"Amplification percent for the selected part of the audio file",
                      8, 64, 300);
  slSource = AddSlider(gbSource, L"slSource", 0, 100, 50, 8, 18, 236);
  labSource = AddValueLabel(gbSource, slSource, L"labSource", L"%d%%", 247, 24);
  gbBuffer =
      AddGroup(L"gbBuffer", L"Amplification percent for the audio  in the buffer", 8, 124, 300);
  slBuffer = AddSlider(gbBuffer, L"slBuffer", 0, 100, 50, 8, 18, 236);
  labBuffer = AddValueLabel(gbBuffer, slBuffer, L"labBuffer", L"%d%%", 247, 24);
  SetPresets(
      {
          {L"[Sys] 50/50 Mix", {50, 50}},
          {L"[Sys] 100% Buffer", {0, 100}},
          {L"[Sys] 100% Source File", {100, 0}},
      },
      {SliderTarget(slSource), SliderTarget(slBuffer)});
  UpdateLabels();
}

} // namespace editor
