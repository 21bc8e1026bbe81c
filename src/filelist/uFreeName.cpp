#include "filelist/uFreeName.h"

#include "list/uPathNames.h"
#include "system/uSystem.h"
#include "system/uWindows.h"

std::u16string MoveToFreeName(const std::u16string& APath) {
  std::u16string path = APath;
  while (path.size() > 1 && IsPathDelimiter(path.back()))
    path.pop_back();
  size_t slash = path.size();
  while (slash > 0 && !IsPathDelimiter(path[slash - 1]))
    --slash;
  const std::u16string folder = path.substr(0, slash);
  // MoveFileW never replaces: a name that is taken fails and the next is tried.
  for (int i = 1; i <= 1000; ++i) {
    const std::u16string candidate = folder + u".quorvane-" + DecimalText(uint64_t(i));
    // The entry's own name is taken by the entry itself, and a move onto it would do nothing.
    if (win::CompareStringOrdinal(candidate.c_str(), int(candidate.size()), path.c_str(),
                                  int(path.size()), 1) == win::CSTR_EQUAL)
      continue;
    if (win::MoveFileW(path.c_str(), candidate.c_str())) return candidate;
    const win::DWORD error = win::GetLastError();
    if (error != win::ERROR_ALREADY_EXISTS && error != win::ERROR_FILE_EXISTS) break;
  }
  return {};
}
