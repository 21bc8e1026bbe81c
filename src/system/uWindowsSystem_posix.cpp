// POSIX stand-in for the Windows system services: errors, attributes, directory search,
// moving and deleting, temporary names, version records and modules.
//
// Each function keeps the Windows meaning that the code above relies on, above all that
// MoveFileW never replaces an existing file and GetTempFileNameW creates its file
// exclusively. A move between file systems copies a regular file and deletes the source
// only once the copy is complete; a directory cannot move between file systems
// (ERROR_NOT_SAME_DEVICE).
#include "system/uPosixPath.h"
#include "system/uWindows.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwctype>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <locale.h>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

namespace {

// ---- Paths and errors --------------------------------------------------------------

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

DWORD ErrorOf(int AErrno, const std::string& APath, DWORD AExists = ERROR_ALREADY_EXISTS) {
  switch (AErrno) {
  case 0:
    return ERROR_SUCCESS;
  case ENOENT:
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
  case ENAMETOOLONG:
    return ERROR_FILENAME_EXCED_RANGE;
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
    return ERROR_GEN_FAILURE;
  }
}

template <typename T> T Fail(DWORD AError, T AResult) {
  SetLastError(AError);
  return AResult;
}

BOOL FailErrno(const std::string& APath, DWORD AExists = ERROR_ALREADY_EXISTS) {
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

// ---- Attributes ----------------------------------------------------------------------

// Symbolic links show as reparse points, with the directory attribute when they lead to
// a directory, as Windows shows its own symbolic links.
DWORD AttributesOf(const std::string& APath, const struct stat& AStat) {
  DWORD attributes = 0;
  if (S_ISLNK(AStat.st_mode)) {
    attributes = FILE_ATTRIBUTE_REPARSE_POINT;
    attributes |= IsDirectory(APath) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  } else if (S_ISDIR(AStat.st_mode)) {
    attributes = FILE_ATTRIBUTE_DIRECTORY;
  } else {
    attributes = FILE_ATTRIBUTE_ARCHIVE;
    if ((AStat.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  }
  std::string name = NameOf(APath);
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

} // namespace

DWORD GetFileAttributesW(const char16_t* AFileName) {
  std::string path;
  if (!ToPath(AFileName, path)) return INVALID_FILE_ATTRIBUTES;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return Fail(ErrorOf(errno, path), INVALID_FILE_ATTRIBUTES);
  return AttributesOf(path, st);
}

// ---- Directory search ----------------------------------------------------------------

namespace {

char16_t LowerCase(char16_t C);

// Windows patterns: '*' any run of characters, '?' one character, case ignored; "*.*"
// matches every name, extension or not.
bool MatchesPattern(std::u16string_view APattern, std::u16string_view AName) {
  if (APattern == u"*.*") APattern = u"*";
  size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < AName.size()) {
    if (p < APattern.size() && APattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (p < APattern.size() &&
               (APattern[p] == u'?' || LowerCase(APattern[p]) == LowerCase(AName[n]))) {
      ++p;
      ++n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < APattern.size() && APattern[p] == u'*')
    ++p;
  return p == APattern.size();
}

FILETIME ToFileTime(const struct timespec& ATime) {
  // 100-nanosecond intervals since 1601-01-01.
  constexpr int64_t EpochDifference = 11644473600LL;
  int64_t seconds = int64_t(ATime.tv_sec) + EpochDifference;
  uint64_t value = seconds < 0 ? 0 : uint64_t(seconds) * 10000000u + uint64_t(ATime.tv_nsec) / 100;
  return FILETIME{DWORD(value & 0xFFFFFFFFu), DWORD(value >> 32)};
}

bool FillFindData(const std::string& APath, const std::u16string& AName, WIN32_FIND_DATAW& AData) {
  struct stat st;
  if (lstat(APath.c_str(), &st) != 0) return false;
  if (AName.size() >= MAX_PATH) return false;
  AData = WIN32_FIND_DATAW{};
  AData.dwFileAttributes = AttributesOf(APath, st);
  AData.ftCreationTime = ToFileTime(st.st_ctim);
  AData.ftLastAccessTime = ToFileTime(st.st_atim);
  AData.ftLastWriteTime = ToFileTime(st.st_mtim);
  if (!S_ISDIR(st.st_mode)) {
    uint64_t size = uint64_t(st.st_size);
    AData.nFileSizeHigh = DWORD(size >> 32);
    AData.nFileSizeLow = DWORD(size & 0xFFFFFFFFu);
  }
  std::copy(AName.begin(), AName.end(), AData.cFileName);
  return true;
}

// The results of one search, taken when it starts.
struct TFindState {
  std::vector<WIN32_FIND_DATAW> fEntries;
  size_t fNext = 0;
};

std::mutex FindMutex;
std::set<TFindState*> FindStates;

TFindState* FindStateOf(HANDLE AFind) {
  std::lock_guard<std::mutex> lock(FindMutex);
  auto it = FindStates.find(static_cast<TFindState*>(AFind));
  return it == FindStates.end() ? nullptr : *it;
}

} // namespace

HANDLE FindFirstFileW(const char16_t* AFileName, WIN32_FIND_DATAW* AData) {
  std::string path;
  if (!AData) return Fail(ERROR_INVALID_PARAMETER, InvalidHandleValue());
  if (!ToPath(AFileName, path)) return InvalidHandleValue();

  size_t slash = path.rfind('/');
  std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::u16string pattern = posix::BytesToPath(path.substr(directory.size()));
  if (pattern.empty()) return Fail(ERROR_FILE_NOT_FOUND, InvalidHandleValue());

  auto state = std::make_unique<TFindState>();
  if (pattern.find_first_of(u"*?") == std::u16string::npos) {
    WIN32_FIND_DATAW data;
    if (!FillFindData(path, pattern, data)) return Fail(ErrorOf(errno, path), InvalidHandleValue());
    state->fEntries.push_back(data);
  } else {
    std::string opened = directory.empty() ? std::string(".") : directory;
    struct TCloseDir {
      void operator()(DIR* ADir) const { closedir(ADir); }
    };
    std::unique_ptr<DIR, TCloseDir> dir(opendir(opened.c_str()));
    if (!dir) {
      DWORD error = errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorOf(errno, opened);
      return Fail(error, InvalidHandleValue());
    }
    while (dirent* entry = readdir(dir.get())) {
      std::u16string name = posix::BytesToPath(entry->d_name);
      WIN32_FIND_DATAW data;
      if (MatchesPattern(pattern, name) && FillFindData(directory + entry->d_name, name, data))
        state->fEntries.push_back(data);
    }
    // Directory order on POSIX is arbitrary; a sorted list is the same on every run.
    std::sort(state->fEntries.begin(), state->fEntries.end(),
              [](const WIN32_FIND_DATAW& A, const WIN32_FIND_DATAW& B) {
                return std::u16string_view(A.cFileName) < std::u16string_view(B.cFileName);
              });
    if (state->fEntries.empty()) return Fail(ERROR_FILE_NOT_FOUND, InvalidHandleValue());
  }

  *AData = state->fEntries[0];
  state->fNext = 1;
  std::lock_guard<std::mutex> lock(FindMutex);
  FindStates.insert(state.get());
  return state.release();
}

BOOL FindNextFileW(HANDLE AFind, WIN32_FIND_DATAW* AData) {
  TFindState* state = FindStateOf(AFind);
  if (!state) return Fail(ERROR_INVALID_HANDLE, 0);
  if (!AData) return Fail(ERROR_INVALID_PARAMETER, 0);
  if (state->fNext >= state->fEntries.size()) return Fail(ERROR_NO_MORE_FILES, 0);
  *AData = state->fEntries[state->fNext++];
  return 1;
}

BOOL FindClose(HANDLE AFind) {
  std::unique_ptr<TFindState> state;
  {
    std::lock_guard<std::mutex> lock(FindMutex);
    auto it = FindStates.find(static_cast<TFindState*>(AFind));
    if (it == FindStates.end()) return Fail(ERROR_INVALID_HANDLE, 0);
    state.reset(*it);
    FindStates.erase(it);
  }
  return 1;
}

// ---- Moving and deleting -------------------------------------------------------------

namespace {

bool RenameNoReplace(const std::string& AFrom, const std::string& ATo) {
  return renameat2(AT_FDCWD, AFrom.c_str(), AT_FDCWD, ATo.c_str(), RENAME_NOREPLACE) == 0;
}

bool WriteAll(int AFile, const char* AData, size_t ACount) {
  while (ACount > 0) {
    ssize_t n = write(AFile, AData, ACount);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    AData += n;
    ACount -= size_t(n);
  }
  return true;
}

// Copies a regular file to a new name on another file system, then deletes the source.
// Any failure removes the partial copy and keeps the source.
BOOL CopyThenDelete(const std::string& AFrom, const std::string& ATo) {
  struct stat st;
  if (lstat(AFrom.c_str(), &st) != 0) return FailErrno(AFrom);
  if (!S_ISREG(st.st_mode)) return Fail(ERROR_NOT_SAME_DEVICE, 0);

  int source = open(AFrom.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return FailErrno(AFrom);
  int target = open(ATo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (target < 0) {
    int error = errno;
    close(source);
    return Fail(ErrorOf(error, ATo), 0);
  }

  bool ok = true;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t n = read(source, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (n > 0 && !WriteAll(target, buffer.data(), size_t(n)))) ok = false;
    if (n <= 0) break;
  }
  int error = ok ? 0 : errno;
  if (ok) {
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    fchmod(target, st.st_mode & 07777);
    futimens(target, times);
    if (fsync(target) != 0) ok = false, error = errno;
  }
  if (close(target) != 0 && ok) ok = false, error = errno;
  close(source);
  if (ok && unlink(AFrom.c_str()) != 0) ok = false, error = errno;
  if (!ok) {
    unlink(ATo.c_str());
    return Fail(ErrorOf(error ? error : EIO, ATo), 0);
  }
  return 1;
}

// The destination is the source itself under another spelling (a change of case on a
// file system that ignores case): the entry moves aside to a free name and then to the
// destination. When the second step finds a different entry after all (a hard link), it
// moves back and the destination exists.
BOOL MoveThroughFreeName(const std::string& AFrom, const std::string& ATo) {
  std::string parent = ParentOf(AFrom);
  std::string stem =
      (parent == "/" ? std::string() : parent) + "/.move-" + std::to_string(getpid()) + "-";
  std::string aside;
  for (unsigned i = 0;; ++i) {
    aside = stem + std::to_string(i);
    if (RenameNoReplace(AFrom, aside)) break;
    if (errno != EEXIST || i > 1000) return FailErrno(AFrom);
  }
  if (RenameNoReplace(aside, ATo)) return 1;
  int error = errno;
  RenameNoReplace(aside, AFrom);
  return Fail(ErrorOf(error, ATo), 0);
}

bool SameEntry(const std::string& A, const std::string& B) {
  struct stat a, b;
  return lstat(A.c_str(), &a) == 0 && lstat(B.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

} // namespace

BOOL MoveFileW(const char16_t* AExisting, const char16_t* ANew) {
  std::string from, to;
  if (!ToPath(AExisting, from) || !ToPath(ANew, to)) return 0;
  // Most moves succeed at the first call. Whenever one fails, a missing source is what
  // is reported, as Windows does, before anything about the destination; a rename that
  // succeeded had a source, so looking for it only after a failure changes no answer.
  if (from != to && RenameNoReplace(from, to)) return 1;
  int error = errno;
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) return FailErrno(from);
  if (from == to) return 1;
  if (error == EINVAL || error == ENOSYS) {
    // A file system without no-replace renames: check, then rename. Only a
    // competing process in between could be overwritten.
    struct stat existing;
    if (lstat(to.c_str(), &existing) == 0)
      error = EEXIST;
    else if (rename(from.c_str(), to.c_str()) == 0)
      return 1;
    else
      error = errno;
  }
  if (error == EEXIST) {
    if (SameEntry(from, to)) return MoveThroughFreeName(from, to);
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

// ---- Comparison ----------------------------------------------------------------------

namespace {

locale_t UnicodeLocale() {
  static locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    return l ? l : newlocale(LC_CTYPE_MASK, "C.utf8", locale_t(0));
  }();
  return locale;
}

// Surrogates stay as they are; so does any letter whose lower case is outside the
// Basic Multilingual Plane.
char16_t LowerCase(char16_t C) {
  if (C < 0x80) return (C >= u'A' && C <= u'Z') ? char16_t(C + 32) : C;
  if (C >= 0xD800 && C <= 0xDFFF) return C;
  locale_t locale = UnicodeLocale();
  if (!locale) return C;
  wint_t lower = towlower_l(wint_t(C), locale);
  if (lower > 0xFFFF || (lower >= 0xD800 && lower <= 0xDFFF)) return C;
  return char16_t(lower);
}

} // namespace

int lstrcmpiW(const char16_t* A, const char16_t* B) {
  if (!A || !B) return A ? 1 : (B ? -1 : 0);
  for (;; ++A, ++B) {
    char16_t a = LowerCase(*A), b = LowerCase(*B);
    if (a != b) return a < b ? -1 : 1;
    if (a == 0) return 0;
  }
}

// ---- Temporary directory and names ---------------------------------------------------

DWORD GetTempPathW(DWORD ABufferLength, char16_t* ABuffer) {
  const char* variable = getenv("TMPDIR");
  std::string directory = (variable && variable[0] == '/') ? variable : "/tmp";
  if (directory.back() != '/') directory += '/';
  std::u16string text = posix::BytesToPath(directory);
  if (ABuffer && ABufferLength > text.size()) {
    std::copy(text.begin(), text.end(), ABuffer);
    ABuffer[text.size()] = 0;
    return DWORD(text.size());
  }
  // Too small: the length needed, terminating zero included.
  return DWORD(text.size() + 1);
}

namespace {

std::u16string HexText(UINT AValue) {
  static const char16_t Digits[] = u"0123456789ABCDEF";
  std::u16string text;
  do {
    text.insert(text.begin(), Digits[AValue & 0xF]);
    AValue >>= 4;
  } while (AValue != 0);
  return text;
}

// Successive calls start from successive numbers, so a name just handed out and deleted
// again is not handed out at once a second time.
std::atomic<UINT> LastUnique{0};

UINT FirstUniqueToTry() {
  UINT last = LastUnique.load();
  if (last == 0) last = UINT(time(nullptr)) ^ (UINT(getpid()) << 4);
  UINT next = (last + 1) & 0xFFFF;
  return next == 0 ? 1 : next;
}

} // namespace

UINT GetTempFileNameW(const char16_t* APath, const char16_t* APrefix, UINT AUnique,
                      char16_t* ATempFileName) {
  if (!APath || !ATempFileName) return Fail(ERROR_INVALID_PARAMETER, 0u);

  std::u16string directory = APath;
  if (directory.empty() || directory[0] != u'/')
    directory = posix::BytesToPath(CurrentDirectory()) + u'/' + directory;
  if (directory.back() != u'/') directory += u'/';
  // Room for the prefix, four digits, ".TMP" and the terminating zero.
  if (directory.size() > MAX_PATH - 14) return Fail(ERROR_BUFFER_OVERFLOW, 0u);

  std::u16string prefix;
  for (size_t i = 0; APrefix && i < 3 && APrefix[i] != 0; ++i)
    prefix += APrefix[i];
  if (!prefix.empty() && prefix.back() >= 0xD800 && prefix.back() < 0xDC00) prefix.pop_back();

  auto nameFor = [&](UINT AValue) { return directory + prefix + HexText(AValue) + u".TMP"; };
  auto deliver = [&](const std::u16string& AName) {
    std::copy(AName.begin(), AName.end(), ATempFileName);
    ATempFileName[AName.size()] = 0;
  };

  // A given unique value only makes the name; the caller creates the file.
  if ((AUnique & 0xFFFF) != 0) {
    deliver(nameFor(AUnique & 0xFFFF));
    SetLastError(ERROR_SUCCESS);
    return AUnique & 0xFFFF;
  }

  const UINT first = FirstUniqueToTry();
  UINT value = first;
  do {
    std::u16string name = nameFor(value);
    std::string path = posix::PathToBytes(name);
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file >= 0) {
      close(file);
      LastUnique = value;
      deliver(name);
      SetLastError(ERROR_SUCCESS);
      return value;
    }
    if (errno != EEXIST) {
      DWORD error = errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorOf(errno, path);
      return Fail(error, 0u);
    }
    value = value == 0xFFFF ? 1 : value + 1;
  } while (value != first);
  return Fail(ERROR_FILE_EXISTS, 0u);
}

// ---- Version records -----------------------------------------------------------------
// POSIX files carry no Windows version record.

DWORD GetFileVersionInfoSizeW(const char16_t* AFileName, DWORD* AHandle) {
  if (AHandle) *AHandle = 0;
  std::string path;
  if (!ToPath(AFileName, path)) return 0;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return FailErrno(path);
  return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND, 0u);
}

BOOL GetFileVersionInfoW(const char16_t* AFileName, DWORD, DWORD, void*) {
  std::string path;
  if (!ToPath(AFileName, path)) return 0;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return FailErrno(path);
  return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND, 0);
}

BOOL VerQueryValueW(const void*, const char16_t*, void** ABuffer, UINT* ALength) {
  if (ABuffer) *ABuffer = nullptr;
  if (ALength) *ALength = 0;
  return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND, 0);
}

// ---- Modules -------------------------------------------------------------------------
// Module handles are dlopen handles; a null handle stands for the program itself.

DWORD GetModuleFileNameW(HMODULE AModule, char16_t* AFileName, DWORD ASize) {
  std::string path;
  if (AModule) {
    link_map* map = nullptr;
    if (dlinfo(AModule, RTLD_DI_LINKMAP, &map) != 0 || !map) return Fail(ERROR_MOD_NOT_FOUND, 0u);
    path = map->l_name ? map->l_name : "";
  }
  if (path.empty()) path = ProgramPath();
  if (path.empty()) return Fail(ERROR_GEN_FAILURE, 0u);
  if (!AFileName || ASize == 0) return Fail(ERROR_INSUFFICIENT_BUFFER, 0u);

  std::u16string name = posix::BytesToPath(path);
  if (name.size() < ASize) {
    std::copy(name.begin(), name.end(), AFileName);
    AFileName[name.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return DWORD(name.size());
  }
  // Cut to the buffer, terminated, and the full size returned as Windows does.
  std::copy(name.begin(), name.begin() + (ASize - 1), AFileName);
  AFileName[ASize - 1] = 0;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return ASize;
}

namespace {
// dlerror's text for the last LoadLibraryW of this thread that dlopen refused. A plain
// array: a thread_local object with a destructor would keep the module that holds this
// code (the plugin) from ever being unloaded.
thread_local char LoadLibraryError[1024];
} // namespace

HMODULE LoadLibraryW(const char16_t* AFileName) {
  LoadLibraryError[0] = 0;
  std::string path;
  if (!ToPath(AFileName, path)) return nullptr;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    if (const char* reason = dlerror())
      std::snprintf(LoadLibraryError, sizeof(LoadLibraryError), "%s", reason);
    return Fail(ERROR_MOD_NOT_FOUND, HMODULE(nullptr));
  }
  return module;
}

const char* LoadLibraryErrorText() {
  return LoadLibraryError;
}

FARPROC GetProcAddress(HMODULE AModule, const char* AProcName) {
  if (!AModule) return Fail(ERROR_INVALID_HANDLE, FARPROC(nullptr));
  if (!AProcName) return Fail(ERROR_INVALID_PARAMETER, FARPROC(nullptr));
  void* symbol = dlsym(AModule, AProcName);
  if (!symbol) return Fail(ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE AModule) {
  if (!AModule || dlclose(AModule) != 0) return Fail(ERROR_INVALID_HANDLE, 0);
  return 1;
}

BOOL GetModuleHandleExW(DWORD AFlags, const char16_t* AModuleName, HMODULE* AModule) {
  if (!AModule) return Fail(ERROR_INVALID_PARAMETER, 0);
  *AModule = nullptr;
  void* module = nullptr;
  if (AFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
    Dl_info info{};
    if (dladdr(AModuleName, &info) == 0 || !info.dli_fname) return Fail(ERROR_MOD_NOT_FOUND, 0);
    module = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    // The program itself is not found under its own name: its handle is the null one.
    if (!module) module = dlopen(nullptr, RTLD_LAZY);
  } else if (!AModuleName) {
    module = dlopen(nullptr, RTLD_LAZY);
  } else {
    module = dlopen(posix::PathToBytes(AModuleName).c_str(), RTLD_LAZY | RTLD_NOLOAD);
  }
  if (!module) return Fail(ERROR_MOD_NOT_FOUND, 0);
  // The module stays loaded while its code runs, so the handle outlives its reference.
  if (AFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) dlclose(module);
  *AModule = module;
  return 1;
}

} // namespace win
