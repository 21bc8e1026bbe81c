// One rename job: the list file written from a panel's selection, the editor that shows
// it, and what happens when that editor closes. Every live job is listed in
// ActiveFileLists, through which the plugin's entry points find the job of an editor.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "far/Plugin3.h"
#include "system/uWindows.h"

class TFarPanelInfo;

class TFileList {
public:
  // Registers the job in ActiveFileLists.
  TFileList();
  // Unregisters the job and deletes its list file.
  ~TFileList();
  TFileList(const TFileList&) = delete;
  TFileList& operator=(const TFileList&) = delete;

  int32_t EditorID() const { return fEditorID; }
  const std::u16string& ListFileName() const { return fListFileName; }
  const std::u16string& SourceDirectory() const { return fSourceDirectory; }

  // The first registered job whose editor id, resp. list file name (exact, case-sensitive)
  // matches.
  static bool FindActiveFileListByEditorID(int32_t AEditorID, TFileList*& AList);
  static bool FindActiveFileListByListFileName(const std::u16string& AListFileName,
                                               TFileList*& AList);

  enum TPanelLoad { plListed, plNothingToList, plNotFilesOnDisk };
  // Writes the list file from the active (or passive) panel: its selected items, or the
  // current item when nothing is selected, by name in the panel's directory. A panel
  // without a directory whose items are absolute paths (FAR's found files) lists them
  // relative to their deepest common folder (never its ".."), which becomes the job's
  // directory. plNotFilesOnDisk for a plugin's panel without real names and for a panel
  // without a directory whose items are not absolute paths. The text stream's errors pass
  // through.
  TPanelLoad LoadFromPanel(bool AActivePanel);
  TPanelLoad LoadFromPanel(const TFarPanelInfo& AInfo);

  // Opens the list file in a non-modal editor and ties that editor to the job, with the
  // cursor on line AStartLine (from 1; 0: the first entry line), reading the file in code
  // page ACodePage.
  bool OpenInEditor(intptr_t AStartLine = 0, uintptr_t ACodePage = ListCodePage);

  // Carries out the saved list: moves every entry whose destination differs from its
  // source, asking the user when a move fails. When the user chose to edit the list again
  // instead, its editor is open again and the job goes on (EditingAgain). (uRenameEngine.cpp)
  bool RenameFiles();
  bool EditingAgain() const { return fEditingAgain; }
  // Ends the rename under way, if any, as if its last line had run: a file that waits
  // under a free name for a later line goes back to its own name or is named in a box.
  // For a host that ends from inside one of the rename's boxes. (uRenameEngine.cpp)
  static void EndRenameUnderWay();

  // The editor commands. (uEditorCommands.cpp)
  bool JumpToDestinationFileName();
  bool SelectDestinationFilenames();
  // AMenuId: the menu's fixed identity, which is the plugin's to give.
  bool ShowEditorMenu(const GUID& AMenuId);

  // True when APath names an existing file or directory; AAttributes receives its
  // attributes (INVALID_FILE_ATTRIBUTES when absent).
  static bool FileExistsWithAttributes(const std::u16string& APath, win::DWORD& AAttributes);

  // The code page in which the list is written.
  static constexpr uintptr_t ListCodePage = 65001;

private:
  // How the editor took the list: opened and tied to the job, refused, or opened without
  // telling its state. No box is shown.
  enum TEditorOpen { eoOpened, eoRefused, eoNoState };
  TEditorOpen OpenEditor(intptr_t AStartLine, uintptr_t ACodePage);
  // Whether item AIndex is listed, and its name in AName.
  using TListedName = std::function<bool(size_t AIndex, std::u16string_view& AName)>;
  // Writes the list file: AHeader, then the listed names of ACount items, padded to the
  // longest.
  void CreateListFile(const std::u16string& AHeader, size_t ACount, const TListedName& AName);
  // The saved list under a new name, open in the editor again at line ALine in the code
  // page it was read in. Refused by the editor, the list stays where it is for the user,
  // and a box names it.
  bool EditAgain(size_t ALine, uintptr_t ACodePage);

  std::u16string fListFileName;
  // The header and the names as the list was written, against which the saved lines are
  // checked: a name costs four bytes.
  std::u16string fHeader;
  std::vector<uint32_t> fWrittenNames;
  bool fEditingAgain = false;
  std::u16string fSourceDirectory;
  int32_t fEditorID = 0;
  // A plugin's panel shows the names it was given until FAR asks it again.
  bool fUpdatePanel = false;
  // Listed from a panel without a directory by paths below the job's directory: a bare
  // new name keeps its file in that file's own folder.
  bool fFoundFiles = false;
};

// The live jobs, in creation order. The list does not own them.
using TActiveFileLists = std::vector<TFileList*>;
extern TActiveFileLists* ActiveFileLists;

void InitializeFileList();
void FinalizeFileList();
