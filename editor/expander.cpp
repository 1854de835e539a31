#include "editor/expander.h"

namespace editor {

TfrmExpander::TfrmExpander(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Expander", 344, 247, L"Expander.htm") {
  LabelRow(
      gbThresHold, slThewsHold, labThresHold,
      {L"gbThresHold", L"slThewsHold", L"labThresHold", L"Thres hold, in db", 8, 64, -92, 0, 0},
      L"%d.db");
  LabelRow(gbExpanderRate, slExpanderRate, labExpanderRate,
           {L"gbExpanderRate", L"slExpanderRate", L"labExpanderRate", L"Expander rate, in percent",
            8, 124, 0, 100, 100},
           L"%d%%");
  EditRow(gbRMSTime, slRMSTime, editRMSTime,
          {L"gbRMSTime", L"slRMSTime", L"editRMSTime", L"RMS time (1 to 5,000ms)", 8, 186, 1, 5000,
           100});
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
