#include "level/level.h"
#include "physics/collisions.h"

namespace pw {

namespace {

constexpr float kGravity = 0.001f;          // per step, downwards
constexpr float kReachSquared = 1.5f;       // a Surface link pulls within this
constexpr float kPullScale = 0.008f;        // strength = kPullScale / squared distance
constexpr float kMaxPull = 0.0015f;         // within reach the cap always applies
constexpr float kTooCloseSquared = 0.00001f;
constexpr float kShortLink = 0.00001f;

}  // namespace

SurfacePull surfacePull(const Level& level, const Vec4& point) {
  float best = 1000000.0f;
  bool found = false;
  Vec4 result;
  for (const Particle& a : level.particles) {
    if (!a.inUse || !a.surfaceOwner) continue;
    for (int i = 0; i < a.linkCount; ++i) {
      const ParticleLink& link = a.links[i];
      if (link.type != Surface) continue;
      const Particle& b = *link.target;
      Vec4 d = b.position - a.position;
      const float segmentLength = length(d);
      if (segmentLength < kShortLink) continue;
      normalize(d);
      const float along = dot(d, point - a.position);
      Vec4 nearest = a.position;
      if (along > segmentLength) {
        nearest = b.position;
      } else if (!(along < 0.0f)) {
        nearest = a.position + d * along;
      }
      Vec4 towards = nearest - point;
      const float dd = lengthSquared(towards);
      if (dd < kTooCloseSquared || dd > kReachSquared) continue;
      float strength = kPullScale / dd;
      if (strength > kMaxPull) strength = kMaxPull;
      normalize(towards);
      if (dd < best) {
        best = dd;
        result = towards * strength;
        found = true;
      }
    }
  }
  if (found) return {result, result};
  return {Vec4(0.0f, -kGravity, 0.0f, 1.0f), Vec4(0.0f, -1.0f, 0.0f, 0.0f)};
}

}  // namespace pw
