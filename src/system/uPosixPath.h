// Path names between the UTF-16 strings of the code and the byte strings of POSIX calls.
//
// The file system stores names as bytes; we write them as UTF-8. A lone surrogate (which
// a Windows name may hold) is written in the three-byte form of its value, so that two
// different UTF-16 names never meet as the same byte string. Reading back, each part of
// the bytes that is not UTF-8 becomes one U+FFFD (the rules of uUtf8.h).
#pragma once

#include <string>
#include <string_view>

#include "system/uUtf8.h"

namespace posix {

inline std::string PathToBytes(std::u16string_view AName) {
  return Utf16ToUtf8(AName, TLoneSurrogate::Kept);
}

inline std::string PathToBytes(const char16_t* AName) {
  return AName ? PathToBytes(std::u16string_view(AName)) : std::string();
}

inline std::u16string BytesToPath(std::string_view ABytes) {
  return Utf8ToUtf16(ABytes);
}

} // namespace posix
