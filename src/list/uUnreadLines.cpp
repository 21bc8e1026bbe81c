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

} // namespace

bool AcceptUnreadLines(const TSavedList& ALines) {
  // The header's lines are no entries either; they are the template's, which the user
  // had no reason to touch.
  const size_t headerLines = ListHeaderLines(GetMessageText(MListHeader));
  const std::u16string lineText = GetMessageText(MUnreadLine);
  std::u16string texts[ShownLines + 1]; // how many, then the lines shown
  size_t number = 0, count = 0;
  for (const TListLine& saved : ALines) {
    if (++number <= headerLines || !saved.Unread() || ++count > ShownLines) continue;
    const std::u16string line = saved.Shown();
    // Cut, never inside a surrogate pair, and its control characters (a tab, say)
    // written visibly, as boxes show names.
    size_t width = std::min(line.size(), ShownWidth);
    if (width < line.size() && line[width - 1] >= 0xD800 && line[width - 1] < 0xDC00) --width;
    const std::u16string shown = line.substr(0, width) + (width < line.size() ? u"..." : u"");
    texts[count] = ReplaceAll(ReplaceAll(lineText, u"${LINE}", DecimalText(number)), u"${TEXT}",
                              EscapeControlCharacters(shown));
  }
  if (count == 0) return true;

  texts[0] = ReplaceAll(GetMessageText(MUnreadLines), u"${COUNT}", DecimalText(count));
  const size_t shown = std::min(count, ShownLines);
  const char16_t* items[ShownLines + 4] = {GetMessageText(MTitle)};
  for (size_t i = 0; i <= shown; ++i)
    items[i + 1] = texts[i].c_str();
  items[shown + 2] = GetMessageText(MRenameOthers);
  items[shown + 3] = GetMessageText(MCancel);
  // Esc cancels too: only the explicit answer renames.
  return TFarUtils::ShowMessage(items, int32_t(shown + 4), FMSG_WARNING, 2) == 0;
}
