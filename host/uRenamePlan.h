// What the saved list asks for, read by the host before the plugin carries it out: the
// plan that --confirm and --dry-run show, and, once the plugin is done, the summary of
// what is on disk.
#pragma once

#include <string>
#include <vector>

#include "uHostPlatform.h"

namespace host {

// One line of the list that changes a name.
struct TPlannedMove {
  std::u16string Old, New;            // as the list spells them
  std::u16string Source, Destination; // the full paths the plugin joins them to
  TFileIdentity Before;               // the source's file before the moves
  bool Known = false;                 // whether Before could be read
};

class TRenamePlan {
public:
  // Reads AListFile as the plugin does when its editor closes, the names taken below
  // ADirectory. False when it cannot be read (which the plugin then tells in its box).
  bool Read(const std::u16string& AListFile, const std::u16string& ADirectory);
  const std::vector<TPlannedMove>& Moves() const { return fMoves; }

  // Each change as "old -> new" on a line of its own, control characters shown, then
  // their count.
  std::u16string Text() const;

  // Notes which file each source is, right before the moves.
  void NoteSources();
  // Whether each move took effect: its destination is now the file its source was (or,
  // moved to another volume, exists where the source no longer does).
  std::vector<bool> Outcome() const;
  // "renamed N of M changed lines; K not renamed", and with AVerbose each line that
  // took effect before it.
  std::u16string Summary(const std::vector<bool>& AOutcome, bool AVerbose) const;

private:
  std::vector<TPlannedMove> fMoves;
};

} // namespace host
