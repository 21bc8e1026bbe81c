// quorvane-run --undo: a job of the records (uJobRecord) played backwards through the
// plugin's own engine. Its moves become the lines of a list, each new name back to the old
// one, the last move first, which the host writes in place of the user's edit; the engine
// renames as for any list, and an Overwrite that only sets aside a file whose own move the
// undo puts back later (a swap, shift or cycle) is answered for the user. A move whose
// file is no longer where the job left it, by identity, is left out and named.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "farside/uPanelModel.h"
#include "uHostOptions.h"
#include "uJobRecord.h"

namespace host {

class TUndo {
public:
  // Chooses the record that AOptions ask to undo (--redo: the latest undo not undone yet;
  // else the latest job or redo not undone yet; of DIR when given) and reads it. False with
  // AError set when there is none, or it cannot be read.
  bool Choose(const TRunOptions& AOptions, std::u16string& AError);
  // Finds where each file of the record is now: the moves to undo, the last first, and
  // those left alone. False when none is left to undo.
  bool Plan();

  const TJobRecord& Record() const { return fRecord; }
  // The kind of the record that this undo leaves.
  TRecordKind Kind() const { return fRecord.Kind == rkUndo ? rkRedo : rkUndo; }
  size_t LeftAlone() const { return fLeft.size(); }

  // The panel of the undo: DIR, with the names the files have now selected.
  bool FillPanel(TPanelModel& APanel, std::string& AError) const;
  // Puts the moves to undo in place of the entries of the list the plugin wrote, whose
  // header (of AHeaderLines lines) stays as it is.
  bool WriteList(const std::u16string& AListFile, size_t AHeaderLines, std::u16string& AError);
  // Whether the move of line ALine may set aside the file that has the name ADestination
  // for a later line, without a question: only a file of the record that a later line of
  // the undo moves.
  bool MayChain(size_t ALine, const std::u16string& ADestination) const;
  // The plan, as --confirm shows one: each move back as "new -> old", in the order of the
  // list, marked where its old name is taken by a file that no line moves away (the move
  // then asks); their count; the moves left alone with why.
  std::u16string PlanText() const;
  size_t Moves() const { return fMoves.size(); }
  // The moves left alone as "new -> old" with why: all of them (for the plan, with their
  // count), or for the summary (AVerbose false) the first few.
  std::u16string LeftAloneText(bool APlan, bool AVerbose) const;
  // Removes the folders that -p made for the job and that are empty now.
  void RemoveFolders() const;
  bool MarkUndone(std::u16string& AError) { return host::MarkUndone(fRecord, AError); }

private:
  // Why a move is left alone.
  enum TLeftAlone { laGone, laReplaced, laBack, laFolderLeftAlone, laUnknown, laElsewhere };
  std::u16string LineText(size_t AMove) const;

  TJobRecord fRecord;
  std::vector<size_t> fMoves; // to undo, in the list's order
  std::vector<size_t> fTaken; // those (by their place in fMoves) whose old name is taken
  std::vector<std::u16string> fSources, fDestinations; // theirs, relative to DIR
  std::vector<std::pair<size_t, TLeftAlone>> fLeft;    // the moves left alone, the last first
  std::map<win::FILE_IDENTITY, size_t> fLastLine; // the last line of the list that moves each file
};

// --undo --list (and --redo --list): the records kept, newest first (of DIR when given).
int ListJobs(const TRunOptions& AOptions);

} // namespace host
