// "OGG File Setup": preset or specified Vorbis settings.
#pragma once
#include "recorder/DialogControls.h"

namespace recorder {

class TOggFormatForm : public TFormatSetupForm {
public:
  explicit TOggFormatForm(TComponent* AOwner);

protected:
  uint8_t* TypeField(TGlobalVars& g) override { return &g.OutputOGGType; }
  uint8_t& PresetField(TGlobalVars& g) override { return g.OutputOGGPresets; }
  void CopySpecify(const TGlobalVars& from, TGlobalVars& to) override;
  std::wstring Summary(const TGlobalVars& g) override;
  bool RunSpecify(TGlobalVars& g) override;
};

extern const TPresetText OggPresets[7];
std::wstring OggSettingsSummary(const TGlobalVars& g);

} // namespace recorder
