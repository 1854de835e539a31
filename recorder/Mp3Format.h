// "MP3 File Setup": encoder preset or specified settings.
#pragma once
#include "recorder/DialogControls.h"

#include <memory>

namespace recorder {

class TMp3FormatForm : public TFormatSetupForm {
public:
  explicit TMp3FormatForm(TComponent* AOwner);

protected:
  uint8_t* TypeField(TGlobalVars& g) override { return &g.OutputMP3Type; }
  uint8_t& PresetField(TGlobalVars& g) override { return g.OutputMP3Presets; }
  void CopySpecify(const TGlobalVars& from, TGlobalVars& to) override;
  std::wstring Summary(const TGlobalVars& g) override;
  bool RunSpecify(TGlobalVars& g) override;
};

extern const TPresetText Mp3Presets[11];
std::wstring Mp3SettingsSummary(const TGlobalVars& g);

// Runs a specify dialog of class T centred on opener: load, show, store on OK.
template <class T> bool RunSpecifyDialog(TForm* opener, TGlobalVars& g) {
  std::unique_ptr<T> dialog(new T(opener));
  dialog->PlaceCentredOn(opener);
  dialog->Load(g);
  const bool ok = dialog->ShowModal() == mrOk;
  if (ok) dialog->Store(g);
  return ok;
}

} // namespace recorder
