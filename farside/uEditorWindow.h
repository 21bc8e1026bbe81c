// An editor window of FAR's model: the file it edits, its text as lines with their line
// ends, the cursor, the block, the key bar. The text is the model's when the editor is
// FAR's own; an editor that is another program (the terminal host's) leaves it in the
// file, and only its name and place are known here.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "far/Plugin3.h"

struct TFarKeyBarLabel {
  uint16_t VirtualKeyCode;
  uint32_t ControlKeyState;
  std::u16string Text;
  std::u16string LongText;
};

struct TEditorWindow {
  intptr_t Id = 0;
  std::u16string FileName;
  std::u16string Title;
  EDITOR_FLAGS Flags = 0;
  intptr_t StartLine = -1; // as asked, from 1; -1: where the editor likes
  uintptr_t CodePage = 65001;
  bool ByteOrderMark = false;
  // Whether Lines hold the text (false: the text lives in the file only).
  bool TextHeld = false;
  std::vector<std::u16string> Lines;
  std::vector<std::u16string> Eols; // one per line; the last line's is usually empty
  intptr_t CurLine = 0;
  intptr_t CurPos = 0;
  intptr_t CurTabPos = 0;
  intptr_t TopScreenLine = 0;
  intptr_t LeftPos = 0;
  intptr_t Overtype = 0;
  intptr_t BlockType = BTYPE_NONE;
  intptr_t BlockStartLine = 0;
  intptr_t BlockStartPos = 0;
  intptr_t BlockWidth = 0;
  intptr_t BlockHeight = 0;
  // Per-line selection that overrides the block: line -> (SelStart, SelEnd).
  std::map<intptr_t, std::pair<intptr_t, intptr_t>> LineSelection;
  std::vector<TFarKeyBarLabel> KeyBar;
  bool KeyBarSet = false;
  int Redraws = 0;
  bool Modified = false;

  // The file's text as the editor holds it (lines joined with their line ends).
  std::u16string Text() const;
  void SetText(const std::u16string& AText);
  // Reads the file into the lines in CodePage (65001, 1200, 1201 or a single-byte code
  // page of the system), without a mark that belongs to it.
  bool LoadFile();
  // Writes the lines back to the file, in the code page it was read in.
  bool SaveFile();
  // Lines of the text: held, or counted in the file.
  intptr_t LineCount() const;
  // The selection of ALine as ECTL_GETSTRING tells it (-1, -1: none).
  std::pair<intptr_t, intptr_t> SelectionOf(intptr_t ALine) const;
};
