#include "editor/main.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "audio/ui/AudioEditor2.h"
#include "editor/Info.h"
#include "editor/effects.h"
#include "editor/freanalysis.h"
#include "editor/funcs.h"
#include "editor/globals.h"
#include "editor/new.h"
#include "editor/outputformat.h"
#include "editor/properties.h"
#include "editor/setselection.h"
#include "controls/PngImageList.h"
#include "controls/PngPicture.h"
#include "framework/Streams.h"
#include "framework/IniFiles.h"
#include "framework/FormBuilder.h"
#include "framework/SysUtils.h"

namespace editor {

namespace {

int16_t B16(bool v) {
  return v ? -1 : 0;
}

const wchar_t* const kSupportMail = L"mailto:support@virelle-audio.example";
const wchar_t* const kHomePage = L"https://www.virelle-audio.example/";

} // namespace

// ---------------------------------------------------------------------------
// Command enabling

std::map<std::wstring, bool> ComputeCommandStates(const TCommandConditions& c) {
  const bool idle = c.State == 0;
  const bool li = c.Loaded && idle;
  const bool sel = c.Loaded && c.Selection;
  std::map<std::wstring, bool> m;
  auto set = [&](std::initializer_list<const wchar_t*> names, bool v) {
    for (auto n : names)
      m[n] = v;
  };
  set({L"ActionNew", L"ActionOpen"}, idle);
  set({L"ActionClose", L"ActionSave", L"ActionSaveAs"}, li);
  set({L"ActionSaveSelectionAs"}, li && sel);
  // Undo and Redo need a document as well as a history step.
  set({L"ActionUndo"}, c.CanUndo && li);
  set({L"ActionRedo"}, c.CanRedo && li);
  set({L"ActionCut", L"ActionCopy"}, li && sel);
  set({L"ActionPaste"}, li && c.Clipboard);
  set({L"ActionPasteFromFile"}, li);
  set({L"ActionMix"}, li && c.Clipboard && sel);
  set({L"ActionMixFromFile", L"ActionCrop", L"ActionTrim", L"ActionDeleteClear",
       L"ActionSilenceSelection"},
      li && sel);
  set({L"ActionSelectAll", L"ActionInsertMarker"}, li);
  set({L"ActionHorizontalFormatDecimcal", L"ActionHorizontalFormatSample",
       L"ActionHorizontalFormatVisible", L"ActionVerticalFormatSample",
       L"ActionVerticalFormatNormalized", L"ActionVerticalFormatDecibel",
       L"ActionVerticalFormatVisiable", L"ActionWaveformMode", L"ActionSpectralMode"},
      idle);
  set({L"ActionLeftChannel", L"ActionRightChannel", L"ActionZoomIn", L"ActionZoomOut"}, li);
  set({L"ActionZoomInSelection"}, li && sel);
  set({L"ActionFullZoom", L"ActionVerticalZoomIn", L"ActionVerticalZoomOut", L"ActionSetSelection"},
      li);
  set({L"ActionFrequencyAnalysis"}, c.Loaded);
  set({L"ActionAudioInformation"}, li);
  // Transport: only what the control's state can do.
  set({L"ActionPlay", L"ActionPause", L"ActionPlayLoop"}, c.Loaded && c.State != 2);
  set({L"ActionStop"}, c.Loaded && c.State != 0);
  set({L"ActionForward", L"ActionRewind", L"ActionGoToStart", L"ActionGoToEnd"},
      c.Loaded && c.State != 2);
  for (const auto& info : EffectCommands())
    if (!m.count(info.Action)) m[info.Action] = li;
  return m;
}

// ---------------------------------------------------------------------------
// View arithmetic

void ZoomInRange(int vs, int ve, int c, int& start, int& end) {
  start = vs + (c - vs) / 2;
  end = ve - (ve - c) / 2;
}

bool ScrollRange(int vs, int ve, int c, int length, int& start, int& end) {
  if (vs < c && c < ve) return false;
  int w = ve - vs, h = w / 2;
  if (c - h < 0) {
    start = 0, end = w;
  } else if (length - c < h) {
    start = length - w, end = length;
  } else {
    start = c - h, end = c + h;
  }
  return true;
}

int ForwardTarget(int cursor, int length) {
  return cursor > length - 300000 ? length : cursor + 300000;
}
int RewindTarget(int cursor) {
  return cursor > 200000 ? cursor - 200000 : 0;
}

// ---------------------------------------------------------------------------
// Output formats

namespace {

struct TSaveEntry {
  const wchar_t* description;
  const wchar_t* pattern;
  const wchar_t* extension;
};

const TSaveEntry kSaveEntries[kSaveFilterCount] = {
    {L"MPEG3  (*.mp3)", L"*.mp3", L".mp3"},
    {L"MPEG2  (*.mp2)", L"*.mp2", L".mp2"},
    {L"OGG Vorbis (*.ogg)", L"*.ogg", L".ogg"},
    {L"Dialogic ADPCM (*.vox)", L"*.vox", L".vox"},
    {L"RAW Data (*.raw)", L"*.raw", L".raw"},
    {L"Windows Media Audio (*.wma)", L"*.wma", L".wma"},
    {L"CCITT G.726 ADPCM (*.g726)", L"*.g726", L".g726"},
    {L"CCITT G.723 ADPCM (*.g723)", L"*.g723", L".g723"},
    {L"CCITT G.721 ADPCM (*.g721)", L"*.g721", L".g721"},
    {L"Wave U-Law (*.wav)", L"*.wav", L".wav"},
    {L"Wave A-Law (*.wav)", L"*.wav", L".wav"},
    {L"Wave GSM (*.wav)", L"*.wav", L".wav"},
    {L"Wave DSP (*.wav)", L"*.wav", L".wav"},
    {L"Microsoft ADPCM (*.wav)", L"*.wav", L".wav"},
    {L"Windows PCM (*.wav)", L"*.wav", L".wav"},
};

} // namespace

std::wstring SaveDialogFilter() {
  std::wstring f;
  for (const auto& e : kSaveEntries) {
    if (!f.empty()) f += L"|";
    f += std::wstring(e.description) + L"|" + e.pattern;
  }
  return f;
}

std::wstring OpenDialogFilter() {
  return L"Supported "
         L"Formats|*.wav;*.mp3;*.mp2;*.mpeg;*.ogg;*.avi;*.g721;*.g723;*.g726;*.vox;*.raw;*.pcm;*."
         L"wma;"
         L"*.cda;*.au;*.snd;*.aif;*.aiff;*.aifc;*.mpc;*.dsp"
         L"|Waveform Audio (PCM Wave) Files (*.wav)|*.wav"
         L"|MPEG Audio (Various Layers) Files (*.mp3;*.mp2;*.mpeg)|*.mp3;*.mp2;*.mpeg"
         L"|Windows Media Audio Files (*.wma)|*.wma"
         L"|OGG Vorbis Audio Files (*.ogg)|*.ogg"
         L"|CD Audio Tracks (*.cda)|*.cda"
         L"|VOX Dialogic ACPCM Files (*.vox)|*.vox"
         L"|RAW Audio Files (*.raw; *.pcm)|*.raw;*.pcm"
         L"|G.72x Audio Files (*.g721;*.g723;*.g726)|*.g721;*.g723;*.g726"
         L"|AU Unix Audio Files (*.au;*.snd)|*.au;*.snd"
         L"|AIFF Apple Audio Files (*.aif;*.aiff;*.aifc)|*.aif;*.aiff;*.aifc"
         L"|MPC Audio Files (*.mpc)|*.mpc"
         L"|DSP Audio Files (*.dsp)|*.dsp";
}

std::wstring ApplyFilterFormat(IAudioEditor2OutputFormat& f, int index) {
  const TGlobalVars& g = GlobalVars;
  switch (index) {
  case 1:
    f.SetMp3(g.Mp3Rate, g.Mp3Bitrate, g.Mp3Channel);
    break;
  case 2:
    f.SetMp2(g.Mp2Rate, g.Mp2Bitrate, g.Mp2Channel);
    break;
  case 3:
    f.SetOgg(g.OggRate, g.OggChannel, g.OggAverageBitrate, g.OggMinBitrate, g.OggMaxBitrate, 500);
    break;
  case 4:
    f.SetVox(g.VoxRate);
    break;
  case 5:
    f.SetRaw(g.RawCompressFormat, g.RawRate, g.RawChannel, g.RawBitDepth);
    break;
  case 6:
    f.SetWma(g.WmaProfile);
    break;
  case 7:
    f.SetG726(g.G726Rate, g.G726BitDepth);
    break;
  case 8:
    f.SetG723(g.G723Rate, g.G723BitDepth);
    break;
  case 9:
    f.SetG721(g.G721Rate);
    break;
  case 10:
    f.SetULaw(g.UlawRate, g.UlawChannel);
    break;
  case 11:
    f.SetALaw(g.AlawRate, g.AlawChannel);
    break;
  case 12:
    f.SetGsm(g.GsmRate);
    break;
  case 13:
    f.SetDsp();
    break;
  case 14:
    f.SetMsAdpcm(g.AdpcmRate, g.AdpcmChannel);
    break;
  case 15:
    f.SetPcm(g.PcmRate, g.PcmChannel, g.PcmBitDepth);
    break;
  default:
    return L"";
  }
  return kSaveEntries[index - 1].extension;
}

bool ApplyExtensionFormat(IAudioEditor2OutputFormat& f, const std::wstring& extension) {
  static const std::pair<const wchar_t*, int> map[] = {
      {L".mp3", 1}, {L".mp2", 2},  {L".ogg", 3},  {L".vox", 4},  {L".raw", 5},
      {L".wma", 6}, {L".g726", 7}, {L".g723", 8}, {L".g721", 9}, {L".wav", 15}};
  std::wstring ext = LowerCase(extension);
  for (const auto& [e, index] : map)
    if (ext == e) return !ApplyFilterFormat(f, index).empty();
  return false;
}

void ApplyHeaderlessFormats(IAudioEditor2OutputFormat& input) {
  // A file without a header is read back with the settings it was written with.
  for (int index : {4, 5, 7, 8, 9})
    ApplyFilterFormat(input, index);
}

std::wstring ReplaceExtension(const std::wstring& fileName, const std::wstring& ext) {
  return ChangeFileExt(fileName, ext);
}

// ---------------------------------------------------------------------------
// Main window: construction

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner) {
  SetName(L"frmMain");
  SetCaption(AppTitle);
  SetClientSize(792, 404);
  Font()->SetName(L"Tahoma");
  SetKeyPreview(true);
  SetShowHint(true);
  if (ParamCount() >= 1) CommandLineFile = ParamStr(1);
  CreateActions();
  AssignImages();
  CreatePanels();
  CreateMenus();
  CreateToolbars();
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
}

int LoadEditorImages(TPngImageList* list) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  int loaded = 0;
  // The platform list is made once, after the last image, not again for each one.
  list->PngImages()->BeginUpdate();
  struct EndUpdate {
    TPngImageList* list;
    ~EndUpdate() { list->PngImages()->EndUpdate(); }
  } end{list};
  for (int i = 0; i < kEditorImageCount; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"EDITOR_IMG%02d", i);
    if (!FindResourceW(module, name, MAKEINTRESOURCEW(10))) break; // RT_RCDATA
    TResourceStream stream(module, name, MAKEINTRESOURCEW(10));
    TPngPicture png;
    png.LoadFromStream(&stream);
    list->PngImages()->Add()->SetPngImage(&png);
    ++loaded;
  }
  return loaded;
}

// The tiled picture of the cover; the cover stays plain grey without it.
bool LoadCoverPicture(TPicture* picture) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  if (!FindResourceW(module, L"EDITOR_COVER", MAKEINTRESOURCEW(10))) return false; // RT_RCDATA
  TResourceStream stream(module, L"EDITOR_COVER", MAKEINTRESOURCEW(10));
  auto png = std::make_unique<TPngPicture>();
  png->LoadFromStream(&stream);
  picture->SetGraphic(png.get());
  return true;
}

void TfrmMain::AssignImages() {
  BuildComponents(
      this, {{PngImageList, {L"PngImageList"}, [](TPngImageList& l) { LoadEditorImages(&l); }}});
  ActionList->SetImages(PngImageList);
  TAction* const byIndex[kEditorImageCount] = {
      ActionNew,           ActionOpen,         ActionSave,
      ActionSaveAs,        ActionUndo,         ActionRedo,
      ActionCut,           ActionCopy,         ActionPaste,
      ActionDeleteClear,   ActionCrop,         FindAction(L"ActionMix"),
      ActionZoomIn,        ActionZoomOut,      ActionZoomInSelection,
      ActionFullZoom,      ActionSetSelection, ActionPlay,
      ActionPause,         ActionStop,         ActionRecord,
      ActionPlayLoop,      ActionGoToStart,    ActionRewind,
      ActionForward,       ActionGoToEnd,      ActionInsertMarker,
      ActionPasteFromFile, ActionSelectAll,    ActionFrequencyAnalysis,
      ActionProperties,    ActionHelpContents};
  for (int i = 0; i < kEditorImageCount; ++i)
    if (byIndex[i]) byIndex[i]->SetImageIndex(i);
}

TfrmMain::~TfrmMain() {
  if (Application && FSettingsLoaded) Application->OnHint = nullptr;
  // The menus it shows go with the form's other components.
  if (TfMRUList) TfMRUList->OnChange = nullptr;
}

std::function<void(TAction&)> TfrmMain::ActionOf(std::wstring caption, std::wstring category,
                                                 TShortCut shortCut, std::wstring hint,
                                                 void (TfrmMain::*handler)(TObject*)) {
  return [=, this](TAction& a) {
    a.SetCaption(caption);
    a.SetCategory(category);
    a.SetShortCut(shortCut);
    a.SetHint(hint);
    a.SetActionList(ActionList);
    if (handler) a.OnExecute = [this, handler](TObject* s) { (this->*handler)(s); };
  };
}

void TfrmMain::CreateActions() {
  using M = TfrmMain;
  auto C = [](WORD k) { return ShortCut(k, ssCtrl); };
  BuildComponents(
      this,
      {
          {ActionList,
           {L"ActionList"},
           [this](TActionList& l) {
             l.OnUpdate = [this](TBasicAction* a, bool& h) { ActionListUpdate(a, h); };
           }},
          {ActionNew,
           {L"ActionNew"},
           ActionOf(L"New...", L"File", C('N'), L"Creates a new file.", &M::ActionNewExecute)},
          {ActionOpen,
           {L"ActionOpen"},
           ActionOf(L"Open...", L"File", C('O'), L"Opens a new sound file.",
                    &M::ActionOpenExecute)},
          {ActionClose,
           {L"ActionClose"},
           ActionOf(L"Close", L"File", 0, L"Closes current file.", &M::ActionCloseExecute)},
          {ActionSave,
           {L"ActionSave"},
           ActionOf(L"Save", L"File", C('S'), L"Saves current file.", &M::ActionSaveExecute)},
          {ActionSaveAs,
           {L"ActionSaveAs"},
           ActionOf(L"Save As...", L"File", 0, L"Saves current file as different name.",
                    &M::ActionSaveAsExecute)},
          {ActionSaveSelectionAs,
           {L"ActionSaveSelectionAs"},
           ActionOf(L"Save Selection As...", L"File", 0, L"", &M::ActionSaveSelectionAsExecute)},
          {ActionExit,
           {L"ActionExit"},
           ActionOf(L"Exit", L"File", ShortCut(VK_F4, ssAlt), L"Quits.", &M::ActionExitExecute)},
          {ActionUndo,
           {L"ActionUndo"},
           ActionOf(L"Undo", L"Edit", C('Z'), L"Reverses the last edit operation.",
                    &M::ActionUndoExecute)},
          {ActionRedo,
           {L"ActionRedo"},
           ActionOf(L"Redo", L"Edit", ShortCut('Z', ssCtrl | ssShift),
                    L"Redoes the last action that was undone.", &M::ActionRedoExecute)},
          {ActionCut,
           {L"ActionCut"},
           ActionOf(L"Cut", L"Edit", C('X'), L"Cuts the selection and puts it on the cilpbord.",
                    &M::ActionCutExecute)},
          {ActionCopy,
           {L"ActionCopy"},
           ActionOf(L"Copy", L"Edit", C('C'), L"Copis the selection and puts it in a temp file.",
                    &M::ActionCopyExecute)},
          {ActionPaste,
           {L"ActionPaste"},
           ActionOf(L"Paste", L"Edit", C('V'), L"Inserts copied contencts at the insertion point.",
                    &M::ActionPasteExecute)},
          {ActionPasteFromFile,
           {L"ActionPasteFromFile"},
           ActionOf(L"Paste From File...", L"Edit", 0,
                    L"Inserts contencts of an audio file at the insertion point.",
                    &M::ActionPasteFromFileExecute)},
          {ActionCrop,
           {L"ActionCrop"},
           ActionOf(L"Crop", L"Edit", 0, L"Deletes all data outside of the current selection. ",
                    &M::ActionCropExecute)},
          {ActionDeleteClear,
           {L"ActionDeleteClear"},
           ActionOf(L"Delete(Clear)", L"Edit", ShortCut(VK_DELETE, 0),
                    L"Removes the selecion without putting it on the cilpbord. ",
                    &M::ActionDeleteClearExecute)},
          {ActionSelectAll,
           {L"ActionSelectAll"},
           ActionOf(L"Select All", L"Edit", C('A'), L"Selects the entire sound file.",
                    &M::ActionSelectAllExecute)},
          {ActionInsertMarker,
           {L"ActionInsertMarker"},
           ActionOf(L"Insert Marker", L"Edit", 0,
                    L"Insert a marker to the current selection or cursor position.",
                    &M::ActionInsertMarkerExecute)},
          {ActionAudioInformation,
           {L"ActionAudioInformation"},
           ActionOf(L"Audio Information...", L"Edit", 0, L"Edits audio information.", nullptr)},
      });
  ActionAudioInformation->OnExecute = [this](TObject*) {
    if (IsDocumentLoaded() && EnsureInfoWindow()) {
      ExecuteAudioInformation(InfoWindow, this, FFileName);
      UpdateCaption();
    }
  };
  BuildComponents(
      this,
      {
          {ActionPlay,
           {L"ActionPlay"},
           ActionOf(L"Play", L"Action", ShortCut(VK_SPACE, 0),
                    L"Plays from the current cursor posion.", &M::ActionPlayExecute)},
          {ActionPause,
           {L"ActionPause"},
           ActionOf(L"Pause", L"Action", ShortCut(VK_RETURN, 0),
                    L"Stops playback and leaves the cursor at the current location.",
                    &M::ActionPauseExecute)},
          {ActionPlayLoop,
           {L"ActionPlayLoop"},
           ActionOf(L"Play Loop", L"Action", 0, L"Plays the selected region looped.",
                    &M::ActionPlayLoopExecute)},
          {ActionStop,
           {L"ActionStop"},
           ActionOf(L"Stop", L"Action", ShortCut(VK_SPACE, 0), L"Stops playback.",
                    &M::ActionStopExecute)},
          {ActionRecord,
           {L"ActionRecord"},
           ActionOf(L"Record...", L"Action", C('R'), L"Records new sound data.",
                    &M::ActionRecordExecute)},
          {ActionRewind,
           {L"ActionRewind"},
           ActionOf(L"Rewind", L"Action", 0, L"Shuttles the cursor backward by a small amount.",
                    &M::ActionRewindExecute)},
          {ActionForward,
           {L"ActionForward"},
           ActionOf(L"Forward", L"Action", 0, L"Shuttles the cursor forward by a small amount.",
                    &M::ActionForwardExecute)},
          {ActionGoToStart,
           {L"ActionGoToStart"},
           ActionOf(L"Go To Start", L"Action", C(VK_HOME),
                    L"Sets the cursor posion to the start of the sample.",
                    &M::ActionGoToStartExecute)},
          {ActionGoToEnd,
           {L"ActionGoToEnd"},
           ActionOf(L"Go To End", L"Action", C(VK_END),
                    L"Sets the cursor posion to the end of the sample.", &M::ActionGoToEndExecute)},
          {ActionWaveformMode,
           {L"ActionWaveformMode"},
           ActionOf(L"Waveform Mode", L"View", 0, L"", &M::ActionWaveformModeExecute)},
          {ActionSpectralMode,
           {L"ActionSpectralMode"},
           ActionOf(L"Spectral Mode", L"View", 0, L"", &M::ActionSpectralModeExecute)},
          {ActionLeftChannel,
           {L"ActionLeftChannel"},
           ActionOf(L"Left Channel", L"View", 0, L"", &M::ActionLeftChannelExecute)},
          {ActionRightChannel,
           {L"ActionRightChannel"},
           ActionOf(L"Right Channel", L"View", 0, L"", &M::ActionLeftChannelExecute)},
      });
  ActionLeftChannel->SetChecked(true);
  ActionRightChannel->SetChecked(true);
  BuildComponents(
      this, {
                {ActionZoomIn,
                 {L"ActionZoomIn"},
                 ActionOf(L"Zoom In", L"View", 0, L"Zooms in for a more detailed view.",
                          &M::ActionZoomInExecute)},
                {ActionZoomOut,
                 {L"ActionZoomOut"},
                 ActionOf(L"Zoom Out", L"View", 0, L"Zooms out for a better overview.",
                          &M::ActionZoomOutExecute)},
                {ActionZoomInSelection,
                 {L"ActionZoomInSelection"},
                 ActionOf(L"Zoom In Selection", L"View", 0,
                          L"Maximizes the selected area in the data window.",
                          &M::ActionZoomInSelectionExecute)},
                {ActionFullZoom,
                 {L"ActionFullZoom"},
                 ActionOf(L"Full Zoom", L"View", 0, L"Zooms in full.", &M::ActionFullZoomExecute)},
                {ActionVerticalZoomIn,
                 {L"ActionVerticalZoomIn"},
                 ActionOf(L"Vertical Zoom In", L"View", 0, L"", &M::ActionVerticalZoomInExecute)},
                {ActionVerticalZoomOut,
                 {L"ActionVerticalZoomOut"},
                 ActionOf(L"Vertical Zoom Out", L"View", 0, L"", &M::ActionVerticalZoomOutExecute)},
                {ActionSetSelection,
                 {L"ActionSetSelection"},
                 ActionOf(L"Set Selection...", L"View", 0,
                          L"Selects a specified region for the sound file.", nullptr)},
            });
  ActionSetSelection->OnExecute = [this](TObject*) {
    if (IsDocumentLoaded()) {
      TSetSelectionHost host;
      host.MainForm = this;
      host.Editor = AudioEditor;
      host.SelStartMs = &FSelStartMs;
      host.SelEndMs = &FSelEndMs;
      if (ExecuteSetSelection(host)) UpdateStatusBar();
    }
  };
  BuildComponents(
      this,
      {
          {ActionHorizontalFormatDecimcal,
           {L"ActionHorizontalFormatDecimcal"},
           ActionOf(L"Decimcal (m:ss.dddd)", L"View", 0, L"",
                    &M::ActionHorizontalFormatDecimcalExecute)},
          {ActionHorizontalFormatSample,
           {L"ActionHorizontalFormatSample"},
           ActionOf(L"Sample", L"View", 0, L"", &M::ActionHorizontalFormatSampleExecute)},
          {ActionHorizontalFormatVisible,
           {L"ActionHorizontalFormatVisible"},
           ActionOf(L"Visible", L"View", 0, L"", &M::ActionHorizontalFormatVisibleExecute)},
          {ActionVerticalFormatSample,
           {L"ActionVerticalFormatSample"},
           ActionOf(L"Sample Values", L"View", 0, L"", &M::ActionVerticalFormatSampleExecute)},
          {ActionVerticalFormatNormalized,
           {L"ActionVerticalFormatNormalized"},
           ActionOf(L"Normalized Values", L"View", 0, L"",
                    &M::ActionVerticalFormatNormalizedExecute)},
          {ActionVerticalFormatDecibel,
           {L"ActionVerticalFormatDecibel"},
           ActionOf(L"Decibel Values", L"View", 0, L"", &M::ActionVerticalFormatDecibelExecute)},
          {ActionVerticalFormatVisiable,
           {L"ActionVerticalFormatVisiable"},
           ActionOf(L"Visiable", L"View", 0, L"", &M::ActionVerticalFormatVisiableExecute)},
          {ActionFrequencyAnalysis,
           {L"ActionFrequencyAnalysis"},
           ActionOf(L"Frequency Analysis...", L"View", 0, L"", nullptr)},
      });
  ActionFrequencyAnalysis->OnExecute = [this](TObject*) {
    if (EnsureFreAnalysisWindow()) {
      FreAnalysisWindow->Show();
      FeedFrequencyAnalysis();
    }
  };
  BuildComponents(this, {
                            {ActionWindowsRecordingMixer,
                             {L"ActionWindowsRecordingMixer"},
                             ActionOf(L"Windows Recording Mixer...", L"Options", 0, L"",
                                      &M::ActionWindowsRecordingMixerExecute)},
                            {ActionOutputFormatSetting,
                             {L"ActionOutputFormatSetting"},
                             ActionOf(L"Output Format Setting...", L"Options", 0, L"",
                                      &M::ActionOutputFormatSettingExecute)},
                            {ActionProperties,
                             {L"ActionProperties"},
                             ActionOf(L"Properties...", L"Options", 0, L"", nullptr)},
                        });
  ActionProperties->OnExecute = [this](TObject*) {
    TPropertiesHost host;
    host.MainForm = this;
    host.ApplySettings = [this] { ApplySettingsToEditor(); };
    ExecuteProperties(host);
  };
  BuildComponents(this,
                  {
                      {ActionShowHideBar,
                       {L"ActionShowHideBar"},
                       ActionOf(L"Show/Hide Effect Bar", L"Options", 0, L"", nullptr)},
                      {ActionHelpContents,
                       {L"ActionHelpContents"},
                       ActionOf(L"Contents and Index", L"Help", ShortCut(VK_F1, 0), L"",
                                &M::ActionHelpContentsExecute)},
                      {ActionSupportOrBugReport,
                       {L"ActionSupportOrBugReport"},
                       ActionOf(L"Support Or Bug Report", L"Help", 0, L"",
                                &M::ActionSupportOrBugReportExecute)},
                      {ActionHomePage,
                       {L"ActionHomePage"},
                       ActionOf(L"Home Page", L"Help", 0, L"", &M::ActionHomePageExecute)},
                      {ActionAbout, {L"ActionAbout"}, ActionOf(L"About", L"Help", 0, L"", nullptr)},
                  });
  ActionAbout->OnExecute = [](TObject*) {};
  for (const auto& info : EffectCommands()) {
    TAction* a = nullptr;
    BuildComponents(this, {
                              {a,
                               {info.Action},
                               ActionOf(info.ActionCaption, info.Category, 0,
                                        info.Hint ? info.Hint : L"", nullptr)},
                          });
    std::wstring name = info.Action;
    a->OnExecute = [this, name](TObject*) { RunEffect(name); };
    EffectActions[name] = a;
  }
}

TAction* TfrmMain::FindAction(const std::wstring& name) const {
  for (int i = 0; i < ActionList->ActionCount(); ++i)
    if (ActionList->Actions(i)->Name() == name)
      return static_cast<TAction*>(ActionList->Actions(i));
  return nullptr;
}

namespace {

// A pane of a status bar, aligned, with its hint.
std::function<void(TFcStatusPane&)> Pane(TAlign align, int width, std::wstring hint) {
  return [=](TFcStatusPane& p) {
    p.SetAlignment(taLeftJustify);
    p.SetWidth(width);
    p.SetAlign(align);
    p.SetHint(hint);
    p.SetShowHint(!hint.empty());
  };
}

} // namespace

void TfrmMain::CreatePanels() {
  BuildComponents(
      this,
      {
          {Dock, {L"Dock"}, [](TTfDock& d) { d.SetPosition(dpTop); }},

          {StatusBarMain, {L"StatusBarMain"}, [](TFcStatusBar& b) { b.SetAlign(alBottom); }},
          {ProgressBar,
           {L"ProgressBar", StatusBarMain},
           [](TFcProgressStatus& p) {
             p.SetWidth(120);
             p.SetAlign(alLeft);
             p.SetVisible(false);
           }},
          {StatusPaneFreeSize,
           {L"StatusPaneFreeSize", StatusBarMain, {}, L""},
           Pane(alRight, 110, L"Temp Directory Free Storage.")},
          {StatusPaneTimeLengh,
           {L"StatusPaneTimeLengh", StatusBarMain, {}, L""},
           Pane(alRight, 90, L"Total Length.")},
          {StatusPaneChannel,
           {L"StatusPaneChannel", StatusBarMain, {}, L""},
           Pane(alRight, 60, L"Channels.")},
          {StatusPaneHz,
           {L"StatusPaneHz", StatusBarMain, {}, L""},
           Pane(alRight, 80, L"Sample Rate.")},
          {StatusPaneHint, {L"StatusPaneHint", StatusBarMain, {}, L""}, Pane(alClient, 100, L"")},

          {PanelMainAudioEditor,
           {L"PanelMainAudioEditor", this, {}, L""},
           [](TFcPanel& p) {
             p.SetBorderOuter(fsNone);
             p.SetBorderInner(fsNone);
             p.SetAlign(alClient);
           }},
          // Taller than a plain status bar: it carries the transport and zoom toolbars.
          {StatusBarEditor,
           {L"StatusBarEditor", PanelMainAudioEditor},
           [](TFcStatusBar& b) {
             b.SetAutoStyle(false);
             b.SetShowSizeGrip(false);
             b.SetHeight(26);
             b.SetAlign(alBottom);
           }},
          // Under the cover until a document shows: its window is made then.
          {AudioEditor,
           {.Name = L"AudioEditor", .Parent = PanelMainAudioEditor, .Visible = false},
           [this](TAudioEditor2& e) {
             e.SetAlign(alClient);
             e.OnBlockOperation = [this](TObject* s, int16_t p) {
               AudioEditorBlockOperation(s, p);
             };
             e.OnEndOperation = [this](TObject* s) { AudioEditorEndOperation(s); };
             e.OnChangePosition = [this](TObject* s) { AudioEditorChangePosition(s); };
             e.OnChangePlayPosition = [this](TObject* s) { AudioEditorChangePlayPosition(s); };
             e.OnEndPlay = [this](TObject* s) { AudioEditorEndPlay(s); };
             e.OnDblClick = [this](TObject* s) { ActionSelectAllExecute(s); };
             e.OnScaleXClick = [this](TObject*) {
               POINT p;
               GetCursorPos(&p);
               PopupMenuScaleX->Popup(p.x, p.y);
             };
             e.OnScaleYClick = [this](TObject*) {
               POINT p;
               GetCursorPos(&p);
               PopupMenuScaleY->Popup(p.x, p.y);
             };
           }},

          {PanelMainGray,
           {L"PanelMainGray", this, {}, L""},
           [this](TFcPanel& p) {
             p.SetBorderOuter(fsLowered);
             p.SetBorderInner(fsNone);
             p.SetParentColor(false);
             p.SetColor(clAppWorkSpace);
             p.OnDblClick = [this](TObject*) { ActionOpen->Execute(); };
           }},
          {tlImagePanel,
           {L"tlImagePanel", PanelMainGray},
           [this](TtlImagePanel& i) {
             i.SetAlign(alClient);
             i.SetCaption(L"");
             i.SetDrawStyle(tlTile);
             LoadCoverPicture(i.Picture());
             i.OnDblClick = [this](TObject*) { ActionOpen->Execute(); };
           }},

          {OpenDialog,
           {L"OpenDialog"},
           [](TOpenDialog& d) {
             d.SetFilter(OpenDialogFilter());
             d.SetOptions(ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing);
           }},
          // The overwrite question is asked for the file really written (after its extension is
          // set).
          {SaveDialog,
           {L"SaveDialog"},
           [](TSaveDialog& d) {
             d.SetTitle(L"Save audio files");
             d.SetDefaultExt(L"mp3");
             d.SetFilter(SaveDialogFilter());
             d.SetOptions(ofHideReadOnly | ofExtensionDifferent | ofPathMustExist |
                          ofNoTestFileCreate | ofEnableSizing);
           }},
      });
}

namespace {

// Entries of the menus and toolbars: an item of PARENT for each action, and a
// separator line for each null one.
std::vector<TComponentEntry> ItemsOf(TParentRef parent, std::initializer_list<TAction*> actions) {
  std::vector<TComponentEntry> entries;
  for (TAction* a : actions)
    if (a)
      entries.push_back(
          {Unbound<TTfItem>, {.Parent = parent}, [a](TTfItem& i) { i.SetAction(a); }});
    else
      entries.push_back({Unbound<TTfSeparatorItem>, {.Parent = parent}});
  return entries;
}

// A line of blank space between the items of a toolbar.
TComponentEntry BlankLine(TParentRef parent) {
  return {
      Unbound<TTfSeparatorItem>, {.Parent = parent}, [](TTfSeparatorItem& s) { s.SetBlank(true); }};
}

// An item of ACTION, named and stored in MEMBER.
TComponentEntry ActionItem(TTfItem*& member, std::wstring name, TParentRef parent,
                           TAction* action) {
  return {member, {.Name = std::move(name), .Parent = parent}, [action](TTfItem& i) {
            i.SetAction(action);
          }};
}

// A submenu with its caption, stored in MEMBER.
template <class T>
TComponentEntry Submenu(T*& member, std::wstring name, TParentRef parent, std::wstring caption) {
  return {member, {.Name = std::move(name), .Parent = parent}, [caption](TTfSubmenuItem& s) {
            s.SetCaption(caption);
          }};
}

// The items of the list of recent files.
TComponentEntry RecentFiles(TParentRef parent, TTfMRUList* list) {
  return {Unbound<TTfMRUListItem>, {.Parent = parent}, [list](TTfMRUListItem& i) {
            i.SetMRUList(list);
          }};
}

std::vector<TComponentEntry> Join(std::initializer_list<std::vector<TComponentEntry>> parts) {
  std::vector<TComponentEntry> all;
  for (const auto& p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

} // namespace

// A toolbar showing the form's images.
std::function<void(TTfToolbar&)> TfrmMain::ToolbarOf(std::function<void(TTfToolbar&)> more) {
  return [this, more](TTfToolbar& t) {
    t.SetImages(PngImageList);
    if (more) more(t);
  };
}

// A popup menu showing the form's images.
std::function<void(TTfPopupMenu&)> TfrmMain::PopupOf() {
  return [this](TTfPopupMenu& m) { m.SetImages(PngImageList); };
}

void TfrmMain::CreateMenus() {
  auto E = [this](const wchar_t* name) { return EffectActions.at(name); };
  TTfSubmenuItem *hs = nullptr, *vs = nullptr, *toolbar = nullptr, *fade = nullptr;
  // The list first: the menus' entries take it as it is when they are written.
  BuildComponents(this, {{TfMRUList, {L"TfMRUList"}, [this](TTfMRUList& l) {
                            l.SetMaxItems(6);
                            l.Prefix = L"MRU";
                            l.SetHidePathExtension(false);
                            l.OnClick = [this](TObject* s, const std::wstring& f) {
                              TfMRUListClick(s, f);
                            };
                            // The recent-file menus follow the list at once, in both directions.
                            l.OnChange = [this](TObject*) { UpdateRecentMenus(); };
                          }}});
  BuildComponents(
      this,
      Join({
          {// What the form stores for a menu bar (set by the menu-bar switch only outside
           // loading).
           {ToolbarMainMenu,
            {L"ToolbarMainMenu", Dock, {}, L"Main Menu"},
            ToolbarOf([](TTfToolbar& t) {
              t.SetMenuBar(true);
              t.SetFullSize(true);
              t.SetShrinkMode(tfsmWrap);
              t.SetProcessShortCuts(true);
              t.SetCloseButton(false);
              t.SetDockRow(0);
              t.SetDockPos(0);
            })},
           Submenu(meuFile, L"meuFile", ToolbarMainMenu, L"&File")},
          ItemsOf(meuFile, {ActionNew, ActionOpen, ActionClose, nullptr, ActionSave, ActionSaveAs,
                            ActionSaveSelectionAs}),
          {{meuSeparatorReopen, {.Name = L"meuSeparatorReopen", .Parent = meuFile}},
           Submenu(meuRecetFiles, L"meuRecetFiles", meuFile, L"Recent Files"),
           RecentFiles(meuRecetFiles, TfMRUList)},
          ItemsOf(meuFile, {nullptr, ActionExit}),

          {Submenu(meuEdit, L"meuEdit", ToolbarMainMenu, L"&Edit")},
          ItemsOf(meuEdit,
                  {ActionUndo, ActionRedo, nullptr, ActionCut, ActionCopy, ActionPaste,
                   ActionPasteFromFile, E(L"ActionMix"), E(L"ActionMixFromFile"), ActionCrop,
                   E(L"ActionTrim"), ActionDeleteClear, E(L"ActionSilenceSelection"), nullptr,
                   ActionSelectAll, nullptr, ActionAudioInformation}),

          {Submenu(meuView, L"meuView", ToolbarMainMenu, L"&View")},
          ItemsOf(meuView, {ActionWaveformMode, ActionSpectralMode, nullptr, ActionLeftChannel,
                            ActionRightChannel, nullptr, ActionSetSelection, nullptr, ActionZoomIn,
                            ActionZoomOut, ActionZoomInSelection, ActionFullZoom,
                            ActionVerticalZoomIn, ActionVerticalZoomOut, nullptr}),
          {Submenu(hs, L"", meuView, L"Horizontal Scale Format"),
           ActionItem(meuHorizontalDecimcalmssdddd, L"meuHorizontalDecimcalmssdddd", hs,
                      ActionHorizontalFormatDecimcal),
           ActionItem(meuHorizontalSample, L"meuHorizontalSample", hs,
                      ActionHorizontalFormatSample)},
          ItemsOf(hs, {nullptr, ActionHorizontalFormatVisible}),
          {Submenu(vs, L"", meuView, L"Vertical Scale Format"),
           ActionItem(meuVerticalDecibel, L"meuVerticalDecibel", vs, ActionVerticalFormatDecibel),
           ActionItem(meuVerticalNormalized, L"meuVerticalNormalized", vs,
                      ActionVerticalFormatNormalized),
           ActionItem(meuVerticalSample, L"meuVerticalSample", vs, ActionVerticalFormatSample)},
          ItemsOf(vs, {nullptr, ActionVerticalFormatVisiable}),
          ItemsOf(meuView, {nullptr, ActionFrequencyAnalysis, nullptr}),
          // Its control, ToolbarEdit, is made with the toolbars.
          {Submenu(toolbar, L"", meuView, L"Toolbar"),
           {meuToolbarStandard,
            {.Name = L"meuToolbarStandard", .Parent = toolbar},
            [](TTfVisibilityToggleItem& i) { i.SetCaption(L"Standard"); }}},

          {Submenu(meuAction, L"meuAction", ToolbarMainMenu, L"&Action")},
          ItemsOf(meuAction,
                  {ActionPlay, ActionPlayLoop, ActionRecord, ActionPause, ActionStop, nullptr,
                   ActionRewind, ActionForward, ActionGoToStart, ActionGoToEnd}),

          {Submenu(meuTransform, L"meuTransform", ToolbarMainMenu, L"&Transform")},
          ItemsOf(meuTransform, {E(L"ActionInsertSilence"), E(L"ActionDeleteSilence"),
                                 E(L"ActionAddNoise"), nullptr}),
          {Submenu(fade, L"", meuTransform, L"Fade")},
          ItemsOf(fade, {E(L"ActionFadeIn"), E(L"ActionFadeOut"), E(L"ActionFadeCustom")}),
          ItemsOf(meuTransform,
                  {E(L"ActionAmplify"), E(L"ActionNormalize"), E(L"ActionCompressor"),
                   E(L"ActionExpander"), nullptr, E(L"ActionVibrato"), E(L"ActionInvert"),
                   E(L"ActionReverse"), nullptr, E(L"ActionDelay"), E(L"ActionPhaser"),
                   E(L"ActionFlanger"), E(L"ActionReverb"), E(L"ActionChorus"), nullptr,
                   E(L"ActionChannelConverter"), E(L"ActionStretchTime"), E(L"ActionPitchShift")}),

          {Submenu(meuFilter, L"meuFilter", ToolbarMainMenu, L"&Filter")},
          ItemsOf(meuFilter, {E(L"ActionNotchFilter"), E(L"ActionBandPass"), E(L"ActionLowPass"),
                              E(L"ActionHighPass"), E(L"ActionLowShelf"), E(L"ActionHighShelf"),
                              E(L"ActionPeakEQFilter")}),

          {Submenu(meuOptions, L"meuOptions", ToolbarMainMenu, L"&Options")},
          ItemsOf(meuOptions, {ActionWindowsRecordingMixer, nullptr, ActionOutputFormatSetting,
                               ActionProperties, nullptr, ActionShowHideBar}),

          {Submenu(meuHelp, L"meuHelp", ToolbarMainMenu, L"&Help")},
          ItemsOf(meuHelp, {ActionHelpContents, nullptr, ActionSupportOrBugReport, ActionHomePage}),

          // The popup menus of the scales and of the cover.
          {{PopupMenuScaleX, {L"PopupMenuScaleX"}, PopupOf()}},
          ItemsOf(PopupMenuScaleX, {ActionHorizontalFormatDecimcal, ActionHorizontalFormatSample,
                                    nullptr, ActionHorizontalFormatVisible}),
          {{PopupMenuScaleY, {L"PopupMenuScaleY"}, PopupOf()}},
          ItemsOf(PopupMenuScaleY,
                  {ActionVerticalFormatSample, ActionVerticalFormatNormalized,
                   ActionVerticalFormatDecibel, nullptr, ActionVerticalFormatVisiable}),
          {{TfPopupMenuMaskPanel, {L"TfPopupMenuMaskPanel"}, PopupOf()},
           Submenu(meuMaskpanelPopRecentFiles, L"meuMaskpanelPopRecentFiles", TfPopupMenuMaskPanel,
                   L"Recent Files"),
           RecentFiles(meuMaskpanelPopRecentFiles, TfMRUList),
           {popSeparatorRecentFiles,
            {.Name = L"popSeparatorRecentFiles", .Parent = TfPopupMenuMaskPanel}}},
          ItemsOf(TfPopupMenuMaskPanel, {ActionNew, ActionOpen, ActionRecord}),
      }));
  PanelMainGray->SetPopupMenu(TfPopupMenuMaskPanel);
  tlImagePanel->SetPopupMenu(TfPopupMenuMaskPanel);
}

void TfrmMain::CreateToolbars() {
  auto E = [this](const wchar_t* n) { return EffectActions.at(n); };
  BuildComponents(
      this,
      Join({
          {{ToolbarEdit, {L"ToolbarEdit", Dock, {}, L"Edit"}, ToolbarOf([](TTfToolbar& t) {
              t.SetDockRow(1);
              t.SetDockPos(0);
            })}},
          ItemsOf(ToolbarEdit, {ActionNew, ActionRecord, ActionOpen, ActionSave, ActionSaveAs,
                                nullptr, ActionCut, ActionCopy, ActionPaste, E(L"ActionMix"),
                                ActionDeleteClear, ActionCrop, nullptr, ActionUndo, ActionRedo,
                                nullptr, ActionZoomIn, ActionZoomOut, ActionZoomInSelection}),
          // Its own hint, kept over the action's while the form loads.
          {{tbFullZoom,
            {.Name = L"tbFullZoom", .Parent = ToolbarEdit},
            [this](TTfItem& i) {
              i.SetHint(L"Views the complete data window.");
              i.SetAction(ActionFullZoom);
            }}},
          ItemsOf(ToolbarEdit, {nullptr, ActionSetSelection}),

          // Under the waveform: transport on the left, zoom on the right, the
          // selection panes between them.
          {{buttomTb2, {L"buttomTb2", StatusBarEditor, {}, L"Zoom"}, ToolbarOf([](TTfToolbar& t) {
              t.SetAlign(alRight);
            })}},
          ItemsOf(buttomTb2, {ActionZoomIn, ActionZoomOut}),
          {BlankLine(buttomTb2)},
          ItemsOf(buttomTb2, {ActionFullZoom}),
          {{buttomTBBottom,
            {L"buttomTBBottom", StatusBarEditor, {}, L"Transport"},
            ToolbarOf([](TTfToolbar& t) { t.SetAlign(alLeft); })}},
          ItemsOf(buttomTBBottom,
                  {ActionRecord, nullptr, ActionPlayLoop, ActionPlay, ActionStop, ActionPause,
                   ActionGoToStart, ActionRewind, ActionForward, ActionGoToEnd}),
          {BlankLine(buttomTBBottom)},
          ItemsOf(buttomTBBottom, {ActionInsertMarker}),
          {{StatusPaneSelectLengh,
            {L"StatusPaneSelectLengh", StatusBarEditor, {}, L""},
            Pane(alRight, 90, L"Selection Lenght. Double click to edit.")},
           {StatusPaneSelectEnd,
            {L"StatusPaneSelectEnd", StatusBarEditor, {}, L""},
            Pane(alRight, 90, L"Selection Right. Double click to edit.")},
           {StatusPaneSelectStart,
            {L"StatusPaneSelectStart", StatusBarEditor, {}, L""},
            Pane(alRight, 90, L"Selection Left. Double click to edit.")}},
      }));
  meuToolbarStandard->SetControl(ToolbarEdit);
  const auto setSelection = [this](TObject*) { ActionSetSelection->Execute(); };
  for (TFcStatusPane* p : {StatusPaneSelectStart, StatusPaneSelectEnd, StatusPaneSelectLengh})
    p->OnClick = setSelection;
}

// ---------------------------------------------------------------------------
// Start-up and closing

void TfrmMain::FormCreate(TObject*) {
  Application->SetHintHidePause(5000);
  Application->OnHint = [this](TObject* s) { ShowApplicationHint(s); };
  PanelMainGray->SetAlign(alClient);
  PanelMainGray->BringToFront();
  GlobalVars.SettingsDir = DefaultSettingsDir();
  if (!DirectoryExists(GlobalVars.SettingsDir)) ForceDirectories(GlobalVars.SettingsDir);
  // Defaults never fail: a temp folder the shell cannot resolve falls back to the system's path.
  // The shell is asked (slowly) only when the settings do not name the folder.
  bool namesTemp = false;
  if (FileExists(GetSettingsFileName())) {
    TIniFile ini(GetSettingsFileName());
    namesTemp = ini.ValueExists(L"SYSTEM", L"TempFolder");
  }
  SetDefaultSettings(GlobalVars, !namesTemp);
  bool existed = LoadEditorSettings();
  FSettingsLoaded = true;
  if (!existed) {
    SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(),
              Height());
    GlobalVars.MasterWindowLeft = Left() + Width() + 10;
    GlobalVars.MasterWindowTop = Top();
  }
  GlobalVars.TempFolder = AddBackslash(GlobalVars.TempFolder);
  ApplySettingsToEditor();
  RestoreViewState();
  PostMessageW(Handle(), WM_EDITORSTARTUP, 0, 0);
}

void TfrmMain::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_EDITORSTARTUP) {
    WMEditorStartup();
    return;
  }
  TForm::Dispatch(Message);
}

void TfrmMain::WMEditorStartup() {
  Show();
  Application->ProcessMessages();
  if (!CommandLineFile.empty() && FileExists(CommandLineFile)) {
    try {
      OpenDocument(CommandLineFile);
    } catch (...) {
      Application->HandleException(this);
    }
  }
}

void TfrmMain::StopTransport() {
  if (AudioEditor->State() != 0) AudioEditor->Stop();
}

void TfrmMain::FormCloseQuery(TObject*, bool& CanClose) {
  StopTransport();
  CanClose = CheckSaveModified();
}

void TfrmMain::FormClose(TObject*, TCloseAction&) {
  StopTransport();
  // Settings that were never loaded are not written over the file.
  if (!FSettingsLoaded) return;
  SaveEditorSettings();
  WriteSettingBool(L"Toolbar", L"Edit", ToolbarEdit->Visible());
  try {
    SaveFormPlacement(L"FormPos", this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TfrmMain::ShowApplicationHint(TObject*) {
  StatusPaneHint->SetCaption(GetLongHint(Application->Hint()));
}

// ---------------------------------------------------------------------------
// Settings into the control

void TfrmMain::ApplySettingsToEditor() {
  TGlobalVars& g = GlobalVars;
  g.TempFolder = AddBackslash(g.TempFolder);
  std::wstring temp = g.TempFolder;
  if (!DirectoryExists(temp)) {
    TGlobalVars d;
    SetDefaultSettings(d);
    temp = d.TempFolder;
  }
  AudioEditor->SetTempDirectory(temp);
  AudioEditor->SetFileBufferSize(g.PlayRecordtBuffer);
  AudioEditor->SetUndoRedoCount(g.UndoRedoLevel);
  auto t = AudioEditor->Transform();
  t->SetSmoothEnabled(B16(g.SmoothEnabled));
  t->SetSmoothTime(g.SmoothTime);
  auto r = AudioEditor->Recorder();
  r->SetAccuEnabled(B16(g.AccuEnabled));
  r->SetAttackTime(g.AttackTime);
  r->SetAttackLevel(g.AttackLevel);
  r->SetReleaseTime(g.ReleaseTime);
  r->SetReleaseLevel(g.ReleaseLevel);
  r->SetAGCEnabled(B16(g.AGCEnabled));
  r->SetAGCLowLevel(g.AGCLowLevel);
  r->SetAGCHighLevel(g.AGCHighLevel);
  r->SetAGCAttackTime(g.AGCAttackTime);
  AudioEditor->SetRecordVisualizationType(static_cast<int16_t>(g.VisType));
  r->SetHighPassEnabled(B16(g.HighPassEnabled));
  r->SetHighPass(static_cast<float>(g.HighPass));
  r->SetLowPassEnabled(B16(g.LowPassEnabled));
  r->SetLowPass(static_cast<float>(g.LowPass));
  r->SetNotchPassEnabled(B16(g.NotchPassEnabled));
  r->SetNotchPass(static_cast<float>(g.NotchPass));
  ApplyHeaderlessFormats(*AudioEditor->HeaderlessInputFormat());
}

void TfrmMain::ApplyEditorAppearance() {
  HFONT font = CreateFontW(-MulDiv(7, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                           0, 0, L"Tahoma");
  for (auto s : {AudioEditor->ScaleX(), AudioEditor->ScaleY()}) {
    s->SetFont(font);
    s->SetFlag(0);
  }
  DeleteObject(font);
  AudioEditor->SetTypeBorder(4);
  auto c = AudioEditor->Colors();
  c->SetColor8(0x640000);
  c->SetColor13(0x640000);
  c->SetColor12(0xFFFFFF);
  c->SetColor10(0);
  c->SetColor1(0xC80000);
  c->SetColor4(0xC80000);
  c->SetColor3(0);
  c->SetColor2(0);
  c->SetColor7(0);
  c->SetColor9(0);
  c->SetColor6(0x9BFFFF);
  c->SetColor11(0);
  c->SetColor0(0);
  c->SetColor14(0x578EDB);
  c->SetColor15(0x578EDB);
  c->SetColor16(0x578EDB);
}

void TfrmMain::RestoreViewState() {
  RestoreFormPlacement(L"FormPos", this);
  LoadRecentFiles();
  ToolbarEdit->SetVisible(ReadSettingBool(L"Toolbar", L"Edit", true));
  meuToolbarStandard->UpdateFromAction();
  // The stored choices are applied as their commands do, without writing them back.
  FRestoringView = true;
  TScopeGuard restored([this] { FRestoringView = false; });
  int h = ReadSettingInteger(L"Horizontal", L"Format", 1);
  if (h == 1) ActionHorizontalFormatDecimcalExecute(ActionHorizontalFormatDecimcal);
  if (h == 2) ActionHorizontalFormatSampleExecute(ActionHorizontalFormatSample);
  ActionHorizontalFormatVisible->SetChecked(ReadSettingBool(L"Horizontal", L"Visible", true));
  AudioEditor->ScaleX()->SetVisible(B16(ActionHorizontalFormatVisible->Checked()));
  int v = ReadSettingInteger(L"Vertical", L"Format", 2);
  if (v == 1) ActionVerticalFormatSampleExecute(ActionVerticalFormatSample);
  if (v == 2) ActionVerticalFormatNormalizedExecute(ActionVerticalFormatNormalized);
  if (v == 3) ActionVerticalFormatDecibelExecute(ActionVerticalFormatDecibel);
  ActionVerticalFormatVisiable->SetChecked(ReadSettingBool(L"Vertical", L"Visible", true));
  AudioEditor->ScaleY()->SetVisible(B16(ActionVerticalFormatVisiable->Checked()));
  int m = ReadSettingInteger(L"WaveMode", L"Mode", 1);
  if (m == 1) ActionWaveformModeExecute(ActionWaveformMode);
  if (m == 2) ActionSpectralModeExecute(ActionSpectralMode);
  ApplyEditorAppearance();
  FVerticalZoom = 100;
  FHasClipboard = false;
}

// ---------------------------------------------------------------------------
// Document state

bool TfrmMain::IsDocumentLoaded() const {
  return !PanelMainGray->Visible();
}
void TfrmMain::SetDocumentLoaded(bool loaded) {
  // The editor control shows before the cover leaves and hides after it is back.
  if (loaded) AudioEditor->SetVisible(true);
  PanelMainGray->SetVisible(!loaded);
  if (!loaded) AudioEditor->SetVisible(false);
}
bool TfrmMain::IsEditorIdle() const {
  return AudioEditor->State() == 0;
}

bool TfrmMain::IsModified() const {
  if (!IsDocumentLoaded()) return false;
  const auto* doc = AudioEditor->Engine().Doc();
  if (!doc) return false;
  return FModifiedFlag || doc->Current().Seq.get() != FCleanSeq;
}

void TfrmMain::MarkClean() {
  FModifiedFlag = false;
  const auto* doc = AudioEditor->Engine().Doc();
  FCleanHold = doc ? std::shared_ptr<const void>(doc->Current().Seq) : nullptr;
  FCleanSeq = FCleanHold.get();
}

bool TfrmMain::CheckSaveModified() {
  if (!IsModified()) return true;
  std::wstring text =
      L"The file \"" + GetDisplayName() + L"\" has been modified. Do you want to save the changes?";
  int r = AskConfirmation(text, L"Save changes?");
  if (r == mrNo) return true;
  if (r != mrYes) return false;
  return SaveDocument() && !IsModified();
}

std::wstring TfrmMain::GetDisplayName() {
  std::wstring title = IsDocumentLoaded() ? AudioEditor->FileInfo()->Title() : L"";
  if (!title.empty()) return title;
  return ChangeFileExt(ExtractFileName(FFileName), L"");
}

void TfrmMain::UpdateCaption() {
  SetCaption(std::wstring(AppTitle) + L" - [" + GetDisplayName() + L"]");
}

std::wstring TfrmMain::GetSampleRateText() {
  int r = AudioEditor->FileInfo()->SampleRate();
  for (int known :
       {6000, 8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 88200, 96000})
    if (r == known) return FormatFloat(L"#,##0", r) + L" Hz";
  return L"No Frequency Info";
}

std::wstring TfrmMain::GetChannelsText() {
  int c = AudioEditor->FileInfo()->Channels();
  return c == 1 ? L"Mono" : c == 2 ? L"Stereo" : L"No Channels Info";
}

void TfrmMain::UpdateStatusBar() {
  StatusPaneFreeSize->SetCaption(GetFreeSpaceText(AudioEditor->TempDirectory()));
  StatusPaneHz->SetCaption(GetSampleRateText());
  StatusPaneChannel->SetCaption(GetChannelsText());
  auto p = AudioEditor->Position();
  StatusPaneTimeLengh->SetCaption(FormatMilliseconds(p->SamplesToMs(p->Length())));
  UpdateSelectionPanes();
}

void TfrmMain::UpdateSelectionPanes() {
  auto p = AudioEditor->Position();
  int a = p->SelectionStart(), b = p->SelectionEnd();
  std::wstring s = FormatMilliseconds(p->SamplesToMs(a));
  std::wstring e = FormatMilliseconds(p->SamplesToMs(b));
  std::wstring l = FormatMilliseconds(p->SamplesToMs(std::abs(b - a)));
  StatusPaneSelectStart->SetCaption(s);
  StatusPaneSelectEnd->SetCaption(s != e ? e : L"");
  StatusPaneSelectLengh->SetCaption(s != e ? l : L"");
}

// ---------------------------------------------------------------------------
// Recent files

void TfrmMain::LoadRecentFiles() {
  {
    TIniFile ini(GetSettingsFileName());
    TfMRUList->LoadFromIniFile(&ini, L"MRU");
  }
  UpdateRecentMenus();
}

void TfrmMain::SaveRecentFiles() {
  TIniFile ini(GetSettingsFileName());
  ini.SetSilentWriteErrors(true);
  TfMRUList->SaveToIniFile(&ini, L"MRU");
}

void TfrmMain::AddRecentFile(const std::wstring& path) {
  TfMRUList->AddFile(path);
  SaveRecentFiles();
  UpdateRecentMenus();
}

void TfrmMain::UpdateRecentMenus() {
  // The menus follow the list at once, in both directions.
  bool any = TfMRUList->Items()->Count() > 0;
  for (TTfCustomItem* m : std::initializer_list<TTfCustomItem*>{
           meuMaskpanelPopRecentFiles, popSeparatorRecentFiles, meuSeparatorReopen, meuRecetFiles})
    m->SetVisible(any);
}

void TfrmMain::TfMRUListClick(TObject*, const std::wstring& fileName) {
  if (!FileExists(fileName)) {
    ShowMessageBox(Format(SFileNotFound, fileName), SErrorCaption, MB_OK | MB_ICONWARNING);
    // An entry whose file is gone leaves the list once the user has been told.
    int i = TfMRUList->Items()->IndexOf(fileName);
    if (i >= 0) TfMRUList->Items()->Delete(i);
    SaveRecentFiles();
    UpdateRecentMenus();
    return;
  }
  if (!CheckSaveModified()) return;
  OpenDocument(fileName);
}

// ---------------------------------------------------------------------------
// File commands

bool TfrmMain::OpenDocument(const std::wstring& path) {
  const std::wstring oldCaption = Caption(), oldFile = FFileName;
  const bool oldNew = FIsNewDocument;
  FOperationText = L"Loading";
  TBusyCursor busy;
  SetCaption(std::wstring(AppTitle) + L" - " + L"Loading audio files, please wait...");
  FFileName = path;
  FIsNewDocument = false;
  // A failed open leaves the previous document as it was.
  TScopeGuard restore([&] {
    FFileName = oldFile;
    FIsNewDocument = oldNew;
    SetCaption(oldCaption);
  });
  AudioEditor->OpenFile(path, 0);
  restore.Dismiss();
  GlobalVars.LastOpenDir = ExtractFilePath(path);
  AddRecentFile(path);
  SetDocumentLoaded(true);
  MarkClean();
  UpdateCaption();
  UpdateStatusBar();
  // What had to be mended on reading (damage, samples that were not numbers) is said once.
  const std::wstring& notice = AudioEditor->Engine().LoadNotice();
  if (!notice.empty()) StatusPaneHint->SetCaption(notice);
  return true;
}

void TfrmMain::ActionOpenExecute(TObject*) {
  FOperationText = L"Loading";
  OpenDialog->SetInitialDir(GlobalVars.LastOpenDir);
  if (!OpenDialog->Execute()) return;
  if (!CheckSaveModified()) return;
  OpenDocument(OpenDialog->FileName());
}

bool TfrmMain::NewDocument() {
  if (!CheckSaveModified()) return false;
  TNewDocumentHost host;
  host.MainForm = this;
  host.Editor = AudioEditor;
  host.DocumentCreated = [this](int, int) {
    FFileName = L"New Recording";
    FIsNewDocument = true;
    SetDocumentLoaded(true);
    MarkClean();
    UpdateCaption();
    UpdateStatusBar();
  };
  return editor::NewDocument(host);
}

void TfrmMain::ActionNewExecute(TObject*) {
  NewDocument();
}

void TfrmMain::ActionCloseExecute(TObject*) {
  if (!CheckSaveModified()) return;
  AudioEditor->CloseFile();
  SetCaption(AppTitle);
  for (TFcStatusPane* p :
       {StatusPaneSelectStart, StatusPaneSelectEnd, StatusPaneSelectLengh, StatusPaneHz,
        StatusPaneChannel, StatusPaneTimeLengh, StatusPaneFreeSize})
    p->SetCaption(L"");
  SetDocumentLoaded(false);
  MarkClean();
}

void TfrmMain::ActionExitExecute(TObject*) {
  Close();
}

bool TfrmMain::SaveDocument() {
  if (FIsNewDocument) {
    SaveAsWithFormat(false);
    return !IsModified();
  }
  auto format = AudioEditor->OutputFormat();
  // A format that cannot be written under its own extension goes to Save As.
  if (!ApplyExtensionFormat(*format, ExtractFileExt(FFileName))) {
    SaveAsWithFormat(false);
    return !IsModified();
  }
  FOperationText = L"Saving";
  TBusyCursor busy;
  AudioEditor->SaveFile(FFileName, 0, 0);
  MarkClean();
  UpdateStatusBar();
  return true;
}

void TfrmMain::ActionSaveExecute(TObject*) {
  SaveDocument();
}

bool TfrmMain::SaveAsTo(const std::wstring& chosenName, int filterIndex, bool selectionOnly) {
  if (filterIndex < 1 || filterIndex > kSaveFilterCount) filterIndex = 1;
  std::wstring path = ReplaceExtension(chosenName, kSaveEntries[filterIndex - 1].extension);
  if (FileExists(path)) {
    if (ShowMessageBox(path + L" already exists.\r\nDo you want to replace it?",
                       L"Save audio files", MB_YESNO | MB_ICONWARNING) != IDYES)
      return false;
  }
  FOperationText = L"Saving";
  TBusyCursor busy;
  auto format = AudioEditor->OutputFormat();
  ApplyFilterFormat(*format, filterIndex);
  AudioEditor->SaveFile(path, selectionOnly ? -1 : 0, 0);
  if (!selectionOnly) {
    // Only a whole-document save renames the document.
    FFileName = path;
    MarkClean();
    UpdateCaption();
  }
  UpdateStatusBar();
  return true;
}

void TfrmMain::SaveAsWithFormat(bool selectionOnly) {
  SaveDialog->SetFilterIndex(FSaveFilterIndex);
  SaveDialog->SetFileName(L"");
  if (!SaveDialog->Execute()) return;
  FSaveFilterIndex = SaveDialog->FilterIndex();
  SaveAsTo(SaveDialog->FileName(), FSaveFilterIndex, selectionOnly);
}

void TfrmMain::ActionSaveAsExecute(TObject*) {
  SaveAsWithFormat(false);
}
void TfrmMain::ActionSaveSelectionAsExecute(TObject*) {
  SaveAsWithFormat(true);
}

// ---------------------------------------------------------------------------
// Edit commands

void TfrmMain::RunEdit(const std::wstring& verb, const std::function<void()>& call) {
  if (!IsDocumentLoaded() || !IsEditorIdle()) return;
  FOperationText = verb;
  TBusyCursor busy;
  call();
  UpdateStatusBar();
}

void TfrmMain::ActionUndoExecute(TObject*) {
  if (AudioEditor->CanUndo())
    RunEdit(L"Reverseing the last operation of", [this] { AudioEditor->Undo(); });
}
void TfrmMain::ActionRedoExecute(TObject*) {
  if (AudioEditor->CanRedo())
    RunEdit(L"Redoing the last action of", [this] { AudioEditor->Redo(); });
}
void TfrmMain::ActionCutExecute(TObject*) {
  RunEdit(L"Cuting the selection of", [this] {
    AudioEditor->Cut();
    FHasClipboard = true;
  });
}
void TfrmMain::ActionCopyExecute(TObject*) {
  RunEdit(L"Cuting the selection of", [this] {
    AudioEditor->Copy();
    FHasClipboard = true;
  });
}
void TfrmMain::ActionPasteExecute(TObject*) {
  if (FHasClipboard) RunEdit(L"Inserting cilpbord contencts to", [this] { AudioEditor->Paste(); });
}
void TfrmMain::ActionDeleteClearExecute(TObject*) {
  RunEdit(L"Deleting selection of", [this] { AudioEditor->DeleteSelection(); });
}

void TfrmMain::ActionCropExecute(TObject*) {
  RunEdit(L"Croping the selection of", [this] {
    AudioEditor->BeginUpdate();
    TScopeGuard endUpdate([this] { AudioEditor->EndUpdate(); });
    AudioEditor->Copy();
    auto p = AudioEditor->Position();
    p->SetSelectionActive(-1);
    p->SetSelectionStart(0);
    p->SetSelectionEnd(p->Length());
    AudioEditor->DeleteSelection();
    AudioEditor->Paste();
  });
}

void TfrmMain::ActionPasteFromFileExecute(TObject*) {
  if (!IsDocumentLoaded() || !IsEditorIdle()) return;
  FOperationText = L"Inserting a file to";
  if (!OpenDialog->Execute()) return;
  AudioEditor->PasteFromFile(OpenDialog->FileName());
  UpdateStatusBar();
}

void TfrmMain::ActionSelectAllExecute(TObject*) {
  if (!IsDocumentLoaded()) return;
  auto p = AudioEditor->Position();
  p->SetSelectionActive(-1);
  p->SetSelectionStart(0);
  p->SetSelectionEnd(p->Length());
  UpdateStatusBar();
}

void TfrmMain::SelectAllIfNoSelection() {
  if (!AudioEditor->Position()->SelectionActive()) ActionSelectAllExecute(this);
}

void TfrmMain::ActionInsertMarkerExecute(TObject*) {
  if (!IsDocumentLoaded()) return;
  int n = AudioEditor->Markers()->Count();
  std::wstring name = Format(L"Marker%d", n + 1);
  int a = AudioEditor->Position()->SelectionStart();
  int b = AudioEditor->Position()->SelectionEnd();
  AudioEditor->Markers()->Add(a, b - a, name, 0, 0, -1, -1, -1, -1);
}

void TfrmMain::RunEffect(const std::wstring& actionName) {
  if (!IsDocumentLoaded() || !IsEditorIdle()) return;
  // What an effect command needs of the main window.
  struct THost {
    TfrmMain& M;
    TCustomForm* Form() { return &M; }
    TAudioEditor2& Editor() { return *M.AudioEditor; }
    std::wstring GetDisplayName() { return M.GetDisplayName(); }
    void SetOperationText(const std::wstring& Verb) { M.FOperationText = Verb; }
    void SelectAllIfNoSelection() { M.SelectAllIfNoSelection(); }
    void UpdateStatusBar() { M.UpdateStatusBar(); }
    void BeginBusy() { editor::BeginBusy(); }
    void EndBusy() { editor::EndBusy(); }
    bool ChooseMixFile(std::wstring& File) {
      if (!M.OpenDialog->Execute()) return false;
      File = M.OpenDialog->FileName();
      return true;
    }
  } host{*this};
  for (const auto& effect : EffectCommands())
    if (actionName == effect.Action) {
      ExecuteEffect(effect.Command, host);
      return;
    }
}

// ---------------------------------------------------------------------------
// View

void TfrmMain::WriteViewSetting(const std::wstring& section, const std::wstring& key, int value) {
  if (!FRestoringView) WriteSettingInteger(section, key, value);
}

namespace {
void InvertCheck(TObject* sender) {
  if (auto* a = dynamic_cast<TCustomAction*>(sender)) a->SetChecked(!a->Checked());
}
} // namespace

void TfrmMain::ActionHorizontalFormatDecimcalExecute(TObject* s) {
  TBusyCursor busy;
  InvertCheck(s);
  AudioEditor->ScaleX()->SetFormat(2);
  WriteViewSetting(L"Horizontal", L"Format", 1);
}
void TfrmMain::ActionHorizontalFormatSampleExecute(TObject* s) {
  TBusyCursor busy;
  InvertCheck(s);
  AudioEditor->ScaleX()->SetFormat(1);
  WriteViewSetting(L"Horizontal", L"Format", 2);
}
void TfrmMain::ActionHorizontalFormatVisibleExecute(TObject*) {
  TBusyCursor busy;
  ActionHorizontalFormatVisible->SetChecked(!ActionHorizontalFormatVisible->Checked());
  AudioEditor->ScaleX()->SetVisible(B16(ActionHorizontalFormatVisible->Checked()));
  WriteSettingBool(L"Horizontal", L"Visible", AudioEditor->ScaleX()->Visible() != 0);
}
void TfrmMain::ActionVerticalFormatSampleExecute(TObject* s) {
  TBusyCursor busy;
  InvertCheck(s);
  AudioEditor->ScaleY()->SetFormat(1);
  WriteViewSetting(L"Vertical", L"Format", 1);
}
void TfrmMain::ActionVerticalFormatNormalizedExecute(TObject* s) {
  TBusyCursor busy;
  InvertCheck(s);
  AudioEditor->ScaleY()->SetFormat(2);
  WriteViewSetting(L"Vertical", L"Format", 2);
}
void TfrmMain::ActionVerticalFormatDecibelExecute(TObject* s) {
  TBusyCursor busy;
  InvertCheck(s);
  AudioEditor->ScaleY()->SetFormat(3);
  WriteViewSetting(L"Vertical", L"Format", 3);
}
void TfrmMain::ActionVerticalFormatVisiableExecute(TObject*) {
  TBusyCursor busy;
  ActionVerticalFormatVisiable->SetChecked(!ActionVerticalFormatVisiable->Checked());
  AudioEditor->ScaleY()->SetVisible(B16(ActionVerticalFormatVisiable->Checked()));
  WriteSettingBool(L"Vertical", L"Visible", AudioEditor->ScaleY()->Visible() != 0);
}
void TfrmMain::ActionWaveformModeExecute(TObject* s) {
  TBusyCursor busy;
  InvertCheck(s);
  AudioEditor->SetTypeView(0);
  WriteViewSetting(L"WaveMode", L"Mode", 1);
}
void TfrmMain::ActionSpectralModeExecute(TObject* s) {
  TBusyCursor busy;
  InvertCheck(s);
  AudioEditor->SetTypeView(1);
  WriteViewSetting(L"WaveMode", L"Mode", 2);
}

void TfrmMain::ActionLeftChannelExecute(TObject* s) {
  TBusyCursor busy;
  InvertCheck(s);
  auto c = AudioEditor->Channel();
  c->SetChannel(1);
  c->SetEnabled(B16(ActionLeftChannel->Checked()));
  c->SetChannel(2);
  c->SetEnabled(B16(ActionRightChannel->Checked()));
}

void TfrmMain::ActionZoomInExecute(TObject*) {
  if (!IsDocumentLoaded()) return;
  auto p = AudioEditor->Position();
  int a, b;
  ZoomInRange(p->ViewStart(), p->ViewEnd(), p->Cursor(), a, b);
  AudioEditor->ZoomToRange(a, b);
}
void TfrmMain::ActionZoomOutExecute(TObject*) {
  if (IsDocumentLoaded()) AudioEditor->ZoomOut();
}
void TfrmMain::ActionZoomInSelectionExecute(TObject*) {
  if (IsDocumentLoaded()) AudioEditor->ZoomInSelection();
}
void TfrmMain::ActionFullZoomExecute(TObject*) {
  if (IsDocumentLoaded()) AudioEditor->FullZoom();
}
void TfrmMain::ActionVerticalZoomInExecute(TObject*) {
  FVerticalZoom += 20;
  AudioEditor->VerticalZoom(FVerticalZoom);
}
void TfrmMain::ActionVerticalZoomOutExecute(TObject*) {
  FVerticalZoom -= 20;
  AudioEditor->VerticalZoom(FVerticalZoom);
}

void TfrmMain::ScrollToCursor() {
  auto p = AudioEditor->Position();
  int a, b;
  if (!ScrollRange(p->ViewStart(), p->ViewEnd(), p->Cursor(), p->Length(), a, b)) return;
  p->SetViewStart(a);
  p->SetViewEnd(b);
}

// ---------------------------------------------------------------------------
// Transport

// Idle: play in Mode; playing: stop, or pause with PauseWhilePlaying; paused: resume.
void TfrmMain::TransportPlay(int Mode, bool PauseWhilePlaying) {
  if (!IsDocumentLoaded()) return;
  switch (AudioEditor->State()) {
  case 0:
    AudioEditor->Play(Mode);
    break;
  case 1:
    if (PauseWhilePlaying)
      AudioEditor->Pause();
    else
      AudioEditor->Stop();
    break;
  case 5:
    AudioEditor->Resume();
    break;
  }
}
void TfrmMain::ActionPlayExecute(TObject*) {
  TransportPlay(1, false);
}
void TfrmMain::ActionPauseExecute(TObject*) {
  TransportPlay(1, true);
}
void TfrmMain::ActionPlayLoopExecute(TObject*) {
  TransportPlay(3, false);
}
void TfrmMain::ActionStopExecute(TObject*) {
  if (!IsDocumentLoaded()) return;
  int s = AudioEditor->State();
  if (s == 1 || s == 2 || s == 5) AudioEditor->Stop();
}
void TfrmMain::ActionRecordExecute(TObject*) {
  if (AudioEditor->State() == 2) return;
  if (!IsDocumentLoaded() && !NewDocument()) return;
  FOperationText = L"Generating recorded audio data";
  // Playback (running or paused) ends before recording starts.
  AudioEditor->Stop();
  AudioEditor->StartRecord(2);
  FModifiedFlag = true;
  UpdateStatusBar();
}

void TfrmMain::ActionForwardExecute(TObject*) {
  if (!IsDocumentLoaded() || AudioEditor->State() == 2) return;
  auto p = AudioEditor->Position();
  p->SetSelectionActive(0);
  p->SetCursor(ForwardTarget(p->Cursor(), p->Length()));
  ScrollToCursor();
}
void TfrmMain::ActionRewindExecute(TObject*) {
  if (!IsDocumentLoaded() || AudioEditor->State() == 2) return;
  auto p = AudioEditor->Position();
  p->SetSelectionActive(0);
  p->SetCursor(RewindTarget(p->Cursor()));
  ScrollToCursor();
}
void TfrmMain::ActionGoToStartExecute(TObject*) {
  if (!IsDocumentLoaded() || AudioEditor->State() == 2) return;
  auto p = AudioEditor->Position();
  p->SetSelectionActive(0);
  p->SetCursor(0);
  ScrollToCursor();
}
void TfrmMain::ActionGoToEndExecute(TObject*) {
  if (!IsDocumentLoaded() || AudioEditor->State() == 2) return;
  auto p = AudioEditor->Position();
  p->SetSelectionActive(0);
  p->SetCursor(p->Length());
  ScrollToCursor();
}

// ---------------------------------------------------------------------------
// Options and help

void TfrmMain::ActionOutputFormatSettingExecute(TObject*) {
  if (!RunOutputFormatDialog(this)) return;
  SaveEditorSettings();
  ApplyHeaderlessFormats(*AudioEditor->HeaderlessInputFormat());
}

void TfrmMain::ActionWindowsRecordingMixerExecute(TObject*) {
  TBusyCursor busy;
  std::wstring sys = AddBackslash(GetSystemDir());
  if (IsVistaOrLater())
    ShellExecuteW(Handle(), L"open", (sys + L"control.exe").c_str(), L"mmsys.cpl,,1", nullptr,
                  SW_SHOWNORMAL);
  else
    ShellExecuteW(Handle(), L"open", (sys + L"sndvol32.exe").c_str(), L"/r", nullptr,
                  SW_SHOWNORMAL);
}

void TfrmMain::ActionHelpContentsExecute(TObject*) {
  ShowHelpTopic(Handle(), L"What is.htm");
}
void TfrmMain::ActionSupportOrBugReportExecute(TObject*) {
  OpenUrl(kSupportMail);
}
void TfrmMain::ActionHomePageExecute(TObject*) {
  OpenUrl(kHomePage);
}

// ---------------------------------------------------------------------------
// Enabling

void TfrmMain::ActionListUpdate(TBasicAction*, bool&) {
  TCommandConditions c;
  c.Loaded = IsDocumentLoaded();
  c.State = AudioEditor->State();
  c.Selection = c.Loaded && AudioEditor->Position()->SelectionActive() != 0;
  c.Clipboard = FHasClipboard;
  c.CanUndo = AudioEditor->CanUndo() != 0;
  c.CanRedo = AudioEditor->CanRedo() != 0;
  auto states = ComputeCommandStates(c);
  ActionWaveformMode->SetChecked(AudioEditor->TypeView() == 0);
  ActionSpectralMode->SetChecked(AudioEditor->TypeView() == 1);
  int fx = AudioEditor->ScaleX()->Format(), fy = AudioEditor->ScaleY()->Format();
  ActionHorizontalFormatDecimcal->SetChecked(fx == 2);
  ActionHorizontalFormatSample->SetChecked(fx == 1);
  ActionVerticalFormatSample->SetChecked(fy == 1);
  ActionVerticalFormatNormalized->SetChecked(fy == 2);
  ActionVerticalFormatDecibel->SetChecked(fy == 3);
  meuHorizontalDecimcalmssdddd->SetEnabled(ActionHorizontalFormatVisible->Checked());
  meuHorizontalSample->SetEnabled(ActionHorizontalFormatVisible->Checked());
  for (TTfItem* m : {meuVerticalDecibel, meuVerticalNormalized, meuVerticalSample})
    m->SetEnabled(ActionVerticalFormatVisiable->Checked());
  for (const auto& [name, enabled] : states)
    if (TAction* a = FindAction(name)) a->SetEnabled(enabled);
  // An action's change gives its items the action's hint again.
  tbFullZoom->SetHint(L"Views the complete data window.");
  AudioEditor->SetMouseEventsEnabled(B16(c.State != 5));
}

// ---------------------------------------------------------------------------
// Events of the editor control

void TfrmMain::AudioEditorBlockOperation(TObject*, int16_t percent) {
  Screen->SetCursor(crHourGlass);
  AudioEditor->SetCursor(crHourGlass);
  AudioEditor->SetMouseEventsEnabled(0);
  StatusPaneHint->SetCaption(FOperationText + L" " + ExtractFileName(FFileName) +
                             L" - Please wait...");
  ProgressBar->SetVisible(true);
  ProgressBar->SetPercent(static_cast<uint16_t>(std::clamp<int>(percent, 0, 100)));
  Application->ProcessMessages();
}

void TfrmMain::AudioEditorEndOperation(TObject*) {
  StatusPaneHint->SetCaption(L"");
  ProgressBar->SetPercent(0);
  ProgressBar->SetVisible(false);
  Screen->SetCursor(BusyCount() > 0 ? crHourGlass : crDefault);
  AudioEditor->SetCursor(crDefault);
  AudioEditor->SetMouseEventsEnabled(-1);
}

void TfrmMain::AudioEditorChangePosition(TObject*) {
  UpdateSelectionPanes();
  FeedFrequencyAnalysis();
}

void TfrmMain::AudioEditorChangePlayPosition(TObject*) {
  auto p = AudioEditor->Position();
  StatusPaneSelectEnd->SetCaption(FormatMilliseconds(p->SamplesToMs(p->Cursor())));
  FeedFrequencyAnalysis();
}

void TfrmMain::AudioEditorEndPlay(TObject*) {
  UpdateSelectionPanes();
}

TfrmFreAnalysis* TfrmMain::EnsureFreAnalysisWindow() {
  if (!FreAnalysisWindow && MakeFreAnalysisWindow) FreAnalysisWindow = MakeFreAnalysisWindow();
  return FreAnalysisWindow;
}

TfrmInfo* TfrmMain::EnsureInfoWindow() {
  if (!InfoWindow && MakeInfoWindow) InfoWindow = MakeInfoWindow();
  return InfoWindow;
}

// A window never made is not open: nothing to feed.
void TfrmMain::FeedFrequencyAnalysis() {
  if (FreAnalysisWindow) FreAnalysisWindow->FeedFrequencyAnalysis();
}

} // namespace editor
