#include "list/uListFormat.h"

#include <algorithm>
#include <limits>

#include "files/uStrings.h"

namespace {

constexpr char16_t Quote = u'"';
constexpr char16_t Blank = u' ';
constexpr std::u16string_view DirectoryPlaceholder = u"${DIRECTORY}";

} // namespace

std::u16string QuoteFileName(std::u16string_view AName) {
  std::u16string result;
  result.reserve(AName.size() + 2);
  result += Quote;
  for (char16_t ch : AName) {
    result += ch;
    if (ch == Quote) result += Quote;
  }
  result += Quote;
  return result;
}

size_t QuotedLength(std::u16string_view AName) {
  return AName.size() + 2 + size_t(std::count(AName.begin(), AName.end(), Quote));
}

std::u16string FormatListLine(const std::u16string& AQuoted, int32_t AWidth) {
  // As printf takes them: a negative width left-justifies in its absolute value, and a
  // negative precision cuts nothing.
  std::u16string column = AQuoted;
  if (AWidth >= 0 && column.size() > size_t(AWidth)) column.resize(size_t(AWidth));
  const size_t width = AWidth < 0 ? size_t(-int64_t(AWidth)) : size_t(AWidth);
  if (column.size() < width) column.append(width - column.size(), Blank);
  return column + u"    " + AQuoted;
}

std::u16string ReplaceAll(const std::u16string& AText, std::u16string_view AFind,
                          const std::u16string& AValue) {
  if (AFind.empty()) return AText;
  // Measured first and then copied in place: plain copies, where appending would bring
  // the string's growth along at every call.
  size_t count = 0;
  for (size_t at = 0; (at = AText.find(AFind, at)) != std::u16string::npos; at += AFind.size())
    ++count;
  std::u16string result(AText.size() + count * AValue.size() - count * AFind.size(), u'\0');
  char16_t* out = result.data();
  size_t from = 0;
  for (size_t at; count > 0; --count, from = at + AFind.size()) {
    at = AText.find(AFind, from);
    out = std::copy(AText.data() + from, AText.data() + at, out);
    out = std::copy(AValue.begin(), AValue.end(), out);
  }
  std::copy(AText.begin() + std::ptrdiff_t(from), AText.end(), out);
  return result;
}

std::u16string FormatListHeader(const std::u16string& ATemplate, const std::u16string& ADirectory) {
  // A line break in the directory's name would start a line of its own, which could read
  // back as an entry: its control characters are written visibly instead.
  return ReplaceAll(ATemplate, DirectoryPlaceholder, EscapeControlCharacters(ADirectory));
}

size_t ListHeaderLines(std::u16string_view ATemplate) {
  return 1 + size_t(std::count(ATemplate.begin(), ATemplate.end(), u'\n'));
}

bool ParseListLine(std::u16string_view ALine, int32_t& ASourceStart, int32_t& ASourceLength,
                   int32_t& ADestStart, int32_t& ADestLength) {
  const size_t n = ALine.size();
  if (n == 0 || n > size_t(std::numeric_limits<int32_t>::max()) || ALine[0] != Quote) return false;
  const size_t sourceEnd = ALine.find(Quote, 1);
  if (sourceEnd == std::u16string_view::npos) return false;
  size_t i = sourceEnd + 1;
  while (i < n && ALine[i] == Blank)
    ++i;
  if (i >= n || ALine[i] != Quote) return false;
  const size_t destStart = i + 1;
  const size_t destEnd = ALine.find(Quote, destStart);
  if (destEnd == std::u16string_view::npos) return false;
  for (i = destEnd + 1; i < n; ++i)
    if (ALine[i] != Blank) return false;
  // 0-based indexes to 1-based positions.
  ASourceStart = 2;
  ASourceLength = int32_t(sourceEnd - 1);
  ADestStart = int32_t(destStart + 1);
  ADestLength = int32_t(destEnd - destStart);
  return true;
}

bool IsUnreadLine(std::u16string_view ALine) {
  if (ALine.find_first_not_of(u" \t") == std::u16string_view::npos) return false;
  int32_t sourceStart, sourceLength, destStart, destLength;
  if (!ParseListLine(ALine, sourceStart, sourceLength, destStart, destLength)) return true;
  return sourceLength == 0 && destLength != 0;
}

bool SplitListLine(std::u16string_view ALine, std::u16string& ASource,
                   std::u16string& ADestination) {
  ASource.clear();
  ADestination.clear();
  int32_t sourceStart, sourceLength, destStart, destLength;
  if (!ParseListLine(ALine, sourceStart, sourceLength, destStart, destLength)) return false;
  if (sourceLength == 0 || destLength == 0) return false;
  ASource = std::u16string(ALine.data() + sourceStart - 1, size_t(sourceLength));
  ADestination = std::u16string(ALine.data() + destStart - 1, size_t(destLength));
  return true;
}
