#include "list/uUnreadLines.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "far/uFAR.h"
#include "files/uStrings.h"
#include "list/uListFormat.h"
#include "list/uSavedList.h"
#include "messages/uMessages.h"
#include "system/uSystem.h"

namespace {

// The box names no more lines than this, each cut to a width that fits a screen.
constexpr size_t ShownLines = 5;
constexpr size_t ShownWidth = 60;

bool IsWritten(const TWrittenList& AWritten, const std::u16string& AName) {
  return std::binary_search(AWritten.Names.begin(), AWritten.Names.end(), WrittenNameHash(AName));
}

// AMessage with a line's number and its text, cut, never inside a surrogate pair, and its
// control characters (a tab, say) written visibly, as boxes show names.
std::u16string LineText(TMessageId AMessage, size_t ANumber, const std::u16string& ALine) {
  size_t width = std::min(ALine.size(), ShownWidth);
  if (width < ALine.size() && ALine[width - 1] >= 0xD800 && ALine[width - 1] < 0xDC00) --width;
  const std::u16string shown = ALine.substr(0, width) + (width < ALine.size() ? u"..." : u"");
  return ReplaceAll(ReplaceAll(GetMessageText(AMessage), u"${LINE}", DecimalText(ANumber)),
                    u"${TEXT}", EscapeControlCharacters(shown));
}

} // namespace

std::vector<std::u16string_view> HeaderLines(std::u16string_view AHeader) {
  std::vector<std::u16string_view> lines;
  for (size_t start = 0;;) {
    const size_t end = AHeader.find(u'\n', start);
    lines.push_back(AHeader.substr(start, end - start));
    if (end == std::u16string_view::npos) return lines;
    start = end + 1;
  }
}

bool IsReadable(const TListLine& ALine, size_t ANumber,
                const std::vector<std::u16string_view>& AHeader) {
  // The header's place: a line there is read as header whatever it holds.
  if (ANumber <= AHeader.size()) return !ALine.Named() && ALine.Text == AHeader[ANumber - 1];
  return !ALine.Unread();
}

uint32_t WrittenNameHash(std::u16string_view AName) {
  uint32_t hash = 2166136261u; // FNV-1a over the code units
  for (char16_t unit : AName) {
    hash = (hash ^ (unit & 0xFF)) * 16777619u;
    hash = (hash ^ (unit >> 8)) * 16777619u;
  }
  return hash;
}

TLinesAnswer CheckSavedLines(TSavedList& ALines, const TWrittenList& AWritten,
                             size_t& AFirstNamed) {
  const std::vector<std::u16string_view> header = HeaderLines(AWritten.Header);
  std::u16string texts[ShownLines + 1]; // how many, then the lines shown
  size_t number = 0, count = 0;
  AFirstNamed = 0;
  for (const TListLine& line : ALines) {
    ++number;
    TMessageId message = MUnreadLine;
    if (!IsReadable(line, number, header)) {
      if (number <= header.size()) ALines.Skip(number - 1);
    } else if (number > header.size() && line.Renames()) {
      if (IsWritten(AWritten, line.Source) || AWritten.SourceExists(line)) continue;
      message = MChangedSourceLine;
      ALines.Skip(number - 1);
    } else {
      continue;
    }
    if (AFirstNamed == 0) AFirstNamed = number;
    if (++count <= ShownLines) texts[count] = LineText(message, number, line.Shown());
  }
  if (count == 0) return laRename;

  texts[0] = ReplaceAll(GetMessageText(MUnreadLines), u"${COUNT}", DecimalText(count));
  const size_t shown = std::min(count, ShownLines);
  const char16_t* items[ShownLines + 5] = {GetMessageText(MTitle)};
  for (size_t i = 0; i <= shown; ++i)
    items[i + 1] = texts[i].c_str();
  items[shown + 2] = GetMessageText(MRenameOthers);
  items[shown + 3] = GetMessageText(MEditAgain);
  items[shown + 4] = GetMessageText(MCancel);
  // Esc cancels too: only the explicit answer renames.
  switch (TFarUtils::ShowMessage(items, int32_t(shown + 5), FMSG_WARNING, 3)) {
  case 0:
    return laRename;
  case 1:
    return laEditAgain;
  default:
    return laCancel;
  }
}
