// The text of the list file: the header, the entry lines of two quoted names in aligned
// columns, and the grammar by which edited lines are read back. Positions inside a line
// count UTF-16 code units from 1; a blank is U+0020 only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A double quote, the name with every double quote in it doubled, a double quote.
std::u16string QuoteFileName(std::u16string_view AName);
// The length of QuoteFileName(AName), without making it.
size_t QuotedLength(std::u16string_view AName);

// The quoted name left-justified in a column of AWidth (and cut to it), four blanks, and
// the quoted name again: the "%-*.*s    %s" layout.
std::u16string FormatListLine(const std::u16string& AQuoted, int32_t AWidth);

// AText with every occurrence of AFind (exact, case-sensitive) replaced by AValue; the
// replacement is not searched again.
std::u16string ReplaceAll(const std::u16string& AText, std::u16string_view AFind,
                          const std::u16string& AValue);

// The header template with every "${DIRECTORY}" replaced by ADirectory, whose control
// characters are escaped (EscapeControlCharacters).
std::u16string FormatListHeader(const std::u16string& ATemplate, const std::u16string& ADirectory);

// How many lines the header of ATemplate takes: one, and one more for each LF in it.
size_t ListHeaderLines(std::u16string_view ATemplate);

// True when ALine is an entry: "source", blanks, "destination", blanks. The starts are
// the positions of the first character inside the quotes; an empty name has length 0.
bool ParseListLine(std::u16string_view ALine, int32_t& ASourceStart, int32_t& ASourceLength,
                   int32_t& ADestStart, int32_t& ADestLength);

// True when ALine is one the user broke: neither blank (blanks and tabs only) nor an entry.
// An entry whose destination is emptied to "" is the way to leave a file alone and does
// not count; one whose source is emptied does, since it names no file to rename.
bool IsUnreadLine(std::u16string_view ALine);

// ParseListLine that also rejects an empty name, giving both names. The outputs are
// emptied first.
bool SplitListLine(std::u16string_view ALine, std::u16string& ASource,
                   std::u16string& ADestination);
