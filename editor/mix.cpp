#include "editor/mix.h"

namespace editor {

TfrmMix::TfrmMix(TComponent* AOwner) : TEffectDialog(AOwner, L"Mix", 411, 187, L"Mix.htm") {
  LayoutWide();
  BuildComponents(
      this, {
                {gbSource,
                 {L"gbSource",
                  this,
                  {8, 64, 300, 53},
                  L"Amplification percent for the selected part of the audio file"}},
                {slSource, {L"slSource", gbSource, {8, 18, 236, 28}}, SliderRange(0, 100, 50)},
                {labSource,
                 {L"labSource", gbSource, {247, 24, 45, 13}, L"", false},
                 ValueOf(slSource, L"%d%%")},
                {gbBuffer,
                 {L"gbBuffer",
                  this,
                  {8, 124, 300, 53},
                  L"Amplification percent for the audio in the buffer"}},
                {slBuffer, {L"slBuffer", gbBuffer, {8, 18, 236, 28}}, SliderRange(0, 100, 50)},
                {labBuffer,
                 {L"labBuffer", gbBuffer, {247, 24, 45, 13}, L"", false},
                 ValueOf(slBuffer, L"%d%%")},
            });
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
