#include "walker/lerp_angle.h"

#include <cmath>

namespace pw {

float lerpAngle(float a, float b, float t) {
  float d = b - a;
  if (std::fabs(d) > kPi) {
    if (d > 0.0f) {
      d -= kTwoPi;
    } else {
      d += kTwoPi;
    }
  }
  float r = a + d * t;
  // Each turn of these loops must change r: an infinite or huge angle would
  // otherwise never leave them.
  while (r > kTwoPi) {
    const float next = r - kTwoPi;
    if (next == r) break;
    r = next;
  }
  while (r < -kTwoPi) {
    const float next = r + kTwoPi;
    if (next == r) break;
    r = next;
  }
  return r;
}

}  // namespace pw
