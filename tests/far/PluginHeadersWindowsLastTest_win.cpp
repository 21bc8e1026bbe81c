// FAR's declarations compile before <windows.h>, and both agree on the shared records.
#include "far/Plugin3.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(PluginHeaders, CompileBeforeWindowsHeaders) {
  EXPECT_EQ(sizeof(::SMALL_RECT), sizeof(win::SMALL_RECT));
  EXPECT_EQ(sizeof(::INPUT_RECORD), sizeof(win::INPUT_RECORD));
  EXPECT_EQ(sizeof(::FILETIME), sizeof(FarFileTime));
  EXPECT_EQ(offsetof(::INPUT_RECORD, Event), offsetof(win::INPUT_RECORD, Event));
  EXPECT_EQ(RIGHT_CTRL_PRESSED, 4u);
  EXPECT_EQ(SHIFT_PRESSED, 0x10u);
}

} // namespace
