// The folders --parents makes so that each destination of a plan has its folder, and
// their removal once the job is done, where nothing went into them.
#pragma once

#include <string>
#include <vector>

#include "uRenamePlan.h"

namespace host {

class TMadeFolders {
public:
  // Makes the missing folders of each destination, from ADirectory down; never one
  // outside ADirectory. AWarnings gets a line for each that cannot be made.
  void Make(const TRenamePlan& APlan, const std::u16string& ADirectory,
            std::vector<std::string>& AWarnings);
  // Removes the folders made that are still empty, the deepest first.
  void RemoveEmpty();

private:
  std::vector<std::u16string> fMade; // each below the one made before it, or beside it
};

} // namespace host
