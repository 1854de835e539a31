#include "editor/effects.h"

#include <algorithm>
#include <stdexcept>

#include "audio/ui/AudioEditor2.h"
#include "editor/addnoise.h"
#include "editor/amplify.h"
#include "editor/bandpass.h"
#include "editor/channelconverter.h"
#include "editor/chorus.h"
#include "editor/compressor.h"
#include "editor/delay.h"
#include "editor/deletesilence.h"
#include "editor/expander.h"
#include "editor/fade.h"
#include "editor/flanger.h"
#include "editor/highpass.h"
#include "editor/highshelf.h"
#include "editor/insertsilence.h"
#include "editor/lowpass.h"
#include "editor/lowshelf.h"
#include "editor/mix.h"
#include "editor/normalize.h"
#include "editor/notchfilter.h"
#include "editor/peakeq.h"
#include "editor/phaser.h"
#include "editor/pitchshift.h"
#include "editor/reverb.h"
#include "editor/stretchtime.h"
#include "editor/trim.h"
#include "editor/vibrato.h"
#include "editor/filterdialog.h"
#include "editor/funcs.h"
#include "framework/SysUtils.h"

// ---------------------------------------------------------------------------
// Engine over the editor control

void TAudioEditorEffectEngine::Mix(float s, float b) {
  E->Mix(s, b);
}
void TAudioEditorEffectEngine::MixFromFile(float s, const std::wstring& f, float b) {
  E->MixFromFile(s, f, b);
}
void TAudioEditorEffectEngine::Trim(float a, float t, int32_t k) {
  E->Transform()->Trim(a, t, k);
}
void TAudioEditorEffectEngine::SilenceSelection() {
  E->Transform()->SilenceSelection();
}
void TAudioEditorEffectEngine::InsertSilence(int32_t ms) {
  E->Transform()->InsertSilence(ms);
}
void TAudioEditorEffectEngine::DeleteSilence(float t, float a, float r) {
  E->Transform()->DeleteSilence(t, a, r);
}
void TAudioEditorEffectEngine::AddNoise(float a, int32_t k) {
  E->Transform()->AddNoise(a, k);
}
void TAudioEditorEffectEngine::Fade(float s, float e) {
  E->Transform()->Fade(s, e);
}
void TAudioEditorEffectEngine::Amplify(float r) {
  E->Transform()->Amplify(r);
}
void TAudioEditorEffectEngine::Normalize(float r, int16_t dc) {
  E->Transform()->Normalize(r, dc);
}
void TAudioEditorEffectEngine::Compressor(float t, float r, float m) {
  E->Transform()->Compressor(t, r, m);
}
void TAudioEditorEffectEngine::Expander(float t, float r, float m) {
  E->Transform()->Expander(t, r, m);
}
void TAudioEditorEffectEngine::ChannelConverter(float a, float b, float c, float d) {
  E->Transform()->ChannelConverter(a, b, c, d);
}
void TAudioEditorEffectEngine::Vibrato(float d, float f, float p) {
  E->Transform()->Vibrato(d, f, p);
}
void TAudioEditorEffectEngine::Delay(float d, float m, float f) {
  E->Transform()->Delay(d, m, f);
}
void TAudioEditorEffectEngine::Phaser(float d, float m, float f) {
  E->Transform()->Phaser(d, m, f);
}
void TAudioEditorEffectEngine::Flanger(float a, float b, float c, float d, float e, float f) {
  E->Transform()->Flanger(a, b, c, d, e, f);
}
void TAudioEditorEffectEngine::Reverb(float a, float b, float c, float d, float e, int32_t f) {
  E->Transform()->Reverb(a, b, c, d, e, f);
}
void TAudioEditorEffectEngine::Chorus(float a, float b, float c, float d, float e, float f) {
  E->Transform()->Chorus(a, b, c, d, e, f);
}
void TAudioEditorEffectEngine::Reverse() {
  E->Transform()->Reverse();
}
void TAudioEditorEffectEngine::Invert() {
  E->Transform()->Invert();
}
void TAudioEditorEffectEngine::PitchShift(float r) {
  E->Transform()->PitchShift(r);
}
void TAudioEditorEffectEngine::StretchTime(float r) {
  E->Transform()->StretchTime(r);
}
void TAudioEditorEffectEngine::NotchFilter(float f, float s) {
  E->Transform()->NotchFilter(f, s);
}
void TAudioEditorEffectEngine::BandPass(float f, float s) {
  E->Transform()->BandPass(f, s);
}
void TAudioEditorEffectEngine::LowPass(float f, float s) {
  E->Transform()->LowPass(f, s);
}
void TAudioEditorEffectEngine::HighPass(float f, float s) {
  E->Transform()->HighPass(f, s);
}
void TAudioEditorEffectEngine::LowShelf(float g, float f, float s) {
  E->Transform()->LowShelf(g, f, s);
}
void TAudioEditorEffectEngine::HighShelf(float g, float f, float s) {
  E->Transform()->HighShelf(g, f, s);
}
void TAudioEditorEffectEngine::PeakEQFilter(float g, float f, float s) {
  E->Transform()->PeakEQFilter(g, f, s);
}

// ---------------------------------------------------------------------------
// Line and help

TDialogLine::TDialogLine(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 233, 2);
}

void TDialogLine::Paint() {
  RECT r{0, 0, Width(), Height()};
  DrawEdge(Canvas()->Handle(), &r, EDGE_ETCHED, BF_TOP);
}

// ---------------------------------------------------------------------------
// TEffectDialog

TEffectDialog::TEffectDialog(TComponent* AOwner, const std::wstring& ACaption, int AClientWidth,
                             int AClientHeight, const std::wstring& AHelpPage)
    : TForm(AOwner), FHelpPage(AHelpPage) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poDesigned);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  SetCaption(ACaption);
  SetClientSize(AClientWidth, AClientHeight);

  labPerset = new TLabel(this);
  labPerset->SetName(L"labPerset");
  labPerset->SetParent(this);
  labPerset->SetCaption(L"Perset:");
  labPerset->SetBounds(8, 8, 40, 13);

  cbPerset = new TComboBox(this);
  cbPerset->SetName(L"cbPerset");
  cbPerset->SetParent(this);
  cbPerset->SetStyle(csDropDownList);
  cbPerset->SetBounds(8, 24, 233, 21);
  cbPerset->SetDropDownCount(16);
  cbPerset->SetTabStop(true);
  cbPerset->Items()->Add(L"(Custom)");
  cbPerset->SetItemIndex(0);
  cbPerset->OnClick = [this](TObject* s) { cbPersetClick(s); };

  line = new TDialogLine(this);
  line->SetName(L"line");
  line->SetParent(this);
  line->SetBounds(8, 54, 233, 2);

  btnOK = new TButton(this);
  btnOK->SetName(L"btnOK");
  btnOK->SetParent(this);
  btnOK->SetCaption(L"OK");
  btnOK->SetDefault(true);
  btnOK->SetModalResult(mrOk);
  btnOK->SetTabStop(true);

  btnCancel = new TButton(this);
  btnCancel->SetName(L"btnCancel");
  btnCancel->SetParent(this);
  btnCancel->SetCaption(L"Cancel");
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
  btnCancel->SetTabStop(true);

  btnHelp = new TButton(this);
  btnHelp->SetName(L"btnHelp");
  btnHelp->SetParent(this);
  btnHelp->SetCaption(L"Help");
  btnHelp->SetTabStop(true);
  btnHelp->OnClick = [this](TObject* s) { btnHelpClick(s); };
  LayoutStandard();
}

void TEffectDialog::LayoutStandard() {
  int left = ClientWidth() - 76 - 10;
  btnOK->SetBounds(left, 10, 76, 24);
  btnCancel->SetBounds(left, 40, 76, 24);
  btnHelp->SetBounds(left, 88, 76, 24);
}

void TEffectDialog::LayoutWide(int ButtonLeft) {
  btnOK->SetBounds(ButtonLeft, 10, 76, 24);
  btnCancel->SetBounds(ButtonLeft, 40, 76, 24);
  btnHelp->SetBounds(ButtonLeft, 88, 76, 24);
}

void TEffectDialog::LayoutTwoColumns() {
  labPerset->SetBounds(8, 12, 40, 13);
  cbPerset->SetBounds(56, 8, ClientWidth() - 64, 21);
  line->SetBounds(8, 36, ClientWidth() - 16, 2);
  int top = ClientHeight() - 32;
  btnHelp->SetBounds(8, top, 76, 24);
  btnCancel->SetBounds(ClientWidth() - 84, top, 76, 24);
  btnOK->SetBounds(ClientWidth() - 168, top, 76, 24);
}

TGroupBox* TEffectDialog::AddGroup(const std::wstring& Name, const std::wstring& ACaption, int L,
                                   int T, int W, int H) {
  auto* g = new TGroupBox(this);
  g->SetName(Name);
  g->SetParent(this);
  g->SetCaption(ACaption);
  g->SetBounds(L, T, W, H);
  return g;
}

TPicSlider* TEffectDialog::AddSlider(TWinControl* Parent, const std::wstring& Name, int Min,
                                     int Max, int Start, int L, int T, int W, int H,
                                     bool Vertical) {
  auto* s = new TPicSlider(this);
  s->SetName(Name);
  s->SetParent(Parent);
  if (Vertical) s->SetOrientation(soVertical);
  s->SetBounds(L, T, W, H);
  s->SetIncrement(1);
  s->SetOptions(soSmooth);
  s->SetMinMax(Min, Max);
  s->SetValue(Start);
  s->SetTabStop(true);
  TBinding b;
  b.Slider = s;
  FBindings.push_back(b);
  s->OnChange = [this](TObject*) { UpdateLabels(); };
  return s;
}

TLabel* TEffectDialog::AddValueLabel(TWinControl* Parent, TPicSlider* Slider,
                                     const std::wstring& Name, const std::wstring& Fmt, int L,
                                     int T, int W) {
  auto* l = new TLabel(this);
  l->SetName(Name);
  l->SetParent(Parent);
  l->SetAutoSize(false);
  l->SetAlignment(taRightJustify);
  l->SetBounds(L, T, W, 13);
  for (auto& b : FBindings)
    if (b.Slider == Slider) {
      b.Label = l;
      b.Format = Fmt;
    }
  l->SetCaption(Format(Fmt, Slider->Value()));
  return l;
}

TFcNumericEdit* TEffectDialog::AddEdit(TWinControl* Parent, TPicSlider* Slider,
                                       const std::wstring& Name, int Min, int Max, int L, int T) {
  auto* e = new TFcNumericEdit(this);
  e->SetName(Name);
  e->SetParent(Parent);
  e->SetBounds(L, T, 41, 21);
  e->SetDisplayFormat(L",0;(,0)");
  e->SetMin(Min);
  e->SetMax(Max);
  e->SetCheckRange(true);
  e->SetTabStop(true);
  e->SetText(e->FormatValue(Slider->Value()));
  for (auto& b : FBindings)
    if (b.Slider == Slider) b.Edit = e;
  e->OnExit = [Slider, e](TObject*) { Slider->SetValue(e->IntegerValue()); };
  return e;
}

TLabel* TEffectDialog::AddLabel(TWinControl* Parent, const std::wstring& ACaption, int L, int T) {
  auto* l = new TLabel(this);
  l->SetParent(Parent);
  l->SetCaption(ACaption);
  l->SetBounds(L, T, 0, 13);
  l->SetAutoSize(true);
  return l;
}

void TEffectDialog::SetPresets(std::vector<TPreset> Presets,
                               std::vector<std::function<void(int)>> Targets) {
  FPresets = std::move(Presets);
  FTargets = std::move(Targets);
  for (auto& p : FPresets)
    cbPerset->Items()->Add(p.Name);
  cbPerset->SetItemIndex(0);
}

void TEffectDialog::ApplyPreset() {
  int index = cbPerset->ItemIndex();
  if (index <= 0 || index > static_cast<int>(FPresets.size())) return;
  const TPreset& p = FPresets[index - 1];
  for (size_t i = 0; i < p.Values.size() && i < FTargets.size(); ++i)
    FTargets[i](p.Values[i]);
  UpdateLabels();
}

void TEffectDialog::UpdateLabels() {
  for (auto& b : FBindings) {
    int v = b.Slider->Value();
    if (b.Label) b.Label->SetCaption(Format(b.Format, v));
    if (b.Edit) {
      b.Edit->SetText(Format(L"%d", v));
      b.Edit->SetValue(v);
    }
  }
}

void TEffectDialog::cbPersetClick(TObject*) {
  ApplyPreset();
}

void TEffectDialog::ChoosePreset(int Index) {
  cbPerset->SetItemIndex(Index);
  cbPersetClick(cbPerset);
}

void TEffectDialog::SetFocusToOK() {
  if (btnOK->CanFocus()) btnOK->SetFocus();
}

void TEffectDialog::btnOKClick(TObject*) {
  SetFocusToOK();
}

void TEffectDialog::btnHelpClick(TObject*) {
  ShowEditorHelp(HandleAllocated() ? Handle() : nullptr, FHelpPage);
}

// ---------------------------------------------------------------------------
// Command table

namespace {

using C = TEffectCommand;

const std::vector<TEffectCommandInfo> kCommands = {
    {C::Mix, L"ActionMix", L"Mix...", L"Mixing", L"Mix - ", false, false, true, L"Edit",
     L"Mixes the the selected parts cilpbord of an audio file with copied contents."},
    {C::MixFromFile, L"ActionMixFromFile", L"Mix From File...", L"Mixing", L"Mix Form File - ",
     false, false, true, L"Edit",
     L"Mixes the the selected parts cilpbord of an audio file with another file."},
    {C::Trim, L"ActionTrim", L"Trim...", L"Triming", L"Trim - ", false, false, true, L"Edit",
     L"Adds trim effect to the selected parts of the audio file."},
    {C::SilenceSelection, L"ActionSilenceSelection", L"Silence Selection",
     L"Silencing selection of", L"", true, false, false, L"Edit", L"Silences the selected region."},
    {C::InsertSilence, L"ActionInsertSilence", L"Insert Silence...", L"Inserting silece to",
     L"Insert Silence - ", false, false, true, L"Transform",
     L"Inserts some silence into the file at the start marker."},
    {C::DeleteSilence, L"ActionDeleteSilence", L"Delete Silence...", L"Deleting silence",
     L"Delete Silence - ", true, true, true, L"Transform", L""},
    {C::AddNoise, L"ActionAddNoise", L"Add Noise...", L"Adding noise to", L"Add Noise - ", true,
     true, true, L"Transform", L""},
    {C::Amplify, L"ActionAmplify", L"Amplify...", L"Amplifying", L"Amplify - ", true, true, true,
     L"Transform", L"Increaeses or decreaeses the volume  of selected region."},
    {C::FadeIn, L"ActionFadeIn", L"In", L"Fading", L"", true, true, false, L"Transform",
     L"Fades in over the selected region."},
    {C::FadeOut, L"ActionFadeOut", L"Out", L"Fading", L"", true, true, false, L"Transform",
     L"Fades out over the selected region."},
    {C::FadeCustom, L"ActionFadeCustom", L"Custom...", L"Fading", L"Fade - ", true, true, true,
     L"Transform", L""},
    {C::Normalize, L"ActionNormalize", L"Normalize...", L"Normalizing", L"Normalize - ", true, true,
     true, L"Transform", L"Normalizes the selected region."},
    {C::Compressor, L"ActionCompressor", L"Compressor...", L"Compressoring", L"Compressor - ", true,
     true, true, L"Transform", L"Performs amplitude compression."},
    {C::Expander, L"ActionExpander", L"Expander...", L"Expandering", L"Expander - ", true, true,
     true, L"Transform", L""},
    {C::ChannelConverter, L"ActionChannelConverter", L"Channel Converter...",
     L"Conveting channels of", L"Channel Converter - ", true, true, true, L"Transform", L""},
    {C::Vibrato, L"ActionVibrato", L"Vibrato...", L"Adding vibrato to", L"Vibrato - ", true, true,
     true, L"Transform", L"Adds vibrato to the selection."},
    {C::Delay, L"ActionDelay", L"Delay...", L"Making a delay effect in", L"Delay - ", true, true,
     true, L"Transform", L"Makes a delay effect in a selected part of an audio file."},
    {C::Phaser, L"ActionPhaser", L"Phaser...", L"Applying phasing effect to", L"Phaser - ", true,
     true, true, L"Transform", L"Applies phasing effect to the selected part of an audio file."},
    {C::Flanger, L"ActionFlanger", L"Flanger...", L"Adding a flanging effect to", L"Flanger - ",
     true, true, true, L"Transform", L"Adds a flanging effect to the selection."},
    {C::Reverb, L"ActionReverb", L"Reverb...", L"Adding reverbration to", L"Reverb - ", true, true,
     true, L"Transform", L"Adds reverbration to the sound."},
    {C::Chorus, L"ActionChorus", L"Chorus...", L"Adding chours to", L"Chorus - ", true, true, true,
     L"Transform", L""},
    {C::Reverse, L"ActionReverse", L"Reverse", L"Reversing", L"", true, true, false, L"Transform",
     L"Reverses the selection so it plays backwards."},
    {C::Invert, L"ActionInvert", L"Invert", L"Inverting", L"", true, true, false, L"Transform",
     L"Turns the waveform upside down."},
    {C::PitchShift, L"ActionPitchShift", L"Pitch Shift...", L"Applying pitch shit effect to",
     L"Pitch Shift - ", true, true, true, L"Transform", L""},
    {C::StretchTime, L"ActionStretchTime", L"Stretch Time...", L"Stretching time to",
     L"Stretch Time - ", true, true, true, L"Transform",
     L"Increaese or decreaese the speed of selected region."},
    {C::NotchFilter, L"ActionNotchFilter", L"Notch Filter...", L"Appliying notch filter to",
     L"Notch Filter - ", true, true, true, L"Filter",
     L"Applies Notch Filter to the selected part of an audio file."},
    {C::BandPass, L"ActionBandPass", L"Band Pass...", L"Appliying bandpass filter to",
     L"BandPass Filter - ", true, true, true, L"Filter",
     L"Applies Band Pass Filter to the selected part of an audio file."},
    {C::LowPass, L"ActionLowPass", L"Low Pass...", L"Appliying lowpass filter to",
     L"LowPass Filter - ", true, true, true, L"Filter",
     L"Applies Low Pass Filter to the selected part of an audio file."},
    {C::HighPass, L"ActionHighPass", L"High Pass...", L"Appliying highpass filter to",
     L"HighPass Filter - ", true, true, true, L"Filter",
     L"Applies High Pass Filter to the selected part of an audio file."},
    {C::LowShelf, L"ActionLowShelf", L"Low Shelf...", L"Appliying lowshelf filter to",
     L"LowShelf Filter - ", true, true, true, L"Filter",
     L"Applies Low Shelf Filter to the selected part of an audio file."},
    {C::HighShelf, L"ActionHighShelf", L"High Shelf...", L"Appliying highshelf filter to",
     L"HighShelf Filter - ", true, true, true, L"Filter",
     L"Applies High Shelf Filter to the selected part of an audio file."},
    {C::PeakEQFilter, L"ActionPeakEQFilter", L"Peak EQ Filter...", L"Appliying Peak EQ Filter to",
     L"Peak EQ Filter - ", true, true, true, L"Filter",
     L"Applies PeakEQ Filter to the selected part of an audio file."},
};

float F(TPicSlider* s) {
  return static_cast<float>(s->Value());
}

template <class T> T* As(TEffectDialog* d) {
  auto* r = dynamic_cast<T*>(d);
  if (!r) throw std::logic_error("effect dialog of another command");
  return r;
}

} // namespace

const std::vector<TEffectCommandInfo>& EffectCommands() {
  return kCommands;
}

const TEffectCommandInfo& EffectCommandInfo(TEffectCommand Command) {
  for (auto& c : kCommands)
    if (c.Command == Command) return c;
  throw std::out_of_range("unknown effect command");
}

std::unique_ptr<TEffectDialog> CreateEffectDialog(TEffectCommand Command, TComponent* Owner) {
  switch (Command) {
  case C::Mix:
  case C::MixFromFile:
    return std::make_unique<TfrmMix>(Owner);
  case C::Trim:
    return std::make_unique<TfrmTrim>(Owner);
  case C::InsertSilence:
    return std::make_unique<TfrmInsertSilence>(Owner);
  case C::DeleteSilence:
    return std::make_unique<TfrmDeleteSilence>(Owner);
  case C::AddNoise:
    return std::make_unique<TfrmAddNoise>(Owner);
  case C::Amplify:
    return std::make_unique<TfrmAmplify>(Owner);
  case C::FadeCustom:
    return std::make_unique<TfrmFade>(Owner);
  case C::Normalize:
    return std::make_unique<TfrmNormalize>(Owner);
  case C::Compressor:
    return std::make_unique<TfrmCompressor>(Owner);
  case C::Expander:
    return std::make_unique<TfrmExpander>(Owner);
  case C::ChannelConverter:
    return std::make_unique<TfrmChannelConverter>(Owner);
  case C::Vibrato:
    return std::make_unique<TfrmVibrato>(Owner);
  case C::Delay:
    return std::make_unique<TfrmDelay>(Owner);
  case C::Phaser:
    return std::make_unique<TfrmPhaser>(Owner);
  case C::Flanger:
    return std::make_unique<TfrmFlanger>(Owner);
  case C::Reverb:
    return std::make_unique<TfrmReverb>(Owner);
  case C::Chorus:
    return std::make_unique<TfrmChorus>(Owner);
  case C::PitchShift:
    return std::make_unique<TfrmPitchShift>(Owner);
  case C::StretchTime:
    return std::make_unique<TfrmStretchTime>(Owner);
  case C::NotchFilter:
    return std::make_unique<TfrmNotchFilter>(Owner);
  case C::BandPass:
    return std::make_unique<TfrmBandPass>(Owner);
  case C::LowPass:
    return std::make_unique<TfrmLowPass>(Owner);
  case C::HighPass:
    return std::make_unique<TfrmHighPass>(Owner);
  case C::LowShelf:
    return std::make_unique<TfrmLowShelf>(Owner);
  case C::HighShelf:
    return std::make_unique<TfrmHighShelf>(Owner);
  case C::PeakEQFilter:
    return std::make_unique<TfrmPeakEQFilter>(Owner);
  default:
    return nullptr;
  }
}

void CallEffect(TEffectCommand Command, TEffectDialog* D, IEffectEngine& E,
                const std::wstring& MixFile) {
  switch (Command) {
  case C::Mix: {
    auto* d = As<TfrmMix>(D);
    E.Mix(F(d->slSource), F(d->slBuffer));
    break;
  }
  case C::MixFromFile: {
    auto* d = As<TfrmMix>(D);
    E.MixFromFile(F(d->slSource), MixFile, F(d->slBuffer));
    break;
  }
  case C::Trim: {
    auto* d = As<TfrmTrim>(D);
    E.Trim(F(d->slAmplitude), F(d->slTime), d->cbType->ItemIndex());
    break;
  }
  case C::SilenceSelection:
    E.SilenceSelection();
    break;
  case C::InsertSilence:
    E.InsertSilence(As<TfrmInsertSilence>(D)->Duration());
    break;
  case C::DeleteSilence: {
    auto* d = As<TfrmDeleteSilence>(D);
    E.DeleteSilence(F(d->slThewsHold), F(d->slAttackTime), F(d->slReleaseTime));
    break;
  }
  case C::AddNoise: {
    auto* d = As<TfrmAddNoise>(D);
    E.AddNoise(F(d->slAmplitude), d->cbType->ItemIndex() + 1);
    break;
  }
  case C::Amplify:
    E.Amplify(F(As<TfrmAmplify>(D)->slAmplifyRate));
    break;
  case C::FadeIn:
    E.Fade(0.0f, 100.0f);
    break;
  case C::FadeOut:
    E.Fade(100.0f, 0.0f);
    break;
  case C::FadeCustom: {
    auto* d = As<TfrmFade>(D);
    E.Fade(F(d->slStart), F(d->slEnd));
    break;
  }
  case C::Normalize: {
    auto* d = As<TfrmNormalize>(D);
    E.Normalize(F(d->slNormalizeRate), d->cbAdjust->Checked() ? int16_t(-1) : int16_t(0));
    break;
  }
  case C::Compressor: {
    auto* d = As<TfrmCompressor>(D);
    E.Compressor(F(d->slThewsHold), F(d->slCompressorRate), F(d->slRMSTime));
    break;
  }
  case C::Expander: {
    auto* d = As<TfrmExpander>(D);
    E.Expander(F(d->slThewsHold), F(d->slExpanderRate), F(d->slRMSTime));
    break;
  }
  case C::ChannelConverter: {
    auto* d = As<TfrmChannelConverter>(D);
    E.ChannelConverter(F(d->slNewLL), F(d->slNewLR), F(d->slNewRL), F(d->slNewRR));
    break;
  }
  case C::Vibrato: {
    auto* d = As<TfrmVibrato>(D);
    E.Vibrato(F(d->slDepth), F(d->slFrequency), F(d->slPhase));
    break;
  }
  case C::Delay: {
    auto* d = As<TfrmDelay>(D);
    E.Delay(F(d->slDelaytime), F(d->slMixdepth), F(d->slFeedbackgain));
    break;
  }
  case C::Phaser: {
    auto* d = As<TfrmPhaser>(D);
    E.Phaser(F(d->slDelaytime), F(d->slMixdepth), F(d->slFeedbackgain));
    break;
  }
  case C::Flanger: {
    auto* d = As<TfrmFlanger>(D);
    E.Flanger(F(d->slDelayRate), F(d->slMixDepth), F(d->slFeedback), F(d->slSweepDepth),
              F(d->slSweepRate), F(d->slSweepPhase));
    break;
  }
  case C::Reverb: {
    auto* d = As<TfrmReverb>(D);
    E.Reverb(F(d->slDelaytime), F(d->slMixdepth), F(d->slFeedbackgain), F(d->slReverbrationRate),
             11000.0f, 10);
    break;
  }
  case C::Chorus: {
    auto* d = As<TfrmChorus>(D);
    E.Chorus(F(d->slDelaytime), F(d->slMixDepth), F(d->slFeedback), F(d->slSweepDepth),
             F(d->slSweepRate), F(d->slSweepPhase));
    break;
  }
  case C::Reverse:
    E.Reverse();
    break;
  case C::Invert:
    E.Invert();
    break;
  case C::PitchShift:
    E.PitchShift(F(As<TfrmPitchShift>(D)->slRate));
    break;
  case C::StretchTime:
    E.StretchTime(F(As<TfrmStretchTime>(D)->slRate));
    break;
  case C::NotchFilter: {
    auto* d = As<TFilterDialog>(D);
    E.NotchFilter(F(d->slFrequency), F(d->slSteepness));
    break;
  }
  case C::BandPass: {
    auto* d = As<TFilterDialog>(D);
    E.BandPass(F(d->slFrequency), F(d->slSteepness));
    break;
  }
  case C::LowPass: {
    auto* d = As<TFilterDialog>(D);
    E.LowPass(F(d->slFrequency), F(d->slSteepness));
    break;
  }
  case C::HighPass: {
    auto* d = As<TFilterDialog>(D);
    E.HighPass(F(d->slFrequency), F(d->slSteepness));
    break;
  }
  case C::LowShelf: {
    auto* d = As<TFilterDialog>(D);
    E.LowShelf(F(d->slGain), F(d->slFrequency), F(d->slSteepness));
    break;
  }
  case C::HighShelf: {
    auto* d = As<TFilterDialog>(D);
    E.HighShelf(F(d->slGain), F(d->slFrequency), F(d->slSteepness));
    break;
  }
  case C::PeakEQFilter: {
    auto* d = As<TFilterDialog>(D);
    E.PeakEQFilter(F(d->slGain), F(d->slFrequency), F(d->slSteepness));
    break;
  }
  }
}

bool ExecuteEffect(TEffectCommand Command, TEffectHost& Host) {
  const TEffectCommandInfo& info = EffectCommandInfo(Command);
  if (Host.SetOperationText) Host.SetOperationText(info.Verb);
  if (!Host.Engine) return false;

  std::unique_ptr<TEffectDialog> dialog;
  std::wstring mixFile;
  if (info.HasDialog) {
    dialog = CreateEffectDialog(Command, Host.MainForm);
    CentreOnForm(dialog.get(), Host.MainForm);
    dialog->SetCaption(info.CaptionPrefix + Host.DisplayName);
    if (Command == C::MixFromFile) {
      if (!Host.ChooseMixFile || !Host.ChooseMixFile(mixFile)) return false;
    }
    int result = Host.ShowDialog ? Host.ShowDialog(dialog.get()) : dialog->ShowModal();
    if (result != mrOk) return false;
  }

  struct TBusy {
    TEffectHost& H;
    bool On;
    TBusy(TEffectHost& h, bool on) : H(h), On(on) {
      if (On) H.BeginBusy ? H.BeginBusy() : editor::BeginBusy();
    }
    ~TBusy() {
      if (On) H.EndBusy ? H.EndBusy() : editor::EndBusy();
    }
  } busy(Host, info.Busy);

  if (info.SelectAll && Host.SelectAllIfNoSelection) Host.SelectAllIfNoSelection();
  CallEffect(Command, dialog.get(), *Host.Engine, mixFile);
  if (Host.UpdateStatusBar) Host.UpdateStatusBar();
  return true;
}
