#include "editor/channelconverter.h"

namespace editor {

TfrmChannelConverter::TfrmChannelConverter(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Channel Converter", 441, 274, L"Channel Converter.htm") {
  // A frame group instead of the bevel line.
  line->SetVisible(false);
  BuildComponents(
      this, {
                {gbMain, {L"gbMain", this, {8, 56, 337, 210}, L""}},
                {gbNewLeft, {L"gbNewLeft", gbMain, {8, 14, 156, 188}, L"New left channel"}},
                {gbNewRight, {L"gbNewRight", gbMain, {172, 14, 156, 188}, L"New right channel"}},
            });
  BuildChannel(gbNewLeft, slNewLL, slNewLR, labNewLL, labNewLR, L"L");
  BuildChannel(gbNewRight, slNewRL, slNewRR, labNewRL, labNewRR, L"R");
  SetPresets(
      {
          {L"[Sys] 50/50 Mixing", {50, 50, 50, 50}},
          {L"[Sys] Both = Left", {100, 0, 100, 0}},
          {L"[Sys] Both = Right", {0, 100, 0, 100}},
          {L"[Sys] Full Mix", {100, 100, 100, 100}},
          {L"[Sys] Less Stereo -20%", {80, 20, 20, 80}},
          {L"[Sys] Less Stereo -30%", {70, 30, 30, 70}},
          {L"[Sys] Swap Channels", {0, 100, 100, 0}},
      },
      {SliderTarget(slNewLL), SliderTarget(slNewLR), SliderTarget(slNewRL), SliderTarget(slNewRR)});
}

void TfrmChannelConverter::BuildChannel(TGroupBox* G, TPicSlider*& FromLeft, TPicSlider*& FromRight,
                                        TLabel*& LabLeft, TLabel*& LabRight,
                                        const std::wstring& S) {
  BuildComponents(
      this,
      {
          {FromLeft, {L"slNew" + S + L"L", G, {18, 36, 28, 104}}, SliderRange(0, 100, 50, true)},
          {FromRight, {L"slNew" + S + L"R", G, {108, 36, 28, 104}}, SliderRange(0, 100, 50, true)},
          {LabLeft,
           {L"labNew" + S + L"L", G, {8, 18, 44, 13}, L"", false},
           ValueOf(FromLeft, L"%d%%")},
          {LabRight,
           {L"labNew" + S + L"R", G, {98, 18, 44, 13}, L"", false},
           ValueOf(FromRight, L"%d%%")},
          {Unbound<TLabel>, {L"", G, {62, 40, 0, 13}, L"More", true}},
          {Unbound<TLabel>, {L"", G, {62, 126, 0, 13}, L"Less", true}},
          {Unbound<TLabel>, {L"", G, {8, 148, 0, 13}, L"Form left", true}},
          {Unbound<TLabel>, {L"", G, {8, 164, 0, 13}, L"(0 to 100%)", true}},
          {Unbound<TLabel>, {L"", G, {92, 148, 0, 13}, L"Form right", true}},
          {Unbound<TLabel>, {L"", G, {92, 164, 0, 13}, L"(0 to 100%)", true}},
      });
}

} // namespace editor
