// FAR's declarations compile after <windows.h>, with Windows' own GUID.
#include <windows.h>

#include "far/Plugin3.h"

#include <gtest/gtest.h>

namespace {

TEST(PluginHeaders, CompileAfterWindowsHeaders) {
  ::GUID windowsGuid{};
  const GUID* farGuid = &windowsGuid; // one and the same type
  ::INPUT_RECORD windowsRecord{};
  win::INPUT_RECORD farRecord{};
  EXPECT_EQ(sizeof(windowsRecord), sizeof(farRecord));
  EXPECT_EQ(offsetof(::KEY_EVENT_RECORD, dwControlKeyState),
            offsetof(win::KEY_EVENT_RECORD, dwControlKeyState));
  EXPECT_EQ(sizeof(*farGuid), 16u);
  EXPECT_EQ(KEY_EVENT, 1);
  EXPECT_EQ(VK_F2, 113);
  EXPECT_EQ(LEFT_ALT_PRESSED, 2u);
}

} // namespace
