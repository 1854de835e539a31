#include "framework/Dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

// ---------------------------------------------------------------------------
// File dialogs

namespace {

struct TOptionFlag {
  TOpenOptions option;
  DWORD flag;
};

const TOptionFlag OptionFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
};

// "a|b|c|d" -> "a\0b\0c\0d\0\0"
std::wstring FilterBuffer(const std::wstring& filter) {
  std::wstring r = filter;
  for (auto& c : r)
    if (c == L'|') c = L'\0';
  r.push_back(L'\0');
  r.push_back(L'\0');
  return r;
}

} // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() {
  Destroying();
}

void TOpenDialog::SetDefaultExt(const std::wstring& Value) {
  FDefaultExt = Value;
  if (!FDefaultExt.empty() && FDefaultExt[0] == L'.') FDefaultExt.erase(0, 1);
}

bool TOpenDialog::Execute() {
  return DoExecute(false);
}

bool TSaveDialog::Execute() {
  return DoExecute(true);
}

bool TOpenDialog::DoExecute(bool Save) {
  const bool multi = (FOptions & ofAllowMultiSelect) != 0;
  std::vector<wchar_t> buffer(multi ? 65536 : MAX_PATH * 4, L'\0');
  std::wstring initialName = FFileName;
  if (initialName.size() >= buffer.size()) initialName.resize(buffer.size() - 1);
  std::copy(initialName.begin(), initialName.end(), buffer.begin());
  std::wstring filter = FilterBuffer(FFilter);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = FFilter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FFilterIndex);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
  ofn.Flags = OFN_EXPLORER;
  for (const auto& f : OptionFlags)
    if (FOptions & f.option) ofn.Flags |= f.flag;

  if (OnShow) OnShow(this);
  BOOL ok = Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (OnClose) OnClose(this);
  if (!ok) return false;

  FFilterIndex = static_cast<int>(ofn.nFilterIndex);
  if (ofn.Flags & OFN_EXTENSIONDIFFERENT)
    FOptions |= ofExtensionDifferent;
  else
    FOptions &= ~ofExtensionDifferent;
  if (ofn.Flags & OFN_READONLY)
    FOptions |= ofReadOnly;
  else
    FOptions &= ~ofReadOnly;

  // A multiple selection comes as the folder followed by the names.
  FFiles->Clear();
  std::vector<std::wstring> parts;
  const wchar_t* p = buffer.data();
  while (*p) {
    parts.emplace_back(p);
    p += parts.back().size() + 1;
    if (!multi) break;
  }
  if (parts.size() <= 1) {
    FFiles->Add(parts.empty() ? L"" : parts[0]);
  } else {
    std::wstring dir = parts[0];
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    for (size_t i = 1; i < parts.size(); ++i)
      FFiles->Add(dir + parts[i]);
  }
  FFileName = FFiles->Count() ? FFiles->Strings(0) : L"";
  return true;
}

// ---------------------------------------------------------------------------
// Folder browser

namespace {

int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM lParam, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data)
    SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, data);
  else if (msg == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), path);
    SendMessageW(wnd, BFFM_ENABLEOK, 0, ok);
  }
  return 0;
}

} // namespace

bool SelectDirectory(const std::wstring& Caption, const std::wstring& Root, std::wstring& Directory,
                     HWND Owner) {
  PIDLIST_ABSOLUTE root = nullptr;
  if (!Root.empty()) SHParseDisplayName(Root.c_str(), nullptr, &root, 0, nullptr);
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW bi{};
  bi.hwndOwner = Owner ? Owner : GetActiveWindow();
  bi.pidlRoot = root;
  bi.pszDisplayName = display;
  bi.lpszTitle = Caption.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  bi.lpfn = BrowseCallback;
  bi.lParam = Directory.empty() ? 0 : reinterpret_cast<LPARAM>(Directory.c_str());
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&bi);
  bool result = false;
  if (item) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, path)) {
      Directory = path;
      result = true;
    }
    CoTaskMemFree(item);
  }
  if (root) CoTaskMemFree(root);
  return result;
}
