#include "uHostPlugin.h"

#include "uHostPlatform.h"
#include "uHostText.h"

namespace host {

namespace {

template <typename T> bool Find(void* AModule, const char* AName, T& AEntry, std::string& AError) {
  AEntry = reinterpret_cast<T>(ModuleSymbol(AModule, AName));
  if (!AEntry && AError.empty()) AError = AName;
  return AEntry != nullptr;
}

} // namespace

bool TPlugin::Load(const std::u16string& AFileName, std::string& AError) {
  Unload();
  std::string reason;
  fModule = LoadModule(AFileName, reason);
  if (!fModule) {
    AError = "cannot load the plugin " + U16ToUtf8(AFileName) + ": " + reason;
    return false;
  }
  std::string missing;
  Find(fModule, "SetStartupInfoW", SetStartupInfoW, missing);
  Find(fModule, "ExitFARW", ExitFARW, missing);
  Find(fModule, "GetGlobalInfoW", GetGlobalInfoW, missing);
  Find(fModule, "GetPluginInfoW", GetPluginInfoW, missing);
  Find(fModule, "OpenW", OpenW, missing);
  Find(fModule, "ProcessEditorEventW", ProcessEditorEventW, missing);
  Find(fModule, "ProcessEditorInputW", ProcessEditorInputW, missing);
  if (!missing.empty()) {
    AError = "the plugin " + U16ToUtf8(AFileName) + " does not export " + missing;
    Unload();
    return false;
  }
  return true;
}

void TPlugin::Unload() {
  if (fModule) UnloadModule(fModule);
  fModule = nullptr;
  SetStartupInfoW = nullptr;
  ExitFARW = nullptr;
  GetGlobalInfoW = nullptr;
  GetPluginInfoW = nullptr;
  OpenW = nullptr;
  ProcessEditorEventW = nullptr;
  ProcessEditorInputW = nullptr;
}

} // namespace host
