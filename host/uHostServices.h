// The FAR services the plugin calls, played by the terminal host: the panel is a real
// directory, the editor is the user's own program started after OpenW returns, message
// boxes and menus are prompts on the terminal.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "far/Plugin3.h"

namespace host {

class TPanel;
class TPrompter;

// What the plugin asked of the Editor service: FAR opens the editor and returns at once
// (EF_IMMEDIATERETURN); the host starts the real editor when OpenW has returned.
struct TEditorRequest {
  bool Open = false;
  intptr_t Id = 0;
  std::u16string FileName;
  intptr_t StartLine = -1; // from 1; -1: where the editor likes
  uint64_t Flags = 0;
};

class THostServices {
public:
  // AMessages: the texts of the plugin's language file, by id.
  THostServices(TPanel& APanel, TPrompter& APrompter, std::vector<std::u16string> AMessages,
                std::u16string APluginFileName);
  ~THostServices();
  THostServices(const THostServices&) = delete;
  THostServices& operator=(const THostServices&) = delete;

  const PluginStartupInfo* StartupInfo() const { return &fStartupInfo; }
  TEditorRequest& Editor() { return fEditor; }
  // Whether a message box reported a problem: every box the plugin shows does, but a
  // failure prompt answered with Retry or Overwrite, after which the plugin tries again
  // (and shows the prompt again if that fails too).
  bool ProblemReported() const { return fProblemReported; }
  // What ending the job in the middle of a rename asks of the plugin first (FAR's exit
  // call): it gives back the files it holds under free names, in boxes that are shown,
  // not asked.
  void SetEndJobHook(std::function<void()> AHook) { fEndJobHook = std::move(AHook); }

  // The services, as the static entries of the tables forward them.
  intptr_t Message(uint64_t AFlags, const char16_t* const* AItems, size_t AItemsNumber,
                   intptr_t AButtonsNumber);
  intptr_t Menu(const char16_t* ATitle, const FarMenuItem* AItems, size_t AItemsNumber,
                intptr_t* ABreakCode);
  const char16_t* GetMsg(intptr_t AMsgId) const;
  intptr_t PanelControl(void* APanel, int ACommand, intptr_t AParam1, void* AParam2);
  intptr_t OpenEditor(const char16_t* AFileName, uint64_t AFlags, intptr_t AStartLine);
  intptr_t EditorControl(intptr_t AEditorID, int ACommand, intptr_t AParam1, void* AParam2);
  intptr_t AdvControl(int ACommand, intptr_t AParam1, void* AParam2);
  size_t ConvertPath(int AMode, const char16_t* ASource, char16_t* ADest, size_t ADestSize);
  size_t MkTemp(char16_t* ADest, size_t ADestSize, const char16_t* APrefix);

  static THostServices* Current;

private:
  // Ends the process at once, with the list file deleted first; only where the plugin
  // waits for an answer, so that no move is cut in half.
  [[noreturn]] void EndJob();
  // From here on the plugin's boxes are shown without asking; the plugin is told first.
  void BeginEnding();
  intptr_t GetPanelItem(intptr_t AIndex, FarGetPluginPanelItem* AItem);
  intptr_t GetPanelDirectory(intptr_t ASize, FarPanelDirectory* ADirectory);

  TPanel& fPanel;
  TPrompter& fPrompter;
  std::vector<std::u16string> fMessages;
  std::u16string fPluginFileName;
  TEditorRequest fEditor;
  intptr_t fNextEditorId = 1;
  bool fProblemReported = false;
  std::function<void()> fEndJobHook;
  bool fEnding = false;
  uint32_t fTempCounter = 0;
  PluginStartupInfo fStartupInfo{};
  FarStandardFunctions fFunctions{};
};

} // namespace host
