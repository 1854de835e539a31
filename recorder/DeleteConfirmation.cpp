#include "recorder/DeleteConfirmation.h"

#include "controls/PngPicture.h"

namespace recorder {

std::vector<std::uint8_t> DeleteIconPngData() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(module, L"DELETE_ICON", MAKEINTRESOURCEW(10)); // RT_RCDATA
  if (!res) return {};
  HGLOBAL data = LoadResource(module, res);
  DWORD size = SizeofResource(module, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes || size == 0) return {};
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  return std::vector<std::uint8_t>(p, p + size);
}

TFormDeleteConfirmation::TFormDeleteConfirmation(TComponent* AOwner) : TForm(AOwner) {
  SetName(L"FormDeleteConfirmation");
  SetCaption(L"Delete Confirmation");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  SetClientSize(377, 114);
  SetPosition(poMainFormCenter);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);

  ImageIcon = new TImage(this);
  ImageIcon->SetName(L"ImageIcon");
  ImageIcon->SetParent(this);
  ImageIcon->SetBounds(16, 16, 48, 48);
  ImageIcon->SetTransparent(true);
  std::vector<std::uint8_t> png = DeleteIconPngData();
  if (!png.empty()) {
    try {
      TPngPicture picture;
      picture.LoadFromBytes(png);
      ImageIcon->Picture()->SetGraphic(&picture);
    } catch (const Exception&) {
      // A damaged picture leaves the image empty; the question still works.
    }
  }

  LabelQuestion = new TLabel(this);
  LabelQuestion->SetName(L"LabelQuestion");
  LabelQuestion->SetParent(this);
  LabelQuestion->SetCaption(L"Delete the selected recording history item?");
  LabelQuestion->SetBounds(80, 20, 280, 13);

  CheckBoxDeleteFromDisk = new TCheckBox(this);
  CheckBoxDeleteFromDisk->SetName(L"CheckBoxDeleteFromDisk");
  CheckBoxDeleteFromDisk->SetParent(this);
  CheckBoxDeleteFromDisk->SetCaption(L"Also delete the recorded file from disk.");
  CheckBoxDeleteFromDisk->SetBounds(80, 44, 280, 17);

  ButtonOK = new TButton(this);
  ButtonOK->SetName(L"ButtonOK");
  ButtonOK->SetParent(this);
  ButtonOK->SetCaption(L"&OK");
  ButtonOK->SetDefault(true);
  ButtonOK->SetModalResult(mrOk);
  ButtonOK->SetBounds(206, 80, 75, 23);

  ButtonCancel = new TButton(this);
  ButtonCancel->SetName(L"ButtonCancel");
  ButtonCancel->SetParent(this);
  ButtonCancel->SetCaption(L"&Cancel");
  ButtonCancel->SetCancel(true);
  ButtonCancel->SetModalResult(mrCancel);
  ButtonCancel->SetBounds(289, 80, 75, 23);
}

} // namespace recorder
