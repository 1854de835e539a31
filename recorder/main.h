// The recorder's main window: its components, actions and timers, start-up,
// recording, the two bottom panels and closing.
#pragma once
#include "framework/ActnList.h"
#include "framework/ComCtrls.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"

#include "audio/AudioFile2.h"
#include "audio/AudioInformation2.h"
#include "audio/AudioPlayer2.h"
#include "audio/AudioRecord2.h"
#include "recorder/HotKeyManager.h"
#include "recorder/Schedule.h"
#include "skin/SkinBoxCtrls.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinData.h"
#include "skin/SkinHint.h"
#include "skin/SkinnedForm.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TdeAudioIn;
class TdeAudioControlSource;

namespace recorder {

constexpr UINT WM_RECORDERSTARTUP = WM_USER + 4;

// Facts of one history row, attached to the row as its data.
struct TFileItem {
  std::wstring FileName;
  double FileDate = 0;
  std::wstring Duration;
  int64_t Size = 0;
};

// Starts a program or opens a document through the shell (true when started);
// tests replace it to see what would be started.
using TShellOpenFunc =
    std::function<bool(HWND Owner, const std::wstring& Verb, const std::wstring& File,
                       const std::wstring& Params, int Show)>;
extern TShellOpenFunc ShellOpen;
// Runs a command line without waiting (true when started); replaceable as above.
using TRunCommandFunc = std::function<bool(const std::wstring& CommandLine, int Show)>;
extern TRunCommandFunc RunCommand;

// Output format helpers.
std::wstring GetOutputExtension(int format);
int GetFileTypeCode(int format);

class TFormMain : public TForm {
public:
  explicit TFormMain(TComponent* AOwner);
  ~TFormMain() override;

  // Labels.
  TLabel* LabelTime;
  TLabel* LabelStaus;
  TLabel* LabelFormat;
  TLabel* LabelHigh;
  // Skin.
  TskSkinData* skSkinData;
  TskCompressedStoredSkin* skCompressedStoredSkin;
  TskSkinnedForm* skSkinnedForm;
  TskSkinHint* skSkinHint;
  // Level meter and play position.
  TskSkinGauge* skSkinGaugeLeft;
  TskSkinGauge* skSkinGaugeRight;
  TskSkinTrackBar* SliderPlay;
  // Command buttons.
  TskSkinButton* SkinButtonRecord;
  TskSkinButton* SkinButtonPause;
  TskSkinButton* SkinButtonStop;
  TskSkinButton* SkinButtonEdit;
  TskSkinButton* SkinButtonFilezList;
  TskSkinButton* SkinButtonOptions;
  TskSkinButton* SkinButtonSchedule;
  TskSkinButton* SkinButtonHelp;
  TskSkinButton* SkinButtonClose;
  TskSkinButton* SkinButtonPlay;
  TskSkinButton* SkinButtonPlayPause;
  TskSkinButton* SkinButtonPlayStop;
  TskSkinButton* SkinButtonPlayEdit;
  TskSkinButton* SkinButtonDel;
  TskSkinButton* SkinButtonCopy;
  // History list and mixer panel.
  TskSkinListView* ListViewFiles;
  TImageList* ImageListListViewFiles; // the rows' image (13 x 19)
  TskSkinScrollBar* VSkinScrollBar;
  TskSkinScrollBar* HSkinScrollBar;
  TskSkinComboBox* ComboBoxDevice;
  TskSkinComboBox* ComboBoxMixer;
  TskSkinScrollBar* tbGain;
  TskSkinScrollBar* tbBalance;
  TImage* ImageMixer;
  TImage* ImageMixerLabel;
  TskSkinButton* LabelVistaProblem;
  TOpenDialog* OpenDialog;
  TPopupMenu* PopupMenuListview;
  TPopupMenu* PopupMenuHelp;

  // Actions, in list order.
  TActionList* ActionList;
  TAction* ActionHelpContents;
  TAction* ActionShowHideMixer;
  TAction* ActionShowHideFileList;
  TAction* ActionEditAudioFiles;
  TAction* ActionPlay;
  TAction* ActionPlayPause;
  TAction* ActionPlayStop;
  TAction* ActionRecord;
  TAction* ActionRecordPause;
  TAction* ActionRecordStop;
  TAction* ActionOptions;
  TAction* ActionListAddFiles;
  TAction* ActionListCopy;
  TAction* ActionListDel;
  TAction* ActionSchedule;
  TAction* ActionProductPage;
  TAction* ActionWindowsMixer;
  TAction* ActionAbout;
  TAction* ActionAudioOstrel;
  TAction* ActionPavonne;
  TAction* ActionAudioQuellith;

  TTimer* FlashStausTimer;
  TTimer* TimerTimeDisplay;
  TTimer* TimerWaitForRecording;
  TTimer* TimerDeLevel;

  // Outside audio components.
  std::unique_ptr<TAudioRecord2> AudioRecord;
  std::unique_ptr<TAudioFile2> AudioFile;
  std::unique_ptr<TAudioFile2LameEnc> LameEnc;
  std::unique_ptr<TAudioPlayer2> AudioPlayer;
  std::unique_ptr<TAudioInformation2> AudioInformation;

  // State.
  bool Recording() const { return FRecording; }
  bool RecordPaused() const { return FRecordPaused; }
  bool Playing() const { return FPlaying; }
  bool PlayPaused() const { return FPlayPaused; }
  // Blocks written into the file of the current recording.
  int RecordedBlocks() const { return FRecordedBlocks; }
  // True once the settings file has been read; only then are settings saved on close.
  bool SettingsLoaded() const { return FSettingsLoaded; }

  void ApplySettings();
  // Registers the hot keys of the settings (dropping earlier ones) and sets
  // the record and stop shortcuts; a refused key is named in HotKeyRefusal.
  void ApplyHotKeys();
  const std::wstring& HotKeyRefusal() const { return FHotKeyRefusal; }
  void HotKeyManagerHotKeyPressed(TObject* Sender, uint32_t HotKey, uint16_t Index);
  void ShowOptions(bool ShowSchedule);
  // One schedule check; the clock is Schedule.Clock.
  void TimerWaitForRecordingTimer(TObject* Sender);
  bool ScheduleStarted() const { return FScheduleStarted; }
  THotKeyManager* HotKeyManager = nullptr;
  TScheduleCheck Schedule;
  void UpdateActions();
  void ArrangeControls();
  // Loads SkinDir + FileName into Image when the file is there; a picture
  // that cannot be read leaves Image as it is and is noted for the report.
  void LoadSkinPicture(TImage* Image, const std::wstring& FileName);
  // The pictures of the mixer panel used when the skin folder has none.
  void DrawBuiltInMixerPictures();
  // Shows the skin pictures that could not be read (once).
  void ReportSkinProblems();
  void ShowFileListPanel();
  void ShowMixerPanel();
  void LoadSkin(const std::wstring& FileName);
  // Gives each command button its own skin entry when the skin has one.
  void TakeCommandButtonEntries();

  // Recording.
  void ApplyOutputFormat();
  void ApplyWavFormat();
  void ApplyMp3Format();
  void ApplyOggFormat();
  void ApplyWmaFormat();
  void BeginRecording();
  void StartRecordingToFile(const std::wstring& Path);
  void PauseRecording();
  void ResumeRecording();
  void StopRecording();

  // History list (rows hold their file facts).
  void AddFileToList(const std::wstring& Path, bool Save);
  void AddFilesToList(const TStrings* Paths);
  void SaveFileList();
  void LoadFileList();
  std::wstring GetFileDuration(const std::wstring& Path);
  // Path of the first selected row; warns and gives "" when none is selected.
  std::wstring GetSelectedFileName();
  static void SelectRowNear(TListView* List, int Index);
  TFileItem* FileItemAt(int Row) const;
  // Copies the selected rows' files into Folder, never over an existing file;
  // reports the files that could not be copied. True when all were copied.
  bool CopySelectedFilesTo(const std::wstring& Folder);
  // Removes the selected rows (and their files when FromDisk); a file that
  // cannot be deleted keeps its row and is reported.
  void DeleteSelectedRows(bool FromDisk);
  // Why the last history load skipped or could not read a file.
  const std::vector<std::wstring>& LoadProblems() const { return FLoadProblems; }

  // Playback.
  void PlayFile(const std::wstring& Path);
  void PausePlaying();
  void StopPlaying();
  void FeedPlayer();
  int64_t PlayBase() const { return FPlayBase; }
  const std::wstring& PlayFileName() const { return FPlayFileName; }
  void SliderPlayMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SliderPlayMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void AudioPlayerTimer(TAudioPlayer2* Sender, int CurrentSamples, int LevelLeft, int LevelRight);

  // Level meter and mixer panel.
  TdeAudioIn* deAudioIn;
  TdeAudioControlSource* deAudioControlSource;
  void deAudioControlSourceDataChanged(TObject* Sender);
  // Shows the level of one buffer's peaks (what the level source reports).
  void ShowLevel(uint16_t Left, uint16_t Right);
  // Lowers both gauges by 800; stops its timer once the meter is at rest.
  void TimerDeLevelTimer(TObject* Sender);
  // Both gauges at 0 and the over-level warning as the last peaks want it.
  bool MeterAtRest() const;
  void ComboBoxDeviceChange(TObject* Sender);
  void ComboBoxMixerChange(TObject* Sender);
  void tbGainChange(TObject* Sender);
  void tbBalanceChange(TObject* Sender);
  void RunSiblingTool(const std::wstring& FileName);
  // Program folder of the recorder, with a trailing backslash.
  static std::wstring ProgramFolder();

protected:
  void Dispatch(TMessage& Message) override;

private:
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void WMRecorderStartup(TMessage& Message);
  void FlashStausTimerTimer(TObject* Sender);
  void TimerTimeDisplayTimer(TObject* Sender);
  void ActionRecordExecute(TObject* Sender);
  void ActionRecordPauseExecute(TObject* Sender);
  void ActionRecordStopExecute(TObject* Sender);
  void ActionShowHideMixerExecute(TObject* Sender);
  void ActionShowHideFileListExecute(TObject* Sender);
  void ActionHelpContentsExecute(TObject* Sender);
  void SkinButtonHelpClick(TObject* Sender);
  void AudioRecordEndArrayRecord(TAudioRecord2* Sender, int Block);
  void ListDevices();
  void FillMixerLines();
  void SelectMixerLine();
  void ActionPlayExecute(TObject* Sender);
  void ActionPlayPauseExecute(TObject* Sender);
  void ActionPlayStopExecute(TObject* Sender);
  void AudioPlayerEndPlay(TAudioPlayer2* Sender);
  void AudioPlayerEndArrayPlay(TAudioPlayer2* Sender);
  void AudioPlayerRequestOnLoadArray(TAudioPlayer2* Sender);
  void ReportPlayFailure(const std::wstring& Path, const std::wstring& Reason);
  void ActionListAddFilesExecute(TObject* Sender);
  void ActionListCopyExecute(TObject* Sender);
  void ActionListDelExecute(TObject* Sender);
  void ActionEditAudioFilesExecute(TObject* Sender);
  void ListViewFilesDblClick(TObject* Sender);
  void ActionWindowsMixerExecute(TObject* Sender);
  void ActionAudioOstrelExecute(TObject* Sender);
  void ActionPavonneExecute(TObject* Sender);
  void ActionAudioQuellithExecute(TObject* Sender);
  void ActionProductPageExecute(TObject* Sender);
  void LabelVistaProblemClick(TObject* Sender);
  void ActionAboutExecute(TObject* Sender);
  void SetStatus(const std::wstring& Text, bool Blink);

  bool FRecording = false;
  bool FRecordPaused = false;
  bool FScheduleStarted = false;
  std::wstring FHotKeyRefusal;
  bool FPlaying = false;
  bool FPlayPaused = false;
  double FRecordStart = 0;
  double FPauseStart = 0;
  double FPausedTotal = 0;
  // Sample position of the file where the player's current run began.
  int64_t FPlayBase = 0;
  int FPlayBlock = 0;
  std::wstring FPlayFileName;
  std::vector<std::wstring> FLoadProblems;
  // The history rows' items; each row's Data points at its own.
  std::vector<std::unique_ptr<TFileItem>> FFileItems;
  // Peaks of the last captured buffer, as unsigned values.
  uint16_t FPeakLeft = 0;
  uint16_t FPeakRight = 0;
  bool FSliderDragging = false;
  bool FSettingsLoaded = false;
  // Skin pictures that could not be read, reported once the window is up.
  std::vector<std::wstring> FSkinProblems;
  int FRecordedBlocks = 0;
  bool FFileListLoaded = false;
  // Output format changed while recording: applied once the recording ends.
  bool FFormatPending = false;
};

} // namespace recorder
