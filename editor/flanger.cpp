#include "editor/flanger.h"

namespace editor {

TfrmFlanger::TfrmFlanger(TComponent* AOwner)
    : TSweepDialog(AOwner, L"Flanger", 379, 252, L"Flanger.htm") {
  LayoutTwoColumns();
  LabelRow(gbDelayRate, slDelayRate, labDelayRate,
           {L"gbDelayRate", L"slDelayRate", L"labDelayRate", L"Delay rate, in percent", 8, 44, 1,
            100, 50, true},
           L"%d%%");
  SweepRows(50, 30, 5, 10);
  SetPresets(
      {
          {L"[Sys] Blur", {14, 50, 30, 99, 18, 40}},
          {L"[Sys] Classic Flanger", {14, 30, 30, 99, 10, 70}},
          {L"[Sys] Crying Flanger", {14, 35, 70, 99, 5, 70}},
          {L"[Sys] Deep Slow Flanger", {80, 70, 50, 10, 1, 20}},
          {L"[Sys] Fast Sweeping Loop", {100, 50, 85, 90, 30, 90}},
          {L"[Sys] Flanger-Vibrato", {6, 49, 10, 54, 53, 40}},
          {L"[Sys] Light Chorus", {70, 50, 1, 99, 0, 50}},
          {L"[Sys] Light Reflective Romm", {100, 10, 90, 10, 10, 90}},
          {L"[Sys] Little Steel Ball", {100, 50, 85, 99, 100, 90}},
          {L"[Sys] Metal Bunker", {70, 45, 88, 99, 0, 50}},
          {L"[Sys] Old TV Set", {14, 50, 75, 99, 0, 120}},
          {L"[Sys] Receiver", {100, 50, 85, 80, 15, 90}},
          {L"[Sys] Reflective Room", {14, 8, 41, 1, 42, 40}},
          {L"[Sys] Slow-Easy Flanger", {10, 50, 1, 99, 1, 35}},
          {L"[Sys] Slow Flanger", {3, 35, 10, 40, 4, 40}},
          {L"[Sys] Soft Spread", {15, 72, 18, 22, 11, 12}},
          {L"[Sys] Up and Down", {80, 50, 70, 10, 19, 20}},
      },
      SweepTargets(slDelayRate));
}

} // namespace editor
