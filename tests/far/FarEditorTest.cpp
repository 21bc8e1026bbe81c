#include "FarFixture.h"
#include "support/TestFiles.h"

using testing_support::TTempDir;
using testing_support::WriteBytes;

namespace {

class FarEditorTest : public FarTest {
protected:
  void SetUp() override {
    FarTest::SetUp();
    WriteBytes(Dir / "list.txt", "\xEF\xBB\xBFheader\r\n\"a\"    \"b\"\r\nthird line\r\n");
    FileName = Dir.Dir() + u"list.txt";
    ASSERT_EQ(Far.Info().Editor(FileName.c_str(), u"T", 0, 0, -1, -1, 0, 1, 1, 65001), 1);
    Id = static_cast<int32_t>(Far.CurrentEditorId);
    Far.ClearCalls();
  }

  TTempDir Dir;
  std::u16string FileName;
  int32_t Id = 0;
};

TEST_F(FarEditorTest, GetInfoSendsAZeroedRecordOfItsOwnSize) {
  Far.CurrentEditor()->CurLine = 2;
  TEditorInfo info;
  info.CurLine = 99;
  ASSERT_TRUE(TFarEditor::GetInfo(-1, info));
  EXPECT_EQ(info.EditorID, Id);
  EXPECT_EQ(info.CurLine, 2);
  EXPECT_EQ(info.TotalLines, 4); // three lines and the empty one after the last line end
  ASSERT_EQ(Far.Calls.size(), 1u);
  const auto sent = Far.Calls[0].RecordAs<EditorInfo>();
  EXPECT_EQ(Far.Calls[0].Command, ECTL_GETINFO);
  EXPECT_EQ(Far.Calls[0].Handle, static_cast<uintptr_t>(-1));
  EXPECT_EQ(sent.StructSize, sizeof(EditorInfo));
  EXPECT_EQ(sent.CurLine, 0);

  Far.Refuse(TService::EditorControl, ECTL_GETINFO);
  EXPECT_FALSE(TFarEditor::GetInfo(Id, info));
}

TEST_F(FarEditorTest, GetFileNameAsksForTheSizeThenFillsABufferOfIt) {
  std::u16string name = u"stale";
  ASSERT_TRUE(TFarEditor::GetFileName(Id, name));
  EXPECT_EQ(name, FileName);
  ASSERT_EQ(Far.Calls.size(), 2u);
  EXPECT_EQ(Far.Calls[0].Command, ECTL_GETFILENAME);
  EXPECT_EQ(Far.Calls[0].Param1, 0);
  EXPECT_EQ(Far.Calls[0].Param2, 0u);
  EXPECT_EQ(Far.Calls[1].Param1, static_cast<intptr_t>(FileName.size() + 1));
  EXPECT_NE(Far.Calls[1].Param2, 0u);
}

TEST_F(FarEditorTest, GetFileNameOfAnEmptyNameIsTrueAndEmpty) {
  Far.CurrentEditor()->FileName.clear();
  std::u16string name = u"stale";
  EXPECT_TRUE(TFarEditor::GetFileName(-1, name));
  EXPECT_TRUE(name.empty());
}

TEST_F(FarEditorTest, GetFileNameRefusedMakesOneCallAndEmptiesTheName) {
  Far.Refuse(TService::EditorControl, ECTL_GETFILENAME);
  std::u16string name = u"stale";
  EXPECT_FALSE(TFarEditor::GetFileName(Id, name));
  EXPECT_TRUE(name.empty());
  EXPECT_EQ(Far.Calls.size(), 1u);
  EXPECT_FALSE(TFarEditor::GetFileName(Id + 100, name)); // no such editor
}

TEST_F(FarEditorTest, GetStringShiftsTheSelectionStartByOne) {
  std::u16string line;
  int32_t selStart = -5, selLength = -5;
  Far.CurrentEditor()->LineSelection[1] = {3, 7};
  ASSERT_TRUE(TFarEditor::GetString(Id, 1, line, selStart, selLength));
  EXPECT_EQ(line, u"\"a\"    \"b\"");
  EXPECT_EQ(selStart, 4);
  EXPECT_EQ(selLength, 4);

  Far.CurrentEditor()->LineSelection[1] = {3, -1};
  ASSERT_TRUE(TFarEditor::GetString(Id, 1, line, selStart, selLength));
  EXPECT_EQ(selStart, 4);
  EXPECT_EQ(selLength, static_cast<int32_t>(line.size()));

  ASSERT_TRUE(TFarEditor::GetString(Id, 2, line, selStart, selLength));
  EXPECT_EQ(line, u"third line");
  EXPECT_EQ(selStart, 0);
  EXPECT_EQ(selLength, 0);

  const auto sent = Far.Calls.back().RecordAs<EditorGetString>();
  EXPECT_EQ(Far.Calls.back().Command, ECTL_GETSTRING);
  EXPECT_EQ(sent.StructSize, sizeof(EditorGetString));
  EXPECT_EQ(sent.StringNumber, 2);
}

TEST_F(FarEditorTest, GetStringRefusedLeavesSelectionUntouchedAndTextEmpty) {
  std::u16string line = u"stale";
  int32_t selStart = 42, selLength = 43;
  EXPECT_FALSE(TFarEditor::GetString(Id, 10, line, selStart, selLength)); // beyond the end
  EXPECT_TRUE(line.empty());
  EXPECT_EQ(selStart, 42);
  EXPECT_EQ(selLength, 43);
  EXPECT_FALSE(TFarEditor::GetString(Id, 10, line));
}

TEST_F(FarEditorTest, SetStringSendsTextAndLengthAndKeepsTheLineEnd) {
  ASSERT_TRUE(TFarEditor::SetString(Id, 2, u"new"));
  auto sent = Far.Calls.back().RecordAs<EditorSetString>();
  EXPECT_EQ(sent.StructSize, sizeof(EditorSetString));
  EXPECT_EQ(sent.StringNumber, 2);
  EXPECT_EQ(sent.StringLength, 3);
  EXPECT_EQ(sent.StringEOL, nullptr);
  EXPECT_EQ(Far.CurrentEditor()->Lines[2], u"new");
  EXPECT_EQ(Far.CurrentEditor()->Eols[2], u"\r\n");

  ASSERT_TRUE(TFarEditor::SetString(Id, 2, u""));
  sent = Far.Calls.back().RecordAs<EditorSetString>();
  EXPECT_EQ(sent.StringLength, 0);
  EXPECT_NE(sent.StringText, nullptr);
  EXPECT_EQ(Far.CurrentEditor()->Lines[2], u"");
}

TEST_F(FarEditorTest, SetCursorPositionKeepsFiveLinesAboveTheCursorWhenItCan) {
  const struct {
    int32_t Row;
    intptr_t Top;
  } cases[] = {{0, -1}, {4, -1}, {5, 0}, {12, 7}};
  for (const auto& c : cases) {
    ASSERT_TRUE(TFarEditor::SetCursorPosition(Id, c.Row, 3));
    const auto sent = Far.Calls.back().RecordAs<EditorSetPosition>();
    EXPECT_EQ(Far.Calls.back().Command, ECTL_SETPOSITION);
    EXPECT_EQ(sent.StructSize, sizeof(EditorSetPosition));
    EXPECT_EQ(sent.CurLine, c.Row);
    EXPECT_EQ(sent.CurPos, 3);
    EXPECT_EQ(sent.CurTabPos, -1);
    EXPECT_EQ(sent.TopScreenLine, c.Top) << "row " << c.Row;
    EXPECT_EQ(sent.LeftPos, -1);
    EXPECT_EQ(sent.Overtype, -1);
  }

  ASSERT_TRUE(TFarEditor::SetCursorPosition(Id, 6));
  const auto sent = Far.Calls.back().RecordAs<EditorSetPosition>();
  EXPECT_EQ(sent.CurLine, 6);
  EXPECT_EQ(sent.CurPos, -1);
  EXPECT_EQ(sent.TopScreenLine, 1);

  ASSERT_TRUE(TFarEditor::SetCursorPosition(Id, 1, 2, 3, 4, 5, 1));
  const auto full = Far.Calls.back().RecordAs<EditorSetPosition>();
  EXPECT_EQ(full.CurTabPos, 3);
  EXPECT_EQ(full.TopScreenLine, 4);
  EXPECT_EQ(full.LeftPos, 5);
  EXPECT_EQ(full.Overtype, 1);
  EXPECT_EQ(Far.CurrentEditor()->CurLine, 1);
  EXPECT_EQ(Far.CurrentEditor()->CurPos, 2);
}

TEST_F(FarEditorTest, RefreshRedrawsWithoutARecordAndRefusalsAreFalse) {
  ASSERT_TRUE(TFarEditor::Refresh(Id));
  EXPECT_EQ(Far.Calls.back().Command, ECTL_REDRAW);
  EXPECT_EQ(Far.Calls.back().Param2, 0u);
  EXPECT_EQ(Far.CurrentEditor()->Redraws, 1);

  Far.Refuse(TService::EditorControl);
  EXPECT_FALSE(TFarEditor::Refresh(Id));
  EXPECT_FALSE(TFarEditor::SetCursorPosition(Id, 1, 1));
  EXPECT_FALSE(TFarEditor::SetString(Id, 1, u"x"));
}

} // namespace
