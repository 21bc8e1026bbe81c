// Loads the built plugin library the way FAR does and looks up its seven entry points
// by name (TPluginModule), keeping the reason when it cannot be loaded.
#pragma once

#include <string>

#include "farside/uPluginModule.h"

class TLoadedPlugin : public TPluginModule {
public:
  // Loads the library; Error() tells why when it failed.
  explicit TLoadedPlugin(const std::u16string& AFileName);

  // True when all seven entry points were found.
  bool Complete() const { return MissingExport() == nullptr; }
  const std::string& Error() const { return fError; }

private:
  std::string fError;
};

// The built plugin of this configuration in its package folder.
std::u16string BuiltPluginFileName();

// Points the process's temporary directory (TMPDIR; TMP and TEMP on Windows) at
// ADirectory, so that the plugin's temporary files land where a test can watch them.
// Answers the previous value.
std::u16string SetTempDirectoryVariable(const std::u16string& ADirectory);
