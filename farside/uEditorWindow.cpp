#include "farside/uEditorWindow.h"

#include <fstream>

#include "farside/uFarFiles.h"
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

bool TEditorWindow::LoadFile() {
  std::string bytes;
  const bool read = ReadWholeFile(FileName, bytes);
  std::u16string text;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    ByteOrderMark = true;
    CodePage = 65001;
    text = Utf8ToUtf16(bytes.substr(3));
  } else if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
    ByteOrderMark = true;
    CodePage = 1200;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                    (static_cast<uint8_t>(bytes[i + 1]) << 8));
  } else {
    text = Utf8ToUtf16(bytes);
  }
  SetText(text);
  return read;
}

bool TEditorWindow::SaveFile() {
  std::string bytes;
  const std::u16string text = Text();
  if (CodePage == 1200 || CodePage == 1201) {
    // UTF-16, little-endian (1200) or big-endian (1201).
    const bool big = CodePage == 1201;
    if (ByteOrderMark) bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
      bytes += static_cast<char>(big ? c >> 8 : c & 0xFF);
      bytes += static_cast<char>(big ? c & 0xFF : c >> 8);
    }
  } else {
    if (ByteOrderMark) bytes = "\xEF\xBB\xBF";
    bytes += Utf16ToUtf8(text, TLoneSurrogate::Replaced);
  }
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
