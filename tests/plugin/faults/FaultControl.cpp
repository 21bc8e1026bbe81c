// The exports that the test build of the plugin adds to the seven of FAR: a test
// chooses the calls that fail and reads how many calls a job made, and plays the clock and
// the console's Esc.
#include <cstdint>

#include "system/uFaults.h"

#ifdef _WIN32
#define FAULTS_EXPORT extern "C"
#else
#define FAULTS_EXPORT extern "C" __attribute__((visibility("default")))
#endif

FAULTS_EXPORT void QuorvaneFailCalls(uint32_t AFirst, uint32_t ACount) {
  win::faults::FailCalls(AFirst, ACount);
}

FAULTS_EXPORT uint32_t QuorvaneCalls() {
  return win::faults::Calls();
}

FAULTS_EXPORT const char* QuorvaneFailed() {
  return win::faults::Failed();
}

FAULTS_EXPORT void QuorvanePlayClockAndConsole(uint32_t AClockStep, uint32_t AEscAfterMoves) {
  win::faults::PlayClockAndConsole(AClockStep, AEscAfterMoves);
}
