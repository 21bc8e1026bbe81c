// Looks up the optional kernel32 entry points by name. Other systems have no kernel32: no
// library is loaded there, since a Windows name would be searched for along the loader's
// paths and could load whatever stands there under it, and every entry point stays null.
#include "system/uCompatibility.h"

win::HMODULE Kernel32Handle = nullptr;

TGetFileInformationByHandleEx pGetFileInformationByHandleEx = nullptr;
TGetVolumePathNameA pGetVolumePathNameA = nullptr;
TGetVolumePathNameW pGetVolumePathNameW = nullptr;
TGetVolumePathNameW pGetVolumePathName = nullptr;
TIsWow64Process pIsWow64Process = nullptr;
TWow64DisableWow64FsRedirection pWow64DisableWow64FsRedirection = nullptr;
TWow64RevertWow64FsRedirection pWow64RevertWow64FsRedirection = nullptr;

#ifdef _WIN32
namespace {

// Null when the library is not loaded or does not export AName.
template <typename T> T Lookup(const char* AName) {
  if (!Kernel32Handle) return nullptr;
  return reinterpret_cast<T>(win::GetProcAddress(Kernel32Handle, AName));
}

} // namespace
#endif

void InitializeCompatibility() {
#ifdef _WIN32
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
#endif
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
