#pragma once
// Everything that moves against the level, in the x-y plane: the surface pull
// (the game's gravity), solid balls and Solid/Hazard segments.

#include <cstdint>

#include "math/vec4.h"

namespace pw {

struct Level;
struct Particle;

struct SurfacePull {
  Vec4 displacement;  // add to a position (particles) or a velocity (player body)
  Vec4 direction;     // which way is down here
};

// Pull towards the nearest Surface link within reach, else plain gravity.
SurfacePull surfacePull(const Level& level, const Vec4& point);

enum ContactResult : int32_t { NoContact = 0, Contact = 1, DeadlyContact = 2 };

// The player body moving from `from` to `to` against balls and segments.
// Ball contacts move `to`; `body`, `normal` and `contactVelocity` are written
// only on contact (normal also when a segment is crossed but the contact point
// falls outside it). Free level particles that are hit are pushed back.
int32_t collideBody(Level& level, const Vec4& from, Vec4& to, Vec4& body, Vec4& normal,
                    Vec4& contactVelocity, const Vec4& up);

// No mover slot: used for robot particles, which never move the level.
constexpr int32_t kNoSlot = -1;

// Pushes p out of the first Solid/Hazard segment its last move crossed.
void sweepParticle(Level& level, Particle& p, int32_t self);

// Last step of a level step: solid balls push each other apart and are swept
// out of segments.
void collideLevel(Level& level);

// One robot particle against the level's balls and segments.
void collideRobotParticle(Level& level, Particle& p);

}  // namespace pw
