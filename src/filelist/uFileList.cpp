// The rename job's life: registry, list file, editor.
#include "filelist/uFileList.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "far/uFAR.h"
#include "files/uFiles.h"
#include "list/uListFormat.h"
#include "list/uPathNames.h"
#include "list/uWrittenList.h"
#include "messages/uMessages.h"
#include "system/uExceptions.h"
#include "system/uSystem.h"

TActiveFileLists* ActiveFileLists = nullptr;

namespace {

constexpr uint64_t ListEditorFlags = EF_NONMODAL | EF_DISABLEHISTORY | EF_IMMEDIATERETURN |
                                     EF_DELETEONLYFILEONCLOSE | EF_DISABLESAVEPOS;
constexpr uint32_t BothAltKeys = RIGHT_ALT_PRESSED | LEFT_ALT_PRESSED;

// The list file, made in the temporary directory as a new file of the user's own: a file
// that someone else has put under the name, or a link there, is never opened. Open until
// the list is written.
class TNewListFile {
public:
  TNewListFile() {
    // Without a usable temporary directory the name would come out relative to the
    // current directory; the list is never written there.
    const std::u16string directory = GetTempDirectory();
    if (!directory.empty()) fHandle = CreateTempFile(directory, u"Zandrel3", u".txt", fName);
    if (fHandle == win::InvalidHandleValue())
      throw EFOpenError("Cannot create the list file in the temporary directory");
  }
  TNewListFile(const TNewListFile&) = delete;
  TNewListFile& operator=(const TNewListFile&) = delete;
  ~TNewListFile() { win::CloseHandle(fHandle); }

  win::HANDLE Handle() const { return fHandle; }
  const std::u16string& Name() const { return fName; }

private:
  win::HANDLE fHandle = win::InvalidHandleValue();
  std::u16string fName;
};

// The order of the listed names' lines: as given, but a folder's own line after the
// lines of everything below it (names from several folders, "photos" and "photos/a.jpg"),
// so that a folder and its files rename in one edit as written: the lines of the files
// still find them under their old paths. A folder's line goes right after the last line
// of what lies below it, the deeper names first.
// AWidth gets the longest quoted name's length.
std::vector<size_t> LineOrder(size_t ACount,
                              const std::function<bool(size_t, std::u16string_view&)>& AName,
                              size_t& AWidth) {
  std::vector<size_t> order;
  std::u16string_view name;
  bool nested = false;
  AWidth = 0;
  for (size_t i = 0; i < ACount; ++i) {
    if (!AName(i, name)) continue;
    order.push_back(i);
    AWidth = std::max(AWidth, QuotedLength(name));
    nested = nested || std::any_of(name.begin(), name.end(), IsPathDelimiter);
  }
  if (!nested) return order;
  std::unordered_map<std::u16string_view, size_t> place;
  for (size_t k = 0; k < order.size(); ++k) {
    AName(order[k], name);
    place.emplace(name, k);
  }
  // Each line's anchor: the last place of itself and of everything below it.
  std::vector<size_t> anchor(order.size()), depth(order.size());
  for (size_t k = 0; k < order.size(); ++k) {
    anchor[k] = std::max(anchor[k], k);
    AName(order[k], name);
    for (size_t at = 1; at + 1 < name.size(); ++at) {
      if (!IsPathDelimiter(name[at])) continue;
      ++depth[k];
      const auto folder = place.find(name.substr(0, at));
      if (folder != place.end()) anchor[folder->second] = std::max(anchor[folder->second], k);
    }
  }
  std::vector<size_t> places(order.size());
  for (size_t k = 0; k < places.size(); ++k)
    places[k] = k;
  std::stable_sort(places.begin(), places.end(), [&](size_t A, size_t B) {
    return anchor[A] != anchor[B] ? anchor[A] < anchor[B] : depth[A] > depth[B];
  });
  std::vector<size_t> sorted(order.size());
  for (size_t k = 0; k < places.size(); ++k)
    sorted[k] = order[places[k]];
  return sorted;
}

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

TFileList::TPanelLoad TFileList::LoadFromPanel(bool AActivePanel) {
  TFarPanelInfo info(AActivePanel, false);
  return LoadFromPanel(info);
}

TFileList::TPanelLoad TFileList::LoadFromPanel(const TFarPanelInfo& AInfo) {
  fListFileName.clear();
  fUpdatePanel = (AInfo.Flags() & PFLAGS_PLUGIN) != 0;
  fFoundFiles = AInfo.Directory().empty();
  // A plugin's panel without real names shows what lies in an archive, on a server, ...:
  // nothing that a rename on disk could reach.
  if (fUpdatePanel && (AInfo.Flags() & PFLAGS_REALNAMES) == 0) return plNotFilesOnDisk;

  // Of the items only their names and selection: a panel of a million items costs the
  // job little more than its names.
  const TFarPanelNames names(AInfo);
  const size_t count = names.Count();
  bool anySelected = false;
  for (size_t i = 0; i < count && !anySelected; ++i)
    anySelected = names.Selected(i);
  const int32_t currentIndex = AInfo.CurrentItemIndex();
  const bool hasCurrent = currentIndex >= 0 && static_cast<size_t>(currentIndex) < count;
  if (!anySelected && !hasCurrent) return plNothingToList;
  // The listed items: the selected ones, else the current one.
  const auto listed = [&](size_t AIndex) {
    return anySelected ? names.Selected(AIndex) : AIndex == size_t(currentIndex);
  };

  const std::u16string headerTemplate = TFarUtils::CopyString(GetMessageText(MListHeader));
  if (AInfo.Directory().empty()) {
    // Without a directory (found files, say) only absolute names tell where the files are.
    std::vector<std::u16string> paths, relative;
    for (size_t i = 0; i < count; ++i)
      if (listed(i) && names.Name(i) != u"..") paths.emplace_back(names.Name(i));
    if (paths.empty()) return plNothingToList;
    if (!SplitAtCommonFolder(paths, fSourceDirectory, relative)) return plNotFilesOnDisk;
    CreateListFile(FormatListHeader(headerTemplate, fSourceDirectory), relative.size(),
                   [&](size_t AIndex, std::u16string_view& AName) {
                     AName = relative[AIndex];
                     return true;
                   });
    return plListed;
  }

  // The names are joined to this directory.
  fSourceDirectory = TFarUtils::FullFileName(AInfo.Directory(), true);
  if (fSourceDirectory.empty()) fSourceDirectory = AInfo.Directory();
  if (fSourceDirectory.back() != win::PathDelimiter) fSourceDirectory += win::PathDelimiter;
  CreateListFile(FormatListHeader(headerTemplate, AInfo.Directory()), count,
                 [&](size_t AIndex, std::u16string_view& AName) {
                   AName = names.Name(AIndex);
                   return listed(AIndex);
                 });
  return plListed;
}

void TFileList::CreateListFile(const std::u16string& AHeader, size_t ACount,
                               const TListedName& AName) {
  const TNewListFile listFile;
  fListFileName = listFile.Name();

  size_t width = 0;
  const std::vector<size_t> order = LineOrder(ACount, AName, width);
  std::u16string_view name;
  fWrittenNames.clear();
  fWrittenNames.reserve(order.size());
  fHeader = AHeader;
  TTextStream stream(reinterpret_cast<uintptr_t>(listFile.Handle()));
  stream.SetEncoding(feUTF8);
  // Every line of the file ends as the stream ends lines, the header's own lines too: an
  // editor that finds a lone LF takes the whole file for one with LF line ends and shows
  // the CR of every other line.
  stream.WriteLine(ReplaceAll(AHeader, u"\n", u"\r\n"));
  for (size_t i : order) {
    AName(i, name);
    stream.WriteLine(FormatListLine(QuoteFileName(name), int32_t(width)));
    fWrittenNames.push_back(WrittenNameHash(name));
  }
  std::sort(fWrittenNames.begin(), fWrittenNames.end());
  // A refused write raises here rather than vanishing in the stream's destructor.
  stream.Flush();
}

bool TFileList::EditAgain(size_t ALine, uintptr_t ACodePage) {
  // The editor that is closing deletes its file as it goes, and FAR asks before it opens a
  // file that an editor holds: the list goes on under a new name.
  std::u16string copied;
  try {
    const TNewListFile copy;
    copied = copy.Name();
    TFileStream from(fListFileName, fmOpenRead | fmShareDenyNone);
    THandleStream to(copy.Handle());
    std::vector<char> buffer(65536);
    for (int32_t n; (n = from.Read(buffer.data(), int32_t(buffer.size()))) > 0;)
      to.WriteBuffer(buffer.data(), n);
  } catch (...) {
    if (!copied.empty()) win::DeleteFileW(copied.c_str());
    ShowMessageIds({MTitle, MEditorOpenError, MOk}, 1, FMSG_WARNING);
    return false;
  }
  win::DeleteFileW(fListFileName.c_str());
  fListFileName = copied;
  const TEditorOpen opened = OpenEditor(intptr_t(ALine), ACodePage);
  fEditingAgain = opened == eoOpened;
  if (opened == eoNoState) ShowMessageIds({MTitle, MEditorInfoError, MOk}, 1, FMSG_WARNING);
  if (opened != eoRefused) return fEditingAgain;
  // The list holds the user's edits: neither this job nor the clean-up at unload deletes it.
  const std::u16string kept = fListFileName;
  fListFileName.clear();
  KeepTempFile(kept);
  TFarUtils::ShowMessage(
      {GetMessageText(MTitle), GetMessageText(MListKept), kept, GetMessageText(MOk)}, FMSG_WARNING,
      1);
  return false;
}

bool TFileList::OpenInEditor(intptr_t AStartLine, uintptr_t ACodePage) {
  // A list that cannot be found cannot be edited either: said like any editor failure.
  const TEditorOpen opened = fListFileName.empty() || !FileExists(fListFileName)
                                 ? eoRefused
                                 : OpenEditor(AStartLine, ACodePage);
  if (opened != eoOpened)
    ShowMessageIds({MTitle, opened == eoRefused ? MEditorOpenError : MEditorInfoError, MOk}, 1,
                   FMSG_WARNING);
  return opened == eoOpened;
}

TFileList::TEditorOpen TFileList::OpenEditor(intptr_t AStartLine, uintptr_t ACodePage) {
  // The editor starts on the first entry line, just below the header.
  const intptr_t headerLines = intptr_t(ListHeaderLines(GetMessageText(MListHeader)));

  const intptr_t opened =
      farhost::Editor(fListFileName.c_str(), GetMessageText(MTitle), 0, 0, -1, -1, ListEditorFlags,
                      AStartLine > 0 ? AStartLine : headerLines + 1, 0, ACodePage);
  if (opened != 1) return eoRefused;

  TEditorInfo info;
  if (!TFarEditor::GetInfo(-1, info)) return eoNoState;
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
  return eoOpened;
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
