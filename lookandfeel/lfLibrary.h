// Start-up and shut-down of the look-and-feel library: every unit's step in
// order, registered with the framework's unit hooks (start-up in
// Application->Initialize, shut-down in reverse at exit).
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TlfUnitStep {
  std::wstring Unit;
  std::function<void()> Init, Done;
};

// The painters' start-up and shut-down (tests may put a stand-in here); the
// step runs right after the look-and-feel settings.
TlfUnitStep& lfPaintersUnitStep();

// The steps in start-up order.
std::vector<TlfUnitStep> lfUnitSteps();
// Registers every step with AddUnitHooks, once per process.
void lfAddUnitHooks();
bool lfUnitHooksAdded();
