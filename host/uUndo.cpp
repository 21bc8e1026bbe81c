#include "uUndo.h"

#include <algorithm>
#include <ctime>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "files/uStreams.h"
#include "files/uStrings.h"
#include "list/uListFormat.h"
#include "list/uPathNames.h"
#include "system/uFilesystemPath.h"
#include "system/uSystem.h"
#include "system/uUtf8.h"
#include "uHostMessages.h"
#include "uHostPanel.h"
#include "uHostPlatform.h"

namespace host {

namespace {

// The summary names at most this many moves left alone without -v.
constexpr size_t NamedMoves = 5;

bool IsKnown(const win::FILE_IDENTITY& AIdentity) {
  return AIdentity.Volume != 0 || AIdentity.Index != 0;
}

bool HasIdentity(const std::u16string& APath, const win::FILE_IDENTITY& AIdentity) {
  win::FILE_IDENTITY identity;
  return win::GetFileIdentity(APath.c_str(), 0, &identity) && identity == AIdentity;
}

// The parts of a full path between its delimiters.
std::vector<std::u16string> Parts(const std::u16string& APath) {
  std::vector<std::u16string> parts;
  size_t start = 0;
  for (size_t at = 0; at <= APath.size(); ++at) {
    if (at < APath.size() && !IsPathDelimiter(APath[at])) continue;
    if (at > start || parts.empty()) parts.push_back(APath.substr(start, at - start));
    start = at + 1;
  }
  return parts;
}

// A name of the record as the list of ADirectory spells it: below it as it is, else by
// ".." from it. False for a path on another root (a drive of its own).
bool ListName(const std::u16string& ADirectory, const std::u16string& AName,
              std::u16string& AListName) {
  if (!U16ToPath(AName).is_absolute()) {
    AListName = AName;
    return true;
  }
  const std::vector<std::u16string> from = Parts(ADirectory), to = Parts(AName);
  size_t common = 0;
  while (common < from.size() && common < to.size() && IsSamePathText(from[common], to[common]))
    ++common;
  if (common == 0) return false;
  AListName.clear();
  for (size_t i = common; i < from.size(); ++i)
    AListName += std::u16string(u"..") + PathDelimiter;
  for (size_t i = common; i < to.size(); ++i)
    AListName += to[i] + (i + 1 < to.size() ? std::u16string(1, PathDelimiter) : u"");
  return !AListName.empty();
}

// The folders of APath and APath itself, the longest first, down to (not including)
// ADirectory when APath lies below it.
std::vector<std::u16string> PathAndFolders(const std::u16string& APath, size_t AStop) {
  std::vector<std::u16string> paths{APath};
  for (size_t at = APath.size(); at-- > AStop + 1;)
    if (IsPathDelimiter(APath[at])) paths.push_back(APath.substr(0, at));
  return paths;
}

std::u16string LocalTime(int64_t ATime) {
  const std::time_t time = std::time_t(ATime);
  const std::tm* local = std::localtime(&time);
  char text[32];
  if (!local || std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", local) == 0) return u"?";
  return Utf8ToUtf16(text);
}

// The directory ADirectory names, in full as the records hold it; empty for none.
bool FullDirectory(const std::u16string& ADirectory, std::u16string& AFull,
                   std::u16string& AError) {
  AFull.clear();
  if (ADirectory.empty()) return true;
  std::string error;
  if (PanelDirectory(ADirectory, AFull, error)) return true;
  AError = Utf8ToUtf16(error);
  return false;
}

} // namespace

bool TUndo::Choose(const TRunOptions& AOptions, std::u16string& AError) {
  std::vector<TJobRecord> records;
  std::u16string directory;
  if (!FullDirectory(AOptions.Directory, directory, AError) || !ListRecords(records, AError))
    return false;
  for (TJobRecord& record : records) {
    if (record.Undone || (record.Kind == rkUndo) != AOptions.Redo) continue;
    if (!directory.empty() && !IsSamePathText(record.Directory, directory)) continue;
    fRecord = std::move(record);
    return ReadRecord(fRecord, AError);
  }
  AError = directory.empty() ? Say(AOptions.Redo ? htNothingToRedo : htNothingToUndo)
                             : Say(AOptions.Redo ? htNothingToRedoIn : htNothingToUndoIn,
                                   {VisiblePath(directory)});
  return false;
}

bool TUndo::Plan() {
  const std::vector<TRecordedMove>& moves = fRecord.Moves;
  const size_t count = moves.size();
  std::u16string directory = fRecord.Directory;
  if (directory.empty() || !IsPathDelimiter(directory.back())) directory += PathDelimiter;
  // The next move of each file (by its identity), and the moves of each folder by the name
  // it had: where a file is now follows from the moves after its own.
  std::vector<size_t> order(count), nextOfFile(count, count);
  for (size_t i = 0; i < count; ++i)
    order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t A, size_t B) {
    return moves[A].Identity < moves[B].Identity ||
           (moves[A].Identity == moves[B].Identity && A < B);
  });
  for (size_t k = 0; k + 1 < count; ++k)
    if (moves[order[k]].Identity == moves[order[k + 1]].Identity &&
        IsKnown(moves[order[k]].Identity))
      nextOfFile[order[k]] = order[k + 1];
  std::map<std::u16string, std::vector<size_t>, TPathLess> byFolder;
  std::vector<std::u16string> olds(count), nows(count);
  for (size_t i = 0; i < count; ++i) {
    olds[i] = fRecord.FullPath(moves[i].Old);
    nows[i] = fRecord.FullPath(moves[i].New);
    if (moves[i].Identity.Directory) byFolder[olds[i]].push_back(i);
  }
  // The first of AMoves after AAfter, or count.
  const auto firstAfter = [count](const std::vector<size_t>& AMoves, size_t AAfter) {
    const auto later = std::upper_bound(AMoves.begin(), AMoves.end(), AAfter);
    return later == AMoves.end() ? count : *later;
  };
  std::vector<std::vector<size_t>> carriers(count); // the later moves of folders above it
  for (size_t i = 0; i < count; ++i) {
    std::u16string& now = nows[i];
    for (size_t after = i, again = nextOfFile[i];;) {
      while (again <= after)
        again = nextOfFile[again];
      size_t next = again;
      bool folder = false;
      if (!byFolder.empty()) {
        const size_t stop = IsAtOrBelow(now, directory) ? directory.size() - 1 : 0;
        for (const std::u16string& path : PathAndFolders(now, stop)) {
          const auto found = path.size() < now.size() ? byFolder.find(path) : byFolder.end();
          const size_t later = found == byFolder.end() ? count : firstAfter(found->second, after);
          if (later < next) next = later, folder = true;
        }
      }
      if (next == count) break;
      if (folder) {
        carriers[i].push_back(next);
        CarryAlong(now, olds[next], fRecord.FullPath(moves[next].New));
      } else {
        now = fRecord.FullPath(moves[next].New);
      }
      after = next;
    }
  }
  // Where the files are now, and what has their old names: one look-up.
  std::vector<std::u16string> paths = std::move(nows);
  paths.insert(paths.end(), olds.begin(), olds.end());
  const std::vector<win::FILE_IDENTITY> found = IdentitiesOf(paths);
  std::vector<bool> left(count, false);
  fMoves.clear();
  fTaken.clear();
  fSources.clear();
  fDestinations.clear();
  fLeft.clear();
  for (size_t i = count; i-- > 0;) {
    std::u16string source, destination;
    TLeftAlone why = laElsewhere;
    const bool carriedByOneLeft =
        std::any_of(carriers[i].begin(), carriers[i].end(), [&](size_t k) { return left[k]; });
    if (!IsKnown(moves[i].Identity))
      why = laUnknown;
    else if (carriedByOneLeft)
      why = laFolderLeftAlone;
    else if (found[i] != moves[i].Identity)
      why = found[count + i] == moves[i].Identity ? laBack
            : IsKnown(found[i])                   ? laReplaced
                                                  : laGone;
    else if (ListName(directory, moves[i].New, source) &&
             ListName(directory, moves[i].Old, destination)) {
      fMoves.push_back(i);
      fSources.push_back(std::move(source));
      fDestinations.push_back(std::move(destination));
      continue;
    }
    left[i] = true;
    fLeft.emplace_back(i, why);
  }
  // The plan: each move back, marked where its old name is taken by a file that no line
  // moves away (an earlier line frees the name, a later one has the file set aside for it),
  // which the move then asks about.
  std::set<win::FILE_IDENTITY> moved;
  for (size_t k = 0; k < fMoves.size(); ++k) {
    const win::FILE_IDENTITY& taker = found[count + fMoves[k]];
    if (!IsKnown(taker) || taker == moves[fMoves[k]].Identity) continue;
    if (moved.empty())
      for (size_t move : fMoves)
        moved.insert(moves[move].Identity);
    if (!moved.count(taker)) fTaken.push_back(k);
  }
  return !fMoves.empty();
}

std::u16string TUndo::PlanText() const {
  std::u16string text;
  size_t taken = 0;
  for (size_t k = 0; k < fMoves.size(); ++k) {
    text += LineText(fMoves[k]) + u"\n";
    if (taken < fTaken.size() && fTaken[taken] == k) {
      text += u"   ! " + Say(htOldNameTaken) + u"\n";
      ++taken;
    }
  }
  text += fMoves.size() == 1 ? Say(htOneChangedLine)
                             : Say(htChangedLines, {DecimalText(fMoves.size())});
  if (!fTaken.empty()) text += u"; " + Say(htWillNotGoThrough, {DecimalText(fTaken.size())});
  return text + u"\n" + LeftAloneText(true, false);
}

bool TUndo::FillPanel(TPanelModel& APanel, std::string& AError) const {
  std::u16string directory;
  if (!PanelDirectory(fRecord.Directory, directory, AError)) return false;
  APanel.Clear();
  APanel.Directory = directory;
  std::unordered_set<std::u16string> listed;
  for (const std::u16string& source : fSources)
    if (listed.insert(source).second) APanel.Add(source, win::FILE_ATTRIBUTE_ARCHIVE);
  APanel.SelectAll();
  return true;
}

bool TUndo::WriteList(const std::u16string& AListFile, size_t AHeaderLines,
                      std::u16string& AError) {
  try {
    std::string bytes;
    {
      TFileStream list(AListFile, fmOpenRead | fmShareDenyNone);
      char buffer[65536];
      for (int32_t read; (read = list.Read(buffer, sizeof(buffer))) > 0;)
        bytes.append(buffer, size_t(read));
    }
    size_t end = 0;
    for (size_t line = 0; line < AHeaderLines && end != std::string::npos; ++line) {
      end = bytes.find('\n', end);
      if (end != std::string::npos) ++end;
    }
    if (end == std::string::npos) end = bytes.size();
    bytes.resize(end);
    fLastLine.clear();
    for (size_t k = 0; k < fMoves.size(); ++k) {
      bytes += Utf16ToUtf8(QuoteFileName(fSources[k]) + u"    " + QuoteFileName(fDestinations[k]),
                           TLoneSurrogate::Kept);
      bytes += "\r\n";
      fLastLine[fRecord.Moves[fMoves[k]].Identity] = AHeaderLines + k;
    }
    TFileStream list(AListFile, fmCreate);
    for (size_t done = 0; done < bytes.size();) {
      const int32_t chunk = int32_t(std::min<size_t>(bytes.size() - done, 1 << 20));
      list.WriteBuffer(bytes.data() + done, chunk);
      done += size_t(chunk);
    }
    return true;
  } catch (const std::exception& e) {
    AError = Utf8ToUtf16(e.what());
    return false;
  }
}

bool TUndo::MayChain(size_t ALine, const std::u16string& ADestination) const {
  win::FILE_IDENTITY identity;
  if (!win::GetFileIdentity(ADestination.c_str(), 0, &identity)) return false;
  const auto found = fLastLine.find(identity);
  return found != fLastLine.end() && found->second > ALine;
}

std::u16string TUndo::LineText(size_t AMove) const {
  const TRecordedMove& move = fRecord.Moves[AMove];
  return EscapeControlCharacters(move.New) + u" -> " + EscapeControlCharacters(move.Old);
}

std::u16string TUndo::LeftAloneText(bool APlan, bool AVerbose) const {
  static const THostText Why[] = {htLeftAloneGone,   htLeftAloneReplaced, htLeftAloneBack,
                                  htLeftAloneFolder, htLeftAloneUnknown,  htLeftAloneElsewhere};
  std::u16string text;
  size_t named = 0;
  for (const auto& [move, why] : fLeft) {
    if (APlan)
      text += LineText(move) + u"\n   ! " + Say(Why[why]) + u"\n";
    else if (AVerbose || named++ < NamedMoves)
      text += u"  " + LineText(move) + u": " + Say(Why[why]) + u"\n";
  }
  if (named > NamedMoves)
    text += u"  " + Say(htMoreLines, {DecimalText(named - NamedMoves)}) + u"\n";
  if (!fLeft.empty()) text += Say(htLeftAloneCount, {DecimalText(fLeft.size())}) + u"\n";
  return text;
}

void TUndo::RemoveFolders() const {
  for (const TRecordedFolder& folder : fRecord.Folders) {
    const std::u16string path = fRecord.FullPath(folder.Path);
    if (HasIdentity(path, folder.Identity)) win::RemoveDirectoryW(path.c_str());
  }
}

int ListJobs(const TRunOptions& AOptions) {
  static const THostText Kinds[] = {htKindJob, htKindUndo, htKindRedo};
  std::vector<TJobRecord> records;
  std::u16string directory, error;
  if (!FullDirectory(AOptions.Directory, directory, error) || !ListRecords(records, error)) {
    WriteErr(u"quorvane-run: " + EscapeControlCharacters(error) + u"\n");
    return ExitCannotRun;
  }
  std::u16string text;
  for (const TJobRecord& record : records) {
    if (!directory.empty() && !IsSamePathText(record.Directory, directory)) continue;
    text += Say(htListedRecord,
                {LocalTime(record.Time), Say(Kinds[record.Kind]), DecimalText(record.MoveCount),
                 record.Undone ? Say(htRecordUndone) : u"",
                 EscapeControlCharacters(record.Directory)}) +
            u"\n";
  }
  if (text.empty()) {
    WriteErr(u"quorvane-run: " + Say(htNoRecords) + u"\n");
    return ExitAllDone;
  }
  return WriteOut(text) ? ExitAllDone : ExitNotAllDone;
}

} // namespace host
