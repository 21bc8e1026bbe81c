// A free name beside a file, for moving it out of the way of another.
#pragma once

#include <string>

// Moves the entry at APath to a free name in its own folder (".quorvane-N") and answers
// that name; empty when it could not be moved.
std::u16string MoveToFreeName(const std::u16string& APath);
