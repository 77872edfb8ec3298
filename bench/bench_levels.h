#pragma once
// Levels the benchmarks step: a full one and one like a designed level.

#include "level/level.h"

namespace pw {

inline Particle* put(Level& level, float x, float y) {
  Particle* p = level.allocate();
  p->position = p->previous = Vec4(x, y, 0);
  return p;
}

// 100 particles in a 10 x 10 grid, every one holding five links, most solid.
inline void buildFullLevel(Level& level) {
  Particle* grid[100];
  for (int i = 0; i < 100; ++i) grid[i] = put(level, -4.5f + 0.9f * (i % 10), -4.0f + 0.85f * (i / 10));
  for (int i = 0; i < 100; ++i) {
    level.connect(*grid[i], *grid[(i + 1) % 100], Solid);
    level.connect(*grid[i], *grid[(i + 10) % 100], Solid);
    if (i % 2 == 0) level.connect(*grid[i], *grid[(i + 11) % 100], Plain);
  }
  for (int i = 0; i < 10; ++i) grid[i]->fixed = 1;
}

// About what a designed level holds: platforms, a surface, a rope, a jet, loose masses.
inline void buildTypicalLevel(Level& level) {
  for (int i = 0; i < 4; ++i) {
    Particle* a = put(level, -4.0f + 2.2f * i, -3.0f + 1.5f * i);
    Particle* b = put(level, -2.8f + 2.2f * i, -3.0f + 1.5f * i);
    a->fixed = b->fixed = 1;
    level.connect(*a, *b, Solid);
  }
  level.connect(*put(level, -4, 4), *put(level, 4, 4), Surface);
  Particle* prev = put(level, 0, 3);
  prev->fixed = 1;
  for (int i = 0; i < 8; ++i) {
    Particle* next = put(level, 0.3f * (i + 1), 3.0f);
    level.connect(*prev, *next, Plain);
    prev = next;
  }
  Particle* j0 = put(level, 1, -1);
  Particle* j1 = put(level, 2, -1);
  level.connect(*j1, *j0, Jet);
  level.connect(*put(level, 2, -4.8f), *put(level, 3, -4.8f), Hazard);
  while (level.count < 30) put(level, -4.0f + 0.3f * level.count, 0.0f);
}

}  // namespace pw
