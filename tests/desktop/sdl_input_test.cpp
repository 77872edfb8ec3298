// SDL key events as the loop sees them: the editor's shortcuts follow the
// keyboard's layout, the game's keys their position.

#include <gtest/gtest.h>

#include "app/sdl_input.h"

namespace pw {
namespace {

SDL_Event keyEvent(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.scancode = scancode;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  return e;
}

TEST(SdlInput, CtrlZUndoesAndCtrlYOrCtrlShiftZRedo) {
  struct Case {
    const char* name;
    SDL_Event event;
    EditShortcut shortcut;
    int32_t key;
  };
  const Case cases[] = {
      {"Ctrl+Z", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z, KMOD_LCTRL), EditShortcut::Undo, KeyOther},
      {"right Ctrl+Z", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z, KMOD_RCTRL), EditShortcut::Undo, KeyOther},
      {"Ctrl+Y", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_Y, SDLK_y, KMOD_LCTRL), EditShortcut::Redo, KeyOther},
      {"Ctrl+Shift+Z", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z, KMOD_LCTRL | KMOD_LSHIFT), EditShortcut::Redo,
       KeyOther},
      // AZERTY: Z is printed on the key in W's position.
      {"AZERTY Ctrl+Z", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_z, KMOD_LCTRL), EditShortcut::Undo, KeyW},
      {"Z alone", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z, KMOD_NONE), EditShortcut::None, KeyOther},
      {"Ctrl+W", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_w, KMOD_LCTRL), EditShortcut::None, KeyW},
      {"Ctrl+Z released", keyEvent(SDL_KEYUP, SDL_SCANCODE_Z, SDLK_z, KMOD_LCTRL), EditShortcut::None, KeyOther},
  };
  for (const Case& c : cases) {
    const InputEvent e = toInputEvent(c.event);
    EXPECT_EQ(e.shortcut, c.shortcut) << c.name;
    EXPECT_EQ(e.key, c.key) << c.name;
  }
}

}  // namespace
}  // namespace pw
