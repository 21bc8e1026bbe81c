#include "TestFiles.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

std::u16string ToU16(const std::string& AUtf8) {
  std::u16string out;
  size_t i = 0;
  while (i < AUtf8.size()) {
    unsigned char c = AUtf8[i];
    uint32_t cp;
    int extra;
    if (c < 0x80) { cp = c; extra = 0; }
    else if ((c >> 5) == 6) { cp = c & 0x1F; extra = 1; }
    else if ((c >> 4) == 14) { cp = c & 0x0F; extra = 2; }
    else { cp = c & 0x07; extra = 3; }
    ++i;
    for (int k = 0; k < extra && i < AUtf8.size(); ++k, ++i) cp = (cp << 6) | (AUtf8[i] & 0x3F);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += char16_t(0xD800 + (cp >> 10));
      out += char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      out += char16_t(cp);
    }
  }
  return out;
}

std::string ToUtf8(const std::u16string& AText) {
  std::string out;
  for (size_t i = 0; i < AText.size(); ++i) {
    uint32_t cp = AText[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < AText.size() && AText[i + 1] >= 0xDC00 &&
        AText[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (AText[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) out += char(cp);
    else if (cp < 0x800) { out += char(0xC0 | (cp >> 6)); out += char(0x80 | (cp & 0x3F)); }
    else if (cp < 0x10000) {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::u16string PathToU16(const fs::path& APath) {
#ifdef _WIN32
  std::wstring w = APath.wstring();
  return std::u16string(w.begin(), w.end());
#else
  return ToU16(APath.string());
#endif
}

fs::path U16ToPath(const std::u16string& APath) {
#ifdef _WIN32
  return fs::path(std::wstring(APath.begin(), APath.end()));
#else
  return fs::path(ToUtf8(APath));
#endif
}

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

fs::path TTempDir::operator/(const std::string& AUtf8Name) const { return U16ToPath(PathToU16(fPath) + u'/' + ToU16(AUtf8Name)); }

} // namespace testing_support
