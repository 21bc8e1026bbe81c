// Text helpers of the terminal host: UTF-8 <-> UTF-16, and button texts.
#pragma once

#include <string>
#include <string_view>

namespace host {

// Decodes as the plugin reads a POSIX file name, so that a listed name reads the same in
// both: each part that is not well-formed UTF-8 becomes U+FFFD. AValid (when given)
// tells whether there was none.
std::u16string Utf8ToU16(const std::string& AText, bool* AValid = nullptr);
// Unpaired surrogates encode as U+FFFD (WideToUtf8).
std::string U16ToUtf8(const std::u16string& AText);

// A button text as FAR shows it: "&" marks the hot key and is dropped, "&&" is one "&".
std::u16string StripHotKey(const std::u16string& AText);

} // namespace host
