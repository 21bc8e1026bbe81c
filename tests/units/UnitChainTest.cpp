// The units start in a fixed order and stop in the reverse one: each step is checked by
// what exists after it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "far/uFAR.h"
#include "filelist/uFileList.h"
#include "plugin/uZandrel.h"
#include "plugin/uZandrelConsts.h"
#include "support/TestFiles.h"
#include "system/uCompatibility.h"
#include "system/uSystem.h"

namespace {

// Which units' state is live, as a string of the unit names in chain order.
std::string LiveUnits() {
  std::string live;
  if (TempFiles) live += "system ";
  if (FarDialogs && ManagedEditors) live += "host ";
  if (ActiveFileLists) live += "lists ";
  if (std::memcmp(&FarPluginGUID, &PluginGUID, sizeof(GUID)) == 0) live += "main ";
  return live;
}

bool AllEntryPointsNull() {
  return !Kernel32Handle && !pGetFileInformationByHandleEx && !pGetVolumePathNameA &&
         !pGetVolumePathNameW && !pGetVolumePathName && !pIsWow64Process &&
         !pWow64DisableWow64FsRedirection && !pWow64RevertWow64FsRedirection;
}

} // namespace

TEST(UnitChain, StartsInOrderAndStopsInReverse) {
  ASSERT_EQ(UnitChainLength, 4u);
  EXPECT_STREQ(UnitChain[0].Name, "system support");
  EXPECT_STREQ(UnitChain[1].Name, "host wrapper");
  EXPECT_STREQ(UnitChain[2].Name, "file lists");
  EXPECT_STREQ(UnitChain[3].Name, "main unit");

  FarPluginGUID = {};
  const char* const afterStart[] = {"system ", "system host ", "system host lists ",
                                    "system host lists main "};
  for (size_t i = 0; i < UnitChainLength; ++i) {
    UnitChain[i].Startup();
    EXPECT_EQ(LiveUnits(), afterStart[i]) << "after starting " << UnitChain[i].Name;
  }
  // The main unit has nothing to undo: the plugin's GUID stays where it was put.
  const char* const afterStop[] = {"system host lists main ", "system host main ", "system main ",
                                   "main "};
  for (size_t i = UnitChainLength; i-- > 0;) {
    UnitChain[i].Shutdown();
    EXPECT_EQ(LiveUnits(), afterStop[UnitChainLength - 1 - i])
        << "after stopping " << UnitChain[i].Name;
  }
  EXPECT_TRUE(AllEntryPointsNull());
}

TEST(UnitChain, ShutdownEndsJobsThenDeletesTheTemporaryFiles) {
  testing_support::TTempDir dir;
  StartupUnits();
  EXPECT_EQ(LiveUnits(), "system host lists main ");

  // A list file still open in an editor at unload, and its job.
  std::u16string listFile;
  win::CloseHandle(CreateTempFile(dir.Dir(), u"Zandrel3", u".txt", listFile));
  testing_support::WriteBytes(U16ToPath(listFile), "\xEF\xBB\xBF");
  new TFileList(); // left to the shut-down, as a job whose editor is still open
  ASSERT_EQ(ActiveFileLists->size(), 1u);

  ShutdownUnits();
  EXPECT_EQ(LiveUnits(), "main ");
  EXPECT_TRUE(AllEntryPointsNull());
  EXPECT_FALSE(std::filesystem::exists(U16ToPath(listFile)));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}
