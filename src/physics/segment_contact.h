#pragma once
// The swept test of a moving point against one Solid/Hazard segment, shared by
// the player body and the particles.

#include "math/vec4.h"

namespace pw {

struct Particle;

enum class SegmentOutcome {
  Missed,    // the path does not cross the segment's skin between its ends
  Rejected,  // it crosses, but the contact point lies beyond an end
  Hit,
};

struct SegmentContact {
  SegmentOutcome outcome = SegmentOutcome::Missed;
  Vec4 normal;  // unit, towards the side the point comes from (Rejected, Hit)
  Vec4 push;    // the mover ends at to - push; the segment moves by +push (Hit)
  float along = 0.0f;  // contact point: 0 at the first end, 1 at the second (Hit)
};

// The mover's path, from `from` to `to`. `motion` decides which side of the
// ends the path passes; it is usually to - from (see motionBetween).
struct SweptPoint {
  Vec4 from;
  Vec4 to;
  Vec4 motion;
};

// to - from, or a small upward step when the point did not move.
Vec4 motionBetween(const Vec4& from, const Vec4& to);

// a holds the link entry, b is its target; skin is 0.4 for the body, 0.2 for
// particles. `up` is given only for the player body: on floors it is lifted
// straight up rather than slid along the normal.
SegmentContact testSegment(const Particle& a, const Particle& b, const SweptPoint& point, float skin,
                           const Vec4* up);

// z component of the cross product of two x-y vectors.
inline float cross2(const Vec4& a, const Vec4& b) { return a.x * b.y - a.y * b.x; }

}  // namespace pw
