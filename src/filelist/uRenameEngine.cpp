// The rename itself: the saved list is read back and every changed entry moved, one
// after another in file order, asking the user when a move fails.
#include <initializer_list>
#include <string>
#include <vector>

#include "far/uFAR.h"
#include "filelist/uFileList.h"
#include "filelist/uListFormat.h"
#include "filelist/uPathNames.h"
#include "filelist/uSameFile.h"
#include "filelist/uSavedList.h"
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

// Every system call takes a name up to its first U+0000, so a name that holds one would
// act on another file: "a<NUL>x" on a. Such a name names no file.
bool NamesAFile(const std::u16string& AName) {
  return AName.find(u'\0') == std::u16string::npos;
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

namespace {

// Puts a file that was moved aside back under its name, trying twice.
bool PutBack(const std::u16string& AAside, const std::u16string& AName) {
  return win::MoveFileW(AAside.c_str(), AName.c_str()) ||
         win::MoveFileW(AAside.c_str(), AName.c_str());
}

// A move that failed because the destination is the source's own entry under another
// name: a change of case on a file system that ignores case, or another hard link. The
// entry moves to a free name and from there to the destination; when that second step
// fails it goes back, trying twice. Answers whether it moved; AStrandedAt receives the
// name the entry was left under when it could go neither on nor back.
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

// A box that names where a file is now, when that is not a name the user gave.
void ShowKeptAs(TMessageId AMessage, const std::u16string& APath) {
  const std::u16string shown = VisiblePath(APath);
  ShowBox({GetMessageText(MTitle), GetMessageText(AMessage), shown.c_str(), GetMessageText(MOk)},
          1);
}

} // namespace

bool TFileList::RenameFiles() {
  TSavedList lines;
  if (!ReadSavedList(fListFileName, lines)) return false;
  bool skipAll = false;
  bool result = true;

  std::u16string source, destination;
  for (const std::u16string& line : lines) {
    if (!SplitListLine(line, source, destination)) continue;

    // A name that names no file is never handed to the system.
    std::u16string sourcePath, destPath;
    const bool sourceValid =
        NamesAFile(source) && NormalizePath(fSourceDirectory + source, sourcePath);
    const bool destinationValid =
        NamesAFile(destination) && NormalizePath(fSourceDirectory + destination, destPath);
    if (!sourceValid) sourcePath = fSourceDirectory + source;
    if (!destinationValid) destPath = fSourceDirectory + destination;
    if (sourcePath == destPath) continue;

    // Where Overwrite moved the old destination, until the move onto its name is decided.
    std::u16string aside;
    bool retry;
    do {
      retry = false;
      // The move never replaces anything, so a move that succeeds is one that every check
      // below would have let through. It is tried first, which keeps a rename to one
      // system call; the checks then explain a failure.
      const bool moved =
          sourceValid && destinationValid && win::MoveFileW(sourcePath.c_str(), destPath.c_str());
      const win::DWORD moveError = win::GetLastError();
      if (!aside.empty()) {
        // Overwrite: the old destination goes only once the source has its name.
        if (moved ? !DeleteAside(aside) : !PutBack(aside, destPath)) {
          ShowKeptAs(moved ? MReplacedFileKept : MFileKeptAs, aside);
          result = false;
          break;
        }
        aside.clear();
      }
      if (moved) break;

      if (sourceValid && destinationValid && moveError == win::ERROR_ALREADY_EXISTS &&
          IsSameEntry(sourcePath, destPath)) {
        std::u16string strandedAt;
        if (MoveThroughFreeName(sourcePath, destPath, strandedAt)) break;
        if (!strandedAt.empty()) {
          ShowKeptAs(MFileKeptAs, strandedAt);
          result = false;
          break;
        }
      }

      const std::u16string shownSource = VisiblePath(sourcePath);
      const std::u16string shownDest = VisiblePath(destPath);
      win::DWORD attributes;
      if (!sourceValid || !FileExistsWithAttributes(sourcePath, attributes)) {
        ShowBox({GetMessageText(MTitle), GetMessageText(MSourceNotFound), shownSource.c_str(),
                 GetMessageText(MOk)},
                1);
        break;
      }

      // Moving onto an existing directory is refused, unless it is the source directory
      // itself with its name spelled in another case.
      if (destinationValid && FileExistsWithAttributes(destPath, attributes) &&
          (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0 &&
          win::lstrcmpiW(sourcePath.c_str(), destPath.c_str()) != 0) {
        ShowBox({GetMessageText(MTitle), GetMessageText(MDestinationIsDirectory), shownDest.c_str(),
                 GetMessageText(MOk)},
                1);
        result = false;
        break;
      }

      if (skipAll) {
        result = false;
        break;
      }

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
        // The old destination moves aside and is deleted only once the move has succeeded,
        // so a move that still fails loses nothing. Never the file that is being moved,
        // whatever the spelling of its two names or a link between them.
        if (destinationValid && !IsSameFile(sourcePath, destPath)) aside = MoveToFreeName(destPath);
        retry = true;
        break;
      case mfSkipAll:
        skipAll = true;
        result = false;
        break;
      default: // skip, or the box cancelled
        result = false;
        break;
      }
    } while (retry);
  }
  return result;
}
