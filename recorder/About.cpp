#include "recorder/About.h"

#include <windows.h>

#include <vector>

#include "framework/IniFiles.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "recorder/main.h"

namespace recorder {

namespace {

TLabel* NewLabel(TWinControl* parent, TComponent* owner, const wchar_t* name,
                 const std::wstring& caption, int x, int y, int w) {
  auto* l = new TLabel(owner);
  l->SetName(name);
  l->SetParent(parent);
  l->SetCaption(caption);
  l->SetBounds(x, y, w, 13);
  return l;
}

void OpenAddress(const std::wstring& address) {
  BeginBusy();
  try {
    ShellOpen(nullptr, L"Open", address, L"", SW_SHOWNORMAL);
  } catch (...) {
    EndBusy();
    throw;
  }
  EndBusy();
}

} // namespace

std::wstring ProgramFileVersion() {
  const std::wstring exe = Application->ExeName();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  if (size == 0) return L"";
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(exe.c_str(), 0, size, data.data())) return L"";
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return L"";
  return Format(L"%d.%d.%d.%d", {static_cast<int>(HIWORD(info->dwFileVersionMS)),
                                 static_cast<int>(LOWORD(info->dwFileVersionMS)),
                                 static_cast<int>(HIWORD(info->dwFileVersionLS)),
                                 static_cast<int>(LOWORD(info->dwFileVersionLS))});
}

std::wstring ReadProductVersion() {
  std::wstring file = AddBackslash(ExtractFilePath(Application->ExeName())) + L"msvr.dll";
  if (FileExists(file)) {
    TIniFile ini(file);
    std::wstring version = ini.ReadString(L"SYSTEM", L"Version", L"");
    if (!version.empty()) return version;
  }
  // Without the version file the program's own version resource speaks.
  return ProgramFileVersion();
}

TFormAbout::TFormAbout(TComponent* AOwner) : TForm(AOwner) {
  SetName(L"FormAbout");
  SetCaption(L"About ");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  SetClientSize(454, 337);
  SetPosition(poMainFormCenter);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);

  ImageLogo = new TImage(this);
  ImageLogo->SetName(L"ImageLogo");
  ImageLogo->SetParent(this);
  ImageLogo->SetBounds(8, 8, 120, 290);

  PageControl = new TPageControl(this);
  PageControl->SetName(L"PageControl");
  PageControl->SetParent(this);
  PageControl->SetBounds(136, 8, 310, 290);
  TabSheetAbout = new TTabSheet(this);
  TabSheetAbout->SetName(L"TabSheetAbout");
  TabSheetAbout->SetCaption(L"About");
  TabSheetAbout->SetPageControl(PageControl);
  TabSheetUpdate = new TTabSheet(this);
  TabSheetUpdate->SetName(L"TabSheetUpdate");
  TabSheetUpdate->SetCaption(L"Update");
  TabSheetUpdate->SetPageControl(PageControl);
  PageControl->SetActivePage(TabSheetAbout);

  LabelTitle = NewLabel(TabSheetAbout, this, L"LabelTitle", L"", 12, 16, 280);
  LabelTitle->Font()->SetStyle({fsBold});
  LabelWebCaption = NewLabel(TabSheetAbout, this, L"LabelWebCaption", L"Web site:", 12, 56, 60);
  LabelWeb = NewLabel(TabSheetAbout, this, L"LabelWeb", L"", 80, 56, 210);
  LabelSupportCaption =
      NewLabel(TabSheetAbout, this, L"LabelSupportCaption", L"Support:", 12, 80, 60);
  LabelSupport = NewLabel(TabSheetAbout, this, L"LabelSupport", L"", 80, 80, 210);
  for (TLabel* link : {LabelWeb, LabelSupport}) {
    link->Font()->SetColor(clBlue);
    link->Font()->SetStyle({fsUnderline});
    link->SetCursor(crHandPoint);
  }
  LabelWeb->OnClick = [this](TObject* s) { LabelWebClick(s); };
  LabelSupport->OnClick = [this](TObject* s) { LabelSupportClick(s); };

  LabelProductInfo =
      NewLabel(TabSheetUpdate, this, L"LabelProductInfo", L"Product information", 12, 16, 280);
  LabelProductInfo->Font()->SetStyle({fsBold});
  GroupBoxVersion = new TGroupBox(this);
  GroupBoxVersion->SetName(L"GroupBoxVersion");
  GroupBoxVersion->SetParent(TabSheetUpdate);
  GroupBoxVersion->SetCaption(L"");
  GroupBoxVersion->SetBounds(12, 36, 280, 44);
  LabelVersion = NewLabel(GroupBoxVersion, this, L"LabelVersion", L"", 12, 18, 250);
  LabelCheckUpdate =
      NewLabel(TabSheetUpdate, this, L"LabelCheckUpdate", L"Check for update", 12, 96, 280);
  LabelCheckUpdate->Font()->SetStyle({fsBold});
  LabelUpdateHint = NewLabel(TabSheetUpdate, this, L"LabelUpdateHint",
                             L"To ensure you're using the latest version, click on the \r\n"
                             L"Updates button below.",
                             12, 116, 280);
  LabelUpdateHint->SetHeight(30);
  ButtonUpdates = new TButton(this);
  ButtonUpdates->SetName(L"ButtonUpdates");
  ButtonUpdates->SetParent(TabSheetUpdate);
  ButtonUpdates->SetCaption(L"&Updates...");
  ButtonUpdates->SetBounds(12, 156, 90, 23);
  ButtonUpdates->OnClick = [this](TObject* s) { ButtonUpdatesClick(s); };

  ButtonOK = new TButton(this);
  ButtonOK->SetName(L"ButtonOK");
  ButtonOK->SetParent(this);
  ButtonOK->SetCaption(L"&OK");
  ButtonOK->SetDefault(true);
  ButtonOK->SetModalResult(mrOk);
  ButtonOK->SetBounds(371, 306, 75, 23);

  OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormAbout::FormShow(TObject*) {
  std::wstring version = ReadProductVersion();
  LabelVersion->SetCaption(version);
  LabelTitle->SetCaption(Format(L"%s version: %s", std::wstring(AppTitle), version));
  LabelWeb->SetCaption(GlobalVars.HomePageUrl);
  LabelSupport->SetCaption(GlobalVars.HomePageUrl);
}

void TFormAbout::LabelWebClick(TObject*) {
  OpenAddress(LabelWeb->Caption());
}

void TFormAbout::LabelSupportClick(TObject*) {
  OpenAddress(LabelSupport->Caption());
}

void TFormAbout::ButtonUpdatesClick(TObject*) {
  OpenAddress(GlobalVars.UpdatesPageUrl);
}

} // namespace recorder
