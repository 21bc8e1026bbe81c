// The paths the rename engine hands to the system: "." and ".." resolved, never above the
// root, on Windows also in the \\?\ paths that FAR gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/uPathNames.h"
#include "support/TestFiles.h"

namespace {

TEST(PathNames, DotsResolvedWithinTheRoot) {
  const struct {
    const char16_t *Path, *Normal; // null: refused
  } cases[] = {
#ifdef _WIN32
      {u"\\\\?\\C:\\dir\\..\\x", u"\\\\?\\C:\\x"},
      {u"\\\\?\\C:\\dir\\.\\sub/x", u"\\\\?\\C:\\dir\\sub\\x"},
      {u"\\\\?\\C:\\dir\\..\\..\\x", nullptr},
      {u"\\\\?\\UNC\\server\\share\\dir\\..\\x", u"\\\\?\\UNC\\server\\share\\x"},
      {u"\\\\?\\UNC\\server\\share\\..\\x", nullptr},
      {u"\\\\server\\share\\a\\..\\..\\x", nullptr},
      {u"C:\\a\\\\b\\..\\c\\", u"C:\\a\\c\\"},
      {u"C:\\..", nullptr},
      {u"dir\\x", nullptr},
#else
      {u"/dir/../x", u"/x"},      {u"/dir/./sub//x", u"/dir/sub/x"},
      {u"/dir/../../x", nullptr}, {u"/a/b/../c/", u"/a/c/"},
      {u"/a/...", u"/a/..."},     {u"dir/x", nullptr},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.Path, TLoneSurrogate::Kept));
    std::u16string normal;
    EXPECT_EQ(NormalizePath(c.Path, normal), c.Normal != nullptr);
    if (c.Normal) {
      EXPECT_EQ(normal, c.Normal);
    }
    // In place, as the engine builds its paths; a refused path stays as it was.
    std::u16string path = c.Path;
    EXPECT_EQ(NormalizePath(path, path), c.Normal != nullptr);
    EXPECT_EQ(path, c.Normal ? c.Normal : c.Path);
  }
  EXPECT_EQ(VisiblePath(std::u16string(u"a\0b", 3)), u"a\\0b");
  EXPECT_EQ(VisiblePath(u"line\nbreak\x1B[2J\x9B"), u"line\\x0Abreak\\x1B[2J\\x9B");
}

// A folder's move takes the paths below it along, and only those: a delimiter ends the
// folder's name, and only the platform's delimiters do.
TEST(PathNames, FolderMoveCarriesThePathsBelowIt) {
  const struct {
    const char16_t *Path, *From, *To, *Carried; // null: not carried
  } cases[] = {
#ifdef _WIN32
      {u"C:\\D\\A\\x", u"c:\\d\\a", u"C:\\d\\b\\", u"C:\\d\\b\\x"},
      {u"C:\\d\\a/x", u"C:\\d\\a\\", u"C:\\e", u"C:\\e/x"},
      {u"C:\\d\\ab", u"C:\\d\\a", u"C:\\d\\b", nullptr},
#else
      {u"/d/a/x", u"/d/a", u"/d/b/", u"/d/b/x"}, {u"/d/a", u"/d/a/", u"/e", u"/e"},
      {u"/d/ab", u"/d/a", u"/d/b", nullptr},     {u"/d/a\\x", u"/d/a", u"/d/b", nullptr},
      {u"/D/a/x", u"/d/a", u"/d/b", nullptr},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.Path, TLoneSurrogate::Kept));
    std::u16string path = c.Path;
    EXPECT_EQ(CarryAlong(path, c.From, c.To), c.Carried != nullptr);
    EXPECT_EQ(path, c.Carried ? c.Carried : c.Path);
  }
}

// Found files listed from their deepest common folder, where they have one.
TEST(PathNames, AbsolutePathsSplitAtTheirCommonFolder) {
  const struct {
    std::vector<std::u16string> Paths;
    const char16_t* Folder; // null: refused
    std::vector<std::u16string> Names;
  } cases[] = {
#ifdef _WIN32
      {{u"C:\\d\\a.jpg", u"c:\\D\\x\\b.jpg", u"C:\\d\\x\\y\\c.jpg"},
       u"C:\\d\\",
       {u"a.jpg", u"x\\b.jpg", u"x\\y\\c.jpg"}},
      {{u"C:\\d\\x", u"C:\\d\\x\\b", u"C:\\d\\xy\\c"}, u"C:\\d\\", {u"x", u"x\\b", u"xy\\c"}},
      {{u"C:\\a", u"D:\\a"}, u"", {u"C:\\a", u"D:\\a"}},
      {{u"\\\\srv\\share\\a\\x", u"\\\\srv\\other\\a\\y"},
       u"",
       {u"\\\\srv\\share\\a\\x", u"\\\\srv\\other\\a\\y"}},
      {{u"\\\\?\\C:\\d\\e\\..\\f\\a.jpg"}, u"\\\\?\\C:\\d\\f\\", {u"a.jpg"}},
      {{u"\\\\srv\\share\\a", u"\\\\srv\\share\\b\\"}, u"\\\\srv\\share\\", {u"a", u"b"}},
      {{u"C:\\a", u"x\\b"}, nullptr, {}},
      {{u"C:\\"}, nullptr, {}},
#else
      {{u"/d/a.jpg", u"/d/x/b.jpg", u"/d/x/y/c.jpg"}, u"/d/", {u"a.jpg", u"x/b.jpg", u"x/y/c.jpg"}},
      {{u"/d/x", u"/d/x/b", u"/d/xy/c"}, u"/d/", {u"x", u"x/b", u"xy/c"}},
      {{u"/a/x", u"/b/y/"}, u"/", {u"a/x", u"b/y"}},
      {{u"/d/e/../f/a.jpg"}, u"/d/f/", {u"a.jpg"}},
      {{u"/D/a", u"/d/b"}, u"/", {u"D/a", u"d/b"}},
      {{u"/a", u"x/b"}, nullptr, {}},
      {{u"/"}, nullptr, {}},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.Paths[0], TLoneSurrogate::Kept));
    std::u16string folder;
    std::vector<std::u16string> names;
    ASSERT_EQ(SplitAtCommonFolder(c.Paths, folder, names), c.Folder != nullptr);
    if (!c.Folder) continue;
    EXPECT_EQ(folder, c.Folder);
    EXPECT_EQ(names, c.Names);
  }
  EXPECT_EQ(FolderPart(u"x/y/c.jpg"), u"x/y/");
  EXPECT_EQ(FolderPart(u"c.jpg"), u"");
}

} // namespace
