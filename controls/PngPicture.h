// Portable Network Graphics pictures: chunk model, decoder and encoder.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

class TPngPicture;
class TChunk;
class TChunkIHDR;

// ---------------------------------------------------------------------------
// Exceptions. Each class carries its own text; EPngError and EPNGZLIBError
// are given theirs.

#define PNG_DECLARE_EXCEPTION(Name)                                                                \
  class Name : public Exception {                                                                  \
  public:                                                                                          \
    Name();                                                                                        \
    explicit Name(std::wstring message) : Exception(std::move(message)) {}                         \
  }

PNG_DECLARE_EXCEPTION(EPNGInvalidFileHeader);
PNG_DECLARE_EXCEPTION(EPngUnexpectedEnd);
PNG_DECLARE_EXCEPTION(EPNGIHDRNotFirst);
PNG_DECLARE_EXCEPTION(EPNGUnknownCriticalChunk);
PNG_DECLARE_EXCEPTION(EPNGNoImageData);
PNG_DECLARE_EXCEPTION(EPngInvalidCRC);
PNG_DECLARE_EXCEPTION(EPngInvalidIHDR);
PNG_DECLARE_EXCEPTION(EPNGSizeExceeds);
PNG_DECLARE_EXCEPTION(EPNGUnknownCompression);
PNG_DECLARE_EXCEPTION(EPNGUnknownInterlace);
PNG_DECLARE_EXCEPTION(EPNGInvalidPalette);
PNG_DECLARE_EXCEPTION(EPNGMissingMultipleIDAT);
PNG_DECLARE_EXCEPTION(EPNGHeaderNotPresent);
PNG_DECLARE_EXCEPTION(EPNGOutMemory);

#undef PNG_DECLARE_EXCEPTION

class EPngError : public Exception {
public:
  using Exception::Exception;
};

class EPNGZLIBError : public Exception {
public:
  explicit EPNGZLIBError(int zlibResult);
};

// Texts of EPngError.
extern const wchar_t* const EPngErrorNoSuchPaletteEntry;
extern const wchar_t* const EPngErrorIncompatibleChunks;
extern const wchar_t* const EPngErrorCannotResize;
extern const wchar_t* const EPngErrorExistentCriticalChunk;
extern const wchar_t* const EPngErrorInvalidImageForChunk;

// The text of a zlib result code from -6 to 2 ("data error (-3)").
std::wstring PngZlibResultText(int code);

// Standard CRC-32 (reflected 0xEDB88320) continued over more bytes. Start
// with 0xFFFFFFFF and complement the final register.
uint32_t PngUpdateCrc(uint32_t crc, const void* data, size_t size);
uint32_t PngCrc(const void* data, size_t size);

// ---------------------------------------------------------------------------
// Lists

class TPNGPointerList : public TObject {
public:
  explicit TPNGPointerList(TPngPicture* owner) : FOwner(owner) {}
  ~TPNGPointerList() override = default;

  TPngPicture* Owner() const { return FOwner; }
  int Count() const { return static_cast<int>(FItems.size()); }
  void* GetItem(int index) const;
  void SetItem(int index, void* value);
  void SetSize(int size);
  void Add(void* value);
  void Insert(void* value, int position);
  // Removes the last slot holding the value; nullptr when absent.
  virtual void* Remove(void* value);

private:
  TPngPicture* FOwner;
  std::vector<void*> FItems;
};

class TPNGList : public TPNGPointerList {
public:
  using TPNGPointerList::TPNGPointerList;
  TChunk* Item(int index) const { return static_cast<TChunk*>(GetItem(index)); }
  // The first chunk of the class or a descendant.
  template <class T> T* ItemFromClass() const {
    for (int i = 0; i < Count(); ++i)
      if (auto* c = dynamic_cast<T*>(Item(i))) return c;
    return nullptr;
  }
  // Adds a new ancillary chunk at its place; raises EPngError for a critical
  // or second gAMA/tRNS chunk or when the image has no IHDR or IEND.
  template <class T> T* AddChunk() {
    T* chunk = new T(Owner());
    InsertChunk(chunk);
    return chunk;
  }
  void InsertChunk(TChunk* chunk);
};

// ---------------------------------------------------------------------------
// Chunks

class TChunk {
public:
  explicit TChunk(TPngPicture* owner);
  virtual ~TChunk() = default;
  TChunk(const TChunk&) = delete;
  TChunk& operator=(const TChunk&) = delete;

  // The chunk type of the class ("IHDR"); empty for the plain chunk.
  virtual std::string ClassChunkType() const { return {}; }
  virtual void CopyFrom(const TChunk& source);
  // Reads the data and CRC that follow the chunk's length and type.
  virtual bool ReadChunk(TStream& stream, const std::string& type, uint32_t size);
  virtual bool WriteChunk(TStream& stream);

  int Index() const;
  TChunkIHDR* Header() const;
  void ResizeData(uint32_t size);
  uint8_t* Data() { return Payload.data(); }
  const uint8_t* Data() const { return Payload.data(); }

  std::vector<uint8_t> Payload = std::vector<uint8_t>(1);
  uint32_t PayloadSize = 0;
  TPngPicture* OwnerPicture;
  std::string ChunkType;

protected:
  // Writes length, type, the first PayloadSize bytes and the CRC.
  bool WriteData(TStream& stream);
};

class TChunkIEND : public TChunk {
public:
  explicit TChunkIEND(TPngPicture* owner) : TChunk(owner) { ChunkType = "IEND"; }
  std::string ClassChunkType() const override { return "IEND"; }
};

class TChunkIHDR : public TChunk {
public:
  explicit TChunkIHDR(TPngPicture* owner);
  ~TChunkIHDR() override;
  std::string ClassChunkType() const override { return "IHDR"; }
  void CopyFrom(const TChunk& source) override;
  bool ReadChunk(TStream& stream, const std::string& type, uint32_t size) override;
  bool WriteChunk(TStream& stream) override;

  // Builds an empty image for the held header fields.
  void PrepareImageData();
  void FreeImageData();
  // Image row bytes and filter distance of the header's format.
  uint32_t RowBytes() const;
  uint32_t FilterDistance() const;
  int BitsPerPixel() const { return BitmapInfo.bmiHeader.biBitCount; }
  // Writes the gray ramp into the palette of gray images.
  void WriteGrayRamp();
  RGBQUAD* Palette() { return BitmapInfo.bmiColors; }

  uint32_t Width = 0;
  uint32_t Height = 0;
  uint8_t BitDepth = 0;
  uint8_t ColorType = 0;
  uint8_t CompressionMethod = 0;
  uint8_t FilterMethod = 0;
  uint8_t InterlaceMethod = 0;

  struct TBitmapInfo256 {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
  } BitmapInfo{};
  HDC ImageDC = nullptr;
  HBITMAP DibSection = nullptr;
  HGDIOBJ OldBitmap = nullptr;
  uint8_t* DibBits = nullptr;
  int RowStride = 0;
  std::vector<uint8_t> AlphaPlane;
  bool Palettized = false;
};

class TChunkIDAT : public TChunk {
public:
  explicit TChunkIDAT(TPngPicture* owner) : TChunk(owner) { ChunkType = "IDAT"; }
  std::string ClassChunkType() const override { return "IDAT"; }
  bool ReadChunk(TStream& stream, const std::string& type, uint32_t size) override;
  bool WriteChunk(TStream& stream) override;
};

class TChunkPLTE : public TChunk {
public:
  explicit TChunkPLTE(TPngPicture* owner) : TChunk(owner) { ChunkType = "PLTE"; }
  std::string ClassChunkType() const override { return "PLTE"; }
  void CopyFrom(const TChunk& source) override;
  bool ReadChunk(TStream& stream, const std::string& type, uint32_t size) override;
  bool WriteChunk(TStream& stream) override;
  // The header's palette entry as blue | green << 8 | red << 16.
  uint32_t Item(int index) const;

  int EntryCount = 0;
};

class TChunkgAMA : public TChunk {
public:
  explicit TChunkgAMA(TPngPicture* owner);
  std::string ClassChunkType() const override { return "gAMA"; }
  void CopyFrom(const TChunk& source) override;
  bool ReadChunk(TStream& stream, const std::string& type, uint32_t size) override;
  uint32_t Gamma() const;
  void SetGamma(uint32_t value);
};

class TChunktRNS : public TChunk {
public:
  explicit TChunktRNS(TPngPicture* owner) : TChunk(owner) { ChunkType = "tRNS"; }
  std::string ClassChunkType() const override { return "tRNS"; }
  void CopyFrom(const TChunk& source) override;
  bool ReadChunk(TStream& stream, const std::string& type, uint32_t size) override;
  bool WriteChunk(TStream& stream) override;
  // The transparent colour (0x00BBGGRR); 0 when there is none.
  COLORREF TransparentColor() const;
  void SetTransparentColor(COLORREF color);

  bool SingleKey = false;
  uint8_t AlphaValues[256]{};
};

class TChunktIME : public TChunk {
public:
  explicit TChunktIME(TPngPicture* owner) : TChunk(owner) { ChunkType = "tIME"; }
  std::string ClassChunkType() const override { return "tIME"; }
  void CopyFrom(const TChunk& source) override;
  bool ReadChunk(TStream& stream, const std::string& type, uint32_t size) override;
  bool WriteChunk(TStream& stream) override;

  uint16_t Year = 0;
  uint8_t Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

class TChunktEXt : public TChunk {
public:
  explicit TChunktEXt(TPngPicture* owner) : TChunk(owner) { ChunkType = "tEXt"; }
  std::string ClassChunkType() const override { return "tEXt"; }
  void CopyFrom(const TChunk& source) override;
  bool ReadChunk(TStream& stream, const std::string& type, uint32_t size) override;
  bool WriteChunk(TStream& stream) override;

  std::string Keyword;
  std::string TextString;
};

class TChunkzTXt : public TChunktEXt {
public:
  explicit TChunkzTXt(TPngPicture* owner) : TChunktEXt(owner) { ChunkType = "zTXt"; }
  std::string ClassChunkType() const override { return "zTXt"; }
  bool ReadChunk(TStream& stream, const std::string& type, uint32_t size) override;
  bool WriteChunk(TStream& stream) override;
};

// The chunk classes by type. A factory returns a new chunk owned by the picture.
using TChunkFactory = TChunk* (*)(TPngPicture* owner);
void RegisterChunk(const char* type, TChunkFactory factory);
// A new chunk of the registered class for the type, or a plain chunk.
TChunk* CreateChunkForType(const std::string& type, TPngPicture* owner);

// ---------------------------------------------------------------------------
// Picture

enum TFilter { pfNone = 0, pfSub = 1, pfUp = 2, pfAverage = 3, pfPaeth = 4 };
// Set of TFilter, bit n for filter n.
using TFilters = uint8_t;
constexpr TFilters FilterBit(TFilter f) {
  return static_cast<TFilters>(1u << f);
}

enum TPNGTransparencyMode { ptmNone, ptmBit, ptmPartial };

class TPngPicture : public TGraphic {
public:
  TPngPicture();
  ~TPngPicture() override;
  TPngPicture(const TPngPicture&) = delete;
  TPngPicture& operator=(const TPngPicture&) = delete;

  // Loading raises the EPng... exceptions.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void LoadFromBytes(const std::vector<std::uint8_t>& Data) override;
  void LoadFromBytes(const void* data, size_t size);
  std::vector<std::uint8_t> SaveToBytes() override;

  // Copies a picture or builds from a bitmap; other sources are refused.
  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  bool Transparent() const override;
  // Through a temporary bitmap: saving draws the picture into one, loading
  // builds the picture from one, without transparency.
  void LoadFromClipboardFormat(UINT AFormat, HANDLE AData, HPALETTE APalette) override;
  void SaveToClipboardFormat(UINT& AFormat, HANDLE& AData, HPALETTE& APalette) override;

  void ClearChunks();
  // This picture becomes a copy of the source.
  void AssignPng(const TPngPicture& source);
  // Builds the picture from a bitmap handle; with the transparent flag the
  // colour becomes its tRNS key.
  void AssignHandle(HBITMAP handle, bool transparent, COLORREF transparentColor);
  // Builds an empty picture of the given format and size.
  void CreateBlank(uint8_t colorType, uint8_t bitDepth, uint32_t width, uint32_t height);

  int Width() const override;
  int Height() const override;
  // Both raise EPngError: the size follows the image.
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  bool Empty() const override { return ChunkList.Count() == 0; }

  TChunkIHDR* HeaderChunk() const;
  // Image row counted from the top.
  uint8_t* RowAddress(int row) const;
  // Row of the alpha plane; nullptr for images without one.
  uint8_t* AlphaRowAddress(int row) const;

  TPNGTransparencyMode TransparencyKind() const;
  COLORREF KeyColor() const;
  void SetKeyColor(COLORREF color);
  virtual COLORREF PixelColor(int x, int y) const;
  virtual void SetPixelColor(int x, int y, COLORREF color);
  void AddAlphaChannel();

  // The picture's palette for gray and palette images, built on demand.
  HPALETTE GetPalette();
  void SetPalette(HPALETTE palette);

  // Draws into a rectangle of a device context.
  void DrawTo(HDC dc, const RECT& rect);
  // A new bitmap of the image; the caller owns it.
  HBITMAP CreateBitmapHandle() const;

  uint32_t IdatChunkLimit() const { return FIdatChunkLimit; }
  void SetIdatChunkLimit(uint32_t value) { FIdatChunkLimit = value < 65535 ? 65535 : value; }

  uint8_t GammaLut[256];
  uint8_t InverseGammaLut[256];
  HPALETTE PaletteHandle = nullptr;
  TFilters AllowedFilters = FilterBit(pfSub);
  uint8_t DeflateLevel = 7;
  uint8_t Interlacing = 0;
  TPNGList ChunkList;

  // Pictures larger than this many pixels are refused.
  static constexpr uint64_t MaxPixels = 1ull << 24;

protected:
  // A picture goes to another picture, or to a bitmap when it has a header.
  void AssignTo(TPersistent* Dest) override;

private:
  friend class TChunkIHDR;
  friend class TChunkgAMA;
  void ResetGamma();
  void LoadChunks(TStream& stream);
  void DrawPartialTrans(HDC dc, int x, int y);
  void DrawTransparentBitmap(HDC dc, COLORREF key, const RECT& rect);

  uint32_t FIdatChunkLimit = 65535;
};
