// POSIX stand-in: file attributes and directory search.
//
// Symbolic links show as reparse points. A search takes its results when it starts and
// hands them out in name order, the same on every run.
#include "system/uPosixPath.h"
#include "system/uWindowsPosix.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace win::standin {

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

} // namespace win::standin

namespace win::real {

using namespace standin;

DWORD GetFileAttributesW(const char16_t* AFileName) {
  std::string path;
  if (!ToPath(AFileName, path)) return INVALID_FILE_ATTRIBUTES;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return Fail(ErrorOf(errno, path), INVALID_FILE_ATTRIBUTES);
  return AttributesOf(path, st);
}

namespace {

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

BOOL GetFileIdentity(const char16_t* APath, BOOL AFollowLinks, FILE_IDENTITY* AIdentity) {
  std::string path;
  if (!AIdentity) return Fail(ERROR_INVALID_PARAMETER, 0);
  if (!ToPath(APath, path)) return 0;
  struct stat st;
  if ((AFollowLinks ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0)
    return FailErrno(path);
  AIdentity->Volume = uint64_t(st.st_dev);
  AIdentity->Index = uint64_t(st.st_ino);
  AIdentity->Links = uint32_t(st.st_nlink);
  AIdentity->Directory = S_ISDIR(st.st_mode) ? 1 : 0;
  AIdentity->Reparse = S_ISLNK(st.st_mode) ? 1 : 0;
  return 1;
}

DWORD GetFinalPathNameW(const char16_t* APath, char16_t* ABuffer, DWORD ALength) {
  std::string path;
  if (!ToPath(APath, path)) return 0;
  std::unique_ptr<char, void (*)(void*)> real(realpath(path.c_str(), nullptr), free);
  if (!real) return FailErrno(path);
  const std::u16string name = posix::BytesToPath(real.get());
  // A real name that is not UTF-8 comes back with U+FFFD in it, which names another file.
  if (posix::PathToBytes(name) != real.get()) return Fail(ERROR_INVALID_NAME, DWORD(0));
  if (!ABuffer || name.size() >= ALength) return DWORD(name.size() + 1);
  name.copy(ABuffer, name.size());
  ABuffer[name.size()] = u'\0';
  return DWORD(name.size());
}

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

} // namespace win::real
