#pragma once
// Holding keys the way the headless runner does: every key whose held state
// changes becomes an event turn of its own (A, D, W, X in that order) before
// the next frame. The solver uses the same routine, so its scripts replay in
// plenkwise-sim bit for bit.

#include <cstdint>

namespace pw {

struct Game;
struct LoopState;

// from and to are bit sets of the script keys (input_script.h).
void changeHeldKeys(Game& game, LoopState& loop, uint8_t from, uint8_t to);

}  // namespace pw
