#include "editor/expander.h"

namespace editor {

TfrmExpander::TfrmExpander(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Expander", 344, 247, L"Expander.htm") {
  BuildComponents(
      this,
      {
          {gbThresHold, {L"gbThresHold", this, {8, 64, 233, 53}, L"Thres hold, in db"}},
          {slThewsHold, {L"slThewsHold", gbThresHold, {8, 18, 170, 28}}, SliderRange(-92, 0, 0)},
          {labThresHold,
           {L"labThresHold", gbThresHold, {180, 24, 45, 13}, L"", false},
           ValueOf(slThewsHold, L"%d.db")},
          {gbExpanderRate,
           {L"gbExpanderRate", this, {8, 124, 233, 53}, L"Expander rate, in percent"}},
          {slExpanderRate,
           {L"slExpanderRate", gbExpanderRate, {8, 18, 170, 28}},
           SliderRange(0, 100, 100)},
          {labExpanderRate,
           {L"labExpanderRate", gbExpanderRate, {180, 24, 45, 13}, L"", false},
           ValueOf(slExpanderRate, L"%d%%")},
          {gbRMSTime, {L"gbRMSTime", this, {8, 186, 233, 53}, L"RMS time (1 to 5,000ms)"}},
          {slRMSTime, {L"slRMSTime", gbRMSTime, {8, 18, 170, 28}}, SliderRange(1, 5000, 100)},
          {editRMSTime, {L"editRMSTime", gbRMSTime, {184, 20, 41, 21}}, EditOf(slRMSTime, 1, 5000)},
      });
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] Cassette Noise Reduce", {-54, 75, 100}},
          {L"[Sys] Expander For Music", {-12, 40, 100}},
          {L"[Sys] Expander -30dB", {-30, 100, 100}},
          {L"[Sys] Expander -40dB", {-40, 100, 100}},
          {L"[Sys] Expander -50dB", {-50, 100, 100}},
          {L"[Sys] Soft Expander For Music", {-15, 20, 100}},
          {L"[Sys] Voice Breath Reduce", {-30, 25, 30}},
      },
      {SliderTarget(slThewsHold), SliderTarget(slExpanderRate), SliderTarget(slRMSTime)});
}

} // namespace editor
