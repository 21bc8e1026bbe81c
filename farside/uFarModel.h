// FAR's model: the services a plugin calls (PluginStartupInfo and FarStandardFunctions),
// backed by two panels, the editor windows, dialogs, the language texts of the plugin
// and the console's size, with the user behind the TFarUser seam. The terminal host,
// the tests and the benchmark each make one and hand StartupInfo() to the plugin.
//
// One TFarModel exists at a time: the services are plain functions with FAR's calling
// convention that reach it through Current(), so a plugin module may call them too.
// Nothing is thrown back into the plugin.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "far/Plugin3.h"
#include "farside/uEditorWindow.h"
#include "farside/uFarCalls.h"
#include "farside/uFarUser.h"
#include "farside/uPanelModel.h"
#include "system/uWindows.h"

struct TFarDialogItem {
  std::u16string Text;
  intptr_t Checked = 0;
  bool Enabled = true;
};

class TFarModel {
public:
  explicit TFarModel(TFarUser& AUser);
  ~TFarModel();
  TFarModel(const TFarModel&) = delete;
  TFarModel& operator=(const TFarModel&) = delete;

  // The tables to hand to the plugin's SetStartupInfoW.
  const PluginStartupInfo* StartupInfo() const { return &fInfo; }
  PluginStartupInfo& Info() { return fInfo; }
  FarStandardFunctions& FSF() { return fFSF; }
  void SetModuleName(const std::u16string& AName);

  // The plugin's texts by id, as its language file holds them.
  void SetMessages(std::vector<std::u16string> AMessages) { fMessages = std::move(AMessages); }
  const std::vector<std::u16string>& Messages() const { return fMessages; }
  std::u16string Msg(intptr_t AId) const;

  TFarUser& User() { return fUser; }
  // The record of calls and the refusals; none unless set.
  void SetLog(TFarCallLog* ALog) { fLog = ALog; }
  TFarCallLog* Log() const { return fLog; }

  // The panels. PANEL_ACTIVE and PANEL_PASSIVE address them.
  TPanelModel ActivePanel;
  TPanelModel PassivePanel;

  // The editor windows, the last current. A window stays where it is while others open:
  // a plugin may open one from the close event of another.
  std::deque<TEditorWindow> Editors;
  intptr_t CurrentEditorId = -1; // -1: no editor is current
  intptr_t NextEditorId = 1;
  // What the Editor service answers when it opens the file (0 makes it fail to open).
  intptr_t EditorResult = EEC_MODIFIED;
  // Whether the editor's text is FAR's to hold (read at open, served line by line); false
  // where the editor is another program that works on the file itself.
  bool HoldsEditorText = true;
  // How many editors may be open at once; 0: no limit.
  size_t MaxEditors = 0;

  win::SMALL_RECT FarRect{0, 0, 79, 24};
  intptr_t ProgressState = 0;
  std::vector<ProgressValue> ProgressValues;
  // The screens saved and not yet put back, in the order saved (uFarScreen.cpp).
  std::vector<uintptr_t> SavedScreens;
  std::map<uintptr_t, std::vector<TFarDialogItem>> Dialogs;

  // How this machine writes a name in full (ANative: the form without the path length
  // limit); unset, names are taken as they are given. ConvertPath and Editor use it.
  std::function<std::u16string(const std::u16string& AName, bool ANative)> FullPathName;
  // ConvertPath puts this before every path it returns (e.g. u"\\\\?\\" as FAR does).
  std::u16string ConvertPathPrefix;
  // Where MkTemp makes its names; empty: the system's temporary directory.
  std::u16string MkTempDirectory;

  TEditorWindow* FindEditor(intptr_t AId); // -1: the current editor
  TEditorWindow* CurrentEditor() { return FindEditor(-1); }
  // Writes the editor's lines back to its file (in the code page it was read in).
  bool SaveEditor(intptr_t AId);
  // Removes the editor, deleting its file when it was opened with
  // EF_DELETEONLYFILEONCLOSE. Send the plugin EE_CLOSE first, as FAR does.
  bool CloseEditor(intptr_t AId);

  // The one instance (null when none exists).
  static TFarModel* Current() { return fCurrent; }

  // The services.
  intptr_t Menu(const std::u16string& ATitle, const std::u16string& ABottom,
                const std::u16string& AHelpTopic, const FarMenuItem* AItems, size_t AItemsNumber,
                intptr_t* ABreakCode);
  intptr_t Message(uint64_t AFlags, const char16_t* const* AItems, size_t AItemsNumber,
                   intptr_t AButtonsNumber);
  const char16_t* GetMsg(intptr_t AMsgId) const;
  intptr_t PanelControl(void* APanel, int ACommand, intptr_t AParam1, void* AParam2);
  intptr_t Editor(const char16_t* AFileName, const char16_t* ATitle, EDITOR_FLAGS AFlags,
                  intptr_t AStartLine, intptr_t AStartChar, uintptr_t ACodePage);
  intptr_t EditorControl(intptr_t AEditorId, int ACommand, intptr_t AParam1, void* AParam2);
  intptr_t AdvControl(int ACommand, intptr_t AParam1, void* AParam2);
  void DialogFree(void* ADialog);
  intptr_t SendDlgMessage(void* ADialog, intptr_t AMsg, intptr_t AParam1, void* AParam2);
  size_t ConvertPath(int AMode, const char16_t* ASource, char16_t* ADest, size_t ADestSize);
  size_t MkTemp(char16_t* ADest, size_t ADestSize, const char16_t* APrefix);
  char16_t* TruncPathStr(char16_t* AText, intptr_t AMaxLength);
  void* SaveScreen();
  void RestoreScreen(void* AScreen);

private:
  TPanelModel* PanelOf(void* AHandle);
  intptr_t GetPanelInfo(const TPanelModel& APanel, PanelInfo* AInfo);
  intptr_t GetPanelItem(const TPanelModel& APanel, intptr_t AIndex, FarGetPluginPanelItem* AItem);
  intptr_t GetPanelDirectory(const TPanelModel& APanel, intptr_t ASize,
                             FarPanelDirectory* ADirectory);
  intptr_t GetEditorInfo(const TEditorWindow& AEditor, EditorInfo* AInfo);
  intptr_t GetEditorString(const TEditorWindow& AEditor, EditorGetString* ARecord);
  intptr_t SetEditorString(TEditorWindow& AEditor, const EditorSetString* ARecord);
  intptr_t SetEditorPosition(TEditorWindow& AEditor, const EditorSetPosition* ARecord);
  intptr_t SelectInEditor(TEditorWindow& AEditor, const EditorSelect* ARecord);
  intptr_t SetEditorKeyBar(TEditorWindow& AEditor, void* AParam2);
  std::u16string FullName(const std::u16string& AName, bool ANative) const;

  static TFarModel* fCurrent;
  TFarUser& fUser;
  TFarCallLog* fLog = nullptr;
  PluginStartupInfo fInfo{};
  FarStandardFunctions fFSF{};
  std::u16string fModuleName = u"Quorvane";
  std::vector<std::u16string> fMessages;
  unsigned fMkTempSeed = 0;
  unsigned fMkTempCounter = 0;
  uintptr_t fNextScreen = 1;
};
