// Temporary names, the existence test and the module's version and file name, against the
// real file system (and, under wine, the real GetTempFileNameW).
#include "support/TestFiles.h"
#include "system/uSystem.h"

#include <gtest/gtest.h>

#include <regex>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

std::string NamePart(const std::u16string& APath) {
  size_t delimiter = APath.find_last_of(u"/\\");
  return Utf16ToUtf8(delimiter == std::u16string::npos ? APath : APath.substr(delimiter + 1),
                     TLoneSurrogate::Kept);
}

bool NameMatches(const std::u16string& APath, const char* APattern) {
  return std::regex_match(NamePart(APath), std::regex(APattern, std::regex::icase));
}

class SystemTest : public ::testing::Test {
protected:
  void SetUp() override { InitializeSystem(); }
  void TearDown() override { FinalizeSystem(); }
  TTempDir fDir;
};

} // namespace

TEST_F(SystemTest, TempDirectoryEndsWithDelimiter) {
  std::u16string directory = GetTempDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(directory.back(), win::PathDelimiter);
  EXPECT_TRUE(fs::is_directory(U16ToPath(directory)));
}

TEST_F(SystemTest, CreateTempFileNameKeepsThreeCharactersOfThePrefix) {
  std::u16string longPrefix = CreateTempFileName(fDir.Dir(), u"Zandrel3");
  std::u16string shortPrefix = CreateTempFileName(fDir.Dir(), u"Zan");
  std::u16string noPrefix = CreateTempFileName(fDir.Dir(), u"");

  for (const auto& name : {longPrefix, shortPrefix, noPrefix}) {
    EXPECT_EQ(name.substr(0, fDir.Dir().size()), fDir.Dir());
    EXPECT_FALSE(fs::exists(U16ToPath(name)))
        << Utf16ToUtf8(name, TLoneSurrogate::Kept); // reserved, then deleted
  }
  EXPECT_TRUE(NameMatches(longPrefix, "Zan[0-9A-F]{1,4}\\.TMP"))
      << Utf16ToUtf8(longPrefix, TLoneSurrogate::Kept);
  EXPECT_TRUE(NameMatches(shortPrefix, "Zan[0-9A-F]{1,4}\\.TMP"))
      << Utf16ToUtf8(shortPrefix, TLoneSurrogate::Kept);
  EXPECT_TRUE(NameMatches(noPrefix, "[0-9A-F]{1,4}\\.TMP"))
      << Utf16ToUtf8(noPrefix, TLoneSurrogate::Kept);
  EXPECT_EQ(*TempFiles, (std::vector<std::u16string>{longPrefix, shortPrefix, noPrefix}));
}

TEST_F(SystemTest, CreateTempFileNameFailsInAMissingDirectory) {
  EXPECT_EQ(CreateTempFileName(fDir.Dir() + u"missing" + win::PathDelimiter, u"Zan"), u"");
  EXPECT_TRUE(TempFiles->empty());
}

TEST_F(SystemTest, CreateTempFileMakesAPrivateFileUnderTheReservedBase) {
  std::u16string name;
  const win::HANDLE file = CreateTempFile(fDir.Dir(), u"Zandrel3", u".txt", name);
  ASSERT_NE(file, win::InvalidHandleValue());
  win::DWORD written = 0;
  EXPECT_TRUE(win::WriteFile(file, "list", 4, &written, nullptr));
  win::CloseHandle(file);
  ASSERT_EQ(TempFiles->size(), 2u);
  const std::u16string& reserved = (*TempFiles)[0];
  EXPECT_TRUE(NameMatches(reserved, "Zan[0-9A-F]{1,4}\\.TMP"))
      << Utf16ToUtf8(reserved, TLoneSurrogate::Kept);
  EXPECT_EQ(name, reserved.substr(0, reserved.size() - 4) + u".txt");
  EXPECT_EQ((*TempFiles)[1], name);
  EXPECT_EQ(ReadBytes(U16ToPath(name)), "list");
#ifndef _WIN32
  EXPECT_EQ(fs::status(U16ToPath(name)).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
#endif
  std::u16string none;
  EXPECT_EQ(CreateTempFile(fDir.Dir() + u"missing" + win::PathDelimiter, u"Zan", u".txt", none),
            win::InvalidHandleValue());
  EXPECT_EQ(none, u"");
}

// A name someone else holds (a file, a directory, a link to where they want the list) is
// passed over: nothing there is opened, emptied or created, and it is not registered.
TEST_F(SystemTest, CreateNumberedFileOpensNothingAlreadyThere) {
  const std::u16string base = fDir.Dir() + u"list";
  WriteBytes(fDir / "list.txt", "theirs");
  fs::create_directory(fDir / "list0.txt");
  std::vector<std::u16string> expected{base + u"1.txt"};
#ifndef _WIN32
  fs::create_symlink(fDir / "target", fDir / "list1.txt");
  expected = {base + u"2.txt"};
#endif
  std::u16string name;
  const win::HANDLE file = CreateNumberedFile(base, u".txt", name);
  ASSERT_NE(file, win::InvalidHandleValue());
  win::CloseHandle(file);
  EXPECT_EQ(std::vector<std::u16string>{name}, expected);
  EXPECT_EQ(*TempFiles, expected);
  EXPECT_EQ(ReadBytes(fDir / "list.txt"), "theirs");
  EXPECT_FALSE(fs::exists(fDir / "target"));
  EXPECT_TRUE(fs::is_empty(U16ToPath(name)));
}

TEST_F(SystemTest, DeleteTempFilesDeletesOnlyRegisteredFilesThatExist) {
  WriteBytes(fDir / "a.tmp", "a");
  WriteBytes(fDir / "b.tmp", "b");
  WriteBytes(fDir / "unregistered.tmp", "c");
  fs::create_directory(fDir / "dir.tmp");
  for (const char* name : {"a.tmp", "gone.tmp", "dir.tmp", "b.tmp", "a.tmp"})
    TempFiles->push_back(fDir.Dir() + Utf8ToUtf16(name));

  DeleteTempFiles();
  EXPECT_EQ(TempFiles, nullptr);
  EXPECT_FALSE(fs::exists(fDir / "a.tmp"));
  EXPECT_FALSE(fs::exists(fDir / "b.tmp"));
  EXPECT_TRUE(fs::exists(fDir / "unregistered.tmp"));
  EXPECT_TRUE(fs::is_directory(fDir / "dir.tmp"));

  DeleteTempFiles(); // nothing left to do
  InitializeSystem();
  EXPECT_TRUE(TempFiles->empty());
}

TEST_F(SystemTest, ShutdownDeletesAListFileLeftBehind) {
  std::u16string name;
  win::CloseHandle(CreateTempFile(fDir.Dir(), u"Zandrel3", u".txt", name));
  WriteBytes(U16ToPath(name), "list");
  FinalizeSystem();
  EXPECT_FALSE(fs::exists(U16ToPath(name)));
  InitializeSystem();
}

TEST_F(SystemTest, FileExistsCountsFilesOnly) {
  WriteBytes(fDir / "file.txt", "x");
  WriteBytes(fDir / "empty", "");
  fs::create_directory(fDir / "dir");
  EXPECT_TRUE(FileExists(fDir.Dir() + u"file.txt"));
  EXPECT_TRUE(FileExists(fDir.Dir() + u"empty"));
  EXPECT_FALSE(FileExists(fDir.Dir() + u"dir"));
  EXPECT_FALSE(FileExists(fDir.Dir() + u"missing.txt"));
  EXPECT_FALSE(FileExists(fDir.Dir() + u"missing" + win::PathDelimiter + u"file.txt"));
  EXPECT_FALSE(FileExists(u""));
}

#ifndef _WIN32
TEST_F(SystemTest, FileExistsFollowsSymbolicLinks) {
  WriteBytes(fDir / "target", "x");
  fs::create_directory(fDir / "dir");
  fs::create_symlink(fDir / "target", fDir / "to-file");
  fs::create_symlink(fDir / "dir", fDir / "to-dir");
  fs::create_symlink(fDir / "nowhere", fDir / "dangling");
  EXPECT_TRUE(FileExists(fDir.Dir() + u"to-file"));
  EXPECT_FALSE(FileExists(fDir.Dir() + u"to-dir"));
  EXPECT_FALSE(FileExists(fDir.Dir() + u"dangling"));
}
#endif

TEST(ModuleServices, NoVersionRecordGivesFalseAndZeros) {
  TTempDir dir;
  WriteBytes(dir / "plain.dll", "not a module");
  for (const std::u16string& name :
       {dir.Dir() + u"plain.dll", dir.Dir() + u"missing.dll", ThisModuleFileName()}) {
    uint32_t major = 7, minor = 7, build = 7;
    EXPECT_FALSE(GetModuleVersion(name, major, minor, build))
        << Utf16ToUtf8(name, TLoneSurrogate::Kept);
    EXPECT_EQ(major, 0u);
    EXPECT_EQ(minor, 0u);
    EXPECT_EQ(build, 0u);
  }
}

#ifdef QUORVANE_VERSIONED_MODULE
TEST(ModuleServices, VersionComesFromTheFileVersion) {
  uint32_t major = 0, minor = 0, build = 0;
  ASSERT_TRUE(GetModuleVersion(Utf8ToUtf16(QUORVANE_VERSIONED_MODULE), major, minor, build));
  EXPECT_EQ(major, 3u);
  EXPECT_EQ(minor, 14u);
  EXPECT_EQ(build, 926u);
}
#endif

TEST(ModuleServices, ThisModuleIsTheTestProgram) {
  std::u16string name = ThisModuleFileName();
  ASSERT_FALSE(name.empty());
  EXPECT_TRUE(U16ToPath(name).is_absolute()) << Utf16ToUtf8(name, TLoneSurrogate::Kept);
  EXPECT_TRUE(fs::exists(U16ToPath(name)));
#ifdef _WIN32
  EXPECT_TRUE(NameMatches(name, "test_system\\.exe")) << Utf16ToUtf8(name, TLoneSurrogate::Kept);
#else
  EXPECT_EQ(NamePart(name), "test_system");
#endif
}
