// FAR's declarations compile after <windows.h>, with Windows' own GUID.
#include <windows.h>

#include "far/Plugin3.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

namespace {

// What matters is checked by the compiler; the test only names it among the others.
TEST(PluginHeaders, CompileAfterWindowsHeaders) {
  static_assert(std::is_same_v<::GUID, GUID>); // one and the same type
  static_assert(sizeof(::INPUT_RECORD) == sizeof(win::INPUT_RECORD));
  static_assert(offsetof(::KEY_EVENT_RECORD, dwControlKeyState) ==
                offsetof(win::KEY_EVENT_RECORD, dwControlKeyState));
  static_assert(sizeof(GUID) == 16);
  static_assert(KEY_EVENT == 1);
  static_assert(VK_F2 == 113);
  static_assert(LEFT_ALT_PRESSED == 2);
}

} // namespace
