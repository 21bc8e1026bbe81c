// The verdict of every kind of line, as the engine sets lines aside and quorvane-run's plan
// tells them: files on disk, the saved lines, and the verdict expected for each line.
#include <gtest/gtest.h>

#include <filesystem>

#include "filelist/uLineVerdicts.h"
#include "list/uWrittenList.h"
#include "support/TestFiles.h"

namespace {

using testing_support::TTempDir;
using testing_support::WriteBytes;

struct TVerdictRow {
  const char* Name;
  std::vector<std::string> Files; // "name" a file, "name/" a folder
  std::vector<std::string> Lines; // the saved list, header included where it is kept
  std::vector<TJudgement> Verdicts;
  std::vector<std::string> Written = {"a", "b", "s"}; // the first column as the job wrote it
};

// The list's header as written: two lines.
const std::u16string Header = u"H1\nH2";

std::string E(const std::string& ASource, const std::string& ADestination) {
  return "\"" + ASource + "\"    \"" + ADestination + "\"";
}

constexpr TJudgement Renames{vdRenames, NoOtherLine};
constexpr TJudgement Nothing{vdNothing, NoOtherLine};

// clang-format off
const TVerdictRow Rows[] = {
    {"plain rename and a line left alone", {"a", "b"}, {"H1", "H2", E("a", "x"), E("b", "b")},
     {Nothing, Nothing, Renames, Nothing}},
    {"broken line", {"a"}, {"H1", "H2", E("a", "x") + " y", ""},
     {Nothing, Nothing, {vdNotRead}, Nothing}},
    {"header line changed", {"a"}, {"my notes", "H2", E("a", "x")},
     {{vdHeaderChanged}, Nothing, Renames}},
    {"header deleted", {"a", "b"}, {E("a", "x"), E("b", "y")}, {Renames, Renames}},
    {"header moved below an entry", {"a"}, {E("a", "x"), "H1", "H2"}, {Renames, Nothing, Nothing}},
    {"first column names no file", {"a"}, {"H1", "H2", E("zz", "x")},
     {Nothing, Nothing, {vdNoSuchFile}}},
    {"both columns replaced alike", {"a"}, {"H1", "H2", E("zz", "zz")},
     {Nothing, Nothing, {vdNoSuchFile}}},
    {"listed file vanished", {}, {"H1", "H2", E("a", "x")}, {Nothing, Nothing, {vdVanished}}},
    {"new name is a folder", {"a", "sub/"}, {"H1", "H2", E("a", "sub")},
     {Nothing, Nothing, {vdNewNameIsFolder}}},
    {"taken by a file no line renames", {"a", "b"}, {"H1", "H2", E("a", "b")},
     {Nothing, Nothing, {vdTakenByOther}}},
    {"a shift", {"a", "b"}, {"H1", "H2", E("a", "b"), E("b", "c")},
     {Nothing, Nothing, {vdTakenByLater, 3}, Renames}},
    {"same new name", {"a", "b"}, {"H1", "H2", E("a", "x"), E("b", "x")},
     {Nothing, Nothing, Renames, {vdSameNewName, 2}}},
    {"a name freed by an earlier line", {"a", "b"}, {"H1", "H2", E("b", "c"), E("a", "b")},
     {Nothing, Nothing, Renames, Renames}},
    {"a swap through a name of the user's", {"a", "b"},
     {"H1", "H2", E("a", "t"), E("b", "a"), E("t", "b")},
     {Nothing, Nothing, Renames, Renames, Renames}},
    {"folder made by a later line's move", {"a", "s/"}, {"H1", "H2", E("a", "t/a"), E("s", "t")},
     {Nothing, Nothing, {vdFolderByLater, 3}, Renames}},
    {"folder made by an earlier line's move", {"a", "s/"}, {"H1", "H2", E("s", "t"), E("a", "t/a")},
     {Nothing, Nothing, Renames, Renames}},
    {"file below a folder an earlier line moved", {"s/f"}, {"H1", "H2", E("s", "t"), E("t/f", "t/g")},
     {Nothing, Nothing, Renames, Renames}, {"s", "s/f"}},
    {"no folder", {"a"}, {"H1", "H2", E("a", "none/a")}, {Nothing, Nothing, {vdNoFolder}}},
};
// clang-format on

class LineVerdicts : public ::testing::TestWithParam<size_t> {};

TEST_P(LineVerdicts, JudgeEachLine) {
  const TVerdictRow& row = Rows[GetParam()];
  SCOPED_TRACE(row.Name);
  TTempDir dir;
  for (std::string file : row.Files) {
#ifdef _WIN32
    std::replace(file.begin(), file.end(), '/', '\\');
#endif
    if (file.back() == '/' || file.back() == '\\') {
      std::filesystem::create_directories(dir / file);
    } else {
      std::filesystem::create_directories((dir / file).parent_path());
      WriteBytes(dir / file, file);
    }
  }
  TSavedList lines;
  for (std::string line : row.Lines) {
#ifdef _WIN32
    std::replace(line.begin(), line.end(), '/', '\\');
#endif
    lines.Add(std::u16string(line.begin(), line.end()));
  }
  TWrittenList written{Header, {}};
  for (const std::string& name : row.Written)
    written.Names.push_back(WrittenNameHash(std::u16string(name.begin(), name.end())));
  std::sort(written.Names.begin(), written.Names.end());

  const std::vector<TJudgement> every = JudgeLines(lines, dir.Dir(), false, written, jdEvery);
  ASSERT_EQ(every.size(), row.Verdicts.size());
  // What the engine sets aside is what the plan says it will.
  const std::vector<TJudgement> engine = JudgeLines(lines, dir.Dir(), false, written, jdSetAside);
  for (size_t i = 0; i < every.size(); ++i) {
    EXPECT_EQ(every[i].Verdict, row.Verdicts[i].Verdict) << "line " << i + 1;
    EXPECT_EQ(every[i].Other, row.Verdicts[i].Other) << "line " << i + 1;
    EXPECT_EQ(IsSetAside(engine[i].Verdict), IsSetAside(every[i].Verdict)) << "line " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, LineVerdicts, ::testing::Range(size_t(0), std::size(Rows)));

} // namespace
