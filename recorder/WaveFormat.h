// "Wave File Setup": preset or specified PCM settings.
#pragma once
#include "recorder/DialogControls.h"

namespace recorder {

class TWaveFormatForm : public TFormatSetupForm {
public:
  explicit TWaveFormatForm(TComponent* AOwner);

protected:
  uint8_t* TypeField(TGlobalVars& g) override { return &g.OutputWAVType; }
  uint8_t& PresetField(TGlobalVars& g) override { return g.OutputWAVPersets; }
  void CopySpecify(const TGlobalVars& from, TGlobalVars& to) override;
  std::wstring Summary(const TGlobalVars& g) override;
  bool RunSpecify(TGlobalVars& g) override;
};

extern const TPresetText WavePresets[3];
std::wstring WaveSettingsSummary(const TGlobalVars& g);

} // namespace recorder
