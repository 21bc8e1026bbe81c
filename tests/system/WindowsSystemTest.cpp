// The Windows services as the code sees them: natively the POSIX stand-in, under wine the
// real ones, so both must pass the same tests.
#include "support/TestFiles.h"
#include "system/uWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <fstream>

#include "system/uWindowsPosix.h"
#endif

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

std::vector<std::string> Listing(const fs::path& ADir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ADir))
    names.push_back(Utf16ToUtf8(PathToU16(entry.path().filename()), TLoneSurrogate::Kept));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Search(const std::u16string& APattern) {
  std::vector<std::string> names;
  win::WIN32_FIND_DATAW data{};
  win::HANDLE find = win::FindFirstFileW(APattern.c_str(), &data);
  if (find == win::InvalidHandleValue()) return names;
  do {
    std::u16string name = data.cFileName;
    if (name != u"." && name != u"..") names.push_back(Utf16ToUtf8(name, TLoneSurrogate::Kept));
  } while (win::FindNextFileW(find, &data));
  EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_FILES);
  EXPECT_NE(win::FindClose(find), 0);
  std::sort(names.begin(), names.end());
  return names;
}

class WindowsSystemTest : public ::testing::Test {
protected:
  std::u16string Name(const char* AName) const { return fDir.Dir() + Utf8ToUtf16(AName); }
  TTempDir fDir;
};

} // namespace

TEST_F(WindowsSystemTest, MoveFileNeverReplaces) {
  WriteBytes(fDir / "a.txt", "A");
  WriteBytes(fDir / "b.txt", "B");
  EXPECT_EQ(win::MoveFileW(Name("a.txt").c_str(), Name("b.txt").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ReadBytes(fDir / "a.txt"), "A");
  EXPECT_EQ(ReadBytes(fDir / "b.txt"), "B");

  // Not over an empty directory either.
  fs::create_directory(fDir / "d");
  EXPECT_EQ(win::MoveFileW(Name("a.txt").c_str(), Name("d").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ReadBytes(fDir / "a.txt"), "A");
}

TEST_F(WindowsSystemTest, MoveFileRenamesFilesAndDirectories) {
  WriteBytes(fDir / "a.txt", "A");
  fs::create_directory(fDir / "d");
  EXPECT_NE(win::MoveFileW(Name("a.txt").c_str(), Name("c.txt").c_str()), 0);
  EXPECT_NE(win::MoveFileW(Name("d").c_str(), Name("e").c_str()), 0);
  EXPECT_EQ(Listing(fDir.Path()), (std::vector<std::string>{"c.txt", "e"}));
  EXPECT_EQ(ReadBytes(fDir / "c.txt"), "A");

  EXPECT_EQ(win::MoveFileW(Name("missing").c_str(), Name("x").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  std::u16string intoMissing = Name("missing") + win::PathDelimiter + u"x";
  EXPECT_EQ(win::MoveFileW(Name("c.txt").c_str(), intoMissing.c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(ReadBytes(fDir / "c.txt"), "A");
}

// A missing source is what a failed move reports first, whatever the destination.
TEST_F(WindowsSystemTest, MoveFileReportsTheMissingSourceFirst) {
  WriteBytes(fDir / "a.txt", "A");
  const std::u16string missing = Name("missing");
  const std::u16string inMissingDir = missing + win::PathDelimiter + u"x";
  const std::u16string throughFile = Name("a.txt") + win::PathDelimiter + u"x";

  EXPECT_EQ(win::MoveFileW(missing.c_str(), Name("a.txt").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(win::MoveFileW(missing.c_str(), missing.c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(win::MoveFileW(missing.c_str(), inMissingDir.c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(win::MoveFileW(inMissingDir.c_str(), Name("y").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(win::MoveFileW(throughFile.c_str(), Name("y").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);

  // A file moved onto its own name stays; a moved file leaves no trace of its old name.
  EXPECT_NE(win::MoveFileW(Name("a.txt").c_str(), Name("a.txt").c_str()), 0);
  EXPECT_EQ(ReadBytes(fDir / "a.txt"), "A");
  EXPECT_EQ(win::MoveFileW(Name("a.txt").c_str(), Name("").c_str()), 0);
  EXPECT_EQ(ReadBytes(fDir / "a.txt"), "A");
}

TEST_F(WindowsSystemTest, MoveFileChangesCaseOnly) {
  WriteBytes(fDir / "Abc.txt", "A");
  EXPECT_NE(win::MoveFileW(Name("Abc.txt").c_str(), Name("aBC.txt").c_str()), 0);
#ifndef _WIN32
  // Wine reports success but keeps the old case on disk; natively the new case is there.
  EXPECT_EQ(Listing(fDir.Path()), (std::vector<std::string>{"aBC.txt"}));
  EXPECT_EQ(ReadBytes(fDir / "aBC.txt"), "A");

  // The same entry under another spelling is what a case-insensitive file system shows
  // for a change of case: the move goes ahead.
  EXPECT_NE(win::MoveFileW(Name("aBC.txt").c_str(), Name("./aBC.txt").c_str()), 0);
  EXPECT_EQ(Listing(fDir.Path()), (std::vector<std::string>{"aBC.txt"}));
#endif
}

#ifndef _WIN32
// The same entry under another name that is not merely another spelling: still refused.
TEST_F(WindowsSystemTest, MoveFileDoesNotMergeHardLinks) {
  WriteBytes(fDir / "a", "A");
  fs::create_hard_link(fDir / "a", fDir / "b");
  EXPECT_EQ(win::MoveFileW(Name("a").c_str(), Name("b").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
  EXPECT_EQ(Listing(fDir.Path()), (std::vector<std::string>{"a", "b"}));
}

namespace {

// A folder on a second file system, /dev/shm on most Linux machines, that goes with the
// test; empty, with the reason in AWhy, where there is none.
class OtherFileSystem {
public:
  OtherFileSystem(const fs::path& ABeside, std::string& AWhy)
      : fPath(fs::path("/dev/shm") / ABeside.filename()) {
    std::error_code error;
    struct stat a, b;
    if (!fs::create_directory(fPath, error)) {
      AWhy = "no /dev/shm";
      fPath.clear();
    } else if (stat(ABeside.c_str(), &a) != 0 || stat(fPath.c_str(), &b) != 0 ||
               a.st_dev == b.st_dev) {
      AWhy = "/dev/shm is on the same file system";
      fs::remove_all(fPath, error);
      fPath.clear();
    }
  }
  ~OtherFileSystem() {
    std::error_code error;
    if (!fPath.empty()) fs::remove_all(fPath, error);
  }
  const fs::path& Path() const { return fPath; }

private:
  fs::path fPath;
};

} // namespace

TEST_F(WindowsSystemTest, MoveFileAcrossFileSystemsCopiesFilesOnly) {
  std::string why;
  const OtherFileSystem folder(fDir.Path(), why);
  if (folder.Path().empty()) GTEST_SKIP() << why;
  const fs::path& other = folder.Path();
  const std::u16string there = PathToU16(other) + u'/';

  WriteBytes(fDir / "a.txt", std::string(200000, 'a'));
  auto written = fs::last_write_time(fDir / "a.txt") - std::chrono::hours(5);
  fs::last_write_time(fDir / "a.txt", written);
  WriteBytes(other / "taken.txt", "T");
  EXPECT_EQ(win::MoveFileW(Name("a.txt").c_str(), (there + u"taken.txt").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ReadBytes(other / "taken.txt"), "T");

  EXPECT_NE(win::MoveFileW(Name("a.txt").c_str(), (there + u"a.txt").c_str()), 0);
  EXPECT_FALSE(fs::exists(fDir / "a.txt"));
  EXPECT_EQ(ReadBytes(other / "a.txt"), std::string(200000, 'a'));
  EXPECT_EQ(fs::last_write_time(other / "a.txt"), written);

  fs::create_directory(fDir / "d");
  EXPECT_EQ(win::MoveFileW(Name("d").c_str(), (there + u"d").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_NOT_SAME_DEVICE);
  EXPECT_TRUE(fs::is_directory(fDir / "d"));

  // A copy that cannot be written in full (here: beyond the largest file allowed) is
  // removed, and the source stays.
  WriteBytes(fDir / "big.txt", std::string(200000, 'b'));
  struct rlimit limit, small;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  small = limit;
  small.rlim_cur = 65536;
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto moved = win::MoveFileW(Name("big.txt").c_str(), (there + u"big.txt").c_str());
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(moved, 0);
  EXPECT_FALSE(fs::exists(other / "big.txt"));
  EXPECT_EQ(ReadBytes(fDir / "big.txt"), std::string(200000, 'b'));
}

// What another program does to the source while it is being copied, played when the copy
// is complete: the move fails, the copy goes and the source stays as that program left it.
namespace {
std::function<void(const fs::path&)> ChangeDuringCopy;
} // namespace

TEST_F(WindowsSystemTest, MoveFileAcrossFileSystemsKeepsWhatIsWrittenMeanwhile) {
  std::string why;
  const OtherFileSystem folder(fDir.Path(), why);
  if (folder.Path().empty()) GTEST_SKIP() << why;
  const std::string original(100000, 'o');
  const struct {
    const char* Name;
    std::function<void(const fs::path&)> Change;
    std::string Left; // the source afterwards
  } cases[] = {
      {"a line appended",
       [](const fs::path& APath) {
         std::ofstream(APath, std::ios::binary | std::ios::app) << "late\n";
       },
       original + "late\n"},
      {"a new version saved over the name",
       [](const fs::path& APath) {
         WriteBytes(APath.string() + ".new", "new version");
         fs::rename(APath.string() + ".new", APath);
       },
       "new version"},
      {"cut short", [](const fs::path& APath) { fs::resize_file(APath, 10); },
       original.substr(0, 10)},
  };
  const win::standin::TMoveCalls saved = win::standin::MoveCalls();
  win::standin::MoveCalls().Copied = [](const char* AFrom) { ChangeDuringCopy(AFrom); };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteBytes(fDir / "big.log", original);
    ChangeDuringCopy = c.Change;
    const std::u16string to = PathToU16(folder.Path() / "big.log");
    EXPECT_EQ(win::MoveFileW(Name("big.log").c_str(), to.c_str()), 0);
    EXPECT_EQ(win::GetLastError(), win::ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(ReadBytes(fDir / "big.log") == c.Left); // no 100 KB in a failure message
    EXPECT_FALSE(fs::exists(folder.Path() / "big.log"));
  }
  win::standin::MoveCalls() = saved;
  ChangeDuringCopy = nullptr;
}

// Moved to another file system, a file keeps its owner and group, mode (set-ID bits
// too), times, extended attributes and holes. A mover who may not give it the owner or
// group (nobody moving root's set-ID program) leaves it theirs and without set-ID bits.
// Needs root, to own files as others.
TEST_F(WindowsSystemTest, MoveFileAcrossFileSystemsKeepsTheFileAsItWas) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root";
  std::string why;
  const OtherFileSystem folder(fDir.Path(), why);
  if (folder.Path().empty()) GTEST_SKIP() << why;
  const fs::path& other = folder.Path();
  fs::permissions(fDir.Path(), fs::perms::all);
  fs::permissions(other, fs::perms::all);
  const auto xattr = [](const fs::path& APath, const char* AName) {
    char value[64] = {};
    const ssize_t size = getxattr(APath.c_str(), AName, value, sizeof value);
    return size < 0 ? std::string("(none)") : std::string(value, size_t(size));
  };

  const uid_t nobody = 65534;
  const struct {
    const char* Name;
    uid_t Owner;
    gid_t Group;
    mode_t Mode;
    uid_t Mover;
  } files[] = {{"program", 1234, 5678, 04750, 0},
               {"private", 1234, 1234, 0600, 0},
               {"shared", 0, 5678, 02775, 0},
               {"sparse", 1234, 0, 0644, 0},
               {"root's", 0, 0, 06755, nobody}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.Name);
    const fs::path path = fDir / file.Name, moved = other / file.Name;
    WriteBytes(path, "#!/bin/sh\n");
    if (std::string(file.Name) == "sparse") fs::resize_file(path, 8 << 20);
    ASSERT_EQ(chown(path.c_str(), file.Owner, file.Group), 0);
    ASSERT_EQ(chmod(path.c_str(), file.Mode), 0);
    ASSERT_EQ(setxattr(path.c_str(), "user.note", "mine", 4, 0), 0);
    ASSERT_EQ(setxattr(path.c_str(), "trusted.note", "root's", 6, 0), 0);
    const struct timespec times[2] = {{1000000000, 5}, {1200000000, 7}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const std::string content = ReadBytes(path);

    ASSERT_EQ(setegid(file.Mover), 0);
    ASSERT_EQ(seteuid(file.Mover), 0);
    const bool done = win::MoveFileW(PathToU16(path).c_str(), PathToU16(moved).c_str()) != 0;
    ASSERT_EQ(seteuid(0), 0);
    ASSERT_EQ(setegid(0), 0);
    ASSERT_TRUE(done);
    EXPECT_FALSE(fs::exists(path));
    struct stat st;
    ASSERT_EQ(stat(moved.c_str(), &st), 0);
    const bool root = file.Mover == 0;
    EXPECT_EQ(st.st_uid, root ? file.Owner : nobody);
    EXPECT_EQ(st.st_gid, root ? file.Group : nobody);
    EXPECT_EQ(st.st_mode & 07777, root ? file.Mode : file.Mode & 0777);
    EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 7);
    EXPECT_EQ(xattr(moved, "user.note"), "mine");
    EXPECT_EQ(xattr(moved, "trusted.note"), root ? "root's" : "(none)"); // root's alone
    EXPECT_EQ(ReadBytes(moved), content);
    EXPECT_LT(st.st_blocks * 512, 1 << 20); // the hole of "sparse" stays one
  }
}
#endif

TEST_F(WindowsSystemTest, DeleteFileDeletesFilesOnly) {
  WriteBytes(fDir / "a.txt", "A");
  fs::create_directory(fDir / "d");
  EXPECT_NE(win::DeleteFileW(Name("a.txt").c_str()), 0);
  EXPECT_EQ(win::DeleteFileW(Name("a.txt").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(win::DeleteFileW(Name("d").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
  EXPECT_TRUE(fs::is_directory(fDir / "d"));
}

TEST_F(WindowsSystemTest, CreateAndRemoveDirectory) {
  EXPECT_NE(win::CreateDirectoryW(Name("d").c_str(), nullptr), 0);
  EXPECT_EQ(win::CreateDirectoryW(Name("d").c_str(), nullptr), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
  WriteBytes(fDir / "d" / "f", "x");
  EXPECT_EQ(win::RemoveDirectoryW(Name("d").c_str()), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_DIR_NOT_EMPTY);
  fs::remove(fDir / "d" / "f");
  EXPECT_NE(win::RemoveDirectoryW(Name("d").c_str()), 0);
  EXPECT_FALSE(fs::exists(fDir / "d"));
}

TEST_F(WindowsSystemTest, FileAttributesAndErrors) {
  WriteBytes(fDir / "a.txt", "A");
  fs::create_directory(fDir / "d");
  win::DWORD file = win::GetFileAttributesW(Name("a.txt").c_str());
  win::DWORD dir = win::GetFileAttributesW(Name("d").c_str());
  ASSERT_NE(file, win::INVALID_FILE_ATTRIBUTES);
  ASSERT_NE(dir, win::INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(file & win::FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(dir & win::FILE_ATTRIBUTE_DIRECTORY, 0u);

  EXPECT_EQ(win::GetFileAttributesW(Name("missing").c_str()), win::INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  std::u16string inMissing = Name("missing") + win::PathDelimiter + u"a.txt";
  EXPECT_EQ(win::GetFileAttributesW(inMissing.c_str()), win::INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(win::GetFileAttributesW(u""), win::INVALID_FILE_ATTRIBUTES);
}

// Each failure answers the error that Windows gives for it: under wine this test checks
// the expectations themselves, natively the stand-in's one errno table.
TEST_F(WindowsSystemTest, FailuresGiveTheErrorsOfWindows) {
  WriteBytes(fDir / "f.txt", "F");
  fs::create_directories(fDir / "d" / "e");
  const std::u16string delimiter(1, win::PathDelimiter);
  const std::u16string file = Name("f.txt"), dir = Name("d");
  const std::u16string throughFile = file + delimiter + u"x";
  // A component longer than any file system holds, and a path far beyond the system's.
  const std::u16string longName = fDir.Dir() + std::u16string(300, u'a');
  std::u16string longPath = fDir.Dir() + u"b";
  for (int i = 0; i < 30; ++i)
    longPath += delimiter + std::u16string(150, u'b');
  const auto open = [](const std::u16string& AName, win::DWORD ADisposition) -> win::BOOL {
    const win::HANDLE handle = win::CreateFileW(AName.c_str(), win::GENERIC_READ, 0, nullptr,
                                                ADisposition, win::FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == win::InvalidHandleValue()) return 0;
    win::CloseHandle(handle);
    return 1;
  };
  const auto attributes = [](const std::u16string& AName) -> win::BOOL {
    return win::GetFileAttributesW(AName.c_str()) != win::INVALID_FILE_ATTRIBUTES;
  };
  struct TCase {
    const char* What;
    std::function<win::BOOL()> Call;
    win::DWORD Error;
  };
  const TCase cases[] = {
      {"open a name too long", [&] { return open(longName, win::OPEN_EXISTING); },
       win::ERROR_FILE_NOT_FOUND},
      {"create a name too long", [&] { return open(longName, win::CREATE_NEW); },
       win::ERROR_FILE_NOT_FOUND},
      {"open a path too long", [&] { return open(longPath, win::OPEN_EXISTING); },
       win::ERROR_PATH_NOT_FOUND},
      {"open through a file", [&] { return open(throughFile, win::OPEN_EXISTING); },
       win::ERROR_PATH_NOT_FOUND},
      {"create a file that exists", [&] { return open(file, win::CREATE_NEW); },
       win::ERROR_FILE_EXISTS},
      {"open a directory", [&] { return open(dir, win::OPEN_EXISTING); }, win::ERROR_ACCESS_DENIED},
      {"attributes of a name too long", [&] { return attributes(longName); },
       win::ERROR_FILE_NOT_FOUND},
      {"attributes of a path too long", [&] { return attributes(longPath); },
       win::ERROR_PATH_NOT_FOUND},
      {"attributes through a file", [&] { return attributes(throughFile); },
       win::ERROR_PATH_NOT_FOUND},
      {"move to a name too long", [&] { return win::MoveFileW(file.c_str(), longName.c_str()); },
       win::ERROR_FILE_NOT_FOUND},
      {"move to a path too long", [&] { return win::MoveFileW(file.c_str(), longPath.c_str()); },
       win::ERROR_PATH_NOT_FOUND},
      {"move from a name too long",
       [&] { return win::MoveFileW(longName.c_str(), Name("z").c_str()); },
       win::ERROR_FILE_NOT_FOUND},
      {"move onto a directory", [&] { return win::MoveFileW(file.c_str(), dir.c_str()); },
       win::ERROR_ALREADY_EXISTS},
      {"delete a name too long", [&] { return win::DeleteFileW(longName.c_str()); },
       win::ERROR_FILE_NOT_FOUND},
      {"make a directory too long",
       [&] { return win::CreateDirectoryW(longName.c_str(), nullptr); }, win::ERROR_FILE_NOT_FOUND},
      {"make a directory on a file", [&] { return win::CreateDirectoryW(file.c_str(), nullptr); },
       win::ERROR_ALREADY_EXISTS},
      {"remove a directory that is not empty", [&] { return win::RemoveDirectoryW(dir.c_str()); },
       win::ERROR_DIR_NOT_EMPTY},
      {"remove a file as a directory", [&] { return win::RemoveDirectoryW(file.c_str()); },
       win::ERROR_DIRECTORY},
  };
  for (const TCase& c : cases) {
    win::SetLastError(win::ERROR_SUCCESS);
    EXPECT_EQ(c.Call(), 0) << c.What;
    EXPECT_EQ(win::GetLastError(), c.Error) << c.What;
  }
  EXPECT_EQ(Listing(fDir.Path()), (std::vector<std::string>{"d", "f.txt"}));
}

TEST_F(WindowsSystemTest, FindFilesByNameAndPattern) {
  for (const char* name : {"a.txt", "B.TXT", "ab.txt", "c.doc", "noext"})
    WriteBytes(fDir / name, "x");
  fs::create_directory(fDir / "sub.txt");

  EXPECT_EQ(Search(Name("*.txt")),
            (std::vector<std::string>{"B.TXT", "a.txt", "ab.txt", "sub.txt"}));
  EXPECT_EQ(Search(Name("?.TXT")), (std::vector<std::string>{"B.TXT", "a.txt"}));
  EXPECT_EQ(Search(Name("*.*")).size(), 6u);
  EXPECT_EQ(Search(Name("c.doc")), (std::vector<std::string>{"c.doc"}));

  win::WIN32_FIND_DATAW data{};
  win::HANDLE find = win::FindFirstFileW(Name("sub.txt").c_str(), &data);
  ASSERT_NE(find, win::InvalidHandleValue());
  EXPECT_NE(data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY, 0u);
  win::FindClose(find);

  EXPECT_EQ(win::FindFirstFileW(Name("*.xyz").c_str(), &data), win::InvalidHandleValue());
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(win::FindFirstFileW(Name("missing.txt").c_str(), &data), win::InvalidHandleValue());
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
}

TEST(WindowsSystem, CompareIgnoresCaseBeyondAscii) {
  EXPECT_EQ(win::lstrcmpiW(u"Readme.TXT", u"README.txt"), 0);
  EXPECT_EQ(win::lstrcmpiW(u"ÄÖÜ straße", u"äöü STRAßE"), 0);
  EXPECT_EQ(win::lstrcmpiW(u"Привет Ωμέγα", u"пРИВЕТ ΩΜΈΓΑ"), 0);
  EXPECT_LT(win::lstrcmpiW(u"a", u"B"), 0);
  EXPECT_GT(win::lstrcmpiW(u"b", u"A"), 0);
  EXPECT_LT(win::lstrcmpiW(u"ab", u"ABC"), 0);
  EXPECT_NE(win::lstrcmpiW(u"a\U0001F600", u"a\U0001F601"), 0);
}

TEST(WindowsSystem, TempPathFollowsTheBufferRules) {
  char16_t buffer[win::MAX_PATH + 2] = {};
  win::DWORD length = win::GetTempPathW(win::MAX_PATH + 1, buffer);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, win::MAX_PATH + 1);
  EXPECT_EQ(std::u16string(buffer).size(), length);
  EXPECT_EQ(buffer[length - 1], win::PathDelimiter);

  // A buffer of exactly the path's length, one short of its zero: the length with the zero
  // comes back. (The buffer must hold what the call is told it holds, or the call may
  // write past it.)
  std::vector<char16_t> small(length);
  EXPECT_EQ(win::GetTempPathW(length, small.data()), length + 1); // room for the zero as well
}

#ifndef _WIN32
TEST(WindowsSystem, TempPathComesFromTmpdir) {
  TTempDir dir;
  const char* old = getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", dir.Path().c_str(), 1);
  char16_t buffer[win::MAX_PATH + 1] = {};
  win::GetTempPathW(win::MAX_PATH + 1, buffer);
  EXPECT_EQ(std::u16string(buffer), dir.Dir());
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
}
#endif

TEST_F(WindowsSystemTest, TempFileNameCreatesFreshFiles) {
  char16_t first[win::MAX_PATH + 1] = {}, second[win::MAX_PATH + 1] = {};
  EXPECT_NE(win::GetTempFileNameW(fDir.Dir().c_str(), u"Zandrel3", 0, first), 0u);
  EXPECT_NE(win::GetTempFileNameW(fDir.Dir().c_str(), u"Zandrel3", 0, second), 0u);
  EXPECT_NE(std::u16string(first), std::u16string(second));
  EXPECT_EQ(Listing(fDir.Path()).size(), 2u);
  EXPECT_EQ(ReadBytes(U16ToPath(first)), "");

  // A given value only makes the name.
  char16_t given[win::MAX_PATH + 1] = {};
  EXPECT_EQ(win::GetTempFileNameW(fDir.Dir().c_str(), u"Q", 0xBEEF, given), 0xBEEFu);
  EXPECT_EQ(win::lstrcmpiW(given, (fDir.Dir() + u"QBEEF.TMP").c_str()), 0)
      << Utf16ToUtf8(given, TLoneSurrogate::Kept);
  EXPECT_EQ(Listing(fDir.Path()).size(), 2u);

  std::u16string missing = fDir.Dir() + u"missing";
  EXPECT_EQ(win::GetTempFileNameW(missing.c_str(), u"Q", 0, given), 0u);
  EXPECT_EQ(win::GetLastError(), win::ERROR_DIRECTORY);
}

TEST(WindowsSystem, LibrariesAndEntryPoints) {
  win::HMODULE kernel32 = win::LoadLibraryW(u"kernel32.dll");
#ifdef _WIN32
  ASSERT_NE(kernel32, nullptr);
  EXPECT_NE(win::GetProcAddress(kernel32, "GetTempPathW"), nullptr);
  EXPECT_EQ(win::GetProcAddress(kernel32, "NoSuchEntryPoint"), nullptr);
  EXPECT_NE(win::FreeLibrary(kernel32), 0);
#else
  EXPECT_EQ(kernel32, nullptr);
  EXPECT_EQ(win::GetLastError(), win::ERROR_MOD_NOT_FOUND);
  win::HMODULE libc = win::LoadLibraryW(u"libc.so.6");
  ASSERT_NE(libc, nullptr);
  EXPECT_NE(win::GetProcAddress(libc, "rename"), nullptr);
  EXPECT_EQ(win::GetProcAddress(libc, "NoSuchEntryPoint"), nullptr);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PROC_NOT_FOUND);
  char16_t name[win::MAX_PATH + 1] = {};
  EXPECT_GT(win::GetModuleFileNameW(libc, name, win::MAX_PATH + 1), 0u);
  EXPECT_NE(std::u16string(name).find(u"libc"), std::u16string::npos);
  EXPECT_NE(win::FreeLibrary(libc), 0);
#endif
}
