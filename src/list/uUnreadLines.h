// Lines of the saved list that the user broke while editing (a quote deleted or typed
// inside a name, a word after the closing quote): they rename nothing, and the user hears
// of them before the first move rather than taking the job for done.
#pragma once

class TSavedList;

// Counts the lines below the header that are neither blank nor an entry (IsUnreadLine)
// and, when there are any, names them in one box: how many, and the first few with their
// line numbers. True to go on: there are none, or the user chose to rename the other
// lines; false when the user cancelled, and nothing is to be renamed.
bool AcceptUnreadLines(const TSavedList& ALines);
