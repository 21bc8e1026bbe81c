#include "FarFixture.h"

namespace {

constexpr GUID TestDialogGUID{0xD1A1, 1, 2, {3}};

// A dialog that counts ClearDialog and can be given a host handle.
class TTestDialog : public TFarDialog {
public:
  TTestDialog() : TFarDialog(TestPluginGUID, TestDialogGUID) {}
  void ClearDialog() override {
    ++Clears;
    TFarDialog::ClearDialog();
  }
  int Clears = 0;
};

class FarDialogTest : public FarTest {
protected:
  static constexpr uintptr_t Handle = 0x5150;
  void OpenHostDialog(TFarDialog& ADialog) {
    Far.Dialogs[Handle] = {{u"first", 1, true}, {u"", 0, false}};
    ADialog.AttachDialog(Handle);
  }
};

TEST_F(FarDialogTest, NewDialogIsRegisteredWithoutAHostDialog) {
  TTestDialog dialog;
  EXPECT_EQ(dialog.DialogHandle(), TFarDialog::NoDialog);
  EXPECT_TRUE(SameGuid(dialog.PluginGUID(), TestPluginGUID));
  EXPECT_TRUE(SameGuid(dialog.DialogGUID(), TestDialogGUID));
  ASSERT_EQ(FarDialogs->size(), 1u);
  EXPECT_EQ((*FarDialogs)[0], &dialog);
  // A registered dialog without a handle is never found through -1.
  EXPECT_EQ(TFarDialog::GetDialogInstance(TFarDialog::NoDialog), nullptr);

  EXPECT_FALSE(dialog.GetItemChecked(0));
  EXPECT_FALSE(dialog.GetItemEnabled(0));
  EXPECT_EQ(dialog.GetItemText(0), u"");
  dialog.SetItemChecked(0, true);
  dialog.SetItemText(0, u"x");
  dialog.SetItemEnabled(0, true);
  EXPECT_TRUE(Far.Calls.empty());
}

TEST_F(FarDialogTest, DestroyedDialogLeavesTheRegistry) {
  {
    TTestDialog first;
    TTestDialog second;
    EXPECT_EQ(FarDialogs->size(), 2u);
  }
  EXPECT_TRUE(FarDialogs->empty());
  EXPECT_TRUE(Far.Calls.empty());
}

TEST_F(FarDialogTest, ItemsAnswerForEverySlotBelowTheCapacity) {
  TTestDialog dialog;
  ASSERT_TRUE(dialog.SetCapacity(4));
  FarDialogItem item{};
  item.X1 = 3;
  ASSERT_EQ(dialog.AddItem(item), 0);
  EXPECT_EQ(dialog.Count(), 1);
  EXPECT_NE(dialog.GetItem(3), nullptr); // above the count, below the capacity
  EXPECT_EQ(dialog.GetItem(4), nullptr);
  EXPECT_EQ(dialog.GetItem(-1), nullptr);
  EXPECT_EQ(dialog[0]->X1, 3);
  EXPECT_EQ(reinterpret_cast<char*>(dialog.GetItem(2)) - reinterpret_cast<char*>(dialog.GetItem(0)),
            static_cast<ptrdiff_t>(2 * sizeof(FarDialogItem)));
  dialog.ClearDialog();
  for (int32_t i = -1; i < 5; ++i)
    EXPECT_EQ(dialog.GetItem(i), nullptr);
  EXPECT_EQ(dialog.Capacity(), 0);
}

TEST_F(FarDialogTest, ItemStateTravelsThroughDialogMessages) {
  TTestDialog dialog;
  OpenHostDialog(dialog);
  EXPECT_EQ(TFarDialog::GetDialogInstance(Handle), &dialog);

  EXPECT_TRUE(dialog.GetItemChecked(0));
  EXPECT_EQ(Far.Calls.back().Command, DM_GETCHECK);
  EXPECT_EQ(Far.Calls.back().Handle, Handle);
  Far.Dialogs[Handle][0].Checked = 2; // a third state counts as checked
  EXPECT_TRUE(dialog.GetItemChecked(0));
  dialog.SetItemChecked(0, false);
  EXPECT_EQ(Far.Calls.back().Command, DM_SETCHECK);
  EXPECT_EQ(Far.Calls.back().Param2, 0u);
  dialog.SetItemChecked(1, true);
  EXPECT_EQ(Far.Calls.back().Param2, 1u);

  EXPECT_FALSE(dialog.GetItemEnabled(1));
  EXPECT_EQ(Far.Calls.back().Command, DM_ENABLE);
  EXPECT_EQ(Far.Calls.back().Param2, static_cast<uintptr_t>(-1));
  dialog.SetItemEnabled(1, true);
  EXPECT_EQ(Far.Calls.back().Param2, 1u);
  EXPECT_TRUE(dialog.GetItemEnabled(1));
}

TEST_F(FarDialogTest, ItemTextIsFetchedInTwoMessages) {
  TTestDialog dialog;
  OpenHostDialog(dialog);
  Far.ClearCalls();
  EXPECT_EQ(dialog.GetItemText(0), u"first");
  ASSERT_EQ(Far.Calls.size(), 2u);
  EXPECT_EQ(Far.Calls[0].Param2, 0u);
  const auto data = Far.Calls[1].RecordAs<FarDialogItemData>();
  EXPECT_EQ(data.StructSize, sizeof(FarDialogItemData));
  EXPECT_EQ(data.PtrLength, 5u);

  Far.ClearCalls();
  EXPECT_EQ(dialog.GetItemText(1), u""); // an empty text: one message only
  EXPECT_EQ(Far.Calls.size(), 1u);

  dialog.SetItemText(1, u"");
  const auto sent = Far.Calls.back().RecordAs<FarDialogItemData>();
  EXPECT_EQ(Far.Calls.back().Command, DM_SETTEXT);
  EXPECT_EQ(sent.PtrLength, 0u);
  EXPECT_NE(sent.PtrData, nullptr);
  dialog.SetItemText(1, u"second");
  EXPECT_EQ(Far.Dialogs[Handle][1].Text, u"second");
}

TEST_F(FarDialogTest, DestroyFreesTheHostDialogOnceAndClearsOnce) {
  auto* dialog = new TTestDialog();
  OpenHostDialog(*dialog);
  dialog->ClearDialog(); // closes: freed and out of the registry
  EXPECT_EQ(Far.CountOf(TService::DialogFree), 1u);
  EXPECT_TRUE(FarDialogs->empty());
  EXPECT_EQ(TFarDialog::GetDialogInstance(Handle), nullptr);

  OpenHostDialog(*dialog);
  EXPECT_EQ(FarDialogs->size(), 1u);
  delete dialog;
  EXPECT_EQ(Far.CountOf(TService::DialogFree), 2u);
  EXPECT_TRUE(FarDialogs->empty());
}

TEST_F(FarDialogTest, BaseMessageHandlerAnswersZero) {
  TTestDialog dialog;
  intptr_t result = 7;
  EXPECT_EQ(dialog.HandleDialogMessage(1, 2, 3, result), 0);
  EXPECT_EQ(result, 0);
}

} // namespace
