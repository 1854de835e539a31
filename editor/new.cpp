#include "editor/new.h"

#include <memory>

#include "audio/AudioEditor2.h"
#include "editor/funcs.h"

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
  auto label = [this](const std::wstring& caption, int l, int t) {
    auto* lab = new TLabel(this);
    lab->SetParent(this);
    lab->SetCaption(caption);
    lab->SetBounds(l, t, 0, 13);
    lab->SetAutoSize(true);
    return lab;
  };
  auto combo = [this](const std::wstring& name, int t) {
    auto* c = new TComboBox(this);
    c->SetName(name);
    c->SetParent(this);
    c->SetStyle(csDropDownList);
    c->SetBounds(8, t, 220, 21);
    c->SetTabStop(true);
    c->OnClick = [this](TObject*) { UpdateSummary(); };
    return c;
  };
  labSampleRate = label(L"Sample rate(6,000 to 96,000 Hz): ", 8, 8);
  cbSampleRate = combo(L"cbSampleRate", 24);
  for (const wchar_t* s : {L"96,000", L"88,200", L"48,000", L"44,100", L"32,000", L"24,000",
                           L"22,050", L"16,000", L"12,000", L"11,025", L"8,000", L"6,000"})
    cbSampleRate->Items()->Add(s);
  labBitDepth = label(L"Bit-depth: ", 8, 52);
  cbBitDepth = combo(L"cbBitDepth", 68);
  for (const wchar_t* s : {L"8-bit", L"16-bit", L"32-bit(float)"})
    cbBitDepth->Items()->Add(s);
  labChannels = label(L"Channels: ", 8, 98);
  rbMono = new TRadioButton(this);
  rbMono->SetName(L"rbMono");
  rbMono->SetParent(this);
  rbMono->SetCaption(L"Mono");
  rbMono->SetBounds(70, 96, 60, 17);
  rbStereo = new TRadioButton(this);
  rbStereo->SetName(L"rbStereo");
  rbStereo->SetParent(this);
  rbStereo->SetCaption(L"Stereo");
  rbStereo->SetBounds(136, 96, 60, 17);
  rbMono->OnClick = [this](TObject*) { UpdateSummary(); };
  rbStereo->OnClick = [this](TObject*) { UpdateSummary(); };
  labCurrentCaption = label(L"Current: ", 8, 126);
  labCurrent = label(L"", 60, 126);
  labCurrent->SetName(L"labCurrent");

  btnOK = new TButton(this);
  btnOK->SetName(L"btnOK");
  btnOK->SetParent(this);
  btnOK->SetCaption(L"OK");
  btnOK->SetDefault(true);
  btnOK->SetModalResult(mrOk);
  btnOK->SetBounds(246, 8, 76, 24);
  btnOK->SetTabStop(true);
  btnCancel = new TButton(this);
  btnCancel->SetName(L"btnCancel");
  btnCancel->SetParent(this);
  btnCancel->SetCaption(L"Cancel");
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
  btnCancel->SetBounds(246, 38, 76, 24);
  btnCancel->SetTabStop(true);
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
  CentreOn(dialog.get(), Host.MainForm);
  int result = Host.ShowDialog ? Host.ShowDialog(dialog.get()) : dialog->ShowModal();
  if (result != mrOk) return false;
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
