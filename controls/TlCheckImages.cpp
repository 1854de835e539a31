#include "controls/TlCheckImages.h"

#include <memory>

#include "framework/ImgList.h"

namespace {

std::unique_ptr<TImageList> MakeList() {
  auto list = std::make_unique<TImageList>(nullptr);
  try {
    TBitmap bmp;
    bmp.LoadFromResourceName(GetModuleHandleW(nullptr), L"MENU_CHECKED");
    bmp.SetTransparent(true);
    list->AddMasked(&bmp, clWhite);
  } catch (const std::exception&) {
    // A program without the picture keeps an empty list.
  }
  return list;
}

std::unique_ptr<TImageList>& List() {
  static std::unique_ptr<TImageList> list;
  return list;
}

// Made at start-up, freed at exit.
struct Init {
  Init() {
    try {
      List() = MakeList();
    } catch (...) {
      // No list: nothing in the programs reads it.
    }
  }
} init;

} // namespace

TCustomImageList* CheckMarkImages() {
  return List().get();
}
