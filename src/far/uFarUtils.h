// Class operations around the host: host texts into strings, full file names, message
// boxes, menus, temporary names, fitting a text to a width, console geometry, task-bar
// progress and message lookup. A refusing host gives an empty string, a fallback or false;
// nothing here raises an error of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "far/uFarHost.h"

// A growable array of UTF-16 characters, used as a receive buffer for host answers.
using TFarCharArray = std::vector<char16_t>;

class TFarUtils {
public:
  TFarUtils() = delete;

  // Exactly ALength units from s (zeros included); empty for null s or ALength <= 0.
  static std::u16string CopyLString(const char16_t* s, int32_t ALength);
  // The units of s before its first zero; empty for null s.
  static std::u16string CopyString(const char16_t* s);
  // The array's units up to its first zero, or all of them when it holds none.
  static std::u16string CopyString(const TFarCharArray& s);

  // s in the host's full native form (ConvertPath, CPM_NATIVE); empty when the host
  // refuses. ANTSchematics is accepted for callers; the conversion is always native.
  static std::u16string FullFileName(const std::u16string& s, bool ANTSchematics);

  // A host message box: the first line is the title, the last AButtons lines are the
  // buttons. Answers the chosen button's index from 0, negative when cancelled.
  static int32_t ShowMessage(const char16_t* const* ALines, int32_t ACount, uint64_t AFlags,
                             int32_t AButtons);
  static int32_t ShowMessage(const std::vector<std::u16string>& ALines, uint64_t AFlags,
                             int32_t AButtons);

  // A new temporary file name from the host, else from the system (registered for
  // deletion at unload).
  static std::u16string TempFileName();

  // A host menu of AItems; true with AItemIndex set when the user chose one.
  static bool Menu(const GUID& AMenuID, const char16_t* ATitle, const char16_t* AHelpTopic,
                   const std::vector<std::u16string>& AItems, int32_t& AItemIndex);

  // s fitted to exactly AWidth units: shortened by the host's path shortening, or padded
  // with AFillerChar.
  static std::u16string TruncateString(const std::u16string& s, int32_t AWidth,
                                       char16_t AFillerChar);

  // The host's console rectangle; 80 by 25 when the host does not tell.
  static win::SMALL_RECT GetConsoleRect();
  static int32_t GetConsoleWidth();
  static int32_t GetConsoleHeight();

  // Task-bar progress: AState as the host defines it (0: none); the value is sent only
  // for a nonzero state with AProgress >= 0 and ATotal > 0.
  static bool SetProgressState(uint32_t AState, int64_t AProgress, int64_t ATotal);
  static bool SetProgressState(uint32_t AState);

  // The host's text of message AMsgId; an empty text for a negative id, without a host call.
  static const char16_t* GetMsg(int32_t AMsgId);
};
