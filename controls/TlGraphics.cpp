#include "controls/TlGraphics.h"

bool VersionFlagXP(DWORD Platform, DWORD Major, DWORD Minor) {
  return Platform == VER_PLATFORM_WIN32_NT && Major > 4 && Minor != 0;
}

bool VersionFlagVista(DWORD Platform, DWORD Major, DWORD Minor) {
  return Platform == VER_PLATFORM_WIN32_NT && Major == 6 && Minor == 0;
}

namespace {

OSVERSIONINFOW Version() {
  OSVERSIONINFOW vi{};
  vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&vi);
#pragma GCC diagnostic pop
  return vi;
}

} // namespace

bool IsWinXPOrLater =
    VersionFlagXP(Version().dwPlatformId, Version().dwMajorVersion, Version().dwMinorVersion);
bool IsWinVista =
    VersionFlagVista(Version().dwPlatformId, Version().dwMajorVersion, Version().dwMinorVersion);

void DrawParentImage(TControl* Control, TCanvas* Canvas) {
  TWinControl* parent = Control ? Control->Parent() : nullptr;
  if (!parent || !parent->HandleAllocated()) return;
  HDC dc = Canvas->Handle();
  int saved = SaveDC(dc);
  POINT old;
  GetViewportOrgEx(dc, &old);
  SetViewportOrgEx(dc, old.x - Control->Left(), old.y - Control->Top(), nullptr);
  IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
  SendMessageW(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(parent->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  RestoreDC(dc, saved);
}

std::vector<TPoint> TilePositions(const TRect& Rect, int TileWidth, int TileHeight) {
  std::vector<TPoint> out;
  if (TileWidth <= 0 || TileHeight <= 0) return out;
  for (int y = 0; y < TileHeight + Rect.Height(); y += TileHeight)
    for (int x = 0; x < TileWidth + Rect.Width(); x += TileWidth)
      out.emplace_back(x, y);
  return out;
}

void TileImage(TCanvas* Canvas, const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  for (const TPoint& p : TilePositions(Rect, Graphic->Width(), Graphic->Height()))
    Canvas->Draw(p.X, p.Y, Graphic);
}
