// A panel of FAR's model: its directory (or the plugin's, for a plugin panel), its flags
// and geometry, and its items in panel order. An item is its name, its attributes and
// its flags (the selection among them); the rest of what FAR tells of an item (sizes,
// times, description, ...) is kept only for the items that have it, so that a panel of a
// million names costs little more than the names.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "far/Plugin3.h"
#include "farside/uFarNames.h"
#include "farside/uPanelRecords.h"

// An item as the panel stores it: its name lies in the panel's one buffer of names.
struct TPanelModelItem {
  size_t NameStart = 0;
  uint32_t NameLength = 0;
  uint32_t Attributes = 0;
  uint32_t Flags = 0;   // FAR's item flags all lie in the low 32 bits
  uint32_t Details = 0; // index in the panel's details + 1; 0: none

  bool Selected() const { return (Flags & PPIF_SELECTED) != 0; }
  void SetSelected(bool ASelected);
};

struct TItemDetails {
  std::u16string AlternateFileName;
  std::u16string Description;
  std::u16string Owner;
  uint64_t FileSize = 0;
  uint64_t AllocationSize = 0;
  FarFileTime CreationTime{};
  FarFileTime LastAccessTime{};
  FarFileTime LastWriteTime{};
  FarFileTime ChangeTime{};
  uint32_t NumberOfLinks = 1;
  uint32_t CRC32 = 0;
};

class TPanelModel {
public:
  // What FCTL_GETPANELINFO and FCTL_GETPANELDIRECTORY tell. A plugin panel sets
  // PFLAGS_PLUGIN-style Flags, its PluginHandle and OwnerGuid, and may leave Directory
  // empty; its item names are whatever the plugin gave (paths too).
  std::u16string Directory;
  std::u16string DirectoryParam;
  std::u16string DirectoryFile;
  GUID DirectoryPlugin{};
  GUID OwnerGuid{};
  uintptr_t PluginHandle = 0;
  uint64_t Flags = 0;
  int32_t Rect[4] = {0, 1, 39, 20};
  size_t CurrentItem = 0;
  size_t TopPanelItem = 0;
  intptr_t ViewMode = 2;
  int PanelType = 0;
  int SortMode = 1;
  // Between FCTL_BEGINSELECTION and FCTL_ENDSELECTION.
  bool InSelection = false;
  // A panel that is not shown refuses every command, as FAR does for an absent one.
  bool Shown = true;

  size_t ItemCount() const { return fItems.size(); }
  void Clear();
  // Appends an item; answers its index.
  size_t Add(std::u16string_view AName, uint32_t AFileAttributes = 0, uint64_t AFlags = 0);
  std::u16string_view Name(size_t AIndex) const;
  void SetName(size_t AIndex, std::u16string_view AName);
  uint32_t Attributes(size_t AIndex) const { return fItems[AIndex].Attributes; }
  bool IsFolder(size_t AIndex) const;
  uint64_t ItemFlags(size_t AIndex) const { return fItems[AIndex].Flags; }
  void SetItemFlags(size_t AIndex, uint64_t AFlags);
  bool Selected(size_t AIndex) const { return fItems[AIndex].Selected(); }
  void SetSelected(size_t AIndex, bool ASelected);
  // The item's further details, made on first use.
  TItemDetails& Details(size_t AIndex);
  const TItemDetails* FindDetails(size_t AIndex) const;

  // The index of the item named AName (exactly); false when there is none.
  bool Find(std::u16string_view AName, size_t& AIndex) const;
  // The item named AName; null when there is none.
  TPanelModelItem* Find(std::u16string_view AName);
  // Selects the named items (false when one is missing).
  bool Select(std::initializer_list<std::u16string> ANames);
  // Selects every item but "..", the cursor on the first of them.
  void SelectAll();
  bool SetCurrent(std::u16string_view AName);
  size_t SelectedCount() const;
  bool HasParentItem() const { return !fItems.empty() && Name(0) == u".."; }

  // FAR's order by name: ".." first, then (with AFoldersFirst) folders before files,
  // each by CompareNames.
  void SortByName(bool AFoldersFirst);
  // Fills the panel from a real directory with what the system tells of each entry:
  // ".." first (unless AParentItem is false), then the entries by name. Directory
  // becomes ADirectory without a trailing delimiter (except for a root).
  bool LoadDirectory(const std::u16string& ADirectory, bool AParentItem = true);

  // The item as FCTL_GETPANELITEM packs it.
  TPanelItemRecord Record(size_t AIndex) const;

private:
  std::u16string fNames;
  std::vector<TPanelModelItem> fItems;
  std::vector<std::unique_ptr<TItemDetails>> fDetails;
};
