// POSIX stand-in: the last error, and the shared helpers of the stand-in's services.
#include "system/uPosixPath.h"
#include "system/uWindowsPosix.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace win {

namespace {
thread_local DWORD LastError = ERROR_SUCCESS;
}

DWORD GetLastError() {
  return LastError;
}
void SetLastError(DWORD ACode) {
  LastError = ACode;
}

namespace real {

DWORD SystemErrorText(DWORD ACode, char16_t* ABuffer, DWORD ASize) {
  // The errno that the stand-in turns into each code, for its text.
  static const struct {
    DWORD Code;
    int Errno;
  } Errnos[] = {{ERROR_FILE_NOT_FOUND, ENOENT},
                {ERROR_PATH_NOT_FOUND, ENOENT},
                {ERROR_ACCESS_DENIED, EACCES},
                {ERROR_ALREADY_EXISTS, EEXIST},
                {ERROR_FILE_EXISTS, EEXIST},
                {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
                {ERROR_NOT_SAME_DEVICE, EXDEV},
                {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
                {ERROR_DISK_FULL, ENOSPC},
                {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
                {ERROR_INVALID_PARAMETER, EINVAL},
                {ERROR_INVALID_HANDLE, EBADF},
                {ERROR_GEN_FAILURE, EIO},
                {ERROR_INVALID_NAME, EINVAL},
                {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
                {ERROR_DIRECTORY, ENOTDIR},
                {ERROR_SHARING_VIOLATION, EBUSY}};
  for (const auto& entry : Errnos) {
    if (entry.Code != ACode) continue;
    const std::u16string text = posix::BytesToPath(strerror(entry.Errno));
    if (ASize == 0 || text.size() >= ASize) break;
    text.copy(ABuffer, text.size());
    ABuffer[text.size()] = 0;
    return DWORD(text.size());
  }
  SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  return 0;
}

} // namespace real

namespace standin {

// The byte form of a UTF-16 path; false (ERROR_INVALID_NAME) for an empty one.
bool ToPath(const char16_t* AName, std::string& APath) {
  if (!AName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (*AName == 0) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  APath = posix::PathToBytes(AName);
  return true;
}

// The directory part of a path (without the trailing delimiter), "." when there is none.
std::string ParentOf(const std::string& APath) {
  std::string path = APath;
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The last component of a path, trailing delimiters ignored.
std::string NameOf(const std::string& APath) {
  std::string path = APath;
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsDirectory(const std::string& APath) {
  struct stat st;
  return stat(APath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Windows tells a missing entry (2) from a missing directory on the way to it (3).
DWORD MissingError(const std::string& APath) {
  return IsDirectory(ParentOf(APath)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

// Every service of the stand-in turns errno into a Windows error here; each answer is the
// one Windows (and wine) gives for the same situation.
DWORD ErrorOf(int AErrno, const std::string& APath, DWORD AExists) {
  switch (AErrno) {
  case 0:
    return ERROR_SUCCESS;
  case ENOENT:
  // A name longer than the file system holds cannot name an entry: Windows answers as
  // for any missing one (a component over 255 characters: 2; a path through it or too
  // long as a whole: 3).
  case ENAMETOOLONG:
    return MissingError(APath);
  case ENOTDIR:
  case ELOOP:
    return ERROR_PATH_NOT_FOUND;
  case EACCES:
  case EPERM:
  case EROFS:
  case EISDIR:
  case EBUSY:
  case ETXTBSY:
    return ERROR_ACCESS_DENIED;
  case EEXIST:
    return AExists;
  case ENOTEMPTY:
    return ERROR_DIR_NOT_EMPTY;
  case EXDEV:
    return ERROR_NOT_SAME_DEVICE;
  case EMFILE:
  case ENFILE:
    return ERROR_TOO_MANY_OPEN_FILES;
  case ENOSPC:
  case EDQUOT:
    return ERROR_DISK_FULL;
  case ENOMEM:
    return ERROR_NOT_ENOUGH_MEMORY;
  case EINVAL:
    return ERROR_INVALID_PARAMETER;
  case EBADF:
    return ERROR_INVALID_HANDLE;
  default:
    // EIO and the like: the device failed, not the caller.
    return ERROR_GEN_FAILURE;
  }
}

BOOL FailErrno(const std::string& APath, DWORD AExists) {
  SetLastError(ErrorOf(errno, APath, AExists));
  return 0;
}

std::string CurrentDirectory() {
  char* cwd = getcwd(nullptr, 0);
  std::string result = cwd ? cwd : "";
  free(cwd);
  return result;
}

std::string ProgramPath() {
  std::string buffer(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return {};
  buffer.resize(size_t(n));
  return buffer;
}

} // namespace standin
} // namespace win
