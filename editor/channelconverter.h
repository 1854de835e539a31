// Channel Converter parameters: the share of the old left and right channel
// in each new channel, on vertical sliders.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmChannelConverter : public TEffectDialog {
public:
  explicit TfrmChannelConverter(TComponent* AOwner);

  TGroupBox* gbMain = nullptr;
  TGroupBox* gbNewLeft = nullptr;
  TGroupBox* gbNewRight = nullptr;
  TPicSlider* slNewLL = nullptr;
  TPicSlider* slNewLR = nullptr;
  TPicSlider* slNewRL = nullptr;
  TPicSlider* slNewRR = nullptr;
  TLabel* labNewLL = nullptr;
  TLabel* labNewLR = nullptr;
  TLabel* labNewRL = nullptr;
  TLabel* labNewRR = nullptr;

  // Share of the old left and right channel in the new left (LL, LR) and right (RL, RR).
  struct TParams {
    float LL, LR, RL, RR;
  };
  TParams Params() const {
    return {SliderValue(slNewLL), SliderValue(slNewLR), SliderValue(slNewRL), SliderValue(slNewRR)};
  }

private:
  void BuildChannel(TGroupBox* Group, TPicSlider*& FromLeft, TPicSlider*& FromRight,
                    TLabel*& LabLeft, TLabel*& LabRight, const std::wstring& Suffix);
};

} // namespace editor
