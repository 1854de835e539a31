#include "editor/deletesilence.h"

namespace editor {

TfrmDeleteSilence::TfrmDeleteSilence(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Delete Silence", 344, 245, L"Delete Silence.htm") {
  gbThresHold = AddGroup(L"gbThresHold", L"Thres hold, in db", 8, 64);
  slThewsHold = AddSlider(gbThresHold, L"slThewsHold", -92, 0, -40);
  labThresHold = AddValueLabel(gbThresHold, slThewsHold, L"labThresHold", L"%d.db");
  gbTime = AddGroup(L"gbTime", L"Attack time (1 to 500ms)", 8, 124);
  slAttackTime = AddSlider(gbTime, L"slAttackTime", 1, 500, 3);
  editAttackTime = AddEdit(gbTime, slAttackTime, L"editAttackTime", 1, 500);
  gbReleaseTime = AddGroup(L"gbReleaseTime", L"Release time (1 to 5,000ms)", 8, 186);
  slReleaseTime = AddSlider(gbReleaseTime, L"slReleaseTime", 1, 5000, 100);
  editReleaseTime = AddEdit(gbReleaseTime, slReleaseTime, L"editReleaseTime", 1, 5000);
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
