// A snapshot of one host file panel: its state, directory and, on request, its items.
// Taken once by the constructor; later only the items' Selected state changes, by the
// caller, and ApplySelection sends it back to the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "far/uFarHost.h"

class TFarPanelInfo;

struct TFarRect {
  int32_t Left;
  int32_t Top;
  int32_t Right;
  int32_t Bottom;
};

class TFarPanelItem {
public:
  // Loads item AIndex of APanel's host panel. Only TFarPanelInfo creates items.
  TFarPanelItem(const TFarPanelInfo* APanel, int32_t AIndex);
  virtual ~TFarPanelItem();

  const TFarPanelInfo* Panel() const { return fPanel; }
  int32_t ItemIndex() const { return fItemIndex; }
  const FarFileTime& CreationTime() const { return fCreationTime; }
  const FarFileTime& LastAccessTime() const { return fLastAccessTime; }
  const FarFileTime& LastWriteTime() const { return fLastWriteTime; }
  const FarFileTime& ChangeTime() const { return fChangeTime; }
  int64_t FileSize() const { return fFileSize; }
  int64_t AllocationSize() const { return fAllocationSize; }
  const std::u16string& FileName() const { return fFileName; }
  const std::u16string& AlternateFileName() const { return fAlternateFileName; }
  const std::u16string& Description() const { return fDescription; }
  const std::u16string& Owner() const { return fOwner; }
  uint64_t Flags() const { return fFlags; }
  uint32_t FileAttributes() const { return fFileAttributes; }
  uint32_t NumberOfLinks() const { return fNumberOfLinks; }
  uint32_t CRC32() const { return fCRC32; }

  // Flag PPIF_SELECTED; writing it changes no other flag and does not touch the host.
  bool Selected() const { return (fFlags & PPIF_SELECTED) != 0; }
  void SetSelected(bool AValue);

private:
  void LoadPanelItem(int32_t AIndex);

  const TFarPanelInfo* fPanel;
  int32_t fItemIndex = 0;
  FarFileTime fCreationTime{};
  FarFileTime fLastAccessTime{};
  FarFileTime fLastWriteTime{};
  FarFileTime fChangeTime{};
  int64_t fFileSize = 0;
  int64_t fAllocationSize = 0;
  std::u16string fFileName;
  std::u16string fAlternateFileName;
  std::u16string fDescription;
  std::u16string fOwner;
  uint64_t fFlags = 0;
  uint32_t fFileAttributes = 0;
  uint32_t fNumberOfLinks = 0;
  uint32_t fCRC32 = 0;
};

// The items of a snapshot in panel order; owns them.
using TFarPanelItems = std::vector<std::unique_ptr<TFarPanelItem>>;

class TFarPanelInfo {
public:
  // The active (handle -1) or passive (handle -2) panel.
  TFarPanelInfo(bool AActivePanel, bool ALoadItems);
  // The panel with host handle APanelHandle.
  TFarPanelInfo(uintptr_t APanelHandle, bool ALoadItems);
  virtual ~TFarPanelInfo();

  TFarPanelInfo(const TFarPanelInfo&) = delete;
  TFarPanelInfo& operator=(const TFarPanelInfo&) = delete;

  // Sends every loaded item's Selected state to the host panel, then redraws it.
  void ApplySelection();
  // The host re-reads the panel, keeping its selection.
  void Refresh();
  // The same for the active (or passive) panel, without a snapshot of it.
  static void RefreshPanel(bool AActivePanel);

  // 0 when the host refused the panel information.
  uintptr_t Handle() const { return fHandle; }
  uintptr_t PluginHandle() const { return fPluginHandle; }
  const GUID& OwnerGUID() const { return fOwnerGUID; }
  uint64_t Flags() const { return fFlags; }
  const TFarRect& PanelRect() const { return fPanelRect; }
  const TFarPanelItems& Items() const { return fItems; }
  TFarPanelItems& Items() { return fItems; }
  // The host's count of items, also when they were not loaded.
  size_t ItemsNumber() const { return fItemsNumber; }
  int32_t SelectedItemsCount() const { return fSelectedItemsCount; }
  int32_t CurrentItemIndex() const { return fCurrentItemIndex; }
  int32_t TopPanelItemIndex() const { return fTopPanelItemIndex; }
  uint32_t ViewMode() const { return fViewMode; }
  uint32_t SortMode() const { return fSortMode; }
  uint32_t PanelType() const { return fPanelType; }
  const std::u16string& Directory() const { return fDirectory; }
  const std::u16string& DirectoryParam() const { return fDirectoryParam; }
  const GUID& DirectoryPlugin() const { return fDirectoryPlugin; }
  const std::u16string& DirectoryFile() const { return fDirectoryFile; }

  bool Left() const { return (fFlags & PFLAGS_PANELLEFT) != 0; }
  // Whether some loaded item is selected (the host's count is not consulted).
  bool HasSelectedItems() const;
  bool IsPluginPanel() const { return fPluginHandle != 0; }

private:
  void LoadPanelInfo(uintptr_t AHandle, bool ALoadItems);

  uintptr_t fHandle = 0;
  uintptr_t fPluginHandle = 0;
  GUID fOwnerGUID{};
  uint64_t fFlags = 0;
  TFarRect fPanelRect{};
  TFarPanelItems fItems;
  size_t fItemsNumber = 0;
  int32_t fSelectedItemsCount = 0;
  int32_t fCurrentItemIndex = 0;
  int32_t fTopPanelItemIndex = 0;
  uint32_t fViewMode = 0;
  uint32_t fSortMode = 0;
  uint32_t fPanelType = 0;
  std::u16string fDirectory;
  std::u16string fDirectoryParam;
  GUID fDirectoryPlugin{};
  std::u16string fDirectoryFile;
};

// The names and selection of every item of a panel, all in one buffer: what a job over a
// panel of a million items needs of them, at the cost of their names and a few bytes an
// item. An item that the host does not give has an empty name and is not selected.
class TFarPanelNames {
public:
  // The items of the panel that AInfo describes (AInfo need not load them).
  explicit TFarPanelNames(const TFarPanelInfo& AInfo);

  size_t Count() const { return fEnds.size(); }
  std::u16string_view Name(size_t AIndex) const {
    const size_t start = AIndex == 0 ? 0 : fEnds[AIndex - 1] & ~SelectedBit;
    return std::u16string_view(fNames.data() + start, (fEnds[AIndex] & ~SelectedBit) - start);
  }
  bool Selected(size_t AIndex) const { return (fEnds[AIndex] & SelectedBit) != 0; }

private:
  // Where each name ends in fNames, its top bit the item's selection: no process holds
  // names of half its address space.
  static constexpr size_t SelectedBit = ~(~size_t(0) >> 1);
  std::u16string fNames;
  std::vector<size_t> fEnds;
};
