// Every Windows service the code calls passes through here on its way to the
// implementation (win::real: the Windows function itself, or the POSIX stand-in).
//
// Built with QUORVANE_FAULTS (the test build of the plugin), each call is counted and a
// chosen window of call numbers fails with an error that the real call could give, so a
// test can fail every call of a rename job in turn. Calls that release something (close,
// free) still release it and then report the failure, as a close that fails to flush does.
// Without QUORVANE_FAULTS this is plain forwarding.
#include "system/uFaults.h"
#include "system/uWindows.h"

#include <cstdio>
#include <cstring>

namespace win {

namespace {

#ifdef QUORVANE_FAULTS
uint32_t CallCount = 0;
uint32_t FirstFailing = 0;
uint32_t FailingCount = 0;
char FailedNames[256];

bool FailCall(const char* AName, DWORD AError) {
  ++CallCount;
  if (CallCount < FirstFailing || CallCount - FirstFailing >= FailingCount) return false;
  const size_t used = strlen(FailedNames);
  snprintf(FailedNames + used, sizeof(FailedNames) - used, "%s%s", used ? " " : "", AName);
  SetLastError(AError);
  return true;
}
#define FailThisCall(AError) FailCall(__func__, AError)

// The clock and the console as a test plays them: each look at the clock moves it on by
// ClockStep, and an Esc waits in the console once EscAfterMoves moves have succeeded.
uint32_t ClockStep = 0; // 0: the real clock and console
DWORD Clock = 0;
uint32_t EscAfterMoves = 0;
uint32_t Moves = 0;
bool EscTaken = false;
#define CountMove(AMoved) (Moves += (AMoved) ? 1 : 0)
#else
#define FailThisCall(AError) false
#define CountMove(AMoved) (void)0
#endif

} // namespace

#ifdef QUORVANE_FAULTS
namespace faults {
void FailCalls(uint32_t AFirst, uint32_t ACount) {
  FailedNames[0] = 0;
  CallCount = 0;
  FirstFailing = AFirst;
  FailingCount = ACount;
}
uint32_t Calls() {
  return CallCount;
}
const char* Failed() {
  return FailedNames;
}
void PlayClockAndConsole(uint32_t AClockStep, uint32_t AEscAfterMoves) {
  ClockStep = AClockStep;
  Clock = 0;
  EscAfterMoves = AEscAfterMoves;
  Moves = 0;
  EscTaken = false;
}
} // namespace faults
#endif

// A service that fails by returning AFailure with the error AError.
#define QUORVANE_CALL(AType, AName, AParams, AArgs, AFailure, AError)                              \
  namespace real {                                                                                 \
  AType AName AParams;                                                                             \
  }                                                                                                \
  AType AName AParams {                                                                            \
    if (FailThisCall(AError)) return AFailure;                                                     \
    return real::AName AArgs;                                                                      \
  }

// A service that releases its argument: released, and then the failure reported.
#define QUORVANE_RELEASE(AName, AParam, AError)                                                    \
  namespace real {                                                                                 \
  BOOL AName(AParam);                                                                              \
  }                                                                                                \
  BOOL AName(AParam AObject) {                                                                     \
    const BOOL result = real::AName(AObject);                                                      \
    return FailThisCall(AError) ? 0 : result;                                                      \
  }

// A service that cannot fail.
#define QUORVANE_FORWARD(AType, AName, AParams, AArgs)                                             \
  namespace real {                                                                                 \
  AType AName AParams;                                                                             \
  }                                                                                                \
  AType AName AParams {                                                                            \
    return real::AName AArgs;                                                                      \
  }

// clang-format off
QUORVANE_CALL(DWORD, GetFileAttributesW, (const char16_t* A), (A),
              INVALID_FILE_ATTRIBUTES, ERROR_ACCESS_DENIED)
QUORVANE_CALL(BOOL, GetFileIdentity, (const char16_t* A, BOOL F, FILE_IDENTITY* I), (A, F, I),
              0, ERROR_ACCESS_DENIED)
QUORVANE_CALL(DWORD, SystemErrorText, (DWORD C, char16_t* B, DWORD N), (C, B, N),
              0, ERROR_GEN_FAILURE)
QUORVANE_CALL(DWORD, GetFinalPathNameW, (const char16_t* A, char16_t* B, DWORD N), (A, B, N),
              0, ERROR_ACCESS_DENIED)
QUORVANE_CALL(HANDLE, FindFirstFileW, (const char16_t* A, WIN32_FIND_DATAW* D), (A, D),
              InvalidHandleValue(), ERROR_ACCESS_DENIED)
QUORVANE_CALL(BOOL, FindNextFileW, (HANDLE H, WIN32_FIND_DATAW* D), (H, D),
              0, ERROR_GEN_FAILURE)
QUORVANE_RELEASE(FindClose, HANDLE, ERROR_INVALID_HANDLE)
QUORVANE_CALL(BOOL, DeleteFileW, (const char16_t* A), (A), 0, ERROR_ACCESS_DENIED)
QUORVANE_CALL(BOOL, CreateDirectoryW, (const char16_t* A, void* S), (A, S),
              0, ERROR_ACCESS_DENIED)
QUORVANE_CALL(BOOL, RemoveDirectoryW, (const char16_t* A), (A), 0, ERROR_ACCESS_DENIED)
QUORVANE_FORWARD(int, lstrcmpiW, (const char16_t* A, const char16_t* B), (A, B))
QUORVANE_FORWARD(int, CompareStringOrdinal,
                 (const char16_t* A, int AN, const char16_t* B, int BN, BOOL I), (A, AN, B, BN, I))
QUORVANE_CALL(DWORD, GetTempPathW, (DWORD N, char16_t* B), (N, B), 0, ERROR_GEN_FAILURE)
QUORVANE_CALL(UINT, GetTempFileNameW,
              (const char16_t* P, const char16_t* X, UINT U, char16_t* N), (P, X, U, N),
              0, ERROR_ACCESS_DENIED)
QUORVANE_CALL(HANDLE, CreateFileW,
              (const char16_t* N, DWORD A, DWORD S, void* X, DWORD C, DWORD F, HANDLE T),
              (N, A, S, X, C, F, T), InvalidHandleValue(), ERROR_SHARING_VIOLATION)
QUORVANE_CALL(BOOL, SetFilePointerEx, (HANDLE H, int64_t D, int64_t* P, DWORD M), (H, D, P, M),
              0, ERROR_GEN_FAILURE)
QUORVANE_CALL(BOOL, GetFileSizeEx, (HANDLE H, int64_t* S), (H, S), 0, ERROR_GEN_FAILURE)
QUORVANE_CALL(BOOL, SetEndOfFile, (HANDLE H), (H), 0, ERROR_DISK_FULL)
QUORVANE_RELEASE(CloseHandle, HANDLE, ERROR_DISK_FULL)
QUORVANE_CALL(int, MultiByteToWideChar,
              (UINT P, DWORD F, const char* S, int SN, char16_t* D, int DN), (P, F, S, SN, D, DN),
              0, ERROR_NO_UNICODE_TRANSLATION)
QUORVANE_CALL(int, WideCharToMultiByte,
              (UINT P, DWORD F, const char16_t* S, int SN, char* D, int DN, const char* C, BOOL* U),
              (P, F, S, SN, D, DN, C, U), 0, ERROR_INVALID_PARAMETER)
QUORVANE_CALL(BOOL, CharToOemBuffA, (const char* S, char* D, DWORD N), (S, D, N),
              0, ERROR_INVALID_PARAMETER)
QUORVANE_FORWARD(UINT, GetACP, (), ())
QUORVANE_FORWARD(UINT, GetOEMCP, (), ())
QUORVANE_CALL(DWORD, GetFileVersionInfoSizeW, (const char16_t* N, DWORD* H), (N, H),
              0, ERROR_RESOURCE_TYPE_NOT_FOUND)
QUORVANE_CALL(BOOL, GetFileVersionInfoW, (const char16_t* N, DWORD H, DWORD L, void* D),
              (N, H, L, D), 0, ERROR_RESOURCE_TYPE_NOT_FOUND)
QUORVANE_CALL(BOOL, VerQueryValueW, (const void* B, const char16_t* S, void** P, UINT* L),
              (B, S, P, L), 0, ERROR_RESOURCE_TYPE_NOT_FOUND)
QUORVANE_CALL(DWORD, GetModuleFileNameW, (HMODULE M, char16_t* N, DWORD S), (M, N, S),
              0, ERROR_NOT_ENOUGH_MEMORY)
QUORVANE_CALL(HMODULE, LoadLibraryW, (const char16_t* N), (N), nullptr, ERROR_MOD_NOT_FOUND)
QUORVANE_FORWARD(const char*, LoadLibraryErrorText, (), ())
QUORVANE_CALL(FARPROC, GetProcAddress, (HMODULE M, const char* N), (M, N),
              nullptr, ERROR_PROC_NOT_FOUND)
QUORVANE_RELEASE(FreeLibrary, HMODULE, ERROR_INVALID_HANDLE)
// clang-format on

namespace real {
BOOL MoveFileW(const char16_t*, const char16_t*);
DWORD GetTickCount();
BOOL TakeConsoleEscape();
} // namespace real

BOOL MoveFileW(const char16_t* AExisting, const char16_t* ANew) {
  if (FailThisCall(ERROR_SHARING_VIOLATION)) return 0;
  const BOOL moved = real::MoveFileW(AExisting, ANew);
  CountMove(moved);
  return moved;
}

DWORD GetTickCount() {
#ifdef QUORVANE_FAULTS
  if (ClockStep != 0) return Clock += ClockStep;
#endif
  return real::GetTickCount();
}

BOOL TakeConsoleEscape() {
  if (FailThisCall(ERROR_INVALID_HANDLE)) return 0;
#ifdef QUORVANE_FAULTS
  if (ClockStep != 0) {
    if (EscTaken || EscAfterMoves == 0 || Moves < EscAfterMoves) return 0;
    EscTaken = true;
    return 1;
  }
#endif
  return real::TakeConsoleEscape();
}

// Those whose failure also clears what they hand back.
namespace real {
BOOL ReadFile(HANDLE, void*, DWORD, DWORD*, void*);
BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*, void*);
BOOL GetModuleHandleExW(DWORD, const char16_t*, HMODULE*);
} // namespace real

BOOL ReadFile(HANDLE AFile, void* ABuffer, DWORD ACount, DWORD* ARead, void* AOverlapped) {
  if (FailThisCall(ERROR_GEN_FAILURE)) {
    if (ARead) *ARead = 0;
    return 0;
  }
  return real::ReadFile(AFile, ABuffer, ACount, ARead, AOverlapped);
}

BOOL WriteFile(HANDLE AFile, const void* ABuffer, DWORD ACount, DWORD* AWritten,
               void* AOverlapped) {
  if (FailThisCall(ERROR_DISK_FULL)) {
    if (AWritten) *AWritten = 0;
    return 0;
  }
  return real::WriteFile(AFile, ABuffer, ACount, AWritten, AOverlapped);
}

BOOL GetModuleHandleExW(DWORD AFlags, const char16_t* AModuleName, HMODULE* AModule) {
  if (FailThisCall(ERROR_MOD_NOT_FOUND)) {
    if (AModule) *AModule = nullptr;
    return 0;
  }
  return real::GetModuleHandleExW(AFlags, AModuleName, AModule);
}

} // namespace win
