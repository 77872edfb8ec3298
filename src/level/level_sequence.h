#pragma once
// The twenty numbered levels and the closing level, played in order; the goal
// in the bottom right-hand corner and the restart after a death.

#include <cstddef>

#include "level/level_file.h"

namespace pw {

struct GameWorld;

constexpr int kNumberedLevels = 20;
constexpr int kClosingLevel = 20;     // "end.lev"
constexpr int kBackToTitle = 21;
constexpr float kGoalX = 4.7f;        // the body must be beyond this x...
constexpr float kGoalY = -4.6f;       // ...and below this y, both strictly
constexpr float kRestartDelay = 15.0f;  // deathTimer grows 0.1 per frame

// "Level1.lev" .. "Level20.lev" for 0..19, "end.lev" for 20; false otherwise.
bool levelFileName(int n, char* out, size_t capacity);

// Puts the body back at the start and loads level n of the sequence. A file
// that cannot be loaded leaves the level as it was (the result says why); the
// level still runs.
LevelFileResult loadLevel(GameWorld& world, int n);

// Each returns the result of the level load it caused (ok when none).
LevelFileResult checkGoal(GameWorld& world);
LevelFileResult checkRestart(GameWorld& world);

}  // namespace pw
