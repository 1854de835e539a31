// Automatic gain control and voice activation of a recording: 16-bit
// interleaved frames in, the frames to keep out, analysed in 10 ms steps.
// Used by the recorder's capture component and by the editor's recording.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace audio {

struct TAgcSettings {
  bool Enabled = false;
  int AttackMs = 4, HighDb = -10, LowDb = -40;
};

struct TVoiceSettings {
  bool Enabled = false;
  int AttackMs = 100, ReleaseMs = 300, AttackDb = -45, ReleaseDb = -45;
};

class TRecordDynamics {
public:
  void SetFormat(int sampleRate, int channels);
  // Setters clamp: AGC attack 0..10000 ms, levels -92..0 dB (setting one
  // level moves the other so that low <= high); voice attack 10..5000 ms,
  // release 10..10000 ms, levels -92..0 dB.
  void SetAgcEnabled(bool v); // off: the gain returns to 0 dB
  void SetAgcAttackTime(int ms);
  void SetAgcHighLevel(int db);
  void SetAgcLowLevel(int db);
  void SetVoiceEnabled(bool v);
  void SetVoiceAttackTime(int ms);
  void SetVoiceReleaseTime(int ms);
  void SetVoiceAttackLevel(int db);
  void SetVoiceReleaseLevel(int db);
  const TAgcSettings& Agc() const { return FAgcSet; }
  const TVoiceSettings& Voice() const { return FVoiceSet; }
  // A new take: voice activation waits for sound again (the gain is kept).
  void Restart();
  // Appends to out what is kept of the frames, with the gain applied.
  void Process(const int16_t* samples, size_t frames, std::vector<int16_t>& out);
  // Current automatic gain in dB (0 while the control is off).
  int GainDb() const { return FReportedDb; }
  // Called from Process when the gain in whole dB changes.
  std::function<void(int gainDb)> OnGainChange;

private:
  void Step(std::vector<int16_t>& chunk, std::vector<int16_t>& out);
  int FRate = 44100, FChannels = 2;
  TAgcSettings FAgcSet;
  TVoiceSettings FVoiceSet;
  double FGain = 1.0;
  int FReportedDb = 0;
  bool FActive = false;
  int FAboveMs = 0, FBelowMs = 0;
  std::deque<std::vector<int16_t>> FPreRoll;
  int FPreRollFrames = 0;
  std::vector<int16_t> FChunk;
};

} // namespace audio
