#include "system/uCommandLine.h"

std::u16string QuoteCommandLineArgument(const std::u16string& AArgument) {
  if (!AArgument.empty() && AArgument.find_first_of(u" \t\"") == std::u16string::npos) {
    return AArgument;
  }
  std::u16string result = u"\"";
  size_t backslashes = 0;
  for (char16_t c : AArgument) {
    if (c == u'\\') {
      ++backslashes;
    } else if (c == u'"') {
      result.append(backslashes + 1, u'\\'); // the ones already out, doubled, and one more
      backslashes = 0;
    } else {
      backslashes = 0;
    }
    result.push_back(c);
  }
  result.append(backslashes, u'\\');
  result.push_back(u'"');
  return result;
}
