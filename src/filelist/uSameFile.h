// Whether two paths lead to one and the same file-system object (a case-only respelling,
// a hard link, "sub/../name"). The rename engine asks before it deletes a destination,
// so that "overwrite" can never delete the file that was to be moved.
#pragma once

#include <string>

// True when both paths exist and are the same object. When that cannot be told, paths
// that differ only in case count as the same (the safe answer: nothing is deleted).
bool IsSameFile(const std::u16string& APath1, const std::u16string& APath2);
