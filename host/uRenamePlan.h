// What the saved list asks for, read by the host before the plugin carries it out (or,
// when only the summary needs it, while the plugin does): the plan that --confirm and
// --dry-run show, and, once the plugin is done, the summary of what is on disk.
#pragma once

#include <string>
#include <thread>
#include <vector>

#include "uHostPanel.h"
#include "uHostPlatform.h"

class TSavedList;

namespace host {

// One line of the list that changes a name.
struct TPlannedMove {
  std::u16string Old, New;            // as the list spells them
  std::u16string Source, Destination; // the full paths the plugin joins them to
  win::FILE_IDENTITY Before;          // the source's file before the moves
  bool Known = false;                 // whether Before could be read
  bool Looked = false;                // whether the source was looked up before the moves
};

class TRenamePlan {
public:
  // The plan of a job in ADirectory, whose listing told what its files were (AListed).
  TRenamePlan(const std::u16string& ADirectory, const TListedIdentities& AListed);
  ~TRenamePlan();
  TRenamePlan(const TRenamePlan&) = delete;
  TRenamePlan& operator=(const TRenamePlan&) = delete;

  // Reads AListFile as the plugin does when its editor closes. False when it cannot be
  // read (which the plugin then tells in its box).
  bool Read(const std::u16string& AListFile);
  const std::vector<TPlannedMove>& Moves() const { return fMoves; }

  // Whether the list may be read while the plugin renames: the listing told what every
  // listed file is, so nothing needs a look before the first move.
  bool CanReadAside() const { return fListed.Complete; }
  // Opens AListFile now (the plugin deletes it when it is done) and reads it on a thread
  // of its own; FinishReading waits for it and answers what Read would.
  void StartReading(const std::u16string& AListFile);
  bool FinishReading();

  // Each change as "old -> new" on a line of its own, control characters shown, each that
  // will not go through as written followed by a line "   ! " and the reason, then their
  // counts. AParents: -p makes the missing folders below the directory.
  std::u16string Text(bool AParents) const;

  // Notes which file each source is, right before the moves, where the listing did not.
  void NoteSources();
  // Whether each move took effect: its destination is now the file its source was (or,
  // moved to another volume, exists where the source no longer does).
  std::vector<bool> Outcome() const;
  // Each line that took effect, as "old -> new" (control characters shown).
  std::u16string Done(const std::vector<bool>& AOutcome) const;
  // "renamed N of M changed lines; K not renamed".
  std::u16string Summary(const std::vector<bool>& AOutcome) const;

  // Whether APath (full) is, links resolved, the directory or below it; for a path not
  // made yet, its deepest folder that exists.
  bool IsBelow(const std::u16string& APath) const;
  // Whether a line makes the folder AFolder (full) by its move: AFolder is the line's
  // destination, or lies below it and the line's source holds it as a folder.
  bool MadeByAMove(const std::u16string& AFolder) const;

private:
  void TakeLines(const TSavedList& ALines);
  // Why the move AIndex will not go through as written, as far as can be told before the
  // moves; empty when it will.
  std::u16string Warning(size_t AIndex, bool AParents) const;

  std::u16string fDirectory; // with its delimiter at the end
  const TListedIdentities& fListed;
  std::vector<TPlannedMove> fMoves;
  std::thread fReader;
  bool fRead = false;
};

} // namespace host
