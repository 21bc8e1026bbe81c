// The library's load and unload hooks on POSIX systems: the units' start-up and
// shut-down chain; and its version record.
#include <string_view>

#include "QuorvaneVersion.h"
#include "plugin/uZandrel.h"
#include "system/uWindows.h"

// What Quorvane.rc is on Windows, where the record is a resource: the fixed file
// information, in the section where the POSIX stand-in of GetFileVersionInfoW reads it.
extern "C" __attribute__((used, section(".win_version")))
const win::VS_FIXEDFILEINFO QuorvaneVersionRecord = {
    0xFEEF04BD,
    0x00010000,
    (QUORVANE_VERSION_MAJOR << 16) | QUORVANE_VERSION_MINOR,
    QUORVANE_VERSION_PATCH, // major.minor.0.patch
    (QUORVANE_VERSION_MAJOR << 16) | QUORVANE_VERSION_MINOR,
    QUORVANE_VERSION_PATCH << 16,
    0x3F,
    0,
    0x40004, // VOS_NT_WINDOWS32, as the resource says
    2,       // VFT_DLL
    0,
    0,
    0};
static_assert(std::string_view(win::VersionRecordSection) == ".win_version");

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
