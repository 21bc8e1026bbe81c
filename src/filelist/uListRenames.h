// What Overwrite must keep: the file of every line of the list, known by what it is (its
// volume and file index, links not followed), not by how a line spells its path, which a
// folder renamed in between, a link or the file system's case rules can make lie. A file
// that a later line renames is kept for that line; one that an earlier line gave a name
// or left where it was is kept for the list. Built only when Overwrite is first answered,
// from the lines and the moves done until then, and kept up to date from there on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "list/uLinePaths.h"
#include "list/uSavedList.h"
#include "system/uWindows.h"

class TOwnSpelling;

class TListRenames {
public:
  static constexpr size_t NoLine = size_t(-1);

  // AMoved tells, for each line before ACurrentLine, whether it moved its file. Every path
  // is compared in ASpelling, which must outlive the index.
  TListRenames(const TSavedList& ALines, const std::u16string& ADirectory,
               const std::vector<bool>& AMoved, size_t ACurrentLine, TOwnSpelling& ASpelling,
               bool AOwnFolder = false);

  // The lines the file at APath (in its own spelling) belongs to, seen from line ALine. A
  // file whose identity cannot be read counts as kept by an earlier line: nothing is
  // deleted on a guess. A file of several hard links belongs to a line only through the
  // link that the line names: another link of it is a name of its own.
  struct TOwners {
    bool Earlier = false;  // a line before ALine gave it its name or left it where it was
    size_t Later = NoLine; // the first line after ALine that renames it
  };
  TOwners OwnersOf(const std::u16string& APath, size_t ALine) const;

  // Line ALine moved its file from AFrom to ADestination (both in their own spelling;
  // across volumes the move may have made it another file). True when what moved may lead
  // to other names (a folder, a link), or that cannot be told.
  bool Moved(size_t ALine, const std::u16string& AFrom, const std::u16string& ADestination);

private:
  // What a path names, beside its identity.
  enum TKind {
    kFile,   // a file of one hard link
    kLinks,  // a file of several hard links
    kLeading // a folder or a link, which leads to other names
  };
  // AExists: the path may name a file even though its identity was not read.
  static bool KeyOf(const std::u16string& APath, win::FILE_IDENTITY& AKey, bool& AExists,
                    TKind& AKind);

  void Note(size_t AOwner, size_t ALine, TOwners& AOwners) const;
  void Own(const win::FILE_IDENTITY& AKey, TKind AKind, const std::u16string& APath, size_t ALine);

  // A line of a file with several hard links, and the link it names.
  struct TLink {
    win::FILE_IDENTITY Key;
    size_t Line;
    std::u16string Path;
  };

  std::vector<std::pair<win::FILE_IDENTITY, size_t>>
      fOwners; // sorted: each file's lines at the start
  std::vector<std::pair<win::FILE_IDENTITY, size_t>>
      fMovedSince;           // lines that moved a file since then
  std::vector<TLink> fLinks; // the lines of files with several links: few, kept apart
  // Lines whose file could not be told by its identity (a source that does not exist, an
  // identity that could not be read): their paths as text, the last resort.
  std::vector<std::pair<std::u16string, size_t>> fByText;
  // An identity of an existing file could not be read: a file that matches no line may
  // still be one, so none is taken for a file the list does not rename.
  bool fUnsure = false;
  TOwnSpelling& fSpelling;
};
