// The paths the rename engine hands to the system: "." and ".." resolved, never above the
// root, on Windows also in the \\?\ paths that FAR gives.
#include <gtest/gtest.h>

#include "filelist/uPathNames.h"
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
    SCOPED_TRACE(testing_support::ToUtf8(c.Path));
    std::u16string normal;
    EXPECT_EQ(NormalizePath(c.Path, normal), c.Normal != nullptr);
    if (c.Normal) {
      EXPECT_EQ(normal, c.Normal);
    }
  }
  EXPECT_EQ(VisiblePath(std::u16string(u"a\0b", 3)), u"a\\0b");
  EXPECT_EQ(VisiblePath(u"line\nbreak\x1B[2J\x9B"), u"line\\x0Abreak\\x1B[2J\\x9B");
}

} // namespace
