// FAR's colour record, carried by the colour messages of dialogs, menus and editors.
// The plugin sets no colours of its own; the record is declared so that the interface
// headers are complete for the records that refer to it.
#pragma once

#include <cstdint>

using FARCOLORFLAGS = uint64_t;
constexpr FARCOLORFLAGS FCF_NONE = 0;
constexpr FARCOLORFLAGS FCF_FG_4BIT = 0x1;
constexpr FARCOLORFLAGS FCF_BG_4BIT = 0x2;

struct FarColor {
  FARCOLORFLAGS Flags;
  uint32_t ForegroundColor;
  uint32_t BackgroundColor;
  void* Reserved;
};
