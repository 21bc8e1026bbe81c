// The rename itself: the saved list is read back and every changed entry moved, one
// after another in file order, asking the user when a move fails.
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "far/uFAR.h"
#include "filelist/uFileList.h"
#include "filelist/uListRenames.h"
#include "filelist/uPathNames.h"
#include "filelist/uSameFile.h"
#include "filelist/uSavedList.h"
#include "filelist/uUnreadLines.h"
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

// Whether the destination is the source's own entry with its name spelled in another
// case, not merely a name equal to it without regard to case.
bool IsOwnEntryInAnotherCase(const std::u16string& ASource, const std::u16string& ADest) {
  return win::lstrcmpiW(ASource.c_str(), ADest.c_str()) == 0 && IsSameEntry(ASource, ADest);
}

bool SamePath(const std::u16string& A, const std::u16string& B) {
  return !TPathLess()(A, B) && !TPathLess()(B, A);
}

// One run over the saved list.
class TRenameRun {
public:
  TRenameRun(const TSavedList& ALines, const std::u16string& ADirectory)
      : fLines(ALines), fDirectory(ADirectory), fMoved(ALines.size(), false) {}

  bool Run();
  // Gives back every file that waits for a later line (see Settle).
  void SettleWaiting();

private:
  // A file that Overwrite moved aside for the later line whose source it is.
  struct TWaiting {
    std::u16string OwnPath, At;
  };
  // Where the old destination went when Overwrite was answered.
  struct TAside {
    std::u16string At;
    size_t ForLine = TListRenames::NoLine; // the later line that renames it, if any
  };

  void RenameLine(size_t ALine, const TEntryPaths& APaths);
  // Overwrite was answered for ALine: moves the old destination aside where that loses
  // nothing the list keeps, or says why it stays.
  void Overwrite(size_t ALine, const std::u16string& ASource, const std::u16string& ADest,
                 TAside& AAside);
  bool IsWaitingAt(const std::u16string& APath) const;
  // A waiting file whose line did not move it goes back to its own name when that is free;
  // otherwise a box names where it is.
  void Settle(const TWaiting& AWaiting);

  const TSavedList& fLines;
  const std::u16string& fDirectory;
  std::vector<bool> fMoved;               // per line: its move succeeded
  std::unique_ptr<TListRenames> fRenames; // made at the first Overwrite
  std::map<size_t, TWaiting> fWaiting;    // by the line that renames the file
  bool fSkipAll = false;
  bool fResult = true;
};

// The run under way, for a host that ends in the middle of it.
TRenameRun* RunUnderWay = nullptr;

bool TRenameRun::Run() {
  RunUnderWay = this;
  try {
    TEntryPaths paths;
    for (size_t line = 0; line < fLines.size(); ++line)
      if (GetEntryPaths(fLines[line], fDirectory, paths)) RenameLine(line, paths);
  } catch (...) {
    SettleWaiting();
    RunUnderWay = nullptr;
    throw;
  }
  // Every waiting file's line has come by now, unless an error ended that line early.
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
  // A file that Overwrite moved aside for this line is moved from where it now is.
  std::u16string sourcePath = APaths.Source;
  TWaiting waiting;
  const auto found = fWaiting.find(ALine);
  if (found != fWaiting.end()) {
    waiting = found->second;
    sourcePath = waiting.At;
  }
  const std::u16string& destPath = APaths.Destination;
  const bool valid = APaths.SourceValid && APaths.DestinationValid;

  TAside aside;
  bool moved = false, retry;
  do {
    retry = false;
    // The move never replaces anything, so a move that succeeds is one that every check
    // below would have let through. It is tried first, which keeps a rename to one
    // system call; the checks then explain a failure.
    moved = valid && win::MoveFileW(sourcePath.c_str(), destPath.c_str());
    const win::DWORD moveError = win::GetLastError();
    if (!aside.At.empty()) {
      // Overwrite: the old destination goes only once the source has its name, and a file
      // that a later line renames waits for that line.
      if (moved && aside.ForLine != TListRenames::NoLine) {
        fWaiting[aside.ForLine] = {destPath, aside.At};
      } else if (moved ? !DeleteAside(aside.At) : !PutBack(aside.At, destPath)) {
        if (aside.ForLine != TListRenames::NoLine) fWaiting[aside.ForLine] = {destPath, aside.At};
        ShowPathBox(moved ? MReplacedFileKept : MFileKeptAs, aside.At);
        fResult = false;
        break;
      }
      aside = {};
    }
    if (moved) break;

    // Only a change of case can free the destination's name by moving the source: another
    // hard link of the same file keeps its name whatever the source does.
    if (valid && moveError == win::ERROR_ALREADY_EXISTS &&
        IsOwnEntryInAnotherCase(sourcePath, destPath)) {
      std::u16string strandedAt;
      moved = MoveThroughFreeName(sourcePath, destPath, strandedAt);
      if (moved) break;
      if (!strandedAt.empty()) {
        ShowPathBox(MFileKeptAs, strandedAt);
        fResult = false;
        break;
      }
    }

    win::DWORD attributes;
    if (!APaths.SourceValid || !TFileList::FileExistsWithAttributes(sourcePath, attributes)) {
      ShowPathBox(MSourceNotFound, sourcePath);
      break;
    }

    // Moving onto an existing directory is refused, unless it is the source's own entry
    // with its name spelled in another case.
    if (APaths.DestinationValid && TFileList::FileExistsWithAttributes(destPath, attributes) &&
        (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        !IsOwnEntryInAnotherCase(sourcePath, destPath)) {
      ShowPathBox(MDestinationIsDirectory, destPath);
      fResult = false;
      break;
    }

    if (fSkipAll) {
      fResult = false;
      break;
    }

    const std::u16string shownSource = VisiblePath(sourcePath);
    const std::u16string shownDest = VisiblePath(destPath);
    const intptr_t answer =
        ShowBox({GetMessageText(MTitle), GetMessageText(MMoveFailed), shownSource.c_str(),
                 GetMessageText(MMoveFailedTo), shownDest.c_str(), GetMessageText(MRetry),
                 GetMessageText(MOverwrite), GetMessageText(MSkip), GetMessageText(MSkipAll)},
                4);
    switch (answer) {
    case mfRetry:
      retry = true;
      break;
    case mfOverwrite:
      if (APaths.DestinationValid) Overwrite(ALine, sourcePath, destPath, aside);
      retry = true;
      break;
    case mfSkipAll:
      fSkipAll = true;
      fResult = false;
      break;
    default: // skip, or the box cancelled
      fResult = false;
      break;
    }
  } while (retry);

  if (moved) {
    fMoved[ALine] = true;
    if (fRenames) fRenames->Moved(APaths, waiting.At.empty());
  }
  // The file waited for this line until here, so that a host that ends during one of its
  // boxes still gives it back.
  if (!waiting.At.empty()) {
    fWaiting.erase(ALine);
    if (!moved) Settle(waiting);
  }
}

void TRenameRun::Overwrite(size_t ALine, const std::u16string& ASource, const std::u16string& ADest,
                           TAside& AAside) {
  // Never the file that is being moved, whatever the spelling of its two names or a link
  // between them.
  if (IsSameFile(ASource, ADest)) return;
  // Never a folder; on Windows never a read-only file either, which could not be deleted
  // once moved aside.
  win::DWORD attributes;
  if (!TFileList::FileExistsWithAttributes(ADest, attributes) ||
      (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0)
    return;
#ifdef _WIN32
  if ((attributes & win::FILE_ATTRIBUTE_READONLY) != 0) return;
#endif

  if (!fRenames) fRenames = std::make_unique<TListRenames>(fLines, fDirectory, fMoved, ALine);
  const size_t laterLine = fRenames->LaterLineOf(ADest, ALine);
  if (fRenames->KeptBefore(ADest, ALine, fMoved) || IsWaitingAt(ADest) ||
      (laterLine != TListRenames::NoLine && fWaiting.count(laterLine) != 0)) {
    ShowPathBox(MNameKeptByList, ADest);
    return;
  }
  // The old destination moves aside and is deleted only once the move has succeeded, so
  // a move that still fails loses nothing; a file that a later line renames is kept.
  AAside.At = MoveToFreeName(ADest);
  AAside.ForLine = laterLine;
}

bool TRenameRun::IsWaitingAt(const std::u16string& APath) const {
  for (const auto& waiting : fWaiting)
    if (SamePath(waiting.second.At, APath)) return true;
  return false;
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
  TSavedList lines;
  if (!ReadSavedList(fListFileName, lines)) return false;
  if (!AcceptUnreadLines(lines)) return false;
  // The list has been read in full: it goes now, before a line renames its folder or one
  // above it.
  if (win::DeleteFileW(fListFileName.c_str())) fListFileName.clear();
  return TRenameRun(lines, fSourceDirectory).Run();
}
