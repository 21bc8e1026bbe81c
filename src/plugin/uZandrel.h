// The plugin module's start-up and shut-down chain, run when the library is loaded and
// unloaded (DllMain on Windows, a constructor/destructor pair elsewhere).
#pragma once

// Starts every unit in order: compatibility, system, host wrapper, file lists, main unit.
void StartupUnits();
// Shuts them down in the reverse order.
void ShutdownUnits();

void InitializeZandrel();
void FinalizeZandrel();
