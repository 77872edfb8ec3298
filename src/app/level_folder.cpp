#include "app/level_folder.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "level/game_world.h"
#include "level/level_sequence.h"
#include "util/media_search.h"

namespace pw {

bool prepareLevelFolder(GameWorld& world, std::string& failure) {
  char first[kMediaPathCapacity];
  if (!succeeded(findMediaFile(first, sizeof first, "Level1.lev"))) {
    failure = describeFailedSearch("Level1.lev");
    return false;
  }
  char* slash = std::strrchr(first, '/');
  if (slash == nullptr) {
    std::snprintf(first, sizeof first, ".");
  } else {
    *slash = '\0';
  }
  // Absolute, so the folder still holds if the current one changes.
  char folder[kMediaPathCapacity];
  fullPath(first[0] == '\0' ? "/" : first, folder);

  // Each file once at start-up: a broken level refuses the start instead of
  // surfacing twenty rooms into the game.
  auto scratch = std::make_unique<Level>();
  for (int n = 0; n <= kClosingLevel; ++n) {
    char name[32];
    levelFileName(n, name, sizeof name);
    char path[2 * kMediaPathCapacity];
    std::snprintf(path, sizeof path, "%s/%s", folder, name);
    const LevelFileResult result = loadFile(*scratch, path);
    if (!result.ok()) {
      failure = std::string("level file \"") + name + "\" is missing or broken: " + result.reason;
      return false;
    }
  }
  static_assert(sizeof world.levelDirectory == kMediaPathCapacity, "level folder fits the search's paths");
  std::snprintf(world.levelDirectory, sizeof world.levelDirectory, "%s", folder);
  return true;
}

}  // namespace pw
