#pragma once
// Angle easing for the robot's heading and tilt. Angles in radians.

namespace pw {

// The float values the robot's turning compares against.
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

// a moved by the fraction t of the shortest signed turn to b, brought back
// within [-2pi, 2pi].
float lerpAngle(float a, float b, float t);

}  // namespace pw
