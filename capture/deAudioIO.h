// Capture library, device side: the memory pool of the wave buffers and the
// wave-in device component, which hands filled buffers to its observers on
// the thread that created it.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "capture/deACM.h"

// ---------------------------------------------------------------------------
// Pool of global memory blocks. Each block stores its requested size in its
// first 32-bit word; callers get the address behind it.

class TdeBufferPool {
public:
  TdeBufferPool() = default;
  ~TdeBufferPool() { Clear(); }
  TdeBufferPool(const TdeBufferPool&) = delete;
  TdeBufferPool& operator=(const TdeBufferPool&) = delete;

  // A free block of exactly size bytes, else the free block with the smallest
  // excess below size, else a new block. Raises EACMAudioOutError.
  void* Get(DWORD size);
  // Hands a block back to the free list.
  void Return(void* block);
  // Empties the free list and releases every block.
  void Clear();

  static DWORD SizeOf(const void* block) { return static_cast<const DWORD*>(block)[-1]; }
  size_t FreeCount() const { return FFree.size(); }
  size_t BlockCount() const { return FAll.size(); }

private:
  std::vector<void*> FFree; // user addresses
  std::vector<HGLOBAL> FAll;
};

// The buffer size the device opens with: cut to whole frames when autoAdjust
// is set; raises EACMAudioInError "Invalid input buffer size." when the size
// is not a whole number of samples.
DWORD deAdjustBufferSize(DWORD size, const TdeWaveFormat& format, bool autoAdjust);

// ---------------------------------------------------------------------------
// Device base: open/close with events, a buffer pool and a hidden window that
// receives the driver's messages on the creating thread.

class TdeAudioIO : public TComponent {
public:
  explicit TdeAudioIO(TComponent* AOwner);
  ~TdeAudioIO() override;

  bool Active() const { return FActive; }
  // true opens, false closes; the current value does nothing.
  void SetActive(bool Value);
  bool AutoOpen() const { return FAutoOpen; }
  void SetAutoOpen(bool Value) { FAutoOpen = Value; }
  BYTE BufferCount() const { return FBufferCount; }
  void SetBufferCount(BYTE Value) { DoSetBufferCount(Value); }
  TdeWaveFormat* Format() { return &FFormat; }
  void SetFormat(const TdeWaveFormat& Value) { FFormat.Assign(Value); }
  HWND Handle() const { return FWindow; }

  TNotifyEvent AfterClose;
  TNotifyEvent AfterOpen;
  TNotifyEvent BeforeClose;
  TNotifyEvent BeforeOpen;

  void Loaded() override;

protected:
  virtual void DoClose() {}
  virtual void DoOpen() {}
  virtual void DoSetBufferCount(BYTE Value) { FBufferCount = Value; }
  virtual void WndProc(TMessage& Message);

  TdeBufferPool& Pool() { return FPool; }
  std::vector<WAVEHDR*>& Headers() { return FHeaders; }
  const std::vector<WAVEHDR*>& Headers() const { return FHeaders; }

private:
  bool FActive = false;
  bool FAutoOpen = true;
  TdeBufferPool FPool;
  BYTE FBufferCount = 4;
  TdeWaveFormat FFormat;
  std::vector<WAVEHDR*> FHeaders;
  HWND FWindow = nullptr;
};

// Input device base: publishes every filled buffer to its observers.
class TdeAbstractAudioIn : public TdeAudioIO, public IdeAudioSubject {
public:
  explicit TdeAbstractAudioIn(TComponent* AOwner);
  ~TdeAbstractAudioIn() override;

  bool AutoAdjustBufferSize() const { return FAutoAdjustBufferSize; }
  void SetAutoAdjustBufferSize(bool Value) { FAutoAdjustBufferSize = Value; }

  void Attach(IdeAudioObserver* Observer) override { FSubject->Attach(Observer); }
  void Detach(IdeAudioObserver* Observer) override { FSubject->Detach(Observer); }
  TdeWaveFormat* GetFormat() override { return Format(); }

  TObserverErrorEvent OnObserverError;

protected:
  virtual void DoObserverError(IdeAudioSubject* Sender, IdeAudioObserver* Observer, Exception& E,
                               bool& RaiseException);
  TdeAudioSubject* Subject() { return FSubject.get(); }

private:
  std::unique_ptr<TdeAudioSubject> FSubject;
  bool FAutoAdjustBufferSize = true;
};

// Wave input on one device. Filled buffers are handed to the observers and
// OnAudioRecorded, then queued again.
class TdeCustomAudioIn : public TdeAbstractAudioIn {
public:
  explicit TdeCustomAudioIn(TComponent* AOwner);
  ~TdeCustomAudioIn() override;

  DWORD BufferSize() const { return FBufferSize; }
  // Raises EACMAudioIOError while active.
  void SetBufferSize(DWORD Value);
  // 255: the system's default device.
  BYTE DeviceID() const { return FDeviceID; }
  void SetDeviceID(BYTE Value) { FDeviceID = Value; }
  HWAVEIN WaveIn() const { return FWaveIn; }
  // The last delivered block.
  const void* Data() const { return FData; }
  int DataSize() const { return FDataSize; }
  // Buffers handed to the driver and not yet returned.
  int QueuedCount() const {
    return static_cast<int>(const_cast<TdeCustomAudioIn*>(this)->Headers().size());
  }

  TBufferEvent OnAudioRecorded;

protected:
  virtual void DoAudioRecorded(void* Data, int Size);
  void DoClose() override;
  void DoOpen() override;
  void DoSetBufferCount(BYTE Value) override;
  void WndProc(TMessage& Message) override;

private:
  void ReleaseHeader(WAVEHDR* Header);
  void Requeue(WAVEHDR* Header);
  void ReportDeliveryFailure(std::exception_ptr Failure);

  const void* FData = nullptr;
  int FDataSize = 0;
  DWORD FBufferSize = 22050;
  BYTE FDeviceID = 255;
  HWAVEIN FWaveIn = nullptr;
  // The failure already reported for the current run of failing deliveries.
  std::wstring FReportedFailure;
};

class TdeAudioIn : public TdeCustomAudioIn {
public:
  using TdeCustomAudioIn::TdeCustomAudioIn;
};
