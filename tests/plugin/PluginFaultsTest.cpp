// What goes wrong around the list file and the editor: no exception reaches FAR, the job
// ends, and no temporary file outlives the plugin.
#include "PluginFixture.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using TService = TFakeFar::TService;

class PluginFaults : public PluginFixture {
protected:
  void SetUp() override {
    PluginFixture::SetUp();
    MakeFile("a.txt", "A");
    ShowPanel({u"a.txt"});
  }
  std::vector<std::u16string> Box(intptr_t AMessage) const {
    return {fFar->Msg(0), fFar->Msg(AMessage), fFar->Msg(1)};
  }
  // Whether a job still answers Alt+F1 in editor AId.
  bool HasJob(intptr_t AId) {
    fFar->CurrentEditorId = AId;
    return PressKey(VK_F1, LEFT_ALT_PRESSED) == 1;
  }
};

// Whatever became of the saved list, one box says that it could not be read and that
// nothing was renamed, and the job ends.
TEST_F(PluginFaults, ListThatCannotBeReadAtTheCloseRenamesNothingAndSaysSo) {
  namespace fs = std::filesystem;
  const std::vector<std::pair<const char*, void (*)(const fs::path&)>> losses = {
      {"deleted", [](const fs::path& AList) { fs::remove(AList); }},
      {"a folder", [](const fs::path& AList) { fs::remove(AList), fs::create_directory(AList); }},
#ifndef _WIN32
      // Opening a named pipe would wait for a writer.
      {"a named pipe",
       [](const fs::path& AList) { fs::remove(AList), mkfifo(AList.c_str(), 0600); }},
#endif
  };
  for (const auto& [what, lose] : losses) {
    SCOPED_TRACE(what);
    fFar->ClearCalls();
    TFakeFar::TEditor* editor = OpenFromPanel();
    ASSERT_NE(editor, nullptr);
    const intptr_t id = editor->Id;
    const fs::path list = U16ToPath(editor->FileName);
    SetDestination(*editor, editor->CurLine, u"b.txt");
    ASSERT_TRUE(HasJob(id));
    lose(list);
#ifndef _WIN32
    // Both ends held, so that code that still waited on the pipe would not hang the test.
    const int pipe = open(list.c_str(), O_RDWR | O_NONBLOCK);
#endif
    fFar->ClearCalls();

    ProcessEditorEventInfo info{};
    info.StructSize = sizeof(info);
    info.Event = EE_CLOSE;
    info.EditorID = id;
    EXPECT_EQ(Plugin().ProcessEditorEventW(&info), 0);
    EXPECT_EQ(Boxes(), std::vector<std::vector<std::u16string>>{Box(12)});
    EXPECT_FALSE(HasJob(id));
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
#ifndef _WIN32
    if (pipe >= 0) close(pipe);
#endif
    fs::remove_all(list);
  }
  UnloadPlugin();
  EXPECT_TRUE(TempLeftovers().empty());
}

TEST_F(PluginFaults, MissingTemporaryDirectoryIsReportedAndNothingIsWritten) {
  const std::u16string missing = fTempDir.Dir() + u"missing" + fTempDir.Dir().back();
  SetTempDirectoryVariable(missing);
  const auto before = Names();
  EXPECT_EQ(OpenFromPanel(), nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::vector<std::u16string>>{Box(8)});
  EXPECT_EQ(fFar->CountOf(TService::Editor), 0u);
  EXPECT_EQ(Names(), before);
  EXPECT_FALSE(std::filesystem::exists(".txt"));
  UnloadPlugin();
  EXPECT_TRUE(TempLeftovers().empty());
}

TEST_F(PluginFaults, EditorThatDoesNotOpenEndsTheJobAndDeletesTheList) {
  fFar->EditorResult = EEC_OPEN_ERROR;
  EXPECT_EQ(OpenFromPanel(), nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::vector<std::u16string>>{Box(8)});
  const auto opened = fFar->CallsOf(TService::Editor);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(U16ToPath(opened[0].Texts[0])));
  UnloadPlugin();
  EXPECT_TRUE(TempLeftovers().empty());
}

TEST_F(PluginFaults, UnreadableEditorInfoEndsTheJobWhileTheWindowStays) {
  fFar->Refuse(TService::EditorControl, ECTL_GETINFO);
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::vector<std::u16string>>{Box(9)});
  EXPECT_FALSE(std::filesystem::exists(U16ToPath(editor->FileName)));
  fFar->Accept(TService::EditorControl, ECTL_GETINFO);
  EXPECT_FALSE(HasJob(editor->Id));
  fFar->ClearCalls();
  CloseEditor(editor->Id);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

TEST_F(PluginFaults, ListsOfOpenEditorsGoWhenThePluginIsUnloaded) {
  ASSERT_NE(OpenFromPanel(), nullptr);
  ShowPanel({u"a.txt"});
  ASSERT_NE(OpenFromPanel(), nullptr);
  EXPECT_FALSE(TempLeftovers().empty());
  UnloadPlugin();
  EXPECT_TRUE(TempLeftovers().empty());
}

TEST_F(PluginFaults, RefusingHostServicesNeverCrash) {
  for (TService service : {TService::PanelControl, TService::GetMsg, TService::Message,
                           TService::EditorControl, TService::MkTemp}) {
    fFar->Refuse(service);
    TFakeFar::TEditor* editor = OpenFromPanel();
    if (editor) CloseEditor(editor->Id);
    fFar->Accept(service);
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
  UnloadPlugin();
  EXPECT_TRUE(TempLeftovers().empty());
}

TEST_F(PluginFaults, RefusedFullPathStillRenamesInThePanelDirectory) {
  fFar->Refuse(TService::ConvertPath);
  TFakeFar::TEditor* editor = OpenFromPanel();
  ASSERT_NE(editor, nullptr);
  SetDestination(*editor, editor->CurLine, u"b.txt");
  CloseEditor(editor->Id);
  EXPECT_EQ(Names(), std::vector<std::string>{"b.txt"});
}

TEST_F(PluginFaults, PanelWithoutDirectoryListsNothing) {
  fFar->ActivePanel.Directory.clear();
  fFar->Refuse(TService::ConvertPath);
  EXPECT_EQ(OpenFromPanel(), nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::vector<std::u16string>>{Box(27)});
}

} // namespace
