#include "system/uCompatibility.h"

#include <gtest/gtest.h>

namespace {

void ExpectAllNull() {
  EXPECT_EQ(Kernel32Handle, nullptr);
  EXPECT_EQ(pGetFileInformationByHandleEx, nullptr);
  EXPECT_EQ(pGetVolumePathNameA, nullptr);
  EXPECT_EQ(pGetVolumePathNameW, nullptr);
  EXPECT_EQ(pGetVolumePathName, nullptr);
  EXPECT_EQ(pIsWow64Process, nullptr);
  EXPECT_EQ(pWow64DisableWow64FsRedirection, nullptr);
  EXPECT_EQ(pWow64RevertWow64FsRedirection, nullptr);
}

} // namespace

TEST(Compatibility, EntryPointsLiveFromStartupToShutdown) {
  InitializeCompatibility();
  EXPECT_EQ(pGetVolumePathName, pGetVolumePathNameW);
#ifdef _WIN32
  EXPECT_NE(Kernel32Handle, nullptr);
  EXPECT_NE(pGetFileInformationByHandleEx, nullptr);
  EXPECT_NE(pGetVolumePathNameA, nullptr);
  EXPECT_NE(pGetVolumePathNameW, nullptr);
  EXPECT_NE(pIsWow64Process, nullptr);
  EXPECT_NE(pWow64DisableWow64FsRedirection, nullptr);
  EXPECT_NE(pWow64RevertWow64FsRedirection, nullptr);

  // They are the real thing.
  win::BOOL wow64 = 2;
  ASSERT_NE(pIsWow64Process, nullptr);
  EXPECT_NE(pIsWow64Process(reinterpret_cast<win::HANDLE>(intptr_t(-1)), &wow64), 0);
  EXPECT_TRUE(wow64 == 0 || wow64 == 1);
#else
  ExpectAllNull(); // kernel32 does not load here
#endif
  FinalizeCompatibility();
  ExpectAllNull();
}

TEST(Compatibility, ShutdownWithoutStartupIsHarmless) {
  FinalizeCompatibility();
  ExpectAllNull();
}
