// The entries of FAR's service tables: plain functions with FAR's calling convention that
// reach the one TFarModel. With a call log set, each call is recorded as the plugin made
// it and a refused service answers as a host that cannot serve it.
#include <utility>

#include "farside/uFarModel.h"

namespace {

std::u16string Text(const char16_t* AText) {
  return AText ? std::u16string(AText) : std::u16string();
}

GUID GuidOf(const GUID* AGuid) {
  return AGuid ? *AGuid : GUID{};
}

template <class T> void Capture(TFarCall& ACall, const void* ARecord) {
  if (ARecord) ACall.Record.assign(static_cast<const char*>(ARecord), sizeof(T));
}

template <class R> intptr_t AsNumber(R AResult) {
  return static_cast<intptr_t>(AResult);
}

// One call of a service: AServe gives the model's answer; with a log, AFill describes
// the call before it is served and AFinish adds what the answer tells. Nothing thrown
// reaches the plugin: it gets ARefused.
template <class R, class Fill, class Serve, class Finish>
R Call(TFarService AService, intptr_t ACommand, R ARefused, Fill AFill, Serve AServe,
       Finish AFinish) {
  TFarModel* model = TFarModel::Current();
  if (!model) return ARefused;
  try {
    TFarCallLog* log = model->Log();
    if (!log) return AServe(*model);
    TFarCall call;
    call.Service = AService;
    call.Command = ACommand;
    AFill(call);
    R result = ARefused;
    call.Refused = log->IsRefused(AService, ACommand);
    if (!call.Refused) result = AServe(*model);
    AFinish(call, result);
    log->Calls.push_back(std::move(call));
    return result;
  } catch (...) {
    return ARefused;
  }
}

const auto RecordResult = [](TFarCall& ACall, auto AResult) { ACall.Result = AsNumber(AResult); };

intptr_t FARAPI_CALL MenuEntry(const GUID* APluginId, const GUID* AId, intptr_t AX, intptr_t AY,
                               intptr_t AMaxHeight, FARMENUFLAGS AFlags, const char16_t* ATitle,
                               const char16_t* ABottom, const char16_t* AHelpTopic,
                               const FarKey* /*ABreakKeys*/, intptr_t* ABreakCode,
                               const FarMenuItem* AItems, size_t AItemsNumber) {
  return Call(
      TFarService::Menu, 0, intptr_t(-1),
      [&](TFarCall& ACall) {
        ACall.PluginId = GuidOf(APluginId);
        ACall.Id = GuidOf(AId);
        ACall.Flags = AFlags;
        ACall.Args = {AX, AY, AMaxHeight};
        ACall.Param1 = AX;
        ACall.Texts = {Text(ATitle), Text(ABottom), Text(AHelpTopic)};
        for (size_t i = 0; AItems && i < AItemsNumber; ++i)
          ACall.Texts.push_back(Text(AItems[i].Text));
      },
      [&](TFarModel& AModel) {
        return AModel.Menu(Text(ATitle), Text(ABottom), Text(AHelpTopic), AItems, AItemsNumber,
                           ABreakCode);
      },
      RecordResult);
}

intptr_t FARAPI_CALL MessageEntry(const GUID* APluginId, const GUID* AId, FARMESSAGEFLAGS AFlags,
                                  const char16_t* /*AHelpTopic*/, const char16_t* const* AItems,
                                  size_t AItemsNumber, intptr_t AButtonsNumber) {
  return Call(
      TFarService::Message, 0, intptr_t(-1),
      [&](TFarCall& ACall) {
        ACall.PluginId = GuidOf(APluginId);
        ACall.Id = GuidOf(AId);
        ACall.Flags = AFlags;
        ACall.Args = {AButtonsNumber};
        ACall.Param1 = static_cast<intptr_t>(AItemsNumber);
        for (size_t i = 0; AItems && i < AItemsNumber; ++i)
          ACall.Texts.push_back(Text(AItems[i]));
      },
      [&](TFarModel& AModel) {
        return AModel.Message(AFlags, AItems, AItemsNumber, AButtonsNumber);
      },
      RecordResult);
}

const char16_t* FARAPI_CALL GetMsgEntry(const GUID* APluginId, intptr_t AMsgId) {
  return Call(
      TFarService::GetMsg, AMsgId, static_cast<const char16_t*>(nullptr),
      [&](TFarCall& ACall) {
        ACall.PluginId = GuidOf(APluginId);
        ACall.Param1 = AMsgId;
      },
      [&](TFarModel& AModel) { return AModel.GetMsg(AMsgId); },
      [](TFarCall& ACall, const char16_t* AResult) {
        ACall.Result = AResult ? 1 : 0;
        ACall.Texts = {Text(AResult)};
      });
}

void CapturePanelRecord(TFarCall& ACall, int ACommand, intptr_t AParam1, void* AParam2) {
  switch (ACommand) {
  case FCTL_GETPANELINFO:
    Capture<PanelInfo>(ACall, AParam2);
    break;
  case FCTL_GETPANELITEM:
    Capture<FarGetPluginPanelItem>(ACall, AParam2);
    break;
  case FCTL_GETPANELDIRECTORY:
    if (AParam2 && AParam1 > 0)
      ACall.Record.assign(static_cast<const char*>(AParam2),
                          std::min<size_t>(AParam1, sizeof(FarPanelDirectory)));
    break;
  default:
    break;
  }
}

intptr_t FARAPI_CALL PanelControlEntry(void* APanel, int ACommand, intptr_t AParam1,
                                       void* AParam2) {
  return Call(
      TFarService::PanelControl, ACommand, intptr_t(0),
      [&](TFarCall& ACall) {
        ACall.Handle = reinterpret_cast<uintptr_t>(APanel);
        ACall.Param1 = AParam1;
        ACall.Param2 = reinterpret_cast<uintptr_t>(AParam2);
        CapturePanelRecord(ACall, ACommand, AParam1, AParam2);
      },
      [&](TFarModel& AModel) { return AModel.PanelControl(APanel, ACommand, AParam1, AParam2); },
      RecordResult);
}

intptr_t FARAPI_CALL EditorEntry(const char16_t* AFileName, const char16_t* ATitle, intptr_t AX1,
                                 intptr_t AY1, intptr_t AX2, intptr_t AY2, EDITOR_FLAGS AFlags,
                                 intptr_t AStartLine, intptr_t AStartChar, uintptr_t ACodePage) {
  return Call(
      TFarService::Editor, 0, intptr_t(0),
      [&](TFarCall& ACall) {
        ACall.Flags = AFlags;
        ACall.Param1 = AStartLine;
        ACall.Args = {AX1, AY1, AX2, AY2, AStartLine, AStartChar, static_cast<intptr_t>(ACodePage)};
        ACall.Texts = {Text(AFileName), Text(ATitle)};
      },
      [&](TFarModel& AModel) {
        return AModel.Editor(AFileName, ATitle, AFlags, AStartLine, AStartChar, ACodePage);
      },
      RecordResult);
}

void CaptureEditorRecord(TFarCall& ACall, int ACommand, void* AParam2) {
  switch (ACommand) {
  case ECTL_GETINFO:
    Capture<EditorInfo>(ACall, AParam2);
    break;
  case ECTL_GETSTRING:
    Capture<EditorGetString>(ACall, AParam2);
    break;
  case ECTL_SETSTRING:
    Capture<EditorSetString>(ACall, AParam2);
    break;
  case ECTL_SETPOSITION:
    Capture<EditorSetPosition>(ACall, AParam2);
    break;
  case ECTL_SELECT:
    Capture<EditorSelect>(ACall, AParam2);
    break;
  case ECTL_SETKEYBAR:
    if (AParam2 && AParam2 != reinterpret_cast<void*>(-1))
      Capture<FarSetKeyBarTitles>(ACall, AParam2);
    break;
  default:
    break;
  }
}

// The texts an editor command sent: the line of SETSTRING, the labels of SETKEYBAR.
void RecordEditorTexts(TFarCall& ACall, int ACommand, void* AParam2) {
  if (ACall.Refused || !AParam2) return;
  if (ACommand == ECTL_SETSTRING) {
    const auto* record = static_cast<const EditorSetString*>(AParam2);
    if (record->StructSize >= sizeof(EditorSetString))
      ACall.Texts = {record->StringText && record->StringLength > 0
                         ? std::u16string(record->StringText, record->StringLength)
                         : std::u16string()};
  } else if (ACommand == ECTL_SETKEYBAR && AParam2 != reinterpret_cast<void*>(-1)) {
    const auto* record = static_cast<const FarSetKeyBarTitles*>(AParam2);
    if (record->StructSize < sizeof(FarSetKeyBarTitles) || !record->Titles) return;
    for (size_t i = 0; i < record->Titles->CountLabels; ++i) {
      ACall.Texts.push_back(Text(record->Titles->Labels[i].Text));
      ACall.Texts.push_back(Text(record->Titles->Labels[i].LongText));
    }
  }
}

intptr_t FARAPI_CALL EditorControlEntry(intptr_t AEditorID, int ACommand, intptr_t AParam1,
                                        void* AParam2) {
  return Call(
      TFarService::EditorControl, ACommand, intptr_t(0),
      [&](TFarCall& ACall) {
        ACall.Handle = static_cast<uintptr_t>(AEditorID);
        ACall.Param1 = AParam1;
        ACall.Param2 = reinterpret_cast<uintptr_t>(AParam2);
        CaptureEditorRecord(ACall, ACommand, AParam2);
      },
      [&](TFarModel& AModel) {
        return AModel.EditorControl(AEditorID, ACommand, AParam1, AParam2);
      },
      [&](TFarCall& ACall, intptr_t AResult) {
        ACall.Result = AResult;
        if (AResult != 0) RecordEditorTexts(ACall, ACommand, AParam2);
      });
}

intptr_t FARAPI_CALL AdvControlEntry(const GUID* APluginId, int ACommand, intptr_t AParam1,
                                     void* AParam2) {
  return Call(
      TFarService::AdvControl, ACommand, intptr_t(0),
      [&](TFarCall& ACall) {
        ACall.PluginId = GuidOf(APluginId);
        ACall.Param1 = AParam1;
        ACall.Param2 = reinterpret_cast<uintptr_t>(AParam2);
        if (ACommand == ACTL_SETPROGRESSVALUE) Capture<ProgressValue>(ACall, AParam2);
      },
      [&](TFarModel& AModel) { return AModel.AdvControl(ACommand, AParam1, AParam2); },
      RecordResult);
}

void FARAPI_CALL DialogFreeEntry(void* ADialog) {
  Call(
      TFarService::DialogFree, 0, 0,
      [&](TFarCall& ACall) { ACall.Handle = reinterpret_cast<uintptr_t>(ADialog); },
      [&](TFarModel& AModel) {
        AModel.DialogFree(ADialog);
        return 0;
      },
      [](TFarCall&, int) {});
}

intptr_t FARAPI_CALL SendDlgMessageEntry(void* ADialog, intptr_t AMsg, intptr_t AParam1,
                                         void* AParam2) {
  return Call(
      TFarService::SendDlgMessage, AMsg, intptr_t(0),
      [&](TFarCall& ACall) {
        ACall.Handle = reinterpret_cast<uintptr_t>(ADialog);
        ACall.Param1 = AParam1;
        ACall.Param2 = reinterpret_cast<uintptr_t>(AParam2);
        if ((AMsg == DM_GETTEXT || AMsg == DM_SETTEXT) && AParam2)
          Capture<FarDialogItemData>(ACall, AParam2);
        if (AMsg == DM_SETTEXT && AParam2) {
          const auto* data = static_cast<const FarDialogItemData*>(AParam2);
          ACall.Texts = {data->PtrData ? std::u16string(data->PtrData, data->PtrLength) : u""};
        }
      },
      [&](TFarModel& AModel) { return AModel.SendDlgMessage(ADialog, AMsg, AParam1, AParam2); },
      RecordResult);
}

size_t FARAPI_CALL ConvertPathEntry(int AMode, const char16_t* ASrc, char16_t* ADest,
                                    size_t ADestSize) {
  return Call(
      TFarService::ConvertPath, AMode, size_t(0),
      [&](TFarCall& ACall) {
        ACall.Param2 = reinterpret_cast<uintptr_t>(ADest);
        ACall.Args = {static_cast<intptr_t>(ADestSize)};
        ACall.Texts = {Text(ASrc)};
      },
      [&](TFarModel& AModel) { return AModel.ConvertPath(AMode, ASrc, ADest, ADestSize); },
      RecordResult);
}

size_t FARAPI_CALL MkTempEntry(char16_t* ADest, size_t ADestSize, const char16_t* APrefix) {
  return Call(
      TFarService::MkTemp, 0, size_t(0),
      [&](TFarCall& ACall) {
        ACall.Param2 = reinterpret_cast<uintptr_t>(ADest);
        ACall.Args = {static_cast<intptr_t>(ADestSize)};
        ACall.Texts = {Text(APrefix)};
      },
      [&](TFarModel& AModel) { return AModel.MkTemp(ADest, ADestSize, APrefix); }, RecordResult);
}

char16_t* FARAPI_CALL TruncPathStrEntry(char16_t* AText, intptr_t AMaxLength) {
  return Call(
      TFarService::TruncPathStr, 0, AText,
      [&](TFarCall& ACall) {
        ACall.Param1 = AMaxLength;
        ACall.Args = {AMaxLength};
        ACall.Texts = {Text(AText)};
      },
      [&](TFarModel& AModel) { return AModel.TruncPathStr(AText, AMaxLength); },
      [](TFarCall&, char16_t*) {});
}

void* FARAPI_CALL SaveScreenEntry(intptr_t AX1, intptr_t AY1, intptr_t AX2, intptr_t AY2) {
  return Call(
      TFarService::SaveScreen, 0, static_cast<void*>(nullptr),
      [&](TFarCall& ACall) {
        ACall.Args = {AX1, AY1, AX2, AY2};
      },
      [&](TFarModel& AModel) { return AModel.SaveScreen(); },
      [](TFarCall& ACall, void* AResult) {
        ACall.Handle = reinterpret_cast<uintptr_t>(AResult);
        ACall.Result = AResult ? 1 : 0;
      });
}

void FARAPI_CALL RestoreScreenEntry(void* AScreen) {
  Call(
      TFarService::RestoreScreen, 0, 0,
      [&](TFarCall& ACall) { ACall.Handle = reinterpret_cast<uintptr_t>(AScreen); },
      [&](TFarModel& AModel) {
        AModel.RestoreScreen(AScreen);
        return 0;
      },
      [](TFarCall&, int) {});
}

} // namespace

// Fills the service tables; TFarModel's constructor calls it.
void InstallFarServices(PluginStartupInfo& AInfo, FarStandardFunctions& AFSF) {
  AFSF.StructSize = sizeof(FarStandardFunctions);
  AFSF.ConvertPath = ConvertPathEntry;
  AFSF.MkTemp = MkTempEntry;
  AFSF.TruncPathStr = TruncPathStrEntry;
  AInfo.StructSize = sizeof(PluginStartupInfo);
  AInfo.Menu = MenuEntry;
  AInfo.Message = MessageEntry;
  AInfo.GetMsg = GetMsgEntry;
  AInfo.PanelControl = PanelControlEntry;
  AInfo.Editor = EditorEntry;
  AInfo.EditorControl = EditorControlEntry;
  AInfo.AdvControl = AdvControlEntry;
  AInfo.SaveScreen = SaveScreenEntry;
  AInfo.RestoreScreen = RestoreScreenEntry;
  AInfo.DialogFree = DialogFreeEntry;
  AInfo.SendDlgMessage = SendDlgMessageEntry;
  AInfo.FSF = &AFSF;
}
