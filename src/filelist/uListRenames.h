// What Overwrite must keep: a file that a line of the list renames is kept for that line,
// and a name that an earlier line gave is kept for the file that now holds it. Looked up
// by the normalised paths the rename engine moves between, without regard to case on
// Windows. Built only when Overwrite is first answered, from the lines and the moves done
// until then, and kept up to date from there on.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The paths of one list line as the rename engine hands them to the system.
struct TEntryPaths {
  std::u16string Source, Destination;
  bool SourceValid = false, DestinationValid = false; // false: the name names no file
};

// The paths of ALine, joined to ADirectory; false when the line is no entry or both of its
// paths are the same.
bool GetEntryPaths(const std::u16string& ALine, const std::u16string& ADirectory,
                   TEntryPaths& APaths);

// Orders paths as the file system tells names apart: by case too on POSIX, not on Windows.
struct TPathLess {
  bool operator()(const std::u16string& A, const std::u16string& B) const;
};

class TListRenames {
public:
  static constexpr size_t NoLine = size_t(-1);

  // AMoved tells, for each line before ACurrentLine, whether it moved its file.
  TListRenames(const std::vector<std::u16string>& ALines, const std::u16string& ADirectory,
               const std::vector<bool>& AMoved, size_t ACurrentLine);

  // The first line after ALine whose source is APath; NoLine when there is none.
  size_t LaterLineOf(const std::u16string& APath, size_t ALine) const;

  // Whether the file at APath stays for the list's sake: a move of an earlier line gave it
  // that name, or it is the source of an earlier line that did not move it.
  bool KeptBefore(const std::u16string& APath, size_t ALine, const std::vector<bool>& AMoved) const;

  // A move of a line succeeded. AFromOwnName: it left the line's source name, which is then
  // free (false when the file came from a free name that Overwrite had moved it to).
  void Moved(const TEntryPaths& APaths, bool AFromOwnName);

private:
  using TSources = std::vector<std::pair<std::u16string, size_t>>;
  // The first of the lines whose source is APath; the others follow it.
  TSources::const_iterator FirstLineOf(const std::u16string& APath) const;
  bool IsLineOf(TSources::const_iterator AAt, const std::u16string& APath) const;

  TSources fSources; // by path, then line
  std::set<std::u16string, TPathLess> fGiven;
};
