#include "app/sdl_input.h"

#include <algorithm>

namespace pw {

namespace {

// Keys by position, so A, D and W sit under the same fingers on any layout.
int32_t keyFromScancode(SDL_Scancode code) {
  switch (code) {
    case SDL_SCANCODE_ESCAPE:
      return KeyEscape;
    case SDL_SCANCODE_A:
      return KeyA;
    case SDL_SCANCODE_D:
      return KeyD;
    case SDL_SCANCODE_W:
      return KeyW;
    case SDL_SCANCODE_X:
      return KeyX;
    default:
      return KeyOther;
  }
}

// Shortcuts follow the layout, as in every other program: the key that
// prints Z, whichever position it has.
EditShortcut shortcutOf(const SDL_Keysym& key) {
  if ((key.mod & KMOD_CTRL) == 0) return EditShortcut::None;
  if (key.sym == SDLK_z) return (key.mod & KMOD_SHIFT) != 0 ? EditShortcut::Redo : EditShortcut::Undo;
  if (key.sym == SDLK_y) return EditShortcut::Redo;
  return EditShortcut::None;
}

int16_t clientCoordinate(Sint32 v) { return static_cast<int16_t>(std::clamp<Sint32>(v, -32768, 32767)); }

}  // namespace

InputEvent toInputEvent(const SDL_Event& event) {
  InputEvent out;
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      out.type = event.type == SDL_KEYDOWN ? InputEventType::KeyDown : InputEventType::KeyUp;
      out.key = keyFromScancode(event.key.keysym.scancode);
      out.repeat = event.key.repeat != 0;
      if (event.type == SDL_KEYDOWN) out.shortcut = shortcutOf(event.key.keysym);
      break;
    case SDL_MOUSEMOTION:
      out.type = InputEventType::MouseMove;
      out.x = clientCoordinate(event.motion.x);
      out.y = clientCoordinate(event.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = event.type == SDL_MOUSEBUTTONDOWN;
      if (event.button.button == SDL_BUTTON_LEFT) {
        out.type = down ? InputEventType::LeftDown : InputEventType::LeftUp;
      } else if (event.button.button == SDL_BUTTON_RIGHT) {
        out.type = down ? InputEventType::RightDown : InputEventType::RightUp;
      }
      out.x = clientCoordinate(event.button.x);
      out.y = clientCoordinate(event.button.y);
      break;
    }
    case SDL_QUIT:
      out.type = InputEventType::Quit;
      break;
    default:
      break;
  }
  return out;
}

}  // namespace pw
