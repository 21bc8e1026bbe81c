#include "uHostPlugin.h"

#include "system/uUtf8.h"
#include "uHostPlatform.h"

namespace host {

bool TPlugin::Load(const std::u16string& AFileName, std::string& AError) {
  if (!TPluginModule::Load(AFileName)) {
    const std::string reason =
        LoadErrorText().empty() ? SystemErrorText(LoadError()) : LoadErrorText();
    AError = "cannot load the plugin " + Utf16ToUtf8(AFileName) + ": " + reason;
    return false;
  }
  if (const char* missing = MissingExport()) {
    AError = "the plugin " + Utf16ToUtf8(AFileName) + " does not export " + missing;
    Unload();
    return false;
  }
  return true;
}

} // namespace host
