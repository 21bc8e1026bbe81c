#include "filelist/uListRenames.h"

#include <algorithm>
#include <map>

#include "filelist/uOwnSpelling.h"
#include "list/uPathNames.h"
#include "system/uSystem.h"
#include "system/uWindows.h"

namespace {

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

// A folder that a line moved under its short name ("LONGFO~1"), which is gone with the
// move: which long name it had cannot be told now, so the names below it may have moved
// unseen. Windows only; elsewhere a name is its only spelling.
bool MovedByLostShortName(const TEntryPaths& APaths) {
#ifdef _WIN32
  const size_t start = FolderPart(APaths.Source).size();
  const size_t dot = APaths.Source.find(u'.', start);
  const size_t base = (dot == std::u16string::npos ? APaths.Source.size() : dot) - start;
  const size_t extension = dot == std::u16string::npos ? 0 : APaths.Source.size() - dot - 1;
  if (APaths.Source.find(u'~', start) == std::u16string::npos || base > 8 || extension > 3)
    return false;
  const win::DWORD attributes = win::GetFileAttributesW(APaths.Destination.c_str());
  return attributes == win::INVALID_FILE_ATTRIBUTES ||
         (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
#else
  (void)APaths;
  return false;
#endif
}

} // namespace

TListRenames::TListRenames(const TSavedList& ALines, const std::u16string& ADirectory,
                           const std::vector<bool>& AMoved, size_t ACurrentLine,
                           TOwnSpelling& ASpelling, bool AOwnFolder)
    : fSpelling(ASpelling) {
  // The moves are replayed in the folders' spelling of now: a folder moved by a line under
  // one spelling carries the names below it whatever spelling the other lines use.
  TWhere where;
  TEntryPaths paths;
  size_t next = 0;
  for (const TListLine& line : ALines) {
    const size_t i = next++;
    if (!GetEntryPaths(line, ADirectory, paths, AOwnFolder)) continue;
    if (i < ACurrentLine && AMoved[i]) {
      const std::u16string destination = ASpelling.Of(paths.Destination);
      CarryFolder(where, ASpelling.Of(paths.Source), destination);
      where[destination].push_back(i);
      fUnsure = fUnsure || MovedByLostShortName(paths);
    } else if (paths.SourceValid) {
      where[ASpelling.Of(paths.Source)].push_back(i);
    }
  }
  win::FILE_IDENTITY key;
  bool exists;
  TKind kind;
  for (const auto& entry : where) {
    const bool known = KeyOf(entry.first, key, exists, kind);
    fUnsure = fUnsure || (!known && exists);
    for (size_t line : entry.second) {
      if (known)
        Own(key, kind, entry.first, line);
      else
        fByText.emplace_back(entry.first, line);
    }
  }
  std::sort(fOwners.begin(), fOwners.end());
}

void TListRenames::Own(const win::FILE_IDENTITY& AKey, TKind AKind, const std::u16string& APath,
                       size_t ALine) {
  if (AKind == kLinks)
    fLinks.push_back({AKey, ALine, APath});
  else
    fOwners.emplace_back(AKey, ALine);
}

bool TListRenames::KeyOf(const std::u16string& APath, win::FILE_IDENTITY& AKey, bool& AExists,
                         TKind& AKind) {
  win::FILE_IDENTITY identity;
  AExists = true;
  AKind = kLeading;
  if (win::GetFileIdentity(APath.c_str(), 0, &identity)) {
    AKey = identity;
    AKind = identity.Directory || identity.Reparse ? kLeading : identity.Links > 1 ? kLinks : kFile;
    return true;
  }
  const win::DWORD error = win::GetLastError();
  AExists = !IsMissingError(error);
  return false;
}

void TListRenames::Note(size_t AOwner, size_t ALine, TOwners& AOwners) const {
  if (AOwner < ALine) AOwners.Earlier = true;
  if (AOwner > ALine && AOwner < AOwners.Later) AOwners.Later = AOwner;
}

TListRenames::TOwners TListRenames::OwnersOf(const std::u16string& APath, size_t ALine) const {
  TOwners owners;
  win::FILE_IDENTITY key;
  bool exists;
  TKind kind;
  if (!KeyOf(APath, key, exists, kind)) {
    owners.Earlier = true;
    return owners;
  }
  for (auto at = std::lower_bound(fOwners.begin(), fOwners.end(), std::make_pair(key, size_t(0)));
       at != fOwners.end() && !(key < at->first); ++at)
    Note(at->second, ALine, owners);
  for (const auto& moved : fMovedSince)
    if (moved.first == key) Note(moved.second, ALine, owners);
  // A link that the file has lost since is no longer a name to tell it by.
  for (const TLink& link : fLinks)
    if (link.Key == key && (kind != kLinks || IsSamePathText(link.Path, APath)))
      Note(link.Line, ALine, owners);
  for (const auto& entry : fByText)
    if (IsSamePathText(entry.first, APath)) Note(entry.second, ALine, owners);
  if (fUnsure && owners.Later == NoLine) owners.Earlier = true;
  // Nothing waits, or goes, where a folder's spelling could not be told: a file set aside
  // in a folder that a line then moves under an unresolved spelling would be lost to view.
  if (fSpelling.Unsure()) owners.Earlier = true;
  return owners;
}

bool TListRenames::Moved(size_t ALine, const std::u16string& AFrom,
                         const std::u16string& ADestination) {
  win::FILE_IDENTITY key;
  bool exists;
  TKind kind;
  if (!KeyOf(ADestination, key, exists, kind)) {
    fByText.emplace_back(ADestination, ALine);
    fUnsure = fUnsure || exists;
    return true;
  }
  // The links named below a folder that moved are named below its new place.
  if (kind == kLeading)
    for (TLink& link : fLinks)
      CarryAlong(link.Path, AFrom, ADestination);
  if (kind == kLinks)
    fLinks.push_back({key, ALine, ADestination});
  else if (!std::binary_search(fOwners.begin(), fOwners.end(), std::make_pair(key, ALine)))
    fMovedSince.emplace_back(key, ALine);
  return kind == kLeading;
}
