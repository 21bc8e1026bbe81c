#include "PluginLoader.h"

#include "support/TestFiles.h"

TLoadedPlugin::TLoadedPlugin(const std::u16string& AFileName) {
  if (Load(AFileName)) return;
  fError = LoadErrorText().empty() ? "LoadLibraryW failed with error " + std::to_string(LoadError())
                                   : LoadErrorText();
}

std::u16string BuiltPluginFileName() {
#ifdef _WIN32
  return Utf8ToUtf16(QUORVANE_PLUGIN_DIR) + u"\\Quorvane.dll";
#else
  return Utf8ToUtf16(QUORVANE_PLUGIN_DIR) + u"/Quorvane.so";
#endif
}
