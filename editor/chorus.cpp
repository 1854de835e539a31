#include "editor/chorus.h"

namespace editor {

TfrmChorus::TfrmChorus(TComponent* AOwner)
    : TSweepDialog(AOwner, L"Chorus", 378, 250, L"Chorus.htm") {
  LayoutTwoColumns();
  EditRow(gbDelaytime, slDelaytime, editDelaytime,
          {L"gbDelaytime", L"slDelaytime", L"editDelaytime", L"Delay time (1 to 1,000ms)", 8, 44, 1,
           1000, 50, true});
  SweepRows(40, 40, 100, 2);
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  SetPresets(
      {
          {L"[Sys] Bathroom Delay", {10, 20, 60, 0, 0, 90}},
          {L"[Sys] Bathroom with Light Flanger", {31, 45, 60, 25, 12, 90}},
          {L"[Sys] Cassete Tape Hard Stretched", {31, 45, 60, 90, 25, 0}},
          {L"[Sys] Cassete Tape Light Stretched", {8, 50, 25, 1, 25, 90}},
          {L"[Sys] Electronic Voice", {7, 60, 0, 15, 90, 90}},
          {L"[Sys] Flying Hard Flanger", {90, 50, 90, 2, 12, 90}},
          {L"[Sys] Psychedelic", {31, 70, 50, 1, 1, 90}},
          {L"[Sys] Simple Chorus", {7, 45, 2, 0, 1, 90}},
          {L"[Sys] Stereo Chorus Left", {5, 30, 60, 2, 12, 90}},
          {L"[Sys] Stereo Chorus Right", {7, 30, 60, 3, 10, 90}},
      },
      SweepTargets(slDelaytime));
}

} // namespace editor
