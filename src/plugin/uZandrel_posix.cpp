// The library's load and unload hooks on POSIX systems: the units' start-up and
// shut-down chain.
#include "plugin/uZandrel.h"

namespace {

__attribute__((constructor)) void LoadQuorvane() {
  try {
    StartupUnits();
  } catch (...) {
  }
}

__attribute__((destructor)) void UnloadQuorvane() {
  try {
    ShutdownUnits();
  } catch (...) {
  }
}

} // namespace
