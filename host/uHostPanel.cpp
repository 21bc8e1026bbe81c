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

  std::vector<TDirectoryEntry> entries;
  std::string reason;
  if (!ListDirectory(fDirectory, entries, reason)) {
    AError = "cannot read " + U16ToUtf8(fDirectory) + ": " + reason;
    return false;
  }
  // Folders first, then files, each by name: sorted once on folded keys.
  struct TSortItem {
    bool File;
    std::u16string Key;
    TDirectoryEntry* Entry;
  };
  std::vector<TSortItem> order;
  order.reserve(entries.size());
  for (auto& entry : entries) {
    const bool lineBreak = entry.Name.find_first_of(u"\r\n") != std::u16string::npos;
    if (!entry.Valid || lineBreak) {
      fUnlisted.push_back(TUnlistedName{entry.Name, lineBreak});
      continue;
    }
    order.push_back(TSortItem{!entry.Folder, NameKey(entry.Name), &entry});
  }
  std::sort(order.begin(), order.end(), [](const TSortItem& A, const TSortItem& B) {
    if (A.File != B.File) return B.File;
    const int byKey = A.Key.compare(B.Key);
    return byKey != 0 ? byKey < 0 : A.Entry->Name < B.Entry->Name;
  });
  fItems.clear();
  fItems.reserve(order.size() + 1);
  if (fHasParent) fItems.push_back(TPanelEntry{u"..", true, false});
  for (auto& item : order) {
    fItems.push_back(TPanelEntry{std::move(item.Entry->Name), item.Entry->Folder, false});
  }
  fCurrentItem = 0;
  return true;
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
    if (fItems[i].Name == name) {
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
