// Sample blocks passed between audio components: one-dimensional COM safe
// arrays of VT_I2, interleaved frames at the current format, lower bound 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <windows.h>
#include <oleauto.h>

namespace audio {

// Owns one safe array and destroys it when it goes.
class TSafeArray {
public:
  TSafeArray() = default;
  explicit TSafeArray(SAFEARRAY* array) noexcept : FArray(array) {}
  TSafeArray(TSafeArray&& other) noexcept : FArray(other.Release()) {}
  TSafeArray& operator=(TSafeArray&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  TSafeArray(const TSafeArray&) = delete;
  TSafeArray& operator=(const TSafeArray&) = delete;
  ~TSafeArray() { Reset(); }

  SAFEARRAY* Get() const noexcept { return FArray; }
  // For the components' calls that take the array by reference.
  SAFEARRAY*& Ref() noexcept { return FArray; }
  explicit operator bool() const noexcept { return FArray != nullptr; }
  // Gives the array up to the caller.
  SAFEARRAY* Release() noexcept {
    SAFEARRAY* a = FArray;
    FArray = nullptr;
    return a;
  }
  void Reset(SAFEARRAY* array = nullptr) noexcept {
    if (FArray && FArray != array) SafeArrayDestroy(FArray);
    FArray = array;
  }

private:
  SAFEARRAY* FArray = nullptr;
};

// A new VT_I2 vector holding a copy of count samples (count may be 0). The
// caller owns it (see TSafeArray).
SAFEARRAY* CreateSampleArray(const int16_t* samples, size_t count);
inline SAFEARRAY* CreateSampleArray(const std::vector<int16_t>& v) {
  return CreateSampleArray(v.data(), v.size());
}
// Number of elements of a one-dimensional array; 0 for null or empty arrays.
size_t SampleArrayCount(SAFEARRAY* array);
// A copy of the elements. VT_I2 is copied as is; other integer and float
// element types are converted to 16 bits. Null gives an empty vector.
std::vector<int16_t> SampleArrayToVector(SAFEARRAY* array);
// Upper bound of dimension 1 (-1 for an empty array).
long SampleArrayUBound(SAFEARRAY* array);

} // namespace audio
