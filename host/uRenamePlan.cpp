#include "uRenamePlan.h"

#include "filelist/uSameFile.h"
#include "files/uStrings.h"
#include "list/uListFormat.h"
#include "list/uPathNames.h"
#include "list/uUnreadLines.h"
#include "system/uFilesystemPath.h"
#include "system/uSystem.h"
#include "system/uUtf8.h"
#include "system/uWindows.h"
#include "uHostMessages.h"
#include "uHostPanel.h"
#include "uHostPlatform.h"
#include "uHostText.h"

#include <algorithm>
#include <filesystem>

namespace host {

namespace {

std::u16string MoveLine(const std::u16string& AOld, const std::u16string& ANew) {
  return EscapeControlCharacters(AOld) + u" -> " + EscapeControlCharacters(ANew);
}

// Each folder above APath up to ADirectory (not included), deepest first.
template <typename TVisit>
void ForEachFolderOf(const std::u16string& APath, size_t ADirectory, TVisit AVisit) {
  for (size_t at = APath.size(); at-- > ADirectory;) {
    if (APath[at] == PathDelimiter && AVisit(at)) return;
  }
}

} // namespace

TRenamePlan::TRenamePlan(const std::u16string& ADirectory) : fDirectory(ADirectory) {
  if (fDirectory.empty() || fDirectory.back() != PathDelimiter) fDirectory += PathDelimiter;
}

bool TRenamePlan::Read(const std::u16string& AListFile, const std::u16string& AHeader) {
  fLines.Clear();
  fItems.clear();
  fNotRead.clear();
  fMovesMade = false;
  if (!LoadSavedList(AListFile, fLines)) return false;
  const std::vector<std::u16string_view> header = HeaderLines(AHeader);
  TEntryPaths paths;
  // The folders that hold another line's name: only a line that moves one of them
  // carries the files of other lines along.
  std::unordered_set<std::u16string> holding;
  const auto noteFolders = [&](const std::u16string& APath) {
    ForEachFolderOf(APath, fDirectory.size(),
                    [&](size_t AAt) { return !holding.insert(APath.substr(0, AAt)).second; });
  };
  size_t number = 0;
  for (const TListLine& line : fLines) {
    ++number;
    const bool readable = IsReadable(line, number, header);
    const bool moves = GetEntryPaths(line, fDirectory, paths);
    if (readable && !moves) continue;
    if (!readable) fNotRead.push_back(uint32_t(fItems.size()));
    fItems.push_back(uint32_t(number - 1));
    if (!moves) continue;
    noteFolders(paths.Destination);
    noteFolders(paths.Source);
  }
  if (!holding.empty()) {
    for (size_t item = 0; item < fItems.size(); ++item) {
      if (!Paths(item, paths)) continue;
      if (holding.count(paths.Source)) fBySource[paths.Source].push_back(uint32_t(item));
      if (holding.count(paths.Destination))
        fByDestination[paths.Destination].push_back(uint32_t(item));
    }
  }
  NoteBefores();
  return true;
}

bool TRenamePlan::Paths(size_t AItem, TEntryPaths& APaths) const {
  TListLine line;
  fLines.Get(fItems[AItem], line);
  return GetEntryPaths(line, fDirectory, APaths);
}

std::u16string TRenamePlan::Carried(std::u16string APath, size_t AItem, bool ALater) const {
  const auto& moves = ALater ? fBySource : fByDestination;
  if (moves.empty()) return APath;
  TEntryPaths paths;
  for (bool again = true; again;) {
    again = false;
    ForEachFolderOf(APath, fDirectory.size(), [&](size_t AAt) {
      const auto found = moves.find(APath.substr(0, AAt));
      if (found == moves.end()) return false;
      const std::vector<uint32_t>& items = found->second;
      // The first move of that folder after the line, or the last one before it.
      auto other = ALater ? std::upper_bound(items.begin(), items.end(), AItem)
                          : std::lower_bound(items.begin(), items.end(), AItem);
      if (ALater ? other == items.end() : other == items.begin()) return false;
      if (!ALater) --other;
      Paths(*other, paths);
      APath = (ALater ? paths.Destination : paths.Source) + APath.substr(AAt);
      AItem = *other;
      return again = true;
    });
  }
  return APath;
}

void TRenamePlan::NoteBefores() {
  // A name below a folder that an earlier line moves was, before the first move, where
  // that folder was.
  const auto sourceOf = [this](size_t AItem) {
    TEntryPaths paths;
    Paths(AItem, paths);
    return Carried(paths.Source, AItem, false);
  };
  fBefore = TIdentityBatch(fItems.size());
  for (size_t item = 0; item < fItems.size(); ++item)
    if (!IsNotRead(item)) fBefore.Want(item, sourceOf(item));
  fBefore.Read(sourceOf);
}

bool TRenamePlan::IsNotRead(size_t AItem) const {
  return std::binary_search(fNotRead.begin(), fNotRead.end(), uint32_t(AItem));
}

std::vector<TLineOutcome> TRenamePlan::Outcomes(const TJobEvents& AEvents) const {
  // Where each line's file should be now: its new name, carried along by a later line
  // that moved a folder above it.
  const auto destinationOf = [this](size_t AItem) {
    TEntryPaths paths;
    Paths(AItem, paths);
    return Carried(paths.Destination, AItem, true);
  };
  TIdentityBatch identities(fItems.size());
  for (size_t item = 0; item < fItems.size(); ++item)
    if (!IsNotRead(item)) identities.Want(item, destinationOf(item));
  identities.Read(destinationOf);

  std::vector<TLineOutcome> outcomes;
  outcomes.reserve(fItems.size());
  TEntryPaths paths;
  for (size_t item = 0; item < fItems.size(); ++item) {
    if (IsNotRead(item)) {
      outcomes.push_back(loNotRead);
      continue;
    }
    win::FILE_IDENTITY before, now, source;
    const TFound found = fBefore.Find(item, before);
    if (found != fdFile) {
      outcomes.push_back(found == fdNothing ? loNoSuchFile : loUnknown);
      continue;
    }
    const TFound there = identities.Find(item, now);
    if (there == fdFile && now == before) {
      outcomes.push_back(loRenamed);
      continue;
    }
    Paths(item, paths);
    // A file moved to another volume is another file there; its old name is gone.
    if (there == fdFile && now.Volume != before.Volume &&
        IdentityOf(Carried(paths.Source, item, true), source) == fdNothing)
      outcomes.push_back(loRenamed);
    else if (AEvents.SkipAll || AEvents.Skipped.count(VisiblePath(paths.Destination)))
      outcomes.push_back(loSkipped);
    else
      outcomes.push_back(AEvents.Cancelled ? loCancelled : loFailed);
  }
  return outcomes;
}

std::u16string TRenamePlan::LineText(size_t AItem, TLineOutcome AOutcome, bool AWhy) const {
  static const THostText Why[] = {
      htWhySkipped /* unused */, htWhySkipped,   htWhyFailed, htWhyNotRead,
      htWhyNoSuchFile,           htWhyCancelled, htWhyUnknown};
  TListLine line;
  fLines.Get(fItems[AItem], line);
  std::u16string text = line.Renames()
                            ? MoveLine(line.Source, line.Destination)
                            : Say(htLineNumber, {DecimalText(fItems[AItem] + 1)}) + u": " +
                                  EscapeControlCharacters(line.Named() ? line.Shown() : line.Text);
  if (AWhy && AOutcome != loRenamed) text += u": " + Say(Why[AOutcome]);
  return text;
}

std::u16string TRenamePlan::Summary(const std::vector<TLineOutcome>& AOutcomes) const {
  size_t counts[loUnknown + 1] = {};
  for (TLineOutcome outcome : AOutcomes)
    ++counts[outcome];
  const size_t moves = AOutcomes.size() - fNotRead.size();
  std::u16string text = Say(htRenamedOf, {DecimalText(counts[loRenamed]), DecimalText(moves)});
  const std::pair<TLineOutcome, THostText> others[] = {{loSkipped, htSkippedOrFailed},
                                                       {loNotRead, htNotRead},
                                                       {loNoSuchFile, htNoSuchFiles},
                                                       {loCancelled, htCancelled},
                                                       {loUnknown, htUnknown}};
  for (const auto& other : others) {
    size_t count = counts[other.first];
    if (other.first == loSkipped) count += counts[loFailed];
    if (count > 0) text += u"; " + Say(other.second, {DecimalText(count)});
  }
  return text + u"\n";
}

const std::vector<TPlannedMove>& TRenamePlan::Moves() const {
  if (fMovesMade) return fMoves;
  fMoves.clear();
  TEntryPaths paths;
  for (size_t item = 0; item < fItems.size(); ++item) {
    if (!IsMove(item) || !Paths(item, paths)) continue;
    TListLine line;
    fLines.Get(fItems[item], line);
    fMoves.push_back({line.Source, line.Destination, paths.Source, paths.Destination});
  }
  fMovesMade = true;
  return fMoves;
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
  const std::vector<TPlannedMove>& moves = Moves();
  const TPlannedMove& move = moves[AIndex];
  const std::u16string destination = FullPathName(move.Destination, false);
  for (size_t i = 0; i < AIndex; ++i) {
    if (IsSamePathText(FullPathName(moves[i].Destination, false), destination))
      return Say(htSameNewName, {moves[i].Old});
  }
  const std::u16string folder = FolderOf(destination);
  if (!folder.empty() && !fs::is_directory(StatusOf(folder, true)) && !MadeByAMove(folder)) {
    if (!AParents) return Say(htNoFolder, {folder});
    if (!IsBelow(folder)) return Say(htNoFolderOutside, {folder});
    return {};
  }
  const fs::file_status there = StatusOf(destination);
  if (!fs::exists(there) || IsSameFile(move.Source, destination)) return {};
  if (fs::is_directory(there)) return Say(htNewNameIsFolder);
  // A file that a later line (or this line's own cycle) renames: the move waits for a
  // question, which Overwrite answers by completing the swap, shift or cycle.
  for (size_t i = AIndex; i < moves.size(); ++i) {
    if (IsSamePathText(FullPathName(moves[i].Source, false), destination))
      return Say(htSwapShiftOrCycle);
  }
  for (size_t i = 0; i < AIndex; ++i) {
    if (IsSamePathText(FullPathName(moves[i].Source, false), destination)) return {};
  }
  return Say(htTakenByAnotherFile);
}

bool TRenamePlan::IsBelow(const std::u16string& APath) const {
  return RealPathBelow(APath, fDirectory);
}

bool TRenamePlan::MadeByAMove(const std::u16string& AFolder) const {
  const fs::path folder = U16ToPath(AFolder).lexically_normal();
  for (const auto& move : Moves()) {
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
  const std::vector<TPlannedMove>& moves = Moves();
  std::u16string text;
  size_t marked = 0;
  for (size_t i = 0; i < moves.size(); ++i) {
    text += MoveLine(moves[i].Old, moves[i].New) + u"\n";
    const std::u16string warning = Warning(i, AParents);
    if (warning.empty()) continue;
    ++marked;
    text += u"   ! " + EscapeControlCharacters(warning) + u"\n";
  }
  text +=
      moves.size() == 1 ? Say(htOneChangedLine) : Say(htChangedLines, {DecimalText(moves.size())});
  if (marked > 0) text += u"; " + Say(htWillNotGoThrough, {DecimalText(marked)});
  return text + u"\n";
}

} // namespace host
