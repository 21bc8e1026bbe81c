#include "filelist/uListRenames.h"

#include <algorithm>

#include "filelist/uListFormat.h"
#include "filelist/uPathNames.h"
#include "system/uWindows.h"

namespace {

// Every system call takes a name up to its first U+0000, so a name that holds one would
// act on another file: "a<NUL>x" on a. Such a name names no file.
bool NamesAFile(const std::u16string& AName) {
  return AName.find(u'\0') == std::u16string::npos;
}

// The path of AName in ADirectory; false when it names no file, with APath then the two
// joined as they are, for showing.
bool EntryPath(const std::u16string& ADirectory, const std::u16string& AName,
               std::u16string& APath) {
  if (NamesAFile(AName) && NormalizePath(ADirectory + AName, APath)) return true;
  APath = ADirectory + AName;
  return false;
}

} // namespace

bool GetEntryPaths(const std::u16string& ALine, const std::u16string& ADirectory,
                   TEntryPaths& APaths) {
  std::u16string source, destination;
  if (!SplitListLine(ALine, source, destination)) return false;
  APaths.SourceValid = EntryPath(ADirectory, source, APaths.Source);
  APaths.DestinationValid = EntryPath(ADirectory, destination, APaths.Destination);
  return APaths.Source != APaths.Destination;
}

bool TPathLess::operator()(const std::u16string& A, const std::u16string& B) const {
#ifdef _WIN32
  return win::lstrcmpiW(A.c_str(), B.c_str()) < 0;
#else
  return A < B;
#endif
}

TListRenames::TListRenames(const std::vector<std::u16string>& ALines,
                           const std::u16string& ADirectory, const std::vector<bool>& AMoved,
                           size_t ACurrentLine) {
  TEntryPaths paths;
  for (size_t i = 0; i < ALines.size(); ++i) {
    if (!GetEntryPaths(ALines[i], ADirectory, paths)) continue;
    if (paths.SourceValid) fSources.emplace_back(paths.Source, i);
    // Until now every move went from a line's own source name.
    if (i < ACurrentLine && AMoved[i]) Moved(paths, true);
  }
  std::sort(fSources.begin(), fSources.end(), [](const auto& A, const auto& B) {
    return TPathLess()(A.first, B.first) || (!TPathLess()(B.first, A.first) && A.second < B.second);
  });
}

TListRenames::TSources::const_iterator
TListRenames::FirstLineOf(const std::u16string& APath) const {
  return std::lower_bound(fSources.begin(), fSources.end(), APath,
                          [](const auto& AEntry, const std::u16string& APath) {
                            return TPathLess()(AEntry.first, APath);
                          });
}

bool TListRenames::IsLineOf(TSources::const_iterator AAt, const std::u16string& APath) const {
  return AAt != fSources.end() && !TPathLess()(APath, AAt->first);
}

size_t TListRenames::LaterLineOf(const std::u16string& APath, size_t ALine) const {
  for (auto at = FirstLineOf(APath); IsLineOf(at, APath); ++at)
    if (at->second > ALine) return at->second;
  return NoLine;
}

bool TListRenames::KeptBefore(const std::u16string& APath, size_t ALine,
                              const std::vector<bool>& AMoved) const {
  if (fGiven.count(APath) != 0) return true;
  for (auto at = FirstLineOf(APath); IsLineOf(at, APath) && at->second < ALine; ++at)
    if (!AMoved[at->second]) return true;
  return false;
}

void TListRenames::Moved(const TEntryPaths& APaths, bool AFromOwnName) {
  if (AFromOwnName) fGiven.erase(APaths.Source);
  fGiven.insert(APaths.Destination);
}
