#include "uRenamePlan.h"

#include "filelist/uSameFile.h"
#include "files/uStrings.h"
#include "files/uTextStream.h"
#include "list/uLinePaths.h"
#include "list/uPathNames.h"
#include "list/uSavedList.h"
#include "system/uFilesystemPath.h"
#include "system/uUtf8.h"
#include "system/uWindows.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

namespace host {

namespace {

std::u16string MoveLine(const TPlannedMove& AMove) {
  return EscapeControlCharacters(AMove.Old) + u" -> " + EscapeControlCharacters(AMove.New) + u"\n";
}

std::u16string CountOfLines(size_t ACount) {
  return Utf8ToUtf16(std::to_string(ACount)) + (ACount == 1 ? u" changed line" : u" changed lines");
}

// What the file at APath is, the link itself where it is one.
bool IdentityOf(const std::u16string& APath, win::FILE_IDENTITY& AIdentity) {
  win::FILE_IDENTITY identity;
  if (!win::GetFileIdentity(APath.c_str(), 0, &identity)) return false;
  AIdentity = identity;
  return true;
}

// The identities of files as they are at one moment, each folder read once where the
// platform allows: the summary's look-ups cost next to nothing beside the renames. A name
// that its folder's listing does not hold (another spelling of it, or a folder that could
// not be read) is looked up on its own.
class TIdentities {
public:
  bool Find(const std::u16string& APath, win::FILE_IDENTITY& AIdentity) {
    const size_t slash = APath.find_last_of(PathDelimiter);
    if (slash == std::u16string::npos || slash + 1 == APath.size())
      return IdentityOf(APath, AIdentity);
    const std::u16string name = APath.substr(slash + 1);
    if (name == u"." || name == u"..") return IdentityOf(APath, AIdentity);
    const TFolder& folder = FolderOf(APath, slash == 0 ? 1 : slash);
    if (folder.Listed && folder.Entries.Indexes.Find(Utf16ToUtf8(name), AIdentity.Index)) {
      AIdentity.Volume = folder.Entries.Volume;
      return true;
    }
    return IdentityOf(APath, AIdentity);
  }

private:
  struct TFolder {
    bool Listed = false;
    TFolderIdentities Entries;
  };
  // The folder of the first ALength characters of APath, read on first use. The list's
  // lines come folder by folder, so the last one found is tried first.
  const TFolder& FolderOf(const std::u16string& APath, size_t ALength) {
    if (fLast && fLast->first.size() == ALength && APath.compare(0, ALength, fLast->first) == 0)
      return fLast->second;
    std::u16string folderName = APath.substr(0, ALength);
    if (folderName.back() == u':')
      folderName += PathDelimiter; // a drive's root, not its current folder
    auto found = fFolders.find(folderName);
    if (found == fFolders.end()) {
      TFolder folder;
      folder.Listed = ReadFolderIdentities(folderName, folder.Entries);
      found = fFolders.emplace(folderName, std::move(folder)).first;
    }
    fLast = &*found;
    return found->second;
  }
  std::unordered_map<std::u16string, TFolder> fFolders;
  const std::pair<const std::u16string, TFolder>* fLast = nullptr;
};

bool TookEffect(const TPlannedMove& AMove, TIdentities& AIdentities) {
  win::FILE_IDENTITY now, source;
  if ((AMove.Looked && !AMove.Known) || !AIdentities.Find(AMove.Destination, now)) return false;
  // A source that nobody looked at (a name the user wrote in the first column, not one
  // the listing gave) counts when its name is gone and the destination's is there.
  if (!AMove.Known) return !AIdentities.Find(AMove.Source, source);
  return now == AMove.Before || !AIdentities.Find(AMove.Source, source);
}

// The lines of a list open as AHandle, which is closed after.
bool LoadLines(win::HANDLE AHandle, TSavedList& ALines) {
  bool loaded = false;
  try {
    TTextStream stream(reinterpret_cast<uintptr_t>(AHandle));
    loaded = LoadSavedList(stream, ALines);
  } catch (...) {
    // not read: no plan
  }
  win::CloseHandle(AHandle);
  return loaded;
}

} // namespace

TRenamePlan::TRenamePlan(const std::u16string& ADirectory, const TListedIdentities& AListed)
    : fDirectory(ADirectory), fListed(AListed) {
  if (fDirectory.empty() || fDirectory.back() != PathDelimiter) fDirectory += PathDelimiter;
}

TRenamePlan::~TRenamePlan() {
  if (fReader.joinable()) fReader.join();
}

bool TRenamePlan::Read(const std::u16string& AListFile) {
  fMoves.clear();
  TSavedList lines;
  if (!LoadSavedList(AListFile, lines)) return false;
  TakeLines(lines);
  return true;
}

void TRenamePlan::TakeLines(const TSavedList& ALines) {
  TEntryPaths paths;
  for (const TListLine& line : ALines) {
    if (!GetEntryPaths(line, fDirectory, paths)) continue;
    TPlannedMove move;
    move.Old = line.Source;
    move.New = line.Destination;
    move.Source = std::move(paths.Source);
    move.Destination = std::move(paths.Destination);
    uint64_t index = 0;
    if (fListed.Find(move.Old, index)) {
      move.Before = win::FILE_IDENTITY{fListed.Volume, index};
      move.Known = move.Looked = true;
    } else if (fListed.Complete && move.Old.find(PathDelimiter) == std::u16string::npos) {
      // A name of the folder that its whole listing did not hold: nothing was there, so
      // its line cannot have renamed anything (a first column the user changed, say).
      move.Looked = true;
    }
    fMoves.push_back(std::move(move));
  }
}

void TRenamePlan::StartReading(const std::u16string& AListFile) {
  fMoves.clear();
  fRead = false;
  // Deleting the list while it is open here takes its name only, on either platform.
  const win::HANDLE handle =
      win::CreateFileW(AListFile.c_str(), win::GENERIC_READ,
                       win::FILE_SHARE_READ | win::FILE_SHARE_WRITE | win::FILE_SHARE_DELETE,
                       nullptr, win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == win::InvalidHandleValue()) return;
  auto read = [this, handle] {
    try {
      TSavedList lines;
      fRead = LoadLines(handle, lines);
      if (fRead) TakeLines(lines);
    } catch (...) {
      fMoves.clear();
      fRead = false;
    }
  };
  try {
    fReader = std::thread(read);
  } catch (...) {
    read(); // no thread to be had: read it now
  }
}

bool TRenamePlan::FinishReading() {
  if (fReader.joinable()) fReader.join();
  return fRead;
}

namespace {

namespace fs = std::filesystem;

fs::file_status StatusOf(const std::u16string& APath, bool AFollow = false) {
  std::error_code error;
  const fs::path path = U16ToPath(FullPathName(APath, true));
  return AFollow ? fs::status(path, error) : fs::symlink_status(path, error);
}

std::u16string FolderOf(const std::u16string& APath) {
  const size_t slash = APath.find_last_of(PathDelimiter);
  return slash == std::u16string::npos ? std::u16string() : APath.substr(0, slash ? slash : 1);
}

} // namespace

std::u16string TRenamePlan::Warning(size_t AIndex, bool AParents) const {
  const TPlannedMove& move = fMoves[AIndex];
  const std::u16string destination = FullPathName(move.Destination, false);
  for (size_t i = 0; i < AIndex; ++i) {
    if (IsSamePathText(FullPathName(fMoves[i].Destination, false), destination))
      return u"the same new name as the line of " + fMoves[i].Old +
             u" above: only one of them can have it";
  }
  const std::u16string folder = FolderOf(destination);
  if (!folder.empty() && !fs::is_directory(StatusOf(folder, true)) && !MadeByAMove(folder)) {
    if (!AParents) return u"no folder " + folder + u" (-p would make it)";
    if (!IsBelow(folder)) return u"no folder " + folder + u", and -p makes none outside DIR";
    return {};
  }
  const fs::file_status there = StatusOf(destination);
  if (!fs::exists(there) || IsSameFile(move.Source, destination)) return {};
  if (fs::is_directory(there)) return u"the new name is an existing folder";
  // A file that a later line (or this line's own cycle) renames: the move waits for a
  // question, which Overwrite answers by completing the swap, shift or cycle.
  for (size_t i = AIndex; i < fMoves.size(); ++i) {
    if (IsSamePathText(FullPathName(fMoves[i].Source, false), destination))
      return u"a swap, shift or cycle: stops at a question, which Overwrite completes";
  }
  for (size_t i = 0; i < AIndex; ++i) {
    if (IsSamePathText(FullPathName(fMoves[i].Source, false), destination)) return {};
  }
  return u"the new name is taken by a file the list does not rename (Overwrite would "
         u"replace it)";
}

bool TRenamePlan::IsBelow(const std::u16string& APath) const {
  return RealPathBelow(APath, fDirectory);
}

bool TRenamePlan::MadeByAMove(const std::u16string& AFolder) const {
  const fs::path folder = U16ToPath(AFolder).lexically_normal();
  for (const auto& move : fMoves) {
    const fs::path destination = U16ToPath(move.Destination).lexically_normal();
    const fs::path below = folder.lexically_relative(destination);
    if (below.empty() || *below.begin() == "..") continue;
    if (below == ".") return true;
    std::error_code error;
    if (fs::is_directory(U16ToPath(FullPathName(PathToU16(U16ToPath(move.Source) / below), true)),
                         error))
      return true;
  }
  return false;
}

std::u16string TRenamePlan::Text(bool AParents) const {
  std::u16string text;
  size_t marked = 0;
  for (size_t i = 0; i < fMoves.size(); ++i) {
    text += MoveLine(fMoves[i]);
    const std::u16string warning = Warning(i, AParents);
    if (warning.empty()) continue;
    ++marked;
    text += u"   ! " + EscapeControlCharacters(warning) + u"\n";
  }
  text += CountOfLines(fMoves.size());
  if (marked > 0)
    text += u"; " + Utf8ToUtf16(std::to_string(marked)) + u" will not go through as written";
  return text + u"\n";
}

void TRenamePlan::NoteSources() {
  TIdentities identities;
  for (auto& move : fMoves) {
    if (move.Looked) continue;
    move.Known = identities.Find(move.Source, move.Before);
    move.Looked = true;
  }
}

std::vector<bool> TRenamePlan::Outcome() const {
  std::vector<bool> outcome;
  outcome.reserve(fMoves.size());
  TIdentities identities;
  // The lines by their source, to follow a path that a later line's folder move carried.
  std::unordered_map<std::u16string, std::vector<size_t>> bySource;
  for (size_t i = 0; i < fMoves.size(); ++i)
    bySource[fMoves[i].Source].push_back(i);
  const auto carried = [&](std::u16string APath, size_t AAfter) {
    for (size_t at = APath.size(); at-- > fDirectory.size();) {
      if (APath[at] != PathDelimiter) continue;
      const auto found = bySource.find(APath.substr(0, at));
      if (found == bySource.end() || found->second.back() <= AAfter) continue;
      const size_t line = *std::upper_bound(found->second.begin(), found->second.end(), AAfter);
      APath = fMoves[line].Destination + APath.substr(at);
      AAfter = line;
      at = APath.size();
    }
    return APath;
  };
  for (size_t i = 0; i < fMoves.size(); ++i) {
    TPlannedMove move = fMoves[i];
    move.Source = carried(move.Source, i);
    move.Destination = carried(move.Destination, i);
    outcome.push_back(TookEffect(move, identities));
  }
  return outcome;
}

std::u16string TRenamePlan::Done(const std::vector<bool>& AOutcome) const {
  std::u16string text;
  for (size_t i = 0; i < fMoves.size(); ++i) {
    if (AOutcome[i]) text += MoveLine(fMoves[i]);
  }
  return text;
}

std::u16string TRenamePlan::Summary(const std::vector<bool>& AOutcome) const {
  const size_t done = static_cast<size_t>(std::count(AOutcome.begin(), AOutcome.end(), true));
  std::u16string text =
      u"renamed " + Utf8ToUtf16(std::to_string(done)) + u" of " + CountOfLines(fMoves.size());
  if (done < fMoves.size())
    text += u"; " + Utf8ToUtf16(std::to_string(fMoves.size() - done)) + u" not renamed";
  return text + u"\n";
}

} // namespace host
