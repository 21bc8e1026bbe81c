#include "list/uLinePaths.h"

#include "list/uPathNames.h"

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
  // Built in APath's own room, which a caller's next line reuses; a path that cannot be
  // normalized is left as it is.
  APath.assign(ADirectory).append(AName);
  return NamesAFile(AName) && NormalizePath(APath, APath);
}

} // namespace

bool GetEntryPaths(const TListLine& ALine, const std::u16string& ADirectory, TEntryPaths& APaths,
                   bool AOwnFolder) {
  if (!ALine.Renames()) return false;
  APaths.SourceValid = EntryPath(ADirectory, ALine.Source, APaths.Source);
  const std::u16string folder =
      AOwnFolder && FolderPart(ALine.Destination).empty() ? FolderPart(ALine.Source) : u"";
  APaths.DestinationValid = EntryPath(folder.empty() ? ADirectory : ADirectory + folder,
                                      ALine.Destination, APaths.Destination);
  return APaths.Source != APaths.Destination;
}
