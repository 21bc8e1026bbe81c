// POSIX stand-in: a move between file systems, which copies the file and then deletes
// the source. The copy is the same file to its users: owner and group, mode, times and
// extended attributes (ACLs, security labels), and holes where the file system keeps
// them. Any failure removes the partial copy and keeps the source.
#include "system/uWindowsPosix.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace win::standin {

namespace {

bool WriteAll(int AFile, const char* AData, size_t ACount, off_t AOffset) {
  while (ACount > 0) {
    const ssize_t n = pwrite(AFile, AData, ACount, AOffset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    AData += n;
    ACount -= size_t(n);
    AOffset += n;
  }
  return true;
}

// The bytes from AFrom up to ATo, or up to the end of the source if that comes first.
bool CopyRange(int ASource, int ATarget, off_t AFrom, off_t ATo, std::vector<char>& ABuffer) {
  while (AFrom < ATo) {
    const size_t wanted = size_t(std::min<off_t>(ATo - AFrom, off_t(ABuffer.size())));
    const ssize_t n = pread(ASource, ABuffer.data(), wanted, AFrom);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true; // the source was cut short meanwhile
    if (!WriteAll(ATarget, ABuffer.data(), size_t(n), AFrom)) return false;
    AFrom += n;
  }
  return true;
}

// The data of the source, and its holes left unwritten. A file system that cannot tell
// where data is has it everywhere.
bool CopyData(int ASource, int ATarget, off_t ASize) {
  std::vector<char> buffer(1 << 16);
  for (off_t at = 0; at < ASize;) {
    off_t data = lseek(ASource, at, SEEK_DATA);
    if (data < 0 && errno == ENXIO) break; // a hole up to the end
    if (data < 0 && errno != EINVAL && errno != ENOTSUP) return false;
    off_t hole = data < 0 ? ASize : lseek(ASource, data, SEEK_HOLE);
    if (data < 0) data = at;
    if (hole < 0) return false;
    if (!CopyRange(ASource, ATarget, data, std::min(hole, ASize), buffer)) return false;
    at = hole;
  }
  // The size, which holds the hole at the end.
  return ftruncate(ATarget, ASize) == 0;
}

bool Unsupported(int AError) {
  return AError == ENOTSUP || AError == EOPNOTSUPP;
}

// A security label (security.*) that the mover may not set: the new file keeps the one
// that the system's policy gave it, as any new file there would have.
bool RefusedLabel(const char* AName, int AError) {
  return (AError == EPERM || AError == EACCES) && std::string(AName).rfind("security.", 0) == 0;
}

// Every extended attribute of the source. A file system on either side that has none is
// no failure; any other refusal is, so that nothing the file had (an ACL, say) is lost
// unnoticed.
bool CopyAttributes(int ASource, int ATarget) {
  std::vector<char> names;
  for (;;) {
    const ssize_t size = flistxattr(ASource, nullptr, 0);
    if (size < 0) return Unsupported(errno);
    names.resize(size_t(size));
    const ssize_t got = size == 0 ? 0 : flistxattr(ASource, names.data(), names.size());
    if (got >= 0) {
      names.resize(size_t(got));
      break;
    }
    if (errno != ERANGE) return Unsupported(errno); // else more came meanwhile
  }
  std::vector<char> value;
  for (size_t at = 0; at < names.size();) {
    const char* name = names.data() + at;
    at += std::string(name).size() + 1;
    ssize_t size;
    for (;;) {
      size = fgetxattr(ASource, name, nullptr, 0);
      if (size < 0) break;
      value.resize(size_t(size));
      size = size == 0 ? 0 : fgetxattr(ASource, name, value.data(), value.size());
      if (size >= 0 || errno != ERANGE) break;
    }
    if (size < 0) {
      if (errno == ENODATA) continue; // removed meanwhile
      return false;
    }
    if (fsetxattr(ATarget, name, value.data(), size_t(size), 0) != 0 && !Unsupported(errno) &&
        !RefusedLabel(name, errno))
      return false;
  }
  return true;
}

// Owner and group first: changing them clears the set-ID bits and file capabilities. A
// mover who may not give the copy the source's owner or group (a user moving another
// user's file, a file system without owners) leaves it theirs, and then the copy must
// not keep set-user-ID or set-group-ID bits that were granted as someone else. The mode
// stays the private one of the new file where the file system refuses it.
bool CopyOwnerModeAndTimes(int ASource, int ATarget, const struct stat& AStat) {
  // Whatever of this fails, the copy's own owner and group are looked at below.
  if (fchown(ATarget, AStat.st_uid, AStat.st_gid) != 0)
    (void)!fchown(ATarget, uid_t(-1), AStat.st_gid);
  if (!CopyAttributes(ASource, ATarget)) return false;
  struct stat copy;
  if (fstat(ATarget, &copy) != 0) return false;
  mode_t mode = AStat.st_mode & 07777;
  if (copy.st_uid != AStat.st_uid) mode &= ~mode_t(S_ISUID | S_ISGID);
  if (copy.st_gid != AStat.st_gid) mode &= ~mode_t(S_ISGID);
  fchmod(ATarget, mode);
  const struct timespec times[2] = {AStat.st_atim, AStat.st_mtim};
  futimens(ATarget, times);
  return true;
}

bool SameTime(const struct timespec& A, const struct timespec& B) {
  return A.tv_sec == B.tv_sec && A.tv_nsec == B.tv_nsec;
}

// The source is still the file that was copied: unchanged through its open descriptor
// (size, modification and change times: a write, a cut or a change of attributes moves
// them), and its name still names it (a program that saves a new version over the name
// puts another file there).
bool SourceUnchanged(int ASource, const std::string& AFrom, const struct stat& ACopied) {
  struct stat now, named;
  return fstat(ASource, &now) == 0 && now.st_size == ACopied.st_size &&
         SameTime(now.st_mtim, ACopied.st_mtim) && SameTime(now.st_ctim, ACopied.st_ctim) &&
         lstat(AFrom.c_str(), &named) == 0 && named.st_dev == ACopied.st_dev &&
         named.st_ino == ACopied.st_ino;
}

} // namespace

BOOL CopyThenDelete(const std::string& AFrom, const std::string& ATo) {
  struct stat st;
  if (lstat(AFrom.c_str(), &st) != 0) return FailErrno(AFrom);
  if (!S_ISREG(st.st_mode)) return Fail(ERROR_NOT_SAME_DEVICE, 0);

  const int source = open(AFrom.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (source < 0) return FailErrno(AFrom);
  if (fstat(source, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(source);
    return Fail(ERROR_NOT_SAME_DEVICE, 0);
  }
  const int target = open(ATo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (target < 0) {
    const int error = errno;
    close(source);
    return Fail(ErrorOf(error, ATo), 0);
  }

  bool ok = CopyData(source, target, st.st_size) && CopyOwnerModeAndTimes(source, target, st) &&
            fsync(target) == 0;
  DWORD error = ok ? ERROR_SUCCESS : ErrorOf(errno ? errno : EIO, ATo);
  if (close(target) != 0 && ok) ok = false, error = ErrorOf(errno, ATo);
  // What another program wrote meanwhile is not in the copy (a source cut short would
  // leave it padded): the source stays as it is now, for the user to decide again.
  if (ok) MoveCalls().Copied(AFrom.c_str());
  if (ok && !SourceUnchanged(source, AFrom, st)) ok = false, error = ERROR_SHARING_VIOLATION;
  close(source);
  if (ok && unlink(AFrom.c_str()) != 0) ok = false, error = ErrorOf(errno, AFrom);
  if (!ok) {
    unlink(ATo.c_str());
    return Fail(error, 0);
  }
  return 1;
}

} // namespace win::standin
