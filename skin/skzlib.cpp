#include "skin/skzlib.h"

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
      if (pos >= size) break; // the source ran out: a shorter result
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
