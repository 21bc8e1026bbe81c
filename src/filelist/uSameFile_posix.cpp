#include "filelist/uSameFile.h"

#include <sys/stat.h>

#include "system/uPosixPath.h"
#include "system/uWindows.h"

bool IsSameFile(const std::u16string& APath1, const std::u16string& APath2) {
  // The names go to the file system in the same bytes as those of MoveFileW and
  // DeleteFileW, so the guard looks at the files that those act on.
  struct stat s1, s2;
  if (::lstat(posix::PathToBytes(APath1).c_str(), &s1) == 0 &&
      ::lstat(posix::PathToBytes(APath2).c_str(), &s2) == 0)
    return s1.st_dev == s2.st_dev && s1.st_ino == s2.st_ino;
  return win::lstrcmpiW(APath1.c_str(), APath2.c_str()) == 0;
}
