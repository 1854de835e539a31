// Capture library, compression side: exceptions and result-code checking,
// the wave format object, the subject/observer pipeline and the conversion
// chain built on the audio compression manager.
#pragma once

#include <windows.h>

#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

// ---------------------------------------------------------------------------
// Exceptions

FW_DECLARE_EXCEPTION(EACMError, Exception);
FW_DECLARE_EXCEPTION(EACMCodecError, EACMError);
FW_DECLARE_EXCEPTION(EACMConversionError, EACMError);
FW_DECLARE_EXCEPTION(EACMAudioIOError, EACMError);
FW_DECLARE_EXCEPTION(EACMAudioInError, EACMAudioIOError);
FW_DECLARE_EXCEPTION(EACMAudioOutError, EACMAudioIOError);

// Texts of the capture library.
namespace deStrings {
inline constexpr const wchar_t* sActive = L"Cannot perform this action while active.";
inline constexpr const wchar_t* sNotActive = L"Cannot perform this action while not active.";
inline constexpr const wchar_t* sInvalidBufferSize = L"Invalid input buffer size.";
inline constexpr const wchar_t* sGlobalAlloc = L"Cannot allocate global memory.";
inline constexpr const wchar_t* sFormatTooSmall = L"The wave format buffer is too small.";
inline constexpr const wchar_t* sObserveSelf = L"Component cannot observe itself.";
inline constexpr const wchar_t* sNotSubject = L"The selected component is not an audio subject.";
inline constexpr const wchar_t* sConversionNotPossible = L"Conversion not possible.";
inline constexpr const wchar_t* sBufferTooLarge =
    L"Audio is too large to fit into conversion buffer";
inline constexpr const wchar_t* sOpenIn = L"Error opening audio device for input.";
inline constexpr const wchar_t* sPrepareIn = L"Error preparing input header.";
inline constexpr const wchar_t* sAddIn = L"Error adding input buffer.";
inline constexpr const wchar_t* sUnprepareIn = L"Error unpreparing input header.";
inline constexpr const wchar_t* sCloseIn = L"Error closing input device.";
} // namespace deStrings

// The message for a failing result code: the context and a line break (nothing
// when the context is empty), then the code's text.
std::wstring MMResultMessage(MMRESULT code, const std::wstring& context);

// Raises E with MMResultMessage when code is not 0.
template <class E> void CheckMMResult(MMRESULT code, const std::wstring& context = {}) {
  if (code != 0) throw E(MMResultMessage(code, context));
}

// ---------------------------------------------------------------------------
// One wave format: the platform's format header and its extra bytes in a
// fixed 512-byte buffer.

class TdeWaveFormat : public TPersistent {
public:
  static constexpr int BufferSize = 512;
  static constexpr int MaxExtraSize = BufferSize - static_cast<int>(sizeof(WAVEFORMATEX));

  TdeWaveFormat();
  TdeWaveFormat(const TdeWaveFormat& other);
  TdeWaveFormat& operator=(const TdeWaveFormat& other);
  ~TdeWaveFormat() override = default;

  // True when all 512 bytes are the same.
  virtual bool Equals(const TdeWaveFormat& other) const;
  // PCM, 2 channels, 11025 Hz, 22050 bytes/s, block align 2, 8 bits, no extra
  // bytes; the extra bytes themselves are kept.
  virtual void Reset();
  void Assign(const TdeWaveFormat& source);
  // Copies another wave format; other sources raise as for any persistent.
  void Assign(TPersistent* Source) override;

  // The raw property "FormatBuffer": always the whole 512 bytes.
  static constexpr const wchar_t* StreamedName = L"FormatBuffer";
  void ReadFormatBuffer(TStream& stream);
  void WriteFormatBuffer(TStream& stream) const;

  WORD FormatTag() const { return Header()->wFormatTag; }
  void SetFormatTag(WORD value);
  WORD Channels() const { return Header()->nChannels; }
  void SetChannels(WORD value) { Header()->nChannels = value; }
  DWORD SamplesPerSec() const { return Header()->nSamplesPerSec; }
  void SetSamplesPerSec(DWORD value) { Header()->nSamplesPerSec = value; }
  DWORD AvgBytesPerSec() const { return Header()->nAvgBytesPerSec; }
  void SetAvgBytesPerSec(DWORD value) { Header()->nAvgBytesPerSec = value; }
  WORD BlockAlign() const { return Header()->nBlockAlign; }
  void SetBlockAlign(WORD value) { Header()->nBlockAlign = value; }
  WORD BitsPerSample() const { return Header()->wBitsPerSample; }
  void SetBitsPerSample(WORD value) { Header()->wBitsPerSample = value; }
  WORD ExtraSize() const { return Header()->cbSize; }
  // Raises EACMError when value does not fit the buffer.
  void SetExtraSize(WORD value);

  // The header for platform calls.
  WAVEFORMATEX* Header() { return reinterpret_cast<WAVEFORMATEX*>(FBuffer); }
  const WAVEFORMATEX* Header() const { return reinterpret_cast<const WAVEFORMATEX*>(FBuffer); }
  // The whole 512-byte buffer, as it is streamed.
  BYTE* Buffer() { return FBuffer; }
  const BYTE* Buffer() const { return FBuffer; }

protected:
  // Copying into an object of another class leaves it unchanged.
  void AssignTo(TPersistent* Dest) override;

private:
  alignas(8) BYTE FBuffer[BufferSize];
};

// ---------------------------------------------------------------------------
// One stream of the audio compression manager between two formats.

class TMiniConvertor {
public:
  TMiniConvertor(const TdeWaveFormat& source, const TdeWaveFormat& dest);
  ~TMiniConvertor();
  TMiniConvertor(const TMiniConvertor&) = delete;
  TMiniConvertor& operator=(const TMiniConvertor&) = delete;

  void Open(bool realTime);
  void Close();
  bool IsOpen() const { return FOpen; }
  // Converts what is held plus the new data; returns the bytes produced into
  // OutputBuffer(), 0 when the stream wants more input first.
  DWORD Convert(const void* data, DWORD size, bool setFPU, DWORD flags);

  const BYTE* OutputBuffer() const { return FOutput.get(); }
  DWORD HeldBytes() const { return FHeld; }

private:
  struct TFreeBuffer {
    void operator()(BYTE* p) const { std::free(p); }
  };
  using TBuffer = std::unique_ptr<BYTE, TFreeBuffer>;

  void ResetBuffers();
  void GrowInput(DWORD capacity);

  TBuffer FOutput;
  DWORD FOutputSize = 0;
  TdeWaveFormat FSource;
  TdeWaveFormat FDest;
  TBuffer FInput;
  DWORD FCapacity = 0;
  DWORD FHeld = 0;
  ACMSTREAMHEADER FHeader{};
  HACMSTREAM FStream = nullptr;
  bool FOpen = false;
};

// Runs a conversion with every floating-point exception masked.
class TdeFPUGuard {
public:
  explicit TdeFPUGuard(bool enabled);
  ~TdeFPUGuard();
  TdeFPUGuard(const TdeFPUGuard&) = delete;
  TdeFPUGuard& operator=(const TdeFPUGuard&) = delete;

private:
  bool FEnabled;
  unsigned short FControlWord = 0;
  unsigned int FMXCSR = 0;
};

// True when the manager offers a stream from one format to the other.
bool deCanConvert(const TdeWaveFormat& from, const TdeWaveFormat& to, bool realTime);
// The PCM format the manager suggests for source, starting from a copy of
// templ with the PCM tag.
TdeWaveFormat deSuggestPCM(const TdeWaveFormat& source, const TdeWaveFormat& templ);
// The formats of a chain of one to three streams from in to out, both ends
// included. Raises EACMConversionError "Conversion not possible.".
std::vector<TdeWaveFormat> deBuildChain(const TdeWaveFormat& in, const TdeWaveFormat& out,
                                        bool realTime);

// ---------------------------------------------------------------------------
// Subject/observer pipeline. The interfaces carry no reference counts: every
// object lives as long as the component that owns it.

class IdeAudioObserver;

class IdeAudioSubject {
public:
  virtual void Attach(IdeAudioObserver* Observer) = 0;
  virtual void Detach(IdeAudioObserver* Observer) = 0;
  // The format of the published blocks.
  virtual TdeWaveFormat* GetFormat() = 0;

protected:
  ~IdeAudioSubject() = default;
};

class IdeAudioObserver {
public:
  virtual void AudioData(IdeAudioSubject* Subject, void* Data, int Size) = 0;

protected:
  ~IdeAudioObserver() = default;
};

using TBufferEvent = std::function<void(TObject* Sender, void* AudioData, int AudioDataSize)>;
using TAbortableBufferEvent =
    std::function<void(TObject* Sender, void* AudioData, int AudioDataSize, bool& Abort)>;
using TObserverErrorEvent = std::function<void(IdeAudioSubject* Sender, IdeAudioObserver* Observer,
                                               Exception& E, bool& RaiseException)>;
using TdeBlockHandler = std::function<void(IdeAudioSubject* Subject, void* Data, int Size)>;

// The subject interface a component answers, or null.
IdeAudioSubject* deAsSubject(TComponent* component);

// Publishes blocks to its attached observers.
class TdeAudioSubject : public TComponent, public IdeAudioSubject {
public:
  // creator and format must be given; the format stays the creator's.
  TdeAudioSubject(TComponent* creator, TdeWaveFormat* format);
  ~TdeAudioSubject() override;

  void Attach(IdeAudioObserver* Observer) override;
  void Detach(IdeAudioObserver* Observer) override;
  TdeWaveFormat* GetFormat() override { return FFormat; }

  // Hands the block to every observer; see OnError for failing observers.
  void Notify(IdeAudioSubject* Subject, void* Data, int Size);

  int ObserverCount() const { return static_cast<int>(FObservers.size()); }
  TComponent* Creator() const { return FCreator; }
  // Called when an observer raises; clearing RaiseException goes on with the next observer.
  TObserverErrorEvent OnError;

private:
  bool FRaiseByDefault = true;
  TdeWaveFormat* FFormat;
  std::vector<IdeAudioObserver*> FObservers;
  TComponent* FCreator;
};

// Receives the blocks of one subject component.
class TdeAudioObserver : public TComponent, public IdeAudioObserver {
public:
  explicit TdeAudioObserver(TComponent* creator);
  ~TdeAudioObserver() override;

  TComponent* AudioSource() const { return FAudioSource; }
  // Raises EACMError for the creator itself or a component that publishes no blocks.
  void SetAudioSource(TComponent* Value);

  void AudioData(IdeAudioSubject* Subject, void* Data, int Size) override;

  TComponent* Creator() const { return FCreator; }
  TdeBlockHandler OnBlock;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TComponent* FAudioSource = nullptr;
  TComponent* FCreator;
};

// ---------------------------------------------------------------------------
// Converter: a chain of one to three streams between FormatIn and FormatOut.

class TdeAudioConvertor : public TComponent, public IdeAudioSubject, public IdeAudioObserver {
public:
  explicit TdeAudioConvertor(TComponent* AOwner);
  ~TdeAudioConvertor() override;

  bool Active() const { return FActive; }
  void SetActive(bool Value);

  TComponent* AudioSource() const { return FObserver->AudioSource(); }
  void SetAudioSource(TComponent* Value) { FObserver->SetAudioSource(Value); }
  TdeWaveFormat* FormatIn() { return &FFormatIn; }
  void SetFormatIn(const TdeWaveFormat& Value) { FFormatIn.Assign(Value); }
  TdeWaveFormat* FormatOut() { return &FFormatOut; }
  void SetFormatOut(const TdeWaveFormat& Value) { FFormatOut.Assign(Value); }
  bool RequestRealTime() const { return FRequestRealTime; }
  void SetRequestRealTime(bool Value);
  bool Set8087FPUFlag() const { return FSet8087FPUFlag; }
  void SetSet8087FPUFlag(bool Value) { FSet8087FPUFlag = Value; }

  // Converts one block; the result stays as Data()/DataSize() and goes to the observers.
  void Convert(const void* Data, DWORD Size);
  const void* Data() const { return FData; }
  DWORD DataSize() const { return FDataSize; }
  // The formats of the chain while active, both ends included.
  const std::vector<TdeWaveFormat>& ChainFormats() const { return FFormats; }
  int StageCount() const { return static_cast<int>(FStages.size()); }

  void Attach(IdeAudioObserver* Observer) override { FSubject->Attach(Observer); }
  void Detach(IdeAudioObserver* Observer) override { FSubject->Detach(Observer); }
  TdeWaveFormat* GetFormat() override { return &FFormatOut; }
  void AudioData(IdeAudioSubject* Subject, void* Data, int Size) override {
    FObserver->AudioData(Subject, Data, Size);
  }

  TAbortableBufferEvent OnAudioConverted;
  TNotifyEvent OnAudioStreamConverted;
  TObserverErrorEvent OnObserverError;

protected:
  // A block from AudioSource: rebuilt for a new source format, then converted.
  virtual void SourceData(IdeAudioSubject* Subject, void* Data, int Size);
  virtual void DoObserverError(IdeAudioSubject* Sender, IdeAudioObserver* Observer, Exception& E,
                               bool& RaiseException);

private:
  void Open();
  void Close();
  void FreeChain();

  bool FAbort = false;
  bool FActive = false;
  std::unique_ptr<TdeAudioObserver> FObserver;
  std::unique_ptr<TdeAudioSubject> FSubject;
  const void* FData = nullptr;
  DWORD FDataSize = 0;
  std::vector<TdeWaveFormat> FFormats;
  std::vector<std::unique_ptr<TMiniConvertor>> FStages;
  TdeWaveFormat FFormatIn;
  TdeWaveFormat FFormatOut;
  bool FRequestRealTime = false;
  bool FSet8087FPUFlag = true;
};
