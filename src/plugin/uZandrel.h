// The plugin module's start-up and shut-down chain, run when the library is loaded and
// unloaded (DllMain on Windows, a constructor/destructor pair elsewhere).
#pragma once

#include <cstddef>

// One unit's start-up and shut-down steps.
struct TUnitSteps {
  const char* Name;
  void (*Startup)();
  void (*Shutdown)();
};

// The units in start-up order; shut-down runs them backwards. Each unit's registries
// exist from its start-up to its shut-down, so every later unit can rely on them.
extern const TUnitSteps UnitChain[];
extern const size_t UnitChainLength;

// Starts every unit of UnitChain in order.
void StartupUnits();
// Shuts them down in the reverse order.
void ShutdownUnits();

void InitializeZandrel();
void FinalizeZandrel();
