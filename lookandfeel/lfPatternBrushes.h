// Two 8x8 pattern brushes: a checkerboard and a solid foreground pattern.
#pragma once

#include <windows.h>

HBRUSH lfCheckerPatternBrush();
HBRUSH lfSolidPatternBrush();

void lfPatternBrushesInitialize();
void lfPatternBrushesFinalize();
