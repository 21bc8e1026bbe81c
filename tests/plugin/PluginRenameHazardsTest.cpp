// Renames where a careless reading of the list would move the wrong file or give a file
// the wrong name: a long list saved without its byte-order mark, names holding U+0000
// or other control characters.
#include "PluginFixture.h"

#include "support/TestFiles.h"
#include "system/uWindows.h"

namespace {

using TService = TFakeFar::TService;
using testing_support::ReadBytes;

class PluginRenameHazards : public PluginFixture {
protected:
  size_t FirstEntry() const {
    const std::u16string header = fFar->Msg(7);
    return 1 + std::count(header.begin(), header.end(), u'\n');
  }
};

// Hundreds of files make a list longer than the part of a file that encoding detection
// samples; saved by the editor without its mark it is still UTF-8.
TEST_F(PluginRenameHazards, LongListSavedWithoutMarkKeepsItsNonAsciiNames) {
  const std::string cyrillic = "\xD0\xB4\xD0\xBE\xD0\xBC"; // дом
  const std::string accented = "caf\xC3\xA9";              // café
  for (int i = 0; i < 500; ++i)
    MakeFile(accented + "_" + std::to_string(1000 + i) + ".txt", std::to_string(i));
  ASSERT_TRUE(fFar->ActivePanel.LoadDirectory(fPanelDirectory));
  fFar->ActivePanel.SelectAll();
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);

  editor->ByteOrderMark = false;
  const size_t first = FirstEntry();
  ASSERT_EQ(editor->Lines[first], Entry(U(accented + "_1000.txt"), U(accented + "_1000.txt")));
  SetDestination(*editor, first, U(cyrillic + ".txt"));
  SetDestination(*editor, first + 1, U("plain.txt"));
  const std::string saved = ReadBytes(U16ToPath(editor->FileName));
  ASSERT_GT(saved.size(), 16384u);
  ASSERT_NE(saved.substr(0, 3), "\xEF\xBB\xBF");
  CloseEditor(editor->Id);

  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Content(cyrillic + ".txt"), "0");
  EXPECT_EQ(Content("plain.txt"), "1");
  EXPECT_TRUE(Exists(accented + "_1002.txt"));
  EXPECT_EQ(Names().size(), 500u);
}

// A list saved in UTF-16 without its mark, or in UTF-8 with or without one, reads back in
// any script: also where its code units hold the byte of a line end (U+0A15, U+4E0A,
// U+040A) or a zero byte (U+AC00, U+4E00, U+1F600), and whether the list is shorter or
// longer than what encoding detection samples. The first and the last line rename a
// file; the lines between are left alone.
TEST_F(PluginRenameHazards, ListInAnyScriptAndEncodingReadsBack) {
  const std::u16string names[] = {
      u"Café_Ünïcödé", u"Фото_Њива_дом",  u"Φωτογραφία_θάλασσα", u"ऊँट_तस्वीर",     u"ਤਸਵੀਰ_ਪੰਜਾਬ",
      u"ช้าง_รูปภาพ_ช",  u"上海_一月_照片", u"가족_사진_가",       u"صورة_العائلة", u"😀_🎉_photo"};
  const struct {
    const char* Name;
    uintptr_t CodePage;
    bool Mark;
  } encodings[] = {{"UTF-16 LE", 1200, false},
                   {"UTF-16 BE", 1201, false},
                   {"UTF-8 with mark", 65001, true},
                   {"UTF-8", 65001, false}};
  for (const std::u16string& name : names) {
    for (const auto& encoding : encodings) {
      for (size_t lines : {10, 50, 5000}) {
        SCOPED_TRACE(Utf16ToUtf8(name, TLoneSurrogate::Kept) + ", " + encoding.Name + ", " +
                     std::to_string(lines) + " lines");
        MakeFile("first", "1");
        MakeFile("last", "2");
        ShowPanel({u"first", u"last"});
        TFakeFar::TEditor* editor = OpenFromPanel();
        ASSERT_NE(editor, nullptr);
        const size_t first = FirstEntry();
        editor->Lines.resize(first);
        editor->Eols.assign(first, u"\r\n");
        editor->Lines.push_back(Entry(u"first", name + u"_first"));
        // Lines whose new name is emptied: left alone, and no file is looked for.
        for (size_t i = 2; i < lines; ++i)
          editor->Lines.push_back(Entry(name + u"_" + U(std::to_string(i)), u""));
        editor->Lines.push_back(Entry(u"last", name + u"_last"));
        editor->Eols.resize(editor->Lines.size(), u"\r\n");
        editor->CodePage = encoding.CodePage;
        editor->ByteOrderMark = encoding.Mark;
        ASSERT_TRUE(fFar->SaveEditor(editor->Id));
        const size_t boxes = Boxes().size();
        CloseEditor(editor->Id);

        EXPECT_EQ(Boxes().size(), boxes);
        const std::string renamed = Utf16ToUtf8(name, TLoneSurrogate::Kept);
        EXPECT_EQ(Names(), (std::vector<std::string>{renamed + "_first", renamed + "_last"}));
        for (const std::string& left : Names())
          std::filesystem::remove(fDir.Path() / U16ToPath(U(left)));
      }
    }
  }
}

// Every system call would see a name only up to its U+0000: "a<NUL>x" would move a, and
// overwriting "b<NUL>x" would delete b. Such a name names no file at all.
TEST_F(PluginRenameHazards, NameHoldingNulNamesNoFile) {
  MakeFile("a", "A");
  MakeFile("b", "B");
  ShowPanel({u"a"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  const size_t first = FirstEntry();
  editor->Lines[first] = Entry(std::u16string(u"a\0x", 3), u"c");
  editor->Lines.insert(editor->Lines.begin() + first + 1, Entry(u"a", std::u16string(u"b\0x", 3)));
  editor->Eols.insert(editor->Eols.begin() + first + 1, u"\r\n");
  ASSERT_TRUE(fFar->SaveEditor(editor->Id));
  fFar->MessageAnswers = {0, 1, 2}; // OK, Overwrite, then Skip
  CloseEditor(editor->Id);

  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  // The source is not there: named before anything moves, and its line renames nothing.
  EXPECT_EQ(boxes[0][2].rfind(u"Line " + U(std::to_string(first + 1)) + u", ", 0), 0u);
  EXPECT_EQ(boxes[1][1], fFar->Msg(15)); // the move fails, overwrite is asked for
  EXPECT_EQ(boxes[2][1], fFar->Msg(15)); // and it fails again without deleting anything
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Content("a"), "A");
  EXPECT_EQ(Content("b"), "B");
}

// A box shows a path's control characters escaped, as the list's header does: a line
// break would split the box's line and an escape sequence would reach the console.
TEST_F(PluginRenameHazards, ControlCharactersInBoxesAreEscaped) {
  MakeFile("a", "A");
  ShowPanel({u"a"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  editor->Lines[FirstEntry()] = Entry(u"gone\x1B[2J\x7F", u"c");
  ASSERT_TRUE(fFar->SaveEditor(editor->Id));
  fFar->MessageAnswers = {0};
  CloseEditor(editor->Id);

  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  // The source is not there: the line is named as written, escaped.
  const std::u16string shown = u"\"gone\\x1B[2J\\x7F\" \"c\"";
  EXPECT_EQ(boxes[0][2].substr(boxes[0][2].size() - shown.size()), shown);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a"}));
}

// Overwrite deletes the destination only when it is another file: never the file being
// moved under another spelling of its name, and never through a link to it.
TEST_F(PluginRenameHazards, OverwriteNeverDeletesTheFileBeingMoved) {
#ifdef _WIN32
  const std::vector<std::u16string> spellings = {u"a.txt.", u"a.txt ", u"A.TXT", u"sub\\..\\a.txt",
                                                 u".\\a.txt"};
#else
  const std::vector<std::u16string> spellings = {u"./a.txt", u"sub/../a.txt", u"a.txt/",
                                                 u"hard.txt"};
#endif
  MakeDirectory("sub");
  for (const std::u16string& spelling : spellings) {
    SCOPED_TRACE(Utf16ToUtf8(spelling, TLoneSurrogate::Kept));
    MakeFile("a.txt", "A");
#ifndef _WIN32
    std::filesystem::remove(fDir / "hard.txt");
    std::filesystem::create_hard_link(fDir / "a.txt", fDir / "hard.txt");
#endif
    ShowPanel({u"a.txt"});
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    SetDestination(*editor, FirstEntry(), spelling);
    fFar->MessageAnswers = {1, 1, 2}; // Overwrite, Overwrite, Skip
    CloseEditor(editor->Id);
    EXPECT_EQ(Content("a.txt"), "A");
  }
}

} // namespace

// Overwrite loses the old destination only once the move onto its name has succeeded: not
// when the source is a link to it, and not when the move fails for another reason (a
// folder into itself). The question comes back each time.
TEST_F(PluginRenameHazards, OverwriteThatCannotMoveLosesNothing) {
  MakeFile("target.txt", "T");
  MakeDirectory("a");
  MakeFile("a/b", "B");
  std::error_code error;
  std::filesystem::create_symlink("target.txt", fDir / "link.txt", error);
  const bool links = !error;
  const struct {
    const char16_t *Source, *Destination;
  } cases[] = {{u"a", win::PathDelimiter == u'/' ? u"a/b" : u"a\\b"}, {u"link.txt", u"target.txt"}};
  for (const auto& c : cases) {
    if (!links && std::u16string(c.Source) == u"link.txt") continue;
    SCOPED_TRACE(Utf16ToUtf8(c.Source, TLoneSurrogate::Kept));
    ShowPanel({c.Source});
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    SetDestination(*editor, FirstEntry(), c.Destination);
    const size_t before = Boxes().size();
    fFar->MessageAnswers = {1, 1, 2}; // Overwrite, Overwrite, Skip
    CloseEditor(editor->Id);
    EXPECT_EQ(Boxes().size(), before + 3);
    EXPECT_EQ(Content("a/b"), "B");
    EXPECT_EQ(Content("target.txt"), "T");
  }
  EXPECT_EQ(Names(), links ? (std::vector<std::string>{"a", "link.txt", "target.txt"})
                           : (std::vector<std::string>{"a", "target.txt"}));
}
