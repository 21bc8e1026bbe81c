// Whether deleting a destination would delete the file that is to be moved onto its name:
// the same object under two names (a change of case, a hard link), or a source that is a
// symbolic link or reparse point leading to the destination. The rename engine asks before
// it overwrites, so that "overwrite" can never lose the file being moved.
#pragma once

#include <string>

// True when ASource is, or leads to, the object ADestination names, and also when that
// cannot be told (the safe answer: nothing is deleted).
bool IsSameFile(const std::u16string& ASource, const std::u16string& ADestination);

// True when both paths name one directory entry, links not followed: another spelling of
// the same name (a change of case on a file system that ignores case). Two hard links of
// one file are two entries, whatever their names; false when that cannot be told.
bool IsSameEntry(const std::u16string& APath1, const std::u16string& APath2);

// Whether ADestination is ASource's own entry with its name spelled in another case, as
// the file system compares names (not the user's locale).
bool IsOwnEntryInAnotherCase(const std::u16string& ASource, const std::u16string& ADestination);
