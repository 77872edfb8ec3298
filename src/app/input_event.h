#pragma once
// A window event as the input mapping sees it, independent of the window layer.

#include <cstdint>

namespace pw {

enum class InputEventType : uint8_t {
  None,  // nothing retrieved yet
  KeyDown,
  KeyUp,
  MouseMove,
  LeftDown,
  LeftUp,
  RightDown,
  RightUp,
  Quit,  // the window was closed
};

// Keys by position; the values are the virtual-key codes of the letters.
enum Key : int32_t { KeyOther = 0, KeyEscape = 27, KeyA = 65, KeyD = 68, KeyW = 87, KeyX = 88 };

// The editor's keyboard shortcuts, which follow the keyboard's layout.
enum class EditShortcut : uint8_t { None, Undo, Redo };

struct InputEvent {
  InputEventType type = InputEventType::None;
  int32_t key = KeyOther;                      // KeyDown, KeyUp
  bool repeat = false;                         // KeyDown: an auto-repeat of a held key
  EditShortcut shortcut = EditShortcut::None;  // KeyDown: Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z
  int16_t x = 0;                               // client pixels, mouse events
  int16_t y = 0;
};

}  // namespace pw
