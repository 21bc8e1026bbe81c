// Between two lines of a long rename: how far the job is, in a box and on the task bar,
// and Esc, which asks whether to stop.
#pragma once

#include <cstddef>
#include <string>

#include "system/uWindows.h"

class TSavedList;

class TRenameProgress {
public:
  // The lines of ALines that rename something are counted when the box first shows.
  TRenameProgress(const TSavedList& ALines, const std::u16string& ADirectory, bool AOwnFolder);
  ~TRenameProgress() { Close(); }
  TRenameProgress(const TRenameProgress&) = delete;
  TRenameProgress& operator=(const TRenameProgress&) = delete;

  // Before the move of each line that renames something, APath its file. False when the
  // user pressed Esc and chose to stop: no later line runs.
  bool Next(const std::u16string& APath);
  // The box and the task-bar state go; before any box the job still shows.
  void Close();

private:
  void Show(const std::u16string& APath, win::DWORD ANow);
  bool AskToStop() const;

  const TSavedList& fLines;
  const std::u16string& fDirectory;
  const bool fOwnFolder;
  size_t fDone = 0;  // lines before the one under way
  size_t fTotal = 0; // counted at the first show
  win::DWORD fStart, fLastLook, fLastShown = 0;
  // The clock and the console are looked at every fStride lines: more rarely while lines
  // go fast, at every line when they are slow.
  size_t fStride = 1, fUntilLook = 1;
  bool fShown = false;
  void* fScreen = nullptr; // what the box covers
};
