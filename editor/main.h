// The editor's main window: the document in the editor control, its menus,
// toolbars and status bars, the actions with their enabling rules, opening,
// the recent-file list, view, zoom, transport, edit commands and saving.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/ActnList.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "controls/FcPanel.h"
#include "controls/FcStatus.h"
#include "controls/TlImagePanel.h"
#include "toolbars/TfExtItems.h"
#include "toolbars/TfItem.h"
#include "toolbars/TfMRU.h"
#include "toolbars/TfToolbar.h"

class TAudioEditor2;
class TPngImageList;
class IAudioEditor2OutputFormat;
namespace editor {

class TfrmFreAnalysis;
class TfrmInfo;

constexpr UINT WM_EDITORSTARTUP = WM_USER + 1;

// ---------------------------------------------------------------------------
// Command enabling

struct TCommandConditions {
  bool Loaded = false;
  int State = 0; // 0 idle, 1 playing, 2 recording, 5 paused
  bool Selection = false;
  bool Clipboard = false;
  bool CanUndo = false;
  bool CanRedo = false;
};

// Enabled state of each action (by action name) under the conditions; the
// actions not listed are always enabled.
std::map<std::wstring, bool> ComputeCommandStates(const TCommandConditions& c);

// ---------------------------------------------------------------------------
// View arithmetic (samples)

// Both edges move halfway towards the cursor.
void ZoomInRange(int vs, int ve, int c, int& start, int& end);
// New view keeping the cursor visible; false when the view stays.
bool ScrollRange(int vs, int ve, int c, int length, int& start, int& end);
int ForwardTarget(int cursor, int length);
int RewindTarget(int cursor);

// ---------------------------------------------------------------------------
// Output formats

constexpr int kSaveFilterCount = 15;
// "desc|pattern|..." with the fifteen entries.
std::wstring SaveDialogFilter();
std::wstring OpenDialogFilter();
// Calls the setter of save-dialog entry 1..15 and returns its extension ("" for no entry).
std::wstring ApplyFilterFormat(IAudioEditor2OutputFormat& format, int filterIndex);
// Calls the setter of a lower- or upper-case extension; false when it has none.
bool ApplyExtensionFormat(IAudioEditor2OutputFormat& format, const std::wstring& extension);
// Gives the control's headerless-input formats the settings that saving
// those extensions (.vox, .raw, .g726, .g723, .g721) uses.
void ApplyHeaderlessFormats(IAudioEditor2OutputFormat& input);
// The chosen name with its extension replaced by (or given) ext.
std::wstring ReplaceExtension(const std::wstring& fileName, const std::wstring& ext);

// Number of toolbar and menu images in the resources.
constexpr int kEditorImageCount = 32;
// Fills the list with the toolbar and menu images; returns how many were loaded.
int LoadEditorImages(TPngImageList* list);
bool LoadCoverPicture(TPicture* picture);

// ---------------------------------------------------------------------------

class TfrmMain : public TForm {
public:
  explicit TfrmMain(TComponent* AOwner);
  ~TfrmMain() override;

  // Components.
  TTfDock* Dock = nullptr;
  TTfToolbar* ToolbarMainMenu = nullptr;
  TTfToolbar* ToolbarEdit = nullptr;
  TFcPanel* PanelMainAudioEditor = nullptr;
  TAudioEditor2* AudioEditor = nullptr;
  TFcStatusBar* StatusBarEditor = nullptr;
  TTfToolbar* buttomTBBottom = nullptr;
  TTfToolbar* buttomTb2 = nullptr;
  TFcStatusPane* StatusPaneSelectStart = nullptr;
  TFcStatusPane* StatusPaneSelectEnd = nullptr;
  TFcStatusPane* StatusPaneSelectLengh = nullptr;
  TFcPanel* PanelMainGray = nullptr;
  TtlImagePanel* tlImagePanel = nullptr;
  TFcStatusBar* StatusBarMain = nullptr;
  TFcProgressStatus* ProgressBar = nullptr;
  TFcStatusPane* StatusPaneHint = nullptr;
  TFcStatusPane* StatusPaneHz = nullptr;
  TFcStatusPane* StatusPaneChannel = nullptr;
  TFcStatusPane* StatusPaneTimeLengh = nullptr;
  TFcStatusPane* StatusPaneFreeSize = nullptr;
  TActionList* ActionList = nullptr;
  TPngImageList* PngImageList = nullptr;
  TTfPopupMenu* TfPopupMenuMaskPanel = nullptr;
  TTfPopupMenu* PopupMenuScaleX = nullptr;
  TTfPopupMenu* PopupMenuScaleY = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TSaveDialog* SaveDialog = nullptr;
  // The menus of the menu bar in order (File, Edit, View, Action, Transform,
  // Filter, Options, Help).
  TTfSubmenuItem *meuFile = nullptr, *meuEdit = nullptr, *meuView = nullptr, *meuAction = nullptr,
                 *meuTransform = nullptr, *meuFilter = nullptr, *meuOptions = nullptr,
                 *meuHelp = nullptr;
  TTfSubmenuItem* meuRecetFiles = nullptr;
  TTfSeparatorItem* meuSeparatorReopen = nullptr;
  TTfSubmenuItem* meuMaskpanelPopRecentFiles = nullptr;
  TTfSeparatorItem* popSeparatorRecentFiles = nullptr;
  TTfItem* meuHorizontalDecimcalmssdddd = nullptr;
  TTfItem* meuHorizontalSample = nullptr;
  TTfItem* meuVerticalDecibel = nullptr;
  TTfItem* meuVerticalNormalized = nullptr;
  TTfItem* meuVerticalSample = nullptr;
  TTfVisibilityToggleItem* meuToolbarStandard = nullptr;
  // Full Zoom on ToolbarEdit, whose hint differs from its action's.
  TTfItem* tbFullZoom = nullptr;
  // At most 6 entries, keys "MRU1".."MRU6" of the section "MRU".
  TTfMRUList* TfMRUList = nullptr;

  // Actions.
  TAction *ActionNew, *ActionOpen, *ActionClose, *ActionSave, *ActionSaveAs, *ActionSaveSelectionAs,
      *ActionExit;
  TAction *ActionUndo, *ActionRedo, *ActionCut, *ActionCopy, *ActionPaste, *ActionPasteFromFile,
      *ActionCrop, *ActionDeleteClear, *ActionSelectAll, *ActionInsertMarker,
      *ActionAudioInformation;
  TAction *ActionPlay, *ActionPause, *ActionPlayLoop, *ActionStop, *ActionRecord, *ActionRewind,
      *ActionForward, *ActionGoToStart, *ActionGoToEnd;
  TAction *ActionWaveformMode, *ActionSpectralMode, *ActionLeftChannel, *ActionRightChannel;
  TAction *ActionZoomIn, *ActionZoomOut, *ActionZoomInSelection, *ActionFullZoom,
      *ActionVerticalZoomIn, *ActionVerticalZoomOut, *ActionSetSelection;
  TAction *ActionHorizontalFormatDecimcal, *ActionHorizontalFormatSample,
      *ActionHorizontalFormatVisible;
  TAction *ActionVerticalFormatSample, *ActionVerticalFormatNormalized,
      *ActionVerticalFormatDecibel, *ActionVerticalFormatVisiable;
  TAction *ActionFrequencyAnalysis, *ActionWindowsRecordingMixer, *ActionOutputFormatSetting,
      *ActionProperties, *ActionShowHideBar, *ActionHelpContents, *ActionSupportOrBugReport,
      *ActionHomePage, *ActionAbout;
  // The effect, mix, trim and silence actions by name ("ActionAmplify").
  std::map<std::wstring, TAction*> EffectActions;
  // Looks an action up by its name.
  TAction* FindAction(const std::wstring& name) const;

  // Document state.
  bool IsDocumentLoaded() const;
  void SetDocumentLoaded(bool loaded);
  bool IsEditorIdle() const;
  // Whether the document changed since it was opened or saved.
  bool IsModified() const;
  const std::wstring& FileName() const { return FFileName; }
  bool IsNewDocument() const { return FIsNewDocument; }
  const std::wstring& OperationText() const { return FOperationText; }
  void SetOperationText(const std::wstring& v) { FOperationText = v; }
  bool HasClipboard() const { return FHasClipboard; }
  int VerticalZoom() const { return FVerticalZoom; }
  bool SettingsLoaded() const { return FSettingsLoaded; }

  std::wstring GetDisplayName();
  void UpdateCaption();
  void UpdateStatusBar();
  void UpdateSelectionPanes();
  std::wstring GetSampleRateText();
  std::wstring GetChannelsText();
  void ApplySettingsToEditor();
  void ApplyEditorAppearance();
  void RestoreViewState();
  void LoadRecentFiles();
  void AddRecentFile(const std::wstring& path);
  // Writes the recent-file list to "sys~.dat".
  void SaveRecentFiles();
  // Shows or hides the recent-file menus by the list's count.
  void UpdateRecentMenus();

  // The common opening steps; false (and nothing changed) when the file
  // cannot be opened.
  bool OpenDocument(const std::wstring& path);
  // Asks whether to save a modified document; false when the user cancels.
  bool CheckSaveModified();
  // Save As after the dialog: the entry's format, the path with the entry's
  // extension. False when the user declined to overwrite.
  bool SaveAsTo(const std::wstring& chosenName, int filterIndex, bool selectionOnly);
  // Save of the document under its own name; false when it went to Save As and was cancelled.
  bool SaveDocument();
  void SaveAsWithFormat(bool selectionOnly);
  bool NewDocument();
  void ScrollToCursor();
  void SelectAllIfNoSelection();
  void FeedFrequencyAnalysis();
  void ActionListUpdate(TBasicAction* Action, bool& Handled);

  // The command-line file opened at start-up.
  std::wstring CommandLineFile;
  // The Frequency Analysis and Audio Information windows, made by the
  // program's factories on their first use (the first paint needs neither).
  TfrmFreAnalysis* FreAnalysisWindow = nullptr;
  TfrmInfo* InfoWindow = nullptr;
  std::function<TfrmFreAnalysis*()> MakeFreAnalysisWindow;
  std::function<TfrmInfo*()> MakeInfoWindow;
  TfrmFreAnalysis* EnsureFreAnalysisWindow();
  TfrmInfo* EnsureInfoWindow();

  // Handlers.
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void ShowApplicationHint(TObject* Sender);
  void TfMRUListClick(TObject* Sender, const std::wstring& fileName);
  void ActionNewExecute(TObject* Sender);
  void ActionOpenExecute(TObject* Sender);
  void ActionCloseExecute(TObject* Sender);
  void ActionSaveExecute(TObject* Sender);
  void ActionSaveAsExecute(TObject* Sender);
  void ActionSaveSelectionAsExecute(TObject* Sender);
  void ActionExitExecute(TObject* Sender);
  void ActionUndoExecute(TObject* Sender);
  void ActionRedoExecute(TObject* Sender);
  void ActionCutExecute(TObject* Sender);
  void ActionCopyExecute(TObject* Sender);
  void ActionPasteExecute(TObject* Sender);
  void ActionCropExecute(TObject* Sender);
  void ActionDeleteClearExecute(TObject* Sender);
  void ActionPasteFromFileExecute(TObject* Sender);
  void ActionSelectAllExecute(TObject* Sender);
  void ActionInsertMarkerExecute(TObject* Sender);
  void ActionHorizontalFormatDecimcalExecute(TObject* Sender);
  void ActionHorizontalFormatSampleExecute(TObject* Sender);
  void ActionHorizontalFormatVisibleExecute(TObject* Sender);
  void ActionVerticalFormatSampleExecute(TObject* Sender);
  void ActionVerticalFormatNormalizedExecute(TObject* Sender);
  void ActionVerticalFormatDecibelExecute(TObject* Sender);
  void ActionVerticalFormatVisiableExecute(TObject* Sender);
  void ActionWaveformModeExecute(TObject* Sender);
  void ActionSpectralModeExecute(TObject* Sender);
  void ActionLeftChannelExecute(TObject* Sender);
  void ActionZoomInExecute(TObject* Sender);
  void ActionZoomOutExecute(TObject* Sender);
  void ActionZoomInSelectionExecute(TObject* Sender);
  void ActionFullZoomExecute(TObject* Sender);
  void ActionVerticalZoomInExecute(TObject* Sender);
  void ActionVerticalZoomOutExecute(TObject* Sender);
  void TransportPlay(int Mode, bool PauseWhilePlaying);
  void ActionPlayExecute(TObject* Sender);
  void ActionPauseExecute(TObject* Sender);
  void ActionPlayLoopExecute(TObject* Sender);
  void ActionStopExecute(TObject* Sender);
  void ActionRecordExecute(TObject* Sender);
  void ActionForwardExecute(TObject* Sender);
  void ActionRewindExecute(TObject* Sender);
  void ActionGoToStartExecute(TObject* Sender);
  void ActionGoToEndExecute(TObject* Sender);
  void ActionOutputFormatSettingExecute(TObject* Sender);
  void ActionWindowsRecordingMixerExecute(TObject* Sender);
  void ActionHelpContentsExecute(TObject* Sender);
  void ActionSupportOrBugReportExecute(TObject* Sender);
  void ActionHomePageExecute(TObject* Sender);
  void AudioEditorBlockOperation(TObject* Sender, int16_t percent);
  void AudioEditorEndOperation(TObject* Sender);
  void AudioEditorChangePosition(TObject* Sender);
  void AudioEditorChangePlayPosition(TObject* Sender);
  void AudioEditorEndPlay(TObject* Sender);

protected:
  void Dispatch(TMessage& Message) override;
  void WMEditorStartup();

private:
  // The set-up of one of the list's actions, for BuildComponents.
  std::function<void(TAction&)> ActionOf(std::wstring caption, std::wstring category,
                                         TShortCut shortCut, std::wstring hint,
                                         void (TfrmMain::*handler)(TObject*));
  void CreateActions();
  void AssignImages();
  void CreateMenus();
  void CreateToolbars();
  void CreatePanels();
  // The set-ups of a toolbar and of a popup menu showing the form's images.
  std::function<void(TTfToolbar&)> ToolbarOf(std::function<void(TTfToolbar&)> more);
  std::function<void(TTfPopupMenu&)> PopupOf();
  // Writes a view choice, but not while the stored ones are being applied.
  void WriteViewSetting(const std::wstring& section, const std::wstring& key, int value);
  void RunEffect(const std::wstring& actionName);
  void RunEdit(const std::wstring& verb, const std::function<void()>& call);
  void MarkClean();
  void StopTransport();

  std::wstring FFileName;
  bool FIsNewDocument = false;
  std::wstring FOperationText;
  bool FHasClipboard = false;
  int FVerticalZoom = 100;
  bool FSettingsLoaded = false;
  bool FRestoringView = false;
  bool FModifiedFlag = false;
  const void* FCleanSeq = nullptr;
  std::shared_ptr<const void> FCleanHold;
  int FSaveFilterIndex = 1;
  int FSelStartMs = 0, FSelEndMs = 0;
};

} // namespace editor
