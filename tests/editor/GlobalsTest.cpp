// The editor's settings file: every key with its default, round trip,
// corrupt values, single keys, placement fitting and the time routines.
#include <gtest/gtest.h>

#include "editor/funcs.h"
#include "editor/globals.h"
#include "framework/AppUtils.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

using namespace editor;

namespace {

std::wstring Ini(const std::wstring& name) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-settings");
  return dir + L"\\" + name;
}

struct KeyDefault {
  const wchar_t* section;
  const wchar_t* key;
  int value;
};

const KeyDefault kIntegers[] = {
    {L"SYSTEM", L"MasterWindowLeft", 0},
    {L"SYSTEM", L"MasterWindowTop", 0},
    {L"SYSTEM", L"DeviceOutputVolumeLeft", 32767},
    {L"SYSTEM", L"DeviceOutputVolumeRight", 32767},
    {L"SYSTEM", L"MasterWindowShowing", 1},
    {L"PCM", L"Rate", 44100},
    {L"PCM", L"BitDepth", 16},
    {L"PCM", L"Channel", 2},
    {L"OGG", L"Rate", 44100},
    {L"OGG", L"AverageBitrate", 192},
    {L"OGG", L"MinBitrate", 128},
    {L"OGG", L"MaxBitrate", 256},
    {L"OGG", L"Channel", 2},
    {L"MP3", L"Rate", 44100},
    {L"MP3", L"Bitrate", 128},
    {L"MP3", L"Channel", 2},
    {L"MP2", L"Rate", 44100},
    {L"MP2", L"Bitrate", 128},
    {L"MP2", L"Channel", 2},
    {L"VOX", L"Rate", 8000},
    {L"RAW", L"Rate", 44100},
    {L"RAW", L"BitDepth", 16},
    {L"RAW", L"Channel", 2},
    {L"RAW", L"CompressFormat", 1},
    {L"WMA", L"Profile", 24},
    {L"G726", L"Rate", 8000},
    {L"G726", L"BitDepth", 5},
    {L"G723", L"Rate", 8000},
    {L"G723", L"BitDepth", 5},
    {L"G721", L"Rate", 8000},
    {L"ULAW", L"Rate", 44100},
    {L"ULAW", L"Channel", 2},
    {L"ALAW", L"Rate", 44100},
    {L"ALAW", L"Channel", 2},
    {L"GSM", L"Rate", 8000},
    {L"ADPCM", L"Rate", 44100},
    {L"ADPCM", L"Channel", 2},
    {L"SYSTEM", L"PlayRecordtBuffer", 500},
    {L"SYSTEM", L"UndoRedoLevel", 100},
    {L"SYSTEM", L"SmoothEnabled", 1},
    {L"SYSTEM", L"SmoothTime", 50},
    {L"SYSTEM", L"AccuEnabled", 0},
    {L"SYSTEM", L"AttackTime", 100},
    {L"SYSTEM", L"AttackLevel", -45},
    {L"SYSTEM", L"ReleaseTime", 300},
    {L"SYSTEM", L"ReleaseLevel", -45},
    {L"SYSTEM", L"AGCEnabled", 0},
    {L"SYSTEM", L"AGCLowLevel", -40},
    {L"SYSTEM", L"AGCHighLevel", -10},
    {L"SYSTEM", L"AGCAttackTime", 4},
    {L"SYSTEM", L"VisType", 1},
    {L"SYSTEM", L"HighPassEnabled", 0},
    {L"SYSTEM", L"HighPass", 2000},
    {L"SYSTEM", L"LowPassEnabled", 0},
    {L"SYSTEM", L"LowPass", 2000},
    {L"SYSTEM", L"NotchPassEnabled", 0},
    {L"SYSTEM", L"NotchPass", 2000},
};

} // namespace

TEST(EditorGlobals, MissingFileIsWrittenWithEveryDefault) {
  std::wstring file = Ini(L"sys~.dat");
  TGlobalVars g;
  SetDefaultSettings(g);
  EXPECT_FALSE(LoadEditorSettingsFrom(file, g));
  ASSERT_TRUE(FileExists(file));
  TIniFile ini(file);
  for (const auto& k : kIntegers) {
    ASSERT_TRUE(ini.ValueExists(k.section, k.key)) << k.section << L"/" << k.key;
    EXPECT_EQ(ini.ReadInteger(k.section, k.key, -12345), k.value) << k.section << L"/" << k.key;
  }
  EXPECT_TRUE(ini.ValueExists(L"SYSTEM", L"LastOpenDir"));
  EXPECT_EQ(ini.ReadString(L"SYSTEM", L"TempFolder", L""), g.TempFolder);
  EXPECT_FALSE(g.TempFolder.empty());
  EXPECT_EQ(g.TempFolder.back(), L'\\');
}

TEST(EditorGlobals, RoundTripKeepsEveryValue) {
  std::wstring file = Ini(L"sys~.dat");
  TGlobalVars a;
  SetDefaultSettings(a);
  a.LastOpenDir = L"C:\\music\\";
  a.MasterWindowLeft = 12, a.MasterWindowTop = 34, a.MasterWindowShowing = false;
  a.DeviceOutputVolumeLeft = 100, a.DeviceOutputVolumeRight = 200;
  a.PcmRate = 8000, a.PcmBitDepth = 8, a.PcmChannel = 1;
  a.OggRate = 22050, a.OggAverageBitrate = 96, a.OggMinBitrate = 64, a.OggMaxBitrate = 160,
  a.OggChannel = 1;
  a.Mp3Rate = 32000, a.Mp3Bitrate = 320, a.Mp3Channel = 1;
  a.Mp2Rate = 48000, a.Mp2Bitrate = 64, a.Mp2Channel = 3;
  a.VoxRate = 6000;
  a.RawRate = 16000, a.RawBitDepth = 8, a.RawChannel = 1, a.RawCompressFormat = 6;
  a.WmaProfile = 51;
  a.G726Rate = 8000, a.G726BitDepth = 2, a.G723Rate = 8000, a.G723BitDepth = 3, a.G721Rate = 8000;
  a.UlawRate = 8000, a.UlawChannel = 1, a.AlawRate = 11025, a.AlawChannel = 1, a.GsmRate = 8000;
  a.AdpcmRate = 8000, a.AdpcmChannel = 1;
  a.PlayRecordtBuffer = 1000, a.TempFolder = L"D:\\tmp\\", a.UndoRedoLevel = 5;
  a.SmoothEnabled = false, a.SmoothTime = 20, a.AccuEnabled = true;
  a.AttackTime = 50, a.AttackLevel = -30, a.ReleaseTime = 400, a.ReleaseLevel = -20;
  a.AGCEnabled = true, a.AGCLowLevel = -50, a.AGCHighLevel = -5, a.AGCAttackTime = 9, a.VisType = 2;
  a.HighPassEnabled = true, a.HighPass = 300, a.LowPassEnabled = true, a.LowPass = 5000;
  a.NotchPassEnabled = true, a.NotchPass = 50;
  SaveEditorSettingsTo(file, a);
  TGlobalVars b;
  SetDefaultSettings(b);
  ASSERT_TRUE(LoadEditorSettingsFrom(file, b));
  b.SettingsDir = a.SettingsDir;
  SaveEditorSettingsTo(file + L".2", b);
  // Same text both ways: every field went out and came back.
  TStringList x, y;
  x.LoadFromFile(file);
  y.LoadFromFile(file + L".2");
  EXPECT_EQ(x.Text(), y.Text());
  EXPECT_EQ(b.LastOpenDir, L"C:\\music\\");
  EXPECT_EQ(b.Mp2Channel, 3);
  EXPECT_EQ(b.WmaProfile, 51);
  EXPECT_EQ(b.TempFolder, L"D:\\tmp\\");
  EXPECT_TRUE(b.AccuEnabled);
  EXPECT_FALSE(b.SmoothEnabled);
  EXPECT_EQ(b.NotchPass, 50);
}

TEST(EditorGlobals, MissingSectionKeepsDefaults) {
  std::wstring file = Ini(L"sys~.dat");
  {
    TStringList l;
    l.Add(L"[PCM]");
    l.Add(L"Rate=8000");
    l.SaveToFile(file);
  }
  TGlobalVars g;
  SetDefaultSettings(g);
  ASSERT_TRUE(LoadEditorSettingsFrom(file, g));
  EXPECT_EQ(g.PcmRate, 8000);
  EXPECT_EQ(g.RawRate, 44100);
  EXPECT_EQ(g.RawBitDepth, 16);
  EXPECT_EQ(g.RawChannel, 2);
  EXPECT_EQ(g.RawCompressFormat, 1);
}

TEST(EditorGlobals, RatesTheEncoderCannotWriteReadAsTheNearest) {
  struct Case {
    int mp2Rate, expectMp2;
    int rawFormat, rawRate, rawChannel, expectRawRate, expectRawChannel;
  };
  // MP2 is written from 16,000 Hz up; RAW GSM at 8,000 Hz mono only.
  for (const Case& c :
       {Case{8000, 16000, 4, 44100, 2, 8000, 1}, Case{6000, 16000, 1, 22050, 1, 22050, 1},
        Case{12000, 16000, 2, 11025, 2, 11025, 2}, Case{32000, 32000, 4, 8000, 1, 8000, 1}}) {
    std::wstring file = Ini(L"sys~.dat");
    {
      TStringList l;
      l.Add(L"[MP2]");
      l.Add(L"Rate=" + IntToStr(c.mp2Rate));
      l.Add(L"[RAW]");
      l.Add(L"CompressFormat=" + IntToStr(c.rawFormat));
      l.Add(L"Rate=" + IntToStr(c.rawRate));
      l.Add(L"Channel=" + IntToStr(c.rawChannel));
      l.SaveToFile(file);
    }
    TGlobalVars g;
    SetDefaultSettings(g);
    ASSERT_TRUE(LoadEditorSettingsFrom(file, g));
    EXPECT_EQ(g.Mp2Rate, c.expectMp2) << c.mp2Rate;
    EXPECT_EQ(g.RawCompressFormat, c.rawFormat);
    EXPECT_EQ(g.RawRate, c.expectRawRate) << c.rawFormat;
    EXPECT_EQ(g.RawChannel, c.expectRawChannel) << c.rawFormat;
  }
}

TEST(EditorGlobals, CorruptValuesComeBackInRange) {
  std::wstring file = Ini(L"sys~.dat");
  {
    TStringList l;
    for (const wchar_t* line : {L"[SYSTEM]",
                                L"PlayRecordtBuffer=99999",
                                L"UndoRedoLevel=-7",
                                L"SmoothTime=abc",
                                L"AttackLevel=-500",
                                L"VisType=9",
                                L"HighPass=100000",
                                L"AGCAttackTime=-1",
                                L"SmoothEnabled=7",
                                L"[MP3]",
                                L"Bitrate=100",
                                L"Rate=12345",
                                L"Channel=0",
                                L"[WMA]",
                                L"Profile=0",
                                L"[RAW]",
                                L"CompressFormat=77",
                                L"[OGG]",
                                L"MinBitrate=256",
                                L"MaxBitrate=48",
                                L"[MP2]",
                                L"Channel=3",
                                L"[VOX]",
                                L"Rate=44100",
                                L"[G726]",
                                L"Rate=44100",
                                L"[GSM]",
                                L"Rate=22050"})
      l.Add(line);
    l.SaveToFile(file);
  }
  TGlobalVars g;
  SetDefaultSettings(g);
  ASSERT_TRUE(LoadEditorSettingsFrom(file, g));
  EXPECT_EQ(g.PlayRecordtBuffer, 10000);
  EXPECT_EQ(g.UndoRedoLevel, 0);
  EXPECT_EQ(g.SmoothTime, 50);
  EXPECT_EQ(g.AttackLevel, -90);
  EXPECT_EQ(g.VisType, 2);
  EXPECT_EQ(g.HighPass, 22050);
  EXPECT_EQ(g.AGCAttackTime, 0);
  EXPECT_TRUE(g.SmoothEnabled);
  EXPECT_EQ(g.Mp3Bitrate, 128);
  EXPECT_EQ(g.Mp3Rate, 44100);
  EXPECT_EQ(g.Mp3Channel, 2);
  EXPECT_EQ(g.WmaProfile, 1);
  EXPECT_EQ(g.RawCompressFormat, 6);
  EXPECT_EQ(g.OggMinBitrate, 128);
  EXPECT_EQ(g.OggAverageBitrate, 192);
  EXPECT_EQ(g.OggMaxBitrate, 256);
  EXPECT_EQ(g.Mp2Channel, 3);
  // Rates the telephone codecs cannot write (older files stored 44100).
  EXPECT_EQ(g.VoxRate, 8000);
  EXPECT_EQ(g.G726Rate, 8000);
  EXPECT_EQ(g.GsmRate, 8000);
}

TEST(EditorGlobals, SingleKeysGoToTheSettingsFile) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-single");
  GlobalVars.SettingsDir = AddBackslash(dir);
  WriteSettingInteger(L"Horizontal", L"Format", 2);
  WriteSettingBool(L"Vertical", L"Visible", false);
  EXPECT_EQ(ReadSettingInteger(L"Horizontal", L"Format", 1), 2);
  EXPECT_FALSE(ReadSettingBool(L"Vertical", L"Visible", true));
  EXPECT_TRUE(ReadSettingBool(L"WaveMode", L"Missing", true));
  TIniFile ini(dir + L"\\sys~.dat");
  EXPECT_EQ(ini.ReadString(L"Vertical", L"Visible", L""), L"0");
}

TEST(EditorGlobals, PlacementIsFittedToTheScreen) {
  int x = 100, y = 50, w = 3000, h = 500;
  FitPlacement(1024, 768, x, y, w, h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 50);
  x = 900, y = 700, w = 400, h = 300;
  FitPlacement(1024, 768, x, y, w, h);
  EXPECT_EQ(x, 624);
  EXPECT_EQ(y, 468);
  x = -20, y = -5, w = 100, h = 100;
  FitPlacement(1024, 768, x, y, w, h);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST(EditorGlobals, DamagedPlacementsComeOntoTheScreenWithAUsableSize) {
  const int big = 0x7FFFFFFF, small = -0x7FFFFFFF - 1;
  struct Case {
    const char* name;
    int x, y, w, h;
  } cases[] = {
      {"x + width overflows", big - 10, 100, 800, 600},
      {"y + height overflows", 100, big - 5, 800, 600},
      {"huge sizes", 0, 0, big, big},
      {"negative sizes", 100, 100, -500, -1},
      {"zero sizes", 100, 100, 0, 0},
      {"far left and up", small, small, 800, 600},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int x = c.x, y = c.y, w = c.w, h = c.h;
    FitPlacement(1024, 768, x, y, w, h);
    EXPECT_GE(w, kMinPlacementWidth);
    EXPECT_GE(h, kMinPlacementHeight);
    EXPECT_GE(x, 0);
    EXPECT_GE(y, 0);
    EXPECT_LE(int64_t(x) + w, 1024);
    EXPECT_LE(int64_t(y) + h, 768);
    // On the real work area of the nearest monitor.
    x = c.x, y = c.y, w = c.w, h = c.h;
    FitOntoWorkArea(x, y, w, h, kMinPlacementWidth, kMinPlacementHeight);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(x, work.left);
    EXPECT_GE(y, work.top);
    EXPECT_LE(int64_t(x) + w, work.right);
    EXPECT_LE(int64_t(y) + h, work.bottom);
    EXPECT_GE(w, std::min<int>(kMinPlacementWidth, work.right - work.left));
  }
}

TEST(EditorFuncs, TimeTexts) {
  EXPECT_EQ(FormatMilliseconds(0), L"00:00:00.000");
  EXPECT_EQ(FormatMilliseconds(59999), L"00:00:59.999");
  EXPECT_EQ(FormatMilliseconds(3600000), L"01:00:00.000");
  EXPECT_EQ(FormatMilliseconds(3723004), L"01:02:03.004");
  EXPECT_EQ(FormatMilliseconds(int64_t(123) * 3600000 + 5), L"123:00:00.005");
  EXPECT_EQ(TimeToMilliseconds(1, 0, 0, 5), 3600005);
  // Wide arithmetic: 700 hours do not wrap around.
  EXPECT_EQ(TimeToMilliseconds(700, 0, 0, 0), int64_t(700) * 3600000);
  int h, m, s, z;
  DecodeMilliseconds(3723004, h, m, s, z);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(m, 2);
  EXPECT_EQ(s, 3);
  EXPECT_EQ(z, 4);
}

TEST(EditorFuncs, SplitString) {
  auto a = SplitString(L"1:2:3", L":");
  ASSERT_EQ(a->Count(), 3);
  EXPECT_EQ((*a)[0], L"1");
  EXPECT_EQ((*a)[2], L"3");
  auto b = SplitString(L"12.", L".");
  ASSERT_EQ(b->Count(), 2);
  EXPECT_EQ((*b)[0], L"12");
  EXPECT_EQ((*b)[1], L"");
  auto c = SplitString(L"", L":");
  ASSERT_EQ(c->Count(), 1);
  EXPECT_EQ((*c)[0], L"");
}

TEST(EditorFuncs, TempFolderAndFreeSpace) {
  std::wstring t = GetTempFolderPath();
  EXPECT_TRUE(DirectoryExists(t)) << t;
  std::wstring f = GetFreeSpaceText(AddBackslash(t));
  EXPECT_NE(f, L"Error!");
  EXPECT_NE(f.find(L" MB"), std::wstring::npos);
  // Without a trailing backslash and deep inside: still the volume's space.
  EXPECT_NE(GetFreeSpaceText(t), L"Error!");
  EXPECT_EQ(GetFreeSpaceText(L""), L"Error!");
  EXPECT_EQ(GetFreeSpaceText(L"Q:\\no\\such\\folder\\"), L"Error!");
}
