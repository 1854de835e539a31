#include "editor/normalize.h"

namespace editor {

TfrmNormalize::TfrmNormalize(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Normalize", 345, 154, L"Normalize.htm") {
  BuildComponents(this,
                  {
                      {gbNormalizeRate,
                       {L"gbNormalizeRate", this, {8, 64, 233, 53}, L"Normalize rate, in percent"}},
                      {slNormalizeRate,
                       {L"slNormalizeRate", gbNormalizeRate, {8, 18, 170, 28}},
                       SliderRange(0, 100, 100)},
                      {labNormalizeRate,
                       {L"labNormalizeRate", gbNormalizeRate, {180, 24, 45, 13}, L"", false},
                       ValueOf(slNormalizeRate, L"%d%%")},
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
