#pragma once
// One turn of the main loop, apart from the window layer: either a retrieved
// event is dispatched, or (when none waits) a frame runs. After every turn the
// current event and the joystick are mapped into InputState; after a frame
// that is the last event retrieved, mapped once more.

#include "app/input_mapping.h"
#include "level/level_file.h"

namespace pw {

struct Game;

struct LoopState {
  InputEvent lastEvent;          // nothing retrieved yet: maps to nothing
  bool joystickPresent = true;   // cleared for good when a joystick read fails
  ClientSize client;
  bool quit = false;             // Esc or the window closed
};

// A turn that retrieved `event`.
void eventTurn(Game& game, LoopState& loop, const InputEvent& event);

// A turn with no event waiting: one frame, then the last event mapped again.
LevelFileResult frameTurn(Game& game, LoopState& loop);

// Makes the last event forget itself, so a click that opened a dialog is
// not mapped again after the next frame.
void forgetLastEvent(LoopState& loop);

}  // namespace pw
