// The editor's settings record, its settings file "sys~.dat" and the
// placement of windows.
#pragma once
#include <cstdint>
#include <string>

class TCustomForm;

namespace editor {

// Application title: names the settings folder and begins the window caption.
inline const wchar_t* const AppTitle = L"Virelle Audio Recorder Build-in Simple Audio Editor";
inline const wchar_t* const SettingsFileTitle = L"sys~.dat";

struct TGlobalVars {
  std::wstring SettingsDir;
  std::wstring LastOpenDir;
  int32_t DeviceOutputVolumeLeft = 32767;
  int32_t DeviceOutputVolumeRight = 32767;
  int32_t MasterWindowLeft = 0;
  int32_t MasterWindowTop = 0;
  bool MasterWindowShowing = true;

  int32_t PcmRate = 44100, PcmBitDepth = 16, PcmChannel = 2;
  int32_t OggRate = 44100, OggAverageBitrate = 192, OggMinBitrate = 128, OggMaxBitrate = 256,
          OggChannel = 2;
  int32_t Mp3Rate = 44100, Mp3Bitrate = 128, Mp3Channel = 2;
  int32_t Mp2Rate = 44100, Mp2Bitrate = 128, Mp2Channel = 2;
  // The telephone codecs write only these rates, and headerless files are
  // read back with them: VOX 6000 or 8000, G.72x and GSM 8000.
  int32_t VoxRate = 8000;
  int32_t RawRate = 44100, RawBitDepth = 16, RawChannel = 2, RawCompressFormat = 1;
  int32_t WmaProfile = 24;
  int32_t G726Rate = 8000, G726BitDepth = 5;
  int32_t G723Rate = 8000, G723BitDepth = 5;
  int32_t G721Rate = 8000;
  int32_t UlawRate = 44100, UlawChannel = 2;
  int32_t AlawRate = 44100, AlawChannel = 2;
  int32_t GsmRate = 8000;
  int32_t AdpcmRate = 44100, AdpcmChannel = 2;

  int32_t PlayRecordtBuffer = 500;
  std::wstring TempFolder;
  int32_t UndoRedoLevel = 100;
  bool SmoothEnabled = true;
  int32_t SmoothTime = 50;
  bool AccuEnabled = false;
  int32_t AttackTime = 100, AttackLevel = -45, ReleaseTime = 300, ReleaseLevel = -45;
  bool AGCEnabled = false;
  int32_t AGCLowLevel = -40, AGCHighLevel = -10, AGCAttackTime = 4;
  int32_t VisType = 1;
  bool HighPassEnabled = false;
  int32_t HighPass = 2000;
  bool LowPassEnabled = false;
  int32_t LowPass = 2000;
  bool NotchPassEnabled = false;
  int32_t NotchPass = 2000;
};

extern TGlobalVars GlobalVars;

// Every field to its default; the temp folder is the user's temp folder with
// a trailing backslash (the plain system temp path when the shell cannot
// resolve it), left empty without tempFolder (the shell's answer is slow).
// SettingsDir is kept.
void SetDefaultSettings(TGlobalVars& g, bool tempFolder = true);

// The settings folder of the application data folder (not created here).
std::wstring DefaultSettingsDir();
// GlobalVars.SettingsDir + "sys~.dat".
std::wstring GetSettingsFileName();

// Reads every key with the current values as defaults and brings them into
// their ranges; true when the file existed. Without a file, writes the
// current values and returns false.
bool LoadEditorSettings();
void SaveEditorSettings();
bool LoadEditorSettingsFrom(const std::wstring& fileName, TGlobalVars& g);
void SaveEditorSettingsTo(const std::wstring& fileName, const TGlobalVars& g);
// Brings values into the ranges of their dialogs; values of a list that
// match no entry take the default.
void NormalizeSettings(TGlobalVars& g);

// Single keys of the settings file.
void WriteSettingInteger(const std::wstring& section, const std::wstring& key, int value);
void WriteSettingBool(const std::wstring& section, const std::wstring& key, bool value);
int ReadSettingInteger(const std::wstring& section, const std::wstring& key, int def);
bool ReadSettingBool(const std::wstring& section, const std::wstring& key, bool def);

// Window placement ("x", "y", "height", "width", "maximized"); an empty or
// blank path means the settings file.
void SaveFormPlacement(const std::wstring& section, TCustomForm* form,
                       const std::wstring& iniPath = L"");
void RestoreFormPlacement(const std::wstring& section, TCustomForm* form,
                          const std::wstring& iniPath = L"");
// Smallest window a restored placement gives.
constexpr int kMinPlacementWidth = 320, kMinPlacementHeight = 200;
// The fitting step of RestoreFormPlacement on a screen's plain numbers.
void FitPlacement(int screenW, int screenH, int& x, int& y, int& width, int& height);

// Entries of the output-format lists.
extern const int kPcmRates[10];
extern const int kOggRates[9];
extern const int kOggBitrates[11];
extern const int kMp3Bitrates[14];
extern const int kLawRates[4];

} // namespace editor
