#pragma once
// The game controller through SDL's joystick API: the first joystick that
// opens is used, and one attached later is picked up when it arrives.

#include <SDL.h>

#include "app/joystick_state.h"

namespace pw {

// Starts SDL's joystick support and opens the first joystick that opens.
// Without one (or without joystick support) the game runs unchanged.
void initJoystick();

// Device arrivals and removals. Losing the joystick releases its stick and
// buttons, so nothing it held stays held.
void handleJoystickDevice(const SDL_Event& event, JoystickState& state);

// Once per turn: the x axis in -1000..1000 and buttons 0..2. Without an open
// joystick the state keeps its last contents.
void pollJoystick(JoystickState& state);

void releaseJoystick();

// -32768..32767 to -1000..1000.
int32_t scaleJoystickAxis(Sint16 value);

}  // namespace pw
