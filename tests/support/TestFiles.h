// Real files for the tests: a fresh temporary directory per test. The code's own
// conversions between UTF-8, UTF-16 and std::filesystem come with it, as every test that
// makes files needs them.
#pragma once

#include <filesystem>
#include <string>

#include "system/uFilesystemPath.h"
#include "system/uUtf8.h"

namespace testing_support {

// Reads or writes a whole file as bytes.
std::string ReadBytes(const std::filesystem::path& APath);
void WriteBytes(const std::filesystem::path& APath, const std::string& ABytes);

// A directory of its own under the system's temporary directory, removed with
// everything in it when the object goes.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return fPath; }
  // The directory as a UTF-16 string, with a trailing path delimiter.
  std::u16string Dir() const;
  std::filesystem::path operator/(const std::string& AUtf8Name) const;

private:
  std::filesystem::path fPath;
};

} // namespace testing_support
