#pragma once
// The point mass every moving thing is built from: level slots and the robot's
// body. Position-based (Verlet-style) integration: the velocity of a step is
// the difference between the position and the previous position.
// Units: world units (the box spans -5..5), velocities in world units per step.

#include <cstdint>

#include "math/vec4.h"

namespace pw {

enum LinkType : int32_t {
  Plain = 0,    // keeps its length
  Solid = 1,    // ends become balls, the segment collides
  Jet = 2,      // first end drives the pair along the link
  Surface = 3,  // both ends fixed; pulls things towards it (the local gravity)
  Hazard = 4,   // as Solid, and deadly to the player body
};

constexpr int kMaxLinks = 10;
constexpr int kMaxSpacers = 18;
constexpr int kMaxPlanes = 10;

struct Particle;

// One end of a link. In a level every link is held twice, once by each end.
struct ParticleLink {
  Particle* target = nullptr;
  float restLength = 0.0f;
  int32_t type = Plain;
  int32_t targetIndex = 0;  // partner's index; written before a save, read on load
};

// One-sided minimum distance; only the robot's body uses them.
struct ParticleSpacer {
  Particle* other = nullptr;
  float minDistance = 0.0f;
};

// Signed distance of p is dot(normal, p) - offset. Nothing in the game fills
// planes, but the record and the file keep room for them.
struct ParticlePlane {
  Vec4 normal;
  float offset = 0.0f;
};

struct Particle {
  Vec4 position;
  Vec4 previous;
  Vec4 velocity{0.0f, 0.0f, 0.0f, 0.0f};
  int32_t linkCount = 0;
  int32_t spacerCount = 0;
  ParticleLink links[kMaxLinks];
  ParticleSpacer spacers[kMaxSpacers];
  int32_t planeCount = 0;
  ParticlePlane planes[kMaxPlanes];
  Particle* planePartners[kMaxPlanes] = {};
  uint8_t inUse = 0;
  int32_t slot = 0;
  int32_t fixed = 0;  // nonzero: the particle does not move
  int32_t index = 0;  // place in the level's array, written by the level reset
  Vec4 correction;    // displacement summed during a level step; (0,0,0,1) when clear
  int32_t solid = 0;
  int32_t jet = 0;
  int32_t hazard = 0;
  int32_t surfaceOwner = 0;

  // Empties links, spacers, planes and flags; keeps position, previous,
  // slot, index and the stale entries.
  void clear();

  // Step order for a body: beginStep for all, integrate for all, then the
  // body's constraints and collisions, then (level only) applyCorrection.
  void beginStep();
  void integrate();
  void applyCorrection();

  // The robot's direct relaxation pass: moves positions at once, entry by entry.
  void satisfyConstraints();

  // The level's pass: link and jet corrections are summed into `correction`
  // (of this particle and its partners) and applied at the end of the step,
  // so their result does not depend on visiting order. Also flattens to z = 0.
  void accumulateConstraints();
};

// Squared distance below which two linked points are treated as 1 apart in y.
constexpr float kCoincidentSquared = 0.00001f;

// Shared by the direct pass and the level pass: push apart to at least
// minDistance, moving both ends by half the shortfall.
void satisfySpacer(Particle& p, const ParticleSpacer& spacer);
// Push p away from plane k of its own list when it is over 0.1 in front.
void satisfyPlane(Particle& p, int k);

}  // namespace pw
