// The editing engine behind the editor control: one document with its
// selection, cursor and view, the internal clipboard, edits, effects, open
// and save, guarded against re-entrant calls while a long operation runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/EditorDocument.h"
#include "audio/EditorEffects.h"

namespace audioedit {

// Output format chosen for the next save.
struct OutputFormat {
  enum Kind { Pcm, Mp3, Mp2, Ogg, Vox, Raw, Wma, G726, G723, G721, ULaw, ALaw, Gsm, Dsp, MsAdpcm };
  Kind Type = Pcm;
  int SampleRate = 44100;
  int Channels = 2;
  int BitsPerSample = 16; // PCM and RAW; bits per code for G.72x
  int Kbps = 128;         // MP3, MP2, OGG average
  int MinKbps = 0, MaxKbps = 0;
  int StereoMode = 0;     // MP2: 3 joint stereo
  int RawCompression = 1; // RAW: 1 PCM, 2 a-law, 3 u-law, 4 GSM, 5 IMA ADPCM, 6 MS ADPCM
  int WmaProfile = 24;
};

// Formats that headerless files are read with. A file without a header
// carries neither its rate nor its code width, so these are to be the
// formats the same extensions are saved with: .vox (Vox), .raw and .pcm
// (Raw), .g726, .g723 and .g721. Rates and channels are taken as saving
// moves them (EffectiveFormat).
struct HeaderlessFormats {
  OutputFormat Vox = Make(OutputFormat::Vox, 8000, 1, 4);
  OutputFormat Raw = Make(OutputFormat::Raw, 44100, 2, 16);
  OutputFormat G726 = Make(OutputFormat::G726, 8000, 1, 4);
  OutputFormat G723 = Make(OutputFormat::G723, 8000, 1, 3);
  OutputFormat G721 = Make(OutputFormat::G721, 8000, 1, 4);
  // Files the format into its place; formats with a header are ignored.
  void Set(const OutputFormat& f);

  static OutputFormat Make(OutputFormat::Kind kind, int rate, int channels, int bits) {
    OutputFormat f;
    f.Type = kind;
    f.SampleRate = rate;
    f.Channels = channels;
    f.BitsPerSample = bits;
    return f;
  }
};

struct Tags {
  std::wstring Title, Artist, Album, Copyright, Comment, Url, Composer, EncodedBy;
  int Genre = -1, Year = 0, Track = 0;
};

class EditorEngine {
public:
  EditorEngine();
  ~EditorEngine();

  // Events. OnBlockOperation may pump messages: every public call made from
  // inside it while an operation runs raises EEditorError.
  std::function<void(int)> OnBlockOperation;
  std::function<void()> OnEndOperation;
  std::function<void()> OnChangePosition;

  // Settings
  void SetTempDirectory(const std::wstring& dir);
  const std::wstring& TempDirectory() const { return FTempDir; }
  void SetUndoRedoCount(int n);
  void SetSmooth(bool enabled, int ms);
  bool SmoothEnabled() const { return FSmooth; }
  int SmoothMs() const { return FSmoothMs; }
  // channel 1 left, 2 right.
  void SetChannelEnabled(int channel, bool enabled);
  bool ChannelEnabled(int channel) const;

  // Document
  bool HasDocument() const { return FDoc != nullptr; }
  bool Busy() const { return FBusy; }
  void NewFile(int sampleRate, int channels);
  void OpenFile(const std::wstring& fileName);
  void SaveFile(const std::wstring& fileName, bool selectionOnly);
  void CloseFile();
  // Replaces the document with the given frames (one history step if a document exists).
  void LoadFrames(int sampleRate, int channels, const float* frames, int64_t count);
  // Appends frames at the end without a history step (recording).
  void AppendFrames(const float* frames, int64_t count);
  int SampleRate() const;
  int Channels() const;
  int64_t Length() const;
  Document* Doc() { return FDoc.get(); }
  const Document* Doc() const { return FDoc.get(); }
  void ReadFrames(int64_t start, int64_t count, float* out) const;
  // What the last file read needed mended (damaged parts, samples that were
  // not numbers), for the user; empty when it read cleanly.
  const std::wstring& LoadNotice() const { return FLoadNotice; }

  OutputFormat Format;
  HeaderlessFormats Headerless;
  Tags FileTags;

  // Position (frames). Setters clamp to the document.
  int64_t SelStart() const { return FSelStart; }
  int64_t SelEnd() const { return FSelEnd; }
  bool SelActive() const { return FSelActive; }
  void SetSelection(int64_t start, int64_t end);
  void SetSelStart(int64_t v);
  void SetSelEnd(int64_t v);
  void SetSelActive(bool v);
  int64_t Cursor() const { return FCursor; }
  void SetCursor(int64_t v);
  double ViewStart() const { return FViewStart; }
  double ViewEnd() const { return FViewEnd; }
  void SetView(double start, double end);
  void ZoomOut();
  void ZoomInSelection();
  void FullZoom();
  int64_t MsToSamples(int64_t ms) const;
  int64_t SamplesToMs(int64_t frames) const;

  // Edits
  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();
  void Cut();
  void Copy();
  void Paste();
  void PasteFromFile(const std::wstring& fileName);
  void DeleteSelection();
  void Mix(float sourcePercent, float bufferPercent);
  void MixFromFile(float sourcePercent, const std::wstring& fileName, float bufferPercent);
  void Crop();
  void BeginUpdate();
  void EndUpdate();
  bool ClipboardEmpty() const { return !FClip || FClip->Length() == 0; }
  int64_t ClipboardLength() const { return FClip ? FClip->Length() : 0; }

  // Transforms act on the selection (the whole document when none is active).
  void Trim(float thresholdDb, float timeMs, int side);
  void SilenceSelection();
  void InsertSilence(int64_t ms);
  void DeleteSilence(float thresholdDb, float attackMs, float releaseMs);
  void AddNoise(float amplitudeDb, int type);
  void Fade(float startPercent, float endPercent);
  void Amplify(float percent);
  void Normalize(float percent, bool dcAdjust);
  void Compressor(float thresholdDb, float ratePercent, float rmsMs);
  void Expander(float thresholdDb, float ratePercent, float rmsMs);
  void ChannelConverter(float ll, float lr, float rl, float rr);
  void Vibrato(float depth, float frequency, float phase);
  void Delay(float delayMs, float mix, float feedback);
  void Phaser(float delayMs, float mix, float feedback);
  void Flanger(float delayRate, float mix, float feedback, float sweepDepth, float sweepRate,
               float sweepPhase);
  void Reverb(float delayMs, float mix, float feedback, float reverbRate, float dampHz, int stages);
  void Chorus(float delayMs, float mix, float feedback, float sweepDepth, float sweepRate,
              float sweepPhase);
  void Reverse();
  void Invert();
  void PitchShift(float ratePercent);
  void StretchTime(float ratePercent);
  void NotchFilter(float frequency, float steepness);
  void BandPass(float frequency, float steepness);
  void LowPass(float frequency, float steepness);
  void HighPass(float frequency, float steepness);
  void LowShelf(float gainDb, float frequency, float steepness);
  void HighShelf(float gainDb, float frequency, float steepness);
  void PeakEQFilter(float gainDb, float frequency, float steepness);

  // Decodes a whole file into a sequence of this document's rate and channels.
  SequencePtr DecodeFile(const std::wstring& fileName, int& rate, int& channels, int wantRate = 0,
                         int wantChannels = 0);

  // Guard of one public operation: refuses re-entry, reports progress and
  // the end of the operation, and rolls back an update bracket on failure.
  class Operation {
  public:
    Operation(EditorEngine& e, bool needsDocument, bool longRunning = true);
    ~Operation();
    void Progress(int percent);
    void Done() { FOk = true; }

  private:
    EditorEngine& FEngine;
    bool FLong, FOk = false;
    int FLast = -1;
  };

private:
  void EnsureStore();
  void RequireDocument() const;
  void Range(int64_t& start, int64_t& end) const;
  int64_t InsertionPoint() const;
  void ApplyChain(const std::string& chain, bool keepsLength = true, double lengthRatio = 0);
  // One of the engine's own processors, made for the document's rate and
  // channels, over the selection (or the whole document).
  void ApplyOwn(const std::function<ProcessorPtr(int rate, int channels)>& make);
  void ClampPositions();
  void Changed();
  ApplyOptions Options(Operation& op) const;
  void MixSequence(float sourcePercent, const Sequence& clip, float bufferPercent, Operation& op);

  std::wstring FTempDir;
  std::shared_ptr<BlockStore> FStore;
  std::unique_ptr<Document> FDoc;
  SequencePtr FClip;
  int FClipChannels = 0;
  SequencePtr FSavedClip; // clipboard at BeginUpdate, restored at EndUpdate
  int FUndoDepth = 100;
  int FUpdateLevel = 0;
  bool FBusy = false;
  std::wstring FLoadNotice;
  bool FSmooth = false;
  int FSmoothMs = 50;
  unsigned FChannelMask = 3;
  int64_t FSelStart = 0, FSelEnd = 0, FCursor = 0;
  bool FSelActive = false;
  double FViewStart = 0, FViewEnd = 0;
  friend class Operation;
};

} // namespace audioedit
