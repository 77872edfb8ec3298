#pragma once
// The game on the desktop: the window, the start-up, the loop and the
// shut-down. Returns the process's exit status: 0 when the player quits,
// 1 when the game could not start (after saying why).

#include <cstdint>

namespace pw {

// levelSequenceMode 1 plays the level sequence, which must be found at
// start-up; 0 is the level editor, which starts on an empty level.
int runGame(int32_t levelSequenceMode);

}  // namespace pw
