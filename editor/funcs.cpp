#include "editor/funcs.h"

#include <shellapi.h>

#include <cwchar>
#include <vector>

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
  std::wstring result;
  try {
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
    result = ShellItemDisplayName(desktop, id, true);
  } catch (...) {
    if (id) CoTaskMemFree(id);
    desktop->Release();
    throw;
  }
  CoTaskMemFree(id);
  desktop->Release();
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

namespace {

class TMessageForm : public TForm {
public:
  explicit TMessageForm(TComponent* owner) : TForm(owner) {}
};

struct TButtonDef {
  TMsgDlgButtons flag;
  const wchar_t* caption;
  int result;
};

} // namespace

int ShowCustomMessageDialog(const std::wstring& text, const std::wstring& caption, TMsgDlgType kind,
                            std::initializer_list<std::wstring> buttonCaptions,
                            TMsgDlgButtons buttons) {
  static const TButtonDef defs[] = {{mbYes, L"&Yes", mrYes},
                                    {mbNo, L"&No", mrNo},
                                    {mbOK, L"OK", mrOk},
                                    {mbCancel, L"Cancel", mrCancel}};
  std::unique_ptr<TMessageForm> form(new TMessageForm(nullptr));
  form->SetBorderStyle(bsDialog);
  form->SetCaption(caption);
  form->SetPosition(poScreenCenter);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetCaption(text);
  label->SetBounds(16, 16, 320, 40);
  std::vector<TButton*> list;
  for (const auto& d : defs) {
    if (!(buttons & d.flag)) continue;
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->SetCaption(d.caption);
    b->SetModalResult(d.result);
    if (d.result == mrCancel) b->SetCancel(true);
    list.push_back(b);
  }
  size_t i = 0;
  for (const auto& c : buttonCaptions) {
    if (i >= list.size()) break;
    if (!c.empty()) list[i]->SetCaption(c);
    ++i;
  }
  int width = std::max<int>(352, int(list.size()) * 83 + 24);
  form->SetClientSize(width, 100);
  int x = (width - int(list.size()) * 83 + 8) / 2;
  for (auto* b : list) {
    b->SetBounds(x, 64, 75, 25);
    x += 83;
  }
  if (!list.empty()) list.front()->SetDefault(true);
  UINT beep = kind == mtWarning        ? MB_ICONEXCLAMATION
              : kind == mtError        ? MB_ICONHAND
              : kind == mtConfirmation ? MB_ICONQUESTION
                                       : MB_OK;
  MessageBeep(beep);
  return form->ShowModal();
}

int ShowMessageBox(const std::wstring& text, const std::wstring& caption, int flags) {
  return Application->MessageBox(text, caption, static_cast<UINT>(flags));
}

} // namespace editor
