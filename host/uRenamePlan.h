// What the saved list asks for, read by the host once, before the plugin carries it out:
// the plan that --confirm and --dry-run show, what each line's old name holds before the
// first move, and, once the plugin is done, the summary of what is on disk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "list/uLinePaths.h"
#include "list/uSavedList.h"
#include "uIdentityBatch.h"

namespace host {

// One line of the list that changes a name, as the plan shows it.
struct TPlannedMove {
  std::u16string Old, New;            // as the list spells them
  std::u16string Source, Destination; // the full paths the plugin joins them to
};

// What became of a line of the list.
enum TLineOutcome : uint8_t {
  loRenamed,    // its new name holds the file its old name held before the first move
  loSkipped,    // its move failed and the user answered Skip (or Skip all before)
  loFailed,     // it did not take effect, and no answer tells why
  loNotRead,    // a line the plugin could not read (it named it in a box)
  loNoSuchFile, // its old name held nothing before the first move
  loCancelled,  // the job ended (Stop, or Cancel at a question) before it took effect
  loUnknown     // what its old name held could not be read: never counted renamed
};

// What the plugin's boxes told of the lines that did not go through.
struct TJobEvents {
  std::unordered_set<std::u16string> Skipped; // new names of failed moves answered Skip
  bool SkipAll = false;
  bool Cancelled = false;                // the job stopped or was cancelled at a question
  std::vector<std::u16string> FreeNames; // where a file was left under a free name
};

class TRenamePlan {
public:
  // The plan of a job in ADirectory.
  explicit TRenamePlan(const std::u16string& ADirectory);

  // Reads AListFile as the plugin does when its editor closes, and notes what each line's
  // old name holds now. AHeader: the list's header as written. False when it cannot be
  // read (which the plugin then tells in its box).
  bool Read(const std::u16string& AListFile, const std::u16string& AHeader);
  // The lines that change a name, in list order.
  const std::vector<TPlannedMove>& Moves() const;

  // Each change as "old -> new" on a line of its own, control characters shown, each that
  // will not go through as written followed by a line "   ! " and the reason, then their
  // counts. AParents: -p makes the missing folders below the directory.
  std::u16string Text(bool AParents) const;

  // What became of each line that changes a name or could not be read, in list order.
  std::vector<TLineOutcome> Outcomes(const TJobEvents& AEvents) const;
  // Line AItem of the outcomes as "old -> new", or for a line not read "line N: text";
  // with AWhy, ": " and why it did not take effect. Control characters shown.
  std::u16string LineText(size_t AItem, TLineOutcome AOutcome, bool AWhy) const;
  // "renamed N of M changed lines", then the count of each other outcome.
  std::u16string Summary(const std::vector<TLineOutcome>& AOutcomes) const;

  // Whether APath (full) is, links resolved, the directory or below it; for a path not
  // made yet, its deepest folder that exists.
  bool IsBelow(const std::u16string& APath) const;
  // Whether a line makes the folder AFolder (full) by its move: AFolder is the line's
  // destination, or lies below it and the line's source holds it as a folder.
  bool MadeByAMove(const std::u16string& AFolder) const;

private:
  bool Paths(size_t AItem, TEntryPaths& APaths) const;
  bool IsMove(size_t AItem) const { return fLines[fItems[AItem]].Renames(); }
  // Notes what each old name holds now, before the first move.
  void NoteBefores();
  bool IsNotRead(size_t AItem) const;
  // APath with each folder that a move of another line carries replaced by where the move
  // took it: ALater follows the moves after line AItem, else those before it, backwards.
  std::u16string Carried(std::u16string APath, size_t AItem, bool ALater) const;
  // Why the move AIndex will not go through as written, as far as can be told before the
  // moves; empty when it will.
  std::u16string Warning(size_t AIndex, bool AParents) const;

  std::u16string fDirectory; // with its delimiter at the end
  TSavedList fLines;
  std::vector<uint32_t> fItems;   // the lines that change a name or cannot be read
  std::vector<uint32_t> fNotRead; // the items that cannot be read, in order
  TIdentityBatch fBefore;         // what each old name held before the first move
  // The items by the source and by the destination of their move, for the moves of a
  // folder that holds another line's name only: these carry other lines' files along.
  std::unordered_map<std::u16string, std::vector<uint32_t>> fBySource, fByDestination;
  mutable std::vector<TPlannedMove> fMoves; // made when the plan is shown
  mutable bool fMovesMade = false;
};

} // namespace host
