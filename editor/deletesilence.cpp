#include "editor/deletesilence.h"

namespace editor {

TfrmDeleteSilence::TfrmDeleteSilence(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Delete Silence", 344, 245, L"Delete Silence.htm") {
  BuildComponents(
      this,
      {
          {gbThresHold, {L"gbThresHold", this, {8, 64, 233, 53}, L"Thres hold, in db"}},
          {slThewsHold, {L"slThewsHold", gbThresHold, {8, 18, 170, 28}}, SliderRange(-92, 0, -40)},
          {labThresHold,
           {L"labThresHold", gbThresHold, {180, 24, 45, 13}, L"", false},
           ValueOf(slThewsHold, L"%d.db")},
          {gbTime, {L"gbTime", this, {8, 124, 233, 53}, L"Attack time (1 to 500ms)"}},
          {slAttackTime, {L"slAttackTime", gbTime, {8, 18, 170, 28}}, SliderRange(1, 500, 3)},
          {editAttackTime,
           {L"editAttackTime", gbTime, {184, 20, 41, 21}},
           EditOf(slAttackTime, 1, 500)},
          {gbReleaseTime,
           {L"gbReleaseTime", this, {8, 186, 233, 53}, L"Release time (1 to 5,000ms)"}},
          {slReleaseTime,
           {L"slReleaseTime", gbReleaseTime, {8, 18, 170, 28}},
           SliderRange(1, 5000, 100)},
          {editReleaseTime,
           {L"editReleaseTime", gbReleaseTime, {184, 20, 41, 21}},
           EditOf(slReleaseTime, 1, 5000)},
      });
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
