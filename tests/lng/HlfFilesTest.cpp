// The help files as FAR reads them: the header it matches against its language, the
// topic it opens for the plugin, and links that lead somewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

#include "support/TestFiles.h"

using testing_support::ReadBytes;

namespace {

const std::string ByteOrderMark = "\xEF\xBB\xBF";

std::string SourceFile(const std::string& AName) {
  return ReadBytes(std::string(QUORVANE_SOURCE_DIR) + "/" + AName);
}

std::vector<std::string> Lines(const std::string& AText) {
  std::vector<std::string> lines;
  std::istringstream stream(AText);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string FirstLine(const std::string& AText) {
  const auto lines = Lines(AText.substr(AText.rfind(ByteOrderMark, 0) == 0 ? 3 : 0));
  return lines.empty() ? std::string() : lines.front();
}

// Characters as the help window shows them: UTF-8 sequences count once.
size_t Width(const std::string& ALine) {
  size_t width = 0;
  for (unsigned char c : ALine)
    width += (c & 0xC0) != 0x80;
  return width;
}

struct THelpFile {
  std::vector<std::string> Header; // the lines before the first topic
  std::set<std::string> Topics;
  std::vector<std::string> Links;
  std::vector<std::string> Problems;
};

THelpFile ParseHelp(const std::string& AText) {
  THelpFile file;
  const std::regex link("~[^~]*~@([^@]*)@");
  const auto lines = Lines(AText.substr(ByteOrderMark.size()));
  std::string topic;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.size() > 1 && line[0] == '@' && line[1] != '@') {
      topic = line.substr(1);
      if (!file.Topics.insert(topic).second) file.Problems.push_back("topic twice: " + topic);
      if (i + 1 >= lines.size() || !std::regex_match(lines[i + 1], std::regex("\\$ #.+#")))
        file.Problems.push_back("no \"$ #Title#\" line after @" + topic);
      continue;
    }
    if (topic.empty()) {
      if (!line.empty()) file.Header.push_back(line);
      continue;
    }
    // Doubled marks stand for themselves and take no part in links.
    std::string text = std::regex_replace(line, std::regex("~~|@@|##"), "");
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it)
      file.Links.push_back((*it)[1]);
    const std::string shown =
        std::regex_replace(text, std::regex("~([^~]*)~@[^@]*@|#|\\^<wrap>"), "$1");
    if (Width(shown) > 76) file.Problems.push_back("wider than 76: " + line);
  }
  return file;
}

struct THelpCase {
  const char* Help;
  const char* Language;
};

class HlfFilesTest : public ::testing::TestWithParam<THelpCase> {};

TEST_P(HlfFilesTest, FarFindsTheTopicsAndEveryLinkLeadsToOne) {
  const std::string text = SourceFile(GetParam().Help);
  ASSERT_EQ(text.rfind(ByteOrderMark, 0), 0u) << "UTF-8 with its byte-order mark";
  const THelpFile file = ParseHelp(text);
  EXPECT_TRUE(file.Problems.empty()) << file.Problems.front();

  ASSERT_FALSE(file.Header.empty());
  EXPECT_EQ(file.Header[0], FirstLine(SourceFile(GetParam().Language)));
  EXPECT_NE(std::find(file.Header.begin(), file.Header.end(), ".PluginContents=Quorvane"),
            file.Header.end());
  EXPECT_TRUE(file.Topics.count("Contents"));
  EXPECT_GT(file.Topics.size(), 2u) << "split into topics";
  EXPECT_FALSE(file.Links.empty());
  for (const auto& target : file.Links)
    EXPECT_TRUE(file.Topics.count(target)) << "a link to the missing topic @" << target;
}

INSTANTIATE_TEST_SUITE_P(Languages, HlfFilesTest,
                         ::testing::Values(THelpCase{"hlf/QuorvaneEng.hlf", "lng/QuorvaneEng.lng"},
                                           THelpCase{"hlf/QuorvaneRus.hlf",
                                                     "lng/QuorvaneRus.lng"}));

TEST(HlfFiles, BothLanguagesHaveTheSameTopics) {
  EXPECT_EQ(ParseHelp(SourceFile("hlf/QuorvaneEng.hlf")).Topics,
            ParseHelp(SourceFile("hlf/QuorvaneRus.hlf")).Topics);
}

} // namespace
