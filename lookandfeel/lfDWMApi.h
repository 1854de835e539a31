// The desktop window manager's functions, bound at run time.
#pragma once

#include <windows.h>

enum TlfDwmFunction {
  dwmDefWindowProc,
  dwmEnableBlurBehindWindow,
  dwmEnableComposition,
  dwmEnableMMCSS,
  dwmExtendFrameIntoClientArea,
  dwmGetColorizationColor,
  dwmGetWindowAttribute,
  dwmIsCompositionEnabled,
  dwmSetWindowAttribute,
  dwmFunctionCount
};
extern const char* const lfDwmFunctionNames[dwmFunctionCount];
FARPROC lfDwmFunction(TlfDwmFunction F);

// Loads "dwmapi.dll" on version 6 or later and binds its functions; the
// result is whether the window manager is available.
bool InitializeDWM();
bool lfDwmAvailable();
HMODULE lfDwmLibrary();

void lfDWMApiInitialize();
void lfDWMApiFinalize();
