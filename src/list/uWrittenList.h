// What a job remembers of the list it wrote, to read the saved list against: the header's
// lines, and a small hash of each name, which tells a first column the user left alone at
// no cost of a system call.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

uint32_t WrittenNameHash(std::u16string_view AName);

// The header's lines as written (AHeader's lines end in LF).
std::vector<std::u16string_view> HeaderLines(std::u16string_view AHeader);
