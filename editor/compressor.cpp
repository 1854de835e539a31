#include "editor/compressor.h"

namespace editor {

TfrmCompressor::TfrmCompressor(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Compressor", 347, 247, L"Compressor.htm") {
  LabelRow(
      gbThresHold, slThewsHold, labThresHold,
      {L"gbThresHold", L"slThewsHold", L"labThresHold", L"Thres hold, in db", 8, 64, -92, 0, -20},
      L"%d.db");
  LabelRow(gbCompressorRate, slCompressorRate, labCompressorRate,
           {L"gbCompressorRate", L"slCompressorRate", L"labCompressorRate",
            L"Compressor rate, in percent", 8, 124, 0, 100, 100},
           L"%d%%");
  EditRow(
      gbRMSTime, slRMSTime, editRMSTime,
      {L"gbRMSTime", L"slRMSTime", L"editRMSTime", L"RMS time (1 to 5,000ms)", 8, 186, 1, 5000, 1});
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] Compressor -20dB", {-20, 100, 100}},
          {L"[Sys] Compressor -30dB", {-30, 100, 100}},
          {L"[Sys] Compressor -40dB", {-40, 100, 100}},
          {L"[Sys] Hard Compressor For Voice", {-10, 100, 100}},
          {L"[Sys] Limiter -1dB", {-1, 100, 1}},
          {L"[Sys] Limiter -3dB", {-3, 100, 1}},
          {L"[Sys] Limiter -6dB", {-6, 100, 1}},
          {L"[Sys] Soft Compressor For Voice", {-20, 60, 100}},
      },
      {SliderTarget(slThewsHold), SliderTarget(slCompressorRate), SliderTarget(slRMSTime)});
}

} // namespace editor
