#include "FakeFar.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <utility>

#include "TestFiles.h"
#include "far/uFarHost.h"
#include "farside/uLngFile.h"
#include "farside/uPanelRecords.h"
#include "files/uStrings.h"
#include "system/uUtf8.h"
#include "system/uWindows.h"

TFakeFar* TFakeFar::fInstance = nullptr;

using TService = TFakeFar::TService;
using TCall = TFakeFar::TCall;

namespace {

std::u16string Text(const char16_t* s) {
  return s ? std::u16string(s) : std::u16string();
}

GUID GuidOf(const GUID* AGuid) {
  return AGuid ? *AGuid : GUID{};
}

template <class T> void Capture(TCall& ACall, const void* ARecord) {
  if (ARecord) ACall.Record.assign(static_cast<const char*>(ARecord), sizeof(T));
}

std::string ReadFile(const std::u16string& AFileName, bool& AOk) {
  std::ifstream in(testing_support::U16ToPath(AFileName), std::ios::binary);
  AOk = static_cast<bool>(in);
  if (!AOk) return std::string();
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The first call of each trampoline: the call record, with the refusal already decided.
TCall NewCall(TService AService, intptr_t ACommand) {
  TCall call;
  call.Service = AService;
  call.Command = ACommand;
  return call;
}

// ---------------------------------------------------------------------------------------
// The services as the plugin sees them. Nothing may be thrown back into the caller.

intptr_t FARAPI_CALL FakeMenu(const GUID* APluginId, const GUID* AId, intptr_t AX, intptr_t AY,
                              intptr_t AMaxHeight, FARMENUFLAGS AFlags, const char16_t* ATitle,
                              const char16_t* ABottom, const char16_t* AHelpTopic,
                              const FarKey* /*ABreakKeys*/, intptr_t* ABreakCode,
                              const FarMenuItem* AItems, size_t AItemsNumber) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return -1;
  try {
    TCall call = NewCall(TService::Menu, 0);
    call.PluginId = GuidOf(APluginId);
    call.Id = GuidOf(AId);
    call.Flags = AFlags;
    call.Args = {AX, AY, AMaxHeight};
    call.Param1 = AX;
    call.Texts = {Text(ATitle), Text(ABottom), Text(AHelpTopic)};
    for (size_t i = 0; AItems && i < AItemsNumber; ++i)
      call.Texts.push_back(Text(AItems[i].Text));
    if (far->IsRefused(TService::Menu, 0)) {
      call.Refused = true;
      call.Result = -1;
    } else {
      call.Result = far->DoMenu(call, AItems, AItemsNumber, ABreakCode);
    }
    far->Calls.push_back(call);
    return call.Result;
  } catch (...) {
    return -1;
  }
}

intptr_t FARAPI_CALL FakeMessage(const GUID* APluginId, const GUID* AId, FARMESSAGEFLAGS AFlags,
                                 const char16_t* /*AHelpTopic*/, const char16_t* const* AItems,
                                 size_t AItemsNumber, intptr_t AButtonsNumber) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return -1;
  try {
    TCall call = NewCall(TService::Message, 0);
    call.PluginId = GuidOf(APluginId);
    call.Id = GuidOf(AId);
    call.Flags = AFlags;
    call.Args = {AButtonsNumber};
    call.Param1 = static_cast<intptr_t>(AItemsNumber);
    for (size_t i = 0; AItems && i < AItemsNumber; ++i)
      call.Texts.push_back(Text(AItems[i]));
    if (far->IsRefused(TService::Message, 0)) {
      call.Refused = true;
      call.Result = -1;
    } else {
      call.Result = far->DoMessage(call);
    }
    far->Calls.push_back(call);
    return call.Result;
  } catch (...) {
    return -1;
  }
}

const char16_t* FARAPI_CALL FakeGetMsg(const GUID* APluginId, intptr_t AMsgId) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return nullptr;
  try {
    TCall call = NewCall(TService::GetMsg, AMsgId);
    call.PluginId = GuidOf(APluginId);
    call.Param1 = AMsgId;
    const char16_t* result = nullptr;
    if (far->IsRefused(TService::GetMsg, AMsgId))
      call.Refused = true;
    else
      result = far->DoGetMsg(AMsgId);
    call.Result = result ? 1 : 0;
    call.Texts = {Text(result)};
    far->Calls.push_back(call);
    return result;
  } catch (...) {
    return nullptr;
  }
}

intptr_t FARAPI_CALL FakePanelControl(void* APanel, int ACommand, intptr_t AParam1, void* AParam2) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return 0;
  try {
    TCall call = NewCall(TService::PanelControl, ACommand);
    call.Handle = reinterpret_cast<uintptr_t>(APanel);
    call.Param1 = AParam1;
    call.Param2 = reinterpret_cast<uintptr_t>(AParam2);
    switch (ACommand) {
    case FCTL_GETPANELINFO:
      Capture<PanelInfo>(call, AParam2);
      break;
    case FCTL_GETPANELITEM:
      Capture<FarGetPluginPanelItem>(call, AParam2);
      break;
    case FCTL_GETPANELDIRECTORY:
      if (AParam2 && AParam1 > 0)
        call.Record.assign(static_cast<const char*>(AParam2),
                           std::min<size_t>(AParam1, sizeof(FarPanelDirectory)));
      break;
    default:
      break;
    }
    if (far->IsRefused(TService::PanelControl, ACommand)) {
      call.Refused = true;
      call.Result = 0;
    } else {
      call.Result = far->DoPanelControl(call, AParam2);
    }
    far->Calls.push_back(call);
    return call.Result;
  } catch (...) {
    return 0;
  }
}

intptr_t FARAPI_CALL FakeEditor(const char16_t* AFileName, const char16_t* ATitle, intptr_t AX1,
                                intptr_t AY1, intptr_t AX2, intptr_t AY2, EDITOR_FLAGS AFlags,
                                intptr_t AStartLine, intptr_t AStartChar, uintptr_t ACodePage) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return 0;
  try {
    TCall call = NewCall(TService::Editor, 0);
    call.Flags = AFlags;
    call.Param1 = AStartLine;
    call.Args = {AX1, AY1, AX2, AY2, AStartLine, AStartChar, static_cast<intptr_t>(ACodePage)};
    call.Texts = {Text(AFileName), Text(ATitle)};
    if (far->IsRefused(TService::Editor, 0)) {
      call.Refused = true;
      call.Result = 0;
    } else {
      call.Result = far->DoEditor(call);
    }
    far->Calls.push_back(call);
    return call.Result;
  } catch (...) {
    return 0;
  }
}

intptr_t FARAPI_CALL FakeEditorControl(intptr_t AEditorID, int ACommand, intptr_t AParam1,
                                       void* AParam2) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return 0;
  try {
    TCall call = NewCall(TService::EditorControl, ACommand);
    call.Handle = static_cast<uintptr_t>(AEditorID);
    call.Param1 = AParam1;
    call.Param2 = reinterpret_cast<uintptr_t>(AParam2);
    switch (ACommand) {
    case ECTL_GETINFO:
      Capture<EditorInfo>(call, AParam2);
      break;
    case ECTL_GETSTRING:
      Capture<EditorGetString>(call, AParam2);
      break;
    case ECTL_SETSTRING:
      Capture<EditorSetString>(call, AParam2);
      break;
    case ECTL_SETPOSITION:
      Capture<EditorSetPosition>(call, AParam2);
      break;
    case ECTL_SELECT:
      Capture<EditorSelect>(call, AParam2);
      break;
    case ECTL_SETKEYBAR:
      if (call.Param2 != 0 && call.Param2 != static_cast<uintptr_t>(-1))
        Capture<FarSetKeyBarTitles>(call, AParam2);
      break;
    default:
      break;
    }
    if (far->IsRefused(TService::EditorControl, ACommand)) {
      call.Refused = true;
      call.Result = 0;
    } else {
      call.Result = far->DoEditorControl(call, AParam2);
    }
    far->Calls.push_back(call);
    return call.Result;
  } catch (...) {
    return 0;
  }
}

intptr_t FARAPI_CALL FakeAdvControl(const GUID* APluginId, int ACommand, intptr_t AParam1,
                                    void* AParam2) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return 0;
  try {
    TCall call = NewCall(TService::AdvControl, ACommand);
    call.PluginId = GuidOf(APluginId);
    call.Param1 = AParam1;
    call.Param2 = reinterpret_cast<uintptr_t>(AParam2);
    if (ACommand == ACTL_SETPROGRESSVALUE) Capture<ProgressValue>(call, AParam2);
    if (far->IsRefused(TService::AdvControl, ACommand)) {
      call.Refused = true;
      call.Result = 0;
    } else {
      call.Result = far->DoAdvControl(call, AParam2);
    }
    far->Calls.push_back(call);
    return call.Result;
  } catch (...) {
    return 0;
  }
}

void FARAPI_CALL FakeDialogFree(void* ADialog) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return;
  try {
    TCall call = NewCall(TService::DialogFree, 0);
    call.Handle = reinterpret_cast<uintptr_t>(ADialog);
    if (far->IsRefused(TService::DialogFree, 0))
      call.Refused = true;
    else
      far->DoDialogFree(call);
    far->Calls.push_back(call);
  } catch (...) {
  }
}

intptr_t FARAPI_CALL FakeSendDlgMessage(void* ADialog, intptr_t AMsg, intptr_t AParam1,
                                        void* AParam2) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return 0;
  try {
    TCall call = NewCall(TService::SendDlgMessage, AMsg);
    call.Handle = reinterpret_cast<uintptr_t>(ADialog);
    call.Param1 = AParam1;
    call.Param2 = reinterpret_cast<uintptr_t>(AParam2);
    if ((AMsg == DM_GETTEXT || AMsg == DM_SETTEXT) && AParam2)
      Capture<FarDialogItemData>(call, AParam2);
    if (AMsg == DM_SETTEXT && AParam2) {
      const auto* data = static_cast<const FarDialogItemData*>(AParam2);
      call.Texts = {data->PtrData ? std::u16string(data->PtrData, data->PtrLength) : u""};
    }
    if (far->IsRefused(TService::SendDlgMessage, AMsg)) {
      call.Refused = true;
      call.Result = 0;
    } else {
      call.Result = far->DoSendDlgMessage(call, AParam2);
    }
    far->Calls.push_back(call);
    return call.Result;
  } catch (...) {
    return 0;
  }
}

size_t FARAPI_CALL FakeConvertPath(int AMode, const char16_t* ASrc, char16_t* ADest,
                                   size_t ADestSize) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return 0;
  try {
    TCall call = NewCall(TService::ConvertPath, AMode);
    call.Param2 = reinterpret_cast<uintptr_t>(ADest);
    call.Args = {static_cast<intptr_t>(ADestSize)};
    call.Texts = {Text(ASrc)};
    size_t result = 0;
    if (far->IsRefused(TService::ConvertPath, AMode))
      call.Refused = true;
    else
      result = far->DoConvertPath(call, ASrc, ADest, ADestSize);
    call.Result = static_cast<intptr_t>(result);
    far->Calls.push_back(call);
    return result;
  } catch (...) {
    return 0;
  }
}

size_t FARAPI_CALL FakeMkTemp(char16_t* ADest, size_t ADestSize, const char16_t* APrefix) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return 0;
  try {
    TCall call = NewCall(TService::MkTemp, 0);
    call.Param2 = reinterpret_cast<uintptr_t>(ADest);
    call.Args = {static_cast<intptr_t>(ADestSize)};
    call.Texts = {Text(APrefix)};
    size_t result = 0;
    if (far->IsRefused(TService::MkTemp, 0))
      call.Refused = true;
    else
      result = far->DoMkTemp(call, ADest, ADestSize, APrefix);
    call.Result = static_cast<intptr_t>(result);
    far->Calls.push_back(call);
    return result;
  } catch (...) {
    return 0;
  }
}

char16_t* FARAPI_CALL FakeTruncPathStr(char16_t* AStr, intptr_t AMaxLength) {
  TFakeFar* far = TFakeFar::Instance();
  if (!far) return AStr;
  try {
    TCall call = NewCall(TService::TruncPathStr, 0);
    call.Param1 = AMaxLength;
    call.Args = {AMaxLength};
    call.Texts = {Text(AStr)};
    char16_t* result = AStr;
    if (far->IsRefused(TService::TruncPathStr, 0))
      call.Refused = true;
    else
      result = far->DoTruncPathStr(call, AStr, AMaxLength);
    far->Calls.push_back(call);
    return result;
  } catch (...) {
    return AStr;
  }
}

} // namespace

// ---------------------------------------------------------------------------------------
// Construction

TFakeFar::TFakeFar() {
  fInstance = this;
  fFSF.StructSize = sizeof(FarStandardFunctions);
  fFSF.ConvertPath = FakeConvertPath;
  fFSF.MkTemp = FakeMkTemp;
  fFSF.TruncPathStr = FakeTruncPathStr;
  fInfo.StructSize = sizeof(PluginStartupInfo);
  fInfo.ModuleName = u"Quorvane";
  fInfo.Menu = FakeMenu;
  fInfo.Message = FakeMessage;
  fInfo.GetMsg = FakeGetMsg;
  fInfo.PanelControl = FakePanelControl;
  fInfo.Editor = FakeEditor;
  fInfo.EditorControl = FakeEditorControl;
  fInfo.AdvControl = FakeAdvControl;
  fInfo.DialogFree = FakeDialogFree;
  fInfo.SendDlgMessage = FakeSendDlgMessage;
  fInfo.FSF = &fFSF;
  SetLanguage("Eng");
}

TFakeFar::~TFakeFar() {
  if (fInstalled) {
    FarAPI = PluginStartupInfo{};
    FarFSF = FarStandardFunctions{};
  }
  if (fInstance == this) fInstance = nullptr;
}

void TFakeFar::Install() {
  FarAPI = fInfo;
  FarFSF = fFSF;
  FarAPI.FSF = &FarFSF;
  fInstalled = true;
}

bool TFakeFar::SetLanguage(const std::string& ASuffix) {
  TLngFile file;
  const bool ok =
      LoadLngFile(std::string(QUORVANE_SOURCE_DIR) + "/lng/Quorvane" + ASuffix + ".lng", file);
  fMessages = std::move(file.Messages); // as FAR does, the old texts are freed
  return ok && file.Errors.empty();
}

std::u16string TFakeFar::Msg(intptr_t AId) const {
  if (AId < 0 || static_cast<size_t>(AId) >= fMessages.size()) return std::u16string();
  return fMessages[static_cast<size_t>(AId)];
}

void TFakeFar::Refuse(TService AService, intptr_t ACommand) {
  fRefused.insert({AService, ACommand});
}

void TFakeFar::Accept(TService AService, intptr_t ACommand) {
  fRefused.erase({AService, ACommand});
}

bool TFakeFar::IsRefused(TService AService, intptr_t ACommand) const {
  return fRefused.count({AService, AnyCommand}) != 0 || fRefused.count({AService, ACommand}) != 0;
}

std::vector<TCall> TFakeFar::CallsOf(TService AService, intptr_t ACommand) const {
  std::vector<TCall> result;
  for (const TCall& call : Calls)
    if (call.Service == AService && (ACommand == AnyCommand || call.Command == ACommand))
      result.push_back(call);
  return result;
}

size_t TFakeFar::CountOf(TService AService, intptr_t ACommand) const {
  return static_cast<size_t>(std::count_if(Calls.begin(), Calls.end(), [&](const TCall& c) {
    return c.Service == AService && (ACommand == AnyCommand || c.Command == ACommand);
  }));
}

// ---------------------------------------------------------------------------------------
// Panels

void TFakeFar::TPanelItem::SetSelected(bool AValue) {
  if (AValue)
    Flags |= PPIF_SELECTED;
  else
    Flags &= ~PPIF_SELECTED;
}

bool TFakeFar::TPanel::LoadDirectory(const std::u16string& ADirectory, bool AParentItem) {
  std::u16string directory = ADirectory;
  while (directory.size() > 1 && directory.back() == win::PathDelimiter &&
         !(directory.size() == 3 && directory[1] == u':'))
    directory.pop_back();
  std::vector<TPanelItem> items;
  win::WIN32_FIND_DATAW data{};
  const std::u16string pattern =
      directory +
      (directory.back() == win::PathDelimiter ? u"" : std::u16string(1, win::PathDelimiter)) + u"*";
  win::HANDLE find = win::FindFirstFileW(pattern.c_str(), &data);
  if (find == win::InvalidHandleValue()) return false;
  do {
    const std::u16string name(data.cFileName);
    if (name == u"." || name == u"..") continue;
    TPanelItem item;
    item.FileName = name;
    item.AlternateFileName = std::u16string(data.cAlternateFileName);
    item.FileAttributes = data.dwFileAttributes;
    item.FileSize = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    item.AllocationSize = item.FileSize;
    item.CreationTime = {data.ftCreationTime.dwLowDateTime, data.ftCreationTime.dwHighDateTime};
    item.LastAccessTime = {data.ftLastAccessTime.dwLowDateTime,
                           data.ftLastAccessTime.dwHighDateTime};
    item.LastWriteTime = {data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime};
    item.ChangeTime = item.LastWriteTime;
    items.push_back(item);
  } while (win::FindNextFileW(find, &data));
  win::FindClose(find);
  std::sort(items.begin(), items.end(),
            [](const TPanelItem& a, const TPanelItem& b) { return a.FileName < b.FileName; });
  if (AParentItem) {
    TPanelItem parent;
    parent.FileName = u"..";
    parent.FileAttributes = win::FILE_ATTRIBUTE_DIRECTORY;
    items.insert(items.begin(), parent);
  }
  Directory = directory;
  Items = std::move(items);
  CurrentItem = 0;
  TopPanelItem = 0;
  return true;
}

TFakeFar::TPanelItem* TFakeFar::TPanel::Find(const std::u16string& AFileName) {
  for (TPanelItem& item : Items)
    if (item.FileName == AFileName) return &item;
  return nullptr;
}

bool TFakeFar::TPanel::Select(std::initializer_list<std::u16string> ANames) {
  bool all = true;
  for (const std::u16string& name : ANames) {
    TPanelItem* item = Find(name);
    if (item)
      item->SetSelected(true);
    else
      all = false;
  }
  return all;
}

bool TFakeFar::TPanel::SetCurrent(const std::u16string& AFileName) {
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i].FileName == AFileName) {
      CurrentItem = i;
      return true;
    }
  return false;
}

size_t TFakeFar::TPanel::SelectedCount() const {
  return static_cast<size_t>(
      std::count_if(Items.begin(), Items.end(), [](const TPanelItem& i) { return i.Selected(); }));
}

TFakeFar::TPanel* TFakeFar::PanelOf(uintptr_t AHandle) {
  if (AHandle == static_cast<uintptr_t>(-1)) return &ActivePanel;
  if (AHandle == static_cast<uintptr_t>(-2)) return &PassivePanel;
  return nullptr;
}

intptr_t TFakeFar::DoPanelControl(TCall& ACall, void* AParam2) {
  TPanel* panel = PanelOf(ACall.Handle);
  if (!panel) return 0;
  switch (ACall.Command) {
  case FCTL_GETPANELINFO: {
    auto* info = static_cast<PanelInfo*>(AParam2);
    if (!info || info->StructSize < sizeof(PanelInfo)) return 0;
    info->PluginHandle = reinterpret_cast<void*>(panel->PluginHandle);
    info->OwnerGuid = panel->OwnerGuid;
    info->Flags = panel->Flags;
    info->ItemsNumber = panel->Items.size();
    info->SelectedItemsNumber = panel->SelectedCount();
    info->PanelRect = {panel->Rect[0], panel->Rect[1], panel->Rect[2], panel->Rect[3]};
    info->CurrentItem = panel->CurrentItem;
    info->TopPanelItem = panel->TopPanelItem;
    info->ViewMode = panel->ViewMode;
    info->PanelType = panel->PanelType;
    info->SortMode = panel->SortMode;
    return 1;
  }
  case FCTL_GETPANELITEM: {
    if (ACall.Param1 < 0 || static_cast<size_t>(ACall.Param1) >= panel->Items.size()) return 0;
    const TPanelItem& source = panel->Items[static_cast<size_t>(ACall.Param1)];
    TPanelItemRecord record;
    record.Fields.CreationTime = source.CreationTime;
    record.Fields.LastAccessTime = source.LastAccessTime;
    record.Fields.LastWriteTime = source.LastWriteTime;
    record.Fields.ChangeTime = source.ChangeTime;
    record.Fields.FileSize = source.FileSize;
    record.Fields.AllocationSize = source.AllocationSize;
    record.Fields.Flags = source.Flags;
    record.Fields.FileAttributes = source.FileAttributes;
    record.Fields.NumberOfLinks = source.NumberOfLinks;
    record.Fields.CRC32 = source.CRC32;
    record.FileName = source.FileName;
    record.AlternateFileName = source.AlternateFileName;
    record.Description = source.Description;
    record.Owner = source.Owner;
    const size_t needed = PanelItemSize(record);
    auto* request = static_cast<FarGetPluginPanelItem*>(AParam2);
    if (!request) return static_cast<intptr_t>(needed);
    if (request->StructSize < sizeof(FarGetPluginPanelItem)) return 0;
    if (!request->Item || request->Size < needed) return static_cast<intptr_t>(needed);
    PackPanelItem(record, request->Item);
    return static_cast<intptr_t>(needed);
  }
  case FCTL_GETPANELDIRECTORY: {
    TPanelDirectoryRecord record;
    record.PluginId = panel->DirectoryPlugin;
    record.Name = panel->Directory;
    record.Param = panel->DirectoryParam;
    record.File = panel->DirectoryFile;
    const size_t needed = PanelDirectorySize(record);
    auto* directory = static_cast<FarPanelDirectory*>(AParam2);
    if (!directory) return static_cast<intptr_t>(needed);
    if (directory->StructSize < sizeof(FarPanelDirectory)) return 0;
    if (ACall.Param1 < 0 || static_cast<size_t>(ACall.Param1) < needed)
      return static_cast<intptr_t>(needed);
    PackPanelDirectory(record, directory);
    return static_cast<intptr_t>(needed);
  }
  case FCTL_SETSELECTION:
    if (ACall.Param1 < 0 || static_cast<size_t>(ACall.Param1) >= panel->Items.size()) return 0;
    panel->Items[static_cast<size_t>(ACall.Param1)].SetSelected(ACall.Param2 != 0);
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

// ---------------------------------------------------------------------------------------
// Editors

std::u16string TFakeFar::TEditor::Text() const {
  std::u16string text;
  for (size_t i = 0; i < Lines.size(); ++i) {
    text += Lines[i];
    if (i < Eols.size()) text += Eols[i];
  }
  return text;
}

void TFakeFar::TEditor::SetText(const std::u16string& AText) {
  Lines.clear();
  Eols.clear();
  size_t start = 0;
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] != u'\r' && AText[i] != u'\n') continue;
    const size_t eolLength =
        AText[i] == u'\r' && i + 1 < AText.size() && AText[i + 1] == u'\n' ? 2 : 1;
    Lines.push_back(AText.substr(start, i - start));
    Eols.push_back(AText.substr(i, eolLength));
    i += eolLength - 1;
    start = i + 1;
  }
  Lines.push_back(AText.substr(start));
  Eols.push_back(u"");
}

TFakeFar::TEditor* TFakeFar::FindEditor(intptr_t AId) {
  if (AId == -1) AId = CurrentEditorId;
  for (TEditor& editor : Editors)
    if (editor.Id == AId) return &editor;
  return nullptr;
}

bool TFakeFar::SaveEditor(intptr_t AId) {
  TEditor* editor = FindEditor(AId);
  if (!editor) return false;
  std::string bytes;
  const std::u16string text = editor->Text();
  if (editor->CodePage == 1200 || editor->CodePage == 1201) {
    // UTF-16, little-endian (1200) or big-endian (1201).
    const bool big = editor->CodePage == 1201;
    if (editor->ByteOrderMark) bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
      bytes += static_cast<char>(big ? c >> 8 : c & 0xFF);
      bytes += static_cast<char>(big ? c & 0xFF : c >> 8);
    }
  } else {
    if (editor->ByteOrderMark) bytes = "\xEF\xBB\xBF";
    bytes += WideToUtf8(text);
  }
  std::ofstream out(testing_support::U16ToPath(editor->FileName),
                    std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  editor->Modified = false;
  return static_cast<bool>(out);
}

bool TFakeFar::CloseEditor(intptr_t AId) {
  TEditor* editor = FindEditor(AId);
  if (!editor) return false;
  const intptr_t id = editor->Id;
  if ((editor->Flags & EF_DELETEONLYFILEONCLOSE) != 0) win::DeleteFileW(editor->FileName.c_str());
  Editors.erase(
      std::find_if(Editors.begin(), Editors.end(), [id](const TEditor& e) { return e.Id == id; }));
  if (CurrentEditorId == id) CurrentEditorId = Editors.empty() ? -1 : Editors.back().Id;
  return true;
}

intptr_t TFakeFar::DoEditor(TCall& ACall) {
  if (EditorResult != EEC_MODIFIED && EditorResult != EEC_NOT_MODIFIED) return EditorResult;
  TEditor editor;
  editor.Id = NextEditorId++;
  editor.FileName = ACall.Texts[0];
  editor.Title = ACall.Texts[1];
  editor.Flags = ACall.Flags;
  editor.CodePage = static_cast<uintptr_t>(ACall.Args[6]);
  bool ok = false;
  std::string bytes = ReadFile(editor.FileName, ok);
  std::u16string text;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    editor.ByteOrderMark = true;
    editor.CodePage = 65001;
    text = Utf8ToUtf16(bytes.substr(3));
  } else if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
    editor.ByteOrderMark = true;
    editor.CodePage = 1200;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                    (static_cast<uint8_t>(bytes[i + 1]) << 8));
  } else {
    text = Utf8ToUtf16(bytes);
  }
  editor.SetText(text);
  const intptr_t last = static_cast<intptr_t>(editor.Lines.size()) - 1;
  const intptr_t startLine = ACall.Args[4];
  const intptr_t startChar = ACall.Args[5];
  editor.CurLine = std::clamp<intptr_t>(startLine > 0 ? startLine - 1 : 0, 0, last);
  editor.CurPos = startChar > 0 ? startChar - 1 : 0;
  editor.CurTabPos = editor.CurPos;
  editor.TopScreenLine = std::max<intptr_t>(0, editor.CurLine - 10);
  Editors.push_back(editor);
  CurrentEditorId = editor.Id;
  return EditorResult;
}

intptr_t TFakeFar::DoEditorControl(TCall& ACall, void* AParam2) {
  TEditor* editor = FindEditor(static_cast<intptr_t>(ACall.Handle));
  if (!editor) return 0;
  const auto lineCount = static_cast<intptr_t>(editor->Lines.size());
  switch (ACall.Command) {
  case ECTL_GETINFO: {
    auto* info = static_cast<EditorInfo*>(AParam2);
    if (!info || info->StructSize < sizeof(EditorInfo)) return 0;
    info->EditorID = editor->Id;
    info->WindowSizeX = FarRect.Right - FarRect.Left + 1;
    info->WindowSizeY = FarRect.Bottom - FarRect.Top + 1;
    info->TotalLines = lineCount;
    info->CurLine = editor->CurLine;
    info->CurPos = editor->CurPos;
    info->CurTabPos = editor->CurTabPos;
    info->TopScreenLine = editor->TopScreenLine;
    info->LeftPos = editor->LeftPos;
    info->Overtype = editor->Overtype;
    info->BlockType = editor->BlockType;
    info->BlockStartLine = editor->BlockStartLine;
    info->Options = 0;
    info->TabSize = 8;
    info->BookmarkCount = 0;
    info->SessionBookmarkCount = 0;
    info->CurState = editor->Modified ? 1 : 0;
    info->CodePage = editor->CodePage;
    return 1;
  }
  case ECTL_GETSTRING: {
    auto* record = static_cast<EditorGetString*>(AParam2);
    if (!record || record->StructSize < sizeof(EditorGetString)) return 0;
    const intptr_t line = record->StringNumber == -1 ? editor->CurLine : record->StringNumber;
    if (line < 0 || line >= lineCount) return 0;
    const std::u16string& text = editor->Lines[static_cast<size_t>(line)];
    record->StringText = text.c_str();
    record->StringEOL = editor->Eols[static_cast<size_t>(line)].c_str();
    record->StringLength = static_cast<intptr_t>(text.size());
    record->SelStart = -1;
    record->SelEnd = -1;
    auto selection = editor->LineSelection.find(line);
    if (selection != editor->LineSelection.end()) {
      record->SelStart = selection->second.first;
      record->SelEnd = selection->second.second;
    } else if (editor->BlockType != BTYPE_NONE && line >= editor->BlockStartLine &&
               line < editor->BlockStartLine + editor->BlockHeight) {
      if (editor->BlockType == BTYPE_COLUMN) {
        record->SelStart = editor->BlockStartPos;
        record->SelEnd = editor->BlockStartPos + editor->BlockWidth;
      } else {
        const bool first = line == editor->BlockStartLine;
        const bool last = line == editor->BlockStartLine + editor->BlockHeight - 1;
        record->SelStart = first ? editor->BlockStartPos : 0;
        record->SelEnd = !last   ? -1
                         : first ? editor->BlockStartPos + editor->BlockWidth
                                 : editor->BlockWidth;
      }
    }
    return 1;
  }
  case ECTL_SETSTRING: {
    auto* record = static_cast<EditorSetString*>(AParam2);
    if (!record || record->StructSize < sizeof(EditorSetString)) return 0;
    const intptr_t line = record->StringNumber == -1 ? editor->CurLine : record->StringNumber;
    const std::u16string text = record->StringText && record->StringLength > 0
                                    ? std::u16string(record->StringText, record->StringLength)
                                    : std::u16string();
    ACall.Texts = {text};
    if (line < 0 || line >= lineCount || !record->StringText) return 0;
    editor->Lines[static_cast<size_t>(line)] = text;
    if (record->StringEOL) editor->Eols[static_cast<size_t>(line)] = record->StringEOL;
    editor->Modified = true;
    return 1;
  }
  case ECTL_SETPOSITION: {
    auto* record = static_cast<EditorSetPosition*>(AParam2);
    if (!record || record->StructSize < sizeof(EditorSetPosition)) return 0;
    if (record->CurLine != -1)
      editor->CurLine = std::clamp<intptr_t>(record->CurLine, 0, lineCount - 1);
    if (record->CurPos != -1) editor->CurPos = record->CurPos;
    if (record->CurTabPos != -1) editor->CurTabPos = record->CurTabPos;
    if (record->TopScreenLine != -1) editor->TopScreenLine = record->TopScreenLine;
    if (record->LeftPos != -1) editor->LeftPos = record->LeftPos;
    if (record->Overtype != -1) editor->Overtype = record->Overtype;
    return 1;
  }
  case ECTL_SELECT: {
    auto* record = static_cast<EditorSelect*>(AParam2);
    if (!record || record->StructSize < sizeof(EditorSelect)) return 0;
    editor->LineSelection.clear();
    editor->BlockType = record->BlockType;
    editor->BlockStartLine = record->BlockType == BTYPE_NONE ? 0 : record->BlockStartLine;
    editor->BlockStartPos = record->BlockType == BTYPE_NONE ? 0 : record->BlockStartPos;
    editor->BlockWidth = record->BlockType == BTYPE_NONE ? 0 : record->BlockWidth;
    editor->BlockHeight = record->BlockType == BTYPE_NONE ? 0 : record->BlockHeight;
    return 1;
  }
  case ECTL_REDRAW:
    ++editor->Redraws;
    return 1;
  case ECTL_SETKEYBAR: {
    if (ACall.Param2 == static_cast<uintptr_t>(-1)) return 1;
    editor->KeyBar.clear();
    editor->KeyBarSet = false;
    auto* record = static_cast<FarSetKeyBarTitles*>(AParam2);
    if (!record) return 1;
    if (record->StructSize < sizeof(FarSetKeyBarTitles)) return 0;
    if (record->Titles)
      for (size_t i = 0; i < record->Titles->CountLabels; ++i) {
        const KeyBarLabel& label = record->Titles->Labels[i];
        editor->KeyBar.push_back({label.Key.VirtualKeyCode, label.Key.ControlKeyState,
                                  Text(label.Text), Text(label.LongText)});
        ACall.Texts.push_back(Text(label.Text));
        ACall.Texts.push_back(Text(label.LongText));
      }
    editor->KeyBarSet = true;
    return 1;
  }
  case ECTL_GETFILENAME: {
    const auto needed = static_cast<intptr_t>(editor->FileName.size() + 1);
    auto* buffer = static_cast<char16_t*>(AParam2);
    if (buffer && ACall.Param1 > 0) {
      const size_t count = std::min<size_t>(editor->FileName.size(), ACall.Param1 - 1);
      std::copy_n(editor->FileName.begin(), count, buffer);
      buffer[count] = 0;
    }
    return needed;
  }
  default:
    return 0;
  }
}

// ---------------------------------------------------------------------------------------
// Message boxes, menus, messages, the rest

intptr_t TFakeFar::DoMenu(TCall& /*ACall*/, const FarMenuItem* /*AItems*/, size_t ACount,
                          intptr_t* ABreakCode) {
  if (ABreakCode) *ABreakCode = -1;
  if (MenuAnswers.empty()) return -1;
  const intptr_t answer = MenuAnswers.front();
  MenuAnswers.pop_front();
  return answer < static_cast<intptr_t>(ACount) ? answer : -1;
}

intptr_t TFakeFar::DoMessage(TCall& /*ACall*/) {
  if (MessageAnswers.empty()) return -1;
  const intptr_t answer = MessageAnswers.front();
  MessageAnswers.pop_front();
  return answer;
}

const char16_t* TFakeFar::DoGetMsg(intptr_t AMsgId) {
  if (AMsgId < 0 || static_cast<size_t>(AMsgId) >= fMessages.size()) return u"";
  return fMessages[static_cast<size_t>(AMsgId)].c_str();
}

intptr_t TFakeFar::DoAdvControl(TCall& ACall, void* AParam2) {
  switch (ACall.Command) {
  case ACTL_GETFARRECT:
    if (!AParam2) return 0;
    *static_cast<win::SMALL_RECT*>(AParam2) = FarRect;
    return 1;
  case ACTL_SETPROGRESSSTATE:
    ProgressState = ACall.Param1;
    return 1;
  case ACTL_SETPROGRESSVALUE:
    if (!AParam2) return 0;
    ProgressValues.push_back(*static_cast<const ProgressValue*>(AParam2));
    return 1;
  default:
    return 0;
  }
}

void TFakeFar::DoDialogFree(TCall& ACall) {
  Dialogs.erase(ACall.Handle);
}

intptr_t TFakeFar::DoSendDlgMessage(TCall& ACall, void* AParam2) {
  auto dialog = Dialogs.find(ACall.Handle);
  if (dialog == Dialogs.end()) return 0;
  if (ACall.Param1 < 0 || static_cast<size_t>(ACall.Param1) >= dialog->second.size()) return 0;
  TDialogItem& item = dialog->second[static_cast<size_t>(ACall.Param1)];
  const auto value = static_cast<intptr_t>(ACall.Param2);
  switch (ACall.Command) {
  case DM_GETCHECK:
    return item.Checked;
  case DM_SETCHECK: {
    const intptr_t old = item.Checked;
    item.Checked = value;
    return old;
  }
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
  case DM_SETTEXT:
    if (!AParam2) return 0;
    item.Text = ACall.Texts.empty() ? u"" : ACall.Texts[0];
    return 1;
  default:
    return 0;
  }
}

size_t TFakeFar::DoConvertPath(TCall& /*ACall*/, const char16_t* ASrc, char16_t* ADest,
                               size_t ASize) {
  if (!ASrc) return 0;
  const std::u16string path = ConvertPathPrefix + ASrc;
  if (ADest && ASize > 0) {
    const size_t count = std::min(path.size(), ASize - 1);
    std::copy_n(path.begin(), count, ADest);
    ADest[count] = 0;
  }
  return path.size() + 1;
}

size_t TFakeFar::DoMkTemp(TCall& /*ACall*/, char16_t* ADest, size_t ASize,
                          const char16_t* APrefix) {
  std::u16string directory = MkTempDirectory;
  if (directory.empty()) {
    char16_t buffer[win::MAX_PATH + 1] = {};
    const win::DWORD n = win::GetTempPathW(win::MAX_PATH + 1, buffer);
    if (n == 0 || n > win::MAX_PATH) return 0;
    directory.assign(buffer, n);
  }
  if (directory.back() != win::PathDelimiter) directory += win::PathDelimiter;
  const std::u16string prefix = APrefix && *APrefix ? APrefix : u"FAR";
  std::u16string name;
  do {
    const std::string number = std::to_string(++fMkTempCounter);
    name = directory + prefix + std::u16string(number.begin(), number.end()) + u".tmp";
  } while (win::GetFileAttributesW(name.c_str()) != win::INVALID_FILE_ATTRIBUTES);
  if (!ADest || ASize < name.size() + 1) return 0;
  std::copy(name.begin(), name.end(), ADest);
  ADest[name.size()] = 0;
  return name.size();
}

char16_t* TFakeFar::DoTruncPathStr(TCall& /*ACall*/, char16_t* AStr, intptr_t AMaxLength) {
  if (!AStr || AMaxLength < 0) return AStr;
  const std::u16string text(AStr);
  const auto max = static_cast<size_t>(AMaxLength);
  if (text.size() <= max) return AStr;
  std::u16string result;
  if (max < 4) {
    result = text.substr(0, max);
  } else {
    const size_t head = (max - 3) / 2;
    const size_t tail = max - 3 - head;
    result = text.substr(0, head) + u"..." + text.substr(text.size() - tail);
  }
  std::copy(result.begin(), result.end(), AStr);
  AStr[result.size()] = 0;
  return AStr;
}
