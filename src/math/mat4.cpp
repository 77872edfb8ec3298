#include "math/mat4.h"

#include <cmath>

namespace pw {

Mat4 identityMatrix() {
  Mat4 m;
  setIdentity(m);
  return m;
}

void setIdentity(Mat4& m) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m.m[i][j] = (i == j) ? 1.0f : 0.0f;
}

// Sine and cosine are taken in double precision and stored as floats.
void RotX(Mat4& m, float a) {
  const float c = static_cast<float>(std::cos(static_cast<double>(a)));
  const float s = static_cast<float>(std::sin(static_cast<double>(a)));
  m.m[1][1] = c;
  m.m[1][2] = s;
  m.m[2][1] = -s;
  m.m[2][2] = c;
}

void RotY(Mat4& m, float a) {
  const float c = static_cast<float>(std::cos(static_cast<double>(a)));
  const float s = static_cast<float>(std::sin(static_cast<double>(a)));
  m.m[0][0] = c;
  m.m[0][2] = s;
  m.m[2][0] = -s;
  m.m[2][2] = c;
}

void RotZ(Mat4& m, float a) {
  const float c = static_cast<float>(std::cos(static_cast<double>(a)));
  const float s = static_cast<float>(std::sin(static_cast<double>(a)));
  m.m[0][0] = c;
  m.m[0][1] = s;
  m.m[1][0] = -s;
  m.m[1][1] = c;
}

void preMultiply(Mat4& m, const Mat4& b) {
  Mat4 product;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      product.m[i][j] =
          b.m[i][0] * m.m[0][j] + b.m[i][1] * m.m[1][j] + b.m[i][2] * m.m[2][j] + b.m[i][3] * m.m[3][j];
    }
  }
  m = product;
}

Vec4 transformDirection(const Mat4& m, const Vec4& v) {
  return Vec4(m.m[0][0] * v.x + m.m[0][1] * v.y + m.m[0][2] * v.z,
              m.m[1][0] * v.x + m.m[1][1] * v.y + m.m[1][2] * v.z,
              m.m[2][0] * v.x + m.m[2][1] * v.y + m.m[2][2] * v.z,
              m.m[3][0] * v.x + m.m[3][1] * v.y + m.m[3][2] * v.z);
}

Vec4 column(const Mat4& m, int k) { return Vec4(m.m[0][k], m.m[1][k], m.m[2][k], 0.0f); }

void setColumn(Mat4& m, int k, const Vec4& v) {
  m.m[0][k] = v.x;
  m.m[1][k] = v.y;
  m.m[2][k] = v.z;
}

}  // namespace pw
