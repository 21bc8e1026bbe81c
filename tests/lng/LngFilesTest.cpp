#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "farside/uLngFile.h"
#include "messages/uMessages.h"
#include "system/uUtf8.h"

namespace {

TLngFile Load(const char* AName) {
  TLngFile file;
  EXPECT_TRUE(LoadLngFile(std::string(QUORVANE_SOURCE_DIR) + "/lng/" + AName, file));
  return file;
}

// The hot key of a button text: the character after '&'.
char16_t HotKey(const std::u16string& AText) {
  const size_t amp = AText.find(u'&');
  return amp == std::u16string::npos || amp + 1 >= AText.size() ? 0 : AText[amp + 1];
}

class LngFilesTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LngFilesTest, HoldsAllMessagesInFarsFormat) {
  const TLngFile file = Load(GetParam());
  EXPECT_TRUE(file.Errors.empty()) << file.Errors.front();
  EXPECT_TRUE(file.HasByteOrderMark);
  ASSERT_EQ(file.Messages.size(), size_t(MCount));
  EXPECT_EQ(file.Messages[MTitle], u"Quorvane");
  for (size_t id = MTitle + 1; id < MCount; ++id)
    EXPECT_FALSE(file.Messages[id].empty()) << "message " << id;
  EXPECT_NE(file.Messages[MUnreadLines].find(u"${COUNT}"), std::u16string::npos);
  EXPECT_NE(file.Messages[MUnreadLine].find(u"${LINE}"), std::u16string::npos);

  const std::u16string& header = file.Messages[MListHeader];
  EXPECT_NE(header.find(u"${DIRECTORY}"), std::u16string::npos);
  EXPECT_NE(header.find(u'\n'), std::u16string::npos);
  EXPECT_NE(header.find(u"Alt+F1"), std::u16string::npos);
  EXPECT_NE(header.find(u"Alt+F2"), std::u16string::npos);
  EXPECT_EQ(header.find(u'\r'), std::u16string::npos);
  // No header line may read back as a list entry, which starts with a quote.
  size_t start = 0;
  while (start <= header.size()) {
    EXPECT_NE(header[start], u'"');
    const size_t lf = header.find(u'\n', start);
    if (lf == std::u16string::npos) break;
    start = lf + 1;
  }

  // The four buttons of the failure prompt have distinct hot keys.
  std::set<char16_t> keys;
  for (const TMessageId id : {MRetry, MOverwrite, MSkip, MSkipAll}) {
    const char16_t key = HotKey(file.Messages[id]);
    EXPECT_NE(key, 0) << "message " << id;
    keys.insert(key);
  }
  EXPECT_EQ(keys.size(), 4u);
  EXPECT_NE(HotKey(file.Messages[MRenameOthers]), 0);
  EXPECT_NE(HotKey(file.Messages[MRenameOthers]), HotKey(file.Messages[MCancel]));
  EXPECT_NE(HotKey(file.Messages[MStop]), 0);
  EXPECT_NE(HotKey(file.Messages[MStop]), HotKey(file.Messages[MContinue]));
  EXPECT_NE(file.Messages[MProgress].find(u"${DONE}"), std::u16string::npos);
  EXPECT_NE(file.Messages[MProgress].find(u"${TOTAL}"), std::u16string::npos);
  // The three buttons of the box of lines that would not run, likewise.
  keys.clear();
  for (TMessageId id : {MRenameOthers, MEditAgain, MCancel})
    keys.insert(HotKey(file.Messages[id]));
  EXPECT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys.count(0), 0u);
  EXPECT_NE(file.Messages[MChangedSourceLine].find(u"${TEXT}"), std::u16string::npos);
  // Key bar labels are short.
  EXPECT_LE(file.Messages[MSelectKeyLabel].size(), 8u);
  EXPECT_LE(file.Messages[MJumpKeyLabel].size(), 8u);
}

INSTANTIATE_TEST_SUITE_P(Languages, LngFilesTest,
                         ::testing::Values("QuorvaneEng.lng", "QuorvaneRus.lng"));

TEST(LngFiles, LanguageLinesNameEnglishAndRussian) {
  const TLngFile english = Load("QuorvaneEng.lng");
  EXPECT_EQ(english.LanguageName, u"English");
  EXPECT_EQ(english.LanguageDescription, u"English");
  const TLngFile russian = Load("QuorvaneRus.lng");
  EXPECT_EQ(russian.LanguageName, u"Russian");
  EXPECT_EQ(russian.LanguageDescription, u"Russian (Русский)");
  // The editor's start line depends on the header's line count, the same in both.
  const std::u16string& englishHeader = english.Messages[MListHeader];
  const std::u16string& russianHeader = russian.Messages[MListHeader];
  EXPECT_EQ(std::count(englishHeader.begin(), englishHeader.end(), u'\n'),
            std::count(russianHeader.begin(), russianHeader.end(), u'\n'));
}

TEST(LngParser, FollowsFarsRules) {
  const TLngFile file = ParseLngText("\xEF\xBB\xBF.Language=English,English\r\n"
                                     "// a comment\r\n"
                                     "\r\n"
                                     "  \"indented\"  \r\n"
                                     "\"a\\nb\\tc\\\\d\\\"e\"\"f\"\n"
                                     "not a message\n"
                                     "\"\"\n"
                                     "\"\xD0\x96\xF0\x9F\x98\x80\"");
  EXPECT_TRUE(file.Errors.empty());
  ASSERT_EQ(file.Messages.size(), 4u);
  EXPECT_EQ(file.Messages[0], u"indented");
  EXPECT_EQ(file.Messages[1], u"a\nb\tc\\d\"e\"f");
  EXPECT_EQ(file.Messages[2], u"");
  EXPECT_EQ(file.Messages[3], u"\u0416\U0001F600");
}

TEST(LngParser, ReportsMalformedFiles) {
  EXPECT_FALSE(ParseLngText(".Language=English,English\n\"x\"\n").Errors.empty()); // no mark
  EXPECT_FALSE(ParseLngText("\xEF\xBB\xBF\"x\"\n").Errors.empty());                // no .Language
  const TLngFile open = ParseLngText("\xEF\xBB\xBF.Language=E,E\n\"unterminated\n");
  EXPECT_FALSE(open.Errors.empty());
  ASSERT_EQ(open.Messages.size(), 1u);
  EXPECT_EQ(open.Messages[0], u"unterminated");
  bool valid = true;
  // C0 never leads a sequence, so the 80 after it is a stray byte of its own.
  EXPECT_EQ(Utf8ToUtf16("\xC0\x80", &valid), u"\uFFFD\uFFFD");
  EXPECT_FALSE(valid);
  TLngFile missing;
  EXPECT_FALSE(LoadLngFile("/no/such/file.lng", missing));
}

} // namespace
