#include "uRenamePlan.h"

#include "filelist/uListFormat.h"
#include "filelist/uListRenames.h"
#include "filelist/uSavedList.h"
#include "files/uStrings.h"
#include "uHostText.h"

namespace host {

namespace {

std::u16string MoveLine(const TPlannedMove& AMove) {
  return EscapeControlCharacters(AMove.Old) + u" -> " + EscapeControlCharacters(AMove.New) + u"\n";
}

std::u16string CountOfLines(size_t ACount) {
  return Utf8ToU16(std::to_string(ACount)) + (ACount == 1 ? u" changed line" : u" changed lines");
}

bool TookEffect(const TPlannedMove& AMove) {
  TFileIdentity now, source;
  if (!AMove.Known || !GetFileIdentity(AMove.Destination, now)) return false;
  return now == AMove.Before || !GetFileIdentity(AMove.Source, source);
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
  for (auto& move : fMoves)
    move.Known = GetFileIdentity(move.Source, move.Before);
}

std::vector<bool> TRenamePlan::Outcome() const {
  std::vector<bool> outcome;
  outcome.reserve(fMoves.size());
  for (const auto& move : fMoves)
    outcome.push_back(TookEffect(move));
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
