// Failing calls on purpose, in the test build of the plugin (QUORVANE_FAULTS): every call
// through the Windows-service header is counted, and the calls numbered AFirst to
// AFirst + ACount - 1 (from 1) fail with an error that the real call could give.
#pragma once

#include <cstdint>

namespace win::faults {

// Starts counting anew; ACount 0 fails nothing.
void FailCalls(uint32_t AFirst, uint32_t ACount);
// The calls counted since FailCalls.
uint32_t Calls();
// The names of the calls made to fail since FailCalls, separated by blanks.
const char* Failed();
// Plays the clock and the console from here on: every GetTickCount moves the clock on by
// AClockStep milliseconds from 0, and TakeConsoleEscape finds one Esc once AEscAfterMoves
// MoveFileW calls have succeeded (never for 0). AClockStep 0 gives back the real ones.
void PlayClockAndConsole(uint32_t AClockStep, uint32_t AEscAfterMoves);

} // namespace win::faults
