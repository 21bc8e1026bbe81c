// Text helpers of the terminal host: button texts. UTF-8 and UTF-16 convert through
// system/uUtf8.h.
#pragma once

#include <string>

namespace host {

// A button text as FAR shows it: "&" marks the hot key and is dropped, "&&" is one "&".
std::u16string StripHotKey(const std::u16string& AText);

} // namespace host
