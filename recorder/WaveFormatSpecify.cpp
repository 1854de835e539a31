#include "recorder/WaveFormatSpecify.h"

namespace recorder {

TWaveFormatSpecifyForm::TWaveFormatSpecifyForm(TComponent* AOwner) : TForm(AOwner) {
  SetupDialog(this, L"Configure Wave Settings", 260, 150);
  LabelSampleRate = NewLabel(this, this, L"LabelSampleRate", L"Sample Rate:", 12, 16);
  ComboBoxSampleRate = NewList(this, this, L"ComboBoxSampleRate",
                               {L"8000 Hz", L"11025 Hz", L"12000 Hz", L"16000 Hz", L"22050 Hz",
                                L"24000 Hz", L"32000 Hz", L"44100 Hz", L"48000 Hz", L"96000 Hz"},
                               90, 12, 110);
  LabelHz = NewLabel(this, this, L"LabelHz", L"Hz", 206, 16);
  LabelBitDepth = NewLabel(this, this, L"LabelBitDepth", L"Bit Depth:", 12, 46);
  ComboBoxBitDepth = NewList(this, this, L"ComboBoxBitDepth",
                             {L"8 bits", L"16 bits", L"24 bits", L"32 bits"}, 90, 42, 110);
  LabelChannels = NewLabel(this, this, L"LabelChannels", L"Channels:", 12, 76);
  RadioButtonMono = NewRadio(this, this, L"RadioButtonMono", L"&Mono", 90, 75, 70);
  RadioButtonStereo = NewRadio(this, this, L"RadioButtonStereo", L"&Stereo", 164, 75, 70);
  btnOK = NewButton(this, this, L"btnOK", L"&OK", 92, 114, 75, 25, mrOk);
  btnOK->SetDefault(true);
  btnCancel = NewButton(this, this, L"btnCancel", L"&Cancel", 173, 114, 75, 25, mrCancel);
  btnCancel->SetCancel(true);
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
