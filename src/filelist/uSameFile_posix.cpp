#include "filelist/uSameFile.h"

#include <sys/stat.h>

#include "files/uStrings.h"
#include "system/uWindows.h"

bool IsSameFile(const std::u16string& APath1, const std::u16string& APath2) {
  struct stat s1, s2;
  try {
    if (::lstat(WideToUtf8(APath1).c_str(), &s1) == 0 &&
        ::lstat(WideToUtf8(APath2).c_str(), &s2) == 0)
      return s1.st_dev == s2.st_dev && s1.st_ino == s2.st_ino;
  } catch (...) {
    // A name that does not convert cannot be compared on disk.
  }
  return win::lstrcmpiW(APath1.c_str(), APath2.c_str()) == 0;
}
