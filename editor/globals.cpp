#include "editor/globals.h"

#include <algorithm>
#include <cstdlib>

#include "editor/funcs.h"
#include "framework/AppUtils.h"
#include "framework/Forms.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"

namespace editor {

TGlobalVars GlobalVars;

const int kPcmRates[10] = {6000, 8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
const int kOggRates[9] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
const int kOggBitrates[11] = {256, 224, 192, 160, 128, 112, 96, 80, 64, 56, 48};
const int kMp3Bitrates[14] = {320, 256, 224, 192, 160, 128, 112, 96, 80, 64, 56, 48, 40, 32};
const int kLawRates[4] = {8000, 11025, 22050, 44100};

void SetDefaultSettings(TGlobalVars& g, bool tempFolder) {
  std::wstring dir = g.SettingsDir;
  g = TGlobalVars{};
  g.SettingsDir = dir;
  if (!tempFolder) return;
  std::wstring temp;
  try {
    temp = GetTempFolderPath();
  } catch (...) {
    // The shell could not resolve it: the plain system temp path still works.
    wchar_t buf[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH, buf);
    temp = (n > 0 && n <= MAX_PATH) ? std::wstring(buf, n) : std::wstring(L"C:\\");
  }
  g.TempFolder = AddBackslash(temp);
}

std::wstring DefaultSettingsDir() {
  return AddBackslash(AddBackslash(GetShellFolder(L"AppData")) + AppTitle);
}

std::wstring GetSettingsFileName() {
  return GlobalVars.SettingsDir + SettingsFileTitle;
}

namespace {

// One key list for reading and writing: the order of the file.
template <class G, class Int, class Bool, class Str>
void WalkKeys(G& g, Int integer, Bool boolean, Str string) {
  string(L"SYSTEM", L"LastOpenDir", g.LastOpenDir);
  integer(L"SYSTEM", L"MasterWindowLeft", g.MasterWindowLeft);
  integer(L"SYSTEM", L"MasterWindowTop", g.MasterWindowTop);
  integer(L"SYSTEM", L"DeviceOutputVolumeLeft", g.DeviceOutputVolumeLeft);
  integer(L"SYSTEM", L"DeviceOutputVolumeRight", g.DeviceOutputVolumeRight);
  boolean(L"SYSTEM", L"MasterWindowShowing", g.MasterWindowShowing);
  integer(L"PCM", L"Rate", g.PcmRate);
  integer(L"PCM", L"BitDepth", g.PcmBitDepth);
  integer(L"PCM", L"Channel", g.PcmChannel);
  integer(L"OGG", L"Rate", g.OggRate);
  integer(L"OGG", L"AverageBitrate", g.OggAverageBitrate);
  integer(L"OGG", L"MinBitrate", g.OggMinBitrate);
  integer(L"OGG", L"MaxBitrate", g.OggMaxBitrate);
  integer(L"OGG", L"Channel", g.OggChannel);
  integer(L"MP3", L"Rate", g.Mp3Rate);
  integer(L"MP3", L"Bitrate", g.Mp3Bitrate);
  integer(L"MP3", L"Channel", g.Mp3Channel);
  integer(L"MP2", L"Rate", g.Mp2Rate);
  integer(L"MP2", L"Bitrate", g.Mp2Bitrate);
  integer(L"MP2", L"Channel", g.Mp2Channel);
  integer(L"VOX", L"Rate", g.VoxRate);
  integer(L"RAW", L"Rate", g.RawRate);
  integer(L"RAW", L"BitDepth", g.RawBitDepth);
  integer(L"RAW", L"Channel", g.RawChannel);
  integer(L"RAW", L"CompressFormat", g.RawCompressFormat);
  integer(L"WMA", L"Profile", g.WmaProfile);
  integer(L"G726", L"Rate", g.G726Rate);
  integer(L"G726", L"BitDepth", g.G726BitDepth);
  integer(L"G723", L"Rate", g.G723Rate);
  integer(L"G723", L"BitDepth", g.G723BitDepth);
  integer(L"G721", L"Rate", g.G721Rate);
  integer(L"ULAW", L"Rate", g.UlawRate);
  integer(L"ULAW", L"Channel", g.UlawChannel);
  integer(L"ALAW", L"Rate", g.AlawRate);
  integer(L"ALAW", L"Channel", g.AlawChannel);
  integer(L"GSM", L"Rate", g.GsmRate);
  integer(L"ADPCM", L"Rate", g.AdpcmRate);
  integer(L"ADPCM", L"Channel", g.AdpcmChannel);
  string(L"SYSTEM", L"TempFolder", g.TempFolder);
  integer(L"SYSTEM", L"PlayRecordtBuffer", g.PlayRecordtBuffer);
  integer(L"SYSTEM", L"UndoRedoLevel", g.UndoRedoLevel);
  boolean(L"SYSTEM", L"SmoothEnabled", g.SmoothEnabled);
  integer(L"SYSTEM", L"SmoothTime", g.SmoothTime);
  boolean(L"SYSTEM", L"AccuEnabled", g.AccuEnabled);
  integer(L"SYSTEM", L"AttackTime", g.AttackTime);
  integer(L"SYSTEM", L"AttackLevel", g.AttackLevel);
  integer(L"SYSTEM", L"ReleaseTime", g.ReleaseTime);
  integer(L"SYSTEM", L"ReleaseLevel", g.ReleaseLevel);
  boolean(L"SYSTEM", L"AGCEnabled", g.AGCEnabled);
  integer(L"SYSTEM", L"AGCLowLevel", g.AGCLowLevel);
  integer(L"SYSTEM", L"AGCHighLevel", g.AGCHighLevel);
  integer(L"SYSTEM", L"AGCAttackTime", g.AGCAttackTime);
  integer(L"SYSTEM", L"VisType", g.VisType);
  boolean(L"SYSTEM", L"HighPassEnabled", g.HighPassEnabled);
  integer(L"SYSTEM", L"HighPass", g.HighPass);
  boolean(L"SYSTEM", L"LowPassEnabled", g.LowPassEnabled);
  integer(L"SYSTEM", L"LowPass", g.LowPass);
  boolean(L"SYSTEM", L"NotchPassEnabled", g.NotchPassEnabled);
  integer(L"SYSTEM", L"NotchPass", g.NotchPass);
}

template <size_t N> void OneOf(int32_t& v, const int (&list)[N], int32_t def) {
  if (std::find(std::begin(list), std::end(list), v) == std::end(list)) v = def;
}
void OneOf(int32_t& v, std::initializer_list<int> list, int32_t def) {
  if (std::find(list.begin(), list.end(), v) == list.end()) v = def;
}
int NearestOf(int v, std::initializer_list<int> list) {
  int best = *list.begin();
  for (int s : list)
    if (std::abs(s - v) < std::abs(best - v)) best = s;
  return best;
}
void Clamp(int32_t& v, int32_t lo, int32_t hi) {
  v = std::clamp(v, lo, hi);
}

std::wstring IniPathOf(const std::wstring& iniPath) {
  return Trim(iniPath).empty() ? GetSettingsFileName() : iniPath;
}

} // namespace

void NormalizeSettings(TGlobalVars& g) {
  const TGlobalVars d;
  OneOf(g.PcmRate, kPcmRates, d.PcmRate);
  OneOf(g.PcmBitDepth, {8, 16}, d.PcmBitDepth);
  OneOf(g.PcmChannel, {1, 2}, d.PcmChannel);
  OneOf(g.OggRate, kOggRates, d.OggRate);
  OneOf(g.OggAverageBitrate, kOggBitrates, d.OggAverageBitrate);
  OneOf(g.OggMinBitrate, kOggBitrates, d.OggMinBitrate);
  OneOf(g.OggMaxBitrate, kOggBitrates, d.OggMaxBitrate);
  if (!(g.OggMinBitrate <= g.OggAverageBitrate && g.OggAverageBitrate <= g.OggMaxBitrate)) {
    g.OggAverageBitrate = d.OggAverageBitrate;
    g.OggMinBitrate = d.OggMinBitrate;
    g.OggMaxBitrate = d.OggMaxBitrate;
  }
  OneOf(g.OggChannel, {1, 2}, d.OggChannel);
  OneOf(g.Mp3Rate, kPcmRates, d.Mp3Rate);
  OneOf(g.Mp3Bitrate, kMp3Bitrates, d.Mp3Bitrate);
  OneOf(g.Mp3Channel, {1, 2}, d.Mp3Channel);
  // The MP2 encoder writes 16,000 Hz and up: an older stored rate reads as the nearest.
  OneOf(g.Mp2Rate, kPcmRates, d.Mp2Rate);
  g.Mp2Rate = NearestOf(g.Mp2Rate, {16000, 22050, 24000, 32000, 44100, 48000});
  OneOf(g.Mp2Bitrate, kMp3Bitrates, d.Mp2Bitrate);
  OneOf(g.Mp2Channel, {1, 2, 3}, d.Mp2Channel);
  OneOf(g.VoxRate, {6000, 8000}, d.VoxRate);
  OneOf(g.RawRate, kPcmRates, d.RawRate);
  OneOf(g.RawBitDepth, {8, 16}, d.RawBitDepth);
  OneOf(g.RawChannel, {1, 2}, d.RawChannel);
  Clamp(g.RawCompressFormat, 1, 6);
  if (g.RawCompressFormat == 4) { // GSM: 8,000 Hz mono only
    g.RawRate = 8000;
    g.RawChannel = 1;
  }
  Clamp(g.WmaProfile, 1, 51);
  OneOf(g.G726Rate, {8000}, d.G726Rate);
  OneOf(g.G726BitDepth, {2, 3, 4, 5}, d.G726BitDepth);
  OneOf(g.G723Rate, {8000}, d.G723Rate);
  OneOf(g.G723BitDepth, {3, 5}, d.G723BitDepth);
  OneOf(g.G721Rate, {8000}, d.G721Rate);
  OneOf(g.UlawRate, kLawRates, d.UlawRate);
  OneOf(g.UlawChannel, {1, 2}, d.UlawChannel);
  OneOf(g.AlawRate, kLawRates, d.AlawRate);
  OneOf(g.AlawChannel, {1, 2}, d.AlawChannel);
  OneOf(g.GsmRate, {8000}, d.GsmRate);
  OneOf(g.AdpcmRate, kLawRates, d.AdpcmRate);
  OneOf(g.AdpcmChannel, {1, 2}, d.AdpcmChannel);

  Clamp(g.PlayRecordtBuffer, 100, 10000);
  Clamp(g.UndoRedoLevel, 0, 1000);
  Clamp(g.SmoothTime, 0, 500);
  Clamp(g.AttackTime, 10, 5000);
  Clamp(g.AttackLevel, -90, 0);
  Clamp(g.ReleaseTime, 10, 10000);
  Clamp(g.ReleaseLevel, -90, 0);
  Clamp(g.AGCLowLevel, -90, 0);
  Clamp(g.AGCHighLevel, -90, 0);
  Clamp(g.AGCAttackTime, 0, 10000);
  Clamp(g.VisType, 1, 2);
  Clamp(g.HighPass, 0, 22050);
  Clamp(g.LowPass, 0, 22050);
  Clamp(g.NotchPass, 0, 22050);
}

bool LoadEditorSettingsFrom(const std::wstring& fileName, TGlobalVars& g) {
  if (!FileExists(fileName)) {
    SaveEditorSettingsTo(fileName, g);
    return false;
  }
  TIniFile ini(fileName);
  WalkKeys(
      g, [&](const wchar_t* s, const wchar_t* k, int32_t& v) { v = ini.ReadInteger(s, k, v); },
      [&](const wchar_t* s, const wchar_t* k, bool& v) { v = ini.ReadBool(s, k, v); },
      [&](const wchar_t* s, const wchar_t* k, std::wstring& v) { v = ini.ReadString(s, k, v); });
  NormalizeSettings(g);
  return true;
}

void SaveEditorSettingsTo(const std::wstring& fileName, const TGlobalVars& g) {
  TIniFile ini(fileName);
  ini.SetSilentWriteErrors(true);
  WalkKeys(
      g, [&](const wchar_t* s, const wchar_t* k, const int32_t& v) { ini.WriteInteger(s, k, v); },
      [&](const wchar_t* s, const wchar_t* k, const bool& v) { ini.WriteBool(s, k, v); },
      [&](const wchar_t* s, const wchar_t* k, const std::wstring& v) { ini.WriteString(s, k, v); });
  ini.UpdateFile();
}

bool LoadEditorSettings() {
  return LoadEditorSettingsFrom(GetSettingsFileName(), GlobalVars);
}
void SaveEditorSettings() {
  SaveEditorSettingsTo(GetSettingsFileName(), GlobalVars);
}

void WriteSettingInteger(const std::wstring& section, const std::wstring& key, int value) {
  TIniFile ini(GetSettingsFileName());
  ini.SetSilentWriteErrors(true);
  ini.WriteInteger(section, key, value);
}

void WriteSettingBool(const std::wstring& section, const std::wstring& key, bool value) {
  TIniFile ini(GetSettingsFileName());
  ini.SetSilentWriteErrors(true);
  ini.WriteBool(section, key, value);
}

int ReadSettingInteger(const std::wstring& section, const std::wstring& key, int def) {
  TIniFile ini(GetSettingsFileName());
  return ini.ReadInteger(section, key, def);
}

bool ReadSettingBool(const std::wstring& section, const std::wstring& key, bool def) {
  TIniFile ini(GetSettingsFileName());
  return ini.ReadBool(section, key, def);
}

void SaveFormPlacement(const std::wstring& section, TCustomForm* form,
                       const std::wstring& iniPath) {
  TIniFile ini(IniPathOf(iniPath));
  ini.SetSilentWriteErrors(true);
  bool maximized = form->WindowState() == wsMaximized;
  int x = form->Left(), y = form->Top(), w = form->Width(), h = form->Height();
  if (maximized && form->HandleAllocated()) {
    // The normal placement, not the maximized one.
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (GetWindowPlacement(form->Handle(), &wp)) {
      x = wp.rcNormalPosition.left, y = wp.rcNormalPosition.top;
      w = wp.rcNormalPosition.right - x, h = wp.rcNormalPosition.bottom - y;
    }
  }
  ini.WriteInteger(section, L"x", x);
  ini.WriteInteger(section, L"y", y);
  ini.WriteInteger(section, L"height", h);
  ini.WriteInteger(section, L"width", w);
  ini.WriteBool(section, L"maximized", maximized);
}

void FitPlacement(int screenW, int screenH, int& x, int& y, int& width, int& height) {
  RECT work{0, 0, screenW, screenH};
  FitOntoArea(work, x, y, width, height, kMinPlacementWidth, kMinPlacementHeight);
}

void RestoreFormPlacement(const std::wstring& section, TCustomForm* form,
                          const std::wstring& iniPath) {
  TIniFile ini(IniPathOf(iniPath));
  bool maximized = ini.ReadBool(section, L"maximized", false);
  int x = ini.ReadInteger(section, L"x", form->Left());
  int y = ini.ReadInteger(section, L"y", form->Top());
  int h = ini.ReadInteger(section, L"height", form->Height());
  int w = ini.ReadInteger(section, L"width", form->Width());
  // Damaged settings (sizes that overflow, negative ones) must not hide the window.
  FitOntoWorkArea(x, y, w, h, kMinPlacementWidth, kMinPlacementHeight);
  form->SetBounds(x, y, w, h);
  form->SetWindowState(maximized ? wsMaximized : wsNormal);
}

} // namespace editor
