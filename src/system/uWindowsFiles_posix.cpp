// POSIX stand-in for the Windows file handles: CreateFileW, ReadFile, WriteFile,
// SetFilePointerEx, GetFileSizeEx, SetEndOfFile and CloseHandle over file descriptors.
//
// The creation dispositions and the error codes are those of Windows. A handle is a small
// record of our own (descriptor, access, sharing) that the functions check before use,
// so a stale or foreign handle fails with ERROR_INVALID_HANDLE instead of touching an
// unrelated descriptor.
//
// Share modes: POSIX has no mandatory sharing, so the stand-in keeps a table of the files
// that this process holds open (by device and inode) and refuses an open that Windows
// would refuse with ERROR_SHARING_VIOLATION: when the new access is not allowed by the
// share mode of a handle already open, or the new share mode does not allow the access of
// one. Other processes are not restrained. A file without any write permission bit counts
// as read-only, as the read-only attribute does on Windows: opening it for writing is
// refused with ERROR_ACCESS_DENIED even for a user whom POSIX would let write.
//
// Only regular files open, as on Windows, where a file name never leads to a pipe or a
// device: anything else is refused with ERROR_ACCESS_DENIED, and the open itself never
// waits (a named pipe would hold it until a writer comes). A new file is private to its
// user (0600, whatever the umask): Windows gives it the rights of its folder, which in
// the user's temporary folder are the user's alone, while a POSIX temporary directory
// is shared.
#include "system/uPosixPath.h"
#include "system/uWindows.h"
#include "system/uWindowsPosix.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace win::real {

namespace {

constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
constexpr uint32_t HandleMagic = 0x51465648; // "QFVH"

struct TFileHandle {
  uint32_t Magic = HandleMagic;
  int Fd = -1;
  DWORD Access = 0;
  DWORD Share = 0;
  dev_t Device = 0;
  ino_t Inode = 0;
};

// The open handles. The table exists only while a handle is open, so that nothing of
// it is left when the module is unloaded, and a handle closed during static
// destruction still finds it.
std::mutex OpenFilesLock;
std::vector<TFileHandle*>* OpenFileTable = nullptr;
std::vector<TFileHandle*>& OpenFiles() {
  if (!OpenFileTable) OpenFileTable = new std::vector<TFileHandle*>;
  return *OpenFileTable;
}
void ReleaseOpenFilesIfEmpty() {
  if (OpenFileTable && OpenFileTable->empty()) {
    delete OpenFileTable;
    OpenFileTable = nullptr;
  }
}

bool Fail(DWORD ACode) {
  SetLastError(ACode);
  return false;
}

// The Windows error of a failed call on a file or handle. Opening with CREATE_NEW an
// existing file fails with ERROR_FILE_EXISTS, where a directory or a move answers
// ERROR_ALREADY_EXISTS.
DWORD OpenError(int AErrno, const std::string& APath) {
  return standin::ErrorOf(AErrno, APath, ERROR_FILE_EXISTS);
}

DWORD HandleError(int AErrno) {
  return standin::ErrorOf(AErrno, std::string());
}

// Windows' rule: both the new and every existing opener must allow the other's access.
bool SharingConflicts(const TFileHandle& AOpen, DWORD AAccess, DWORD AShare) {
  const bool newRead = AAccess & GENERIC_READ, newWrite = AAccess & GENERIC_WRITE;
  const bool oldRead = AOpen.Access & GENERIC_READ, oldWrite = AOpen.Access & GENERIC_WRITE;
  return (newRead && !(AOpen.Share & FILE_SHARE_READ)) ||
         (newWrite && !(AOpen.Share & FILE_SHARE_WRITE)) ||
         (oldRead && !(AShare & FILE_SHARE_READ)) || (oldWrite && !(AShare & FILE_SHARE_WRITE));
}

TFileHandle* Lookup(HANDLE AHandle) {
  auto* h = static_cast<TFileHandle*>(AHandle);
  if (!h || AHandle == InvalidHandleValue()) return nullptr;
  std::lock_guard<std::mutex> lock(OpenFilesLock);
  if (!OpenFileTable) return nullptr;
  for (TFileHandle* open : *OpenFileTable)
    if (open == h) return h->Magic == HandleMagic ? h : nullptr;
  return nullptr;
}

} // namespace

namespace {

bool MayCreate(DWORD ADisposition) {
  return ADisposition == CREATE_NEW || ADisposition == CREATE_ALWAYS || ADisposition == OPEN_ALWAYS;
}

// The open(2) flags of a Windows access mask. O_NONBLOCK only keeps the open from
// waiting; reads of a regular file ignore it.
int OpenFlags(DWORD AAccess) {
  const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  if (!(AAccess & GENERIC_WRITE)) return flags | O_RDONLY;
  return flags | ((AAccess & GENERIC_READ) ? O_RDWR : O_WRONLY);
}

// A new file, made exclusively (so never through a link) and the user's own; -1 with
// errno EEXIST when one is there already. Windows reports an existing directory as access
// denied, not as a file.
int CreateExclusively(const std::string& APath, int AFlags, DWORD ADisposition) {
  const int fd = ::open(APath.c_str(), AFlags | O_CREAT | O_EXCL | O_NOFOLLOW, S_IRUSR | S_IWUSR);
  if (fd >= 0 || errno != EEXIST || ADisposition == CREATE_NEW) return fd;
  struct stat st;
  // A link that leads nowhere is still an entry there: EEXIST stays.
  errno = ::stat(APath.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? EISDIR : EEXIST;
  return -1;
}

// Whether the file at APath (if any) may be opened as asked: it is a regular file, and
// not read-only when it is to be written or replaced.
bool MayOpenExisting(const std::string& APath, bool AWantWrite, DWORD ADisposition) {
  struct stat st;
  if (::stat(APath.c_str(), &st) != 0) return true;
  if (!S_ISREG(st.st_mode)) return false;
  return !((AWantWrite || ADisposition == CREATE_ALWAYS) &&
           !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)));
}

// First the file that is there, or a new one made exclusively, so that we know which of
// the two we hold (AExisted); truncation waits until sharing has been checked. -1 with
// the last error set when neither can be had.
int OpenOrCreate(const std::string& APath, DWORD AAccess, DWORD ADisposition, bool& AExisted) {
  const int flags = OpenFlags(AAccess);
  const bool mayCreate = MayCreate(ADisposition);
  AExisted = false;
  for (int attempt = 0; attempt < 8; ++attempt) {
    if (mayCreate) {
      const int fd = CreateExclusively(APath, flags, ADisposition);
      if (fd >= 0) return fd;
      if (errno != EEXIST || ADisposition == CREATE_NEW)
        return SetLastError(OpenError(errno, APath)), -1;
    }
    if (!MayOpenExisting(APath, (AAccess & GENERIC_WRITE) != 0, ADisposition))
      return SetLastError(ERROR_ACCESS_DENIED), -1;
    const int fd = ::open(APath.c_str(), flags);
    if (fd >= 0) {
      AExisted = true;
      return fd;
    }
    // Deleted between the two opens: try again.
    if (errno != ENOENT || !mayCreate) return SetLastError(OpenError(errno, APath)), -1;
  }
  SetLastError(ERROR_FILE_NOT_FOUND);
  return -1;
}

// A handle for the open descriptor AFd, unless another handle of the same file does not
// share with it (then AFd is closed and null answered).
TFileHandle* RegisterHandle(int AFd, const struct stat& AStat, DWORD AAccess, DWORD AShareMode) {
  auto* handle = new TFileHandle;
  handle->Fd = AFd;
  handle->Access = AAccess;
  handle->Share = AShareMode;
  handle->Device = AStat.st_dev;
  handle->Inode = AStat.st_ino;
  std::lock_guard<std::mutex> lock(OpenFilesLock);
  for (const TFileHandle* open : OpenFiles()) {
    if (open->Device == AStat.st_dev && open->Inode == AStat.st_ino &&
        SharingConflicts(*open, AAccess, AShareMode)) {
      ::close(AFd);
      delete handle;
      ReleaseOpenFilesIfEmpty();
      // A file we made ourselves cannot conflict, so nothing is left behind here.
      SetLastError(ERROR_SHARING_VIOLATION);
      return nullptr;
    }
  }
  OpenFiles().push_back(handle);
  return handle;
}

} // namespace

HANDLE CreateFileW(const char16_t* AFileName, DWORD AAccess, DWORD AShareMode, void*,
                   DWORD ACreationDisposition, DWORD, HANDLE) {
  if (!AFileName) return Fail(ERROR_INVALID_PARAMETER), InvalidHandleValue();
  if (ACreationDisposition < CREATE_NEW || ACreationDisposition > TRUNCATE_EXISTING ||
      (ACreationDisposition == TRUNCATE_EXISTING && !(AAccess & GENERIC_WRITE)))
    return Fail(ERROR_INVALID_PARAMETER), InvalidHandleValue();
  const std::string path = posix::PathToBytes(AFileName);
  if (path.empty()) return Fail(ERROR_PATH_NOT_FOUND), InvalidHandleValue();
  bool existed = false;
  const int fd = OpenOrCreate(path, AAccess, ACreationDisposition, existed);
  if (fd < 0) return InvalidHandleValue();
  // A file made here is removed again when a later step fails: the caller, told that
  // nothing was opened, would never delete it.
  const auto undoCreate = [&] {
    if (!existed) ::unlink(path.c_str());
  };
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    undoCreate();
    return Fail(ERROR_ACCESS_DENIED), InvalidHandleValue();
  }
  TFileHandle* handle = RegisterHandle(fd, st, AAccess, AShareMode);
  if (!handle) {
    const DWORD error = GetLastError();
    undoCreate();
    return Fail(error), InvalidHandleValue();
  }
  const bool truncate = existed && (ACreationDisposition == CREATE_ALWAYS ||
                                    ACreationDisposition == TRUNCATE_EXISTING);
  if (truncate && ::ftruncate(fd, 0) != 0) {
    const DWORD error = HandleError(errno);
    CloseHandle(handle);
    return Fail(error), InvalidHandleValue();
  }
  // Windows tells CREATE_ALWAYS and OPEN_ALWAYS callers whether the file was there.
  const bool reportExisting =
      existed && (ACreationDisposition == CREATE_ALWAYS || ACreationDisposition == OPEN_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE AFile, void* ABuffer, DWORD ACount, DWORD* ARead, void*) {
  if (ARead) *ARead = 0;
  TFileHandle* h = Lookup(AFile);
  if (!h) return Fail(ERROR_INVALID_HANDLE);
  if (!(h->Access & GENERIC_READ)) return Fail(ERROR_ACCESS_DENIED);
  if (!ABuffer && ACount > 0) return Fail(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  while (done < ACount) {
    const ssize_t n = ::read(h->Fd, static_cast<char*>(ABuffer) + done, ACount - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (ARead) *ARead = done;
      return Fail(HandleError(errno));
    }
    if (n == 0) break; // end of file: success with fewer bytes
    done += DWORD(n);
  }
  if (ARead) *ARead = done;
  return true;
}

BOOL WriteFile(HANDLE AFile, const void* ABuffer, DWORD ACount, DWORD* AWritten, void*) {
  if (AWritten) *AWritten = 0;
  TFileHandle* h = Lookup(AFile);
  if (!h) return Fail(ERROR_INVALID_HANDLE);
  if (!(h->Access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
  if (!ABuffer && ACount > 0) return Fail(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  while (done < ACount) {
    const ssize_t n = ::write(h->Fd, static_cast<const char*>(ABuffer) + done, ACount - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (AWritten) *AWritten = done;
      return Fail(HandleError(errno));
    }
    done += DWORD(n);
  }
  if (AWritten) *AWritten = done;
  return true;
}

BOOL SetFilePointerEx(HANDLE AFile, int64_t ADistance, int64_t* ANewPosition, DWORD AMethod) {
  TFileHandle* h = Lookup(AFile);
  if (!h) return Fail(ERROR_INVALID_HANDLE);
  int whence;
  switch (AMethod) {
  case FILE_BEGIN:
    whence = SEEK_SET;
    break;
  case FILE_CURRENT:
    whence = SEEK_CUR;
    break;
  case FILE_END:
    whence = SEEK_END;
    break;
  default:
    return Fail(ERROR_INVALID_PARAMETER);
  }
  // Windows refuses a position before the start and leaves the pointer where it was.
  const off_t current = ::lseek(h->Fd, 0, SEEK_CUR);
  off_t base = 0;
  if (whence == SEEK_CUR) base = current;
  if (whence == SEEK_END) {
    struct stat st;
    if (::fstat(h->Fd, &st) != 0) return Fail(HandleError(errno));
    base = st.st_size;
  }
  if (ADistance < 0 && base + ADistance < 0) return Fail(ERROR_NEGATIVE_SEEK);
  const off_t result = ::lseek(h->Fd, off_t(ADistance), whence);
  if (result < 0) return Fail(HandleError(errno));
  if (ANewPosition) *ANewPosition = result;
  return true;
}

BOOL GetFileSizeEx(HANDLE AFile, int64_t* ASize) {
  TFileHandle* h = Lookup(AFile);
  if (!h) return Fail(ERROR_INVALID_HANDLE);
  if (!ASize) return Fail(ERROR_INVALID_PARAMETER);
  struct stat st;
  if (::fstat(h->Fd, &st) != 0) return Fail(HandleError(errno));
  *ASize = st.st_size;
  return true;
}

BOOL SetEndOfFile(HANDLE AFile) {
  TFileHandle* h = Lookup(AFile);
  if (!h) return Fail(ERROR_INVALID_HANDLE);
  if (!(h->Access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
  const off_t position = ::lseek(h->Fd, 0, SEEK_CUR);
  if (position < 0 || ::ftruncate(h->Fd, position) != 0) return Fail(HandleError(errno));
  return true;
}

BOOL CloseHandle(HANDLE AObject) {
  TFileHandle* h = Lookup(AObject);
  if (!h) return Fail(ERROR_INVALID_HANDLE);
  {
    std::lock_guard<std::mutex> lock(OpenFilesLock);
    auto& files = OpenFiles();
    for (auto it = files.begin(); it != files.end(); ++it) {
      if (*it == h) {
        files.erase(it);
        break;
      }
    }
    ReleaseOpenFilesIfEmpty();
  }
  ::close(h->Fd);
  h->Magic = 0;
  delete h;
  return true;
}

} // namespace win::real
