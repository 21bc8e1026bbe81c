// One rename from the panel to the files on disk, through the built plugin's exports.
#include "PluginFixture.h"

#include <cstddef>

#include "support/TestFiles.h"
#include "system/uWindows.h"

namespace {

using TService = TFakeFar::TService;
using testing_support::ReadBytes;
using testing_support::U16ToPath;

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

  // The box that a failed move shows, as its texts.
  std::vector<std::u16string> MoveFailedBox(const std::string& ASource, const std::string& ADest) {
    return {fFar->Msg(0),  fFar->Msg(15),         fDir.Dir() + U(ASource),
            fFar->Msg(16), fDir.Dir() + U(ADest), fFar->Msg(3),
            fFar->Msg(4),  fFar->Msg(5),          fFar->Msg(6)};
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
// Cancel (or Esc) renames nothing, the other answer renames every line that reads.
TEST_F(PluginRename, BrokenLinesAreNamedInOneBoxBeforeAnythingMoves) {
  for (const char* name : {"a", "b", "c", "d", "e", "f", "g"})
    MakeFile(name, name);
  for (const intptr_t answer : {1, -1, 0}) {
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
             fFar->Msg(26)}}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(fFar->CallsOf(TService::Message)[0].Args, std::vector<intptr_t>{2});
    EXPECT_EQ(Names(), answer == 0 ? (std::vector<std::string>{"a2", "b", "c", "d", "e", "f", "g"})
                                   : (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_FALSE(std::filesystem::exists(U16ToPath(listFile)));
  }
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
  for (const char* name : {"a", "b", "c", "d", "x", "y", "z", "w"})
    MakeFile(name, name);
  ShowPanel({u"a", u"b", u"c", u"d"});
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  const size_t first = FirstEntry();
  SetDestination(*editor, first, u"x");
  SetDestination(*editor, first + 1, u"y");
  editor->Lines[first + 2] = Entry(u"gone", u"new"); // a source that does not exist
  SetDestination(*editor, first + 3, u"w");
  fFar->MessageAnswers = {3}; // Skip all
  CloseEditor(editor->Id);

  EXPECT_EQ(Boxes(), (std::vector<std::vector<std::u16string>>{
                         MoveFailedBox("a", "x"),
                         {fFar->Msg(0), fFar->Msg(11), fDir.Dir() + u"gone", fFar->Msg(1)}}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c", "d", "w", "x", "y", "z"}));
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

  EXPECT_EQ(Boxes(), (std::vector<std::vector<std::u16string>>{MoveFailedBox("a", "b"),
                                                               MoveFailedBox("b", "a")}));
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
