#include "uHostPlugin.h"

#include "uHostPlatform.h"
#include "uHostText.h"

namespace host {

bool TPlugin::Load(const std::u16string& AFileName, std::string& AError) {
  if (!TPluginModule::Load(AFileName)) {
    const std::string reason =
        LoadErrorText().empty() ? SystemErrorText(LoadError()) : LoadErrorText();
    AError = "cannot load the plugin " + U16ToUtf8(AFileName) + ": " + reason;
    return false;
  }
  if (const char* missing = MissingExport()) {
    AError = "the plugin " + U16ToUtf8(AFileName) + " does not export " + missing;
    Unload();
    return false;
  }
  return true;
}

} // namespace host
