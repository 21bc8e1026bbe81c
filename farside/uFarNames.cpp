#include "farside/uFarNames.h"

#include <algorithm>

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

int CompareNames(std::u16string_view A, std::u16string_view B) {
  const size_t n = std::min(A.size(), B.size());
  for (size_t i = 0; i < n; ++i) {
    // Names of one directory mostly share long runs, which need no folding.
    if (A[i] == B[i]) continue;
    const char16_t a = FoldCase(A[i]);
    const char16_t b = FoldCase(B[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  if (A.size() != B.size()) return A.size() < B.size() ? -1 : 1;
  return A.compare(B);
}
