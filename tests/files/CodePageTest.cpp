// The code-page services and the string conversions over them. The same expectations
// run against the real Windows functions under wine and against the POSIX stand-in.
#include "files/uStrings.h"
#include "system/uExceptions.h"
#include "system/uUtf8.h"
#include "system/uWindows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace win;

// Strict UTF-8 length query: 0 and the error code when the bytes are not well-formed.
int StrictLength(const std::string& ABytes, DWORD& AError) {
  SetLastError(0);
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, ABytes.data(),
                                    int(ABytes.size()), nullptr, 0);
  AError = GetLastError();
  return n;
}

std::u16string Lenient(const std::string& ABytes) {
  return MultiByteBufToWide(CP_UTF8, ABytes.data(), int32_t(ABytes.size()));
}

TEST(CodePages, StrictUtf8RejectsWhatWindowsRejects) {
  const char* bad[] = {
      "\xC0\x80",         // overlong NUL
      "\xE0\x80\xAF",     // overlong slash
      "\xF0\x80\x80\xAF", // overlong, four bytes
      "\xED\xA0\x80",     // encoded high surrogate
      "\xED\xBF\xBF",     // encoded low surrogate
      "\xF4\x90\x80\x80", // above U+10FFFF
      "\xF8\x88\x80\x80\x80",
      "abc\xE2\x82", // cut short at the end
      "\xE2\x82z",   // cut short in the middle
      "\x80",        // stray continuation byte
      "\xFF",
  };
  for (const char* s : bad) {
    DWORD error;
    EXPECT_EQ(StrictLength(s, error), 0) << s;
    EXPECT_EQ(error, ERROR_NO_UNICODE_TRANSLATION) << s;
    // The system's own decoder (names, language files, the host) reads them as the
    // platform does: under wine this holds it to Windows' answer.
    bool valid = true;
    EXPECT_EQ(Utf8ToUtf16(s, &valid), Lenient(s)) << s;
    EXPECT_FALSE(valid) << s;
  }
  const char* good[] = {"\xE2\x82\xAC", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF", "\xEE\x80\x80",
                        "\xEF\xBF\xBF"};
  for (const char* s : good) {
    DWORD error;
    EXPECT_GT(StrictLength(s, error), 0) << s;
    bool valid = false;
    EXPECT_EQ(Utf8ToUtf16(s, &valid), Lenient(s)) << s;
    EXPECT_TRUE(valid) << s;
  }
  DWORD error;
  EXPECT_EQ(StrictLength(std::string("a\0b", 3), error), 3);
  EXPECT_EQ(StrictLength("\xF0\x9F\x98\x80", error), 2); // one surrogate pair
}

TEST(CodePages, LenientUtf8ReplacesIllFormedParts) {
  EXPECT_EQ(Lenient("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(Lenient("\xC3\x41"), u"\uFFFDA");
  EXPECT_EQ(Lenient("x\xE2\x82"), u"x\uFFFD");
  // The character after a sequence cut short one byte before the end stays, as Windows
  // reads it (wine's reader takes it too, so the system's own decoder is asked here).
  EXPECT_EQ(Utf8ToUtf16("x\xE2\x41"), u"x\uFFFDA");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x41"), u"\uFFFDA");
  EXPECT_EQ(Lenient("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Lenient("\xE2\x82\xAC"), u"\u20AC");
}

TEST(CodePages, ArgumentsAndBufferErrors) {
  char16_t out[4];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 0), 3);  // size query
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, nullptr, 0), 4); // terminator counts
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcde", 5, out, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, out, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  char bytes[2];
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", 3, bytes, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u4E2D", 1, nullptr, 0, nullptr, nullptr), 3);
}

TEST(CodePages, AnsiIs1252AndOemIs437) {
  EXPECT_EQ(AnsiCharToWide('\x80'), u'\u20AC');
  EXPECT_EQ(AnsiCharToWide('\x9F'), u'\u0178');
  EXPECT_EQ(AnsiCharToWide('\xE9'), u'\u00E9');
  EXPECT_EQ(AnsiCharToWide('A'), u'A');
  EXPECT_EQ(MultiByteBufToWide(CP_OEMCP, "\x82\xE1\xB0", 3), u"\u00E9\u00DF\u2591");
  // What the page lacks becomes '?', or the caller's default character.
  EXPECT_EQ(WideBufToMultiByte(CP_ACP, u"\u00E9\u20AC\u4E2D", 3), "\xE9\x80?");
  char out[4];
  BOOL usedDefault = false;
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"a\u4E2D", 2, out, 4, "#", &usedDefault), 2);
  EXPECT_EQ(std::string(out, 2), "a#");
  EXPECT_TRUE(usedDefault);
  // ANSI to OEM: same letters, other numbers.
  EXPECT_EQ(AnsiToOem("\xE9\xFC\xC7x"), "\x82\x81\x80x");
  EXPECT_EQ(AnsiToOem(""), "");
}

TEST(Strings, Utf8LengthsAndEmptyInput) {
  EXPECT_EQ(WideToUtf8(u"Zo\u00EB \u03A9 \u0416").size(), 10u); // at most two bytes a unit
  EXPECT_EQ(WideToUtf8(u"\u4E2D\u6587\u540D"), "\xE4\xB8\xAD\xE6\x96\x87\xE5\x90\x8D");
  EXPECT_EQ(WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(WideToUtf8(u""), "");
  EXPECT_EQ(WideBufToUtf8(u"abc", 0), "");
  EXPECT_EQ(WideBufToUtf8(u"abc", -5), "");
  EXPECT_EQ(AnsiBufToWide("abc", -1), u"");
  EXPECT_EQ(AnsiBufToOem("abc", 0), "");
  // A lone surrogate is replaced, not refused.
  EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"), "\xEF\xBF\xBD"
                                                                    "a");
  std::string out = "old";
  WideToUtf8(u"", out);
  EXPECT_EQ(out, "");
}

TEST(Strings, RefusedConversionRaises) {
  try {
    MultiByteBufToWide(12345, "abc", 3); // a code page nobody has
    FAIL() << "no exception";
  } catch (const EStringError& e) {
    EXPECT_STREQ(e.what(), "Conversion failed.");
  }
}

} // namespace
