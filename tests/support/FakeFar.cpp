#include "FakeFar.h"

#include "far/uFarHost.h"
#include "farside/uLngFile.h"

TFakeFar::TFakeFar() : TFarModel(static_cast<TScriptedUser&>(*this)) {
  SetLog(this);
  SetLanguage("Eng");
}

TFakeFar::~TFakeFar() {
  if (fInstalled) {
    FarAPI = PluginStartupInfo{};
    FarFSF = FarStandardFunctions{};
  }
}

void TFakeFar::Install() {
  FarAPI = *StartupInfo();
  FarFSF = FSF();
  FarAPI.FSF = &FarFSF;
  fInstalled = true;
}

bool TFakeFar::SetLanguage(const std::string& ASuffix) {
  TLngFile file;
  const bool ok =
      LoadLngFile(std::string(QUORVANE_SOURCE_DIR) + "/lng/Quorvane" + ASuffix + ".lng", file);
  SetMessages(file.Messages);
  return ok && file.Errors.empty();
}
