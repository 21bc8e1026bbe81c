#include "FarFixture.h"
#include "support/TestFiles.h"
#include "system/uSystem.h"

using testing_support::ReadBytes;
using testing_support::TTempDir;
using testing_support::WriteBytes;

namespace {

// A managed editor that can refuse to close and counts its events.
class TTestEditor : public TFarEditorManaged {
public:
  using TFarEditorManaged::TFarEditorManaged;
  ~TTestEditor() override { ++*Destroyed; }
  void EditorClosed(bool& AClose, int32_t& AResult) override {
    ++Closes;
    AClose = CloseOnClose;
    AResult = 42;
  }
  void EditorShown() override { ++Shown; }

  bool CloseOnClose = true;
  int Closes = 0;
  int Shown = 0;
  int* Destroyed = &fDestroyedSink;

private:
  int fDestroyedSink = 0;
};

class FarEditorManagedTest : public FarTest {
protected:
  void SetUp() override {
    FarTest::SetUp();
    WriteBytes(Dir / "f.txt", "one\r\ntwo\r\nthree\r\n");
    FileName = Dir.Dir() + u"f.txt";
  }

  TTempDir Dir;
  std::u16string FileName;
};

TEST_F(FarEditorManagedTest, ShowEditorAddsImmediateReturnButDoesNotStoreIt) {
  TTestEditor editor(FileName);
  EXPECT_EQ(editor.EditorID(), 0);
  ASSERT_TRUE(editor.ShowEditor(u"Title", 0, 0, -1, -1, EF_NONMODAL, 2, 1, 65001));
  EXPECT_EQ(editor.EditorID(), Far.CurrentEditorId);
  EXPECT_EQ(editor.Shown, 1);
  const auto call = Far.CallsOf(TService::Editor).back();
  EXPECT_EQ(call.Flags, EF_NONMODAL | EF_IMMEDIATERETURN);
  EXPECT_EQ(call.Texts, (std::vector<std::u16string>{FileName, u"Title"}));
  EXPECT_EQ(call.Args, (std::vector<intptr_t>{0, 0, -1, -1, 2, 1, 65001}));

  // Reopened after a refused close: the stored flags come back without 0x100.
  editor.CloseOnClose = false;
  int32_t result = 0;
  TFarEditorManaged::ProcessEditorEvent(EE_CLOSE, editor.EditorID(), result);
  EXPECT_EQ(Far.CallsOf(TService::Editor).back().Flags, EF_NONMODAL | EF_IMMEDIATERETURN);
}

TEST_F(FarEditorManagedTest, ShowEditorFailsWhenTheHostDoesNotOpenOrTellTheId) {
  TTestEditor editor(FileName);
  Far.EditorResult = 0;
  EXPECT_FALSE(editor.ShowEditor(u"T", 0, 0, -1, -1, 0, 0, 0, 0));
  Far.EditorResult = 1;
  Far.Refuse(TService::EditorControl, ECTL_GETINFO);
  EXPECT_FALSE(editor.ShowEditor(u"T", 0, 0, -1, -1, 0, 0, 0, 0));
  EXPECT_EQ(editor.EditorID(), 0);
  EXPECT_EQ(editor.Shown, 0);
}

TEST_F(FarEditorManagedTest, FindByEditorIdFindsTheEarliestRegistered) {
  TTestEditor first(FileName);
  TTestEditor second(FileName);
  TFarEditorManaged* found = &first;
  ASSERT_TRUE(TFarEditorManaged::FindByEditorID(0, found)); // never shown: id 0
  EXPECT_EQ(found, &first);
  EXPECT_FALSE(TFarEditorManaged::FindByEditorID(-2, found));
  EXPECT_EQ(found, nullptr);
  found = &first;
  EXPECT_FALSE(TFarEditorManaged::FindByEditorID(-1, found)); // no current editor
  EXPECT_EQ(found, nullptr);

  ASSERT_TRUE(second.ShowEditor(u"T", 0, 0, -1, -1, 0, 0, 0, 0));
  ASSERT_TRUE(TFarEditorManaged::FindByEditorID(-1, found));
  EXPECT_EQ(found, &second);
}

TEST_F(FarEditorManagedTest, BaseCloseDestroysTheObject) {
  auto* editor = new TFarEditorManaged(FileName);
  ASSERT_TRUE(editor->ShowEditor(u"T", 0, 0, -1, -1, 0, 0, 0, 0));
  int32_t result = 5;
  TFarEditorManaged::ProcessEditorEvent(EE_SAVE, editor->EditorID(), result); // ignored
  ASSERT_EQ(ManagedEditors->size(), 1u);
  TFarEditorManaged::ProcessEditorEvent(EE_CLOSE, editor->EditorID(), result);
  EXPECT_TRUE(ManagedEditors->empty());
  EXPECT_EQ(result, 5);
}

TEST_F(FarEditorManagedTest, RefusedCloseReopensWithTheCursorWhereItWas) {
  int destroyed = 0;
  auto* editor = new TTestEditor(FileName);
  editor->Destroyed = &destroyed;
  editor->CloseOnClose = false;
  ASSERT_TRUE(editor->ShowEditor(u"Title", 0, 0, -1, -1, 0, 0, 0, 65001));
  const int32_t oldId = editor->EditorID();
  TFakeFar::TEditor& host = *Far.FindEditor(oldId);
  host.CurLine = 2;
  host.CurPos = 3;
  host.CurTabPos = 4;
  host.TopScreenLine = 1;
  host.LeftPos = 0;
  host.Overtype = 1;
  Far.ClearCalls();

  int32_t result = 0;
  TFarEditorManaged::ProcessEditorEvent(EE_CLOSE, oldId, result);
  EXPECT_EQ(result, 42);
  EXPECT_EQ(destroyed, 0);
  EXPECT_NE(editor->EditorID(), oldId);
  EXPECT_EQ(editor->Shown, 2);
  const auto open = Far.CallsOf(TService::Editor).back();
  EXPECT_EQ(open.Args, (std::vector<intptr_t>{-1, -1, -1, -1, 2, 3, 65001}));
  EXPECT_EQ(open.Texts[1], u"Title");
  const auto position = Far.CallsOf(TService::EditorControl, ECTL_SETPOSITION).back();
  EXPECT_EQ(position.Handle, static_cast<uintptr_t>(editor->EditorID()));
  const auto sent = position.RecordAs<EditorSetPosition>();
  EXPECT_EQ(sent.CurLine, 2);
  EXPECT_EQ(sent.CurPos, 3);
  EXPECT_EQ(sent.CurTabPos, 4);
  EXPECT_EQ(sent.TopScreenLine, 1);
  EXPECT_EQ(sent.LeftPos, 0);
  EXPECT_EQ(sent.Overtype, 1);
  EXPECT_EQ(editor->FileName(), FileName); // without EF_DELETEONLYFILEONCLOSE: not moved

  editor->CloseOnClose = true;
  TFarEditorManaged::ProcessEditorEvent(EE_CLOSE, editor->EditorID(), result);
  EXPECT_EQ(destroyed, 1);
}

TEST_F(FarEditorManagedTest, ReopenWithoutEditorInfoStartsAtTheTop) {
  auto editor = std::make_unique<TTestEditor>(FileName);
  editor->CloseOnClose = false;
  ASSERT_TRUE(editor->ShowEditor(u"T", 0, 0, -1, -1, 0, 0, 0, 1251));
  const int32_t oldId = editor->EditorID();
  Far.CloseEditor(oldId); // its information can no longer be read
  Far.ClearCalls();
  int32_t result = 0;
  TFarEditorManaged::ProcessEditorEvent(EE_CLOSE, oldId, result);
  const auto open = Far.CallsOf(TService::Editor).back();
  EXPECT_EQ(open.Args, (std::vector<intptr_t>{0, 0, -1, -1, 0, 1, 1251}));
  EXPECT_EQ(Far.CountOf(TService::EditorControl, ECTL_SETPOSITION), 0u);
}

TEST_F(FarEditorManagedTest, DeleteOnCloseFileIsMovedAwayBeforeReopening) {
  InitializeSystem();
  Far.MkTempDirectory = Dir.Dir();
  auto editor = std::make_unique<TTestEditor>(FileName);
  editor->CloseOnClose = false;
  ASSERT_TRUE(editor->ShowEditor(u"T", 0, 0, -1, -1, EF_DELETEONLYFILEONCLOSE, 0, 0, 0));
  int32_t result = 0;
  TFarEditorManaged::ProcessEditorEvent(EE_CLOSE, editor->EditorID(), result);
  EXPECT_NE(editor->FileName(), FileName);
  EXPECT_FALSE(FileExists(FileName));
  EXPECT_EQ(ReadBytes(U16ToPath(editor->FileName())), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(Far.CallsOf(TService::Editor).back().Texts[0], editor->FileName());
  FinalizeSystem();
}

} // namespace
