// Frequency Analysis window (feeding, FFT peak of a 1 kHz tone, settings,
// cursor readout) and the Audio Information tag editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "audio/ui/AudioEditor2.h"
#include "editor/Info.h"
#include "editor/freanalysis.h"
#include "editor/globals.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/ModalActor.h"

using namespace editor;

namespace {

constexpr int kRate = 44100;

void LoadTone(TAudioEditor2& ed, double hz) {
  std::vector<float> f(size_t(kRate) * 2);
  for (int i = 0; i < 2 * kRate; ++i)
    f[size_t(i)] = float(0.5 * std::sin(2 * 3.14159265358979323846 * hz * i / kRate));
  ed.Engine().LoadFrames(kRate, 1, f.data(), 2 * kRate);
}

struct SettingsDir {
  std::wstring Saved = editor::GlobalVars.SettingsDir;
  explicit SettingsDir(const std::wstring& name) {
    editor::GlobalVars.SettingsDir = testsupport::MakeTempDir(name) + L"\\";
  }
  ~SettingsDir() { editor::GlobalVars.SettingsDir = Saved; }
};

double PeakHz(TfrmFreAnalysis& w) {
  const auto& db = w.AudioVisualization->Spectrum();
  auto it = std::max_element(db.begin() + 1, db.end());
  return double(it - db.begin()) * kRate / w.FFTSize();
}

} // namespace

TEST(FrequencyAnalysis, ToneOf1kHzPeaksAt1kHz) {
  SettingsDir dir(L"analysis_fft");
  TAudioEditor2 ed(nullptr);
  LoadTone(ed, 1000.0);
  ed.Position()->SetCursor(kRate / 2);
  TfrmFreAnalysis w(nullptr, &ed);
  EXPECT_EQ(w.Caption(), L"Frequency Analysis");
  EXPECT_EQ(w.FormStyle(), fsStayOnTop);
  w.FeedFrequencyAnalysis();
  EXPECT_EQ(w.FeedCount(), 0); // closed: nothing is fed
  w.Show();
  EXPECT_TRUE(w.AnalysisOpen());
  EXPECT_GT(w.FeedCount(), 0);
  EXPECT_EQ(w.cbViewType->ItemIndex(), 3);
  EXPECT_EQ(w.FFTSize(), 1024);
  EXPECT_NEAR(PeakHz(w), 1000.0, kRate / 1024.0);
  for (int i : {0, 2}) {
    w.cbFFTSize->SetItemIndex(i);
    w.ApplyAnalysisSettings();
    EXPECT_NEAR(PeakHz(w), 1000.0, double(kRate) / w.FFTSize()) << w.FFTSize();
  }
  w.cbWindowType->SetItemIndex(3);
  w.ApplyAnalysisSettings();
  EXPECT_NEAR(PeakHz(w), 1000.0, double(kRate) / w.FFTSize());
  testsupport::PumpFor(200);
  EXPECT_TRUE(testsupport::SaveWindowPng(w.Handle(), L"editor_frequency_analysis.png"));
  w.Close();
  EXPECT_FALSE(w.AnalysisOpen());
  int fed = w.FeedCount();
  w.FeedFrequencyAnalysis();
  EXPECT_EQ(w.FeedCount(), fed);
}

TEST(FrequencyAnalysis, SettingsAreReadAtShowAndWrittenAtClose) {
  SettingsDir dir(L"analysis_ini");
  {
    TIniFile ini(editor::GetSettingsFileName());
    ini.WriteInteger(L"Analysis", L"FFTSize", 512);
    ini.WriteInteger(L"Analysis", L"WindowsType", 2);
    ini.WriteInteger(L"Analysis", L"ViewType", 0);
  }
  TAudioEditor2 ed(nullptr);
  TfrmFreAnalysis w(nullptr, &ed);
  w.Show();
  EXPECT_EQ(w.cbFFTSize->Text(), L"1024");
  EXPECT_EQ(w.cbWindowType->Text(), L"Barlett");
  EXPECT_EQ(w.cbViewType->Text(), L"Analog");
  EXPECT_EQ(w.AudioVisualization->VisType(), 0);
  w.AudioVisualization->OnMouseMove(w.AudioVisualization, 5, 5, 120, -33);
  EXPECT_EQ(w.labFreq->Caption(), L"120 smpl");
  EXPECT_EQ(w.labValue->Caption(), L"-33 dB");
  w.cbViewType->SetItemIndex(2);
  w.ApplyAnalysisSettings();
  w.AudioVisualization->OnMouseMove(w.AudioVisualization, 5, 5, 440, -12);
  EXPECT_EQ(w.labFreq->Caption(), L"440 Hz");
  w.Close();
  EXPECT_EQ(w.labFreq->Caption(), L"0 Hz");
  EXPECT_EQ(w.labValue->Caption(), L"0 dB");
  TIniFile ini(editor::GetSettingsFileName());
  EXPECT_EQ(ini.ReadInteger(L"Analysis", L"FFTSize", 0), 1024);
  EXPECT_EQ(ini.ReadInteger(L"Analysis", L"WindowsType", 0), 2);
  EXPECT_EQ(ini.ReadInteger(L"Analysis", L"ViewType", 0), 2);
  EXPECT_TRUE(ini.ValueExists(L"FreWindow", L"width"));
}

TEST(AudioInformation, LoadsTheTagsAndWritesThemOnOk) {
  TAudioEditor2 ed(nullptr);
  LoadTone(ed, 440.0);
  auto info = ed.FileInfo();
  info->SetTitle(L"Old title");
  info->SetYear(1999);
  info->SetTrack(3);
  info->SetGenre(17);
  TfrmInfo w(nullptr, &ed);
  EXPECT_EQ(w.infoGenre->Items()->Count(), 142);
  w.Prepare(L"C:\\music\\song.wav");
  EXPECT_EQ(w.Caption(), L"Audio Infomation - song.wav");
  EXPECT_EQ(w.infoTitle->Text(), L"Old title");
  EXPECT_EQ(w.infoYear->Text(), L"1999");
  EXPECT_EQ(w.infoTrack->Text(), L"3");
  EXPECT_EQ(w.infoGenre->ItemIndex(), 17);
  EXPECT_EQ(w.rgTagVersion->ItemIndex(), 1);
  w.infoTitle->SetText(L"New title");
  w.infoArtist->SetText(L"Someone");
  w.infoYear->SetText(L"2024");
  w.infoTrack->SetText(L"12");
  w.infoURL->SetText(L"http://example.invalid/");
  w.infoGenre->SetItemIndex(2);
  EXPECT_TRUE(w.ApplyTags());
  EXPECT_EQ(w.ModalResult(), mrOk);
  EXPECT_EQ(info->Title(), L"New title");
  EXPECT_EQ(info->Artist(), L"Someone");
  EXPECT_EQ(info->Year(), 2024);
  EXPECT_EQ(info->Track(), 12);
  EXPECT_EQ(info->Url(), L"http://example.invalid/");
  EXPECT_EQ(info->Genre(), 2);
  // Reset reads the tags back.
  w.infoTitle->SetText(L"typed");
  w.btnReset->Click();
  EXPECT_EQ(w.infoTitle->Text(), L"New title");
}

TEST(AudioInformation, InvalidYearOrTrackWritesNothing) {
  TAudioEditor2 ed(nullptr);
  LoadTone(ed, 440.0);
  auto info = ed.FileInfo();
  info->SetTitle(L"Kept");
  info->SetYear(1999);
  TfrmInfo w(nullptr, &ed);
  w.Prepare(L"song.wav");
  w.Show();
  struct Bad {
    const wchar_t* Year;
    const wchar_t* Track;
    const wchar_t* Message;
  };
  for (Bad b : {Bad{L"19x9", L"1", L"Invalid year value: \"19x9\""},
                Bad{L"", L"1", L"Invalid year value: \"\""},
                Bad{L"2000", L"abc", L"Invalid track value: \"abc\""},
                Bad{L"2000", L"70000", L"Invalid track value: \"70000\""}}) {
    w.infoTitle->SetText(L"Changed");
    w.infoYear->SetText(b.Year);
    w.infoTrack->SetText(b.Track);
    w.SetModalResult(mrNone);
    testsupport::ModalActor answer(L"Error", IDOK);
    EXPECT_FALSE(w.ApplyTags());
    EXPECT_TRUE(answer.Acted());
    EXPECT_NE(answer.SeenText().find(b.Message), std::wstring::npos)
        << WideToUtf8(answer.SeenText());
    EXPECT_EQ(w.ModalResult(), mrNone);
    EXPECT_EQ(info->Title(), L"Kept");
    EXPECT_EQ(info->Year(), 1999);
  }
}
