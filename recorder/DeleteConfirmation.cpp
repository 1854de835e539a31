#include "recorder/DeleteConfirmation.h"

#include "controls/PngPicture.h"
#include "framework/FormBuilder.h"

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

namespace {

void LoadDeleteIcon(TImage& Image) {
  Image.SetTransparent(true);
  std::vector<std::uint8_t> png = DeleteIconPngData();
  if (png.empty()) return;
  try {
    TPngPicture picture;
    picture.LoadFromBytes(png);
    Image.Picture()->SetGraphic(&picture);
  } catch (const Exception&) {
    // A damaged picture leaves the image empty; the question still works.
  }
}

} // namespace

TFormDeleteConfirmation::TFormDeleteConfirmation(TComponent* AOwner) : TForm(AOwner) {
  SetName(L"FormDeleteConfirmation");
  SetCaption(L"Delete Confirmation");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  SetClientSize(377, 114);
  SetPosition(poMainFormCenter);
  Font()->SetName(L"Tahoma");
  Font()->SetSize(8);

  BuildComponents(this, {
                            {ImageIcon, {L"ImageIcon", this, {16, 16, 48, 48}}, LoadDeleteIcon},
                            {LabelQuestion,
                             {L"LabelQuestion",
                              this,
                              {80, 20, 280, 13},
                              L"Delete the selected recording history item?"}},
                            {CheckBoxDeleteFromDisk,
                             {L"CheckBoxDeleteFromDisk",
                              this,
                              {80, 44, 280, 17},
                              L"Also delete the recorded file from disk."}},
                            {ButtonOK,
                             {L"ButtonOK", this, {206, 80, 75, 23}, L"&OK"},
                             [](TButton& b) {
                               b.SetDefault(true);
                               b.SetModalResult(mrOk);
                             }},
                            {ButtonCancel,
                             {L"ButtonCancel", this, {289, 80, 75, 23}, L"&Cancel"},
                             [](TButton& b) {
                               b.SetCancel(true);
                               b.SetModalResult(mrCancel);
                             }},
                        });
}

} // namespace recorder
