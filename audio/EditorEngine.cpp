#include "audio/EditorEngine.h"

#include <algorithm>
#include <cmath>

#include "audio/EditorFormats.h"
#include "audio/MediaDecoder.h"

namespace audioedit {

namespace {
const wchar_t kBusy[] = L"The editor is busy with another operation; wait until it ends";
const wchar_t kNoDocument[] = L"No sound is loaded";
// Longest pause, in milliseconds, between two progress events while a file decodes.
constexpr ULONGLONG kProgressInterval = 50;

std::wstring TimeText(double seconds) {
  int64_t ms = int64_t(std::llround(std::max(seconds, 0.0) * 1000));
  wchar_t buf[48];
  swprintf(buf, 48, L"%lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
           static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
  return buf;
}

std::wstring NonFiniteNotice(int64_t count) {
  return std::to_wstring(count) +
         L" samples that were not numbers (NaN or infinity) were read as silence.";
}
} // namespace

// ---------------------------------------------------------------------------
// Operation guard

EditorEngine::Operation::Operation(EditorEngine& e, bool needsDocument, bool longRunning)
    : FEngine(e), FLong(longRunning) {
  if (e.FBusy) throw EEditorError(kBusy);
  if (needsDocument) e.RequireDocument();
  e.FBusy = true;
}

EditorEngine::Operation::~Operation() {
  FEngine.FBusy = false;
  if (!FOk && FEngine.FUpdateLevel > 0) {
    // A failed step inside BeginUpdate/EndUpdate undoes the whole bracket.
    if (FEngine.FDoc) FEngine.FDoc->AbortGroup();
    FEngine.FClip = FEngine.FSavedClip;
    FEngine.FSavedClip.reset();
    FEngine.FUpdateLevel = 0;
  }
  FEngine.ClampPositions();
  try {
    if (FLong && FEngine.OnEndOperation) FEngine.OnEndOperation();
    if (FEngine.OnChangePosition) FEngine.OnChangePosition();
  } catch (...) {
    // Handlers run after the operation; their failures cannot undo it.
  }
}

void EditorEngine::Operation::Progress(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == FLast || !FLong) return;
  FLast = percent;
  if (FEngine.OnBlockOperation) FEngine.OnBlockOperation(percent);
}

// ---------------------------------------------------------------------------

EditorEngine::EditorEngine() = default;

EditorEngine::~EditorEngine() {
  FDoc.reset();
  FClip.reset();
  FSavedClip.reset();
  FStore.reset();
}

void EditorEngine::SetTempDirectory(const std::wstring& dir) {
  if (dir == FTempDir) return;
  FTempDir = dir;
  BlockStore::RemoveStale(dir);
  // Blocks already written stay where they are; new documents use the new folder.
  if (!FDoc && !FClip) FStore.reset();
}

void EditorEngine::EnsureStore() {
  if (!FStore) {
    BlockStore::RemoveStale(FTempDir);
    FStore = std::make_shared<BlockStore>(FTempDir);
  }
}

void EditorEngine::SetUndoRedoCount(int n) {
  FUndoDepth = std::clamp(n, 0, 1000);
  if (FDoc) FDoc->SetUndoDepth(FUndoDepth);
}

void EditorEngine::SetSmooth(bool enabled, int ms) {
  FSmooth = enabled;
  FSmoothMs = std::clamp(ms, 0, 500);
}

void EditorEngine::SetChannelEnabled(int channel, bool enabled) {
  if (channel < 1 || channel > 2) return;
  unsigned bit = 1u << (channel - 1);
  FChannelMask = enabled ? (FChannelMask | bit) : (FChannelMask & ~bit);
}

bool EditorEngine::ChannelEnabled(int channel) const {
  return channel >= 1 && channel <= 2 && (FChannelMask & (1u << (channel - 1)));
}

void EditorEngine::RequireDocument() const {
  if (!FDoc) throw EEditorError(kNoDocument);
}

int EditorEngine::SampleRate() const {
  return FDoc ? FDoc->SampleRate() : 0;
}
int EditorEngine::Channels() const {
  return FDoc ? FDoc->Channels() : 0;
}
int64_t EditorEngine::Length() const {
  return FDoc ? FDoc->Length() : 0;
}

void EditorEngine::ReadFrames(int64_t start, int64_t count, float* out) const {
  if (FDoc)
    FDoc->Read(start, count, out);
  else if (count > 0)
    std::fill(out, out + count, 0.0f);
}

// ---------------------------------------------------------------------------
// Document

void EditorEngine::NewFile(int sampleRate, int channels) {
  Operation op(*this, false, false);
  EnsureStore();
  FDoc = std::make_unique<Document>(FStore, std::clamp(sampleRate, 1000, 384000),
                                    std::clamp(channels, 1, 2));
  FDoc->SetUndoDepth(FUndoDepth);
  FSelStart = FSelEnd = FCursor = 0;
  FSelActive = false;
  FViewStart = 0;
  FViewEnd = 0;
  FileTags = Tags{};
  op.Done();
}

void EditorEngine::CloseFile() {
  Operation op(*this, false, false);
  FDoc.reset();
  FSelStart = FSelEnd = FCursor = 0;
  FSelActive = false;
  FViewStart = FViewEnd = 0;
  FileTags = Tags{};
  op.Done();
}

void EditorEngine::LoadFrames(int sampleRate, int channels, const float* frames, int64_t count) {
  Operation op(*this, false, false);
  EnsureStore();
  channels = std::clamp(channels, 1, 2);
  SequenceBuilder b(FStore, channels);
  b.Expect(count);
  b.Append(frames, count);
  Document::State st{b.Finish(), std::clamp(sampleRate, 1000, 384000), channels};
  if (!FDoc) {
    FDoc = std::make_unique<Document>(FStore, st.SampleRate, channels);
    FDoc->SetUndoDepth(FUndoDepth);
    FDoc->Reset(std::move(st));
  } else {
    FDoc->Commit(std::move(st));
  }
  FullZoom();
  op.Done();
}

void EditorEngine::AppendFrames(const float* frames, int64_t count) {
  if (!FDoc || count <= 0) return;
  SequenceBuilder b(FStore, FDoc->Channels());
  b.AppendRange(FDoc->Seq(), 0, FDoc->Length());
  b.Append(frames, count);
  Document::State st = FDoc->Current();
  st.Seq = b.Finish();
  FDoc->Reset(std::move(st));
}

SequencePtr EditorEngine::DecodeFile(const std::wstring& fileName, int& rate, int& channels,
                                     int wantRate, int wantChannels) {
  EnsureStore();
  FLoadNotice.clear();
  // Devices and pipes block whoever reads them.
  if (!audio::IsOrdinaryFile(fileName))
    throw EEditorError(L"Cannot open the audio file \"" + fileName +
                       L"\": it is not a file on a disk");
  PcmLayout layout;
  int pcmRate = 0;
  std::wstring problem;
  bool inPlace = ProbePcm(fileName, layout, pcmRate, problem, Headerless);
  if (!problem.empty())
    throw EEditorError(L"Cannot open the audio file \"" + fileName + L"\": " + problem);
  if (inPlace && (wantRate <= 0 || wantRate == pcmRate) &&
      (wantChannels <= 0 || wantChannels == layout.Channels)) {
    // Uncompressed samples stay in the file; only edits write new blocks.
    auto source = FStore->OpenSource(fileName, layout);
    rate = pcmRate;
    channels = layout.Channels;
    int64_t before = source->NonFinite();
    SequencePtr seq = ReferenceSource(FStore, source, [&](int pct) {
      if (OnBlockOperation) OnBlockOperation(pct);
    });
    if (int64_t bad = source->NonFinite() - before) FLoadNotice = NonFiniteNotice(bad);
    return seq;
  }
  // Compressed files decode in chunks; the progress event also comes at least
  // every few tens of milliseconds, so the window keeps answering while one
  // percent of a long file decodes.
  int last = -1;
  ULONGLONG lastTick = 0;
  auto report = [&](int pct) {
    ULONGLONG now = GetTickCount64();
    if (pct == last && now - lastTick < kProgressInterval) return;
    last = pct;
    lastTick = now;
    if (OnBlockOperation) OnBlockOperation(pct);
  };
  report(0);
  SequencePtr special = DecodeHeaderless(FStore, fileName, rate, channels, Headerless);
  audio::TMediaDecoder dec;
  if (!special) {
    dec.Open(fileName);
    rate = dec.SourceSampleRate();
    channels = std::clamp(dec.SourceChannels(), 1, 2);
  }
  int outRate = wantRate > 0 ? wantRate : rate;
  int outCh = wantChannels > 0 ? wantChannels : channels;
  if (special) {
    if (outRate == rate && outCh == channels) return special;
    // Convert through a filter chain.
    std::string chain = ConversionChain(rate, channels, outRate, outCh);
    auto p = MakeFilterProcessor(chain, rate, channels, false, outRate, outCh);
    SequenceBuilder b(FStore, outCh);
    std::vector<float> in(size_t(65536 * channels)), out;
    for (int64_t pos = 0; pos < special->Length(); pos += 65536) {
      int64_t n = std::min<int64_t>(65536, special->Length() - pos);
      audioedit::ReadFrames(*special, channels, pos, n, in.data());
      out.clear();
      p->Process(in.data(), n, out);
      b.Append(out.data(), int64_t(out.size()) / outCh);
      report(int((pos + n) * 99 / std::max<int64_t>(1, special->Length())));
    }
    out.clear();
    p->Finish(out);
    b.Append(out.data(), int64_t(out.size()) / outCh);
    rate = outRate;
    channels = outCh;
    return b.Finish();
  }
  dec.SetOutputFormat(outRate, outCh);
  dec.SetFloatOutput(true);
  int64_t total = std::max<int64_t>(1, dec.Length());
  SequenceBuilder b(FStore, outCh);
  b.Expect(dec.Length());
  constexpr size_t kFrames = 32768;
  std::vector<float> f(kFrames * size_t(outCh));
  int64_t nonFinite = 0;
  for (;;) {
    size_t n = dec.Read(f.data(), kFrames);
    if (n == 0) break;
    nonFinite += int64_t(CleanNonFinite(f.data(), n * size_t(outCh)));
    b.Append(f.data(), int64_t(n));
    report(int(std::clamp<int64_t>(b.Length() * 100 / total, 0, 99)));
  }
  if (dec.Damaged())
    FLoadNotice = L"The file is damaged near " + TimeText(double(dec.DamagePosition()) / outRate) +
                  L"; the damaged parts read as silence.";
  if (nonFinite) FLoadNotice += (FLoadNotice.empty() ? L"" : L" ") + NonFiniteNotice(nonFinite);
  rate = outRate;
  channels = outCh;
  return b.Finish();
}

void EditorEngine::OpenFile(const std::wstring& fileName) {
  Operation op(*this, false);
  int rate = 0, ch = 0;
  SequencePtr seq = DecodeFile(fileName, rate, ch);
  EnsureStore();
  auto doc = std::make_unique<Document>(FStore, rate, ch);
  doc->SetUndoDepth(FUndoDepth);
  doc->Reset({seq, rate, ch});
  FDoc = std::move(doc);
  FileTags = ReadTags(fileName);
  FSelStart = FSelEnd = FCursor = 0;
  FSelActive = false;
  FullZoom();
  op.Progress(100);
  op.Done();
}

void EditorEngine::SaveFile(const std::wstring& fileName, bool selectionOnly) {
  Operation op(*this, true);
  int64_t a = 0, b = Length();
  if (selectionOnly && FSelActive) Range(a, b);
  // Samples still read from the file being overwritten are kept aside first.
  if (FStore) FStore->PreserveSource(fileName);
  SaveDocument(*FDoc, a, b, Format, FileTags, fileName, [&](int p) { op.Progress(p); });
  op.Progress(100);
  op.Done();
}

// ---------------------------------------------------------------------------
// Position

void EditorEngine::ClampPositions() {
  int64_t len = Length();
  FSelStart = std::clamp<int64_t>(FSelStart, 0, len);
  FSelEnd = std::clamp<int64_t>(FSelEnd, 0, len);
  FCursor = std::clamp<int64_t>(FCursor, 0, len);
  if (!std::isfinite(FViewStart) || !std::isfinite(FViewEnd) || FViewEnd <= FViewStart) {
    FViewStart = 0;
    FViewEnd = double(std::max<int64_t>(len, 1));
  }
}

void EditorEngine::Changed() {
  if (OnChangePosition && !FBusy) OnChangePosition();
}

void EditorEngine::SetSelection(int64_t start, int64_t end) {
  FSelStart = std::clamp<int64_t>(start, 0, Length());
  FSelEnd = std::clamp<int64_t>(end, 0, Length());
  FSelActive = true;
  Changed();
}

void EditorEngine::SetSelStart(int64_t v) {
  FSelStart = std::clamp<int64_t>(v, 0, Length());
  Changed();
}

void EditorEngine::SetSelEnd(int64_t v) {
  FSelEnd = std::clamp<int64_t>(v, 0, Length());
  Changed();
}

void EditorEngine::SetSelActive(bool v) {
  FSelActive = v;
  Changed();
}

void EditorEngine::SetCursor(int64_t v) {
  FCursor = std::clamp<int64_t>(v, 0, Length());
  Changed();
}

void EditorEngine::SetView(double start, double end) {
  if (!std::isfinite(start) || !std::isfinite(end)) return;
  if (end < start) std::swap(start, end);
  double len = double(std::max<int64_t>(Length(), 1));
  // At least a few frames and at most a generous margin around the document.
  double w = std::clamp(end - start, 4.0, std::max(len * 4, 4.0));
  start = std::clamp(start, -len * 2, len * 2);
  FViewStart = start;
  FViewEnd = start + w;
  Changed();
}

void EditorEngine::ZoomOut() {
  double w = FViewEnd - FViewStart;
  double c = (FViewStart + FViewEnd) / 2;
  double len = double(std::max<int64_t>(Length(), 1));
  w = std::min(w * 2, len);
  double s = std::clamp(c - w / 2, 0.0, std::max(0.0, len - w));
  SetView(s, s + w);
}

void EditorEngine::ZoomInSelection() {
  int64_t a, b;
  Range(a, b);
  if (FSelActive && b > a)
    SetView(double(a), double(b));
  else {
    double w = (FViewEnd - FViewStart) / 2;
    double c = double(FCursor);
    SetView(c - w / 2, c + w / 2);
  }
}

void EditorEngine::FullZoom() {
  SetView(0, double(std::max<int64_t>(Length(), 1)));
}

int64_t EditorEngine::MsToSamples(int64_t ms) const {
  int rate = FDoc ? FDoc->SampleRate() : 44100;
  return ms * rate / 1000;
}

int64_t EditorEngine::SamplesToMs(int64_t frames) const {
  int rate = FDoc ? FDoc->SampleRate() : 44100;
  return frames * 1000 / std::max(rate, 1);
}

void EditorEngine::Range(int64_t& start, int64_t& end) const {
  if (FSelActive && FSelStart != FSelEnd) {
    start = std::min(FSelStart, FSelEnd);
    end = std::max(FSelStart, FSelEnd);
  } else {
    start = 0;
    end = Length();
  }
  start = std::clamp<int64_t>(start, 0, Length());
  end = std::clamp<int64_t>(end, 0, Length());
}

int64_t EditorEngine::InsertionPoint() const {
  int64_t p = FSelActive ? std::min(FSelStart, FSelEnd) : FCursor;
  return std::clamp<int64_t>(p, 0, Length());
}

// ---------------------------------------------------------------------------
// Edits

bool EditorEngine::CanUndo() const {
  return FDoc && FDoc->CanUndo();
}
bool EditorEngine::CanRedo() const {
  return FDoc && FDoc->CanRedo();
}

void EditorEngine::Undo() {
  Operation op(*this, false);
  if (FDoc) FDoc->Undo();
  op.Done();
}

void EditorEngine::Redo() {
  Operation op(*this, false);
  if (FDoc) FDoc->Redo();
  op.Done();
}

void EditorEngine::Copy() {
  Operation op(*this, true, false);
  int64_t a, b;
  Range(a, b);
  if (FSelActive && b > a) {
    FClip = FDoc->Extract(a, b);
    FClipChannels = FDoc->Channels();
  }
  op.Done();
}

void EditorEngine::Cut() {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  if (FSelActive && b > a) {
    FClip = FDoc->Extract(a, b);
    FClipChannels = FDoc->Channels();
    FDoc->Delete(a, b);
    FSelStart = FSelEnd = FCursor = a;
    FSelActive = false;
  }
  op.Done();
}

void EditorEngine::DeleteSelection() {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  if (FSelActive && b > a) {
    FDoc->Delete(a, b);
    FSelStart = FSelEnd = FCursor = a;
  }
  op.Done();
}

void EditorEngine::Paste() {
  Operation op(*this, true);
  if (!ClipboardEmpty()) {
    int64_t at = InsertionPoint();
    FDoc->Insert(at, *FClip);
    FSelStart = at;
    FSelEnd = at + FClip->Length();
    FSelActive = true;
    FCursor = at;
  }
  op.Done();
}

void EditorEngine::PasteFromFile(const std::wstring& fileName) {
  Operation op(*this, true);
  int rate = 0, ch = 0;
  SequencePtr s = DecodeFile(fileName, rate, ch, FDoc->SampleRate(), FDoc->Channels());
  int64_t at = InsertionPoint();
  FDoc->Insert(at, *s);
  FSelStart = at;
  FSelEnd = at + s->Length();
  FSelActive = true;
  FCursor = at;
  op.Done();
}

void EditorEngine::MixSequence(float sourcePercent, const Sequence& clip, float bufferPercent,
                               Operation& op) {
  // The clip is mixed in from the insertion point over its own length; the
  // document grows with silence when the clip reaches past its end.
  const int ch = FDoc->Channels();
  const int64_t at = InsertionPoint();
  const int64_t n = clip.Length();
  const float gs = std::clamp(sourcePercent, 0.0f, 1000.0f) / 100.0f;
  const float gb = std::clamp(bufferPercent, 0.0f, 1000.0f) / 100.0f;
  SequenceBuilder out(FStore, ch);
  out.AppendRange(FDoc->Seq(), 0, at);
  out.Expect(n);
  constexpr int64_t kChunk = 65536;
  std::vector<float> a(size_t(kChunk * ch)), b(size_t(kChunk * ch));
  for (int64_t pos = 0; pos < n; pos += kChunk) {
    int64_t k = std::min(kChunk, n - pos);
    FDoc->Read(at + pos, k, a.data());
    audioedit::ReadFrames(clip, ch, pos, k, b.data());
    for (int64_t i = 0; i < k * ch; ++i)
      a[size_t(i)] = gs * a[size_t(i)] + gb * b[size_t(i)];
    out.Append(a.data(), k);
    op.Progress(int((pos + k) * 100 / std::max<int64_t>(n, 1)));
  }
  out.AppendRange(FDoc->Seq(), at + n, FDoc->Length());
  Document::State st = FDoc->Current();
  st.Seq = out.Finish();
  FDoc->Commit(std::move(st));
  FSelStart = at;
  FSelEnd = at + n;
  FSelActive = true;
}

void EditorEngine::Mix(float sourcePercent, float bufferPercent) {
  Operation op(*this, true);
  if (!ClipboardEmpty()) {
    SequencePtr clip = FClip;
    if (FClipChannels != FDoc->Channels()) {
      SequenceBuilder b(FStore, FDoc->Channels());
      b.AppendRange(*clip, 0, clip->Length());
      clip = b.Finish();
    }
    MixSequence(sourcePercent, *clip, bufferPercent, op);
  }
  op.Done();
}

void EditorEngine::MixFromFile(float sourcePercent, const std::wstring& fileName,
                               float bufferPercent) {
  Operation op(*this, true);
  int rate = 0, ch = 0;
  SequencePtr s = DecodeFile(fileName, rate, ch, FDoc->SampleRate(), FDoc->Channels());
  MixSequence(sourcePercent, *s, bufferPercent, op);
  op.Done();
}

void EditorEngine::Crop() {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  if (FSelActive && b > a) {
    FDoc->Crop(a, b);
    FSelStart = 0;
    FSelEnd = b - a;
    FCursor = 0;
  }
  op.Done();
}

void EditorEngine::BeginUpdate() {
  if (FBusy) throw EEditorError(kBusy);
  if (FUpdateLevel++ == 0) {
    FSavedClip = FClip;
    if (FDoc) FDoc->BeginGroup();
  }
}

void EditorEngine::EndUpdate() {
  if (FBusy) throw EEditorError(kBusy);
  if (FUpdateLevel == 0) return;
  if (--FUpdateLevel == 0) {
    if (FDoc) FDoc->EndGroup();
    // What was copied inside the bracket was only a means of the bracket's edit.
    FClip = FSavedClip;
    FSavedClip.reset();
    ClampPositions();
    Changed();
  }
}

// ---------------------------------------------------------------------------
// Transforms

ApplyOptions EditorEngine::Options(Operation& op) const {
  ApplyOptions o;
  o.ChannelMask = FChannelMask;
  o.SmoothFrames = FSmooth ? MsToSamples(FSmoothMs) : 0;
  o.Progress = [&op](int p) { op.Progress(p); };
  return o;
}

void EditorEngine::ApplyChain(const std::string& chain, bool keepsLength, double lengthRatio) {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  auto p = MakeFilterProcessor(chain, FDoc->SampleRate(), FDoc->Channels(), keepsLength);
  ApplyOptions o = Options(op);
  o.LengthRatio = lengthRatio;
  int64_t n = ApplyProcessor(*FDoc, a, b, *p, o);
  if (FSelActive && FSelStart != FSelEnd) {
    FSelStart = a;
    FSelEnd = a + n;
  }
  op.Done();
}

void EditorEngine::Trim(float thresholdDb, float timeMs, int side) {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  const int ch = FDoc->Channels();
  const float thr = effects::DbToGain(std::clamp(thresholdDb, -120.0f, 0.0f));
  const int64_t margin = MsToSamples(int64_t(std::clamp(timeMs, 0.0f, 10000.0f)));
  // First and last frame at or above the threshold, each searched from its
  // own end and only where the side needs it: a loud sound is not read through.
  const bool needFirst = side != 1, needLast = side != 0;
  int64_t first = -1, last = -1;
  constexpr int64_t kChunk = 65536;
  std::vector<float> buf(size_t(kChunk * ch));
  auto loud = [&](int64_t f) {
    for (int c = 0; c < ch; ++c)
      if (std::abs(buf[size_t(f * ch + c)]) >= thr) return true;
    return false;
  };
  const int64_t total = std::max<int64_t>(1, b - a);
  int64_t scanned = 0;
  if (needFirst)
    for (int64_t pos = a; pos < b && first < 0; pos += kChunk) {
      int64_t n = std::min(kChunk, b - pos);
      FDoc->Read(pos, n, buf.data());
      for (int64_t f = 0; f < n; ++f)
        if (loud(f)) {
          first = pos + f;
          break;
        }
      scanned += n;
      op.Progress(int(std::min<int64_t>(scanned, total) * 100 / total));
    }
  if (needLast && (!needFirst || first >= 0)) {
    const int64_t stop = needFirst ? first : a;
    for (int64_t end = b; end > stop && last < 0; end -= kChunk) {
      int64_t n = std::min(kChunk, end - stop), pos = end - n;
      FDoc->Read(pos, n, buf.data());
      for (int64_t f = n - 1; f >= 0; --f)
        if (loud(f)) {
          last = pos + f;
          break;
        }
      scanned += n;
      op.Progress(int(std::min<int64_t>(scanned, total) * 100 / total));
    }
    if (!needFirst) first = last;
  }
  int64_t keepA = a, keepB = b;
  if (first < 0) {
    keepB = keepA; // nothing but silence
  } else {
    if (side == 0 || side == 2) keepA = std::max(a, first - margin);
    if (side == 1 || side == 2) keepB = std::min(b, last + 1 + margin);
  }
  if (keepA != a || keepB != b) {
    FDoc->BeginGroup();
    try {
      if (keepB < b) FDoc->Delete(keepB, b);
      if (keepA > a) FDoc->Delete(a, keepA);
    } catch (...) {
      FDoc->AbortGroup();
      throw;
    }
    FDoc->EndGroup();
    if (FSelActive) {
      FSelStart = a;
      FSelEnd = a + (keepB - keepA);
    }
  }
  op.Done();
}

void EditorEngine::SilenceSelection() {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  auto p = MakeGain(0.0f, FDoc->Channels());
  ApplyOptions o = Options(op);
  o.SmoothFrames = 0;
  ApplyProcessor(*FDoc, a, b, *p, o);
  op.Done();
}

void EditorEngine::InsertSilence(int64_t ms) {
  Operation op(*this, true);
  int64_t n = MsToSamples(std::clamp<int64_t>(ms, 0, 24LL * 3600 * 1000));
  if (n > 0) {
    int64_t at = InsertionPoint();
    SequenceBuilder b(FStore, FDoc->Channels());
    b.AppendSilence(n);
    FDoc->Insert(at, *b.Finish());
    FSelStart = at;
    FSelEnd = at + n;
    FSelActive = true;
  }
  op.Done();
}

void EditorEngine::DeleteSilence(float thresholdDb, float attackMs, float releaseMs) {
  ApplyChain(effects::DeleteSilenceChain(thresholdDb, attackMs, releaseMs), false);
}

void EditorEngine::AddNoise(float amplitudeDb, int type) {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  auto p = MakeNoise(effects::DbToGain(std::clamp(amplitudeDb, -120.0f, 0.0f)), type == 2,
                     FDoc->Channels(), uint32_t(GetTickCount()));
  ApplyProcessor(*FDoc, a, b, *p, Options(op));
  op.Done();
}

void EditorEngine::Fade(float startPercent, float endPercent) {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  auto p = MakeRamp(std::clamp(startPercent, 0.0f, 1000.0f) / 100.0f,
                    std::clamp(endPercent, 0.0f, 1000.0f) / 100.0f, b - a, FDoc->Channels());
  ApplyOptions o = Options(op);
  o.SmoothFrames = 0; // a fade is its own smoothing
  ApplyProcessor(*FDoc, a, b, *p, o);
  op.Done();
}

void EditorEngine::Amplify(float percent) {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  auto p = MakeGain(effects::AmplifyGain(percent), FDoc->Channels());
  ApplyProcessor(*FDoc, a, b, *p, Options(op));
  op.Done();
}

void EditorEngine::Normalize(float percent, bool dcAdjust) {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  std::vector<float> mn, mx;
  std::vector<double> mean;
  MeasureRange(*FDoc, a, b, mn, mx, mean, [&](int p) { op.Progress(p); });
  const int ch = FDoc->Channels();
  std::vector<float> offsets(size_t(ch), 0.0f);
  float peak = 0;
  for (int c = 0; c < ch; ++c) {
    if (!(FChannelMask & (1u << c))) continue;
    float dc = dcAdjust ? float(mean[size_t(c)]) : 0.0f;
    offsets[size_t(c)] = -dc;
    peak = std::max({peak, std::abs(mx[size_t(c)] - dc), std::abs(mn[size_t(c)] - dc)});
  }
  if (peak > 0) {
    float gain = std::clamp(percent, 0.0f, 100.0f) / 100.0f / peak;
    auto p = MakeGain(gain, ch, offsets);
    ApplyOptions o = Options(op);
    o.Progress = [&op](int pr) { op.Progress(10 + pr * 9 / 10); };
    ApplyProcessor(*FDoc, a, b, *p, o);
  }
  op.Done();
}

void EditorEngine::Compressor(float thresholdDb, float ratePercent, float rmsMs) {
  ApplyOwn([&](int rate, int channels) {
    return MakeCompressor(rate, channels, thresholdDb, ratePercent, rmsMs);
  });
}

void EditorEngine::Expander(float thresholdDb, float ratePercent, float rmsMs) {
  ApplyChain(effects::ExpanderChain(thresholdDb, ratePercent, rmsMs));
}

void EditorEngine::ChannelConverter(float ll, float lr, float rl, float rr) {
  RequireDocument();
  if (FDoc->Channels() < 2) return; // one channel has nothing to redistribute
  ApplyChain(effects::ChannelConverterChain(ll, lr, rl, rr));
}

void EditorEngine::Vibrato(float depth, float frequency, float phase) {
  ApplyChain(effects::VibratoChain(depth, frequency, phase));
}

void EditorEngine::Delay(float delayMs, float mix, float feedback) {
  ApplyChain(effects::DelayChain(delayMs, mix, feedback));
}

void EditorEngine::Phaser(float delayMs, float mix, float feedback) {
  RequireDocument();
  ApplyChain(effects::PhaserChain(FDoc->SampleRate(), delayMs, mix, feedback));
}

void EditorEngine::Flanger(float delayRate, float mix, float feedback, float sweepDepth,
                           float sweepRate, float sweepPhase) {
  ApplyOwn([&](int rate, int channels) {
    return MakeFlanger(rate, channels, delayRate, mix, feedback, sweepDepth, sweepRate, sweepPhase);
  });
}

void EditorEngine::Reverb(float delayMs, float mix, float feedback, float reverbRate, float dampHz,
                          int stages) {
  ApplyOwn([&](int rate, int channels) {
    return MakeReverb(rate, channels, delayMs, mix, feedback, reverbRate, dampHz, stages);
  });
}

void EditorEngine::Chorus(float delayMs, float mix, float feedback, float sweepDepth,
                          float sweepRate, float sweepPhase) {
  ApplyChain(effects::ChorusChain(delayMs, mix, feedback, sweepDepth, sweepRate, sweepPhase));
}

void EditorEngine::Reverse() {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  ReverseRange(*FDoc, a, b, Options(op));
  op.Done();
}

void EditorEngine::Invert() {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  auto p = MakeGain(-1.0f, FDoc->Channels());
  ApplyProcessor(*FDoc, a, b, *p, Options(op));
  op.Done();
}

void EditorEngine::PitchShift(float ratePercent) {
  RequireDocument();
  ApplyChain(effects::PitchShiftChain(FDoc->SampleRate(), ratePercent));
}

void EditorEngine::StretchTime(float ratePercent) {
  ApplyChain(effects::StretchTimeChain(ratePercent), false,
             100.0 / std::clamp<double>(ratePercent, 50, 500));
}

void EditorEngine::ApplyOwn(const std::function<ProcessorPtr(int rate, int channels)>& make) {
  Operation op(*this, true);
  int64_t a, b;
  Range(a, b);
  auto p = make(FDoc->SampleRate(), FDoc->Channels());
  int64_t n = ApplyProcessor(*FDoc, a, b, *p, Options(op));
  if (FSelActive && FSelStart != FSelEnd) { // as ApplyChain leaves it
    FSelStart = a;
    FSelEnd = a + n;
  }
  op.Done();
}

// The filters of NotchChain and BandPassChain, computed by the engine.
void EditorEngine::NotchFilter(float frequency, float steepness) {
  ApplyOwn([&](int rate, int channels) {
    return MakeBiquad(effects::NotchCoefficients(rate, frequency, steepness), channels);
  });
}

void EditorEngine::BandPass(float frequency, float steepness) {
  ApplyOwn([&](int rate, int channels) {
    return MakeBiquad(effects::BandPassCoefficients(rate, frequency, steepness), channels);
  });
}

void EditorEngine::LowPass(float frequency, float steepness) {
  RequireDocument();
  ApplyChain(effects::LowPassChain(FDoc->SampleRate(), frequency, steepness));
}

void EditorEngine::HighPass(float frequency, float steepness) {
  RequireDocument();
  ApplyChain(effects::HighPassChain(FDoc->SampleRate(), frequency, steepness));
}

void EditorEngine::LowShelf(float gainDb, float frequency, float steepness) {
  RequireDocument();
  ApplyChain(effects::LowShelfChain(FDoc->SampleRate(), gainDb, frequency, steepness));
}

void EditorEngine::HighShelf(float gainDb, float frequency, float steepness) {
  RequireDocument();
  ApplyChain(effects::HighShelfChain(FDoc->SampleRate(), gainDb, frequency, steepness));
}

void EditorEngine::PeakEQFilter(float gainDb, float frequency, float steepness) {
  RequireDocument();
  ApplyChain(effects::PeakEqChain(FDoc->SampleRate(), gainDb, frequency, steepness));
}

} // namespace audioedit
