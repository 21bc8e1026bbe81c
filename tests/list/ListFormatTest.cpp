// The list file's text: quoting, the entry layout, the header, the entry grammar, and
// names of many scripts written to a real list file and read back.
#include "files/uFiles.h"
#include "list/uListFormat.h"
#include "list/uSavedList.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct TEntry {
  bool Ok;
  int32_t SourceStart, SourceLength, DestStart, DestLength;
};

TEntry Parse(const std::u16string& ALine) {
  TEntry e{false, -1, -1, -1, -1};
  e.Ok = ParseListLine(ALine, e.SourceStart, e.SourceLength, e.DestStart, e.DestLength);
  return e;
}

TEST(ListFormat, QuoteDoublesQuotes) {
  EXPECT_EQ(QuoteFileName(u"a.txt"), u"\"a.txt\"");
  EXPECT_EQ(QuoteFileName(u""), u"\"\"");
  EXPECT_EQ(QuoteFileName(u"say \"hi\""), u"\"say \"\"hi\"\"\"");
  for (const char16_t* name : {u"a.txt", u"", u"say \"hi\"", u"\"\"\""})
    EXPECT_EQ(QuotedLength(name), QuoteFileName(name).size());
}

TEST(ListFormat, EntriesAreLaidOutInTwoColumns) {
  const std::u16string a = QuoteFileName(u"a.txt"), b = QuoteFileName(u"longer.doc");
  const int32_t width = int32_t(std::max(a.size(), b.size()));
  EXPECT_EQ(width, 12);
  EXPECT_EQ(FormatListLine(a, width), u"\"a.txt\"" + std::u16string(9, u' ') + u"\"a.txt\"");
  EXPECT_EQ(FormatListLine(b, width), u"\"longer.doc\"    \"longer.doc\"");
  EXPECT_EQ(FormatListLine(a, 7), u"\"a.txt\"    \"a.txt\"");
  // As the printf layout does: the column is cut to a smaller width, and a negative
  // width left-justifies in its absolute value.
  EXPECT_EQ(FormatListLine(a, 3), u"\"a.    \"a.txt\"");
  EXPECT_EQ(FormatListLine(a, -9), u"\"a.txt\"      \"a.txt\"");

  const TEntry e = Parse(FormatListLine(a, width));
  EXPECT_TRUE(e.Ok);
  EXPECT_EQ(e.SourceStart, 2);
  EXPECT_EQ(e.SourceLength, 5);
  EXPECT_EQ(e.DestStart, 18);
  EXPECT_EQ(e.DestLength, 5);
}

TEST(ListFormat, HeaderReplacesEveryPlaceholder) {
  EXPECT_EQ(FormatListHeader(u"${DIRECTORY} and ${DIRECTORY}", u"/d/"), u"/d/ and /d/");
  EXPECT_EQ(FormatListHeader(u"${directory}", u"/d/"), u"${directory}");
  // The replacement is not searched again.
  EXPECT_EQ(FormatListHeader(u"<${DIRECTORY}>", u"${DIRECTORY}"), u"<${DIRECTORY}>");
  EXPECT_EQ(FormatListHeader(u"x", u"/d/"), u"x");
  EXPECT_EQ(ReplaceAll(u"\na\n\nb", u"\n", u"\r\n"), u"\r\na\r\n\r\nb");
  EXPECT_EQ(ReplaceAll(u"${N}${N}.", u"${N}", u""), u".");
  // The directory's control characters never break the header's line, nor reach a screen.
  EXPECT_EQ(FormatListHeader(u"in ${DIRECTORY}\nnext", u"/x\n\"a\" \"b\"\r\x1b\x7f\x9b\u00a0/"),
            u"in /x\\x0A\"a\" \"b\"\\x0D\\x1B\\x7F\\x9B\u00a0/\nnext");
}

TEST(ListFormat, EntryGrammar) {
  for (const char16_t* line : {u"\"a\" \"b\"", u"\"a\"\"b\"", u"\"a\"   \"b\"  "}) {
    std::u16string source, destination;
    EXPECT_TRUE(SplitListLine(line, source, destination)) << (const void*)line;
    EXPECT_EQ(source, u"a");
    EXPECT_EQ(destination, u"b");
  }
  EXPECT_EQ(Parse(u"\" a \" \"b c\"").SourceLength, 3); // blanks inside belong to the name
  for (const char16_t* line :
       {u"\"a\" \"b\"x", u" \"a\" \"b\"", u"\"a\"\t\"b\"", u"\"a\" \"b", u"\"a\"", u"\"a", u"",
        u"a \"b\"", u"\"a\" \"b\"\t", u"\"a\" \"b\" \"c\""})
    EXPECT_FALSE(Parse(line).Ok) << (const void*)line;

  const TEntry empty = Parse(u"\"a\" \"\"");
  EXPECT_TRUE(empty.Ok);
  EXPECT_EQ(empty.DestStart, 6);
  EXPECT_EQ(empty.DestLength, 0);
  std::u16string source = u"x", destination = u"y";
  EXPECT_FALSE(SplitListLine(u"\"a\" \"\"", source, destination));
  EXPECT_EQ(source, u"");
  EXPECT_EQ(destination, u"");
  EXPECT_FALSE(SplitListLine(u"\"\" \"b\"", source, destination));

  // A doubled quote is not an escape: such a line is not the same entry again.
  std::u16string quoted = QuoteFileName(u"x\"y");
  EXPECT_FALSE(SplitListLine(FormatListLine(quoted, int32_t(quoted.size())), source, destination) &&
               source == u"x\"y");
}

// The lines the user is told of before the renames: neither blank nor an entry, or an
// entry that has lost its source. An emptied destination is the way to leave a file alone.
TEST(ListFormat, UnreadLinesAreTheOnesTheUserBroke) {
  const struct {
    const char16_t* Line;
    bool Unread;
  } lines[] = {{u"\"b.txt    b2.txt\"", true},       // a quote deleted: "b.txt    b2.txt"
               {u"\"b.txt\"    b2.txt\"", true},     // its other quote deleted
               {u"\"c\"2.txt\"    \"c.txt\"", true}, // a quote typed inside a name
               {u"\"a\"    \"b\" and more", true},   // a word after the closing quote
               {u"  \"a\"    \"b\"", true},          // blanks before the first quote
               {u"\"a\"\t\"b\"", true},              // a tab between the names
               {u"a.txt", true},                     // no quotes at all
               {u"\"\"    \"b\"", true},             // the source emptied
               {u"\"a\"    \"\"", false},            // the destination emptied
               {u"\"\"    \"\"", false},
               {u"\"a\"    \"b\"  ", false},
               {u"", false},
               {u"  \t ", false}};
  for (const auto& line : lines)
    EXPECT_EQ(IsUnreadLine(line.Line), line.Unread) << (const void*)line.Line;
  EXPECT_EQ(ListHeaderLines(u"one"), 1u);
  EXPECT_EQ(ListHeaderLines(u"one\ntwo\nthree"), 3u);
}

TEST(ListFormat, NamesOfManyScriptsSurviveTheListFile) {
  const std::vector<std::u16string> names = {u"report.txt",
                                             u"Caf\u00E9 cr\u00E8me.doc",
                                             u"\u041E\u0442\u0447\u0451\u0442.txt",
                                             u"\u0391\u03B8\u03AE\u03BD\u03B1.png",
                                             u"\u4E2D\u6587\u540D.txt",
                                             u"\U0001F600 smile.txt",
                                             u"\U00020000 rare.txt",
                                             u"  spaced  name "};
  int32_t width = 0;
  for (const auto& n : names)
    width = std::max(width, int32_t(QuoteFileName(n).size()));

  testing_support::TTempDir dir;
  const std::u16string file = dir.Dir() + u"list.txt";
  {
    TTextStream stream(file, fmCreate);
    stream.SetEncoding(feUTF8);
    stream.WriteLine(FormatListHeader(u"Files of ${DIRECTORY}", dir.Dir()));
    for (const auto& n : names)
      stream.WriteLine(FormatListLine(QuoteFileName(n), width));
    stream.Flush();
  }
  TTextStream stream(file, fmOpenRead | fmShareDenyNone);
  std::u16string line, source, destination;
  ASSERT_TRUE(stream.ReadLine(line));
  EXPECT_EQ(line, u"Files of " + dir.Dir());
  EXPECT_FALSE(SplitListLine(line, source, destination));
  for (const auto& n : names) {
    ASSERT_TRUE(stream.ReadLine(line));
    ASSERT_TRUE(SplitListLine(line, source, destination));
    EXPECT_EQ(source, n);
    EXPECT_EQ(destination, n);
  }
  EXPECT_FALSE(stream.ReadLine(line));

  // Read back for the renames: the same entries, without the blanks that align them.
  TSavedList saved;
  ASSERT_TRUE(ReadSavedList(file, saved));
  ASSERT_EQ(saved.size(), names.size() + 1);
  EXPECT_EQ(saved[0].Kind, lkOther);
  EXPECT_EQ(saved[0].Text, u"Files of " + dir.Dir());
  for (size_t i = 0; i < names.size(); ++i) {
    const TListLine line = saved[i + 1];
    ASSERT_TRUE(line.Renames());
    EXPECT_EQ(line.Source, names[i]);
    EXPECT_EQ(line.Destination, names[i]);
    EXPECT_EQ(line.Shown().size(), 2 * QuotedLength(names[i]) + 1);
  }
}

// Random lines: the parser never reads outside the line, and what it accepts has the
// shape of an entry; lines it formats itself always read back.
TEST(ListFormat, FuzzedLines) {
  std::mt19937 random(4711);
  const char16_t alphabet[] = {u'"', u' ', u'a', u'\t', u'.', char16_t(0xD800), u'\u00E9'};
  TSavedList saved;
  for (int round = 0; round < 20000; ++round) {
    std::u16string line;
    const size_t length = random() % 24;
    for (size_t i = 0; i < length; ++i)
      line += alphabet[random() % std::size(alphabet)];
    const TEntry e = Parse(line);
    std::u16string source, destination;
    const bool split = SplitListLine(line, source, destination);
    EXPECT_TRUE(!split || (e.Ok && e.SourceLength > 0 && e.DestLength > 0));

    // A saved list keeps any other line as it is, and an entry as the same entry, parsed
    // once into what the engine and the check of broken lines ask of it.
    saved.Add(line);
    const TListLine parsed = saved[saved.size() - 1];
    EXPECT_EQ(parsed.Renames(), split);
    EXPECT_EQ(parsed.Unread(), IsUnreadLine(line));
    if (split) {
      EXPECT_EQ(parsed.Source, source);
      EXPECT_EQ(parsed.Destination, destination);
    }
    const std::u16string kept = parsed.Shown();
    std::u16string keptSource, keptDestination;
    EXPECT_EQ(Parse(kept).Ok, e.Ok);
    EXPECT_EQ(SplitListLine(kept, keptSource, keptDestination), split);
    EXPECT_EQ(keptSource, source);
    EXPECT_EQ(keptDestination, destination);
    if (!e.Ok) {
      EXPECT_EQ(kept, line);
      continue;
    }
    ASSERT_EQ(e.SourceStart, 2);
    ASSERT_GE(e.SourceLength, 0);
    ASSERT_GT(e.DestStart, e.SourceStart + e.SourceLength);
    ASSERT_LE(size_t(e.DestStart - 1 + e.DestLength), line.size() - 1);
    EXPECT_EQ(line[size_t(e.DestStart - 2)], u'"');
    EXPECT_EQ(line[size_t(e.DestStart - 1 + e.DestLength)], u'"');

    // Names without quotes, formatted at any sufficient width, parse back.
    std::u16string name = line;
    std::erase(name, u'"');
    if (name.empty()) continue;
    const std::u16string quoted = QuoteFileName(name);
    ASSERT_TRUE(SplitListLine(FormatListLine(quoted, int32_t(quoted.size() + random() % 5)), source,
                              destination));
    EXPECT_EQ(source, name);
    EXPECT_EQ(destination, name);
  }
}

} // namespace
