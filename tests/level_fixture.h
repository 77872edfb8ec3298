#pragma once
// A fresh, empty level and a way to put particles in it.

#include <gtest/gtest.h>

#include <memory>

#include "level/level.h"

namespace pw {

class EmptyLevelTest : public ::testing::Test {
 protected:
  void SetUp() override { level->reset(); }

  // A particle in the next free slot, at rest at (x, y).
  Particle& add(float x, float y) {
    Particle* p = level->allocate();
    p->position = Vec4(x, y, 0.0f, 1.0f);
    p->previous = p->position;
    return *p;
  }

  std::unique_ptr<Level> level = std::make_unique<Level>();
};

}  // namespace pw
