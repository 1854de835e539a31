// Sample blocks passed between audio components: one-dimensional COM safe
// arrays of VT_I2, interleaved frames at the current format, lower bound 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <windows.h>
#include <oleauto.h>

namespace audio {

// A new VT_I2 vector holding a copy of count samples (count may be 0). The
// caller owns it and frees it with SafeArrayDestroy.
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
