// Text helpers of the terminal host: UTF-8 <-> UTF-16, and the name order of a panel.
#pragma once

#include <string>

namespace host {

// Decodes as the plugin reads a POSIX file name, so that a listed name reads the same in
// both: each part that is not well-formed UTF-8 becomes U+FFFD. AValid (when given)
// tells whether there was none.
std::u16string Utf8ToU16(const std::string& AText, bool* AValid = nullptr);
// Unpaired surrogates encode as U+FFFD (WideToUtf8).
std::string U16ToUtf8(const std::u16string& AText);

// The order of names in a panel: case-insensitive (ASCII, Latin-1, Greek and Cyrillic
// letters), names equal but for case ordered by their code units. <0, 0, >0.
int CompareNames(const std::u16string& A, const std::u16string& B);
// The name with the case of those letters folded: names compare as CompareNames does when
// their keys compare first and the names themselves break ties.
std::u16string NameKey(const std::u16string& AName);

// A button text as FAR shows it: "&" marks the hot key and is dropped, "&&" is one "&".
std::u16string StripHotKey(const std::u16string& AText);

} // namespace host
