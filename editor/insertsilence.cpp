#include "editor/insertsilence.h"

#include <algorithm>

#include "framework/SysUtils.h"

namespace editor {

namespace {
constexpr int kMinDuration = 1, kMaxDuration = 1000000;
}

TfrmInsertSilence::TfrmInsertSilence(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Insert Silence", 345, 126, L"Insert Silence.htm") {
  gbDuration = AddGroup(L"gbDuration", L"Duration of silence, in ms", 8, 64);
  editDuration = new TFcNumericEdit(this);
  editDuration->SetName(L"editDuration");
  editDuration->SetParent(gbDuration);
  editDuration->SetBounds(8, 20, 89, 21);
  editDuration->SetDisplayFormat(L",0;(,0)");
  editDuration->SetMin(kMinDuration);
  editDuration->SetMax(kMaxDuration);
  editDuration->SetCheckRange(true);
  editDuration->SetTabStop(true);
  editDuration->SetText(editDuration->FormatValue(1000));
  labDutation = AddLabel(gbDuration, L"(1 to 1,000,000ms)", 108, 24);
  labDutation->SetName(L"labDutation");
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
