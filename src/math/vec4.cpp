#include "math/vec4.h"

#include <cmath>

namespace pw {

float length(const Vec4& a) {
  const float squared = lengthSquared(a);
  if (squared < kTinyLengthSquared) return 0.0f;
  return std::sqrt(squared);
}

void normalize(Vec4& a) {
  const float squared = lengthSquared(a);
  if (!(squared >= kTinyLengthSquared)) return;
  const float len = std::sqrt(squared);
  // Only a NaN length fails this second test.
  if (!(len > 1e-13f)) return;
  const float inverse = 1.0f / len;
  a.x *= inverse;
  a.y *= inverse;
  a.z *= inverse;
}

}  // namespace pw
