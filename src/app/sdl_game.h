#pragma once
// The game on the desktop: the window, the start-up, the loop and the
// shut-down. Returns the process's exit status: 0 when the player quits,
// 1 when the game could not start (after saying why).

namespace pw {

int runGame();

}  // namespace pw
