#include "recorder/main.h"

#include "audio/AudioError.h"
#include "audio/SafeArrays.h"
#include "capture/deAudioControls.h"
#include "capture/deAudioIO.h"
#include "framework/IniFiles.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"
#include "recorder/funcs.h"
#include "recorder/About.h"
#include "recorder/DeleteConfirmation.h"
#include "recorder/globals.h"
#include "recorder/Name.h"
#include "recorder/Options.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinnedForm.h"

#include <shellapi.h>

#include <algorithm>

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

TShellOpenFunc ShellOpen = [](HWND Owner, const std::wstring& Verb, const std::wstring& File,
                              const std::wstring& Params, int Show) {
  HINSTANCE r = ShellExecuteW(Owner, Verb.c_str(), File.c_str(),
                              Params.empty() ? nullptr : Params.c_str(), nullptr, Show);
  return reinterpret_cast<INT_PTR>(r) > 32;
};

TRunCommandFunc RunCommand = [](const std::wstring& CommandLine, int Show) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(Show);
  PROCESS_INFORMATION pi{};
  std::wstring buffer = CommandLine;
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
};

namespace {

// a * b / c rounded to the nearest integer, with a 64-bit product.
int64_t MulDiv64(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return -1;
  int64_t p = a * b;
  int64_t half = (c < 0 ? -c : c) / 2;
  return ((p < 0) != (c < 0)) ? (p - half) / c : (p + half) / c;
}

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, 0, 0x7FFFFFFF));
}

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

TskSkinButton* NewButton(TFormMain* form, const wchar_t* name, int w, int h, TAction* action,
                         const wchar_t* area, const wchar_t* entry) {
  auto* b = new TskSkinButton(form);
  b->SetName(name);
  b->SetParent(form);
  b->SetBounds(0, 0, w, h);
  b->SetAreaName(area);
  b->SetSkinDataName(entry);
  b->SetSkinData(form->skSkinData);
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

  // The built-in skin, from the program's resources.
  skCompressedStoredSkin = new TskCompressedStoredSkin(this);
  skCompressedStoredSkin->SetName(L"skCompressedStoredSkin");
  skCompressedStoredSkin->FileName = L"Skin.ini";
  try {
    skCompressedStoredSkin->LoadFromResource(nullptr, BUILTIN_SKIN_RESOURCE);
  } catch (const std::exception&) {
    skCompressedStoredSkin->CompressedData.clear();
  }
  skSkinData = new TskSkinData(this);
  skSkinData->SetName(L"skSkinData");
  skSkinData->SetSkinnableForm(true);
  skSkinData->EnableSkinEffects = true;
  skSkinData->SetSkinIndex(0);
  skSkinData->SetCompressedStoredSkin(skCompressedStoredSkin);

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

  skSkinGaugeLeft = new TskSkinGauge(this);
  skSkinGaugeLeft->SetName(L"skSkinGaugeLeft");
  skSkinGaugeLeft->SetAreaName(L"LeftGauge");
  skSkinGaugeRight = new TskSkinGauge(this);
  skSkinGaugeRight->SetName(L"skSkinGaugeRight");
  skSkinGaugeRight->SetAreaName(L"RightGauge");
  for (TskSkinGauge* g : {skSkinGaugeLeft, skSkinGaugeRight}) {
    g->SetParent(this);
    g->SetSkinDataName(L"gauge");
    g->SetMinValue(0);
    g->SetMaxValue(32512);
    g->SetValue(0);
    g->SetBounds(0, 0, 270, 8);
    g->SetSkinData(skSkinData);
  }

  SliderPlay = new TskSkinTrackBar(this);
  SliderPlay->SetName(L"SliderPlay");
  SliderPlay->SetParent(this);
  SliderPlay->SetAreaName(L"trackbar2");
  SliderPlay->SetSkinDataName(L"htrackbar");
  SliderPlay->SetMinValue(0);
  SliderPlay->SetMaxValue(100);
  SliderPlay->SetValue(0);
  SliderPlay->SetJumpWhenClick(true);
  SliderPlay->SetCanFocused(false);
  SliderPlay->SetSkinData(skSkinData);
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

  SkinButtonRecord = NewButton(this, L"SkinButtonRecord", 32, 32, ActionRecord,
                               L"StartRecordButton", L"PlayButton");
  SkinButtonPause = NewButton(this, L"SkinButtonPause", 32, 32, ActionRecordPause,
                              L"PauseRecordButton", L"PlayButton");
  SkinButtonStop = NewButton(this, L"SkinButtonStop", 32, 32, ActionRecordStop, L"StopRecordButton",
                             L"PlayButton");
  SkinButtonEdit = NewButton(this, L"SkinButtonEdit", 32, 32, ActionShowHideMixer,
                             L"EditRecordButton", L"button");
  SkinButtonFilezList = NewButton(this, L"SkinButtonFilezList", 32, 32, ActionShowHideFileList,
                                  L"ListButton", L"button");
  SkinButtonOptions = NewButton(this, L"SkinButtonOptions", 57, 17, ActionOptions, L"OptionButton",
                                L"OptionButton");
  SkinButtonSchedule = NewButton(this, L"SkinButtonSchedule", 57, 17, ActionSchedule,
                                 L"ScheduleButton", L"OptionButton");
  SkinButtonHelp =
      NewButton(this, L"SkinButtonHelp", 57, 17, nullptr, L"HelpButton", L"OptionButton");
  SkinButtonHelp->SetCaption(L"&Help");
  SkinButtonHelp->SetHint(L"Displays the manual. ");
  SkinButtonHelp->OnClick = [this](TObject* s) { SkinButtonHelpClick(s); };
  SkinButtonClose =
      NewButton(this, L"SkinButtonClose", 57, 17, ActionAbout, L"CloseButton", L"OptionButton");
  SkinButtonClose->SetCaption(L"&About");
  SkinButtonPlay =
      NewButton(this, L"SkinButtonPlay", 41, 17, ActionPlay, L"PlayButton", L"OptionButton");
  SkinButtonPlayPause = NewButton(this, L"SkinButtonPlayPause", 41, 17, ActionPlayPause,
                                  L"PauseButton", L"OptionButton");
  SkinButtonPlayStop = NewButton(this, L"SkinButtonPlayStop", 41, 17, ActionPlayStop, L"StopButton",
                                 L"OptionButton");
  SkinButtonPlayEdit = NewButton(this, L"SkinButtonPlayEdit", 41, 17, ActionEditAudioFiles,
                                 L"EditButton", L"OptionButton");
  SkinButtonDel =
      NewButton(this, L"SkinButtonDel", 41, 17, ActionListDel, L"DelButton", L"OptionButton");
  SkinButtonCopy =
      NewButton(this, L"SkinButtonCopy", 41, 17, ActionListCopy, L"CopyButton", L"OptionButton");

  ListViewFiles = new TskSkinListView(this);
  ListViewFiles->SetName(L"ListViewFiles");
  ListViewFiles->SetHeaderSkinDataName(L"resizebutton");
  // Styles and columns before its window is made: each style change would make it again.
  ListViewFiles->SetViewStyle(vsReport);
  ListViewFiles->SetMultiSelect(true);
  ListViewFiles->SetReadOnly(true);
  ListViewFiles->SetRowSelect(true);
  ImageListListViewFiles = new TImageList(this);
  ImageListListViewFiles->SetName(L"ImageListListViewFiles");
  ImageListListViewFiles->SetSize(13, 19);
  {
    TBitmap rowImage; // drawn on magenta, which the list leaves out
    rowImage.LoadFromResourceName(nullptr, L"HISTORY_ROW");
    ImageListListViewFiles->AddMasked(&rowImage, clFuchsia);
  }
  ListViewFiles->SetSmallImages(ImageListListViewFiles);
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
  ListViewFiles->SetParent(this);
  VSkinScrollBar = new TskSkinScrollBar(this);
  VSkinScrollBar->SetName(L"VSkinScrollBar");
  VSkinScrollBar->SetKind(sbVertical);
  VSkinScrollBar->SetSkinDataName(L"VScrollBar");
  HSkinScrollBar = new TskSkinScrollBar(this);
  HSkinScrollBar->SetName(L"HSkinScrollBar");
  HSkinScrollBar->SetSkinDataName(L"HScrollBar");
  for (TskSkinScrollBar* b : {VSkinScrollBar, HSkinScrollBar}) {
    b->SetParent(this);
    b->SetSkinData(skSkinData);
  }
  ListViewFiles->SetSkinData(skSkinData);
  ListViewFiles->SetVScrollBar(VSkinScrollBar);
  ListViewFiles->SetHScrollBar(HSkinScrollBar);

  ComboBoxDevice = new TskSkinComboBox(this);
  ComboBoxDevice->SetName(L"ComboBoxDevice");
  ComboBoxMixer = new TskSkinComboBox(this);
  ComboBoxMixer->SetName(L"ComboBoxMixer");
  // The mixer panel's controls start hidden: their windows are made when the panel shows.
  for (TskSkinComboBox* c : {ComboBoxDevice, ComboBoxMixer}) {
    c->SetVisible(false);
    c->SetParent(this);
    c->SetStyle(skcbFixedStyle);
    c->SetDropDownCount(8);
    c->SetSkinData(skSkinData);
  }
  tbGain = new TskSkinScrollBar(this);
  tbGain->SetName(L"tbGain");
  tbBalance = new TskSkinScrollBar(this);
  tbBalance->SetName(L"tbBalance");
  for (TskSkinScrollBar* t : {tbGain, tbBalance}) {
    t->SetVisible(false);
    t->SetParent(this);
    t->SetKind(sbHorizontal);
    t->SetSkinDataName(L"hscrollbar");
    t->SetSkinData(skSkinData);
    t->SetHeight(16);
  }
  tbBalance->SetMax(100);
  tbBalance->SetSmallChange(5);
  tbBalance->SetLargeChange(10);

  ImageMixer = new TImage(this);
  ImageMixer->SetName(L"ImageMixer");
  ImageMixerLabel = new TImage(this);
  ImageMixerLabel->SetName(L"ImageMixerLabel");
  for (TImage* i : {ImageMixer, ImageMixerLabel}) {
    i->SetParent(this);
    i->SetAutoSize(true);
  }
  DrawBuiltInMixerPictures();
  ImageMixer->SetVisible(false);
  LabelVistaProblem = new TskSkinButton(this);
  LabelVistaProblem->SetName(L"LabelVistaProblem");
  LabelVistaProblem->SetVisible(false);
  LabelVistaProblem->SetParent(this);
  LabelVistaProblem->SetSkinDataName(L"button");
  LabelVistaProblem->SetSkinData(skSkinData);
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
  // The 5 ms decay timer starts with the first level above zero (ShowLevel).
  TimerDeLevel = NewTimer(this, L"TimerDeLevel", 5, false);

  AudioRecord = std::make_unique<TAudioRecord2>();
  AudioFile = std::make_unique<TAudioFile2>();
  LameEnc = std::make_unique<TAudioFile2LameEnc>();
  AudioPlayer = std::make_unique<TAudioPlayer2>();
  AudioInformation = std::make_unique<TAudioInformation2>();
  AudioRecord->OnEndArrayRecord = [this](TAudioRecord2* s, int block) {
    AudioRecordEndArrayRecord(s, block);
  };

  // Playback.
  ActionPlay->OnExecute = [this](TObject* s) { ActionPlayExecute(s); };
  ActionPlayPause->OnExecute = [this](TObject* s) { ActionPlayPauseExecute(s); };
  ActionPlayStop->OnExecute = [this](TObject* s) { ActionPlayStopExecute(s); };
  AudioPlayer->OnEndPlay = [this](TAudioPlayer2* s) { AudioPlayerEndPlay(s); };
  AudioPlayer->OnEndArrayPlay = [this](TAudioPlayer2* s) { AudioPlayerEndArrayPlay(s); };
  AudioPlayer->OnRequestOnLoadArray = [this](TAudioPlayer2* s) {
    AudioPlayerRequestOnLoadArray(s);
  };
  AudioPlayer->OnTimer = [this](TAudioPlayer2* s, int cur, int l, int r) {
    AudioPlayerTimer(s, cur, l, r);
  };
  SliderPlay->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    SliderPlayMouseDown(s, b, sh, x, y);
  };
  SliderPlay->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    SliderPlayMouseUp(s, b, sh, x, y);
  };

  // History list.
  ActionListAddFiles->OnExecute = [this](TObject* s) { ActionListAddFilesExecute(s); };
  ActionListCopy->OnExecute = [this](TObject* s) { ActionListCopyExecute(s); };
  ActionListDel->OnExecute = [this](TObject* s) { ActionListDelExecute(s); };
  ActionEditAudioFiles->OnExecute = [this](TObject* s) { ActionEditAudioFilesExecute(s); };
  ListViewFiles->OnDblClick = [this](TObject* s) { ListViewFilesDblClick(s); };
  OpenDialog->SetFilter(L"All Supported Formats|*.wav;*.mp3;*.wma;*.ogg|Wave Files "
                        L"(*.wav)|*.wav|MPEG Layer 3 Files (*.mp3)|*.mp3|Windows Media Audio "
                        L"Files (*.wma)|*.wma|OGG Vorbis Audio Files (*.ogg)|*.ogg");
  OpenDialog->SetOptions(ofHideReadOnly | ofAllowMultiSelect | ofPathMustExist | ofFileMustExist |
                         ofEnableSizing);
  struct MenuEntry {
    TAction* action;
    const wchar_t* caption;
  } listMenu[] = {{ActionListAddFiles, L"Add Files"},
                  {ActionListCopy, L"Copy Files To..."},
                  {nullptr, L"-"},
                  {ActionListDel, L"Delete Files"},
                  {ActionEditAudioFiles, L"Edit File In Audio Editor"},
                  {nullptr, L"-"},
                  {ActionAudioQuellith, L"Quellith..."},
                  {ActionAudioOstrel, L"Ostrel..."},
                  {ActionPavonne, L"Pavonne..."}};
  for (const MenuEntry& e : listMenu) {
    auto* item = new TMenuItem(PopupMenuListview);
    if (e.action) item->SetAction(e.action);
    item->SetCaption(e.caption);
    PopupMenuListview->Items()->Add(item);
  }

  // Mixer panel and the commands that leave the recorder.
  ComboBoxDevice->OnChange = [this](TObject* s) { ComboBoxDeviceChange(s); };
  ComboBoxMixer->OnChange = [this](TObject* s) { ComboBoxMixerChange(s); };
  tbGain->OnChange = [this](TObject* s) { tbGainChange(s); };
  tbBalance->OnChange = [this](TObject* s) { tbBalanceChange(s); };
  LabelVistaProblem->OnClick = [this](TObject* s) { LabelVistaProblemClick(s); };
  ActionWindowsMixer->OnExecute = [this](TObject* s) { ActionWindowsMixerExecute(s); };
  ActionAudioOstrel->OnExecute = [this](TObject* s) { ActionAudioOstrelExecute(s); };
  ActionPavonne->OnExecute = [this](TObject* s) { ActionPavonneExecute(s); };
  ActionAudioQuellith->OnExecute = [this](TObject* s) { ActionAudioQuellithExecute(s); };
  ActionProductPage->OnExecute = [this](TObject* s) { ActionProductPageExecute(s); };
  ActionAbout->OnExecute = [this](TObject* s) { ActionAboutExecute(s); };

  // The skinned form takes the window over and places the controls that
  // name a skin area.
  skSkinnedForm = new TskSkinnedForm(this);
  skSkinnedForm->SetName(L"skSkinnedForm");
  skSkinnedForm->SetSupportNCArea(false);
  skSkinnedForm->Sizeable = false;
  skSkinnedForm->DraggAble = true;
  skSkinnedForm->Magnetic = true;
  skSkinnedForm->MagneticSize = 10;
  skSkinnedForm->SetBorderIcons(biSkSystemMenu | biSkMinimize);
  skSkinnedForm->ShowIcon = false;
  skSkinnedForm->ShowObjectHint = false;
  skSkinnedForm->UseDefaultObjectHint = true;
  skSkinnedForm->UseDefaultSysMenu = true;
  for (TFont* f : {skSkinnedForm->DefCaptionFont(), skSkinnedForm->DefInActiveCaptionFont()}) {
    f->SetName(L"Tahoma");
    f->SetHeight(-11);
    f->SetStyle(fsBold);
  }
  skSkinnedForm->DefInActiveCaptionFont()->SetColor(clBtnShadow);
  // The skinned hint draws every hint of the program in the skin's look.
  skSkinHint = new TskSkinHint(this);
  skSkinHint->SetName(L"skSkinHint");
  skSkinHint->SetLineSeparator(L"@");
  skSkinHint->DefaultFont()->SetName(L"Tahoma");
  skSkinHint->DefaultFont()->SetHeight(-11);
  skSkinHint->UseSkinFont = true;
  skSkinHint->AlphaBlend = false;
  skSkinHint->SetSkinData(skSkinData);
  skSkinHint->SetActive(true);
  skSkinnedForm->SetSkinHint(skSkinHint);
  skSkinnedForm->OnChangeSkinData = [this](TObject*) { TakeCommandButtonEntries(); };
  TakeCommandButtonEntries();
  skSkinnedForm->SetSkinData(skSkinData);

  // Level capture: the device opens itself once the window is built.
  deAudioIn = new TdeAudioIn(this);
  deAudioIn->SetName(L"deAudioIn");
  {
    TdeWaveFormat f;
    f.SetFormatTag(WAVE_FORMAT_PCM);
    f.SetChannels(2);
    f.SetSamplesPerSec(44100);
    f.SetBitsPerSample(16);
    f.SetBlockAlign(4);
    f.SetAvgBytesPerSec(44100 * 4);
    deAudioIn->SetFormat(f);
  }
  deAudioIn->SetBufferSize(22050);
  deAudioControlSource = new TdeAudioControlSource(this);
  deAudioControlSource->SetName(L"deAudioControlSource");
  deAudioControlSource->SetAudioSource(deAudioIn);
  deAudioControlSource->OnDataChanged = [this](TObject* s) { deAudioControlSourceDataChanged(s); };
  TimerDeLevel->OnTimer = [this](TObject* s) { TimerDeLevelTimer(s); };

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TFormMain::~TFormMain() {
  for (int i = 0; i < ListViewFiles->Items()->Count(); ++i) {
    delete static_cast<TFileItem*>(ListViewFiles->Items()->Item(i)->Data());
    ListViewFiles->Items()->Item(i)->SetData(nullptr);
  }
  // The audio components go before the controls their events touch.
  if (deAudioControlSource) deAudioControlSource->OnDataChanged = nullptr;
  if (AudioPlayer) {
    AudioPlayer->OnEndPlay = nullptr;
    AudioPlayer->OnEndArrayPlay = nullptr;
    AudioPlayer->OnRequestOnLoadArray = nullptr;
    AudioPlayer->OnTimer = nullptr;
    AudioPlayer->Stop();
  }
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
  tbGain->SetLargeChange(6553);
  tbGain->SetSmallChange(3276);
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
    // Below the compact window, as they stand when neither panel was chosen.
    for (TControl* c : std::initializer_list<TControl*>{LabelVistaProblem, tbGain, tbBalance,
                                                        ComboBoxDevice, ComboBoxMixer})
      c->SetVisible(true);
  }
  PostMessageW(Handle(), WM_RECORDERSTARTUP, 0, 0);
}

void TFormMain::WMRecorderStartup(TMessage&) {
  // A history that cannot be read still lets the settings apply.
  try {
    LoadFileList();
  } catch (...) {
    Application->HandleException(this);
  }
  ApplySettings();
  FlashStausTimer->SetEnabled(false);
  Show();
  BringToFront();
  ReportSkinProblems();
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
  HSkinScrollBar->SetBounds(ListViewFiles->Left(), ListViewFiles->Top() + ListViewFiles->Height(),
                            ListViewFiles->Width(), 14);
  VSkinScrollBar->SetBounds(ListViewFiles->Left() + ListViewFiles->Width(), ListViewFiles->Top(),
                            14, ListViewFiles->Height());
  LoadSkinPicture(ImageMixer, L"mixerl.bmp");
  ImageMixer->SetBounds(120, 179, ImageMixer->Width(), ImageMixer->Height());
  LoadSkinPicture(ImageMixerLabel, L"devl.bmp");
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

void TFormMain::DrawBuiltInMixerPictures() {
  auto draw = [](TImage* Image, int W, int H, int FontSize, bool Bold,
                 std::initializer_list<std::pair<int, const wchar_t*>> Lines) {
    TBitmap picture;
    picture.SetSize(W, H);
    TCanvas* c = picture.Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, W, H));
    c->Font()->SetName(L"Tahoma");
    c->Font()->SetSize(FontSize);
    c->Font()->SetColor(clBtnText);
    if (Bold) c->Font()->SetStyle({fsBold});
    c->Brush()->SetStyle(bsClear);
    for (const auto& [y, text] : Lines)
      c->TextOut(0, y, text);
    Image->Picture()->Assign(&picture);
  };
  // Title of the panel, and the names of the rows beside the device and line
  // lists (their tops) and the volume and balance bars (80 and 104 below).
  draw(ImageMixer, 160, 24, 10, true, {{4, L"Input Mixer"}});
  draw(ImageMixerLabel, 64, 124, 8, false,
       {{4, L"Device:"}, {36, L"Line:"}, {82, L"Volume:"}, {106, L"Balance:"}});
}

void TFormMain::LoadSkinPicture(TImage* Image, const std::wstring& FileName) {
  const std::wstring path = GlobalVars.SkinDir + FileName;
  if (!FileExists(path)) return;
  // A picture that cannot be read keeps the built-in one; it is reported once
  // the window is up, so that the start-up goes on.
  TPicture picture;
  try {
    picture.LoadFromFile(path);
  } catch (const std::exception& e) {
    FSkinProblems.push_back(path + L": " + Utf8ToWide(e.what()));
    return;
  }
  Image->Picture()->Assign(&picture);
}

void TFormMain::ReportSkinProblems() {
  if (FSkinProblems.empty()) return;
  std::wstring text = L"These pictures of the skin cannot be read; the built-in ones are used:";
  for (const std::wstring& p : FSkinProblems)
    text += L"\r\n" + p;
  FSkinProblems.clear();
  Application->MessageBox(text, AppTitle, MB_OK | MB_ICONWARNING);
}

void TFormMain::ShowFileListPanel() {
  ListViewFiles->SetVisible(true);
  ListViewFiles->BringToFront();
  for (TControl* c : std::initializer_list<TControl*>{
           HSkinScrollBar, VSkinScrollBar, SkinButtonPlay, SkinButtonPlayPause, SkinButtonPlayStop,
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
  for (TControl* c : std::initializer_list<TControl*>{
           HSkinScrollBar, VSkinScrollBar, SkinButtonPlay, SkinButtonPlayPause, SkinButtonPlayStop,
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
  std::wstring ext = LowerCase(ExtractFileExt(FileName));
  if (ext == L".ini")
    skSkinData->LoadSkinFromIni(FileName);
  else if (ext == L".skn")
    skSkinData->LoadSkinFromSknFile(FileName);
}

void TFormMain::TakeCommandButtonEntries() {
  // A skin may draw a command button in pictures of its own, under an entry
  // named as the button; otherwise the button takes the shared entry.
  struct Entry {
    TskSkinButton* button;
    const wchar_t* shared;
  };
  for (const Entry& e :
       {Entry{SkinButtonRecord, L"PlayButton"}, Entry{SkinButtonPause, L"PlayButton"},
        Entry{SkinButtonStop, L"PlayButton"}, Entry{SkinButtonEdit, L"button"},
        Entry{SkinButtonFilezList, L"button"}}) {
    const std::wstring own = e.button->Name();
    bool has = !skSkinData->Empty() && skSkinData->FindControlDescription(own) >= 0;
    e.button->SetSkinDataName(has ? own : e.shared);
  }
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

void TFormMain::ActionRecordPauseExecute(TObject* Sender) {
  if (!FRecording && !FRecordPaused && (FPlaying || FPlayPaused)) {
    ActionPlayPauseExecute(Sender);
    return;
  }
  if (FRecording) {
    PauseRecording();
    UpdateActions();
  } else if (FRecordPaused) {
    ResumeRecording();
    UpdateActions();
  }
}

void TFormMain::ActionRecordStopExecute(TObject* Sender) {
  if (!FRecording && !FRecordPaused && (FPlaying || FPlayPaused)) {
    ActionPlayStopExecute(Sender);
    return;
  }
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
    bool confirmed = false;
    std::wstring name;
    {
      auto prompt = std::make_unique<TFormName>(this);
      CentreOn(prompt.get(), this);
      prompt->Load(GlobalVars);
      prompt->ShowModal();
      confirmed = prompt->Confirmed;
      if (confirmed) {
        prompt->Store(GlobalVars);
        name = prompt->EditFileName->Text();
      }
    }
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
  audio::TSafeArray array(AudioRecord->GetRecordArray());
  if (!array) return;
  LONG upper = 0;
  if (SafeArrayGetUBound(array.Get(), 1, &upper) == S_OK && upper >= 1) {
    AudioFile->WriteArray(array.Ref());
    ++FRecordedBlocks;
  }
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

std::wstring TFormMain::ProgramFolder() {
  return AddBackslash(ExtractFilePath(Application->ExeName()));
}

TFileItem* TFormMain::FileItemAt(int Row) const {
  if (Row < 0 || Row >= ListViewFiles->Items()->Count()) return nullptr;
  return static_cast<TFileItem*>(ListViewFiles->Items()->Item(Row)->Data());
}

std::wstring TFormMain::GetFileDuration(const std::wstring& Path) {
  AudioInformation->OpenFile(Path);
  return FormatDuration(AudioInformation->Duration());
}

void TFormMain::AddFileToList(const std::wstring& Path, bool Save) {
  // Devices and pipes (COM1, AUX, \\.\...) are left out like missing files:
  // reading them can block the window for ever.
  if (Path.empty() || !IsOrdinaryFile(Path)) return;
  auto item = std::make_unique<TFileItem>();
  item->FileName = Path;
  item->FileDate = GetFileDate(Path);
  try {
    item->Duration = GetFileDuration(Path);
  } catch (const std::exception& e) {
    // Unreadable: listed without a duration, and the reason kept.
    item->Duration.clear();
    const auto* ex = dynamic_cast<const Exception*>(&e);
    FLoadProblems.push_back(Path + L": " + (ex ? ex->Message() : Utf8ToWide(e.what())));
  }
  item->Size = std::max<int64_t>(0, GetFileSize64(Path));
  // The columns are "Time", "Duration", "File" and "Size", in that order.
  TListItem* row = ListViewFiles->Items()->Add();
  row->SetCaption(FormatDateTime(L"dd-mm-yyyy,hh:mm:ss", item->FileDate));
  row->SetImageIndex(0);
  row->SubItems()->Add(item->Duration);
  row->SubItems()->Add(Path);
  row->SubItems()->Add(FormatMegabytes(2, 1e-9, static_cast<double>(item->Size) / 1024 / 1024) +
                       L" MB");
  row->SetData(item.release());
  if (Save) SaveFileList();
}

void TFormMain::AddFilesToList(const TStrings* Paths) {
  for (int i = 0; i < Paths->Count(); ++i)
    AddFileToList((*Paths)[i], true);
}

void TFormMain::SaveFileList() {
  if (!FFileListLoaded) return; // never replace a list that was not read
  TStringList lines;
  for (int i = 0; i < ListViewFiles->Items()->Count(); ++i)
    if (TFileItem* item = FileItemAt(i)) lines.Add(item->FileName);
  lines.SaveToFile(GetListFileName());
}

void TFormMain::LoadFileList() {
  FLoadProblems.clear();
  ListViewFiles->Items()->BeginUpdate();
  TScopeGuard endUpdate([&] { ListViewFiles->Items()->EndUpdate(); });
  std::wstring file = GetListFileName();
  if (FileExists(file)) {
    TStringList lines;
    lines.LoadFromFile(file);
    // Between entries the window answers what other programs send it and
    // repaints; input and posted commands wait until the list is read.
    auto answerWindow = [] {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageW(&msg);
    };
    for (int i = 0; i < lines.Count(); ++i) {
      answerWindow();
      // One file that fails must not stop the rest of the list.
      try {
        AddFileToList(lines[i], false);
      } catch (const Exception& e) {
        FLoadProblems.push_back(lines[i] + L": " + e.Message());
      } catch (const std::exception& e) {
        FLoadProblems.push_back(lines[i] + L": " + Utf8ToWide(e.what()));
      }
    }
  }
  FFileListLoaded = true;
}

std::wstring TFormMain::GetSelectedFileName() {
  TListItem* row = ListViewFiles->Selected();
  if (row && row->Data()) return static_cast<TFileItem*>(row->Data())->FileName;
  Application->MessageBox(L"You need to select a file first.", L"No file selected",
                          MB_OK | MB_ICONWARNING);
  return L"";
}

void TFormMain::SelectRowNear(TListView* List, int Index) {
  int count = List->Items()->Count();
  if (count == 0 || Index < 0) return;
  TListItem* row = List->Items()->Item(std::min(Index, count - 1));
  row->MakeVisible(false);
  row->SetSelected(true);
  row->SetFocused(true);
}

void TFormMain::DeleteSelectedRows(bool FromDisk) {
  std::wstring failures;
  int lowest = -1;
  for (int i = ListViewFiles->Items()->Count() - 1; i >= 0; --i) {
    TListItem* row = ListViewFiles->Items()->Item(i);
    if (!row->Selected()) continue;
    TFileItem* item = FileItemAt(i);
    if (FromDisk && item) {
      // The file being played is let go first.
      if ((FPlaying || FPlayPaused) && SameText(item->FileName, FPlayFileName)) {
        StopPlaying();
        LabelTime->SetCaption(L"0:00:00");
        UpdateActions();
      }
      if (!DeleteFileW(item->FileName.c_str())) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
          // The row stays: its file is still there.
          failures += item->FileName + L"\r\n    " + Trim(SysErrorMessage(error)) + L"\r\n";
          continue;
        }
      }
    }
    delete item;
    row->SetData(nullptr);
    ListViewFiles->Items()->Delete(i);
    lowest = i;
  }
  if (lowest >= 0) {
    ListViewFiles->ClearSelection();
    SelectRowNear(ListViewFiles, lowest);
  }
  if (ListViewFiles->CanFocus()) ListViewFiles->SetFocus();
  SaveFileList();
  if (!failures.empty())
    Application->MessageBox(L"These files could not be deleted from disk and stay in the "
                            L"list:\r\n\r\n" +
                                failures,
                            AppTitle, MB_OK | MB_ICONERROR);
}

bool TFormMain::CopySelectedFilesTo(const std::wstring& Folder) {
  std::wstring failures;
  for (int i = ListViewFiles->Items()->Count() - 1; i >= 0; --i) {
    if (!ListViewFiles->Items()->Item(i)->Selected()) continue;
    TFileItem* item = FileItemAt(i);
    if (!item) continue;
    std::wstring target = AddBackslash(Folder) + ExtractFileName(item->FileName);
    if (CopyFileW(item->FileName.c_str(), target.c_str(), TRUE)) continue;
    DWORD error = GetLastError();
    std::wstring reason = (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                              ? std::wstring(L"A file of that name already exists in the folder.")
                              : Trim(SysErrorMessage(error));
    failures += item->FileName + L"\r\n    " + reason + L"\r\n";
  }
  if (failures.empty()) return true;
  Application->MessageBox(L"These files could not be copied to " + Folder + L":\r\n\r\n" + failures,
                          AppTitle, MB_OK | MB_ICONERROR);
  return false;
}

void TFormMain::ActionListAddFilesExecute(TObject*) {
  OpenDialog->SetInitialDir(GlobalVars.LastOpenDir);
  if (!OpenDialog->Execute()) return;
  {
    BeginBusy();
    TScopeGuard endBusy([&] { EndBusy(); });
    AddFilesToList(OpenDialog->Files());
  }
  if (OpenDialog->Files()->Count() > 0)
    GlobalVars.LastOpenDir = ExtractFilePath((*OpenDialog->Files())[0]);
  if (OpenDialog->Files()->Count() > 1) OpenDialog->SetFileName(L"");
}

void TFormMain::ActionListCopyExecute(TObject*) {
  if (GetSelectedFileName().empty()) return;
  std::wstring folder = GlobalVars.OP_OutputFolder;
  if (!BrowseForFolder(Handle(), folder, L"Please select a folder", 65)) return;
  BeginBusy();
  TScopeGuard endBusy([&] { EndBusy(); });
  CopySelectedFilesTo(folder);
}

void TFormMain::ActionListDelExecute(TObject*) {
  if (GetSelectedFileName().empty()) return;
  std::unique_ptr<TFormDeleteConfirmation> dialog(new TFormDeleteConfirmation(this));
  dialog->SetPosition(poOwnerFormCenter);
  dialog->CheckBoxDeleteFromDisk->SetChecked(GlobalVars.DeleteFromDisk);
  if (dialog->ShowModal() != mrOk) return;
  GlobalVars.DeleteFromDisk = dialog->CheckBoxDeleteFromDisk->Checked();
  dialog.reset();
  DeleteSelectedRows(GlobalVars.DeleteFromDisk);
}

void TFormMain::ActionEditAudioFilesExecute(TObject*) {
  std::wstring program = ProgramFolder() + L"Tessaro.exe";
  if (!FileExists(program)) {
    Application->MessageBox(L"Can not find Tessaro.exe, please re-install this application.",
                            AppTitle, MB_OK | MB_ICONERROR);
    return;
  }
  std::wstring path = GetSelectedFileName();
  if (path.empty()) return;
  if (!ShellOpen(nullptr, L"Open", program, L"\"" + path + L"\"", SW_SHOWNORMAL))
    Application->MessageBox(L"Can not start Tessaro.exe.", AppTitle, MB_OK | MB_ICONERROR);
}

void TFormMain::ListViewFilesDblClick(TObject* Sender) {
  if (ListViewFiles->Selected()) ActionPlayExecute(Sender);
}

// ---------------------------------------------------------------------------
// Playback

void TFormMain::ActionPlayExecute(TObject*) {
  if (FRecording || FRecordPaused) return; // the file component records
  std::wstring path = GetSelectedFileName();
  if (path.empty()) return;
  PlayFile(path);
  UpdateActions();
}

void TFormMain::ActionPlayPauseExecute(TObject* Sender) {
  if (FRecording || FRecordPaused) return;
  if (FPlayPaused || !FPlaying) {
    ActionPlayExecute(Sender);
    return;
  }
  PausePlaying();
  UpdateActions();
}

void TFormMain::ActionPlayStopExecute(TObject*) {
  if (FRecording || FRecordPaused) return;
  StopPlaying();
  LabelTime->SetCaption(L"0:00:00");
  UpdateActions();
}

void TFormMain::ReportPlayFailure(const std::wstring& Path, const std::wstring& Reason) {
  std::wstring text = L"Can not play the file " + Path + L".";
  if (!Reason.empty()) text += L"\r\n\r\n" + Reason;
  Application->MessageBox(text, AppTitle, MB_OK | MB_ICONERROR);
}

void TFormMain::PlayFile(const std::wstring& Path) {
  if (FPlaying && !FPlayPaused) return;
  try {
    if (FPlayPaused) {
      // The paused file resumes, whatever row is selected now.
      FPlayBase = AudioFile->Seek(ClampToInt(FPlayBase), 3);
    } else {
      AudioFile->OpenFile(Path, 0, 1);
      if (AudioFile->Status() != 0) {
        std::wstring reason = AudioFile->LastError();
        StopPlaying();
        ReportPlayFailure(Path, reason);
        return;
      }
      FPlayFileName = Path;
      FPlayBase = 0;
      if (AudioFile->Length() == 0) {
        StopPlaying();
        return;
      }
      AudioPlayer->SetFormat(AudioFile->SampleRate(), AudioFile->Channels());
      FPlayBlock = AudioPlayer->MsToSamples(200);
      FPlayBase =
          AudioFile->Seek(ClampToInt(MulDiv64(SliderPlay->Value(), AudioFile->Length(), 100)), 3);
    }
    AudioPlayer->Play();
  } catch (const Exception& e) {
    std::wstring file = FPlayFileName.empty() ? Path : FPlayFileName;
    StopPlaying();
    ReportPlayFailure(file, e.Message());
    return;
  }
  if (AudioPlayer->Status() != 0) {
    // Nothing plays and the file is closed: no paused state may remain.
    std::wstring file = FPlayFileName;
    std::wstring reason = AudioPlayer->LastError();
    StopPlaying();
    ReportPlayFailure(file, reason);
    return;
  }
  FPlaying = true;
  FPlayPaused = false;
  FeedPlayer();
  FeedPlayer();
  SliderPlay->SetEnabled(true);
}

void TFormMain::FeedPlayer() {
  if (!FPlaying) return;
  audio::TSafeArray array(AudioFile->ReadArray(FPlayBlock));
  AudioPlayer->LoadArray(array.Ref());
}

void TFormMain::PausePlaying() {
  if (!FPlaying || FPlayPaused) return;
  FPlayPaused = true;
  FPlaying = false;
  FPlayBase += AudioPlayer->Position();
  AudioPlayer->Stop();
}

void TFormMain::StopPlaying() {
  AudioPlayer->Stop();
  AudioFile->CloseFile();
  FPlaying = FPlayPaused = false;
  SliderPlay->SetValue(0);
  FPlayBase = 0;
  FPlayFileName.clear();
}

void TFormMain::AudioPlayerEndPlay(TAudioPlayer2*) {
  ActionPlayStopExecute(this);
}

void TFormMain::AudioPlayerEndArrayPlay(TAudioPlayer2*) {
  FeedPlayer();
}

void TFormMain::AudioPlayerRequestOnLoadArray(TAudioPlayer2*) {
  FeedPlayer();
}

void TFormMain::AudioPlayerTimer(TAudioPlayer2*, int CurrentSamples, int, int) {
  int64_t position = static_cast<int64_t>(CurrentSamples) + FPlayBase;
  int64_t length = AudioFile->Length();
  if (!FSliderDragging && length > 0)
    SliderPlay->SetValue(static_cast<int>(std::min<int64_t>(100, MulDiv64(position, 100, length))));
  int rate = AudioPlayer->SampleRate();
  int64_t ms = rate > 0 ? position * 1000 / rate : 0;
  LabelTime->SetCaption(FormatDuration(ms));
}

void TFormMain::SliderPlayMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  FSliderDragging = true;
}

void TFormMain::SliderPlayMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  if (!FPlaying) {
    FSliderDragging = false;
    return;
  }
  AudioPlayer->Stop();
  FPlayBase =
      AudioFile->Seek(ClampToInt(MulDiv64(SliderPlay->Value(), AudioFile->Length(), 100)), 3);
  AudioPlayer->Play();
  FSliderDragging = false;
  if (AudioPlayer->Status() != 0) {
    std::wstring file = FPlayFileName;
    std::wstring reason = AudioPlayer->LastError();
    StopPlaying();
    UpdateActions();
    ReportPlayFailure(file, reason);
    return;
  }
  FeedPlayer();
  FeedPlayer();
}

// ---------------------------------------------------------------------------
// Level meter, mixer panel and the commands that leave the recorder

void TFormMain::deAudioControlSourceDataChanged(TObject*) {
  ShowLevel(static_cast<uint16_t>(deAudioControlSource->PeakLeft()),
            static_cast<uint16_t>(deAudioControlSource->PeakRight()));
}

namespace {
// Moves a gauge only when its value changes: setting the same value repaints it.
void SetGauge(TskSkinGauge* Gauge, int Value) {
  Value = std::clamp(Value, Gauge->MinValue(), Gauge->MaxValue());
  if (Gauge->Value() != Value) Gauge->SetValue(Value);
}
} // namespace

void TFormMain::ShowLevel(uint16_t Left, uint16_t Right) {
  FPeakLeft = Left;
  FPeakRight = Right;
  SetGauge(skSkinGaugeLeft, Left);
  SetGauge(skSkinGaugeRight, Right);
  // The decay runs only while there is something to lower or a warning to change.
  if (!MeterAtRest()) TimerDeLevel->SetEnabled(true);
}

bool TFormMain::MeterAtRest() const {
  const bool high = FPeakLeft > 32512 || FPeakRight > 32512;
  return skSkinGaugeLeft->Value() == 0 && skSkinGaugeRight->Value() == 0 &&
         LabelHigh->Visible() == high;
}

void TFormMain::TimerDeLevelTimer(TObject*) {
  LabelHigh->SetVisible(FPeakLeft > 32512 || FPeakRight > 32512);
  SetGauge(skSkinGaugeLeft, skSkinGaugeLeft->Value() - 800);
  SetGauge(skSkinGaugeRight, skSkinGaugeRight->Value() - 800);
  if (MeterAtRest()) TimerDeLevel->SetEnabled(false);
}

void TFormMain::ComboBoxDeviceChange(TObject*) {
  int index = ComboBoxDevice->ItemIndex();
  if (index < 0) return;
  AudioRecord->SetDevice(
      static_cast<int16_t>(reinterpret_cast<intptr_t>(ComboBoxDevice->Items()->Objects(index))));
  FillMixerLines();
  SelectMixerLine();
}

void TFormMain::ComboBoxMixerChange(TObject*) {
  SelectMixerLine();
}

void TFormMain::tbGainChange(TObject*) {
  if (ComboBoxMixer->ItemIndex() < 0) return;
  AudioRecord->SetLine(ComboBoxMixer->ItemIndex() + 1);
  AudioRecord->SetLineVolume(tbGain->Position());
}

void TFormMain::tbBalanceChange(TObject*) {
  if (ComboBoxMixer->ItemIndex() < 0) return;
  AudioRecord->SetLine(ComboBoxMixer->ItemIndex() + 1);
  AudioRecord->SetLineBalance(tbBalance->Position());
}

void TFormMain::ActionWindowsMixerExecute(TObject*) {
  BeginBusy();
  TScopeGuard endBusy([&] { EndBusy(); });
  RunCommand(AddBackslash(GetSystemDir()) +
                 (IsVistaOrLater() ? L"control.exe mmsys.cpl,,1" : L"sndvol32.exe /r"),
             SW_SHOWNORMAL);
}

void TFormMain::RunSiblingTool(const std::wstring& FileName) {
  BeginBusy();
  TScopeGuard endBusy([&] { EndBusy(); });
  ShellOpen(Handle(), L"open", ProgramFolder() + FileName, L"/korvane", SW_SHOW);
}

void TFormMain::ActionAudioOstrelExecute(TObject*) {
  RunSiblingTool(L"Ostrel.exe");
}

void TFormMain::ActionPavonneExecute(TObject*) {
  RunSiblingTool(L"Pavonne.exe");
}

void TFormMain::ActionAudioQuellithExecute(TObject*) {
  RunSiblingTool(L"Quellith.exe");
}

void TFormMain::ActionProductPageExecute(TObject*) {
  ShellOpen(nullptr, L"Open", GlobalVars.HomePageUrl, L"", SW_SHOWNORMAL);
}

void TFormMain::LabelVistaProblemClick(TObject*) {
  ShellOpen(nullptr, L"Open", GlobalVars.VistaHelpUrl, L"", SW_SHOWNORMAL);
}

void TFormMain::ActionAboutExecute(TObject*) {
  std::unique_ptr<TFormAbout> about(new TFormAbout(this));
  about->SetPosition(poOwnerFormCenter);
  about->ShowModal();
}

// ---------------------------------------------------------------------------
// Options, schedule and global hot keys

void TFormMain::ShowOptions(bool ShowSchedule) {
  auto dialog = std::make_unique<TFormOptions>(this);
  CentreOn(dialog.get(), this);
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
