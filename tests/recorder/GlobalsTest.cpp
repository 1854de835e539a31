#include <gtest/gtest.h>

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "recorder/funcs.h"
#include "recorder/globals.h"
#include "tests/support/Gui.h"

using namespace recorder;

TEST(RecorderTables, IndexesAndFallbacks) {
  struct Row {
    int (*fn)(int);
    int index, expected;
  } rows[] = {
      {SampleRateOfIndex, 0, 8000},   {SampleRateOfIndex, 7, 44100},  {SampleRateOfIndex, 9, 96000},
      {SampleRateOfIndex, 10, 44100}, {SampleRateOfIndex, -1, 44100}, {BitsOfIndex, 0, 8},
      {BitsOfIndex, 3, 32},           {BitsOfIndex, 4, 16},           {Mp3BitRateOfIndex, 0, 32},
      {Mp3BitRateOfIndex, 13, 320},   {Mp3BitRateOfIndex, 14, 192},   {Mp3VbrMinOfIndex, 12, 256},
      {Mp3VbrMinOfIndex, 13, 192},    {Mp3VbrMaxOfIndex, 0, 40},      {Mp3VbrMaxOfIndex, 12, 320},
      {Mp3VbrMaxOfIndex, 13, 192},    {OggBitRateOfIndex, 6, 350},    {OggBitRateOfIndex, 7, 192},
      {ChannelsOfMode, 1, 1},         {ChannelsOfMode, 0, 2},         {ChannelsOfMode, 5, 2},
      {Mp3ChannelsOfMode, 3, 1},      {Mp3ChannelsOfMode, 1, 2},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.fn(r.index), r.expected) << "index " << r.index;
}

TEST(RecorderFuncs, FormatDuration) {
  struct Row {
    int64_t ms;
    const wchar_t* text;
  } rows[] = {{0, L"0:00:00"},
              {59999, L"0:00:59"},
              {3723000, L"1:02:03"},
              {90000000, L"25:00:00"},
              {5000000000LL, L"1388:53:20"}};
  for (const Row& r : rows)
    EXPECT_EQ(FormatDuration(r.ms), r.text);
}

TEST(RecorderFuncs, AddBackslashAndMegabytes) {
  EXPECT_EQ(AddBackslash(L"C:\\"), L"C:\\");
  EXPECT_EQ(AddBackslash(L"C:\\Music"), L"C:\\Music\\");
  EXPECT_EQ(FormatMegabytes(2, 1e-9, 1.5), L"1.5");
  EXPECT_EQ(FormatMegabytes(2, 1e-9, 2.0 / 3.0), L"0.67");
  EXPECT_EQ(FormatMegabytes(2, 1e-9, 0.005), L"0.01");
}

TEST(RecorderFuncs, ValidFileNames) {
  struct Row {
    const wchar_t* name;
    bool valid;
  } rows[] = {
      {L"take one", true},
      {L"", false},
      {L"a+b", false},
      {L"a\\b", false},
      {L"a/b", false},
      {L"a:b", false},
      {L"a*b", false},
      {L"a?b", false},
      {L"a\"b", false},
      {L"a<b", false},
      {L"a>b", false},
      {L"a|b", false},
      {L"CON", false},
      {L"con.txt", false},
      {L"Nul", false},
      {L"COM1", false},
      {L"lpt9", false},
      {L"COM0", true},
      {L"console", true},
      {L"name.", false},
      {L"name ", false},
      {L"a\tb", false},
      {L"r\u00e9sum\u00e9", true},
  };
  for (const Row& r : rows)
    EXPECT_EQ(IsValidFileName(r.name), r.valid) << std::wstring(r.name).size();
}

TEST(RecorderSettings, RoundTripAndCorruptValues) {
  std::wstring dir = testsupport::MakeTempDir(L"settings");
  std::wstring file = dir + L"\\sys.dat";
  TGlobalVars a;
  SetDefaultSettings(a, L"C:\\Music");
  // No file yet: the defaults are written and false is returned.
  EXPECT_FALSE(LoadSettingsFrom(file, a));
  EXPECT_TRUE(FileExists(file));

  a.OutputMP3Presets = 3;
  a.OutputOGGQualityValue = 77;
  a.OP_OutputFolder = L"D:\\Rec";
  a.OP_HotKeyStartRecording = L"Ctrl+F5";
  a.AGCHightLevel = -3;
  a.AccuEnabled = true;
  a.DeleteFromDisk = false;
  SaveSettingsTo(file, a);

  TGlobalVars b;
  SetDefaultSettings(b, L"C:\\Other");
  EXPECT_TRUE(LoadSettingsFrom(file, b));
  EXPECT_EQ(b.OutputMP3Presets, 3);
  EXPECT_EQ(b.OutputOGGQualityValue, 77);
  EXPECT_EQ(b.OP_OutputFolder, L"D:\\Rec");
  EXPECT_EQ(b.OP_HotKeyStartRecording, L"Ctrl+F5");
  EXPECT_EQ(b.AGCHightLevel, -3);
  EXPECT_TRUE(b.AccuEnabled);
  EXPECT_FALSE(b.DeleteFromDisk);
  EXPECT_TRUE(b.OutputMP3CBR);

  {
    TIniFile ini(file);
    ini.WriteString(L"SYSTEM", L"OP_OutputFormat", L"300");        // byte: low 8 bits
    ini.WriteString(L"SYSTEM", L"OutputOGGQualityValue", L"lots"); // not a number: kept
    ini.WriteString(L"SYSTEM", L"OutputMP3CBR", L"7");             // any non-zero is true
    ini.WriteString(L"AGC", L"AGCEnabled", L"0");
    ini.DeleteKey(L"SYSTEM", L"OutputWMAPresets"); // missing: kept
    ini.UpdateFile();
  }
  TGlobalVars c;
  SetDefaultSettings(c, L"C:\\Music");
  c.OutputOGGQualityValue = 42;
  c.OutputMP3CBR = false;
  c.OutputWMAPresets = 2;
  LoadSettingsFrom(file, c);
  EXPECT_EQ(c.OP_OutputFormat, 44);
  EXPECT_EQ(c.OutputOGGQualityValue, 42);
  EXPECT_TRUE(c.OutputMP3CBR);
  EXPECT_FALSE(c.AGCEnabled);
  EXPECT_EQ(c.OutputWMAPresets, 2);
}

TEST(RecorderSettings, Defaults) {
  TGlobalVars g;
  SetDefaultSettings(g, L"M:\\");
  EXPECT_EQ(g.OutputWAVPersets, 1);
  EXPECT_EQ(g.OutputWAVSampleType, 7);
  EXPECT_EQ(g.OutputMP3Presets, 8);
  EXPECT_EQ(g.OutputMP3VBRBitRateMax, 12);
  EXPECT_EQ(g.OutputOGGPresets, 4);
  EXPECT_EQ(g.OutputWMAPresets, 5);
  EXPECT_EQ(g.OP_HotKeyStartRecording, L"F2");
  EXPECT_EQ(g.OP_HotKeyStopRecording, L"F3");
  EXPECT_EQ(g.AGCAttackTime, 4);
  EXPECT_EQ(g.AccuReleaseTime, 300);
  EXPECT_EQ(g.AccuReleaseLevel, -45);
  EXPECT_TRUE(g.OP_ShowBottomPanel);
  EXPECT_EQ(g.LastOpenDir, L"M:\\");
}

TEST(RecorderFuncs, ShellFolderFallbackAndBusyNesting) {
  EXPECT_EQ(GetShellFolder(L"NoSuchValueAnywhere"), L"C:\\");
  EXPECT_NE(GetShellFolder(L"AppData"), L"C:\\");
  BeginBusy();
  BeginBusy();
  EndBusy();
  EXPECT_EQ(BusyCount(), 1);
  EndBusy();
  EXPECT_EQ(BusyCount(), 0);
  EndBusy();
  EXPECT_EQ(BusyCount(), 0);
}
