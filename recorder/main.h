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

#include <memory>

namespace recorder {

constexpr UINT WM_RECORDERSTARTUP = WM_USER + 4;

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
  // Level meter and play position.
  TProgressBar* skSkinGaugeLeft;
  TProgressBar* skSkinGaugeRight;
  TTrackBar* SliderPlay;
  // Command buttons.
  TButton* SkinButtonRecord;
  TButton* SkinButtonPause;
  TButton* SkinButtonStop;
  TButton* SkinButtonEdit;
  TButton* SkinButtonFilezList;
  TButton* SkinButtonOptions;
  TButton* SkinButtonSchedule;
  TButton* SkinButtonHelp;
  TButton* SkinButtonClose;
  TButton* SkinButtonPlay;
  TButton* SkinButtonPlayPause;
  TButton* SkinButtonPlayStop;
  TButton* SkinButtonPlayEdit;
  TButton* SkinButtonDel;
  TButton* SkinButtonCopy;
  // History list and mixer panel.
  TListView* ListViewFiles;
  TComboBox* ComboBoxDevice;
  TComboBox* ComboBoxMixer;
  TTrackBar* tbGain;
  TTrackBar* tbBalance;
  TImage* ImageMixer;
  TImage* ImageMixerLabel;
  TButton* LabelVistaProblem;
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
  void ShowFileListPanel();
  void ShowMixerPanel();
  void LoadSkin(const std::wstring& FileName);

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
  void SaveFileList();
  void LoadFileList();

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
  int FPlayBase = 0;
  int FPlayBlock = 0;
  bool FSliderDragging = false;
  bool FSettingsLoaded = false;
  int FRecordedBlocks = 0;
  bool FFileListLoaded = false;
  // Output format changed while recording: applied once the recording ends.
  bool FFormatPending = false;
};

} // namespace recorder
