#include "editor/filterdialog.h"

namespace editor {

TFilterDialog::TFilterDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                             int AClientHeight, const std::wstring& AHelpPage, bool WithGain,
                             std::vector<TPreset> Presets)
    : TEffectDialog(AOwner, ACaption, AClientWidth, AClientHeight, AHelpPage) {
  BuildComponents(
      this,
      {
          {gbFrequency, {L"gbFrequency", this, {8, 64, 233, 53}, L"Frequency (10 to 22,050Hz)"}},
          {slFrequency,
           {L"slFrequency", gbFrequency, {8, 18, 170, 28}},
           SliderRange(10, 22050, 8000)},
          {editFrequency,
           {L"editFrequency", gbFrequency, {184, 20, 41, 21}},
           EditOf(slFrequency, 10, 22050)},
          {gbSteepness, {L"gbSteepness", this, {8, 124, 233, 53}, L"Steepness, in percent"}},
          {slSteepness, {L"slSteepness", gbSteepness, {8, 18, 170, 28}}, SliderRange(1, 100, 50)},
          {labSteepness,
           {L"labSteepness", gbSteepness, {180, 24, 45, 13}, L"", false},
           ValueOf(slSteepness, L"%d%%")},
      });
  std::vector<std::function<void(int)>> targets{SliderTarget(slFrequency),
                                                SliderTarget(slSteepness)};
  if (WithGain) {
    BuildComponents(this,
                    {
                        {gbGain, {L"gbGain", this, {8, 186, 233, 53}, L"Gain, in db"}},
                        {slGain, {L"slGain", gbGain, {8, 18, 170, 28}}, SliderRange(-90, 90, 0)},
                        {labGain,
                         {L"labGain", gbGain, {180, 24, 45, 13}, L"", false},
                         ValueOf(slGain, L"%d.db")},
                    });
    targets.push_back(SliderTarget(slGain));
  }
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(std::move(Presets), std::move(targets));
}

} // namespace editor
