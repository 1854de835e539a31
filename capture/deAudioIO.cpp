#include "capture/deAudioIO.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TdeBufferPool

void* TdeBufferPool::Get(DWORD size) {
  size_t best = FFree.size();
  DWORD bestExcess = size;
  for (size_t i = 0; i < FFree.size(); ++i) {
    DWORD have = SizeOf(FFree[i]);
    if (have == size) {
      best = i;
      break;
    }
    if (have > size && have - size < bestExcess) {
      bestExcess = have - size;
      best = i;
    }
  }
  if (best < FFree.size()) {
    void* block = FFree[best];
    FFree.erase(FFree.begin() + static_cast<std::ptrdiff_t>(best));
    return block;
  }
  HGLOBAL h = GlobalAlloc(GMEM_FIXED | GMEM_SHARE, static_cast<SIZE_T>(size) + sizeof(DWORD));
  if (!h) throw EACMAudioOutError(deStrings::sGlobalAlloc);
  FAll.push_back(h);
  DWORD* p = static_cast<DWORD*>(static_cast<void*>(h));
  p[0] = size;
  return p + 1;
}

void TdeBufferPool::Return(void* block) {
  if (block) FFree.push_back(block);
}

void TdeBufferPool::Clear() {
  FFree.clear();
  for (HGLOBAL h : FAll)
    GlobalFree(h);
  FAll.clear();
}

// ---------------------------------------------------------------------------
// Buffer size

DWORD deAdjustBufferSize(DWORD size, const TdeWaveFormat& format, bool autoAdjust) {
  const DWORD bits = format.BitsPerSample();
  if (bits == 0) return size;
  const DWORD frame = (bits / 8) * format.Channels();
  if (autoAdjust && frame > 1) size -= size % frame;
  if ((static_cast<unsigned long long>(size) * 8) % bits != 0)
    throw EACMAudioInError(deStrings::sInvalidBufferSize);
  return size;
}
