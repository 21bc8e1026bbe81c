#include <windows.h>

#include "PluginLoader.h"

std::u16string SetTempDirectoryVariable(const std::u16string& ADirectory) {
  wchar_t buffer[32768];
  const DWORD n = ::GetEnvironmentVariableW(L"TMP", buffer, 32768);
  std::u16string previous(reinterpret_cast<const char16_t*>(buffer), n < 32768 ? n : 0);
  const wchar_t* value =
      ADirectory.empty() ? nullptr : reinterpret_cast<const wchar_t*>(ADirectory.c_str());
  ::SetEnvironmentVariableW(L"TMP", value);
  ::SetEnvironmentVariableW(L"TEMP", value);
  return previous;
}
