#pragma once
// Helpers shared by the level file tests: raw field access in a file image
// (the offsets are written out here on purpose, independent of the reader)
// and a small sample level with every link type.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "level/level.h"
#include "level/level_file.h"

#include "scratch_directory.h"

namespace pw {
namespace image {

constexpr size_t kCount = 0;
constexpr size_t kFreeSlots = 73204;
constexpr size_t kAllocated = 73604;
constexpr size_t kRunning = 73608;

// Particle fields, relative to the particle image.
constexpr size_t kPosition = 0;
constexpr size_t kPrevious = 16;
constexpr size_t kLinkCount = 48;
constexpr size_t kSpacerCount = 52;
constexpr size_t kPlaneCount = 360;
constexpr size_t kPlanePartners = 604;
constexpr size_t kInUse = 684;
constexpr size_t kSlot = 688;
constexpr size_t kFixed = 692;
constexpr size_t kIndex = 696;
constexpr size_t kCorrection = 700;
constexpr size_t kSolid = 716;
constexpr size_t kJet = 720;
constexpr size_t kHazard = 724;
constexpr size_t kSurfaceOwner = 728;

// Link entry fields, relative to the entry.
constexpr size_t kTarget = 0;
constexpr size_t kRestLength = 4;
constexpr size_t kType = 8;
constexpr size_t kTargetIndex = 12;

inline size_t particle(int slot) { return 4 + 732 * static_cast<size_t>(slot); }
inline size_t link(int slot, int k) { return particle(slot) + 56 + 16 * static_cast<size_t>(k); }
inline size_t freeSlot(int i) { return kFreeSlots + 4 * static_cast<size_t>(i); }

inline int32_t getI32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int32_t>(uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
                              uint32_t{b[at + 3]} << 24);
}
inline float getF32(const std::vector<uint8_t>& b, size_t at) {
  const uint32_t bits = static_cast<uint32_t>(getI32(b, at));
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}
inline void putI32(std::vector<uint8_t>& b, size_t at, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(u >> (8 * i));
}
inline void putF32(std::vector<uint8_t>& b, size_t at, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  putI32(b, at, static_cast<int32_t>(bits));
}

}  // namespace image

// The level's file image exactly as it is in memory now.
inline std::vector<uint8_t> encoded(const Level& level) {
  std::vector<uint8_t> bytes(kLevelFileSize);
  encodeLevel(level, bytes.data());
  return bytes;
}

inline Particle& addAt(Level& level, float x, float y) {
  Particle* p = level.allocate();
  if (p == nullptr) std::abort();
  p->position = p->previous = Vec4(x, y, 0.0f, 1.0f);
  return *p;
}

// Six particles, one of every link type, then slot 1 removed so that the
// partners' entries have moved down and slot 1 waits on top of the free stack.
// Slots in use: 0, 2, 3, 4, 5. Slot 2 moves (previous differs from position).
inline std::unique_ptr<Level> sampleLevel() {
  auto level = std::make_unique<Level>();
  level->reset();
  Particle& a = addAt(*level, -3.0f, -4.0f);
  Particle& gone = addAt(*level, 0.0f, 0.0f);
  Particle& b = addAt(*level, 0.0f, 0.0f);
  Particle& c = addAt(*level, 1.5f, 2.25f);
  Particle& d = addAt(*level, 4.0f, -1.0f);
  Particle& e = addAt(*level, -2.0f, 3.0f);
  b.previous = Vec4(-0.125f, 0.0f, 0.0f, 1.0f);
  level->connect(a, gone, Plain);
  level->connect(a, b, Solid);
  level->connect(gone, b, Jet);
  level->connect(b, c, Jet);
  level->connect(c, d, Surface);
  level->connect(gone, d, Hazard);
  level->connect(d, e, Hazard);
  level->connect(e, a, Plain);
  level->remove(gone);
  return level;
}

}  // namespace pw
