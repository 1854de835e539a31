// Deflate and inflate of whole memory blocks through zlib.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/SkUtils.h"

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
enum TCompressionLevel { clNone = 0, clFastest = 1, clDefault = -1, clMax = 9 };

// Largest inflated size accepted from outside data.
constexpr size_t kMaxInflatedSize = 64u << 20;

// A zlib stream of the bytes. Raises ECompressionError "error".
std::vector<uint8_t> CompressBytes(const uint8_t* data, size_t size, int level = clMax);
inline std::vector<uint8_t> CompressBytes(const std::vector<uint8_t>& data, int level = clMax) {
  return CompressBytes(data.data(), data.size(), level);
}

// Inflates a zlib stream in blocks of 4096 bytes. Data that ends early gives
// the bytes produced so far; corrupt data raises EDecompressionError
// "compression error"; output above maxSize raises EDecompressionError.
std::vector<uint8_t> DecompressBytes(const uint8_t* data, size_t size,
                                     size_t maxSize = kMaxInflatedSize);
inline std::vector<uint8_t> DecompressBytes(const std::vector<uint8_t>& data,
                                            size_t maxSize = kMaxInflatedSize) {
  return DecompressBytes(data.data(), data.size(), maxSize);
}
