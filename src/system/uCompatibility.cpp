// Looks up the optional kernel32 entry points by name. On other systems kernel32 does not
// load, so every entry point stays null.
#include "system/uCompatibility.h"

win::HMODULE Kernel32Handle = nullptr;

TGetFileInformationByHandleEx pGetFileInformationByHandleEx = nullptr;
TGetVolumePathNameA pGetVolumePathNameA = nullptr;
TGetVolumePathNameW pGetVolumePathNameW = nullptr;
TGetVolumePathNameW pGetVolumePathName = nullptr;
TIsWow64Process pIsWow64Process = nullptr;
TWow64DisableWow64FsRedirection pWow64DisableWow64FsRedirection = nullptr;
TWow64RevertWow64FsRedirection pWow64RevertWow64FsRedirection = nullptr;

namespace {

// Null when the library is not loaded or does not export AName.
template <typename T> T Lookup(const char* AName) {
  if (!Kernel32Handle) return nullptr;
  return reinterpret_cast<T>(win::GetProcAddress(Kernel32Handle, AName));
}

} // namespace

void InitializeCompatibility() {
  Kernel32Handle = win::LoadLibraryW(u"kernel32.dll");

  pGetFileInformationByHandleEx =
      Lookup<TGetFileInformationByHandleEx>("GetFileInformationByHandleEx");
  pGetVolumePathNameA = Lookup<TGetVolumePathNameA>("GetVolumePathNameA");
  pGetVolumePathNameW = Lookup<TGetVolumePathNameW>("GetVolumePathNameW");
  pGetVolumePathName = pGetVolumePathNameW;

  pIsWow64Process = Lookup<TIsWow64Process>("IsWow64Process");
  pWow64DisableWow64FsRedirection =
      Lookup<TWow64DisableWow64FsRedirection>("Wow64DisableWow64FsRedirection");
  pWow64RevertWow64FsRedirection =
      Lookup<TWow64RevertWow64FsRedirection>("Wow64RevertWow64FsRedirection");
}

void FinalizeCompatibility() {
  // Called even without a handle; a failure here has no one to report to.
  win::FreeLibrary(Kernel32Handle);
  Kernel32Handle = nullptr;

  pGetFileInformationByHandleEx = nullptr;
  pGetVolumePathNameA = nullptr;
  pGetVolumePathNameW = nullptr;
  pGetVolumePathName = nullptr;

  pIsWow64Process = nullptr;
  pWow64DisableWow64FsRedirection = nullptr;
  pWow64RevertWow64FsRedirection = nullptr;
}
