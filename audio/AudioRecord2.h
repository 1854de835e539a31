// The recorder's capture component: records from a wave input device in
// blocks of BlockSize frames, applies automatic gain control and voice
// activation, and reports each finished block on the GUI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>
#include <oleauto.h>

#include "audio/RecordDynamics.h"
#include "audio/WaveDevice.h"

class TAudioRecord2 {
public:
  TAudioRecord2();
  ~TAudioRecord2();
  TAudioRecord2(const TAudioRecord2&) = delete;
  TAudioRecord2& operator=(const TAudioRecord2&) = delete;

  void SetFormat(int SampleRate, int Channels);
  int SampleRate() const { return FSampleRate; }
  int Channels() const { return FChannels; }
  int MsToSamples(int Ms) const;
  int SamplesToMs(int Samples) const;
  void SetBlockSize(int Samples);
  int BlockSize() const { return FBlockSize; }

  // Starts (or resumes) capture; Status() tells whether it runs. Blocks not
  // taken while stopped are discarded.
  void StartRecord();
  // Stops capture. The last partial block is reported before this returns.
  // Harmless when not recording.
  void StopRecord();
  bool Recording() const { return FRunning; }
  // 0 while capture runs (or after a clean stop); otherwise the failure code.
  int Status() const { return FStatus; }
  // Text of the last failure.
  std::wstring LastError() const { return FLastError; }
  // Every finished block not yet taken, as one VT_I2 array (may be empty).
  SAFEARRAY* GetRecordArray();

  // Automatic gain control.
  void SetAGCEnabled(bool Value);
  void SetAGCAttackTime(int Ms); // 0..10000
  void SetAGCHighLevel(int Db);  // -92..0
  void SetAGCLowLevel(int Db);   // -92..0
  bool AGCEnabled() const { return FDynamics.Agc().Enabled; }
  // Voice-activated recording: silence is left out.
  void SetAccuEnabled(bool Value);
  void SetAccuAttackTime(int Ms);  // 10..5000
  void SetAccuReleaseTime(int Ms); // 10..10000
  void SetAccuAttackLevel(int Db); // -92..0
  void SetAccuReleaseLevel(int Db);
  bool AccuEnabled() const { return FDynamics.Voice().Enabled; }

  // Input devices, numbered 1..DeviceCount; 0 = the system's default.
  int16_t DeviceCount() const;
  int16_t Device() const { return FDevice; }
  void SetDevice(int16_t Value);
  std::wstring DeviceName() const;
  bool DeviceUsable() const;

  // Mixer lines of the current device, numbered 1..LineCount.
  int16_t LineCount();
  int Line() const { return FLine; }
  void SetLine(int Value);
  std::wstring LineName();
  bool LineIsSource();
  void SetLineIsSource(bool Value);
  bool LineHasVolume();
  int LineVolume();
  void SetLineVolume(int Value); // 0..65535
  bool LineHasBalance();
  int LineBalance();
  void SetLineBalance(int Value); // 0..100, 50 centred

  std::function<void(TAudioRecord2* Sender, int BlockNumber)> OnEndArrayRecord;
  // After each block: frames captured since StartRecord and the block's peaks (0..32767).
  std::function<void(TAudioRecord2* Sender, int CurrentSamples, int LevelLeft, int LevelRight)>
      OnTimer;
  // The automatic gain changed (gain in dB).
  std::function<void(TAudioRecord2* Sender, int GainDb)> OnGainChange;
  // Capture ended by itself (device lost); Status() is not 0.
  std::function<void(TAudioRecord2* Sender, const std::wstring& Text)> OnError;

private:
  void OnData(const int16_t* samples, size_t frames); // capture thread
  void OnFault(const std::wstring& text);             // capture thread
  void Deliver(uint64_t generation, int block);
  void DeliverTail();
  audio::TRecordingMixer* Mixer();

  int FSampleRate = 44100, FChannels = 2, FBlockSize = 8820;
  int16_t FDevice = 0;
  int FLine = 1;
  int FStatus = 0;
  std::wstring FLastError;
  bool FRunning = false;

  std::mutex FLock; // guards the fields below and the AGC/voice state
  std::vector<int16_t> FAccum;
  std::deque<std::vector<int16_t>> FReady;
  int FBlockNumber = 0;
  std::atomic<uint64_t> FGeneration{0};
  int64_t FCaptured = 0;
  audio::TRecordDynamics FDynamics;

  std::unique_ptr<audio::TRecordingMixer> FMixer;
  int16_t FMixerDevice = -1;
  audio::TWaveIn FWaveIn;
  audio::TNotifyWindow FNotify; // last: destroyed first
};
