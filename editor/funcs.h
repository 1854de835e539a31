// Small routines of the editor: folders, the busy cursor, HTML Help, the temp
// folder, strings, time texts, free space and message boxes.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "framework/AppUtils.h"
#include "framework/Strings.h"

namespace editor {

// Shared with the recorder.
using ::AddBackslash;
using ::BeginBusy;
using ::BusyCount;
using ::EndBusy;
using ::GetShellFolder;
using ::GetSystemDir;
using ::IsVistaOrLater;
using ::ShowHtmlHelp;

// BeginBusy for the life of the object.
class TBusyCursor {
public:
  TBusyCursor() { BeginBusy(); }
  ~TBusyCursor() { EndBusy(); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// "help.chm::/<topic>" beside the program.
void ShowHelpTopic(HWND window, const std::wstring& topic);
// The shell's "open" verb, inside a busy-cursor bracket.
void OpenUrl(const std::wstring& url);

// The user's temp folder in its long parsing form (no trailing backslash);
// raises when the shell cannot parse or bind it.
std::wstring GetTempFolderPath();
std::wstring ShellItemDisplayName(IShellFolder* folder, LPCITEMIDLIST itemId, bool forParsing);

// The parts of text between single-character delimiters (an empty text gives one empty item).
std::unique_ptr<TStringList> SplitString(const std::wstring& text, const std::wstring& delimiter);

int64_t TimeToMilliseconds(int hours, int minutes, int seconds, int milliseconds);
void DecodeMilliseconds(int64_t ms, int& hours, int& minutes, int& seconds, int& milliseconds);
// hh:mm:ss.mmm
std::wstring FormatMilliseconds(int64_t ms);

// Free space on the volume of folder (drive, UNC or mounted path) as
// "#,##0.00 MB", "Error!" when it cannot be read.
std::wstring GetFreeSpaceText(const std::wstring& folder);

// String table texts.
inline const wchar_t* const SFileNotFound =
    L"An error occurred while opening files:\r\n\r\nThe file \"%s\" could not be found.";
inline const wchar_t* const SInvalidTempFolder =
    L"Invalid temporary folder: \"%s\" \r\n\r\nPlease check.";
inline const wchar_t* const SInvalidOggBitrate =
    L"Invalid OGG bitrate: Nominal bitrate \"%s\", Min bitrate: \"%s\", Max bitrate: "
    L"\"%s\"\r\n\r\nPlease make "
    L"sure Mix bitrate <(or=) Nominal bitrate <(or=) Max bitrate.";
inline const wchar_t* const SErrorCaption = L"Error";

// A confirmation with its own caption, the question beep and the buttons
// Yes, No and Cancel. Returns the modal result (mrYes, mrNo, mrCancel).
int AskConfirmation(const std::wstring& text, const std::wstring& caption);
// The application's message box.
int ShowMessageBox(const std::wstring& text, const std::wstring& caption, int flags);

} // namespace editor
