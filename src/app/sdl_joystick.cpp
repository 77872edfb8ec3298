#include "app/sdl_joystick.h"

namespace pw {

namespace {

SDL_Joystick* g_joystick = nullptr;

void openFirst() {
  for (int i = 0; i < SDL_NumJoysticks() && g_joystick == nullptr; ++i) g_joystick = SDL_JoystickOpen(i);
}

}  // namespace

int32_t scaleJoystickAxis(Sint16 value) {
  return value >= 0 ? static_cast<int32_t>(value) * 1000 / 32767 : static_cast<int32_t>(value) * 1000 / 32768;
}

void initJoystick() {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0 && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return;
  openFirst();
}

void handleJoystickDevice(const SDL_Event& event, JoystickState& state) {
  if (event.type == SDL_JOYDEVICEADDED && g_joystick == nullptr) {
    g_joystick = SDL_JoystickOpen(event.jdevice.which);
  } else if (event.type == SDL_JOYDEVICEREMOVED && g_joystick != nullptr &&
             event.jdevice.which == SDL_JoystickInstanceID(g_joystick)) {
    SDL_JoystickClose(g_joystick);
    g_joystick = nullptr;
    state = JoystickState();
    openFirst();  // another one may still be attached
  }
}

void pollJoystick(JoystickState& state) {
  if (g_joystick == nullptr) return;
  SDL_JoystickUpdate();
  state.lX = scaleJoystickAxis(SDL_JoystickGetAxis(g_joystick, 0));
  for (int b = 0; b < 3; ++b) state.rgbButtons[b] = SDL_JoystickGetButton(g_joystick, b) != 0 ? 0x80 : 0;
}

void releaseJoystick() {
  if (g_joystick != nullptr) SDL_JoystickClose(g_joystick);
  g_joystick = nullptr;
}

}  // namespace pw
