#include "uNamedEntries.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "list/uPathNames.h"
#include "system/uFilesystemPath.h"
#include "system/uUtf8.h"
#include "system/uWindows.h"
#include "uHostMessages.h"
#include "uHostPanel.h"
#include "uHostPlatform.h"

namespace fs = std::filesystem;

namespace host {

namespace {

void TrimDelimiters(std::u16string& APath) {
  while (APath.size() > 1 && APath.back() == PathDelimiter && APath[APath.size() - 2] != u':')
    APath.pop_back();
}

// The part of AFull below ADirectory (given with its delimiter at the end); false when it
// does not lie below it.
bool PathBelow(const std::u16string& AFull, const std::u16string& ADirectory,
               std::u16string& ARelative) {
  if (AFull.size() <= ADirectory.size() ||
      !IsSamePathText(AFull.substr(0, ADirectory.size()), ADirectory))
    return false;
  ARelative = AFull.substr(ADirectory.size());
  return true;
}

bool Exists(const std::u16string& AFull) {
  std::error_code error;
  return fs::exists(fs::symlink_status(U16ToPath(FullPathName(AFull, true)), error));
}

// The folder that holds AFull: a name through a link to a folder elsewhere names a file
// outside, while a link itself may be renamed wherever it leads.
std::u16string DirectoryOf(const std::u16string& AFull) {
  const size_t slash = AFull.find_last_of(PathDelimiter);
  return slash == std::u16string::npos ? AFull : AFull.substr(0, slash);
}

// The path of AName below ADirectory (with its delimiter at the end), or why there is none.
bool LocateName(std::u16string AName, const std::u16string& ADirectory, std::u16string& ARelative,
                std::string& AReason) {
  std::replace(AName.begin(), AName.end(), u'/', PathDelimiter);
  while (AName.size() > 1 && AName[0] == u'.' && AName[1] == PathDelimiter)
    AName.erase(0, AName.find_first_not_of(PathDelimiter, 1));
  std::vector<std::u16string> candidates;
  if (!U16ToPath(AName).is_absolute())
    candidates.push_back(FullPathName(ADirectory + AName, false));
  candidates.push_back(FullPathName(AName, false));
  const std::u16string directory = ADirectory.substr(0, ADirectory.size() - 1);
  AReason = Utf16ToUtf8(Say(htLeadsOutside, {directory}));
  for (std::u16string full : candidates) {
    TrimDelimiters(full);
    if (!PathBelow(full, ADirectory, ARelative)) {
      // Found from the current directory but outside ADirectory: it exists all the same.
      if (Exists(full)) AReason = Utf16ToUtf8(Say(htLeadsOutside, {directory}));
      continue;
    }
    if (!Exists(full)) {
      AReason = Utf16ToUtf8(Say(htDoesNotExist));
    } else if (!RealPathBelow(DirectoryOf(full), ADirectory)) {
      AReason = Utf16ToUtf8(Say(htLeadsOutsideThroughLink, {directory}));
    } else {
      return true;
    }
  }
  return false;
}

// The same for a name that the list can carry.
bool ResolveName(const std::u16string& AName, const std::u16string& ADirectory,
                 std::u16string& ARelative, std::string& AReason) {
  AReason = ListCannotCarry(AName);
  return AReason.empty() && LocateName(AName, ADirectory, ARelative, AReason);
}

uint32_t AttributesOf(const std::u16string& AFull) {
  std::error_code error;
  return fs::is_directory(U16ToPath(FullPathName(AFull, true)), error)
             ? win::FILE_ATTRIBUTE_DIRECTORY
             : win::FILE_ATTRIBUTE_ARCHIVE;
}

} // namespace

std::vector<std::u16string> SplitNames(const std::string& ABytes, bool ANullSeparated,
                                       std::vector<TRefusedName>& ARefused) {
  std::vector<std::u16string> names;
  const char end = ANullSeparated ? '\0' : '\n';
  for (size_t start = 0; start < ABytes.size();) {
    size_t stop = ABytes.find(end, start);
    if (stop == std::string::npos) stop = ABytes.size();
    std::string name = ABytes.substr(start, stop - start);
    start = stop + 1;
#ifdef _WIN32
    if (!ANullSeparated && !name.empty() && name.back() == '\r') name.pop_back();
#endif
    // DIR itself, as find prints it first: not a name below it.
    if (name.empty() || name == "." || name == "./") continue;
    bool valid = true;
    names.push_back(Utf8ToUtf16(name, &valid));
    if (!valid) {
      ARefused.push_back(TRefusedName{names.back(), Utf16ToUtf8(Say(htNotUtf8))});
      names.pop_back();
    }
  }
  return names;
}

bool AreNamesBelow(const std::u16string& ADirectory, const std::vector<std::u16string>& ANames) {
  std::u16string directory;
  std::string error;
  if (!PanelDirectory(ADirectory, directory, error)) return false;
  if (directory.back() != PathDelimiter) directory += PathDelimiter;
  std::u16string relative;
  std::string reason;
  for (const auto& name : ANames)
    if (!LocateName(name, directory, relative, reason)) return false;
  return true;
}

bool LoadNamedEntries(TPanelModel& APanel, const std::u16string& ADirectory,
                      const std::vector<std::u16string>& ANames,
                      std::vector<TRefusedName>& ARefused, std::string& AError) {
  std::u16string directory;
  if (!PanelDirectory(ADirectory, directory, AError)) return false;
  APanel.Clear();
  APanel.Directory = directory;
  if (directory.back() != PathDelimiter) directory += PathDelimiter;
  std::unordered_set<std::u16string> listed;
  for (const auto& name : ANames) {
    std::u16string relative;
    std::string reason;
    if (!ResolveName(name, directory, relative, reason)) {
      ARefused.push_back(TRefusedName{name, reason});
    } else if (listed.insert(relative).second) {
      APanel.Add(relative, AttributesOf(directory + relative));
    }
  }
  if (APanel.ItemCount() == 0) {
    AError = Utf16ToUtf8(Say(htNothingBelow, {APanel.Directory}));
    return false;
  }
  APanel.SortByName(true);
  APanel.SelectAll();
  return true;
}

} // namespace host
