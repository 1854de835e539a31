#include "audio/AudioRecord2.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/AudioError.h"
#include "audio/SafeArrays.h"

TAudioRecord2::TAudioRecord2() {
  FDevice = waveInGetNumDevs() > 0 ? 1 : 0;
  FDynamics.SetFormat(FSampleRate, FChannels);
  FDynamics.OnGainChange = [this](int db) { // capture thread, under FLock
    uint64_t gen = FGeneration;
    FNotify.Post([this, gen, db] {
      if (gen == FGeneration && OnGainChange) OnGainChange(this, db);
    });
  };
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
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetFormat(SampleRate, Channels);
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
    FDynamics.Restart();
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
  FDynamics.Process(samples, frames, FAccum);
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
  FDynamics.SetAgcEnabled(Value);
}
void TAudioRecord2::SetAGCAttackTime(int Ms) {
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetAgcAttackTime(Ms);
}
void TAudioRecord2::SetAGCHighLevel(int Db) {
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetAgcHighLevel(Db);
}
void TAudioRecord2::SetAGCLowLevel(int Db) {
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetAgcLowLevel(Db);
}
void TAudioRecord2::SetAccuEnabled(bool Value) {
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetVoiceEnabled(Value);
}
void TAudioRecord2::SetAccuAttackTime(int Ms) {
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetVoiceAttackTime(Ms);
}
void TAudioRecord2::SetAccuReleaseTime(int Ms) {
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetVoiceReleaseTime(Ms);
}
void TAudioRecord2::SetAccuAttackLevel(int Db) {
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetVoiceAttackLevel(Db);
}
void TAudioRecord2::SetAccuReleaseLevel(int Db) {
  std::lock_guard<std::mutex> g(FLock);
  FDynamics.SetVoiceReleaseLevel(Db);
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
