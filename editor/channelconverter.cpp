#include "editor/channelconverter.h"

namespace editor {

TfrmChannelConverter::TfrmChannelConverter(TComponent* AOwner)
    : TEffectDialog(AOwner, L"Channel Converter", 441, 274, L"Channel Converter.htm") {
  // A frame group instead of the bevel line.
  line->SetVisible(false);
  gbMain = AddGroup(L"gbMain", L"", 8, 56, 337, 210);
  gbNewLeft = new TGroupBox(this);
  gbNewLeft->SetName(L"gbNewLeft");
  gbNewLeft->SetParent(gbMain);
  gbNewLeft->SetCaption(L"New left channel");
  gbNewLeft->SetBounds(8, 14, 156, 188);
  gbNewRight = new TGroupBox(this);
  gbNewRight->SetName(L"gbNewRight");
  gbNewRight->SetParent(gbMain);
  gbNewRight->SetCaption(L"New right channel");
  gbNewRight->SetBounds(172, 14, 156, 188);
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
  FromLeft = AddSlider(G, L"slNew" + S + L"L", 0, 100, 50, 18, 36, 28, 104, true);
  FromRight = AddSlider(G, L"slNew" + S + L"R", 0, 100, 50, 108, 36, 28, 104, true);
  LabLeft = AddValueLabel(G, FromLeft, L"labNew" + S + L"L", L"%d%%", 8, 18, 44);
  LabRight = AddValueLabel(G, FromRight, L"labNew" + S + L"R", L"%d%%", 98, 18, 44);
  AddLabel(G, L"More", 62, 40);
  AddLabel(G, L"Less", 62, 126);
  AddLabel(G, L"Form left", 8, 148);
  AddLabel(G, L"(0 to 100%)", 8, 164);
  AddLabel(G, L"Form right", 92, 148);
  AddLabel(G, L"(0 to 100%)", 92, 164);
}

} // namespace editor
