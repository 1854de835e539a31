#include "lookandfeel/lfDWMApi.h"

#include "lookandfeel/lxUxTheme.h"

namespace {

HMODULE gLib = nullptr;
FARPROC gSlots[dwmFunctionCount] = {};
bool gAvailable = false;
int gUseCount = 0;

} // namespace

const char* const lfDwmFunctionNames[dwmFunctionCount] = {
    "DwmDefWindowProc",      "DwmEnableBlurBehindWindow",    "DwmEnableComposition",
    "DwmEnableMMCSS",        "DwmExtendFrameIntoClientArea", "DwmGetColorizationColor",
    "DwmGetWindowAttribute", "DwmIsCompositionEnabled",      "DwmSetWindowAttribute"};

FARPROC lfDwmFunction(TlfDwmFunction F) {
  return F >= 0 && F < dwmFunctionCount ? gSlots[F] : nullptr;
}

bool InitializeDWM() {
  if (gLib) return true;
  if (lxSystemVersion().Major <= 5) return false;
  gLib = LoadLibraryW(L"dwmapi.dll");
  if (!gLib) return false;
  for (int i = 0; i < dwmFunctionCount; ++i)
    gSlots[i] = GetProcAddress(gLib, lfDwmFunctionNames[i]);
  return true;
}

bool lfDwmAvailable() {
  return gAvailable;
}

HMODULE lfDwmLibrary() {
  return gLib;
}

void lfDWMApiInitialize() {
  if (gUseCount++ > 0) return;
  gAvailable = InitializeDWM();
}

void lfDWMApiFinalize() {
  if (gUseCount == 0 || --gUseCount > 0) return;
  for (auto& s : gSlots)
    s = nullptr;
  if (gLib) FreeLibrary(gLib);
  gLib = nullptr;
  gAvailable = false;
}
