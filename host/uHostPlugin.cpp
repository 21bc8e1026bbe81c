#include "uHostPlugin.h"

#include "system/uUtf8.h"
#include "uHostMessages.h"
#include "uHostPlatform.h"

namespace host {

bool TPlugin::Load(const std::u16string& AFileName, std::string& AError) {
  if (!TPluginModule::Load(AFileName)) {
    const std::string reason =
        LoadErrorText().empty() ? SystemErrorText(LoadError()) : LoadErrorText();
    AError = Utf16ToUtf8(Say(htCannotLoadPlugin, {AFileName, Utf8ToUtf16(reason)}));
    return false;
  }
  if (const char* missing = MissingExport()) {
    AError = Utf16ToUtf8(Say(htPluginLacksExport, {AFileName, Utf8ToUtf16(missing)}));
    Unload();
    return false;
  }
  return true;
}

} // namespace host
