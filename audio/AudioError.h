// The audio engine's exception, helpers that turn system, multimedia and
// codec failures into readable texts, the engine's file-name checks and an
// owner of system handles.
#pragma once

#include <exception>
#include <memory>
#include <string>

#include <windows.h>
#include <mmsystem.h>

// Raised by every audio component on failure; carries the text shown to the user.
class EAudioError : public std::exception {
public:
  explicit EAudioError(std::wstring message);
  const std::wstring& Message() const { return FMessage; }
  // The message in UTF-8.
  const char* what() const noexcept override { return FWhat.c_str(); }

private:
  std::wstring FMessage;
  std::string FWhat;
};

namespace audio {

[[noreturn]] void RaiseAudioError(const std::wstring& message);
// "Disk is full" for the disk-full codes, otherwise the system's text.
std::wstring SystemErrorText(DWORD code);
// Text of a waveIn (input = true) or waveOut result code.
std::wstring WaveErrorText(MMRESULT code, bool input);
// Text of an FFmpeg error code.
std::wstring MediaErrorText(int averror);

std::wstring Utf8ToWide(const std::string& s);
std::string WideToUtf8(const std::wstring& s);

// True for a file on a disk: false for devices (CON, COM1, AUX, NUL, ...),
// pipes, \\.\ names and folders. Device names are refused by name, without
// opening them, since opening a device can block.
bool IsOrdinaryFile(const std::wstring& fileName);

// Owns a system handle (file, event); closes it when it goes out of scope.
struct THandleCloser {
  void operator()(HANDLE h) const noexcept {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using THandle = std::unique_ptr<void, THandleCloser>;

// Runs the handler installed for exceptions that escape event handlers fired
// from the engine's hidden windows. Without one, the text is shown in a box.
void HandleEventException(std::exception_ptr e);
void SetEventExceptionHandler(void (*handler)(std::exception_ptr));

} // namespace audio
