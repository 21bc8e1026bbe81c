// FAR's model as a plugin meets it: the services answer from the panels, editors and the
// user behind the seam, whichever of the three players (terminal, tests, benchmark) set
// them up.
#include <gtest/gtest.h>

#include <vector>

#include "farside/uFarModel.h"
#include "support/TestFiles.h"

namespace {

using testing_support::TTempDir;
using testing_support::WriteBytes;

class FarModelTest : public ::testing::Test {
protected:
  TScriptedUser User;
  TFarModel Far{User};
  const PluginStartupInfo& Info = *Far.StartupInfo();
};

// Asks the active panel for item AIndex as a plugin does: size first, then the record.
std::vector<char> PanelItem(const PluginStartupInfo& AInfo, intptr_t AIndex) {
  const intptr_t size = AInfo.PanelControl(PANEL_ACTIVE, FCTL_GETPANELITEM, AIndex, nullptr);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 0);
  FarGetPluginPanelItem request{};
  request.StructSize = sizeof(request);
  request.Size = buffer.size();
  request.Item = reinterpret_cast<PluginPanelItem*>(buffer.data());
  if (size > 0) AInfo.PanelControl(PANEL_ACTIVE, FCTL_GETPANELITEM, AIndex, &request);
  return buffer;
}

TEST_F(FarModelTest, PluginPanelShowsItsFlagsNoDirectoryAndNamesAsGiven) {
  // A panel of found files: a plugin's, with real names that are paths of their own.
  TPanelModel& panel = Far.ActivePanel;
  panel.Flags = PFLAGS_PANELLEFT | 0x100;
  panel.PluginHandle = 42;
  panel.Add(u"/a/one.txt", 0, PPIF_SELECTED);
  panel.Add(u"C:\\b\\two.txt");
  PanelInfo info{};
  info.StructSize = sizeof(info);
  ASSERT_EQ(Info.PanelControl(PANEL_ACTIVE, FCTL_GETPANELINFO, 0, &info), 1);
  EXPECT_EQ(info.Flags, PFLAGS_PANELLEFT | 0x100);
  EXPECT_EQ(info.PluginHandle, reinterpret_cast<void*>(42));
  EXPECT_EQ(info.ItemsNumber, 2u);
  EXPECT_EQ(info.SelectedItemsNumber, 1u);

  const std::vector<char> first = PanelItem(Info, 0);
  ASSERT_FALSE(first.empty());
  const auto* item = reinterpret_cast<const PluginPanelItem*>(first.data());
  EXPECT_EQ(std::u16string(item->FileName), u"/a/one.txt");
  EXPECT_EQ(item->Flags, PPIF_SELECTED);
  EXPECT_EQ(item->Description, nullptr); // an item without details has none
  EXPECT_TRUE(PanelItem(Info, 2).empty());

  const intptr_t size = Info.PanelControl(PANEL_ACTIVE, FCTL_GETPANELDIRECTORY, 0, nullptr);
  std::vector<char> buffer(static_cast<size_t>(size));
  auto* directory = reinterpret_cast<FarPanelDirectory*>(buffer.data());
  directory->StructSize = sizeof(FarPanelDirectory);
  ASSERT_EQ(Info.PanelControl(PANEL_ACTIVE, FCTL_GETPANELDIRECTORY, size, directory), size);
  EXPECT_EQ(std::u16string(directory->Name), u"");
}

TEST_F(FarModelTest, PanelOrderAndAPanelThatIsNotShown) {
  TPanelModel& panel = Far.ActivePanel;
  panel.Add(u"..", win::FILE_ATTRIBUTE_DIRECTORY);
  for (const char16_t* name : {u"b.txt", u"Dir2", u"A.txt", u"dir1"})
    panel.Add(name, name[0] == u'D' || name[0] == u'd' ? win::FILE_ATTRIBUTE_DIRECTORY : 0);
  panel.SortByName(true);
  const std::vector<std::u16string> foldersFirst = {u"..", u"dir1", u"Dir2", u"A.txt", u"b.txt"};
  for (size_t i = 0; i < panel.ItemCount(); ++i)
    EXPECT_EQ(panel.Name(i), foldersFirst[i]) << i;
  panel.SelectAll();
  EXPECT_EQ(panel.SelectedCount(), 4u);
  EXPECT_EQ(panel.CurrentItem, 1u);

  // A name changed later is the item's own; its details are made only when asked for.
  panel.SetName(2, u"renamed");
  EXPECT_EQ(panel.Name(2), u"renamed");
  EXPECT_EQ(panel.FindDetails(2), nullptr);
  const std::u16string description = u"d";
  panel.Details(2).Description = description;
  ASSERT_NE(panel.FindDetails(2), nullptr);

  Far.PassivePanel.Shown = false;
  PanelInfo info{};
  info.StructSize = sizeof(info);
  EXPECT_EQ(Info.PanelControl(PANEL_PASSIVE, FCTL_GETPANELINFO, 0, &info), 0);
  EXPECT_EQ(Info.PanelControl(PANEL_ACTIVE, FCTL_GETPANELINFO, 0, &info), 1);
}

TEST_F(FarModelTest, EditorOfAnotherProgramKeepsItsTextInTheFile) {
  TTempDir dir;
  WriteBytes(dir / "list.txt", "one\ntwo\nthree");
  Far.HoldsEditorText = false;
  Far.MaxEditors = 1;
  Far.FullPathName = [&](const std::u16string& AName, bool) { return dir.Dir() + AName; };
  ASSERT_EQ(Info.Editor(u"list.txt", u"T", 0, 0, -1, -1, 0, 2, 1, 65001), EEC_MODIFIED);
  // One window at a time: the second is refused.
  EXPECT_EQ(Info.Editor(u"list.txt", u"T", 0, 0, -1, -1, 0, 1, 1, 65001), EEC_OPEN_ERROR);
  ASSERT_EQ(Far.Editors.size(), 1u);
  EXPECT_EQ(Far.Editors[0].FileName, dir.Dir() + u"list.txt");

  EditorInfo info{};
  info.StructSize = sizeof(info);
  ASSERT_EQ(Info.EditorControl(-1, ECTL_GETINFO, 0, &info), 1);
  EXPECT_EQ(info.TotalLines, 3);
  EXPECT_EQ(info.CurLine, 1);
  EditorGetString line{};
  line.StructSize = sizeof(line);
  line.StringNumber = 0;
  EXPECT_EQ(Info.EditorControl(-1, ECTL_GETSTRING, 0, &line), 0);
  EXPECT_FALSE(Far.SaveEditor(-1));
  std::vector<char16_t> name(512);
  EXPECT_EQ(Info.EditorControl(-1, ECTL_GETFILENAME, 512, name.data()),
            static_cast<intptr_t>(Far.Editors[0].FileName.size() + 1));
}

TEST_F(FarModelTest, UserAnswersBoxesAndMenusAndKeepsWhatItWasShown) {
  User.MessageAnswers = {1};
  User.MenuAnswers = {5, 0};
  const char16_t* items[] = {u"Title", u"line", u"A", u"B"};
  // More buttons asked for than there are items: the title is never one.
  EXPECT_EQ(Info.Message(nullptr, nullptr, FMSG_WARNING, nullptr, items, 4, 9), 1);
  ASSERT_EQ(User.BoxesShown.size(), 1u);
  EXPECT_EQ(User.BoxesShown[0].Title, u"Title");
  EXPECT_TRUE(User.BoxesShown[0].Lines.empty());
  EXPECT_EQ(User.BoxesShown[0].Buttons, (std::vector<std::u16string>{u"line", u"A", u"B"}));
  EXPECT_EQ(Info.Message(nullptr, nullptr, 0, nullptr, items, 4, 2), -1); // script used up

  FarMenuItem menu[2] = {};
  menu[0].Text = u"one";
  menu[1].Text = u"two";
  intptr_t breakCode = 7;
  // An answer beyond the items cancels.
  EXPECT_EQ(Info.Menu(nullptr, nullptr, -1, -1, 0, 0, u"M", nullptr, nullptr, nullptr, &breakCode,
                      menu, 2),
            -1);
  EXPECT_EQ(breakCode, -1);
  EXPECT_EQ(
      Info.Menu(nullptr, nullptr, -1, -1, 0, 0, u"M", nullptr, nullptr, nullptr, nullptr, menu, 2),
      0);
  EXPECT_EQ(User.MenusShown.back().Items, (std::vector<std::u16string>{u"one", u"two"}));
}

TEST_F(FarModelTest, CallsAreRecordedAndRefusedOnlyWithALog) {
  Far.SetMessages({u"Title"});
  EXPECT_EQ(std::u16string(Info.GetMsg(nullptr, 0)), u"Title");
  TFarCallLog log;
  Far.SetLog(&log);
  log.Refuse(TFarService::GetMsg, 0);
  EXPECT_EQ(Info.GetMsg(nullptr, 0), nullptr);
  EXPECT_EQ(std::u16string(Info.GetMsg(nullptr, 1)), u"");
  ASSERT_EQ(log.CountOf(TFarService::GetMsg), 2u);
  EXPECT_TRUE(log.Calls[0].Refused);
  Far.SetLog(nullptr);
  EXPECT_EQ(std::u16string(Info.GetMsg(nullptr, 0)), u"Title");
  EXPECT_EQ(log.Calls.size(), 2u);

  // A silent user cancels and counts.
  TSilentUser silent;
  EXPECT_EQ(silent.Answer(TFarMessageBox{}), -1);
  EXPECT_EQ(silent.Questions, 1u);
}

TEST_F(FarModelTest, TruncPathStrKeepsTheRootAndTheEnd) {
  const struct {
    const char16_t* Path;
    intptr_t Width;
    const char16_t* Shown;
  } cases[] = {
      {u"C:\\a\\long\\path\\name.txt", 12, u"C:\\...me.txt"},
      {u"/home/user/file.txt", 10, u"/...le.txt"},
      {u"relative/file", 8, u".../file"},
      {u"short", 10, u"short"},
      {u"abcdef", 3, u"abc"},
  };
  for (const auto& c : cases) {
    std::u16string text = c.Path;
    text.push_back(0);
    Far.FSF().TruncPathStr(text.data(), c.Width);
    EXPECT_EQ(std::u16string(text.c_str()), c.Shown) << c.Width;
  }
}

} // namespace
