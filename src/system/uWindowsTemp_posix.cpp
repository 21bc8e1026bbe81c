// POSIX stand-in: the temporary directory and temporary names. GetTempFileNameW creates
// its file exclusively, as on Windows, and private to the user, as mkstemp does.
#include "system/uPosixPath.h"
#include "system/uWindowsPosix.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace win::real {

using namespace standin;

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
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (file >= 0) {
      close(file);
      LastUnique = value;
      deliver(name);
      SetLastError(ERROR_SUCCESS);
      return value;
    }
    if (errno != EEXIST) {
      // Windows names a folder that is missing, or is a file, as "not a directory".
      DWORD error = errno == ENOENT || errno == ENOTDIR ? ERROR_DIRECTORY : ErrorOf(errno, path);
      return Fail(error, 0u);
    }
    value = value == 0xFFFF ? 1 : value + 1;
  } while (value != first);
  return Fail(ERROR_FILE_EXISTS, 0u);
}
} // namespace win::real
