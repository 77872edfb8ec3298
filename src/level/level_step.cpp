#include "level/level_step.h"

#include "level/level.h"
#include "level/player_body.h"
#include "physics/collisions.h"
#include "walker/walker.h"

namespace pw {

namespace {

constexpr float kMaxBodySpeed = 0.35f;       // per step
constexpr float kBodyTop = 4.7f;
constexpr float kBodyBottom = -4.7f;
constexpr float kStandingDot = 0.3f;         // dot(normal, up) above this: standing
constexpr int32_t kStandingSteps = 40;
constexpr int32_t kBottomStandingSteps = 20;
constexpr float kRestingProbe = 0.01f;       // probe downwards when the body did not move

// Removes the velocity into the surface; returns whether the body stands on it.
bool respondToContact(PlayerBody& body, const Vec4& normal, const Vec4& contactVelocity) {
  body.velocity -= normal * dot(body.velocity, normal);
  if (!(dot(normal, body.up) > kStandingDot)) return false;
  body.velocity = contactVelocity;  // carried by what it stands on
  return true;
}

}  // namespace

void stepLevel(Level& level) {
  if (level.running == 0) return;
  Particle* const particles = level.particles;
  for (int i = 0; i < kLevelSlots; ++i)
    if (particles[i].inUse) particles[i].beginStep();
  for (int i = 0; i < kLevelSlots; ++i)
    if (particles[i].inUse) particles[i].integrate();
  for (int i = 0; i < kLevelSlots; ++i)
    if (particles[i].inUse) particles[i].accumulateConstraints();
  // Gravity (or the pull of a Surface link) moves positions at once.
  for (int i = 0; i < kLevelSlots; ++i) {
    Particle& p = particles[i];
    if (!p.inUse || p.fixed || p.surfaceOwner) continue;
    p.position += surfacePull(level, p.position).displacement;
  }
  for (int i = 0; i < kLevelSlots; ++i)
    if (particles[i].inUse) particles[i].applyCorrection();
  collideLevel(level);
}

void PlayerBody::integrateBody(float dt) {
  position += (velocity + push) * dt;
  velocity.z = 0.0f;
  if (lengthSquared(velocity) > kMaxBodySpeed * kMaxBodySpeed) {
    normalize(velocity);
    velocity *= kMaxBodySpeed;
  }
  if (position.x > 5.0f) {
    position.x = 5.0f;
    velocity.x *= -0.5f;
  } else if (position.x < -5.0f) {
    position.x = -5.0f;
    velocity.x *= -0.5f;
  }
  if (position.y > kBodyTop) {
    position.y = kBodyTop;
    velocity.y *= -0.1f;
  }
  if (position.y < kBodyBottom) {
    velocity.y *= -0.1f;
    groundNormal = Vec4(0.0f, 1.0f, 0.0f, 1.0f);
    groundTimer = kBottomStandingSteps;
    position.y = kBodyBottom;
  }
  if (groundTimer > 0) --groundTimer;
}

void stepPlayerBody(Level& level, PlayerBody& body, Walker& walker) {
  const Vec4 old = body.position;
  body.integrateBody(1.0f);

  const SurfacePull pull = surfacePull(level, body.position);
  body.velocity += pull.displacement;
  Vec4 up = normalized(pull.direction);
  body.up.x = -up.x;
  body.up.y = -up.y;
  body.up.z = -up.z;

  Vec4 to = body.position;
  if (lengthSquared(body.position - old) < 1e-8f) to.y -= kRestingProbe;

  // Two passes stand in for iteration: the second sees where the first left `to`.
  Vec4 normal(0.0f, 0.0f, 0.0f, 1.0f);
  Vec4 contactVelocity(0.0f, 0.0f, 0.0f, 1.0f);
  int32_t r = collideBody(level, old, to, body.position, normal, contactVelocity, body.up);
  if (r == NoContact) return;
  if (r == DeadlyContact) walker.alive = 0;
  if (respondToContact(body, normal, contactVelocity)) {
    body.groundTimer = kStandingSteps;
    to = body.position;
    body.groundNormal = normal;
  }

  r = collideBody(level, old, to, body.position, normal, contactVelocity, body.up);
  if (r == NoContact) return;
  if (r == DeadlyContact) walker.alive = 0;
  respondToContact(body, normal, contactVelocity);
}

}  // namespace pw
