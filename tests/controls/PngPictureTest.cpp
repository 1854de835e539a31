// PNG decoding against independently decoded fixtures, encoding round trips,
// refusals of broken files and a corpus of mutated files.
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "controls/PngPicture.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string DataDir() {
  std::string file = __FILE__;
  std::string dir = file.substr(0, file.find_last_of("/\\") + 1) + "data/png/";
  if (!dir.empty() && dir[0] == '/') {
    // Under Wine the Unix root is drive Z:.
    for (char& c : dir)
      if (c == '/') c = '\\';
    dir = "Z:" + dir;
  }
  return dir;
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::vector<std::string> FixtureNames() {
  std::ifstream f(DataDir() + "png_fixtures.txt");
  std::vector<std::string> names;
  for (std::string line; std::getline(f, line);)
    if (!line.empty()) names.push_back(line);
  return names;
}

// --- Building PNG files with zlib alone ------------------------------------

void PutBE32(Bytes& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8)
    out.push_back(uint8_t(v >> s));
}

Bytes Chunk(const std::string& type, const Bytes& data) {
  Bytes out;
  PutBE32(out, uint32_t(data.size()));
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
  if (!data.empty()) crc = crc32(crc, data.data(), uInt(data.size()));
  PutBE32(out, uint32_t(crc));
  return out;
}

Bytes Signature() {
  return {137, 80, 78, 71, 13, 10, 26, 10};
}

Bytes Ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t type, uint8_t interlace = 0,
           uint8_t compression = 0) {
  Bytes d;
  PutBE32(d, w);
  PutBE32(d, h);
  d.insert(d.end(), {depth, type, compression, 0, interlace});
  return Chunk("IHDR", d);
}

Bytes Deflate(const Bytes& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  Bytes out(size);
  compress2(out.data(), &size, raw.data(), uLong(raw.size()), 9);
  out.resize(size);
  return out;
}

Bytes Inflate(const Bytes& packed) {
  z_stream z{};
  inflateInit(&z);
  z.next_in = const_cast<Bytef*>(packed.data());
  z.avail_in = uInt(packed.size());
  Bytes out;
  uint8_t buf[4096];
  int r;
  do {
    z.next_out = buf;
    z.avail_out = sizeof(buf);
    r = inflate(&z, Z_NO_FLUSH);
    out.insert(out.end(), buf, buf + sizeof(buf) - z.avail_out);
  } while (r == Z_OK);
  inflateEnd(&z);
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts)
    out.insert(out.end(), p.begin(), p.end());
  return out;
}

// An 8-bit gray image of w x h with filter type 0 rows of value v.
Bytes GrayFile(uint32_t w, uint32_t h, uint8_t v = 100) {
  Bytes raw;
  for (uint32_t y = 0; y < h; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), w, v);
  }
  return Concat({Signature(), Ihdr(w, h, 8, 0), Chunk("IDAT", Deflate(raw)), Chunk("IEND", {})});
}

struct TParsedChunk {
  std::string Type;
  Bytes Data;
};

std::vector<TParsedChunk> ParseChunks(const Bytes& file) {
  std::vector<TParsedChunk> out;
  size_t p = 8;
  while (p + 12 <= file.size()) {
    uint32_t len =
        (uint32_t(file[p]) << 24) | (file[p + 1] << 16) | (file[p + 2] << 8) | file[p + 3];
    TParsedChunk c;
    c.Type.assign(reinterpret_cast<const char*>(&file[p + 4]), 4);
    c.Data.assign(file.begin() + long(p + 8), file.begin() + long(p + 8 + len));
    out.push_back(c);
    p += 12 + len;
  }
  return out;
}

// --- Comparing against the reference ---------------------------------------

// Checks every pixel's RGBA against the reference file; returns failures.
int ComparePixels(TPngPicture& png, const Bytes& ref, const std::string& name) {
  uint32_t w = ref[0] | (ref[1] << 8) | (ref[2] << 16) | (uint32_t(ref[3]) << 24);
  uint32_t h = ref[4] | (ref[5] << 8) | (ref[6] << 16) | (uint32_t(ref[7]) << 24);
  EXPECT_EQ(png.Width(), int(w)) << name;
  EXPECT_EQ(png.Height(), int(h)) << name;
  TChunkIHDR* hdr = png.HeaderChunk();
  auto* trns = png.ChunkList.ItemFromClass<TChunktRNS>();
  int failures = 0;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const uint8_t* e = &ref[8 + (size_t(y) * w + x) * 4];
      COLORREF c = png.PixelColor(int(x), int(y));
      int alpha = 255;
      if (hdr->ColorType == 4 || hdr->ColorType == 6) {
        alpha = png.AlphaRowAddress(int(y))[x];
      } else if (hdr->ColorType == 3 && trns) {
        int bpp = hdr->BitsPerPixel();
        const uint8_t* row = png.RowAddress(int(y));
        int index =
            bpp == 8 ? row[x] : (row[x * bpp / 8] >> (8 - bpp - (x * bpp % 8))) & ((1 << bpp) - 1);
        alpha = trns->AlphaValues[index];
      } else if (trns) {
        alpha = c == png.KeyColor() ? 0 : 255;
      }
      if (GetRValue(c) != e[0] || GetGValue(c) != e[1] || GetBValue(c) != e[2] || alpha != e[3]) {
        if (++failures <= 3)
          ADD_FAILURE() << name << " pixel (" << x << "," << y << "): got " << int(GetRValue(c))
                        << "," << int(GetGValue(c)) << "," << int(GetBValue(c)) << "," << alpha
                        << " want " << int(e[0]) << "," << int(e[1]) << "," << int(e[2]) << ","
                        << int(e[3]);
      }
    }
  return failures;
}

class PngFixture : public testing::TestWithParam<std::string> {};

TEST_P(PngFixture, DecodesLikeTheReference) {
  const std::string name = GetParam();
  Bytes file = ReadFileBytes(DataDir() + name + ".png");
  Bytes ref = ReadFileBytes(DataDir() + name + ".rgba");
  ASSERT_FALSE(file.empty()) << name;
  ASSERT_GE(ref.size(), 8u) << name;
  TPngPicture png;
  png.LoadFromBytes(file);
  EXPECT_EQ(ComparePixels(png, ref, name), 0);
}

struct TEncodeCase {
  TFilters Filters;
  uint8_t Interlacing;
};

TEST_P(PngFixture, SurvivesEncodeDecodeRoundTrips) {
  const std::string name = GetParam();
  Bytes ref = ReadFileBytes(DataDir() + name + ".rgba");
  const TEncodeCase cases[] = {
      {FilterBit(pfSub), 0},
      {FilterBit(pfNone), 1},
      {TFilters(0x1F), 0},
      {TFilters(FilterBit(pfUp) | FilterBit(pfPaeth)), 1},
      {TFilters(FilterBit(pfAverage) | FilterBit(pfPaeth)), 0},
      {0, 0},
  };
  for (const TEncodeCase& c : cases) {
    TPngPicture png;
    png.LoadFromBytes(ReadFileBytes(DataDir() + name + ".png"));
    png.AllowedFilters = c.Filters;
    png.Interlacing = c.Interlacing;
    Bytes saved = png.SaveToBytes();
    TPngPicture again;
    again.LoadFromBytes(saved);
    EXPECT_EQ(ComparePixels(again, ref, name + " re-encoded"), 0)
        << "filters " << int(c.Filters) << " interlacing " << int(c.Interlacing);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, PngFixture, testing::ValuesIn(FixtureNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

TEST(PngPicture, FixturesArePresent) {
  EXPECT_GE(FixtureNames().size(), 90u);
}

// --- Refusals ---------------------------------------------------------------

template <class E> bool Raises(const Bytes& file) {
  TPngPicture png;
  try {
    png.LoadFromBytes(file);
  } catch (const E&) {
    return true;
  } catch (const Exception& e) {
    ADD_FAILURE() << "other exception: " << e.what();
    return false;
  }
  ADD_FAILURE() << "loaded";
  return false;
}

Bytes GrayRows(uint32_t w, uint32_t h) {
  Bytes raw;
  for (uint32_t y = 0; y < h; ++y) {
    raw.push_back(0);
    for (uint32_t x = 0; x < w; ++x)
      raw.push_back(uint8_t(x * 7 + y));
  }
  return raw;
}

TEST(PngPicture, RefusesBrokenFiles) {
  const Bytes idat = Chunk("IDAT", Deflate(GrayRows(4, 4)));
  const Bytes iend = Chunk("IEND", {});
  const Bytes sig = Signature();
  const Bytes hdr = Ihdr(4, 4, 8, 0);

  EXPECT_TRUE(Raises<EPNGInvalidFileHeader>(Bytes{1, 2, 3}));
  EXPECT_TRUE(Raises<EPNGInvalidFileHeader>(Concat({Bytes{137, 80, 78, 71, 13, 10, 26, 11}, hdr})));
  EXPECT_TRUE(Raises<EPngUnexpectedEnd>(sig));
  EXPECT_TRUE(Raises<EPngUnexpectedEnd>(Concat({sig, hdr, idat})));
  EXPECT_TRUE(
      Raises<EPNGIHDRNotFirst>(Concat({sig, Chunk("tEXt", {'a', 0, 'b'}), hdr, idat, iend})));
  EXPECT_TRUE(Raises<EPNGUnknownCriticalChunk>(Concat({sig, hdr, Chunk("XyZw", {1}), idat, iend})));
  EXPECT_TRUE(Raises<EPNGNoImageData>(Concat({sig, hdr, iend})));
  Bytes badCrc = Concat({sig, hdr, idat, iend});
  badCrc[8 + 21] ^= 0x40; // the header's CRC
  EXPECT_TRUE(Raises<EPngInvalidCRC>(badCrc));
  Bytes badIdatCrc = Concat({sig, hdr, idat, iend});
  badIdatCrc[badIdatCrc.size() - 13] ^= 0x01; // the image data's CRC
  EXPECT_TRUE(Raises<EPngInvalidCRC>(badIdatCrc));
  Bytes shortHdr = Chunk("IHDR", {0, 0, 0, 4, 0, 0, 0, 4, 8, 0});
  EXPECT_TRUE(Raises<EPngInvalidIHDR>(Concat({sig, shortHdr, idat, iend})));
  EXPECT_TRUE(Raises<EPNGSizeExceeds>(Concat({sig, Ihdr(65536, 1, 8, 0), idat, iend})));
  EXPECT_TRUE(Raises<EPNGSizeExceeds>(Concat({sig, Ihdr(1, 0x80000000u, 8, 0), idat, iend})));
  EXPECT_TRUE(Raises<EPNGUnknownCompression>(Concat({sig, Ihdr(4, 4, 8, 0, 0, 1), idat, iend})));
  EXPECT_TRUE(Raises<EPNGUnknownInterlace>(Concat({sig, Ihdr(4, 4, 8, 0, 2), idat, iend})));
  Bytes plte4 = {1, 2, 3, 4};
  EXPECT_TRUE(Raises<EPNGInvalidPalette>(
      Concat({sig, Ihdr(4, 4, 8, 3), Chunk("PLTE", plte4), idat, iend})));
  EXPECT_TRUE(Raises<EPNGInvalidPalette>(
      Concat({sig, Ihdr(4, 4, 8, 3), Chunk("PLTE", Bytes(257 * 3)), idat, iend})));
  EXPECT_TRUE(Raises<EPNGInvalidPalette>(Concat(
      {sig, Ihdr(4, 4, 8, 3), Chunk("PLTE", Bytes(6)), Chunk("tRNS", Bytes(257)), idat, iend})));
  EXPECT_TRUE(Raises<EPNGZLIBError>(
      Concat({sig, hdr, Chunk("IDAT", {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF}), iend})));
}

TEST(PngPicture, RefusesFormatsOutsideThePngRules) {
  struct {
    uint32_t W, H;
    uint8_t Depth, Type;
  } cases[] = {{4, 4, 8, 1},  {4, 4, 8, 5}, {4, 4, 8, 7}, {4, 4, 4, 2},
               {4, 4, 2, 4},  {4, 4, 1, 6}, {4, 4, 3, 0}, {4, 4, 16, 3},
               {4, 4, 32, 2}, {4, 4, 0, 0}, {0, 4, 8, 0}, {4, 0, 8, 0}};
  const Bytes rest = Concat({Chunk("IDAT", Deflate(GrayRows(4, 4))), Chunk("IEND", {})});
  for (const auto& c : cases)
    EXPECT_TRUE(
        Raises<EPngInvalidIHDR>(Concat({Signature(), Ihdr(c.W, c.H, c.Depth, c.Type), rest})))
        << c.W << "x" << c.H << " depth " << int(c.Depth) << " type " << int(c.Type);
}

TEST(PngPicture, ChecksChunkLengthsBeforeAllocating) {
  const Bytes sig = Signature();
  for (uint32_t length : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 1000u}) {
    Bytes huge;
    PutBE32(huge, length);
    huge.insert(huge.end(), {'t', 'E', 'X', 't', 'a', 0, 'b'});
    EXPECT_TRUE(Raises<EPngUnexpectedEnd>(Concat({sig, Ihdr(4, 4, 8, 0), huge}))) << length;
    Bytes hugeIdat;
    PutBE32(hugeIdat, length);
    hugeIdat.insert(hugeIdat.end(), {'I', 'D', 'A', 'T', 0x78, 0x9C});
    EXPECT_TRUE(Raises<EPngUnexpectedEnd>(Concat({sig, Ihdr(4, 4, 8, 0), hugeIdat}))) << length;
  }
}

TEST(PngPicture, CompressedStreamEndingEarlyIsRefused) {
  const Bytes sig = Signature(), hdr = Ihdr(8, 8, 8, 0), iend = Chunk("IEND", {});
  // Only three rows of eight, the zlib stream complete.
  Bytes three = Deflate(GrayRows(8, 3));
  EXPECT_TRUE(Raises<EPNGMissingMultipleIDAT>(Concat({sig, hdr, Chunk("IDAT", three), iend})));
  // The same with bytes left after the end of the stream in the same chunk.
  Bytes trailing = three;
  trailing.insert(trailing.end(), 40, 0xAB);
  EXPECT_TRUE(Raises<EPNGMissingMultipleIDAT>(Concat({sig, hdr, Chunk("IDAT", trailing), iend})));
  // And followed by a further empty IDAT chunk.
  EXPECT_TRUE(Raises<EPNGMissingMultipleIDAT>(
      Concat({sig, hdr, Chunk("IDAT", trailing), Chunk("IDAT", {}), iend})));
  // A chunk of another type between the parts of the image data.
  Bytes full = Deflate(GrayRows(8, 8));
  Bytes a(full.begin(), full.begin() + 10), b(full.begin() + 10, full.end());
  EXPECT_TRUE(Raises<EPNGMissingMultipleIDAT>(
      Concat({sig, hdr, Chunk("IDAT", a), Chunk("tEXt", {'k', 0, 'v'}), Chunk("IDAT", b), iend})));
}

TEST(PngPicture, LongImageDataChunkEndsAtItsCrc) {
  // The image is complete long before the end of its one large IDAT chunk.
  Bytes data = Deflate(GrayRows(300, 200));
  data.insert(data.end(), 70000, 0);
  TPngPicture png;
  png.LoadFromBytes(Concat({Signature(), Ihdr(300, 200, 8, 0), Chunk("IDAT", data),
                            Chunk("tEXt", {'k', 0, 'v'}), Chunk("IEND", {})}));
  EXPECT_EQ(png.PixelColor(10, 3), RGB(73, 73, 73));
  EXPECT_EQ(png.ChunkList.ItemFromClass<TChunktEXt>()->TextString, "v");
}

TEST(PngPicture, ExceptionsCarryTheirTexts) {
  EXPECT_EQ(EPngUnexpectedEnd().Message(),
            L"This \"Portable Network Graphics\" image is invalid because the decoder found an "
            L"unexpected end of the file.");
  EXPECT_EQ(EPNGZLIBError(-3).Message(),
            L"Could not decompress the image because it contains invalid compressed data.\r\n "
            L"Description: data error (-3)");
  EXPECT_EQ(PngZlibResultText(2), L"need dictionary (2)");
  EXPECT_EQ(PngZlibResultText(-6), L"incompatible version (-6)");
}

// --- Decoding details --------------------------------------------------------

TEST(PngPicture, WidthOf65535IsAccepted) {
  Bytes raw;
  raw.push_back(0);
  raw.insert(raw.end(), 8192, 0xAA);
  TPngPicture png;
  png.LoadFromBytes(
      Concat({Signature(), Ihdr(65535, 1, 1, 0), Chunk("IDAT", Deflate(raw)), Chunk("IEND", {})}));
  EXPECT_EQ(png.Width(), 65535);
  EXPECT_EQ(png.PixelColor(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(png.PixelColor(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(png.PixelColor(65533, 0), RGB(0, 0, 0));
  EXPECT_EQ(png.PixelColor(65534, 0), RGB(255, 255, 255));
}

TEST(PngPicture, KeepsAncillaryChunksAndDropsChrm) {
  Bytes file = ReadFileBytes(DataDir() + "rgb8_ancillary.png");
  // A cHRM chunk after the header.
  Bytes chrm = Chunk("cHRM", Bytes(32, 1));
  file.insert(file.begin() + 33, chrm.begin(), chrm.end());
  TPngPicture png;
  png.LoadFromBytes(file);
  auto* text = png.ChunkList.ItemFromClass<TChunktEXt>();
  ASSERT_TRUE(text);
  EXPECT_EQ(text->Keyword, "Title");
  EXPECT_EQ(text->TextString, "Hello");
  auto* ztxt = png.ChunkList.ItemFromClass<TChunkzTXt>();
  ASSERT_TRUE(ztxt);
  EXPECT_EQ(ztxt->Keyword, "Comment");
  EXPECT_EQ(ztxt->TextString, "Compressed text");
  auto* time = png.ChunkList.ItemFromClass<TChunktIME>();
  ASSERT_TRUE(time);
  EXPECT_EQ(time->Year, 2004);
  EXPECT_EQ(time->Second, 9);
  std::vector<TParsedChunk> saved = ParseChunks(png.SaveToBytes());
  bool hasPrivate = false, hasChrm = false;
  for (const auto& c : saved) {
    if (c.Type == "prVt") {
      hasPrivate = true;
      EXPECT_EQ(c.Data, (Bytes{1, 2, 3}));
    }
    hasChrm |= c.Type == "cHRM";
  }
  EXPECT_TRUE(hasPrivate);
  EXPECT_FALSE(hasChrm);
  EXPECT_EQ(saved.back().Type, "IEND");
  TPngPicture again;
  again.LoadFromBytes(png.SaveToBytes());
  EXPECT_EQ(again.ChunkList.ItemFromClass<TChunkzTXt>()->TextString, "Compressed text");
}

TEST(PngPicture, TextChunksWithoutZeroByteOrWithHugeTextAreHarmless) {
  Bytes big(8 << 20, 'x');
  Bytes bomb = {'k', 0, 0};
  Bytes packed = Deflate(big);
  bomb.insert(bomb.end(), packed.begin(), packed.end());
  TPngPicture png;
  png.LoadFromBytes(
      Concat({Signature(), Ihdr(4, 4, 8, 0), Chunk("tEXt", {'a', 'b', 'c', 'd'}),
              Chunk("zTXt", bomb), Chunk("IDAT", Deflate(GrayRows(4, 4))), Chunk("IEND", {})}));
  auto* text = png.ChunkList.ItemFromClass<TChunktEXt>();
  ASSERT_TRUE(text);
  EXPECT_EQ(text->Keyword, "abcd");
  EXPECT_EQ(text->TextString, "");
  auto* ztxt = png.ChunkList.ItemFromClass<TChunkzTXt>();
  ASSERT_TRUE(ztxt);
  EXPECT_EQ(ztxt->Keyword, "k");
  EXPECT_EQ(ztxt->TextString, "");
}

TEST(PngPicture, FilterTypesAboveFourLeaveTheRow) {
  Bytes raw = {7, 10, 20, 30};
  TPngPicture png;
  png.LoadFromBytes(
      Concat({Signature(), Ihdr(3, 1, 8, 0), Chunk("IDAT", Deflate(raw)), Chunk("IEND", {})}));
  EXPECT_EQ(png.PixelColor(1, 0), RGB(20, 20, 20));
}

TEST(PngPicture, PaletteTransparencyModes) {
  Bytes plte(16 * 3);
  for (int i = 0; i < 48; ++i)
    plte[size_t(i)] = uint8_t(i * 5);
  Bytes rows = {0, 0x01, 0x23};
  auto load = [&](const Bytes& trns) {
    auto png = std::make_unique<TPngPicture>();
    png->LoadFromBytes(
        Concat({Signature(), Ihdr(4, 1, 4, 3), Chunk("PLTE", plte), Chunk("tRNS", trns),
                Chunk("IDAT", Deflate(rows)), Chunk("IEND", {})}));
    return png;
  };
  auto one = load({255, 128, 255});
  EXPECT_TRUE(one->ChunkList.ItemFromClass<TChunktRNS>()->SingleKey);
  EXPECT_EQ(one->TransparencyKind(), ptmBit);
  auto two = load({0, 128, 255});
  EXPECT_FALSE(two->ChunkList.ItemFromClass<TChunktRNS>()->SingleKey);
  EXPECT_EQ(two->TransparencyKind(), ptmPartial);
  EXPECT_EQ(two->KeyColor(), RGB(0, 5, 10));
  EXPECT_TRUE(two->Transparent());
}

TEST(PngPicture, GammaChunkOfWrongLengthActsAsValueOne) {
  TPngPicture png;
  png.LoadFromBytes(Concat({Signature(), Ihdr(4, 4, 8, 0), Chunk("gAMA", {1, 2}),
                            Chunk("IDAT", Deflate(GrayRows(4, 4))), Chunk("IEND", {})}));
  EXPECT_EQ(png.GammaLut[128], 0);
  EXPECT_EQ(png.GammaLut[255], 255);
  EXPECT_EQ(png.ChunkList.ItemFromClass<TChunkgAMA>()->Gamma(), 1u);
}

TEST(PngPicture, GammaOfDisplayLeavesValuesAlone) {
  Bytes g;
  PutBE32(g, 45455);
  TPngPicture png;
  png.LoadFromBytes(Concat({Signature(), Ihdr(4, 4, 8, 0), Chunk("gAMA", g),
                            Chunk("IDAT", Deflate(GrayRows(4, 4))), Chunk("IEND", {})}));
  for (int i : {0, 1, 64, 128, 200, 255})
    EXPECT_EQ(png.GammaLut[i], i);
}

TEST(PngPicture, QueriesWithoutHeader) {
  TPngPicture png;
  EXPECT_TRUE(png.Empty());
  EXPECT_EQ(png.Width(), 0);
  EXPECT_EQ(png.Height(), 0);
  EXPECT_THROW(png.HeaderChunk(), EPNGHeaderNotPresent);
  EXPECT_THROW(png.RowAddress(0), EPNGHeaderNotPresent);
  EXPECT_THROW(png.TransparencyKind(), EPNGHeaderNotPresent);
  EXPECT_THROW(png.SetWidth(3), EPngError);
  EXPECT_FALSE(png.Transparent());
  RECT r{0, 0, 4, 4};
  png.DrawTo(GetDC(nullptr), r); // draws nothing
}

TEST(PngPicture, PixelAccess) {
  TPngPicture png;
  png.LoadFromBytes(ReadFileBytes(DataDir() + "rgb8_n_13x11.png"));
  png.SetPixelColor(12, 10, RGB(1, 2, 3));
  EXPECT_EQ(png.PixelColor(12, 10), RGB(1, 2, 3));
  EXPECT_EQ(png.PixelColor(13, 0), 0u);
  EXPECT_EQ(png.PixelColor(-1, 0), 0u);
  png.SetPixelColor(13, 0, RGB(9, 9, 9)); // ignored
  EXPECT_THROW(png.SetHeight(2), EPngError);
}

// --- Encoding details --------------------------------------------------------

Bytes ImageData(const Bytes& file) {
  Bytes data;
  for (const auto& c : ParseChunks(file))
    if (c.Type == "IDAT") data.insert(data.end(), c.Data.begin(), c.Data.end());
  return Inflate(data);
}

TEST(PngPicture, DefaultFilterIsSubOnEveryRow) {
  TPngPicture png;
  png.LoadFromBytes(ReadFileBytes(DataDir() + "rgba8_big_n.png"));
  Bytes raw = ImageData(png.SaveToBytes());
  const size_t rowBytes = 40 * 4 + 1;
  ASSERT_EQ(raw.size(), rowBytes * 33);
  for (size_t y = 0; y < 33; ++y)
    EXPECT_EQ(raw[y * rowBytes], 1) << y;
}

TEST(PngPicture, UpAndPaethWithoutRepeatsWritesNone) {
  // One row whose candidates never repeat a byte of the two before.
  Bytes raw = {0, 0, 1, 3, 6, 10, 15, 21, 28};
  TPngPicture png;
  png.LoadFromBytes(
      Concat({Signature(), Ihdr(8, 1, 8, 0), Chunk("IDAT", Deflate(raw)), Chunk("IEND", {})}));
  png.AllowedFilters = FilterBit(pfUp) | FilterBit(pfPaeth);
  Bytes out = ImageData(png.SaveToBytes());
  ASSERT_EQ(out.size(), 9u);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(Bytes(out.begin() + 1, out.end()), Bytes(raw.begin() + 1, raw.end()));
}

TEST(PngPicture, IdatChunksHoldTheLimit) {
  TPngPicture limits;
  limits.SetIdatChunkLimit(1000);
  EXPECT_EQ(limits.IdatChunkLimit(), 65535u);
  limits.SetIdatChunkLimit(100000);
  EXPECT_EQ(limits.IdatChunkLimit(), 100000u);

  // Noise compresses badly: about 150 KB of image data.
  std::mt19937 rnd(7);
  Bytes raw;
  for (int y = 0; y < 250; ++y) {
    raw.push_back(0);
    for (int x = 0; x < 200 * 3; ++x)
      raw.push_back(uint8_t(rnd()));
  }
  Bytes file =
      Concat({Signature(), Ihdr(200, 250, 8, 2), Chunk("IDAT", Deflate(raw)), Chunk("IEND", {})});
  for (uint32_t limit : {65535u, 100000u}) {
    TPngPicture png;
    png.LoadFromBytes(file);
    png.SetIdatChunkLimit(limit);
    std::vector<size_t> sizes;
    for (const auto& c : ParseChunks(png.SaveToBytes()))
      if (c.Type == "IDAT") sizes.push_back(c.Data.size());
    ASSERT_GE(sizes.size(), 2u);
    for (size_t i = 0; i + 1 < sizes.size(); ++i)
      EXPECT_EQ(sizes[i], limit);
    EXPECT_LE(sizes.back(), limit);
    EXPECT_GT(sizes.back(), 0u);
  }
}

TEST(PngPicture, TwoBitImagesSaveWithDepthFour) {
  for (const char* name : {"pal2_n_13x11", "gray2_i_13x11"}) {
    TPngPicture png;
    png.LoadFromBytes(ReadFileBytes(DataDir() + name + ".png"));
    auto chunks = ParseChunks(png.SaveToBytes());
    ASSERT_EQ(chunks[0].Type, "IHDR");
    EXPECT_EQ(chunks[0].Data[8], 4) << name;
    EXPECT_EQ(png.HeaderChunk()->BitDepth, 4) << name;
  }
}

TEST(PngPicture, SavedChunksAreInOrderWithValidCrcs) {
  TPngPicture png;
  png.LoadFromBytes(ReadFileBytes(DataDir() + "pal8trns_n.png"));
  Bytes file = png.SaveToBytes();
  ASSERT_EQ(Bytes(file.begin(), file.begin() + 8), Signature());
  std::vector<std::string> types;
  size_t p = 8;
  while (p + 12 <= file.size()) {
    uint32_t len =
        (uint32_t(file[p]) << 24) | (file[p + 1] << 16) | (file[p + 2] << 8) | file[p + 3];
    uLong crc = crc32(0, &file[p + 4], uInt(len + 4));
    uint32_t stored = (uint32_t(file[p + 8 + len]) << 24) | (file[p + 9 + len] << 16) |
                      (file[p + 10 + len] << 8) | file[p + 11 + len];
    EXPECT_EQ(uint32_t(crc), stored);
    types.emplace_back(reinterpret_cast<const char*>(&file[p + 4]), 4);
    p += 12 + len;
  }
  EXPECT_EQ(p, file.size());
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}));
}

TEST(PngPicture, AddingChunks) {
  TPngPicture png;
  EXPECT_THROW(png.ChunkList.AddChunk<TChunktEXt>(), EPngError);
  png.LoadFromBytes(ReadFileBytes(DataDir() + "pal4key_n.png"));
  EXPECT_THROW(png.ChunkList.AddChunk<TChunkIHDR>(), EPngError);
  EXPECT_THROW(png.ChunkList.AddChunk<TChunktRNS>(), EPngError);
  auto* gama = png.ChunkList.AddChunk<TChunkgAMA>();
  EXPECT_EQ(gama->Index(), 1);
  EXPECT_THROW(png.ChunkList.AddChunk<TChunkgAMA>(), EPngError);
  auto* text = png.ChunkList.AddChunk<TChunktEXt>();
  EXPECT_EQ(text->Index(), png.ChunkList.Count() - 2);
  text->Keyword = "Key";
  text->TextString = "Value";
  TPngPicture again;
  again.LoadFromBytes(png.SaveToBytes());
  EXPECT_EQ(again.ChunkList.ItemFromClass<TChunktEXt>()->TextString, "Value");
}

TEST(PngPicture, TransparentColourOfKeyedImages) {
  struct {
    const char* Name;
    COLORREF Key;
  } cases[] = {{"gray8trns_n", RGB(77, 77, 77)}, {"rgb8trns_i", RGB(10, 20, 30)}};
  for (const auto& c : cases) {
    TPngPicture png;
    png.LoadFromBytes(ReadFileBytes(DataDir() + c.Name + ".png"));
    EXPECT_EQ(png.TransparencyKind(), ptmBit) << c.Name;
    EXPECT_EQ(png.KeyColor(), c.Key) << c.Name;
    png.SetKeyColor(RGB(5, 6, 7));
    TPngPicture again;
    again.LoadFromBytes(png.SaveToBytes());
    COLORREF want = png.HeaderChunk()->ColorType == 0 ? RGB(5, 5, 5) : RGB(5, 6, 7);
    EXPECT_EQ(again.KeyColor(), want) << c.Name;
  }
}

TEST(PngPicture, KeyColourOfLowDepthAndWideGray) {
  Bytes key;
  key.push_back(0);
  key.push_back(2);
  Bytes rows = {0, 0x1B}; // 0, 1, 2, 3
  TPngPicture png;
  png.LoadFromBytes(Concat({Signature(), Ihdr(4, 1, 2, 0), Chunk("tRNS", key),
                            Chunk("IDAT", Deflate(rows)), Chunk("IEND", {})}));
  EXPECT_EQ(png.KeyColor(), RGB(170, 170, 170));
  EXPECT_EQ(png.PixelColor(2, 0), png.KeyColor());
  Bytes rows16 = {0, 0x12, 0x34, 0xAB, 0xCD};
  Bytes key16 = {0xAB, 0xCD};
  TPngPicture wide;
  wide.LoadFromBytes(Concat({Signature(), Ihdr(2, 1, 16, 0), Chunk("tRNS", key16),
                             Chunk("IDAT", Deflate(rows16)), Chunk("IEND", {})}));
  EXPECT_EQ(wide.PixelColor(1, 0), RGB(0xAB, 0xAB, 0xAB));
  EXPECT_EQ(wide.KeyColor(), wide.PixelColor(1, 0));
}

// --- Copying, drawing, registration -----------------------------------------

TEST(PngPicture, CopiesPictures) {
  TPngPicture png;
  png.LoadFromBytes(ReadFileBytes(DataDir() + "rgba8_n_13x11.png"));
  png.Interlacing = 1;
  png.DeflateLevel = 3;
  TPngPicture copy;
  copy.Assign(&png);
  EXPECT_EQ(copy.Interlacing, 1);
  EXPECT_EQ(copy.DeflateLevel, 3);
  EXPECT_EQ(ComparePixels(copy, ReadFileBytes(DataDir() + "rgba8_n_13x11.rgba"), "copy"), 0);
  EXPECT_NE(copy.HeaderChunk()->DibBits, png.HeaderChunk()->DibBits);
}

TEST(PngPicture, ConvertsToAndFromBitmaps) {
  TPngPicture png;
  png.LoadFromBytes(ReadFileBytes(DataDir() + "rgb8_n_13x11.png"));
  TBitmap bmp;
  bmp.Assign(&png);
  ASSERT_EQ(bmp.Width(), 13);
  ASSERT_EQ(bmp.Height(), 11);
  for (int y : {0, 5, 10})
    for (int x : {0, 7, 12})
      EXPECT_EQ(bmp.Canvas()->Pixels(x, y), png.PixelColor(x, y)) << x << "," << y;
  TPngPicture back;
  back.Assign(&bmp);
  EXPECT_EQ(back.HeaderChunk()->ColorType, 2);
  EXPECT_EQ(back.TransparencyKind(), ptmNone);
  for (int y : {0, 5, 10})
    for (int x : {0, 7, 12})
      EXPECT_EQ(back.PixelColor(x, y), png.PixelColor(x, y)) << x << "," << y;
  auto chunks = ParseChunks(back.SaveToBytes());
  EXPECT_EQ(chunks.size(), 3u);
}

// An 8-bit palettized DIB of 4 x 3 whose entry k is RGB(k, 255 - k, 7).
HBITMAP PaletteBitmap() {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD c[256];
  } bi{};
  bi.h.biSize = sizeof(BITMAPINFOHEADER);
  bi.h.biWidth = 4;
  bi.h.biHeight = 3;
  bi.h.biPlanes = 1;
  bi.h.biBitCount = 8;
  for (int k = 0; k < 256; ++k)
    bi.c[k] = RGBQUAD{7, uint8_t(255 - k), uint8_t(k), 0};
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits,
                                 nullptr, 0);
  auto* p = static_cast<uint8_t*>(bits);
  for (int i = 0; i < 12; ++i)
    p[i] = uint8_t(i * 10);
  return bmp;
}

TEST(PngPicture, PalettizedBitmapsSaveAsPaletteImages) {
  HBITMAP bmp = PaletteBitmap();
  TPngPicture png;
  png.AssignHandle(bmp, false, 0);
  auto chunks = ParseChunks(png.SaveToBytes());
  ASSERT_EQ(chunks.size(), 4u);
  EXPECT_EQ(chunks[0].Data[8], 8);
  EXPECT_EQ(chunks[0].Data[9], 3);
  EXPECT_EQ(chunks[1].Type, "PLTE");
  EXPECT_EQ(chunks[1].Data.size(), 256u * 3);
  // Bottom-up DIB: its first row is the picture's last.
  EXPECT_EQ(png.PixelColor(1, 2), RGB(10, 245, 7));
  TPngPicture keyed;
  keyed.AssignHandle(bmp, true, RGB(30, 225, 7));
  auto keyedChunks = ParseChunks(keyed.SaveToBytes());
  ASSERT_EQ(keyedChunks.size(), 5u);
  EXPECT_EQ(keyedChunks[2].Type, "tRNS");
  EXPECT_EQ(keyedChunks[2].Data.size(), 31u);
  EXPECT_EQ(keyedChunks[2].Data[30], 0);
  EXPECT_EQ(keyed.KeyColor(), RGB(30, 225, 7));
  // A colour that no entry has makes entry 0 transparent.
  keyed.SetKeyColor(RGB(1, 1, 1));
  EXPECT_EQ(keyed.KeyColor(), RGB(0, 255, 7));
  EXPECT_EQ(keyed.ChunkList.ItemFromClass<TChunktRNS>()->PayloadSize, 1u);
  DeleteObject(bmp);
}

TEST(PngPicture, EmptyCompressedTextIsWrittenAsASpace) {
  TPngPicture png;
  png.LoadFromBytes(GrayFile(2, 2));
  auto* z = png.ChunkList.AddChunk<TChunkzTXt>();
  z->Keyword = "Note";
  TPngPicture again;
  again.LoadFromBytes(png.SaveToBytes());
  EXPECT_EQ(again.ChunkList.ItemFromClass<TChunkzTXt>()->TextString, " ");
}

// Draws a picture onto a white 32-bit surface and returns its pixels (BGRA).
std::vector<uint32_t> DrawOnWhite(TPngPicture& png, RECT rect, int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, dib);
  RECT all{0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  png.DrawTo(dc, rect);
  GdiFlush();
  std::vector<uint32_t> out(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + w * h);
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
  return out;
}

TEST(PngPicture, DrawsWithAlphaUnscaledAtTheCorner) {
  TPngPicture png;
  png.LoadFromBytes(ReadFileBytes(DataDir() + "rgba8_n_13x11.png"));
  auto px = DrawOnWhite(png, RECT{2, 3, 40, 40}, 40, 40);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) {
      COLORREF c = png.PixelColor(x, y);
      int a = png.AlphaRowAddress(y)[x];
      uint32_t d = px[size_t(y + 3) * 40 + size_t(x + 2)];
      int want = (GetRValue(c) * a + (255 - a) * 255 + 255) >> 8;
      EXPECT_EQ(int((d >> 16) & 0xFF), want) << x << "," << y;
    }
  EXPECT_EQ(px[size_t(20) * 40 + 20] & 0xFFFFFF, 0xFFFFFFu); // beyond the picture
}

TEST(PngPicture, DrawsKeyedImagesWithoutTheKey) {
  TPngPicture png;
  png.LoadFromBytes(ReadFileBytes(DataDir() + "rgb8trns_n.png"));
  auto px = DrawOnWhite(png, RECT{0, 0, 9, 7}, 9, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      COLORREF c = png.PixelColor(x, y);
      uint32_t d = px[size_t(y) * 9 + size_t(x)] & 0xFFFFFF;
      uint32_t want = c == png.KeyColor()
                          ? 0xFFFFFFu
                          : (uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      EXPECT_EQ(d, want) << x << "," << y;
    }
}

TEST(PngPicture, StretchesOpaqueImages) {
  TPngPicture png;
  png.LoadFromBytes(GrayFile(2, 2, 50));
  auto px = DrawOnWhite(png, RECT{0, 0, 8, 8}, 10, 10);
  EXPECT_EQ(px[size_t(7) * 10 + 7] & 0xFFFFFF, 0x323232u);
  EXPECT_EQ(px[size_t(9) * 10 + 9] & 0xFFFFFF, 0xFFFFFFu);
}

TEST(PngPicture, IsARegisteredPictureFormat) {
  std::unique_ptr<TGraphic> g(TPicture::CreateGraphicForExtension(L"png"));
  EXPECT_TRUE(dynamic_cast<TPngPicture*>(g.get()));
  std::unique_ptr<TGraphic> byName(TPicture::CreateGraphicByClassName(L"TPngPicture"));
  EXPECT_TRUE(dynamic_cast<TPngPicture*>(byName.get()));
  TPicture picture;
  const std::string dir = DataDir();
  std::wstring path(dir.begin(), dir.end());
  picture.LoadFromFile(path + L"rgba8_n_13x11.png");
  EXPECT_EQ(picture.Width(), 13);
  EXPECT_TRUE(dynamic_cast<TPngPicture*>(picture.Graphic()));
}

// --- Mutated files -----------------------------------------------------------

bool IsPngException(const Exception& e) {
  return dynamic_cast<const EPNGInvalidFileHeader*>(&e) ||
         dynamic_cast<const EPngUnexpectedEnd*>(&e) || dynamic_cast<const EPNGIHDRNotFirst*>(&e) ||
         dynamic_cast<const EPNGUnknownCriticalChunk*>(&e) ||
         dynamic_cast<const EPNGNoImageData*>(&e) || dynamic_cast<const EPngInvalidCRC*>(&e) ||
         dynamic_cast<const EPngInvalidIHDR*>(&e) || dynamic_cast<const EPNGSizeExceeds*>(&e) ||
         dynamic_cast<const EPNGUnknownCompression*>(&e) ||
         dynamic_cast<const EPNGUnknownInterlace*>(&e) ||
         dynamic_cast<const EPNGInvalidPalette*>(&e) ||
         dynamic_cast<const EPNGMissingMultipleIDAT*>(&e) ||
         dynamic_cast<const EPNGZLIBError*>(&e) || dynamic_cast<const EPNGHeaderNotPresent*>(&e) ||
         dynamic_cast<const EPngError*>(&e) || dynamic_cast<const EPNGOutMemory*>(&e);
}

// Recomputes every chunk's CRC so that mutations reach the decoder.
void FixCrcs(Bytes& file) {
  size_t p = 8;
  while (p + 12 <= file.size()) {
    uint32_t len =
        (uint32_t(file[p]) << 24) | (file[p + 1] << 16) | (file[p + 2] << 8) | file[p + 3];
    if (len > file.size() - p - 12) return;
    uLong crc = crc32(0, &file[p + 4], uInt(len + 4));
    for (int i = 0; i < 4; ++i)
      file[p + 8 + len + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    p += 12 + len;
  }
}

TEST(PngPicture, MutatedFilesEndInPngErrorsOrPictures) {
  const char* sources[] = {"rgba8_big_n",  "rgb16_big_i", "pal8trns_i",     "gray2_i_13x11",
                           "pal1_n_13x11", "rgba8_split", "rgb8_ancillary", "graya16_i_5x3"};
  std::vector<Bytes> files;
  for (const char* s : sources)
    files.push_back(ReadFileBytes(DataDir() + s + ".png"));
  std::mt19937 rnd(20240611);
  int loaded = 0, refused = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 400; ++i) {
    Bytes f = files[size_t(i) % files.size()];
    switch (rnd() % 5) {
    case 0: // truncated
      f.resize(rnd() % f.size());
      break;
    case 1: // bytes changed, CRCs left wrong
      for (int k = 0, n = 1 + int(rnd() % 4); k < n; ++k)
        f[rnd() % f.size()] = uint8_t(rnd());
      break;
    case 2: // bytes changed in the headers and data, CRCs fixed
    case 3:
      for (int k = 0, n = 1 + int(rnd() % 3); k < n; ++k)
        f[8 + rnd() % std::min<size_t>(f.size() - 8, (rnd() & 1) ? 40 : f.size() - 8)] =
            uint8_t(rnd());
      FixCrcs(f);
      break;
    default: { // a range duplicated or removed, CRCs fixed
      size_t a = 8 + rnd() % (f.size() - 8), n = rnd() % 64;
      n = std::min(n, f.size() - a);
      if (rnd() & 1)
        f.erase(f.begin() + long(a), f.begin() + long(a + n));
      else
        f.insert(f.begin() + long(a), f.begin() + long(a), f.begin() + long(a + n));
      FixCrcs(f);
      break;
    }
    }
    TPngPicture png;
    try {
      png.LoadFromBytes(f);
      ++loaded;
      // A picture that loads can be drawn and saved.
      RECT r{0, 0, 8, 8};
      HDC dc = CreateCompatibleDC(nullptr);
      HBITMAP bmp = CreateCompatibleBitmap(dc, 8, 8);
      HGDIOBJ old = SelectObject(dc, bmp);
      png.DrawTo(dc, r);
      SelectObject(dc, old);
      DeleteObject(bmp);
      DeleteDC(dc);
      TPngPicture again;
      again.LoadFromBytes(png.SaveToBytes());
    } catch (const Exception& e) {
      EXPECT_TRUE(IsPngException(e)) << "case " << i << ": " << e.what();
      ++refused;
    }
  }
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(loaded + refused, 400);
  EXPECT_GT(refused, 100);
  EXPECT_GT(loaded, 10);
  EXPECT_LT(seconds, 60.0);
}

} // namespace
