// Temporary names, the existence test, version records and the module's own file name.
// Nothing here throws: every failure shows as an empty string, False or zeros.
#include "system/uSystem.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

std::vector<std::u16string>* TempFiles = nullptr;

namespace {

// Path buffers hold MAX_PATH + 1 characters and a terminating zero.
constexpr win::DWORD PathBufferLength = win::MAX_PATH + 1;

// The text of a buffer up to its first zero, at most PathBufferLength characters.
std::u16string BufferText(const char16_t* ABuffer) {
  size_t length = 0;
  while (length < PathBufferLength && ABuffer[length] != 0)
    ++length;
  return std::u16string(ABuffer, length);
}

void Register(const std::u16string& AFileName) {
  if (TempFiles && !AFileName.empty()) TempFiles->push_back(AFileName);
}

// How many numbered names CreateNumberedFile tries before it gives up.
constexpr uint64_t MaxNumberedNames = 1000;

// The errors of a CREATE_NEW open whose name something else already holds (a file, a
// directory, a link, a file about to be deleted).
bool NameIsTaken(win::DWORD AError) {
  return AError == win::ERROR_FILE_EXISTS || AError == win::ERROR_ALREADY_EXISTS ||
         AError == win::ERROR_ACCESS_DENIED;
}

bool HasWildcard(const std::u16string& AFileName) {
  return AFileName.find_first_of(u"*?") != std::u16string::npos;
}

// The attributes could not be read for another reason than a missing entry or a bad name
// (access denied, say): a search for the exact name may still see the entry.
bool FoundBySearch(const std::u16string& AFileName) {
  if (HasWildcard(AFileName)) return false;
  win::WIN32_FIND_DATAW data{};
  win::HANDLE find = win::FindFirstFileW(AFileName.c_str(), &data);
  if (find == win::InvalidHandleValue()) return false;
  win::FindClose(find);
  return (data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A reparse point that is not a directory counts when it leads to something that can be
// opened for reading, or that is merely held open by someone else.
bool ReparsePointOpens(const std::u16string& AFileName) {
  win::HANDLE file = win::CreateFileW(AFileName.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ,
                                      nullptr, win::OPEN_EXISTING, 0, nullptr);
  if (file != win::InvalidHandleValue()) {
    win::CloseHandle(file);
    return true;
  }
  return win::GetLastError() == win::ERROR_SHARING_VIOLATION;
}

// The module (DLL, shared object or program) whose code holds this function.
win::HMODULE ModuleOfThisCode() {
  win::HMODULE module = nullptr;
  if (!win::GetModuleHandleExW(win::GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   win::GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<const char16_t*>(&ModuleOfThisCode), &module))
    return nullptr;
  return module;
}

} // namespace

std::u16string GetTempDirectory() {
  try {
    char16_t buffer[PathBufferLength + 1] = {};
    win::DWORD length = win::GetTempPathW(PathBufferLength, buffer);
    if (length == 0 || length >= PathBufferLength) return {};
    return BufferText(buffer);
  } catch (...) {
    return {};
  }
}

std::u16string CreateTempFileName(const std::u16string& ADirectory, const std::u16string& APrefix) {
  try {
    char16_t buffer[PathBufferLength + 1] = {};
    if (win::GetTempFileNameW(ADirectory.c_str(), APrefix.c_str(), 0, buffer) == 0) return {};
    std::u16string result = BufferText(buffer);
    // Only the name is wanted: the file the system made to reserve it goes again.
    if (FileExists(result)) win::DeleteFileW(result.c_str());
    Register(result);
    return result;
  } catch (...) {
    return {};
  }
}

win::HANDLE CreateNumberedFile(const std::u16string& ABase, const std::u16string& ASuffix,
                               std::u16string& AFileName) {
  AFileName.clear();
  try {
    std::u16string candidate = ABase + ASuffix;
    for (uint64_t counter = 0; counter <= MaxNumberedNames; ++counter) {
      // CREATE_NEW opens nothing that is already there, a link included.
      const win::HANDLE file =
          win::CreateFileW(candidate.c_str(), win::GENERIC_READ | win::GENERIC_WRITE, 0, nullptr,
                           win::CREATE_NEW, win::FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != win::InvalidHandleValue()) {
        Register(candidate);
        AFileName = candidate;
        return file;
      }
      if (!NameIsTaken(win::GetLastError())) break;
      candidate = ABase + DecimalText(counter) + ASuffix;
    }
  } catch (...) {
  }
  return win::InvalidHandleValue();
}

win::HANDLE CreateTempFile(const std::u16string& ADirectory, const std::u16string& APrefix,
                           const std::u16string& ASuffix, std::u16string& AFileName) {
  AFileName.clear();
  try {
    const std::u16string name = CreateTempFileName(ADirectory, APrefix);
    if (name.empty()) return win::InvalidHandleValue();

    // The name without its extension; a full stop inside a directory name does not count.
    std::u16string base = name;
    const char16_t stops[] = {u'.', u'\\', u':', win::PathDelimiter, 0};
    const size_t last = name.find_last_of(stops);
    if (last != std::u16string::npos && name[last] == u'.') base = name.substr(0, last);
    return CreateNumberedFile(base, ASuffix, AFileName);
  } catch (...) {
    return win::InvalidHandleValue();
  }
}

void KeepTempFile(const std::u16string& AFileName) {
  if (TempFiles)
    TempFiles->erase(std::remove(TempFiles->begin(), TempFiles->end(), AFileName),
                     TempFiles->end());
}

void DeleteTempFiles() {
  if (!TempFiles) return;
  try {
    const size_t count = TempFiles->size();
    for (size_t i = 0; i < count; ++i) {
      const std::u16string& name = (*TempFiles)[i];
      if (FileExists(name)) win::DeleteFileW(name.c_str());
    }
  } catch (...) {
    // Cleanup at unload has no one to report to.
  }
  std::vector<std::u16string>* files = TempFiles;
  TempFiles = nullptr;
  delete files;
}

bool IsMissingError(win::DWORD AError) {
  return AError == win::ERROR_FILE_NOT_FOUND || AError == win::ERROR_PATH_NOT_FOUND ||
         AError == win::ERROR_INVALID_NAME;
}

bool FileExists(const std::u16string& AFileName) {
  try {
    win::DWORD attributes = win::GetFileAttributesW(AFileName.c_str());
    if (attributes == win::INVALID_FILE_ATTRIBUTES) {
      if (IsMissingError(win::GetLastError())) return false;
      return FoundBySearch(AFileName);
    }
    if ((attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    if ((attributes & win::FILE_ATTRIBUTE_REPARSE_POINT) == 0) return true;
    return ReparsePointOpens(AFileName);
  } catch (...) {
    return false;
  }
}

bool GetModuleVersion(const std::u16string& AFileName, uint32_t& AMajor, uint32_t& AMinor,
                      uint32_t& ABuild) {
  AMajor = 0;
  AMinor = 0;
  ABuild = 0;
  try {
    win::DWORD handle = 0;
    win::DWORD size = win::GetFileVersionInfoSizeW(AFileName.c_str(), &handle);
    if (size == 0) return false;
    std::unique_ptr<uint8_t[]> record(new (std::nothrow) uint8_t[size]);
    if (!record) return false;
    if (!win::GetFileVersionInfoW(AFileName.c_str(), handle, size, record.get())) return false;
    void* fixed = nullptr;
    win::UINT length = 0;
    if (!win::VerQueryValueW(record.get(), u"\\", &fixed, &length) || !fixed) return false;
    const auto* info = static_cast<const win::VS_FIXEDFILEINFO*>(fixed);
    // a.b.c.d reports as a.b with build d: the host shows its version as
    // major.minor.revision.build and gets revision 0 from the caller.
    AMajor = info->dwFileVersionMS >> 16;
    AMinor = info->dwFileVersionMS & 0xFFFF;
    ABuild = info->dwFileVersionLS & 0xFFFF;
    return true;
  } catch (...) {
    AMajor = 0;
    AMinor = 0;
    ABuild = 0;
    return false;
  }
}

#ifdef _WIN32
win::HMODULE HInstance = ModuleOfThisCode();
#else
win::HMODULE HInstance = nullptr;
#endif

std::u16string ThisModuleFileName() {
  try {
    win::HMODULE module = HInstance ? HInstance : ModuleOfThisCode();
    // A null module would name the program instead.
    if (!module) return {};
    char16_t buffer[PathBufferLength + 1] = {};
    win::DWORD length = win::GetModuleFileNameW(module, buffer, PathBufferLength);
    if (length == 0 || length >= PathBufferLength) return {};
    return BufferText(buffer);
  } catch (...) {
    return {};
  }
}

void InitializeSystem() {
  if (!TempFiles) TempFiles = new (std::nothrow) std::vector<std::u16string>();
}

void FinalizeSystem() {
  DeleteTempFiles();
  win::ReleaseServiceResources();
}

std::u16string DecimalText(uint64_t AValue) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), char16_t(u'0' + AValue % 10));
    AValue /= 10;
  } while (AValue != 0);
  return digits;
}

std::u16string ErrorText(win::DWORD ACode) {
  char16_t buffer[512];
  const win::DWORD length = win::SystemErrorText(ACode, buffer, win::DWORD(std::size(buffer)));
  return length > 0 ? std::u16string(buffer, length) : u"error " + DecimalText(ACode);
}
