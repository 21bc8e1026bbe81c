#include "uHostText.h"

#include <algorithm>

#include "files/uStrings.h"
#include "system/uUtf8.h"

namespace host {

std::u16string Utf8ToU16(const std::string& AText, bool* AValid) {
  return Utf8ToUtf16(AText, AValid);
}

std::string U16ToUtf8(const std::u16string& AText) {
  return WideToUtf8(AText);
}

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

} // namespace host
