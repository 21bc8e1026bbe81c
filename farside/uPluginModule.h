// A FAR plugin module, loaded the way FAR loads it (LoadLibraryW) and its seven exports
// looked up by their plain names. quorvane-run plays FAR with it; the end-to-end tests
// load the built plugin with it.
#pragma once

#include <cstdint>
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

class TPluginModule : public TPluginExports {
public:
  TPluginModule() = default;
  ~TPluginModule() { Unload(); }
  TPluginModule(const TPluginModule&) = delete;
  TPluginModule& operator=(const TPluginModule&) = delete;

  // Loads the module (after unloading any loaded before) and binds the exports it has.
  // False when it cannot be loaded: LoadError() and LoadErrorText() then tell why.
  bool Load(const std::u16string& AFileName);
  // Unloads the module now (the destructor does it otherwise).
  void Unload();

  bool Loaded() const { return fModule != nullptr; }
  // The first of the seven exports that is missing; null when all are there.
  const char* MissingExport() const;
  const TPluginExports& Exports() const { return *this; }
  // Any other export of the module by name; null when it has none.
  void* Procedure(const char* AName) const;

  // Why the last Load failed: the system's error code, and the dynamic loader's own
  // words where it has any (empty otherwise).
  uint32_t LoadError() const { return fLoadError; }
  const std::string& LoadErrorText() const { return fLoadErrorText; }

private:
  void* fModule = nullptr; // a win::HMODULE
  uint32_t fLoadError = 0;
  std::string fLoadErrorText;
};
