// The folders --parents makes so that a new name has its folder, each made right before
// the move that needs it, known by what they are (volume and index) so that only a folder
// made for the job, still empty, is removed once the job is done.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "list/uPathNames.h"
#include "system/uWindows.h"
#include "uJobRecord.h"

namespace host {

class TMadeFolders {
public:
  // Folders are made only below ADirectory (full, ending in its delimiter).
  explicit TMadeFolders(const std::u16string& ADirectory) : fDirectory(ADirectory) {}

  // Makes the missing folders of ADestination, from the directory down, never one whose
  // parent leads outside it. Answers whether it made one; AWarnings gets a line for each
  // that cannot be made.
  bool MakeFor(const std::u16string& ADestination, std::vector<std::u16string>& AWarnings);
  // A line moved AFrom to ATo: a folder made at or below AFrom is now below ATo.
  void Moved(const std::u16string& AFrom, const std::u16string& ATo);
  // Removes the folders made that are still those folders, where they are, and empty, the
  // deepest first. AStayed (when given) gets those that stay, the deepest first, each under
  // the path it was made at.
  void RemoveEmpty(std::vector<TRecordedFolder>* AStayed = nullptr);

private:
  struct TMade {
    std::u16string Path;
    win::FILE_IDENTITY Identity;
    std::u16string MadeAt;
  };
  std::u16string fDirectory;
  std::vector<TMade> fMade;                   // each below the one made before it, or beside it
  std::set<std::u16string, TPathLess> fAbove; // the folders made and those above them
};

} // namespace host
