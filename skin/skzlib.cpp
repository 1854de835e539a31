#include "skin/skzlib.h"

#include <algorithm>

#include <zlib.h>

std::vector<uint8_t> CompressBytes(const uint8_t* data, size_t size, int level) {
  z_stream z{};
  if (deflateInit(&z, level) != Z_OK) throw ECompressionError("error");
  std::vector<uint8_t> out;
  uint8_t buf[4096];
  z.next_in = const_cast<Bytef*>(data);
  size_t left = size;
  int rc = Z_OK;
  do {
    uInt chunk = left > 0x40000000u ? 0x40000000u : static_cast<uInt>(left);
    z.next_in = const_cast<Bytef*>(data + (size - left));
    z.avail_in = chunk;
    left -= chunk;
    int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    do {
      z.next_out = buf;
      z.avail_out = sizeof(buf);
      rc = deflate(&z, flush);
      if (rc < 0 && rc != Z_BUF_ERROR) {
        deflateEnd(&z);
        throw ECompressionError("error");
      }
      out.insert(out.end(), buf, buf + (sizeof(buf) - z.avail_out));
    } while (z.avail_out == 0);
  } while (left > 0 || rc != Z_STREAM_END);
  deflateEnd(&z);
  return out;
}

std::vector<uint8_t> DecompressBytes(const uint8_t* data, size_t size, size_t maxSize) {
  std::vector<uint8_t> out;
  if (size == 0) return out;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EDecompressionError("compression error");
  uint8_t buf[4096];
  size_t pos = 0;
  for (;;) {
    if (z.avail_in == 0) {
      if (pos >= size) { // the source ran out before the stream's end
        inflateEnd(&z);
        throw EDecompressionError("compression error: data ends early");
      }
      size_t n = size - pos < 4096 ? size - pos : 4096;
      z.next_in = const_cast<Bytef*>(data + pos);
      z.avail_in = static_cast<uInt>(n);
      pos += n;
    }
    z.next_out = buf;
    z.avail_out = sizeof(buf);
    int rc = inflate(&z, Z_NO_FLUSH);
    if (rc < 0 && rc != Z_BUF_ERROR) {
      inflateEnd(&z);
      throw EDecompressionError("compression error");
    }
    size_t produced = sizeof(buf) - z.avail_out;
    if (out.size() + produced > maxSize) {
      inflateEnd(&z);
      throw EDecompressionError("compression error: inflated data too large");
    }
    out.insert(out.end(), buf, buf + produced);
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && z.avail_in != 0 && produced == 0) {
      inflateEnd(&z);
      throw EDecompressionError("compression error");
    }
  }
  inflateEnd(&z);
  return out;
}

// ---------------------------------------------------------------------------
// Streams

namespace {
const char* const kInvalidOperation = "Invalid stream operation";
}

TCustomZlibStream::TCustomZlibStream(TStream& strm)
    : FStrm(strm), FStrmPos(strm.Position()), FZRec(std::make_unique<z_stream>()) {
  *FZRec = z_stream{};
}

TCustomZlibStream::~TCustomZlibStream() = default;

void TCustomZlibStream::RestorePosition() {
  if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
}

TCompressionStream::TCompressionStream(TCompressionLevel level, TStream& dest)
    : TCustomZlibStream(dest) {
  if (deflateInit(FZRec.get(), level) != Z_OK) throw ECompressionError("error");
  FZRec->next_out = FBuffer;
  FZRec->avail_out = sizeof(FBuffer);
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
  }
  deflateEnd(FZRec.get());
}

void TCompressionStream::WriteBufferOut(size_t count) {
  RestorePosition();
  FStrm.WriteBuffer(FBuffer, static_cast<long>(count));
  FStrmPos = FStrm.Position();
  FZRec->next_out = FBuffer;
  FZRec->avail_out = sizeof(FBuffer);
}

long TCompressionStream::Read(void*, long) {
  throw ECompressionError(kInvalidOperation);
}

long TCompressionStream::Write(const void* buffer, long count) {
  if (FFinished) throw ECompressionError(kInvalidOperation);
  if (count <= 0) return 0;
  FZRec->next_in = static_cast<Bytef*>(const_cast<void*>(buffer));
  FZRec->avail_in = static_cast<uInt>(count);
  while (FZRec->avail_in > 0) {
    if (deflate(FZRec.get(), Z_NO_FLUSH) < 0) throw ECompressionError("error");
    if (FZRec->avail_out == 0) WriteBufferOut(sizeof(FBuffer));
  }
  return count;
}

int64_t TCompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && origin == soCurrent) return static_cast<int64_t>(FZRec->total_in);
  throw ECompressionError(kInvalidOperation);
}

void TCompressionStream::Finish() {
  if (FFinished) return;
  FFinished = true;
  FZRec->next_in = nullptr;
  FZRec->avail_in = 0;
  for (;;) {
    int rc = deflate(FZRec.get(), Z_FINISH);
    if (rc < 0 && rc != Z_BUF_ERROR) throw ECompressionError("error");
    if (rc == Z_STREAM_END) break;
    if (FZRec->avail_out == 0) WriteBufferOut(sizeof(FBuffer));
  }
  if (FZRec->avail_out < sizeof(FBuffer)) WriteBufferOut(sizeof(FBuffer) - FZRec->avail_out);
}

double TCompressionStream::CompressionRate() const {
  if (FZRec->total_in == 0) return 0;
  return 100.0 * static_cast<double>(FZRec->total_out) / static_cast<double>(FZRec->total_in);
}

TDecompressionStream::TDecompressionStream(TStream& source, size_t maxSize)
    : TCustomZlibStream(source), FStartPos(FStrmPos), FMaxSize(maxSize) {
  if (inflateInit(FZRec.get()) != Z_OK) throw EDecompressionError("compression error");
}

TDecompressionStream::~TDecompressionStream() {
  inflateEnd(FZRec.get());
}

long TDecompressionStream::Read(void* buffer, long count) {
  if (count <= 0) return 0;
  z_stream& z = *FZRec;
  z.next_out = static_cast<Bytef*>(buffer);
  z.avail_out = static_cast<uInt>(count);
  while (z.avail_out > 0 && !FEnded) {
    if (z.avail_in == 0) {
      RestorePosition();
      long n = FStrm.Read(FBuffer, sizeof(FBuffer));
      if (n <= 0) break; // the source ran out
      FStrmPos += n;
      z.next_in = FBuffer;
      z.avail_in = static_cast<uInt>(n);
    }
    uInt inBefore = z.avail_in, outBefore = z.avail_out;
    int rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_STREAM_END)
      FEnded = true;
    else if ((rc < 0 && rc != Z_BUF_ERROR) || rc == Z_NEED_DICT)
      throw EDecompressionError("compression error");
    else if (z.avail_in == inBefore && z.avail_out == outBefore)
      throw EDecompressionError("compression error"); // no progress
    if (z.total_out > FMaxSize)
      throw EDecompressionError("compression error: inflated data too large");
  }
  return count - static_cast<long>(z.avail_out);
}

long TDecompressionStream::Write(const void*, long) {
  throw EDecompressionError(kInvalidOperation);
}

int64_t TDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  z_stream& z = *FZRec;
  int64_t produced = static_cast<int64_t>(z.total_out);
  int64_t skip = -1;
  if (offset == 0 && origin == soBeginning) {
    if (inflateReset(&z) != Z_OK) throw EDecompressionError("compression error");
    z.next_in = FBuffer;
    z.avail_in = 0;
    FEnded = false;
    FStrmPos = FStartPos;
    return 0;
  }
  if (origin == soCurrent && offset >= 0)
    skip = offset;
  else if (origin == soBeginning && offset >= produced)
    skip = offset - produced;
  if (skip < 0) throw EDecompressionError(kInvalidOperation);
  uint8_t block[4096];
  while (skip > 0) {
    long n = static_cast<long>(std::min<int64_t>(skip, sizeof(block)));
    ReadBuffer(block, n);
    skip -= n;
  }
  return static_cast<int64_t>(z.total_out);
}

void CompressStream(TStream& source, TStream& dest) {
  TCompressionStream z(zcMax, dest);
  source.SetPosition(0);
  uint8_t block[4096];
  for (;;) {
    long n = source.Read(block, sizeof(block));
    if (n <= 0) break;
    z.WriteBuffer(block, n);
  }
  z.Finish();
}

void DecompressStream(TStream& dest, TStream& source, size_t maxSize) {
  source.SetPosition(0);
  if (source.Size() == 0) return;
  TDecompressionStream z(source, maxSize);
  uint8_t block[4096];
  for (;;) {
    long n = z.Read(block, sizeof(block));
    if (n <= 0) break;
    dest.WriteBuffer(block, n);
  }
  if (!z.Ended()) throw EDecompressionError("compression error: data ends early");
}
