// An image list that keeps its images as PNG pictures with full alpha and
// draws disabled images faded and/or gray.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "controls/PngFunctions.h"
#include "controls/PngPicture.h"
#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"

class TPngImageList;
class TPngImageCollectionItems;

class TPngImageCollectionItem : public TCollectionItem {
public:
  explicit TPngImageCollectionItem(TCollection* Collection);
  ~TPngImageCollectionItem() override;

  // Copies another entry's picture, background and name.
  void Assign(TPersistent* Source) override;
  std::wstring DisplayName() const override;

  TPngPicture* PngImage() const { return FPngImage.get(); }
  // Copies the picture into the entry's own.
  void SetPngImage(TPngPicture* Value);
  const std::wstring& Name() const { return FName; }
  void SetName(const std::wstring& Value) { FName = Value; }
  TColor Background() const { return FBackground; }
  void SetBackground(TColor Value);

private:
  friend class TPngImageList;
  std::unique_ptr<TPngPicture> FPngImage;
  std::wstring FName;
  TColor FBackground = clBtnFace;
};

class TPngImageCollectionItems : public TCollection {
public:
  explicit TPngImageCollectionItems(TPngImageList* AOwner);
  TPngImageList* ImageList() const { return FImageList; }
  // Null for an index outside the entries.
  TPngImageCollectionItem* Items(int Index) const;
  TPngImageCollectionItem* Add();
  // A new entry moved to the index.
  TPngImageCollectionItem* Add(int Index);

protected:
  void Update(TCollectionItem* Item) override;

private:
  TPngImageList* FImageList;
};

class TPngImageList : public TImageList {
public:
  explicit TPngImageList(TComponent* AOwner);
  ~TPngImageList() override;

  TPngImageCollectionItems* PngImages() const { return FPngImages.get(); }
  virtual void SetPngImages(TPngImageCollectionItems* Value);
  bool EnabledImages() const { return FEnabledImages; }
  virtual void SetEnabledImages(bool Value);
  TPngOptions PngOptions() const { return FPngOptions; }
  void SetPngOptions(TPngOptions Value);
  // The entries; the platform list follows them.
  int Count() const override;

  // Makes the platform image list from the entries again.
  virtual void RebuildImageList();

  virtual int Add(TBitmap* Image, TBitmap* Mask);
  virtual int AddIcon(TIcon* Image);
  virtual int AddImage(TCustomImageList* Value, int Index);
  virtual void AddImages(TCustomImageList* Value);
  virtual int AddMasked(TBitmap* Image, TColor MaskColor);
  void Clear() override;
  void Delete(int Index) override;
  virtual void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  virtual void InsertIcon(int Index, TIcon* Image);
  virtual void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
  virtual void Move(int CurIndex, int NewIndex);
  virtual void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  virtual void ReplaceIcon(int Index, TIcon* Image);
  virtual void ReplaceMasked(int Index, TBitmap* Image, TColor MaskColor);

protected:
  void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) override;
  void Change() override;
  // Another PNG image list takes this one's entries and settings.
  void AssignTo(TPersistent* Dest) override;

private:
  void BeginUpdateImages() { ++FUpdateCount; }
  void EndUpdateImages(bool rebuild);
  // A new entry at the index (or the end) holding the picture.
  int AddEntry(std::unique_ptr<TPngPicture> png, int index);
  void AppendIcon(TPngImageCollectionItem* item);

  std::unique_ptr<TPngImageCollectionItems> FPngImages;
  bool FEnabledImages = true;
  TPngOptions FPngOptions = PngOptionBit(pngBlendOnDisabled);
  int FUpdateCount = 0;
  int FKnownWidth = 16, FKnownHeight = 16;
  bool FDestroying = false;
};

// Icons of a picture for the platform's image lists: with common controls 6
// or later the alpha form, else the picture composed over the background
// with a mask. The caller destroys the icon.
HICON PngToIcon(TPngPicture* png, TColor background);
HICON PngToAlphaIcon(TPngPicture* png);
HICON PngToMaskedIcon(TPngPicture* png, TColor background);
// The target becomes a copy of an image list's image: a PNG list's entry as it
// is, another list's image with its mask as alpha. Nothing happens for an
// index that names no image.
void PictureFromImageList(TPngPicture* target, TCustomImageList* list, int index);
// Major version of the loaded common-controls library (0 when unknown).
int CommonControlsMajorVersion();
