#include "controls/PngPicture.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <typeinfo>

// ---------------------------------------------------------------------------
// Exceptions

EPNGInvalidFileHeader::EPNGInvalidFileHeader()
    : Exception(L"The file being readed is not a valid \"Portable Network Graphics\" image because "
                L"it contains an invalid header. This file may be corruped, try obtaining it "
                L"again.") {}
EPngUnexpectedEnd::EPngUnexpectedEnd()
    : Exception(L"This \"Portable Network Graphics\" image is invalid because the decoder found an "
                L"unexpected end of the file.") {}
EPNGIHDRNotFirst::EPNGIHDRNotFirst()
    : Exception(L"This \"Portable Network Graphics\" image is not supported or it might be "
                L"invalid.\r\n(IHDR chunk is not the first)") {}
EPNGUnknownCriticalChunk::EPNGUnknownCriticalChunk()
    : Exception(L"This \"Portable Network Graphics\" image contains an unknown critical part which "
                L"could not be decoded.") {}
EPNGNoImageData::EPNGNoImageData()
    : Exception(L"This \"Portable Network Graphics\" image contains no data.") {}
EPngInvalidCRC::EPngInvalidCRC()
    : Exception(L"This \"Portable Network Graphics\" image is not valid because it contains "
                L"invalid pieces of data (crc error)") {}
EPngInvalidIHDR::EPngInvalidIHDR()
    : Exception(L"The \"Portable Network Graphics\" image could not be loaded because one of its "
                L"main piece of data (ihdr) might be corrupted") {}
EPNGSizeExceeds::EPNGSizeExceeds()
    : Exception(L"This \"Portable Network Graphics\" image is not supported because either it's "
                L"width or height exceeds the maximum size, which is 65535 pixels length.") {}
EPNGUnknownCompression::EPNGUnknownCompression()
    : Exception(L"This \"Portable Network Graphics\" image is encoded with an unknown compression "
                L"scheme which could not be decoded.") {}
EPNGUnknownInterlace::EPNGUnknownInterlace()
    : Exception(L"This \"Portable Network Graphics\" image uses an unknown interlace scheme which "
                L"could not be decoded.") {}
EPNGInvalidPalette::EPNGInvalidPalette()
    : Exception(L"The \"Portable Network Graphics\" image contains an invalid palette.") {}
EPNGMissingMultipleIDAT::EPNGMissingMultipleIDAT()
    : Exception(L"This \"Portable Network Graphics\" image is invalid because it has missing image "
                L"parts.") {}
EPNGHeaderNotPresent::EPNGHeaderNotPresent()
    : Exception(
          L"This operation is not valid because the current image contains no valid header.") {}
EPNGOutMemory::EPNGOutMemory()
    : Exception(L"Some operation could not be performed because the system is out of resources. "
                L"Close some windows and try again.") {}

const wchar_t* const EPngErrorNoSuchPaletteEntry = L"There is no such palette entry.";
const wchar_t* const EPngErrorIncompatibleChunks = L"The chunks must be compatible to be assigned.";
const wchar_t* const EPngErrorCannotResize =
    L"The \"Portable Network Graphics\" image can not be resize by changing width and height "
    L"properties. Try assigning the image from a bitmap.";
const wchar_t* const EPngErrorExistentCriticalChunk =
    L"The program tried to add a existent critical chunk to the current image which is not "
    L"allowed.";
const wchar_t* const EPngErrorInvalidImageForChunk =
    L"It's not allowed to add a new chunk because the current image is invalid.";

std::wstring PngZlibResultText(int code) {
  static const wchar_t* const texts[] = {L"incompatible version (-6)",
                                         L"buffer error (-5)",
                                         L"insufficient memory (-4)",
                                         L"data error (-3)",
                                         L"stream error (-2)",
                                         L"file error (-1)",
                                         L"(0)",
                                         L"stream end (1)",
                                         L"need dictionary (2)"};
  if (code < -6 || code > 2) return L"(" + std::to_wstring(code) + L")";
  return texts[code + 6];
}

EPNGZLIBError::EPNGZLIBError(int zlibResult)
    : Exception(L"Could not decompress the image because it contains invalid compressed "
                L"data.\r\n Description: " +
                PngZlibResultText(zlibResult)) {}

// ---------------------------------------------------------------------------
// CRC

namespace {

const uint32_t* CrcTable() {
  static const auto table = [] {
    static uint32_t t[256];
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

uint32_t ReadBE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void WriteBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

const uint8_t PngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// Chunks longer than this are refused before anything is allocated.
constexpr uint32_t MaxChunkLength = 0x7FFFFFFF;

// Reads exactly count bytes or raises EPngUnexpectedEnd.
void ReadExact(TStream& stream, void* buffer, size_t count) {
  if (count && stream.Read(buffer, long(count)) != long(count)) throw EPngUnexpectedEnd();
}

// Checks that a chunk of this data length and its CRC fit in what is left.
void CheckChunkLength(TStream& stream, uint32_t length) {
  int64_t pos = stream.Position(), size = stream.Size();
  uint64_t left = size > pos ? uint64_t(size - pos) : 0;
  if (length > MaxChunkLength || uint64_t(length) + 4 > left) throw EPngUnexpectedEnd();
}

void WriteAll(TStream& stream, const void* data, size_t count) {
  if (count && stream.Write(data, long(count)) != long(count))
    throw EPngError(L"Could not write the \"Portable Network Graphics\" image.");
}

uint8_t PaethPredictor(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return uint8_t(a);
  if (pb <= pc) return uint8_t(b);
  return uint8_t(c);
}

// Round half to even of a non-negative value.
int RoundEven(double v) {
  return static_cast<int>(std::nearbyint(v));
}

struct TAdam7Pass {
  int RowStart, ColStart, RowStep, ColStep;
};
const TAdam7Pass Adam7[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                             {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

// Row bytes and filter distance of a format for a row of the given width.
uint32_t FormatRowBytes(uint8_t colorType, uint8_t depth, uint32_t width) {
  uint64_t w = width, d = depth;
  switch (colorType) {
  case 0:
  case 3:
    return uint32_t((w * d + 7) / 8);
  case 2:
    return uint32_t(w * d * 3 / 8);
  case 4:
    return uint32_t(w * d * 2 / 8);
  case 6:
    return uint32_t(w * d * 4 / 8);
  default:
    return 0;
  }
}

uint32_t FormatFilterDistance(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
  case 0:
    return depth == 16 ? 2 : 1;
  case 3:
    return 1;
  case 2:
    return depth * 3 / 8;
  case 4:
    return depth / 4;
  case 6:
    return depth / 2;
  default:
    return 0;
  }
}

bool ValidFormat(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
  case 0:
    return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
  case 3:
    return depth == 1 || depth == 2 || depth == 4 || depth == 8;
  case 2:
  case 4:
  case 6:
    return depth == 8 || depth == 16;
  default:
    return false;
  }
}

// Sample of bit width d at index k of a packed row.
inline uint8_t PackedSample(const uint8_t* row, uint32_t k, int d) {
  uint32_t bit = k * d;
  return uint8_t((row[bit >> 3] >> (8 - d - (bit & 7))) & ((1 << d) - 1));
}

inline void SetPackedSample(uint8_t* row, uint32_t k, int d, uint8_t v) {
  uint32_t bit = k * d;
  int shift = 8 - d - int(bit & 7);
  uint8_t mask = uint8_t(((1 << d) - 1) << shift);
  row[bit >> 3] = uint8_t((row[bit >> 3] & ~mask) | ((v << shift) & mask));
}

// Registry of chunk classes.
struct TChunkClass {
  char Type[4];
  TChunkFactory Factory;
};

std::vector<TChunkClass>& ChunkClasses() {
  static std::vector<TChunkClass> classes = [] {
    std::vector<TChunkClass> v;
    auto add = [&v](const char* t, TChunkFactory f) {
      TChunkClass c;
      std::memcpy(c.Type, t, 4);
      c.Factory = f;
      v.push_back(c);
    };
    add("IEND", [](TPngPicture* o) -> TChunk* { return new TChunkIEND(o); });
    add("IHDR", [](TPngPicture* o) -> TChunk* { return new TChunkIHDR(o); });
    add("IDAT", [](TPngPicture* o) -> TChunk* { return new TChunkIDAT(o); });
    add("PLTE", [](TPngPicture* o) -> TChunk* { return new TChunkPLTE(o); });
    add("gAMA", [](TPngPicture* o) -> TChunk* { return new TChunkgAMA(o); });
    add("tRNS", [](TPngPicture* o) -> TChunk* { return new TChunktRNS(o); });
    add("tIME", [](TPngPicture* o) -> TChunk* { return new TChunktIME(o); });
    add("tEXt", [](TPngPicture* o) -> TChunk* { return new TChunktEXt(o); });
    add("zTXt", [](TPngPicture* o) -> TChunk* { return new TChunkzTXt(o); });
    return v;
  }();
  return classes;
}

} // namespace

uint32_t PngUpdateCrc(uint32_t crc, const void* data, size_t size) {
  const uint32_t* t = CrcTable();
  auto* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i)
    crc = t[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

uint32_t PngCrc(const void* data, size_t size) {
  return ~PngUpdateCrc(0xFFFFFFFFu, data, size);
}

void RegisterChunk(const char* type, TChunkFactory factory) {
  TChunkClass c;
  std::memcpy(c.Type, type, 4);
  c.Factory = factory;
  ChunkClasses().push_back(c);
}

TChunk* CreateChunkForType(const std::string& type, TPngPicture* owner) {
  for (const TChunkClass& c : ChunkClasses())
    if (type.size() == 4 && std::memcmp(c.Type, type.data(), 4) == 0) {
      TChunk* chunk = c.Factory(owner);
      chunk->ChunkType = type;
      return chunk;
    }
  TChunk* chunk = new TChunk(owner);
  chunk->ChunkType = type;
  return chunk;
}

// ---------------------------------------------------------------------------
// Lists

void* TPNGPointerList::GetItem(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[size_t(index)];
}

void TPNGPointerList::SetItem(int index, void* value) {
  if (index >= 0 && index < Count()) FItems[size_t(index)] = value;
}

void TPNGPointerList::SetSize(int size) {
  FItems.resize(size_t(std::max(size, 0)), nullptr);
}

void TPNGPointerList::Add(void* value) {
  FItems.push_back(value);
}

void TPNGPointerList::Insert(void* value, int position) {
  if (position >= 0 && position < Count()) FItems.insert(FItems.begin() + position, value);
}

void* TPNGPointerList::Remove(void* value) {
  for (int i = Count() - 1; i >= 0; --i)
    if (FItems[size_t(i)] == value) {
      FItems.erase(FItems.begin() + i);
      return value;
    }
  return nullptr;
}

void TPNGList::InsertChunk(TChunk* chunk) {
  std::unique_ptr<TChunk> guard(chunk);
  if (dynamic_cast<TChunkIHDR*>(chunk) || dynamic_cast<TChunkIDAT*>(chunk) ||
      dynamic_cast<TChunkPLTE*>(chunk) || dynamic_cast<TChunkIEND*>(chunk) ||
      (dynamic_cast<TChunkgAMA*>(chunk) && ItemFromClass<TChunkgAMA>()) ||
      (dynamic_cast<TChunktRNS*>(chunk) && ItemFromClass<TChunktRNS>()))
    throw EPngError(EPngErrorExistentCriticalChunk);
  if (!ItemFromClass<TChunkIEND>() || !ItemFromClass<TChunkIHDR>())
    throw EPngError(EPngErrorInvalidImageForChunk);
  auto indexOf = [this](TChunk* c) {
    for (int i = 0; i < Count(); ++i)
      if (Item(i) == c) return i;
    return -1;
  };
  int ihdr = indexOf(ItemFromClass<TChunkIHDR>());
  int at;
  if (dynamic_cast<TChunkgAMA*>(chunk)) {
    at = ihdr + 1;
  } else if (dynamic_cast<TChunktRNS*>(chunk)) {
    if (auto* plte = ItemFromClass<TChunkPLTE>())
      at = indexOf(plte) + 1;
    else if (auto* idat = ItemFromClass<TChunkIDAT>())
      at = indexOf(idat);
    else
      at = ihdr + 1;
  } else {
    at = indexOf(ItemFromClass<TChunkIEND>());
  }
  if (at >= Count())
    Add(chunk);
  else
    Insert(chunk, at);
  guard.release();
}

// ---------------------------------------------------------------------------
// Base chunk

TChunk::TChunk(TPngPicture* owner) : OwnerPicture(owner) {}

void TChunk::CopyFrom(const TChunk& source) {
  ChunkType = source.ChunkType;
  ResizeData(source.PayloadSize);
  if (PayloadSize) std::memcpy(Data(), source.Data(), PayloadSize);
}

int TChunk::Index() const {
  const TPNGList& list = OwnerPicture->ChunkList;
  for (int i = 0; i < list.Count(); ++i)
    if (list.Item(i) == this) return i;
  return -1;
}

TChunkIHDR* TChunk::Header() const {
  return dynamic_cast<TChunkIHDR*>(OwnerPicture->ChunkList.Item(0));
}

void TChunk::ResizeData(uint32_t size) {
  Payload.assign(size_t(size) + 1, 0);
  PayloadSize = size;
}

bool TChunk::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  CheckChunkLength(stream, size);
  ChunkType = type;
  ResizeData(size);
  if (size) ReadExact(stream, Data(), size);
  uint8_t crcBytes[4];
  ReadExact(stream, crcBytes, 4);
  uint32_t crc = PngUpdateCrc(0xFFFFFFFFu, type.data(), 4);
  crc = ~PngUpdateCrc(crc, Data(), size);
  if (crc != ReadBE32(crcBytes)) throw EPngInvalidCRC();
  return true;
}

bool TChunk::WriteData(TStream& stream) {
  uint8_t head[8];
  WriteBE32(head, PayloadSize);
  std::memcpy(head + 4, ChunkType.data(), 4);
  WriteAll(stream, head, 8);
  WriteAll(stream, Data(), PayloadSize);
  uint32_t crc = PngUpdateCrc(0xFFFFFFFFu, ChunkType.data(), 4);
  crc = ~PngUpdateCrc(crc, Data(), PayloadSize);
  uint8_t tail[4];
  WriteBE32(tail, crc);
  WriteAll(stream, tail, 4);
  return true;
}

bool TChunk::WriteChunk(TStream& stream) {
  if (ChunkType.size() != 4) return false;
  return WriteData(stream);
}

// ---------------------------------------------------------------------------
// IHDR

TChunkIHDR::TChunkIHDR(TPngPicture* owner) : TChunk(owner) {
  ChunkType = "IHDR";
}

TChunkIHDR::~TChunkIHDR() {
  FreeImageData();
}

void TChunkIHDR::FreeImageData() {
  if (ImageDC) {
    if (OldBitmap) SelectObject(ImageDC, OldBitmap);
    DeleteDC(ImageDC);
  }
  if (DibSection) DeleteObject(DibSection);
  ImageDC = nullptr;
  DibSection = nullptr;
  OldBitmap = nullptr;
  DibBits = nullptr;
  AlphaPlane.clear();
  AlphaPlane.shrink_to_fit();
}

uint32_t TChunkIHDR::RowBytes() const {
  return FormatRowBytes(ColorType, BitDepth, Width);
}

uint32_t TChunkIHDR::FilterDistance() const {
  return FormatFilterDistance(ColorType, BitDepth);
}

void TChunkIHDR::PrepareImageData() {
  std::memset(&BitmapInfo, 0, sizeof(BitmapInfo));
  FreeImageData();
  if (!ValidFormat(ColorType, BitDepth) || Width == 0 || Height == 0) throw EPngInvalidIHDR();
  if (Width > 65535 || Height > 65535) throw EPNGSizeExceeds();
  if (uint64_t(Width) * Height > TPngPicture::MaxPixels) throw EPNGOutMemory();
  int bpp;
  switch (ColorType) {
  case 0:
  case 3:
    bpp = BitDepth == 2 ? 4 : BitDepth == 16 ? 8 : BitDepth;
    break;
  case 4:
    bpp = 8;
    break;
  default:
    bpp = 24;
    break;
  }
  BITMAPINFOHEADER& h = BitmapInfo.bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = LONG(Width);
  h.biHeight = LONG(Height);
  h.biPlanes = 1;
  h.biBitCount = WORD(bpp);
  h.biCompression = BI_RGB;
  Palettized = ColorType == 0 || ColorType == 3 || ColorType == 4;
  RowStride = int(((uint64_t(bpp) * Width + 31) / 32) * 4);
  if (ColorType == 4 || ColorType == 6) AlphaPlane.assign(size_t(Width) * Height, 0);
  HDC screen = GetDC(nullptr);
  ImageDC = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  void* bits = nullptr;
  if (ImageDC)
    DibSection = CreateDIBSection(ImageDC, reinterpret_cast<BITMAPINFO*>(&BitmapInfo),
                                  DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!ImageDC || !DibSection || !bits) {
    FreeImageData();
    throw EPNGOutMemory();
  }
  OldBitmap = SelectObject(ImageDC, DibSection);
  DibBits = static_cast<uint8_t*>(bits);
  if (OwnerPicture->PaletteHandle) {
    DeleteObject(OwnerPicture->PaletteHandle);
    OwnerPicture->PaletteHandle = nullptr;
  }
  std::memset(DibBits, 0, size_t(RowStride) * Height);
}

void TChunkIHDR::WriteGrayRamp() {
  if (!Palettized || (ColorType != 0 && ColorType != 4)) return;
  int n = 1 << BitsPerPixel();
  for (int k = 0; k < n; ++k) {
    uint8_t v = OwnerPicture->GammaLut[MulDiv(k, 255, n - 1)];
    BitmapInfo.bmiColors[k] = RGBQUAD{v, v, v, 0};
  }
  if (DibSection && ImageDC) SetDIBColorTable(ImageDC, 0, UINT(n), BitmapInfo.bmiColors);
}

bool TChunkIHDR::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  TChunk::ReadChunk(stream, type, size);
  if (PayloadSize < 13) throw EPngInvalidIHDR();
  const uint8_t* d = Data();
  uint32_t w = ReadBE32(d), h = ReadBE32(d + 4);
  if (w > 65535 || h > 65535) throw EPNGSizeExceeds();
  Width = w;
  Height = h;
  BitDepth = d[8];
  ColorType = d[9];
  CompressionMethod = d[10];
  FilterMethod = d[11];
  InterlaceMethod = d[12];
  if (CompressionMethod != 0) throw EPNGUnknownCompression();
  if (InterlaceMethod > 1) throw EPNGUnknownInterlace();
  if (!ValidFormat(ColorType, BitDepth) || Width == 0 || Height == 0) throw EPngInvalidIHDR();
  OwnerPicture->Interlacing = InterlaceMethod;
  PrepareImageData();
  return true;
}

bool TChunkIHDR::WriteChunk(TStream& stream) {
  if (BitDepth == 2) BitDepth = 4;
  ResizeData(13);
  uint8_t* d = Data();
  WriteBE32(d, Width);
  WriteBE32(d + 4, Height);
  d[8] = BitDepth;
  d[9] = ColorType;
  d[10] = CompressionMethod;
  d[11] = FilterMethod;
  d[12] = OwnerPicture->Interlacing;
  return WriteData(stream);
}

void TChunkIHDR::CopyFrom(const TChunk& source) {
  auto* src = dynamic_cast<const TChunkIHDR*>(&source);
  if (!src) throw EPngError(EPngErrorIncompatibleChunks);
  ChunkType = src->ChunkType;
  Width = src->Width;
  Height = src->Height;
  BitDepth = src->BitDepth;
  ColorType = src->ColorType;
  CompressionMethod = src->CompressionMethod;
  FilterMethod = src->FilterMethod;
  InterlaceMethod = src->InterlaceMethod;
  if (!src->DibBits) {
    FreeImageData();
    return;
  }
  PrepareImageData();
  std::memcpy(DibBits, src->DibBits, size_t(RowStride) * Height);
  if (!AlphaPlane.empty() && src->AlphaPlane.size() == AlphaPlane.size())
    std::memcpy(AlphaPlane.data(), src->AlphaPlane.data(), AlphaPlane.size());
  std::memcpy(BitmapInfo.bmiColors, src->BitmapInfo.bmiColors, sizeof(BitmapInfo.bmiColors));
  if (BitsPerPixel() <= 8) SetDIBColorTable(ImageDC, 0, 1u << BitsPerPixel(), BitmapInfo.bmiColors);
}

// ---------------------------------------------------------------------------
// IDAT decoding

namespace {

class TIdatDecoder {
public:
  TIdatDecoder(TPngPicture& picture, TChunkIHDR& header, TStream& stream, uint32_t size)
      : FPicture(picture), FHeader(header), FStream(stream) {
    CheckChunkLength(stream, size);
    FChunkEnd = stream.Position() + size;
    FCrc = PngUpdateCrc(0xFFFFFFFFu, "IDAT", 4);
    FInput.resize(65535);
    std::memset(&FZ, 0, sizeof(FZ));
    int r = inflateInit(&FZ);
    if (r != Z_OK) throw EPNGZLIBError(r);
    FInitialised = true;
  }

  ~TIdatDecoder() {
    if (FInitialised) inflateEnd(&FZ);
  }

  void Decode() {
    if (FPicture.Interlacing == 0)
      DecodePass(0, 0, 1, 1, FHeader.Width);
    else if (FPicture.Interlacing == 1)
      for (const TAdam7Pass& p : Adam7) {
        if (int(FHeader.Width) <= p.ColStart) continue;
        uint32_t w = (FHeader.Width + p.ColStep - p.ColStart - 1) / p.ColStep;
        DecodePass(p.RowStart, p.ColStart, p.RowStep, p.ColStep, w);
      }
    // The rest of the current chunk belongs to its CRC.
    int64_t pos = FStream.Position();
    while (pos < FChunkEnd) {
      size_t n = size_t(std::min<int64_t>(int64_t(FInput.size()), FChunkEnd - pos));
      ReadExact(FStream, FInput.data(), n);
      FCrc = PngUpdateCrc(FCrc, FInput.data(), n);
      pos += n;
    }
    CheckCrc();
  }

private:
  void CheckCrc() {
    uint8_t b[4];
    ReadExact(FStream, b, 4);
    if (ReadBE32(b) != ~FCrc) throw EPngInvalidCRC();
  }

  // Fills count bytes of the row buffer; returns the bytes produced.
  size_t ReadRow(uint8_t* buffer, size_t count) {
    FZ.next_out = buffer;
    FZ.avail_out = uInt(count);
    while (FZ.avail_out > 0) {
      if (FZ.avail_in == 0) {
        while (FStream.Position() >= FChunkEnd) {
          CheckCrc();
          uint8_t head[8];
          ReadExact(FStream, head, 8);
          uint32_t length = ReadBE32(head);
          if (std::memcmp(head + 4, "IDAT", 4) != 0) throw EPNGMissingMultipleIDAT();
          CheckChunkLength(FStream, length);
          FCrc = PngUpdateCrc(0xFFFFFFFFu, "IDAT", 4);
          FChunkEnd = FStream.Position() + length;
        }
        size_t want =
            size_t(std::min<int64_t>(int64_t(FInput.size()), FChunkEnd - FStream.Position()));
        long got = FStream.Read(FInput.data(), long(want));
        if (got < 0) got = 0;
        if (got == 0) return count - FZ.avail_out;
        FCrc = PngUpdateCrc(FCrc, FInput.data(), size_t(got));
        FZ.next_in = FInput.data();
        FZ.avail_in = uInt(got);
      }
      int r = inflate(&FZ, Z_NO_FLUSH);
      if (r < 0 || r == Z_NEED_DICT) throw EPNGZLIBError(r);
      // The compressed stream ended before the image did.
      if (r == Z_STREAM_END && FZ.avail_out > 0) throw EPNGMissingMultipleIDAT();
    }
    return count;
  }

  static void Unfilter(uint8_t* row, const uint8_t* prev, size_t bytes, size_t bpp) {
    uint8_t* d = row + 1;
    const uint8_t* up = prev + 1;
    switch (row[0]) {
    case 1:
      for (size_t i = bpp; i < bytes; ++i)
        d[i] = uint8_t(d[i] + d[i - bpp]);
      break;
    case 2:
      for (size_t i = 0; i < bytes; ++i)
        d[i] = uint8_t(d[i] + up[i]);
      break;
    case 3:
      for (size_t i = 0; i < bytes; ++i) {
        int left = i >= bpp ? d[i - bpp] : 0;
        d[i] = uint8_t(d[i] + ((left + up[i]) >> 1));
      }
      break;
    case 4:
      for (size_t i = 0; i < bytes; ++i) {
        int a = i >= bpp ? d[i - bpp] : 0, c = i >= bpp ? up[i - bpp] : 0;
        d[i] = uint8_t(d[i] + PaethPredictor(a, up[i], c));
      }
      break;
    default:
      break;
    }
  }

  void DecodePass(int rowStart, int colStart, int rowStep, int colStep, uint32_t passWidth) {
    uint32_t rowBytes = FormatRowBytes(FHeader.ColorType, FHeader.BitDepth, passWidth);
    if (rowBytes == 0) return;
    size_t bpp = std::max<uint32_t>(1, FHeader.FilterDistance());
    std::vector<uint8_t> a(rowBytes + 1, 0), b(rowBytes + 1, 0);
    uint8_t* current = a.data();
    uint8_t* previous = b.data();
    for (uint32_t y = uint32_t(rowStart); y < FHeader.Height; y += uint32_t(rowStep)) {
      std::memset(current, 0, rowBytes + 1);
      size_t got = ReadRow(current, rowBytes + 1);
      if (got == 0) return;
      Unfilter(current, previous, rowBytes, bpp);
      ConvertRow(current + 1, y, uint32_t(colStart), uint32_t(colStep), passWidth);
      std::swap(current, previous);
      if (got < rowBytes + 1) return;
    }
  }

  void ConvertRow(const uint8_t* src, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count) {
    TChunkIHDR& h = FHeader;
    uint8_t* dib = h.DibBits + size_t(h.RowStride) * (h.Height - 1 - y);
    uint8_t* alpha = h.AlphaPlane.empty() ? nullptr : h.AlphaPlane.data() + size_t(y) * h.Width;
    const uint8_t* gamma = FPicture.GammaLut;
    const int depth = h.BitDepth;
    for (uint32_t k = 0; k < count; ++k) {
      uint32_t x = x0 + k * dx;
      if (x >= h.Width) break;
      switch (h.ColorType) {
      case 0:
      case 3:
        if (depth == 16) {
          dib[x] = src[k * 2];
        } else if (depth == 8) {
          dib[x] = src[k];
        } else {
          uint8_t v = PackedSample(src, k, depth);
          int outDepth = depth;
          if (depth == 2) {
            // Held as 4-bit samples: gray levels 0, 5, 10, 15 of the 16-entry
            // ramp give the standard 0, 85, 170, 255.
            outDepth = 4;
            if (h.ColorType == 0) v = uint8_t(v * 5);
          }
          SetPackedSample(dib, x, outDepth, v);
        }
        break;
      case 2:
      case 6: {
        int channels = h.ColorType == 2 ? 3 : 4;
        int sampleBytes = depth / 8;
        const uint8_t* p = src + size_t(k) * channels * sampleBytes;
        dib[x * 3 + 0] = gamma[p[2 * sampleBytes]];
        dib[x * 3 + 1] = gamma[p[1 * sampleBytes]];
        dib[x * 3 + 2] = gamma[p[0]];
        if (alpha) alpha[x] = p[3 * sampleBytes];
        break;
      }
      case 4: {
        int sampleBytes = depth / 8;
        const uint8_t* p = src + size_t(k) * 2 * sampleBytes;
        dib[x] = p[0];
        if (alpha) alpha[x] = p[sampleBytes];
        break;
      }
      default:
        break;
      }
    }
  }

  TPngPicture& FPicture;
  TChunkIHDR& FHeader;
  TStream& FStream;
  int64_t FChunkEnd = 0;
  uint32_t FCrc = 0;
  std::vector<uint8_t> FInput;
  z_stream FZ;
  bool FInitialised = false;
};

} // namespace

bool TChunkIDAT::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  ChunkType = type;
  TChunkIHDR* header = Header();
  if (!header || !header->DibBits) throw EPNGHeaderNotPresent();
  if (header->Palettized && (header->ColorType == 0 || header->ColorType == 4))
    header->WriteGrayRamp();
  TIdatDecoder decoder(*OwnerPicture, *header, stream, size);
  decoder.Decode();
  return true;
}

// ---------------------------------------------------------------------------
// IDAT encoding

namespace {

class TIdatEncoder {
public:
  TIdatEncoder(TPngPicture& picture, TChunkIHDR& header, TStream& stream)
      : FPicture(picture), FHeader(header), FStream(stream) {
    FLimit = picture.IdatChunkLimit();
    FOutput.resize(FLimit);
    std::memset(&FZ, 0, sizeof(FZ));
    int r = deflateInit(&FZ, std::clamp<int>(picture.DeflateLevel, 0, 9));
    if (r != Z_OK) throw EPNGZLIBError(r);
    FInitialised = true;
    FZ.next_out = FOutput.data();
    FZ.avail_out = uInt(FLimit);
  }

  ~TIdatEncoder() {
    if (FInitialised) deflateEnd(&FZ);
  }

  void Encode() {
    if (FPicture.Interlacing == 0)
      EncodePass(0, 0, 1, 1, FHeader.Width);
    else if (FPicture.Interlacing == 1)
      for (const TAdam7Pass& p : Adam7) {
        if (int(FHeader.Width) <= p.ColStart) continue;
        uint32_t w = (FHeader.Width + p.ColStep - p.ColStart - 1) / p.ColStep;
        EncodePass(p.RowStart, p.ColStart, p.RowStep, p.ColStep, w);
      }
    Finish();
  }

private:
  void WriteIdat(const uint8_t* data, uint32_t size) {
    uint8_t head[8];
    WriteBE32(head, size);
    std::memcpy(head + 4, "IDAT", 4);
    WriteAll(FStream, head, 8);
    WriteAll(FStream, data, size);
    uint32_t crc = ~PngUpdateCrc(PngUpdateCrc(0xFFFFFFFFu, "IDAT", 4), data, size);
    uint8_t tail[4];
    WriteBE32(tail, crc);
    WriteAll(FStream, tail, 4);
  }

  void Flush() {
    WriteIdat(FOutput.data(), FLimit - FZ.avail_out);
    FZ.next_out = FOutput.data();
    FZ.avail_out = uInt(FLimit);
  }

  void Feed(const uint8_t* data, size_t size) {
    FZ.next_in = const_cast<Bytef*>(data);
    FZ.avail_in = uInt(size);
    while (FZ.avail_in > 0) {
      int r = deflate(&FZ, Z_NO_FLUSH);
      if (r < 0 && r != Z_BUF_ERROR) throw EPNGZLIBError(r);
      if (FZ.avail_out == 0) Flush();
    }
  }

  void Finish() {
    for (;;) {
      int r = deflate(&FZ, Z_FINISH);
      if (r == Z_STREAM_END) break;
      if (r < 0 && r != Z_BUF_ERROR) throw EPNGZLIBError(r);
      Flush();
    }
    if (FZ.avail_out < FLimit) Flush();
  }

  // The image row converted to raw PNG bytes.
  void ConvertRow(uint8_t* raw, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count,
                  uint32_t rowBytes) {
    TChunkIHDR& h = FHeader;
    std::memset(raw, 0, rowBytes);
    const uint8_t* dib = h.DibBits + size_t(h.RowStride) * (h.Height - 1 - y);
    const uint8_t* alpha =
        h.AlphaPlane.empty() ? nullptr : h.AlphaPlane.data() + size_t(y) * h.Width;
    const uint8_t* inv = FPicture.InverseGammaLut;
    const int depth = h.BitDepth;
    const int sb = depth == 16 ? 2 : 1;
    auto put = [&](size_t at, uint8_t v) {
      raw[at * sb] = v; // 16-bit samples keep 0 as their low byte
    };
    for (uint32_t k = 0; k < count; ++k) {
      uint32_t x = x0 + k * dx;
      switch (h.ColorType) {
      case 0:
      case 3:
        if (depth == 16 || depth == 8)
          put(k, dib[x]);
        else
          SetPackedSample(raw, k, depth, PackedSample(dib, x, depth));
        break;
      case 2:
      case 6: {
        size_t ch = h.ColorType == 2 ? 3 : 4;
        put(k * ch + 0, inv[dib[x * 3 + 2]]);
        put(k * ch + 1, inv[dib[x * 3 + 1]]);
        put(k * ch + 2, inv[dib[x * 3 + 0]]);
        if (ch == 4) put(k * ch + 3, alpha ? alpha[x] : 255);
        break;
      }
      case 4:
        put(k * 2, dib[x]);
        put(k * 2 + 1, alpha ? alpha[x] : 255);
        break;
      default:
        break;
      }
    }
  }

  static int Score(const uint8_t* row, size_t bytes) {
    int score = 0;
    for (size_t j = 2; j < bytes; ++j)
      if (row[j] == row[j - 1] || row[j] == row[j - 2]) ++score;
    return score;
  }

  void EncodePass(int rowStart, int colStart, int rowStep, int colStep, uint32_t passWidth) {
    uint32_t rowBytes = FormatRowBytes(FHeader.ColorType, FHeader.BitDepth, passWidth);
    if (rowBytes == 0) return;
    size_t bpp = std::max<uint32_t>(1, FHeader.FilterDistance());
    std::vector<uint8_t> raw(rowBytes), prev(rowBytes, 0);
    std::vector<uint8_t> cand[5];
    const TFilters allowed = FPicture.AllowedFilters;
    for (int f = 1; f <= 4; ++f)
      if (allowed & (1u << f)) cand[f].resize(rowBytes);
    for (uint32_t y = uint32_t(rowStart); y < FHeader.Height; y += uint32_t(rowStep)) {
      ConvertRow(raw.data(), y, uint32_t(colStart), uint32_t(colStep), passWidth, rowBytes);
      for (size_t i = 0; i < rowBytes; ++i) {
        int left = i >= bpp ? raw[i - bpp] : 0;
        int above = prev[i];
        int upLeft = i >= bpp ? prev[i - bpp] : 0;
        if (!cand[1].empty()) cand[1][i] = uint8_t(raw[i] - left);
        if (!cand[2].empty()) cand[2][i] = uint8_t(raw[i] - above);
        if (!cand[3].empty()) cand[3][i] = uint8_t(raw[i] - ((left + above) >> 1));
        if (!cand[4].empty()) cand[4][i] = uint8_t(raw[i] - PaethPredictor(left, above, upLeft));
      }
      prev = raw;
      const uint8_t* rows[5] = {prev.data(), cand[1].data(), cand[2].data(), cand[3].data(),
                                cand[4].data()};
      uint8_t chosen = 0;
      int kinds = 0, only = 0;
      for (int f = 0; f <= 4; ++f)
        if (allowed & (1u << f)) {
          ++kinds;
          only = f;
        }
      if (kinds == 0 || allowed == FilterBit(pfNone)) {
        chosen = 0;
      } else if (kinds == 1) {
        chosen = uint8_t(only);
      } else {
        int best = 0;
        for (int f = 0; f <= 4; ++f) {
          if (!(allowed & (1u << f))) continue;
          int s = Score(rows[f], rowBytes);
          if (s > best) {
            best = s;
            chosen = uint8_t(f);
          }
        }
      }
      Feed(&chosen, 1);
      Feed(rows[chosen], rowBytes);
    }
  }

  TPngPicture& FPicture;
  TChunkIHDR& FHeader;
  TStream& FStream;
  uint32_t FLimit = 65535;
  std::vector<uint8_t> FOutput;
  z_stream FZ;
  bool FInitialised = false;
};

} // namespace

bool TChunkIDAT::WriteChunk(TStream& stream) {
  TChunkIHDR* header = Header();
  if (!header || !header->DibBits) return false;
  TIdatEncoder encoder(*OwnerPicture, *header, stream);
  encoder.Encode();
  return true;
}

// ---------------------------------------------------------------------------
// PLTE

bool TChunkPLTE::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  TChunk::ReadChunk(stream, type, size);
  if (PayloadSize % 3 != 0 || PayloadSize / 3 > 256) throw EPNGInvalidPalette();
  TChunkIHDR* header = Header();
  if (!header) throw EPNGHeaderNotPresent();
  EntryCount = int(PayloadSize / 3);
  const uint8_t* g = OwnerPicture->GammaLut;
  const uint8_t* d = Data();
  for (int k = 0; k < EntryCount; ++k)
    header->BitmapInfo.bmiColors[k] = RGBQUAD{g[d[k * 3 + 2]], g[d[k * 3 + 1]], g[d[k * 3]], 0};
  if (header->ImageDC && header->BitsPerPixel() <= 8)
    SetDIBColorTable(header->ImageDC, 0, 1u << header->BitsPerPixel(),
                     header->BitmapInfo.bmiColors);
  return true;
}

bool TChunkPLTE::WriteChunk(TStream& stream) {
  TChunkIHDR* header = Header();
  int n = std::clamp(EntryCount, 0, 256);
  ResizeData(uint32_t(n * 3));
  const uint8_t* inv = OwnerPicture->InverseGammaLut;
  for (int k = 0; k < n; ++k) {
    RGBQUAD q = header ? header->BitmapInfo.bmiColors[k] : RGBQUAD{};
    Data()[k * 3] = inv[q.rgbRed];
    Data()[k * 3 + 1] = inv[q.rgbGreen];
    Data()[k * 3 + 2] = inv[q.rgbBlue];
  }
  return WriteData(stream);
}

void TChunkPLTE::CopyFrom(const TChunk& source) {
  auto* src = dynamic_cast<const TChunkPLTE*>(&source);
  if (!src) throw EPngError(EPngErrorIncompatibleChunks);
  TChunk::CopyFrom(source);
  EntryCount = src->EntryCount;
}

uint32_t TChunkPLTE::Item(int index) const {
  if (index < 0 || index > EntryCount - 1) throw EPngError(EPngErrorNoSuchPaletteEntry);
  TChunkIHDR* header = Header();
  if (!header) throw EPNGHeaderNotPresent();
  RGBQUAD q = header->BitmapInfo.bmiColors[index];
  return uint32_t(q.rgbBlue) | (uint32_t(q.rgbGreen) << 8) | (uint32_t(q.rgbRed) << 16);
}

// ---------------------------------------------------------------------------
// gAMA

TChunkgAMA::TChunkgAMA(TPngPicture* owner) : TChunk(owner) {
  ChunkType = "gAMA";
  SetGamma(1);
}

uint32_t TChunkgAMA::Gamma() const {
  return PayloadSize == 4 ? ReadBE32(Data()) : 1;
}

void TChunkgAMA::SetGamma(uint32_t value) {
  ResizeData(4);
  WriteBE32(Data(), value);
}

bool TChunkgAMA::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  TChunk::ReadChunk(stream, type, size);
  uint32_t value = 1;
  if (PayloadSize == 4)
    value = ReadBE32(Data());
  else
    SetGamma(1);
  if (value != 0) {
    double exponent = 1.0 / (value / 100000.0 * 2.2);
    for (int i = 0; i < 256; ++i) {
      int g = RoundEven(255.0 * std::pow(i / 255.0, exponent));
      g = std::clamp(g, 0, 255);
      OwnerPicture->GammaLut[i] = uint8_t(g);
      OwnerPicture->InverseGammaLut[g] = uint8_t(i);
    }
  }
  return true;
}

void TChunkgAMA::CopyFrom(const TChunk& source) {
  auto* src = dynamic_cast<const TChunkgAMA*>(&source);
  if (!src) throw EPngError(EPngErrorIncompatibleChunks);
  SetGamma(src->Gamma());
}

// ---------------------------------------------------------------------------
// tRNS

bool TChunktRNS::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  TChunk::ReadChunk(stream, type, size);
  if (PayloadSize > 256) throw EPNGInvalidPalette();
  std::memset(AlphaValues, 255, sizeof(AlphaValues));
  std::memcpy(AlphaValues, Data(), PayloadSize);
  TChunkIHDR* header = Header();
  if (header) {
    switch (header->ColorType) {
    case 0:
    case 2:
      SingleKey = true;
      break;
    case 3: {
      int below = 0;
      for (uint32_t i = 0; i < PayloadSize; ++i)
        if (AlphaValues[i] != 255) ++below;
      SingleKey = below == 1;
      break;
    }
    default:
      break;
    }
  }
  return true;
}

bool TChunktRNS::WriteChunk(TStream& stream) {
  if (PayloadSize <= 256) std::memcpy(Data(), AlphaValues, PayloadSize);
  return WriteData(stream);
}

void TChunktRNS::CopyFrom(const TChunk& source) {
  TChunk::CopyFrom(source);
  if (auto* src = dynamic_cast<const TChunktRNS*>(&source)) {
    std::memcpy(AlphaValues, src->AlphaValues, sizeof(AlphaValues));
    SingleKey = src->SingleKey;
  }
}

COLORREF TChunktRNS::TransparentColor() const {
  TChunkIHDR* header = Header();
  if (!header) return 0;
  // The 8-bit value held for a 16-bit key: the high byte for 16-bit images,
  // the sample scaled to 0..255 below 8 bits, else the low byte.
  auto level = [this, header](int at) -> uint8_t {
    if (PayloadSize < uint32_t(at + 2)) return 0;
    uint16_t v = uint16_t((AlphaValues[at] << 8) | AlphaValues[at + 1]);
    int depth = header->BitDepth;
    if (depth == 16) return uint8_t(v >> 8);
    if (depth < 8) return uint8_t(MulDiv(v & ((1 << depth) - 1), 255, (1 << depth) - 1));
    return uint8_t(v & 0xFF);
  };
  switch (header->ColorType) {
  case 0: {
    uint8_t v = level(0);
    return RGB(v, v, v);
  }
  case 2:
    return RGB(level(0), level(2), level(4));
  case 3:
    for (uint32_t i = 0; i < PayloadSize && i < 256; ++i)
      if (AlphaValues[i] == 0) {
        RGBQUAD q = header->BitmapInfo.bmiColors[i];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
      }
    return 0;
  default:
    return 0;
  }
}

void TChunktRNS::SetTransparentColor(COLORREF color) {
  TChunkIHDR* header = Header();
  std::memset(AlphaValues, 0, sizeof(AlphaValues));
  SingleKey = true;
  if (!header) return;
  int depth = header->BitDepth;
  auto sample = [depth](uint8_t v) -> uint16_t {
    if (depth == 16) return uint16_t(v << 8);
    if (depth < 8) return uint16_t(MulDiv(v, (1 << depth) - 1, 255));
    return v;
  };
  switch (header->ColorType) {
  case 0: {
    ResizeData(2);
    uint16_t v = sample(GetRValue(color));
    AlphaValues[0] = uint8_t(v >> 8);
    AlphaValues[1] = uint8_t(v);
    break;
  }
  case 2: {
    ResizeData(6);
    uint16_t c[3] = {sample(GetRValue(color)), sample(GetGValue(color)), sample(GetBValue(color))};
    for (int i = 0; i < 3; ++i) {
      AlphaValues[i * 2] = uint8_t(c[i] >> 8);
      AlphaValues[i * 2 + 1] = uint8_t(c[i]);
    }
    break;
  }
  case 3: {
    int entries = header->BitsPerPixel() <= 8 ? 1 << header->BitsPerPixel() : 256;
    int found = 0;
    for (int i = 0; i < entries; ++i) {
      RGBQUAD q = header->BitmapInfo.bmiColors[i];
      if (q.rgbRed == GetRValue(color) && q.rgbGreen == GetGValue(color) &&
          q.rgbBlue == GetBValue(color)) {
        found = i;
        break;
      }
    }
    for (int i = 0; i < found; ++i)
      AlphaValues[i] = 255;
    ResizeData(uint32_t(found + 1));
    break;
  }
  default:
    break;
  }
  std::memcpy(Data(), AlphaValues, PayloadSize);
}

// ---------------------------------------------------------------------------
// tIME, tEXt, zTXt

bool TChunktIME::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  TChunk::ReadChunk(stream, type, size);
  if (PayloadSize == 7) {
    const uint8_t* d = Data();
    Year = uint16_t(d[0] * 256 + d[1]);
    Month = d[2];
    Day = d[3];
    Hour = d[4];
    Minute = d[5];
    Second = d[6];
  }
  return true;
}

bool TChunktIME::WriteChunk(TStream& stream) {
  ResizeData(7);
  uint8_t* d = Data();
  d[0] = uint8_t(Year >> 8);
  d[1] = uint8_t(Year);
  d[2] = Month;
  d[3] = Day;
  d[4] = Hour;
  d[5] = Minute;
  d[6] = Second;
  return WriteData(stream);
}

void TChunktIME::CopyFrom(const TChunk& source) {
  TChunk::CopyFrom(source);
  if (auto* src = dynamic_cast<const TChunktIME*>(&source)) {
    Year = src->Year;
    Month = src->Month;
    Day = src->Day;
    Hour = src->Hour;
    Minute = src->Minute;
    Second = src->Second;
  }
}

namespace {

// Length of the keyword: up to the first zero byte, or the whole data.
size_t KeywordLength(const uint8_t* d, size_t size) {
  const void* zero = std::memchr(d, 0, size);
  return zero ? size_t(static_cast<const uint8_t*>(zero) - d) : size;
}

// Largest uncompressed text kept from a zTXt chunk.
constexpr size_t MaxInflatedText = 1u << 20;

} // namespace

bool TChunktEXt::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  TChunk::ReadChunk(stream, type, size);
  if (PayloadSize >= 3) {
    const uint8_t* d = Data();
    size_t k = KeywordLength(d, PayloadSize);
    Keyword.assign(reinterpret_cast<const char*>(d), k);
    if (k + 1 <= PayloadSize)
      TextString.assign(reinterpret_cast<const char*>(d + k + 1), PayloadSize - k - 1);
    else
      TextString.clear();
  }
  return true;
}

bool TChunktEXt::WriteChunk(TStream& stream) {
  ResizeData(uint32_t(Keyword.size() + TextString.size() + 1));
  uint8_t* d = Data();
  std::memcpy(d, Keyword.data(), Keyword.size());
  d[Keyword.size()] = 0;
  std::memcpy(d + Keyword.size() + 1, TextString.data(), TextString.size());
  return WriteData(stream);
}

void TChunktEXt::CopyFrom(const TChunk& source) {
  TChunk::CopyFrom(source);
  if (auto* src = dynamic_cast<const TChunktEXt*>(&source)) {
    Keyword = src->Keyword;
    TextString = src->TextString;
  }
}

bool TChunkzTXt::ReadChunk(TStream& stream, const std::string& type, uint32_t size) {
  TChunktEXt::ReadChunk(stream, type, size);
  if (PayloadSize < 4) return true;
  const uint8_t* d = Data();
  size_t k = KeywordLength(d, PayloadSize);
  Keyword.assign(reinterpret_cast<const char*>(d), k);
  TextString.clear();
  // Method byte after the keyword's zero, then the compressed text.
  if (k + 2 > PayloadSize || d[k + 1] != 0) return true;
  z_stream z;
  std::memset(&z, 0, sizeof(z));
  if (inflateInit(&z) != Z_OK) return true;
  z.next_in = const_cast<Bytef*>(d + k + 2);
  z.avail_in = uInt(PayloadSize - k - 2);
  std::string out;
  char buffer[4096];
  int r;
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof(buffer);
    r = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof(buffer) - z.avail_out);
    if (out.size() > MaxInflatedText) {
      r = Z_MEM_ERROR;
      break;
    }
  } while (r == Z_OK);
  inflateEnd(&z);
  if (r == Z_STREAM_END) TextString = std::move(out);
  return true;
}

bool TChunkzTXt::WriteChunk(TStream& stream) {
  if (TextString.empty()) TextString = " ";
  uLongf bound = compressBound(uLong(TextString.size()));
  std::vector<uint8_t> packed(bound);
  if (compress2(packed.data(), &bound, reinterpret_cast<const Bytef*>(TextString.data()),
                uLong(TextString.size()),
                std::clamp<int>(OwnerPicture->DeflateLevel, 0, 9)) != Z_OK)
    return false;
  ResizeData(uint32_t(Keyword.size() + 2 + bound));
  uint8_t* d = Data();
  std::memcpy(d, Keyword.data(), Keyword.size());
  d[Keyword.size()] = 0;
  d[Keyword.size() + 1] = 0;
  std::memcpy(d + Keyword.size() + 2, packed.data(), bound);
  return WriteData(stream);
}

// ---------------------------------------------------------------------------
// Picture

TPngPicture::TPngPicture() : ChunkList(this) {
  ResetGamma();
}

TPngPicture::~TPngPicture() {
  ClearChunks();
  if (PaletteHandle) DeleteObject(PaletteHandle);
}

void TPngPicture::ResetGamma() {
  for (int i = 0; i < 256; ++i) {
    GammaLut[i] = uint8_t(i);
    InverseGammaLut[i] = uint8_t(i);
  }
}

void TPngPicture::ClearChunks() {
  ResetGamma();
  for (int i = 0; i < ChunkList.Count(); ++i)
    delete ChunkList.Item(i);
  ChunkList.SetSize(0);
}

void TPngPicture::LoadFromStream(TStream* Stream) {
  try {
    LoadChunks(*Stream);
  } catch (const std::bad_alloc&) {
    throw EPNGOutMemory();
  }
  Changed();
}

void TPngPicture::LoadChunks(TStream& stream) {
  ClearChunks();
  uint8_t signature[8];
  if (stream.Read(signature, 8) != 8 || std::memcmp(signature, PngSignature, 8) != 0)
    throw EPNGInvalidFileHeader();
  bool hasIdat = false;
  for (;;) {
    uint8_t head[4];
    if (stream.Read(head, 4) != 4) throw EPngUnexpectedEnd();
    uint32_t length = ReadBE32(head);
    char typeBytes[4];
    ReadExact(stream, typeBytes, 4);
    std::string type(typeBytes, 4);
    if (ChunkList.Count() == 0 && type != "IHDR") throw EPNGIHDRNotFirst();
    CheckChunkLength(stream, length);
    if (type == "cHRM" || (type == "IDAT" && hasIdat)) {
      stream.SetPosition(stream.Position() + length + 4);
      continue;
    }
    TChunk* chunk = CreateChunkForType(type, this);
    ChunkList.Add(chunk);
    if (typeid(*chunk) == typeid(TChunk) && !(uint8_t(type[0]) & 0x20))
      throw EPNGUnknownCriticalChunk();
    // Image data needs the header's image, and the header comes once.
    if ((type == "IDAT" || type == "PLTE") && !HeaderChunk()->DibBits) throw EPNGHeaderNotPresent();
    if (type == "IHDR" && ChunkList.Count() > 1) throw EPngInvalidIHDR();
    bool more = chunk->ReadChunk(stream, type, length);
    if (type == "IDAT") hasIdat = true;
    if (!more || type == "IEND") break;
  }
  if (!hasIdat) throw EPNGNoImageData();
}

void TPngPicture::SaveToStream(TStream* Stream) {
  WriteAll(*Stream, PngSignature, 8);
  for (int i = 0; i < ChunkList.Count(); ++i)
    ChunkList.Item(i)->WriteChunk(*Stream);
}

void TPngPicture::LoadFromBytes(const void* data, size_t size) {
  TMemoryStream stream;
  if (size) stream.WriteBuffer(data, long(size));
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

void TPngPicture::LoadFromBytes(const std::vector<std::uint8_t>& Data) {
  LoadFromBytes(Data.data(), Data.size());
}

std::vector<uint8_t> TPngPicture::SaveToBytes() {
  TMemoryStream stream;
  SaveToStream(&stream);
  auto* p = static_cast<const uint8_t*>(stream.Memory());
  return std::vector<uint8_t>(p, p + stream.Size());
}

void TPngPicture::Assign(TPersistent* Source) {
  if (auto* png = dynamic_cast<TPngPicture*>(Source)) {
    AssignPng(*png);
    Changed();
  } else if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
    AssignHandle(bmp->Handle(), bmp->Transparent(), ColorToRGB(bmp->TransparentColor()));
    Changed();
  } else {
    TGraphic::Assign(Source);
  }
}

void TPngPicture::AssignTo(TPersistent* Dest) {
  if (auto* png = dynamic_cast<TPngPicture*>(Dest)) {
    png->AssignPng(*this);
    return;
  }
  auto* bmp = dynamic_cast<TBitmap*>(Dest);
  if (bmp && dynamic_cast<TChunkIHDR*>(ChunkList.Item(0))) {
    HBITMAP handle = CreateBitmapHandle();
    if (!handle) throw EPNGOutMemory();
    bmp->SetHandle(handle);
    DeleteObject(handle);
    if (TransparencyKind() == ptmBit) {
      bmp->SetTransparentColor(KeyColor());
      bmp->SetTransparentMode(tmFixed);
      bmp->SetTransparent(true);
    }
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TPngPicture::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (ACanvas) DrawTo(ACanvas->Handle(), Rect);
}

void TPngPicture::AssignPng(const TPngPicture& source) {
  if (&source == this) return;
  Interlacing = source.Interlacing;
  SetIdatChunkLimit(source.IdatChunkLimit());
  DeflateLevel = source.DeflateLevel;
  AllowedFilters = source.AllowedFilters;
  ClearChunks();
  for (int i = 0; i < source.ChunkList.Count(); ++i) {
    const TChunk* src = source.ChunkList.Item(i);
    TChunk* copy = CreateChunkForType(src->ChunkType, this);
    if (typeid(*copy) != typeid(*src)) {
      delete copy;
      copy = new TChunk(this);
    }
    ChunkList.Add(copy);
    copy->CopyFrom(*src);
  }
}

int TPngPicture::Width() const {
  auto* h = dynamic_cast<TChunkIHDR*>(ChunkList.Item(0));
  return h ? int(h->Width) : 0;
}

int TPngPicture::Height() const {
  auto* h = dynamic_cast<TChunkIHDR*>(ChunkList.Item(0));
  return h ? int(h->Height) : 0;
}

void TPngPicture::SetWidth(int) {
  throw EPngError(EPngErrorCannotResize);
}
void TPngPicture::SetHeight(int) {
  throw EPngError(EPngErrorCannotResize);
}

TChunkIHDR* TPngPicture::HeaderChunk() const {
  auto* h = dynamic_cast<TChunkIHDR*>(ChunkList.Item(0));
  if (!h) throw EPNGHeaderNotPresent();
  return h;
}

uint8_t* TPngPicture::RowAddress(int row) const {
  TChunkIHDR* h = HeaderChunk();
  if (!h->DibBits || row < 0 || uint32_t(row) >= h->Height) return nullptr;
  return h->DibBits + size_t(h->RowStride) * (h->Height - 1 - uint32_t(row));
}

uint8_t* TPngPicture::AlphaRowAddress(int row) const {
  TChunkIHDR* h = HeaderChunk();
  if (h->AlphaPlane.empty() || row < 0 || uint32_t(row) >= h->Height) return nullptr;
  return h->AlphaPlane.data() + size_t(row) * h->Width;
}

void TPngPicture::CreateBlank(uint8_t colorType, uint8_t bitDepth, uint32_t width,
                              uint32_t height) {
  ClearChunks();
  auto* ihdr = new TChunkIHDR(this);
  ChunkList.Add(ihdr);
  ihdr->Width = width;
  ihdr->Height = height;
  ihdr->BitDepth = bitDepth;
  ihdr->ColorType = colorType;
  ihdr->InterlaceMethod = 0;
  ihdr->PrepareImageData();
  if (colorType == 3) {
    auto* plte = new TChunkPLTE(this);
    plte->EntryCount = 1 << std::min<int>(bitDepth, 8);
    ChunkList.Add(plte);
  } else {
    ihdr->WriteGrayRamp();
  }
  ChunkList.Add(new TChunkIDAT(this));
  ChunkList.Add(new TChunkIEND(this));
}

TPNGTransparencyMode TPngPicture::TransparencyKind() const {
  TChunkIHDR* h = HeaderChunk();
  auto* trns = ChunkList.ItemFromClass<TChunktRNS>();
  switch (h->ColorType) {
  case 0:
  case 2:
    return trns ? ptmBit : ptmNone;
  case 3:
    if (!trns) return ptmNone;
    return trns->SingleKey ? ptmBit : ptmPartial;
  case 4:
  case 6:
    return ptmPartial;
  default:
    return ptmNone;
  }
}

void TPngPicture::SaveToClipboardFormat(UINT& AFormat, HANDLE& AData, HPALETTE& APalette) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(Width(), Height());
  TRect r(0, 0, Width(), Height());
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(r);
  Draw(bitmap.Canvas(), r);
  bitmap.SaveToClipboardFormat(AFormat, AData, APalette);
}

void TPngPicture::LoadFromClipboardFormat(UINT AFormat, HANDLE AData, HPALETTE APalette) {
  TBitmap bitmap;
  bitmap.LoadFromClipboardFormat(AFormat, AData, APalette);
  AssignHandle(bitmap.Handle(), false, 0);
}

bool TPngPicture::Transparent() const {
  if (!dynamic_cast<TChunkIHDR*>(ChunkList.Item(0))) return false;
  return TransparencyKind() != ptmNone;
}

COLORREF TPngPicture::KeyColor() const {
  auto* trns = ChunkList.ItemFromClass<TChunktRNS>();
  return trns ? trns->TransparentColor() : 0;
}

void TPngPicture::SetKeyColor(COLORREF color) {
  HeaderChunk();
  auto* trns = ChunkList.ItemFromClass<TChunktRNS>();
  if (!trns) trns = ChunkList.AddChunk<TChunktRNS>();
  trns->SetTransparentColor(color);
}

COLORREF TPngPicture::PixelColor(int x, int y) const {
  TChunkIHDR* h = HeaderChunk();
  if (!h->DibBits || x < 0 || y < 0 || uint32_t(x) >= h->Width || uint32_t(y) >= h->Height)
    return 0;
  const uint8_t* row = RowAddress(y);
  switch (h->ColorType) {
  case 0:
  case 3: {
    // Samples as held in the image (2-bit images are held with 4 bits).
    int d = h->BitsPerPixel();
    uint8_t v = d == 8 ? row[x] : PackedSample(row, uint32_t(x), d);
    if (h->ColorType == 3) {
      RGBQUAD q = h->BitmapInfo.bmiColors[v];
      return RGB(GammaLut[q.rgbRed], GammaLut[q.rgbGreen], GammaLut[q.rgbBlue]);
    }
    uint8_t g = d == 1 ? GammaLut[v ? 255 : 0] : GammaLut[(v * ((1 << d) + 1)) & 0xFF];
    return RGB(g, g, g);
  }
  case 4:
    return RGB(row[x], row[x], row[x]);
  case 2:
  case 6:
    return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
  default:
    return 0;
  }
}

void TPngPicture::SetPixelColor(int x, int y, COLORREF color) {
  TChunkIHDR* h = HeaderChunk();
  if (!h->DibBits || x < 0 || y < 0 || uint32_t(x) >= h->Width || uint32_t(y) >= h->Height) return;
  uint8_t* row = RowAddress(y);
  switch (h->ColorType) {
  case 0:
  case 3: {
    int d = h->BitsPerPixel();
    UINT index = GetNearestPaletteIndex(GetPalette(), color & 0xFFFFFF);
    if (index == CLR_INVALID) index = 0;
    index &= (1u << d) - 1;
    if (d == 8)
      row[x] = uint8_t(index);
    else
      SetPackedSample(row, uint32_t(x), d, uint8_t(index));
    break;
  }
  case 4:
    row[x] = GetRValue(color);
    break;
  case 2:
  case 6:
    row[x * 3] = GetBValue(color);
    row[x * 3 + 1] = GetGValue(color);
    row[x * 3 + 2] = GetRValue(color);
    break;
  default:
    break;
  }
}

void TPngPicture::AddAlphaChannel() {
  TChunkIHDR* h = HeaderChunk();
  switch (h->ColorType) {
  case 0:
  case 2:
    if (h->ColorType == 0 && h->BitsPerPixel() != 8) return; // gray below 8 bits has no alpha form
    h->ColorType = h->ColorType == 0 ? 4 : 6;
    h->AlphaPlane.assign(size_t(h->Width) * h->Height, 255);
    if (h->BitDepth < 8) h->BitDepth = 8;
    if (auto* trns = ChunkList.ItemFromClass<TChunktRNS>()) {
      ChunkList.Remove(trns);
      delete trns;
    }
    break;
  case 3: {
    auto* trns = ChunkList.ItemFromClass<TChunktRNS>();
    if (!trns) trns = ChunkList.AddChunk<TChunktRNS>();
    std::memset(trns->AlphaValues, 255, sizeof(trns->AlphaValues));
    trns->ResizeData(1u << std::min<int>(h->BitDepth, 8));
    std::memset(trns->Data(), 255, trns->PayloadSize);
    trns->SingleKey = false;
    break;
  }
  default:
    break;
  }
}

HPALETTE TPngPicture::GetPalette() {
  auto* h = dynamic_cast<TChunkIHDR*>(ChunkList.Item(0));
  if (!h || (h->ColorType != 0 && h->ColorType != 3)) return nullptr;
  if (!PaletteHandle) {
    struct {
      WORD Version, Count;
      PALETTEENTRY Entries[256];
    } lp{};
    lp.Version = 0x300;
    lp.Count = 256;
    for (int i = 0; i < 256; ++i) {
      RGBQUAD q = h->BitmapInfo.bmiColors[i];
      lp.Entries[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    PaletteHandle = CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
  }
  return PaletteHandle;
}

void TPngPicture::SetPalette(HPALETTE palette) {
  auto* h = dynamic_cast<TChunkIHDR*>(ChunkList.Item(0));
  if (!h || !palette || (h->ColorType != 0 && h->ColorType != 3)) return;
  PALETTEENTRY entries[256];
  UINT n = GetPaletteEntries(palette, 0, 256, entries);
  for (UINT i = 0; i < n && i < 256; ++i)
    h->BitmapInfo.bmiColors[i] =
        RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
  if (h->ImageDC && h->BitsPerPixel() <= 8)
    SetDIBColorTable(h->ImageDC, 0, 1u << h->BitsPerPixel(), h->BitmapInfo.bmiColors);
  if (PaletteHandle) {
    DeleteObject(PaletteHandle);
    PaletteHandle = nullptr;
  }
}

HBITMAP TPngPicture::CreateBitmapHandle() const {
  auto* h = dynamic_cast<TChunkIHDR*>(ChunkList.Item(0));
  if (!h || !h->DibBits) return nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateDIBitmap(screen, &h->BitmapInfo.bmiHeader, CBM_INIT, h->DibBits,
                               reinterpret_cast<const BITMAPINFO*>(&h->BitmapInfo), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bmp;
}

void TPngPicture::AssignHandle(HBITMAP handle, bool transparent, COLORREF transparentColor) {
  BITMAP info{};
  if (!handle || !GetObject(handle, sizeof(info), &info))
    throw EPngError(L"The bitmap handle is not valid.");
  ClearChunks();
  int bits = info.bmBitsPixel * info.bmPlanes;
  auto* ihdr = new TChunkIHDR(this);
  ChunkList.Add(ihdr);
  TChunkPLTE* plte = nullptr;
  if (bits < 16) {
    plte = new TChunkPLTE(this);
    ChunkList.Add(plte);
  }
  TChunktRNS* trns = nullptr;
  if (transparent) {
    trns = new TChunktRNS(this);
    ChunkList.Add(trns);
  }
  ChunkList.Add(new TChunkIDAT(this));
  ChunkList.Add(new TChunkIEND(this));
  // Bitmaps of 2 or 3 bits do not exist; anything else below 16 bits is read as 8.
  int depth = bits < 16 ? (bits == 1 || bits == 4 || bits == 8 ? bits : 8) : 8;
  ihdr->Width = uint32_t(info.bmWidth);
  ihdr->Height = uint32_t(std::abs(info.bmHeight));
  ihdr->BitDepth = uint8_t(depth);
  ihdr->ColorType = bits < 16 ? 3 : 2;
  ihdr->CompressionMethod = 0;
  ihdr->FilterMethod = 0;
  ihdr->InterlaceMethod = 0;
  ihdr->PrepareImageData();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  GetDIBits(dc, handle, 0, ihdr->Height, ihdr->DibBits,
            reinterpret_cast<BITMAPINFO*>(&ihdr->BitmapInfo), DIB_RGB_COLORS);
  DeleteDC(dc);
  // GetDIBits may rewrite the header; the image keeps its own layout.
  BITMAPINFOHEADER& bh = ihdr->BitmapInfo.bmiHeader;
  bh.biSize = sizeof(BITMAPINFOHEADER);
  bh.biHeight = LONG(ihdr->Height);
  bh.biCompression = BI_RGB;
  if (depth <= 8) SetDIBColorTable(ihdr->ImageDC, 0, 1u << depth, ihdr->BitmapInfo.bmiColors);
  if (plte) plte->EntryCount = 1 << depth;
  if (trns) trns->SetTransparentColor(transparentColor & 0xFFFFFF);
}

// ---------------------------------------------------------------------------
// Drawing

void TPngPicture::DrawTo(HDC dc, const RECT& rect) {
  auto* h = dynamic_cast<TChunkIHDR*>(ChunkList.Item(0));
  if (!h || !h->DibBits) return;
  switch (TransparencyKind()) {
  case ptmBit:
    DrawTransparentBitmap(dc, KeyColor() & 0xFFFFFF, rect);
    break;
  case ptmPartial:
    DrawPartialTrans(dc, rect.left, rect.top);
    break;
  default:
    StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                  int(h->Width), int(h->Height), h->DibBits,
                  reinterpret_cast<const BITMAPINFO*>(&h->BitmapInfo), DIB_RGB_COLORS, SRCCOPY);
    break;
  }
}

void TPngPicture::DrawTransparentBitmap(HDC dc, COLORREF key, const RECT& rect) {
  TChunkIHDR* h = HeaderChunk();
  int w = rect.right - rect.left, hh = rect.bottom - rect.top;
  int sw = int(h->Width), sh = int(h->Height);
  if (w <= 0 || hh <= 0) return;
  HDC srcDC = CreateCompatibleDC(dc);
  HBITMAP srcBmp =
      CreateDIBitmap(dc, &h->BitmapInfo.bmiHeader, CBM_INIT, h->DibBits,
                     reinterpret_cast<const BITMAPINFO*>(&h->BitmapInfo), DIB_RGB_COLORS);
  HGDIOBJ oldSrc = SelectObject(srcDC, srcBmp);
  HDC maskDC = CreateCompatibleDC(dc), invDC = CreateCompatibleDC(dc),
      colorDC = CreateCompatibleDC(dc);
  HBITMAP maskBmp = CreateBitmap(w, hh, 1, 1, nullptr);
  HBITMAP invBmp = CreateBitmap(w, hh, 1, 1, nullptr);
  HBITMAP colorBmp = CreateCompatibleBitmap(dc, w, hh);
  HGDIOBJ oldMask = SelectObject(maskDC, maskBmp);
  HGDIOBJ oldInv = SelectObject(invDC, invBmp);
  HGDIOBJ oldColor = SelectObject(colorDC, colorBmp);
  COLORREF oldBk = SetBkColor(srcDC, key);
  SetStretchBltMode(maskDC, COLORONCOLOR);
  StretchBlt(maskDC, 0, 0, w, hh, srcDC, 0, 0, sw, sh, SRCCOPY);
  SetBkColor(srcDC, oldBk);
  BitBlt(invDC, 0, 0, w, hh, maskDC, 0, 0, NOTSRCCOPY);
  BitBlt(colorDC, 0, 0, w, hh, dc, rect.left, rect.top, SRCCOPY);
  BitBlt(colorDC, 0, 0, w, hh, maskDC, 0, 0, SRCAND);
  SetStretchBltMode(srcDC, COLORONCOLOR);
  StretchBlt(srcDC, 0, 0, sw, sh, invDC, 0, 0, w, hh, SRCAND);
  SetStretchBltMode(colorDC, COLORONCOLOR);
  StretchBlt(colorDC, 0, 0, w, hh, srcDC, 0, 0, sw, sh, SRCPAINT);
  BitBlt(dc, rect.left, rect.top, w, hh, colorDC, 0, 0, SRCCOPY);
  SelectObject(colorDC, oldColor);
  SelectObject(invDC, oldInv);
  SelectObject(maskDC, oldMask);
  SelectObject(srcDC, oldSrc);
  DeleteObject(colorBmp);
  DeleteObject(invBmp);
  DeleteObject(maskBmp);
  DeleteObject(srcBmp);
  DeleteDC(colorDC);
  DeleteDC(invDC);
  DeleteDC(maskDC);
  DeleteDC(srcDC);
}

void TPngPicture::DrawPartialTrans(HDC dc, int x, int y) {
  TChunkIHDR* h = HeaderChunk();
  int w = int(h->Width), hh = int(h->Height);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -hh;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC memDC = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP dib = memDC ? CreateDIBSection(memDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (!memDC || !dib || !bits) {
    if (dib) DeleteObject(dib);
    if (memDC) DeleteDC(memDC);
    throw EPNGOutMemory();
  }
  HGDIOBJ old = SelectObject(memDC, dib);
  StretchBlt(memDC, 0, 0, w, hh, dc, x, y, w, hh, SRCCOPY);
  GdiFlush();
  auto* trns = ChunkList.ItemFromClass<TChunktRNS>();
  const int bpp = h->BitsPerPixel();
  for (int row = 0; row < hh; ++row) {
    uint8_t* d = static_cast<uint8_t*>(bits) + size_t(row) * w * 4;
    const uint8_t* src = RowAddress(row);
    const uint8_t* alpha = AlphaRowAddress(row);
    for (int col = 0; col < w; ++col, d += 4) {
      uint8_t sb, sg, sr, a;
      if (h->ColorType == 4) {
        sb = sg = sr = src[col];
        a = alpha[col];
      } else if (h->ColorType == 3) {
        uint8_t index = bpp == 8 ? src[col] : PackedSample(src, uint32_t(col), bpp);
        RGBQUAD q = h->BitmapInfo.bmiColors[index];
        sb = q.rgbBlue;
        sg = q.rgbGreen;
        sr = q.rgbRed;
        a = trns ? trns->AlphaValues[index] : 255;
      } else if (bpp == 24 && alpha) {
        sb = src[col * 3];
        sg = src[col * 3 + 1];
        sr = src[col * 3 + 2];
        a = alpha[col];
      } else {
        continue;
      }
      d[0] = uint8_t((sb * a + (255 - a) * d[0] + 255) >> 8);
      d[1] = uint8_t((sg * a + (255 - a) * d[1] + 255) >> 8);
      d[2] = uint8_t((sr * a + (255 - a) * d[2] + 255) >> 8);
    }
  }
  StretchBlt(dc, x, y, w, hh, memDC, 0, 0, w, hh, SRCCOPY);
  SelectObject(memDC, old);
  DeleteObject(dib);
  DeleteDC(memDC);
}

// ---------------------------------------------------------------------------
// Registration as a picture format

namespace {

struct TPngRegistration {
  TPngRegistration() {
    CrcTable();
    ChunkClasses();
    TPicture::RegisterFileFormat(L"PNG", L"Portable Network Graphics", L"TPngPicture",
                                 [] { return static_cast<TGraphic*>(new TPngPicture); });
  }
  ~TPngRegistration() { TPicture::UnregisterGraphicClass(L"TPngPicture"); }
} PngRegistration;

} // namespace
