// The paths of an entry line as the rename engine hands them to the system.
#pragma once

#include <string>

#include "list/uSavedList.h"

struct TEntryPaths {
  std::u16string Source, Destination;
  bool SourceValid = false, DestinationValid = false; // false: the name names no file
};

// The paths of ALine's two names, joined to ADirectory; with AOwnFolder a bare new name is
// joined to the folder that the old name holds. False when the line does not rename (not
// an entry, an empty name) or both of its paths are the same.
bool GetEntryPaths(const TListLine& ALine, const std::u16string& ADirectory, TEntryPaths& APaths,
                   bool AOwnFolder = false);
