// The library's entry on Windows: remembers the module handle and runs the units'
// start-up and shut-down chain.
#include "plugin/uZandrel.h"
#include "system/uSystem.h"

// After uSystem.h: our declarations of the Windows services come before its macros.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE AInstance, DWORD AReason, LPVOID) {
  try {
    switch (AReason) {
    case DLL_PROCESS_ATTACH:
      HInstance = AInstance;
      StartupUnits();
      break;
    case DLL_PROCESS_DETACH:
      ShutdownUnits();
      break;
    default:
      break;
    }
  } catch (...) {
    // Loading must not fail half-way through FAR's call; a unit that could not start
    // leaves its registry empty and its operations refuse.
  }
  return TRUE;
}
