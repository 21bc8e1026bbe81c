#include "filelist/uSetAsideLines.h"

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

TLinesAnswer CheckSavedLines(TSavedList& ALines, const std::vector<TJudgement>& AVerdicts,
                             bool AAgreed, size_t& AFirstNamed) {
  std::u16string texts[ShownLines + 1]; // how many, then the lines shown
  size_t count = 0;
  AFirstNamed = 0;
  TListLine line;
  for (size_t i = 0; i < AVerdicts.size(); ++i) {
    const TVerdict verdict = AVerdicts[i].Verdict;
    if (!IsSetAside(verdict)) continue;
    ALines.Skip(i);
    if (AFirstNamed == 0) AFirstNamed = i + 1;
    if (++count > ShownLines) continue;
    ALines.Get(i, line);
    const TMessageId message = verdict == vdHeaderChanged ? MHeaderChangedLine
                               : verdict == vdNoSuchFile  ? MChangedSourceLine
                                                          : MUnreadLine;
    texts[count] = LineText(message, i + 1, line.Shown());
  }
  if (count == 0 || AAgreed) return laRename;

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
