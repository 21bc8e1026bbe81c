// The active panel of the terminal host: FAR's panel on a real directory, with its
// entries in FAR's default order, and the entry --current names.
#pragma once

#include <string>
#include <vector>

#include "farside/uPanelModel.h"

namespace host {

// A name that the panel leaves out: one that the file system holds in bytes that are not
// UTF-8 (Name then approximate), or one that the list cannot carry (ListCannotCarry).
struct TUnlistedName {
  std::u16string Name;
  std::string Why;
};

// Why the list cannot carry AName, or null when it can: CR or LF would break its line, and
// a double quote would end the name early (the list's names have no escape).
std::string ListCannotCarry(const std::u16string& AName);

// The full form of ADirectory as the panel shows it (no delimiter at its end but at a
// root); false with AError set when it names no directory.
bool PanelDirectory(const std::u16string& ADirectory, std::u16string& AFull, std::string& AError);

// Whether APath is, links resolved, ADirectory or below it; for a path not made yet, its
// deepest part that exists. True where the real paths cannot be told.
bool RealPathBelow(const std::u16string& APath, const std::u16string& ADirectory);

// Lists ADirectory into APanel: ".." first where it has a parent, then folders, then
// files, each sorted by name. False with AError
// set when it is not a readable directory.
bool LoadPanel(TPanelModel& APanel, const std::u16string& ADirectory,
               std::vector<TUnlistedName>& AUnlisted, std::string& AError);

// Puts the cursor on ANAME with nothing selected.
bool SetCurrentName(TPanelModel& APanel, const std::u16string& AName, std::string& AError);
// Entries other than "..".
size_t EntryCount(const TPanelModel& APanel);

} // namespace host
