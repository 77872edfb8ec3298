#pragma once
// Turns the loop's current event and the joystick into InputState. The loop
// maps after every turn: after dispatching an event, and after a frame, when
// it maps the last event it retrieved once more.

#include <cstdint>

#include "app/input_event.h"
#include "app/input_state.h"
#include "app/joystick_state.h"

namespace pw {

struct ClientSize {
  int32_t width = 640;
  int32_t height = 480;
};

// Beyond this the stick steers (axis range -1000..1000).
constexpr int32_t kStickThreshold = 300;

struct TurnInput {
  const InputEvent& event;
  bool remapped;                  // the event was already mapped on an earlier turn
  const JoystickState& joystick;
  bool joystickPresent;
  ClientSize client;
};

struct TurnOutcome {
  bool quit = false;        // Esc pressed or the window closed: the loop ends
  bool killRobot = false;   // X released: the robot dies
  EditShortcut edit = EditShortcut::None;  // undo or redo asked for: once per press or auto-repeat
};

TurnOutcome mapTurn(const TurnInput& turn, InputState& input);

// Mouse position in client pixels to -1..1, up positive; not clamped.
float mouseXFromClient(int32_t x, const ClientSize& client);
float mouseYFromClient(int32_t y, const ClientSize& client);

}  // namespace pw
