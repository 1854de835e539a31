#include "editor/deletesilence.h"

namespace editor {

TfrmDeleteSilence::TfrmDeleteSilence(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Delete Silence", 344, 245, L"Delete Silence.htm") {
  LabelRow(
      gbThresHold, slThewsHold, labThresHold,
      {L"gbThresHold", L"slThewsHold", L"labThresHold", L"Thres hold, in db", 8, 64, -92, 0, -40},
      L"%d.db");
  EditRow(gbTime, slAttackTime, editAttackTime,
          {L"gbTime", L"slAttackTime", L"editAttackTime", L"Attack time (1 to 500ms)", 8, 124, 1,
           500, 3});
  EditRow(gbReleaseTime, slReleaseTime, editReleaseTime,
          {L"gbReleaseTime", L"slReleaseTime", L"editReleaseTime", L"Release time (1 to 5,000ms)",
           8, 186, 1, 5000, 100});
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] Default All Parameter", {-40, 3, 100}},
          {L"[Sys] Long Decay Time", {-40, 10, 1000}},
          {L"[Sys] Delete Silence 1", {-20, 1, 500}},
          {L"[Sys] Delete Silence 2", {-60, 1, 500}},
          {L"[Sys] Strong Beat Only", {-10, 1, 300}},
      },
      {SliderTarget(slThewsHold), SliderTarget(slAttackTime), SliderTarget(slReleaseTime)});
  UpdateLabels();
}

} // namespace editor
