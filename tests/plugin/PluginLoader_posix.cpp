#include <stdlib.h>

#include "PluginLoader.h"
#include "support/TestFiles.h"

std::u16string SetTempDirectoryVariable(const std::u16string& ADirectory) {
  const char* old = getenv("TMPDIR");
  std::u16string previous = old ? testing_support::ToU16(old) : std::u16string();
  if (ADirectory.empty())
    unsetenv("TMPDIR");
  else
    setenv("TMPDIR", testing_support::ToUtf8(ADirectory).c_str(), 1);
  return previous;
}
