// POSIX stand-in: case-insensitive comparison in the Unicode locale.
#include "system/uWindowsPosix.h"

#include <cwctype>
#include <locale.h>
#include <string>

namespace win {

namespace {

// Made on the first comparison outside ASCII and freed by ReleaseServiceResources, so
// that nothing is left when the module unloads.
locale_t Locale = locale_t(0);

locale_t UnicodeLocale() {
  if (!Locale) Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
  if (!Locale) Locale = newlocale(LC_CTYPE_MASK, "C.utf8", locale_t(0));
  return Locale;
}

} // namespace

namespace standin {

// Surrogates stay as they are; so does any letter whose lower case is outside the
// Basic Multilingual Plane.
char16_t LowerCase(char16_t C) {
  if (C < 0x80) return (C >= u'A' && C <= u'Z') ? char16_t(C + 32) : C;
  if (C >= 0xD800 && C <= 0xDFFF) return C;
  locale_t locale = UnicodeLocale();
  if (!locale) return C;
  wint_t lower = towlower_l(wint_t(C), locale);
  if (lower > 0xFFFF || (lower >= 0xD800 && lower <= 0xDFFF)) return C;
  return char16_t(lower);
}

} // namespace standin

void ReleaseServiceResources() {
  if (Locale) freelocale(Locale);
  Locale = locale_t(0);
}

namespace real {

int lstrcmpiW(const char16_t* A, const char16_t* B) {
  if (!A || !B) return A ? 1 : (B ? -1 : 0);
  for (;; ++A, ++B) {
    char16_t a = standin::LowerCase(*A), b = standin::LowerCase(*B);
    if (a != b) return a < b ? -1 : 1;
    if (a == 0) return 0;
  }
}

int CompareStringOrdinal(const char16_t* A, int ALength, const char16_t* B, int BLength,
                         BOOL AIgnoreCase) {
  const size_t aLength = ALength < 0 ? std::char_traits<char16_t>::length(A) : size_t(ALength);
  const size_t bLength = BLength < 0 ? std::char_traits<char16_t>::length(B) : size_t(BLength);
  for (size_t i = 0; i < aLength && i < bLength; ++i) {
    const char16_t a = AIgnoreCase ? standin::LowerCase(A[i]) : A[i];
    const char16_t b = AIgnoreCase ? standin::LowerCase(B[i]) : B[i];
    if (a != b) return a < b ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
  }
  return aLength < bLength ? CSTR_LESS_THAN : aLength > bLength ? CSTR_GREATER_THAN : CSTR_EQUAL;
}

} // namespace real
} // namespace win
