// The records of quorvane-run's jobs, kept so that a job can be undone: for every job that
// renamed something, the moves that took effect in the order they took effect, each with
// the identity of the file moved (volume and index), the job's directory and its time.
// They lie in the state folder (StateFolder), one file a job, private to the user,
// written under a temporary name and renamed into place; the newest RecordsKept stay.
//
// A record is a UTF-8 text of lines, each a keyword and fields separated by TAB; a name
// has its TABs, line ends and '%' written as %09, %0A, %0D and %25:
//
//   quorvane-run record 1
//   kind	job | undo | redo        (redo: the undo of an undo)
//   time	<seconds since 1970, UTC>
//   dir	<DIR>
//   undoes	<the name of the record it undid>    (an undo or a redo)
//   moves	<count>
//   folder	<volume>	<index>	<path>           (a folder -p made that stayed)
//   move	<volume>	<index>	<old name>	<new name>    (movedir for a folder)
//
// A name below DIR is relative to it, as the list spells it; any other is full. A record
// that has been undone ends in .undone instead of .rec.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "system/uWindows.h"

namespace host {

constexpr size_t RecordsKept = 20;

enum TRecordKind { rkJob, rkUndo, rkRedo };

struct TRecordedMove {
  // Of the file moved, under its new name (Directory set for a folder); zero when unknown.
  win::FILE_IDENTITY Identity;
  std::u16string Old, New;
};

struct TRecordedFolder {
  win::FILE_IDENTITY Identity;
  std::u16string Path;
};

struct TJobRecord {
  std::u16string Name; // the record's file name without its ending: its time, sortable
  bool Undone = false;
  TRecordKind Kind = rkJob;
  int64_t Time = 0;
  std::u16string Directory;
  std::u16string Undoes;
  size_t MoveCount = 0;
  // Read only in full (ReadRecord): in the order they took effect, and the deepest first.
  std::vector<TRecordedMove> Moves;
  std::vector<TRecordedFolder> Folders;

  // The full path of a name of the record.
  std::u16string FullPath(const std::u16string& AName) const;
};

// The identities of the full paths APaths, links not followed; zero for a path that names
// nothing. Each folder is listed once where its listing tells file indexes (as the system
// tells them one by one, which one look-up checks), else each path is looked up alone.
std::vector<win::FILE_IDENTITY> IdentitiesOf(const std::vector<std::u16string>& APaths);
// The same for the entries ANames of the folder AFolder (ending in its delimiter).
std::vector<win::FILE_IDENTITY> IdentitiesIn(const std::u16string& AFolder,
                                             const std::vector<std::u16string_view>& ANames);

// The records kept, newest first, with their heads only (no moves). False with AError set
// when the state folder cannot be told or read; an absent folder holds none.
bool ListRecords(std::vector<TJobRecord>& ARecords, std::u16string& AError);
// The whole of ARecord, the moves too.
bool ReadRecord(TJobRecord& ARecord, std::u16string& AError);
// The record is undone: --undo passes it over from now on.
bool MarkUndone(TJobRecord& ARecord, std::u16string& AError);

// The record of the job under way, filled as its lines take effect.
class TJobRecorder {
public:
  // ADirectory: the job's, full.
  explicit TJobRecorder(const std::u16string& ADirectory);

  // An undo of ARecord (AKind rkUndo or rkRedo).
  void Undoes(const TJobRecord& ARecord, TRecordKind AKind);
  // The file at AFrom now has the name ATo (full paths). Its identity is looked up there,
  // for a name in the directory itself once the job is done (one listing for all), unless
  // a later move takes the file from that name first.
  void Moved(const std::u16string& AFrom, const std::u16string& ATo);
  // A line has its outcome; ACancelled: it did not take effect, the job ended before it.
  void LineDone(bool ACancelled) {
    fRan = true;
    fCancelled = fCancelled || ACancelled;
  }
  // The folders that -p made and that stayed (not empty at the end), the deepest first,
  // with their full paths.
  void FoldersStayed(const std::vector<TRecordedFolder>& AFolders);

  // Writes the record when a line took effect (again, when more did since the last
  // time). False with AError set when it could not be written.
  bool Save(std::u16string& AError);
  bool Saved() const { return !fName.empty(); }
  // Whether the plugin went through every line of the list: none was cancelled.
  bool Completed() const { return fRan && !fCancelled; }
  // What the summary's last line says: how to undo this job (or redo it, for an undo).
  std::u16string UndoHint() const;

private:
  // A move, its names in fNames: the old one from Old, the new one from New to End.
  struct TMove {
    win::FILE_IDENTITY Identity;
    size_t Old, New, End;
  };
  // A move whose identity waits, in an open table by the hash of the name it gave.
  static constexpr uint32_t NoMove = UINT32_MAX, Gone = UINT32_MAX - 1;
  struct TPending {
    uint32_t Hash = 0;
    uint32_t Move = NoMove; // or Gone once a later move took the file from the name
  };

  bool IsBelow(const std::u16string& APath) const;
  // Appends APath to fNames: relative to the directory when it lies below it (answered).
  bool AppendName(const std::u16string& APath);
  std::u16string_view OldName(size_t AMove) const;
  std::u16string_view NewName(size_t AMove) const;
  // The slot of the move pending under the name AName, or the free slot where it would go.
  size_t PendingSlot(uint32_t AHash, std::u16string_view AName) const;
  // The identities of the moves whose files still have the names they were given in the
  // directory itself.
  void LookUpPending();

  std::u16string fDirectory; // with its delimiter at the end
  TRecordKind fKind = rkJob;
  std::u16string fUndoes;
  int64_t fTime;
  std::u16string fNames;
  std::vector<TMove> fMoves;
  std::vector<TRecordedFolder> fFolders;
  std::vector<TPending> fPending; // a power of two in size, at most half full
  // A bit for the hash of each name pending, so that most names are known not to be
  // pending without a look into the table.
  std::vector<uint64_t> fGiven = std::vector<uint64_t>(1 << 15);
  size_t fPendingCount = 0, fPendingUsed = 0; // moves pending; slots taken, the gone too
  size_t fSavedMoves = 0;
  std::u16string fName; // once saved
  bool fRan = false, fCancelled = false;
};

} // namespace host
