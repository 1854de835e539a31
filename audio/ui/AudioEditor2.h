// The editor control: a waveform/spectrum view of one sound with selection,
// cursor, rulers, play and record, undo/redo, clipboard, effects, open and
// save. The sub-objects (Position, Transform, ...) are light views of the
// control, returned afresh by each getter.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/EditorEffects.h"
#include "audio/EditorEngine.h"
#include "audio/EditorView.h"
#include "audio/RecordDynamics.h"
#include "audio/SafeArrays.h"
#include "audio/WaveDevice.h"
#include "framework/Controls.h"

class TAudioEditor2;

// Values crossing the control's interface are 32-bit; inside they are 64-bit.
int32_t ClampToInt32(int64_t v);

class IAudioEditor2Position {
public:
  explicit IAudioEditor2Position(TAudioEditor2* e) : E(e) {}
  int16_t SelectionActive() const;
  void SetSelectionActive(int16_t v);
  int32_t SelectionStart() const;
  void SetSelectionStart(int32_t v);
  int32_t SelectionEnd() const;
  void SetSelectionEnd(int32_t v);
  int32_t ViewStart() const;
  void SetViewStart(int32_t v);
  int32_t ViewEnd() const;
  void SetViewEnd(int32_t v);
  int32_t Cursor() const;
  void SetCursor(int32_t v);
  int32_t Length() const;
  int32_t SamplesToMs(int32_t samples) const;
  int32_t MsToSamples(int32_t ms) const;

private:
  TAudioEditor2* E;
};

class IAudioEditor2Transform {
public:
  explicit IAudioEditor2Transform(TAudioEditor2* e) : E(e) {}
  void SetSmoothEnabled(int16_t v);
  void SetSmoothTime(int32_t ms);
  void Trim(float amplitude, float time, int32_t type);
  void SilenceSelection();
  void InsertSilence(int32_t ms);
  void DeleteSilence(float threshold, float attack, float release);
  void AddNoise(float amplitude, int32_t type);
  void Fade(float start, float end);
  void Amplify(float rate);
  void Normalize(float rate, int16_t dcAdjust);
  void Compressor(float threshold, float rate, float rmsTime);
  void Expander(float threshold, float rate, float rmsTime);
  void ChannelConverter(float ll, float lr, float rl, float rr);
  void Vibrato(float depth, float frequency, float phase);
  void Delay(float delay, float mix, float feedback);
  void Phaser(float delay, float mix, float feedback);
  void Flanger(float delayRate, float mix, float feedback, float sweepDepth, float sweepRate,
               float sweepPhase);
  void Reverb(float delay, float mix, float feedback, float reverbRate, float damp, int32_t stages);
  void Chorus(float delay, float mix, float feedback, float sweepDepth, float sweepRate,
              float sweepPhase);
  void Reverse();
  void Invert();
  void PitchShift(float rate);
  void StretchTime(float rate);
  void NotchFilter(float frequency, float steepness);
  void BandPass(float frequency, float steepness);
  void LowPass(float frequency, float steepness);
  void HighPass(float frequency, float steepness);
  void LowShelf(float gain, float frequency, float steepness);
  void HighShelf(float gain, float frequency, float steepness);
  void PeakEQFilter(float gain, float frequency, float steepness);

private:
  template <class F> void Run(F f);
  TAudioEditor2* E;
};

class IAudioEditor2FileInfo {
public:
  explicit IAudioEditor2FileInfo(TAudioEditor2* e) : E(e) {}
  int32_t SampleRate() const;
  int32_t Channels() const;
#define AE2_TAG(Name)                                                                              \
  std::wstring Name() const;                                                                       \
  void Set##Name(const std::wstring& v);
  AE2_TAG(Title)
  AE2_TAG(Artist)
  AE2_TAG(Album)
  AE2_TAG(Copyright)
  AE2_TAG(Comment)
  AE2_TAG(Url)
  AE2_TAG(Composer)
  AE2_TAG(EncodedBy)
#undef AE2_TAG
  int16_t Genre() const;
  void SetGenre(int16_t v);
  int32_t Year() const;
  void SetYear(int32_t v);
  int16_t Track() const;
  void SetTrack(int16_t v);
  // Name of genre 0..141 (empty outside).
  void GenreName(int32_t index, std::wstring& name) const;

private:
  TAudioEditor2* E;
};

struct TRecorderOptions {
  bool AccuEnabled = false;
  int32_t AttackTime = 100, AttackLevel = -45, ReleaseTime = 300, ReleaseLevel = -45;
  bool AGCEnabled = false;
  int32_t AGCLowLevel = -40, AGCHighLevel = -10, AGCAttackTime = 4;
  bool HighPassEnabled = false, LowPassEnabled = false, NotchPassEnabled = false;
  float HighPass = 2000, LowPass = 2000, NotchPass = 2000;
};

class IAudioEditor2Recorder {
public:
  explicit IAudioEditor2Recorder(TAudioEditor2* e) : E(e) {}
  void SetAccuEnabled(int16_t v);
  void SetAttackTime(int32_t v);
  void SetAttackLevel(int32_t v);
  void SetReleaseTime(int32_t v);
  void SetReleaseLevel(int32_t v);
  void SetAGCEnabled(int16_t v);
  void SetAGCLowLevel(int32_t v);
  void SetAGCHighLevel(int32_t v);
  void SetAGCAttackTime(int32_t v);
  void SetHighPassEnabled(int16_t v);
  void SetLowPassEnabled(int16_t v);
  void SetNotchPassEnabled(int16_t v);
  void SetHighPass(float v);
  void SetLowPass(float v);
  void SetNotchPass(float v);

private:
  TAudioEditor2* E;
};

// The format of the next save; or, made by HeaderlessInputFormat, the format
// that headerless files of that kind (.vox, .raw, .g726, .g723, .g721) are
// opened with. The setters of formats with a header change nothing there.
class IAudioEditor2OutputFormat {
public:
  explicit IAudioEditor2OutputFormat(TAudioEditor2* e, bool headerlessInput = false)
      : E(e), Input(headerlessInput) {}
  void SetMp3(int32_t rate, int32_t bitrate, int32_t channel);
  void SetMp2(int32_t rate, int32_t bitrate, int32_t channel);
  void SetOgg(int32_t rate, int32_t channel, int32_t average, int32_t minimum, int32_t maximum,
              int32_t reserved);
  void SetVox(int32_t rate);
  void SetRaw(int32_t compressFormat, int32_t rate, int32_t channel, int32_t bitDepth);
  void SetWma(int32_t profile);
  void SetG726(int32_t rate, int32_t bitDepth);
  void SetG723(int32_t rate, int32_t bitDepth);
  void SetG721(int32_t rate);
  void SetULaw(int32_t rate, int32_t channel);
  void SetALaw(int32_t rate, int32_t channel);
  void SetGsm(int32_t rate);
  void SetDsp();
  void SetMsAdpcm(int32_t rate, int32_t channel);
  void SetPcm(int32_t rate, int32_t channel, int32_t bitDepth);

private:
  void Put(const audioedit::OutputFormat& f);
  TAudioEditor2* E;
  bool Input;
};

class IAudioEditor2Channel {
public:
  explicit IAudioEditor2Channel(TAudioEditor2* e) : E(e) {}
  void SetChannel(int32_t v);
  void SetEnabled(int16_t v);

private:
  TAudioEditor2* E;
};

class IAudioEditor2Markers {
public:
  explicit IAudioEditor2Markers(TAudioEditor2* e) : E(e) {}
  int32_t Count() const;
  // The six trailing values are kept with the marker and not interpreted.
  void Add(int32_t start, int32_t length, const std::wstring& name, int32_t a = 0, int32_t b = 0,
           int32_t c = -1, int32_t d = -1, int32_t e = -1, int32_t f = -1);

private:
  TAudioEditor2* E;
};

class IAudioEditor2Scale {
public:
  IAudioEditor2Scale(TAudioEditor2* e, bool x) : E(e), X(x) {}
  void SetFont(HFONT font); // the control keeps its own copy
  void SetFlag(int32_t v);
  int32_t Format() const;
  void SetFormat(int32_t v);
  int16_t Visible() const;
  void SetVisible(int16_t v);

private:
  TAudioEditor2* E;
  bool X;
};

class IAudioEditor2Colors {
public:
  explicit IAudioEditor2Colors(TAudioEditor2* e) : E(e) {}
  // Slot 0..16 (see EditorView.h for their meaning).
  void SetColor(int slot, int32_t bgr);
#define AE2_COLOR(N)                                                                               \
  void SetColor##N(int32_t v) {                                                                    \
    SetColor(N, v);                                                                                \
  }
  AE2_COLOR(0)
  AE2_COLOR(1)
  AE2_COLOR(2) AE2_COLOR(3) AE2_COLOR(4) AE2_COLOR(5) AE2_COLOR(6) AE2_COLOR(7) AE2_COLOR(8)
      AE2_COLOR(9) AE2_COLOR(10) AE2_COLOR(11) AE2_COLOR(12) AE2_COLOR(13) AE2_COLOR(14)
          AE2_COLOR(15) AE2_COLOR(16)
#undef AE2_COLOR
              private : TAudioEditor2* E;
};

class TAudioEditor2 : public TCustomControl {
public:
  explicit TAudioEditor2(TComponent* AOwner);
  ~TAudioEditor2() override;

  // State: 0 idle, 1 playing, 2 recording, 5 paused.
  int16_t State() const { return FState; }
  // True while a long operation runs (calls that change the document are refused then).
  bool Busy() const { return FEngine.Busy(); }
  int16_t CanUndo() const { return FEngine.CanUndo() ? -1 : 0; }
  int16_t CanRedo() const { return FEngine.CanRedo() ? -1 : 0; }
  int32_t TypeView() const { return FView.TypeView; }
  void SetTypeView(int32_t v);
  void SetTypeBorder(int16_t v);
  std::wstring TempDirectory() const { return FEngine.TempDirectory(); }
  void SetTempDirectory(const std::wstring& v) { FEngine.SetTempDirectory(v); }
  void SetUndoRedoCount(int32_t v) { FEngine.SetUndoRedoCount(v); }
  // Sound held ahead of the device while playing, and the recording's input
  // buffers together (ms).
  void SetFileBufferSize(int32_t ms) { FFileBufferMs = std::clamp(ms, 100, 10000); }
  int32_t FileBufferSize() const { return FFileBufferMs; }
  // What the view shows while recording: 1 the whole take as it grows, 2 the
  // latest input as an oscilloscope.
  void SetRecordVisualizationType(int16_t v) { FRecordVisualization = v == 2 ? 2 : 1; }
  int16_t RecordVisualizationType() const { return FRecordVisualization; }
  void SetMouseEventsEnabled(int16_t v) { FMouseEvents = v != 0; }
  bool MouseEventsEnabled() const { return FMouseEvents; }

  std::shared_ptr<IAudioEditor2Scale> ScaleX() {
    return std::make_shared<IAudioEditor2Scale>(this, true);
  }
  std::shared_ptr<IAudioEditor2Scale> ScaleY() {
    return std::make_shared<IAudioEditor2Scale>(this, false);
  }
  std::shared_ptr<IAudioEditor2Colors> Colors() {
    return std::make_shared<IAudioEditor2Colors>(this);
  }
  std::shared_ptr<IAudioEditor2Position> Position() {
    return std::make_shared<IAudioEditor2Position>(this);
  }
  std::shared_ptr<IAudioEditor2Transform> Transform() {
    return std::make_shared<IAudioEditor2Transform>(this);
  }
  std::shared_ptr<IAudioEditor2FileInfo> FileInfo() {
    return std::make_shared<IAudioEditor2FileInfo>(this);
  }
  std::shared_ptr<IAudioEditor2Recorder> Recorder() {
    return std::make_shared<IAudioEditor2Recorder>(this);
  }
  std::shared_ptr<IAudioEditor2OutputFormat> OutputFormat() {
    return std::make_shared<IAudioEditor2OutputFormat>(this);
  }
  std::shared_ptr<IAudioEditor2OutputFormat> HeaderlessInputFormat() {
    return std::make_shared<IAudioEditor2OutputFormat>(this, true);
  }
  std::shared_ptr<IAudioEditor2Channel> Channel() {
    return std::make_shared<IAudioEditor2Channel>(this);
  }
  std::shared_ptr<IAudioEditor2Markers> Markers() {
    return std::make_shared<IAudioEditor2Markers>(this);
  }

  // The second argument is not used.
  void OpenFile(const std::wstring& fileName, int32_t reserved = 0);
  void NewFile(int32_t sampleRate, int32_t channels);
  // selectionOnly: -1 the selection, 0 everything. The third argument is not used.
  void SaveFile(const std::wstring& fileName, int16_t selectionOnly, int32_t reserved = 0);
  void CloseFile();
  // 1 plays from the cursor to the end, 3 loops the selection (the whole sound without one).
  void Play(int32_t mode);
  void Stop();
  void Pause();
  void Resume();
  // Records from the default input, appended at the end of the document (a
  // new 44,100 Hz stereo document when none is loaded). The argument is not used.
  void StartRecord(int32_t reserved = 2);
  // Why the last take ended before Stop (device lost or silent); empty otherwise.
  const std::wstring& RecordError() const { return FRecordError; }
  // Frames that came from the input during the take, before the recording
  // options (voice activation may leave some out).
  int64_t RecordInputFrames() const { return FRecordInputFrames; }
  // Frames handed to the output device and not yet played.
  int64_t PlayQueuedFrames();
  // Count mono 16-bit samples (VT_I2) at the play position (the cursor when idle);
  // stereo is averaged.
  SAFEARRAY* GetVisualizationData(int32_t count);
  void ZoomToRange(int32_t start, int32_t end);
  void ZoomOut();
  void ZoomInSelection();
  void FullZoom();
  void VerticalZoom(int32_t percent);
  void Undo();
  void Redo();
  void Cut();
  void Copy();
  void Paste();
  void PasteFromFile(const std::wstring& fileName);
  void DeleteSelection();
  void Mix(float source, float buffer);
  void MixFromFile(float source, const std::wstring& fileName, float buffer);
  void BeginUpdate();
  void EndUpdate();

  std::function<void(TObject*, int16_t)> OnBlockOperation;
  TNotifyEvent OnEndOperation, OnChangePosition, OnChangePlayPosition, OnEndPlay, OnScaleXClick,
      OnScaleYClick, OnDblClick;

  audioedit::EditorEngine& Engine() { return FEngine; }
  audioedit::ViewSettings& View() { return FView; }
  int ActiveChannel() const { return FActiveChannel; }
  void SetActiveChannel(int c) { FActiveChannel = c; }
  TRecorderOptions& RecorderOptions() { return FRecorder; }
  std::vector<audioedit::Marker>& MarkerList() { return FView.Markers; }
  void SetRulerFont(HFONT f);
  void Changed(); // repaint and notify

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;

private:
  int64_t FrameAt(int x) const;
  void PlayTick();
  void RecordTick(bool last = false);
  void StopDevices(bool notify);
  void DrawInputScope(HDC dc, int w, int h);
  audioedit::EditorEngine FEngine;
  audioedit::ViewSettings FView;
  int16_t FState = 0;
  int FFileBufferMs = 500;
  int16_t FRecordVisualization = 1;
  bool FMouseEvents = true;
  bool FDragging = false;
  int64_t FDragAnchor = 0;
  int FActiveChannel = 1;
  int FBorder = 0;
  TRecorderOptions FRecorder;
  HFONT FFont = nullptr;
  // Playback
  std::unique_ptr<audio::TNotifyWindow> FNotify;
  std::unique_ptr<audio::TWaveOut> FOut;
  int64_t FPlayStart = 0, FPlayEnd = 0, FPlayNext = 0, FPlayBase = 0, FPlayWritten = 0;
  bool FLoop = false;
  // Recording
  std::unique_ptr<audio::TWaveIn> FIn;
  std::mutex FRecordLock;
  std::vector<int16_t> FRecorded;
  std::wstring FRecordError;             // why the last take ended early, empty when it did not
  audioedit::ProcessorPtr FRecordFilter; // high, low and notch filters; none when all are off
  audio::TRecordDynamics FDynamics;
  int64_t FRecordInputFrames = 0;
  std::vector<float> FScope; // the latest input, for the oscilloscope
  audioedit::Document::State FBeforeRecord;
};

// ---------------------------------------------------------------------------
// Visualization control: spectrum or oscilloscope of the data handed to SetData.

class TAudioVisualization2 : public TCustomControl {
public:
  explicit TAudioVisualization2(TComponent* AOwner);
  ~TAudioVisualization2() override;
  // 0 Analog (oscilloscope), 1 Linear, 2 Normal, 3 Fire, 4 Glass, 5 Kryptonite.
  int32_t VisType() const { return FVisType; }
  void SetVisType(int32_t v);
  // 0 none, 1 Welch, 2 Bartlett, 3 Hanning, 4 Hamming.
  void SetWindowFFTType(int32_t v) { FWindow = std::clamp(v, 0, 4); }
  int32_t WindowArraySize() const { return FSize; }
  void SetWindowArraySize(int32_t v);
  void SetRulerFont(HFONT f);
  // Takes a copy of a VT_I2 (or VT_R4) safe array of samples.
  void SetData(SAFEARRAY* samples);
  // Sample rate the X readout refers to.
  void SetSampleRate(int32_t v) { FRate = std::max(1, v); }
  // (Sender, X, Y, XValue (Hz or sample index), YValue (dB or sample value)).
  std::function<void(TObject*, int, int, int, int)> OnMouseMove;
  // Magnitudes shown (dB), for inspection.
  const std::vector<float>& Spectrum() const { return FDb; }

protected:
  void Paint() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

private:
  int32_t FVisType = 2, FWindow = 3, FSize = 1024, FRate = 44100;
  std::vector<float> FData, FDb;
  std::unique_ptr<audioedit::SpectrumAnalyzer> FFft;
  HFONT FFont = nullptr;
};
