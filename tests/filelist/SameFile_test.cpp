// The guard that keeps "overwrite" from deleting the very file being moved.
#include <gtest/gtest.h>

#include <filesystem>

#include "filelist/uSameFile.h"
#include "support/TestFiles.h"

namespace {

using testing_support::TTempDir;
using testing_support::WriteBytes;

TEST(SameFile, OnePathAndItsOtherSpellingsAreTheSameFile) {
  TTempDir dir;
  WriteBytes(dir / "a.txt", "A");
  std::filesystem::create_directory(dir / "sub");
  EXPECT_TRUE(IsSameFile(dir.Dir() + u"a.txt", dir.Dir() + u"a.txt"));
#ifdef _WIN32
  EXPECT_TRUE(IsSameFile(dir.Dir() + u"a.txt", dir.Dir() + u"sub\\..\\a.txt"));
  EXPECT_TRUE(IsSameFile(dir.Dir() + u"a.txt", dir.Dir() + u"A.TXT"));
#else
  EXPECT_TRUE(IsSameFile(dir.Dir() + u"a.txt", dir.Dir() + u"sub/../a.txt"));
  std::filesystem::create_hard_link(dir / "a.txt", dir / "link.txt");
  EXPECT_TRUE(IsSameFile(dir.Dir() + u"a.txt", dir.Dir() + u"link.txt"));
#endif
}

TEST(SameFile, DifferentFilesAreNot) {
  TTempDir dir;
  WriteBytes(dir / "a.txt", "A");
  WriteBytes(dir / "b.txt", "B");
  EXPECT_FALSE(IsSameFile(dir.Dir() + u"a.txt", dir.Dir() + u"b.txt"));
#ifndef _WIN32
  // On a case-sensitive file system two spellings can be two files.
  WriteBytes(dir / "A.txt", "other");
  EXPECT_FALSE(IsSameFile(dir.Dir() + u"a.txt", dir.Dir() + u"A.txt"));
#endif
}

TEST(SameFile, WhenOneIsMissingOnlyTheSpellingDecides) {
  TTempDir dir;
  WriteBytes(dir / "a.txt", "A");
  EXPECT_FALSE(IsSameFile(dir.Dir() + u"a.txt", dir.Dir() + u"missing.txt"));
  EXPECT_TRUE(IsSameFile(dir.Dir() + u"gone.txt", dir.Dir() + u"GONE.TXT"));
}

} // namespace
