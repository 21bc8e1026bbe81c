#include "uEditorProcess.h"

#include <algorithm>
#include <iterator>

#include "system/uUtf8.h"
#include "uHostPlatform.h"

namespace host {

namespace {

#ifdef _WIN32
constexpr bool BackslashEscapes = false;
#else
constexpr bool BackslashEscapes = true;
#endif

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// Reads one word from AFrom; AQuoted tells whether any of it was quoted.
std::u16string ReadWord(const std::u16string& ACommand, size_t& AFrom, bool& AQuoted) {
  std::u16string word;
  size_t& i = AFrom;
  const size_t n = ACommand.size();
  AQuoted = false;
  while (i < n && !IsBlank(ACommand[i])) {
    const char16_t c = ACommand[i++];
    if (c == u'\'' || c == u'"') {
      AQuoted = true;
      while (i < n && ACommand[i] != c) {
        if (c == u'"' && ACommand[i] == u'\\' && i + 1 < n &&
            std::u16string_view(u"\"\\$`").find(ACommand[i + 1]) != std::u16string_view::npos)
          ++i;
        word.push_back(ACommand[i++]);
      }
      if (i < n) ++i;
    } else if (c == u'\\' && BackslashEscapes && i < n) {
      word.push_back(ACommand[i++]);
    } else {
      word.push_back(c);
    }
  }
  return word;
}

bool IsAssignment(const std::u16string& AWord, bool AQuoted) {
  const size_t equals = AWord.find(u'=');
  if (AQuoted || equals == std::u16string::npos || equals == 0) return false;
  return std::all_of(AWord.begin(), AWord.begin() + equals, [](char16_t c) {
    return c == u'_' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') ||
           (c >= u'a' && c <= u'z');
  });
}

std::u16string LowerAscii(std::u16string AText) {
  for (auto& c : AText)
    if (c >= u'A' && c <= u'Z') c += 32;
  return AText;
}

} // namespace

std::u16string EditorCommand() {
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    const std::u16string value = GetEnvironment(variable);
    if (value.find_first_not_of(u" \t") != std::u16string::npos) return value;
  }
#ifdef _WIN32
  return u"notepad";
#else
  return u"vi";
#endif
}

std::u16string CommandProgram(const std::u16string& ACommand) {
  size_t i = 0;
  for (;;) {
    while (i < ACommand.size() && IsBlank(ACommand[i]))
      ++i;
    if (i >= ACommand.size()) return {};
    bool quoted = false;
    const std::u16string word = ReadWord(ACommand, i, quoted);
    if (!IsAssignment(word, quoted)) return word;
  }
}

bool TakesStartLine(const std::u16string& AEditorCommand) {
  std::u16string name = CommandProgram(AEditorCommand);
  const size_t slash = name.find_last_of(u"/\\");
  if (slash != std::u16string::npos) name.erase(0, slash + 1);
  name = LowerAscii(name);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, u".exe") == 0)
    name.resize(name.size() - 4);
  static const char16_t* const editors[] = {u"vi",          u"vim",    u"nvim", u"view",  u"vis",
                                            u"gvim",        u"nano",   u"pico", u"rnano", u"emacs",
                                            u"emacsclient", u"jed",    u"joe",  u"jmacs", u"jstar",
                                            u"jpico",       u"mcedit", u"ne",   u"micro", u"kak",
                                            u"mg",          u"elvis",  u"nvi",  u"ex",    u"kate"};
  return std::any_of(std::begin(editors), std::end(editors),
                     [&](const char16_t* AName) { return name == AName; });
}

std::vector<std::u16string> EditorArguments(const std::u16string& AEditorCommand,
                                            const std::u16string& AFileName, intptr_t AStartLine) {
  std::vector<std::u16string> arguments;
  if (AStartLine > 0 && TakesStartLine(AEditorCommand)) {
    std::u16string line = u"+";
    line += Utf8ToUtf16(std::to_string(AStartLine));
    arguments.push_back(line);
  }
  arguments.push_back(AFileName);
  return arguments;
}

} // namespace host
