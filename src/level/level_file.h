#pragma once
// The level file: the raw image of the whole Level, 73,612 bytes, little-endian,
// written and read field by field. Reference fields carry no meaning on disk:
// links are rebuilt from each entry's targetIndex.

#include <cstddef>
#include <cstdint>

#include "util/status.h"

namespace pw {

struct Level;

constexpr size_t kParticleImageSize = 732;
constexpr size_t kLevelFileSize = 4 + 100 * kParticleImageSize + 400 + 4 + 4;
static_assert(kLevelFileSize == 73612, "level file size");

// The outcome of a read or write, with a one-line reason on failure.
struct LevelFileResult {
  Status status = kOk;
  char reason[200] = {};

  bool ok() const { return succeeded(status); }
};

// Writes every link entry's targetIndex from its partner's index, as a save needs.
void prepareForSave(Level& level);

// The file image of the level as it is (call prepareForSave first).
void encodeLevel(const Level& level, uint8_t* out);

// Checks an image; fails with a reason when it is not a level the game can run.
LevelFileResult validateLevelImage(const uint8_t* bytes, size_t size);

// Validates, then replaces the whole level. On failure the level is untouched.
LevelFileResult decodeLevel(const uint8_t* bytes, size_t size, Level& level);

// Reads the named file (a path used as given). On failure the level is untouched.
LevelFileResult loadFile(Level& level, const char* path);

// Saves through a temporary file renamed over the target, so a failed save
// never destroys the old file.
LevelFileResult saveFile(Level& level, const char* path);

}  // namespace pw
