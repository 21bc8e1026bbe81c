// The two editor commands on the list file (jump to the destination name, select the
// destination column) and the small menu that offers them.
#include "far/uFAR.h"
#include "filelist/uFileList.h"
#include "list/uListFormat.h"
#include "messages/uMessages.h"

bool TFileList::JumpToDestinationFileName() {
  TEditorInfo info;
  if (!TFarEditor::GetInfo(fEditorID, info)) return false;
  std::u16string line;
  if (!TFarEditor::GetString(fEditorID, static_cast<int32_t>(info.CurLine), line)) return false;
  int32_t sourceStart, sourceLength, destStart, destLength;
  if (!ParseListLine(line, sourceStart, sourceLength, destStart, destLength)) return false;
  // destStart counts from 1: minus 1 is the first character after the opening quote.
  if (!TFarEditor::SetCursorPosition(fEditorID, static_cast<int32_t>(info.CurLine), destStart - 1))
    return false;
  TFarEditor::Refresh(fEditorID);
  return true;
}

bool TFileList::SelectDestinationFilenames() {
  TEditorInfo info;
  if (!TFarEditor::GetInfo(fEditorID, info)) return false;

  EditorSelect select = {};
  select.StructSize = sizeof(select);
  select.BlockType = BTYPE_COLUMN;
  select.BlockStartLine = -1;
  select.BlockStartPos = -1;
  select.BlockWidth = -1;
  select.BlockHeight = -1;
  bool found = false;

  std::u16string line;
  for (int32_t row = 0; row < static_cast<int32_t>(info.TotalLines); ++row) {
    int32_t sourceStart, sourceLength, destStart, destLength;
    if (!TFarEditor::GetString(fEditorID, row, line) ||
        !ParseListLine(line, sourceStart, sourceLength, destStart, destLength))
      continue;
    // The block covers the quoted destinations: from the leftmost opening quote, as
    // wide as the widest one, down to the last entry line.
    if (select.BlockStartLine < 0) select.BlockStartLine = row;
    if (select.BlockStartPos < 0 || destStart - 2 < select.BlockStartPos)
      select.BlockStartPos = destStart - 2;
    if (destLength + 2 > select.BlockWidth) select.BlockWidth = destLength + 2;
    select.BlockHeight = row - select.BlockStartLine + 1;
    found = true;
  }
  if (!found) return false;

  const bool result = farhost::EditorControl(fEditorID, ECTL_SELECT, 0, &select) != 0;
  TFarEditor::Refresh(fEditorID);
  return result;
}

namespace {

void InitMenuItem(FarMenuItem& AItem, TMessageId AMsgId, uint64_t AFlags) {
  AItem = {};
  AItem.Text = GetMessageText(AMsgId);
  AItem.Flags = AFlags;
}

} // namespace

bool TFileList::ShowEditorMenu(const GUID& AMenuId) {
  FarMenuItem items[2];
  InitMenuItem(items[0], MJumpCommand, 0);
  InitMenuItem(items[1], MSelectCommand, 0);
  const intptr_t chosen = farhost::Menu(&AMenuId, -1, -1, 0, FMENU_WRAPMODE, GetMessageText(MTitle),
                                        nullptr, nullptr, nullptr, nullptr, items, 2);
  switch (chosen) {
  case 0:
    return JumpToDestinationFileName();
  case 1:
    return SelectDestinationFilenames();
  default:
    return false;
  }
}
