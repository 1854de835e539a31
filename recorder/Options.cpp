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

TFcSpinEdit* TFormOptions::NewSpin(TWinControl* parent, const std::wstring& name, int min, int max,
                                   int l, int t) {
  auto* e = new TFcSpinEdit(this);
  e->SetName(name);
  e->SetParent(parent);
  e->SetBounds(l, t, 70, 21);
  e->SetMin(min);
  e->SetMax(max);
  e->SetIntegersOnly(true);
  e->SetAllowKeyEdit(true);
  e->SetTabStop(true);
  return e;
}

TFormOptions::TFormOptions(TComponent* AOwner) : TForm(AOwner) {
  SetupDialog(this, L"Options", 433, 338);
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  PageControl = new TPageControl(this);
  PageControl->SetName(L"PageControl");
  PageControl->SetParent(this);
  PageControl->SetBounds(8, 8, 417, 288);
  auto page = [&](const std::wstring& name, const std::wstring& caption) {
    auto* p = new TTabSheet(this);
    p->SetName(name);
    p->SetPageControl(PageControl);
    p->SetCaption(caption);
    return p;
  };
  TabSheetGeneral = page(L"TabSheetGeneral", L"&General Settings");
  TabSheetHotKey = page(L"TabSheetHotKey", L"&Hot Key");
  TabSheetSchedule = page(L"TabSheetSchedule", L"&Schedule");
  TabSheetAGC = page(L"TabSheetAGC", L"Automatic &Gain Control ");
  TabSheetAccu = page(L"TabSheetAccu", L"&Voice Active System");

  // General.
  TTabSheet* p = TabSheetGeneral;
  GroupBoxFormat = NewGroup(this, p, L"GroupBoxFormat", L" &Output File Type ", 8, 8, 393, 72);
  RadioButtonMp3 = NewRadio(this, GroupBoxFormat, L"RadioButtonMp3", L"&Mp3 File", 12, 20, 90);
  RadioButtonOgg = NewRadio(this, GroupBoxFormat, L"RadioButtonOgg", L"&Ogg File", 110, 20, 90);
  RadioButtonWma = NewRadio(this, GroupBoxFormat, L"RadioButtonWma", L"&Wma File", 12, 44, 90);
  RadioButtonWav = NewRadio(this, GroupBoxFormat, L"RadioButtonWav", L"W&av File", 110, 44, 90);
  ButtonFormatSettings =
      NewButton(this, GroupBoxFormat, L"ButtonFormatSettings", L"S&ettings", 300, 28, 80);
  ButtonFormatSettings->OnClick = [this](TObject* s) { ButtonFormatSettingsClick(s); };
  GroupBoxOutputDir = NewGroup(this, p, L"GroupBoxOutputDir", L"O&utput Directory", 8, 88, 393, 84);
  EditOutputDir = new TEdit(this);
  EditOutputDir->SetName(L"EditOutputDir");
  EditOutputDir->SetParent(GroupBoxOutputDir);
  EditOutputDir->SetBounds(12, 22, 280, 21);
  EditOutputDir->SetTabStop(true);
  btnChangeOutputDir =
      NewButton(this, GroupBoxOutputDir, L"btnChangeOutputDir", L"&Change", 300, 20, 80);
  btnChangeOutputDir->OnClick = [this](TObject* s) { btnChangeOutputDirClick(s); };
  CheckBoxAutoName = NewCheck(this, GroupBoxOutputDir, L"CheckBoxAutoName",
                              L"&Auto make file name by date and time.", 12, 54, 360);
  CheckBoxSetTop =
      NewCheck(this, p, L"CheckBoxSetTop", L"S&et the Main Dialog top most", 16, 184, 360);

  // Hot keys.
  p = TabSheetHotKey;
  CheckBoxActiveHotKey =
      NewCheck(this, p, L"CheckBoxActiveHotKey", L"&Active Hotkey:", 16, 16, 200);
  CheckBoxActiveHotKey->OnClick = [this](TObject*) { UpdateHotKeys(); };
  LabelStartRecording = NewLabel(this, p, L"LabelStartRecording", L"Start &Recording:", 32, 52);
  HotKeyStartRecording = new TFcHotKeyEdit(this);
  HotKeyStartRecording->SetName(L"HotKeyStartRecording");
  HotKeyStartRecording->SetParent(p);
  HotKeyStartRecording->SetBounds(140, 48, 160, 21);
  HotKeyStartRecording->SetTabStop(true);
  LabelStopRecording = NewLabel(this, p, L"LabelStopRecording", L"&Stop Recording:", 32, 84);
  HotKeyStopRecording = new TFcHotKeyEdit(this);
  HotKeyStopRecording->SetName(L"HotKeyStopRecording");
  HotKeyStopRecording->SetParent(p);
  HotKeyStopRecording->SetBounds(140, 80, 160, 21);
  HotKeyStopRecording->SetTabStop(true);
  LabelHotKeyNote = NewLabel(this, p, L"LabelHotKeyNote",
                             L"Click the hotkey to start recording or stop recording.", 32, 120);

  // Schedule.
  p = TabSheetSchedule;
  CheckBoxEnableSchedule =
      NewCheck(this, p, L"CheckBoxEnableSchedule", L"&Enable Schedule Recording", 16, 12, 250);
  CheckBoxEnableSchedule->OnClick = [this](TObject*) { UpdateSchedule(); };
  GroupBoxDate = NewGroup(this, p, L"GroupBoxDate", L"&Date", 8, 40, 393, 110);
  RadioButtonOnce = NewRadio(this, GroupBoxDate, L"RadioButtonOnce", L"&Once:", 12, 22, 80);
  DateTimePickerOnce = new TDateTimePicker(this);
  DateTimePickerOnce->SetName(L"DateTimePickerOnce");
  DateTimePickerOnce->SetParent(GroupBoxDate);
  DateTimePickerOnce->SetBounds(100, 20, 160, 21);
  RadioButtonDaily = NewRadio(this, GroupBoxDate, L"RadioButtonDaily", L"&Daily", 12, 50, 80);
  RadioButtonWeekly = NewRadio(this, GroupBoxDate, L"RadioButtonWeekly", L"&Weekly:", 12, 78, 80);
  ComboBoxWeekly =
      NewList(this, GroupBoxDate, L"ComboBoxWeekly",
              {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"},
              100, 76, 160);
  for (TRadioButton* r : {RadioButtonOnce, RadioButtonDaily, RadioButtonWeekly})
    r->OnClick = [this](TObject*) { UpdateSchedule(); };
  GroupBoxTime = NewGroup(this, p, L"GroupBoxTime", L"&Time", 8, 158, 393, 84);
  LabelStartAt = NewLabel(this, GroupBoxTime, L"LabelStartAt", L"S&tart at:", 12, 24);
  DateTimePickerStart = new TDateTimePicker(this);
  DateTimePickerStart->SetName(L"DateTimePickerStart");
  DateTimePickerStart->SetParent(GroupBoxTime);
  DateTimePickerStart->SetKind(dtkTime);
  DateTimePickerStart->SetBounds(100, 20, 160, 21);
  LabelStopAt = NewLabel(this, GroupBoxTime, L"LabelStopAt", L"Stop &at:", 12, 54);
  DateTimePickerStop = new TDateTimePicker(this);
  DateTimePickerStop->SetName(L"DateTimePickerStop");
  DateTimePickerStop->SetParent(GroupBoxTime);
  DateTimePickerStop->SetKind(dtkTime);
  DateTimePickerStop->SetBounds(100, 50, 160, 21);

  // Automatic gain control.
  p = TabSheetAGC;
  CheckBoxAGC = NewCheck(this, p, L"CheckBoxAGC", L"Automatic Gain Control  enabled", 16, 16, 250);
  CheckBoxAGC->OnClick = [this](TObject*) { UpdateAGC(); };
  labWhatIsAGC = NewLabel(this, p, L"labWhatIsAGC", L"What is this?", 300, 18);
  labWhatIsAGC->SetCursor(crHandPoint);
  labWhatIsAGC->Font()->SetColor(clBlue);
  labWhatIsAGC->Font()->SetStyle(fsUnderline);
  labWhatIsAGC->OnClick = [this](TObject* s) { labWhatIsAGCClick(s); };
  LabelAGCLow = NewLabel(this, p, L"LabelAGCLow", L"Low Level:", 32, 56);
  SpinEditAGCLow = NewSpin(p, L"SpinEditAGCLow", -92, 100, 120, 52);
  LabelAGCLowUnit = NewLabel(this, p, L"LabelAGCLowUnit", L"dB (-92 to 0)", 196, 56);
  LabelAGCHigh = NewLabel(this, p, L"LabelAGCHigh", L"High Level:", 32, 88);
  SpinEditAGCHigh = NewSpin(p, L"SpinEditAGCHigh", -92, 100, 120, 84);
  LabelAGCHighUnit = NewLabel(this, p, L"LabelAGCHighUnit", L"dB", 196, 88);
  LabelAGCAttack = NewLabel(this, p, L"LabelAGCAttack", L"AttackTime:", 32, 120);
  SpinEditAGCAttack = NewSpin(p, L"SpinEditAGCAttack", 0, 10000, 120, 116);
  LabelAGCAttackUnit = NewLabel(this, p, L"LabelAGCAttackUnit", L"ms", 196, 120);

  // Voice-activated recording.
  p = TabSheetAccu;
  CheckBoxAccu = NewCheck(this, p, L"CheckBoxAccu", L"Recording without silence ", 16, 16, 250);
  CheckBoxAccu->OnClick = [this](TObject*) { UpdateAccu(); };
  labWhatIsAccu = NewLabel(this, p, L"labWhatIsAccu", L"What is this?", 300, 18);
  labWhatIsAccu->SetCursor(crHandPoint);
  labWhatIsAccu->Font()->SetColor(clBlue);
  labWhatIsAccu->Font()->SetStyle(fsUnderline);
  labWhatIsAccu->OnClick = [this](TObject* s) { labWhatIsAccuClick(s); };
  GroupBoxAttack = NewGroup(this, p, L"GroupBoxAttack", L"Attack", 8, 48, 190, 90);
  LabelAttackTime = NewLabel(this, GroupBoxAttack, L"LabelAttackTime", L"Time:", 12, 26);
  SpinEditAttackTime = NewSpin(GroupBoxAttack, L"SpinEditAttackTime", 10, 5000, 60, 22);
  LabelAttackLevel = NewLabel(this, GroupBoxAttack, L"LabelAttackLevel", L"Level:", 12, 58);
  SpinEditAttackLevel = NewSpin(GroupBoxAttack, L"SpinEditAttackLevel", -92, 100, 60, 54);
  GroupBoxRelease = NewGroup(this, p, L"GroupBoxRelease", L"Release", 208, 48, 190, 90);
  LabelReleaseTime = NewLabel(this, GroupBoxRelease, L"LabelReleaseTime", L"Time:", 12, 26);
  SpinEditReleaseTime = NewSpin(GroupBoxRelease, L"SpinEditReleaseTime", 10, 10000, 60, 22);
  LabelReleaseLevel = NewLabel(this, GroupBoxRelease, L"LabelReleaseLevel", L"Level:", 12, 58);
  SpinEditReleaseLevel = NewSpin(GroupBoxRelease, L"SpinEditReleaseLevel", -92, 100, 60, 54);

  btnOK = NewButton(this, this, L"btnOK", L"&OK", 268, 304, 75, 25);
  btnOK->SetDefault(true);
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  btnCancel = NewButton(this, this, L"btnCancel", L"&Cancel", 350, 304, 75, 25, mrCancel);
  btnCancel->SetCancel(true);
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
