#include <stdlib.h>

#include "PluginLoader.h"
#include "support/TestFiles.h"

std::u16string SetTempDirectoryVariable(const std::u16string& ADirectory) {
  const char* old = getenv("TMPDIR");
  std::u16string previous = old ? Utf8ToUtf16(old) : std::u16string();
  if (ADirectory.empty())
    unsetenv("TMPDIR");
  else
    setenv("TMPDIR", Utf16ToUtf8(ADirectory, TLoneSurrogate::Kept).c_str(), 1);
  return previous;
}
