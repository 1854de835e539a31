#include "audio/RecordDynamics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace audio {

namespace {

constexpr int kChunkMs = 10; // analysis step

double PeakDb(const int16_t* s, size_t n) {
  int peak = 0;
  for (size_t i = 0; i < n; ++i)
    peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  if (peak == 0) return -120.0;
  return 20.0 * std::log10(peak / 32768.0);
}

int MsToFrames(int ms, int rate) {
  return static_cast<int>((static_cast<int64_t>(ms) * rate + 500) / 1000);
}

} // namespace

void TRecordDynamics::SetFormat(int sampleRate, int channels) {
  FRate = std::max(1, sampleRate);
  FChannels = std::clamp(channels, 1, 2);
  Restart();
}

void TRecordDynamics::Restart() {
  FActive = false;
  FAboveMs = FBelowMs = 0;
  FPreRoll.clear();
  FPreRollFrames = 0;
}

void TRecordDynamics::SetAgcEnabled(bool v) {
  FAgcSet.Enabled = v;
  if (!v) FGain = 1.0;
}
void TRecordDynamics::SetAgcAttackTime(int ms) {
  FAgcSet.AttackMs = std::clamp(ms, 0, 10000);
}
void TRecordDynamics::SetAgcHighLevel(int db) {
  FAgcSet.HighDb = std::clamp(db, -92, 0);
  FAgcSet.LowDb = std::min(FAgcSet.LowDb, FAgcSet.HighDb);
}
void TRecordDynamics::SetAgcLowLevel(int db) {
  FAgcSet.LowDb = std::clamp(db, -92, 0);
  FAgcSet.HighDb = std::max(FAgcSet.LowDb, FAgcSet.HighDb);
}
void TRecordDynamics::SetVoiceEnabled(bool v) {
  FVoiceSet.Enabled = v;
  FActive = false;
}
void TRecordDynamics::SetVoiceAttackTime(int ms) {
  FVoiceSet.AttackMs = std::clamp(ms, 10, 5000);
}
void TRecordDynamics::SetVoiceReleaseTime(int ms) {
  FVoiceSet.ReleaseMs = std::clamp(ms, 10, 10000);
}
void TRecordDynamics::SetVoiceAttackLevel(int db) {
  FVoiceSet.AttackDb = std::clamp(db, -92, 0);
}
void TRecordDynamics::SetVoiceReleaseLevel(int db) {
  FVoiceSet.ReleaseDb = std::clamp(db, -92, 0);
}

void TRecordDynamics::Process(const int16_t* samples, size_t frames, std::vector<int16_t>& out) {
  size_t chunkFrames = std::max<size_t>(1, static_cast<size_t>(FRate) * kChunkMs / 1000);
  for (size_t at = 0; at < frames; at += chunkFrames) {
    size_t n = std::min(chunkFrames, frames - at);
    FChunk.assign(samples + at * FChannels, samples + (at + n) * FChannels);
    Step(FChunk, out);
  }
}

void TRecordDynamics::Step(std::vector<int16_t>& chunk, std::vector<int16_t>& out) {
  size_t frames = chunk.size() / FChannels;
  int chunkMs = std::max(1, static_cast<int>(frames * 1000 / FRate));
  if (FAgcSet.Enabled) {
    double level = PeakDb(chunk.data(), chunk.size()) + 20.0 * std::log10(FGain);
    double target = FGain;
    double rate = 0;
    if (level > FAgcSet.HighDb) {
      target = FGain * std::pow(10.0, (FAgcSet.HighDb - level) / 20.0);
      rate = FAgcSet.AttackMs <= 0 ? 1.0
                                   : std::min(1.0, static_cast<double>(chunkMs) / FAgcSet.AttackMs);
    } else if (level < FAgcSet.LowDb && level > -90.0) {
      target = FGain * std::pow(10.0, (FAgcSet.LowDb - level) / 20.0);
      rate = std::min(1.0, chunkMs / 2000.0); // rise slowly
    }
    FGain = std::clamp(FGain + (target - FGain) * rate, 0.01, 31.6);
    for (auto& s : chunk)
      s = static_cast<int16_t>(std::clamp(std::lround(s * FGain), -32768L, 32767L));
    int db = static_cast<int>(std::lround(20.0 * std::log10(FGain)));
    if (db != FReportedDb) {
      FReportedDb = db;
      if (OnGainChange) OnGainChange(db);
    }
  }
  if (!FVoiceSet.Enabled) {
    out.insert(out.end(), chunk.begin(), chunk.end());
    return;
  }
  double level = PeakDb(chunk.data(), chunk.size());
  if (!FActive) {
    FAboveMs = level >= FVoiceSet.AttackDb ? FAboveMs + chunkMs : 0;
    FPreRoll.push_back(chunk);
    FPreRollFrames += static_cast<int>(frames);
    // Keep the sound that led to the start (the attack time) and no more.
    int keep = MsToFrames(std::max(FVoiceSet.AttackMs, kChunkMs), FRate);
    while (FPreRoll.size() > 1 &&
           FPreRollFrames - static_cast<int>(FPreRoll.front().size() / FChannels) >= keep) {
      FPreRollFrames -= static_cast<int>(FPreRoll.front().size() / FChannels);
      FPreRoll.pop_front();
    }
    if (FAboveMs >= FVoiceSet.AttackMs) {
      FActive = true;
      FBelowMs = 0;
      for (auto& c : FPreRoll)
        out.insert(out.end(), c.begin(), c.end());
      FPreRoll.clear();
      FPreRollFrames = 0;
    }
    return;
  }
  FBelowMs = level < FVoiceSet.ReleaseDb ? FBelowMs + chunkMs : 0;
  out.insert(out.end(), chunk.begin(), chunk.end());
  if (FBelowMs >= FVoiceSet.ReleaseMs) {
    FActive = false;
    FAboveMs = 0;
  }
}

} // namespace audio
