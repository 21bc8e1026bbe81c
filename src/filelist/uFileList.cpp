// The rename job's life: registry, list file, editor.
#include "filelist/uFileList.h"

#include <algorithm>
#include <memory>

#include "far/uFAR.h"
#include "filelist/uListFormat.h"
#include "files/uFiles.h"
#include "messages/uMessages.h"
#include "system/uExceptions.h"
#include "system/uSystem.h"

TActiveFileLists* ActiveFileLists = nullptr;

namespace {

constexpr uint64_t ListEditorFlags = EF_NONMODAL | EF_DISABLEHISTORY | EF_IMMEDIATERETURN |
                                     EF_DELETEONLYFILEONCLOSE | EF_DISABLESAVEPOS;
constexpr uintptr_t ListCodePage = 65001;
constexpr uint32_t BothAltKeys = RIGHT_ALT_PRESSED | LEFT_ALT_PRESSED;

} // namespace

TFileList::TFileList() {
  if (ActiveFileLists) ActiveFileLists->push_back(this);
}

TFileList::~TFileList() {
  if (ActiveFileLists) {
    for (size_t i = ActiveFileLists->size(); i-- > 0;)
      if ((*ActiveFileLists)[i] == this) ActiveFileLists->erase(ActiveFileLists->begin() + i);
  }
  if (!fListFileName.empty()) win::DeleteFileW(fListFileName.c_str());
}

bool TFileList::FindActiveFileListByEditorID(int32_t AEditorID, TFileList*& AList) {
  AList = nullptr;
  if (!ActiveFileLists) return false;
  for (TFileList* list : *ActiveFileLists)
    if (list->fEditorID == AEditorID) {
      AList = list;
      return true;
    }
  return false;
}

bool TFileList::FindActiveFileListByListFileName(const std::u16string& AListFileName,
                                                 TFileList*& AList) {
  AList = nullptr;
  if (!ActiveFileLists) return false;
  for (TFileList* list : *ActiveFileLists)
    if (list->fListFileName == AListFileName) {
      AList = list;
      return true;
    }
  return false;
}

bool TFileList::LoadFromPanel(bool AActivePanel) {
  TFarPanelInfo info(AActivePanel, false);
  return LoadFromPanel(info);
}

bool TFileList::LoadFromPanel(const TFarPanelInfo& AInfo) {
  fListFileName.clear();

  // Of the items only their names and selection: a panel of a million items costs the
  // job little more than its names.
  const TFarPanelNames names(AInfo);
  const size_t count = names.Count();
  size_t width = 0;
  for (size_t i = 0; i < count; ++i)
    if (names.Selected(i)) width = std::max(width, QuotedLength(names.Name(i)));
  const bool anySelected = width > 0;

  const int32_t currentIndex = AInfo.CurrentItemIndex();
  const bool hasCurrent = currentIndex >= 0 && static_cast<size_t>(currentIndex) < count;
  if (!anySelected && hasCurrent) width = QuotedLength(names.Name(size_t(currentIndex)));
  if (width == 0) return false;

  const std::u16string header =
      FormatListHeader(TFarUtils::CopyString(GetMessageText(MListHeader)), AInfo.Directory());

  // The names are joined to this directory: without one they would name files in the
  // current directory or the root, so a panel without a directory lists nothing.
  fSourceDirectory = TFarUtils::FullFileName(AInfo.Directory(), true);
  if (fSourceDirectory.empty()) fSourceDirectory = AInfo.Directory();
  if (fSourceDirectory.empty()) return false;
  if (fSourceDirectory.back() != win::PathDelimiter) fSourceDirectory += win::PathDelimiter;

  // Without a usable temporary directory the name would come out relative to the
  // current directory; the list is never written there.
  const std::u16string tempDirectory = GetTempDirectory();
  std::u16string listFileName = UniqueTempFileName(tempDirectory, u"Zandrel3", u".txt");
  if (tempDirectory.empty() || listFileName.compare(0, tempDirectory.size(), tempDirectory) != 0)
    throw EFOpenError("Cannot create the list file in the temporary directory");
  fListFileName = listFileName;

  TTextStream stream(fListFileName, fmCreate);
  stream.SetEncoding(feUTF8);
  // Every line of the file ends as the stream ends lines, the header's own lines too: an
  // editor that finds a lone LF takes the whole file for one with LF line ends and shows
  // the CR of every other line.
  stream.WriteLine(ReplaceAll(header, u"\n", u"\r\n"));
  if (anySelected) {
    for (size_t i = 0; i < count; ++i)
      if (names.Selected(i)) WriteListLine(stream, QuoteFileName(names.Name(i)), int32_t(width));
  } else {
    WriteListLine(stream, QuoteFileName(names.Name(size_t(currentIndex))), int32_t(width));
  }
  // A refused write raises here rather than vanishing in the stream's destructor.
  stream.Flush();
  return true;
}

void TFileList::WriteListLine(TTextStream& AStream, const std::u16string& AQuoted, int32_t AWidth) {
  AStream.WriteLine(FormatListLine(AQuoted, AWidth));
}

bool TFileList::OpenInEditor() {
  // A list that cannot be found cannot be edited either: said like any editor failure.
  if (fListFileName.empty() || !FileExists(fListFileName)) {
    ShowMessageIds({MTitle, MEditorOpenError, MOk}, 1, FMSG_WARNING);
    return false;
  }

  // The editor starts on the first entry line, just below the header.
  const intptr_t headerLines = intptr_t(ListHeaderLines(GetMessageText(MListHeader)));

  const intptr_t opened = farhost::Editor(fListFileName.c_str(), GetMessageText(MTitle), 0, 0, -1,
                                          -1, ListEditorFlags, headerLines + 1, 0, ListCodePage);
  if (opened != 1) {
    ShowMessageIds({MTitle, MEditorOpenError, MOk}, 1, FMSG_WARNING);
    return false;
  }

  TEditorInfo info;
  if (!TFarEditor::GetInfo(-1, info)) {
    ShowMessageIds({MTitle, MEditorInfoError, MOk}, 1, FMSG_WARNING);
    return false;
  }
  fEditorID = static_cast<int32_t>(info.EditorID);

  KeyBarLabel labels[2] = {};
  labels[0].Key.VirtualKeyCode = VK_F1;
  labels[0].Key.ControlKeyState = BothAltKeys;
  labels[0].Text = GetMessageText(MJumpKeyLabel);
  labels[0].LongText = GetMessageText(MJumpCommand);
  labels[1].Key.VirtualKeyCode = VK_F2;
  labels[1].Key.ControlKeyState = BothAltKeys;
  labels[1].Text = GetMessageText(MSelectKeyLabel);
  labels[1].LongText = GetMessageText(MSelectCommand);
  KeyBarTitles titles = {};
  titles.CountLabels = 2;
  titles.Labels = labels;
  FarSetKeyBarTitles keyBar = {};
  keyBar.StructSize = sizeof(keyBar);
  keyBar.Titles = &titles;
  farhost::EditorControl(fEditorID, ECTL_SETKEYBAR, 0, &keyBar);
  return true;
}

void InitializeFileList() {
  ActiveFileLists = new TActiveFileLists();
}

void FinalizeFileList() {
  // Jobs whose editors are still open when the plugin goes are ended here: their list
  // files are deleted (as the temporary-file clean-up would do) and their memory freed.
  TActiveFileLists* lists = ActiveFileLists;
  ActiveFileLists = nullptr;
  if (!lists) return;
  for (TFileList* list : *lists)
    delete list;
  delete lists;
}
