// Paths between std::filesystem and the UTF-16 strings of the code: on Windows the same
// code units, elsewhere the bytes of a POSIX name as uPosixPath.h writes and reads them.
// Header-only, so that only the host and the tests, which use std::filesystem, pull it in.
#pragma once

#include <filesystem>
#include <string>

#include "system/uPosixPath.h"

inline std::u16string PathToU16(const std::filesystem::path& APath) {
#ifdef _WIN32
  const std::wstring& native = APath.native();
  return std::u16string(reinterpret_cast<const char16_t*>(native.data()), native.size());
#else
  return posix::BytesToPath(APath.native());
#endif
}

inline std::filesystem::path U16ToPath(const std::u16string& APath) {
#ifdef _WIN32
  return std::filesystem::path(
      std::wstring(reinterpret_cast<const wchar_t*>(APath.data()), APath.size()));
#else
  return std::filesystem::path(posix::PathToBytes(APath));
#endif
}
