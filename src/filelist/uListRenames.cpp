#include "filelist/uListRenames.h"

#include <algorithm>
#include <map>

#include "filelist/uListFormat.h"
#include "filelist/uPathNames.h"
#include "filelist/uSameFile.h"
#include "system/uWindows.h"

namespace {

// Every system call takes a name up to its first U+0000, so a name that holds one would
// act on another file: "a<NUL>x" on a. Such a name names no file.
bool NamesAFile(const std::u16string& AName) {
  return AName.find(u'\0') == std::u16string::npos;
}

// The path of AName in ADirectory; false when it names no file, with APath then the two
// joined as they are, for showing.
bool EntryPath(const std::u16string& ADirectory, const std::u16string& AName,
               std::u16string& APath) {
  // Built in APath's own room, which a caller's next line reuses; a path that cannot be
  // normalized is left as it is.
  APath.assign(ADirectory).append(AName);
  return NamesAFile(AName) && NormalizePath(APath, APath);
}

// Where each line's file is now, by path, as far as the moves of the lines tell: a line
// that moved its file, and every later line that moved a folder above it, took it along.
using TWhere = std::map<std::u16string, std::vector<size_t>, TPathLess>;

void CarryFolder(TWhere& AWhere, std::u16string AFrom, const std::u16string& ATo) {
  while (AFrom.size() > 1 && IsPathDelimiter(AFrom.back()))
    AFrom.pop_back();
  std::vector<std::pair<std::u16string, std::vector<size_t>>> carried;
  // Every path that starts with AFrom sorts from AFrom on, until the first that does not.
  for (auto at = AWhere.lower_bound(AFrom); at != AWhere.end();) {
    if (at->first.size() < AFrom.size() ||
        !IsSamePathText(at->first.substr(0, AFrom.size()), AFrom))
      break;
    std::u16string path = at->first;
    if (!CarryAlong(path, AFrom, ATo)) {
      ++at;
      continue;
    }
    carried.emplace_back(std::move(path), std::move(at->second));
    at = AWhere.erase(at);
  }
  for (auto& entry : carried) {
    auto& lines = AWhere[entry.first];
    lines.insert(lines.end(), entry.second.begin(), entry.second.end());
  }
}

} // namespace

bool GetEntryPaths(const std::u16string& ALine, const std::u16string& ADirectory,
                   TEntryPaths& APaths, bool AOwnFolder) {
  std::u16string source, destination;
  if (!SplitListLine(ALine, source, destination)) return false;
  APaths.SourceValid = EntryPath(ADirectory, source, APaths.Source);
  const std::u16string folder =
      AOwnFolder && FolderPart(destination).empty() ? FolderPart(source) : u"";
  APaths.DestinationValid =
      EntryPath(folder.empty() ? ADirectory : ADirectory + folder, destination, APaths.Destination);
  return APaths.Source != APaths.Destination;
}

bool TPathLess::operator()(const std::u16string& A, const std::u16string& B) const {
#ifdef _WIN32
  return win::CompareStringOrdinal(A.c_str(), int(A.size()), B.c_str(), int(B.size()), 1) ==
         win::CSTR_LESS_THAN;
#else
  return A < B;
#endif
}

bool CarryAlong(std::u16string& APath, const std::u16string& AFrom, const std::u16string& ATo) {
  size_t length = AFrom.size();
  while (length > 1 && IsPathDelimiter(AFrom[length - 1]))
    --length;
  if (APath.size() < length || !IsSamePathText(APath.substr(0, length), AFrom.substr(0, length)))
    return false;
  if (APath.size() > length && !IsPathDelimiter(APath[length])) return false;
  std::u16string to = ATo;
  while (to.size() > 1 && IsPathDelimiter(to.back()))
    to.pop_back();
  APath = to + APath.substr(length);
  return true;
}

TListRenames::TListRenames(const TSavedList& ALines, const std::u16string& ADirectory,
                           const std::vector<bool>& AMoved, size_t ACurrentLine, bool AOwnFolder) {
  TWhere where;
  TEntryPaths paths;
  for (size_t i = 0; i < ALines.size(); ++i) {
    if (!GetEntryPaths(ALines[i], ADirectory, paths, AOwnFolder)) continue;
    if (i < ACurrentLine && AMoved[i]) {
      CarryFolder(where, paths.Source, paths.Destination);
      where[paths.Destination].push_back(i);
    } else if (paths.SourceValid) {
      where[paths.Source].push_back(i);
    }
  }
  TKey key;
  bool exists;
  for (const auto& entry : where) {
    const bool known = KeyOf(entry.first, key, exists);
    fUnsure = fUnsure || (!known && exists);
    for (size_t line : entry.second) {
      if (known)
        fOwners.emplace_back(key, line);
      else
        fByText.emplace_back(entry.first, line);
    }
  }
  std::sort(fOwners.begin(), fOwners.end());
}

bool TListRenames::KeyOf(const std::u16string& APath, TKey& AKey, bool& AExists) {
  win::FILE_IDENTITY identity;
  AExists = true;
  if (win::GetFileIdentity(APath.c_str(), 0, &identity)) {
    AKey = {identity.Volume, identity.Index};
    return true;
  }
  const win::DWORD error = win::GetLastError();
  AExists = error != win::ERROR_FILE_NOT_FOUND && error != win::ERROR_PATH_NOT_FOUND;
  return false;
}

void TListRenames::Note(size_t AOwner, size_t ALine, TOwners& AOwners) const {
  if (AOwner < ALine) AOwners.Earlier = true;
  if (AOwner > ALine && AOwner < AOwners.Later) AOwners.Later = AOwner;
}

TListRenames::TOwners TListRenames::OwnersOf(const std::u16string& APath, size_t ALine) const {
  TOwners owners;
  TKey key;
  bool exists;
  if (!KeyOf(APath, key, exists)) {
    owners.Earlier = true;
    return owners;
  }
  for (auto at = std::lower_bound(fOwners.begin(), fOwners.end(), std::make_pair(key, size_t(0)));
       at != fOwners.end() && !(key < at->first); ++at)
    Note(at->second, ALine, owners);
  for (const auto& moved : fMovedSince)
    if (!(key < moved.first) && !(moved.first < key)) Note(moved.second, ALine, owners);
  for (const auto& entry : fByText)
    if (IsSamePathText(entry.first, APath)) Note(entry.second, ALine, owners);
  if (fUnsure && owners.Later == NoLine) owners.Earlier = true;
  return owners;
}

void TListRenames::Moved(size_t ALine, const std::u16string& ADestination) {
  TKey key;
  bool exists;
  if (!KeyOf(ADestination, key, exists)) {
    fByText.emplace_back(ADestination, ALine);
    fUnsure = fUnsure || exists;
    return;
  }
  if (std::binary_search(fOwners.begin(), fOwners.end(), std::make_pair(key, ALine))) return;
  fMovedSince.emplace_back(key, ALine);
}
