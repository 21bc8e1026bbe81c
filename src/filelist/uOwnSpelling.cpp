#include "filelist/uOwnSpelling.h"

#include <vector>

#include "list/uPathNames.h"
#include "system/uSystem.h"
#include "system/uWindows.h"

namespace {

// The final path of AFolder; false with the system's error when it cannot be told. A
// folder that exists is asked twice before it is given up: a spelling not resolved may hide
// a folder's move from the files that wait in it.
bool FinalPath(const std::u16string& AFolder, std::u16string& AResult) {
  std::vector<char16_t> buffer(260);
  bool retried = false;
  for (int tries = 0; tries < 3; ++tries) {
    const win::DWORD length =
        win::GetFinalPathNameW(AFolder.c_str(), buffer.data(), win::DWORD(buffer.size()));
    if (length == 0 && !retried && !IsMissingError(win::GetLastError())) {
      retried = true;
      continue;
    }
    if (length == 0) return false;
    if (length < buffer.size()) {
      AResult.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length); // it grew, or the first size was too small
  }
  win::SetLastError(win::ERROR_INSUFFICIENT_BUFFER);
  return false;
}

// Where the folder AFolder (ending in its delimiter) has its parent's delimiter; npos when
// it has no parent to climb to. On Windows the climb stops at a drive's root ("C:\\"):
// what is shorter ("\\", "\\") names the current drive or nothing.
size_t ParentCut(const std::u16string& AFolder) {
  size_t end = AFolder.empty() ? 0 : AFolder.size() - 1;
  while (end > 0 && !IsPathDelimiter(AFolder[end - 1]))
    --end;
#ifdef _WIN32
  if (end < 3) return std::u16string::npos;
#endif
  return end > 0 ? end - 1 : std::u16string::npos;
}

} // namespace

std::u16string TOwnSpelling::Of(const std::u16string& APath) {
  const std::u16string folder = FolderPart(APath);
  if (folder.empty()) return APath; // a bare name
  return Folder(folder) + LastPart(APath, folder.size());
}

std::u16string TOwnSpelling::LastPart(const std::u16string& APath, size_t AStart) {
#ifdef _WIN32
  // A short name ("LONGFO~1") is another spelling of the entry's own name, where a link's
  // name is a name of its own: the entry's directory record tells its long name. Only a
  // name with a tilde can be a short one.
  if (APath.find(u'~', AStart) != std::u16string::npos) {
    for (int tries = 0; tries < 2; ++tries) {
      win::WIN32_FIND_DATAW data = {};
      const win::HANDLE find = win::FindFirstFileW(APath.c_str(), &data);
      if (find != win::InvalidHandleValue()) {
        win::FindClose(find);
        return data.cFileName;
      }
      if (IsMissingError(win::GetLastError())) break;
    }
  }
#endif
  return APath.substr(AStart);
}

const std::u16string& TOwnSpelling::Folder(const std::u16string& AFolder) {
  const auto found = fFolders.find(AFolder);
  if (found != fFolders.end()) return found->second;
  std::u16string resolved;
  if (FinalPath(AFolder, resolved)) {
    if (resolved.empty() || !IsPathDelimiter(resolved.back())) resolved += win::PathDelimiter;
  } else {
    const win::DWORD error = win::GetLastError();
    const size_t cut = ParentCut(AFolder);
    const bool missing = IsMissingError(error);
    if (missing && cut != std::u16string::npos) {
      // Not there (yet): the nearest folder that is, and the rest as written.
      resolved = Folder(AFolder.substr(0, cut + 1)) + AFolder.substr(cut + 1);
    } else {
      fUnsure = fUnsure || !(missing || error == win::ERROR_CALL_NOT_IMPLEMENTED);
      resolved = AFolder;
    }
  }
  return fFolders.emplace(AFolder, std::move(resolved)).first->second;
}

void TOwnSpelling::Moved(const std::u16string&, const std::u16string&) {
  // A folder or link that moved may change what any folder spelled through it leads to, a
  // link to a link included: every folder is resolved again.
  fFolders.clear();
}
