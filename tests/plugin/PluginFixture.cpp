#include "PluginFixture.h"

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;
using testing_support::ReadBytes;

std::u16string U(const std::string& AUtf8) {
  return Utf8ToUtf16(AUtf8);
}

std::u16string Entry(const std::u16string& ASource, const std::u16string& ADest) {
  return u"\"" + ASource + u"\"    \"" + ADest + u"\"";
}

void PluginFixture::SetUp() {
  fOldTemp = SetTempDirectoryVariable(fTempDir.Dir());
  fFar = std::make_unique<TFakeFar>();
  fPlugin = std::make_unique<TLoadedPlugin>(BuiltPluginFileName());
  ASSERT_TRUE(fPlugin->Loaded()) << fPlugin->Error();
  ASSERT_TRUE(fPlugin->Complete());
  Plugin().SetStartupInfoW(fFar->StartupInfo());
  fPanelDirectory = fDir.Dir();
  fPanelDirectory.pop_back();
}

void PluginFixture::TearDown() {
  if (fPlugin) fPlugin->Unload();
  fPlugin.reset();
  fFar.reset();
  SetTempDirectoryVariable(fOldTemp);
}

void PluginFixture::MakeFile(const std::string& AName, const std::string& AContent) {
  testing_support::WriteBytes(fDir / AName, AContent);
}

void PluginFixture::MakeDirectory(const std::string& AName) {
  fs::create_directory(fDir / AName);
}

bool PluginFixture::Exists(const std::string& AName) const {
  std::error_code ec;
  return fs::exists(fDir / AName, ec);
}

std::string PluginFixture::Content(const std::string& AName) const {
  return ReadBytes(fDir / AName);
}

std::vector<std::string> PluginFixture::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fDir.Path()))
    names.push_back(Utf16ToUtf8(PathToU16(entry.path().filename()), TLoneSurrogate::Kept));
  std::sort(names.begin(), names.end());
  return names;
}

void PluginFixture::ShowPanel(std::initializer_list<std::u16string> ASelected) {
  ASSERT_TRUE(fFar->ActivePanel.LoadDirectory(fPanelDirectory));
  ASSERT_TRUE(fFar->ActivePanel.Select(ASelected));
}

TFakeFar::TEditor* PluginFixture::OpenFromPanel() {
  OpenInfo info{};
  info.StructSize = sizeof(info);
  info.OpenFrom = OPEN_PLUGINSMENU;
  const size_t before = fFar->Editors.size();
  EXPECT_EQ(Plugin().OpenW(&info), nullptr);
  return fFar->Editors.size() > before ? &fFar->Editors.back() : nullptr;
}

void PluginFixture::SetDestination(TFakeFar::TEditor& AEditor, size_t ALine,
                                   const std::u16string& ADest) {
  ASSERT_LT(ALine, AEditor.Lines.size());
  std::u16string& line = AEditor.Lines[ALine];
  const size_t open = line.find(u'"', line.find(u'"', 1) + 1);
  ASSERT_NE(open, std::u16string::npos);
  line = line.substr(0, open) + u"\"" + ADest + u"\"";
  ASSERT_TRUE(fFar->SaveEditor(AEditor.Id));
}

intptr_t PluginFixture::CloseEditor(intptr_t AEditorId) {
  ProcessEditorEventInfo info{};
  info.StructSize = sizeof(info);
  info.Event = EE_CLOSE;
  info.EditorID = AEditorId;
  const intptr_t result = Plugin().ProcessEditorEventW(&info);
  fFar->CloseEditor(AEditorId);
  return result;
}

intptr_t PluginFixture::PressKey(uint16_t AKey, uint32_t AControlState, bool ADown) {
  ProcessEditorInputInfo info{};
  info.StructSize = sizeof(info);
  info.Rec.EventType = KEY_EVENT;
  info.Rec.Event.KeyEvent.bKeyDown = ADown ? 1 : 0;
  info.Rec.Event.KeyEvent.wRepeatCount = 1;
  info.Rec.Event.KeyEvent.wVirtualKeyCode = AKey;
  info.Rec.Event.KeyEvent.dwControlKeyState = AControlState;
  return Plugin().ProcessEditorInputW(&info);
}

std::vector<std::string> PluginFixture::TempLeftovers() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fTempDir.Path()))
    names.push_back(Utf16ToUtf8(PathToU16(entry.path().filename()), TLoneSurrogate::Kept));
  return names;
}

std::vector<std::vector<std::u16string>> PluginFixture::Boxes() const {
  std::vector<std::vector<std::u16string>> boxes;
  for (const auto& call : fFar->CallsOf(TFakeFar::TService::Message))
    if (call.Args[0] != 0) boxes.push_back(call.Texts);
  return boxes;
}
