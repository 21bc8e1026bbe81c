// The host's service tables as copied at start-up, and thin calls into them.
//
// The calls answer as a refusing host would (0, null) when a service is missing from the
// copied tables, so that nothing above them ever calls through a null pointer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "far/Plugin3.h"

// Copies of the host's tables (SetStartupInfoW fills them; FarAPI.FSF then points at
// FarFSF) and the plugin's own GUID, passed as PluginId in every host call that takes one.
extern PluginStartupInfo FarAPI;
extern FarStandardFunctions FarFSF;
extern GUID FarPluginGUID;

namespace farhost {

intptr_t Menu(const GUID* AId, intptr_t AX, intptr_t AY, intptr_t AMaxHeight, FARMENUFLAGS AFlags,
              const char16_t* ATitle, const char16_t* ABottom, const char16_t* AHelpTopic,
              const FarKey* ABreakKeys, intptr_t* ABreakCode, const FarMenuItem* AItems,
              size_t AItemsNumber);
intptr_t Message(const GUID* AId, FARMESSAGEFLAGS AFlags, const char16_t* AHelpTopic,
                 const char16_t* const* AItems, size_t AItemsNumber, intptr_t AButtonsNumber);
const char16_t* GetMsg(intptr_t AMsgId);
intptr_t PanelControl(uintptr_t APanel, int ACommand, intptr_t AParam1, void* AParam2);
intptr_t Editor(const char16_t* AFileName, const char16_t* ATitle, intptr_t AX1, intptr_t AY1,
                intptr_t AX2, intptr_t AY2, EDITOR_FLAGS AFlags, intptr_t AStartLine,
                intptr_t AStartChar, uintptr_t ACodePage);
intptr_t EditorControl(intptr_t AEditorID, int ACommand, intptr_t AParam1, void* AParam2);
intptr_t AdvControl(int ACommand, intptr_t AParam1, void* AParam2);
// The screen's rectangle (-1 for the right or bottom edge) saved, and put back and freed:
// what a box without buttons drew over it goes.
void* SaveScreen(intptr_t AX1, intptr_t AY1, intptr_t AX2, intptr_t AY2);
void RestoreScreen(void* AScreen);
void DialogFree(uintptr_t ADialog);
intptr_t SendDlgMessage(uintptr_t ADialog, intptr_t AMsg, intptr_t AParam1, void* AParam2);
size_t ConvertPath(int AMode, const char16_t* ASrc, char16_t* ADest, size_t ADestSize);
size_t MkTemp(char16_t* ADest, size_t ADestSize, const char16_t* APrefix);
char16_t* TruncPathStr(char16_t* AStr, intptr_t AMaxLength);

} // namespace farhost
