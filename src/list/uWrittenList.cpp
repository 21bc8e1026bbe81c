#include "list/uWrittenList.h"

std::vector<std::u16string_view> HeaderLines(std::u16string_view AHeader) {
  std::vector<std::u16string_view> lines;
  for (size_t start = 0;;) {
    const size_t end = AHeader.find(u'\n', start);
    lines.push_back(AHeader.substr(start, end - start));
    if (end == std::u16string_view::npos) return lines;
    start = end + 1;
  }
}

uint32_t WrittenNameHash(std::u16string_view AName) {
  uint32_t hash = 2166136261u; // FNV-1a over the code units
  for (char16_t unit : AName) {
    hash = (hash ^ (unit & 0xFF)) * 16777619u;
    hash = (hash ^ (unit >> 8)) * 16777619u;
  }
  return hash;
}
