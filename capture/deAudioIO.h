// Capture library, device side: the memory pool of the wave buffers and the
// wave-in device component, which hands filled buffers to its observers on
// the thread that created it.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <vector>

#include "capture/deACM.h"

// ---------------------------------------------------------------------------
// Pool of global memory blocks. Each block stores its requested size in its
// first 32-bit word; callers get the address behind it.

class TdeBufferPool {
public:
  TdeBufferPool() = default;
  ~TdeBufferPool() { Clear(); }
  TdeBufferPool(const TdeBufferPool&) = delete;
  TdeBufferPool& operator=(const TdeBufferPool&) = delete;

  // A free block of exactly size bytes, else the free block with the smallest
  // excess below size, else a new block. Raises EACMAudioOutError.
  void* Get(DWORD size);
  // Hands a block back to the free list.
  void Return(void* block);
  // Empties the free list and releases every block.
  void Clear();

  static DWORD SizeOf(const void* block) { return static_cast<const DWORD*>(block)[-1]; }
  size_t FreeCount() const { return FFree.size(); }
  size_t BlockCount() const { return FAll.size(); }

private:
  std::vector<void*> FFree; // user addresses
  std::vector<HGLOBAL> FAll;
};

// The buffer size the device opens with: cut to whole frames when autoAdjust
// is set; raises EACMAudioInError "Invalid input buffer size." when the size
// is not a whole number of samples.
DWORD deAdjustBufferSize(DWORD size, const TdeWaveFormat& format, bool autoAdjust);
