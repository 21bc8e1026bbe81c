#include "uHostPanel.h"

#include <algorithm>
#include <filesystem>

#include "uHostPlatform.h"
#include "uHostText.h"

namespace fs = std::filesystem;

namespace host {

bool TPanel::Load(const std::u16string& ADirectory, std::string& AError) {
  // Listed under the name without the path length limit.
  const fs::path path = U16ToPath(FullPathName(ADirectory, true));
  std::error_code error;
  if (!fs::is_directory(path, error)) {
    AError = fs::exists(path, error) ? "not a directory: " + U16ToUtf8(ADirectory)
                                     : "no such directory: " + U16ToUtf8(ADirectory);
    return false;
  }
  // As FAR shows it: the full name, without a trailing delimiter but at a root.
  fDirectory = FullPathName(ADirectory, false);
  if (U16ToPath(fDirectory).has_relative_path() && fDirectory.size() > 1 &&
      fDirectory.back() == PathDelimiter) {
    fDirectory.pop_back();
  }
  fHasParent = U16ToPath(fDirectory).has_relative_path();

  fNames.clear();
  fItems.clear();
  fUnlisted.clear();
  if (fHasParent) Add(u"..", true);
  std::string reason;
  const bool listed = ListDirectory(
      fDirectory,
      [this](const std::u16string& AName, bool AFolder, bool AValid) {
        const bool lineBreak = AName.find_first_of(u"\r\n") != std::u16string::npos;
        if (!AValid || lineBreak)
          fUnlisted.push_back(TUnlistedName{AName, lineBreak});
        else
          Add(AName, AFolder);
      },
      reason);
  if (!listed) {
    AError = "cannot read " + U16ToUtf8(fDirectory) + ": " + reason;
    return false;
  }
  // Folders first, then files, each by name; ".." stays in front. The names are compared
  // where they lie, without a folded copy of each.
  std::sort(fItems.begin() + (fHasParent ? 1 : 0), fItems.end(),
            [this](const TPanelEntry& A, const TPanelEntry& B) {
              if (A.Folder != B.Folder) return A.Folder;
              return CompareNames(Name(A), Name(B)) < 0;
            });
  fCurrentItem = 0;
  return true;
}

void TPanel::Add(std::u16string_view AName, bool AFolder) {
  fItems.push_back(TPanelEntry{fNames.size(), static_cast<uint32_t>(AName.size()), AFolder, false});
  fNames += AName;
}

bool TPanel::Find(const std::u16string& AName, size_t& AIndex, std::string& AError) const {
  std::u16string name = AName;
  while (name.size() > 1 && (name.back() == u'/' || name.back() == PathDelimiter))
    name.pop_back();
  if (name.find(u'/') != std::u16string::npos || name.find(PathDelimiter) != std::u16string::npos) {
    // A path (as a shell glob gives it) names an entry of this directory.
    const fs::path path = U16ToPath(name);
    std::error_code error;
    if (fs::equivalent(path.parent_path(), U16ToPath(fDirectory), error)) {
      name = PathToU16(path.filename());
    }
  }
  for (size_t i = 0; i < fItems.size(); ++i) {
    if (Name(i) == name) {
      AIndex = i;
      return true;
    }
  }
  AError = "no entry " + U16ToUtf8(AName) + " in " + U16ToUtf8(fDirectory);
  return false;
}

bool TPanel::SelectNames(const std::vector<std::u16string>& ANames, std::string& AError) {
  bool first = true;
  for (const auto& name : ANames) {
    size_t index = 0;
    if (!Find(name, index, AError)) return false;
    fItems[index].Selected = true;
    if (first) fCurrentItem = index;
    first = false;
  }
  return true;
}

void TPanel::SelectAll() {
  for (size_t i = fHasParent ? 1 : 0; i < fItems.size(); ++i)
    fItems[i].Selected = true;
  fCurrentItem = (fHasParent && fItems.size() > 1) ? 1 : 0;
}

bool TPanel::SetCurrent(const std::u16string& AName, std::string& AError) {
  size_t index = 0;
  if (!Find(AName, index, AError)) return false;
  for (auto& item : fItems)
    item.Selected = false;
  fCurrentItem = index;
  return true;
}

size_t TPanel::SelectedCount() const {
  return std::count_if(fItems.begin(), fItems.end(),
                       [](const TPanelEntry& AItem) { return AItem.Selected; });
}

void TPanel::SetSelected(size_t AIndex, bool ASelected) {
  if (AIndex < fItems.size()) fItems[AIndex].Selected = ASelected;
}

} // namespace host
