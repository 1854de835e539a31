// Mix parameters: the share of the selection and of the clipboard (or file).
#pragma once

#include "editor/effectdialog.h"

namespace editor {

class TfrmMix : public TEffectDialog {
public:
  explicit TfrmMix(TComponent* AOwner);

  TGroupBox* gbSource = nullptr;
  TGroupBox* gbBuffer = nullptr;
  TPicSlider* slSource = nullptr;
  TPicSlider* slBuffer = nullptr;
  TLabel* labSource = nullptr;
  TLabel* labBuffer = nullptr;

  // Shares of the selection and of the clipboard (or file), in percent.
  struct TParams {
    float Source, Buffer;
  };
  TParams Params() const {
    return {SliderValue(slSource), SliderValue(slBuffer)};
  }
};

} // namespace editor
