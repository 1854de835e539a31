#include "editor/Info.h"

#include "editor/funcs.h"
#include "framework/FormBuilder.h"
#include "framework/SysUtils.h"

namespace editor {

namespace {

const wchar_t* const SInvalidYear = L"Invalid year value: \"%s\" \r\n\r\nPlease check.";
const wchar_t* const SInvalidTrack = L"Invalid track value: \"%s\" \r\n\r\nPlease check.";

bool ReadYear(const std::wstring& Text, int& Value) {
  return TryStrToInt(Text, Value);
}

bool ReadTrack(const std::wstring& Text, int16_t& Value) {
  int v = 0;
  if (!TryStrToInt(Text, v) || v < -32768 || v > 32767) return false;
  Value = static_cast<int16_t>(v);
  return true;
}

} // namespace

TfrmInfo::TfrmInfo(TComponent* AOwner, TAudioEditor2* Editor) : TForm(AOwner), FEditor(Editor) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetFormStyle(fsStayOnTop);
  SetPosition(poDesigned);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);
  SetCaption(L"Audio Infomation");
  SetClientSize(424, 318);

  // One row of 26 pixels for each field: its label, then its edit.
  BuildComponents(this, {
                            {Unbound<TLabel>, {L"", this, {8, 14, 0, 13}, L"Title:", true}},
                            {infoTitle, {L"infoTitle", this, {88, 10, 320, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 40, 0, 13}, L"Artist:", true}},
                            {infoArtist, {L"infoArtist", this, {88, 36, 320, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 66, 0, 13}, L"Album:", true}},
                            {infoAlbum, {L"infoAlbum", this, {88, 62, 320, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 92, 0, 13}, L"Copyright:", true}},
                            {infoCopyright, {L"infoCopyright", this, {88, 88, 320, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 118, 0, 13}, L"Year:", true}},
                            {infoYear, {L"infoYear", this, {88, 114, 80, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 144, 0, 13}, L"Track:", true}},
                            {infoTrack, {L"infoTrack", this, {88, 140, 80, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 170, 0, 13}, L"Comment:", true}},
                            {infoComment, {L"infoComment", this, {88, 166, 320, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 196, 0, 13}, L"EncodedBy:", true}},
                            {infoEncodedBy, {L"infoEncodedBy", this, {88, 192, 320, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 222, 0, 13}, L"Composer:", true}},
                            {infoComposer, {L"infoComposer", this, {88, 218, 320, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 248, 0, 13}, L"URL:", true}},
                            {infoURL, {L"infoURL", this, {88, 244, 320, 21}}},
                            {Unbound<TLabel>, {L"", this, {8, 274, 0, 13}, L"Genre:", true}},
                            {infoGenre,
                             {L"infoGenre", this, {88, 270, 200, 21}},
                             [this](TComboBox& c) {
                               c.SetStyle(csDropDownList);
                               c.SetDropDownCount(16);
                               if (!FEditor) return;
                               auto info = FEditor->FileInfo();
                               for (int i = 0; i < 142; ++i) {
                                 std::wstring name;
                                 info->GenreName(i, name);
                                 c.Items()->Add(name);
                               }
                             }},
                            {rgTagVersion,
                             {L"rgTagVersion", this, {200, 114, 120, 48}, L"Tag Version"},
                             [](TRadioGroup& g) {
                               g.SetColumns(2);
                               g.Items()->Add(L"ID3v1");
                               g.Items()->Add(L"ID3v2");
                               g.SetItemIndex(1);
                             }},
                            {btnReset,
                             {.Name = L"btnReset",
                              .Bounds = {8, 286, 76, 24},
                              .Caption = L"Reset",
                              .OnClick = [this](TObject*) { LoadTagFields(); }}},
                            {btnApply,
                             {.Name = L"btnApply",
                              .Bounds = {258, 286, 76, 24},
                              .Caption = L"OK",
                              .OnClick = [this](TObject*) { ApplyTags(); }},
                             [](TButton& b) { b.SetDefault(true); }},
                            {btnCancel,
                             {L"btnCancel", this, {340, 286, 76, 24}, L"Cancel"},
                             [](TButton& b) {
                               b.SetCancel(true);
                               b.SetModalResult(mrCancel);
                             }},
                        });
}

void TfrmInfo::Prepare(const std::wstring& FileName) {
  SetCaption(L"Audio Infomation - " + ExtractFileName(FileName));
  FFileInfo = FEditor ? FEditor->FileInfo() : nullptr;
  LoadTagFields();
}

void TfrmInfo::LoadTagFields() {
  if (!FFileInfo) return;
  infoTitle->SetText(FFileInfo->Title());
  infoArtist->SetText(FFileInfo->Artist());
  infoAlbum->SetText(FFileInfo->Album());
  infoCopyright->SetText(FFileInfo->Copyright());
  infoYear->SetText(IntToStr(FFileInfo->Year()));
  infoTrack->SetText(IntToStr(FFileInfo->Track()));
  infoComment->SetText(FFileInfo->Comment());
  infoEncodedBy->SetText(FFileInfo->EncodedBy());
  infoComposer->SetText(FFileInfo->Composer());
  infoURL->SetText(FFileInfo->Url());
  infoGenre->SetItemIndex(FFileInfo->Genre());
}

bool TfrmInfo::ApplyTags() {
  if (!FFileInfo) return false;
  // Both numbers are checked before any field is written.
  int year = 0;
  int16_t track = 0;
  const std::wstring yearText = infoYear->Text(), trackText = infoTrack->Text();
  auto refuse = [this](const wchar_t* fmt, const std::wstring& text, TEdit* edit) {
    editor::ShowMessageBox(Format(fmt, text), editor::SErrorCaption, MB_OK | MB_ICONWARNING);
    if (edit->CanFocus()) edit->SetFocus();
    return false;
  };
  if (!ReadYear(yearText, year)) return refuse(SInvalidYear, yearText, infoYear);
  if (!ReadTrack(trackText, track)) return refuse(SInvalidTrack, trackText, infoTrack);
  FFileInfo->SetTitle(infoTitle->Text());
  FFileInfo->SetArtist(infoArtist->Text());
  FFileInfo->SetAlbum(infoAlbum->Text());
  FFileInfo->SetGenre(static_cast<int16_t>(infoGenre->ItemIndex()));
  FFileInfo->SetCopyright(infoCopyright->Text());
  FFileInfo->SetComment(infoComment->Text());
  FFileInfo->SetYear(year);
  FFileInfo->SetTrack(track);
  FFileInfo->SetUrl(infoURL->Text());
  FFileInfo->SetComposer(infoComposer->Text());
  FFileInfo->SetEncodedBy(infoEncodedBy->Text());
  SetModalResult(mrOk);
  return true;
}

int ExecuteAudioInformation(TfrmInfo* Window, TCustomForm* MainForm, const std::wstring& FileName) {
  Window->PlaceCentredOn(MainForm);
  Window->Prepare(FileName);
  return Window->ShowModal();
}

} // namespace editor
