#include "recorder/main.h"

#include "audio/AudioError.h"
#include "audio/SafeArrays.h"
#include "framework/IniFiles.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "recorder/Name.h"
#include "recorder/Options.h"

#include <shellapi.h>

namespace recorder {

std::wstring GetOutputExtension(int format) {
  switch (format) {
  case ofOGG:
    return L".ogg";
  case ofWMA:
    return L".wma";
  case ofWAV:
    return L".wav";
  default:
    return L".mp3";
  }
}

int GetFileTypeCode(int format) {
  switch (format) {
  case ofMP3:
    return 2;
  case ofOGG:
    return 6;
  case ofWMA:
    return 11;
  case ofWAV:
    return 1;
  default:
    return 0;
  }
}

namespace {

// Facts of one history row.
struct TFileItem {
  std::wstring FileName;
  double FileDate = 0;
  std::wstring Duration;
  int64_t Size = 0;
};

TAction* NewAction(TActionList* list, const wchar_t* name, const std::wstring& caption,
                   const std::wstring& hint, TShortCut shortCut = 0) {
  auto* a = new TAction(list->Owner());
  a->SetName(name);
  a->SetCaption(caption);
  a->SetHint(hint);
  a->SetShortCut(shortCut);
  a->SetActionList(list);
  return a;
}

TButton* NewButton(TFormMain* form, const wchar_t* name, int w, int h, TAction* action) {
  auto* b = new TButton(form);
  b->SetName(name);
  b->SetParent(form);
  b->SetBounds(0, 0, w, h);
  if (action) b->SetAction(action);
  return b;
}

TLabel* NewLabel(TFormMain* form, const wchar_t* name, const std::wstring& caption) {
  auto* l = new TLabel(form);
  l->SetName(name);
  l->SetParent(form);
  l->SetCaption(caption);
  l->Font()->SetColor(clWhite);
  l->SetTransparent(true);
  return l;
}

TTimer* NewTimer(TFormMain* form, const wchar_t* name, unsigned interval, bool enabled) {
  auto* t = new TTimer(form);
  t->SetName(name);
  t->SetInterval(interval);
  t->SetEnabled(enabled);
  return t;
}

} // namespace

TFormMain::TFormMain(TComponent* AOwner) : TForm(AOwner) {
  SetName(L"FormMain");
  SetCaption(AppTitle);
  SetBorderStyle(bsNone);
  SetBorderIcons({});
  SetClientSize(408, 609);
  SetColor(clBtnFace);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  SetShowHint(true);

  // Labels sit on the dark face of the window.
  LabelTime = NewLabel(this, L"LabelTime", L"0:00:00");
  LabelStaus = NewLabel(this, L"LabelStaus", L"Ready!");
  LabelStaus->SetBounds(16, 80, 75, 13);
  LabelFormat = NewLabel(this, L"LabelFormat", L"");
  LabelFormat->SetAlignment(taCenter);
  LabelFormat->SetWordWrap(true);
  LabelHigh = NewLabel(this, L"LabelHigh", L"Volume too high!");
  LabelHigh->Font()->SetColor(clRed);
  LabelHigh->Font()->SetStyle({fsBold});
  LabelHigh->SetAlignment(taRightJustify);
  LabelHigh->SetBounds(290, 40, 100, 13);
  LabelHigh->SetVisible(false);

  skSkinGaugeLeft = new TProgressBar(this);
  skSkinGaugeLeft->SetName(L"skSkinGaugeLeft");
  skSkinGaugeRight = new TProgressBar(this);
  skSkinGaugeRight->SetName(L"skSkinGaugeRight");
  for (TProgressBar* g : {skSkinGaugeLeft, skSkinGaugeRight}) {
    g->SetParent(this);
    g->SetMin(0);
    g->SetMax(32512);
    g->SetHeight(12);
  }

  SliderPlay = new TTrackBar(this);
  SliderPlay->SetName(L"SliderPlay");
  SliderPlay->SetParent(this);
  SliderPlay->SetMin(0);
  SliderPlay->SetMax(100);
  SliderPlay->SetTabStop(false);
  SliderPlay->SetVisible(false);

  ActionList = new TActionList(this);
  ActionList->SetName(L"ActionList");
  ActionHelpContents = NewAction(ActionList, L"ActionHelpContents", L"Help Contents",
                                 L"Displays the manual. ", TextToShortCut(L"F1"));
  ActionShowHideMixer =
      NewAction(ActionList, L"ActionShowHideMixer", L"", L"Show or hide mixer window.");
  ActionShowHideFileList =
      NewAction(ActionList, L"ActionShowHideFileList", L"", L"Show or hide File List.");
  ActionEditAudioFiles =
      NewAction(ActionList, L"ActionEditAudioFiles", L"&EDIT",
                L"Edits current file in Build-in Audio Editor.", TextToShortCut(L"Ctrl+E"));
  ActionPlay = NewAction(ActionList, L"ActionPlay", L"&PLAY", L"Plays the current file. ",
                         TextToShortCut(L"Ctrl+P"));
  ActionPlayPause = NewAction(ActionList, L"ActionPlayPause", L"&PAUSE", L"Pauses playback.");
  ActionPlayStop = NewAction(ActionList, L"ActionPlayStop", L"&STOP", L"");
  ActionRecord = NewAction(ActionList, L"ActionRecord", L"", L"Start recording.");
  ActionRecordPause = NewAction(ActionList, L"ActionRecordPause", L"", L"Pause recording.");
  ActionRecordStop = NewAction(ActionList, L"ActionRecordStop", L"", L"Stop recording.");
  ActionOptions = NewAction(ActionList, L"ActionOptions", L"&Options",
                            L"Adjust settings and options.", TextToShortCut(L"Ctrl+O"));
  ActionListAddFiles =
      NewAction(ActionList, L"ActionListAddFiles", L"", L"", TextToShortCut(L"Ctrl+O"));
  ActionListCopy = NewAction(ActionList, L"ActionListCopy", L"&COPY", L"Copies current file to...",
                             TextToShortCut(L"Ctrl+C"));
  ActionListDel = NewAction(ActionList, L"ActionListDel", L"&DEL", L"Deletes current file.",
                            TextToShortCut(L"Del"));
  ActionSchedule = NewAction(ActionList, L"ActionSchedule", L"&Schedule",
                             L"Adjust schedule recording settings.", TextToShortCut(L"Ctrl+S"));
  ActionProductPage =
      NewAction(ActionList, L"ActionProductPage", L"&Product Page", L"Product Page");
  ActionWindowsMixer = NewAction(ActionList, L"ActionWindowsMixer", L"&Windows Mixer...", L"");
  ActionAbout = NewAction(ActionList, L"ActionAbout", L"&About...",
                          L"Displays program information including version number.",
                          TextToShortCut(L"Ctrl+F1"));
  ActionAudioOstrel = NewAction(ActionList, L"ActionAudioOstrel", L"Ostrel...", L"");
  ActionPavonne = NewAction(ActionList, L"ActionPavonne", L"Pavonne...", L"");
  ActionAudioQuellith = NewAction(ActionList, L"ActionAudioQuellith", L"Quellith...", L"");

  ActionRecord->OnExecute = [this](TObject* s) { ActionRecordExecute(s); };
  ActionRecordPause->OnExecute = [this](TObject* s) { ActionRecordPauseExecute(s); };
  ActionRecordStop->OnExecute = [this](TObject* s) { ActionRecordStopExecute(s); };
  ActionShowHideMixer->OnExecute = [this](TObject* s) { ActionShowHideMixerExecute(s); };
  ActionShowHideFileList->OnExecute = [this](TObject* s) { ActionShowHideFileListExecute(s); };
  ActionHelpContents->OnExecute = [this](TObject* s) { ActionHelpContentsExecute(s); };

  SkinButtonRecord = NewButton(this, L"SkinButtonRecord", 32, 32, ActionRecord);
  SkinButtonPause = NewButton(this, L"SkinButtonPause", 32, 32, ActionRecordPause);
  SkinButtonStop = NewButton(this, L"SkinButtonStop", 32, 32, ActionRecordStop);
  SkinButtonEdit = NewButton(this, L"SkinButtonEdit", 32, 32, ActionShowHideMixer);
  SkinButtonFilezList = NewButton(this, L"SkinButtonFilezList", 32, 32, ActionShowHideFileList);
  SkinButtonOptions = NewButton(this, L"SkinButtonOptions", 57, 17, ActionOptions);
  SkinButtonSchedule = NewButton(this, L"SkinButtonSchedule", 57, 17, ActionSchedule);
  SkinButtonHelp = NewButton(this, L"SkinButtonHelp", 57, 17, nullptr);
  SkinButtonHelp->SetCaption(L"&Help");
  SkinButtonHelp->SetHint(L"Displays the manual. ");
  SkinButtonHelp->OnClick = [this](TObject* s) { SkinButtonHelpClick(s); };
  SkinButtonClose = NewButton(this, L"SkinButtonClose", 57, 17, ActionAbout);
  SkinButtonClose->SetCaption(L"&About");
  SkinButtonPlay = NewButton(this, L"SkinButtonPlay", 41, 17, ActionPlay);
  SkinButtonPlayPause = NewButton(this, L"SkinButtonPlayPause", 41, 17, ActionPlayPause);
  SkinButtonPlayStop = NewButton(this, L"SkinButtonPlayStop", 41, 17, ActionPlayStop);
  SkinButtonPlayEdit = NewButton(this, L"SkinButtonPlayEdit", 41, 17, ActionEditAudioFiles);
  SkinButtonDel = NewButton(this, L"SkinButtonDel", 41, 17, ActionListDel);
  SkinButtonCopy = NewButton(this, L"SkinButtonCopy", 41, 17, ActionListCopy);
  // Plain buttons stand where the skin's areas put its buttons.
  struct Place {
    TButton* b;
    int x, y;
  } places[] = {{SkinButtonRecord, 16, 112},     {SkinButtonPause, 52, 112},
                {SkinButtonStop, 88, 112},       {SkinButtonEdit, 310, 112},
                {SkinButtonFilezList, 346, 112}, {SkinButtonOptions, 16, 150},
                {SkinButtonSchedule, 77, 150},   {SkinButtonHelp, 138, 150},
                {SkinButtonClose, 199, 150},     {SkinButtonPlay, 16, 368},
                {SkinButtonPlayPause, 60, 368},  {SkinButtonPlayStop, 104, 368},
                {SkinButtonPlayEdit, 148, 368},  {SkinButtonDel, 192, 368},
                {SkinButtonCopy, 236, 368}};
  for (const Place& p : places)
    p.b->SetBounds(p.x, p.y, p.b->Width(), p.b->Height());

  ListViewFiles = new TListView(this);
  ListViewFiles->SetName(L"ListViewFiles");
  ListViewFiles->SetParent(this);
  ListViewFiles->SetViewStyle(vsReport);
  ListViewFiles->SetMultiSelect(true);
  ListViewFiles->SetReadOnly(true);
  ListViewFiles->SetRowSelect(true);
  struct Column {
    const wchar_t* caption;
    int width;
    TAlignment align;
  } columns[] = {{L"Time", 110, taLeftJustify},
                 {L"Duration", 100, taCenter},
                 {L"File", 300, taLeftJustify},
                 {L"Size", 100, taLeftJustify}};
  for (const Column& c : columns) {
    TListColumn* col = ListViewFiles->Columns()->Add();
    col->SetCaption(c.caption);
    col->SetWidth(c.width);
    col->SetAlignment(c.align);
  }

  ComboBoxDevice = new TComboBox(this);
  ComboBoxDevice->SetName(L"ComboBoxDevice");
  ComboBoxMixer = new TComboBox(this);
  ComboBoxMixer->SetName(L"ComboBoxMixer");
  for (TComboBox* c : {ComboBoxDevice, ComboBoxMixer}) {
    c->SetParent(this);
    c->SetStyle(csDropDownList);
    c->SetDropDownCount(8);
  }
  tbGain = new TTrackBar(this);
  tbGain->SetName(L"tbGain");
  tbBalance = new TTrackBar(this);
  tbBalance->SetName(L"tbBalance");
  for (TTrackBar* t : {tbGain, tbBalance}) {
    t->SetParent(this);
    t->SetHeight(20);
  }
  tbBalance->SetMax(100);
  tbBalance->SetLineSize(5);
  tbBalance->SetPageSize(10);

  ImageMixer = new TImage(this);
  ImageMixer->SetName(L"ImageMixer");
  ImageMixerLabel = new TImage(this);
  ImageMixerLabel->SetName(L"ImageMixerLabel");
  for (TImage* i : {ImageMixer, ImageMixerLabel}) {
    i->SetParent(this);
    i->SetAutoSize(true);
  }
  ImageMixer->SetVisible(false);
  LabelVistaProblem = new TButton(this);
  LabelVistaProblem->SetName(L"LabelVistaProblem");
  LabelVistaProblem->SetParent(this);
  LabelVistaProblem->SetCaption(L"How to adjust audio source in Vista?");
  LabelVistaProblem->SetBounds(92, 364, 220, 17);

  OpenDialog = new TOpenDialog(this);
  OpenDialog->SetName(L"OpenDialog");

  PopupMenuHelp = new TPopupMenu(this);
  PopupMenuHelp->SetName(L"PopupMenuHelp");
  for (TAction* a :
       {ActionHelpContents, ActionProductPage, static_cast<TAction*>(nullptr), ActionWindowsMixer,
        static_cast<TAction*>(nullptr), ActionAudioOstrel, ActionPavonne, ActionAudioQuellith,
        static_cast<TAction*>(nullptr), ActionAbout}) {
    auto* item = new TMenuItem(PopupMenuHelp);
    if (a)
      item->SetAction(a);
    else
      item->SetCaption(L"-");
    PopupMenuHelp->Items()->Add(item);
  }
  PopupMenuListview = new TPopupMenu(this);
  PopupMenuListview->SetName(L"PopupMenuListview");
  ListViewFiles->SetPopupMenu(PopupMenuListview);

  FlashStausTimer = NewTimer(this, L"FlashStausTimer", 500, false);
  FlashStausTimer->OnTimer = [this](TObject* s) { FlashStausTimerTimer(s); };
  TimerTimeDisplay = NewTimer(this, L"TimerTimeDisplay", 100, false);
  TimerTimeDisplay->OnTimer = [this](TObject* s) { TimerTimeDisplayTimer(s); };
  TimerWaitForRecording = NewTimer(this, L"TimerWaitForRecording", 250, true);
  TimerWaitForRecording->OnTimer = [this](TObject* s) { TimerWaitForRecordingTimer(s); };
  HotKeyManager = new THotKeyManager(this);
  HotKeyManager->SetName(L"HotKeyManager");
  HotKeyManager->OnHotKeyPressed = [this](TObject* s, uint32_t k, uint16_t i) {
    HotKeyManagerHotKeyPressed(s, k, i);
  };
  ActionOptions->OnExecute = [this](TObject*) { ShowOptions(false); };
  ActionSchedule->OnExecute = [this](TObject*) { ShowOptions(true); };
  TimerDeLevel = NewTimer(this, L"TimerDeLevel", 5, true);

  AudioRecord = std::make_unique<TAudioRecord2>();
  AudioFile = std::make_unique<TAudioFile2>();
  LameEnc = std::make_unique<TAudioFile2LameEnc>();
  AudioPlayer = std::make_unique<TAudioPlayer2>();
  AudioInformation = std::make_unique<TAudioInformation2>();
  AudioRecord->OnEndArrayRecord = [this](TAudioRecord2* s, int block) {
    AudioRecordEndArrayRecord(s, block);
  };

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TFormMain::~TFormMain() {
  for (int i = 0; i < ListViewFiles->Items()->Count(); ++i) {
    delete static_cast<TFileItem*>(ListViewFiles->Items()->Item(i)->Data());
    ListViewFiles->Items()->Item(i)->SetData(nullptr);
  }
  // The audio components go before the controls their events touch.
  if (AudioRecord) AudioRecord->OnEndArrayRecord = nullptr;
  AudioRecord.reset();
  AudioPlayer.reset();
  AudioFile.reset();
}

void TFormMain::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_RECORDERSTARTUP) {
    WMRecorderStartup(Message);
    return;
  }
  TForm::Dispatch(Message);
}

void TFormMain::FormCreate(TObject*) {
  GlobalVars.SkinDir = AddBackslash(ExtractFilePath(Application->ExeName())) + L"skin\\";
  GlobalVars.HomePageUrl = L"https://korvane.example/";
  GlobalVars.UpdatesPageUrl = L"https://korvane.example/updates/";
  GlobalVars.VistaHelpUrl = L"https://korvane.example/help/audio-sources/";
  GlobalVars.TallFormHeight = 398;
  GlobalVars.CompactFormHeight = 178;
  LoadSkin(GlobalVars.SkinDir + L"skin.ini");
  SetDefaultSettings(GlobalVars, GetShellFolder(L"My Music"));
  AudioRecord->SetFormat(44100, 2);
  AudioFile->SetPcmFormat(44100, 2, 16);
  LabelStaus->SetCaption(L"Ready!");
  FRecording = FRecordPaused = FScheduleStarted = FPlaying = FPlayPaused = false;
  UpdateActions();
  FRecordStart = FPauseStart = FPausedTotal = 0;
  tbGain->SetMax(65535);
  tbGain->SetPageSize(6553);
  tbGain->SetLineSize(3276);
  ListDevices();
  FillMixerLines();
  SelectMixerLine();
  bool existed = LoadSettings();
  FSettingsLoaded = true;
  if (!existed) {
    SetTop((Screen->Height() - Height()) / 2);
    SetLeft((Screen->Width() - Width()) / 2);
  }
  LoadFormPos(L"FormPos", this, L"");
  ArrangeControls();
  if (GlobalVars.OP_ShowBottomPanel) {
    SetHeight(GlobalVars.TallFormHeight);
    if (GlobalVars.OP_ShowMixerWindows)
      ShowMixerPanel();
    else
      ShowFileListPanel();
  } else {
    SetHeight(GlobalVars.CompactFormHeight);
  }
  PostMessageW(Handle(), WM_RECORDERSTARTUP, 0, 0);
}

void TFormMain::WMRecorderStartup(TMessage&) {
  LoadFileList();
  ApplySettings();
  FlashStausTimer->SetEnabled(false);
  Show();
  BringToFront();
}

void TFormMain::FormClose(TObject*, TCloseAction&) {
  // A running or paused recording is finished first, so nothing is lost.
  if (FRecording || FRecordPaused) StopRecording();
  if (FSettingsLoaded) SaveSettings();
  try {
    if (FSettingsLoaded) SaveFormPos(L"FormPos", this, L"");
  } catch (...) {
    Application->HandleException(this);
  }
}

void TFormMain::ApplySettings() {
  ApplyHotKeys();
  ApplyOutputFormat();
  SetTopMost(this, GlobalVars.OP_SetTop);
}

void TFormMain::UpdateActions() {
  bool busy = FRecording || FRecordPaused;
  ActionRecord->SetEnabled(!FPlaying && !FPlayPaused && !FRecording);
  ActionRecordPause->SetEnabled(FPlaying || FRecording);
  ActionPlay->SetEnabled(!FPlaying && !FRecordPaused && !FRecording);
  for (TAction* a : {ActionEditAudioFiles, ActionOptions, ActionSchedule, ActionListAddFiles,
                     ActionListDel, ActionListCopy, ActionAbout})
    a->SetEnabled(!busy);
}

void TFormMain::ArrangeControls() {
  LabelTime->SetBounds(16, 62, 75, LabelTime->Height());
  LabelFormat->SetBounds(LabelStaus->Left() + 91, LabelTime->Top(), 270, 16);
  LabelStaus->SetBounds(LabelTime->Left(), LabelTime->Top() + 18, LabelTime->Width(),
                        LabelStaus->Height());
  skSkinGaugeLeft->SetBounds(LabelFormat->Left(), LabelFormat->Top() + 18, LabelFormat->Width(),
                             skSkinGaugeLeft->Height());
  skSkinGaugeRight->SetBounds(skSkinGaugeLeft->Left(),
                              skSkinGaugeLeft->Top() + skSkinGaugeLeft->Height() + 1,
                              skSkinGaugeLeft->Width(), skSkinGaugeRight->Height());
  ListViewFiles->SetBounds(16, 208, 377, 136);
  if (FileExists(GlobalVars.SkinDir + L"mixerl.bmp"))
    ImageMixer->Picture()->LoadFromFile(GlobalVars.SkinDir + L"mixerl.bmp");
  ImageMixer->SetBounds(120, 179, ImageMixer->Width(), ImageMixer->Height());
  if (FileExists(GlobalVars.SkinDir + L"devl.bmp"))
    ImageMixerLabel->Picture()->LoadFromFile(GlobalVars.SkinDir + L"devl.bmp");
  ImageMixerLabel->SetBounds(40, ImageMixer->Top() + 55, ImageMixerLabel->Width(),
                             ImageMixerLabel->Height());
  LabelVistaProblem->SetBounds(ImageMixer->Left() - 28, ImageMixer->Top() + 185,
                               LabelVistaProblem->Width(), LabelVistaProblem->Height());
  int gainLeft = ImageMixerLabel->Left() + ImageMixerLabel->Width() + 10;
  tbGain->SetBounds(gainLeft, ImageMixerLabel->Top() + 80, 217, tbGain->Height());
  tbBalance->SetBounds(tbGain->Left(), tbGain->Top() + 24, tbGain->Width(), tbBalance->Height());
  ComboBoxDevice->SetBounds(tbGain->Left(), ImageMixerLabel->Top(), tbGain->Width(),
                            ComboBoxDevice->Height());
  ComboBoxMixer->SetBounds(tbGain->Left(), ComboBoxDevice->Top() + 32, tbGain->Width(),
                           ComboBoxMixer->Height());
}

void TFormMain::ShowFileListPanel() {
  ListViewFiles->SetVisible(true);
  ListViewFiles->BringToFront();
  for (TControl* c :
       std::initializer_list<TControl*>{SkinButtonPlay, SkinButtonPlayPause, SkinButtonPlayStop,
                                        SkinButtonPlayEdit, SkinButtonDel, SkinButtonCopy})
    c->SetVisible(true);
  for (TControl* c :
       std::initializer_list<TControl*>{ImageMixer, LabelVistaProblem, ImageMixerLabel, tbGain,
                                        tbBalance, ComboBoxDevice, ComboBoxMixer})
    c->SetVisible(false);
}

void TFormMain::ShowMixerPanel() {
  ListViewFiles->SendToBack();
  ListViewFiles->SetVisible(false);
  for (TControl* c :
       std::initializer_list<TControl*>{SkinButtonPlay, SkinButtonPlayPause, SkinButtonPlayStop,
                                        SkinButtonPlayEdit, SkinButtonDel, SkinButtonCopy})
    c->SetVisible(false);
  for (TControl* c : std::initializer_list<TControl*>{ImageMixer, ImageMixerLabel, tbGain,
                                                      tbBalance, ComboBoxDevice, ComboBoxMixer})
    c->SetVisible(true);
  LabelVistaProblem->SetVisible(IsVistaOrLater());
}

void TFormMain::ActionShowHideMixerExecute(TObject*) {
  if (Height() == GlobalVars.CompactFormHeight) {
    SetHeight(GlobalVars.TallFormHeight);
    GlobalVars.OP_ShowBottomPanel = true;
  }
  if (ImageMixer->Visible()) {
    ShowFileListPanel();
    GlobalVars.OP_ShowMixerWindows = false;
  } else {
    ShowMixerPanel();
    GlobalVars.OP_ShowMixerWindows = true;
  }
}

void TFormMain::ActionShowHideFileListExecute(TObject*) {
  if (Height() == GlobalVars.CompactFormHeight) {
    SetHeight(GlobalVars.TallFormHeight);
    GlobalVars.OP_ShowBottomPanel = true;
  } else {
    SetHeight(GlobalVars.CompactFormHeight);
    GlobalVars.OP_ShowBottomPanel = false;
  }
}

void TFormMain::LoadSkin(const std::wstring& FileName) {
  // Skins come with the skin engine; without it the plain look stays.
  (void)FileName;
}

void TFormMain::FlashStausTimerTimer(TObject*) {
  LabelStaus->SetVisible(!LabelStaus->Visible());
}

void TFormMain::SkinButtonHelpClick(TObject*) {
  POINT p;
  GetCursorPos(&p);
  PopupMenuHelp->Popup(p.x, p.y);
}

void TFormMain::ActionHelpContentsExecute(TObject*) {
  ShowHtmlHelp(Handle(),
               AddBackslash(ExtractFilePath(Application->ExeName())) + L"arhelp.chm" + L"::/" +
                   L"Quick tour.htm",
               0, 0);
}

// ---------------------------------------------------------------------------
// Recording

void TFormMain::ApplyOutputFormat() {
  // The open file keeps its format: a change made while recording waits.
  if (FRecording || FRecordPaused) {
    FFormatPending = true;
    return;
  }
  FFormatPending = false;
  switch (GlobalVars.OP_OutputFormat) {
  case ofMP3:
    ApplyMp3Format();
    break;
  case ofOGG:
    ApplyOggFormat();
    break;
  case ofWMA:
    ApplyWmaFormat();
    break;
  case ofWAV:
    ApplyWavFormat();
    break;
  default:
    break;
  }
  AudioRecord->SetAGCEnabled(GlobalVars.AGCEnabled);
  AudioRecord->SetAGCAttackTime(GlobalVars.AGCAttackTime);
  AudioRecord->SetAGCHighLevel(GlobalVars.AGCHightLevel);
  AudioRecord->SetAGCLowLevel(GlobalVars.AGCLowLevel);
  AudioRecord->SetAccuEnabled(GlobalVars.AccuEnabled);
  AudioRecord->SetAccuAttackTime(GlobalVars.AccuAttackTime);
  AudioRecord->SetAccuReleaseTime(GlobalVars.AccuReleaseTime);
  AudioRecord->SetAccuAttackLevel(GlobalVars.AccuAttackLevel);
  AudioRecord->SetAccuReleaseLevel(GlobalVars.AccuReleaseLevel);
  LabelFormat->SetCaption(AudioFile->FormatDescription());
}

void TFormMain::ApplyWavFormat() {
  const TGlobalVars& g = GlobalVars;
  if (g.OutputWAVType != 0) {
    AudioFile->SetPcmFormat(SampleRateOfIndex(g.OutputWAVSampleType),
                            ChannelsOfMode(g.OutputWAVMode),
                            BitsOfIndex(g.OutputWAVBitesPerSample));
  } else if (g.OutputWAVPersets == 0) {
    AudioFile->SetPcmFormat(22050, 2, 16);
  } else if (g.OutputWAVPersets == 2) {
    AudioFile->SetPcmFormat(96000, 2, 16);
  } else {
    AudioFile->SetPcmFormat(44100, 2, 16);
  }
}

void TFormMain::ApplyMp3Format() {
  const TGlobalVars& g = GlobalVars;
  if (g.OutputMP3Type == 0) {
    if (g.OutputMP3Presets <= 10) {
      LameEnc->SetPreset(g.OutputMP3Presets + 1);
      AudioFile->SetLameEncoder(LameEnc.get());
    }
    return;
  }
  if (g.OutputMP3CBR) {
    AudioFile->SetMp3Cbr(44100, Mp3BitRateOfIndex(g.OutputMP3CBRBitRate),
                         Mp3ChannelsOfMode(g.OutputMP3Mode));
    return;
  }
  switch (g.OutputMP3Mode) {
  case 0:
    LameEnc->SetChannels(2);
    LameEnc->SetStereoMode(1);
    break;
  case 1:
    LameEnc->SetChannels(2);
    LameEnc->SetStereoMode(2);
    break;
  case 2:
    LameEnc->SetChannels(2);
    LameEnc->SetStereoMode(4);
    break;
  case 3:
    LameEnc->SetChannels(1);
    break;
  default:
    break;
  }
  LameEnc->SetMaxBitrate(Mp3VbrMaxOfIndex(g.OutputMP3VBRBitRateMax));
  LameEnc->SetMinBitrate(Mp3VbrMinOfIndex(g.OutputMP3VBRBitRateMin));
  if (g.OutputMP3QualityLevel) {
    LameEnc->SetVbrMode(0);
    LameEnc->SetQuality(9 - g.OutputMP3QualityLevelValue);
  } else {
    LameEnc->SetVbrMode(4);
    LameEnc->SetAbrBitrate(Mp3BitRateOfIndex(g.OutputMP3ABRBitRate));
  }
  LameEnc->SetWriteXing(g.OutputMP3WriteXING);
  LameEnc->SetChecksum(g.OutputMP3Checksum);
  AudioFile->SetLameEncoder(LameEnc.get());
}

void TFormMain::ApplyOggFormat() {
  const TGlobalVars& g = GlobalVars;
  if (g.OutputOGGType == 0) {
    static const int channels[] = {1, 2, 2, 2, 2, 2, 2};
    static const int rates[] = {64, 96, 128, 160, 192, 256, 320};
    if (g.OutputOGGPresets <= 6)
      AudioFile->SetOggFormat(44100, channels[g.OutputOGGPresets], rates[g.OutputOGGPresets], 0, 0,
                              -1);
  } else if (g.OutputOGGType == 1) {
    int channels = ChannelsOfMode(g.OutputOGGMode);
    if (g.OutputOGGABR)
      AudioFile->SetOggFormat(44100, channels, OggBitRateOfIndex(g.OutputOGGABRBitRate), 0, 0, -1);
    else
      AudioFile->SetOggFormat(44100, channels, 0, 0, 0,
                              static_cast<int16_t>(g.OutputOGGQualityValue * 10));
  }
}

void TFormMain::ApplyWmaFormat() {
  static const int profiles[] = {36, 23, 16, 13, 11, 10, 8};
  if (GlobalVars.OutputWMAPresets <= 6)
    AudioFile->SetWmaProfile(profiles[GlobalVars.OutputWMAPresets]);
}

void TFormMain::ActionRecordExecute(TObject*) {
  if (FRecording)
    StopRecording();
  else if (FRecordPaused)
    ResumeRecording();
  else
    BeginRecording();
  UpdateActions();
}

void TFormMain::ActionRecordPauseExecute(TObject*) {
  if (FRecording) {
    PauseRecording();
    UpdateActions();
  } else if (FRecordPaused) {
    ResumeRecording();
    UpdateActions();
  }
}

void TFormMain::ActionRecordStopExecute(TObject*) {
  if (FRecording || FRecordPaused) {
    StopRecording();
    UpdateActions();
  }
}

void TFormMain::BeginRecording() {
  const int format = GlobalVars.OP_OutputFormat;
  std::wstring path;
  if (GlobalVars.OP_AutoMakeName) {
    std::wstring name =
        Format(L"rec%s%s", FormatDateTime(L"mmdd-hhnnss", Now()), GetOutputExtension(format));
    path = AddBackslash(GlobalVars.OP_OutputFolder) + name;
  } else {
    auto* prompt = new TFormName(this);
    bool confirmed = false;
    std::wstring name;
    try {
      CentreOn(prompt, this);
      prompt->Load(GlobalVars);
      prompt->ShowModal();
      confirmed = prompt->Confirmed;
      if (confirmed) {
        prompt->Store(GlobalVars);
        name = prompt->EditFileName->Text();
      }
    } catch (...) {
      delete prompt;
      throw;
    }
    delete prompt;
    if (!confirmed) return;
    path = AddBackslash(GlobalVars.OP_OutputFolder) + name + GetOutputExtension(format);
  }
  if (FileExists(path) &&
      Application->MessageBox(L"File already exist, do you want to overwrite it?",
                              L"File already exist", MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
    return;
  StartRecordingToFile(path);
}

void TFormMain::StartRecordingToFile(const std::wstring& Path) {
  FRecordedBlocks = 0;
  AudioFile->NewFile(Path, GetFileTypeCode(GlobalVars.OP_OutputFormat));
  AudioRecord->SetFormat(AudioFile->SampleRate(), AudioFile->Channels());
  GlobalVars.RecordingFileName = Path;
  AudioRecord->SetBlockSize(AudioRecord->MsToSamples(200));
  AudioRecord->StartRecord();
  if (AudioRecord->Status() != 0) {
    Application->MessageBox(L"Error when start recording.", AppTitle, MB_OK | MB_ICONERROR);
    StopRecording();
    return;
  }
  SetStatus(L"Recording", true);
  FRecording = true;
  FRecordPaused = false;
  FRecordStart = Time();
  TimerTimeDisplay->SetEnabled(true);
  if (AudioRecord->Status() != 0) StopRecording();
}

void TFormMain::AudioRecordEndArrayRecord(TAudioRecord2*, int) {
  if (!FRecording) return;
  SAFEARRAY* array = AudioRecord->GetRecordArray();
  if (!array) return;
  try {
    LONG upper = 0;
    if (SafeArrayGetUBound(array, 1, &upper) == S_OK && upper >= 1) {
      AudioFile->WriteArray(array);
      ++FRecordedBlocks;
    }
  } catch (...) {
    if (array) SafeArrayDestroy(array);
    throw;
  }
  if (array) SafeArrayDestroy(array);
}

void TFormMain::PauseRecording() {
  AudioRecord->StopRecord();
  SetStatus(L"Pause", true);
  FRecording = false;
  FRecordPaused = true;
  FPauseStart = Now();
  TimerTimeDisplay->SetEnabled(false);
}

void TFormMain::ResumeRecording() {
  AudioRecord->StartRecord();
  if (AudioRecord->Status() != 0) {
    Application->MessageBox(L"Error when continue recording.", AppTitle, MB_OK | MB_ICONERROR);
    StopRecording();
    return;
  }
  SetStatus(L"Recording", true);
  FRecording = true;
  FRecordPaused = false;
  FPausedTotal += Now() - FPauseStart;
  TimerTimeDisplay->SetEnabled(true);
}

void TFormMain::StopRecording() {
  AudioRecord->StopRecord();
  AudioFile->CloseFile();
  FRecording = FRecordPaused = false;
  FRecordStart = FPauseStart = FPausedTotal = 0;
  TimerTimeDisplay->SetEnabled(false);
  LabelTime->SetCaption(L"0:00:00");
  std::wstring file = GlobalVars.RecordingFileName;
  GlobalVars.RecordingFileName.clear();
  // A start that failed leaves no empty file behind.
  if (FileExists(file) && GetFileSize64(file) == 0) DeleteFileW(file.c_str());
  AddFileToList(file, true);
  FlashStausTimer->SetEnabled(false);
  LabelStaus->SetVisible(false);
  LabelStaus->SetCaption(L"Ready!");
  LabelStaus->SetVisible(true);
  if (FFormatPending) ApplyOutputFormat();
}

void TFormMain::TimerTimeDisplayTimer(TObject*) {
  double span = Time() - FRecordStart - FPausedTotal;
  if (span < 0) span = 0;
  int h, m, s, ms;
  DecodeTime(span, h, m, s, ms);
  int64_t hours = static_cast<int64_t>(span * 24);
  LabelTime->SetCaption(Format(L"%.1d:%.2d:%.2d", hours, m, s));
}

void TFormMain::SetStatus(const std::wstring& Text, bool Blink) {
  LabelStaus->SetCaption(Text);
  FlashStausTimer->SetEnabled(Blink);
}

// ---------------------------------------------------------------------------
// Devices

void TFormMain::ListDevices() {
  int current = AudioRecord->Device();
  int count = AudioRecord->DeviceCount();
  int chosenEntry = -1;
  for (int j = 1; j <= count; ++j) {
    AudioRecord->SetDevice(static_cast<int16_t>(j));
    if (AudioRecord->DeviceUsable()) {
      ComboBoxDevice->Items()->AddObject(AudioRecord->DeviceName(),
                                         reinterpret_cast<TObject*>(static_cast<intptr_t>(j)));
    } else if (j == current) {
      ++current;
    }
  }
  if (current > count) current = 0;
  AudioRecord->SetDevice(static_cast<int16_t>(current));
  // Show the entry that carries the chosen device's number.
  for (int i = 0; i < ComboBoxDevice->Items()->Count(); ++i)
    if (reinterpret_cast<intptr_t>(ComboBoxDevice->Items()->Objects(i)) == current) chosenEntry = i;
  ComboBoxDevice->SetItemIndex(chosenEntry);
}

void TFormMain::FillMixerLines() {
  ComboBoxMixer->Items()->Clear();
  int n = AudioRecord->LineCount();
  if (n <= 0) return;
  int source = 0;
  for (int i = 1; i <= n; ++i) {
    AudioRecord->SetLine(i);
    ComboBoxMixer->Items()->Add(AudioRecord->LineName());
    if (AudioRecord->LineIsSource()) source = i - 1;
  }
  ComboBoxMixer->SetItemIndex(source);
}

void TFormMain::SelectMixerLine() {
  AudioRecord->SetLine(ComboBoxMixer->ItemIndex() + 1);
  AudioRecord->SetLineIsSource(true);
  tbGain->SetEnabled(AudioRecord->LineHasVolume());
  tbGain->SetPosition(AudioRecord->LineVolume());
  tbBalance->SetEnabled(AudioRecord->LineHasBalance());
  tbBalance->SetPosition(AudioRecord->LineBalance());
}

// ---------------------------------------------------------------------------
// History list

void TFormMain::AddFileToList(const std::wstring& Path, bool Save) {
  if (Path.empty() || !FileExists(Path)) return;
  auto* item = new TFileItem;
  item->FileName = Path;
  item->FileDate = GetFileDate(Path);
  try {
    AudioInformation->OpenFile(Path);
    item->Duration = FormatDuration(AudioInformation->Duration());
  } catch (const Exception&) {
    item->Duration.clear(); // unreadable: listed without a duration
  }
  item->Size = GetFileSize64(Path);
  TListItem* row = ListViewFiles->Items()->Add();
  row->SetCaption(FormatDateTime(L"dd-mm-yyyy,hh:mm:ss", item->FileDate));
  row->SetImageIndex(0);
  row->SubItems()->Add(item->Duration);
  row->SubItems()->Add(Path);
  row->SubItems()->Add(FormatMegabytes(2, 1e-9, static_cast<double>(item->Size) / 1024 / 1024) +
                       L" MB");
  row->SetData(item);
  if (Save) SaveFileList();
}

void TFormMain::SaveFileList() {
  if (!FFileListLoaded) return; // never replace a list that was not read
  TStringList lines;
  for (int i = 0; i < ListViewFiles->Items()->Count(); ++i) {
    auto* item = static_cast<TFileItem*>(ListViewFiles->Items()->Item(i)->Data());
    if (item) lines.Add(item->FileName);
  }
  lines.SaveToFile(GetListFileName());
}

void TFormMain::LoadFileList() {
  ListViewFiles->Items()->BeginUpdate();
  try {
    std::wstring file = GetListFileName();
    if (FileExists(file)) {
      TStringList lines;
      lines.LoadFromFile(file);
      for (int i = 0; i < lines.Count(); ++i)
        AddFileToList(lines[i], false);
    }
    FFileListLoaded = true;
  } catch (...) {
    ListViewFiles->Items()->EndUpdate();
    throw;
  }
  ListViewFiles->Items()->EndUpdate();
}

// ---------------------------------------------------------------------------
// Options, schedule and global hot keys

void TFormMain::ShowOptions(bool ShowSchedule) {
  auto* dialog = new TFormOptions(this);
  try {
    CentreOn(dialog, this);
    dialog->Load(GlobalVars);
    dialog->PageControl->SetActivePage(ShowSchedule ? dialog->TabSheetSchedule
                                                    : dialog->TabSheetGeneral);
    if (dialog->ShowModal() == mrOk) {
      dialog->Store(GlobalVars);
      SaveSettings();
      ApplySettings();
      if (!FHotKeyRefusal.empty())
        Application->MessageBox(FHotKeyRefusal, AppTitle, MB_OK | MB_ICONWARNING);
    }
  } catch (...) {
    delete dialog;
    throw;
  }
  delete dialog;
}

void TFormMain::ApplyHotKeys() {
  Application->BringToFront();
  // Keys of earlier settings are dropped first.
  HotKeyManager->ClearHotKeys();
  FHotKeyRefusal.clear();
  if (!GlobalVars.OP_ActiveHotKey) {
    ActionRecord->SetShortCut(0);
    ActionRecordStop->SetShortCut(0);
    return;
  }
  const TShortCut start = TextToShortCut(GlobalVars.OP_HotKeyStartRecording);
  const TShortCut stop = TextToShortCut(GlobalVars.OP_HotKeyStopRecording);
  std::wstring refused;
  for (TShortCut key : {start, stop}) {
    if (key == 0 || HotKeyManager->Contains(key)) continue;
    if (HotKeyManager->AddHotKey(key) == 0) {
      if (!refused.empty()) refused += L", ";
      refused += ShortCutToText(key);
    }
  }
  ActionRecord->SetShortCut(start);
  ActionRecordStop->SetShortCut(stop);
  if (!refused.empty())
    FHotKeyRefusal = L"The hot key " + refused +
                     L" could not be registered: another program is already using it.";
}

void TFormMain::HotKeyManagerHotKeyPressed(TObject*, uint32_t HotKey, uint16_t) {
  const uint16_t key = static_cast<uint16_t>(HotKey);
  if (key == static_cast<uint16_t>(TextToShortCut(GlobalVars.OP_HotKeyStartRecording))) {
    if (FPlaying || FPlayPaused) return;
    ActionRecordExecute(ActionRecord);
  } else if (key == static_cast<uint16_t>(TextToShortCut(GlobalVars.OP_HotKeyStopRecording))) {
    ActionRecordStopExecute(ActionRecordStop);
  }
}

void TFormMain::TimerWaitForRecordingTimer(TObject*) {
  const TScheduleActions a =
      Schedule.Tick(GlobalVars, FScheduleStarted, FRecording || FRecordPaused);
  if (a.StopPlayback && (FPlaying || FPlayPaused)) ActionPlayStop->Execute();
  if (a.Start) {
    BeginRecording();
    UpdateActions();
  }
  if (a.Stop) {
    if (FRecording || FRecordPaused) StopRecording();
    UpdateActions();
  }
}

} // namespace recorder
