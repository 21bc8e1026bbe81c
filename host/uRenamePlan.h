// The saved list as quorvane-run tells it: before the plugin carries it out, the plan that
// --confirm and --dry-run show (the engine's own verdicts, put in words); afterwards, the
// summary of the outcomes that the engine reported for each line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "filelist/uJobReport.h"
#include "filelist/uLineVerdicts.h"
#include "list/uLinePaths.h"
#include "list/uSavedList.h"

class TFarModel;

namespace host {

class TRenamePlan {
public:
  // The plan of a job in ADirectory, whose boxes speak in AModel's texts.
  TRenamePlan(const std::u16string& ADirectory, const TFarModel& AModel);

  // The names of the list as the plugin wrote it, read before the user edits it: a first
  // column that is not among them names a file of the user's choosing.
  void NoteWritten(const std::u16string& AListFile);
  // Reads AListFile as the plugin does when its editor closes. AHeader: the list's header
  // as written. False when it cannot be read (which the plugin then tells in its box).
  bool Read(const std::u16string& AListFile, const std::u16string& AHeader);

  // Judges every line as the engine will (the disk looked at once), then tells each
  // changed line as "old -> new", each that will not go through as written followed by a
  // line "   ! " and why, then their counts. AParents: -p makes the missing folders, but
  // none outside the directory (AOutside tells whether a folder is outside).
  std::u16string Text(bool AParents, const std::function<bool(const std::u16string&)>& AOutside);
  size_t Changed() const { return fChanged; }   // after Text: the lines that change a name
  size_t SetAside() const { return fSetAside; } // after Text: the lines set aside
  size_t Warned() const { return fWarned; }     // after Text: the lines that will not go through

  // The report that the plugin fills with every line's outcome, while the plan lives.
  TJobReport& Report() { return fReport; }
  // Called with each line's outcome as the plugin reports it.
  void OnLineDone(std::function<void(size_t ALine, TLineOutcome AOutcome)> AListener) {
    fListener = std::move(AListener);
  }
  // Makes the missing folder of a new name when a move needs one (-p): true when it made
  // one, and the move is tried again. Null: the plugin does not ask.
  void OnMakeFolder(std::function<bool(const std::u16string& ADestination)> AMaker);
  // Answers for the user the Overwrite that sets aside, for a later line, the file that has
  // a move's new name (TJobReport::MayChain). Null: the user is asked.
  void OnMayChain(std::function<bool(size_t ALine, const std::u16string& ADestination)> AChainer);
  // The full paths of line ALine's move; false when it renames nothing.
  bool LinePaths(size_t ALine, TEntryPaths& APaths) const;
  // Whether a list has been read since the last Forget (its summary can be told).
  bool IsRead() const { return !fOutcomes.empty(); }

  // Whether every line with an outcome took effect.
  bool AllRenamed() const;

  // A new round of the same job (the list edited again): the outcomes reported are past.
  void Forget();

  // The lines with an outcome, as the summary tells them: with AVerbose every line on
  // AOut, those that did not take effect with why; without it the first few of those on
  // AErr; then the files left under a free name, and the counts on AErr. A line that
  // renames and has no outcome was cancelled: the job ended before it.
  void Summary(bool AVerbose, std::u16string& AOut, std::u16string& AErr);

private:
  // The line AIndex as "old -> new", or for a line that is not an entry "line N: text".
  std::u16string LineText(size_t AIndex) const;
  // Why a line of that outcome did not take effect, in words.
  std::u16string Why(size_t AIndex, TLineOutcome AOutcome) const;
  // Why a line of that verdict will not go through as written; empty when it will.
  std::u16string Warning(size_t AIndex, const TJudgement& AVerdict, bool AParents,
                         const std::function<bool(const std::u16string&)>& AOutside) const;

  static void FARAPI_CALL LineDone(void* AContext, size_t ALine, uint8_t AOutcome, uint32_t AError);
  static void FARAPI_CALL FileKept(void* AContext, const char16_t* AWhere);
  static intptr_t FARAPI_CALL MakeFolder(void* AContext, const char16_t* ADestination);
  static intptr_t FARAPI_CALL MayChain(void* AContext, size_t ALine, const char16_t* ADestination);

  std::u16string fDirectory; // with its delimiter at the end
  const TFarModel& fModel;
  TSavedList fLines;
  std::u16string fHeader;
  std::vector<uint32_t> fWritten; // the hashes of the names written, sorted
  size_t fChanged = 0, fSetAside = 0, fWarned = 0;

  TJobReport fReport{};
  std::function<void(size_t, TLineOutcome)> fListener;
  std::function<bool(const std::u16string&)> fFolderMaker;
  std::function<bool(size_t, const std::u16string&)> fChainer;
  static constexpr uint8_t NoOutcome = 0xFF;
  std::vector<uint8_t> fOutcomes;               // a byte a line
  std::unordered_map<size_t, uint32_t> fErrors; // of the lines whose move failed
  std::vector<std::u16string> fKept;            // files left under a free name
};

} // namespace host
