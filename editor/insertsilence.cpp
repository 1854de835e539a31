#include "editor/insertsilence.h"

#include <algorithm>

#include "framework/SysUtils.h"

namespace editor {

namespace {
constexpr int kMinDuration = 1, kMaxDuration = 1000000;
}

TfrmInsertSilence::TfrmInsertSilence(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Insert Silence", 345, 126, L"Insert Silence.htm") {
  BuildComponents(
      this,
      {
          {gbDuration, {L"gbDuration", this, {8, 64, 233, 53}, L"Duration of silence, in ms"}},
          {editDuration,
           {L"editDuration", gbDuration, {8, 20, 89, 21}},
           [](TFcNumericEdit& e) {
             e.SetDisplayFormat(L",0;(,0)");
             e.SetMin(kMinDuration);
             e.SetMax(kMaxDuration);
             e.SetCheckRange(true);
             e.SetText(e.FormatValue(1000));
           }},
          {labDutation,
           {L"labDutation", gbDuration, {108, 24, 0, 13}, L"(1 to 1,000,000ms)", true}},
      });
  // Leaving the edit (OK takes the focus) applies its range correction.
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] 1 Second", {1000}},
          {L"[Sys] 2 Seconds", {2000}},
          {L"[Sys] 5 Seconds", {5000}},
          {L"[Sys] 1/2 Minute", {30000}},
          {L"[Sys] 1 Minute", {60000}},
          {L"[Sys] 2 Minutes", {120000}},
          {L"[Sys] 5 Minutes", {300000}},
          {L"[Sys] 10 Minutes", {600000}},
      },
      {[this](int v) { editDuration->SetValue(v); }});
}

int TfrmInsertSilence::Duration() {
  double v = editDuration->Value();
  if (!(v >= kMinDuration)) v = kMinDuration;
  if (v > kMaxDuration) v = kMaxDuration;
  int ms = static_cast<int>(Round(v));
  if (ms != editDuration->IntegerValue()) editDuration->SetText(editDuration->FormatValue(ms));
  return std::clamp(ms, kMinDuration, kMaxDuration);
}

} // namespace editor
