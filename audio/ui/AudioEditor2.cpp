#include "audio/ui/AudioEditor2.h"

#include "audio/EditorFormats.h"

#include <algorithm>
#include <cmath>

using namespace audioedit;

int32_t ClampToInt32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

namespace {
int16_t Bool16(bool v) {
  return v ? -1 : 0;
}

// The play/record buffer is split into this many blocks queued with the
// output device, and into this many input buffers while recording.
constexpr size_t kPlayQueued = 4;
constexpr int kRecordBuffers = 8;
// Recording filters: steepness of the low and high pass (Q about 0.7 per
// stage) and of the notch.
constexpr float kRecordPassSteepness = 23;
constexpr float kRecordNotchSteepness = 50;
// Input shown by the oscilloscope while recording.
constexpr int kScopeMs = 20;

int16_t ToSample(float v) {
  return int16_t(std::lrint(std::clamp(v * 32768.0f, -32768.0f, 32767.0f)));
}
} // namespace

// ---------------------------------------------------------------------------
// TAudioEditor2

TAudioEditor2::TAudioEditor2(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() | csOpaque | csDoubleClicks);
  SetBounds(0, 0, 400, 200);
  FEngine.OnBlockOperation = [this](int p) {
    if (OnBlockOperation) OnBlockOperation(this, int16_t(p));
  };
  FEngine.OnEndOperation = [this] {
    Invalidate();
    if (OnEndOperation) OnEndOperation(this);
  };
  FEngine.OnChangePosition = [this] { Changed(); };
}

TAudioEditor2::~TAudioEditor2() {
  FEngine.OnBlockOperation = nullptr;
  FEngine.OnEndOperation = nullptr;
  FEngine.OnChangePosition = nullptr;
  StopDevices(false);
  if (FFont) DeleteObject(FFont);
}

void TAudioEditor2::Changed() {
  if (HandleAllocated()) Invalidate();
  if (OnChangePosition) OnChangePosition(this);
}

void TAudioEditor2::SetTypeView(int32_t v) {
  FView.TypeView = v == 1 ? 1 : 0;
  Invalidate();
}

void TAudioEditor2::SetTypeBorder(int16_t v) {
  FBorder = v;
  Invalidate();
}

void TAudioEditor2::SetRulerFont(HFONT f) {
  if (FFont) DeleteObject(FFont);
  FFont = nullptr;
  LOGFONTW lf{};
  if (f && GetObjectW(f, sizeof lf, &lf)) FFont = CreateFontIndirectW(&lf);
  FView.Font = FFont;
  Invalidate();
}

void TAudioEditor2::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r;
  GetClientRect(Handle(), &r);
  int w = r.right, h = r.bottom;
  if (w <= 0 || h <= 0) return;
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  RenderView(mem, w, h, FEngine, FView);
  if (FState == 2 && FRecordVisualization == 2) DrawInputScope(mem, w, h);
  if (FBorder) {
    RECT b{0, 0, w, h};
    DrawEdge(mem, &b, EDGE_SUNKEN, BF_RECT);
  }
  BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

void TAudioEditor2::DrawInputScope(HDC dc, int w, int h) {
  ViewLayout l = LayoutView(w, h, FView);
  const int ch = std::max(1, FEngine.Channels());
  const int wh = l.Wave.bottom - l.Wave.top, ww = l.Wave.right - l.Wave.left;
  if (wh <= 0 || ww <= 0) return;
  HBRUSH bg = CreateSolidBrush(FView.Colors[0]);
  FillRect(dc, &l.Wave, bg);
  DeleteObject(bg);
  HPEN pen = CreatePen(PS_SOLID, 1, FView.Colors[10] ? FView.Colors[10] : 0x00FF00);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const size_t frames = FScope.size() / size_t(ch);
  const double zoom = std::clamp(FView.VerticalZoom, 1, 10000) / 100.0;
  std::vector<POINT> pts;
  for (int c = 0; c < ch; ++c) {
    int top = l.Wave.top + wh * c / ch, bottom = l.Wave.top + wh * (c + 1) / ch;
    double mid = 0.5 * (top + bottom), half = 0.5 * (bottom - top);
    pts.clear();
    for (int x = 0; x < ww; ++x) {
      float v = 0;
      if (frames > 0) v = FScope[size_t(x) * frames / size_t(ww) * size_t(ch) + size_t(c)];
      int y = int(std::lround(mid - std::clamp(v * zoom, -1.0, 1.0) * (half - 1)));
      pts.push_back(POINT{l.Wave.left + x, y});
    }
    Polyline(dc, pts.data(), int(pts.size()));
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

int64_t TAudioEditor2::FrameAt(int x) const {
  ViewLayout l = LayoutView(Width(), Height(), FView);
  int w = std::max<int>(1, l.Wave.right - l.Wave.left);
  double f =
      FEngine.ViewStart() + (FEngine.ViewEnd() - FEngine.ViewStart()) * double(x - l.Wave.left) / w;
  return std::clamp<int64_t>(int64_t(std::llround(f)), 0, FEngine.Length());
}

void TAudioEditor2::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  ViewLayout l = LayoutView(Width(), Height(), FView);
  POINT p{X, Y};
  if (FView.ScaleXVisible && PtInRect(&l.ScaleX, p)) {
    if (OnScaleXClick) OnScaleXClick(this);
    return;
  }
  if (FView.ScaleYVisible && PtInRect(&l.ScaleY, p)) {
    if (OnScaleYClick) OnScaleYClick(this);
    return;
  }
  if (!FMouseEvents || FEngine.Busy() || !FEngine.HasDocument() || Button != mbLeft) return;
  int64_t f = FrameAt(X);
  FDragging = true;
  FDragAnchor = f;
  FEngine.SetSelActive(false);
  FEngine.SetCursor(f);
}

void TAudioEditor2::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!FDragging || !FMouseEvents || FEngine.Busy()) return;
  int64_t f = FrameAt(X);
  FEngine.SetSelection(std::min(FDragAnchor, f), std::max(FDragAnchor, f));
}

void TAudioEditor2::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  FDragging = false;
}

void TAudioEditor2::DblClick() {
  TCustomControl::DblClick();
  if (OnDblClick) OnDblClick(this);
}

// Document ------------------------------------------------------------------

void TAudioEditor2::OpenFile(const std::wstring& fileName, int32_t) {
  if (FState != 0 && !FEngine.Busy()) Stop();
  FEngine.OpenFile(fileName);
  FView.Markers.clear();
  Changed();
}

void TAudioEditor2::NewFile(int32_t sampleRate, int32_t channels) {
  if (FState != 0 && !FEngine.Busy()) Stop();
  FEngine.NewFile(sampleRate, channels);
  FView.Markers.clear();
  Changed();
}

void TAudioEditor2::SaveFile(const std::wstring& fileName, int16_t selectionOnly, int32_t) {
  FEngine.SaveFile(fileName, selectionOnly != 0);
}

void TAudioEditor2::CloseFile() {
  if (FEngine.Busy())
    throw EEditorError(L"The editor is busy with another operation; wait until it ends");
  StopDevices(false);
  FEngine.CloseFile();
  FView.Markers.clear();
  Changed();
}

// Transport -----------------------------------------------------------------

void TAudioEditor2::StopDevices(bool notify) {
  if (FNotify) FNotify->StopTimer(1);
  if (FOut) {
    FOut->Reset();
    FOut->Close();
    FOut.reset();
  }
  if (FIn) {
    FIn->Stop();
    RecordTick(true);
    FIn.reset();
    FRecordFilter.reset();
    FScope.clear();
    if (FEngine.Doc() && FEngine.Doc()->Current().Seq != FBeforeRecord.Seq) {
      // The whole take is one history step; a take that kept nothing is none.
      Document::State after = FEngine.Doc()->Current();
      FEngine.Doc()->Reset(FBeforeRecord);
      FEngine.Doc()->Commit(after);
    }
  }
  bool wasPlaying = FState == 1 || FState == 5;
  FState = 0;
  FView.PlayPosition = -1;
  if (notify && wasPlaying && OnEndPlay) OnEndPlay(this);
  if (HandleAllocated()) Invalidate();
}

void TAudioEditor2::Play(int32_t mode) {
  if (FEngine.Busy())
    throw EEditorError(L"The editor is busy with another operation; wait until it ends");
  if (!FEngine.HasDocument() || FEngine.Length() == 0) throw EEditorError(L"No sound is loaded");
  StopDevices(false);
  FLoop = mode == 3;
  int64_t a = std::min(FEngine.SelStart(), FEngine.SelEnd()),
          b = std::max(FEngine.SelStart(), FEngine.SelEnd());
  if (FLoop && FEngine.SelActive() && b > a) {
    FPlayStart = a;
    FPlayEnd = b;
  } else if (FLoop) {
    FPlayStart = 0;
    FPlayEnd = FEngine.Length();
  } else {
    FPlayStart = FEngine.Cursor() >= FEngine.Length() ? 0 : FEngine.Cursor();
    FPlayEnd = FEngine.Length();
  }
  if (!FNotify) FNotify = std::make_unique<audio::TNotifyWindow>();
  FOut = std::make_unique<audio::TWaveOut>();
  MMRESULT r = FOut->Open(WAVE_MAPPER, FEngine.SampleRate(), FEngine.Channels(), nullptr);
  if (r != MMSYSERR_NOERROR) {
    FOut.reset();
    throw EEditorError(audio::WaveErrorText(r, false));
  }
  FPlayNext = FPlayStart;
  FPlayBase = FPlayStart;
  FPlayWritten = 0;
  FState = 1;
  PlayTick();
  FNotify->StartTimer(1, 20, [this] { PlayTick(); });
}

void TAudioEditor2::PlayTick() {
  if (!FOut || FState == 0) return;
  if (FState == 1) {
    const int ch = FEngine.Channels();
    const int64_t block =
        std::max<int64_t>(1, FEngine.MsToSamples(FFileBufferMs / int(kPlayQueued)));
    std::vector<float> f;
    std::vector<int16_t> s;
    while (FOut->Pending() < kPlayQueued && FPlayNext < FPlayEnd) {
      int64_t n = std::min(block, FPlayEnd - FPlayNext);
      f.resize(size_t(n * ch));
      s.resize(f.size());
      FEngine.ReadFrames(FPlayNext, n, f.data());
      for (size_t i = 0; i < f.size(); ++i)
        s[i] = int16_t(std::lrint(std::clamp(f[i] * 32768.0f, -32768.0f, 32767.0f)));
      FOut->Write(s.data(), size_t(n), uint64_t(FPlayNext));
      FPlayNext += n;
      FPlayWritten += n;
      if (FPlayNext >= FPlayEnd && FLoop) FPlayNext = FPlayStart;
    }
  }
  // Played position; with looping the played count wraps inside the region.
  int64_t played = FOut->PlayedFrames();
  int64_t span = std::max<int64_t>(1, FPlayEnd - FPlayStart);
  int64_t pos = FLoop ? FPlayStart + played % span : std::min(FPlayEnd, FPlayBase + played);
  FView.PlayPosition = pos;
  FEngine.SetCursor(pos);
  if (OnChangePlayPosition) OnChangePlayPosition(this);
  if (!FLoop && FState == 1 && FPlayNext >= FPlayEnd && FOut->Pending() == 0) StopDevices(true);
}

int64_t TAudioEditor2::PlayQueuedFrames() {
  if (!FOut) return 0;
  return std::max<int64_t>(0, FPlayWritten - FOut->PlayedFrames());
}

void TAudioEditor2::Stop() {
  if (FEngine.Busy())
    throw EEditorError(L"The editor is busy with another operation; wait until it ends");
  StopDevices(true);
}

void TAudioEditor2::Pause() {
  if (FState != 1 || !FOut) return;
  FState = 5;
  // What is queued is dropped; playing resumes from the paused position.
  FOut->Reset();
  FPlayWritten = 0;
  FPlayNext = FEngine.Cursor();
  FPlayBase = FPlayNext;
}

void TAudioEditor2::Resume() {
  if (FState != 5) return;
  FState = 1;
  PlayTick();
}

void TAudioEditor2::StartRecord(int32_t) {
  if (FEngine.Busy())
    throw EEditorError(L"The editor is busy with another operation; wait until it ends");
  StopDevices(false);
  if (!FEngine.HasDocument()) FEngine.NewFile(44100, 2);
  FBeforeRecord = FEngine.Doc()->Current();
  if (!FNotify) FNotify = std::make_unique<audio::TNotifyWindow>();
  const int rate = FEngine.SampleRate(), ch = FEngine.Channels();
  // Filters first, then the gain control and voice activation see what is kept.
  std::string chain;
  auto add = [&chain](const std::string& c) { chain += (chain.empty() ? "" : ",") + c; };
  if (FRecorder.HighPassEnabled)
    add(effects::HighPassChain(rate, FRecorder.HighPass, kRecordPassSteepness));
  if (FRecorder.LowPassEnabled)
    add(effects::LowPassChain(rate, FRecorder.LowPass, kRecordPassSteepness));
  if (FRecorder.NotchPassEnabled)
    add(effects::NotchChain(rate, FRecorder.NotchPass, kRecordNotchSteepness));
  FRecordFilter = chain.empty() ? nullptr : MakeFilterProcessor(chain, rate, ch);
  FDynamics.SetFormat(rate, ch);
  FDynamics.SetAgcEnabled(false); // every take starts at 0 dB
  FDynamics.SetAgcEnabled(FRecorder.AGCEnabled);
  FDynamics.SetAgcAttackTime(FRecorder.AGCAttackTime);
  FDynamics.SetAgcLowLevel(FRecorder.AGCLowLevel);
  FDynamics.SetAgcHighLevel(FRecorder.AGCHighLevel);
  FDynamics.SetVoiceEnabled(FRecorder.AccuEnabled);
  FDynamics.SetVoiceAttackTime(FRecorder.AttackTime);
  FDynamics.SetVoiceAttackLevel(FRecorder.AttackLevel);
  FDynamics.SetVoiceReleaseTime(FRecorder.ReleaseTime);
  FDynamics.SetVoiceReleaseLevel(FRecorder.ReleaseLevel);
  FRecordInputFrames = 0;
  FScope.clear();
  FIn = std::make_unique<audio::TWaveIn>();
  const int bufferFrames = std::max(256, int(FEngine.MsToSamples(FFileBufferMs)) / kRecordBuffers);
  MMRESULT r = FIn->Start(
      WAVE_MAPPER, rate, ch, bufferFrames, kRecordBuffers,
      [this, ch](const int16_t* s, size_t frames) {
        std::lock_guard<std::mutex> g(FRecordLock);
        FRecorded.insert(FRecorded.end(), s, s + frames * size_t(ch));
      },
      [this](const std::wstring& text) {
        // Device lost or silent: the take ends with what arrived.
        FNotify->Post([this, text] {
          if (FState != 2) return;
          FRecordError = text;
          StopDevices(false);
        });
      });
  if (r != MMSYSERR_NOERROR) {
    FIn.reset();
    FRecordFilter.reset();
    throw EEditorError(audio::WaveErrorText(r, true));
  }
  FRecordError.clear();
  FState = 2;
  FNotify->StartTimer(1, 50, [this] { RecordTick(); });
}

void TAudioEditor2::RecordTick(bool last) {
  std::vector<int16_t> take;
  {
    std::lock_guard<std::mutex> g(FRecordLock);
    take.swap(FRecorded);
  }
  if (!FEngine.Doc() || (take.empty() && !(last && FRecordFilter))) return;
  const int ch = FEngine.Channels();
  const int64_t frames = int64_t(take.size()) / ch;
  FRecordInputFrames += frames;
  std::vector<float> f(take.size());
  for (size_t i = 0; i < take.size(); ++i)
    f[i] = take[i] / 32768.0f;
  if (FRecordFilter) {
    std::vector<float> filtered;
    FRecordFilter->Process(f.data(), frames, filtered);
    if (last) FRecordFilter->Finish(filtered);
    f.swap(filtered);
  }
  std::vector<int16_t> s(f.size()), kept;
  for (size_t i = 0; i < f.size(); ++i)
    s[i] = ToSample(f[i]);
  FDynamics.Process(s.data(), s.size() / size_t(ch), kept);
  // The oscilloscope shows the latest input with filters and gain.
  const size_t scope = size_t(FEngine.MsToSamples(kScopeMs)) * size_t(ch);
  for (size_t i = s.size() > scope ? s.size() - scope : 0; i < s.size(); ++i)
    FScope.push_back(s[i] / 32768.0f);
  if (FScope.size() > scope) FScope.erase(FScope.begin(), FScope.end() - ptrdiff_t(scope));
  if (!kept.empty()) {
    f.resize(kept.size());
    for (size_t i = 0; i < kept.size(); ++i)
      f[i] = kept[i] / 32768.0f;
    FEngine.AppendFrames(f.data(), int64_t(f.size()) / ch);
  }
  FEngine.SetCursor(FEngine.Length());
  // The ruler follows: the whole take, or the latest stretch the scope shows.
  const int64_t length = FEngine.Length();
  if (length > 0)
    FEngine.SetView(FRecordVisualization == 1
                        ? 0.0
                        : double(std::max<int64_t>(0, length - int64_t(scope) / ch)),
                    double(length));
  if (HandleAllocated()) Invalidate();
}

SAFEARRAY* TAudioEditor2::GetVisualizationData(int32_t count) {
  count = std::clamp(count, 0, 1 << 20);
  std::vector<int16_t> out(size_t(count), 0);
  if (FEngine.HasDocument() && count > 0) {
    int ch = FEngine.Channels();
    std::vector<float> f(size_t(count) * size_t(ch));
    FEngine.ReadFrames(FEngine.Cursor(), count, f.data());
    for (int32_t i = 0; i < count; ++i) {
      float v = ch == 2 ? 0.5f * (f[size_t(2 * i)] + f[size_t(2 * i + 1)]) : f[size_t(i)];
      out[size_t(i)] = int16_t(std::lrint(std::clamp(v * 32768.0f, -32768.0f, 32767.0f)));
    }
  }
  return audio::CreateSampleArray(out);
}

// View ------------------------------------------------------------------------

void TAudioEditor2::ZoomToRange(int32_t start, int32_t end) {
  FEngine.SetView(start, end);
}
void TAudioEditor2::ZoomOut() {
  FEngine.ZoomOut();
}
void TAudioEditor2::ZoomInSelection() {
  FEngine.ZoomInSelection();
}
void TAudioEditor2::FullZoom() {
  FEngine.FullZoom();
}

void TAudioEditor2::VerticalZoom(int32_t percent) {
  FView.VerticalZoom = std::clamp(percent, 1, 10000);
  Invalidate();
}

// Edits -----------------------------------------------------------------------

void TAudioEditor2::Undo() {
  FEngine.Undo();
}
void TAudioEditor2::Redo() {
  FEngine.Redo();
}
void TAudioEditor2::Cut() {
  FEngine.Cut();
}
void TAudioEditor2::Copy() {
  FEngine.Copy();
}
void TAudioEditor2::Paste() {
  FEngine.Paste();
}
void TAudioEditor2::PasteFromFile(const std::wstring& fileName) {
  FEngine.PasteFromFile(fileName);
}
void TAudioEditor2::DeleteSelection() {
  FEngine.DeleteSelection();
}
void TAudioEditor2::Mix(float source, float buffer) {
  FEngine.Mix(source, buffer);
}
void TAudioEditor2::MixFromFile(float source, const std::wstring& fileName, float buffer) {
  FEngine.MixFromFile(source, fileName, buffer);
}
void TAudioEditor2::BeginUpdate() {
  FEngine.BeginUpdate();
}
void TAudioEditor2::EndUpdate() {
  FEngine.EndUpdate();
  Changed();
}

// ---------------------------------------------------------------------------
// Sub-objects

int16_t IAudioEditor2Position::SelectionActive() const {
  return Bool16(E->Engine().SelActive());
}
void IAudioEditor2Position::SetSelectionActive(int16_t v) {
  E->Engine().SetSelActive(v != 0);
}
int32_t IAudioEditor2Position::SelectionStart() const {
  return ClampToInt32(E->Engine().SelStart());
}
void IAudioEditor2Position::SetSelectionStart(int32_t v) {
  E->Engine().SetSelStart(v);
}
int32_t IAudioEditor2Position::SelectionEnd() const {
  return ClampToInt32(E->Engine().SelEnd());
}
void IAudioEditor2Position::SetSelectionEnd(int32_t v) {
  E->Engine().SetSelEnd(v);
}
int32_t IAudioEditor2Position::ViewStart() const {
  return ClampToInt32(std::llround(E->Engine().ViewStart()));
}
void IAudioEditor2Position::SetViewStart(int32_t v) {
  E->Engine().SetView(v, E->Engine().ViewEnd());
}
int32_t IAudioEditor2Position::ViewEnd() const {
  return ClampToInt32(std::llround(E->Engine().ViewEnd()));
}
void IAudioEditor2Position::SetViewEnd(int32_t v) {
  E->Engine().SetView(E->Engine().ViewStart(), v);
}
int32_t IAudioEditor2Position::Cursor() const {
  return ClampToInt32(E->Engine().Cursor());
}
void IAudioEditor2Position::SetCursor(int32_t v) {
  E->Engine().SetCursor(v);
}
int32_t IAudioEditor2Position::Length() const {
  return ClampToInt32(E->Engine().Length());
}
int32_t IAudioEditor2Position::SamplesToMs(int32_t s) const {
  return ClampToInt32(E->Engine().SamplesToMs(s));
}
int32_t IAudioEditor2Position::MsToSamples(int32_t ms) const {
  return ClampToInt32(E->Engine().MsToSamples(ms));
}

template <class F> void IAudioEditor2Transform::Run(F f) {
  f(E->Engine());
  E->Changed();
}
void IAudioEditor2Transform::SetSmoothEnabled(int16_t v) {
  E->Engine().SetSmooth(v != 0, E->Engine().SmoothMs());
}
void IAudioEditor2Transform::SetSmoothTime(int32_t ms) {
  E->Engine().SetSmooth(E->Engine().SmoothEnabled(), ms);
}
void IAudioEditor2Transform::Trim(float a, float t, int32_t type) {
  Run([&](EditorEngine& e) { e.Trim(a, t, type); });
}
void IAudioEditor2Transform::SilenceSelection() {
  Run([&](EditorEngine& e) { e.SilenceSelection(); });
}
void IAudioEditor2Transform::InsertSilence(int32_t ms) {
  Run([&](EditorEngine& e) { e.InsertSilence(ms); });
}
void IAudioEditor2Transform::DeleteSilence(float t, float a, float r) {
  Run([&](EditorEngine& e) { e.DeleteSilence(t, a, r); });
}
void IAudioEditor2Transform::AddNoise(float a, int32_t type) {
  Run([&](EditorEngine& e) { e.AddNoise(a, type); });
}
void IAudioEditor2Transform::Fade(float s, float en) {
  Run([&](EditorEngine& e) { e.Fade(s, en); });
}
void IAudioEditor2Transform::Amplify(float r) {
  Run([&](EditorEngine& e) { e.Amplify(r); });
}
void IAudioEditor2Transform::Normalize(float r, int16_t dc) {
  Run([&](EditorEngine& e) { e.Normalize(r, dc != 0); });
}
void IAudioEditor2Transform::Compressor(float t, float r, float rms) {
  Run([&](EditorEngine& e) { e.Compressor(t, r, rms); });
}
void IAudioEditor2Transform::Expander(float t, float r, float rms) {
  Run([&](EditorEngine& e) { e.Expander(t, r, rms); });
}
void IAudioEditor2Transform::ChannelConverter(float ll, float lr, float rl, float rr) {
  Run([&](EditorEngine& e) { e.ChannelConverter(ll, lr, rl, rr); });
}
void IAudioEditor2Transform::Vibrato(float d, float f, float p) {
  Run([&](EditorEngine& e) { e.Vibrato(d, f, p); });
}
void IAudioEditor2Transform::Delay(float d, float m, float f) {
  Run([&](EditorEngine& e) { e.Delay(d, m, f); });
}
void IAudioEditor2Transform::Phaser(float d, float m, float f) {
  Run([&](EditorEngine& e) { e.Phaser(d, m, f); });
}
void IAudioEditor2Transform::Flanger(float a, float b, float c, float d, float f, float g) {
  Run([&](EditorEngine& e) { e.Flanger(a, b, c, d, f, g); });
}
void IAudioEditor2Transform::Reverb(float a, float b, float c, float d, float damp,
                                    int32_t stages) {
  Run([&](EditorEngine& e) { e.Reverb(a, b, c, d, damp, stages); });
}
void IAudioEditor2Transform::Chorus(float a, float b, float c, float d, float f, float g) {
  Run([&](EditorEngine& e) { e.Chorus(a, b, c, d, f, g); });
}
void IAudioEditor2Transform::Reverse() {
  Run([&](EditorEngine& e) { e.Reverse(); });
}
void IAudioEditor2Transform::Invert() {
  Run([&](EditorEngine& e) { e.Invert(); });
}
void IAudioEditor2Transform::PitchShift(float r) {
  Run([&](EditorEngine& e) { e.PitchShift(r); });
}
void IAudioEditor2Transform::StretchTime(float r) {
  Run([&](EditorEngine& e) { e.StretchTime(r); });
}
void IAudioEditor2Transform::NotchFilter(float f, float s) {
  Run([&](EditorEngine& e) { e.NotchFilter(f, s); });
}
void IAudioEditor2Transform::BandPass(float f, float s) {
  Run([&](EditorEngine& e) { e.BandPass(f, s); });
}
void IAudioEditor2Transform::LowPass(float f, float s) {
  Run([&](EditorEngine& e) { e.LowPass(f, s); });
}
void IAudioEditor2Transform::HighPass(float f, float s) {
  Run([&](EditorEngine& e) { e.HighPass(f, s); });
}
void IAudioEditor2Transform::LowShelf(float g, float f, float s) {
  Run([&](EditorEngine& e) { e.LowShelf(g, f, s); });
}
void IAudioEditor2Transform::HighShelf(float g, float f, float s) {
  Run([&](EditorEngine& e) { e.HighShelf(g, f, s); });
}
void IAudioEditor2Transform::PeakEQFilter(float g, float f, float s) {
  Run([&](EditorEngine& e) { e.PeakEQFilter(g, f, s); });
}

int32_t IAudioEditor2FileInfo::SampleRate() const {
  return E->Engine().SampleRate();
}
int32_t IAudioEditor2FileInfo::Channels() const {
  return E->Engine().Channels();
}
#define AE2_TAG_IMPL(Name)                                                                         \
  std::wstring IAudioEditor2FileInfo::Name() const {                                               \
    return E->Engine().FileTags.Name;                                                              \
  }                                                                                                \
  void IAudioEditor2FileInfo::Set##Name(const std::wstring& v) {                                   \
    E->Engine().FileTags.Name = v;                                                                 \
  }
AE2_TAG_IMPL(Title)
AE2_TAG_IMPL(Artist)
AE2_TAG_IMPL(Album)
AE2_TAG_IMPL(Copyright)
AE2_TAG_IMPL(Comment)
AE2_TAG_IMPL(Url)
AE2_TAG_IMPL(Composer)
AE2_TAG_IMPL(EncodedBy)
#undef AE2_TAG_IMPL
int16_t IAudioEditor2FileInfo::Genre() const {
  return int16_t(E->Engine().FileTags.Genre);
}
void IAudioEditor2FileInfo::SetGenre(int16_t v) {
  E->Engine().FileTags.Genre = v >= 0 && v < audioedit::GenreCount() ? v : -1;
}
int32_t IAudioEditor2FileInfo::Year() const {
  return E->Engine().FileTags.Year;
}
void IAudioEditor2FileInfo::SetYear(int32_t v) {
  E->Engine().FileTags.Year = v;
}
int16_t IAudioEditor2FileInfo::Track() const {
  return int16_t(E->Engine().FileTags.Track);
}
void IAudioEditor2FileInfo::SetTrack(int16_t v) {
  E->Engine().FileTags.Track = v;
}
void IAudioEditor2FileInfo::GenreName(int32_t index, std::wstring& name) const {
  name = audioedit::GenreName(index);
}

void IAudioEditor2Recorder::SetAccuEnabled(int16_t v) {
  E->RecorderOptions().AccuEnabled = v != 0;
}
void IAudioEditor2Recorder::SetAttackTime(int32_t v) {
  E->RecorderOptions().AttackTime = std::clamp(v, 10, 5000);
}
void IAudioEditor2Recorder::SetAttackLevel(int32_t v) {
  E->RecorderOptions().AttackLevel = std::clamp(v, -90, 0);
}
void IAudioEditor2Recorder::SetReleaseTime(int32_t v) {
  E->RecorderOptions().ReleaseTime = std::clamp(v, 10, 10000);
}
void IAudioEditor2Recorder::SetReleaseLevel(int32_t v) {
  E->RecorderOptions().ReleaseLevel = std::clamp(v, -90, 0);
}
void IAudioEditor2Recorder::SetAGCEnabled(int16_t v) {
  E->RecorderOptions().AGCEnabled = v != 0;
}
void IAudioEditor2Recorder::SetAGCLowLevel(int32_t v) {
  E->RecorderOptions().AGCLowLevel = std::clamp(v, -90, 0);
}
void IAudioEditor2Recorder::SetAGCHighLevel(int32_t v) {
  E->RecorderOptions().AGCHighLevel = std::clamp(v, -90, 0);
}
void IAudioEditor2Recorder::SetAGCAttackTime(int32_t v) {
  E->RecorderOptions().AGCAttackTime = std::clamp(v, 0, 10000);
}
void IAudioEditor2Recorder::SetHighPassEnabled(int16_t v) {
  E->RecorderOptions().HighPassEnabled = v != 0;
}
void IAudioEditor2Recorder::SetLowPassEnabled(int16_t v) {
  E->RecorderOptions().LowPassEnabled = v != 0;
}
void IAudioEditor2Recorder::SetNotchPassEnabled(int16_t v) {
  E->RecorderOptions().NotchPassEnabled = v != 0;
}
void IAudioEditor2Recorder::SetHighPass(float v) {
  E->RecorderOptions().HighPass = std::clamp(v, 10.0f, 22050.0f);
}
void IAudioEditor2Recorder::SetLowPass(float v) {
  E->RecorderOptions().LowPass = std::clamp(v, 10.0f, 22050.0f);
}
void IAudioEditor2Recorder::SetNotchPass(float v) {
  E->RecorderOptions().NotchPass = std::clamp(v, 10.0f, 22050.0f);
}

namespace {
audioedit::OutputFormat Fmt(audioedit::OutputFormat::Kind k, int rate, int ch) {
  audioedit::OutputFormat f;
  f.Type = k;
  f.SampleRate = rate;
  f.Channels = std::clamp(ch, 1, 2);
  return f;
}
} // namespace

void IAudioEditor2OutputFormat::Put(const audioedit::OutputFormat& f) {
  if (Input)
    E->Engine().Headerless.Set(f);
  else
    E->Engine().Format = f;
}

void IAudioEditor2OutputFormat::SetMp3(int32_t rate, int32_t bitrate, int32_t channel) {
  auto f = Fmt(audioedit::OutputFormat::Mp3, rate, channel);
  f.Kbps = bitrate;
  Put(f);
}
void IAudioEditor2OutputFormat::SetMp2(int32_t rate, int32_t bitrate, int32_t channel) {
  auto f = Fmt(audioedit::OutputFormat::Mp2, rate, channel == 3 ? 2 : channel);
  f.Kbps = bitrate;
  f.StereoMode = channel;
  Put(f);
}
void IAudioEditor2OutputFormat::SetOgg(int32_t rate, int32_t channel, int32_t average,
                                       int32_t minimum, int32_t maximum, int32_t) {
  auto f = Fmt(audioedit::OutputFormat::Ogg, rate, channel);
  f.Kbps = average;
  f.MinKbps = minimum;
  f.MaxKbps = maximum;
  Put(f);
}
void IAudioEditor2OutputFormat::SetVox(int32_t rate) {
  Put(Fmt(audioedit::OutputFormat::Vox, rate, 1));
}
void IAudioEditor2OutputFormat::SetRaw(int32_t compressFormat, int32_t rate, int32_t channel,
                                       int32_t bitDepth) {
  auto f = Fmt(audioedit::OutputFormat::Raw, rate, channel);
  f.RawCompression = std::clamp(compressFormat, 1, 6);
  f.BitsPerSample = bitDepth == 8 ? 8 : 16;
  Put(f);
}
void IAudioEditor2OutputFormat::SetWma(int32_t profile) {
  auto f = Fmt(audioedit::OutputFormat::Wma, 44100, 2);
  f.WmaProfile = std::clamp(profile, 1, 51);
  Put(f);
}
void IAudioEditor2OutputFormat::SetG726(int32_t rate, int32_t bitDepth) {
  auto f = Fmt(audioedit::OutputFormat::G726, rate, 1);
  f.BitsPerSample = std::clamp(bitDepth, 2, 5);
  Put(f);
}
void IAudioEditor2OutputFormat::SetG723(int32_t rate, int32_t bitDepth) {
  auto f = Fmt(audioedit::OutputFormat::G723, rate, 1);
  f.BitsPerSample = bitDepth >= 4 ? 5 : 3;
  Put(f);
}
void IAudioEditor2OutputFormat::SetG721(int32_t rate) {
  Put(Fmt(audioedit::OutputFormat::G721, rate, 1));
}
void IAudioEditor2OutputFormat::SetULaw(int32_t rate, int32_t channel) {
  Put(Fmt(audioedit::OutputFormat::ULaw, rate, channel));
}
void IAudioEditor2OutputFormat::SetALaw(int32_t rate, int32_t channel) {
  Put(Fmt(audioedit::OutputFormat::ALaw, rate, channel));
}
void IAudioEditor2OutputFormat::SetGsm(int32_t rate) {
  Put(Fmt(audioedit::OutputFormat::Gsm, rate, 1));
}
void IAudioEditor2OutputFormat::SetDsp() {
  Put(Fmt(audioedit::OutputFormat::Dsp, 8000, 1));
}
void IAudioEditor2OutputFormat::SetMsAdpcm(int32_t rate, int32_t channel) {
  Put(Fmt(audioedit::OutputFormat::MsAdpcm, rate, channel));
}
void IAudioEditor2OutputFormat::SetPcm(int32_t rate, int32_t channel, int32_t bitDepth) {
  auto f = Fmt(audioedit::OutputFormat::Pcm, rate, channel);
  f.BitsPerSample = bitDepth == 8 ? 8 : 16;
  Put(f);
}

void IAudioEditor2Channel::SetChannel(int32_t v) {
  E->SetActiveChannel(v == 2 ? 2 : 1);
}
void IAudioEditor2Channel::SetEnabled(int16_t v) {
  E->Engine().SetChannelEnabled(E->ActiveChannel(), v != 0);
  E->Changed();
}

int32_t IAudioEditor2Markers::Count() const {
  return int32_t(E->MarkerList().size());
}
void IAudioEditor2Markers::Add(int32_t start, int32_t length, const std::wstring& name, int32_t,
                               int32_t, int32_t, int32_t, int32_t, int32_t) {
  E->MarkerList().push_back({std::max(0, start), std::max(0, length), name});
  E->Changed();
}

void IAudioEditor2Scale::SetFont(HFONT font) {
  E->SetRulerFont(font);
}
void IAudioEditor2Scale::SetFlag(int32_t) {}
int32_t IAudioEditor2Scale::Format() const {
  return X ? E->View().ScaleXFormat : E->View().ScaleYFormat;
}
void IAudioEditor2Scale::SetFormat(int32_t v) {
  if (X)
    E->View().ScaleXFormat = v == 1 ? 1 : 2;
  else
    E->View().ScaleYFormat = std::clamp(v, 1, 3);
  E->Changed();
}
int16_t IAudioEditor2Scale::Visible() const {
  return Bool16(X ? E->View().ScaleXVisible : E->View().ScaleYVisible);
}
void IAudioEditor2Scale::SetVisible(int16_t v) {
  (X ? E->View().ScaleXVisible : E->View().ScaleYVisible) = v != 0;
  E->Changed();
}

void IAudioEditor2Colors::SetColor(int slot, int32_t bgr) {
  if (slot < 0 || slot >= audioedit::kColorSlots) return;
  E->View().Colors[slot] = COLORREF(bgr) & 0xFFFFFF;
  E->Changed();
}

// ---------------------------------------------------------------------------
// TAudioVisualization2

TAudioVisualization2::TAudioVisualization2(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 352, 177);
}

TAudioVisualization2::~TAudioVisualization2() {
  if (FFont) DeleteObject(FFont);
}

void TAudioVisualization2::SetVisType(int32_t v) {
  FVisType = std::clamp(v, 0, 5);
  Invalidate();
}

void TAudioVisualization2::SetWindowArraySize(int32_t v) {
  FSize = v <= 256 ? 256 : v <= 1024 ? 1024 : 4096;
  FFft.reset();
}

void TAudioVisualization2::SetRulerFont(HFONT f) {
  if (FFont) DeleteObject(FFont);
  FFont = nullptr;
  LOGFONTW lf{};
  if (f && GetObjectW(f, sizeof lf, &lf)) FFont = CreateFontIndirectW(&lf);
  Invalidate();
}

void TAudioVisualization2::SetData(SAFEARRAY* samples) {
  auto v = audio::SampleArrayToVector(samples);
  FData.assign(v.size(), 0.0f);
  for (size_t i = 0; i < v.size(); ++i)
    FData[i] = v[i] / 32768.0f;
  if (!FFft || FFft->Size() != FSize) FFft = std::make_unique<SpectrumAnalyzer>(FSize);
  std::vector<float> in(size_t(FFft->Size()), 0.0f);
  std::copy_n(FData.begin(), std::min(FData.size(), in.size()), in.begin());
  FFft->Analyze(in.data(), FWindow, FDb);
  if (HandleAllocated()) Invalidate();
}

void TAudioVisualization2::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r;
  GetClientRect(Handle(), &r);
  int w = r.right, h = r.bottom;
  if (w <= 0 || h <= 0) return;
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  HBRUSH bg = CreateSolidBrush(0);
  FillRect(mem, &r, bg);
  DeleteObject(bg);
  static const COLORREF kStyle[6] = {0x00FF00, 0xFFFFFF, 0x00C0FF, 0x0040FF, 0xFFC080, 0x40FF40};
  HPEN pen = CreatePen(PS_SOLID, 1, kStyle[FVisType]);
  HGDIOBJ oldPen = SelectObject(mem, pen);
  if (FVisType == 0 && !FData.empty()) {
    for (int x = 0; x < w; ++x) {
      size_t i = std::min(FData.size() - 1, size_t(double(x) / w * FData.size()));
      int y = h / 2 - int(FData[i] * (h / 2 - 1));
      if (x == 0)
        MoveToEx(mem, x, y, nullptr);
      else
        LineTo(mem, x, y);
    }
  } else if (!FDb.empty()) {
    for (int x = 0; x < w; ++x) {
      size_t bin = std::min(FDb.size() - 1, size_t(double(x) / w * FDb.size()));
      double t = std::clamp((FDb[bin] + 100.0) / 100.0, 0.0, 1.0);
      MoveToEx(mem, x, h, nullptr);
      LineTo(mem, x, h - int(t * h));
    }
  }
  SelectObject(mem, oldPen);
  DeleteObject(pen);
  BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

void TAudioVisualization2::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!OnMouseMove) return;
  int w = std::max(1, Width()), h = std::max(1, Height());
  int xValue = FVisType == 0 ? int(double(X) / w * FSize) : int(double(X) / w * FRate / 2);
  int yValue = int(-100.0 * double(Y) / h);
  OnMouseMove(this, X, Y, xValue, yValue);
}
