#include "editor/phaser.h"

namespace editor {

TfrmPhaser::TfrmPhaser(TComponent* AOwner)
    : TDelayLineDialog(AOwner, L"Phaser", 347, 246, L"Phaser.htm", 120, 30, 50) {
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] Gymnastic Hall", {300, 30, 45}},
          {L"[Sys] Large Hall", {239, 80, 85}},
          {L"[Sys] School Gym", {300, 30, 45}},
          {L"[Sys] Shower Room", {60, 30, 60}},
          {L"[Sys] Stadium", {400, 25, 50}},
      },
      DelayLineTargets());
}

} // namespace editor
