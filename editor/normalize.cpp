#include "editor/normalize.h"

namespace editor {

TfrmNormalize::TfrmNormalize(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Normalize", 345, 154, L"Normalize.htm") {
  LabelRow(gbNormalizeRate, slNormalizeRate, labNormalizeRate,
           {L"gbNormalizeRate", L"slNormalizeRate", L"labNormalizeRate",
            L"Normalize rate, in percent", 8, 64, 0, 100, 100},
           L"%d%%");
  BuildComponents(this, {
                            {cbAdjust, {L"cbAdjust", this, {16, 126, 150, 17}, L"DC Bias Adjust"}},
                        });
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
