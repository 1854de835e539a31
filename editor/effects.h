// Effect commands of the editor: one table row per effect with its action,
// status verb and caption, its parameter dialog, and the call that hands the
// dialog's parameters to the editor control; and the command runner that the
// main window calls (verb, centred modal dialog, busy cursor, select all,
// engine call, status update).
//
// A new effect is its dialog (a TEffectDialog that fills a TParams struct),
// its row here and its engine routine.
//
// Exceptions of the engine pass through (the dialog is freed and the busy
// cursor restored first; the status bar is then not updated).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

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
#include "editor/funcs.h"
#include "editor/effectdialog.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

namespace editor {

enum class TEffectCommand {
  Mix,
  MixFromFile,
  Trim,
  SilenceSelection,
  InsertSilence,
  DeleteSilence,
  AddNoise,
  Amplify,
  FadeIn,
  FadeOut,
  FadeCustom,
  Normalize,
  Compressor,
  Expander,
  ChannelConverter,
  Vibrato,
  Delay,
  Phaser,
  Flanger,
  Reverb,
  Chorus,
  Reverse,
  Invert,
  PitchShift,
  StretchTime,
  NotchFilter,
  BandPass,
  LowPass,
  HighPass,
  LowShelf,
  HighShelf,
  PeakEQFilter,
};

struct TEffectCommandInfo {
  TEffectCommand Command;
  const wchar_t* Action;        // "ActionCompressor"
  const wchar_t* ActionCaption; // "Compressor..."
  const wchar_t* Verb;          // status verb
  const wchar_t* CaptionPrefix; // "Compressor - " (empty without a dialog)
  bool Busy;
  bool SelectAll;
  const wchar_t* Category; // "Edit", "Filter", "Transform"
  const wchar_t* Hint;     // empty when none
};

// One effect. TEditor is the editor control (TAudioEditor2); a test may put
// anything with the same calls there.
template <class TEditor> struct TEffect : TEffectCommandInfo {
  // Makes the parameter dialog; null for the commands without one.
  std::unique_ptr<TEffectDialog> (*MakeDialog)(TComponent* Owner) = nullptr;
  // Mix From File: a source file is chosen before the dialog shows.
  bool ChoosesFile = false;
  // Reads the dialog's parameters and makes the call.
  std::function<void(TEditor& Editor, TEffectDialog* Dialog, const std::wstring& File)> Run;
};

namespace effectrows {

template <class TDialog> std::unique_ptr<TEffectDialog> Create(TComponent* Owner) {
  return std::make_unique<TDialog>(Owner);
}

// A row whose dialog TDialog fills TDialog::TParams for Call(editor, params)
// or, with a source file, Call(editor, params, file); without a dialog
// (TDialog void), Call(editor).
template <class TEditor, class TDialog, class F>
TEffect<TEditor> Row(const TEffectCommandInfo& Info, F Call) {
  TEffect<TEditor> r;
  static_cast<TEffectCommandInfo&>(r) = Info;
  if constexpr (std::is_void_v<TDialog>) {
    r.Run = [Call](TEditor& e, TEffectDialog*, const std::wstring&) { Call(e); };
  } else {
    using P = typename TDialog::TParams;
    constexpr bool withFile = std::is_invocable_v<F, TEditor&, const P&, const std::wstring&>;
    r.MakeDialog = &Create<TDialog>;
    r.ChoosesFile = withFile;
    r.Run = [Call](TEditor& e, TEffectDialog* d, const std::wstring& file) {
      auto* dialog = dynamic_cast<TDialog*>(d);
      if (!dialog) throw std::logic_error("effect dialog of another command");
      if constexpr (withFile)
        Call(e, dialog->Params(), file);
      else
        Call(e, dialog->Params());
    };
  }
  return r;
}

} // namespace effectrows

// The table, in menu order.
template <class TEditor> const std::vector<TEffect<TEditor>>& Effects() {
  using E = TEditor;
  using C = TEffectCommand;
  using effectrows::Row;
  static const std::vector<TEffect<E>> rows = {
      Row<E, TfrmMix>(
          {C::Mix, L"ActionMix", L"Mix...", L"Mixing", L"Mix - ", false, false, L"Edit",
           L"Mixes the the selected parts cilpbord of an audio file with copied contents."},
          [](E& e, const auto& p) { e.Mix(p.Source, p.Buffer); }),
      Row<E, TfrmMix>(
          {C::MixFromFile, L"ActionMixFromFile", L"Mix From File...", L"Mixing",
           L"Mix Form File - ", false, false, L"Edit",
           L"Mixes the the selected parts cilpbord of an audio file with another file."},
          [](E& e, const auto& p, const std::wstring& file) {
            e.MixFromFile(p.Source, file, p.Buffer);
          }),
      Row<E, TfrmTrim>(
          {C::Trim, L"ActionTrim", L"Trim...", L"Triming", L"Trim - ", false, false, L"Edit",
           L"Adds trim effect to the selected parts of the audio file."},
          [](E& e, const auto& p) { e.Transform()->Trim(p.Amplitude, p.Time, p.Type); }),
      Row<E, void>({C::SilenceSelection, L"ActionSilenceSelection", L"Silence Selection",
                    L"Silencing selection of", L"", true, false, L"Edit",
                    L"Silences the selected region."},
                   [](E& e) { e.Transform()->SilenceSelection(); }),
      Row<E, TfrmInsertSilence>(
          {C::InsertSilence, L"ActionInsertSilence", L"Insert Silence...", L"Inserting silece to",
           L"Insert Silence - ", false, false, L"Transform",
           L"Inserts some silence into the file at the start marker."},
          [](E& e, const auto& p) { e.Transform()->InsertSilence(p.Duration); }),
      Row<E, TfrmDeleteSilence>({C::DeleteSilence, L"ActionDeleteSilence", L"Delete Silence...",
                                 L"Deleting silence", L"Delete Silence - ", true, true,
                                 L"Transform", L""},
                                [](E& e, const auto& p) {
                                  e.Transform()->DeleteSilence(p.Threshold, p.Attack, p.Release);
                                }),
      Row<E, TfrmAddNoise>(
          {C::AddNoise, L"ActionAddNoise", L"Add Noise...", L"Adding noise to", L"Add Noise - ",
           true, true, L"Transform", L""},
          [](E& e, const auto& p) { e.Transform()->AddNoise(p.Amplitude, p.Type + 1); }),
      Row<E, TfrmAmplify>({C::Amplify, L"ActionAmplify", L"Amplify...", L"Amplifying",
                           L"Amplify - ", true, true, L"Transform",
                           L"Increaeses or decreaeses the volume  of selected region."},
                          [](E& e, const auto& p) { e.Transform()->Amplify(p.Rate); }),
      Row<E, void>({C::FadeIn, L"ActionFadeIn", L"In", L"Fading", L"", true, true, L"Transform",
                    L"Fades in over the selected region."},
                   [](E& e) { e.Transform()->Fade(0.0f, 100.0f); }),
      Row<E, void>({C::FadeOut, L"ActionFadeOut", L"Out", L"Fading", L"", true, true, L"Transform",
                    L"Fades out over the selected region."},
                   [](E& e) { e.Transform()->Fade(100.0f, 0.0f); }),
      Row<E, TfrmFade>({C::FadeCustom, L"ActionFadeCustom", L"Custom...", L"Fading", L"Fade - ",
                        true, true, L"Transform", L""},
                       [](E& e, const auto& p) { e.Transform()->Fade(p.Start, p.End); }),
      Row<E, TfrmNormalize>(
          {C::Normalize, L"ActionNormalize", L"Normalize...", L"Normalizing", L"Normalize - ", true,
           true, L"Transform", L"Normalizes the selected region."},
          [](E& e, const auto& p) {
            e.Transform()->Normalize(p.Rate, p.DcAdjust ? int16_t(-1) : int16_t(0));
          }),
      Row<E, TfrmCompressor>(
          {C::Compressor, L"ActionCompressor", L"Compressor...", L"Compressoring", L"Compressor - ",
           true, true, L"Transform", L"Performs amplitude compression."},
          [](E& e, const auto& p) { e.Transform()->Compressor(p.Threshold, p.Rate, p.RmsTime); }),
      Row<E, TfrmExpander>(
          {C::Expander, L"ActionExpander", L"Expander...", L"Expandering", L"Expander - ", true,
           true, L"Transform", L""},
          [](E& e, const auto& p) { e.Transform()->Expander(p.Threshold, p.Rate, p.RmsTime); }),
      Row<E, TfrmChannelConverter>(
          {C::ChannelConverter, L"ActionChannelConverter", L"Channel Converter...",
           L"Conveting channels of", L"Channel Converter - ", true, true, L"Transform", L""},
          [](E& e, const auto& p) { e.Transform()->ChannelConverter(p.LL, p.LR, p.RL, p.RR); }),
      Row<E, TfrmVibrato>(
          {C::Vibrato, L"ActionVibrato", L"Vibrato...", L"Adding vibrato to", L"Vibrato - ", true,
           true, L"Transform", L"Adds vibrato to the selection."},
          [](E& e, const auto& p) { e.Transform()->Vibrato(p.Depth, p.Frequency, p.Phase); }),
      Row<E, TfrmDelay>(
          {C::Delay, L"ActionDelay", L"Delay...", L"Making a delay effect in", L"Delay - ", true,
           true, L"Transform", L"Makes a delay effect in a selected part of an audio file."},
          [](E& e, const auto& p) { e.Transform()->Delay(p.Delay, p.Mix, p.Feedback); }),
      Row<E, TfrmPhaser>(
          {C::Phaser, L"ActionPhaser", L"Phaser...", L"Applying phasing effect to", L"Phaser - ",
           true, true, L"Transform",
           L"Applies phasing effect to the selected part of an audio file."},
          [](E& e, const auto& p) { e.Transform()->Phaser(p.Delay, p.Mix, p.Feedback); }),
      Row<E, TfrmFlanger>({C::Flanger, L"ActionFlanger", L"Flanger...",
                           L"Adding a flanging effect to", L"Flanger - ", true, true, L"Transform",
                           L"Adds a flanging effect to the selection."},
                          [](E& e, const auto& p) {
                            e.Transform()->Flanger(p.DelayRate, p.Mix, p.Feedback, p.SweepDepth,
                                                   p.SweepRate, p.SweepPhase);
                          }),
      Row<E, TfrmReverb>(
          {C::Reverb, L"ActionReverb", L"Reverb...", L"Adding reverbration to", L"Reverb - ", true,
           true, L"Transform", L"Adds reverbration to the sound."},
          [](E& e, const auto& p) {
            e.Transform()->Reverb(p.Delay, p.Mix, p.Feedback, p.ReverbRate, 11000.0f, 10);
          }),
      Row<E, TfrmChorus>({C::Chorus, L"ActionChorus", L"Chorus...", L"Adding chours to",
                          L"Chorus - ", true, true, L"Transform", L""},
                         [](E& e, const auto& p) {
                           e.Transform()->Chorus(p.Delay, p.Mix, p.Feedback, p.SweepDepth,
                                                 p.SweepRate, p.SweepPhase);
                         }),
      Row<E, void>({C::Reverse, L"ActionReverse", L"Reverse", L"Reversing", L"", true, true,
                    L"Transform", L"Reverses the selection so it plays backwards."},
                   [](E& e) { e.Transform()->Reverse(); }),
      Row<E, void>({C::Invert, L"ActionInvert", L"Invert", L"Inverting", L"", true, true,
                    L"Transform", L"Turns the waveform upside down."},
                   [](E& e) { e.Transform()->Invert(); }),
      Row<E, TfrmPitchShift>({C::PitchShift, L"ActionPitchShift", L"Pitch Shift...",
                              L"Applying pitch shit effect to", L"Pitch Shift - ", true, true,
                              L"Transform", L""},
                             [](E& e, const auto& p) { e.Transform()->PitchShift(p.Rate); }),
      Row<E, TfrmStretchTime>({C::StretchTime, L"ActionStretchTime", L"Stretch Time...",
                               L"Stretching time to", L"Stretch Time - ", true, true, L"Transform",
                               L"Increaese or decreaese the speed of selected region."},
                              [](E& e, const auto& p) { e.Transform()->StretchTime(p.Rate); }),
      Row<E, TfrmNotchFilter>(
          {C::NotchFilter, L"ActionNotchFilter", L"Notch Filter...",
           L"Appliying notch filter to", L"Notch Filter - ", true, true, L"Filter",
           L"Applies Notch Filter to the selected part of an audio file."},
          [](E& e, const auto& p) { e.Transform()->NotchFilter(p.Frequency, p.Steepness); }),
      Row<E, TfrmBandPass>(
          {C::BandPass, L"ActionBandPass", L"Band Pass...", L"Appliying bandpass filter to",
           L"BandPass Filter - ", true, true, L"Filter",
           L"Applies Band Pass Filter to the selected part of an audio file."},
          [](E& e, const auto& p) { e.Transform()->BandPass(p.Frequency, p.Steepness); }),
      Row<E, TfrmLowPass>(
          {C::LowPass, L"ActionLowPass", L"Low Pass...", L"Appliying lowpass filter to",
           L"LowPass Filter - ", true, true, L"Filter",
           L"Applies Low Pass Filter to the selected part of an audio file."},
          [](E& e, const auto& p) { e.Transform()->LowPass(p.Frequency, p.Steepness); }),
      Row<E, TfrmHighPass>(
          {C::HighPass, L"ActionHighPass", L"High Pass...", L"Appliying highpass filter to",
           L"HighPass Filter - ", true, true, L"Filter",
           L"Applies High Pass Filter to the selected part of an audio file."},
          [](E& e, const auto& p) { e.Transform()->HighPass(p.Frequency, p.Steepness); }),
      Row<E, TfrmLowShelf>(
          {C::LowShelf, L"ActionLowShelf", L"Low Shelf...", L"Appliying lowshelf filter to",
           L"LowShelf Filter - ", true, true, L"Filter",
           L"Applies Low Shelf Filter to the selected part of an audio file."},
          [](E& e, const auto& p) { e.Transform()->LowShelf(p.Gain, p.Frequency, p.Steepness); }),
      Row<E, TfrmHighShelf>(
          {C::HighShelf, L"ActionHighShelf", L"High Shelf...", L"Appliying highshelf filter to",
           L"HighShelf Filter - ", true, true, L"Filter",
           L"Applies High Shelf Filter to the selected part of an audio file."},
          [](E& e, const auto& p) { e.Transform()->HighShelf(p.Gain, p.Frequency, p.Steepness); }),
      Row<E, TfrmPeakEQFilter>({C::PeakEQFilter, L"ActionPeakEQFilter", L"Peak EQ Filter...",
                                L"Appliying Peak EQ Filter to", L"Peak EQ Filter - ", true, true,
                                L"Filter",
                                L"Applies PeakEQ Filter to the selected part of an audio file."},
                               [](E& e, const auto& p) {
                                 e.Transform()->PeakEQFilter(p.Gain, p.Frequency, p.Steepness);
                               }),
  };
  return rows;
}

template <class TEditor> const TEffect<TEditor>& EffectOf(TEffectCommand Command) {
  for (const auto& e : Effects<TEditor>())
    if (e.Command == Command) return e;
  throw std::out_of_range("unknown effect command");
}

// The rows of the editor control.
inline const std::vector<TEffect<TAudioEditor2>>& EffectCommands() {
  return Effects<TAudioEditor2>();
}
inline const TEffectCommandInfo& EffectCommandInfo(TEffectCommand Command) {
  return EffectOf<TAudioEditor2>(Command);
}

// Runs the command for its host, the main window, which gives:
//   TCustomForm* Form()                     the dialog's owner, on which it is centred
//   <editor control>& Editor()
//   std::wstring GetDisplayName()
//   void SetOperationText(const std::wstring& Verb)
//   void SelectAllIfNoSelection(), UpdateStatusBar(), BeginBusy(), EndBusy()
//   bool ChooseMixFile(std::wstring& File)  false when the user cancelled
// True when the engine was called.
template <class THost> bool ExecuteEffect(TEffectCommand Command, THost& Host) {
  using TEditor = std::remove_reference_t<decltype(Host.Editor())>;
  const TEffect<TEditor>& effect = EffectOf<TEditor>(Command);
  Host.SetOperationText(effect.Verb);

  std::unique_ptr<TEffectDialog> dialog;
  std::wstring file;
  if (effect.MakeDialog) {
    dialog = effect.MakeDialog(Host.Form());
    dialog->PlaceCentredOn(Host.Form());
    dialog->SetCaption(effect.CaptionPrefix + Host.GetDisplayName());
    if (effect.ChoosesFile && !Host.ChooseMixFile(file)) return false;
    if (dialog->ShowModal() != mrOk) return false;
  }

  if (effect.Busy) Host.BeginBusy();
  TScopeGuard idle([&] {
    if (effect.Busy) Host.EndBusy();
  });
  if (effect.SelectAll) Host.SelectAllIfNoSelection();
  effect.Run(Host.Editor(), dialog.get(), file);
  Host.UpdateStatusBar();
  return true;
}

} // namespace editor
