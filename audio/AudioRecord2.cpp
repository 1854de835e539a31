#include "audio/AudioRecord2.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/AudioError.h"
#include "audio/SafeArrays.h"

namespace {

constexpr int kChunkMs = 10; // analysis step of gain control and voice activation

double PeakDb(const int16_t* s, size_t n) {
  int peak = 0;
  for (size_t i = 0; i < n; ++i)
    peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  if (peak == 0) return -120.0;
  return 20.0 * std::log10(peak / 32768.0);
}

} // namespace

TAudioRecord2::TAudioRecord2() {
  FDevice = waveInGetNumDevs() > 0 ? 1 : 0;
}

TAudioRecord2::~TAudioRecord2() {
  FWaveIn.Stop();
  FNotify.Cancel();
}

void TAudioRecord2::SetFormat(int SampleRate, int Channels) {
  if (SampleRate < 1000 || SampleRate > 384000)
    audio::RaiseAudioError(L"Unsupported recording sample rate: " + std::to_wstring(SampleRate) +
                           L" Hz");
  if (Channels < 1 || Channels > 2)
    audio::RaiseAudioError(L"Unsupported number of recording channels: " +
                           std::to_wstring(Channels));
  if (FRunning) audio::RaiseAudioError(L"The recording format cannot change while recording");
  FSampleRate = SampleRate;
  FChannels = Channels;
}

int TAudioRecord2::MsToSamples(int Ms) const {
  return MulDiv(Ms, FSampleRate, 1000);
}
int TAudioRecord2::SamplesToMs(int Samples) const {
  return MulDiv(Samples, 1000, FSampleRate);
}

void TAudioRecord2::SetBlockSize(int Samples) {
  if (Samples <= 0) audio::RaiseAudioError(L"The block size must be positive");
  std::lock_guard<std::mutex> g(FLock);
  FBlockSize = Samples;
}

void TAudioRecord2::StartRecord() {
  if (FRunning) return;
  {
    std::lock_guard<std::mutex> g(FLock);
    FAccum.clear();
    FReady.clear();
    ++FGeneration;
    FCaptured = 0;
    FAccu.Active = false;
    FAccu.AboveMs = FAccu.BelowMs = 0;
    FAccu.PreRoll.clear();
    FAccu.PreRollFrames = 0;
  }
  FNotify.Cancel();
  FLastError.clear();
  UINT device = FDevice > 0 ? static_cast<UINT>(FDevice - 1) : WAVE_MAPPER;
  int bufferFrames = std::max(64, FSampleRate / 20); // 50 ms
  MMRESULT r = FWaveIn.Start(
      device, FSampleRate, FChannels, bufferFrames, 8,
      [this](const int16_t* s, size_t n) { OnData(s, n); },
      [this](const std::wstring& text) { OnFault(text); });
  FStatus = static_cast<int>(r);
  if (r != MMSYSERR_NOERROR) {
    FLastError = audio::WaveErrorText(r, true);
    return;
  }
  FRunning = true;
}

void TAudioRecord2::StopRecord() {
  if (!FRunning) return;
  FWaveIn.Stop(); // every captured frame has passed OnData now
  FRunning = false;
  DeliverTail();
}

void TAudioRecord2::DeliverTail() {
  int block = 0;
  {
    std::lock_guard<std::mutex> g(FLock);
    if (!FAccum.empty()) {
      FReady.push_back(std::move(FAccum));
      FAccum.clear();
    }
    ++FGeneration; // blocks posted earlier are taken with this one
    if (FReady.empty()) return;
    block = ++FBlockNumber;
  }
  FNotify.Cancel();
  if (OnEndArrayRecord) OnEndArrayRecord(this, block);
}

SAFEARRAY* TAudioRecord2::GetRecordArray() {
  std::vector<int16_t> all;
  {
    std::lock_guard<std::mutex> g(FLock);
    for (auto& b : FReady)
      all.insert(all.end(), b.begin(), b.end());
    FReady.clear();
  }
  return audio::CreateSampleArray(all);
}

void TAudioRecord2::OnData(const int16_t* samples, size_t frames) {
  std::lock_guard<std::mutex> g(FLock);
  size_t chunkFrames = std::max<size_t>(1, static_cast<size_t>(FSampleRate) * kChunkMs / 1000);
  std::vector<int16_t> chunk, out;
  for (size_t at = 0; at < frames; at += chunkFrames) {
    size_t n = std::min(chunkFrames, frames - at);
    chunk.assign(samples + at * FChannels, samples + (at + n) * FChannels);
    out.clear();
    Process(chunk, out);
    FAccum.insert(FAccum.end(), out.begin(), out.end());
  }
  FCaptured += static_cast<int64_t>(frames);
  size_t blockSamples = static_cast<size_t>(FBlockSize) * FChannels;
  while (FAccum.size() >= blockSamples) {
    std::vector<int16_t> block(FAccum.begin(),
                               FAccum.begin() + static_cast<ptrdiff_t>(blockSamples));
    FAccum.erase(FAccum.begin(), FAccum.begin() + static_cast<ptrdiff_t>(blockSamples));
    int left = 0, right = 0;
    for (size_t i = 0; i < block.size(); i += FChannels) {
      left = std::max(left, std::abs(static_cast<int>(block[i])));
      right = std::max(right, std::abs(static_cast<int>(block[i + FChannels - 1])));
    }
    FReady.push_back(std::move(block));
    int number = ++FBlockNumber;
    uint64_t gen = FGeneration;
    int captured = static_cast<int>(std::min<int64_t>(FCaptured, 0x7FFFFFFF));
    left = std::min(left, 32767);
    right = std::min(right, 32767);
    FNotify.Post([this, gen, number, captured, left, right] {
      if (gen != FGeneration) return;
      if (OnEndArrayRecord) OnEndArrayRecord(this, number);
      if (gen == FGeneration && OnTimer) OnTimer(this, captured, left, right);
    });
  }
}

void TAudioRecord2::Process(std::vector<int16_t>& chunk, std::vector<int16_t>& out) {
  size_t frames = chunk.size() / FChannels;
  int chunkMs = std::max(1, static_cast<int>(frames * 1000 / FSampleRate));
  if (FAgc.Enabled) {
    double level = PeakDb(chunk.data(), chunk.size()) + 20.0 * std::log10(FAgc.Gain);
    double target = FAgc.Gain;
    double rate = 0;
    if (level > FAgc.HighDb) {
      target = FAgc.Gain * std::pow(10.0, (FAgc.HighDb - level) / 20.0);
      rate = FAgc.AttackMs <= 0 ? 1.0 : std::min(1.0, static_cast<double>(chunkMs) / FAgc.AttackMs);
    } else if (level < FAgc.LowDb && level > -90.0) {
      target = FAgc.Gain * std::pow(10.0, (FAgc.LowDb - level) / 20.0);
      rate = std::min(1.0, chunkMs / 2000.0); // rise slowly
    }
    FAgc.Gain = std::clamp(FAgc.Gain + (target - FAgc.Gain) * rate, 0.01, 31.6);
    for (auto& s : chunk)
      s = static_cast<int16_t>(std::clamp(std::lround(s * FAgc.Gain), -32768L, 32767L));
    int db = static_cast<int>(std::lround(20.0 * std::log10(FAgc.Gain)));
    if (db != FAgc.ReportedDb) {
      FAgc.ReportedDb = db;
      uint64_t gen = FGeneration;
      FNotify.Post([this, gen, db] {
        if (gen == FGeneration && OnGainChange) OnGainChange(this, db);
      });
    }
  }
  if (!FAccu.Enabled) {
    out.insert(out.end(), chunk.begin(), chunk.end());
    return;
  }
  double level = PeakDb(chunk.data(), chunk.size());
  if (!FAccu.Active) {
    FAccu.AboveMs = level >= FAccu.AttackDb ? FAccu.AboveMs + chunkMs : 0;
    FAccu.PreRoll.push_back(chunk);
    FAccu.PreRollFrames += static_cast<int>(frames);
    // Keep the sound that led to the start (the attack time) and no more.
    int keep = MulDiv(std::max(FAccu.AttackMs, kChunkMs), FSampleRate, 1000);
    while (FAccu.PreRoll.size() > 1 &&
           FAccu.PreRollFrames - static_cast<int>(FAccu.PreRoll.front().size() / FChannels) >=
               keep) {
      FAccu.PreRollFrames -= static_cast<int>(FAccu.PreRoll.front().size() / FChannels);
      FAccu.PreRoll.pop_front();
    }
    if (FAccu.AboveMs >= FAccu.AttackMs) {
      FAccu.Active = true;
      FAccu.BelowMs = 0;
      for (auto& c : FAccu.PreRoll)
        out.insert(out.end(), c.begin(), c.end());
      FAccu.PreRoll.clear();
      FAccu.PreRollFrames = 0;
    }
    return;
  }
  FAccu.BelowMs = level < FAccu.ReleaseDb ? FAccu.BelowMs + chunkMs : 0;
  out.insert(out.end(), chunk.begin(), chunk.end());
  if (FAccu.BelowMs >= FAccu.ReleaseMs) {
    FAccu.Active = false;
    FAccu.AboveMs = 0;
  }
}

void TAudioRecord2::OnFault(const std::wstring& text) {
  uint64_t gen;
  {
    std::lock_guard<std::mutex> g(FLock);
    gen = FGeneration;
  }
  FNotify.Post([this, gen, text] {
    if (gen != FGeneration || !FRunning) return;
    FWaveIn.Stop();
    FRunning = false;
    FStatus = MMSYSERR_ERROR;
    FLastError = text;
    DeliverTail();
    if (OnError) OnError(this, text);
  });
}

// ---------------------------------------------------------------------------
// Gain control and voice activation settings; values out of range are clamped.

void TAudioRecord2::SetAGCEnabled(bool Value) {
  std::lock_guard<std::mutex> g(FLock);
  FAgc.Enabled = Value;
  if (!Value) FAgc.Gain = 1.0;
}
void TAudioRecord2::SetAGCAttackTime(int Ms) {
  std::lock_guard<std::mutex> g(FLock);
  FAgc.AttackMs = std::clamp(Ms, 0, 10000);
}
void TAudioRecord2::SetAGCHighLevel(int Db) {
  std::lock_guard<std::mutex> g(FLock);
  FAgc.HighDb = std::clamp(Db, -92, 0);
  FAgc.LowDb = std::min(FAgc.LowDb, FAgc.HighDb);
}
void TAudioRecord2::SetAGCLowLevel(int Db) {
  std::lock_guard<std::mutex> g(FLock);
  FAgc.LowDb = std::clamp(Db, -92, 0);
  FAgc.HighDb = std::max(FAgc.LowDb, FAgc.HighDb);
}
void TAudioRecord2::SetAccuEnabled(bool Value) {
  std::lock_guard<std::mutex> g(FLock);
  FAccu.Enabled = Value;
  FAccu.Active = false;
}
void TAudioRecord2::SetAccuAttackTime(int Ms) {
  std::lock_guard<std::mutex> g(FLock);
  FAccu.AttackMs = std::clamp(Ms, 10, 5000);
}
void TAudioRecord2::SetAccuReleaseTime(int Ms) {
  std::lock_guard<std::mutex> g(FLock);
  FAccu.ReleaseMs = std::clamp(Ms, 10, 10000);
}
void TAudioRecord2::SetAccuAttackLevel(int Db) {
  std::lock_guard<std::mutex> g(FLock);
  FAccu.AttackDb = std::clamp(Db, -92, 0);
}
void TAudioRecord2::SetAccuReleaseLevel(int Db) {
  std::lock_guard<std::mutex> g(FLock);
  FAccu.ReleaseDb = std::clamp(Db, -92, 0);
}

// ---------------------------------------------------------------------------
// Devices and mixer lines

int16_t TAudioRecord2::DeviceCount() const {
  return static_cast<int16_t>(std::min<UINT>(waveInGetNumDevs(), 0x7FFF));
}

void TAudioRecord2::SetDevice(int16_t Value) {
  if (Value < 0 || Value > DeviceCount())
    audio::RaiseAudioError(L"There is no recording device " + std::to_wstring(Value));
  if (FRunning && Value != FDevice)
    audio::RaiseAudioError(L"The recording device cannot change while recording");
  FDevice = Value;
}

std::wstring TAudioRecord2::DeviceName() const {
  WAVEINCAPSW caps{};
  UINT id = FDevice > 0 ? static_cast<UINT>(FDevice - 1) : WAVE_MAPPER;
  if (waveInGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR) return {};
  return caps.szPname;
}

bool TAudioRecord2::DeviceUsable() const {
  UINT id = FDevice > 0 ? static_cast<UINT>(FDevice - 1) : WAVE_MAPPER;
  WAVEFORMATEX f = audio::PcmFormat(44100, 2, 16);
  if (waveInOpen(nullptr, id, &f, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR) return true;
  f = audio::PcmFormat(44100, 1, 16);
  return waveInOpen(nullptr, id, &f, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
}

audio::TRecordingMixer* TAudioRecord2::Mixer() {
  if (!FMixer || FMixerDevice != FDevice) {
    FMixer = std::make_unique<audio::TRecordingMixer>(FDevice > 0 ? FDevice - 1 : 0);
    FMixerDevice = FDevice;
  }
  return FMixer.get();
}

int16_t TAudioRecord2::LineCount() {
  return static_cast<int16_t>(Mixer()->LineCount());
}
void TAudioRecord2::SetLine(int Value) {
  FLine = Value;
}
std::wstring TAudioRecord2::LineName() {
  return Mixer()->LineName(FLine - 1);
}
bool TAudioRecord2::LineIsSource() {
  return Mixer()->IsSource(FLine - 1);
}
void TAudioRecord2::SetLineIsSource(bool Value) {
  if (Value) Mixer()->SetSource(FLine - 1);
}
bool TAudioRecord2::LineHasVolume() {
  return Mixer()->HasVolume(FLine - 1);
}
int TAudioRecord2::LineVolume() {
  return Mixer()->Volume(FLine - 1);
}
void TAudioRecord2::SetLineVolume(int Value) {
  Mixer()->SetVolume(FLine - 1, Value);
}
bool TAudioRecord2::LineHasBalance() {
  return Mixer()->HasBalance(FLine - 1);
}
int TAudioRecord2::LineBalance() {
  return Mixer()->Balance(FLine - 1);
}
void TAudioRecord2::SetLineBalance(int Value) {
  Mixer()->SetBalance(FLine - 1, Value);
}
