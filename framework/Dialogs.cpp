#include "framework/Dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

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

// ---------------------------------------------------------------------------
// Message dialogs

namespace {

struct TButtonKind {
  TMsgDlgButtons Button;
  const wchar_t* Name;
  const wchar_t* Caption;
  TModalResult Result;
};

const TButtonKind ButtonKinds[] = {
    {mbYes, L"Yes", L"&Yes", mrYes},
    {mbNo, L"No", L"&No", mrNo},
    {mbOK, L"OK", L"OK", mrOk},
    {mbCancel, L"Cancel", L"Cancel", mrCancel},
    {mbAbort, L"Abort", L"&Abort", mrAbort},
    {mbRetry, L"Retry", L"&Retry", mrRetry},
    {mbIgnore, L"Ignore", L"&Ignore", mrIgnore},
    {mbAll, L"All", L"&All", mrAll},
    {mbNoToAll, L"NoToAll", L"N&o to All", mrNoToAll},
    {mbYesToAll, L"YesToAll", L"Yes to &All", mrYesToAll},
    {mbHelp, L"Help", L"&Help", mrNone},
};

struct TTypeLook {
  const wchar_t* Caption;
  LPCWSTR Icon;
  UINT Sound;
};

const TTypeLook TypeLooks[] = {
    {L"Warning", IDI_WARNING, MB_ICONEXCLAMATION},
    {L"Error", IDI_ERROR, MB_ICONHAND},
    {L"Information", IDI_INFORMATION, MB_ICONASTERISK},
    {L"Confirmation", IDI_QUESTION, MB_ICONQUESTION},
    {nullptr, nullptr, MB_OK},
};

// A button whose window carries its modal result as control id, as the
// buttons of system dialogs do.
class TMessageButton : public TButton {
public:
  using TButton::TButton;

protected:
  void CreateWnd() override {
    TButton::CreateWnd();
    if (ModalResult() != mrNone)
      SetWindowLongPtrW(FHandle, GWLP_ID, static_cast<LONG_PTR>(ModalResult()));
  }
};

TSize TextSize(TFont* Font, const std::wstring& Text, UINT Flags, int MaxWidth) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, Font->Handle());
  RECT rc{0, 0, MaxWidth, 0};
  std::wstring text = Text.empty() ? L" " : Text;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, Flags | DT_CALCRECT);
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

} // namespace

TForm* CreateMessageDialog(const std::wstring& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  const int margin = 12, spacing = 12, buttonGap = 6, buttonHeight = 25, minButtonWidth = 75;
  const TTypeLook& look = TypeLooks[DlgType];
  auto owned = std::make_unique<TForm>(Application);
  TForm* form = owned.get();
  form->SetBorderStyle(bsDialog);
  form->SetBorderIcons(biSystemMenu);
  form->SetPosition(poScreenCenter);
  form->SetCaption(look.Caption ? std::wstring(look.Caption)
                                : (Application ? Application->Title() : std::wstring()));

  // The icon.
  int textLeft = margin, iconHeight = 0;
  if (look.Icon) {
    auto* image = new TImage(form);
    image->SetName(L"Image");
    image->SetParent(form);
    image->Picture()->Icon()->SetHandle(CopyIcon(LoadIconW(nullptr, look.Icon)));
    int size = image->Picture()->Width() > 0 ? image->Picture()->Width() : 32;
    image->SetBounds(margin, margin, size, size);
    textLeft = margin + size + spacing;
    iconHeight = size;
  }

  // The text, wrapped at half the screen's width.
  const int maxText = std::max(GetSystemMetrics(SM_CXSCREEN) / 2, 200);
  const TSize extent =
      TextSize(form->Font(), Msg, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX, maxText);
  const int textWidth = extent.cx, textHeight = extent.cy;
  auto* message = new TStaticText(form);
  message->SetName(L"Message");
  message->SetParent(form);
  message->SetAutoSize(false);
  message->SetShowAccelChar(false);
  message->SetCaption(Msg);
  int textTop = margin;
  if (iconHeight > textHeight) textTop += (iconHeight - textHeight) / 2;
  message->SetBounds(textLeft, textTop, textWidth, textHeight);

  // The buttons, centred in a row below.
  std::vector<std::pair<const TButtonKind*, int>> kinds;
  for (const auto& kind : ButtonKinds)
    if (Buttons & kind.Button) {
      int w = static_cast<int>(TextSize(form->Font(), kind.Caption, DT_SINGLELINE, 0).cx) + 16;
      kinds.emplace_back(&kind, std::max(w, minButtonWidth));
    }
  int buttonWidth = 0;
  for (auto& k : kinds)
    buttonWidth = std::max(buttonWidth, k.second);
  const int count = static_cast<int>(kinds.size());
  const int rowWidth = count * buttonWidth + std::max(count - 1, 0) * buttonGap;
  const int clientWidth = std::max(textLeft + textWidth, rowWidth + margin) + margin;
  const int buttonTop = std::max(textTop + textHeight, margin + iconHeight) + spacing + 4;
  form->SetClientSize(clientWidth, buttonTop + (count ? buttonHeight + margin : 0));

  TMsgDlgButtons cancelKind = (Buttons & mbCancel) ? mbCancel : (Buttons & mbNo) ? mbNo : mbOK;
  int x = (clientWidth - rowWidth) / 2;
  for (int i = 0; i < count; ++i) {
    const TButtonKind& kind = *kinds[i].first;
    auto* button = new TMessageButton(form);
    button->SetName(kind.Name);
    button->SetParent(form);
    button->SetCaption(kind.Caption);
    button->SetModalResult(kind.Result);
    button->SetBounds(x, buttonTop, buttonWidth, buttonHeight);
    if (i == 0) {
      button->SetDefault(true);
      form->SetActiveControl(button);
    }
    if (kind.Button == cancelKind) button->SetCancel(true);
    x += buttonWidth + buttonGap;
  }
  return owned.release();
}

int MessageDlg(const std::wstring& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  (void)HelpCtx;
  std::unique_ptr<TForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
  MessageBeep(TypeLooks[DlgType].Sound);
  return form->ShowModal();
}

void ShowMessage(const std::wstring& Msg) {
  MessageDlg(Msg, mtCustom, mbOK);
}
