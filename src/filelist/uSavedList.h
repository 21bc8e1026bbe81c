// Reading the list back when its editor closes: every line of it, before anything is
// renamed, in the encoding that its bytes show.
#pragma once

#include <string>
#include <vector>

// The lines of the list file as last saved. False, after a box that says so, when it
// cannot be read in full: it is gone, a folder or anything else than a file, cannot be
// opened, or a read fails. All of it is read first, so that such a list renames nothing.
bool ReadSavedList(const std::u16string& AFileName, std::vector<std::u16string>& ALines);
