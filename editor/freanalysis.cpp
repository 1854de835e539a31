#include "editor/freanalysis.h"

#include <oleauto.h>

#include "editor/globals.h"
#include "framework/SysUtils.h"

namespace editor {

namespace {

const int kFFTSizes[3] = {256, 1024, 4096};

TLabel* NewLabel(TComponent* Owner, TWinControl* Parent, const std::wstring& Caption, int L,
                 int T) {
  auto* l = new TLabel(Owner);
  l->SetParent(Parent);
  l->SetCaption(Caption);
  l->SetBounds(L, T, 0, 13);
  l->SetAutoSize(true);
  return l;
}

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

  AudioVisualization = new TAudioVisualization2(this);
  AudioVisualization->SetName(L"AudioVisualization");
  AudioVisualization->SetParent(this);
  AudioVisualization->SetBounds(8, 8, 352, 177);
  HDC dc = GetDC(nullptr);
  int height = -MulDiv(7, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(nullptr, dc);
  FRulerFont = CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
  AudioVisualization->SetRulerFont(FRulerFont);

  auto combo = [this](const std::wstring& name, int l, int t,
                      std::initializer_list<const wchar_t*> items, int index) {
    auto* c = new TComboBox(this);
    c->SetName(name);
    c->SetParent(this);
    c->SetStyle(csDropDownList);
    c->SetBounds(l, t, 110, 21);
    c->SetTabStop(true);
    for (const wchar_t* s : items)
      c->Items()->Add(s);
    c->SetItemIndex(index);
    c->OnClick = [this](TObject*) { ApplyAnalysisSettings(); };
    return c;
  };
  labFFTSize = NewLabel(this, this, L"FFT Size: ", 8, 198);
  cbFFTSize = combo(L"cbFFTSize", 80, 194, {L"256", L"1024", L"4096"}, 1);
  labWindowType = NewLabel(this, this, L"Window: ", 8, 228);
  cbWindowType =
      combo(L"cbWindowType", 80, 224, {L"None", L"Welch", L"Barlett", L"Hanning", L"Hamming"}, 0);
  labViewType = NewLabel(this, this, L"View Type: ", 8, 258);
  cbViewType = combo(L"cbViewType", 80, 254,
                     {L"Analog", L"Linear", L"Normal", L"Fire", L"Glass", L"Kryptonite"}, 0);

  gbCursor = new TGroupBox(this);
  gbCursor->SetName(L"gbCursor");
  gbCursor->SetParent(this);
  gbCursor->SetCaption(L"Cursor");
  gbCursor->SetBounds(200, 190, 160, 88);
  labFreqCaption = NewLabel(this, gbCursor, L"Freq:", 12, 26);
  labFreq = NewLabel(this, gbCursor, L"0 Hz", 60, 26);
  labFreq->SetName(L"labFreq");
  labValueCaption = NewLabel(this, gbCursor, L"Value: ", 12, 54);
  labValue = NewLabel(this, gbCursor, L"0 dB", 60, 54);
  labValue->SetName(L"labValue");

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
