// The rename itself: the saved list is read back and every changed entry moved, one
// after another in file order, asking the user when a move fails.
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "far/uFAR.h"
#include "filelist/uFileList.h"
#include "filelist/uFreeName.h"
#include "filelist/uJobReport.h"
#include "filelist/uLineVerdicts.h"
#include "filelist/uListRenames.h"
#include "filelist/uOwnSpelling.h"
#include "filelist/uRenameProgress.h"
#include "filelist/uSameFile.h"
#include "filelist/uSetAsideLines.h"
#include "list/uLinePaths.h"
#include "list/uListFormat.h"
#include "list/uPathNames.h"
#include "list/uSavedList.h"
#include "messages/uMessages.h"
#include "system/uSystem.h"

namespace {

const TJobReport* Report = nullptr;

// The outcome of line ALine, for a host that asks.
void ReportLine(size_t ALine, TLineOutcome AOutcome, win::DWORD AError = 0) {
  if (Report && Report->LineDone) Report->LineDone(Report->Context, ALine, AOutcome, AError);
}

// A file left under a free name, which a box has named.
void ReportKept(const std::u16string& AWhere) {
  if (Report && Report->FileKept) Report->FileKept(Report->Context, AWhere.c_str());
}

// Answers of the failure prompt, in button order.
enum TMoveFailedAnswer : intptr_t { mfRetry = 0, mfOverwrite = 1, mfSkip = 2, mfSkipAll = 3 };

// A warning box whose lines mix messages and paths.
intptr_t ShowBox(std::initializer_list<const char16_t*> AItems, int32_t AButtons) {
  std::vector<const char16_t*> items(AItems);
  return TFarUtils::ShowMessage(items.data(), static_cast<int32_t>(items.size()), FMSG_WARNING,
                                AButtons);
}

// A box of one message and the path it is about.
void ShowPathBox(TMessageId AMessage, const std::u16string& APath) {
  const std::u16string shown = VisiblePath(APath);
  ShowBox({GetMessageText(MTitle), GetMessageText(AMessage), shown.c_str(), GetMessageText(MOk)},
          1);
}

// Puts a file that was moved aside back under its name, trying twice. The move never
// replaces, so a name that has been taken meanwhile stays with its file.
bool PutBack(const std::u16string& AAside, const std::u16string& AName) {
  return win::MoveFileW(AAside.c_str(), AName.c_str()) ||
         win::MoveFileW(AAside.c_str(), AName.c_str());
}

// A move that failed because the destination is the source's own entry under another
// name: a change of case on a file system that ignores case. The entry moves to a free
// name and from there to the destination; when that second step fails it goes back,
// trying twice. Answers whether it moved; AStrandedAt receives the name the entry was
// left under when it could go neither on nor back.
bool MoveThroughFreeName(const std::u16string& ASource, const std::u16string& ADestination,
                         std::u16string& AStrandedAt) {
  const std::u16string aside = MoveToFreeName(ASource);
  if (aside.empty()) return false;
  if (win::MoveFileW(aside.c_str(), ADestination.c_str())) return true;
  if (!PutBack(aside, ASource)) AStrandedAt = aside;
  return false;
}

// Deletes the destination that Overwrite moved aside, once the move onto its name is done.
bool DeleteAside(const std::u16string& AAside) {
  return win::DeleteFileW(AAside.c_str()) || win::DeleteFileW(AAside.c_str());
}

// Where a file that Overwrite set aside for a later line waits: its own name and the free
// name it is under, in their own spelling. Both follow a folder that a line moves.
struct TWaiting {
  std::u16string OwnPath, At;
};

// One line's move, from where its file is now to its destination.
struct TLineMove {
  TLineMove(size_t ALine, const TEntryPaths& APaths)
      : Line(ALine), Paths(APaths), From(APaths.Source), To(APaths.Destination) {}

  size_t Line;
  const TEntryPaths& Paths;
  std::u16string From; // the line's source, or the free name its file waits under
  // The line's destination, or the same below its folder's present name when a later line
  // gives that folder the name the destination spells: that line's move carries it there.
  std::u16string To;
  size_t CarriedBy = TListRenames::NoLine;
  std::u16string OwnFrom; // From in its own spelling, told before the move once it matters
  bool Waited = false;    // the file waited for this line under a free name
  TWaiting Waiting;       // then, where
  std::u16string AsideAt; // where Overwrite moved the old destination
  size_t AsideFor = TListRenames::NoLine; // the later line that renames that file, if any
  bool ChainTried = false;                // Overwrite was carried over from an earlier answer once
  bool FolderAsked = false;               // the host was asked to make the missing folder
  TLineOutcome Outcome = loFailed;        // when the line does not move its file: why
  win::DWORD Error = 0;                   // the system's error of the last try
};

enum TAttempt { atMoved, atStop, atAsk, atRetry };

// One run over the saved list.
class TRenameRun {
public:
  TRenameRun(const TSavedList& ALines, const std::u16string& ADirectory, bool AOwnFolder)
      : fLines(ALines), fDirectory(ADirectory), fOwnFolder(AOwnFolder),
        fMoved(ALines.size(), false) {}

  bool Run();
  // Gives back every file that waits for a later line (see Settle).
  void SettleWaiting();

private:
  void RenameLine(size_t ALine, const TEntryPaths& APaths);
  bool MoveLine(TLineMove& AMove);
  // One try of the move, with what follows from it short of a question.
  TAttempt Attempt(TLineMove& AMove);
  // After a try, the old destination that Overwrite moved aside goes, waits or comes back.
  bool SettleAside(TLineMove& AMove, bool AMoved);
  // Boxes for a move that cannot succeed whatever the answer; false when one was shown.
  bool CanSucceed(TLineMove& AMove);
  // Whether the host made the missing folder of a move that needs one that no line makes.
  bool FolderMade(TLineMove& AMove);
  // Whether the host answers Overwrite for the user where a later line renames the file
  // that has the move's new name.
  bool HostChains(const TLineMove& AMove) const;
  // Whether a later line gives a folder of the move's destination its name: the move then
  // goes below that folder's present name (AMove.To), and the later move carries it.
  bool CarriedAlong(TLineMove& AMove);
  // The lines carried by ALine's move, now that it is done (AMoved: it took effect).
  void ReportCarried(size_t ALine, bool AMoved);
  // The lines whose file went below a folder's present name, by the line that moves it.
  std::map<size_t, std::vector<size_t>> fCarried;
  // Why the move's new name is taken, as the question says it: which line renames the
  // file that has it, or that none does.
  std::u16string WhyTaken(const TLineMove& AMove);
  // Every later line that renames is cancelled: the run ends before it.
  void CancelFrom(size_t ALine);
  bool Ask(TLineMove& AMove);
  // Overwrite for AMove: moves the old destination aside where that loses nothing the list
  // keeps, or says why it stays. AUnasked: carried over from an earlier answer, which
  // applies only to a file that a later line renames, and shows nothing.
  bool Overwrite(TLineMove& AMove, bool AUnasked);
  // A line moved its file: what is tracked follows it.
  void Track(const TLineMove& AMove);
  // Sets aside for ALine the file that waits at AAt with its own path AOwnPath.
  void Wait(size_t ALine, const std::u16string& AOwnPath, const std::u16string& AAt);
  // The lines of a box that name the line's file: its own path, and where it waits.
  std::vector<std::u16string> SourceTexts(const TLineMove& AMove) const;
  // A waiting file whose line did not move it goes back to its own name when that is free;
  // otherwise a box names where it is.
  void Settle(const TWaiting& AWaiting);

  const TSavedList& fLines;
  const std::u16string& fDirectory;
  const bool fOwnFolder;                  // a bare new name stays in its source's folder
  std::vector<bool> fMoved;               // per line: its move succeeded
  std::unique_ptr<TListRenames> fRenames; // made at the first Overwrite or question
  TOwnSpelling fMovesSpelling;            // the lines' moves as the run began, for -p
  std::unique_ptr<TLineMoves> fMoves;     // made at the first move that lacks its folder
  TOwnSpelling fSpelling;                 // used from then on: paths compared or carried
  std::map<size_t, TWaiting> fWaiting;    // by the line that renames the file
  bool fSkipAll = false;
  // Overwrite was answered onto a file that a later line renames: further such files of
  // a swap, cycle or shift are set aside without asking again.
  bool fChain = false;
  bool fResult = true;
};

// The run under way, for a host that ends in the middle of it.
TRenameRun* RunUnderWay = nullptr;

bool TRenameRun::Run() {
  RunUnderWay = this;
  TRenameProgress progress(fLines, fDirectory, fOwnFolder);
  try {
    TEntryPaths paths;
    size_t index = 0;
    // Each line unpacked into the iterator's own room, reused from line to line.
    for (const TListLine& line : fLines) {
      if (GetEntryPaths(line, fDirectory, paths, fOwnFolder)) {
        // Stopped by the user: the later lines rename nothing.
        if (!progress.Next(paths.Source)) {
          fResult = false;
          CancelFrom(index);
          break;
        }
        RenameLine(index, paths);
      }
      ++index;
    }
  } catch (...) {
    progress.Close();
    SettleWaiting();
    RunUnderWay = nullptr;
    throw;
  }
  progress.Close();
  while (!fCarried.empty())
    ReportCarried(fCarried.begin()->first, false);
  // Every waiting file's line has come by now, unless an error or the user ended the run
  // early.
  SettleWaiting();
  RunUnderWay = nullptr;
  return fResult;
}

void TRenameRun::SettleWaiting() {
  // One at a time out of the table itself: a host that ends the job inside one's box
  // settles the others on its way out.
  while (!fWaiting.empty()) {
    const TWaiting waiting = fWaiting.begin()->second;
    fWaiting.erase(fWaiting.begin());
    Settle(waiting);
  }
}

void TRenameRun::CancelFrom(size_t ALine) {
  TEntryPaths paths;
  for (size_t i = ALine; i < fLines.size(); ++i)
    if (GetEntryPaths(fLines[i], fDirectory, paths, fOwnFolder)) ReportLine(i, loCancelled);
}

void TRenameRun::RenameLine(size_t ALine, const TEntryPaths& APaths) {
  TLineMove move(ALine, APaths);
  // A file that Overwrite moved aside for this line is moved from where it now is.
  const auto found = fWaiting.find(ALine);
  if (found != fWaiting.end()) {
    move.Waited = true;
    move.Waiting = found->second;
    move.From = move.Waiting.At;
  }
  const bool moved = MoveLine(move);
  if (moved) {
    fMoved[ALine] = true;
    if (fRenames) Track(move);
  }
  // A file carried by a later line's move has its new name only once that line is done.
  if (moved && move.CarriedBy != TListRenames::NoLine)
    fCarried[move.CarriedBy].push_back(ALine);
  else
    ReportLine(ALine, moved ? loRenamed : move.Outcome, moved ? 0 : move.Error);
  ReportCarried(ALine, moved);
  // The file waited for this line until here, so that a host that ends during one of its
  // boxes still gives it back.
  if (move.Waited) {
    fWaiting.erase(ALine);
    if (!moved) Settle(move.Waiting);
  }
}

bool TRenameRun::MoveLine(TLineMove& AMove) {
  for (;;) {
    switch (Attempt(AMove)) {
    case atMoved:
      return true;
    case atStop:
      return false;
    case atRetry:
      continue;
    case atAsk:
      if (!Ask(AMove)) return false;
    }
  }
}

TAttempt TRenameRun::Attempt(TLineMove& AMove) {
  const TEntryPaths& paths = AMove.Paths;
  const bool valid = paths.SourceValid && AMove.Paths.DestinationValid;
  // The move never replaces anything, so a move that succeeds is one that every check
  // below would have let through. It is tried first, which keeps a rename to one system
  // call; the checks then explain a failure.
  // Once moves are tracked, the source is spelled while it is there: a short name tells
  // its long one only then.
  if (fRenames && valid) AMove.OwnFrom = fSpelling.Of(AMove.From);
  const bool moved = valid && win::MoveFileW(AMove.From.c_str(), AMove.To.c_str());
  const win::DWORD moveError = win::GetLastError();
  if (!moved) AMove.Error = moveError;
  if (!AMove.AsideAt.empty() && !SettleAside(AMove, moved)) return moved ? atMoved : atStop;
  if (moved) return atMoved;

  // Only a change of case can free the destination's name by moving the source: another
  // hard link of the same file keeps its name whatever the source does.
  if (valid && moveError == win::ERROR_ALREADY_EXISTS &&
      IsOwnEntryInAnotherCase(AMove.From, AMove.To)) {
    std::u16string strandedAt;
    if (MoveThroughFreeName(AMove.From, AMove.To, strandedAt)) return atMoved;
    if (!strandedAt.empty()) {
      ShowPathBox(MFileKeptAs, strandedAt);
      ReportKept(strandedAt);
      fResult = false;
      return atStop;
    }
  }
  if (!CanSucceed(AMove)) return atStop;
  if (valid && moveError == win::ERROR_PATH_NOT_FOUND) {
    if (CarriedAlong(AMove)) return IsSamePathText(AMove.To, AMove.From) ? atMoved : atRetry;
    if (FolderMade(AMove)) return atRetry;
  }
  if (fSkipAll) {
    AMove.Outcome = loSkipped;
    fResult = false;
    return atStop;
  }
  // One Overwrite answer completes a chain: a destination that a still later line renames
  // is set aside as the answer would, once per line, without asking again. A host may
  // give that answer before any question.
  if (valid && !AMove.ChainTried && moveError == win::ERROR_ALREADY_EXISTS &&
      (fChain || HostChains(AMove))) {
    AMove.ChainTried = true;
    if (Overwrite(AMove, true)) return atRetry;
  }
  return atAsk;
}

bool TRenameRun::SettleAside(TLineMove& AMove, bool AMoved) {
  const std::u16string& dest = AMove.To;
  const std::u16string at = AMove.AsideAt;
  const size_t forLine = AMove.AsideFor;
  AMove.AsideAt.clear();
  AMove.AsideFor = TListRenames::NoLine;
  // The old destination goes only once the source has its name, and a file that a later
  // line renames waits for that line.
  if (AMoved && forLine != TListRenames::NoLine) {
    Wait(forLine, dest, at);
    return true;
  }
  if (AMoved ? DeleteAside(at) : PutBack(at, dest)) return true;
  if (forLine != TListRenames::NoLine) Wait(forLine, dest, at);
  ShowPathBox(AMoved ? MReplacedFileKept : MFileKeptAs, at);
  ReportKept(at);
  fResult = false;
  return false;
}

bool TRenameRun::CanSucceed(TLineMove& AMove) {
  const TEntryPaths& paths = AMove.Paths;
  win::DWORD attributes;
  if (!paths.SourceValid || !TFileList::FileExistsWithAttributes(AMove.From, attributes)) {
    std::vector<std::u16string> texts = SourceTexts(AMove);
    std::vector<const char16_t*> items{GetMessageText(MTitle), GetMessageText(MSourceNotFound)};
    for (const auto& text : texts)
      items.push_back(text.c_str());
    items.push_back(GetMessageText(MOk));
    TFarUtils::ShowMessage(items.data(), static_cast<int32_t>(items.size()), FMSG_WARNING, 1);
    AMove.Outcome = loVanished;
    return false;
  }
  // Moving onto an existing directory is refused, unless it is the source's own entry
  // with its name spelled in another case.
  if (AMove.Paths.DestinationValid && TFileList::FileExistsWithAttributes(AMove.To, attributes) &&
      (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      !IsOwnEntryInAnotherCase(AMove.From, AMove.To)) {
    ShowPathBox(MDestinationIsDirectory, AMove.To);
    AMove.Outcome = loIsFolder;
    fResult = false;
    return false;
  }
  return true;
}

bool TRenameRun::HostChains(const TLineMove& AMove) const {
  return Report && Report->MayChain &&
         Report->MayChain(Report->Context, AMove.Line, AMove.To.c_str()) != 0;
}

bool TRenameRun::FolderMade(TLineMove& AMove) {
  if (!Report || !Report->MakeFolder || AMove.FolderAsked) return false;
  AMove.FolderAsked = true;
  return Report->MakeFolder(Report->Context, AMove.To.c_str()) != 0;
}

bool TRenameRun::CarriedAlong(TLineMove& AMove) {
  if (AMove.CarriedBy != TListRenames::NoLine) return false;
  if (!fMoves)
    fMoves = std::make_unique<TLineMoves>(fLines, fDirectory, fOwnFolder, fMovesSpelling);
  const std::u16string to = fMovesSpelling.Of(AMove.To);
  size_t folder = 0;
  const uint32_t later = fMoves->LaterFolderMaker(to, AMove.Line, &folder);
  TEntryPaths paths;
  if (later == NoOtherLine || !GetEntryPaths(fLines[later], fDirectory, paths, fOwnFolder) ||
      !paths.SourceValid)
    return false;
  AMove.To = paths.Source + to.substr(folder);
  AMove.CarriedBy = later;
  return true;
}

void TRenameRun::ReportCarried(size_t ALine, bool AMoved) {
  const auto found = fCarried.find(ALine);
  if (found == fCarried.end()) return;
  for (size_t line : found->second)
    ReportLine(line, AMoved ? loRenamed : loFolderStayed);
  fCarried.erase(found);
}

std::u16string TRenameRun::WhyTaken(const TLineMove& AMove) {
  const std::u16string& dest = AMove.To;
  win::DWORD attributes;
  if (!AMove.Paths.DestinationValid || IsSameFile(AMove.From, dest) ||
      !TFileList::FileExistsWithAttributes(dest, attributes) ||
      (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0)
    return ErrorText(AMove.Error);
  // The rule that Overwrite follows: which file the name has decides.
  if (!fRenames)
    fRenames = std::make_unique<TListRenames>(fLines, fDirectory, fMoved, AMove.Line, fSpelling,
                                              fOwnFolder);
  const TListRenames::TOwners owners = fRenames->OwnersOf(fSpelling.Of(dest), AMove.Line);
  if (owners.Earlier) return GetMessageText(MWhyEarlierLine);
  if (owners.Later == TListRenames::NoLine) return GetMessageText(MWhyNoLine);
  return ReplaceAll(GetMessageText(MWhyLaterLine), u"${LINE}", DecimalText(owners.Later + 1));
}

bool TRenameRun::Ask(TLineMove& AMove) {
  const std::vector<std::u16string> texts = SourceTexts(AMove);
  const std::u16string shownDest = VisiblePath(AMove.To);
  // Why, between the paths and the buttons: whose file has the name, or the system's words.
  const std::u16string why =
      AMove.Error == win::ERROR_ALREADY_EXISTS || AMove.Error == win::ERROR_FILE_EXISTS
          ? WhyTaken(AMove)
          : ErrorText(AMove.Error);
  std::vector<const char16_t*> items{GetMessageText(MTitle), GetMessageText(MMoveFailed)};
  for (const auto& text : texts)
    items.push_back(text.c_str());
  for (const char16_t* item :
       {GetMessageText(MMoveFailedTo), shownDest.c_str(), why.c_str(), GetMessageText(MRetry),
        GetMessageText(MOverwrite), GetMessageText(MSkip), GetMessageText(MSkipAll)})
    items.push_back(item);
  const intptr_t answer =
      TFarUtils::ShowMessage(items.data(), static_cast<int32_t>(items.size()), FMSG_WARNING, 4);
  switch (answer) {
  case mfRetry:
    return true;
  case mfOverwrite:
    if (AMove.Paths.DestinationValid) Overwrite(AMove, false);
    return true;
  case mfSkipAll:
    fSkipAll = true;
    AMove.Outcome = loSkipped;
    fResult = false;
    return false;
  case mfSkip:
    AMove.Outcome = loSkipped;
    fResult = false;
    return false;
  default: // the box cancelled
    fResult = false;
    return false;
  }
}

bool TRenameRun::Overwrite(TLineMove& AMove, bool AUnasked) {
  const std::u16string& dest = AMove.To;
  // Never the file that is being moved, whatever the spelling of its two names or a link
  // between them.
  if (IsSameFile(AMove.From, dest)) return false;
  // Never a folder; on Windows never a read-only file either, which could not be deleted
  // once moved aside.
  win::DWORD attributes;
  if (!TFileList::FileExistsWithAttributes(dest, attributes) ||
      (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0)
    return false;
#ifdef _WIN32
  if ((attributes & win::FILE_ATTRIBUTE_READONLY) != 0) return false;
#endif

  if (!fRenames)
    fRenames = std::make_unique<TListRenames>(fLines, fDirectory, fMoved, AMove.Line, fSpelling,
                                              fOwnFolder);
  // Which file the destination is decides, not how a line spells it.
  const TListRenames::TOwners owners = fRenames->OwnersOf(fSpelling.Of(dest), AMove.Line);
  if (owners.Earlier || (owners.Later != TListRenames::NoLine && fWaiting.count(owners.Later))) {
    if (!AUnasked) ShowPathBox(MNameKeptByList, dest);
    return false;
  }
  if (AUnasked && owners.Later == TListRenames::NoLine) return false;
  if (owners.Later != TListRenames::NoLine) fChain = true;
  // The old destination moves aside and is deleted only once the move has succeeded, so
  // a move that still fails loses nothing; a file that a later line renames is kept. Its
  // free name is held in its folder's own spelling: a line may move a link on the way.
  AMove.AsideAt = MoveToFreeName(dest);
  if (!AMove.AsideAt.empty()) AMove.AsideAt = fSpelling.Of(AMove.AsideAt);
  AMove.AsideFor = owners.Later;
  return !AMove.AsideAt.empty();
}

void TRenameRun::Track(const TLineMove& AMove) {
  // In the spelling of before the move: a folder that moved is where the names below it
  // led until then.
  const std::u16string from = AMove.OwnFrom.empty() ? fSpelling.Of(AMove.From) : AMove.OwnFrom;
  const std::u16string to = fSpelling.Of(AMove.To);
  // A folder or link that moved may change what folders spelled through it lead to.
  if (fRenames->Moved(AMove.Line, from, to)) {
    fSpelling.Moved(AMove.From, AMove.To);
    fSpelling.Moved(from, to);
  }
  // A folder that moved takes the waiting files below it along.
  for (auto& entry : fWaiting) {
    CarryAlong(entry.second.At, from, to);
    CarryAlong(entry.second.OwnPath, from, to);
  }
}

void TRenameRun::Wait(size_t ALine, const std::u16string& AOwnPath, const std::u16string& AAt) {
  fWaiting[ALine] = {fSpelling.Of(AOwnPath), fSpelling.Of(AAt)};
}

std::vector<std::u16string> TRenameRun::SourceTexts(const TLineMove& AMove) const {
  if (!AMove.Waited) return {VisiblePath(AMove.From)};
  return {VisiblePath(AMove.Waiting.OwnPath), GetMessageText(MWaitsAs),
          VisiblePath(AMove.Waiting.At)};
}

void TRenameRun::Settle(const TWaiting& AWaiting) {
  if (PutBack(AWaiting.At, AWaiting.OwnPath)) return;
  ReportKept(AWaiting.At);
  ShowPathBox(MFileKeptAs, AWaiting.At);
  fResult = false;
}

} // namespace

bool TFileList::FileExistsWithAttributes(const std::u16string& APath, win::DWORD& AAttributes) {
  AAttributes = win::GetFileAttributesW(APath.c_str());
  if (AAttributes != win::INVALID_FILE_ATTRIBUTES) return true;

  if (IsMissingError(win::GetLastError())) return false;

  // The attributes can be unreadable for a file that exists (held open without
  // sharing, say): the directory entry still tells.
  win::WIN32_FIND_DATAW data = {};
  win::HANDLE find = win::FindFirstFileW(APath.c_str(), &data);
  if (find == win::InvalidHandleValue()) return false;
  AAttributes = data.dwFileAttributes;
  win::FindClose(find);
  return true;
}

void TFileList::EndRenameUnderWay() {
  if (RunUnderWay) RunUnderWay->SettleWaiting();
}

const TJobReport* JobReport() {
  return Report;
}

void SetJobReport(const TJobReport* AReport) {
  Report = AReport && AReport->StructSize >= sizeof(TJobReport) ? AReport : nullptr;
}

bool TFileList::RenameFiles() {
  fEditingAgain = false;
  TSavedList lines;
  if (!ReadSavedList(fListFileName, lines)) return false;
  TWrittenList written{fHeader, {}};
  written.Names.swap(fWrittenNames);
  const std::vector<TJudgement> verdicts =
      JudgeLines(lines, fSourceDirectory, fFoundFiles, written, jdSetAside);
  written.Names.swap(fWrittenNames);
  size_t firstNamed = 0;
  const bool agreed = Report && (Report->Flags & jrOthersAgreed) != 0;
  const TLinesAnswer answer = CheckSavedLines(lines, verdicts, agreed, firstNamed);
  if (answer == laEditAgain) {
    EditAgain(firstNamed, lines.CodePage());
    return false;
  }
  for (size_t i = 0; i < verdicts.size(); ++i) {
    const TVerdict verdict = verdicts[i].Verdict;
    if (IsSetAside(verdict))
      ReportLine(i, verdict == vdNotRead         ? loNotRead
                    : verdict == vdHeaderChanged ? loHeaderChanged
                                                 : loNoSuchFile);
  }
  if (answer == laCancel) {
    TEntryPaths paths;
    for (size_t i = 0; i < lines.size(); ++i)
      if (GetEntryPaths(lines[i], fSourceDirectory, paths, fFoundFiles)) ReportLine(i, loCancelled);
    return false;
  }
  // The list has been read in full: it goes now, before a line renames its folder or one
  // above it.
  if (win::DeleteFileW(fListFileName.c_str())) fListFileName.clear();
  const bool done = TRenameRun(lines, fSourceDirectory, fFoundFiles).Run();
  if (fUpdatePanel) TFarPanelInfo::RefreshPanel(true);
  return done;
}
