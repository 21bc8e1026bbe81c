#include "filelist/uSameFile.h"

#include "system/uWindows.h"

namespace {

bool SameIdentity(const std::u16string& APath1, bool AFollow1, const std::u16string& APath2,
                  bool AFollow2, bool& ASame) {
  win::FILE_IDENTITY a, b;
  if (!win::GetFileIdentity(APath1.c_str(), AFollow1, &a) ||
      !win::GetFileIdentity(APath2.c_str(), AFollow2, &b))
    return false;
  ASame = a.Volume == b.Volume && a.Index == b.Index;
  return true;
}

} // namespace

bool IsSameFile(const std::u16string& ASource, const std::u16string& ADestination) {
  // The same entry under two names (a hard link, another spelling), or a source that is a
  // link leading to the destination's own entry: deleting the destination would take the
  // data that the source stands for.
  bool same = false;
  if (!SameIdentity(ASource, false, ADestination, false, same)) return true;
  if (same) return true;
  if (!SameIdentity(ASource, true, ADestination, false, same)) {
    // A dangling link leads nowhere: it cannot stand for the destination.
    return win::GetLastError() != win::ERROR_FILE_NOT_FOUND &&
           win::GetLastError() != win::ERROR_PATH_NOT_FOUND;
  }
  return same;
}

bool IsSameEntry(const std::u16string& APath1, const std::u16string& APath2) {
  bool same = false;
  return SameIdentity(APath1, false, APath2, false, same) && same;
}
