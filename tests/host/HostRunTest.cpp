// quorvane-run end to end: the built program renames real files with the built plugin,
// a scripted editor and scripted answers, natively and (for the Windows builds) under
// wine with Quorvane.dll.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "HostProcess.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

#ifdef _WIN32
const char* const ExeSuffix = ".exe";
const char PathDelimiter = '\\';
const char* const PluginFile = "Quorvane.dll";
#else
const char* const ExeSuffix = "";
const char PathDelimiter = '/';
const char* const PluginFile = "Quorvane.so";
#endif

std::string Utf8(const fs::path& APath) {
  return Utf16ToUtf8(PathToU16(APath), TLoneSurrogate::Kept);
}

// A program path as $EDITOR holds it: read by the shell on POSIX, as a command line on
// Windows.
std::string EditorCommand(const std::string& AProgram) {
#ifdef _WIN32
  return "\"" + AProgram + "\"";
#else
  return "'" + AProgram + "'";
#endif
}

// AText with each '|' made a NUL, as names from find -print0 end.
std::string NulSeparated(std::string AText) {
  std::replace(AText.begin(), AText.end(), '|', '\0');
  return AText;
}

// AText with the CR of each CR LF gone, as a Windows console program ends its lines.
std::string Lines(std::string AText) {
  AText.erase(std::remove(AText.begin(), AText.end(), '\r'), AText.end());
  return AText;
}

size_t Count(const std::string& AText, const std::string& AWhat) {
  size_t count = 0;
  for (size_t at = AText.find(AWhat); at != std::string::npos; at = AText.find(AWhat, at + 1)) {
    ++count;
  }
  return count;
}

class HostRun : public ::testing::Test {
protected:
  void Create(const std::string& AName, const std::string& AContent = "") {
    WriteBytes(fPanel / AName, AContent);
  }
  void CreateFolder(const std::string& AName) { fs::create_directory(fPanel / AName); }
  bool Exists(const std::string& AName) const { return fs::exists(fPanel / AName); }
  std::string Content(const std::string& AName) const { return ReadBytes(fPanel / AName); }
  std::string Panel() const { return Utf8(fPanel.Path()); }

  // Runs quorvane-run with AArguments (the panel directory when none are given).
  TRunResult Run(std::vector<std::string> AArguments = {}, const std::string& AInput = "") {
    if (AArguments.empty()) AArguments.push_back(Panel());
    return RunProgram(QUORVANE_HOST_EXE, AArguments, AInput, Environment(), fScratch.Path());
  }
  std::vector<std::pair<std::string, std::string>> Environment() const {
    const std::string temp = Utf8(fTemp.Path());
    std::vector<std::pair<std::string, std::string>> environment = {
        {"EDITOR", EditorCommand(fEditor)},
        {"VISUAL", ""},
        {"QRT_EDITS", fEdits},
        {"QRT_LOG", Utf8(fLog)},
        {"TMPDIR", temp},
        {"TMP", temp},
        {"TEMP", temp},
        {"QRT_EXIT", ""},
        {"QRT_DELETE", ""},
        {"QRT_WAIT", ""}};
    environment.insert(environment.end(), fEnvironment.begin(), fEnvironment.end());
    return environment;
  }

  // What the editor was given: its arguments and the list as the plugin wrote it.
  std::string Log() const { return fs::exists(fLog) ? ReadBytes(fLog) : std::string(); }
  std::vector<std::string> EditorArguments() const {
    const std::string log = Log();
    const size_t end = log.find('\n');
    std::vector<std::string> words;
    std::string word;
    for (char c : log.substr(5, end == std::string::npos ? std::string::npos : end - 5)) {
      if (c == ' ') {
        if (!word.empty()) words.push_back(word);
        word.clear();
      } else {
        word.push_back(c);
      }
    }
    if (!word.empty()) words.push_back(word);
    return words;
  }
  // The current names of the list's entries, in list order, and the line of the first.
  std::vector<std::string> ListedNames(int* AFirstLine = nullptr) const {
    std::vector<std::string> names;
    const std::string log = Log();
    size_t start = log.find('\n');
    for (int line = 1; start != std::string::npos && start + 1 < log.size(); ++line) {
      const size_t end = log.find('\n', start + 1);
      const std::string text = log.substr(start + 1, end - start - 1);
      if (!text.empty() && text[0] == '"') {
        if (names.empty() && AFirstLine) *AFirstLine = line;
        names.push_back(text.substr(1, text.find('"', 1) - 1));
      }
      start = end;
    }
    return names;
  }
  bool TempIsEmpty() const { return fs::is_empty(fTemp.Path()); }

  TTempDir fPanel;   // the directory renamed in
  TTempDir fTemp;    // the host's temporary directory, where the list file goes
  TTempDir fScratch; // standard streams and the editor's log
  fs::path fLog = fScratch.Path() / "editor.log";
  std::string fEditor = QUORVANE_TEST_EDITOR;
  std::string fEdits;
  std::vector<std::pair<std::string, std::string>> fEnvironment;
};

TEST_F(HostRun, RenamesWhatTheEditorChanged) {
  Create("a.txt", "A");
  Create("b.txt", "B");
  CreateFolder("sub");
  fEdits = "a.txt>x.txt|sub>renamed";
  const TRunResult result = Run();
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(Lines(result.Err), "renamed 2 of 2 changed lines\n");
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(Content("x.txt"), "A");
  EXPECT_EQ(Content("b.txt"), "B");
  EXPECT_TRUE(fs::is_directory(fPanel / "renamed"));
  EXPECT_FALSE(Exists("sub"));
  EXPECT_TRUE(TempIsEmpty()) << "the list file is left behind";

  // The list is gone before a line renames the folder that holds it.
  CreateFolder("tmp");
  const std::string temp = Utf8(fPanel / "tmp");
  fEnvironment = {{"TMPDIR", temp}, {"TMP", temp}, {"TEMP", temp}};
  fEdits = "tmp>tmp2";
  EXPECT_EQ(Run().ExitCode, 0);
  EXPECT_TRUE(fs::is_empty(fPanel / "tmp2")) << "the list file is left behind";
}

TEST_F(HostRun, ListsThePanelFoldersFirstEachByNameAndSelectsAllButTheParent) {
  for (const char* name : {"b.txt", "A.txt", "c"})
    Create(name);
  for (const char* name : {"Dir2", "dir1"})
    CreateFolder(name);
#ifndef _WIN32
  // Names equal but for case go by their code units; a link that leads nowhere is listed
  // as a file, and does not keep the rest of the directory from being read.
  Create("B.txt");
  fs::create_symlink(fPanel / "missing", fPanel / "link");
  const std::vector<std::string> expected = {"dir1",  "Dir2", "A.txt", "B.txt",
                                             "b.txt", "c",    "link"};
#else
  const std::vector<std::string> expected = {"dir1", "Dir2", "A.txt", "b.txt", "c"};
#endif
  const TRunResult result = Run();
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(ListedNames(), expected);
  // The scripted editor takes no +N: it gets the list file alone.
  EXPECT_EQ(EditorArguments().size(), 1u);
}

TEST_F(HostRun, SelectsTheNamedEntriesOrOnlyTheCurrentOne) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"})
    Create(name);
  EXPECT_EQ(Run({Panel(), "c.txt", Utf8(fPanel / "a.txt")}).ExitCode, 0);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a.txt", "c.txt"}));
  fs::remove(fLog);
  EXPECT_EQ(Run({"--current", "b.txt", Panel()}).ExitCode, 0);
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"b.txt"}));
}

TEST_F(HostRun, StartsAnEditorThatTakesALineAtTheFirstEntry) {
  Create("a.txt");
  const fs::path vi = fScratch.Path() / (std::string("vi") + ExeSuffix);
  fs::copy_file(fEditor, vi);
  fEditor = Utf8(vi);
  ASSERT_EQ(Run().ExitCode, 0);
  int firstEntry = 0;
  ASSERT_EQ(ListedNames(&firstEntry).size(), 1u);
  const auto arguments = EditorArguments();
  ASSERT_EQ(arguments.size(), 2u);
  EXPECT_EQ(arguments[0], "+" + std::to_string(firstEntry));
}

TEST_F(HostRun, RenamesNamesInAnyScript) {
  Create("файл.txt", "1");
  Create("文件.txt", "2");
  Create("😀.txt", "3");
  fEdits = "файл.txt>документ.txt|文件.txt>文档.txt|😀.txt>🎉 party.txt";
  const TRunResult result = Run();
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(Content("документ.txt"), "1");
  EXPECT_EQ(Content("文档.txt"), "2");
  EXPECT_EQ(Content("🎉 party.txt"), "3");
  EXPECT_FALSE(Exists("файл.txt") || Exists("文件.txt") || Exists("😀.txt"));
}

TEST_F(HostRun, ChangesOnlyTheCaseOfAName) {
  Create("Readme.TXT", "R");
  fEdits = "Readme.TXT>README.txt";
  const TRunResult result = Run();
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
#ifndef _WIN32
  // Wine keeps the old case on disk while reporting success; Linux shows the new one.
  const auto names = [&] {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(fPanel.Path())) {
      found.push_back(Utf8(entry.path().filename()));
    }
    return found;
  }();
  EXPECT_EQ(names, std::vector<std::string>{"README.txt"});
#endif
}

#ifndef _WIN32
TEST_F(HostRun, TakesAShellCommandAsTheEditor) {
  Create("a.txt", "A");
  fEditor.clear();
  fEnvironment = {{"EDITOR", "sed -i -e 's/\"a.txt\"/\"z.txt\"/2'"}};
  const TRunResult result = Run();
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(Content("z.txt"), "A");
}
#endif

// A destination that exists brings the failure prompt; --answer N picks button N.
class HostAnswers : public HostRun {
protected:
  void SetUp() override {
    Create("a.txt", "A");
    Create("b.txt", "B");
    fEdits = "a.txt>b.txt";
  }
  void ExpectUntouched() {
    EXPECT_EQ(Content("a.txt"), "A");
    EXPECT_EQ(Content("b.txt"), "B");
  }
};

TEST_F(HostAnswers, OverwriteReplacesTheDestination) {
  const TRunResult result = Run({"--answer", "2", "-v", Panel()});
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(Count(result.Err, "[2] Overwrite"), 1u) << result.Err;
  EXPECT_EQ(Lines(result.Out), "a.txt -> b.txt\n") << "a question on standard output";
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(Content("b.txt"), "A");
}

TEST_F(HostAnswers, SkipLeavesBothFilesAndTellsByTheExitStatus) {
  const TRunResult result = Run({"--answer=3", Panel()});
  EXPECT_EQ(result.ExitCode, 1);
  ExpectUntouched();
}

TEST_F(HostAnswers, SkipAllAsksOnceForEveryFailure) {
  Create("c.txt", "C");
  Create("d.txt", "D");
  fEdits = "a.txt>b.txt|c.txt>d.txt|d.txt>c.txt";
  const TRunResult result = Run({"--answer", "4", Panel()});
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_EQ(Count(result.Err, "Overwrite"), 1u) << result.Err;
  ExpectUntouched();
  EXPECT_EQ(Content("c.txt"), "C");
  EXPECT_EQ(Content("d.txt"), "D");
}

// An answer that brings the same question back (Retry on a move that keeps failing,
// Overwrite of a folder by itself, Overwrite of a name an earlier line gave, which a box
// refuses in turn) is taken five times, from --answer or from standard input alike; then
// the question is cancelled. So is a box after five answers it cannot take.
TEST_F(HostAnswers, AnswerThatKeepsFailingEndsCancelled) {
  CreateFolder("d");
  Create("d" + std::string(1, PathDelimiter) + "x", "X");
  std::string retries, overwrites;
  for (int i = 0; i < 50; ++i)
    retries += "1\n", overwrites += "2\n";
  const std::string given = "c3>d4|a1>c3|b2>c3"; // a1 to c3, b2 to c3, c3 to d4

  const struct {
    std::vector<std::string> Options;
    std::string Input, Edits;
    size_t Asked = 6; // questions that offered Overwrite
  } cases[] = {{{"--answer", "1"}, "", "a.txt>b.txt"},
               {{}, retries, "a.txt>b.txt"},
               {{}, overwrites, "d>d" + std::string(1, PathDelimiter) + "x"},
               {{"--answer", "2"}, "", given, 7},
               {{}, overwrites, given, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Edits + " " + (c.Options.empty() ? c.Input.substr(0, 1) : c.Options[1]));
    fEdits = c.Edits;
    if (c.Edits == given) {
      Create("a1", "A1");
      Create("b2", "B2");
      Create("c3", "C3");
      fs::remove(fPanel.Path() / "d4");
    }
    std::vector<std::string> arguments = c.Options;
    arguments.push_back(Panel());
    const TRunResult result = Run(arguments, c.Input);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(Count(result.Err, "Overwrite"), c.Asked) << result.Err;
    EXPECT_NE(result.Err.find("cancelled"), std::string::npos) << result.Err;
    ExpectUntouched();
    EXPECT_EQ(Content("d" + std::string(1, PathDelimiter) + "x"), "X");
    if (c.Edits == given) {
      EXPECT_EQ(Content("c3"), "A1");
      EXPECT_EQ(Content("b2"), "B2");
      EXPECT_EQ(Content("d4"), "C3");
    }
  }
}

TEST_F(HostAnswers, ZeroOrABeyondTheButtonsCancels) {
  for (const char* answer : {"0", "5"}) {
    EXPECT_EQ(Run({"--answer", answer, Panel()}).ExitCode, 1) << answer;
    ExpectUntouched();
  }
}

TEST_F(HostAnswers, TerminalRetryThenOverwrite) {
  const TRunResult result = Run({Panel()}, "1\n2\n");
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(Count(result.Err, "Overwrite"), 2u) << result.Err;
  EXPECT_EQ(Content("b.txt"), "A");
}

TEST_F(HostAnswers, BadTerminalInputNeverOverwrites) {
  // Letters (the hot key of Overwrite among them), numbers out of range, trailing junk,
  // then an empty answer or the end of input: the move is never confirmed.
  // Standard input closed (quorvane-run DIR <&-): the question reads the end of input
  // at once and never waits.
  const std::string closed = "<&-";
  for (const char* input :
       {"", "o\n", "O", "x\n9\n-1\n0\n\n2\n", "2x\n", " 2 3\n", "abc", closed.c_str()}) {
#ifdef _WIN32
    if (input == closed) continue;
#endif
    const TRunResult result =
        input == closed
            ? RunProgram("/bin/sh",
                         {"-c", "exec timeout 20 \"$0\" \"$@\" <&-", QUORVANE_HOST_EXE, Panel()},
                         "", Environment(), fScratch.Path())
            : Run({Panel()}, input);
    EXPECT_EQ(result.ExitCode, 1) << "input: " << input;
    EXPECT_NE(result.Err.find("Overwrite"), std::string::npos) << result.Err;
    ExpectUntouched();
  }
}

TEST_F(HostAnswers, MessageBoxesOfTheRenameShowAndCount) {
  // A source that is gone, and a destination that is a folder: each has its box, the
  // other entries go through, and the status tells that not all did.
  Create("c.txt", "C");
  CreateFolder("folder");
  fEdits = "<a.txt>gone.txt|b.txt>folder|c.txt>e.txt";
  // The source's line is named before anything moves: rename the other lines.
  TRunResult result = Run({Panel()}, "1\n\n");
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_NE(result.Err.find("gone.txt"), std::string::npos) << result.Err;
  EXPECT_NE(result.Err.find(PathDelimiter + std::string("folder")), std::string::npos)
      << result.Err;
  ExpectUntouched();
  EXPECT_EQ(Content("e.txt"), "C");

  // The same box for seven lines is seven boxes, each shown in full, not a question that
  // came back; a box of one button takes any line as its Enter.
  std::string input;
  fEdits.clear();
  for (char name = 'm'; name < 't'; ++name) {
    Create(std::string(1, name), "M");
    fEdits += std::string(fEdits.empty() ? "" : "|") + name + ">folder";
    input += "ok\n";
  }
  result = Run({Panel()}, input);
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_EQ(Count(result.Err, "Press Enter (Ctrl+C ends the job): ok"), 7u) << result.Err;
  for (const char* asked : {"came back", "Type a number"})
    EXPECT_EQ(result.Err.find(asked), std::string::npos) << result.Err;
}

// The summary counts what is on disk afterwards: a skipped line is not renamed; a source
// that the user wrote in the first column, or one of many files, is as good as any.
TEST_F(HostAnswers, SummaryCountsTheLinesThatTookEffect) {
  std::string many;
  for (int i = 0; i < 150; ++i) {
    const std::string number = std::to_string(i);
    many.append("|m").append(number).append(">n").append(number);
  }
  const struct {
    const char* Option;
    std::string Edits;
    std::string Err;
  } cases[] = {
      {"-v", "a.txt>b.txt|c.txt>d.txt",
       "c.txt -> d.txt\nrenamed 1 of 2 changed lines; 1 not renamed\n"},
      {"-q", "a.txt>b.txt|c.txt>d.txt", ""},
      {"-v", "a.txt>b.txt|<c.txt>./c.txt|c.txt>d.txt",
       "./c.txt -> d.txt\nrenamed 1 of 2 changed lines; 1 not renamed\n"},
      {"", "a.txt>b.txt|c.txt>d.txt" + many, "renamed 151 of 152 changed lines; 1 not renamed\n"}};
  for (const auto& c : cases) {
    Create("c.txt", "C");
    fs::remove(fPanel.Path() / "d.txt");
    for (int i = 0; i < 150; ++i) {
      const std::string number = std::to_string(i);
      fs::remove(fPanel.Path() / ("n" + number));
      Create("m" + number);
    }
    fEdits = c.Edits;
    std::vector<std::string> arguments = {"--answer", "3", Panel()};
    if (*c.Option) arguments.insert(arguments.begin(), c.Option);
    const TRunResult result = Run(arguments);
    EXPECT_EQ(result.ExitCode, 1);
    const std::string status = "not every entry went through\n";
    const size_t end = Lines(result.Err).find(status);
    ASSERT_NE(end, std::string::npos) << result.Err;
    // The lines that took effect come on standard output, their count on standard error.
    const size_t count = std::min(c.Err.rfind("renamed "), c.Err.size());
    EXPECT_EQ(Lines(result.Out), c.Err.substr(0, count));
    EXPECT_EQ(Lines(result.Err).substr(end + status.size()), c.Err.substr(count));
    ExpectUntouched();
    EXPECT_EQ(Content("d.txt"), "C");
  }
}

// Names from a pipe, one a line or NUL-separated, and paths below DIR on the command line.
TEST_F(HostRun, TakesNamesFromAPipeAndPathsBelowTheDirectory) {
  const std::string d(1, PathDelimiter);
  fs::create_directories(fPanel / "sub" / "deep");
  const std::string deep = "sub" + d + "deep" + d;
  const struct {
    std::vector<std::string> Arguments;
    std::string Input;
    bool InPanel = false; // run in DIR
  } cases[] = {{{Panel(), "-"}, "a.txt\nsub/deep/c.txt\n\n"},
               {{"-0", Panel(), "-"}, NulSeparated("./a.txt|" + deep + "c.txt")},
               {{Panel(), Utf8(fPanel / "a.txt"), "sub/deep/c.txt"}, ""},
               {{"a.txt", "sub/deep/c.txt"}, "", true}}; // FILE...: . FILE...
  const fs::path previous = fs::current_path();
  for (const auto& c : cases) {
    fs::current_path(c.InPanel ? fPanel.Path() : previous);
    Create("a.txt", "A");
    Create(deep + "c.txt", "C");
    Create("b.txt", "B");
    fs::remove(fLog);
    fs::remove(fPanel.Path() / "y.txt");
    fs::remove(fPanel.Path() / "sub" / "deep" / "x.txt");
    fEdits = deep + "c.txt>" + deep + "x.txt|a.txt>y.txt";
    const TRunResult result = Run(c.Arguments, c.Input);
    EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a.txt", deep + "c.txt"}));
    EXPECT_EQ(Content(deep + "x.txt"), "C");
    EXPECT_EQ(Content("y.txt"), "A");
    EXPECT_EQ(Lines(result.Err), "renamed 2 of 2 changed lines\n");
  }
  fs::current_path(previous);

  // A folder among them (find . | quorvane-run -): what lies below it is listed before
  // it, so a folder and its files rename in one edit, as written.
  fs::remove(fLog);
  fEdits = deep + "x.txt>" + deep + "z.txt|sub>top";
  const TRunResult result = Run({Panel(), "-"}, "sub\nsub/deep\nsub/deep/x.txt\n");
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{deep + "x.txt", "sub" + d + "deep", "sub"}));
  EXPECT_EQ(Content("top" + d + "deep" + d + "z.txt"), "C");
  // The summary finds the file where its folder's move took it.
  EXPECT_EQ(Lines(result.Err), "renamed 2 of 2 changed lines\n");
}

// Each refused name has its line; the others are listed. With none left, nothing runs.
TEST_F(HostRun, RefusesNamesOutsideTheDirectoryOrMissing) {
  Create("a.txt", "A");
  CreateFolder("sub");
  const std::string outside = Utf8(fScratch.Path());
  const std::string input =
      NulSeparated("a.txt|../x|sub/../../y|missing|line\nbreak|" + outside + "|\xFF.txt");
  TRunResult result = Run({"--null", Panel(), "-"}, input);
  EXPECT_EQ(result.ExitCode, 1) << result.Out << result.Err;
  EXPECT_EQ(ListedNames(), std::vector<std::string>{"a.txt"});
  for (const char* refused :
       {"outside ", "does not exist: missing", "line break: line\\x0Abreak", "UTF-8"}) {
    EXPECT_NE(result.Err.find(refused), std::string::npos) << refused << result.Err;
  }
  EXPECT_EQ(Count(result.Err, "leads outside"), 3u) << result.Err;
#ifndef _WIN32
  // A link to a folder outside leads there too.
  fs::create_directory_symlink(fScratch.Path(), fPanel / "link");
  WriteBytes(fScratch.Path() / "secret", "S");
  fs::remove(fLog);
  result = Run({Panel(), "link/secret", "a.txt"});
  EXPECT_EQ(result.ExitCode, 1) << result.Err;
  EXPECT_NE(result.Err.find("through a link: link/secret"), std::string::npos) << result.Err;
  EXPECT_EQ(ListedNames(), std::vector<std::string>{"a.txt"});
#endif
  result = Run({Panel(), "nothere.txt"});
  EXPECT_EQ(result.ExitCode, 2);
  EXPECT_NE(result.Err.find("does not exist: nothere.txt"), std::string::npos) << result.Err;
  EXPECT_NE(result.Err.find("nothing to rename"), std::string::npos) << result.Err;
}

// The plan before the moves: --confirm renames on yes only, --dry-run never.
TEST_F(HostRun, ShowsThePlanAndRenamesOnlyWhenConfirmed) {
#ifdef _WIN32
  const std::string name = "x.txt", shown = name;
#else
  const std::string name = "x\x1b.txt", shown = "x\\x1B.txt";
#endif
  const struct {
    std::vector<std::string> Options;
    std::string Input;
    int ExitCode;
    bool Renamed;
  } cases[] = {{{"--confirm"}, "y\n", 0, true},
               {{"--confirm"}, "no\n", 1, false},
               {{"--confirm"}, "", 1, false},
               {{"--confirm", "--answer", "1"}, "", 0, true},
               {{"-n"}, "y\n", 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Options[0] + " " + c.Input);
    fs::remove(fPanel.Path() / name);
    Create("a.txt", "A");
    fEdits = "a.txt>" + name;
    std::vector<std::string> arguments = c.Options;
    arguments.push_back(Panel());
    const TRunResult result = Run(arguments, c.Input);
    EXPECT_EQ(result.ExitCode, c.ExitCode) << result.Out << result.Err;
    EXPECT_NE(Lines(result.Out).find("a.txt -> " + shown + "\n1 changed line\n"), std::string::npos)
        << result.Out;
    EXPECT_EQ(Exists(name), c.Renamed);
    EXPECT_EQ(Exists("a.txt"), !c.Renamed);
    EXPECT_TRUE(TempIsEmpty());
  }

  // A line that will not go through as written is marked with the reason and counted.
  const std::string d(1, PathDelimiter);
  Create("b.txt", "B");
  CreateFolder("folder");
  const struct {
    std::vector<std::string> Options;
    std::string Edits, Mark;
  } marked[] = {
      {{"-n"}, "a.txt>b.txt", "taken by a file the list does not rename"},
      {{"-n"}, "b.txt>t|a.txt>b.txt|t>a.txt", "a.txt -> b.txt\n   ! a swap, shift or cycle"},
      {{"-n"}, "a.txt>sub" + d + "a.txt", "! no folder "},
      {{"-n", "-p"}, "a.txt>.." + d + "nothere" + d + "a.txt", "-p makes none outside DIR"},
      {{"-n"}, "a.txt>folder", "an existing folder"},
      {{"--confirm"},
       "a.txt>x|b.txt>x",
       "b.txt -> x\n   ! the same new name as the line of a.txt"}};
  for (const auto& c : marked) {
    SCOPED_TRACE(c.Edits);
    fEdits = c.Edits;
    std::vector<std::string> arguments = c.Options;
    arguments.push_back(Panel());
    const TRunResult result = Run(arguments, "n\n");
    const std::string out = Lines(result.Out);
    EXPECT_NE(out.find(c.Mark), std::string::npos) << out;
    EXPECT_NE(out.find("; 1 will not go through as written\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("nothing was renamed") != std::string::npos, c.Options[0] == "-n") << out;
    EXPECT_EQ(Content("a.txt"), "A");
  }
}

// -p makes the destination's folders; one that stays empty is removed again.
TEST_F(HostRun, ParentsMakesTheFoldersOfTheDestinations) {
  const std::string d(1, PathDelimiter);
  Create("a.txt", "A");
  Create("b.txt", "B");
  fEdits = "a.txt>new" + d + "dir" + d + "a.txt|b.txt>made" + d + "b.txt|<b.txt>gone.txt";
  const TRunResult result = Run({"-p", Panel()}, "1\n\n");
  EXPECT_EQ(result.ExitCode, 1) << result.Out << result.Err;
  EXPECT_EQ(Content("new" + d + "dir" + d + "a.txt"), "A");
  EXPECT_FALSE(Exists("made")) << "the folder made for a move that failed is left";
  EXPECT_EQ(Content("b.txt"), "B");
  EXPECT_NE(result.Err.find("renamed 1 of 2 changed lines; 1 not renamed"), std::string::npos)
      << result.Err;

  // A folder that a line makes by a move is not made before: the folder's line renames it
  // and the next line moves into it. Through a link -p makes no folder outside DIR.
  CreateFolder("s");
  Create("x", "X");
  fEdits = "s>t|x>t" + d + "x";
#ifndef _WIN32
  fs::create_directory_symlink(fScratch.Path(), fPanel / "link");
  fEdits += "|b.txt>link" + d + "made" + d + "b.txt";
#endif
  const TRunResult moved = Run({"-p", Panel()}, "3\n");
  EXPECT_EQ(Content("t" + d + "x"), "X") << moved.Err;
  EXPECT_FALSE(Exists("s"));
  EXPECT_FALSE(fs::exists(fScratch.Path() / "made"));
  EXPECT_EQ(Content("b.txt"), "B");
}

TEST_F(HostRun, LanguageComesFromTheLanguageFiles) {
  Create("a.txt");
  ASSERT_EQ(Run().ExitCode, 0);
  const std::string english = Log();
  fs::remove(fLog);
  ASSERT_EQ(Run({"--lang", "Russian", Panel()}).ExitCode, 0);
  const std::string russian = Log();
  EXPECT_NE(russian.substr(russian.find('\n')), english.substr(english.find('\n')));
  EXPECT_NE(russian.find("\xD0"), std::string::npos) << "no Cyrillic in the header";
  EXPECT_EQ(russian.find("F2"), std::string::npos) << russian;
}

// In a terminal editor the header says what to do there, not which keys FAR takes, and
// every line of the list ends with CR LF. A line that the editor broke is named before
// anything moves; the status tells of it, whichever the answer.
TEST_F(HostRun, TerminalHeaderAndALineThatCannotBeRead) {
  Create("a.txt", "A");
  Create("c.txt", "C");
  fEdits = "a.txt>b.txt\" x|c.txt>d.txt";
  TRunResult result = Run({"--answer", "3", Panel()});
  EXPECT_EQ(result.ExitCode, 1) << result.Out << result.Err;
  EXPECT_NE(result.Err.find("Line 4: \"a.txt\"    \"b.txt\" x\""), std::string::npos) << result.Err;
  EXPECT_EQ(Content("a.txt"), "A");
  EXPECT_EQ(Content("c.txt"), "C");
  EXPECT_TRUE(TempIsEmpty());
  fs::remove(fLog);
  result = Run({"--answer", "1", Panel()});
  EXPECT_EQ(result.ExitCode, 1) << result.Out << result.Err;
  EXPECT_EQ(Content("a.txt"), "A");
  EXPECT_EQ(Content("d.txt"), "C");

  // The list's name, as the manual page gives it: "Zan", hexadecimal digits, ".txt".
  const std::string listName = fs::path(EditorArguments().back()).filename().string();
  EXPECT_EQ(listName.substr(0, 3), "Zan") << listName;
  EXPECT_EQ(listName.find_first_not_of("0123456789ABCDEFabcdef", 3), listName.size() - 4);
  EXPECT_EQ(listName.substr(listName.size() - 4), ".txt") << listName;

  const std::string log = Log();
  const std::string list = log.substr(log.find('\n') + 1);
  const std::string header = list.substr(0, list.find("\n\""));
  EXPECT_NE(header.find("save the file and quit the editor"), std::string::npos) << header;
  for (const char* key : {"F2", "Esc", "Alt+"})
    EXPECT_EQ(header.find(key), std::string::npos) << header;
  EXPECT_EQ(Count(header, "\n"), 2u) << header;
  EXPECT_EQ(Count(list, "\n"), Count(list, "\r\n")) << list;
}

// Failures before any rename: one line on stderr, status 2, nothing renamed.
TEST_F(HostRun, RefusesToStartAndRenamesNothing) {
  Create("a.txt", "A");
  fEdits = "a.txt>x.txt";
  const std::string missing = Utf8(fPanel / "missing");
  struct TCase {
    std::vector<std::string> Arguments;
    std::string Editor;
    std::string Expected;
  } cases[] = {
      {{missing}, "", "no such directory"},
      {{"--current", "a.txt", Panel(), "a.txt"}, "", "exclude"},
      {{"--bogus", Panel()}, "", "unknown option"},
      {{"--answer", "yes", Panel()}, "", "--answer"},
      {{"--plugin", missing, Panel()}, "", "cannot load"},
      {{"--plugin", QUORVANE_PARTIAL_PLUGIN, Panel()}, "", "ProcessEditorInputW"},
      {{Panel()}, EditorCommand(Utf8(fPanel / "no-editor")), "cannot start the editor"},
  };
  for (const auto& test : cases) {
    fEnvironment.clear();
    if (!test.Editor.empty()) fEnvironment = {{"EDITOR", test.Editor}};
    const TRunResult result = Run(test.Arguments);
    EXPECT_EQ(result.ExitCode, 2) << test.Expected;
    EXPECT_NE(result.Err.find(test.Expected), std::string::npos) << result.Err;
    EXPECT_EQ(Count(result.Err, "\n"), 1u) << result.Err;
    EXPECT_EQ(Content("a.txt"), "A");
    EXPECT_FALSE(Exists("x.txt"));
    EXPECT_TRUE(TempIsEmpty()) << test.Expected;
  }
}

TEST_F(HostRun, EmptyDirectoryHasNothingToRename) {
  const TRunResult result = Run();
  EXPECT_EQ(result.ExitCode, 2);
  EXPECT_NE(result.Err.find("nothing to rename"), std::string::npos) << result.Err;
}

TEST_F(HostRun, AnEditorThatFailsOrLosesTheListRenamesNothing) {
  Create("a.txt", "A");
  fEdits = "a.txt>x.txt";
  fEnvironment = {{"QRT_EXIT", "3"}};
  TRunResult result = Run();
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_NE(result.Err.find("status 3"), std::string::npos) << result.Err;
  EXPECT_EQ(Content("a.txt"), "A");
  EXPECT_TRUE(TempIsEmpty());

  // A list that is gone is the plugin's to tell: its box says that nothing was renamed.
  fEnvironment = {{"QRT_DELETE", "1"}};
  result = Run();
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_NE(result.Err.find("could not be read"), std::string::npos) << result.Err;
  EXPECT_EQ(Content("a.txt"), "A");
  EXPECT_TRUE(TempIsEmpty());
}

#ifndef _WIN32
TEST_F(HostRun, LoadsNoLibraryByAWindowsName) {
  Create("a.txt", "A");
  const fs::path mark = fScratch.Path() / "foreign-library-loaded";
  fEnvironment = {{"LD_LIBRARY_PATH", QUORVANE_FOREIGN_DIR}, {"QRT_FOREIGN_MARK", Utf8(mark)}};
  const TRunResult result = Run();
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_FALSE(fs::exists(mark)) << "kernel32.dll was loaded from the library path";
}

// What the user wrote is what runs: a replace over the first column renames nothing and
// is named in one box before anything moves; "Edit the list again" answered for ever ends
// like any question that keeps coming back; a name the list cannot carry (a double quote)
// is left out with a warning while the others rename.
TEST_F(HostRun, ListsThatWouldNotRunAsWrittenAreNamedFirst) {
#ifndef _WIN32
  for (const char* name : {"img01.jpg", "img02.jpg", "img03.jpg"})
    Create(name, name);
  fEnvironment = {{"EDITOR", "sed -i s/img/photo/"}};
  TRunResult result = Run({Panel()});
  EXPECT_EQ(result.ExitCode, 1) << result.Err;
  EXPECT_EQ(Count(result.Err, "no such file (the first column was changed)"), 3u) << result.Err;
  EXPECT_EQ(Count(result.Err, "cannot be read and rename nothing (3 in all)"), 1u) << result.Err;
  EXPECT_NE(result.Err.find("renamed 0 of 3 changed lines"), std::string::npos) << result.Err;
  EXPECT_EQ(Content("img01.jpg"), "img01.jpg");
  EXPECT_TRUE(TempIsEmpty());

  result = Run({"--answer", "2", Panel()});
  EXPECT_EQ(result.ExitCode, 1) << result.Err;
  EXPECT_NE(result.Err.find("came back"), std::string::npos) << result.Err;
  EXPECT_EQ(Content("img01.jpg"), "img01.jpg");
  EXPECT_TRUE(TempIsEmpty());

  fEnvironment.clear();
  for (const char* name : {"img01.jpg", "img02.jpg", "img03.jpg"})
    fs::remove(fPanel / name);
  Create("a.txt", "A");
  Create("say \"hi\".jpg", "Q");
  fEdits = "a.txt>b.txt";
  result = Run({Panel()});
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(Count(result.Err, "holds a double quote"), 1u) << result.Err;
  EXPECT_EQ(Content("b.txt"), "A");
  EXPECT_EQ(Content("say \"hi\".jpg"), "Q");
#endif
}

TEST_F(HostRun, LineBreaksInNamesNeverMakeALineOfTheList) {
  // In the header, the folder's name would put an entry of its own on the next line.
  const std::string folder = "x\n\"a.txt\"    \"b.txt\"";
  CreateFolder(folder);
  WriteBytes(fPanel / folder / "a.txt", "A");
  WriteBytes(fPanel / folder / "c\rd.txt", "C");
  const TRunResult result = Run({Utf8(fPanel / folder)});
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(ListedNames(), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(ReadBytes(fPanel / folder / "a.txt"), "A");
  EXPECT_FALSE(fs::exists(fPanel / folder / "b.txt"));
  EXPECT_NE(result.Err.find("holds a line break: c\\x0Dd.txt"), std::string::npos) << result.Err;
}

TEST_F(HostRun, NamesReachTheTerminalWithTheirControlCharactersShown) {
  // Colour, the window's title and C1's CSI in a name that a question shows, and a clear
  // screen in one that a warning shows (it is left out as not UTF-8).
  const std::string name = "\x1b[31mred\x1b]0;title\x07\xC2\x9B.txt";
  Create(name, "N");
  Create("taken.txt", "T");
  WriteBytes(fPanel.Path() / "bad\xFF\x1b[2J", "B"); // the bytes as they are
  fEdits = name + ">taken.txt";
  const TRunResult result = Run({"--answer", "3", Panel()});
  EXPECT_EQ(result.ExitCode, 1);
  for (const std::string& text : {result.Out, result.Err}) {
    EXPECT_EQ(text.find_first_of("\x1b\x07"), std::string::npos) << text;
    EXPECT_EQ(text.find("\xC2\x9B"), std::string::npos) << text;
  }
  EXPECT_NE(result.Err.find("\\x1B[31mred\\x1B]0;title\\x07\\x9B.txt"), std::string::npos)
      << result.Err;
  EXPECT_NE(result.Err.find("\\x1B[2J"), std::string::npos) << result.Err;
}

// Ctrl+C or a request to terminate at a question ends the job, and so does a signal
// anywhere else, at the next point where no rename is under way: no list is left behind,
// no folder that -p made and that is still empty, and nothing more is renamed.
TEST_F(HostRun, SignalsEndTheJob) {
  const std::string d(1, PathDelimiter);
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
    Create(name, name);
  fEdits = "a.txt>b.txt|c.txt>d.txt";
  const struct {
    int Signal;
    std::vector<std::string> Options;
    std::string Edits;
  } endings[] = {{SIGINT, {}, fEdits},
                 {SIGTERM, {}, fEdits},
                 {SIGQUIT, {}, fEdits},
                 // a box, of a source that is gone, with a folder made for its line
                 {SIGINT, {"-p"}, "<gone.txt>new" + d + "gone.txt|a.txt>b.txt|c.txt>d.txt"},
                 {SIGINT, {"--confirm"}, fEdits}};
  for (const auto& ending : endings) {
    SCOPED_TRACE(std::to_string(ending.Signal) + " " + ending.Edits);
    fEdits = ending.Edits;
    std::vector<std::string> arguments = ending.Options;
    arguments.push_back(Panel());
    TStartedProgram host(QUORVANE_HOST_EXE, arguments, Environment(), fScratch.Path());
    const char* question = ending.Options == std::vector<std::string>{"--confirm"}
                               ? "Rename? [y/N]"
                               : "(Ctrl+C ends the job): ";
    ASSERT_TRUE(host.WaitForOutput(question));
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // into the wait for input
    host.Signal(ending.Signal);
    const TRunResult result = host.Finish();
    EXPECT_EQ(result.ExitCode, 1) << result.Out << result.Err;
    EXPECT_NE(result.Err.find("interrupted"), std::string::npos) << result.Err;
    EXPECT_EQ(Count(result.Err, question), 1u) << result.Err;
    EXPECT_TRUE(TempIsEmpty());
    EXPECT_FALSE(Exists("new"));
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
      EXPECT_EQ(Content(name), name);
  }
  fEdits = "a.txt>b.txt|c.txt>d.txt";
  // A request to terminate and a Ctrl+C that come together (here while the host is
  // stopped, so that the Ctrl+C is handled last): the job ends all the same.
  {
    TStartedProgram host(QUORVANE_HOST_EXE, {Panel()}, Environment(), fScratch.Path());
    ASSERT_TRUE(host.WaitForOutput("Choose 1-4"));
    host.Pause();
    for (int signal : {SIGTERM, SIGINT, SIGCONT})
      host.Signal(signal);
    const TRunResult result = host.Finish();
    EXPECT_EQ(Count(result.Err, "Choose 1-4"), 1u) << result.Err;
    EXPECT_NE(result.Err.find("the job is ended"), std::string::npos) << result.Err;
    EXPECT_TRUE(TempIsEmpty());
  }
  // Standard output a pipe whose reader has gone (quorvane-run | head -1): the questions
  // still reach the user, and a plan that cannot be shown ends the job in the same way.
  {
    TStartedProgram host(QUORVANE_HOST_EXE, {Panel()}, Environment(), fScratch.Path(),
                         TStartedProgram::outReaderGone);
    EXPECT_TRUE(host.WaitForOutput("Choose 1-4"));
    EXPECT_EQ(host.Finish().ExitCode, 1);
    TStartedProgram planned(QUORVANE_HOST_EXE, {"-n", Panel()}, Environment(), fScratch.Path(),
                            TStartedProgram::outReaderGone);
    const TRunResult result = planned.Finish();
    EXPECT_EQ(result.ExitCode, 1) << result.Err;
    EXPECT_NE(result.Err.find("cannot write to standard output"), std::string::npos) << result.Err;
    EXPECT_TRUE(TempIsEmpty());
  }
  // While the editor runs, SIGTERM ends the job when the editor returns.
  fEdits = "a.txt>x.txt";
  const fs::path release = fScratch.Path() / "release";
  fEnvironment = {{"QRT_WAIT", Utf8(release)}};
  fs::remove(fLog);
  TStartedProgram host(QUORVANE_HOST_EXE, {Panel()}, Environment(), fScratch.Path());
  for (int i = 0; i < 1000 && Log().empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  host.Signal(SIGTERM);
  WriteBytes(release, "");
  const TRunResult result = host.Finish();
  EXPECT_EQ(result.ExitCode, 1) << result.Out << result.Err;
  EXPECT_NE(result.Err.find("interrupted"), std::string::npos) << result.Err;
  EXPECT_TRUE(TempIsEmpty());
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
    EXPECT_EQ(Content(name), name);
  fEnvironment.clear();
  // Ended at a question of the line whose file Overwrite moved aside: a box names where it
  // waits, since its own name has been given.
  fEdits = "b.txt>d.txt|a.txt>b.txt";
  {
    TStartedProgram ending(QUORVANE_HOST_EXE, {Panel()}, Environment(), fScratch.Path());
    ASSERT_TRUE(ending.WaitForOutput("Choose 1-4"));
    ending.Type("2\n");
    ASSERT_TRUE(ending.WaitForOutput("Choose 1-4", 2));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ending.Signal(SIGTERM);
    const TRunResult ended = ending.Finish();
    EXPECT_EQ(ended.ExitCode, 1) << ended.Out << ended.Err;
    EXPECT_NE(ended.Err.find("the job is ended"), std::string::npos) << ended.Err;
    EXPECT_NE(ended.Err.find("could not be moved back"), std::string::npos) << ended.Err;
    EXPECT_EQ(Content("b.txt"), "a.txt");
    EXPECT_EQ(Content(".quorvane-1"), "b.txt");
  }
  // The same with the reader of standard output gone meanwhile (quorvane-run | tee, tee
  // stopped): the box that names where the file waits goes to standard error.
  for (const auto& entry : fs::directory_iterator(fPanel.Path()))
    fs::remove(entry.path());
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
    Create(name, name);
  {
    TStartedProgram ending(QUORVANE_HOST_EXE, {Panel()}, Environment(), fScratch.Path(),
                           TStartedProgram::outTee);
    ASSERT_TRUE(ending.WaitForOutput("Choose 1-4"));
    ending.Type("2\n");
    ASSERT_TRUE(ending.WaitForOutput("Choose 1-4", 2));
    ending.StopReader();
    ending.Signal(SIGTERM);
    const TRunResult ended = ending.Finish();
    EXPECT_EQ(ended.ExitCode, 1) << ended.Out << ended.Err;
    EXPECT_NE(ended.Err.find("could not be moved back"), std::string::npos) << ended.Err;
    EXPECT_NE(ended.Err.find(".quorvane-1"), std::string::npos) << ended.Err;
    EXPECT_EQ(Content(".quorvane-1"), "b.txt");
  }
}

// Ctrl+C during the renames stops the job after the line under way, without a question:
// the later lines rename nothing, and the summary counts what took effect.
TEST_F(HostRun, CtrlCDuringTheRenamesStopsAfterTheLineUnderWay) {
  const size_t count = 20000;
  for (size_t i = 0; i < count; ++i)
    Create("f" + std::to_string(i));
  fEditor.clear();
  fEnvironment = {{"EDITOR", "sed -i -e s/\\\"f/\\\"g/2"}};
  TStartedProgram host(QUORVANE_HOST_EXE, {Panel()}, Environment(), fScratch.Path());
  for (int i = 0; i < 4000 && !Exists("g0"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  host.Signal(SIGINT);
  const TRunResult result = host.Finish();
  EXPECT_EQ(result.ExitCode, 1) << result.Err;
  size_t renamed = 0, kept = 0;
  for (const auto& entry : fs::directory_iterator(fPanel.Path()))
    ++(entry.path().filename().string()[0] == 'g' ? renamed : kept);
  EXPECT_GT(renamed, 0u);
  EXPECT_GT(kept, 0u) << "the job ran to its end";
  EXPECT_EQ(renamed + kept, count);
  EXPECT_NE(result.Err.find("renamed " + std::to_string(renamed) + " of " + std::to_string(count) +
                            " changed lines; " + std::to_string(kept) + " not renamed"),
            std::string::npos)
      << result.Err;
  EXPECT_EQ(result.Out.find("Stop"), std::string::npos) << "asked: " << result.Out;
  EXPECT_TRUE(TempIsEmpty());
}
#endif

TEST_F(HostRun, HelpTellsTheOptionsAndTheExitStatus) {
  const TRunResult result = Run({"--help"});
  EXPECT_EQ(result.ExitCode, 0);
  for (const char* word : {"--plugin", "--lang", "--answer", "--current", "--version",
                           "Exit status", "Ctrl+C", "SIGTERM", "--confirm", "--dry-run",
                           "--parents", "--null", "--quiet", "--verbose", "| quorvane-run -"}) {
    EXPECT_NE(result.Out.find(word), std::string::npos) << word;
  }
  // Every line fits a terminal of 80 columns, and the manual page names every option
  // that --help shows (as troff writes it, each hyphen \-).
  const std::string manual = ReadBytes(U16ToPath(Utf8ToUtf16(QUORVANE_MANUAL_PAGE)));
  size_t options = 0;
  for (size_t start = 0, end; start < result.Out.size(); start = end + 1) {
    end = result.Out.find('\n', start);
    const std::string line = Lines(result.Out.substr(start, end - start));
    EXPECT_LE(line.size(), 80u) << line;
    if (line.rfind("  -", 0) != 0 || line.size() < 4 || line[3] == ' ') continue;
    for (size_t at = 2; at < line.size() && line[at] == '-';) {
      const size_t stop = line.find_first_of(", ", at);
      std::string troff;
      for (char c : line.substr(at, stop - at))
        troff += c == '-' ? std::string("\\-") : std::string(1, c);
      ++options;
      EXPECT_NE(manual.find(troff), std::string::npos) << troff;
      at = line.find_first_not_of(", ", stop);
    }
  }
  EXPECT_EQ(options, 18u) << result.Out;
}

TEST_F(HostRun, VersionNamesTheProgramAndTheLoadedPlugin) {
  const std::string plugin = std::string(QUORVANE_PLUGIN_DIR) + PathDelimiter + PluginFile;
  for (const auto& arguments : {std::vector<std::string>{"--version"},
                                std::vector<std::string>{"--plugin", plugin, "--version"}}) {
    const TRunResult result = Run(arguments);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Out.substr(0, result.Out.find_first_of("\r\n")),
              std::string("quorvane-run ") + QUORVANE_VERSION);
    EXPECT_NE(result.Out.find(std::string("\nQuorvane ") + QUORVANE_VERSION + " (" + plugin + ")"),
              std::string::npos)
        << result.Out;
  }
  EXPECT_EQ(Run({"--plugin", Utf8(fPanel / "missing"), "--version"}).ExitCode, 2);
}

#ifndef _WIN32
// Without its own location the program cannot know its plugin, and it takes none from
// the working directory instead; a plugin named on the command line still runs.
TEST_F(HostRun, RefusesToGuessItsPluginWithoutItsOwnLocation) {
  const std::string plugin = std::string(QUORVANE_PLUGIN_DIR) + "/" + PluginFile;
  Create("a.txt", "A");
  fs::create_directories(fPanel / "Quorvane");
  fs::copy_file(plugin, fPanel / "Quorvane" / PluginFile);
  const fs::path previous = fs::current_path();
  fs::current_path(fPanel.Path());
  fEdits = "a.txt>x.txt";
  fEnvironment = {{"LD_PRELOAD", QUORVANE_NO_SELF_LOCATION},
                  {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
  for (const auto& arguments : {std::vector<std::string>{Panel()}, {"--version"}}) {
    const TRunResult result = Run(arguments);
    EXPECT_EQ(result.ExitCode, 2) << result.Out;
    EXPECT_NE(result.Err.find("--plugin"), std::string::npos) << result.Err;
    EXPECT_EQ(result.Out.find("Quorvane "), std::string::npos) << result.Out;
    EXPECT_EQ(Content("a.txt"), "A");
  }
  const TRunResult result = Run({"--plugin", plugin, Panel()});
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(Content("x.txt"), "A");
  fs::current_path(previous);
}
#endif

} // namespace
