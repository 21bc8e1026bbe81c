#include "uMadeFolders.h"

#include "system/uSystem.h"
#include "uHostMessages.h"
#include "uHostPanel.h"
#include "uHostPlatform.h"

namespace host {

bool TMadeFolders::MakeFor(const std::u16string& ADestination,
                           std::vector<std::u16string>& AWarnings) {
  if (!IsAtOrBelow(ADestination, fDirectory)) return false;
  const std::u16string folders = FolderPart(ADestination);
  bool made = false;
  for (size_t at = fDirectory.size(); at < folders.size(); ++at) {
    if (!IsPathDelimiter(folders[at])) continue;
    const std::u16string folder = folders.substr(0, at);
    if (win::GetFileAttributesW(folder.c_str()) != win::INVALID_FILE_ATTRIBUTES) continue;
    // One whose parent is, through a link, outside the directory is never made.
    if (!RealPathBelow(FolderPart(folder), fDirectory)) {
      AWarnings.push_back(Say(htNotMakingFolder, {VisiblePath(folder), VisiblePath(fDirectory)}));
      break;
    }
    TMade entry{folder, {}, folder};
    if (!win::CreateDirectoryW(folder.c_str(), nullptr) ||
        !win::GetFileIdentity(folder.c_str(), 0, &entry.Identity)) {
      AWarnings.push_back(
          Say(htCannotMakeFolder, {VisiblePath(folder), ErrorText(win::GetLastError())}));
      break;
    }
    for (size_t up = at; up > fDirectory.size(); --up)
      if (IsPathDelimiter(folder[up - 1]) && !fAbove.insert(folder.substr(0, up - 1)).second) break;
    fAbove.insert(folder);
    fMade.push_back(std::move(entry));
    made = true;
  }
  return made;
}

void TMadeFolders::Moved(const std::u16string& AFrom, const std::u16string& ATo) {
  if (!fAbove.count(AFrom)) return;
  fAbove.clear();
  for (TMade& made : fMade) {
    CarryAlong(made.Path, AFrom, ATo);
    fAbove.insert(made.Path);
  }
}

void TMadeFolders::RemoveEmpty(std::vector<TRecordedFolder>* AStayed) {
  for (auto made = fMade.rbegin(); made != fMade.rend(); ++made) {
    // Only the folder made: a folder or link that took its name stays.
    win::FILE_IDENTITY identity;
    if (!win::GetFileIdentity(made->Path.c_str(), 0, &identity) || identity != made->Identity)
      continue;
    if (!win::RemoveDirectoryW(made->Path.c_str()) && AStayed)
      AStayed->push_back({made->Identity, made->MadeAt});
  }
  fMade.clear();
  fAbove.clear();
}

} // namespace host
