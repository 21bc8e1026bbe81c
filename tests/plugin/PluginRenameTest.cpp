// One rename from the panel to the files on disk, through the built plugin's exports.
#include "PluginFixture.h"

#include <cstddef>
#include <map>

#include "filelist/uJobReport.h"
#include "messages/uMessages.h"
#include "support/TestFiles.h"
#include "system/uWindows.h"

namespace {

using TService = TFakeFar::TService;
using testing_support::ReadBytes;

#ifdef _WIN32
const std::u16string Delimiter = u"\\";
#else
const std::u16string Delimiter = u"/";
#endif

class PluginRename : public PluginFixture {
protected:
  // Header lines of the list: message 7 holds two LFs.
  size_t FirstEntry() const {
    const std::u16string header = fFar->Msg(MListHeaderId);
    return 1 + std::count(header.begin(), header.end(), u'\n');
  }
  static constexpr intptr_t MListHeaderId = 7;

  // The box that a failed move shows, as its texts: by default for a name that a file
  // of no line has.
  std::vector<std::u16string> MoveFailedBox(const std::string& ASource, const std::string& ADest,
                                            std::u16string AWhy = {}) {
    if (AWhy.empty()) AWhy = fFar->Msg(MWhyNoLine);
    return {fFar->Msg(0),  fFar->Msg(15),         fDir.Dir() + U(ASource),
            fFar->Msg(16), fDir.Dir() + U(ADest), AWhy,
            fFar->Msg(3),  fFar->Msg(4),          fFar->Msg(5),
            fFar->Msg(6)};
  }
};

TEST_F(PluginRename, ListFileHoldsHeaderAndEntriesPaddedToTheLongestName) {
  MakeFile("a.txt");
  MakeFile("longer.doc");
  MakeFile("other.txt");
  ShowPanel({u"a.txt", u"longer.doc"});
  ASSERT_TRUE(fFar->ActivePanel.SetCurrent(u"other.txt"));
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);

  const size_t first = FirstEntry();
  ASSERT_EQ(editor->Lines.size(), first + 3); // the text ends with a line end
  EXPECT_EQ(editor->Lines[first + 2], u"");
  EXPECT_NE(editor->Lines[0].find(fPanelDirectory), std::u16string::npos);
  EXPECT_EQ(editor->Lines[first], u"\"a.txt\"     "
                                  u"    \"a.txt\"");
  EXPECT_EQ(editor->Lines[first + 1], u"\"longer.doc\"    \"longer.doc\"");

  const std::string bytes = ReadBytes(U16ToPath(editor->FileName));
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  // Every line ends with CR LF, the header's own lines too.
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::ptrdiff_t(first + 2));
  for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
    EXPECT_EQ(bytes[at - 1], '\r') << at;

  // The editor: the whole screen, non-modal, deleting the file on close, on the first entry.
  const auto opened = fFar->CallsOf(TService::Editor);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].Flags, 0xB09u);
  EXPECT_EQ(opened[0].Args, (std::vector<intptr_t>{0, 0, -1, -1, intptr_t(first) + 1, 0, 65001}));
  EXPECT_EQ(opened[0].Texts[1], fFar->Msg(0));
  EXPECT_EQ(editor->CurLine, intptr_t(first));

  ASSERT_EQ(editor->KeyBar.size(), 2u);
  EXPECT_EQ(editor->KeyBar[0].VirtualKeyCode, VK_F1);
  EXPECT_EQ(editor->KeyBar[0].ControlKeyState, 3u);
  EXPECT_EQ(editor->KeyBar[0].Text, fFar->Msg(19));
  EXPECT_EQ(editor->KeyBar[0].LongText, fFar->Msg(20));
  EXPECT_EQ(editor->KeyBar[1].VirtualKeyCode, VK_F2);
  EXPECT_EQ(editor->KeyBar[1].ControlKeyState, 3u);
  EXPECT_EQ(editor->KeyBar[1].Text, fFar->Msg(17));
  EXPECT_EQ(editor->KeyBar[1].LongText, fFar->Msg(18));
}

TEST_F(PluginRename, UnchangedListMovesNothingAndLeavesNothingBehind) {
  MakeFile("a.txt", "A");
  MakeFile("longer.doc", "L");
  ShowPanel({u"a.txt", u"longer.doc"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  const std::u16string listFile = editor->FileName;
  ASSERT_TRUE(fFar->SaveEditor(editor->Id));

  EXPECT_EQ(CloseEditor(editor->Id), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "longer.doc"}));
  EXPECT_EQ(Content("a.txt"), "A");
  EXPECT_FALSE(std::filesystem::exists(U16ToPath(listFile)));
  UnloadPlugin();
  EXPECT_TRUE(TempLeftovers().empty());
}

TEST_F(PluginRename, NothingSelectedListsTheCurrentItemEvenTheParent) {
  MakeFile("one.txt");
  MakeFile("two.txt");
  ShowPanel({});
  ASSERT_TRUE(fFar->ActivePanel.SetCurrent(u"two.txt"));
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Lines[FirstEntry()], u"\"two.txt\"    \"two.txt\"");
  CloseEditor(editor->Id);

  ASSERT_TRUE(fFar->ActivePanel.SetCurrent(u".."));
  editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Lines[FirstEntry()], u"\"..\"    \"..\"");
  CloseEditor(editor->Id);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(PluginRename, EmptyPanelSaysThereIsNothingToList) {
  fFar->ActivePanel.Directory = fPanelDirectory;
  EXPECT_EQ(OpenFromPanel(), nullptr);
  EXPECT_EQ(Boxes(), (std::vector<std::vector<std::u16string>>{
                         {fFar->Msg(0), fFar->Msg(10), fFar->Msg(1)}}));
  EXPECT_TRUE(TempLeftovers().empty());
}

TEST_F(PluginRename, EditsRenameMoveIntoSubfolderAndSkipRemovedOrEmptiedLines) {
  MakeFile("a.txt", "A");
  MakeFile("b.txt", "B");
  MakeFile("c.txt", "C");
  MakeFile("d.txt", "D");
  MakeDirectory("sub");
  ShowPanel({u"a.txt", u"b.txt", u"c.txt", u"d.txt"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  const size_t first = FirstEntry();
  editor->Lines[first] = Entry(u"a.txt", u"renamed.txt");
  editor->Lines[first + 1] = Entry(u"b.txt", u"sub" + Delimiter + u"moved.txt");
  editor->Lines[first + 2] = Entry(u"c.txt", u"");
  editor->Lines.erase(editor->Lines.begin() + first + 3); // d.txt's line removed
  editor->Eols.erase(editor->Eols.begin() + first + 3);
  ASSERT_TRUE(fFar->SaveEditor(editor->Id));

  CloseEditor(editor->Id);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"c.txt", "d.txt", "renamed.txt", "sub"}));
  EXPECT_EQ(Content("renamed.txt"), "A");
  EXPECT_EQ(Content("sub/moved.txt"), "B");
}

// Lines the user broke rename nothing, and one box names them before anything moves:
// Cancel (or Esc) renames nothing, the first answer renames every line that reads.
TEST_F(PluginRename, BrokenLinesAreNamedInOneBoxBeforeAnythingMoves) {
  for (const char* name : {"a", "b", "c", "d", "e", "f", "g"})
    MakeFile(name, name);
  for (const intptr_t answer : {2, -1, 0}) {
    SCOPED_TRACE(answer);
    ShowPanel({u"a", u"b", u"c", u"d", u"e", u"f", u"g"});
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    const size_t first = FirstEntry();
    ASSERT_EQ(editor->Lines.size(), first + 8);
    editor->Lines[first] = Entry(u"a", u"a2");
    editor->Lines[first + 1] = u"\"b    b2\"";             // a quote deleted
    editor->Lines[first + 2] = u"\"c\"2\"    \"c\"";       // a quote typed inside a name
    editor->Lines[first + 3] = Entry(u"d", u"d2") + u" x"; // a word after the closing quote
    editor->Lines[first + 4] = Entry(u"", u"e2");          // the source emptied
    editor->Lines[first + 5] = Entry(u"f", u"");           // left alone: not named
    editor->Lines[first + 6] = u"\"g\"\t\"" + std::u16string(70, u'g') + u"\"";
    editor->Lines[first + 7] = u"\"tail"; // the sixth: counted, not shown
    ASSERT_TRUE(fFar->SaveEditor(editor->Id));
    const std::u16string listFile = editor->FileName;
    fFar->ClearCalls();
    fFar->MessageAnswers = {answer};
    CloseEditor(editor->Id);

    auto line = [&](size_t AIndex, const std::u16string& AText) {
      return u"Line " + U(std::to_string(first + AIndex + 1)) + u": " + AText;
    };
    EXPECT_EQ(
        Boxes(),
        (std::vector<std::vector<std::u16string>>{
            {fFar->Msg(0), u"These lines of the list cannot be read and rename nothing (6 in all):",
             line(1, u"\"b    b2\""), line(2, u"\"c\"2\"    \"c\""),
             line(3, Entry(u"d", u"d2") + u" x"),
             line(4, u"\"\" \"e2\""), // as the saved list keeps an entry
             line(6, u"\"g\"\\x09\"" + std::u16string(55, u'g') + u"..."), fFar->Msg(25),
             fFar->Msg(MEditAgain), fFar->Msg(26)}}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(fFar->CallsOf(TService::Message)[0].Args, std::vector<intptr_t>{3});
    EXPECT_EQ(Names(), answer == 0 ? (std::vector<std::string>{"a2", "b", "c", "d", "e", "f", "g"})
                                   : (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_FALSE(std::filesystem::exists(U16ToPath(listFile)));
  }
}

// Lines that would not run as the user means them are named in the same box, and rename
// nothing: an entry whose first column names no file (changed alone, or with the second
// column by a replace over both), and a header line that is not the header (deleted, an
// entry in its place). Rows: the edit, then the lines named, counted from the first entry.
TEST_F(PluginRename, LinesThatWouldNotRunAreNamedBeforeAnythingMoves) {
  const struct {
    const char* Name;
    void (*Edit)(TFakeFar::TEditor& AEditor, size_t AFirst);
    std::vector<std::string> Names; // afterwards, answered "Rename the other lines"
    size_t Named;                   // lines named
  } rows[] = {
      {"first column changed",
       [](TFakeFar::TEditor& AEditor, size_t AFirst) {
         AEditor.Lines[AFirst] = Entry(u"photo01.jpg", u"img01.jpg");
         AEditor.Lines[AFirst + 1] = Entry(u"img02.jpg", u"pic02.jpg");
       },
       {"img01.jpg", "pic02.jpg"},
       1},
      {"both columns replaced alike",
       [](TFakeFar::TEditor& AEditor, size_t AFirst) {
         AEditor.Lines[AFirst] = Entry(u"photo01.jpg", u"photo01.jpg");
         AEditor.Lines[AFirst + 1] = Entry(u"photo02.jpg", u"photo02.jpg");
       },
       {"img01.jpg", "img02.jpg"},
       2},
      // The header is known by its text: deleted, the entries in its place run.
      {"header deleted",
       [](TFakeFar::TEditor& AEditor, size_t AFirst) {
         AEditor.Lines.erase(AEditor.Lines.begin(), AEditor.Lines.begin() + ptrdiff_t(AFirst));
         AEditor.Eols.erase(AEditor.Eols.begin(), AEditor.Eols.begin() + ptrdiff_t(AFirst));
         AEditor.Lines[0] = Entry(u"img01.jpg", u"a.jpg"); // in the header's place
         AEditor.Lines.push_back(u"");
         AEditor.Lines.push_back(Entry(u"img02.jpg", u"b.jpg")); // below it
         AEditor.Eols.resize(AEditor.Lines.size(), u"\r\n");
       },
       {"a.jpg", "b.jpg"},
       0},
      {"header line changed",
       [](TFakeFar::TEditor& AEditor, size_t AFirst) {
         AEditor.Lines[0] = u"my photos";
         AEditor.Lines[AFirst] = Entry(u"img01.jpg", u"a.jpg");
       },
       {"a.jpg", "img02.jpg"},
       1},
      // A first column may name what an earlier line gives: a swap through a name of the
      // user's own.
      {"swap through a name of the user's",
       [](TFakeFar::TEditor& AEditor, size_t AFirst) {
         AEditor.Lines[AFirst] = Entry(u"img01.jpg", u"t");
         AEditor.Lines[AFirst + 1] = Entry(u"img02.jpg", u"img01.jpg");
         AEditor.Lines.insert(AEditor.Lines.begin() + ptrdiff_t(AFirst + 2),
                              Entry(u"t", u"img02.jpg"));
         AEditor.Eols.resize(AEditor.Lines.size(), u"\r\n");
       },
       {"img01.jpg", "img02.jpg"},
       0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    for (const std::string& left : Names())
      std::filesystem::remove(fDir.Path() / left);
    MakeFile("img01.jpg", "1");
    MakeFile("img02.jpg", "2");
    ShowPanel({u"img01.jpg", u"img02.jpg"});
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    row.Edit(*editor, FirstEntry());
    ASSERT_TRUE(fFar->SaveEditor(editor->Id));
    fFar->ClearCalls();
    fFar->MessageAnswers = {0};
    CloseEditor(editor->Id);
    ASSERT_EQ(Boxes().size(), row.Named == 0 ? 0u : 1u);
    if (row.Named > 0) {
      EXPECT_EQ(Boxes()[0][1], u"These lines of the list cannot be read and rename nothing (" +
                                   U(std::to_string(row.Named)) + u" in all):");
    }
    if (std::string(row.Name) == "header line changed") {
      EXPECT_EQ(Boxes()[0][2], u"Line 1, the header was changed: my photos");
    }
    EXPECT_EQ(Names(), row.Names);
  }
}

// "Edit the list again" opens the list as saved, on the first line the box named; when
// that editor closes the list is read afresh: mended, it renames; still broken, the box
// comes back, and Cancel renames nothing. No list file is left either way.
TEST_F(PluginRename, EditTheListAgainReadsItAfresh) {
  for (const bool mend : {true, false}) {
    SCOPED_TRACE(mend);
    for (const std::string& left : Names())
      std::filesystem::remove(fDir.Path() / left);
    MakeFile("a", "A");
    MakeFile("b", "B");
    ShowPanel({u"a", u"b"});
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    const size_t first = FirstEntry();
    editor->Lines[first] = Entry(u"a", u"a2");
    editor->Lines[first + 1] = u"\"b    b2\""; // a quote deleted
    ASSERT_TRUE(fFar->SaveEditor(editor->Id));
    const intptr_t firstId = editor->Id;
    const std::u16string firstFile = editor->FileName;
    fFar->MessageAnswers = {1}; // Edit the list again
    CloseEditor(firstId);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
    ASSERT_EQ(fFar->Editors.size(), 1u);
    TFakeFar::TEditor& again = fFar->Editors.back();
    EXPECT_NE(again.Id, firstId);
    EXPECT_EQ(again.StartLine, intptr_t(first + 2));
    ASSERT_GE(again.Lines.size(), first + 2);
    EXPECT_EQ(again.Lines[first], Entry(u"a", u"a2"));
    if (mend) again.Lines[first + 1] = Entry(u"b", u"b2");
    ASSERT_TRUE(fFar->SaveEditor(again.Id));
    const std::u16string againFile = again.FileName;
    fFar->ClearCalls();
    fFar->MessageAnswers = {2}; // Cancel, when asked
    CloseEditor(again.Id);
    EXPECT_EQ(Boxes().size(), mend ? 0u : 1u);
    EXPECT_EQ(Names(),
              mend ? (std::vector<std::string>{"a2", "b2"}) : (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(std::filesystem::exists(U16ToPath(firstFile)));
    EXPECT_FALSE(std::filesystem::exists(U16ToPath(againFile)));
  }
}

// "Edit the list again" on a list the user saved in another encoding asks the editor for
// the code page the list was read in (by its mark or, without one, by its bytes), and the
// mended list renames. An editor that refuses the list leaves it where it is, named in a
// box and deleted by nobody; nothing is renamed.
TEST_F(PluginRename, EditTheListAgainKeepsItsEncodingOrTheList) {
  const struct {
    const char* Name;
    uintptr_t CodePage;
    bool Mark;
    bool Refused;
  } rows[] = {{"UTF-16 LE with mark", 1200, true, false},
              {"UTF-16 BE without mark", 1201, false, false},
              {"ANSI", 1252, false, false},
              {"refused, UTF-16 LE", 1200, true, true}};
  const std::u16string renamed = u"caf\u00E9";
  std::vector<std::u16string> kept;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    for (const std::string& left : Names())
      std::filesystem::remove(fDir.Path() / U16ToPath(U(left)));
    MakeFile("a", "A");
    MakeFile("b", "B");
    ShowPanel({u"a", u"b"});
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    const size_t first = FirstEntry();
    editor->Lines[first] = Entry(u"a", renamed);
    editor->Lines[first + 1] = u"\"b    b2\""; // a quote deleted
    editor->CodePage = row.CodePage;
    editor->ByteOrderMark = row.Mark;
    ASSERT_TRUE(fFar->SaveEditor(editor->Id));
    const std::string saved = ReadBytes(U16ToPath(editor->FileName));
    if (row.Refused) fFar->Refuse(TService::Editor);
    fFar->ClearCalls();
    fFar->MessageAnswers = {1}; // Edit the list again
    CloseEditor(editor->Id);
    fFar->Accept(TService::Editor);

    const auto opened = fFar->CallsOf(TService::Editor);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].Args.back(), intptr_t(row.CodePage));
    if (row.Refused) {
      const std::u16string list = opened[0].Texts[0];
      EXPECT_EQ(Boxes().back(), (std::vector<std::u16string>{fFar->Msg(0), fFar->Msg(MListKept),
                                                             list, fFar->Msg(1)}));
      EXPECT_EQ(ReadBytes(U16ToPath(list)), saved);
      EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
      kept.push_back(list);
      continue;
    }
    ASSERT_EQ(fFar->Editors.size(), 1u);
    TFakeFar::TEditor& again = fFar->Editors.back();
    ASSERT_GE(again.Lines.size(), first + 2);
    EXPECT_EQ(again.Lines[first], Entry(u"a", renamed));
    again.Lines[first + 1] = Entry(u"b", u"b2");
    ASSERT_TRUE(fFar->SaveEditor(again.Id));
    CloseEditor(again.Id);
    EXPECT_EQ(Boxes().size(), 1u); // the first close's alone
    EXPECT_EQ(Names(), (std::vector<std::string>{"b2", "caf\xC3\xA9"}));
  }
  // Neither the job's end nor the clean-up at unload deletes a list that was kept.
  UnloadPlugin();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(U16ToPath(kept[0])));
  EXPECT_EQ(TempLeftovers(),
            (std::vector<std::string>{Utf16ToUtf8(PathToU16(U16ToPath(kept[0]).filename()))}));
}

TEST_F(PluginRename, OnlyWhatWasSavedCounts) {
  MakeFile("a.txt");
  ShowPanel({u"a.txt"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  editor->Lines[FirstEntry()] = Entry(u"a.txt", u"b.txt"); // edited, never saved
  CloseEditor(editor->Id);
  EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

TEST_F(PluginRename, CaseOnlyChangeOfFileAndFolder) {
  MakeFile("photo.JPG", "P");
  MakeDirectory("Album");
  ShowPanel({u"Album", u"photo.JPG"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  const size_t first = FirstEntry();
  ASSERT_EQ(editor->Lines.size(), first + 3);
  SetDestination(*editor, first, u"album");
  SetDestination(*editor, first + 1, u"photo.jpg");
  CloseEditor(editor->Id);

  // The move was asked for and reported done: no prompt, no refusal.
  EXPECT_TRUE(Boxes().empty());
#ifdef _WIN32
  // Wine's MoveFileW reports a case-only rename as done but keeps the old case on disk;
  // the names are checked on disk natively.
  EXPECT_TRUE(Exists("photo.jpg"));
  EXPECT_TRUE(Exists("album"));
#else
  EXPECT_EQ(Names(), (std::vector<std::string>{"album", "photo.jpg"}));
  EXPECT_EQ(Content("photo.jpg"), "P");
#endif
}

TEST_F(PluginRename, ExistingDestinationAsksAndOverwriteReplacesIt) {
  MakeFile("a.txt", "A");
  MakeFile("b.txt", "B");
  ShowPanel({u"a.txt"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  SetDestination(*editor, FirstEntry(), u"b.txt");
  fFar->MessageAnswers = {1}; // Overwrite
  CloseEditor(editor->Id);

  const auto prompts = fFar->CallsOf(TService::Message);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].Texts, MoveFailedBox("a.txt", "b.txt"));
  EXPECT_EQ(prompts[0].Args, std::vector<intptr_t>{4});
  EXPECT_EQ(prompts[0].Flags, FMSG_WARNING);
  EXPECT_EQ(Names(), std::vector<std::string>{"b.txt"});
  EXPECT_EQ(Content("b.txt"), "A");
}

TEST_F(PluginRename, RetryAsksAgainAndSkipOrEscKeepBothFiles) {
  MakeFile("a.txt", "A");
  MakeFile("b.txt", "B");
  MakeFile("c.txt", "C");
  MakeFile("d.txt", "D");
  ShowPanel({u"a.txt", u"c.txt"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  SetDestination(*editor, FirstEntry(), u"b.txt");
  SetDestination(*editor, FirstEntry() + 1, u"d.txt");
  fFar->MessageAnswers = {0, 2, -1}; // Retry, then Skip; Esc on the second entry
  CloseEditor(editor->Id);

  EXPECT_EQ(Boxes(), (std::vector<std::vector<std::u16string>>{MoveFailedBox("a.txt", "b.txt"),
                                                               MoveFailedBox("a.txt", "b.txt"),
                                                               MoveFailedBox("c.txt", "d.txt")}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}));
  EXPECT_EQ(Content("a.txt"), "A");
  EXPECT_EQ(Content("b.txt"), "B");
}

TEST_F(PluginRename, SkipAllSilencesLaterFailuresButNotMissingSources) {
  for (const char* name : {"a", "b", "c", "d", "gone", "x", "y", "z", "w"})
    MakeFile(name, name);
  ShowPanel({u"a", u"b", u"gone", u"d"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  const size_t first = FirstEntry();
  SetDestination(*editor, first, u"x");
  SetDestination(*editor, first + 1, u"y");
  editor->Lines[first + 2] = Entry(u"gone", u"new");
  std::filesystem::remove(fDir.Path() / "gone"); // a listed file gone since
  editor->Lines[first + 3] = Entry(u"d", u"w");
  ASSERT_TRUE(fFar->SaveEditor(editor->Id));
  fFar->MessageAnswers = {3}; // Skip all
  CloseEditor(editor->Id);

  EXPECT_EQ(Boxes(), (std::vector<std::vector<std::u16string>>{
                         MoveFailedBox("a", "x"),
                         {fFar->Msg(0), fFar->Msg(11), fDir.Dir() + u"gone", fFar->Msg(1)}}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c", "d", "w", "x", "y", "z"}));
}

// What the engine reports of each line to a host that asks (QuorvaneSetJobReport), one
// line of each outcome: what quorvane-run's summary is made of, never the boxes' text.
struct TReported {
  std::map<size_t, std::pair<uint8_t, uint32_t>> Lines; // outcome and error, by line
  std::vector<std::u16string> Kept;
  static void FARAPI_CALL LineDone(void* AContext, size_t ALine, uint8_t AOutcome,
                                   uint32_t AError) {
    static_cast<TReported*>(AContext)->Lines[ALine] = {AOutcome, AError};
  }
  static void FARAPI_CALL FileKept(void* AContext, const char16_t* AWhere) {
    static_cast<TReported*>(AContext)->Kept.emplace_back(AWhere);
  }
};

TEST_F(PluginRename, ReportsEachLinesOutcome) {
  for (const char* name : {"a", "b", "c", "d", "e", "f"})
    MakeFile(name, name);
  MakeDirectory("sub");
  const auto setReport = reinterpret_cast<TSetJobReport>(fPlugin->Procedure(SetJobReportExport));
  ASSERT_NE(setReport, nullptr);
  TReported reported;
  TJobReport report{sizeof(report),      &reported, 0,      TReported::LineDone,
                    TReported::FileKept, nullptr,   nullptr};
  setReport(&report);
  for (const intptr_t first : {0, 2}) { // rename the other lines; cancel
    SCOPED_TRACE(first);
    reported = {};
    ShowPanel({u"a", u"b", u"d", u"e", u"f"});
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    const size_t at = FirstEntry();
    editor->Lines.resize(at);
    editor->Lines[0] = u"my notes";
    for (const std::u16string& line :
         {Entry(u"a", u"a2"), Entry(u"b", u"c"), Entry(u"d", u"c"), std::u16string(u"\"broken"),
          Entry(u"zz", u"q"), Entry(u"e", u"e2"), Entry(u"f", u"sub"), std::u16string()})
      editor->Lines.push_back(line);
    editor->Eols.assign(editor->Lines.size(), u"\r\n");
    ASSERT_TRUE(fFar->SaveEditor(editor->Id));
    std::filesystem::remove(fDir.Path() / "e"); // the listed file vanishes
    fFar->MessageAnswers = {first, 2, -1};      // then Skip, then Esc
    CloseEditor(editor->Id);
    const std::map<size_t, std::pair<uint8_t, uint32_t>> expected =
        first == 0
            ? std::map<size_t,
                       std::pair<uint8_t, uint32_t>>{{0, {loHeaderChanged, 0}},
                                                     {at, {loRenamed, 0}},
                                                     {at + 1,
                                                      {loSkipped, win::ERROR_ALREADY_EXISTS}},
                                                     {at + 2,
                                                      {loFailed, win::ERROR_ALREADY_EXISTS}},
                                                     {at + 3, {loNotRead, 0}},
                                                     {at + 4, {loNoSuchFile, 0}},
                                                     {at + 5,
                                                      {loVanished, win::ERROR_FILE_NOT_FOUND}},
                                                     {at + 6,
                                                      {loIsFolder, win::ERROR_ALREADY_EXISTS}}}
            : std::map<size_t, std::pair<uint8_t, uint32_t>>{
                  {0, {loHeaderChanged, 0}},  {at, {loCancelled, 0}},
                  {at + 1, {loCancelled, 0}}, {at + 2, {loCancelled, 0}},
                  {at + 3, {loNotRead, 0}},   {at + 4, {loNoSuchFile, 0}},
                  {at + 5, {loCancelled, 0}}, {at + 6, {loCancelled, 0}}};
    EXPECT_EQ(reported.Lines, expected);
    EXPECT_TRUE(reported.Kept.empty());
    if (first == 0) {
      std::filesystem::rename(fDir.Path() / "a2", fDir.Path() / "a");
      MakeFile("e", "e");
    }
  }
  setReport(nullptr);
}

TEST_F(PluginRename, DestinationThatIsAFolderIsRefused) {
  MakeFile("a.txt", "A");
  MakeDirectory("sub");
  ShowPanel({u"a.txt"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  SetDestination(*editor, FirstEntry(), u"sub");
  CloseEditor(editor->Id);

  EXPECT_EQ(Boxes(), (std::vector<std::vector<std::u16string>>{
                         {fFar->Msg(0), fFar->Msg(13), fDir.Dir() + u"sub", fFar->Msg(1)}}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "sub"}));
  EXPECT_TRUE(std::filesystem::is_empty(fDir / "sub"));
}

TEST_F(PluginRename, SwappedNamesFailIntoThePromptAndLoseNothing) {
  MakeFile("a", "A");
  MakeFile("b", "B");
  ShowPanel({u"a", u"b"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  SetDestination(*editor, FirstEntry(), u"b");
  SetDestination(*editor, FirstEntry() + 1, u"a");
  fFar->MessageAnswers = {2, 2};
  CloseEditor(editor->Id);

  // The question says why: the first name belongs to the next line's file, the second is
  // the one the skipped line left where it was.
  const std::u16string later =
      u"Line " + U(std::to_string(FirstEntry() + 2)) +
      u" renames the file that has this name: Overwrite completes the swap.";
  EXPECT_EQ(Boxes(), (std::vector<std::vector<std::u16string>>{
                         MoveFailedBox("a", "b", later),
                         MoveFailedBox("b", "a", fFar->Msg(MWhyEarlierLine))}));
  EXPECT_EQ(Content("a"), "A");
  EXPECT_EQ(Content("b"), "B");
}

TEST_F(PluginRename, UnicodeNames) {
  const std::string cyrillic = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.txt"; // привет
  const std::string target = "\xE4\xB8\x96\xE7\x95\x8C \xF0\x9F\x98\x80 \xCE\xB1.txt"; // 世界 😀 α
  MakeFile(cyrillic, "C");
  ShowPanel({U(cyrillic)});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Lines[FirstEntry()], Entry(U(cyrillic), U(cyrillic)));
  SetDestination(*editor, FirstEntry(), U(target));
  CloseEditor(editor->Id);

  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Names(), std::vector<std::string>{target});
  EXPECT_EQ(Content(target), "C");
}

// The editor may save the list in another encoding; the plugin reads what was saved, a
// short list in UTF-16 without its mark too, whose bytes can all be below 0x80 and so be
// well-formed UTF-8 as well.
TEST_F(PluginRename, ListResavedInAnotherEncoding) {
  const std::string from = "\xD0\xB4\xD0\xBE\xD0\xBC"; // дом: 34 04 3E 04 3C 04 in UTF-16
  const struct {
    const char* Name;
    uintptr_t CodePage;
    bool ByteOrderMark;
    const char* To;
  } encodings[] = {{"UTF-16 with mark", 1200, true, "\xC3\xA9t\xC3\xA9 \xF0\x9F\x8C\x9E"},
                   {"UTF-8 without mark", 65001, false, "\xC3\xA9t\xC3\xA9 \xF0\x9F\x8C\x9E"},
                   {"UTF-16 without mark", 1200, false, "new"},
                   {"UTF-16 big-endian without mark", 1201, false, "new"}};
  int variant = 0;
  for (const auto& encoding : encodings) {
    SCOPED_TRACE(encoding.Name);
    const std::string source = std::to_string(variant) + from + ".txt";
    const std::string target = std::to_string(variant++) + encoding.To + ".txt";
    MakeFile(source, "F");
    ShowPanel({U(source)});
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    editor->CodePage = encoding.CodePage;
    editor->ByteOrderMark = encoding.ByteOrderMark;
    SetDestination(*editor, FirstEntry(), U(target));
    const std::string bytes = ReadBytes(U16ToPath(editor->FileName));
    EXPECT_EQ(bytes.substr(0, 2) == "\xFF\xFE", encoding.ByteOrderMark);
    CloseEditor(editor->Id);
    EXPECT_TRUE(Exists(target));
    EXPECT_FALSE(Exists(source));
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(PluginRename, TwoJobsEachFindTheirOwnEditorAndASecondEditorFindsItsJobByName) {
  MakeFile("a", "A");
  MakeFile("b", "B");
  ShowPanel({u"a"});
  const intptr_t first = OpenFromPanel()->Id;
  ShowPanel({u"b"});
  const intptr_t second = OpenFromPanel()->Id;
  SetDestination(*fFar->FindEditor(first), FirstEntry(), u"a2");
  SetDestination(*fFar->FindEditor(second), FirstEntry(), u"b2");

  // A second window on the first list: its close runs the first job.
  TFakeFar::TEditor copy = *fFar->FindEditor(first);
  copy.Id = fFar->NextEditorId++;
  copy.Flags = 0;
  fFar->Editors.push_back(copy);
  CloseEditor(copy.Id);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a2", "b"}));

  CloseEditor(first); // its job is gone: nothing runs again
  CloseEditor(second);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"a2", "b2"}));
}

TEST_F(PluginRename, CloseOfAnEditorWithoutJobAndOtherEventsDoNothing) {
  MakeFile("a", "A");
  ShowPanel({u"a"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  SetDestination(*editor, FirstEntry(), u"b");

  ProcessEditorEventInfo info{};
  info.StructSize = sizeof(info);
  info.EditorID = editor->Id;
  info.Event = EE_SAVE;
  EXPECT_EQ(Plugin().ProcessEditorEventW(&info), 0);
  info.Event = EE_CLOSE;
  info.StructSize = 12; // too short a record
  EXPECT_EQ(Plugin().ProcessEditorEventW(&info), 0);
  // One byte short of EditorID's end, wherever that is on this architecture.
  info.StructSize = offsetof(ProcessEditorEventInfo, EditorID) + sizeof(info.EditorID) - 1;
  EXPECT_EQ(Plugin().ProcessEditorEventW(&info), 0);
  info.StructSize = sizeof(info);
  info.EditorID = editor->Id + 100;
  EXPECT_EQ(Plugin().ProcessEditorEventW(&info), 0);
  EXPECT_EQ(Names(), std::vector<std::string>{"a"});

  CloseEditor(editor->Id);
  EXPECT_EQ(Names(), std::vector<std::string>{"b"});
}

// FAR's found files: a plugin's panel of real files without a directory, whose items are
// absolute paths, ".." first. Each row lists its files from their deepest common folder
// and renames them there; a bare new name keeps a file in its own folder.
TEST_F(PluginRename, FoundFilesListedFromTheirCommonFolder) {
  std::u16string other; // a folder on another drive, where there is one
#ifdef _WIN32
  for (const char16_t* root : {u"Z:\\tmp\\", u"D:\\", u"C:\\"})
    if (root[0] != fDir.Dir()[0] && std::filesystem::is_directory(U16ToPath(root))) {
      other = root + std::u16string(u"quorvane-test-other\\");
      break;
    }
#endif
  const std::u16string d = fDir.Dir(), x = u"x" + Delimiter, y = x + u"y" + Delimiter;
  const struct {
    const char* Name;
    bool TwoDrives;
    std::vector<std::u16string> Paths; // the last is the current item and not selected
    std::u16string Header;             // the header's folder
    std::vector<std::u16string> Lines, NewNames, After;
  } rows[] = {
      {"three folder levels",
       false,
       {d + u"a", d + x + u"b", d + y + u"c", d + y + u"d"},
       d,
       {u"a", x + u"b", y + u"c"},
       {u"a2", x + u"b2", u"c2"},
       {d + u"a2", d + x + u"b2", d + y + u"c2", d + y + u"d"}},
      {"the current item alone", false, {d + y + u"d"}, d + y, {u"d"}, {u"d2"}, {d + y + u"d2"}},
      {"two drives",
       true,
       {d + u"a", other + u"b", d + u"d"},
       u"",
       {d + u"a", other + u"b"},
       {u"a2", u"b2"},
       {d + u"a2", other + u"b2", d + u"d"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    if (row.TwoDrives && other.empty()) continue;
    std::filesystem::create_directories(fDir / "x/y");
    if (!other.empty()) std::filesystem::create_directories(U16ToPath(other));
    TFakeFar::TPanel& panel = fFar->ActivePanel;
    panel.Clear();
    panel.Directory.clear();
    panel.Flags = PFLAGS_PLUGIN | PFLAGS_REALNAMES;
    panel.Add(u"..", win::FILE_ATTRIBUTE_DIRECTORY);
    for (const auto& path : row.Paths) {
      testing_support::WriteBytes(U16ToPath(path), "F");
      panel.Add(path, 0, &path == &row.Paths.back() ? 0 : PPIF_SELECTED);
    }
    panel.CurrentItem = panel.ItemCount() - 1;
    fFar->ClearCalls();
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    const std::u16string& header = editor->Lines[0];
    EXPECT_EQ(header.substr(header.size() - row.Header.size() - 1), u" " + row.Header);
    ASSERT_EQ(editor->Lines.size(), FirstEntry() + row.Lines.size() + 1);
    for (size_t i = 0; i < row.Lines.size(); ++i) {
      const std::u16string& line = editor->Lines[FirstEntry() + i];
      EXPECT_EQ(line.substr(0, line.find(u'"', 1) + 1), u"\"" + row.Lines[i] + u"\"");
      SetDestination(*editor, FirstEntry() + i, row.NewNames[i]);
    }
    CloseEditor(editor->Id);
    EXPECT_TRUE(Boxes().empty());
    for (const auto& path : row.After)
      EXPECT_TRUE(std::filesystem::exists(U16ToPath(path)))
          << Utf16ToUtf8(path, TLoneSurrogate::Kept);
    // The panel reads its items again, as after FAR's own rename.
    EXPECT_EQ(fFar->CountOf(TService::PanelControl, FCTL_UPDATEPANEL), 1u);
    std::filesystem::remove_all(fDir / "x");
    for (const auto& path : row.After)
      std::filesystem::remove_all(U16ToPath(path));
  }
  if (!other.empty()) std::filesystem::remove_all(U16ToPath(other));
}

// A plugin's panel without real names (an archive) and a panel without a directory whose
// items are no absolute paths show no files on disk: said so, and nothing is written.
TEST_F(PluginRename, PanelsThatShowNoFilesOnDiskSaySo) {
  MakeFile("a");
  ShowPanel({u"a"});
  fFar->ActivePanel.Flags = PFLAGS_PLUGIN;
  fFar->ActivePanel.Directory = u"archive";
  EXPECT_EQ(OpenFromPanel(), nullptr);
  fFar->ActivePanel.Flags = PFLAGS_PLUGIN | PFLAGS_REALNAMES;
  fFar->ActivePanel.Directory.clear();
  EXPECT_EQ(OpenFromPanel(), nullptr);
  // Nothing but ".." to list is still nothing to list.
  fFar->ActivePanel.SetSelected(1, false);
  ASSERT_TRUE(fFar->ActivePanel.SetCurrent(u".."));
  EXPECT_EQ(OpenFromPanel(), nullptr);
  const std::vector<std::u16string> notFiles{fFar->Msg(0), fFar->Msg(27), fFar->Msg(1)};
  EXPECT_EQ(Boxes(), (std::vector<std::vector<std::u16string>>{
                         notFiles, notFiles, {fFar->Msg(0), fFar->Msg(10), fFar->Msg(1)}}));
  EXPECT_EQ(Names(), std::vector<std::string>{"a"});
  EXPECT_TRUE(TempLeftovers().empty());
}

#ifdef _WIN32
// FAR hands out the panel directory in its native \\?\ form when it is longer than the
// Windows path limit; the renames must reach such files.
TEST_F(PluginRename, PathsLongerThanTheWindowsLimit) {
  const std::u16string prefix = u"\\\\?\\";
  std::u16string directory = fPanelDirectory;
  std::vector<std::u16string> created;
  while (directory.size() < 300) {
    directory +=
        u"\\" + std::u16string(60, u'd') + std::u16string(1, char16_t(u'0' + created.size()));
    ASSERT_TRUE(win::CreateDirectoryW((prefix + directory).c_str(), nullptr));
    created.push_back(directory);
  }
  const std::u16string source = prefix + directory + u"\\a.txt";
  const std::u16string dest = prefix + directory + u"\\b.txt";
  win::HANDLE file =
      win::CreateFileW(source.c_str(), win::GENERIC_WRITE, 0, nullptr, win::CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, win::InvalidHandleValue());
  win::CloseHandle(file);

  fFar->ConvertPathPrefix = prefix;
  fFar->ActivePanel.Directory = directory;
  fFar->ActivePanel.Clear();
  fFar->ActivePanel.Add(u"a.txt", 0, PPIF_SELECTED);
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  SetDestination(*editor, FirstEntry(), u"b.txt");
  CloseEditor(editor->Id);

  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(win::GetFileAttributesW(source.c_str()), win::INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(win::GetFileAttributesW(dest.c_str()), win::INVALID_FILE_ATTRIBUTES);

  win::DeleteFileW(dest.c_str());
  win::DeleteFileW(source.c_str());
  for (auto it = created.rbegin(); it != created.rend(); ++it)
    win::RemoveDirectoryW((prefix + *it).c_str());
}
#endif

} // namespace
