#include "uMadeFolders.h"

#include <filesystem>

#include "system/uFilesystemPath.h"
#include "system/uUtf8.h"
#include "uHostMessages.h"
#include "uHostPlatform.h"

namespace fs = std::filesystem;

namespace host {

namespace {

// The file system's name of APath, without the path length limit.
fs::path Native(const fs::path& APath) {
  return U16ToPath(FullPathName(PathToU16(APath), true));
}

} // namespace

bool TMadeFolders::MakeFor(const std::u16string& ADestination, const TRenamePlan& APlan,
                           const std::u16string& ADirectory, std::vector<std::string>& AWarnings) {
  const fs::path directory = U16ToPath(ADirectory);
  const fs::path relative = U16ToPath(ADestination).lexically_relative(directory);
  if (relative.empty() || *relative.begin() == "..") return false;
  fs::path folder = directory;
  bool made = false;
  for (const auto& part : relative.parent_path()) {
    const fs::path parent = folder;
    folder /= part;
    std::error_code error;
    if (fs::exists(fs::symlink_status(Native(folder), error))) continue;
    // A folder that a line makes by moving one there is left to that line; one whose
    // parent is, through a link, outside the directory is never made.
    if (APlan.MadeByAMove(PathToU16(folder))) break;
    if (!APlan.IsBelow(PathToU16(parent))) {
      AWarnings.push_back(Utf16ToUtf8(Say(htNotMakingFolder, {PathToU16(folder), ADirectory})));
      break;
    }
    if (!fs::create_directory(Native(folder), error)) {
      AWarnings.push_back(
          Utf16ToUtf8(Say(htCannotMakeFolder, {PathToU16(folder), Utf8ToUtf16(error.message())})));
      break;
    }
    fMade.push_back(PathToU16(folder));
    made = true;
  }
  return made;
}

void TMadeFolders::RemoveEmpty() {
  for (auto folder = fMade.rbegin(); folder != fMade.rend(); ++folder) {
    // Only the folder made: a file or link that took its name stays.
    const fs::path path = Native(U16ToPath(*folder));
    std::error_code error;
    if (fs::is_directory(fs::symlink_status(path, error)) && fs::is_empty(path, error))
      fs::remove(path, error);
  }
}

} // namespace host
