#include <dlfcn.h>
#include <stdlib.h>

#include "PluginLoader.h"
#include "support/TestFiles.h"

namespace {
template <typename T> void Bind(void* AModule, const char* AName, T& AField) {
  AField = reinterpret_cast<T>(dlsym(AModule, AName));
}
} // namespace

TLoadedPlugin::TLoadedPlugin(const std::u16string& AFileName) {
  fModule = dlopen(testing_support::ToUtf8(AFileName).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!fModule) {
    const char* error = dlerror();
    fError = error ? error : "dlopen failed";
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
  return fModule ? dlsym(fModule, AName) : nullptr;
}

void TLoadedPlugin::Unload() {
  if (fModule) dlclose(fModule);
  fModule = nullptr;
  fExports = {};
}

std::u16string SetTempDirectoryVariable(const std::u16string& ADirectory) {
  const char* old = getenv("TMPDIR");
  std::u16string previous = old ? testing_support::ToU16(old) : std::u16string();
  if (ADirectory.empty())
    unsetenv("TMPDIR");
  else
    setenv("TMPDIR", testing_support::ToUtf8(ADirectory).c_str(), 1);
  return previous;
}
