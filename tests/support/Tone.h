// A tone played to the default wave output until destroyed. Under the test
// bench the output is the null sink, whose monitor is the default input, so
// the tone is what a capture records.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class TonePlayer {
public:
  // level: amplitude 0..1 per channel; one second of the tone is looped.
  explicit TonePlayer(double hz = 1000.0, double left = 0.5, double right = 0.5);
  ~TonePlayer();
  TonePlayer(const TonePlayer&) = delete;
  TonePlayer& operator=(const TonePlayer&) = delete;
  bool Ok() const { return ok_; }

private:
  HWAVEOUT out_ = nullptr;
  WAVEHDR header_{};
  std::vector<int16_t> samples_;
  bool ok_ = false;
};

// Writes a 16-bit PCM WAV file of a sine tone, the same in every channel
// (amplitude 0 writes silence); a file that cannot be written fails the test.
void WriteToneWav(const std::wstring& path, int rate, int channels, uint32_t frames,
                  double hz = 440, double amplitude = 8000);

} // namespace testsupport
