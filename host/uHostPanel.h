// The active panel of the terminal host: FAR's panel on a real directory, with its
// entries in FAR's default order, and the entry --current names.
#pragma once

#include <string>
#include <vector>

#include "farside/uPanelModel.h"

namespace host {

// A name that the panel leaves out: one that the file system holds in bytes that are not
// UTF-8 (Name then approximate), or one that holds CR or LF, which would break its line in
// the list.
struct TUnlistedName {
  std::u16string Name;
  bool LineBreak = false;
};

// The full form of ADirectory as the panel shows it (no delimiter at its end but at a
// root); false with AError set when it names no directory.
bool PanelDirectory(const std::u16string& ADirectory, std::u16string& AFull, std::string& AError);

// Lists ADirectory into APanel: ".." first where it has a parent, then folders, then
// files, each sorted by name. False with AError set when it is not a readable directory.
bool LoadPanel(TPanelModel& APanel, const std::u16string& ADirectory,
               std::vector<TUnlistedName>& AUnlisted, std::string& AError);

// Puts the cursor on ANAME with nothing selected.
bool SetCurrentName(TPanelModel& APanel, const std::u16string& AName, std::string& AError);
// Entries other than "..".
size_t EntryCount(const TPanelModel& APanel);

} // namespace host
