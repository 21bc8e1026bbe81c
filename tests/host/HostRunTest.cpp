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
        {"QRT_WAIT", ""},
        // The records of the jobs go to a folder of the test's own.
        {"XDG_STATE_HOME", Utf8(fState.Path())},
        {"LOCALAPPDATA", Utf8(fState.Path())}};
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
  TTempDir fState;   // the state folder, where the records of the jobs go
  fs::path fLog = fScratch.Path() / "editor.log";
  std::string fEditor = QUORVANE_TEST_EDITOR;
  std::string fEdits;
  std::vector<std::pair<std::string, std::string>> fEnvironment;
};

// One run of quorvane-run as a row: the files made in the panel directory before it, the
// edits of the scripted editor, the command line, standard input and environment, and
// what must hold afterwards. In every string "{panel}" is the panel directory, "{scratch}"
// a directory outside it and "{d}" the path delimiter.
//
// Files: "|"-separated; "name=content" a file ("name" alone an empty one), "name/" a
// folder, "name@target" a link to a folder (POSIX only). After: the same forms checked
// ("name" alone: it exists), "!name" for a name that must not exist, "name/{}" for an
// empty folder, "#N" for the number of entries of the panel directory ("dir/#N" of dir)
// and, on POSIX, "name%0600" for a file's permissions ("dir/*%0600": each entry's). Out and Err:
// each item a text the stream holds, "~text" one it does not, "N*text" one it holds N
// times, "=text" the whole stream and "$text" its end (CRs dropped, as a Windows console
// program ends its lines with CR LF). The list file is gone after every run. "{records}"
// is the folder of the records of the jobs.
//
// Then: more runs after the first (--undo, say), each its arguments, after the files of
// Between are replaced by new ones ("name=content") or removed ("!name"); the exit status,
// Out and Err are the last run's, and Input goes to it. Interrupt (POSIX only): the first
// run gets Ctrl+C at its first question.
struct TCase {
  const char* Name = "";
  std::string Files{}, Edits{};
  std::vector<std::string> Arguments = {"{panel}"};
  std::string Input{};
  std::vector<std::pair<std::string, std::string>> Environment{};
  std::string Between{};
  std::vector<std::vector<std::string>> Then{};
  int ExitCode = 0;
  std::string After{};
  std::vector<std::string> Out{}, Err{};
  std::vector<std::string> Listed{}; // the names the editor was given, when not empty
  bool InPanel = false;              // run with the panel as the working directory
  bool InputClosed = false;          // standard input closed (quorvane-run DIR <&-), POSIX only
  bool Interrupt = false;
};

std::string Repeat(const std::string& AText, int ACount) {
  std::string result;
  for (int i = 0; i < ACount; ++i)
    result += AText;
  return result;
}

// "|{first}0{second}0|{first}1{second}1..." for ACount numbers, AFirst alone without ASecond.
std::string Numbered(int ACount, const std::string& AFirst, const std::string& ASecond = "") {
  std::string result;
  for (int i = 0; i < ACount; ++i) {
    result += "|" + AFirst + std::to_string(i);
    if (!ASecond.empty()) result += ASecond + std::to_string(i);
  }
  return result;
}

#ifdef _WIN32
#define POSIX_ONLY(text) ""
#else
#define POSIX_ONLY(text) text
#endif

const std::string Untouched = "a.txt=A|b.txt=B";
// The summary's last line after a job that renamed something.
const std::string Undo = "to undo: quorvane-run --undo\n";
const std::string Mixed = "x" POSIX_ONLY("\x1b") ".txt"; // a name with an escape in it
const std::string MixedShown = "x" POSIX_ONLY("\\x1B") ".txt";
// a1 to c3, b2 to c3, c3 to d4: the second line's destination was given by the first
const std::string GivenTwice = "c3>d4|a1>c3|b2>c3";

// clang-format off
const TCase Cases[] = {
    {.Name = "RenamesWhatTheEditorChanged", .Files = "a.txt=A|b.txt=B|sub/",
     .Edits = "a.txt>x.txt|sub>renamed", .After = "!a.txt|x.txt=A|b.txt=B|renamed/|!sub",
     .Err = {"=renamed 2 of 2 changed lines\n" + Undo}},
    // The list is gone before a line renames the folder that holds it.
    {.Name = "RemovesTheListBeforeItsFolderIsRenamed", .Files = "tmp/", .Edits = "tmp>tmp2",
     .Environment = {{"TMPDIR", "{panel}{d}tmp"},
                     {"TMP", "{panel}{d}tmp"},
                     {"TEMP", "{panel}{d}tmp"}}, .After = "tmp2/{}"},
    {.Name = "SelectsTheNamedEntries", .Files = "a.txt|b.txt|c.txt",
     .Arguments = {"{panel}", "c.txt", "{panel}{d}a.txt"}, .Listed = {"a.txt", "c.txt"}},
    {.Name = "SelectsOnlyTheCurrentEntry", .Files = "a.txt|b.txt|c.txt",
     .Arguments = {"--current", "b.txt", "{panel}"}, .Listed = {"b.txt"}},
    {.Name = "RenamesNamesInAnyScript", .Files = "файл.txt=1|文件.txt=2|😀.txt=3",
     .Edits = "файл.txt>документ.txt|文件.txt>文档.txt|😀.txt>🎉 party.txt",
     .After = "документ.txt=1|文档.txt=2|🎉 party.txt=3|!файл.txt|!文件.txt|!😀.txt"},
    // Wine keeps the old case on disk while reporting success; Linux shows the new one.
    {.Name = "ChangesOnlyTheCaseOfAName", .Files = "Readme.TXT=R", .Edits = "Readme.TXT>README.txt",
     .After = POSIX_ONLY("#1|README.txt=R")},

    // A destination that exists brings the failure prompt; --answer N picks button N.
    {.Name = "OverwriteReplacesTheDestination", .Files = Untouched, .Edits = "a.txt>b.txt",
     .Arguments = {"--answer", "2", "-v", "{panel}"}, .After = "!a.txt|b.txt=A",
     .Out = {"=a.txt -> b.txt\n"}, .Err = {"1*[2] Overwrite"}}, // no question on stdout
    {.Name = "SkipLeavesBothFilesAndTellsByTheExitStatus", .Files = Untouched,
     .Edits = "a.txt>b.txt", .Arguments = {"--answer=3", "{panel}"}, .ExitCode = 1,
     .After = Untouched},
    {.Name = "SkipAllAsksOnceForEveryFailure", .Files = Untouched + "|c.txt=C|d.txt=D",
     .Edits = "a.txt>b.txt|c.txt>d.txt|d.txt>c.txt", .Arguments = {"--answer", "4", "{panel}"},
     .ExitCode = 1, .After = Untouched + "|c.txt=C|d.txt=D", .Err = {"1*[2] Overwrite"}},
    // An answer that brings the same question back (Retry on a move that keeps failing,
    // Overwrite of a folder by itself, Overwrite of a name an earlier line gave, which a
    // box refuses in turn) is taken five times, from --answer or from standard input
    // alike; then the question is cancelled.
    {.Name = "RetryAnsweredForEverEndsCancelled", .Files = Untouched + "|d/x=X",
     .Edits = "a.txt>b.txt", .Arguments = {"--answer", "1", "{panel}"}, .ExitCode = 1,
     .After = Untouched + "|d/x=X", .Err = {"6*[2] Overwrite", "cancelled"}},
    {.Name = "RetryTypedForEverEndsCancelled", .Files = Untouched + "|d/x=X",
     .Edits = "a.txt>b.txt", .Input = Repeat("1\n", 50), .ExitCode = 1,
     .After = Untouched + "|d/x=X", .Err = {"6*[2] Overwrite", "cancelled"}},
    // The first question says the name is taken, the five after it why the move of a folder
    // into itself fails: the question changed once.
    {.Name = "OverwriteOfAFolderByItselfEndsCancelled", .Files = Untouched + "|d/x=X",
     .Edits = "d>d{d}x", .Input = Repeat("2\n", 50), .ExitCode = 1, .After = Untouched + "|d/x=X",
     .Err = {"7*[2] Overwrite", "cancelled"}},
    {.Name = "OverwriteOfAGivenNameEndsCancelled", .Files = Untouched + "|d/x=X|a1=A1|b2=B2|c3=C3",
     .Edits = GivenTwice, .Arguments = {"--answer", "2", "{panel}"}, .ExitCode = 1,
     .After = Untouched + "|d/x=X|c3=A1|b2=B2|d4=C3", .Err = {"7*[2] Overwrite", "cancelled"}},
    {.Name = "OverwriteOfAGivenNameTypedEndsCancelled",
     .Files = Untouched + "|d/x=X|a1=A1|b2=B2|c3=C3", .Edits = GivenTwice,
     .Input = Repeat("2\n", 50), .ExitCode = 1, .After = Untouched + "|d/x=X|c3=A1|b2=B2|d4=C3",
     .Err = {"7*[2] Overwrite", "cancelled"}},
    {.Name = "AnswerZeroCancels", .Files = Untouched, .Edits = "a.txt>b.txt",
     .Arguments = {"--answer", "0", "{panel}"}, .ExitCode = 1, .After = Untouched},
    {.Name = "AnswerBeyondTheButtonsCancels", .Files = Untouched, .Edits = "a.txt>b.txt",
     .Arguments = {"--answer", "5", "{panel}"}, .ExitCode = 1, .After = Untouched},
    {.Name = "TerminalRetryThenOverwrite", .Files = Untouched, .Edits = "a.txt>b.txt",
     .Input = "1\n2\n", .After = "b.txt=A", .Err = {"2*[2] Overwrite"}},
// Bad answers at the terminal: letters (the hot key of Overwrite among them), numbers out
// of range, trailing junk, then an empty answer or the end of input; the move is never
// confirmed.
#define BAD_INPUT(name, input)                                                                     \
  {.Name = "BadTerminalInputNeverOverwrites" name, .Files = Untouched, .Edits = "a.txt>b.txt",     \
   .Input = input, .ExitCode = 1, .After = Untouched, .Err = {"Overwrite"}}
    BAD_INPUT("Empty", ""),
    BAD_INPUT("HotKey", "o\n"),
    BAD_INPUT("HotKeyAtTheEnd", "O"),
    BAD_INPUT("OutOfRange", "x\n9\n-1\n0\n\n2\n"),
    BAD_INPUT("TrailingJunk", "2x\n"),
    BAD_INPUT("TwoNumbers", " 2 3\n"),
    BAD_INPUT("Letters", "abc"),
#undef BAD_INPUT
#ifndef _WIN32
    // Standard input closed: the question reads the end of input at once and never waits.
    {.Name = "BadTerminalInputNeverOverwritesClosed", .Files = Untouched, .Edits = "a.txt>b.txt",
     .ExitCode = 1, .After = Untouched, .Err = {"Overwrite"}, .InputClosed = true},
#endif
    // A source that is gone, and a destination that is a folder: each has its box, the
    // other entries go through, and the status tells that not all did. The source's line
    // is named before anything moves: rename the other lines.
    {.Name = "MessageBoxesOfTheRenameShowAndCount", .Files = Untouched + "|c.txt=C|folder/",
     .Edits = "<a.txt>gone.txt|b.txt>folder|c.txt>e.txt", .Input = "1\n\n", .ExitCode = 1,
     .After = Untouched + "|e.txt=C", .Err = {"gone.txt", "{d}folder"}},
    // The same box for seven lines is seven boxes, each shown in full, not a question that
    // came back; a box of one button takes any line as its Enter.
    {.Name = "SevenBoxesOfOneButtonEachTakeALine", .Files = "folder/|m=M|n=M|o=M|p=M|q=M|r=M|s=M",
     .Edits = "m>folder|n>folder|o>folder|p>folder|q>folder|r>folder|s>folder",
     .Input = Repeat("ok\n", 7), .ExitCode = 1,
     .Err = {"7*Press Enter (Ctrl+C ends the job): ok", "~came back", "~Type a number"}},
    // The summary counts what is on disk afterwards: a skipped line is not renamed; a
    // source that the user wrote in the first column, or one of many files, is as good as
    // any. With -v every line comes on standard output, those that did not take effect
    // with why; without it the first five of those come on standard error; the counts
    // come last.
    {.Name = "SummaryCountsTheLinesThatTookEffect", .Files = Untouched + "|c.txt=C",
     .Edits = "a.txt>b.txt|c.txt>d.txt", .Arguments = {"-v", "--answer", "3", "{panel}"},
     .ExitCode = 1, .After = Untouched + "|d.txt=C",
     .Out = {"=a.txt -> b.txt: skipped\nc.txt -> d.txt\n"},
     .Err = {"$not every entry went through\nrenamed 1 of 2 changed lines; 1 skipped\n" + Undo}},
    {.Name = "SummaryQuiet", .Files = Untouched + "|c.txt=C", .Edits = "a.txt>b.txt|c.txt>d.txt",
     .Arguments = {"-q", "--answer", "3", "{panel}"}, .ExitCode = 1,
     .After = Untouched + "|d.txt=C", .Out = {"="}, .Err = {"$not every entry went through\n"}},
    {.Name = "SummaryCountsASourceWrittenInTheFirstColumn", .Files = Untouched + "|c.txt=C",
     .Edits = "a.txt>b.txt|<c.txt>./c.txt|c.txt>d.txt",
     .Arguments = {"-v", "--answer", "3", "{panel}"}, .ExitCode = 1,
     .After = Untouched + "|d.txt=C", .Out = {"=a.txt -> b.txt: skipped\n./c.txt -> d.txt\n"},
     .Err = {"$not every entry went through\nrenamed 1 of 2 changed lines; 1 skipped\n" + Undo}},
    {.Name = "SummaryCountsManyFiles", .Files = Untouched + "|c.txt=C" + Numbered(150, "m"),
     .Edits = "a.txt>b.txt|c.txt>d.txt" + Numbered(150, "m", ">n"),
     .Arguments = {"--answer", "3", "{panel}"}, .ExitCode = 1,
     .After = Untouched + "|d.txt=C" + Numbered(150, "n") + Numbered(150, "!m"), .Out = {"="},
     .Err = {"$not every entry went through\n  a.txt -> b.txt: skipped\n"
             "renamed 151 of 152 changed lines; 1 skipped\n" + Undo}},
    {.Name = "SummaryNamesFiveLinesThatDidNotTakeEffect",
     .Files = Numbered(7, "m") + Numbered(7, "n"), .Edits = Numbered(7, "m", ">n").substr(1),
     .Arguments = {"--answer", "4", "{panel}"}, .ExitCode = 1,
     .After = Numbered(7, "m").substr(1) + Numbered(7, "n"),
     .Err = {"1*  m0 -> n0: skipped\n", "1*  m4 -> n4: skipped\n", "~m5 -> n5",
             "$  ... and 2 more (-v names every line)\n"
             "renamed 0 of 7 changed lines; 7 skipped\n"}},
    {.Name = "SummaryInRussian", .Files = Untouched + "|c.txt=C", .Edits = "a.txt>b.txt|c.txt>d.txt",
     .Arguments = {"--lang", "Russian", "--answer", "3", "{panel}"}, .ExitCode = 1,
     .After = Untouched + "|d.txt=C",
     .Err = {"$не все строки выполнены\n  a.txt -> b.txt: пропущена\n"
             "переименовано изменённых строк: 1 из 2; пропущено: 1\n"
             "отменить: quorvane-run --undo\n"}},
    // A swap of a name below DIR and one in it took effect twice, whatever the paths.
    {.Name = "SummaryCountsASwapBelowTheDirectory", .Files = "sub/x=X|y=Y",
     .Edits = "y>TMP|sub{d}x>y|TMP>sub{d}x", .Arguments = {"--answer", "2", "{panel}", "sub{d}x", "y"},
     .After = "sub/x=Y|y=X", .Err = {"$renamed 2 of 2 changed lines\n" + Undo}},

// Names from a pipe, one a line or NUL-separated, and paths below DIR on the command line.
#define BELOW(name, ...)                                                                           \
  {.Name = "TakesNamesBelowTheDirectory" name, .Files = "a.txt=A|b.txt=B|sub/deep/c.txt=C",        \
   .Edits = "sub{d}deep{d}c.txt>sub{d}deep{d}x.txt|a.txt>y.txt", __VA_ARGS__,                      \
   .After = "sub/deep/x.txt=C|y.txt=A", .Err = {"=renamed 2 of 2 changed lines\n" + Undo},                \
   .Listed = {"a.txt", "sub{d}deep{d}c.txt"}}
    BELOW("FromAPipe", .Arguments = {"{panel}", "-"}, .Input = "a.txt\nsub/deep/c.txt\n\n"),
    BELOW("NulSeparated", .Arguments = {"-0", "{panel}", "-"},
          .Input = std::string("./a.txt\0sub", 11) + "{d}deep{d}c.txt"),
    BELOW("OnTheCommandLine", .Arguments = {"{panel}", "{panel}{d}a.txt", "sub/deep/c.txt"}),
    // FILE...: . FILE...
    {.Name = "TakesNamesBelowTheCurrentDirectory", .Files = "a.txt=A|b.txt=B|sub/deep/c.txt=C",
     .Edits = "sub{d}deep{d}c.txt>sub{d}deep{d}x.txt|a.txt>y.txt",
     .Arguments = {"a.txt", "sub/deep/c.txt"}, .After = "sub/deep/x.txt=C|y.txt=A",
     .Err = {"=renamed 2 of 2 changed lines\n" + Undo}, .Listed = {"a.txt", "sub{d}deep{d}c.txt"},
     .InPanel = true},
#undef BELOW
    // quorvane-run * with a folder first: every argument an entry of the current directory
    // and the others not in the folder; with them in it, the folder is DIR.
    {.Name = "TakesAGlobWithAFolderFirst", .Files = "a/x.jpg=X|b.jpg=B|c.jpg=C",
     .Edits = "a>e|b.jpg>d.jpg", .Arguments = {"a", "b.jpg", "c.jpg"},
     .After = "e/x.jpg=X|d.jpg=B|c.jpg=C", .Err = {"=renamed 2 of 2 changed lines\n" + Undo},
     .Listed = {"a", "b.jpg", "c.jpg"}, .InPanel = true},
    {.Name = "TakesAFolderAsDirWhenItHoldsTheNames", .Files = "a/x.jpg=X|x.jpg=Y",
     .Edits = "x.jpg>y.jpg", .Arguments = {"a", "x.jpg"}, .After = "a/y.jpg=X|x.jpg=Y",
     .Listed = {"x.jpg"}, .InPanel = true},
    // A folder among them (find . | quorvane-run -): what lies below it is listed before
    // it, so a folder and its files rename in one edit, as written; the summary finds the
    // file where its folder's move took it.
    {.Name = "RenamesAFolderAndItsFilesInOneEdit", .Files = "sub/deep/x.txt=C",
     .Edits = "sub{d}deep{d}x.txt>sub{d}deep{d}z.txt|sub>top", .Arguments = {"{panel}", "-"},
     .Input = "sub\nsub/deep\nsub/deep/x.txt\n", .After = "top/deep/z.txt=C",
     .Err = {"=renamed 2 of 2 changed lines\n" + Undo},
     .Listed = {"sub{d}deep{d}x.txt", "sub{d}deep", "sub"}},
    // find . and one substitution over the whole paths: a file's new name spells its folder
    // by the new name that the folder's own later line gives it; "." is DIR itself.
    {.Name = "RenamesAFolderAndItsFilesByOneSubstitution",
     .Files = "trip/day1/a.jpg=A|trip/day1/b.jpg=B|trip/day2/c.jpg=C|trip/day2/d.jpg=D|trip/x=X",
     .Edits = "trip{d}day1{d}a.jpg>holiday{d}monday{d}a.jpg|trip{d}day1{d}b.jpg>holiday{d}monday{d}b.jpg"
              "|trip{d}day2{d}c.jpg>holiday{d}day2{d}c.jpg|trip{d}day2{d}d.jpg>holiday{d}day2{d}d.jpg"
              "|trip{d}x>holiday{d}x|trip{d}day1>holiday{d}monday|trip{d}day2>holiday{d}day2"
              "|trip>holiday",
     .Arguments = {"{panel}", "-"},
     .Input = ".\n./trip\n./trip/day1\n./trip/day1/a.jpg\n./trip/day1/b.jpg\n./trip/day2\n"
              "./trip/day2/c.jpg\n./trip/day2/d.jpg\n./trip/x\n",
     .After = "holiday/monday/a.jpg=A|holiday/monday/b.jpg=B|holiday/day2/c.jpg=C"
              "|holiday/day2/d.jpg=D|holiday/x=X|!trip",
     .Err = {"=renamed 8 of 8 changed lines\n" + Undo}},
    // Each refused name has its line; the others are listed. With none left, nothing runs.
    {.Name = "RefusesNamesOutsideTheDirectoryOrMissing", .Files = "a.txt=A|sub/",
     .Arguments = {"--null", "{panel}", "-"},
     .Input = NulSeparated("a.txt|../x|sub/../../y|missing|line\nbreak|{scratch}|\xFF.txt"),
     .ExitCode = 1,
     .Err = {"outside ", "does not exist: missing", "line break: line\\x0Abreak", "UTF-8",
             "3*leads outside"}, .Listed = {"a.txt"}},
#ifndef _WIN32
    // A link to a folder outside leads there too.
    {.Name = "RefusesNamesThroughALinkOutside",
     .Files = "a.txt=A|link@{scratch}|{scratch}/secret=S",
     .Arguments = {"{panel}", "link/secret", "a.txt"}, .ExitCode = 1,
     .Err = {"through a link: link/secret"}, .Listed = {"a.txt"}},
#endif
    {.Name = "RefusesTheOnlyNameThatIsMissing", .Files = "a.txt=A",
     .Arguments = {"{panel}", "nothere.txt"}, .ExitCode = 2,
     .Err = {"does not exist: nothere.txt", "nothing to rename"}},

// The plan before the moves: --confirm renames on yes only, --dry-run never.
#define PLAN(name, input, code, after, ...)                                                        \
  {.Name = "ShowsThePlan" name, .Files = "a.txt=A", .Edits = "a.txt>" + Mixed,                     \
   .Arguments = {__VA_ARGS__, "{panel}"}, .Input = input, .ExitCode = code, .After = after,        \
   .Out = {"a.txt -> " + MixedShown + "\n1 changed line\n"}}
    PLAN("AndRenamesOnYes", "y\n", 0, "!a.txt|" + Mixed + "=A", "--confirm"),
    PLAN("AndRenamesNothingOnNo", "no\n", 1, "a.txt=A|!" + Mixed, "--confirm"),
    PLAN("AndRenamesNothingWithoutAnAnswer", "", 1, "a.txt=A|!" + Mixed, "--confirm"),
    PLAN("AndTakesTheAnswerGiven", "", 0, "!a.txt|" + Mixed + "=A", "--confirm", "--answer", "1"),
    PLAN("AndNeverRenamesOnADryRun", "y\n", 0, "a.txt=A|!" + Mixed, "-n"),
#undef PLAN
// A line that will not go through as written is marked with the reason and counted.
#define MARKED(name, edits, mark, dry, ...)                                                        \
  {.Name = "MarksALine" name, .Files = "a.txt=A|b.txt=B|folder/", .Edits = edits,                  \
   .Arguments = {__VA_ARGS__, "{panel}"}, .Input = "n\n", .ExitCode = -1, .After = "a.txt=A",      \
   .Out = {mark, "; 1 will not go through as written\n",                                           \
           std::string(dry ? "" : "~") + "nothing was renamed"}}
    MARKED("Taken", "a.txt>b.txt", "No line renames the file that has this name: Overwrite deletes it.", true, "-n"),
    MARKED("OfACycle", "b.txt>t|a.txt>b.txt|t>a.txt", "a.txt -> b.txt\n   ! Line 6 renames the file that has this name: Overwrite completes",
           true, "-n"),
    MARKED("WithoutItsFolder", "a.txt>sub{d}a.txt", "! no folder ", true, "-n"),
    MARKED("WithAFolderOutside", "a.txt>..{d}nothere{d}a.txt", "-p makes none outside DIR", true,
           "-n", "-p"),
    MARKED("OntoAFolder", "a.txt>folder", "an existing folder", true, "-n"),
    MARKED("OfANameGivenTwice", "a.txt>x|b.txt>x",
           "b.txt -> x\n   ! the same new name as line 5 above (a.txt -> x)", false, "--confirm"),
#undef MARKED
    // The plan names the lines that the plugin's box would name, in the box's words; a dry
    // run with such lines ends 1, as the run would. After "y" the box does not come again.
    {.Name = "ShowsThePlanOfLinesSetAside", .Files = Untouched,
     .Edits = "<a.txt>x.txt|b.txt>c.txt\" y", .Arguments = {"-n", "{panel}"}, .ExitCode = 1,
     .After = Untouched,
     .Out = {"x.txt -> a.txt\n   ! Line ", ", no such file (the first column was changed): ",
             ": \"b.txt\"    \"c.txt\" y\"\n   ! not read\n",
             "2 changed lines; 2 will not go through as written\n"}},
    {.Name = "ConfirmedPlanRenamesTheOtherLinesWithoutTheBox", .Files = Untouched,
     .Edits = "a.txt>x.txt|b.txt>c.txt\" y", .Arguments = {"--confirm", "{panel}"}, .Input = "y\n",
     .ExitCode = 1, .After = "x.txt=A|b.txt=B|!a.txt",
     .Err = {"~cannot be read and rename nothing", "renamed 1 of 2 changed lines; 1 not read\n"}},
    // A question cancelled: the line failed, for the reason the system gave.
    {.Name = "SummaryNamesWhyALineFailed", .Files = Untouched, .Edits = "a.txt>b.txt",
     .Arguments = {"--answer", "0", "{panel}"}, .ExitCode = 1, .After = Untouched,
     .Err = {"  a.txt -> b.txt: failed: ", "$renamed 0 of 1 changed lines; 1 failed\n"}},
    // -p makes the destination's folders when the move needs them, without a question;
    // one that stays empty is removed again.
    {.Name = "ParentsMakesTheFoldersOfTheDestinations", .Files = Untouched,
     .Edits = "a.txt>new{d}dir{d}a.txt|b.txt>made{d}b.txt|<b.txt>gone.txt",
     .Arguments = {"-p", "{panel}"}, .Input = "1\n\n", .ExitCode = 1,
     .After = "new/dir/a.txt=A|!made|b.txt=B", // no folder left for a move that failed
     .Err = {"renamed 1 of 2 changed lines; 1 with no such file", "~Cannot rename"}},
    // A folder that a line makes by a move is not made before: the folder's line renames
    // it and the next line moves into it. Through a link -p makes no folder outside DIR.
    {.Name = "ParentsMakesNoFolderThatALineMakes",
     .Files = "b.txt=B|s/|x=X" POSIX_ONLY("|link@{scratch}"),
     .Edits = "s>t|x>t{d}x" POSIX_ONLY("|b.txt>link{d}made{d}b.txt"),
     .Arguments = {"-p", "{panel}"}, .Input = "3\n", .ExitCode = -1,
     .After = "t/x=X|!s|!{scratch}/made|b.txt=B"},

    // Every job that renames keeps a record, private to the user, that --undo plays
    // backwards; the summary's last line tells how to undo, and how to redo an undo.
    {.Name = "UndoGivesTheOldNamesBack", .Files = "a.txt=A|b.txt=B|sub/",
     .Edits = "a.txt>x.txt|sub>renamed", .Then = {{"--undo", "--yes", "{panel}"}},
     .After = "a.txt=A|b.txt=B|sub/|!x.txt|!renamed|{records}/#2" POSIX_ONLY("|{records}%0700|{records}/*%0600"),
     .Out = {"x.txt -> a.txt\n", "renamed -> sub\n", "$2 changed lines\n"},
     .Err = {"=renamed 2 of 2 changed lines\nto redo: quorvane-run --redo\n"}},
    {.Name = "UndoOfASwapAsksNothing", .Files = "a=A|b=B", .Edits = "a>TMP|b>a|TMP>b",
     .Arguments = {"--answer", "2", "{panel}"}, .Then = {{"--undo", "--yes"}}, .After = "a=A|b=B",
     .Out = {"~!"}, .Err = {"=renamed 2 of 2 changed lines\nto redo: quorvane-run --redo\n"}},
    {.Name = "UndoOfAShiftAsksNothing", .Files = Numbered(5, "f", "="),
     .Edits = "f4>f5|f3>f4|f2>f3|f1>f2|f0>f1", .Arguments = {"--answer", "2", "{panel}"},
     .Then = {{"--undo", "--yes"}}, .After = Numbered(5, "f", "=").substr(1) + "|!f5",
     .Err = {"~Overwrite", "renamed 5 of 5 changed lines"}},
    // A file that is no longer where the job left it is left alone and named.
    {.Name = "UndoLeavesAloneAFileReplacedOrGone", .Files = "a=A|b=B|c=C", .Edits = "a>x|b>y|c>z",
     .Between = "x=new|!y", .Then = {{"--undo", "--yes"}}, .ExitCode = 1,
     .After = "x=new|!a|!b|!y|c=C|!z",
     .Out = {"x -> a\n   ! left alone: another file has this name now\n",
             "y -> b\n   ! left alone: nothing has this name now\n", "2 left alone\n"},
     .Err = {"  x -> a: left alone: another file has this name now\n",
             "$renamed 1 of 1 changed lines\n  y -> b: left alone: nothing has this name now\n"
             "  x -> a: left alone: another file has this name now\n2 left alone\n"
             "to redo: quorvane-run --redo\n"}},
    // Nothing is overwritten that the record does not name: a file that took an old name
    // since is marked in the plan, asked about, and stays.
    {.Name = "UndoAsksBeforeAFileThatTookAnOldName", .Files = "a=A", .Edits = "a>x",
     .Between = "a=new", .Then = {{"--undo", "--yes"}}, .ExitCode = 1, .After = "a=new|x=A",
     .Out = {"x -> a\n   ! the old name is taken by a file that the undo does not move"},
     .Err = {"1*[2] Overwrite"}},
#ifndef _WIN32
    // A job ended by Ctrl+C is recorded as far as it went.
    {.Name = "UndoOfAJobEndedByCtrlC", .Files = "a=A|b=B|c=C", .Edits = "a>x|b>c",
     .Then = {{"--undo", "--yes"}}, .After = "a=A|b=B|c=C|!x",
     .Err = {"=renamed 1 of 1 changed lines\nto redo: quorvane-run --redo\n"}, .Interrupt = true},
#endif
    // The folders that -p made go with the undo once empty; a redo makes them again.
    {.Name = "UndoRemovesTheFoldersOfParents", .Files = "a=A|b=B", .Edits = "a>new{d}dir{d}a",
     .Arguments = {"-p", "{panel}"}, .Then = {{"--undo", "--yes"}}, .After = "a=A|b=B|!new"},
    {.Name = "RedoMakesTheFoldersAgain", .Files = "a=A", .Edits = "a>new{d}a",
     .Arguments = {"-p", "{panel}"}, .Then = {{"--undo", "--yes"}, {"--redo", "--yes"}},
     .After = "new/a=A|!a"},
    // --undo takes the latest job not undone yet, and --redo the latest undo; --list tells them.
    {.Name = "UndoListsTheJobsKept", .Files = "a=A", .Edits = "a>x",
     .Then = {{"--undo", "--yes"}, {"--redo", "--yes"}, {"--undo", "--list"}},
     .After = "x=A|!a",
     .Out = {"  redo  1 renamed  {panel}\n", "  undo  1 renamed, undone  {panel}\n",
             "  job   1 renamed, undone  {panel}\n"}},
    {.Name = "NothingToRedo", .Files = "a=A", .Edits = "a>x", .Then = {{"--redo"}}, .ExitCode = 2,
     .After = "x=A", .Err = {"=quorvane-run: no undo to redo\n"}},
    {.Name = "NoRecordKeepsNothing", .Files = "a=A", .Edits = "a>x",
     .Arguments = {"--no-record", "{panel}"}, .After = "x=A|!{records}",
     .Err = {"=renamed 1 of 1 changed lines\n"}},

    // A line that the editor broke is named before anything moves; the status tells of it,
    // whichever the answer.
    {.Name = "NamesALineThatCannotBeRead", .Files = "a.txt=A|c.txt=C",
     .Edits = "a.txt>b.txt\" x|c.txt>d.txt", .Arguments = {"--answer", "3", "{panel}"},
     .ExitCode = 1, .After = "a.txt=A|c.txt=C", .Err = {"Line 4: \"a.txt\"    \"b.txt\" x\""}},

// Failures before any rename: one line on stderr, status 2, nothing renamed.
#define REFUSED(name, expected, ...)                                                               \
  {.Name = "RefusesToStart" name, .Files = "a.txt=A", .Edits = "a.txt>x.txt", __VA_ARGS__,         \
   .ExitCode = 2, .After = "a.txt=A|!x.txt", .Err = {expected, "1*\n"}}
    REFUSED("WithoutTheDirectory", "no such directory", .Arguments = {"{panel}{d}missing"}),
    REFUSED("WithNamesAndCurrent", "exclude",
            .Arguments = {"--current", "a.txt", "{panel}", "a.txt"}),
    REFUSED("OnAnUnknownOption", "unknown option", .Arguments = {"--bogus", "{panel}"}),
    REFUSED("OnAnUnknownOptionInRussian", "неизвестный параметр --bogus",
            .Arguments = {"--bogus", "--lang", "Russian", "{panel}"}),
    REFUSED("OnAnAnswerNotANumber", "--answer", .Arguments = {"--answer", "yes", "{panel}"}),
    REFUSED("WithoutThePlugin", "cannot load",
            .Arguments = {"--plugin", "{panel}{d}missing", "{panel}"}),
    REFUSED("WithAPartialPlugin", "ProcessEditorInputW",
            .Arguments = {"--plugin", QUORVANE_PARTIAL_PLUGIN, "{panel}"}),
    REFUSED("WithoutTheEditor", "cannot start the editor",
            .Environment = {{"EDITOR", EditorCommand("{panel}{d}no-editor")}}),
#undef REFUSED
    {.Name = "EmptyDirectoryHasNothingToRename", .ExitCode = 2, .Err = {"nothing to rename"}},
    {.Name = "AnEditorThatFailsRenamesNothing", .Files = "a.txt=A", .Edits = "a.txt>x.txt",
     .Environment = {{"QRT_EXIT", "3"}}, .ExitCode = 1, .After = "a.txt=A", .Err = {"status 3"}},
    // A list that is gone is the plugin's to tell: its box says that nothing was renamed.
    {.Name = "AnEditorThatLosesTheListRenamesNothing", .Files = "a.txt=A", .Edits = "a.txt>x.txt",
     .Environment = {{"QRT_DELETE", "1"}}, .ExitCode = 1, .After = "a.txt=A",
     .Err = {"could not be read"}},
#ifndef _WIN32
    {.Name = "TakesAShellCommandAsTheEditor", .Files = "a.txt=A",
     .Environment = {{"EDITOR", "sed -i -e 's/\"a.txt\"/\"z.txt\"/2'"}}, .After = "z.txt=A"},
    {.Name = "LoadsNoLibraryByAWindowsName", .Files = "a.txt=A",
     .Environment = {{"LD_LIBRARY_PATH", QUORVANE_FOREIGN_DIR},
                     {"QRT_FOREIGN_MARK", "{scratch}/foreign-library-loaded"}},
     .After = "!{scratch}/foreign-library-loaded"}, // kernel32.dll from the library path
    // What the user wrote is what runs: a replace over the first column renames nothing
    // and is named in one box before anything moves; "Edit the list again" answered for
    // ever ends like any question that keeps coming back; a name the list cannot carry (a
    // double quote) is left out with a warning while the others rename.
    {.Name = "NamesAReplaceOverTheFirstColumnFirst",
     .Files = "img01.jpg=img01.jpg|img02.jpg=img02.jpg|img03.jpg=img03.jpg",
     .Environment = {{"EDITOR", "sed -i s/img/photo/"}}, .ExitCode = 1,
     .After = "img01.jpg=img01.jpg", .Err = {"3*no such file (the first column was changed)",
             "1*cannot be read and rename nothing (3 in all)", "renamed 0 of 3 changed lines"}},
    // A replace over the first column renames nothing, and the summary says so.
    {.Name = "SummaryOfAReplaceOverTheFirstColumn",
     .Files = "img01.jpg=1|img02.jpg=2", .Arguments = {"-v", "--answer", "1", "{panel}"},
     .Environment = {{"EDITOR", "sed -i s/img/photo/"}}, .ExitCode = 1, .After = "img01.jpg=1|img02.jpg=2",
     .Out = {"=photo01.jpg -> img01.jpg: no such file\nphoto02.jpg -> img02.jpg: no such file\n"},
     .Err = {"$renamed 0 of 2 changed lines; 2 with no such file\n"}},
    // A line answered Skip is not counted because a later line renamed its file.
    {.Name = "SummaryOfASkippedLineWhoseFileALaterLineRenames", .Files = "a=A|b=B",
     .Arguments = {"--answer", "3", "{panel}"},
     .Environment = {{"EDITOR", "sed -i -e 's/^\"a\" *\"a\"/\"a\" \"b\"\\r\\n\"a\" \"c\"/'"}},
     .ExitCode = 1, .After = "b=B|c=A",
     .Err = {"$  a -> b: skipped\nrenamed 1 of 2 changed lines; 1 skipped\n" + Undo}},
    // A broken line alone is counted and named.
    {.Name = "SummaryOfABrokenLine", .Files = "a=A|b=B", .Arguments = {"--answer", "1", "{panel}"},
     .Environment = {{"EDITOR", "sed -i -e 's/^\"a\" *\"a\"/\"a\" \"x\"/' "
                                "-e 's/^\"b\" *\"b\"/\"b\" \"c/'"}},
     .ExitCode = 1, .After = "x=A|b=B",
     .Err = {"$  line 5: \"b\" \"c: not read\nrenamed 1 of 2 changed lines; 1 not read\n" + Undo}},
    {.Name = "SummaryOfABrokenLineAlone", .Files = "a=A|b=B",
     .Arguments = {"--answer", "1", "{panel}"},
     .Environment = {{"EDITOR", "sed -i -e 's/^\"b\" *\"b\"/\"b\" \"c/'"}}, .ExitCode = 1,
     .After = "a=A|b=B", .Err = {"1*cannot be read and rename nothing (1 in all)",
                                  "$  line 5: \"b\" \"c: not read\nrenamed 0 of 1 changed lines; 1 not read\n"}},
    {.Name = "EditTheListAgainForEverEndsTheJob",
     .Files = "img01.jpg=img01.jpg|img02.jpg=img02.jpg|img03.jpg=img03.jpg",
     .Arguments = {"--answer", "2", "{panel}"}, .Environment = {{"EDITOR", "sed -i s/img/photo/"}},
     .ExitCode = 1, .After = "img01.jpg=img01.jpg", .Err = {"came back"}},
    {.Name = "LeavesOutANameWithADoubleQuote", .Files = "a.txt=A|say \"hi\".jpg=Q",
     .Edits = "a.txt>b.txt", .ExitCode = 1, .After = "b.txt=A|say \"hi\".jpg=Q",
     .Err = {"1*holds a double quote"}},
    // With --current the list is that entry alone: nothing is left out of it.
    {.Name = "LeavesOutNothingOfTheCurrentEntry", .Files = "a.txt=A|say \"hi\".jpg=Q",
     .Edits = "a.txt>b.txt", .Arguments = {"--current", "a.txt", "{panel}"}, .After = "b.txt=A",
     .Err = {"~double quote"}},
    // In the header, the folder's name would put an entry of its own on the next line.
    {.Name = "LineBreaksInNamesNeverMakeALineOfTheList",
     .Files = "x\n\"a.txt\"    \"b.txt\"/a.txt=A|x\n\"a.txt\"    \"b.txt\"/c\rd.txt=C",
     .Arguments = {"{panel}{d}x\n\"a.txt\"    \"b.txt\""}, .ExitCode = 1,
     .After = "x\n\"a.txt\"    \"b.txt\"/a.txt=A|!x\n\"a.txt\"    \"b.txt\"/b.txt",
     .Err = {"holds a line break: c\\x0Dd.txt"}, .Listed = {"a.txt"}},
#endif
};
// clang-format on

void PrintTo(const TCase& ACase, std::ostream* AOut) {
  *AOut << ACase.Name;
}

class HostRunCase : public HostRun, public ::testing::WithParamInterface<TCase> {
protected:
  std::string Expand(std::string AText) const {
    const std::pair<std::string, std::string> names[] = {
        {"{panel}", Panel()},
        {"{scratch}", Utf8(fScratch.Path())},
        {"{records}", Utf8(fState.Path() / (PathDelimiter == '/' ? "quorvane" : "Quorvane"))},
        {"{d}", {PathDelimiter}}};
    for (const auto& [name, value] : names)
      for (size_t at = AText.find(name); at != std::string::npos; at = AText.find(name, at))
        AText.replace(at, name.size(), value), at += value.size();
    return AText;
  }
  // A name of the panel, or an absolute path.
  fs::path Where(const std::string& AName) const {
    const fs::path path = U16ToPath(Utf8ToUtf16(AName));
    return path.is_absolute() ? path : fPanel / AName;
  }
  static std::vector<std::string> Items(const std::string& ASpec) {
    std::vector<std::string> items;
    for (size_t start = 0; start < ASpec.size();) {
      const size_t end = std::min(ASpec.find('|', start), ASpec.size());
      if (end > start) items.push_back(ASpec.substr(start, end - start));
      start = end + 1;
    }
    return items;
  }
  void MakeFiles(const std::string& ASpec) {
    for (const std::string& item : Items(Expand(ASpec))) {
      const size_t equals = item.find('='), link = item.find('@');
      if (link != std::string::npos) {
        fs::create_directory_symlink(Where(item.substr(link + 1)), Where(item.substr(0, link)));
      } else if (equals == std::string::npos && item.back() == '/') {
        fs::create_directories(Where(item));
      } else {
        const fs::path file = Where(item.substr(0, equals));
        fs::create_directories(file.parent_path());
        WriteBytes(file, equals == std::string::npos ? "" : item.substr(equals + 1));
      }
    }
  }
  // Each file of ASpec replaced by a new one with its content (written beside it and moved
  // over it, as an editor saves), or removed ("!name").
  void ReplaceFiles(const std::string& ASpec) {
    for (const std::string& item : Items(Expand(ASpec))) {
      const size_t equals = item.find('=');
      if (item[0] == '!') {
        fs::remove_all(Where(item.substr(1)));
        continue;
      }
      const fs::path file = Where(item.substr(0, equals));
      WriteBytes(file.string() + ".new", item.substr(equals + 1));
      fs::rename(file.string() + ".new", file);
    }
  }
  void CheckFiles(const std::string& ASpec) {
    for (const std::string& item : Items(Expand(ASpec))) {
      SCOPED_TRACE(item);
      const size_t equals = item.find('='), count = item.rfind('#'), mode = item.rfind('%');
      if (count != std::string::npos && (count == 0 || item[count - 1] == '/')) {
        const auto entries =
            fs::directory_iterator(Where(count == 0 ? "." : item.substr(0, count)));
        EXPECT_EQ(std::distance(fs::begin(entries), fs::end(entries)),
                  std::stoi(item.substr(count + 1)));
      } else if (mode != std::string::npos) {
#ifndef _WIN32
        const std::string path = item.substr(0, mode);
        const auto expected = fs::perms(std::stoi(item.substr(mode + 1), nullptr, 8));
        const bool each = path.size() > 2 && path.substr(path.size() - 2) == "/*";
        std::vector<fs::path> files{Where(path)};
        if (each) files.assign(fs::directory_iterator(Where(path.substr(0, path.size() - 2))), {});
        for (const fs::path& file : files)
          EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, expected) << file;
#endif
      } else if (item[0] == '!') {
        EXPECT_FALSE(fs::exists(Where(item.substr(1))));
      } else if (item.size() > 3 && item.substr(item.size() - 3) == "/{}") {
        EXPECT_TRUE(fs::is_directory(Where(item.substr(0, item.size() - 3))));
        EXPECT_TRUE(fs::is_empty(Where(item.substr(0, item.size() - 3))));
      } else if (item.back() == '/') {
        EXPECT_TRUE(fs::is_directory(Where(item)));
      } else if (equals == std::string::npos) {
        EXPECT_TRUE(fs::exists(Where(item)));
      } else {
        EXPECT_EQ(ReadBytes(Where(item.substr(0, equals))), item.substr(equals + 1));
      }
    }
  }
  // A run that gets Ctrl+C at its first question.
  TRunResult Interrupted(const std::vector<std::string>& AArguments) {
#ifdef _WIN32
    ADD_FAILURE() << "no signals to send on Windows";
    return Run(AArguments);
#else
    TStartedProgram host(QUORVANE_HOST_EXE, AArguments, Environment(), fScratch.Path());
    EXPECT_TRUE(host.WaitForOutput("(Ctrl+C ends the job): "));
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // into the wait for input
    host.Signal(SIGINT);
    return host.Finish();
#endif
  }
  void CheckText(const char* AStream, std::string AText, const std::vector<std::string>& AChecks) {
    AText = Lines(AText);
    for (std::string check : AChecks) {
      check = Expand(check);
      SCOPED_TRACE(std::string(AStream) + ": " + check);
      const size_t star = check.find('*');
      if (check[0] == '=') {
        EXPECT_EQ(AText, check.substr(1));
      } else if (check[0] == '$') {
        const std::string end = check.substr(1);
        EXPECT_TRUE(AText.size() >= end.size() && AText.substr(AText.size() - end.size()) == end)
            << AText;
      } else if (check[0] == '~') {
        EXPECT_EQ(AText.find(check.substr(1)), std::string::npos) << AText;
      } else if (star != std::string::npos && star > 0 &&
                 check.find_first_not_of("0123456789") == star) {
        EXPECT_EQ(Count(AText, check.substr(star + 1)), std::stoul(check.substr(0, star))) << AText;
      } else {
        EXPECT_NE(AText.find(check), std::string::npos) << AText;
      }
    }
  }
};

TEST_P(HostRunCase, Runs) {
  const TCase& c = GetParam();
  MakeFiles(c.Files);
  fEdits = Expand(c.Edits);
  for (const auto& [name, value] : c.Environment)
    fEnvironment.emplace_back(name, Expand(value));
  std::vector<std::string> arguments;
  for (const std::string& argument : c.Arguments)
    arguments.push_back(Expand(argument));
  const fs::path previous = fs::current_path();
  if (c.InPanel) fs::current_path(fPanel.Path());
  TRunResult result =
      c.InputClosed ? RunProgram("/bin/sh",
                                 {"-c", "exec timeout 20 \"$0\" \"$@\" <&-", QUORVANE_HOST_EXE,
                                  arguments.empty() ? Panel() : arguments.back()},
                                 "", Environment(), fScratch.Path())
      : c.Interrupt ? Interrupted(arguments)
                    : Run(arguments, c.Then.empty() ? Expand(c.Input) : "");
  if (!c.Then.empty()) ReplaceFiles(c.Between);
  for (size_t i = 0; i < c.Then.size(); ++i) {
    std::vector<std::string> then;
    for (const std::string& argument : c.Then[i])
      then.push_back(Expand(argument));
    if (then.empty()) then.push_back(Panel());
    result = Run(then, i + 1 == c.Then.size() ? Expand(c.Input) : "");
  }
  fs::current_path(previous);
  // -1: any status (the run ends at a question answered "no", which is not the point).
  if (c.ExitCode >= 0) {
    EXPECT_EQ(result.ExitCode, c.ExitCode) << result.Out << result.Err;
  }
  CheckFiles(c.After);
  CheckText("out", result.Out, c.Out);
  CheckText("err", result.Err, c.Err);
  if (!c.Listed.empty()) {
    std::vector<std::string> listed;
    for (const std::string& name : c.Listed)
      listed.push_back(Expand(name));
    EXPECT_EQ(ListedNames(), listed);
  }
  EXPECT_TRUE(TempIsEmpty()) << "the list file is left behind";
}

INSTANTIATE_TEST_SUITE_P(Table, HostRunCase, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<TCase>& AInfo) {
                           return std::string(AInfo.param.Name);
                         });

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

TEST_F(HostRun, LanguageComesFromTheLanguageFiles) {
  Create("a.txt");
  ASSERT_EQ(Run().ExitCode, 0);
  const std::string english = Log();
  fs::remove(fLog);
  ASSERT_EQ(Run({"--lang", "Russian", Panel()}).ExitCode, 0);
  const std::string russian = Log();
  EXPECT_NE(russian.substr(russian.find('\n')), english.substr(english.find('\n')));
  EXPECT_NE(russian.find("\xD0"), std::string::npos) << "no Cyrillic in the header";
  // After the editor's arguments, whose list name has hexadecimal digits that may spell F2.
  EXPECT_EQ(russian.find("F2", russian.find('\n')), std::string::npos) << russian;
}

// In a terminal editor the header says what to do there, not which keys FAR takes, and
// every line of the list ends with CR LF. The list's name is as the manual page gives it:
// "Zan", hexadecimal digits, ".txt". A line that the editor broke does not keep Retry from
// renaming the others.
TEST_F(HostRun, TerminalHeaderAndTheListsName) {
  Create("a.txt", "A");
  Create("c.txt", "C");
  fEdits = "a.txt>b.txt\" x|c.txt>d.txt";
  const TRunResult result = Run({"--answer", "1", Panel()});
  EXPECT_EQ(result.ExitCode, 1) << result.Out << result.Err;
  EXPECT_EQ(Content("a.txt"), "A");
  EXPECT_EQ(Content("d.txt"), "C");

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

#ifndef _WIN32
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
    // What was done before the question is told all the same.
    EXPECT_NE(ended.Err.find("renamed 1 of 2 changed lines; 1 cancelled"), std::string::npos)
        << ended.Err;
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
                            " changed lines; " + std::to_string(kept) + " cancelled"),
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
                           "Exit status", "Ctrl+C", "--confirm", "--dry-run", "--parents", "--null",
                           "--quiet", "--verbose", "| quorvane-run -", "--undo", "--no-record"}) {
    EXPECT_NE(result.Out.find(word), std::string::npos) << word;
  }
  // The platform's own shell, variables and signals.
#ifdef _WIN32
  const char* const here[] = {"%TEMP%", "Ctrl+Break", "C:\\", "%LOCALAPPDATA%"};
  const char* const elsewhere[] = {"SIGQUIT", "$TMPDIR", "~/", "'*"};
#else
  const char* const here[] = {"SIGTERM", "$TMPDIR", "~/", "$XDG_STATE_HOME"};
  const char* const elsewhere[] = {"%TEMP%", "notepad"};
#endif
  for (const char* word : here)
    EXPECT_NE(result.Out.find(word), std::string::npos) << word;
  for (const char* word : elsewhere)
    EXPECT_EQ(result.Out.find(word), std::string::npos) << word;
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
  EXPECT_EQ(options, 23u) << result.Out;
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
