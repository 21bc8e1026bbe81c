// The rename itself: the saved list is read back and every changed entry moved, one
// after another in file order, asking the user when a move fails.
#include <initializer_list>
#include <string>
#include <vector>

#include "far/uFAR.h"
#include "filelist/uFileList.h"
#include "filelist/uListFormat.h"
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

bool TFileList::RenameFiles() {
  std::vector<std::u16string> lines;
  if (!ReadSavedList(fListFileName, lines)) return false;
  bool skipAll = false;
  bool result = true;

  std::u16string source, destination;
  for (const std::u16string& line : lines) {
    if (!SplitListLine(line, source, destination)) continue;

    const bool sourceValid = NamesAFile(source);
    const bool destinationValid = NamesAFile(destination);
    bool retry;
    do {
      retry = false;
      const std::u16string sourcePath = fSourceDirectory + source;
      const std::u16string destPath = fSourceDirectory + destination;
      if (sourcePath == destPath) break;

      // The move never replaces anything, so a move that succeeds is one that every check
      // below would have let through. It is tried first, which keeps a rename to one
      // system call; the checks then explain a failure. A name that names no file is never
      // handed to the system.
      if (sourceValid && destinationValid && win::MoveFileW(sourcePath.c_str(), destPath.c_str()))
        break;

      win::DWORD attributes;
      if (!sourceValid || !FileExistsWithAttributes(sourcePath, attributes)) {
        ShowBox({GetMessageText(MTitle), GetMessageText(MSourceNotFound), sourcePath.c_str(),
                 GetMessageText(MOk)},
                1);
        break;
      }

      // Moving onto an existing directory is refused, unless it is the source directory
      // itself with its name spelled in another case.
      if (destinationValid && FileExistsWithAttributes(destPath, attributes) &&
          (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0 &&
          win::lstrcmpiW(sourcePath.c_str(), destPath.c_str()) != 0) {
        ShowBox({GetMessageText(MTitle), GetMessageText(MDestinationIsDirectory), destPath.c_str(),
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
          ShowBox({GetMessageText(MTitle), GetMessageText(MMoveFailed), sourcePath.c_str(),
                   GetMessageText(MMoveFailedTo), destPath.c_str(), GetMessageText(MRetry),
                   GetMessageText(MOverwrite), GetMessageText(MSkip), GetMessageText(MSkipAll)},
                  4);
      switch (answer) {
      case mfRetry:
        retry = true;
        break;
      case mfOverwrite:
        // Never the file that is being moved, whatever the spelling of its two names.
        if (destinationValid && !IsSameFile(sourcePath, destPath))
          win::DeleteFileW(destPath.c_str());
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
