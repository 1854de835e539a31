#include "editor/funcs.h"

#include <shellapi.h>

#include <cwchar>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Registry.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"

namespace editor {

void ShowHelpTopic(HWND window, const std::wstring& topic) {
  ShowHtmlHelp(
      window, AddBackslash(ExtractFilePath(Application->ExeName())) + L"help.chm::/" + topic, 0, 0);
}

void OpenUrl(const std::wstring& url) {
  TBusyCursor busy;
  ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring ShellItemDisplayName(IShellFolder* folder, LPCITEMIDLIST itemId, bool forParsing) {
  STRRET sr{};
  HRESULT hr = folder->GetDisplayNameOf(itemId, forParsing ? SHGDN_FORPARSING : SHGDN_NORMAL, &sr);
  if (FAILED(hr)) throw Exception(L"The shell cannot name the folder: " + SysErrorMessage(hr));
  std::wstring name;
  switch (sr.uType) {
  case STRRET_WSTR:
    if (sr.pOleStr) {
      name = sr.pOleStr;
      CoTaskMemFree(sr.pOleStr);
    }
    break;
  case STRRET_OFFSET: {
    const char* p = reinterpret_cast<const char*>(itemId) + sr.uOffset;
    size_t max = itemId->mkid.cb > sr.uOffset ? itemId->mkid.cb - sr.uOffset : 0;
    name = AnsiToWide(std::string(p, strnlen(p, max)));
    break;
  }
  case STRRET_CSTR:
    name = AnsiToWide(std::string(sr.cStr, strnlen(sr.cStr, sizeof(sr.cStr))));
    break;
  }
  return name;
}

std::wstring GetTempFolderPath() {
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH, buf);
  if (n == 0 || n > MAX_PATH) RaiseLastOSError();
  IShellFolder* desktop = nullptr;
  HRESULT hr = SHGetDesktopFolder(&desktop);
  if (FAILED(hr)) throw Exception(L"The shell's desktop folder is not available.");
  LPITEMIDLIST id = nullptr;
  TScopeGuard release([&] {
    if (id) CoTaskMemFree(id);
    desktop->Release();
  });
  ULONG eaten = 0;
  HWND owner = Application ? Application->Handle() : nullptr;
  hr = desktop->ParseDisplayName(owner, nullptr, buf, &eaten, &id, nullptr);
  if (FAILED(hr))
    throw Exception(Format(L"The temp folder \"%s\" cannot be found.", std::wstring(buf)));
  IShellFolder* bound = nullptr;
  hr = desktop->BindToObject(id, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&bound));
  if (FAILED(hr))
    throw Exception(Format(L"The temp folder \"%s\" cannot be opened.", std::wstring(buf)));
  bound->Release();
  std::wstring result = ShellItemDisplayName(desktop, id, true);
  while (result.size() > 3 && result.back() == L'\\')
    result.pop_back();
  return result;
}

std::unique_ptr<TStringList> SplitString(const std::wstring& text, const std::wstring& delimiter) {
  auto list = std::make_unique<TStringList>();
  std::wstring rest = text;
  if (!delimiter.empty()) {
    for (size_t p; (p = rest.find(delimiter)) != std::wstring::npos;) {
      list->Add(rest.substr(0, p));
      rest.erase(0, p + delimiter.size());
    }
  }
  list->Add(rest);
  return list;
}

int64_t TimeToMilliseconds(int hours, int minutes, int seconds, int milliseconds) {
  // Computed wide so that large hour counts cannot overflow.
  return int64_t(hours) * 3600000 + int64_t(minutes) * 60000 + int64_t(seconds) * 1000 +
         milliseconds;
}

void DecodeMilliseconds(int64_t ms, int& hours, int& minutes, int& seconds, int& milliseconds) {
  int64_t t = ms / 1000;
  hours = static_cast<int>(t / 3600);
  minutes = static_cast<int>((t % 3600) / 60);
  seconds = static_cast<int>(t % 60);
  milliseconds = static_cast<int>(ms % 1000);
}

std::wstring FormatMilliseconds(int64_t ms) {
  int h, m, s, z;
  DecodeMilliseconds(ms, h, m, s, z);
  return Format(L"%.2d:%.2d:%.2d.%.3d", h, m, s, z);
}

std::wstring GetFreeSpaceText(const std::wstring& folder) {
  ULARGE_INTEGER avail{}, total{}, freeBytes{};
  std::wstring path = folder.empty() ? folder : AddBackslash(folder);
  if (path.empty() || !GetDiskFreeSpaceExW(path.c_str(), &avail, &total, &freeBytes))
    return L"Error!";
  return FormatFloat(L"#,##0.00 MB", double(avail.QuadPart) / 1048576.0);
}

int AskConfirmation(const std::wstring& text, const std::wstring& caption) {
  std::unique_ptr<TForm> form(CreateMessageDialog(text, mtConfirmation, mbYesNoCancel));
  form->SetCaption(caption);
  MessageBeep(MB_ICONQUESTION);
  return form->ShowModal();
}

int ShowMessageBox(const std::wstring& text, const std::wstring& caption, int flags) {
  return Application->MessageBox(text, caption, static_cast<UINT>(flags));
}

} // namespace editor
