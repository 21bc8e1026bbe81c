// Entry points of kernel32 that older Windows versions lack, looked up at start-up.
// Each is null when the library or the export is missing, and after shut-down.
#pragma once

#include "system/uWindows.h"

#if defined(_WIN32) && defined(__i386__)
#define COMPAT_WINAPI __stdcall
#else
#define COMPAT_WINAPI
#endif

using TGetFileInformationByHandleEx = win::BOOL(COMPAT_WINAPI*)(win::HANDLE AFile,
                                                                int32_t AInformationClass,
                                                                void* AInformation,
                                                                win::DWORD ABufferSize);
using TGetVolumePathNameA = win::BOOL(COMPAT_WINAPI*)(const char* AFileName, char* AVolumePath,
                                                      win::DWORD ABufferLength);
using TGetVolumePathNameW = win::BOOL(COMPAT_WINAPI*)(const char16_t* AFileName,
                                                      char16_t* AVolumePath,
                                                      win::DWORD ABufferLength);
using TIsWow64Process = win::BOOL(COMPAT_WINAPI*)(win::HANDLE AProcess, win::BOOL* AWow64Process);
using TWow64DisableWow64FsRedirection = win::BOOL(COMPAT_WINAPI*)(void** AOldValue);
using TWow64RevertWow64FsRedirection = win::BOOL(COMPAT_WINAPI*)(void* AOldValue);

extern win::HMODULE Kernel32Handle;

extern TGetFileInformationByHandleEx pGetFileInformationByHandleEx;
extern TGetVolumePathNameA pGetVolumePathNameA;
extern TGetVolumePathNameW pGetVolumePathNameW;
// The generic form: always the same value as pGetVolumePathNameW.
extern TGetVolumePathNameW pGetVolumePathName;
extern TIsWow64Process pIsWow64Process;
extern TWow64DisableWow64FsRedirection pWow64DisableWow64FsRedirection;
extern TWow64RevertWow64FsRedirection pWow64RevertWow64FsRedirection;

void InitializeCompatibility();
void FinalizeCompatibility();
