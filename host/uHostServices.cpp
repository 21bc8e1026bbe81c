#include "uHostServices.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "farside/uPanelRecords.h"
#include "messages/uMessages.h"
#include "uHostOptions.h"
#include "uHostPanel.h"
#include "uHostPlatform.h"
#include "uHostPrompt.h"
#include "uHostText.h"

namespace host {

THostServices* THostServices::Current = nullptr;

namespace {

const char16_t* const EmptyText = u"";

// Windows file attributes of panel items.
constexpr uintptr_t AttributeDirectory = 0x10;
constexpr uintptr_t AttributeArchive = 0x20;

std::u16string Text(const char16_t* AText) {
  return AText ? std::u16string(AText) : std::u16string();
}

// Copies AText with its terminating zero into ADest (ADestSize characters), cutting it to
// fit; answers the size needed, zero included, as FAR's two-call services do.
size_t CopyOut(const std::u16string& AText, char16_t* ADest, size_t ADestSize) {
  if (ADest && ADestSize > 0) {
    const size_t count = std::min(AText.size(), ADestSize - 1);
    std::memcpy(ADest, AText.data(), count * sizeof(char16_t));
    ADest[count] = 0;
  }
  return AText.size() + 1;
}

// The static entries of the service tables. Nothing thrown here may reach the plugin.
template <typename F> auto Guarded(F AService, decltype(AService()) AFallback) {
  try {
    if (THostServices::Current) return AService();
  } catch (...) {
  }
  return AFallback;
}

intptr_t FARAPI_CALL MenuEntry(const GUID*, const GUID*, intptr_t, intptr_t, intptr_t, FARMENUFLAGS,
                               const char16_t* ATitle, const char16_t*, const char16_t*,
                               const FarKey*, intptr_t* ABreakCode, const FarMenuItem* AItems,
                               size_t AItemsNumber) {
  return Guarded(
      [&] { return THostServices::Current->Menu(ATitle, AItems, AItemsNumber, ABreakCode); },
      intptr_t(-1));
}

intptr_t FARAPI_CALL MessageEntry(const GUID*, const GUID*, FARMESSAGEFLAGS AFlags, const char16_t*,
                                  const char16_t* const* AItems, size_t AItemsNumber,
                                  intptr_t AButtonsNumber) {
  return Guarded(
      [&] { return THostServices::Current->Message(AFlags, AItems, AItemsNumber, AButtonsNumber); },
      intptr_t(-1));
}

const char16_t* FARAPI_CALL GetMsgEntry(const GUID*, intptr_t AMsgId) {
  return Guarded([&] { return THostServices::Current->GetMsg(AMsgId); }, EmptyText);
}

intptr_t FARAPI_CALL PanelControlEntry(void* APanel, int ACommand, intptr_t AParam1,
                                       void* AParam2) {
  return Guarded(
      [&] { return THostServices::Current->PanelControl(APanel, ACommand, AParam1, AParam2); },
      intptr_t(0));
}

intptr_t FARAPI_CALL EditorEntry(const char16_t* AFileName, const char16_t*, intptr_t, intptr_t,
                                 intptr_t, intptr_t, EDITOR_FLAGS AFlags, intptr_t AStartLine,
                                 intptr_t, uintptr_t) {
  return Guarded([&] { return THostServices::Current->OpenEditor(AFileName, AFlags, AStartLine); },
                 EEC_OPEN_ERROR);
}

intptr_t FARAPI_CALL EditorControlEntry(intptr_t AEditorID, int ACommand, intptr_t AParam1,
                                        void* AParam2) {
  return Guarded(
      [&] { return THostServices::Current->EditorControl(AEditorID, ACommand, AParam1, AParam2); },
      intptr_t(0));
}

intptr_t FARAPI_CALL AdvControlEntry(const GUID*, int ACommand, intptr_t AParam1, void* AParam2) {
  return Guarded([&] { return THostServices::Current->AdvControl(ACommand, AParam1, AParam2); },
                 intptr_t(0));
}

// No dialog is ever made by this host, so there is none to free or to talk to.
void FARAPI_CALL DialogFreeEntry(void*) {}

intptr_t FARAPI_CALL SendDlgMessageEntry(void*, intptr_t, intptr_t, void*) {
  return 0;
}

size_t FARAPI_CALL ConvertPathEntry(int AMode, const char16_t* ASource, char16_t* ADest,
                                    size_t ADestSize) {
  return Guarded(
      [&] { return THostServices::Current->ConvertPath(AMode, ASource, ADest, ADestSize); },
      size_t(0));
}

size_t FARAPI_CALL MkTempEntry(char16_t* ADest, size_t ADestSize, const char16_t* APrefix) {
  return Guarded([&] { return THostServices::Current->MkTemp(ADest, ADestSize, APrefix); },
                 size_t(0));
}

// Shortens a path in place to AMaxLength characters: the root stays, "..." stands for
// what is cut from the front of the rest.
char16_t* FARAPI_CALL TruncPathStrEntry(char16_t* AText, intptr_t AMaxLength) {
  if (!AText || AMaxLength < 0) return AText;
  const std::u16string text(AText);
  const size_t max = static_cast<size_t>(AMaxLength);
  if (text.size() <= max) return AText;
  std::u16string result;
  if (max <= 3) {
    result = text.substr(0, max);
  } else {
    size_t root = 0;
    if (text.size() > 2 && text[1] == u':' && text[2] == u'\\')
      root = 3;
    else if (!text.empty() && text[0] == u'/')
      root = 1;
    if (root + 3 >= max) root = 0;
    result = text.substr(0, root) + u"..." + text.substr(text.size() - (max - root - 3));
  }
  std::memcpy(AText, result.data(), result.size() * sizeof(char16_t));
  AText[result.size()] = 0;
  return AText;
}

// Lines of a text file: the line ends, and one more for a last line without one.
intptr_t CountLines(const std::u16string& AFileName) {
  std::ifstream file(U16ToPath(AFileName), std::ios::binary);
  intptr_t lines = 0;
  char last = '\n';
  char buffer[65536];
  while (file.read(buffer, sizeof(buffer)) || file.gcount() > 0) {
    const std::streamsize count = file.gcount();
    for (std::streamsize i = 0; i < count; ++i)
      lines += buffer[i] == '\n';
    last = buffer[count - 1];
  }
  return lines + (last != '\n');
}

} // namespace

THostServices::THostServices(TPanel& APanel, TPrompter& APrompter,
                             std::vector<std::u16string> AMessages, std::u16string APluginFileName)
    : fPanel(APanel), fPrompter(APrompter), fMessages(std::move(AMessages)),
      fPluginFileName(std::move(APluginFileName)) {
  fFunctions.StructSize = sizeof(fFunctions);
  fFunctions.TruncPathStr = TruncPathStrEntry;
  fFunctions.MkTemp = MkTempEntry;
  fFunctions.ConvertPath = ConvertPathEntry;

  fStartupInfo.StructSize = sizeof(fStartupInfo);
  fStartupInfo.ModuleName = fPluginFileName.c_str();
  fStartupInfo.Menu = MenuEntry;
  fStartupInfo.Message = MessageEntry;
  fStartupInfo.GetMsg = GetMsgEntry;
  fStartupInfo.PanelControl = PanelControlEntry;
  fStartupInfo.Editor = EditorEntry;
  fStartupInfo.EditorControl = EditorControlEntry;
  fStartupInfo.FSF = &fFunctions;
  fStartupInfo.AdvControl = AdvControlEntry;
  fStartupInfo.DialogFree = DialogFreeEntry;
  fStartupInfo.SendDlgMessage = SendDlgMessageEntry;
  Current = this;
}

THostServices::~THostServices() {
  if (Current == this) Current = nullptr;
}

void THostServices::BeginEnding() {
  if (fEnding) return;
  fEnding = true;
  if (fEndJobHook) fEndJobHook();
}

void THostServices::EndJob() {
  BeginEnding();
  if (fEditor.Open) {
    std::error_code ignored;
    std::filesystem::remove(U16ToPath(fEditor.FileName), ignored);
  }
  WriteErr(u"quorvane-run: interrupted; the job is ended\n");
  std::_Exit(ExitNotAllDone);
}

intptr_t THostServices::Message(uint64_t AFlags, const char16_t* const* AItems, size_t AItemsNumber,
                                intptr_t AButtonsNumber) {
  // A signal that came while the plugin worked ends the job here, where no move is under
  // way, once this box has been shown; one that comes while the user is asked is the
  // prompter's.
  const bool endAfterBox = !fEnding && TakeSignal() != sigNone;
  if (endAfterBox) BeginEnding();
  // Whatever the plugin shows, the user is told of something that did not go as asked.
  const bool reportedBefore = fProblemReported;
  fProblemReported = true;
  if (!AItems || AItemsNumber == 0) {
    if (endAfterBox) EndJob();
    return -1;
  }
  const size_t buttons =
      AButtonsNumber <= 0 ? 0 : std::min(static_cast<size_t>(AButtonsNumber), AItemsNumber - 1);
  std::vector<std::u16string> lines;
  for (size_t i = 1; i < AItemsNumber - buttons; ++i)
    lines.push_back(Text(AItems[i]));
  std::vector<std::u16string> buttonTexts;
  for (size_t i = AItemsNumber - buttons; i < AItemsNumber; ++i) {
    buttonTexts.push_back(Text(AItems[i]));
  }
  // While the job ends, a box is shown without its buttons and counts as cancelled.
  if (fEnding) buttonTexts.clear();
  const intptr_t answer =
      fPrompter.Ask(Text(AItems[0]), lines, buttonTexts, (AFlags & FMSG_WARNING) != 0);
  if (endAfterBox) EndJob();
  if (fEnding) return -1;
  if (fPrompter.Terminated()) EndJob();
  if (answer >= 0 && buttons > 1) {
    const std::u16string& chosen = buttonTexts[answer];
    if (chosen == Text(GetMsg(MRetry)) || chosen == Text(GetMsg(MOverwrite))) {
      // The plugin tries again and comes back with a box if that fails as well.
      fProblemReported = reportedBefore;
    }
  }
  return answer;
}

intptr_t THostServices::Menu(const char16_t* ATitle, const FarMenuItem* AItems, size_t AItemsNumber,
                             intptr_t* ABreakCode) {
  if (ABreakCode) *ABreakCode = -1;
  std::vector<std::u16string> items;
  for (size_t i = 0; AItems && i < AItemsNumber; ++i)
    items.push_back(Text(AItems[i].Text));
  return fPrompter.Choose(Text(ATitle), items);
}

const char16_t* THostServices::GetMsg(intptr_t AMsgId) const {
  if (AMsgId < 0 || static_cast<size_t>(AMsgId) >= fMessages.size()) return EmptyText;
  return fMessages[AMsgId].c_str();
}

intptr_t THostServices::PanelControl(void* APanel, int ACommand, intptr_t AParam1, void* AParam2) {
  // One panel: the directory given. The passive one is refused as if it were absent.
  if (APanel != PANEL_ACTIVE) return 0;
  switch (ACommand) {
  case FCTL_GETPANELINFO: {
    auto* info = static_cast<PanelInfo*>(AParam2);
    if (!info || info->StructSize < sizeof(PanelInfo)) return 0;
    int columns = 0, rows = 0;
    TerminalSize(columns, rows);
    const size_t structSize = info->StructSize;
    std::memset(info, 0, sizeof(PanelInfo));
    info->StructSize = structSize;
    info->Flags = PFLAGS_PANELLEFT;
    info->ItemsNumber = fPanel.Items().size();
    info->SelectedItemsNumber = fPanel.SelectedCount();
    info->PanelRect = {0, 1, columns / 2 - 1, rows - 2};
    info->CurrentItem = fPanel.CurrentItem();
    info->TopPanelItem = 0;
    return 1;
  }
  case FCTL_GETPANELITEM:
    return GetPanelItem(AParam1, static_cast<FarGetPluginPanelItem*>(AParam2));
  case FCTL_GETPANELDIRECTORY:
    return GetPanelDirectory(AParam1, static_cast<FarPanelDirectory*>(AParam2));
  case FCTL_SETSELECTION:
    if (AParam1 < 0 || static_cast<size_t>(AParam1) >= fPanel.Items().size()) return 0;
    fPanel.SetSelected(static_cast<size_t>(AParam1), AParam2 != nullptr);
    return 1;
  case FCTL_UPDATEPANEL:
  case FCTL_REDRAWPANEL:
  case FCTL_BEGINSELECTION:
  case FCTL_ENDSELECTION:
    return 1;
  default:
    return 0;
  }
}

intptr_t THostServices::GetPanelItem(intptr_t AIndex, FarGetPluginPanelItem* AItem) {
  if (AIndex < 0 || static_cast<size_t>(AIndex) >= fPanel.Items().size()) return 0;
  const TPanelEntry& entry = fPanel.Items()[AIndex];
  TPanelItemRecord record;
  record.Fields.Flags = entry.Selected ? PPIF_SELECTED : PPIF_NONE;
  record.Fields.FileAttributes = entry.Folder ? AttributeDirectory : AttributeArchive;
  record.Fields.NumberOfLinks = 1;
  record.FileName = entry.Name;
  record.AlternateFileName = u"";
  const size_t size = PanelItemSize(record);
  if (!AItem) return static_cast<intptr_t>(size);
  if (AItem->StructSize < sizeof(FarGetPluginPanelItem) || !AItem->Item || AItem->Size < size) {
    return static_cast<intptr_t>(size);
  }
  PackPanelItem(record, AItem->Item);
  return static_cast<intptr_t>(size);
}

intptr_t THostServices::GetPanelDirectory(intptr_t ASize, FarPanelDirectory* ADirectory) {
  TPanelDirectoryRecord record;
  record.Name = fPanel.Directory();
  record.Param = u"";
  record.File = u"";
  const size_t size = PanelDirectorySize(record);
  if (!ADirectory || ASize < static_cast<intptr_t>(size) ||
      ADirectory->StructSize < sizeof(FarPanelDirectory)) {
    return static_cast<intptr_t>(size);
  }
  PackPanelDirectory(record, ADirectory);
  return static_cast<intptr_t>(size);
}

intptr_t THostServices::OpenEditor(const char16_t* AFileName, uint64_t AFlags,
                                   intptr_t AStartLine) {
  // One editor at a time: the terminal has room for no more.
  if (fEditor.Open || !AFileName || !*AFileName) return EEC_OPEN_ERROR;
  fEditor.Open = true;
  fEditor.Id = fNextEditorId++;
  // The name as given when it is full already: the plugin looks its job up by it.
  fEditor.FileName = AFileName;
  if (!U16ToPath(fEditor.FileName).is_absolute()) {
    fEditor.FileName = FullPathName(fEditor.FileName, false);
  }
  fEditor.StartLine = AStartLine;
  fEditor.Flags = AFlags;
  return EEC_MODIFIED;
}

intptr_t THostServices::EditorControl(intptr_t AEditorID, int ACommand, intptr_t AParam1,
                                      void* AParam2) {
  if (!fEditor.Open || (AEditorID != -1 && AEditorID != fEditor.Id)) return 0;
  switch (ACommand) {
  case ECTL_GETINFO: {
    auto* info = static_cast<EditorInfo*>(AParam2);
    if (!info || info->StructSize < sizeof(EditorInfo)) return 0;
    int columns = 0, rows = 0;
    TerminalSize(columns, rows);
    const size_t structSize = info->StructSize;
    std::memset(info, 0, sizeof(EditorInfo));
    info->StructSize = structSize;
    info->EditorID = fEditor.Id;
    info->WindowSizeX = columns;
    info->WindowSizeY = rows - 2;
    info->TotalLines = CountLines(fEditor.FileName);
    info->CurLine = fEditor.StartLine > 0 ? fEditor.StartLine - 1 : 0;
    info->BlockType = BTYPE_NONE;
    info->TabSize = 8;
    info->CodePage = 65001;
    return 1;
  }
  case ECTL_GETFILENAME:
    return static_cast<intptr_t>(CopyOut(fEditor.FileName, static_cast<char16_t*>(AParam2),
                                         AParam1 > 0 ? static_cast<size_t>(AParam1) : 0));
  case ECTL_SETKEYBAR:
  case ECTL_REDRAW:
    return 1;
  default:
    // Lines, cursor and blocks live in the user's editor, out of the host's reach.
    return 0;
  }
}

intptr_t THostServices::AdvControl(int ACommand, intptr_t, void* AParam2) {
  switch (ACommand) {
  case ACTL_GETFARRECT: {
    auto* rect = static_cast<win::SMALL_RECT*>(AParam2);
    if (!rect) return 0;
    int columns = 0, rows = 0;
    TerminalSize(columns, rows);
    *rect = {0, 0, static_cast<int16_t>(columns - 1), static_cast<int16_t>(rows - 1)};
    return 1;
  }
  case ACTL_SETPROGRESSSTATE:
  case ACTL_SETPROGRESSVALUE:
    return 1;
  default:
    return 0;
  }
}

size_t THostServices::ConvertPath(int AMode, const char16_t* ASource, char16_t* ADest,
                                  size_t ADestSize) {
  if (!ASource) return 0;
  std::u16string path = FullPathName(ASource, AMode == CPM_NATIVE);
  if (AMode == 1 && !path.empty()) {
    // CPM_REAL: links resolved.
    std::error_code error;
    const auto real = std::filesystem::weakly_canonical(U16ToPath(path), error);
    if (!error) path = PathToU16(real);
  }
  if (path.empty()) return 0;
  return CopyOut(path, ADest, ADestSize);
}

size_t THostServices::MkTemp(char16_t* ADest, size_t ADestSize, const char16_t* APrefix) {
  const std::u16string prefix = (APrefix && *APrefix) ? std::u16string(APrefix) : u"FAR";
  const std::u16string directory = TempDirectory();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%08X",
                  static_cast<unsigned>(std::rand()) ^ (++fTempCounter * 2654435761u));
    const std::u16string name = directory + prefix + Utf8ToU16(digits) + u".tmp";
    if (FileExists(name)) continue;
    if (!ADest || ADestSize <= name.size()) return 0;
    CopyOut(name, ADest, ADestSize);
    return name.size();
  }
  return 0;
}

} // namespace host
