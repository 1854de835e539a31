// A GDI+ bitmap wrapper and TlxPNGImage, a picture class that reads and
// writes PNG (and other formats) through GDI+; it is registered as "PNG"
// when GDI+ is available.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <windows.h>
#include <objidl.h>

#include "framework/Graphics.h"
#include "lookandfeel/lxGDIPlusAPI.h"

using TlxPixels = std::shared_ptr<std::vector<uint32_t>>;

// Objects whose memory comes from GDI+.
class TlxGPBase : public TObject {
public:
  static void* operator new(size_t Size);
  static void operator delete(void* P);
};

class TlxGPImage : public TlxGPBase {
public:
  TlxGPImage() = default;
  ~TlxGPImage() override;
  void* Handle() const { return FHandle; }
  const TlxPixels& Pixels() const { return FPixels; }
  int Width() const;
  int Height() const;
  // A new image of the current class with the same picture.
  TlxGPImage* Clone() const;
  // PNG data of the image (empty when it cannot be saved).
  std::vector<uint8_t> SavePng() const;

  virtual void ReadFromStream(TStream* Stream);
  virtual void InitFromBitmap(TBitmap* Bitmap);
  virtual void InitFromBits(int Width, const TlxPixels& Pixels, bool AlphaUsed, int Height);
  virtual void InitFromStream(TStream* Stream);

protected:
  void* FHandle = nullptr;
  TlxPixels FPixels;
  HGLOBAL FStreamBlock = nullptr;
  IStream* FStream = nullptr;
};

// The image class without GDI+: ordinary memory and no handle.
class TlxGPNullImage : public TlxGPImage {
public:
  static void* operator new(size_t Size) { return ::operator new(Size); }
  static void operator delete(void* P) { ::operator delete(P); }
  void ReadFromStream(TStream*) override {}
  void InitFromBitmap(TBitmap*) override {}
  void InitFromBits(int, const TlxPixels& Pixels, bool, int) override { FPixels = Pixels; }
  void InitFromStream(TStream*) override {}
};

// Images of the current class (TlxGPNullImage until GDI+ is found usable).
TlxGPImage* lxNewImage();
bool lxImageClassIsGdiPlus();
TlxGPImage* CreateImageFromBitmap(TBitmap* Bitmap);
TlxGPImage* CreateImageFromBits(int Width, const TlxPixels& Pixels, bool AlphaUsed, int Height);
TlxGPImage* CreateImageFromStream(TStream* Stream);

// The part of an image drawn into a destination (sources one pixel smaller
// when stretched, so that edges do not fade).
TRect lxDrawSourceRect(const TRect& Dest, const TRect& Source);

class TlxPNGImage : public TGraphic {
public:
  TlxPNGImage() = default;
  ~TlxPNGImage() override;
  void Assign(TPersistent* Source) override;

  int Width() const override;
  int Height() const override;
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  bool Empty() const override { return Width() < 1 || Height() < 1; }
  bool Transparent() const override { return true; }
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void LoadFromBytes(const std::vector<std::uint8_t>& Data) override;
  std::vector<std::uint8_t> SaveToBytes() override;
  // The picture has no clipboard format: both do nothing.
  void LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) override {}
  void SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) override {}

  TlxGPImage* Image() const { return FImage.get(); }
  // Takes Value (frees the previous image unless it is the same).
  void SetImage(TlxGPImage* Value);
  virtual bool IsSameImage(TlxPNGImage* Other);
  // A new 32-bit bitmap of the picture (the caller frees it).
  virtual TBitmap* CreateBitmap();
  virtual void TakeBitmap(TBitmap* Source);
  virtual void DrawToDC(HDC DC, const TRect& Dest);
  virtual void StretchToDC(HDC DC, const TRect& Dest, const TRect& Source);
  virtual void DrawOnGraphics(void* Graphics, const TRect& Dest, const TRect& Source);

protected:
  void AssignTo(TPersistent* Dest) override;
  void Changed() override;

private:
  struct TImageDeleter {
    void operator()(TlxGPImage* I) const { delete I; }
  };
  std::unique_ptr<TlxGPImage, TImageDeleter> FImage;
  bool FAlphaKnown = false;
};

void lxGDIPlusClassesInitialize();
void lxGDIPlusClassesFinalize();
