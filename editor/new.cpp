#include "editor/new.h"

#include <memory>
#include <vector>

#include "audio/ui/AudioEditor2.h"
#include "editor/funcs.h"
#include "framework/FormBuilder.h"

namespace editor {

const int kNewSampleRates[12] = {96000, 88200, 48000, 44100, 32000, 24000,
                                 22050, 16000, 12000, 11025, 8000,  6000};

TfrmNew::TfrmNew(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poDesigned);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  SetCaption(L"New Sample");
  SetClientSize(330, 150);
  const auto update = [this](TObject*) { UpdateSummary(); };
  const auto list = [](std::initializer_list<const wchar_t*> items) {
    std::vector<std::wstring> texts(items.begin(), items.end());
    return [texts](TComboBox& c) {
      c.SetStyle(csDropDownList);
      for (const auto& s : texts)
        c.Items()->Add(s);
    };
  };
  BuildComponents(
      this,
      {
          {labSampleRate, {L"", this, {8, 8, 0, 13}, L"Sample rate(6,000 to 96,000 Hz): ", true}},
          {cbSampleRate,
           {.Name = L"cbSampleRate", .Bounds = {8, 24, 220, 21}, .OnClick = update},
           list({L"96,000", L"88,200", L"48,000", L"44,100", L"32,000", L"24,000", L"22,050",
                 L"16,000", L"12,000", L"11,025", L"8,000", L"6,000"})},
          {labBitDepth, {L"", this, {8, 52, 0, 13}, L"Bit-depth: ", true}},
          {cbBitDepth,
           {.Name = L"cbBitDepth", .Bounds = {8, 68, 220, 21}, .OnClick = update},
           list({L"8-bit", L"16-bit", L"32-bit(float)"})},
          {labChannels, {L"", this, {8, 98, 0, 13}, L"Channels: ", true}},
          {rbMono,
           {.Name = L"rbMono", .Bounds = {70, 96, 60, 17}, .Caption = L"Mono", .OnClick = update}},
          {rbStereo,
           {.Name = L"rbStereo",
            .Bounds = {136, 96, 60, 17},
            .Caption = L"Stereo",
            .OnClick = update}},
          {labCurrentCaption, {L"", this, {8, 126, 0, 13}, L"Current: ", true}},
          {labCurrent, {L"labCurrent", this, {60, 126, 0, 13}, L"", true}},
          {btnOK,
           {L"btnOK", this, {246, 8, 76, 24}, L"OK"},
           [](TButton& b) {
             b.SetDefault(true);
             b.SetModalResult(mrOk);
           }},
          {btnCancel,
           {L"btnCancel", this, {246, 38, 76, 24}, L"Cancel"},
           [](TButton& b) {
             b.SetCancel(true);
             b.SetModalResult(mrCancel);
           }},
      });
  OnShow = [this](TObject*) { InitValues(); };
  InitValues();
}

void TfrmNew::InitValues() {
  cbSampleRate->SetItemIndex(3);
  cbBitDepth->SetItemIndex(1);
  rbStereo->SetChecked(true);
  rbMono->SetChecked(false);
  UpdateSummary();
}

void TfrmNew::UpdateSummary() {
  labCurrent->SetCaption(cbSampleRate->Text() + L"Hz; " + cbBitDepth->Text() + L"; " +
                         (rbMono->Checked() ? L"Mono." : L"Stereo."));
}

int TfrmNew::SampleRate() const {
  int i = cbSampleRate->ItemIndex();
  return i >= 0 && i < 12 ? kNewSampleRates[i] : 44100;
}

int TfrmNew::Channels() const {
  return rbMono->Checked() ? 1 : 2;
}

bool NewDocument(TNewDocumentHost& Host) {
  auto dialog = std::make_unique<TfrmNew>(Host.MainForm);
  dialog->PlaceCentredOn(Host.MainForm);
  if (dialog->ShowModal() != mrOk) return false;
  const int rate = dialog->SampleRate(), channels = dialog->Channels();
  // The document's name and state change only once the control holds the new document.
  if (Host.NewFile)
    Host.NewFile(rate, channels);
  else if (Host.Editor)
    Host.Editor->NewFile(rate, channels);
  if (Host.DocumentCreated) Host.DocumentCreated(rate, channels);
  return true;
}

} // namespace editor
