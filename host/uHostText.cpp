#include "uHostText.h"

#include <algorithm>

namespace host {

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
