// What each line of a saved list will do, judged before the first move by one set of
// rules: the rename engine sets aside the lines that cannot run as the user means them,
// and quorvane-run's plan tells every line whose fate is not a plain rename, in the same
// words. One pass over the lines, each path looked up once and each folder resolved once;
// the paths are compared in the file system's own spelling of their folders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "filelist/uOwnSpelling.h"
#include "list/uSavedList.h"

enum TVerdict : uint8_t {
  vdNothing,         // renames nothing: blank, the header, a line left alone, a new name emptied
  vdRenames,         // renames as written
  vdNotRead,         // a line the user broke
  vdHeaderChanged,   // a line in the header's place that is neither the header nor an entry
  vdNoSuchFile,      // the first column names no file: not written, not there, not given earlier
  vdVanished,        // the first column as written, but its file is gone
  vdNewNameIsFolder, // the new name is an existing folder
  vdTakenByOther,    // the new name is a file that no line renames: Overwrite deletes it
  vdTakenByLater,    // the new name is a file that a later line renames (a swap, shift, cycle)
  vdSameNewName,     // the same new name as an earlier line
  vdFolderByLater,   // the new name's folder comes with a later line's move, which carries it
  vdNoFolder         // the new name's folder is missing and no line makes it
};

// Whether a line of that verdict is set aside before the first move, named to the user.
inline bool IsSetAside(TVerdict AVerdict) {
  return AVerdict == vdNotRead || AVerdict == vdHeaderChanged || AVerdict == vdNoSuchFile;
}

constexpr uint32_t NoOtherLine = UINT32_MAX;

struct TJudgement {
  TVerdict Verdict = vdNothing;
  uint32_t Other = NoOtherLine; // the line (from 0) that a verdict names
};

// What the job knows of the list it wrote.
struct TWrittenList {
  std::u16string Header;       // as written; its lines end in LF
  std::vector<uint32_t> Names; // the hashes of the names written (WrittenNameHash), sorted
};

// Every line's move by its old and its new name, in the file system's own spelling of
// their folders: who renames a file, and whose move makes a folder.
class TLineMoves {
public:
  // ASpelling must outlive the index.
  TLineMoves(const TSavedList& ALines, const std::u16string& ADirectory, bool AOwnFolder,
             TOwnSpelling& ASpelling);
  // The first line after ALine whose old name is APath (in its own spelling); NoOtherLine
  // when none.
  uint32_t LaterSource(const std::u16string& APath, size_t ALine) const;
  // The first line after ALine whose move makes APath's folder or one above it, the
  // deepest such folder first; AFolderLength (when given) receives that folder's length in
  // APath.
  uint32_t LaterFolderMaker(const std::u16string& APath, size_t ALine,
                            size_t* AFolderLength = nullptr) const;
  // Whether a line before ALine gives APath, or a folder above it, as its new name.
  bool GivenBefore(const std::u16string& APath, size_t ALine) const;

private:
  // Each path with its lines, in line order: one entry a line, no list of its own.
  using TLinesByPath = std::unordered_multimap<std::u16string, uint32_t, TPathHash, TPathEqual>;
  // The first line of APath in ALines after ALine (NoOtherLine when none), and whether
  // one comes before it.
  static uint32_t After(const TLinesByPath& ALines, const std::u16string& APath, size_t ALine);
  static bool Before(const TLinesByPath& ALines, const std::u16string& APath, size_t ALine);
  TLinesByPath fBySource, fByDestination;
};

// How far the judge looks: the engine needs only which lines are set aside (a first column
// that is not as written costs a look at the disk); the plan needs every verdict.
enum TJudgeDepth { jdSetAside, jdEvery };

// The verdict of each line of ALines, a job in ADirectory (AOwnFolder: a bare new name
// stays in its old name's folder). Lines that rename nothing are vdNothing.
std::vector<TJudgement> JudgeLines(const TSavedList& ALines, const std::u16string& ADirectory,
                                   bool AOwnFolder, const TWrittenList& AWritten,
                                   TJudgeDepth ADepth);
