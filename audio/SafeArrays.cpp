#include "audio/SafeArrays.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/AudioError.h"

namespace audio {

SAFEARRAY* CreateSampleArray(const int16_t* samples, size_t count) {
  if (count > 0x7FFFFFFF) RaiseAudioError(L"Sample block too large");
  TSafeArray a(SafeArrayCreateVector(VT_I2, 0, static_cast<ULONG>(count)));
  if (!a) RaiseAudioError(L"Out of memory for a sample block");
  if (count) {
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(a.Get(), &data)))
      RaiseAudioError(L"Cannot access a sample block");
    std::memcpy(data, samples, count * sizeof(int16_t));
    SafeArrayUnaccessData(a.Get());
  }
  return a.Release();
}

size_t SampleArrayCount(SAFEARRAY* array) {
  if (!array || SafeArrayGetDim(array) != 1) return 0;
  LONG lo = 0, hi = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &lo)) || FAILED(SafeArrayGetUBound(array, 1, &hi)))
    return 0;
  return hi >= lo ? static_cast<size_t>(hi - lo + 1) : 0;
}

long SampleArrayUBound(SAFEARRAY* array) {
  if (!array || SafeArrayGetDim(array) != 1) return -1;
  LONG hi = -1;
  if (FAILED(SafeArrayGetUBound(array, 1, &hi))) return -1;
  return hi;
}

namespace {
template <class T>
void ConvertInto(const void* data, size_t n, std::vector<int16_t>& out, int shift) {
  const T* p = static_cast<const T*>(data);
  for (size_t i = 0; i < n; ++i)
    out[i] = static_cast<int16_t>(static_cast<long long>(p[i]) >> shift);
}
template <class T> void ConvertFloat(const void* data, size_t n, std::vector<int16_t>& out) {
  const T* p = static_cast<const T*>(data);
  for (size_t i = 0; i < n; ++i) {
    double v = std::clamp(static_cast<double>(p[i]) * 32768.0, -32768.0, 32767.0);
    out[i] = static_cast<int16_t>(std::lround(v));
  }
}
} // namespace

std::vector<int16_t> SampleArrayToVector(SAFEARRAY* array) {
  size_t n = SampleArrayCount(array);
  std::vector<int16_t> out(n);
  if (!n) return out;
  VARTYPE vt = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(array, &vt))) vt = VT_I2;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) RaiseAudioError(L"Cannot access a sample block");
  switch (vt) {
  case VT_I1:
    for (size_t i = 0; i < n; ++i)
      out[i] = static_cast<int16_t>(static_cast<const int8_t*>(data)[i] * 256);
    break;
  case VT_UI1:
    for (size_t i = 0; i < n; ++i)
      out[i] = static_cast<int16_t>((static_cast<const uint8_t*>(data)[i] - 128) * 256);
    break;
  case VT_I4:
  case VT_INT:
    ConvertInto<int32_t>(data, n, out, 16);
    break;
  case VT_R4:
    ConvertFloat<float>(data, n, out);
    break;
  case VT_R8:
    ConvertFloat<double>(data, n, out);
    break;
  default:
    if (SafeArrayGetElemsize(array) == sizeof(int16_t))
      std::memcpy(out.data(), data, n * sizeof(int16_t));
    else
      out.clear();
    break;
  }
  SafeArrayUnaccessData(array);
  return out;
}

} // namespace audio
