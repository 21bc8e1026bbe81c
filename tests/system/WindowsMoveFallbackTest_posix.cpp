// MoveFileW on a file system without no-replace renames (NFS, SMB, some FUSE file
// systems), played by replacing the two calls its refusal to replace rests on.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/TestFiles.h"
#include "system/uWindows.h"
#include "system/uWindowsPosix.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

int LookupError = 0; // what a look-up of the destination fails with; 0: it works

class MoveFallbackTest : public ::testing::Test {
protected:
  void SetUp() override {
    fSaved = win::standin::MoveCalls();
    win::standin::MoveCalls().RenameNoReplace = [](const char*, const char*) {
      errno = EINVAL;
      return -1;
    };
    win::standin::MoveCalls().Lstat = [](const char* APath, struct stat* AStat) {
      if (LookupError == 0) return lstat(APath, AStat);
      errno = LookupError;
      return -1;
    };
  }
  void TearDown() override { win::standin::MoveCalls() = fSaved; }

  win::standin::TMoveCalls fSaved;
  TTempDir fDir;
};

TEST_F(MoveFallbackTest, NeverReplacesAndFailsWhenItCannotTell) {
  const struct {
    const char* Name;
    bool Directory, DestinationExists;
    int LookupError;
    bool Moves;
    win::DWORD Error;
  } cases[] = {
      {"a free name", false, false, 0, true, 0},
      {"a taken name", false, true, 0, false, win::ERROR_ALREADY_EXISTS},
      {"a look-up that fails", false, true, EIO, false, win::ERROR_GEN_FAILURE},
      {"a look-up refused", false, true, EACCES, false, win::ERROR_ACCESS_DENIED},
      {"a folder to a free name", true, false, 0, true, 0},
      {"a folder to a taken name", true, true, 0, false, win::ERROR_ALREADY_EXISTS},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(fDir / "from");
    fs::remove_all(fDir / "to");
    if (c.Directory)
      fs::create_directory(fDir / "from");
    else
      WriteBytes(fDir / "from", "F");
    if (c.DestinationExists) WriteBytes(fDir / "to", "T");
    LookupError = c.LookupError;
    const bool moved = win::MoveFileW((fDir.Dir() + u"from").c_str(), (fDir.Dir() + u"to").c_str());
    const win::DWORD error = win::GetLastError();
    LookupError = 0;
    EXPECT_EQ(moved, c.Moves);
    if (!c.Moves) {
      EXPECT_EQ(error, c.Error);
    }
    EXPECT_NE(fs::exists(fDir / "from"), c.Moves);
    if (c.DestinationExists) {
      EXPECT_EQ(ReadBytes(fDir / "to"), "T");
    }
    if (c.Moves && !c.Directory) {
      EXPECT_EQ(ReadBytes(fDir / "to"), "F");
    }
  }
}

} // namespace
