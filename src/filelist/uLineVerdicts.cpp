#include "filelist/uLineVerdicts.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "filelist/uFileList.h"
#include "filelist/uOwnSpelling.h"
#include "filelist/uSameFile.h"
#include "list/uLinePaths.h"
#include "list/uPathNames.h"
#include "list/uWrittenList.h"
#include "system/uWindows.h"

namespace {

// Paths as the file system tells names apart: exactly on POSIX, without regard to case on
// Windows.
template <typename T> using TPathMap = std::unordered_map<std::u16string, T, TPathHash, TPathEqual>;
using TPathSet = std::unordered_set<std::u16string, TPathHash, TPathEqual>;

bool IsWritten(const TWrittenList& AWritten, const std::u16string& AName) {
  return std::binary_search(AWritten.Names.begin(), AWritten.Names.end(), WrittenNameHash(AName));
}

// Whether a line that is not an entry is one of the header's lines as written.
bool IsHeaderLine(const std::u16string& AText, const std::vector<std::u16string_view>& AHeader) {
  return std::find(AHeader.begin(), AHeader.end(), AText) != AHeader.end();
}

// Whether AVisit answers true for a folder above APath, asked deepest first.
template <typename TVisit> bool AnyFolderOf(const std::u16string& APath, TVisit AVisit) {
  for (size_t at = APath.size(); at-- > 0;)
    if (IsPathDelimiter(APath[at]) && AVisit(APath.substr(0, at))) return true;
  return false;
}

// The lines' paths in their own spelling, and who gives and who takes each name.
class TJudge {
public:
  TJudge(const TSavedList& ALines, const std::u16string& ADirectory, bool AOwnFolder,
         const TWrittenList& AWritten, TJudgeDepth ADepth)
      : fLines(ALines), fDirectory(ADirectory), fOwnFolder(AOwnFolder), fWritten(AWritten),
        fDepth(ADepth), fVerdicts(ALines.size()) {}

  std::vector<TJudgement> Run();

private:
  void JudgeLine(size_t ALine, const TListLine& ALineText, bool& AEntrySeen);
  void JudgeMove(size_t ALine, const TListLine& ALineText, const TEntryPaths& APaths, bool AMoves);
  TJudgement JudgeDestination(size_t ALine, const TEntryPaths& APaths, const std::u16string& AFrom,
                              const std::u16string& ATo);
  // Whether an earlier line gives APath, or a folder above it, by its move.
  bool GivenEarlier(const std::u16string& APath, size_t ALine);
  bool IsFolder(const std::u16string& AFolder);
  // Every line's move, for the verdicts that look ahead.
  const TLineMoves& Moves();

  const TSavedList& fLines;
  const std::u16string& fDirectory;
  const bool fOwnFolder;
  const TWrittenList& fWritten;
  const TJudgeDepth fDepth;
  std::vector<TJudgement> fVerdicts;
  std::vector<std::u16string_view> fHeader;
  TOwnSpelling fSpelling;
  // In line order, the names given by the lines judged so far (with the line) and those
  // that they moved away.
  TPathMap<uint32_t> fGiven;
  TPathSet fVacated;
  std::unique_ptr<TLineMoves> fMoves; // made when first needed
  TPathMap<bool> fFolders;            // whether each folder looked at is one
};

std::vector<TJudgement> TJudge::Run() {
  fHeader = HeaderLines(fWritten.Header);
  if (fDepth == jdEvery) Moves();
  bool entrySeen = false;
  size_t index = 0;
  for (const TListLine& line : fLines)
    JudgeLine(index++, line, entrySeen);
  return std::move(fVerdicts);
}

const TLineMoves& TJudge::Moves() {
  if (!fMoves) fMoves = std::make_unique<TLineMoves>(fLines, fDirectory, fOwnFolder, fSpelling);
  return *fMoves;
}

void TJudge::JudgeLine(size_t ALine, const TListLine& ALineText, bool& AEntrySeen) {
  TJudgement& verdict = fVerdicts[ALine];
  if (ALineText.Kind == lkBlank) return;
  if (ALineText.Kind == lkOther) {
    // The header is known by its text, wherever the user left it; a line above the first
    // entry that does not start as an entry does is a header line the user changed.
    if (IsHeaderLine(ALineText.Text, fHeader)) return;
    const bool headerPlace = !AEntrySeen && !ALineText.Text.empty() && ALineText.Text[0] != u'"';
    verdict.Verdict = headerPlace ? vdHeaderChanged : vdNotRead;
    return;
  }
  AEntrySeen = true;
  if (ALineText.Unread()) {
    verdict.Verdict = vdNotRead;
    return;
  }
  if (!ALineText.Renames()) return;
  // The engine asks only what is set aside: a first column as written never is, and costs
  // nothing here (its file is looked for when it moves).
  if (fDepth == jdSetAside && IsWritten(fWritten, ALineText.Source)) return;
  // A line whose two names are one path still names a file: a replace over both columns
  // may have made it name none.
  TEntryPaths paths;
  const bool moves = GetEntryPaths(ALineText, fDirectory, paths, fOwnFolder);
  JudgeMove(ALine, ALineText, paths, moves);
}

void TJudge::JudgeMove(size_t ALine, const TListLine& ALineText, const TEntryPaths& APaths,
                       bool AMoves) {
  TJudgement& verdict = fVerdicts[ALine];
  verdict.Verdict = vdRenames;
  const bool written = IsWritten(fWritten, ALineText.Source);
  win::DWORD attributes;
  const bool there =
      APaths.SourceValid && TFileList::FileExistsWithAttributes(APaths.Source, attributes);
  if (!there && !(APaths.SourceValid && GivenEarlier(APaths.Source, ALine)))
    verdict.Verdict = written ? vdVanished : vdNoSuchFile;
  if (!AMoves && verdict.Verdict != vdNoSuchFile) verdict.Verdict = vdNothing;
  if (fDepth == jdSetAside || !AMoves) return;

  const std::u16string from = APaths.SourceValid ? fSpelling.Of(APaths.Source) : APaths.Source;
  const std::u16string to = fSpelling.Of(APaths.Destination);
  if (verdict.Verdict == vdRenames) verdict = JudgeDestination(ALine, APaths, from, to);
  if (IsSetAside(verdict.Verdict)) return;
  // The moves of this line as the later ones find them.
  fGiven.erase(from);
  fVacated.insert(from);
  fGiven.emplace(to, uint32_t(ALine));
  fVacated.erase(to);
}

TJudgement TJudge::JudgeDestination(size_t ALine, const TEntryPaths& APaths,
                                    const std::u16string& AFrom, const std::u16string& ATo) {
  if (!APaths.DestinationValid) return {vdNoFolder, NoOtherLine};
  const auto given = fGiven.find(ATo);
  if (given != fGiven.end()) return {vdSameNewName, given->second};
  if (fVacated.count(ATo)) return {vdRenames, NoOtherLine};
  win::DWORD attributes;
  if (TFileList::FileExistsWithAttributes(APaths.Destination, attributes)) {
    const bool ownEntry =
        IsSamePathText(AFrom, ATo) || IsOwnEntryInAnotherCase(APaths.Source, APaths.Destination);
    if (ownEntry) return {vdRenames, NoOtherLine};
    if ((attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0) return {vdNewNameIsFolder, NoOtherLine};
    const uint32_t other = Moves().LaterSource(ATo, ALine);
    return {other == NoOtherLine ? vdTakenByOther : vdTakenByLater, other};
  }
  const std::u16string folder = FolderPart(ATo);
  if (folder.empty() || IsFolder(folder) || GivenEarlier(ATo, ALine))
    return {vdRenames, NoOtherLine};
  const uint32_t later = Moves().LaterFolderMaker(ATo, ALine);
  return {later == NoOtherLine ? vdNoFolder : vdFolderByLater, later};
}

bool TJudge::GivenEarlier(const std::u16string& APath, size_t ALine) {
  const std::u16string path = fSpelling.Of(APath);
  if (fDepth == jdEvery)
    return fGiven.count(path) > 0 || AnyFolderOf(path, [&](const std::u16string& AFolder) {
             return fGiven.count(AFolder) > 0;
           });
  // Only a first column that is neither written nor there asks this of the engine: the
  // names that all lines give are found then, once.
  return Moves().GivenBefore(path, ALine);
}

bool TJudge::IsFolder(const std::u16string& AFolder) {
  const auto found = fFolders.find(AFolder);
  if (found != fFolders.end()) return found->second;
  win::DWORD attributes;
  const bool folder = TFileList::FileExistsWithAttributes(AFolder, attributes) &&
                      (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
  return fFolders.emplace(AFolder, folder).first->second;
}

} // namespace

TLineMoves::TLineMoves(const TSavedList& ALines, const std::u16string& ADirectory, bool AOwnFolder,
                       TOwnSpelling& ASpelling) {
  TEntryPaths paths;
  size_t index = 0;
  for (const TListLine& line : ALines) {
    const uint32_t i = uint32_t(index++);
    if (!GetEntryPaths(line, ADirectory, paths, AOwnFolder)) continue;
    if (paths.SourceValid) fBySource.emplace(ASpelling.Of(paths.Source), i);
    if (paths.DestinationValid) fByDestination.emplace(ASpelling.Of(paths.Destination), i);
  }
}

uint32_t TLineMoves::After(const TLinesByPath& ALines, const std::u16string& APath, size_t ALine) {
  uint32_t first = NoOtherLine;
  const auto range = ALines.equal_range(APath);
  for (auto at = range.first; at != range.second; ++at)
    if (at->second > ALine && at->second < first) first = at->second;
  return first;
}

bool TLineMoves::Before(const TLinesByPath& ALines, const std::u16string& APath, size_t ALine) {
  const auto range = ALines.equal_range(APath);
  for (auto at = range.first; at != range.second; ++at)
    if (at->second < ALine) return true;
  return false;
}

uint32_t TLineMoves::LaterSource(const std::u16string& APath, size_t ALine) const {
  return After(fBySource, APath, ALine);
}

uint32_t TLineMoves::LaterFolderMaker(const std::u16string& APath, size_t ALine,
                                      size_t* AFolderLength) const {
  uint32_t later = NoOtherLine;
  AnyFolderOf(APath, [&](const std::u16string& AFolder) {
    later = After(fByDestination, AFolder, ALine);
    if (later != NoOtherLine && AFolderLength) *AFolderLength = AFolder.size();
    return later != NoOtherLine;
  });
  return later;
}

bool TLineMoves::GivenBefore(const std::u16string& APath, size_t ALine) const {
  const auto before = [&](const std::u16string& AName) {
    return Before(fByDestination, AName, ALine);
  };
  return before(APath) || AnyFolderOf(APath, before);
}

std::vector<TJudgement> JudgeLines(const TSavedList& ALines, const std::u16string& ADirectory,
                                   bool AOwnFolder, const TWrittenList& AWritten,
                                   TJudgeDepth ADepth) {
  return TJudge(ALines, ADirectory, AOwnFolder, AWritten, ADepth).Run();
}
