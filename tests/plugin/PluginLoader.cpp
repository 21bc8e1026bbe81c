#include "PluginLoader.h"

#include "support/TestFiles.h"

bool TLoadedPlugin::Complete() const {
  return fExports.SetStartupInfoW && fExports.ExitFARW && fExports.GetGlobalInfoW &&
         fExports.GetPluginInfoW && fExports.OpenW && fExports.ProcessEditorEventW &&
         fExports.ProcessEditorInputW;
}

std::u16string BuiltPluginFileName() {
#ifdef _WIN32
  return testing_support::ToU16(QUORVANE_PLUGIN_DIR) + u"\\Quorvane.dll";
#else
  return testing_support::ToU16(QUORVANE_PLUGIN_DIR) + u"/Quorvane.so";
#endif
}
