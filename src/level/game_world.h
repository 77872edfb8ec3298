#pragma once
// The long-lived objects of one run. The game keeps one; tests make their own.
// Built in this order and destroyed in reverse: robot, player body, level.

#include "level/game_flow.h"
#include "level/level.h"
#include "level/player_body.h"
#include "walker/walker.h"

namespace pw {

constexpr int kPathCapacity = 260;

struct GameWorld {
  Walker walker;
  PlayerBody body;
  Level level;
  GameFlow flow;
  // Folder the level files of the sequence are read from; empty: the current one.
  char levelDirectory[kPathCapacity] = {};

  GameWorld() { level.reset(); }
  GameWorld(const GameWorld&) = delete;
  GameWorld& operator=(const GameWorld&) = delete;
};

}  // namespace pw
