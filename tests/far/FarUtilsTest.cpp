#include "FarFixture.h"
#include "system/uSystem.h"

namespace {

using FarUtilsTest = FarTest;

TEST(FarUtilsCopy, CopiesHostTextsIntoStrings) {
  EXPECT_EQ(TFarUtils::CopyString(static_cast<const char16_t*>(nullptr)), u"");
  EXPECT_EQ(TFarUtils::CopyString(u""), u"");
  EXPECT_EQ(TFarUtils::CopyString(u"abc"), u"abc");
  EXPECT_EQ(TFarUtils::CopyLString(u"abc", 0), u"");
  EXPECT_EQ(TFarUtils::CopyLString(nullptr, 3), u"");
  EXPECT_EQ(TFarUtils::CopyLString(u"abc", -1), u"");
  const char16_t withZero[] = {u'a', 0, u'b'};
  EXPECT_EQ(TFarUtils::CopyLString(withZero, 3), std::u16string(withZero, 3));

  EXPECT_EQ(TFarUtils::CopyString(TFarCharArray{}), u"");
  EXPECT_EQ(TFarUtils::CopyString(TFarCharArray{u'x', u'y', 0, u'z'}), u"xy");
  EXPECT_EQ(TFarUtils::CopyString(TFarCharArray{u'x', u'y'}), u"xy");
}

TEST_F(FarUtilsTest, FullFileNameConvertsThroughTheHostInTwoCalls) {
  Far.ConvertPathPrefix = u"\\\\?\\";
  EXPECT_EQ(TFarUtils::FullFileName(u"C:\\dir", true), u"\\\\?\\C:\\dir");
  ASSERT_EQ(Far.Calls.size(), 2u);
  EXPECT_EQ(Far.Calls[0].Command, CPM_NATIVE);
  EXPECT_EQ(Far.Calls[0].Param2, 0u);
  EXPECT_EQ(Far.Calls[0].Args[0], 0);
  EXPECT_EQ(Far.Calls[1].Args[0], Far.Calls[0].Result);
  EXPECT_EQ(Far.Calls[1].Texts[0], u"C:\\dir");
}

TEST_F(FarUtilsTest, FullFileNameOfNothingOrRefusedIsEmpty) {
  EXPECT_EQ(TFarUtils::FullFileName(u"", true), u"");
  EXPECT_TRUE(Far.Calls.empty());
  Far.Refuse(TService::ConvertPath);
  EXPECT_EQ(TFarUtils::FullFileName(u"dir", true), u"");
  EXPECT_EQ(Far.Calls.size(), 1u);
}

TEST_F(FarUtilsTest, ShowMessagePassesLinesFlagsAndButtons) {
  Far.MessageAnswers = {2};
  const char16_t* lines[] = {u"Title", u"Text", u"A", u"B", u"C"};
  EXPECT_EQ(TFarUtils::ShowMessage(lines, 5, FMSG_WARNING, 3), 2);
  const auto& call = Far.Calls.back();
  EXPECT_EQ(call.Service, TService::Message);
  EXPECT_EQ(call.Flags, FMSG_WARNING);
  EXPECT_EQ(call.Args[0], 3);
  EXPECT_EQ(call.Texts, (std::vector<std::u16string>{u"Title", u"Text", u"A", u"B", u"C"}));
  EXPECT_TRUE(SameGuid(call.PluginId, TestPluginGUID));
  EXPECT_TRUE(SameGuid(call.Id, GUID{}));

  // No scripted answer: the user cancels.
  EXPECT_LT(TFarUtils::ShowMessage(lines, 0, 0, 0), 0);
  EXPECT_EQ(Far.Calls.back().Param1, 0);

  EXPECT_LT(TFarUtils::ShowMessage(std::vector<std::u16string>{u"T", u"", u"OK"}, 0, 1), 0);
  EXPECT_EQ(Far.Calls.back().Texts, (std::vector<std::u16string>{u"T", u"", u"OK"}));
}

TEST_F(FarUtilsTest, MenuPassesItemsAndAnswersTheChoice) {
  const GUID menuId{7, 7, 7, {7}};
  int32_t index = 99;
  EXPECT_FALSE(TFarUtils::Menu(menuId, u"Title", nullptr, {}, index));
  EXPECT_EQ(index, 99);
  EXPECT_TRUE(Far.Calls.empty());

  Far.MenuAnswers = {1};
  ASSERT_TRUE(TFarUtils::Menu(menuId, u"Title", u"Help", {u"one", u"two"}, index));
  EXPECT_EQ(index, 1);
  const auto& call = Far.Calls.back();
  EXPECT_EQ(call.Flags, FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT);
  EXPECT_EQ(call.Args, (std::vector<intptr_t>{-1, -1, 0}));
  EXPECT_TRUE(SameGuid(call.Id, menuId));
  EXPECT_TRUE(SameGuid(call.PluginId, TestPluginGUID));
  EXPECT_EQ(call.Texts, (std::vector<std::u16string>{u"Title", u"", u"Help", u"one", u"two"}));

  index = 99;
  EXPECT_FALSE(TFarUtils::Menu(menuId, u"Title", nullptr, {u"one"}, index)); // cancelled
  EXPECT_EQ(index, 99);
}

TEST_F(FarUtilsTest, TruncateStringFitsExactlyTheWidth) {
  EXPECT_EQ(TFarUtils::TruncateString(u"abc", 5, u'.'), u"abc..");
  EXPECT_EQ(TFarUtils::TruncateString(u"abc", 3, u'.'), u"abc");
  EXPECT_TRUE(Far.Calls.empty());
  const std::u16string path = u"C:\\a\\long\\path\\name.txt";
  for (int32_t width : {0, 2, 5, 10}) {
    const std::u16string result = TFarUtils::TruncateString(path, width, u' ');
    EXPECT_EQ(result.size(), static_cast<size_t>(width));
    EXPECT_EQ(Far.Calls.back().Service, TService::TruncPathStr);
    EXPECT_EQ(Far.Calls.back().Args[0], width);
  }
  Far.Refuse(TService::TruncPathStr);
  EXPECT_EQ(TFarUtils::TruncateString(path, 4, u' '), u"C:\\a");
  EXPECT_EQ(TFarUtils::TruncateString(path, -3, u' '), u"");
}

TEST_F(FarUtilsTest, ConsoleGeometryFallsBackTo80By25) {
  Far.FarRect = {0, 0, 119, 39};
  EXPECT_EQ(TFarUtils::GetConsoleWidth(), 120);
  EXPECT_EQ(TFarUtils::GetConsoleHeight(), 40);
  EXPECT_EQ(Far.Calls.back().Command, ACTL_GETFARRECT);
  Far.Refuse(TService::AdvControl, ACTL_GETFARRECT);
  EXPECT_EQ(TFarUtils::GetConsoleWidth(), 80);
  EXPECT_EQ(TFarUtils::GetConsoleHeight(), 25);
  const win::SMALL_RECT rect = TFarUtils::GetConsoleRect();
  EXPECT_EQ(rect.Left, 0);
  EXPECT_EQ(rect.Bottom, 24);
}

TEST_F(FarUtilsTest, ProgressValueIsSentOnlyForAStateWithATotal) {
  EXPECT_TRUE(TFarUtils::SetProgressState(2, 5, 10));
  ASSERT_EQ(Far.Calls.size(), 2u);
  EXPECT_EQ(Far.Calls[0].Command, ACTL_SETPROGRESSSTATE);
  EXPECT_EQ(Far.Calls[0].Param1, 2);
  EXPECT_EQ(Far.Calls[1].Command, ACTL_SETPROGRESSVALUE);
  const auto value = Far.Calls[1].RecordAs<ProgressValue>();
  EXPECT_EQ(value.StructSize, sizeof(ProgressValue));
  EXPECT_EQ(value.Completed, 5u);
  EXPECT_EQ(value.Total, 10u);

  for (auto args : {std::array<int64_t, 3>{2, 0, 0}, {0, 5, 10}, {2, -1, 10}}) {
    Far.ClearCalls();
    EXPECT_TRUE(TFarUtils::SetProgressState(static_cast<uint32_t>(args[0]), args[1], args[2]));
    EXPECT_EQ(Far.Calls.size(), 1u);
  }
  Far.ClearCalls();
  EXPECT_TRUE(TFarUtils::SetProgressState(1));
  EXPECT_EQ(Far.Calls.size(), 1u);

  Far.Refuse(TService::AdvControl, ACTL_SETPROGRESSVALUE);
  EXPECT_FALSE(TFarUtils::SetProgressState(2, 1, 2));
  Far.Refuse(TService::AdvControl, ACTL_SETPROGRESSSTATE);
  EXPECT_FALSE(TFarUtils::SetProgressState(1));
}

TEST_F(FarUtilsTest, GetMsgOfANegativeIdIsEmptyWithoutAHostCall) {
  EXPECT_EQ(std::u16string(TFarUtils::GetMsg(-1)), u"");
  EXPECT_TRUE(Far.Calls.empty());
  EXPECT_EQ(std::u16string(TFarUtils::GetMsg(0)), u"Quorvane");
  EXPECT_EQ(Far.Calls.back().Command, 0);
  EXPECT_TRUE(SameGuid(Far.Calls.back().PluginId, TestPluginGUID));
}

TEST_F(FarUtilsTest, TempFileNameComesFromTheHost) {
  const std::u16string name = TFarUtils::TempFileName();
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(name.find(u'\0'), std::u16string::npos);
  const auto& call = Far.Calls.back();
  EXPECT_EQ(call.Service, TService::MkTemp);
  EXPECT_EQ(call.Args[0], 260);
  EXPECT_EQ(call.Texts[0], u""); // no prefix
  EXPECT_NE(name.find(u"FAR"), std::u16string::npos);
}

TEST_F(FarUtilsTest, TempFileNameFallsBackToTheSystemsTemporaryDirectory) {
  InitializeSystem();
  Far.Refuse(TService::MkTemp);
  const std::u16string name = TFarUtils::TempFileName();
  const std::u16string directory = GetTempDirectory();
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(name.compare(0, directory.size(), directory), 0);
  ASSERT_NE(TempFiles, nullptr);
  EXPECT_NE(std::find(TempFiles->begin(), TempFiles->end(), name), TempFiles->end());
  FinalizeSystem();
}

} // namespace
