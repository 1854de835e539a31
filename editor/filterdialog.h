// The pass, notch and equaliser dialogs share one layout: frequency with its
// edit, steepness and, for the equalisers, the gain.
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TFilterDialog : public TEffectDialog {
public:
  TGroupBox* gbFrequency = nullptr;
  TGroupBox* gbSteepness = nullptr;
  TGroupBox* gbGain = nullptr;
  TPicSlider* slFrequency = nullptr;
  TPicSlider* slSteepness = nullptr;
  TPicSlider* slGain = nullptr; // equalisers only
  TFcNumericEdit* editFrequency = nullptr;
  TLabel* labSteepness = nullptr;
  TLabel* labGain = nullptr;

  // Gain (dB, equalisers only), frequency (Hz) and steepness (%).
  struct TParams {
    float Gain, Frequency, Steepness;
  };
  TParams Params() const {
    return {slGain ? SliderValue(slGain) : 0.0f, SliderValue(slFrequency), SliderValue(slSteepness)};
  }

protected:
  // Presets give frequency, steepness[, gain] in this order.
  TFilterDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                int AClientHeight, const std::wstring& AHelpPage, bool WithGain,
                std::vector<TPreset> Presets);
};

} // namespace editor
