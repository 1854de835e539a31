// "WMA File Setup": one of seven profiles.
#pragma once
#include "recorder/DialogControls.h"

namespace recorder {

class TWmaFormatForm : public TFormatSetupForm {
public:
  explicit TWmaFormatForm(TComponent* AOwner);

protected:
  uint8_t* TypeField(TGlobalVars&) override { return nullptr; }
  uint8_t& PresetField(TGlobalVars& g) override { return g.OutputWMAPresets; }
};

extern const TPresetText WmaPresets[7];

} // namespace recorder
