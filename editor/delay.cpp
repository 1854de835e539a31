#include "editor/delay.h"

namespace editor {

TfrmDelay::TfrmDelay(TComponent* AOwner)
    : TDelayLineDialog(AOwner, L"Delay", 345, 253, L"Delay.htm", 120, 85, 10) {
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] Double Left Channel", {85, 51, 7}},
          {L"[Sys] Double Right Channel", {70, 53, 11}},
          {L"[Sys] Echo", {200, 70, 40}},
          {L"[Sys] Elvis Left Channel", {120, 50, 0}},
          {L"[Sys] Elvis Right Channel", {60, 50, 0}},
          {L"[Sys] Large Cavern", {300, 25, 30}},
          {L"[Sys] Large Tunnel", {80, 70, 60}},
          {L"[Sys] Many Echos", {500, 50, 70}},
          {L"[Sys] Multitaped Delay LC1", {90, 7, 50}},
          {L"[Sys] Multitaped Delay LC2", {180, 3, 60}},
          {L"[Sys] Multitaped Delay LC3", {210, 2, 70}},
          {L"[Sys] Multitaped Delay LC4", {350, 1, 80}},
          {L"[Sys] Multitaped Delay RC1", {120, 7, 50}},
          {L"[Sys] Multitaped Delay RC2", {140, 3, 60}},
          {L"[Sys] Multitaped Delay RC3", {220, 2, 70}},
          {L"[Sys] Multitaped Delay RC4", {300, 1, 80}},
          {L"[Sys] Phylarmoni Chall", {340, 10, 70}},
          {L"[Sys] Phylarmoni Chall2", {270, 10, 60}},
          {L"[Sys] Psychodelic Reverb", {750, 30, 70}},
          {L"[Sys] Small Cavern", {200, 70, 10}},
          {L"[Sys] Small Echo", {200, 70, 0}},
          {L"[Sys] Small Tunnel", {26, 60, 10}},
          {L"[Sys] Very Large Cavern", {360, 35, 50}},
      },
      DelayLineTargets());
}

} // namespace editor
