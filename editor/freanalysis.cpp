#include "editor/freanalysis.h"

#include <oleauto.h>

#include <vector>

#include "editor/globals.h"
#include "framework/FormBuilder.h"
#include "framework/SysUtils.h"

namespace editor {

namespace {

const int kFFTSizes[3] = {256, 1024, 4096};

} // namespace

TfrmFreAnalysis::TfrmFreAnalysis(TComponent* AOwner, TAudioEditor2* Editor)
    : TForm(AOwner), FEditor(Editor) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetFormStyle(fsStayOnTop);
  SetPosition(poDesigned);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  SetCaption(L"Frequency Analysis");
  SetClientSize(368, 290);

  const auto list = [this](std::initializer_list<const wchar_t*> items, int index) {
    std::vector<std::wstring> texts(items.begin(), items.end());
    return [this, texts, index](TComboBox& c) {
      c.SetStyle(csDropDownList);
      for (const auto& s : texts)
        c.Items()->Add(s);
      c.SetItemIndex(index);
      c.OnClick = [this](TObject*) { ApplyAnalysisSettings(); };
    };
  };
  BuildComponents(
      this, {
                {AudioVisualization,
                 {L"AudioVisualization", this, {8, 8, 352, 177}},
                 [this](TAudioVisualization2& v) {
                   HDC dc = GetDC(nullptr);
                   int height = -MulDiv(7, GetDeviceCaps(dc, LOGPIXELSY), 72);
                   ReleaseDC(nullptr, dc);
                   FRulerFont = CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                            DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
                   v.SetRulerFont(FRulerFont);
                 }},
                {labFFTSize, {L"", this, {8, 198, 0, 13}, L"FFT Size: ", true}},
                {cbFFTSize,
                 {L"cbFFTSize", this, {80, 194, 110, 21}},
                 list({L"256", L"1024", L"4096"}, 1)},
                {labWindowType, {L"", this, {8, 228, 0, 13}, L"Window: ", true}},
                {cbWindowType,
                 {L"cbWindowType", this, {80, 224, 110, 21}},
                 list({L"None", L"Welch", L"Barlett", L"Hanning", L"Hamming"}, 0)},
                {labViewType, {L"", this, {8, 258, 0, 13}, L"View Type: ", true}},
                {cbViewType,
                 {L"cbViewType", this, {80, 254, 110, 21}},
                 list({L"Analog", L"Linear", L"Normal", L"Fire", L"Glass", L"Kryptonite"}, 0)},
                {gbCursor, {L"gbCursor", this, {200, 190, 160, 88}, L"Cursor"}},
                {labFreqCaption, {L"", gbCursor, {12, 26, 0, 13}, L"Freq:", true}},
                {labFreq, {L"labFreq", gbCursor, {60, 26, 0, 13}, L"0 Hz", true}},
                {labValueCaption, {L"", gbCursor, {12, 54, 0, 13}, L"Value: ", true}},
                {labValue, {L"labValue", gbCursor, {60, 54, 0, 13}, L"0 dB", true}},
            });

  AudioVisualization->OnMouseMove = [this](TObject*, int, int, int XValue, int YValue) {
    labValue->SetCaption(IntToStr(YValue) + L" dB");
    labFreq->SetCaption(IntToStr(XValue) +
                        (AudioVisualization->VisType() == 0 ? L" smpl" : L" Hz"));
  };
  OnShow = [this](TObject*) { DoShowWindow(); };
  OnClose = [this](TObject*, TCloseAction&) { DoCloseWindow(); };
}

TfrmFreAnalysis::~TfrmFreAnalysis() {
  if (FRulerFont) DeleteObject(FRulerFont);
}

int TfrmFreAnalysis::FFTSize() const {
  int i = cbFFTSize->ItemIndex();
  return i >= 0 && i < 3 ? kFFTSizes[i] : 1024;
}

void TfrmFreAnalysis::FeedFrequencyAnalysis() {
  if (!FAnalysisOpen || !FEditor) return;
  if (FEditor->Engine().HasDocument())
    AudioVisualization->SetSampleRate(FEditor->FileInfo()->SampleRate());
  int n = AudioVisualization->WindowArraySize();
  SAFEARRAY* a = FEditor->GetVisualizationData(n * 2);
  TScopeGuard destroy([a] { SafeArrayDestroy(a); });
  AudioVisualization->SetData(a);
  ++FFeedCount;
}

void TfrmFreAnalysis::ApplyAnalysisSettings() {
  AudioVisualization->SetVisType(cbViewType->ItemIndex());
  AudioVisualization->SetWindowFFTType(cbWindowType->ItemIndex());
  AudioVisualization->SetWindowArraySize(FFTSize());
  FeedFrequencyAnalysis();
}

void TfrmFreAnalysis::LoadAnalysisSettings() {
  editor::RestoreFormPlacement(L"FreWindow", this);
  int window = editor::ReadSettingInteger(L"Analysis", L"WindowsType", 0);
  if (window >= 0 && window < cbWindowType->Items()->Count()) cbWindowType->SetItemIndex(window);
  int view = editor::ReadSettingInteger(L"Analysis", L"ViewType", 3);
  if (view >= 0 && view < cbViewType->Items()->Count()) cbViewType->SetItemIndex(view);
  int size = editor::ReadSettingInteger(L"Analysis", L"FFTSize", 1024);
  for (int i = 0; i < 3; ++i)
    if (kFFTSizes[i] == size) cbFFTSize->SetItemIndex(i);
}

void TfrmFreAnalysis::SaveAnalysisSettings() {
  editor::WriteSettingInteger(L"Analysis", L"FFTSize", FFTSize());
  editor::WriteSettingInteger(L"Analysis", L"WindowsType", cbWindowType->ItemIndex());
  editor::WriteSettingInteger(L"Analysis", L"ViewType", cbViewType->ItemIndex());
}

void TfrmFreAnalysis::DoShowWindow() {
  FAnalysisOpen = true;
  LoadAnalysisSettings();
  ApplyAnalysisSettings();
}

void TfrmFreAnalysis::DoCloseWindow() {
  FAnalysisOpen = false;
  SaveAnalysisSettings();
  labFreq->SetCaption(L"0 Hz");
  labValue->SetCaption(L"0 dB");
  try {
    editor::SaveFormPlacement(L"FreWindow", this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

} // namespace editor
