#include "editor/normalize.h"

namespace editor {

TfrmNormalize::TfrmNormalize(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Normalize", 345, 154, L"Normalize.htm") {
  gbNormalizeRate = AddGroup(L"gbNormalizeRate", L"Normalize rate, in percent", 8, 64);
  slNormalizeRate = AddSlider(gbNormalizeRate, L"slNormalizeRate", 0, 100, 100);
  labNormalizeRate = AddValueLabel(gbNormalizeRate, slNormalizeRate, L"labNormalizeRate", L"%d%%");
  cbAdjust = new TCheckBox(this);
  cbAdjust->SetName(L"cbAdjust");
  cbAdjust->SetParent(this);
  cbAdjust->SetCaption(L"DC Bias Adjust");
  cbAdjust->SetBounds(16, 126, 150, 17);
  cbAdjust->SetTabStop(true);
  // The check box is set after the slider.
  SetPresets(
      {
          {L"[Sys] Normalize 100%", {100, 0}},
          {L"[Sys] Normalize 100% + DC Bias Adjust", {100, 1}},
          {L"[Sys] Normalize 80%", {80, 0}},
          {L"[Sys] Normalize 80% + DC Bias Adjust", {80, 1}},
      },
      {SliderTarget(slNormalizeRate), [this](int v) { cbAdjust->SetChecked(v != 0); }});
}

} // namespace editor
