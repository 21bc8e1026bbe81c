#include "TestFiles.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

std::string ReadBytes(const fs::path& APath) {
  std::ifstream in(APath, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const fs::path& APath, const std::string& ABytes) {
  std::ofstream out(APath, std::ios::binary | std::ios::trunc);
  out.write(ABytes.data(), static_cast<std::streamsize>(ABytes.size()));
}

TTempDir::TTempDir() {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() /
                 ("quorvane-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (fs::create_directory(p)) {
      fPath = p;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TTempDir::~TTempDir() {
  std::error_code ec;
  fs::remove_all(fPath, ec);
}

std::u16string TTempDir::Dir() const {
#ifdef _WIN32
  return PathToU16(fPath) + u'\\';
#else
  return PathToU16(fPath) + u'/';
#endif
}

fs::path TTempDir::operator/(const std::string& AUtf8Name) const {
  return U16ToPath(PathToU16(fPath) + u'/' + Utf8ToUtf16(AUtf8Name));
}

} // namespace testing_support
