// The Windows services that the plugin calls, declared with UTF-16 (char16_t) strings.
//
// Each call passes through uWindowsCalls.cpp (where the test build can make any call
// fail) to its implementation in win::real: on Windows the real function
// (uWindows_win.cpp), elsewhere a POSIX stand-in (uWindows*_posix.cpp) with the Windows
// meaning: the same error codes, MoveFileW never replacing an existing file,
// GetTempFileNameW creating its file exclusively, Windows-1252 as the ANSI and code page
// 437 as the OEM code page. The code above this layer therefore reads like the Windows
// code it is.
#pragma once

#include <cstdint>

namespace win {

using BOOL = int32_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using WORD = uint16_t;
using LONG = int32_t;
using HANDLE = void*;
using HMODULE = void*;
using FARPROC = void (*)();

#ifdef _WIN32
constexpr char16_t PathDelimiter = u'\\';
#else
constexpr char16_t PathDelimiter = u'/';
#endif

constexpr uint32_t MAX_PATH = 260;
inline HANDLE InvalidHandleValue() {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

// Error codes, as GetLastError reports them.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_CALL_NOT_IMPLEMENTED = 120;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

DWORD GetLastError();
void SetLastError(DWORD ACode);

// File attributes and directory search.
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  char16_t cFileName[MAX_PATH];
  char16_t cAlternateFileName[14];
};

DWORD GetFileAttributesW(const char16_t* AFileName);
HANDLE FindFirstFileW(const char16_t* AFileName, WIN32_FIND_DATAW* AData);
BOOL FindNextFileW(HANDLE AFind, WIN32_FIND_DATAW* AData);
BOOL FindClose(HANDLE AFind);

// Not a Windows function: what GetFileInformationByHandle tells of the object a path
// names (its volume and file index), opened with or without following links and reparse
// points. Two paths with the same identity (volume and index) name one object; Links and
// Directory tell whether that object can have other names than the one entry.
struct FILE_IDENTITY {
  uint64_t Volume = 0;
  uint64_t Index = 0;
  uint32_t Links = 0;     // its number of hard links
  uint32_t Directory = 0; // nonzero for a directory
  uint32_t Reparse = 0;   // nonzero for a symbolic link or other reparse point (not followed)
};
// Identities compare by what names the object (its volume and index), not by what else
// was read of it; the order lets a sorted list of identities be searched.
inline bool operator==(const FILE_IDENTITY& A, const FILE_IDENTITY& B) {
  return A.Volume == B.Volume && A.Index == B.Index;
}
inline bool operator!=(const FILE_IDENTITY& A, const FILE_IDENTITY& B) {
  return !(A == B);
}
inline bool operator<(const FILE_IDENTITY& A, const FILE_IDENTITY& B) {
  return A.Volume < B.Volume || (A.Volume == B.Volume && A.Index < B.Index);
}
BOOL GetFileIdentity(const char16_t* APath, BOOL AFollowLinks, FILE_IDENTITY* AIdentity);

// Not a Windows function: the full path of the object APath names, with every link,
// junction and short name on the way resolved, as GetFinalPathNameByHandleW gives it for
// the object opened with backup semantics (a "\\?\" path on Windows; the real path on
// POSIX). Answers its length without the terminating U+0000, or when ALength is too small
// the length needed with it; 0 on failure (ERROR_CALL_NOT_IMPLEMENTED where Windows lacks
// the function).
DWORD GetFinalPathNameW(const char16_t* APath, char16_t* ABuffer, DWORD ALength);

// Moving and deleting. MoveFileW fails with ERROR_ALREADY_EXISTS when the destination
// exists as another entry: it never replaces anything.
BOOL MoveFileW(const char16_t* AExisting, const char16_t* ANew);
BOOL DeleteFileW(const char16_t* AFileName);
BOOL CreateDirectoryW(const char16_t* APath, void* ASecurity);
BOOL RemoveDirectoryW(const char16_t* APath);

// Case-insensitive comparison in the user's locale: <0, 0, >0 like lstrcmpiW.
int lstrcmpiW(const char16_t* A, const char16_t* B);

// Compares two names as the file system tells them apart: code unit by code unit, with
// AIgnoreCase through the system's own upper-case table (not the user's locale). Answers
// CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN. Lengths of -1 take the string up to its
// U+0000.
constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;
int CompareStringOrdinal(const char16_t* A, int ALength, const char16_t* B, int BLength,
                         BOOL AIgnoreCase);

// Not a Windows function: frees what the services keep between calls (the POSIX
// comparison's locale). The system unit calls it at shut-down; nothing on Windows.
void ReleaseServiceResources();

// Temporary directory and names.
DWORD GetTempPathW(DWORD ABufferLength, char16_t* ABuffer);
UINT GetTempFileNameW(const char16_t* APath, const char16_t* APrefix, UINT AUnique,
                      char16_t* ATempFileName);

// File handles.
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;

HANDLE CreateFileW(const char16_t* AFileName, DWORD AAccess, DWORD AShareMode, void* ASecurity,
                   DWORD ACreationDisposition, DWORD AFlags, HANDLE ATemplate);
BOOL ReadFile(HANDLE AFile, void* ABuffer, DWORD ACount, DWORD* ARead, void* AOverlapped);
BOOL WriteFile(HANDLE AFile, const void* ABuffer, DWORD ACount, DWORD* AWritten, void* AOverlapped);
BOOL SetFilePointerEx(HANDLE AFile, int64_t ADistance, int64_t* ANewPosition, DWORD AMethod);
BOOL GetFileSizeEx(HANDLE AFile, int64_t* ASize);
BOOL SetEndOfFile(HANDLE AFile);
BOOL CloseHandle(HANDLE AObject);

// Code pages.
constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;

int MultiByteToWideChar(UINT ACodePage, DWORD AFlags, const char* ASource, int ASourceLength,
                        char16_t* ADest, int ADestLength);
int WideCharToMultiByte(UINT ACodePage, DWORD AFlags, const char16_t* ASource, int ASourceLength,
                        char* ADest, int ADestLength, const char* ADefaultChar,
                        BOOL* AUsedDefaultChar);
BOOL CharToOemBuffA(const char* ASource, char* ADest, DWORD ALength);
// The numbers of the system's ANSI and OEM code pages (1252 and 437 on a Western system).
UINT GetACP();
UINT GetOEMCP();

// Version records.
struct VS_FIXEDFILEINFO {
  DWORD dwSignature;
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
};

DWORD GetFileVersionInfoSizeW(const char16_t* AFileName, DWORD* AHandle);
BOOL GetFileVersionInfoW(const char16_t* AFileName, DWORD AHandle, DWORD ALength, void* AData);
BOOL VerQueryValueW(const void* ABlock, const char16_t* ASubBlock, void** ABuffer, UINT* ALength);
#ifndef _WIN32
// POSIX files carry no Windows resources. A module's version record is instead a
// VS_FIXEDFILEINFO in an ELF section of this name, which the stand-in reads.
constexpr char VersionRecordSection[] = ".win_version";
#endif

// Modules.
DWORD GetModuleFileNameW(HMODULE AModule, char16_t* AFileName, DWORD ASize);
HMODULE LoadLibraryW(const char16_t* AFileName);
FARPROC GetProcAddress(HMODULE AModule, const char* AProcName);
BOOL FreeLibrary(HMODULE AModule);
// Not a Windows function: what the dynamic loader said when the last LoadLibraryW of
// this thread failed (dlerror's text on POSIX); empty where it says nothing beyond
// GetLastError's code, as on Windows.
const char* LoadLibraryErrorText();
// With FROM_ADDRESS, AModuleName is an address inside the module wanted.
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT = 0x2;
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS = 0x4;
BOOL GetModuleHandleExW(DWORD AFlags, const char16_t* AModuleName, HMODULE* AModule);

// The system's own words for the error ACode, in ABuffer of ASize units; answers the
// length written without its U+0000, 0 when there are none (FormatMessageW from the
// system's table on Windows, the errno text of the same error elsewhere).
DWORD SystemErrorText(DWORD ACode, char16_t* ABuffer, DWORD ASize);

// Time and the console, for work that runs long. GetTickCount's milliseconds wrap after
// 49.7 days: compare two of them by their difference, as DWORD.
DWORD GetTickCount();
// Not a Windows function: takes an Esc key press out of the console's input when one is
// waiting there, and puts every other event back, in order (PeekConsoleInputW, then
// ReadConsoleInputW and WriteConsoleInputW). Never waits. False when no Esc is waiting
// or there is no console.
BOOL TakeConsoleEscape();

} // namespace win
