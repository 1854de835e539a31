// Parent-background painting and picture tiling for the image panel, and two
// platform version flags.
#pragma once

#include "framework/Controls.h"
#include "framework/Graphics.h"

// Paints the parent's background under Control into Canvas.
void DrawParentImage(TControl* Control, TCanvas* Canvas);
// Draws Graphic at every multiple of its size from (0, 0) over Rect.
void TileImage(TCanvas* Canvas, const TRect& Rect, TGraphic* Graphic);
// The tile positions TileImage uses.
std::vector<TPoint> TilePositions(const TRect& Rect, int TileWidth, int TileHeight);

// NT platform, major version above 4 and minor version not 0.
extern bool IsWinXPOrLater;
// NT platform 6.0 exactly.
extern bool IsWinVista;
bool VersionFlagXP(DWORD Platform, DWORD Major, DWORD Minor);
bool VersionFlagVista(DWORD Platform, DWORD Major, DWORD Minor);
