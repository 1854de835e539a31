#include "recorder/Options.h"

#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "recorder/Mp3Format.h"
#include "recorder/OggFormat.h"
#include "recorder/Schedule.h"
#include "recorder/WMAFormat.h"
#include "recorder/WaveFormat.h"
#include "recorder/funcs.h"

#include <cmath>

namespace recorder {

int SpinValue(TFcSpinEdit* edit) {
  double v = edit->Min();
  try {
    const std::wstring t = Trim(edit->Text());
    if (!t.empty()) v = StrToFloat(t);
  } catch (...) {
    v = edit->Min();
  }
  if (!std::isfinite(v)) v = edit->Min();
  return static_cast<int>(std::lround(v));
}

bool RunFormatSetup(TForm* opener, int format, TGlobalVars& g) {
  switch (format) {
  case ofMP3:
    return RunSpecifyDialog<TMp3FormatForm>(opener, g);
  case ofOGG:
    return RunSpecifyDialog<TOggFormatForm>(opener, g);
  case ofWMA:
    return RunSpecifyDialog<TWmaFormatForm>(opener, g);
  case ofWAV:
    return RunSpecifyDialog<TWaveFormatForm>(opener, g);
  default:
    return false;
  }
}

namespace {

// A whole-number spin edit from Min to Max that takes typed keys.
std::function<void(TFcSpinEdit&)> SpinRange(int Min, int Max) {
  return [=](TFcSpinEdit& e) {
    e.SetMin(Min);
    e.SetMax(Max);
    e.SetIntegersOnly(true);
    e.SetAllowKeyEdit(true);
  };
}

} // namespace

TFormOptions::TFormOptions(TComponent* AOwner) : TForm(AOwner) {
  SetupDialog(this, L"Options", 433, 338);
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  const auto schedule = [this](TObject*) { UpdateSchedule(); };
  const auto timeKind = [](TDateTimePicker& d) { d.SetKind(dtkTime); };
  const auto ok = [](TButton& b) { b.SetDefault(true); };
  const auto cancel = [](TButton& b) {
    b.SetModalResult(mrCancel);
    b.SetCancel(true);
  };
  BuildComponents(
      this,
      {
          {PageControl, {L"PageControl", this, {8, 8, 417, 288}}},
          {TabSheetGeneral, {L"TabSheetGeneral", PageControl, {}, L"&General Settings"}},
          {TabSheetHotKey, {L"TabSheetHotKey", PageControl, {}, L"&Hot Key"}},
          {TabSheetSchedule, {L"TabSheetSchedule", PageControl, {}, L"&Schedule"}},
          {TabSheetAGC, {L"TabSheetAGC", PageControl, {}, L"Automatic &Gain Control "}},
          {TabSheetAccu, {L"TabSheetAccu", PageControl, {}, L"&Voice Active System"}},

          // General.
          {GroupBoxFormat,
           {L"GroupBoxFormat", TabSheetGeneral, {8, 8, 393, 72}, L" &Output File Type "}},
          {RadioButtonMp3, {L"RadioButtonMp3", GroupBoxFormat, {12, 20, 90, 17}, L"&Mp3 File"}},
          {RadioButtonOgg, {L"RadioButtonOgg", GroupBoxFormat, {110, 20, 90, 17}, L"&Ogg File"}},
          {RadioButtonWma, {L"RadioButtonWma", GroupBoxFormat, {12, 44, 90, 17}, L"&Wma File"}},
          {RadioButtonWav, {L"RadioButtonWav", GroupBoxFormat, {110, 44, 90, 17}, L"W&av File"}},
          {ButtonFormatSettings,
           {.Name = L"ButtonFormatSettings",
            .Parent = GroupBoxFormat,
            .Bounds = {300, 28, 80, 25},
            .Caption = L"S&ettings",
            .OnClick = [this](TObject* s) { ButtonFormatSettingsClick(s); }}},
          {GroupBoxOutputDir,
           {L"GroupBoxOutputDir", TabSheetGeneral, {8, 88, 393, 84}, L"O&utput Directory"}},
          {EditOutputDir, {L"EditOutputDir", GroupBoxOutputDir, {12, 22, 280, 21}}},
          {btnChangeOutputDir,
           {.Name = L"btnChangeOutputDir",
            .Parent = GroupBoxOutputDir,
            .Bounds = {300, 20, 80, 25},
            .Caption = L"&Change",
            .OnClick = [this](TObject* s) { btnChangeOutputDirClick(s); }}},
          {CheckBoxAutoName,
           {L"CheckBoxAutoName",
            GroupBoxOutputDir,
            {12, 54, 360, 17},
            L"&Auto make file name by date and time."}},
          {CheckBoxSetTop,
           {L"CheckBoxSetTop",
            TabSheetGeneral,
            {16, 184, 360, 17},
            L"S&et the Main Dialog top most"}},

          // Hot keys.
          {CheckBoxActiveHotKey,
           {.Name = L"CheckBoxActiveHotKey",
            .Parent = TabSheetHotKey,
            .Bounds = {16, 16, 200, 17},
            .Caption = L"&Active Hotkey:",
            .OnClick = [this](TObject*) { UpdateHotKeys(); }}},
          {LabelStartRecording,
           {L"LabelStartRecording", TabSheetHotKey, {32, 52, 0, 13}, L"Start &Recording:", true}},
          {HotKeyStartRecording, {L"HotKeyStartRecording", TabSheetHotKey, {140, 48, 160, 21}}},
          {LabelStopRecording,
           {L"LabelStopRecording", TabSheetHotKey, {32, 84, 0, 13}, L"&Stop Recording:", true}},
          {HotKeyStopRecording, {L"HotKeyStopRecording", TabSheetHotKey, {140, 80, 160, 21}}},
          {LabelHotKeyNote,
           {L"LabelHotKeyNote",
            TabSheetHotKey,
            {32, 120, 0, 13},
            L"Click the hotkey to start recording or stop recording.",
            true}},

          // Schedule.
          {CheckBoxEnableSchedule,
           {.Name = L"CheckBoxEnableSchedule",
            .Parent = TabSheetSchedule,
            .Bounds = {16, 12, 250, 17},
            .Caption = L"&Enable Schedule Recording",
            .OnClick = schedule}},
          {GroupBoxDate, {L"GroupBoxDate", TabSheetSchedule, {8, 40, 393, 110}, L"&Date"}},
          {RadioButtonOnce,
           {.Name = L"RadioButtonOnce",
            .Parent = GroupBoxDate,
            .Bounds = {12, 22, 80, 17},
            .Caption = L"&Once:",
            .OnClick = schedule}},
          {DateTimePickerOnce, {L"DateTimePickerOnce", GroupBoxDate, {100, 20, 160, 21}}},
          {RadioButtonDaily,
           {.Name = L"RadioButtonDaily",
            .Parent = GroupBoxDate,
            .Bounds = {12, 50, 80, 17},
            .Caption = L"&Daily",
            .OnClick = schedule}},
          {RadioButtonWeekly,
           {.Name = L"RadioButtonWeekly",
            .Parent = GroupBoxDate,
            .Bounds = {12, 78, 80, 17},
            .Caption = L"&Weekly:",
            .OnClick = schedule}},
          {ComboBoxWeekly,
           {L"ComboBoxWeekly", GroupBoxDate, {100, 76, 160, 21}},
           DropDownList({L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday",
                         L"Saturday"})},
          {GroupBoxTime, {L"GroupBoxTime", TabSheetSchedule, {8, 158, 393, 84}, L"&Time"}},
          {LabelStartAt, {L"LabelStartAt", GroupBoxTime, {12, 24, 0, 13}, L"S&tart at:", true}},
          {DateTimePickerStart,
           {L"DateTimePickerStart", GroupBoxTime, {100, 20, 160, 21}},
           timeKind},
          {LabelStopAt, {L"LabelStopAt", GroupBoxTime, {12, 54, 0, 13}, L"Stop &at:", true}},
          {DateTimePickerStop, {L"DateTimePickerStop", GroupBoxTime, {100, 50, 160, 21}}, timeKind},

          // Automatic gain control.
          {CheckBoxAGC,
           {.Name = L"CheckBoxAGC",
            .Parent = TabSheetAGC,
            .Bounds = {16, 16, 250, 17},
            .Caption = L"Automatic Gain Control  enabled",
            .OnClick = [this](TObject*) { UpdateAGC(); }}},
          {labWhatIsAGC,
           {.Name = L"labWhatIsAGC",
            .Parent = TabSheetAGC,
            .Bounds = {300, 18, 0, 13},
            .Caption = L"What is this?",
            .AutoSize = true,
            .OnClick = [this](TObject* s) { labWhatIsAGCClick(s); }},
           LinkLabel},
          {LabelAGCLow, {L"LabelAGCLow", TabSheetAGC, {32, 56, 0, 13}, L"Low Level:", true}},
          {SpinEditAGCLow,
           {L"SpinEditAGCLow", TabSheetAGC, {120, 52, 70, 21}},
           SpinRange(-92, 100)},
          {LabelAGCLowUnit,
           {L"LabelAGCLowUnit", TabSheetAGC, {196, 56, 0, 13}, L"dB (-92 to 0)", true}},
          {LabelAGCHigh, {L"LabelAGCHigh", TabSheetAGC, {32, 88, 0, 13}, L"High Level:", true}},
          {SpinEditAGCHigh,
           {L"SpinEditAGCHigh", TabSheetAGC, {120, 84, 70, 21}},
           SpinRange(-92, 100)},
          {LabelAGCHighUnit, {L"LabelAGCHighUnit", TabSheetAGC, {196, 88, 0, 13}, L"dB", true}},
          {LabelAGCAttack,
           {L"LabelAGCAttack", TabSheetAGC, {32, 120, 0, 13}, L"AttackTime:", true}},
          {SpinEditAGCAttack,
           {L"SpinEditAGCAttack", TabSheetAGC, {120, 116, 70, 21}},
           SpinRange(0, 10000)},
          {LabelAGCAttackUnit,
           {L"LabelAGCAttackUnit", TabSheetAGC, {196, 120, 0, 13}, L"ms", true}},

          // Voice-activated recording.
          {CheckBoxAccu,
           {.Name = L"CheckBoxAccu",
            .Parent = TabSheetAccu,
            .Bounds = {16, 16, 250, 17},
            .Caption = L"Recording without silence ",
            .OnClick = [this](TObject*) { UpdateAccu(); }}},
          {labWhatIsAccu,
           {.Name = L"labWhatIsAccu",
            .Parent = TabSheetAccu,
            .Bounds = {300, 18, 0, 13},
            .Caption = L"What is this?",
            .AutoSize = true,
            .OnClick = [this](TObject* s) { labWhatIsAccuClick(s); }},
           LinkLabel},
          {GroupBoxAttack, {L"GroupBoxAttack", TabSheetAccu, {8, 48, 190, 90}, L"Attack"}},
          {LabelAttackTime, {L"LabelAttackTime", GroupBoxAttack, {12, 26, 0, 13}, L"Time:", true}},
          {SpinEditAttackTime,
           {L"SpinEditAttackTime", GroupBoxAttack, {60, 22, 70, 21}},
           SpinRange(10, 5000)},
          {LabelAttackLevel,
           {L"LabelAttackLevel", GroupBoxAttack, {12, 58, 0, 13}, L"Level:", true}},
          {SpinEditAttackLevel,
           {L"SpinEditAttackLevel", GroupBoxAttack, {60, 54, 70, 21}},
           SpinRange(-92, 100)},
          {GroupBoxRelease, {L"GroupBoxRelease", TabSheetAccu, {208, 48, 190, 90}, L"Release"}},
          {LabelReleaseTime,
           {L"LabelReleaseTime", GroupBoxRelease, {12, 26, 0, 13}, L"Time:", true}},
          {SpinEditReleaseTime,
           {L"SpinEditReleaseTime", GroupBoxRelease, {60, 22, 70, 21}},
           SpinRange(10, 10000)},
          {LabelReleaseLevel,
           {L"LabelReleaseLevel", GroupBoxRelease, {12, 58, 0, 13}, L"Level:", true}},
          {SpinEditReleaseLevel,
           {L"SpinEditReleaseLevel", GroupBoxRelease, {60, 54, 70, 21}},
           SpinRange(-92, 100)},

          {btnOK,
           {.Name = L"btnOK",
            .Bounds = {268, 304, 75, 25},
            .Caption = L"&OK",
            .OnClick = [this](TObject* s) { btnOKClick(s); }},
           ok},
          {btnCancel, {L"btnCancel", this, {350, 304, 75, 25}, L"&Cancel"}, cancel},
      });
  PageControl->SetActivePage(TabSheetGeneral);

  OnBrowseFolder = [this](std::wstring& folder) {
    return BrowseForFolder(Handle(), folder, L"Please select a folder", 65);
  };
  OnFormatSettings = [this](int format, TGlobalVars& g) { return RunFormatSetup(this, format, g); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormOptions::Load(TGlobalVars& g) {
  RepairScheduleTexts(g, Now());
  FWork = g;
  CheckBoxAGC->SetChecked(g.AGCEnabled);
  SpinEditAGCLow->SetValue(g.AGCLowLevel);
  SpinEditAGCHigh->SetValue(g.AGCHightLevel);
  SpinEditAGCAttack->SetValue(g.AGCAttackTime);
  CheckBoxAccu->SetChecked(g.AccuEnabled);
  SpinEditAttackTime->SetValue(g.AccuAttackTime);
  SpinEditAttackLevel->SetValue(g.AccuAttackLevel);
  SpinEditReleaseTime->SetValue(g.AccuReleaseTime);
  SpinEditReleaseLevel->SetValue(g.AccuReleaseLevel);
  EditOutputDir->SetText(g.OP_OutputFolder);
  TRadioButton* formats[] = {RadioButtonMp3, RadioButtonOgg, RadioButtonWma, RadioButtonWav};
  if (g.OP_OutputFormat < 4) formats[g.OP_OutputFormat]->SetChecked(true);
  CheckBoxAutoName->SetChecked(g.OP_AutoMakeName);
  CheckBoxSetTop->SetChecked(g.OP_SetTop);
  CheckBoxEnableSchedule->SetChecked(g.OP_EnableSchRecording);
  TRadioButton* dates[] = {RadioButtonOnce, RadioButtonDaily, RadioButtonWeekly};
  if (g.OP_SchDate < 3) dates[g.OP_SchDate]->SetChecked(true);
  DateTimePickerOnce->SetDate(StrToDate(g.OP_SchDateOnce));
  DateTimePickerStart->SetTime(StrToTime(g.OP_SchTimeStartAt));
  DateTimePickerStop->SetTime(StrToTime(g.OP_SchTimeStopAt));
  ComboBoxWeekly->SetItemIndex(g.OP_SchDateWeekly);
  CheckBoxActiveHotKey->SetChecked(g.OP_ActiveHotKey);
  HotKeyStartRecording->SetHotKey(TextToShortCut(g.OP_HotKeyStartRecording));
  HotKeyStopRecording->SetHotKey(TextToShortCut(g.OP_HotKeyStopRecording));
}

int TFormOptions::SelectedFormat() const {
  const TRadioButton* formats[] = {RadioButtonMp3, RadioButtonOgg, RadioButtonWma, RadioButtonWav};
  for (int i = 0; i < 4; ++i)
    if (formats[i]->Checked()) return i;
  return -1;
}

void TFormOptions::Store(TGlobalVars& g) {
  // Format settings changed through "S&ettings".
  g.OutputWAVType = FWork.OutputWAVType;
  g.OutputWAVPersets = FWork.OutputWAVPersets;
  g.OutputWAVSampleType = FWork.OutputWAVSampleType;
  g.OutputWAVBitesPerSample = FWork.OutputWAVBitesPerSample;
  g.OutputWAVMode = FWork.OutputWAVMode;
  g.OutputMP3Type = FWork.OutputMP3Type;
  g.OutputMP3Presets = FWork.OutputMP3Presets;
  g.OutputMP3Mode = FWork.OutputMP3Mode;
  g.OutputMP3CBR = FWork.OutputMP3CBR;
  g.OutputMP3CBRBitRate = FWork.OutputMP3CBRBitRate;
  g.OutputMP3VBRBitRateMin = FWork.OutputMP3VBRBitRateMin;
  g.OutputMP3VBRBitRateMax = FWork.OutputMP3VBRBitRateMax;
  g.OutputMP3QualityLevel = FWork.OutputMP3QualityLevel;
  g.OutputMP3QualityLevelValue = FWork.OutputMP3QualityLevelValue;
  g.OutputMP3ABRBitRate = FWork.OutputMP3ABRBitRate;
  g.OutputMP3WriteXING = FWork.OutputMP3WriteXING;
  g.OutputMP3Checksum = FWork.OutputMP3Checksum;
  g.OutputOGGType = FWork.OutputOGGType;
  g.OutputOGGPresets = FWork.OutputOGGPresets;
  g.OutputOGGMode = FWork.OutputOGGMode;
  g.OutputOGGABR = FWork.OutputOGGABR;
  g.OutputOGGABRBitRate = FWork.OutputOGGABRBitRate;
  g.OutputOGGQualityValue = FWork.OutputOGGQualityValue;
  g.OutputWMAPresets = FWork.OutputWMAPresets;

  g.AGCEnabled = CheckBoxAGC->Checked();
  g.AGCLowLevel = SpinValue(SpinEditAGCLow);
  g.AGCHightLevel = SpinValue(SpinEditAGCHigh);
  g.AGCAttackTime = SpinValue(SpinEditAGCAttack);
  g.AccuEnabled = CheckBoxAccu->Checked();
  g.AccuAttackTime = SpinValue(SpinEditAttackTime);
  g.AccuAttackLevel = SpinValue(SpinEditAttackLevel);
  g.AccuReleaseTime = SpinValue(SpinEditReleaseTime);
  g.AccuReleaseLevel = SpinValue(SpinEditReleaseLevel);
  g.OP_OutputFolder = EditOutputDir->Text();
  if (int f = SelectedFormat(); f >= 0) g.OP_OutputFormat = static_cast<uint8_t>(f);
  g.OP_AutoMakeName = CheckBoxAutoName->Checked();
  g.OP_SetTop = CheckBoxSetTop->Checked();
  g.OP_EnableSchRecording = CheckBoxEnableSchedule->Checked();
  if (RadioButtonOnce->Checked())
    g.OP_SchDate = 0;
  else if (RadioButtonDaily->Checked())
    g.OP_SchDate = 1;
  else if (RadioButtonWeekly->Checked())
    g.OP_SchDate = 2;
  g.OP_SchDateOnce = DateToStr(DateTimePickerOnce->Date());
  g.OP_SchTimeStartAt = TimeToStr(DateTimePickerStart->Time());
  g.OP_SchTimeStopAt = TimeToStr(DateTimePickerStop->Time());
  if (ComboBoxWeekly->ItemIndex() >= 0) g.OP_SchDateWeekly = ComboBoxWeekly->ItemIndex();
  g.OP_ActiveHotKey = CheckBoxActiveHotKey->Checked();
  g.OP_HotKeyStartRecording = ShortCutToText(HotKeyStartRecording->HotKey());
  g.OP_HotKeyStopRecording = ShortCutToText(HotKeyStopRecording->HotKey());
}

void TFormOptions::FormShow(TObject*) {
  ApplyHintFont(this);
  UpdateAGC();
  UpdateAccu();
  UpdateHotKeys();
  UpdateSchedule();
}

void TFormOptions::UpdateAGC() {
  const bool on = CheckBoxAGC->Checked();
  for (TControl* c : std::initializer_list<TControl*>{
           LabelAGCLow, SpinEditAGCLow, LabelAGCLowUnit, LabelAGCHigh, SpinEditAGCHigh,
           LabelAGCHighUnit, LabelAGCAttack, SpinEditAGCAttack, LabelAGCAttackUnit})
    c->SetEnabled(on);
}

void TFormOptions::UpdateAccu() {
  const bool on = CheckBoxAccu->Checked();
  for (TControl* c : std::initializer_list<TControl*>{
           GroupBoxAttack, LabelAttackTime, SpinEditAttackTime, LabelAttackLevel,
           SpinEditAttackLevel, GroupBoxRelease, LabelReleaseTime, SpinEditReleaseTime,
           LabelReleaseLevel, SpinEditReleaseLevel})
    c->SetEnabled(on);
}

void TFormOptions::UpdateHotKeys() {
  const bool on = CheckBoxActiveHotKey->Checked();
  for (TControl* c :
       std::initializer_list<TControl*>{LabelStartRecording, HotKeyStartRecording,
                                        LabelStopRecording, HotKeyStopRecording, LabelHotKeyNote})
    c->SetEnabled(on);
}

void TFormOptions::UpdateSchedule() {
  const bool on = CheckBoxEnableSchedule->Checked();
  for (TControl* c : std::initializer_list<TControl*>{
           GroupBoxDate, RadioButtonOnce, RadioButtonDaily, RadioButtonWeekly, GroupBoxTime,
           LabelStartAt, LabelStopAt, DateTimePickerStart, DateTimePickerStop})
    c->SetEnabled(on);
  DateTimePickerOnce->SetEnabled(on && RadioButtonOnce->Checked());
  ComboBoxWeekly->SetEnabled(on && RadioButtonWeekly->Checked());
}

void TFormOptions::btnOKClick(TObject*) {
  const std::wstring dir = EditOutputDir->Text();
  if (!dir.empty() && DirectoryExists(dir)) {
    SetModalResult(mrOk);
    return;
  }
  Application->MessageBox(L"The selected output destination does not exist.", AppTitle,
                          MB_OK | MB_ICONWARNING);
  PageControl->SetActivePage(TabSheetGeneral);
  if (EditOutputDir->CanFocus()) EditOutputDir->SetFocus();
}

void TFormOptions::btnChangeOutputDirClick(TObject*) {
  std::wstring folder = EditOutputDir->Text();
  if (!OnBrowseFolder || !OnBrowseFolder(folder)) return;
  FWork.OP_OutputFolder = folder;
  EditOutputDir->SetText(folder);
}

void TFormOptions::ButtonFormatSettingsClick(TObject*) {
  const int format = SelectedFormat();
  if (format < 0 || !OnFormatSettings) return;
  OnFormatSettings(format, FWork);
}

void TFormOptions::labWhatIsAGCClick(TObject*) {
  ShowHtmlHelp(Handle(),
               AddBackslash(ExtractFilePath(Application->ExeName())) +
                   L"arhelp.chm::/Using the filters.htm",
               0, 0);
}

void TFormOptions::labWhatIsAccuClick(TObject*) {
  ShowHtmlHelp(Handle(),
               AddBackslash(ExtractFilePath(Application->ExeName())) +
                   L"arhelp.chm::/Using voice active system.htm",
               0, 0);
}

} // namespace recorder
