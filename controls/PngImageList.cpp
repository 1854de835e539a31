#include "controls/PngImageList.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

// ---------------------------------------------------------------------------
// Icons

int CommonControlsMajorVersion() {
  static const int version = [] {
    HMODULE module = GetModuleHandleW(L"comctl32.dll");
    if (!module) return 0;
    auto get = reinterpret_cast<HRESULT(CALLBACK*)(DLLVERSIONINFO*)>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    if (!get) return 0;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(get(&info))) return 0;
    return int(info.dwMajorVersion);
  }();
  return version;
}

HICON PngToAlphaIcon(TPngPicture* png) {
  if (!png || !dynamic_cast<TChunkIHDR*>(png->ChunkList.Item(0))) return nullptr;
  const int w = png->Width(), h = png->Height();
  TChunkIHDR* hdr = png->HeaderChunk();
  BITMAPV4HEADER bh{};
  bh.bV4Size = sizeof(bh);
  bh.bV4Width = w;
  bh.bV4Height = h;
  bh.bV4Planes = 1;
  bh.bV4BitCount = 32;
  bh.bV4V4Compression = BI_BITFIELDS;
  bh.bV4RedMask = 0x00FF0000;
  bh.bV4GreenMask = 0x0000FF00;
  bh.bV4BlueMask = 0x000000FF;
  bh.bV4AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&bh), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!color || !bits) {
    if (color) DeleteObject(color);
    return nullptr;
  }
  const TPNGTransparencyMode mode = png->TransparencyKind();
  const COLORREF key = png->KeyColor() & 0xFFFFFF;
  auto* trns = png->ChunkList.ItemFromClass<TChunktRNS>();
  const int bpp = hdr->BitsPerPixel();
  for (int y = 0; y < h; ++y) {
    auto* out = static_cast<uint8_t*>(bits) + size_t(h - 1 - y) * w * 4;
    const uint8_t* alpha = png->AlphaRowAddress(y);
    const uint8_t* row = png->RowAddress(y);
    for (int x = 0; x < w; ++x, out += 4) {
      COLORREF c = png->PixelColor(x, y);
      out[0] = GetBValue(c);
      out[1] = GetGValue(c);
      out[2] = GetRValue(c);
      uint8_t a = 255;
      if (alpha) {
        a = alpha[x];
      } else if (mode == ptmBit) {
        a = (c & 0xFFFFFF) == key ? 0 : 255;
      } else if (mode == ptmPartial && trns && hdr->ColorType == 3) {
        int index =
            bpp == 8 ? row[x] : (row[x * bpp / 8] >> (8 - bpp - (x * bpp % 8))) & ((1 << bpp) - 1);
        a = trns->AlphaValues[index];
      }
      out[3] = a;
    }
  }
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mask);
  PatBlt(dc, 0, 0, w, h, BLACKNESS);
  SelectObject(dc, old);
  DeleteDC(dc);
  ICONINFO ii{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(color);
  DeleteObject(mask);
  return icon;
}

HICON PngToMaskedIcon(TPngPicture* png, TColor background) {
  if (!png || !dynamic_cast<TChunkIHDR*>(png->ChunkList.Item(0))) return nullptr;
  const int w = png->Width(), h = png->Height();
  TBitmap color;
  color.SetPixelFormat(pf32bit);
  color.SetSize(w, h);
  color.Canvas()->Brush()->SetColor(background == clNone ? clBlack : background);
  color.Canvas()->FillRect(TRect(0, 0, w, h));
  png->Draw(color.Canvas(), TRect(0, 0, w, h));
  TBitmap mask;
  mask.SetPixelFormat(pf32bit);
  mask.SetSize(w, h);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(TRect(0, 0, w, h));
  GdiFlush();
  const TPNGTransparencyMode mode = png->TransparencyKind();
  const COLORREF key = png->KeyColor() & 0xFFFFFF;
  TChunkIHDR* hdr = png->HeaderChunk();
  if (hdr->ColorType == 4 || hdr->ColorType == 6 || mode == ptmBit) {
    for (int y = 0; y < h; ++y) {
      const uint8_t* alpha = png->AlphaRowAddress(y);
      auto* m = static_cast<uint32_t*>(mask.ScanLine(y));
      auto* c = static_cast<uint32_t*>(color.ScanLine(y));
      for (int x = 0; x < w; ++x) {
        bool clear = alpha ? alpha[x] == 0 : (png->PixelColor(x, y) & 0xFFFFFF) == key;
        m[x] = clear ? 0x00FFFFFF : 0;
        // Where the mask is set the colour must be black, or the screen
        // shows through inverted.
        if (clear) c[x] = 0;
      }
    }
  }
  HBITMAP colorHandle = color.ReleaseHandle();
  HBITMAP maskHandle = mask.ReleaseHandle();
  ICONINFO ii{TRUE, 0, 0, maskHandle, colorHandle};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(colorHandle);
  DeleteObject(maskHandle);
  return icon;
}

void PictureFromImageList(TPngPicture* target, TCustomImageList* list, int index) {
  if (!target || !list) return;
  if (auto* pngList = dynamic_cast<TPngImageList*>(list)) {
    if (TPngImageCollectionItem* item = pngList->PngImages()->Items(index))
      target->AssignPng(*item->PngImage());
    return;
  }
  PictureFromImageList(target, list->Handle(), index);
}

HICON PngToIcon(TPngPicture* png, TColor background) {
  if (CommonControlsMajorVersion() < 6) return PngToMaskedIcon(png, background);
  return PngToAlphaIcon(png);
}

// ---------------------------------------------------------------------------
// Entries

TPngImageCollectionItem::TPngImageCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection), FPngImage(std::make_unique<TPngPicture>()) {
  FName = L"PngImage" + std::to_wstring(Index());
}

TPngImageCollectionItem::~TPngImageCollectionItem() = default;

void TPngImageCollectionItem::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TPngImageCollectionItem*>(Source)) {
    FPngImage->AssignPng(*src->FPngImage);
    FName = src->FName;
    SetBackground(src->FBackground);
    return;
  }
  TCollectionItem::Assign(Source);
}

std::wstring TPngImageCollectionItem::DisplayName() const {
  return FName.empty() ? TCollectionItem::DisplayName() : FName;
}

void TPngImageCollectionItem::SetPngImage(TPngPicture* Value) {
  if (Value)
    FPngImage->AssignPng(*Value);
  else
    FPngImage->ClearChunks();
  Changed(false);
}

void TPngImageCollectionItem::SetBackground(TColor Value) {
  if (Value == FBackground) return;
  FBackground = Value;
  Changed(false);
}

TPngImageCollectionItems::TPngImageCollectionItems(TPngImageList* AOwner)
    : TCollection(
          AOwner,
          [](TCollection* c) -> TCollectionItem* { return new TPngImageCollectionItem(c); }),
      FImageList(AOwner) {}

TPngImageCollectionItem* TPngImageCollectionItems::Items(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return static_cast<TPngImageCollectionItem*>(TCollection::Items(Index));
}

TPngImageCollectionItem* TPngImageCollectionItems::Add() {
  // The update waits until the entry is fully made.
  BeginUpdate();
  TScopeGuard endUpdate([&] { EndUpdate(); });
  return static_cast<TPngImageCollectionItem*>(TCollection::Add());
}

TPngImageCollectionItem* TPngImageCollectionItems::Add(int Index) {
  BeginUpdate();
  TPngImageCollectionItem* item = nullptr;
  TScopeGuard endUpdate([&] { EndUpdate(); });
  item = static_cast<TPngImageCollectionItem*>(TCollection::Add());
  item->SetIndex(Index);
  return item;
}

void TPngImageCollectionItems::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (FImageList) FImageList->RebuildImageList();
}

// ---------------------------------------------------------------------------
// The list

TPngImageList::TPngImageList(TComponent* AOwner)
    : TImageList(AOwner), FPngImages(std::make_unique<TPngImageCollectionItems>(this)) {
  FKnownWidth = Width();
  FKnownHeight = Height();
}

TPngImageList::~TPngImageList() {
  FDestroying = true;
  ++FUpdateCount;
  FPngImages.reset();
}

int TPngImageList::Count() const {
  return FPngImages ? FPngImages->Count() : 0;
}

void TPngImageList::EndUpdateImages(bool rebuild) {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && rebuild) RebuildImageList();
}

void TPngImageList::SetPngImages(TPngImageCollectionItems* Value) {
  if (!Value || Value == FPngImages.get()) return;
  FPngImages->Assign(Value);
  TImageList::Change();
}

void TPngImageList::SetEnabledImages(bool Value) {
  if (Value == FEnabledImages) return;
  FEnabledImages = Value;
  RebuildImageList();
}

void TPngImageList::SetPngOptions(TPngOptions Value) {
  if (Value == FPngOptions) return;
  FPngOptions = Value;
  RebuildImageList();
}

void TPngImageList::AppendIcon(TPngImageCollectionItem* item) {
  HICON icon = PngToIcon(item->PngImage(), item->Background());
  if (!icon) return;
  ImageList_ReplaceIcon(Handle(), -1, icon);
  DestroyIcon(icon);
}

void TPngImageList::RebuildImageList() {
  if (FUpdateCount > 0 || FDestroying || !FPngImages) return;
  if (HandleAllocated()) ImageList_Remove(Handle(), -1);
  FreeHandle();
  HIMAGELIST list = Handle();
  const bool disabled = !FEnabledImages && FPngOptions != 0;
  for (int i = 0; i < FPngImages->Count(); ++i) {
    TPngImageCollectionItem* item = FPngImages->Items(i);
    TPngPicture* png = item->PngImage();
    if (!png || png->Empty()) continue;
    HICON icon;
    if (!disabled) {
      icon = PngToIcon(png, item->Background());
    } else {
      TPngPicture scratch;
      scratch.AssignPng(*png);
      if (HasPngOption(FPngOptions, pngBlendOnDisabled)) FadePicture(&scratch, 127);
      if (HasPngOption(FPngOptions, pngGrayscaleOnDisabled)) GrayPicture(&scratch, 255);
      icon = PngToIcon(&scratch, clNone);
    }
    if (icon) {
      ImageList_ReplaceIcon(list, -1, icon);
      DestroyIcon(icon);
    }
  }
}

int TPngImageList::AddEntry(std::unique_ptr<TPngPicture> png, int index) {
  BeginUpdateImages();
  int result = -1;
  TScopeGuard endUpdate([&] { EndUpdateImages(true); });
  TPngImageCollectionItem* item =
      index < 0 ? FPngImages->Add() : FPngImages->Add(std::min(index, FPngImages->Count()));
  item->FPngImage = std::move(png);
  result = item->Index();
  TImageList::Change();
  return result;
}

int TPngImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image) return -1;
  return AddEntry(PictureFromMaskedBitmap(Image, Mask, false), -1);
}

int TPngImageList::AddIcon(TIcon* Image) {
  if (!Image) return -1;
  return AddEntry(PictureFromGraphic(Image), -1);
}

int TPngImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image) return -1;
  return AddEntry(PictureFromKeyedBitmap(Image, MaskColor), -1);
}

int TPngImageList::AddImage(TCustomImageList* Value, int Index) {
  if (!Value) return -1;
  auto png = std::make_unique<TPngPicture>();
  if (auto* pngList = dynamic_cast<TPngImageList*>(Value)) {
    if (TPngImageCollectionItem* src = pngList->PngImages()->Items(Index))
      png->AssignPng(*src->PngImage());
  } else {
    PictureFromImageList(png.get(), Value->Handle(), Index);
  }
  return AddEntry(std::move(png), -1);
}

void TPngImageList::AddImages(TCustomImageList* Value) {
  if (!Value || Value == this) return;
  BeginUpdateImages();
  TScopeGuard endUpdate([&] { EndUpdateImages(true); });
  for (int i = 0; i < Value->Count(); ++i)
    AddImage(Value, i);
  TImageList::Change();
}

void TPngImageList::Clear() {
  BeginUpdateImages();
  FPngImages->Clear();
  if (HandleAllocated()) ImageList_Remove(Handle(), -1);
  TImageList::Change();
  EndUpdateImages(false);
}

void TPngImageList::Delete(int Index) {
  if (Index < 0 || Index >= FPngImages->Count()) return;
  BeginUpdateImages();
  FPngImages->Delete(Index);
  if (HandleAllocated() && Index < ImageList_GetImageCount(Handle()))
    ImageList_Remove(Handle(), Index);
  TImageList::Change();
  EndUpdateImages(false);
}

void TPngImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  if (!Image) return;
  AddEntry(PictureFromMaskedBitmap(Image, Mask, false), std::max(Index, 0));
}

void TPngImageList::InsertIcon(int Index, TIcon* Image) {
  if (!Image) return;
  AddEntry(PictureFromGraphic(Image), std::max(Index, 0));
}

void TPngImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
  if (!Image) return;
  AddEntry(PictureFromKeyedBitmap(Image, MaskColor), std::max(Index, 0));
}

void TPngImageList::Move(int CurIndex, int NewIndex) {
  TPngImageCollectionItem* item = FPngImages->Items(CurIndex);
  if (!item || NewIndex < 0 || NewIndex >= FPngImages->Count() || NewIndex == CurIndex) return;
  BeginUpdateImages();
  FPngImages->BeginUpdate();
  item->SetIndex(NewIndex);
  FPngImages->EndUpdate();
  TImageList::Change();
  EndUpdateImages(true);
}

void TPngImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  TPngImageCollectionItem* item = FPngImages->Items(Index);
  if (!Image || !item) return;
  BeginUpdateImages();
  item->FPngImage = PictureFromMaskedBitmap(Image, Mask, false);
  TImageList::Change();
  EndUpdateImages(true);
}

void TPngImageList::ReplaceIcon(int Index, TIcon* Image) {
  TPngImageCollectionItem* item = FPngImages->Items(Index);
  if (!Image || !item) return;
  BeginUpdateImages();
  item->FPngImage = PictureFromGraphic(Image);
  TImageList::Change();
  EndUpdateImages(true);
}

void TPngImageList::ReplaceMasked(int Index, TBitmap* Image, TColor MaskColor) {
  TPngImageCollectionItem* item = FPngImages->Items(Index);
  if (!Image || !item) return;
  BeginUpdateImages();
  item->FPngImage = PictureFromKeyedBitmap(Image, MaskColor);
  TImageList::Change();
  EndUpdateImages(true);
}

void TPngImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT, bool Enabled) {
  TPngImageCollectionItem* item = FPngImages->Items(Index);
  if (!item || !Canvas) return;
  TRect rect(X, Y, X + Width(), Y + Height());
  DrawPictureWithOptions(item->PngImage(), Canvas, rect, Enabled ? TPngOptions(0) : FPngOptions);
}

void TPngImageList::Change() {
  // A new image size removes every entry.
  if ((Width() != FKnownWidth || Height() != FKnownHeight) && !FDestroying) {
    FKnownWidth = Width();
    FKnownHeight = Height();
    if (FPngImages && FPngImages->Count() > 0) {
      BeginUpdateImages();
      FPngImages->Clear();
      EndUpdateImages(false);
    }
    RebuildImageList();
  }
  TImageList::Change();
}

void TPngImageList::AssignTo(TPersistent* Dest) {
  if (auto* list = dynamic_cast<TPngImageList*>(Dest)) {
    list->SetSize(Width(), Height());
    list->SetMasked(Masked());
    list->SetBkColor(BkColor());
    list->SetPngOptions(FPngOptions);
    list->SetPngImages(FPngImages.get());
    list->SetEnabledImages(FEnabledImages);
    return;
  }
  TImageList::AssignTo(Dest);
}
