// File handles: creation dispositions, the error codes callers rely on, sharing, and
// read/write/seek/size/set-end. Runs against the real functions under wine too.
#include "support/TestFiles.h"
#include "system/uWindows.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace win;
using testing_support::ReadBytes;
using testing_support::TTempDir;
using testing_support::WriteBytes;

struct TOpen {
  HANDLE Handle;
  DWORD Error;
  bool Ok() const { return Handle != InvalidHandleValue(); }
};

TOpen Open(const std::u16string& AName, DWORD AAccess, DWORD AShare, DWORD ADisposition) {
  SetLastError(12345);
  HANDLE h = CreateFileW(AName.c_str(), AAccess, AShare, nullptr, ADisposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return {h, GetLastError()};
}

constexpr DWORD RW = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;

TEST(FileHandles, DispositionsAndErrorCodes) {
  TTempDir dir;
  const std::u16string name = dir.Dir() + u"f.txt";

  EXPECT_EQ(Open(name, GENERIC_READ, ShareAll, OPEN_EXISTING).Error, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open(dir.Dir() + u"missing/f.txt", GENERIC_READ, ShareAll, OPEN_EXISTING).Error,
            ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Open(dir.Dir() + u"missing/f.txt", RW, 0, CREATE_ALWAYS).Error, ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Open(name, RW, 0, TRUNCATE_EXISTING).Error, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(dir / "f.txt"));

  TOpen created = Open(name, RW, 0, CREATE_NEW);
  ASSERT_TRUE(created.Ok());
  EXPECT_EQ(created.Error, ERROR_SUCCESS);
  CloseHandle(created.Handle);
  EXPECT_EQ(Open(name, RW, 0, CREATE_NEW).Error, ERROR_FILE_EXISTS);

  WriteBytes(dir / "f.txt", "content");
  TOpen always = Open(name, RW, 0, OPEN_ALWAYS);
  ASSERT_TRUE(always.Ok());
  EXPECT_EQ(always.Error, ERROR_ALREADY_EXISTS);
  CloseHandle(always.Handle);
  EXPECT_EQ(ReadBytes(dir / "f.txt"), "content");

  TOpen fresh = Open(dir.Dir() + u"g.txt", RW, 0, OPEN_ALWAYS);
  ASSERT_TRUE(fresh.Ok());
  EXPECT_EQ(fresh.Error, ERROR_SUCCESS);
  CloseHandle(fresh.Handle);

  TOpen replaced = Open(name, RW, 0, CREATE_ALWAYS);
  ASSERT_TRUE(replaced.Ok());
  EXPECT_EQ(replaced.Error, ERROR_ALREADY_EXISTS);
  CloseHandle(replaced.Handle);
  EXPECT_EQ(ReadBytes(dir / "f.txt"), "");

  WriteBytes(dir / "f.txt", "content");
  TOpen truncated = Open(name, RW, 0, TRUNCATE_EXISTING);
  ASSERT_TRUE(truncated.Ok());
  CloseHandle(truncated.Handle);
  EXPECT_EQ(ReadBytes(dir / "f.txt"), "");
}

TEST(FileHandles, DirectoriesAndReadOnlyFilesAreAccessDenied) {
  TTempDir dir;
  std::filesystem::create_directory(dir / "sub");
  EXPECT_EQ(Open(dir.Dir() + u"sub", GENERIC_READ, ShareAll, OPEN_EXISTING).Error,
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(Open(dir.Dir() + u"sub", RW, 0, CREATE_ALWAYS).Error, ERROR_ACCESS_DENIED);

#ifndef _WIN32
  // Natively only: wine lets a root user open a read-only file for writing.
  WriteBytes(dir / "ro.txt", "keep");
  namespace fs = std::filesystem;
  fs::permissions(dir / "ro.txt",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(Open(dir.Dir() + u"ro.txt", RW, ShareAll, OPEN_EXISTING).Error, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Open(dir.Dir() + u"ro.txt", RW, 0, CREATE_ALWAYS).Error, ERROR_ACCESS_DENIED);
  TOpen reader = Open(dir.Dir() + u"ro.txt", GENERIC_READ, ShareAll, OPEN_EXISTING);
  EXPECT_TRUE(reader.Ok());
  if (reader.Ok()) CloseHandle(reader.Handle);
  fs::permissions(dir / "ro.txt", fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadBytes(dir / "ro.txt"), "keep");
#endif
}

TEST(FileHandles, ShareModesDecideWhoElseMayOpen) {
  TTempDir dir;
  const std::u16string name = dir.Dir() + u"s.txt";
  WriteBytes(dir / "s.txt", "x");

  TOpen exclusive = Open(name, RW, 0, OPEN_EXISTING);
  ASSERT_TRUE(exclusive.Ok());
  EXPECT_EQ(Open(name, GENERIC_READ, ShareAll, OPEN_EXISTING).Error, ERROR_SHARING_VIOLATION);
  // Refused also when it would have emptied the file.
  EXPECT_EQ(Open(name, RW, 0, CREATE_ALWAYS).Error, ERROR_SHARING_VIOLATION);
  CloseHandle(exclusive.Handle);
  EXPECT_EQ(ReadBytes(dir / "s.txt"), "x");

  TOpen denyWrite = Open(name, RW, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_TRUE(denyWrite.Ok());
  TOpen reader = Open(name, GENERIC_READ, ShareAll, OPEN_EXISTING);
  EXPECT_TRUE(reader.Ok());
  EXPECT_EQ(Open(name, RW, FILE_SHARE_READ, OPEN_EXISTING).Error, ERROR_SHARING_VIOLATION);
  // A reader that does not let others write conflicts with the writer already there.
  EXPECT_EQ(Open(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING).Error,
            ERROR_SHARING_VIOLATION);
  if (reader.Ok()) CloseHandle(reader.Handle);
  CloseHandle(denyWrite.Handle);
}

TEST(FileHandles, ReadWriteSeekSizeAndSetEnd) {
  TTempDir dir;
  TOpen f = Open(dir.Dir() + u"d.bin", RW, 0, CREATE_ALWAYS);
  ASSERT_TRUE(f.Ok());
  DWORD done = 0;
  EXPECT_TRUE(WriteFile(f.Handle, "0123456789", 10, &done, nullptr));
  EXPECT_EQ(done, 10u);
  int64_t size = 0, position = -1;
  EXPECT_TRUE(GetFileSizeEx(f.Handle, &size));
  EXPECT_EQ(size, 10);
  EXPECT_TRUE(SetFilePointerEx(f.Handle, -6, &position, FILE_END));
  EXPECT_EQ(position, 4);
  char buffer[16] = {};
  EXPECT_TRUE(ReadFile(f.Handle, buffer, 3, &done, nullptr));
  EXPECT_EQ(std::string(buffer, done), "456");
  EXPECT_TRUE(SetFilePointerEx(f.Handle, -3, &position, FILE_CURRENT));
  EXPECT_TRUE(SetEndOfFile(f.Handle));
  EXPECT_TRUE(GetFileSizeEx(f.Handle, &size));
  EXPECT_EQ(size, 4);
  // At the end a read succeeds with nothing; before the start a seek fails and stays.
  EXPECT_TRUE(ReadFile(f.Handle, buffer, 8, &done, nullptr));
  EXPECT_EQ(done, 0u);
  EXPECT_FALSE(SetFilePointerEx(f.Handle, -100, &position, FILE_CURRENT));
  EXPECT_TRUE(SetFilePointerEx(f.Handle, 0, &position, FILE_CURRENT));
  EXPECT_EQ(position, 4);
  // Beyond the end is a valid place to be.
  EXPECT_TRUE(SetFilePointerEx(f.Handle, 100, &position, FILE_BEGIN));
  EXPECT_EQ(position, 100);
  EXPECT_TRUE(CloseHandle(f.Handle));
  EXPECT_EQ(ReadBytes(dir / "d.bin"), "0123");
}

TEST(FileHandles, AccessIsChecked) {
  TTempDir dir;
  WriteBytes(dir / "a.txt", "abc");
  TOpen reader = Open(dir.Dir() + u"a.txt", GENERIC_READ, ShareAll, OPEN_EXISTING);
  ASSERT_TRUE(reader.Ok());
  DWORD done = 7;
  SetLastError(0);
  EXPECT_FALSE(WriteFile(reader.Handle, "x", 1, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(done, 0u);
  CloseHandle(reader.Handle);

  TOpen writer = Open(dir.Dir() + u"a.txt", GENERIC_WRITE, ShareAll, OPEN_EXISTING);
  ASSERT_TRUE(writer.Ok());
  char c;
  SetLastError(0);
  EXPECT_FALSE(ReadFile(writer.Handle, &c, 1, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(writer.Handle);
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "abc");
}

TEST(FileHandles, NamesOutsideAsciiReachTheFileSystem) {
  TTempDir dir;
  const std::u16string name = u"\u0416\u00E9\u4E2D\U0001F600.txt";
  TOpen f = Open(dir.Dir() + name, RW, 0, CREATE_NEW);
  ASSERT_TRUE(f.Ok());
  CloseHandle(f.Handle);
  EXPECT_TRUE(std::filesystem::exists(U16ToPath(dir.Dir() + name)));
}

} // namespace
