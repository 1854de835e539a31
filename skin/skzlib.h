// Deflate and inflate through zlib: streams over another stream, and whole
// memory blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Streams.h"
#include "skin/SkUtils.h"

struct z_stream_s;

class EZlibError : public ESkinError {
public:
  using ESkinError::ESkinError;
};
class ECompressionError : public EZlibError {
public:
  using EZlibError::EZlibError;
};
class EDecompressionError : public EZlibError {
public:
  using EZlibError::EZlibError;
};

// Compression levels: none 0, fastest 1, default -1, maximum 9 (skins).
enum TCompressionLevel { zcNone = 0, zcFastest = 1, zcDefault = -1, zcMax = 9 };

// Largest inflated size accepted from outside data.
constexpr size_t kMaxInflatedSize = 64u << 20;

// A zlib stream of the bytes. Raises ECompressionError "error".
std::vector<uint8_t> CompressBytes(const uint8_t* data, size_t size, int level = zcMax);
inline std::vector<uint8_t> CompressBytes(const std::vector<uint8_t>& data, int level = zcMax) {
  return CompressBytes(data.data(), data.size(), level);
}

// Inflates a zlib stream in blocks of 4096 bytes. Data that ends before the
// stream's end, corrupt data or output above maxSize raise EDecompressionError
// "compression error"; no data gives nothing.
std::vector<uint8_t> DecompressBytes(const uint8_t* data, size_t size,
                                     size_t maxSize = kMaxInflatedSize);
inline std::vector<uint8_t> DecompressBytes(const std::vector<uint8_t>& data,
                                            size_t maxSize = kMaxInflatedSize) {
  return DecompressBytes(data.data(), data.size(), maxSize);
}

// ---------------------------------------------------------------------------
// Streams

// Shared part of the two adapters: the other stream, its position as last
// seen here, the zlib record and a 4096-byte buffer.
class TCustomZlibStream : public TStream {
public:
  ~TCustomZlibStream() override;

protected:
  explicit TCustomZlibStream(TStream& strm);
  // Puts the other stream back where this adapter left it.
  void RestorePosition();

  TStream& FStrm;
  int64_t FStrmPos;
  std::unique_ptr<z_stream_s> FZRec;
  uint8_t FBuffer[4096];
};

// Write-only: deflates what is written into the destination.
class TCompressionStream : public TCustomZlibStream {
public:
  TCompressionStream(TCompressionLevel level, TStream& dest);
  // Finishes the zlib stream unless Finish ran.
  ~TCompressionStream() override;

  long Read(void* buffer, long count) override;
  long Write(const void* buffer, long count) override;
  // Only the position query (0 from the current position): the bytes taken in.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Runs deflate to its end and writes the rest; later writes raise.
  void Finish();
  // Compressed bytes per byte taken in, in percent (0 before any input).
  double CompressionRate() const;

private:
  void WriteBufferOut(size_t count);
  bool FFinished = false;
};

// Read-only: inflates the source. A source that ends early gives fewer bytes;
// corrupt data, or more than maxSize bytes in all, raises EDecompressionError.
class TDecompressionStream : public TCustomZlibStream {
public:
  explicit TDecompressionStream(TStream& source, size_t maxSize = kMaxInflatedSize);
  ~TDecompressionStream() override;

  long Read(void* buffer, long count) override;
  long Write(const void* buffer, long count) override;
  // To the start (restarts inflation at the source's first position) or
  // forward (bytes read and dropped); anything else raises.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // True once the zlib stream's end was met.
  bool Ended() const { return FEnded; }

private:
  int64_t FStartPos;
  size_t FMaxSize;
  bool FEnded = false;
};

// Copies the whole source, from its start, through a maximum-level
// compression stream into dest.
void CompressStream(TStream& source, TStream& dest);
// Inflates source, from its start, into dest in blocks of 4096 bytes. Raises
// EDecompressionError when the source ends before the zlib stream does.
void DecompressStream(TStream& dest, TStream& source, size_t maxSize = kMaxInflatedSize);
