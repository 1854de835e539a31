#include "editor/expander.h"

namespace editor {

TfrmExpander::TfrmExpander(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Expander", 344, 247, L"Expander.htm") {
  gbThresHold = AddGroup(L"gbThresHold", L"Thres hold, in db", 8, 64);
  slThewsHold = AddSlider(gbThresHold, L"slThewsHold", -92, 0, 0);
  labThresHold = AddValueLabel(gbThresHold, slThewsHold, L"labThresHold", L"%d.db");
  gbExpanderRate = AddGroup(L"gbExpanderRate", L"Expander rate, in percent", 8, 124);
  slExpanderRate = AddSlider(gbExpanderRate, L"slExpanderRate", 0, 100, 100);
  labExpanderRate = AddValueLabel(gbExpanderRate, slExpanderRate, L"labExpanderRate", L"%d%%");
  gbRMSTime = AddGroup(L"gbRMSTime", L"RMS time (1 to 5,000ms)", 8, 186);
  slRMSTime = AddSlider(gbRMSTime, L"slRMSTime", 1, 5000, 100);
  editRMSTime = AddEdit(gbRMSTime, slRMSTime, L"editRMSTime", 1, 5000);
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
