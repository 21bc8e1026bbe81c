// The folders --parents makes so that a destination has its folder, each made right before
// the move that needs it, and their removal once the job is done, where nothing went
// into them.
#pragma once

#include <string>
#include <vector>

#include "uRenamePlan.h"

namespace host {

class TMadeFolders {
public:
  // Makes the missing folders of ADestination, from ADirectory down: never one outside
  // ADirectory, nor one that a line of APlan makes by its move. Answers whether it made
  // one; AWarnings gets a line for each that cannot be made.
  bool MakeFor(const std::u16string& ADestination, const TRenamePlan& APlan,
               const std::u16string& ADirectory, std::vector<std::string>& AWarnings);
  // Removes the folders made that are still empty, the deepest first.
  void RemoveEmpty();

private:
  std::vector<std::u16string> fMade; // each below the one made before it, or beside it
};

} // namespace host
