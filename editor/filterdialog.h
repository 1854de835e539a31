// The pass, notch and equaliser dialogs share one layout: frequency with its
// edit, steepness and, for the equalisers, the gain.
#pragma once

#include "editor/effects.h"

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

protected:
  // Presets give frequency, steepness[, gain] in this order.
  TFilterDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                int AClientHeight, const std::wstring& AHelpPage, bool WithGain,
                std::vector<TPreset> Presets);
};
