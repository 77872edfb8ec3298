#include "physics/particle.h"

namespace pw {

namespace {

// Vector from b to a, with a coincident pair treated as 1 apart vertically.
Vec4 separation(const Vec4& a, const Vec4& b) {
  Vec4 d = a - b;
  if (lengthSquared(d) < kCoincidentSquared) d.y = 1.0f;
  return d;
}

}  // namespace

void Particle::clear() {
  velocity = Vec4(0.0f, 0.0f, 0.0f, 0.0f);
  linkCount = 0;
  spacerCount = 0;
  planeCount = 0;
  inUse = 0;
  fixed = 0;
  solid = 0;
  jet = 0;
  hazard = 0;
  surfaceOwner = 0;
}

void Particle::beginStep() {
  velocity = position - previous;  // w comes from position
  correction = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
}

void Particle::integrate() {
  if (fixed != 0) {
    position = previous;
    return;
  }
  previous = position;
  velocity *= 0.9999f;
  // The floor and walls test the position before this step's move, so a
  // particle may end a step slightly outside; the next step clamps it.
  if (position.y <= -5.0f) {
    position.y = -5.0f;
    velocity *= 0.95f;
    if (velocity.y < 0.0f) velocity.y = 0.0f;
  }
  const Vec4 stopped(0.0f, 0.0f, 0.0f, velocity.w);
  if (position.x <= -5.0f) {
    position.x = -5.0f;
    velocity = stopped;
  }
  if (position.x >= 5.0f) {
    position.x = 5.0f;
    velocity = stopped;
  }
  if (position.z <= -5.0f) {
    position.z = -5.0f;
    velocity = stopped;
  }
  if (position.z >= 5.0f) {
    position.z = 5.0f;
    velocity = stopped;
  }
  position += velocity;
}

void Particle::applyCorrection() {
  if (fixed == 0) position += correction;
  correction = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
}

void satisfySpacer(Particle& p, const ParticleSpacer& spacer) {
  Particle& other = *spacer.other;
  Vec4 d = separation(p.position, other.position);
  const float len = length(d);
  if (!(len < spacer.minDistance)) return;
  normalize(d);
  const Vec4 m = d * ((len - spacer.minDistance) * 0.5f);
  p.position -= m;
  other.position += m;
}

void satisfyPlane(Particle& p, int k) {
  const ParticlePlane& plane = p.planes[k];
  if (!(dot(plane.normal, p.position) - plane.offset > 0.1f)) return;
  Particle& partner = *p.planePartners[k];
  const Vec4 v = normalized(p.position - partner.position) * 0.03f;
  p.position += v;
  partner.position -= v;
}

void Particle::satisfyConstraints() {
  for (int i = 0; i < linkCount; ++i) {
    Particle& target = *links[i].target;
    Vec4 d = separation(position, target.position);
    const float len = length(d);
    normalize(d);
    const Vec4 m = d * ((len - links[i].restLength) * 0.5f);
    position -= m;
    target.position += m;
  }
  for (int i = 0; i < spacerCount; ++i) satisfySpacer(*this, spacers[i]);
  for (int i = 0; i < planeCount; ++i) satisfyPlane(*this, i);
}

}  // namespace pw
