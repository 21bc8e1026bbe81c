// Class operations on a host editor addressed by its id (-1: the current editor). Each
// fills one host record, sends one command (two for the file name) and answers whether
// the host accepted it; lines and columns are the host's, counted from 0.
#pragma once

#include <cstdint>
#include <string>

#include "far/uFarHost.h"

// The host's editor information record as this plugin reads it.
using TEditorInfo = EditorInfo;

class TFarEditor {
public:
  TFarEditor() = delete;

  static bool GetInfo(int32_t AEditorID, TEditorInfo& AInfo);
  static bool GetFileName(int32_t AEditorID, std::u16string& AFileName);
  static bool GetString(int32_t AEditorID, int32_t ARowNumber, std::u16string& AStr);
  // ASelStart counts from 1 (0 with ASelLength 0: nothing selected on the line).
  static bool GetString(int32_t AEditorID, int32_t ARowNumber, std::u16string& AStr,
                        int32_t& ASelStart, int32_t& ASelLength);
  // Replaces the line's text; its end-of-line stays.
  static bool SetString(int32_t AEditorID, int32_t ARowNumber, const std::u16string& AStr);
  // -1 leaves a setting unchanged. With row and column the screen keeps five lines of
  // context above the cursor when the row allows it.
  static bool SetCursorPosition(int32_t AEditorID, int32_t ARowNumber);
  static bool SetCursorPosition(int32_t AEditorID, int32_t ARowNumber, int32_t AColNumber);
  static bool SetCursorPosition(int32_t AEditorID, int32_t ARowNumber, int32_t AColNumber,
                                int32_t ATabPos, int32_t ATopScreenLine, int32_t ALeftPos,
                                int32_t AOvertype);
  static bool Refresh(int32_t AEditorID);
};
