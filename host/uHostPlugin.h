// The plugin module and its seven exports, looked up by their plain names as FAR does.
#pragma once

#include <string>

#include "far/Plugin3.h"

namespace host {

class TPlugin {
public:
  using TSetStartupInfoW = void(FARAPI_CALL*)(const PluginStartupInfo*);
  using TExitFARW = void(FARAPI_CALL*)(const ExitInfo*);
  using TGetGlobalInfoW = void(FARAPI_CALL*)(GlobalInfo*);
  using TGetPluginInfoW = void(FARAPI_CALL*)(PluginInfo*);
  using TOpenW = void*(FARAPI_CALL*)(const OpenInfo*);
  using TProcessEditorEventW = intptr_t(FARAPI_CALL*)(const ProcessEditorEventInfo*);
  using TProcessEditorInputW = intptr_t(FARAPI_CALL*)(const ProcessEditorInputInfo*);

  TPlugin() = default;
  ~TPlugin() { Unload(); }
  TPlugin(const TPlugin&) = delete;
  TPlugin& operator=(const TPlugin&) = delete;

  // Loads the module and finds every export; false with AError set otherwise.
  bool Load(const std::u16string& AFileName, std::string& AError);
  void Unload();

  TSetStartupInfoW SetStartupInfoW = nullptr;
  TExitFARW ExitFARW = nullptr;
  TGetGlobalInfoW GetGlobalInfoW = nullptr;
  TGetPluginInfoW GetPluginInfoW = nullptr;
  TOpenW OpenW = nullptr;
  TProcessEditorEventW ProcessEditorEventW = nullptr;
  TProcessEditorInputW ProcessEditorInputW = nullptr;

private:
  void* fModule = nullptr;
};

} // namespace host
