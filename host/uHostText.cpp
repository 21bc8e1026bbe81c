#include "uHostText.h"

#include <algorithm>

namespace host {

std::u16string Utf8ToU16(const std::string& AText, bool* AValid) {
  std::u16string result;
  result.reserve(AText.size());
  bool valid = true;
  const auto* s = reinterpret_cast<const unsigned char*>(AText.data());
  const size_t n = AText.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      result.push_back(c);
      ++i;
      continue;
    }
    int extra = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((c & 0xE0) == 0xC0) {
      extra = 1, value = c & 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, value = c & 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, value = c & 0x07, minimum = 0x10000;
    } else {
      extra = -1;
    }
    bool ok = extra > 0;
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + k >= n || (s[i + k] & 0xC0) != 0x80) {
        ok = false;
      } else {
        value = (value << 6) | (s[i + k] & 0x3F);
      }
    }
    if (ok && (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))) {
      ok = false;
    }
    if (!ok) {
      valid = false;
      result.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (value >= 0x10000) {
      value -= 0x10000;
      result.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
      result.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
    } else {
      result.push_back(static_cast<char16_t>(value));
    }
    i += extra + 1;
  }
  if (AValid) *AValid = valid;
  return result;
}

std::string U16ToUtf8(const std::u16string& AText) {
  std::string result;
  result.reserve(AText.size());
  const size_t n = AText.size();
  for (size_t i = 0; i < n; ++i) {
    char32_t c = AText[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && AText[i + 1] >= 0xDC00 &&
        AText[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (AText[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      result.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      result.push_back(static_cast<char>(0xC0 | (c >> 6)));
      result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      result.push_back(static_cast<char>(0xE0 | (c >> 12)));
      result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      result.push_back(static_cast<char>(0xF0 | (c >> 18)));
      result.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return result;
}

namespace {

// Lower case for the letters whose case pairs are a fixed offset apart.
char16_t FoldCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? c + 32 : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F)) {
    return c + 32;
  }
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

} // namespace

int CompareNames(const std::u16string& A, const std::u16string& B) {
  const size_t n = std::min(A.size(), B.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t a = FoldCase(A[i]);
    const char16_t b = FoldCase(B[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  if (A.size() != B.size()) return A.size() < B.size() ? -1 : 1;
  return A.compare(B);
}

std::u16string NameKey(const std::u16string& AName) {
  std::u16string key = AName;
  for (auto& c : key)
    c = FoldCase(c);
  return key;
}

std::u16string StripHotKey(const std::u16string& AText) {
  std::u16string result;
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] == u'&') {
      if (i + 1 < AText.size() && AText[i + 1] == u'&') result.push_back(u'&'), ++i;
      continue;
    }
    result.push_back(AText[i]);
  }
  return result;
}

} // namespace host
