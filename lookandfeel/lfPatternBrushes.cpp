#include "lookandfeel/lfPatternBrushes.h"

namespace {

HBRUSH gChecker = nullptr, gSolid = nullptr;
int gUseCount = 0;

// Rows of a monochrome bitmap are padded to 16 bits.
HBRUSH MakeBrush(WORD Even, WORD Odd) {
  WORD rows[8];
  for (int i = 0; i < 8; ++i)
    rows[i] = (i % 2) ? Odd : Even;
  HBITMAP bm = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH b = CreatePatternBrush(bm);
  DeleteObject(bm);
  return b;
}

} // namespace

HBRUSH lfCheckerPatternBrush() {
  return gChecker;
}

HBRUSH lfSolidPatternBrush() {
  return gSolid;
}

void lfPatternBrushesInitialize() {
  if (gUseCount++ > 0) return;
  gChecker = MakeBrush(0x55, 0xAA);
  gSolid = MakeBrush(0, 0);
}

void lfPatternBrushesFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  DeleteObject(gChecker);
  DeleteObject(gSolid);
  gChecker = gSolid = nullptr;
}
