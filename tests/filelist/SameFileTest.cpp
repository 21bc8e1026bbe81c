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

#ifndef _WIN32
// A name may hold a lone surrogate (typed into the list); the guard must look at the very
// files that the move and the delete act on.
TEST(SameFile, NamesWithLoneSurrogatesAreLookedUpAsTheMoveSeesThem) {
  TTempDir dir;
  const std::u16string a = dir.Dir() + u"a\xD800", link = dir.Dir() + u"link\xD800";
  WriteBytes(testing_support::U16ToPath(a), "A");
  std::filesystem::create_hard_link(testing_support::U16ToPath(a),
                                    testing_support::U16ToPath(link));
  EXPECT_TRUE(IsSameFile(a, link));

  // Two files that differ only in their lone surrogates are two files, even when a file
  // with U+FFFD in their place exists.
  const std::u16string other = dir.Dir() + u"a\xDC00";
  WriteBytes(testing_support::U16ToPath(other), "O");
  WriteBytes(dir / "a\xEF\xBF\xBD", "R");
  EXPECT_FALSE(IsSameFile(a, other));
}
#endif

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

// A source that leads to the destination stands for its data; a destination that is a
// link only names it. What cannot be looked up counts as the same: nothing is deleted.
TEST(SameFile, LinksAndWhatCannotBeLookedUp) {
  TTempDir dir;
  WriteBytes(dir / "target.txt", "T");
  WriteBytes(dir / "other.txt", "O");
  std::error_code error;
  std::filesystem::create_symlink("target.txt", dir / "link.txt", error);
  std::filesystem::create_symlink("nowhere.txt", dir / "dangling.txt", error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  const struct {
    const char16_t* Source;
    const char16_t* Destination;
    bool Same;
  } cases[] = {
      {u"link.txt", u"target.txt", true},     // the link leads to the destination
      {u"target.txt", u"link.txt", false},    // deleting the link loses nothing
      {u"link.txt", u"other.txt", false},     // it leads elsewhere
      {u"dangling.txt", u"other.txt", false}, // it leads nowhere
      {u"other.txt", u"missing.txt", true},   // cannot be told
      {u"gone.txt", u"other.txt", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing_support::ToUtf8(c.Source) + " -> " +
                 testing_support::ToUtf8(c.Destination));
    EXPECT_EQ(IsSameFile(dir.Dir() + c.Source, dir.Dir() + c.Destination), c.Same);
  }
}

} // namespace
