#include "editor/filterdialog.h"

namespace editor {

TFilterDialog::TFilterDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                             int AClientHeight, const std::wstring& AHelpPage, bool WithGain,
                             std::vector<TPreset> Presets)
    : TEffectDialog(AOwner, ACaption, AClientWidth, AClientHeight, AHelpPage) {
  EditRow(gbFrequency, slFrequency, editFrequency,
          {L"gbFrequency", L"slFrequency", L"editFrequency", L"Frequency (10 to 22,050Hz)", 8, 64,
           10, 22050, 8000});
  LabelRow(gbSteepness, slSteepness, labSteepness,
           {L"gbSteepness", L"slSteepness", L"labSteepness", L"Steepness, in percent", 8, 124, 1,
            100, 50},
           L"%d%%");
  std::vector<std::function<void(int)>> targets{SliderTarget(slFrequency),
                                                SliderTarget(slSteepness)};
  if (WithGain) {
    LabelRow(gbGain, slGain, labGain,
             {L"gbGain", L"slGain", L"labGain", L"Gain, in db", 8, 186, -90, 90, 0}, L"%d.db");
    targets.push_back(SliderTarget(slGain));
  }
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(std::move(Presets), std::move(targets));
}

} // namespace editor
