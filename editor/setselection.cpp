#include "editor/setselection.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "audio/ui/AudioEditor2.h"
#include "editor/funcs.h"
#include "framework/FormBuilder.h"
#include "framework/SysUtils.h"

namespace editor {

namespace {

bool OnlyOf(const std::wstring& t, const std::wstring& allowed) {
  return std::all_of(t.begin(), t.end(), [&](wchar_t c) {
    return (c >= L'0' && c <= L'9') || allowed.find(c) != std::wstring::npos;
  });
}

// A part as an Integer; missing or not a number counts as 0.
int Part(const TStringList& parts, int i) {
  if (i >= parts.Count()) return 0;
  const std::wstring s = parts.Strings(i);
  if (s.empty() || s.size() > 10) return 0;
  long long v = 0;
  for (wchar_t c : s) {
    if (c < L'0' || c > L'9') return 0;
    v = v * 10 + (c - L'0');
  }
  return v > 0x7FFFFFFF ? 0 : static_cast<int>(v);
}

} // namespace

int64_t ParseTimeText(const std::wstring& Text) {
  if (Text.empty()) return -1;
  auto count = [&](wchar_t c) { return std::count(Text.begin(), Text.end(), c); };
  const auto colons = count(L':'), dots = count(L'.');
  const size_t lastColon = Text.rfind(L':'), dot = Text.find(L'.');
  using editor::SplitString;
  using editor::TimeToMilliseconds;
  if (OnlyOf(Text, L":.") && dots == 1 && (colons == 1 || colons == 2) && dot > lastColon) {
    auto major = SplitString(Text.substr(0, dot), L":");
    auto minor = SplitString(Text.substr(dot + 1), L".");
    int ms = Part(*minor, 0);
    if (colons == 2)
      return TimeToMilliseconds(Part(*major, 0), Part(*major, 1), Part(*major, 2), ms);
    return TimeToMilliseconds(0, Part(*major, 0), Part(*major, 1), ms);
  }
  if (OnlyOf(Text, L".") && dots == 1) {
    auto p = SplitString(Text, L".");
    return TimeToMilliseconds(0, 0, Part(*p, 0), Part(*p, 1));
  }
  if (OnlyOf(Text, L"") && dots == 0 && colons == 0) {
    auto p = SplitString(Text, L":");
    return TimeToMilliseconds(0, 0, Part(*p, 0), 0);
  }
  if (OnlyOf(Text, L":") && colons == 1) {
    auto p = SplitString(Text, L":");
    return TimeToMilliseconds(0, Part(*p, 0), Part(*p, 1), 0);
  }
  if (OnlyOf(Text, L":") && colons == 2) {
    auto p = SplitString(Text, L":");
    return TimeToMilliseconds(Part(*p, 0), Part(*p, 1), Part(*p, 2), 0);
  }
  return -1;
}

TfrmSetSelection::TfrmSetSelection(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poDesigned);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  SetCaption(L"Set Selection");
  SetClientSize(330, 160);

  const auto list = [](std::initializer_list<const wchar_t*> items) {
    std::vector<std::wstring> texts(items.begin(), items.end());
    return [texts](TComboBox& c) {
      c.SetStyle(csDropDownList);
      for (const auto& s : texts)
        c.Items()->Add(s);
      c.SetItemIndex(0);
    };
  };
  BuildComponents(
      this, {
                {labPreset, {L"", this, {8, 12, 0, 13}, L"Preset:", true}},
                {cbSelectionPreset,
                 {.Name = L"cbSelectionPreset",
                  .Bounds = {64, 8, 169, 21},
                  .OnClick = [this](TObject* s) { cbSelectionPresetClick(s); }},
                 list({L"(Custom)", L"Current Selection", L"All Sample Data",
                       L"Cursor To End of Sample", L"Cursor To Start of Sample"})},
                {labStart, {L"", this, {8, 48, 0, 13}, L"Start:", true}},
                {EditStart,
                 {L"EditStart", this, {64, 44, 100, 21}},
                 [this](TFcEdit& e) {
                   e.OnEnter = [this](TObject*) { FSavedStartText = EditStart->Text(); };
                   e.OnExit = [this](TObject* s) { EditStartExit(s); };
                 }},
                {labTimeFormat, {L"", this, {168, 48, 0, 13}, L"hr:mn:sc.xxx", true}},
                {labEnd, {L"", this, {8, 76, 0, 13}, L"End:", true}},
                {EditEnd,
                 {L"EditEnd", this, {64, 72, 100, 21}},
                 [this](TFcEdit& e) {
                   e.OnEnter = [this](TObject*) { FSavedEndText = EditEnd->Text(); };
                   e.OnExit = [this](TObject* s) { EditEndExit(s); };
                 }},
                {labLength, {L"", this, {8, 104, 0, 13}, L"Lenght:", true}},
                {EditLenght,
                 {L"EditLenght", this, {64, 100, 100, 21}},
                 [this](TFcEdit& e) {
                   e.OnEnter = [this](TObject*) { FSavedLengthText = EditLenght->Text(); };
                   e.OnExit = [this](TObject* s) { EditLenghtExit(s); };
                 }},
                {labInputFormat, {L"", this, {8, 134, 0, 13}, L"Format:", true}},
                {cbInputFormat, {L"cbInputFormat", this, {64, 130, 100, 21}}, list({L"Time"})},
                {btnOK,
                 {.Name = L"btnOK",
                  .Bounds = {246, 8, 76, 24},
                  .Caption = L"OK",
                  .OnClick = [this](TObject* s) { btnOKClick(s); }},
                 [](TButton& b) {
                   b.SetDefault(true);
                   b.SetModalResult(mrOk);
                 }},
                {btnCancel,
                 {L"btnCancel", this, {246, 38, 76, 24}, L"Cancel"},
                 [](TButton& b) {
                   b.SetCancel(true);
                   b.SetModalResult(mrCancel);
                 }},
                {btnHelp,
                 {.Name = L"btnHelp",
                  .Bounds = {246, 86, 76, 24},
                  .Caption = L"Help",
                  .OnClick =
                      [this](TObject*) {
                        ShowHelpTopic(HandleAllocated() ? Handle() : nullptr, L"Set Selection.htm");
                      }}},
            });
  OnShow = [this](TObject*) { InitValues(); };
}

void TfrmSetSelection::ShowCurrent() {
  EditStart->SetText(editor::FormatMilliseconds(FCurStartMs));
  EditEnd->SetText(editor::FormatMilliseconds(FCurEndMs));
  EditLenght->SetText(editor::FormatMilliseconds(int64_t(FCurEndMs) - FCurStartMs));
}

void TfrmSetSelection::InitValues() {
  FSelStartMs = FStartMs;
  FSelEndMs = FEndMs;
  FCurStartMs = FStartMs;
  FCurEndMs = FEndMs;
  ShowCurrent();
}

void TfrmSetSelection::EditStartExit(TObject*) {
  int64_t v = ParseTimeText(EditStart->Text());
  if (v < 0) {
    EditStart->SetText(FSavedStartText);
  } else if (v > FCurEndMs) {
    int to = v > FLengthMs ? FLengthMs : static_cast<int>(v);
    FCurStartMs = FCurEndMs = to;
    EditStart->SetText(editor::FormatMilliseconds(to));
    EditEnd->SetText(editor::FormatMilliseconds(to));
  } else {
    FCurStartMs = static_cast<int>(v);
    EditStart->SetText(editor::FormatMilliseconds(v));
  }
  EditLenght->SetText(editor::FormatMilliseconds(int64_t(FCurEndMs) - FCurStartMs));
}

void TfrmSetSelection::EditEndExit(TObject*) {
  int64_t v = ParseTimeText(EditEnd->Text());
  if (v < 0) {
    EditEnd->SetText(FSavedEndText);
  } else {
    FCurEndMs = v > FCurStartMs ? static_cast<int>(std::min<int64_t>(v, FLengthMs)) : FCurStartMs;
    EditEnd->SetText(editor::FormatMilliseconds(FCurEndMs));
  }
  EditLenght->SetText(editor::FormatMilliseconds(int64_t(FCurEndMs) - FCurStartMs));
}

void TfrmSetSelection::EditLenghtExit(TObject*) {
  int64_t v = ParseTimeText(EditLenght->Text());
  if (v < 0) {
    EditLenght->SetText(FSavedLengthText);
  } else {
    FCurEndMs = static_cast<int>(std::min<int64_t>(int64_t(FCurStartMs) + v, FLengthMs));
    EditEnd->SetText(editor::FormatMilliseconds(FCurEndMs));
  }
  EditLenght->SetText(editor::FormatMilliseconds(int64_t(FCurEndMs) - FCurStartMs));
}

void TfrmSetSelection::cbSelectionPresetClick(TObject*) {
  switch (cbSelectionPreset->ItemIndex()) {
  case 1:
    FCurStartMs = FStartMs, FCurEndMs = FEndMs;
    break;
  case 2:
    FCurStartMs = 0, FCurEndMs = FLengthMs;
    break;
  case 3:
    FCurStartMs = FCursorMs, FCurEndMs = FLengthMs;
    break;
  case 4:
    FCurStartMs = 0, FCurEndMs = FCursorMs;
    break;
  default:
    return;
  }
  ShowCurrent();
}

void TfrmSetSelection::btnOKClick(TObject*) {
  // Leaving the focused edit applies its text first.
  if (btnOK->CanFocus()) btnOK->SetFocus();
  FSelStartMs = FCurStartMs;
  FSelEndMs = FCurEndMs;
}

void BringSelectionIntoView(TAudioEditor2* E) {
  auto p = E->Position();
  int64_t s = p->SelectionStart(), e = p->SelectionEnd();
  if (e < s) std::swap(s, e);
  const int64_t vs = p->ViewStart(), ve = p->ViewEnd(), len = p->Length();
  if (s >= vs && e <= ve && ve > vs) return;
  const int64_t w = ve - vs;
  if (w <= 0 || e - s > w) {
    E->ZoomToRange(ClampToInt32(s), ClampToInt32(std::max(e, s + 1)));
    return;
  }
  int64_t start = s - (w - (e - s)) / 2;
  start = std::clamp<int64_t>(start, 0, std::max<int64_t>(0, len - w));
  E->ZoomToRange(ClampToInt32(start), ClampToInt32(start + w));
}

bool ExecuteSetSelection(TSetSelectionHost& Host) {
  TAudioEditor2* ed = Host.Editor;
  if (!ed || !ed->Engine().HasDocument() || ed->State() != 0 || ed->Busy()) return false;
  auto dialog = std::make_unique<TfrmSetSelection>(Host.MainForm);
  dialog->PlaceCentredOn(Host.MainForm);
  auto p = ed->Position();
  dialog->FStartMs = p->SamplesToMs(p->SelectionStart());
  dialog->FEndMs = p->SamplesToMs(p->SelectionEnd());
  dialog->FLengthMs = p->SamplesToMs(p->Length());
  dialog->FCursorMs = p->SamplesToMs(p->Cursor());
  dialog->InitValues();
  if (dialog->ShowModal() != mrOk) return false;
  if (Host.SelStartMs) *Host.SelStartMs = dialog->FSelStartMs;
  if (Host.SelEndMs) *Host.SelEndMs = dialog->FSelEndMs;
  p->SetSelectionActive(-1);
  p->SetSelectionStart(p->MsToSamples(dialog->FSelStartMs));
  p->SetSelectionEnd(p->MsToSamples(dialog->FSelEndMs));
  BringSelectionIntoView(ed);
  ed->Changed();
  return true;
}

} // namespace editor
