#include "filelist/uSameFile.h"

#include "system/uSystem.h"
#include "system/uWindows.h"

namespace {

bool Identity(const std::u16string& APath, bool AFollowLinks, win::FILE_IDENTITY& AIdentity) {
  return win::GetFileIdentity(APath.c_str(), AFollowLinks, &AIdentity) != 0;
}

} // namespace

bool IsSameFile(const std::u16string& ASource, const std::u16string& ADestination) {
  // The same entry under two names (a hard link, another spelling), or a source that is a
  // link leading to the destination's own entry: deleting the destination would take the
  // data that the source stands for.
  win::FILE_IDENTITY source, destination, target;
  if (!Identity(ASource, false, source) || !Identity(ADestination, false, destination)) return true;
  if (source == destination) return true;
  if (!Identity(ASource, true, target)) {
    // A dangling link leads nowhere: it cannot stand for the destination.
    return !IsMissingError(win::GetLastError());
  }
  return target == destination;
}

bool IsSameEntry(const std::u16string& APath1, const std::u16string& APath2) {
  // An object of one link can only have the one entry; a directory has no hard links.
  win::FILE_IDENTITY a, b;
  return Identity(APath1, false, a) && Identity(APath2, false, b) && a == b &&
         (a.Directory || a.Links == 1);
}

bool IsOwnEntryInAnotherCase(const std::u16string& ASource, const std::u16string& ADestination) {
  return win::CompareStringOrdinal(ASource.c_str(), int(ASource.size()), ADestination.c_str(),
                                   int(ADestination.size()), 1) == win::CSTR_EQUAL &&
         IsSameEntry(ASource, ADestination);
}
