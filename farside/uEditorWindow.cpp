#include "farside/uEditorWindow.h"

#include <algorithm>
#include <fstream>

#include "farside/uFarFiles.h"
#include "farside/uFarModel.h"
#include "farside/uModelRecords.h"
#include "system/uUtf8.h"

std::u16string TEditorWindow::Text() const {
  std::u16string text;
  for (size_t i = 0; i < Lines.size(); ++i) {
    text += Lines[i];
    if (i < Eols.size()) text += Eols[i];
  }
  return text;
}

void TEditorWindow::SetText(const std::u16string& AText) {
  Lines.clear();
  Eols.clear();
  size_t start = 0;
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] != u'\r' && AText[i] != u'\n') continue;
    const size_t eolLength =
        AText[i] == u'\r' && i + 1 < AText.size() && AText[i + 1] == u'\n' ? 2 : 1;
    Lines.push_back(AText.substr(start, i - start));
    Eols.push_back(AText.substr(i, eolLength));
    i += eolLength - 1;
    start = i + 1;
  }
  Lines.push_back(AText.substr(start));
  Eols.push_back(u"");
  TextHeld = true;
}

namespace {

// The byte-order mark that belongs to a code page; empty for a code page without one.
std::string MarkOf(uintptr_t ACodePage) {
  switch (ACodePage) {
  case 1200:
    return "\xFF\xFE";
  case 1201:
    return "\xFE\xFF";
  case 65001:
    return "\xEF\xBB\xBF";
  default:
    return {};
  }
}

std::u16string Decode(const std::string& ABytes, uintptr_t ACodePage) {
  std::u16string text;
  if (ACodePage == 1200 || ACodePage == 1201) {
    const size_t high = ACodePage == 1201 ? 0 : 1;
    for (size_t i = 0; i + 1 < ABytes.size(); i += 2)
      text += static_cast<char16_t>(static_cast<uint8_t>(ABytes[i + 1 - high]) |
                                    (static_cast<uint8_t>(ABytes[i + high]) << 8));
    return text;
  }
  if (ACodePage == 65001 || ABytes.empty()) return Utf8ToUtf16(ABytes);
  // A single-byte code page, as the system converts it.
  const auto page = static_cast<win::UINT>(ACodePage);
  text.resize(ABytes.size());
  const int length = win::MultiByteToWideChar(page, 0, ABytes.data(), int(ABytes.size()),
                                              text.data(), int(text.size()));
  text.resize(size_t(std::max(length, 0)));
  return text;
}

std::string Encode(const std::u16string& AText, uintptr_t ACodePage) {
  if (ACodePage == 1200 || ACodePage == 1201) {
    const bool big = ACodePage == 1201;
    std::string bytes;
    for (char16_t c : AText) {
      bytes += static_cast<char>(big ? c >> 8 : c & 0xFF);
      bytes += static_cast<char>(big ? c & 0xFF : c >> 8);
    }
    return bytes;
  }
  if (ACodePage == 65001 || AText.empty()) return Utf16ToUtf8(AText, TLoneSurrogate::Replaced);
  const auto page = static_cast<win::UINT>(ACodePage);
  std::string bytes(AText.size(), '\0');
  const int length = win::WideCharToMultiByte(page, 0, AText.data(), int(AText.size()),
                                              bytes.data(), int(bytes.size()), nullptr, nullptr);
  bytes.resize(size_t(std::max(length, 0)));
  return bytes;
}

} // namespace

bool TEditorWindow::LoadFile() {
  std::string bytes;
  const bool read = ReadWholeFile(FileName, bytes);
  // FAR reads the file in the code page it is given: a mark of that code page is taken
  // off, one of any other encoding is text like the rest.
  const std::string mark = MarkOf(CodePage);
  ByteOrderMark = !mark.empty() && bytes.compare(0, mark.size(), mark) == 0;
  SetText(Decode(ByteOrderMark ? bytes.substr(mark.size()) : bytes, CodePage));
  return read;
}

bool TEditorWindow::SaveFile() {
  const std::string bytes = (ByteOrderMark ? MarkOf(CodePage) : "") + Encode(Text(), CodePage);
  if (!WriteWholeFile(FileName, bytes)) return false;
  Modified = false;
  return true;
}

intptr_t TEditorWindow::LineCount() const {
  if (TextHeld) return static_cast<intptr_t>(Lines.size());
  // The line ends, and one more for a last line without one; the file is read in parts,
  // as a list of a million names is large.
  std::ifstream file(FarPath(FileName), std::ios::binary);
  intptr_t lines = 0;
  char last = '\n';
  char buffer[65536];
  while (file.read(buffer, sizeof(buffer)) || file.gcount() > 0) {
    const std::streamsize count = file.gcount();
    for (std::streamsize i = 0; i < count; ++i)
      lines += buffer[i] == '\n';
    last = buffer[count - 1];
  }
  return lines + (last != '\n' ? 1 : 0);
}

std::pair<intptr_t, intptr_t> TEditorWindow::SelectionOf(intptr_t ALine) const {
  auto selection = LineSelection.find(ALine);
  if (selection != LineSelection.end()) return selection->second;
  if (BlockType == BTYPE_NONE || ALine < BlockStartLine || ALine >= BlockStartLine + BlockHeight)
    return {-1, -1};
  if (BlockType == BTYPE_COLUMN) return {BlockStartPos, BlockStartPos + BlockWidth};
  const bool first = ALine == BlockStartLine;
  const bool last = ALine == BlockStartLine + BlockHeight - 1;
  return {first ? BlockStartPos : 0, !last ? -1 : first ? BlockStartPos + BlockWidth : BlockWidth};
}

// FAR's editor services, as the model gives them over its editor windows.

using namespace farside;

TEditorWindow* TFarModel::FindEditor(intptr_t AId) {
  if (AId == -1) AId = CurrentEditorId;
  for (TEditorWindow& editor : Editors)
    if (editor.Id == AId) return &editor;
  return nullptr;
}

bool TFarModel::SaveEditor(intptr_t AId) {
  TEditorWindow* editor = FindEditor(AId);
  return editor && editor->TextHeld && editor->SaveFile();
}

bool TFarModel::CloseEditor(intptr_t AId) {
  TEditorWindow* editor = FindEditor(AId);
  if (!editor) return false;
  const intptr_t id = editor->Id;
  if ((editor->Flags & EF_DELETEONLYFILEONCLOSE) != 0) win::DeleteFileW(editor->FileName.c_str());
  Editors.erase(std::find_if(Editors.begin(), Editors.end(),
                             [id](const TEditorWindow& AEditor) { return AEditor.Id == id; }));
  if (CurrentEditorId == id) CurrentEditorId = Editors.empty() ? -1 : Editors.back().Id;
  return true;
}

intptr_t TFarModel::Editor(const char16_t* AFileName, const char16_t* ATitle, EDITOR_FLAGS AFlags,
                           intptr_t AStartLine, intptr_t AStartChar, uintptr_t ACodePage) {
  if (EditorResult != EEC_MODIFIED && EditorResult != EEC_NOT_MODIFIED) return EditorResult;
  if (!AFileName || !*AFileName || (MaxEditors != 0 && Editors.size() >= MaxEditors))
    return EEC_OPEN_ERROR;
  TEditorWindow editor;
  editor.Id = NextEditorId++;
  // The plugin looks its job up by the name: one that is full already stays as given.
  editor.FileName = FullName(AFileName, false);
  editor.Title = Text(ATitle);
  editor.Flags = AFlags;
  editor.StartLine = AStartLine;
  editor.CodePage = ACodePage;
  if (HoldsEditorText) editor.LoadFile();
  const intptr_t last = std::max<intptr_t>(0, editor.LineCount() - 1);
  editor.CurLine = std::clamp<intptr_t>(AStartLine > 0 ? AStartLine - 1 : 0, 0, last);
  editor.CurPos = AStartChar > 0 ? AStartChar - 1 : 0;
  editor.CurTabPos = editor.CurPos;
  editor.TopScreenLine = std::max<intptr_t>(0, editor.CurLine - 10);
  Editors.push_back(std::move(editor));
  CurrentEditorId = Editors.back().Id;
  return EditorResult;
}

intptr_t TFarModel::EditorControl(intptr_t AEditorId, int ACommand, intptr_t AParam1,
                                  void* AParam2) {
  TEditorWindow* editor = FindEditor(AEditorId);
  if (!editor) return 0;
  switch (ACommand) {
  case ECTL_GETINFO:
    return GetEditorInfo(*editor, static_cast<EditorInfo*>(AParam2));
  case ECTL_GETSTRING:
    return GetEditorString(*editor, static_cast<EditorGetString*>(AParam2));
  case ECTL_SETSTRING:
    return SetEditorString(*editor, static_cast<const EditorSetString*>(AParam2));
  case ECTL_SETPOSITION:
    return SetEditorPosition(*editor, static_cast<const EditorSetPosition*>(AParam2));
  case ECTL_SELECT:
    return SelectInEditor(*editor, static_cast<const EditorSelect*>(AParam2));
  case ECTL_REDRAW:
    ++editor->Redraws;
    return 1;
  case ECTL_SETKEYBAR:
    return SetEditorKeyBar(*editor, AParam2);
  case ECTL_GETFILENAME:
    return static_cast<intptr_t>(CopyOut(editor->FileName, static_cast<char16_t*>(AParam2),
                                         AParam1 > 0 ? static_cast<size_t>(AParam1) : 0));
  default:
    return 0;
  }
}

intptr_t TFarModel::GetEditorInfo(const TEditorWindow& AEditor, EditorInfo* AInfo) {
  if (!AInfo || AInfo->StructSize < sizeof(EditorInfo)) return 0;
  ClearRecord(AInfo);
  AInfo->EditorID = AEditor.Id;
  AInfo->WindowSizeX = FarRect.Right - FarRect.Left + 1;
  AInfo->WindowSizeY = FarRect.Bottom - FarRect.Top + 1;
  AInfo->TotalLines = AEditor.LineCount();
  AInfo->CurLine = AEditor.CurLine;
  AInfo->CurPos = AEditor.CurPos;
  AInfo->CurTabPos = AEditor.CurTabPos;
  AInfo->TopScreenLine = AEditor.TopScreenLine;
  AInfo->LeftPos = AEditor.LeftPos;
  AInfo->Overtype = AEditor.Overtype;
  AInfo->BlockType = AEditor.BlockType;
  AInfo->BlockStartLine = AEditor.BlockStartLine;
  AInfo->TabSize = 8;
  AInfo->CurState = AEditor.Modified ? 1 : 0;
  AInfo->CodePage = AEditor.CodePage;
  return 1;
}

// Lines, cursor and block of an editor that is another program are out of reach: the
// commands on them fail.
intptr_t TFarModel::GetEditorString(const TEditorWindow& AEditor, EditorGetString* ARecord) {
  if (!AEditor.TextHeld || !ARecord || ARecord->StructSize < sizeof(EditorGetString)) return 0;
  const intptr_t line = ARecord->StringNumber == -1 ? AEditor.CurLine : ARecord->StringNumber;
  if (line < 0 || line >= static_cast<intptr_t>(AEditor.Lines.size())) return 0;
  const std::u16string& text = AEditor.Lines[static_cast<size_t>(line)];
  ARecord->StringText = text.c_str();
  ARecord->StringEOL = AEditor.Eols[static_cast<size_t>(line)].c_str();
  ARecord->StringLength = static_cast<intptr_t>(text.size());
  const auto selection = AEditor.SelectionOf(line);
  ARecord->SelStart = selection.first;
  ARecord->SelEnd = selection.second;
  return 1;
}

intptr_t TFarModel::SetEditorString(TEditorWindow& AEditor, const EditorSetString* ARecord) {
  if (!AEditor.TextHeld || !ARecord || ARecord->StructSize < sizeof(EditorSetString)) return 0;
  const intptr_t line = ARecord->StringNumber == -1 ? AEditor.CurLine : ARecord->StringNumber;
  if (line < 0 || line >= static_cast<intptr_t>(AEditor.Lines.size()) || !ARecord->StringText)
    return 0;
  AEditor.Lines[static_cast<size_t>(line)] =
      ARecord->StringLength > 0 ? std::u16string(ARecord->StringText, ARecord->StringLength)
                                : std::u16string();
  if (ARecord->StringEOL) AEditor.Eols[static_cast<size_t>(line)] = ARecord->StringEOL;
  AEditor.Modified = true;
  return 1;
}

intptr_t TFarModel::SetEditorPosition(TEditorWindow& AEditor, const EditorSetPosition* ARecord) {
  if (!AEditor.TextHeld || !ARecord || ARecord->StructSize < sizeof(EditorSetPosition)) return 0;
  const auto lineCount = static_cast<intptr_t>(AEditor.Lines.size());
  if (ARecord->CurLine != -1)
    AEditor.CurLine = std::clamp<intptr_t>(ARecord->CurLine, 0, lineCount - 1);
  if (ARecord->CurPos != -1) AEditor.CurPos = ARecord->CurPos;
  if (ARecord->CurTabPos != -1) AEditor.CurTabPos = ARecord->CurTabPos;
  if (ARecord->TopScreenLine != -1) AEditor.TopScreenLine = ARecord->TopScreenLine;
  if (ARecord->LeftPos != -1) AEditor.LeftPos = ARecord->LeftPos;
  if (ARecord->Overtype != -1) AEditor.Overtype = ARecord->Overtype;
  return 1;
}

intptr_t TFarModel::SelectInEditor(TEditorWindow& AEditor, const EditorSelect* ARecord) {
  if (!AEditor.TextHeld || !ARecord || ARecord->StructSize < sizeof(EditorSelect)) return 0;
  const bool none = ARecord->BlockType == BTYPE_NONE;
  AEditor.LineSelection.clear();
  AEditor.BlockType = ARecord->BlockType;
  AEditor.BlockStartLine = none ? 0 : ARecord->BlockStartLine;
  AEditor.BlockStartPos = none ? 0 : ARecord->BlockStartPos;
  AEditor.BlockWidth = none ? 0 : ARecord->BlockWidth;
  AEditor.BlockHeight = none ? 0 : ARecord->BlockHeight;
  return 1;
}

intptr_t TFarModel::SetEditorKeyBar(TEditorWindow& AEditor, void* AParam2) {
  // -1 asks for the key bar to be redrawn, null for FAR's own labels back.
  if (AParam2 == reinterpret_cast<void*>(-1)) return 1;
  AEditor.KeyBar.clear();
  AEditor.KeyBarSet = false;
  const auto* record = static_cast<const FarSetKeyBarTitles*>(AParam2);
  if (!record) return 1;
  if (record->StructSize < sizeof(FarSetKeyBarTitles)) return 0;
  if (record->Titles)
    for (size_t i = 0; i < record->Titles->CountLabels; ++i) {
      const KeyBarLabel& label = record->Titles->Labels[i];
      AEditor.KeyBar.push_back({label.Key.VirtualKeyCode, label.Key.ControlKeyState,
                                Text(label.Text), Text(label.LongText)});
    }
  AEditor.KeyBarSet = true;
  return 1;
}
