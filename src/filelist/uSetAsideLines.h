// The lines of the saved list that cannot run as the user means them (lines the user
// broke, a header line changed, a first column that names no file), named in one box
// before the first move rather than taking the job for done.
#pragma once

#include <cstddef>
#include <vector>

#include "filelist/uLineVerdicts.h"

class TSavedList;

enum TLinesAnswer { laRename, laEditAgain, laCancel };

// Names the lines that AVerdicts sets aside in one box: how many, and the first few with
// their line numbers; the entries among them are set aside in ALines (TSavedList::Skip).
// The answers: rename the other lines (also when none is set aside, and without the box
// when AAgreed: the user has seen them already), edit the list again (AFirstNamed: the
// number of the first line named, from 1), or cancel (Esc too).
TLinesAnswer CheckSavedLines(TSavedList& ALines, const std::vector<TJudgement>& AVerdicts,
                             bool AAgreed, size_t& AFirstNamed);
