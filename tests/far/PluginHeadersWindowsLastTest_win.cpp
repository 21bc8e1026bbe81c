// FAR's declarations compile before <windows.h>, and both agree on the shared records.
#include "far/Plugin3.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

namespace {

// What matters is checked by the compiler; the test only names it among the others.
TEST(PluginHeaders, CompileBeforeWindowsHeaders) {
  static_assert(sizeof(::SMALL_RECT) == sizeof(win::SMALL_RECT));
  static_assert(sizeof(::INPUT_RECORD) == sizeof(win::INPUT_RECORD));
  static_assert(sizeof(::FILETIME) == sizeof(FarFileTime));
  static_assert(offsetof(::INPUT_RECORD, Event) == offsetof(win::INPUT_RECORD, Event));
  static_assert(RIGHT_CTRL_PRESSED == 4);
  static_assert(SHIFT_PRESSED == 0x10);
}

} // namespace
