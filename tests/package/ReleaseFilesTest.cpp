// The output of scripts/package, as a user gets it: the FAR packages unpacked and their
// DLLs read, the Linux packages unpacked into a temporary root and run there.
// scripts/test runs it after scripts/package; it is not part of a build's ctest run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <regex>
#include <set>

#include "host/HostProcess.h"
#include "plugin/BinaryImage.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

const fs::path Source = QUORVANE_SOURCE_DIR;
const fs::path Release = Source / "dist" / "release";

// The version in the names of the release files, from the x86 zip's.
std::string ReleaseVersion() {
  const std::regex zip("Quorvane-(.+)-far3-x86\\.zip");
  std::smatch match;
  for (const auto& entry : fs::directory_iterator(Release)) {
    const std::string name = entry.path().filename().string();
    if (std::regex_match(name, match, zip)) return match[1];
  }
  return "no x86 zip";
}

TRunResult Execute(const std::string& AProgram, const std::vector<std::string>& AArguments,
                   const fs::path& AScratch,
                   const std::vector<std::pair<std::string, std::string>>& AEnvironment = {}) {
  return RunProgram(AProgram, AArguments, "", AEnvironment, AScratch);
}

TRunResult Shell(const std::string& ACommand, const fs::path& AScratch) {
  return Execute("/bin/sh", {"-c", ACommand}, AScratch);
}

void Unpack(const fs::path& AArchive, const fs::path& ARoot, const fs::path& AScratch) {
  const TRunResult result =
      Shell("cd '" + ARoot.string() + "' && cmake -E tar xf '" + AArchive.string() + "'", AScratch);
  ASSERT_EQ(result.ExitCode, 0) << result.Err;
}

// A path as a Windows program under wine sees it.
std::string WinePath(const fs::path& APath) {
  return "Z:" + std::regex_replace(APath.string(), std::regex("/"), "\\");
}

// Every file under ARoot, as relative paths with '/'.
std::set<std::string> FilesUnder(const fs::path& ARoot) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(ARoot))
    if (!entry.is_directory()) files.insert(entry.path().lexically_relative(ARoot).string());
  return files;
}

// The file version of a PE image's version record (VS_FIXEDFILEINFO, found by its
// signature), as "a.b.c.d".
std::string RecordedFileVersion(const std::string& AImage) {
  const size_t at = AImage.find(std::string("\xBD\x04\xEF\xFE", 4));
  if (at == std::string::npos || at + 16 > AImage.size()) return "no version record";
  uint32_t ms, ls;
  std::memcpy(&ms, AImage.data() + at + 8, 4);
  std::memcpy(&ls, AImage.data() + at + 12, 4);
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
         std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
}

struct TFarPackage {
  const char* Arch;
  const char* Tools; // the binutils prefix
  const char* Host;  // dist/<folder> of the Windows quorvane-run
};

class FarPackage : public ::testing::TestWithParam<TFarPackage> {
protected:
  TTempDir fRoot, fScratch;
};

TEST_P(FarPackage, IsTheStrippedPluginFolderOfTheReleaseVersion) {
  const std::string version = ReleaseVersion();
  const std::string name = "Quorvane-" + version + "-far3-" + GetParam().Arch;
  ASSERT_NO_FATAL_FAILURE(Unpack(Release / (name + ".zip"), fRoot.Path(), fScratch.Path()));
  EXPECT_EQ(FilesUnder(fRoot.Path()),
            (std::set<std::string>{"Quorvane/Quorvane.dll", "Quorvane/QuorvaneEng.lng",
                                   "Quorvane/QuorvaneRus.lng", "Quorvane/QuorvaneEng.hlf",
                                   "Quorvane/QuorvaneRus.hlf", "Quorvane/changelog",
                                   "Quorvane/LICENSE"}));
  for (const char* text : {"lng/QuorvaneEng.lng", "hlf/QuorvaneRus.hlf", "changelog", "LICENSE"}) {
    EXPECT_EQ(ReadBytes(fRoot.Path() / "Quorvane" / fs::path(text).filename()),
              ReadBytes(Source / text))
        << text;
  }

  const fs::path dll = fRoot.Path() / "Quorvane" / "Quorvane.dll";
  const std::string image = ReadBytes(dll);
  // A tripwire for our own code's growth, with the runtime's share already paid; the size
  // goes to the output so that a trend shows before the cap is reached.
  constexpr size_t SizeCap = 360u * 1024;
  std::cout << "[   SIZE   ] " << name << " Quorvane.dll: " << image.size() << " bytes (cap "
            << SizeCap << ")" << std::endl;
  EXPECT_LE(image.size(), SizeCap) << "stripped size";
  const TBinaryImage pe = ReadPeImage(image);
  EXPECT_EQ(pe.Exports,
            (std::vector<std::string>{"ExitFARW", "GetGlobalInfoW", "GetPluginInfoW", "OpenW",
                                      "ProcessEditorEventW", "ProcessEditorInputW",
                                      "QuorvaneSetJobReport", "SetStartupInfoW"}));
  for (std::string library : pe.Imports) {
    std::transform(library.begin(), library.end(), library.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    EXPECT_TRUE(std::set<std::string>({"kernel32.dll", "user32.dll", "advapi32.dll", "version.dll",
                                       "msvcrt.dll", "ntdll.dll"})
                    .count(library))
        << library;
  }

  // No debug sections, and a link to the debug file beside the zip, which has them.
  const std::string objdump = std::string(GetParam().Tools) + "objdump -h ";
  const TRunResult sections = Shell(objdump + "'" + dll.string() + "'", fScratch.Path());
  EXPECT_EQ(sections.Out.find(".debug_"), std::string::npos) << sections.Out;
  EXPECT_NE(sections.Out.find(".gnu_debuglink"), std::string::npos) << sections.Out;
  EXPECT_NE(image.find(name + ".debug"), std::string::npos) << "the link names the debug file";
  const fs::path debug = Release / (name + ".debug");
  EXPECT_NE(Shell(objdump + "'" + debug.string() + "'", fScratch.Path()).Out.find(".debug_info"),
            std::string::npos);

  // The version record says major.minor.0.patch, and FAR hears major.minor.patch.
  const std::smatch parts = [&] {
    std::smatch m;
    std::regex_match(version, m, std::regex("(\\d+)\\.(\\d+)\\.(\\d+)"));
    return m;
  }();
  ASSERT_FALSE(parts.empty()) << version;
  EXPECT_EQ(RecordedFileVersion(image), parts.str(1) + "." + parts.str(2) + ".0." + parts.str(3));
  const std::string host = (Source / "dist" / GetParam().Host / "quorvane-run.exe").string();
  const TRunResult global =
      Execute((Source / "cmake" / "wine-run").string(),
              {host, "--plugin", WinePath(dll), "--version"}, fScratch.Path());
  EXPECT_NE(global.Out.find("Quorvane " + version + " ("), std::string::npos)
      << global.Out << global.Err;
}

// The debug file turns the address of a function of the rename engine and of the text
// stream into its name and its line in our sources, named under /usr/src/quorvane and
// not under the folder the release was built in.
TEST_P(FarPackage, DebugFileNamesOurFunctionsAndTheirSourceLines) {
  const std::string debug =
      (Release / ("Quorvane-" + ReleaseVersion() + "-far3-" + GetParam().Arch + ".debug")).string();
  const std::string tools = GetParam().Tools;
  const TRunResult symbols = Shell(tools + "nm '" + debug + "'", fScratch.Path());
  ASSERT_EQ(symbols.ExitCode, 0) << symbols.Err;
  const struct {
    const char* Symbol;
    const char* Function;
    const char* Source;
  } functions[] = {
      {"_ZN9TFileList11RenameFilesEv", "RenameFiles", "src/filelist/uRenameEngine.cpp"},
      {"_ZN11TTextStream8ReadLineER", "ReadLine", "src/files/uTextStream.cpp"}};
  for (const auto& function : functions) {
    std::smatch match;
    ASSERT_TRUE(std::regex_search(
        symbols.Out, match,
        std::regex(std::string("(?:^|\n)([0-9a-f]+) T _?") + function.Symbol + "[^\n]*")))
        << function.Symbol;
    const TRunResult line =
        Shell(tools + "addr2line -f -C -e '" + debug + "' 0x" + match.str(1), fScratch.Path());
    // The name as the x86 tools print it is not always demangled.
    EXPECT_NE(line.Out.substr(0, line.Out.find('\n')).find(function.Function), std::string::npos)
        << line.Out;
    EXPECT_TRUE(std::regex_search(line.Out, std::regex(std::string("\n/usr/src/quorvane/") +
                                                       function.Source + ":[1-9][0-9]*\n")))
        << line.Out;
  }
}

// quorvane-run for Windows: the program with the x64 plugin folder beside it, unpacked
// anywhere, finds that plugin and renames through the editor it is given.
TEST(WindowsHostPackage, UnpackedAnywhereRenamesThroughTheGivenEditor) {
  TTempDir root, panel, scratch;
  const std::string version = ReleaseVersion();
  const std::string name = "quorvane-" + version + "-windows-x64";
  ASSERT_NO_FATAL_FAILURE(Unpack(Release / (name + ".zip"), root.Path(), scratch.Path()));
  const fs::path folder = root.Path() / name;
  EXPECT_EQ(
      FilesUnder(root.Path()),
      (std::set<std::string>{name + "/quorvane-run.exe", name + "/LICENSE", name + "/changelog",
                             name + "/README.txt", name + "/Quorvane/Quorvane.dll",
                             name + "/Quorvane/QuorvaneEng.lng", name + "/Quorvane/QuorvaneRus.lng",
                             name + "/Quorvane/QuorvaneEng.hlf", name + "/Quorvane/QuorvaneRus.hlf",
                             name + "/Quorvane/changelog", name + "/Quorvane/LICENSE"}));
  EXPECT_EQ(ReadBytes(folder / "LICENSE"), ReadBytes(Source / "LICENSE"));
  // The read-me has Windows line ends, for any Notepad.
  EXPECT_EQ(ReadBytes(folder / "README.txt"),
            std::regex_replace(ReadBytes(Source / "host" / "quorvane-run-windows.txt"),
                               std::regex("\n"), "\r\n"));

  const std::string wine = (Source / "cmake" / "wine-run").string();
  const std::string program = WinePath(folder / "quorvane-run.exe");
  TRunResult result = Execute(wine, {program, "--version"}, scratch.Path());
  EXPECT_NE(result.Out.find("Quorvane " + version + " (" +
                            WinePath(folder / "Quorvane" / "Quorvane.dll") + ")"),
            std::string::npos)
      << result.Out << result.Err;

  WriteBytes(panel / "a.txt", "A");
  // No record of the job: the user's state folder is not the test's to fill.
  result = Execute(wine, {program, "--no-record", WinePath(panel.Path())}, scratch.Path(),
                   {{"EDITOR", "\"" + WinePath(QUORVANE_WINDOWS_TEST_EDITOR) + "\""},
                    {"VISUAL", ""},
                    {"QRT_EDITS", "a.txt>b.txt"}});
  EXPECT_EQ(result.ExitCode, 0) << result.Out << result.Err;
  EXPECT_EQ(ReadBytes(panel / "b.txt"), "A");
  EXPECT_FALSE(fs::exists(panel / "a.txt"));
}

INSTANTIATE_TEST_SUITE_P(Windows, FarPackage,
                         ::testing::Values(TFarPackage{"x86", "i686-w64-mingw32-", "windows-x86"},
                                           TFarPackage{"x64", "x86_64-w64-mingw32-",
                                                       "windows-x64"}));

struct TLinuxPackage {
  const char* Name;    // with <v> for the version
  const char* Unpack;  // a shell command; $1 the package, $2 the root
  const char* Prefix;  // of the installed files in the root, with <v>
  const char* Licence; // the file in share/doc/quorvane/ that holds the licence
};

class LinuxPackage : public ::testing::TestWithParam<TLinuxPackage> {
protected:
  TTempDir fRoot, fPanel, fTemp, fScratch;
};

std::string WithVersion(std::string AText, const std::string& AVersion) {
  return std::regex_replace(AText, std::regex("<v>"), AVersion);
}

TEST_P(LinuxPackage, UnpackedAnywhereRenamesThroughTheUsersEditor) {
  const std::string version = ReleaseVersion();
  const fs::path package = Release / WithVersion(GetParam().Name, version);
  ASSERT_TRUE(fs::exists(package)) << package;
  ASSERT_EQ(Execute("/bin/sh",
                    {"-c", GetParam().Unpack, "unpack", package.string(), fRoot.Path().string()},
                    fScratch.Path())
                .ExitCode,
            0);
  const fs::path prefix = fRoot.Path() / WithVersion(GetParam().Prefix, version);
  for (const char* file :
       {"bin/quorvane-run", "lib/quorvane/Quorvane/Quorvane.so",
        "lib/quorvane/Quorvane/QuorvaneEng.lng", "lib/quorvane/Quorvane/QuorvaneRus.lng",
        "share/man/man1/quorvane-run.1.gz"}) {
    EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
  }
  // Every line of the licence's terms (the .deb's copyright file indents them by one).
  const std::string licence = ReadBytes(prefix / "share/doc/quorvane" / GetParam().Licence);
  const std::string terms = ReadBytes(Source / "LICENSE");
  EXPECT_NE(licence.find("The Quorvane developers"), std::string::npos);
  for (size_t at = terms.find("Redistribution"), end; at < terms.size(); at = end + 1) {
    end = terms.find('\n', at);
    const std::string line = terms.substr(at, end - at + 1);
    if (line != "\n") {
      EXPECT_NE(licence.find(line), std::string::npos) << line;
    }
  }

  const std::string program = (prefix / "bin" / "quorvane-run").string();
  TRunResult result = Execute(program, {"--version"}, fScratch.Path());
  EXPECT_EQ(result.Out.rfind("quorvane-run " + version + "\n", 0), 0u) << result.Out;
  EXPECT_NE(result.Out.find("Quorvane " + version + " (" +
                            (prefix / "lib/quorvane/Quorvane/Quorvane.so").string() + ")"),
            std::string::npos)
      << result.Out << result.Err;

  WriteBytes(fPanel / "a.txt", "A");
  // No record of the job: the user's state folder is not the test's to fill.
  result = Execute(program, {"--no-record", fPanel.Path().string()}, fScratch.Path(),
                   {{"EDITOR", std::string("'") + QUORVANE_TEST_EDITOR + "'"},
                    {"VISUAL", ""},
                    {"QRT_EDITS", "a.txt>b.txt"},
                    {"TMPDIR", fTemp.Path().string()}});
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(ReadBytes(fPanel / "b.txt"), "A");
  EXPECT_FALSE(fs::exists(fPanel / "a.txt"));
}

INSTANTIATE_TEST_SUITE_P(Release, LinuxPackage,
                         ::testing::Values(TLinuxPackage{"quorvane_<v>_amd64.deb",
                                                         "dpkg -x \"$1\" \"$2\"", "usr",
                                                         "copyright"},
                                           TLinuxPackage{"quorvane-<v>-linux-x86_64.tar.gz",
                                                         "cd \"$2\" && cmake -E tar xf \"$1\"",
                                                         "quorvane-<v>-linux-x86_64", "LICENSE"}));

// Debian's checks of a binary package find nothing to report, not even a warning.
TEST(DebianPackage, PassesLintian) {
  TTempDir scratch;
  const fs::path deb = Release / ("quorvane_" + ReleaseVersion() + "_amd64.deb");
  const TRunResult lintian =
      Shell("lintian --fail-on error,warning '" + deb.string() + "'", scratch.Path());
  EXPECT_EQ(lintian.ExitCode, 0) << lintian.Out << lintian.Err;
  EXPECT_EQ(lintian.Out, "") << lintian.Err;
}

TEST(ReleaseFiles, AreTheListedOnesWithTheirChecksums) {
  const std::string v = ReleaseVersion();
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(Release))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names,
            (std::set<std::string>{
                "Quorvane-" + v + "-far3-x86.zip", "Quorvane-" + v + "-far3-x86.debug",
                "Quorvane-" + v + "-far3-x64.zip", "Quorvane-" + v + "-far3-x64.debug",
                "quorvane-" + v + "-windows-x64.zip", "quorvane-" + v + "-linux-x86_64.tar.gz",
                "quorvane_" + v + "_amd64.deb", "SHA256SUMS"}));
  TTempDir scratch;
  const TRunResult check = Shell(
      "cd '" + Release.string() + "' && sha256sum --check --strict SHA256SUMS", scratch.Path());
  EXPECT_EQ(check.ExitCode, 0) << check.Out << check.Err;
  EXPECT_EQ(std::count(check.Out.begin(), check.Out.end(), '\n'), 7) << check.Out;
}

} // namespace
