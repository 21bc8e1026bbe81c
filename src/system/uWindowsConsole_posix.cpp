// POSIX stand-in: the clock and the console's input.
#include "system/uWindowsPosix.h"

#include <ctime>

namespace win::real {

DWORD GetTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return DWORD(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}

// A terminal has no console input buffer that a library could peek at without taking
// the keys from their owner: no Esc ever waits here.
BOOL TakeConsoleEscape() {
  return 0;
}

} // namespace win::real
