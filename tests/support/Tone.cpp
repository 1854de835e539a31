#include "tests/support/Tone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace testsupport {

TonePlayer::TonePlayer(double hz, double left, double right) {
  const int rate = 44100;
  samples_.resize(rate * 2);
  for (int i = 0; i < rate; ++i) {
    double v = std::sin(2 * std::numbers::pi * hz * i / rate);
    samples_[2 * i] = static_cast<int16_t>(std::lround(v * left * 32767));
    samples_[2 * i + 1] = static_cast<int16_t>(std::lround(v * right * 32767));
  }
  WAVEFORMATEX wf{WAVE_FORMAT_PCM, 2, rate, rate * 4, 4, 16, 0};
  if (waveOutOpen(&out_, WAVE_MAPPER, &wf, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    out_ = nullptr;
    return;
  }
  header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
  header_.dwBufferLength = static_cast<DWORD>(samples_.size() * sizeof(int16_t));
  header_.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
  header_.dwLoops = 100000;
  waveOutPrepareHeader(out_, &header_, sizeof(header_));
  ok_ = waveOutWrite(out_, &header_, sizeof(header_)) == MMSYSERR_NOERROR;
}

TonePlayer::~TonePlayer() {
  if (!out_) return;
  waveOutReset(out_);
  waveOutUnprepareHeader(out_, &header_, sizeof(header_));
  waveOutClose(out_);
}

void WriteToneWav(const std::wstring& path, int rate, int channels, uint32_t frames, double hz,
                  double amplitude) {
  std::vector<int16_t> data(size_t(frames) * size_t(channels));
  for (uint32_t i = 0; i < frames; ++i) {
    const auto v = int16_t(amplitude * std::sin(2 * 3.14159265 * hz * i / rate));
    for (int c = 0; c < channels; ++c)
      data[size_t(i) * size_t(channels) + size_t(c)] = v;
  }
  const uint32_t bytes = uint32_t(data.size() * 2);
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) {
    ADD_FAILURE() << "cannot write the tone file";
    return;
  }
  auto u32 = [&](uint32_t v) { fwrite(&v, 4, 1, f); };
  auto u16 = [&](uint16_t v) { fwrite(&v, 2, 1, f); };
  fwrite("RIFF", 1, 4, f);
  u32(36 + bytes);
  fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);
  u16(uint16_t(channels));
  u32(uint32_t(rate));
  u32(uint32_t(rate * channels * 2));
  u16(uint16_t(channels * 2));
  u16(16);
  fwrite("data", 1, 4, f);
  u32(bytes);
  fwrite(data.data(), 1, bytes, f);
  fclose(f);
}

} // namespace testsupport
