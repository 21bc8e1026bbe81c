// On Windows the services forward to the real functions. char16_t and wchar_t are both
// 16-bit UTF-16 code units here, so strings pass through unchanged.
#include "system/uWindows.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

static_assert(sizeof(wchar_t) == sizeof(char16_t));
static_assert(sizeof(win::WIN32_FIND_DATAW) == sizeof(::WIN32_FIND_DATAW));
static_assert(sizeof(win::VS_FIXEDFILEINFO) == sizeof(::VS_FIXEDFILEINFO));

namespace {
LPCWSTR W(const char16_t* s) {
  return reinterpret_cast<LPCWSTR>(s);
}
LPWSTR W(char16_t* s) {
  return reinterpret_cast<LPWSTR>(s);
}
} // namespace

namespace win {

DWORD GetLastError() {
  return ::GetLastError();
}
void SetLastError(DWORD ACode) {
  ::SetLastError(ACode);
}

void ReleaseServiceResources() {}

} // namespace win

namespace win::real {

DWORD GetFileAttributesW(const char16_t* AFileName) {
  return ::GetFileAttributesW(W(AFileName));
}

HANDLE FindFirstFileW(const char16_t* AFileName, WIN32_FIND_DATAW* AData) {
  return ::FindFirstFileW(W(AFileName), reinterpret_cast<::WIN32_FIND_DATAW*>(AData));
}

BOOL FindNextFileW(HANDLE AFind, WIN32_FIND_DATAW* AData) {
  return ::FindNextFileW(AFind, reinterpret_cast<::WIN32_FIND_DATAW*>(AData));
}

BOOL FindClose(HANDLE AFind) {
  return ::FindClose(AFind);
}

BOOL GetFileIdentity(const char16_t* APath, BOOL AFollowLinks, FILE_IDENTITY* AIdentity) {
  const DWORD flags =
      FILE_FLAG_BACKUP_SEMANTICS | (AFollowLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  HANDLE h = ::CreateFileW(W(APath), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info;
  const BOOL ok = ::GetFileInformationByHandle(h, &info);
  const DWORD error = ::GetLastError();
  ::CloseHandle(h);
  if (!ok) {
    ::SetLastError(error);
    return 0;
  }
  AIdentity->Volume = info.dwVolumeSerialNumber;
  AIdentity->Index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  AIdentity->Links = info.nNumberOfLinks;
  AIdentity->Directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  AIdentity->Reparse = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return 1;
}

DWORD SystemErrorText(DWORD ACode, char16_t* ABuffer, DWORD ASize) {
  DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, ACode, 0, W(ABuffer), ASize, nullptr);
  // The text ends in a line break, which a box would show as a line of its own.
  while (length > 0 && (ABuffer[length - 1] == u'\r' || ABuffer[length - 1] == u'\n' ||
                        ABuffer[length - 1] == u' '))
    ABuffer[--length] = 0;
  return length;
}

DWORD GetFinalPathNameW(const char16_t* APath, char16_t* ABuffer, DWORD ALength) {
  // Looked up rather than imported: Windows XP lacks it.
  using TGetFinal = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  static const TGetFinal getFinal = reinterpret_cast<TGetFinal>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
  if (!getFinal) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
  }
  // No access asked: the name alone is read, so a file that others hold open still tells.
  HANDLE h = ::CreateFileW(W(APath), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  const DWORD length = getFinal(h, W(ABuffer), ALength, 0); // normalized, with its drive
  const DWORD error = ::GetLastError();
  ::CloseHandle(h);
  ::SetLastError(error);
  return length;
}

BOOL MoveFileW(const char16_t* AExisting, const char16_t* ANew) {
  return ::MoveFileW(W(AExisting), W(ANew));
}

BOOL DeleteFileW(const char16_t* AFileName) {
  return ::DeleteFileW(W(AFileName));
}

BOOL CreateDirectoryW(const char16_t* APath, void* ASecurity) {
  return ::CreateDirectoryW(W(APath), static_cast<LPSECURITY_ATTRIBUTES>(ASecurity));
}

BOOL RemoveDirectoryW(const char16_t* APath) {
  return ::RemoveDirectoryW(W(APath));
}

int lstrcmpiW(const char16_t* A, const char16_t* B) {
  return ::lstrcmpiW(W(A), W(B));
}

int CompareStringOrdinal(const char16_t* A, int ALength, const char16_t* B, int BLength,
                         BOOL AIgnoreCase) {
  // Looked up rather than imported: Windows XP lacks it, and there the user's locale is
  // the nearest thing it offers.
  using TCompare = int(WINAPI*)(LPCWCH, int, LPCWCH, int, BOOL);
  static const TCompare compare = reinterpret_cast<TCompare>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CompareStringOrdinal")));
  if (compare) return compare(W(A), ALength, W(B), BLength, AIgnoreCase);
  const std::wstring a(W(A), ALength < 0 ? wcslen(W(A)) : size_t(ALength));
  const std::wstring b(W(B), BLength < 0 ? wcslen(W(B)) : size_t(BLength));
  const int order = AIgnoreCase ? ::lstrcmpiW(a.c_str(), b.c_str()) : a.compare(b);
  return order < 0 ? CSTR_LESS_THAN : order > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}

DWORD GetTempPathW(DWORD ABufferLength, char16_t* ABuffer) {
  return ::GetTempPathW(ABufferLength, W(ABuffer));
}

UINT GetTempFileNameW(const char16_t* APath, const char16_t* APrefix, UINT AUnique,
                      char16_t* ATempFileName) {
  return ::GetTempFileNameW(W(APath), W(APrefix), AUnique, W(ATempFileName));
}

HANDLE CreateFileW(const char16_t* AFileName, DWORD AAccess, DWORD AShareMode, void* ASecurity,
                   DWORD ACreationDisposition, DWORD AFlags, HANDLE ATemplate) {
  return ::CreateFileW(W(AFileName), AAccess, AShareMode,
                       static_cast<LPSECURITY_ATTRIBUTES>(ASecurity), ACreationDisposition, AFlags,
                       ATemplate);
}

BOOL ReadFile(HANDLE AFile, void* ABuffer, DWORD ACount, DWORD* ARead, void* AOverlapped) {
  return ::ReadFile(AFile, ABuffer, ACount, reinterpret_cast<LPDWORD>(ARead),
                    static_cast<LPOVERLAPPED>(AOverlapped));
}

BOOL WriteFile(HANDLE AFile, const void* ABuffer, DWORD ACount, DWORD* AWritten,
               void* AOverlapped) {
  return ::WriteFile(AFile, ABuffer, ACount, reinterpret_cast<LPDWORD>(AWritten),
                     static_cast<LPOVERLAPPED>(AOverlapped));
}

BOOL SetFilePointerEx(HANDLE AFile, int64_t ADistance, int64_t* ANewPosition, DWORD AMethod) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = ADistance;
  BOOL ok = ::SetFilePointerEx(AFile, distance, &result, AMethod);
  if (ok && ANewPosition) *ANewPosition = result.QuadPart;
  return ok;
}

BOOL GetFileSizeEx(HANDLE AFile, int64_t* ASize) {
  LARGE_INTEGER size;
  BOOL ok = ::GetFileSizeEx(AFile, &size);
  if (ok) *ASize = size.QuadPart;
  return ok;
}

BOOL SetEndOfFile(HANDLE AFile) {
  return ::SetEndOfFile(AFile);
}
BOOL CloseHandle(HANDLE AObject) {
  return ::CloseHandle(AObject);
}

int MultiByteToWideChar(UINT ACodePage, DWORD AFlags, const char* ASource, int ASourceLength,
                        char16_t* ADest, int ADestLength) {
  return ::MultiByteToWideChar(ACodePage, AFlags, ASource, ASourceLength, W(ADest), ADestLength);
}

int WideCharToMultiByte(UINT ACodePage, DWORD AFlags, const char16_t* ASource, int ASourceLength,
                        char* ADest, int ADestLength, const char* ADefaultChar,
                        BOOL* AUsedDefaultChar) {
  return ::WideCharToMultiByte(ACodePage, AFlags, W(ASource), ASourceLength, ADest, ADestLength,
                               ADefaultChar, reinterpret_cast<LPBOOL>(AUsedDefaultChar));
}

BOOL CharToOemBuffA(const char* ASource, char* ADest, DWORD ALength) {
  return ::CharToOemBuffA(ASource, ADest, ALength);
}
UINT GetACP() {
  return ::GetACP();
}
UINT GetOEMCP() {
  return ::GetOEMCP();
}

DWORD GetFileVersionInfoSizeW(const char16_t* AFileName, DWORD* AHandle) {
  return ::GetFileVersionInfoSizeW(W(AFileName), reinterpret_cast<LPDWORD>(AHandle));
}

BOOL GetFileVersionInfoW(const char16_t* AFileName, DWORD AHandle, DWORD ALength, void* AData) {
  return ::GetFileVersionInfoW(W(AFileName), AHandle, ALength, AData);
}

BOOL VerQueryValueW(const void* ABlock, const char16_t* ASubBlock, void** ABuffer, UINT* ALength) {
  return ::VerQueryValueW(ABlock, W(ASubBlock), ABuffer, ALength);
}

DWORD GetModuleFileNameW(HMODULE AModule, char16_t* AFileName, DWORD ASize) {
  return ::GetModuleFileNameW(static_cast<::HMODULE>(AModule), W(AFileName), ASize);
}

HMODULE LoadLibraryW(const char16_t* AFileName) {
  return ::LoadLibraryW(W(AFileName));
}

FARPROC GetProcAddress(HMODULE AModule, const char* AProcName) {
  return reinterpret_cast<FARPROC>(
      reinterpret_cast<void*>(::GetProcAddress(static_cast<::HMODULE>(AModule), AProcName)));
}

BOOL FreeLibrary(HMODULE AModule) {
  return ::FreeLibrary(static_cast<::HMODULE>(AModule));
}

// Windows tells why a module did not load by the error code alone.
const char* LoadLibraryErrorText() {
  return "";
}

BOOL GetModuleHandleExW(DWORD AFlags, const char16_t* AModuleName, HMODULE* AModule) {
  ::HMODULE module = nullptr;
  BOOL ok = ::GetModuleHandleExW(AFlags, W(AModuleName), &module);
  if (AModule) *AModule = module;
  return ok;
}

DWORD GetTickCount() {
  return ::GetTickCount();
}

BOOL TakeConsoleEscape() try {
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  // Every event waiting: the Esc that stands for Ctrl+C comes after all that came before it.
  ::DWORD count = 0;
  if (!::GetNumberOfConsoleInputEvents(input, &count) || count == 0) return 0;
  std::vector<::INPUT_RECORD> records(count);
  if (!::PeekConsoleInputW(input, records.data(), count, &count) || count == 0) return 0;
  const auto isEscape = [](const ::INPUT_RECORD& ARecord) {
    return ARecord.EventType == KEY_EVENT && ARecord.Event.KeyEvent.bKeyDown &&
           ARecord.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE;
  };
  ::DWORD escape = 0;
  while (escape < count && !isEscape(records[escape]))
    ++escape;
  if (escape == count) return 0;
  // The events peeked are taken out, and all but the Esc written back behind what came
  // in meanwhile: the keys typed around it stay for their owner.
  ::DWORD read = 0;
  if (!::ReadConsoleInputW(input, records.data(), count, &read)) return 0;
  ::DWORD kept = 0;
  for (::DWORD i = 0; i < read; ++i)
    if (i != escape) records[kept++] = records[i];
  ::DWORD written = 0;
  if (kept != 0) ::WriteConsoleInputW(input, records.data(), kept, &written);
  return 1;
} catch (...) {
  return 0; // no memory for the events: no Esc seen this time
}

} // namespace win::real
