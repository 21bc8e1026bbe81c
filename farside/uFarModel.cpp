#include "farside/uFarModel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "farside/uPanelRecords.h"
#include "system/uSystem.h"

TFarModel* TFarModel::fCurrent = nullptr;

namespace {

std::u16string Text(const char16_t* AText) {
  return AText ? std::u16string(AText) : std::u16string();
}

// Copies AText with its terminating zero into ADest (ADestSize characters), cutting it to
// fit; answers the size needed, zero included, as FAR's two-call services do.
size_t CopyOut(const std::u16string& AText, char16_t* ADest, size_t ADestSize) {
  if (ADest && ADestSize > 0) {
    const size_t count = std::min(AText.size(), ADestSize - 1);
    std::copy_n(AText.begin(), count, ADest);
    ADest[count] = 0;
  }
  return AText.size() + 1;
}

// Clears a record the caller sized, keeping its size.
template <class T> void ClearRecord(T* ARecord) {
  const size_t structSize = ARecord->StructSize;
  std::memset(static_cast<void*>(ARecord), 0, sizeof(T));
  ARecord->StructSize = structSize;
}

} // namespace

void InstallFarServices(PluginStartupInfo& AInfo, FarStandardFunctions& AFSF);

TFarModel::TFarModel(TFarUser& AUser) : fUser(AUser), fMkTempSeed(std::random_device{}()) {
  fCurrent = this;
  InstallFarServices(fInfo, fFSF);
  fInfo.ModuleName = fModuleName.c_str();
}

TFarModel::~TFarModel() {
  if (fCurrent == this) fCurrent = nullptr;
}

void TFarModel::SetModuleName(const std::u16string& AName) {
  fModuleName = AName;
  fInfo.ModuleName = fModuleName.c_str();
}

std::u16string TFarModel::Msg(intptr_t AId) const {
  if (AId < 0 || static_cast<size_t>(AId) >= fMessages.size()) return std::u16string();
  return fMessages[static_cast<size_t>(AId)];
}

std::u16string TFarModel::FullName(const std::u16string& AName, bool ANative) const {
  return FullPathName ? FullPathName(AName, ANative) : AName;
}

// ---------------------------------------------------------------------------------------
// Message boxes, menus, texts

intptr_t TFarModel::Message(uint64_t AFlags, const char16_t* const* AItems, size_t AItemsNumber,
                            intptr_t AButtonsNumber) {
  TFarMessageBox box;
  box.Flags = AFlags;
  if (AItems && AItemsNumber > 0) {
    // The last ButtonsNumber items are the buttons; the title is never one.
    const size_t buttons =
        AButtonsNumber <= 0 ? 0 : std::min(static_cast<size_t>(AButtonsNumber), AItemsNumber - 1);
    box.Empty = false;
    box.Title = Text(AItems[0]);
    for (size_t i = 1; i < AItemsNumber - buttons; ++i)
      box.Lines.push_back(Text(AItems[i]));
    for (size_t i = AItemsNumber - buttons; i < AItemsNumber; ++i)
      box.Buttons.push_back(Text(AItems[i]));
  }
  // A box without buttons asks nothing: FAR draws it and returns at once.
  if (!box.Empty && box.Buttons.empty()) {
    fUser.Show(box);
    return -1;
  }
  return fUser.Answer(box);
}

intptr_t TFarModel::Menu(const std::u16string& ATitle, const std::u16string& ABottom,
                         const std::u16string& AHelpTopic, const FarMenuItem* AItems,
                         size_t AItemsNumber, intptr_t* ABreakCode) {
  if (ABreakCode) *ABreakCode = -1;
  TFarMenu menu{ATitle, ABottom, AHelpTopic, {}};
  for (size_t i = 0; AItems && i < AItemsNumber; ++i)
    menu.Items.push_back(Text(AItems[i].Text));
  return fUser.Choose(menu);
}

const char16_t* TFarModel::GetMsg(intptr_t AMsgId) const {
  if (AMsgId < 0 || static_cast<size_t>(AMsgId) >= fMessages.size()) return u"";
  return fMessages[static_cast<size_t>(AMsgId)].c_str();
}

// ---------------------------------------------------------------------------------------
// Panels

TPanelModel* TFarModel::PanelOf(void* AHandle) {
  TPanelModel* panel = nullptr;
  if (AHandle == PANEL_ACTIVE) panel = &ActivePanel;
  if (AHandle == PANEL_PASSIVE) panel = &PassivePanel;
  return panel && panel->Shown ? panel : nullptr;
}

intptr_t TFarModel::PanelControl(void* APanel, int ACommand, intptr_t AParam1, void* AParam2) {
  TPanelModel* panel = PanelOf(APanel);
  if (!panel) return 0;
  switch (ACommand) {
  case FCTL_GETPANELINFO:
    return GetPanelInfo(*panel, static_cast<PanelInfo*>(AParam2));
  case FCTL_GETPANELITEM:
    return GetPanelItem(*panel, AParam1, static_cast<FarGetPluginPanelItem*>(AParam2));
  case FCTL_GETPANELDIRECTORY:
    return GetPanelDirectory(*panel, AParam1, static_cast<FarPanelDirectory*>(AParam2));
  case FCTL_SETSELECTION:
    if (AParam1 < 0 || static_cast<size_t>(AParam1) >= panel->ItemCount()) return 0;
    panel->SetSelected(static_cast<size_t>(AParam1), AParam2 != nullptr);
    return 1;
  case FCTL_BEGINSELECTION:
    panel->InSelection = true;
    return 1;
  case FCTL_ENDSELECTION:
    panel->InSelection = false;
    return 1;
  case FCTL_UPDATEPANEL:
  case FCTL_REDRAWPANEL:
    return 1;
  default:
    return 0;
  }
}

intptr_t TFarModel::GetPanelInfo(const TPanelModel& APanel, PanelInfo* AInfo) {
  if (!AInfo || AInfo->StructSize < sizeof(PanelInfo)) return 0;
  ClearRecord(AInfo);
  AInfo->PluginHandle = reinterpret_cast<void*>(APanel.PluginHandle);
  AInfo->OwnerGuid = APanel.OwnerGuid;
  AInfo->Flags = APanel.Flags;
  AInfo->ItemsNumber = APanel.ItemCount();
  AInfo->SelectedItemsNumber = APanel.SelectedCount();
  AInfo->PanelRect = {APanel.Rect[0], APanel.Rect[1], APanel.Rect[2], APanel.Rect[3]};
  AInfo->CurrentItem = APanel.CurrentItem;
  AInfo->TopPanelItem = APanel.TopPanelItem;
  AInfo->ViewMode = APanel.ViewMode;
  AInfo->PanelType = APanel.PanelType;
  AInfo->SortMode = APanel.SortMode;
  return 1;
}

intptr_t TFarModel::GetPanelItem(const TPanelModel& APanel, intptr_t AIndex,
                                 FarGetPluginPanelItem* AItem) {
  if (AIndex < 0 || static_cast<size_t>(AIndex) >= APanel.ItemCount()) return 0;
  const TPanelItemRecord record = APanel.Record(static_cast<size_t>(AIndex));
  const size_t needed = PanelItemSize(record);
  if (!AItem) return static_cast<intptr_t>(needed);
  if (AItem->StructSize < sizeof(FarGetPluginPanelItem)) return 0;
  if (!AItem->Item || AItem->Size < needed) return static_cast<intptr_t>(needed);
  PackPanelItem(record, AItem->Item);
  return static_cast<intptr_t>(needed);
}

intptr_t TFarModel::GetPanelDirectory(const TPanelModel& APanel, intptr_t ASize,
                                      FarPanelDirectory* ADirectory) {
  TPanelDirectoryRecord record;
  record.PluginId = APanel.DirectoryPlugin;
  record.Name = APanel.Directory;
  record.Param = APanel.DirectoryParam;
  record.File = APanel.DirectoryFile;
  const size_t needed = PanelDirectorySize(record);
  if (!ADirectory) return static_cast<intptr_t>(needed);
  if (ADirectory->StructSize < sizeof(FarPanelDirectory)) return 0;
  if (ASize < 0 || static_cast<size_t>(ASize) < needed) return static_cast<intptr_t>(needed);
  PackPanelDirectory(record, ADirectory);
  return static_cast<intptr_t>(needed);
}

// ---------------------------------------------------------------------------------------
// Editors

TEditorWindow* TFarModel::FindEditor(intptr_t AId) {
  if (AId == -1) AId = CurrentEditorId;
  for (TEditorWindow& editor : Editors)
    if (editor.Id == AId) return &editor;
  return nullptr;
}

bool TFarModel::SaveEditor(intptr_t AId) {
  TEditorWindow* editor = FindEditor(AId);
  return editor && editor->TextHeld && editor->SaveFile();
}

bool TFarModel::CloseEditor(intptr_t AId) {
  TEditorWindow* editor = FindEditor(AId);
  if (!editor) return false;
  const intptr_t id = editor->Id;
  if ((editor->Flags & EF_DELETEONLYFILEONCLOSE) != 0) win::DeleteFileW(editor->FileName.c_str());
  Editors.erase(std::find_if(Editors.begin(), Editors.end(),
                             [id](const TEditorWindow& AEditor) { return AEditor.Id == id; }));
  if (CurrentEditorId == id) CurrentEditorId = Editors.empty() ? -1 : Editors.back().Id;
  return true;
}

intptr_t TFarModel::Editor(const char16_t* AFileName, const char16_t* ATitle, EDITOR_FLAGS AFlags,
                           intptr_t AStartLine, intptr_t AStartChar, uintptr_t ACodePage) {
  if (EditorResult != EEC_MODIFIED && EditorResult != EEC_NOT_MODIFIED) return EditorResult;
  if (!AFileName || !*AFileName || (MaxEditors != 0 && Editors.size() >= MaxEditors))
    return EEC_OPEN_ERROR;
  TEditorWindow editor;
  editor.Id = NextEditorId++;
  // The plugin looks its job up by the name: one that is full already stays as given.
  editor.FileName = FullName(AFileName, false);
  editor.Title = Text(ATitle);
  editor.Flags = AFlags;
  editor.StartLine = AStartLine;
  editor.CodePage = ACodePage;
  if (HoldsEditorText) editor.LoadFile();
  const intptr_t last = std::max<intptr_t>(0, editor.LineCount() - 1);
  editor.CurLine = std::clamp<intptr_t>(AStartLine > 0 ? AStartLine - 1 : 0, 0, last);
  editor.CurPos = AStartChar > 0 ? AStartChar - 1 : 0;
  editor.CurTabPos = editor.CurPos;
  editor.TopScreenLine = std::max<intptr_t>(0, editor.CurLine - 10);
  Editors.push_back(std::move(editor));
  CurrentEditorId = Editors.back().Id;
  return EditorResult;
}

intptr_t TFarModel::EditorControl(intptr_t AEditorId, int ACommand, intptr_t AParam1,
                                  void* AParam2) {
  TEditorWindow* editor = FindEditor(AEditorId);
  if (!editor) return 0;
  switch (ACommand) {
  case ECTL_GETINFO:
    return GetEditorInfo(*editor, static_cast<EditorInfo*>(AParam2));
  case ECTL_GETSTRING:
    return GetEditorString(*editor, static_cast<EditorGetString*>(AParam2));
  case ECTL_SETSTRING:
    return SetEditorString(*editor, static_cast<const EditorSetString*>(AParam2));
  case ECTL_SETPOSITION:
    return SetEditorPosition(*editor, static_cast<const EditorSetPosition*>(AParam2));
  case ECTL_SELECT:
    return SelectInEditor(*editor, static_cast<const EditorSelect*>(AParam2));
  case ECTL_REDRAW:
    ++editor->Redraws;
    return 1;
  case ECTL_SETKEYBAR:
    return SetEditorKeyBar(*editor, AParam2);
  case ECTL_GETFILENAME:
    return static_cast<intptr_t>(CopyOut(editor->FileName, static_cast<char16_t*>(AParam2),
                                         AParam1 > 0 ? static_cast<size_t>(AParam1) : 0));
  default:
    return 0;
  }
}

intptr_t TFarModel::GetEditorInfo(const TEditorWindow& AEditor, EditorInfo* AInfo) {
  if (!AInfo || AInfo->StructSize < sizeof(EditorInfo)) return 0;
  ClearRecord(AInfo);
  AInfo->EditorID = AEditor.Id;
  AInfo->WindowSizeX = FarRect.Right - FarRect.Left + 1;
  AInfo->WindowSizeY = FarRect.Bottom - FarRect.Top + 1;
  AInfo->TotalLines = AEditor.LineCount();
  AInfo->CurLine = AEditor.CurLine;
  AInfo->CurPos = AEditor.CurPos;
  AInfo->CurTabPos = AEditor.CurTabPos;
  AInfo->TopScreenLine = AEditor.TopScreenLine;
  AInfo->LeftPos = AEditor.LeftPos;
  AInfo->Overtype = AEditor.Overtype;
  AInfo->BlockType = AEditor.BlockType;
  AInfo->BlockStartLine = AEditor.BlockStartLine;
  AInfo->TabSize = 8;
  AInfo->CurState = AEditor.Modified ? 1 : 0;
  AInfo->CodePage = AEditor.CodePage;
  return 1;
}

// Lines, cursor and block of an editor that is another program are out of reach: the
// commands on them fail.
intptr_t TFarModel::GetEditorString(const TEditorWindow& AEditor, EditorGetString* ARecord) {
  if (!AEditor.TextHeld || !ARecord || ARecord->StructSize < sizeof(EditorGetString)) return 0;
  const intptr_t line = ARecord->StringNumber == -1 ? AEditor.CurLine : ARecord->StringNumber;
  if (line < 0 || line >= static_cast<intptr_t>(AEditor.Lines.size())) return 0;
  const std::u16string& text = AEditor.Lines[static_cast<size_t>(line)];
  ARecord->StringText = text.c_str();
  ARecord->StringEOL = AEditor.Eols[static_cast<size_t>(line)].c_str();
  ARecord->StringLength = static_cast<intptr_t>(text.size());
  const auto selection = AEditor.SelectionOf(line);
  ARecord->SelStart = selection.first;
  ARecord->SelEnd = selection.second;
  return 1;
}

intptr_t TFarModel::SetEditorString(TEditorWindow& AEditor, const EditorSetString* ARecord) {
  if (!AEditor.TextHeld || !ARecord || ARecord->StructSize < sizeof(EditorSetString)) return 0;
  const intptr_t line = ARecord->StringNumber == -1 ? AEditor.CurLine : ARecord->StringNumber;
  if (line < 0 || line >= static_cast<intptr_t>(AEditor.Lines.size()) || !ARecord->StringText)
    return 0;
  AEditor.Lines[static_cast<size_t>(line)] =
      ARecord->StringLength > 0 ? std::u16string(ARecord->StringText, ARecord->StringLength)
                                : std::u16string();
  if (ARecord->StringEOL) AEditor.Eols[static_cast<size_t>(line)] = ARecord->StringEOL;
  AEditor.Modified = true;
  return 1;
}

intptr_t TFarModel::SetEditorPosition(TEditorWindow& AEditor, const EditorSetPosition* ARecord) {
  if (!AEditor.TextHeld || !ARecord || ARecord->StructSize < sizeof(EditorSetPosition)) return 0;
  const auto lineCount = static_cast<intptr_t>(AEditor.Lines.size());
  if (ARecord->CurLine != -1)
    AEditor.CurLine = std::clamp<intptr_t>(ARecord->CurLine, 0, lineCount - 1);
  if (ARecord->CurPos != -1) AEditor.CurPos = ARecord->CurPos;
  if (ARecord->CurTabPos != -1) AEditor.CurTabPos = ARecord->CurTabPos;
  if (ARecord->TopScreenLine != -1) AEditor.TopScreenLine = ARecord->TopScreenLine;
  if (ARecord->LeftPos != -1) AEditor.LeftPos = ARecord->LeftPos;
  if (ARecord->Overtype != -1) AEditor.Overtype = ARecord->Overtype;
  return 1;
}

intptr_t TFarModel::SelectInEditor(TEditorWindow& AEditor, const EditorSelect* ARecord) {
  if (!AEditor.TextHeld || !ARecord || ARecord->StructSize < sizeof(EditorSelect)) return 0;
  const bool none = ARecord->BlockType == BTYPE_NONE;
  AEditor.LineSelection.clear();
  AEditor.BlockType = ARecord->BlockType;
  AEditor.BlockStartLine = none ? 0 : ARecord->BlockStartLine;
  AEditor.BlockStartPos = none ? 0 : ARecord->BlockStartPos;
  AEditor.BlockWidth = none ? 0 : ARecord->BlockWidth;
  AEditor.BlockHeight = none ? 0 : ARecord->BlockHeight;
  return 1;
}

intptr_t TFarModel::SetEditorKeyBar(TEditorWindow& AEditor, void* AParam2) {
  // -1 asks for the key bar to be redrawn, null for FAR's own labels back.
  if (AParam2 == reinterpret_cast<void*>(-1)) return 1;
  AEditor.KeyBar.clear();
  AEditor.KeyBarSet = false;
  const auto* record = static_cast<const FarSetKeyBarTitles*>(AParam2);
  if (!record) return 1;
  if (record->StructSize < sizeof(FarSetKeyBarTitles)) return 0;
  if (record->Titles)
    for (size_t i = 0; i < record->Titles->CountLabels; ++i) {
      const KeyBarLabel& label = record->Titles->Labels[i];
      AEditor.KeyBar.push_back({label.Key.VirtualKeyCode, label.Key.ControlKeyState,
                                Text(label.Text), Text(label.LongText)});
    }
  AEditor.KeyBarSet = true;
  return 1;
}

// ---------------------------------------------------------------------------------------
// The console, dialogs, paths

intptr_t TFarModel::AdvControl(int ACommand, intptr_t AParam1, void* AParam2) {
  switch (ACommand) {
  case ACTL_GETFARRECT:
    if (!AParam2) return 0;
    *static_cast<win::SMALL_RECT*>(AParam2) = FarRect;
    return 1;
  case ACTL_SETPROGRESSSTATE:
    ProgressState = AParam1;
    return 1;
  case ACTL_SETPROGRESSVALUE:
    if (!AParam2) return 0;
    ProgressValues.push_back(*static_cast<const ProgressValue*>(AParam2));
    return 1;
  default:
    return 0;
  }
}

void TFarModel::DialogFree(void* ADialog) {
  Dialogs.erase(reinterpret_cast<uintptr_t>(ADialog));
}

intptr_t TFarModel::SendDlgMessage(void* ADialog, intptr_t AMsg, intptr_t AParam1, void* AParam2) {
  auto dialog = Dialogs.find(reinterpret_cast<uintptr_t>(ADialog));
  if (dialog == Dialogs.end()) return 0;
  if (AParam1 < 0 || static_cast<size_t>(AParam1) >= dialog->second.size()) return 0;
  TFarDialogItem& item = dialog->second[static_cast<size_t>(AParam1)];
  const auto value = reinterpret_cast<intptr_t>(AParam2);
  switch (AMsg) {
  case DM_GETCHECK:
    return item.Checked;
  case DM_SETCHECK:
    return std::exchange(item.Checked, value);
  case DM_ENABLE: {
    const bool old = item.Enabled;
    if (value != -1) item.Enabled = value != 0;
    return old ? 1 : 0;
  }
  case DM_GETTEXT: {
    auto* data = static_cast<FarDialogItemData*>(AParam2);
    if (data && data->PtrData) {
      const size_t count = std::min(item.Text.size(), data->PtrLength);
      std::copy_n(item.Text.begin(), count, data->PtrData);
      data->PtrData[count] = 0;
    }
    return static_cast<intptr_t>(item.Text.size());
  }
  case DM_SETTEXT: {
    const auto* data = static_cast<const FarDialogItemData*>(AParam2);
    if (!data) return 0;
    item.Text = data->PtrData ? std::u16string(data->PtrData, data->PtrLength) : u"";
    return 1;
  }
  default:
    return 0;
  }
}

size_t TFarModel::ConvertPath(int /*AMode*/, const char16_t* ASource, char16_t* ADest,
                              size_t ADestSize) {
  // Every mode gives the full native form: CPM_REAL's links are left as they are.
  if (!ASource) return 0;
  const std::u16string full = FullName(ASource, true);
  if (full.empty()) return 0;
  return CopyOut(ConvertPathPrefix + full, ADest, ADestSize);
}

size_t TFarModel::MkTemp(char16_t* ADest, size_t ADestSize, const char16_t* APrefix) {
  std::u16string directory = MkTempDirectory.empty() ? GetTempDirectory() : MkTempDirectory;
  if (directory.empty()) return 0;
  if (directory.back() != win::PathDelimiter) directory += win::PathDelimiter;
  const std::u16string prefix = APrefix && *APrefix ? APrefix : u"FAR";
  for (int attempt = 0; attempt < 1000; ++attempt) {
    // Numbers from a start of this run's, so that two runs at once try different names.
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%08X", fMkTempSeed + ++fMkTempCounter);
    const std::string number = digits;
    const std::u16string name =
        directory + prefix + std::u16string(number.begin(), number.end()) + u".tmp";
    if (win::GetFileAttributesW(name.c_str()) != win::INVALID_FILE_ATTRIBUTES) continue;
    if (!ADest || ADestSize < name.size() + 1) return 0;
    CopyOut(name, ADest, ADestSize);
    return name.size();
  }
  return 0;
}

char16_t* TFarModel::TruncPathStr(char16_t* AText, intptr_t AMaxLength) {
  // The root stays, "..." stands for what is cut from the front of the rest.
  if (!AText || AMaxLength < 0) return AText;
  const std::u16string text(AText);
  const auto max = static_cast<size_t>(AMaxLength);
  if (text.size() <= max) return AText;
  std::u16string result;
  if (max <= 3) {
    result = text.substr(0, max);
  } else {
    size_t root = 0;
    if (text.size() > 2 && text[1] == u':' && text[2] == u'\\')
      root = 3;
    else if (text[0] == u'/')
      root = 1;
    if (root + 3 >= max) root = 0;
    result = text.substr(0, root) + u"..." + text.substr(text.size() - (max - root - 3));
  }
  std::copy(result.begin(), result.end(), AText);
  AText[result.size()] = 0;
  return AText;
}
