// The recorder's player: plays queued VT_I2 blocks through the wave output
// and asks for more on the GUI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <oleauto.h>

#include "audio/WaveDevice.h"

class TAudioPlayer2 {
public:
  TAudioPlayer2();
  ~TAudioPlayer2();
  TAudioPlayer2(const TAudioPlayer2&) = delete;
  TAudioPlayer2& operator=(const TAudioPlayer2&) = delete;

  void SetFormat(int SampleRate, int Channels);
  int SampleRate() const { return FSampleRate; }
  int Channels() const { return FChannels; }
  int MsToSamples(int Ms) const;
  int SamplesToMs(int Samples) const;

  // Starts playing the queued blocks; the sample count restarts at 0.
  void Play();
  // 0 while playing (or after a clean stop); otherwise the failure code.
  int Status() const { return FStatus; }
  std::wstring LastError() const { return FLastError; }
  // Stops and drops the queue; harmless when idle.
  void Stop();
  bool Playing() const { return FPlaying; }
  // Queues a copy of the block. An empty block marks the end: OnEndPlay
  // follows once everything queued has been played.
  void LoadArray(SAFEARRAY*& Array);
  // Frames played since the last Play.
  int Position();
  // Output device: 0 = the system's default, 1..n a device.
  void SetDevice(int Value) { FDevice = Value; }
  int Device() const { return FDevice; }

  std::function<void(TAudioPlayer2* Sender)> OnEndArrayPlay;
  std::function<void(TAudioPlayer2* Sender)> OnRequestOnLoadArray;
  std::function<void(TAudioPlayer2* Sender)> OnEndPlay;
  // Every 100 ms while playing: Position and the playing block's peaks (0..32767).
  std::function<void(TAudioPlayer2* Sender, int CurrentSamples, int LevelLeft, int LevelRight)>
      OnTimer;

private:
  void Write(const std::vector<int16_t>& samples);
  void BlockDone(uint64_t generation);
  void CheckEnd();
  void Tick();

  int FSampleRate = 44100, FChannels = 2;
  int FDevice = 0;
  int FStatus = 0;
  std::wstring FLastError;
  bool FPlaying = false;
  bool FEnd = false, FEndFired = false, FRequested = false;
  int64_t FWritten = 0;
  int FLastPosition = 0;
  std::deque<std::vector<int16_t>> FWaiting; // loaded before Play
  struct TPeak {
    int64_t End;
    int Left, Right;
  };
  std::deque<TPeak> FPeaks;
  std::atomic<uint64_t> FGeneration{0};
  audio::TWaveOut FWaveOut;
  audio::TNotifyWindow FNotify; // last: destroyed first
};
