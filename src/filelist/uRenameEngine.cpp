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
#include "filelist/uListRenames.h"
#include "filelist/uOwnSpelling.h"
#include "filelist/uRenameProgress.h"
#include "filelist/uSameFile.h"
#include "list/uLinePaths.h"
#include "list/uPathNames.h"
#include "list/uSavedList.h"
#include "list/uUnreadLines.h"
#include "messages/uMessages.h"
#include "system/uSystem.h"

namespace {

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
      : Line(ALine), Paths(APaths), From(APaths.Source) {}

  size_t Line;
  const TEntryPaths& Paths;
  std::u16string From;    // the line's source, or the free name its file waits under
  std::u16string OwnFrom; // From in its own spelling, told before the move once it matters
  bool Waited = false;    // the file waited for this line under a free name
  TWaiting Waiting;       // then, where
  std::u16string AsideAt; // where Overwrite moved the old destination
  size_t AsideFor = TListRenames::NoLine; // the later line that renames that file, if any
  bool ChainTried = false;                // Overwrite was carried over from an earlier answer once
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
  bool CanSucceed(const TLineMove& AMove);
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
  std::unique_ptr<TListRenames> fRenames; // made at the first Overwrite
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
  // Every waiting file's line has come by now, unless an error or the user ended the run
  // early.
  SettleWaiting();
  RunUnderWay = nullptr;
  return fResult;
}

void TRenameRun::SettleWaiting() {
  std::map<size_t, TWaiting> waiting;
  waiting.swap(fWaiting);
  for (const auto& entry : waiting)
    Settle(entry.second);
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
  const bool valid = paths.SourceValid && paths.DestinationValid;
  // The move never replaces anything, so a move that succeeds is one that every check
  // below would have let through. It is tried first, which keeps a rename to one system
  // call; the checks then explain a failure.
  // Once moves are tracked, the source is spelled while it is there: a short name tells
  // its long one only then.
  if (fRenames && valid) AMove.OwnFrom = fSpelling.Of(AMove.From);
  const bool moved = valid && win::MoveFileW(AMove.From.c_str(), paths.Destination.c_str());
  const win::DWORD moveError = win::GetLastError();
  if (!AMove.AsideAt.empty() && !SettleAside(AMove, moved)) return moved ? atMoved : atStop;
  if (moved) return atMoved;

  // Only a change of case can free the destination's name by moving the source: another
  // hard link of the same file keeps its name whatever the source does.
  if (valid && moveError == win::ERROR_ALREADY_EXISTS &&
      IsOwnEntryInAnotherCase(AMove.From, paths.Destination)) {
    std::u16string strandedAt;
    if (MoveThroughFreeName(AMove.From, paths.Destination, strandedAt)) return atMoved;
    if (!strandedAt.empty()) {
      ShowPathBox(MFileKeptAs, strandedAt);
      fResult = false;
      return atStop;
    }
  }
  if (!CanSucceed(AMove)) return atStop;
  if (fSkipAll) {
    fResult = false;
    return atStop;
  }
  // One Overwrite answer completes a chain: a destination that a still later line renames
  // is set aside as the answer would, once per line, without asking again.
  if (fChain && valid && !AMove.ChainTried && moveError == win::ERROR_ALREADY_EXISTS) {
    AMove.ChainTried = true;
    if (Overwrite(AMove, true)) return atRetry;
  }
  return atAsk;
}

bool TRenameRun::SettleAside(TLineMove& AMove, bool AMoved) {
  const std::u16string& dest = AMove.Paths.Destination;
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
  fResult = false;
  return false;
}

bool TRenameRun::CanSucceed(const TLineMove& AMove) {
  const TEntryPaths& paths = AMove.Paths;
  win::DWORD attributes;
  if (!paths.SourceValid || !TFileList::FileExistsWithAttributes(AMove.From, attributes)) {
    std::vector<std::u16string> texts = SourceTexts(AMove);
    std::vector<const char16_t*> items{GetMessageText(MTitle), GetMessageText(MSourceNotFound)};
    for (const auto& text : texts)
      items.push_back(text.c_str());
    items.push_back(GetMessageText(MOk));
    TFarUtils::ShowMessage(items.data(), static_cast<int32_t>(items.size()), FMSG_WARNING, 1);
    return false;
  }
  // Moving onto an existing directory is refused, unless it is the source's own entry
  // with its name spelled in another case.
  if (paths.DestinationValid &&
      TFileList::FileExistsWithAttributes(paths.Destination, attributes) &&
      (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      !IsOwnEntryInAnotherCase(AMove.From, paths.Destination)) {
    ShowPathBox(MDestinationIsDirectory, paths.Destination);
    fResult = false;
    return false;
  }
  return true;
}

bool TRenameRun::Ask(TLineMove& AMove) {
  const std::vector<std::u16string> texts = SourceTexts(AMove);
  const std::u16string shownDest = VisiblePath(AMove.Paths.Destination);
  std::vector<const char16_t*> items{GetMessageText(MTitle), GetMessageText(MMoveFailed)};
  for (const auto& text : texts)
    items.push_back(text.c_str());
  for (const char16_t* item :
       {GetMessageText(MMoveFailedTo), shownDest.c_str(), GetMessageText(MRetry),
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
    fResult = false;
    return false;
  default: // skip, or the box cancelled
    fResult = false;
    return false;
  }
}

bool TRenameRun::Overwrite(TLineMove& AMove, bool AUnasked) {
  const std::u16string& dest = AMove.Paths.Destination;
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
  // a move that still fails loses nothing; a file that a later line renames is kept.
  AMove.AsideAt = MoveToFreeName(dest);
  AMove.AsideFor = owners.Later;
  return !AMove.AsideAt.empty();
}

void TRenameRun::Track(const TLineMove& AMove) {
  // In the spelling of before the move: a folder that moved is where the names below it
  // led until then.
  const std::u16string from = AMove.OwnFrom.empty() ? fSpelling.Of(AMove.From) : AMove.OwnFrom;
  const std::u16string to = fSpelling.Of(AMove.Paths.Destination);
  // A folder or link that moved may change what folders spelled through it lead to.
  if (fRenames->Moved(AMove.Line, from, to)) {
    fSpelling.Moved(AMove.From, AMove.Paths.Destination);
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
  ShowPathBox(MFileKeptAs, AWaiting.At);
  fResult = false;
}

} // namespace

bool TFileList::FileExistsWithAttributes(const std::u16string& APath, win::DWORD& AAttributes) {
  AAttributes = win::GetFileAttributesW(APath.c_str());
  if (AAttributes != win::INVALID_FILE_ATTRIBUTES) return true;

  const win::DWORD error = win::GetLastError();
  if (error == win::ERROR_FILE_NOT_FOUND || error == win::ERROR_PATH_NOT_FOUND ||
      error == win::ERROR_INVALID_NAME)
    return false;

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

bool TFileList::RenameFiles() {
  fEditingAgain = false;
  TSavedList lines;
  if (!ReadSavedList(fListFileName, lines)) return false;
  TWrittenList written{fHeader, {}, [this](const TListLine& ALine) {
                         TEntryPaths paths;
                         GetEntryPaths(ALine, fSourceDirectory, paths, fFoundFiles);
                         win::DWORD attributes;
                         return paths.SourceValid &&
                                FileExistsWithAttributes(paths.Source, attributes);
                       }};
  written.Names.swap(fWrittenNames);
  size_t firstNamed = 0;
  const TLinesAnswer answer = CheckSavedLines(lines, written, firstNamed);
  written.Names.swap(fWrittenNames);
  if (answer == laEditAgain) EditAgain(firstNamed, lines.CodePage());
  if (answer != laRename) return false;
  // The list has been read in full: it goes now, before a line renames its folder or one
  // above it.
  if (win::DeleteFileW(fListFileName.c_str())) fListFileName.clear();
  const bool done = TRenameRun(lines, fSourceDirectory, fFoundFiles).Run();
  if (fUpdatePanel) TFarPanelInfo::RefreshPanel(true);
  return done;
}
