#include "editor/Info.h"

#include "editor/funcs.h"
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

  int row = 0;
  auto field = [this, &row](const std::wstring& name, const std::wstring& caption, int l = 8,
                            int w = 320) {
    int t = 10 + row * 26;
    auto* lab = new TLabel(this);
    lab->SetParent(this);
    lab->SetCaption(caption);
    lab->SetBounds(l, t + 4, 0, 13);
    lab->SetAutoSize(true);
    auto* e = new TEdit(this);
    e->SetName(name);
    e->SetParent(this);
    e->SetBounds(l + 80, t, w, 21);
    e->SetTabStop(true);
    ++row;
    return e;
  };
  infoTitle = field(L"infoTitle", L"Title:");
  infoArtist = field(L"infoArtist", L"Artist:");
  infoAlbum = field(L"infoAlbum", L"Album:");
  infoCopyright = field(L"infoCopyright", L"Copyright:");
  infoYear = field(L"infoYear", L"Year:", 8, 80);
  infoTrack = field(L"infoTrack", L"Track:", 8, 80);
  infoComment = field(L"infoComment", L"Comment:");
  infoEncodedBy = field(L"infoEncodedBy", L"EncodedBy:");
  infoComposer = field(L"infoComposer", L"Composer:");
  infoURL = field(L"infoURL", L"URL:");
  auto* labGenre = new TLabel(this);
  labGenre->SetParent(this);
  labGenre->SetCaption(L"Genre:");
  labGenre->SetBounds(8, 10 + row * 26 + 4, 0, 13);
  labGenre->SetAutoSize(true);
  infoGenre = new TComboBox(this);
  infoGenre->SetName(L"infoGenre");
  infoGenre->SetParent(this);
  infoGenre->SetStyle(csDropDownList);
  infoGenre->SetDropDownCount(16);
  infoGenre->SetBounds(88, 10 + row * 26, 200, 21);
  infoGenre->SetTabStop(true);
  if (FEditor) {
    auto info = FEditor->FileInfo();
    for (int i = 0; i < 142; ++i) {
      std::wstring name;
      info->GenreName(i, name);
      infoGenre->Items()->Add(name);
    }
  }

  rgTagVersion = new TRadioGroup(this);
  rgTagVersion->SetName(L"rgTagVersion");
  rgTagVersion->SetParent(this);
  rgTagVersion->SetCaption(L"Tag Version");
  rgTagVersion->SetBounds(200, 10 + 4 * 26, 120, 48);
  rgTagVersion->SetColumns(2);
  rgTagVersion->Items()->Add(L"ID3v1");
  rgTagVersion->Items()->Add(L"ID3v2");
  rgTagVersion->SetItemIndex(1);

  auto button = [this](const std::wstring& name, const std::wstring& caption, int l) {
    auto* b = new TButton(this);
    b->SetName(name);
    b->SetParent(this);
    b->SetCaption(caption);
    b->SetBounds(l, 286, 76, 24);
    b->SetTabStop(true);
    return b;
  };
  btnReset = button(L"btnReset", L"Reset", 8);
  btnReset->OnClick = [this](TObject*) { LoadTagFields(); };
  btnApply = button(L"btnApply", L"OK", 258);
  btnApply->SetDefault(true);
  btnApply->OnClick = [this](TObject*) { ApplyTags(); };
  btnCancel = button(L"btnCancel", L"Cancel", 340);
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
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
  CentreOn(Window, MainForm);
  Window->Prepare(FileName);
  return Window->ShowModal();
}

} // namespace editor
