// The plugin's face to FAR: its exports, imports, description and menu entries.
#include "PluginFixture.h"

#include <algorithm>
#include <cctype>

#include "BinaryImage.h"

namespace {

using testing_support::ReadBytes;

// FAR's seven, and the one through which quorvane-run asks for each line's outcome.
const std::vector<std::string> Exports = {"ExitFARW",
                                          "GetGlobalInfoW",
                                          "GetPluginInfoW",
                                          "OpenW",
                                          "ProcessEditorEventW",
                                          "ProcessEditorInputW",
                                          "QuorvaneSetJobReport",
                                          "SetStartupInfoW"};

TEST(PluginBinary, ExportsExactlyTheEntryPointsByPlainName) {
  const std::string bytes = ReadBytes(U16ToPath(BuiltPluginFileName()));
#ifdef _WIN32
  const TBinaryImage image = ReadPeImage(bytes);
#else
  const TBinaryImage image = ReadElfImage(bytes);
#endif
  ASSERT_TRUE(image.Valid);
  EXPECT_EQ(image.Exports, Exports);
}

#ifdef _WIN32
TEST(PluginBinary, ImportsWindowsSystemLibrariesOnly) {
  const TBinaryImage image = ReadPeImage(ReadBytes(U16ToPath(BuiltPluginFileName())));
  ASSERT_TRUE(image.Valid);
  ASSERT_FALSE(image.Imports.empty());
  const std::vector<std::string> system = {"kernel32.dll", "user32.dll", "advapi32.dll",
                                           "version.dll",  "msvcrt.dll", "ntdll.dll"};
  for (std::string name : image.Imports) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    EXPECT_TRUE(std::find(system.begin(), system.end(), name) != system.end() ||
                name.rfind("api-ms-win-", 0) == 0)
        << name;
  }
}
#endif

class PluginEntryPoints : public PluginFixture {};

TEST_F(PluginEntryPoints, GlobalInfoDescribesThePlugin) {
  GlobalInfo info;
  std::memset(&info, 0xCC, sizeof(info));
  Plugin().GetGlobalInfoW(&info);
  EXPECT_EQ(info.StructSize, sizeof(GlobalInfo));
  EXPECT_EQ(info.MinFarVersion.Major, 3u);
  EXPECT_EQ(info.MinFarVersion.Minor, 0u);
  EXPECT_EQ(info.MinFarVersion.Revision, 0u);
  EXPECT_EQ(info.MinFarVersion.Build, 0u);
  EXPECT_EQ(info.MinFarVersion.Stage, 0);
  // From the module's own version record: a resource of the DLL, an ELF section of the .so.
  EXPECT_EQ(info.Version.Major, unsigned(QUORVANE_VERSION_MAJOR));
  EXPECT_EQ(info.Version.Minor, unsigned(QUORVANE_VERSION_MINOR));
  EXPECT_EQ(info.Version.Build, unsigned(QUORVANE_VERSION_PATCH));
  EXPECT_EQ(info.Version.Revision, 0u);
  EXPECT_EQ(info.Version.Stage, 0);
  EXPECT_EQ(std::u16string(info.Title), u"Quorvane");
  EXPECT_EQ(std::u16string(info.Description), u"Quorvane");
  ASSERT_NE(info.Author, nullptr);
  EXPECT_FALSE(std::u16string(info.Author).empty());
  const GUID zero{};
  EXPECT_NE(std::memcmp(&info.Guid, &zero, sizeof(GUID)), 0);
}

TEST_F(PluginEntryPoints, PluginInfoHandsOutTheSamePointersEveryTime) {
  PluginInfo first, second;
  std::memset(&first, 0xCC, sizeof(first));
  Plugin().GetPluginInfoW(&first);
  Plugin().GetPluginInfoW(&second);
  EXPECT_EQ(first.StructSize, sizeof(PluginInfo));
  EXPECT_EQ(first.Flags, PF_EDITOR);
  ASSERT_EQ(first.PluginMenu.Count, 1u);
  EXPECT_EQ(std::u16string(first.PluginMenu.Strings[0]), fFar->Msg(0));
  EXPECT_EQ(first.PluginMenu.Strings, second.PluginMenu.Strings);
  EXPECT_EQ(first.PluginMenu.Strings[0], second.PluginMenu.Strings[0]);
  EXPECT_EQ(first.PluginMenu.Guids, second.PluginMenu.Guids);
  EXPECT_EQ(first.DiskMenu.Count, 0u);
  EXPECT_EQ(first.PluginConfig.Count, 0u);
  EXPECT_EQ(first.CommandPrefix, nullptr);
  // After a change of language FAR has freed the old texts: the menu shows the new one.
  fFar->SetLanguage("Rus");
  PluginInfo third;
  Plugin().GetPluginInfoW(&third);
  EXPECT_EQ(third.PluginMenu.Strings[0], fFar->Messages()[0].c_str());
  EXPECT_EQ(std::u16string(third.PluginMenu.Strings[0]), fFar->Msg(0));

  GlobalInfo global{};
  Plugin().GetGlobalInfoW(&global);
  EXPECT_NE(std::memcmp(&global.Guid, first.PluginMenu.Guids, sizeof(GUID)), 0);
}

TEST_F(PluginEntryPoints, ExitDoesNothingAndNullRecordsAreIgnored) {
  ExitInfo exitInfo{sizeof(ExitInfo), nullptr};
  Plugin().ExitFARW(&exitInfo);
  Plugin().ExitFARW(nullptr);
  Plugin().GetGlobalInfoW(nullptr);
  Plugin().GetPluginInfoW(nullptr);
  EXPECT_EQ(Plugin().OpenW(nullptr), nullptr);
  EXPECT_EQ(Plugin().ProcessEditorEventW(nullptr), 0);
  EXPECT_EQ(Plugin().ProcessEditorInputW(nullptr), 0);
  EXPECT_TRUE(fFar->Calls.empty());
}

} // namespace
