#include <windows.h>

#include "PluginLoader.h"

namespace {
template <typename T> void Bind(void* AModule, const char* AName, T& AField) {
  AField = reinterpret_cast<T>(
      reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(AModule), AName)));
}
} // namespace

TLoadedPlugin::TLoadedPlugin(const std::u16string& AFileName) {
  fModule = ::LoadLibraryW(reinterpret_cast<LPCWSTR>(AFileName.c_str()));
  if (!fModule) {
    fError = "LoadLibraryW failed with error " + std::to_string(::GetLastError());
    return;
  }
  Bind(fModule, "SetStartupInfoW", fExports.SetStartupInfoW);
  Bind(fModule, "ExitFARW", fExports.ExitFARW);
  Bind(fModule, "GetGlobalInfoW", fExports.GetGlobalInfoW);
  Bind(fModule, "GetPluginInfoW", fExports.GetPluginInfoW);
  Bind(fModule, "OpenW", fExports.OpenW);
  Bind(fModule, "ProcessEditorEventW", fExports.ProcessEditorEventW);
  Bind(fModule, "ProcessEditorInputW", fExports.ProcessEditorInputW);
}

TLoadedPlugin::~TLoadedPlugin() {
  Unload();
}

void* TLoadedPlugin::Symbol(const char* AName) const {
  return fModule ? reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(fModule), AName))
                 : nullptr;
}

void TLoadedPlugin::Unload() {
  if (fModule) ::FreeLibrary(static_cast<HMODULE>(fModule));
  fModule = nullptr;
  fExports = {};
}

std::u16string SetTempDirectoryVariable(const std::u16string& ADirectory) {
  wchar_t buffer[32768];
  const DWORD n = ::GetEnvironmentVariableW(L"TMP", buffer, 32768);
  std::u16string previous(reinterpret_cast<const char16_t*>(buffer), n < 32768 ? n : 0);
  const wchar_t* value =
      ADirectory.empty() ? nullptr : reinterpret_cast<const wchar_t*>(ADirectory.c_str());
  ::SetEnvironmentVariableW(L"TMP", value);
  ::SetEnvironmentVariableW(L"TEMP", value);
  return previous;
}
