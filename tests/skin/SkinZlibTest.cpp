// The zlib stream adapters: round trips in chunks of many sizes, the allowed
// and refused stream operations, and cut or damaged compressed data.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "skin/SkinData.h"
#include "skin/skzlib.h"

namespace {

// Text-like data with runs and noise, so that it compresses but not to nothing.
std::vector<uint8_t> SampleData(size_t size) {
  std::vector<uint8_t> d(size);
  std::mt19937 rng(1234);
  for (size_t i = 0; i < size; ++i)
    d[i] = (i / 64) % 3 == 0 ? uint8_t(rng() & 0xFF) : uint8_t("skin data "[i % 10]);
  return d;
}

std::vector<uint8_t> Bytes(TMemoryStream& m) {
  auto* p = static_cast<const uint8_t*>(m.Memory());
  return std::vector<uint8_t>(p, p + m.Size());
}

void Put(TMemoryStream& m, const std::vector<uint8_t>& d) {
  m.Clear();
  if (!d.empty()) m.WriteBuffer(d.data(), static_cast<long>(d.size()));
  m.SetPosition(0);
}

std::vector<uint8_t> CompressInChunks(const std::vector<uint8_t>& data, size_t chunk) {
  TMemoryStream out;
  {
    TCompressionStream z(zcMax, out);
    for (size_t pos = 0; pos < data.size(); pos += chunk) {
      long n = static_cast<long>(std::min(chunk, data.size() - pos));
      EXPECT_EQ(z.Write(data.data() + pos, n), n);
    }
    EXPECT_EQ(z.Position(), static_cast<int64_t>(data.size()));
  } // freeing finishes the zlib stream
  return Bytes(out);
}

std::vector<uint8_t> DecompressInChunks(const std::vector<uint8_t>& packed, size_t chunk,
                                        size_t maxSize = kMaxInflatedSize) {
  TMemoryStream in;
  Put(in, packed);
  TDecompressionStream z(in, maxSize);
  std::vector<uint8_t> out, buf(chunk);
  for (;;) {
    long n = z.Read(buf.data(), static_cast<long>(chunk));
    if (n <= 0) break;
    out.insert(out.end(), buf.begin(), buf.begin() + n);
  }
  return out;
}

class SkinZlibChunkTest : public ::testing::TestWithParam<std::tuple<size_t, size_t>> {};

TEST_P(SkinZlibChunkTest, RoundTripGivesTheSameBytes) {
  auto [writeChunk, readChunk] = GetParam();
  std::vector<uint8_t> data = SampleData(150000);
  std::vector<uint8_t> packed = CompressInChunks(data, writeChunk);
  ASSERT_GE(packed.size(), 2u);
  EXPECT_EQ(packed[0], 0x78);
  EXPECT_EQ(packed[1], 0xDA); // maximum level
  EXPECT_LT(packed.size(), data.size());
  // Whole-block inflation agrees with the stream.
  EXPECT_EQ(DecompressBytes(packed), data);
  EXPECT_EQ(DecompressInChunks(packed, readChunk), data);
}

INSTANTIATE_TEST_SUITE_P(Chunks, SkinZlibChunkTest,
                         ::testing::Values(std::make_tuple(1, 4096), std::make_tuple(7, 1),
                                           std::make_tuple(4095, 13), std::make_tuple(4096, 4096),
                                           std::make_tuple(4097, 4097),
                                           std::make_tuple(65536, 100000),
                                           std::make_tuple(200000, 333)));

TEST(SkinZlib, WholeStreamHelpersAndEmptyData) {
  std::vector<uint8_t> data = SampleData(20000);
  TMemoryStream src, packed, back;
  Put(src, data);
  src.SetPosition(500); // the helpers start from the beginning
  CompressStream(src, packed);
  packed.SetPosition(7);
  DecompressStream(back, packed);
  EXPECT_EQ(Bytes(back), data);

  // Nothing in gives a valid stream of nothing.
  TMemoryStream none, packedNone, backNone;
  CompressStream(none, packedNone);
  EXPECT_GT(packedNone.Size(), 0);
  DecompressStream(backNone, packedNone);
  EXPECT_EQ(backNone.Size(), 0);
  // Compressed data of zero length gives nothing.
  TMemoryStream empty, out;
  DecompressStream(out, empty);
  EXPECT_EQ(out.Size(), 0);
}

TEST(SkinZlib, StoredSkinInflatesIntoAStream) {
  TskCompressedStoredSkin skin;
  ASSERT_TRUE(skin.LoadFromResource(nullptr, BUILTIN_SKIN_RESOURCE));
  TMemoryStream inner;
  skin.DecompressToStream(inner);
  EXPECT_EQ(Bytes(inner), skin.DecompressToBytes());
  EXPECT_GT(inner.Size(), 1000);
}

TEST(SkinZlib, StoredSkinContainerThroughStreams) {
  TskCompressedStoredSkin skin, back;
  ASSERT_TRUE(skin.LoadFromResource(nullptr, BUILTIN_SKIN_RESOURCE));
  TMemoryStream container;
  skin.SaveToCompressedStream(container);
  EXPECT_EQ(container.Size(), static_cast<int64_t>(skin.CompressedData.size() + 8));
  container.SetPosition(5); // read from the start whatever the position
  back.LoadFromCompressedStream(container);
  EXPECT_EQ(back.CompressedData, skin.CompressedData);
  // A size field beyond the bytes there raises; version 4 gives an empty skin.
  std::vector<uint8_t> bytes = Bytes(container);
  bytes.resize(bytes.size() - 1);
  TMemoryStream cut;
  Put(cut, bytes);
  EXPECT_THROW(back.LoadFromCompressedStream(cut), ESkinError);
  bytes[0] = 4;
  Put(cut, bytes);
  back.LoadFromCompressedStream(cut);
  EXPECT_TRUE(back.IsEmpty());
}

TEST(SkinZlib, RefusedOperationsRaise) {
  TMemoryStream dest;
  TCompressionStream c(zcDefault, dest);
  char b[4] = {};
  EXPECT_THROW(c.Read(b, 4), ECompressionError);
  EXPECT_THROW(c.Seek(0, soBeginning), ECompressionError);
  EXPECT_THROW(c.Seek(1, soCurrent), ECompressionError);
  EXPECT_EQ(c.Seek(0, soCurrent), 0);
  c.WriteBuffer("abc", 3);
  EXPECT_EQ(c.Seek(0, soCurrent), 3);
  c.Finish();
  EXPECT_THROW(c.Write("x", 1), ECompressionError);
  try {
    c.Read(b, 1);
  } catch (const ECompressionError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream operation");
  }

  TMemoryStream src;
  Put(src, CompressBytes(SampleData(10000)));
  TDecompressionStream d(src);
  EXPECT_THROW(d.Write(b, 1), EDecompressionError);
  EXPECT_THROW(d.Seek(0, soEnd), EDecompressionError);
  EXPECT_THROW(d.Seek(-1, soCurrent), EDecompressionError);
}

TEST(SkinZlib, DecompressionSeeksForwardAndToTheStart) {
  std::vector<uint8_t> data = SampleData(30000);
  TMemoryStream src;
  Put(src, CompressBytes(data));
  TDecompressionStream d(src);
  uint8_t b[100];
  EXPECT_EQ(d.Seek(9000, soCurrent), 9000); // forward: bytes dropped
  d.ReadBuffer(b, 100);
  EXPECT_EQ(0, std::memcmp(b, data.data() + 9000, 100));
  EXPECT_EQ(d.Seek(20000, soBeginning), 20000);
  d.ReadBuffer(b, 100);
  EXPECT_EQ(0, std::memcmp(b, data.data() + 20000, 100));
  EXPECT_EQ(d.Seek(20100, soBeginning), 20100);              // where it is: nothing to do
  EXPECT_THROW(d.Seek(5, soBeginning), EDecompressionError); // backwards
  EXPECT_EQ(d.Seek(0, soBeginning), 0);                      // restart
  d.ReadBuffer(b, 100);
  EXPECT_EQ(0, std::memcmp(b, data.data(), 100));
  EXPECT_EQ(d.Position(), 100);
}

TEST(SkinZlib, OtherUsersOfTheStreamDoNotDisturbTheAdapters) {
  std::vector<uint8_t> data = SampleData(40000);
  TMemoryStream shared;
  shared.WriteBuffer("HEAD", 4);
  {
    TCompressionStream c(zcMax, shared);
    for (size_t pos = 0; pos < data.size(); pos += 1000) {
      c.WriteBuffer(data.data() + pos, 1000);
      shared.SetPosition(0); // someone else moves the stream meanwhile
    }
  }
  std::vector<uint8_t> all = Bytes(shared);
  ASSERT_EQ(std::string(all.begin(), all.begin() + 4), "HEAD");
  EXPECT_EQ(DecompressBytes(all.data() + 4, all.size() - 4), data);

  shared.SetPosition(4);
  TDecompressionStream d(shared);
  std::vector<uint8_t> out(data.size());
  for (size_t pos = 0; pos < data.size(); pos += 777) {
    long n = static_cast<long>(std::min<size_t>(777, data.size() - pos));
    d.ReadBuffer(out.data() + pos, n);
    shared.SetPosition(1);
  }
  EXPECT_EQ(out, data);
  // A restart goes back to where the compressed data began.
  EXPECT_EQ(d.Seek(0, soBeginning), 0);
  uint8_t b[64];
  d.ReadBuffer(b, 64);
  EXPECT_EQ(0, std::memcmp(b, data.data(), 64));
}

TEST(SkinZlib, InflationIsBounded) {
  std::vector<uint8_t> zeros(8u << 20, 0);
  std::vector<uint8_t> packed = CompressBytes(zeros);
  EXPECT_LT(packed.size(), 20000u);
  EXPECT_THROW(DecompressInChunks(packed, 65536, 1u << 20), EDecompressionError);
  TMemoryStream src, out;
  Put(src, packed);
  EXPECT_THROW(DecompressStream(out, src, 1u << 20), EDecompressionError);
  EXPECT_LE(out.Size(), (1 << 20) + 4096);
  EXPECT_EQ(DecompressInChunks(packed, 65536, zeros.size()).size(), zeros.size());
}

// Every cut of a compressed stream ends in an error or in a prefix of the
// original; every damaged byte ends in an error or in some bounded output.
TEST(SkinZlib, CutAndDamagedStreamsEndCleanly) {
  std::vector<uint8_t> data = SampleData(12000);
  std::vector<uint8_t> packed = CompressBytes(data);
  auto started = std::chrono::steady_clock::now();
  int errors = 0, prefixes = 0;
  for (size_t cut = 0; cut < packed.size(); cut += 1 + cut / 16) {
    std::vector<uint8_t> part(packed.begin(), packed.begin() + cut);
    // Reading the stream gives what was there...
    try {
      std::vector<uint8_t> out = DecompressInChunks(part, 1000);
      ASSERT_LE(out.size(), data.size()) << cut;
      EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin())) << cut;
      ++prefixes;
    } catch (const EDecompressionError&) {
    }
    // ...while inflating the whole data refuses it.
    if (cut > 0) {
      EXPECT_THROW(DecompressBytes(part), EDecompressionError) << cut;
      TMemoryStream src, out;
      Put(src, part);
      EXPECT_THROW(DecompressStream(out, src), EDecompressionError) << cut;
      ++errors;
    }
  }
  EXPECT_GT(prefixes, 0);
  EXPECT_GT(errors, 0);
  std::mt19937 rng(99);
  int damagedErrors = 0;
  for (int i = 0; i < 300; ++i) {
    std::vector<uint8_t> bad = packed;
    size_t at = rng() % bad.size();
    bad[at] ^= uint8_t(1 + rng() % 255);
    if (i % 3 == 0) bad.resize(at + 1);
    try {
      std::vector<uint8_t> out = DecompressInChunks(bad, 4096, 100000);
      EXPECT_LE(out.size(), 100000u + 4096u);
    } catch (const EDecompressionError&) {
      ++damagedErrors;
    }
  }
  EXPECT_GT(damagedErrors, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

} // namespace
