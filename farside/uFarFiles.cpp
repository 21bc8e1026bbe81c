#include "farside/uFarFiles.h"

#include <fstream>
#include <sstream>

#ifndef _WIN32
#include "system/uPosixPath.h"
#endif

std::filesystem::path FarPath(const std::u16string& AFileName) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(AFileName.begin(), AFileName.end()));
#else
  return std::filesystem::path(posix::PathToBytes(AFileName));
#endif
}

std::u16string FarPathText(const std::filesystem::path& APath) {
#ifdef _WIN32
  const std::wstring text = APath.wstring();
  return std::u16string(text.begin(), text.end());
#else
  return posix::BytesToPath(APath.string());
#endif
}

bool ReadWholeFile(const std::u16string& AFileName, std::string& ABytes) {
  std::ifstream in(FarPath(AFileName), std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  ABytes = bytes.str();
  return true;
}

bool WriteWholeFile(const std::u16string& AFileName, const std::string& ABytes) {
  std::ofstream out(FarPath(AFileName), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(ABytes.data(), static_cast<std::streamsize>(ABytes.size()));
  return static_cast<bool>(out);
}
