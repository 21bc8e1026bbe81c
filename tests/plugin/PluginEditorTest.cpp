// Alt+F1, Alt+F2 and the editor menu on the list, through the built plugin's exports.
#include "PluginFixture.h"

#include <cstddef>

namespace {

using TService = TFakeFar::TService;

class PluginEditor : public PluginFixture {
protected:
  void SetUp() override {
    PluginFixture::SetUp();
    MakeFile("a.txt");
    MakeFile("longer.doc");
    ShowPanel({u"a.txt", u"longer.doc"});
    fEditor = OpenFromPanel();
    ASSERT_NE(fEditor, nullptr);
    fFirst = fEditor->CurLine; // the editor starts on the first entry
  }

  intptr_t OpenFromEditorMenu() {
    OpenInfo info{};
    info.StructSize = sizeof(info);
    info.OpenFrom = OPEN_EDITOR;
    return reinterpret_cast<intptr_t>(Plugin().OpenW(&info));
  }

  TFakeFar::TEditor* fEditor = nullptr;
  intptr_t fFirst = 0;
};

TEST_F(PluginEditor, AltF1JumpsToTheDestinationName) {
  EXPECT_EQ(PressKey(VK_F1, LEFT_ALT_PRESSED), 1);
  EXPECT_EQ(fEditor->CurLine, fFirst);
  EXPECT_EQ(fEditor->CurPos, 17);

  fEditor->CurLine = fFirst + 1;
  EXPECT_EQ(PressKey(VK_F1, RIGHT_ALT_PRESSED), 1);
  EXPECT_EQ(fEditor->CurPos, 17);

  // On the header the key is left to FAR.
  fEditor->CurLine = 0;
  fEditor->CurPos = 3;
  EXPECT_EQ(PressKey(VK_F1, LEFT_ALT_PRESSED), 0);
  EXPECT_EQ(fEditor->CurPos, 3);
}

TEST_F(PluginEditor, AltF2SelectsTheDestinationColumn) {
  // A blank line inside, and a destination shifted left and made longer.
  fEditor->Lines.insert(fEditor->Lines.begin() + fFirst + 1, u"");
  fEditor->Eols.insert(fEditor->Eols.begin() + fFirst + 1, u"\r\n");
  fEditor->Lines[fFirst + 2] = u"\"longer.doc\"  \"much-longer.doc\"";
  fEditor->Lines.push_back(u"not an entry");
  fEditor->Eols.push_back(u"\r\n");

  EXPECT_EQ(PressKey(VK_F2, LEFT_ALT_PRESSED), 1);
  EXPECT_EQ(fEditor->BlockType, BTYPE_COLUMN);
  EXPECT_EQ(fEditor->BlockStartLine, fFirst);
  EXPECT_EQ(fEditor->BlockStartPos, 14);
  EXPECT_EQ(fEditor->BlockWidth, 17);
  EXPECT_EQ(fEditor->BlockHeight, 3);
  EXPECT_GT(fEditor->Redraws, 0);
}

TEST_F(PluginEditor, EditorMenuRunsTheChosenCommandAndEscDoesNothing) {
  fFar->MenuAnswers = {1};
  EXPECT_EQ(OpenFromEditorMenu(), 0);
  const auto menus = fFar->CallsOf(TService::Menu);
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].Flags, FMENU_WRAPMODE);
  EXPECT_EQ(menus[0].Texts,
            (std::vector<std::u16string>{fFar->Msg(0), u"", u"", fFar->Msg(20), fFar->Msg(18)}));
  EXPECT_EQ(fEditor->BlockType, BTYPE_COLUMN);
  EXPECT_EQ(fEditor->BlockWidth, 12);
  EXPECT_EQ(fEditor->BlockHeight, 2);

  fFar->MenuAnswers = {0};
  fEditor->CurPos = 0;
  OpenFromEditorMenu();
  EXPECT_EQ(fEditor->CurPos, 17);

  fFar->ClearCalls();
  fEditor->CurPos = 0;
  OpenFromEditorMenu(); // cancelled
  EXPECT_EQ(fFar->CountOf(TService::Menu), 1u);
  EXPECT_EQ(fFar->CountOf(TService::EditorControl, ECTL_SETPOSITION), 0u);
  EXPECT_EQ(fFar->CountOf(TService::EditorControl, ECTL_SELECT), 0u);
}

TEST_F(PluginEditor, KeysThatAreNotOursAreLeftToFar) {
  EXPECT_EQ(PressKey(VK_F1, LEFT_ALT_PRESSED, false), 0);              // release
  EXPECT_EQ(PressKey(VK_F1, LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED), 0); // both Alts
  EXPECT_EQ(PressKey(VK_F1, LEFT_ALT_PRESSED | LEFT_CTRL_PRESSED), 0); // Ctrl added
  EXPECT_EQ(PressKey(VK_F2, RIGHT_ALT_PRESSED | SHIFT_PRESSED), 0);    // Shift added
  EXPECT_EQ(PressKey(VK_F1, 0), 0);                                    // plain F1
  EXPECT_EQ(PressKey(114, LEFT_ALT_PRESSED), 0);                       // Alt+F3
  EXPECT_EQ(PressKey(VK_F1, LEFT_ALT_PRESSED | 0x20), 1);              // NumLock on does not matter
  ProcessEditorInputInfo shortInfo{};
  shortInfo.StructSize = 20;
  EXPECT_EQ(Plugin().ProcessEditorInputW(&shortInfo), 0);
  // Alt+F2 in a record one byte short of the key event's end on this architecture.
  shortInfo.StructSize = offsetof(ProcessEditorInputInfo, Rec) + sizeof(shortInfo.Rec) - 1;
  shortInfo.Rec.EventType = KEY_EVENT;
  shortInfo.Rec.Event.KeyEvent.bKeyDown = 1;
  shortInfo.Rec.Event.KeyEvent.wVirtualKeyCode = VK_F2;
  shortInfo.Rec.Event.KeyEvent.dwControlKeyState = LEFT_ALT_PRESSED;
  EXPECT_EQ(Plugin().ProcessEditorInputW(&shortInfo), 0);
  EXPECT_EQ(fFar->CountOf(TService::EditorControl, ECTL_SELECT), 0u);
}

TEST_F(PluginEditor, AnEditorWithoutJobIsNotTouched) {
  TFakeFar::TEditor other;
  other.Id = fFar->NextEditorId++;
  other.FileName = fDir.Dir() + u"a.txt";
  other.SetText(u"\"a\"    \"b\"\r\n");
  fFar->Editors.push_back(other);
  fFar->CurrentEditorId = other.Id;
  fFar->ClearCalls();

  EXPECT_EQ(PressKey(VK_F1, LEFT_ALT_PRESSED), 0);
  EXPECT_EQ(PressKey(VK_F2, LEFT_ALT_PRESSED), 0);
  OpenFromEditorMenu();
  EXPECT_EQ(fFar->CountOf(TService::Menu), 0u);
  EXPECT_EQ(fFar->CountOf(TService::EditorControl, ECTL_SETPOSITION), 0u);
  EXPECT_EQ(fFar->CountOf(TService::EditorControl, ECTL_SELECT), 0u);
}

} // namespace
