#include "lookandfeel/lfLibrary.h"

#include "framework/Forms.h"
#include "lookandfeel/lfClasses.h"
#include "lookandfeel/lfContainer.h"
#include "lookandfeel/lfControls.h"
#include "lookandfeel/lfDWMApi.h"
#include "lookandfeel/lfGeometry.h"
#include "lookandfeel/lfGraphics.h"
#include "lookandfeel/lfLookAndFeelPainters.h"
#include "lookandfeel/lfLookAndFeels.h"
#include "lookandfeel/lfPatternBrushes.h"
#include "lookandfeel/lxGDIPlusAPI.h"
#include "lookandfeel/lxGDIPlusClasses.h"
#include "lookandfeel/lxOffice11.h"
#include "lookandfeel/lxThemeManager.h"
#include "lookandfeel/lxUxTheme.h"

namespace {

bool gAdded = false;

} // namespace

TlfUnitStep& lfPaintersUnitStep() {
  static auto* step = new TlfUnitStep{L"lfLookAndFeelPainters", lfLookAndFeelPaintersInitialize,
                                      lfLookAndFeelPaintersFinalize};
  return *step;
}

std::vector<TlfUnitStep> lfUnitSteps() {
  // The painters' step is looked up when it runs, so that the painters' unit
  // may fill it at any time before start-up.
  auto paintersInit = [] {
    if (lfPaintersUnitStep().Init) lfPaintersUnitStep().Init();
  };
  auto paintersDone = [] {
    if (lfPaintersUnitStep().Done) lfPaintersUnitStep().Done();
  };
  return {
      {L"lfGeometry", lfGeometryInitialize, lfGeometryFinalize},
      {L"lfClasses", lfClassesInitialize, lfClassesFinalize},
      {L"lfPatternBrushes", lfPatternBrushesInitialize, lfPatternBrushesFinalize},
      {L"lxUxTheme", lxUxThemeInitialize, lxUxThemeFinalize},
      {L"lxThemeManager", lxThemeManagerInitialize, lxThemeManagerFinalize},
      {L"lxOffice11", lxOffice11Initialize, lxOffice11Finalize},
      {L"lfGraphics", lfGraphicsInitialize, lfGraphicsFinalize},
      {L"lfLookAndFeels", lfLookAndFeelsInitialize, lfLookAndFeelsFinalize},
      {L"lfLookAndFeelPainters", paintersInit, paintersDone},
      {L"lfControls", lfControlsInitialize, lfControlsFinalize},
      {L"lfDWMApi", lfDWMApiInitialize, lfDWMApiFinalize},
      {L"lfContainer", lfContainerInitialize, lfContainerFinalize},
      {L"lxGDIPlusAPI", lxGDIPlusAPIInitialize, lxGDIPlusAPIFinalize},
      {L"lxGDIPlusClasses", lxGDIPlusClassesInitialize, lxGDIPlusClassesFinalize},
  };
}

void lfAddUnitHooks() {
  if (gAdded) return;
  gAdded = true;
  for (auto& step : lfUnitSteps())
    AddUnitHooks(step.Init, step.Done);
}

bool lfUnitHooksAdded() {
  return gAdded;
}
