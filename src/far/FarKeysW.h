// Keyboard input as FAR hands it to an editor plugin: the console input record and the
// key and control-state constants the plugin looks at.
//
// The console records are those of Windows, declared in namespace win so that they never
// clash with <windows.h>, whichever of the two a translation unit includes first. The
// constants are Windows macros: where <windows.h> came first its macros serve, otherwise
// the constants below (with the same values) do.
#pragma once

#include <cstddef>
#include <cstdint>

namespace win {

struct KEY_EVENT_RECORD {
  int32_t bKeyDown;
  uint16_t wRepeatCount;
  uint16_t wVirtualKeyCode;
  uint16_t wVirtualScanCode;
  union {
    char16_t UnicodeChar;
    char AsciiChar;
  } uChar;
  uint32_t dwControlKeyState;
};

// Only key events matter here; the other console events share the same 16 bytes.
struct INPUT_RECORD {
  uint16_t EventType;
  union {
    KEY_EVENT_RECORD KeyEvent;
    uint8_t Reserved[16];
  } Event;
};

struct SMALL_RECT {
  int16_t Left;
  int16_t Top;
  int16_t Right;
  int16_t Bottom;
};

} // namespace win

static_assert(sizeof(win::KEY_EVENT_RECORD) == 16);
static_assert(offsetof(win::KEY_EVENT_RECORD, wRepeatCount) == 4);
static_assert(offsetof(win::KEY_EVENT_RECORD, wVirtualKeyCode) == 6);
static_assert(offsetof(win::KEY_EVENT_RECORD, wVirtualScanCode) == 8);
static_assert(offsetof(win::KEY_EVENT_RECORD, uChar) == 10);
static_assert(offsetof(win::KEY_EVENT_RECORD, dwControlKeyState) == 12);
static_assert(sizeof(win::INPUT_RECORD) == 20);
static_assert(offsetof(win::INPUT_RECORD, Event) == 4);
static_assert(sizeof(win::SMALL_RECT) == 8);

#ifndef KEY_EVENT
constexpr uint16_t KEY_EVENT = 0x1;
#endif
#ifndef RIGHT_ALT_PRESSED
constexpr uint32_t RIGHT_ALT_PRESSED = 0x1;
#endif
#ifndef LEFT_ALT_PRESSED
constexpr uint32_t LEFT_ALT_PRESSED = 0x2;
#endif
#ifndef RIGHT_CTRL_PRESSED
constexpr uint32_t RIGHT_CTRL_PRESSED = 0x4;
#endif
#ifndef LEFT_CTRL_PRESSED
constexpr uint32_t LEFT_CTRL_PRESSED = 0x8;
#endif
#ifndef SHIFT_PRESSED
constexpr uint32_t SHIFT_PRESSED = 0x10;
#endif
#ifndef VK_F1
constexpr uint16_t VK_F1 = 112;
#endif
#ifndef VK_F2
constexpr uint16_t VK_F2 = 113;
#endif
