// POSIX stand-in for the Windows code-page conversions.
//
// The ANSI code page is Windows-1252 and the OEM code page is 437, as on a Western
// Windows system. UTF-8 follows the Windows rules: under MB_ERR_INVALID_CHARS anything
// that is not well-formed UTF-8 (overlong forms, encoded surrogates, values above
// U+10FFFF, sequences cut short, stray continuation bytes) fails the whole call with
// ERROR_NO_UNICODE_TRANSLATION; without the flag each ill-formed part becomes one U+FFFD
// (the decoder of uUtf8.h).
// Converting to a single-byte code page, a character the page lacks becomes a similar-looking byte
// where Windows has a "best fit" for it, else the default character
// ('?' unless the caller gives one).
#include "system/uWindows.h"

#include "system/uPosixBestFit.h"
#include "system/uUtf8.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace win::real {

namespace {

constexpr DWORD ERROR_INVALID_FLAGS = 1004;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;

// Code units of the bytes 0x80 to 0x9F of Windows-1252; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Code units of the bytes 0x80 to 0xFF of code page 437; the lower half is ASCII.
constexpr std::array<char16_t, 128> Cp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

enum class TPage { Cp1252, Cp437, Utf8, Unknown };

TPage PageOf(UINT ACodePage) {
  switch (ACodePage) {
  case CP_ACP:
  case 3: // CP_THREAD_ACP
  case 1252:
    return TPage::Cp1252;
  case CP_OEMCP:
  case 437:
    return TPage::Cp437;
  case CP_UTF8:
    return TPage::Utf8;
  default:
    return TPage::Unknown;
  }
}

char16_t ByteToUnit(TPage APage, uint8_t AByte) {
  if (AByte < 0x80) return AByte;
  if (APage == TPage::Cp437) return Cp437High[AByte - 0x80];
  return AByte < 0xA0 ? Cp1252High[AByte - 0x80] : char16_t(AByte);
}

int BestFit(const posix::TBestFit* AFirst, const posix::TBestFit* ALast, char16_t AUnit) {
  auto it = std::lower_bound(AFirst, ALast, AUnit,
                             [](const posix::TBestFit& e, char16_t u) { return e.Unit < u; });
  return it != ALast && it->Unit == AUnit ? it->Byte : -1;
}

// The byte of the code page for a code unit (its own or a best fit), or -1 when there is
// none.
int UnitToByte(TPage APage, char16_t AUnit) {
  if (AUnit < 0x80) return AUnit;
  if (APage == TPage::Cp1252 && AUnit >= 0xA0 && AUnit <= 0xFF) return AUnit;
  if (APage == TPage::Cp1252) {
    for (size_t i = 0; i < Cp1252High.size(); ++i)
      if (Cp1252High[i] == AUnit) return int(0x80 + i);
  } else {
    for (size_t i = 0; i < Cp437High.size(); ++i)
      if (Cp437High[i] == AUnit) return int(0x80 + i);
  }
  if (APage == TPage::Cp1252)
    return BestFit(std::begin(posix::BestFit1252), std::end(posix::BestFit1252), AUnit);
  return BestFit(std::begin(posix::BestFit437), std::end(posix::BestFit437), AUnit);
}

bool Fail(DWORD ACode) {
  SetLastError(ACode);
  return false;
}

} // namespace

int MultiByteToWideChar(UINT ACodePage, DWORD AFlags, const char* ASource, int ASourceLength,
                        char16_t* ADest, int ADestLength) {
  if (!ASource || ASourceLength == 0 || ADestLength < 0 || (!ADest && ADestLength != 0))
    return Fail(ERROR_INVALID_PARAMETER);
  const TPage page = PageOf(ACodePage);
  if (page == TPage::Unknown) return Fail(ERROR_INVALID_PARAMETER);
  if (page == TPage::Utf8 && (AFlags & ~MB_ERR_INVALID_CHARS) != 0)
    return Fail(ERROR_INVALID_FLAGS);
  // A negative length means a NUL-terminated source, the terminator included.
  const size_t length = ASourceLength < 0 ? std::strlen(ASource) + 1 : size_t(ASourceLength);
  const auto* source = reinterpret_cast<const uint8_t*>(ASource);
  const bool strict = (AFlags & MB_ERR_INVALID_CHARS) != 0;

  size_t written = 0;
  bool overflow = false;
  auto put = [&](char16_t AUnit) {
    if (ADestLength == 0) {
      ++written;
    } else if (written < size_t(ADestLength)) {
      ADest[written++] = AUnit;
    } else {
      overflow = true;
    }
  };

  if (page != TPage::Utf8) {
    for (size_t i = 0; i < length && !overflow; ++i)
      put(ByteToUnit(page, source[i]));
  } else {
    for (size_t i = 0; i < length && !overflow;) {
      uint32_t code;
      bool valid;
      i += DecodeUtf8(source, i, length, code, valid);
      if (!valid) {
        if (strict) return Fail(ERROR_NO_UNICODE_TRANSLATION);
        put(0xFFFD);
      } else if (code >= 0x10000) {
        put(char16_t(0xD800 + ((code - 0x10000) >> 10)));
        put(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
      } else {
        put(char16_t(code));
      }
    }
  }
  if (overflow) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (written > 0x7FFFFFFF) return Fail(ERROR_INVALID_PARAMETER);
  return int(written);
}

int WideCharToMultiByte(UINT ACodePage, DWORD AFlags, const char16_t* ASource, int ASourceLength,
                        char* ADest, int ADestLength, const char* ADefaultChar,
                        BOOL* AUsedDefaultChar) {
  if (!ASource || ASourceLength == 0 || ADestLength < 0 || (!ADest && ADestLength != 0))
    return Fail(ERROR_INVALID_PARAMETER);
  const TPage page = PageOf(ACodePage);
  if (page == TPage::Unknown) return Fail(ERROR_INVALID_PARAMETER);
  if (page == TPage::Utf8) {
    if (ADefaultChar || AUsedDefaultChar) return Fail(ERROR_INVALID_PARAMETER);
    if ((AFlags & ~WC_ERR_INVALID_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
  }
  size_t length = 0;
  if (ASourceLength < 0) {
    while (ASource[length] != 0)
      ++length;
    ++length; // the terminator counts
  } else {
    length = size_t(ASourceLength);
  }

  size_t written = 0;
  bool overflow = false;
  auto put = [&](uint8_t AByte) {
    if (ADestLength == 0) {
      ++written;
    } else if (written < size_t(ADestLength)) {
      ADest[written++] = char(AByte);
    } else {
      overflow = true;
    }
  };

  if (page == TPage::Utf8) {
    const bool strict = (AFlags & WC_ERR_INVALID_CHARS) != 0;
    for (size_t i = 0; i < length && !overflow; ++i) {
      uint32_t c = ASource[i];
      if (c >= 0xD800 && c < 0xE000) {
        if (c < 0xDC00 && i + 1 < length && ASource[i + 1] >= 0xDC00 && ASource[i + 1] < 0xE000) {
          c = 0x10000 + ((c - 0xD800) << 10) + (ASource[i + 1] - 0xDC00);
          ++i;
        } else if (strict) {
          return Fail(ERROR_NO_UNICODE_TRANSLATION);
        } else {
          c = 0xFFFD; // a lone surrogate
        }
      }
      char bytes[4];
      const size_t count = EncodeUtf8(c, bytes);
      for (size_t k = 0; k < count; ++k)
        put(uint8_t(bytes[k]));
    }
  } else {
    const uint8_t fallback = ADefaultChar ? uint8_t(*ADefaultChar) : uint8_t('?');
    bool usedDefault = false;
    for (size_t i = 0; i < length && !overflow; ++i) {
      const int b = UnitToByte(page, ASource[i]);
      if (b >= 0) {
        put(uint8_t(b));
        continue;
      }
      // Each unit of a surrogate pair gets a default character of its own, as on Windows.
      usedDefault = true;
      put(fallback);
    }
    if (AUsedDefaultChar) *AUsedDefaultChar = usedDefault;
  }
  if (overflow) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (written > 0x7FFFFFFF) return Fail(ERROR_INVALID_PARAMETER);
  return int(written);
}

UINT GetACP() {
  return 1252;
}
UINT GetOEMCP() {
  return 437;
}

BOOL CharToOemBuffA(const char* ASource, char* ADest, DWORD ALength) {
  if (!ASource || !ADest) return Fail(ERROR_INVALID_PARAMETER);
  for (DWORD i = 0; i < ALength; ++i) {
    const char16_t unit = ByteToUnit(TPage::Cp1252, uint8_t(ASource[i]));
    const int b = UnitToByte(TPage::Cp437, unit);
    ADest[i] = char(b >= 0 ? b : '?');
  }
  return true;
}

} // namespace win::real
