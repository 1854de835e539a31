// Image lists over the common-controls image list; drawing is virtual so a
// list with its own picture storage can take it over.
#pragma once

#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "framework/Classes.h"
#include "framework/Graphics.h"

class TCustomImageList;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

// Tells a user of an image list that the list changed.
class TChangeLink : public TObject {
public:
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  TNotifyEvent OnChange;

private:
  friend class TCustomImageList;
  TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;

  int Width() const { return FWidth; }
  // Changing the size empties the list.
  void SetWidth(int Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  void SetSize(int W, int H);
  virtual int Count() const;
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value);
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value) { FBkColor = Value; }
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value) { FDrawingStyle = Value; }
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value) { FImageType = Value; }
  HIMAGELIST Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  // Adds the images in Image (a strip of Width-wide pictures); returns the first index.
  virtual int Add(TBitmap* Image, TBitmap* Mask);
  // Adds with MaskColor as the transparent colour.
  virtual int AddMasked(TBitmap* Image, TColor MaskColor);
  virtual int AddIcon(TIcon* Image);
  // Adds a copy of image Index of another list; returns the new index.
  virtual int AddImage(TCustomImageList* Value, int Index);
  // Adds copies of every image of another list.
  virtual void AddImages(TCustomImageList* Value);
  // The Insert forms put the new image at Index (clamped to the list).
  virtual void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  virtual void InsertIcon(int Index, TIcon* Image);
  virtual void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
  // Moves one image; the ones between shift by one.
  virtual void Move(int CurIndex, int NewIndex);
  virtual void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  virtual void ReplaceIcon(int Index, TIcon* Image);
  virtual void ReplaceMasked(int Index, TBitmap* Image, TColor MaskColor);
  virtual void Delete(int Index);
  virtual void Clear();

  // Draws image Index at X, Y; a disabled image is drawn greyed.
  virtual void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
            TImageType AImageType, bool Enabled = true);
  virtual void GetBitmap(int Index, TBitmap* Image);
  virtual void GetIcon(int Index, TIcon* Image);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  TNotifyEvent OnChange;

protected:
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);
  virtual void Change();
  void FreeHandle();
  // Moves Added images from First to Index.
  void MoveAdded(int Index, int First, int Added);

private:
  HIMAGELIST FHandle = nullptr;
  int FWidth = 16, FHeight = 16;
  bool FMasked = true;
  TColor FBkColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  std::vector<TChangeLink*> FClients;
  int FUpdateCount = 0;
  bool FChanged = false;
};

class TImageList : public TCustomImageList {
public:
  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};
