#include "filelist/uUnreadLines.h"

#include <string>
#include <vector>

#include "far/uFAR.h"
#include "filelist/uListFormat.h"
#include "filelist/uSavedList.h"
#include "files/uStrings.h"
#include "messages/uMessages.h"
#include "system/uSystem.h"

namespace {

// The box names no more lines than this, each cut to a width that fits a screen.
constexpr size_t ShownLines = 5;
constexpr size_t ShownWidth = 60;

// A line as the box shows it: cut, never inside a surrogate pair, and its control
// characters (a tab, say) written visibly, as boxes show names.
std::u16string ShownLine(const std::u16string& ALine) {
  if (ALine.size() <= ShownWidth) return EscapeControlCharacters(ALine);
  size_t width = ShownWidth;
  if (ALine[width - 1] >= 0xD800 && ALine[width - 1] < 0xDC00) --width;
  return EscapeControlCharacters(ALine.substr(0, width)) + u"...";
}

} // namespace

bool AcceptUnreadLines(const TSavedList& ALines) {
  // The header's lines are no entries either; they are the template's, which the user
  // had no reason to touch.
  const size_t headerLines = ListHeaderLines(GetMessageText(MListHeader));
  std::vector<std::u16string> items = {GetMessageText(MTitle), std::u16string()};
  size_t number = 0, count = 0;
  for (const std::u16string& line : ALines) {
    if (++number <= headerLines || !IsUnreadLine(line)) continue;
    if (++count > ShownLines) continue;
    items.push_back(
        ReplacePlaceholder(GetMessageText(MUnreadLineNumber), u"${LINE}", DecimalText(number)) +
        u' ' + ShownLine(line));
  }
  if (count == 0) return true;
  items[1] = ReplacePlaceholder(GetMessageText(MUnreadLines), u"${COUNT}", DecimalText(count));
  items.push_back(GetMessageText(MRenameOthers));
  items.push_back(GetMessageText(MCancel));
  // Esc cancels too: only the explicit answer renames.
  return TFarUtils::ShowMessage(items, FMSG_WARNING, 2) == 0;
}
