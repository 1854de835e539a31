// A recording survives the recording process being killed, and a full disk
// raises a clear error while leaving a valid file of what was written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "audio/AudioError.h"
#include "audio/AudioFile2.h"
#include "audio/AudioRecord2.h"
#include "audio/MediaEncoder.h"
#include "audio/SafeArrays.h"
#include "tests/audio/AudioTestSignals.h"
#include "tests/support/Gui.h"

namespace {

using namespace audiotest;

struct TCrashFile {
  const wchar_t* Name;
  int FileType;
  void (*Apply)(TAudioFile2&);
  bool MustSurvive;
};

const TCrashFile kCrashFiles[] = {
    {L"rec.wav", 1, [](TAudioFile2& f) { f.SetPcmFormat(44100, 2, 16); }, true},
    {L"rec.mp3", 2, [](TAudioFile2& f) { f.SetMp3Cbr(44100, 128, 2); }, true},
    {L"rec.ogg", 6, [](TAudioFile2& f) { f.SetOggFormat(44100, 2, 0, 0, 0, 400); }, true},
    {L"rec.wma", 11, [](TAudioFile2& f) { f.SetWmaProfile(10); }, false},
};

std::wstring EnvDir() {
  wchar_t buf[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"KORVANE_CRASH_DIR", buf, MAX_PATH);
  return n ? std::wstring(buf, n) : std::wstring();
}

// Runs in a child process started by the test below, records until killed.
TEST(CrashChild, DISABLED_RecordUntilKilled) {
  std::wstring dir = EnvDir();
  ASSERT_FALSE(dir.empty());
  std::vector<std::unique_ptr<TAudioFile2>> files;
  for (auto& c : kCrashFiles) {
    files.push_back(std::make_unique<TAudioFile2>());
    c.Apply(*files.back());
    files.back()->NewFile(dir + L"\\" + c.Name, c.FileType);
  }
  TAudioRecord2 rec;
  rec.SetFormat(44100, 2);
  rec.SetBlockSize(rec.MsToSamples(200));
  long long frames = 0;
  rec.OnEndArrayRecord = [&](TAudioRecord2* r, int) {
    SAFEARRAY* a = r->GetRecordArray();
    if (audio::SampleArrayUBound(a) >= 1) {
      for (auto& f : files)
        f->WriteArray(a);
      frames += static_cast<long long>(audio::SampleArrayCount(a) / 2);
    }
    SafeArrayDestroy(a);
    std::wstring tmp = dir + L"\\progress.tmp";
    FILE* p = _wfopen(tmp.c_str(), L"w");
    fprintf(p, "%lld\n", frames);
    fclose(p);
    MoveFileExW(tmp.c_str(), (dir + L"\\progress.txt").c_str(), MOVEFILE_REPLACE_EXISTING);
  };
  rec.StartRecord();
  ASSERT_EQ(rec.Status(), 0);
  testsupport::PumpFor(30000);
}

long long ReadProgress(const std::wstring& dir) {
  std::ifstream in(audio::WideToUtf8(dir + L"\\progress.txt"));
  long long v = 0;
  in >> v;
  return v;
}

TEST(RecordingCrash, FilesDecodeUpToTheKill) {
  std::wstring dir = testsupport::MakeTempDir(L"crash");
  SetEnvironmentVariableW(L"KORVANE_CRASH_DIR", dir.c_str());
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(exe) +
                     L"\" --gtest_also_run_disabled_tests "
                     L"--gtest_filter=CrashChild.DISABLED_RecordUntilKilled";
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  SetEnvironmentVariableW(L"KORVANE_CRASH_DIR", nullptr);
  const long long want = 44100LL * 5 / 2; // 2.5 s recorded
  long long progress = 0;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 20000) {
    progress = ReadProgress(dir);
    if (progress >= want || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(50);
  }
  progress = ReadProgress(dir);
  TerminateProcess(pi.hProcess, 9);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_GE(progress, want);
  for (auto& c : kCrashFiles) {
    std::wstring path = dir + L"\\" + c.Name;
    long long decoded = 0;
    try {
      decoded = static_cast<long long>(DecodeAll(path).Frames());
    } catch (const EAudioError& e) {
      if (c.MustSurvive) ADD_FAILURE() << audio::WideToUtf8(e.Message());
    }
    double seconds = decoded / 44100.0, recorded = progress / 44100.0;
    std::printf("%ls: %.2f s of %.2f s recorded survived the kill\n", c.Name, seconds, recorded);
    RecordProperty(audio::WideToUtf8(c.Name), std::to_string(seconds));
    if (c.MustSurvive) EXPECT_GE(decoded, progress - 44100) << audio::WideToUtf8(c.Name);
  }
}

// ---------------------------------------------------------------------------
// Disk full

struct TDiskFullRow {
  const char* Name;
  int FileType;
  const wchar_t* Ext;
  void (*Apply)(TAudioFile2&);
};

const TDiskFullRow kDiskFullRows[] = {
    {"wav", 1, L".wav", [](TAudioFile2& f) { f.SetPcmFormat(44100, 2, 16); }},
    {"mp3", 2, L".mp3", [](TAudioFile2& f) { f.SetMp3Cbr(44100, 128, 2); }},
    {"ogg", 6, L".ogg", [](TAudioFile2& f) { f.SetOggFormat(44100, 2, 128, 0, 0, -1); }},
    {"wma", 11, L".wma", [](TAudioFile2& f) { f.SetWmaProfile(10); }},
};

void PrintTo(const TDiskFullRow& r, std::ostream* os) {
  *os << r.Name;
}

class DiskFull : public testing::TestWithParam<TDiskFullRow> {
protected:
  void TearDown() override { audio::TFileSink::SetSizeLimitForTesting(-1); }
};

TEST_P(DiskFull, RaisesAndKeepsAValidFile) {
  const TDiskFullRow& row = GetParam();
  std::wstring dir = testsupport::MakeTempDir(L"diskfull-" + audio::Utf8ToWide(row.Name));
  std::wstring path = dir + L"\\full" + row.Ext;
  TAudioFile2 file;
  row.Apply(file);
  file.NewFile(path, row.FileType);
  int block = MulDiv(200, file.SampleRate(), 1000);
  // Room for about one second of the format.
  audio::TFileSink::SetSizeLimitForTesting(row.FileType == 1 ? 44 + 44100 * 4 : 20000);
  std::wstring error;
  size_t written = 0;
  for (int b = 0; b < 50 && error.empty(); ++b) {
    auto tone = Tone(file.SampleRate(), file.Channels(), block, kToneHz, 0.3, written);
    SAFEARRAY* a = audio::CreateSampleArray(tone);
    try {
      file.WriteArray(a);
      written += block;
    } catch (const EAudioError& e) {
      error = e.Message();
    }
    SafeArrayDestroy(a);
  }
  EXPECT_EQ(error, L"Disk is full");
  // Later blocks are dropped quietly; closing finishes what was written.
  SAFEARRAY* a = audio::CreateSampleArray(Tone(file.SampleRate(), file.Channels(), block));
  EXPECT_NO_THROW(file.WriteArray(a));
  SafeArrayDestroy(a);
  audio::TFileSink::SetSizeLimitForTesting(-1);
  EXPECT_NO_THROW(file.CloseFile());
  TDecoded d = DecodeAll(path);
  EXPECT_GT(d.Frames(), 0u);
  EXPECT_NEAR(DominantFrequency(d.Samples, d.Rate, d.Channels), kToneHz, kToneHz * 0.02);
  if (row.FileType == 1) EXPECT_EQ(d.Frames(), written);
}

INSTANTIATE_TEST_SUITE_P(Formats, DiskFull, testing::ValuesIn(kDiskFullRows),
                         [](const testing::TestParamInfo<TDiskFullRow>& i) {
                           return i.param.Name;
                         });

} // namespace
