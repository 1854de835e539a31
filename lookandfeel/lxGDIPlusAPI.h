// GDI+ bound at run time: its flat functions, start-up and shut-down, the PNG
// encoder, and a loader that runs the start-up and shut-down routines of the
// GDI+ units (at once in a program, later in a library module).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/Classes.h"

enum TlxGdipFunction {
  gpAlloc,
  gpFree,
  gpStartup,
  gpShutdown,
  gpCloneBrush,
  gpDeleteBrush,
  gpGetBrushType,
  gpCreateSolidFill,
  gpSetSolidFillColor,
  gpGetSolidFillColor,
  gpCreateLineBrushFromRectI,
  gpGetLineRectI,
  gpSetLineColors,
  gpGetLineColors,
  gpSetLineWrapMode,
  gpGetLineWrapMode,
  gpCreateHatchBrush,
  gpGetHatchStyle,
  gpGetHatchForegroundColor,
  gpGetHatchBackgroundColor,
  gpCreatePen1,
  gpCreatePen2,
  gpClonePen,
  gpDeletePen,
  gpGetPenFillType,
  gpSetPenBrushFill,
  gpGetPenBrushFill,
  gpSetPenColor,
  gpGetPenColor,
  gpSetPenMode,
  gpGetPenMode,
  gpSetPenWidth,
  gpGetPenWidth,
  gpCreateFromHDC,
  gpDeleteGraphics,
  gpGetDC,
  gpReleaseDC,
  gpGraphicsClear,
  gpDrawLineI,
  gpFillRectangleI,
  gpDrawArcI,
  gpDrawBezierI,
  gpDrawRectangleI,
  gpDrawEllipseI,
  gpDrawPieI,
  gpDrawPolygonI,
  gpDrawCurve2I,
  gpDrawClosedCurve2I,
  gpFillPolygonI,
  gpFillEllipseI,
  gpFillPieI,
  gpFillClosedCurveI,
  gpLoadImageFromStream,
  gpCreateBitmapFromFile,
  gpCreateBitmapFromStream,
  gpCreateBitmapFromStreamICM,
  gpCreateHBITMAPFromBitmap,
  gpLoadImageFromFile,
  gpGetImageDimension,
  gpDrawImageRectI,
  gpDisposeImage,
  gpGetImageEncodersSize,
  gpGetImageEncoders,
  gpSaveImageToStream,
  gpCreateBitmapFromHBITMAP,
  gpGetEncoderParameterListSize,
  gpGetEncoderParameterList,
  gpCreateBitmapFromGdiDib,
  gpCreateBitmapFromScan0,
  gpBitmapLockBits,
  gpBitmapUnlockBits,
  gpDrawImageRectRectI,
  gpDrawImageRectRect,
  gpDrawImagePointRect,
  gpCloneImage,
  gpSetInterpolationMode,
  gpGetInterpolationMode,
  gpCreateCachedBitmap,
  gpDeleteCachedBitmap,
  gpDrawCachedBitmap,
  gpCreateBitmapFromGraphics,
  gpGetImageGraphicsContext,
  gpGetImageWidth,
  gpGetImageHeight,
  gpSetCompositingMode,
  gpGetCompositingMode,
  gpSetCompositingQuality,
  gpGetCompositingQuality,
  gpSetSmoothingMode,
  gpGetSmoothingMode,
  gpCloneBitmapAreaI,
  gpFunctionCount
};
extern const char* const lxGdipFunctionNames[gpFunctionCount];
FARPROC lxGdipFunction(TlxGdipFunction F);
template <class T> T lxGdip(TlxGdipFunction F) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(lxGdipFunction(F)));
}

// Loads GDI+ when it is not usable yet; whether it is usable.
bool GdiPlusUsable();
void LoadGdiPlus();
void UnloadGdiPlus();
bool GdiPlusLoaded(); // the library handle is held
// Tests may keep GDI+ from loading.
extern bool lxGdiPlusDisabled;

// 0 when found.
int FindEncoder(const std::wstring& MimeType, CLSID& ClassId);
void EnsurePngEncoder();
const CLSID& PngEncoderClassId();

// The deferred-unit loader.
using TlxUnitRoutine = void (*)();
class TlxUnitsLoader : public TObject {
public:
  ~TlxUnitsLoader() override;
  void RegisterUnitRoutines(TlxUnitRoutine Start, TlxUnitRoutine Stop);
  void WithdrawShutDown(TlxUnitRoutine Stop);
  void RunShutDowns();
  // Runs the waiting start-up routines (a library module calls this).
  void RunStartUps();
  int ShutDownCount() const { return static_cast<int>(FStops.size()); }

private:
  std::vector<TlxUnitRoutine> FStarts, FStops;
  bool FStarted = false;
};
TlxUnitsLoader* UnitsLoader();
bool UnitsLoaderExists();

void lxGDIPlusAPIInitialize();
void lxGDIPlusAPIFinalize();
