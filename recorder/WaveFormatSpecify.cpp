#include "recorder/WaveFormatSpecify.h"

namespace recorder {

TWaveFormatSpecifyForm::TWaveFormatSpecifyForm(TComponent* AOwner) : TForm(AOwner) {
  SetupDialog(this, L"Configure Wave Settings", 260, 150);
  BuildComponents(
      this,
      {
          {LabelSampleRate, {L"LabelSampleRate", this, {12, 16, 0, 13}, L"Sample Rate:", true}},
          {ComboBoxSampleRate,
           {L"ComboBoxSampleRate", this, {90, 12, 110, 21}},
           DropDownList({L"8000 Hz", L"11025 Hz", L"12000 Hz", L"16000 Hz", L"22050 Hz",
                         L"24000 Hz", L"32000 Hz", L"44100 Hz", L"48000 Hz", L"96000 Hz"})},
          {LabelHz, {L"LabelHz", this, {206, 16, 0, 13}, L"Hz", true}},
          {LabelBitDepth, {L"LabelBitDepth", this, {12, 46, 0, 13}, L"Bit Depth:", true}},
          {ComboBoxBitDepth,
           {L"ComboBoxBitDepth", this, {90, 42, 110, 21}},
           DropDownList({L"8 bits", L"16 bits", L"24 bits", L"32 bits"})},
          {LabelChannels, {L"LabelChannels", this, {12, 76, 0, 13}, L"Channels:", true}},
          {RadioButtonMono, {L"RadioButtonMono", this, {90, 75, 70, 17}, L"&Mono"}},
          {RadioButtonStereo, {L"RadioButtonStereo", this, {164, 75, 70, 17}, L"&Stereo"}},
          {btnOK,
           {L"btnOK", this, {92, 114, 75, 25}, L"&OK"},
           [](TButton& b) {
             b.SetModalResult(mrOk);
             b.SetDefault(true);
           }},
          {btnCancel,
           {L"btnCancel", this, {173, 114, 75, 25}, L"&Cancel"},
           [](TButton& b) {
             b.SetModalResult(mrCancel);
             b.SetCancel(true);
           }},
      });
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TWaveFormatSpecifyForm::Load(const TGlobalVars& g) {
  ComboBoxSampleRate->SetItemIndex(g.OutputWAVSampleType);
  ComboBoxBitDepth->SetItemIndex(g.OutputWAVBitesPerSample);
  if (g.OutputWAVMode == 0)
    RadioButtonStereo->SetChecked(true);
  else if (g.OutputWAVMode == 1)
    RadioButtonMono->SetChecked(true);
}

void TWaveFormatSpecifyForm::Store(TGlobalVars& g) {
  if (ComboBoxSampleRate->ItemIndex() >= 0)
    g.OutputWAVSampleType = static_cast<uint8_t>(ComboBoxSampleRate->ItemIndex());
  if (ComboBoxBitDepth->ItemIndex() >= 0)
    g.OutputWAVBitesPerSample = static_cast<uint8_t>(ComboBoxBitDepth->ItemIndex());
  if (RadioButtonStereo->Checked())
    g.OutputWAVMode = 0;
  else if (RadioButtonMono->Checked())
    g.OutputWAVMode = 1;
}

void TWaveFormatSpecifyForm::FormShow(TObject*) {
  ApplyHintFont(this);
}

} // namespace recorder
