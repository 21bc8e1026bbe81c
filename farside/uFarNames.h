// The order of names as FAR's panel sorts them.
#pragma once

#include <string_view>

// Case-insensitive (ASCII, Latin-1, Greek and Cyrillic letters), names equal but for case
// ordered by their code units. <0, 0, >0.
int CompareNames(std::u16string_view A, std::u16string_view B);
