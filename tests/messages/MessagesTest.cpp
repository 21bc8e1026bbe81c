#include <gtest/gtest.h>

#include "far/uFAR.h"
#include "messages/uMessages.h"
#include "support/FakeFar.h"

namespace {

using TService = TFakeFar::TService;

constexpr GUID PluginGUID{0xABCD, 3, 4, {5, 6}};

class MessagesTest : public ::testing::Test {
protected:
  void SetUp() override {
    Far.Install();
    FarPluginGUID = PluginGUID;
  }
  void TearDown() override { FarPluginGUID = GUID{}; }
  TFakeFar Far;
};

TEST_F(MessagesTest, NoMessageIsEmptyWithoutAskingTheHost) {
  EXPECT_EQ(std::u16string(GetMessageText(MNone)), u"");
  EXPECT_TRUE(Far.Calls.empty());
}

TEST_F(MessagesTest, TextsComeFromTheHostByIdWithThePluginGuid) {
  const char16_t* title = GetMessageText(MTitle);
  EXPECT_EQ(std::u16string(title), u"Quorvane");
  ASSERT_EQ(Far.Calls.size(), 1u);
  EXPECT_EQ(Far.Calls[0].Service, TService::GetMsg);
  EXPECT_EQ(Far.Calls[0].Command, MTitle);
  EXPECT_EQ(std::memcmp(&Far.Calls[0].PluginId, &PluginGUID, sizeof(GUID)), 0);
  // The host's own pointer, not a copy.
  EXPECT_EQ(GetMessageText(MTitle), title);
  EXPECT_EQ(std::u16string(GetMessageText(MJumpCommand)), Far.Msg(20));
}

TEST_F(MessagesTest, MissingHostTextBecomesEmpty) {
  Far.Refuse(TService::GetMsg);
  const char16_t* text = GetMessageText(MOk);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text), u"");
}

TEST_F(MessagesTest, ShowMessageIdsShowsAWarningBoxOfTheTexts) {
  Far.MessageAnswers = {0};
  EXPECT_EQ(ShowMessageIds({MTitle, MNothingToList, MOk}, 1, FMSG_WARNING), 0);
  const auto boxes = Far.CallsOf(TService::Message);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Flags, FMSG_WARNING);
  EXPECT_EQ(boxes[0].Args[0], 1);
  EXPECT_EQ(boxes[0].Texts, (std::vector<std::u16string>{Far.Msg(0), Far.Msg(10), Far.Msg(1)}));
  EXPECT_EQ(std::memcmp(&boxes[0].PluginId, &PluginGUID, sizeof(GUID)), 0);

  // Cancelled: the host's negative answer comes back.
  const TMessageId ids[] = {MTitle, MMoveFailed, MRetry, MOverwrite, MSkip, MSkipAll};
  EXPECT_LT(ShowMessageIds(ids, 6, 4, FMSG_WARNING), 0);
  EXPECT_EQ(Far.CallsOf(TService::Message).back().Texts.size(), 6u);
}

} // namespace
