// The recorder's settings record, its settings file and the lookup tables
// of the output formats.
#pragma once
#include <cstdint>
#include <string>

namespace recorder {

// Application title: captions message boxes and names the settings folder.
inline const wchar_t* const AppTitle = L"Virelle Audio Recorder";

struct TGlobalVars {
  std::wstring LastOpenDir;
  std::wstring HomePageUrl;
  std::wstring UpdatesPageUrl;
  std::wstring VistaHelpUrl;
  std::wstring SkinDir;
  int32_t TallFormHeight = 0;
  int32_t CompactFormHeight = 0;
  std::wstring RecordingFileName;

  // Section "SYSTEM".
  uint8_t OutputWAVType = 0;
  uint8_t OutputWAVPersets = 0;
  uint8_t OutputWAVSampleType = 0;
  uint8_t OutputWAVBitesPerSample = 0;
  uint8_t OutputWAVMode = 0;
  uint8_t OutputMP3Type = 0;
  uint8_t OutputMP3Presets = 0;
  uint8_t OutputMP3Mode = 0;
  bool OutputMP3CBR = false;
  uint8_t OutputMP3CBRBitRate = 0;
  uint8_t OutputMP3VBRBitRateMin = 0;
  uint8_t OutputMP3VBRBitRateMax = 0;
  bool OutputMP3QualityLevel = false;
  int32_t OutputMP3QualityLevelValue = 0;
  uint8_t OutputMP3ABRBitRate = 0;
  bool OutputMP3WriteXING = false;
  bool OutputMP3Checksum = false;
  uint8_t OutputOGGType = 0;
  uint8_t OutputOGGPresets = 0;
  uint8_t OutputOGGMode = 0;
  bool OutputOGGABR = false;
  uint8_t OutputOGGABRBitRate = 0;
  int32_t OutputOGGQualityValue = 0;
  uint8_t OutputWMAPresets = 0;
  std::wstring OP_OutputFolder;
  uint8_t OP_OutputFormat = 0;
  bool OP_AutoMakeName = false;
  bool OP_SetTop = false;
  bool OP_ActiveHotKey = false;
  std::wstring OP_HotKeyStartRecording;
  std::wstring OP_HotKeyStopRecording;
  bool OP_EnableSchRecording = false;
  uint8_t OP_SchDate = 0;
  std::wstring OP_SchDateOnce;
  int32_t OP_SchDateWeekly = 0;
  std::wstring OP_SchTimeStartAt;
  std::wstring OP_SchTimeStopAt;

  // Section "AGC".
  bool AGCEnabled = false;
  int32_t AGCAttackTime = 0;
  int32_t AGCHightLevel = 0;
  int32_t AGCLowLevel = 0;

  // Section "Accu".
  bool AccuEnabled = false;
  int32_t AccuAttackTime = 0;
  int32_t AccuReleaseTime = 0;
  int32_t AccuAttackLevel = 0;
  int32_t AccuReleaseLevel = 0;

  bool OP_ShowMixerWindows = false;
  bool OP_ShowBottomPanel = false;
  bool DeleteFromDisk = false;
};

extern TGlobalVars GlobalVars;

// Output formats of "OP_OutputFormat".
enum : uint8_t { ofMP3 = 0, ofOGG = 1, ofWMA = 2, ofWAV = 3 };

// Sets every stored setting to its default; the two folders take `musicFolder`.
void SetDefaultSettings(TGlobalVars& g, const std::wstring& musicFolder);

std::wstring GetSettingsFileName();
std::wstring GetListFileName();

// Reads every key from the settings file with the current values as
// defaults; true when the file existed. Without a file, writes the current
// values and returns false.
bool LoadSettings();
// Writes every key of "SYSTEM", "AGC" and "Accu". Raises when the file
// cannot be written.
void SaveSettings();
// The same on an explicit file and record (used by the two above and tests).
bool LoadSettingsFrom(const std::wstring& fileName, TGlobalVars& g);
void SaveSettingsTo(const std::wstring& fileName, const TGlobalVars& g);

// Lookup tables; an index outside a table gives its fallback.
int ChannelsOfMode(int index);
int SampleRateOfIndex(int index);
int BitsOfIndex(int index);
int Mp3BitRateOfIndex(int index);
int Mp3VbrMinOfIndex(int index);
int Mp3VbrMaxOfIndex(int index);
int Mp3ChannelsOfMode(int mode);
int OggBitRateOfIndex(int index);

} // namespace recorder
