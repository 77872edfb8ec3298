#include "physics/collisions.h"

#include "level/level.h"
#include "physics/segment_contact.h"

namespace pw {

namespace {

constexpr float kBodyBallReach = 0.4f;   // body or robot particle to a ball
constexpr float kBallBallReach = 0.2f;   // level ball to level ball
constexpr float kBodySkin = 0.4f;
constexpr float kParticleSkin = 0.2f;

bool collides(const ParticleLink& link) { return link.type == Solid || link.type == Hazard; }

}  // namespace

int32_t collideBody(Level& level, const Vec4& from, Vec4& to, Vec4& body, Vec4& normal,
                    Vec4& contactVelocity, const Vec4& up) {
  const Vec4 entryMotion = motionBetween(from, to);
  int32_t result = NoContact;
  for (Particle& q : level.particles) {
    if (!q.inUse || !q.solid) continue;
    const Vec4 d = to - q.position;
    if (!(lengthSquared(d) < kBodyBallReach * kBodyBallReach)) continue;
    const Vec4 n = normalized(d);
    normal = n;
    Vec4 push = n * (kBodyBallReach - length(d));
    if (!q.fixed) push *= 0.5f;
    to += push;
    body = to;
    if (!q.fixed) q.position -= push;
    result = q.hazard ? DeadlyContact : Contact;  // the last ball touched decides
    contactVelocity = q.velocity;
  }

  // The segments see `to` as the balls left it, but the motion as it was on entry.
  const SweptPoint path{from, to, entryMotion};
  for (Particle& a : level.particles) {
    if (!a.inUse) continue;
    for (int i = 0; i < a.linkCount; ++i) {
      const ParticleLink& link = a.links[i];
      if (!collides(link)) continue;
      Particle& b = *link.target;
      const SegmentContact hit = testSegment(a, b, path, kBodySkin, &up);
      if (hit.outcome == SegmentOutcome::Missed) continue;
      normal = hit.normal;
      if (hit.outcome == SegmentOutcome::Rejected) break;  // rest of this slot's entries skipped
      body = to - hit.push;
      if (!b.fixed) b.position += hit.push * hit.along;
      if (!a.fixed) a.position += hit.push * (1.0f - hit.along);
      contactVelocity = (a.velocity + b.velocity) * 0.5f;
      return (link.type == Hazard || result == DeadlyContact) ? DeadlyContact : Contact;
    }
  }
  return result;
}

void sweepParticle(Level& level, Particle& p, int32_t self) {
  const SweptPoint path{p.previous, p.position, motionBetween(p.previous, p.position)};
  for (int slot = 0; slot < kLevelSlots; ++slot) {
    Particle& a = level.particles[slot];
    if (!a.inUse || slot == self) continue;
    for (int i = 0; i < a.linkCount; ++i) {
      const ParticleLink& link = a.links[i];
      if (!collides(link)) continue;
      Particle& b = *link.target;
      // A particle never collides with the links it belongs to.
      if (b.index == self) break;
      const SegmentContact hit = testSegment(a, b, path, kParticleSkin, nullptr);
      if (hit.outcome == SegmentOutcome::Missed) continue;
      if (hit.outcome == SegmentOutcome::Rejected) break;
      p.position = p.position - hit.push;
      if (self != kNoSlot) {
        a.position += hit.push * (1.0f - hit.along);
        b.position += hit.push * hit.along;
      }
      return;
    }
  }
}

void collideLevel(Level& level) {
  for (int i = 0; i < kLevelSlots; ++i) {
    Particle& pi = level.particles[i];
    if (!pi.inUse || !pi.solid) continue;
    for (int j = 0; j < kLevelSlots; ++j) {
      Particle& pj = level.particles[j];
      if (j == i || !pj.inUse || !pj.solid) continue;
      const Vec4 d = pi.position - pj.position;
      if (!(lengthSquared(d) < kBallBallReach * kBallBallReach)) continue;
      const Vec4 n = normalized(d) * ((kBallBallReach - length(d)) * 0.5f);
      pi.position += n;
      pj.position -= n;
    }
    sweepParticle(level, pi, i);
    sweepParticle(level, pi, i);
  }
}

void collideRobotParticle(Level& level, Particle& p) {
  for (const Particle& q : level.particles) {
    if (!q.inUse || !q.solid) continue;
    const Vec4 d = p.position - q.position;
    if (!(lengthSquared(d) < kBodyBallReach * kBodyBallReach)) continue;
    p.position += normalized(d) * ((kBodyBallReach - length(d)) * 0.5f);
  }
  sweepParticle(level, p, kNoSlot);
  sweepParticle(level, p, kNoSlot);
}

}  // namespace pw
