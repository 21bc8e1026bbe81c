// Text helpers of the terminal host: button texts, and texts measured in a terminal's
// columns. UTF-8 and UTF-16 convert through system/uUtf8.h.
#pragma once

#include <string>

namespace host {

// A button text as FAR shows it: "&" marks the hot key and is dropped, "&&" is one "&".
std::u16string StripHotKey(const std::u16string& AText);

// The columns a terminal gives AText: two for a wide character (East Asian scripts,
// emoji), none for a combining mark, one for any other.
size_t TerminalColumns(const std::u16string& AText);

// AText in at most AColumns columns: when it is wider, its end alone after "...", so that
// a path keeps its file name.
std::u16string KeepEnd(const std::u16string& AText, size_t AColumns);

} // namespace host
