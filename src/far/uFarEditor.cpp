#include "far/uFarEditor.h"

#include <algorithm>

#include "far/uFarUtils.h"

bool TFarEditor::GetInfo(int32_t AEditorID, TEditorInfo& AInfo) {
  AInfo = TEditorInfo{};
  AInfo.StructSize = sizeof(TEditorInfo);
  return farhost::EditorControl(AEditorID, ECTL_GETINFO, 0, &AInfo) != 0;
}

bool TFarEditor::GetFileName(int32_t AEditorID, std::u16string& AFileName) {
  AFileName.clear();
  const intptr_t n = farhost::EditorControl(AEditorID, ECTL_GETFILENAME, 0, nullptr);
  if (n <= 0) return false;
  TFarCharArray buffer(static_cast<size_t>(n), u'\0');
  const intptr_t m = farhost::EditorControl(AEditorID, ECTL_GETFILENAME, n, buffer.data());
  if (m <= 0) return false;
  // m counts the terminating zero; never read past what the buffer holds.
  AFileName.assign(buffer.data(), std::min(static_cast<size_t>(m - 1), buffer.size()));
  return true;
}

bool TFarEditor::GetString(int32_t AEditorID, int32_t ARowNumber, std::u16string& AStr) {
  int32_t selStart = 0;
  int32_t selLength = 0;
  return GetString(AEditorID, ARowNumber, AStr, selStart, selLength);
}

bool TFarEditor::GetString(int32_t AEditorID, int32_t ARowNumber, std::u16string& AStr,
                           int32_t& ASelStart, int32_t& ASelLength) {
  AStr.clear();
  EditorGetString record{};
  record.StructSize = sizeof(EditorGetString);
  record.StringNumber = ARowNumber;
  if (farhost::EditorControl(AEditorID, ECTL_GETSTRING, 0, &record) == 0) return false;
  AStr = TFarUtils::CopyLString(record.StringText, static_cast<int32_t>(record.StringLength));
  if (record.SelStart == -1) {
    ASelStart = 0;
    ASelLength = 0;
  } else {
    ASelStart = static_cast<int32_t>(record.SelStart + 1);
    ASelLength = record.SelEnd == -1 ? static_cast<int32_t>(AStr.size())
                                     : static_cast<int32_t>(record.SelEnd - record.SelStart);
  }
  return true;
}

bool TFarEditor::SetString(int32_t AEditorID, int32_t ARowNumber, const std::u16string& AStr) {
  EditorSetString record{};
  record.StructSize = sizeof(EditorSetString);
  record.StringNumber = ARowNumber;
  record.StringLength = static_cast<intptr_t>(AStr.size());
  record.StringText = AStr.c_str();
  record.StringEOL = nullptr;
  return farhost::EditorControl(AEditorID, ECTL_SETSTRING, 0, &record) != 0;
}

bool TFarEditor::SetCursorPosition(int32_t AEditorID, int32_t ARowNumber) {
  return SetCursorPosition(AEditorID, ARowNumber, -1);
}

bool TFarEditor::SetCursorPosition(int32_t AEditorID, int32_t ARowNumber, int32_t AColNumber) {
  const int32_t topScreenLine = ARowNumber >= 5 ? ARowNumber - 5 : -1;
  return SetCursorPosition(AEditorID, ARowNumber, AColNumber, -1, topScreenLine, -1, -1);
}

bool TFarEditor::SetCursorPosition(int32_t AEditorID, int32_t ARowNumber, int32_t AColNumber,
                                   int32_t ATabPos, int32_t ATopScreenLine, int32_t ALeftPos,
                                   int32_t AOvertype) {
  EditorSetPosition record{};
  record.StructSize = sizeof(EditorSetPosition);
  record.CurLine = ARowNumber;
  record.CurPos = AColNumber;
  record.CurTabPos = ATabPos;
  record.TopScreenLine = ATopScreenLine;
  record.LeftPos = ALeftPos;
  record.Overtype = AOvertype;
  return farhost::EditorControl(AEditorID, ECTL_SETPOSITION, 0, &record) != 0;
}

bool TFarEditor::Refresh(int32_t AEditorID) {
  return farhost::EditorControl(AEditorID, ECTL_REDRAW, 0, nullptr) != 0;
}
