// Real files for the tests: a fresh temporary directory per test and path conversions
// between std::filesystem and the UTF-16 strings of the code under test.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// UTF-8 as the plugin writes and reads POSIX file names: a lone surrogate in the
// three-byte form of its value, each part that is not well-formed UTF-8 as U+FFFD.
std::u16string ToU16(const std::string& AUtf8);
std::string ToUtf8(const std::u16string& AText);
std::u16string PathToU16(const std::filesystem::path& APath);
std::filesystem::path U16ToPath(const std::u16string& APath);

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
