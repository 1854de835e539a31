// Capture library, compression side: exceptions and result-code checking,
// the wave format object, the subject/observer pipeline and the conversion
// chain built on the audio compression manager.
#pragma once

#include <windows.h>

#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

#include <cstdint>
#include <string>
#include <vector>

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

class TdeWaveFormat {
public:
  static constexpr int BufferSize = 512;
  static constexpr int MaxExtraSize = BufferSize - static_cast<int>(sizeof(WAVEFORMATEX));

  TdeWaveFormat();
  TdeWaveFormat(const TdeWaveFormat& other);
  TdeWaveFormat& operator=(const TdeWaveFormat& other);
  virtual ~TdeWaveFormat() = default;

  // True when all 512 bytes are the same.
  virtual bool Equals(const TdeWaveFormat& other) const;
  // PCM, 2 channels, 11025 Hz, 22050 bytes/s, block align 2, 8 bits, no extra
  // bytes; the extra bytes themselves are kept.
  virtual void Reset();
  void Assign(const TdeWaveFormat& source);

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

  const BYTE* OutputBuffer() const { return FOutput; }
  DWORD HeldBytes() const { return FHeld; }

private:
  void ResetBuffers();
  void GrowInput(DWORD capacity);

  BYTE* FOutput = nullptr;
  DWORD FOutputSize = 0;
  TdeWaveFormat FSource;
  TdeWaveFormat FDest;
  BYTE* FInput = nullptr;
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
