#pragma once
// The playing field: a fixed pool of 100 particle slots, a stack of free slot
// numbers, two counters and a run flag. Its image is the level file.

#include <cstdint>

#include "physics/particle.h"

namespace pw {

constexpr int kLevelSlots = 100;

struct Level {
  int32_t count = 0;  // slots in use
  Particle particles[kLevelSlots];
  int32_t freeSlots[kLevelSlots] = {};  // entries from `allocated` on are free, next first
  int32_t allocated = 0;
  int32_t running = 0;  // nonzero: stepped every frame

  Level() = default;
  // Links hold pointers into `particles`; a copy would point into the original.
  Level(const Level&) = delete;
  Level& operator=(const Level&) = delete;

  void reset();
  // A particle in a newly taken slot, or nullptr when all 100 are in use.
  Particle* allocate();
  void remove(Particle& p);
  // The particle in use in the lowest slot strictly closer than radius.
  Particle* findNear(const Vec4& point, float radius);
  void stop() { running = 0; }
  void run() { running = 1; }
  // Joins p and q (p is the first end). Refused, returning false and changing
  // nothing, when either already holds kMaxLinks links.
  bool connect(Particle& p, Particle& q, int32_t type);
};

}  // namespace pw
