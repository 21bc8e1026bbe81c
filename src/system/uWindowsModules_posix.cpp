// POSIX stand-in: modules. Module handles are dlopen handles.
#include "system/uPosixPath.h"
#include "system/uWindowsPosix.h"

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <link.h>
#include <string>
#include <sys/stat.h>

namespace win::real {

using namespace standin;

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

} // namespace win::real
