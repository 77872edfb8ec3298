#include "level/level_sequence.h"

#include <cstdio>

#include "level/game_world.h"

namespace pw {

bool levelFileName(int n, char* out, size_t capacity) {
  int written = -1;
  if (n >= 0 && n < kNumberedLevels) {
    written = std::snprintf(out, capacity, "Level%d.lev", n + 1);
  } else if (n == kClosingLevel) {
    written = std::snprintf(out, capacity, "end.lev");
  }
  return written > 0 && static_cast<size_t>(written) < capacity;
}

namespace {

LevelFileResult loadSequenceFile(GameWorld& world, int n) {
  char name[32];
  if (!levelFileName(n, name, sizeof name)) return LevelFileResult{};
  char path[kPathCapacity * 2];
  if (world.levelDirectory[0] != '\0') {
    std::snprintf(path, sizeof path, "%s/%s", world.levelDirectory, name);
  } else {
    std::snprintf(path, sizeof path, "%s", name);
  }
  return loadFile(world.level, path);
}

}  // namespace

LevelFileResult loadLevel(GameWorld& world, int n) {
  world.body.position = kPlayerStart;
  world.body.velocity = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
  GameFlow& flow = world.flow;
  if (flow.levelSequenceMode == 0) return LevelFileResult{};
  if (n == kBackToTitle) {
    flow.levelIndex = 0;
    flow.playing = 0;
    flow.currentTool = 0;
    return LevelFileResult{};
  }
  const LevelFileResult result = loadSequenceFile(world, n);
  if (flow.playing != 0) {
    world.level.run();
    flow.currentTool = kPlayTool;
  } else {
    flow.currentTool = 0;
  }
  return result;
}

LevelFileResult checkGoal(GameWorld& world) {
  const Vec4& p = world.body.position;
  if (!world.walker.alive || !(p.x > kGoalX) || !(p.y < kGoalY)) return LevelFileResult{};
  world.flow.levelIndex += 1;
  return loadLevel(world, world.flow.levelIndex);
}

LevelFileResult checkRestart(GameWorld& world) {
  Walker& walker = world.walker;
  if (walker.alive || !(walker.deathTimer > kRestartDelay)) return LevelFileResult{};
  walker.alive = 1;
  walker.deathTimer = 0.0f;
  return loadLevel(world, world.flow.levelIndex);
}

}  // namespace pw
