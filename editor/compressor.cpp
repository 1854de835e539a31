#include "editor/compressor.h"

namespace editor {

TfrmCompressor::TfrmCompressor(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Compressor", 347, 247, L"Compressor.htm") {
  BuildComponents(
      this,
      {
          {gbThresHold, {L"gbThresHold", this, {8, 64, 233, 53}, L"Thres hold, in db"}},
          {slThewsHold, {L"slThewsHold", gbThresHold, {8, 18, 170, 28}}, SliderRange(-92, 0, -20)},
          {labThresHold,
           {L"labThresHold", gbThresHold, {180, 24, 45, 13}, L"", false},
           ValueOf(slThewsHold, L"%d.db")},
          {gbCompressorRate,
           {L"gbCompressorRate", this, {8, 124, 233, 53}, L"Compressor rate, in percent"}},
          {slCompressorRate,
           {L"slCompressorRate", gbCompressorRate, {8, 18, 170, 28}},
           SliderRange(0, 100, 100)},
          {labCompressorRate,
           {L"labCompressorRate", gbCompressorRate, {180, 24, 45, 13}, L"", false},
           ValueOf(slCompressorRate, L"%d%%")},
          {gbRMSTime, {L"gbRMSTime", this, {8, 186, 233, 53}, L"RMS time (1 to 5,000ms)"}},
          {slRMSTime, {L"slRMSTime", gbRMSTime, {8, 18, 170, 28}}, SliderRange(1, 5000, 1)},
          {editRMSTime, {L"editRMSTime", gbRMSTime, {184, 20, 41, 21}}, EditOf(slRMSTime, 1, 5000)},
      });
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
