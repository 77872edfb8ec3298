#include "physics/particle.h"

namespace pw {

namespace {

// Fraction of a link's length error that each entry adds to each end per step.
// Both ends hold an entry, so each end moves 20 percent of the error.
constexpr float kLinkStiffness = 0.1f;
// Speed along a jet link (world units per step) that the jet end is driven to.
constexpr float kJetSpeed = 0.01f;

}  // namespace

void Particle::accumulateConstraints() {
  position.z = 0.0f;
  previous.z = 0.0f;
  velocity.z = 0.0f;

  for (int i = 0; i < linkCount; ++i) {
    ParticleLink& link = links[i];
    Particle& target = *link.target;
    Vec4 d = position - target.position;
    if (lengthSquared(d) < kCoincidentSquared) d.y = 1.0f;
    const float len = length(d);
    normalize(d);
    const Vec4 m = d * ((len - link.restLength) * kLinkStiffness);
    correction -= m;
    target.correction += m;
    if (jet != 0 && link.type == Jet) {
      // Push the pair along the link while the jet end is slower than kJetSpeed.
      const float shortfall = kJetSpeed - dot(d, velocity);
      if (shortfall >= 0.0f) {
        const Vec4 push = d * shortfall;
        target.correction += push;
        correction += push;
      }
    }
  }
  for (int i = 0; i < spacerCount; ++i) satisfySpacer(*this, spacers[i]);
  for (int i = 0; i < planeCount; ++i) satisfyPlane(*this, i);
}

}  // namespace pw
