// The walk cycle: joint rotations from the gait phase and amplitude.

#include <cmath>

#include "walker/lerp_angle.h"
#include "walker/walker.h"

namespace pw {

namespace {

// Sine in double precision, stored as a float, like the rotation builders.
float sine(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }

// Each joint is only ever turned about one axis, so writing the four
// elements of that rotation over the identity of build() stays a rotation.
struct Swing {
  float hipPlus, hipMinus;
  float anklePlus, ankleMinus;
  float kneePlus, kneeMinus;
  float shoulderPlus, shoulderMinus;
  float elbowPlus, elbowMinus;
  float chest, neck;
  float upperSpine, lowerSpine, pelvis;
  float s;  // the swing every angle scales with
  float w;  // stride angle
};

// Airborne: the legs kick and the arms windmill full circles, the +x arm
// half a turn ahead.
Swing airborneSwing(float phase, float amplitude) {
  Swing g;
  g.w = 7.0f * phase;
  const float a = 1.2f * amplitude;
  g.s = a * sine(g.w);
  const float k = 0.6f * a;
  g.hipPlus = -0.65f * g.s;
  g.hipMinus = 0.65f * g.s;
  g.anklePlus = k - 0.5f * g.s;
  g.ankleMinus = k + 0.5f * g.s;
  g.kneePlus = k - 0.5f * g.s;
  g.kneeMinus = k + 0.5f * g.s;
  const float windmill = 1.5f * 0.515f * g.w;
  g.shoulderPlus = kPi + windmill;
  g.shoulderMinus = windmill;
  // 4.141593 is pi + 1: the elbows swing half a cycle apart.
  g.elbowPlus = -sine(0.75f * g.w + 1.0f);
  g.elbowMinus = -sine(0.75f * g.w + 4.141593f);
  return g;
}

Swing groundedSwing(float phase, float amplitude) {
  Swing g;
  g.w = 6.0f * phase;
  g.s = amplitude * sine(g.w);
  const float k = 0.6f * amplitude;
  g.hipPlus = -0.35f * g.s;
  g.hipMinus = 0.35f * g.s;
  g.anklePlus = k - 0.5f * g.s;
  g.ankleMinus = k + 0.5f * g.s;
  g.kneePlus = k - 0.5f * g.s;
  g.kneeMinus = k + 0.5f * g.s;
  g.shoulderPlus = 0.515f * g.s;
  g.shoulderMinus = -0.515f * g.s;
  g.elbowPlus = -0.5f * amplitude + 0.4515f * g.s;
  g.elbowMinus = -0.5f * amplitude - 0.4515f * g.s;
  return g;
}

}  // namespace

void WalkerBody::pose(float phase, float amplitude, bool grounded) {
  Swing g = grounded ? groundedSwing(phase, amplitude) : airborneSwing(phase, amplitude);
  g.chest = -0.25f * g.s;
  g.neck = 0.25f * g.s;
  g.upperSpine = -0.125f * g.s;
  g.lowerSpine = 0.125f * g.s;
  g.pelvis = 0.0125f * g.s;

  RotX(joints[14].localRotation, g.hipPlus);
  RotX(joints[18].localRotation, g.hipMinus);
  RotX(joints[16].localRotation, g.anklePlus);
  RotX(joints[20].localRotation, g.ankleMinus);
  RotX(joints[15].localRotation, g.kneePlus);
  RotX(joints[19].localRotation, g.kneeMinus);
  RotX(joints[6].localRotation, g.shoulderPlus);
  RotX(joints[10].localRotation, g.shoulderMinus);
  RotX(joints[7].localRotation, g.elbowPlus);
  RotX(joints[11].localRotation, g.elbowMinus);
  RotY(joints[3].localRotation, g.chest);
  RotY(joints[4].localRotation, g.neck);
  RotZ(joints[2].localRotation, g.upperSpine);
  RotZ(joints[1].localRotation, g.lowerSpine);
  RotZ(joints[0].localRotation, g.pelvis);

  if (!grounded) return;  // airborne, the sway keeps its last value
  // A forward-backward bob at twice the stride frequency, along the body's
  // z axis as the previous step left it (that axis carries the 0.02 scale).
  const Vec4 z = column(bodyTransform, 2);
  const float bob = 0.061f * amplitude * sine(2.0f * g.w);
  sway.x = bob * z.x;
  sway.y = bob * z.y;
  sway.z = bob * z.z;
}

}  // namespace pw
