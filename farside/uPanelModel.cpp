#include "farside/uPanelModel.h"

#include <algorithm>

#include "farside/uFarModel.h"
#include "farside/uModelRecords.h"
#include "farside/uPanelRecords.h"
#include "system/uWindows.h"

namespace {

FarFileTime TimeOf(const win::FILETIME& ATime) {
  return {ATime.dwLowDateTime, ATime.dwHighDateTime};
}

} // namespace

void TPanelModel::Clear() {
  fNames.clear();
  fItems.clear();
  fDetails.clear();
  CurrentItem = 0;
  TopPanelItem = 0;
}

size_t TPanelModel::Add(std::u16string_view AName, uint32_t AFileAttributes, uint64_t AFlags) {
  TPanelModelItem item;
  item.NameStart = fNames.size();
  item.NameLength = static_cast<uint32_t>(AName.size());
  item.Attributes = AFileAttributes;
  item.Flags = static_cast<uint32_t>(AFlags);
  fNames += AName;
  fItems.push_back(item);
  return fItems.size() - 1;
}

std::u16string_view TPanelModel::Name(size_t AIndex) const {
  const TPanelModelItem& item = fItems[AIndex];
  return std::u16string_view(fNames).substr(item.NameStart, item.NameLength);
}

void TPanelModel::SetName(size_t AIndex, std::u16string_view AName) {
  // The old name stays in the buffer unused: renaming an item is rare.
  fItems[AIndex].NameStart = fNames.size();
  fItems[AIndex].NameLength = static_cast<uint32_t>(AName.size());
  fNames += AName;
}

bool TPanelModel::IsFolder(size_t AIndex) const {
  return (fItems[AIndex].Attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void TPanelModel::SetItemFlags(size_t AIndex, uint64_t AFlags) {
  fItems[AIndex].Flags = static_cast<uint32_t>(AFlags);
}

void TPanelModelItem::SetSelected(bool ASelected) {
  if (ASelected)
    Flags |= static_cast<uint32_t>(PPIF_SELECTED);
  else
    Flags &= ~static_cast<uint32_t>(PPIF_SELECTED);
}

void TPanelModel::SetSelected(size_t AIndex, bool ASelected) {
  if (AIndex < fItems.size()) fItems[AIndex].SetSelected(ASelected);
}

TItemDetails& TPanelModel::Details(size_t AIndex) {
  TPanelModelItem& item = fItems[AIndex];
  if (item.Details == 0) {
    fDetails.push_back(std::make_unique<TItemDetails>());
    item.Details = static_cast<uint32_t>(fDetails.size());
  }
  return *fDetails[item.Details - 1];
}

const TItemDetails* TPanelModel::FindDetails(size_t AIndex) const {
  const uint32_t details = fItems[AIndex].Details;
  return details == 0 ? nullptr : fDetails[details - 1].get();
}

bool TPanelModel::Find(std::u16string_view AName, size_t& AIndex) const {
  for (size_t i = 0; i < fItems.size(); ++i)
    if (Name(i) == AName) {
      AIndex = i;
      return true;
    }
  return false;
}

TPanelModelItem* TPanelModel::Find(std::u16string_view AName) {
  size_t index = 0;
  return Find(AName, index) ? &fItems[index] : nullptr;
}

bool TPanelModel::Select(std::initializer_list<std::u16string> ANames) {
  bool all = true;
  for (const std::u16string& name : ANames) {
    size_t index = 0;
    if (Find(name, index))
      SetSelected(index, true);
    else
      all = false;
  }
  return all;
}

void TPanelModel::SelectAll() {
  const size_t first = HasParentItem() ? 1 : 0;
  for (size_t i = first; i < fItems.size(); ++i)
    SetSelected(i, true);
  CurrentItem = first < fItems.size() ? first : 0;
}

bool TPanelModel::SetCurrent(std::u16string_view AName) {
  size_t index = 0;
  if (!Find(AName, index)) return false;
  CurrentItem = index;
  return true;
}

size_t TPanelModel::SelectedCount() const {
  return static_cast<size_t>(
      std::count_if(fItems.begin(), fItems.end(), [](const TPanelModelItem& AItem) {
        return (AItem.Flags & PPIF_SELECTED) != 0;
      }));
}

void TPanelModel::SortByName(bool AFoldersFirst) {
  const auto first = fItems.begin() + (HasParentItem() ? 1 : 0);
  // The names are compared where they lie, without a folded copy of each.
  std::sort(first, fItems.end(), [&](const TPanelModelItem& A, const TPanelModelItem& B) {
    if (AFoldersFirst) {
      const bool folderA = (A.Attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool folderB = (B.Attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
      if (folderA != folderB) return folderA;
    }
    const std::u16string_view names(fNames);
    return CompareNames(names.substr(A.NameStart, A.NameLength),
                        names.substr(B.NameStart, B.NameLength)) < 0;
  });
}

bool TPanelModel::LoadDirectory(const std::u16string& ADirectory, bool AParentItem) {
  std::u16string directory = ADirectory;
  while (directory.size() > 1 && directory.back() == win::PathDelimiter &&
         !(directory.size() == 3 && directory[1] == u':'))
    directory.pop_back();
  const std::u16string pattern =
      directory +
      (directory.back() == win::PathDelimiter ? u"" : std::u16string(1, win::PathDelimiter)) + u"*";
  win::WIN32_FIND_DATAW data{};
  win::HANDLE find = win::FindFirstFileW(pattern.c_str(), &data);
  if (find == win::InvalidHandleValue()) return false;
  Clear();
  if (AParentItem) Add(u"..", win::FILE_ATTRIBUTE_DIRECTORY);
  do {
    const std::u16string name(data.cFileName);
    if (name == u"." || name == u"..") continue;
    const size_t index = Add(name, data.dwFileAttributes);
    TItemDetails& details = Details(index);
    details.AlternateFileName = std::u16string(data.cAlternateFileName);
    details.FileSize = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    details.AllocationSize = details.FileSize;
    details.CreationTime = TimeOf(data.ftCreationTime);
    details.LastAccessTime = TimeOf(data.ftLastAccessTime);
    details.LastWriteTime = TimeOf(data.ftLastWriteTime);
    details.ChangeTime = details.LastWriteTime;
  } while (win::FindNextFileW(find, &data));
  win::FindClose(find);
  SortByName(false);
  Directory = directory;
  return true;
}

TPanelItemRecord TPanelModel::Record(size_t AIndex) const {
  TPanelItemRecord record;
  record.Fields.Flags = ItemFlags(AIndex);
  record.Fields.FileAttributes = Attributes(AIndex);
  record.Fields.NumberOfLinks = 1;
  record.FileName = Name(AIndex);
  record.AlternateFileName = u"";
  if (const TItemDetails* details = FindDetails(AIndex)) {
    record.Fields.CreationTime = details->CreationTime;
    record.Fields.LastAccessTime = details->LastAccessTime;
    record.Fields.LastWriteTime = details->LastWriteTime;
    record.Fields.ChangeTime = details->ChangeTime;
    record.Fields.FileSize = details->FileSize;
    record.Fields.AllocationSize = details->AllocationSize;
    record.Fields.NumberOfLinks = details->NumberOfLinks;
    record.Fields.CRC32 = details->CRC32;
    record.AlternateFileName = details->AlternateFileName;
    record.Description = details->Description;
    record.Owner = details->Owner;
  }
  return record;
}

// FAR's panel services, as the model gives them over its panels.

using namespace farside;

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
