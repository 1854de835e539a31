#include "tests/support/Tone.h"

#include <cmath>
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

} // namespace testsupport
