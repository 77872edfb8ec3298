#pragma once
// The single point that stands for the player in the simulation; the robot is
// drawn around it. Units: world units and world units per step.

#include <cstdint>

#include "math/vec4.h"

namespace pw {

// Where every level load and play start puts the player body.
constexpr Vec4 kPlayerStart{-4.5f, -4.7f, 0.0f, 1.0f};

struct PlayerBody {
  Vec4 position{0.0f, -9.0f, 0.0f, 1.0f};  // below the floor, unseen, until play starts
  Vec4 velocity{0.0f, 0.0f, 0.0f, 1.0f};
  Vec4 groundNormal{0.0f, 0.0f, 0.0f, 1.0f};  // of the surface last stood on; zero when none
  Vec4 up{0.0f, -1.0f, 0.0f, 1.0f};           // away from the pulling surface
  int32_t groundTimer = 0;                    // steps left counting as standing
  Vec4 push{0.0f, 0.0f, 0.0f, 1.0f};          // steering push; moves but is not velocity

  // Moves by velocity + push, clamps the speed and keeps the body in the box.
  void integrateBody(float dt);
};

}  // namespace pw
