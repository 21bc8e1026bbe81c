// FAR for the tests: FAR's model with a scripted user (MessageAnswers, MenuAnswers, and
// the boxes and menus it was shown), the record of every call and the refusals a test
// can switch on. GetMsg serves the real language files of the source tree.
//
// Files, directories and temporary names are real: editors read and write real files and
// a panel may be filled from a real directory. Only one exists at a time; pass
// StartupInfo() to a plugin module's SetStartupInfoW, or Install() it for the code
// linked into the test.
#pragma once

#include <string>

#include "farside/uFarModel.h"

class TFakeFar : public TScriptedUser, public TFarCallLog, public TFarModel {
public:
  using TService = TFarService;
  using TCall = TFarCall;
  using TEditor = TEditorWindow;
  using TPanel = TPanelModel;
  using TDialogItem = TFarDialogItem;

  TFakeFar();
  ~TFakeFar();

  // Does what SetStartupInfoW does for the code linked into the test: copies the tables
  // into FarAPI and FarFSF (FarAPI.FSF -> &FarFSF). Undone by the destructor.
  void Install();

  // Language: "Eng" (default) or "Rus", read from QUORVANE_SOURCE_DIR/lng.
  bool SetLanguage(const std::string& ASuffix);

private:
  bool fInstalled = false;
};
