// Wave input and output devices of the platform (waveIn/waveOut with event
// callbacks served by a worker thread), device enumeration, recording mixer
// lines, and a hidden window that runs callbacks on the GUI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>
#include <mmsystem.h>

namespace audio {

// ---------------------------------------------------------------------------
// Hidden message-only window owned by the thread that creates it. Post() may be
// called from any thread; the function runs on the owner thread between window
// messages. Exceptions leaving a function go to HandleEventException.

class TNotifyWindow {
public:
  TNotifyWindow();
  ~TNotifyWindow();
  TNotifyWindow(const TNotifyWindow&) = delete;
  TNotifyWindow& operator=(const TNotifyWindow&) = delete;

  HWND Handle() const { return FHandle; }
  void Post(std::function<void()> fn);
  // Drops every function posted but not yet run.
  void Cancel();
  // Runs fn every intervalMs on the owner thread until StopTimer(id).
  void StartTimer(UINT_PTR id, UINT intervalMs, std::function<void()> fn);
  void StopTimer(UINT_PTR id);

private:
  static LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l);
  void RunPosted();
  HWND FHandle = nullptr;
  std::mutex FLock;
  std::deque<std::function<void()>> FQueue;
  bool FWakePosted = false;
  std::map<UINT_PTR, std::function<void()>> FTimers;
};

// ---------------------------------------------------------------------------
// Devices

struct TWaveDeviceInfo {
  UINT Id = 0; // 0-based device id of the platform
  std::wstring Name;
  DWORD Formats = 0;
  int Channels = 0;
};
std::vector<TWaveDeviceInfo> WaveInDevices();
std::vector<TWaveDeviceInfo> WaveOutDevices();

// A 16-bit PCM format (or the given depth).
WAVEFORMATEX PcmFormat(int sampleRate, int channels, int bitsPerSample = 16);

// ---------------------------------------------------------------------------
// Capture. Buffers are filled by the driver; the worker thread hands each
// filled part to OnData (worker thread) and queues the buffer again. A device
// that stops delivering for StallMs while started (StartMs before its first
// data: a loaded system may take seconds to start), or a failing driver call,
// ends the capture and calls OnFault (worker thread) once.

class TWaveIn {
public:
  using TDataHandler = std::function<void(const int16_t* samples, size_t frames)>;
  using TFaultHandler = std::function<void(const std::wstring& text)>;

  TWaveIn() = default;
  ~TWaveIn();
  TWaveIn(const TWaveIn&) = delete;
  TWaveIn& operator=(const TWaveIn&) = delete;

  // device: 0-based id or WAVE_MAPPER. Returns the waveIn result (0 = started).
  MMRESULT Start(UINT device, int sampleRate, int channels, int bufferFrames, int bufferCount,
                 TDataHandler onData, TFaultHandler onFault);
  // Stops the device; every sample recorded so far has reached OnData when
  // this returns. Harmless when not started.
  void Stop();
  bool Running() const { return FRunning; }
  int Channels() const { return FChannels; }

  int StallMs = 3000;
  int StartMs = 15000;

private:
  void Worker();
  size_t Harvest(bool requeue); // buffers handed on
  void Fault(const std::wstring& text);
  HWAVEIN FHandle = nullptr;
  HANDLE FEvent = nullptr;
  std::vector<WAVEHDR> FHeaders;
  std::vector<std::vector<int16_t>> FBuffers;
  size_t FNext = 0;
  int FChannels = 0;
  std::atomic<bool> FRunning{false}, FQuit{false}, FFaulted{false};
  std::thread FThread;
  std::mutex FLock; // guards Harvest
  TDataHandler FOnData;
  TFaultHandler FOnFault;
};

// ---------------------------------------------------------------------------
// Playback. Write() queues one block with the driver; OnDone (worker thread)
// is called with the block's cookie when the driver has played it.

class TWaveOut {
public:
  using TDoneHandler = std::function<void(uint64_t cookie)>;

  TWaveOut() = default;
  ~TWaveOut();
  TWaveOut(const TWaveOut&) = delete;
  TWaveOut& operator=(const TWaveOut&) = delete;

  // Returns the waveOut result (0 = opened).
  MMRESULT Open(UINT device, int sampleRate, int channels, TDoneHandler onDone);
  bool IsOpen() const { return FHandle != nullptr; }
  // Queues a copy of frames interleaved frames. Returns the waveOut result.
  MMRESULT Write(const int16_t* samples, size_t frames, uint64_t cookie);
  // Frames played since Open or the last Reset.
  int64_t PlayedFrames();
  // Frames queued and not yet reported done.
  size_t Pending();
  // Stops playback and forgets the queue without calling OnDone.
  void Reset();
  void Close();
  int SampleRate() const { return FRate; }
  int Channels() const { return FChannels; }

private:
  struct TBlock {
    WAVEHDR Header{};
    std::vector<int16_t> Data;
    uint64_t Cookie = 0;
  };
  void Worker();
  void Collect(bool notify);
  HWAVEOUT FHandle = nullptr;
  HANDLE FEvent = nullptr;
  int FRate = 0, FChannels = 0;
  std::mutex FLock;
  std::deque<std::unique_ptr<TBlock>> FQueue;
  std::atomic<bool> FQuit{false};
  std::atomic<bool> FResetting{false};
  std::thread FThread;
  TDoneHandler FOnDone;
};

// ---------------------------------------------------------------------------
// Recording mixer lines of one wave input device: the sources connected to its
// recording destination, or the destination itself when it has none. Missing
// controls are reported as absent, never raised.

class TRecordingMixer {
public:
  explicit TRecordingMixer(UINT waveInDevice);
  ~TRecordingMixer();
  TRecordingMixer(const TRecordingMixer&) = delete;
  TRecordingMixer& operator=(const TRecordingMixer&) = delete;

  int LineCount() const { return static_cast<int>(FLines.size()); }
  // index is 0-based.
  std::wstring LineName(int index) const;
  bool IsSource(int index);
  void SetSource(int index);
  bool HasVolume(int index) const;
  int Volume(int index); // 0..65535
  void SetVolume(int index, int value);
  bool HasBalance(int index) const;
  int Balance(int index); // 0 (left) .. 50 (centre) .. 100 (right)
  void SetBalance(int index, int value);

private:
  struct TLine {
    DWORD LineId = 0;
    std::wstring Name;
    DWORD Channels = 1;
    DWORD VolumeControl = 0;
    bool HasVolume = false;
    DWORD VolumeMin = 0, VolumeMax = 65535;
  };
  bool ReadVolume(const TLine& line, std::vector<DWORD>& values);
  void WriteVolume(const TLine& line, const std::vector<DWORD>& values);
  HMIXER FMixer = nullptr;
  std::vector<TLine> FLines;
  DWORD FMuxControl = 0;
  DWORD FMuxItems = 0;
  bool FHasMux = false;
  bool FMuxIsMixer = false;
  std::vector<DWORD> FMuxLineIds; // line id per mux item
};

} // namespace audio
