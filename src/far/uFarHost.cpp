#include "far/uFarHost.h"

PluginStartupInfo FarAPI{};
FarStandardFunctions FarFSF{};
GUID FarPluginGUID{};

namespace farhost {

namespace {
void* AsHandle(uintptr_t AHandle) {
  return reinterpret_cast<void*>(AHandle);
}
} // namespace

intptr_t Menu(const GUID* AId, intptr_t AX, intptr_t AY, intptr_t AMaxHeight, FARMENUFLAGS AFlags,
              const char16_t* ATitle, const char16_t* ABottom, const char16_t* AHelpTopic,
              const FarKey* ABreakKeys, intptr_t* ABreakCode, const FarMenuItem* AItems,
              size_t AItemsNumber) {
  if (!FarAPI.Menu) return -1;
  return FarAPI.Menu(&FarPluginGUID, AId, AX, AY, AMaxHeight, AFlags, ATitle, ABottom, AHelpTopic,
                     ABreakKeys, ABreakCode, AItems, AItemsNumber);
}

intptr_t Message(const GUID* AId, FARMESSAGEFLAGS AFlags, const char16_t* AHelpTopic,
                 const char16_t* const* AItems, size_t AItemsNumber, intptr_t AButtonsNumber) {
  if (!FarAPI.Message) return -1;
  return FarAPI.Message(&FarPluginGUID, AId, AFlags, AHelpTopic, AItems, AItemsNumber,
                        AButtonsNumber);
}

const char16_t* GetMsg(intptr_t AMsgId) {
  if (!FarAPI.GetMsg) return nullptr;
  return FarAPI.GetMsg(&FarPluginGUID, AMsgId);
}

intptr_t PanelControl(uintptr_t APanel, int ACommand, intptr_t AParam1, void* AParam2) {
  if (!FarAPI.PanelControl) return 0;
  return FarAPI.PanelControl(AsHandle(APanel), ACommand, AParam1, AParam2);
}

intptr_t Editor(const char16_t* AFileName, const char16_t* ATitle, intptr_t AX1, intptr_t AY1,
                intptr_t AX2, intptr_t AY2, EDITOR_FLAGS AFlags, intptr_t AStartLine,
                intptr_t AStartChar, uintptr_t ACodePage) {
  if (!FarAPI.Editor) return EEC_OPEN_ERROR;
  return FarAPI.Editor(AFileName, ATitle, AX1, AY1, AX2, AY2, AFlags, AStartLine, AStartChar,
                       ACodePage);
}

intptr_t EditorControl(intptr_t AEditorID, int ACommand, intptr_t AParam1, void* AParam2) {
  if (!FarAPI.EditorControl) return 0;
  return FarAPI.EditorControl(AEditorID, ACommand, AParam1, AParam2);
}

intptr_t AdvControl(int ACommand, intptr_t AParam1, void* AParam2) {
  if (!FarAPI.AdvControl) return 0;
  return FarAPI.AdvControl(&FarPluginGUID, ACommand, AParam1, AParam2);
}

void* SaveScreen(intptr_t AX1, intptr_t AY1, intptr_t AX2, intptr_t AY2) {
  if (!FarAPI.SaveScreen) return nullptr;
  return FarAPI.SaveScreen(AX1, AY1, AX2, AY2);
}

void RestoreScreen(void* AScreen) {
  if (FarAPI.RestoreScreen) FarAPI.RestoreScreen(AScreen);
}

void DialogFree(uintptr_t ADialog) {
  if (FarAPI.DialogFree) FarAPI.DialogFree(AsHandle(ADialog));
}

intptr_t SendDlgMessage(uintptr_t ADialog, intptr_t AMsg, intptr_t AParam1, void* AParam2) {
  if (!FarAPI.SendDlgMessage) return 0;
  return FarAPI.SendDlgMessage(AsHandle(ADialog), AMsg, AParam1, AParam2);
}

size_t ConvertPath(int AMode, const char16_t* ASrc, char16_t* ADest, size_t ADestSize) {
  if (!FarFSF.ConvertPath) return 0;
  return FarFSF.ConvertPath(AMode, ASrc, ADest, ADestSize);
}

size_t MkTemp(char16_t* ADest, size_t ADestSize, const char16_t* APrefix) {
  if (!FarFSF.MkTemp) return 0;
  return FarFSF.MkTemp(ADest, ADestSize, APrefix);
}

char16_t* TruncPathStr(char16_t* AStr, intptr_t AMaxLength) {
  if (!FarFSF.TruncPathStr) return AStr;
  return FarFSF.TruncPathStr(AStr, AMaxLength);
}

} // namespace farhost
