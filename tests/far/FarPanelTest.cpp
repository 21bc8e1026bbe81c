#include "FarFixture.h"
#include "support/TestFiles.h"
#include "system/uWindows.h"

using testing_support::TTempDir;
using testing_support::WriteBytes;

namespace {

class FarPanelTest : public FarTest {
protected:
  void SetUp() override {
    FarTest::SetUp();
    WriteBytes(Dir / "b.txt", "bb");
    WriteBytes(Dir / "a.txt", "a");
    std::filesystem::create_directory(Dir.Path() / "sub");
    ASSERT_TRUE(Far.ActivePanel.LoadDirectory(Dir.Dir()));
    Far.ActivePanel.Select({u"b.txt"});
    Far.ActivePanel.SetCurrent(u"a.txt");
  }

  TTempDir Dir;
};

TEST_F(FarPanelTest, SnapshotCopiesPanelItemsAndDirectoryWithTwoCallsPerAnswer) {
  Far.ActivePanel.Flags = PFLAGS_PANELLEFT | 0x1;
  Far.ActivePanel.Details(2).Description = u"desc";
  TFarPanelInfo info(true, true);

  EXPECT_EQ(info.Handle(), static_cast<uintptr_t>(-1));
  EXPECT_EQ(info.Directory(), Far.ActivePanel.Directory);
  EXPECT_TRUE(info.Left());
  EXPECT_FALSE(info.IsPluginPanel());
  EXPECT_EQ(info.CurrentItemIndex(), 1);
  EXPECT_EQ(info.SelectedItemsCount(), 1);
  EXPECT_TRUE(info.HasSelectedItems());
  ASSERT_EQ(info.Items().size(), 4u); // .., a.txt, b.txt, sub
  const char16_t* names[] = {u"..", u"a.txt", u"b.txt", u"sub"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(info.Items()[i]->FileName(), names[i]);
    EXPECT_EQ(info.Items()[i]->ItemIndex(), static_cast<int32_t>(i));
    EXPECT_EQ(info.Items()[i]->Panel(), &info);
  }
  EXPECT_TRUE(info.Items()[2]->Selected());
  EXPECT_FALSE(info.Items()[1]->Selected());
  EXPECT_EQ(info.Items()[2]->FileSize(), 2);
  EXPECT_EQ(info.Items()[2]->Description(), u"desc");
  EXPECT_NE(info.Items()[3]->FileAttributes() & win::FILE_ATTRIBUTE_DIRECTORY, 0u);

  // One query for the panel, two per item, two for the directory.
  ASSERT_EQ(Far.Calls.size(), 1u + 2 * 4 + 2);
  const auto& first = Far.Calls[0];
  EXPECT_EQ(first.Command, FCTL_GETPANELINFO);
  EXPECT_EQ(first.Handle, static_cast<uintptr_t>(-1));
  EXPECT_EQ(first.RecordAs<PanelInfo>().StructSize, sizeof(PanelInfo));
  for (size_t i = 0; i < 4; ++i) {
    const auto& sizeQuery = Far.Calls[1 + 2 * i];
    const auto& fetch = Far.Calls[2 + 2 * i];
    EXPECT_EQ(sizeQuery.Command, FCTL_GETPANELITEM);
    EXPECT_EQ(sizeQuery.Param1, static_cast<intptr_t>(i));
    EXPECT_EQ(sizeQuery.Param2, 0u);
    EXPECT_EQ(fetch.Command, FCTL_GETPANELITEM);
    EXPECT_EQ(fetch.Param1, static_cast<intptr_t>(i));
    const auto request = fetch.RecordAs<FarGetPluginPanelItem>();
    EXPECT_EQ(request.StructSize, sizeof(FarGetPluginPanelItem));
    EXPECT_EQ(request.Size, static_cast<size_t>(sizeQuery.Result));
    EXPECT_NE(request.Item, nullptr);
  }
  const auto& dirSize = Far.Calls[9];
  const auto& dirFetch = Far.Calls[10];
  EXPECT_EQ(dirSize.Command, FCTL_GETPANELDIRECTORY);
  EXPECT_EQ(dirSize.Param1, 0);
  EXPECT_EQ(dirSize.Param2, 0u);
  EXPECT_EQ(dirFetch.Command, FCTL_GETPANELDIRECTORY);
  EXPECT_EQ(dirFetch.Param1, dirSize.Result);
  EXPECT_EQ(dirFetch.RecordAs<FarPanelDirectory>().StructSize, sizeof(FarPanelDirectory));
}

TEST_F(FarPanelTest, WithoutItemsTheCountsAndDirectoryAreStillFilled) {
  TFarPanelInfo info(true, false);
  EXPECT_TRUE(info.Items().empty());
  EXPECT_EQ(info.SelectedItemsCount(), 1);
  EXPECT_EQ(info.CurrentItemIndex(), 1);
  EXPECT_EQ(info.Directory(), Far.ActivePanel.Directory);
  EXPECT_FALSE(info.HasSelectedItems());
  EXPECT_EQ(Far.CountOf(TService::PanelControl, FCTL_GETPANELITEM), 0u);
}

TEST_F(FarPanelTest, PassivePanelAndHandleConstructorAddressTheirPanels) {
  Far.PassivePanel.Directory = u"elsewhere";
  TFarPanelInfo passive(false, false);
  EXPECT_EQ(passive.Handle(), static_cast<uintptr_t>(-2));
  EXPECT_EQ(passive.Directory(), u"elsewhere");
  EXPECT_FALSE(passive.Left());

  TFarPanelInfo byHandle(static_cast<uintptr_t>(12345), true);
  EXPECT_EQ(byHandle.Handle(), 0u); // the fake knows no such panel
  EXPECT_EQ(Far.Calls.back().Handle, 12345u);
}

TEST_F(FarPanelTest, RefusedPanelQueryLeavesTheSnapshotEmpty) {
  Far.ActivePanel.DirectoryPlugin = TestPluginGUID;
  Far.Refuse(TService::PanelControl, FCTL_GETPANELINFO);
  TFarPanelInfo info(true, true);
  EXPECT_EQ(info.Handle(), 0u);
  EXPECT_TRUE(info.Items().empty());
  EXPECT_TRUE(info.Directory().empty());
  EXPECT_TRUE(SameGuid(info.DirectoryPlugin(), GUID{}));
  EXPECT_EQ(info.CurrentItemIndex(), 0);
  EXPECT_EQ(Far.Calls.size(), 1u);
}

TEST_F(FarPanelTest, RefusedDirectoryLeavesOnlyTheDirectoryEmpty) {
  Far.ActivePanel.DirectoryPlugin = TestPluginGUID;
  Far.Refuse(TService::PanelControl, FCTL_GETPANELDIRECTORY);
  TFarPanelInfo info(true, true);
  EXPECT_TRUE(info.Directory().empty());
  EXPECT_TRUE(SameGuid(info.DirectoryPlugin(), GUID{}));
  EXPECT_EQ(info.Items().size(), 4u);
  EXPECT_EQ(Far.CountOf(TService::PanelControl, FCTL_GETPANELDIRECTORY), 1u);
}

TEST_F(FarPanelTest, DirectoryFieldsAndPluginGuidAreCopied) {
  Far.ActivePanel.DirectoryParam = u"param";
  Far.ActivePanel.DirectoryFile = u"archive.zip";
  Far.ActivePanel.DirectoryPlugin = TestPluginGUID;
  Far.ActivePanel.PluginHandle = 77;
  TFarPanelInfo info(true, false);
  EXPECT_EQ(info.DirectoryParam(), u"param");
  EXPECT_EQ(info.DirectoryFile(), u"archive.zip");
  EXPECT_TRUE(SameGuid(info.DirectoryPlugin(), TestPluginGUID));
  EXPECT_TRUE(info.IsPluginPanel());
}

TEST_F(FarPanelTest, RefusedItemStaysInTheListEmpty) {
  Far.Refuse(TService::PanelControl, FCTL_GETPANELITEM);
  TFarPanelInfo info(true, true);
  ASSERT_EQ(info.Items().size(), 4u);
  EXPECT_TRUE(info.Items()[2]->FileName().empty());
  EXPECT_EQ(info.Items()[2]->ItemIndex(), 2);
  EXPECT_EQ(info.Items()[2]->Flags(), 0u);
  EXPECT_FALSE(info.HasSelectedItems());
}

TEST_F(FarPanelTest, NamesHoldEveryItemInPanelOrderWithItsSelection) {
  // A long name after short ones and a short one after it: the answer buffer grows and is
  // used again, and each name is its own.
  Far.ActivePanel.SetName(1, std::u16string(300, u'x') + u"\u0416\U0001F600");
  Far.ActivePanel.Details(1).Description = std::u16string(5000, u'd');
  Far.ActivePanel.SetItemFlags(3, PPIF_SELECTED);
  TFarPanelInfo info(true, false);
  EXPECT_EQ(info.ItemsNumber(), 4u);
  Far.ClearCalls();
  const TFarPanelNames names(info);
  ASSERT_EQ(names.Count(), 4u);
  const std::u16string expected[] = {u"..", std::u16string(Far.ActivePanel.Name(1)), u"b.txt",
                                     u"sub"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(names.Name(i), expected[i]) << i;
    EXPECT_EQ(names.Selected(i), i == 2 || i == 3) << i;
  }
  // Two calls an item, as the snapshot makes.
  EXPECT_EQ(Far.Calls.size(), 2u * 4);

  // Refused items keep their places, without a name and unselected.
  Far.Refuse(TService::PanelControl, FCTL_GETPANELITEM);
  const TFarPanelNames refused(info);
  ASSERT_EQ(refused.Count(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_TRUE(refused.Name(i).empty());
    EXPECT_FALSE(refused.Selected(i));
  }
  // A panel the host did not describe has no items.
  Far.Refuse(TService::PanelControl, FCTL_GETPANELINFO);
  TFarPanelInfo none(true, false);
  EXPECT_EQ(TFarPanelNames(none).Count(), 0u);
}

TEST_F(FarPanelTest, SelectedChangesOnlyItsOwnFlagAndNotTheHost) {
  Far.ActivePanel.SetItemFlags(1, 0x5);
  TFarPanelInfo info(true, true);
  TFarPanelItem& item = *info.Items()[1];
  item.SetSelected(true);
  EXPECT_EQ(item.Flags(), 0x5u | PPIF_SELECTED);
  item.SetSelected(false);
  EXPECT_EQ(item.Flags(), 0x5u);
  EXPECT_FALSE(Far.ActivePanel.Selected(1));
}

TEST_F(FarPanelTest, ApplySelectionSendsEveryItemBetweenBeginAndEndThenRedraws) {
  TFarPanelInfo info(true, true);
  info.Items()[1]->SetSelected(true);
  info.Items()[2]->SetSelected(false);
  Far.ClearCalls();
  info.ApplySelection();

  ASSERT_EQ(Far.Calls.size(), 1u + 4 + 2);
  EXPECT_EQ(Far.Calls[0].Command, FCTL_BEGINSELECTION);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Far.Calls[1 + i].Command, FCTL_SETSELECTION);
    EXPECT_EQ(Far.Calls[1 + i].Param1, static_cast<intptr_t>(i));
    EXPECT_EQ(Far.Calls[1 + i].Param2, i == 1 ? 1u : 0u);
  }
  EXPECT_EQ(Far.Calls[5].Command, FCTL_ENDSELECTION);
  EXPECT_EQ(Far.Calls[6].Command, FCTL_REDRAWPANEL);
  EXPECT_TRUE(Far.ActivePanel.Selected(1));
  EXPECT_FALSE(Far.ActivePanel.Selected(2));
}

TEST_F(FarPanelTest, ApplySelectionWithoutItemsStillBeginsEndsAndRedraws) {
  TFarPanelInfo info(true, false);
  Far.ClearCalls();
  info.ApplySelection();
  ASSERT_EQ(Far.Calls.size(), 3u);
  EXPECT_EQ(Far.Calls[0].Command, FCTL_BEGINSELECTION);
  EXPECT_EQ(Far.Calls[1].Command, FCTL_ENDSELECTION);
  EXPECT_EQ(Far.Calls[2].Command, FCTL_REDRAWPANEL);
}

TEST_F(FarPanelTest, RefreshAsksTheHostToRereadKeepingSelection) {
  TFarPanelInfo info(false, false);
  Far.ClearCalls();
  info.Refresh();
  ASSERT_EQ(Far.Calls.size(), 1u);
  EXPECT_EQ(Far.Calls[0].Command, FCTL_UPDATEPANEL);
  EXPECT_EQ(Far.Calls[0].Handle, static_cast<uintptr_t>(-2));
  EXPECT_EQ(Far.Calls[0].Param1, 1);
}

TEST(FarPanelWithoutHost, NoServicesMeansAnEmptySnapshot) {
  FarAPI = PluginStartupInfo{};
  TFarPanelInfo info(true, true);
  EXPECT_EQ(info.Handle(), 0u);
  EXPECT_TRUE(info.Items().empty());
}

} // namespace
