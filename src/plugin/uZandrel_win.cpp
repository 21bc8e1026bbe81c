// The library's entry on Windows: remembers the module handle and runs the units'
// start-up and shut-down chain.
#include "plugin/uZandrel.h"
#include "system/uSystem.h"

#include <cstdlib>

// After uSystem.h: our declarations of the Windows services come before its macros.
#include <windows.h>

// The C++ runtime's default terminate handler prints the type of an uncaught exception,
// which links its name demangler and printf into the DLL (about a fifth of its size).
// Every entry point catches everything, so nothing reaches it; should terminate be
// called all the same, the process ends as the handler would have ended it, unprinted.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
} // namespace __gnu_cxx

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
