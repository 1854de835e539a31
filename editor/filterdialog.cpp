#include "editor/filterdialog.h"

namespace editor {

TFilterDialog::TFilterDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                             int AClientHeight, const std::wstring& AHelpPage, bool WithGain,
                             std::vector<TPreset> Presets)
    : TEffectDialog(AOwner, ACaption, AClientWidth, AClientHeight, AHelpPage) {
  gbFrequency = AddGroup(L"gbFrequency", L"Frequency (10 to 22,050Hz)", 8, 64);
  slFrequency = AddSlider(gbFrequency, L"slFrequency", 10, 22050, 8000);
  editFrequency = AddEdit(gbFrequency, slFrequency, L"editFrequency", 10, 22050);
  gbSteepness = AddGroup(L"gbSteepness", L"Steepness, in percent", 8, 124);
  slSteepness = AddSlider(gbSteepness, L"slSteepness", 1, 100, 50);
  labSteepness = AddValueLabel(gbSteepness, slSteepness, L"labSteepness", L"%d%%");
  std::vector<std::function<void(int)>> targets{SliderTarget(slFrequency),
                                                SliderTarget(slSteepness)};
  if (WithGain) {
    gbGain = AddGroup(L"gbGain", L"Gain, in db", 8, 186);
    slGain = AddSlider(gbGain, L"slGain", -90, 90, 0);
    labGain = AddValueLabel(gbGain, slGain, L"labGain", L"%d.db");
    targets.push_back(SliderTarget(slGain));
  }
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(std::move(Presets), std::move(targets));
}

} // namespace editor
