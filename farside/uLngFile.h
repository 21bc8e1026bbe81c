// Reads a FAR language file (.lng) by FAR's own rules: UTF-8 with a byte-order mark, a
// ".Language=Name,Description" line, then every line that starts (after blanks) with a
// double quote is the next message, from id 0. Escapes inside a message: \n, \r, \t,
// \\, \" and a doubled quote. Blank lines, comments and other lines are skipped.
//
// The tests read the shipped language files with it, and quorvane-run loads the
// plugin's messages with it as FAR would.
#pragma once

#include <string>
#include <vector>

struct TLngFile {
  bool HasByteOrderMark = false;
  std::u16string LanguageName;        // "English"
  std::u16string LanguageDescription; // "English"
  std::vector<std::u16string> Messages;
  // Problems met while reading (bad UTF-8, a message without its closing quote, no
  // .Language line, ...); empty for a well-formed file.
  std::vector<std::string> Errors;
};

// Parses the bytes of a language file.
TLngFile ParseLngText(const std::string& ABytes);
// Reads and parses a file; false (with an entry in Errors) when it cannot be read.
bool LoadLngFile(const std::string& AFileName, TLngFile& AFile);

// The texts of a plugin in ALanguage ("English", "Russian", ...), as FAR picks them: from
// the .lng files in the plugin's folder, the English ones when none is in that language
// (AFellBack then true). False with AError set when the folder has neither.
bool LoadPluginTexts(const std::u16string& APluginFileName, const std::u16string& ALanguage,
                     std::vector<std::u16string>& AMessages, bool& AFellBack, std::string& AError);
