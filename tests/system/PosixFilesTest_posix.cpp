// What the POSIX stand-in keeps of Windows where POSIX differs: a new file is its user's
// alone, a file name opens regular files only, without ever waiting, and a failed open
// leaves no file that it made.
#include "support/TestFiles.h"
#include "system/uWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;

namespace {

// While set, fstat fails: the step of an open right after the descriptor is had.
std::atomic<bool> FailFstat{false};

} // namespace

// This program's fstat, which the stand-in linked into it calls.
extern "C" int fstat(int AFd, struct stat* AStat) {
  if (FailFstat) {
    errno = EIO;
    return -1;
  }
  return fstatat(AFd, "", AStat, AT_EMPTY_PATH);
}

namespace {

mode_t Mode(const std::u16string& AName) {
  struct stat st {};
  EXPECT_EQ(stat(U16ToPath(AName).c_str(), &st), 0);
  return st.st_mode & 07777;
}

} // namespace

TEST(PosixFiles, NewFilesArePrivateWhateverTheUmask) {
  TTempDir dir;
  const std::u16string created = dir.Dir() + u"list.txt";
  char16_t reserved[win::MAX_PATH + 1] = {};
  const mode_t umaskBefore = umask(0);
  win::HANDLE file = win::CreateFileW(created.c_str(), win::GENERIC_WRITE, 0, nullptr,
                                      win::CREATE_ALWAYS, 0, nullptr);
  const win::UINT unique = win::GetTempFileNameW(dir.Dir().c_str(), u"Zan", 0, reserved);
  umask(umaskBefore);
  ASSERT_NE(file, win::InvalidHandleValue());
  win::CloseHandle(file);
  ASSERT_NE(unique, 0u);
  EXPECT_EQ(Mode(created), 0600u);
  EXPECT_EQ(Mode(reserved), 0600u);
}

TEST(PosixFiles, OnlyRegularFilesOpenAndNoOpenWaits) {
  TTempDir dir;
  const auto pipe = dir / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // Held open at both ends, so that an open that would wait for a writer cannot hang here.
  const int held = open(pipe.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(held, 0);
  for (const std::u16string& name : {PathToU16(pipe), std::u16string(u"/dev/null")}) {
    for (win::DWORD disposition : {win::OPEN_EXISTING, win::OPEN_ALWAYS}) {
      win::HANDLE file = win::CreateFileW(name.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ,
                                          nullptr, disposition, 0, nullptr);
      EXPECT_EQ(file, win::InvalidHandleValue())
          << Utf16ToUtf8(name, TLoneSurrogate::Kept) << " " << disposition;
      EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
      if (file != win::InvalidHandleValue()) win::CloseHandle(file);
    }
  }
  close(held);
}

TEST(PosixFiles, AFailedOpenLeavesNoFileItMade) {
  TTempDir dir;
  const auto made = dir / "new.txt";
  const auto old = dir / "old.txt";
  WriteBytes(old, "O");
  for (win::DWORD disposition : {win::CREATE_NEW, win::CREATE_ALWAYS, win::OPEN_ALWAYS}) {
    for (const auto& path : {made, old}) {
      FailFstat = true;
      win::HANDLE file = win::CreateFileW(PathToU16(path).c_str(), win::GENERIC_WRITE, 0, nullptr,
                                          disposition, 0, nullptr);
      FailFstat = false;
      EXPECT_EQ(file, win::InvalidHandleValue()) << disposition;
      if (file != win::InvalidHandleValue()) win::CloseHandle(file);
    }
    EXPECT_FALSE(std::filesystem::exists(made)) << disposition;
    EXPECT_EQ(ReadBytes(old), "O") << disposition;
  }
}
