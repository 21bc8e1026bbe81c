// Loads the built plugin library the way FAR does (LoadLibraryW on Windows, dlopen
// elsewhere) and looks up its seven entry points by name.
#pragma once

#include <string>

#include "far/Plugin3.h"

struct TPluginExports {
  void(FARAPI_CALL* SetStartupInfoW)(const PluginStartupInfo*) = nullptr;
  void(FARAPI_CALL* ExitFARW)(const ExitInfo*) = nullptr;
  void(FARAPI_CALL* GetGlobalInfoW)(GlobalInfo*) = nullptr;
  void(FARAPI_CALL* GetPluginInfoW)(PluginInfo*) = nullptr;
  void*(FARAPI_CALL* OpenW)(const OpenInfo*) = nullptr;
  intptr_t(FARAPI_CALL* ProcessEditorEventW)(const ProcessEditorEventInfo*) = nullptr;
  intptr_t(FARAPI_CALL* ProcessEditorInputW)(const ProcessEditorInputInfo*) = nullptr;
};

class TLoadedPlugin {
public:
  // Loads the library; Error() tells why when it failed.
  explicit TLoadedPlugin(const std::u16string& AFileName);
  ~TLoadedPlugin();
  TLoadedPlugin(const TLoadedPlugin&) = delete;
  TLoadedPlugin& operator=(const TLoadedPlugin&) = delete;

  bool Loaded() const { return fModule != nullptr; }
  // True when all seven entry points were found.
  bool Complete() const;
  const std::string& Error() const { return fError; }
  const TPluginExports& Exports() const { return fExports; }
  // Any exported symbol by name (null when absent).
  void* Symbol(const char* AName) const;
  // Unloads the library now (the destructor does it otherwise).
  void Unload();

private:
  void* fModule = nullptr;
  TPluginExports fExports;
  std::string fError;
};

// The built plugin of this configuration in its package folder.
std::u16string BuiltPluginFileName();

// Points the process's temporary directory (TMPDIR; TMP and TEMP on Windows) at
// ADirectory, so that the plugin's temporary files land where a test can watch them.
// Answers the previous value.
std::u16string SetTempDirectoryVariable(const std::u16string& ADirectory);
