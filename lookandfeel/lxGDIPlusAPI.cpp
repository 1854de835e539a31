#include "lookandfeel/lxGDIPlusAPI.h"

#include <algorithm>
#include <memory>

#include "framework/SysUtils.h"
#include "lookandfeel/lfControls.h"

namespace {

using namespace Gdiplus;

HMODULE gLib = nullptr;
bool gUsable = false;
FARPROC gSlots[gpFunctionCount] = {};
GdiplusStartupInput gInput(nullptr, TRUE, FALSE);
GdiplusStartupOutput gOutput;
ULONG_PTR gToken = 0, gHookToken = 0;
CLSID gPngEncoder = {};
TlxUnitsLoader* gLoader = nullptr; // plain: exit hooks run during static destruction
int gUseCount = 0;

} // namespace

bool lxGdiPlusDisabled = false;

const char* const lxGdipFunctionNames[gpFunctionCount] = {"GdipAlloc",
                                                          "GdipFree",
                                                          "GdiplusStartup",
                                                          "GdiplusShutdown",
                                                          "GdipCloneBrush",
                                                          "GdipDeleteBrush",
                                                          "GdipGetBrushType",
                                                          "GdipCreateSolidFill",
                                                          "GdipSetSolidFillColor",
                                                          "GdipGetSolidFillColor",
                                                          "GdipCreateLineBrushFromRectI",
                                                          "GdipGetLineRectI",
                                                          "GdipSetLineColors",
                                                          "GdipGetLineColors",
                                                          "GdipSetLineWrapMode",
                                                          "GdipGetLineWrapMode",
                                                          "GdipCreateHatchBrush",
                                                          "GdipGetHatchStyle",
                                                          "GdipGetHatchForegroundColor",
                                                          "GdipGetHatchBackgroundColor",
                                                          "GdipCreatePen1",
                                                          "GdipCreatePen2",
                                                          "GdipClonePen",
                                                          "GdipDeletePen",
                                                          "GdipGetPenFillType",
                                                          "GdipSetPenBrushFill",
                                                          "GdipGetPenBrushFill",
                                                          "GdipSetPenColor",
                                                          "GdipGetPenColor",
                                                          "GdipSetPenMode",
                                                          "GdipGetPenMode",
                                                          "GdipSetPenWidth",
                                                          "GdipGetPenWidth",
                                                          "GdipCreateFromHDC",
                                                          "GdipDeleteGraphics",
                                                          "GdipGetDC",
                                                          "GdipReleaseDC",
                                                          "GdipGraphicsClear",
                                                          "GdipDrawLineI",
                                                          "GdipFillRectangleI",
                                                          "GdipDrawArcI",
                                                          "GdipDrawBezierI",
                                                          "GdipDrawRectangleI",
                                                          "GdipDrawEllipseI",
                                                          "GdipDrawPieI",
                                                          "GdipDrawPolygonI",
                                                          "GdipDrawCurve2I",
                                                          "GdipDrawClosedCurve2I",
                                                          "GdipFillPolygonI",
                                                          "GdipFillEllipseI",
                                                          "GdipFillPieI",
                                                          "GdipFillClosedCurveI",
                                                          "GdipLoadImageFromStream",
                                                          "GdipCreateBitmapFromFile",
                                                          "GdipCreateBitmapFromStream",
                                                          "GdipCreateBitmapFromStreamICM",
                                                          "GdipCreateHBITMAPFromBitmap",
                                                          "GdipLoadImageFromFile",
                                                          "GdipGetImageDimension",
                                                          "GdipDrawImageRectI",
                                                          "GdipDisposeImage",
                                                          "GdipGetImageEncodersSize",
                                                          "GdipGetImageEncoders",
                                                          "GdipSaveImageToStream",
                                                          "GdipCreateBitmapFromHBITMAP",
                                                          "GdipGetEncoderParameterListSize",
                                                          "GdipGetEncoderParameterList",
                                                          "GdipCreateBitmapFromGdiDib",
                                                          "GdipCreateBitmapFromScan0",
                                                          "GdipBitmapLockBits",
                                                          "GdipBitmapUnlockBits",
                                                          "GdipDrawImageRectRectI",
                                                          "GdipDrawImageRectRect",
                                                          "GdipDrawImagePointRect",
                                                          "GdipCloneImage",
                                                          "GdipSetInterpolationMode",
                                                          "GdipGetInterpolationMode",
                                                          "GdipCreateCachedBitmap",
                                                          "GdipDeleteCachedBitmap",
                                                          "GdipDrawCachedBitmap",
                                                          "GdipCreateBitmapFromGraphics",
                                                          "GdipGetImageGraphicsContext",
                                                          "GdipGetImageWidth",
                                                          "GdipGetImageHeight",
                                                          "GdipSetCompositingMode",
                                                          "GdipGetCompositingMode",
                                                          "GdipSetCompositingQuality",
                                                          "GdipGetCompositingQuality",
                                                          "GdipSetSmoothingMode",
                                                          "GdipGetSmoothingMode",
                                                          "GdipCloneBitmapAreaI"};

FARPROC lxGdipFunction(TlxGdipFunction F) {
  return F >= 0 && F < gpFunctionCount ? gSlots[F] : nullptr;
}

bool GdiPlusLoaded() {
  return gLib != nullptr;
}

void LoadGdiPlus() {
  if (gUsable || lxGdiPlusDisabled) return;
  if (!gLib) {
    UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    gLib = LoadLibraryW(L"gdiplus.dll");
    SetErrorMode(old);
  }
  gUsable = gLib != nullptr;
  for (int i = 0; i < gpFunctionCount && gUsable; ++i) {
    gSlots[i] = GetProcAddress(gLib, lxGdipFunctionNames[i]);
    if (!gSlots[i]) gUsable = false;
  }
  if (!gUsable) return;
  auto startup =
      lxGdip<Status(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, GdiplusStartupOutput*)>(
          gpStartup);
  gOutput = GdiplusStartupOutput();
  bool ok = startup(&gToken, &gInput, &gOutput) == Ok;
  if (ok) ok = gOutput.NotificationHook && gOutput.NotificationHook(&gHookToken) == Ok;
  if (!ok) {
    gUsable = false;
    gOutput.NotificationHook = nullptr;
    gOutput.NotificationUnhook = nullptr;
  }
}

void UnloadGdiPlus() {
  if (gUsable) {
    if (gOutput.NotificationUnhook) gOutput.NotificationUnhook(gHookToken);
    lxGdip<void(WINAPI*)(ULONG_PTR)>(gpShutdown)(gToken);
  }
  for (auto& s : gSlots)
    s = nullptr;
  if (gLib) FreeLibrary(gLib);
  gLib = nullptr;
  gUsable = false;
  gPngEncoder = CLSID{};
}

bool GdiPlusUsable() {
  if (!gUsable) LoadGdiPlus();
  return gUsable;
}

int FindEncoder(const std::wstring& MimeType, CLSID& ClassId) {
  if (!gUsable) return 1;
  UINT count = 0, size = 0;
  if (lxGdip<Status(WINAPI*)(UINT*, UINT*)>(gpGetImageEncodersSize)(&count, &size) != Ok ||
      size == 0)
    return 1;
  // The platform's record layout (this build is 64-bit).
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  if (lxGdip<Status(WINAPI*)(UINT, UINT, ImageCodecInfo*)>(gpGetImageEncoders)(count, size,
                                                                               codecs) != Ok)
    return 1;
  for (UINT i = 0; i < count; ++i)
    if (codecs[i].MimeType && _wcsicmp(codecs[i].MimeType, MimeType.c_str()) == 0) {
      ClassId = codecs[i].Clsid;
      return 0;
    }
  return 1;
}

void EnsurePngEncoder() {
  static const BYTE zero[8] = {};
  if (memcmp(&gPngEncoder, zero, 8) == 0) FindEncoder(L"image/png", gPngEncoder);
}

const CLSID& PngEncoderClassId() {
  return gPngEncoder;
}

// ---------------------------------------------------------------------------
// Loader

TlxUnitsLoader::~TlxUnitsLoader() {
  RunShutDowns();
}

void TlxUnitsLoader::RegisterUnitRoutines(TlxUnitRoutine Start, TlxUnitRoutine Stop) {
  if (Start) {
    if (lfIsLibraryModule) {
      FStarts.push_back(Start);
    } else {
      Start();
      FStarted = true;
    }
  }
  if (Stop) FStops.push_back(Stop);
}

void TlxUnitsLoader::RunStartUps() {
  auto starts = std::move(FStarts);
  FStarts.clear();
  for (auto s : starts)
    s();
  FStarted = true;
}

void TlxUnitsLoader::WithdrawShutDown(TlxUnitRoutine Stop) {
  auto it = std::find(FStops.begin(), FStops.end(), Stop);
  if (it == FStops.end()) return;
  FStops.erase(it);
  Stop();
}

void TlxUnitsLoader::RunShutDowns() {
  if (FStarted)
    for (auto it = FStops.rbegin(); it != FStops.rend(); ++it)
      if (*it) (*it)();
  FStarted = false;
  FStops.clear();
}

TlxUnitsLoader* UnitsLoader() {
  if (!gLoader) gLoader = new TlxUnitsLoader;
  return gLoader;
}

bool UnitsLoaderExists() {
  return gLoader != nullptr;
}

namespace {

void ApiStart() {
  gUsable = false;
}

} // namespace

void lxGDIPlusAPIInitialize() {
  if (gUseCount++ > 0) return;
  UnitsLoader()->RegisterUnitRoutines(ApiStart, UnloadGdiPlus);
}

void lxGDIPlusAPIFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  if (lfIsLibraryModule && gUsable && gLoader && gLoader->ShutDownCount() > 0)
    throw Exception(L"Need call lxFinalizeGDIPlus before free library!");
  delete gLoader;
  gLoader = nullptr;
}
