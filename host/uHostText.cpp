#include "uHostText.h"

#include <algorithm>

namespace host {

namespace {

size_t CharacterColumns(char32_t C) {
  if (C >= 0x0300 && C <= 0x036F) return 0;
  static const char32_t Wide[][2] = {
      {0x1100, 0x115F}, {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},  {0x4E00, 0x9FFF},
      {0xA000, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},  {0xFF00, 0xFF60},
      {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD}};
  for (const auto& range : Wide)
    if (C >= range[0] && C <= range[1]) return 2;
  return 1;
}

// The character that starts at AAt, and where the next one starts.
char32_t CharacterAt(const std::u16string& AText, size_t AAt, size_t& ANext) {
  const char16_t c = AText[AAt];
  ANext = AAt + 1;
  if (c >= 0xD800 && c <= 0xDBFF && ANext < AText.size() && AText[ANext] >= 0xDC00 &&
      AText[ANext] <= 0xDFFF) {
    return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (AText[ANext++] - 0xDC00);
  }
  return c;
}

} // namespace

std::u16string StripHotKey(const std::u16string& AText) {
  std::u16string result;
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] == u'&') {
      if (i + 1 < AText.size() && AText[i + 1] == u'&') result.push_back(u'&'), ++i;
      continue;
    }
    result.push_back(AText[i]);
  }
  return result;
}

size_t TerminalColumns(const std::u16string& AText) {
  size_t columns = 0;
  for (size_t at = 0; at < AText.size();)
    columns += CharacterColumns(CharacterAt(AText, at, at));
  return columns;
}

std::u16string KeepEnd(const std::u16string& AText, size_t AColumns) {
  size_t columns = TerminalColumns(AText);
  if (columns <= AColumns) return AText;
  const std::u16string dots = AColumns >= 3 ? u"..." : u"";
  // Characters leave the start until what remains fits beside the dots.
  size_t at = 0;
  while (at < AText.size() && columns + dots.size() > AColumns)
    columns -= CharacterColumns(CharacterAt(AText, at, at));
  return dots + AText.substr(at);
}

} // namespace host
