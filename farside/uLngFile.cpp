#include "farside/uLngFile.h"

#include <cstdint>
#include <fstream>
#include <sstream>

std::u16string LngUtf8ToUtf16(const std::string& AText, bool* AValid) {
  std::u16string result;
  bool valid = true;
  size_t i = 0;
  const size_t n = AText.size();
  while (i < n) {
    const auto b = static_cast<uint8_t>(AText[i]);
    uint32_t cp = 0;
    size_t extra = 0;
    uint32_t minimum = 0;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F, extra = 1, minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F, extra = 2, minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07, extra = 3, minimum = 0x10000;
    } else {
      valid = false;
      result += u'\uFFFD';
      ++i;
      continue;
    }
    size_t k = 1;
    for (; k <= extra; ++k) {
      if (i + k >= n || (static_cast<uint8_t>(AText[i + k]) & 0xC0) != 0x80) break;
      cp = (cp << 6) | (static_cast<uint8_t>(AText[i + k]) & 0x3F);
    }
    if (k <= extra || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      valid = false;
      result += u'\uFFFD';
      i += k;
      continue;
    }
    i += extra + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      result += static_cast<char16_t>(0xD800 + (cp >> 10));
      result += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      result += static_cast<char16_t>(cp);
    }
  }
  if (AValid) *AValid = valid;
  return result;
}

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string Trim(const std::u16string& s) {
  size_t first = 0;
  size_t last = s.size();
  while (first < last && IsBlank(s[first]))
    ++first;
  while (last > first && (IsBlank(s[last - 1]) || s[last - 1] == u'\r'))
    --last;
  return s.substr(first, last - first);
}

// The text of a quoted message line (starting and, if well formed, ending with a quote).
std::u16string Unescape(const std::u16string& ABody) {
  std::u16string text;
  for (size_t i = 0; i < ABody.size(); ++i) {
    const char16_t c = ABody[i];
    if (c == u'\\' && i + 1 < ABody.size()) {
      switch (ABody[i + 1]) {
      case u'n':
        text += u'\n';
        ++i;
        continue;
      case u'r':
        text += u'\r';
        ++i;
        continue;
      case u't':
        text += u'\t';
        ++i;
        continue;
      case u'\\':
        text += u'\\';
        ++i;
        continue;
      case u'"':
        text += u'"';
        ++i;
        continue;
      default:
        break;
      }
    } else if (c == u'"' && i + 1 < ABody.size() && ABody[i + 1] == u'"') {
      text += u'"';
      ++i;
      continue;
    }
    text += c;
  }
  return text;
}

} // namespace

TLngFile ParseLngText(const std::string& ABytes) {
  TLngFile file;
  std::string bytes = ABytes;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    file.HasByteOrderMark = true;
    bytes.erase(0, 3);
  } else {
    file.Errors.push_back("no UTF-8 byte-order mark");
  }
  bool valid = true;
  const std::u16string text = LngUtf8ToUtf16(bytes, &valid);
  if (!valid) file.Errors.push_back("invalid UTF-8");

  bool haveLanguage = false;
  size_t lineNumber = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    const std::u16string line = Trim(text.substr(start, end - start));
    ++lineNumber;
    start = end + 1;

    if (line.rfind(u".Language=", 0) == 0) {
      const std::u16string value = line.substr(10);
      const size_t comma = value.find(u',');
      file.LanguageName = value.substr(0, comma);
      file.LanguageDescription = comma == std::u16string::npos ? u"" : value.substr(comma + 1);
      if (haveLanguage) file.Errors.push_back("second .Language line");
      if (!file.Messages.empty()) file.Errors.push_back(".Language after the first message");
      haveLanguage = true;
      continue;
    }
    if (line.empty() || line[0] != u'"') continue;
    if (line.size() < 2 || line.back() != u'"') {
      file.Errors.push_back("line " + std::to_string(lineNumber) + ": no closing quote");
      file.Messages.push_back(Unescape(line.substr(1)));
    } else {
      file.Messages.push_back(Unescape(line.substr(1, line.size() - 2)));
    }
  }
  if (!haveLanguage) file.Errors.push_back("no .Language line");
  return file;
}

bool LoadLngFile(const std::string& AFileName, TLngFile& AFile) {
  std::ifstream in(AFileName, std::ios::binary);
  if (!in) {
    AFile = TLngFile();
    AFile.Errors.push_back("cannot read " + AFileName);
    return false;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  AFile = ParseLngText(bytes.str());
  return true;
}
