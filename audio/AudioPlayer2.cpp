#include "audio/AudioPlayer2.h"

#include <algorithm>
#include <cstdlib>

#include "audio/AudioError.h"
#include "audio/SafeArrays.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 100;
} // namespace

TAudioPlayer2::TAudioPlayer2() = default;

TAudioPlayer2::~TAudioPlayer2() {
  ++FGeneration;
  FWaveOut.Close();
  FNotify.Cancel();
}

void TAudioPlayer2::SetFormat(int SampleRate, int Channels) {
  if (SampleRate < 1000 || SampleRate > 384000)
    audio::RaiseAudioError(L"Unsupported playback sample rate: " + std::to_wstring(SampleRate) +
                           L" Hz");
  if (Channels < 1 || Channels > 2)
    audio::RaiseAudioError(L"Unsupported number of playback channels: " +
                           std::to_wstring(Channels));
  if (FPlaying) Stop();
  FSampleRate = SampleRate;
  FChannels = Channels;
}

int TAudioPlayer2::MsToSamples(int Ms) const {
  return MulDiv(Ms, FSampleRate, 1000);
}
int TAudioPlayer2::SamplesToMs(int Samples) const {
  return MulDiv(Samples, 1000, FSampleRate);
}

void TAudioPlayer2::Play() {
  if (FPlaying) return;
  uint64_t gen = ++FGeneration;
  FNotify.Cancel();
  UINT device = FDevice > 0 ? static_cast<UINT>(FDevice - 1) : WAVE_MAPPER;
  MMRESULT r = FWaveOut.Open(device, FSampleRate, FChannels, [this, gen](uint64_t) {
    FNotify.Post([this, gen] { BlockDone(gen); });
  });
  FStatus = static_cast<int>(r);
  if (r != MMSYSERR_NOERROR) {
    FLastError = audio::WaveErrorText(r, false);
    return;
  }
  FLastError.clear();
  FPlaying = true;
  FEndFired = false;
  FRequested = false;
  FWritten = 0;
  FLastPosition = 0;
  FPeaks.clear();
  auto waiting = std::move(FWaiting);
  FWaiting.clear();
  for (auto& b : waiting)
    Write(b);
  FNotify.StartTimer(kTimerId, kTimerMs, [this] { Tick(); });
  if (FEnd) CheckEnd();
}

void TAudioPlayer2::Stop() {
  FWaiting.clear();
  FEnd = false;
  if (!FPlaying) return;
  FLastPosition = Position();
  ++FGeneration;
  FPlaying = false;
  FNotify.StopTimer(kTimerId);
  FWaveOut.Close();
  FNotify.Cancel();
  FPeaks.clear();
}

void TAudioPlayer2::LoadArray(SAFEARRAY*& Array) {
  std::vector<int16_t> samples = audio::SampleArrayToVector(Array);
  samples.resize(samples.size() - samples.size() % static_cast<size_t>(FChannels));
  if (samples.empty()) {
    FEnd = true;
    if (FPlaying) CheckEnd();
    return;
  }
  FEnd = false;
  FEndFired = false;
  if (!FPlaying) {
    FWaiting.push_back(std::move(samples));
    return;
  }
  Write(samples);
}

void TAudioPlayer2::Write(const std::vector<int16_t>& samples) {
  size_t frames = samples.size() / FChannels;
  MMRESULT r = FWaveOut.Write(samples.data(), frames, FGeneration);
  if (r != MMSYSERR_NOERROR)
    audio::RaiseAudioError(L"Cannot play the sound: " + audio::WaveErrorText(r, false));
  int left = 0, right = 0;
  for (size_t i = 0; i < samples.size(); i += FChannels) {
    left = std::max(left, std::abs(static_cast<int>(samples[i])));
    right = std::max(right, std::abs(static_cast<int>(samples[i + FChannels - 1])));
  }
  FWritten += static_cast<int64_t>(frames);
  FPeaks.push_back({FWritten, std::min(left, 32767), std::min(right, 32767)});
  FRequested = false;
}

void TAudioPlayer2::BlockDone(uint64_t generation) {
  if (generation != FGeneration || !FPlaying) return;
  if (OnEndArrayPlay) OnEndArrayPlay(this);
  if (generation != FGeneration || !FPlaying) return;
  if (FWaveOut.Pending() == 0) {
    if (FEnd) {
      CheckEnd();
    } else if (!FRequested) {
      // Ran dry without the end mark: ask for data.
      FRequested = true;
      if (OnRequestOnLoadArray) OnRequestOnLoadArray(this);
    }
  }
}

void TAudioPlayer2::CheckEnd() {
  if (!FPlaying || !FEnd || FEndFired || FWaveOut.Pending() != 0) return;
  FEndFired = true;
  uint64_t gen = FGeneration;
  FNotify.Post([this, gen] {
    if (gen != FGeneration || !FPlaying) return;
    if (OnEndPlay) OnEndPlay(this);
  });
}

int TAudioPlayer2::Position() {
  if (!FPlaying) return FLastPosition;
  int64_t p = std::min<int64_t>(FWaveOut.PlayedFrames(), FWritten);
  return static_cast<int>(std::min<int64_t>(p, 0x7FFFFFFF));
}

void TAudioPlayer2::Tick() {
  if (!FPlaying) return;
  int pos = Position();
  while (FPeaks.size() > 1 && FPeaks.front().End <= pos)
    FPeaks.pop_front();
  int left = FPeaks.empty() ? 0 : FPeaks.front().Left;
  int right = FPeaks.empty() ? 0 : FPeaks.front().Right;
  if (OnTimer) OnTimer(this, pos, left, right);
}
