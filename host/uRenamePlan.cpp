#include "uRenamePlan.h"

#include "filelist/uListFormat.h"
#include "filelist/uListRenames.h"
#include "filelist/uSavedList.h"
#include "files/uStrings.h"
#include "uHostText.h"

#include <unordered_map>

namespace host {

namespace {

std::u16string MoveLine(const TPlannedMove& AMove) {
  return EscapeControlCharacters(AMove.Old) + u" -> " + EscapeControlCharacters(AMove.New) + u"\n";
}

std::u16string CountOfLines(size_t ACount) {
  return Utf8ToU16(std::to_string(ACount)) + (ACount == 1 ? u" changed line" : u" changed lines");
}

// The identities of files as they are at one moment, each folder read once where the
// platform allows: the summary's look-ups cost next to nothing beside the renames.
class TIdentities {
public:
  bool Find(const std::u16string& APath, TFileIdentity& AIdentity) {
    const size_t slash = APath.find_last_of(PathDelimiter);
    const std::u16string name = slash == std::u16string::npos ? APath : APath.substr(slash + 1);
    if (slash == std::u16string::npos || name.empty() || name == u"." || name == u"..")
      return GetFileIdentity(APath, AIdentity);
    const std::u16string folderName = APath.substr(0, slash == 0 ? 1 : slash);
    auto found = fFolders.find(folderName);
    if (found == fFolders.end()) {
      TFolder folder;
      folder.Listed = ReadFolderIdentities(folderName, folder.Entries);
      found = fFolders.emplace(folderName, std::move(folder)).first;
    }
    const TFolder& folder = found->second;
    if (!folder.Listed) return GetFileIdentity(APath, AIdentity);
    const auto entry = folder.Entries.Indexes.find(U16ToUtf8(name));
    if (entry == folder.Entries.Indexes.end()) return false;
    AIdentity.Volume = folder.Entries.Volume;
    AIdentity.Index = entry->second;
    return true;
  }

private:
  struct TFolder {
    bool Listed = false;
    TFolderIdentities Entries;
  };
  std::unordered_map<std::u16string, TFolder> fFolders;
};

bool TookEffect(const TPlannedMove& AMove, TIdentities& AIdentities) {
  TFileIdentity now, source;
  if (!AMove.Known || !AIdentities.Find(AMove.Destination, now)) return false;
  return now == AMove.Before || !AIdentities.Find(AMove.Source, source);
}

} // namespace

bool TRenamePlan::Read(const std::u16string& AListFile, const std::u16string& ADirectory) {
  fMoves.clear();
  TSavedList lines;
  if (!LoadSavedList(AListFile, lines)) return false;
  std::u16string directory = ADirectory;
  if (directory.empty() || directory.back() != PathDelimiter) directory += PathDelimiter;
  TEntryPaths paths;
  for (const std::u16string& line : lines) {
    if (!GetEntryPaths(line, directory, paths)) continue;
    TPlannedMove move;
    SplitListLine(line, move.Old, move.New);
    move.Source = std::move(paths.Source);
    move.Destination = std::move(paths.Destination);
    fMoves.push_back(std::move(move));
  }
  return true;
}

std::u16string TRenamePlan::Text() const {
  std::u16string text;
  for (const auto& move : fMoves)
    text += MoveLine(move);
  return text + CountOfLines(fMoves.size()) + u"\n";
}

void TRenamePlan::NoteSources() {
  TIdentities identities;
  for (auto& move : fMoves)
    move.Known = identities.Find(move.Source, move.Before);
}

std::vector<bool> TRenamePlan::Outcome() const {
  std::vector<bool> outcome;
  outcome.reserve(fMoves.size());
  TIdentities identities;
  for (const auto& move : fMoves)
    outcome.push_back(TookEffect(move, identities));
  return outcome;
}

std::u16string TRenamePlan::Summary(const std::vector<bool>& AOutcome, bool AVerbose) const {
  std::u16string text;
  size_t done = 0;
  for (size_t i = 0; i < fMoves.size(); ++i) {
    if (!AOutcome[i]) continue;
    ++done;
    if (AVerbose) text += MoveLine(fMoves[i]);
  }
  text += u"renamed " + Utf8ToU16(std::to_string(done)) + u" of " + CountOfLines(fMoves.size());
  if (done < fMoves.size())
    text += u"; " + Utf8ToU16(std::to_string(fMoves.size() - done)) + u" not renamed";
  return text + u"\n";
}

} // namespace host
