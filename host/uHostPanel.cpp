#include "uHostPanel.h"

#include <filesystem>

#include "system/uFilesystemPath.h"
#include "system/uUtf8.h"
#include "system/uWindows.h"
#include "uHostMessages.h"
#include "uHostPlatform.h"

namespace fs = std::filesystem;

namespace host {

namespace {

bool FindEntry(const TPanelModel& APanel, const std::u16string& AName, size_t& AIndex,
               std::string& AError) {
  std::u16string name = AName;
  while (name.size() > 1 && (name.back() == u'/' || name.back() == PathDelimiter))
    name.pop_back();
  if (name.find(u'/') != std::u16string::npos || name.find(PathDelimiter) != std::u16string::npos) {
    // A path (as a shell glob gives it) names an entry of this directory.
    const fs::path path = U16ToPath(name);
    std::error_code error;
    if (fs::equivalent(path.parent_path(), U16ToPath(APanel.Directory), error)) {
      name = PathToU16(path.filename());
    }
  }
  if (APanel.Find(name, AIndex)) return true;
  const std::string why = ListCannotCarry(AName);
  AError = Utf16ToUtf8(why.empty() ? Say(htNoEntry, {AName, APanel.Directory})
                                   : Say(htLeftOutName, {Utf8ToUtf16(why), AName}));
  return false;
}

} // namespace

bool PanelDirectory(const std::u16string& ADirectory, std::u16string& AFull, std::string& AError) {
  // Checked under the name without the path length limit.
  const fs::path path = U16ToPath(FullPathName(ADirectory, true));
  std::error_code error;
  if (!fs::is_directory(path, error)) {
    AError = Utf16ToUtf8(
        Say(fs::exists(path, error) ? htNotADirectory : htNoSuchDirectory, {ADirectory}));
    return false;
  }
  // As FAR shows it: the full name, without a trailing delimiter but at a root.
  AFull = FullPathName(ADirectory, false);
  if (U16ToPath(AFull).has_relative_path() && AFull.size() > 1 && AFull.back() == PathDelimiter)
    AFull.pop_back();
  return true;
}

namespace {

// The real path of APath (links resolved), of its deepest part that exists; empty when it
// cannot be told.
fs::path RealPath(const std::u16string& APath) {
  std::error_code error;
  fs::path path = U16ToPath(FullPathName(APath, false));
  while (!fs::exists(fs::symlink_status(path, error)) && path.has_relative_path())
    path = path.parent_path();
  const fs::path real = fs::canonical(path, error);
  return error ? fs::path() : real;
}

} // namespace

bool RealPathBelow(const std::u16string& APath, const std::u16string& ADirectory) {
  const fs::path path = RealPath(APath), directory = RealPath(ADirectory);
  // Where that cannot be told, the names as written, checked already, decide.
  if (path.empty() || directory.empty()) return true;
  const fs::path relative = path.lexically_relative(directory);
  return !relative.empty() && *relative.begin() != "..";
}

std::string ListCannotCarry(const std::u16string& AName) {
  if (AName.find_first_of(u"\r\n") != std::u16string::npos)
    return Utf16ToUtf8(Say(htHoldsLineBreak));
  if (AName.find(u'"') != std::u16string::npos) return Utf16ToUtf8(Say(htHoldsDoubleQuote));
  return {};
}

bool LoadPanel(TPanelModel& APanel, const std::u16string& ADirectory,
               std::vector<TUnlistedName>& AUnlisted, std::string& AError) {
  std::u16string directory;
  if (!PanelDirectory(ADirectory, directory, AError)) return false;
  APanel.Clear();
  APanel.Directory = directory;
  AUnlisted.clear();
  if (U16ToPath(directory).has_relative_path()) APanel.Add(u"..", win::FILE_ATTRIBUTE_DIRECTORY);
  std::string reason;
  uint64_t volume = 0;
  const bool listed = ListDirectory(
      directory,
      [&](const std::u16string& AName, bool AFolder, bool AValid, uint64_t) {
        const std::string why = AValid ? ListCannotCarry(AName) : Utf16ToUtf8(Say(htNotUtf8));
        if (!why.empty()) {
          AUnlisted.push_back(TUnlistedName{AName, why});
          return;
        }
        APanel.Add(AName, AFolder ? win::FILE_ATTRIBUTE_DIRECTORY : win::FILE_ATTRIBUTE_ARCHIVE);
      },
      volume, reason);
  if (!listed) {
    AError = Utf16ToUtf8(Say(htCannotReadDirectory, {directory, Utf8ToUtf16(reason)}));
    return false;
  }
  APanel.SortByName(true);
  return true;
}

bool SetCurrentName(TPanelModel& APanel, const std::u16string& AName, std::string& AError) {
  size_t index = 0;
  if (!FindEntry(APanel, AName, index, AError)) return false;
  for (size_t i = 0; i < APanel.ItemCount(); ++i)
    APanel.SetSelected(i, false);
  APanel.CurrentItem = index;
  return true;
}

size_t EntryCount(const TPanelModel& APanel) {
  return APanel.ItemCount() - (APanel.HasParentItem() ? 1 : 0);
}

} // namespace host
