// What a rename job tells a host that asks: the outcome of each line as the engine settles
// it, and the host's say in two things FAR leaves to the user. FAR never asks, and then
// nothing is kept. quorvane-run hands the plugin a TJobReport through the export
// QuorvaneSetJobReport before the editor-close event, and reads every line's outcome from
// it, never from the text of a box.
#pragma once

#include <cstddef>
#include <cstdint>

#include "far/Plugin3.h"

// What became of a line of the list.
enum TLineOutcome : uint8_t {
  loRenamed,       // its file has its new name
  loSkipped,       // its move failed and the user answered Skip or Skip all
  loFailed,        // its move failed, and the question was cancelled (Error: why it failed)
  loNotRead,       // a line the user broke, set aside before the first move
  loHeaderChanged, // a header line the user changed, set aside before the first move
  loNoSuchFile,    // its first column names no file (set aside before the first move)
  loVanished,      // its file was gone when its turn came
  loIsFolder,      // its new name is an existing folder
  loCancelled,     // the job ended first: Stop, Cancel at the box of lines set aside
  loFolderStayed,  // moved below its folder's present name, and the line that gives that
                   // folder its new name did not take effect
  loOutcomeCount
};

struct TJobReport {
  size_t StructSize;
  void* Context;
  // jrOthersAgreed: the user has seen the lines that are set aside (quorvane-run's plan)
  // and asked to rename the other lines; the box that names them is not shown again.
  uint32_t Flags;
  // Line ALine (from 0) of the saved list has its outcome, once. AError: the system's error
  // of a move that failed (0 when none).
  void(FARAPI_CALL* LineDone)(void* AContext, size_t ALine, uint8_t AOutcome, uint32_t AError);
  // A file is left under the free name AWhere, which a box named.
  void(FARAPI_CALL* FileKept)(void* AContext, const char16_t* AWhere);
  // A move failed for want of the folder of ADestination, a folder that no line of the list
  // makes: non-zero when the host made it, and the move is tried again. May be null.
  intptr_t(FARAPI_CALL* MakeFolder)(void* AContext, const char16_t* ADestination);
  // The move of line ALine failed because ADestination is taken by a file that a later
  // line renames: non-zero answers Overwrite for the user, which sets that file aside for
  // its line as the Overwrite that completes a chain does, without a question. May be null.
  intptr_t(FARAPI_CALL* MayChain)(void* AContext, size_t ALine, const char16_t* ADestination);
};

constexpr uint32_t jrOthersAgreed = 1;

// The plugin's export: the report of the next jobs (null: none).
using TSetJobReport = void(FARAPI_CALL*)(const TJobReport* AReport);
constexpr const char* SetJobReportExport = "QuorvaneSetJobReport";

// The report that the engine fills, or null (FAR).
const TJobReport* JobReport();
void SetJobReport(const TJobReport* AReport);
