// Whole rename jobs with each Windows call failed in turn (the plugin built over the
// failing call layer): whatever fails, every file's data is still there exactly once,
// under its old name, its new name or a name a box showed; no list file and no file under
// a free name is left; and a file that did not move as listed was named in a box, or the
// user chose to stop. The progress box is gone and the task bar's state cleared at the end
// of every job.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "PluginLoader.h"
#include "messages/uMessages.h"
#include "support/FakeFar.h"
#include "support/TestFiles.h"

#ifdef _WIN32
// From kernel32; <windows.h> would define "far" away.
extern "C" __declspec(dllimport) unsigned long __stdcall GetShortPathNameW(const wchar_t*, wchar_t*,
                                                                           unsigned long);
#endif

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

struct TRename {
  std::string Source, Destination; // '/' stands for the path delimiter
  bool Moves;                      // where it ends when no call fails
  std::string EndsAt = {};         // instead, when a later line moves a folder above it
};

struct TJob {
  const char* Name;
  std::vector<std::string> Files, Directories, HardLinks; // a hard link of the first file
  std::vector<TRename> Renames;
  std::vector<intptr_t> Answers; // to the boxes, in order; then cancelled
  uint32_t FailingAtOnce;
  std::vector<std::pair<std::string, std::string>> SymbolicLinks = {}; // name, target
  // The clock and the console as the test plays them: each look at the clock moves it on by
  // ClockStep ms, and Esc is pressed once EscAfterMoves moves have succeeded (0: never).
  uint32_t ClockStep = 0, EscAfterMoves = 0;
  size_t ProgressDraws = 0; // how often the progress box is drawn when no call fails
  // The host ends the job inside this box (from 1; 0: never), as quorvane-run does at a
  // second Ctrl+C: FAR's exit call there, and nothing of the job is seen after it.
  size_t EndAtBox = 0;
};

const std::string Omega = "\xCE\xA9mega"; // a folder name outside ASCII: compared by locale

// clang-format off
const TJob Jobs[] = {
    {"retry", {"a.txt", "c.txt", "d.txt", "e.txt"}, {"sub", Omega}, {},
     {{"a.txt", "A2.txt", true}, {"c.txt", "sub/c.txt", true}, {"d.txt", Omega, false},
      {"e.txt", "../up.txt", true}},
     {0, 0, 0}, 1},
    {"skip", {"a.txt", "c.txt"}, {"sub"}, {},
     {{"a.txt", "./sub/../A2.txt", true}, {"c.txt", "sub/c.txt", true}}, {2, 2}, 1},
    {"skip all", {"a.txt", "c.txt"}, {"sub"}, {},
     {{"a.txt", "A2.txt", true}, {"c.txt", "sub/c.txt", true}}, {3}, 1},
    {"cancel", {"a.txt", "c.txt"}, {}, {},
     {{"a.txt", "A2.txt", true}, {"c.txt", "c2.txt", true}}, {}, 1},
    {"overwrite", {"a.txt", "b.txt", "c.txt"}, {"sub"}, {},
     {{"a.txt", "b.txt", true}, {"c.txt", "sub/c.txt", true}}, {1, 1, 1}, 1},
    {"overwrite, two calls failing", {"a.txt", "b.txt"}, {}, {},
     {{"a.txt", "b.txt", true}}, {1, 1, 1}, 2},
    // Overwrite onto a name that a later line renames keeps that file for its line, so a
    // swap and a shift complete; a name an earlier line gave is not overwritten (box, then
    // Skip).
    {"swap", {"bar", "foo"}, {}, {}, {{"bar", "foo", true}, {"foo", "bar", true}}, {1}, 1},
    {"shift", {"img1", "img2", "img3"}, {}, {},
     {{"img1", "img2", true}, {"img2", "img3", true}, {"img3", "img4", true}}, {1, 1}, 1},
    {"shared destination", {"bar", "baz", "foo"}, {}, {},
     {{"bar", "baz", true}, {"baz", "qux", true}, {"foo", "baz", false}}, {1, 1, 0, 2}, 1},
    {"onto a free name's spelling", {"a.txt", ".quorvane-1"}, {}, {},
     {{"a.txt", ".quorvane-1", true}}, {1}, 1},
    // One Overwrite completes a shift or a cycle in any order.
    {"shift, one answer", {"img1", "img2", "img3", "img4"}, {}, {},
     {{"img1", "img2", true}, {"img2", "img3", true}, {"img3", "img4", true},
      {"img4", "img5", true}}, {1}, 1},
    {"cycle, one answer", {"a", "b", "c"}, {}, {},
     {{"a", "b", true}, {"b", "c", true}, {"c", "a", true}}, {1}, 1},
    // A folder renamed between two lines: the file an earlier line gave the name, or left
    // where it was, is known wherever the folder took it, and never overwritten.
    {"given name in a renamed folder", {"a", "b"}, {"sub"}, {},
     {{"a", "sub/a", true, "sub2/a"}, {"sub", "sub2", true}, {"b", "sub2/a", false}},
     {1, 0, 2}, 1},
    {"kept name in a renamed folder", {"sub/s", "x", "y"}, {"sub"}, {},
     {{"sub/s", "x", false, "sub2/s"}, {"sub", "sub2", true}, {"y", "sub2/s", false}},
     {2, 1, 0, 2}, 1},
    // A file waiting for its line is carried along by a folder that moves, and its line
    // finds it there.
    {"waiting file in a renamed folder", {"a", "s/x"}, {"s"}, {},
     {{"a", "s/x", true, "t/x"}, {"s", "t", true}, {"s/x", "y", true}}, {1}, 1},
    // Two hard links of one file are two names: Overwrite onto the one that no line names
    // removes that link only, and the line that names the other moves it.
    {"hard link that another line renames", {"a", "x"}, {}, {"b"},
     {{"x", "b", true}, {"a", "c", true}}, {1}, 1},
    // Esc between two lines asks; Stop ends the job there, Continue goes on. A file that
    // Overwrite set aside for a later line is given back or named in a box.
    {"Esc, then Stop", {"a", "b", "c"}, {}, {},
     {{"a", "a2", true}, {"b", "b2", false}, {"c", "c2", false}}, {0}, 1, {}, 100, 1},
    {"Esc, then Continue", {"a", "b", "c"}, {}, {},
     {{"a", "a2", true}, {"b", "b2", true}, {"c", "c2", true}}, {1}, 1, {}, 100, 1},
    {"Esc during a swap, then Stop", {"bar", "foo", "x"}, {}, {},
     {{"bar", "foo", true}, {"foo", "bar", false, ".quorvane-1"}, {"x", "y", false}},
     {1, 0, 0}, 1, {}, 100, 2},
    // Two files wait under free names when the job stops (after four moves: each of the
    // two lines set a file aside, then moved); the first cannot go back and its box is where
    // the host ends the job: the second is given back or named all the same.
    {"two waiting files, the job ended at the first one's box", {"a", "b", "c", "d"}, {}, {},
     {{"a", "b", true}, {"c", "d", true}, {"b", "a", false, ".quorvane-1"},
      {"d", "c", false, ".quorvane-2"}},
     {1, 0}, 1, {}, 100, 4, 0, 3},
    // The box shows after half a second, then at most four times a second.
    {"progress", {"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9"}, {}, {},
     {{"f0", "g0", true}, {"f1", "g1", true}, {"f2", "g2", true}, {"f3", "g3", true},
      {"f4", "g4", true}, {"f5", "g5", true}, {"f6", "g6", true}, {"f7", "g7", true},
      {"f8", "g8", true}, {"f9", "g9", true}}, {}, 1, {}, 100, 0, 2},
#ifdef _WIN32
    // A folder moved through its short name ("~" before a name stands for it) is the folder.
    {"given name in a folder moved by its short name", {"b", "long folder/keep"}, {"long folder"}, {},
     {{"long folder/keep", "long folder/keep2", true, "t/keep2"}, {"~long folder", "t", true},
      {"b", "t/keep2", false}},
     {1, 2}, 1},
    {"waiting file in a folder moved by its short name", {"a", "long folder/x"}, {"long folder"}, {},
     {{"a", "long folder/x", true, "t/x"}, {"~long folder", "t", true},
      {"long folder/x", "y", true}},
     {1}, 1},
    // Names the file system takes for one (Georgian letters in two cases) and for two
    // (the German sharp s against "ss"), whatever the user's locale says.
    {"one file in two cases", {"x.txt", "\xE1\x83\x90.txt"}, {}, {},
     {{"x.txt", "\xE1\xB2\x90.txt", true}, {"\xE1\x83\x90.txt", "y.txt", true}}, {1}, 1},
    {"two files a locale takes for one", {"x.txt", "Stra\xC3\x9F" "e.txt", "Strasse.txt"}, {}, {},
     {{"x.txt", "Stra\xC3\x9F" "e.txt", true}, {"Strasse.txt", "y.txt", true}}, {1}, 1},
#endif
#ifndef _WIN32
    // Another spelling of a name through a link to the folder itself.
    {"other spelling through a link", {"b", "x"}, {}, {},
     {{"x", "self/b", true, "b"}, {"b", "c", true}}, {1}, 1, {{"self", "."}}},
    // A folder moved through a link to its parent is the folder: the name an earlier line
    // gave below it is kept (box, then Skip), and a file that waits in it is carried along.
    {"given name in a folder moved as another spelling", {"b", "s/keep"}, {"s"}, {},
     {{"s/keep", "s/keep2", true, "t/keep2"}, {"self/s", "t", true}, {"b", "t/keep2", false}},
     {1, 2}, 1, {{"self", "."}}},
    {"waiting file in a folder moved as another spelling", {"a", "s/x"}, {"s"}, {},
     {{"a", "s/x", true, "t/x"}, {"self/s", "t", true}, {"s/x", "y", true}}, {1}, 1,
     {{"self", "."}}},
    // A link re-pointed by the list's own moves (L leads through x, which a line replaces
    // with a link elsewhere): a name spelled through L is judged where L leads now, so the
    // file there, which a later line renames, is kept for that line.
    {"link chain re-pointed", {"p", "q", "z", "b/f", "b/k", "c/f"}, {"b", "c"}, {},
     {{"p", "q", true}, {"q", "p", true}, {"b/k", "L/k2", true, "b/k2"}, {"x", "x_old", true},
      {"y", "x", true}, {"z", "L/f", true, "c/f"}, {"c/f", "c/g", true}},
     {1, 1}, 1, {{"x", "b"}, {"L", "x"}, {"y", "c"}}},
    // Two links of one file whose names differ only in case are two entries here: the
    // question comes back at once, nothing goes through a free name.
    {"hard link in another case", {"H.txt"}, {}, {"h.txt"}, {{"H.txt", "h.txt", false}}, {2, 2}, 4},
    // Onto another name of the same file: through a free name and back, which may fail too.
    {"hard link", {"a.txt"}, {}, {"h.txt"}, {{"a.txt", "h.txt", false}}, {2, 2}, 2},
    // A folder that differs from the file only in case is another entry: refused, never
    // moved aside.
    {"folder in another case", {"A", "a/in.txt"}, {"a"}, {}, {{"A", "a", false}}, {1, 1}, 1},
#endif
};
// clang-format on

std::u16string Native(const std::string& AName) {
  std::u16string name = Utf8ToUtf16(AName);
#ifdef _WIN32
  std::replace(name.begin(), name.end(), u'/', u'\\');
#endif
  return name;
}

struct TOutcome {
  std::map<std::string, std::vector<std::string>> Where; // content -> paths under the root
  std::vector<std::vector<std::u16string>> Boxes;
  std::vector<std::string> TempLeft;
  uint32_t Calls = 0;
  std::string Failed;                  // the calls that failed
  bool Asked = false, Stopped = false; // Esc's question shown; answered Stop
  size_t ProgressDraws = 0;
  std::vector<ProgressValue> Progress;
  intptr_t ProgressState = 0;
  size_t ScreensLeft = 0; // saved and not put back
};

// A name of the table as a line spells it: "~" before a folder's name stands for its
// short name, which Windows makes up for a long one.
std::u16string Spelled(const fs::path& APanel, const std::string& AName) {
  if (AName.empty() || AName[0] != '~') return Native(AName);
#ifdef _WIN32
  wchar_t shortPath[1024];
  const std::wstring full = (APanel / U16ToPath(Utf8ToUtf16(AName.substr(1)))).wstring();
  // Under wine on a loaded machine the look-up has been seen to fail once in a while.
  unsigned long length = 0;
  for (int attempt = 0; attempt < 3 && (length == 0 || length >= 1024); ++attempt)
    length = GetShortPathNameW(full.c_str(), shortPath, 1024);
  EXPECT_TRUE(length > 0 && length < 1024);
  return PathToU16(fs::path(shortPath).filename());
#else
  (void)APanel;
  return Native(AName.substr(1));
#endif
}

// Runs AJob with the calls AFirst .. AFirst + AJob.FailingAtOnce - 1 failing (none for 0).
TOutcome RunJob(const TJob& AJob, uint32_t AFirst) {
  TTempDir root, temp;
  const fs::path panel = root.Path() / "panel";
  fs::create_directory(panel);
  for (const std::string& d : AJob.Directories)
    fs::create_directory(panel / U16ToPath(Utf8ToUtf16(d)));
  for (const std::string& f : AJob.Files)
    WriteBytes(panel / U16ToPath(Utf8ToUtf16(f)), "data of " + f);
  for (const std::string& l : AJob.HardLinks)
    fs::create_hard_link(panel / AJob.Files[0], panel / l);
  for (const auto& [name, target] : AJob.SymbolicLinks)
    fs::create_directory_symlink(target, panel / name);

  const std::u16string oldTemp = SetTempDirectoryVariable(temp.Dir());
  TOutcome outcome;
  {
    TFakeFar far;
#ifdef _WIN32
    far.ConvertPathPrefix = u"\\\\?\\"; // FAR's own full paths, which Windows takes as they are
#endif
    far.MessageAnswers.assign(AJob.Answers.begin(), AJob.Answers.end());
    size_t endedAfter = SIZE_MAX; // the boxes asked before the job ended
    TLoadedPlugin* loaded = nullptr;
    far.WhileAsked = [&](size_t ABox) {
      if (ABox != AJob.EndAtBox || !loaded) return;
      ExitInfo exit{};
      exit.StructSize = sizeof(exit);
      loaded->ExitFARW(&exit);
      endedAfter = far.BoxesShown.size();
    };
    TLoadedPlugin plugin(Utf8ToUtf16(QUORVANE_FAULTS_DIR) + Native("/QuorvaneFaults") +
#ifdef _WIN32
                         u".dll");
#else
                         u".so");
#endif
    loaded = &plugin;
    auto failCalls =
        reinterpret_cast<void (*)(uint32_t, uint32_t)>(plugin.Procedure("QuorvaneFailCalls"));
    auto calls = reinterpret_cast<uint32_t (*)()>(plugin.Procedure("QuorvaneCalls"));
    EXPECT_TRUE(failCalls && calls) << plugin.Error();
    if (!failCalls || !calls) return outcome;
    failCalls(AFirst, AFirst ? AJob.FailingAtOnce : 0);
    auto play = reinterpret_cast<void (*)(uint32_t, uint32_t)>(
        plugin.Procedure("QuorvanePlayClockAndConsole"));
    EXPECT_TRUE(play) << plugin.Error();
    if (play) play(AJob.ClockStep, AJob.EscAfterMoves);

    plugin.SetStartupInfoW(far.StartupInfo());
    std::u16string panelDir = PathToU16(panel);
    EXPECT_TRUE(far.ActivePanel.LoadDirectory(panelDir));
    for (const TRename& r : AJob.Renames)
      if (auto* item = far.ActivePanel.Find(Utf8ToUtf16(r.Source))) item->SetSelected(true);
    OpenInfo open{sizeof(OpenInfo), OPEN_PLUGINSMENU, nullptr, 0};
    plugin.OpenW(&open);
    if (!far.Editors.empty()) {
      // The renames replace the lines of their sources, in the table's order.
      TFakeFar::TEditor& editor = far.Editors.back();
      for (const TRename& r : AJob.Renames) {
        const std::u16string quoted = u"\"" + Spelled(panel, r.Source) + u"\"";
        for (size_t i = editor.Lines.size(); i-- > 0;)
          if (editor.Lines[i].rfind(quoted + u" ", 0) == 0) {
            editor.Lines.erase(editor.Lines.begin() + i);
            if (i < editor.Eols.size()) editor.Eols.erase(editor.Eols.begin() + i);
          }
        editor.Eols.resize(editor.Lines.size(), u"\r\n");
        if (!editor.Eols.empty() && editor.Eols.back().empty()) editor.Eols.back() = u"\r\n";
        editor.Lines.push_back(quoted + u" \"" + Native(r.Destination) + u"\"");
        editor.Eols.push_back(u"\r\n");
      }
      far.SaveEditor(editor.Id);
      ProcessEditorEventInfo close{sizeof(ProcessEditorEventInfo), EE_CLOSE, nullptr, editor.Id};
      plugin.ProcessEditorEventW(&close);
      far.CloseEditor(editor.Id);
    }
    outcome.Calls = calls();
    auto failed = reinterpret_cast<const char* (*)()>(plugin.Procedure("QuorvaneFailed"));
    outcome.Failed = failed ? failed() : "";
    plugin.Unload();
    for (const auto& call : far.CallsOf(TFakeFar::TService::Message)) {
      // Once the host has ended the job, only the boxes asked until then were seen.
      if (endedAfter != SIZE_MAX) break;
      // The progress box names the file under way, which says nothing of where it ended.
      if (call.Args[0] == 0) {
        ++outcome.ProgressDraws;
        continue;
      }
      outcome.Boxes.push_back(call.Texts);
      if (call.Texts.size() > 1 && call.Texts[1] == far.Msg(MStopQuestion)) {
        outcome.Asked = true;
        outcome.Stopped = outcome.Stopped || call.Result == 0;
      }
    }
    // A job the host ended was stopped by the user, wherever it stood.
    if (endedAfter != SIZE_MAX) outcome.Stopped = true;
    for (size_t i = 0; endedAfter != SIZE_MAX && i < endedAfter; ++i) {
      const TFarMessageBox& box = far.BoxesShown[i];
      std::vector<std::u16string> texts{box.Title};
      texts.insert(texts.end(), box.Lines.begin(), box.Lines.end());
      texts.insert(texts.end(), box.Buttons.begin(), box.Buttons.end());
      outcome.Boxes.push_back(texts);
      if (box.Lines.size() > 0 && box.Lines[0] == far.Msg(MStopQuestion)) {
        outcome.Asked = true;
        outcome.Stopped = true;
      }
    }
    outcome.Progress = far.ProgressValues;
    outcome.ProgressState = far.ProgressState;
    outcome.ScreensLeft = far.SavedScreens.size();
  }
  SetTempDirectoryVariable(oldTemp);

  for (const auto& entry : fs::recursive_directory_iterator(root.Path())) {
    if (!entry.is_regular_file()) continue;
    std::string name =
        Utf16ToUtf8(PathToU16(fs::relative(entry.path(), panel)), TLoneSurrogate::Kept);
    std::replace(name.begin(), name.end(), '\\', '/');
    outcome.Where[ReadBytes(entry.path())].push_back(name);
  }
  for (const auto& entry : fs::directory_iterator(temp.Path()))
    outcome.TempLeft.push_back(
        Utf16ToUtf8(PathToU16(entry.path().filename()), TLoneSurrogate::Kept));
  return outcome;
}

// Whether a box named the file at APath (relative to the panel's folder).
bool Shown(const TOutcome& AOutcome, const std::string& APath) {
  std::u16string name = Native(APath);
  if (name.rfind(Native("../"), 0) == 0) name = name.substr(3);
  for (const auto& box : AOutcome.Boxes)
    for (const std::u16string& text : box)
      if (text.size() > name.size() &&
          text.compare(text.size() - name.size(), name.size(), name) == 0 &&
          (text[text.size() - name.size() - 1] == u'/' ||
           text[text.size() - name.size() - 1] == u'\\'))
        return true;
  return false;
}

std::string Describe(const TOutcome& AOutcome) {
  std::string text = "\nfailed: " + AOutcome.Failed + "\nboxes:";
  for (const auto& box : AOutcome.Boxes) {
    text += "\n ";
    for (const auto& item : box)
      text += " [" + Utf16ToUtf8(item, TLoneSurrogate::Kept) + "]";
  }
  return text;
}

// A path of the table ("/" between names, UTF-8) with "." and ".." resolved.
std::string Normal(const std::string& APath) {
  std::string normal = Utf16ToUtf8(PathToU16(U16ToPath(Utf8ToUtf16(APath)).lexically_normal()),
                                   TLoneSurrogate::Kept);
  std::replace(normal.begin(), normal.end(), '\\', '/');
  return normal;
}

// Where AFile ends, when a line moves a folder above it.
std::string EndsAt(const TJob& AJob, const std::string& AFile) {
  for (const TRename& r : AJob.Renames)
    if (r.Source == AFile) return r.EndsAt;
  return {};
}

// APath as the job's folder renames would carry it along, whichever link to a folder a
// line spells its folder through.
std::string Carried(const TJob& AJob, std::string APath) {
  for (const TRename& r : AJob.Renames) {
    std::string source = r.Source[0] == '~' ? r.Source.substr(1) : r.Source;
    for (const auto& [name, target] : AJob.SymbolicLinks)
      if (source.rfind(name + "/", 0) == 0) source = Normal(target + source.substr(name.size()));
    if (APath.rfind(source + "/", 0) == 0) APath = r.Destination + APath.substr(source.size());
  }
  return APath;
}

// A box that names no file (title, text, button): the job as a whole could not go on.
bool GeneralBoxShown(const TOutcome& AOutcome) {
  return std::any_of(AOutcome.Boxes.begin(), AOutcome.Boxes.end(),
                     [](const auto& ABox) { return ABox.size() == 3; });
}

void CheckNothingLost(const TJob& AJob, const TOutcome& AOutcome) {
  EXPECT_TRUE(AOutcome.TempLeft.empty()) << AOutcome.TempLeft[0];
  EXPECT_EQ(AOutcome.ProgressState, TBPF_NOPROGRESS);
  EXPECT_EQ(AOutcome.ScreensLeft, 0u);
  for (const std::string& file : AJob.Files) {
    SCOPED_TRACE(file);
    const auto found = AOutcome.Where.find("data of " + file);
    if (found == AOutcome.Where.end()) {
      // Only an overwritten file may go, and only with another file's data in its place.
      const auto onto = std::find_if(AJob.Renames.begin(), AJob.Renames.end(),
                                     [&](const TRename& r) { return r.Destination == file; });
      ASSERT_NE(onto, AJob.Renames.end()) << "the data is gone";
      const auto& there = AOutcome.Where.at("data of " + onto->Source);
      EXPECT_NE(std::find(there.begin(), there.end(), file), there.end()) << "the data is gone";
      continue;
    }
    const size_t names = file == AJob.Files[0] ? 1 + AJob.HardLinks.size() : 1;
    // A hard link that a line overwrote is gone; the file keeps its other names.
    const size_t overwritable =
        file == AJob.Files[0]
            ? size_t(std::count_if(AJob.HardLinks.begin(), AJob.HardLinks.end(),
                                   [&](const std::string& ALink) {
                                     return std::any_of(AJob.Renames.begin(), AJob.Renames.end(),
                                                        [&](const TRename& r) {
                                                          return r.Moves && r.Destination == ALink;
                                                        });
                                   }))
            : 0;
    EXPECT_LE(found->second.size(), names);
    EXPECT_GE(found->second.size(), names - overwritable);
    for (const std::string& path : found->second) {
      const auto rename = std::find_if(AJob.Renames.begin(), AJob.Renames.end(),
                                       [&](const TRename& r) { return r.Source == file; });
      bool expected =
          path == file || Shown(AOutcome, path) || path == EndsAt(AJob, file) ||
          path == Carried(AJob, file) ||
          std::find(AJob.HardLinks.begin(), AJob.HardLinks.end(), path) != AJob.HardLinks.end();
      if (rename != AJob.Renames.end()) {
        const std::string listed = Normal(rename->Destination);
        expected = expected || path == listed;
        // A file that did not move as listed, nor where a link or folder move takes it,
        // was named in a box.
        if (path != listed && path != EndsAt(AJob, file)) {
          EXPECT_TRUE(Shown(AOutcome, rename->Source) || Shown(AOutcome, rename->Destination) ||
                      Shown(AOutcome, path) || GeneralBoxShown(AOutcome) || AOutcome.Stopped)
              << "not moved, and no box said so" << Describe(AOutcome);
        }
      }
      // A file under a free name was named where it is, however the job ended.
      if (path != file && fs::path(path).filename().string().rfind(".quorvane-", 0) == 0) {
        EXPECT_TRUE(Shown(AOutcome, path))
            << "under a free name that no box named: " << path << Describe(AOutcome);
      }
      EXPECT_TRUE(expected) << "under a name nobody was shown: " << path << Describe(AOutcome);
    }
  }
}

// One case a job. Every run loads the plugin afresh, and the C++ runtime of a Windows DLL
// keeps a thread-local slot of the process for each load: the cases run in several
// processes (tests/plugin/CMakeLists.txt), so that the table can grow.
class PluginFailingCalls : public ::testing::TestWithParam<size_t> {};

TEST_P(PluginFailingCalls, EveryCallOfAJobFailedInTurnLosesNothing) {
  const auto failures = [] {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
  };
  for (const TJob& job : {Jobs[GetParam()]}) {
    SCOPED_TRACE(job.Name);
    const int failedBefore = failures();
    const TOutcome clean = RunJob(job, 0);
    ASSERT_GT(clean.Calls, 10u);
    for (const TRename& r : job.Renames) {
      if (!clean.Where.count("data of " + r.Source)) continue; // a folder
      const auto& where = clean.Where.at("data of " + r.Source);
      const std::string listed = Normal(r.Destination);
      const std::string ends = !r.EndsAt.empty() ? r.EndsAt : r.Moves ? listed : r.Source;
      EXPECT_EQ(std::count(where.begin(), where.end(), ends), 1)
          << r.Source << " without a failing call" << Describe(clean);
      // The tree is as the list says: a file that moved left its old name, unless a line
      // gave that name to it again.
      const bool named = std::any_of(job.Renames.begin(), job.Renames.end(), [&](const TRename& o) {
        return Normal(o.Destination) == r.Source;
      });
      if (ends != r.Source && !named) {
        EXPECT_EQ(std::count(where.begin(), where.end(), r.Source), 0)
            << r.Source << " still there without a failing call" << Describe(clean);
      }
    }
    CheckNothingLost(job, clean);
    EXPECT_EQ(clean.Asked, job.EscAfterMoves != 0);
    EXPECT_EQ(clean.ProgressDraws, job.ProgressDraws);
    ASSERT_EQ(clean.Progress.size(), job.ProgressDraws);
    for (size_t i = 0; i < clean.Progress.size(); ++i)
      EXPECT_EQ(clean.Progress[i].Total, job.Renames.size());
    for (uint32_t call = 1; call <= clean.Calls; ++call) {
      SCOPED_TRACE("call " + std::to_string(call) + " of " + std::to_string(clean.Calls) +
                   " failing");
      CheckNothingLost(job, RunJob(job, call));
      if (failures() > failedBefore) break; // the first failing call of each job is enough
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Jobs, PluginFailingCalls, ::testing::Range(size_t(0), std::size(Jobs)),
                         [](const ::testing::TestParamInfo<size_t>& AInfo) {
                           return std::to_string(AInfo.param);
                         });

} // namespace
