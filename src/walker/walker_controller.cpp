#include <cmath>

#include "walker/lerp_angle.h"
#include "walker/walker.h"

namespace pw {

namespace {

// Steering input (about ±1000 at full deflection) to world units per step.
constexpr float kPushToSpeed = 0.0001f;
// Pushes shorter than about 316 input units count as no steering.
constexpr float kDeadZoneSquared = 0.001f;
constexpr float kSteeringSquared = 0.00001f;
constexpr float kSpeedEasing = 0.1f;
constexpr float kDeathTimerRate = 0.1f;  // the level reloads once it passes 15
constexpr float kStridePerSpeed = 0.125f;
constexpr float kAmplitudePerSpeed = 8.0f;
constexpr float kAirbornePhaseRate = 0.01f;
constexpr float kAirborneAmplitude = 0.9f;
constexpr float kHeadingEasing = 0.2f;

}  // namespace

void Walker::drive(Vec4 push) {
  body.alive = alive;
  push *= steerScale;
  // Model space faces -z, so a push towards +z steers towards -z.
  Vec4 v(push.x * kPushToSpeed, 0.0f, push.z * -kPushToSpeed, 1.0f);
  if (lengthSquared(v) < kDeadZoneSquared) v = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
  if (alive == 0) deathTimer += kDeathTimerRate;

  speed += (length(v) - speed) * kSpeedEasing;

  if (grounded != 0) {
    gaitPhase += speed * kStridePerSpeed;
    body.pose(gaitPhase, speed * kAmplitudePerSpeed, true);
  } else {
    gaitPhase += kAirbornePhaseRate;
    body.pose(gaitPhase, kAirborneAmplitude, false);
  }

  // Without steering the robot keeps turning towards the last direction.
  if (lengthSquared(v) > kSteeringSquared) {
    normalize(v);
    v.w = 1.0f;
    steerDirection = v;
  }
}

void Walker::advance(Level& level, const JoystickState& joystick, VertexBatch& batch) {
  // Heading theta turns the model's forward (-z) to (-sin theta, 0, -cos theta).
  // No steering yet gives atan2(-0, -0) = -pi: the robot turns to face +z.
  const float target = static_cast<float>(
      std::atan2(static_cast<double>(-steerDirection.x), static_cast<double>(-steerDirection.z)));
  // Keep within half a turn of the target so the easing takes the short way
  // across the seam at ±pi; the heading itself is never reduced to a range.
  float h = heading;
  if (h - target > kPi) h -= kTwoPi;
  if (h - target < -kPi) h += kTwoPi;
  heading = h + (target - h) * kHeadingEasing;

  setIdentity(body.headingRotation);
  RotY(body.headingRotation, heading);
  body.step(anchor, level, joystick, batch);
}

}  // namespace pw
