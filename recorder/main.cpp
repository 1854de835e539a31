#include "recorder/main.h"

#include "audio/AudioError.h"
#include "audio/SafeArrays.h"
#include "capture/deAudioControls.h"
#include "capture/deAudioIO.h"
#include "framework/FormBuilder.h"
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

// Set-ups of the main window's components for BuildComponents. They read the
// members that earlier entries fill when they run.

// An action of the form's list with its texts and handler.
std::function<void(TAction&)> ActionOf(TFormMain* form, std::wstring caption, std::wstring hint,
                                       TShortCut shortCut, TNotifyEvent onExecute) {
  return [=](TAction& a) {
    a.SetCaption(caption);
    a.SetHint(hint);
    a.SetShortCut(shortCut);
    a.SetActionList(form->ActionList);
    a.OnExecute = onExecute;
  };
}

// A skinned button in a skin area, drawn by a skin entry, running an action.
std::function<void(TskSkinButton&)> SkinButton(TFormMain* form, const wchar_t* area,
                                               const wchar_t* entry, TAction* const* action) {
  return [=](TskSkinButton& b) {
    b.SetAreaName(area);
    b.SetSkinDataName(entry);
    b.SetSkinData(form->skSkinData);
    if (action) b.SetAction(*action);
  };
}

// Labels sit on the dark face of the window.
void FaceLabel(TLabel& l) {
  l.Font()->SetColor(clWhite);
  l.SetTransparent(true);
}

// A gauge of the level meter in its skin area.
std::function<void(TskSkinGauge&)> LevelGauge(TFormMain* form, const wchar_t* area) {
  return [=](TskSkinGauge& g) {
    g.SetAreaName(area);
    g.SetSkinDataName(L"gauge");
    g.SetMinValue(0);
    g.SetMaxValue(32512);
    g.SetValue(0);
    g.SetSkinData(form->skSkinData);
  };
}

// The mixer panel's lists and bars.
std::function<void(TskSkinComboBox&)> MixerCombo(TFormMain* form, TNotifyEvent onChange) {
  return [=](TskSkinComboBox& c) {
    c.SetStyle(skcbFixedStyle);
    c.SetDropDownCount(8);
    c.SetSkinData(form->skSkinData);
    c.OnChange = onChange;
  };
}

std::function<void(TskSkinScrollBar&)> MixerBar(TFormMain* form, TNotifyEvent onChange) {
  return [=](TskSkinScrollBar& t) {
    t.SetKind(sbHorizontal);
    t.SetSkinDataName(L"hscrollbar");
    t.SetSkinData(form->skSkinData);
    t.SetHeight(16);
    t.OnChange = onChange;
  };
}

// A timer with its period, running or not.
std::function<void(TTimer&)> TimerOf(unsigned interval, bool enabled, TNotifyEvent onTimer) {
  return [=](TTimer& t) {
    t.SetInterval(interval);
    t.SetEnabled(enabled);
    t.OnTimer = onTimer;
  };
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

  BuildComponents(
      this,
      {
          // The built-in skin, from the program's resources.
          {skCompressedStoredSkin,
           {L"skCompressedStoredSkin"},
           [](TskCompressedStoredSkin& c) {
             c.FileName = L"Skin.ini";
             try {
               c.LoadFromResource(nullptr, BUILTIN_SKIN_RESOURCE);
             } catch (const std::exception&) {
               c.CompressedData.clear();
             }
           }},
          {skSkinData,
           {L"skSkinData"},
           [this](TskSkinData& d) {
             d.SetSkinnableForm(true);
             d.EnableSkinEffects = true;
             d.SetSkinIndex(0);
             d.SetCompressedStoredSkin(skCompressedStoredSkin);
           }},

          // Labels size themselves to their text when their font changes:
          // those with a box of their own take it last.
          {LabelTime, {L"LabelTime", this, {}, L"0:00:00"}, FaceLabel},
          {LabelStaus,
           {L"LabelStaus", this, {}, L"Ready!"},
           [](TLabel& l) {
             FaceLabel(l);
             l.SetBounds(16, 80, 75, 13);
           }},
          {LabelFormat,
           {L"LabelFormat", this, {}, L""},
           [](TLabel& l) {
             FaceLabel(l);
             l.SetAlignment(taCenter);
             l.SetWordWrap(true);
           }},
          {LabelHigh,
           {L"LabelHigh", this, {}, L"Volume too high!"},
           [](TLabel& l) {
             FaceLabel(l);
             l.Font()->SetColor(clRed);
             l.Font()->SetStyle({fsBold});
             l.SetAlignment(taRightJustify);
             l.SetBounds(290, 40, 100, 13);
             l.SetVisible(false);
           }},

          {skSkinGaugeLeft,
           {L"skSkinGaugeLeft", this, {0, 0, 270, 8}},
           LevelGauge(this, L"LeftGauge")},
          {skSkinGaugeRight,
           {L"skSkinGaugeRight", this, {0, 0, 270, 8}},
           LevelGauge(this, L"RightGauge")},
          {SliderPlay,
           {L"SliderPlay"},
           [this](TskSkinTrackBar& t) {
             t.SetAreaName(L"trackbar2");
             t.SetSkinDataName(L"htrackbar");
             t.SetMinValue(0);
             t.SetMaxValue(100);
             t.SetValue(0);
             t.SetJumpWhenClick(true);
             t.SetCanFocused(false);
             t.SetSkinData(skSkinData);
             t.SetVisible(false);
             t.OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
               SliderPlayMouseDown(s, b, sh, x, y);
             };
             t.OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
               SliderPlayMouseUp(s, b, sh, x, y);
             };
           }},

          {ActionList, {L"ActionList"}},
          {ActionHelpContents,
           {L"ActionHelpContents"},
           ActionOf(this, L"Help Contents", L"Displays the manual. ", TextToShortCut(L"F1"),
                    [this](TObject* s) { ActionHelpContentsExecute(s); })},
          {ActionShowHideMixer,
           {L"ActionShowHideMixer"},
           ActionOf(this, L"", L"Show or hide mixer window.", 0,
                    [this](TObject* s) { ActionShowHideMixerExecute(s); })},
          {ActionShowHideFileList,
           {L"ActionShowHideFileList"},
           ActionOf(this, L"", L"Show or hide File List.", 0,
                    [this](TObject* s) { ActionShowHideFileListExecute(s); })},
          {ActionEditAudioFiles,
           {L"ActionEditAudioFiles"},
           ActionOf(this, L"&EDIT", L"Edits current file in Build-in Audio Editor.",
                    TextToShortCut(L"Ctrl+E"),
                    [this](TObject* s) { ActionEditAudioFilesExecute(s); })},
          {ActionPlay,
           {L"ActionPlay"},
           ActionOf(this, L"&PLAY", L"Plays the current file. ", TextToShortCut(L"Ctrl+P"),
                    [this](TObject* s) { ActionPlayExecute(s); })},
          {ActionPlayPause,
           {L"ActionPlayPause"},
           ActionOf(this, L"&PAUSE", L"Pauses playback.", 0,
                    [this](TObject* s) { ActionPlayPauseExecute(s); })},
          {ActionPlayStop,
           {L"ActionPlayStop"},
           ActionOf(this, L"&STOP", L"", 0, [this](TObject* s) { ActionPlayStopExecute(s); })},
          {ActionRecord,
           {L"ActionRecord"},
           ActionOf(this, L"", L"Start recording.", 0,
                    [this](TObject* s) { ActionRecordExecute(s); })},
          {ActionRecordPause,
           {L"ActionRecordPause"},
           ActionOf(this, L"", L"Pause recording.", 0,
                    [this](TObject* s) { ActionRecordPauseExecute(s); })},
          {ActionRecordStop,
           {L"ActionRecordStop"},
           ActionOf(this, L"", L"Stop recording.", 0,
                    [this](TObject* s) { ActionRecordStopExecute(s); })},
          {ActionOptions,
           {L"ActionOptions"},
           ActionOf(this, L"&Options", L"Adjust settings and options.", TextToShortCut(L"Ctrl+O"),
                    [this](TObject*) { ShowOptions(false); })},
          {ActionListAddFiles,
           {L"ActionListAddFiles"},
           ActionOf(this, L"", L"", TextToShortCut(L"Ctrl+O"),
                    [this](TObject* s) { ActionListAddFilesExecute(s); })},
          {ActionListCopy,
           {L"ActionListCopy"},
           ActionOf(this, L"&COPY", L"Copies current file to...", TextToShortCut(L"Ctrl+C"),
                    [this](TObject* s) { ActionListCopyExecute(s); })},
          {ActionListDel,
           {L"ActionListDel"},
           ActionOf(this, L"&DEL", L"Deletes current file.", TextToShortCut(L"Del"),
                    [this](TObject* s) { ActionListDelExecute(s); })},
          {ActionSchedule,
           {L"ActionSchedule"},
           ActionOf(this, L"&Schedule", L"Adjust schedule recording settings.",
                    TextToShortCut(L"Ctrl+S"), [this](TObject*) { ShowOptions(true); })},
          {ActionProductPage,
           {L"ActionProductPage"},
           ActionOf(this, L"&Product Page", L"Product Page", 0,
                    [this](TObject* s) { ActionProductPageExecute(s); })},
          {ActionWindowsMixer,
           {L"ActionWindowsMixer"},
           ActionOf(this, L"&Windows Mixer...", L"", 0,
                    [this](TObject* s) { ActionWindowsMixerExecute(s); })},
          {ActionAbout,
           {L"ActionAbout"},
           ActionOf(this, L"&About...", L"Displays program information including version number.",
                    TextToShortCut(L"Ctrl+F1"), [this](TObject* s) { ActionAboutExecute(s); })},
          {ActionAudioOstrel,
           {L"ActionAudioOstrel"},
           ActionOf(this, L"Ostrel...", L"", 0,
                    [this](TObject* s) { ActionAudioOstrelExecute(s); })},
          {ActionPavonne,
           {L"ActionPavonne"},
           ActionOf(this, L"Pavonne...", L"", 0, [this](TObject* s) { ActionPavonneExecute(s); })},
          {ActionAudioQuellith,
           {L"ActionAudioQuellith"},
           ActionOf(this, L"Quellith...", L"", 0,
                    [this](TObject* s) { ActionAudioQuellithExecute(s); })},

          {SkinButtonRecord,
           {L"SkinButtonRecord", this, {0, 0, 32, 32}},
           SkinButton(this, L"StartRecordButton", L"PlayButton", &ActionRecord)},
          {SkinButtonPause,
           {L"SkinButtonPause", this, {0, 0, 32, 32}},
           SkinButton(this, L"PauseRecordButton", L"PlayButton", &ActionRecordPause)},
          {SkinButtonStop,
           {L"SkinButtonStop", this, {0, 0, 32, 32}},
           SkinButton(this, L"StopRecordButton", L"PlayButton", &ActionRecordStop)},
          {SkinButtonEdit,
           {L"SkinButtonEdit", this, {0, 0, 32, 32}},
           SkinButton(this, L"EditRecordButton", L"button", &ActionShowHideMixer)},
          {SkinButtonFilezList,
           {L"SkinButtonFilezList", this, {0, 0, 32, 32}},
           SkinButton(this, L"ListButton", L"button", &ActionShowHideFileList)},
          {SkinButtonOptions,
           {L"SkinButtonOptions", this, {0, 0, 57, 17}},
           SkinButton(this, L"OptionButton", L"OptionButton", &ActionOptions)},
          {SkinButtonSchedule,
           {L"SkinButtonSchedule", this, {0, 0, 57, 17}},
           SkinButton(this, L"ScheduleButton", L"OptionButton", &ActionSchedule)},
          {SkinButtonHelp,
           {.Name = L"SkinButtonHelp",
            .Bounds = {0, 0, 57, 17},
            .OnClick = [this](TObject* s) { SkinButtonHelpClick(s); }},
           [this](TskSkinButton& b) {
             SkinButton(this, L"HelpButton", L"OptionButton", nullptr)(b);
             b.SetCaption(L"&Help");
             b.SetHint(L"Displays the manual. ");
           }},
          {SkinButtonClose,
           {L"SkinButtonClose", this, {0, 0, 57, 17}},
           [this](TskSkinButton& b) {
             SkinButton(this, L"CloseButton", L"OptionButton", &ActionAbout)(b);
             b.SetCaption(L"&About");
           }},
          {SkinButtonPlay,
           {L"SkinButtonPlay", this, {0, 0, 41, 17}},
           SkinButton(this, L"PlayButton", L"OptionButton", &ActionPlay)},
          {SkinButtonPlayPause,
           {L"SkinButtonPlayPause", this, {0, 0, 41, 17}},
           SkinButton(this, L"PauseButton", L"OptionButton", &ActionPlayPause)},
          {SkinButtonPlayStop,
           {L"SkinButtonPlayStop", this, {0, 0, 41, 17}},
           SkinButton(this, L"StopButton", L"OptionButton", &ActionPlayStop)},
          {SkinButtonPlayEdit,
           {L"SkinButtonPlayEdit", this, {0, 0, 41, 17}},
           SkinButton(this, L"EditButton", L"OptionButton", &ActionEditAudioFiles)},
          {SkinButtonDel,
           {L"SkinButtonDel", this, {0, 0, 41, 17}},
           SkinButton(this, L"DelButton", L"OptionButton", &ActionListDel)},
          {SkinButtonCopy,
           {L"SkinButtonCopy", this, {0, 0, 41, 17}},
           SkinButton(this, L"CopyButton", L"OptionButton", &ActionListCopy)},

          // Styles and columns before the list's window is made: each style
          // change would make it again. It takes its parent below.
          {ListViewFiles,
           {L"ListViewFiles", nullptr},
           [this](TskSkinListView& l) {
             l.SetHeaderSkinDataName(L"resizebutton");
             l.SetViewStyle(vsReport);
             l.SetMultiSelect(true);
             l.SetReadOnly(true);
             l.SetRowSelect(true);
             l.OnDblClick = [this](TObject* s) { ListViewFilesDblClick(s); };
           }},
          {ImageListListViewFiles,
           {L"ImageListListViewFiles"},
           [](TImageList& i) {
             i.SetSize(13, 19);
             TBitmap rowImage; // drawn on magenta, which the list leaves out
             rowImage.LoadFromResourceName(nullptr, L"HISTORY_ROW");
             i.AddMasked(&rowImage, clFuchsia);
           }},
      });
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

  BuildComponents(this, {
                            {VSkinScrollBar,
                             {L"VSkinScrollBar"},
                             [this](TskSkinScrollBar& b) {
                               b.SetKind(sbVertical);
                               b.SetSkinDataName(L"VScrollBar");
                               b.SetSkinData(skSkinData);
                             }},
                            {HSkinScrollBar,
                             {L"HSkinScrollBar"},
                             [this](TskSkinScrollBar& b) {
                               b.SetSkinDataName(L"HScrollBar");
                               b.SetSkinData(skSkinData);
                             }},

                            // The mixer panel's controls start hidden: their windows are made
                            // when the panel shows.
                            {ComboBoxDevice,
                             {.Name = L"ComboBoxDevice", .Visible = false},
                             MixerCombo(this, [this](TObject* s) { ComboBoxDeviceChange(s); })},
                            {ComboBoxMixer,
                             {.Name = L"ComboBoxMixer", .Visible = false},
                             MixerCombo(this, [this](TObject* s) { ComboBoxMixerChange(s); })},
                            {tbGain,
                             {.Name = L"tbGain", .Visible = false},
                             MixerBar(this, [this](TObject* s) { tbGainChange(s); })},
                            {tbBalance,
                             {.Name = L"tbBalance", .Visible = false},
                             [this](TskSkinScrollBar& t) {
                               MixerBar(this, [this](TObject* s) { tbBalanceChange(s); })(t);
                               t.SetMax(100);
                               t.SetSmallChange(5);
                               t.SetLargeChange(10);
                             }},
                            {ImageMixer, {.Name = L"ImageMixer", .AutoSize = true}},
                            {ImageMixerLabel, {.Name = L"ImageMixerLabel", .AutoSize = true}},
                        });
  ListViewFiles->SetSkinData(skSkinData);
  ListViewFiles->SetVScrollBar(VSkinScrollBar);
  ListViewFiles->SetHScrollBar(HSkinScrollBar);
  DrawBuiltInMixerPictures();
  ImageMixer->SetVisible(false);

  BuildComponents(this,
                  {
                      {LabelVistaProblem,
                       {.Name = L"LabelVistaProblem",
                        .Bounds = {92, 364, 220, 17},
                        .Caption = L"How to adjust audio source in Vista?",
                        .Visible = false,
                        .OnClick = [this](TObject* s) { LabelVistaProblemClick(s); }},
                       [this](TskSkinButton& b) {
                         b.SetSkinDataName(L"button");
                         b.SetSkinData(skSkinData);
                       }},
                      {OpenDialog,
                       {L"OpenDialog"},
                       [](TOpenDialog& d) {
                         d.SetFilter(
                             L"All Supported Formats|*.wav;*.mp3;*.wma;*.ogg|Wave Files "
                             L"(*.wav)|*.wav|MPEG Layer 3 Files (*.mp3)|*.mp3|Windows Media Audio "
                             L"Files (*.wma)|*.wma|OGG Vorbis Audio Files (*.ogg)|*.ogg");
                         d.SetOptions(ofHideReadOnly | ofAllowMultiSelect | ofPathMustExist |
                                      ofFileMustExist | ofEnableSizing);
                       }},
                      {PopupMenuHelp, {L"PopupMenuHelp"}},
                  });
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

  BuildComponents(this,
                  {
                      {PopupMenuListview,
                       {L"PopupMenuListview"},
                       [this](TPopupMenu& m) { ListViewFiles->SetPopupMenu(&m); }},
                      {FlashStausTimer,
                       {L"FlashStausTimer"},
                       TimerOf(500, false, [this](TObject* s) { FlashStausTimerTimer(s); })},
                      {TimerTimeDisplay,
                       {L"TimerTimeDisplay"},
                       TimerOf(100, false, [this](TObject* s) { TimerTimeDisplayTimer(s); })},
                      {TimerWaitForRecording,
                       {L"TimerWaitForRecording"},
                       TimerOf(250, true, [this](TObject* s) { TimerWaitForRecordingTimer(s); })},
                      {HotKeyManager,
                       {L"HotKeyManager"},
                       [this](THotKeyManager& m) {
                         m.OnHotKeyPressed = [this](TObject* s, uint32_t k, uint16_t i) {
                           HotKeyManagerHotKeyPressed(s, k, i);
                         };
                       }},
                      // The 5 ms decay timer starts with the first level above zero (ShowLevel).
                      {TimerDeLevel,
                       {L"TimerDeLevel"},
                       TimerOf(5, false, [this](TObject* s) { TimerDeLevelTimer(s); })},
                  });

  AudioRecord = std::make_unique<TAudioRecord2>();
  AudioFile = std::make_unique<TAudioFile2>();
  LameEnc = std::make_unique<TAudioFile2LameEnc>();
  AudioPlayer = std::make_unique<TAudioPlayer2>();
  AudioInformation = std::make_unique<TAudioInformation2>();
  AudioRecord->OnEndArrayRecord = [this](TAudioRecord2* s, int block) {
    AudioRecordEndArrayRecord(s, block);
  };

  AudioPlayer->OnEndPlay = [this](TAudioPlayer2* s) { AudioPlayerEndPlay(s); };
  AudioPlayer->OnEndArrayPlay = [this](TAudioPlayer2* s) { AudioPlayerEndArrayPlay(s); };
  AudioPlayer->OnRequestOnLoadArray = [this](TAudioPlayer2* s) {
    AudioPlayerRequestOnLoadArray(s);
  };
  AudioPlayer->OnTimer = [this](TAudioPlayer2* s, int cur, int l, int r) {
    AudioPlayerTimer(s, cur, l, r);
  };

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

  // The skinned form takes the window over and places the controls that
  // name a skin area; the skinned hint draws every hint of the program in the
  // skin's look.
  BuildComponents(this,
                  {
                      {skSkinnedForm,
                       {L"skSkinnedForm"},
                       [](TskSkinnedForm& f) {
                         f.SetSupportNCArea(false);
                         f.Sizeable = false;
                         f.DraggAble = true;
                         f.Magnetic = true;
                         f.MagneticSize = 10;
                         f.SetBorderIcons(biSkSystemMenu | biSkMinimize);
                         f.ShowIcon = false;
                         f.ShowObjectHint = false;
                         f.UseDefaultObjectHint = true;
                         f.UseDefaultSysMenu = true;
                         for (TFont* font : {f.DefCaptionFont(), f.DefInActiveCaptionFont()}) {
                           font->SetName(L"Tahoma");
                           font->SetHeight(-11);
                           font->SetStyle(fsBold);
                         }
                         f.DefInActiveCaptionFont()->SetColor(clBtnShadow);
                       }},
                      {skSkinHint,
                       {L"skSkinHint"},
                       [this](TskSkinHint& h) {
                         h.SetLineSeparator(L"@");
                         h.DefaultFont()->SetName(L"Tahoma");
                         h.DefaultFont()->SetHeight(-11);
                         h.UseSkinFont = true;
                         h.AlphaBlend = false;
                         h.SetSkinData(skSkinData);
                         h.SetActive(true);
                       }},
                  });
  skSkinnedForm->SetSkinHint(skSkinHint);
  skSkinnedForm->OnChangeSkinData = [this](TObject*) { TakeCommandButtonEntries(); };
  TakeCommandButtonEntries();
  skSkinnedForm->SetSkinData(skSkinData);

  // Level capture: the device opens itself once the window is built.
  BuildComponents(this, {
                            {deAudioIn,
                             {L"deAudioIn"},
                             [](TdeAudioIn& in) {
                               TdeWaveFormat f;
                               f.SetFormatTag(WAVE_FORMAT_PCM);
                               f.SetChannels(2);
                               f.SetSamplesPerSec(44100);
                               f.SetBitsPerSample(16);
                               f.SetBlockAlign(4);
                               f.SetAvgBytesPerSec(44100 * 4);
                               in.SetFormat(f);
                               in.SetBufferSize(22050);
                             }},
                            {deAudioControlSource,
                             {L"deAudioControlSource"},
                             [this](TdeAudioControlSource& c) {
                               c.SetAudioSource(deAudioIn);
                               c.OnDataChanged = [this](TObject* s) {
                                 deAudioControlSourceDataChanged(s);
                               };
                             }},
                        });

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TFormMain::~TFormMain() {
  for (int i = 0; i < ListViewFiles->Items()->Count(); ++i)
    ListViewFiles->Items()->Item(i)->SetData(nullptr);
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
      prompt->PlaceCentredOn(this);
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
  row->SetData(item.get());
  FFileItems.push_back(std::move(item));
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
    row->SetData(nullptr);
    std::erase_if(FFileItems, [item](const auto& owned) { return owned.get() == item; });
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
  dialog->PlaceCentredOn(this);
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
