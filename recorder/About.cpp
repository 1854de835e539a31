#include "recorder/About.h"

#include <windows.h>

#include <vector>

#include "framework/IniFiles.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"
#include "recorder/DialogControls.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "recorder/main.h"

namespace recorder {

namespace {

void OpenAddress(const std::wstring& address) {
  BeginBusy();
  TScopeGuard endBusy([] { EndBusy(); });
  ShellOpen(nullptr, L"Open", address, L"", SW_SHOWNORMAL);
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

  const auto bold = [](TLabel& l) { l.Font()->SetStyle({fsBold}); };
  BuildComponents(this, {
                            {ImageLogo, {L"ImageLogo", this, {8, 8, 120, 290}}},
                            {PageControl, {L"PageControl", this, {136, 8, 310, 290}}},
                            {TabSheetAbout, {L"TabSheetAbout", PageControl, {}, L"About"}},
                            {TabSheetUpdate, {L"TabSheetUpdate", PageControl, {}, L"Update"}},
                        });
  PageControl->SetActivePage(TabSheetAbout);
  BuildComponents(
      this,
      {
          {LabelTitle, {L"LabelTitle", TabSheetAbout, {12, 16, 280, 13}}, bold},
          {LabelWebCaption, {L"LabelWebCaption", TabSheetAbout, {12, 56, 60, 13}, L"Web site:"}},
          {LabelWeb,
           {.Name = L"LabelWeb",
            .Parent = TabSheetAbout,
            .Bounds = {80, 56, 210, 13},
            .OnClick = [this](TObject* s) { LabelWebClick(s); }},
           LinkLabel},
          {LabelSupportCaption,
           {L"LabelSupportCaption", TabSheetAbout, {12, 80, 60, 13}, L"Support:"}},
          {LabelSupport,
           {.Name = L"LabelSupport",
            .Parent = TabSheetAbout,
            .Bounds = {80, 80, 210, 13},
            .OnClick = [this](TObject* s) { LabelSupportClick(s); }},
           LinkLabel},
          {LabelProductInfo,
           {L"LabelProductInfo", TabSheetUpdate, {12, 16, 280, 13}, L"Product information"},
           bold},
          {GroupBoxVersion, {L"GroupBoxVersion", TabSheetUpdate, {12, 36, 280, 44}}},
          {LabelVersion, {L"LabelVersion", GroupBoxVersion, {12, 18, 250, 13}}},
          {LabelCheckUpdate,
           {L"LabelCheckUpdate", TabSheetUpdate, {12, 96, 280, 13}, L"Check for update"},
           bold},
          {LabelUpdateHint,
           {L"LabelUpdateHint",
            TabSheetUpdate,
            {12, 116, 280, 30},
            L"To ensure you're using the latest version, click on the \r\n"
            L"Updates button below."}},
          {ButtonUpdates,
           {.Name = L"ButtonUpdates",
            .Parent = TabSheetUpdate,
            .Bounds = {12, 156, 90, 23},
            .Caption = L"&Updates...",
            .OnClick = [this](TObject* s) { ButtonUpdatesClick(s); }}},
          {ButtonOK,
           {L"ButtonOK", this, {371, 306, 75, 23}, L"&OK"},
           [](TButton& b) {
             b.SetDefault(true);
             b.SetModalResult(mrOk);
           }},
      });

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
