#include "recorder/globals.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "recorder/funcs.h"

#include <variant>

namespace recorder {

TGlobalVars GlobalVars;

namespace {

using ByteField = uint8_t TGlobalVars::*;
using BoolField = bool TGlobalVars::*;
using IntField = int32_t TGlobalVars::*;
using StringField = std::wstring TGlobalVars::*;

struct Key {
  const wchar_t* section;
  const wchar_t* name;
  std::variant<ByteField, BoolField, IntField, StringField> field;
};

// Every stored key, in the order the file is written.
const Key kKeys[] = {
    {L"SYSTEM", L"OutputWAVType", &TGlobalVars::OutputWAVType},
    {L"SYSTEM", L"OutputWAVPersets", &TGlobalVars::OutputWAVPersets},
    {L"SYSTEM", L"OutputWAVSampleType", &TGlobalVars::OutputWAVSampleType},
    {L"SYSTEM", L"OutputWAVBitesPerSample", &TGlobalVars::OutputWAVBitesPerSample},
    {L"SYSTEM", L"OutputWAVMode", &TGlobalVars::OutputWAVMode},
    {L"SYSTEM", L"OutputMP3Type", &TGlobalVars::OutputMP3Type},
    {L"SYSTEM", L"OutputMP3Presets", &TGlobalVars::OutputMP3Presets},
    {L"SYSTEM", L"OutputMP3Mode", &TGlobalVars::OutputMP3Mode},
    {L"SYSTEM", L"OutputMP3CBR", &TGlobalVars::OutputMP3CBR},
    {L"SYSTEM", L"OutputMP3CBRBitRate", &TGlobalVars::OutputMP3CBRBitRate},
    {L"SYSTEM", L"OutputMP3VBRBitRateMin", &TGlobalVars::OutputMP3VBRBitRateMin},
    {L"SYSTEM", L"OutputMP3VBRBitRateMax", &TGlobalVars::OutputMP3VBRBitRateMax},
    {L"SYSTEM", L"OutputMP3QualityLevel", &TGlobalVars::OutputMP3QualityLevel},
    {L"SYSTEM", L"OutputMP3QualityLevelValue", &TGlobalVars::OutputMP3QualityLevelValue},
    {L"SYSTEM", L"OutputMP3ABRBitRate", &TGlobalVars::OutputMP3ABRBitRate},
    {L"SYSTEM", L"OutputMP3WriteXING", &TGlobalVars::OutputMP3WriteXING},
    {L"SYSTEM", L"OutputMP3Checksum", &TGlobalVars::OutputMP3Checksum},
    {L"SYSTEM", L"OutputOGGType", &TGlobalVars::OutputOGGType},
    {L"SYSTEM", L"OutputOGGPresets", &TGlobalVars::OutputOGGPresets},
    {L"SYSTEM", L"OutputOGGMode", &TGlobalVars::OutputOGGMode},
    {L"SYSTEM", L"OutputOGGABR", &TGlobalVars::OutputOGGABR},
    {L"SYSTEM", L"OutputOGGABRBitRate", &TGlobalVars::OutputOGGABRBitRate},
    {L"SYSTEM", L"OutputOGGQualityValue", &TGlobalVars::OutputOGGQualityValue},
    {L"SYSTEM", L"OutputWMAPresets", &TGlobalVars::OutputWMAPresets},
    {L"SYSTEM", L"OP_OutputFolder", &TGlobalVars::OP_OutputFolder},
    {L"SYSTEM", L"OP_OutputFormat", &TGlobalVars::OP_OutputFormat},
    {L"SYSTEM", L"OP_AutoMakeName", &TGlobalVars::OP_AutoMakeName},
    {L"SYSTEM", L"OP_SetTop", &TGlobalVars::OP_SetTop},
    {L"SYSTEM", L"OP_ActiveHotKey", &TGlobalVars::OP_ActiveHotKey},
    {L"SYSTEM", L"OP_HotKeyStartRecording", &TGlobalVars::OP_HotKeyStartRecording},
    {L"SYSTEM", L"OP_HotKeyStopRecording", &TGlobalVars::OP_HotKeyStopRecording},
    {L"SYSTEM", L"OP_EnableSchRecording", &TGlobalVars::OP_EnableSchRecording},
    {L"SYSTEM", L"OP_SchDate", &TGlobalVars::OP_SchDate},
    {L"SYSTEM", L"OP_SchDateOnce", &TGlobalVars::OP_SchDateOnce},
    {L"SYSTEM", L"OP_SchDateWeekly", &TGlobalVars::OP_SchDateWeekly},
    {L"SYSTEM", L"OP_SchTimeStartAt", &TGlobalVars::OP_SchTimeStartAt},
    {L"SYSTEM", L"OP_SchTimeStopAt", &TGlobalVars::OP_SchTimeStopAt},
    {L"SYSTEM", L"OP_ShowMixerWindows", &TGlobalVars::OP_ShowMixerWindows},
    {L"SYSTEM", L"OP_ShowBottomPanel", &TGlobalVars::OP_ShowBottomPanel},
    {L"SYSTEM", L"LastOpenDir", &TGlobalVars::LastOpenDir},
    {L"SYSTEM", L"DeleteFromDisk", &TGlobalVars::DeleteFromDisk},
    {L"AGC", L"AGCEnabled", &TGlobalVars::AGCEnabled},
    {L"AGC", L"AGCAttackTime", &TGlobalVars::AGCAttackTime},
    {L"AGC", L"AGCHightLevel", &TGlobalVars::AGCHightLevel},
    {L"AGC", L"AGCLowLevel", &TGlobalVars::AGCLowLevel},
    {L"Accu", L"AccuEnabled", &TGlobalVars::AccuEnabled},
    {L"Accu", L"AccuAttackTime", &TGlobalVars::AccuAttackTime},
    {L"Accu", L"AccuReleaseTime", &TGlobalVars::AccuReleaseTime},
    {L"Accu", L"AccuAttackLevel", &TGlobalVars::AccuAttackLevel},
    {L"Accu", L"AccuReleaseLevel", &TGlobalVars::AccuReleaseLevel},
};

template <class... F> struct Overload : F... { using F::operator()...; };
template <class... F> Overload(F...) -> Overload<F...>;

std::wstring SettingsPath(const wchar_t* fileName) {
  std::wstring appData = AddBackslash(GetShellFolder(L"AppData"));
  std::wstring folder = AddBackslash(appData + AppTitle);
  if (!DirectoryExists(folder) && !ForceDirectories(folder)) return appData + fileName;
  return folder + fileName;
}

int Lookup(const int* table, int size, int index, int fallback) {
  return index >= 0 && index < size ? table[index] : fallback;
}

const int kMp3Rates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};

} // namespace

void SetDefaultSettings(TGlobalVars& g, const std::wstring& musicFolder) {
  g.OutputWAVType = 0;
  g.OutputWAVPersets = 1;
  g.OutputWAVSampleType = 7;
  g.OutputWAVBitesPerSample = 1;
  g.OutputWAVMode = 0;
  g.OutputMP3Type = 0;
  g.OutputMP3Presets = 8;
  g.OutputMP3Mode = 0;
  g.OutputMP3CBR = true;
  g.OutputMP3CBRBitRate = 10;
  g.OutputMP3VBRBitRateMin = 8;
  g.OutputMP3VBRBitRateMax = 12;
  g.OutputMP3QualityLevel = true;
  g.OutputMP3QualityLevelValue = 2;
  g.OutputMP3ABRBitRate = 10;
  g.OutputMP3WriteXING = true;
  g.OutputMP3Checksum = false;
  g.OutputOGGType = 0;
  g.OutputOGGPresets = 4;
  g.OutputOGGMode = 0;
  g.OutputOGGABR = false;
  g.OutputOGGABRBitRate = 4;
  g.OutputOGGQualityValue = 60;
  g.OutputWMAPresets = 5;
  g.OP_OutputFolder = musicFolder;
  g.OP_OutputFormat = ofMP3;
  g.OP_AutoMakeName = true;
  g.OP_SetTop = false;
  g.OP_ActiveHotKey = true;
  g.OP_HotKeyStartRecording = L"F2";
  g.OP_HotKeyStopRecording = L"F3";
  g.OP_EnableSchRecording = false;
  g.OP_SchDate = 0;
  g.OP_SchDateOnce = DateToStr(Date());
  g.OP_SchDateWeekly = 0;
  g.OP_SchTimeStartAt = TimeToStr(Now());
  g.OP_SchTimeStopAt = g.OP_SchTimeStartAt;
  g.OP_ShowMixerWindows = false;
  g.OP_ShowBottomPanel = true;
  g.LastOpenDir = musicFolder;
  g.DeleteFromDisk = true;
  g.AGCEnabled = false;
  g.AGCAttackTime = 4;
  g.AGCHightLevel = -10;
  g.AGCLowLevel = -40;
  g.AccuEnabled = false;
  g.AccuAttackTime = 100;
  g.AccuReleaseTime = 300;
  g.AccuAttackLevel = -45;
  g.AccuReleaseLevel = -45;
}

std::wstring GetSettingsFileName() {
  return SettingsPath(L"sys.dat");
}
std::wstring GetListFileName() {
  return SettingsPath(L"lst.dat");
}

bool LoadSettingsFrom(const std::wstring& fileName, TGlobalVars& g) {
  if (!FileExists(fileName)) {
    SaveSettingsTo(fileName, g);
    return false;
  }
  TIniFile ini(fileName);
  for (const Key& k : kKeys) {
    std::visit(Overload{
                   [&](ByteField f) {
                     g.*f = static_cast<uint8_t>(ini.ReadInteger(k.section, k.name, g.*f));
                   },
                   [&](BoolField f) { g.*f = ini.ReadBool(k.section, k.name, g.*f); },
                   [&](IntField f) { g.*f = ini.ReadInteger(k.section, k.name, g.*f); },
                   [&](StringField f) { g.*f = ini.ReadString(k.section, k.name, g.*f); },
               },
               k.field);
  }
  return true;
}

void SaveSettingsTo(const std::wstring& fileName, const TGlobalVars& g) {
  TIniFile ini(fileName);
  for (const Key& k : kKeys) {
    std::visit(Overload{
                   [&](ByteField f) { ini.WriteInteger(k.section, k.name, g.*f); },
                   [&](BoolField f) { ini.WriteBool(k.section, k.name, g.*f); },
                   [&](IntField f) { ini.WriteInteger(k.section, k.name, g.*f); },
                   [&](StringField f) { ini.WriteString(k.section, k.name, g.*f); },
               },
               k.field);
  }
  ini.UpdateFile();
}

bool LoadSettings() {
  return LoadSettingsFrom(GetSettingsFileName(), GlobalVars);
}
void SaveSettings() {
  SaveSettingsTo(GetSettingsFileName(), GlobalVars);
}

int ChannelsOfMode(int index) {
  return index == 1 ? 1 : 2;
}

int SampleRateOfIndex(int index) {
  static const int t[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 96000};
  return Lookup(t, 10, index, 44100);
}

int BitsOfIndex(int index) {
  static const int t[] = {8, 16, 24, 32};
  return Lookup(t, 4, index, 16);
}

int Mp3BitRateOfIndex(int index) {
  return Lookup(kMp3Rates, 14, index, 192);
}
int Mp3VbrMinOfIndex(int index) {
  return Lookup(kMp3Rates, 13, index, 192);
}
int Mp3VbrMaxOfIndex(int index) {
  return Lookup(kMp3Rates + 1, 13, index, 192);
}
int Mp3ChannelsOfMode(int mode) {
  return mode == 3 ? 1 : 2;
}

int OggBitRateOfIndex(int index) {
  static const int t[] = {64, 96, 128, 160, 192, 256, 350};
  return Lookup(t, 7, index, 192);
}

} // namespace recorder
