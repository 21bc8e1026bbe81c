// POSIX stand-in: moving and deleting.
//
// MoveFileW never replaces an existing entry, also on file systems without no-replace
// renames. A move between file systems copies a regular file and deletes the source only
// once the copy is complete (uWindowsCopy_posix.cpp); a directory cannot move between
// file systems (ERROR_NOT_SAME_DEVICE).
#include "system/uWindowsPosix.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace win::standin {

TMoveCalls& MoveCalls() {
  static TMoveCalls calls{[](const char* AFrom, const char* ATo) {
                            return renameat2(AT_FDCWD, AFrom, AT_FDCWD, ATo, RENAME_NOREPLACE);
                          },
                          [](const char* APath, struct stat* AStat) { return lstat(APath, AStat); },
                          [](const char*) {}};
  return calls;
}

} // namespace win::standin

namespace win::real {

using namespace standin;

namespace {

// A file system without no-replace renames (NFS, SMB, some FUSE file systems): a name
// counts as free only when looking it up says it is missing, and a file takes its new
// name through a hard link, which refuses an existing name as one step. A directory has
// no hard links and keeps a checked rename. Answers 0 or the errno of the failure.
int MoveWithoutReplacing(const std::string& AFrom, const std::string& ATo, bool ADirectory) {
  struct stat existing;
  if (MoveCalls().Lstat(ATo.c_str(), &existing) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  if (!ADirectory) {
    if (link(AFrom.c_str(), ATo.c_str()) == 0) {
      if (unlink(AFrom.c_str()) == 0) return 0;
      const int error = errno;
      unlink(ATo.c_str()); // the file keeps its one old name
      return error;
    }
    // Without hard links on this file system, the checked rename is all there is.
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS &&
        errno != EMLINK)
      return errno;
  }
  return rename(AFrom.c_str(), ATo.c_str()) == 0 ? 0 : errno;
}

// The destination is the source's own entry under another spelling of the same name in
// the same directory ("./a" for "a"): there is nothing to move.
bool SameEntryAndName(const std::string& AFrom, const std::string& ATo) {
  struct stat a, b, pa, pb;
  return NameOf(AFrom) == NameOf(ATo) && lstat(AFrom.c_str(), &a) == 0 &&
         lstat(ATo.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino &&
         stat(ParentOf(AFrom).c_str(), &pa) == 0 && stat(ParentOf(ATo).c_str(), &pb) == 0 &&
         pa.st_dev == pb.st_dev && pa.st_ino == pb.st_ino;
}

} // namespace

BOOL MoveFileW(const char16_t* AExisting, const char16_t* ANew) {
  std::string from, to;
  if (!ToPath(AExisting, from) || !ToPath(ANew, to)) return 0;
  // Most moves succeed at the first call. Whenever one fails, a missing source is what
  // is reported, as Windows does, before anything about the destination; a rename that
  // succeeded had a source, so looking for it only after a failure changes no answer.
  if (from != to && MoveCalls().RenameNoReplace(from.c_str(), to.c_str()) == 0) return 1;
  int error = errno;
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) return FailErrno(from);
  if (from == to) return 1;
  if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
    error = MoveWithoutReplacing(from, to, S_ISDIR(st.st_mode));
    if (error == 0) return 1;
  }
  if (error == EEXIST) {
    if (SameEntryAndName(from, to)) return 1;
    return Fail(ERROR_ALREADY_EXISTS, 0);
  }
  if (error == EXDEV) return CopyThenDelete(from, to);
  if (error == ENOENT) return Fail(ERROR_PATH_NOT_FOUND, 0); // the source exists
  return Fail(ErrorOf(error, to), 0);
}

BOOL DeleteFileW(const char16_t* AFileName) {
  std::string path;
  if (!ToPath(AFileName, path)) return 0;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return FailErrno(path);
  if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED, 0);
  if (unlink(path.c_str()) != 0) return FailErrno(path);
  return 1;
}

BOOL CreateDirectoryW(const char16_t* APath, void*) {
  std::string path;
  if (!ToPath(APath, path)) return 0;
  if (mkdir(path.c_str(), 0777) != 0) {
    if (errno == ENOENT) return Fail(ERROR_PATH_NOT_FOUND, 0);
    return FailErrno(path);
  }
  return 1;
}

BOOL RemoveDirectoryW(const char16_t* APath) {
  std::string path;
  if (!ToPath(APath, path)) return 0;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return FailErrno(path);
  // A symbolic link to a directory goes like a Windows directory link: the link only.
  if (S_ISLNK(st.st_mode)) {
    if (!IsDirectory(path)) return Fail(ERROR_DIRECTORY, 0);
    if (unlink(path.c_str()) != 0) return FailErrno(path);
    return 1;
  }
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY, 0);
  if (rmdir(path.c_str()) != 0) {
    if (errno == EEXIST) return Fail(ERROR_DIR_NOT_EMPTY, 0);
    return FailErrno(path);
  }
  return 1;
}
} // namespace win::real
