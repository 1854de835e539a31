// Frequency Analysis window: a modeless, stay-on-top spectrum (or waveform)
// of the samples around the play position, fed by the main window.
//
// The main window creates it once at start-up (hidden) with its editor
// control, shows it from its command, and calls FeedFrequencyAnalysis on the
// control's position and play-position events; feeding does nothing while
// the window is closed. Its settings live in [Analysis] and its placement in
// [FreWindow] of the settings file.
#pragma once

#include "audio/AudioEditor2.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace editor {

class TfrmFreAnalysis : public TForm {
public:
  TfrmFreAnalysis(TComponent* AOwner, TAudioEditor2* Editor);
  ~TfrmFreAnalysis() override;

  TAudioVisualization2* AudioVisualization = nullptr;
  TLabel* labFFTSize = nullptr;
  TComboBox* cbFFTSize = nullptr;
  TLabel* labWindowType = nullptr;
  TComboBox* cbWindowType = nullptr;
  TLabel* labViewType = nullptr;
  TComboBox* cbViewType = nullptr;
  TGroupBox* gbCursor = nullptr;
  TLabel* labFreqCaption = nullptr;
  TLabel* labFreq = nullptr;
  TLabel* labValueCaption = nullptr;
  TLabel* labValue = nullptr;

  // True while the window is shown.
  bool AnalysisOpen() const { return FAnalysisOpen; }
  // Hands the samples at the play position to the visualization (only while open).
  void FeedFrequencyAnalysis();
  void ApplyAnalysisSettings();
  void LoadAnalysisSettings();
  void SaveAnalysisSettings();
  // The FFT size of the chosen entry (256, 1024 or 4096).
  int FFTSize() const;
  // How many times the visualization was fed.
  int FeedCount() const { return FFeedCount; }

private:
  void DoShowWindow();
  void DoCloseWindow();
  TAudioEditor2* FEditor;
  HFONT FRulerFont = nullptr;
  bool FAnalysisOpen = false;
  int FFeedCount = 0;
};

} // namespace editor
