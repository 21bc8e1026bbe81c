// POSIX stand-in: the clock and the console's input.
#include "system/uWindowsPosix.h"

#include <ctime>
#include <dlfcn.h>

namespace win::real {

DWORD GetTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return DWORD(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}

// A terminal has no input buffer that a library could peek at without taking the keys
// from their owner: the program that owns the terminal says whether its stop key was
// pressed, through a C function QuorvaneTakeConsoleEscape of its own (quorvane-run: Ctrl+C
// during the renames). Without one, no Esc ever waits.
BOOL TakeConsoleEscape() {
  using TProgramEscape = int (*)();
  static const auto programEscape =
      reinterpret_cast<TProgramEscape>(dlsym(RTLD_DEFAULT, "QuorvaneTakeConsoleEscape"));
  return programEscape && programEscape() ? 1 : 0;
}

} // namespace win::real
