// Path names between the UTF-16 strings of the code and the byte strings of POSIX calls.
//
// The file system stores names as bytes; we write them as UTF-8. A lone surrogate (which
// a Windows name may hold) is written in the three-byte form of its value, so that two
// different UTF-16 names never meet as the same byte string. Reading back, bytes that are
// not UTF-8 become U+FFFD each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace posix {

inline void AppendUtf8(std::string& AOut, uint32_t ACode) {
  if (ACode < 0x80) {
    AOut += char(ACode);
  } else if (ACode < 0x800) {
    AOut += char(0xC0 | (ACode >> 6));
    AOut += char(0x80 | (ACode & 0x3F));
  } else if (ACode < 0x10000) {
    AOut += char(0xE0 | (ACode >> 12));
    AOut += char(0x80 | ((ACode >> 6) & 0x3F));
    AOut += char(0x80 | (ACode & 0x3F));
  } else {
    AOut += char(0xF0 | (ACode >> 18));
    AOut += char(0x80 | ((ACode >> 12) & 0x3F));
    AOut += char(0x80 | ((ACode >> 6) & 0x3F));
    AOut += char(0x80 | (ACode & 0x3F));
  }
}

inline std::string PathToBytes(std::u16string_view AName) {
  std::string out;
  out.reserve(AName.size());
  for (size_t i = 0; i < AName.size(); ++i) {
    uint32_t c = AName[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < AName.size() && AName[i + 1] >= 0xDC00 &&
        AName[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (AName[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(out, c);
  }
  return out;
}

inline std::string PathToBytes(const char16_t* AName) {
  return AName ? PathToBytes(std::u16string_view(AName)) : std::string();
}

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
inline std::u16string BytesToPath(std::string_view ABytes) {
  std::u16string out;
  out.reserve(ABytes.size());
  size_t i = 0;
  const size_t n = ABytes.size();
  auto cont = [&](size_t k) { return k < n && (uint8_t(ABytes[k]) & 0xC0) == 0x80; };
  while (i < n) {
    uint8_t b = uint8_t(ABytes[i]);
    uint32_t c = 0;
    size_t len = 0;
    if (b < 0x80) {
      c = b, len = 1;
    } else if (b >= 0xC2 && b <= 0xDF && cont(i + 1)) {
      c = ((b & 0x1F) << 6) | (uint8_t(ABytes[i + 1]) & 0x3F), len = 2;
    } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && cont(i + 2)) {
      c = ((b & 0x0F) << 12) | ((uint8_t(ABytes[i + 1]) & 0x3F) << 6) |
          (uint8_t(ABytes[i + 2]) & 0x3F);
      len = (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) ? 3 : 0;
    } else if (b >= 0xF0 && b <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      c = ((b & 0x07) << 18) | ((uint8_t(ABytes[i + 1]) & 0x3F) << 12) |
          ((uint8_t(ABytes[i + 2]) & 0x3F) << 6) | (uint8_t(ABytes[i + 3]) & 0x3F);
      len = (c >= 0x10000 && c <= 0x10FFFF) ? 4 : 0;
    }
    if (len == 0) {
      out += char16_t(0xFFFD);
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out += char16_t(0xD800 + ((c - 0x10000) >> 10));
      out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += char16_t(c);
    }
    i += len;
  }
  return out;
}

} // namespace posix
