#include "physics/segment_contact.h"

#include "physics/particle.h"

namespace pw {

Vec4 motionBetween(const Vec4& from, const Vec4& to) {
  const Vec4 motion = to - from;
  if (lengthSquared(motion) < kTinyLengthSquared) return Vec4(0.0f, 0.01f, 0.0f, 1.0f);
  return motion;
}

SegmentContact testSegment(const Particle& a, const Particle& b, const SweptPoint& point, float skin,
                           const Vec4* up) {
  SegmentContact contact;
  const Vec4& from = point.from;
  const Vec4& to = point.to;
  const Vec4& motion = point.motion;

  const Vec4 span = b.position - a.position;
  const Vec4 previousSpan = b.previous - a.previous;
  Vec4 m = normalized(Vec4(-span.y, span.x, 0.0f, 0.0f));
  if (dot(a.previous - from, m) > 0.0f) m *= -1.0f;

  // Was in front of the back line last step, is behind the front skin now.
  const Vec4 frontEdge = a.position + m * skin;
  const float s0 = cross2(previousSpan, (a.previous - m * skin) - from);
  const float s1 = cross2(span, frontEdge - to);
  if (!(s0 * s1 < 0.0f)) return contact;
  // The path passes between the ends (first end on the skin line).
  const float c0 = cross2(motion, from - frontEdge);
  const float c1 = cross2(motion, from - b.position);
  if (!(c0 * c1 < 0.0f)) return contact;

  contact.normal = m;
  const float depth = dot(to, m) - dot(frontEdge, m);
  Vec4 push = m * depth;
  if (up != nullptr) {
    const float upAlong = dot(*up, m);
    if (upAlong > 0.5f) push = *up * (depth / upAlong);
  }
  const Vec4 direction = normalized(span);
  const float along = dot((to - push) - a.position, direction) / dot(span, direction);
  if (along > 1.0f || along < 0.0f) {
    contact.outcome = SegmentOutcome::Rejected;
    return contact;
  }
  contact.outcome = SegmentOutcome::Hit;
  contact.push = push;
  contact.along = along;
  return contact;
}

}  // namespace pw
