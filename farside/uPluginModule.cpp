#include "farside/uPluginModule.h"

#include "system/uWindows.h"

namespace {

template <typename T> void Bind(win::HMODULE AModule, const char* AName, T& AEntry) {
  AEntry = reinterpret_cast<T>(win::GetProcAddress(AModule, AName));
}

} // namespace

bool TPluginModule::Load(const std::u16string& AFileName) {
  Unload();
  fModule = win::LoadLibraryW(AFileName.c_str());
  if (!fModule) {
    fLoadError = win::GetLastError();
    fLoadErrorText = win::LoadLibraryErrorText();
    return false;
  }
  fLoadError = win::ERROR_SUCCESS;
  fLoadErrorText.clear();
  Bind(fModule, "SetStartupInfoW", SetStartupInfoW);
  Bind(fModule, "ExitFARW", ExitFARW);
  Bind(fModule, "GetGlobalInfoW", GetGlobalInfoW);
  Bind(fModule, "GetPluginInfoW", GetPluginInfoW);
  Bind(fModule, "OpenW", OpenW);
  Bind(fModule, "ProcessEditorEventW", ProcessEditorEventW);
  Bind(fModule, "ProcessEditorInputW", ProcessEditorInputW);
  return true;
}

void TPluginModule::Unload() {
  if (fModule) win::FreeLibrary(fModule);
  fModule = nullptr;
  static_cast<TPluginExports&>(*this) = TPluginExports();
}

const char* TPluginModule::MissingExport() const {
  if (!SetStartupInfoW) return "SetStartupInfoW";
  if (!ExitFARW) return "ExitFARW";
  if (!GetGlobalInfoW) return "GetGlobalInfoW";
  if (!GetPluginInfoW) return "GetPluginInfoW";
  if (!OpenW) return "OpenW";
  if (!ProcessEditorEventW) return "ProcessEditorEventW";
  if (!ProcessEditorInputW) return "ProcessEditorInputW";
  return nullptr;
}

void* TPluginModule::Procedure(const char* AName) const {
  if (!fModule) return nullptr;
  return reinterpret_cast<void*>(win::GetProcAddress(fModule, AName));
}
