#include "farside/uLngFile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "farside/uFarFiles.h"
#include "farside/uFarNames.h"
#include "system/uUtf8.h"

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
  const std::u16string text = Utf8ToUtf16(bytes, &valid);
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

bool LoadPluginTexts(const std::u16string& APluginFileName, const std::u16string& ALanguage,
                     std::vector<std::u16string>& AMessages, bool& AFellBack, std::string& AError) {
  const std::filesystem::path folder = FarPath(APluginFileName).parent_path();
  std::vector<TLngFile> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::u16string extension = FarPathText(it->path().extension());
    if (CompareNames(extension, u".lng") != 0) continue;
    std::ifstream stream(it->path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    files.push_back(ParseLngText(bytes.str()));
  }
  for (const std::u16string& wanted : {ALanguage, std::u16string(u"English")}) {
    for (auto& file : files) {
      if (!file.Messages.empty() && CompareNames(file.LanguageName, wanted) == 0) {
        AFellBack = wanted != ALanguage;
        AMessages = std::move(file.Messages);
        return true;
      }
    }
  }
  AError = "no language file (.lng) beside the plugin in " +
           Utf16ToUtf8(FarPathText(folder), TLoneSurrogate::Replaced);
  return false;
}
