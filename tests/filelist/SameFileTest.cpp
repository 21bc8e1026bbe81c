// The guard that keeps "overwrite" from deleting the very file being moved, and the one
// spelling of folders in which Overwrite compares paths.
#include <gtest/gtest.h>

#include <filesystem>

#include "filelist/uOwnSpelling.h"
#include "filelist/uSameFile.h"
#include "support/TestFiles.h"
#include "system/uWindows.h"

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
  WriteBytes(U16ToPath(a), "A");
  std::filesystem::create_hard_link(U16ToPath(a), U16ToPath(link));
  EXPECT_TRUE(IsSameFile(a, link));

  // Two files that differ only in their lone surrogates are two files, even when a file
  // with U+FFFD in their place exists.
  const std::u16string other = dir.Dir() + u"a\xDC00";
  WriteBytes(U16ToPath(other), "O");
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
    SCOPED_TRACE(Utf16ToUtf8(c.Source, TLoneSurrogate::Kept) + " -> " +
                 Utf16ToUtf8(c.Destination, TLoneSurrogate::Kept));
    EXPECT_EQ(IsSameFile(dir.Dir() + c.Source, dir.Dir() + c.Destination), c.Same);
  }
}

// Paths compared by the engine are spelled as the file system spells their folders, the
// last part as written; a folder that a move may have changed is resolved again.
TEST(SameFile, FoldersInTheFileSystemsOwnSpelling) {
  testing_support::TTempDir dir;
  std::filesystem::create_directories(dir / "s");
  TOwnSpelling spelling;
  std::u16string base = spelling.Of(dir.Dir() + u"x");
  base.pop_back(); // the temporary folder itself may be reached through a link
  const char16_t d = win::PathDelimiter;
  const auto path = [&](std::u16string AName) {
    for (char16_t& c : AName)
      if (c == u'/') c = d;
    return AName;
  };
#ifndef _WIN32
  std::filesystem::create_directory_symlink(".", dir / "self");
#endif
  const struct {
    const char16_t *Path, *Spelled;
  } cases[] = {
      {u"s/x", u"s/x"},
      {u"none/deeper/x", u"none/deeper/x"}, // missing folders kept as written
#ifndef _WIN32
      {u"self/s/x", u"s/x"},
      {u"self/self", u"self"}, // a link named last is a name of its own
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.Path, TLoneSurrogate::Kept));
    EXPECT_EQ(spelling.Of(dir.Dir() + path(c.Path)), base + path(c.Spelled));
  }
  EXPECT_FALSE(spelling.Unsure());
  // A folder moved: what was spelled through it is told again.
  std::filesystem::rename(dir / "s", dir / "t");
  spelling.Moved(base + path(u"s"), base + path(u"t"));
  EXPECT_EQ(spelling.Of(dir.Dir() + path(u"s/x")), base + path(u"s/x"));
#ifndef _WIN32
  std::filesystem::create_directory_symlink("t", dir / "s");
  spelling.Moved(dir.Dir() + path(u"t"), dir.Dir() + path(u"s"));
  EXPECT_EQ(spelling.Of(dir.Dir() + path(u"s/x")), base + path(u"t/x"));
#endif
  EXPECT_TRUE(IsAtOrBelow(base + path(u"t/x"), base + path(u"t/")));
  EXPECT_FALSE(IsAtOrBelow(base + path(u"tt/x"), base + path(u"t")));
}

} // namespace
