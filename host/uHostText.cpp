#include "uHostText.h"

#include <algorithm>

#include "files/uStrings.h"
#include "system/uUtf8.h"

namespace host {

std::u16string Utf8ToU16(const std::string& AText, bool* AValid) {
  return Utf8ToUtf16(AText, AValid);
}

std::string U16ToUtf8(const std::u16string& AText) {
  return WideToUtf8(AText);
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
