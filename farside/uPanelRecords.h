// The records FAR's panel answers with: FCTL_GETPANELITEM and FCTL_GETPANELDIRECTORY fill
// the caller's buffer with the record followed by the strings it points to, so that one
// block holds everything. FAR's model (uFarModel) packs them here.
#pragma once

#include <cstddef>
#include <string_view>

#include "far/Plugin3.h"

// One panel item. Fields holds the numbers and flags (its string pointers are ignored);
// a string left as a default view goes out as a null pointer, as FAR sends an item
// without a description or owner.
struct TPanelItemRecord {
  PluginPanelItem Fields{};
  std::u16string_view FileName;
  std::u16string_view AlternateFileName;
  std::u16string_view Description;
  std::u16string_view Owner;
};

// Bytes of the packed item: the record and its strings with their terminating zeros.
size_t PanelItemSize(const TPanelItemRecord& ARecord);
// Writes the packed item to ADest, which holds at least PanelItemSize(ARecord) bytes.
void PackPanelItem(const TPanelItemRecord& ARecord, PluginPanelItem* ADest);

struct TPanelDirectoryRecord {
  GUID PluginId{};
  std::u16string_view Name;
  std::u16string_view Param;
  std::u16string_view File;
};

size_t PanelDirectorySize(const TPanelDirectoryRecord& ARecord);
// Writes the packed directory to ADest, which holds at least PanelDirectorySize(ARecord)
// bytes; ADest->StructSize, the caller's, is kept.
void PackPanelDirectory(const TPanelDirectoryRecord& ARecord, FarPanelDirectory* ADest);
