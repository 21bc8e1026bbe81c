// The panel of the files the user named: on the command line or, one a line (or ending
// with NUL), on standard input. Each name is a path below the panel's directory and is
// listed as such, relative to it.
#pragma once

#include <string>
#include <vector>

#include "farside/uPanelModel.h"

namespace host {

// A name that is not listed, and why ("does not exist", ...).
struct TRefusedName {
  std::u16string Name;
  std::string Reason;
};

// The names in ABytes: each ends at NUL with ANullSeparated, else at a line end (CR LF
// too on Windows); empty ones are skipped. Names that are not UTF-8 are refused.
std::vector<std::u16string> SplitNames(const std::string& ABytes, bool ANullSeparated,
                                       std::vector<TRefusedName>& ARefused);

// Fills APanel with ADirectory and the entries ANames name, each once, by name with the
// folders first, all selected. A name is taken below ADirectory, or else from the current
// directory as long as that leads below ADirectory; "./" at its start is dropped. Refused:
// a name that holds a line break, leads outside ADirectory (".." included) or to it,
// or does not exist. False with AError set when ADirectory is no directory or no name is
// left.
bool LoadNamedEntries(TPanelModel& APanel, const std::u16string& ADirectory,
                      const std::vector<std::u16string>& ANames,
                      std::vector<TRefusedName>& ARefused, std::string& AError);

// Whether every one of ANames names an entry below ADirectory as LoadNamedEntries takes
// it, whether or not the list can carry its name.
bool AreNamesBelow(const std::u16string& ADirectory, const std::vector<std::u16string>& ANames);

} // namespace host
