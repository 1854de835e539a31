#include "framework/ImgList.h"

#include <algorithm>
#include <cstring>
#include <vector>

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
  Destroying();
  for (TChangeLink* l : FClients)
    l->FSender = nullptr;
  FClients.clear();
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (FHandle) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

HIMAGELIST TCustomImageList::Handle() {
  if (!FHandle)
    FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | (FMasked ? ILC_MASK : 0), 4, 4);
  return FHandle;
}

void TCustomImageList::SetSize(int W, int H) {
  if (W == FWidth && H == FHeight) return;
  FWidth = std::max(1, W);
  FHeight = std::max(1, H);
  FreeHandle();
  Change();
}
void TCustomImageList::SetWidth(int Value) {
  SetSize(Value, FHeight);
}
void TCustomImageList::SetHeight(int Value) {
  SetSize(FWidth, Value);
}

void TCustomImageList::SetMasked(bool Value) {
  if (Value == FMasked) return;
  FMasked = Value;
  FreeHandle();
  Change();
}

int TCustomImageList::Count() const {
  return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Empty()) return -1;
  HIMAGELIST h = Handle();
  int r = ImageList_Add(h, Image->Handle(), Mask ? Mask->Handle() : nullptr);
  Change();
  return r;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  HIMAGELIST h = Handle();
  int r;
  if (FMasked)
    r = ImageList_AddMasked(h, Image->Handle(), ColorToRGB(MaskColor));
  else
    r = ImageList_Add(h, Image->Handle(), nullptr);
  Change();
  return r;
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || Image->Empty()) return -1;
  int r = ImageList_ReplaceIcon(Handle(), -1, Image->Handle());
  Change();
  return r;
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(L"Invalid image list index");
  ImageList_Replace(Handle(), Index, Image->Handle(), Mask ? Mask->Handle() : nullptr);
  Change();
}

int TCustomImageList::AddImage(TCustomImageList* Value, int Index) {
  if (!Value || Index < 0 || Index >= Value->Count()) return -1;
  HICON icon = ImageList_GetIcon(Value->Handle(), Index, ILD_TRANSPARENT);
  if (!icon) return -1;
  int r = ImageList_ReplaceIcon(Handle(), -1, icon);
  DestroyIcon(icon);
  Change();
  return r;
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
  if (!Value || Value == this) return;
  BeginUpdate();
  TScopeGuard endUpdate([&] { EndUpdate(); });
  for (int i = 0; i < Value->Count(); ++i)
    AddImage(Value, i);
}

// Adds with the list's own calls, then moves the new images to Index.
void TCustomImageList::MoveAdded(int Index, int First, int Added) {
  if (First < 0 || Added <= 0) return;
  Index = std::clamp(Index, 0, First);
  for (int i = 0; i < Added; ++i)
    Move(First + i, Index + i);
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation(L"Invalid image list index");
  BeginUpdate();
  int before = Count();
  TScopeGuard endUpdate([&] { EndUpdate(); });
  int first = Add(Image, Mask);
  MoveAdded(Index, first, Count() - before);
}

void TCustomImageList::InsertIcon(int Index, TIcon* Image) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation(L"Invalid image list index");
  BeginUpdate();
  int before = Count();
  TScopeGuard endUpdate([&] { EndUpdate(); });
  int first = AddIcon(Image);
  MoveAdded(Index, first, Count() - before);
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation(L"Invalid image list index");
  BeginUpdate();
  int before = Count();
  TScopeGuard endUpdate([&] { EndUpdate(); });
  int first = AddMasked(Image, MaskColor);
  MoveAdded(Index, first, Count() - before);
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  int n = Count();
  if (CurIndex < 0 || CurIndex >= n || NewIndex < 0 || NewIndex >= n)
    throw EInvalidOperation(L"Invalid image list index");
  if (CurIndex == NewIndex) return;
  HIMAGELIST h = Handle();
  // The images of the range taken out as icons (picture and mask), turned
  // one place round and put back.
  const int lo = std::min(CurIndex, NewIndex), hi = std::max(CurIndex, NewIndex);
  std::vector<HICON> icons;
  for (int i = lo; i <= hi; ++i)
    icons.push_back(ImageList_GetIcon(h, i, ILD_TRANSPARENT));
  if (NewIndex > CurIndex)
    std::rotate(icons.begin(), icons.begin() + 1, icons.end());
  else
    std::rotate(icons.rbegin(), icons.rbegin() + 1, icons.rend());
  for (int i = lo; i <= hi; ++i) {
    HICON icon = icons[i - lo];
    if (icon) {
      ImageList_ReplaceIcon(h, i, icon);
      DestroyIcon(icon);
    }
  }
  Change();
}

void TCustomImageList::ReplaceIcon(int Index, TIcon* Image) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(L"Invalid image list index");
  if (!Image || Image->Empty()) return;
  ImageList_ReplaceIcon(Handle(), Index, Image->Handle());
  Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* Image, TColor MaskColor) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(L"Invalid image list index");
  if (!Image || Image->Empty()) return;
  if (!FMasked) {
    ImageList_Replace(Handle(), Index, Image->Handle(), nullptr);
    Change();
    return;
  }
  // The colour key becomes a mask through a one-image scratch list.
  HIMAGELIST tmp = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 1, 1);
  ImageList_AddMasked(tmp, Image->Handle(), ColorToRGB(MaskColor));
  HICON icon = ImageList_GetIcon(tmp, 0, ILD_TRANSPARENT);
  ImageList_Destroy(tmp);
  if (icon) {
    ImageList_ReplaceIcon(Handle(), Index, icon);
    DestroyIcon(icon);
  }
  Change();
}

void TCustomImageList::Delete(int Index) {
  if (Index >= Count()) throw EInvalidOperation(L"Invalid image list index");
  if (FHandle) ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_Remove(FHandle, -1);
  Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (Index < 0 || Index >= Count()) return;
  UINT style = ILD_NORMAL;
  if (ADrawingStyle == dsTransparent) style = ILD_TRANSPARENT;
  if (ADrawingStyle == dsFocus) style = ILD_FOCUS;
  if (ADrawingStyle == dsSelected) style = ILD_SELECTED;
  if (AImageType == itMask) style |= ILD_MASK;
  if (FMasked) style |= ILD_TRANSPARENT;
  DoDraw(Index, Canvas, X, Y, style, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
  HDC dc = Canvas->Handle();
  if (Enabled) {
    ImageList_Draw(Handle(), Index, dc, X, Y, Style);
    return;
  }
  // Greyed: the picture drawn over a key colour, turned to light greys,
  // then copied without the key colour.
  const COLORREF key = RGB(255, 0, 255);
  TBitmap tmp;
  tmp.SetPixelFormat(pf24bit);
  tmp.SetSize(FWidth, FHeight);
  HBRUSH b = CreateSolidBrush(key);
  RECT r{0, 0, FWidth, FHeight};
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, tmp.Handle());
  ::FillRect(mem, &r, b);
  DeleteObject(b);
  ImageList_Draw(Handle(), Index, mem, 0, 0, ILD_TRANSPARENT);
  SelectObject(mem, old);
  for (int y = 0; y < FHeight; ++y) {
    auto* p = static_cast<std::uint8_t*>(tmp.ScanLine(y));
    for (int x = 0; x < FWidth; ++x, p += 3) {
      if (p[0] == 255 && p[1] == 0 && p[2] == 255) continue;
      int g = (p[0] * 11 + p[1] * 59 + p[2] * 30) / 100;
      g = 128 + g / 2;
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(g);
    }
  }
  old = SelectObject(mem, tmp.Handle());
  TransparentBlt(dc, X, Y, FWidth, FHeight, mem, 0, 0, FWidth, FHeight, key);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || Index < 0 || Index >= Count()) return;
  Image->SetSize(FWidth, FHeight);
  Image->Canvas()->Brush()->SetColor(FBkColor == clNone ? clWhite : FBkColor);
  Image->Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
  ImageList_Draw(Handle(), Index, Image->Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) {
  if (!Image || Index < 0 || Index >= Count()) return;
  Image->SetHandle(ImageList_GetIcon(Handle(), Index, ILD_TRANSPARENT));
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  Value->FSender = this;
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end())
    FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), Value), FClients.end());
  if (Value) Value->FSender = nullptr;
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0) {
    FChanged = true;
    return;
  }
  FChanged = false;
  std::vector<TChangeLink*> list = FClients;
  for (TChangeLink* l : list)
    if (l->OnChange) l->OnChange(this);
  if (OnChange) OnChange(this);
}
