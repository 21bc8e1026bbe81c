#include "far/uFarPanel.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "far/uFarUtils.h"

namespace {

constexpr uintptr_t ActivePanelHandle = static_cast<uintptr_t>(-1);
constexpr uintptr_t PassivePanelHandle = static_cast<uintptr_t>(-2);

// A zeroed buffer for a host answer of ASize bytes, never smaller than ARecordSize so that
// the record at its start can always be read; empty when the memory is not there.
std::vector<uint64_t> AnswerBuffer(size_t ASize, size_t ARecordSize) {
  const size_t bytes = std::max(ASize, ARecordSize);
  try {
    return std::vector<uint64_t>((bytes + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
  } catch (const std::bad_alloc&) {
    return std::vector<uint64_t>();
  }
}

// Has the host fill AItem, ASize bytes as its first answer asked, with item AIndex.
void RequestPanelItem(uintptr_t AHandle, int32_t AIndex, size_t ASize, PluginPanelItem* AItem) {
  FarGetPluginPanelItem request{};
  request.StructSize = sizeof(FarGetPluginPanelItem);
  request.Size = ASize;
  request.Item = AItem;
  farhost::PanelControl(AHandle, FCTL_GETPANELITEM, AIndex, &request);
}

} // namespace

// ---------------------------------------------------------------------------------------
// TFarPanelItem

TFarPanelItem::TFarPanelItem(const TFarPanelInfo* APanel, int32_t AIndex) : fPanel(APanel) {
  LoadPanelItem(AIndex);
}

TFarPanelItem::~TFarPanelItem() = default;

void TFarPanelItem::SetSelected(bool AValue) {
  if (AValue)
    fFlags |= PPIF_SELECTED;
  else
    fFlags &= ~PPIF_SELECTED;
}

void TFarPanelItem::LoadPanelItem(int32_t AIndex) {
  fItemIndex = AIndex;
  const uintptr_t handle = fPanel->Handle();
  const intptr_t size = farhost::PanelControl(handle, FCTL_GETPANELITEM, AIndex, nullptr);
  if (size <= 0) return;
  std::vector<uint64_t> buffer = AnswerBuffer(static_cast<size_t>(size), sizeof(PluginPanelItem));
  if (buffer.empty()) return;
  auto* item = reinterpret_cast<PluginPanelItem*>(buffer.data());
  RequestPanelItem(handle, AIndex, static_cast<size_t>(size), item);

  fCreationTime = item->CreationTime;
  fLastAccessTime = item->LastAccessTime;
  fLastWriteTime = item->LastWriteTime;
  fChangeTime = item->ChangeTime;
  fFileSize = static_cast<int64_t>(item->FileSize);
  fAllocationSize = static_cast<int64_t>(item->AllocationSize);
  fFileName = TFarUtils::CopyString(item->FileName);
  fAlternateFileName = TFarUtils::CopyString(item->AlternateFileName);
  fDescription = TFarUtils::CopyString(item->Description);
  fOwner = TFarUtils::CopyString(item->Owner);
  fFlags = item->Flags;
  fFileAttributes = static_cast<uint32_t>(item->FileAttributes);
  fNumberOfLinks = static_cast<uint32_t>(item->NumberOfLinks);
  fCRC32 = static_cast<uint32_t>(item->CRC32);
}

// ---------------------------------------------------------------------------------------
// TFarPanelInfo

TFarPanelInfo::TFarPanelInfo(bool AActivePanel, bool ALoadItems) {
  LoadPanelInfo(AActivePanel ? ActivePanelHandle : PassivePanelHandle, ALoadItems);
}

TFarPanelInfo::TFarPanelInfo(uintptr_t APanelHandle, bool ALoadItems) {
  LoadPanelInfo(APanelHandle, ALoadItems);
}

TFarPanelInfo::~TFarPanelInfo() = default;

void TFarPanelInfo::LoadPanelInfo(uintptr_t AHandle, bool ALoadItems) {
  PanelInfo info{};
  info.StructSize = sizeof(PanelInfo);
  if (farhost::PanelControl(AHandle, FCTL_GETPANELINFO, 0, &info) == 0) return;

  fHandle = AHandle;
  fPluginHandle = reinterpret_cast<uintptr_t>(info.PluginHandle);
  fOwnerGUID = info.OwnerGuid;
  fFlags = info.Flags;
  fPanelRect = TFarRect{info.PanelRect.left, info.PanelRect.top, info.PanelRect.right,
                        info.PanelRect.bottom};
  fSelectedItemsCount = static_cast<int32_t>(info.SelectedItemsNumber);
  fCurrentItemIndex = static_cast<int32_t>(info.CurrentItem);
  fTopPanelItemIndex = static_cast<int32_t>(info.TopPanelItem);
  fViewMode = static_cast<uint32_t>(info.ViewMode);
  fSortMode = static_cast<uint32_t>(info.SortMode);
  fPanelType = static_cast<uint32_t>(info.PanelType);

  fItemsNumber = info.ItemsNumber;
  fItems.clear();
  if (ALoadItems) {
    for (size_t i = 0; i < info.ItemsNumber; ++i)
      fItems.push_back(std::make_unique<TFarPanelItem>(this, static_cast<int32_t>(i)));
  }

  fDirectory.clear();
  fDirectoryParam.clear();
  fDirectoryFile.clear();
  fDirectoryPlugin = GUID{};
  const intptr_t size = farhost::PanelControl(AHandle, FCTL_GETPANELDIRECTORY, 0, nullptr);
  if (size <= 0) return;
  std::vector<uint64_t> buffer = AnswerBuffer(static_cast<size_t>(size), sizeof(FarPanelDirectory));
  if (buffer.empty()) return;
  auto* directory = reinterpret_cast<FarPanelDirectory*>(buffer.data());
  directory->StructSize = sizeof(FarPanelDirectory);
  farhost::PanelControl(AHandle, FCTL_GETPANELDIRECTORY, size, directory);
  fDirectory = TFarUtils::CopyString(directory->Name);
  fDirectoryParam = TFarUtils::CopyString(directory->Param);
  fDirectoryPlugin = directory->PluginId;
  fDirectoryFile = TFarUtils::CopyString(directory->File);
}

void TFarPanelInfo::ApplySelection() {
  farhost::PanelControl(fHandle, FCTL_BEGINSELECTION, 0, nullptr);
  // Ends the selection and redraws also when the loop is left by an exception.
  struct TEndSelection {
    uintptr_t fHandle;
    ~TEndSelection() {
      farhost::PanelControl(fHandle, FCTL_ENDSELECTION, 0, nullptr);
      farhost::PanelControl(fHandle, FCTL_REDRAWPANEL, 0, nullptr);
    }
  } endSelection{fHandle};
  for (const auto& item : fItems)
    farhost::PanelControl(fHandle, FCTL_SETSELECTION, item->ItemIndex(),
                          reinterpret_cast<void*>(static_cast<intptr_t>(item->Selected() ? 1 : 0)));
}

void TFarPanelInfo::Refresh() {
  farhost::PanelControl(fHandle, FCTL_UPDATEPANEL, 1, nullptr);
}

void TFarPanelInfo::RefreshPanel(bool AActivePanel) {
  farhost::PanelControl(AActivePanel ? ActivePanelHandle : PassivePanelHandle, FCTL_UPDATEPANEL, 1,
                        nullptr);
}

bool TFarPanelInfo::HasSelectedItems() const {
  for (const auto& item : fItems)
    if (item->Selected()) return true;
  return false;
}

// ---------------------------------------------------------------------------------------
// TFarPanelNames

TFarPanelNames::TFarPanelNames(const TFarPanelInfo& AInfo) {
  const uintptr_t handle = AInfo.Handle();
  const size_t count = handle == 0 ? 0 : AInfo.ItemsNumber();
  fEnds.reserve(count);
  // One answer buffer for all items, grown to the largest.
  std::vector<uint64_t> buffer;
  for (size_t i = 0; i < count; ++i) {
    const int32_t index = static_cast<int32_t>(i);
    const intptr_t size = farhost::PanelControl(handle, FCTL_GETPANELITEM, index, nullptr);
    bool selected = false;
    if (size > 0) {
      const size_t bytes = std::max(static_cast<size_t>(size), sizeof(PluginPanelItem));
      if (buffer.size() * sizeof(uint64_t) < bytes) buffer = AnswerBuffer(bytes, bytes);
      if (!buffer.empty()) {
        // Zeroed, so that a refused answer reads as an item without name or flags.
        std::memset(buffer.data(), 0, bytes);
        auto* item = reinterpret_cast<PluginPanelItem*>(buffer.data());
        RequestPanelItem(handle, index, static_cast<size_t>(size), item);
        if (item->FileName) fNames += item->FileName;
        selected = (item->Flags & PPIF_SELECTED) != 0;
      }
    }
    fEnds.push_back(fNames.size() | (selected ? SelectedBit : 0));
  }
}
