#pragma once
// One frame: one picture and, in play, exactly one fixed simulation step.
// There is no time step: the pace of the game is the frame rate.

#include "level/level_file.h"

namespace pw {

struct Game;

// Runs the title screen or one play step. Returns the outcome of any level
// load the frame made (ok when none, or when all succeeded): a level that
// cannot be loaded leaves the old one in place and play goes on.
LevelFileResult runFrame(Game& game);

// Leaves the title screen: an empty level, the body at the start, level 0.
// In the sequence, loads levelPath (null: the sequence's first level) and runs it.
LevelFileResult startPlay(Game& game, const char* levelPath);

}  // namespace pw
