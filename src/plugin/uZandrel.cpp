// The seven functions that FAR calls, and the one that quorvane-run calls besides. Each
// turns its caller's call into the rename job's operations, and none lets an exception out.
#include "plugin/uZandrel.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>

#include "far/uFAR.h"
#include "filelist/uFileList.h"
#include "filelist/uJobReport.h"
#include "messages/uMessages.h"
#include "plugin/uZandrelConsts.h"
#include "system/uCompatibility.h"
#include "system/uSystem.h"

#ifdef _WIN32
#define QUORVANE_EXPORT extern "C"
#else
#define QUORVANE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

const char16_t PluginTitle[] = u"Quorvane";
const char16_t PluginAuthor[] = u"The Quorvane developers, https://quorvane.example.org";

// What GetPluginInfoW hands to FAR, kept where FAR's pointers stay valid. The text is
// fetched on every call: FAR frees its texts when the user changes the language and then
// asks again, so a text kept from an earlier call may point into freed memory.
const char16_t* PluginMenuStrings[1] = {nullptr};
const GUID PluginMenuGuids[1] = {PluginMenuGUID};

// Tells the user that the list file could not be written or read. Nothing else must
// escape from here either.
void ReportListFileError(TMessageId AMessage) noexcept {
  try {
    ShowMessageIds({MTitle, AMessage, MOk}, 1, FMSG_WARNING);
  } catch (...) {
  }
}

// The job of an editor: by its id, else by the file it shows.
bool FindFileListForEditor(intptr_t AEditorID, TFileList*& AList) {
  if (AEditorID == -1) {
    TEditorInfo info;
    if (TFarEditor::GetInfo(-1, info)) AEditorID = info.EditorID;
  }
  if (TFileList::FindActiveFileListByEditorID(static_cast<int32_t>(AEditorID), AList)) return true;
  std::u16string fileName;
  return TFarEditor::GetFileName(static_cast<int32_t>(AEditorID), fileName) &&
         TFileList::FindActiveFileListByListFileName(fileName, AList);
}

void OpenFromPanel() {
  auto list = std::make_unique<TFileList>();
  try {
    const TFileList::TPanelLoad loaded = list->LoadFromPanel(true);
    if (loaded != TFileList::plListed) {
      const TMessageId why =
          loaded == TFileList::plNothingToList ? MNothingToList : MNotFilesOnDisk;
      ShowMessageIds({MTitle, why, MOk}, 1, FMSG_WARNING);
      return;
    }
  } catch (...) {
    list.reset(); // unregisters the job and deletes whatever was written of its list
    ReportListFileError(MEditorOpenError);
    return;
  }
  // From here on only the registry holds the job.
  if (list->OpenInEditor()) list.release();
}

void CloseEditor(intptr_t AEditorID) {
  TFileList* found;
  if (!FindFileListForEditor(AEditorID, found)) return;
  std::unique_ptr<TFileList> list(found);
  try {
    list->RenameFiles();
    // The user edits the list again: the job stays, now with the new editor.
    if (list->EditingAgain()) list.release();
  } catch (...) {
    list.reset();
    ReportListFileError(MEditorOpenError);
  }
}

} // namespace

QUORVANE_EXPORT void FARAPI_CALL SetStartupInfoW(const PluginStartupInfo* Info) {
  try {
    if (!Info) return;
    FarAPI = {};
    std::memcpy(&FarAPI, Info, std::min<size_t>(sizeof(FarAPI), Info->StructSize));
    FarFSF = {};
    if (Info->FSF)
      std::memcpy(&FarFSF, Info->FSF, std::min<size_t>(sizeof(FarFSF), Info->FSF->StructSize));
    FarAPI.FSF = &FarFSF;
  } catch (...) {
  }
}

// A host that ends while a rename is under way (quorvane-run on a signal, from inside a
// message box) says so here first: files that wait under a free name are given back.
QUORVANE_EXPORT void FARAPI_CALL ExitFARW(const ExitInfo*) {
  try {
    TFileList::EndRenameUnderWay();
  } catch (...) {
  }
}

QUORVANE_EXPORT void FARAPI_CALL GetGlobalInfoW(GlobalInfo* Info) {
  try {
    if (!Info) return;
    std::memset(Info, 0, sizeof(GlobalInfo));
    Info->StructSize = sizeof(GlobalInfo);
    Info->MinFarVersion = {3, 0, 0, 0, 0};
    uint32_t major, minor, build;
    if (GetModuleVersion(ThisModuleFileName(), major, minor, build))
      Info->Version = {major, minor, 0, build, 0};
    Info->Guid = PluginGUID;
    Info->Title = PluginTitle;
    Info->Description = PluginTitle;
    Info->Author = PluginAuthor;
  } catch (...) {
  }
}

QUORVANE_EXPORT void FARAPI_CALL GetPluginInfoW(PluginInfo* Info) {
  try {
    if (!Info) return;
    PluginMenuStrings[0] = GetMessageText(MTitle);
    std::memset(Info, 0, sizeof(PluginInfo));
    Info->StructSize = sizeof(PluginInfo);
    Info->Flags = PF_EDITOR;
    Info->PluginMenu.Guids = PluginMenuGuids;
    Info->PluginMenu.Strings = PluginMenuStrings;
    Info->PluginMenu.Count = 1;
  } catch (...) {
  }
}

QUORVANE_EXPORT void* FARAPI_CALL OpenW(const OpenInfo* Info) {
  try {
    if (!Info) return nullptr;
    if (Info->OpenFrom == OPEN_EDITOR) {
      TFileList* list;
      if (FindFileListForEditor(-1, list)) list->ShowEditorMenu(EditorMenuGUID);
    } else {
      OpenFromPanel();
    }
  } catch (...) {
  }
  return nullptr;
}

// The least a record must hold for the fields read from it, on this architecture: a
// StructSize below it means a host whose record ends before them.
constexpr size_t EditorEventRecordSize =
    offsetof(ProcessEditorEventInfo, EditorID) + sizeof(ProcessEditorEventInfo::EditorID);
constexpr size_t EditorInputRecordSize =
    offsetof(ProcessEditorInputInfo, Rec) + sizeof(ProcessEditorInputInfo::Rec);

QUORVANE_EXPORT intptr_t FARAPI_CALL ProcessEditorEventW(const ProcessEditorEventInfo* Info) {
  try {
    if (!Info || Info->StructSize < EditorEventRecordSize || Info->Event != EE_CLOSE) return 0;
    CloseEditor(Info->EditorID);
  } catch (...) {
  }
  return 0;
}

QUORVANE_EXPORT intptr_t FARAPI_CALL ProcessEditorInputW(const ProcessEditorInputInfo* Info) {
  try {
    if (!Info || Info->StructSize < EditorInputRecordSize) return 0;
    const win::INPUT_RECORD& rec = Info->Rec;
    if (rec.EventType != KEY_EVENT || !rec.Event.KeyEvent.bKeyDown) return 0;
    // Exactly one Alt key, no Ctrl, no Shift.
    const uint32_t modifiers = rec.Event.KeyEvent.dwControlKeyState &
                               (RIGHT_ALT_PRESSED | LEFT_ALT_PRESSED | RIGHT_CTRL_PRESSED |
                                LEFT_CTRL_PRESSED | SHIFT_PRESSED);
    if (modifiers != RIGHT_ALT_PRESSED && modifiers != LEFT_ALT_PRESSED) return 0;

    TFileList* list;
    switch (rec.Event.KeyEvent.wVirtualKeyCode) {
    case VK_F1:
      return FindFileListForEditor(-1, list) && list->JumpToDestinationFileName() ? 1 : 0;
    case VK_F2:
      return FindFileListForEditor(-1, list) && list->SelectDestinationFilenames() ? 1 : 0;
    default:
      return 0;
    }
  } catch (...) {
  }
  return 0;
}

void InitializeZandrel() {
  FarPluginGUID = PluginGUID;
}
void FinalizeZandrel() {}

const TUnitSteps UnitChain[] = {
    // System support: the optional entry points, then the temporary names; at shut-down
    // kernel32 goes first and the leftover temporary files are deleted last of all.
    {"system support",
     [] {
       InitializeCompatibility();
       InitializeSystem();
     },
     [] {
       FinalizeCompatibility();
       FinalizeSystem();
     }},
    {"host wrapper", InitializeFAR, FinalizeFAR},
    {"file lists", InitializeFileList, FinalizeFileList},
    {"main unit", InitializeZandrel, FinalizeZandrel},
};
const size_t UnitChainLength = std::size(UnitChain);

void StartupUnits() {
  for (const TUnitSteps& unit : UnitChain)
    unit.Startup();
}

void ShutdownUnits() {
  for (size_t i = UnitChainLength; i-- > 0;)
    UnitChain[i].Shutdown();
}

// Not FAR's: quorvane-run asks through it for the outcome of every line of the jobs that
// follow. FAR never calls it.
QUORVANE_EXPORT void FARAPI_CALL QuorvaneSetJobReport(const TJobReport* AReport) {
  SetJobReport(AReport);
}
